// LocalSuite over the demo tables, on SQLite and PostgreSQL: lookups, lists, a connection opened
// again; and the default period.
#include "suite/LocalSuite.h"

#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "suite/SuiteConfig.h"
#include "support/ErrorText.h"
#include "support/SizeLimit.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <memory>

using namespace talor;
using talor::test::containsAll;
using talor::test::DatabaseKind;
using talor::test::errorText;
using talor::test::fileBytes;
using talor::test::putFile;

namespace {

QString writeConfig(const QString& directory, const QString& databaseSection)
{
    putFile(directory + "/suite.ini", ("[database]\n" + databaseSection +
                                       "\n[suite]\ndatabaseKind=2\norganisation=示范公司\n"
                                       "operator=张三\nmoduleKey=考勤日报\nscope=出勤\nfilter=F\n"
                                       "allowedMenus=,工资计算,\ncurrentTable=KQ0001\n[paths]\n"
                                       "settingsFile=talor.ini\nsecondFile=suite2.ini\n[guard]\n"
                                       "lockSwitch=1\ncodePrefix=TALOR-\naccessCode=TALOR-8888\n")
                                          .toUtf8());
    return directory + "/suite.ini";
}

} // namespace

class LocalSuiteTest : public talor::test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        DemoSuite::fillDatabase(db(), DemoOptions{30, 5, QDate(2026, 10, 1), 7, {}});
        QString section = "kind=sqlite\nfile=" + sqliteFile();
        if (kind() == DatabaseKind::Postgres) {
            const PostgresServer s = postgresServer();
            section = "kind=postgresql\nhost=" + s.host + "\nport=" + QString::number(s.port) +
                      "\nname=" + s.database + "\nuser=" + s.user + "\npassword=" + s.password;
        }
        m_suite = std::make_unique<LocalSuite>(writeConfig(temporaryPath(), section));
    }
    void TearDown() override
    {
        m_suite.reset();
        DatabaseTest::TearDown();
    }

    LocalSuite& suite() { return *m_suite; }

private:
    std::unique_ptr<LocalSuite> m_suite;
};

TEST_P(LocalSuiteTest, TableFieldAndCodeLookupsKeptUntilReloaded)
{
    LocalSuite& s = suite();
    // The table catalogue both ways (a code in any case, blanks around it); its root is no table;
    // quotes are bound, not spliced.
    EXPECT_EQ(QStringList({s.tableLookup("考勤日报表", ""), s.tableLookup("", " kq0002 "),
                           s.tableLookup("没有这张表", ""), s.tableLookup("", "XX9999"),
                           s.tableLookup("", ""), s.tableLookup("数据库", ""), s.tableLookup("", "DATABASE"),
                           s.tableLookup("", "database"), s.tableLookup("x' or '1'='1", "")}),
              QStringList({"KQ0001", "加班记录", "", "", "", "", "", "", ""}));
    // The field dictionary of the current table (field names in any case, blanks around them);
    // unknown fields and captions answer with the empty text.
    EXPECT_EQ(QStringList({s.fieldCaption(" CQGS "), s.fieldType("cqgs"), s.fieldFormat("cqgs"),
                           s.fieldCaption("nCOLOR"), s.fieldName("出勤工时"), s.fieldName("部门"),
                           s.fieldCaption("nosuchfield"), s.fieldType("nosuchfield"),
                           s.fieldFormat("nosuchfield"), s.fieldName("没有的项目"), s.fieldCaption("")}),
              QStringList({"出勤工时", "D", "#0.0", "异常标志", "cqgs", "depart", "", "", "", "", ""}));
    EXPECT_EQ(std::tuple(s.fieldCodeKind("banci"), s.fieldCodeKind("team"), s.fieldCodeKind("nosuchfield")),
              std::tuple(3, 1, 0));
    // Entries for every table apply to each table without its own; a table's own entry wins;
    // the shift table has no zhdate (the set-up dialog leaves it out), the overtime table no
    // nCOLOR (its rows are not coloured); a table's code may come with blanks around it.
    EXPECT_EQ(QStringList({s.fieldCaption("memberid", "KQ0002"), s.fieldCaption("zhdate", "KQ0002"),
                           s.fieldCaption("zhdate", "BC0001"), s.fieldCaption("name", "bc0001"),
                           s.fieldCaption("name", "KQ0001"), s.fieldName("姓名", "BC0001"),
                           s.fieldCaption("nCOLOR", "KQ0002"), s.fieldCaption("nCOLOR", " kq0001 ")}),
              QStringList({"工号", "日期", "", "班次名称", "姓名", "", "", "异常标志"}));
    // Code lookups both ways, scoped by category, department and group; a value stored as the
    // plain name decodes to itself.
    EXPECT_EQ(
        QStringList({s.categoryName("部门", "01"), s.categoryCode("部门", "生产部"),
                     s.categoryName("班次", "03"), s.categoryCode("请假类别", "病假"),
                     s.groupName("生产部", "02"), s.groupCode("生产部", "装配二组"),
                     s.groupName("技术部", "02"), s.teamName("生产部", "装配二组", "3"),
                     s.teamCode("生产部", "装配二组", "丙班"),
                     s.departmentCode(s.fieldCaption("depart"), "财务部"), s.departmentCode("", "财务部")}),
        QStringList({"生产部", "01", "夜班", "2", "装配二组", "02", "工艺组", "丙班", "3", "03", "03"}));
    EXPECT_EQ(QStringList({s.categoryName("部门", "生产部"), s.groupName("生产部", "装配二组"),
                           s.teamName("生产部", "装配二组", "丙班"), s.categoryName("部门", "99"),
                           s.categoryName("部门", ""), s.categoryCode("部门", "不存在部"),
                           s.groupName("", "01"), s.groupCode("财务部", "装配二组"),
                           s.teamName("生产部", "质检组", "3"), s.departmentCode("部门", "O'Neill")}),
              QStringList({"生产部", "装配二组", "丙班", "", "", "", "", "", "", ""}));
    // An empty table means the current table, which can change.
    s.setCurrentTable("KQ0002");
    EXPECT_EQ(s.fieldCaption("jblb") + "|" + s.fieldCaption("cqgs"), "加班类别|");

    // The dictionary is kept until reloaded.
    s.setCurrentTable("KQ0001");
    exec("update zdfield set caption='说明' where tablecode='KQ0001' and fieldname='bz'");
    exec("update zdcode set name='制造部' where category='部门' and code='01'");
    EXPECT_EQ(s.fieldCaption("bz") + "|" + s.categoryName("部门", "01"), "备注|生产部");
    s.reloadDictionary();
    EXPECT_EQ(s.fieldCaption("bz") + "|" + s.categoryName("部门", "01"), "说明|制造部");

    // Of two fields of one caption the first by name answers to it, of two codes of one name the
    // first by code; an empty caption names none, nor is it listed as hidden; a type letter comes
    // without the blanks stored after it.
    exec("insert into zdfield (tablecode, fieldname, caption, ftype, fformat, codekind, hidden, unsaved, "
         "pickorder) values ('KQ0001', 'zz2', '重复', 'S', '', 0, 0, 0, 0), "
         "('KQ0001', 'zz1', '重复', 'S', '', 0, 0, 0, 0), ('KQ0001', 'zz0', '', 'S ', '', 0, 1, 0, 0)");
    exec("insert into zdcode (category, code, name) values ('班次', '09', '夜班')");
    s.reloadDictionary();
    EXPECT_EQ(s.fieldName("重复") + "|" + s.fieldName("") + "|" + s.fieldType("zz0") + "|" +
                  s.categoryCode("班次", "夜班") + "|" + s.hiddenFields(),
              "zz1||S|03|打卡记录");
}

TEST_P(LocalSuiteTest, ListsIdentityPaddingAndZeroFill)
{
    LocalSuite& s = suite();
    // The hidden and the unsaved captions, sorted; the picker: the table's title, then the
    // captions by their pick order, those without one left out.
    EXPECT_EQ(s.hiddenFields() + "|" + s.unsavedFields(), "打卡记录|姓名,工号,异常标志,打卡记录,操作员,日期");
    EXPECT_EQ(s.fieldPickerList(),
              QStringList({"考勤日报表", "工号", "姓名", "部门", "班组", "小组", "日期", "班次", "上班时间",
                           "下班时间", "迟到分钟", "早退分钟", "出勤工时", "加班工时", "旷工工时", "请假类别",
                           "补休日期", "备注"}));

    s.setCurrentTable("");
    EXPECT_EQ(s.fieldPickerList().at(0), "项目");

    // The operator, the report (at first the module key) and the lock come from the configuration;
    // without dates there, the report date is today and the period the current month.
    // The suite took today when it opened: yesterday by now if the run crossed midnight since.
    const QDate reportDate = s.reportDate();
    const qint64 daysSince = reportDate.daysTo(QDate::currentDate());
    EXPECT_EQ(std::tuple(s.operatorName(), s.action("查询"), s.reportKey(), s.lockSwitch(),
                         daysSince == 0 || daysSince == 1, std::pair(s.periodStart(), s.periodEnd())),
              std::tuple(QString("张三"), QString("张三 查询"), QString("考勤日报"), 1, true,
                         LocalSuite::defaultPeriod(reportDate)));
    EXPECT_EQ(s.actions(), QStringList{"查询"});
    EXPECT_EQ(QStringList({s.pad(6, "KQ01", " "), s.pad(2, "KQ0001", " "), s.pad(4, "a", ""),
                           s.zeroFill(42, 5, "0"), s.zeroFill(42, 5, "*"), s.zeroFill(123456, 3, "0")}),
              QStringList({"KQ01  ", "KQ0001", "a   ", "00042", "***42", "123456"}));
}

// A closed connection is opened again, but not under an open transaction: what that had
// written went with the connection, and a new one would hide the loss. A lookup that fails
// names the database.
TEST_P(LocalSuiteTest, AClosedConnectionOpensAgainOutsideATransactionOnlyAndAFailingLookupNamesTheDatabase)
{
    {
        TransactionScope scope(suite().connection());
        suite().connection().close();
        EXPECT_FALSE(suite().connection().isOpen());
    }
    EXPECT_TRUE(suite().connection().isOpen());
    const QString database =
        kind() == DatabaseKind::Sqlite
            ? sqliteFile()
            : QStringLiteral("%1:%2").arg(postgresServer().host).arg(postgresServer().port);
    for (const char* table : {"zdcode", "zdb1", "zdfield"})
        exec(QString("drop table ") + table);
    for (const QString& message : {errorText<SuiteError>([&] { suite().categoryName("部门", "01"); }),
                                   errorText<SuiteError>([&] { suite().tableLookup("", "KQ0001"); })})
        EXPECT_TRUE(message.contains(database)) << message.toStdString();
    // A suite opened on it now is refused as no suite, on either engine, naming it as well.
    EXPECT_TRUE(containsAll(errorText<SuiteError>([&] { LocalSuite(temporaryPath() + "/suite.ini"); }),
                            {database, "is not a suite database"}));
}

TALOR_BOTH_DATABASES(LocalSuiteTest);

// Without configured values the period is the current month: its first and last day.
TEST(LocalSuitePeriod, DefaultPeriodIsTheWholeMonth)
{
    // clang-format off
    const std::tuple<QDate, const char*, const char*> cases[] = {{QDate(2026, 1, 31), "2026-01-01", "2026-01-31"},
        {QDate(2024, 2, 10), "2024-02-01", "2024-02-29"}, {QDate(2026, 12, 31), "2026-12-01", "2026-12-31"}};
    // clang-format on
    for (const auto& [today, start, end] : cases)
        EXPECT_EQ(LocalSuite::defaultPeriod(today), std::pair(QString(start), QString(end)))
            << today.toString().toStdString();
}
