#pragma once

#include <QString>
#include <QtGlobal>

namespace talor {

class ColumnFields;
class Recordset;
class SuiteServices;
namespace grid {
class Sheet;
}

// The main window's state that the display and the clicks read: the blank-for-zero option,
// the three abnormal colours (read at activation) and the report title (set by the layout).
struct SheetState
{
    static constexpr quint32 DefaultAbnormalColour = 11177215; // 0xAA8CFF
    static constexpr quint32 White = 16777215;

    bool BlankZero = false;
    quint32 AbnormalColour1 = DefaultAbnormalColour;
    quint32 AbnormalColour2 = DefaultAbnormalColour;
    quint32 AbnormalColour3 = DefaultAbnormalColour;
    QString ReportTitle;
};

// DisplayMRecord and DisplaySum: the current record of a recordset written into one grid row
// by the fields of ColumnField, and the sum row under the data rows. The per-column facts come
// from ColumnFields (looked up at the layout); the code lookups from the suite.
class RecordDisplay
{
public:
    RecordDisplay(SuiteServices& suite, const SheetState& state, const ColumnFields& columns,
                  grid::Sheet& sheet);

    // Writes columns 1..columnCount of row `row` from the current record: formula cells and
    // columns without a shown field are left alone; values by type, codes as names, the zero
    // rule; then the row is coloured by nColor and framed when the dictionary knows "nCOLOR".
    void DisplayMRecord(const Recordset& records, int row, int columnCount);
    // Sums the rows strictly between firstRow and sumRow into sumRow ("D" rounded to two
    // decimals after every row, "I" whole), "合计：" in column 1, for report kind "2" the row
    // count sumRow - 5 in column 2; frames the row and moves the selection to C5.
    void DisplaySum(int firstRow, int sumRow, int columnCount);

    // The default display formats.
    static inline const QString DecimalFormat = QStringLiteral("#0.00");
    static inline const QString SumFormat = QStringLiteral("##0.00");
    static inline const QString DateFormat = QStringLiteral("yyyy-mm-dd");
    static inline const QString TimeFormat = QStringLiteral("hh:nn:ss");
    static inline const QString SumLabel = QStringLiteral("合计：");

private:
    // The name of an "S" field's code by its code kind; `known` false for an unknown kind.
    QString codeName(const Recordset& records, const QString& caption, int codeKind, const QString& code,
                     bool& known);
    void applyZeroRule(int row, int col);
    void frameRow(int row, int columnCount);

    SuiteServices& m_suite;
    const SheetState& m_state;
    const ColumnFields& m_columns;
    grid::Sheet& m_sheet;
};

} // namespace talor
