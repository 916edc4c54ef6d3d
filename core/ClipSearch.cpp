#include "core/ClipSearch.h"

#include <algorithm>

namespace core {

namespace {

using namespace std::string_view_literals;

// Base letters of U+00C0 to U+00FF; '*' marks the two-letter ones (handled apart) and the two
// signs that stay ('×', '÷').
constexpr std::string_view kLatin1 = "aaaaaa*ceeeeiiiidnooooo*ouuuuy**"
                                     "aaaaaa*ceeeeiiiidnooooo*ouuuuy*y"sv;
// Base letters of U+0100 to U+017F; '*' marks the two-letter ones.
constexpr std::string_view kLatinA =
    "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii**jjkkklllllll"
    "lllnnnnnnnnnoooooo**rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs"sv;
static_assert(kLatin1.size() == 64 && kLatinA.size() == 128);

// The folding of one code point of U+00C0 to U+017F; empty to keep the character.
std::string_view FoldLatin(unsigned cp) {
    switch (cp) {
    case 0xC6:
    case 0xE6:
        return "ae";
    case 0xDE:
    case 0xFE:
        return "th";
    case 0xDF:
        return "ss";
    case 0x132:
    case 0x133:
        return "ij";
    case 0x152:
    case 0x153:
        return "oe";
    default:
        break;
    }
    const std::string_view table = cp < 0x100 ? kLatin1 : kLatinA;
    const std::size_t index = cp - (cp < 0x100 ? 0xC0 : 0x100);
    if (index >= table.size() || table[index] == '*')
        return {};
    return table.substr(index, 1);
}

std::vector<std::string> WordsOf(std::string_view folded) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < folded.size()) {
        const std::size_t start = folded.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(folded.find_first_of(" \t", start), folded.size());
        words.emplace_back(folded.substr(start, end - start));
        pos = end;
    }
    return words;
}

} // namespace

std::string FoldForSearch(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            continue;
        }
        // Two-byte sequences of U+00C0 to U+017F start with 0xC3, 0xC4 or 0xC5.
        if (c >= 0xC3 && c <= 0xC5 && i + 1 < text.size()) {
            const unsigned char next = static_cast<unsigned char>(text[i + 1]);
            if ((next & 0xC0) == 0x80) {
                const std::string_view folded = FoldLatin(((c & 0x1Fu) << 6) | (next & 0x3Fu));
                if (!folded.empty()) {
                    out += folded;
                    ++i;
                    continue;
                }
            }
        }
        out += char(c);
    }
    return out;
}

void CClipSearch::SetRows(const std::vector<std::string>& texts) {
    m_text.clear();
    m_offsets.assign(1, 0);
    m_offsets.reserve(texts.size() + 1);
    for (const std::string& text : texts) {
        // A line break between rows' texts keeps a word from matching across two rows' fields.
        m_text += FoldForSearch(text);
        m_text += '\n';
        m_offsets.push_back(m_text.size());
    }
    m_bHaveLast = false;
    m_lastMatches.clear();
}

bool CClipSearch::Matches(std::size_t row, const std::vector<std::string>& words) const {
    const std::string_view text(m_text.data() + m_offsets[row],
                                m_offsets[row + 1] - m_offsets[row]);
    return std::all_of(words.begin(), words.end(), [&](const std::string& word) {
        return text.find(word) != std::string_view::npos;
    });
}

std::vector<int> CClipSearch::Find(std::string_view query, std::size_t limit, std::size_t& total) {
    const std::string folded = FoldForSearch(query);
    const std::vector<std::string> words = WordsOf(folded);
    std::vector<int> matches;
    if (m_bHaveLast && folded.starts_with(m_strLastQuery)) {
        // Every match of the longer query matched the shorter one.
        for (int row : m_lastMatches)
            if (Matches(std::size_t(row), words))
                matches.push_back(row);
    } else {
        for (std::size_t row = 0; row < GetRowCount(); ++row)
            if (Matches(row, words))
                matches.push_back(int(row));
    }
    m_strLastQuery = folded;
    m_lastMatches = matches;
    m_bHaveLast = true;
    total = matches.size();
    if (matches.size() > limit)
        matches.resize(limit);
    return matches;
}

} // namespace core
