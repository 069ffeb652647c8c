#include "demo/DemoTemplates.h"

#include "grid/CellAddress.h"
#include "grid/Workbook.h"
#include "sheet/PeriodBlock.h"
#include "suite/SuiteServices.h"

namespace talor {

namespace {

const QString Terminator = QStringLiteral("ok");
constexpr quint32 LabelFill = 0xF7EBDD; // light blue, 0x00BBGGRR
constexpr quint32 Black = 0;
constexpr int BlockRows = PeriodBlock::Rows;

// Items of the attendance table that all three reports show, after their own first columns.
const QStringList TimeItems = {"上班时间", "下班时间"};
const QStringList HourItems = {"迟到分钟", "早退分钟", "出勤工时", "加班工时", "旷工工时"};

// Widths in pixels that show a column's values whole: a date ("2026-10-01") and, in kind 3, the
// person in the block header above it; a note, a name; the short day-of-week and number columns.
int widthOf(const QString& label)
{
    if (label == u"日期"_qs || label == u"补休日期"_qs)
        return 96;
    // In kind 2 the day and the department are written beside their labels in column 2.
    if (label == u"备注"_qs || label == u"姓名"_qs)
        return 120;
    if (label == u"星期"_qs || label == u"工号"_qs)
        return 48;
    return grid::Sheet::DefaultColumnWidth;
}

// Kind 3 writes the period ("2026-10-01 至 2026-10-31") into the block header's last column.
constexpr int PeriodColumnWidth = 170;

void setWidths(grid::Sheet& sheet, const QStringList& labels)
{
    for (int c = 1; c <= labels.size(); ++c)
        if (widthOf(labels.at(c - 1)) != grid::Sheet::DefaultColumnWidth)
            sheet.setColumnWidth(c, widthOf(labels.at(c - 1)));
}

// A thin frame with lines right of every cell and under the rows, as the display draws
// around a data row.
void frame(grid::Sheet& sheet, int row1, int row2, int columns)
{
    sheet.select(row1, 1, row2, columns);
    sheet.setBorder(1, 0, 1, 0, 1, 0, Black, Black, Black, Black, Black);
}

// Cell layout: title lines in rows 1 to 3 (what the caller puts there), the labels in row 4
// on a light fill and framed, the terminator heading over the column after them.
void cellLayout(grid::Sheet& sheet, const QStringList& labels, int lastRow)
{
    const int columns = int(labels.size());
    for (int c = 1; c <= columns; ++c)
        sheet.setPlainText(4, c, labels.at(c - 1));
    sheet.setColumnHeading(columns + 1, Terminator);
    sheet.setLastRow(lastRow);
    sheet.setLastColumn(columns + 1);
    sheet.select(4, 1, 4, columns);
    sheet.setPattern(1, LabelFill, Black);
    frame(sheet, 4, 4, columns);
    setWidths(sheet, labels);
    sheet.setActiveCell(5, 1);
}

// The computed column after the field columns: worked plus overtime hours of the row,
// "=G1+H1" style, written into `row` of column `column`.
QString totalHours(const QStringList& labels, int row)
{
    const QString worked = grid::columnName(int(labels.indexOf(QStringLiteral("出勤工时"))) + 1);
    const QString overtime = grid::columnName(int(labels.indexOf(QStringLiteral("加班工时"))) + 1);
    return QStringLiteral("=%1%3+%2%3").arg(worked, overtime).arg(row);
}

void fill(grid::Workbook& book, int kind)
{
    grid::Sheet& sheet = book.sheet(1);
    book.setSheetName(1, DemoTemplates::title(kind));
    const QStringList fieldLabels = DemoTemplates::labels(kind);
    const QStringList labels = fieldLabels + QStringList{DemoTemplates::TotalHoursLabel};
    const int columns = int(labels.size());
    switch (kind) {
    case 1:
        // Heading layout: the labels are the column headings; the body holds only data.
        for (int c = 1; c <= columns; ++c)
            sheet.setColumnHeading(c, labels.at(c - 1));
        sheet.setColumnHeading(columns + 1, Terminator);
        sheet.setText(1, columns, totalHours(fieldLabels, 1));
        sheet.setLastRow(1);
        sheet.setLastColumn(columns + 1);
        setWidths(sheet, labels);
        sheet.setActiveCell(1, 1);
        break;
    case 2:
        sheet.setPlainText(1, 1, DemoTemplates::title(kind));
        sheet.setPlainText(2, 1, QStringLiteral("日期："));
        sheet.setPlainText(3, 1, QStringLiteral("部门："));
        cellLayout(sheet, labels, 5);
        sheet.setText(5, columns, totalHours(fieldLabels, 5));
        break;
    default:
        // The report writes the person and the period into row 3 and the date and weekday
        // into the day rows; the day rows are framed in advance so that days without a
        // record print like the others.
        sheet.setPlainText(1, 1, DemoTemplates::title(kind));
        cellLayout(sheet, labels, BlockRows);
        frame(sheet, 5, BlockRows, columns);
        // Every day row computes its hours; the block's sum row adds them up.
        for (int r = 5; r < BlockRows; ++r)
            sheet.setText(r, columns, totalHours(fieldLabels, r));
        sheet.setText(
            BlockRows, columns,
            QStringLiteral("=SUM(%1%2:%1%3)").arg(grid::columnName(columns)).arg(5).arg(BlockRows - 1));
        sheet.setColumnWidth(columns, PeriodColumnWidth);
        sheet.setActiveCell(5, 1);
        break;
    }
    // The date (or number and name) stays in view; kind 3 keeps this, the others take the
    // count from the settings.
    sheet.setFrozenColumns(2);
}

} // namespace

QStringList DemoTemplates::labels(int kind)
{
    switch (kind) {
    case 1:
        // Every kind of item: codes of kinds 3 (班次, 请假类别), 2 (班组), 1 (小组) and plain
        // text (备注), times, whole and decimal numbers, dates.
        return QStringList{"日期", "班次"} + TimeItems + HourItems +
               QStringList{"请假类别", "补休日期", "班组", "小组", "备注"};
    case 2:
        return QStringList{"工号", "姓名", "班组", "小组", "班次"} + TimeItems + HourItems +
               QStringList{"请假类别", "补休日期", "备注"};
    default:
        // Columns 1 and 2 are the day rows' date and weekday. The day rows do not clear
        // columns 3 and 4, so they hold the times, which every record writes (empty ones on
        // a rest day).
        return QStringList{"日期", "星期"} + TimeItems + QStringList{"班次"} + HourItems +
               QStringList{"请假类别", "补休日期", "备注"};
    }
}

QString DemoTemplates::title(int kind)
{
    switch (kind) {
    case 1:
        return QStringLiteral("个人考勤表");
    case 2:
        return QStringLiteral("部门考勤日报");
    default:
        return QStringLiteral("部门考勤月报");
    }
}

QString DemoTemplates::fileName(const QString& directory, const QString& reportKey, int kind)
{
    return directory + QLatin1Char('/') + reportKey + QString::number(kind) + QStringLiteral(".vts");
}

void DemoTemplates::write(const QString& directory, const QString& reportKey)
{
    for (int kind = 1; kind <= 3; ++kind) {
        grid::Workbook book;
        fill(book, kind);
        try {
            book.write(fileName(directory, reportKey, kind), grid::FileType::Template);
        } catch (const grid::GridFileError& error) {
            throw SuiteError(error.message());
        }
    }
}

} // namespace talor
