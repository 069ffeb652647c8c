#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace talor {

class SuiteServices;
namespace grid {
class Workbook;
}

// Where the field picker writes the chosen label (MODEL8 / "OPTION").
enum class PickTarget
{
    Cell = 1,          // Option1 "更新单元": the active cell
    ColumnHeading = 2, // Option2 "更新列头": the active column's heading
    RowHeading = 3     // Option3 "更新行头": the active row's heading
};

// One report column as the layout will read it from the template being designed: its label
// and the field name that the suite's field lookup gives for it (empty: the label is no
// field caption, and the column will show nothing).
struct DesignedColumn
{
    int column = 0;
    QString label;
    QString field;
};

// The file dialog of the designer's open and save commands.
struct TemplateFileDialog
{
    QString filter;     // "VTS FILE(*.VTS)|*.VTS"
    QString directory;  // the template directory + "/"
    QString presetName; // the default template when it exists, else empty
};

// The template designer frmMODEL without its window: the template of the current report
// (ReportKey) and kind (ReportOption) in a workbook, the last cell clicked, the six commands
// and the field picker's writing. The template's frozen columns and rows are taken off while
// designing and put back before saving, so the file keeps them. A command that is refused
// returns the message to show; errors (a template that cannot be read or written) throw
// grid::GridFileError and leave the workbook as it was.
class TemplateDesigner
{
public:
    static inline const QString Filter = QStringLiteral("VTS FILE(*.VTS)|*.VTS");

    TemplateDesigner(SuiteServices& suite, grid::Workbook& book);

    // Load: the grid starts from a blank template of the kind (its label over column 1, the
    // "ok" column after the two reserved ones), then takes the default template of the current
    // report and kind when it exists, and is prepared for designing. A default template that
    // cannot be read leaves the blank one; the result is the error to show, empty when none.
    QString load();
    // "模板设计：[" + ReportKey + "]".
    QString caption() const;
    // The default template of the current report and kind (ReportLayout's path).
    QString defaultTemplate() const;

    // A click on (row, col); only a cell (both non-zero) is remembered.
    void cellClick(int row, int col);
    int designRow() const { return m_designRow; }
    int designColumn() const { return m_designColumn; }
    QString designFile() const { return m_designFile; }
    int savedFrozenColumns() const { return m_savedColumns; }
    int savedFrozenRows() const { return m_savedRows; }

    // A double-click while editing is off opens the picker unless MODEL8 / ReportKey + "FLD"
    // is "NO".
    bool pickerAllowed() const;
    bool editing() const;

    TemplateFileDialog fileDialog() const;
    // MN01 after the dialog: a non-empty path is read into the grid, which is then prepared
    // for designing; DesignFile := `path`. A file that is not a valid template throws and
    // changes nothing. Whether a file was read.
    bool open(const QString& path);
    // MN02 / MN03: insert an empty column before / remove the column of the last cell
    // clicked; the refusal message, or empty when done.
    QString insertColumn();
    QString removeColumn();
    // MN04: editing on (in-cell editing and headings).
    void startEditing();
    // MN05 before its dialog: the frozen counts put back, the headings shown.
    void prepareSave();
    // MN05 after its dialog: writes the template to templateFile(`path`) when it is not
    // blank, then switches editing off. Whether a file was written.
    bool save(const QString& path);
    // The file a template saved under the chosen `path` goes to: trimmed, its suffix ".vts"
    // in lower case as the reports look it up (a ".VTS" is made lower case, any other name
    // gets ".vts" added); empty when `path` is blank.
    static QString templateFile(const QString& path);
    // Whether templateFile(`path`) is a file the designer has read or written (the report's
    // own template read on load, a file opened since) and it has changed since (another
    // operator saved their design there): saving would replace that design.
    bool changedSinceRead(const QString& path) const;
    // Whether saving under the chosen `path` would replace a file the file dialog did not ask
    // about: the suffix made ".vts" names another file, which exists and is not the one the
    // designer last read or wrote.
    bool replacesUnasked(const QString& path) const;

    // The picker's double-click with label `label` (empty removes a label).
    void pick(const QString& label, PickTarget target);

    // The report columns the layout will read, up to the "ok" column (at most 100; only the
    // sheet's used columns when there is no "ok" column), for the layout kind of column 1's
    // heading. Columns 1 and 2 carry the labels the layout writes there for kinds 1 and 2.
    QList<DesignedColumn> designedColumns() const;

private:
    void prepareGrid();
    void setEditing(bool on);
    int kind() const;
    // Remembers the file at `path` as read or written now.
    void stamp(const QString& path);

    SuiteServices& m_suite;
    grid::Workbook& m_book;
    int m_designRow = 0;
    int m_designColumn = 0;
    QString m_designFile;
    QString m_stampedPath; // the file last read or written, as io::resolvedTarget names it
    // Each file read or written, as io::resolvedTarget names it, with its digest then (empty: there was
    // no file).
    QHash<QString, QByteArray> m_seenDigests;
    int m_savedColumns = 0;
    int m_savedRows = 0;
};

// The field picker frmFIELD without its window: the list (an empty first entry, then the
// suite's field labels), the title, the remembered target (MODEL8 / "OPTION") and the hidden
// switch that stops the designer's double-click from opening the picker for the report.
class FieldPicker
{
public:
    explicit FieldPicker(SuiteServices& suite);

    QStringList entries() const;
    // "指定项目[" + the field list's title + "]".
    QString caption() const;
    // "1", "2", "3" select their option; anything else the cell.
    PickTarget remembered() const;
    void remember(PickTarget target);
    // The double-click on Image1: when the suite's access comparison text is "Mave", writes
    // MODEL8 / ReportKey + "FLD" = "NO". True when it did.
    bool hideForReport();

private:
    SuiteServices& m_suite;
};

} // namespace talor
