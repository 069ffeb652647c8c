// The suite configuration: its values, relative paths, defaults, and errors that name the file.
#include "suite/SuiteConfig.h"

#include "suite/SuiteServices.h"
#include "support/ErrorText.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace talor;

// Writes the configuration and gives its path.
static QString writeFile(const QString& path, const QString& text)
{
    talor::test::putFile(path, text.toUtf8());
    return path;
}

TEST(SuiteConfig, ReadsEveryValueAndResolvesRelativePaths)
{
    QTemporaryDir dir;
    const QString text =
        "[database]\nkind=sqlite\nfile=data/suite.db\n[suite]\ndatabaseKind= 2\norganisation=示范公司\n"
        "operator=张三\nmoduleKey=考勤日报\nscope=出勤\nfilter=depart<>'x'\nallowedMenus=,A,B,\n"
        "currentTable=KQ0001\n[paths]\napplication=/opt/talor\nwork=work\ntemplate=../tpl\nicon=icon\n"
        "iconFile=talor.png\ntemporary=tmp\nsettingsDirectory=.\nsettingsFile=a.ini\nsecondFile=b.ini\n"
        "[guard]\nlockSwitch=-1\ncodePrefix=P\naccessCode=A\naccessComparison=C\n[values]\n"
        "reportDate=2026-10-05\nperiodStart=2026-10-01\nperiodEnd=2026-10-31\n";
    const SuiteConfig c = SuiteConfig::load(writeFile(dir.filePath("suite.ini"), text));
    const QString base = QDir(dir.path()).absolutePath();
    // clang-format off
    EXPECT_EQ(QStringList({c.database.kind, c.database.file, c.databaseKind, c.organisation, c.operatorName,
                           c.moduleKey, c.scope, c.filter, c.allowedMenus, c.currentTable, c.applicationDirectory,
                           c.workDirectory, c.templateDirectory, c.iconDirectory, c.iconFile, c.temporaryDirectory,
                           c.settingsDirectory, c.settingsFile, c.secondFile, QString::number(c.lockSwitch),
                           c.codePrefix, c.accessCode, c.accessComparison, c.reportDate, c.periodStart, c.periodEnd}),
              QStringList({"sqlite", base + "/data/suite.db", "2", "示范公司", "张三", "考勤日报", "出勤",
                           "depart<>'x'", ",A,B,", "KQ0001", "/opt/talor", base + "/work",
                           QDir::cleanPath(base + "/../tpl"), base + "/icon", "talor.png", base + "/tmp", base,
                           "a.ini", "b.ini", "-1", "P", "A", "C", "2026-10-05", "2026-10-01", "2026-10-31"}));
    // clang-format on
}

TEST(SuiteConfig, DefaultsForAbsentValuesAndPostgresValues)
{
    QTemporaryDir dir;
    SuiteConfig c = SuiteConfig::load(writeFile(dir.filePath("suite.ini"), "[database]\nfile=suite.db\n"));
    EXPECT_EQ(QStringList({c.database.kind, c.databaseKind, c.settingsFile, c.secondFile, c.settingsDirectory,
                           c.temporaryDirectory, c.organisation, QString::number(c.lockSwitch)}),
              QStringList({"sqlite", "2", "talor.ini", "suite2.ini", QDir(dir.path()).absolutePath(),
                           qEnvironmentVariable("XDG_CACHE_HOME", QDir::homePath() + "/.cache") + "/talor",
                           "", "0"}));
    EXPECT_TRUE(QFileInfo(c.temporaryDirectory).isDir()) << "the temporary folder made when missing";
    // Without a home (a service started without HOME) the system's temporary folder, nothing made.
    const QByteArray home = qgetenv("HOME"), cache = qgetenv("XDG_CACHE_HOME");
    qunsetenv("HOME");
    qunsetenv("XDG_CACHE_HOME");
    const QString homeless = SuiteConfig::load(dir.filePath("suite.ini")).temporaryDirectory;
    qputenv("HOME", home);
    qputenv("XDG_CACHE_HOME", cache);
    EXPECT_EQ(homeless, QDir::tempPath());

    c = SuiteConfig::load(writeFile(dir.filePath("suite.ini"),
                                    "[database]\nkind=PostgreSQL\nhost=db.example\n"
                                    "port=65535\nname=attendance\nuser=kq\npassword= s e \n"));
    EXPECT_EQ(QStringList({c.database.kind, c.database.password, c.database.describe()}),
              QStringList({"postgresql", " s e ",
                           "PostgreSQL server db.example:65535 (database attendance, user kq)"}));
    c = SuiteConfig::load(writeFile(dir.filePath("suite.ini"), "[database]\nkind=postgresql\nname=a\n"));
    EXPECT_EQ(c.database.host, "127.0.0.1") << "the server on this machine";
}

// Each bad configuration fails naming the file and the problem.
TEST(SuiteConfig, ErrorsNameTheFileAndTheProblem)
{
    // The file (nullptr: none, "@": a folder), the named part.
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {{nullptr, "does not exist"}, {"@", "not a file"},
        {"[database]\nkind=oracle\n", "kind=oracle"}, {"[database]\nkind=sqlite\n", "file"},
        {"[database]\nkind=postgresql\nhost=h\n", "name"}, {"[database]\nkind=postgresql\nname=a\nport=65536\n", "port=65536"},
        {"[database]\nkind=postgresql\nname=a\nport=0\n", "port=0"}, {"[database]\nkind=postgresql\nname=a\nport=x\n", "port=x"},
        {"[database]\nfile=a.db\n[guard]\nlockSwitch=yes\n", "lockSwitch=yes"}, {"[database]\nfile=a.db\n[values]\nreportDate=2026-02-30\n", "reportDate"},
        {"[database]\nfile=a.db\n[values]\nperiodStart=2026-10-1\n", "periodStart=2026-10-1"},
        {"[database]\nfile=a.db\n[values]\nperiodEnd=31.10.2026\n", "periodEnd=31.10.2026"},
        {"[database]\nfile=a.db\n[values]\nperiodEnd=2026/09/30\n", "periodEnd=2026/09/30 is not valid"},
        {"[values]\nperiodStart=2026-10-02\nperiodEnd=2026-10-01\n[database]\nfile=a\n", "2026-10-02 is later"},
        {"\xEF\xBB\xBF[database]\nfile=a.db\n[values]\nx=1\n[database]\nfile=b.db\n", "line 6: [database] file is given on line 2"},
        {"[database]\nfile=a.db\n; a = b\n# c = d\n[suite]\nfilter = depart='1'\n", "line 6"}, {"[database]\n file=a.db\n", "line 2"},
        {"[database]\nfile=a.db\n[suite\nfile=b.db\n", "line 4: [database] file is given on line 2"}};
    // clang-format on
    for (const auto& [text, named] : cases) {
        SCOPED_TRACE(named);
        QTemporaryDir dir;
        QString path = QDir(dir.path()).absoluteFilePath("suite.ini");
        if (!text)
            path = dir.filePath("nowhere/suite.ini");
        else if (QByteArray(text) == "@")
            path = dir.path();
        else
            writeFile(path, QString::fromUtf8(text));
        EXPECT_TRUE(
            talor::test::containsAll(talor::test::errorText<SuiteError>([&] { SuiteConfig::load(path); }),
                                     {path, QString::fromUtf8(named)}));
    }
}
