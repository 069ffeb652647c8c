#pragma once

#include "suite/SuiteServices.h"

#include <QHash>
#include <QMap>
#include <QSqlDatabase>

namespace talor::test {

// An in-memory suite for tests of the module's windows and logic: every value is a public
// field the test sets or checks, settings live in a map keyed by file, section and key, and
// the dictionary lookups answer from small maps. The database is whatever connection the
// test hands in (usually a SQLite file it filled itself).
class FakeSuite : public SuiteServices
{
public:
    struct FieldEntry
    {
        QString caption, type, format;
        int codeKind = 0;
    };

    // Settings: file path -> "section\nkey" -> value.
    QMap<QString, QMap<QString, QString>> settings;
    QStringList settingsWrites; // "section/key=value" in the order written

    QSqlDatabase db;
    QString dbKind = "2";
    QString organisation = "示范公司", operatorNameValue = "张三", moduleKeyValue = "考勤日报";
    QString reportKeyValue, scope = "出勤", filter;
    QString current, saved, view;
    QHash<QString, QString> tableCaptions;                 // code -> caption
    QHash<QString, FieldEntry> fields;                     // field name (any case) -> entry
    QHash<QString, QHash<QString, QString>> fieldsOfTable; // table -> field -> caption
    QString hidden, unsaved;
    QHash<QString, QString> categoryNames; // category + "\n" + code -> name
    QHash<QString, QString> groupNames;    // department + "\n" + code -> name
    QHash<QString, QString> teamNames;     // department + "\n" + group + "\n" + code -> name
    QString appDir, workDir, templateDir, iconDir, iconFile = "talor.png", tempDir, settingsDir,
                                                   settingsFile = "talor.ini", secondFile = "suite2.ini";
    int refresh = 0, status = 0, row = 0, column = 0;
    QString option;
    QDate date = QDate(2026, 11, 5);
    QString start = "2026-11-01", end = "2026-11-30";
    QString department, group, team, person, number;
    QString select, from, where, order, query;
    QString menuName, menuPicture, allowed;
    QStringList picker = {"考勤项目"};
    int lock = 0;
    QString prefix, access, accessComparison;
    QStringList actions;

    static QString settingsKey(const QString& section, const QString& key) { return section + "\n" + key; }
    // When not empty, every settings write fails with this message (a full disk, say).
    QString failingWrites;
    // Settings files (directory/name) whose reads fail.
    QStringList unreadableFiles;

    QString setting(const QString& section, const QString& key) const
    {
        return settings.value(settingsPath()).value(settingsKey(section, key));
    }
    void setSetting(const QString& section, const QString& key, const QString& value)
    {
        settings[settingsPath()][settingsKey(section, key)] = value;
    }
    QString settingsPath() const { return settingsDir + "/" + settingsFile; }

    QString settingsDirectory() const override { return settingsDir; }
    QString settingsFileName() const override { return settingsFile; }
    QString secondFileName() const override { return secondFile; }
    QString readSetting(const QString& section, const QString& key, const QString& file) override
    {
        if (unreadableFiles.contains(file))
            throw SuiteError("Cannot read the settings file " + file);
        return settings.value(file).value(settingsKey(section, key));
    }
    void writeSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file) override
    {
        if (!failingWrites.isEmpty())
            throw SuiteError(failingWrites);
        settings[file][settingsKey(section, key)] = value;
        settingsWrites << section + "/" + key + "=" + value;
    }

    QSqlDatabase connection() override { return db; }
    QString databaseKind() const override { return dbKind; }

    QString organisationName() const override { return organisation; }
    QString operatorName() const override { return operatorNameValue; }
    QString moduleKey() const override { return moduleKeyValue; }
    QString reportKey() const override { return reportKeyValue; }
    void setReportKey(const QString& key) override { reportKeyValue = key; }
    QString scopeText() const override { return scope; }
    QString filterText() const override { return filter; }

    QString currentTable() const override { return current; }
    void setCurrentTable(const QString& code) override { current = code; }
    QString savedTable() const override { return saved; }
    void setSavedTable(const QString& code) override { saved = code; }
    QString tableLookup(const QString& caption, const QString& code) override
    {
        if (!code.isEmpty())
            return tableCaptions.value(code);
        return tableCaptions.key(caption);
    }
    void setViewName(const QString& caption) override { view = caption; }
    QString viewName() const override { return view; }

    FieldEntry entry(const QString& field) const { return fields.value(field.toLower()); }
    QString fieldCaption(const QString& field, const QString& table = {}) override
    {
        if (!table.isEmpty())
            return fieldsOfTable.value(table).value(field.toLower());
        return entry(field).caption;
    }
    QString fieldName(const QString& caption, const QString& = {}) override
    {
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            if (it->caption == caption)
                return it.key();
        return {};
    }
    QString fieldType(const QString& field, const QString& = {}) override { return entry(field).type; }
    QString fieldFormat(const QString& field, const QString& = {}) override { return entry(field).format; }
    int fieldCodeKind(const QString& field, const QString& = {}) override { return entry(field).codeKind; }
    QString hiddenFields() override { return hidden; }
    QString unsavedFields() override { return unsaved; }

    // The code whose "prefix + code" key holds `name`.
    static QString codeOf(const QHash<QString, QString>& names, const QString& prefix, const QString& name)
    {
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            if (it.value() == name && it.key().startsWith(prefix))
                return it.key().mid(prefix.size());
        return {};
    }
    QString categoryName(const QString& c, const QString& code) override
    {
        return categoryNames.value(c + "\n" + code);
    }
    QString categoryCode(const QString& c, const QString& n) override
    {
        return codeOf(categoryNames, c + "\n", n);
    }
    QString groupName(const QString& d, const QString& code) override
    {
        return groupNames.value(d + "\n" + code);
    }
    QString groupCode(const QString& d, const QString& n) override { return codeOf(groupNames, d + "\n", n); }
    QString teamName(const QString& d, const QString& g, const QString& c) override
    {
        return teamNames.value(d + "\n" + g + "\n" + c);
    }
    QString teamCode(const QString& d, const QString& g, const QString& n) override
    {
        return codeOf(teamNames, d + "\n" + g + "\n", n);
    }
    QString departmentCode(const QString&, const QString& d) override { return categoryCode("部门", d); }

    QString applicationDirectory() const override { return appDir; }
    QString workDirectory() const override { return workDir; }
    QString templateDirectory() const override { return templateDir; }
    QString iconDirectory() const override { return iconDir; }
    QString iconFileName() const override { return iconFile; }
    QString temporaryDirectory() const override { return tempDir; }

    int refreshFlag() const override { return refresh; }
    void setRefreshFlag(int value) override { refresh = value; }
    QString reportOption() const override { return option; }
    void setReportOption(const QString& value) override { option = value; }
    int statusValue() const override { return status; }
    void setStatusValue(int value) override { status = value; }
    QDate reportDate() const override { return date; }
    void setReportDate(const QDate& value) override { date = value; }
    QString periodStart() const override { return start; }
    void setPeriodStart(const QString& text) override { start = text; }
    QString periodEnd() const override { return end; }
    void setPeriodEnd(const QString& text) override { end = text; }
    QString departmentName() const override { return department; }
    void setDepartmentName(const QString& name) override { department = name; }
    QString groupName() const override { return group; }
    void setGroupName(const QString& name) override { group = name; }
    QString teamName() const override { return team; }
    void setTeamName(const QString& name) override { team = name; }
    QString personName() const override { return person; }
    void setPersonName(const QString& name) override { person = name; }
    QString personNumber() const override { return number; }
    void setPersonNumber(const QString& value) override { number = value; }
    int gridRow() const override { return row; }
    void setGridRow(int value) override { row = value; }
    int gridColumn() const override { return column; }
    void setGridColumn(int value) override { column = value; }
    QString selectPart() const override { return select; }
    void setSelectPart(const QString& text) override { select = text; }
    QString fromPart() const override { return from; }
    void setFromPart(const QString& text) override { from = text; }
    QString wherePart() const override { return where; }
    void setWherePart(const QString& text) override { where = text; }
    QString orderPart() const override { return order; }
    void setOrderPart(const QString& text) override { order = text; }
    QString composedQuery() const override { return query; }
    void setComposedQuery(const QString& sql) override { query = sql; }
    QString action(const QString& text) override
    {
        actions << text;
        return operatorNameValue + " " + text;
    }

    QString currentMenuName() const override { return menuName; }
    void setCurrentMenuName(const QString& name) override { menuName = name; }
    QString currentMenuPicture() const override { return menuPicture; }
    void setCurrentMenuPicture(const QString& picture) override { menuPicture = picture; }
    QString allowedMenus() const override { return allowed; }

    QString pad(int width, const QString& text, const QString& fill) override
    {
        return text.leftJustified(width, fill.isEmpty() ? u' ' : fill.front());
    }
    QString zeroFill(int value, int width, const QString& fill) override
    {
        return QString::number(value).rightJustified(width, fill.isEmpty() ? u'0' : fill.front());
    }
    QStringList fieldPickerList() override { return picker; }
    int lockSwitch() const override { return lock; }
    QString codePrefix() const override { return prefix; }
    QString accessCode() const override { return access; }
    QString accessComparisonText() const override { return accessComparison; }
};

} // namespace talor::test
