#include "sheet/SheetLayout.h"

#include "grid/Sheet.h"

namespace talor {

SheetLayout sheetLayoutOf(const grid::Sheet& sheet)
{
    return sheet.columnHeading(1).isEmpty() ? SheetLayout::Cell : SheetLayout::Heading;
}

int firstDataRow(SheetLayout layout)
{
    return layout == SheetLayout::Cell ? 5 : 1;
}

} // namespace talor
