#include "entry/clszh.h"

#include "entry/ModuleParts.h"
#include "entry/ReportDialogs.h"
#include "entry/frmKQJL.h"

namespace talor {

clszh::clszh(SuiteServices& suite, UiService& ui, ModuleLauncher* launcher)
    : m_suite(suite), m_ui(ui), m_launcher(launcher)
{}

clszh::~clszh()
{
    // The parts go before the window: it runs none of their commands while it is taken down.
    if (m_window)
        m_window->setCommands(nullptr);
}

QString clszh::zh()
{
    if (!m_window) {
        m_window = std::make_unique<frmKQJL>(m_suite, m_ui, m_launcher);
        m_parts = std::make_unique<ModuleParts>(m_suite, m_ui, m_window->state(), m_window->records(),
                                                m_window->book(), m_window->view());
        m_dialogs = std::make_unique<ReportDialogs>(m_suite, m_ui, m_window.get());
        m_parts->setDialogs(m_dialogs.get());
        m_window->setCommands(m_parts.get());
    }
    m_window->showModal();
    return QString();
}

} // namespace talor

// The module library's factory, found by the module registry as "talor.clszh".
extern "C" Q_DECL_EXPORT talor::SuiteComponent* talor_create_component(talor::SuiteServices* suite,
                                                                       talor::UiService* ui)
{
    if (!suite || !ui)
        return nullptr;
    return new talor::clszh(*suite, *ui);
}
