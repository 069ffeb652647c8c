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

    QTemporaryDir m_dir;
    FileSuite m_suite;
    ModuleSettings m_settings{m_suite};
};

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
