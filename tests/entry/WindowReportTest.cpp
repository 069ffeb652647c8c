// The main window with the module's parts plugged in (as clszh does), on the demo suite:
// tree and list selections by keyboard, the option buttons, 合计, the date picker, the timer
// redisplay, the guard, and the commands that are not there yet.
#include "entry/DemoModule.h"
#include "entry/ModuleParts.h"
#include "entry/frmKQJL.h"
#include "grid/Workbook.h"
#include "suite/DemoSuite.h"
#include "suite/LocalSuite.h"
#include "support/ScriptedUi.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::ScriptedUi;

namespace {

class WindowReport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite = test::setUpDemoSuite(dir.filePath("demo"), 30);
        window = std::make_unique<frmKQJL>(*suite, ui);
        parts = std::make_unique<ModuleParts>(*suite, ui, window->state(), window->records(), window->book(), *window);
        parts->connect(window->hooks());
        window->load();
        window->show();
        window->activate();
    }
    void TearDown() override
    {
        parts.reset();
        window.reset();
        suite.reset();
    }
    // Selects a node by keyboard: current item, then Enter.
    void enterNode(const QString& key)
    {
        QTreeWidgetItem* node = window->treeNode(key);
        ASSERT_NE(node, nullptr);
        window->TreeView1()->setCurrentItem(node);
        QTest::keyClick(window->TreeView1(), Qt::Key_Return);
    }
    const grid::Sheet& sheet() { return window->book().active(); }
    QString label(int n) { return window->Label(n)->text(); }

    QTemporaryDir dir;
    ScriptedUi ui;
    std::unique_ptr<LocalSuite> suite;
    std::unique_ptr<frmKQJL> window;
    std::unique_ptr<ModuleParts> parts;
};

TEST_F(WindowReport, KindTwoNodeSumDatePickerAndTimer)
{
    window->optionClick(2);
    enterNode("ROOT");
    EXPECT_EQ(sheet().lastRow(), 4 + 30);
    EXPECT_EQ(label(3), QString::fromUtf8(DemoSuite::Organisation));
    EXPECT_EQ(label(1), "部门考勤日报");

    window->Check1()->click();
    EXPECT_EQ(sheet().lastRow(), 5 + 30);
    EXPECT_EQ(sheet().text(35, 1), "合计：");

    window->DTPicker1()->setDate(QDate(2026, 10, 6));
    EXPECT_EQ(label(2), "2026-10-06");
    EXPECT_TRUE(suite->composedQuery().contains("zhdate='2026-10-06'"));

    window->DTPicker1()->setDate(QDate(2031, 1, 1));
    EXPECT_EQ(sheet().lastRow(), 5) << "an empty day is one cleared row, without sum";
    suite->setReportDate(QDate(2026, 10, 7));
    suite->setRefreshFlag(1);
    window->timerTick();
    EXPECT_EQ(suite->refreshFlag(), 2);
    EXPECT_EQ(sheet().lastRow(), 35);
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().join("\n").toStdString();
}

TEST_F(WindowReport, KindOneListsTheNodesEmployeesThenShowsOnePersonsPeriod)
{
    window->optionClick(1);
    enterNode("A生产部");
    ASSERT_GT(window->ListView1()->count(), 1);
    QListWidgetItem* item = window->ListView1()->item(1);
    window->ListView1()->setCurrentItem(item);
    QTest::keyClick(window->ListView1(), Qt::Key_Return);
    const QString number = item->data(Qt::UserRole).toString().mid(1);
    EXPECT_TRUE(item->text().startsWith(number + " "));
    EXPECT_EQ(suite->personNumber(), number);
    EXPECT_TRUE(label(3).startsWith(suite->personName() + "(" + number + ",生产部")) << label(3).toStdString();
    EXPECT_EQ(sheet().lastRow(), 31);
    EXPECT_EQ(window->book().sheetName(1), label(3) + "个人考勤表");
}

TEST_F(WindowReport, AFailingPeriodQueryIsReportedWithItsTextAndTheClickEnds)
{
    const QString settings = suite->settingsDirectory() + "/" + suite->settingsFileName();
    suite->writeSetting("TALOR", "考勤日报BDTJ2", "no_such_column=1", settings);
    window->optionClick(1);
    enterNode("A生产部");
    window->ListView1()->setCurrentRow(0);
    QTest::keyClick(window->ListView1(), Qt::Key_Return);
    ASSERT_EQ(ui.messages.size(), 1u);
    const QString text = ui.messages[0].text;
    EXPECT_TRUE(text.startsWith("bSQL:select * from KQ0001 where memberid='" + suite->personNumber() + "'"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(" and no_such_column=1 order by zhdate --- str2:")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" --- j:0")) << text.toStdString();
}

TEST_F(WindowReport, KindThreeBlocksAndTheGuard)
{
    window->optionClick(3);
    EXPECT_FALSE(window->Check1()->isEnabled());
    enterNode("A生产部");
    const int rows = sheet().lastRow();
    ASSERT_GT(rows, 36);
    EXPECT_EQ(rows % 36, 0);

    // Unsaved edits and Cancel: nothing changes.
    window->state().DataChanged = true;
    ui.answers.push_back(UiService::Answer::Cancel);
    enterNode("ROOT");
    EXPECT_EQ(sheet().lastRow(), rows);
    EXPECT_TRUE(window->state().DataChanged);
    ui.answers.push_back(UiService::Answer::Ok);
    enterNode("ROOT");
    EXPECT_FALSE(window->state().DataChanged);
    EXPECT_GT(sheet().lastRow(), rows);
}

TEST_F(WindowReport, CommandsOfLaterPartsSayTheyAreNotAvailable)
{
    for (MenuCommand command : {MenuCommand::MN04, MenuCommand::MN05, MenuCommand::MN06}) {
        window->runMenuCommand(command);
        EXPECT_EQ(window->StatusBar1()->currentMessage(),
                  ModuleParts::notAvailable(window->menuAction(command)->text()));
    }
}

} // namespace
