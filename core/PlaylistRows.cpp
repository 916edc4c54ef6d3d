#include "core/PlaylistRows.h"

#include "core/AttribClip.h"
#include "core/PlaylistPaths.h"
#include "core/RowOrder.h"

#include <algorithm>
#include <numeric>

namespace {
const std::string kEmpty;
} // namespace

int CPlaylistRows::InsertRow(int index, CAttribClip* clip) {
    if (!ValidRow(index))
        index = GetRowCount();
    Row row;
    row.clip = clip;
    m_rows.insert(m_rows.begin() + index, std::move(row));
    if (m_nCursor >= index)
        ++m_nCursor;
    return index;
}

void CPlaylistRows::DeleteRow(int row) {
    if (!ValidRow(row))
        return;
    m_rows.erase(m_rows.begin() + row);
    if (m_nCursor == row)
        m_nCursor = kNoRow;
    else if (m_nCursor > row)
        --m_nCursor;
}

void CPlaylistRows::DeleteAllRows() {
    m_rows.clear();
    m_nCursor = kNoRow;
}

int CPlaylistRows::FindRow(const CAttribClip* clip) const {
    auto it =
        std::find_if(m_rows.begin(), m_rows.end(), [clip](const Row& r) { return r.clip == clip; });
    return it == m_rows.end() ? kNoRow : int(it - m_rows.begin());
}

CAttribClip* CPlaylistRows::GetClip(int row) const {
    return ValidRow(row) ? m_rows[std::size_t(row)].clip : nullptr;
}

void CPlaylistRows::SetText(int row, int column, std::string text) {
    if (ValidRow(row) && column >= 0 && column < kColumns)
        m_rows[std::size_t(row)].texts[std::size_t(column)] = std::move(text);
}

const std::string& CPlaylistRows::GetText(int row, int column) const {
    if (!ValidRow(row) || column < 0 || column >= kColumns)
        return kEmpty;
    return m_rows[std::size_t(row)].texts[std::size_t(column)];
}

void CPlaylistRows::SetPlayable(int row, bool playable) {
    if (ValidRow(row))
        m_rows[std::size_t(row)].playable = playable;
}

bool CPlaylistRows::IsSelected(int row) const {
    return ValidRow(row) && m_rows[std::size_t(row)].selected;
}

void CPlaylistRows::SetSelected(int row, bool selected) {
    if (ValidRow(row))
        m_rows[std::size_t(row)].selected = selected;
}

void CPlaylistRows::SelectAll(bool selected) {
    for (Row& r : m_rows)
        r.selected = selected;
}

void CPlaylistRows::InvertSelection() {
    for (Row& r : m_rows)
        r.selected = !r.selected;
}

int CPlaylistRows::GetSelectedCount() const {
    return int(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.selected; }));
}

void CPlaylistRows::SetCursorRow(int row) {
    m_nCursor = ValidRow(row) ? row : kNoRow;
}

CPlaylistRows::Removal CPlaylistRows::RemoveSelected() {
    Removal result;
    int first = kNoRow; // the first selected row before removal
    int cursor = kNoRow;
    std::vector<Row> kept;
    kept.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        Row& r = m_rows[i];
        if (r.selected) {
            if (first == kNoRow)
                first = int(i);
            result.removed.push_back(r.clip);
            continue;
        }
        if (int(i) == m_nCursor)
            cursor = int(kept.size());
        kept.push_back(std::move(r));
    }
    m_rows = std::move(kept);
    m_nCursor = cursor;
    if (m_nCursor != kNoRow)
        result.nextCurrent = CurrentClip();
    else if (!m_rows.empty())
        result.nextCurrent = GetClip(std::min(std::max(first, 0), GetRowCount() - 1));
    return result;
}

CPlaylistRows::Removal CPlaylistRows::Crop() {
    InvertSelection();
    return RemoveSelected();
}

bool CPlaylistRows::Precedes(const Row& a, const Row& b, int key) {
    switch (key) {
    case SortByDuration:
        return a.clip->GetDuration() < b.clip->GetDuration();
    case SortBySize:
        // The stored size is the low 32 bits of a size that is never negative.
        return std::uint32_t(a.clip->GetFileSize()) < std::uint32_t(b.clip->GetFileSize());
    default:
        return core::CompareNoCase(a.texts[std::size_t(key)], b.texts[std::size_t(key)]) < 0;
    }
}

void CPlaylistRows::Sort(int key) {
    if (key < SortByInfo || key > SortByType)
        return;
    m_bAscending = key == m_nSortKey ? !m_bAscending : true;
    m_nSortKey = key;
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    const bool ascending = m_bAscending;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return ascending ? Precedes(m_rows[x], m_rows[y], key)
                         : Precedes(m_rows[y], m_rows[x], key);
    });
    core::ApplyRowOrder(m_rows, order, m_nCursor, kNoRow);
}

CAttribClip* CPlaylistRows::MoveCursor(int row) {
    m_nCursor = row;
    return CurrentClip();
}

CAttribClip* CPlaylistRows::Navigate(NavigateMode mode) {
    const int count = GetRowCount();
    if (count == 0)
        return nullptr;
    const int last = count - 1;
    switch (mode) {
    case NavigateFirst:
        return MoveCursor(0);
    case NavigateLast:
        return MoveCursor(last);
    case NavigatePrevious:
        // Without a cursor row, previous starts from the end.
        if (m_nCursor == kNoRow)
            return MoveCursor(last);
        if (m_nCursor > 0)
            return MoveCursor(m_nCursor - 1);
        return GetRepeat() ? MoveCursor(last) : nullptr;
    case NavigateNext:
        if (m_nCursor < last) // also when there is no cursor row: row 0
            return MoveCursor(m_nCursor + 1);
        return GetRepeat() ? MoveCursor(0) : nullptr;
    }
    return nullptr;
}

CAttribClip* CPlaylistRows::CurrentClip() const {
    return GetClip(m_nCursor);
}

bool CPlaylistRows::CanNavigate(NavigateMode mode) const {
    if (m_rows.empty())
        return false;
    switch (mode) {
    case NavigateFirst:
    case NavigateLast:
        return true;
    case NavigatePrevious:
        return GetRepeat() || m_nCursor != 0;
    case NavigateNext:
        return GetRepeat() || m_nCursor != GetRowCount() - 1;
    }
    return false;
}
