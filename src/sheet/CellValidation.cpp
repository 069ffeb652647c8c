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
    // A date or time passes as the save reads it, so that what passes is what is saved. A bare
    // number ("830", "17.30"), which the save reads as a count of days, would be a date or
    // time nobody typed.
    const bool bareNumber = text::parseNumber(text).has_value();
    if (type == QLatin1String("T"))
        return !bareNumber && SheetSaving::dateValue(text) ? QString() : QStringLiteral("日期格式不对");
    if (type == QLatin1String("Y"))
        return !bareNumber && SheetSaving::timeValue(text) ? QString() : QStringLiteral("时间格式不对");
    const bool decimal = type == QLatin1String("D");
    if (!decimal && type != QLatin1String("I"))
        return {};
    // The number saved is the one the grid reads ("1,234.5", "50%"); a text that is no number
    // would be saved as its leading digits, or as 0. One beyond the double range is too large.
    const double limit = decimal ? DecimalLimit : IntegerLimit;
    const std::optional<double> number = text::typedNumber(text);
    if (number ? *number > limit : text::numericValue(text) > limit)
        return label + QStringLiteral("值过大");
    if (!number)
        return label + QStringLiteral("不是数字");
    if (!decimal && *number != std::trunc(*number))
        return label + QStringLiteral("应为整数");
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
