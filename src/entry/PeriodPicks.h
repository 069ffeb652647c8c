#pragma once

#include <QDate>
#include <QString>
#include <utility>

namespace talor {

// The periods the window offers in one click, beside the two dates of any other period.
enum class PeriodPick
{
    ThisMonth,
    LastMonth,
    SixteenthToFifteenth // the pay period: the 16th of the month before to the 15th of this one
};

// The first and last day of `pick` seen from `today`.
std::pair<QDate, QDate> pickedPeriod(PeriodPick pick, const QDate& today);

// The period as the suite holds it ("yyyy-MM-dd"), read back into dates; invalid dates for
// texts that are not dates.
std::pair<QDate, QDate> periodDates(const QString& start, const QString& end);

} // namespace talor
