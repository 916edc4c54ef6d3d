// Applying a skin to the three windows, all or nothing: the skin folder's files are used only
// when every window loads its own file; otherwise every window is rebuilt from the built-in
// skin, whose artwork and cursors plug in through the windows' own LoadBuiltInSkin and the
// cursor hook below.
#pragma once

#include <functional>
#include <string>

// What each skinned window offers the skin loader.
class ISkinnedWindow {
public:
    // Loads the window's description file from the skin folder; false leaves the window
    // without images until the built-in skin is loaded.
    virtual bool LoadSkin(const std::string& strFolder) = 0;
    virtual void LoadBuiltInSkin() = 0;

protected:
    ~ISkinnedWindow() = default;
};

struct SkinApplyHooks {
    // Fills the six skin cursor slots with the built-in cursors (fallback only).
    std::function<void()> loadBuiltInCursors;
    // Runs last in either case: the windows translate the texts their controls were given.
    std::function<void()> afterApply;
};

// Loads the skin on the main window, the play window and the playlist window, in that order,
// stopping at the first failure; on a failure all three get the built-in skin. Returns
// whether the skin folder's files are in use.
bool ApplySkin(ISkinnedWindow& mainWnd, ISkinnedWindow& playWnd, ISkinnedWindow& playlistWnd,
               const std::string& strFolder, const SkinApplyHooks& hooks);
