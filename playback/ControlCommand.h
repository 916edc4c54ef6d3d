// The record carried by the command bus and the numbers it uses. A command is submitted
// (delivered at once to every player window) or posted (built and delivered when the queue
// reaches it); each window handles the codes it cares about and ignores the rest.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

class CAttribClip;
class CCmdTarget;

// What a command says. Codes 0, 4, 6, 7 and 26 are not used, but are still dispatched.
enum CommandCode : int {
    CmdUnused0 = 0,
    CmdPlay = 1,               // param1: 1 start the engine, 0 announce only
    CmdPause = 2,              //
    CmdStop = 3,               // stop the engine
    CmdUnused4 = 4,            //
    CmdLoadClip = 5,           // param1: the clip to load next, or 0
    CmdUnused6 = 6,            //
    CmdUnused7 = 7,            //
    CmdSeek = 8,               // param1: position in whole seconds (unsigned)
    CmdVolume = 9,             // the volume changed; param1: the new volume 0..100
    CmdPosition = 10,          // param1: position in whole seconds
    CmdPlayState = 11,         // param1: EnginePlayState
    CmdSeekDragEnded = 12,     // posted
    CmdClosing = 13,           // forget the path, clear the rows
    CmdRefillRows = 14,        //
    CmdAppendRows = 15,        // the controller's list has new clips: add their rows at the end
    CmdInsertRows = 16,        // as 15, the rows go after the cursor row
    CmdUpdateControls = 17,    // state changed: re-evaluate the controls
    CmdPlayableChanged = 18,   // param1: the clip whose playable flag changed, or 0
    CmdRepeatChanged = 19,     // repeat, repeat one or shuffle changed
    CmdClipLoading = 20,       // param1: 1 loading, 0 done
    CmdPlaybackRequested = 21, //
    CmdStopped = 22,           //
    CmdUserCommand = 23,       // a user command starts (before a modal dialog)
    CmdClipOpened = 24,        // param1: 0 opened, kClipInfoRefresh its length or tags came later
    CmdPlaybackCompleted = 25, //
    CmdUnused26 = 26,          //
    CmdTranslate = 27,         // text: the new language name
    CmdEngineResetting = 28,   // param1: 1 before the engine closes its graph, 0 after
    CmdResetPositions = 29,    // posted
    CmdBringToTop = 30,        //
};

constexpr int kCommandCodeCount = 31;
constexpr long kClipInfoRefresh = 1;

// The parameters hold numbers or, for codes 5 and 18, the address of a clip; they are as wide
// as a pointer so that an address survives the trip. Addresses go in and come out only through
// the typed makers and getters below, never through casts at the call sites.
struct ControlCommand {
    int code = CmdUnused0;
    CCmdTarget* pSender = nullptr; // lets a window ignore its own command
    LPARAM param1 = 0;
    LPARAM param2 = 0;
    std::string text;

    // The clip of CmdLoadClip and CmdPlayableChanged.
    CAttribClip* GetClip() const { return reinterpret_cast<CAttribClip*>(param1); }
    static LPARAM FromClip(const CAttribClip* pClip) { return reinterpret_cast<LPARAM>(pClip); }

    // The record itself travels by address in the bus's window messages (submit, observe).
    static WPARAM ToMessage(ControlCommand* pCmd) { return reinterpret_cast<WPARAM>(pCmd); }
    static ControlCommand* FromMessage(WPARAM wParam) {
        return reinterpret_cast<ControlCommand*>(wParam);
    }
};
