#include "settings/ModuleSettings.h"

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

} // namespace talor
