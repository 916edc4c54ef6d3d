#include "skin/PlayerApp.h"

namespace {
IPlayerApp* g_pPlayerApp = nullptr;
}

IPlayerApp* GetPlayerApp() { return g_pPlayerApp; }
void SetPlayerApp(IPlayerApp* pApp) { g_pPlayerApp = pApp; }
