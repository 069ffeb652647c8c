#include "report/ReportLayout.h"

#include "grid/Workbook.h"
#include "sheet/ColumnFields.h"
#include "sheet/RecordDisplay.h"
#include "sheet/TemplatePattern.h"
#include "support/FakeSuite.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

struct RecordingView : LayoutView
{
    QString labels[3];
    std::optional<bool> heading;
    QDate picker;
    QStringList messages;
    void setLabel(int number, const QString& text) override { labels[number - 1] = text; }
    void setHeadingLayout(bool on) override { heading = on; }
    void setPickerDate(const QDate& date) override { picker = date; }
    void showStatus(const QString& text) override { messages << text; }
};

// A template: heading-layout labels in the headings, or cell-layout labels in row 4.
struct TemplateShape
{
    bool headingLayout = false;
    QStringList labels;
    int frozen = 1;
};

class LayoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.templateDir = suite.settingsDir = dir.path();
        suite.reportKeyValue = "R";
        suite.date = QDate(2008, 12, 5);
        std::tie(suite.start, suite.end, suite.department, suite.group, suite.person, suite.number) =
            std::tuple("2008-12-01", "2008-12-31", "生产部", "一组", "张三", "0012");
        suite.fields.insert("zhdate", {"日期", "I", "", 0});
        for (const QString label : {"上班", "下班", "工号", "姓名", "迟到"})
            suite.fields.insert("f_" + label, {label, "I", "", 0});
    }
    void writeTemplate(int kind, const TemplateShape& shape, const QString& path = {})
    {
        grid::Workbook book;
        grid::Sheet& sheet = book.sheet(1);
        book.setSheetName(1, QStringLiteral("标题%1").arg(kind));
        for (int c = 1; c <= shape.labels.size(); ++c) {
            if (shape.headingLayout)
                sheet.setColumnHeading(c, shape.labels[c - 1]);
            else
                sheet.setPlainText(4, c, shape.labels[c - 1]);
        }
        sheet.setColumnHeading(int(shape.labels.size()) + 1, "ok");
        sheet.setFrozenColumns(shape.frozen);
        // A kind-3 block: day rows framed, a sum-row formula.
        sheet.select(5, 1, 36, int(shape.labels.size()));
        sheet.setBorder(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0);
        sheet.setText(36, 3, "=SUM(C5:C35)");
        sheet.setText(5, 3, "=A5+1");
        book.write(path.isEmpty() ? dir.filePath(QStringLiteral("R%1.vts").arg(kind)) : path,
                   grid::FileType::Template);
    }
    // A layout on fresh column fields.
    void layout() { ReportLayout({suite, state, columns = {}, patterns, book}).LayoutReport(view); }

    QTemporaryDir dir;
    FakeSuite suite;
    SheetState state;
    ColumnFields columns;
    ReportPatterns patterns;
    grid::Workbook book;
    RecordingView view;
};

// Each kind and layout: the columns' extent, the frozen columns shown and the fields, the
// labels. Labels and fields are lists separated by blanks ("-" for an empty field).
TEST_F(LayoutTest, ColumnsExtentFrozenColumnsAndLabels)
{
    // The template has one frozen column; "fix" is the setting of the frozen columns.
    // clang-format off
    const struct { const char* option; bool headingLayout; const char *labels, *fix; int lastRow, lastColumn, frozenShown;
                   const char* fields; } cases[] = {{"1", true, "x 上班 下班", "", 1, 3, 2, "zhdate f_上班 f_下班"},
                 {"7", true, "x 上班", "3", 1, 2, 3, "zhdate f_上班"}, // any other kind is kind 1
                 {"2", false, "a b 上班 迟到", "x", 5, 4, 0, "f_工号 f_姓名 f_上班 f_迟到"},
                 {"2", false, "a", "1", 5, 1, 1, "f_工号"}, // one report column
                 {"3", false, "日期 ? 上班", "4", 5, 3, 1, "zhdate - f_上班"}}; // kind 3 keeps its own
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        suite.option = c.option;
        const int kind = reportKind(c.option);
        writeTemplate(kind, {c.headingLayout, QString::fromUtf8(c.labels).split(' ')});
        suite.setSetting("TALOR", "RFIX", c.fix);
        view = RecordingView();
        // Editing switched on by the last use: the layout switches it off.
        for (const auto allow : {&grid::Workbook::setAllowInCellEditing, &grid::Workbook::setAllowEditHeaders,
                                 &grid::Workbook::setAllowDelete, &grid::Workbook::setAllowFillRange})
            (book.*allow)(true);
        layout();
        const grid::Sheet& sheet = book.active();
        QStringList fields;
        for (int i = 1; i <= c.lastColumn; ++i)
            fields << (columns.field(i).isEmpty() ? "-" : columns.field(i));
        EXPECT_EQ(std::tuple(sheet.lastRow(), sheet.lastColumn(), sheet.frozenColumns(),
                             sheet.showColumnHeadings(), view.heading, fields.join(' ')),
                  std::tuple(c.lastRow, c.lastColumn, c.frozenShown, c.headingLayout,
                             std::optional(c.headingLayout), QString::fromUtf8(c.fields)));
        EXPECT_EQ(QList<bool>({book.allowInCellEditing(), book.allowEditHeaders(), book.allowDelete(),
                               book.allowFillRange()}),
                  QList<bool>(4, false));
        // The title, the period or day, the person or place; a day in the picker.
        EXPECT_EQ(QStringList({state.ReportTitle, view.labels[0], view.labels[1], view.labels[2],
                               view.picker.toString(Qt::ISODate)}),
                  kind == 1
                      ? QStringList({"标题1", "标题1", "2008-12-01 至 2008-12-31", "张三(0012,生产部)", ""})
                      : QStringList({QStringLiteral("标题%1").arg(kind), QStringLiteral("标题%1").arg(kind),
                                     "2008-12-05", "生产部一组", "2008-12-05"}));
    }
}

// A template holds at most 100 report columns: the 100th is read, a 101st is not.
TEST_F(LayoutTest, UpToTheHundredthColumn)
{
    suite.option = "2";
    for (const auto& [labels, expected] : {std::pair{99, 99}, {100, 100}, {101, 100}}) {
        writeTemplate(2, {false, QStringList(labels, "上班")});
        layout();
        EXPECT_EQ(
            std::tuple(book.active().lastColumn(), columns.field(expected), columns.field(expected + 1)),
            std::tuple(expected, QString("f_上班"), QString()))
            << labels;
    }
    // A template without report columns keeps its own extent, to the sheet's last column.
    suite.option = "3";
    grid::Workbook none;
    none.sheet(1).setColumnHeading(1, "ok");
    none.sheet(1).setPlainText(4, grid::Sheet::MaxColumns, "x");
    none.write(dir.filePath("R3.vts"), grid::FileType::Template);
    layout();
    EXPECT_EQ(book.active().lastColumn(), none.sheet(1).lastColumn());
}

TEST_F(LayoutTest, ChosenTemplateThenDefaultThenBlankGrid)
{
    suite.option = "2";
    writeTemplate(2, {false, {"a", "b", "上班"}});
    const QString chosen = dir.filePath("other.vts");
    writeTemplate(2, {false, {"a", "b", "迟到", "下班"}}, chosen);
    suite.setSetting("TALOR", "RREPORT2", chosen);
    layout();
    EXPECT_EQ(std::pair(reportTemplatePath(suite, 2), book.active().lastColumn()), std::pair(chosen, 4));
    suite.setSetting("TALOR", "RREPORT2", dir.filePath("missing.vts"));
    layout();
    EXPECT_EQ(std::pair(reportTemplatePath(suite, 2), book.active().lastColumn()),
              std::pair(defaultTemplatePath(suite, 2), 3));

    // No template at all: the grid is blanked, and the operator is told which file is missing,
    // the chosen one first.
    QFile::remove(defaultTemplatePath(suite, 2));
    layout();
    EXPECT_EQ(QStringList({book.active().text(4, 1), book.active().text(4, 2), book.active().text(4, 3)}),
              QStringList({"工号", "姓名", ""}));
    suite.setSetting("TALOR", "RREPORT2", "");
    layout();
    const QString missing = u"报表“R”的模板文件不存在："_qs;
    EXPECT_EQ(view.messages,
              QStringList({missing + dir.filePath("missing.vts") + "、" + dir.filePath("R2.vts"),
                           missing + dir.filePath("R2.vts")}));
    // The cells without formula are blanked, the formulas stay.
    grid::Sheet& sheet = book.active();
    for (const auto& [row, column, text] :
         {std::tuple{1, 1, "gone"}, {30, 30, "gone"}, {31, 1, "kept"}, {2, 2, "=1+1"}})
        sheet.setText(row, column, text);
    ReportLayout({suite, state, columns, patterns, book}).BlankGrid();
    EXPECT_EQ(QStringList({sheet.text(1, 1), sheet.text(30, 30), sheet.text(31, 1), sheet.formula(2, 2)}),
              QStringList({"", "", "kept", "=1+1"}));
}

} // namespace
