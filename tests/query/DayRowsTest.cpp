#include "query/SelectionClicks.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

// The labels of a kind-3 block's day rows 5..35: row r shows the period's date whose day of the
// month is r - 4, the row its records are placed on; row 36 is the sum row.
TEST(DayRows, EachRowShowsTheDateItsRecordsAreOn)
{
    const struct
    {
        const char* name;
        const char *start, *end;
        std::vector<std::pair<int, const char*>> rows; // row -> expected label ("" for none)
    } cases[] = {{"WholeMonth",
                  "2026-10-01",
                  "2026-10-31",
                  {{5, "2026-10-01"}, {14, "2026-10-10"}, {35, "2026-10-31"}}},
                 {"ThirtyDays", "2026-11-01", "2026-11-30", {{34, "2026-11-30"}, {35, ""}}},
                 {"MidMonthToMidMonth",
                  "2026-10-15",
                  "2026-11-14",
                  {{5, "2026-11-01"}, {18, "2026-11-14"}, {19, "2026-10-15"}, {35, "2026-10-31"}}},
                 {"AcrossFebruary",
                  "2026-02-15",
                  "2026-03-14",
                  {{32, "2026-02-28"}, {33, ""}, {35, ""}, {18, "2026-03-14"}}},
                 {"LeapDay", "2028-02-01", "2028-02-29", {{33, "2028-02-29"}, {34, ""}}},
                 {"OneDay", "2026-10-31", "2026-10-31", {{35, "2026-10-31"}, {34, ""}}},
                 {"LongerThanAMonthShowsTheFirst",
                  "2026-10-20",
                  "2026-12-31",
                  {{24, "2026-10-20"}, {23, "2026-11-19"}, {5, "2026-11-01"}}},
                 {"Unreadable", "x", "2026-10-31", {{5, ""}, {35, ""}}},
                 {"Backwards", "2026-10-31", "2026-10-01", {{5, ""}, {35, ""}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dates = SelectionClicks::dayRowDates(c.start, c.end);
        for (const auto& [row, expected] : c.rows)
            EXPECT_EQ(dates[size_t(row - 5)].toString("yyyy-MM-dd").toStdString(), expected) << "row " << row;
        EXPECT_FALSE(dates[31].isValid()) << "row 36 is the sum row";
    }
}

TEST(ListError, TextOfTheMessage)
{
    EXPECT_EQ(SelectionClicks::listErrorText("select 1", "查询", 3), "bSQL:select 1 --- str2:查询 --- j:3");
}

} // namespace
