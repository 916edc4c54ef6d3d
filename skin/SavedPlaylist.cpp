#include "skin/SavedPlaylist.h"

#include "core/PlaylistFile.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <filesystem>

namespace skin {

namespace {

// Start-up and shutdown have nobody to show a message to: the log gets it.
void LogProblem(const std::string& caption, const std::string& text) {
    platform::LogWarning(caption + " " + text);
}

} // namespace

std::string SavedPlaylistPath() {
    return platform::UserDataHome() + "/corvella/playlist.mpl";
}

std::string StoreSavedPlaylist(const CObjListClip& list) {
    const std::string path = SavedPlaylistPath();
    platform::MakePrivateFolder(std::filesystem::path(path).parent_path());
    if (!core::SavePlaylist(list, path, LogProblem)) {
        platform::LogWarning("the playlist is too large for the settings and could not be kept "
                             "in " +
                             path);
        return {};
    }
    return path;
}

bool LoadSavedPlaylist(const std::string& path, CObjListClip& list) {
    return core::LoadPlaylist(list, path, LogProblem);
}

void RemoveSavedPlaylist() {
    std::error_code ec;
    std::filesystem::remove(SavedPlaylistPath(), ec);
}

} // namespace skin
