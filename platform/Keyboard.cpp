#include "platform/Keyboard.h"

namespace platform {

namespace {
bool g_control = false;
bool g_shift = false;
bool g_alt = false;
} // namespace

bool IsKeyDown(WPARAM vk) {
    switch (vk) {
    case VK_CONTROL:
        return g_control;
    case VK_SHIFT:
        return g_shift;
    case VK_MENU:
        return g_alt;
    default:
        return false;
    }
}

void SetModifierState(bool control, bool shift, bool alt) {
    g_control = control;
    g_shift = shift;
    g_alt = alt;
}

} // namespace platform
