#include "skin/SkinLoader.h"

bool ApplySkin(ISkinnedWindow& mainWnd, ISkinnedWindow& playWnd, ISkinnedWindow& playlistWnd,
               const std::string& strFolder, const SkinApplyHooks& hooks) {
    const bool fromFiles = mainWnd.LoadSkin(strFolder) && playWnd.LoadSkin(strFolder) &&
                           playlistWnd.LoadSkin(strFolder);
    if (!fromFiles) {
        if (hooks.loadBuiltInCursors)
            hooks.loadBuiltInCursors();
        mainWnd.LoadBuiltInSkin();
        playWnd.LoadBuiltInSkin();
        playlistWnd.LoadBuiltInSkin();
    }
    if (hooks.afterApply)
        hooks.afterApply();
    return fromFiles;
}
