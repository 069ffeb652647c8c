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
