// The demo suite: its rest days, the schema's names, a suite written only into an empty folder, and
// the default suite made once, by two first runs at once as well.
#include "demo/DemoSuite.h"

#include "demo/DefaultSuite.h"
#include "demo/DemoScratch.h"
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
#include <QTemporaryDir>
#include <array>
#include <latch>
#include <thread>

using namespace talor;
using talor::test::ensureApplication;
using talor::test::errorText;
using talor::test::fileBytes;

namespace {

DemoOptions smallOptions(quint32 seed = 1, int employees = 40, int days = 31)
{
    return {employees, days, QDate(2026, 10, 1), seed, {}};
}

} // namespace

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
