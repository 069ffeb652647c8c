#pragma once

#include "modulesettings/SettingsKeys.h"
#include "suite/SuiteServices.h"

#include <QString>

namespace talor {

// The module's access to the settings file: every call asks the suite again for the file's
// directory and name and for the key prefix, as the suite may change them at any moment.
//
// Module-wide keys are ModuleKey + suffix ("考勤日报TABLE"); per-report keys are
// ReportKey + suffix ("考勤日报 0"); an empty prefix gives the bare suffix.
class ModuleSettings
{
public:
    explicit ModuleSettings(SuiteServices& suite);

    static constexpr const char* Section = keys::Talor;

    // directory + "/" + file name, rebuilt per access.
    QString path() const;
    // directory + "/" + the suite's second file name (the About box reads one key there).
    QString secondPath() const;

    QString read(const QString& section, const QString& key) const;
    void write(const QString& section, const QString& key, const QString& value);
    // Several keys of a section in one write of the file: all of them or none.
    void write(const QString& section, const SuiteServices::SettingValues& values);
    // One read-modify-write of a section of the settings file (SuiteServices::updateSettings).
    void update(const QString& section, const SuiteServices::SettingsChange& change);

    // A key of the list in SettingsKeys.h: its name (prefix of its scope, suffix, and the
    // number of a numbered key when `number` is above 0), and its value in its section.
    QString name(const keys::SettingsKey& key, int number = 0) const;
    QString read(const keys::SettingsKey& key, int number = 0) const;
    void write(const keys::SettingsKey& key, const QString& value, int number = 0);

    QString moduleKey(const QString& suffix) const;
    QString reportKey(const QString& suffix) const;

    // Section "TALOR" shortcuts.
    QString readModule(const QString& suffix) const;
    void writeModule(const QString& suffix, const QString& value);
    QString readReport(const QString& suffix) const;
    void writeReport(const QString& suffix, const QString& value);

    // A key of the second file, read through the suite like every other setting.
    QString readSecond(const QString& section, const QString& key) const;
    QString readSecond(const keys::SettingsKey& key) const;

private:
    SuiteServices& m_suite;
};

} // namespace talor
