#include "entry/ArrangeControls.h"
#include "entry/ModuleDatabase.h"
#include "entry/RecordingCommands.h"
#include "entry/WindowControls.h"
#include "entry/WindowDesign.h"
#include "entry/clszh.h"
#include "entry/frmKQJL.h"
#include "grid/Workbook.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;
using talor::test::RecordingLauncher;
using talor::test::ScriptedUi;

namespace {

// A suite whose table and view calls fail once `failing` is set.
class FailingSuite : public FakeSuite
{
public:
    bool failing = false;
    QStringList viewNames;
    void setCurrentTable(const QString& code) override
    {
        if (failing)
            throw SuiteError("table service down");
        FakeSuite::setCurrentTable(code);
    }
    void setViewName(const QString& caption) override
    {
        viewNames << caption;
        FakeSuite::setViewName(caption);
    }
};

class WindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.appDir = suite.settingsDir = suite.iconDir = data.directory();
        suite.templateDir = data.directory();
        suite.current = "suite1";
        suite.tableCaptions = {{"kq01", "考勤表"}, {"suite1", "人事表"}};
        suite.setSetting("TALOR", "考勤日报TABLE", "kq01");
        suite.setSetting("TALOR", "考勤日报IF", "YES");
        suite.setSetting("TALOR", "考勤日报MENU2", "工资");
        suite.setSetting("TALOR", "考勤日报CAP2", "工资");
        suite.allowed = ",工资,";
        data.root(1);
        data.node(10, 1, "生产部", 1);
        data.node(11, 1, "行政部", 2);
        data.node(20, 10, "一组", 1);
        data.node(30, 20, "甲班", 1);
        data.menu("工资", QVariant(), "", "salary.dll");
        data.employee("0001", "张三", "生产部");
        window = std::make_unique<frmKQJL>(suite, ui, &launcher);
        window->setCommands(&commands);
    }

    template <typename T> T* control(const char* name) const { return test::child<T>(*window, name); }
    int layouts() const { return int(commands.count("layoutReport")); }
    int listClicks() const { return int(commands.count("listClick")); }

    void makeTemplate(const QString& name)
    {
        QFile(QDir(data.directory()).filePath(name)).open(QIODevice::WriteOnly);
    }

    // Loaded, shown, active (so that menu keys reach it) and activated.
    void showActive()
    {
        window->load();
        window->show();
        QApplication::setActiveWindow(window.get());
        window->activate();
    }

    int visibleToolButtons() const
    {
        const QList<QAction*> all = control<QToolBar>("Toolbar1")->actions();
        return int(std::count_if(all.begin(), all.end(), [](QAction* a) { return a->isVisible(); }));
    }

    ModuleDatabase data;
    FailingSuite suite;
    ScriptedUi ui;
    RecordingLauncher launcher;
    test::RecordingCommands commands;
    std::unique_ptr<frmKQJL> window;
};

TEST_F(WindowTest, LoadFillsTreeMenusGridAndCaption)
{
    data.node(12, 1, "生产部", 3); // a duplicate key: skipped and reported
    window->load();
    QTreeWidget* tree = control<QTreeWidget>("TreeView1");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(std::pair(tree->topLevelItem(0)->text(0), tree->topLevelItem(0)->childCount()),
              std::pair(QString("示范公司"), 2));
    ASSERT_TRUE(test::treeNode(*window, "C生产部一组甲班"));
    EXPECT_EQ(test::treeNode(*window, "C生产部一组甲班")->parent(), test::treeNode(*window, "B生产部一组"));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded()); // the last node was scrolled into view
    EXPECT_EQ(QStringList({window->windowTitle(), control<QAction>("MNE1")->text(),
                           control<QAction>("MNE2")->text(), window->book().sheetName(1)}),
              QStringList({"考勤日报", "", "工资", ""}));
    EXPECT_FALSE(window->book().allowInCellEditing());
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
    EXPECT_TRUE(control<QStatusBar>("StatusBar1")->currentMessage().contains("生产部"));
    const auto* timer = window->findChild<QTimer*>("Timer1");
    ASSERT_TRUE(timer) << "no Timer1";
    EXPECT_EQ(std::pair(timer->interval(), timer->isActive()), std::pair(500, true));
}

TEST_F(WindowTest, FirstStartOpensTheSetupDialogBeforeTheWindowShows)
{
    suite.settings.clear();
    bool windowVisible = true;
    ui.dialogs.push_back([&](QDialog&) {
        windowVisible = window->isVisible();
        return int(QDialog::Rejected);
    });
    window->load();
    ASSERT_EQ(ui.dialogsShown.size(), 1);
    EXPECT_TRUE(ui.dialogsShown[0].contains("frmYBXZ"));
    EXPECT_FALSE(windowVisible);
}

TEST_F(WindowTest, FirstActivationBuildsTheCommandBarAndLaysOut)
{
    suite.setSetting("TALOR", "考勤日报OPT", "3");
    control<QListWidget>("ListView1")->addItem("0001 张三");
    showActive();
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(commands.count("saveContent"), 0) << "MN03 is hidden for kind 3, its key too";
    EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(1, 2));
    const QList<QAction*> buttons = control<QToolBar>("Toolbar1")->actions();
    ASSERT_EQ(buttons.size(), 15);
    EXPECT_EQ(QStringList({buttons[0]->objectName(), buttons[2]->objectName(), buttons[2]->text()}),
              QStringList({"KEY-1", "KEY-4", "工资"}));
    // Kind 3 hides edit and save: 1, position 2, and 11 to 15.
    EXPECT_EQ(visibleToolButtons(), 7);
    EXPECT_EQ(QList<bool>({control<QAction>("MN02")->isVisible(), control<QAction>("MNE1")->isVisible(),
                           control<QAction>("MNE2")->isVisible()}),
              QList<bool>({false, false, true}));
    EXPECT_EQ(control<QFrame>("Frame1")->x(),
              twipsToPixels(design::ButtonWidth * 7 + 200, design::dpi(*window)));
    EXPECT_EQ(control<QListWidget>("ListView1")->count(), 0);
    EXPECT_EQ(
        QList<bool>({test::option(*window, 3)->isChecked(), test::option(*window, 1)->isEnabled(),
                     test::option(*window, 2)->isEnabled(), control<QDateEdit>("DTPicker1")->isHidden()}),
        QList<bool>({true, false, false, true}));

    // Settled: a later activation re-reads the report but does not lay out again.
    window->activate();
    EXPECT_EQ(layouts(), 1);
}

TEST_F(WindowTest, OptionClickSwitchesTheKindAndLaysOutAgain)
{
    makeTemplate("考勤日报1.vts");
    makeTemplate("考勤日报2.vts");
    showActive();
    control<QCheckBox>("Check1")->setChecked(true);
    test::option(*window, 2)->click();
    EXPECT_EQ(
        QStringList({suite.setting("TALOR", "考勤日报OPT"), suite.setting("MODEL8", "OPT"), suite.option}),
        QStringList({"2", "2", "2"}));
    EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(2, 2));
    EXPECT_EQ(
        QList<bool>({control<QCheckBox>("Check1")->isChecked(), control<QCheckBox>("Check1")->isEnabled(),
                     test::option(*window, 2)->isChecked(), control<QDateEdit>("DTPicker1")->isHidden(),
                     test::option(*window, 3)->isEnabled()}),
        QList<bool>({false, true, true, false, false}));

    test::option(*window, 1)->click();
    EXPECT_TRUE(control<QListWidget>("ListView1")->isVisibleTo(window.get()));
    test::option(*window, 3)->setEnabled(true);
    test::option(*window, 3)->click();
    EXPECT_FALSE(control<QCheckBox>("Check1")->isEnabled() ||
                 control<QListWidget>("ListView1")->isVisibleTo(window.get()));

    // Each click rebuilds the command bar; the buttons it takes off are deleted: the bar owns
    // as many actions after 100 rebuilds as after one.
    const auto ownedActions = [this] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return control<QToolBar>("Toolbar1")->findChildren<QAction*>().size();
    };
    const qsizetype afterOne = ownedActions();
    for (int i = 0; i < 100; ++i)
        test::option(*window, 1 + i % 2)->click();
    EXPECT_EQ(ownedActions(), afterOne);
    EXPECT_LE(afterOne, CommandBar::ButtonCount + 2);
    EXPECT_EQ(layouts(), 104);
}

// In the heading layout the title, period and person labels lie on the banner picture, not
// under it, from the first layout on (not only after a resize).
TEST_F(WindowTest, LabelsLieOnTheBannerPicture)
{
    showActive();
    window->view().setHeadingLayout(true);
    auto* image = window->findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    const QObjectList order = image->parentWidget()->children();
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        auto* label = window->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_GT(order.indexOf(label), order.indexOf(image)) << name << " is above the picture";
    }
}

TEST_F(WindowTest, TimerSumBoxAndDatePickerRedisplay)
{
    suite.setSetting("TALOR", "考勤日报OPT", "2");
    // Modal itself, the way the product shows it: its own modality holds no tick back.
    window->setWindowModality(Qt::ApplicationModal);
    showActive();
    ASSERT_EQ(QApplication::activeModalWidget(), window.get());
    QTreeWidgetItem* node = test::treeNode(*window, "A生产部");
    Q_EMIT control<QTreeWidget>("TreeView1")->itemClicked(node, 0);
    ASSERT_EQ(commands.treeNodes.size(), 1);

    // A tick redisplays only while RefreshFlag is 1, and settles it.
    QList<qsizetype> clicks;
    QList<int> flags;
    for (int flag : {2, 1, 0}) {
        suite.refresh = flag;
        test::tick(*window);
        clicks << commands.treeNodes.size();
        flags << suite.refresh;
    }
    EXPECT_EQ(clicks, QList<qsizetype>({1, 2, 2}));
    EXPECT_EQ(flags, QList<int>({2, 2, 0}));
    EXPECT_EQ(commands.treeNodes.last(), node);

    // The sum box and the date picker redisplay the node; setting the picker from code does not.
    control<QCheckBox>("Check1")->click();
    EXPECT_EQ(commands.treeNodes.size(), 3);
    control<QDateEdit>("DTPicker1")->setDate(QDate(2026, 12, 24));
    EXPECT_EQ(suite.date, QDate(2026, 12, 24));
    EXPECT_EQ(commands.treeNodes.size(), 4);
    window->view().setPickerDate(QDate(2026, 12, 25));
    EXPECT_EQ(commands.treeNodes.size(), 4);

    // Report kind 1 redisplays the list instead.
    suite.option = "1";
    suite.refresh = 1;
    test::tick(*window);
    control<QCheckBox>("Check1")->click();
    EXPECT_EQ(std::tuple(listClicks(), commands.treeNodes.size(), suite.refresh), std::tuple(2, 4, 2));

    // Another modal window of the module holds the ticks back while it is open.
    auto* other = new QDialog(window.get());
    other->setModal(true);
    other->show();
    suite.refresh = 1;
    test::tick(*window);
    EXPECT_EQ(std::pair(listClicks(), suite.refresh), std::pair(2, 1));
    delete other;
    test::tick(*window);
    EXPECT_EQ(listClicks(), 3);
}

// The commands behind the unsaved-data guard, by menu (Cancel: nothing happens) and by their
// toolbar button (OK: the unsaved state is dropped and the command runs).
enum class Guarded
{
    Exit,
    SelectReport,
    About,
    ExternalModule
};

struct GuardCase
{
    const char* name;
    const char* command;
    int toolbarButton;
    Guarded what;
};

class WindowGuard : public WindowTest, public ::testing::WithParamInterface<GuardCase>
{};

TEST_P(WindowGuard, CancelKeepsEverythingOkRuns)
{
    const GuardCase& c = GetParam();
    commands.onRun = [&](const QString& command) {
        if (command == "selectReport")
            suite.refresh = 0;
    };
    showActive();
    const auto ran = [&] {
        switch (c.what) {
        case Guarded::Exit:
            return !window->isVisible();
        case Guarded::SelectReport:
            return commands.count("selectReport") == 1;
        case Guarded::About:
            return ui.dialogsShown == QStringList{"frmAbout"};
        case Guarded::ExternalModule:
            return launcher.components == QStringList{"SALARY.clszh"};
        }
        return false;
    };
    window->state().DataChanged = true;
    ui.answers.push_back(UiService::Answer::Cancel);
    if (c.what == Guarded::Exit)
        QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier); // MN08 by its key
    else
        test::trigger(*window, c.command);
    EXPECT_FALSE(ran());
    EXPECT_TRUE(window->state().DataChanged);
    EXPECT_EQ(ui.messageTexts(), QStringList{"资料已变动,真的放弃保存?"});
    EXPECT_EQ(std::pair(ui.messages[0].title, ui.messages[0].buttons),
              std::pair(QString("系统提示"), UiService::Buttons::OkCancel));

    if (c.what == Guarded::ExternalModule || c.what == Guarded::About)
        suite.refresh = 0; // as the external module or the set-up dialog behind the about box leaves it
    ui.answers.push_back(UiService::Answer::Ok);
    const QToolBar* bar = control<QToolBar>("Toolbar1");
    qobject_cast<QToolButton*>(bar->widgetForAction(bar->actions().at(c.toolbarButton - 1)))->click();
    EXPECT_TRUE(ran());
    EXPECT_FALSE(window->state().DataChanged);
    if (c.what == Guarded::Exit) {
        EXPECT_EQ(suite.current + suite.view, "suite1人事表") << "the suite's table is restored";
    } else {
        // The window is activated after the dialog or module closed (the dialog reset
        // RefreshFlag): it lays out again.
        EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(2, 2));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, WindowGuard,
                         ::testing::Values(GuardCase{"Exit", "MN08", 15, Guarded::Exit},
                                           GuardCase{"SelectReport", "MN01", 1, Guarded::SelectReport},
                                           GuardCase{"About", "MN07", 14, Guarded::About},
                                           GuardCase{"ExternalModule", "MNE2", 3, Guarded::ExternalModule}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, UnloadIgnoresEveryFailure)
{
    window->load();
    suite.failing = true;
    suite.viewNames.clear();
    suite.current = "kq01";
    EXPECT_NO_THROW(window->close());
    // The table could not be restored; the view step still ran on the table the suite has.
    EXPECT_EQ(suite.viewNames, QStringList{"考勤表"});
}

TEST_F(WindowTest, UnregisteredMenuAndAboutBox)
{
    suite.setSetting("TALOR", "考勤日报MENU1", "奖金");
    showActive();
    test::trigger(*window, "MNE1");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text + "|" + ui.messages[0].title, "菜单:'奖金'尚未登记|系统提示");
    EXPECT_TRUE(launcher.components.isEmpty());
    test::trigger(*window, "MN07");
    ASSERT_EQ(ui.dialogsShown.size(), 1);
    EXPECT_TRUE(ui.dialogsShown[0].contains("frmAbout"));
}

// A failing plugged-in operation ends with a message; it never leaves through the event loop.
TEST_F(WindowTest, FailuresOfPluggedInOperationsAreShown)
{
    commands.onRun = [](const QString& command) {
        if (QStringList({"treeClick", "listClick", "saveContent"}).contains(command))
            throw DatabaseError("no such table: kq01");
    };
    showActive();
    EXPECT_NO_THROW(
        Q_EMIT control<QTreeWidget>("TreeView1")->itemClicked(test::treeNode(*window, "A生产部"), 0));
    EXPECT_NO_THROW(Q_EMIT control<QListWidget>("ListView1")->itemClicked(nullptr));
    EXPECT_NO_THROW(control<QDateEdit>("DTPicker1")->setDate(QDate(2026, 12, 24)));
    EXPECT_NO_THROW(QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier)); // MN03 by its key
    EXPECT_EQ(ui.messageTexts(),
              QStringList({"部门查询失败: no such table: kq01", "人员查询失败: no such table: kq01",
                           "部门查询失败: no such table: kq01", "保存内容失败: no such table: kq01"}));
}

TEST_F(WindowTest, ZhShowsTheSameWindowAgainAndReloads)
{
    clszh component(suite, ui, &launcher);
    EXPECT_EQ(component.window(), nullptr);
    QTimer::singleShot(50, [&] {
        EXPECT_TRUE(component.window()->isVisible() && component.window()->isModal());
        component.window()->close();
    });
    EXPECT_EQ(component.zh(), "");
    frmKQJL* first = component.window();
    ASSERT_TRUE(first);
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(suite.current, "suite1");

    // Loaded again: the tree emptied here is filled anew.
    auto* tree = test::child<QTreeWidget>(*first, "TreeView1");
    tree->clear();
    QTimer::singleShot(50, [&] { test::trigger(*component.window(), "MN08"); });
    EXPECT_EQ(component.zh(), "");
    EXPECT_EQ(std::pair(component.window(), tree->topLevelItemCount()), std::pair(first, 1));
}

// Tab reaches every control in reading order and comes round again; in the grid Tab moves
// between cells and Ctrl+Tab leaves. F1 tells the keys; Alt and a letter open the menus.
TEST_F(WindowTest, TabWalksTheWindowCtrlTabLeavesTheGridF1Helps)
{
    showActive();
    window->book().setLastRow(3);
    window->book().setLastColumn(3);
    QApplication::processEvents();
    const auto focused = [&] {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (!w->objectName().isEmpty() && w->objectName() != "qt_spinbox_lineedit")
                return w->objectName();
        return QString("none");
    };
    // Each control the kind shows, the report kind by its chosen button.
    QStringList shown;
    const auto named = [&](const char* name) {
        return window->findChild<QWidget*>(name);
    };
    for (QWidget* control : std::initializer_list<QWidget*>{
             control<QTreeWidget>("TreeView1"), control<QListWidget>("ListView1"), nullptr,
             control<QCheckBox>("Check1"), control<QDateEdit>("DTPicker1"), named("PeriodPick"),
             named("PeriodFrom"), named("PeriodTo")}) {
        if (!control) {
            for (int kind = 1; kind <= 3; ++kind)
                if (test::option(*window, kind)->isChecked())
                    shown << QString("Option%1").arg(kind);
        } else if (control->isVisible() && control->isEnabled()) {
            shown << control->objectName();
        }
    }
    control<QTreeWidget>("TreeView1")->setFocus();
    QStringList walked{focused()};
    for (qsizetype n = 0; n < shown.size() + 1; ++n) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << focused();
    }
    EXPECT_EQ(walked, shown + QStringList({"sheetTable", "sheetTable"})) << "Tab stays in the grid's cells";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(focused(), "TreeSearch") << "Ctrl+Tab leaves the grid for the search above the tree";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(focused(), shown.last()) << "Ctrl+Shift+Tab leaves the grid backwards";

    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_TRUE(ui.messages.back().text.startsWith("考勤日报的按键") &&
                ui.messages.back().text.contains("man talor"));
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"查询(&Q)", "输入(&I)", "输出(&O)", "帮助(&H)", "外挂(&W)"}));
}

// The operator's size for the window outlives the window: the next one opens at it.
TEST_F(WindowTest, TheWindowOpensAtTheSizeItWasClosedAt)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QSize shown;
    for (const QSize size : {QSize(1300, 850), QSize()}) {
        clszh component(suite, ui, &launcher);
        QTimer::singleShot(50, [&] {
            shown = component.window()->size();
            if (size.isValid())
                component.window()->resize(size);
            component.window()->close();
        });
        component.zh();
    }
    EXPECT_EQ(shown, QSize(1300, 850));
    EXPECT_TRUE(QFile::exists(config.filePath("talor/window.ini")));
}

// The period picked in the window outlives the window: the next one starts with it, whatever
// the suite said.
TEST_F(WindowTest, ThePickedPeriodOutlivesTheWindow)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QStringList seen;
    for (const bool picks : {true, false}) {
        suite.setPeriodStart("2026-10-01");
        suite.setPeriodEnd("2026-10-31");
        clszh component(suite, ui, &launcher);
        QTimer::singleShot(50, [&] {
            auto* from = component.window()->findChild<QDateEdit*>("PeriodFrom");
            auto* to = component.window()->findChild<QDateEdit*>("PeriodTo");
            seen << from->date().toString(Qt::ISODate) + "|" + to->date().toString(Qt::ISODate);
            if (picks) {
                to->setDate(QDate(2026, 11, 14));
                from->setDate(QDate(2026, 10, 15));
            }
            component.window()->close();
        });
        component.zh();
        seen << suite.periodStart() + "|" + suite.periodEnd();
    }
    EXPECT_EQ(seen, QStringList({"2026-10-01|2026-10-31", "2026-10-15|2026-11-14", "2026-10-15|2026-11-14",
                                 "2026-10-15|2026-11-14"}));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

} // namespace
