// The sheet model: typing rules, its limits, references, frozen columns, formula copies and the
// work a template may ask for.
#include "grid/Sheet.h"

#include "grid/CellAddress.h"
#include "grid/FormatTable.h"
#include "grid/SheetBulkWriter.h"
#include "grid/SheetCopy.h"
#include "grid/VtsFile.h"
#include "grid/Workbook.h"
#include "grid/formula/Formula.h"
#include "support/ErrorText.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor::grid;
using namespace talor::test;

namespace {

enum Kind
{
    Empty,
    Number,
    Date,
    Text,
    Formula
};

// What number() gives: a date's day serial (0: not checked), 0 for texts; a formula with
// value 0 here is one that gives a text. No `shown`: the cell shows what was typed. `format`:
// the cell's number format, where the case is about it.
struct TypedCase
{
    const char* typed;
    Kind kind;
    double value = 0;
    const char* shown = nullptr;
    const char* format = nullptr;
};

void expectTyped(const TypedCase& c)
{
    Sheet sheet;
    sheet.setText(2, 3, QString::fromUtf8(c.typed));
    SCOPED_TRACE(c.typed);
    const bool constant = c.kind == Number || c.kind == Date, formula = c.kind == Formula;
    EXPECT_EQ(std::tuple(sheet.text(2, 3), sheet.isEmpty(2, 3), sheet.isNumber(2, 3), sheet.isDate(2, 3),
                         sheet.isText(2, 3), sheet.formula(2, 3).isEmpty()),
              std::tuple(QString::fromUtf8(c.shown ? c.shown : c.typed), c.kind == Empty,
                         constant || (formula && c.value != 0), c.kind == Date,
                         c.kind == Text || (formula && c.value == 0), !formula));
    if (c.kind != Date || c.value != 0) {
        EXPECT_DOUBLE_EQ(sheet.number(2, 3), c.value);
    }
    if (c.format) {
        EXPECT_EQ(sheet.numberFormat(2, 3), QString::fromUtf8(c.format));
    }
    double number = -1;
    int format = -1;
    EXPECT_EQ(sheet.numberConstant(2, 3, number, format), constant);
    if (constant) {
        EXPECT_EQ(std::pair(number, format), std::pair(sheet.number(2, 3), sheet.formatId(2, 3)));
    }
}

// The last row and column in use.
std::pair<int, int> extent(const Sheet& sheet)
{
    return {sheet.lastRow(), sheet.lastColumn()};
}

// The sheet's signals as texts, in the order told: "cells A1:F31", "formats A3:C3", "extent",
// "selection".
struct SignalLog
{
    QObject context;
    QStringList told;
    explicit SignalLog(Sheet& sheet)
    {
        QObject::connect(&sheet, &Sheet::cellsChanged, &context,
                         [this](const CellRange& r) { told << "cells " + rangeText(r); });
        QObject::connect(&sheet, &Sheet::formatsChanged, &context,
                         [this](const CellRange& r) { told << "formats " + rangeText(r); });
        QObject::connect(&sheet, &Sheet::extentChanged, &context, [this] { told << "extent"; });
        QObject::connect(&sheet, &Sheet::selectionChanged, &context, [this] { told << "selection"; });
    }
};

} // namespace

// What typing makes of a text: a number, a date or time, a text or a formula, with the value and
// the format the cell takes from it.
TEST(SheetTest, TypedEntriesBecomeWhatASpreadsheetMakesOfThem)
{
    // clang-format off
    const TypedCase entries[] = {
        {"12", Number, 12}, {"-3.50", Number, -3.5}, {"0.00", Number, 0}, {"12.5", Number, 12.5},
        {"1,234.5", Number, 1234.5}, {"50%", Number, 0.5}, {"1E3", Number, 1000, "1000"}, {".5", Number, 0.5, "0.5"},
        {"-0", Number, 0, "0"}, {"+8", Number, 8, "8"}, {"-24", Number, -24}, {"168", Number, 168},
        {"8.30", Number, 8.3}, {"-8", Number, -8}, {"123456789012345", Number, 123456789012345},
        {"1.00000", Number, 1, nullptr, "0.00000"}, {"0.0000000000000000000001", Number, 1e-22},
        {"-.00000000000000000000001", Number, -1e-23, "-0.00000000000000000000001"},
        {"0.000000000000000000000015%", Number, 1.5e-25}, {"2024-3-5", Date, 45356, "2024-03-05"},
        {"1900-3-1", Date, 61, "1900-03-01"}, {"2024/3/5", Date, 0, "2024-03-05"},
        {"2024-03-05T08:30", Date, 0, "2024-03-05 08:30"}, {"8:5", Date, 0, "08:05"},
        {"2024-3-5 8:30:00.600", Date, 0, "2024-03-05 08:30:01"}, {"2024-03-05 08:30", Date},
        {"2024-03-05 08:30:15", Date}, {"8:30", Date, 0, "08:30"}, {"6:00", Date, 0.25, "06:00"}, {"08:30:15", Date},
        {"8:5:15", Date, 29115 / 86400.0, "08:05:15"}, {"23:59:59", Date, 86399 / 86400.0},
        {"08:30:15.250", Date, 30615.25 / 86400, "08:30:15"},
        {"2024-3-5 23:59:59.999", Date, 45356 + 86399.999 / 86400, "2024-03-06 00:00:00"},
        {"2024/3/5 8:30", Date, 45356 + 8.5 / 24, "2024-03-05 08:30"}, {"'12", Text, 0, "12"}, {"'=A1", Text, 0, "=A1"},
        {"''x", Text, 0, "'x"}, {"'", Empty, 0, ""}, {"", Empty}, {"=1+2", Formula, 3, "3"},
        {"=\"a\"&\"b\"", Formula, 0, "ab"}};
    // clang-format on
    for (const TypedCase& c : entries)
        expectTyped(c);
    // Texts that look like numbers, dates or times but are none stay texts as typed.
    // clang-format off
    const char* texts[] = {
        "0012", "01", "1234,567", "110101199003071234", "1,23", "12abc", "25:61", "张三", "=",
        "24:60", "25:61:00", "8:60", "8:30:60", "8:30:", ":30", "8:", "1:2:3:4", "8:3O", " 8:30", "+8:30",
        "--8:30", "- 8:30", "-+8:30", "008:30", "024:00", "0168:00", "10000:00", "25:00:00.", "8:30 XM", "13:00 PM",
        "8:30 a.m.", "0099-12-31", "25:00.5", "1234567890123456",
        "8:30 PM x", "8:30pmx", "8 : 30", "8:30 AMPM", "8:30  PM", "8:30 P", "8:30 PM ", "-8:30 PM",
        "-8 PM", "2024-3-5 8:30 PM", "2024-3-5 25:00", "2024-3-5 -8:30", "AM", "PM", "-", "１２:30"};
    // clang-format on
    for (const char* typed : texts)
        expectTyped({typed, Text});
}

TEST(SheetTest, PlainSetTextCostsOneSignalPerCell)
{
    Sheet sheet;
    SignalLog log(sheet);
    for (int row = 1; row <= 100; ++row)
        for (int col = 1; col <= 5; ++col)
            sheet.setText(row, col, QString::number(row * col));
    sheet.setText(100, 6, "=A1"); // a formula cell is told once, as a recomputed one
    // A new row per row, new columns in the first row and the formula's.
    EXPECT_EQ(std::tuple(log.told.filter("cells").size(), log.told.count("extent"), extent(sheet)),
              std::tuple(501, 100 + 5, std::pair(100, 6)));
}

TEST(SheetTest, ReachesTheSheetLimitsAndRefusesBeyond)
{
    Sheet sheet;
    sheet.setLastRow(5);
    sheet.setLastColumn(5);
    for (int row = 1; row <= 30; ++row) // empty writes do not grow the sheet
        for (int col = 1; col <= 30; ++col)
            sheet.setText(row, col, "");
    EXPECT_EQ(extent(sheet), std::pair(5, 5));
    sheet.setText(Sheet::MaxRows, Sheet::MaxColumns, "x");
    EXPECT_EQ(std::pair(sheet.text(1048576, 256), extent(sheet)),
              std::pair(QString("x"), std::pair(1048576, 256)));
    // Rows copied one lower: the last but one lands on the last row, the last one is left out.
    sheet.setText(Sheet::MaxRows - 1, 1, "y");
    Sheet lower;
    copyRows(sheet, lower, Sheet::MaxRows - 1, Sheet::MaxRows, 1, 1);
    EXPECT_EQ(std::pair(lower.text(Sheet::MaxRows, 1), lower.isEmpty(Sheet::MaxRows, 256)),
              std::pair(QString("y"), true));
    EXPECT_THROW(sheet.setText(0, 1, "x"), std::out_of_range);
    EXPECT_THROW(sheet.setText(1, 257, "x"), std::out_of_range);
    EXPECT_THROW((void)sheet.text(1048577, 1), std::out_of_range);
    sheet.setFrozenColumns(-3);
    sheet.setFrozenRows(Sheet::MaxRows);
    EXPECT_EQ(std::pair(sheet.frozenColumns(), sheet.frozenRows()), std::pair(0, Sheet::MaxRows - 1));
    EXPECT_THROW(sheet.setNumber(1, 1, std::numeric_limits<double>::infinity()), std::invalid_argument);
    EXPECT_THROW(sheet.setBorder(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), std::out_of_range);
    EXPECT_THROW(sheet.setPattern(19, 0, 0), std::out_of_range);
    // A format id is one of the sheet's formats: the count itself is one past the last.
    SheetBulkWriter writer(sheet);
    const int past = sheet.formatCount();
    EXPECT_NO_THROW(writer.setFormatId(1, 1, past - 1));
    EXPECT_THROW(writer.setFormatId(1, 1, past), std::out_of_range);
    EXPECT_THROW(writer.setFormatIds(1, 1, std::vector<int>{0, past}), std::out_of_range);
    // As many formats as a template keeps, and not one more.
    CellFormat filled;
    filled.fill.pattern = 1;
    for (filled.fill.foreground = 0; sheet.formatCount() < FormatTable::MaxFormats; ++filled.fill.foreground)
        writer.addFormat(filled);
    EXPECT_THROW(writer.addFormat(filled), std::length_error);
}

// An invalid text gives nothing; a valid one its corners, ordered; column names stop at the
// sheet's last column.
TEST(SheetTest, ReferencesParseAsASpreadsheetDoes)
{
    const std::optional<CellRange> none;
    // clang-format off
    const std::pair<const char*, std::optional<CellRange>> texts[] = {
        {"A1", CellRange{1, 1, 1, 1}}, {"$C5", CellRange{5, 3, 5, 3}}, {"$A$5:$BQ$5", CellRange{5, 1, 5, 69}},
        {"$A$7:$H$7", CellRange{7, 1, 7, 8}}, {"b2:d4", CellRange{2, 2, 4, 4}}, {"D4:B2", CellRange{2, 2, 4, 4}},
        {"IV65536", CellRange{65536, 256, 65536, 256}}, {"A:C", CellRange{1, 1, 1048576, 3}},
        {"3:5", CellRange{3, 1, 5, 256}}, {" $C5 ", CellRange{5, 3, 5, 3}}, {"", none}, {"A0", none},
        {"IW1", none}, {"A1048576", CellRange{1048576, 1, 1048576, 1}}, {"A1048577", none}, {"$$A1", none},
        {"A1:", none}, {"A1:B", none}, {"1A", none},
        {"A", none}, {"A1B2", none}, {"甲1", none}, {"5", none}, {"A1:5", none}};
    // clang-format on
    for (const auto& [text, range] : texts)
        EXPECT_EQ(parseRange(QString::fromUtf8(text)), range) << text;
    // The letters themselves are held by the formula's CellRefTest; here the sheet's bounds.
    EXPECT_EQ(QStringList({columnName(256), columnName(0), columnName(257)}), QStringList({"IV", "", ""}));
    EXPECT_EQ(rangeText(CellRange{5, 1, 5, 69}) + " " + rangeText(CellRange{3, 2, 3, 2}), "A5:BQ5 B3");
}

// Frozen columns follow columns inserted or deleted at or before their edge; deleting them leaves
// the columns left of the deleted ones frozen.
TEST(SheetTest, FrozenColumnsFollowInsertedAndDeletedColumns)
{
    // clang-format off
    const struct { bool insert; int col, count, frozen; } cases[] = {
        {true, 3, 1, 4},  {true, 4, 1, 3},  {true, 1, 2, 5},
        {false, 3, 1, 2}, {false, 4, 1, 3}, {false, 2, 4, 1}, {false, 1, 5, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        Sheet sheet;
        sheet.setFrozenColumns(3);
        c.insert ? sheet.insertColumns(c.col, c.count) : sheet.deleteColumns(c.col, c.count);
        EXPECT_EQ(sheet.frozenColumns(), c.frozen)
            << (c.insert ? "insert " : "delete ") << c.col << "+" << c.count;
    }
}

// A formula copied by setFormulaCopy is what the copied text typed in is: the same source,
// result and recalculation, for relative, absolute, off-the-sheet and unreadable formulas.
TEST(SheetTest, AFormulaCopyWritesWhatTheCopiedTextWrites)
{
    // The formula, the row it was read for, and the row it is copied to (and the one below).
    // clang-format off
    const struct { const char* formula; int from, to; } copies[] = {
        {"=A5*2+B5", 5, 40}, {"=A5*2+B5", 5, 5}, {"=SUM(A3:B5)", 5, 900}, {"=A5+B5", 5, 1}, {"=A5+B6", 6, 1},
        {"=A5+B6", 5, Sheet::MaxRows - 1}, {"=$A$1+A5", 5, 9}, {"=A$1+$B5", 5, 12}, {"=SUM(A5", 5, 8},
        {"=SUM(A3:B$5)", 5, 40}};
    // clang-format on
    for (const auto& c : copies) {
        SCOPED_TRACE(testing::Message() << c.formula << " " << c.from << " to " << c.to);
        const auto formula = formula::Formula::parse(QString::fromUtf8(c.formula));
        Sheet copied, typed;
        const int last = std::min(c.to + 1, Sheet::MaxRows);
        for (Sheet* sheet : {&copied, &typed}) {
            sheet->setNumber(1, 1, 1000);
            for (int row = std::max(1, c.to - 4); row <= last; ++row) {
                sheet->setNumber(row, 1, row);
                sheet->setNumber(row, 2, row * 10);
            }
        }
        for (int row = c.to; row <= last; ++row) {
            SheetBulkWriter(copied).setFormulaCopy(row, 3, formula, row - c.from, 0);
            typed.setText(row, 3, formula.copied(row - c.from, 0));
        }
        for (const bool changed : {false, true}) {
            if (changed)
                for (Sheet* sheet : {&copied, &typed}) {
                    sheet->setNumber(1, 1, 7);
                    sheet->setNumber(last, 1, 0.5);
                    sheet->setNumber(c.to, 2, -3);
                }
            for (int row = c.to; row <= last; ++row)
                EXPECT_EQ(copied.formula(row, 3) + "|" + copied.text(row, 3),
                          typed.formula(row, 3) + "|" + typed.text(row, 3))
                    << "row " << row << (changed ? ", after the cells it reads changed" : "");
        }
        EXPECT_NE(copied.text(c.to, 3), "") << "computes something";
    }
}

TEST(SheetTest, VisitsTheCellsOfARowRange)
{
    Sheet sheet;
    for (const int row : {1, 2, 3, 5})
        sheet.setNumber(row, 2, row);
    const auto rowsVisited = [&](int row1, int row2) {
        QList<int> rows;
        sheet.forEachCell(row1, row2, [&](int row, int) { rows << row; });
        return rows;
    };
    EXPECT_EQ(rowsVisited(2, 3), QList<int>({2, 3}));
    EXPECT_EQ(rowsVisited(3, 4), QList<int>({3}));
    EXPECT_EQ(rowsVisited(0, Sheet::MaxRows + 1), QList<int>({1, 2, 3, 5}));
    EXPECT_EQ(rowsVisited(4, 4), QList<int>());
    EXPECT_EQ(rowsVisited(5, 2), QList<int>());
}

// A template whose formulas would read more cells than a template may ask for is refused
// with a message saying so; within the limit it loads with every result computed.
TEST(SheetTest, ATemplateMayAskForSoMuchWorkOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sums.vts");
    Workbook book;
    for (int r = 1; r <= 100; ++r) {
        book.active().setText(r, 1, QString::number(r));
        // Each sum starts on another row: 100 + 99 + ... + 1 = 5,050 cells read.
        book.active().setText(r, 2, QStringLiteral("=SUM(A%1:A100)").arg(r));
    }
    book.write(path, FileType::Template);

    VtsLimits limits;
    limits.formulaReads = 5050;
    EXPECT_EQ(VtsFile::read(path, limits).sheets.front()->text(1, 2), "5050");
    limits.formulaReads = 5049;
    EXPECT_TRUE(containsAll(errorText<GridFileError>([&] { VtsFile::read(path, limits); }),
                            {path, "read more than 5049 cells"}));
}
