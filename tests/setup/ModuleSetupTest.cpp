#include "setup/ModuleSetup.h"

#include "db/Recordset.h"
#include "setup/frmYBXZ.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"
#include "support/TestDatabases.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;

namespace {

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

const QStringList ListedTables{u"KQB   考勤表"_qs, u"JBB   加班表"_qs, u"KQRB01日报表"_qs};

// A table catalogue in zdb1 with four data tables under the "DATABASE" entry (RYB without an
// employee field) plus one under another entry, which also holds a "DATABASE" entry (stored
// first; only the top level's counts), a menu table SYS02 whose rows are stored out of cdxh
// order, and the module's settings as the operator "Qel" left them.
class SetupTest : public test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        resetTables({u"zdb1"_qs, u"sys02"_qs});
        exec(u"create table zdb1 (proid integer primary key, parid integer, proname varchar(40), "
             "proval varchar(20))"_qs);
        exec(u"insert into zdb1 values (0, 6, '备份', 'DATABASE'), (1, 0, '数据库', 'DATABASE'), "
             "(2, 1, '考勤表', 'KQB'), (3, 1, '加班表', 'JBB'), (4, 1, '人员表', 'RYB'), "
             "(5, 1, '日报表', 'KQRB01'), (6, 0, '其他', 'OTHER'), (7, 6, '外部表', 'WBB')"_qs);
        exec(u"create table SYS02 (cdxh integer primary key, cdmc varchar(40))"_qs);
        exec(u"insert into SYS02 values (3, '工资核算'), (1, '人事档案'), (2, '考勤统计')"_qs);
        for (const QString& table : {u"KQB"_qs, u"JBB"_qs, u"KQRB01"_qs, u"WBB"_qs})
            suite.fieldsOfTable[table] = {{u"zhdate"_qs, u"日期"_qs}, {u"memberid"_qs, u"工号"_qs}};
        suite.fieldsOfTable[u"RYB"_qs][u"zhdate"_qs] = u"日期"_qs;
        suite.tableCaptions = {{u"KQB"_qs, u"考勤表"_qs},
                               {u"JBB"_qs, u"加班表"_qs},
                               {u"RYB"_qs, u"人员表"_qs},
                               {u"KQRB01"_qs, u"日报表"_qs}};
        suite.db = db();
        suite.settingsDir = temporaryPath();
        suite.operatorNameValue = u"Qel"_qs;
        setModule(
            u"MENU=编辑保存|MENU2=考勤统计|CAP2=统计|COLOR1=255|COLOR2=65280|COLOR3=16711680|IF=YES"_qs);
    }
    void TearDown() override
    {
        dialog.reset();
        tree = menus = Recordset();
        suite.db = QSqlDatabase();
        DatabaseTest::TearDown();
    }

    // Settings of the module (keys after the module key) as "SUFFIX=value|SUFFIX=value".
    void setModule(const QString& settings)
    {
        for (const QString& setting : settings.split(u'|'))
            suite.setSetting(u"TALOR"_qs, suite.moduleKeyValue + setting.section(u'=', 0, 0),
                             setting.section(u'=', 1));
    }
    QString setting(const QString& suffix) const
    {
        return suite.setting(u"TALOR"_qs, suite.moduleKeyValue + suffix);
    }
    SetupValues load() { return ModuleSetup(suite, tree, menus).load(); }

    frmYBXZ& open()
    {
        dialog = std::make_unique<frmYBXZ>(suite, ui, tree, menus);
        dialog->show();
        return *dialog;
    }
    template <typename W> W* child(const char* name) { return test::child<W>(*dialog, name); }
    void click(const char* name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }
    // OK, its writes recorded afresh.
    void ok() { suite.settingsWrites.clear(), click("Command1"); }
    void doubleClick(QListWidget* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->scrollToItem(found.first());
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QColor swatch(const char* name) { return child<QLineEdit>(name)->palette().color(QPalette::Base); }

    test::FakeSuite suite;
    test::ScriptedUi ui;
    Recordset tree, menus;
    std::unique_ptr<frmYBXZ> dialog;
};

// The operator clicks a table, moves commands between the lists, picks colours (the last
// dialog cancelled) and changes menus, captions and options; OK writes it all in its order.
TEST_P(SetupTest, OkWritesWhatTheControlsHoldInOrderAndCloses)
{
    frmYBXZ& d = open();
    auto* tables = child<QListWidget>("List5");
    QTest::mouseClick(tables->viewport(), Qt::LeftButton, {},
                      tables->visualItemRect(tables->item(2)).center());
    EXPECT_EQ(suite.current + suite.view, u"KQRB01日报表"_qs);

    // A double-click moves a command to the end of the other list (the restricted ones show in
    // the write below).
    doubleClick(child<QListWidget>("List3"), u"编辑"_qs);
    doubleClick(child<QListWidget>("List4"), u"调时"_qs);
    EXPECT_EQ(texts(child<QListWidget>("List4")),
              QStringList({u"选定"_qs, u"预览"_qs, u"打印"_qs, u"输出"_qs, u"编辑"_qs}));

    ui.colours = {0x00A0B0C0u, std::nullopt};
    click("Command2");
    click("Command4");
    // Each dialog opens on its swatch; the cancelled one leaves its swatch as it was.
    EXPECT_EQ(
        std::tuple(ui.colours.empty(), ui.coloursOffered, swatch("Text16"), swatch("Text18")),
        std::tuple(true, std::vector<quint32>{255, 16711680}, QColor(0xC0, 0xB0, 0xA0), QColor(0, 0, 255)));

    child<QComboBox>("Combo1")->setCurrentIndex(2);
    child<QLineEdit>("Text4")->setText(u"工资"_qs);
    child<QComboBox>("Combo7")->setEditText(u"外部程序"_qs);
    click("Check1");
    click("Check2");
    suite.refresh = 2;
    ok();

    EXPECT_EQ(suite.settingsWrites.join(u'|').remove(u"TALOR/考勤日报"_qs),
              u"TABLE=KQRB01|CTABLE=日报表|MENU=保存调时|CAP1=工资|MENU1=工资核算|CAP2=统计|MENU2=考勤统计|"
              "CAP3=|MENU3=|CAP4=|MENU4=|CAP5=|MENU5=|CAP6=|MENU6=|CAP7=|MENU7=外部程序|"
              "COLOR1=10531008|COLOR2=65280|COLOR3=16711680|IF=NO| 0=YES"_qs); // 10531008 is 0x00A0B0C0
    EXPECT_EQ(std::tuple(suite.refresh, d.result(), d.isVisible()),
              std::tuple(0, int(QDialog::Accepted), false));
}

// Another operator saves the set-up while this dialog is open: a value this operator left as
// it was loaded keeps the other's change, a value this operator changed is written.
TEST_P(SetupTest, OkKeepsAnotherOperatorsChangeOfAValueLeftAsLoaded)
{
    open();
    child<QLineEdit>("Text4")->setText(u"工资"_qs);
    setModule(u"CAP2=核算|CAP1=别的"_qs);
    click("Command1");
    EXPECT_EQ(setting(u"CAP2"_qs) + "|" + setting(u"CAP1"_qs), u"核算|工资"_qs);
}

// By the keyboard: a table chosen with the arrows, the first too, becomes the session's on OK,
// as a clicked one does; Enter or Space on a selected command moves it to the other list and
// does not press OK. A table clicked and then left by closing the dialog is given back to the
// session.
TEST_P(SetupTest, TheKeyboardChoosesTheTableAndMovesCommandsAndCloseGivesTheTableBack)
{
    // Two tables of one caption: the item's code decides.
    exec(u"update zdb1 set proname='加班表' where proval='KQRB01'"_qs);
    suite.tableCaptions[u"KQRB01"_qs] = u"加班表"_qs;
    frmYBXZ& first = open();
    const std::pair before(suite.current, suite.view);
    auto* tables = child<QListWidget>("List5");
    QTest::mouseClick(tables->viewport(), Qt::LeftButton, {},
                      tables->visualItemRect(tables->item(2)).center());
    ASSERT_EQ(suite.current, u"KQRB01"_qs);
    first.close();
    EXPECT_EQ(std::pair(suite.current, suite.view), before);

    setModule(u"TABLE=JBB|CTABLE=加班表"_qs);
    frmYBXZ& d = open();
    tables = child<QListWidget>("List5");
    tables->setFocus();
    QTest::keyClick(tables, Qt::Key_Up);
    auto* restricted = child<QListWidget>("List3");
    auto* offered = child<QListWidget>("List4");
    offered->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(offered, Qt::Key_Space); // a command not selected stays where it is
    restricted->setCurrentRow(0);
    suite.settingsWrites.clear();
    QTest::keyClick(restricted, Qt::Key_Return);
    offered->setCurrentRow(0);
    QTest::keyClick(offered, Qt::Key_Enter);
    restricted->setCurrentRow(0);
    QTest::keyClick(restricted, Qt::Key_Space);
    EXPECT_EQ(
        std::tuple(texts(restricted), texts(offered).last(), d.isVisible(), suite.settingsWrites.size()),
        std::tuple(QStringList{u"调时"_qs}, u"保存"_qs, true, qsizetype(0)));
    click("Command1");
    EXPECT_EQ(std::pair(setting(u"TABLE"_qs), suite.current), std::pair(u"KQB"_qs, u"KQB"_qs));
}

// A settings write that fails (a full disk, say) is shown and the dialog stays open; closed with
// the window box, it changes nothing.
TEST_P(SetupTest, OkWhoseWriteFailsShowsItAndStaysOpenTheWindowBoxChangesNothing)
{
    frmYBXZ& d = open();
    suite.failingWrites = u"Cannot write the settings file talor.ini: the disk is full"_qs;
    click("Command1");
    EXPECT_EQ(std::tuple(ui.messageTexts(), d.isVisible(), d.result()),
              std::tuple(QStringList{suite.failingWrites}, true, int(QDialog::Rejected)));

    // Closing with the window box changes nothing.
    suite.failingWrites.clear();
    suite.refresh = 2;
    const auto before = suite.settings;
    suite.settingsWrites.clear();
    doubleClick(child<QListWidget>("List3"), u"编辑"_qs);
    child<QLineEdit>("Text4")->setText(u"改过"_qs);
    ui.colours = {123u};
    click("Command3");
    d.close();
    EXPECT_EQ(std::tuple(d.result(), suite.refresh, suite.settingsWrites, suite.settings),
              std::tuple(int(QDialog::Rejected), 2, QStringList(), before));
}

TALOR_BOTH_DATABASES(SetupTest);

} // namespace
