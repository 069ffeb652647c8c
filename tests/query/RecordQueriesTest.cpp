#include "query/RecordQueries.h"

#include "db/Recordset.h"
#include "query/PeriodRecords.h"
#include "support/ErrorText.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

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

const SelectedNode Root{"ROOT", "示范公司", {}, {}};
const SelectedNode Dept{"A生产部", "生产部", "示范公司", {}};
const SelectedNode Team{"C生产部一组甲班", "甲班", "一组", "生产部"};
const SelectedNode Quote{"AO'Neill部", "O'Neill部", "示范公司", {}};

// The composed texts of SQL0, SQL1 and the period query: the select part of the builder, then
// the where part (left in the suite by SQL0 and SQL1) and the order.
TEST(QueryTexts, ComposeAndLeaveThePiecesInTheSuite)
{
    const SelectedNode group{"B生产部一组", "一组", "生产部", "示范公司"};
    const char *byMember = " order by memberid", *byDate = " order by zhdate",
               *byPlace = " order by depart,group0,team,memberid";
    // The window's condition is SQL0's suite filter; SQL1 reads the suite's own filter.
    // clang-format off
    const struct { const char* builder; SelectedNode node; const char *kind, *suiteFilter, *condition, *where, *order; } cases[] = {
        {"SQL0", Root, "2", "", "", "", byPlace},
        {"SQL0", Root, "2", "", "X", " where X", byPlace},
        {"SQL0", Dept, "2", "", "", " where (depart='D1' or depart='生产部')", byMember},
        {"SQL0", Dept, "2", "", "zt='在职'", " where (depart='D1' or depart='生产部') and zt='在职'", byMember},
        {"SQL0", group, "2", "", "", " where (depart='D1' or depart='生产部') and (group0='G1' or group0='一组')", byMember},
        {"SQL0", Team, "2", "", "", " where (depart='D1' or depart='生产部') and (group0='G1' or group0='一组') and (team='T1' or team='甲班')", byMember},
        {"SQL0", Quote, "2", "", "", " where (depart='D2' or depart='O''Neill部')", byMember},
        {"SQL1", Root, "1", "", "", " where zhdate=#2003-03-05#", byMember},
        {"SQL1", Root, "", "", "", " where zhdate=#2003-03-05#", byMember},
        {"SQL1", Root, "2", "", "C", " where zhdate='2003-03-05' and C", byMember},
        {"SQL1", Dept, "2", "F", "C", " where zhdate='2003-03-05' and (depart='D1' or depart='生产部') and F and C", byMember},
        {"period", {"0012", {}, {}, {}}, "2", "", "", " where memberid='0012' and zhdate>='2008-12-01' and zhdate<='2008-12-31'", byDate},
        {"period", {"0012", {}, {}, {}}, "0", "", "", " where memberid='0012' and zhdate>=#2008-12-01# and zhdate<=#2008-12-31#", byDate},
        {"period", {"0'12", {}, {}, {}}, "2", "", "cdfz>0", " where memberid='0''12' and zhdate>='2008-12-01' and zhdate<='2008-12-31' and cdfz>0", byDate}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        FakeSuite suite;
        fillSuite(suite, "KQ01");
        suite.dbKind = c.kind;
        suite.filter = c.suiteFilter;
        RecordQueries queries(suite);
        const QString builder = c.builder;
        const QString sql = builder == "SQL0" ? queries.SQL0(c.node, c.condition)
                            : builder == "SQL1"
                                ? queries.SQL1(c.node, c.condition)
                                : queries.periodQuery(c.node.key, "2008-12-01", "2008-12-31", c.condition);
        const QString from = builder == "SQL0" ? "select * from YGZL" : "select * from KQ01";
        EXPECT_EQ(std::tuple(sql, suite.composedQuery()),
                  std::tuple(from + QString::fromUtf8(c.where) + c.order, sql));
        if (builder != "period") {
            EXPECT_EQ(
                std::tuple(suite.selectPart() + suite.fromPart() + suite.wherePart() + suite.orderPart(),
                           suite.wherePart()),
                std::tuple(sql, QString::fromUtf8(c.where)));
        }
    }
}

// The table code is pasted after "from": one the catalogue does not hold, or anything but a
// plain name, is refused by every builder that reads it, naming the code.
TEST(QueryTables, OnlyATableOfTheCatalogueIsRead)
{
    FakeSuite suite;
    suite.tableCaptions = {{"kq01", "考勤日报"}, {"kq01 where 1=1; delete from ygzl; --", "伪造"}};
    RecordQueries queries(suite);
    for (const char* code : {"kq02", "", "kq01 where 1=1; delete from ygzl; --"}) {
        SCOPED_TRACE(code);
        suite.current = code;
        const std::function<void()> builders[] = {
            [&] { queries.SQL1(Root, {}); },
            [&] { queries.periodQuery("1", "2003-03-01", "2003-03-31", {}); },
            [&] {
                queries.periodQueryOfPersons({"1"}, "2003-03-01", "2003-03-31", {});
            }};
        for (const auto& builder : builders)
            EXPECT_TRUE(talor::test::errorText<DatabaseError>(builder).contains(QString::fromUtf8(code)));
    }
    suite.current = "kq01";
    EXPECT_TRUE(queries.SQL1(Root, {}).startsWith("select * from kq01 where"));

    // A name or number that was not valid UTF-8 would find only some of its records: refused.
    const SelectedNode unreadable{"A生\uFFFD产部", "生\uFFFD产部", "示范公司", {}};
    for (const auto& builder : std::initializer_list<std::function<void()>>{
             [&] { queries.SQL0(unreadable, {}); }, [&] { queries.SQL1(unreadable, {}); },
             [&] {
                 queries.periodQuery("0\uFFFD1", "2003-03-01", "2003-03-31", {});
             }})
        EXPECT_TRUE(talor::test::errorText<DatabaseError>(builder).contains("UTF-8"));
    EXPECT_EQ(queries.periodQueryOfPersons({"1", "0\uFFFD1"}, "2003-03-01", "2003-03-31", {}), "");
}

// A shared read of a period holds about 16,000 rows at most: 500 persons of a month, fewer of
// a longer period.
TEST(PeriodReads, PersonsPerReadByThePeriodsLength)
{
    const std::pair<const char*, const char*> periods[] = {
        {"2026-10-01", "2026-10-31"}, {"2026-10-01", "2026-11-01"}, {"2026-01-01", "2026-12-31"},
        {"2026-10-01", "2026-10-01"}, {"2026-01-01", "2069-12-31"}, {"2026-10-31", "2026-10-01"},
        {"x", "2026-10-31"},          {"2026-01-01", "2026-04-10"}, {"2026-10-02", "2026-10-01"}};
    QStringList found;
    for (const auto& [start, end] : periods)
        found << QString::number(PeriodRecords::personsPerRead(start, end));
    EXPECT_EQ(found.join(',').toStdString(), "500,500,43,500,1,500,500,160,500");
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
        QStringList found;
        for (; !records.eof(); records.moveNext())
            found << records.text("memberid");
        return found.join(",").toStdString();
    };
    // The root is ordered by department first.
    EXPECT_EQ(
        (std::vector<std::string>{members(queries.SQL0(Team, {})), members(queries.SQL0(Quote, {})),
                                  members(queries.SQL0(Root, {})), members(queries.SQL1(Dept, "cdfz>=0")),
                                  members(queries.SQL1(Quote, {})),
                                  members(queries.periodQuery("3", "2003-03-01", "2003-03-31", "cdfz>2")),
                                  members(queries.periodQuery("0'12", "2003-03-05", "2003-03-05", {}))}),
        (std::vector<std::string>{"1,2", "3", "1,3,4,2", "1,2", "3", "3", "0'12"}));

    // Several persons' periods in one statement: each row followed by its person's place.
    const QString before = suite.composedQuery();
    Recordset shared;
    shared.open(queries.periodQueryOfPersons({"3", "9", "0'12", "1"}, "2003-03-05", "2003-03-06", "cdfz>=1"),
                db());
    QStringList rows;
    for (; !shared.eof(); shared.moveNext())
        rows << shared.text("memberid") + "@" + shared.text(shared.fieldNames().last()) + ":" +
                    shared.text("cdfz");
    EXPECT_EQ(rows.join(",").toStdString(), "3@0:2,3@0:3,0'12@2:4,1@3:1");
    EXPECT_EQ(suite.composedQuery(), before) << "the suite's texts are the persons' own queries'";
    EXPECT_EQ(queries.periodQueryOfPersons({"3", "1 "}, "2003-03-01", "2003-03-31", {}), "");
    EXPECT_EQ(queries.periodQueryOfPersons({"3"}, "2003-03-01", "2003-03-31", "cdfz>0 -- note"), "");
    EXPECT_EQ(queries.periodQueryOfPersons({}, "2003-03-01", "2003-03-31", {}), "");
}

TALOR_BOTH_DATABASES(QueryRuns);

} // namespace
