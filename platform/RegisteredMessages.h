// Registered window messages: numbers handed out by name, equal names giving equal numbers
// for the life of the process. Every module uses the constants below.
#pragma once

#include "platform/WinTypes.h"

#include <string>

// Returns the number registered for name (0xC000 upwards), registering it on first use.
// Thread-safe. An empty name gives 0.
UINT RegisterWindowMessage(const std::string& name);

// The program's registered messages, each registered once under exactly its own name.
inline const UINT WM_REG_MEMCTRL = RegisterWindowMessage("WM_REG_MEMCTRL");
inline const UINT WM_REG_SLIDERPOS = RegisterWindowMessage("WM_REG_SLIDERPOS");
inline const UINT WM_REG_SLIDERHOLD = RegisterWindowMessage("WM_REG_SLIDERHOLD");
inline const UINT WM_REG_TOPINDEXCHANGED = RegisterWindowMessage("WM_REG_TOPINDEXCHANGED");
inline const UINT WM_REG_CTRLDBLCLICKED = RegisterWindowMessage("WM_REG_CTRLDBLCLICKED");
inline const UINT WM_REG_CHILDWNDNOTIFY = RegisterWindowMessage("WM_REG_CHILDWNDNOTIFY");
inline const UINT WM_REG_REARRANGEALLWINDOWS = RegisterWindowMessage("WM_REG_REARRANGEALLWINDOWS");
inline const UINT WM_REG_PREFDLGCLOSED = RegisterWindowMessage("WM_REG_PREFDLGCLOSED");
inline const UINT WM_REG_SUBMITCOMMAND = RegisterWindowMessage("WM_REG_SUBMITCOMMAND");
inline const UINT WM_REG_POSTCOMMAND = RegisterWindowMessage("WM_REG_POSTCOMMAND");
inline const UINT WM_REG_OBSERVECOMMAND = RegisterWindowMessage("WM_REG_OBSERVECOMMAND");
inline const UINT WM_REG_DSHOWNOTIFY = RegisterWindowMessage("WM_REG_DSHOWNOTIFY");
inline const UINT WM_REG_PLAYSTATE = RegisterWindowMessage("WM_REG_PLAYSTATE");
inline const UINT WM_REG_CLIPLOADING = RegisterWindowMessage("WM_REG_CLIPLOADING");
inline const UINT WM_REG_OPENSUCCESSED = RegisterWindowMessage("WM_REG_OPENSUCCESSED");
inline const UINT WM_REG_PLAYCOMPLETED = RegisterWindowMessage("WM_REG_PLAYCOMPLETED");
inline const UINT WM_REG_ENGINERESETTING = RegisterWindowMessage("WM_REG_ENGINERESETTING");
// The open clip's length or tags became known after it opened.
inline const UINT WM_REG_CLIPINFOCHANGED = RegisterWindowMessage("WM_REG_CLIPINFOCHANGED");
inline const UINT WM_REG_DISPLAYSIZECHANGED = RegisterWindowMessage("WM_REG_DISPLAYSIZECHANGED");
inline const UINT WM_REG_QTOPENSUCCESSED = RegisterWindowMessage("WM_REG_QTOPENSUCCESSED");
inline const UINT WM_REG_QTPLAYCOMPLETED = RegisterWindowMessage("WM_REG_QTPLAYCOMPLETED");
inline const UINT WM_REG_QTERROR = RegisterWindowMessage("WM_REG_QTERROR");
inline const UINT WM_REG_QTPLAYSTATECHANGED = RegisterWindowMessage("WM_REG_QTPLAYSTATECHANGED");
inline const UINT WM_REG_CDOPENSUCCESSED = RegisterWindowMessage("WM_REG_CDOPENSUCCESSED");
inline const UINT WM_REG_CDPLAYCOMPLETED = RegisterWindowMessage("WM_REG_CDPLAYCOMPLETED");
inline const UINT WM_REG_CDERROR = RegisterWindowMessage("WM_REG_CDERROR");
inline const UINT WM_REG_CDPLAYSTATECHANGED = RegisterWindowMessage("WM_REG_CDPLAYSTATECHANGED");
inline const UINT WM_REG_REALSINK = RegisterWindowMessage("WM_REG_REALSINK");
inline const UINT WM_REG_REALPLAYSTATECHANGED =
    RegisterWindowMessage("WM_REG_REALPLAYSTATECHANGED");
inline const UINT WM_REG_RUN = RegisterWindowMessage("WM_REG_RUN");
inline const UINT WM_REG_CLIPSYSTEMMENU = RegisterWindowMessage("WM_REG_CLIPSYSTEMMENU");
inline const UINT WM_REG_ONOTHERINSTANCECALL = RegisterWindowMessage("WM_REG_ONOTHERINSTANCECALL");
