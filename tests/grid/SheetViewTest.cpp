// The grid widget and its model, driven headlessly.
#include "grid/SheetView.h"

#include "grid/SheetModel.h"
#include "grid/SheetTableView.h"
#include "grid/Workbook.h"
#include "support/HeaderDrag.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
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
    // Selects rows row1..row2 of columns col1..col2 and presses `keys` in the grid.
    void pressOn(int row1, int col1, int row2, int col2, const QKeySequence& keys)
    {
        book.active().select(row1, col1, row2, col2);
        QApplication::processEvents();
        table()->setFocus();
        QTest::keySequence(table(), keys);
        QApplication::processEvents();
    }
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
    // Types `text` into an open editor and presses Enter; false when no editor opened.
    static bool enter(QLineEdit* editor, const QString& text)
    {
        if (!editor)
            return false;
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
        return true;
    }
};

} // namespace

TEST(SheetModelTest, PassesTheModelTesterThroughEveryKindOfChange)
{
    Workbook book;
    SheetModel model(&book);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Sheet& s = book.active();
    fill(book, 5, 4);
    // The counts of rows and columns along the way, checked at the end. Growth reaches the model
    // on the next turn of the event loop, in one step.
    QList<qsizetype> counts{model.rowCount()};
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy columnsInserted(&model, &QAbstractItemModel::columnsInserted);
    QSignalSpy columnsRemoved(&model, &QAbstractItemModel::columnsRemoved);
    QCoreApplication::processEvents();
    counts << inserted.count() << model.rowCount() << model.columnCount();
    ASSERT_EQ(columnsInserted.count(), 1);
    EXPECT_EQ(std::pair(columnsInserted[0][1].toInt(), columnsInserted[0][2].toInt()), std::pair(0, 3))
        << "the first and last column inserted";
    s.setColumnHeading(2, "姓名");
    EXPECT_EQ(QStringList({model.headerData(1, Qt::Horizontal).toString(),
                           model.headerData(2, Qt::Horizontal).toString(),
                           model.headerData(3, Qt::Vertical).toString()}),
              QStringList({"姓名", "C", "4"}));
    s.select("A1:B2");
    s.setPattern(1, 0x0000FF, 0);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::BackgroundRole).value<QBrush>(), QBrush(QColor(255, 0, 0)));
    s.setLastRow(3);
    s.setLastColumn(2);
    counts << model.rowCount() << model.columnCount();
    ASSERT_EQ(columnsRemoved.count(), 1);
    EXPECT_EQ(std::pair(columnsRemoved[0][1].toInt(), columnsRemoved[0][2].toInt()), std::pair(2, 3))
        << "the first and last column removed";
    s.insertColumns(1, 2);
    counts << model.columnCount();
    s.deleteColumns(1);
    book.addSheet("two");
    book.setActiveSheet(2);
    counts << model.rowCount();
    book.setActiveSheet(1);
    QTemporaryDir dir;
    book.write(dir.filePath("m.vts"), FileType::Template);
    book.clear();
    counts << model.rowCount();
    book.read(dir.filePath("m.vts"));
    counts << model.rowCount();
    book.active().clear();
    EXPECT_EQ(counts << model.rowCount(), QList<qsizetype>({0, 1, 5, 4, 3, 2, 4, 0, 0, 3, 0}));
}

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

// Without the permission no edit opens (the model then takes no edit at all). With it,
// typing starts an edit, Enter moves down, F2 edits and Esc leaves the cell as it was; a formula
// cell takes no typing (it recomputes from the typed cells) and Delete or Backspace clear the
// selected cells, formulas left alone. An entry is read as typed unless the owner's hook
// prefixes an apostrophe, in a frozen pane too.
TEST(SheetViewTest, InCellEditingFollowsThePermissionAndTheOwnersHook)
{
    ShownView v(5, 5);
    Sheet& sheet = v.book.active();
    sheet.setText(2, 5, "=B2+C2");
    EXPECT_EQ(v.edit(2, 2), nullptr) << "no permission, no editor";

    v.book.setAllowInCellEditing(true);
    EXPECT_EQ(v.edit(2, 5), nullptr) << "a formula cell opens no editor";
    v.pressOn(2, 2, 2, 2, QKeySequence(Qt::Key_7));
    auto* editor = v.table()->viewport()->findChild<QLineEdit*>();
    ASSERT_TRUE(v.enter(editor, editor ? editor->text() : QString()));
    QTest::keyClick(v.table(), Qt::Key_Return);
    QTest::keyClick(v.table(), Qt::Key_F2);
    editor = v.table()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("lost");
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(std::tuple(v.book.text(2, 2), v.book.text(4, 2), sheet.selection()),
              std::tuple(QString("7"), QString("402"), CellRange{4, 2, 4, 2}));

    v.pressOn(2, 2, 2, 5, QKeySequence(Qt::Key_Delete));
    v.pressOn(3, 3, 3, 3, QKeySequence(Qt::Key_Backspace));
    ASSERT_TRUE(v.enter(v.edit(1, 4), "2024-3-5"));
    QObject::connect(&v.view, &SheetView::editText, [](QString& text) { text.prepend(u'\''); });
    ASSERT_TRUE(v.enter(v.edit(3, 2), "12"));
    sheet.setFrozenColumns(2);
    QApplication::processEvents();
    ASSERT_TRUE(v.enter(v.edit(3, 1, v.table()->overlay(0)), "frozen"));
    EXPECT_EQ(std::tuple(QStringList({v.book.text(2, 2), v.book.text(2, 3), v.book.text(2, 4),
                                      sheet.formula(2, 5), v.book.text(3, 3), v.book.text(3, 4),
                                      v.book.text(1, 4), v.book.text(3, 2), v.book.text(3, 1)}),
                         sheet.isDate(1, 4), sheet.isNumber(3, 2), sheet.selection()),
              std::tuple(QStringList({"", "", "", "=B2+C2", "", "304", "2024-03-05", "12", "frozen"}), true,
                         false, CellRange{4, 1, 4, 1}));
}

// With frozen columns, Tab ending an edit in the pane opens the next cell's editor in the
// scrolling body, scrolled into sight beside the pane, and Shift+Tab from there opens the frozen
// cell's editor in the pane again; each entry lands in its own cell.
TEST(SheetViewTest, TabOpensTheNextEditorInTheViewThatShowsTheCell)
{
    ShownView v(3, 30);
    v.book.setAllowInCellEditing(true);
    v.book.active().setFrozenColumns(2);
    QApplication::processEvents();
    SheetTableView* t = v.table();
    QTableView* pane = t->overlay(0);
    t->horizontalScrollBar()->setValue(t->columnWidth(2) / 2);
    QLineEdit* editor = v.edit(1, 2, pane);
    // The view whose viewport holds the open editor, and whether the operator sees it there
    // (inside the viewport and, in the body, not under the pane).
    const auto editorShown = [&]() -> QString {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
        for (QTableView* view : {static_cast<QTableView*>(t), pane}) {
            editor = view->viewport()->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
            if (!editor)
                continue;
            QRect seen = view->viewport()->rect();
            if (view == t)
                seen.setLeft(pane->viewport()->width());
            return QString(view == t ? "body" : "pane") +
                   (seen.contains(editor->geometry()) ? "" : " unseen");
        }
        return QString("none");
    };
    QStringList shown{editorShown()};
    for (const auto& [text, key, modifier] :
         {std::tuple("8", Qt::Key_Tab, Qt::NoModifier), {"9", Qt::Key_Backtab, Qt::ShiftModifier}}) {
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, key, modifier);
        shown << editorShown();
    }
    // The owner's commit takes the entry, closes the editor and stays on its cell.
    editor->setText("7");
    v.view.commitEdit();
    shown << editorShown();
    EXPECT_EQ(std::tuple(shown, v.book.text(1, 2), v.book.text(1, 3), v.book.active().selection()),
              std::tuple(QStringList({"pane", "body", "pane", "none"}), QString("7"), QString("9"),
                         CellRange{1, 2, 1, 2}));
}

// Ctrl+C puts the selected rectangle on the clipboard as a spreadsheet does: tab-separated
// shown texts a row a line, and an HTML table that keeps numbers right-aligned and fills. Ctrl+V
// pastes it lower down cell for cell as it was: quotes, tabs and line breaks inside texts split
// no cell and go missing nowhere.
TEST(SheetViewTest, CopiedCellsGoOnTheClipboardAsTabsAndAnHtmlTableAndPasteAsTheyWere)
{
    ShownView v(7, 3);
    v.book.setAllowInCellEditing(true);
    const QStringList texts{"\"急\"加班", "a<b", "两行\n文字", "制表\t一", "说\"好\"",
                            "\"5寸屏",    "",    "\"",         "1.50"};
    Sheet& sheet = v.book.active();
    for (qsizetype i = 0; i < texts.size(); ++i)
        sheet.setPlainText(1 + int(i / 3), 1 + int(i % 3), texts[i]);
    sheet.setText(3, 3, "1.50");
    sheet.select(3, 3, 3, 3);
    sheet.setPattern(1, 0xFF0000, 0);
    v.pressOn(1, 1, 3, 3, QKeySequence::Copy);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(),
              "\"\"\"急\"\"加班\"\ta<b\t\"两行\n文字\"\n\"制表\t一\"\t\"说\"\"好\"\"\"\t\"\"\"5寸屏\"\n"
              "\t\"\"\"\"\t1.50\n");
    EXPECT_EQ(copied->html(),
              "<table><tr><td>&quot;急&quot;加班</td><td>a&lt;b</td><td>两行\n文字</td></tr>"
              "<tr><td>制表\t一</td><td>说&quot;好&quot;</td><td>&quot;5寸屏</td></tr><tr><td></td>"
              "<td>&quot;</td><td style=\"text-align:right;background:#0000ff;\">1.50</td></tr></table>");
    v.pressOn(5, 1, 5, 1, QKeySequence::Paste);
    QStringList pasted;
    for (int i = 0; i < 9; ++i)
        pasted << sheet.text(5 + i / 3, 1 + i % 3);
    EXPECT_EQ(pasted, texts);
    v.pressOn(1, 2, 1, 3, QKeySequence::Copy); // a row of two cells
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a<b\t\"两行\n文字\"\n");
}

// Ctrl+D fills each column's first selected cell down over the cells below it that may be
// edited, as typed again; formula cells are neither filled nor filled from, and without the
// permission to edit nothing changes.
TEST(SheetViewTest, CtrlDFillsTheFirstRowDownOverEditableCells)
{
    ShownView v(5, 5);
    Sheet& sheet = v.book.active();
    sheet.setText(2, 2, "0012");
    sheet.setText(2, 3, "1.50");
    sheet.setText(2, 4, "=B2&\"!\"");
    sheet.setText(3, 3, "=C2*2");
    sheet.setText(2, 5, "甲");
    // Without the permission, then with it: the cells below the first row, and whether B4 and C4
    // hold numbers (filled as typed, "0012" stays a text).
    using Filled = std::tuple<QStringList, bool, bool>;
    std::vector<Filled> filled;
    for (bool allowed : {false, true}) {
        v.book.setAllowInCellEditing(allowed);
        v.pressOn(2, 2, 4, 5, QKeySequence(Qt::CTRL | Qt::Key_D));
        filled.emplace_back(QStringList{sheet.text(3, 2), sheet.text(4, 2), sheet.text(4, 3),
                                        sheet.formula(3, 3), sheet.text(3, 4), sheet.text(4, 5),
                                        sheet.text(5, 2)},
                            sheet.isNumber(4, 2), sheet.isNumber(4, 3));
    }
    EXPECT_EQ(filled,
              (std::vector<Filled>{{{"302", "402", "403", "=C2*2", "304", "405", "502"}, true, true},
                                   {{"0012", "0012", "1.50", "=C2*2", "304", "甲", "502"}, false, true}}));
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

// Ctrl+V pastes from the selection's first cell on, each cell through the typed-text hook as if
// typed; formula cells and cells the book's permission leaves out keep what they hold, and are
// named. Delete leaves those cells alone too; Ctrl+Z and Ctrl+Y undo and redo them.
TEST(SheetViewTest, CtrlVPastesAsTypedAndNamesTheCellsLeftOut)
{
    ShownView v(4, 4);
    Sheet& sheet = v.book.active();
    sheet.setText(2, 3, "=B2*2");
    v.book.setAllowInCellEditing(true);
    v.book.setEditableCells([](int, int col) { return col != 4; });
    QObject::connect(&v.view, &SheetView::editText, [](QString& text) { text.prepend(u'\''); });
    QSignalSpy refused(&v.view, &SheetView::pasteRefused);
    QGuiApplication::clipboard()->setText("0012\t7\t8\n1.50\t\t9\t10\n");
    // Row 3 after each key over the block, and whether A3 holds a number. Ctrl+V pastes from the
    // block's first cell, each cell typed through the hook (kept as text). Shift+Delete clears
    // nothing (no step to undo); Delete leaves the cells the permission leaves out as well.
    // Ctrl+Z takes back the Delete, then the paste, each as one step, back to the cells as they
    // were, numbers as numbers; Ctrl+Y makes the paste again. Once editing is set anew, the
    // steps are gone.
    using Row = std::pair<QStringList, bool>;
    std::vector<Row> rows;
    const auto press = [&](const QKeySequence& keys) {
        v.pressOn(2, 1, 3, 4, keys);
        rows.emplace_back(QStringList{sheet.text(3, 1), sheet.text(3, 2), sheet.text(3, 3), sheet.text(3, 4)},
                          sheet.isNumber(3, 1));
    };
    for (const QKeySequence& keys :
         QList<QKeySequence>{QKeySequence::Paste, Qt::SHIFT | Qt::Key_Delete, Qt::Key_Delete,
                             QKeySequence::Undo, QKeySequence::Undo, QKeySequence::Redo})
        press(keys);
    v.book.setEditableCells([](int, int col) { return col != 4; });
    press(QKeySequence::Undo);
    const Row pasted{{"1.50", "", "9", "304"}, false};
    EXPECT_EQ(rows, (std::vector<Row>{pasted,
                                      pasted,
                                      {{"", "", "", "304"}, false},
                                      pasted,
                                      {{"301", "302", "303", "304"}, true},
                                      pasted,
                                      pasted}));
    // Row 2 as the paste, made again, left it; the cells it left out named once.
    EXPECT_EQ(
        std::tuple(QStringList({sheet.text(2, 1), sheet.text(2, 2), sheet.formula(2, 3)}),
                   QList<QVariantList>(refused)),
        std::tuple(QStringList({"0012", "7", "=B2*2"}), QList<QVariantList>({{QStringList({"C2", "D3"})}})));
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

// A text wider than its cell runs on over the empty cells to its right, with no grid line
// through it, as in a spreadsheet; a cell holding anything (even a blank) stops it, and so does
// the 16th cell after its own. Each cell it crosses paints its part, found past the empty ones.
TEST(SheetViewTest, ALongTextRunsOnOverEmptyNeighboursOnly)
{
    ShownView v(0, 0);
    const QString title = QStringLiteral("部门考勤月报二〇二六年十月全体员工出勤情况");
    v.book.setText(1, 1, title);
    v.book.setText(3, 1, title);
    v.book.setText(3, 2, " ");
    for (int col = 3; col <= 20; ++col)
        v.book.active().setColumnWidth(col, 15); // narrow: the view keeps a least width
    v.view.resize(900, 400);                     // all of them in sight
    v.book.setText(5, 3, QString(300, u'W'));
    v.book.setText(3, 20, title);
    v.book.setText(9, 2, "WWWW"); // a text that fits its cell but not the room inside its margins
    v.book.active().setColumnWidth(2, v.table()->fontMetrics().horizontalAdvance("WWWW") + 1);
    v.book.active().setNumber(7, 1, 123456789012.0, "0.00");
    v.book.active().setLastColumn(20);
    QApplication::processEvents();
    SheetTableView* t = v.table();
    const QImage image = t->viewport()->grab().toImage();
    const auto cell = [&](int row, int col) {
        return t->visualRect(t->model()->index(row - 1, col - 1));
    };
    const auto inked = [&](int row, int col) {
        const QRect area = cell(row, col);
        int dark = 0;
        for (int y = area.top() + 2; y < area.bottom() - 1; ++y)
            for (int x = area.left() + 2; x < area.right() - 1; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return dark > 0;
    };
    const auto gridLine = [&](int row, int col) {
        const QRect r = cell(row, col);
        int grey = 0;
        for (int y = r.top() + 1; y < r.bottom(); ++y)
            grey += image.pixel(r.right(), y) == qRgb(0xD4, 0xD4, 0xD4);
        return grey > r.height() / 2;
    };
    ASSERT_GT(t->fontMetrics().horizontalAdvance(title), cell(1, 1).width() + cell(1, 2).width());
    // The title runs on over B1, without the grid line between A1 and B1; B3 holds a blank, so
    // the title stops at A3, grid line drawn, and in the last column T3 it stops too; the text of
    // C5 paints E5 and S5, 16 cells on, not T5, grid line drawn after S5; a number runs on nowhere.
    EXPECT_EQ(
        QList<bool>({inked(1, 2), inked(2, 2), inked(3, 2), gridLine(1, 1), gridLine(3, 1), gridLine(3, 20),
                     inked(5, 5), inked(5, 19), inked(5, 20), gridLine(5, 19), inked(7, 2), gridLine(9, 2)}),
        QList<bool>({true, false, false, false, true, true, true, true, false, true, false, false}));
}
