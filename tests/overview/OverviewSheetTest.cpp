#include "overview/OverviewSheet.h"

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
    // The rows of the days, their counts and the persons framed from the first column to the
    // last, and the legend's swatches; a marked day in its kind's colour, an unmarked one without
    // a fill; the chart's bars without frames.
    const grid::CellBorder frame{1, 1, 1, 1, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0, 0xC0C0C0};
    EXPECT_EQ(
        std::tuple(sheet.lastColumn(), sheet.columnWidth(S::NameColumn), sheet.columnWidth(S::NumberColumn),
                   sheet.columnWidth(S::FirstDayColumn), sheet.columnWidth(lastDay), sheet.lastRow(),
                   QList{sheet.border(S::DayRow, S::NameColumn), sheet.border(S::DayCountRow, lastDay),
                         sheet.border(S::FirstPersonRow + 2, S::NameColumn),
                         sheet.border(2, S::FirstDayColumn), sheet.border(S::DayRow - 1, S::FirstDayColumn)},
                   sheet.fill(S::FirstPersonRow, S::FirstDayColumn),
                   sheet.fill(S::FirstPersonRow, S::FirstDayColumn + 2)),
        std::tuple(lastDay, 90, 60, 24, 24, S::FirstPersonRow + 2,
                   QList<grid::CellBorder>{frame, frame, frame, frame, {}},
                   grid::CellFill{1, colours[0], colours[0]}, grid::CellFill{}));
    // The title, the total and the legend; the chart's scale from 0 up to the busiest day's count.
    // clang-format off
    const std::tuple<int, int, const char*> cells[] = {
        {1, S::NameColumn, "异常一览：生产部 2026-10-01 至 2026-10-31"}, {2, S::NameColumn, "异常标志合计"},
        {2, S::CountColumn, "4"}, {2, S::FirstDayColumn + 1, "异常标志 1：2"}, {S::ChartRow, S::CountColumn, "3"},
        {S::DayRow - 1, S::CountColumn, "0"}, {S::DayRow, S::NumberColumn, "工号"}, {S::DayRow, lastDay, "31"},
        {S::DayCountRow, S::FirstDayColumn, "3"}, {S::DayCountRow, S::CountColumn, "4"},
        {S::FirstPersonRow + 1, S::NumberColumn, "00002"}, {S::FirstPersonRow + 1, S::FirstDayColumn, "2"},
        {S::FirstPersonRow + 2, S::NameColumn, "丙"}, {S::FirstPersonRow, S::FirstDayColumn, "1"},
        {S::FirstPersonRow, S::FirstDayColumn + 2, ""},
        {S::FirstPersonRow, S::CountColumn, "2"}};
    // clang-format on
    for (const auto& [row, column, text] : cells)
        EXPECT_EQ(sheet.text(row, column), QString::fromUtf8(text)) << row << "," << column;
    // The kinds of the fills of `count` cells from (row, column) on, `step` columns apart or, for
    // a step of 0, upwards.
    const auto kinds = [&](int row, int column, int count, int step) {
        QString out;
        for (int i = 0; i < count; ++i) {
            const quint32 fill = sheet.fill(step ? row : row - i, column + i * step).foreground;
            out += fill == colours[0] ? '1' : fill == colours[1] ? '2' : fill == colours[2] ? '3' : '.';
        }
        return out;
    };
    // The legend's swatches, then the bars, bottom up: day 1 a cell of each kind's share of 8
    // (8/3 each, rounded as it adds up), day 2 one mark of the busiest day's three, 8/3 cells
    // rounded to 3.
    EXPECT_EQ(
        QStringList({kinds(2, S::FirstDayColumn, 3, 8), kinds(S::DayRow - 1, S::FirstDayColumn, 8, 0),
                     kinds(S::DayRow - 1, S::FirstDayColumn + 1, 8, 0), kinds(S::DayRow - 1, lastDay, 8, 0)}),
        QStringList({"123", "11122333", "111.....", "........"}));
}
