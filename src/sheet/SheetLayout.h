#pragma once

namespace talor {
namespace grid {
class Sheet;
}

// The two layouts of a report sheet, told apart by column 1's heading text: the heading
// layout (a heading over column 1, data from row 1) and the cell layout (no heading: rows 1
// to 4 are the printed header with the labels in row 4, data from row 5). Every step that
// fills, checks, saves or prints the grid decides the layout afresh.
enum class SheetLayout
{
    Heading,
    Cell
};

SheetLayout sheetLayoutOf(const grid::Sheet& sheet);
// 1 for the heading layout, 5 for the cell layout.
int firstDataRow(SheetLayout layout);
// The rows above the data: 0 or 4.
inline int headerRows(SheetLayout layout)
{
    return firstDataRow(layout) - 1;
}

} // namespace talor
