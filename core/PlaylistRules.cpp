#include "core/PlaylistRules.h"

#include "core/AttribClip.h"
#include "core/PlaylistPaths.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace core {

int NavigationTarget(int rowCount, int cursor, NavigateMode mode, bool repeat) {
    if (rowCount <= 0)
        return kNoRowTarget;
    const int last = rowCount - 1;
    switch (mode) {
    case NavigateFirst:
        return 0;
    case NavigateLast:
        return last;
    case NavigatePrevious:
        // Without a cursor row, previous starts from the end.
        if (cursor < 0 || cursor > last)
            return last;
        if (cursor > 0)
            return cursor - 1;
        return repeat ? last : kNoRowTarget;
    case NavigateNext:
        if (cursor < last) // also when there is no cursor row: row 0
            return std::max(cursor, -1) + 1;
        return repeat ? 0 : kNoRowTarget;
    }
    return kNoRowTarget;
}

bool CanNavigateRows(int rowCount, int cursor, NavigateMode mode, bool repeat) {
    if (rowCount <= 0)
        return false;
    switch (mode) {
    case NavigateFirst:
    case NavigateLast:
        return true;
    case NavigatePrevious:
        return repeat || cursor != 0;
    case NavigateNext:
        return repeat || cursor != rowCount - 1;
    }
    return false;
}

int RowAfterRemoval(int firstSelected, int rowsLeft) {
    if (rowsLeft <= 0)
        return kNoRowTarget;
    return std::min(std::max(firstSelected, 0), rowsLeft - 1);
}

bool SortPrecedes(int key, const CAttribClip& a, std::string_view textA, const CAttribClip& b,
                  std::string_view textB) {
    switch (key) {
    case SortByDuration:
        return a.GetDuration() < b.GetDuration();
    case SortBySize:
        // The stored size is the low 32 bits of a size that is never negative.
        return std::uint32_t(a.GetFileSize()) < std::uint32_t(b.GetFileSize());
    default:
        return CompareNoCase(textA, textB) < 0;
    }
}

bool CSortDirection::Next(int key) {
    m_bAscending = key == m_nKey ? !m_bAscending : true;
    m_nKey = key;
    return m_bAscending;
}

std::string FormatDuration(int seconds) {
    const int h = seconds / 3600;
    const int m = seconds % 3600 / 60;
    const int s = seconds % 60;
    char text[32];
    if (h >= 1)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", h, m, s);
    else if (m >= 1)
        std::snprintf(text, sizeof text, "%d:%02d", m, s);
    else
        std::snprintf(text, sizeof text, "%02d", s);
    return text;
}

std::string DurationText(int seconds) {
    return seconds > 0 ? FormatDuration(seconds) : std::string();
}

} // namespace core
