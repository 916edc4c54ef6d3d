#include "core/DiscDiscovery.h"

#include "core/FileFinder.h"
#include "core/FinderPaths.h"
#include "core/MediaTypes.h"

#include <cstdio>

namespace core {

namespace {

using FindFn = std::vector<std::string> (*)(const std::string&, const platform::CdromSources&);

// An audio disc shows one entry per audio track, as a disc in a drive does on systems that
// list its tracks as files.
std::vector<platform::FolderEntry> TrackEntries(const std::vector<int>& tracks) {
    std::vector<platform::FolderEntry> entries;
    for (int track : tracks) {
        char name[32];
        std::snprintf(name, sizeof name, "Track%02d.cda", track);
        entries.push_back({name});
    }
    return entries;
}

DiscOpenResult OpenFirst(const std::vector<std::string>& drives,
                         const platform::CdromSources& sources, FindFn find,
                         const char* notFoundText) {
    for (const std::string& drive : drives) {
        auto paths = find(drive, sources);
        if (!paths.empty())
            return {std::move(paths), drive, std::string()};
    }
    return {{}, std::string(), notFoundText};
}

} // namespace

std::vector<std::string> ListCdromDrives(const platform::CdromSources& sources) {
    return platform::ListCdromDevices(sources);
}

std::vector<std::string> FindCdClips(const std::string& root,
                                     const platform::CdromSources& sources) {
    const std::string folder = StripTrailingSeparators(root);
    // Audio discs are not mounted, so a mount point stands for the device mounted there.
    std::string device = folder;
    if (!IsDriveLetterPath(folder)) {
        if (auto mounted = platform::FindMountedDevice(folder, sources.mountsFile))
            device = *mounted;
    }
    const auto tracks =
        IsDriveLetterPath(device) ? std::nullopt : platform::ReadAudioTracks(device);
    CFileFinder finder([&](const std::string& disk, const std::string& pattern,
                           std::vector<platform::FolderEntry>& entries) {
        if (!tracks || disk != device)
            return platform::ListFolderInto(disk, pattern, entries);
        for (auto& e : TrackEntries(*tracks)) {
            if (platform::MatchesPattern(e.name, pattern))
                entries.push_back(std::move(e));
        }
        return platform::ListStatus::Listed;
    });
    finder.AddFolder(tracks ? device : folder);
    finder.Search("*.CDA");
    finder.Sort(FINDER_SORT_PATH, false);
    return finder.ResultPaths();
}

std::vector<std::string> FindVcdClips(const std::string& root,
                                      const platform::CdromSources& sources) {
    std::string folder = StripTrailingSeparators(root);
    if (!IsDriveLetterPath(folder)) {
        if (auto mountPoint = platform::FindMountPoint(folder, sources.mountsFile))
            folder = StripTrailingSeparators(*mountPoint);
    }
    CFileFinder finder;
    finder.AddFolder(JoinFolder(folder, "MPEGAV"));
    for (const char* pattern : {"*.DAT", "*.MPG", "*.MEPG"})
        finder.Search(pattern);
    finder.Sort(FINDER_SORT_PATH, false);
    return finder.ResultPaths();
}

DiscOpenResult OpenCd(const std::vector<std::string>& drives,
                      const platform::CdromSources& sources) {
    return OpenFirst(drives, sources, FindCdClips, kCdNotFoundText);
}

DiscOpenResult OpenVcd(const std::vector<std::string>& drives,
                       const platform::CdromSources& sources) {
    return OpenFirst(drives, sources, FindVcdClips, kVcdNotFoundText);
}

} // namespace core
