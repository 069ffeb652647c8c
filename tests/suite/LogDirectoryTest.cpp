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

TEST(LogDirectory, FollowsTheKeysAndSparesTheProgramDirectory)
{
    talor::test::ensureApplication();
    QTemporaryDir dir;
    const QString suiteDir = dir.filePath(QStringLiteral("suite")),
                  program = QCoreApplication::applicationDirPath();
    DemoOptions options;
    options.employees = options.days = 1;
    DemoSuite::generate(suiteDir, options);
    ASSERT_TRUE(QFile::link(program, dir.filePath(QStringLiteral("link"))));
    const SuiteConfig loaded = SuiteConfig::load(suiteDir + QStringLiteral("/suite.ini"));
    // The [paths] application key ("@" stands for the suite's directory, empty for the
    // program's), the log key, and the folder the log goes to.
    const struct
    {
        const char *application, *log;
        QString expected;
    } cases[] = {{"", "", loaded.workDirectory},
                 {"@", "", suiteDir},
                 {"@/../link", "", loaded.workDirectory},
                 {"", "logs", suiteDir + "/logs"},
                 {"@", "logs", suiteDir + "/logs"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.application) + " " + c.log);
        SuiteConfig config = loaded;
        // The keys as load() resolves them: relative paths from the configuration's directory.
        const QString application = QString::fromUtf8(c.application).replace(u'@', suiteDir);
        config.applicationDirectory = application.isEmpty() ? program : QDir(suiteDir).filePath(application);
        config.logDirectory = *c.log ? QDir(suiteDir).filePath(QString::fromUtf8(c.log)) : QString();
        const QString log = LocalSuite(config).logDirectory();
        EXPECT_EQ(QDir(log), QDir(c.expected)) << log.toStdString();
        EXPECT_NE(QDir(log), QDir(program));
    }
}
