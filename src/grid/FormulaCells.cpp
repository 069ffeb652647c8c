#include "grid/FormulaCells.h"

#include "grid/SlotPool.h"
#include "grid/formula/CellMap.h"
#include "grid/formula/DependencyGraph.h"
#include "grid/formula/Formula.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace talor::grid {

using formula::CellPos;
using formula::Formula;
using formula::Value;

namespace {

// A parsed formula and the cell it was read for. Formulas copied down a column (the rows of
// a report) share one: the cells below read it moved by their distance.
struct Shape
{
    Formula formula;
    std::vector<formula::RangeRef> references; // of the formula where it was read
    int row = 0;
    int col = 0;
    bool relative = false; // valid, and no "$" in any reference: it can be moved as a whole
    // The text with "#REF!" for each reference, and which references are written as ranges:
    // what tells cheaply whether a text is this formula moved. Empty when it cannot be moved.
    QString holes;
    quint64 writtenAsRanges = 0;

    static constexpr QStringView Hole = u"#REF!";

    void splitText()
    {
        const QString text = formula.text();
        if (!relative || text.contains(u'#') || references.size() > 64)
            return;
        // Moved off the sheet, every reference prints as #REF!.
        QString moved = formula.copied(-formula::MaxRow, 0);
        if (size_t(moved.count(Hole)) != references.size())
            return;
        qsizetype pos = 0, hole = 0;
        for (size_t i = 0; i < references.size(); ++i) {
            const qsizetype next = moved.indexOf(Hole, hole);
            pos += next - hole;
            hole = next + Hole.size();
            bool range = false;
            for (; pos < text.size() && (text[pos].isLetterOrNumber() || text[pos] == u':'); ++pos)
                range = range || text[pos] == u':';
            if (range)
                writtenAsRanges |= quint64(1) << i;
        }
        holes = std::move(moved);
    }

    // Reference `i` moved by (rows, cols); nothing when that leaves the sheet.
    std::optional<formula::RangeRef> movedReference(size_t i, int rows, int cols) const
    {
        formula::RangeRef r = references[i];
        for (formula::CellRef* c : {&r.first, &r.last}) {
            c->row += rows;
            c->col += cols;
            if (c->row < 1 || c->row > formula::MaxRow || c->col < 1 || c->col > formula::MaxColumn)
                return std::nullopt;
        }
        return r;
    }

    // Whether this formula can be read (rows, cols) away as it is: no "$", every reference
    // still on the sheet.
    bool movesWhole(int rows, int cols) const
    {
        if (!relative)
            return false;
        for (size_t i = 0; i < references.size(); ++i)
            if (!movedReference(i, rows, cols))
                return false;
        return true;
    }

    static std::shared_ptr<const Shape> read(formula::Formula formula, int row, int col)
    {
        auto shape = std::make_shared<Shape>();
        shape->formula = std::move(formula);
        shape->row = row;
        shape->col = col;
        shape->references = shape->formula.references();
        const auto& refs = shape->references;
        shape->relative =
            shape->formula.isValid() && std::none_of(refs.begin(), refs.end(), [](const auto& r) {
                return r.first.rowAbsolute || r.first.colAbsolute || r.last.rowAbsolute || r.last.colAbsolute;
            });
        shape->splitText();
        return shape;
    }

    // Whether `source` is this formula moved by (rows, cols), all of it still on the sheet.
    bool isMoved(const QString& source, int rows, int cols) const
    {
        if (holes.isEmpty())
            return false;
        const QStringView rest(source);
        qsizetype pos = 0, hole = 0;
        auto follows = [&](QStringView part) {
            if (!rest.sliced(pos).startsWith(part))
                return false;
            pos += part.size();
            return true;
        };
        for (size_t i = 0; i < references.size(); ++i) {
            const qsizetype next = holes.indexOf(Hole, hole);
            if (!follows(QStringView(holes).sliced(hole, next - hole)))
                return false;
            hole = next + Hole.size();
            const std::optional<formula::RangeRef> r = movedReference(i, rows, cols);
            if (!r)
                return false;
            const bool range = writtenAsRanges & (quint64(1) << i);
            if (!follows(r->first.toString()) || (range && !(follows(u":") && follows(r->last.toString()))))
                return false;
        }
        return rest.sliced(pos) == QStringView(holes).sliced(hole);
    }
};

// The cells of the sheet as seen from a formula moved by (rows, cols).
class MovedCells : public formula::CellSource
{
public:
    MovedCells(const formula::CellSource& cells, int rows, int cols)
        : m_cells(cells), m_rows(rows), m_cols(cols)
    {}

    Value value(int row, int col) const override { return m_cells.value(row + m_rows, col + m_cols); }

    void forEachValue(const formula::RangeRef& range,
                      const std::function<bool(const Value&)>& visit) const override
    {
        m_cells.forEachValue(moved(range), visit);
    }

    void tally(const formula::RangeRef& range, formula::Tally& into) const override
    {
        m_cells.tally(moved(range), into);
    }

    formula::RangeRef moved(formula::RangeRef range) const
    {
        for (formula::CellRef* c : {&range.first, &range.last}) {
            c->row += m_rows;
            c->col += m_cols;
        }
        return range;
    }

private:
    const formula::CellSource& m_cells;
    int m_rows, m_cols;
};

// The cells during one recalculation, remembering the tally of each range that spans rows,
// by its first row and its columns. A range that starts where a remembered one starts and
// ends further down continues that tally with its new rows, so running totals
// (SUM($C$2:C<r>) for every r, computed top to bottom) read each cell once, not once per
// total. A tally stays right for the whole pass: a cell it read was computed before it (the
// plan puts what a formula reads first) and is not computed again in the pass.
class RememberedTallies : public formula::CellSource
{
public:
    explicit RememberedTallies(const formula::CellSource& cells) : m_cells(cells) {}

    Value value(int row, int col) const override
    {
        ++m_reads;
        return m_cells.value(row, col);
    }

    void forEachValue(const formula::RangeRef& range,
                      const std::function<bool(const Value&)>& visit) const override
    {
        m_cells.forEachValue(range, [&](const Value& v) {
            ++m_reads;
            return visit(v);
        });
    }

    void tally(const formula::RangeRef& range, formula::Tally& into) const override
    {
        if (into.started || range.first.row == range.last.row) {
            fold(range, into);
            return;
        }
        const Key key{range.first.row, range.first.col, range.last.col};
        auto [found, added] = m_tallies.try_emplace(key);
        Remembered& kept = found->second;
        formula::RangeRef rest = range;
        if (!added && kept.lastRow <= range.last.row) {
            into = kept.tally;
            rest.first.row = kept.lastRow + 1;
        }
        if (rest.first.row <= rest.last.row)
            fold(rest, into);
        kept = Remembered{range.last.row, into};
    }

    // The cells read so far in the pass.
    qint64 reads() const { return m_reads; }

private:
    void fold(const formula::RangeRef& range, formula::Tally& into) const
    {
        m_cells.forEachValue(range, [&](const Value& v) {
            ++m_reads;
            into.addCell(v);
            return true;
        });
    }

    struct Key
    {
        int row, firstCol, lastCol;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash
    {
        size_t operator()(const Key& k) const
        {
            return std::hash<quint64>()((quint64(quint32(k.row)) << 32) ^ (quint64(k.firstCol) << 16) ^
                                        quint64(k.lastCol));
        }
    };
    struct Remembered
    {
        int lastRow = 0;
        formula::Tally tally;
    };

    const formula::CellSource& m_cells;
    mutable std::unordered_map<Key, Remembered, KeyHash> m_tallies;
    mutable qint64 m_reads = 0;
};

} // namespace

struct FormulaCells::Data
{
    // A formula cell: its shape and its last result, in 16 bytes (a report holds tens of
    // thousands); the shape is kept in `shapes`, a text result in `texts`.
#pragma pack(push, 4)
    struct Entry
    {
        quint32 shape = 0;
        union {
            double number = 0;
            quint32 textSlot;
            formula::ErrorCode error;
            bool boolean;
        };
        Value::Type type = Value::Type::Empty;
    };
#pragma pack(pop)
    static_assert(sizeof(Entry) == 16);

    struct ShapeAddress
    {
        const Shape* operator()(const std::shared_ptr<const Shape>& shape) const { return shape.get(); }
    };

    explicit Data(const formula::CellSource& c) : cells(c) {}

    const formula::CellSource& cells;
    formula::CellMap<Entry> entries;
    SlotPool<std::shared_ptr<const Shape>, ShapeAddress> shapes;
    TextPool texts;
    formula::DependencyGraph graph;
    // Cells changed since the last recalculation, and the rows they lie in. Past 64 changes
    // more than there are formulas only their rows are kept (`overflowed`): recomputing what
    // lies in and reads those rows, or everything, then costs less than following each change.
    std::vector<CellPos> pending;
    bool overflowed = false;
    int changedFirstRow = 0, changedLastRow = 0; // 0: nothing changed
    bool allPending = false;                     // columns moved or cells dropped: every formula is due
    // Formulas copied from a template's cells (setCopied): a report copies a few of them to
    // thousands of rows.
    std::vector<std::shared_ptr<const Shape>> copiedShapes;
    qint64 readLimit = 0; // see setReadLimit
    bool readLimitReached = false;

    Positions run(const formula::RecalcPlan& plan)
    {
        Positions done;
        done.reserve(plan.circular.size() + plan.order.size());
        for (const CellPos& p : plan.circular) {
            Entry* entry = entries.find(p.row, p.col);
            if (!entry)
                continue;
            setResult(*entry, Value::error(formula::ErrorCode::Circular));
            done.emplace_back(p.row, p.col);
        }
        const RememberedTallies source(cells);
        for (const CellPos& p : plan.order) {
            Entry* entry = entries.find(p.row, p.col);
            if (!entry)
                continue;
            const Shape& shape = shapeOf(*entry);
            setResult(*entry,
                      shape.row == p.row && shape.col == p.col
                          ? shape.formula.evaluate(source)
                          : shape.formula.evaluate(MovedCells(source, p.row - shape.row, p.col - shape.col)));
            done.emplace_back(p.row, p.col);
            if (readLimit > 0 && source.reads() > readLimit) {
                readLimitReached = true;
                break;
            }
        }
        return done;
    }

    // The shape of the formula `source` in (row, col): the one of the cell above when
    // `source` is that formula copied down, else a new one.
    std::shared_ptr<const Shape> shapeFor(int row, int col, const QString& source) const
    {
        if (const Entry* above = entries.find(row - 1, col)) {
            const auto& shape = shapes.at(above->shape);
            if (shape->isMoved(source, row - shape->row, col - shape->col))
                return shape;
        }
        return Shape::read(Formula::parse(source), row, col);
    }

    // The shape of `formula` read in (row, col), kept for the cells it is copied to.
    std::shared_ptr<const Shape> copiedShape(const Formula& formula, int row, int col)
    {
        for (const auto& shape : copiedShapes)
            if (shape->row == row && shape->col == col && shape->formula.sharesTree(formula))
                return shape;
        if (copiedShapes.size() >= 16)
            copiedShapes.erase(copiedShapes.begin());
        copiedShapes.push_back(Shape::read(formula, row, col));
        return copiedShapes.back();
    }

    void add(int row, int col, const QString& source)
    {
        place(row, col, shapeFor(row, col, source));
    }

    void place(int row, int col, const std::shared_ptr<const Shape>& shape)
    {
        register_(row, col, *shape);
        const quint32 slot = shapes.hold(shape); // before the old shape goes: it may be the same
        const auto [entry, added] = entries.insert(row, col);
        if (!added) {
            shapes.release(entry->shape);
            setResult(*entry, Value());
        }
        entry->shape = slot;
    }

    const Shape& shapeOf(const Entry& entry) const
    {
        return *shapes.at(entry.shape);
    }

    // Lets go of what `entry` holds, before it is dropped.
    void release(const Entry& entry)
    {
        shapes.release(entry.shape);
        if (entry.type == Value::Type::Text)
            texts.release(entry.textSlot);
    }

    void setResult(Entry& entry, const Value& result)
    {
        // The new text is held before the old one goes: it may be the same.
        const quint32 slot = result.isText() ? texts.hold(result.asText()) : 0;
        if (entry.type == Value::Type::Text)
            texts.release(entry.textSlot);
        entry.type = result.type();
        switch (entry.type) {
        case Value::Type::Empty:
            entry.number = 0;
            break;
        case Value::Type::Number:
            entry.number = result.asNumber();
            break;
        case Value::Type::Text:
            entry.textSlot = slot;
            break;
        case Value::Type::Boolean:
            entry.boolean = result.asBoolean();
            break;
        case Value::Type::Error:
            entry.error = result.asError();
            break;
        }
    }

    Value result(const Entry& entry) const
    {
        switch (entry.type) {
        case Value::Type::Empty:
            break;
        case Value::Type::Number:
            return Value::number(entry.number);
        case Value::Type::Text:
            return Value::text(texts.at(entry.textSlot));
        case Value::Type::Boolean:
            return Value::boolean(entry.boolean);
        case Value::Type::Error:
            return Value::error(entry.error);
        }
        return {};
    }

    // Drops the formula cells for which drop(row, col) holds, with their text results.
    template <typename Drop> void eraseIf(Drop drop)
    {
        entries.eraseIf([&](int row, int col, const Entry& entry) {
            if (!drop(row, col))
                return false;
            release(entry);
            return true;
        });
    }

    void clearEntries()
    {
        entries.clear();
        shapes = {};
        texts = {};
    }

    void register_(int row, int col, const Shape& shape)
    {
        graph.setFormula(CellPos{row, col}, shape.references, row - shape.row, col - shape.col);
    }

    QString source(int row, int col, const Shape& shape) const
    {
        return shape.row == row && shape.col == col ? shape.formula.text()
                                                    : shape.formula.copied(row - shape.row, col - shape.col);
    }

    void markChanged(int row, int col)
    {
        if (allPending || entries.empty())
            return; // formulas added later are due themselves
        changedFirstRow = changedFirstRow == 0 ? row : std::min(changedFirstRow, row);
        changedLastRow = std::max(changedLastRow, row);
        if (overflowed)
            return;
        pending.push_back(CellPos{row, col});
        if (pending.size() > entries.size() + 64) {
            overflowed = true;
            pending = {};
        }
    }

    Positions followChanges()
    {
        const auto plan = graph.recalcOrder(pending);
        settled();
        return run(plan);
    }

    void settled()
    {
        pending.clear();
        overflowed = false;
        changedFirstRow = changedLastRow = 0;
        allPending = false;
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
    return d->entries.contains(row, col);
}

QString FormulaCells::source(int row, int col) const
{
    const Data::Entry* entry = d->entries.find(row, col);
    return entry ? d->source(row, col, d->shapeOf(*entry)) : QString();
}

std::optional<formula::MovedFormula> FormulaCells::moved(int row, int col) const
{
    const Data::Entry* entry = d->entries.find(row, col);
    if (!entry)
        return std::nullopt;
    const Shape& shape = d->shapeOf(*entry);
    formula::MovedFormula moved{shape.formula, row - shape.row, col - shape.col, shape.relative};
    for (const formula::RangeRef& r : shape.references)
        for (const formula::CellRef& corner : {r.first, r.last}) {
            const int read = corner.row + (corner.rowAbsolute ? 0 : moved.rows);
            moved.firstRow = moved.firstRow == 0 ? read : std::min(moved.firstRow, read);
            moved.lastRow = std::max(moved.lastRow, read);
        }
    return moved;
}

Value FormulaCells::result(int row, int col) const
{
    const Data::Entry* entry = d->entries.find(row, col);
    return entry ? d->result(*entry) : Value();
}

void FormulaCells::set(int row, int col, const QString& source)
{
    d->add(row, col, source);
    d->markChanged(row, col);
}

void FormulaCells::setCopied(int row, int col, const Formula& formula, int rows, int cols)
{
    auto shape = d->copiedShape(formula, row - rows, col - cols);
    if (!shape->movesWhole(rows, cols)) {
        set(row, col, formula.copied(rows, cols));
        return;
    }
    d->place(row, col, shape);
    d->markChanged(row, col);
}

void FormulaCells::remove(int row, int col)
{
    const Data::Entry* entry = d->entries.find(row, col);
    if (!entry)
        return;
    d->release(*entry);
    d->entries.erase(row, col);
    d->graph.removeFormula(CellPos{row, col});
}

void FormulaCells::changed(int row, int col)
{
    d->markChanged(row, col);
}

FormulaCells::Positions FormulaCells::recalculate()
{
    // Changes up to a little more than there are formulas are followed one by one, so that
    // only what reads them is recomputed (and reported changed); past that, the rows they
    // fell in are all that is kept.
    if (d->allPending || d->overflowed)
        return recalculateRows();
    return d->followChanges();
}

FormulaCells::Positions FormulaCells::recalculateRows()
{
    if (d->allPending)
        return recalculateAll();
    if (d->changedFirstRow == 0)
        return {};
    // Few changes are still followed one by one; many changes all over the sheet recompute
    // every formula.
    const size_t rows = size_t(d->changedLastRow - d->changedFirstRow + 1);
    if (!d->overflowed && d->pending.size() <= rows)
        return d->followChanges();
    if (rows * 4 > d->entries.size())
        return d->overflowed ? recalculateAll() : d->followChanges();
    const auto plan = d->graph.recalcRows(d->changedFirstRow, d->changedLastRow);
    d->settled();
    return d->run(plan);
}

FormulaCells::Positions FormulaCells::recalculateAll()
{
    d->settled();
    return d->run(d->graph.recalcAll());
}

void FormulaCells::setReadLimit(qint64 cells)
{
    d->readLimit = cells;
    d->readLimitReached = false;
}

bool FormulaCells::readLimitReached() const
{
    return d->readLimitReached;
}

void FormulaCells::shiftColumns(int col, int count)
{
    std::vector<std::tuple<int, int, QString>> moved;
    d->entries.forEach([&](int row, int oldCol, const Data::Entry& entry) {
        int c = oldCol;
        if (count < 0 && c >= col && c < col - count)
            return; // the formula's own column was deleted
        if (c >= col)
            c += count;
        if (c > formula::MaxColumn)
            return; // pushed off the sheet
        const Shape& shape = d->shapeOf(entry);
        const Formula formula = shape.row == row && shape.col == oldCol
                                    ? shape.formula
                                    : Formula::parse(d->source(row, oldCol, shape));
        moved.emplace_back(row, c, formula.isValid() ? formula.shiftedColumns(col, count) : formula.text());
    });
    d->clearEntries();
    d->graph.clear();
    for (const auto& [row, c, source] : moved)
        d->add(row, c, source);
    d->allPending = true;
}

void FormulaCells::crop(int lastRow, int lastCol)
{
    d->eraseIf([&](int row, int col) { return row > lastRow || col > lastCol; });
    // Rebuilt rather than removed one by one: removing the many readers of one cell one
    // at a time would cost the square of their number.
    d->graph.clear();
    d->entries.forEach(
        [&](int row, int col, const Data::Entry& entry) { d->register_(row, col, d->shapeOf(entry)); });
    d->allPending = true;
}

void FormulaCells::clear()
{
    d->clearEntries();
    d->graph.clear();
    d->settled();
    d->copiedShapes.clear();
}

} // namespace talor::grid
