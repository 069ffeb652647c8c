#include "modulesettings/ModuleSettings.h"

#include "modulesettings/SettingRules.h"
#include "settings/IniFile.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using talor::IniFile;
using talor::ModuleSettings;

namespace {

// A suite whose settings live in real files, as the local suite keeps them.
struct FileSuite : talor::test::FakeSuite
{
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
    ModuleSettingsTest()
    {
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

// Each access asks the suite again for the keys and the file: another report, another module
// key, the file moved. The second file is read through the suite, not the first.
TEST_F(ModuleSettingsTest, EveryAccessAsksTheSuiteAgain)
{
    m_settings.writeReport(u"OPT"_qs, u"2"_qs);
    m_suite.reportKeyValue = u"样式A"_qs;
    m_suite.moduleKeyValue = u"考勤日报2"_qs;
    m_suite.settingsFile = u"other.ini"_qs;
    m_settings.writeReport(u"OPT"_qs, u"3"_qs);
    m_settings.writeModule(u"FIX"_qs, u"4"_qs);
    EXPECT_EQ(fileText(u"talor.ini"_qs) + fileText(u"other.ini"_qs),
              u"[TALOR]\n考勤日报OPT=2\n[TALOR]\n样式AOPT=3\n考勤日报2FIX=4\n"_qs);
    EXPECT_EQ(
        QStringList({m_settings.readReport(u"OPT"_qs), m_settings.readModule(u"FIX"_qs),
                     m_suite.filesRead.last(), m_settings.path()}),
        QStringList({u"3"_qs, u"4"_qs, m_dir.filePath(u"other.ini"_qs), m_dir.filePath(u"other.ini"_qs)}));

    IniFile(m_dir.filePath(m_suite.secondFile)).write(u"SYSTEM"_qs, u"QZ_CONNECT"_qs, u"ok"_qs);
    EXPECT_EQ(std::tuple(m_settings.readSecond(u"SYSTEM"_qs, u"QZ_CONNECT"_qs),
                         m_settings.readSecond(talor::keys::Connection),
                         m_settings.read(u"SYSTEM"_qs, u"QZ_CONNECT"_qs)),
              std::tuple(u"ok"_qs, u"ok"_qs, QString()));
}

// One key of each way a key is named (module, report, numbered, bare) and of another section,
// with module key 考勤日报 and report 样式A.
TEST_F(ModuleSettingsTest, KeysAreNamedByTheirScopeAndWrittenToTheirSection)
{
    namespace keys = talor::keys;
    m_suite.reportKeyValue = u"样式A"_qs;
    // clang-format off
    const std::pair<keys::SettingsKey, int> listed[] = {{keys::Table, 0}, {keys::ReportBlankZero, 0},
        {keys::ExternalMenu, 7}, {keys::GridRowText, 8}, {keys::DesignerKind, 0}};
    // clang-format on
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

// The values an administrator may edit by hand: an abnormal colour is its leading whole number,
// and 0 (what earlier set-ups wrote for a colour never chosen) or no colour the default pink,
// while a chosen black is written as 1; a report kind other than 1 to 3 is the one-day report.
// (Which commands a restricted list names: the command bar's test.)
TEST(SettingRulesTest, ColoursAndReportKinds)
{
    const std::pair<const char*, quint32> colours[] = {
        {"", 11177215},    {"0", 11177215},  {" 0", 11177215},       {"0.5", 11177215},
        {"abc", 11177215}, {"1", 1},         {"255", 255},           {"65280x", 65280},
        {"12.7", 12},      {"-5", 11177215}, {"16777215", 16777215}, {"16777216", 11177215}};
    for (const auto& [setting, colour] : colours)
        EXPECT_EQ(talor::abnormalColourValue(QString::fromUtf8(setting)), colour) << '"' << setting << '"';
    // The colours 0 and 255 as written, then the report kinds.
    QStringList texts{talor::abnormalColourText(0), talor::abnormalColourText(255)};
    for (const char* setting : {"1", "2", "3", "", "4", "0", " 1"})
        texts << talor::reportKindValue(QString::fromUtf8(setting));
    EXPECT_EQ(texts, QStringList({"1", "255", "1", "2", "3", "2", "2", "2", "2"}));
}

} // namespace
