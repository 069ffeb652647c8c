// The host program run as a user runs it (exit statuses and messages, under no display), and
// `talor demo` run in the process.
#include "HostCommands.h"
#include "app/RunTalor.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using talor::test::Outcome;

namespace {

// Runs talor with `args` under the offscreen platform and no display, then with `environment`'s
// changes ("NAME=value" sets, "NAME" removes); "@" in an argument stands for `dir`.
Outcome talor(const QStringList& args, const QString& dir, const QStringList& environment = {})
{
    QStringList arguments;
    for (const QString& arg : args)
        arguments << QString(arg).replace(u'@', dir);
    return talor::test::runTalor(arguments, QStringList{"QT_QPA_PLATFORM=offscreen", "DISPLAY",
                                                        "WAYLAND_DISPLAY", "XDG_DATA_HOME=" + dir + "/data"} +
                                                environment);
}

// Usage errors exit with 2, start-up errors (no display among them) with 1; the error is on
// standard error and the program ends (no box waits for a person who is not there). Qt's own
// options of the window are taken. The platform is offscreen unless a case changes it.
TEST(HostTest, ExitStatusAndMessage)
{
    QTemporaryDir dir;
    talor::test::putFile(dir.filePath(QStringLiteral("blocker")), {});
    // clang-format off
    const struct { QStringList args; int exitCode; const char* error; QStringList environment = {}; } cases[] = {
        {{"--colour", "red"}, 2, "colour"}, {{"--suite", ""}, 2, "--suite"},
        {{"--suite", "@/none.ini", "extra"}, 2, "extra"},
        {{"dem", "--help"}, 2, "unknown command \"dem\""},
        {{"report", "--kind", "1", "extra"}, 2, "talor report: unexpected argument \"extra\""},
        {{"report", "--suite", "@/none.ini", "--kind", "2", "--node", "ROOT", "--output", "@/x.vts"}, 1, "@/none.ini"},
        {{"demo", "--version"}, 2, "version"}, {{"demo"}, 2, "--dir DIR is required"},
        {{"-style", "Fusion", "-reverse", "--platform=offscreen", "--suite", "@/none.ini"}, 1, "@/none.ini"},
        {{}, 1, "there is no display", {"QT_QPA_PLATFORM"}}, {{"--suite", "@/none.ini"}, 1, "there is no display", {"QT_QPA_PLATFORM"}},
        {{"-platform", "xcb", "--suite", "@/none.ini"}, 1, "there is no display"},
        {{"-platform", "xcb", "--suite", "@/none.ini"}, 1, "there is no display", {"WAYLAND_DISPLAY=w"}},
        {{"-platform", "wayland-egl", "--suite", "@/none.ini"}, 1, "there is no display"},
        {{"demo", "--dir", " ", "--employees", "0"}, 2, "--dir DIR is required"},
        {{"demo", "--dir", "@/d", "--employees", "0"}, 2, "--employees 0 is not a whole number"},
        {{"demo", "--dir", "@/d", "--days", "-3"}, 2, "--days -3 is not a whole number"},
        {{"demo", "--dir", "@/d", "--from", "2026-02-30"}, 2, "--from 2026-02-30 is not a date"},
        {{"demo", "--dir", "@/d", "--from", "9999-12-28", "--days", "5"}, 2, "ends after 9999-12-31"},
        {{"demo", "--dir", "@/d", "--employees", "10001", "--days", "1000"}, 2, "makes 10001000 daily rows"},
        {{"demo", "--dir", "@/d", "--seed", "x1"}, 2, "--seed x1 is not a whole number"},
        // Demos made (the second ends on the last day there is); the longest period, the largest
        // demo and the lowest and highest seeds taken, where the directory is what fails.
        {{"demo", "--dir", "@/d1", "--employees", "5", "--days", "3", "--from", "2025-02-27", "--seed", "4"}, 0, ""},
        {{"demo", "--dir", "@/d2", "--employees", "1", "--from", "9999-12-27", "--days", "5"}, 0, ""},
        {{"demo", "--dir", "@/blocker/d", "--employees", "2", "--days", "36600", "--seed", "0"}, 1, ""},
        {{"demo", "--dir", "@/blocker/d", "--employees", "10000", "--days", "1000", "--seed", "4294967295"}, 1, ""}};
    // clang-format on
    for (const auto& [args, exitCode, error, environment] : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Outcome run = talor(args, dir.path(), environment);
        EXPECT_EQ(std::tuple(run.finished, run.exitCode,
                             run.errors.contains(QString::fromUtf8(error).replace(u'@', dir.path()))),
                  std::tuple(true, exitCode, true))
            << run.errors.toStdString();
    }
    for (const char* made : {"d/suite.ini", "d1/suite.ini", "d2/suite.ini"})
        EXPECT_EQ(QFileInfo::exists(dir.filePath(made)), made[1] != '/') << made;
}

// A demo run ended by a signal while it builds removes its hidden scratch directory itself; one
// killed outright leaves it, and the next run in the same place removes it.
TEST(HostDemoTest, EndedRunsLeaveNoScratchDirectory)
{
    QTemporaryDir dir;
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
        EXPECT_EQ(std::pair(big.exitStatus(), scratch().size()),
                  std::pair(QProcess::CrashExit, qsizetype(outright)));
    }

    const Outcome small = talor({"demo", "--dir", "@/small", "--employees", "1", "--days", "1"}, dir.path());
    EXPECT_EQ(small.exitCode, 0) << small.errors.toStdString();
    EXPECT_EQ(parent.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("small")});
}

// A command that lays out pages takes the offscreen platform itself when none is chosen: a
// report of a small demo is written as a PDF.
TEST(HostDemoTest, AReportLaysOutItsPagesWithoutAPlatformChosen)
{
    QTemporaryDir dir;
    ASSERT_EQ(talor({"demo", "--dir", "@/suite", "--employees", "2", "--days", "3"}, dir.path()).exitCode, 0);
    const Outcome report = talor(
        {"report", "--suite", "@/suite/suite.ini", "--kind", "2", "--node", "ROOT", "--output", "@/day.pdf"},
        dir.path(), {"QT_QPA_PLATFORM"});
    EXPECT_EQ(std::pair(report.exitCode, talor::test::fileBytes(dir.filePath("day.pdf")).left(5)),
              std::pair(0, QByteArray("%PDF-")))
        << report.errors.toStdString();
}

} // namespace
