#include "core/PlaylistRows.h"

#include "core/AttribClip.h"
#include "core/PlaylistRules.h"
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
    else
        result.nextCurrent = GetClip(core::RowAfterRemoval(first, GetRowCount()));
    return result;
}

CPlaylistRows::Removal CPlaylistRows::Crop() {
    InvertSelection();
    return RemoveSelected();
}

void CPlaylistRows::Sort(int key) {
    if (key < core::SortByInfo || key >= core::kSortKeyCount)
        return;
    const bool ascending = m_sort.Next(key);
    std::vector<std::size_t> order(m_rows.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    const auto precedes = [key](const Row& a, const Row& b) {
        return core::SortPrecedes(key, *a.clip, a.texts[std::size_t(key)], *b.clip,
                                  b.texts[std::size_t(key)]);
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        return ascending ? precedes(m_rows[x], m_rows[y]) : precedes(m_rows[y], m_rows[x]);
    });
    core::ApplyRowOrder(m_rows, order, m_nCursor, kNoRow);
}

CAttribClip* CPlaylistRows::MoveCursor(int row) {
    m_nCursor = row;
    return CurrentClip();
}

CAttribClip* CPlaylistRows::Navigate(NavigateMode mode) {
    const int row = core::NavigationTarget(GetRowCount(), m_nCursor, mode, GetRepeat());
    return row == kNoRow ? nullptr : MoveCursor(row);
}

CAttribClip* CPlaylistRows::CurrentClip() const {
    return GetClip(m_nCursor);
}

bool CPlaylistRows::CanNavigate(NavigateMode mode) const {
    return core::CanNavigateRows(GetRowCount(), m_nCursor, mode, GetRepeat());
}

std::vector<CAttribClip*> CPlaylistRows::RowClips() const {
    std::vector<CAttribClip*> clips;
    clips.reserve(m_rows.size());
    for (const Row& row : m_rows)
        clips.push_back(row.clip);
    return clips;
}

CAttribClip* CPlaylistRows::NavigateTo(CAttribClip* clip) {
    const int row = FindRow(clip);
    return row == kNoRow ? nullptr : MoveCursor(row);
}
