#include "sheet/TemplatePattern.h"

namespace talor {

void TemplatePattern::capture(const grid::Sheet& sheet, int row1, int row2, int columns)
{
    clear();
    m_formatTable = 0;
    if (columns < 1 || row2 < row1)
        return;
    m_rows = row2 - row1 + 1;
    m_columns = columns;
    for (int r = row1; r <= row2; ++r)
        for (int c = 1; c <= columns; ++c) {
            Cell cell;
            cell.row = r - row1;
            cell.col = c;
            cell.format = sheet.formatById(sheet.formatId(r, c));
            const QString formula = sheet.formula(r, c);
            if (!formula.isEmpty()) {
                cell.kind = Cell::Kind::Formula;
                cell.formula = grid::formula::Formula::parse(formula);
                cell.formulaRow = r;
                // A formula copied down the pattern shares the reading of the one above, so
                // that the sheet keeps one formula for the whole column.
                if (r > row1) {
                    const Cell& above = m_cells[m_cells.size() - size_t(columns)];
                    if (above.kind == Cell::Kind::Formula &&
                        above.formula.copied(r - above.formulaRow, 0) == cell.formula.text()) {
                        cell.formula = above.formula;
                        cell.formulaRow = above.formulaRow;
                    }
                }
            } else if (sheet.isEmpty(r, c)) {
                cell.kind = Cell::Kind::Empty;
            } else if (sheet.isNumber(r, c)) {
                cell.kind = Cell::Kind::Number;
                cell.number = sheet.number(r, c);
            } else {
                cell.kind = Cell::Kind::Text;
                cell.text = sheet.text(r, c);
            }
            m_cells.push_back(std::move(cell));
        }
}

void TemplatePattern::stamp(grid::Sheet& sheet, int topRow) const
{
    if (m_formatTable != sheet.formatTableId() || m_formatIds.size() != m_cells.size()) {
        m_formatIds.clear();
        for (const Cell& cell : m_cells)
            m_formatIds.push_back(sheet.addFormat(cell.format));
        m_formatTable = sheet.formatTableId();
    }
    // Row by row: the row's formats in one pass, left to right, which lays a new row's cells
    // out in column order, then the contents (which keep a cell's format).
    for (size_t first = 0; first < m_cells.size(); first += size_t(m_columns)) {
        const int row = topRow + m_cells[first].row;
        sheet.setFormatIds(row, 1, m_formatIds.data() + first, m_columns);
        for (size_t i = first; i < first + size_t(m_columns); ++i) {
            const Cell& cell = m_cells[i];
            switch (cell.kind) {
            case Cell::Kind::Formula:
                sheet.setFormulaCopy(row, cell.col, cell.formula, row - cell.formulaRow, 0);
                break;
            case Cell::Kind::Number:
                sheet.setNumber(row, cell.col, cell.number);
                break;
            case Cell::Kind::Text:
                sheet.setPlainText(row, cell.col, cell.text);
                break;
            case Cell::Kind::Empty:
                sheet.clearCell(row, cell.col);
                break;
            }
        }
    }
}

} // namespace talor
