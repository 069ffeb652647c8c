#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <stdexcept>

namespace talor::grid {

// A file that cannot be read or written; the message names the file and the problem.
class GridFileError : public std::runtime_error
{
public:
    explicit GridFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// A rectangle of cells, 1-based and inclusive.
struct CellRange
{
    int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
    bool contains(int row, int col) const { return row >= row1 && row <= row2 && col >= col1 && col <= col2; }
    bool operator==(const CellRange&) const = default;
};

// Border line styles (0 none, 1 thin, ...) and colours (0x00BBGGRR) of one cell's sides.
struct CellBorder
{
    short left = 0, right = 0, top = 0, bottom = 0;
    quint32 leftColour = 0, rightColour = 0, topColour = 0, bottomColour = 0;
    bool operator==(const CellBorder&) const = default;
};

// Fill of one cell: pattern 0 none, 1 solid; colours 0x00BBGGRR.
struct CellFill
{
    short pattern = 0;
    quint32 foreground = 0xFFFFFF;
    quint32 background = 0xFFFFFF;
    bool operator==(const CellFill&) const = default;
};

// One sheet of the grid: cells holding text, numbers (dates are numbers shown with a date
// format) or formulas that compute, column and row heading texts, the used extent, frozen
// panes, the active cell and selection, fills and borders, and column widths.
//
// setText behaves like typing into a spreadsheet: a number or a date becomes a number or a
// date, a text beginning with "=" a formula, a text beginning with an apostrophe plain text
// (the apostrophe is not kept in the displayed text). text() returns the displayed text.
// At least 65,536 rows and 256 columns.
class Sheet : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    explicit Sheet(QObject* parent = nullptr);
    ~Sheet() override;

    // --- Cells --------------------------------------------------------------------------
    QString text(int row, int col) const;    // displayed text; empty for an empty cell
    void setText(int row, int col, const QString& text);
    QString formula(int row, int col) const; // "=..." source; empty for constants/empty
    bool isNumber(int row, int col) const;   // a number, date or numeric formula result
    double number(int row, int col) const;   // the numeric value (0 for non-numbers)
    bool isDate(int row, int col) const;     // a number shown as a date or time
    bool isEmpty(int row, int col) const;
    void clearCell(int row, int col);

    // --- Headings -----------------------------------------------------------------------
    QString columnHeading(int col) const; // the custom heading text; empty when none
    void setColumnHeading(int col, const QString& text);
    QString rowHeading(int row) const;
    void setRowHeading(int row, const QString& text);
    bool showColumnHeadings() const;
    void setShowColumnHeadings(bool on);
    bool showRowHeadings() const;
    void setShowRowHeadings(bool on);

    // --- Extent and panes ---------------------------------------------------------------
    int lastRow() const;
    int lastColumn() const;
    void setLastRow(int row);    // resizes the sheet; cells beyond it are dropped
    void setLastColumn(int col);
    int frozenRows() const;
    int frozenColumns() const;
    void setFrozenRows(int rows);
    void setFrozenColumns(int cols);
    int columnWidth(int col) const; // in pixels at 96 dpi; a default when never set
    void setColumnWidth(int col, int width);

    // --- Active cell and selection ------------------------------------------------------
    int activeRow() const;
    int activeColumn() const;
    void setActiveCell(int row, int col);
    CellRange selection() const;
    // "$A$5:$BQ$5", "$C5", "A1", "B2:D4"; throws std::invalid_argument for a bad reference.
    void select(const QString& reference);
    void select(int row1, int col1, int row2, int col2);

    // --- Formats of the selection -------------------------------------------------------
    // Outline and inner lines as the spreadsheet control sets them: `outline` frames the
    // selection, `left`/`right`/`top`/`bottom` draw that side of every cell inside it.
    void setBorder(short outline, short left, short right, short top, short bottom, short shade,
                   quint32 outlineColour, quint32 leftColour, quint32 rightColour, quint32 topColour,
                   quint32 bottomColour);
    void setPattern(short pattern, quint32 foreground, quint32 background);
    CellBorder border(int row, int col) const;
    CellFill fill(int row, int col) const;

    // --- Columns ------------------------------------------------------------------------
    // Insert `count` empty columns before `col` / delete columns col..col+count-1, moving
    // cells, headings, widths and formats; formulas that refer across are adjusted.
    void insertColumns(int col, int count = 1);
    void deleteColumns(int col, int count = 1);

Q_SIGNALS:
    // Cells whose displayed text may have changed (formula results included).
    void cellsChanged(const talor::grid::CellRange& range);
    void formatsChanged(const talor::grid::CellRange& range);
    void headingsChanged();
    void extentChanged();
    void panesChanged();
    void selectionChanged();

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace talor::grid
