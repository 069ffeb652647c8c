// The demo suite: deterministic rows, the content the module relies on, the files around the
// database, the batch command, and the same generator on PostgreSQL.
#include "suite/DemoSuite.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "settings/IniFile.h"
#include "suite/DemoCommand.h"
#include "suite/LocalSuite.h"
#include "support/TestDatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "suite_demo";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

const QStringList DemoTables = {"zdb1",    "zdb3",   "ygzl",   "sys02",  "zdfield", "zdcode",
                                "zdgroup", "zdteam", "bc0001", "kq0001", "kq0002"};

// Every row of the table as text, sorted, so that two databases can be compared.
QStringList dump(QSqlDatabase db, const QString& table)
{
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec("select * from " + table)) << table.toStdString();
    QStringList rows;
    while (query.next()) {
        QStringList cells;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            const QVariant value = query.value(i);
            if (value.isNull())
                cells << "<null>";
            else if (value.typeId() == QMetaType::QTime)
                cells << value.toTime().toString("HH:mm:ss");
            else if (value.typeId() == QMetaType::Double)
                cells << QString::number(value.toDouble(), 'f', 2);
            else
                cells << value.toString();
        }
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

QStringList dumpAll(QSqlDatabase db)
{
    QStringList all;
    for (const QString& table : DemoTables)
        all << table << dump(db, table);
    return all;
}

// The first line where two dumps differ, for a readable failure; empty when they are equal.
std::string firstDifference(const QStringList& a, const QStringList& b)
{
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i, "<end>") != b.value(i, "<end>"))
            return QString(a.value(i, "<end>") + "  <>  " + b.value(i, "<end>")).toStdString();
    return {};
}

int count(QSqlDatabase db, const QString& sql)
{
    QSqlQuery query(db);
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString();
    return query.next() ? query.value(0).toInt() : -1;
}

DemoOptions smallOptions(quint32 seed = 1)
{
    DemoOptions options;
    options.employees = 40;
    options.days = 31;
    options.seed = seed;
    return options;
}

// Opens the SQLite file of a generated suite under a connection the caller removes.
class SuiteFile
{
public:
    explicit SuiteFile(const QString& file) : m_name("demo_check_" + QString::number(++s_count))
    {
        ensureApplication();
        m_db = Connections::openSqlite(m_name, file);
    }
    ~SuiteFile()
    {
        m_db = QSqlDatabase();
        Connections::remove(m_name);
    }
    QSqlDatabase db() const { return m_db; }

private:
    static inline int s_count = 0;
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace

class DemoSuiteTest : public talor::test::DatabaseTest
{};

TEST_P(DemoSuiteTest, SameSeedGivesTheSameRowsAndAnotherSeedOthers)
{
    DemoSuite::fillDatabase(db(), smallOptions(5));
    const QStringList first = dumpAll(db());
    const QStringList daily = dump(db(), "kq0001");
    const QStringList staff = dump(db(), "ygzl");
    DemoSuite::fillDatabase(db(), smallOptions(5));
    EXPECT_EQ(firstDifference(dumpAll(db()), first), "");
    DemoSuite::fillDatabase(db(), smallOptions(6));
    EXPECT_NE(dump(db(), "kq0001"), daily);
    EXPECT_NE(dump(db(), "ygzl"), staff);
    // The organisation and the dictionary do not depend on the seed.
    EXPECT_EQ(dump(db(), "zdb3"), first.mid(first.indexOf("zdb3") + 1, dump(db(), "zdb3").size()));
}

TEST_P(DemoSuiteTest, OrganisationTreeAndCatalogue)
{
    DemoSuite::fillDatabase(db(), smallOptions());
    EXPECT_EQ(count(db(), "select count(*) from zdb3 where proval=2 and proname='部门'"), 1);
    QSqlQuery root(db());
    ASSERT_TRUE(root.exec("select proid from zdb3 where proval=2 and proname='部门'") && root.next());
    const int rootId = root.value(0).toInt();
    EXPECT_EQ(count(db(), QString("select count(*) from zdb3 where parid=%1").arg(rootId)), 8);
    // Entries the attendance views may leave out, at every level.
    EXPECT_GE(count(db(), "select count(*) from zdb3 where proval2='*'"), 3);
    EXPECT_EQ(count(db(), QString("select count(*) from zdb3 where parid=%1 and proval2='*'").arg(rootId)),
              1);
    // Every department of the tree has its code, every group and team theirs.
    EXPECT_EQ(count(db(), "select count(*) from zdcode where category='部门'"), 8);
    EXPECT_EQ(count(db(), "select count(*) from zdgroup g where not exists (select 1 from zdcode c where"
                          " c.category='部门' and c.name=g.depart)"),
              0);

    // The catalogue: a root and its tables, among them tables without zhdate.
    EXPECT_EQ(count(db(), "select count(*) from zdb1 where parid=0 and proval='DATABASE'"), 1);
    QSqlQuery tables(db());
    ASSERT_TRUE(tables.exec("select proval from zdb1 where parid<>0"));
    int withDate = 0, withoutDate = 0;
    while (tables.next()) {
        const QSqlRecord record = db().record(tables.value(0).toString().toLower());
        ASSERT_FALSE(record.isEmpty()) << tables.value(0).toString().toStdString();
        (record.contains("zhdate") ? withDate : withoutDate)++;
    }
    EXPECT_GE(withDate, 2);
    EXPECT_GE(withoutDate, 1);
}

TEST_P(DemoSuiteTest, EmployeesHoldCodesAndPlainNames)
{
    DemoSuite::fillDatabase(db(), smallOptions());
    EXPECT_EQ(count(db(), "select count(*) from YGZL"), 40);
    EXPECT_GT(
        count(db(),
              "select count(*) from ygzl where depart in (select code from zdcode where category='部门')"),
        0);
    EXPECT_GT(
        count(db(),
              "select count(*) from ygzl where depart in (select name from zdcode where category='部门')"),
        0);
    EXPECT_GT(count(db(), "select count(*) from ygzl g where group0 in (select code from zdgroup)"), 0);
    EXPECT_GT(count(db(), "select count(*) from ygzl g where group0 in (select name from zdgroup)"), 0);
    EXPECT_GT(count(db(), "select count(*) from ygzl where team in (select code from zdteam)"), 0);
    EXPECT_GT(count(db(), "select count(*) from ygzl where team in (select name from zdteam)"), 0);
    // Names are two to four characters: a surname and a given name.
    QSqlQuery names(db());
    ASSERT_TRUE(names.exec("select name from ygzl"));
    while (names.next()) {
        const QString name = names.value(0).toString();
        EXPECT_GE(name.size(), 2) << name.toStdString();
        EXPECT_LE(name.size(), 4) << name.toStdString();
    }
}

TEST_P(DemoSuiteTest, MenusForTheModuleMenus)
{
    DemoSuite::fillDatabase(db(), smallOptions());
    EXPECT_GE(count(db(), "select count(*) from SYS02"), 5);
    EXPECT_GE(count(db(), "select count(*) from sys02 where zxtm like '*%' or zxtm like '%*'"), 2);
    EXPECT_GE(count(db(), "select count(*) from sys02 where mkwj is null"), 1);
    EXPECT_GE(count(db(), "select count(*) from sys02 where cdtb is null"), 1);
    EXPECT_EQ(count(db(), "select count(distinct cdxh) from sys02"),
              count(db(), "select count(*) from sys02"));
}

TEST_P(DemoSuiteTest, AttendanceRowsPerPersonPerDayWithEveryItemType)
{
    const DemoSummary summary = DemoSuite::fillDatabase(db(), smallOptions());
    EXPECT_EQ(summary.attendanceRows, 40 * 31);
    EXPECT_EQ(count(db(), "select count(*) from KQ0001"), 40 * 31);
    EXPECT_EQ(count(db(), "select count(distinct memberid) from kq0001 where zhdate='2026-10-15'"), 40);
    EXPECT_EQ(count(db(), "select count(*) from kq0002"), summary.overtimeRows);
    EXPECT_GT(summary.overtimeRows, 0);

    // The dictionary types the daily table's items with every letter and code kind.
    QSqlQuery types(db());
    ASSERT_TRUE(
        types.exec("select ftype, codekind, fieldname from zdfield where tablecode in ('', 'KQ0001')"));
    QSet<QString> seen;
    const QSqlRecord columns = db().record("kq0001");
    while (types.next()) {
        const QString type = types.value(0).toString();
        seen << (type == "S" ? "S" + types.value(1).toString() : type);
        EXPECT_TRUE(columns.contains(types.value(2).toString())) << types.value(2).toString().toStdString();
    }
    for (const char* wanted : {"S0", "S1", "S2", "S3", "I", "D", "T", "Y"})
        EXPECT_TRUE(seen.contains(wanted)) << wanted;
    // And the rows fill them.
    for (const char* column :
         {"banci", "sbsj", "xbsj", "cdfz", "cqgs", "jbgs", "qjlb", "bxrq", "bz", "czyxm"})
        EXPECT_GT(count(db(), QString("select count(*) from kq0001 where %1 is not null").arg(column)), 0)
            << column;
    // Null departments, groups or teams occur only where the employee has none.
    EXPECT_EQ(count(db(), "select count(*) from kq0001 k join ygzl y on y.memberid=k.memberid"
                          " where coalesce(k.team,'-')<>coalesce(y.team,'-') or k.depart<>y.depart"),
              0);
}

// The save code hands dates and times over as the text functions read them (a date-time);
// the attendance table must store each in its column's own form, so that the queries'
// 'yyyy-mm-dd' and 'hh:mm:ss' literals find it on either engine.
TEST_P(DemoSuiteTest, SavedDatesAndTimesKeepTheirColumnsForm)
{
    DemoSuite::fillDatabase(db(), smallOptions());
    Recordset rs;
    rs.open("select * from KQ0001 where memberid='00001' and zhdate='2026-10-05'", db());
    ASSERT_FALSE(rs.eof());
    rs.setValue("bxrq", QDateTime(QDate(2026, 10, 20), QTime(0, 0)));
    rs.setValue("sbsj", QDateTime(QDate(1899, 12, 30), QTime(8, 30)));
    rs.setValue("xbsj", QTime(17, 45, 10));
    rs.update();
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where bxrq='2026-10-20'"), 1);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where bxrq>='2026-10-20' and bxrq<='2026-10-20'"), 1);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where sbsj='08:30:00'"), 1);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where xbsj='17:45:10'"), 1);
    EXPECT_EQ(rs.text("bxrq"), "2026-10-20");
    EXPECT_EQ(rs.text("sbsj"), "08:30:00");
}

TEST_P(DemoSuiteTest, AbnormalDaysCarryTheirColour)
{
    DemoSuite::fillDatabase(db(), smallOptions());
    for (int colour : {1, 2, 3})
        EXPECT_GT(count(db(), QString("select count(*) from kq0001 where ncolor=%1").arg(colour)), 0)
            << colour;
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where cdfz>0 and ncolor<>1"), 0);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where ncolor=1 and not cdfz>0"), 0);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where ztfz>0 and ncolor<>2"), 0);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where ncolor=2 and not ztfz>0"), 0);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where kggs>0 and ncolor<>3"), 0);
    EXPECT_EQ(count(db(), "select count(*) from kq0001 where ncolor=3 and (sbsj is not null or kggs=0)"), 0);
    // Rest days have no colour at all (null), ordinary days 0.
    EXPECT_GT(count(db(), "select count(*) from kq0001 where ncolor is null"), 0);
    EXPECT_GT(count(db(), "select count(*) from kq0001 where ncolor=0"), 0);
}

TEST_P(DemoSuiteTest, GeneratorRefusesBadSizes)
{
    DemoOptions options = smallOptions();
    options.employees = 0;
    EXPECT_THROW(DemoSuite::fillDatabase(db(), options), SuiteError);
    options = smallOptions();
    options.days = -1;
    EXPECT_THROW(DemoSuite::fillDatabase(db(), options), SuiteError);
}

TALOR_BOTH_DATABASES(DemoSuiteTest);

TEST(DemoSuiteEngines, SqliteAndPostgresGetTheSameRows)
{
    ensureApplication();
    const std::optional<PostgresServer> server = talor::test::postgresTestServer();
    ASSERT_TRUE(server.has_value()) << "the PostgreSQL test server is missing (TALOR_PG_* variables)";
    QTemporaryDir dir;
    {
        QSqlDatabase lite = Connections::openSqlite("engines_sqlite", dir.filePath("a.db"));
        QSqlDatabase pg = Connections::openPostgres("engines_pg", *server);
        DemoSuite::fillDatabase(lite, smallOptions(9));
        DemoSuite::fillDatabase(pg, smallOptions(9));
        EXPECT_EQ(firstDifference(dumpAll(lite), dumpAll(pg)), "");
    }
    Connections::remove("engines_sqlite");
    Connections::remove("engines_pg");
}

TEST(DemoSuiteFiles, GenerateWritesACompleteSuite)
{
    ensureApplication();
    QTemporaryDir parent;
    const QString dir = parent.filePath("demo");
    const DemoSummary summary = DemoSuite::generate(dir, smallOptions());
    EXPECT_EQ(summary.configurationFile, dir + "/suite.ini");
    EXPECT_EQ(summary.attendanceRows, 40 * 31);
    for (const char* path :
         {"suite.ini", "suite.db", "talor.ini", "suite2.ini", "icon/talor.png", "icon/MAILM.ICO"})
        EXPECT_TRUE(QFileInfo::exists(dir + "/" + path)) << path;
    for (const char* path : {"template", "work", "tmp"})
        EXPECT_TRUE(QFileInfo(dir + "/" + path).isDir()) << path;
    // No scratch directory is left beside it.
    EXPECT_EQ(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"demo"});

    // The configuration opens as a suite, on the generated database.
    LocalSuite suite(summary.configurationFile);
    EXPECT_EQ(suite.organisationName(), QString::fromUtf8(DemoSuite::Organisation));
    EXPECT_EQ(suite.moduleKey(), "考勤日报");
    EXPECT_EQ(suite.currentTable(), "KQ0001");
    EXPECT_EQ(suite.databaseKind(), "2");
    EXPECT_EQ(suite.reportDate(), QDate(2026, 10, 1));
    EXPECT_EQ(suite.periodStart(), "2026-10-01");
    EXPECT_EQ(suite.periodEnd(), "2026-10-31");
    EXPECT_EQ(suite.templateDirectory(), dir + "/template");
    EXPECT_EQ(suite.tableLookup("", "KQ0001"), "考勤日报表");
    EXPECT_EQ(suite.fieldType("sbsj"), "Y");
    // The module is not set up: the first start opens its set-up dialog.
    const QString settings = suite.settingsDirectory() + "/" + suite.settingsFileName();
    EXPECT_EQ(suite.readSetting("TALOR", "考勤日报TABLE", settings), "");
    EXPECT_FALSE(suite.readSetting("SYSTEM", "GJKL", settings).isEmpty());
    // The supervisor guard passes with the demo's texts: the code prefix's first six
    // characters followed by the password give the access code.
    EXPECT_EQ(suite.codePrefix().left(6) + suite.readSetting("SYSTEM", "GJKL", settings), suite.accessCode());
    EXPECT_FALSE(
        suite.readSetting("SYSTEM", "QZ_CONNECT", suite.settingsDirectory() + "/" + suite.secondFileName())
            .isEmpty());
    // The icons named by the menus load as pictures.
    QSqlQuery menus(suite.connection());
    ASSERT_TRUE(menus.exec("select cdtb from sys02 where cdtb is not null"));
    while (menus.next()) {
        const QString icon = suite.iconDirectory() + "/" + menus.value(0).toString();
        EXPECT_FALSE(QImage(icon).isNull()) << icon.toStdString();
    }
    EXPECT_FALSE(QImage(suite.iconDirectory() + "/" + suite.iconFileName()).isNull());
}

TEST(DemoSuiteFiles, GenerateIsDeterministicAcrossDirectories)
{
    ensureApplication();
    QTemporaryDir parent;
    DemoSuite::generate(parent.filePath("a"), smallOptions(3));
    DemoSuite::generate(parent.filePath("b"), smallOptions(3));
    SuiteFile a(parent.filePath("a/suite.db"));
    SuiteFile b(parent.filePath("b/suite.db"));
    EXPECT_EQ(firstDifference(dumpAll(a.db()), dumpAll(b.db())), "");
    EXPECT_GT(dumpAll(a.db()).size(), 40 * 31);
}

TEST(DemoSuiteFiles, ANonEmptyDirectoryIsRefusedAndLeftAlone)
{
    ensureApplication();
    QTemporaryDir parent;
    const QString dir = parent.filePath("taken");
    ASSERT_TRUE(QDir().mkpath(dir));
    QFile mine(dir + "/notes.txt");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("keep me");
    mine.close();
    try {
        DemoSuite::generate(dir, smallOptions());
        FAIL() << "a non-empty directory was accepted";
    } catch (const SuiteError& error) {
        EXPECT_TRUE(error.message().contains(dir)) << error.message().toStdString();
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"notes.txt"});
    EXPECT_EQ(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"taken"});
}

TEST(DemoSuiteFiles, AnEmptyDirectoryIsFilled)
{
    ensureApplication();
    QTemporaryDir dir;
    DemoOptions options = smallOptions();
    options.employees = 3;
    options.days = 2;
    DemoSuite::generate(dir.path(), options);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("suite.ini")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("suite.db")));
}

struct CommandCase
{
    const char* name;
    QStringList args; // after "talor demo"
    int exitCode;
};

class DemoCommandTest : public ::testing::TestWithParam<CommandCase>
{};

TEST_P(DemoCommandTest, ExitCodes)
{
    ensureApplication();
    QTemporaryDir parent;
    QFile blocker(parent.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList args{"talor", "demo"};
    for (const QString& arg : GetParam().args)
        args << QString(arg).replace("@", parent.path());
    EXPECT_EQ(runDemoCommand(args), GetParam().exitCode);
    EXPECT_EQ(QFileInfo::exists(parent.filePath("d/suite.ini")), GetParam().exitCode == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Options, DemoCommandTest,
    ::testing::Values(CommandCase{"Good",
                                  {"--dir", "@/d", "--employees", "5", "--days", "3", "--from", "2025-02-27",
                                   "--seed", "4"},
                                  0},
                      CommandCase{"NoDir", {"--employees", "5"}, 2},
                      CommandCase{"ZeroEmployees", {"--dir", "@/d", "--employees", "0"}, 2},
                      CommandCase{"WordEmployees", {"--dir", "@/d", "--employees", "many"}, 2},
                      CommandCase{"NegativeDays", {"--dir", "@/d", "--days", "-3"}, 2},
                      CommandCase{"ImpossibleDate", {"--dir", "@/d", "--from", "2026-02-30"}, 2},
                      CommandCase{"BadSeed", {"--dir", "@/d", "--seed", "x1"}, 2},
                      CommandCase{"UnknownOption", {"--dir", "@/d", "--colour", "red"}, 2},
                      CommandCase{"StrayArgument", {"--dir", "@/d", "extra"}, 2},
                      CommandCase{
                          "DirIsAFile", {"--dir", "@/blocker/d", "--employees", "2", "--days", "1"}, 1}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST(DemoCommand, DefaultSuiteIsCreatedOnceInTheUsersDataDirectory)
{
    ensureApplication();
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString path = defaultSuitePath();
    EXPECT_TRUE(path.startsWith(home.path())) << path.toStdString();
    EXPECT_TRUE(path.endsWith("/demo/suite.ini"));
    EXPECT_EQ(ensureDefaultSuite(), path);
    ASSERT_TRUE(QFileInfo::exists(path));
    // Used from then on: a second call keeps what is there.
    IniFile(path).write("suite", "operator", "李四");
    EXPECT_EQ(ensureDefaultSuite(), path);
    EXPECT_EQ(IniFile(path).read("suite", "operator"), "李四");
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}
