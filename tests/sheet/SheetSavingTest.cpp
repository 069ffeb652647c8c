#include "sheet/SheetSaving.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "sheet/ColumnFields.h"
#include "sheet/SheetEditing.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTranslator>
#include <algorithm>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

// Three records of two departments whose groups and teams share codes and names, saved from
// a sheet of the cell layout (records on rows 5..7) whose columns show these fields.
const QStringList Fields{"memberid", "team", "group0", "qjlb", "cdfz", "cqgs",
                         "bxrq",     "sbsj", "uns",    "hid",  "bz"};

class SavingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        db = QSqlDatabase::addDatabase("QSQLITE", "saving");
        db.setDatabaseName(":memory:");
        ASSERT_TRUE(db.open());
        exec("create table kq (memberid text, zhdate text, depart text, group0 text, team text, qjlb text, "
             "cdfz integer check (cdfz > -100), cqgs real, bxrq text, sbsj text, uns integer, hid integer, "
             "bz text, czyxm text, primary key (memberid, zhdate))");
        // clang-format off
        exec("insert into kq values ('0012', '2024-01-05', 'D1', 'G1', 'T1', '01', 5, 7.5, null, null, 1, 1, null, null), "
             "('0013', '2024-01-05', 'D2', 'G1', 'T7', null, 0, 0, null, null, 1, 1, null, '李四'), "
             "('0014', '2024-01-05', 'D1', 'G1', 'T1', null, 1, 0, null, null, 1, 1, null, null)");
        // clang-format on
        suite.db = db;
        // clang-format off
        suite.fields = {{"memberid", {"工号", "S", "20", 0}}, {"team", {"小组", "S", "20", 1}}, {"group0", {"班组", "S", "20", 2}},
                        {"qjlb", {"请假类别", "S", "20", 3}}, {"cdfz", {"迟到", "I", "", 0}}, {"cqgs", {"出勤", "D", "", 0}},
                        {"bxrq", {"补休日期", "T", "", 0}}, {"sbsj", {"上班", "Y", "", 0}}, {"uns", {"不存", "I", "", 0}},
                        {"hid", {"隐藏", "I", "", 0}}, {"bz", {"备注", "Q", "", 0}}, {"czyxm", {"操作员", "S", "", 0}}};
        suite.hidden = "隐藏", suite.unsaved = "不存,其他";
        suite.categoryNames = {{"部门\nD1", "生产部"}, {"部门\nD2", "质检部"}, {"请假类别\n01", "病假"}, {"请假类别\n02", "事假"}};
        // The same group code and the same names in both departments, under other codes.
        suite.groupNames = {{"生产部\nG1", "一组"}, {"生产部\nG2", "二组"}, {"质检部\nG1", "一组"}, {"质检部\nG9", "二组"}};
        suite.teamNames = {{"生产部\n一组\nT1", "甲班"}, {"质检部\n一组\nT7", "甲班"}, {"生产部\n二组\nT5", "甲班"},
                           {"质检部\n二组\nT9", "甲班"}};
        // clang-format on
        for (int c = 1; c <= Fields.size(); ++c)
            columns.setField(c, Fields[c - 1]);
        layOut(false);
        records.open("select * from kq order by memberid", db);
    }
    void TearDown() override
    {
        records.close();
        suite.db = QSqlDatabase();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("saving");
    }
    // The labels in row 4 (or the headings), the records' rows with one number, up to row 7.
    void layOut(bool heading)
    {
        sheet.clear();
        for (int c = 1; c <= Fields.size(); ++c) {
            sheet.setText(4, c, suite.fields.value(Fields[c - 1]).caption);
            sheet.setColumnHeading(c, heading ? suite.fields.value(Fields[c - 1]).caption : QString());
        }
        sheet.setText(5, 5, "5");
        // A text a number column holds in the database, shown as stored: saved only when changed.
        sheet.setPlainText(6, 6, "=1+1");
        sheet.setLastRow(7);
        sheet.setLastColumn(int(Fields.size()));
    }
    void exec(const QString& sql)
    {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QString stored(const QString& sql)
    {
        QSqlQuery q(db);
        QStringList values;
        EXPECT_TRUE(q.exec(sql));
        while (q.next())
            values << q.value(0).toString();
        return values.join(',');
    }

    // Saves the sheet after row 5's 迟到 is typed over with 6.
    SaveOutcome saveTyped()
    {
        SheetSnapshot snapshot;
        snapshot.take(sheet);
        sheet.setText(5, 5, "6");
        return SheetSaving(suite, columns, sheet, records).SaveSheet(&snapshot);
    }

    QSqlDatabase db;
    FakeSuite suite;
    ColumnFields columns;
    grid::Workbook book;
    grid::Sheet& sheet = book.active();
    Recordset records;
};

QString shown(const std::optional<FieldWrite>& write)
{
    return !write ? "none"
           : !write->value.isValid()
               ? "null"
               : QString(write->value.typeName() + QString(" ") + write->value.toString());
}

// The write of one cell of the first record (department D1, group G1) by its field's type; the
// last column a template can have is saved like any other.
TEST_F(SavingTest, EachCellWritesByItsFieldsType)
{
    // A typed cell the save cannot read is refused, not skipped.
    const char *notDate = "不是日期，无法保存", *notTime = "不是时间，无法保存",
               *notNumber = "不是数字，无法保存";
    // clang-format off
    const struct { int column; const char* typed; const char* write; } cases[] = {
        {5, "12", "double 12"}, {5, "", "double 0"}, {5, "-3", "double -3"}, {6, "7.25", "double 7.25"},
        {5, "1,234", "double 1234"}, {6, "50%", "double 0.5"}, // as the grid reads them
        {7, "2024-03-05", "QDateTime 2024-03-05T00:00:00.000"},
        {7, "1", "QDateTime 1899-12-31T00:00:00.000"}, // day numbers count from 1899-12-30
        {7, "0.5", "QDateTime 1899-12-30T12:00:00.000"}, {7, "0", notDate}, {7, "-1", notDate}, // no day zero
        {7, "", "null"}, {7, "abc", notDate}, {7, "8:30", notDate}, {7, "0:00", notDate}, {7, "12abc", notDate},
        {7, "2024-03-05 08:30", "QDateTime 2024-03-05T08:30:00.000"}, {8, "8:30", "QTime 08:30:00.000"},
        {8, "0.25", "QDateTime 1899-12-30T06:00:00.000"}, {8, "2024-03-05 08:30", "QDateTime 2024-03-05T08:30:00.000"},
        {8, "0", notTime}, {8, "abc", notTime}, {8, "8:30x", notTime}, {5, "abc", notNumber}, {6, "7.5小时", notNumber},
        {1, "0099", "QString 0099"}, {1, "", "null"},
        {2, "甲班", "QString T1"}, {3, "二组", "QString G2"}, {4, "事假", "QString 02"}, {4, "", "null"},
        {11, "x", "QString x"}, {11, "", "null"}, {9, "3", "none"}, {10, "3", "none"}, // unsaved, hidden
        {255, "末列", "QString 末列"}, {0, "3", "none"}, {256, "3", "none"}}; // outside the sheet's columns
    // clang-format on
    columns.setField(255, "bz");
    sheet.setLastColumn(255);
    SheetSaving saving(suite, columns, sheet, records);
    for (const auto& c : cases) {
        const int cell = std::clamp(c.column, 1, 255);
        sheet.setText(5, cell, c.typed);
        QString write;
        try {
            write = shown(saving.SaveRecord(c.column, 5, cell));
        } catch (const SaveCheckError& e) {
            write = e.message.section(u'”', -1);
        }
        EXPECT_EQ(write.toStdString(), c.write) << c.column << " " << c.typed;
    }
    // A code kind the dictionary has no lookup for is not written, as it is not shown.
    suite.fields["qjlb"].codeKind = 4;
    sheet.setText(5, 4, "病假");
    EXPECT_EQ(shown(SheetSaving(suite, columns, sheet, records).SaveRecord(4, 5, 4)), "none");
}

// The writes planned of each record, "field=value" by record, records parted by "|": after a
// snapshot of the sheet (or none), these cells typed.
TEST_F(SavingTest, ThePlanWritesTheChangedCellsOfEachRecordAndSignsThem)
{
    using Edit = std::tuple<int, int, const char*>; // row, column, text
    const char* everyColumn = "memberid= team= group0= qjlb= cdfz=%1 cqgs=0 bxrq=%2 sbsj= bz= CZYXM=张三";
    // clang-format off
    const struct { const char* name; std::vector<Edit> edits; QString plan; bool snapshot = true, heading = false, operatorField = true;
                   const char* first = "memberid"; } cases[] = {
        {"Untouched", {}, "||"},
        {"FirstAndLastCells", {{5, 1, "0099"}, {7, 11, "x"}}, "memberid=0099 CZYXM=张三||bz=x CZYXM=张三"},
        {"NumbersChanged", {{5, 5, "6"}, {6, 5, ""}, {7, 6, "1.5"}}, "cdfz=6 CZYXM=张三||cqgs=1.5 CZYXM=张三"},
        // A team typed beside a new group (in a column before it) belongs to the new group.
        {"TeamsAndGroupsWithinTheRecordsDepartment", {{5, 2, "甲班"}, {6, 2, "甲班"}, {6, 3, "二组"}, {7, 3, "二组"}, {7, 2, "甲班"}},
         "team=T1 CZYXM=张三|team=T9 group0=G9 CZYXM=张三|team=T5 group0=G2 CZYXM=张三"},
        {"CategoryByCaption", {{5, 4, "病假"}, {6, 4, "事假"}}, "qjlb=01 CZYXM=张三|qjlb=02 CZYXM=张三|"},
        {"UnsavedAndHiddenFieldsNeitherWrittenNorSigned", {{5, 9, "3"}, {6, 10, "4"}}, "||"},
        {"WithoutTheOperatorField", {{6, 5, "6"}}, "|cdfz=6|", true, false, false},
        // A department typed first: the group and the team beside it are looked up under it.
        {"DepartmentBesideItsGroupAndTeam", {{5, 1, "质检部"}, {5, 3, "二组"}, {5, 2, "甲班"}},
         "depart=D2 team=T9 group0=G9 CZYXM=张三||", true, false, true, "depart"},
        {"HeadingLayoutFromRowOne", {{1, 5, "6"}, {3, 11, "x"}, {4, 5, "9"}}, "cdfz=6 CZYXM=张三||bz=x CZYXM=张三", true, true},
        // (Row 6's stored text "=1+1" is no number: without a snapshot it would stop the save.)
        {"WithoutSnapshotEverySavedColumn", {{6, 5, "2"}, {6, 6, "0"}, {6, 7, "2"}},
         QString(everyColumn).arg(5).arg("") + "|" + QString(everyColumn).arg(2).arg("1900-01-01T00:00:00.000") +
             "|" + QString(everyColumn).arg(0).arg(""), false}};
    // clang-format on
    suite.fields["depart"] = {"部门", "S", "20", 3};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        layOut(c.heading);
        columns.setField(1, c.first);
        if (!c.operatorField)
            suite.fields.remove("czyxm");
        SheetSnapshot snapshot;
        snapshot.take(sheet);
        for (const auto& [row, column, text] : c.edits)
            sheet.setText(row, column, text);
        SheetSaving saving(suite, columns, sheet, records);
        QStringList plan;
        for (const RecordWrites& record : saving.plan(c.snapshot ? &snapshot : nullptr)) {
            QStringList writes;
            for (const FieldWrite& w : record.writes)
                writes << w.field + "=" + w.value.toString();
            // Rows 5.. of the cell layout; the heading layout has none above its records.
            EXPECT_EQ(record.row, record.position + (c.heading ? 0 : 4) + 1);
            plan << writes.join(' ');
        }
        EXPECT_EQ(std::tuple(plan.join('|'), records.position()), std::tuple(c.plan, 0));
        suite.fields["czyxm"] = {"操作员", "S", "", 0};
    }
}

// Records of a table without department and group fields save their changed cells, though the
// sheet has team and group columns.
TEST_F(SavingTest, RecordsWithoutDepartmentAndGroupSave)
{
    exec("create table kqx (memberid text, zhdate text, cdfz integer, primary key (memberid, zhdate))");
    exec("insert into kqx values ('0012', '2024-01-05', 5)");
    records.open("select * from kqx", db);
    suite.fields.remove("czyxm");
    const SaveOutcome outcome = saveTyped();
    EXPECT_EQ(std::pair(outcome.message, stored("select cdfz from kqx")), std::pair(QString(), QString("6")));
}

// A save the database cannot take saves nothing, and the records keep what was read: on a
// database this account may only read it is refused before anything is tried, saying so (not as
// a fault of the first record's); a commit the database refuses (a deferred constraint a trigger
// breaks) is taken back, saying that nothing was saved, not that the connection was lost.
TEST_F(SavingTest, ASaveTheDatabaseCannotTakeSavesNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ro.db");
    exec("vacuum into '" + file + "'");
    for (const char* sql :
         {"pragma foreign_keys = on", "create table parent (id integer primary key)",
          "create table child (id integer references parent (id) deferrable initially deferred)",
          "create trigger kq_child after update on kq begin insert into child values (1); end"})
        exec(sql);
    for (const bool readOnly : {true, false}) {
        suite.db = readOnly ? Connections::openSqliteReadOnly("saving_ro", file) : db;
        layOut(false);
        const SaveOutcome outcome = saveTyped();
        const QString told =
            readOnly ? "数据库 " + file + " 对本账户只能读" : QString("保存未能提交，没有记录被保存");
        EXPECT_EQ(std::tuple(outcome.saved, outcome.message.startsWith(told),
                             stored("select cdfz from kq order by memberid"), records.text("cdfz")),
                  std::tuple(0, true, QString("5,0,1"), QString("5")))
            << outcome.message.toStdString();
    }
    Connections::remove("saving_ro");
}

// The window shows the database layer's messages translated: a conflict must be told apart
// from a refusal by what it is, whatever words it comes in.
class OtherWords : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QString(context) != "talor")
            return {};
        QString words = QStringLiteral("译文");
        for (const auto& place : QRegularExpression("%\\d").globalMatch(source))
            words += ' ' + place.captured();
        return words;
    }
    bool isEmpty() const override { return false; }
};

// One save is one transaction: a record that cannot be written (changed by another operator
// since it was read, or refused by the database) takes back the records before it, and the
// recordset keeps the values as read, so that the same save can be made again (once another
// operator's record is shown again, the message says). The same holds with the messages
// translated.
TEST_F(SavingTest, ARefusedRecordTakesTheWholeSaveBack)
{
    // What runs after the plan, before it is applied; the lateness typed on row 7; the row of
    // the outcome and the start of its message.
    // clang-format off
    const struct { const char* name; const char* between; int lateness; int row; const char* message; } cases[] = {
        {"Saved", "", 3, 0, ""},
        {"FirstChangedByAnother", "update kq set cdfz = 9 where memberid = '0012'", 3, 5,
         "0012 2024-01-05 的记录在读出后已被其他操作员保存"},
        {"LastChangedByAnother", "update kq set cdfz = 9 where memberid = '0014'", 3, 7,
         "赵六 0014 2024-01-05 的记录在读出后已被其他操作员保存"},
        // Another field the sheet shows, changed by another operator, and one it does not show.
        {"ShownFieldChangedByAnother", "update kq set cqgs = cqgs + 1 where memberid = '0013'", 3, 6,
         "0013 2024-01-05 的记录在读出后已被其他操作员保存"},
        {"FieldNotShownChangedByAnother", "update kq set depart = 'D9', hid = hid + 1", 3, 0, ""},
        {"LastRefused", "", -200, 7, "保存 赵六 0014 2024-01-05 的记录（字段 cdfz,CZYXM）时数据库出错"}};
    // clang-format on
    OtherWords otherWords;
    for (const bool translated : {false, true}) {
        SCOPED_TRACE(translated ? "translated" : "as written");
        ASSERT_TRUE(!translated || QCoreApplication::installTranslator(&otherWords));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            exec("update kq set cdfz = 1, czyxm = null");
            // Only 0014 has a name: a record is named by its name, number and day.
            records.open(
                "select *, case memberid when '0014' then '赵六' end as name from kq order by memberid", db);
            layOut(false);
            SheetSnapshot snapshot;
            snapshot.take(sheet);
            for (int row = 5; row <= 7; ++row)
                sheet.setText(row, 5, QString::number(row == 7 ? c.lateness : row + 10));
            SheetSaving saving(suite, columns, sheet, records);
            const auto plan = saving.plan(&snapshot);
            if (*c.between)
                exec(c.between);
            const SaveOutcome outcome = saving.apply(plan);
            const bool saved = c.row == 0, conflict = QString(c.message).contains("其他操作员");
            EXPECT_EQ(std::tuple(outcome.saved, outcome.complete, outcome.row, records.position(),
                                 outcome.message.left(QString(c.message).size()).toStdString(),
                                 outcome.message.endsWith(conflict ? SheetSaving::ConflictedRecord
                                                                   : SheetSaving::RefusedRecord),
                                 stored("select czyxm from kq order by memberid")),
                      std::tuple(saved ? 3 : 0, saved, c.row, 0, std::string(c.message), !saved,
                                 QString(saved ? "张三,张三,张三" : ",,")));
            QStringList read;
            for (records.moveFirst(); !records.eof(); records.moveNext())
                read << records.text("cdfz");
            EXPECT_EQ(read.join(','), saved ? QString("15,16,%1").arg(c.lateness) : "1,1,1");
        }
    }
    QCoreApplication::removeTranslator(&otherWords);
}

// The edit and save commands as the window gives them, on the same records.
class EditingTest : public SavingTest, public EditingView
{
protected:
    bool sumChecked() const override { return sum; }
    void showMessage(const QString& text) override { messages << text; }
    void showStatus(const QString& text) override { messages << "status: " + text; }
    bool confirm(const QString& text, const QString& title) override
    {
        messages << text + title;
        return answer;
    }

    SheetEditing editing()
    {
        suite.workDir = suite.appDir = logs.path();
        return SheetEditing({suite, changed, records, columns, book}, *this, [] { return QDateTime(); });
    }

    QTemporaryDir logs;
    bool sum = false, answer = true, changed = false;
    QStringList messages;
};

// Commands one after the other, each leaving the state of the next: the messages each gives,
// whether editing is on after it, the cell selected, and what the records hold.
TEST_F(EditingTest, EditAndSaveCommandsInTurn)
{
    SheetEditing commands = editing();
    const QString yes = SheetEditing::SaveQuestion + SheetEditing::SaveTitle;
    const char* read = "5,0,1|T1,T7,T1|,李四,";
    const char* saved = "6,0,1|T1,T7,T1|张三,张三,";
    const char* savedAgain = "6,0,9|T1,T7,T1|张三,张三,张三";
    const grid::CellRange a1{1, 1, 1, 1}, a6{6, 1, 6, 1};
    // clang-format off
    const struct { const char* what; std::function<void()> before; bool save; QStringList messages; bool editing; grid::CellRange selected; const char* stored; } steps[] = {
        {"save before editing", [] {}, true, {SheetEditing::NotEditing}, false, a1, read},
        {"edit with the sum", [&] { sum = true; }, false, {SheetEditing::SumMessage}, false, a1, read},
        // A number another program stored longer than the field allows: not the operator's, not checked.
        {"edit", [&] { sum = false, sheet.setText(7, 1, QString(21, '0')); }, false, {}, true, a1, read},
        {"a value too large", [&] { sheet.setText(5, 5, "3000000000"); }, true, {"迟到值过大"}, true, {5, 5, 5, 5}, read},
        {"a name without a code", [&] { sheet.setText(5, 5, "6"), sheet.setText(6, 2, "乙班"); }, true,
         {"第6行小组“乙班”没有对应的代码，无法保存"}, true, {6, 2, 6, 2}, read},
        {"declined", [&] { sheet.setText(6, 2, "甲班"), answer = false; }, true, {yes}, false, a6, read},
        {"edit again, saved", [&] { commands.editContent(), answer = true; }, true, {yes, SheetEditing::Saved}, false, a6, saved},
        {"save with the sum", [&] { sum = true; }, true, {SheetEditing::SumMessage}, false, a6, saved},
        {"save without records", [&] { sum = false, changed = true, book.setAllowInCellEditing(true), records.close(); },
         true, {SheetEditing::NoRecordsToSave}, true, a6, saved},
        {"save with none read", [&] { records.open("select * from kq where memberid is null", db); }, true,
         {SheetEditing::NoRecordsToSave}, true, a6, saved},
        {"edit without records", [&] { changed = false, book.setAllowInCellEditing(false); }, false,
         {SheetEditing::NoRecordsToEdit}, false, a6, saved},
        // Editing again after the records were shown anew starts from what they show.
        {"shown anew between edits, saved", [&] {
             for (int i = 0; i < 2; ++i)
                 records.open("select * from kq order by memberid", db), commands.editContent();
             sheet.setText(7, 5, "9"); }, true, {yes, SheetEditing::Saved}, false, a6, savedAgain},
        // The heading layout names the column by its heading, not by row 4's text.
        {"a name without a code on the first row of the headings", [&] { layOut(true), commands.editContent(),
             sheet.setColumnHeading(2, "小组名"), sheet.setText(1, 2, "乙班"); }, true,
         {"第1行小组名“乙班”没有对应的代码，无法保存"}, true, {1, 2, 1, 2}, savedAgain}};
    // clang-format on
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        messages.clear();
        step.before();
        step.save ? commands.saveContent() : commands.editContent();
        QStringList held;
        for (const char* field : {"cdfz", "team", "czyxm"})
            held << stored(QString("select %1 from kq order by memberid").arg(field));
        EXPECT_EQ(std::tuple(messages.join('/').toStdString(), changed, book.allowInCellEditing(),
                             sheet.selection(), held.join('|').toStdString()),
                  std::tuple(step.messages.join('/').toStdString(), step.editing, step.editing, step.selected,
                             std::string(step.stored)));
    }
}

// A cell can be edited while editing, on any row, unless its column's label is an unsaved
// field; a click on a data row (not above it) publishes the row: the person of a day report,
// the date of any other, and the row's first texts.
TEST_F(EditingTest, SelectionAndClicksOnTheRows)
{
    SheetEditing commands = editing();
    // While editing, what reaches many cells leaves the unsaved column (9) and those past the
    // last (11) alone.
    commands.editContent();
    EXPECT_EQ(QList<bool>({book.mayEdit(5, 1), book.mayEdit(5, 9), book.mayEdit(5, 11), book.mayEdit(5, 12)}),
              QList<bool>({true, false, true, false}));
    // Whether the sheet was changed, the cell selected, whether it may then be edited.
    const std::tuple<bool, int, int, bool> selections[] = {
        {true, 5, 5, true}, {true, 1, 11, true}, {true, 7, 9, false}, {false, 5, 5, false}};
    for (const auto& [sheetChanged, row, column, editable] : selections) {
        changed = sheetChanged;
        sheet.setActiveCell(row, column);
        commands.selectionChange();
        EXPECT_EQ(std::tuple(book.allowInCellEditing(), suite.row, suite.column),
                  std::tuple(editable, row, column));
    }
    // The report kind, the row clicked, the active row, whether the click publishes the row.
    const std::tuple<QString, int, int, bool> clicks[] = {
        {"2", 5, 5, true}, {"2", 4, 5, false}, {"2", 5, 4, false}, {"1", 7, 7, true}, {"3", 6, 6, true}};
    for (int r = 4; r <= 7; ++r)
        for (const auto& [c, text] : {std::pair{1, "2024-01-0%1"}, {2, "名%1"}, {8, "末%1"}})
            sheet.setText(r, c, QString(text).arg(r));
    for (const auto& [option, row, active, published] : clicks) {
        SCOPED_TRACE(std::to_string(row) + " " + option.toStdString());
        suite.option = option;
        suite.number = suite.person = {};
        suite.date = QDate(2026, 1, 1);
        ModuleSettings settings(suite);
        settings.write(keys::GridRowText, {}, 8);
        sheet.setActiveCell(active, 1);
        commands.cellClick(row, 1);
        const bool day = option == "2";
        EXPECT_EQ(std::tuple(suite.number, suite.person, suite.date, settings.read(keys::GridRowText, 8)),
                  std::tuple(published && day ? sheet.text(row, 1) : QString(),
                             published && day ? sheet.text(row, 2) : QString(),
                             published && !day ? QDate(2024, 1, row) : QDate(2026, 1, 1),
                             published ? sheet.text(row, 8) : QString()));
    }
    // A settings file that cannot take the row is noted in the status bar; the click goes on.
    suite.failingWrites = "the settings file is read-only";
    commands.cellClick(5, 1);
    EXPECT_EQ(messages, QStringList{"status: 所点的行未能记入设置文件：the settings file is read-only"});
}

} // namespace
