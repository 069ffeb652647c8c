// The sheet model: typing rules, formulas, extent, selection formats, column moves and the cells
// that share one text or formula.
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

// The displayed texts of row `row` from column 1 on, joined by '|'.
QString rowTexts(const Sheet& sheet, int row, int columns)
{
    QStringList texts;
    for (int col = 1; col <= columns; ++col)
        texts << sheet.text(row, col);
    return texts.join(u'|');
}

// Every row's texts up to the last row and column in use, a row a line.
QString allTexts(const Sheet& sheet)
{
    QStringList rows;
    for (int row = 1; row <= sheet.lastRow(); ++row)
        rows << rowTexts(sheet, row, sheet.lastColumn());
    return rows.join(u'\n');
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

// Types `texts` into row `row` from column 1 on.
void typeRow(Sheet& sheet, int row, const QStringList& texts)
{
    for (int col = 1; col <= texts.size(); ++col)
        sheet.setText(row, col, texts[col - 1]);
}

} // namespace

// The forms of dates and times the text module reads are its own cases (TextFunctionsTest); here
// the values and formats a cell takes from them.
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

// Times a spreadsheet reads as numbers although they are no time of day (elapsed, negative,
// twelve-hour): the value, the format code that shows them as typed, and what the cell shows.
TEST(SheetTest, TypedTimesAreNumbersShownAsTyped)
{
    // clang-format off
    const struct { const char* typed; const char* shown; double seconds; const char* numberFormat; } times[] = {
        {"24:00", "24:00", 86400, "[h]:mm"}, {"25:00", "25:00", 90000, "[h]:mm"}, {"168:30", "168:30", 606600, "[h]:mm"},
        {"24:00:00", "24:00:00", 86400, "[h]:mm:ss"}, {"25:59:59", "25:59:59", 93599, "[h]:mm:ss"},
        {"9999:59", "9999:59", 35999940, "[h]:mm"}, {"100:5", "100:05", 360300, "[h]:mm"},
        {"25:00:00.5", "25:00:01", 90000.5, "[h]:mm:ss"}, {"-08:30", "-08:30", -30600, "[hh]:mm"},
        {"-8:30", "-08:30", -30600, "[hh]:mm"}, {"-0:01", "-00:01", -60, "[hh]:mm"},
        {"-23:59:59", "-23:59:59", -86399, "[hh]:mm:ss"}, {"-24:00", "-24:00", -86400, "[h]:mm"},
        {"-168:30", "-168:30", -606600, "[h]:mm"}, {"-0:00", "00:00", 0, "[hh]:mm"},
        {"8:30 PM", "8:30 PM", 73800, "h:mm AM/PM"}, {"8:30 AM", "8:30 AM", 30600, "h:mm AM/PM"},
        {"12:00 AM", "12:00 AM", 0, "h:mm AM/PM"}, {"12:30 PM", "12:30 PM", 45000, "h:mm AM/PM"},
        {"12:59 AM", "12:59 AM", 3540, "h:mm AM/PM"}, {"11:59 PM", "11:59 PM", 86340, "h:mm AM/PM"},
        {"0:30 AM", "12:30 AM", 1800, "h:mm AM/PM"}, {"8 PM", "8 PM", 72000, "h AM/PM"},
        {"12 PM", "12 PM", 43200, "h AM/PM"}, {"8:30 pm", "8:30 PM", 73800, "h:mm AM/PM"},
        {"8:30pm", "8:30 PM", 73800, "h:mm AM/PM"}, {"08:30 Am", "8:30 AM", 30600, "h:mm AM/PM"},
        {"8:30:15 PM", "8:30:15 PM", 73815, "h:mm:ss AM/PM"}};
    // clang-format on
    for (const auto& c : times)
        expectTyped({c.typed, Date, c.seconds / 86400, c.shown, c.numberFormat});
}

// The cell's number format stays for plain numbers but not for dates; numbers show through the
// text module's formatter (its cases: TextFunctionsTest), formula results too.
TEST(SheetTest, CellsShowNumbersAsASpreadsheetDoes)
{
    Sheet sheet;
    typeRow(sheet, 1, {"12.50", "2024-03-05"});
    typeRow(sheet, 1, {"3", "5"});
    sheet.setNumber(1, 3, 3.14159, "0.00");
    sheet.setPlainText(1, 4, "12");
    sheet.setNumber(1, 5, -0.001, "0.00");
    EXPECT_EQ(std::tuple(rowTexts(sheet, 1, 5), sheet.isDate(1, 2), sheet.isNumber(1, 4)),
              std::tuple(QString("3.00|5|3.14|12|0.00"), false, false));
    sheet.setNumber(2, 1, 2.675, "0.00");
    sheet.setNumber(2, 2, 1e300, "yyyy-mm-dd");
    // Entries typed through the grid's edit path are apostrophe texts; formulas over them
    // compute as over the numbers, and a difference that cancels shows 0.
    typeRow(sheet, 3, {"'08:30", "'17:30", "=(B3-A3)*24-1-8", "=(B3-A3)*24", "=A3&\"\""});
    sheet.setNumber(4, 1, 1, "0.00");
    sheet.setText(4, 1, "=2.675*1");
    EXPECT_EQ(rowTexts(sheet, 2, 2) + "|" + rowTexts(sheet, 3, 5) + "|" + sheet.text(4, 1),
              "2.68|#####|08:30|17:30|0|9|08:30|2.68");
}

// A batch of a few changes tells only the changed cells and what reads them: not the other
// formulas of the changed row, nor what reads those.
TEST(SheetTest, ABatchOfFewChangesTellsOnlyWhatTheyReach)
{
    Sheet sheet;
    sheet.setText(1, 4, "=100"); // in the changed row, reading nothing that changes
    sheet.setText(30, 6, "=D1");
    sheet.setText(31, 6, "=A1*2");
    SignalLog log(sheet);
    {
        Sheet::Batch batch(sheet);
        sheet.setNumber(1, 1, 5);
        sheet.setNumber(1, 2, 6);
    }
    EXPECT_EQ(std::pair(log.told, sheet.text(31, 6)), std::pair(QStringList{"cells A1:F31"}, QString("10")));
    log.told.clear();
    {
        Sheet::Batch batch(sheet);
        sheet.setNumber(1, 2, 7);
        sheet.setNumber(1, 3, 8);
    }
    EXPECT_EQ(log.told, QStringList{"cells B1:C1"});
}

// Many changes to a few rows among many formulas are recomputed by rows: what reads those rows
// from outside them follows, whether it reads a cell of the last row (alone, or as one of many
// readers) or a range of any size that ends in the first row or starts in the last.
TEST(SheetTest, ChangesToAFewRowsReachEveryReaderOutsideThem)
{
    Sheet sheet;
    const QStringList readers{"=A11", "=SUM(A1:A10)", "=SUM(B11:B12)", "=SUM(A1:A2000)", "=SUM(A1:A20000)"};
    for (int i = 0; i < readers.size(); ++i)
        sheet.setText(1, 6 + i, readers[i]);
    for (int row = 100; row < 170; ++row)
        sheet.setText(row, 8, "=A11*2");
    {
        Sheet::Batch batch(sheet);
        for (int col = 1; col <= 80; ++col) { // more changes than formulas: followed by rows
            sheet.setNumber(10, col, 1);
            sheet.setNumber(11, col, 2);
        }
    }
    EXPECT_EQ(rowTexts(sheet, 1, 10) + "|" + sheet.text(100, 8) + "|" + sheet.text(169, 8),
              "|||||2|1|2|3|3|4|4");
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

TEST(SheetTest, ShrinkingTheExtentDropsCellsBeyondIt)
{
    Sheet sheet;
    for (int row = 1; row <= 10; ++row)
        for (int col = 1; col <= 4; ++col)
            sheet.setText(row, col, QString::number(row));
    sheet.setText(1, 5, "=SUM(A1:A10)");
    sheet.setRowHeading(8, "eight");
    sheet.setRowHeading(5, "five");
    EXPECT_EQ(sheet.text(1, 5) + "|" + sheet.rowHeading(8), "55|eight");
    sheet.setLastRow(5);
    EXPECT_EQ(sheet.text(1, 5), "15"); // the rows dropped leave the sum at once
    sheet.clearCell(5, 1);             // the sum reads it as empty now
    EXPECT_EQ(std::pair(extent(sheet), sheet.text(1, 5)), std::pair(std::pair(5, 5), QString("10")));
    sheet.setLastRow(10);
    EXPECT_TRUE(sheet.isEmpty(8, 1));
    EXPECT_EQ(sheet.rowHeading(8) + "|" + sheet.rowHeading(5) + "|" + sheet.text(5, 4), "|five|5");
    sheet.setText(3, 2, "=A3"); // a formula in the last column kept
    sheet.setLastColumn(2);
    EXPECT_EQ(extent(sheet), std::pair(10, 2));
    sheet.setLastColumn(5);
    EXPECT_EQ(std::tuple(sheet.isEmpty(1, 3), sheet.isEmpty(1, 5), sheet.text(3, 2)),
              std::tuple(true, true, QStringLiteral("3")));
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

// A reference selects its cells (their texts: above), the first one active; corners
// are ordered; a bad reference throws and leaves the selection.
TEST(SheetTest, SelectionByReferenceAndByCorners)
{
    Sheet sheet;
    SignalLog log(sheet);
    sheet.select("$A$5:$BQ$5");
    EXPECT_EQ(std::tuple(sheet.selection(), sheet.activeRow(), sheet.activeColumn()),
              std::tuple(CellRange{5, 1, 5, 69}, 5, 1));
    sheet.select(4, 4, 2, 2);
    EXPECT_THROW(sheet.select("$A$0"), std::invalid_argument);
    EXPECT_THROW(sheet.select("nonsense"), std::invalid_argument);
    EXPECT_EQ(std::pair(sheet.selection(), log.told),
              std::pair(CellRange{2, 2, 4, 4}, QStringList(2, "selection")));
    sheet.setActiveCell(7, 8);
    EXPECT_EQ(sheet.selection(), (CellRange{7, 8, 7, 8}));
    sheet.select(9, 9, 7, 8); // the same active cell, more cells
    EXPECT_EQ(std::tuple(sheet.selection(), sheet.activeRow(), sheet.activeColumn()),
              std::tuple(CellRange{7, 8, 9, 9}, 7, 8));
}

TEST(SheetTest, BorderFramesTheSelectionAndDrawsInnerSides)
{
    Sheet sheet;
    sheet.setLastColumn(4);
    sheet.select("$A$7:$C$7");
    // Outline 1, left 0, right 1, top 0, bottom 1: a frame, lines right of each cell.
    sheet.setBorder(1, 0, 1, 0, 1, 0, 0x0000FF, 0x111111, 0x222222, 0x333333, 0x444444);
    // left, right, top, bottom, then their colours
    EXPECT_EQ(QList<CellBorder>({sheet.border(7, 1), sheet.border(7, 2), sheet.border(7, 3),
                                 sheet.border(7, 4), sheet.border(6, 1)}),
              QList<CellBorder>({{1, 1, 1, 1, 0x0000FF, 0x222222, 0x0000FF, 0x0000FF},
                                 {0, 1, 1, 1, 0, 0x222222, 0x0000FF, 0x0000FF},
                                 {0, 1, 1, 1, 0, 0x0000FF, 0x0000FF, 0x0000FF},
                                 {},
                                 {}}));

    // Negative styles leave sides alone; style 0 removes them.
    sheet.select("B7");
    sheet.setBorder(0, -1, 0, -1, -1, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(sheet.border(7, 2), (CellBorder{0, 0, 1, 1, 0, 0, 0x0000FF, 0x0000FF}));

    // The row's cells are stored now: framed again (two cells, then three), the same edges.
    for (const char* range : {"$B$7:$C$7", "$A$7:$C$7"}) {
        sheet.select(range);
        sheet.setBorder(1, 0, 1, 0, 1, 0, 0x00FF00, 0x111111, 0x222222, 0x333333, 0x444444);
    }
    EXPECT_EQ(
        QList<CellBorder>({sheet.border(7, 1), sheet.border(7, 2), sheet.border(7, 3), sheet.border(7, 4)}),
        QList<CellBorder>({{1, 1, 1, 1, 0x00FF00, 0x222222, 0x00FF00, 0x00FF00},
                           {0, 1, 1, 1, 0, 0x222222, 0x00FF00, 0x00FF00},
                           {0, 1, 1, 1, 0, 0x00FF00, 0x00FF00, 0x00FF00},
                           {}}));
}

TEST(SheetTest, PatternFillsTheSelectionAndKeepsTheValues)
{
    Sheet sheet;
    sheet.setText(3, 2, "12.50");
    sheet.select("$A$3:$C$3");
    SignalLog log(sheet);
    sheet.setPattern(1, 0x00FFFF, 0);
    const CellFill yellow{1, 0x00FFFF, 0};
    EXPECT_EQ(
        std::tuple(QList<CellFill>({sheet.fill(3, 1), sheet.fill(3, 2), sheet.fill(3, 3), sheet.fill(3, 4)}),
                   sheet.text(3, 2), log.told),
        std::tuple(QList<CellFill>({yellow, yellow, yellow, {}}), QString("12.50"),
                   QStringList{"formats A3:C3"}));
    sheet.setPattern(0, 0, 0);
    EXPECT_EQ(sheet.fill(3, 1), CellFill());
    // Whole columns stop at the used extent.
    sheet.select("B:B");
    sheet.setPattern(1, 0xFF, 0);
    EXPECT_EQ(std::pair(sheet.fill(3, 2).foreground, sheet.fill(4, 2)), std::pair(0xFFu, CellFill()));
    // Only whole rows and columns do: a selection from the first row or column that ends
    // inside the sheet is filled to its end, past the extent too.
    for (const char* range : {"$C$1:$C$5", "$A$6:$E$6"}) {
        sheet.select(range);
        sheet.setPattern(1, 0xFF, 0);
    }
    EXPECT_EQ(std::pair(sheet.fill(5, 3).foreground, sheet.fill(6, 5).foreground), std::pair(0xFFu, 0xFFu));
}

// Inserted columns move cells, headings, widths and the references into them; deleted ones
// move cells left and break the references into them; columns pushed off the right edge go.
TEST(SheetTest, InsertedAndDeletedColumnsMoveCellsHeadingsWidthsAndFormulas)
{
    Sheet sheet;
    typeRow(sheet, 1, {"1", "2", "=A1+B1", "3", "=A1+D1"});
    sheet.setText(2, 4, "=B1");
    sheet.setText(3, 5, "=B3");
    sheet.setText(4, 5, "=B4"); // the formula above copied down: each row keeps its own reference
    sheet.setColumnHeading(2, "上班");
    sheet.setColumnHeading(4, "下班");
    sheet.setColumnWidth(2, 120);
    sheet.insertColumns(2);
    EXPECT_EQ(rowTexts(sheet, 1, 7) + "|" + sheet.formula(1, 4) + "|" + sheet.formula(1, 6) + "|" +
                  sheet.formula(4, 6),
              "1||2|3|3|4||=A1+C1|=A1+E1|=C4");
    EXPECT_EQ(std::tuple(sheet.lastColumn(), sheet.columnHeading(3) + sheet.columnHeading(5),
                         sheet.columnWidth(2), sheet.columnWidth(3)),
              std::tuple(6, QString("上班下班"), Sheet::DefaultColumnWidth, 120));
    sheet.setText(1, 3, "10");
    EXPECT_EQ(sheet.text(1, 4), "11");
    sheet.setText(3, 2, "=1+1");
    sheet.setText(3, 3, "=A1"); // a formula in the deleted column goes with it
    sheet.deleteColumns(3);
    EXPECT_EQ(sheet.formula(3, 2) + "|" + sheet.formula(3, 3), "=1+1|");
    EXPECT_EQ(rowTexts(sheet, 1, 6) + "|" + sheet.formula(1, 3) + "|" + sheet.formula(1, 5) + "|" +
                  sheet.text(2, 4) + "|" + sheet.columnHeading(4) + "|" + QString::number(sheet.lastColumn()),
              "1||#REF!|3|4||=A1+#REF!|=A1+D1|#REF!|下班|5");
    sheet.deleteColumns(5); // the last column: the extent shrinks
    sheet.insertColumns(4); // at the last column: it grows
    EXPECT_EQ(std::pair(sheet.lastColumn(), sheet.text(1, 5)), std::pair(5, QString("3")));
    sheet.setText(1, 256, "edge");
    sheet.setText(2, 254, "=A1"); // moved onto the last column, not off it
    sheet.insertColumns(1, 2);
    EXPECT_EQ(std::tuple(sheet.text(1, 7), sheet.isEmpty(1, 256), sheet.formula(2, 256)),
              std::tuple(QStringLiteral("3"), true, QStringLiteral("=C1")));
    sheet.setColumnWidth(7, 0); // the default width again
    sheet.insertColumns(256);   // at the last column itself: its cells go off the edge
    EXPECT_EQ(std::pair(sheet.formula(2, 256), sheet.columnWidth(7)),
              std::pair(QString(), Sheet::DefaultColumnWidth));
    // A whole row formatted where no column is used yet: its first cell alone.
    Sheet empty;
    empty.select(1, 1, 1, Sheet::MaxColumns);
    empty.setPattern(1, 0xFF, 0xFF);
    EXPECT_EQ(std::pair(empty.fill(1, 1).pattern, empty.fill(1, 2).pattern), std::pair(short(1), short(0)));
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

// A range and a cell written after the formula over it: the formula follows the cell exactly
// when the cell lies inside. The cases sit on both sides of the 64-row and 8-column blocks the
// dependencies are indexed in, of the coarser 1,024 x 32 blocks, and of ranges starting
// inside a block.
TEST(SheetTest, SumFollowsExactlyTheCellsOfItsRange)
{
    // clang-format off
    const struct { const char* range; int row, col; bool inside; } edges[] = {
        {"A1:A64", 64, 1, true}, {"A1:A64", 65, 1, false}, {"A65:A128", 64, 1, false},
        {"A65:A128", 65, 1, true}, {"A65:A128", 128, 1, true}, {"A65:A128", 129, 1, false},
        {"A30:A100", 29, 1, false}, {"A30:A100", 30, 1, true}, {"A30:A100", 100, 1, true},
        {"A30:A100", 101, 1, false}, {"A1:H1", 1, 8, true}, {"A1:H1", 1, 9, false}, {"B1:I1", 1, 1, false},
        {"B1:I1", 1, 9, true}, {"B1:I1", 1, 10, false}, {"A1:A1024", 1024, 1, true},
        {"A1:A1024", 1025, 1, false}, {"A1:A1025", 1025, 1, true}, {"A1:A1025", 1026, 1, false},
        {"C1000:C5000", 999, 3, false}, {"C1000:C5000", 1000, 3, true}, {"C1000:C5000", 5000, 3, true},
        {"C1000:C5000", 5001, 3, false}, {"C1000:C5000", 3000, 2, false}, {"B2:B65536", 65536, 2, true},
        {"B2:B65536", 1, 2, false}, {"B2:B65536", 65536, 3, false}, {"A1:IU65536", 65536, 255, true},
        {"B1:AG40000", 40000, 33, true}, {"B1:AG40000", 40001, 33, false}, {"H1:J1", 1, 8, true},
        {"A64:A70", 64, 1, true}};
    // clang-format on
    for (const auto& c : edges) {
        SCOPED_TRACE(testing::Message() << c.range << " " << c.row << "," << c.col);
        Sheet sheet;
        sheet.setText(1, 256, QStringLiteral("=SUM(%1)").arg(c.range));
        sheet.setText(c.row, c.col, "7");
        EXPECT_EQ(sheet.text(1, 256), c.inside ? "7" : "0");
        sheet.setText(c.row, c.col, "5");
        EXPECT_EQ(sheet.text(1, 256), c.inside ? "5" : "0");
    }
}

// Sums of ranges from one first row, recomputed in one pass: a longer range goes on from the
// tally of a shorter one computed before it (each row added once), a shorter one does not take
// a longer one's, nor a wider one a narrower one's.
TEST(SheetTest, RunningTotalsOfOnePassAddEachRowOnce)
{
    Sheet sheet;
    for (int row = 2; row <= 6; ++row) {
        sheet.setText(row, 2, QString::number(row));
        sheet.setText(row, 3, QString("=SUM($B$2:B%1)").arg(row));
        sheet.setText(row, 4, QString("=SUM($B$2:B%1)").arg(8 - row));
    }
    sheet.setText(7, 3, "=SUM($B$2:B6,$B$2:B6)"); // within one sum a range adds to what is there
    sheet.setText(7, 4, "=SUM($B$2:C6)");         // wider: a tally of its own
    sheet.setText(2, 2, "10");                    // one pass recomputes every sum
    QStringList sums;
    for (int row = 2; row <= 6; ++row)
        sums << sheet.text(row, 3) + "/" + sheet.text(row, 4);
    EXPECT_EQ((sums << sheet.text(7, 3) << sheet.text(7, 4)).join(' '),
              "10/28 13/22 17/17 22/13 28/10 56 118");
}

TEST(SheetTest, BatchRecomputesOnceInDependencyOrderAtItsEnd)
{
    Sheet sheet;
    SignalLog log(sheet);
    {
        Sheet::Batch outer(sheet);
        // A sum row above the data and a chain entered before its inputs.
        sheet.setText(1, 1, "=SUM(A2:A101)");
        sheet.setText(1, 2, "=A1*2");
        sheet.setText(1, 3, "=C1+1"); // reads itself
        {
            Sheet::Batch inner(sheet);
            for (int row = 2; row <= 101; ++row)
                sheet.setText(row, 1, QString::number(row));
        }
        EXPECT_TRUE(sheet.isUpdating());
        EXPECT_EQ(log.told, QStringList()) << "nothing before the outermost end";
    }
    EXPECT_FALSE(sheet.isUpdating());
    EXPECT_EQ(std::pair(rowTexts(sheet, 1, 3), log.told),
              std::pair(QString("5150|10300|#CIRC!"), QStringList({"extent", "cells A1:C101"})));
    log.told.clear();
    // Outside a batch every change recomputes at once.
    sheet.setText(2, 1, "0");
    EXPECT_EQ(std::pair(rowTexts(sheet, 1, 2), log.told),
              std::pair(QString("5148|10296"), QStringList({"cells A2", "cells A1", "cells B1"})));
    EXPECT_THROW(sheet.endUpdate(), std::logic_error);
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

// A prepared row written at once is what its cells written one by one are: on a row that holds
// nothing yet in a batch (laid out in one step; first column 1, or past a gap of eight or nine
// columns), on a row holding cells (a formula, a cell past the prepared ones), outside a batch.
// The same cells, formats, formulas and results, extent and signals, with formulas elsewhere
// reading the row and the row's formulas reading a row written after it.
TEST(SheetTest, AWrittenRowIsItsCellsWrittenOneByOne)
{
    // clang-format off
    const struct { const char* name; int col1; bool batch, occupied; } rowWrites[] = {
        {"EmptyRowInBatch", 1, true, false}, {"AfterAGapOfEight", 9, true, false}, {"AfterAGapOfNine", 10, true, false},
        {"OccupiedRowInBatch", 2, true, true}, {"OutsideBatch", 3, false, false}};
    // clang-format on
    for (const auto& c : rowWrites) {
        SCOPED_TRACE(c.name);
        CellFormat framed;
        framed.border.left = 1;
        framed.numberFormat = QStringLiteral("0.00");
        const QString first = columnName(c.col1);
        // A number and a text, an empty text (no content), an empty cell, formulas reading the
        // row's first cell and the row below's, a number.
        using K = PreparedCell::Kind;
        // clang-format off
        std::vector<PreparedCell> prepared{{K::Number, 0, 2, {}, {}, 0}, {K::Text, 0, 0, "a", {}, 0},
            {K::Text, 0, 0, {}, {}, 0}, {K::Empty, 0, 0, {}, {}, 0},
            {K::Formula, 0, 0, {}, formula::Formula::parse("=" + first + "3*10"), 3},
            {K::Formula, 0, 0, {}, formula::Formula::parse("=" + first + "4+1"), 3}, {K::Number, 0, 4, {}, {}, 0}};
        // clang-format on
        const int last = c.col1 + 10;
        // Writes rows 5 and 6 at once or cell by cell; gives the sheet's cells, extent and visits.
        const auto write = [&](Sheet& sheet, bool atOnce) {
            prepared[0].formatId = prepared[3].formatId = SheetBulkWriter(sheet).addFormat(framed);
            sheet.setText(1, 1, QStringLiteral("=SUM(A5:Z6)"));
            // Formulas reading only the row's last cell, and only its text.
            sheet.setText(2, 1, "=" + columnName(c.col1 + 6) + "5");
            sheet.setText(3, 1, "=" + columnName(c.col1 + 1) + "5");
            if (c.occupied) {
                sheet.setText(5, c.col1 + 4, QStringLiteral("=1+1"));
                sheet.setNumber(5, last, 9);
                sheet.setPlainText(6, c.col1 + 2, QStringLiteral("x"));
            }
            if (c.batch)
                sheet.beginUpdate();
            for (const int row : {5, 6}) {
                if (atOnce) {
                    SheetBulkWriter(sheet).writeRow(row, c.col1, prepared);
                    continue;
                }
                std::vector<int> ids;
                for (const PreparedCell& cell : prepared)
                    ids.push_back(cell.formatId);
                SheetBulkWriter(sheet).setFormatIds(row, c.col1, ids);
                for (int i = 0; i < int(prepared.size()); ++i) {
                    const PreparedCell& cell = prepared[size_t(i)];
                    if (cell.kind == PreparedCell::Kind::Number)
                        sheet.setNumber(row, c.col1 + i, cell.number);
                    else if (cell.kind == PreparedCell::Kind::Text)
                        sheet.setPlainText(row, c.col1 + i, cell.text);
                    else if (cell.kind == PreparedCell::Kind::Formula)
                        SheetBulkWriter(sheet).setFormulaCopy(row, c.col1 + i, cell.formula,
                                                              row - cell.formulaRow, 0);
                    else
                        sheet.clearCell(row, c.col1 + i);
                }
            }
            if (c.batch)
                sheet.endUpdate();
            sheet.setNumber(6, c.col1, 7); // read by row 5's formulas and the sum
            QStringList cells;
            for (int row = 1; row <= 7; ++row)
                for (int col = 1; col <= last + 1; ++col)
                    cells << rangeText({row, col, row, col}) + ' ' + sheet.text(row, col) + ' ' +
                                 sheet.formula(row, col) + ' ' + QString::number(sheet.formatId(row, col)) +
                                 (sheet.isEmpty(row, col) ? " empty" : "");
            cells << QStringLiteral("extent %1,%2").arg(sheet.lastRow()).arg(sheet.lastColumn());
            sheet.forEachCell(
                [&cells](int row, int col) { cells << QStringLiteral("visited %1,%2").arg(row).arg(col); });
            return cells;
        };
        Sheet written, oneByOne;
        const SignalLog writtenLog(written), oneByOneLog(oneByOne);
        EXPECT_EQ(write(written, true), write(oneByOne, false));
        EXPECT_EQ(writtenLog.told, oneByOneLog.told);
        EXPECT_EQ(QStringList({written.text(5, c.col1 + 4), written.text(5, c.col1 + 5),
                               written.text(6, c.col1), written.text(1, 1)}),
                  QStringList({"20", "8", "7.00", c.occupied ? "125" : "116"}));
    }
}

// A fill that recalculates after every block (or every few blocks) of a batch ends with what
// one recalculation at the batch's end gives, and with what recalculating after every write
// gives: formulas read their own block, the block above (ranges), the block below (written
// later), a cell read by every formula (kept apart once it has over 64 readers) that a later
// block writes again, a cell read only through ranges from far above, a circle across blocks, and a
// formula that a later block overwrites.
TEST(SheetTest, RecalculatingBlockwiseEndsAsOneRecalculationAtTheEnd)
{
    for (const int every : {1, 2, 3}) {
        SCOPED_TRACE(every);
        constexpr int Blocks = 8, BlockRows = 10;
        Sheet inBlocks, atEnd, each;
        auto fill = [&](Sheet& sheet, bool blockwise) {
            for (int block = 0; block < Blocks; ++block) {
                const int top = block * BlockRows;
                for (int r = top + 1; r <= top + BlockRows; ++r) {
                    sheet.setNumber(r, 1, r);
                    sheet.setText(r, 3, QStringLiteral("=A%1*2+$B$45").arg(r));
                    sheet.setText(r, 4,
                                  QStringLiteral("=SUM(A%1:C%2)").arg(std::max(1, r - BlockRows)).arg(r));
                    sheet.setText(r, 5, QStringLiteral("=C%1+1").arg(r + BlockRows));
                }
                if (block == 0)
                    sheet.setText(1, 7, QStringLiteral("=SUM(B41:B50)"));
                if (block == 1)
                    sheet.setText(15, 6, QStringLiteral("=F35"));
                if (block == 3)
                    sheet.setText(35, 6, QStringLiteral("=F15+1"));
                if (block == 4 || block == 6)
                    sheet.setNumber(45, 2, block);
                if (block == 6)
                    sheet.setNumber(48, 2, 100); // read only by ranges of blocks 4 and 5
                if (block == 5)
                    sheet.setNumber(5, 3, 1000); // block 0's formula becomes a constant
                if (blockwise && (block + 1) % every == 0)
                    SheetBulkWriter(sheet).recalculateWrittenRows();
            }
        };
        for (auto [sheet, blockwise] : {std::pair{&inBlocks, true}, std::pair{&atEnd, false}}) {
            Sheet::Batch batch(*sheet);
            fill(*sheet, blockwise);
        }
        fill(each, false);
        for (int row = 1; row <= Blocks * BlockRows + 1; ++row) {
            const QString expected = rowTexts(each, row, 7);
            EXPECT_EQ(rowTexts(inBlocks, row, 7), expected) << "row " << row;
            EXPECT_EQ(rowTexts(atEnd, row, 7), expected) << "row " << row;
        }
        EXPECT_EQ(QStringList({rowTexts(inBlocks, 5, 6), inBlocks.text(1, 7), inBlocks.text(35, 6),
                               inBlocks.text(80, 5)}),
                  QStringList({"5||1000|1059|37|", "106", inBlocks.text(15, 6), "1"}));
    }
}

// Rows keep bare cells to stay dense (stamped formats, a short gap, a cell cleared amid the
// row): whatever the gap before a cell (none, eight, nine columns), only cells with content
// or a format are visited, summed, counted and moved.
TEST(SheetTest, BareCellsKeptInARowReadAsNone)
{
    for (const int gap : {0, 8, 9}) {
        Sheet sheet;
        SheetBulkWriter writer(sheet);
        const int plain = writer.addFormat(CellFormat{});
        CellFormat framed;
        framed.border.left = 1;
        const int ids[] = {plain, writer.addFormat(framed), plain};
        writer.setFormatIds(1, 1, ids);
        const int far = 4 + gap;
        sheet.setNumber(1, 1, 1);
        sheet.setNumber(1, 3, 2);
        sheet.setNumber(1, far, 4);
        sheet.setNumber(1, far + 1, 8);
        sheet.clearCell(1, 3);
        writer.clearConstants(1, far + 1, far + 1);
        sheet.setText(2, 1, QStringLiteral("=SUM(A1:Z1)&\"/\"&COUNTA(A1:Z1)"));
        QStringList visited{sheet.text(2, 1)}; // the sum and the count, then the cells visited
        sheet.forEachCell([&](int row, int col) { visited << QStringLiteral("%1,%2").arg(row).arg(col); });
        EXPECT_EQ(visited, QStringList({"5/2", "1,1", "1,2", QStringLiteral("1,%1").arg(far), "2,1"})) << gap;
        sheet.insertColumns(2, 1);
        EXPECT_EQ(std::tuple(sheet.formatId(1, 3), sheet.isEmpty(1, 4), sheet.number(1, far + 1)),
                  std::tuple(ids[1], true, 4.0))
            << gap;
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

// Copied rows keep their constants and move their formulas as Formula::shiftedRows moves them:
// a block copied up over the rows above it, as a workbook's later worksheet takes it; a copy
// one lower, as under a caption row; rows deleted under a formula's references; a copy in place.
TEST(SheetTest, CopiedRowsMoveTheirFormulasAsInsertedOrDeletedRowsWould)
{
    Sheet from;
    from.setNumber(1, 1, 100);
    for (int row = 10; row <= 14; ++row) {
        from.setNumber(row, 1, row);
        from.setText(row, 2, "=A" + QString::number(row) + "*2");
        from.setText(row, 3, "=SUM(A10:A" + QString::number(row) + ")");
        from.setText(row, 4, "=A1+A" + QString::number(row));
        from.setText(row, 5, "=$A$12+A" + QString::number(row));
    }
    from.setText(11, 6, "=A13-A12");
    from.setText(12, 6, "=1+2");
    from.setText(13, 6, "=SUM(A5");
    from.setPlainText(14, 6, "x");
    from.setText(Sheet::MaxRows - 1, 1, "=A1048576+1");
    from.setText(Sheet::MaxRows - 1, 2, "=SUM(A1048575:A1048576)+A2");
    // rows copied, how far, where rows are inserted or deleted
    // clang-format off
    const struct { int row1, row2, delta, at; } copies[] = {
        {10, 14, -8, 2}, {1, Sheet::MaxRows, 1, 1}, {10, 14, -2, 11}, {1, 14, 0, 1}};
    // clang-format on
    for (const auto& c : copies) {
        SCOPED_TRACE(testing::Message() << c.row1 << ".." << c.row2 << " by " << c.delta << " at " << c.at);
        Sheet copied, typed;
        {
            Sheet::Batch batch(copied);
            copyRows(from, copied, c.row1, c.row2, c.delta, c.at);
        }
        from.forEachCell(c.row1, c.row2, [&](int r, int col) {
            const int row = r + c.delta;
            if (row > Sheet::MaxRows)
                return;
            QString f = from.formula(r, col);
            if (f.isEmpty())
                f = from.text(r, col);
            else if (c.delta != 0)
                f = formula::Formula::parse(f).shiftedRows(c.at, c.delta);
            typed.setText(row, col, f);
        });
        // Each cell of either sheet the same in the other.
        const auto same = [&](int row, int col) {
            EXPECT_EQ(QString(copied.formula(row, col) + "|" + copied.text(row, col)).toStdString(),
                      QString(typed.formula(row, col) + "|" + typed.text(row, col)).toStdString())
                << row << ", " << col;
        };
        copied.forEachCell(1, Sheet::MaxRows, same);
        typed.forEachCell(1, Sheet::MaxRows, same);
        EXPECT_EQ(extent(copied), extent(typed));
    }
}

// Rows keep their values when moved only while every formula in them reads their own rows
// through references that move: a row beyond either end, a "$" or a formula that cannot be read
// does not. Formulas in the rows around are not asked about.
TEST(SheetTest, MovedRowsKeepTheirValuesOnlyWhenTheirFormulasReadThemAlone)
{
    // clang-format off
    const struct { int row; const char* formula; bool kept; } cases[] = {
        {12, "=A10+A14", true}, {10, "=SUM(A10:B14)", true}, {14, "=1+2", true}, {12, "=A9", false},
        {10, "=SUM(A9:A10)", false}, {14, "=A15", false}, {12, "=SUM(A11:A15)", false}, {12, "=$A12", false},
        {12, "=SUM(A10", false}};
    // clang-format on
    for (const auto& c : cases) {
        Sheet sheet;
        sheet.setText(9, 1, "=A20");
        sheet.setText(15, 1, "=A1");
        sheet.setText(c.row, 3, c.formula);
        EXPECT_EQ(keepValuesWhenMoved(sheet, 10, 14), c.kept) << c.row << " " << c.formula;
    }
}

TEST(SheetTest, ChainsAndCyclesThroughRangesOnly)
{
    // Each row is one more than the larger of the two below it, to a constant at the bottom.
    Sheet sheet;
    constexpr int n = 3000;
    {
        Sheet::Batch batch(sheet);
        for (int r = 1; r < n; ++r)
            sheet.setText(r, 1, QStringLiteral("=MAX(A%1:A%2)+1").arg(r + 1).arg(r + 2));
        sheet.setText(n, 1, "0");
    }
    EXPECT_EQ(sheet.text(1, 1), QString::number(n - 1));
    sheet.setText(n, 1, "10");
    EXPECT_EQ(sheet.text(1, 1), QString::number(n + 9));

    // The bottom reads the top: every row lies on one cycle, and a cell reading it shows it.
    sheet.setText(n, 1, "=SUM(A1:A2)");
    sheet.setText(1, 2, "=SUM(A1:A3)+1");
    EXPECT_EQ(sheet.text(1, 1) + sheet.text(n / 2, 1) + sheet.text(n, 1) + sheet.text(1, 2),
              "#CIRC!#CIRC!#CIRC!#CIRC!");
    sheet.setText(n, 1, "1");
    EXPECT_EQ(sheet.text(1, 1) + "|" + sheet.text(1, 2),
              QString::number(n) + "|" + QString::number(3 * n - 2));

    // A cycle that closes only through a range over two columns, next to a formula that reads
    // a range holding the cycle's cells and is not on it.
    Sheet pair;
    pair.setText(1, 1, "=SUM(B1:C1)");
    pair.setText(1, 2, "=A1+1");
    pair.setText(2, 1, "=COUNT(A1:B1)");
    pair.setText(3, 1, "5");
    pair.setText(1, 3, "=A3");
    pair.setText(4, 1, "=SUM(A4:A5)"); // its own range's first cell
    EXPECT_EQ(rowTexts(pair, 1, 3) + "|" + pair.text(2, 1) + "|" + pair.text(4, 1),
              "#CIRC!|#CIRC!|5|0|#CIRC!");
    pair.setText(1, 2, "2");
    EXPECT_EQ(pair.text(1, 1) + "|" + pair.text(2, 1), "7|2");
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

// A sheet keeps each shared text, and each formula copied down a column, once for all the cells
// that hold it: cells sharing one must keep it whatever happens to the others.
TEST(CellStorage, CellsSharingATextKeepItAsOthersChangeAndGo)
{
    Sheet sheet;
    const QString sick = QStringLiteral("病假"); // one string, shared by every cell given it
    for (int row = 1; row <= 3; ++row) {
        for (int col = 1; col <= 4; ++col)
            sheet.setPlainText(row, col, sick);
        sheet.setText(row, 5, QStringLiteral("=D%1").arg(row)); // a text result, shared too
    }
    sheet.deleteColumns(2);
    sheet.clearCell(1, 1);
    sheet.setNumber(2, 1, 5);
    sheet.setPlainText(3, 2, QStringLiteral("x"));
    sheet.setLastRow(2);
    sheet.insertColumns(1);
    // New texts take the places the dropped ones gave back.
    for (int col = 1; col <= 5; ++col) {
        sheet.setPlainText(3, col, QStringLiteral("t%1").arg(col));
        sheet.setPlainText(4, col, sick);
    }
    sheet.setPlainText(4, 5, sheet.text(4, 5)); // a cell given its own text again
    const QString both = QStringLiteral("事假");
    sheet.setPlainText(5, 1, both);
    sheet.setPlainText(5, 2, both);
    sheet.clearCell(5, 1);
    sheet.setPlainText(5, 3, QStringLiteral("new"));
    EXPECT_EQ(allTexts(sheet), QStringLiteral("||病假|病假|病假\n"
                                              "|5|病假|病假|病假\n"
                                              "t1|t2|t3|t4|t5\n"
                                              "病假|病假|病假|病假|病假\n"
                                              "|事假|new||"));
}

TEST(CellStorage, FormulasCopiedDownKeepTheirShapeAsOthersAreReplacedAndCleared)
{
    Sheet sheet;
    for (int row = 1; row <= 4; ++row) {
        sheet.setNumber(row, 1, row);
        sheet.setText(row, 2, QStringLiteral("=A%1*10").arg(row)); // one shape for the column
    }
    sheet.setText(2, 2, QStringLiteral("=A2+1"));
    sheet.setText(3, 2, QStringLiteral("=A3+1"));
    sheet.setText(3, 2, QStringLiteral("=A3+1")); // the same formula again
    sheet.clearCell(1, 2);
    // A new formula takes the place a dropped one gave back; the last of the first shape stays.
    sheet.setText(1, 3, QStringLiteral("=A1&\"h\""));
    sheet.setText(2, 3, QStringLiteral("=A2&\"h\"&1")); // the one above, and more
    sheet.setText(5, 2, QStringLiteral("=A5*10"));
    sheet.setNumber(4, 1, 7);
    sheet.setText(6, 2, QStringLiteral("=A6:A6*10")); // below =A5*10, yet not that formula moved
    sheet.setNumber(3, 2, 9); // a number in a formula's place, which no longer reads A3
    const SignalLog log(sheet);
    sheet.setNumber(3, 1, 30);
    EXPECT_EQ(log.told, QStringList{"cells A3"});
    EXPECT_EQ(allTexts(sheet), QStringLiteral("1||1h\n2|3|2h1\n30|9|\n7|70|\n|0|\n|#VALUE!|"));
    EXPECT_EQ(std::pair(sheet.formula(6, 2), sheet.formula(3, 2)),
              std::pair(QString("=A6:A6*10"), QString()));
}
