#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace talor {

class Recordset;
class SuiteServices;

// Starts other suite modules: a program file, detached, or a component run modally through
// its `zh`. Behind an interface so that tests see what was started.
class ModuleLauncher
{
public:
    virtual ~ModuleLauncher() = default;
    // Starts the program without waiting for it; false when it could not be started.
    virtual bool startProgram(const QString& path) = 0;
    // Creates the component of class `className` ("SALARY.clszh"), calls its zh and releases
    // it; throws std::exception when the component cannot be created or its call fails.
    virtual void runComponent(const QString& className) = 0;
};

// How a click on an external module menu ended; the window shows `message` (when not empty)
// with an OK button and `title`.
struct ModuleMenuOutcome
{
    enum class Kind
    {
        NotRegistered,
        NotAuthorised,
        ProgramStarted,
        ProgramFailed,
        ComponentRun,
        ComponentFailed
    };
    Kind kind;
    QString message;
    QString title;
};

// The external module menus MNE1 to MNE7 and RunModuleMenu. The window asks refusal() first,
// then the unsaved-data guard, then clickExternalMenu(): a menu that is refused anyway does not
// ask the operator to give up unsaved edits.
class ModuleMenus
{
public:
    ModuleMenus(SuiteServices& suite, Recordset& menuRecords, ModuleLauncher& launcher);

    // MNE`position` (1 to 7): hands the position's menu name to the suite, then runs it.
    ModuleMenuOutcome clickExternalMenu(int position);
    // Runs the suite's current menu: the SYS02 row, the rights test, then program or component.
    ModuleMenuOutcome runModuleMenu();
    // MNE`position`'s menu name handed to the suite, then its SYS02 row and the rights test:
    // the outcome that refuses it (not registered, not authorised), or nothing when it may run.
    std::optional<ModuleMenuOutcome> refusal(int position);

    // The rights test: ",name," in the allowed-menu list, or zxtm starting or ending with "*".
    static bool operatorMayUse(const QString& allowedMenus, const QString& name, const QString& zxtm);
    // `mkwj` in upper case without any ".DLL"; "???" when it is null.
    static QString moduleName(const QVariant& mkwj);
    // A module name that stays inside its folder: not empty, no "/" or "\\", not "." or "..".
    // Program files and component libraries are both found by such a name only.
    static bool isPlainModuleName(const QString& module);

private:
    std::optional<ModuleMenuOutcome> refusalOfCurrentMenu();

    SuiteServices& m_suite;
    Recordset& m_menuRecords;
    ModuleLauncher& m_launcher;
};

} // namespace talor
