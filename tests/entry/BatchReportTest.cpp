// The report parts (layout, queries, display, clicks) run on the demo suite, on SQLite and on
// PostgreSQL: each kind's whole sheet against the one kept. The batch command's own requests are
// tested in tests/app.
#include "entry/BatchReport.h"

#include "db/Recordset.h"
#include "grid/Workbook.h"
#include "suite/LocalSuite.h"
#include "support/ErrorText.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

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

TALOR_BOTH_DATABASES(DemoReports);

} // namespace
