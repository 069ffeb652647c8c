// LocalSuite over the demo tables, on SQLite and PostgreSQL: lookups, dictionary, settings,
// shared values; and the errors of a suite that cannot be opened.
#include "suite/LocalSuite.h"

#include "suite/DemoSuite.h"
#include "support/TestDatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace talor;
using talor::test::DatabaseKind;

namespace {

QString writeConfig(const QString& directory, const QString& databaseSection, const QString& extra = {})
{
    const QString path = directory + "/suite.ini";
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(("[database]\n" + databaseSection +
                "\n[suite]\ndatabaseKind=2\norganisation=示范公司\n"
                "operator=张三\nmoduleKey=考勤日报\nscope=出勤\nfilter=F\nallowedMenus=,工资计算,\n"
                "currentTable=KQ0001\n[paths]\nsettingsFile=talor.ini\nsecondFile=suite2.ini\n"
                "[guard]\nlockSwitch=1\ncodePrefix=TALOR-\naccessCode=TALOR-8888\n" +
                extra)
                   .toUtf8());
    return path;
}

// Qt loads SQL drivers only with an application object; the database tests make one, the
// tests below may run first.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "suite_localsuite";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

QString suiteError(const std::function<void()>& call)
{
    ensureApplication();
    try {
        call();
    } catch (const SuiteError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class LocalSuiteTest : public talor::test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        DemoOptions options;
        options.employees = 30;
        options.days = 5;
        options.seed = 7;
        DemoSuite::fillDatabase(db(), options);
        QString section;
        if (kind() == DatabaseKind::Sqlite) {
            section = "kind=sqlite\nfile=" + sqliteFile();
        } else {
            const PostgresServer server = postgresServer();
            section = QStringLiteral("kind=postgresql\nhost=%1\nport=%2\nname=%3\nuser=%4\npassword=%5")
                          .arg(server.host)
                          .arg(server.port)
                          .arg(server.database, server.user, server.password);
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

TEST_P(LocalSuiteTest, IdentityAndPathsComeFromTheConfiguration)
{
    EXPECT_EQ(suite().organisationName(), "示范公司");
    EXPECT_EQ(suite().operatorName(), "张三");
    EXPECT_EQ(suite().moduleKey(), "考勤日报");
    EXPECT_EQ(suite().reportKey(), "考勤日报");
    EXPECT_EQ(suite().scopeText(), "出勤");
    EXPECT_EQ(suite().filterText(), "F");
    EXPECT_EQ(suite().databaseKind(), "2");
    EXPECT_EQ(suite().currentTable(), "KQ0001");
    EXPECT_EQ(suite().allowedMenus(), ",工资计算,");
    EXPECT_EQ(suite().settingsDirectory(), QDir(temporaryPath()).absolutePath());
    EXPECT_EQ(suite().settingsFileName(), "talor.ini");
    EXPECT_EQ(suite().lockSwitch(), 1);
    EXPECT_EQ(suite().codePrefix(), "TALOR-");
    EXPECT_EQ(suite().accessCode(), "TALOR-8888");
    EXPECT_TRUE(suite().connection().isOpen());
}

TEST_P(LocalSuiteTest, TableLookupBothWays)
{
    EXPECT_EQ(suite().tableLookup("考勤日报表", ""), "KQ0001");
    EXPECT_EQ(suite().tableLookup("", "KQ0002"), "加班记录");
    EXPECT_EQ(suite().tableLookup("", "kq0002"), "加班记录");
    EXPECT_EQ(suite().tableLookup("没有这张表", ""), "");
    EXPECT_EQ(suite().tableLookup("", "XX9999"), "");
    EXPECT_EQ(suite().tableLookup("", ""), "");
    // The catalogue root is no table.
    EXPECT_EQ(suite().tableLookup("数据库", ""), "");
    // Quotes in the caption are bound, not spliced.
    EXPECT_EQ(suite().tableLookup("x' or '1'='1", ""), "");
}

TEST_P(LocalSuiteTest, FieldDictionaryOfTheCurrentTable)
{
    EXPECT_EQ(suite().fieldCaption("cqgs"), "出勤工时");
    EXPECT_EQ(suite().fieldCaption("CQGS"), "出勤工时");
    EXPECT_EQ(suite().fieldType("cqgs"), "D");
    EXPECT_EQ(suite().fieldFormat("cqgs"), "#0.0");
    EXPECT_EQ(suite().fieldType("sbsj"), "Y");
    EXPECT_EQ(suite().fieldType("bxrq"), "T");
    EXPECT_EQ(suite().fieldType("cdfz"), "I");
    EXPECT_EQ(suite().fieldCodeKind("banci"), 3);
    EXPECT_EQ(suite().fieldCodeKind("team"), 1);
    EXPECT_EQ(suite().fieldCodeKind("group0"), 2);
    EXPECT_EQ(suite().fieldCodeKind("depart"), 3);
    EXPECT_EQ(suite().fieldCodeKind("bz"), 0);
    EXPECT_EQ(suite().fieldCaption("nCOLOR"), "异常标志");
    EXPECT_EQ(suite().fieldName("出勤工时"), "cqgs");
    EXPECT_EQ(suite().fieldName("部门"), "depart");
    // Unknown fields and captions answer with the empty text.
    EXPECT_EQ(suite().fieldCaption("nosuchfield"), "");
    EXPECT_EQ(suite().fieldType("nosuchfield"), "");
    EXPECT_EQ(suite().fieldFormat("nosuchfield"), "");
    EXPECT_EQ(suite().fieldCodeKind("nosuchfield"), 0);
    EXPECT_EQ(suite().fieldName("没有的项目"), "");
    EXPECT_EQ(suite().fieldCaption(""), "");
}

TEST_P(LocalSuiteTest, FieldEntriesPerTableAndForEveryTable)
{
    // Entries for every table apply to each table without its own.
    EXPECT_EQ(suite().fieldCaption("memberid", "KQ0002"), "工号");
    EXPECT_EQ(suite().fieldCaption("zhdate", "KQ0002"), "日期");
    EXPECT_EQ(suite().fieldCaption("memberid", "BC0001"), "工号");
    // The shift table has no zhdate: the set-up dialog leaves it out.
    EXPECT_EQ(suite().fieldCaption("zhdate", "BC0001"), "");
    EXPECT_EQ(suite().fieldCaption("zhdate", "YGZL"), "");
    // A table's own entry wins over the common one, both ways.
    EXPECT_EQ(suite().fieldCaption("name", "BC0001"), "班次名称");
    EXPECT_EQ(suite().fieldCaption("name", "KQ0001"), "姓名");
    EXPECT_EQ(suite().fieldName("姓名", "BC0001"), "");
    EXPECT_EQ(suite().fieldCaption("name", "bc0001"), "班次名称");
    // The overtime table has no nCOLOR entry: its rows are not coloured.
    EXPECT_EQ(suite().fieldCaption("nCOLOR", "KQ0002"), "");
    // An empty table means the current table, which can change.
    suite().setCurrentTable("KQ0002");
    EXPECT_EQ(suite().fieldCaption("jblb"), "加班类别");
    EXPECT_EQ(suite().fieldCaption("cqgs"), "");
}

TEST_P(LocalSuiteTest, HiddenUnsavedAndPickerLists)
{
    EXPECT_EQ(suite().hiddenFields(), "打卡记录");
    const QString unsaved = suite().unsavedFields();
    for (const char* caption : {"工号", "姓名", "日期", "操作员", "异常标志", "打卡记录"})
        EXPECT_TRUE(unsaved.contains(QString::fromUtf8(caption))) << caption;
    EXPECT_FALSE(unsaved.contains("出勤工时"));

    const QStringList picker = suite().fieldPickerList();
    ASSERT_GE(picker.size(), 10);
    EXPECT_EQ(picker.at(0), "考勤日报表");
    EXPECT_EQ(picker.at(1), "工号");
    EXPECT_EQ(picker.at(2), "姓名");
    EXPECT_TRUE(picker.contains("出勤工时"));
    EXPECT_FALSE(picker.contains("打卡记录"));
    EXPECT_FALSE(picker.contains("加班类别"));

    suite().setCurrentTable("");
    EXPECT_EQ(suite().fieldPickerList().at(0), "项目");
}

TEST_P(LocalSuiteTest, CodeLookupsBothWays)
{
    EXPECT_EQ(suite().categoryName("部门", "01"), "生产部");
    EXPECT_EQ(suite().categoryCode("部门", "生产部"), "01");
    EXPECT_EQ(suite().categoryName("班次", "03"), "夜班");
    EXPECT_EQ(suite().categoryCode("请假类别", "病假"), "2");
    EXPECT_EQ(suite().groupName("生产部", "02"), "装配二组");
    EXPECT_EQ(suite().groupCode("生产部", "装配二组"), "02");
    EXPECT_EQ(suite().groupName("技术部", "02"), "工艺组");
    EXPECT_EQ(suite().teamName("生产部", "装配二组", "3"), "丙班");
    EXPECT_EQ(suite().teamCode("生产部", "装配二组", "丙班"), "3");
    EXPECT_EQ(suite().teamCode("销售部", "华南组", "深圳小组"), "2");
    EXPECT_EQ(suite().departmentCode(suite().fieldCaption("depart"), "财务部"), "03");
    EXPECT_EQ(suite().departmentCode("", "财务部"), "03");
}

TEST_P(LocalSuiteTest, CodeLookupsAcceptPlainNamesAndAnswerEmptyForUnknown)
{
    // Rows hold either the code or the plain name; decoding a plain name gives it back.
    EXPECT_EQ(suite().categoryName("部门", "生产部"), "生产部");
    EXPECT_EQ(suite().groupName("生产部", "装配二组"), "装配二组");
    EXPECT_EQ(suite().teamName("生产部", "装配二组", "丙班"), "丙班");

    EXPECT_EQ(suite().categoryName("部门", "99"), "");
    EXPECT_EQ(suite().categoryName("没有的类别", "01"), "");
    EXPECT_EQ(suite().categoryName("部门", ""), "");
    EXPECT_EQ(suite().categoryCode("部门", "不存在部"), "");
    EXPECT_EQ(suite().groupName("生产部", "99"), "");
    EXPECT_EQ(suite().groupName("", "01"), "");
    EXPECT_EQ(suite().groupCode("财务部", "装配二组"), "");
    EXPECT_EQ(suite().teamName("生产部", "质检组", "3"), "");
    EXPECT_EQ(suite().teamCode("生产部", "装配二组", "丁班"), "");
    EXPECT_EQ(suite().departmentCode("部门", "O'Neill"), "");
}

TEST_P(LocalSuiteTest, DictionaryIsCachedUntilReloaded)
{
    EXPECT_EQ(suite().fieldCaption("bz"), "备注");
    EXPECT_EQ(suite().categoryName("部门", "01"), "生产部");
    exec("update zdfield set caption='说明' where tablecode='KQ0001' and fieldname='bz'");
    exec("update zdcode set name='制造部' where category='部门' and code='01'");
    EXPECT_EQ(suite().fieldCaption("bz"), "备注");
    suite().reloadDictionary();
    EXPECT_EQ(suite().fieldCaption("bz"), "说明");
    EXPECT_EQ(suite().categoryName("部门", "01"), "制造部");
}

TEST_P(LocalSuiteTest, AFailingLookupNamesTheDatabase)
{
    const QString database =
        kind() == DatabaseKind::Sqlite
            ? sqliteFile()
            : QStringLiteral("%1:%2").arg(postgresServer().host).arg(postgresServer().port);
    exec("drop table zdcode");
    exec("drop table zdb1");
    for (const auto& lookup :
         std::initializer_list<std::function<void()>>{[&] { suite().categoryName("部门", "01"); },
                                                      [&] {
                                                          suite().tableLookup("", "KQ0001");
                                                      }}) {
        const QString message = suiteError(lookup);
        EXPECT_TRUE(message.contains(database)) << message.toStdString();
    }
}

TEST_P(LocalSuiteTest, SettingsGoThroughTheSettingsFile)
{
    const QString file = suite().settingsDirectory() + "/" + suite().settingsFileName();
    EXPECT_EQ(suite().readSetting("TALOR", "考勤日报TABLE", file), "");
    suite().writeSetting("TALOR", "考勤日报TABLE", "KQ0001", file);
    suite().writeSetting("TALOR", "考勤日报 0", "YES", file);
    EXPECT_EQ(suite().readSetting("TALOR", "考勤日报TABLE", file), "KQ0001");
    EXPECT_EQ(suite().readSetting2("TALOR", "考勤日报 0", file), "YES");
    EXPECT_EQ(suite().readSetting("TALOR", "考勤日报0", file), "");
    EXPECT_EQ(suite().readSetting("talor", "考勤日报TABLE", file), "");

    // Every read goes to the file: a change by another writer is seen at once.
    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(raw.readAll());
    raw.close();
    text.replace("KQ0001", "KQ0002");
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly | QIODevice::Truncate));
    raw.write(text.toUtf8());
    raw.close();
    EXPECT_EQ(suite().readSetting("TALOR", "考勤日报TABLE", file), "KQ0002");
}

TEST_P(LocalSuiteTest, SharedValuesComeBackAsSet)
{
    LocalSuite& s = suite();
    s.setRefreshFlag(1);
    s.setReportOption("3");
    s.setStatusValue(-4);
    s.setReportDate(QDate(2026, 10, 9));
    s.setPeriodStart("2026-10-01");
    s.setPeriodEnd("2026-10-31");
    s.setDepartmentName("生产部");
    s.setGroupName("质检组");
    s.setTeamName("乙班");
    s.setPersonName("王芳");
    s.setPersonNumber("00012");
    s.setGridRow(7);
    s.setGridColumn(3);
    s.setSelectPart("select *");
    s.setFromPart(" from KQ0001");
    s.setWherePart(" where zhdate='2026-10-09'");
    s.setOrderPart(" order by memberid");
    s.setComposedQuery("select * from KQ0001 where zhdate='2026-10-09' order by memberid");
    s.setReportKey("夜班");
    s.setSavedTable("KQ0002");
    s.setViewName("在职资料");
    s.setCurrentMenuName("工资计算");
    s.setCurrentMenuPicture("GZJS.ICO");

    EXPECT_EQ(s.refreshFlag(), 1);
    EXPECT_EQ(s.reportOption(), "3");
    EXPECT_EQ(s.statusValue(), -4);
    EXPECT_EQ(s.reportDate(), QDate(2026, 10, 9));
    EXPECT_EQ(s.periodStart(), "2026-10-01");
    EXPECT_EQ(s.periodEnd(), "2026-10-31");
    EXPECT_EQ(s.departmentName(), "生产部");
    EXPECT_EQ(s.groupName(), "质检组");
    EXPECT_EQ(s.teamName(), "乙班");
    EXPECT_EQ(s.personName(), "王芳");
    EXPECT_EQ(s.personNumber(), "00012");
    EXPECT_EQ(s.gridRow(), 7);
    EXPECT_EQ(s.gridColumn(), 3);
    EXPECT_EQ(s.selectPart(), "select *");
    EXPECT_EQ(s.fromPart(), " from KQ0001");
    EXPECT_EQ(s.wherePart(), " where zhdate='2026-10-09'");
    EXPECT_EQ(s.orderPart(), " order by memberid");
    EXPECT_EQ(s.composedQuery(), "select * from KQ0001 where zhdate='2026-10-09' order by memberid");
    EXPECT_EQ(s.reportKey(), "夜班");
    EXPECT_EQ(s.moduleKey(), "考勤日报");
    EXPECT_EQ(s.savedTable(), "KQ0002");
    EXPECT_EQ(s.viewName(), "在职资料");
    EXPECT_EQ(s.currentMenuName(), "工资计算");
    EXPECT_EQ(s.currentMenuPicture(), "GZJS.ICO");
}

TEST_P(LocalSuiteTest, ActionPaddingAndZeroFill)
{
    EXPECT_EQ(suite().action("查询"), "张三 查询");
    EXPECT_EQ(suite().actions(), QStringList{"查询"});
    EXPECT_EQ(suite().pad(6, "KQ01", " "), "KQ01  ");
    EXPECT_EQ(suite().pad(2, "KQ0001", " "), "KQ0001");
    EXPECT_EQ(suite().pad(4, "a", ""), "a   ");
    EXPECT_EQ(suite().zeroFill(42, 5, "0"), "00042");
    EXPECT_EQ(suite().zeroFill(42, 5, "*"), "***42");
    EXPECT_EQ(suite().zeroFill(123456, 3, "0"), "123456");
}

TEST_P(LocalSuiteTest, TheConnectionRunsTextCommands)
{
    QSqlQuery query(suite().connection());
    ASSERT_TRUE(query.exec("select count(*) from YGZL"));
    ASSERT_TRUE(query.next());
    EXPECT_EQ(query.value(0).toInt(), 30);
}

TALOR_BOTH_DATABASES(LocalSuiteTest);

TEST(LocalSuiteErrors, MissingSqliteFileIsNamedAndNotCreated)
{
    QTemporaryDir dir;
    const QString path = writeConfig(dir.path(), "kind=sqlite\nfile=missing.db");
    const QString message = suiteError([&] { LocalSuite suite(path); });
    EXPECT_TRUE(message.contains(dir.filePath("missing.db"))) << message.toStdString();
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.db")));
}

TEST(LocalSuiteErrors, AFileThatIsNoSuiteDatabaseIsNamed)
{
    QTemporaryDir dir;
    QFile junk(dir.filePath("junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a database at all, just some text of a sufficient length to be read");
    junk.close();
    const QString path = writeConfig(dir.path(), "kind=sqlite\nfile=junk.db");
    const QString message = suiteError([&] { LocalSuite suite(path); });
    EXPECT_TRUE(message.contains(dir.filePath("junk.db"))) << message.toStdString();
}

TEST(LocalSuiteErrors, UnreachablePostgresNamesTheServer)
{
    QTemporaryDir dir;
    // Port 1 on the loopback: nothing listens there.
    const QString path =
        writeConfig(dir.path(), "kind=postgresql\nhost=127.0.0.1\nport=1\nname=attendance\nuser=kq");
    const QString message = suiteError([&] { LocalSuite suite(path); });
    EXPECT_TRUE(message.contains("127.0.0.1:1")) << message.toStdString();
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
}

TEST(LocalSuiteErrors, MissingConfigurationIsNamed)
{
    const QString message =
        suiteError([] { LocalSuite suite(QStringLiteral("/nonexistent/talor/suite.ini")); });
    EXPECT_TRUE(message.contains("/nonexistent/talor/suite.ini")) << message.toStdString();
}
