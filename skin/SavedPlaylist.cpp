#include "skin/SavedPlaylist.h"

#include "core/PlaylistFile.h"
#include "platform/FileSystem.h"
#include "platform/StoreNotices.h"

#include <cerrno>
#include <filesystem>

namespace skin {

namespace {

std::string KeptFolder() {
    return platform::UserDataHome() + "/corvella/";
}

constexpr const char* kKeptNames[] = {"playlist.mpl", "playlist-2.mpl"};

bool IsKeptFile(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    return name == kKeptNames[0] || name == kKeptNames[1];
}

} // namespace

std::string SavedPlaylistPath() {
    return KeptFolder() + kKeptNames[0];
}

std::string NextSavedPlaylistPath(const std::string& named) {
    return KeptFolder() + (named == KeptFolder() + kKeptNames[0] ? kKeptNames[1] : kKeptNames[0]);
}

bool StoreSavedPlaylist(const CObjListClip& list, const std::string& path) {
    errno = 0;
    if (platform::MakePrivateFolder(std::filesystem::path(path).parent_path()) &&
        core::SavePlaylist(list, path, nullptr))
        return true;
    platform::ReportSaveFailure(path, errno);
    return false;
}

bool LoadSavedPlaylist(const std::string& path, CObjListClip& list) {
    const std::string problem = core::LoadKeptPlaylist(list, path);
    if (problem.empty())
        return true;
    // Only the program's own files are moved; a state naming anything else leaves it alone.
    const bool present = platform::FileExists(path);
    const std::string aside =
        present && IsKeptFile(path) ? platform::MoveDamagedAside(path) : std::string();
    platform::ReportDamagedFile(path, aside, "saved playlist: " + problem);
    return false;
}

void RemoveSavedPlaylist(const std::string& path) {
    std::error_code ec;
    if (IsKeptFile(path))
        std::filesystem::remove(path, ec);
}

} // namespace skin
