// `talor report` run as a program: the workbook it writes, read back, against the attendance
// table read on its own; and its answers to bad requests.
#include "grid/Workbook.h"
#include "suite/DemoSuite.h"
#include "support/TestDatabases.h"

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
        delete dir;
        dir = nullptr;
    }
    // Runs talor report with the demo suite and `arguments`; the exit status.
    int run(const QStringList& arguments)
    {
        QProcess process;
        process.start(qEnvironmentVariable("TALOR_BUILD_DIR") + "/talor",
                      QStringList{"report", "--suite", dir->filePath("demo/suite.ini")} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        errors = QString::fromUtf8(process.readAllStandardError());
        output = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitCode();
    }
    QString errors, output;
    static QTemporaryDir* dir;
};

QTemporaryDir* ReportCommand::dir = nullptr;

TEST_F(ReportCommand, WritesTheDayOfADepartmentAsTheTableHoldsIt)
{
    const QString file = dir->filePath("day.vts");
    ASSERT_EQ(run({"--kind", "2", "--node", "A生产部", "--date", "2026-10-12", "--sum", "--output", file}), 0)
        << errors.toStdString();
    grid::Workbook book;
    book.read(file);
    const grid::Sheet& sheet = book.sheet(1);

    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "report-command");
    db.setDatabaseName(dir->filePath("demo/suite.db"));
    ASSERT_TRUE(db.open());
    {
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec("select memberid, name, cdfz, jbgs from kq0001 where zhdate='2026-10-12' and "
                               "depart in ('01', '生产部') order by memberid"));
        int row = 5;
        double overtime = 0;
        for (; query.next(); ++row) {
            EXPECT_EQ(sheet.text(row, 1), query.value(0).toString());
            EXPECT_EQ(sheet.text(row, 2), query.value(1).toString());
            EXPECT_EQ(sheet.number(row, 8), query.value(2).toDouble());
            EXPECT_EQ(sheet.number(row, 11), query.value(3).toDouble());
            overtime += query.value(3).toDouble();
        }
        ASSERT_GT(row, 6);
        EXPECT_EQ(sheet.lastRow(), row);
        EXPECT_EQ(sheet.text(row, 1), "合计：");
        EXPECT_EQ(sheet.text(row, 2), QString::number(row - 5));
        EXPECT_NEAR(sheet.number(row, 11), overtime, 0.005);
        EXPECT_EQ(book.sheetName(1), "生产部部门考勤日报");
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("report-command");
}

TEST_F(ReportCommand, WritesExcelWorkbooks)
{
    const QString file = dir->filePath("month.xlsx");
    ASSERT_EQ(run({"--kind", "3", "--node", "ROOT", "--output", file}), 0) << errors.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(2), "PK") << "an xlsx (zip) workbook";
}

struct BadRequest
{
    const char* name;
    QStringList arguments;
    int status;
    const char* message;
};

class ReportCommandErrors : public ReportCommand, public ::testing::WithParamInterface<BadRequest>
{
};

TEST_P(ReportCommandErrors, ExitStatusAndMessage)
{
    const BadRequest& c = GetParam();
    EXPECT_EQ(run(c.arguments), c.status) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QString::fromUtf8(c.message))) << errors.toStdString();
}

const QString Out = "x.vts";

INSTANTIATE_TEST_SUITE_P(
    Requests, ReportCommandErrors,
    ::testing::Values(BadRequest{"UnknownNode", {"--kind", "2", "--node", "A无此部门", "--output", Out}, 2, "no node A无此部门"},
                      BadRequest{"UnknownPerson", {"--kind", "1", "--node", "ROOT", "--person", "X1", "--output", Out}, 2,
                                 "person X1"},
                      BadRequest{"UnknownReport", {"--kind", "2", "--node", "ROOT", "--report", "无此报表", "--output", Out},
                                 2, "无此报表"},
                      BadRequest{"BadDate", {"--kind", "2", "--node", "ROOT", "--date", "2026-02-30", "--output", Out}, 2,
                                 "--date 2026-02-30"},
                      BadRequest{"PeriodBackwards",
                                 {"--kind", "3", "--node", "ROOT", "--from", "2026-11-02", "--to", "2026-11-01", "--output", Out},
                                 2, "lies after"},
                      BadRequest{"BadKind", {"--kind", "4", "--node", "ROOT", "--output", Out}, 2, "--kind 4"},
                      BadRequest{"BadOutput", {"--kind", "2", "--node", "ROOT", "--output", "x.pdf"}, 2, "x.pdf"},
                      BadRequest{"MissingNode", {"--kind", "2", "--output", Out}, 2, "--node is required"}),
    [](const ::testing::TestParamInfo<BadRequest>& info) { return std::string(info.param.name); });

TEST_F(ReportCommand, HelpAndAMissingSuite)
{
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_TRUE(output.contains("--person")) << output.toStdString();
    QProcess process;
    process.start(qEnvironmentVariable("TALOR_BUILD_DIR") + "/talor",
                  {"report", "--suite", dir->filePath("none.ini"), "--kind", "2", "--node", "ROOT", "--output", Out});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
}

} // namespace
