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
        if (!IsOptionWord(word)) {
            if (!word.empty() && word[0] != '-')
                options.fileArgs.push_back(word);
            continue;
        }
        switch (const char letter = LowerAscii(word[1])) {
        case 'a':
        case 'x':
        case 'n':
        case 'm':
            options.mode = AddMode(letter);
            break;
        case 'r':
            options.random = true;
            break;
        case 'f':
            options.fullScreen = true;
            break;
        case 's':
        case 'l':
            if (i + 1 < words.size()) {
                if (auto number = ReadNumber(words[i + 1])) {
                    (letter == 's' ? options.maxDepth : options.maxFiles) = *number;
                    ++i;
                }
            }
            break;
        default:
            break; // an option this player does not know
        }
    }
    return options;
}

} // namespace core
