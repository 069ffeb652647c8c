// Recalculation of formulas whose ranges read other formulas: running totals over a computed
// column and chains and cycles that pass through ranges only.
#include "grid/Sheet.h"
#include "grid/VtsFile.h"
#include "grid/Workbook.h"
#include "support/ErrorText.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using talor::grid::Sheet;
using talor::grid::Workbook;

namespace {

constexpr int LastRow = 40;

// Every cell's text, row by row: what an operator sees of the sheet.
QString allTexts(const Sheet& sheet, int columns)
{
    QStringList rows;
    for (int row = 1; row <= LastRow; ++row) {
        QStringList cells;
        for (int col = 1; col <= columns; ++col)
            cells << sheet.text(row, col);
        rows << cells.join(u'|');
    }
    return rows.join(u'\n');
}

// The same contents typed into a new sheet one cell at a time, formulas last and top to
// bottom: each formula is then computed on its own, reading every cell of its ranges afresh.
QString typedAfresh(const Sheet& sheet, int columns)
{
    Sheet fresh;
    for (const bool formulas : {false, true})
        for (int row = 1; row <= LastRow; ++row)
            for (int col = 1; col <= columns; ++col) {
                const QString formula = sheet.formula(row, col);
                if (formulas != formula.isEmpty() && !sheet.isEmpty(row, col))
                    fresh.setText(row, col, formulas ? formula : sheet.text(row, col));
            }
    return allTexts(fresh, columns);
}

// A1 a rate, B hours, C = $A$1 * B, and in D..K each aggregate kept as a running total of C,
// one over B:C (two columns) and one whose ranges shrink down the rows.
TEST(RecalcTest, RunningTotalsOverAComputedColumnFollowEveryEdit)
{
    constexpr int Columns = 11;
    Sheet sheet;
    {
        Sheet::Batch batch(sheet);
        sheet.setText(1, 1, "2");
        for (int r = 2; r <= LastRow; ++r) {
            const QString row = QString::number(r);
            sheet.setText(r, 2, QString::number(r % 5 + 0.25));
            sheet.setText(r, 3, "=$A$1*B" + row);
            for (const auto& [col, function] :
                 {std::pair{4, "SUM"}, {5, "COUNT"}, {6, "COUNTA"}, {7, "AVERAGE"}, {8, "MIN"}, {9, "MAX"}})
                sheet.setText(r, col, QStringLiteral("=%1($C$2:C%2)").arg(function, row));
            sheet.setText(r, 10, "=SUM($B$2:C" + row + ")");
            sheet.setText(r, 11, QStringLiteral("=SUM($C$2:C%1)").arg(LastRow + 2 - r));
        }
    }
    ASSERT_EQ(sheet.text(LastRow, 4), "177.5"); // 2 x the hours 2.25, 3.25, 4.25, 0.25, 1.25, ...

    // Each step: a cell and what is typed there.
    const struct
    {
        int row, col;
        const char* text;
    } edits[] = {
        {1, 1, "3"},             // a new rate
        {5, 2, "x"},             // a text inside the totals
        {7, 2, "=1/0"},          // an error inside them
        {1, 1, "-1"},            // a new rate past the error
        {7, 2, ""},              // the error cleared
        {2, 2, "7"},             // the first row of every range
        {LastRow, 3, "=A1+B40"}, // the last total reads the rate otherwise
        {1, 1, "4"},
    };
    for (const auto& edit : edits) {
        sheet.setText(edit.row, edit.col, QString::fromLatin1(edit.text));
        ASSERT_EQ(allTexts(sheet, Columns).toStdString(), typedAfresh(sheet, Columns).toStdString())
            << "after " << edit.text << " in row " << edit.row << ", column " << edit.col;
    }
}

TEST(RecalcTest, ChainsAndCyclesThroughRangesOnly)
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
    EXPECT_EQ(pair.text(1, 1) + "|" + pair.text(1, 2) + "|" + pair.text(2, 1) + "|" + pair.text(1, 3),
              "#CIRC!|#CIRC!|0|5");
    pair.setText(1, 2, "2");
    EXPECT_EQ(pair.text(1, 1) + "|" + pair.text(2, 1), "7|2");
}

// A template whose formulas would read more cells than a template may ask for is refused
// with a message saying so; within the limit it loads with every result computed.
TEST(RecalcTest, ATemplateMayAskForSoMuchWorkOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sums.vts");
    Workbook book;
    for (int r = 1; r <= 100; ++r) {
        book.active().setText(r, 1, QString::number(r));
        // Each sum starts on another row: 100 + 99 + ... + 1 = 5,050 cells read.
        book.active().setText(r, 2, QStringLiteral("=SUM(A%1:A100)").arg(r));
    }
    book.write(path, talor::grid::FileType::Template);

    talor::grid::VtsLimits limits;
    limits.formulaReads = 5050;
    EXPECT_EQ(talor::grid::VtsFile::read(path, limits).sheets.front()->text(1, 2), "5050");
    limits.formulaReads = 5049;
    EXPECT_TRUE(talor::test::containsAll(
        talor::test::errorText<talor::grid::GridFileError>([&] { talor::grid::VtsFile::read(path, limits); }),
        {path, "read more than 5049 cells"}));
}

} // namespace
