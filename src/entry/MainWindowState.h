#pragma once

#include "db/Recordset.h"
#include "query/RecordQueries.h"
#include "sheet/RecordDisplay.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace talor {

// The main window's module state that the other parts of the module read and write: what the
// display reads (BlankZero, the abnormal colours, ReportTitle), what the queries read
// (DeptCondition, PersonCondition, SuiteFilter), and the window's own flags.
struct MainWindowState : SheetState, QueryState
{
    bool DataChanged = false;
    QString SetupIf;
    bool PrintRest = false;
};

// The module-wide recordsets, opened at load on the suite's connection and afterwards always
// closed before they are reopened.
struct ModuleRecordsets
{
    std::array<Recordset, 3> TreeRecords; // TreeRecords1: one per tree level; the set-up reuses the first
    Recordset MenuRecords;
    Recordset EmployeeRecords;
    Recordset PersonTemplateRecords;
};

} // namespace talor
