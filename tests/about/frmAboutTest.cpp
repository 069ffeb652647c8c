#include "about/frmAbout.h"

#include "modulesettings/SupervisorCheck.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
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
    template <typename W> W* child(const char* name) { return talor::test::child<W>(*about, name); }

    test::FakeSuite suite;
    test::ScriptedUi ui;
    std::unique_ptr<frmAbout> about;
    int setupOpened = 0;
};

TEST_F(AboutBoxTest, ShowsThePictureTheBuildDateAndTheContactText)
{
    frmAbout& a = open();
    EXPECT_FALSE(child<QLabel>("Image1")->pixmap().isNull());
    // The version, the day the program was built and the licence.
    EXPECT_TRUE(QRegularExpression(u"^版本 \\d+\\.\\d+，构建于 \\d{4}-\\d\\d-\\d\\d，按 MIT 许可证发布$"_qs)
                    .match(child<QLabel>("Label6")->text())
                    .hasMatch())
        << child<QLabel>("Label6")->text().toStdString();
    EXPECT_FALSE(a.testAttribute(Qt::WA_SetFont)) << "the box takes the desktop's font";
    EXPECT_EQ(child<QLabel>("Image1")->toolTip(), u"联系: 010-12345678"_qs) << "from the second file";

    secondFile().clear();
    open();
    EXPECT_TRUE(child<QLabel>("Image1")->toolTip().isEmpty());
}

TEST_F(AboutBoxTest, OnlyThePictureAndLabel4SwitchTheEmployeeFileHandOff)
{
    suite.moduleKeyValue = u"考勤日报"_qs;
    open();
    QTest::mouseDClick(child<QLabel>("Label1"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>("Label5"), Qt::LeftButton);
    EXPECT_TRUE(suite.settingsWrites.isEmpty());
    QTest::mouseClick(child<QLabel>("Image1"), Qt::LeftButton);
    QTest::mouseDClick(child<QLabel>("Label4"), Qt::LeftButton);
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
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(setupOpened, c.opensFromAboutBox ? 1 : 0);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(a.isVisible());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(LockAndOperator, SupervisorCheckTest, ::testing::Values(
    CheckCase{-1, "pelto", false, false, true}, CheckCase{-1, "pelto", true, true, true},
    CheckCase{-1, "张三", false, false, false},  CheckCase{-1, "张三", true, true, true},
    CheckCase{0, "pelto", false, true, true},   CheckCase{0, "pelto", true, true, true},
    CheckCase{0, "张三", false, false, false},   CheckCase{0, "张三", true, true, true},
    CheckCase{1, "pelto", false, false, false}, CheckCase{1, "pelto", true, true, true},
    CheckCase{1, "张三", false, false, false},   CheckCase{1, "张三", true, true, true},
    CheckCase{0, "Pelto", false, false, false}, CheckCase{2, "pelto", false, false, false}));
// clang-format on

TEST_F(AboutBoxTest, ASetupDialogThatFailsToLoadIsReportedAndTheBoxStaysOpen)
{
    suite.operatorNameValue = u"pelto"_qs;
    frmAbout& a = open([] { throw std::runtime_error("no such table: zdb1"); });
    EXPECT_NO_THROW(QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton));
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
    EXPECT_TRUE(child<QLabel>("Image1")->toolTip().isEmpty());
    suite.unreadableFiles << suite.settingsPath();
    EXPECT_NO_THROW(QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton));
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
                QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
            EXPECT_FALSE(a.isVisible());
            EXPECT_EQ(suite.refresh, after) << before << (windowBox ? " window box" : " exit button");
        }
    }
}

} // namespace
