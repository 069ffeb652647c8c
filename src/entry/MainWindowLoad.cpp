#include "entry/MainWindowLoad.h"

#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SettingRules.h"
#include "suite/SuiteServices.h"

#include <QDir>
#include <QFileInfo>

namespace talor {

MainWindowLoad::MainWindowLoad(SuiteServices& suite, ModuleRecordsets& records, MainWindowState& state,
                               LoadTarget& target)
    : m_suite(suite), m_records(records), m_state(state), m_target(target)
{}

void MainWindowLoad::run()
{
    ModuleSettings settings(m_suite);
    const QSqlDatabase db = m_suite.connection();

    m_suite.setRefreshFlag(0);
    m_suite.setSavedTable(m_suite.currentTable());
    m_suite.setReportKey(m_suite.moduleKey());

    m_records.TreeRecords[1].open(DepartmentRootQuery, db);
    m_records.TreeRecords[2].open(DepartmentRootQuery, db);
    m_target.showTree(fillDepartmentTree(m_suite, m_records.TreeRecords));

    m_records.MenuRecords.open(MenuQuery, db);

    settings.write(keys::DesignerModule, "TALOR");
    settings.write(keys::DesignerKind, m_suite.reportOption());

    m_suite.setCurrentTable(settings.read(keys::Table));
    m_state.SetupIf = settings.read(keys::HideSetup);
    if (m_suite.currentTable().isEmpty() || m_state.SetupIf != "YES")
        m_target.showSetupDialog();

    m_suite.setViewName(QStringLiteral("在职资料"));
    m_state.SuiteFilter = m_suite.filterText();
    m_suite.setViewName(m_suite.tableLookup({}, m_suite.currentTable()));

    m_records.EmployeeRecords.open(EmployeeQuery, m_suite.connection());
    m_records.PersonTemplateRecords.open(PersonTemplateQuery, m_suite.connection());

    m_state.DataChanged = false;
    m_state.PrintRest = false;

    m_target.prepareGrid();
    loadBackgroundPicture();

    for (int n = 1; n <= 7; ++n)
        m_target.setExternalMenuCaption(n, settings.read(keys::ExternalMenu, n));
    m_target.setWindowCaption(m_suite.moduleKey());
    m_target.setWindowIconFile(QDir(m_suite.iconDirectory()).filePath(m_suite.iconFileName()));

    // A new install has no kind yet, and a damaged one is no kind: both start on the one-day report.
    m_suite.setReportOption(reportKindValue(settings.read(keys::ReportKind)));
}

void MainWindowLoad::loadBackgroundPicture()
{
    const QString configured = ModuleSettings(m_suite).read(keys::Background);
    if (!configured.isEmpty() && QFileInfo(configured).isFile() && m_target.setBackgroundPicture(configured))
        return;
    const QString fallback = QDir(m_suite.applicationDirectory()).filePath(QStringLiteral("brantel.bmp"));
    if (QFileInfo(fallback).isFile())
        m_target.setBackgroundPicture(fallback);
}

} // namespace talor
