// What an operator types into a cell, and a number shown through a format code: the input is
// a format code, a line break and the typed text.
#include "FuzzInput.h"
#include "grid/CellInput.h"
#include "grid/Sheet.h"

#include <cstdlib>

using namespace talor::grid;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [picture, typed] = talor::fuzz::linesOf(data, size);

    const CellInput cell = parseInput(typed);
    if (cell.kind == CellInput::Kind::Number) {
        // A number is shown again as it was typed and reads back as the same number.
        const QString shown = talor::text::formatNumber(cell.number, cell.numberFormat);
        const CellInput again = parseInput(shown);
        if (again.kind != CellInput::Kind::Number)
            std::abort();
    }
    Sheet sheet;
    sheet.setText(1, 1, typed);
    (void)sheet.text(1, 1);
    for (double value : {cell.number, 0.0, -1.5, 45000.25, 1e15, -1e-10, 1e308})
        (void)talor::text::formatNumber(value, picture);
    sheet.setNumber(1, 2, cell.number, picture);
    (void)sheet.text(1, 2);
    (void)isDateFormat(picture);
    return 0;
}
