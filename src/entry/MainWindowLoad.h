#pragma once

#include "entry/MainWindowState.h"
#include "entry/TreeFill.h"

namespace talor {

class SuiteServices;

// The window side of the load step: what the load hands to controls.
class LoadTarget
{
public:
    virtual ~LoadTarget() = default;
    // The filled department tree (step 4); duplicates are to be reported, not shown.
    virtual void showTree(const TreeFillResult& tree) = 0;
    // The set-up dialog, shown modally; the load goes on when it closes (step 9).
    virtual void showSetupDialog() = 0;
    // Grid sheet 1 named "" and in-cell editing off (step 14).
    virtual void prepareGrid() = 0;
    // Loads the background picture; false when the file is no readable picture (step 15).
    virtual bool setBackgroundPicture(const QString& path) = 0;
    virtual void setExternalMenuCaption(int position, const QString& caption) = 0; // step 16
    virtual void setWindowCaption(const QString& caption) = 0;                     // step 17
    virtual void setWindowIconFile(const QString& path) = 0;                       // step 18
};

// The main window's load step, in its order: RefreshFlag 0, SavedTable, ReportKey, the tree,
// the module-wide recordsets, MODEL8 keys, CurrentTable and SetupIf (with the set-up dialog
// when the module is not set up), view names and SuiteFilter, the grid, the background
// picture, the external menu captions, caption, icon and ReportOption. A failing database or
// suite call ends the load with its error.
class MainWindowLoad
{
public:
    MainWindowLoad(SuiteServices& suite, ModuleRecordsets& records, MainWindowState& state,
                   LoadTarget& target);

    void run();

    // The query texts of the module-wide recordsets.
    static inline const QString MenuQuery = QStringLiteral("select * from SYS02");
    static inline const QString EmployeeQuery = QStringLiteral("select memberid,name from ygzl");
    static inline const QString PersonTemplateQuery = QStringLiteral("select * from YGZL where memberid='1'");

private:
    void loadBackgroundPicture();

    SuiteServices& m_suite;
    ModuleRecordsets& m_records;
    MainWindowState& m_state;
    LoadTarget& m_target;
};

} // namespace talor
