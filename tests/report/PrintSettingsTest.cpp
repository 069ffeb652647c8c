#include "report/PrintSettings.h"

#include "modulesettings/SettingsKeys.h"
#include "support/FakeSuite.h"

#include <gtest/gtest.h>

using namespace talor;
using print::PageSetup;

namespace {

const QString DefaultFooter = "示范公司     制表人: 张三     审核人: ________";

// The fields of a set-up that differ from the defaults (with the default footer), each as
// "Key=value" under the name of its key.
QString changes(const PageSetup& s)
{
    const auto fields = [](const PageSetup& p) {
        // clang-format off
        const auto n = [](auto v) { return QString::number(v); };
        const auto o = [&](const auto& v) { return v ? n(*v) : QString("-"); };
        return QStringList{p.leftHeader, p.centerHeader, p.rightHeader, p.leftFooter, p.centerFooter,
            p.rightFooter, n(p.leftMargin), n(p.rightMargin), n(p.topMargin), n(p.bottomMargin),
            n(p.headerMargin), n(p.footerMargin), n(p.printHeadings), n(p.printGridLines), o(p.printComments),
            o(p.printQuality), n(p.centerHorizontally), n(p.centerVertically), n(int(p.orientation)),
            n(p.draft), n(p.paperSize), o(p.firstPageNumber), n(int(p.order)), n(p.blackAndWhite), n(p.zoom),
            n(p.fitToPagesWide), n(p.fitToPagesTall), n(p.fitToPages)};
        // clang-format on
    };
    PageSetup defaults;
    defaults.centerFooter = DefaultFooter;
    const QStringList now = fields(s), before = fields(defaults);
    QStringList changed;
    for (size_t i = 0; i < size_t(now.size()); ++i)
        if (now[i] != before[i])
            changed << (i < keys::PageSetup.size() ? keys::PageSetup[i].suffix + 1 : "FitToPages") +
                           ("=" + now[i]);
    return changed.join(u' ');
}

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

// Every key of the section with a value, and the edges of each range, one in and one out: what
// changes, or "!" for a value refused. Switches are on for exactly "True"; a first page
// number of -4105 is automatic.
// clang-format off
const std::pair<const char*, const char*> KeyCases[] = {
    {"LeftHeader=&D", "LeftHeader=&D"}, {"CenterHeader=中", "CenterHeader=中"},
    {"RightHeader= r ", "RightHeader= r "}, {"LeftFooter=左", "LeftFooter=左"},
    {"CenterFooter=核对人: 王五", "CenterFooter=示范公司     核对人: 王五"}, {"RightFooter=第&P页", "RightFooter=第&P页"},
    {"LeftMargin=1", "LeftMargin=72"}, {"RightMargin=0.75in", "RightMargin=54"},
    {"TopMargin=x", "TopMargin=0"}, {"BottomMargin=0.5", "BottomMargin=36"}, {"BottomMargin=-1", "!"},
    {"HeaderMargin=0.25", "HeaderMargin=18"}, {"FooterMargin=0.1", "FooterMargin=7.2"},
    {"PrintHeadings=True", "PrintHeadings=1"}, {"PrintGridLines=true", ""},
    {"PrintGridLines=True", "PrintGridLines=1"}, {"PrintComments=-4142", "PrintComments=-4142"},
    {"PrintQuality=600", "PrintQuality=600"}, {"CenterHorizontally=True", "CenterHorizontally=1"},
    {"CenterVertically=True ", ""}, {"Orientation=1", ""}, {"Orientation=2", "Orientation=2"},
    {"Orientation=3", "!"}, {"Draft=True", "Draft=1"}, {"PaperSize=13", "PaperSize=13"},
    {"PaperSize=999", "!"}, {"PaperSize=1", "PaperSize=1"}, {"PaperSize=0", "!"},
    {"PaperSize=41", "PaperSize=41"}, {"PaperSize=42", "!"}, {"FirstPageNumber=7", "FirstPageNumber=7"},
    {"FirstPageNumber=-4105", ""}, {"FirstPageNumber=0", "FirstPageNumber=0"}, {"FirstPageNumber=-1", "!"},
    {"FirstPageNumber=65535", "FirstPageNumber=65535"}, {"FirstPageNumber=65536", "!"}, {"Order=1", ""},
    {"Order=2", "Order=2"}, {"Order=3", "!"}, {"BlackAndWhite=True", "BlackAndWhite=1"},
    {"Zoom=75", "Zoom=75"}, {"Zoom=False", "FitToPages=1"}, {"Zoom=9", "!"}, {"Zoom=10", "Zoom=10"},
    {"Zoom=99.5", "!"}, {"Zoom=400", "Zoom=400"}, {"Zoom=401", "!"},
    {"FitToPagesWide=2", "FitToPagesWide=2 FitToPages=1"},
    {"FitToPagesWide=32767", "FitToPagesWide=32767 FitToPages=1"}, {"FitToPagesWide=32768", "!"},
    {"FitToPagesTall=0", "FitToPagesTall=0 FitToPages=1"}, {"FitToPagesTall=-1", "!"},
};
// clang-format on

} // namespace

TEST_F(PrintSettingsTest, EachKeyHasItsEffect)
{
    for (const auto& [setting, expected] : KeyCases) {
        SCOPED_TRACE(setting);
        suite.settings.clear();
        const QString key = QString::fromUtf8(setting).section(u'=', 0, 0);
        set(key, QString::fromUtf8(setting).section(u'=', 1));
        QStringList refused;
        const QString changed = changes(applied(&refused));
        EXPECT_EQ(refused.isEmpty()                          ? changed
                  : refused.size() == 1 && changed.isEmpty() ? "!"
                                                             : refused.join("; "),
                  QString::fromUtf8(expected));
        EXPECT_TRUE(refused.isEmpty() || refused[0].startsWith(QString::fromUtf8(setting) + ":"))
            << refused[0].toStdString();
    }
}

TEST_F(PrintSettingsTest, AbsentAndEmptyKeysLeaveTheDefaultsAndSwitchesOff)
{
    QStringList refused;
    EXPECT_EQ(changes(applied(&refused)), "");
    // Switches on a defaults set-up, then every key present but empty: switches go off.
    for (const auto& [setting, expected] : KeyCases)
        set(QString::fromUtf8(setting).section(u'=', 0, 0), "");
    PageSetup on;
    on.printHeadings = on.printGridLines = on.centerHorizontally = on.centerVertically = on.draft =
        on.blackAndWhite = true;
    PrintSettings(suite).applyKeys(on, refused);
    EXPECT_EQ(changes(on), "");
    EXPECT_TRUE(refused.isEmpty()) << refused.join("; ").toStdString();
    // The key of another report is not read.
    suite.setSetting("PRINT", "别的.LeftMargin", "2");
    EXPECT_EQ(changes(applied()), "");
}

TEST_F(PrintSettingsTest, AZoomWinsOverFitKeys)
{
    set("Zoom", "100");
    set("FitToPagesWide", "2");
    EXPECT_EQ(changes(applied()), "FitToPagesWide=2");
    set("Zoom", "0");
    EXPECT_EQ(changes(applied()), "FitToPagesWide=2 FitToPages=1");
}

// The print area, title rows, centre header, sections and caption row by layout. The period
// report (kind 3) prints a block per person: each starts a page under its own header.
TEST_F(PrintSettingsTest, AreaTitleRowsAndCentreHeaderByLayout)
{
    const struct
    {
        const char* option; // the report kind
        bool heading;
        int columns, rows;
        const char* expected; // area, title rows, centre header, section rows and title rows, captions
    } cases[] = {{"2", false, 8, 40, "$A$1:$H$40 $1:$4  0/0 "},
                 {"1", true, 8, 30, "$A$1:$H$31 $1:$1 &\"宋体,加粗\"&16&A 0/0 列1..列8"},
                 {"2", false, 100, 36, "$A$1:$CV$36 $1:$4  0/0 "},
                 {"1", true, 100, 1, "$A$1:$CV$2 $1:$1 &\"宋体,加粗\"&16&A 0/0 列1..列100"},
                 {"3", false, 100, 72, "$A$1:$CV$72   36/4 "}};
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
        EXPECT_EQ(QStringLiteral("%1 %2 %3 %4/%5 %6")
                      .arg(s.printAreaText(), s.titleRowsText(), s.centerHeader)
                      .arg(s.sectionRows)
                      .arg(s.sectionTitleRows)
                      .arg(captions),
                  QString::fromUtf8(c.expected));
        EXPECT_EQ(r.headingRow.size(), c.heading ? c.columns : 0);
        EXPECT_TRUE(r.refused.isEmpty());
    }
}
