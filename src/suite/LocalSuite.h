#pragma once

#include "suite/SuiteConfig.h"
#include "suite/SuiteDictionary.h"
#include "suite/SuiteServices.h"

#include <QStringList>
#include <memory>
#include <utility>

namespace talor {

// The suite services of one process, read from a suite configuration file: it opens the
// suite's database (its own uniquely named connection), reads and writes settings files
// afresh on every call, answers the field dictionary and code lookups from the suite tables
// of that database, and keeps the shared values in memory.
//
// The start-up order (RefreshFlag := 0, SavedTable := CurrentTable, ReportKey := ModuleKey,
// ...) is the main window's business; this object only offers the values. The first values
// come from the configuration: CurrentTable from [suite] currentTable, the report date and
// period from [values] (today and the current month when absent), ReportKey = ModuleKey.
class LocalSuite : public SuiteServices
{
public:
    // Opens the suite of the configuration file. Throws SuiteError naming the file (missing,
    // unreadable, bad value, SQLite database file missing) or the server (cannot connect).
    explicit LocalSuite(const QString& configurationFile);
    explicit LocalSuite(const SuiteConfig& config);
    ~LocalSuite() override;

    LocalSuite(const LocalSuite&) = delete;
    LocalSuite& operator=(const LocalSuite&) = delete;

    // The period without configured values: the first and the last day of `today`'s month.
    static std::pair<QString, QString> defaultPeriod(const QDate& today);

    const SuiteConfig& config() const { return m_config; }
    QString connectionName() const { return m_connectionName; }
    // Forgets the cached field dictionary and code tables; the next lookup reads them again.
    void reloadDictionary();
    // The actions recorded by action(), oldest first.
    QStringList actions() const { return m_actions; }

    // --- Settings
    QString settingsDirectory() const override { return m_config.settingsDirectory; }
    QString settingsFileName() const override { return m_config.settingsFile; }
    QString secondFileName() const override { return m_config.secondFile; }
    QString readSetting(const QString& section, const QString& key, const QString& file) override;
    void writeSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file) override;
    void writeSettings(const QString& section, const SettingValues& values, const QString& file) override;
    void updateSettings(const QString& section, const SettingsChange& change, const QString& file) override;

    // --- Database
    QSqlDatabase connection() override;
    QString databaseKind() const override { return m_config.databaseKind; }

    // --- Identity
    QString organisationName() const override { return m_config.organisation; }
    QString operatorName() const override { return m_config.operatorName; }
    QString moduleKey() const override { return m_config.moduleKey; }
    QString reportKey() const override { return m_reportKey; }
    void setReportKey(const QString& key) override { m_reportKey = key; }
    QString scopeText() const override { return m_config.scope; }
    QString filterText() const override { return m_config.filter; }

    // --- Tables
    QString currentTable() const override { return m_currentTable; }
    void setCurrentTable(const QString& code) override { m_currentTable = code; }
    QString savedTable() const override { return m_savedTable; }
    void setSavedTable(const QString& code) override { m_savedTable = code; }
    QString tableLookup(const QString& caption, const QString& code) override;
    void setViewName(const QString& caption) override { m_viewName = caption; }
    QString viewName() const override { return m_viewName; }

    // --- Field dictionary (an empty table means CurrentTable)
    QString fieldCaption(const QString& field, const QString& table = {}) override;
    QString fieldName(const QString& caption, const QString& table = {}) override;
    QString fieldType(const QString& field, const QString& table = {}) override;
    QString fieldFormat(const QString& field, const QString& table = {}) override;
    int fieldCodeKind(const QString& field, const QString& table = {}) override;
    // The captions of CurrentTable's hidden (unsaved) fields, sorted and joined with ",".
    QString hiddenFields() override;
    QString unsavedFields() override;

    // --- Code lookups
    QString categoryName(const QString& category, const QString& code) override;
    QString categoryCode(const QString& category, const QString& name) override;
    QString groupName(const QString& department, const QString& groupCode) override;
    QString groupCode(const QString& department, const QString& group) override;
    QString teamName(const QString& department, const QString& group, const QString& teamCode) override;
    QString teamCode(const QString& department, const QString& group, const QString& team) override;
    // The department's code in category "部门"; when it has none there, its code in the
    // category named by `fieldKey` (the caption the field lookup gives for "depart").
    QString departmentCode(const QString& fieldKey, const QString& department) override;

    // --- Paths
    QString applicationDirectory() const override { return m_config.applicationDirectory; }
    QString workDirectory() const override { return m_config.workDirectory; }
    // [paths] log when given; otherwise the application directory, unless that is the talor
    // program's own directory: an installed program's directory belongs to its package, not to
    // the operator, so the work directory takes the log there.
    QString logDirectory() const override;
    QString templateDirectory() const override { return m_config.templateDirectory; }
    QString iconDirectory() const override { return m_config.iconDirectory; }
    QString iconFileName() const override { return m_config.iconFile; }
    QString temporaryDirectory() const override { return m_config.temporaryDirectory; }

    // --- Shared values
    int refreshFlag() const override { return m_refreshFlag; }
    void setRefreshFlag(int value) override { m_refreshFlag = value; }
    QString reportOption() const override { return m_reportOption; }
    void setReportOption(const QString& option) override { m_reportOption = option; }
    int statusValue() const override { return m_statusValue; }
    void setStatusValue(int value) override { m_statusValue = value; }
    QDate reportDate() const override { return m_reportDate; }
    void setReportDate(const QDate& date) override { m_reportDate = date; }
    QString periodStart() const override { return m_periodStart; }
    void setPeriodStart(const QString& text) override { m_periodStart = text; }
    QString periodEnd() const override { return m_periodEnd; }
    void setPeriodEnd(const QString& text) override { m_periodEnd = text; }
    QString departmentName() const override { return m_departmentName; }
    void setDepartmentName(const QString& name) override { m_departmentName = name; }
    QString groupName() const override { return m_groupName; }
    void setGroupName(const QString& name) override { m_groupName = name; }
    QString teamName() const override { return m_teamName; }
    void setTeamName(const QString& name) override { m_teamName = name; }
    QString personName() const override { return m_personName; }
    void setPersonName(const QString& name) override { m_personName = name; }
    QString personNumber() const override { return m_personNumber; }
    void setPersonNumber(const QString& number) override { m_personNumber = number; }
    int gridRow() const override { return m_gridRow; }
    void setGridRow(int row) override { m_gridRow = row; }
    int gridColumn() const override { return m_gridColumn; }
    void setGridColumn(int column) override { m_gridColumn = column; }
    QString selectPart() const override { return m_selectPart; }
    void setSelectPart(const QString& text) override { m_selectPart = text; }
    QString fromPart() const override { return m_fromPart; }
    void setFromPart(const QString& text) override { m_fromPart = text; }
    QString wherePart() const override { return m_wherePart; }
    void setWherePart(const QString& text) override { m_wherePart = text; }
    QString orderPart() const override { return m_orderPart; }
    void setOrderPart(const QString& text) override { m_orderPart = text; }
    QString composedQuery() const override { return m_composedQuery; }
    void setComposedQuery(const QString& sql) override { m_composedQuery = sql; }
    // Records the action and returns the operator's name, a blank and the action ("张三 查询").
    QString action(const QString& action) override;

    // --- Menus
    QString currentMenuName() const override { return m_currentMenuName; }
    void setCurrentMenuName(const QString& name) override { m_currentMenuName = name; }
    QString currentMenuPicture() const override { return m_currentMenuPicture; }
    void setCurrentMenuPicture(const QString& picture) override { m_currentMenuPicture = picture; }
    QString allowedMenus() const override { return m_config.allowedMenus; }

    // --- Other
    QString pad(int width, const QString& text, const QString& fill) override;
    QString zeroFill(int number, int width, const QString& fill) override;
    // Entry 0: the caption of CurrentTable (or "项目" without one); then the captions of the
    // fields with a picker order, in that order.
    QStringList fieldPickerList() override;
    int lockSwitch() const override { return m_config.lockSwitch; }
    QString codePrefix() const override { return m_config.codePrefix; }
    QString accessCode() const override { return m_config.accessCode; }
    QString accessComparisonText() const override { return m_config.accessComparison; }

private:
    void open();
    const SuiteDictionary::Field* entry(const QString& field, const QString& table);
    QString joinedCaptions(bool SuiteDictionary::Field::*flag);

    SuiteConfig m_config;
    QString m_connectionName;
    std::unique_ptr<SuiteDictionary> m_dictionary;

    QString m_reportKey;
    QString m_currentTable;
    QString m_savedTable;
    QString m_viewName;
    int m_refreshFlag = 0;
    QString m_reportOption;
    int m_statusValue = 0;
    QDate m_reportDate;
    QString m_periodStart;
    QString m_periodEnd;
    QString m_departmentName;
    QString m_groupName;
    QString m_teamName;
    QString m_personName;
    QString m_personNumber;
    int m_gridRow = 0;
    int m_gridColumn = 0;
    QString m_selectPart;
    QString m_fromPart;
    QString m_wherePart;
    QString m_orderPart;
    QString m_composedQuery;
    QString m_currentMenuName;
    QString m_currentMenuPicture;
    QStringList m_actions;
};

} // namespace talor
