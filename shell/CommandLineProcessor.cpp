#include "shell/CommandLineProcessor.h"

#include "core/CommandLineCollector.h"
#include "core/CorePrefs.h"
#include "core/FinderPaths.h"
#include "platform/FileSystem.h"
#include "playback/CommandBus.h"
#include "playback/UIControl.h"
#include "res/StringTable.h"

#include <ctime>
#include <utility>

namespace shell {

namespace {

// Drive and directory of a path, with the separator that ends them.
std::string FolderOfFile(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// An argument is kept by its name alone; one that names no file (a typing error, a file since
// removed) must not cost the user the playlist that mode x or m would clear for it.
std::vector<std::string> ExistingFiles(std::vector<std::string> paths) {
    std::erase_if(paths, [](const std::string& path) {
        const auto status = platform::GetFileStatus(core::DiskPath(path));
        return !status || status->isDirectory;
    });
    return paths;
}

std::uint32_t SecondsNow() {
    return static_cast<std::uint32_t>(std::time(nullptr));
}

} // namespace

int CRandomSequence::Next() {
    m_x = m_x * 214013u + 2531011u;
    return static_cast<int>((m_x >> 16) & 0x7FFF);
}

std::vector<std::size_t> RandomOrderIndices(std::size_t n, std::uint32_t seed) {
    std::vector<std::size_t> index(n);
    for (std::size_t i = 0; i < n; ++i)
        index[i] = i;
    CRandomSequence random(seed);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const std::size_t k = n - i;
        const std::size_t r = std::size_t(random.Next()) / (32767 / k + 1);
        std::swap(index[i], index[i + r]);
    }
    return index;
}

void PutInRandomOrder(std::vector<std::string>& paths, std::uint32_t seed) {
    const std::vector<std::size_t> index = RandomOrderIndices(paths.size(), seed);
    std::vector<std::string> ordered;
    ordered.reserve(paths.size());
    for (std::size_t i : index)
        ordered.push_back(std::move(paths[i]));
    paths = std::move(ordered);
}

CCommandLineProcessor::CCommandLineProcessor(CUIControl& control, ICommandBus& bus,
                                             std::string programPath, std::string filterText)
    : m_control(control), m_bus(bus), m_strProgramPath(std::move(programPath)),
      m_strFilter(std::move(filterText)), m_seed(SecondsNow) {}

void CCommandLineProcessor::ProcessCommandLine(const std::string& text) {
    std::vector<std::string> words = core::SplitCommandLine(text);
    DropProgramPath(words);
    if (words.empty())
        return;
    std::vector<std::string> all = core::SplitCommandLine(res::LoadString(150));
    all.insert(all.end(), words.begin(), words.end());
    const core::CommandLineOptions options = core::ParseCommandLineWords(all);

    const int playState = m_control.GetEnginePlayState();
    const std::vector<std::string> files =
        ExistingFiles(core::CCommandLineCollector(m_strFilter).Collect(options));
    if (files.empty())
        return;

    const bool next = options.mode == core::AddMode::Next;
    std::vector<std::string> list = PrepareList(options, files);
    m_control.AddFiles(list, next);
    m_bus.SubmitCommand(nullptr, next ? CmdInsertRows : CmdAppendRows);
    m_control.Start();
    m_control.SetLastOpenFolder(FolderOfFile(files.front()));
    if (options.fullScreen && m_fullScreen)
        m_fullScreen();

    const bool restart =
        options.mode == core::AddMode::Replace || options.mode == core::AddMode::Mix;
    if ((playState == EngineStopped && CCorePrefs::Get(CCorePrefs::AutoPlay) != 0) ||
        (playState == EnginePlaying && restart))
        m_control.Play();
}

// A forwarded command line starts with the program's path; the one the program started with
// does not. The path is compared without regard to case, as the rest of the line is read.
void CCommandLineProcessor::DropProgramPath(std::vector<std::string>& words) const {
    if (!words.empty() && !m_strProgramPath.empty() &&
        core::LowerAscii(words.front()) == core::LowerAscii(m_strProgramPath))
        words.erase(words.begin());
}

std::vector<std::string> CCommandLineProcessor::PrepareList(const core::CommandLineOptions& options,
                                                            std::vector<std::string> files) {
    if (options.mode == core::AddMode::Mix) {
        std::vector<std::string> list;
        m_control.CollectPaths(list);
        list.insert(list.end(), files.begin(), files.end());
        PutInRandomOrder(list, m_seed());
        ClearPlaylist();
        return list;
    }
    if (options.mode == core::AddMode::Replace)
        ClearPlaylist();
    if (options.random)
        PutInRandomOrder(files, m_seed());
    return files;
}

// The playlist window's rows point at the clips, so they go before the clips are destroyed.
void CCommandLineProcessor::ClearPlaylist() {
    m_bus.SubmitCommand(nullptr, CmdClosing);
    m_control.ClearPlaylist();
}

} // namespace shell
