#include "report/TemplateDesigner.h"

#include "grid/SheetTableView.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "report/frmMODEL.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/HeaderDrag.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::child;
using talor::test::FakeSuite;

namespace {

QStringList headings(const grid::Sheet& sheet, int count)
{
    QStringList out;
    for (int c = 1; c <= count; ++c)
        out << sheet.columnHeading(c);
    return out;
}

class TemplateDesignerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = u"夜班"_qs;
        suite.option = u"2"_qs;
        suite.fields = {{u"sbsj"_qs, {u"上班时间"_qs, u"Y"_qs, {}, 0}},
                        {u"banci"_qs, {u"班次"_qs, u"S"_qs, {}, 3}},
                        {u"zhdate"_qs, {u"日期"_qs, u"T"_qs, {}, 0}}};
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    // A heading-layout template: 工号, 姓名, 班次, 上班时间, 迟到, ok; 2 frozen columns, 1 row;
    // no row headings shown.
    void writeTemplate(const QString& name)
    {
        grid::Workbook t;
        t.setSheetName(1, u"夜班日报"_qs);
        const QStringList labels{u"工号"_qs, u"姓名"_qs, u"班次"_qs, u"上班时间"_qs, u"迟到"_qs, u"ok"_qs};
        for (int c = 1; c <= labels.size(); ++c)
            t.active().setColumnHeading(c, labels[c - 1]);
        t.active().setText(1, 3, u"=1+2"_qs);
        t.active().setLastColumn(6);
        t.active().setFrozenColumns(2);
        t.active().setFrozenRows(1);
        t.active().setShowRowHeadings(false);
        t.write(path(name), grid::FileType::Template);
    }

    QTemporaryDir dir;
    FakeSuite suite;
    grid::Workbook book;
    TemplateDesigner designer{suite, book};
};

TEST_F(TemplateDesignerTest, WithoutAValidTemplateStartsFromABlankOneOfTheKindOrStaysAsItWas)
{
    for (const auto& [option, first, second, title] :
         {std::tuple{"1", u"日期"_qs, QString(), u"个人一期"_qs},
          std::tuple{"2", u"工号"_qs, u"姓名"_qs, u"部门一天"_qs},
          std::tuple{"7", u"日期"_qs, QString(), u"个人一期"_qs}}) {
        suite.option = QString::fromLatin1(option);
        EXPECT_EQ(designer.load(), QString());
        EXPECT_EQ(std::tuple(headings(book.active(), 3), book.sheetName(1), book.active().lastColumn(),
                             designer.fileDialog().presetName),
                  std::tuple(QStringList{first, second, u"ok"_qs}, title, 3, QString()));
    }

    // An invalid template is reported and leaves the designer as it was.
    suite.option = u"2"_qs;
    test::putFile(path(u"夜班2.vts"_qs), "not a template");
    const QString error = designer.load();
    EXPECT_TRUE(error.contains(path(u"夜班2.vts"_qs))) << error.toStdString();
    EXPECT_EQ(headings(book.active(), 3), (QStringList{u"工号"_qs, u"姓名"_qs, u"ok"_qs}));

    writeTemplate(u"good.vts"_qs);
    designer.open(path(u"good.vts"_qs));
    designer.cellClick(1, 3);
    EXPECT_THROW(designer.open(path(u"夜班2.vts"_qs)), grid::GridFileError);
    EXPECT_EQ(
        std::tuple(designer.designFile(), book.active().columnHeading(4), designer.savedFrozenColumns()),
        std::tuple(path(u"good.vts"_qs), u"上班时间"_qs, 2));
}

// The template is designed unfrozen, with editing off, insert and remove moving whole columns
// with their formulas; saving freezes it again.
TEST_F(TemplateDesignerTest, ColumnsMoveWithTheirFormulasAndSavingPutsTheFrozenCountsBack)
{
    writeTemplate(u"夜班2.vts"_qs);
    book.setAllowInCellEditing(true);
    EXPECT_EQ(designer.load(), QString());
    EXPECT_EQ(std::tuple(book.active().frozenColumns(), book.active().frozenRows(), designer.editing(),
                         book.active().showRowHeadings()),
              std::tuple(0, 0, false, true));
    book.active().setText(2, 4, u"=C1*2"_qs);
    designer.cellClick(1, 3);
    ASSERT_EQ(designer.insertColumn(), QString());
    const grid::Sheet& sheet = book.active();
    EXPECT_EQ(QStringList({sheet.text(1, 4), sheet.formula(2, 5), sheet.text(2, 5),
                           QString::number(sheet.lastColumn())}),
              QStringList({u"3"_qs, u"=D1*2"_qs, u"6"_qs, u"7"_qs}));
    ASSERT_EQ(designer.removeColumn(), QString());
    EXPECT_EQ(std::pair(sheet.formula(2, 4), sheet.lastColumn()), std::pair(u"=C1*2"_qs, 6));
    // A sheet that uses its last column has no room for another.
    book.active().setText(1, grid::Sheet::MaxColumns, u"x"_qs);
    EXPECT_EQ(designer.insertColumn(), u"第256列已有内容，不能再插入列！"_qs);
    EXPECT_EQ(book.active().text(1, grid::Sheet::MaxColumns), u"x"_qs);

    designer.startEditing();
    EXPECT_EQ(std::pair(designer.editing(), book.allowEditHeaders()), std::pair(true, true));

    designer.prepareSave();
    designer.save(u"  "_qs); // blank: nothing written
    EXPECT_FALSE(designer.editing());
    designer.save(u" "_qs + path(u"out.vts"_qs) + u" "_qs);

    grid::Workbook saved;
    saved.read(path(u"out.vts"_qs));
    EXPECT_EQ(std::pair(saved.active().frozenColumns(), saved.active().frozenRows()), std::pair(2, 1));
    EXPECT_EQ(headings(saved.active(), 6), headings(book.active(), 6));
}

// Cell layout: the labels of row 4 (the heading layout is checked through the window's field
// map). The columns end before the "ok" column, at the used columns without one, and never
// after the 100th.
TEST_F(TemplateDesignerTest, DesignedColumnsOfTheCellLayoutReachTheHundredth)
{
    writeTemplate(u"夜班2.vts"_qs);
    designer.load();
    grid::Sheet& sheet = book.active();
    sheet.setColumnHeading(1, QString());
    sheet.setColumnHeading(6, QString());
    sheet.setText(4, 3, u"上班时间"_qs);
    suite.option = u"3"_qs;
    const QList<DesignedColumn> cells = designer.designedColumns();
    ASSERT_EQ(cells.size(), 6);
    EXPECT_EQ(std::pair(cells[0].label, cells[2].field), std::pair(QString(), u"sbsj"_qs));
    const std::array<int, 3> cases[] = {
        {100, 120, 99}, {101, 120, 100}, {0, 99, 99}, {0, 100, 100}, {0, 101, 100}};
    for (const auto& [terminator, lastColumn, expected] : cases) {
        SCOPED_TRACE(terminator * 1000 + lastColumn);
        for (int col = 99; col <= 101; ++col)
            sheet.setColumnHeading(col, col == terminator ? u"ok"_qs : QString());
        sheet.setLastColumn(lastColumn);
        const QList<DesignedColumn> columns = designer.designedColumns();
        EXPECT_EQ(std::pair(columns.size(), columns.value(columns.size() - 1).column),
                  std::pair(qsizetype(expected), expected));
    }
    suite.option = u"2"_qs; // kind 2: the layout captions columns 1 and 2
    EXPECT_EQ(designer.designedColumns().value(1).label, u"姓名"_qs);
}

// The picker as the operator uses it: the option to click (0: none), then a double-click on
// list entry `row`. `seen` receives the caption and the option checked on opening.
std::function<int(QDialog&)> picker(int option, int row, QStringList* seen = nullptr)
{
    return [=](QDialog& d) {
        if (seen) {
            *seen << d.windowTitle();
            for (int i = 1; i <= 3; ++i)
                if (child<QRadioButton>(d, ("Option" + std::to_string(i)).c_str())->isChecked())
                    *seen << QString::number(i);
        }
        if (option > 0)
            child<QRadioButton>(d, ("Option" + std::to_string(option)).c_str())->click();
        auto* list = child<QListWidget>(d, "List1");
        Q_EMIT list->itemDoubleClicked(list->item(row));
        return d.result();
    };
}

class DesignerWindowTest : public TemplateDesignerTest
{
protected:
    void SetUp() override
    {
        TemplateDesignerTest::SetUp();
        suite.option = u"1"_qs;
        suite.picker = {u"考勤项目"_qs, u"班次"_qs, u"上班时间"_qs};
        writeTemplate(u"夜班1.vts"_qs);
        window = std::make_unique<frmMODEL>(suite, ui);
        sheet = &window->book().active();
    }
    void command(int n) { window->command(n)->trigger(); }
    void click(int row, int col) { Q_EMIT window->F1Book1()->cellClicked(row, col); }
    void doubleClick(int row, int col)
    {
        sheet->setActiveCell(row, col);
        Q_EMIT window->F1Book1()->cellDoubleClicked(row, col);
        QApplication::processEvents();
    }
    // Saves through the file dialog as `name` and reads the file back.
    std::unique_ptr<grid::Workbook> saveAs(const QString& name)
    {
        ui.files.push_back(path(name));
        command(5);
        auto saved = std::make_unique<grid::Workbook>();
        saved->read(path(name));
        return saved;
    }

    test::ScriptedUi ui;
    std::unique_ptr<frmMODEL> window;
    grid::Sheet* sheet = nullptr;
};

TEST_F(DesignerWindowTest, ThePickerWritesItsThreeTargetsRemembersTheOptionAndHidesOnTheSwitchEditingDoesNot)
{
    suite.setSetting(u"MODEL8"_qs, u"OPTION"_qs, u"2"_qs);
    QStringList seen;
    ui.dialogs.push_back(picker(0, 2, &seen)); // column heading: 上班时间
    doubleClick(2, 5);
    EXPECT_EQ(seen << sheet->columnHeading(5),
              (QStringList{u"指定项目[考勤项目]"_qs, u"2"_qs, u"上班时间"_qs}));

    ui.dialogs.push_back(picker(1, 1)); // the cell: 班次
    doubleClick(4, 3);
    EXPECT_EQ(std::pair(sheet->text(4, 3), suite.setting(u"MODEL8"_qs, u"OPTION"_qs)),
              std::pair(u"班次"_qs, u"1"_qs));

    ui.dialogs.push_back(picker(3, 2)); // the row heading, by the keyboard's F4 on the cell
    window->show();
    QApplication::setActiveWindow(window.get());
    sheet->setActiveCell(3, 1);
    QTest::keyClick(window->F1Book1()->table(), Qt::Key_F4);
    EXPECT_EQ(sheet->rowHeading(3), u"上班时间"_qs);

    ui.dialogs.push_back([](QDialog& d) { // Enter on the empty entry removes the label
        child<QRadioButton>(d, "Option1")->click();
        auto* list = child<QListWidget>(d, "List1");
        list->setCurrentRow(-1);
        QTest::keyClick(list, Qt::Key_Return); // nothing current: nothing chosen
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Enter); // the keypad's Enter as well
        return d.result();
    });
    doubleClick(4, 3);
    EXPECT_EQ(std::tuple(sheet->isEmpty(4, 3), ui.dialogsShown, window->book().allowInCellEditing()),
              std::tuple(true, QStringList(4, u"frmFIELD"_qs), false));

    // The hidden switch (a double click on the picture) stops the picker for the report.
    suite.accessComparison = u"Mave"_qs;
    ui.dialogs.push_back([](QDialog& d) {
        QTest::mouseDClick(child<QWidget>(d, "Image1"), Qt::LeftButton);
        d.reject();
        return 0;
    });
    doubleClick(2, 3);
    EXPECT_EQ(suite.setting(u"MODEL8"_qs, u"夜班FLD"_qs), u"NO"_qs);
    doubleClick(2, 3);
    EXPECT_EQ(ui.dialogsShown.size(), 5);

    // While editing, a double-click edits the cell, where a formula may be typed.
    sheet->setText(2, 2, u"4"_qs);
    command(4);
    doubleClick(2, 3);
    auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(line, nullptr);
    line->setText(u"=B2*2"_qs);
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(std::pair(sheet->formula(2, 3), sheet->text(2, 3)), std::pair(u"=B2*2"_qs, u"8"_qs));
}

// What the keyboard does counts as what the mouse does: a cell still in its editor is saved
// with the template (and stays in the grid), and remove acts on the column the cursor was
// moved to after a click elsewhere. A column widened on the heading is saved too.
TEST_F(DesignerWindowTest, TheKeyboardsCellAndAWidenedColumnAreSavedAndDesigned)
{
    window->show();
    sheet->setLastRow(5);
    command(4);
    doubleClick(2, 4);
    auto* editor = window->F1Book1()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->isVisible());
    editor->setText(u"迟到"_qs);
    const auto saved = saveAs(u"typed.vts"_qs);
    EXPECT_EQ(std::pair(saved->active().text(2, 4), sheet->text(2, 4)), std::pair(u"迟到"_qs, u"迟到"_qs));

    auto* table = window->F1Book1()->table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(1, 4)).center());
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(table, Qt::Key_Left);
    command(3);
    EXPECT_EQ(std::pair(sheet->columnHeading(3), sheet->columnHeading(4)),
              std::pair(u"上班时间"_qs, u"迟到"_qs));

    // A column widened on the heading keeps its width in the saved template.
    QApplication::processEvents();
    test::dragColumnEdge(*window->F1Book1()->table()->horizontalHeader(), 3, 136);
    ui.answers = {UiService::Answer::Cancel};
    window->reject(); // a changed design: asked before it is dropped
    const auto wide = saveAs(u"wide.vts"_qs);
    QList<int> widths;
    for (int c = 1; c <= 6; ++c)
        widths << wide->active().columnWidth(c);
    EXPECT_EQ(widths, (QList<int>{64, 64, 64, 200, 64, 64}));

    // Saved as "other" (the suffix added after the dialog) where other.vts is: asked first, and
    // No keeps that file.
    test::putFile(path(u"other.vts"_qs), "theirs");
    ui.answers = {UiService::Answer::No};
    ui.files.push_back(path(u"other"_qs));
    command(5);
    EXPECT_EQ(std::tuple(ui.messages.size(), ui.messageTexts().join(u'|').contains(u"已存在"_qs),
                         test::fileBytes(path(u"other.vts"_qs))),
              std::tuple(size_t(2), true, QByteArray("theirs")));
}

} // namespace
