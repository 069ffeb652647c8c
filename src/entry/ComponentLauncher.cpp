#include "entry/ComponentLauncher.h"

#include "suite/SuiteServices.h"

#include <QFileInfo>
#include <QProcess>

namespace talor {

ComponentLauncher::ComponentLauncher(SuiteServices& suite, UiService& ui, ModuleRegistry registry)
    : m_suite(suite), m_ui(ui), m_registry(std::move(registry))
{}

bool ComponentLauncher::startProgram(const QString& path)
{
    QProcess process;
    process.setProgram(path);
    process.setWorkingDirectory(QFileInfo(path).absolutePath());
    return process.startDetached();
}

void ComponentLauncher::runComponent(const QString& className)
{
    std::unique_ptr<SuiteComponent> component = m_registry.create(className, m_suite, m_ui);
    component->zh();
}

} // namespace talor
