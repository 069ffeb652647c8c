// The main window's own wiring, on a small suite with commands that record what the window ran:
// menus, keys and buttons reaching their operations, the guard, the timer, focus, the modal show.
#include "commands/UnsavedDataGuard.h"
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
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>

using namespace talor;
using talor::test::ScriptedUi;

namespace {

// A suite whose table calls fail once `failing` is set.
class FailingSuite : public test::FakeSuite
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
        suite.appDir = suite.settingsDir = suite.iconDir = suite.templateDir = data.directory();
        suite.current = "suite1";
        suite.tableCaptions = {{"kq01", "考勤表"}, {"suite1", "人事表"}};
        const std::pair<const char*, const char*> settings[] = {
            {"TABLE", "kq01"}, {"IF", "YES"}, {"MENU2", "工资"}, {"CAP2", "工资"}};
        for (const auto& [key, value] : settings)
            suite.setSetting("TALOR", QString("考勤日报") + key, value);
        suite.allowed = ",工资,";
        data.root(1);
        data.node(10, 1, "生产部", 1);
        data.node(11, 1, "行政部", 2);
        data.node(20, 10, "一组", 1);
        data.node(30, 20, "甲班", 1);
        data.menu("工资", QVariant(), "", "salary.dll");
        window = std::make_unique<frmKQJL>(suite, ui, &launcher);
        window->setCommands(&commands);
    }

    template <typename T> T* control(const char* name) const { return test::child<T>(*window, name); }
    QString status() const { return control<QStatusBar>("StatusBar1")->currentMessage(); }
    int layouts() const { return int(commands.count("layoutReport")); }
    void makeTemplate(const QString& name) { test::putFile(data.directory() + "/" + name, {}); }
    // Loaded, shown, active (so that menu keys reach it) and activated.
    void showActive()
    {
        window->load();
        window->show();
        QApplication::setActiveWindow(window.get());
        window->activate();
    }

    test::ModuleDatabase data;
    FailingSuite suite;
    ScriptedUi ui;
    test::RecordingLauncher launcher;
    test::RecordingCommands commands;
    std::unique_ptr<frmKQJL> window;
};

// The first activation builds the command bar for the kind and lays out once; each kind button
// switches the kind, shows its controls and lays out again, and the bar it rebuilds owns no
// more actions after 100 rebuilds than after one.
TEST_F(WindowTest, ActivationAndTheKindButtons)
{
    suite.setSetting("TALOR", "考勤日报OPT", "3");
    makeTemplate("考勤日报1.vts");
    makeTemplate("考勤日报2.vts");
    control<QListWidget>("ListView1")->addItem("0001 张三");
    showActive();
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(commands.count("saveContent"), 0) << "MN03 is hidden for kind 3, its key too";
    EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(1, 2));
    QStringList shown;
    for (QAction* button : control<QToolBar>("Toolbar1")->actions())
        if (button->isVisible())
            shown << button->objectName() + " " + button->text();
    EXPECT_EQ(shown.join(","),
              "KEY-1 选定,KEY-4 工资,KEY-12 预览,KEY-13 打印,KEY-14 输出,KEY-15 关于,KEY-16 退出");
    EXPECT_EQ(QList<bool>({control<QAction>("MN02")->isVisible(), control<QAction>("MNE1")->isVisible(),
                           control<QAction>("MNE2")->isVisible(), test::option(*window, 3)->isChecked(),
                           control<QDateEdit>("DTPicker1")->isHidden()}),
              QList<bool>({false, false, true, true, true}));
    EXPECT_EQ(control<QFrame>("Frame1")->x(),
              twipsToPixels(design::ButtonWidth * 7 + 200, design::dpi(*window)));
    EXPECT_EQ(control<QListWidget>("ListView1")->count(), 0);
    window->activate();
    EXPECT_EQ(layouts(), 1) << "settled: a later activation does not lay out again";

    control<QCheckBox>("Check1")->setChecked(true);
    // A module renamed since the load (in the set-up dialog): the rebuilt bar's menu shows it.
    suite.setSetting("TALOR", "考勤日报MENU2", "奖金");
    test::chooseKind(*window, 2);
    EXPECT_EQ(QStringList({suite.setting("TALOR", "考勤日报OPT"), suite.setting("MODEL8", "OPT"),
                           suite.option, control<QAction>("MNE2")->text()}),
              QStringList({"2", "2", "2", "奖金"}));
    EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(2, 2));
    EXPECT_EQ(
        QList<bool>({control<QCheckBox>("Check1")->isChecked(), control<QCheckBox>("Check1")->isEnabled(),
                     test::option(*window, 2)->isChecked(), control<QDateEdit>("DTPicker1")->isHidden(),
                     test::option(*window, 3)->isEnabled()}),
        QList<bool>({false, true, true, false, false}));
    test::chooseKind(*window, 1);
    EXPECT_TRUE(control<QListWidget>("ListView1")->isVisibleTo(window.get()));
    test::option(*window, 3)->setEnabled(true);
    test::chooseKind(*window, 3);
    EXPECT_FALSE(control<QCheckBox>("Check1")->isEnabled() ||
                 control<QListWidget>("ListView1")->isVisibleTo(window.get()));

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const qsizetype afterOne = control<QToolBar>("Toolbar1")->findChildren<QAction*>().size();
    for (int i = 0; i < 100; ++i)
        test::chooseKind(*window, 1 + i % 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(std::pair(control<QToolBar>("Toolbar1")->findChildren<QAction*>().size(), layouts()),
              std::pair(afterOne, 104));

    // In the heading layout the title, period and person labels lie on the banner picture.
    window->view().setHeadingLayout(true);
    const QObjectList order = control<QLabel>("Image1")->parentWidget()->children();
    for (const char* name : {"Label1", "Label2", "Label3"})
        EXPECT_GT(order.indexOf(control<QLabel>(name)), order.indexOf(control<QLabel>("Image1"))) << name;
}

// Each editing and output command runs its operation by its menu item, its key and its button;
// one that fails ends in a message naming it, never through the event loop. An external menu
// that is not registered is told.
TEST_F(WindowTest, MenusKeysAndButtonsReachTheirOperationsFailuresAreShown)
{
    suite.setSetting("TALOR", "考勤日报OPT", "2");
    suite.setSetting("TALOR", "考勤日报MENU1", "奖金");
    showActive();
    // Menu item, button, key (if any), operation.
    const std::tuple<const char*, const char*, QKeySequence, const char*> cases[] = {
        {"MN02", "KEY-10", Qt::Key_F2, "editContent"},
        {"MN03", "KEY-11", QKeySequence::Save, "saveContent"},
        {"MN04", "KEY-12", {}, "preview"},
        {"MN05", "KEY-13", QKeySequence::Print, "print"},
        {"MN06", "KEY-14", {}, "exportExcel"},
        {"MN01", "KEY-1", QKeySequence::Open, "selectReport"},
    };
    for (const auto& [menu, button, key, operation] : cases) {
        commands.ran.clear();
        test::trigger(*window, menu);
        test::trigger(*window, button);
        if (!key.isEmpty())
            QTest::keySequence(window.get(), key);
        EXPECT_EQ(commands.ran, QStringList(key.isEmpty() ? 2 : 3, operation)) << menu;
    }
    test::trigger(*window, "MNE1");
    EXPECT_EQ(ui.messageTexts() << ui.messages.at(0).title, QStringList({"菜单:'奖金'尚未登记", "系统提示"}));
    EXPECT_TRUE(launcher.components.isEmpty());

    ui.messages.clear();
    commands.onRun = [](const QString& command) {
        if (command != "layoutReport")
            throw DatabaseError("no such table: kq01");
    };
    EXPECT_NO_THROW(test::clickNode(*window, "A生产部"));
    EXPECT_NO_THROW(Q_EMIT control<QListWidget>("ListView1")->itemClicked(nullptr));
    EXPECT_NO_THROW(control<QDateEdit>("DTPicker1")->setDate(QDate(2026, 12, 24)));
    EXPECT_NO_THROW(QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier));
    EXPECT_NO_THROW(test::trigger(*window, "MN06"));
    EXPECT_EQ(ui.messageTexts(),
              QStringList({"部门查询失败: no such table: kq01", "人员查询失败: no such table: kq01",
                           "部门查询失败: no such table: kq01", "保存内容失败: no such table: kq01",
                           "EXCEL输出失败: no such table: kq01"}));
}

TEST_F(WindowTest, TimerSumBoxAndDatePickerRedisplay)
{
    suite.setSetting("TALOR", "考勤日报OPT", "2");
    // Modal itself, the way the product shows it: its own modality holds no tick back.
    window->setWindowModality(Qt::ApplicationModal);
    showActive();
    ASSERT_EQ(QApplication::activeModalWidget(), window.get());
    test::clickNode(*window, "A生产部");

    // A tick redisplays only while RefreshFlag is 1, and settles it.
    QStringList ticks;
    for (int flag : {2, 1, 0}) {
        suite.refresh = flag;
        test::tick(*window);
        ticks << QString("%1:%2").arg(commands.treeNodes.size()).arg(suite.refresh);
    }
    EXPECT_EQ(ticks, QStringList({"1:2", "2:2", "2:0"}));
    EXPECT_EQ(commands.treeNodes.last(), test::treeNode(*window, "A生产部"));

    // The sum box and the date picker redisplay the node; setting the picker from code does not.
    control<QCheckBox>("Check1")->click();
    control<QDateEdit>("DTPicker1")->setDate(QDate(2026, 12, 24));
    window->view().setPickerDate(QDate(2026, 12, 25));
    EXPECT_EQ(std::pair(commands.treeNodes.size(), suite.date), std::pair(qsizetype(4), QDate(2026, 12, 24)));
    // With unsaved edits another day is asked about first: Cancel keeps the day and the edits.
    window->state().DataChanged = true;
    ui.answers = {UiService::Answer::Cancel};
    control<QDateEdit>("DTPicker1")->setDate(QDate(2026, 12, 26));
    EXPECT_EQ(std::tuple(suite.date, control<QDateEdit>("DTPicker1")->date(), commands.treeNodes.size(),
                         window->state().DataChanged),
              std::tuple(QDate(2026, 12, 24), QDate(2026, 12, 24), qsizetype(4), true));
    window->state().DataChanged = false;

    // Report kind 1 redisplays its person instead.
    suite.option = "1";
    suite.refresh = 1;
    test::tick(*window);
    control<QCheckBox>("Check1")->click();
    EXPECT_EQ(std::tuple(commands.count("redisplayPerson"), commands.treeNodes.size(), suite.refresh),
              std::tuple(qsizetype(2), qsizetype(4), 2));

    // Another modal window of the module holds the ticks back while it is open.
    auto* other = new QDialog(window.get());
    other->setModal(true);
    other->show();
    suite.refresh = 1;
    test::tick(*window);
    EXPECT_EQ(std::pair(commands.count("redisplayPerson"), suite.refresh), std::pair(qsizetype(2), 1));
    delete other;
    test::tick(*window);
    EXPECT_EQ(commands.count("redisplayPerson"), 3);
}

// The commands behind the unsaved-data guard, by menu or key (Cancel: nothing happens) and by
// their toolbar button (OK: the unsaved state is dropped and the command runs). The window is
// activated after the dialog or the module, which reset RefreshFlag, and lays out again; the
// exit restores the suite's table and shows no report again once closed (only the node's click).
TEST_F(WindowTest, GuardedCommandsAskFirst)
{
    commands.onRun = [&](const QString& command) {
        if (command == "selectReport")
            suite.refresh = 0;
    };
    // What the four commands leave: reports chosen, dialogs shown, components run, the window.
    const auto ran = [&]() -> QString {
        return QString::number(commands.count("selectReport")) + "|" + ui.dialogsShown.join(',') + "|" +
               launcher.components.join(',') + (window->isVisible() ? "|shown" : "|closed");
    };
    const std::tuple<const char*, int, const char*> cases[] = {{"MN01", 1, "1|||shown"},
                                                               {"MN07", 14, "0|frmAbout||shown"},
                                                               {"MNE2", 3, "0||SALARY.clszh|shown"},
                                                               {"MN08", 15, "0|||closed"}};
    for (const auto& [command, button, outcome] : cases) {
        SCOPED_TRACE(command);
        window = std::make_unique<frmKQJL>(suite, ui, &launcher);
        window->setCommands(&commands);
        suite.current = "suite1";
        commands.ran.clear();
        ui = ScriptedUi();
        launcher.components.clear();
        showActive();
        test::clickNode(*window, "A生产部");
        window->state().DataChanged = true;
        ui.answers.push_back(UiService::Answer::Cancel);
        if (button == 15)
            QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
        else
            test::trigger(*window, command);
        EXPECT_EQ(std::tuple(ran(), window->state().DataChanged, ui.messageTexts() << ui.messages[0].title,
                             ui.messages[0].buttons),
                  std::tuple(QString("0|||shown"), true,
                             QStringList({"资料已变动,真的放弃保存?", "系统提示"}),
                             UiService::Buttons::OkCancel));

        suite.refresh = 0; // as the dialogs and the external module leave it
        ui.answers.push_back(UiService::Answer::Ok);
        const QToolBar* bar = control<QToolBar>("Toolbar1");
        qobject_cast<QToolButton*>(bar->widgetForAction(bar->actions().at(button - 1)))->click();
        EXPECT_EQ(std::pair(ran(), window->state().DataChanged), std::pair(QString(outcome), false));
        if (button == 15)
            EXPECT_EQ(std::pair(QString(suite.current + suite.view),
                                commands.count("treeClick") + commands.count("redisplayPerson")),
                      std::pair(QString("suite1人事表"), qsizetype(1)));
        else
            EXPECT_EQ(std::pair(layouts(), suite.refresh), std::pair(2, 2));
    }
}

// zh shows the window modally, the same one again, loaded anew; the size and the period the
// operator leaves it at (one day, the shortest) are where the next window opens, whatever the
// suite's period says.
TEST_F(WindowTest, ZhShowsOneWindowModallyThatOpensAsItWasLeft)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    const auto period = [](frmKQJL* w) -> QString {
        return w->findChild<QDateEdit*>("PeriodFrom")->date().toString(Qt::ISODate) + "|" +
               w->findChild<QDateEdit*>("PeriodTo")->date().toString(Qt::ISODate);
    };
    QStringList seen;
    suite.setPeriodStart("2026-10-01");
    suite.setPeriodEnd("2026-10-31");
    clszh component(suite, ui, &launcher);
    QTimer::singleShot(50, [&] {
        frmKQJL* w = component.window();
        seen << period(w) << QString(w->isVisible() && w->isModal() ? "modal" : "not modal");
        w->resize(1300, 850);
        w->findChild<QDateEdit*>("PeriodTo")->setDate(QDate(2026, 10, 15));
        w->findChild<QDateEdit*>("PeriodFrom")->setDate(QDate(2026, 10, 15));
        w->close();
    });
    EXPECT_EQ(component.zh(), "");
    frmKQJL* first = component.window();
    EXPECT_FALSE(first->isVisible());
    auto* tree = test::child<QTreeWidget>(*first, "TreeView1");
    tree->clear();
    QTimer::singleShot(50, [&] { test::trigger(*component.window(), "MN08"); });
    component.zh();
    EXPECT_EQ(std::pair(component.window(), tree->topLevelItemCount()), std::pair(first, 1)) << "loaded anew";

    suite.setPeriodStart("2026-10-01");
    suite.setPeriodEnd("2026-10-31");
    clszh next(suite, ui, &launcher);
    QTimer::singleShot(50, [&] {
        seen << period(next.window())
             << QString("%1x%2").arg(next.window()->width()).arg(next.window()->height());
        next.window()->close();
    });
    next.zh();
    seen << suite.periodStart() << suite.periodEnd() << suite.current;
    EXPECT_EQ(seen, QStringList({"2026-10-01|2026-10-31", "modal", "2026-10-15|2026-10-15", "1300x850",
                                 "2026-10-15", "2026-10-15", "suite1"}));

    // A remembered period that runs backwards or has no readable end is not taken.
    for (const auto& [start, end] : {std::pair("2026-10-20", "2026-10-10"), std::pair("2026-10-20", "x")}) {
        QSettings remembered(QSettings::IniFormat, QSettings::UserScope, "talor", "window");
        remembered.setValue("period/start", start);
        remembered.setValue("period/end", end);
        remembered.sync();
        suite.setPeriodStart("2026-10-01");
        suite.setPeriodEnd("2026-10-31");
        clszh again(suite, ui, &launcher);
        QTimer::singleShot(50, [&] { again.window()->close(); });
        again.zh();
        EXPECT_EQ(suite.periodStart() + "|" + suite.periodEnd(), "2026-10-01|2026-10-31") << end;
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

// Tab reaches every control in reading order and comes round again; in the grid Tab moves
// between cells and Ctrl+Tab leaves. F1 tells the keys; Alt and a letter open the menus.
TEST_F(WindowTest, TabWalksTheWindowCtrlTabLeavesTheGridF1Helps)
{
    suite.setSetting("TALOR", "考勤日报OPT", "3");
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
    control<QTreeWidget>("TreeView1")->setFocus();
    QStringList walked{focused()};
    for (int n = 0; n < 7; ++n) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << focused();
    }
    // Kind 3 shows neither the list nor the day.
    EXPECT_EQ(walked, QStringList({"TreeView1", "Option3", "Check1", "PeriodPick", "PeriodFrom", "PeriodTo",
                                   "sheetTable", "sheetTable"}))
        << "Tab stays in the grid's cells";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(focused(), "TreeSearch") << "Ctrl+Tab leaves the grid for the search above the tree";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(focused(), "PeriodTo") << "Ctrl+Shift+Tab leaves the grid backwards";

    QTest::keyClick(window.get(), Qt::Key_F1);
    const QString help = ui.messageTexts().join('|');
    EXPECT_TRUE(help.startsWith("考勤日报的按键") && help.contains("man talor")) << help.toStdString();
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"查询(&Q)", "输入(&I)", "输出(&O)", "帮助(&H)", "外挂(&W)"}));
}

// Typing above the tree finds a person by number or name and selects the node they belong to
// (by codes or by names), or a node by its name; Enter the next match, Down goes on into the
// tree; the person is selected in the list, at once where it holds them, else once it does.
// Persons that cannot be read (a suite filter on a column the employees lack) are named, beside
// the nodes found or in place of "no match".
TEST_F(WindowTest, TypingSelectsTheNodeOrPersonEnterTheNext)
{
    suite.categoryNames.insert("部门\n01", "生产部");
    suite.groupNames.insert("生产部\n1", "一组");
    suite.teamNames.insert("生产部\n一组\n1", "甲班");
    // Persons of a team by codes, of a department by name, and of a department the tree does not hold.
    for (const QVariantList& person : {QVariantList{"00123", "员工123", "行政部", {}, {}},
                                       {"01230", "员工1230", "01", "1", "1"},
                                       {"09998", "员工9998", "01", "1", "1"},
                                       {"09999", "员工9999", "行政部", {}, {}},
                                       {"04444", "员工4444", "无此部", {}, {}}})
        data.exec("insert into ygzl values (?, ?, ?, ?, ?)", person);
    suite.filter = "ncolor >= 0";
    showActive();
    auto* search = control<QLineEdit>("TreeSearch");
    auto* tree = control<QTreeWidget>("TreeView1");
    // Letter by letter: digits and Latin letters from the keyboard, Chinese characters as an
    // input method commits them; what is selected in the tree and the status bar after.
    const auto type = [&](const QString& text) {
        search->clear();
        for (const QChar c : text) {
            QInputMethodEvent committed;
            committed.setCommitString(c);
            if (c.unicode() < 128)
                QTest::keyClick(search, c.toLatin1());
            else
                QApplication::sendEvent(search, &committed);
        }
        return QStringList(
            {tree->currentItem() ? tree->currentItem()->text(0) : QString(), status().section("（", 0, 0)});
    };
    // The message up to the engine's own words.
    const auto unread = [&](const QString& text) {
        type(text);
        return status().section("：", 0, -2);
    };
    EXPECT_EQ(QStringList({unread("行政"), unread("没有的人")}),
              QStringList({"查找：第 1/1 个：行政部（Enter 查下一个，↓ 进入部门树）；查找：人员读不出",
                           "查找：人员读不出"}));
    suite.filter.clear();
    showActive();
    EXPECT_EQ(type("09998"), QStringList({"甲班", "查找：第 1/1 个：员工9998(09998)"}));
    EXPECT_EQ(type("员工9999").value(0), "行政部");
    EXPECT_EQ(type("04444"),
              QStringList({tree->topLevelItem(0)->text(0), "查找：第 1/1 个：员工4444(04444)"}));
    EXPECT_EQ(type("行政"), QStringList({"行政部", "查找：第 1/1 个：行政部"}));
    EXPECT_EQ(type("员工123"), QStringList({"行政部", "查找：第 1/2 个：员工123(00123)"}));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(QStringList({tree->currentItem()->text(0), status()}),
              QStringList({"甲班", "查找：第 2/2 个：员工1230(01230)（Enter 查下一个，↓ 进入部门树）"}));
    window->view().showEmployees({{"A01228", "01228 员工1228"}, {"A01230", "01230 员工1230"}});
    const int atOnce = control<QListWidget>("ListView1")->currentRow();
    control<QListWidget>("ListView1")->setCurrentRow(0);
    type("01230");
    EXPECT_EQ(std::pair(atOnce, control<QListWidget>("ListView1")->currentRow()), std::pair(1, 1));
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), tree);
    EXPECT_EQ(type("没有的人").value(1), "查找：没有与“没有的人”相符的部门或人员");
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(search->text() + status(), "") << "Escape empties both";
}

// A larger window gives its grid the room gained, and the tree keeps its width; the period in
// the status bar reads from, 至, to.
TEST_F(WindowTest, ALargerWindowGivesTheGridTheRoomAndThePeriodReadsFromTo)
{
    showActive();
    auto* grid = control<QWidget>("F1Book1");
    const QSize before = grid->size();
    const int tree = control<QTreeWidget>("TreeView1")->width();
    window->resize(window->size() + QSize(200, 100));
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(grid->width() - before.width(), grid->height() - before.height(),
                         control<QTreeWidget>("TreeView1")->width()),
              std::tuple(200, 100, tree));

    // The parts of the period from left to right.
    const auto x = [&](const QWidget* part) {
        return part->mapTo(window.get(), QPoint()).x();
    };
    std::map<int, QString> leftToRight{{x(control<QWidget>("PeriodFrom")), "from"},
                                       {x(control<QWidget>("PeriodTo")), "to"}};
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->text() == "至")
            leftToRight.emplace(x(label), label->text());
    QStringList order;
    for (const auto& [left, part] : leftToRight)
        order << part;
    EXPECT_EQ(order, QStringList({"from", "至", "to"}));
}

// The window as built under an application font of the given size: its width and height, the
// tree's width, the grid's height, and the point size of the banner's title.
QList<double> laidOutWith(double points)
{
    const QFont before = QApplication::font();
    QFont font = before;
    font.setPointSizeF(points);
    QApplication::setFont(font);
    test::FakeSuite suite;
    ScriptedUi ui;
    frmKQJL window(suite, ui);
    QApplication::setFont(before);
    return {double(window.width()), double(window.height()),
            double(window.findChild<QTreeWidget*>("TreeView1")->width()),
            double(window.findChild<QWidget*>("F1Book1")->height()),
            window.findChild<QLabel*>("Label1")->font().pointSizeF()};
}

// The designed places were drawn for 9-point text: a desktop with twice that size gets a window
// twice as large, so the texts keep their room, and the banner's title stays larger than the text.
TEST(WindowFont, TheLayoutScalesWithTheDesktopsFont)
{
    const QList<double> small = laidOutWith(9), large = laidOutWith(18);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(large[i] / small[i], 2.0, 0.01) << i;
    EXPECT_DOUBLE_EQ(small[4], 14.0);
    EXPECT_DOUBLE_EQ(large[4], 28.0);
}

} // namespace
