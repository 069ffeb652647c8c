#include "print/PageRenderer.h"
#include "print/PrintTestSupport.h"
#include "support/ErrorText.h"
#include "support/SizeLimit.h"

#include <QDir>
#include <QPdfWriter>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor::print;
using talor::grid::Sheet;
using talor::test::pdfPages;

namespace {

// A report sheet: a title and labels in rows 1 to 4, then `rows` data rows of 5 columns.
void fillReport(Sheet& sheet, int rows)
{
    sheet.setText(1, 1, "考勤日报表");
    for (int c = 1; c <= 3; ++c)
        sheet.setText(4, c, QStringList{"姓名", "日期", "工时"}[c - 1]);
    for (int r = 5; r < 5 + rows; ++r) {
        sheet.setText(r, 1, QStringLiteral("员工%1").arg(r - 4));
        sheet.setText(r, 2, "2026-3-5");
        sheet.setNumber(r, 3, 7.5 + r, "0.00");
        sheet.setText(r, 5, QStringLiteral("行%1").arg(r));
    }
}

class PdfOutput : public testing::Test
{
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("out.pdf");
    HeaderFooterContext context{"张三考勤表", "Tmp.xls", QDateTime(QDate(2026, 3, 5), QTime(9, 30)), 1, 1};
};

// A word's box on the first page, in points from the top left (pdftotext's boxes).
QRectF wordBox(const QString& pdf, const QString& word)
{
    const QString boxes = talor::test::runTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    const QRegularExpression box(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">" +
        QRegularExpression::escape(word) + "</word>");
    const auto match = box.match(boxes);
    EXPECT_TRUE(match.hasMatch()) << word.toStdString();
    return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                  QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
}

} // namespace

// Centring moves the block to the paper's middle; a number wider than its cell prints whole
// and inside it, in a smaller font (column B starts at the margin plus column A's 48 points);
// one that would need a font smaller than the smallest prints as '#'s.
TEST_F(PdfOutput, WhereTextsLandAcrossThePage)
{
    Sheet sheet;
    sheet.setText(1, 1, "居中");
    // Centred or not, the zoom, and where the word starts: after the 50.4-point margin and the
    // cell's 2-point indent; one 48-point column in the middle of A4's 595 points; the block
    // and the indent at half their size. Down the page, the 15-point row's middle lies below
    // the 54-point margin, or centred in the middle of A4's 842 points.
    for (const auto& [centred, zoom, left] : {std::tuple{false, 100, 52.4},
                                              {true, 100, (595 - 48) / 2.0 + 2},
                                              {true, 50, (595 - 24) / 2.0 + 1}}) {
        writePdf(SheetPrintGrid(sheet),
                 {.zoom = zoom, .centerHorizontally = centred, .centerVertically = centred}, context, path);
        const QRectF box = wordBox(path, "居中");
        EXPECT_NEAR(box.left(), left, 1) << zoom;
        EXPECT_NEAR(box.center().y(), centred ? 842 / 2.0 : 54 + 7.5, 1.5) << zoom;
    }

    // Long numbers in narrow columns (widths in pixels at 96 dpi, three quarters of a point),
    // where a size in proportion to the width may come back too large: all digits in the cell.
    const double cellLeft = PageSetup().leftMargin + 48;
    const std::pair<double, const char*> numbers[] = {{123456789.25, "0.00"},    {123456789012.34, "0.00"},
                                                      {1234567890123.45, "0.0"}, {12345678.9, "0.00"},
                                                      {100000000000.0, "0.00"},  {1234567890123.45, "0.00"}};
    for (const int width : {48, 56, 64, 72}) {
        Sheet column;
        column.setColumnWidth(2, width);
        for (int r = 1; const auto& [value, format] : numbers)
            column.setNumber(r++, 2, value, format);
        writePdf(SheetPrintGrid(column), PageSetup(), context, path);
        for (int r = 1; r <= int(std::size(numbers)); ++r) {
            const QRectF box = wordBox(path, column.text(r, 2));
            EXPECT_TRUE(box.left() >= cellLeft && box.right() <= cellLeft + width * 0.75)
                << r << ", " << width;
        }
    }
    // A title wider than the paper between its margins prints whole, smaller, inside them.
    const QString title = "阿" + QString(38, QChar(0x535C)) + "表";
    writePdf(SheetPrintGrid(sheet), {.centerHeader = "&\"宋体,加粗\"&16&A"}, {title, "Tmp.xls", {}, 1, 1},
             path);
    const QRectF titleBox = wordBox(path, title);
    EXPECT_TRUE(titleBox.left() >= PageSetup().leftMargin - 1 &&
                titleBox.right() <= 595 - PageSetup().rightMargin + 1);
    // A centred footer that long leaves the page number beside it its room. The header's line
    // starts on the header margin, the footer's ends on the footer margin.
    writePdf(SheetPrintGrid(sheet),
             {.rightHeader = "页眉", .centerFooter = title + title, .rightFooter = "第&P页"}, context, path);
    const QRectF number = wordBox(path, "第1页");
    EXPECT_LE(wordBox(path, title + title).right(), number.left());
    EXPECT_NEAR(wordBox(path, "页眉").top(), PageSetup().headerMargin, 2);
    EXPECT_NEAR(842 - number.bottom(), PageSetup().footerMargin, 2);

    Sheet narrow;
    narrow.setColumnWidth(2, 12);
    narrow.setNumber(1, 2, 123456789012.34, "0.00");
    writePdf(SheetPrintGrid(narrow), PageSetup(), context, path);
    EXPECT_TRUE(pdfPages(path).value(0).trimmed().contains(QRegularExpression("^#+$")))
        << pdfPages(path).value(0).toStdString();
}

// A tab, line break or other control character in a name the codes bring in prints as a
// blank: the title stays whole, in its size, on one line above the table.
TEST_F(PdfOutput, ControlCharactersInANameBroughtIntoTheTitlePrintAsBlanks)
{
    Sheet sheet;
    fillReport(sheet, 1);
    for (const auto& [codes, sheetName, filePath] : {std::tuple{"&16&A", "张\t三", "Tmp.xls"},
                                                     {"&16&A", "张\n三", "Tmp.xls"},
                                                     {"&16&A", "张\r\n\x01三", "Tmp.xls"},
                                                     {"&16&A", "张\u2028三", "Tmp.xls"},
                                                     {"&16&F", "", "报表/张\n\t三"}}) {
        writePdf(SheetPrintGrid(sheet), {.centerHeader = codes}, {sheetName, filePath, {}, 1, 1}, path);
        const QRectF first = wordBox(path, "张"), second = wordBox(path, "三");
        EXPECT_EQ(
            std::tuple(first.top(), first.height() > 12, second.bottom() < wordBox(path, "考勤日报表").top()),
            std::tuple(second.top(), true, true))
            << QByteArray(sheetName + QByteArray(filePath)).toPercentEncoding().constData();
    }
}

TEST_F(PdfOutput, SeveralReportsInOneDocumentEachStartOnANewPage)
{
    Sheet first, second;
    fillReport(first, 70);
    fillReport(second, 3);
    second.setText(5, 1, "第二份");
    SheetPrintGrid a(first), b(second);
    const PageSetup portrait, landscape{.orientation = Orientation::Landscape, .paperSize = 8}; // A3
    const PageRenderer ra(a, portrait, context), rb(b, landscape, context);
    QStringList told; // each report's pages counted from 1
    {
        QPdfWriter writer(path);
        PagedOutput output(writer, path);
        output.pagePainted = [&](int page, int pages) {
            told << QStringLiteral("%1/%2").arg(page).arg(pages);
        };
        output.add(ra);
        output.add(rb);
        output.finish();
    }
    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), ra.pageCount() + rb.pageCount());
    EXPECT_EQ(told.mid(ra.pageCount() - 1).join(' '), QStringLiteral("%1/%1 1/1").arg(ra.pageCount()));
    // An empty sheet prints a page too.
    EXPECT_EQ(std::tuple(rb.pageCount(), pages.last().contains("第二份"),
                         pages[ra.pageCount() - 1].contains("第二份"),
                         PageRenderer(SheetPrintGrid(Sheet()), portrait, context).pageCount()),
              std::tuple(1, true, false, 1));
    // A4 upright first, A3 across last.
    const QString last = QString::number(pages.size()),
                  info = talor::test::runTool("pdfinfo", {"-f", "1", "-l", last, path});
    EXPECT_TRUE(info.contains(QRegularExpression("Page +1 size: +595(.\\d* x 841| x 842).*Page +" + last +
                                                     " size: +1191 x 842 pts \\(A3\\)",
                                                 QRegularExpression::DotMatchesEverythingOption)))
        << info.toStdString();
}

TEST_F(PdfOutput, TitleRowsHeadersAndFootersOnEveryPage)
{
    Sheet sheet;
    fillReport(sheet, 100);
    // clang-format off
    const PageSetup setup{.leftHeader = "打印于&D &F", .centerHeader = "&\"宋体,加粗\"&16&A",
                          .centerFooter = "示范公司     制表人: 李四     审核人: ________", .rightFooter = "第&P页 共&N页",
                          .firstPageNumber = 3, .titleRows = std::pair{1, 4}};
    // clang-format on
    SheetPrintGrid grid(sheet);
    const PageRenderer renderer(grid, setup, context);
    writePdf(grid, setup, context, path);

    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), renderer.pageCount());
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(talor::test::runTool("pdfinfo", {path}).contains("Title:           张三考勤表"));
    for (int i = 0; i < pages.size(); ++i) {
        const QString& page = pages[i];
        SCOPED_TRACE(i);
        // 考勤日报表 and 工时: the title rows repeat, above the page's own rows.
        EXPECT_TRUE(talor::test::containsAll(page.simplified(),
                                             {"张三考勤表", "打印于2026-03-05 Tmp.xls", "考勤日报表", "工时",
                                              QStringLiteral("第%1页 共%2页").arg(i + 3).arg(pages.size()),
                                              "示范公司 制表人: 李四 审核人: ________"}));
        EXPECT_LT(page.indexOf("工时"), page.indexOf("员工"));
    }
    // Values as the grid shows them; the last row lands on the last page only.
    EXPECT_TRUE(talor::test::containsAll(pages[0], {"2026-03-05", "12.50"}));
    EXPECT_TRUE(pages.last().contains("员工100") && !pages[0].contains("员工100"));
}

TEST_F(PdfOutput, HeadingRowAndPrintedHeadings)
{
    Sheet sheet;
    sheet.setText(1, 1, "王五");
    sheet.setNumber(1, 2, 8);
    // A caption row wider than the sheet widens the grid.
    SheetPrintGrid grid(sheet, {"姓名", "工时", "备注"});
    EXPECT_EQ(std::tuple(grid.lastRow(), grid.lastColumn(), grid.look(1, 1).bold, grid.look(2, 2).alignRight),
              std::tuple(2, 3, true, true));
    // The sheet's last column prints with its text and its width.
    Sheet wide;
    wide.setText(1, Sheet::MaxColumns, "末");
    wide.setColumnWidth(Sheet::MaxColumns, 100);
    const SheetPrintGrid last(wide);
    EXPECT_EQ(std::pair(last.text(1, Sheet::MaxColumns), last.columnWidth(Sheet::MaxColumns)),
              std::pair(QString("末"), 75.0));
    writePdf(grid, {.printGridLines = true, .printHeadings = true}, context, path);
    const QString text = pdfPages(path).join("");
    // Column letters, then the caption row, numbered 1, above the sheet's first row.
    EXPECT_TRUE(text.contains(
        QRegularExpression("A\\s+B.*1\\s+姓名.*2\\s+王五", QRegularExpression::DotMatchesEverythingOption)))
        << text.toStdString();
}

// Printed row numbers take 6 points a digit of the last row and 8 more, beside two 48-point
// columns: the columns share a page while the body holds both and the numbers.
TEST_F(PdfOutput, PrintedRowNumbersTakeTheWidthOfTheLastRowsDigits)
{
    // The last row, the body's width, the pages across.
    const std::tuple<int, double, int> cases[] = {{9, 110, 1},   {10, 110, 2},  {99, 116, 1},
                                                  {100, 116, 2}, {100, 122, 1}, {100, 121.9, 2}};
    for (const auto& [rows, body, pagesWide] : cases) {
        Sheet sheet;
        sheet.setText(rows, 2, "x");
        PageSetup setup{.printHeadings = true};
        setup.rightMargin = setup.paperPoints().width() - setup.leftMargin - body;
        EXPECT_EQ(PageRenderer(SheetPrintGrid(sheet), setup, context).pagination().pagesWide, pagesWide)
            << rows << " rows, " << body << " points";
    }
}

// A disk that fills at any point of the write: the PDF that was there stays byte for byte, no
// temporary file is left, and the error names the file and the full disk. With room, it lands.
// A folder that does not exist is named too.
TEST_F(PdfOutput, AFailedWriteNamesTheFileAndKeepsTheOldOne)
{
    talor::test::putFile(path, "old pages");
    Sheet sheet;
    fillReport(sheet, 2000);
    SheetPrintGrid grid(sheet);
    const QString bad = dir.filePath("missing/dir/out.pdf");
    EXPECT_TRUE(talor::test::errorText<PrintError>([&] { writePdf(grid, {}, context, bad); }).contains(bad));
    for (rlim_t limit = 12 * 1024; limit <= 24 * 1024; limit += 1536) {
        SCOPED_TRACE(limit);
        const QString error =
            talor::test::writeUnderSizeLimit(limit, [&] { writePdf(grid, PageSetup{}, context, path); });
        EXPECT_TRUE(error.contains(path) && error.contains("the disk is full")) << error.toStdString();
        EXPECT_EQ(talor::test::fileBytes(path), "old pages");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
    }
    EXPECT_EQ(
        talor::test::writeUnderSizeLimit(RLIM_INFINITY, [&] { writePdf(grid, PageSetup{}, context, path); }),
        "");
    EXPECT_TRUE(talor::test::fileBytes(path).trimmed().endsWith("%%EOF"));
}
