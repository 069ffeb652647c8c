#include "grid/FormulaCells.h"

#include "grid/formula/DependencyGraph.h"
#include "grid/formula/Formula.h"

#include <unordered_map>

namespace talor::grid {

using formula::CellPos;
using formula::Formula;
using formula::Value;

namespace {

quint64 key(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

} // namespace

struct FormulaCells::Data
{
    struct Entry
    {
        Formula formula;
        Value result;
    };

    explicit Data(const formula::CellSource& c) : cells(c) {}

    const formula::CellSource& cells;
    std::unordered_map<quint64, Entry> entries;
    formula::DependencyGraph graph;
    // Cells changed since the last recalculation; past as many as there are formulas,
    // recomputing them all costs less than following each change.
    std::vector<CellPos> pending;
    bool allPending = false;

    Positions run(const formula::RecalcPlan& plan)
    {
        Positions done;
        done.reserve(plan.circular.size() + plan.order.size());
        for (const CellPos& p : plan.circular) {
            const auto it = entries.find(key(p.row, p.col));
            if (it == entries.end())
                continue;
            it->second.result = Value::error(formula::ErrorCode::Circular);
            done.emplace_back(p.row, p.col);
        }
        for (const CellPos& p : plan.order) {
            const auto it = entries.find(key(p.row, p.col));
            if (it == entries.end())
                continue;
            it->second.result = it->second.formula.evaluate(cells);
            done.emplace_back(p.row, p.col);
        }
        return done;
    }

    void add(int row, int col, const QString& source)
    {
        Entry entry;
        entry.formula = Formula::parse(source);
        graph.setFormula(CellPos{row, col}, entry.formula.references());
        entries[key(row, col)] = std::move(entry);
    }

    void markChanged(int row, int col)
    {
        if (allPending || entries.empty())
            return; // formulas added later are due themselves
        pending.push_back(CellPos{row, col});
        if (pending.size() > entries.size() + 64) {
            allPending = true;
            pending = {};
        }
    }
};

FormulaCells::FormulaCells(const formula::CellSource& cells) : d(std::make_unique<Data>(cells)) {}

FormulaCells::~FormulaCells() = default;

bool FormulaCells::isEmpty() const
{
    return d->entries.empty();
}

bool FormulaCells::contains(int row, int col) const
{
    return d->entries.count(key(row, col)) > 0;
}

QString FormulaCells::source(int row, int col) const
{
    const auto it = d->entries.find(key(row, col));
    return it == d->entries.end() ? QString() : it->second.formula.text();
}

Value FormulaCells::result(int row, int col) const
{
    const auto it = d->entries.find(key(row, col));
    return it == d->entries.end() ? Value() : it->second.result;
}

void FormulaCells::set(int row, int col, const QString& source)
{
    d->add(row, col, source);
    d->markChanged(row, col);
}

void FormulaCells::remove(int row, int col)
{
    if (d->entries.erase(key(row, col)) > 0)
        d->graph.removeFormula(CellPos{row, col});
}

void FormulaCells::changed(int row, int col)
{
    d->markChanged(row, col);
}

FormulaCells::Positions FormulaCells::recalculate()
{
    if (d->allPending)
        return recalculateAll();
    if (d->pending.empty())
        return {};
    const auto plan = d->graph.recalcOrder(d->pending);
    d->pending.clear();
    return d->run(plan);
}

FormulaCells::Positions FormulaCells::recalculateAll()
{
    d->pending.clear();
    d->allPending = false;
    return d->run(d->graph.recalcAll());
}

void FormulaCells::shiftColumns(int col, int count)
{
    std::vector<std::tuple<int, int, QString>> moved;
    for (const auto& [k, entry] : d->entries) {
        const int row = int(k >> 32);
        int c = int(k & 0xFFFFFFFFu);
        if (count < 0 && c >= col && c < col - count)
            continue; // the formula's own column was deleted
        if (c >= col)
            c += count;
        if (c > formula::MaxColumn)
            continue; // pushed off the sheet
        const QString source =
            entry.formula.isValid() ? entry.formula.shiftedColumns(col, count) : entry.formula.text();
        moved.emplace_back(row, c, source);
    }
    d->entries.clear();
    d->graph.clear();
    for (const auto& [row, c, source] : moved)
        d->add(row, c, source);
    d->allPending = true;
}

void FormulaCells::crop(int lastRow, int lastCol)
{
    for (auto it = d->entries.begin(); it != d->entries.end();) {
        const int row = int(it->first >> 32);
        const int col = int(it->first & 0xFFFFFFFFu);
        it = row > lastRow || col > lastCol ? d->entries.erase(it) : std::next(it);
    }
    // Rebuilt rather than removed one by one: removing the many readers of one cell one
    // at a time would cost the square of their number.
    d->graph.clear();
    for (const auto& [k, entry] : d->entries)
        d->graph.setFormula(CellPos{int(k >> 32), int(k & 0xFFFFFFFFu)}, entry.formula.references());
    d->allPending = true;
}

void FormulaCells::clear()
{
    d->entries.clear();
    d->graph.clear();
    d->pending.clear();
    d->allPending = false;
}

} // namespace talor::grid
