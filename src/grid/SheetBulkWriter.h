#pragma once

#include "grid/Sheet.h"

namespace talor::grid {

// One cell of a row prepared once and written onto many rows (a template's rows): its format
// id in the sheet's table (SheetBulkWriter::addFormat) and its content.
struct PreparedCell
{
    enum class Kind : quint8
    {
        Empty,
        Number,
        Text, // an empty text is no content
        Formula
    };
    Kind kind = Kind::Empty;
    int formatId = 0;
    double number = 0;
    QString text;
    // A formula as read in row `formulaRow` of the column it is written to, copied down to the
    // row written (never sideways: a prepared row is written at the columns it was read from).
    formula::Formula formula;
    int formulaRow = 0;
};

// Writing many cells at once, for the fills that stamp template rows and type the same values
// into thousands of cells (a report, a period block). A sheet's everyday interface is setText,
// setNumber, setPlainText and setFormat; these write what those would, without the work a fill
// would repeat for every cell. Use them inside a batch (Sheet::Batch).
class SheetBulkWriter
{
public:
    explicit SheetBulkWriter(Sheet& sheet) : m_sheet(sheet) {}

    // Writes what parseInput (CellInput.h) made of a typed text, exactly as setText(text)
    // does: for callers that type the same texts into many cells and read each only once.
    void setInput(int row, int col, const CellInput& input) { m_sheet.setInput(row, col, input); }
    // Writes what setText(formula.copied(rows, cols)) writes, without printing the formula
    // and reading it back: for copying a template's formula to many rows.
    void setFormulaCopy(int row, int col, const formula::Formula& formula, int rows, int cols)
    {
        m_sheet.setFormulaCopy(row, col, formula, rows, cols);
    }
    // Clears the number and text constants of columns col1..col2 of `row`, leaving formulas
    // and formats: clearCell on each such cell, reading each cell once.
    void clearConstants(int row, int col1, int col2) { m_sheet.clearConstants(row, col1, col2); }

    // For stamping one format on many cells: addFormat takes the format into the table once
    // (checked as setFormat checks it) and returns its id (valid while the sheet's
    // formatTableId() is unchanged); setFormatId gives a cell that id without hashing the
    // format again. An id that is not in the table throws std::out_of_range.
    int addFormat(const CellFormat& format) { return m_sheet.addFormat(format); }
    void setFormatId(int row, int col, int id) { m_sheet.setFormatId(row, col, id); }
    // setFormatId(row, col1 + i, ids[i]) for each id, reading the row once; for a template row
    // stamped before it is written (its cells are then stored in column order).
    void setFormatIds(int row, int col1, std::span<const int> ids) { m_sheet.setFormatIds(row, col1, ids); }
    // Writes each cells[i] into (row, col1 + i) as setFormatIds and then, cell
    // by cell, setFormulaCopy, setNumber, setPlainText or clearCell write them. A row that holds
    // nothing yet, written inside a batch, is laid out in one step.
    void writeRow(int row, int col1, std::span<const PreparedCell> cells)
    {
        m_sheet.writeRow(row, col1, cells);
    }

    // For a fill that writes whole rows block after block: recomputes now, inside a batch
    // too, the formula cells in the rows written since the last recalculation and what reads
    // those rows; the batch's end then has only later changes left. Called after every few
    // blocks, while their cells are still in the cache, each block costs its own formulas
    // instead of one pass over all at the end.
    void recalculateWrittenRows() { m_sheet.recalculateWrittenRows(); }

private:
    Sheet& m_sheet;
};

} // namespace talor::grid
