// The suite configuration: its values, relative paths, defaults, and errors that name the file.
#include "suite/SuiteConfig.h"

#include "SuiteTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

using namespace talor;
using talor::test::suiteError;
using talor::test::writeFile;

TEST(SuiteConfig, ReadsEveryValueAndResolvesRelativePaths)
{
    QTemporaryDir dir;
    const QString text =
        "[database]\nkind=sqlite\nfile=data/suite.db\n[suite]\ndatabaseKind=2\norganisation=示范公司\n"
        "operator=张三\nmoduleKey=考勤日报\nscope=出勤\nfilter=depart<>'x'\nallowedMenus=,A,B,\n"
        "currentTable=KQ0001\n[paths]\napplication=/opt/talor\nwork=work\ntemplate=../tpl\nicon=icon\n"
        "iconFile=talor.png\ntemporary=tmp\nsettingsDirectory=.\nsettingsFile=a.ini\nsecondFile=b.ini\n"
        "[guard]\nlockSwitch=-1\ncodePrefix=P\naccessCode=A\naccessComparison=C\n[values]\n"
        "reportDate=2026-10-05\nperiodStart=2026-10-01\nperiodEnd=2026-10-31\n";
    const SuiteConfig config = SuiteConfig::load(writeFile(dir.filePath("suite.ini"), text));
    const QString base = QDir(dir.path()).absolutePath();
    EXPECT_EQ(config.database.kind, "sqlite");
    EXPECT_EQ(config.database.file, base + "/data/suite.db");
    EXPECT_EQ(config.databaseKind, "2");
    EXPECT_EQ(config.organisation, "示范公司");
    EXPECT_EQ(config.operatorName, "张三");
    EXPECT_EQ(config.moduleKey, "考勤日报");
    EXPECT_EQ(config.scope, "出勤");
    EXPECT_EQ(config.filter, "depart<>'x'");
    EXPECT_EQ(config.allowedMenus, ",A,B,");
    EXPECT_EQ(config.currentTable, "KQ0001");
    EXPECT_EQ(config.applicationDirectory, "/opt/talor");
    EXPECT_EQ(config.workDirectory, base + "/work");
    EXPECT_EQ(config.templateDirectory, QDir::cleanPath(base + "/../tpl"));
    EXPECT_EQ(config.iconDirectory, base + "/icon");
    EXPECT_EQ(config.iconFile, "talor.png");
    EXPECT_EQ(config.temporaryDirectory, base + "/tmp");
    EXPECT_EQ(config.settingsDirectory, base);
    EXPECT_EQ(config.settingsFile, "a.ini");
    EXPECT_EQ(config.secondFile, "b.ini");
    EXPECT_EQ(config.lockSwitch, -1);
    EXPECT_EQ(config.codePrefix, "P");
    EXPECT_EQ(config.accessCode, "A");
    EXPECT_EQ(config.accessComparison, "C");
    EXPECT_EQ(config.reportDate, "2026-10-05");
    EXPECT_EQ(config.periodStart, "2026-10-01");
    EXPECT_EQ(config.periodEnd, "2026-10-31");
}

TEST(SuiteConfig, DefaultsForAbsentValuesAndPostgresValues)
{
    QTemporaryDir dir;
    SuiteConfig config =
        SuiteConfig::load(writeFile(dir.filePath("suite.ini"), "[database]\nfile=suite.db\n"));
    EXPECT_EQ(config.database.kind, "sqlite");
    EXPECT_EQ(config.databaseKind, "2");
    EXPECT_EQ(config.settingsFile, "talor.ini");
    EXPECT_EQ(config.secondFile, "suite2.ini");
    EXPECT_EQ(config.settingsDirectory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(config.temporaryDirectory, QDir::tempPath());
    EXPECT_EQ(config.lockSwitch, 0);
    EXPECT_TRUE(config.organisation.isEmpty());

    config = SuiteConfig::load(writeFile(dir.filePath("suite.ini"),
                                         "[database]\nkind=PostgreSQL\nhost=db.example\n"
                                         "port=6543\nname=attendance\nuser=kq\npassword=s e\n"));
    EXPECT_EQ(config.database.kind, "postgresql");
    EXPECT_EQ(config.database.host, "db.example");
    EXPECT_EQ(config.database.port, 6543);
    EXPECT_EQ(config.database.name, "attendance");
    EXPECT_EQ(config.database.user, "kq");
    EXPECT_EQ(config.database.password, "s e");
    EXPECT_TRUE(config.database.describe().contains("db.example:6543"));
}

struct BadConfig
{
    const char* name;
    const char* text;     // nullptr: no file at all ("@" the directory itself)
    const char* mentions; // besides the file's path
};

class SuiteConfigErrors : public ::testing::TestWithParam<BadConfig>
{};

TEST_P(SuiteConfigErrors, NameTheFileAndTheProblem)
{
    QTemporaryDir dir;
    QString path = QDir(dir.path()).absoluteFilePath("suite.ini");
    if (!GetParam().text)
        path = dir.filePath("nowhere/suite.ini");
    else if (QByteArray(GetParam().text) == "@")
        path = dir.path();
    else
        writeFile(path, QString::fromUtf8(GetParam().text));
    const QString message = suiteError([&] { SuiteConfig::load(path); });
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().mentions))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Values, SuiteConfigErrors,
    ::testing::Values(
        BadConfig{"MissingFile", nullptr, "does not exist"}, BadConfig{"Directory", "@", "not a file"},
        BadConfig{"UnknownKind", "[database]\nkind=oracle\n", "kind=oracle"},
        BadConfig{"NoSqliteFile", "[database]\nkind=sqlite\n", "file"},
        BadConfig{"NoPostgresName", "[database]\nkind=postgresql\nhost=h\n", "name"},
        BadConfig{"BadPort", "[database]\nkind=postgresql\nname=a\nport=99999\n", "port=99999"},
        BadConfig{"PortAboveTheLast", "[database]\nkind=postgresql\nname=a\nport=65536\n", "port=65536"},
        BadConfig{"PortZero", "[database]\nkind=postgresql\nname=a\nport=0\n", "port=0"},
        BadConfig{"PortNotANumber", "[database]\nkind=postgresql\nname=a\nport=x\n", "port=x"},
        BadConfig{"BadLockSwitch", "[database]\nfile=a.db\n[guard]\nlockSwitch=yes\n", "lockSwitch=yes"},
        BadConfig{"BadReportDate", "[database]\nfile=a.db\n[values]\nreportDate=2026-02-30\n", "reportDate"},
        BadConfig{"UnpaddedPeriodStart", "[database]\nfile=a.db\n[values]\nperiodStart=2026-10-1\n",
                  "periodStart=2026-10-1"},
        BadConfig{"BadPeriodEnd", "[database]\nfile=a.db\n[values]\nperiodEnd=31.10.2026\n",
                  "periodEnd=31.10.2026"}),
    [](const ::testing::TestParamInfo<BadConfig>& info) { return std::string(info.param.name); });
