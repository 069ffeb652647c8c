// `talor demo` run in the process: its exit statuses and the suite it leaves (or does not).
#include "DemoCommand.h"

#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

// Exit codes of "talor demo": 0 done, 1 failed; "@" stands for a fresh directory. The usage
// errors (status 2) and their messages are the host's cases.
TEST(DemoCommand, ExitCodes)
{
    talor::test::ensureApplication();
    const std::pair<QStringList, int> cases[] = {
        {{"--dir", "@/d", "--employees", "5", "--days", "3", "--from", "2025-02-27", "--seed", "4"}, 0},
        // Ends on the last day there is (one day later is a usage error).
        {{"--dir", "@/d", "--employees", "1", "--from", "9999-12-27", "--days", "5"}, 0},
        {{"--dir", "@/blocker/d", "--employees", "2", "--days", "1"}, 1}};
    for (const auto& [options, exitCode] : cases) {
        SCOPED_TRACE(options.join(' ').toStdString());
        QTemporaryDir parent;
        talor::test::putFile(parent.filePath("blocker"), {});
        QStringList args{"talor", "demo"};
        for (const QString& arg : options)
            args << QString(arg).replace("@", parent.path());
        EXPECT_EQ(runDemoCommand(args), exitCode);
        EXPECT_EQ(QFileInfo::exists(parent.filePath("d/suite.ini")), exitCode == 0);
    }
}
