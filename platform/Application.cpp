#include "platform/Application.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

namespace platform {

void PrepareApplication() {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool wayland =
        (session && std::strcmp(session, "wayland") == 0) || std::getenv("WAYLAND_DISPLAY");
    const char* display = std::getenv("DISPLAY");
    if (wayland && !std::getenv("QT_QPA_PLATFORM") && display && *display)
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

} // namespace platform
