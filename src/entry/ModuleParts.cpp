#include "entry/ModuleParts.h"

namespace talor {

ModuleParts::ModuleParts(SuiteServices& suite, UiService& ui, MainWindowState& state, ModuleRecordsets& records,
                         grid::Workbook& book, ModuleView& view)
    : m_context{suite, ui, state, records, m_columns, m_patterns, book}, m_view(view),
      m_layout({suite, state, m_columns, m_patterns, book}),
      m_clicks({suite, state, state, records.EmployeeRecords, records.PersonTemplateRecords, m_columns, m_patterns,
                book},
               view)
{}

void ModuleParts::connect(MainWindowHooks& hooks, ModuleDialogs* dialogs)
{
    hooks.layoutReport = [this] { layoutReport(); };
    hooks.treeClick = [this](QTreeWidgetItem*) { m_clicks.treeClick(); };
    hooks.listClick = [this] { m_clicks.listClick(); };
    // The commands of the report-condition, editing and output parts, until they are built.
    const std::pair<std::function<void()>*, QString> later[] = {
        {&hooks.selectReport, QStringLiteral("选定模板")}, {&hooks.editContent, QStringLiteral("编辑内容")},
        {&hooks.saveContent, QStringLiteral("保存内容")},  {&hooks.preview, QStringLiteral("报表预览")},
        {&hooks.print, QStringLiteral("报表打印")},        {&hooks.exportExcel, QStringLiteral("EXCEL输出")},
    };
    for (const auto& [hook, caption] : later)
        *hook = [this, caption = caption] { m_view.showStatus(notAvailable(caption)); };
    if (dialogs)
        hooks.selectReport = [dialogs] { dialogs->selectReport(); };
}

} // namespace talor
