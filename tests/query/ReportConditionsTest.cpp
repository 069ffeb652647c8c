#include "query/ReportConditions.h"

#include "query/frmSQL0.h"
#include "query/frmSQL1.h"
#include "report/TemplateFiles.h"
#include "settings/IniFile.h"
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
#include <string_view>

using namespace talor;
using talor::test::child;
using talor::test::FakeSuite;
using namespace std::literals;

namespace {

const QString MK = u"考勤日报"_qs;

class ReportConditionsTest : public ::testing::Test
{
protected:
    ReportConditionsTest()
    {
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = MK;
    }

    void set(const QString& key, const QString& value) { suite.setSetting(u"TALOR"_qs, key, value); }
    QString get(const QString& key) const { return suite.setting(u"TALOR"_qs, key); }
    void users(const QStringList& names)
    {
        set(MK + "nBD", QString::number(names.size()));
        for (int i = 0; i < names.size(); ++i)
            set(MK + "sBD" + QString::number(i + 1), names[i]);
    }
    QString file(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) { test::putFile(file(name), bytes); }
    QByteArray content(const QString& name) const { return test::fileBytes(file(name)); }

    QTemporaryDir dir;
    FakeSuite suite;
    ReportConditions reports{suite};
};

TEST_F(ReportConditionsTest, AddSkipsMissingTemplatesNeverCopiesAFileOntoItselfAndKeepsFilesInTheDirectory)
{
    writeFile(MK + "1.vts", "one");
    writeFile(u"早班2.vts"_qs, "old"); // the built-in report has no kind 2: nor has the new one
    EXPECT_TRUE(reports.add({u"早班"_qs, {}, {}}).problems.isEmpty());
    EXPECT_EQ(std::tuple(content(u"早班1.vts"_qs), QFile::exists(file(u"早班2.vts"_qs))),
              std::tuple(QByteArray("one"), false));

    // Names a file cannot hold get templates inside the directory.
    const QString name = u"../班/组%"_qs;
    EXPECT_TRUE(reports.add({name, u"c"_qs, {}}).problems.isEmpty());
    EXPECT_EQ(std::tuple(templateFileStem(name), content(u"%2E.%2F班%2F组%251.vts"_qs),
                         reports.read(name).deptCondition, QDir(dir.path()).entryList(QDir::Files).size()),
              std::tuple(u"%2E.%2F班%2F组%25"_qs, QByteArray("one"), u"c"_qs, 3));

    // Distinct names never share a file. A name too long for a file name is cut on the last whole
    // character that fits and hashed: 200 of three bytes (600 bytes); 300 of one byte, cut on the
    // last byte the stem may take; two of one byte and then three-byte ones, cut after the 61st.
    // 195 bytes + "1.vts" = 200 are kept whole.
    EXPECT_EQ(templateFileStem(u"a\nb\x7F~"_qs) + templateFileStem(u"夜班 2"_qs), u"a%0Ab%7F~夜班 2"_qs);
    const QString longName(200, QChar(u'班')), stem = templateFileStem(longName), fits(65, QChar(u'班'));
    EXPECT_EQ(QList<bool>({templateFileStem(u"a/b"_qs) != templateFileStem(u"a%2Fb"_qs),
                           (stem + "1.vts").toUtf8().size() <= 200,
                           templateFileStem(QString(300, u'a')).indexOf(u'~') == 186,
                           templateFileStem("aa" + longName).indexOf(u'~') == 63,
                           stem != templateFileStem(longName + u'x'), templateFileStem(fits) == fits,
                           templateFileStem(fits + u'班') != fits + u'班',
                           templateFileStem(QString("😀").repeated(100)).toUtf8().size() <= 195}),
              QList<bool>(8, true));
    EXPECT_TRUE(reports.add({longName, {}, {}}).problems.isEmpty());
    EXPECT_EQ(content(stem + "1.vts"), "one");
}

// A second dialog still showing B as entry 2 after B was renamed changes nothing; one opened on
// C as entry 3 before B went deletes nothing: entry 3 is gone.
TEST_F(ReportConditionsTest, ModifyOrDeleteOfAnEntryNoLongerThereChangesNothing)
{
    users({u"A"_qs, u"C"_qs});
    suite.settingsWrites.clear();
    EXPECT_EQ(reports.modify(2, u"B"_qs, {u"D"_qs, {}, {}}).problems +
                  reports.remove(3, {u"C"_qs, {}, {}}).problems + suite.settingsWrites,
              (QStringList{u"报表列表已被改动：第2项已不是“B”，没有修改，请重新选择"_qs,
                           u"报表列表已被改动：第3项已不是“C”，没有删除，请重新选择"_qs}));
    // The built-in report, first of the list, is neither modified nor deleted.
    EXPECT_EQ(reports.modify(0, MK, {u"D"_qs, {}, {}}).problems + reports.remove(0, {MK, {}, {}}).problems +
                  suite.settingsWrites,
              QStringList({"报表列表已被改动：第0项已不是“" + MK + "”，没有修改，请重新选择",
                           "报表列表已被改动：第0项已不是“" + MK + "”，没有删除，请重新选择"}));
}

// A rename takes the report's templates (every kind, wherever the template folder is) and
// every setting kept under its name along to the new name, over what an older report of that
// name left; the old name keeps its own. The current report follows the rename.
TEST_F(ReportConditionsTest, ARenamedReportTakesItsTemplatesAndSettingsAlongAndStaysCurrent)
{
    suite.templateDir = dir.filePath(u"templates"_qs);
    QDir(dir.path()).mkdir(u"templates"_qs);
    users({u"R1"_qs, u"R2"_qs});
    for (const QString& f : {u"R11.vts"_qs, u"R12.vts"_qs, u"R13.vts"_qs})
        writeFile("templates/" + f, f.toUtf8());
    // The last two: a template setting naming the report's own file names the file the rename
    // copies it to.
    // clang-format off
    const std::array<QString, 3> kept[] = {{u"TALOR"_qs, u"OPT"_qs, u"2"_qs}, {u"TALOR"_qs, u"IMAGE"_qs, u"/pictures/banner.png"_qs},
        {u"TALOR"_qs, u" 0"_qs, u"YES"_qs}, {u"TALOR"_qs, u"REPORT3"_qs, dir.filePath(u"templates/R13.vts"_qs)},
        {u"TALOR"_qs, u"FIX"_qs, u"3"_qs}, {u"TALOR"_qs, u"BDTJ1"_qs, u"depart='01'"_qs}, {u"MODEL8"_qs, u"FLD"_qs, u"NO"_qs},
        {u"PRINT"_qs, u".Zoom"_qs, u"80"_qs}, {u"PRINT"_qs, u".LeftHeader"_qs, u"&P"_qs},
        {u"TALOR"_qs, u"REPORT2"_qs, dir.filePath(u"templates/R12.vts"_qs)}, {u"TALOR"_qs, u"REPORT1"_qs, u"/templates/own.vts"_qs}};
    // clang-format on
    for (const auto& [section, suffix, value] : kept)
        suite.setSetting(section, "R1" + suffix, value);
    set(u"R1新OPT"_qs, u"1"_qs); // left by an older report of the new name
    set(u"R1新FIX"_qs, u"5"_qs);
    suite.reportKeyValue = u"R1"_qs;

    EXPECT_TRUE(reports.modify(1, u"R1"_qs, {u"R1新"_qs, u"depart='02'"_qs, u"memberid='00002'"_qs})
                    .problems.isEmpty());
    QStringList renamed;
    for (const auto& [section, suffix, value] : kept)
        renamed << suite.setting(section, "R1新" + suffix);
    EXPECT_EQ(std::tuple(suite.reportKey(), reports.reportList(), renamed, get(u"R1新BDTJ2"_qs)),
              std::tuple(u"R1新"_qs, QStringList{MK, u"R1新"_qs, u"R2"_qs},
                         QStringList{"2", "/pictures/banner.png", "YES",
                                     dir.filePath(u"templates/R1新3.vts"_qs), "3", "depart='02'", "NO", "80",
                                     "&P", dir.filePath(u"templates/R1新2.vts"_qs), "/templates/own.vts"},
                         u"memberid='00002'"_qs));
    EXPECT_EQ(get(u"R1OPT"_qs) + get(u"R1BDTJ1"_qs), u"2depart='01'"_qs);
    EXPECT_EQ(QDir(suite.templateDir).entryList(QDir::Files),
              (QStringList{u"R11.vts"_qs, u"R12.vts"_qs, u"R13.vts"_qs, u"R1新1.vts"_qs, u"R1新2.vts"_qs,
                           u"R1新3.vts"_qs}));
    EXPECT_EQ(content(u"templates/R1新2.vts"_qs), "R12.vts");

    // Another report renamed: the current one stays; so it does when one of two entries of its
    // name is renamed, the other one still naming it.
    EXPECT_TRUE(reports.modify(2, u"R2"_qs, {u"R3"_qs, {}, {}}).problems.isEmpty());
    users({u"R1新"_qs, u"R1新"_qs});
    EXPECT_TRUE(reports.modify(2, u"R1新"_qs, {u"R4"_qs, {}, {}}).problems.isEmpty());
    EXPECT_EQ(suite.reportKey(), u"R1新"_qs);
}

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

// How the operator leaves frmSQL1: 确定, 取消, or Enter in the last field (确定 is the default).
enum class Leave
{
    Ok,
    Cancel,
    Enter
};

// frmSQL1 as the operator fills it: the texts to type, then how it is left.
std::function<int(QDialog&)> editor(const QString& name, const QString& dept, const QString& person,
                                    QStringList* shown = nullptr, Leave leave = Leave::Ok)
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
        if (leave == Leave::Enter) {
            d.show();
            QTest::keyClick(child<QLineEdit>(d, "Text3"), Qt::Key_Return);
        } else {
            click(d, leave == Leave::Ok ? "Command1" : "Command2");
        }
        return d.result();
    };
}

// A suite whose settings are one real file, as LocalSuite keeps them (the reports change it in
// one read-modify-write each). What `beforeWrite` was given runs once, just before the next write
// goes for the file's lock: another operator's edit at that moment.
class FileSuite : public FakeSuite
{
public:
    void beforeWrite(std::function<void()> edit) { m_beforeWrite = std::move(edit); }

    QString readSetting(const QString& section, const QString& key, const QString& file) override
    {
        return IniFile(file).read(section, key);
    }
    void updateSettings(const QString& section, const SettingsChange& change, const QString& file) override
    {
        if (const auto other = std::exchange(m_beforeWrite, nullptr))
            other();
        IniFile(file).update(section, change);
    }

private:
    std::function<void()> m_beforeWrite;
};

// Two operators add and delete reports on one settings file at the same moment: the second
// one's edit lands while the first one's is under way. Both edits land; no entry is lost or
// doubled.
TEST(ReportConditionsShared, EditsOfTwoOperatorsAtTheSameMomentAllLand)
{
    // An edit: entry 0 adds the report (its department condition its name in small letters),
    // another deletes the entry.
    const auto edit = [](ReportConditions& reports, const std::pair<int, QString>& e) {
        const auto& [index, name] = e;
        return index == 0 ? reports.add({name, name.toLower(), {}}).problems
                          : reports.remove(index, {name, {}, {}}).problems;
    };
    // The list after both, and the conditions of X and Y: those of each report listed, none of a
    // report that is not.
    // clang-format off
    const struct { std::pair<int, QString> first, second; QStringList list; const char* conditions; } cases[] = {
        {{0, u"X"_qs}, {0, u"Y"_qs}, {MK, u"R1"_qs, u"R2"_qs, u"Y"_qs, u"X"_qs}, "xy"}, {{1, u"R1"_qs}, {0, u"Y"_qs}, {MK, u"R2"_qs, u"Y"_qs}, "y"},
        {{0, u"X"_qs}, {2, u"R2"_qs}, {MK, u"R1"_qs, u"X"_qs}, "x"}, {{1, u"R1"_qs}, {2, u"R2"_qs}, {MK}, ""}};
    // clang-format on
    for (const auto& c : cases) {
        QTemporaryDir dir;
        FileSuite first, second;
        first.settingsDir = first.templateDir = second.settingsDir = second.templateDir = dir.path();
        IniFile(first.settingsPath())
            .write(u"TALOR"_qs, {{MK + "nBD", u"2"_qs}, {MK + "sBD1", u"R1"_qs}, {MK + "sBD2", u"R2"_qs}});
        ReportConditions one(first), other(second);
        QStringList problems;
        first.beforeWrite([&] { problems += edit(other, c.second); });
        problems += edit(one, c.first);
        EXPECT_EQ(std::tuple(problems, one.reportList(),
                             one.read(u"X"_qs).deptCondition + one.read(u"Y"_qs).deptCondition),
                  std::tuple(QStringList(), c.list, QString(c.conditions)))
            << c.list.join(u',').toStdString();
    }
}

// Another operator takes the name between the editor's check and the write: the editor says
// so and stays open with what was typed, so that another name can be given.
TEST(ReportConditionsShared, ANameTakenWhileWritingLeavesTheEditorOpen)
{
    QTemporaryDir dir;
    FileSuite first, second;
    first.settingsDir = first.templateDir = second.settingsDir = second.templateDir = dir.path();
    ReportConditions one(first), other(second);
    first.beforeWrite([&] { other.add({u"夜班"_qs, {}, {}}); });
    test::ScriptedUi ui;
    frmSQL1 adding(one, ui, EditMode::Add, 0, MK);
    editor(u"夜班"_qs, u"depart='01'"_qs, {})(adding);
    EXPECT_EQ(std::tuple(ui.messageTexts(), adding.result(), child<QLineEdit>(adding, "Text2")->text(),
                         one.reportList()),
              std::tuple(QStringList{u"已有名为“夜班”的报表，请换一个名称！"_qs}, int(QDialog::Rejected),
                         u"depart='01'"_qs, QStringList{MK, u"夜班"_qs}));
    // The entry edited deleted meanwhile: said, and the editor closes, for the list to show what
    // holds now (another name would not help).
    frmSQL1 modifier(one, ui, EditMode::Modify, 1, u"夜班"_qs);
    first.beforeWrite([&] { other.remove(1, {u"夜班"_qs, {}, {}}); });
    click(modifier, "Command1");
    EXPECT_EQ(std::pair(ui.messageTexts().size(), modifier.result()),
              std::pair(qsizetype(2), int(QDialog::Accepted)));
    // The settings file cannot be written (a full disk): said, and the editor stays open with what
    // was typed.
    frmSQL1 adder(one, ui, EditMode::Add, 0, MK);
    first.beforeWrite([] { throw SuiteError(u"the settings file cannot be written: disk full"_qs); });
    editor(u"早班"_qs, {}, {})(adder);
    EXPECT_EQ(
        std::tuple(ui.messageTexts().last(), adder.result(), child<QLineEdit>(adder, "Text1")->text()),
        std::tuple(u"the settings file cannot be written: disk full"_qs, int(QDialog::Rejected), u"早班"_qs));
    // What the settings file cannot hold, or a condition the queries would refuse: said (the
    // condition named) before anything is written, and the editor stays open; a report stored
    // with such a condition (by an older version) can still be deleted.
    for (const auto& [dept, person, said] :
         {std::tuple(u"a\nb"_qs, QString(), u"部门条件不能包含换行符！"_qs),
          {QString(), u"bz = ') or (1=1"_qs, u"\"bz = ') or (1=1\""_qs}}) {
        const int result = editor(u"早班"_qs, dept, person)(adder);
        EXPECT_EQ(std::tuple(result, ui.messageTexts().last().contains(said), one.reportList()),
                  std::tuple(int(QDialog::Rejected), true, QStringList{MK}))
            << said.toStdString();
    }
    one.add({u"旧班"_qs, u"x) or (1=1"_qs, {}});
    frmSQL1 deleter(one, ui, EditMode::Delete, 1, u"旧班"_qs);
    click(deleter, "Command1");
    EXPECT_EQ(std::pair(deleter.result(), one.reportList()),
              std::pair(int(QDialog::Accepted), QStringList{MK}));
}

TEST(ReportConditionsRefusal, NamesTheCharacterTheSettingsFileCannotHold)
{
    // Name, conditions, and the message (empty: accepted). A NUL: the settings file could not be
    // read with it.
    // clang-format off
    const std::array<std::string_view, 4> cases[] = {
        {"夜班", "a='['", "b=';#'", ""}, {"", "", "", ""}, {"班[1]", "", "", ""}, {"a#;", "", "", ""},
        {"[夜班", "", "", "报表名称不能以“[”开头！"}, {"  ;x", "", "", "报表名称不能以“;”开头！"},
        {"#x", "", "", "报表名称不能以“#”开头！"}, {"a=b", "", "", "报表名称不能包含“=”！"},
        {"a\nb", "", "", "报表名称不能包含换行符！"}, {"a\r", "", "", "报表名称不能包含换行符！"},
        {"a", "x\ny", "", "部门条件不能包含换行符！"}, {"a", "", "x\r\ny", "个人条件不能包含换行符！"},
        {"a\0"sv, "", "", "报表名称不能包含空字符！"}, {"a", "", "x\0"sv, "个人条件不能包含空字符！"}};
    // clang-format on
    const auto text = [](std::string_view bytes) {
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    };
    for (const auto& [name, dept, person, message] : cases)
        EXPECT_EQ(ReportConditions::refusal({text(name), text(dept), text(person)}), text(message)) << name;
    // A condition the queries would refuse, in their words, which name it.
    const QStringList refused{ReportConditions::conditionRefusal({"a", "x) or (1=1", {}}),
                              ReportConditions::conditionRefusal({"a", {}, "bz = '"}),
                              ReportConditions::conditionRefusal({"a", "x -- (", "bz = 'it''s'"})};
    EXPECT_TRUE(refused[0].contains("\"x) or (1=1\"") && refused[1].contains("\"bz = '\"") &&
                refused[2].isEmpty())
        << refused.join(" | ").toStdString();
}

// The supervisor check passes for "pelto" while the lock switch is 0.
class SelectReportTest : public ReportConditionsTest
{
protected:
    SelectReportTest()
    {
        suite.refresh = 2;
        suite.operatorNameValue = u"pelto"_qs;
        writeFile(MK + "1.vts", "template");
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
        QList<bool> out;
        for (const char* button : {"Command1", "Command2", "Command3"})
            out << child<QPushButton>(d, button)->isEnabled();
        return out;
    }

    test::ScriptedUi ui;
    QListWidget* list = nullptr;
    int designerRuns = 0;
};

TEST_F(SelectReportTest, ListSelectsTheCurrentReportChoosesWithoutACheckAndTheCheckGuardsTheRest)
{
    users({u"早班"_qs, u"夜班"_qs, QString()});
    suite.reportKeyValue = u"夜班"_qs;
    auto d = open();
    EXPECT_EQ(
        std::tuple(items(list), list->currentRow(), enabled(*d)),
        std::tuple(QStringList{MK, u"早班"_qs, u"夜班"_qs, QString()}, 2, QList<bool>({true, true, true})));

    // Choosing needs no check; closing asks for a layout.
    users({u"早班"_qs, QString()});
    suite.lock = 1; // the check fails for everybody
    d = open();
    list->setCurrentRow(1);
    click(*d, "Command5");
    EXPECT_EQ(std::tuple(suite.reportKeyValue, d->result(), suite.refresh),
              std::tuple(u"早班"_qs, int(QDialog::Accepted), 0));
    // Enter chooses wherever the focus stands: on 删除 it is still 选定.
    suite.reportKeyValue.clear();
    d = open();
    d->show();
    list->setCurrentRow(1);
    auto* remove = child<QPushButton>(*d, "Command3");
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Return);
    EXPECT_EQ(std::pair(suite.reportKeyValue, d->result()), std::pair(u"早班"_qs, int(QDialog::Accepted)));

    // A double-click on the empty name makes it current.
    d = open();
    list->setCurrentRow(2);
    Q_EMIT list->itemDoubleClicked(list->item(2));
    EXPECT_EQ(suite.reportKeyValue, QString());

    // Closed with the window box: no choice, but the layout all the same.
    suite.refresh = 2;
    d = open();
    list->setCurrentRow(1);
    d->reject();
    EXPECT_EQ(std::pair(suite.reportKeyValue, suite.refresh), std::pair(QString(), 0));

    // The check guards add, modify, delete and design, silently.
    users({u"早班"_qs});
    suite.prefix = u"ABCDEFGH"_qs;
    suite.access = u"wrong"_qs;
    suite.settingsWrites.clear();
    d = open();
    list->setCurrentRow(1);
    for (const char* button : {"Command1", "Command2", "Command3", "Command4"})
        click(*d, button);
    EXPECT_EQ(std::tuple(ui.dialogsShown.isEmpty(), ui.messages.empty(), suite.settingsWrites.isEmpty()),
              std::tuple(true, true, true));
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

    // The add dialog starts empty. A condition may be long (a list of persons): it is kept whole,
    // as typed and as shown.
    QStringList shown;
    const QString persons = u"memberid in ("_qs + u"'00001',"_qs.repeated(5000) + u"'x')"_qs;
    ui.dialogs.push_back(editor(u"夜班"_qs, u"depart='1'"_qs, persons, &shown));
    click(*d, "Command1");
    EXPECT_EQ(std::tuple(d->editMode(), ui.dialogsShown, shown + items(list) << get(u"夜班BDTJ1"_qs)),
              std::tuple(EditMode::Add, QStringList{u"frmSQL1"_qs},
                         QStringList{u"添加样式条件"_qs, QString(), QString(), QString(), MK, u"早班"_qs,
                                     u"夜班"_qs, u"depart='1'"_qs}));

    // Modify shows the selected report and renames entry 2 (left with Enter).
    shown.clear();
    list->setCurrentRow(2);
    ui.dialogs.push_back(editor(u"晚班"_qs, u"d2"_qs, u"p2"_qs, &shown, Leave::Enter));
    click(*d, "Command2");
    EXPECT_EQ(shown + items(list) << get(u"晚班BDTJ2"_qs),
              (QStringList{u"修改样式条件"_qs, u"夜班"_qs, u"depart='1'"_qs, persons, MK, u"早班"_qs,
                           u"晚班"_qs, u"p2"_qs}));

    // Cancel changes nothing. (The list selects the current report again after each edit: the
    // built-in one, which is neither modified nor deleted.)
    EXPECT_EQ(std::pair(list->currentRow(), enabled(*d)), std::pair(0, QList<bool>({true, false, false})));
    list->setCurrentRow(2);
    const QStringList writes = suite.settingsWrites;
    ui.dialogs.push_back(editor(u"x"_qs, {}, {}, nullptr, Leave::Cancel));
    click(*d, "Command2");
    EXPECT_EQ(std::tuple(ui.dialogs.empty(), suite.settingsWrites), std::tuple(true, writes));

    // Delete shows the selected report read-only and removes entry 1.
    shown.clear();
    list->setCurrentRow(1);
    ui.dialogs.push_back(editor(u"typed over"_qs, {}, {}, &shown));
    click(*d, "Command3");
    EXPECT_EQ(std::tuple(shown.first(), d->editMode(), items(list) << get(MK + "nBD")),
              std::tuple(u"删除样式条件"_qs, EditMode::Delete, QStringList{MK, u"晚班"_qs, u"1"_qs}));
}

} // namespace
