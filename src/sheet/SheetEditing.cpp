#include "sheet/SheetEditing.h"

#include "db/Recordset.h"
#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "sheet/CellValidation.h"
#include "sheet/ColumnFields.h"
#include "sheet/SheetLayout.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <exception>
#include <optional>
#include <vector>

namespace talor {

SheetEditing::SheetEditing(Parts parts, EditingView& view, SheetLog::Clock clock)
    : m_parts(parts), m_view(view), m_log(parts.suite, std::move(clock))
{}

void SheetEditing::setPermissions(bool on)
{
    grid::Workbook& book = m_parts.book;
    book.setAllowInCellEditing(on);
    book.setAllowEditHeaders(on);
    book.setAllowFillRange(on);
    // What reaches many cells at once (paste, fill down, Delete) leaves the columns of the fields
    // that are never saved as they are, whichever cell is active.
    // The views ask it of every cell they paint, so each column is looked at once, here: the
    // columns do not change while editing.
    grid::Workbook::CellPermission editable;
    if (on) {
        const QString unsaved = m_parts.suite.unsavedFields();
        std::vector<bool> columns(size_t(book.active().lastColumn()) + 1, false);
        for (size_t c = 1; c < columns.size(); ++c)
            columns[c] = !unsaved.contains(columnLabel(int(c)));
        editable = [columns = std::move(columns)](int row, int col) {
            return row >= 1 && col >= 1 && size_t(col) < columns.size() && columns[size_t(col)];
        };
    }
    book.setEditableCells(std::move(editable));
}

QString SheetEditing::columnLabel(int col) const
{
    const grid::Sheet& sheet = m_parts.book.active();
    return sheetLayoutOf(sheet) == SheetLayout::Heading ? sheet.columnHeading(col) : sheet.text(4, col);
}

void SheetEditing::editContent()
{
    if (m_view.sumChecked()) {
        m_view.showMessage(SumMessage);
        return;
    }
    if (!m_parts.records.isOpen() || m_parts.records.eof()) {
        m_view.showMessage(NoRecordsToEdit);
        return;
    }
    setPermissions(true);
    m_parts.dataChanged = true;
    // The cells as they were before the first edit of these records on this sheet: pressing
    // 编辑 again while editing, or after a declined save, keeps it, or values typed since would
    // count as unchanged and not be saved. New records or a sheet drawn anew start afresh.
    if (m_before.isEmpty() || m_beforeShown != shownNow()) {
        m_before.take(m_parts.book.active());
        m_beforeShown = shownNow();
    }
    // The sheet before editing; a log that cannot be written is told, editing goes on.
    const QString problem = m_log.write(m_parts.book, m_parts.suite.workDirectory(), SheetLog::EditFolder);
    if (!problem.isEmpty())
        m_view.showMessage(problem);
}

std::pair<quint64, quint64> SheetEditing::shownNow() const
{
    return {m_parts.records.readId(), m_parts.book.active().formatTableId()};
}

void SheetEditing::endEditing()
{
    m_parts.dataChanged = false;
    setPermissions(false);
    m_before.clear();
}

bool SheetEditing::ValidateSheet()
{
    const auto problem = talor::ValidateSheet(m_parts.suite, m_parts.columns, m_parts.book.active(),
                                              m_before.isEmpty() ? nullptr : &m_before);
    if (!problem)
        return false;
    m_view.showMessage(problem->message);
    m_view.focusGrid();
    m_parts.book.active().select(problem->row, problem->column, problem->row, problem->column);
    return true;
}

void SheetEditing::saveContent()
{
    grid::Sheet& sheet = m_parts.book.active();
    sheet.setActiveCell(qMax(sheet.activeRow(), 1), 1);
    if (m_view.sumChecked()) {
        m_view.showMessage(SumMessage);
        return;
    }
    if (!m_parts.dataChanged) {
        m_view.showMessage(NotEditing);
        return;
    }
    if (!m_before.isEmpty() && m_beforeShown != shownNow()) {
        // The records or the sheet were shown anew since editing began (another report kind,
        // another person, a layout that shows no one): the rows no longer hold what was
        // edited, and writing them back would put this sheet's cells into those records.
        // Editing ends; nothing is written.
        endEditing();
        m_view.showMessage(ShownAnew);
        return;
    }
    if (!m_parts.records.isOpen() || m_parts.records.eof()) {
        m_view.showMessage(NoRecordsToSave);
        return;
    }
    if (ValidateSheet())
        return;
    // The writes are planned before the question: a name without a code is told first, so
    // that "yes" is never answered to a save that cannot be made.
    SheetSaving saving(m_parts.suite, m_parts.columns, sheet, m_parts.records);
    std::optional<std::vector<RecordWrites>> plan;
    try {
        plan = saving.plan(m_before.isEmpty() ? nullptr : &m_before);
    } catch (const SaveCheckError& error) {
        m_parts.records.moveFirst();
        m_lastSave = SaveOutcome{0, false, error.row, error.column, error.message};
    }
    if (plan) {
        if (!m_view.confirm(SaveQuestion, SaveTitle)) {
            m_parts.dataChanged = false;
            m_parts.book.setAllowInCellEditing(false);
            return;
        }
        m_lastSave = saving.apply(*plan);
    }
    if (!m_lastSave.complete) {
        // Editing stays on, so that nothing typed is lost; the operator sees where it stopped.
        m_view.showMessage(m_lastSave.message);
        m_view.focusGrid();
        if (m_lastSave.row >= 1) // 0: the save as a whole failed, at no one row
            sheet.select(m_lastSave.row, qMax(m_lastSave.column, 1), m_lastSave.row,
                         qMax(m_lastSave.column, 1));
        return;
    }
    endEditing();
    const QString problem = m_log.write(m_parts.book, m_parts.suite.logDirectory(), SheetLog::SaveFolder);
    if (!problem.isEmpty())
        m_view.showMessage(problem);
    m_view.showMessage(Saved);
}

void SheetEditing::selectionChange()
{
    const grid::Sheet& sheet = m_parts.book.active();
    const int row = sheet.activeRow();
    const int col = sheet.activeColumn();
    bool editable = false;
    if (m_parts.dataChanged && row >= 1)
        editable = !m_parts.suite.unsavedFields().contains(columnLabel(col));
    m_parts.book.setAllowInCellEditing(editable);
    m_parts.suite.setGridColumn(col);
    m_parts.suite.setGridRow(row);
}

void SheetEditing::enterText(QString& text)
{
    if (!text.startsWith(u'\''))
        text.prepend(u'\'');
}

bool SheetEditing::onDataRow(int row) const
{
    const grid::Sheet& sheet = m_parts.book.active();
    const int first = firstDataRow(sheetLayoutOf(sheet));
    return row >= first && sheet.activeRow() >= first;
}

void SheetEditing::cellClick(int row, int)
{
    if (!onDataRow(row))
        return;
    const grid::Sheet& sheet = m_parts.book.active();
    SuiteServices& suite = m_parts.suite;
    if (suite.reportOption() == QLatin1String("2")) {
        suite.setPersonNumber(sheet.text(row, 1));
        suite.setPersonName(sheet.text(row, 2));
    } else if (text::isValidDate(sheet.text(row, 1))) {
        if (const auto date = text::parseDateTime(sheet.text(row, 1)))
            suite.setReportDate(date->date());
    }
    // The clicked row is published for other modules in one write. A settings file that cannot
    // take it (read-only, a full disk) is noted where it does not stop the clicks.
    ModuleSettings settings(suite);
    SuiteServices::SettingValues rowTexts;
    for (int c = 1; c <= keys::GridRowTexts; ++c)
        rowTexts.append({settings.name(keys::GridRowText, c), sheet.text(row, c)});
    try {
        settings.write(QString::fromLatin1(keys::GridRowText.section), rowTexts);
    } catch (const SuiteError& error) {
        m_view.showStatus(QStringLiteral("所点的行未能记入设置文件：") + error.message());
    }
}

void SheetEditing::doubleClick()
{
    if (m_parts.book.allowInCellEditing()) {
        m_view.startCellEdit();
        return;
    }
    const QString library = m_view.personnelLibrary();
    if (library.isEmpty())
        return;
    ModuleSettings settings(m_parts.suite);
    if (settings.read(keys::EmployeeFileUse) != QLatin1String("NO"))
        return;
    try {
        m_view.runComponent(PersonnelClass);
    } catch (const std::exception&) {
        m_view.showMessage(library + QStringLiteral("未注册"));
    }
}

void SheetEditing::mouseButton(int button, int, int x, int y)
{
    if (button != 2)
        return;
    ModuleSettings settings(m_parts.suite);
    std::array<QString, 7> captions;
    bool any = false;
    for (int n = 7; n >= 1; --n) {
        captions[size_t(n - 1)] = settings.read(keys::ExternalMenu, n);
        any = any || !captions[size_t(n - 1)].isEmpty();
    }
    m_view.showExternalMenu(captions, any, x, y);
}

} // namespace talor
