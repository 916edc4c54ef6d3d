// The process-wide state the player windows use (message queue, snap registry, registry folder,
// core preferences, skin cursors, application object), fresh for a test and cleared after it.
#pragma once

#include "core/CorePrefs.h"
#include "platform/MessageQueue.h"
#include "platform/Registry.h"
#include "skin/AppLink.h"
#include "skin/SkinCursor.h"
#include "skin/SnapWnd.h"

#include <string>

namespace testsupport {

inline void EnterPlayerWindowWorld(IPlayerApp* pApp, const std::string& registryFolder) {
    platform::CMessageQueue::Instance().Reset();
    CSnapWnd::UnregisterAll();
    CRegistry::Instance().Reset(registryFolder);
    CCorePrefs::ResetToDefaults();
    SetPlayerApp(pApp);
}

inline void LeavePlayerWindowWorld() {
    SetPlayerApp(nullptr);
    CSnapWnd::UnregisterAll();
    CSkinCursors::Clear();
    CCorePrefs::ResetToDefaults();
    CRegistry::Instance().Reset();
    platform::CMessageQueue::Instance().Reset();
}

// The two as one object, declared before the windows so that it leaves after they are gone.
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
