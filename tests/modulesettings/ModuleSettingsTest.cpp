#include "modulesettings/ModuleSettings.h"

#include "settings/IniFile.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using talor::IniFile;
using talor::ModuleSettings;
using talor::SuiteError;

namespace {

// A suite whose settings live in real files, as the local suite keeps them.
class FileSuite : public talor::test::FakeSuite
{
public:
    QStringList filesRead;

    QString readSetting(const QString& section, const QString& key, const QString& file) override
    {
        filesRead << file;
        try {
            return IniFile(file).read(section, key);
        } catch (const talor::IniFileError& error) {
            throw SuiteError(error.message());
        }
    }
    void writeSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file) override
    {
        try {
            IniFile(file).write(section, key, value);
        } catch (const talor::IniFileError& error) {
            throw SuiteError(error.message());
        }
    }
};

class ModuleSettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_suite.settingsDir = m_dir.path();
        m_suite.moduleKeyValue = m_suite.reportKeyValue = u"考勤日报"_qs;
    }

    QString fileText(const QString& name) const
    {
        return QString::fromUtf8(talor::test::fileBytes(m_dir.filePath(name)));
    }

    QTemporaryDir m_dir;
    FileSuite m_suite;
    ModuleSettings m_settings{m_suite};
};

TEST_F(ModuleSettingsTest, ModuleKeysArePrefixedWithTheModuleKeyOrAreBareSuffixes)
{
    m_settings.writeModule(u"TABLE"_qs, u"KQJL"_qs);
    m_settings.writeModule(u" 0"_qs, u"YES"_qs);
    EXPECT_EQ(m_settings.readModule(u"TABLE"_qs), u"KQJL"_qs);
    // The default report's " 0" is the module's " 0".
    EXPECT_EQ(m_settings.readReport(u" 0"_qs), u"YES"_qs);
    EXPECT_EQ(m_settings.readModule(u"0"_qs), QString());

    m_suite.moduleKeyValue.clear();
    m_settings.writeModule(u" 0"_qs, u"NO"_qs);
    m_settings.writeModule(u"MENU1"_qs, u"人事档案"_qs);
    EXPECT_EQ(m_settings.moduleKey(u"TABLE"_qs), u"TABLE"_qs);
    EXPECT_EQ(fileText(u"talor.ini"_qs),
              u"[TALOR]\n考勤日报TABLE=KQJL\n考勤日报 0=YES\n 0=NO\nMENU1=人事档案\n"_qs);
    EXPECT_EQ(m_settings.read(u"TALOR"_qs, u"0"_qs), QString());
}

TEST_F(ModuleSettingsTest, EveryAccessAsksTheSuiteAgain)
{
    m_settings.writeReport(u"OPT"_qs, u"2"_qs);
    // Another report becomes current: per-report keys switch, module keys stay.
    m_suite.reportKeyValue = u"样式A"_qs;
    EXPECT_EQ(m_settings.readReport(u"OPT"_qs), QString());
    m_settings.writeReport(u"OPT"_qs, u"1"_qs);
    EXPECT_EQ(m_settings.read(u"TALOR"_qs, u"样式AOPT"_qs), u"1"_qs);
    EXPECT_EQ(m_settings.read(u"TALOR"_qs, u"考勤日报OPT"_qs), u"2"_qs);

    // The file moves: the next read goes to the new place.
    m_suite.settingsFile = u"other.ini"_qs;
    EXPECT_EQ(m_settings.path(), m_dir.path() + u"/other.ini"_qs);
    EXPECT_EQ(m_settings.readReport(u"OPT"_qs), QString());
    m_settings.writeReport(u"OPT"_qs, u"3"_qs);
    EXPECT_EQ(fileText(u"other.ini"_qs), u"[TALOR]\n样式AOPT=3\n"_qs);
    EXPECT_EQ(m_suite.filesRead.last(), m_dir.path() + u"/other.ini"_qs);

    m_suite.moduleKeyValue = u"考勤日报2"_qs;
    EXPECT_EQ(m_settings.reportKey(u"FIX"_qs), u"样式AFIX"_qs);
    EXPECT_EQ(m_settings.moduleKey(u"FIX"_qs), u"考勤日报2FIX"_qs);
}

TEST_F(ModuleSettingsTest, SecondFileIsReadThroughTheSuiteAndFailuresReachTheCaller)
{
    IniFile(m_dir.filePath(m_suite.secondFile)).write(u"SYSTEM"_qs, u"QZ_CONNECT"_qs, u"ok"_qs);
    EXPECT_EQ(m_settings.readSecond(u"SYSTEM"_qs, u"QZ_CONNECT"_qs), u"ok"_qs);
    EXPECT_EQ(m_settings.read(u"SYSTEM"_qs, u"QZ_CONNECT"_qs), QString());

    m_suite.settingsDir = m_dir.filePath(u"missing"_qs);
    EXPECT_THROW(m_settings.writeModule(u"TABLE"_qs, u"KQJL"_qs), SuiteError);
}

// One key of each way a key is named (module, report, numbered, bare) and of another section,
// with module key 考勤日报 and report 样式A.
TEST_F(ModuleSettingsTest, KeysAreNamedByTheirScopeAndWrittenToTheirSection)
{
    namespace keys = talor::keys;
    m_suite.reportKeyValue = u"样式A"_qs;
    const std::pair<keys::SettingsKey, int> listed[] = {{keys::Table, 0},
                                                        {keys::ReportBlankZero, 0},
                                                        {keys::ExternalMenu, 7},
                                                        {keys::GridRowText, 8},
                                                        {keys::DesignerKind, 0}};
    QStringList read;
    for (const auto& [key, number] : listed) {
        m_settings.write(key, u"v"_qs + m_settings.name(key, number), number);
        read << m_settings.read(key, number);
    }
    EXPECT_EQ(read, QStringList({u"v考勤日报TABLE"_qs, u"v样式A 0"_qs, u"v考勤日报MENU7"_qs, u"vROW8"_qs,
                                 u"vOPT"_qs}));
    EXPECT_EQ(fileText(u"talor.ini"_qs),
              u"[TALOR]\n考勤日报TABLE=v考勤日报TABLE\n样式A 0=v样式A 0\n"
              "考勤日报MENU7=v考勤日报MENU7\nROW8=vROW8\n\n[MODEL8]\nOPT=vOPT\n"_qs);
}

} // namespace
