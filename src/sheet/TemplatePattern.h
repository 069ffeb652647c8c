#pragma once

#include "grid/SheetBulkWriter.h"
#include "grid/formula/Formula.h"

#include <QString>
#include <vector>

namespace talor {

// Rows of a report template kept before the layout cuts the sheet down to its header: the
// first data row of a list report, or a whole 36-row person block of the period report.
// Stamping them onto other rows gives every data row or block the template's look: number
// formats, fills and frames, constants, and formulas copied relative to the new rows.
class TemplatePattern
{
public:
    // Keeps rows row1..row2 of columns 1..columns of `sheet` (nothing when columns < 1).
    void capture(const grid::Sheet& sheet, int row1, int row2, int columns);
    void clear() { m_cells.clear(), m_formats.clear(), m_formatTable = 0, m_rows = 0, m_columns = 0; }
    bool isEmpty() const { return m_cells.empty(); }
    int rows() const { return m_rows; }

    // Writes the kept rows with their first row at `topRow`. Cells empty in the pattern are
    // emptied; a kept formula moves its relative references by the distance moved.
    void stamp(grid::Sheet& sheet, int topRow) const;

private:
    // The kept cells row by row, each row's columns 1..m_columns in order. A formula that is
    // the one above it copied down is that one's reading, kept with the row it was read in, so
    // that the sheet keeps one formula for the whole column. The format ids belong to the
    // table of the sheet last stamped on: a report stamps the same pattern thousands of times,
    // and a format is hashed once per table, not per cell.
    mutable std::vector<grid::PreparedCell> m_cells;
    std::vector<grid::CellFormat> m_formats; // of each kept cell
    mutable quint64 m_formatTable = 0;
    int m_rows = 0;
    int m_columns = 0;
};

} // namespace talor

namespace talor {

// The patterns the layout keeps from a template: the first data row of a list report (kinds 1
// and 2) and the 36-row person block of the period report (kind 3).
struct ReportPatterns
{
    TemplatePattern dataRow;
    TemplatePattern block;
};

} // namespace talor
