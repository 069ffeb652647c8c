// The pieces the window's arrangement uses: the controls' places and the period picks.
#include "entry/Activation.h"

#include "entry/ArrangeControls.h"
#include "entry/PeriodPicks.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// Kind 1 splits the tree and the list, the other kinds give the tree the whole height; twips to
// pixels and back round to the nearest.
TEST(ArrangeControlsTest, KindOneSplitsTreeAndListOtherKindsGiveTheTreeTheWholeHeight)
{
    ArrangeInput in{
        15000,        10000, 0,    780, {}, {0, 999, 3300, 1}, {0, 5, 3300, 7}, {1, 800, 4800, 900},
        {9, 9, 9, 9}, 4500,  4400, 4000};
    for (const char* option : {"1", "2", "3", "", "7"}) {
        SCOPED_TRACE(option);
        in.reportOption = option;
        const ArrangeResult out = arrangeControls(in);
        const bool one = in.reportOption == "1";
        // tree top 800; (10000 - 800 - 1100) / 2 = 4050
        EXPECT_EQ(std::tuple(out.tree, out.listVisible, out.list, out.image, out.grid, out.label1Left,
                             out.label2Left, out.label3Left),
                  std::tuple(TwipsRect{0, 800, 3300, one ? 3800 : 8100}, one,
                             one ? TwipsRect{0, 4300, 3300, 4600} : in.list, TwipsRect{10000, 800, 4800, 900},
                             TwipsRect{3300, 1700, 11500, 7200}, 10300, 10350, 10750));
    }
    EXPECT_EQ(QList<int>({twipsToPixels(1440, 96), twipsToPixels(15, 96), twipsToPixels(1100, 96),
                          twipsToPixels(1440, 144), pixelsToTwips(100, 96), pixelsToTwips(100, 192)}),
              QList<int>({96, 1, 73, 144, 1500, 750}));
    EXPECT_EQ(toPixels({150, 300, 1500, -30}, 96), QRect(10, 20, 100, 0));
}

// Each quick pick from days at the edges of months and years, February of a leap year among them.
TEST(PeriodPicks, MonthsAndThePayPeriodSeenFromAnyDay)
{
    using enum PeriodPick;
    const std::tuple<QDate, PeriodPick, const char*> cases[] = {
        {QDate(2026, 12, 7), ThisMonth, "2026-12-01 2026-12-31"},
        {QDate(2026, 12, 7), LastMonth, "2026-11-01 2026-11-30"},
        {QDate(2026, 12, 7), SixteenthToFifteenth, "2026-11-16 2026-12-15"},
        {QDate(2026, 1, 31), LastMonth, "2025-12-01 2025-12-31"},
        {QDate(2026, 1, 1), SixteenthToFifteenth, "2025-12-16 2026-01-15"},
        {QDate(2028, 3, 1), LastMonth, "2028-02-01 2028-02-29"},
        {QDate(2028, 2, 29), ThisMonth, "2028-02-01 2028-02-29"},
        {QDate(2028, 3, 31), SixteenthToFifteenth, "2028-02-16 2028-03-15"},
    };
    for (const auto& [today, pick, period] : cases) {
        const auto [start, end] = pickedPeriod(pick, today);
        EXPECT_EQ(start.toString(Qt::ISODate) + " " + end.toString(Qt::ISODate), period)
            << today.toString(Qt::ISODate).toStdString() << " pick " << int(pick);
    }
    // The suite's period read back.
    EXPECT_EQ(periodDates("2026-10-15", "2026-11-14"), std::pair(QDate(2026, 10, 15), QDate(2026, 11, 14)));
    EXPECT_EQ(periodDates("2026/10/15", "no date"), std::pair(QDate(2026, 10, 15), QDate()));
}

} // namespace
