// The host program run as a user runs it (exit statuses and messages, help and manual page,
// under no display), and `talor demo` run in the process.
#include "DemoCommand.h"
#include "HostCommands.h"
#include "app/RunTalor.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using talor::test::Outcome;

namespace {

// Runs talor with `args` under the offscreen platform (or `platform`) and no display; "@" in an
// argument stands for `dir`.
Outcome talor(const QStringList& args, const QString& dir,
              const QString& platform = QStringLiteral("offscreen"))
{
    QStringList arguments;
    for (const QString& arg : args)
        arguments << QString(arg).replace(u'@', dir);
    return talor::test::runTalor(arguments, {"QT_QPA_PLATFORM=" + platform, "DISPLAY", "WAYLAND_DISPLAY",
                                             "XDG_DATA_HOME=" + dir + "/data"});
}

struct HostCase
{
    const char* name;
    QStringList args;
    int exitCode;
    const char* error; // a part of what standard error must say
    const char* platform = "offscreen";
};

class HostTest : public ::testing::TestWithParam<HostCase>
{};

// Usage errors exit with 2, start-up errors (no display among them) with 1; the error is on
// standard error and the program ends (no box waits for a person who is not there). Qt's own
// options of the window are taken.
TEST_P(HostTest, ExitStatusAndMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    talor::test::putFile(dir.filePath(QStringLiteral("empty.db")), {});
    talor::test::putFile(dir.filePath(QStringLiteral("bad.ini")), "[database]\nkind=sqlite\nfile=empty.db\n");

    const Outcome run = talor(GetParam().args, dir.path(), QString::fromUtf8(GetParam().platform));
    ASSERT_TRUE(run.finished) << "talor did not end";
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(GetParam().error).replace(u'@', dir.path())))
        << run.errors.toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    CommandLine, HostTest,
    ::testing::Values(
        HostCase{"UnknownOption", {"--colour", "red"}, 2, "colour"},
        HostCase{"StrayArgument", {"--suite", "@/bad.ini", "extra"}, 2, "extra"},
        HostCase{"SuiteWithoutFile", {"--suite", ""}, 2, "--suite"},
        HostCase{"MissingSuite", {"--suite", "@/none.ini"}, 1, "@/none.ini"},
        HostCase{"NotASuite", {"--suite", "@/bad.ini"}, 1, "is not a suite database"},
        HostCase{"UnknownCommand", {"frobnicate", "--help"}, 2, "unknown command \"frobnicate\""},
        HostCase{"UnknownDemoOption", {"demo", "--dir", "@/d", "--colour"}, 2, "talor demo: Unknown option 'colour'"},
        HostCase{"StrayReportArgument", {"report", "--kind", "1", "extra"}, 2, "talor report: unexpected argument \"extra\""},
        HostCase{"StrayDemoArgument", {"demo", "--dir", "@/d", "extra"}, 2, "unexpected argument \"extra\""},
        HostCase{"VersionWithACommand", {"demo", "--version"}, 2, "version"},
        HostCase{"QtsOwnOptionsAreTaken", {"-style", "Fusion", "-reverse", "--platform=offscreen", "--suite", "@/none.ini"}, 1, "@/none.ini"},
        HostCase{"NoDisplay", {"--suite", "@/none.ini"}, 1, "there is no display", ""},
        HostCase{"NoX11Display", {"-platform", "xcb", "--suite", "@/none.ini"}, 1, "there is no display"},
        HostCase{"DemoWithoutDir", {"demo", "--employees", "5"}, 2, "--dir DIR is required"},
        HostCase{"DemoNoEmployees", {"demo", "--dir", "@/d", "--employees", "0"}, 2, "--employees 0 is not a whole number"},
        HostCase{"DemoEmployeesNotANumber", {"demo", "--dir", "@/d", "--employees", "many"}, 2, "--employees many"},
        HostCase{"DemoNegativeDays", {"demo", "--dir", "@/d", "--days", "-3"}, 2, "--days -3 is not a whole number"},
        HostCase{"DemoBadFrom", {"demo", "--dir", "@/d", "--from", "2026-02-30"}, 2, "--from 2026-02-30 is not a date"},
        HostCase{"DemoOneDayPastYear9999", {"demo", "--dir", "@/d", "--from", "9999-12-28", "--days", "5"}, 2, "ends after 9999-12-31"},
        HostCase{"DemoTooManyRows", {"demo", "--dir", "@/d", "--employees", "10001", "--days", "1000"}, 2, "makes 10001000 daily rows"},
        HostCase{"DemoBadSeed", {"demo", "--dir", "@/d", "--seed", "x1"}, 2, "--seed x1 is not a whole number"}),
    [](const ::testing::TestParamInfo<HostCase>& info) { return std::string(info.param.name); });
// clang-format on

// `talor --help` and `talor NAME --help` of every command: on standard output, exit status 0,
// without a display (a platform that cannot start); the help names every option the command
// takes, and the manual page has a section for the command with every option.
TEST(HostHelpTest, EveryCommandHasHelpAndAManualSection)
{
    QFile manualFile(QStringLiteral(TALOR_MANUAL));
    ASSERT_TRUE(manualFile.open(QIODevice::ReadOnly)) << TALOR_MANUAL;
    const QString manual = QString::fromUtf8(manualFile.readAll());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_GE(talor::hostCommands().size(), 3);
    for (const talor::HostCommand& command : talor::hostCommands()) {
        SCOPED_TRACE(command.name.toStdString());
        QStringList args;
        if (!command.name.isEmpty())
            args << command.name;
        for (const QString& help : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Outcome run = talor(QStringList(args) << help, dir.path(), QStringLiteral("xcb"));
            ASSERT_TRUE(run.finished);
            EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
            EXPECT_EQ(run.errors, QString());
            EXPECT_TRUE(run.output.startsWith(QStringLiteral("usage: talor ") + args.join(u' ')))
                << run.output.toStdString();
            for (const QCommandLineOption& option : command.options)
                EXPECT_TRUE(run.output.contains(QStringLiteral("--") + option.names().constLast()))
                    << option.names().constLast().toStdString();
        }
        const QString section = command.name.isEmpty()
                                    ? QStringLiteral(".SH OPTIONS\n")
                                    : QStringLiteral(".SS \"talor %1\"\n").arg(command.name);
        const qsizetype at = manual.indexOf(section);
        ASSERT_GE(at, 0) << section.toStdString();
        const qsizetype end = manual.indexOf(QStringLiteral(".S"), at + section.size());
        const QString part = manual.mid(at, end - at);
        for (const QCommandLineOption& option : command.options)
            EXPECT_TRUE(part.contains(QStringLiteral("\\fB\\-\\-") + option.names().constLast() + u'\\'))
                << option.names().constLast().toStdString();
    }
    // The window's help lists every command.
    const Outcome run = talor({QStringLiteral("--help")}, dir.path(), QStringLiteral("xcb"));
    for (const talor::HostCommand& command : talor::hostCommands())
        EXPECT_TRUE(run.output.contains(QStringLiteral("\n  ") + command.name + u' ') ||
                    command.name.isEmpty())
            << command.name.toStdString();
}

// A demo run ended by a signal while it builds removes its hidden scratch directory itself; one
// killed outright leaves it, and the next run in the same place removes it.
TEST(HostDemoTest, EndedRunsLeaveNoScratchDirectory)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir parent(dir.path());
    const auto scratch = [&parent] {
        return parent.entryList({QStringLiteral(".talor-demo-*")}, QDir::Dirs | QDir::Hidden);
    };
    for (const bool outright : {false, true}) {
        SCOPED_TRACE(outright ? "killed" : "terminated");
        QProcess big;
        big.start(QStringLiteral(TALOR_EXECUTABLE),
                  {"demo", "--dir", dir.filePath("big"), "--employees", "5000", "--days", "1000"});
        ASSERT_TRUE(big.waitForStarted());
        // Ended once it writes its database.
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired() &&
               (scratch().isEmpty() || !parent.exists(scratch().first() + "/suite.db")))
            QThread::msleep(20);
        ASSERT_EQ(scratch().size(), 1) << "the run was not caught while building";
        if (outright)
            big.kill();
        else
            big.terminate();
        big.waitForFinished();
        EXPECT_EQ(big.exitStatus(), QProcess::CrashExit);
        if (!outright) {
            EXPECT_EQ(scratch(), QStringList());
        }
    }

    const Outcome small = talor({"demo", "--dir", "@/small", "--employees", "1", "--days", "1"}, dir.path());
    ASSERT_TRUE(small.finished);
    EXPECT_EQ(small.exitCode, 0) << small.errors.toStdString();
    EXPECT_EQ(parent.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("small")});
}

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
        EXPECT_EQ(talor::runDemoCommand(args), exitCode);
        EXPECT_EQ(QFileInfo::exists(parent.filePath("d/suite.ini")), exitCode == 0);
    }
}

} // namespace
