// Where the "Log" folder of saved sheets goes: never into the talor program's own directory,
// which an installed program shares with its package.
#include "demo/DemoSuite.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/TestDatabases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

struct LogCase
{
    const char* name;
    const char* application; // the [paths] application key; "@" stands for the suite's directory
    const char* log;         // the [paths] log key
    const char* expected;    // "work", "suite" or "given"
};

class LogDirectory : public ::testing::TestWithParam<LogCase>
{};

TEST_P(LogDirectory, FollowsTheKeysAndSparesTheProgramDirectory)
{
    talor::test::ensureApplication();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString suiteDir = dir.filePath(QStringLiteral("suite"));
    DemoOptions options;
    options.employees = 1;
    options.days = 1;
    DemoSuite::generate(suiteDir, options);
    ASSERT_TRUE(QFile::link(QCoreApplication::applicationDirPath(), dir.filePath(QStringLiteral("link"))));

    SuiteConfig config = SuiteConfig::load(suiteDir + QStringLiteral("/suite.ini"));
    // The keys as load() resolves them: relative paths from the configuration's directory.
    const QString application = QString::fromUtf8(GetParam().application).replace(u'@', suiteDir);
    config.applicationDirectory =
        application.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(suiteDir).filePath(application);
    config.logDirectory =
        *GetParam().log ? QDir(suiteDir).filePath(QString::fromUtf8(GetParam().log)) : QString();
    const LocalSuite suite(config);

    const QString expected = QString::fromUtf8(GetParam().expected);
    const QString want = expected == "work"    ? config.workDirectory
                         : expected == "suite" ? suiteDir
                                               : QDir(suiteDir).filePath(QStringLiteral("logs"));
    EXPECT_EQ(QDir(suite.logDirectory()), QDir(want)) << suite.logDirectory().toStdString();
    EXPECT_NE(QDir(suite.logDirectory()), QDir(QCoreApplication::applicationDirPath()));
}

INSTANTIATE_TEST_SUITE_P(Paths, LogDirectory,
                         ::testing::Values(LogCase{"ProgramDirectoryGivesWork", "", "", "work"},
                                           LogCase{"OtherApplicationDirectoryKeepsIt", "@", "", "suite"},
                                           LogCase{"ProgramDirectoryThroughALink", "@/../link", "", "work"},
                                           LogCase{"GivenLogWins", "", "logs", "given"},
                                           LogCase{"GivenLogWinsOverApplication", "@", "logs", "given"}),
                         [](const ::testing::TestParamInfo<LogCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
