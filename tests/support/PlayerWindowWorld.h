// The process-wide state the player windows use, set up fresh for a test and cleared after it:
// the message queue, the snap registry, a private registry folder, the core preferences, the
// skin cursors and the application object.
#pragma once

#include "core/CorePrefs.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "skin/AppLink.h"
#include "skin/SkinCursor.h"
#include "skin/SnapWnd.h"

#include <string>

namespace testsupport {

// Call before the windows are made (registryFolder is the test's own).
inline void EnterPlayerWindowWorld(IPlayerApp* pApp, const std::string& registryFolder) {
    platform::CMessageQueue::Instance().Reset();
    CSnapWnd::UnregisterAll();
    CRegistry::Instance().Reset(registryFolder);
    CCorePrefs::ResetToDefaults();
    SetPlayerApp(pApp);
}

// Call after the windows are gone.
inline void LeavePlayerWindowWorld() {
    SetPlayerApp(nullptr);
    CSnapWnd::UnregisterAll();
    CSkinCursors::Clear();
    CCorePrefs::ResetToDefaults();
    CRegistry::Instance().Reset();
    platform::CMessageQueue::Instance().Reset();
}

// The two as one object: a fixture declares it before its windows, so that it leaves the world
// after they are gone.
class CPlayerWindowWorldGuard {
public:
    CPlayerWindowWorldGuard(IPlayerApp* pApp, const std::string& registryFolder) {
        EnterPlayerWindowWorld(pApp, registryFolder);
    }
    ~CPlayerWindowWorldGuard() { LeavePlayerWindowWorld(); }
    CPlayerWindowWorldGuard(const CPlayerWindowWorldGuard&) = delete;
    CPlayerWindowWorldGuard& operator=(const CPlayerWindowWorldGuard&) = delete;
};

} // namespace testsupport
