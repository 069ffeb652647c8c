#include "grid/Workbook.h"

#include "grid/VtsFile.h"
#include "grid/XlsxFile.h"

#include <stdexcept>

namespace talor::grid {

Workbook::Workbook(QObject* parent) : QObject(parent)
{
    m_sheets.push_back(std::make_unique<Sheet>());
    m_names.push_back(QStringLiteral("Sheet1"));
}

Workbook::~Workbook() = default;

int Workbook::sheetCount() const
{
    return int(m_sheets.size());
}

Sheet& Workbook::sheet(int number)
{
    if (number < 1 || number > sheetCount())
        throw std::out_of_range("the workbook has no sheet " + std::to_string(number));
    return *m_sheets[size_t(number - 1)];
}

const Sheet& Workbook::sheet(int number) const
{
    return const_cast<Workbook*>(this)->sheet(number);
}

Sheet& Workbook::active()
{
    return sheet(m_active);
}

const Sheet& Workbook::active() const
{
    return sheet(m_active);
}

void Workbook::setActiveSheet(int number)
{
    sheet(number); // range check
    if (number == m_active)
        return;
    m_active = number;
    Q_EMIT activeSheetChanged(number);
}

QString Workbook::sheetName(int number) const
{
    sheet(number);
    return m_names[size_t(number - 1)];
}

void Workbook::setSheetName(int number, const QString& name)
{
    sheet(number);
    m_names[size_t(number - 1)] = name;
    Q_EMIT sheetsChanged();
}

int Workbook::addSheet(const QString& name)
{
    Q_EMIT sheetsAboutToChange();
    m_sheets.push_back(std::make_unique<Sheet>());
    m_names.push_back(name);
    Q_EMIT sheetsChanged();
    return sheetCount();
}

void Workbook::clear()
{
    std::vector<std::unique_ptr<Sheet>> sheets;
    sheets.push_back(std::make_unique<Sheet>());
    replaceSheets(std::move(sheets), {QStringLiteral("Sheet1")}, 1);
}

void Workbook::replaceSheets(std::vector<std::unique_ptr<Sheet>> sheets, std::vector<QString> names,
                             int active)
{
    if (sheets.empty() || names.size() != sheets.size() || active < 1 || active > int(sheets.size()))
        throw std::invalid_argument(
            "a workbook needs at least one sheet, one name per sheet and an active sheet");
    Q_EMIT sheetsAboutToChange();
    // The old sheets go only after the views have let go of them.
    auto old = std::move(m_sheets);
    m_sheets = std::move(sheets);
    m_names = std::move(names);
    m_active = active;
    Q_EMIT sheetsChanged();
    Q_EMIT activeSheetChanged(m_active);
}

void Workbook::setAllowInCellEditing(bool on)
{
    m_inCellEditing = on;
    Q_EMIT permissionsChanged();
}

void Workbook::setEditableCells(CellPermission editable)
{
    m_editable = std::move(editable);
    Q_EMIT permissionsChanged();
    Q_EMIT editableCellsChanged();
}

void Workbook::setAllowEditHeaders(bool on)
{
    m_editHeaders = on;
    Q_EMIT permissionsChanged();
}

void Workbook::setAllowDelete(bool on)
{
    m_delete = on;
    Q_EMIT permissionsChanged();
}

void Workbook::setAllowFillRange(bool on)
{
    m_fillRange = on;
    Q_EMIT permissionsChanged();
}

void Workbook::read(const QString& path)
{
    VtsContent content = VtsFile::read(path); // throws before anything changes
    replaceSheets(std::move(content.sheets), std::move(content.names), content.active);
}

void Workbook::write(const QString& path, FileType type) const
{
    switch (type) {
    case FileType::Excel:
        XlsxFile::write(*this, path);
        return;
    case FileType::Template:
        VtsFile::write(*this, path);
        return;
    }
    throw GridFileError(QStringLiteral("Cannot write \"%1\": unknown file type %2").arg(path).arg(int(type)));
}

} // namespace talor::grid
