#include "entry/PeriodPicks.h"

#include "text/TextFunctions.h"

namespace talor {

std::pair<QDate, QDate> pickedPeriod(PeriodPick pick, const QDate& today)
{
    const QDate month(today.year(), today.month(), 1);
    switch (pick) {
    case PeriodPick::ThisMonth:
        return {month, month.addMonths(1).addDays(-1)};
    case PeriodPick::LastMonth:
        return {month.addMonths(-1), month.addDays(-1)};
    case PeriodPick::SixteenthToFifteenth:
        return {month.addMonths(-1).addDays(15), month.addDays(14)};
    }
    return {};
}

std::pair<QDate, QDate> periodDates(const QString& start, const QString& end)
{
    const auto date = [](const QString& text) {
        const auto read = text::parseDateTime(text);
        return read ? read->date() : QDate();
    };
    return {date(start), date(end)};
}

} // namespace talor
