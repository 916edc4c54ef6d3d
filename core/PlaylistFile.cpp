#include "core/PlaylistFile.h"

#include "core/Archive.h"
#include "core/AttribClip.h"
#include "core/PlaylistImporter.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "res/StringTable.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace core {

namespace {
constexpr std::uint32_t kIdLoadFailed = 105;
constexpr std::uint32_t kIdCaption = 106;
constexpr std::uint32_t kIdSaveFailed = 112;
constexpr std::uint32_t kIdUnrecognized = 117;
constexpr std::uint32_t kIdTooLarge = 5200;
// A clip record takes about this many bytes before its path: for sizing the save buffer.
constexpr std::size_t kClipRecordOverhead = 48;

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}
} // namespace

void ReportFileError(const ErrorReporter& report, std::uint32_t messageId,
                     const std::string& path) {
    if (report)
        report(res::LoadString(kIdCaption), res::LoadString(messageId) + "\n\n " + path);
}

bool SavePlaylist(const CObjListClip& list, const std::string& path, const ErrorReporter& report) {
    CArchive ar;
    std::size_t estimate = 16;
    for (std::size_t i = 0; i < list.GetCount(); ++i)
        estimate += kClipRecordOverhead + list.GetAt(i)->GetPath().size();
    ar.Reserve(estimate);
    // Serialize does not change a list that is being stored.
    const_cast<CObjListClip&>(list).Serialize(ar);
    if (HasNul(path) || !platform::WriteFileAtomically(path, ar.GetBuffer())) {
        ReportFileError(report, kIdSaveFailed, path);
        return false;
    }
    return true;
}

bool LoadPlaylist(CObjListClip& list, const std::string& path, const ErrorReporter& report) {
    constexpr std::uint64_t kCap = PlaylistImporter::kMaxFileBytes;
    const bool nul = HasNul(path);
    const auto data = nul ? std::nullopt : platform::ReadWholeFile(path, kCap);
    if (!data) {
        const auto status = nul ? std::nullopt : platform::GetFileStatus(path);
        ReportFileError(report, status && status->size > kCap ? kIdTooLarge : kIdLoadFailed, path);
        return false;
    }
    CObjListClip temp;
    CArchive ar(*data);
    temp.Serialize(ar);
    if (ar.Failed()) {
        ReportFileError(report, kIdLoadFailed, path);
        return false;
    }
    list.TakeAll(temp); // the list name read from the file is not kept
    return true;
}

std::string LoadKeptPlaylist(CObjListClip& list, const std::string& path) {
    errno = 0;
    const auto data = HasNul(path) ? std::nullopt : platform::ReadWholeFile(path);
    if (!data)
        return errno ? std::strerror(errno) : "not a readable file";
    CObjListClip temp;
    CArchive ar(*data);
    temp.LoadReadable(ar);
    const std::size_t read = temp.GetCount();
    list.TakeAll(temp);
    if (ar.Failed())
        return "damaged after " + std::to_string(read) + " clips";
    if (!ar.AtEnd())
        return "unknown data after the end of the list";
    return {};
}

bool ImportPlaylist(CObjListClip& list, const std::string& path, const ErrorReporter& report) {
    PlaylistImporter importer;
    if (!importer.Read(path)) {
        ReportFileError(report, importer.TooLarge() ? kIdTooLarge : kIdUnrecognized, path);
        return false;
    }
    for (std::size_t i = 0; i < importer.GetCount(); ++i) {
        auto clip = std::make_unique<CAttribClip>();
        std::string entry = importer.TakePath(i);
        if (!clip->LoadFileInfo(entry))
            clip->SetPath(std::move(entry));
        clip->SetTitle(importer.TakeTitle(i));
        clip->SetDuration(std::int32_t(importer.GetLength(i)));
        list.Add(std::move(clip));
    }
    return true;
}

AddFilesResult AddFiles(CObjListClip& playlist, const std::vector<std::string>& paths,
                        bool insertAfterCurrent, const CAttribClip* current,
                        const ErrorReporter& report) {
    AddFilesResult result;
    CObjListClip temp;
    for (const std::string& path : paths) {
        bool ok = true;
        if (IsStreamUri(path)) {
            // An address has no file to read: it is kept as it is and opened when it plays.
            auto clip = std::make_unique<CAttribClip>();
            clip->SetPath(path);
            temp.Add(std::move(clip));
        } else if (IsNativePlaylist(path)) {
            ok = LoadPlaylist(temp, path, report);
        } else if (IsForeignPlaylist(path)) {
            ok = ImportPlaylist(temp, path, report);
        } else {
            auto clip = std::make_unique<CAttribClip>();
            if (clip->LoadFileInfo(path)) {
                temp.Add(std::move(clip));
            } else {
                platform::LogVerbose("left out, not a readable media file: " + path);
                result.skippedPaths.push_back(path);
            }
        }
        if (!ok)
            result.failedPaths.push_back(path);
    }

    result.added.reserve(temp.GetCount());
    for (std::size_t i = 0; i < temp.GetCount(); ++i)
        result.added.push_back(temp.GetAt(i));
    playlist.TakeAll(temp, insertAfterCurrent ? current : nullptr);
    return result;
}

} // namespace core
