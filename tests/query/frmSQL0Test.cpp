#include "query/frmSQL0.h"

#include "query/frmSQL1.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::child;
using talor::test::FakeSuite;
using talor::test::ScriptedUi;

namespace {

const QString MK = u"考勤日报"_qs;

QStringList items(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void click(QWidget& parent, const char* name)
{
    child<QPushButton>(parent, name)->click();
}

// frmSQL1 as the operator fills it: the texts to type, then 确定 (or 取消).
std::function<int(QDialog&)> editor(const QString& name, const QString& dept, const QString& person,
                                    QStringList* shown = nullptr, bool ok = true)
{
    return [=](QDialog& d) {
        if (shown)
            *shown << d.windowTitle() << child<QLineEdit>(d, "Text1")->text()
                   << child<QLineEdit>(d, "Text2")->text() << child<QLineEdit>(d, "Text3")->text();
        if (!child<QLineEdit>(d, "Text1")->isReadOnly()) {
            child<QLineEdit>(d, "Text1")->setText(name);
            child<QLineEdit>(d, "Text2")->setText(dept);
            child<QLineEdit>(d, "Text3")->setText(person);
        }
        click(d, ok ? "Command1" : "Command2");
        return d.result();
    };
}

class SelectReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = MK;
        suite.refresh = 2;
        // The supervisor check passes for "pelto" while the lock switch is 0.
        suite.operatorNameValue = u"pelto"_qs;
        test::putFile(dir.filePath(MK + "1.vts"), "template");
    }
    void users(const QStringList& names)
    {
        suite.setSetting(u"TALOR"_qs, MK + "nBD", QString::number(names.size()));
        for (int i = 0; i < names.size(); ++i)
            suite.setSetting(u"TALOR"_qs, MK + "sBD" + QString::number(i + 1), names[i]);
    }
    std::unique_ptr<frmSQL0> open()
    {
        auto d = std::make_unique<frmSQL0>(suite, ui, [this] { ++designerRuns; });
        list = child<QListWidget>(*d, "List1");
        return d;
    }
    // Whether 添加, 修改 and 删除 are enabled.
    QList<bool> enabled(frmSQL0& d)
    {
        return {child<QPushButton>(d, "Command1")->isEnabled(),
                child<QPushButton>(d, "Command2")->isEnabled(),
                child<QPushButton>(d, "Command3")->isEnabled()};
    }
    QString setting(const QString& key) const { return suite.setting(u"TALOR"_qs, key); }

    QTemporaryDir dir;
    FakeSuite suite;
    ScriptedUi ui;
    QListWidget* list = nullptr;
    int designerRuns = 0;
};

TEST_F(SelectReportTest, ListSelectsTheCurrentReportAndEnablesButtonsByIndex)
{
    auto d = open();
    EXPECT_EQ(std::tuple(items(list), list->currentRow(), enabled(*d)),
              std::tuple(QStringList{MK}, 0, QList<bool>({true, false, false})));

    users({u"早班"_qs, u"夜班"_qs, QString()});
    suite.reportKeyValue = u"夜班"_qs;
    d = open();
    EXPECT_EQ(
        std::tuple(items(list), list->currentRow(), enabled(*d)),
        std::tuple(QStringList{MK, u"早班"_qs, u"夜班"_qs, QString()}, 2, QList<bool>({true, true, true})));
    list->setCurrentRow(0);
    EXPECT_EQ(enabled(*d), QList<bool>({true, false, false}));
}

TEST_F(SelectReportTest, ChoosingNeedsNoCheckAndClosingAsksForALayout)
{
    users({u"早班"_qs, QString()});
    suite.lock = 1; // the check fails for everybody
    auto d = open();
    list->setCurrentRow(1);
    click(*d, "Command5");
    EXPECT_EQ(std::tuple(suite.reportKeyValue, d->result(), suite.refresh),
              std::tuple(u"早班"_qs, int(QDialog::Accepted), 0));

    // A double-click on the empty name makes it current.
    d = open();
    QListWidgetItem* empty = list->item(2);
    list->setCurrentItem(empty);
    Q_EMIT list->itemDoubleClicked(empty);
    EXPECT_EQ(suite.reportKeyValue, QString());

    // Closed with the window box: no choice, but the layout all the same.
    suite.refresh = 2;
    suite.reportKeyValue = MK;
    d = open();
    d->reject();
    EXPECT_EQ(std::pair(suite.reportKeyValue, suite.refresh), std::pair(MK, 0));
}

TEST_F(SelectReportTest, TheCheckGuardsAddModifyDeleteAndDesignSilently)
{
    users({u"早班"_qs});
    suite.lock = 1;
    suite.prefix = u"ABCDEFGH"_qs;
    suite.access = u"wrong"_qs;
    auto d = open();
    list->setCurrentRow(1);
    for (const char* button : {"Command1", "Command2", "Command3", "Command4"})
        click(*d, button);
    EXPECT_TRUE(ui.dialogsShown.isEmpty() && ui.messages.empty() && suite.settingsWrites.isEmpty());
    EXPECT_EQ(std::pair(designerRuns, d->editMode()), std::pair(0, EditMode::None));

    // The access code of the supervisor opens them, even to "pelto" under the lock.
    suite.setSetting(u"SYSTEM"_qs, u"GJKL"_qs, u"42"_qs);
    suite.access = u"ABCDEF42"_qs;
    click(*d, "Command4");
    EXPECT_EQ(std::tuple(designerRuns, suite.reportKeyValue, d->result()),
              std::tuple(1, u"早班"_qs, int(QDialog::Accepted)));
}

TEST_F(SelectReportTest, AddModifyAndDeleteThroughTheEditor)
{
    users({u"早班"_qs});
    auto d = open();

    ui.dialogs.push_back(editor(u"夜班"_qs, u"depart='1'"_qs, u"bc='N'"_qs));
    click(*d, "Command1");
    EXPECT_EQ(std::tuple(d->editMode(), ui.dialogsShown, items(list) << setting(u"夜班BDTJ1"_qs)),
              std::tuple(EditMode::Add, QStringList{u"frmSQL1"_qs},
                         QStringList{MK, u"早班"_qs, u"夜班"_qs, u"depart='1'"_qs}));

    // Modify shows the selected report and renames entry 2.
    QStringList shown;
    list->setCurrentRow(2);
    ui.dialogs.push_back(editor(u"晚班"_qs, u"d2"_qs, u"p2"_qs, &shown));
    click(*d, "Command2");
    EXPECT_EQ(shown + items(list) << setting(u"晚班BDTJ2"_qs),
              (QStringList{u"修改样式条件"_qs, u"夜班"_qs, u"depart='1'"_qs, u"bc='N'"_qs, MK, u"早班"_qs,
                           u"晚班"_qs, u"p2"_qs}));

    // Cancel changes nothing. (The list selects the current report again after each edit.)
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(2);
    const QStringList writes = suite.settingsWrites;
    ui.dialogs.push_back(editor(u"x"_qs, {}, {}, nullptr, false));
    click(*d, "Command2");
    EXPECT_EQ(std::tuple(ui.dialogs.empty(), suite.settingsWrites), std::tuple(true, writes));

    // Delete shows the selected report read-only and removes entry 1.
    shown.clear();
    list->setCurrentRow(1);
    ui.dialogs.push_back(editor(u"typed over"_qs, {}, {}, &shown));
    click(*d, "Command3");
    EXPECT_EQ(std::tuple(shown.first(), d->editMode(), items(list) << setting(MK + "nBD")),
              std::tuple(u"删除样式条件"_qs, EditMode::Delete, QStringList{MK, u"晚班"_qs, u"1"_qs}));

    // The add dialog starts empty.
    shown.clear();
    ui.dialogs.push_back(editor({}, {}, {}, &shown, false));
    click(*d, "Command1");
    EXPECT_EQ(shown, (QStringList{u"添加样式条件"_qs, QString(), QString(), QString()}));
}

// The refusals themselves are checked in ReportConditionsTest.
TEST_F(SelectReportTest, WhatTheSettingsFileCannotHoldIsRefusedBeforeAnyWrite)
{
    auto d = open();
    bool stayedOpen = false;
    ui.dialogs.push_back([&](QDialog& e) {
        child<QLineEdit>(e, "Text1")->setText(u"夜班"_qs);
        child<QLineEdit>(e, "Text2")->setText(u"a\nb"_qs);
        click(e, "Command1");
        stayedOpen = e.result() != QDialog::Accepted;
        e.reject();
        return 0;
    });
    click(*d, "Command1");
    EXPECT_EQ(std::tuple(stayedOpen, ui.messageTexts(), suite.settingsWrites, items(list)),
              std::tuple(true, QStringList{u"部门条件不能包含换行符！"_qs}, QStringList(), QStringList{MK}));
}

} // namespace
