// CD-ROM drives as the system reports them: the drive list, the mount table and the audio
// tracks of the disc in a drive. No Qt or system types appear here, so core/ may use it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// Where the drive facts come from. The defaults are the running system's; tests point them at
// files of their own.
struct CdromSources {
    std::string infoFile = "/proc/sys/dev/cdrom/info";
    std::string mountsFile = "/proc/self/mounts";
    std::string deviceFolder = "/dev";
};

// Device paths of the CD-ROM drives ("/dev/sr0", "/dev/sr1", ...), in the order of their names
// with numbers compared by value (sr2 before sr10). Empty when the system has no drive.
std::vector<std::string> ListCdromDevices(const CdromSources& sources = {});

// The folder a device is mounted on (the first mount of it in the table), or the device
// mounted on a folder. Paths are compared as written and after resolving symbolic links.
std::optional<std::string> FindMountPoint(const std::string& device, const std::string& mountsFile);
std::optional<std::string> FindMountedDevice(const std::string& folder,
                                             const std::string& mountsFile);

// Numbers of the audio tracks on the disc in a drive (or in a disc image libcdio can open),
// in track order. nullopt when the path is not a readable disc; an empty list for a disc
// without audio tracks.
std::optional<std::vector<int>> ReadAudioTracks(const std::string& device);

} // namespace platform
