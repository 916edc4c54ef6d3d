// Process set-up that must happen before the QApplication exists.
#pragma once

namespace platform {

// Chooses the windowing platform and the screen scaling: on a Wayland session the program runs
// through XWayland (windows place themselves) unless QT_QPA_PLATFORM is set or no X display is
// there; high-DPI screens scale by whole factors so bitmap skins stay sharp.
void PrepareApplication();

} // namespace platform
