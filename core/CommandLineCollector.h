// Collects the media and playlist files named on the command line: file arguments that the
// open-file filter accepts, and the files found by searching folder arguments.
#pragma once

#include "core/CommandLineOptions.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace core {

class CCommandLineCollector {
public:
    // filterText: the open-file filter (BuildOpenFilter) with labels in the current language.
    explicit CCommandLineCollector(std::string filterText);

    // A file is accepted when its lower-cased extension has two characters or more and occurs
    // anywhere in the filter text (so also inside a group label).
    bool Accept(const std::string& path) const;

    // Walks the file arguments of options, in order, until options.maxFiles files are
    // collected. A folder argument becomes the current folder and is searched, its subfolders
    // down to options.maxDepth levels, each made current in turn. Relative arguments are
    // taken from the folder that was current when collecting began, and the collected paths
    // are full paths, so a folder made current never changes what a later argument names.
    std::vector<std::string> Collect(const CommandLineOptions& options);

private:
    void CollectArgument(const std::string& arg, const std::string& startFolder);
    void SearchFolder(const std::string& folder);
    // listedAsRegular: the folder listing found a regular file, so its kind needs no check.
    void CollectFile(const std::string& path, bool listedAsRegular = false);
    bool Full() const { return m_files.size() >= m_nMaxFiles; }
    // Says once per collection that the file limit left something out.
    void ReportCut(const std::string& where);

    std::string m_strFilter;
    std::uint32_t m_nMaxDepth = 1;
    std::uint32_t m_nDepth = 0;
    std::uint32_t m_nMaxFiles = 100;
    bool m_bCutReported = false;
    std::vector<std::string> m_files;
    // Folders already searched, by file-system identity: a folder reached again through a
    // symbolic link (a loop, or a second link) is not searched twice.
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_visited;
};

} // namespace core
