#include "report/ReportLayout.h"

#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "report/TemplateFiles.h"
#include "sheet/ColumnFields.h"
#include "sheet/PeriodBlock.h"
#include "sheet/RecordDisplay.h"
#include "sheet/SheetLayout.h"
#include "sheet/TemplatePattern.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QFileInfo>

namespace talor {

QString defaultTemplatePath(SuiteServices& suite, int kind)
{
    return templatePath(suite, suite.reportKey(), kind);
}

QString reportTemplatePath(SuiteServices& suite, int kind)
{
    const QString chosen = ModuleSettings(suite).read(keys::ReportTemplate, kind);
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        return chosen;
    const QString fallback = defaultTemplatePath(suite, kind);
    return QFileInfo(fallback).isFile() ? fallback : QString();
}

int reportKind(const QString& option)
{
    return option == QLatin1String("2") ? 2 : option == QLatin1String("3") ? 3 : 1;
}

ReportLayout::ReportLayout(const Parts& parts) : m_parts(parts) {}

void ReportLayout::BlankGrid()
{
    grid::Sheet& sheet = m_parts.book.active();
    for (int r = 1; r <= 30; ++r)
        for (int c = 1; c <= 30; ++c)
            if (sheet.formula(r, c).isEmpty() && !sheet.isEmpty(r, c))
                sheet.setPlainText(r, c, QString());
}

void ReportLayout::LayoutReport(LayoutView& view)
{
    SuiteServices& suite = m_parts.suite;
    grid::Workbook& book = m_parts.book;
    const int kind = reportKind(suite.reportOption());

    // Template loading.
    const QString path = reportTemplatePath(suite, kind);
    if (!path.isEmpty()) {
        book.read(path);
    } else {
        if (kind != 1)
            BlankGrid();
        QStringList missing{defaultTemplatePath(suite, kind)};
        if (const QString chosen = ModuleSettings(suite).read(keys::ReportTemplate, kind); !chosen.isEmpty())
            missing.prepend(chosen);
        view.showStatus(QStringLiteral("报表“%1”的模板文件不存在：%2")
                            .arg(suite.reportKey(), missing.join(QStringLiteral("、"))));
    }
    grid::Sheet& sheet = book.active();

    // Captions and labels.
    const bool cellLayout = sheet.columnHeading(1).isEmpty();
    const QString names = suite.departmentName() + suite.groupName();
    if (kind == 2) {
        if (cellLayout) {
            sheet.setPlainText(4, 1, QStringLiteral("工号"));
            sheet.setPlainText(4, 2, QStringLiteral("姓名"));
        } else {
            sheet.setColumnHeading(1, QStringLiteral("工号"));
            sheet.setColumnHeading(2, QStringLiteral("姓名"));
        }
    } else if (kind == 1) {
        if (cellLayout)
            sheet.setPlainText(4, 1, QStringLiteral("日期"));
        else
            sheet.setColumnHeading(1, QStringLiteral("日期"));
        view.setLabel(2, suite.periodStart() + QStringLiteral(" 至 ") + suite.periodEnd());
        view.setLabel(3,
                      suite.personName() + "(" + suite.personNumber() + "," + suite.departmentName() + ")");
    }
    if (kind != 1) {
        view.setPickerDate(suite.reportDate());
        view.setLabel(2, suite.reportDate().toString(QStringLiteral("yyyy-MM-dd")));
        view.setLabel(3, names);
    }

    // Column definitions: every label is read before the sheet is cut down to its header,
    // which drops the cells below.
    const SheetLayout layout = sheetLayoutOf(sheet);
    int columns = 0;
    for (int i = 1; i <= MaxColumns; ++i) {
        if (sheet.columnHeading(i) == Terminator)
            break;
        const QString label = layout == SheetLayout::Heading ? sheet.columnHeading(i) : sheet.text(4, i);
        m_parts.columns.setField(i, suite.fieldName(label));
        columns = i;
    }
    ReportPatterns& patterns = m_parts.patterns;
    patterns.dataRow.clear();
    patterns.block.clear();
    if (kind == 3)
        patterns.block.capture(sheet, 1, PeriodBlock::Rows, columns);
    else
        patterns.dataRow.capture(sheet, firstDataRow(layout), firstDataRow(layout), columns);

    sheet.setLastRow(layout == SheetLayout::Heading ? 1 : 5);
    if (columns > 0)
        sheet.setLastColumn(columns);
    if (layout == SheetLayout::Cell) {
        sheet.setShowRowHeadings(false);
        sheet.setShowColumnHeadings(false);
    }
    view.setHeadingLayout(layout == SheetLayout::Heading);
    m_parts.columns.lookUp(suite, qMin(sheet.lastColumn(), ColumnFields::Size - 1));

    // Frozen columns: the setting for kinds 1 and 2, the template's own for kind 3.
    if (kind != 3) {
        const QString fix = ModuleSettings(suite).read(keys::FixedColumns);
        sheet.setFrozenColumns(
            fix.isEmpty() ? 2 : int(qBound(0.0, text::numericValue(fix), double(grid::Sheet::MaxColumns))));
    }

    m_parts.sheetState.ReportTitle = book.sheetName(1);
    view.setLabel(1, m_parts.sheetState.ReportTitle);

    book.setAllowInCellEditing(false);
    book.setAllowEditHeaders(false);
    book.setAllowDelete(false);
    book.setAllowFillRange(false);
}

} // namespace talor
