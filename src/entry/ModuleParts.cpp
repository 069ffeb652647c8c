#include "entry/ModuleParts.h"

namespace talor {

ModuleParts::ModuleParts(SuiteServices& suite, UiService& ui, MainWindowState& state,
                         ModuleRecordsets& records, grid::Workbook& book, ModuleView& view,
                         SheetLog::Clock clock)
    : m_context{suite, ui, state, records, m_columns, m_patterns, book}, m_view(view),
      m_layout({suite, state, m_columns, m_patterns, book}),
      m_clicks({suite, state, state, records.EmployeeRecords, records.PersonTemplateRecords, m_columns,
                m_patterns, book},
               view),
      m_editing({suite, state.DataChanged, records.EmployeeRecords, m_columns, book}, view,
                clock ? std::move(clock) : SheetLog::Clock([] { return QDateTime::currentDateTime(); })),
      m_output(m_context, view, m_clicks)
{}

void ModuleParts::connect(MainWindowHooks& hooks, ModuleDialogs* dialogs)
{
    hooks.layoutReport = [this] {
        layoutReport();
    };
    hooks.treeClick = [this](QTreeWidgetItem*) {
        m_clicks.treeClick();
    };
    hooks.listClick = [this] {
        m_clicks.listClick();
    };
    hooks.editContent = [this] {
        m_editing.editContent();
    };
    hooks.saveContent = [this] {
        m_editing.saveContent();
    };
    hooks.gridSelectionChange = [this] {
        m_editing.selectionChange();
    };
    hooks.gridEditText = [](QString& text) {
        SheetEditing::enterText(text);
    };
    hooks.gridClick = [this](int row, int col) {
        m_editing.cellClick(row, col);
    };
    hooks.gridDoubleClick = [this](int, int) {
        m_editing.doubleClick();
    };
    hooks.gridMouseButton = [this](int button, int shift, int x, int y) {
        m_editing.mouseButton(button, shift, x, y);
    };
    hooks.preview = [this] {
        m_output.preview();
    };
    hooks.print = [this] {
        m_output.print();
    };
    hooks.exportExcel = [this] {
        m_output.exportReport();
    };
    if (dialogs)
        hooks.selectReport = [dialogs] {
            dialogs->selectReport();
        };
    else
        hooks.selectReport = [this] {
            m_view.showStatus(notAvailable(QStringLiteral("选定模板")));
        };
}

} // namespace talor
