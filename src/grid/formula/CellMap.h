#pragma once

#include "grid/formula/CellRef.h"

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace talor::grid::formula {

// A map from cells of the sheet (rows 1..MaxRow, columns 1..MaxColumn) to values, kept per
// column in pages of 64 rows. A report registers a formula (and its readers) on every one of
// thousands of rows and drops them all with its sheet: here that is a few page allocations
// per column instead of a hash-table node per cell, and a look-up is two index steps and a
// bit test instead of hashing. Cells outside the sheet are never held: find() gives nothing
// for them and insert() throws std::out_of_range.
template <typename T> class CellMap
{
public:
    static constexpr int PageRows = 64;

    CellMap() = default;
    CellMap(CellMap&&) noexcept = default;
    CellMap& operator=(CellMap&&) noexcept = default;
    CellMap(const CellMap&) = delete;
    CellMap& operator=(const CellMap&) = delete;

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    const T* find(int row, int col) const
    {
        if (row < 1 || row > MaxRow || col < 1 || size_t(col) > m_columns.size())
            return nullptr;
        const auto& pages = m_columns[size_t(col - 1)];
        const size_t page = size_t(row - 1) / PageRows;
        if (page >= pages.size() || !pages[page])
            return nullptr;
        const int bit = (row - 1) % PageRows;
        return (pages[page]->used >> bit) & 1u ? &pages[page]->items[size_t(bit)] : nullptr;
    }
    T* find(int row, int col) { return const_cast<T*>(std::as_const(*this).find(row, col)); }
    bool contains(int row, int col) const { return find(row, col) != nullptr; }

    // The value of (row, col), default-made when the cell had none; `.second` tells whether
    // it was added.
    std::pair<T*, bool> insert(int row, int col)
    {
        if (row < 1 || row > MaxRow || col < 1 || col > MaxColumn)
            throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                    ") lies outside the sheet");
        if (size_t(col) > m_columns.size())
            m_columns.resize(size_t(col));
        auto& pages = m_columns[size_t(col - 1)];
        const size_t page = size_t(row - 1) / PageRows;
        if (page >= pages.size())
            pages.resize(page + 1);
        if (!pages[page])
            pages[page] = std::make_unique<Page>();
        Page& p = *pages[page];
        const int bit = (row - 1) % PageRows;
        const quint64 mask = quint64(1) << bit;
        const bool added = !(p.used & mask);
        if (added) {
            p.used |= mask;
            ++m_size;
        }
        return {&p.items[size_t(bit)], added};
    }
    T& operator()(int row, int col) { return *insert(row, col).first; }

    // Drops the value of (row, col); false when it had none.
    bool erase(int row, int col)
    {
        if (!find(row, col))
            return false;
        auto& pages = m_columns[size_t(col - 1)];
        const size_t page = size_t(row - 1) / PageRows;
        const int bit = (row - 1) % PageRows;
        Page& p = *pages[page];
        p.items[size_t(bit)] = T();
        p.used &= ~(quint64(1) << bit);
        --m_size;
        if (p.used == 0)
            pages[page].reset();
        return true;
    }

    void clear()
    {
        m_columns.clear();
        m_size = 0;
    }

    // Calls visit(row, col, value) for every cell held, column by column, rows ascending.
    template <typename Visit> void forEach(Visit visit) const
    {
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const auto& pages = m_columns[c];
            for (size_t page = 0; page < pages.size(); ++page) {
                if (!pages[page])
                    continue;
                for (quint64 used = pages[page]->used; used; used &= used - 1) {
                    const int bit = std::countr_zero(used);
                    visit(int(page) * PageRows + bit + 1, int(c) + 1, pages[page]->items[size_t(bit)]);
                }
            }
        }
    }

    // Calls visit(row, col, value) for every cell held in rows row1..row2, column by column,
    // rows ascending: only the pages of those rows are looked at.
    template <typename Visit> void forEachInRows(int row1, int row2, Visit visit) const
    {
        row1 = std::max(row1, 1);
        row2 = std::min(row2, int(MaxRow));
        if (row1 > row2)
            return;
        const size_t page1 = size_t(row1 - 1) / PageRows;
        const size_t page2 = size_t(row2 - 1) / PageRows;
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const auto& pages = m_columns[c];
            for (size_t page = page1; page <= page2 && page < pages.size(); ++page) {
                if (!pages[page])
                    continue;
                quint64 used = pages[page]->used;
                const int first = int(page) * PageRows + 1; // the page's first row
                if (row1 > first)
                    used &= ~quint64(0) << (row1 - first);
                if (row2 < first + PageRows - 1)
                    used &= ~quint64(0) >> (first + PageRows - 1 - row2);
                for (; used; used &= used - 1) {
                    const int bit = std::countr_zero(used);
                    visit(first + bit, int(c) + 1, pages[page]->items[size_t(bit)]);
                }
            }
        }
    }

    // Drops every cell for which drop(row, col, value) is true.
    template <typename Drop> void eraseIf(Drop drop)
    {
        for (size_t c = 0; c < m_columns.size(); ++c) {
            auto& pages = m_columns[c];
            for (size_t page = 0; page < pages.size(); ++page) {
                if (!pages[page])
                    continue;
                Page& p = *pages[page];
                for (quint64 used = p.used; used; used &= used - 1) {
                    const int bit = std::countr_zero(used);
                    if (drop(int(page) * PageRows + bit + 1, int(c) + 1,
                             std::as_const(p.items[size_t(bit)]))) {
                        p.items[size_t(bit)] = T();
                        p.used &= ~(quint64(1) << bit);
                        --m_size;
                    }
                }
                if (p.used == 0)
                    pages[page].reset();
            }
        }
    }

private:
    struct Page
    {
        quint64 used = 0; // bit r: row (page * 64 + r + 1) holds a value
        std::array<T, PageRows> items{};
    };
    std::vector<std::vector<std::unique_ptr<Page>>> m_columns; // [col - 1][(row - 1) / 64]
    size_t m_size = 0;
};

} // namespace talor::grid::formula
