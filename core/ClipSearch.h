// Finding rows of the playlist by what the user types: each row's text (title and path) is
// folded once (letters lower-cased, accents dropped from Latin letters), and a query matches a
// row when every word of the folded query occurs in it, in any order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Lower-case ASCII and the accented Latin letters of U+00C0 to U+017F as their base letters
// ("Éléonore" → "eleonore", "Straße" → "strasse"); other bytes stay as they are.
std::string FoldForSearch(std::string_view text);

class CClipSearch {
public:
    // Replaces the rows; row i of the results is texts[i].
    void SetRows(const std::vector<std::string>& texts);
    std::size_t GetRowCount() const { return m_offsets.empty() ? 0 : m_offsets.size() - 1; }

    // The rows matching query, in row order, at most `limit` of them; `total` gets the count of
    // all matches. A query without words matches every row. A query that extends the previous
    // one (more letters or more words) searches only the previous matches.
    std::vector<int> Find(std::string_view query, std::size_t limit, std::size_t& total);

private:
    bool Matches(std::size_t row, const std::vector<std::string>& words) const;

    std::string m_text;                 // every folded row, one after the other
    std::vector<std::size_t> m_offsets; // row i is [m_offsets[i], m_offsets[i + 1])
    std::string m_strLastQuery;         // folded
    std::vector<int> m_lastMatches;     // every match of m_strLastQuery
    bool m_bHaveLast = false;
};

} // namespace core
