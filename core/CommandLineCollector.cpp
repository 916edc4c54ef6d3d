#include "core/CommandLineCollector.h"

#include "core/FinderPaths.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

namespace core {

namespace {

std::string AbsoluteArgument(const std::string& arg, const std::string& startFolder) {
    if (arg.starts_with('/') || IsDriveLetterPath(arg) || startFolder.empty())
        return arg;
    std::string relative = arg;
    while (relative.starts_with("./"))
        relative.erase(0, 2);
    return startFolder.ends_with('/') ? startFolder + relative : startFolder + "/" + relative;
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
    for (const std::string& arg : options.fileArgs) {
        if (Full())
            break;
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
    for (const platform::FolderEntry& e : entries) {
        if (Full())
            return;
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
        platform::LogVerbose("left out, not a regular file: " + path);
        return;
    }
    m_files.push_back(path);
}

} // namespace core
