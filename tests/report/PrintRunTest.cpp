#include "report/PrintRun.h"

#include "grid/Workbook.h"
#include "print/PrintTestSupport.h"
#include "report/PersonByPersonPrint.h"
#include "support/ErrorText.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

class PrintRunTest : public testing::Test
{
protected:
    QTemporaryDir dir;
    test::FakeSuite suite;
    test::ScriptedUi ui;
    grid::Workbook book;

    PrintRunTest()
    {
        suite.tempDir = dir.path();
        suite.settingsDir = dir.path();
        suite.reportKeyValue = "日报";
        suite.setSetting("PRINT", "日报.RightFooter", "第&P页");
        book.setSheetName(1, "张三(0012,生产部)考勤表");
        for (int r = 1; r <= 120; ++r) {
            book.setText(r, 1, QStringLiteral("员工%1").arg(r));
            book.setText(r, 2, QString::number(r));
        }
        book.active().setColumnHeading(1, "姓名");
        book.active().setColumnHeading(2, "工时");
    }
};

} // namespace

TEST_F(PrintRunTest, ExportHoldsTheSetUpAndTheCaptionRow)
{
    const QString path = dir.filePath("导出.xls");
    const PrintRun::Result result = PrintRun(suite, ui, book, true).exportTo("  " + path + " ");
    EXPECT_EQ(result.skipped + QStringList{result.printFile}, QStringList{path});
    const QString workbook = test::unzipMember(path, "xl/workbook.xml");
    EXPECT_TRUE(test::containsAll(workbook, {"!$A$1:$B$121</definedName>", "!$1:$1</definedName>"}));
    const QString sheet = test::unzipMember(path, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(test::containsAll(sheet, {R"(<dimension ref="A1:B121"/>)",
                                          "<oddHeader>&amp;C&amp;\"宋体,加粗\"&amp;16&amp;A</oddHeader>"}));
}

TEST_F(PrintRunTest, AFailingStepIsNamedAndTheNextStepStillRuns)
{
    suite.tempDir = dir.filePath("missing");
    suite.setSetting("PRINT", "日报.Orientation", "7");
    const PrintRun::Result result = PrintRun(suite, ui, book, false).print();
    ASSERT_EQ(result.skipped.size(), 3) << result.skipped.join("; ").toStdString();
    const QStringList steps{"PRINT Orientation=7", "write " + dir.filePath("missing/Tmp.xls"),
                            "write " + dir.filePath("missing/Tmp.pdf")};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(result.skipped[i].startsWith(steps[i])) << result.skipped[i].toStdString();
    EXPECT_TRUE(result.pdfFile.isEmpty());
}

// Without a printer the pages go to a PDF next to the print file. A template with more sheets
// than the report's: every sheet that has something on it is printed, in the book's order,
// the others with the default set-up (no caption row, no footer); an empty sheet prints nothing.
TEST_F(PrintRunTest, PrintWithoutAPrinterWritesEverySheetHoldingSomethingToThePdf)
{
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests run against no print server";
    const int notes = book.addSheet("填表说明");
    book.sheet(notes).setText(1, 1, "迟到以分钟计");
    book.addSheet("空白");
    const PrintRun::Result result = PrintRun(suite, ui, book, true).print();
    EXPECT_EQ(result.skipped + QStringList{result.pdfFile}, QStringList{dir.filePath("Tmp.pdf")});
    const QStringList pages = test::pdfPages(result.pdfFile);
    ASSERT_EQ(pages.size(), result.pages);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains("张三(0012,生产部)考勤表") && pages[0].contains("员工1"))
        << "the sheet name in the centre header";
    EXPECT_TRUE(pages[1].contains("姓名") && pages[1].contains("第2页")) << "the caption row repeats";
    EXPECT_TRUE(pages.at(pages.size() - 2).contains("员工120"));
    EXPECT_TRUE(pages.last().contains("迟到以分钟计"));
    EXPECT_FALSE(pages.last().contains("姓名") || pages.last().contains("第")) << pages.last().toStdString();
    EXPECT_TRUE(test::unzipMember(result.printFile, "xl/workbook.xml").contains("填表说明"));
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
}

namespace {

// Three persons shown one after another in the grid: each fills the sheet with the person's
// name; `unreadable` cannot be shown.
class ThreePersons : public PersonWalk
{
public:
    ThreePersons(grid::Workbook& book, const QString& unreadable) : m_book(book), m_unreadable(unreadable) {}
    bool next() override
    {
        if (m_index == 3)
            return false;
        m_name = QStringList{"甲", "乙", "丙"}.at(m_index++);
        if (m_name == m_unreadable)
            throw std::runtime_error("读不出 " + m_name.toStdString());
        m_book.active().clear();
        m_book.setText(1, 1, "员工" + m_name);
        return true;
    }
    int index() const override { return m_index; }
    QString name() const override { return m_name; }

private:
    grid::Workbook& m_book;
    QString m_unreadable, m_name;
    int m_index = 0;
};

} // namespace

// Person by person: the first previewed, then after a yes the others in one job, each on its own
// page under its own name; a no, the stop button or an unreadable person end the walk, and what
// was printed still goes out.
TEST_F(PrintRunTest, PersonByPersonPreviewsTheFirstAndPrintsTheRestInOneJob)
{
    using End = PersonByPersonPrint::End;
    // Said yes before; the answer after the first preview; the stop button pressed while the
    // preview shows; the unreadable person; the end, persons done and printed, the job's pages
    // by the name on each, and the questions asked.
    struct Case
    {
        const char* name;
        bool printRest;
        UiService::Answer answer;
        bool stopInPreview;
        const char* unreadable;
        End end;
        int done, printed;
        QStringList printedPages;
        int questions;
    };
    const auto Yes = UiService::Answer::Yes, No = UiService::Answer::No;
    const Case cases[] = {
        {"yes", false, Yes, false, "", End::List, 3, 2, {"员工乙", "员工丙"}, 1},
        {"no", false, No, false, "", End::Declined, 1, 0, {}, 1},
        {"stopped", false, Yes, true, "", End::Stopped, 1, 0, {}, 0},
        {"unreadable", false, Yes, false, "丙", End::Failed, 2, 1, {"员工乙"}, 1},
        {"yes before", true, Yes, false, "", End::List, 3, 3, {"员工甲", "员工乙", "员工丙"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedUi ui;
        ui.answers = {c.answer};
        if (c.stopInPreview)
            ui.previews.push_back([&ui] { ui.stopProgress = true; });
        QStringList statuses;
        PersonByPersonPrint batch(
            ui, nullptr, [&] { return PrintRun(suite, ui, book, false); },
            [&](const QString& line) { statuses << line; });
        ThreePersons persons(book, QString::fromUtf8(c.unreadable));
        bool printRest = c.printRest;
        const PersonByPersonPrint::Outcome outcome = batch.run(persons, 3, printRest);
        EXPECT_EQ(std::tuple(outcome.end, outcome.done, outcome.printed, int(ui.messages.size()), printRest),
                  std::tuple(c.end, c.done, c.printed, c.questions,
                             (c.end != End::Declined && c.end != End::Stopped) || c.printRest));
        EXPECT_EQ(statuses.size(), c.end == End::Failed ? c.done : qMax(c.done, 1));
        QStringList names;
        for (const QString& page :
             outcome.job.pdfFile.isEmpty() ? QStringList() : test::pdfPages(outcome.job.pdfFile))
            names << page.section(QRegularExpression("员工"), 1).left(1).prepend("员工");
        EXPECT_EQ(names, c.printedPages);
        EXPECT_EQ(outcome.job.pages, c.printedPages.size());
        EXPECT_EQ(outcome.failure.isEmpty(), c.end != End::Failed) << outcome.failure.toStdString();
    }
}
