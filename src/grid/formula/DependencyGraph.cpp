#include "grid/formula/DependencyGraph.h"

#include <algorithm>
#include <limits>

namespace talor::grid::formula {

namespace {

// The grids ranges are indexed in: blocks of this many rows and columns.
constexpr int LevelRows[3] = {64, 1024, 65536};
constexpr int LevelCols[3] = {8, 32, 256};

quint64 blockKey(int level, int blockRow, int blockCol)
{
    return (quint64(level) << 40) | (quint64(blockRow) << 16) | quint64(blockCol);
}

// Removes one `value` from `list`, whose order does not matter.
template <typename List, typename T> void eraseOne(List& list, T value)
{
    const auto found = std::find(list.begin(), list.end(), value);
    if (found != list.end()) {
        *found = list.back();
        list.pop_back();
    }
}

int blockCount(const RangeRef& area, int level)
{
    const int rows = (area.last.row - 1) / LevelRows[level] - (area.first.row - 1) / LevelRows[level] + 1;
    const int cols = (area.last.col - 1) / LevelCols[level] - (area.first.col - 1) / LevelCols[level] + 1;
    return rows * cols;
}

// The ranges of one block that cover one column, for taking those that hold a given row:
// sorted by first row, with a tree of the largest last row below each node, so a range is
// found once and ranges that lie above or below the row cost nothing.
class OpenColumn
{
public:
    struct Range
    {
        int firstRow, lastRow, slot;
    };

    explicit OpenColumn(std::vector<Range> ranges) : m_ranges(std::move(ranges))
    {
        std::sort(m_ranges.begin(), m_ranges.end(),
                  [](const Range& a, const Range& b) { return a.firstRow < b.firstRow; });
        m_width = 1;
        while (m_width < m_ranges.size())
            m_width *= 2;
        m_lastRows.assign(2 * m_width, Gone);
        for (size_t i = 0; i < m_ranges.size(); ++i)
            m_lastRows[m_width + i] = m_ranges[i].lastRow;
        for (size_t i = m_width - 1; i >= 1; --i)
            m_lastRows[i] = std::max(m_lastRows[2 * i], m_lastRows[2 * i + 1]);
    }

    // Calls `take` with the slot of each range not yet taken that holds `row`.
    template <typename Take> void takeAt(int row, Take take)
    {
        const auto end = std::upper_bound(m_ranges.begin(), m_ranges.end(), row,
                                          [](int r, const Range& range) { return r < range.firstRow; });
        const size_t starting = size_t(end - m_ranges.begin()); // ranges [0, starting) start at or above it
        m_found.clear();
        m_search.assign(1, Node{1, 0, m_width});
        while (!m_search.empty()) {
            const Node node = m_search.back();
            m_search.pop_back();
            if (node.begin >= starting || m_lastRows[node.index] < row)
                continue;
            if (node.end - node.begin == 1) {
                m_found.push_back(node.begin);
                continue;
            }
            const size_t middle = (node.begin + node.end) / 2;
            m_search.push_back(Node{2 * node.index + 1, middle, node.end});
            m_search.push_back(Node{2 * node.index, node.begin, middle});
        }
        for (const size_t i : m_found) {
            take(m_ranges[i].slot);
            size_t at = m_width + i;
            m_lastRows[at] = Gone;
            for (at /= 2; at >= 1; at /= 2)
                m_lastRows[at] = std::max(m_lastRows[2 * at], m_lastRows[2 * at + 1]);
        }
    }

private:
    static constexpr int Gone = -1;
    struct Node
    {
        size_t index, begin, end;
    };

    std::vector<Range> m_ranges;
    size_t m_width = 1;
    std::vector<int> m_lastRows;
    std::vector<size_t> m_found;
    std::vector<Node> m_search;
};

} // namespace

template <typename Visit> void DependencyGraph::forEachBlock(const RangeRef& area, int level, Visit visit)
{
    const int r1 = (std::max(area.first.row, 1) - 1) / LevelRows[level];
    const int r2 = (std::max(area.last.row, 1) - 1) / LevelRows[level];
    const int c1 = (std::max(area.first.col, 1) - 1) / LevelCols[level];
    const int c2 = (std::max(area.last.col, 1) - 1) / LevelCols[level];
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c)
            visit(blockKey(level, r, c));
    }
}

void DependencyGraph::addReader(Key cell, Key owner)
{
    if (!m_crowdedReaders.empty()) {
        if (const auto crowded = m_crowdedReaders.find(cell); crowded != m_crowdedReaders.end()) {
            crowded->second.insert(owner);
            return;
        }
    }
    const CellPos at = position(cell);
    Readers& readers = m_cellReaders(at.row, at.col);
    if (std::find(readers.begin(), readers.end(), owner) != readers.end())
        return;
    readers.push_back(owner);
    if (readers.size() > CrowdedReaders) {
        m_crowdedReaders.emplace(cell, std::unordered_set<Key>(readers.begin(), readers.end()));
        m_cellReaders.erase(at.row, at.col);
    }
}

void DependencyGraph::removeReader(Key cell, Key owner)
{
    if (const auto crowded = m_crowdedReaders.find(cell); crowded != m_crowdedReaders.end()) {
        crowded->second.erase(owner);
        if (crowded->second.empty())
            m_crowdedReaders.erase(crowded);
        return;
    }
    const CellPos at = position(cell);
    Readers* readers = m_cellReaders.find(at.row, at.col);
    if (!readers)
        return;
    eraseOne(*readers, owner);
    if (readers->empty())
        m_cellReaders.erase(at.row, at.col);
}

void DependencyGraph::setFormula(CellPos cell, const std::vector<RangeRef>& references, int rowOffset,
                                 int colOffset)
{
    removeFormula(cell);
    const Key owner = key(cell.row, cell.col);
    References refs;
    for (RangeRef r : references) {
        for (CellRef* c : {&r.first, &r.last}) {
            c->row += rowOffset;
            c->col += colOffset;
        }
        if (r.isSingleCell()) {
            const Key k = key(r.first.row, r.first.col);
            if (std::find(refs.begin(), refs.end(), k) == refs.end()) {
                refs.push_back(k);
                addReader(k, owner);
            }
            continue;
        }
        int slot;
        if (!m_freeRanges.empty()) {
            slot = m_freeRanges.back();
            m_freeRanges.pop_back();
        } else {
            slot = int(m_ranges.size());
            m_ranges.emplace_back();
        }
        int level = 0;
        while (level < 2 && blockCount(r, level) > MaxRangeBlocks)
            ++level;
        m_ranges[size_t(slot)] = RangeSlot{r, owner, level};
        ++m_levelRanges[level];
        m_levelLastCol[level] = std::max({m_levelLastCol[level], r.first.col, r.last.col});
        refs.push_back(RangeFlag | Key(slot));
        forEachBlock(r, level, [&](Key block) { m_blocks[block].push_back(slot); });
    }
    m_formulas(cell.row, cell.col) = std::move(refs);
}

void DependencyGraph::removeFormula(CellPos cell)
{
    const References* refs = m_formulas.find(cell.row, cell.col);
    if (!refs)
        return;
    const Key owner = key(cell.row, cell.col);
    for (const Key ref : *refs) {
        if (!(ref & RangeFlag)) {
            removeReader(ref, owner);
            continue;
        }
        const int slot = int(ref & ~RangeFlag);
        const RangeSlot& range = m_ranges[size_t(slot)];
        forEachBlock(range.area, range.level, [&](Key block) {
            const auto b = m_blocks.find(block);
            if (b == m_blocks.end())
                return;
            eraseOne(b->second, slot);
            if (b->second.empty())
                m_blocks.erase(b);
        });
        --m_levelRanges[range.level];
        m_freeRanges.push_back(slot);
    }
    m_formulas.erase(cell.row, cell.col);
}

void DependencyGraph::clear()
{
    *this = DependencyGraph();
}

bool DependencyGraph::hasFormula(CellPos cell) const
{
    return m_formulas.contains(cell.row, cell.col);
}

size_t DependencyGraph::rangeIndexEntries() const
{
    size_t entries = 0;
    for (const auto& block : m_blocks)
        entries += block.second.size();
    return entries;
}

// Calls `visit` for each formula that reads `cell` as a single reference.
template <typename Visit> void DependencyGraph::forEachCellReader(Key cell, Visit visit) const
{
    const CellPos pos = position(cell);
    if (const Readers* readers = m_cellReaders.find(pos.row, pos.col)) {
        for (const Key reader : *readers)
            visit(reader);
    }
    if (!m_crowdedReaders.empty()) {
        if (const auto it = m_crowdedReaders.find(cell); it != m_crowdedReaders.end()) {
            for (const Key reader : it->second)
                visit(reader);
        }
    }
}

// Calls `visit` for each formula that reads `cell` (a formula reading it twice may come twice).
template <typename Visit> void DependencyGraph::forEachReader(Key cell, Visit visit) const
{
    forEachCellReader(cell, visit);
    const CellPos pos = position(cell);
    for (int level = 0; level < 3; ++level) {
        if (m_levelRanges[level] == 0)
            continue;
        const auto block = m_blocks.find(
            blockKey(level, (pos.row - 1) / LevelRows[level], (pos.col - 1) / LevelCols[level]));
        if (block == m_blocks.end())
            continue;
        for (const int slot : block->second) {
            const RangeSlot& range = m_ranges[size_t(slot)];
            if (range.area.contains(pos.row, pos.col))
                visit(range.owner);
        }
    }
}

std::vector<CellPos> DependencyGraph::dependents(CellPos cell) const
{
    std::vector<Key> keys;
    forEachReader(key(cell.row, cell.col), [&](Key k) { keys.push_back(k); });
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<CellPos> result;
    for (const Key k : keys)
        result.push_back(position(k));
    return result;
}

RecalcPlan DependencyGraph::recalcOrder(const std::vector<CellPos>& changed) const
{
    std::vector<Key> seeds;
    for (const CellPos& c : changed) {
        const Key k = key(c.row, c.col);
        if (m_formulas.contains(c.row, c.col))
            seeds.push_back(k);
        forEachReader(k, [&](Key r) { seeds.push_back(r); });
    }
    return plan(std::move(seeds));
}

RecalcPlan DependencyGraph::recalcRows(int row1, int row2) const
{
    // The formulas in the rows, and the readers of their cells that lie outside them (those
    // inside are among the formulas already).
    std::vector<Key> seeds;
    m_formulas.forEachInRows(row1, row2,
                             [&](int row, int col, const References&) { seeds.push_back(key(row, col)); });
    auto outside = [&](Key reader) {
        const int row = position(reader).row;
        if (row < row1 || row > row2)
            seeds.push_back(reader);
    };
    m_cellReaders.forEachInRows(row1, row2, [&](int, int, const Readers& readers) {
        for (const Key reader : readers)
            outside(reader);
    });
    for (const auto& [cell, readers] : m_crowdedReaders) {
        const int row = position(cell).row;
        if (row >= row1 && row <= row2)
            for (const Key reader : readers)
                outside(reader);
    }
    for (int level = 0; level < 3; ++level) {
        if (m_levelRanges[level] == 0)
            continue;
        const RangeRef rows{CellRef{row1, 1}, CellRef{row2, m_levelLastCol[level]}};
        forEachBlock(rows, level, [&](Key block) {
            const auto found = m_blocks.find(block);
            if (found == m_blocks.end())
                return;
            for (const int slot : found->second) {
                const RangeSlot& range = m_ranges[size_t(slot)];
                if (range.area.first.row <= row2 && range.area.last.row >= row1)
                    outside(range.owner);
            }
        });
    }
    return plan(std::move(seeds));
}

RecalcPlan DependencyGraph::recalcAll() const
{
    // Every formula is due: nothing to follow, only to order.
    std::vector<Key> nodes;
    nodes.reserve(m_formulas.size());
    CellMap<int> index;
    m_formulas.forEach([&](int row, int col, const References&) {
        index(row, col) = int(nodes.size());
        nodes.push_back(key(row, col));
    });
    return ordered(nodes, index);
}

RecalcPlan DependencyGraph::plan(std::vector<Key> seeds) const
{
    CellMap<int> index;
    const std::vector<Key> nodes = affected(std::move(seeds), index);
    return ordered(nodes, index);
}

std::vector<DependencyGraph::Key> DependencyGraph::affected(std::vector<Key> seeds, CellMap<int>& index) const
{
    std::vector<Key> nodes;
    auto add = [&](Key k) {
        const CellPos at = position(k);
        const auto [found, added] = index.insert(at.row, at.col);
        if (added) {
            *found = int(nodes.size());
            nodes.push_back(k);
        }
    };
    for (const Key k : seeds)
        add(k);
    // A range is followed once. When a cell is reached, the ranges of its block that cover its
    // column are gathered (once per block and column) and those that hold its row are taken;
    // a range is found once however many of its cells are reached, and ranges beside the cell
    // cost nothing. So a cell read by thousands of running totals, or a column of formulas
    // beside thousands of ranges over other columns, costs near its own count.
    std::unordered_map<Key, OpenColumn> open;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const Key cell = nodes[i];
        forEachCellReader(cell, add);
        const CellPos pos = position(cell);
        for (int level = 0; level < 3; ++level) {
            if (m_levelRanges[level] == 0)
                continue;
            const Key block =
                blockKey(level, (pos.row - 1) / LevelRows[level], (pos.col - 1) / LevelCols[level]);
            const auto found = m_blocks.find(block);
            if (found == m_blocks.end())
                continue;
            const Key columnKey = block | (Key(pos.col) << 44);
            auto column = open.find(columnKey);
            if (column == open.end()) {
                std::vector<OpenColumn::Range> covering;
                for (const int slot : found->second) {
                    const RangeRef& area = m_ranges[size_t(slot)].area;
                    if (area.first.col <= pos.col && pos.col <= area.last.col)
                        covering.push_back({area.first.row, area.last.row, slot});
                }
                column = open.emplace(columnKey, OpenColumn(std::move(covering))).first;
            }
            // A range over several columns may be taken in each of them: add() keeps its
            // owner once.
            column->second.takeAt(pos.row, [&](int slot) { add(m_ranges[size_t(slot)].owner); });
        }
    }
    return nodes;
}

namespace {

constexpr size_t NoColumn = std::numeric_limits<size_t>::max();

// The affected formulas sorted by column, then row, for finding those inside a range: which
// of them are not yet visited (a skip list that only moves forward) and the smallest visit
// number among those still on the search stack (a segment tree).
class ColumnIndex
{
public:
    explicit ColumnIndex(const std::vector<CellPos>& cells) : m_size(int(cells.size()))
    {
        m_sorted.resize(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            m_sorted[i] = int(i);
        std::sort(m_sorted.begin(), m_sorted.end(), [&](int a, int b) {
            const CellPos& x = cells[size_t(a)];
            const CellPos& y = cells[size_t(b)];
            return x.col != y.col ? x.col < y.col : x.row < y.row;
        });
        m_slot.resize(cells.size());
        m_rows.resize(cells.size());
        for (int p = 0; p < m_size; ++p) {
            const CellPos& at = cells[size_t(m_sorted[size_t(p)])];
            m_slot[size_t(m_sorted[size_t(p)])] = p;
            m_rows[size_t(p)] = at.row;
            if (m_columns.empty() || m_columns.back() != at.col) {
                m_columns.push_back(at.col);
                m_columnStart.push_back(p);
            }
        }
        m_columnStart.push_back(m_size);
        m_next.resize(cells.size() + 1);
        for (size_t p = 0; p < m_next.size(); ++p)
            m_next[p] = int(p);
        m_stackOrder.assign(2 * cells.size(), Unset);
    }

    static constexpr int Unset = std::numeric_limits<int>::max();

    // The first column index at or after `col`, and the column it names.
    size_t firstColumn(int col) const
    {
        return size_t(std::lower_bound(m_columns.begin(), m_columns.end(), col) - m_columns.begin());
    }
    bool columnWithin(size_t column, int lastCol) const
    {
        return column < m_columns.size() && m_columns[column] <= lastCol;
    }
    // The positions [first, second) of the column's cells in rows row1..row2.
    std::pair<int, int> rowsIn(size_t column, int row1, int row2) const
    {
        const auto begin = m_rows.begin() + m_columnStart[column];
        const auto end = m_rows.begin() + m_columnStart[column + 1];
        return {int(std::lower_bound(begin, end, row1) - m_rows.begin()),
                int(std::upper_bound(begin, end, row2) - m_rows.begin())};
    }
    int slot(int node) const { return m_slot[size_t(node)]; }
    int node(int slot) const { return m_sorted[size_t(slot)]; }

    // The first position at or after `p` not yet visited.
    int unvisited(int p)
    {
        int root = p;
        while (m_next[size_t(root)] != root)
            root = m_next[size_t(root)];
        while (m_next[size_t(p)] != root) {
            const int up = m_next[size_t(p)];
            m_next[size_t(p)] = root;
            p = up;
        }
        return root;
    }
    void visit(int p) { m_next[size_t(p)] = p + 1; }

    // The visit number of the cell at `p` while it is on the stack (Unset once it left).
    void setStackOrder(int p, int order)
    {
        size_t i = size_t(p + m_size);
        m_stackOrder[i] = order;
        for (i /= 2; i >= 1; i /= 2)
            m_stackOrder[i] = std::min(m_stackOrder[2 * i], m_stackOrder[2 * i + 1]);
    }
    int smallestStackOrder(int first, int last) const
    {
        int result = Unset;
        for (size_t l = size_t(first + m_size), r = size_t(last + m_size); l < r; l /= 2, r /= 2) {
            if (l & 1)
                result = std::min(result, m_stackOrder[l++]);
            if (r & 1)
                result = std::min(result, m_stackOrder[--r]);
        }
        return result;
    }

private:
    int m_size;
    std::vector<int> m_sorted;  // position -> node
    std::vector<int> m_slot;    // node -> position
    std::vector<int> m_rows;    // position -> row
    std::vector<int> m_columns; // the distinct columns, ascending
    std::vector<int> m_columnStart;
    std::vector<int> m_next;
    std::vector<int> m_stackOrder;
};

} // namespace

RecalcPlan DependencyGraph::ordered(const std::vector<Key>& nodes, const CellMap<int>& index) const
{
    // Tarjan's strongly connected components without recursion, searching from each formula
    // to what it reads. A range is searched through the column index, never cell by cell: a
    // range's cells that are already visited are skipped, and the ones still on the stack
    // answer with their smallest visit number. Components come out precedents first, which
    // is the evaluation order.
    const int n = int(nodes.size());
    std::vector<CellPos> cells(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        cells[i] = position(nodes[i]);
    ColumnIndex columns(cells);
    std::vector<int> order(size_t(n), -1), low(size_t(n), 0);
    std::vector<char> onStack(size_t(n), 0), readsItself(size_t(n), 0);
    std::vector<int> stack;
    struct Frame
    {
        int node;
        size_t ref = 0;
        size_t column = NoColumn; // the column a range's search is in
        int at = 0;               // where that column's search goes on
    };
    std::vector<Frame> frames;
    int counter = 0;
    auto enter = [&](int w) {
        order[size_t(w)] = low[size_t(w)] = counter;
        columns.setStackOrder(columns.slot(w), counter++);
        columns.visit(columns.slot(w));
        stack.push_back(w);
        onStack[size_t(w)] = 1;
        frames.push_back(Frame{w});
    };

    // Searches start top to bottom, so independent formulas come out in reading order (the
    // running totals of a column in their rows' order, each one continuing the tally of the
    // one above).
    std::vector<int> starts(nodes.size());
    for (int i = 0; i < n; ++i)
        starts[size_t(i)] = i;
    std::sort(starts.begin(), starts.end(),
              [&](int a, int b) { return nodes[size_t(a)] < nodes[size_t(b)]; });

    RecalcPlan result;
    result.order.reserve(nodes.size());
    for (const int start : starts) {
        if (order[size_t(start)] >= 0)
            continue;
        enter(start);
        while (!frames.empty()) {
            Frame& frame = frames.back();
            const int v = frame.node;
            const CellPos at = cells[size_t(v)];
            const References* refs = m_formulas.find(at.row, at.col);
            const size_t refCount = refs ? refs->size() : 0;
            int next = -1;
            while (next < 0 && frame.ref < refCount) {
                const Key ref = refs->begin()[frame.ref];
                if (!(ref & RangeFlag)) {
                    ++frame.ref;
                    const CellPos read = position(ref);
                    const int* w = index.find(read.row, read.col);
                    if (!w)
                        continue;
                    if (*w == v)
                        readsItself[size_t(v)] = 1;
                    if (order[size_t(*w)] < 0)
                        next = *w;
                    else if (onStack[size_t(*w)])
                        low[size_t(v)] = std::min(low[size_t(v)], order[size_t(*w)]);
                    continue;
                }
                const RangeRef& area = m_ranges[size_t(ref & ~RangeFlag)].area;
                if (frame.column == NoColumn) {
                    frame.column = columns.firstColumn(area.first.col);
                    frame.at = 0;
                }
                for (; columns.columnWithin(frame.column, area.last.col); ++frame.column, frame.at = 0) {
                    const auto [first, last] = columns.rowsIn(frame.column, area.first.row, area.last.row);
                    const int p = columns.unvisited(std::max(first, frame.at));
                    if (p < last) {
                        frame.at = p;
                        next = columns.node(p);
                        break;
                    }
                    low[size_t(v)] = std::min(low[size_t(v)], columns.smallestStackOrder(first, last));
                    const int self = columns.slot(v);
                    if (self >= first && self < last)
                        readsItself[size_t(v)] = 1;
                }
                if (next < 0) {
                    ++frame.ref;
                    frame.column = NoColumn;
                }
            }
            if (next >= 0) {
                enter(next);
                continue;
            }
            frames.pop_back();
            if (!frames.empty())
                low[size_t(frames.back().node)] = std::min(low[size_t(frames.back().node)], low[size_t(v)]);
            if (low[size_t(v)] != order[size_t(v)])
                continue;
            size_t begin = stack.size() - 1;
            while (stack[begin] != v)
                --begin;
            const bool circular = stack.size() - begin > 1 || readsItself[size_t(v)];
            for (size_t i = begin; i < stack.size(); ++i) {
                const int w = stack[i];
                onStack[size_t(w)] = 0;
                columns.setStackOrder(columns.slot(w), ColumnIndex::Unset);
                (circular ? result.circular : result.order).push_back(cells[size_t(w)]);
            }
            stack.resize(begin);
        }
    }
    return result;
}

} // namespace talor::grid::formula
