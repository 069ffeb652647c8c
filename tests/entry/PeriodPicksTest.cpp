#include "entry/PeriodPicks.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

// Each quick pick from days at the edges of months and years, February of a leap year among them.
TEST(PeriodPicks, MonthsAndThePayPeriodSeenFromAnyDay)
{
    const struct
    {
        QDate today;
        PeriodPick pick;
        const char *start, *end;
    } cases[] = {
        {QDate(2026, 12, 7), PeriodPick::ThisMonth, "2026-12-01", "2026-12-31"},
        {QDate(2026, 12, 7), PeriodPick::LastMonth, "2026-11-01", "2026-11-30"},
        {QDate(2026, 12, 7), PeriodPick::SixteenthToFifteenth, "2026-11-16", "2026-12-15"},
        {QDate(2026, 1, 31), PeriodPick::LastMonth, "2025-12-01", "2025-12-31"},
        {QDate(2026, 1, 1), PeriodPick::SixteenthToFifteenth, "2025-12-16", "2026-01-15"},
        {QDate(2028, 3, 1), PeriodPick::LastMonth, "2028-02-01", "2028-02-29"},
        {QDate(2028, 2, 29), PeriodPick::ThisMonth, "2028-02-01", "2028-02-29"},
        {QDate(2028, 3, 31), PeriodPick::SixteenthToFifteenth, "2028-02-16", "2028-03-15"},
    };
    for (const auto& c : cases) {
        const auto [start, end] = pickedPeriod(c.pick, c.today);
        EXPECT_EQ(start.toString(Qt::ISODate) + " " + end.toString(Qt::ISODate),
                  QString(c.start) + " " + c.end)
            << c.today.toString(Qt::ISODate).toStdString() << " pick " << int(c.pick);
    }
}

TEST(PeriodPicks, TheSuitesPeriodReadBack)
{
    EXPECT_EQ(periodDates("2026-10-15", "2026-11-14"), std::pair(QDate(2026, 10, 15), QDate(2026, 11, 14)));
    EXPECT_EQ(periodDates("2026/10/15", "no date"), std::pair(QDate(2026, 10, 15), QDate()));
}

} // namespace
