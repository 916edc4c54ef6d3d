// What the menu, Preferences and tray tests share: the recording application with a main
// window that records its messages, a private registry and language folder, answered message
// boxes, and a menu tracking that never blocks.
#pragma once

#include "platform/MessageBox.h"
#include "platform/MessageQueue.h"
#include "platform/Profile.h"
#include "shell/AboutDlg.h"
#include "shell/DownloadCenterDlg.h"
#include "shell/MenuBuilder.h"
#include "shell/ProfileSettings.h"
#include "shell/SystemMenu.h"
#include "shell/TipDlg.h"
#include "shell/UpgradeCheckDlg.h"
#include "tests/shell/ShellTestSupport.h"
#include "tests/support/PlayerWindowWorld.h"
#include "tests/support/RecordingPlayerApp.h"
#include "tests/support/RecordingWnd.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <gtest/gtest.h>

namespace menutest {

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
    return dynamic_cast<CDownloadCenterDlg*>(&dlg) ? "CDownloadCenterDlg" : "QDialog";
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::SetProfileKey();
        m_app.m_pMain = &m_mainWnd;
        // The language current while each command ran.
        m_app.m_onCommand = [this](const auto&) {
            m_languages.push_back(shell::GetCurrentLanguage());
        };
        ASSERT_TRUE(m_mainWnd.CreateMessageWindow());
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            m_boxes.push_back(r.text);
            return IDOK;
        });
        m_ctx.pApp = &m_app;
        m_ctx.hasCdromDrive = [this] { return m_bDrive; };
        m_ctx.isCdDoorOpen = [this] { return m_bDoorOpen; };
        m_ctx.setCdDoor = [this](bool open) { return m_doorRequests.push_back(open), true; };
        m_ctx.open = [this](const std::string& a) { return m_addresses.push_back(a), true; };
        m_ctx.runDialog = [this](QDialog& dlg) { return m_dialogs.push_back(DialogName(dlg)), 0; };
    }
    void TearDown() override {
        shell::SetMenuTracker({});
        SetMessageBoxHook({});
        platform::SetRegistryKey("");
    }

    void Pump() {
        while (platform::CMessageQueue::Instance().DispatchOne()) {
        }
    }

    testsupport::ScratchFolder m_temp;
    testsupport::CRecordingPlayerApp m_app;
    testsupport::CPlayerWindowWorldGuard m_world{&m_app, m_temp.Path() + "/config"};
    CRecordingWnd m_mainWnd;
    shell::SystemMenuContext m_ctx;
    bool m_bDrive = true;
    bool m_bDoorOpen = false;
    std::vector<bool> m_doorRequests;
    std::vector<std::string> m_addresses, m_boxes, m_dialogs, m_languages;
};

} // namespace menutest
