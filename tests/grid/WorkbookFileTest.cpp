// Workbook files: broken or hostile .vts templates are refused;
// Excel workbooks hold typed values, computed formula results, formats and sheet names; writes
// that fail leave the old file whole.
#include "grid/FormatTable.h"
#include "grid/VtsFile.h"
#include "grid/Workbook.h"
#include "grid/XlsxFile.h"
#include "support/ErrorText.h"
#include "support/SizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <stdexcept>
#include <tuple>

using namespace talor::grid;
using namespace talor::test;

namespace {

void fillSample(Workbook& book)
{
    book.setSheetName(1, "考勤日报");
    Sheet& s = book.sheet(1);
    s.setText(1, 1, "标题");
    const QStringList row2{"12.50",     "2024-3-5", "08:30:15", "'0012", "=A2*2",
                           "=A1&\"!\"", "1,234.5",  "50%",      "=SUM("};
    for (int col = 1; col <= row2.size(); ++col)
        s.setText(2, col, row2[col - 1]);
    s.setNumber(3, 1, 0.1 + 0.2);
    // What a JSON writer must escape, and numbers at the edges of a double.
    s.setPlainText(3, 2, "引号\"反斜杠\\制表\t换行\n\x01\x1f");
    s.setNumber(3, 3, 1e300);
    s.setNumber(3, 4, 5e-324);
    s.setNumber(3, 5, -123456789.125);
    s.setColumnHeading(1, "日期");
    s.setColumnHeading(10, "ok");
    s.setColumnWidth(Sheet::MaxColumns, 50);
    s.setRowHeading(2, "第二行");
    s.setColumnWidth(12, 100);  // the last column
    s.setColumnWidth(3, 40000); // cut to the widest width a file keeps
    s.setFrozenColumns(2);
    s.setFrozenRows(1);
    s.setShowRowHeadings(false);
    s.setLastRow(40);
    s.setLastColumn(12);
    s.select("$A$2:$I$2");
    s.setPattern(1, 0x00FFFF, 0);
    s.setBorder(1, 0, 13, 0, 1, 0, 0, 0, 0, 0, 0); // the last line style
    s.select("B3:C4");
    s.setPattern(18, 0xFF0000, 0x00FF00); // the last pattern
    s.select("$C5:E5");                   // a selection of a row of cells is kept
    const int second = book.addSheet("第二页");
    Sheet& t = book.sheet(second);
    t.setText(1, 1, "x");
    t.setShowColumnHeadings(false);
    book.setActiveSheet(2);
}

// A member of the zipped workbook at `path` (its XML), as text.
QString member(const QString& path, const char* name)
{
    return QString::fromUtf8(unzipMember(path, name));
}

} // namespace

// Each limit of the reader holds a file of exactly that much and refuses one more, naming
// the file and the limit.
TEST(VtsFileTest, FilesBeyondTheReaderLimitsAreRefused)
{
    QTemporaryDir dir;
    Workbook book;
    book.setText(1, 1, "1");
    book.setText(1, 2, "=A1+1");   // 5 characters
    book.setText(2, 1, "=A1*100"); // 7 characters, 6 after the "="
    book.addSheet("two");
    const QString path = dir.filePath("limits.vts");
    book.write(path, FileType::Template);
    const qint64 size = QFileInfo(path).size();
    const struct
    {
        const char* name;
        std::function<void(VtsLimits&, int)> set;
        int amount; // what the file holds
        QString message;
    } cases[] = {
        {"bytes", [](VtsLimits& l, int n) { l.fileBytes = n; }, int(size), "larger than %1 bytes"},
        {"sheets", [](VtsLimits& l, int n) { l.sheets = n; }, 2, "more than %1 sheets"},
        {"cells", [](VtsLimits& l, int n) { l.cells = n; }, 3, "more than %1 cells"},
        {"rows", [](VtsLimits& l, int n) { l.rowSlots = n; }, 2, "reach down more than %1 rows"},
        {"formula", [](VtsLimits& l, int n) { l.formulaLength = n; }, 6, "longer than %1 characters"},
        {"formulas", [](VtsLimits& l, int n) { l.formulaCharacters = n; }, 12, "more than %1 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VtsLimits limits;
        c.set(limits, c.amount);
        EXPECT_EQ(VtsFile::read(path, limits).sheets.size(), 2u);
        c.set(limits, c.amount - 1);
        EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { VtsFile::read(path, limits); }),
                                {path, c.message.arg(c.amount - 1)}));
    }
    // The writer refuses a file the reader would: the old file stays, and nothing else is left.
    VtsLimits limits;
    limits.fileBytes = size;
    const QString again = dir.filePath("again.vts");
    VtsFile::write(book, again, limits);
    book.setText(3, 1, "x");
    limits.fileBytes = QFileInfo(again).size() + 9; // the new cell takes more
    EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { VtsFile::write(book, again, limits); }),
                            {again, QString("a template of more than %1 bytes").arg(limits.fileBytes)}));
    EXPECT_EQ(std::pair(QFileInfo(again).size(), QDir(dir.path()).entryList(QDir::Files).size()),
              std::pair(size, qsizetype(2)));
}

// A file past the default size limit is refused before it is parsed; a parse that runs out of
// memory is the reader's error, not the end of the program.
TEST(VtsFileTest, TheParseIsBoundedAndRunningOutOfMemoryIsAnError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.vts");
    const qint64 limit = VtsLimits().fileBytes;
    // A template whose unknown member holds long arrays of small numbers, the costliest JSON
    // to hold in memory, just within the limit.
    QByteArray bytes = R"({"format": "talor-vts", "version": 1, "padding": [)";
    bytes.reserve(limit);
    while (bytes.size() < limit - 160)
        bytes += "[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],";
    bytes += R"(0], "sheets": []})";
    ASSERT_LE(bytes.size(), limit);
    putFile(path, bytes + QByteArray(limit - bytes.size(), ' '));
#if !defined(__SANITIZE_ADDRESS__)
    // The address space the process has now, and 64 MiB more: less than the parse needs.
    QFile statm("/proc/self/statm");
    ASSERT_TRUE(statm.open(QIODevice::ReadOnly));
    const rlim_t pages = rlim_t(statm.readAll().split(' ').value(0).toULongLong());
    const rlim_t room = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(64) << 20);
    const QString outOfMemory = runUnderLimit(RLIMIT_AS, room, [&] { VtsFile::read(path); });
    EXPECT_TRUE(containsAll(outOfMemory, {path, "not memory enough"})) << outOfMemory.toStdString();
#endif
    // Without the limit on memory the same file is read (and refused for holding no sheet).
    EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { VtsFile::read(path); }), {path, "no sheet"}));
    putFile(path, fileBytes(path) + " ");
    EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { VtsFile::read(path); }),
                            {path, QStringLiteral("larger than %1 bytes").arg(limit)}));
}

TEST(XlsxFileTest, HoldsTypedValuesFormulaResultsFormatsAndSheetNames)
{
    QTemporaryDir dir;
    Workbook book;
    fillSample(book);
    // Dates around Excel's 29 February 1900 that never was (grid day numbers 1, 2, 60, 61), times
    // of day (midnight too), which have no date to move, and a negative time, which Excel cannot show.
    // A date shown without its year moves too.
    for (const auto& [col, day, picture] : {std::tuple(1, 1.0, "yyyy-mm-dd"),
                                            {2, 2.0, "yyyy-mm-dd"},
                                            {3, 60.0, "yyyy-mm-dd hh:nn"},
                                            {4, 61.0, "yyyy-mm-dd"},
                                            {5, 0.5, "hh:mm"},
                                            {6, -1.0 / 24, "[hh]:nn:ss"},
                                            {7, 0.0, "hh:mm"},
                                            {8, 2.0, "mm-dd"}})
        book.sheet(1).setNumber(20, col, day, QString::fromLatin1(picture));
    // Sheets are numbered from 1 to the last; no other number reaches a sheet.
    for (const int none : {0, 3})
        EXPECT_THROW(book.sheet(none), std::out_of_range) << none;
    book.sheet(2).setFrozenColumns(1); // columns frozen without rows
    book.sheet(1).select("G30");       // sides of their own colours, black one of them
    book.sheet(1).setBorder(0, 0, 0, 1, 1, 0, 0, 0, 0, 0x0000FF, 0);
    const QString path = dir.filePath("Tmp.xls"); // xlsx content whatever the extension
    book.write(path, FileType::Excel);

    const QString workbookXml = member(path, "xl/workbook.xml");
    EXPECT_TRUE(containsAll(workbookXml, {"name=\"考勤日报\"", "name=\"第二页\"", "activeTab=\"1\""}));

    const QString strings = member(path, "xl/sharedStrings.xml");
    EXPECT_TRUE(containsAll(strings, {"标题", "0012", "1899-12-31", "-01:00:00"}));
    // Custom column headings are not cells.
    EXPECT_FALSE(strings.contains("日期") || strings.contains(">ok<"));

    const QString sheet = member(path, "xl/worksheets/sheet1.xml");
    // Numbers stay numbers, the date is its day serial, formulas carry their results.
    for (const char* cell :
         {"<c r=\"A2\"[^>]*><v>12.5</v></c>", "<c r=\"B2\"[^>]*><v>45356</v></c>", "<c r=\"D2\"[^>]*t=\"s\"",
          "<c r=\"E2\"[^>]*><f>A2\\*2</f><v>25</v></c>",
          "<c r=\"F2\"[^>]*t=\"str\"><f>A1&amp;\"!\"</f><v>标题!</v></c>", "<c r=\"A20\"[^>]*t=\"s\">",
          "<c r=\"B20\"[^>]*><v>1</v>", "<c r=\"C20\"[^>]*><v>59</v>", "<c r=\"D20\"[^>]*><v>61</v>",
          "<c r=\"E20\"[^>]*><v>0.5</v>", "<c r=\"F20\"[^>]*t=\"s\">", "<c r=\"G20\"[^>]*><v>0</v>",
          "<c r=\"E3\"[^>]*><v>-123456789.125</v>", "<c r=\"H20\"[^>]*><v>1</v>"})
        EXPECT_TRUE(sheet.contains(QRegularExpression(QString::fromUtf8(cell)))) << cell;
    // A formula that cannot be read is kept as its text rather than damaging the file; only the
    // active sheet is selected.
    EXPECT_TRUE(!sheet.contains("<f>SUM(</f>") && sheet.contains("<pane xSplit=\"2\" ySplit=\"1\"") &&
                !sheet.contains("tabSelected") &&
                member(path, "xl/worksheets/sheet2.xml").contains("<pane xSplit=\"1\" "));
    EXPECT_TRUE(sheet.contains(QRegularExpression("<col min=\"12\" max=\"12\" width=\"14\\.\\d+\"")));

    const QString styles = member(path, "xl/styles.xml");
    // 0x00FFFF in the grid's blue-green-red order is yellow: FFFF00.
    EXPECT_TRUE(containsAll(styles, {"formatCode=\"0.00\"", "formatCode=\"yyyy-mm-dd\"",
                                     "<fgColor rgb=\"FFFFFF00\"/>", "<right style=\"thin\">",
                                     "<fgColor rgb=\"FF0000FF\"/><bgColor rgb=\"FF00FF00\"/>",
                                     "<top style=\"thin\"><color rgb=\"FFFF0000\"/></top><bottom "
                                     "style=\"thin\"><color rgb=\"FF000000\"/></bottom>"}));
}

namespace {

// An error message of the XML reader, or nothing for a well-formed document.
QString xmlError(const QByteArray& xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString() : QString();
}

// A template with one sheet whose members are `sheetMembers` (JSON text without braces) and
// the required ones that `sheetMembers` does not give.
QByteArray templateWith(const char* sheetMembers)
{
    QByteArray members = sheetMembers;
    // clang-format off
    const std::pair<const char*, const char*> required[] = {
        {"name", "\"s\""}, {"lastRow", "5"}, {"lastColumn", "5"}, {"frozenRows", "0"}, {"frozenColumns", "0"}};
    // clang-format on
    for (const auto& [key, value] : required)
        if (!members.contains(QByteArray("\"" + QByteArray(key) + "\"")))
            members += QByteArray(", \"") + key + "\": " + value;
    return R"({"format": "talor-vts", "version": 1, "sheets": [{)" + members + "}]}";
}

} // namespace

// The sheet's members of a template, and part of the message that refuses it.
// clang-format off
const std::pair<const char*, const char*> hostile[] = {
    {R"("lastRow": 1e308, "cells": [])", "lastRow 1e+308 is out of range"},
    {R"("lastColumn": -1e308, "cells": [])", "out of range"},
    {R"("lastColumn": 1, "cells": [{"row": 1, "col": 2, "text": "x"}])", "cells lie outside"},
    {R"("frozenRows": 1048576, "cells": [])", "frozenRows 1048576 is out of range"},
    {R"("frozenColumns": 256, "cells": [])", "frozenColumns 256 is out of range"},
    {R"("cells": [{"row": 4294967297, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1.5, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1048577, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1, "col": 257}])", "out of range"},
    {R"("formats": [{}], "cells": [{"row": 1, "col": 1, "format": 1}])", "cell format 1 is out of range"},
    {R"("cells": [{"row": 1, "col": 1, "formula": "A1"}])", "does not begin with \"=\""},
    {R"("cells": [{"row": 1, "col": 1, "number": "1"}])", "the number of cell (1, 1) is not a number"},
    {R"("formats": [{}, {"fill": {"pattern": 1, "foreground": 1e20, "background": 0}}],
        "cells": [{"row": 1, "col": 1, "format": 1}])", "not a colour"},
    {R"("formats": [{}, {"border": {"left": [1, -1]}}], "cells": [])", "not a colour"},
    {R"("formats": [{}, {"border": {"top": [1, 4294967296]}}], "cells": [])", "4294967296 is not a colour"},
    {R"("columnWidths": {"2": 1e300}, "cells": [])", "out of range"},
    {R"("selection": [1, 1, 1e308, 1], "cells": [])", "out of range"},
    {R"("cells": {"row": 1, "col": 1})", "\"cells\" is not a list"},
    {R"("showColumnHeadings": "no", "cells": [])", "\"showColumnHeadings\" is not true or false"},
    {R"("showRowHeadings": 0, "cells": [])", "is not true or false"},
    {R"("formats": {"0": {}}, "cells": [])", "\"formats\" is not a list"},
    {R"("formats": [{}, "0.00"], "cells": [])", "a format is not an object"},
    {R"("cells": [7])", "a cell is not an object"},
    {R"("formats": [{"numberFormat": 5}], "cells": [])", "\"numberFormat\" is not a text"},
    {R"("formats": [{}, {"fill": [1, 2, 3]}], "cells": [])", "\"fill\" is not an object"},
    {R"("formats": [{}, {"border": {"left": {"style": 1}}}], "cells": [])", "border side left"},
    {R"("columnWidths": [100], "cells": [])", "\"columnWidths\" is not an object"},
    {R"("activeCell": "A1", "cells": [])", "\"activeCell\" is not a list"}};
// clang-format on
// A broken or hostile template fails with a clear error naming the file, and leaves the book
// as it was.
TEST(HostileTemplate, IsRefusedByNameAndLeavesTheBook)
{
    QTemporaryDir dir;
    const QByteArray good = templateWith(R"("cells": [])");
    std::vector<std::pair<std::optional<QByteArray>, const char*>> files{
        {std::nullopt, "does not exist"},
        {good.left(good.size() / 2), "damaged or truncated"},
        {"PK\x03\x04 this is a zip file, not a template", "not a TALOR template"},
        {QByteArray(good).replace("talor-vts", "something-else"), "not a TALOR template"},
        {QByteArray(good).replace("\"version\": 1", "\"version\": 2"), "newer program"},
        {QByteArray(), "not a TALOR template"}};
    for (const auto& [members, expected] : hostile)
        files.emplace_back(templateWith(members), expected);
    for (const auto& [bytes, expected] : files) {
        SCOPED_TRACE(expected);
        const QString path = dir.filePath("hostile.vts");
        QFile::remove(path);
        if (bytes)
            putFile(path, *bytes);
        Workbook book;
        book.setText(1, 1, "keep");
        book.setSheetName(1, "mine");
        EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { book.read(path); }),
                                {path, QString::fromUtf8(expected)}));
        EXPECT_EQ(std::tuple(book.sheetCount(), book.sheetName(1), book.text(1, 1)),
                  std::tuple(1, QString("mine"), QString("keep")));
    }
    // The sheet's last row and column, one before those refused above, and as many formats as a
    // sheet may hold, read; with no active sheet named, the first is active.
    const QString path = dir.filePath("last.vts");
    const QByteArray formats =
        "\"formats\": [" + QByteArray("{},").repeated(FormatTable::MaxFormats - 1) + "{}], ";
    putFile(path, templateWith(QByteArray(formats + R"("lastRow": 1048576, "lastColumn": 256,
        "cells": [{"row": 1048576, "col": 256, "text": "x"}])")
                                   .constData())
                      .replace("}]}", R"(}, {"name": "t", "lastRow": 0, "lastColumn": 0, "frozenRows": 0,
        "frozenColumns": 0}]})"));
    Workbook book;
    book.read(path);
    EXPECT_EQ(std::pair(book.text(1048576, 256), book.sheetCount()), std::pair(QString("x"), 2));
}

TEST(XlsxText, TextsAreWrittenAsTheyStandOrRefusedByCell)
{
    QTemporaryDir dir;
    Workbook book;
    const QString bad = QStringLiteral("a") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0x01) + QChar(0xD800) +
                        u'b' + QChar(0xDC00) + u"\t\n" + QStringLiteral("𠀀") + QChar(0xE000);
    book.setSheetName(1, QStringLiteral("表") + QChar(0xFFFF));
    book.setText(1, 1, u'\'' + bad);
    book.setText(1, 2, QStringLiteral("=\"x") + QChar(0xFFFF) + QStringLiteral("\"&A1"));
    book.sheet(1).setNumber(1, 3, 1, QStringLiteral("0.00\"") + QChar(0xFFFE) + u'"');
    book.setText(2, 1, QStringLiteral("_x0041_B_x00e9_ _x12_ _y0041_ _x0041_x0042_"));
    book.setText(2, 2, QStringLiteral("_xBEEF_"));
    book.setText(3, 2, u'\'' + QString(32767, u'长'));
    book.setText(4, 2, "=B3");
    const QString path = dir.filePath("odd.xlsx");
    book.write(path, FileType::Excel);
    for (const char* part : {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml", "xl/workbook.xml",
                             "xl/styles.xml", "docProps/app.xml"})
        EXPECT_EQ(xmlError(unzipMember(path, part)), QString()) << part;
    EXPECT_FALSE(member(path, "xl/worksheets/sheet1.xml").contains("<pane")) << "nothing is frozen";
    const QString r = QString(QChar::ReplacementCharacter);
    EXPECT_TRUE(containsAll(
        member(path, "xl/sharedStrings.xml"),
        {u'a' + r + r + r + r + u'b' + r + u"\t\n" + QStringLiteral("𠀀") + QChar(0xE000),
         QStringLiteral("<t>_x005F_x0041_B_x005F_x00e9_ _x12_ _y0041_ _x005F_x0041_x005F_x0042_</t>"),
         QStringLiteral("<t>_x005F_xBEEF_</t>"), QString(32767, u'长')}));
    EXPECT_TRUE(member(path, "xl/workbook.xml").contains(u"name=\"表" + r + u'"'));

    book.setSheetName(1, "日报");
    book.setText(3, 2, u'\'' + QString(32768, u'长'));
    const QString longer = dir.filePath("long.xlsx");
    EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { book.write(longer, FileType::Excel); }),
                            {"日报!B3", "32768 characters"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"odd.xlsx"});
}

// Sheet names as Excel takes them: the characters it refuses replaced, apostrophes at the ends
// and all past 31 units left out, a character outside the basic plane whole or not at all; a
// workbook of such names is written, a name repeated (without case) numbered within the 31.
TEST(XlsxText, SheetNamesAreCutToWholeCharacters)
{
    const QString a26(26, u'A'), a30(30, u'A'), emoji = QStringLiteral("😀");
    const std::pair<QString, QString> names[] = {
        {"日报[1]:*?/\\", "日报_1______"},          {"''考勤''", "考勤"}, {"'", "Sheet1"},
        {QString(40, u'表'), QString(31, u'表')},   {a30 + emoji, a30},   {a30 + QStringLiteral("𠀀B"), a30},
        {a26 + emoji + "xyz", a26 + emoji + "xyz"}, {a30 + "'B", a30}};
    for (const auto& [name, excel] : names)
        EXPECT_EQ(XlsxFile::excelSheetName(name, 1), excel) << name.toStdString();

    QTemporaryDir dir;
    Workbook book;
    book.setSheetName(1, a30 + emoji);
    book.addSheet(a26 + emoji + "xyz");
    book.addSheet(a26 + emoji + "XYZ");
    const QString path = dir.filePath("names.xlsx");
    book.write(path, FileType::Excel);
    EXPECT_TRUE(containsAll(
        member(path, "xl/workbook.xml"),
        {u"name=\"" + a30 + u'"', u"name=\"" + a26 + emoji + u"xyz\"", u"name=\"" + a26 + u" (2)\""}));
}

// The writer tells its progress every so many rows, counted on over the sheets; a progress
// that says stop ends the write with no file, and the file that was there stays whole.
TEST(XlsxProgress, IsToldEverySoManyRowsAndAStopLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rows.xlsx");
    const int every = XlsxFile::RowsPerProgress;
    Workbook book;
    book.addSheet("二");
    // The second report falls on the second sheet; none comes as the last row, not yet written,
    // begins.
    for (const auto& [sheet, rows] : {std::pair(1, every + every / 2), std::pair(2, every + every / 2)})
        for (int row = 1; row <= rows; ++row)
            book.sheet(sheet).setNumber(row, 1, row);
    for (const int stopAt : {0, 2 * every}) {
        SCOPED_TRACE(stopAt);
        putFile(path, "old");
        QList<int> told;
        const auto progress = [&](int written) {
            told << written;
            return written != stopAt;
        };
        bool stopped = false;
        try {
            XlsxFile::write(book, path, {}, true, progress);
        } catch (const WriteStopped&) {
            stopped = true;
        }
        EXPECT_EQ(
            std::tuple(told, stopped, fileBytes(path) == "old",
                       QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)),
            std::tuple(QList<int>{every, 2 * every}, stopAt != 0, stopAt != 0, QStringList{"rows.xlsx"}));
    }
}

// A write on a full disk fails with an error that says so, and the file that was there stays
// whole; no temporary file is left in the folder.
TEST(FullDisk, KeepsTheOldFileAndSaysTheDiskIsFull)
{
    QTemporaryDir dir;
    Workbook small;
    small.setText(1, 1, "old");
    Workbook large;
    // Texts that do not compress, so that the zipped workbook is large too.
    std::mt19937_64 random(1);
    for (int row = 1; row <= 800; ++row)
        large.setText(row, 1,
                      u'\'' + QString::number(random(), 36) + QString::number(random(), 36) +
                          QString::number(random(), 36));
    for (const FileType type : {FileType::Template, FileType::Excel}) {
        const QString path = dir.filePath(type == FileType::Template ? "t.vts" : "t.xlsx");
        small.write(path, type);
        const QByteArray before = fileBytes(path);
        ASSERT_LT(before.size(), 8192);
        const QString error = talor::test::writeUnderSizeLimit(8192, [&] { large.write(path, type); });
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(containsAll(error, {path, "disk is full"}));
        EXPECT_EQ(std::pair(fileBytes(path), QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size()),
                  std::pair(before, qsizetype(type == FileType::Template ? 1 : 2)));
        // With room, the same write succeeds.
        EXPECT_EQ(talor::test::writeUnderSizeLimit(RLIM_INFINITY, [&] { large.write(path, type); }),
                  QString());
        EXPECT_GT(fileBytes(path).size(), 8192);
    }
}

// A part cut short in the temporary folder while the zip itself still fits: the read-back finds
// the worksheet whose end is missing, far into it, and no file is written.
TEST(FullDisk, APartCutShortInTheTemporaryFolderIsFoundByItsEnd)
{
    QTemporaryDir dir;
    Workbook book;
    // Rows that compress well: the worksheet's part is far larger than the zip.
    for (int row = 1; row <= 20000; ++row)
        book.active().setNumber(row, 1, row % 7);
    const QString path = dir.filePath("cut.xlsx");
    const QString error =
        talor::test::writeUnderSizeLimit(300 * 1024, [&] { book.write(path, FileType::Excel); });
    EXPECT_TRUE(containsAll(error, {"xl/worksheets/sheet1.xml", "cut short"})) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
}
