#include "sheet/TemplatePattern.h"

namespace talor {

void TemplatePattern::capture(const grid::Sheet& sheet, int row1, int row2, int columns)
{
    clear();
    if (columns < 1 || row2 < row1)
        return;
    m_rows = row2 - row1 + 1;
    m_columns = columns;
    using Kind = grid::PreparedCell::Kind;
    for (int r = row1; r <= row2; ++r)
        for (int c = 1; c <= columns; ++c) {
            grid::PreparedCell cell;
            m_formats.push_back(sheet.formatById(sheet.formatId(r, c)));
            const QString formula = sheet.formula(r, c);
            if (!formula.isEmpty()) {
                cell.kind = Kind::Formula;
                cell.formula = grid::formula::Formula::parse(formula);
                cell.formulaRow = r;
                if (r > row1) {
                    const grid::PreparedCell& above = m_cells[m_cells.size() - size_t(columns)];
                    if (above.kind == Kind::Formula &&
                        above.formula.copied(r - above.formulaRow, 0) == cell.formula.text()) {
                        cell.formula = above.formula;
                        cell.formulaRow = above.formulaRow;
                    }
                }
            } else if (sheet.isEmpty(r, c)) {
                cell.kind = Kind::Empty;
            } else if (sheet.isNumber(r, c)) {
                cell.kind = Kind::Number;
                cell.number = sheet.number(r, c);
            } else {
                cell.kind = Kind::Text;
                cell.text = sheet.text(r, c);
            }
            m_cells.push_back(std::move(cell));
        }
}

void TemplatePattern::stamp(grid::Sheet& sheet, int topRow) const
{
    grid::SheetBulkWriter writer(sheet);
    if (m_formatTable != sheet.formatTableId()) {
        for (size_t i = 0; i < m_cells.size(); ++i)
            m_cells[i].formatId = writer.addFormat(m_formats[i]);
        m_formatTable = sheet.formatTableId();
    }
    // Row by row, each in one call: the sheet lays a row that holds nothing yet out at once.
    // The kept formulas move their relative references by the distance moved.
    for (int r = 0; r < m_rows; ++r)
        writer.writeRow(topRow + r, 1,
                        std::span(m_cells).subspan(size_t(r) * size_t(m_columns), size_t(m_columns)));
}

} // namespace talor
