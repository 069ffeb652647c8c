#include "print/PrintGrid.h"

namespace talor::print {

SheetPrintGrid::SheetPrintGrid(const grid::Sheet& sheet, QStringList topRow)
    : m_sheet(sheet), m_topRow(std::move(topRow)), m_offset(m_topRow.isEmpty() ? 0 : 1)
{}

int SheetPrintGrid::lastRow() const
{
    return m_sheet.lastRow() + m_offset;
}

int SheetPrintGrid::lastColumn() const
{
    return std::max(m_sheet.lastColumn(), int(m_topRow.size()));
}

QString SheetPrintGrid::text(int row, int col) const
{
    if (row <= m_offset)
        return m_topRow.value(col - 1);
    const int sheetRow = row - m_offset;
    if (sheetRow > grid::Sheet::MaxRows || col > grid::Sheet::MaxColumns)
        return {};
    return m_sheet.text(sheetRow, col);
}

CellLook SheetPrintGrid::look(int row, int col) const
{
    CellLook look;
    if (row <= m_offset) {
        look.bold = true;
        return look;
    }
    const int sheetRow = row - m_offset;
    if (sheetRow > grid::Sheet::MaxRows || col > grid::Sheet::MaxColumns)
        return look;
    const grid::CellFormat& format = m_sheet.formatById(m_sheet.formatId(sheetRow, col));
    look.fill = format.fill;
    look.border = format.border;
    look.alignRight = m_sheet.isNumber(sheetRow, col);
    return look;
}

double SheetPrintGrid::columnWidth(int col) const
{
    // The grid measures pixels at 96 dpi.
    return col <= grid::Sheet::MaxColumns ? m_sheet.columnWidth(col) * 0.75
                                          : grid::Sheet::DefaultColumnWidth * 0.75;
}

double SheetPrintGrid::rowHeight(int) const
{
    return DefaultRowHeight;
}

} // namespace talor::print
