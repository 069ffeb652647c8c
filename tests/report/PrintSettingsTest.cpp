#include "report/PrintSettings.h"

#include "grid/Workbook.h"
#include "print/PageRenderer.h"
#include "print/PrintTestSupport.h"
#include "print/XlsxPageSetup.h"
#include "support/FakeSuite.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using print::PageSetup;

namespace {

const QString DefaultFooter = "示范公司     制表人: 张三     审核人: ________";

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
    PageSetup applied(QStringList* refused = nullptr)
    {
        PageSetup setup;
        QStringList none;
        PrintSettings(suite).applyKeys(setup, refused ? *refused : none);
        return setup;
    }
};

const char* const AllKeys[] = {"LeftHeader",
                               "CenterHeader",
                               "RightHeader",
                               "LeftFooter",
                               "CenterFooter",
                               "RightFooter",
                               "LeftMargin",
                               "RightMargin",
                               "TopMargin",
                               "BottomMargin",
                               "HeaderMargin",
                               "FooterMargin",
                               "PrintHeadings",
                               "PrintGridLines",
                               "PrintComments",
                               "PrintQuality",
                               "CenterHorizontally",
                               "CenterVertically",
                               "Orientation",
                               "Draft",
                               "PaperSize",
                               "FirstPageNumber",
                               "Order",
                               "BlackAndWhite",
                               "Zoom",
                               "FitToPagesWide",
                               "FitToPagesTall"};

} // namespace

TEST_F(PrintSettingsTest, AbsentAndEmptyKeysLeaveTheDefaultsAndSwitchesOff)
{
    PageSetup expected;
    expected.centerFooter = DefaultFooter;
    QStringList refused;
    EXPECT_EQ(applied(&refused), expected);
    // Switches on a defaults set-up, then every key present but empty: switches go off.
    for (const char* key : AllKeys)
        set(key, "");
    PageSetup on;
    on.printHeadings = on.printGridLines = on.centerHorizontally = on.centerVertically = on.draft =
        on.blackAndWhite = true;
    PrintSettings(suite).applyKeys(on, refused);
    EXPECT_EQ(on, expected);
    EXPECT_TRUE(refused.isEmpty()) << refused.join("; ").toStdString();
    // The key of another report is not read.
    suite.setSetting("PRINT", "别的.LeftMargin", "2");
    EXPECT_EQ(applied().leftMargin, expected.leftMargin);
}

struct KeyCase
{
    const char* name;
    const char* property;
    const char* value;
    std::function<bool(const PageSetup&)> check;
    bool refused = false;
};

class PrintKeys : public PrintSettingsTest, public testing::WithParamInterface<KeyCase>
{};

TEST_P(PrintKeys, EachKeyHasItsEffect)
{
    const KeyCase& c = GetParam();
    set(c.property, QString::fromUtf8(c.value));
    QStringList refused;
    const PageSetup setup = applied(&refused);
    EXPECT_TRUE(c.check(setup));
    EXPECT_EQ(refused.size(), c.refused ? 1 : 0) << refused.join("; ").toStdString();
    if (c.refused) {
        EXPECT_TRUE(refused[0].startsWith(QString::fromLatin1(c.property) + "=")) << refused[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    PrintSettings, PrintKeys,
    testing::Values(
        KeyCase{"LeftHeader", "LeftHeader", "&D",
                [](const PageSetup& s) {
                    return s.leftHeader == "&D";
                }},
        KeyCase{"CenterHeader", "CenterHeader", "中",
                [](const PageSetup& s) {
                    return s.centerHeader == "中";
                }},
        KeyCase{"RightHeader", "RightHeader", " r ",
                [](const PageSetup& s) {
                    return s.rightHeader == " r ";
                }},
        KeyCase{"LeftFooter", "LeftFooter", "左",
                [](const PageSetup& s) {
                    return s.leftFooter == "左";
                }},
        KeyCase{"CenterFooter", "CenterFooter", "核对人: 王五",
                [](const PageSetup& s) {
                    return s.centerFooter == "示范公司     核对人: 王五";
                }},
        KeyCase{"RightFooter", "RightFooter", "第&P页",
                [](const PageSetup& s) {
                    return s.rightFooter == "第&P页";
                }},
        KeyCase{"LeftMarginOneInch", "LeftMargin", "1",
                [](const PageSetup& s) {
                    return s.leftMargin == 72;
                }},
        KeyCase{"RightMarginLeadingNumber", "RightMargin", "0.75in",
                [](const PageSetup& s) {
                    return s.rightMargin == 54;
                }},
        KeyCase{"TopMarginNotANumberIsZero", "TopMargin", "x",
                [](const PageSetup& s) {
                    return s.topMargin == 0;
                }},
        KeyCase{"BottomMargin", "BottomMargin", "0.5",
                [](const PageSetup& s) {
                    return s.bottomMargin == 36;
                }},
        KeyCase{"NegativeMargin", "BottomMargin", "-1",
                [](const PageSetup& s) { return s.bottomMargin == 54; }, true},
        KeyCase{"HeaderMargin", "HeaderMargin", "0.25",
                [](const PageSetup& s) {
                    return s.headerMargin == 18;
                }},
        KeyCase{"FooterMargin", "FooterMargin", "0.1",
                [](const PageSetup& s) {
                    return std::abs(s.footerMargin - 7.2) < 1e-9;
                }},
        KeyCase{"PrintHeadings", "PrintHeadings", "True",
                [](const PageSetup& s) {
                    return s.printHeadings;
                }},
        KeyCase{"GridLinesLowerCaseIsOff", "PrintGridLines", "true",
                [](const PageSetup& s) {
                    return !s.printGridLines;
                }},
        KeyCase{"GridLines", "PrintGridLines", "True",
                [](const PageSetup& s) {
                    return s.printGridLines;
                }},
        KeyCase{"PrintComments", "PrintComments", "-4142",
                [](const PageSetup& s) {
                    return s.printComments == -4142;
                }},
        KeyCase{"PrintQuality", "PrintQuality", "600",
                [](const PageSetup& s) {
                    return s.printQuality == 600;
                }},
        KeyCase{"CenterHorizontally", "CenterHorizontally", "True",
                [](const PageSetup& s) {
                    return s.centerHorizontally;
                }},
        KeyCase{"CenterVertically", "CenterVertically", "True ",
                [](const PageSetup& s) {
                    return !s.centerVertically;
                }},
        KeyCase{"Landscape", "Orientation", "2",
                [](const PageSetup& s) {
                    return s.orientation == print::Orientation::Landscape;
                }},
        KeyCase{"OrientationUnknown", "Orientation", "3",
                [](const PageSetup& s) { return s.orientation == print::Orientation::Portrait; }, true},
        KeyCase{"Draft", "Draft", "True",
                [](const PageSetup& s) {
                    return s.draft;
                }},
        KeyCase{"PaperB5", "PaperSize", "13",
                [](const PageSetup& s) {
                    return s.paperSize == 13;
                }},
        KeyCase{"PaperUnknown", "PaperSize", "999", [](const PageSetup& s) { return s.paperSize == 9; },
                true},
        KeyCase{"FirstPageNumber", "FirstPageNumber", "7",
                [](const PageSetup& s) {
                    return s.firstPageNumber == 7;
                }},
        KeyCase{"FirstPageAutomatic", "FirstPageNumber", "-4105",
                [](const PageSetup& s) {
                    return !s.firstPageNumber;
                }},
        KeyCase{"OrderOverThenDown", "Order", "2",
                [](const PageSetup& s) {
                    return s.order == print::PageOrder::OverThenDown;
                }},
        KeyCase{"BlackAndWhite", "BlackAndWhite", "True",
                [](const PageSetup& s) {
                    return s.blackAndWhite;
                }},
        KeyCase{"Zoom", "Zoom", "75",
                [](const PageSetup& s) {
                    return s.zoom == 75 && !s.fitToPages;
                }},
        KeyCase{"ZoomTooSmall", "Zoom", "9", [](const PageSetup& s) { return s.zoom == 100; }, true},
        KeyCase{"ZoomFalseFits", "Zoom", "False",
                [](const PageSetup& s) {
                    return s.fitToPages;
                }},
        KeyCase{"FitWideAlone", "FitToPagesWide", "2",
                [](const PageSetup& s) {
                    return s.fitToPages && s.fitToPagesWide == 2 && s.fitToPagesTall == 1;
                }},
        KeyCase{"FitTallUnlimited", "FitToPagesTall", "0",
                [](const PageSetup& s) {
                    return s.fitToPages && s.fitToPagesTall == 0;
                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintSettingsTest, AZoomWinsOverFitKeys)
{
    set("Zoom", "100");
    set("FitToPagesWide", "1");
    set("FitToPagesTall", "1");
    EXPECT_FALSE(applied().fitToPages);
    set("Zoom", "0");
    const PageSetup fitted = applied();
    EXPECT_TRUE(fitted.fitToPages);
    EXPECT_EQ(fitted.fitToPagesWide, 1);
}

struct LayoutCase
{
    const char* name;
    bool heading;
    int columns, rows;
    const char* area;
    const char* titles;
    const char* centerHeader;
    int headingCells;
};

class PrintLayouts : public PrintSettingsTest, public testing::WithParamInterface<LayoutCase>
{};

TEST_P(PrintLayouts, AreaTitleRowsAndCentreHeaderByLayout)
{
    const LayoutCase& c = GetParam();
    set("CenterHeader", "不用");
    QStringList headings;
    for (int i = 1; i <= 80; ++i)
        headings << QStringLiteral("列%1").arg(i);
    const ReportPrintSetup result = PrintSettings(suite).build(c.heading, c.columns, c.rows, headings);
    EXPECT_EQ(result.pageSetup.printAreaText(), c.area);
    EXPECT_EQ(result.pageSetup.titleRowsText(), c.titles);
    EXPECT_EQ(result.pageSetup.centerHeader, QString::fromUtf8(c.centerHeader));
    EXPECT_EQ(result.headingRow.size(), c.headingCells);
    if (c.headingCells > 0) {
        EXPECT_EQ(result.headingRow.last(), QStringLiteral("列%1").arg(c.columns));
    }
    EXPECT_TRUE(result.refused.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    PrintSettings, PrintLayouts,
    testing::Values(LayoutCase{"Cell", false, 8, 40, "$A$1:$H$40", "$1:$4", "", 0},
                    LayoutCase{"Heading", true, 8, 30, "$A$1:$H$31", "$1:$1", "&\"宋体,加粗\"&16&A", 8},
                    LayoutCase{"CellLastLetteredColumn", false, 69, 5, "$A$1:$BQ$5", "$1:$4", "", 0},
                    LayoutCase{"CellWiderThanTheTable", false, 75, 5, "$A$1:$BR$5", "$1:$4", "", 0},
                    LayoutCase{"HeadingWide", true, 70, 1, "$A$1:$BR$2", "$1:$1", "&\"宋体,加粗\"&16&A", 70}),
    [](const auto& info) { return std::string(info.param.name); });

// A full section, seen where the operator sees it: in the PDF and in the Excel file.
TEST_F(PrintSettingsTest, FullSectionShowsInThePdfAndTheWorkbook)
{
    set("LeftHeader", "打印日期&D");
    set("RightHeader", "&F");
    set("LeftFooter", "左脚");
    set("CenterFooter", "复核: 王五");
    set("RightFooter", "第&P页 共&N页");
    set("LeftMargin", "1");
    set("RightMargin", "0.5");
    set("TopMargin", "1.25");
    set("BottomMargin", "1");
    set("HeaderMargin", "0.5");
    set("FooterMargin", "0.4");
    set("Orientation", "2");
    set("PaperSize", "8");
    set("FirstPageNumber", "3");
    set("Zoom", "0");
    set("FitToPagesWide", "1");
    set("FitToPagesTall", "2");

    grid::Workbook book;
    book.setSheetName(1, "张三考勤表");
    grid::Sheet& sheet = book.active();
    for (int r = 1; r <= 300; ++r)
        for (int c = 1; c <= 8; ++c)
            sheet.setText(r, c, QStringLiteral("格%1-%2").arg(r).arg(c));
    QStringList headings;
    for (int c = 1; c <= 8; ++c)
        headings << QStringLiteral("标题%1").arg(c);
    const ReportPrintSetup result = PrintSettings(suite).build(true, 8, 300, headings);
    ASSERT_TRUE(result.refused.isEmpty()) << result.refused.join("; ").toStdString();

    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    print::SheetPrintGrid printed(sheet, result.headingRow);
    print::writePdf(printed, result.pageSetup,
                    {"张三考勤表", dir.filePath("Tmp.xls"), QDateTime(QDate(2026, 3, 5), QTime(9, 0)), 1, 1},
                    pdf);
    const QString info = test::pdfInfo(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+2\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+1191 x 842 pts \\(A3\\)")))
        << info.toStdString();
    const QStringList pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString page = pages[i].simplified();
        EXPECT_TRUE(page.contains("张三考勤表")) << "bold sheet name in the centre header";
        EXPECT_TRUE(page.contains("打印日期2026-03-05"));
        EXPECT_TRUE(page.contains("Tmp.xls"));
        EXPECT_TRUE(page.contains("左脚"));
        EXPECT_TRUE(page.contains("示范公司 复核: 王五"));
        EXPECT_TRUE(page.contains(QStringLiteral("第%1页 共2页").arg(i + 3)));
        EXPECT_TRUE(page.contains("标题1")) << "the caption row repeats";
    }
    EXPECT_TRUE(pages[1].contains("格300-8"));

    const QString xlsx = dir.filePath("export.xls");
    EXPECT_TRUE(print::writeXlsx(book, xlsx, result.pageSetup, 1).isEmpty());
    const QString xml = test::unzipMember(xlsx, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(xml.contains(
        R"(<pageMargins left="1" right="0.5" top="1.25" bottom="1" header="0.5" footer="0.4"/>)"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains(R"(paperSize="8")"));
    EXPECT_TRUE(xml.contains(R"(orientation="landscape")"));
    EXPECT_TRUE(xml.contains(R"(fitToHeight="2")"));
    EXPECT_TRUE(xml.contains(R"(firstPageNumber="3")"));
    EXPECT_TRUE(xml.contains(QString::fromUtf8(
        R"(<oddFooter>&amp;L左脚&amp;C示范公司     复核: 王五&amp;R第&amp;P页 共&amp;N页</oddFooter>)")));
    EXPECT_TRUE(test::unzipMember(xlsx, "xl/workbook.xml").contains("!$A$1:$H$301</definedName>"));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
