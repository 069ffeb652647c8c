#pragma once

#include "db/Recordset.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace talor {

// The main window's module state that the other parts of the module read and write.
struct MainWindowState
{
    static constexpr quint32 DefaultAbnormalColour = 11177215; // 0xAA8CFF
    static constexpr quint32 White = 16777215;

    bool DataChanged = false;
    bool BlankZero = false;
    QString DeptCondition;
    QString PersonCondition;
    QString SuiteFilter;
    quint32 AbnormalColour1 = DefaultAbnormalColour;
    quint32 AbnormalColour2 = DefaultAbnormalColour;
    quint32 AbnormalColour3 = DefaultAbnormalColour;
    QString SetupIf;
    QString ReportTitle;
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
