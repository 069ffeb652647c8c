#include "entry/ReportDialogs.h"

#include "query/frmSQL0.h"
#include "report/frmMODEL.h"
#include "ui/UiService.h"

namespace talor {

ReportDialogs::ReportDialogs(SuiteServices& suite, UiService& ui, QWidget* parent)
    : m_suite(suite), m_ui(ui), m_parent(parent)
{}

void ReportDialogs::selectReport()
{
    QWidget* owner = m_parent;
    frmSQL0 dialog(
        m_suite, m_ui,
        [this, &owner] {
            frmMODEL designer(m_suite, m_ui, owner);
            m_ui.execDialog(designer);
        },
        m_parent);
    owner = &dialog;
    m_ui.execDialog(dialog);
}

} // namespace talor
