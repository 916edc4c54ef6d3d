// The rules of the playlist rows that do not depend on how the rows are stored: where the
// cursor goes on first / previous / next / last, which row's clip becomes current after a
// removal, how two rows compare under a sort key and which way the next sort runs, and the
// duration text of a row. The row model of the core and the playlist window's list share them.
#pragma once

#include "core/PlaylistNavigator.h"

#include <string>
#include <string_view>

class CAttribClip;

namespace core {

constexpr int kNoRowTarget = -1;

// The row the cursor moves to, or kNoRowTarget when the move is not possible (the cursor then
// stays). `cursor` is kNoRowTarget when there is no cursor row.
int NavigationTarget(int rowCount, int cursor, NavigateMode mode, bool repeat);
// Whether NavigationTarget would find a row.
bool CanNavigateRows(int rowCount, int cursor, NavigateMode mode, bool repeat);

// After the selected rows went: the row whose clip becomes current when no cursor row is left.
// `firstSelected` is the first selected row before removal (kNoRowTarget when none was); the
// answer is that place, row 0 without one, the last row when it is past the end, and
// kNoRowTarget when no rows remain.
int RowAfterRemoval(int firstSelected, int rowsLeft);

// Sort keys: 0 clip info (column 0), 1 duration, 2 file name (column 2), 3 file size,
// 4 file type (column 4).
enum PlaylistSortKey : int { SortByInfo, SortByDuration, SortByName, SortBySize, SortByType };
constexpr int kSortKeyCount = 5;

// Less-than of two rows under a sort key, ascending. Text keys compare the rows' texts in
// column `key` without regard to case; numeric keys compare the clips.
bool SortPrecedes(int key, const CAttribClip& a, std::string_view textA, const CAttribClip& b,
                  std::string_view textB);

// The key and direction of the last sort: the same key again flips the direction, another key
// (and the first sort) sorts ascending.
class CSortDirection {
public:
    // Records a sort by `key` and returns whether it runs ascending.
    bool Next(int key);
    int GetKey() const { return m_nKey; } // kNoRowTarget before the first sort
    bool IsAscending() const { return m_bAscending; }

private:
    int m_nKey = kNoRowTarget;
    bool m_bAscending = true;
};

// "h:mm:ss", "m:ss" or "ss" (3725 → "1:02:05", 65 → "1:05", 5 → "05").
std::string FormatDuration(int seconds);
// The duration column: empty for an unknown (0) or damaged (negative) duration.
std::string DurationText(int seconds);

} // namespace core
