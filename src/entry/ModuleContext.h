#pragma once

#include "entry/MainWindowState.h"
#include "sheet/ColumnFields.h"
#include "sheet/TemplatePattern.h"

namespace talor {

class SuiteServices;
class UiService;
namespace grid {
class Workbook;
}

// What the parts of the module work on, owned by the main window (state, recordsets and
// workbook) or by the parts (ColumnField and the template's patterns), and the suite and UI
// services that outlive them all.
struct ModuleContext
{
    SuiteServices& suite;
    UiService& ui;
    MainWindowState& state;
    ModuleRecordsets& records;
    ColumnFields& columns;
    ReportPatterns& patterns;
    grid::Workbook& book;
};

} // namespace talor
