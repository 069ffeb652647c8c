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
      m_output(m_context, view, m_clicks, m_editing)
{}

void ModuleParts::selectReport()
{
    if (m_dialogs)
        m_dialogs->selectReport();
    else
        m_view.showStatus(notAvailable(QStringLiteral("选定模板")));
}

} // namespace talor
