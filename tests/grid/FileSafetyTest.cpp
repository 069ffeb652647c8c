// Hostile and odd inputs for the workbook files, and writes that fail.
#include "grid/Workbook.h"
#include "support/ErrorText.h"
#include "support/SizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <optional>
#include <random>

using namespace talor::grid;
using namespace talor::test;

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
    {R"("cells": [{"row": 4294967297, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1.5, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1048577, "col": 1}])", "out of range"},
    {R"("cells": [{"row": 1, "col": 257}])", "out of range"},
    {R"("formats": [{}, {"fill": {"pattern": 1, "foreground": 1e20, "background": 0}}],
        "cells": [{"row": 1, "col": 1, "format": 1}])", "not a colour"},
    {R"("formats": [{}, {"border": {"left": [1, -1]}}], "cells": [])", "not a colour"},
    {R"("formats": [{}, {"border": {"top": [1, 4294967296]}}], "cells": [])", "not a colour"}, // 2^32
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
    // The sheet's last row and column, one before those refused above, read.
    const QString path = dir.filePath("last.vts");
    putFile(path, templateWith(R"("lastRow": 1048576, "lastColumn": 256,
        "cells": [{"row": 1048576, "col": 256, "text": "x"}])"));
    Workbook book;
    book.read(path);
    EXPECT_EQ(book.text(1048576, 256), "x");
}

TEST(XlsxText, CharactersXmlForbidsAreReplacedAndTheFileStaysWellFormed)
{
    QTemporaryDir dir;
    Workbook book;
    const QString bad = QStringLiteral("a") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0x01) + QChar(0xD800) +
                        u'b' + QChar(0xDC00) + u"\t\n" + QStringLiteral("𠀀");
    book.setSheetName(1, QStringLiteral("表") + QChar(0xFFFF));
    book.setText(1, 1, u'\'' + bad);
    book.setText(1, 2, QStringLiteral("=\"x") + QChar(0xFFFF) + QStringLiteral("\"&A1"));
    book.sheet(1).setNumber(1, 3, 1, QStringLiteral("0.00\"") + QChar(0xFFFE) + u'"');
    const QString path = dir.filePath("odd.xlsx");
    book.write(path, FileType::Excel);
    for (const char* member : {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml", "xl/workbook.xml",
                               "xl/styles.xml", "docProps/app.xml"})
        EXPECT_EQ(xmlError(unzipMember(path, member)), QString()) << member;
    const QString strings = QString::fromUtf8(unzipMember(path, "xl/sharedStrings.xml"));
    const QString r = QString(QChar::ReplacementCharacter);
    EXPECT_TRUE(strings.contains(u'a' + r + r + r + r + u'b' + r + u"\t\n" + QStringLiteral("𠀀")))
        << strings.toStdString();
    EXPECT_TRUE(QString::fromUtf8(unzipMember(path, "xl/workbook.xml")).contains(u"name=\"表" + r + u'"'));
}

TEST(XlsxText, ATextTooLongForExcelIsRefusedByCellAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.xlsx");
    for (const int length : {32767, 32768}) {
        Workbook book;
        book.setSheetName(1, "日报");
        book.setText(1, 1, "x");
        book.setText(3, 2, u'\'' + QString(length, u'长'));
        book.setText(4, 2, "=B3");
        QFile::remove(path);
        if (length == 32767) {
            book.write(path, FileType::Excel);
            const QString strings = QString::fromUtf8(unzipMember(path, "xl/sharedStrings.xml"));
            EXPECT_TRUE(strings.contains(QString(length, u'长')));
            continue;
        }
        EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { book.write(path, FileType::Excel); }),
                                {"日报!B3", "32768 characters"}));
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
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
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                  type == FileType::Template ? 1 : 2);
        // With room, the same write succeeds.
        EXPECT_EQ(talor::test::writeUnderSizeLimit(RLIM_INFINITY, [&] { large.write(path, type); }),
                  QString());
        EXPECT_GT(fileBytes(path).size(), 8192);
    }
}
