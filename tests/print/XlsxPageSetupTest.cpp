#include "print/XlsxPageSetup.h"

#include "grid/Workbook.h"
#include "print/PrintTestSupport.h"
#include "support/ErrorText.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

using namespace talor::print;
using talor::grid::Workbook;
using talor::test::containsAll;
using talor::test::unzipMember;

// The set-up written into the second sheet of a book: texts that the sheet's XML
// (xl/worksheets/sheet2.xml) and the workbook's (xl/workbook.xml) hold, and texts that
// neither holds, and the start of each part refused; the other sheet keeps a plain set-up.
// Where the workbook cuts the sheet's name, the header and footer print the whole name as
// text (its ampersands doubled) in place of "&A", unless that is longer than a header holds.
TEST(XlsxPageSetup, WritesTheSetUpIntoTheSheetAndNamesWhatItRefuses)
{
    const QString longName = QString(30, u'组') + "A&B个人考勤表";
    const QString written = QString(30, u'组') + "A&amp;&amp;B个人考勤表";
    // clang-format off
    const struct { const char* name; PageSetup setup; QStringList sheetXml, workbookXml, absent = {};
                   QStringList refused = {}; QString sheetName = "考勤表"; } cases[] = {
        {"Defaults", {},
         {R"(<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>)",
          R"(paperSize="9")", R"(orientation="portrait")"},
         {}, {"fitToPage", "Print_Area", "Print_Titles", "headerFooter", "printOptions", "pageOrder"}},
        {"MarginsAndTexts",
         {.leftMargin = 72, .rightMargin = 36, .topMargin = 108, .bottomMargin = 18, .headerMargin = 28.8,
          .footerMargin = 14.4, .leftHeader = "左", .centerHeader = "&\"宋体,加粗\"&16&A",
          .centerFooter = "示范公司     制表人: 张三", .rightFooter = "第&P页 共&N页"},
         {R"(<pageMargins left="1" right="0.5" top="1.5" bottom="0.25" header="0.4" footer="0.2"/>)",
          R"(<oddHeader>&amp;L左&amp;C&amp;"宋体,加粗"&amp;16&amp;A</oddHeader>)",
          R"(<oddFooter>&amp;C示范公司     制表人: 张三&amp;R第&amp;P页 共&amp;N页</oddFooter>)"},
         {}},
        // Header and footer margins are written without a text as well.
        {"MarginsWithoutTexts", {.headerMargin = 28.8, .footerMargin = 14.4}, {R"(header="0.4" footer="0.2"/>)"}, {}},
        {"PaperOrientationOrderStart",
         {.orientation = Orientation::Landscape, .paperSize = 8, .zoom = 85, .order = PageOrder::OverThenDown,
          .firstPageNumber = 3},
         {R"(paperSize="8")", R"(scale="85")", R"(firstPageNumber="3")", R"(orientation="landscape")",
          R"(pageOrder="overThenDown")", R"(useFirstPageNumber="1")"},
         {}, {"fitToPage"}},
        {"FitToPagesAfterTheScale", {.zoom = 70, .fitToPages = true, .fitToPagesWide = 1, .fitToPagesTall = 0},
         {R"(<pageSetUpPr fitToPage="1"/>)", R"(fitToHeight="0")"}, {}},
        {"OptionsAreaAndTitles",
         {.centerHorizontally = true, .centerVertically = true, .printGridLines = true, .printHeadings = true,
          .printArea = talor::grid::CellRange{1, 1, 40, 8}, .titleRows = std::pair{1, 4}},
         {R"(horizontalCentered="1")", R"(verticalCentered="1")", R"(headings="1")", R"(gridLines="1")"},
         {R"(<definedName name="_xlnm.Print_Area" localSheetId="1">'考勤表'!$A$1:$H$40</definedName>)",
          R"(<definedName name="_xlnm.Print_Titles" localSheetId="1">'考勤表'!$1:$4</definedName>)"}},
        // The edges of each number: the last paper, the largest zoom and page number, a print
        // area to a template's 100th column, a section break on the area's last row. Sections
        // print over, then down, so that each one's pages come together.
        {"LastOfEachRange",
         {.paperSize = 41, .zoom = 400, .fitToPagesWide = 32767, .firstPageNumber = 65535,
          .printArea = talor::grid::CellRange{1, 1, 21, 100}, .titleRows = std::pair{3, 3}, .sectionRows = 10},
         {R"(paperSize="41")", R"(scale="400")", R"(firstPageNumber="65535")", R"(<brk id="10")", R"(<brk id="20")",
          R"(pageOrder="overThenDown")"},
         {R"('考勤表'!$A$1:$CV$21</definedName>)", R"('考勤表'!$3:$3</definedName>)"}},
        {"FirstOfEachRange",
         {.paperSize = 1, .zoom = 10, .firstPageNumber = 0, .printArea = talor::grid::CellRange{2, 2, 19, 3},
          .sectionRows = 9},
         {R"(paperSize="1")", R"(scale="10")", R"(<brk id="10")", R"(pageOrder="overThenDown")"},
         {R"('考勤表'!$B$2:$C$19</definedName>)"},
         {R"(<brk id="19")"}},
        {"SectionsOfOneRow", {.printArea = talor::grid::CellRange{1, 1, 3, 3}, .sectionRows = 1},
         {R"(pageOrder="overThenDown")"}, {}},
        // Under a heading row at the area's top, the sections start below it.
        {"SectionsUnderAHeadingRow",
         {.printArea = talor::grid::CellRange{1, 1, 21, 3}, .titleRows = std::pair{1, 1}, .sectionRows = 10},
         {R"(<brk id="11")"}, {}, {R"(<brk id="10")"}},
        {"ZoomBeyondIsClamped", {.zoom = 401, .fitToPages = true, .fitToPagesWide = 40000},
         {R"(scale="400")", R"(fitToWidth="32767")"}, {}},
        {"ZoomBelowIsClamped", {.zoom = 9}, {R"(scale="10")"}, {}},
        // What a workbook cannot hold is refused, each named, and the rest of the set-up still
        // applies; the largest numbers that fit are not refused.
        {"PaperBeyondPageNumberBelow", {.orientation = Orientation::Landscape, .paperSize = 42, .firstPageNumber = -1},
         {R"(orientation="landscape")"}, {}, {}, {"paper size: 42", "first page number: -1"}},
        {"PaperBelowPageNumberBeyond", {.orientation = Orientation::Landscape, .paperSize = 0, .firstPageNumber = 65536},
         {R"(orientation="landscape")"}, {}, {}, {"paper size: 0", "first page number: 65536"}},
        // A workbook's header has no pictures: their codes are left out and named; a literal
        // ampersand before a G stays one; controls XML cannot hold show as U+FFFD.
        {"PictureCodesLeftOut", {.leftHeader = "&G", .centerHeader = "&[Picture]页", .leftFooter = "宝洁P&&G",
          .rightFooter = "A&&&GG"},
         {"<oddHeader>&amp;C页</oddHeader>", "<oddFooter>&amp;L宝洁P&amp;&amp;\u2060G&amp;RA&amp;&amp;\u2060G</oddFooter>"},
         {}, {}, {"header: &G, &[Picture] left out", "footer: &G left out"}},
        {"ControlCharacters", {.rightHeader = "A\x01" "B\x0b" "C"}, {"<oddHeader>&amp;RA\uFFFDB\uFFFDC</oddHeader>"}, {}},
        {"HeaderAndPaper", {.centerHeader = QString(300, u'长'), .orientation = Orientation::Landscape, .paperSize = 200},
         {R"(orientation="landscape")"}, {}, {}, {"header", "paper size: 200"}},
        // As many sections as one worksheet breaks before stay one worksheet, with the rows below.
        {"MostBreaks", {.orientation = Orientation::Landscape, .printArea = talor::grid::CellRange{1, 1, 2 * LXW_BREAKS_MAX + 2, 1},
         .sectionRows = 2}, {R"(orientation="landscape")", R"(<dimension ref="A1:A3000"/>)"}, {}},
        {"MoreBreaksGoFurther", {.orientation = Orientation::Landscape,
         .printArea = talor::grid::CellRange{1, 1, 2 * LXW_BREAKS_MAX + 3, 1}, .sectionRows = 2}, {R"(orientation="landscape")"}, {}},
        {"WholeSheetNameTheWorkbookCuts", {.centerHeader = "&\"宋体,加粗\"&16&A", .rightFooter = "第&P页 &a"},
         {"<oddHeader>&amp;C&amp;\"宋体,加粗\"&amp;16" + written + "</oddHeader>",
          "<oddFooter>&amp;R第&amp;P页 " + written + "</oddFooter>"}, {}, {}, {}, longName},
        {"WholeSheetNameUncut", {.centerHeader = "&A", .rightFooter = "&A"},
         {"<oddHeader>&amp;C&amp;A</oddHeader>", "<oddFooter>&amp;R&amp;A</oddFooter>"}, {}},
        // 2 + 39 + 215 characters would be one too many; 2 + 39 + 214 fit.
        {"WholeSheetNameWhereTheHeaderHoldsIt", {.centerHeader = "&A" + QString(215, u'x'), .rightFooter = "&A" + QString(214, u'x')},
         {"<oddHeader>&amp;C&amp;A" + QString(215, u'x') + "</oddHeader>",
          "<oddFooter>&amp;R" + written + QString(214, u'x') + "</oddFooter>"}, {}, {}, {}, longName}};
    // clang-format on
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xls");
    Workbook book;
    book.setSheetName(1, "封面");
    book.addSheet("考勤表");
    book.sheet(2).setText(1, 1, "考勤日报表");
    book.sheet(2).setText(3000, 1, "审核"); // below every print area
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        book.setSheetName(2, c.sheetName);
        const QStringList refused = writeXlsx(book, path, c.setup, 2);
        ASSERT_EQ(refused.size(), c.refused.size()) << refused.join("; ").toStdString();
        for (qsizetype i = 0; i < refused.size(); ++i)
            EXPECT_TRUE(refused[i].startsWith(c.refused[i])) << refused[i].toStdString();
        const QString sheet = unzipMember(path, "xl/worksheets/sheet2.xml");
        const QString workbook = unzipMember(path, "xl/workbook.xml");
        for (const auto& [texts, xml] : {std::pair(c.sheetXml, sheet), std::pair(c.workbookXml, workbook)})
            for (const QString& text : texts)
                EXPECT_TRUE(xml.contains(text)) << text.toStdString() << "\n" << xml.toStdString();
        for (const QString& text : c.absent)
            EXPECT_FALSE(sheet.contains(text) || workbook.contains(text)) << text.toStdString();
        EXPECT_FALSE(unzipMember(path, "xl/worksheets/sheet1.xml").contains("headerFooter"));
    }
}

TEST(XlsxPageSetup, CaptionRowGoesAboveTheSheetInBoldWhereThereIsRoom)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xls");
    Workbook book;
    book.setText(1, 1, "王五");
    book.setText(1, 2, "8");
    book.setText(1, 3, "=B1*2");
    book.setText(2, 3, "=SUM(C1:C1)");
    talor::grid::CellFormat framed;
    framed.border.bottom = 1;
    book.active().setFormat(1, 3, framed);
    book.active().setFrozenColumns(1);
    book.active().setColumnWidth(3, 150);
    book.addSheet("其他");
    book.sheet(2).setText(1, 1, "别表");
    book.setActiveSheet(2);
    PageSetup setup;
    setup.setTitleRows("$1:$1");
    // A caption is written as a cell's text is: as it stands, a forbidden character replaced.
    EXPECT_EQ(writeXlsx(book, path, setup, 1, {"姓名", "工时", "双倍_x0041_\x01"}), QStringList());
    EXPECT_EQ(book.sheet(1).text(1, 1), "王五") << "the grid itself is not changed";

    // Formulas and formats follow their rows; the grid's frozen column stays frozen, with the
    // caption row above it; the last column keeps its width.
    QString sheet = unzipMember(path, "xl/worksheets/sheet1.xml");
    for (const char* xml : {R"(<c r="C2" s="[1-9]\d*"><f>B2\*2</f><v>16</v></c>)",
                            R"(<c r="C3"><f>SUM\(C2:C2\)</f><v>16</v></c>)", R"(<c r="B2"><v>8</v></c>)",
                            R"(<dimension ref="A1:C3"/>)", R"(<pane xSplit="1" ySplit="1" topLeftCell="B2")",
                            R"(<col min="3" max="3" [^>]*customWidth="1"/>)"})
        EXPECT_TRUE(sheet.contains(QRegularExpression(xml))) << xml << "\n" << sheet.toStdString();
    EXPECT_TRUE(
        containsAll(unzipMember(path, "xl/sharedStrings.xml"), {"姓名", "王五", "双倍_x005F_x0041_\uFFFD"}));
    EXPECT_TRUE(unzipMember(path, "xl/styles.xml").contains("<b/>"));
    // The sheet that was active stays active.
    EXPECT_TRUE(
        containsAll(unzipMember(path, "xl/workbook.xml"), {"!$1:$1</definedName>", "activeTab=\"1\""}));
    // The other sheet keeps its rows where they are, without the caption.
    EXPECT_TRUE(unzipMember(path, "xl/worksheets/sheet2.xml").contains(R"(<dimension ref="A1"/>)"));
    // A sheet with nothing frozen gets no frozen caption row either.
    book.sheet(1).setFrozenColumns(0);
    EXPECT_EQ(writeXlsx(book, path, setup, 1, {"姓名"}), QStringList());
    EXPECT_FALSE(unzipMember(path, "xl/worksheets/sheet1.xml").contains("<pane"));

    // A sheet whose rows reach the last row a workbook holds has no room for a caption row above
    // it: written whole, without the captions, and the caption row is named as refused.
    Workbook full;
    full.setText(1, 1, "第一行");
    full.setText(talor::grid::Sheet::MaxRows, 1, "最后一行");
    const QStringList refused = writeXlsx(full, path, PageSetup(), 1, {"姓名"});
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].startsWith("caption row")) << refused[0].toStdString();
    sheet = unzipMember(path, "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(containsAll(sheet, {R"(<dimension ref="A1:A1048576"/>)", "最后一行"}));
    EXPECT_FALSE(sheet.contains("姓名"));

    // Under a caption the sheet stays one worksheet: sections beyond its page breaks, down to a
    // last one of a single row, are named.
    setup = PageSetup{.printArea = talor::grid::CellRange{1, 1, 2 * LXW_BREAKS_MAX + 3, 1}, .sectionRows = 2};
    const QStringList beyond = writeXlsx(book, path, setup, 1, {"姓名"});
    EXPECT_TRUE(beyond.size() == 1 && beyond[0].startsWith("page breaks")) << beyond.join("; ").toStdString();
}

// A worksheet breaks pages before 1,023 rows at most: a print area of more sections goes into
// several worksheets of 1,024 sections each, each with the rows above the area, its own print
// area and a page break before each of its sections; formulas follow their rows. A further
// worksheet's name keeps its number within Excel's 31 units, leaving out a character outside
// the basic plane whole. The sheet that was active, after the split one, stays active.
TEST(XlsxPageSetup, MoreSectionsThanAWorksheetCanBreakGoIntoFurtherWorksheets)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.xlsx");
    Workbook book;
    const QString name = QString(26, u'部');
    book.setSheetName(1, name + QStringLiteral("😀"));
    talor::grid::Sheet& sheet = book.active();
    const int sections = LXW_BREAKS_MAX + 4;
    talor::grid::CellFormat framed; // each section's sum
    framed.border.top = 1;
    {
        talor::grid::Sheet::Batch batch(sheet);
        sheet.setText(1, 1, "标题");
        sheet.setText(2, 3, "首"); // on the first section's first row only
        for (int k = 0; k < sections; ++k) {
            const int top = 2 + 3 * k;
            sheet.setText(top, 1, QStringLiteral("人%1").arg(k));
            sheet.setText(top + 1, 2, QString::number(k));
            sheet.setText(top + 2, 2, QStringLiteral("=SUM(B%1:B%2)").arg(top).arg(top + 1));
            sheet.setFormat(top + 2, 2, framed);
        }
    }
    sheet.setFrozenRows(1);
    book.addSheet("汇总");
    book.setActiveSheet(2);
    PageSetup setup;
    setup.printArea = talor::grid::CellRange{2, 1, 1 + 3 * sections, 2};
    setup.sectionRows = 3;
    EXPECT_EQ(writeXlsx(book, path, setup, 1), QStringList());

    const QString workbook = unzipMember(path, "xl/workbook.xml");
    EXPECT_TRUE(containsAll(workbook, {"name=\"" + name + "😀\"", "name=\"" + name + " (2)\"",
                                       "!$A$2:$B$3073</definedName>", "!$A$2:$B$10</definedName>",
                                       "activeTab=\"2\"", "name=\"汇总\""}));
    EXPECT_FALSE(workbook.contains(" (3)"));
    EXPECT_TRUE(QString(unzipMember(path, "xl/worksheets/sheet1.xml"))
                    .contains(QStringLiteral(R"(<rowBreaks count="%1")").arg(LXW_BREAKS_MAX)));
    const QString second = unzipMember(path, "xl/worksheets/sheet2.xml");
    for (const char* xml :
         {R"(<dimension ref="A1:B10"/>)", R"(<rowBreaks count="2")", R"(<pane ySplit="1")",
          R"(<c r="B9"><v>1026</v></c>)", R"(<c r="B10" s="[1-9]\d*"><f>SUM\(B8:B9\)</f><v>1026</v></c>)"})
        EXPECT_TRUE(second.contains(QRegularExpression(xml))) << xml << "\n"
                                                              << second.left(2000).toStdString();
    // Texts are written in the cells (constant memory).
    EXPECT_TRUE(second.contains("<t>标题</t>") && second.contains("<t>人1024</t>") &&
                !second.contains("人1023<"));
    EXPECT_FALSE(second.contains("首")) << "only the rows above the area go into every worksheet";

    // A part with a formula that reads beyond its rows is a copy, recalculated: a sum above the
    // area adds up the part's own rows there; a formula of the part keeps the row above the area
    // it reads.
    // clang-format off
    const struct { int row; QString formula; const char* xml; } beyond[] = {
        {1, "=SUM(B2:B10)", R"(<c r="C1"[^>]*><f>SUM\(B2:B10\)</f><v>6150</v>)"},
        {3078, "=B3078+B1", R"(<c r="C6"[^>]*><f>B6\+B1</f><v>2025</v>)"}};
    // clang-format on
    sheet.setNumber(1, 2, 1000);
    for (const auto& c : beyond) {
        sheet.setText(c.row, 3, c.formula);
        EXPECT_EQ(writeXlsx(book, path, setup, 1), QStringList());
        EXPECT_TRUE(
            QString(unzipMember(path, "xl/worksheets/sheet2.xml")).contains(QRegularExpression(c.xml)))
            << c.xml;
        sheet.clearCell(c.row, 3);
    }

    // A last part of a single row, the area's last, is a worksheet of its own too.
    setup.printArea->row2 = 2 + 3 * (LXW_BREAKS_MAX + 1);
    EXPECT_EQ(writeXlsx(book, path, setup, 1), QStringList());
    EXPECT_TRUE(QString(unzipMember(path, "xl/workbook.xml")).contains("!$A$2:$B$2</definedName>"));
}

// The sections of a header or footer as a workbook gets them: a last single ampersand stays a
// literal one, not joined to the next section's code; picture codes are left out.
TEST(XlsxPageSetup, HeaderFooterSectionsKeepTheirOwnText)
{
    // clang-format off
    const struct { QString left, centre, right, text; QStringList pictures = {}; } cases[] = {
        {"审核 A&", "中", "右", "&L审核 A&&&C中&R右"},
        {"&", "", "B&&", "&L&&&RB&&"},
        {"&&&", "&P&", "", "&L&&&&&C&P&&"},
        {"&GA", "&[Picture]&[Pic]", "&&[Picture]", "&LA&C&[Pic]&R&&\u2060[Picture]", {"&G", "&[Picture]"}},
        {"&G", "", "", "", {"&G"}}};
    // clang-format on
    for (const auto& c : cases) {
        QStringList pictures;
        EXPECT_EQ(std::tuple(xlsxHeaderFooter(c.left, c.centre, c.right, &pictures), pictures),
                  std::tuple(c.text, c.pictures))
            << c.left.toStdString();
    }
}
