#include "report/PrintSettings.h"

#include "grid/Workbook.h"
#include "print/PrintTestSupport.h"
#include "report/PersonByPersonPrint.h"
#include "report/PrintRun.h"
#include "support/ErrorText.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"
#include "support/SizeLimit.h"

#include <QPdfWriter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using print::PageSetup;

namespace {

// The organisation's and the operator's names print as they are in the default footer and in
// one of the settings: an "&" in them is doubled, so that it starts no code (&T would print the
// time); a code in the setting's own text stays one.
const QString DefaultFooter = "AT&&T示范公司     制表人: A&&B     审核人: ________";

class PrintSettingsTest : public testing::Test
{
protected:
    test::FakeSuite suite;
    PrintSettingsTest()
    {
        suite.settingsDir = "cfg";
        suite.reportKeyValue = "日报";
    }
    void set(const QString& property, const QString& value)
    {
        suite.setSetting("PRINT", "日报." + property, value);
    }
    PageSetup applied(QStringList& refused)
    {
        PageSetup setup;
        PrintSettings(suite).applyKeys(setup, refused);
        return setup;
    }
};

// Every key of the section with a value, and the edges of each range, one in and one out: the
// set-up it gives (with the default footer unless it names one), or the defaults and the value
// refused. Switches are on for exactly "True"; a first page number of -4105 is automatic.
using print::Orientation;
using print::PageOrder;
const struct
{
    const char* setting;
    PageSetup setup;
    bool refused = false;
} KeyCases[] = {
    // clang-format off
    {"LeftHeader=&D", {.leftHeader = "&D"}}, {"CenterHeader=中", {.centerHeader = "中"}},
    {"RightHeader= r ", {.rightHeader = " r "}}, {"LeftFooter=左", {.leftFooter = "左"}},
    {"CenterFooter=核对 &P", {.centerFooter = "AT&&T示范公司     核对 &P"}},
    {"RightFooter=第&P页", {.rightFooter = "第&P页"}},
    {"LeftMargin=1", {.leftMargin = 72}}, {"RightMargin=0.75in", {.rightMargin = 54}},
    {"TopMargin=x", {.topMargin = 0}}, {"BottomMargin=0.5", {.bottomMargin = 36}}, {"BottomMargin=-1", {}, true},
    {"HeaderMargin=0.25", {.headerMargin = 18}}, {"FooterMargin=0.1", {.footerMargin = 7.2}},
    {"PrintHeadings=True", {.printHeadings = true}}, {"PrintGridLines=true", {}},
    {"PrintGridLines=True", {.printGridLines = true}}, {"PrintComments=-4142", {.printComments = -4142}},
    {"PrintQuality=600", {.printQuality = 600}}, {"CenterHorizontally=True", {.centerHorizontally = true}},
    {"CenterVertically=True ", {}}, {"Orientation=1", {}}, {"Orientation=2", {.orientation = Orientation::Landscape}},
    {"Orientation=3", {}, true}, {"Draft=True", {.draft = true}}, {"PaperSize=13", {.paperSize = 13}},
    {"PaperSize=999", {}, true}, {"PaperSize=1", {.paperSize = 1}}, {"PaperSize=0", {}, true},
    {"PaperSize=41", {.paperSize = 41}}, {"PaperSize=42", {}, true}, {"FirstPageNumber=7", {.firstPageNumber = 7}},
    {"FirstPageNumber=-4105", {}}, {"FirstPageNumber=0", {.firstPageNumber = 0}}, {"FirstPageNumber=-1", {}, true},
    {"FirstPageNumber=65535", {.firstPageNumber = 65535}}, {"FirstPageNumber=65536", {}, true}, {"Order=1", {}},
    {"Order=2", {.order = PageOrder::OverThenDown}}, {"Order=3", {}, true}, {"BlackAndWhite=True", {.blackAndWhite = true}},
    {"Zoom=75", {.zoom = 75}}, {"Zoom=False", {.fitToPages = true}}, {"Zoom=9", {}, true}, {"Zoom=10", {.zoom = 10}},
    {"Zoom=99.5", {}, true}, {"Zoom=400", {.zoom = 400}}, {"Zoom=401", {}, true},
    {"FitToPagesWide=2", {.fitToPages = true, .fitToPagesWide = 2}},
    {"FitToPagesWide=32767", {.fitToPages = true, .fitToPagesWide = 32767}}, {"FitToPagesWide=32768", {}, true},
    {"FitToPagesTall=0", {.fitToPages = true, .fitToPagesTall = 0}}, {"FitToPagesTall=-1", {}, true},
    // A zoom wins over the fit keys.
    {"Zoom=100|FitToPagesWide=2", {.fitToPagesWide = 2}},
    {"Zoom=0|FitToPagesWide=2", {.fitToPages = true, .fitToPagesWide = 2}},
    // clang-format on
};

TEST_F(PrintSettingsTest, EachKeyHasItsEffectAndAbsentOrEmptyOnesLeaveTheDefaults)
{
    const PageSetup defaults{.centerFooter = DefaultFooter};
    suite.organisation = "AT&T示范公司";
    suite.operatorNameValue = "A&B";
    for (const auto& [setting, setup, refusedOne] : KeyCases) {
        SCOPED_TRACE(setting);
        suite.settings.clear();
        for (const QString& keyValue : QString::fromUtf8(setting).split(u'|'))
            set(keyValue.section(u'=', 0, 0), keyValue.section(u'=', 1));
        PageSetup expected = setup;
        expected.centerFooter = setup.centerFooter.isEmpty() ? DefaultFooter : setup.centerFooter;
        QStringList refused;
        const bool asExpected = applied(refused) == expected;
        // Each refusal starts with the setting refused.
        EXPECT_EQ(std::pair(asExpected, refused.replaceInStrings(QRegularExpression(":.*"), "")),
                  std::pair(true, refusedOne ? QStringList{QString::fromUtf8(setting)} : QStringList()));
    }

    // Absent keys leave the defaults; the key of another report is not read.
    QStringList refused;
    suite.settings.clear();
    suite.setSetting("PRINT", "别的.LeftMargin", "2");
    EXPECT_TRUE(applied(refused) == defaults);
    // Switches on a defaults set-up, then every key present but empty: switches go off.
    for (const auto& c : KeyCases)
        set(QString::fromUtf8(c.setting).section(u'=', 0, 0), "");
    PageSetup on;
    on.printHeadings = on.printGridLines = on.centerHorizontally = on.centerVertically = on.draft =
        on.blackAndWhite = true;
    PrintSettings(suite).applyKeys(on, refused);
    EXPECT_EQ(std::pair(on == defaults, refused), std::pair(true, QStringList()));
}

// The print area, title rows, centre header, sections and caption row by layout. The period
// report (kind 3) prints a block per person: each starts a page under its own header.
TEST_F(PrintSettingsTest, AreaTitleRowsAndCentreHeaderByLayout)
{
    // The report kind, layout and extent; area, title rows, centre header, section rows and title
    // rows, captions.
    // clang-format off
    const struct { const char* option; bool heading; int columns, rows; const char* expected; } cases[] = {
        {"2", false, 8, 40, "$A$1:$H$40 $1:$4  0/0 "},
        {"1", true, 8, 30, "$A$1:$H$31 $1:$1 &\"宋体,加粗\"&16&A 0/0 列1..列8"},
        {"2", false, 100, 36, "$A$1:$CV$36 $1:$4  0/0 "},
        {"1", true, 100, 1, "$A$1:$CV$2 $1:$1 &\"宋体,加粗\"&16&A 0/0 列1..列100"},
        {"3", false, 100, 72, "$A$1:$CV$72   36/4 "},
        {"3", true, 14, 72, "$A$1:$N$73 $1:$1 &\"宋体,加粗\"&16&A 36/0 列1..列14"}};
    // clang-format on
    set("CenterHeader", "不用");
    QStringList headings;
    for (int i = 1; i <= 101; ++i)
        headings << QStringLiteral("列%1").arg(i);
    for (const auto& c : cases) {
        suite.option = c.option;
        const ReportPrintSetup r = PrintSettings(suite).build(c.heading, c.columns, c.rows, headings);
        const PageSetup& s = r.pageSetup;
        const QString captions =
            r.headingRow.isEmpty() ? QString() : r.headingRow.first() + ".." + r.headingRow.last();
        EXPECT_EQ(QStringList({s.printAreaText(), s.titleRowsText(), s.centerHeader,
                               QString::number(s.sectionRows) + '/' + QString::number(s.sectionTitleRows),
                               captions})
                      .join(' '),
                  QString::fromUtf8(c.expected));
    }
}

class PrintRunTest : public PrintSettingsTest
{
protected:
    QTemporaryDir dir;
    test::ScriptedUi ui;
    grid::Workbook book;

    PrintRunTest()
    {
        suite.tempDir = suite.settingsDir = dir.path();
        set("RightFooter", "第&P页");
        book.setSheetName(1, "张三(0012,生产部)考勤表");
        for (int r = 1; r <= 120; ++r) {
            book.setText(r, 1, QStringLiteral("员工%1").arg(r));
            book.setText(r, 2, QString::number(r));
        }
        book.active().setColumnHeading(1, "姓名");
        book.active().setColumnHeading(2, "工时");
    }
};

// Without a printer the pages go to a PDF next to the print file. A template with more sheets
// than the report's: every sheet that has something on it is printed, in the book's order,
// the others with the default set-up (no caption row, no footer); an empty sheet prints nothing.
// Every column's caption heads the report's pages.
TEST_F(PrintRunTest, PrintWithoutAPrinterWritesEverySheetHoldingSomethingToThePdfAndExportsHoldTheSetUp)
{
    ASSERT_TRUE(QPrinterInfo::defaultPrinter().isNull()) << "the tests run against no print server";
    const int notes = book.addSheet("填表说明");
    book.sheet(notes).setText(1, 1, "迟到以分钟计");
    book.addSheet("空白");
    const PrintRun::Result result = PrintRun(suite, ui, book, true).print();
    EXPECT_EQ(result.skipped + QStringList{result.pdfFile},
              QStringList{dir.filePath(test::fallbackPdfName())});
    const QStringList pages = test::pdfPages(result.pdfFile);
    ASSERT_EQ(pages.size(), result.pages);
    ASSERT_GE(pages.size(), 3);
    // The sheet name in the centre header, the caption row repeating with the footer, the notes
    // last without either; the print file holds the notes too; no dialog.
    EXPECT_EQ(
        QList<bool>({test::containsAll(pages[0], {"张三(0012,生产部)考勤表", "员工1"}),
                     test::containsAll(pages[1], {"姓名", "工时", "第2页"}),
                     pages.at(pages.size() - 2).contains("员工120"), pages.last().contains("迟到以分钟计"),
                     pages.last().contains("姓名") || pages.last().contains("第"),
                     test::unzipMember(result.printFile, "xl/workbook.xml").contains("填表说明"),
                     ui.dialogsShown.isEmpty()}),
        QList<bool>({true, true, true, true, false, true, true}))
        << pages.join("\n").toStdString();
    // The job is named after the report's sheet, wherever that stands in the book.
    book.setActiveSheet(notes);
    const QString titled = PrintRun(suite, ui, book, true).print().pdfFile;
    book.setActiveSheet(1);
    EXPECT_TRUE(test::runTool("pdfinfo", {titled}).contains("Title:           填表说明"));

    // An export holds the set-up and the caption row.
    const QString path = dir.filePath("导出.xls");
    const PrintRun::Result exported = PrintRun(suite, ui, book, true).exportTo("  " + path + " ");
    EXPECT_EQ(exported.skipped + QStringList{exported.printFile}, QStringList{path});
    EXPECT_TRUE(test::containsAll(test::unzipMember(path, "xl/workbook.xml"),
                                  {"!$A$1:$B$121</definedName>", "!$1:$1</definedName>"}));
    EXPECT_TRUE(test::containsAll(
        test::unzipMember(path, "xl/worksheets/sheet1.xml"),
        {R"(<dimension ref="A1:B121"/>)", "<oddHeader>&amp;C&amp;\"宋体,加粗\"&amp;16&amp;A</oddHeader>"}));

    // A failing step is told, each file it could not write named once, and the next step still
    // runs.
    suite.tempDir = dir.filePath("missing");
    suite.setSetting("PRINT", "日报.Orientation", "7");
    const PrintRun::Result printed = PrintRun(suite, ui, book, false).print();
    ASSERT_EQ(std::pair(printed.skipped.size(), printed.pdfFile), std::pair(qsizetype(3), QString()))
        << printed.skipped.join("; ").toStdString();
    EXPECT_TRUE(printed.skipped[0].startsWith("PRINT Orientation=7"));
    for (const QString& file :
         {dir.filePath("missing/Tmp.xls"), dir.filePath("missing/" + test::fallbackPdfName())}) {
        const QRegularExpression told("^Cannot write \"?" + QRegularExpression::escape(file));
        EXPECT_EQ(std::pair(printed.skipped.filter(told).size(), printed.skipped.join(' ').count(file)),
                  std::pair(qsizetype(1), qsizetype(1)))
            << printed.skipped.join("; ").toStdString();
    }
}

// A report without rows still prints its page of captions; a print shows its progress from the long work's
// number of pages on, a preview none; a PDF that cannot be finished is not named.
TEST_F(PrintRunTest, CaptionsProgressAndAPdfThatCannotBeFinished)
{
    const PrintRun::Result all = PrintRun(suite, ui, book, true).print();
    // Prints of one page short of the long work's pages and of as many; a preview shows none at
    // all: it cannot be stopped.
    QList<int> shown;
    for (const auto& [pages, rows, preview] :
         {std::tuple{all.pages + 1, 1 << 30, false}, {all.pages, 1 << 30, false}, {1, 1, true}}) {
        PrintRun run(suite, ui, book, true);
        run.showProgress("报表打印", {pages, rows});
        preview ? void(run.preview()) : void(run.print());
        shown << ui.progressShown;
    }
    EXPECT_EQ(shown, QList<int>({0, 1, 1}));
    // Stopped while its pages are painted, a printer's job is dropped where its driver can drop
    // it; where not, it is printed whole and that is said.
    struct PrinterUi : test::ScriptedUi
    {
        PrinterUi(const QString& pdf, bool drops) : pdf(pdf), drops(drops) { stopProgress = true; }
        const QString pdf;
        const bool drops;
        std::unique_ptr<QPagedPaintDevice> defaultPrinter(const QString&, QString&) override
        {
            return std::make_unique<QPdfWriter>(pdf);
        }
        bool abortPrinter(QPagedPaintDevice&) override { return drops; }
    };
    // whether the driver drops the job: stopped, sent, pages printed, what was said skipped
    // clang-format off
    const struct { bool drops; std::tuple<bool, bool, bool, qsizetype> outcome; } stops[] = {
        {true, {true, false, false, 0}}, {false, {false, true, true, 1}}};
    // clang-format on
    for (const auto& [drops, outcome] : stops) {
        PrinterUi printer(dir.filePath("printer.pdf"), drops);
        PrintRun run(suite, printer, book, true);
        run.showProgress("报表打印", {1, 1 << 30});
        const PrintRun::Result result = run.print();
        EXPECT_EQ(std::tuple(result.stopped, result.sent, result.pages > 0, result.skipped.size()), outcome);
    }
    set("LeftHeader", "&F"); // a PDF written without a print file still names the print file
    const QString named = PrintRun(suite, ui, book, true).writePdf(dir.filePath("页.pdf")).pdfFile;
    EXPECT_TRUE(test::pdfPages(named).value(0).contains("Tmp.xls"));
    // A PDF that cannot be finished on a full disk is not named as written.
    const QString finished = test::writeUnderSizeLimit(1000, [&] {
        const PrintRun::Result pdf = PrintRun(suite, ui, book, true).writePdf(dir.filePath("满.pdf"));
        throw std::runtime_error(
            QString("%1|%2|%3").arg(pdf.sent).arg(pdf.pdfFile).arg(pdf.skipped.size()).toStdString());
    });
    EXPECT_EQ(finished, "0||1");
    book.active().setLastRow(1);
    book.active().clearCell(1, 1);
    book.active().clearCell(1, 2);
    EXPECT_EQ(PrintRun(suite, ui, book, true).print().pages, 1);
}

// Three persons shown one after another in the grid: each fills the sheet with the person's
// name; `unreadable` cannot be shown.
struct ThreePersons : PersonWalk
{
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

    grid::Workbook& m_book;
    QString m_unreadable, m_name;
    int m_index = 0;
};

// Person by person: the first previewed, then after a yes the others in one job, each on its own
// page under its own name; a no, the stop button or an unreadable person end the walk, and what
// was printed still goes out. A job that cannot take the pages ends the walk at its first person.
TEST_F(PrintRunTest, PersonByPersonPreviewsTheFirstAndPrintsTheRestInOneJob)
{
    using End = PersonByPersonPrint::End;
    // Said yes before; the answer after the first preview; the stop button pressed while the
    // preview shows; the unreadable person; the temporary folder missing (no PDF can be written
    // there); the end, persons done and printed, the job's pages by the name on each, the
    // persons shown and the questions asked.
    // clang-format off
    struct Case { const char* name; bool printRest; UiService::Answer answer; bool stopInPreview; const char* unreadable;
                  bool noFolder; End end; int done, printed; QStringList printedPages; int shown, questions; };
    // clang-format on
    const auto Yes = UiService::Answer::Yes, No = UiService::Answer::No;
    // clang-format off
    const Case cases[] = {{"yes", false, Yes, false, "", false, End::List, 3, 2, {"员工乙", "员工丙"}, 3, 1},
        {"no", false, No, false, "", false, End::Declined, 1, 0, {}, 1, 1}, {"stopped", false, Yes, true, "", false, End::Stopped, 1, 0, {}, 1, 0},
        {"unreadable", false, Yes, false, "丙", false, End::Failed, 2, 1, {"员工乙"}, 2, 1},
        {"yes before", true, Yes, false, "", false, End::List, 3, 3, {"员工甲", "员工乙", "员工丙"}, 3, 0},
        {"no folder", false, Yes, false, "", true, End::OutputFailed, 1, 0, {}, 2, 1}};
    // clang-format on
    const QString folder = suite.tempDir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        suite.tempDir = c.noFolder ? dir.filePath("missing") : folder;
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
        QStringList names;
        for (const QString& page :
             outcome.job.pdfFile.isEmpty() ? QStringList() : test::pdfPages(outcome.job.pdfFile))
            names << page.section(QRegularExpression("员工"), 1).left(1).prepend("员工");
        EXPECT_EQ(std::tuple(outcome.end, outcome.done, outcome.printed, int(ui.messages.size()), printRest,
                             outcome.failure.isEmpty(), int(statuses.size()), outcome.lastName, names,
                             outcome.job.pages),
                  std::tuple(c.end, c.done, c.printed, c.questions,
                             (c.end != End::Declined && c.end != End::Stopped) || c.printRest,
                             c.end != End::Failed, c.shown, QString("甲乙丙").mid(c.shown - 1, 1),
                             c.printedPages, int(c.printedPages.size())))
            << outcome.failure.toStdString();
    }
    // A job that took its persons but cannot be finished (a full disk) printed none of them; a
    // person who could not be read still ends the walk as a failure.
    suite.tempDir = folder;
    for (const auto& [unreadable, end, pages] :
         {std::tuple{"", End::OutputFailed, 3}, {"丙", End::Failed, 2}}) {
        const QString full = test::writeUnderSizeLimit(1000, [&] {
            PersonByPersonPrint batch(
                ui, nullptr, [&] { return PrintRun(suite, ui, book, false); }, [](const QString&) {});
            ThreePersons persons(book, QString::fromUtf8(unreadable));
            bool printRest = true;
            const PersonByPersonPrint::Outcome o = batch.run(persons, 3, printRest);
            throw std::runtime_error(QString::asprintf("%d %d %d %d %d", int(o.end), o.done, o.printed,
                                                       o.job.pages, int(o.job.skipped.size()))
                                         .toStdString());
        });
        EXPECT_EQ(full, QString::asprintf("%d 0 0 %d %d", int(end), pages, pages + 1))
            << "end, done, printed, pages in the job, failures named";
    }
}

} // namespace
