#pragma once

#include "containers/KeptByValue.h"
#include "grid/CellInput.h"
#include "modulesettings/SettingRules.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <string>
#include <vector>

namespace talor {

struct ColumnFacts;
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
    static constexpr quint32 DefaultAbnormalColour = talor::DefaultAbnormalColour; // 0xAA8CFF
    static constexpr quint32 White = talor::WhiteColour;

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
    // What a record's value makes of a cell: nothing, a plain text, or a typed entry.
    struct Written
    {
        enum class How : quint8
        {
            Nothing,
            Plain,
            Typed
        };
        How how = How::Nothing;
        QString plain;
        grid::CellInput typed;
    };
    // A column as the display writes it, worked out once for the records read (by their read
    // id) and kept with what each distinct value made of a cell: a report shows the same hours,
    // times and codes on thousands of rows, and formats, types and names each only once.
    struct Column
    {
        enum class Way : quint8
        {
            Skip,    // formula cells aside, the column shows no field
            Missing, // the records lack the field: reading it throws, as the name lookup does
            Plain,   // the text as it is (untyped fields, codes shown as they are)
            Worked   // typed or named: what it shows is worked out and kept per distinct value
        };
        Way way = Way::Skip;
        int field = -1; // the field's number in the records
        // The fields whose values decide the cell (the field, and the department and group a
        // team or group code is named within); empty when the cell is worked out every time.
        std::vector<int> decidedBy;
        // A time column shown as "hh:nn" or "hh:nn:ss": the seconds its times are cut to (60
        // or 1; 0 for any other column) and the cell such a time makes, whose number is set
        // per row. A time's cell follows from its seconds, without formatting and reading it.
        int clockStep = 0;
        grid::CellInput clock;
        bool zeroRule = false; // "I" and "D": blank for zero when the option is set
        int lookups = 0, misses = 0;
        KeptByValue<Written> kept;
    };
    void prepare(const Recordset& records, int columnCount);
    Written workOut(const Recordset& records, const ColumnFacts& facts, int field);
    const Written& written(const Recordset& records, Column& column, const ColumnFacts& facts);
    int rowColour(const Recordset& records);
    // The number a cell of the data rows shows, as the sum reads it from its text.
    double shownValue(int row, int col);

    // The name of an "S" field's code by its code kind; `known` false for an unknown kind.
    QString codeName(const Recordset& records, const QString& caption, int codeKind, const QString& code,
                     bool& known);
    void applyZeroRule(int row, int col);

    SuiteServices& m_suite;
    const SheetState& m_state;
    const ColumnFields& m_columns;
    grid::Sheet& m_sheet;
    quint64 m_preparedFor = 0;
    QStringList m_preparedFields; // the fields of the records prepared for
    int m_preparedColumns = -1;
    std::vector<Column> m_plan; // columns 1..columnCount
    int m_colourField = -1;     // nColor's number in the records, -1 when they lack it
    KeptByValue<int> m_colours;
    std::string m_key;
    Written m_fresh; // a cell worked out without keeping it
    // The numbers shown number constants read as, by their value and format.
    struct ShownValue
    {
        quint64 bits = 0; // the value's
        int format = 0;
        bool known = false;
        double shown = 0;
    };
    std::array<ShownValue, 256> m_shownValues{};
    quint64 m_shownTable = 0; // the format table those formats belong to
};

} // namespace talor
