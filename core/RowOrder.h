// Reordering a list of rows by a permutation while the cursor row (an index) follows its row.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace core {

// rows[i] becomes the old rows[order[i]]; cursor, an index into the old rows or a negative
// "no row", becomes the index of the same row in the new order (or noRow when it had none).
template <typename Row>
void ApplyRowOrder(std::vector<Row>& rows, const std::vector<std::size_t>& order, int& cursor,
                   int noRow) {
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    int newCursor = noRow;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (int(order[i]) == cursor)
            newCursor = int(i);
        sorted.push_back(std::move(rows[order[i]]));
    }
    rows = std::move(sorted);
    cursor = newCursor;
}

} // namespace core
