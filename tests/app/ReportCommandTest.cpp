// `talor report` and `talor print` run as a program: the workbook and PDF written, read back,
// against the attendance table read on its own; and the answers to bad requests.
#include "app/RunTalor.h"
#include "demo/DemoSuite.h"
#include "print/PrintTestSupport.h"
#include "settings/IniFile.h"
#include "support/ErrorText.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace talor;

namespace {

class ReportCommand : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        test::ensureApplication();
        dir = new QTemporaryDir;
        DemoOptions options;
        options.employees = 30;
        DemoSuite::generate(dir->filePath("demo"), options);
    }
    static void TearDownTestSuite()
    {
        QSqlDatabase::removeDatabase("demo");
        delete dir;
        dir = nullptr;
    }
    // Runs talor report (or `command`) with the demo suite and `arguments`; the exit status.
    int run(const QStringList& arguments, const QString& command = "report",
            rlim_t fileSizeLimit = RLIM_INFINITY)
    {
        const test::Outcome outcome = test::runTalor(
            QStringList{command, "--suite", dir->filePath("demo/suite.ini")} + arguments, {}, fileSizeLimit);
        EXPECT_TRUE(outcome.finished);
        errors = outcome.errors;
        return outcome.exitCode;
    }
    ::testing::AssertionResult written(const QStringList& arguments)
    {
        return run(arguments) == 0 ? ::testing::AssertionSuccess()
                                   : ::testing::AssertionFailure() << errors.toStdString();
    }
    // The first column of what `sql` selects in the demo's database, as texts.
    QStringList values(const QString& sql)
    {
        if (!QSqlDatabase::contains("demo")) {
            QSqlDatabase added = QSqlDatabase::addDatabase("QSQLITE", "demo");
            added.setDatabaseName(dir->filePath("demo/suite.db"));
            EXPECT_TRUE(added.open());
        }
        QStringList out;
        for (QSqlQuery query(sql, QSqlDatabase::database("demo")); query.next();)
            out << query.value(0).toString();
        return out;
    }
    QString errors;
    static QTemporaryDir* dir;
};

QTemporaryDir* ReportCommand::dir = nullptr;

// What each output holds: the template file's JSON, the PDF's pages as text (all pages; the
// overview's title names the node and the period), or
// xl/workbook.xml and the first sheet of the Excel workbook (a person's block prints its pages
// together); a part after "~" is not held. A person's report runs past 31 days and holds that
// person alone.
TEST_F(ReportCommand, EachOutputHoldsWhatIsPrinted)
{
    // clang-format off
    const std::tuple<QStringList, const char*, QStringList> cases[] = {
        {{"--kind", "2", "--node", "A生产部", "--date", "2026-10-12", "--sum"}, "day.vts",
         {"\"format\": \"talor-vts\"", "生产部部门考勤日报", "日期：", "2026-10-12", "合计："}},
        {{"--kind", "2", "--node", "A生产部", "--date", "2026-10-12", "--sum"}, "day.pdf",
         {"部门考勤日报", "日期：", "2026-10-12", "部门：", "生产部", "合计：", "制表人: ", "审核人: ________"}},
        {{"--kind", "1", "--node", "ROOT", "--person", "00002", "--from", "2026-10-01", "--to", "2026-11-30", "--sum"},
         "person.pdf", {"(00002,", "个人考勤表", "2026-11-30", "~(00001,"}},
        {{"--kind", "3", "--node", "ROOT", "--from", "2026-10-05", "--to", "2026-10-05"}, "day.XLS",
         {"!$A$1:", "pageOrder=\"overThenDown\""}},
        {{"--kind", "overview", "--node", "A生产部", "--from", "2026-10-01", "--to", "2026-10-31"}, "overview.pdf",
         {"异常一览：生产部 2026-10-01 至 2026-10-31", "每日合计"}}};
    // clang-format on
    for (const auto& [arguments, name, expected] : cases) {
        SCOPED_TRACE(name);
        const QString file = dir->filePath(QString::fromUtf8(name));
        ASSERT_TRUE(written(arguments + QStringList{"--output", file}));
        const QString text = file.endsWith(".pdf") ? test::pdfPages(file).join("\f")
                             : file.endsWith(".vts")
                                 ? QString::fromUtf8(test::fileBytes(file))
                                 : QString::fromUtf8(test::unzipMember(file, "xl/workbook.xml") +
                                                     test::unzipMember(file, "xl/worksheets/sheet1.xml"));
        for (const QString& part : expected)
            EXPECT_NE(text.contains(part.startsWith('~') ? part.mid(1) : part), part.startsWith('~'))
                << part.toStdString() << "\n"
                << text.left(2000).toStdString();
    }
}

// The period report of a department: every page holds one person's block under that person's
// own header (a block never shares a page, nor prints under another's name), in list order,
// the same number of pages (down and across) for each, one after another: the first names the
// person, the pages of the block's right-hand columns show no name at all, the last the period.
TEST_F(ReportCommand, KindThreePagesEachNameOnlyThePersonWhoseRowsTheyHold)
{
    const QString pdf = dir->filePath("month.pdf");
    ASSERT_TRUE(written(
        {"--kind", "3", "--node", "A生产部", "--from", "2026-10-01", "--to", "2026-10-31", "--output", pdf}));
    const QStringList numbers =
        values("select memberid from ygzl where depart in ('01', '生产部') order by memberid");
    const QStringList pages = test::pdfPages(pdf);
    ASSERT_TRUE(numbers.size() > 2 && pages.size() % numbers.size() == 0) << pages.size();
    const qsizetype perPerson = pages.size() / numbers.size();
    QStringList seen, expected;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QStringList onPage;
        for (const auto& match : QRegularExpression("\\((\\d{5}),").globalMatch(pages.at(i)))
            onPage << match.captured(1);
        const bool last = i % perPerson == perPerson - 1;
        seen << onPage.join(',') +
                    (pages.at(i).contains("2026-10-01 至 2026-10-31") && last ? " period" : "");
        expected << (i % perPerson ? QString() : numbers.at(i / perPerson)) + (last ? " period" : "");
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(ReportCommand, KindOneWithoutAPersonPutsEveryPersonOfTheNodeInOnePdf)
{
    const QString file = dir->filePath("node.pdf");
    ASSERT_TRUE(written({"--kind", "1", "--node", "A生产部", "--from", "2026-11-01", "--to", "2026-11-30",
                         "--output", file}));
    const QStringList numbers =
        values("select '(' || memberid || ',' from ygzl where depart in ('01', '生产部') order by memberid");
    ASSERT_GT(numbers.size(), 2);
    const QStringList pages = test::pdfPages(file);
    EXPECT_TRUE(test::onPagesInOrder(pages, numbers)) << "each person from a new page, in list order";
    const QString n = QString::number(numbers.size());
    // Standard error is a pipe here: the summary alone, no line per person.
    EXPECT_TRUE(
        errors.contains("talor report: " + n + " persons, " + QString::number(pages.size()) + " pages in ") &&
        !errors.contains("talor report: 1/" + n))
        << errors.toStdString();
    // A PDF that cannot be written ends the walk at the first person, with no summary.
    EXPECT_EQ(run({"--kind", "1", "--node", "A生产部", "--output", dir->filePath("none/node.pdf")}), 1);
    EXPECT_TRUE(errors.contains("Cannot write") && !errors.contains(" persons, ")) << errors.toStdString();
}

// Bad requests: the exit status and what standard error says.
TEST_F(ReportCommand, BadRequestsExitWithTheirStatusAndMessage)
{
    const QString out = "x.vts";
    // The command's arguments, the status, a part of the message, the command.
    // clang-format off
    const std::tuple<QStringList, int, const char*, const char*> cases[] = {
        {{"--kind", "2", "--node", "A无此部门", "--output", out}, 2, "no node A无此部门", "report"},
        {{"--kind", "1", "--node", "ROOT", "--person", "0000", "--output", out}, 2, "person 0000 ", "report"},
        {{"--kind", "2", "--node", "ROOT", "--report", "无此报表", "--output", out}, 2, "无此报表", "report"},
        {{"--kind", "2", "--node", "ROOT", "--date", "2026-02-30", "--output", out}, 2, "--date 2026-02-30", "report"},
        {{"--kind", "3", "--node", "ROOT", "--from", "2026-11-02", "--to", "2026-11-01", "--output", out}, 2, "lies after", "report"},
        {{"--kind", "3", "--node", "ROOT", "--from", "2026-11-02", "--output", out}, 2, "go together", "report"},
        {{"--kind", "3", "--node", "ROOT", "--to", "2026-11-02", "--output", out}, 2, "go together", "report"},
        {{"--kind", "3", "--node", "ROOT", "--from", "2026-10-01", "--to", "2026-11-01", "--output", out}, 2, "超过 31 天", "report"},
        {{"--kind", "4", "--node", "ROOT", "--output", out}, 2, "--kind 4", "report"},
        {{"--kind", "2", "--node", "ROOT", "--output", "x.txt"}, 2, "x.txt", "report"},
        {{"--kind", "1", "--node", "ROOT", "--output", out}, 2, "needs the person", "report"},
        {{"--kind", "1", "--node", "A财务部", "--output", "o.pdf"}, 2, "A财务部 has no employees", "report"},
        {{"--kind", "2", "--node", "ROOT", "--person", "00001", "--output", out}, 2, "--person goes with --kind 1", "report"},
        {{"--kind", "3", "--node", "ROOT", "--person", "00001", "--output", out}, 2, "--person goes with --kind 1", "report"},
        {{"--kind", "2", "--node", "ROOT", "--to", "2026-10-20", "--output", out}, 2, "--kind 2 takes --date", "report"},
        {{"--kind", "3", "--node", "ROOT", "--date", "2026-11-05", "--output", out}, 2, "--date goes with --kind 2", "report"},
        {{"--kind", "overview", "--node", "ROOT", "--sum", "--output", "o.pdf"}, 2, "--sum goes with", "report"},
        {{"--kind", "3", "--node", "ROOT", "--sum", "--output", "o.pdf"}, 2, "--sum goes with", "report"},
        {{"--kind", "2", "--output", out}, 2, "--node is required", "report"},
        {{"--kind", "overview", "--node", "ROOT", "--output", out}, 2, "is not a .pdf file", "report"},
        // The tests run against no print server, so there is no printer.
        {{"--kind", "2", "--node", "ROOT"}, 1, "talor print: this machine has no printer", "print"},
        {{"--kind", "2", "--node", "ROOT", "--output", "x.pdf"}, 2, "talor print: Unknown option 'output'", "print"},
        {{"--kind", "overview", "--node", "ROOT", "--from", "2026-01-01", "--to", "2026-12-31", "--output", "year.pdf"}, 2, "92", "report"}};
    // clang-format on
    for (const auto& [arguments, status, message, command] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(run(arguments, command), status) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QString::fromUtf8(message))) << errors.toStdString();
    }
    // A template missing from the suite's folder is a file that failed, not a bad request.
    const QString kind2 = dir->filePath("demo/template/考勤日报2.vts");
    ASSERT_TRUE(QFile::rename(kind2, kind2 + ".away"));
    EXPECT_EQ(run({"--kind", "2", "--node", "ROOT", "--output", out}), 1);
    EXPECT_TRUE(QFile::rename(kind2 + ".away", kind2) && errors.contains("has no template of kind 2"))
        << errors.toStdString();
}

// A disk that fills at any point of writing the pages or the workbook: exit 1 naming the file,
// and the file that was there stays byte for byte; with room, the same command writes it whole.
TEST_F(ReportCommand, ANearlyFullDiskLeavesTheOldFileAndExitsOne)
{
    for (const QString name : {"full.pdf", "full.xlsx"}) {
        const QString file = dir->filePath(name);
        const QStringList request{"--kind",     "3",    "--node",     "ROOT",     "--from",
                                  "2026-10-01", "--to", "2026-10-31", "--output", file};
        ASSERT_TRUE(written(request));
        const QByteArray whole = test::fileBytes(file);
        // Above what the database's shared-memory file needs; up to a byte short of the file.
        const rlim_t least = 40 * 1024;
        ASSERT_GT(rlim_t(whole.size()), least + 4);
        test::putFile(file, "the old file");
        for (int step = 0; step < 4; ++step) {
            const rlim_t limit = least + (rlim_t(whole.size()) - 1 - least) * rlim_t(step) / 3;
            SCOPED_TRACE(name.toStdString() + " " + std::to_string(limit));
            EXPECT_EQ(run(request, "report", limit), 1) << errors.toStdString();
            EXPECT_TRUE(test::containsAll(errors, {file, "disk is full"})) << errors.toStdString();
            EXPECT_EQ(test::fileBytes(file), "the old file");
        }
        ASSERT_TRUE(written(request));
        // The same report again (its time stamps may differ by a digit's width).
        EXPECT_NEAR(double(test::fileBytes(file).size()), double(whole.size()), 64);
    }
    EXPECT_TRUE(test::fileBytes(dir->filePath("full.pdf")).trimmed().endsWith("%%EOF"));
}

// A file its owner made read-only is not replaced by any of the outputs: exit 1 naming it.
TEST_F(ReportCommand, AReadOnlyFileIsNotReplaced)
{
    for (const QString name : {"kept.pdf", "kept.xlsx", "kept.vts"}) {
        SCOPED_TRACE(name.toStdString());
        const QString file = dir->filePath(name);
        test::putFile(file, "the old file");
        ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        EXPECT_EQ(run({"--kind", "2", "--node", "ROOT", "--output", file}, "report"), 1);
        EXPECT_TRUE(test::containsAll(errors, {file, "read-only (mode 0444)"})) << errors.toStdString();
        EXPECT_EQ(test::fileBytes(file), "the old file");
    }
}

// Ctrl-C while the PDF of a long report is being written (1,822 persons over October): the
// command ends without the output and without a hidden partial file beside it. Kill and a closed
// terminal are handled alike, in the file writer's own tests.
TEST_F(ReportCommand, AnInterruptedReportLeavesNoPartialFile)
{
    DemoOptions options;
    options.employees = 1822;
    options.days = 31;
    DemoSuite::generate(dir->filePath("large"), options);
    QTemporaryDir out;
    QProcess process;
    process.start(QStringLiteral(TALOR_EXECUTABLE),
                  {"report", "--suite", dir->filePath("large/suite.ini"), "--kind", "3", "--node", "ROOT",
                   "--from", "2026-10-01", "--to", "2026-10-31", "--output", out.filePath("month.pdf")});
    ASSERT_TRUE(process.waitForStarted());
    // Until the temporary file has pages in it.
    const auto started = [&] {
        const QFileInfoList files = QDir(out.path()).entryInfoList(QDir::Files | QDir::Hidden);
        return !files.isEmpty() && files.first().size() > 100000;
    };
    for (int waited = 0; !started() && process.state() == QProcess::Running && waited < 120000; waited += 20)
        QThread::msleep(20);
    ASSERT_EQ(process.state(), QProcess::Running) << "the report ended before it could be interrupted";
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_TRUE(process.exitStatus() == QProcess::CrashExit || process.exitCode() != 0);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
}

} // namespace
