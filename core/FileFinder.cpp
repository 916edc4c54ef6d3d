#include "core/FileFinder.h"

#include "core/FinderPaths.h"

#include <algorithm>

namespace core {

namespace {

bool PathLessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return (unsigned char)LowerAscii(x) < (unsigned char)LowerAscii(y);
    });
}

} // namespace

CFileFinder::CFileFinder()
    : CFileFinder([](const std::string& folder, const std::string& pattern,
                     std::vector<platform::FolderEntry>& entries) {
          return platform::ListFolderInto(folder, pattern, entries);
      }) {}

CFileFinder::CFileFinder(Lister lister) : m_lister(std::move(lister)) {}

void CFileFinder::AddFolder(const std::string& path) {
    m_folders.push_back(StripTrailingSeparators(path));
}

bool CFileFinder::Search(const std::string& pattern) {
    bool ok = true;
    for (const std::string& folder : m_folders) {
        std::vector<platform::FolderEntry> entries;
        // A folder stripped down to nothing was the file system's root.
        const std::string disk = folder.empty() ? std::string("/") : DiskPath(folder);
        if (m_lister(disk, pattern, entries) == platform::ListStatus::ReadFailed)
            ok = false;
        for (const platform::FolderEntry& e : entries) {
            if (e.isDirectory)
                continue;
            m_results.push_back(
                {JoinFolder(folder, e.name), e.changed, e.accessed, e.modified, e.size});
        }
    }
    return ok;
}

void CFileFinder::Sort(int key, bool descending) {
    auto by = [&](auto field) {
        std::stable_sort(m_results.begin(), m_results.end(),
                         [&](const FinderRecord& a, const FinderRecord& b) {
                             return descending ? field(b, a) : field(a, b);
                         });
    };
    auto byMember = [&](auto member) {
        by([member](const FinderRecord& a, const FinderRecord& b) {
            return a.*member < b.*member;
        });
    };
    switch (key) {
    case FINDER_SORT_PATH:
        by([](const FinderRecord& a, const FinderRecord& b) {
            return PathLessIgnoringCase(a.path, b.path);
        });
        break;
    case FINDER_SORT_WRITTEN:
        byMember(&FinderRecord::written);
        break;
    case FINDER_SORT_CREATED:
        byMember(&FinderRecord::created);
        break;
    case FINDER_SORT_ACCESSED:
        byMember(&FinderRecord::accessed);
        break;
    case FINDER_SORT_SIZE:
        byMember(&FinderRecord::size); // 64-bit: the high half decides first
        break;
    default:
        break;
    }
}

std::vector<std::string> CFileFinder::ResultPaths() const {
    std::vector<std::string> paths;
    paths.reserve(m_results.size());
    for (const FinderRecord& r : m_results)
        paths.push_back(r.path);
    return paths;
}

} // namespace core
