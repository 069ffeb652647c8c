// The edit and save commands through the main window on the demo suite, on SQLite and PostgreSQL.
#include "entry/OperatorWindow.h"
#include "modulesettings/ModuleSettings.h"
#include "suite/DemoSuite.h"
#include "support/ErrorText.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::DatabaseKind;
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
        const QString dir = temporaryPath() + QStringLiteral("/suite");
        DemoSuite::generate(dir, options);
        config = SuiteConfig::load(dir + QStringLiteral("/suite.ini"));
        // The application directory is the program's own by default: the test's is its own.
        config.applicationDirectory = temporaryPath() + QStringLiteral("/app");
        QDir().mkpath(config.applicationDirectory);
        if (kind() == DatabaseKind::Postgres) {
            const PostgresServer server = postgresServer();
            test::useServer(config, server);
            DemoSuite::fillDatabase(db(), options);
        }
        a = std::make_unique<Operator>(config, Day);
    }
    void TearDown() override
    {
        a.reset();
        DatabaseTest::TearDown();
    }

    // A value of KQ0001 for one person on Day, as text.
    QString stored(const QString& memberid, const QString& field, const QDate& day = Day)
    {
        QSqlQuery q(a->suite.connection());
        q.prepare(QStringLiteral("select %1 from kq0001 where memberid = ? and zhdate = ?").arg(field));
        q.addBindValue(memberid);
        q.addBindValue(day.toString(Qt::ISODate));
        EXPECT_TRUE(q.exec() && q.next()) << field.toStdString() << " " << memberid.toStdString() << " "
                                          << q.lastError().text().toStdString();
        return q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
    }
    QString firstMember() { return a->book().text(a->firstRow(), 1); }

    SuiteConfig config;
    std::unique_ptr<Operator> a;
};

TEST_P(EditingTest, UnchangedSheetSavesAndWritesBothLogs)
{
    ASSERT_GE(a->book().lastRow(), a->firstRow() + 7) << "eight employees shown";
    a->edit();
    EXPECT_TRUE(a->window->state().DataChanged);
    EXPECT_TRUE(a->book().allowInCellEditing() && a->book().allowEditHeaders() && a->book().allowFillRange());
    const QString stem = QStringLiteral("管理员0305-083012");
    EXPECT_TRUE(QFile::exists(config.workDirectory + "/log/" + stem + ".xls"));
    a->save();
    EXPECT_EQ(a->ui.messageTexts() << a->ui.messages[1].title,
              (QStringList{"是否真的保存？", "保存完毕", ""}));
    EXPECT_FALSE(a->window->state().DataChanged);
    EXPECT_FALSE(a->book().allowInCellEditing() || a->book().allowEditHeaders() ||
                 a->book().allowFillRange());
    EXPECT_TRUE(QFile::exists(config.applicationDirectory + "/Log/" + stem + ".xls"));
}

// Each refusal of the edit and save commands, in an order that leaves the next one's state.
TEST_P(EditingTest, CommandsAreRefusedWithTheirMessages)
{
    Operator& op = *a;
    const struct
    {
        const char* what;
        std::function<void()> before;
        MenuCommand command;
        QString message;
    } cases[] = {
        {"save before editing", [] {}, MenuCommand::MN03, "没有编辑，无需保存"},
        {"edit in the sum state", [&] { op.window->Check1()->setChecked(true); }, MenuCommand::MN02,
         "在合计状态下无法保存"},
        {"save in the sum state",
         [&] {
             op.window->Check1()->setChecked(false);
             op.edit();
             op.window->Check1()->setChecked(true);
         },
         MenuCommand::MN03, "在合计状态下无法保存"},
        {"save without records",
         [&] {
             op.window->Check1()->setChecked(false);
             op.window->records().EmployeeRecords.close();
         },
         MenuCommand::MN03, "请指定保存谁的资料"},
        {"edit without records", [&] { op.window->state().DataChanged = false; }, MenuCommand::MN02,
         "没有记录可以编辑"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        op.ui.messages.clear();
        const bool wasChanged = op.window->state().DataChanged;
        op.window->runMenuCommand(c.command);
        EXPECT_EQ(op.ui.messageTexts(), QStringList{c.message});
        EXPECT_EQ(op.window->state().DataChanged, wasChanged);
    }
}

// Saves that write nothing: a declined question (asked once, editing ends) and a code name
// with no code (found before the question and before anything is written; editing goes on).
TEST_P(EditingTest, SavesThatWriteNothing)
{
    const struct
    {
        QString code;
        UiService::Answer answer;
        QString message;
        bool editing;
    } cases[] = {{{}, UiService::Answer::No, "是否真的保存？", false},
                 {"无此假", UiService::Answer::Yes, "无此假", true}};
    const QString who = firstMember();
    const int row = a->rowOf(who);
    const QString late = stored(who, "cdfz"), leave = stored(who, "qjlb");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        a->edit();
        a->type(row, 8, "77");
        if (!c.code.isEmpty())
            a->type(row, 13, c.code);
        a->ui.messages.clear();
        a->save(c.answer);
        const auto& first = a->ui.messages.front();
        if (c.code.isEmpty())
            EXPECT_EQ(std::tuple(first.text, first.title, first.buttons),
                      std::tuple(QString("是否真的保存？"), QString("系统提示"), UiService::Buttons::YesNo));
        else
            EXPECT_EQ(a->ui.messages.size(), 1u) << "the missing code is told before any question";
        EXPECT_TRUE(a->lastMessage().contains(c.message)) << a->lastMessage().toStdString();
        EXPECT_EQ(a->window->state().DataChanged, c.editing);
        EXPECT_EQ(stored(who, "cdfz") + "|" + stored(who, "qjlb"), late + "|" + leave);
    }
}

// Each type's save rule, typed into the first two employees' rows. How the stored text is
// compared: exactly, as a number, or by its start or a part (the engines show times and
// days in forms of their own).
TEST_P(EditingTest, EveryTypeSavesByItsRule)
{
    enum class Match
    {
        Exact,
        Number,
        Starts,
        Contains
    };
    const struct
    {
        int person; // 0 the first shown, 1 the second
        int column;
        QString typed, field, expected;
        Match match;
    } cases[] = {
        {0, 8, "12", "cdfz", "12", Match::Number},                  // 迟到分钟 I
        {0, 9, "", "ztfz", "0", Match::Number},                     // 早退分钟 I emptied -> 0
        {0, 10, "7.25", "cqgs", "7.25", Match::Number},             // 出勤工时 D
        {0, 6, "8:30", "sbsj", "08:30:00", Match::Contains},        // 上班时间 Y
        {0, 7, "0.25", "xbsj", "06:00:00", Match::Contains},        // 下班时间 Y, a fraction of a day
        {0, 14, "2", "bxrq", "1900-01-01", Match::Starts},          // 补休日期 T, a day number
        {0, 13, "病假", "qjlb", "2", Match::Exact},                 // 请假类别 S kind 3 -> its code
        {0, 15, "", "bz", "<null>", Match::Exact},                  // 备注 S kind 0 emptied -> null
        {1, 14, "2024-03-05", "bxrq", "2024-03-05", Match::Starts}, // 补休日期 T, a date
    };
    a->edit();
    const QString people[] = {firstMember(), a->book().text(a->firstRow() + 1, 1)};
    for (const auto& c : cases)
        a->type(a->rowOf(people[c.person]), c.column, c.typed);
    EXPECT_TRUE(a->book().active().isText(a->rowOf(people[0]), 8)) << "typed entries stay text";
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString() + " typed " + c.typed.toStdString());
        const QString value = stored(people[c.person], c.field);
        const bool ok = c.match == Match::Number     ? value.toDouble() == c.expected.toDouble()
                        : c.match == Match::Starts   ? value.startsWith(c.expected)
                        : c.match == Match::Contains ? value.contains(c.expected)
                                                     : value == c.expected;
        EXPECT_TRUE(ok) << value.toStdString();
    }
    EXPECT_EQ(stored(people[0], "czyxm"), "管理员");
    // A row the operator did not touch is neither rewritten nor signed.
    EXPECT_EQ(stored(a->book().text(a->firstRow() + 2, 1), "czyxm"), "<null>");
}

// One person's period (kind 1) is laid out with headings: the first record is row 1.
TEST_P(EditingTest, HeadingLayoutSavesTheFirstRecordFromRowOne)
{
    a->suite.setReportOption(QStringLiteral("1"));
    a->suite.setPeriodStart(QStringLiteral("2026-10-01"));
    a->suite.setPeriodEnd(QStringLiteral("2026-10-10"));
    a->parts->layoutReport();
    a->parts->clicks().treeClick();
    ASSERT_GT(a->window->ListView1()->count(), 0);
    a->window->ListView1()->setCurrentRow(0);
    a->parts->clicks().listClick();
    ASSERT_EQ(a->firstRow(), 1);
    Recordset& records = a->window->records().EmployeeRecords;
    ASSERT_FALSE(records.eof());
    const QString who = records.text("memberid");
    const QDate first = QDate::fromString(records.text("zhdate").left(10), Qt::ISODate);
    ASSERT_EQ(a->book().text(1, 1).left(10), first.toString(Qt::ISODate));
    a->edit();
    a->type(1, 5, "41"); // 迟到分钟
    a->type(2, 5, "42");
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    EXPECT_EQ(stored(who, "cdfz", first).toDouble(), 41);
    EXPECT_EQ(stored(who, "cdfz", first.addDays(1)).toDouble(), 42);
}

// Bad cells one after the other: the first bad column is told and selected, the text stays;
// 备注 holds 80 bytes, a CJK character counting two.
TEST_P(EditingTest, BadCellsAreReportedSelectedAndKept)
{
    const int row = a->firstRow() + 1;
    const struct
    {
        int column;
        QString typed;
        QString message; // after typing it
        int selected;    // the column selected then
    } steps[] = {
        {15, QString(41, QChar(0x5047)), {}, 0},
        {14, "2024-02-30", "日期格式不对", 14},
        {14, "2024-2-3", "备注长度过长", 15},
        {15, QString(40, QChar(0x5047)), "保存完毕", 0},
    };
    a->edit();
    // A group name without a code is told before the question, at its cell.
    const QString group = a->book().text(row, 3);
    a->type(row, 3, "无此小组");
    a->ui.messages.clear();
    a->save();
    EXPECT_EQ(a->ui.messageTexts(),
              QStringList{QStringLiteral("第%1行班组“无此小组”没有对应的代码，无法保存").arg(row)});
    EXPECT_EQ(a->book().active().selection(), (grid::CellRange{row, 3, row, 3}));
    a->type(row, 3, group);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.typed.toStdString());
        a->type(row, step.column, step.typed);
        if (step.message.isEmpty())
            continue;
        a->ui.messages.clear();
        a->save();
        EXPECT_EQ(a->lastMessage(), step.message);
        if (step.selected) {
            EXPECT_EQ(a->ui.messages.size(), 1u) << "no question before a bad cell";
            EXPECT_EQ(a->book().active().selection(),
                      (grid::CellRange{row, step.selected, row, step.selected}));
            EXPECT_TRUE(a->window->state().DataChanged);
            EXPECT_EQ(a->book().text(row, step.column), step.typed);
        }
    }
}

// The operator types into a cell and picks a command without leaving the cell: the text is
// written to the sheet first, by the text entry rule, and saved or validated with the rest;
// a command that only reads the sheet finds it there too.
TEST_P(EditingTest, ACellStillInItsEditorIsWrittenBeforeTheCommand)
{
    const struct
    {
        int column;
        QString typed;
        MenuCommand command;
        QString message;
    } cases[] = {
        {8, "55", MenuCommand::MN03, "保存完毕"},
        {14, "2024-02-30", MenuCommand::MN03, "日期格式不对"},
        {8, "66", MenuCommand::MN04, {}},
    };
    a->window->show();
    const QString who = firstMember();
    const int row = a->rowOf(who);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        if (!a->window->state().DataChanged)
            a->edit();
        a->select(row, c.column);
        a->window->F1Book1()->startEdit();
        QCoreApplication::processEvents();
        auto* editor = a->window->F1Book1()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor && editor->isVisible()) << "an editor is open";
        editor->setText(c.typed);
        a->ui.messages.clear();
        a->ui.answers.assign(1, UiService::Answer::Yes);
        a->window->menuAction(c.command)->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
        EXPECT_EQ(a->book().text(row, c.column), c.typed);
        EXPECT_TRUE(a->book().active().isText(row, c.column)) << "through the text entry rule";
        EXPECT_EQ(a->lastMessage(), c.message);
        EXPECT_EQ(a->window->F1Book1()->findChild<QLineEdit*>(), nullptr) << "the editor is closed";
        if (c.message == "保存完毕") {
            EXPECT_EQ(stored(who, "cdfz").toDouble(), c.typed.toDouble());
        }
    }
}

// Two operators correct the same day: the later save does not overwrite the earlier one, and
// one save is one transaction: b's other record is not saved either.
TEST_P(EditingTest, AnotherOperatorsSaveIsNotOverwritten)
{
    SuiteConfig second = config;
    second.operatorName = QStringLiteral("李会计");
    Operator b(second, Day);
    a->edit();
    b.edit();
    const QString first = firstMember();
    const QString next = a->book().text(a->firstRow() + 1, 1);
    const QString nextBefore = stored(next, "cdfz");
    a->type(a->rowOf(first), 8, "11");
    b.type(b.rowOf(next), 8, "21");
    b.type(b.rowOf(first), 8, "22"); // after a's save: refused
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    b.save();
    const QString name = b.book().text(b.rowOf(first), 2);
    EXPECT_TRUE(test::containsAll(b.lastMessage(), {name, Day.toString(Qt::ISODate), "没有记录被保存"}))
        << b.lastMessage().toStdString();
    EXPECT_EQ(std::tuple(stored(first, "cdfz").toDouble(), stored(first, "czyxm"), stored(next, "cdfz")),
              std::tuple(11.0, QString("管理员"), nextBefore));
    EXPECT_TRUE(b.window->state().DataChanged) << "editing stays on";
    EXPECT_EQ(std::pair(b.book().text(b.rowOf(first), 8), b.book().text(b.rowOf(next), 8)),
              std::pair(QString("22"), QString("21")))
        << "what was typed stays";
    EXPECT_EQ(b.book().active().activeRow(), b.rowOf(first)) << "the refused record is selected";

    // Read again (the guard asked first), b saves the other record.
    b.ui.answers.assign(1, UiService::Answer::Ok);
    b.clickRoot();
    EXPECT_EQ(b.book().text(b.rowOf(first), 8).toDouble(), 11.0) << "a's value shown";
    b.edit();
    b.type(b.rowOf(next), 8, "21");
    b.save();
    EXPECT_EQ(b.lastMessage(), "保存完毕");
    EXPECT_EQ(std::pair(stored(next, "cdfz").toDouble(), stored(first, "cdfz").toDouble()),
              std::pair(21.0, 11.0));
}

// a saves, b saves the same cells from a window opened after that, a edits again in the same
// window and saves: b's values are a conflict, not a's "original".
TEST_P(EditingTest, ASecondSaveFromTheSameWindowDoesNotOverwriteASaveMadeBetween)
{
    const QString first = firstMember();
    a->edit();
    a->type(a->rowOf(first), 8, "11");
    a->save();
    ASSERT_EQ(a->lastMessage(), "保存完毕");

    SuiteConfig second = config;
    second.operatorName = QStringLiteral("李会计");
    Operator b(second, Day);
    b.edit();
    b.type(b.rowOf(first), 8, "22");
    b.save();
    ASSERT_EQ(b.lastMessage(), "保存完毕");

    a->edit();
    a->type(a->rowOf(first), 8, "33");
    a->save();
    EXPECT_TRUE(a->lastMessage().contains("其他操作员")) << a->lastMessage().toStdString();
    EXPECT_EQ(std::pair(stored(first, "cdfz").toDouble(), stored(first, "czyxm")),
              std::pair(22.0, QString("李会计")));
}

// Values typed while editing are saved whatever is pressed between: 编辑 again, F2 in the grid
// (which edits the cell), a declined save followed by a new 编辑.
TEST_P(EditingTest, TypedValuesStaySavableAcrossAnotherEditF2AndADeclinedSave)
{
    a->window->show();
    a->window->activateWindow();
    const QString who = firstMember();
    const int row = a->rowOf(who);
    const std::function<void()> between[] = {
        [&] { a->edit(); },
        [&] {
            a->select(row, 9);
            a->window->F1Book1()->table()->setFocus();
            QTest::keyClick(a->window->F1Book1()->table(), Qt::Key_F2);
            QCoreApplication::processEvents();
            auto* editor = a->window->F1Book1()->findChild<QLineEdit*>();
            EXPECT_TRUE(editor && editor->isVisible()) << "F2 edits the cell";
            if (editor)
                QTest::keyClick(editor, Qt::Key_Escape);
            QCoreApplication::processEvents();
        },
        [&] {
            a->save(UiService::Answer::No);
            a->edit();
        },
    };
    int value = 70;
    for (const auto& step : between) {
        SCOPED_TRACE(value);
        a->edit();
        a->type(row, 8, QString::number(++value));
        step();
        a->save();
        EXPECT_EQ(a->lastMessage(), "保存完毕");
        EXPECT_EQ(stored(who, "cdfz").toDouble(), value);
    }
}

TEST_P(EditingTest, LogThatCannotBeWrittenIsToldAndEditingGoesOn)
{
    QDir().mkpath(config.workDirectory);
    test::putFile(config.workDirectory + "/log", {});
    a->edit();
    EXPECT_TRUE(a->window->state().DataChanged);
    ASSERT_EQ(a->ui.messages.size(), 1u);
    EXPECT_TRUE(a->lastMessage().contains("管理员0305-083012.xls")) << a->lastMessage().toStdString();
    ASSERT_FALSE(QDir(config.applicationDirectory + "/Log").exists()) << "made by the save";
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    EXPECT_TRUE(QFile::exists(config.applicationDirectory + "/Log/管理员0305-083012.xls"));
}

TEST_P(EditingTest, ClickPublishesTheRowAndTheSelectionDecidesEditing)
{
    const int row = a->firstRow() + 2;
    a->select(row, 3);
    ASSERT_EQ(a->book().active().activeRow(), row);
    a->window->hooks().gridClick(row, 3);
    ModuleSettings settings(a->suite);
    for (int c = 1; c <= 8; ++c)
        EXPECT_EQ(settings.read("TALOR", QStringLiteral("ROW%1").arg(c)), a->book().text(row, c)) << c;
    a->select(3, 3);
    a->window->hooks().gridClick(3, 3); // a heading row of the cell layout, or a data row
    EXPECT_EQ(settings.read("TALOR", "ROW1"), a->book().text(a->firstRow() > 3 ? row : 3, 1));
    EXPECT_EQ(a->suite.personNumber() + "|" + a->suite.personName(),
              a->book().text(row, 1) + "|" + a->book().text(row, 2));

    EXPECT_FALSE(a->book().allowInCellEditing());
    a->edit();
    a->select(row, 1); // 工号 is in the unsaved-field list
    EXPECT_FALSE(a->book().allowInCellEditing());
    EXPECT_EQ(std::pair(a->suite.gridRow(), a->suite.gridColumn()), std::pair(row, 1));
    a->select(row, 8);
    EXPECT_EQ(std::pair(a->book().allowInCellEditing(), a->suite.gridColumn()), std::pair(true, 8));
}

TEST_P(EditingTest, RightButtonShowsTheExternalMenuOnlyWithCaptions)
{
    const QString file = ModuleSettings(a->suite).path();
    for (int n = 1; n <= 7; ++n)
        a->suite.writeSetting("TALOR", QStringLiteral("考勤日报MENU%1").arg(n), "", file);
    a->window->hooks().gridMouseButton(2, 0, 10, 10);
    auto item = [&](int n) {
        return a->window->findChild<QAction*>(QStringLiteral("MNE%1").arg(n));
    };
    EXPECT_EQ(std::tuple(item(1)->isVisible(), item(1)->text(), item(2)->isVisible()),
              std::tuple(true, QString(), false));
    a->suite.writeSetting("TALOR", "考勤日报MENU3", "工资", file);
    a->window->hooks().gridMouseButton(2, 0, 10, 10);
    EXPECT_EQ(std::tuple(item(1)->isVisible(), item(3)->isVisible(), item(3)->text()),
              std::tuple(false, true, QString("工资")));
}

// The personnel module opens on a double-click only under the switch "NO"; one that fails is
// told as not registered.
TEST_P(EditingTest, DoubleClickOpensThePersonnelModuleOnlyWhenSwitchedOn)
{
    const QString file = ModuleSettings(a->suite).path();
    QDir().mkpath(config.applicationDirectory + "/dll");
    test::putFile(config.applicationDirectory + "/dll/veld.so", {});
    const struct
    {
        QString use;
        bool fails;
        int started; // components started so far
        QString message;
    } cases[] = {{"YES", false, 0, {}}, {"NO", false, 1, {}}, {"NO", true, 2, "veld.so未注册"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.use.toStdString());
        a->suite.writeSetting("VELD", "考勤日报-USE", c.use, file);
        a->launcher.componentFails = c.fails;
        a->window->hooks().gridDoubleClick(a->firstRow(), 1);
        EXPECT_EQ(a->launcher.components, QStringList(c.started, "veld.clszh"));
        EXPECT_TRUE(a->lastMessage().endsWith(c.message)) << a->lastMessage().toStdString();
    }
}

// Cells copied from the grid (Ctrl+C) and pasted onto other persons' rows (Ctrl+V) save what
// the copied ones hold, as if typed there.
TEST_P(EditingTest, ABlockCopiedAndPastedOntoOtherRowsSavesTheSameValues)
{
    a->edit();
    const int from = a->firstRow();
    const QString people[] = {a->book().text(from + 2, 1), a->book().text(from + 3, 1)};
    a->type(from, 8, "17");
    a->type(from, 9, "3");
    a->type(from, 10, "6.5");
    a->type(from + 1, 8, "21");
    a->type(from + 1, 9, "4");
    a->type(from + 1, 10, "7.25");
    auto* table = a->window->F1Book1()->table();
    const auto selectBlock = [&](int row1, int col1, int row2, int col2) {
        a->select(row1, col1);
        table->selectionModel()->select(QItemSelection(table->model()->index(row1 - 1, col1 - 1),
                                                       table->model()->index(row2 - 1, col2 - 1)),
                                        QItemSelectionModel::ClearAndSelect);
    };
    selectBlock(from, 8, from + 1, 10);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    selectBlock(from + 2, 8, from + 2, 8);
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    EXPECT_EQ(QStringList({stored(people[0], "cdfz"), stored(people[0], "ztfz"), stored(people[0], "cqgs"),
                           stored(people[1], "cdfz"), stored(people[1], "ztfz"), stored(people[1], "cqgs")})
                  .replaceInStrings(QRegularExpression("\\.0+$"), ""),
              QStringList({"17", "3", "6.5", "21", "4", "7.25"}));
}

TALOR_BOTH_DATABASES(EditingTest);

} // namespace
