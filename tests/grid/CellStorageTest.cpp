// A sheet keeps each shared text, and each formula copied down a column, once for all the cells
// that hold it: cells sharing one must keep it whatever happens to the others.
#include "grid/Sheet.h"

#include <QStringList>
#include <gtest/gtest.h>

using talor::grid::Sheet;

namespace {

QString allTexts(const Sheet& sheet)
{
    QStringList rows;
    for (int row = 1; row <= sheet.lastRow(); ++row) {
        QStringList cells;
        for (int col = 1; col <= sheet.lastColumn(); ++col)
            cells << sheet.text(row, col);
        rows << cells.join(u'|');
    }
    return rows.join(u'\n');
}

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
    sheet.setText(5, 2, QStringLiteral("=A5*10"));
    sheet.setNumber(4, 1, 7);
    sheet.setText(6, 2, QStringLiteral("=A6:A6*10")); // below =A5*10, yet not that formula moved
    EXPECT_EQ(allTexts(sheet), QStringLiteral("1||1h\n2|3|\n3|4|\n7|70|\n|0|\n|#VALUE!|"));
    EXPECT_EQ(sheet.formula(6, 2), QStringLiteral("=A6:A6*10"));
}

} // namespace
