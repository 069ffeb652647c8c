#include "grid/formula/DependencyGraph.h"

#include <algorithm>

namespace talor::grid::formula {

namespace {

// Ranges are indexed by the blocks of this many rows and columns they touch.
constexpr int BlockRows = 64;
constexpr int BlockCols = 8;

} // namespace

template <typename Visit> void DependencyGraph::forEachBlock(const RangeRef& area, Visit visit) const
{
    const int r1 = (std::max(area.first.row, 1) - 1) / BlockRows;
    const int r2 = (std::max(area.last.row, 1) - 1) / BlockRows;
    const int c1 = (std::max(area.first.col, 1) - 1) / BlockCols;
    const int c2 = (std::max(area.last.col, 1) - 1) / BlockCols;
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c)
            visit(key(r, c));
    }
}

void DependencyGraph::setFormula(CellPos cell, const std::vector<RangeRef>& references)
{
    removeFormula(cell);
    const Key owner = key(cell.row, cell.col);
    Entry& entry = m_formulas[owner];
    for (const RangeRef& r : references) {
        if (r.isSingleCell()) {
            const Key k = key(r.first.row, r.first.col);
            if (m_cellReaders[k].insert(owner).second)
                entry.cells.push_back(k);
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
        m_ranges[slot] = RangeSlot{r, owner};
        entry.ranges.push_back(slot);
        forEachBlock(r, [&](Key block) { m_blocks[block].insert(slot); });
    }
}

void DependencyGraph::removeFormula(CellPos cell)
{
    const auto it = m_formulas.find(key(cell.row, cell.col));
    if (it == m_formulas.end())
        return;
    const Key owner = it->first;
    for (Key k : it->second.cells) {
        const auto readers = m_cellReaders.find(k);
        if (readers == m_cellReaders.end())
            continue;
        readers->second.erase(owner);
        if (readers->second.empty())
            m_cellReaders.erase(readers);
    }
    for (int slot : it->second.ranges) {
        forEachBlock(m_ranges[slot].area, [&](Key block) {
            const auto b = m_blocks.find(block);
            if (b == m_blocks.end())
                return;
            b->second.erase(slot);
            if (b->second.empty())
                m_blocks.erase(b);
        });
        m_freeRanges.push_back(slot);
    }
    m_formulas.erase(it);
}

void DependencyGraph::clear()
{
    m_formulas.clear();
    m_cellReaders.clear();
    m_ranges.clear();
    m_freeRanges.clear();
    m_blocks.clear();
}

bool DependencyGraph::hasFormula(CellPos cell) const
{
    return m_formulas.count(key(cell.row, cell.col)) > 0;
}

std::vector<DependencyGraph::Key> DependencyGraph::readers(Key cell) const
{
    std::vector<Key> result;
    if (const auto it = m_cellReaders.find(cell); it != m_cellReaders.end())
        result.assign(it->second.begin(), it->second.end());
    const CellPos pos = position(cell);
    const auto block = m_blocks.find(key((pos.row - 1) / BlockRows, (pos.col - 1) / BlockCols));
    if (block != m_blocks.end()) {
        for (int slot : block->second) {
            if (m_ranges[slot].area.contains(pos.row, pos.col))
                result.push_back(m_ranges[slot].owner);
        }
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
}

std::vector<CellPos> DependencyGraph::dependents(CellPos cell) const
{
    std::vector<CellPos> result;
    for (Key k : readers(key(cell.row, cell.col)))
        result.push_back(position(k));
    return result;
}

RecalcPlan DependencyGraph::recalcOrder(const std::vector<CellPos>& changed) const
{
    std::vector<Key> seeds;
    for (const CellPos& c : changed) {
        const Key k = key(c.row, c.col);
        if (m_formulas.count(k))
            seeds.push_back(k);
        const std::vector<Key> r = readers(k);
        seeds.insert(seeds.end(), r.begin(), r.end());
    }
    return plan(std::move(seeds));
}

RecalcPlan DependencyGraph::recalcAll() const
{
    std::vector<Key> seeds;
    seeds.reserve(m_formulas.size());
    for (const auto& f : m_formulas)
        seeds.push_back(f.first);
    std::sort(seeds.begin(), seeds.end());
    return plan(std::move(seeds));
}

RecalcPlan DependencyGraph::plan(std::vector<Key> seeds) const
{
    // The affected formulas and, for each, the formulas that read it (edges u -> reader).
    std::vector<Key> nodes;
    std::unordered_map<Key, int> index;
    std::vector<std::vector<int>> readersOf;
    auto node = [&](Key k) {
        const auto [it, added] = index.emplace(k, int(nodes.size()));
        if (added)
            nodes.push_back(k);
        return it->second;
    };
    for (Key k : seeds)
        node(k);
    for (size_t i = 0; i < nodes.size(); ++i) {
        std::vector<int> edges;
        for (Key r : readers(nodes[i]))
            edges.push_back(node(r));
        readersOf.push_back(std::move(edges));
    }

    // Tarjan's strongly connected components without recursion. Components come out
    // readers first, so the evaluation order is their reverse.
    const int n = int(nodes.size());
    std::vector<int> order(n, -1), low(n, 0);
    std::vector<char> onStack(n, 0);
    std::vector<int> stack;
    std::vector<std::pair<int, size_t>> calls; // node, next edge to follow
    std::vector<std::vector<int>> components;
    int counter = 0;
    for (int start = 0; start < n; ++start) {
        if (order[start] >= 0)
            continue;
        calls.emplace_back(start, 0);
        order[start] = low[start] = counter++;
        stack.push_back(start);
        onStack[start] = 1;
        while (!calls.empty()) {
            const int v = calls.back().first;
            size_t& next = calls.back().second;
            if (next < readersOf[v].size()) {
                const int w = readersOf[v][next++];
                if (order[w] < 0) {
                    order[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = 1;
                    calls.emplace_back(w, 0);
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            calls.pop_back();
            if (!calls.empty())
                low[calls.back().first] = std::min(low[calls.back().first], low[v]);
            if (low[v] == order[v]) {
                std::vector<int> component;
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[w] = 0;
                    component.push_back(w);
                } while (w != v);
                components.push_back(std::move(component));
            }
        }
    }

    RecalcPlan result;
    for (auto c = components.rbegin(); c != components.rend(); ++c) {
        const int first = c->front();
        const bool selfReference =
            std::find(readersOf[first].begin(), readersOf[first].end(), first) != readersOf[first].end();
        if (c->size() > 1 || selfReference) {
            for (int v : *c)
                result.circular.push_back(position(nodes[v]));
        } else {
            result.order.push_back(position(nodes[first]));
        }
    }
    return result;
}

} // namespace talor::grid::formula
