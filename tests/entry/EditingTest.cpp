// The edit and save commands through the main window on the demo suite, on SQLite and PostgreSQL.
#include "commands/UnsavedDataGuard.h"
#include "entry/OperatorWindow.h"
#include "modulesettings/ModuleSettings.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::Operator;

namespace {

const QDate Day(2026, 10, 5);

class EditingTest : public talor::test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        DemoOptions options;
        options.employees = 8;
        options.days = 10;
        config = test::demoSuiteConfig(temporaryPath() + QStringLiteral("/suite"), options, db(), server());
        // The application directory is the program's own by default: the test's is its own.
        config.applicationDirectory = temporaryPath() + QStringLiteral("/app");
        QDir().mkpath(config.applicationDirectory);
        a = std::make_unique<Operator>(config, Day);
    }
    void TearDown() override
    {
        a.reset();
        DatabaseTest::TearDown();
    }

    QString firstMember() { return a->book().text(a->firstRow(), 1); }
    // `fields` of KQ0001 on Day as text, person by person: of everyone, or of `memberid` alone.
    QStringList stored(const QString& fields, const QString& memberid = {})
    {
        const QString person = memberid.isEmpty() ? QString() : " and memberid = '" + memberid + "'";
        QSqlQuery q(QStringLiteral("select %1 from kq0001 where zhdate = '%2'%3 order by memberid")
                        .arg(fields, Day.toString(Qt::ISODate), person),
                    a->suite.connection());
        EXPECT_TRUE(q.isActive()) << q.lastError().text().toStdString();
        QStringList values;
        while (q.next())
            for (int c = 0; c < q.record().count(); ++c)
                values << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
        return values;
    }

    SuiteConfig config;
    std::unique_ptr<Operator> a;
};

// The operator types into a cell and saves without leaving the cell: the text is written to
// the sheet first, by the text entry rule, and saved with the rest (every command of the menus,
// keys and buttons writes it first alike). F2 edits a cell, and leaving it with Escape keeps
// what was typed before savable.
TEST_P(EditingTest, ACellStillInItsEditorIsWrittenBeforeTheCommand)
{
    a->window->show();
    const QString who = firstMember();
    const int row = a->firstRow();
    a->edit();
    a->select(row, 8);
    a->grid()->startEdit();
    QCoreApplication::processEvents();
    auto* editor = a->grid()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->isVisible()) << "an editor is open";
    editor->setText("55");
    a->save();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
    EXPECT_EQ(std::tuple(a->book().active().isText(row, 8), a->lastMessage(),
                         stored("cdfz", who).value(0).toDouble(),
                         a->grid()->findChild<QLineEdit*>() == nullptr),
              std::tuple(true, QString("保存完毕"), 55.0, true));

    a->window->activateWindow();
    a->edit();
    a->type(row, 8, "71");
    a->select(row, 9);
    a->grid()->table()->setFocus();
    QTest::keyClick(a->grid()->table(), Qt::Key_F2);
    QCoreApplication::processEvents();
    editor = a->grid()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->isVisible()) << "F2 edits the cell";
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    // The grid claims F2 alone: F1 on a cell that may be edited still opens the window's help.
    QTest::keyClick(a->grid()->table(), Qt::Key_F1);
    EXPECT_TRUE(a->lastMessage().startsWith("考勤日报的按键")) << a->lastMessage().toStdString();
    a->save();
    EXPECT_EQ(std::pair(a->lastMessage(), stored("cdfz", who).value(0).toDouble()),
              std::pair(QString("保存完毕"), 71.0));
}

// Edit, type, save: editing gives the grid's permissions and logs the sheet; typed texts stay
// text and are saved by their field's type (the engines show times and days in forms of their
// own: numbers compared as numbers, the rest by what they hold); the save asks, says it is done,
// takes the permissions back, logs again and signs the touched records.
TEST_P(EditingTest, EditTypeAndSave)
{
    const QString stem = QStringLiteral("管理员0305-083012.xls");
    const int from = a->firstRow();
    const QString people[] = {firstMember(), a->book().text(from + 1, 1)};
    const auto state = [&] {
        const grid::Workbook& b = a->book();
        return QList<bool>({a->window->state().DataChanged, b.allowInCellEditing(), b.allowEditHeaders(),
                            b.allowFillRange(), QFile::exists(config.workDirectory + "/log/" + stem),
                            QFile::exists(config.applicationDirectory + "/Log/" + stem)});
    };
    a->edit();
    EXPECT_EQ(state(), QList<bool>({true, true, true, true, true, false}));
    // Person, column, typed; field, stored.
    const std::tuple<int, int, QString, QString, QString> cases[] = {
        {0, 8, "17", "cdfz", "17"},         {0, 9, "3", "ztfz", "3"},
        {0, 10, "6.5", "cqgs", "6.5"},      {1, 8, "21", "cdfz", "21"},
        {1, 9, "4", "ztfz", "4"},           {1, 10, "7.25", "cqgs", "7.25"},
        {0, 6, "8:30", "sbsj", "08:30:00"}, {0, 13, "病假", "qjlb", "2"},
        {0, 15, "", "bz", "<null>"},        {1, 14, "2024-03-05", "bxrq", "2024-03-05"},
    };
    for (const auto& [person, column, typed, field, stored] : cases)
        a->type(from + person, column, typed);
    EXPECT_TRUE(a->book().active().isText(from, 8)) << "typed entries stay text";
    a->save();
    EXPECT_EQ(a->ui.messageTexts() << a->ui.messages[1].title,
              (QStringList{"是否真的保存？", "保存完毕", ""}));
    EXPECT_EQ(state(), QList<bool>({false, false, false, false, true, true}));
    for (const auto& [person, column, typed, field, expected] : cases) {
        const QString value = stored(field, people[person]).value(0);
        bool number = false;
        const double n = expected.toDouble(&number);
        EXPECT_TRUE(number ? value.toDouble() == n : value.contains(expected))
            << field.toStdString() << " typed " << typed.toStdString() << ": " << value.toStdString();
    }
    EXPECT_EQ(stored("czyxm", people[0]), QStringList{"管理员"});
}

TEST_P(EditingTest, LogThatCannotBeWrittenIsToldAndEditingGoesOn)
{
    QDir().mkpath(config.workDirectory);
    test::putFile(config.workDirectory + "/log", {});
    a->edit();
    EXPECT_EQ(std::tuple(a->window->state().DataChanged, a->ui.messages.size(),
                         a->lastMessage().contains("管理员0305-083012.xls")),
              std::tuple(true, size_t(1), true))
        << a->lastMessage().toStdString();
}

// The right button shows the external menu with the captions set (the first item alone without
// any); a double-click opens the personnel module only under the switch "NO", and one that fails
// is told as not registered.
TEST_P(EditingTest, RightButtonAndDoubleClickInTheGrid)
{
    const QString file = ModuleSettings(a->suite).path();
    const auto menu = [&] {
        Q_EMIT a->grid()->mouseButton(2, 0, 10, 10);
        QStringList items;
        for (int n = 1; n <= 7; ++n)
            if (auto* item = a->window->findChild<QAction*>(QStringLiteral("MNE%1").arg(n));
                item->isVisible())
                items << QString("%1:%2").arg(n).arg(item->text());
        return items.join(",");
    };
    EXPECT_EQ(menu(), "1:");
    a->suite.writeSetting("TALOR", "考勤日报MENU3", "工资", file);
    EXPECT_EQ(menu(), "3:工资");
    a->suite.writeSetting("TALOR", "考勤日报MENU3", "", file);
    a->suite.writeSetting("TALOR", "考勤日报MENU1", "奖金", file);
    EXPECT_EQ(menu(), "1:奖金") << "the first position alone";

    QDir().mkpath(config.applicationDirectory + "/dll");
    test::putFile(config.applicationDirectory + "/dll/veld.so", {});
    // The switch, whether the component fails; the components started so far, the message's end.
    const std::tuple<QString, bool, int, QString> cases[] = {
        {"YES", false, 0, {}}, {"NO", false, 1, {}}, {"NO", true, 2, "veld.so未注册"}};
    for (const auto& [use, fails, started, message] : cases) {
        SCOPED_TRACE(use.toStdString());
        a->suite.writeSetting("VELD", "考勤日报-USE", use, file);
        a->launcher.componentFails = fails;
        Q_EMIT a->grid()->cellDoubleClicked(a->firstRow(), 1);
        EXPECT_EQ(a->launcher.components, QStringList(started, "veld.clszh"));
        EXPECT_TRUE(a->lastMessage().endsWith(message)) << a->lastMessage().toStdString();
    }
}

// Another report kind is laid out on a new sheet, and 合计 shows the report anew: with unsaved
// edits the kind button and the sum box ask first, and Cancel keeps the kind, the box and what
// was typed. A print while editing leaves the active cell editable as selecting it makes it: a
// field that is saved takes typing again, 工号 (never saved) does not. A sheet laid out anew
// under the edits all the same (as an activation does) is never saved: its rows hold none of the
// edited records' values, and writing them back would blank the day of everyone shown.
TEST_P(EditingTest, ASheetLaidOutAnewUnderTheEditsIsAskedAboutAndNeverSaved)
{
    const QStringList before = stored("*");
    const int row = a->firstRow();
    a->edit();
    a->type(row, 8, "55");
    a->ui.answers.assign(2, UiService::Answer::Cancel);
    test::chooseKind(*a->window, 1);
    test::child<QCheckBox>(*a->window, "Check1")->click();
    // Another period, which the day report does not read, leaves the edits as they are.
    test::child<QDateEdit>(*a->window, "PeriodFrom")->setDate(QDate(2026, 9, 1));
    QList<bool> editable;
    for (const int column : {8, 1}) {
        a->select(row, column);
        test::trigger(*a->window, "MN05");
        editable << a->book().allowInCellEditing();
    }
    EXPECT_EQ(std::tuple(a->ui.messageTexts(), test::option(*a->window, 1)->isChecked(),
                         test::child<QCheckBox>(*a->window, "Check1")->isChecked(), a->suite.reportOption(),
                         a->window->state().DataChanged, a->book().text(row, 8), editable),
              std::tuple(QStringList(2, talor::GuardMessage), false, false, QString("2"), true, QString("55"),
                         QList<bool>{true, false}));

    a->parts->layoutReport();
    a->save();
    EXPECT_EQ(std::tuple(a->lastMessage(), a->window->state().DataChanged, a->book().allowInCellEditing()),
              std::tuple(SheetEditing::ShownAnew, false, false));
    EXPECT_EQ(stored("*"), before);
}

// A report laid out anew (its kind button clicked again, or another kind and back) is the bare
// template and shows no one: 编辑 says there is nothing to edit until a node is shown again, and
// what is typed there reaches none of the records shown before.
TEST_P(EditingTest, AReportLaidOutAnewHasNoRecordsToEditUntilANodeIsShown)
{
    const QStringList before = stored("*");
    const int row = a->firstRow();
    for (const QList<int>& kinds : {QList<int>{2}, QList<int>{1, 2}}) {
        for (const int kind : kinds)
            test::chooseKind(*a->window, kind);
        a->ui.messages.clear();
        a->edit();
        a->type(row, 15, "x");
        a->save();
        EXPECT_EQ(a->ui.messageTexts(),
                  QStringList({SheetEditing::NoRecordsToEdit, SheetEditing::NotEditing}));
    }
    EXPECT_EQ(stored("*"), before);
    test::clickNode(*a->window, "ROOT");
    a->edit();
    EXPECT_TRUE(a->window->state().DataChanged);
}

// Kind 1: a node's click refills the person list and the person shown stays, shown again as
// stored: OK at the guard leaves none of the edits given up in the grid, and the sum box (or a
// new period) then shows that person anew, whose records take editing again.
TEST_P(EditingTest, KindOneShowsItsPersonAgainAsStoredAfterANodesClick)
{
    test::chooseKind(*a->window, 1);
    test::clickNode(*a->window, "ROOT");
    auto* list = test::child<QListWidget>(*a->window, "ListView1");
    list->setCurrentRow(0);
    Q_EMIT list->itemClicked(list->item(0));
    const int row = a->firstRow();
    const QString shown = a->book().text(row, 8);
    const int rows = a->book().active().lastRow();
    a->edit();
    a->type(row, 8, "77");
    a->ui.answers.assign(1, UiService::Answer::Ok);
    test::clickNode(*a->window, "ROOT");
    const QString afterClick = a->book().text(row, 8);
    test::child<QCheckBox>(*a->window, "Check1")->click();
    const int withSum = a->book().active().lastRow();
    test::child<QCheckBox>(*a->window, "Check1")->click();
    a->edit();
    EXPECT_EQ(std::tuple(afterClick, withSum, a->window->state().DataChanged),
              std::tuple(shown, rows + 1, true));
}

// A module item that is refused anyway (its menu not registered) says so without asking about
// the edits; OK at the guard before 关于 gives the edits up, and the grid shows the stored
// report again: nothing is left to save.
TEST_P(EditingTest, EditsGivenUpAtTheGuardAreNoLongerShown)
{
    ModuleSettings(a->suite).write("TALOR", "考勤日报MENU1", "未登记菜单");
    a->suite.setRefreshFlag(0);
    a->window->activate(); // the module item shows
    test::clickNode(*a->window, "ROOT");
    const int row = a->firstRow();
    const QString shown = a->book().text(row, 8);
    a->edit();
    a->type(row, 8, "77");
    test::trigger(*a->window, "MNE1");
    const QStringList refused = a->ui.messageTexts();
    a->ui.messages.clear();
    a->ui.answers.assign(1, UiService::Answer::Ok);
    test::trigger(*a->window, "MN07");
    // Editing has ended with the edits: nothing can be typed unasked and unsaved.
    const bool typable = a->book().allowInCellEditing();
    a->save();
    EXPECT_EQ(std::tuple(refused, a->ui.messageTexts(), a->book().text(row, 8), typable),
              std::tuple(QStringList{"菜单:'未登记菜单'尚未登记"},
                         QStringList{talor::GuardMessage, SheetEditing::NotEditing}, shown, false));

    // Where the dialog behind the guard has the window rebuilt (its set-up saved), the report is
    // laid out anew and shows no one, rather than the node again.
    a->edit();
    a->type(row, 8, "78");
    a->ui.messages.clear();
    a->ui.answers.assign(1, UiService::Answer::Ok);
    a->ui.dialogs.push_back([&](QDialog&) {
        a->suite.setRefreshFlag(0);
        return int(QDialog::Accepted);
    });
    test::trigger(*a->window, "MN07");
    a->edit();
    EXPECT_EQ(a->ui.messageTexts(), QStringList({talor::GuardMessage, SheetEditing::NoRecordsToEdit}));
}

TALOR_BOTH_DATABASES(EditingTest);

} // namespace
