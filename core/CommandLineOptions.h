// Reading the player's command line: words, option letters and their numbers, and the file or
// folder arguments in the order given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// How new entries reach the playlist; of a, x, n and m the last one given counts.
enum class AddMode : char {
    Append = 'a',  // added to the current playlist
    Replace = 'x', // the playlist is cleared first
    Next = 'n',    // inserted behind the current clip
    Mix = 'm',     // merged with the current entries in random order
};

struct CommandLineOptions {
    AddMode mode = AddMode::Replace;
    bool random = false;     // r: new entries in random order
    bool fullScreen = false; // f: play window enlarged to the work area
    // s N and l N; the values used when no option sets them.
    std::uint32_t maxDepth = 1;
    std::uint32_t maxFiles = 100;
    std::vector<std::string> fileArgs; // as written, in command-line order
};

// Splits on blanks and tabs; double quotes group a path that holds blanks and are dropped.
std::vector<std::string> SplitCommandLine(const std::string& text);

// Reads the words: an option is "-" or "/" and one letter (any case) as a word of its own;
// "s" and "l" take the next word as their number. A number word that is not a decimal number
// leaves its option without effect and is read as an argument. Other words starting with "-"
// are options this player does not know and are ignored; every remaining word is a file or
// folder argument, kept as written.
CommandLineOptions ParseCommandLineWords(const std::vector<std::string>& words);

inline CommandLineOptions ParseCommandLine(const std::string& text) {
    return ParseCommandLineWords(SplitCommandLine(text));
}

} // namespace core
