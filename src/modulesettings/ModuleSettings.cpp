#include "modulesettings/ModuleSettings.h"

#include "suite/SuiteServices.h"

namespace talor {

namespace {

QString moduleSection()
{
    return QString::fromLatin1(ModuleSettings::Section);
}

} // namespace

ModuleSettings::ModuleSettings(SuiteServices& suite) : m_suite(suite) {}

QString ModuleSettings::path() const
{
    return m_suite.settingsDirectory() + u'/' + m_suite.settingsFileName();
}

QString ModuleSettings::secondPath() const
{
    return m_suite.settingsDirectory() + u'/' + m_suite.secondFileName();
}

QString ModuleSettings::read(const QString& section, const QString& key) const
{
    return m_suite.readSetting(section, key, path());
}

void ModuleSettings::write(const QString& section, const QString& key, const QString& value)
{
    m_suite.writeSetting(section, key, value, path());
}

void ModuleSettings::write(const QString& section, const SuiteServices::SettingValues& values)
{
    m_suite.writeSettings(section, values, path());
}

void ModuleSettings::update(const QString& section, const SuiteServices::SettingsChange& change)
{
    m_suite.updateSettings(section, change, path());
}

QString ModuleSettings::name(const keys::SettingsKey& key, int number) const
{
    QString prefix;
    switch (key.scope) {
    case keys::Scope::Module:
        prefix = m_suite.moduleKey();
        break;
    case keys::Scope::Report:
        prefix = m_suite.reportKey();
        break;
    case keys::Scope::Fixed:
        break;
    }
    prefix += QString::fromLatin1(key.suffix);
    if (number > 0)
        prefix += QString::number(number);
    return prefix;
}

QString ModuleSettings::read(const keys::SettingsKey& key, int number) const
{
    return read(QString::fromLatin1(key.section), name(key, number));
}

void ModuleSettings::write(const keys::SettingsKey& key, const QString& value, int number)
{
    write(QString::fromLatin1(key.section), name(key, number), value);
}

QString ModuleSettings::moduleKey(const QString& suffix) const
{
    return m_suite.moduleKey() + suffix;
}

QString ModuleSettings::reportKey(const QString& suffix) const
{
    return m_suite.reportKey() + suffix;
}

QString ModuleSettings::readModule(const QString& suffix) const
{
    return read(moduleSection(), moduleKey(suffix));
}

void ModuleSettings::writeModule(const QString& suffix, const QString& value)
{
    write(moduleSection(), moduleKey(suffix), value);
}

QString ModuleSettings::readReport(const QString& suffix) const
{
    return read(moduleSection(), reportKey(suffix));
}

void ModuleSettings::writeReport(const QString& suffix, const QString& value)
{
    write(moduleSection(), reportKey(suffix), value);
}

QString ModuleSettings::readSecond(const QString& section, const QString& key) const
{
    return m_suite.readSetting(section, key, secondPath());
}

QString ModuleSettings::readSecond(const keys::SettingsKey& key) const
{
    return readSecond(QString::fromLatin1(key.section), name(key));
}

} // namespace talor
