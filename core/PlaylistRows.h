// The rows of the playlist window: one row per clip in display order, with a selected flag,
// a playable mark, the column texts and one cursor row. The row order, not the order of the
// playlist record, decides what plays next; sorting and moving rows never touch the record.
#pragma once

#include "core/PlaylistNavigator.h"
#include "core/PlaylistRules.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CAttribClip;

class CPlaylistRows : public IPlaylistNavigator {
public:
    static constexpr int kColumns = 5;
    static constexpr int kNoRow = -1;

    struct Row {
        CAttribClip* clip = nullptr; // not owned: the playlist record owns its clips
        bool selected = false;
        bool playable = true;
        std::array<std::string, kColumns> texts;
    };

    // Sort keys: 0 clip info (column 0), 1 duration, 2 file name (column 2), 3 file size,
    // 4 file type (column 4).
    enum SortKey : int {
        SortByInfo = core::SortByInfo,
        SortByDuration = core::SortByDuration,
        SortByName = core::SortByName,
        SortBySize = core::SortBySize,
        SortByType = core::SortByType,
    };

    // Where removing rows leaves the playlist: the clips whose rows went (the caller removes them
    // from the playlist record) and the clip that becomes current (null when no rows remain).
    struct Removal {
        std::vector<CAttribClip*> removed;
        CAttribClip* nextCurrent = nullptr;
    };

    // Navigation wraps around at the ends while the query answers true (the controller's repeat
    // flag); without a query it wraps.
    void SetRepeatQuery(std::function<bool()> query) { m_repeat = std::move(query); }
    bool GetRepeat() const { return !m_repeat || m_repeat(); }

    int GetRowCount() const { return int(m_rows.size()); }
    const Row& GetRow(int row) const { return m_rows[std::size_t(row)]; }
    // Inserts a row for the clip at `index` (appends when out of range); returns its index.
    int InsertRow(int index, CAttribClip* clip);
    int AppendRow(CAttribClip* clip) { return InsertRow(GetRowCount(), clip); }
    void DeleteRow(int row);
    void DeleteAllRows();
    int FindRow(const CAttribClip* clip) const;
    CAttribClip* GetClip(int row) const;

    void SetText(int row, int column, std::string text);
    // Empty when the row or column does not exist.
    const std::string& GetText(int row, int column) const;
    void SetPlayable(int row, bool playable);

    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected);
    void SelectAll(bool selected);
    void InvertSelection();
    int GetSelectedCount() const;

    int GetCursorRow() const { return m_nCursor; }
    // Sets the cursor row; a row that does not exist means none.
    void SetCursorRow(int row);

    // Deletes the selected rows; the cursor row's clip becomes current if it remains, otherwise
    // the row that took the place of the first selected one (row 0 when none was selected, the
    // last row when that place is past the end).
    Removal RemoveSelected();
    // Keeps only the selected rows (inverts the selection, then removes).
    Removal Crop();

    // Sorts the rows by `key`: ascending, or descending when the previous sort used the same key.
    // Rows of equal value keep their order; selection and cursor move with their rows.
    void Sort(int key);
    int GetSortKey() const { return m_sort.GetKey(); } // kNoRow before the first sort
    bool IsSortAscending() const { return m_sort.IsAscending(); }

    CAttribClip* Navigate(NavigateMode mode) override;
    CAttribClip* CurrentClip() const override;
    bool CanNavigate(NavigateMode mode) const override;
    std::vector<CAttribClip*> RowClips() const override;
    CAttribClip* NavigateTo(CAttribClip* clip) override;

private:
    bool ValidRow(int row) const { return row >= 0 && row < GetRowCount(); }
    CAttribClip* MoveCursor(int row);

    std::vector<Row> m_rows;
    int m_nCursor = kNoRow;
    core::CSortDirection m_sort;
    std::function<bool()> m_repeat;
};
