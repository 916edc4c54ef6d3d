// What the menu, Preferences and tray tests share: an application object that records the
// command bus, a main window that records its messages, a private registry and language
// folder, answered message boxes, and a menu tracking that never blocks.
#pragma once

#include "core/CorePrefs.h"
#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "playback/UIControl.h"
#include "shell/AboutDlg.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/MenuBuilder.h"
#include "shell/ProfileSettings.h"
#include "shell/SystemMenu.h"
#include "shell/TipDlg.h"
#include "shell/UpgradeCheckDlg.h"
#include "skin/AppLink.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/RecordingWnd.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace menutest {

struct Submitted {
    int code;
    CCmdTarget* pSender;
    std::string text;
    std::string strLanguage; // the current language while the command ran
};

class CFakePlayerApp : public IPlayerApp {
public:
    CUIControl m_controller;
    CRecordingWnd m_mainWnd;
    std::vector<Submitted> m_submitted;
    std::vector<WPARAM> m_posted;
    std::vector<std::string> m_opened; // "media", "cd", "vcd"

    void SubmitCommand(CCmdTarget* pSender, int code, LPARAM, LPARAM,
                       const std::string& text) override {
        m_submitted.push_back({code, pSender, text, shell::GetCurrentLanguage()});
    }
    void PostCommand(WPARAM code, LPARAM) override { m_posted.push_back(code); }
    CUIControl& GetController() override { return m_controller; }
    CWnd* GetMainWindow() override { return &m_mainWnd; }
    void AddFiles(const std::vector<std::string>&) override {}
    void OpenMediaFiles(CWnd*) override { m_opened.push_back("media"); }
    void OpenCd(CWnd*) override { m_opened.push_back("cd"); }
    void OpenVcd(CWnd*) override { m_opened.push_back("vcd"); }
    void ShowSystemMenu(CWnd*, CPoint) override {}

    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Submitted& s : m_submitted)
            codes.push_back(s.code);
        return codes;
    }
};

// The ids of a menu's items in order (0 for separators and popups), submenus left out.
inline std::vector<int> ItemIds(const QMenu& menu) {
    std::vector<int> ids;
    for (const QAction* pAction : menu.actions())
        ids.push_back(shell::MenuItemId(pAction));
    return ids;
}

// The program's dialogs have no meta-object of their own: tell them by their class.
inline std::string DialogName(QDialog& dlg) {
    if (dynamic_cast<CAboutDlg*>(&dlg))
        return "CAboutDlg";
    if (dynamic_cast<CUpgradeCheckDlg*>(&dlg))
        return "CUpgradeCheckDlg";
    if (dynamic_cast<CTipDlg*>(&dlg))
        return "CTipDlg";
    if (dynamic_cast<CDownloadCenterDlg*>(&dlg))
        return "CDownloadCenterDlg";
    return "QDialog";
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        CRegistry::Instance().Reset(m_temp.Path() + "/config");
        shell::SetProfileKey();
        CCorePrefs::ResetToDefaults();
        platform::CMessageQueue::Instance().Reset();
        ASSERT_TRUE(m_app.m_mainWnd.CreateMessageWindow());
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r.text);
            return IDOK;
        });
        m_ctx.pApp = &m_app;
        m_ctx.hasCdromDrive = [this] { return m_bDrive; };
        m_ctx.isCdDoorOpen = [this] { return m_bDoorOpen; };
        m_ctx.setCdDoor = [this](bool open) {
            m_doorRequests.push_back(open);
            return true;
        };
        m_ctx.open = [this](const std::string& address) {
            m_addresses.push_back(address);
            return true;
        };
        m_ctx.runDialog = [this](QDialog& dlg) {
            m_dialogs.push_back(DialogName(dlg));
            m_dialogTitles.push_back(dlg.windowTitle().toStdString());
            return 0;
        };
    }
    void TearDown() override {
        shell::SetMenuTracker({});
        SetMessageBoxHook({});
        platform::CMessageQueue::Instance().Reset();
        CCorePrefs::ResetToDefaults();
        platform::SetRegistryKey("");
        CRegistry::Instance().Reset();
    }

    void Pump() {
        while (platform::CMessageQueue::Instance().DispatchOne()) {
        }
    }

    TempFolder m_temp;
    CFakePlayerApp m_app;
    shell::SystemMenuContext m_ctx;
    bool m_bDrive = true;
    bool m_bDoorOpen = false;
    std::vector<bool> m_doorRequests;
    std::vector<std::string> m_addresses;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_dialogs;
    std::vector<std::string> m_dialogTitles;
};

} // namespace menutest
