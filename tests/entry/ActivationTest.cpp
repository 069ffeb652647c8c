#include "entry/Activation.h"

#include "support/FakeSuite.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

class ActivationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.settingsDir = dir.path();
        suite.templateDir = dir.path();
        suite.reportKeyValue = suite.moduleKeyValue;
    }
    void makeTemplate(const QString& name)
    {
        QFile(QDir(dir.path()).filePath(name)).open(QIODevice::WriteOnly);
    }

    QTemporaryDir dir;
    FakeSuite suite;
    MainWindowState state;
};

struct ColourCase
{
    const char* setting;
    quint32 colour;
};

class ColourSettingTest : public ::testing::TestWithParam<ColourCase>
{};

TEST_P(ColourSettingTest, LeadingNumberOrTheDefault)
{
    EXPECT_EQ(Activation::abnormalColour(QString::fromUtf8(GetParam().setting)), GetParam().colour);
}

INSTANTIATE_TEST_SUITE_P(Settings, ColourSettingTest,
                         ::testing::Values(ColourCase{"", 11177215}, ColourCase{"0", 11177215},
                                           ColourCase{"abc", 11177215}, ColourCase{"255", 255},
                                           ColourCase{"65280x", 65280}, ColourCase{" 16777215", 16777215},
                                           ColourCase{"12.7", 12}, ColourCase{"-5", 11177215},
                                           ColourCase{"16777216", 11177215}));

TEST_F(ActivationTest, ConditionsColoursAndBlankZeroOfTheDefaultReport)
{
    suite.setSetting("TALOR", "考勤日报BDTJ1", "depart='01'");
    suite.setSetting("TALOR", "考勤日报BDTJ2", "memberid<>'9'");
    suite.setSetting("TALOR", "考勤日报COLOR1", "255");
    suite.setSetting("TALOR", "考勤日报COLOR3", "x");
    suite.setSetting("TALOR", "考勤日报 0", "YES");
    Activation(suite).readReportState(state);
    EXPECT_EQ(state.DeptCondition, "depart='01'");
    EXPECT_EQ(state.PersonCondition, "memberid<>'9'");
    EXPECT_EQ(state.AbnormalColour1, 255u);
    EXPECT_EQ(state.AbnormalColour2, 11177215u);
    EXPECT_EQ(state.AbnormalColour3, 11177215u);
    EXPECT_TRUE(state.BlankZero);
}

TEST_F(ActivationTest, AnotherReportIsWhiteAndReadsItsOwnKeys)
{
    suite.setSetting("TALOR", "考勤日报COLOR1", "255");
    suite.setSetting("TALOR", "考勤日报 0", "YES");
    suite.setSetting("TALOR", "夜班BDTJ1", "team='3'");
    suite.setSetting("TALOR", "夜班 0", "yes");
    suite.reportKeyValue = "夜班";
    Activation(suite).readReportState(state);
    EXPECT_EQ(state.AbnormalColour1, 16777215u);
    EXPECT_EQ(state.AbnormalColour2, 16777215u);
    EXPECT_EQ(state.AbnormalColour3, 16777215u);
    EXPECT_EQ(state.DeptCondition, "team='3'");
    EXPECT_EQ(state.PersonCondition, "");
    EXPECT_FALSE(state.BlankZero);
}

TEST_F(ActivationTest, RebuildOnlyWhenRefreshFlagIsZero)
{
    suite.refresh = 0;
    EXPECT_TRUE(Activation(suite).needsRebuild());
    suite.refresh = 2;
    EXPECT_FALSE(Activation(suite).needsRebuild());
    suite.refresh = 1;
    EXPECT_FALSE(Activation(suite).needsRebuild());
}

TEST_F(ActivationTest, TemplatePathIsDirectoryReportKeyAndKind)
{
    suite.reportKeyValue = "R";
    EXPECT_EQ(Activation(suite).templatePath(2), QDir(dir.path()).filePath("R2.vts"));
}

struct OptionCase
{
    const char* option;
    const char* templates; // kinds whose template exists
    int checked;
    bool picker;
    std::array<bool, 3> enabled;
};

class OptionButtonsTest : public ActivationTest, public ::testing::WithParamInterface<OptionCase>
{};

TEST_P(OptionButtonsTest, CheckedByKindDisabledWithoutTemplate)
{
    const OptionCase& c = GetParam();
    suite.option = c.option;
    for (char kind : std::string(c.templates))
        makeTemplate("考勤日报" + QString(QChar(kind)) + ".vts");
    const OptionButtonsState out = Activation(suite).optionButtons({true, true, true});
    EXPECT_EQ(out.checked, c.checked);
    EXPECT_EQ(out.datePickerVisible, c.picker);
    EXPECT_EQ(out.enabled, c.enabled);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OptionButtonsTest,
                         ::testing::Values(OptionCase{"1", "123", 1, false, {true, true, true}},
                                           OptionCase{"1", "", 1, false, {true, false, false}},
                                           OptionCase{"1", "3", 1, false, {true, false, true}},
                                           OptionCase{"2", "", 2, true, {false, true, false}},
                                           OptionCase{"2", "1", 2, true, {true, true, false}},
                                           OptionCase{"3", "2", 3, false, {false, true, true}},
                                           OptionCase{"", "12", 3, false, {true, true, true}},
                                           OptionCase{"7", "", 3, false, {false, false, true}}));

TEST_F(ActivationTest, ADisabledOptionIsNeverEnabledAgain)
{
    suite.option = "2";
    Activation activation(suite);
    OptionButtonsState first = activation.optionButtons({true, true, true});
    EXPECT_EQ(first.enabled, (std::array<bool, 3>{false, true, false}));
    makeTemplate("考勤日报1.vts");
    makeTemplate("考勤日报3.vts");
    EXPECT_EQ(activation.optionButtons(first.enabled).enabled, first.enabled);
}

TEST_F(ActivationTest, OptionClickWritesTheKindAndResetsTheFlag)
{
    suite.reportKeyValue = "夜班";
    suite.refresh = 2;
    Activation(suite).selectReportKind(1);
    EXPECT_EQ(suite.setting("TALOR", "夜班OPT"), "1");
    EXPECT_EQ(suite.setting("MODEL8", "OPT"), "1");
    EXPECT_EQ(suite.settingsWrites, (QStringList{"TALOR/夜班OPT=1", "MODEL8/OPT=1"}));
    EXPECT_EQ(suite.refresh, 0);
    EXPECT_EQ(suite.option, "1");
}

TEST(FrameTest, LeftEdgeAfterTheVisibleButtons)
{
    EXPECT_EQ(Activation::frameLeft(750, 8), 6200);
    EXPECT_EQ(Activation::frameLeft(750, 0), 200);
}

} // namespace
