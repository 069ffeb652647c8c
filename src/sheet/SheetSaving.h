#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace talor {

class ColumnFields;
class Recordset;
class SuiteServices;
namespace grid {
class Sheet;
}

// One field write of a record; a null QVariant writes null.
struct FieldWrite
{
    QString field;
    QVariant value;
};

// The writes of one record (the record at `position` of the recordset, shown on grid `row`).
struct RecordWrites
{
    int position = 0;
    int row = 0;
    std::vector<FieldWrite> writes;
};

// The texts of the grid when editing began, to tell the cells the operator changed from the
// ones that only show the record (a rounded decimal or a time without seconds would lose
// digits if written back).
class SheetSnapshot
{
public:
    void take(const grid::Sheet& sheet);
    void clear();
    bool isEmpty() const { return m_cells.empty(); }
    // Whether (row, col) holds the text it held when the snapshot was taken.
    bool unchanged(const grid::Sheet& sheet, int row, int col) const;

private:
    // A number cell is compared by its number and format first (the same pair shows the same
    // text), which spares formatting every cell of a large sheet again at each save.
    struct Cell
    {
        QString text;
        double number = 0;
        int format = 0;
        bool isNumber = false;
    };
    std::vector<Cell> m_cells; // row by row
    int m_rows = 0;
    int m_columns = 0;
};

// A cell whose text cannot be saved (a name with no code, a date that is none): where it is and why.
struct SaveCheckError
{
    int row = 0;
    int column = 0;
    QString message;
};

// How a save ended: the records written, and when it stopped early, at which grid row and why.
struct SaveOutcome
{
    int saved = 0;
    bool complete = true;
    int row = 0;     // the grid row of the record it stopped at
    int column = 0;  // the column of a cell that could not be saved, 0 when no single cell
    QString message; // the operator's message
};

// SaveSheet and SaveRecord: the grid written back into the records it shows, record after
// record in recordset order (record k on grid row k, or k + 4 in the cell layout). First every
// record's writes are planned from its row (types, code names back to codes, day numbers),
// then checked (a code name the dictionary does not know stops the save before anything is
// written), then applied in one transaction, each record by the recordset's optimistic Update.
// One save is one transaction: a record another operator saved after it was read, or one the
// database refuses, takes the whole save back; the message names the person and day and says
// that nothing was saved, and the records stay as read, so that the operator can save again
// once the cell is fixed. A connection lost during the save takes all of it back too, and the
// message names the server.
class SheetSaving
{
public:
    SheetSaving(SuiteServices& suite, const ColumnFields& columns, const grid::Sheet& sheet,
                Recordset& records);

    // The write that SaveRecord makes for cell (row, column) into field entry `fieldIndex` of
    // ColumnField of the current record; nothing when nothing is written. Throws SaveCheckError
    // for a code name that the dictionary does not know, and for a number, date or time cell
    // whose text it cannot read.
    std::optional<FieldWrite> SaveRecord(int fieldIndex, int row, int column);

    // The writes of every record; cells unchanged since `before` (when given) write nothing.
    // The operator's name goes to CZYXM when the dictionary knows that field.
    std::vector<RecordWrites> plan(const SheetSnapshot* before = nullptr);
    // Plans, checks and applies; the recordset ends on its first record.
    SaveOutcome SaveSheet(const SheetSnapshot* before = nullptr);
    SaveOutcome apply(const std::vector<RecordWrites>& plan);

    // The "T" and "Y" values of a text: a date (time), a spreadsheet day number (fraction);
    // nothing for any other text. Validation passes a date or time cell by the same reading.
    static std::optional<QVariant> dateValue(const QString& text);
    static std::optional<QVariant> timeValue(const QString& text);

    // Ends the message of a refused record.
    static inline const QString RefusedRecord =
        QStringLiteral("。本次保存已全部撤销，没有记录被保存；修改仍在表格中，改正后可重新保存");
    // Ends the message of a record another operator saved since the read: saving again cannot
    // succeed until the report is shown again with his values.
    static inline const QString ConflictedRecord =
        QStringLiteral("。本次保存已全部撤销，没有记录被保存；请记下修改，重新显示报表后再录入保存");

private:
    struct Column
    {
        QString field, caption, type;
        int codeKind = 0;
        bool shown = false; // not a hidden field
        bool saved = false;
    };
    // The record a save stopped at (-1: none) and why.
    struct Failure
    {
        int index = -1;
        QString message;
        bool lost = false;       // the connection went away: the server rolled the transaction back
        bool conflicted = false; // another operator saved the record since the read
    };
    // The codes a group or team name is looked up under.
    struct Owner
    {
        QString department, group;
    };
    void lookUpColumns();
    void planOwner(int row, const SheetSnapshot* before);
    QString codeOf(const Column& column, const QString& name);
    // The error for cell (row, column), naming its row, label and text, and `why`.
    SaveCheckError refused(int row, int column, const QString& why) const;
    Failure applyAll(const std::vector<RecordWrites>& plan);
    QString recordName() const;

    SuiteServices& m_suite;
    const ColumnFields& m_columns;
    const grid::Sheet& m_sheet;
    Recordset& m_records;
    std::vector<Column> m_facts; // index = column
    QHash<QString, QString> m_codes;
    std::optional<Owner> m_plannedOwner; // while planning: the current record's after the save
};

} // namespace talor
