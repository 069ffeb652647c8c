#include "report/frmMODEL.h"

#include "grid/SheetTableView.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::child;
using talor::test::FakeSuite;
using talor::test::ScriptedUi;

namespace {

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

class DesignerWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = u"夜班"_qs;
        suite.option = u"1"_qs;
        suite.fields = {{u"banci"_qs, {u"班次"_qs, u"S"_qs, {}, 3}},
                        {u"zhdate"_qs, {u"日期"_qs, u"T"_qs, {}, 0}}};
        suite.picker = {u"考勤项目"_qs, u"班次"_qs, u"上班时间"_qs};
        grid::Workbook t;
        t.active().setColumnHeading(1, u"日期"_qs);
        t.active().setColumnHeading(3, u"班次"_qs);
        t.active().setColumnHeading(4, u"ok"_qs);
        t.active().setLastColumn(4);
        t.active().setLastRow(3);
        t.active().setFrozenColumns(2);
        t.write(path(u"夜班1.vts"_qs), grid::FileType::Template);
        window = std::make_unique<frmMODEL>(suite, ui);
        sheet = &window->book().active();
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void command(int n) { window->command(n)->trigger(); }
    void click(int row, int col) { Q_EMIT window->F1Book1()->cellClicked(row, col); }
    void doubleClick(int row, int col)
    {
        sheet->setActiveCell(row, col);
        Q_EMIT window->F1Book1()->cellDoubleClicked(row, col);
        QApplication::processEvents();
    }
    QStringList fieldMap()
    {
        QApplication::processEvents();
        auto* map = child<QTableWidget>(*window, "FieldMap");
        QStringList out;
        for (int r = 0; r < map->rowCount(); ++r)
            out << map->item(r, 1)->text() + "=" + map->item(r, 2)->text();
        return out;
    }

    QTemporaryDir dir;
    FakeSuite suite;
    ScriptedUi ui;
    std::unique_ptr<frmMODEL> window;
    grid::Sheet* sheet = nullptr;
};

TEST_F(DesignerWindowTest, OpensTheReportsTemplateAndShowsTheFieldOfEachColumn)
{
    EXPECT_EQ(window->windowTitle(), u"模板设计：[夜班]"_qs);
    EXPECT_EQ(std::pair(sheet->columnHeading(3), sheet->frozenColumns()), std::pair(u"班次"_qs, 0));
    EXPECT_EQ(fieldMap(), (QStringList{u"日期=zhdate"_qs, u"="_qs, u"班次=banci"_qs}));

    // A mistyped label shows at once.
    sheet->setColumnHeading(3, u"班 次"_qs);
    EXPECT_EQ(fieldMap().last(), u"班 次=（无此字段）"_qs);
}

// The commands' refusals are shown; a removal shows in the field map at once.
TEST_F(DesignerWindowTest, InsertAndRemoveExplainTheirRefusals)
{
    command(2); // no design cell yet
    click(2, 4);
    command(3);
    EXPECT_EQ(ui.messageTexts(), (QStringList{u"请指定从哪列插入！"_qs, u"不能移除终止列！"_qs}));
    click(3, 3);
    command(3);
    EXPECT_EQ(std::pair(fieldMap(), ui.messages.size()),
              std::pair(QStringList{u"日期=zhdate"_qs, u"="_qs}, size_t(2)));
}

TEST_F(DesignerWindowTest, ThePickerWritesItsThreeTargetsRemembersTheOptionAndHidesOnTheSwitch)
{
    suite.setSetting(u"MODEL8"_qs, u"OPTION"_qs, u"2"_qs);
    QStringList seen;
    ui.dialogs.push_back(picker(0, 2, &seen)); // column heading: 上班时间
    doubleClick(2, 5);
    EXPECT_EQ(seen, (QStringList{u"指定项目[考勤项目]"_qs, u"2"_qs}));
    EXPECT_EQ(sheet->columnHeading(5), u"上班时间"_qs);

    ui.dialogs.push_back(picker(1, 1)); // the cell: 班次
    doubleClick(4, 3);
    EXPECT_EQ(sheet->text(4, 3), u"班次"_qs);
    EXPECT_EQ(suite.setting(u"MODEL8"_qs, u"OPTION"_qs), u"1"_qs);

    ui.dialogs.push_back(picker(3, 2)); // the row heading
    doubleClick(3, 1);
    EXPECT_EQ(sheet->rowHeading(3), u"上班时间"_qs);

    ui.dialogs.push_back([](QDialog& d) { // Enter on the empty entry removes the label
        child<QRadioButton>(d, "Option1")->click();
        auto* list = child<QListWidget>(d, "List1");
        list->setCurrentRow(0);
        QTest::keyClick(list, Qt::Key_Return);
        return d.result();
    });
    doubleClick(4, 3);
    EXPECT_TRUE(sheet->isEmpty(4, 3));
    EXPECT_EQ(ui.dialogsShown, QStringList(4, u"frmFIELD"_qs));
    EXPECT_FALSE(window->book().allowInCellEditing());

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
}

TEST_F(DesignerWindowTest, WhileEditingADoubleClickEditsTheCellWhereAFormulaMayBeTyped)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    sheet->setText(1, 2, u"4"_qs);
    command(4);
    doubleClick(1, 3);
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
    auto* editor = QApplication::focusWidget();
    auto* line = qobject_cast<QLineEdit*>(editor);
    ASSERT_NE(line, nullptr);
    line->setText(u"=B1*2"_qs);
    QTest::keyClick(line, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(sheet->formula(1, 3), u"=B1*2"_qs);
    EXPECT_EQ(sheet->text(1, 3), u"8"_qs);
}

TEST_F(DesignerWindowTest, OpenAndSaveGoThroughTheFileDialogsAndKeepTheFrozenCounts)
{
    // A file that is no template: a clear error, the designer as it was.
    test::putFile(path(u"bad.vts"_qs), "{\"format\": \"something else\"}");
    ui.files.push_back(path(u"bad.vts"_qs));
    command(1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.startsWith(u"模板文件无法打开"_qs));
    EXPECT_EQ(sheet->columnHeading(3), u"班次"_qs);
    EXPECT_EQ(ui.fileFilters + ui.fileDirectories + ui.filePresets,
              QStringList({u"VTS FILE(*.VTS)|*.VTS"_qs, dir.path() + u'/', path(u"夜班1.vts"_qs)}));

    // Cancelled open: nothing changes.
    ui.files.push_back(std::nullopt);
    command(1);
    EXPECT_EQ(window->designer().designFile(), QString());

    // Save: frozen columns back before the dialog, even when it is cancelled.
    command(4);
    ui.files.push_back(std::nullopt);
    command(5);
    EXPECT_EQ(std::pair(sheet->frozenColumns(), window->designer().editing()), std::pair(2, true));
    ui.files.push_back(path(u"夜班1.vts"_qs));
    command(5);
    EXPECT_FALSE(window->designer().editing());

    // A save that cannot be written says so.
    ui.files.push_back(path(u"missing/dir/x.vts"_qs));
    command(5);
    EXPECT_TRUE(ui.messages.back().text.startsWith(u"模板文件无法保存"_qs));
}

} // namespace
