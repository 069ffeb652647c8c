#include "sheet/RecordDisplay.h"

#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "grid/SheetBulkWriter.h"
#include "sheet/ColumnFields.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <bit>
#include <utility>

namespace talor {

namespace {

const QString Department = QStringLiteral("部门");

// The field's display format, or `fallback` when it is empty or blank.
QString pictureOf(const ColumnFacts& facts, const QString& fallback)
{
    return facts.format.trimmed().isEmpty() ? fallback : facts.format;
}

// Selects row `row` from column A to `columnCount`, the range "$A$r:" + ColumnAddress(c) + "$r"
// (column 70, $BR, for a count no sheet holds).
void selectRow(grid::Sheet& sheet, int row, int columnCount)
{
    sheet.select(row, 1, row, columnCount >= 1 && columnCount <= grid::Sheet::MaxColumns ? columnCount : 70);
}

// A thin frame around the selection with lines right of every cell and under the row.
void frameSelection(grid::Sheet& sheet)
{
    sheet.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
}

// The number a shown text stands for: as a number cell reads what is typed into it ("1,234.5",
// "50%" is 0.5), else its leading number ("12abc" is 12).
double shownNumber(const QString& shown)
{
    return text::typedNumber(shown).value_or(text::numericValue(shown));
}

} // namespace

RecordDisplay::RecordDisplay(SuiteServices& suite, const SheetState& state, const ColumnFields& columns,
                             grid::Sheet& sheet)
    : m_suite(suite), m_state(state), m_columns(columns), m_sheet(sheet)
{}

void RecordDisplay::prepare(const Recordset& records, int columnCount)
{
    if (m_preparedFor == records.readId() && m_preparedColumns == columnCount)
        return;
    // The next person's records of a period report have the same fields: the plan (field
    // numbers, ways, kept cells) holds for them as it is.
    QStringList fields = records.fieldNames();
    if (m_preparedColumns == columnCount && fields == m_preparedFields) {
        m_preparedFor = records.readId();
        return;
    }
    // What a value makes of a cell depends on the value and the column's facts only, not on
    // the records it came from: the kept cells stay for the next records (the next person of a
    // period report), whose field numbers are found afresh.
    std::vector<Column> previous =
        std::exchange(m_plan, std::vector<Column>(size_t(std::max(columnCount, 0))));
    for (int c = 1; c <= columnCount; ++c) {
        const ColumnFacts& facts = m_columns.facts(c);
        Column& column = m_plan[size_t(c - 1)];
        if (!facts.shown())
            continue;
        Column* before = size_t(c) <= previous.size() ? &previous[size_t(c - 1)] : nullptr;
        column.field = records.column(facts.field);
        if (column.field < 0) {
            column.way = Column::Way::Missing;
            continue;
        }
        const QString& type = facts.type;
        const bool typed = type == QLatin1String("I") || type == QLatin1String("D") ||
                           type == QLatin1String("T") || type == QLatin1String("Y");
        if (!typed && !(type == QLatin1String("S") && facts.codeKind != 0)) {
            column.way = Column::Way::Plain;
            continue;
        }
        column.way = Column::Way::Worked;
        column.decidedBy = {column.field};
        column.zeroRule = type == QLatin1String("I") || type == QLatin1String("D");
        if (type == QLatin1String("Y")) {
            const QString picture = pictureOf(facts, TimeFormat);
            column.clockStep = picture == QLatin1String("hh:nn") ? 60 : picture == TimeFormat ? 1 : 0;
            // The cell of midnight, typed as the format function shows it: its number format.
            column.clock = grid::parseInput(text::format(QStringLiteral("00:00:00"), picture));
            if (column.clock.kind != grid::CellInput::Kind::Number)
                column.clockStep = 0;
        }
        if (type == QLatin1String("S") && (facts.codeKind == 1 || facts.codeKind == 2)) {
            // Team and group names are looked up within the row's department (and group).
            for (const QString& within : facts.codeKind == 1
                                             ? QStringList{QStringLiteral("DEPART"), QStringLiteral("GROUP0")}
                                             : QStringList{QStringLiteral("DEPART")}) {
                const int field = records.column(within);
                if (field < 0) {
                    column.decidedBy.clear(); // reading it throws, row by row as before
                    break;
                }
                column.decidedBy.push_back(field);
            }
        }
        if (before && before->way == Column::Way::Worked && !column.decidedBy.empty()) {
            column.lookups = before->lookups;
            column.misses = before->misses;
            if (before->decidedBy.empty() && before->lookups > 0)
                column.decidedBy.clear(); // given up on: its values seldom repeat
            else
                column.kept = std::move(before->kept);
        }
    }
    m_colourField = records.column(QStringLiteral("nColor"));
    m_preparedFor = records.readId();
    m_preparedColumns = columnCount;
    m_preparedFields = std::move(fields);
}

RecordDisplay::Written RecordDisplay::workOut(const Recordset& records, const ColumnFacts& facts, int field)
{
    Written w;
    const bool null = records.isNull(field);
    const QString text = null ? QString() : records.text(field);
    const QString& type = facts.type;
    // A stored value is a number, a date or a time when it reads as one; anything else is text
    // exactly as stored, never a formula and never losing a leading apostrophe.
    auto typed = [&w](const QString& entry) {
        w.how = Written::How::Typed;
        w.typed = grid::parseInput(entry);
        if (w.typed.kind != grid::CellInput::Kind::Number && !entry.isEmpty())
            w.typed = grid::CellInput{grid::CellInput::Kind::Text, 0, entry, QString()};
    };
    if (type == QLatin1String("S")) {
        bool known = true;
        const QString shown =
            null ? QString() : codeName(records, facts.caption, facts.codeKind, text, known);
        if (known) {
            w.how = Written::How::Plain;
            w.plain = shown;
        }
    } else if (type == QLatin1String("I")) {
        typed(null ? QStringLiteral("0") : text);
    } else if (type == QLatin1String("D")) {
        typed(text::format(null ? QStringLiteral("0") : text, pictureOf(facts, DecimalFormat)));
    } else if (type == QLatin1String("T") || type == QLatin1String("Y")) {
        typed(null ? QString()
                   : text::format(text,
                                  pictureOf(facts, type == QLatin1String("T") ? DateFormat : TimeFormat)));
    } else {
        w.how = Written::How::Plain;
        w.plain = text;
    }
    return w;
}

const RecordDisplay::Written& RecordDisplay::written(const Recordset& records, Column& column,
                                                     const ColumnFacts& facts)
{
    if (!column.decidedBy.empty()) {
        m_key.clear();
        bool keyed = true;
        for (const int field : column.decidedBy)
            keyed = keyed && records.appendValueKey(field, m_key);
        if (keyed) {
            ++column.lookups;
            if (const Written* kept = column.kept.find(m_key))
                return *kept;
            ++column.misses;
            // A column of values that seldom repeat (times to the second) is not worth keeping;
            // codes and hours repeat within a thousand rows.
            if (column.lookups >= 1024 && column.misses * 2 > column.lookups) {
                column.decidedBy.clear();
                column.kept.clear();
            } else {
                return column.kept.add(m_key, workOut(records, facts, column.field));
            }
        }
    }
    m_fresh = workOut(records, facts, column.field);
    return m_fresh;
}

int RecordDisplay::rowColour(const Recordset& records)
{
    if (m_colourField < 0)
        return 0;
    m_key.clear();
    if (!records.appendValueKey(m_colourField, m_key))
        return int(text::numericValue(records.text(m_colourField)));
    if (const int* colour = m_colours.find(m_key))
        return *colour;
    return m_colours.add(m_key, int(text::numericValue(records.text(m_colourField))));
}

void RecordDisplay::DisplayMRecord(const Recordset& records, int row, int columnCount)
{
    prepare(records, columnCount);
    for (int c = 1; c <= columnCount; ++c) {
        Column& column = m_plan[size_t(c - 1)];
        if (column.way == Column::Way::Skip || m_sheet.isFormula(row, c))
            continue; // no field, or the template computes this cell
        const ColumnFacts& facts = m_columns.facts(c);
        switch (column.way) {
        case Column::Way::Skip:
            break;
        case Column::Way::Missing:
            records.value(facts.field); // throws, naming the field
            break;
        case Column::Way::Plain:
            m_sheet.setPlainText(row, c, records.text(column.field));
            break;
        case Column::Way::Worked: {
            if (column.clockStep > 0) {
                if (const std::optional<int> seconds = records.secondsOfDay(column.field)) {
                    // What parseTime reads from the shown text, divided as parseInput does.
                    const int msecs = *seconds / column.clockStep * column.clockStep * 1000;
                    column.clock.number = msecs / 86400000.0;
                    grid::SheetBulkWriter(m_sheet).setInput(row, c, column.clock);
                    break;
                }
            }
            const Written& w = written(records, column, facts);
            if (w.how == Written::How::Plain)
                m_sheet.setPlainText(row, c, w.plain);
            else if (w.how == Written::How::Typed)
                grid::SheetBulkWriter(m_sheet).setInput(row, c, w.typed);
            if (column.zeroRule)
                applyZeroRule(row, c);
            break;
        }
        }
    }

    selectRow(m_sheet, row, columnCount);
    if (!m_columns.colourField())
        return;
    const int colour = rowColour(records);
    const quint32 fill = colour == 1   ? m_state.AbnormalColour1
                         : colour == 2 ? m_state.AbnormalColour2
                         : colour == 3 ? m_state.AbnormalColour3
                                       : SheetState::White;
    m_sheet.setPattern(1, fill, 0);
    frameSelection(m_sheet);
}

QString RecordDisplay::codeName(const Recordset& records, const QString& caption, int codeKind,
                                const QString& code, bool& known)
{
    switch (codeKind) {
    case 0:
        return code;
    case 1: {
        const QString d = m_suite.categoryName(Department, records.text(QStringLiteral("DEPART")));
        const QString g = m_suite.groupName(d, records.text(QStringLiteral("GROUP0")));
        return m_suite.teamName(d, g, code);
    }
    case 2:
        return m_suite.groupName(m_suite.categoryName(Department, records.text(QStringLiteral("DEPART"))),
                                 code);
    case 3:
        return m_suite.categoryName(caption, code);
    default:
        known = false;
        return {};
    }
}

void RecordDisplay::applyZeroRule(int row, int col)
{
    if (m_state.BlankZero && shownNumber(m_sheet.text(row, col)) == 0)
        m_sheet.setPlainText(row, col, QString());
}

double RecordDisplay::shownValue(int row, int col)
{
    // A number constant shows its value through its format: the same pair reads the same.
    if (m_shownTable != m_sheet.formatTableId()) {
        m_shownValues.fill(ShownValue{});
        m_shownTable = m_sheet.formatTableId();
    }
    double number = 0;
    int format = 0;
    if (m_sheet.numberConstant(row, col, number, format)) {
        // Hours and minutes repeat: a small table by value and format, each slot holding the
        // last pair that fell on it.
        const quint64 bits = std::bit_cast<quint64>(number);
        const quint64 mixed =
            (bits ^ (bits >> 31) ^ (quint64(format) * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
        ShownValue& slot = m_shownValues[size_t(mixed >> 56) % m_shownValues.size()];
        if (!slot.known || slot.bits != bits || slot.format != format)
            slot = ShownValue{bits, format, true, shownNumber(m_sheet.text(row, col))};
        return slot.shown;
    }
    return shownNumber(m_sheet.text(row, col));
}

void RecordDisplay::DisplaySum(int firstRow, int sumRow, int columnCount)
{
    // The totals are read row by row (a row's cells lie together), then written column by
    // column. "D" keeps its running total as the number its text in SumFormat reads as, so
    // every partial sum is rounded; the text itself is made of the last sum only. A field shown
    // as a percentage keeps two places of its percent (four of the number), so that 12.3% and
    // 12.3% sum to 24.6%, not to 24.0%.
    struct Total
    {
        int col;
        bool decimal;
        double sum = 0;     // "I"; "D": the last running total before rounding
        QString shown = {}; // "D": the running total as shown
        double read = 0;    // "D": the number that text reads as
        int places = 2;     // "D": the places of that text
    };
    std::vector<Total> totals;
    for (int c = 1; c <= columnCount; ++c) {
        const ColumnFacts& facts = m_columns.facts(c);
        if (m_sheet.isFormula(sumRow, c) || facts.field.isEmpty())
            continue;
        if (facts.type == QLatin1String("D"))
            totals.push_back(
                {c, true, 0, QStringLiteral("0"), 0, pictureOf(facts, SumFormat).contains(u'%') ? 4 : 2});
        else if (facts.type == QLatin1String("I"))
            totals.push_back({c, false});
    }
    for (int r = firstRow + 1; r <= sumRow - 1; ++r) {
        for (Total& t : totals) {
            if (t.decimal) {
                t.sum = shownValue(r, t.col) + t.read;
                t.read = text::shownAsFixed(t.sum, t.places);
            } else {
                t.sum += shownValue(r, t.col);
            }
        }
    }
    if (firstRow + 1 <= sumRow - 1)
        for (Total& t : totals)
            if (t.decimal)
                t.shown = text::formatNumber(t.sum, t.places == 2 ? SumFormat : QStringLiteral("##0.0000"));
    auto total = totals.cbegin();
    for (int c = 1; c <= columnCount; ++c) {
        const ColumnFacts& facts = m_columns.facts(c);
        if (m_sheet.isFormula(sumRow, c) || facts.field.isEmpty())
            continue;
        if (total != totals.cend() && total->col == c) {
            m_sheet.setText(sumRow, c,
                            total->decimal ? text::format(total->shown, pictureOf(facts, SumFormat))
                                           : QString::number(total->sum, 'g', 15));
            ++total;
        } else {
            m_sheet.setPlainText(sumRow, c, QString());
        }
    }
    m_sheet.setPlainText(sumRow, 1, SumLabel);
    // The one-day report counts its data rows, wherever they start.
    m_sheet.setPlainText(sumRow, 2,
                         m_suite.reportOption() == QLatin1String("2") ? QString::number(sumRow - firstRow - 1)
                                                                      : QString());
    selectRow(m_sheet, sumRow, columnCount);
    frameSelection(m_sheet);
    m_sheet.select(QStringLiteral("$C5"));
}

} // namespace talor
