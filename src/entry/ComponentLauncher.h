#pragma once

#include "commands/ModuleMenus.h"
#include "entry/ModuleRegistry.h"

namespace talor {

class SuiteServices;
class UiService;

// Starts suite modules for real: programs as detached processes in the application
// directory, components through the module registry on the same suite and UI service.
// Desktops without a window manager have no minimised state; a program starts normally there.
class ComponentLauncher : public ModuleLauncher
{
public:
    ComponentLauncher(SuiteServices& suite, UiService& ui, ModuleRegistry registry);

    bool startProgram(const QString& path) override;
    void runComponent(const QString& className) override;

private:
    SuiteServices& m_suite;
    UiService& m_ui;
    ModuleRegistry m_registry;
};

} // namespace talor
