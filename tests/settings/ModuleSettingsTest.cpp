#include "settings/ModuleSettings.h"

#include "settings/IniFile.h"
#include "support/FakeSuite.h"

#include <QFile>
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
        return IniFile(file).read(section, key);
    }
    void writeSetting(const QString& section, const QString& key, const QString& value,
                      const QString& file) override
    {
        IniFile(file).write(section, key, value);
    }
};

class ModuleSettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_suite.settingsDir = m_dir.path();
        m_suite.settingsFile = QStringLiteral("talor.ini");
        m_suite.moduleKeyValue = QStringLiteral("考勤日报");
        m_suite.reportKeyValue = QStringLiteral("考勤日报");
    }

    QString fileText(const QString& name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir m_dir;
    FileSuite m_suite;
    ModuleSettings m_settings{m_suite};
};

TEST_F(ModuleSettingsTest, ModuleKeysArePrefixedWithTheModuleKey)
{
    m_settings.writeModule(QStringLiteral("TABLE"), QStringLiteral("KQJL"));
    m_settings.writeModule(QStringLiteral(" 0"), QStringLiteral("YES"));
    EXPECT_EQ(fileText(QStringLiteral("talor.ini")),
              QStringLiteral("[TALOR]\n考勤日报TABLE=KQJL\n考勤日报 0=YES\n"));
    EXPECT_EQ(m_settings.readModule(QStringLiteral("TABLE")), QStringLiteral("KQJL"));
    EXPECT_EQ(m_settings.read(QStringLiteral("TALOR"), QStringLiteral("考勤日报TABLE")),
              QStringLiteral("KQJL"));
    // The default report's " 0" is the module's " 0".
    EXPECT_EQ(m_settings.readReport(QStringLiteral(" 0")), QStringLiteral("YES"));
    EXPECT_EQ(m_settings.readModule(QStringLiteral("0")), QString());
}

TEST_F(ModuleSettingsTest, EmptyModuleKeyGivesBareSuffixes)
{
    m_suite.moduleKeyValue.clear();
    m_settings.writeModule(QStringLiteral(" 0"), QStringLiteral("YES"));
    m_settings.writeModule(QStringLiteral("MENU1"), QStringLiteral("人事档案"));
    EXPECT_EQ(m_settings.moduleKey(QStringLiteral("TABLE")), QStringLiteral("TABLE"));
    EXPECT_EQ(fileText(QStringLiteral("talor.ini")), QStringLiteral("[TALOR]\n 0=YES\nMENU1=人事档案\n"));
    EXPECT_EQ(m_settings.readModule(QStringLiteral(" 0")), QStringLiteral("YES"));
    EXPECT_EQ(m_settings.read(QStringLiteral("TALOR"), QStringLiteral("0")), QString());
}

TEST_F(ModuleSettingsTest, EveryAccessAsksTheSuiteAgain)
{
    m_settings.writeReport(QStringLiteral("OPT"), QStringLiteral("2"));
    // Another report becomes current: per-report keys switch, module keys stay.
    m_suite.reportKeyValue = QStringLiteral("样式A");
    EXPECT_EQ(m_settings.readReport(QStringLiteral("OPT")), QString());
    m_settings.writeReport(QStringLiteral("OPT"), QStringLiteral("1"));
    EXPECT_EQ(m_settings.read(QStringLiteral("TALOR"), QStringLiteral("样式AOPT")), QStringLiteral("1"));
    EXPECT_EQ(m_settings.read(QStringLiteral("TALOR"), QStringLiteral("考勤日报OPT")), QStringLiteral("2"));

    // The file moves: the next read goes to the new place.
    m_suite.settingsFile = QStringLiteral("other.ini");
    EXPECT_EQ(m_settings.path(), m_dir.path() + QStringLiteral("/other.ini"));
    EXPECT_EQ(m_settings.readReport(QStringLiteral("OPT")), QString());
    m_settings.writeReport(QStringLiteral("OPT"), QStringLiteral("3"));
    EXPECT_EQ(fileText(QStringLiteral("other.ini")), QStringLiteral("[TALOR]\n样式AOPT=3\n"));
    EXPECT_EQ(m_suite.filesRead.last(), m_dir.path() + QStringLiteral("/other.ini"));

    m_suite.moduleKeyValue = QStringLiteral("考勤日报2");
    EXPECT_EQ(m_settings.reportKey(QStringLiteral("FIX")), QStringLiteral("样式AFIX"));
    EXPECT_EQ(m_settings.moduleKey(QStringLiteral("FIX")), QStringLiteral("考勤日报2FIX"));
}

TEST_F(ModuleSettingsTest, SecondFileIsReadThroughTheSuite)
{
    IniFile(m_dir.filePath(m_suite.secondFile))
        .write(QStringLiteral("SYSTEM"), QStringLiteral("QZ_CONNECT"), QStringLiteral("ok"));
    EXPECT_EQ(m_settings.readSecond(QStringLiteral("SYSTEM"), QStringLiteral("QZ_CONNECT")),
              QStringLiteral("ok"));
    EXPECT_EQ(m_settings.read(QStringLiteral("SYSTEM"), QStringLiteral("QZ_CONNECT")), QString());
}

TEST_F(ModuleSettingsTest, SuiteFailuresReachTheCaller)
{
    m_suite.settingsDir = m_dir.filePath(QStringLiteral("missing"));
    EXPECT_THROW(m_settings.writeModule(QStringLiteral("TABLE"), QStringLiteral("KQJL")), SuiteError);
    EXPECT_EQ(m_settings.readModule(QStringLiteral("TABLE")), QString());
}

} // namespace
