#pragma once

#include "entry/SuiteComponent.h"

#include <memory>

namespace talor {

class ModuleLauncher;
class ModuleParts;
class ReportDialogs;
class frmKQJL;

// The module's public class: zh shows the main window frmKQJL modally with no owner and
// returns the empty text when the operator has closed it. The parts of the module (layout,
// queries, display, clicks) are built over the window and plugged into it as its commands. The window is
// created at the first call and kept: a later call shows the same window again, and its load runs again.
class clszh : public SuiteComponent
{
public:
    // `launcher` starts other suite modules from the window; null means the real launcher.
    clszh(SuiteServices& suite, UiService& ui, ModuleLauncher* launcher = nullptr);
    ~clszh() override;

    QString zh() override;

    // The window of this module instance; null before the first zh.
    frmKQJL* window() const { return m_window.get(); }

private:
    SuiteServices& m_suite;
    UiService& m_ui;
    ModuleLauncher* m_launcher;
    std::unique_ptr<frmKQJL> m_window;
    std::unique_ptr<ModuleParts> m_parts; // the layout, queries, display and clicks over the window
    std::unique_ptr<ReportDialogs> m_dialogs;
};

} // namespace talor
