#pragma once

#include "grid/formula/CellMap.h"
#include "grid/formula/CellRef.h"

#include <QtGlobal>
#include <algorithm>
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
// cell no longer holds a formula. Ranges stay ranges: each is indexed in at most
// MaxRangeBlocks blocks of the finest of three grids (64 rows x 8 columns, 1,024 x 32, the
// whole sheet) that keeps it within that count, so SUM(A1:A36000) or a whole column costs a
// few entries, not one per 64 rows. Planning a recalculation follows ranges as ranges too,
// never as one edge per cell and reader, so running totals over a computed column
// (F<r> = SUM($C$2:C<r>)) plan in time and memory near their count, not its square. Every
// walk is iterative: a chain of any length or a circular reference never recurses deeply
// nor loops.
class DependencyGraph
{
public:
    static constexpr int MaxRangeBlocks = 16;

    // Registers (or replaces) the formula in `cell` as reading `references`, each moved by
    // (rowOffset, colOffset): a formula copied from another cell registers its reading's
    // references.
    void setFormula(CellPos cell, const std::vector<RangeRef>& references, int rowOffset = 0,
                    int colOffset = 0);
    void removeFormula(CellPos cell);
    void clear();
    bool hasFormula(CellPos cell) const;
    int formulaCount() const { return int(m_formulas.size()); }
    // Index entries the ranges take (what a range costs beyond its own record).
    size_t rangeIndexEntries() const;

    // The formula cells that read `cell` directly, in row-then-column order.
    std::vector<CellPos> dependents(CellPos cell) const;

    // The formula cells to recompute after the cells `changed` got new contents: the changed
    // cells that hold formulas themselves and everything that reads them, directly or not.
    RecalcPlan recalcOrder(const std::vector<CellPos>& changed) const;
    // The same after changes that all lie in rows row1..row2: the formula cells in those rows
    // and everything that reads a cell there, directly or not. For many changes to a few rows
    // it looks at those rows once instead of at every change.
    RecalcPlan recalcRows(int row1, int row2) const;
    // Every formula cell (after loading a sheet or inserting/deleting columns).
    RecalcPlan recalcAll() const;

private:
    using Key = quint64;
    static Key key(int row, int col) { return (Key(quint32(row)) << 32) | quint32(col); }
    static CellPos position(Key k) { return CellPos{int(k >> 32), int(k & 0xFFFFFFFFu)}; }
    // A formula's reference list holds cell keys and range slots marked with this bit.
    static constexpr Key RangeFlag = Key(1) << 63;
    // Cells read by more formulas than this keep their readers in a hash set.
    static constexpr size_t CrowdedReaders = 64;

    // A formula's references or a cell's readers: up to `Inline` keys without a heap block of
    // their own, as most report formulas read a cell or two and most cells have one reader
    // (a report registers thousands of formulas, and drops them all with its sheet).
    template <quint32 Inline> class KeyList
    {
    public:
        KeyList() = default;
        KeyList(KeyList&& other) noexcept { *this = std::move(other); }
        KeyList& operator=(KeyList&& other) noexcept
        {
            if (this == &other)
                return *this;
            if (m_capacity > Inline)
                delete[] m_heap;
            m_size = other.m_size;
            m_capacity = other.m_capacity;
            if (other.m_capacity > Inline)
                m_heap = other.m_heap;
            else
                std::copy(other.m_inline, other.m_inline + other.m_size, m_inline);
            other.m_size = 0;
            other.m_capacity = Inline;
            return *this;
        }
        KeyList(const KeyList&) = delete;
        KeyList& operator=(const KeyList&) = delete;
        ~KeyList()
        {
            if (m_capacity > Inline)
                delete[] m_heap;
        }

        const Key* begin() const { return m_capacity > Inline ? m_heap : m_inline; }
        const Key* end() const { return begin() + m_size; }
        Key* begin() { return m_capacity > Inline ? m_heap : m_inline; }
        Key* end() { return begin() + m_size; }
        Key& back() { return begin()[m_size - 1]; }
        size_t size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        void push_back(Key key)
        {
            if (m_size == m_capacity) {
                const quint32 capacity = m_capacity * 2;
                Key* keys = new Key[capacity];
                std::copy(begin(), end(), keys);
                if (m_capacity > Inline)
                    delete[] m_heap;
                m_heap = keys;
                m_capacity = capacity;
            }
            begin()[m_size++] = key;
        }
        void pop_back() { --m_size; }

    private:
        quint32 m_size = 0;
        quint32 m_capacity = Inline;
        union {
            Key m_inline[Inline];
            Key* m_heap;
        };
    };
    using References = KeyList<2>; // 24 bytes
    using Readers = KeyList<1>;    // 16 bytes

    struct RangeSlot
    {
        RangeRef area;
        Key owner = 0;
        int level = 0;
    };

    template <typename Visit> static void forEachBlock(const RangeRef& area, int level, Visit visit);
    template <typename Visit> void forEachCellReader(Key cell, Visit visit) const;
    template <typename Visit> void forEachReader(Key cell, Visit visit) const;
    void addReader(Key cell, Key owner);
    void removeReader(Key cell, Key owner);
    RecalcPlan plan(std::vector<Key> seeds) const;
    // The formulas `seeds` and every formula that reads one of them, directly or not, each
    // numbered in `index` by its place in the list.
    std::vector<Key> affected(std::vector<Key> seeds, CellMap<int>& index) const;
    // `nodes` in evaluation order, with the ones on a circular reference apart.
    RecalcPlan ordered(const std::vector<Key>& nodes, const CellMap<int>& index) const;

    CellMap<References> m_formulas; // formula -> its references
    CellMap<Readers> m_cellReaders;
    std::unordered_map<Key, std::unordered_set<Key>> m_crowdedReaders;
    std::vector<RangeSlot> m_ranges;
    std::vector<int> m_freeRanges;
    std::unordered_map<Key, std::vector<int>> m_blocks; // (level, block) -> range slots touching it
    int m_levelRanges[3] = {0, 0, 0};
    // The rightmost column any range of each level has ever reached (recalcRows looks no further).
    int m_levelLastCol[3] = {0, 0, 0};
};

} // namespace talor::grid::formula
