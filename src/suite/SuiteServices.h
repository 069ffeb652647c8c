#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>
#include <utility>

namespace talor {

// A failing suite call: the message names what failed (the file, the server, the lookup).
class SuiteError : public std::runtime_error
{
public:
    explicit SuiteError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The suite's shared service object as every module sees it: settings, database, identity,
// tables, the field dictionary with its code lookups, paths, the values that modules hand to
// each other, menus and a few helpers. One object per process; code reaches it through the
// reference it was given.
//
// Contracts every implementation keeps: an absent setting reads as the empty text; a lookup
// that finds nothing returns the empty text; a value that is set comes back unchanged from
// its getter; a call that fails throws SuiteError naming what failed.
class SuiteServices
{
public:
    virtual ~SuiteServices() = default;

    // --- Settings -----------------------------------------------------------------------
    virtual QString settingsDirectory() const = 0;
    virtual QString settingsFileName() const = 0;
    virtual QString secondFileName() const = 0;
    // Reads section/key of the settings file at path `file`; empty when absent.
    virtual QString readSetting(const QString& section, const QString& key, const QString& file) = 0;
    // The second read form of the suite; the same contract as readSetting.
    QString readSetting2(const QString& section, const QString& key, const QString& file)
    {
        return readSetting(section, key, file);
    }
    virtual void writeSetting(const QString& section, const QString& key, const QString& value,
                              const QString& file) = 0;
    // Keys of one section with their values, in order.
    using SettingValues = QList<std::pair<QString, QString>>;
    // Several keys of one section, in order; a suite that can writes them at once, so that the
    // file takes all of them or none.
    virtual void writeSettings(const QString& section, const SettingValues& values, const QString& file)
    {
        for (const auto& [key, value] : values)
            writeSetting(section, key, value, file);
    }
    // Reads keys of one section of the file as it is now.
    using SettingsReader = std::function<QString(const QString& key)>;
    // What to write into a section, worked out from what it holds.
    using SettingsChange = std::function<SettingValues(const SettingsReader& read)>;
    // One read-modify-write of a section: `change` reads the section and returns the keys to
    // write. A suite that can holds the file's lock from the read to the write, so that what
    // another process writes in between is not lost (counts, numbered lists).
    virtual void updateSettings(const QString& section, const SettingsChange& change, const QString& file)
    {
        writeSettings(section, change([&](const QString& key) { return readSetting(section, key, file); }),
                      file);
    }

    // --- Database -----------------------------------------------------------------------
    // The open connection every recordset runs its commands on.
    virtual QSqlDatabase connection() = 0;
    // The database-kind text: a leading number greater than 1 means quoted date literals.
    virtual QString databaseKind() const = 0;

    // --- Identity -----------------------------------------------------------------------
    virtual QString organisationName() const = 0;
    virtual QString operatorName() const = 0;
    virtual QString moduleKey() const = 0;
    virtual QString reportKey() const = 0;
    virtual void setReportKey(const QString& key) = 0;
    virtual QString scopeText() const = 0;
    virtual QString filterText() const = 0;

    // --- Tables -------------------------------------------------------------------------
    virtual QString currentTable() const = 0;
    virtual void setCurrentTable(const QString& code) = 0;
    virtual QString savedTable() const = 0;
    virtual void setSavedTable(const QString& code) = 0;
    // (caption, "") gives the table's code; ("", code) gives its caption; empty when unknown.
    virtual QString tableLookup(const QString& caption, const QString& code) = 0;
    // Tells the suite which view (table caption or "在职资料") the module is showing.
    virtual void setViewName(const QString& caption) = 0;
    virtual QString viewName() const = 0;

    // --- Field dictionary ---------------------------------------------------------------
    // Field entries belong to a table; `table` empty means the current table. Entries kept
    // for all tables apply to every table that has no entry of its own for the field.
    virtual QString fieldCaption(const QString& field, const QString& table = {}) = 0;
    // The reverse: the field name whose caption is `caption` (a template's column label).
    virtual QString fieldName(const QString& caption, const QString& table = {}) = 0;
    // "S", "I", "D", "T", "Y", or another text for an untyped field.
    virtual QString fieldType(const QString& field, const QString& table = {}) = 0;
    virtual QString fieldFormat(const QString& field, const QString& table = {}) = 0;
    // 0 plain text, 1 team code, 2 group code, 3 dictionary code (category = the caption).
    virtual int fieldCodeKind(const QString& field, const QString& table = {}) = 0;
    // Captions of the fields not shown / not saved, joined in one text (substring tests).
    virtual QString hiddenFields() = 0;
    virtual QString unsavedFields() = 0;

    // --- Code lookups -------------------------------------------------------------------
    // Category codes, such as "部门" (department) or a field's caption for kind-3 codes.
    virtual QString categoryName(const QString& category, const QString& code) = 0;
    virtual QString categoryCode(const QString& category, const QString& name) = 0;
    virtual QString groupName(const QString& department, const QString& groupCode) = 0;
    virtual QString groupCode(const QString& department, const QString& group) = 0;
    virtual QString teamName(const QString& department, const QString& group, const QString& teamCode) = 0;
    virtual QString teamCode(const QString& department, const QString& group, const QString& team) = 0;
    // The department encoding used in query filters: `fieldKey` is the field name that the
    // field lookup gives for "depart".
    virtual QString departmentCode(const QString& fieldKey, const QString& department) = 0;

    // --- Paths --------------------------------------------------------------------------
    virtual QString applicationDirectory() const = 0;
    // Where the "Log" folder of saved sheets goes; by default the application directory.
    virtual QString logDirectory() const { return applicationDirectory(); }
    virtual QString workDirectory() const = 0;
    virtual QString templateDirectory() const = 0;
    virtual QString iconDirectory() const = 0;
    virtual QString iconFileName() const = 0;
    virtual QString temporaryDirectory() const = 0;

    // --- Shared values ------------------------------------------------------------------
    virtual int refreshFlag() const = 0;
    virtual void setRefreshFlag(int value) = 0;
    virtual QString reportOption() const = 0;
    virtual void setReportOption(const QString& option) = 0;
    virtual int statusValue() const = 0;
    virtual void setStatusValue(int value) = 0;
    virtual QDate reportDate() const = 0;
    virtual void setReportDate(const QDate& date) = 0;
    virtual QString periodStart() const = 0;
    virtual void setPeriodStart(const QString& text) = 0;
    virtual QString periodEnd() const = 0;
    virtual void setPeriodEnd(const QString& text) = 0;
    virtual QString departmentName() const = 0;
    virtual void setDepartmentName(const QString& name) = 0;
    virtual QString groupName() const = 0;
    virtual void setGroupName(const QString& name) = 0;
    virtual QString teamName() const = 0;
    virtual void setTeamName(const QString& name) = 0;
    virtual QString personName() const = 0;
    virtual void setPersonName(const QString& name) = 0;
    virtual QString personNumber() const = 0;
    virtual void setPersonNumber(const QString& number) = 0;
    virtual int gridRow() const = 0;
    virtual void setGridRow(int row) = 0;
    virtual int gridColumn() const = 0;
    virtual void setGridColumn(int column) = 0;
    // Query pieces and the composed query that the query builders leave behind.
    virtual QString selectPart() const = 0;
    virtual void setSelectPart(const QString& text) = 0;
    virtual QString fromPart() const = 0;
    virtual void setFromPart(const QString& text) = 0;
    virtual QString wherePart() const = 0;
    virtual void setWherePart(const QString& text) = 0;
    virtual QString orderPart() const = 0;
    virtual void setOrderPart(const QString& text) = 0;
    virtual QString composedQuery() const = 0;
    virtual void setComposedQuery(const QString& sql) = 0;
    // The suite's action operation: records that the operator does `action` ("查询") and
    // returns the suite's text for it.
    virtual QString action(const QString& action) = 0;

    // --- Menus --------------------------------------------------------------------------
    virtual QString currentMenuName() const = 0;
    virtual void setCurrentMenuName(const QString& name) = 0;
    virtual QString currentMenuPicture() const = 0;
    virtual void setCurrentMenuPicture(const QString& picture) = 0;
    // A comma list with a comma before and after every name: ",A,B,".
    virtual QString allowedMenus() const = 0;

    // --- Other --------------------------------------------------------------------------
    // `text` padded on the right with `fill` to `width` characters (never cut).
    virtual QString pad(int width, const QString& text, const QString& fill) = 0;
    // `number` in decimal, filled on the left with `fill` to `width` characters.
    virtual QString zeroFill(int number, int width, const QString& fill) = 0;
    // The field picker's list: entry 0 is the list's title, entries 1.. the field labels.
    virtual QStringList fieldPickerList() = 0;
    // Supervisor-guard texts.
    virtual int lockSwitch() const = 0;
    virtual QString codePrefix() const = 0;
    virtual QString accessCode() const = 0;
    virtual QString accessComparisonText() const = 0;
};

} // namespace talor
