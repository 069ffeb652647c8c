#pragma once

#include "grid/formula/Formula.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>

namespace talor::grid {

struct CellInput;
struct PreparedCell;

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

// The look of a cell: how a number is shown, the fill and the borders. Cells share formats
// through the sheet's format table (id 0 is the default: general numbers, no fill, no border).
struct CellFormat
{
    QString numberFormat = QStringLiteral("General"); // "General", "0.00", "yyyy-mm-dd", ...
    CellFill fill;
    CellBorder border;
    bool operator==(const CellFormat&) const = default;
};

// One sheet of the grid: cells holding text, numbers (dates are numbers shown with a date
// format) or formulas that compute, column and row heading texts, the used extent, frozen
// panes, the active cell and selection, fills and borders, and column widths.
//
// setText behaves like typing into a spreadsheet: a number or a date becomes a number or a
// date, a text beginning with "=" a formula, a text beginning with an apostrophe plain text
// (the apostrophe is not kept in the displayed text). text() returns the displayed text.
// Numbers keep the look they were typed with ("12.50" shows 12.50, "2024-3-5" shows
// 2024-03-05); numbers with leading zeros ("0012") and more than 15 digits stay texts, so that
// codes and identity numbers are never altered. CellInput.h has the exact rules.
// Rows 1..1,048,576 (as many as an .xlsx sheet carries), columns 1..256; a cell outside
// throws std::out_of_range. Writing content beyond the extent grows it (an empty text does
// not). setText costs no full recalculation: exactly the formula cells that depend on the
// cell are recomputed, and cellsChanged is emitted for the cell and each of them. Inside a
// batch (beginUpdate/endUpdate, or Sheet::Batch) the recalculation and the signals wait for
// the batch's end.
// Cells are stored per row and only where there is something (content or a format), so a
// cell far right costs what a cell on the left costs.
class Sheet : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 256;
    static constexpr int DefaultColumnWidth = 64; // pixels, as a spreadsheet's default column
    static constexpr int MaxColumnWidth = 10000;  // pixels; wider widths are cut to it

    explicit Sheet(QObject* parent = nullptr);
    ~Sheet() override;

    // --- Cells --------------------------------------------------------------------------
    QString text(int row, int col) const; // displayed text; empty for an empty cell
    void setText(int row, int col, const QString& text);
    QString formula(int row, int col) const; // "=..." canonical source; empty for constants/empty
    bool isFormula(int row, int col) const;  // formula() is not empty, without composing it
    bool isNumber(int row, int col) const;   // a number, date or numeric formula result
    double number(int row, int col) const;   // the numeric value (0 for non-numbers)
    bool isDate(int row, int col) const;     // a number shown as a date or time
    bool isEmpty(int row, int col) const;    // no content (a cell may be empty and formatted)
    bool isText(int row, int col) const;     // a text constant or a text formula result
    // The formula of (row, col) as the sheet keeps it (MovedFormula), for copying it without
    // printing and reading its text; nothing for a cell without a formula.
    std::optional<formula::MovedFormula> movedFormula(int row, int col) const;
    // A number constant (not a formula): its value and format id, in one look-up; false for
    // any other cell.
    bool numberConstant(int row, int col, double& value, int& formatId) const;
    void clearCell(int row, int col);
    // Stores without reading the text as typed: a plain text (never a number or formula) and
    // a number (shown with the cell's number format, or `numberFormat` when not empty).
    void setPlainText(int row, int col, const QString& text);
    // A value that is not finite (infinity, NaN) throws std::invalid_argument.
    void setNumber(int row, int col, double value, const QString& numberFormat = {});
    // Calls `visit` for every cell that has content or a format other than the default,
    // row by row, columns ascending; the second form only in rows row1..row2.
    void forEachCell(const std::function<void(int row, int col)>& visit) const;
    void forEachCell(int row1, int row2, const std::function<void(int row, int col)>& visit) const;
    // Calls `visit` for every formula cell in rows row1..row2, row by row, columns ascending.
    void forEachFormula(int row1, int row2, const std::function<void(int row, int col)>& visit) const;

    // --- Batches ------------------------------------------------------------------------
    // Between beginUpdate() and the matching endUpdate() (batches nest; only the outermost
    // end counts) changed cells are only marked: when the batch ends, the formula cells they
    // reach are recomputed once each in dependency order, then extentChanged (when the
    // extent changed), one formatsChanged for the area whose formats changed and one
    // cellsChanged for the area that changed are emitted. Within a
    // batch formula results may be stale. Wrap every fill of many cells (a load, a report
    // fill) in a batch: it then costs one pass over the formulas instead of one per cell.
    void beginUpdate();
    void endUpdate(); // throws std::logic_error without a matching beginUpdate()
    bool isUpdating() const;
    // Bounds the work of the recalculations that follow: one stops once its formulas have
    // read more than `cells` cells (0: no limit), and recalculationLimitReached() says so.
    void setRecalculationLimit(qint64 cells);
    bool recalculationLimitReached() const;
    // A batch for the lifetime of this object: `Sheet::Batch batch(sheet);`.
    class Batch
    {
    public:
        explicit Batch(Sheet& sheet) : m_sheet(sheet) { m_sheet.beginUpdate(); }
        ~Batch() { m_sheet.endUpdate(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Sheet& m_sheet;
    };

    // --- Headings -----------------------------------------------------------------------
    QString columnHeading(int col) const; // the custom heading text; empty when none
    void setColumnHeading(int col, const QString& text);
    QString rowHeading(int row) const;
    void setRowHeading(int row, const QString& text);
    // The rows that have a custom heading, in row order.
    QList<int> rowsWithHeadings() const;
    bool showColumnHeadings() const;
    void setShowColumnHeadings(bool on);
    bool showRowHeadings() const;
    void setShowRowHeadings(bool on);

    // --- Extent and panes ---------------------------------------------------------------
    int lastRow() const;
    int lastColumn() const;
    void setLastRow(int row); // resizes the sheet; cells beyond it are dropped
    void setLastColumn(int col);
    int frozenRows() const;
    int frozenColumns() const;
    void setFrozenRows(int rows);
    void setFrozenColumns(int cols);
    int columnWidth(int col) const;          // in pixels at 96 dpi; a default when never set
    void setColumnWidth(int col, int width); // 0 restores the default (no hidden columns)

    // --- Active cell and selection ------------------------------------------------------
    int activeRow() const;
    int activeColumn() const;
    void setActiveCell(int row, int col); // also selects that one cell
    CellRange selection() const;
    // "$A$5:$BQ$5", "$C5", "A1", "B2:D4", "A:C", "3:5"; the active cell becomes the range's
    // top-left cell. Throws std::invalid_argument for a bad reference.
    void select(const QString& reference);
    void select(int row1, int col1, int row2, int col2);

    // --- Formats of the selection -------------------------------------------------------
    // Outline and inner lines as the spreadsheet control sets them: `outline` frames the
    // selection, `left`/`right`/`top`/`bottom` draw that side of every cell inside it.
    // Style 0 removes a side, a negative style leaves it as it is; an outline of 0 draws no
    // frame (the sides of the edge cells keep what left/right/top/bottom gave them). Whole
    // rows or columns ("A:A") are formatted up to the used extent. Shading is not kept.
    // Line styles above 13 and patterns above 18 (and formats holding them) throw
    // std::out_of_range; a negative pattern removes the fill.
    void setBorder(short outline, short left, short right, short top, short bottom, short shade,
                   quint32 outlineColour, quint32 leftColour, quint32 rightColour, quint32 topColour,
                   quint32 bottomColour);
    void setPattern(short pattern, quint32 foreground, quint32 background);
    CellBorder border(int row, int col) const;
    CellFill fill(int row, int col) const;
    QString numberFormat(int row, int col) const;
    // The format table: ids are stable while the sheet lives (not across files).
    int formatId(int row, int col) const;
    const CellFormat& formatById(int id) const;
    int formatCount() const;
    void setFormat(int row, int col, const CellFormat& format);
    // Names this sheet's format table: it changes when clear() starts a new one, and no other
    // sheet's table ever has the same name, so format ids kept from SheetBulkWriter::addFormat
    // stay valid while it is unchanged.
    quint64 formatTableId() const;

    // --- Columns ------------------------------------------------------------------------
    // Insert `count` empty columns before `col` / delete columns col..col+count-1, moving
    // cells, headings, widths and formats; formulas that refer across are adjusted.
    void insertColumns(int col, int count = 1);
    void deleteColumns(int col, int count = 1);

    // Empties the sheet: cells, formats, headings, widths, panes, extent and selection.
    void clear();

Q_SIGNALS:
    // Cells whose displayed text may have changed (formula results included).
    void cellsChanged(const talor::grid::CellRange& range);
    void formatsChanged(const talor::grid::CellRange& range);
    void headingsChanged();
    void extentChanged();
    void panesChanged();
    void selectionChanged();
    // Around changes that move or drop many cells at once (column insertion and deletion,
    // clear): views start afresh.
    void aboutToBeReset();
    void reset();

private:
    struct Data;
    std::unique_ptr<Data> d;

    // The writes of many cells at once, offered through SheetBulkWriter (SheetBulkWriter.h
    // says what each does).
    friend class SheetBulkWriter;
    void clearConstants(int row, int col1, int col2);
    void setInput(int row, int col, const CellInput& input);
    void setFormulaCopy(int row, int col, const formula::Formula& formula, int rows, int cols);
    void recalculateWrittenRows();
    int addFormat(const CellFormat& format);
    void setFormatId(int row, int col, int id);
    void setFormatIds(int row, int col1, std::span<const int> ids);
    void writeRow(int row, int col1, std::span<const PreparedCell> cells);

    // (row, col) holds a constant or nothing now: recomputes the formulas that read it.
    void constantChanged(int row, int col, bool wasFormula);
    // (row, col) was written: recomputes and signals now, or marks it when in a batch.
    void cellWritten(int row, int col, bool isFormula);
    // The formats of `range` changed: signals now, or at the end of the batch.
    void formatsWritten(const CellRange& range);
    // Grows or shrinks the used extent; shrinking drops what lies beyond it.
    void setExtent(int rows, int cols);
    // writeRow's two ways: cell by cell, and in one step onto a row that holds nothing yet.
    void writeRowCellByCell(int row, int col1, std::span<const PreparedCell> cells);
    void layOutEmptyRow(int row, int col1, std::span<const PreparedCell> cells);
};

} // namespace talor::grid
