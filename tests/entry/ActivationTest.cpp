#include "entry/Activation.h"

#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

TEST(ActivationColourTest, LeadingNumberOrTheDefault)
{
    const std::pair<const char*, quint32> cases[] = {
        {"", 11177215},          {"0", 11177215}, {"abc", 11177215}, {"255", 255},          {"65280x", 65280},
        {" 16777215", 16777215}, {"12.7", 12},    {"-5", 11177215},  {"16777216", 11177215}};
    for (const auto& [setting, colour] : cases)
        EXPECT_EQ(Activation::abnormalColour(QString::fromUtf8(setting)), colour) << setting;
}

class ActivationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = suite.moduleKeyValue;
    }
    void makeTemplate(const QString& name) { test::putFile(dir.filePath(name), {}); }

    QTemporaryDir dir;
    test::FakeSuite suite;
    MainWindowState state;
};

// The module's own report reads its conditions, its colours (a bad one the default) and the
// blank-zero switch ("YES" only); another report reads its own keys and is white.
TEST_F(ActivationTest, EachReportReadsItsOwnConditionsColoursAndBlankZero)
{
    const std::pair<const char*, const char*> settings[] = {{"考勤日报BDTJ1", "depart='01'"},
                                                            {"考勤日报BDTJ2", "memberid<>'9'"},
                                                            {"考勤日报COLOR1", "255"},
                                                            {"考勤日报COLOR3", "x"},
                                                            {"考勤日报 0", "YES"},
                                                            {"夜班BDTJ1", "team='3'"},
                                                            {"夜班 0", "yes"}};
    for (const auto& [key, value] : settings)
        suite.setSetting("TALOR", key, value);
    QStringList read;
    for (const char* report : {"考勤日报", "夜班"}) {
        suite.reportKeyValue = report;
        Activation(suite).readReportState(state);
        read << QStringList({state.DeptCondition, state.PersonCondition,
                             QString::number(state.AbnormalColour1), QString::number(state.AbnormalColour2),
                             QString::number(state.AbnormalColour3), state.BlankZero ? "blank" : "zero"})
                    .join('|');
    }
    EXPECT_EQ(read, QStringList({"depart='01'|memberid<>'9'|255|11177215|11177215|blank",
                                 "team='3'||16777215|16777215|16777215|zero"}));
}

TEST_F(ActivationTest, OptionCheckedByKindAndDisabledWithoutTemplate)
{
    const struct
    {
        const char* option;
        const char* templates; // kinds whose template exists
        int checked;
        std::array<bool, 3> enabled;
    } cases[] = {{"1", "123", 1, {true, true, true}}, {"1", "", 1, {true, false, false}},
                 {"1", "3", 1, {true, false, true}},  {"2", "", 2, {false, true, false}},
                 {"2", "1", 2, {true, true, false}},  {"3", "2", 3, {false, true, true}},
                 {"", "12", 3, {true, true, true}},   {"7", "", 3, {false, false, true}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.option) + "/" + c.templates);
        for (int k = 1; k <= 3; ++k)
            QFile::remove(dir.filePath(QString("考勤日报%1.vts").arg(k)));
        for (char kind : std::string(c.templates))
            makeTemplate("考勤日报" + QString(QChar(kind)) + ".vts");
        suite.option = c.option;
        const OptionButtonsState out = Activation(suite).optionButtons({true, true, true});
        EXPECT_EQ(std::pair(out.checked, out.datePickerVisible), std::pair(c.checked, c.checked == 2));
        EXPECT_EQ(out.enabled, c.enabled);
    }
}

TEST_F(ActivationTest, ADisabledOptionIsNeverEnabledAgain)
{
    suite.option = "2";
    Activation activation(suite);
    const std::array<bool, 3> first = activation.optionButtons({true, true, true}).enabled;
    makeTemplate("考勤日报1.vts");
    makeTemplate("考勤日报3.vts");
    EXPECT_EQ(activation.optionButtons(first).enabled, (std::array<bool, 3>{false, true, false}));
}

} // namespace
