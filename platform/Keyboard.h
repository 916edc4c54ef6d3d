// The state of the modifier keys as of the latest input event the program received, the way a
// message handler asks for it while handling that event.
#pragma once

#include "platform/WinTypes.h"

namespace platform {

// True while the key is held: VK_CONTROL, VK_SHIFT or VK_MENU (Alt).
bool IsKeyDown(WPARAM vk);
// Recorded by the window layer from every key and mouse event.
void SetModifierState(bool control, bool shift, bool alt);

} // namespace platform
