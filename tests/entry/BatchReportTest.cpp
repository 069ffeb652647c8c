// The report parts (layout, queries, display, clicks) run on the demo suite, on SQLite and on
// PostgreSQL: each kind's whole sheet against the one kept, and the shared period read against
// each person's own query. The batch command's own requests are tested in tests/app.
#include "entry/BatchReport.h"

#include "db/Recordset.h"
#include "demo/DemoSuite.h"
#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "sheet/PeriodBlock.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/ErrorText.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// `pattern` with its places %1, %2, ... filled by `values` in turn.
template <typename... T> QString filled(QString pattern, const T&... values)
{
    ((pattern = pattern.arg(values)), ...);
    return pattern;
}

// The whole shown report as lines of text: the labels, sheet name and query, the extent,
// selection, each row's cells (kind, shown text, formula, format), and the formats by first
// use, so that a renumbered format table with the same looks compares equal.
QStringList shownSheet(BatchReport& report, const SuiteServices& suite)
{
    const grid::Sheet& s = report.book().active();
    const grid::CellRange sel = s.selection();
    QStringList lines{QStringList{report.label(1), report.label(2), report.label(3),
                                  report.book().sheetName(1), suite.composedQuery()}
                          .join(u'|'),
                      filled(QStringLiteral("extent %1 x %2, selection %3,%4:%5,%6, active %7,%8"),
                             s.lastRow(), s.lastColumn(), sel.row1, sel.col1, sel.row2, sel.col2,
                             s.activeRow(), s.activeColumn())};
    QList<int> formats{0};
    for (int r = 1; r <= s.lastRow(); ++r) {
        QStringList cells;
        for (int c = 1; c <= s.lastColumn(); ++c) {
            const bool formula = s.isFormula(r, c), number = s.isNumber(r, c);
            QString cell = formula ? "F:" + s.text(r, c) + " " + s.formula(r, c)
                           : number
                               ? "N:" + s.text(r, c) + " (" + QString::number(s.number(r, c), 'g', 17) + ")"
                           : s.isEmpty(r, c) ? QString()
                                             : "T:" + s.text(r, c);
            const int id = s.formatId(r, c);
            if (!formats.contains(id))
                formats << id;
            if (id != 0)
                cell += "@" + QString::number(formats.indexOf(id));
            cells << cell.replace('\n', "\\n");
        }
        lines << QString::number(r) + ": " + cells.join('|');
    }
    for (int i = 1; i < formats.size(); ++i) {
        const grid::CellFormat& f = s.formatById(formats[i]);
        lines << filled(QStringLiteral("@%1 = %2, fill %3 %4 %5, border %6 %7 %8 %9 colours %10 %11 %12 %13"),
                        i, f.numberFormat, f.fill.pattern, f.fill.foreground, f.fill.background,
                        f.border.left, f.border.right, f.border.top, f.border.bottom, f.border.leftColour,
                        f.border.rightColour, f.border.topColour, f.border.bottomColour);
    }
    return lines;
}

// Compares the shown sheet with the one kept in tests/entry/shown/<name>.txt, line by line;
// TALOR_WRITE_SHOWN=1 writes the file instead (after a deliberate change of what is shown).
void expectShown(BatchReport& report, const SuiteServices& suite, const QString& name)
{
    const QString path = qEnvironmentVariable("TALOR_SOURCE_DIR") + "/tests/entry/shown/" + name + ".txt";
    const QString shown = shownSheet(report, suite).join('\n') + '\n';
    if (qEnvironmentVariable("TALOR_WRITE_SHOWN") == "1")
        return test::putFile(path, shown.toUtf8());
    // A difference shows as a diff of the lines.
    EXPECT_EQ(shown.toStdString(), test::fileBytes(path).toStdString()) << name.toStdString();
}

class DemoReports : public test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        options.employees = 40;
        suite = std::make_unique<LocalSuite>(
            test::demoSuiteConfig(temporaryPath() + "/demo", options, db(), server()));
        report = std::make_unique<BatchReport>(*suite);
    }
    void TearDown() override
    {
        report.reset();
        suite.reset();
        DatabaseTest::TearDown();
    }
    // What a run ends in: the request's refusal, another error marked as such, or else the
    // person label.
    QString outcome(const BatchReportRequest& request)
    {
        try {
            report->run(request);
            return report->label(3);
        } catch (const BatchRequestError& error) {
            return error.message();
        } catch (const std::exception& error) {
            return "error: " + QString::fromUtf8(error.what());
        }
    }

    DemoOptions options;
    std::unique_ptr<LocalSuite> suite;
    std::unique_ptr<BatchReport> report;
};

// Every cell, text, format, fill, frame and sum of the shown sheet, the same on both databases:
// a faster display must show exactly this.
TEST_P(DemoReports, ShownSheetsStayAsKept)
{
    report->run({2, "ROOT", {}, {}, {}, {}, {}, true});
    expectShown(*report, *suite, "kind2-organisation");
    report->run({3, "C生产部装配一组甲班", {}, {}, QDate(2026, 10, 15), QDate(2026, 11, 14), {}, false});
    expectShown(*report, *suite, "kind3-team");
    report->run({1, "ROOT", "00002", {}, QDate(2026, 10, 1), QDate(2026, 10, 31), {}, true});
    expectShown(*report, *suite, "kind1-person");
}

// Kind 3 read for all of a node's persons at once shows the same sheet and leaves the same
// records (source, fields, typed values) for editing and saving as each person's own query
// does; also where a personal condition reaches other persons' rows or ends in a comment.
// Persons whose numbers order otherwise as numbers than as text, one of them without rows, rows
// on the first and the last day of the month and of the period.
TEST_P(DemoReports, KindThreeFromOneSharedReadShowsAndLeavesWhatEachPersonsQueryDoes)
{
    QSqlQuery insert(suite->connection());
    for (const char* person : {"'9', '九号'", "'10', '十号'", "'010', '零十号'"})
        ASSERT_TRUE(insert.exec(
            QString("insert into ygzl (memberid, name, depart) values (%1, '生产部')").arg(person)));
    for (const char* row : {"'9', '2026-10-01', '九号', 3, 2", "'9', '2026-10-31', '九号', 5, 0",
                            "'10', '2026-10-31', '十号', 7, 1", "'10', '2026-11-14', '十号', 1, 0"})
        ASSERT_TRUE(insert.exec(
            QString("insert into kq0001 (memberid, zhdate, name, cdfz, ncolor, depart) values (%1, '生产部')")
                .arg(row)))
            << row;
    const std::tuple<const char*, QDate, QDate, const char*> cases[] = {
        {"A生产部", QDate(2026, 10, 15), QDate(2026, 11, 14), ""},
        {"ROOT", QDate(2026, 10, 1), QDate(2026, 10, 31), ""},
        {"A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31), "cdfz>0"},
        {"A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31), "ncolor=1 or ncolor=2"},
        {"A生产部", QDate(2026, 10, 1), QDate(2026, 10, 31), "cdfz>=0 --"},
    };
    ModuleParts& parts = report->parts();
    const QString file = temporaryPath() + "/shown.vts";
    for (const auto& [node, from, to, personCondition] : cases) {
        SCOPED_TRACE(personCondition);
        report->run({3, node, {}, {}, from, to, {}, false});
        parts.context().state.PersonCondition = QString::fromUtf8(personCondition);
        const auto show = [&](bool sharedRead) {
            parts.clicks().sharedPeriodRead = sharedRead;
            suite->setComposedQuery(QString()); // whatever the last click left
            parts.clicks().treeClick();
            report->book().write(file, grid::FileType::Template);
            Recordset records = parts.context().records.EmployeeRecords;
            QStringList out{test::fileBytes(file).toBase64(), records.source(),
                            records.fieldNames().join(',')};
            for (records.moveFirst(); !records.eof(); records.moveNext())
                for (const QString& field : records.fieldNames())
                    out << QString(records.value(field).metaType().name()) + ':' +
                               records.value(field).toString();
            return out;
        };
        const QStringList own = show(false);
        EXPECT_EQ(show(true).join('\n').toStdString(), own.join('\n').toStdString())
            << "the whole sheet, and the records that editing and saving go on with";
    }
}

// More persons than the sheet has rows for (a 36-row block each) are refused before any
// block is shown, naming how many fit: never a report cut short as if it were whole.
TEST_P(DemoReports, KindThreeOfMorePersonsThanTheSheetHoldsIsRefusedBeforeAnyBlock)
{
    const int fit = PeriodBlock::maxPersons();
    // One statement for the tens of thousands of persons, on either database.
    QSqlQuery insert(suite->connection());
    ASSERT_TRUE(insert.exec(QStringLiteral("with recursive n(i) as (select %1 union all select i + 1 from n "
                                           "where i < %2) insert into ygzl (memberid, name) "
                                           "select 'X' || (1000000 + i), '临时' from n")
                                .arg(options.employees)
                                .arg(fit)))
        << insert.lastError().text().toStdString();
    const QString message = outcome({3, "ROOT", {}, {}, {}, {}, {}, false});
    EXPECT_TRUE(test::containsAll(message, {QString::number(fit), QString::number(fit + 1)}))
        << message.toStdString();
    EXPECT_LE(report->book().active().lastRow(), 36) << "no block written";
}

// A department added whose names run together like an existing group's (生产部装配 一组 beside
// 生产部 装配一组) makes the run-together key stand for both: it is refused, naming the keys joined
// by "/" that tell them apart, and those reach each node.
TEST_P(DemoReports, AKeyThatNamesOfSeveralNodesRunTogetherToIsRefusedNamingTheirOwn)
{
    QSqlQuery insert(suite->connection());
    ASSERT_TRUE(insert.exec(QStringLiteral("insert into zdb3 (proid, parid, proname, proval, proval1) values "
                                           "(9001, 1, '生产部装配', 0, 0), (9002, 9001, '一组', 0, 1)")))
        << insert.lastError().text().toStdString();
    QStringList outcomes;
    for (const char* key : {"B生产部装配一组", "B生产部/装配一组", "B生产部装配/一组"})
        outcomes << outcome({2, QString::fromUtf8(key), {}, {}, {}, {}, {}, false});
    EXPECT_EQ(
        outcomes.join(u'\n').toStdString(),
        "the node key B生产部装配一组 stands for several nodes whose names run together alike; name one of "
        "them: B生产部/装配一组, B生产部装配/一组\n生产部装配一组\n生产部装配一组");
}

// The run reads the attendance table the module's settings name, not the suite's current one.
TEST_P(DemoReports, TheReportReadsTheTableTheModuleSettingsName)
{
    ModuleSettings(*suite).write(keys::Table, "nosuch");
    const QString message = outcome({2, "ROOT", {}, {}, {}, {}, {}, false});
    EXPECT_TRUE(message.contains("nosuch")) << message.toStdString();
}

TALOR_BOTH_DATABASES(DemoReports);

} // namespace
