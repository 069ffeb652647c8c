#include "grid/Sheet.h"

#include "containers/ShortVector.h"
#include "grid/CellAddress.h"
#include "grid/CellInput.h"
#include "grid/FormatTable.h"
#include "grid/FormulaCells.h"
#include "grid/SheetBulkWriter.h"
#include "grid/SlotPool.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace talor::grid {

namespace {

// One stored cell in 12 bytes: reports fill hundreds of thousands of rows, most of whose cells
// are numbers or framed blanks. A text cell holds the slot of its text in the sheet's TextPool.
// Packed to 4 bytes so that a row of cells has no padding; the number is then read unaligned,
// which costs nothing on the processors the product runs on.
#pragma pack(push, 4)
struct Cell
{
    enum Kind : quint8
    {
        Empty,
        Number,
        Text,
        Formula
    };
    union {
        double number = 0; // Number: the value
        quint32 textSlot;  // Text: where the text is kept
    };
    quint16 format = 0;
    quint16 col : 14 = 0; // 1-based
    Kind kind : 2 = Empty;
};
#pragma pack(pop)
static_assert(sizeof(Cell) == 12 && Sheet::MaxColumns < (1 << 14));

// The stored cells of one row, columns ascending. A row filled from column 1 on is dense
// (cells[col - 1] is column col); a row with a few far cells holds only those.
using Row = ShortVector<Cell>;

Row::const_iterator lowerBound(const Row& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const Cell& cell, int c) { return cell.col < c; });
}

Row::iterator lowerBound(Row& cells, int col)
{
    return std::lower_bound(cells.begin(), cells.end(), col,
                            [](const Cell& cell, int c) { return cell.col < c; });
}

[[noreturn, gnu::noinline, gnu::cold]] void throwOutside(int row, int col)
{
    throw std::out_of_range("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                            ") lies outside the sheet");
}

// Every cell access checks its place: inline, the message built only for a place outside.
inline void checkCell(int row, int col)
{
    if (row < 1 || row > Sheet::MaxRows || col < 1 || col > Sheet::MaxColumns) [[unlikely]]
        throwOutside(row, col);
}

// The line styles and fill patterns the grid draws and its files keep: styles up to 13
// (a negative style in setBorder leaves a side alone), patterns 0 to 18.
constexpr short MaxLineStyle = 13;
constexpr short MaxPattern = 18;

void checkStyle(short style, const char* what)
{
    if (style > MaxLineStyle)
        throw std::out_of_range(std::string(what) + " line style " + std::to_string(style) +
                                " is not one of 0 to 13");
}

void checkPattern(short pattern)
{
    if (pattern < 0 || pattern > MaxPattern)
        throw std::out_of_range("fill pattern " + std::to_string(pattern) + " is not one of 0 to 18");
}

void checkFormat(const CellFormat& format)
{
    checkPattern(format.fill.pattern);
    for (const short style :
         {format.border.left, format.border.right, format.border.top, format.border.bottom}) {
        if (style < 0)
            throw std::out_of_range("border line style " + std::to_string(style) + " is not one of 0 to 13");
        checkStyle(style, "border");
    }
}

quint64 nextFormatTableId()
{
    static std::atomic<quint64> next{1};
    return next++;
}

// The new format ids that recent format operations (a fill, a frame: their kind and
// arguments) gave each old format id (with the cell's place at the selection's edges). A report
// fills and frames every row alike, so each change of a format is worked out once per sheet
// table instead of once per row; an operation's outcome depends on nothing else, and ids stay
// valid until the table is replaced (clear() starts new Data).
class FormatOps
{
public:
    using Arguments = std::array<quint32, 12>;

    // An operation's outcomes by (old id, edges) key: ids are few, so a table by key.
    class Outcomes
    {
    public:
        static constexpr quint16 Unknown = 0xFFFF;
        quint16 find(quint32 key) const { return key < m_ids.size() ? m_ids[key] : Unknown; }
        void emplace(quint32 key, quint16 id)
        {
            if (key >= m_ids.size())
                m_ids.resize(std::max<size_t>(key + 1, m_ids.size() * 2), Unknown);
            m_ids[key] = id;
        }

    private:
        std::vector<quint16> m_ids;
    };

    // The ids already worked out for an operation with these arguments; the last one asked
    // for first, as a report fills and frames row after row.
    Outcomes& of(const Arguments& arguments)
    {
        if (m_last < m_ops.size() && m_ops[m_last].first == arguments)
            return m_ops[m_last].second;
        for (size_t i = 0; i < m_ops.size(); ++i)
            if (m_ops[i].first == arguments) {
                m_last = i;
                return m_ops[i].second;
            }
        if (m_ops.size() >= 8)
            m_ops.erase(m_ops.begin());
        m_ops.emplace_back(arguments, Outcomes{});
        m_last = m_ops.size() - 1;
        return m_ops.back().second;
    }

private:
    std::vector<std::pair<Arguments, Outcomes>> m_ops;
    size_t m_last = 0;
};

// Tells the views of the formula cells that were recomputed.
void announce(Sheet& sheet, const FormulaCells::Positions& cells)
{
    for (const auto& [row, col] : cells)
        Q_EMIT sheet.cellsChanged(CellRange{row, col, row, col});
}

} // namespace

struct Sheet::Data : formula::CellSource
{
    // rows[row - 1]: the stored cells of each row up to the lowest stored row. Reports are
    // written row by row, so one row is one run of memory.
    std::vector<Row> rows;
    TextPool texts;
    FormatTable formats;
    // Names this table among all sheets' tables, so that kept format ids are not used on
    // another table (see Sheet::formatTableId).
    const quint64 formatTableId = nextFormatTableId();
    QHash<quint32, quint16> numberFormatCache; // (format id, typed format) -> format id
    FormatOps formatOps;
    QHash<QString, quint16> numberFormatKeys;
    // Per column; empty until a heading or width is set, so that an empty sheet stays small.
    std::vector<QString> columnHeadings;
    QHash<int, QString> rowHeadings;
    std::vector<int> widths;
    bool showColumnHeadings = true;
    bool showRowHeadings = true;
    int lastRow = 0;
    int lastCol = 0;
    int frozenRows = 0;
    int frozenCols = 0;
    int activeRow = 1;
    int activeCol = 1;
    CellRange selection;
    FormulaCells formulas{*this};
    // Batches: their depth, and what changed in them for the signals at their end.
    int batchDepth = 0;
    bool extentChangedInBatch = false;
    std::optional<CellRange> changedInBatch;
    std::optional<CellRange> formatsChangedInBatch;

    static void widen(std::optional<CellRange>& changed, const CellRange& range)
    {
        if (!changed) {
            changed = range;
            return;
        }
        CellRange& r = *changed;
        if (range.row1 >= r.row1 && range.col1 >= r.col1 && range.row2 <= r.row2 && range.col2 <= r.col2)
            return; // mostly so: a report writes row after row below its first
        r = CellRange{std::min(r.row1, range.row1), std::min(r.col1, range.col1),
                      std::max(r.row2, range.row2), std::max(r.col2, range.col2)};
    }

    void touch(int row, int col) { widen(changedInBatch, CellRange{row, col, row, col}); }

    const Cell* find(int row, int col) const
    {
        if (size_t(row) > rows.size())
            return nullptr;
        const Row& cells = rows[size_t(row - 1)];
        if (size_t(col) <= cells.size() && cells[size_t(col - 1)].col == col)
            return &cells[size_t(col - 1)]; // dense up to here
        if (cells.empty() || cells.back().col < col)
            return nullptr; // a row being written left to right
        const auto it = lowerBound(cells, col);
        return it != cells.end() && it->col == col ? &*it : nullptr;
    }

    // The cell at (row, col), stored (bare) when it was not: inline where the row is dense up
    // to it, as in every row a report writes.
    Cell& slot(int row, int col)
    {
        if (size_t(row) <= rows.size()) {
            Row& cells = rows[size_t(row - 1)];
            if (size_t(col) <= cells.size() && cells[size_t(col - 1)].col == col)
                return cells[size_t(col - 1)];
        }
        return newSlot(row, col);
    }

    [[gnu::noinline]] Cell& newSlot(int row, int col)
    {
        if (size_t(row) > rows.size())
            rows.resize(size_t(row));
        Row& cells = rows[size_t(row - 1)];
        if (size_t(col) <= cells.size() && cells[size_t(col - 1)].col == col)
            return cells[size_t(col - 1)];
        if (cells.empty() || cells.back().col < col) {
            // A row filled from the left usually goes on to the sheet's last column: take
            // that at once instead of doubling.
            const size_t dense = cells.size() == 0 || cells.back().col == cells.size() ? cells.size() : 0;
            if (cells.size() == cells.capacity() && dense == cells.size() &&
                size_t(col) <= dense + 1 + MaxGap)
                cells.reserve(size_t(std::max(col, std::min(lastCol, int(MaxColumns)))));
            // A dense row stays dense over a small gap (a template's empty columns): its cells
            // are then found by their column without a search. A stored cell without content
            // or format is the same as none to every reader.
            if (dense == cells.size() && size_t(col) <= dense + 1 + MaxGap)
                for (size_t c = dense + 1; c < size_t(col); ++c)
                    cells.emplace_back().col = quint16(c);
            cells.emplace_back().col = quint16(col);
            return cells.back();
        }
        auto it = lowerBound(cells, col);
        if (it->col != col) {
            it = cells.emplace(it);
            it->col = quint16(col);
        }
        return *it;
    }

    // Drops the cell at (row, col) when it holds nothing and has the default format and is
    // the row's last; a bare cell amid the row keeps a dense row dense.
    void dropIfBare(int row, int col)
    {
        Row& cells = rows[size_t(row - 1)];
        if (cells.empty() || cells.back().col != col)
            return;
        const Cell& cell = cells.back();
        if (cell.kind == Cell::Empty && cell.format == 0)
            cells.pop_back();
    }
    // Makes `cell` a cell of `kind`, its number 0, letting go of the text it held.
    void becomes(Cell& cell, Cell::Kind kind)
    {
        if (cell.kind == Cell::Text)
            texts.release(cell.textSlot);
        cell.kind = kind;
        cell.number = 0;
    }

    void setText(Cell& cell, const QString& text)
    {
        const quint32 slot = texts.hold(text); // before the old text goes: it may be the same
        becomes(cell, Cell::Text);
        cell.textSlot = slot;
    }

    // Drops the cells [first, last) of `cells`, letting go of their texts.
    void erase(Row& cells, Row::iterator first, Row::iterator last)
    {
        for (auto it = first; it != last; ++it)
            if (it->kind == Cell::Text)
                texts.release(it->textSlot);
        cells.erase(first, last);
    }

    // The most bare cells stored to keep a row dense (see slot).
    static constexpr size_t MaxGap = 8;

    formula::Value value(int row, int col) const override
    {
        if (row < 1 || row > MaxRows || col < 1 || col > MaxColumns)
            return {};
        const Cell* cell = find(row, col);
        if (!cell)
            return {};
        switch (cell->kind) {
        case Cell::Number:
            return formula::Value::number(cell->number);
        case Cell::Text:
            return formula::Value::text(texts.at(cell->textSlot));
        case Cell::Formula:
            return formulas.result(row, col);
        case Cell::Empty:
            break;
        }
        return {};
    }

    void forEachValue(const formula::RangeRef& range,
                      const std::function<bool(const formula::Value&)>& visit) const override
    {
        // Rows then columns, as the engine expects; only stored cells are visited.
        const int lastRow = std::min(range.last.row, int(rows.size()));
        for (int row = range.first.row; row <= lastRow; ++row) {
            const Row& cells = rows[size_t(row - 1)];
            const size_t first = size_t(range.first.col);
            auto it = first <= cells.size() && cells[first - 1].col == range.first.col
                          ? cells.begin() + std::ptrdiff_t(first - 1) // dense up to here
                          : lowerBound(cells, range.first.col);
            for (; it != cells.end() && it->col <= range.last.col; ++it) {
                if (it->kind != Cell::Empty && !visit(value(row, it->col)))
                    return;
            }
        }
    }

    // The format id of a cell whose number format becomes `numberFormat`.
    quint16 withNumberFormat(quint16 format, const QString& numberFormat, bool typed = false)
    {
        // A plain number typed into a cell keeps its number format unless that is a date's.
        if (typed && numberFormat == u"General" && !showsDates(format))
            return format;
        // The typed formats are mostly shared strings: their data pointers find the change
        // without hashing text. The cache keeps each string alive, so a pointer is never reused.
        const auto key = std::make_pair(format, numberFormat.constData());
        // The last change seen per slot of a small table first: a report's columns type
        // the same few formats into the same few ids row after row.
        RecentChange& recent = recentByPlace[PairHash()(key) % recentByPlace.size()];
        if (recent.text == key.second && recent.from == format && recent.text)
            return recent.to;
        quint16 id = 0;
        if (const auto it = recentChanges.find(key); it != recentChanges.end()) {
            id = it->second.first;
        } else {
            id = lookUpNumberFormat(format, numberFormat);
            if (recentChanges.size() > 256) {
                recentChanges.clear();
                recentByPlace.fill(RecentChange{});
            }
            recentChanges.emplace(key, std::make_pair(id, numberFormat));
        }
        // Only texts kept alive by recentChanges are remembered here, and forgotten with it.
        recent = RecentChange{key.second, format, id};
        return id;
    }
    struct RecentChange
    {
        const QChar* text = nullptr;
        quint16 from = 0;
        quint16 to = 0;
    };
    std::array<RecentChange, 64> recentByPlace{};

    // Whether format `id` shows numbers as dates or times (an id's format never changes).
    bool showsDates(quint16 id)
    {
        if (id >= dateFormatIds.size())
            dateFormatIds.resize(size_t(id) + 1, -1);
        qint8& known = dateFormatIds[id];
        if (known < 0)
            known = isDateFormat(formats.at(id).numberFormat) ? 1 : 0;
        return known == 1;
    }
    std::vector<qint8> dateFormatIds; // by id: 1 dates, 0 not, -1 not yet known

    quint16 lookUpNumberFormat(quint16 format, const QString& numberFormat)
    {
        auto keyIt = numberFormatKeys.constFind(numberFormat);
        if (keyIt == numberFormatKeys.cend())
            keyIt = numberFormatKeys.insert(numberFormat, quint16(numberFormatKeys.size()));
        const quint32 key = (quint32(format) << 16) | keyIt.value();
        const auto cached = numberFormatCache.constFind(key);
        if (cached != numberFormatCache.cend())
            return cached.value();
        CellFormat changed = formats.at(format);
        changed.numberFormat = numberFormat;
        const auto id = quint16(formats.intern(changed));
        numberFormatCache.insert(key, id);
        return id;
    }

    struct PairHash
    {
        size_t operator()(const std::pair<quint16, const QChar*>& k) const
        {
            return std::hash<const void*>()(k.second) ^ (size_t(k.first) * 0x9E3779B97F4A7C15ull);
        }
    };
    std::unordered_map<std::pair<quint16, const QChar*>, std::pair<quint16, QString>, PairHash> recentChanges;

    QString display(const Cell& cell, int row, int col) const
    {
        switch (cell.kind) {
        case Cell::Number:
            return text::formatNumber(cell.number, formats.at(cell.format).numberFormat);
        case Cell::Text:
            return texts.at(cell.textSlot);
        case Cell::Formula: {
            const formula::Value result = formulas.result(row, col);
            if (result.isNumber())
                return text::formatNumber(result.asNumber(), formats.at(cell.format).numberFormat);
            return formula::displayText(result);
        }
        case Cell::Empty:
            break;
        }
        return {};
    }

    // Calls apply(cell, edges) for every cell of `r`, stored (bare) where it was not; `edges`
    // tells the range's sides the cell lies on (1 left, 2 right, 4 top, 8 bottom). Columns
    // outer, rows inner: the order new formats are met in, which numbers them. A report fills
    // and frames row after row: a row stored dense across the range is one run.
    template <typename Apply> void forEachRangeCell(const CellRange& r, Apply apply)
    {
        if (r.row1 == r.row2 && size_t(r.row1) <= rows.size()) {
            Row& cells = rows[size_t(r.row1 - 1)];
            // Columns ascend without repeats, so column col2 at index col2 - 1 means every
            // column up to it is at its own index.
            if (size_t(r.col2) <= cells.size() && cells[size_t(r.col2 - 1)].col == r.col2) {
                for (int col = r.col1; col <= r.col2; ++col)
                    apply(cells[size_t(col - 1)],
                          4u | 8u | (col == r.col1 ? 1u : 0u) | (col == r.col2 ? 2u : 0u));
                return;
            }
        }
        for (int col = r.col1; col <= r.col2; ++col) {
            for (int row = r.row1; row <= r.row2; ++row) {
                const quint32 edges = (col == r.col1 ? 1u : 0u) | (col == r.col2 ? 2u : 0u) |
                                      (row == r.row1 ? 4u : 0u) | (row == r.row2 ? 8u : 0u);
                apply(slot(row, col), edges);
            }
        }
    }

    // The range a format operation covers: whole rows and columns stop at the used extent.
    CellRange formatRange() const
    {
        CellRange r = selection;
        if (r.row2 == MaxRows && r.row1 == 1)
            r.row2 = std::max(1, lastRow);
        if (r.col2 == MaxColumns && r.col1 == 1)
            r.col2 = std::max(1, lastCol);
        return r;
    }
};

Sheet::Sheet(QObject* parent) : QObject(parent), d(std::make_unique<Data>()) {}

Sheet::~Sheet() = default;

// --- Cells ---------------------------------------------------------------------------------

QString Sheet::text(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    return cell ? d->display(*cell, row, col) : QString();
}

void Sheet::setText(int row, int col, const QString& text)
{
    checkCell(row, col);
    setInput(row, col, parseInput(text));
}

void Sheet::setInput(int row, int col, const CellInput& input)
{
    checkCell(row, col);
    if (input.kind == CellInput::Kind::Empty) {
        clearCell(row, col);
        return;
    }
    Cell& cell = d->slot(row, col);
    const bool wasFormula = cell.kind == Cell::Formula;
    switch (input.kind) {
    case CellInput::Kind::Number: {
        // A plain number keeps a number format the cell already has ("0.00" stays), but not
        // a date format; a number typed with its own format sets it.
        if (cell.format != 0 || input.numberFormat != u"General")
            cell.format = d->withNumberFormat(cell.format, input.numberFormat, true);
        d->becomes(cell, Cell::Number);
        cell.number = input.number;
        break;
    }
    case CellInput::Kind::Text:
        d->setText(cell, input.text);
        break;
    case CellInput::Kind::Formula:
        d->becomes(cell, Cell::Formula);
        break;
    case CellInput::Kind::Empty:
        break;
    }
    if (row > d->lastRow || col > d->lastCol)
        setExtent(std::max(d->lastRow, row), std::max(d->lastCol, col));
    if (input.kind == CellInput::Kind::Formula) {
        d->formulas.set(row, col, input.text);
        cellWritten(row, col, true);
    } else {
        constantChanged(row, col, wasFormula);
    }
}

void Sheet::setFormulaCopy(int row, int col, const formula::Formula& formula, int rows, int cols)
{
    checkCell(row, col);
    d->becomes(d->slot(row, col), Cell::Formula);
    if (row > d->lastRow || col > d->lastCol)
        setExtent(std::max(d->lastRow, row), std::max(d->lastCol, col));
    d->formulas.setCopied(row, col, formula, rows, cols);
    cellWritten(row, col, true);
}

void Sheet::constantChanged(int row, int col, bool wasFormula)
{
    if (wasFormula)
        d->formulas.remove(row, col);
    d->formulas.changed(row, col);
    cellWritten(row, col, false);
}

void Sheet::cellWritten(int row, int col, bool isFormula)
{
    if (d->batchDepth > 0) {
        d->touch(row, col);
        return;
    }
    if (!isFormula) // a formula cell is among the recomputed ones
        Q_EMIT cellsChanged(CellRange{row, col, row, col});
    announce(*this, d->formulas.recalculate());
}

void Sheet::setPlainText(int row, int col, const QString& text)
{
    if (text.isEmpty()) {
        clearCell(row, col);
        return;
    }
    checkCell(row, col);
    // Stored as given: no apostrophe added for the typing rules to take off again.
    Cell& cell = d->slot(row, col);
    const bool wasFormula = cell.kind == Cell::Formula;
    d->setText(cell, text);
    if (row > d->lastRow || col > d->lastCol)
        setExtent(std::max(d->lastRow, row), std::max(d->lastCol, col));
    constantChanged(row, col, wasFormula);
}

// --- Batches -------------------------------------------------------------------------------

void Sheet::beginUpdate()
{
    ++d->batchDepth;
}

void Sheet::endUpdate()
{
    if (d->batchDepth == 0)
        throw std::logic_error("Sheet::endUpdate without beginUpdate");
    if (--d->batchDepth > 0)
        return;
    for (const auto& [row, col] : d->formulas.recalculate())
        d->touch(row, col);
    if (d->extentChangedInBatch) {
        d->extentChangedInBatch = false;
        // The rows were added one by one, so up to half their list may be spare room: give
        // it back, as a report's rows stay as written.
        if (d->rows.capacity() - d->rows.size() > d->rows.size() / 8)
            d->rows.shrink_to_fit();
        Q_EMIT extentChanged();
    }
    if (const auto changed = std::exchange(d->formatsChangedInBatch, std::nullopt))
        Q_EMIT formatsChanged(*changed);
    if (const auto changed = std::exchange(d->changedInBatch, std::nullopt))
        Q_EMIT cellsChanged(*changed);
}

bool Sheet::isUpdating() const
{
    return d->batchDepth > 0;
}

void Sheet::recalculateWrittenRows()
{
    const FormulaCells::Positions done = d->formulas.recalculateRows();
    if (d->batchDepth == 0) {
        announce(*this, done);
        return;
    }
    for (const auto& [row, col] : done)
        d->touch(row, col);
}

void Sheet::setNumber(int row, int col, double value, const QString& numberFormat)
{
    checkCell(row, col);
    // A cell holds no infinity or NaN: it would show as 0 and no file could keep it.
    if (!std::isfinite(value))
        throw std::invalid_argument("cell (" + std::to_string(row) + ", " + std::to_string(col) +
                                    ") cannot hold a number that is not finite");
    Cell& cell = d->slot(row, col);
    const bool wasFormula = cell.kind == Cell::Formula;
    d->becomes(cell, Cell::Number);
    cell.number = value;
    if (!numberFormat.isEmpty())
        cell.format = d->withNumberFormat(cell.format, numberFormat);
    if (row > d->lastRow || col > d->lastCol)
        setExtent(std::max(d->lastRow, row), std::max(d->lastCol, col));
    constantChanged(row, col, wasFormula);
}

QString Sheet::formula(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    return cell && cell->kind == Cell::Formula ? d->formulas.source(row, col) : QString();
}

std::optional<formula::MovedFormula> Sheet::movedFormula(int row, int col) const
{
    checkCell(row, col);
    return isFormula(row, col) ? d->formulas.moved(row, col) : std::nullopt;
}

bool Sheet::isFormula(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    return cell && cell->kind == Cell::Formula;
}

bool Sheet::isNumber(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    if (!cell)
        return false;
    return cell->kind == Cell::Number ||
           (cell->kind == Cell::Formula && d->formulas.result(row, col).isNumber());
}

double Sheet::number(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    if (!cell)
        return 0;
    if (cell->kind == Cell::Number)
        return cell->number;
    if (cell->kind == Cell::Formula)
        return d->formulas.result(row, col).asNumber();
    return 0;
}

bool Sheet::isDate(int row, int col) const
{
    return isNumber(row, col) && isDateFormat(numberFormat(row, col));
}

bool Sheet::isEmpty(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    return !cell || cell->kind == Cell::Empty;
}

bool Sheet::isText(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    if (!cell)
        return false;
    return cell->kind == Cell::Text ||
           (cell->kind == Cell::Formula && !d->formulas.result(row, col).isNumber());
}

bool Sheet::numberConstant(int row, int col, double& value, int& formatId) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    if (!cell || cell->kind != Cell::Number)
        return false;
    value = cell->number;
    formatId = cell->format;
    return true;
}

void Sheet::clearCell(int row, int col)
{
    checkCell(row, col);
    const Cell* found = d->find(row, col);
    if (!found || found->kind == Cell::Empty)
        return;
    Cell& cell = d->slot(row, col);
    const bool wasFormula = cell.kind == Cell::Formula;
    d->becomes(cell, Cell::Empty);
    d->dropIfBare(row, col);
    constantChanged(row, col, wasFormula);
}

void Sheet::clearConstants(int row, int col1, int col2)
{
    checkCell(row, col1);
    checkCell(row, col2);
    for (int col = col1; col <= col2; ++col) {
        const Cell* found = d->find(row, col);
        if (found && (found->kind == Cell::Number || found->kind == Cell::Text))
            clearCell(row, col);
    }
}

void Sheet::forEachCell(const std::function<void(int, int)>& visit) const
{
    forEachCell(1, MaxRows, visit);
}

void Sheet::forEachCell(int row1, int row2, const std::function<void(int, int)>& visit) const
{
    const size_t end = std::min(d->rows.size(), size_t(std::max(row2, 0)));
    for (size_t r = size_t(std::max(row1, 1) - 1); r < end; ++r) {
        for (const Cell& cell : d->rows[r]) {
            if (cell.kind != Cell::Empty || cell.format != 0)
                visit(int(r) + 1, cell.col);
        }
    }
}

void Sheet::forEachFormula(int row1, int row2, const std::function<void(int, int)>& visit) const
{
    const size_t end = std::min(d->rows.size(), size_t(std::max(row2, 0)));
    for (size_t r = size_t(std::max(row1, 1) - 1); r < end; ++r) {
        for (const Cell& cell : d->rows[r]) {
            if (cell.kind == Cell::Formula)
                visit(int(r) + 1, cell.col);
        }
    }
}

// --- Headings ------------------------------------------------------------------------------

QString Sheet::columnHeading(int col) const
{
    checkCell(1, col);
    return size_t(col) <= d->columnHeadings.size() ? d->columnHeadings[size_t(col - 1)] : QString();
}

void Sheet::setColumnHeading(int col, const QString& text)
{
    checkCell(1, col);
    d->columnHeadings.resize(MaxColumns);
    d->columnHeadings[size_t(col - 1)] = text;
    Q_EMIT headingsChanged();
}

QString Sheet::rowHeading(int row) const
{
    checkCell(row, 1);
    return d->rowHeadings.value(row);
}

QList<int> Sheet::rowsWithHeadings() const
{
    QList<int> rows = d->rowHeadings.keys();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Sheet::setRowHeading(int row, const QString& text)
{
    checkCell(row, 1);
    if (text.isEmpty())
        d->rowHeadings.remove(row);
    else
        d->rowHeadings.insert(row, text);
    Q_EMIT headingsChanged();
}

bool Sheet::showColumnHeadings() const
{
    return d->showColumnHeadings;
}

void Sheet::setShowColumnHeadings(bool on)
{
    d->showColumnHeadings = on;
    Q_EMIT headingsChanged();
}

bool Sheet::showRowHeadings() const
{
    return d->showRowHeadings;
}

void Sheet::setShowRowHeadings(bool on)
{
    d->showRowHeadings = on;
    Q_EMIT headingsChanged();
}

// --- Extent and panes ----------------------------------------------------------------------

int Sheet::lastRow() const
{
    return d->lastRow;
}

int Sheet::lastColumn() const
{
    return d->lastCol;
}

void Sheet::setLastRow(int row)
{
    if (row < 0 || row > MaxRows)
        throw std::out_of_range("last row " + std::to_string(row) + " lies outside the sheet");
    setExtent(row, d->lastCol);
}

void Sheet::setLastColumn(int col)
{
    if (col < 0 || col > MaxColumns)
        throw std::out_of_range("last column " + std::to_string(col) + " lies outside the sheet");
    setExtent(d->lastRow, col);
}

void Sheet::setExtent(int rows, int cols)
{
    const bool fewerRows = rows < d->lastRow;
    const bool fewerCols = cols < d->lastCol;
    if (rows == d->lastRow && cols == d->lastCol)
        return;
    if (fewerRows) {
        if (d->rows.size() > size_t(rows)) {
            for (size_t r = size_t(rows); r < d->rows.size(); ++r)
                d->erase(d->rows[r], d->rows[r].begin(), d->rows[r].end());
            d->rows.resize(size_t(rows));
            d->rows.shrink_to_fit();
        }
        for (auto it = d->rowHeadings.begin(); it != d->rowHeadings.end();)
            it = it.key() > rows ? d->rowHeadings.erase(it) : std::next(it);
    }
    if (fewerCols) {
        for (Row& cells : d->rows) {
            const auto beyond = lowerBound(cells, cols + 1);
            if (beyond != cells.end()) {
                d->erase(cells, beyond, cells.end());
                cells.shrink_to_fit();
            }
        }
    }
    if (fewerRows || fewerCols)
        d->formulas.crop(fewerRows ? rows : MaxRows, fewerCols ? cols : MaxColumns);
    d->lastRow = rows;
    d->lastCol = cols;
    if (d->batchDepth > 0) {
        d->extentChangedInBatch = true;
        return; // the formulas are recomputed when the batch ends
    }
    Q_EMIT extentChanged();
    if (fewerRows || fewerCols)
        announce(*this, d->formulas.recalculate());
}

int Sheet::frozenRows() const
{
    return d->frozenRows;
}

int Sheet::frozenColumns() const
{
    return d->frozenCols;
}

void Sheet::setFrozenRows(int rows)
{
    d->frozenRows = std::clamp(rows, 0, int(MaxRows) - 1);
    Q_EMIT panesChanged();
}

void Sheet::setFrozenColumns(int cols)
{
    d->frozenCols = std::clamp(cols, 0, int(MaxColumns) - 1);
    Q_EMIT panesChanged();
}

int Sheet::columnWidth(int col) const
{
    checkCell(1, col);
    const int width = size_t(col) <= d->widths.size() ? d->widths[size_t(col - 1)] : 0;
    return width > 0 ? width : DefaultColumnWidth;
}

void Sheet::setColumnWidth(int col, int width)
{
    checkCell(1, col);
    d->widths.resize(MaxColumns);
    d->widths[size_t(col - 1)] = std::clamp(width, 0, int(MaxColumnWidth));
    Q_EMIT panesChanged();
}

// --- Active cell and selection -------------------------------------------------------------

int Sheet::activeRow() const
{
    return d->activeRow;
}

int Sheet::activeColumn() const
{
    return d->activeCol;
}

void Sheet::setActiveCell(int row, int col)
{
    checkCell(row, col);
    if (d->activeRow == row && d->activeCol == col && d->selection == CellRange{row, col, row, col})
        return;
    d->activeRow = row;
    d->activeCol = col;
    d->selection = CellRange{row, col, row, col};
    Q_EMIT selectionChanged();
}

CellRange Sheet::selection() const
{
    return d->selection;
}

void Sheet::select(const QString& reference)
{
    const auto range = parseRange(reference);
    if (!range)
        throw std::invalid_argument("not a cell reference: \"" + reference.toStdString() + "\"");
    select(range->row1, range->col1, range->row2, range->col2);
}

void Sheet::select(int row1, int col1, int row2, int col2)
{
    checkCell(row1, col1);
    checkCell(row2, col2);
    const CellRange range{std::min(row1, row2), std::min(col1, col2), std::max(row1, row2),
                          std::max(col1, col2)};
    if (d->selection == range && d->activeRow == range.row1 && d->activeCol == range.col1)
        return;
    d->selection = range;
    d->activeRow = range.row1;
    d->activeCol = range.col1;
    Q_EMIT selectionChanged();
}

// --- Formats -------------------------------------------------------------------------------

void Sheet::setBorder(short outline, short left, short right, short top, short bottom, short /*shade*/,
                      quint32 outlineColour, quint32 leftColour, quint32 rightColour, quint32 topColour,
                      quint32 bottomColour)
{
    checkStyle(outline, "outline");
    checkStyle(left, "left");
    checkStyle(right, "right");
    checkStyle(top, "top");
    checkStyle(bottom, "bottom");
    const CellRange r = d->formatRange();
    // Sides of every cell first (a negative style leaves that side alone), then the frame
    // around the selection when an outline style is given.
    auto side = [](short style, quint32 colour, short& s, quint32& c) {
        if (style >= 0) {
            s = style;
            c = style > 0 ? colour : 0;
        }
    };
    auto& done = d->formatOps.of({1, quint32(outline), quint32(left), quint32(right), quint32(top),
                                  quint32(bottom), outlineColour, leftColour, rightColour, topColour,
                                  bottomColour, 0}); // (old id, edges) -> new id
    d->forEachRangeCell(r, [&](Cell& cell, quint32 edges) {
        const quint32 key = (quint32(cell.format) << 4) | edges;
        if (const quint16 known = done.find(key); known != FormatOps::Outcomes::Unknown) {
            cell.format = known;
            return;
        }
        CellFormat f = d->formats.at(cell.format);
        CellBorder& b = f.border;
        side(left, leftColour, b.left, b.leftColour);
        side(right, rightColour, b.right, b.rightColour);
        side(top, topColour, b.top, b.topColour);
        side(bottom, bottomColour, b.bottom, b.bottomColour);
        if (outline > 0) {
            if (edges & 1u)
                side(outline, outlineColour, b.left, b.leftColour);
            if (edges & 2u)
                side(outline, outlineColour, b.right, b.rightColour);
            if (edges & 4u)
                side(outline, outlineColour, b.top, b.topColour);
            if (edges & 8u)
                side(outline, outlineColour, b.bottom, b.bottomColour);
        }
        const auto id = quint16(d->formats.intern(f));
        done.emplace(key, id);
        cell.format = id;
    });
    formatsWritten(r);
}

void Sheet::setPattern(short pattern, quint32 foreground, quint32 background)
{
    checkPattern(std::max<short>(pattern, 0));
    const CellRange r = d->formatRange();
    CellFill fill;
    if (pattern > 0)
        fill = CellFill{pattern, foreground, background};
    auto& done =
        d->formatOps.of({2, quint32(fill.pattern), fill.foreground, fill.background}); // old id -> new id
    d->forEachRangeCell(r, [&](Cell& cell, quint32) {
        if (const quint16 known = done.find(cell.format); known != FormatOps::Outcomes::Unknown) {
            cell.format = known;
            return;
        }
        CellFormat f = d->formats.at(cell.format);
        f.fill = fill;
        const auto id = quint16(d->formats.intern(f));
        done.emplace(cell.format, id);
        cell.format = id;
    });
    formatsWritten(r);
}

CellBorder Sheet::border(int row, int col) const
{
    return formatById(formatId(row, col)).border;
}

CellFill Sheet::fill(int row, int col) const
{
    return formatById(formatId(row, col)).fill;
}

QString Sheet::numberFormat(int row, int col) const
{
    return formatById(formatId(row, col)).numberFormat;
}

int Sheet::formatId(int row, int col) const
{
    checkCell(row, col);
    const Cell* cell = d->find(row, col);
    return cell ? cell->format : 0;
}

const CellFormat& Sheet::formatById(int id) const
{
    if (id < 0 || id >= d->formats.size())
        throw std::out_of_range("no cell format " + std::to_string(id));
    return d->formats.at(id);
}

int Sheet::formatCount() const
{
    return d->formats.size();
}

int Sheet::addFormat(const CellFormat& format)
{
    checkFormat(format);
    return d->formats.intern(format);
}

quint64 Sheet::formatTableId() const
{
    return d->formatTableId;
}

void Sheet::setFormat(int row, int col, const CellFormat& format)
{
    checkCell(row, col);
    setFormatId(row, col, addFormat(format));
}

void Sheet::setFormatId(int row, int col, int formatId)
{
    checkCell(row, col);
    if (formatId < 0 || formatId >= d->formats.size())
        throw std::out_of_range("no cell format " + std::to_string(formatId));
    const auto id = quint16(formatId);
    const Cell* found = d->find(row, col);
    if ((found ? found->format : 0) == id)
        return;
    (found ? const_cast<Cell&>(*found) : d->slot(row, col)).format = id;
    formatsWritten(CellRange{row, col, row, col});
}

void Sheet::setFormatIds(int row, int col1, std::span<const int> ids)
{
    const int count = int(ids.size());
    if (count < 1)
        return;
    checkCell(row, col1);
    checkCell(row, col1 + count - 1);
    for (int i = 0; i < count; ++i)
        if (ids[i] < 0 || ids[i] >= d->formats.size())
            throw std::out_of_range("no cell format " + std::to_string(ids[i]));
    std::optional<CellRange> changed;
    for (int i = 0; i < count; ++i) {
        const int col = col1 + i;
        const auto id = quint16(ids[i]);
        // Every cell is stored, a bare one too: the row is about to be written, and its
        // cells then lie in column order.
        Cell& cell = d->slot(row, col);
        if (cell.format == id)
            continue;
        cell.format = id;
        Data::widen(changed, CellRange{row, col, row, col});
    }
    if (changed)
        formatsWritten(*changed);
}

void Sheet::writeRow(int row, int col1, std::span<const PreparedCell> cells)
{
    const int count = int(cells.size());
    if (count < 1)
        return;
    checkCell(row, col1);
    checkCell(row, col1 + count - 1);
    for (int i = 0; i < count; ++i) {
        const PreparedCell& cell = cells[i];
        if (cell.formatId < 0 || cell.formatId >= d->formats.size())
            throw std::out_of_range("no cell format " + std::to_string(cell.formatId));
        if (cell.kind == PreparedCell::Kind::Number && !std::isfinite(cell.number))
            throw std::invalid_argument("cell (" + std::to_string(row) + ", " + std::to_string(col1 + i) +
                                        ") cannot hold a number that is not finite");
    }
    // Cell by cell where the row holds cells (formulas among them, perhaps) to be overwritten,
    // or outside a batch, where every write is to be recomputed and signalled at once.
    if (d->batchDepth > 0 && (size_t(row) > d->rows.size() || d->rows[size_t(row - 1)].empty()))
        layOutEmptyRow(row, col1, cells);
    else
        writeRowCellByCell(row, col1, cells);
}

void Sheet::writeRowCellByCell(int row, int col1, std::span<const PreparedCell> cells)
{
    std::vector<int> ids;
    ids.reserve(cells.size());
    for (const PreparedCell& cell : cells)
        ids.push_back(cell.formatId);
    setFormatIds(row, col1, ids);
    int col = col1;
    for (const PreparedCell& cell : cells) {
        switch (cell.kind) {
        case PreparedCell::Kind::Formula:
            setFormulaCopy(row, col, cell.formula, row - cell.formulaRow, 0);
            break;
        case PreparedCell::Kind::Number:
            setNumber(row, col, cell.number);
            break;
        case PreparedCell::Kind::Text:
            setPlainText(row, col, cell.text);
            break;
        case PreparedCell::Kind::Empty:
            clearCell(row, col);
            break;
        }
        ++col;
    }
}

// The row's cells are laid out in column order at once (as setFormatIds stores them, bare ones
// included), and the batch's changed areas, the extent and the formulas learn of them once for
// the row.
void Sheet::layOutEmptyRow(int row, int col1, std::span<const PreparedCell> cells)
{
    const int count = int(cells.size());
    if (size_t(row) > d->rows.size())
        d->rows.resize(size_t(row));
    Row& stored = d->rows[size_t(row - 1)];
    // A dense row stays dense over a small gap before its first cell (see Data::slot).
    const int first = size_t(col1) <= 1 + Data::MaxGap ? 1 : col1;
    // Room up to the sheet's last column, as Data::slot takes it: the row's fill and frame
    // usually reach it.
    stored.reserve(size_t(std::max(col1 + count - 1, std::min(d->lastCol, int(MaxColumns))) - first + 1));
    for (int col = first; col < col1; ++col)
        stored.emplace_back().col = quint16(col);
    int formatFirst = 0, formatLast = 0, contentFirst = 0, contentLast = 0;
    for (int i = 0; i < count; ++i) {
        const PreparedCell& prepared = cells[i];
        const int col = col1 + i;
        Cell& cell = stored.emplace_back();
        cell.col = quint16(col);
        cell.format = quint16(prepared.formatId);
        if (cell.format != 0) {
            formatFirst = formatFirst ? formatFirst : col;
            formatLast = col;
        }
        switch (prepared.kind) {
        case PreparedCell::Kind::Number:
            cell.kind = Cell::Number;
            cell.number = prepared.number;
            break;
        case PreparedCell::Kind::Text:
            if (prepared.text.isEmpty())
                continue;
            cell.kind = Cell::Text;
            cell.textSlot = d->texts.hold(prepared.text);
            break;
        case PreparedCell::Kind::Formula:
            cell.kind = Cell::Formula;
            break;
        case PreparedCell::Kind::Empty:
            continue;
        }
        contentFirst = contentFirst ? contentFirst : col;
        contentLast = col;
    }
    if (formatFirst)
        Data::widen(d->formatsChangedInBatch, CellRange{row, formatFirst, row, formatLast});
    if (!contentFirst)
        return;
    if (row > d->lastRow || contentLast > d->lastCol)
        setExtent(std::max(d->lastRow, row), std::max(d->lastCol, contentLast));
    for (int i = contentFirst - col1; i <= contentLast - col1; ++i) {
        const PreparedCell& prepared = cells[i];
        if (prepared.kind == PreparedCell::Kind::Formula)
            d->formulas.setCopied(row, col1 + i, prepared.formula, row - prepared.formulaRow, 0);
        else if (prepared.kind == PreparedCell::Kind::Number ||
                 (prepared.kind == PreparedCell::Kind::Text && !prepared.text.isEmpty()))
            d->formulas.changed(row, col1 + i);
    }
    d->touch(row, contentFirst);
    d->touch(row, contentLast);
}

void Sheet::formatsWritten(const CellRange& range)
{
    if (d->batchDepth > 0)
        Data::widen(d->formatsChangedInBatch, range);
    else
        Q_EMIT formatsChanged(range);
}

// --- Columns -------------------------------------------------------------------------------

void Sheet::insertColumns(int col, int count)
{
    checkCell(1, col);
    if (count < 1)
        return;
    count = std::min(count, int(MaxColumns) - col + 1);
    Q_EMIT aboutToBeReset();
    auto shiftRight = [&](auto& v, auto empty) {
        if (v.empty())
            return;
        v.insert(v.begin() + (col - 1), size_t(count), empty);
        v.resize(MaxColumns);
    };
    for (Row& cells : d->rows) {
        auto it = lowerBound(cells, col);
        for (auto c = it; c != cells.end(); ++c)
            c->col = quint16(c->col + count);
        d->erase(cells, lowerBound(cells, MaxColumns + 1), cells.end());
    }
    shiftRight(d->columnHeadings, QString());
    shiftRight(d->widths, 0);
    d->formulas.shiftColumns(col, count);
    if (col <= d->lastCol)
        d->lastCol = std::min(int(MaxColumns), d->lastCol + count);
    if (col <= d->frozenCols)
        d->frozenCols = std::min(int(MaxColumns) - 1, d->frozenCols + count);
    d->formulas.recalculateAll();
    Q_EMIT reset();
}

void Sheet::deleteColumns(int col, int count)
{
    checkCell(1, col);
    if (count < 1)
        return;
    count = std::min(count, int(MaxColumns) - col + 1);
    Q_EMIT aboutToBeReset();
    auto shiftLeft = [&](auto& v, auto empty) {
        if (v.empty())
            return;
        v.erase(v.begin() + (col - 1), v.begin() + (col - 1 + count));
        v.resize(MaxColumns, empty);
    };
    for (Row& cells : d->rows) {
        const auto first = lowerBound(cells, col);
        const auto offset = first - cells.begin();
        d->erase(cells, first, lowerBound(cells, col + count));
        for (auto c = cells.begin() + offset; c != cells.end(); ++c)
            c->col = quint16(c->col - count);
    }
    shiftLeft(d->columnHeadings, QString());
    shiftLeft(d->widths, 0);
    d->formulas.shiftColumns(col, -count);
    if (col <= d->lastCol)
        d->lastCol = std::max(col - 1, d->lastCol - count);
    if (col <= d->frozenCols)
        d->frozenCols = std::max(col - 1, d->frozenCols - count);
    d->formulas.recalculateAll();
    Q_EMIT reset();
}

void Sheet::setRecalculationLimit(qint64 cells)
{
    d->formulas.setReadLimit(cells);
}

bool Sheet::recalculationLimitReached() const
{
    return d->formulas.readLimitReached();
}

void Sheet::clear()
{
    Q_EMIT aboutToBeReset();
    const int batchDepth = d->batchDepth;
    d = std::make_unique<Data>();
    d->batchDepth = batchDepth;
    Q_EMIT reset();
}

} // namespace talor::grid
