#include "query/RecordQueries.h"

#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "grid/Workbook.h"
#include "query/AbnormalOverview.h"
#include "query/PeriodRecords.h"
#include "query/SelectionClicks.h"
#include "sheet/ColumnFields.h"
#include "sheet/PeriodBlock.h"
#include "sheet/RecordDisplay.h"
#include "sheet/TemplatePattern.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/ErrorText.h"
#include "support/FakeSuite.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <functional>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

// The daily table `table` of 5 March 2003, the codes of 生产部, its group and its team.
void fillSuite(FakeSuite& suite, const QString& table)
{
    suite.current = table;
    suite.tableCaptions = {{table, "考勤日报"}};
    suite.date = QDate(2003, 3, 5);
    suite.categoryNames = {{"部门\nD1", "生产部"}, {"部门\nD2", "O'Neill部"}};
    suite.groupNames = {{"生产部\nG1", "一组"}};
    suite.teamNames = {{"生产部\n一组\nT1", "甲班"}};
}

// The rows of a recordset from the current one on, each the texts of `fields` joined by ':'.
QString rowsOf(Recordset& records, const QStringList& fields)
{
    QStringList rows;
    for (; !records.eof(); records.moveNext()) {
        QStringList texts;
        for (const QString& field : fields)
            texts << records.text(field);
        rows << texts.join(':');
    }
    return rows.join(',');
}

const SelectedNode Root{"ROOT", "示范公司", {}, {}};
const SelectedNode Dept{"A生产部", "生产部", "示范公司", {}};
const SelectedNode Team{"C生产部一组甲班", "甲班", "一组", "生产部"};
const SelectedNode Quote{"AO'Neill部", "O'Neill部", "示范公司", {}};

// The composed texts of SQL0, SQL1 and the period query: the select part of the builder, then
// the where part (left in the suite by SQL0 and SQL1) and the order.
TEST(QueryTexts, ComposeAndLeaveThePiecesInTheSuiteReadingOnlyATableOfTheCatalogue)
{
    const SelectedNode group{"B生产部一组", "一组", "生产部", "示范公司"};
    const char *byMember = " order by memberid", *byDate = " order by zhdate",
               *byPlace = " order by depart,group0,team,memberid";
    // The window's condition is SQL0's suite filter; SQL1 reads the suite's own filter.
    // clang-format off
    const struct { const char* builder; SelectedNode node; const char *kind, *suiteFilter, *condition, *where, *order; } cases[] = {
        {"SQL0", Root, "2", "", "X or Y", " where (X or Y)", byPlace},
        {"SQL0", Dept, "2", "", "zt='在职'", " where (depart='D1' or depart='生产部') and (zt='在职')", byMember},
        {"SQL0", group, "2", "", "", " where (depart='D1' or depart='生产部') and (group0='G1' or group0='一组')", byMember},
        {"SQL0", Team, "2", "", "", " where (depart='D1' or depart='生产部') and (group0='G1' or group0='一组') and (team='T1' or team='甲班')", byMember},
        {"SQL0", Quote, "2", "", "", " where (depart='D2' or depart='O''Neill部')", byMember},
        {"SQL1", Root, "1", "", "", " where zhdate=#2003-03-05#", byMember},
        {"SQL1", Dept, "2", "F or G", "C", " where zhdate='2003-03-05' and (depart='D1' or depart='生产部') and (F or G) and (C)", byMember},
        {"period", {"0012", {}, {}, {}}, "2", "", "", " where memberid='0012' and zhdate>='2008-12-01' and zhdate<='2008-12-31'", byDate},
        {"period", {"0012", {}, {}, {}}, "0", "", "", " where memberid='0012' and zhdate>=#2008-12-01# and zhdate<=#2008-12-31#", byDate},
        {"period", {"0'12", {}, {}, {}}, "2", "", "cdfz>0", " where memberid='0''12' and zhdate>='2008-12-01' and zhdate<='2008-12-31' and (cdfz>0)", byDate}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        FakeSuite suite;
        fillSuite(suite, "KQ_01");
        suite.dbKind = c.kind;
        suite.filter = c.suiteFilter;
        RecordQueries queries(suite);
        const QString builder = c.builder;
        const QString sql = builder == "SQL0" ? queries.SQL0(c.node, c.condition)
                            : builder == "SQL1"
                                ? queries.SQL1(c.node, c.condition)
                                : queries.periodQuery(c.node.key, "2008-12-01", "2008-12-31", c.condition);
        const QString from = builder == "SQL0" ? "select * from YGZL" : "select * from KQ_01";
        // The period query leaves the suite's pieces as they were.
        const bool period = builder == "period";
        EXPECT_EQ(std::tuple(sql, suite.composedQuery(),
                             suite.selectPart() + suite.fromPart() + suite.wherePart() + suite.orderPart(),
                             suite.wherePart()),
                  std::tuple(from + QString::fromUtf8(c.where) + c.order, sql, period ? "" : sql,
                             period ? "" : QString::fromUtf8(c.where)));
    }

    // The table code is pasted after "from": one the catalogue does not hold, or anything but a
    // plain name, is refused by every builder that reads it, naming the code.
    FakeSuite suite;
    suite.tableCaptions = {{"kq01", "考勤日报"}, {"kq01 where 1=1; delete from ygzl; --", "伪造"}};
    RecordQueries queries(suite);
    const QString from = "2003-03-01", to = "2003-03-31";
    // An empty code is refused before any code was read, and after.
    suite.current = "";
    talor::test::errorText<DatabaseError>([&] { queries.SQL1(Root, {}); });
    // A code of the catalogue read before does not let another one through.
    suite.current = "kq01";
    queries.periodQuery("1", from, to, {});
    for (const char* code : {"kq02", "", "kq01 where 1=1; delete from ygzl; --"}) {
        SCOPED_TRACE(code);
        suite.current = code;
        const std::function<void()> builders[] = {[&] { queries.SQL1(Root, {}); },
                                                  [&] { queries.periodQuery("1", from, to, {}); },
                                                  [&] {
                                                      queries.periodQueryOfPersons({"1"}, from, to, {});
                                                  }};
        for (const auto& builder : builders)
            EXPECT_TRUE(talor::test::errorText<DatabaseError>(builder).contains(QString::fromUtf8(code)));
    }

    // A name or number that was not valid UTF-8 would find only some of its records: refused.
    suite.current = "kq01";
    const SelectedNode unreadable{"A生\uFFFD产部", "生\uFFFD产部", "示范公司", {}};
    for (const auto& builder : std::initializer_list<std::function<void()>>{
             [&] { queries.SQL0(unreadable, {}); }, [&] { queries.SQL1(unreadable, {}); },
             [&] {
                 queries.periodQuery("0\uFFFD1", from, to, {});
             }})
        EXPECT_TRUE(talor::test::errorText<DatabaseError>(builder).contains("UTF-8"));
    EXPECT_EQ(queries.periodQueryOfPersons({"1", "0\uFFFD1"}, from, to, {}), "");
}

// The texts run on both engines: both stored forms of a department are found, and a name
// with an apostrophe finds its own rows and nothing else.
class QueryRuns : public talor::test::DatabaseTest
{};

TEST_P(QueryRuns, FindBothStoredFormsAndNamesWithQuotes)
{
    resetTables({"ygzl", "kq01"});
    exec("create table ygzl (memberid varchar(10) primary key, name varchar(20), depart varchar(20), "
         "group0 varchar(20), team varchar(20))");
    exec("create table kq01 (memberid varchar(10), zhdate date, depart varchar(20), cdfz integer, "
         "primary key (memberid, zhdate))");
    exec("insert into ygzl values ('1', 'a', 'D1', 'G1', 'T1'), ('2', 'b', '生产部', '一组', '甲班'), "
         "('3', 'c', 'O''Neill部', null, null), ('4', 'd', 'x', null, null)");
    exec("insert into kq01 values ('1', '2003-03-05', 'D1', 1), ('2', '2003-03-05', '生产部', 0), "
         "('3', '2003-03-05', 'O''Neill部', 2), ('3', '2003-03-06', 'O''Neill部', 3), ('0''12', "
         "'2003-03-05', 'x', 4)");
    FakeSuite suite;
    fillSuite(suite, "kq01");
    suite.db = db();
    suite.dbKind = kindText();
    RecordQueries queries(suite);
    auto members = [&](const QString& sql) {
        Recordset records;
        records.open(sql, db());
        return rowsOf(records, {"memberid"}).toStdString();
    };
    // The root is ordered by department first.
    EXPECT_EQ((std::vector<std::string>{
                  members(queries.SQL0(Team, {})), members(queries.SQL0(Quote, {})),
                  members(queries.SQL0(Root, {})), members(queries.SQL1(Dept, "cdfz>=0")),
                  members(queries.SQL1(Quote, {})),
                  members(queries.periodQuery("3", "2003-03-01", "2003-03-31", "cdfz>2")),
                  members(queries.periodQuery("0'12", "2003-03-05", "2003-03-05", {})),
                  // An "or" narrows the person's day; a comment ends with its line.
                  members(queries.periodQuery("3", "2003-03-05", "2003-03-05", "cdfz=2 or cdfz=3")),
                  members(queries.periodQuery("3", "2003-03-01", "2003-03-31", "cdfz>2 -- late"))}),
              (std::vector<std::string>{"1,2", "3", "1,3,4,2", "1,2", "3", "3", "0'12", "3", "3"}));

    // Several persons' periods in one statement: each row followed by its person's place, in
    // the persons' order and each one's days where the statement orders them (SQLite's are
    // put in order as they are shared out).
    Recordset shared;
    shared.open(queries.periodQueryOfPersons({"3", "9", "0'12", "1"}, "2003-03-05", "2003-03-06", "cdfz>=1"),
                db());
    QStringList found = rowsOf(shared, {"memberid", shared.fieldNames().last(), "cdfz"}).split(u',');
    QStringList expected{"3:0:2", "3:0:3", "0'12:2:4", "1:3:1"};
    if (!queries.sharedReadIsOrdered()) {
        found.sort();
        expected.sort();
    }
    EXPECT_EQ(found, expected);
    // No shared statement (each person is read by a query of its own) for a number with a
    // trailing blank, a comment or a second statement in the person's condition, or no persons.
    const std::pair<QStringList, const char*> unshared[] = {{{"3", "1 "}, ""},
                                                            {{"3"}, "cdfz>0 -- note"},
                                                            {{"3"}, "cdfz>0 /* note */"},
                                                            {{"3"}, "cdfz>0; select 1"},
                                                            {{}, ""}};
    for (const auto& [numbers, condition] : unshared)
        EXPECT_EQ(queries.periodQueryOfPersons(numbers, "2003-03-01", "2003-03-31", condition), "")
            << condition;
}

TALOR_BOTH_DATABASES(QueryRuns);

// The window with 生产部 selected and no employee.
struct View : SelectionView
{
    bool discardUnsavedData() override { return true; }
    std::optional<SelectedNode> selectedNode() const override { return node; }
    std::optional<EmployeeItem> selectedEmployee() const override { return employee; }
    int employeeCount() const override { return int(employees.size()); }
    void showEmployees(const QList<EmployeeItem>& items) override { employees = items; }
    bool sumChecked() const override { return sum; }
    void setLabel(int, const QString&) override {}
    void showListError(const QString& text) override { errors << text; }
    void showStatus(const QString& text) override { status = text; }

    SelectedNode node{"A生产部", "生产部", "示范公司", {}};
    QList<EmployeeItem> employees;
    std::optional<EmployeeItem> employee;
    QStringList errors;
    QString status;
    bool sum = false;
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
        exec("create table kq (memberid text, zhdate text, depart text, group0 text, team text, "
             "cdfz integer, cqgs real, bz text, primary key (memberid, zhdate))");
        // Day 15 stored with a time; the days just outside the period are not shown.
        exec(
            "insert into kq (memberid, zhdate, depart, cdfz, cqgs, bz) values "
            "('0001', '2026-09-30', 'D1', 100, 0, null), ('0001', '2026-10-01', 'D1', 1, 1.5, 'a'), "
            "('0001', '2026-10-15 08:00:00', 'D1', 2, 0, null), ('0001', '2026-10-31', 'D1', 4, 0.25, null), "
            "('0001', '2026-11-01', 'D1', 100, 0, null), ('0002', '2026-10-01', 'D1', 8, 0, null), "
            "('0003', '2026-10-01', 'D2', 16, 0, null)");
        fillSuite(suite, "kq");
        suite.db = db;
        suite.start = "2026-10-01", suite.end = "2026-10-31", suite.date = QDate(2026, 10, 1);
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
        db = suite.db = QSqlDatabase();
        QSqlDatabase::removeDatabase("clicks");
    }
    void exec(const QString& sql) { ASSERT_TRUE(QSqlQuery(db).exec(sql)) << sql.toStdString(); }
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
    SelectionClicks::Parts parts{suite, queryState, sheetState, employees, persons, columns, patterns, book};
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
        {"DayOfOneRecord", "2", false, false, 31, {{5, "||4|0.25|"}}, 5},
        {"PersonWithSumUnderHeadings", "1", true, true, 1, {{1, "||1|1.50|a"}, {3, "||4|0.25|"}, {4, "合计：||7|1.75|"}}, 4}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        book.active().clear();
        book.active().setLastColumn(5);
        book.active().setColumnHeading(1, c.headings ? "日期" : "");
        // A label of the cell layout in the last column: nothing is written beside it; one in the
        // last row of the header and the column before the last gets its value beside it.
        book.active().setPlainText(2, 5, c.headings ? "" : "日期：");
        book.active().setPlainText(4, 4, c.headings ? "" : "部门:");
        book.active().setPlainText(5, 5, "旧");
        suite.option = c.option;
        suite.date = QDate(2026, 10, c.day);
        view.sum = c.sum;
        SelectionClicks clicks(parts, view);
        c.headings ? clicks.showPerson("0001", "甲") : clicks.treeClick();
        // The records are left on the first, for editing and saving.
        EXPECT_EQ(std::tuple(book.active().lastRow(), book.active().lastColumn(), book.active().text(4, 5),
                             employees.eof()),
                  std::tuple(c.lastRow, 5, QString(c.headings ? "" : "生产部"), c.day == 2));
        for (const auto& [r, texts] : c.rows)
            EXPECT_EQ(row(r).toStdString(), texts) << "row " << r;
    }
    // A person without records over the period is named by their employee row, not by the person
    // shown before; one without a row there has no names.
    exec("create table ygzl (memberid text, depart text, group0 text, team text)");
    exec("insert into ygzl values ('0009', 'D1', 'G1', 'T1')");
    SelectionClicks shown(parts, view);
    QStringList names;
    for (const char* number : {"0003", "0009", "0008"}) {
        shown.showPerson(number, "无");
        names << suite.department + suite.group + suite.team;
    }
    EXPECT_EQ(names, QStringList({"O'Neill部", "生产部一组甲班", ""}));
    // What the list shows when the records cannot be read.
    EXPECT_EQ(SelectionClicks::listErrorText("select 1", "查询", 3), "bSQL:select 1 --- str2:查询 --- j:3");
}

// The persons' rows read a few persons at a time: each person gets exactly its own rows,
// whichever read holds it and in whatever order the persons are opened.
TEST_F(ClicksTest, SharedReadsHandEachPersonItsOwnRows)
{
    for (int n = 4; n <= 6; ++n)
        exec(QString("insert into kq (memberid, zhdate, depart, cdfz, cqgs, bz) values "
                     "('000%1', '2026-10-0%1', 'D1', %1, 0, null)")
                 .arg(n));
    RecordQueries queries(suite);
    const QStringList numbers{"0001", "0002", "0003", "0004", "0005", "0006", "0009"};
    PeriodRecords periods(queries, db, suite.start, suite.end, {}, true, 2);
    periods.setPersons(numbers + QStringList{"0002"});
    QStringList found;
    for (const int place : {0, 1, 2, 3, 4, 5, 6, 3, 1}) {
        const QString& number = numbers[place];
        Recordset records;
        periods.open(number, queries.periodQuery(number, suite.start, suite.end, {}), records);
        found << rowsOf(records, {"memberid", "cdfz"});
    }
    EXPECT_EQ(found.join(" ").toStdString(),
              "0001:1,0001:2,0001:4 0002:8 0003:16 0004:4 0005:5 0006:6  0004:4 0002:8");
    EXPECT_EQ(periods.sharedCount(), 9);

    // A person whose rows repeat a day, any day (a table without a key), reads their own rows, in the
    // order their own query gives them; the others' rows are still shared.
    exec("create table kqdup as select * from kq");
    exec("insert into kqdup (memberid, zhdate, depart, cdfz) values ('0002', '2026-10-01', 'D1', 9), "
         "('0002', '2026-10-05', 'D1', 10)");
    fillSuite(suite, "kqdup");
    RecordQueries dupQueries(suite);
    PeriodRecords dups(dupQueries, db, suite.start, suite.end, {}, true, 2);
    dups.setPersons({"0002", "0003"});
    for (const QString number : {"0002", "0003"}) {
        Recordset records;
        dups.open(number, dupQueries.periodQuery(number, suite.start, suite.end, {}), records);
    }
    EXPECT_EQ(dups.sharedCount(), 1);

    // Days stored out of their order (found through an index of the numbers alone, in the
    // order the table holds them) are handed out in order, still from the shared read.
    exec("create table kqlate as select * from kq where 0");
    exec("create index kqlate_memberid on kqlate (memberid)");
    exec("insert into kqlate (memberid, zhdate, depart, cdfz) values ('0001', '2026-10-03', 'D1', 3), "
         "('0001', '2026-10-01', 'D1', 1), ('0001', '2026-10-02', 'D1', 2)");
    fillSuite(suite, "kqlate");
    RecordQueries lateQueries(suite);
    PeriodRecords late(lateQueries, db, suite.start, suite.end, {}, true, 2);
    late.setPersons({"0001"});
    Recordset lateRecords;
    late.open("0001", lateQueries.periodQuery("0001", suite.start, suite.end, {}), lateRecords);
    EXPECT_EQ(std::pair(rowsOf(lateRecords, {"cdfz"}), late.sharedCount()), std::pair(QString("1,2,3"), 1));

    // A shared read holds about 16,000 rows at most: 500 persons of a month, fewer of a longer
    // period.
    const std::pair<const char*, const char*> lengths[] = {
        {"2026-10-01", "2026-10-31"}, {"2026-10-01", "2026-11-01"}, {"2026-01-01", "2026-12-31"},
        {"2026-10-01", "2026-10-01"}, {"2026-01-01", "2069-12-31"}, {"2026-10-31", "2026-10-01"},
        {"x", "2026-10-31"},          {"2026-01-01", "2026-04-10"}, {"2026-10-02", "2026-10-01"}};
    found.clear();
    for (const auto& [start, end] : lengths)
        found << QString::number(PeriodRecords::personsPerRead(start, end));
    EXPECT_EQ(found.join(',').toStdString(), "500,500,43,500,1,500,500,160,500");
}

// The abnormal overview read from the demo suite, on SQLite and on PostgreSQL: its counts per
// day, per person and in all against the marked rows counted in the database by a query of
// the test's own (the node's persons by their stored department, code or name).

class AbnormalOverviewCounts : public test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        suite = std::make_unique<LocalSuite>(test::demoSuiteConfig(
            temporaryPath() + "/demo", DemoOptions{.employees = 60, .progress = {}}, db(), server()));
        suite->setCurrentTable("KQ0001");
        state.SuiteFilter = suite->filterText();
    }
    void TearDown() override
    {
        suite.reset();
        DatabaseTest::TearDown();
    }

    // Marked rows of October `first`..`last` of the persons `persons` selects from ygzl, counted
    // per day, per person and in all.
    using Counts = std::tuple<QMap<QString, int>, QMap<QString, int>, int>;
    Counts counted(const QString& persons, int first, int last)
    {
        QSqlQuery query(suite->connection());
        EXPECT_TRUE(query.exec(QString("select zhdate, memberid from KQ0001 where ncolor between 1 and 3 and "
                                       "zhdate between '2026-10-%1' and '2026-10-%2' and memberid in (%3)")
                                   .arg(first, 2, 10, QChar('0'))
                                   .arg(last)
                                   .arg(persons)))
            << query.lastError().text().toStdString();
        Counts counts;
        while (query.next()) {
            ++std::get<0>(counts)[query.value(0).toDate().toString(Qt::ISODate)];
            ++std::get<1>(counts)[query.value(1).toString()];
            ++std::get<2>(counts);
        }
        return counts;
    }

    std::unique_ptr<LocalSuite> suite;
    QueryState state;
};

TEST_P(AbnormalOverviewCounts, CountsAreTheMarkedRowsOfTheNodesPersonsForOneDayToTheLongestPeriod)
{
    const QString production =
        "select memberid from ygzl where depart in ('生产部', (select code from zdcode "
        "where category='部门' and name='生产部'))";
    // The whole month, and working days at both ends (marked rows on the first and last day).
    const std::tuple<SelectedNode, QString, int, int> cases[] = {
        {{"A生产部", "生产部", {}, {}}, production, 1, 31},
        {{"ROOT", QString::fromUtf8(DemoSuite::Organisation), {}, {}}, "select memberid from ygzl", 8, 30}};
    for (const auto& [node, persons, first, last] : cases) {
        SCOPED_TRACE(node.key.toStdString());
        const AbnormalOverview overview =
            AbnormalOverviewReader(*suite, state).read(node, QDate(2026, 10, first), QDate(2026, 10, last));
        ASSERT_EQ(overview.days.size(), size_t(last - first + 1));

        Counts shown{{}, {}, overview.total};
        for (size_t d = 0; d < overview.days.size(); ++d)
            if (overview.dayCounts[d] > 0)
                std::get<0>(shown).insert(overview.days[d].toString(Qt::ISODate), overview.dayCounts[d]);
        for (size_t p = 0; p < overview.persons.size(); ++p)
            if (overview.personCounts[p] > 0)
                std::get<1>(shown).insert(overview.persons[p].number, overview.personCounts[p]);
        int listed = 0;
        for (QSqlQuery query(persons, suite->connection()); query.next();)
            ++listed;
        EXPECT_EQ(std::tuple(shown, int(overview.persons.size()), overview.total > 0),
                  std::tuple(counted(persons, first, last), listed, true));
        // Each person with the name on file.
        QSqlQuery named("select name from ygzl where memberid='" + overview.persons.back().number + "'",
                        suite->connection());
        EXPECT_EQ(named.next() ? named.value(0).toString() : QString(), overview.persons.back().name);
    }

    // From one day to a quarter: a reversed, longer or startless period is refused before any query.
    AbnormalOverviewReader reader(*suite, state);
    const SelectedNode root{"ROOT", QString::fromUtf8(DemoSuite::Organisation), {}, {}};
    const QDate first(2026, 10, 1);
    const int longest = AbnormalOverviewReader::MaxDays;
    EXPECT_EQ(reader.read(root, first, first).days.size(), 1u);
    EXPECT_EQ(reader.read(root, first, first.addDays(longest - 1)).days.size(), size_t(longest));
    for (const auto& [from, to] :
         {std::pair(first, first.addDays(longest)), {first, first.addDays(-1)}, {QDate(), first}})
        EXPECT_THROW(reader.read(root, from, to), std::invalid_argument);
}

TALOR_BOTH_DATABASES(AbnormalOverviewCounts);

} // namespace
