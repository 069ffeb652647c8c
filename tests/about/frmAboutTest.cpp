#include "about/frmAbout.h"

#include "modulesettings/SupervisorCheck.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"

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
        secondFile()[test::FakeSuite::settingsKey(u"SYSTEM"_qs, u"QZ_CONNECT"_qs)] = u"联系: 010-12345678"_qs;
        secondFile()[test::FakeSuite::settingsKey(u"SYSTEM"_qs, u"GJKL"_qs)] = u"PW"_qs;
        suite.prefix = u"CODE-PREFIX"_qs;
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
    void advanced() { QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton); }

    test::FakeSuite suite;
    test::ScriptedUi ui;
    std::unique_ptr<frmAbout> about;
    int setupOpened = 0;
};

// While the lock does not count, "pelto" needs no access code; otherwise the access code must
// be the first six characters of the prefix followed by the password, exactly. The report
// selection counts a lock that is not 0, the About box one greater than 0. A failed check says
// nothing, and the About box stays open either way.
TEST_F(AboutBoxTest,
       SupervisorCheckPassesByOperatorOrAccessCodeThePictureShowsTheContactAndSwitchesTheHandOff)
{
    // clang-format off
    const struct { int lock; const char* operatorName; bool codeMatches, passesInSelectReport, opensFromAboutBox; } cases[] = {
        {-1, "pelto", false, false, true}, {-1, "张三", false, false, false}, {-1, "张三", true, true, true},
        {0, "pelto", false, true, true},   {0, "张三", false, false, false},  {0, "张三", true, true, true},
        {1, "pelto", false, false, false}, {1, "pelto", true, true, true},    {1, "张三", true, true, true},
        {0, "Pelto", false, false, false}, {2, "pelto", false, false, false}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lock) + c.operatorName + (c.codeMatches ? " code" : ""));
        suite.lock = c.lock;
        suite.operatorNameValue = QString::fromUtf8(c.operatorName);
        // The wrong code would match the second file's password, or a case-blind comparison.
        suite.access = c.codeMatches ? u"CODE-Ppw"_qs : u"CODE-PPW"_qs;
        EXPECT_EQ(supervisorCheck(suite, LockRule::NonZero), c.passesInSelectReport);
        setupOpened = 0;
        frmAbout& a = open();
        advanced();
        EXPECT_EQ(std::tuple(setupOpened, a.isVisible(), ui.messages.size()),
                  std::tuple(c.opensFromAboutBox ? 1 : 0, true, size_t(0)));
    }

    // The picture's tooltip is the contact text of the second file; an empty or unreadable one
    // leaves it out. Only the picture and Label4 switch the employee file hand-off.
    frmAbout& box = open();
    EXPECT_FALSE(box.testAttribute(Qt::WA_SetFont)) << "the box takes the desktop's font";
    EXPECT_FALSE(child<QLabel>("Image1")->pixmap().isNull());
    EXPECT_EQ(child<QLabel>("Image1")->toolTip(), u"联系: 010-12345678"_qs);
    QTest::mouseDClick(child<QLabel>("Label1"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>("Label5"), Qt::LeftButton);
    EXPECT_TRUE(suite.settingsWrites.isEmpty());
    QTest::mouseClick(child<QLabel>("Image1"), Qt::LeftButton);
    QTest::mouseDClick(child<QLabel>("Label4"), Qt::LeftButton);
    EXPECT_EQ(suite.settingsWrites, QStringList({u"VELD/考勤日报-USE=NO"_qs, u"VELD/考勤日报-USE=YES"_qs}));
    secondFile().clear();
    open();
    EXPECT_TRUE(child<QLabel>("Image1")->toolTip().isEmpty());
}

// A set-up dialog that fails to load, or a settings file the check cannot read, is shown
// instead of leaving through the event loop; the box opens without an unreadable second file.
TEST_F(AboutBoxTest, FailuresBehindTheAdvancedButtonAreShownAndClosingSettlesTheRefreshFlag)
{
    suite.operatorNameValue = u"pelto"_qs;
    frmAbout& a = open([] { throw std::runtime_error("no such table: zdb1"); });
    EXPECT_NO_THROW(advanced());
    EXPECT_EQ(std::pair(ui.messageTexts(), a.isVisible()),
              std::pair(QStringList{u"no such table: zdb1"_qs}, true));

    ui.messages.clear();
    suite.unreadableFiles << suite.settingsDir + u"/"_qs + suite.secondFile;
    frmAbout* b = nullptr;
    ASSERT_NO_THROW(b = &open());
    EXPECT_TRUE(child<QLabel>("Image1")->toolTip().isEmpty());
    suite.unreadableFiles << suite.settingsPath();
    EXPECT_NO_THROW(advanced());
    EXPECT_EQ(ui.messageTexts(), QStringList{u"Cannot read the settings file "_qs + suite.settingsPath()});
    EXPECT_EQ(std::pair(setupOpened, b->isVisible()), std::pair(0, true));

    // Closing by the exit button or the window box must not make the main window lay itself out
    // again: RefreshFlag becomes 2 unless it is 0.
    suite.unreadableFiles.clear();
    for (const auto& [before, after] : {std::pair{0, 0}, std::pair{1, 2}, std::pair{2, 2}}) {
        for (bool windowBox : {false, true}) {
            suite.refresh = before;
            frmAbout& a = open();
            if (windowBox)
                a.close();
            else
                QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
            EXPECT_EQ(std::pair(suite.refresh, a.isVisible()), std::pair(after, false))
                << before << (windowBox ? " window box" : " exit button");
        }
    }
}

} // namespace
