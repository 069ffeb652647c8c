#include "report/TemplateDesigner.h"

#include "grid/Workbook.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

const QString MK = u"考勤日报"_qs;

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
        ASSERT_TRUE(dir.isValid());
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = u"夜班"_qs;
        suite.option = u"2"_qs;
        suite.fields = {{u"sbsj"_qs, {u"上班时间"_qs, u"Y"_qs, {}, 0}},
                        {u"banci"_qs, {u"班次"_qs, u"S"_qs, {}, 3}}};
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    // A heading-layout template: 工号, 姓名, 班次, 上班时间, 迟到, ok; 2 frozen columns, 1 row.
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
        t.write(path(name), grid::FileType::Template);
    }

    QTemporaryDir dir;
    FakeSuite suite;
    grid::Workbook book;
    TemplateDesigner designer{suite, book};
};

TEST_F(TemplateDesignerTest, WithoutATemplateStartsFromABlankOneOfTheKind)
{
    for (const auto& [option, first, second, title] :
         {std::tuple{"1", u"日期"_qs, QString(), u"个人一期"_qs},
          std::tuple{"2", u"工号"_qs, u"姓名"_qs, u"部门一天"_qs},
          std::tuple{"7", u"日期"_qs, QString(), u"个人一期"_qs}}) {
        suite.option = QString::fromLatin1(option);
        EXPECT_EQ(designer.load(), QString());
        EXPECT_EQ(headings(book.active(), 3), (QStringList{first, second, u"ok"_qs}));
        EXPECT_EQ(book.sheetName(1), title);
    }
}

TEST_F(TemplateDesignerTest, AnInvalidTemplateIsReportedAndLeavesTheDesignerAsItWas)
{
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

// From a design cell in each column (0: none), remove and then insert refuse the reserved
// columns and the terminator column, and otherwise move the headings by one.
TEST_F(TemplateDesignerTest, ColumnCommandsRefuseTheReservedAndTheTerminatorColumns)
{
    const struct
    {
        int column;
        const char *insertMessage, *removeMessage;
    } cases[] = {// clang-format off
        {0, "请指定从哪列插入！", "请指定移除哪列！"}, {1, "1,2列为保留列！", "1,2列为保留列！"},
        {2, "1,2列为保留列！", "1,2列为保留列！"}, {3, "", ""}, {5, "", ""}, {6, "", "不能移除终止列！"}, {7, "", ""}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        writeTemplate(u"夜班2.vts"_qs);
        TemplateDesigner fresh{suite, book};
        fresh.load();
        if (c.column > 0)
            fresh.cellClick(2, c.column);
        fresh.cellClick(0, 6); // a column heading and a row heading do not move the design cell
        fresh.cellClick(5, 0);
        QStringList expected = headings(book.active(), 7);
        EXPECT_EQ(fresh.removeColumn(), QString::fromUtf8(c.removeMessage));
        if (!*c.removeMessage) {
            expected.removeAt(c.column - 1);
            expected << QString();
        }
        EXPECT_EQ(headings(book.active(), 7), expected);
        EXPECT_EQ(fresh.insertColumn(), QString::fromUtf8(c.insertMessage));
        if (!*c.insertMessage) {
            expected.insert(c.column - 1, QString());
            expected.removeLast();
        }
        EXPECT_EQ(headings(book.active(), 7), expected);
        EXPECT_EQ(std::pair(fresh.designRow(), fresh.designColumn()),
                  c.column > 0 ? std::pair(2, c.column) : std::pair(0, 0));
    }
}

TEST_F(TemplateDesignerTest, InsertAndRemoveMoveWholeColumnsWithTheirFormulas)
{
    writeTemplate(u"夜班2.vts"_qs);
    designer.load();
    book.active().setText(2, 4, u"=C1*2"_qs);
    designer.cellClick(1, 3);
    ASSERT_EQ(designer.insertColumn(), QString());
    const grid::Sheet& sheet = book.active();
    EXPECT_EQ(QStringList({sheet.text(1, 4), sheet.formula(2, 5), sheet.text(2, 5)}),
              QStringList({u"3"_qs, u"=D1*2"_qs, u"6"_qs}));
    EXPECT_EQ(sheet.lastColumn(), 7);
    ASSERT_EQ(designer.removeColumn(), QString());
    EXPECT_EQ(std::pair(sheet.formula(2, 4), sheet.lastColumn()), std::pair(u"=C1*2"_qs, 6));

    // A sheet that uses its last column has no room for another.
    book.active().setText(1, grid::Sheet::MaxColumns, u"x"_qs);
    EXPECT_EQ(designer.insertColumn(), u"第256列已有内容，不能再插入列！"_qs);
    EXPECT_EQ(book.active().text(1, grid::Sheet::MaxColumns), u"x"_qs);
}

// The template is designed unfrozen, with editing off; saving freezes it again.
TEST_F(TemplateDesignerTest, SavingPutsTheFrozenCountsBackAndTheFileLaysOutAsDesigned)
{
    writeTemplate(u"夜班2.vts"_qs);
    book.setAllowInCellEditing(true);
    EXPECT_EQ(designer.load(), QString());
    EXPECT_EQ(std::tuple(book.active().frozenColumns(), book.active().frozenRows(), designer.editing()),
              std::tuple(0, 0, false));
    designer.startEditing();
    EXPECT_TRUE(designer.editing() && book.allowEditHeaders());

    designer.prepareSave();
    EXPECT_EQ(std::pair(book.active().frozenColumns(), book.active().frozenRows()), std::pair(2, 1));
    designer.save(u"  "_qs); // blank: nothing written
    EXPECT_FALSE(designer.editing());
    designer.save(u" "_qs + path(u"out.vts"_qs) + u" "_qs);

    grid::Workbook saved;
    saved.read(path(u"out.vts"_qs));
    EXPECT_EQ(std::pair(saved.active().frozenColumns(), saved.active().frozenRows()), std::pair(2, 1));
    EXPECT_EQ(headings(saved.active(), 6), headings(book.active(), 6));
}

TEST_F(TemplateDesignerTest, APickedNumberStaysALabel)
{
    writeTemplate(u"夜班2.vts"_qs);
    designer.load();
    book.active().setActiveCell(4, 5);
    designer.pick(u"1"_qs, PickTarget::Cell);
    EXPECT_TRUE(book.active().text(4, 5) == u"1"_qs && !book.active().isNumber(4, 5));
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
    const struct
    {
        int terminator, lastColumn, expected;
    } cases[] = {{100, 120, 99}, {101, 120, 100}, {0, 99, 99}, {0, 100, 100}, {0, 101, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.terminator * 1000 + c.lastColumn);
        for (int col = 99; col <= 101; ++col)
            sheet.setColumnHeading(col, col == c.terminator ? u"ok"_qs : QString());
        sheet.setLastColumn(c.lastColumn);
        const QList<DesignedColumn> columns = designer.designedColumns();
        EXPECT_EQ(std::pair(columns.size(), columns.value(columns.size() - 1).column),
                  std::pair(qsizetype(c.expected), c.expected));
    }
}

TEST_F(TemplateDesignerTest, PickerRemembersItsTargetAndTheHiddenSwitchNeedsTheCode)
{
    FieldPicker picker(suite);
    suite.picker = {u"考勤项目"_qs, u"班次"_qs, u"上班时间"_qs};
    for (const auto& [stored, target] :
         {std::pair{"2", PickTarget::ColumnHeading}, std::pair{"3", PickTarget::RowHeading},
          std::pair{"1", PickTarget::Cell}, std::pair{"9", PickTarget::Cell},
          std::pair{"", PickTarget::Cell}}) {
        suite.setSetting(u"MODEL8"_qs, u"OPTION"_qs, QString::fromLatin1(stored));
        EXPECT_EQ(picker.remembered(), target) << stored;
    }
    picker.remember(PickTarget::RowHeading);
    EXPECT_EQ(suite.setting(u"MODEL8"_qs, u"OPTION"_qs), u"3"_qs);

    EXPECT_TRUE(designer.pickerAllowed());
    suite.accessComparison = u"mave"_qs;
    EXPECT_FALSE(picker.hideForReport());
    EXPECT_TRUE(designer.pickerAllowed());
    suite.accessComparison = u"Mave"_qs;
    EXPECT_TRUE(picker.hideForReport());
    EXPECT_EQ(suite.setting(u"MODEL8"_qs, u"夜班FLD"_qs), u"NO"_qs);
    EXPECT_FALSE(designer.pickerAllowed());
    suite.reportKeyValue = MK; // another report keeps its picker
    EXPECT_TRUE(designer.pickerAllowed());
    designer.startEditing();
    EXPECT_FALSE(designer.pickerAllowed());
}

} // namespace
