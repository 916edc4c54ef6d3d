// Turns a command line (the one the program started with, or one a later start handed over)
// into playlist actions on the playback controller.
#pragma once

#include "core/CommandLineOptions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CUIControl;
class ICommandBus;

namespace shell {

// The pseudo-random sequence behind the random order: x <- x * 214013 + 2531011 (32-bit
// wrap-around), each number being (x >> 16) & 0x7FFF, 0 to 32767.
class CRandomSequence {
public:
    explicit CRandomSequence(std::uint32_t seed) : m_x(seed) {}
    int Next();

private:
    std::uint32_t m_x;
};

// The positions of a list of n entries in random order: 0 .. n-1, and for each i up to n-2 the
// entry at i swapped with the one at i + r, r being the next number scaled below n - i.
std::vector<std::size_t> RandomOrderIndices(std::size_t n, std::uint32_t seed);
// Puts the list into that order; a list of 0 or 1 entries is unchanged.
void PutInRandomOrder(std::vector<std::string>& paths, std::uint32_t seed);

class CCommandLineProcessor {
public:
    // programPath: the program's own full path, which starts a forwarded command line.
    // filterText: the open-file filter that decides which files are media or playlist files.
    CCommandLineProcessor(CUIControl& control, ICommandBus& bus, std::string programPath,
                          std::string filterText);

    // Option f: the play window enlarges itself to the full work area.
    void SetFullScreenHook(std::function<void()> hook) { m_fullScreen = std::move(hook); }
    // The seed of the random order; the current time in seconds unless set.
    void SetSeedSource(std::function<std::uint32_t()> seed) { m_seed = std::move(seed); }

    // The default options (string 150) come first, so the user's options override them.
    // Only option letters are read without regard to case; paths are kept as written.
    void ProcessCommandLine(const std::string& text);

private:
    void DropProgramPath(std::vector<std::string>& words) const;
    std::vector<std::string> PrepareList(const core::CommandLineOptions& options,
                                         std::vector<std::string> files);
    void ClearPlaylist();

    CUIControl& m_control;
    ICommandBus& m_bus;
    std::string m_strProgramPath;
    std::string m_strFilter;
    std::function<void()> m_fullScreen;
    std::function<std::uint32_t()> m_seed;
};

} // namespace shell
