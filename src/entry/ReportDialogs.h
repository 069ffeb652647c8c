#pragma once

#include "entry/ModuleParts.h"

class QWidget;

namespace talor {

class SuiteServices;
class UiService;

// The main window's report dialogs: the select-report dialog frmSQL0, whose 模版 button opens
// the template designer frmMODEL over it, both modal through the UI service.
class ReportDialogs : public ModuleDialogs
{
public:
    ReportDialogs(SuiteServices& suite, UiService& ui, QWidget* parent);

    void selectReport() override;

private:
    SuiteServices& m_suite;
    UiService& m_ui;
    QWidget* m_parent;
};

} // namespace talor
