#include "about/frmAbout.h"

#include "about/SupervisorCheck.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace talor;

namespace {

class AboutBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.settingsDir = u"/suite"_qs;
        suite.setSetting(u"SYSTEM"_qs, u"GJKL"_qs, u"pw"_qs);
        suite.setSetting(u"SYSTEM"_qs, u"QZ_CONNECT"_qs, u"不是这个"_qs);
        // The second file holds the contact text and another password, which must not count.
        secondFile()[key(u"QZ_CONNECT"_qs)] = u"联系: 010-12345678"_qs;
        secondFile()[key(u"GJKL"_qs)] = u"PW"_qs;
        suite.prefix = u"CODE-PREFIX"_qs;
    }

    static QString key(const QString& systemKey)
    {
        return test::FakeSuite::settingsKey(u"SYSTEM"_qs, systemKey);
    }
    QMap<QString, QString>& secondFile()
    {
        return suite.settings[suite.settingsDir + u"/"_qs + suite.secondFile];
    }

    frmAbout& open(std::function<void()> openSetup = {})
    {
        about = std::make_unique<frmAbout>(
            suite, ui, openSetup ? openSetup : [this] { ++setupOpened; });
        about->show();
        return *about;
    }
    // A missing control fails the test naming it (the test body ends there).
    template <typename W> W* child(const QString& name)
    {
        auto* widget = about->findChild<W*>(name);
        if (!widget)
            throw std::runtime_error("the About box has no control " + name.toStdString());
        return widget;
    }

    test::FakeSuite suite;
    test::ScriptedUi ui;
    std::unique_ptr<frmAbout> about;
    int setupOpened = 0;
};

TEST_F(AboutBoxTest, ShowsThePictureTheLinesTheDateAndTheContactText)
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
    EXPECT_EQ(child<QLabel>(u"Image1"_qs)->toolTip(), u"联系: 010-12345678"_qs) << "from the second file";

    secondFile().clear();
    open();
    EXPECT_TRUE(child<QLabel>(u"Image1"_qs)->toolTip().isEmpty());
}

TEST_F(AboutBoxTest, OnlyThePictureAndLabel4SwitchTheEmployeeFileHandOff)
{
    suite.moduleKeyValue = u"考勤日报"_qs;
    open();
    QTest::mouseDClick(child<QLabel>(u"Label1"_qs), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>(u"Label5"_qs), Qt::LeftButton);
    EXPECT_TRUE(suite.settingsWrites.isEmpty());
    QTest::mouseClick(child<QLabel>(u"Image1"_qs), Qt::LeftButton);
    QTest::mouseDClick(child<QLabel>(u"Label4"_qs), Qt::LeftButton);
    EXPECT_EQ(suite.settingsWrites, QStringList({u"VELD/考勤日报-USE=NO"_qs, u"VELD/考勤日报-USE=YES"_qs}));
    EXPECT_EQ(suite.setting(u"VELD"_qs, u"考勤日报-USE"_qs), u"YES"_qs);
}

struct CheckCase
{
    int lock;
    const char* operatorName;
    bool codeMatches;
    bool passesInSelectReport; // LockRule::NonZero: the lock counts when it is not 0
    bool opensFromAboutBox;    // LockRule::Positive: the lock counts when it is greater than 0
    friend void PrintTo(const CheckCase& c, std::ostream* out)
    {
        *out << "lock " << c.lock << ", " << c.operatorName
             << (c.codeMatches ? ", code matches" : ", code differs");
    }
};

class SupervisorCheckTest : public AboutBoxTest, public ::testing::WithParamInterface<CheckCase>
{};

// While the lock does not count, "pelto" needs no access code; otherwise the access code must
// be the first six characters of the prefix followed by the password, exactly. A failed check
// says nothing, and the About box stays open either way.
TEST_P(SupervisorCheckTest, PassesByOperatorOrAccessCode)
{
    const CheckCase& c = GetParam();
    suite.lock = c.lock;
    suite.operatorNameValue = QString::fromUtf8(c.operatorName);
    // The wrong code would match the second file's password, or a case-blind comparison.
    suite.access = c.codeMatches ? u"CODE-Ppw"_qs : u"CODE-PPW"_qs;
    EXPECT_EQ(supervisorCheck(suite, LockRule::NonZero), c.passesInSelectReport);
    frmAbout& a = open();
    QTest::mouseClick(child<QPushButton>(u"Command1"_qs), Qt::LeftButton);
    EXPECT_EQ(setupOpened, c.opensFromAboutBox ? 1 : 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(a.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    LockAndOperator, SupervisorCheckTest,
    ::testing::Values(CheckCase{-1, "pelto", false, false, true}, CheckCase{-1, "pelto", true, true, true},
                      CheckCase{-1, "张三", false, false, false}, CheckCase{-1, "张三", true, true, true},
                      CheckCase{0, "pelto", false, true, true}, CheckCase{0, "pelto", true, true, true},
                      CheckCase{0, "张三", false, false, false}, CheckCase{0, "张三", true, true, true},
                      CheckCase{1, "pelto", false, false, false}, CheckCase{1, "pelto", true, true, true},
                      CheckCase{1, "张三", false, false, false}, CheckCase{1, "张三", true, true, true},
                      CheckCase{0, "Pelto", false, false, false},
                      CheckCase{2, "pelto", false, false, false}));

TEST_F(AboutBoxTest, ASetupDialogThatFailsToLoadIsReportedAndTheBoxStaysOpen)
{
    suite.operatorNameValue = u"pelto"_qs;
    frmAbout& a = open([] { throw std::runtime_error("no such table: zdb1"); });
    EXPECT_NO_THROW(QTest::mouseClick(child<QPushButton>(u"Command1"_qs), Qt::LeftButton));
    EXPECT_EQ(ui.messageTexts(), QStringList{u"no such table: zdb1"_qs});
    EXPECT_TRUE(a.isVisible());
}

// Unreadable settings files: the box opens without the contact text (second file), and the
// advanced button, whose check reads the settings file, shows the failure instead of letting it
// leave through the event loop.
TEST_F(AboutBoxTest, UnreadableSettingsFilesAreShownNotThrown)
{
    suite.unreadableFiles << suite.settingsDir + u"/"_qs + suite.secondFile;
    frmAbout* a = nullptr;
    ASSERT_NO_THROW(a = &open());
    EXPECT_TRUE(child<QLabel>(u"Image1"_qs)->toolTip().isEmpty());
    suite.unreadableFiles << suite.settingsPath();
    EXPECT_NO_THROW(QTest::mouseClick(child<QPushButton>(u"Command1"_qs), Qt::LeftButton));
    EXPECT_EQ(ui.messageTexts(), QStringList{u"Cannot read the settings file "_qs + suite.settingsPath()});
    EXPECT_EQ(setupOpened, 0);
    EXPECT_TRUE(a->isVisible());
}

// Closing by the exit button or the window box must not make the main window lay itself out
// again: RefreshFlag becomes 2 unless it is 0.
TEST_F(AboutBoxTest, ClosingSettlesTheRefreshFlagUnlessItIsZero)
{
    for (const auto& [before, after] : {std::pair{0, 0}, std::pair{1, 2}, std::pair{2, 2}}) {
        for (bool windowBox : {false, true}) {
            suite.refresh = before;
            frmAbout& a = open();
            if (windowBox)
                a.close();
            else
                QTest::mouseClick(child<QPushButton>(u"Command2"_qs), Qt::LeftButton);
            EXPECT_FALSE(a.isVisible());
            EXPECT_EQ(suite.refresh, after) << before << (windowBox ? " window box" : " exit button");
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
