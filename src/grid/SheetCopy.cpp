#include "grid/SheetCopy.h"

#include "grid/Sheet.h"
#include "grid/SheetBulkWriter.h"

#include <algorithm>
#include <vector>

namespace talor::grid {

namespace {

// Whether moving `f` `delta` rows gives the references that inserting or deleting rows at
// `at` gives them (Formula::shiftedRows): every reference moves, and every row it reads moves
// with it and stays on the sheet.
bool movesWithItsRows(const formula::MovedFormula& f, int at, int delta)
{
    if (delta == 0)
        return true;
    if (!f.relative)
        return false;
    return f.firstRow == 0 || (f.firstRow >= at + std::max(0, -delta) && f.lastRow + delta <= Sheet::MaxRows);
}

} // namespace

void copyRows(const Sheet& from, Sheet& to, int row1, int row2, int delta, int at, const CopiedText& text)
{
    // Each format of `from` taken into `to`'s table once, not hashed again for every cell.
    SheetBulkWriter writer(to);
    std::vector<int> formatIds(size_t(from.formatCount()), -1);
    from.forEachCell(row1, row2, [&](int r, int c) {
        const int row = r + delta;
        if (row < 1 || row > Sheet::MaxRows)
            return;
        const int fromId = from.formatId(r, c);
        int& id = formatIds[size_t(fromId)];
        if (id < 0)
            id = writer.addFormat(from.formatById(fromId));
        writer.setFormatId(row, c, id);
        if (const auto f = from.movedFormula(r, c)) {
            if (movesWithItsRows(*f, at, delta))
                writer.setFormulaCopy(row, c, f->formula, f->rows + delta, f->cols);
            else
                to.setText(row, c, formula::Formula::parse(from.formula(r, c)).shiftedRows(at, delta));
        } else if (from.isNumber(r, c))
            to.setNumber(row, c, from.number(r, c));
        else if (!from.isEmpty(r, c))
            to.setPlainText(row, c, text ? text(from.text(r, c)) : from.text(r, c));
    });
}

bool keepValuesWhenMoved(const Sheet& sheet, int row1, int row2)
{
    bool kept = true;
    sheet.forEachFormula(row1, row2, [&](int row, int col) {
        if (!kept)
            return;
        const auto f = sheet.movedFormula(row, col);
        kept = f->relative && (f->firstRow == 0 || (f->firstRow >= row1 && f->lastRow <= row2));
    });
    return kept;
}

void copyLayout(const Sheet& from, Sheet& to, int lastRow, int shift)
{
    for (int c = 1; c <= from.lastColumn(); ++c)
        to.setColumnWidth(c, from.columnWidth(c));
    to.setLastRow(std::min(Sheet::MaxRows, lastRow));
    to.setLastColumn(from.lastColumn());
    to.setFrozenColumns(from.frozenColumns());
    if (from.frozenRows() > 0 || from.frozenColumns() > 0)
        to.setFrozenRows(from.frozenRows() + shift);
}

} // namespace talor::grid
