#include "sheet/RecordDisplay.h"

#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

namespace talor {

namespace {

const QString Department = QStringLiteral("部门");

// The field's display format, or `fallback` when it is empty or blank.
QString pictureOf(const ColumnFacts& facts, const QString& fallback)
{
    return facts.format.trimmed().isEmpty() ? fallback : facts.format;
}

// Selects row `row` from column A to `columnCount`, the range "$A$r:" + ColumnAddress(c) + "$r":
// the address table reaches column 70 ($BR) and no further.
void selectRow(grid::Sheet& sheet, int row, int columnCount)
{
    sheet.select(row, 1, row, columnCount >= 1 && columnCount <= 69 ? columnCount : 70);
}

// A thin frame around the selection with lines right of every cell and under the row.
void frameSelection(grid::Sheet& sheet)
{
    sheet.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
}

} // namespace

RecordDisplay::RecordDisplay(SuiteServices& suite, const SheetState& state, const ColumnFields& columns,
                             grid::Sheet& sheet)
    : m_suite(suite), m_state(state), m_columns(columns), m_sheet(sheet)
{}

void RecordDisplay::DisplayMRecord(const Recordset& records, int row, int columnCount)
{
    for (int c = 1; c <= columnCount; ++c) {
        if (m_sheet.isFormula(row, c))
            continue; // the template computes this cell
        const ColumnFacts& facts = m_columns.facts(c);
        if (!facts.shown())
            continue;
        const QVariant value = records.value(facts.field);
        const bool null = value.isNull();
        const QString text = null ? QString() : records.text(facts.field);
        const QString& type = facts.type;
        if (type == QLatin1String("S")) {
            if (null) {
                m_sheet.setPlainText(row, c, QString());
                continue;
            }
            bool known = true;
            const QString shown = codeName(records, facts.caption, facts.codeKind, text, known);
            if (known)
                m_sheet.setPlainText(row, c, shown);
        } else if (type == QLatin1String("I")) {
            m_sheet.setText(row, c, null ? QStringLiteral("0") : text);
            applyZeroRule(row, c);
        } else if (type == QLatin1String("D")) {
            m_sheet.setText(row, c, text::format(null ? QStringLiteral("0") : text, pictureOf(facts, DecimalFormat)));
            applyZeroRule(row, c);
        } else if (type == QLatin1String("T") || type == QLatin1String("Y")) {
            const QString picture = pictureOf(facts, type == QLatin1String("T") ? DateFormat : TimeFormat);
            m_sheet.setText(row, c, null ? QString() : text::format(text, picture));
        } else {
            m_sheet.setPlainText(row, c, text);
        }
    }

    selectRow(m_sheet, row, columnCount);
    if (!m_columns.colourField())
        return;
    const int colour = records.hasField(QStringLiteral("nColor"))
                           ? int(text::numericValue(records.text(QStringLiteral("nColor"))))
                           : 0;
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
        return m_suite.groupName(m_suite.categoryName(Department, records.text(QStringLiteral("DEPART"))), code);
    case 3:
        return m_suite.categoryName(caption, code);
    default:
        known = false;
        return {};
    }
}

void RecordDisplay::applyZeroRule(int row, int col)
{
    if (m_state.BlankZero && text::numericValue(m_sheet.text(row, col)) == 0)
        m_sheet.setPlainText(row, col, QString());
}

void RecordDisplay::DisplaySum(int firstRow, int sumRow, int columnCount)
{
    for (int c = 1; c <= columnCount; ++c) {
        const ColumnFacts& facts = m_columns.facts(c);
        if (m_sheet.isFormula(sumRow, c) || facts.field.isEmpty())
            continue;
        if (facts.type == QLatin1String("D")) {
            // The running total is kept as the text it shows, so every partial sum is rounded.
            QString total = QStringLiteral("0");
            for (int r = firstRow + 1; r <= sumRow - 1; ++r)
                total = text::formatNumber(text::numericValue(m_sheet.text(r, c)) + text::numericValue(total),
                                           SumFormat);
            m_sheet.setText(sumRow, c, text::format(total, pictureOf(facts, SumFormat)));
        } else if (facts.type == QLatin1String("I")) {
            double total = 0;
            for (int r = firstRow + 1; r <= sumRow - 1; ++r)
                total += text::numericValue(m_sheet.text(r, c));
            m_sheet.setText(sumRow, c, QString::number(total, 'g', 15));
        } else {
            m_sheet.setPlainText(sumRow, c, QString());
        }
    }
    m_sheet.setPlainText(sumRow, 1, SumLabel);
    m_sheet.setPlainText(sumRow, 2,
                         m_suite.reportOption() == QLatin1String("2") ? QString::number(sumRow - 5) : QString());
    selectRow(m_sheet, sumRow, columnCount);
    frameSelection(m_sheet);
    m_sheet.select(QStringLiteral("$C5"));
}

} // namespace talor
