// What the playback controller asks of the engine manager. The engine manager implements it;
// the controller never reaches an engine itself.
#pragma once

#include <string>

class IEngineManagerControl {
public:
    virtual ~IEngineManagerControl() = default;

    // Passed on to the engine whose clip is open; nothing happens while no clip is open.
    virtual void SetVolume(int volume) = 0;
    virtual void SetMute(bool mute) = 0;
    // The play window's size mode, kept by the manager for the play window.
    virtual void SetDisplayMode(int mode) = 0;
    // Draw the logo in the empty video area while no text is shown.
    virtual void SetIdleLogo(bool show) = 0;
    // Error or status text drawn in the video area; empty removes it.
    virtual void SetOverlayText(const std::string& text) = 0;
    // An open is under way.
    virtual bool IsLoading() const = 0;
    // The open clip can be positioned; false while no clip is open.
    virtual bool CanSeek() const = 0;
    // The clip that will follow the open one, so an engine that can may join it without a
    // gap; empty: none is known. Managers that cannot join clips ignore it.
    virtual void SetNextPath(const std::string& path) { (void)path; }
};
