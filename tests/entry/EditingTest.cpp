// The edit and save commands through the main window on the demo suite, on SQLite and PostgreSQL.
#include "demo/DemoSuite.h"
#include "entry/OperatorWindow.h"
#include "modulesettings/ModuleSettings.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
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

// Editing gives the grid's permissions and logs the sheet; each type's save rule typed into the
// first two employees' rows, then saved: the question, the stored texts (exactly, as a number,
// or by a start or a part: the engines show times and days in forms of their own), the
// operator's signature on the touched records only, and the sheet logged again.
TEST_P(EditingTest, EditTypeEveryTypeSaveAndLog)
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
    const QString stem = QStringLiteral("管理员0305-083012.xls");
    a->edit();
    EXPECT_TRUE(a->window->state().DataChanged);
    EXPECT_TRUE(a->book().allowInCellEditing() && a->book().allowEditHeaders() && a->book().allowFillRange());
    EXPECT_TRUE(QFile::exists(config.workDirectory + "/log/" + stem));
    const QString people[] = {firstMember(), a->book().text(a->firstRow() + 1, 1)};
    for (const auto& c : cases)
        a->type(a->rowOf(people[c.person]), c.column, c.typed);
    EXPECT_TRUE(a->book().active().isText(a->rowOf(people[0]), 8)) << "typed entries stay text";
    a->save();
    EXPECT_EQ(a->ui.messageTexts() << a->ui.messages[1].title,
              (QStringList{"是否真的保存？", "保存完毕", ""}));
    EXPECT_FALSE(a->window->state().DataChanged || a->book().allowInCellEditing() ||
                 a->book().allowEditHeaders() || a->book().allowFillRange());
    EXPECT_TRUE(QFile::exists(config.applicationDirectory + "/Log/" + stem));
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

// The operator types into a cell and picks a command without leaving the cell: the text is
// written to the sheet first, by the text entry rule, and saved or validated with the rest;
// a command that only reads the sheet finds it there too.
TEST_P(EditingTest, ACellStillInItsEditorIsWrittenBeforeTheCommand)
{
    const struct
    {
        int column;
        QString typed;
        const char* command;
        QString message;
    } cases[] = {
        {8, "55", "MN03", "保存完毕"},
        {14, "2024-02-30", "MN03", "日期格式不对"},
        {8, "66", "MN04", {}},
    };
    a->window->show();
    const QString who = firstMember();
    const int row = a->rowOf(who);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        if (!a->window->state().DataChanged)
            a->edit();
        a->select(row, c.column);
        a->grid()->startEdit();
        QCoreApplication::processEvents();
        auto* editor = a->grid()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor && editor->isVisible()) << "an editor is open";
        editor->setText(c.typed);
        a->ui.messages.clear();
        a->ui.answers.assign(1, UiService::Answer::Yes);
        test::trigger(*a->window, c.command);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the closed editor
        EXPECT_EQ(a->book().text(row, c.column), c.typed);
        EXPECT_TRUE(a->book().active().isText(row, c.column)) << "through the text entry rule";
        EXPECT_EQ(a->lastMessage(), c.message);
        EXPECT_EQ(a->grid()->findChild<QLineEdit*>(), nullptr) << "the editor is closed";
        if (c.message == "保存完毕") {
            EXPECT_EQ(stored(who, "cdfz").toDouble(), c.typed.toDouble());
        }
    }
}

// F2 in the grid edits the cell; leaving it with Escape keeps what was typed before savable.
TEST_P(EditingTest, TypedValuesStaySavableAcrossF2InTheGrid)
{
    a->window->show();
    a->window->activateWindow();
    const QString who = firstMember();
    const int row = a->rowOf(who);
    a->edit();
    a->type(row, 8, "71");
    a->select(row, 9);
    a->grid()->table()->setFocus();
    QTest::keyClick(a->grid()->table(), Qt::Key_F2);
    QCoreApplication::processEvents();
    auto* editor = a->grid()->findChild<QLineEdit*>();
    ASSERT_TRUE(editor && editor->isVisible()) << "F2 edits the cell";
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    a->save();
    EXPECT_EQ(std::pair(a->lastMessage(), stored(who, "cdfz").toDouble()),
              std::pair(QString("保存完毕"), 71.0));
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

TEST_P(EditingTest, RightButtonShowsTheExternalMenuOnlyWithCaptions)
{
    const QString file = ModuleSettings(a->suite).path();
    for (int n = 1; n <= 7; ++n)
        a->suite.writeSetting("TALOR", QStringLiteral("考勤日报MENU%1").arg(n), "", file);
    Q_EMIT a->grid()->mouseButton(2, 0, 10, 10);
    auto item = [&](int n) {
        return a->window->findChild<QAction*>(QStringLiteral("MNE%1").arg(n));
    };
    EXPECT_EQ(std::tuple(item(1)->isVisible(), item(1)->text(), item(2)->isVisible()),
              std::tuple(true, QString(), false));
    a->suite.writeSetting("TALOR", "考勤日报MENU3", "工资", file);
    Q_EMIT a->grid()->mouseButton(2, 0, 10, 10);
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
        Q_EMIT a->grid()->cellDoubleClicked(a->firstRow(), 1);
        EXPECT_EQ(a->launcher.components, QStringList(c.started, "veld.clszh"));
        EXPECT_TRUE(a->lastMessage().endsWith(c.message)) << a->lastMessage().toStdString();
    }
}

// Cells copied from the grid (Ctrl+C) and pasted onto other persons' rows (Ctrl+V) save what
// the copied ones hold, as if typed there. Ctrl+Z after the paste gives the grid back as it was,
// with nothing to save; Ctrl+Y pastes again.
TEST_P(EditingTest, ABlockCopiedAndPastedOntoOtherRowsSavesTheSameValues)
{
    const int from = a->firstRow();
    const QString people[] = {a->book().text(from + 2, 1), a->book().text(from + 3, 1)};
    // Whether the save wrote the person's record: it signs what it writes.
    const auto signedBy = [&](const QString& person) {
        return stored(person, "czyxm");
    };
    a->edit();
    const QStringList typed{"17", "3", "6.5", "21", "4", "7.25"};
    for (int i = 0; i < 6; ++i)
        a->type(from + i / 3, 8 + i % 3, typed[i]);
    a->save();

    auto* table = a->grid()->table();
    const auto selectBlock = [&](int row1, int col1, int row2, int col2) {
        a->select(row1, col1);
        table->selectionModel()->select(QItemSelection(table->model()->index(row1 - 1, col1 - 1),
                                                       table->model()->index(row2 - 1, col2 - 1)),
                                        QItemSelectionModel::ClearAndSelect);
    };
    const auto pasteRows = [&] {
        QStringList texts;
        for (int r = from + 2; r <= from + 3; ++r)
            for (int c = 8; c <= 10; ++c)
                texts << a->book().text(r, c);
        return texts;
    };
    const QStringList before = pasteRows();
    a->edit();
    selectBlock(from, 8, from + 1, 10);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    selectBlock(from + 2, 8, from + 2, 8);
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(pasteRows(), typed);
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(pasteRows(), before);
    a->save();
    EXPECT_EQ(QStringList({signedBy(people[0]), signedBy(people[1])}), QStringList({"<null>", "<null>"}))
        << "nothing to save after the undo";

    a->edit();
    QTest::keyClick(table, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(pasteRows(), before) << "editing began anew: the steps are gone";
    selectBlock(from + 2, 8, from + 2, 8);
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    a->save();
    EXPECT_EQ(a->lastMessage(), "保存完毕");
    EXPECT_EQ(signedBy(people[1]), "管理员");
    EXPECT_EQ(QStringList({stored(people[0], "cdfz"), stored(people[0], "ztfz"), stored(people[0], "cqgs"),
                           stored(people[1], "cdfz"), stored(people[1], "ztfz"), stored(people[1], "cqgs")})
                  .replaceInStrings(QRegularExpression("\\.0+$"), ""),
              typed);
}

TALOR_BOTH_DATABASES(EditingTest);

} // namespace
