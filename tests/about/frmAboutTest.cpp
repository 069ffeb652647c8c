#include "about/frmAbout.h"

#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace talor;

namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.settingsDir = u"/suite"_qs;
        suite.moduleKeyValue = u"考勤日报"_qs;
        suite.setSetting(u"SYSTEM"_qs, u"GJKL"_qs, u"pw"_qs);
        suite.prefix = u"CODE-PREFIX"_qs;
        suite.settings[secondFile()][talor::test::FakeSuite::settingsKey(u"SYSTEM"_qs, u"QZ_CONNECT"_qs)] =
            u"联系: 010-12345678"_qs;
        suite.setSetting(u"SYSTEM"_qs, u"QZ_CONNECT"_qs, u"不是这个"_qs);
    }

    QString secondFile() const { return suite.settingsDir + u"/"_qs + suite.secondFile; }

    frmAbout& open()
    {
        about = std::make_unique<frmAbout>(suite, ui, [this] { ++setupOpened; });
        about->show();
        return *about;
    }
    template <typename W> W* child(const QString& name)
    {
        auto* widget = about->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString handOff() const { return suite.setting(u"VELD"_qs, u"考勤日报-USE"_qs); }

    talor::test::FakeSuite suite;
    talor::test::ScriptedUi ui;
    std::unique_ptr<frmAbout> about;
    int setupOpened = 0;
};

TEST_F(AboutBoxTest, ShowsThePictureTheLinesAndTheDate)
{
    frmAbout& a = open();
    EXPECT_EQ(a.objectName(), u"frmAbout"_qs);
    EXPECT_EQ(a.windowTitle(), u"关于TALOR.DLL"_qs);
    EXPECT_FALSE(child<QLabel>(u"Image1"_qs)->pixmap().isNull());
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(child<QLabel>(u"Label"_qs + QString::number(n))->text().isEmpty()) << n;
    EXPECT_EQ(child<QLabel>(u"Label5"_qs)->text(), u"2002-03-29"_qs);
    EXPECT_EQ(child<QPushButton>(u"Command1"_qs)->text(), u"&S 高级"_qs);
    EXPECT_EQ(child<QPushButton>(u"Command2"_qs)->text(), u"&E 退出"_qs);
    EXPECT_EQ(QFontInfo(a.font()).family(), u"WenQuanYi Micro Hei"_qs);
}

TEST_F(AboutBoxTest, TheContactTextComesFromTheSecondFile)
{
    open();
    EXPECT_EQ(child<QLabel>(u"Image1"_qs)->toolTip(), u"联系: 010-12345678"_qs);
}

TEST_F(AboutBoxTest, AMissingContactTextLeavesThePictureWithoutOne)
{
    suite.settings.remove(secondFile());
    open();
    EXPECT_TRUE(child<QLabel>(u"Image1"_qs)->toolTip().isEmpty());
}

TEST_F(AboutBoxTest, HiddenSwitchesWriteTheEmployeeFileHandOff)
{
    open();
    QTest::mouseClick(child<QLabel>(u"Image1"_qs), Qt::LeftButton);
    EXPECT_EQ(handOff(), u"NO"_qs);
    QTest::mouseDClick(child<QLabel>(u"Label4"_qs), Qt::LeftButton);
    EXPECT_EQ(handOff(), u"YES"_qs);
    EXPECT_EQ(suite.settingsWrites, QStringList({u"VELD/考勤日报-USE=NO"_qs, u"VELD/考勤日报-USE=YES"_qs}));
}

TEST_F(AboutBoxTest, OtherLabelsAreNotSwitches)
{
    open();
    QTest::mouseDClick(child<QLabel>(u"Label1"_qs), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(u"Label5"_qs), Qt::LeftButton);
    EXPECT_TRUE(suite.settingsWrites.isEmpty());
}

struct AdvancedCase
{
    int lock;
    const char* operatorName;
    bool codeMatches;
    bool opens;
};

class AboutAdvancedTest : public AboutBoxTest, public ::testing::WithParamInterface<AdvancedCase>
{};

TEST_P(AboutAdvancedTest, OpensTheSetupOnlyBehindTheCheckAndSaysNothing)
{
    const AdvancedCase& c = GetParam();
    suite.lock = c.lock;
    suite.operatorNameValue = QString::fromUtf8(c.operatorName);
    suite.access = c.codeMatches ? u"CODE-Ppw"_qs : u"wrong"_qs;
    frmAbout& a = open();
    QTest::mouseClick(child<QPushButton>(u"Command1"_qs), Qt::LeftButton);
    EXPECT_EQ(setupOpened, c.opens ? 1 : 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(a.isVisible()) << "the About box stays open";
}

INSTANTIATE_TEST_SUITE_P(
    LockAndOperator, AboutAdvancedTest,
    ::testing::Values(AdvancedCase{-1, "pelto", false, true}, AdvancedCase{0, "pelto", false, true},
                      AdvancedCase{1, "pelto", false, false}, AdvancedCase{1, "pelto", true, true},
                      AdvancedCase{-1, "张三", false, false}, AdvancedCase{0, "张三", false, false},
                      AdvancedCase{1, "张三", false, false}, AdvancedCase{-1, "张三", true, true},
                      AdvancedCase{0, "张三", true, true}, AdvancedCase{1, "张三", true, true}));

TEST_F(AboutBoxTest, ClosingSettlesTheRefreshFlagUnlessARebuildIsPending)
{
    for (const auto& [before, after] : {std::pair{0, 0}, std::pair{1, 2}, std::pair{2, 2}}) {
        suite.refresh = before;
        frmAbout& a = open();
        QTest::mouseClick(child<QPushButton>(u"Command2"_qs), Qt::LeftButton);
        EXPECT_FALSE(a.isVisible());
        EXPECT_EQ(suite.refresh, after) << before;
    }
}

TEST_F(AboutBoxTest, TheWindowBoxUnloadsLikeTheExitButton)
{
    suite.refresh = 1;
    frmAbout& a = open();
    a.close();
    EXPECT_EQ(suite.refresh, 2);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
