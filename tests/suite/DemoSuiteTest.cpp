// The demo suite: deterministic rows, the content the module relies on, the files around the
// database and its report templates, the batch command, and the same generator on PostgreSQL.
#include "demo/DemoSuite.h"

#include "db/Connections.h"
#include "demo/DefaultSuite.h"
#include "demo/DemoScratch.h"
#include "grid/Workbook.h"
#include "settings/IniFile.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteSchema.h"
#include "support/ErrorText.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <array>
#include <latch>
#include <limits>
#include <thread>

using namespace talor;
using talor::test::ensureApplication;
using talor::test::errorText;
using talor::test::fileBytes;

namespace {

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
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant v = query.value(i);
            const int type = v.typeId();
            cells << (v.isNull()                  ? "<null>"
                      : type == QMetaType::QTime  ? v.toTime().toString("HH:mm:ss")
                      : type == QMetaType::Double ? QString::number(v.toDouble(), 'f', 2)
                                                  : v.toString());
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

DemoOptions smallOptions(quint32 seed = 1, int employees = 40, int days = 31)
{
    return {employees, days, QDate(2026, 10, 1), seed, {}};
}

// The content rules of the demo database: the count each statement gives lies in [least, most].
constexpr int Many = std::numeric_limits<int>::max();
const QString DepartmentRoot = "(select proid from zdb3 where proval=2 and proname='部门')";
// clang-format off
const std::tuple<QString, int, int> Rules[] = {
    // One department root with 8 departments; entries the attendance views may leave out at
    // every level; a code for every department, and groups only of coded departments.
    {"select count(*) from zdb3 where proval=2 and proname='部门'", 1, 1},
    {"select count(*) from zdb3 where parid=" + DepartmentRoot, 8, 8},
    {"select count(*) from zdb3 where proval2='*'", 3, Many},
    {"select count(*) from zdb3 where proval2='*' and parid=" + DepartmentRoot, 1, 1},
    {"select count(*) from zdcode where category='部门'", 8, 8},
    {"select count(*) from zdgroup g where not exists (select 1 from zdcode c where c.category='部门' and c.name=g.depart)", 0, 0},
    {"select count(*) from zdb1 where parid=0 and proval='DATABASE'", 1, 1},
    // Employees hold codes and plain names; names are a surname and a given name.
    {"select count(*) from YGZL", 40, 40},
    {"select count(*) from ygzl where depart in (select code from zdcode where category='部门')", 1, Many},
    {"select count(*) from ygzl where depart in (select name from zdcode where category='部门')", 1, Many},
    {"select count(*) from ygzl where group0 in (select code from zdgroup)", 1, Many},
    {"select count(*) from ygzl where group0 in (select name from zdgroup)", 1, Many},
    {"select count(*) from ygzl where team in (select code from zdteam)", 1, Many},
    {"select count(*) from ygzl where team in (select name from zdteam)", 1, Many},
    {"select count(*) from ygzl where length(name)<2 or length(name)>4", 0, 0},
    // Menus: hidden ones ('*'), some without a program or a picture, distinct order numbers.
    {"select count(*) from SYS02", 5, Many},
    {"select count(*) from sys02 where zxtm like '*%' or zxtm like '%*'", 2, Many},
    {"select count(*) from sys02 where mkwj is null", 1, Many},
    {"select count(*) from sys02 where cdtb is null", 1, Many},
    {"select count(*) - count(distinct cdxh) from sys02", 0, 0},
    // A row per person per day; the row's department and team are the employee's.
    {"select count(*) from KQ0001", 40 * 31, 40 * 31}, {"select count(*) from kq0002", 1, Many},
    {"select count(distinct memberid) from kq0001 where zhdate='2026-10-15'", 40, 40},
    {"select count(*) from kq0001 k join ygzl y on y.memberid=k.memberid where coalesce(k.team,'-')<>coalesce(y.team,'-') or k.depart<>y.depart", 0, 0},
    // The dictionary types the daily table's items with every letter and code kind (S0..S3).
    {"select count(distinct case when ftype='S' then 'S' || codekind else ftype end) from zdfield where "
     "tablecode in ('', 'KQ0001') and ftype in ('S', 'I', 'D', 'T', 'Y') and codekind between 0 and 3", 8, 8},
    // Abnormal days carry their colour: 1 late, 2 early leave, 3 absent; rest days null.
    {"select count(distinct ncolor) from kq0001 where ncolor in (1, 2, 3)", 3, 3},
    {"select count(*) from kq0001 where (cdfz>0 and ncolor<>1) or (ncolor=1 and not cdfz>0) or (ztfz>0 and ncolor<>2) "
     "or (ncolor=2 and not ztfz>0) or (kggs>0 and ncolor<>3) or (ncolor=3 and (sbsj is not null or kggs=0))", 0, 0},
    {"select count(*) from kq0001 where ncolor is null", 1, Many},
    {"select count(*) from kq0001 where ncolor=0", 1, Many},
    // Time off in lieu (bxrq) makes up for a day worked before it.
    {"select count(*) from kq0001 where bxrq >= zhdate", 0, 0},
    // Overtime starts at 9:00 on a rest day, at the end of the shift on a working day.
    {"select count(*) from kq0002 o join kq0001 k on k.memberid=o.memberid and k.zhdate=o.zhdate "
     "where (k.banci='00') <> (o.jbks='09:00:00')", 0, 0},
};
// clang-format on

} // namespace

class DemoSuiteTest : public talor::test::DatabaseTest
{};

TEST_P(DemoSuiteTest, SameSeedGivesTheSameRowsAnotherSeedOthersAndBadSizesAreRefused)
{
    EXPECT_THROW(DemoSuite::fillDatabase(db(), smallOptions(1, 0)), SuiteError);
    EXPECT_THROW(DemoSuite::fillDatabase(db(), smallOptions(1, 40, 0)), SuiteError);
    DemoSuite::fillDatabase(db(), smallOptions(5));
    const QStringList first = dumpAll(db());
    const QStringList daily = dump(db(), "kq0001"), staff = dump(db(), "ygzl"), tree = dump(db(), "zdb3");
    DemoSuite::fillDatabase(db(), smallOptions(5));
    EXPECT_EQ(firstDifference(dumpAll(db()), first), "");
    DemoSuite::fillDatabase(db(), smallOptions(6));
    EXPECT_TRUE(dump(db(), "kq0001") != daily) << "the daily rows";
    EXPECT_TRUE(dump(db(), "ygzl") != staff) << "the staff";
    EXPECT_EQ(dump(db(), "zdb3"), tree); // the organisation does not depend on the seed
}

TEST_P(DemoSuiteTest, ContentTheModuleReliesOn)
{
    const DemoSummary summary = DemoSuite::fillDatabase(db(), smallOptions());
    EXPECT_EQ(QList<qint64>({summary.attendanceRows, count(db(), "select count(*) from kq0002")}),
              QList<qint64>({40 * 31, summary.overtimeRows}));
    for (const auto& [sql, least, most] : Rules) {
        const int actual = count(db(), sql);
        EXPECT_TRUE(actual >= least && actual <= most) << sql.toStdString() << ": " << actual;
    }
    // The catalogue's tables exist, some with zhdate and some without.
    QStringList catalogue;
    for (QSqlQuery tables("select proval from zdb1 where parid<>0 order by proid", db()); tables.next();) {
        const QSqlRecord record = db().record(tables.value(0).toString().toLower());
        catalogue << tables.value(0).toString() + (record.isEmpty()            ? " missing"
                                                   : record.contains("zhdate") ? " zhdate"
                                                                               : "");
    }
    EXPECT_EQ(catalogue, QStringList({"KQ0001 zhdate", "KQ0002 zhdate", "BC0001", "YGZL"}));
    // Every field of the daily table's dictionary is a column, and the rows fill the items.
    const QSqlRecord columns = db().record("kq0001");
    for (QSqlQuery fields("select fieldname from zdfield where tablecode in ('', 'KQ0001')", db());
         fields.next();)
        EXPECT_TRUE(columns.contains(fields.value(0).toString())) << fields.value(0).toString().toStdString();
    for (const char* column :
         {"banci", "sbsj", "xbsj", "cdfz", "cqgs", "jbgs", "qjlb", "bxrq", "bz", "czyxm"})
        EXPECT_GT(count(db(), QString("select count(%1) from kq0001").arg(column)), 0) << column;

    // A run that fails half way (bc0001 a view, which the run cannot drop) leaves the data as it was.
    SuiteSchema::execute(db(), "drop table bc0001");
    SuiteSchema::execute(db(), "create view bc0001 as select 1 as code");
    EXPECT_THROW(DemoSuite::fillDatabase(db(), smallOptions()), SuiteError);
    EXPECT_EQ(count(db(), "select count(*) from ygzl"), 40);
    SuiteSchema::execute(db(), "drop view bc0001");
}

TALOR_BOTH_DATABASES(DemoSuiteTest);

// Rest days: weekends and the holidays (1 January, 1 May, 1 to 3 October).
TEST(DemoSuiteDays, WeekendsAndHolidaysAreRestDays)
{
    QString kinds; // per day: H holiday, W working day, - weekend
    for (const char* day : {"2026-01-01", "2026-05-01", "2026-10-02", "2026-10-03", "2026-10-04",
                            "2026-10-05", "2026-10-09", "2026-10-10", "2026-05-02"}) {
        const QDate d = QDate::fromString(day, Qt::ISODate);
        kinds += DemoSuite::isHoliday(d) ? 'H' : DemoSuite::isWorkingDay(d) ? 'W' : '-';
    }
    EXPECT_EQ(kinds, "HHHH-WW--");
}

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

// Table and column names go into statements as written: only a whole plain identifier passes.
TEST(SuiteSchemaNames, OnlyWholePlainIdentifiersPass)
{
    QList<bool> passed;
    for (const char* name : {"kq0001", "_a1", "1kq", "kq0001; drop table ygzl", "kq 1", "kq-1", ""})
        passed << SuiteSchema::isIdentifier(QString::fromUtf8(name));
    EXPECT_EQ(passed, QList<bool>({true, true, false, false, false, false, false}));
    // Nor does any other name reach a statement: refused, naming it, before the database is touched.
    const QString bad = "kq1; drop table ygzl";
    const QList<ItemColumn> items{{"bz", "S"}, {bad, "S"}};
    const QStringList tables{"kq0001", bad};
    EXPECT_EQ(
        QStringList({errorText<SuiteError>([&] { SuiteSchema::createAttendanceTable({}, "kq9", items); }),
                     errorText<SuiteError>([&] { SuiteSchema::dropTables({}, tables); })}),
        QStringList({"item column name \"" + bad + "\" of table kq9 is not a plain identifier",
                     "table name \"" + bad + "\" is not a plain identifier"}));
}

TEST(DemoSuiteFiles, GenerateWritesACompleteSuiteOnlyIntoAnEmptyDirectory)
{
    ensureApplication();
    QTemporaryDir parent;
    const QString dir = parent.filePath("demo");
    const DemoSummary summary = DemoSuite::generate(dir, smallOptions(1, 40, 10));
    EXPECT_EQ(std::pair(summary.configurationFile, summary.attendanceRows),
              std::pair(QString(dir + "/suite.ini"), qint64(40 * 10)));
    // (A path ending in "/" names a folder.)
    for (const char* path :
         {"suite.ini", "suite.db", "talor.ini", "suite2.ini", "icon/talor.png", "icon/MAILM.ICO", "work/"})
        EXPECT_TRUE(QFileInfo::exists(dir + "/" + path)) << path;
    EXPECT_FALSE(QFileInfo::exists(dir + "/tmp")) << "temporary files go to the user's cache folder";

    // The configuration opens as a suite, on the generated database, its period ending on the
    // last day of the rows, its report date the first working day after the holidays. The module
    // is not set up: the first start opens its set-up dialog.
    LocalSuite suite(summary.configurationFile);
    const QString settings = suite.settingsDirectory() + "/" + suite.settingsFileName();
    EXPECT_EQ(
        QStringList({suite.organisationName(), suite.moduleKey(), suite.currentTable(), suite.databaseKind(),
                     suite.periodStart(), suite.periodEnd(), suite.templateDirectory(),
                     suite.tableLookup("", "KQ0001"), suite.fieldType("sbsj"),
                     suite.reportDate().toString(Qt::ISODate),
                     suite.readSetting("TALOR", "考勤日报TABLE", settings)}),
        QStringList({QString::fromUtf8(DemoSuite::Organisation), "考勤日报", "KQ0001", "2", "2026-10-01",
                     "2026-10-10", dir + "/template", "考勤日报表", "Y", "2026-10-05", ""}));
    // The supervisor guard passes with the demo's texts: the code prefix's first six
    // characters followed by the password give the access code.
    EXPECT_EQ(suite.codePrefix().left(6) + suite.readSetting("SYSTEM", "GJKL", settings), suite.accessCode());
    EXPECT_FALSE(
        suite.readSetting("SYSTEM", "QZ_CONNECT", suite.settingsDirectory() + "/" + suite.secondFileName())
            .isEmpty());
    // The icons named by the menus load as pictures.
    for (QSqlQuery menus("select cdtb from sys02 where cdtb is not null", suite.connection()); menus.next();)
        EXPECT_FALSE(QImage(suite.iconDirectory() + "/" + menus.value(0).toString()).isNull())
            << menus.value(0).toString().toStdString();
    EXPECT_FALSE(QImage(suite.iconDirectory() + "/" + suite.iconFileName()).isNull());
    // Another directory gets the same templates byte for byte (the rows: SameSeedGivesTheSameRows),
    // and leaves alone the scratch directory of a run still building beside it.
    {
        DemoScratch building(parent.path());
        DemoSuite::generate(parent.filePath("again"), smallOptions());
        EXPECT_TRUE(QFileInfo::exists(building.path() + "/.building.lock"));
    }
    for (const char* file : {"/template/考勤日报1.vts", "/template/考勤日报2.vts", "/template/考勤日报3.vts"})
        EXPECT_EQ(fileBytes(dir + file), fileBytes(parent.filePath("again") + file)) << file;

    // A directory that is not empty is refused, named, and left alone; no scratch directory is
    // left beside any of them.
    const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    const QString taken = parent.filePath("taken");
    ASSERT_TRUE(QDir().mkpath(taken));
    talor::test::putFile(taken + "/notes.txt", "keep me");
    const QString message = errorText<SuiteError>([&] { DemoSuite::generate(taken, smallOptions()); });
    EXPECT_TRUE(message.contains(taken)) << message.toStdString();
    EXPECT_EQ(QDir(taken).entryList(entries) + QDir(parent.path()).entryList(entries),
              (QStringList{"notes.txt", "again", "demo", "taken"}));
}

// The report templates as the report layout reads them: the layout told by column 1's
// heading, the "ok" terminator after the labels, dates, notes and (kind 3) the period shown
// whole in widened columns, and the first two columns frozen. (What the labels show is in the
// kept sheets of tests/entry.)
TEST(DemoSuiteFiles, TemplatesOfAllThreeKindsLayOutTheirColumns)
{
    ensureApplication();
    QTemporaryDir dir; // an existing empty directory is filled too
    DemoSuite::generate(dir.path(), smallOptions(1, 3, 2));
    LocalSuite suite(dir.filePath("suite.ini"));
    // Per kind: title, heading layout, last row, the widths of the widened columns by label.
    // clang-format off
    const std::tuple<QString, bool, int, QString> kinds[] = {{"个人考勤表", true, 1, "日期 96,补休日期 96,备注 120"},
        {"部门考勤日报", false, 5, "姓名 120,补休日期 96,备注 120"}, {"部门考勤月报", false, 36, "日期 96,补休日期 96,备注 120,工时合计 170"}};
    // clang-format on
    for (int k = 1; k <= 3; ++k) {
        const auto& [title, headingLayout, lastRow, widths] = kinds[k - 1];
        grid::Workbook book;
        book.read(suite.templateDirectory() + "/" + suite.reportKey() + QString::number(k) + ".vts");
        const grid::Sheet& sheet = book.sheet(1);
        QStringList labels, widened;
        for (int c = 1; c <= 100 && sheet.columnHeading(c) != "ok"; ++c)
            labels << (headingLayout ? sheet.columnHeading(c) : sheet.text(4, c));
        for (int c = 1; c <= labels.size(); ++c)
            if (sheet.columnWidth(c) >= 96)
                widened << labels[c - 1] + " " + QString::number(sheet.columnWidth(c));
        EXPECT_EQ(std::tuple(book.sheetName(1), sheet.columnHeading(1).isEmpty(), sheet.lastRow(),
                             labels.size() < 100, widened.join(','), sheet.frozenColumns()),
                  std::tuple(title, !headingLayout, lastRow, true, widths, 2))
            << k;
    }
}

// The user's data directory (XDG_DATA_HOME) is a fresh one for each test, then as it was.
class DefaultSuite : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }
    void TearDown() override
    {
        saved.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", saved);
    }
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    QTemporaryDir home;
};

TEST_F(DefaultSuite, IsCreatedOnceInTheUsersDataDirectory)
{
    const QString path = defaultSuitePath();
    EXPECT_TRUE(path.startsWith(home.path()) && path.endsWith("/demo/suite.ini")) << path.toStdString();
    EXPECT_EQ(ensureDefaultSuite(), path);
    ASSERT_TRUE(QFileInfo::exists(path));
    // Used from then on: a second call keeps what is there.
    IniFile(path).write("suite", "operator", "李四");
    EXPECT_EQ(ensureDefaultSuite(), path);
    EXPECT_EQ(IniFile(path).read("suite", "operator"), "李四");
}

// A lock left behind (empty, as by a program that died making it, or another machine's) is
// taken over once it is old, not waited for without end.
TEST_F(DefaultSuite, AnOldLockLeftBehindIsTakenOver)
{
    const QString lockFile =
        QFileInfo(QFileInfo(defaultSuitePath()).absolutePath()).absolutePath() + "/.demo.lock";
    QDir().mkpath(QFileInfo(lockFile).absolutePath());
    for (const QByteArray& left : {QByteArray(), QByteArray("999999\ntalor\nother-host\n")}) {
        QDir(QFileInfo(defaultSuitePath()).absolutePath()).removeRecursively();
        test::putFile(lockFile, left);
        QFile file(lockFile);
        ASSERT_TRUE(
            file.open(QIODevice::ReadWrite) &&
            file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        file.close();
        EXPECT_EQ(ensureDefaultSuite(), defaultSuitePath());
    }
}

// Two programs started together on a first run: both get the one suite, which opens.
TEST_F(DefaultSuite, TwoFirstRunsAtOnceBothGetTheSuite)
{
    std::latch start(2);
    std::array<QString, 2> results;
    std::array<std::thread, 2> runs;
    for (size_t i = 0; i < runs.size(); ++i)
        runs[i] = std::thread([&, i] {
            start.arrive_and_wait();
            try {
                results[i] = ensureDefaultSuite();
            } catch (const SuiteError& error) {
                results[i] = error.message();
            }
        });
    for (std::thread& run : runs)
        run.join();
    EXPECT_EQ(QStringList(results.begin(), results.end()), QStringList(2, defaultSuitePath()));
    EXPECT_EQ(LocalSuite(defaultSuitePath()).reportKey(), QString::fromUtf8(DemoSuite::ModuleKey));
}
