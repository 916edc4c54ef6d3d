#include "platform/CdromDrives.h"

#include "platform/FileSystem.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <sys/stat.h>

namespace platform {

namespace {

constexpr std::uint64_t kMaxTableBytes = 1u << 20;

// "sr2" < "sr10": the name without its trailing digits first, then the digits by value.
bool DriveNameLess(const std::string& a, const std::string& b) {
    auto split = [](const std::string& s) {
        std::size_t i = s.size();
        while (i > 0 && s[i - 1] >= '0' && s[i - 1] <= '9')
            --i;
        const std::string digits = s.substr(i).substr(0, 9); // keeps the number in range
        return std::pair(s.substr(0, i), digits.empty() ? -1L : std::stol(digits));
    };
    return split(a) < split(b);
}

// The mount table writes blanks, tabs, newlines and backslashes as octal escapes (\040).
std::string UnescapeMountField(const std::string& field) {
    auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                        (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::string Canonical(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

bool SamePath(const std::string& a, const std::string& b) {
    return a == b || Canonical(a) == Canonical(b);
}

// Mount table rows as (device, mount point).
std::vector<std::pair<std::string, std::string>> ReadMounts(const std::string& mountsFile) {
    std::vector<std::pair<std::string, std::string>> rows;
    const auto text = ReadWholeFile(mountsFile, kMaxTableBytes);
    if (!text)
        return rows;
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, folder;
        if (fields >> device >> folder)
            rows.emplace_back(UnescapeMountField(device), UnescapeMountField(folder));
    }
    return rows;
}

// The other half of the first mount row whose device (byDevice) or mount point is path. Only
// rows naming a device file count, not "tmpfs", "proc" and the like.
std::optional<std::string> LookUpMount(const std::string& path, const std::string& mountsFile,
                                       bool byDevice) {
    for (const auto& [device, folder] : ReadMounts(mountsFile)) {
        if (device.starts_with('/') && SamePath(byDevice ? device : folder, path))
            return byDevice ? folder : device;
    }
    return std::nullopt;
}

// libcdio reports through a process-wide log; warnings about short pregaps or missing files
// would only clutter standard error, so only errors are kept.
void QuietCdioLog() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_loglevel_default = CDIO_LOG_ERROR; });
}

} // namespace

std::vector<std::string> ListCdromDevices(const CdromSources& sources) {
    std::vector<std::string> names;
    const auto text = ReadWholeFile(sources.infoFile, kMaxTableBytes);
    if (!text)
        return {};
    std::istringstream lines(*text);
    std::string line;
    const std::string key = "drive name:";
    while (std::getline(lines, line)) {
        if (!line.starts_with(key))
            continue;
        std::istringstream words(line.substr(key.size()));
        std::string name;
        while (words >> name) {
            if (name.find('/') == std::string::npos && name != "." && name != "..")
                names.push_back(name);
        }
        break;
    }
    // The kernel lists the newest drive first; drive order follows the names instead.
    std::sort(names.begin(), names.end(), DriveNameLess);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    std::string folder = sources.deviceFolder;
    if (!folder.ends_with('/'))
        folder += '/';
    for (std::string& name : names)
        name = folder + name;
    return names;
}

std::optional<std::string> FindMountPoint(const std::string& device,
                                          const std::string& mountsFile) {
    return LookUpMount(device, mountsFile, true);
}

std::optional<std::string> FindMountedDevice(const std::string& folder,
                                             const std::string& mountsFile) {
    return LookUpMount(folder, mountsFile, false);
}

std::optional<std::vector<int>> ReadAudioTracks(const std::string& device) {
    // Only block devices and image files go to libcdio; a folder is never a disc.
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0 || !(S_ISBLK(st.st_mode) || S_ISREG(st.st_mode)))
        return std::nullopt;
    QuietCdioLog();
    CdIo_t* cdio = cdio_open(device.c_str(), DRIVER_UNKNOWN);
    if (!cdio)
        return std::nullopt;
    std::optional<std::vector<int>> tracks;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK) {
        tracks.emplace();
        for (int t = first; t < int(first) + int(count) && t <= CDIO_CD_MAX_TRACKS; ++t) {
            if (cdio_get_track_format(cdio, track_t(t)) == TRACK_FORMAT_AUDIO)
                tracks->push_back(t);
        }
    }
    cdio_destroy(cdio);
    return tracks;
}

} // namespace platform
