#include "core/CommandLineOptions.h"

#include "core/FinderPaths.h"

#include <limits>
#include <optional>

namespace core {

namespace {

// A decimal number; values beyond 32 bits are held at the largest one.
std::optional<std::uint32_t> ReadNumber(const std::string& word) {
    if (word.empty() || word.size() > 64)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min<std::uint64_t>(value * 10 + std::uint64_t(c - '0'),
                                        std::numeric_limits<std::uint32_t>::max());
    }
    return std::uint32_t(value);
}

bool IsOptionWord(const std::string& word) {
    return word.size() == 2 && (word[0] == '-' || word[0] == '/');
}

// Applies one option letter; returns how many following words it used (0 or 1).
std::size_t ApplyOption(char letter, const std::string* next, CommandLineOptions& options) {
    switch (letter) {
    case 'a':
    case 'x':
    case 'n':
    case 'm':
        options.mode = AddMode(letter);
        return 0;
    case 'r':
        options.random = true;
        return 0;
    case 'f':
        options.fullScreen = true;
        return 0;
    case 's':
    case 'l': {
        const auto number = next ? ReadNumber(*next) : std::nullopt;
        if (!number)
            return 0;
        (letter == 's' ? options.maxDepth : options.maxFiles) = *number;
        return 1;
    }
    default:
        return 0; // an option this player does not know
    }
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true; // "" is an empty word
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

CommandLineOptions ParseCommandLineWords(const std::vector<std::string>& words) {
    CommandLineOptions options;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (IsOptionWord(word))
            i += ApplyOption(LowerAscii(word[1]), i + 1 < words.size() ? &words[i + 1] : nullptr,
                             options);
        else if (!word.empty() && word[0] != '-')
            options.fileArgs.push_back(word);
    }
    return options;
}

} // namespace core
