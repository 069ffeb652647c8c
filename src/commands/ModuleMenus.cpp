#include "commands/ModuleMenus.h"

#include "commands/UnsavedDataGuard.h"
#include "db/Recordset.h"
#include "db/SqlText.h"
#include "modulesettings/ModuleSettings.h"
#include "suite/SuiteServices.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

namespace talor {

ModuleMenus::ModuleMenus(SuiteServices& suite, Recordset& menuRecords, ModuleLauncher& launcher)
    : m_suite(suite), m_menuRecords(menuRecords), m_launcher(launcher)
{}

bool ModuleMenus::operatorMayUse(const QString& allowedMenus, const QString& name, const QString& zxtm)
{
    if (allowedMenus.contains("," + name + ","))
        return true;
    return zxtm.startsWith(u'*') || zxtm.endsWith(u'*');
}

QString ModuleMenus::moduleName(const QVariant& mkwj)
{
    if (mkwj.isNull())
        return QStringLiteral("???");
    return mkwj.toString().toUpper().remove(QStringLiteral(".DLL"));
}

bool ModuleMenus::isPlainModuleName(const QString& module)
{
    return !module.isEmpty() && !module.contains(u'/') && !module.contains(u'\\') && module != u"." &&
           module != u"..";
}

ModuleMenuOutcome ModuleMenus::clickExternalMenu(int position)
{
    m_suite.setCurrentMenuName(ModuleSettings(m_suite).read(keys::ExternalMenu, position));
    return runModuleMenu();
}

std::optional<ModuleMenuOutcome> ModuleMenus::refusal(int position)
{
    m_suite.setCurrentMenuName(ModuleSettings(m_suite).read(keys::ExternalMenu, position));
    return refusalOfCurrentMenu();
}

std::optional<ModuleMenuOutcome> ModuleMenus::refusalOfCurrentMenu()
{
    using Kind = ModuleMenuOutcome::Kind;
    const QString name = m_suite.currentMenuName();
    m_menuRecords.close();
    m_menuRecords.open("select * from SYS02 where cdmc=" + sql::quoted(name), m_suite.connection());
    if (m_menuRecords.eof())
        return ModuleMenuOutcome{Kind::NotRegistered, "菜单:'" + name + "'尚未登记", SystemTitle};

    m_suite.setCurrentMenuPicture(m_menuRecords.text("cdtb"));
    if (!operatorMayUse(m_suite.allowedMenus(), name, m_menuRecords.text("zxtm")))
        return ModuleMenuOutcome{Kind::NotAuthorised, m_suite.operatorName() + "未被授权使用'" + name + "'",
                                 SystemTitle};
    return std::nullopt;
}

ModuleMenuOutcome ModuleMenus::runModuleMenu()
{
    using Kind = ModuleMenuOutcome::Kind;
    if (std::optional<ModuleMenuOutcome> refused = refusalOfCurrentMenu())
        return *refused;

    const QVariant mkwj = m_menuRecords.value("mkwj");
    const QString module = moduleName(mkwj);
    const QString failed = module + ".dll" + "未注册";
    // No module file named: nothing to start, neither a program nor a component.
    if (mkwj.isNull())
        return {Kind::ComponentFailed, failed, {}};
    // The name comes from the menu table: one that could reach outside the application
    // directory ("../X") names neither a program nor a component of this suite.
    if (!isPlainModuleName(module))
        return {Kind::ComponentFailed, failed, {}};

    const QString program = QDir(m_suite.applicationDirectory()).filePath(module + ".exe");
    if (!module.isEmpty() && QFileInfo(program).isFile()) {
        if (m_launcher.startProgram(program))
            return {Kind::ProgramStarted, {}, {}};
        return {Kind::ProgramFailed, "程序" + program + "无法启动", SystemTitle};
    }

    try {
        m_launcher.runComponent(module + ".clszh");
    } catch (const std::exception&) {
        return {Kind::ComponentFailed, failed, {}};
    }
    return {Kind::ComponentRun, {}, {}};
}

} // namespace talor
