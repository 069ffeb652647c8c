#pragma once

#include "grid/Sheet.h"
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
    void clear() { m_cells.clear(), m_formatIds.clear(), m_rows = 0, m_columns = 0; }
    bool isEmpty() const { return m_cells.empty(); }
    int rows() const { return m_rows; }

    // Writes the kept rows with their first row at `topRow`. Cells empty in the pattern are
    // emptied; a kept formula moves its relative references by the distance moved.
    void stamp(grid::Sheet& sheet, int topRow) const;

private:
    struct Cell
    {
        enum class Kind : quint8
        {
            Empty,
            Number,
            Text,
            Formula
        };
        int row = 0; // 0-based within the pattern
        int col = 1;
        Kind kind = Kind::Empty;
        double number = 0;
        QString text; // the text of a text cell
        // Read once, copied to every row it is stamped on; a formula that is the one above
        // it copied down is that one's, read in the sheet's row `formulaRow`.
        grid::formula::Formula formula;
        int formulaRow = 0;
        grid::CellFormat format;
    };
    std::vector<Cell> m_cells;
    // The cells' format ids in the table of the sheet last stamped on: a report stamps the
    // same pattern thousands of times, and a format is hashed once per table, not per cell.
    mutable std::vector<int> m_formatIds;
    mutable quint64 m_formatTable = 0;
    int m_rows = 0;
    int m_columns = 0; // every kept row holds columns 1..m_columns, in order
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
