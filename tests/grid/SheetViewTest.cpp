// The grid widget and its model, driven headlessly.
#include "grid/SheetView.h"

#include "grid/SheetModel.h"
#include "grid/SheetTableView.h"
#include "grid/Workbook.h"
#include "support/HeaderDrag.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor::grid;

namespace {

void fill(Workbook& book, int rows, int cols)
{
    Sheet& s = book.active();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            s.setText(r, c, QString::number(r * 100 + c));
}

struct ShownView
{
    Workbook book;
    SheetView view;
    ShownView(int rows, int cols)
    {
        fill(book, rows, cols);
        view.setWorkbook(&book);
        view.resize(600, 400);
        view.show();
        QApplication::processEvents();
    }
    SheetTableView* table() { return view.table(); }
    QPoint centre(int row, int col, QTableView* pane = nullptr)
    {
        return (pane ? pane : table())->visualRect(table()->model()->index(row - 1, col - 1)).center();
    }
    // Starts editing (row, col) with the view's own edit command; the editor opens in `pane`.
    QLineEdit* edit(int row, int col, QTableView* pane = nullptr)
    {
        book.active().setActiveCell(row, col);
        view.startEdit();
        QApplication::processEvents();
        return (pane ? pane : table())->viewport()->findChild<QLineEdit*>();
    }
};

} // namespace

TEST(SheetModelTest, ChangesOneCellWithOneDataChanged)
{
    Workbook book;
    fill(book, 3, 10); // more columns than rows
    SheetModel model(&book);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    book.setSheetName(1, "日报"); // a rename changes no cell
    book.setText(2, 7, "x");
    ASSERT_EQ(std::pair(changed.count(), reset.count()), std::pair(qsizetype(1), qsizetype(0)));
    EXPECT_EQ(std::tuple(changed.at(0).at(0), changed.at(0).at(1), model.data(model.index(1, 6)).toString()),
              std::tuple(QVariant(model.index(1, 6)), QVariant(model.index(1, 6)), QString("x")));
    // An edit left unchanged keeps each cell as it was: texts, formulas, full numbers, empty; a
    // plain text is edited as it is shown.
    for (const auto& [col, text] : {std::pair(1, "'12"), {2, "=1+1"}, {4, "''x"}, {5, ""}, {6, "ab"}})
        book.setText(1, col, text);
    book.active().setNumber(1, 3, 3.14159, "0.00");
    QStringList edited;
    for (int col = 0; col < 6; ++col)
        edited << model.data(model.index(0, col), Qt::EditRole).toString();
    EXPECT_EQ(edited.join(u'|'), "'12|=1+1|3.14159|''x||ab");
}

TEST(SheetViewTest, FrozenColumnsStayVisibleAfterScrollingAndHeadingsFollow)
{
    ShownView v(200, 70);
    v.book.active().setFrozenColumns(2);
    v.book.active().setFrozenRows(1);
    QApplication::processEvents();
    SheetTableView* t = v.table();
    QTableView* frozenCols = t->overlay(0);
    QTableView* frozenRows = t->overlay(1);
    ASSERT_TRUE(frozenCols->isVisible() && frozenRows->isVisible());
    EXPECT_EQ(frozenCols->width(), t->verticalHeader()->width() + t->columnWidth(0) + t->columnWidth(1));

    t->horizontalScrollBar()->setValue(t->horizontalScrollBar()->maximum());
    t->verticalScrollBar()->setValue(t->verticalScrollBar()->maximum());
    QApplication::processEvents();
    // The body scrolled sideways; the frozen columns did not (they still show column A) but follow
    // the body up and down; the frozen row follows the body sideways only.
    EXPECT_EQ(std::tuple(t->horizontalScrollBar()->value() > 0, frozenCols->horizontalScrollBar()->value(),
                         frozenCols->indexAt(QPoint(5, frozenCols->viewport()->height() / 2)).column(),
                         frozenCols->verticalScrollBar()->value(), frozenRows->verticalScrollBar()->value(),
                         frozenRows->horizontalScrollBar()->value()),
              std::tuple(true, 0, 0, t->verticalScrollBar()->value(), 0, t->horizontalScrollBar()->value()));
    // The first row below the frozen one, made current, comes into sight just below it.
    t->setCurrentIndex(t->model()->index(1, 5));
    EXPECT_EQ(t->verticalScrollBar()->value(), 0);

    // Unfreezing hides the panes; headings and widths follow the sheet too.
    v.book.active().setFrozenColumns(0);
    v.book.active().setFrozenRows(0);
    v.book.active().setShowRowHeadings(false);
    QApplication::processEvents();
    const bool columnHeadings = t->horizontalHeader()->isVisible();
    v.book.active().setShowColumnHeadings(false);
    v.book.active().setColumnWidth(2, 150);
    EXPECT_EQ(std::tuple(frozenCols->isVisible() || frozenRows->isVisible(), t->verticalHeader()->isVisible(),
                         columnHeadings, t->horizontalHeader()->isVisible(), t->columnWidth(1)),
              std::tuple(false, false, true, false, 150));
}

// A column the operator resizes on the heading, a frozen one included, has that width in the
// sheet, and so in a saved template, a print and an export.
TEST(SheetViewTest, AColumnResizedOnTheHeadingTakesThatWidthInTheSheet)
{
    ShownView v(3, 4);
    v.book.active().setFrozenColumns(1);
    QApplication::processEvents();
    talor::test::dragColumnEdge(*v.table()->overlay(0)->horizontalHeader(), 0, 36);
    talor::test::dragColumnEdge(*v.table()->horizontalHeader(), 2, 136);
    // A column added later takes its width from the sheet; one too narrow for the view stays so there.
    v.book.active().setColumnWidth(5, 15);
    v.book.setText(1, 5, "x");
    QApplication::processEvents();
    QList<int> widths;
    for (int c = 1; c <= 5; ++c)
        widths << v.book.active().columnWidth(c) << v.table()->columnWidth(c - 1);
    EXPECT_EQ(widths, (QList<int>{100, 100, 64, 64, 200, 200, 64, 64, 15,
                                  v.table()->horizontalHeader()->minimumSectionSize()}));
}

// A spreadsheet's tab-separated text: quoted cells hold tabs, line breaks and doubled quotes;
// a leading quote not closed before a tab, a line end or the end is the cell's own text; the
// line break at the end ends no row; Windows line ends count as one.
TEST(SheetViewTest, CellsOfASpreadsheetsText)
{
    const std::vector<std::pair<QString, QList<QStringList>>> cases{
        {"a\tb\nc\td\n", {{"a", "b"}, {"c", "d"}}},
        {"a\tb\r\nc\t\r\n", {{"a", "b"}, {"c", ""}}},
        {"\"x\ty\"\t\"say \"\"hi\"\"\"\n\"1\n2\"", {{"x\ty", "say \"hi\""}, {"1\n2"}}},
        {"5\"\t", {{"5\"", ""}}},
        {"\"5寸\t7\n8\t9\n", {{"\"5寸", "7"}, {"8", "9"}}},
        {"\"急\"加班\t\"\"\t\"\"\"\"\t\"a\"\"\n", {{"\"急\"加班", "", "\"", "\"a\"\""}}},
        {"", {}},
    };
    for (const auto& [text, cells] : cases)
        EXPECT_EQ(SheetTableView::cellsOfText(text), cells) << text.toStdString();
}

TEST(SheetViewTest, ClicksAndSelectionGiveOneBasedRowsAndColumns)
{
    ShownView v(20, 10);
    QSignalSpy clicked(&v.view, &SheetView::cellClicked);
    QSignalSpy doubleClicked(&v.view, &SheetView::cellDoubleClicked);
    QSignalSpy selection(&v.view, &SheetView::selectionChanged);
    QSignalSpy mouse(&v.view, &SheetView::mouseButton);
    QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, {}, v.centre(3, 4));
    EXPECT_EQ(std::tuple(selection.count() > 0, v.book.active().selection(), mouse.value(0).value(0)),
              std::tuple(true, CellRange{3, 4, 3, 4}, QVariant(1)));
    // A block selected from either corner.
    QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, Qt::ShiftModifier, v.centre(5, 2));
    const CellRange down = v.book.active().selection();
    QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, {}, v.centre(5, 4));
    QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, Qt::ShiftModifier, v.centre(3, 2));
    EXPECT_EQ(std::pair(down, v.book.active().selection()),
              std::pair(CellRange{3, 2, 5, 4}, CellRange{3, 2, 5, 4}));

    // A double-click comes after the press of its first click, as from a real mouse.
    QTest::mouseClick(v.table()->viewport(), Qt::LeftButton, {}, v.centre(5, 2));
    QTest::mouseDClick(v.table()->viewport(), Qt::LeftButton, {}, v.centre(5, 2));
    EXPECT_EQ(QList<QVariantList>(doubleClicked), QList<QVariantList>({{5, 2}}));

    // A selection made by code shows in the view but is not reported as the operator's.
    selection.clear();
    v.book.active().select("$A$5:$C$5");
    v.book.active().select("$A$7:$Z$99"); // past the last row and column too
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(selection.count(), v.table()->selectionModel()->selectedIndexes().size(),
                         v.table()->selectionModel()->currentIndex()),
              std::tuple(0, 14 * 10, v.table()->model()->index(6, 0)));

    // Buttons come with their modifiers and the place in the view, from the body and each frozen
    // pane alike; a button of no code is not reported. Every left click was reported as a click.
    v.book.active().setFrozenRows(2);
    v.book.active().setFrozenColumns(2);
    QApplication::processEvents();
    mouse.clear();
    QTest::mouseClick(v.table()->viewport(), Qt::RightButton, Qt::ShiftModifier, v.centre(5, 5));
    QTest::mouseClick(v.table()->viewport(), Qt::MiddleButton, Qt::ControlModifier | Qt::AltModifier,
                      v.centre(5, 5));
    QTest::mouseClick(v.table()->viewport(), Qt::XButton1, {}, v.centre(5, 5));
    for (const auto& [pane, row, col] : {std::tuple(0, 4, 2), {1, 2, 4}, {2, 2, 2}})
        QTest::mouseClick(v.table()->overlay(pane)->viewport(), Qt::LeftButton, {},
                          v.centre(row, col, v.table()->overlay(pane)));
    const QPoint at = v.table()->viewport()->mapTo(&v.view, v.centre(5, 5));
    EXPECT_EQ(
        std::tuple(QList<QVariantList>(clicked), QList<QVariantList>(mouse).mid(0, 2), mouse.count()),
        std::tuple(QList<QVariantList>({{3, 4}, {5, 2}, {5, 4}, {3, 2}, {5, 2}, {4, 2}, {2, 4}, {2, 2}}),
                   QList<QVariantList>({{2, 1, at.x(), at.y()}, {4, 6, at.x(), at.y()}}), qsizetype(5)));
}
