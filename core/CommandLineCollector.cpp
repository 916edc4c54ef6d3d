#include "core/CommandLineCollector.h"

#include "core/FinderPaths.h"
#include "core/PlaylistPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <algorithm>

namespace core {

namespace {

std::string AbsoluteArgument(const std::string& arg, const std::string& startFolder) {
    if (arg.starts_with('/') || IsDriveLetterPath(arg) || startFolder.empty())
        return NormalizePosixPath(arg);
    return NormalizePosixPath(startFolder + "/" + arg);
}

} // namespace

CCommandLineCollector::CCommandLineCollector(std::string filterText)
    : m_strFilter(std::move(filterText)) {}

bool CCommandLineCollector::Accept(const std::string& path) const {
    const std::string ext = LowerAscii(ExtensionOf(path));
    return ext.size() >= 2 && m_strFilter.find(ext) != std::string::npos;
}

std::vector<std::string> CCommandLineCollector::Collect(const CommandLineOptions& options) {
    m_nMaxDepth = options.maxDepth;
    m_nMaxFiles = options.maxFiles;
    m_nDepth = 0;
    m_files.clear();
    m_visited.clear();
    const std::string startFolder = platform::GetCurrentFolder();
    m_bCutReported = false;
    for (const std::string& arg : options.fileArgs) {
        if (Full()) {
            ReportCut(arg);
            break;
        }
        CollectArgument(arg, startFolder);
    }
    return std::move(m_files);
}

void CCommandLineCollector::CollectArgument(const std::string& arg,
                                            const std::string& startFolder) {
    std::string path = arg;
    // One trailing separator goes, so folder entries join without doubling it.
    if (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    path = AbsoluteArgument(path, startFolder);
    const std::string disk = DiskPath(path);
    if (platform::IsDirectory(disk)) {
        if (platform::SetCurrentFolder(disk))
            SearchFolder(path);
    } else {
        CollectFile(path);
    }
}

void CCommandLineCollector::SearchFolder(const std::string& folder) {
    const std::string disk = DiskPath(folder);
    const auto status = platform::GetFileStatus(disk);
    if (m_nDepth > m_nMaxDepth || !status ||
        !m_visited.insert({status->device, status->inode}).second)
        return;
    std::vector<platform::FolderEntry> entries;
    platform::ListFolderInto(disk, "*", entries, platform::ListDetail::Kinds);
    // The order the open dialog shows, not the file system's.
    std::sort(entries.begin(), entries.end(),
              [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
                  return NaturalLess(a.name, b.name);
              });
    for (const platform::FolderEntry& e : entries) {
        if (Full()) {
            ReportCut(folder);
            return;
        }
        const std::string path = JoinFolder(folder, e.name);
        if (!e.isDirectory) {
            CollectFile(path, e.isRegularFile);
        } else if (m_nDepth < m_nMaxDepth && platform::SetCurrentFolder(DiskPath(path))) {
            ++m_nDepth;
            SearchFolder(path);
            --m_nDepth;
        }
    }
}

void CCommandLineCollector::ReportCut(const std::string& where) {
    if (m_bCutReported)
        return;
    m_bCutReported = true;
    platform::LogWarning("only the first " + std::to_string(m_nMaxFiles) +
                         " files were added (option -l); the rest from " + where +
                         " on was left out");
}

void CCommandLineCollector::CollectFile(const std::string& path, bool listedAsRegular) {
    if (!Accept(path)) {
        platform::LogVerbose("left out, not a media or playlist type: " + path);
        return;
    }
    // A FIFO or device named like a media file would block the player that opens it. A name
    // that does not exist is kept: adding it is what reports it. What the folder listing
    // already knows to be a regular file needs no second look.
    if (const auto status =
            listedAsRegular ? std::nullopt : platform::GetFileStatus(DiskPath(path));
        status && !status->isRegularFile) {
        // Said whatever the log setting: the user named the file and finds no row for it.
        platform::LogWarning("left out, not a regular file (a pipe or a device): " + path);
        return;
    }
    m_files.push_back(path);
}

} // namespace core
