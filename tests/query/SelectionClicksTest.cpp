#include "query/SelectionClicks.h"

#include "db/Recordset.h"
#include "grid/Workbook.h"
#include "query/PeriodRecords.h"
#include "sheet/ColumnFields.h"
#include "sheet/RecordDisplay.h"
#include "sheet/TemplatePattern.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

class View : public SelectionView
{
public:
    bool discardUnsavedData() override { return true; }
    std::optional<SelectedNode> selectedNode() const override { return node; }
    std::optional<EmployeeItem> selectedEmployee() const override { return employee; }
    int employeeCount() const override { return int(employees.size()); }
    void showEmployees(const QList<EmployeeItem>& items) override { employees = items; }
    bool sumChecked() const override { return sum; }
    void setLabel(int, const QString&) override {}
    void showListError(const QString& message) override { error = message; }

    SelectedNode node{"A生产部", "生产部", "示范公司", {}};
    std::optional<EmployeeItem> employee;
    QList<EmployeeItem> employees;
    bool sum = false;
    QString error;
};

// The records of two persons of 生产部 and one of another department around October 2026, shown
// with 迟到 (I) in column 3 and 出勤 (D) in column 4 of a five-column sheet.
class ClicksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        db = QSqlDatabase::addDatabase("QSQLITE", "clicks");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table kq (memberid text, zhdate text, depart text, group0 text, team "
                           "text, cdfz integer, cqgs real, "
                           "bz text, primary key (memberid, zhdate))"));
        // Day 15 stored with a time; the days just outside the period are not shown.
        ASSERT_TRUE(q.exec(
            "insert into kq (memberid, zhdate, depart, cdfz, cqgs, bz) values ('0001', '2026-09-30', 'D1', "
            "100, 0, null), "
            "('0001', '2026-10-01', 'D1', 1, 1.5, 'a'), ('0001', '2026-10-15 08:00:00', 'D1', 2, 0, null), "
            "('0001', '2026-10-31', 'D1', 4, 0.25, null), ('0001', '2026-11-01', 'D1', 100, 0, null), "
            "('0002', '2026-10-01', 'D1', 8, 0, null), ('0003', '2026-10-01', 'D2', 16, 0, null)"));
        suite.db = db;
        suite.current = "kq";
        suite.tableCaptions = {{"kq", "考勤日报"}};
        suite.start = "2026-10-01", suite.end = "2026-10-31", suite.date = QDate(2026, 10, 1);
        suite.categoryNames = {{"部门\nD1", "生产部"}};
        suite.fields = {
            {"cdfz", {"迟到", "I", "", 0}}, {"cqgs", {"出勤", "D", "", 0}}, {"bz", {"备注", "Q", "", 0}}};
        for (int c = 3; c <= 5; ++c)
            columns.setField(c, QStringList{"cdfz", "cqgs", "bz"}[c - 3]);
        columns.lookUp(suite, 5);
        book.active().setLastColumn(5);
        book.active().setLastRow(4);
    }
    void TearDown() override
    {
        employees.close();
        persons.close();
        suite.db = QSqlDatabase();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("clicks");
    }
    SelectionClicks clicks()
    {
        return SelectionClicks({suite, queryState, sheetState, employees, persons, columns, patterns, book},
                               view);
    }
    // Columns 1..5 of a row.
    QString row(int r) const
    {
        QStringList texts;
        for (int c = 1; c <= 5; ++c)
            texts << book.active().text(r, c);
        return texts.join('|');
    }

    QSqlDatabase db;
    FakeSuite suite;
    QueryState queryState;
    SheetState sheetState;
    Recordset employees, persons;
    ColumnFields columns;
    ReportPatterns patterns;
    grid::Workbook book;
    View view;
};

// Kinds 2 and 1: the records from the first data row (5 under the cell layout's header, 1 under
// headings), the sum row right under them counting and summing them all.
TEST_F(ClicksTest, ListReportsShowTheRecordsAndTheSumRowUnderThem)
{
    // clang-format off
    const struct { const char *name, *option; bool headings, sum; int day; std::vector<std::pair<int, const char*>> rows;
                   int lastRow; } cases[] = { // day: of October, the report date
        {"DayWithSum", "2", false, true, 1, {{5, "||1|1.50|a"}, {6, "||8|0.00|"}, {7, "合计：|2|9|1.50|"}}, 7},
        {"DayWithoutSum", "2", false, false, 1, {{6, "||8|0.00|"}, {7, "||||"}}, 6},
        {"DayWithoutRecords", "2", false, true, 2, {{5, "||||"}}, 5},
        {"PersonWithSumUnderHeadings", "1", true, true, 1, {{1, "||1|1.50|a"}, {3, "||4|0.25|"}, {4, "合计：||7|1.75|"}}, 4}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        book.active().clear();
        book.active().setLastColumn(5);
        book.active().setColumnHeading(1, c.headings ? "日期" : "");
        suite.option = c.option;
        suite.date = QDate(2026, 10, c.day);
        view.sum = c.sum;
        SelectionClicks clicks = this->clicks();
        if (c.headings)
            clicks.showPerson("0001", "甲", true);
        else
            clicks.treeClick();
        EXPECT_EQ(book.active().lastRow(), c.lastRow);
        for (const auto& [r, texts] : c.rows)
            EXPECT_EQ(row(r).toStdString(), texts) << "row " << r;
    }
}

// The persons' rows read a few persons at a time: each person gets exactly its own rows,
// whichever read holds it and in whatever order the persons are opened.
TEST_F(ClicksTest, SharedReadsHandEachPersonItsOwnRows)
{
    QSqlQuery q(db);
    for (int n = 4; n <= 6; ++n)
        ASSERT_TRUE(q.exec(QString("insert into kq (memberid, zhdate, depart, cdfz, cqgs, bz) values "
                                   "('000%1', '2026-10-0%1', 'D1', %1, 0, null)")
                               .arg(n)));
    RecordQueries queries(suite);
    const QStringList numbers{"0001", "0002", "0003", "0004", "0005", "0006", "0009"};
    PeriodRecords periods(queries, db, suite.start, suite.end, {}, true, 2);
    periods.setPersons(numbers + QStringList{"0002"});
    QStringList found;
    for (const int place : {0, 1, 2, 3, 4, 5, 6, 3, 1}) {
        const QString& number = numbers[place];
        Recordset records;
        periods.open(number, queries.periodQuery(number, suite.start, suite.end, {}), records);
        QStringList rows;
        for (; !records.eof(); records.moveNext())
            rows << records.text("memberid") + ":" + records.text("cdfz");
        found << rows.join(',');
    }
    EXPECT_EQ(found.join(" ").toStdString(),
              "0001:1,0001:2,0001:4 0002:8 0003:16 0004:4 0005:5 0006:6  0004:4 0002:8");
    EXPECT_EQ(periods.sharedCount(), 9);
}

TEST(ListError, TextOfTheMessage)
{
    EXPECT_EQ(SelectionClicks::listErrorText("select 1", "查询", 3), "bSQL:select 1 --- str2:查询 --- j:3");
}

} // namespace
