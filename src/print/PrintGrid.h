#pragma once

#include "grid/Sheet.h"

#include <QString>
#include <QStringList>

namespace talor::print {

// How one cell looks on paper.
struct CellLook
{
    grid::CellFill fill;
    grid::CellBorder border;
    bool bold = false;
    bool alignRight = false; // numbers and dates, as a spreadsheet aligns them
};

// What the print engine prints: texts as the grid shows them, looks and sizes (points) of a
// grid of cells counted from 1.
class PrintGrid
{
public:
    virtual ~PrintGrid() = default;
    virtual int lastRow() const = 0;
    virtual int lastColumn() const = 0;
    virtual QString text(int row, int col) const = 0;
    virtual CellLook look(int row, int col) const = 0;
    virtual double columnWidth(int col) const = 0;
    virtual double rowHeight(int row) const = 0;
};

// A grid Sheet as printed: the sheet's displayed texts (through its one number and date
// formatter), fills and borders, column widths. A non-empty `topRow` is printed as a bold
// first row above the sheet's rows, which move down by one (a report's column captions).
class SheetPrintGrid : public PrintGrid
{
public:
    static constexpr double DefaultRowHeight = 15; // points, a spreadsheet's default row

    explicit SheetPrintGrid(const grid::Sheet& sheet, QStringList topRow = {});

    int lastRow() const override;
    int lastColumn() const override;
    QString text(int row, int col) const override;
    CellLook look(int row, int col) const override;
    double columnWidth(int col) const override;
    double rowHeight(int row) const override;

private:
    const grid::Sheet& m_sheet;
    QStringList m_topRow;
    int m_offset; // rows the sheet moves down
};

} // namespace talor::print
