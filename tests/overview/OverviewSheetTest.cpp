#include "overview/OverviewSheet.h"

#include "print/PageRenderer.h"
#include "query/AbnormalOverview.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

// Three persons over a month: on day 1 each is marked with another kind, on day 2 only the
// first, the other days have no marks.
AbnormalOverview aMonth()
{
    AbnormalOverview overview;
    overview.nodeText = "生产部";
    overview.markCaption = "异常标志";
    overview.reset({{"00001", "甲"}, {"00002", "乙"}, {"00003", "丙"}}, QDate(2026, 10, 1),
                   QDate(2026, 10, 31));
    overview.raise(0, 0, 1);
    overview.raise(1, 0, 2);
    overview.raise(2, 0, 3);
    overview.raise(0, 1, 1);
    overview.count();
    return overview;
}

} // namespace

// The printed overview: a column per day up to the last, each 24 pixels wide; the days and
// their counts over a row per person, marked days holding their kind in the kind's colour;
// above them a bar per day as tall against the busiest day as its count, rounded to whole
// cells, each kind's share in its colour from the bottom up.
TEST(OverviewSheetTest, ADayAColumnAPersonARowAndABarPerDay)
{
    const std::array<quint32, 3> colours{0x0000FF, 0x00FF00, 0xFF0000};
    const OverviewSheet printed(aMonth(), colours);
    const grid::Sheet& sheet = printed.sheet();
    using S = OverviewSheet;
    const int lastDay = S::FirstDayColumn + 30;
    EXPECT_EQ(std::tuple(sheet.lastColumn(), sheet.columnWidth(S::FirstDayColumn), sheet.columnWidth(lastDay),
                         sheet.lastRow()),
              std::tuple(lastDay, 24, 24, S::FirstPersonRow + 2));
    QStringList cells;
    for (const auto& [row, col] : {std::pair(S::DayRow, lastDay),
                                   {S::DayCountRow, S::FirstDayColumn},
                                   {S::DayCountRow, S::CountColumn},
                                   {S::FirstPersonRow + 1, S::NumberColumn},
                                   {S::FirstPersonRow + 1, S::FirstDayColumn},
                                   {S::FirstPersonRow, S::FirstDayColumn},
                                   {S::FirstPersonRow, S::CountColumn},
                                   {2, S::FirstDayColumn + 1}})
        cells << sheet.text(row, col);
    EXPECT_EQ(cells, QStringList({"31", "3", "4", "00002", "2", "1", "2", "异常标志 1：2"}));
    // A marked day in its kind's colour, an unmarked one framed and without a fill.
    EXPECT_EQ(std::pair(sheet.fill(S::FirstPersonRow, S::FirstDayColumn),
                        sheet.fill(S::FirstPersonRow, S::FirstDayColumn + 2)),
              std::pair(grid::CellFill{1, colours[0], colours[0]}, grid::CellFill{}));
    // The bars, bottom up: day 1 a cell of each kind's share of 8 (8/3 each, rounded as it
    // adds up), day 2 one mark of the busiest day's three, 8/3 cells rounded to 3.
    const auto bar = [&](int column) {
        QString fills;
        for (int row = S::DayRow - 1; row >= S::ChartRow; --row) {
            const quint32 fill = sheet.fill(row, column).foreground;
            fills += fill == colours[0] ? '1' : fill == colours[1] ? '2' : fill == colours[2] ? '3' : '.';
        }
        return fills;
    };
    EXPECT_EQ(QStringList({bar(S::FirstDayColumn), bar(S::FirstDayColumn + 1), bar(lastDay)}),
              QStringList({"11122333", "111.....", "........"}));
}

// The overview prints a page wide and as many pages tall as its persons take, the days and
// their counts above the persons on every page.
TEST(OverviewSheetTest, PrintsAPageWideWithTheDaysOnEveryPage)
{
    AbnormalOverview many;
    many.reset(std::vector<AbnormalOverview::Person>(200, {"00001", "甲"}), QDate(2026, 10, 1),
               QDate(2026, 10, 31));
    many.count();
    const OverviewSheet printed(many, {0x0000FF, 0x00FF00, 0xFF0000});
    const print::SheetPrintGrid grid(printed.sheet());
    const print::Pagination p =
        print::PageRenderer(grid, OverviewSheet::pageSetup(), print::HeaderFooterContext()).pagination();
    ASSERT_GT(p.pagesTall, 1);
    EXPECT_EQ(std::tuple(p.pagesWide, p.pages[1].titleRows),
              std::tuple(1, std::optional(std::pair(OverviewSheet::DayRow, OverviewSheet::DayCountRow))));
}
