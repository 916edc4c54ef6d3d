// The small file finder of disc discovery: lists the files of some folders (not of their
// subfolders) that match a pattern, and sorts what it found.
#pragma once

#include "platform/FileSystem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace core {

struct FinderRecord {
    std::string path;         // folder, separator, file name
    std::int64_t created = 0; // times in seconds since 1970 (see FolderEntry)
    std::int64_t accessed = 0;
    std::int64_t written = 0;
    std::uint64_t size = 0;
};

// Sort keys of CFileFinder::Sort.
enum FinderSortKey : int {
    FINDER_SORT_PATH = 1, // without regard to case
    FINDER_SORT_WRITTEN = 2,
    FINDER_SORT_CREATED = 3,
    FINDER_SORT_ACCESSED = 4,
    FINDER_SORT_SIZE = 5,
};

class CFileFinder {
public:
    // Lists one folder (given in the form the file system takes) into entries.
    using Lister =
        std::function<platform::ListStatus(const std::string& folder, const std::string& pattern,
                                           std::vector<platform::FolderEntry>& entries)>;

    CFileFinder(); // lists folders through the file system
    explicit CFileFinder(Lister lister);

    void ClearFolders() { m_folders.clear(); }
    void ClearResults() { m_results.clear(); }
    void AddFolder(const std::string& path);

    // Appends a record for every file of every folder that matches pattern. A folder that
    // cannot be opened adds nothing; false when a listing broke off part-way.
    bool Search(const std::string& pattern);

    // Orders all results by key; any other key leaves them as they are. Equal keys keep
    // their order.
    void Sort(int key, bool descending);

    const std::vector<FinderRecord>& Results() const { return m_results; }
    std::vector<std::string> ResultPaths() const;

private:
    Lister m_lister;
    std::vector<std::string> m_folders;
    std::vector<FinderRecord> m_results;
};

} // namespace core
