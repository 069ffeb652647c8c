#pragma once

#include "grid/formula/CellRef.h"

#include <QtGlobal>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace talor::grid::formula {

// A cell position, 1-based.
struct CellPos
{
    int row = 0;
    int col = 0;
    bool operator==(const CellPos&) const = default;
};

// What to recompute after a change: first give every `circular` cell the circular-reference
// error (#CIRC!) without evaluating it, then evaluate the `order` cells one after the other
// (each one's precedents come before it; cells that read a circular cell come after it and
// pick up its error).
struct RecalcPlan
{
    std::vector<CellPos> order;
    std::vector<CellPos> circular;
};

// Which formula cells read which cells, for recalculation in dependency order. The sheet
// registers each formula cell with the references of its formula and removes it when the
// cell no longer holds a formula. Ranges stay ranges (found through a coarse grid of
// blocks), so SUM(A1:A36000) is one entry, not 36,000. Every walk is iterative: a chain of
// any length or a circular reference never recurses deeply nor loops.
class DependencyGraph
{
public:
    // Registers (or replaces) the formula in `cell` as reading `references`.
    void setFormula(CellPos cell, const std::vector<RangeRef>& references);
    void removeFormula(CellPos cell);
    void clear();
    bool hasFormula(CellPos cell) const;
    int formulaCount() const { return int(m_formulas.size()); }

    // The formula cells that read `cell` directly, in row-then-column order.
    std::vector<CellPos> dependents(CellPos cell) const;

    // The formula cells to recompute after the cells `changed` got new contents: the changed
    // cells that hold formulas themselves and everything that reads them, directly or not.
    RecalcPlan recalcOrder(const std::vector<CellPos>& changed) const;
    // Every formula cell (after loading a sheet or inserting/deleting columns).
    RecalcPlan recalcAll() const;

private:
    using Key = quint64;
    static Key key(int row, int col) { return (Key(quint32(row)) << 32) | quint32(col); }
    static CellPos position(Key k) { return CellPos{int(k >> 32), int(k & 0xFFFFFFFFu)}; }

    struct Entry
    {
        std::vector<Key> cells;  // single-cell references
        std::vector<int> ranges; // slots in m_ranges
    };
    struct RangeSlot
    {
        RangeRef area;
        Key owner = 0;
    };

    template <typename Visit> void forEachBlock(const RangeRef& area, Visit visit) const;
    std::vector<Key> readers(Key cell) const;
    RecalcPlan plan(std::vector<Key> seeds) const;

    std::unordered_map<Key, Entry> m_formulas;
    std::unordered_map<Key, std::unordered_set<Key>> m_cellReaders;
    std::vector<RangeSlot> m_ranges;
    std::vector<int> m_freeRanges;
    std::unordered_map<Key, std::unordered_set<int>> m_blocks; // block -> range slots touching it
};

} // namespace talor::grid::formula
