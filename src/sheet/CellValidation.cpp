#include "sheet/CellValidation.h"

#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetSaving.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <cmath>

namespace talor {

namespace {

constexpr double DecimalLimit = 1.2E+307;
constexpr double IntegerLimit = 2147483647.0;

} // namespace

int maxTextLength(const QString& format)
{
    const double value = text::numericValue(format);
    if (!std::isfinite(value) || value <= 0)
        return 0;
    return value >= IntegerLimit ? int(IntegerLimit) : int(std::lround(value));
}

QString cellTypeProblem(const QString& type, const QString& text, const QString& label, int maxLength)
{
    if (text.isEmpty())
        return {};
    if (type == QLatin1String("S"))
        return text::byteLength(text) > maxLength ? label + QStringLiteral("长度过长") : QString();
    if (type == QLatin1String("T"))
        return text::isValidDate(text::format(text, QStringLiteral("yyyy-mm-dd")))
                   ? QString()
                   : QStringLiteral("日期格式不对");
    if (type == QLatin1String("Y"))
        return text::isValidDateOrTime(text::format(text, QStringLiteral("hh:nn:ss")))
                   ? QString()
                   : QStringLiteral("时间格式不对");
    const bool decimal = type == QLatin1String("D");
    if (decimal || type == QLatin1String("I"))
        return text::numericValue(text) > (decimal ? DecimalLimit : IntegerLimit)
                   ? label + QStringLiteral("值过大")
                   : QString();
    return {};
}

std::optional<CellProblem> ValidateSheet(SuiteServices& suite, const ColumnFields& columns,
                                         const grid::Sheet& sheet, const SheetSnapshot* before)
{
    const SheetLayout layout = sheetLayoutOf(sheet);
    const int first = firstDataRow(layout);
    const int lastColumn = sheet.lastColumn();
    for (int c = 1; c <= lastColumn; ++c) {
        const QString field = columns.field(c);
        const QString type = suite.fieldType(field);
        const int maxLength = type == QLatin1String("S") ? maxTextLength(suite.fieldFormat(field)) : 0;
        const QString label = layout == SheetLayout::Heading ? sheet.columnHeading(c) : sheet.text(4, c);
        const int lastRow = sheet.lastRow();
        for (int r = first; r <= lastRow; ++r) {
            if (before && before->unchanged(sheet, r, c))
                continue;
            const QString message = cellTypeProblem(type, sheet.text(r, c), label, maxLength);
            if (!message.isEmpty())
                return CellProblem{r, c, message};
        }
    }
    return std::nullopt;
}

} // namespace talor
