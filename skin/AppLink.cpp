#include "skin/AppLink.h"

namespace {
IPlayerApp* g_pPlayerApp = nullptr;
}

IPlayerApp* GetPlayerApp() { return g_pPlayerApp; }
void SetPlayerApp(IPlayerApp* pApp) { g_pPlayerApp = pApp; }

std::string TranslateText(const std::string& text) {
    return g_pPlayerApp ? g_pPlayerApp->Translate(text) : text;
}
