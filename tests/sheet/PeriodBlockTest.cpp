#include "sheet/PeriodBlock.h"

#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "support/TestDatabases.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// The labels of a kind-3 block's day rows 5..35, the rows the records of those dates go on, in
// date order from row 5; row 36 is the sum row. A period longer than the 31 rows is refused.
TEST(DayRows, EachRowShowsTheDateItsRecordsAreOn)
{
    // clang-format off
    const struct { const char *name, *start, *end, *rows; bool holds; } cases[] = { // "row=label" ("" for none)
        {"WholeMonth", "2026-10-01", "2026-10-31", "5=2026-10-01 14=2026-10-10 35=2026-10-31", true},
        {"ThirtyDays", "2026-11-01", "2026-11-30", "34=2026-11-30 35=", true},
        {"MidMonthToMidMonthInDateOrder", "2026-10-15", "2026-11-14", "5=2026-10-15 21=2026-10-31 22=2026-11-01 35=2026-11-14", true},
        {"AcrossFebruary", "2026-02-15", "2026-03-14", "18=2026-02-28 19=2026-03-01 32=2026-03-14 33= 35=", true},
        {"LeapDay", "2028-02-01", "2028-02-29", "33=2028-02-29 34=", true},
        {"OneDay", "2026-10-31", "2026-10-31", "5=2026-10-31 6= 35=", true},
        {"ThirtyTwoDays", "2026-10-15", "2026-11-15", "5=2026-10-15 35=2026-11-14", false},
        {"Unreadable", "x", "2026-10-31", "5= 35=", true},
        {"Backwards", "2026-10-31", "2026-10-01", "5= 35=", true}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto dates = PeriodBlock::dayRowDates(c.start, c.end);
        QStringList shown;
        for (const QString& entry : QString(c.rows).split(' ')) {
            const int row = entry.section('=', 0, 0).toInt();
            shown << QString::number(row) + "=" + dates[size_t(row - 5)].toString("yyyy-MM-dd");
        }
        EXPECT_EQ(
            std::pair(shown.join(' ').toStdString(), PeriodBlock::periodProblem(c.start, c.end).isEmpty()),
            std::pair(std::string(c.rows), c.holds));
        EXPECT_FALSE(dates[31].isValid()) << "row 36 is the sum row";
    }
}

// A block's header names the person in its first column and the period in its last, on the
// block's third row. A day row gets its date and weekday (0 for Sunday); from column 5 to the
// template's last column its constants are cleared for the records, its formulas kept. As many
// persons' blocks fit as a sheet has rows for (1,048,572 of 1,048,576 rows), and no more.
TEST(DayRows, TheHeaderNamesThePersonAndPeriodAndADayRowItsDateAndWeekday)
{
    grid::Sheet sheet;
    for (int c = 3; c <= 6; ++c)
        sheet.setText(41, c, "x");
    sheet.setText(42, 5, "=1+1");
    sheet.setText(71, 1, "2026-10-31"); // a day row after the period's last day is emptied
    const PeriodBlock block("2026-10-04", "2026-10-31");
    block.writeHeader(sheet, 37, 14, "薛晨洋(00007,)");
    block.writeDayRows(sheet, 37, 5);
    EXPECT_EQ(QStringList({sheet.text(38, 1), sheet.text(39, 1), sheet.text(39, 14), sheet.text(40, 1),
                           sheet.text(41, 1), sheet.text(41, 2), sheet.text(41, 3), sheet.text(41, 4),
                           sheet.text(41, 5), sheet.text(41, 6), sheet.text(42, 2), sheet.text(42, 5),
                           sheet.text(71, 1)}),
              QStringList({"", "薛晨洋(00007,)", "2026-10-04 至 2026-10-31", "", "2026-10-04", "0", "x", "x",
                           "", "x", "1", "2", ""}));
    EXPECT_EQ(std::tuple(PeriodBlock::maxPersons(), PeriodBlock::fits(29127), PeriodBlock::fits(29128),
                         PeriodBlock::unplacedProblem(2, "乙", "2026-10-01").section(u'：', 1)),
              std::tuple(29127, true, false, QString("第一条是 乙 的 2026-10-01")));
}

// The row a record of the period 15 October..14 November goes on, by its zhdate as the
// database gives it: a date text, a date and time; none for a date that cannot be read. The first and last
// days of each month and of the period; then a period of 31 days across February, whose days 1
// to 3 come twice.
TEST(DayRows, ARecordGoesOnTheRowOfItsDay)
{
    test::ensureApplication();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "period");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table kq (n integer, zhdate)"));
        ASSERT_TRUE(q.exec("insert into kq values (1, '2026-10-15'), (2, '2026-10-31'), (3, '2026-11-01'), "
                           "(4, '2026-11-14'), (5, '2026-10-31 08:00'), (6, '2026-10-00'), "
                           "(7, '2026-13-01'), (8, 'x'), (9, null)"));
        // The rows of the records in turn; with `taken`, as one person's records are placed.
        const auto rows = [&](const PeriodBlock& block, PeriodBlock::TakenRows* taken = nullptr) {
            Recordset records;
            records.open("select zhdate from kq order by n", db);
            QStringList found;
            for (; !records.eof(); records.moveNext())
                found << QString::number(taken ? block.placeRecord(records, 0, *taken)
                                               : block.rowOfRecord(records, 0));
            return found.join(u',');
        };
        EXPECT_EQ(rows(PeriodBlock("2026-10-15", "2026-11-14")), "5,21,22,35,21,0,0,0,0");
        // A period shorter than the block: a record after its last day has no row.
        EXPECT_EQ(rows(PeriodBlock("2026-10-15", "2026-10-31")), "5,21,0,0,21,0,0,0,0");
        // A period in which days of the month come twice: each date on its own row.
        ASSERT_TRUE(q.exec("delete from kq"));
        ASSERT_TRUE(q.exec("insert into kq values (1, '2026-02-01'), (2, '2026-02-03'), (3, '2026-03-01'), "
                           "(4, '2026-03-03'), (5, '2026-03-04'), (6, '2026-01-31')"));
        EXPECT_EQ(rows(PeriodBlock("2026-02-01", "2026-03-03")), "5,7,33,35,0,0");
        // One person's records: a row shows one record, a second one of its day has none.
        ASSERT_TRUE(
            q.exec("insert into kq values (7, '2026-02-03 08:00:00'), (8, '2026-02-0x'), (9, '2026-02-04')"));
        PeriodBlock::TakenRows taken;
        EXPECT_EQ(rows(PeriodBlock("2026-02-01", "2026-03-03"), &taken), "5,7,33,35,0,0,0,0,8");
    }
    QSqlDatabase::removeDatabase("period");
}

} // namespace
