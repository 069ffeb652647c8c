#include "entry/ModuleParts.h"

namespace talor {

ModuleParts::ModuleParts(SuiteServices& suite, UiService& ui, MainWindowState& state, ModuleRecordsets& records,
                         grid::Workbook& book, ModuleView& view, SheetLog::Clock clock)
    : m_context{suite, ui, state, records, m_columns, m_patterns, book}, m_view(view),
      m_layout({suite, state, m_columns, m_patterns, book}),
      m_clicks({suite, state, state, records.EmployeeRecords, records.PersonTemplateRecords, m_columns, m_patterns,
                book},
               view),
      m_editing({suite, state.DataChanged, records.EmployeeRecords, m_columns, book}, view,
                clock ? std::move(clock) : SheetLog::Clock([] { return QDateTime::currentDateTime(); }))
{}

void ModuleParts::connect(MainWindowHooks& hooks, ModuleDialogs* dialogs)
{
    hooks.layoutReport = [this] { layoutReport(); };
    hooks.treeClick = [this](QTreeWidgetItem*) { m_clicks.treeClick(); };
    hooks.listClick = [this] { m_clicks.listClick(); };
    hooks.editContent = [this] { m_editing.editContent(); };
    hooks.saveContent = [this] { m_editing.saveContent(); };
    hooks.gridSelectionChange = [this] { m_editing.selectionChange(); };
    hooks.gridEditText = [](QString& text) { SheetEditing::enterText(text); };
    hooks.gridClick = [this](int row, int col) { m_editing.cellClick(row, col); };
    hooks.gridDoubleClick = [this](int, int) { m_editing.doubleClick(); };
    hooks.gridMouseButton = [this](int button, int shift, int x, int y) { m_editing.mouseButton(button, shift, x, y); };
    // The commands of the report-condition and output parts, until they are built.
    const std::pair<std::function<void()>*, QString> later[] = {
        {&hooks.selectReport, QStringLiteral("选定模板")},
        {&hooks.preview, QStringLiteral("报表预览")},
        {&hooks.print, QStringLiteral("报表打印")},
        {&hooks.exportExcel, QStringLiteral("EXCEL输出")},
    };
    for (const auto& [hook, caption] : later)
        *hook = [this, caption = caption] { m_view.showStatus(notAvailable(caption)); };
    if (dialogs)
        hooks.selectReport = [dialogs] { dialogs->selectReport(); };
}

} // namespace talor
