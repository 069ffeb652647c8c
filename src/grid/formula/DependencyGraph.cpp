#include "grid/formula/DependencyGraph.h"

#include <algorithm>

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

} // namespace

DependencyGraph::KeyList& DependencyGraph::KeyList::operator=(KeyList&& other) noexcept
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

void DependencyGraph::KeyList::push_back(Key key)
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
    KeyList& readers = m_cellReaders(at.row, at.col);
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
    KeyList* readers = m_cellReaders.find(at.row, at.col);
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
    KeyList refs;
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
    const KeyList* refs = m_formulas.find(cell.row, cell.col);
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

// Calls `visit` for each formula that reads `cell` (a formula reading it twice may come twice).
template <typename Visit> void DependencyGraph::forEachReader(Key cell, Visit visit) const
{
    const CellPos pos = position(cell);
    if (const KeyList* readers = m_cellReaders.find(pos.row, pos.col)) {
        for (const Key reader : *readers)
            visit(reader);
    }
    if (!m_crowdedReaders.empty()) {
        if (const auto it = m_crowdedReaders.find(cell); it != m_crowdedReaders.end()) {
            for (const Key reader : it->second)
                visit(reader);
        }
    }
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
                             [&](int row, int col, const KeyList&) { seeds.push_back(key(row, col)); });
    auto outside = [&](Key reader) {
        const int row = position(reader).row;
        if (row < row1 || row > row2)
            seeds.push_back(reader);
    };
    m_cellReaders.forEachInRows(row1, row2, [&](int, int, const KeyList& readers) {
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
    std::vector<Key> seeds;
    seeds.reserve(m_formulas.size());
    m_formulas.forEach([&](int row, int col, const KeyList&) { seeds.push_back(key(row, col)); });
    std::sort(seeds.begin(), seeds.end());
    return plan(std::move(seeds));
}

RecalcPlan DependencyGraph::plan(std::vector<Key> seeds) const
{
    // The affected formulas and, for each, the formulas that read it (edges u -> reader),
    // as one edge list: the readers of node i are edges[first[i] .. first[i + 1]).
    std::vector<Key> nodes;
    CellMap<int> index;
    std::vector<int> edges;
    std::vector<size_t> first;
    auto node = [&](Key k) {
        const CellPos at = position(k);
        const auto [found, added] = index.insert(at.row, at.col);
        if (added) {
            *found = int(nodes.size());
            nodes.push_back(k);
        }
        return *found;
    };
    for (const Key k : seeds)
        node(k);
    for (size_t i = 0; i < nodes.size(); ++i) {
        first.push_back(edges.size());
        forEachReader(nodes[i], [&](Key r) { edges.push_back(node(r)); });
    }
    first.push_back(edges.size());

    // Tarjan's strongly connected components without recursion. Components come out
    // readers first, so the evaluation order is their reverse.
    const int n = int(nodes.size());
    std::vector<int> order(size_t(n), -1), low(size_t(n), 0);
    std::vector<char> onStack(size_t(n), 0);
    std::vector<int> stack;
    std::vector<std::pair<int, size_t>> calls; // node, next edge to follow
    std::vector<int> componentNodes;           // the components one after the other
    std::vector<size_t> componentEnds;
    int counter = 0;
    for (int start = 0; start < n; ++start) {
        if (order[size_t(start)] >= 0)
            continue;
        calls.emplace_back(start, first[size_t(start)]);
        order[size_t(start)] = low[size_t(start)] = counter++;
        stack.push_back(start);
        onStack[size_t(start)] = 1;
        while (!calls.empty()) {
            const int v = calls.back().first;
            size_t& next = calls.back().second;
            if (next < first[size_t(v) + 1]) {
                const int w = edges[next++];
                if (order[size_t(w)] < 0) {
                    order[size_t(w)] = low[size_t(w)] = counter++;
                    stack.push_back(w);
                    onStack[size_t(w)] = 1;
                    calls.emplace_back(w, first[size_t(w)]);
                } else if (onStack[size_t(w)]) {
                    low[size_t(v)] = std::min(low[size_t(v)], order[size_t(w)]);
                }
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[size_t(calls.back().first)] = std::min(low[size_t(calls.back().first)], low[size_t(v)]);
            if (low[size_t(v)] == order[size_t(v)]) {
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[size_t(w)] = 0;
                    componentNodes.push_back(w);
                } while (w != v);
                componentEnds.push_back(componentNodes.size());
            }
        }
    }

    RecalcPlan result;
    result.order.reserve(nodes.size());
    for (size_t c = componentEnds.size(); c-- > 0;) {
        const size_t begin = c == 0 ? 0 : componentEnds[c - 1];
        const size_t end = componentEnds[c];
        const int v = componentNodes[begin];
        const auto readersEnd = edges.begin() + std::ptrdiff_t(first[size_t(v) + 1]);
        const bool selfReference =
            std::find(edges.begin() + std::ptrdiff_t(first[size_t(v)]), readersEnd, v) != readersEnd;
        if (end - begin > 1 || selfReference) {
            for (size_t i = begin; i < end; ++i)
                result.circular.push_back(position(nodes[size_t(componentNodes[i])]));
        } else {
            result.order.push_back(position(nodes[size_t(v)]));
        }
    }
    return result;
}

} // namespace talor::grid::formula
