#include "report/PrintSettings.h"

#include "sheet/PeriodBlock.h"
#include "support/FakeSuite.h"

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

struct KeyCase
{
    const char* property;
    const char* value;
    bool (*check)(const PageSetup&);
    bool refused;
};

// One row a key (every key of the section appears), with the values that must be refused.
const KeyCase KeyCases[] = {
    {"LeftHeader", "&D", [](const PageSetup& s) { return s.leftHeader == "&D"; }, false},
    {"CenterHeader", "中", [](const PageSetup& s) { return s.centerHeader == "中"; }, false},
    {"RightHeader", " r ", [](const PageSetup& s) { return s.rightHeader == " r "; }, false},
    {"LeftFooter", "左", [](const PageSetup& s) { return s.leftFooter == "左"; }, false},
    {"CenterFooter", "核对人: 王五",
     [](const PageSetup& s) { return s.centerFooter == "示范公司     核对人: 王五"; }, false},
    {"RightFooter", "第&P页", [](const PageSetup& s) { return s.rightFooter == "第&P页"; }, false},
    {"LeftMargin", "1", [](const PageSetup& s) { return s.leftMargin == 72; }, false},
    {"RightMargin", "0.75in", [](const PageSetup& s) { return s.rightMargin == 54; }, false},
    {"TopMargin", "x", [](const PageSetup& s) { return s.topMargin == 0; }, false},
    {"BottomMargin", "0.5", [](const PageSetup& s) { return s.bottomMargin == 36; }, false},
    {"BottomMargin", "-1", [](const PageSetup& s) { return s.bottomMargin == 54; }, true},
    {"HeaderMargin", "0.25", [](const PageSetup& s) { return s.headerMargin == 18; }, false},
    {"FooterMargin", "0.1", [](const PageSetup& s) { return std::abs(s.footerMargin - 7.2) < 1e-9; }, false},
    {"PrintHeadings", "True", [](const PageSetup& s) { return s.printHeadings; }, false},
    {"PrintGridLines", "true", [](const PageSetup& s) { return !s.printGridLines; }, false},
    {"PrintGridLines", "True", [](const PageSetup& s) { return s.printGridLines; }, false},
    {"PrintComments", "-4142", [](const PageSetup& s) { return s.printComments == -4142; }, false},
    {"PrintQuality", "600", [](const PageSetup& s) { return s.printQuality == 600; }, false},
    {"CenterHorizontally", "True", [](const PageSetup& s) { return s.centerHorizontally; }, false},
    {"CenterVertically", "True ", [](const PageSetup& s) { return !s.centerVertically; }, false},
    {"Orientation", "2", [](const PageSetup& s) { return s.orientation == print::Orientation::Landscape; },
     false},
    {"Orientation", "3", [](const PageSetup& s) { return s.orientation == print::Orientation::Portrait; },
     true},
    {"Draft", "True", [](const PageSetup& s) { return s.draft; }, false},
    {"PaperSize", "13", [](const PageSetup& s) { return s.paperSize == 13; }, false},
    {"PaperSize", "999", [](const PageSetup& s) { return s.paperSize == 9; }, true},
    {"FirstPageNumber", "7", [](const PageSetup& s) { return s.firstPageNumber == 7; }, false},
    {"FirstPageNumber", "-4105", [](const PageSetup& s) { return !s.firstPageNumber; }, false},
    {"Order", "2", [](const PageSetup& s) { return s.order == print::PageOrder::OverThenDown; }, false},
    {"BlackAndWhite", "True", [](const PageSetup& s) { return s.blackAndWhite; }, false},
    {"Zoom", "75", [](const PageSetup& s) { return s.zoom == 75 && !s.fitToPages; }, false},
    {"Zoom", "9", [](const PageSetup& s) { return s.zoom == 100; }, true},
    {"Zoom", "False", [](const PageSetup& s) { return s.fitToPages; }, false},
    {"FitToPagesWide", "2",
     [](const PageSetup& s) { return s.fitToPages && s.fitToPagesWide == 2 && s.fitToPagesTall == 1; },
     false},
    {"FitToPagesTall", "0", [](const PageSetup& s) { return s.fitToPages && s.fitToPagesTall == 0; }, false},
    // The edges of each range, one in and one out.
    {"Zoom", "400", [](const PageSetup& s) { return s.zoom == 400 && !s.fitToPages; }, false},
    {"Zoom", "401", [](const PageSetup& s) { return s.zoom == 100; }, true},
    {"Zoom", "10", [](const PageSetup& s) { return s.zoom == 10; }, false},
    {"Zoom", "99.5", [](const PageSetup& s) { return s.zoom == 100; }, true},
    {"PaperSize", "41", [](const PageSetup& s) { return s.paperSize == 41; }, false},
    {"PaperSize", "42", [](const PageSetup& s) { return s.paperSize == 9; }, true},
    {"PaperSize", "1", [](const PageSetup& s) { return s.paperSize == 1; }, false},
    {"PaperSize", "0", [](const PageSetup& s) { return s.paperSize == 9; }, true},
    {"FirstPageNumber", "0", [](const PageSetup& s) { return s.firstPageNumber == 0; }, false},
    {"FirstPageNumber", "65535", [](const PageSetup& s) { return s.firstPageNumber == 65535; }, false},
    {"FirstPageNumber", "65536", [](const PageSetup& s) { return !s.firstPageNumber; }, true},
    {"FirstPageNumber", "-1", [](const PageSetup& s) { return !s.firstPageNumber; }, true},
    {"FitToPagesWide", "32767", [](const PageSetup& s) { return s.fitToPagesWide == 32767; }, false},
    {"FitToPagesWide", "32768", [](const PageSetup& s) { return s.fitToPagesWide == 1 && !s.fitToPages; },
     true},
    {"FitToPagesTall", "-1", [](const PageSetup& s) { return s.fitToPagesTall == 1 && !s.fitToPages; }, true},
    {"Orientation", "1", [](const PageSetup& s) { return s.orientation == print::Orientation::Portrait; },
     false},
    {"Order", "1", [](const PageSetup& s) { return s.order == print::PageOrder::DownThenOver; }, false},
    {"Order", "3", [](const PageSetup& s) { return s.order == print::PageOrder::DownThenOver; }, true},
};

} // namespace

TEST_F(PrintSettingsTest, AbsentAndEmptyKeysLeaveTheDefaultsAndSwitchesOff)
{
    PageSetup expected;
    expected.centerFooter = DefaultFooter;
    QStringList refused;
    EXPECT_EQ(applied(&refused), expected);
    // Switches on a defaults set-up, then every key present but empty: switches go off.
    for (const KeyCase& c : KeyCases)
        set(c.property, "");
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

TEST_F(PrintSettingsTest, EachKeyHasItsEffect)
{
    for (const KeyCase& c : KeyCases) {
        SCOPED_TRACE(std::string(c.property) + "=" + c.value);
        suite.settings.clear();
        set(c.property, QString::fromUtf8(c.value));
        QStringList refused;
        EXPECT_TRUE(c.check(applied(&refused)));
        ASSERT_EQ(refused.size(), c.refused ? 1 : 0) << refused.join("; ").toStdString();
        if (c.refused) {
            EXPECT_TRUE(refused[0].startsWith(QString::fromLatin1(c.property) + "="))
                << refused[0].toStdString();
        }
    }
}

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
    const char* option; // the report kind
    bool heading;
    int columns, rows;
    const char* area;
    const char* titles;
    const char* centerHeader;
    int headingCells;
    std::pair<int, int> sections; // rows and title rows of each
};

class PrintLayouts : public PrintSettingsTest, public testing::WithParamInterface<LayoutCase>
{};

TEST_P(PrintLayouts, AreaTitleRowsAndCentreHeaderByLayout)
{
    const LayoutCase& c = GetParam();
    set("CenterHeader", "不用");
    suite.option = c.option;
    QStringList headings;
    for (int i = 1; i <= 100; ++i)
        headings << QStringLiteral("列%1").arg(i);
    const ReportPrintSetup result = PrintSettings(suite).build(c.heading, c.columns, c.rows, headings);
    EXPECT_EQ(result.pageSetup.printAreaText(), c.area);
    EXPECT_EQ(result.pageSetup.titleRowsText(), c.titles);
    EXPECT_EQ(result.pageSetup.centerHeader, QString::fromUtf8(c.centerHeader));
    EXPECT_EQ(std::pair(result.pageSetup.sectionRows, result.pageSetup.sectionTitleRows), c.sections);
    EXPECT_EQ(result.headingRow.size(), c.headingCells);
    if (c.headingCells > 0) {
        EXPECT_EQ(result.headingRow.last(), QStringLiteral("列%1").arg(c.columns));
    }
    EXPECT_TRUE(result.refused.isEmpty());
}

// The period report (kind 3) prints a block per person: each starts a page under its own header.
// clang-format off
INSTANTIATE_TEST_SUITE_P(PrintSettings, PrintLayouts, testing::Values(
    LayoutCase{"Cell", "2", false, 8, 40, "$A$1:$H$40", "$1:$4", "", 0, {0, 0}},
    LayoutCase{"Heading", "1", true, 8, 30, "$A$1:$H$31", "$1:$1", "&\"宋体,加粗\"&16&A", 8, {0, 0}},
    LayoutCase{"CellOf100Columns", "2", false, 100, 36, "$A$1:$CV$36", "$1:$4", "", 0, {0, 0}},
    LayoutCase{"HeadingOf100Columns", "1", true, 100, 1, "$A$1:$CV$2", "$1:$1", "&\"宋体,加粗\"&16&A", 100, {0, 0}},
    LayoutCase{"PeriodBlocks", "3", false, 100, 72, "$A$1:$CV$72", "", "", 0, {PeriodBlock::Rows, PeriodBlock::HeaderRows}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on
