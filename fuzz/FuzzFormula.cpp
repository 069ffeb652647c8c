// A formula as an operator types it: put it into a small sheet with a few values, recalculate
// it, move and copy it, and read its canonical text back as a formula.
#include "grid/Sheet.h"
#include "grid/formula/Formula.h"

#include <cstdlib>

using namespace talor::grid;
using talor::grid::formula::Formula;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const Formula formula = Formula::parse(text);
    if (formula.isValid()) {
        // The canonical text reads as the same formula.
        const QString canonical = formula.text();
        if (Formula::parse(canonical).text() != canonical)
            std::abort();
        (void)formula.shiftedColumns(2, 1);
        (void)formula.shiftedRows(2, -1);
        (void)formula.copied(3, -1);
    }
    Sheet sheet;
    sheet.setText(1, 1, QStringLiteral("3"));
    sheet.setText(2, 1, QStringLiteral("08:30"));
    sheet.setText(1, 2, QStringLiteral("abc"));
    sheet.setText(2, 2, QStringLiteral("=A1*2"));
    sheet.setText(3, 3, QStringLiteral("=") + text);
    (void)sheet.text(3, 3);
    sheet.setText(1, 1, QStringLiteral("-1e300"));
    (void)sheet.text(3, 3);
    return 0;
}
