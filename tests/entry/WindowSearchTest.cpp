#include "entry/ModuleDatabase.h"
#include "entry/frmKQJL.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace talor;

namespace {

// An organisation of 10,000 persons: 生产部 (code 01) with 一组 and its 甲班, and 行政部; the
// persons of 生产部's team are kept by codes, the others by the department's name.
class WindowSearchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.appDir = suite.settingsDir = suite.iconDir = suite.templateDir = data.directory();
        suite.setSetting("TALOR", "考勤日报TABLE", "kq01");
        suite.setSetting("TALOR", "考勤日报IF", "YES");
        suite.categoryNames.insert("部门\n01", "生产部");
        suite.groupNames.insert("生产部\n1", "一组");
        suite.teamNames.insert("生产部\n一组\n1", "甲班");
        data.root(1);
        data.node(10, 1, "生产部", 1);
        data.node(20, 10, "一组", 1);
        data.node(30, 20, "甲班", 1);
        data.node(11, 1, "行政部", 2);
        data.db().transaction();
        for (int k = 1; k <= 10000; ++k) {
            const bool team = k % 2 == 0;
            data.exec("insert into ygzl values (?, ?, ?, ?, ?)",
                      {QString::asprintf("%05d", k), QStringLiteral("员工%1").arg(k),
                       team ? QStringLiteral("01") : QStringLiteral("行政部"),
                       team ? QVariant("1") : QVariant(), team ? QVariant("1") : QVariant()});
        }
        data.db().commit();
        window = std::make_unique<frmKQJL>(suite, ui);
        window->load();
        window->show();
        QApplication::setActiveWindow(window.get());
        search = window->findChild<QLineEdit*>("TreeSearch");
        tree = window->findChild<QTreeWidget*>("TreeView1");
    }

    // Typed letter by letter: digits and Latin letters from the keyboard, Chinese characters
    // as an input method commits them.
    void type(const QString& text)
    {
        search->clear();
        for (const QChar c : text) {
            if (c.unicode() < 128) {
                QTest::keyClick(search, c.toLatin1());
            } else {
                QInputMethodEvent committed;
                committed.setCommitString(c);
                QApplication::sendEvent(search, &committed);
            }
        }
    }
    QString current() const { return tree->currentItem() ? tree->currentItem()->text(0) : QString(); }
    QString status() const { return window->findChild<QStatusBar*>("StatusBar1")->currentMessage(); }

    test::ModuleDatabase data;
    test::FakeSuite suite;
    test::ScriptedUi ui;
    std::unique_ptr<frmKQJL> window;
    QLineEdit* search = nullptr;
    QTreeWidget* tree = nullptr;
};

// Typing finds the person among 10,000 by number or name and selects the node they belong to
// (by codes or by names), Enter the next match, Down goes on into the tree; the person is
// selected in the list once the list holds them.
TEST_F(WindowSearchTest, TypingSelectsTheNodeOrPersonEnterTheNext)
{
    type("09998");
    EXPECT_EQ(current(), "甲班");
    EXPECT_TRUE(status().contains("第 1/1 个：员工9998(09998)")) << status().toStdString();
    type("员工9999");
    EXPECT_EQ(current(), "行政部");
    type("行政");
    EXPECT_EQ(current(), "行政部");

    type("员工123");
    EXPECT_TRUE(status().contains("第 1/11 个：员工123(00123)")) << status().toStdString();
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(status().contains("第 2/11 个：员工1230(01230)")) << status().toStdString();
    EXPECT_EQ(current(), "甲班");
    window->view().showEmployees({{"A01228", "01228 员工1228"}, {"A01230", "01230 员工1230"}});
    auto* list = window->findChild<QListWidget*>("ListView1");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "01230 员工1230");
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), tree);

    type("没有的人");
    EXPECT_TRUE(status().contains("没有与“没有的人”相符")) << status().toStdString();
}

} // namespace
