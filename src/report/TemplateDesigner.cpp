#include "report/TemplateDesigner.h"

#include "grid/Workbook.h"
#include "io/FileWrite.h"
#include "modulesettings/ModuleSettings.h"
#include "report/ReportLayout.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace talor {

namespace {

constexpr int ReservedColumns = 2;

// The captions the layout writes over columns 1 and 2 of kinds 1 and 2.
QString fixedCaption(int kind, int column)
{
    if (kind == 1 && column == 1)
        return QStringLiteral("日期");
    if (kind == 2 && column == 1)
        return QStringLiteral("工号");
    if (kind == 2 && column == 2)
        return QStringLiteral("姓名");
    return {};
}

} // namespace

TemplateDesigner::TemplateDesigner(SuiteServices& suite, grid::Workbook& book) : m_suite(suite), m_book(book)
{}

int TemplateDesigner::kind() const
{
    return reportKind(m_suite.reportOption());
}

QString TemplateDesigner::defaultTemplate() const
{
    return defaultTemplatePath(m_suite, kind());
}

QString TemplateDesigner::caption() const
{
    return QStringLiteral("模板设计：[") + m_suite.reportKey() + u']';
}

QString TemplateDesigner::load()
{
    static const char* const titles[] = {"个人一期", "部门一天", "部门一期"};
    const int k = kind();
    m_book.clear();
    m_book.setSheetName(1, QString::fromUtf8(titles[k - 1]));
    grid::Sheet& sheet = m_book.active();
    sheet.setColumnHeading(1, k == 2 ? QStringLiteral("工号") : QStringLiteral("日期"));
    sheet.setColumnHeading(2, k == 2 ? QStringLiteral("姓名") : QString());
    sheet.setColumnHeading(ReservedColumns + 1, ReportLayout::Terminator);
    sheet.setLastColumn(ReservedColumns + 1);
    sheet.setLastRow(1);

    QString error;
    const QString path = defaultTemplate();
    if (QFileInfo(path).isFile()) {
        try {
            m_book.read(path);
        } catch (const grid::GridFileError& failure) {
            error = failure.message();
        }
    }
    stamp(path);
    prepareGrid();
    return error;
}

namespace {

// A digest of the file's bytes; empty when there is no file to read.
QByteArray digestOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

} // namespace

void TemplateDesigner::stamp(const QString& path)
{
    m_stampedPath = io::resolvedTarget(path);
    m_seenDigests.insert(m_stampedPath, digestOf(path));
}

QString TemplateDesigner::templateFile(const QString& path)
{
    // The reports look their templates up by the lower-case suffix, on a file system that tells
    // cases apart: a name typed bare, or given the filter's ".VTS", gets ".vts".
    QString file = path.trimmed();
    if (file.isEmpty())
        return file;
    if (QFileInfo(file).suffix().compare(u"vts", Qt::CaseInsensitive) == 0)
        file.chop(4);
    return file + QStringLiteral(".vts");
}

bool TemplateDesigner::replacesUnasked(const QString& path) const
{
    const QString target = templateFile(path);
    return target != path.trimmed() && QFileInfo::exists(target) &&
           io::resolvedTarget(target) != m_stampedPath;
}

bool TemplateDesigner::changedSinceRead(const QString& path) const
{
    const QString target = templateFile(path);
    if (target.isEmpty())
        return false;
    const auto seen = m_seenDigests.constFind(io::resolvedTarget(target));
    return seen != m_seenDigests.cend() && digestOf(target) != *seen;
}

void TemplateDesigner::prepareGrid()
{
    grid::Sheet& sheet = m_book.active();
    m_savedColumns = sheet.frozenColumns();
    m_savedRows = sheet.frozenRows();
    sheet.setFrozenColumns(0);
    sheet.setFrozenRows(0);
    // The headings carry the labels and the "ok" column: always shown while designing.
    sheet.setShowColumnHeadings(true);
    sheet.setShowRowHeadings(true);
    setEditing(false);
}

void TemplateDesigner::setEditing(bool on)
{
    m_book.setAllowInCellEditing(on);
    m_book.setAllowEditHeaders(on);
}

bool TemplateDesigner::editing() const
{
    return m_book.allowInCellEditing();
}

void TemplateDesigner::cellClick(int row, int col)
{
    if (row != 0 && col != 0) {
        m_designRow = row;
        m_designColumn = col;
    }
}

bool TemplateDesigner::pickerAllowed() const
{
    return !editing() && ModuleSettings(m_suite).read(keys::PickerOnDoubleClick) != "NO";
}

TemplateFileDialog TemplateDesigner::fileDialog() const
{
    const QString path = defaultTemplate();
    return {Filter, QDir(m_suite.templateDirectory()).path() + u'/',
            QFileInfo(path).isFile() ? path : QString()};
}

bool TemplateDesigner::open(const QString& path)
{
    // A blank choice reads nothing and keeps the frozen counts saved from the template shown.
    const bool read = !path.isEmpty();
    if (read) {
        m_book.read(path);
        stamp(path);
        prepareGrid();
    }
    m_designFile = path;
    return read;
}

QString TemplateDesigner::insertColumn()
{
    const int c = m_designColumn;
    if (c == 0)
        return QStringLiteral("请指定从哪列插入！");
    if (c <= ReservedColumns)
        return QStringLiteral("1,2列为保留列！");
    grid::Sheet& sheet = m_book.active();
    // The sheet's last column would fall off its right edge.
    if (sheet.lastColumn() >= grid::Sheet::MaxColumns)
        return QStringLiteral("第%1列已有内容，不能再插入列！").arg(grid::Sheet::MaxColumns);
    sheet.insertColumns(c);
    return {};
}

QString TemplateDesigner::removeColumn()
{
    const int c = m_designColumn;
    if (c == 0)
        return QStringLiteral("请指定移除哪列！");
    if (c <= ReservedColumns)
        return QStringLiteral("1,2列为保留列！");
    grid::Sheet& sheet = m_book.active();
    if (sheet.columnHeading(c) == ReportLayout::Terminator)
        return QStringLiteral("不能移除终止列！");
    sheet.deleteColumns(c);
    return {};
}

void TemplateDesigner::startEditing()
{
    setEditing(true);
}

void TemplateDesigner::prepareSave()
{
    grid::Sheet& sheet = m_book.active();
    sheet.setFrozenColumns(m_savedColumns);
    sheet.setFrozenRows(m_savedRows);
    sheet.setShowColumnHeadings(true);
    sheet.setShowRowHeadings(true);
}

bool TemplateDesigner::save(const QString& path)
{
    const QString target = templateFile(path);
    if (!target.isEmpty()) {
        m_book.write(target, grid::FileType::Template);
        stamp(target);
    }
    setEditing(false);
    return !target.isEmpty();
}

void TemplateDesigner::pick(const QString& label, PickTarget target)
{
    grid::Sheet& sheet = m_book.active();
    m_book.setAllowInCellEditing(true);
    switch (target) {
    case PickTarget::Cell:
        sheet.setPlainText(sheet.activeRow(), sheet.activeColumn(), label);
        break;
    case PickTarget::ColumnHeading:
        sheet.setColumnHeading(sheet.activeColumn(), label);
        break;
    case PickTarget::RowHeading:
        sheet.setRowHeading(sheet.activeRow(), label);
        break;
    }
    m_book.setAllowInCellEditing(false);
}

QList<DesignedColumn> TemplateDesigner::designedColumns() const
{
    const grid::Sheet& sheet = m_book.active();
    const bool heading = sheetLayoutOf(sheet) == SheetLayout::Heading;
    const int k = kind();
    int last = ReportLayout::MaxColumns;
    for (int c = 1; c <= ReportLayout::MaxColumns; ++c)
        if (sheet.columnHeading(c) == ReportLayout::Terminator) {
            last = c - 1;
            break;
        }
    if (last == ReportLayout::MaxColumns)
        last = qMin(last, sheet.lastColumn());
    QList<DesignedColumn> columns;
    for (int c = 1; c <= last; ++c) {
        QString label = fixedCaption(k, c);
        if (label.isEmpty())
            label = heading ? sheet.columnHeading(c) : sheet.text(4, c);
        columns.append({c, label, label.isEmpty() ? QString() : m_suite.fieldName(label)});
    }
    return columns;
}

FieldPicker::FieldPicker(SuiteServices& suite) : m_suite(suite) {}

QStringList FieldPicker::entries() const
{
    QStringList list = m_suite.fieldPickerList();
    if (!list.isEmpty())
        list.removeFirst();
    list.prepend(QString());
    return list;
}

QString FieldPicker::caption() const
{
    const QStringList list = m_suite.fieldPickerList();
    return QStringLiteral("指定项目[") + list.value(0) + u']';
}

PickTarget FieldPicker::remembered() const
{
    const QString option = ModuleSettings(m_suite).read(keys::PickerChoice);
    return option == "2"   ? PickTarget::ColumnHeading
           : option == "3" ? PickTarget::RowHeading
                           : PickTarget::Cell;
}

void FieldPicker::remember(PickTarget target)
{
    ModuleSettings(m_suite).write(keys::PickerChoice, QString::number(int(target)));
}

bool FieldPicker::hideForReport()
{
    if (m_suite.accessComparisonText() != "Mave")
        return false;
    ModuleSettings(m_suite).write(keys::PickerOnDoubleClick, QStringLiteral("NO"));
    return true;
}

} // namespace talor
