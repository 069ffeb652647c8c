#include "setup/frmYBXZ.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "setup/SetupData.h"
#include "support/FakeSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace talor;
namespace data = talor::test::setupdata;

namespace {

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// The dialog on a SQLite catalogue, driven by its controls' names.
class SetupDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        suite.db = Connections::openSqlite(u"setup_dialog"_qs, m_dir.filePath(u"suite.db"_qs));
        data::fillCatalogue(suite.db);
        data::fillDictionary(suite);
        suite.settingsDir = m_dir.path();
        suite.operatorNameValue = u"Qel"_qs;
        data::setModule(suite, u"MENU=编辑保存|MENU2=考勤统计|CAP2=统计|COLOR1=255|COLOR2=65280|"
                               "COLOR3=16711680|IF=YES"_qs);
    }
    void TearDown() override
    {
        dialog.reset();
        tree = Recordset();
        menus = Recordset();
        suite.db = QSqlDatabase();
        Connections::remove(u"setup_dialog"_qs);
    }

    void set(const QString& suffix, const QString& value)
    {
        suite.setSetting(u"TALOR"_qs, suite.moduleKeyValue + suffix, value);
    }
    QString setting(const QString& suffix) const
    {
        return suite.setting(u"TALOR"_qs, suite.moduleKeyValue + suffix);
    }

    frmYBXZ& open()
    {
        dialog = std::make_unique<frmYBXZ>(suite, ui, tree, menus);
        dialog->show();
        return *dialog;
    }
    template <typename W> W* child(const char* name) { return talor::test::child<W>(*dialog, name); }
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

    QTemporaryDir m_dir;
    talor::test::FakeSuite suite;
    talor::test::ScriptedUi ui;
    Recordset tree, menus;
    std::unique_ptr<frmYBXZ> dialog;
};

TEST_F(SetupDialogTest, LoadFillsEveryControl)
{
    frmYBXZ& d = open();
    EXPECT_FALSE(d.testAttribute(Qt::WA_SetFont)) << "the dialog takes the desktop's font";
    auto* tables = child<QListWidget>("List5");
    EXPECT_EQ(texts(tables), data::listedTables);
    EXPECT_EQ(std::pair(tables->currentRow(), tables->isEnabled()), std::pair(0, true));
    EXPECT_EQ(texts(child<QListWidget>("List3")), QStringList({u"编辑"_qs, u"保存"_qs}));
    EXPECT_EQ(texts(child<QListWidget>("List4")),
              QStringList({u"调时"_qs, u"选定"_qs, u"预览"_qs, u"打印"_qs, u"输出"_qs}));
    for (int n = 1; n <= 7; ++n) {
        auto* combo = child<QComboBox>(qPrintable(u"Combo"_qs + QString::number(n)));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, data::menuNames);
        EXPECT_EQ(combo->currentText(), n == 2 ? u"考勤统计"_qs : QString());
        EXPECT_EQ(child<QLineEdit>(qPrintable(u"Text"_qs + QString::number(3 + n)))->text(),
                  n == 2 ? u"统计"_qs : QString());
    }
    EXPECT_EQ(QList<QColor>({swatch("Text16"), swatch("Text17"), swatch("Text18")}),
              QList<QColor>({QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)}));
    EXPECT_EQ(std::pair(child<QCheckBox>("Check1")->isChecked(), child<QCheckBox>("Check2")->isChecked()),
              std::pair(true, false));
}

TEST_F(SetupDialogTest, AnotherOperatorSeesTheTableListDisabledButOkStillWritesIt)
{
    suite.operatorNameValue = u"张三"_qs;
    set(u"TABLE"_qs, u"JBB"_qs);
    set(u"CTABLE"_qs, u"加班表"_qs);
    open();
    auto* tables = child<QListWidget>("List5");
    EXPECT_EQ(std::pair(tables->currentRow(), tables->isEnabled()), std::pair(1, false));
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(setting(u"TABLE"_qs) + setting(u"CTABLE"_qs), u"JBB加班表"_qs);
}

// The operator clicks a table, moves commands between the lists, picks colours (the last
// dialog cancelled) and changes menus, captions and options; OK writes it all in its order.
TEST_F(SetupDialogTest, OkWritesWhatTheControlsHoldInOrderAndCloses)
{
    frmYBXZ& d = open();
    auto* tables = child<QListWidget>("List5");
    QTest::mouseClick(tables->viewport(), Qt::LeftButton, {},
                      tables->visualItemRect(tables->item(2)).center());
    EXPECT_EQ(suite.current + suite.view, u"KQRB01日报表"_qs);

    auto* restricted = child<QListWidget>("List3");
    auto* offered = child<QListWidget>("List4");
    doubleClick(restricted, u"编辑"_qs);
    EXPECT_EQ(texts(restricted), QStringList({u"保存"_qs}));
    EXPECT_EQ(texts(offered).last(), u"编辑"_qs);
    doubleClick(offered, u"调时"_qs);
    EXPECT_EQ(texts(restricted), QStringList({u"保存"_qs, u"调时"_qs}));
    EXPECT_FALSE(texts(offered).contains(u"调时"_qs));

    ui.colours = {0x00A0B0C0u, std::nullopt};
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("Command4"), Qt::LeftButton);
    EXPECT_TRUE(ui.colours.empty());
    EXPECT_EQ(std::pair(swatch("Text16"), swatch("Text18")),
              std::pair(QColor(0xC0, 0xB0, 0xA0), QColor(0, 0, 255)));

    child<QComboBox>("Combo1")->setCurrentIndex(2);
    child<QLineEdit>("Text4")->setText(u"工资"_qs);
    child<QComboBox>("Combo7")->setEditText(u"外部程序"_qs);
    QTest::mouseClick(child<QCheckBox>("Check1"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>("Check2"), Qt::LeftButton);
    suite.refresh = 2;
    suite.settingsWrites.clear();
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);

    const QString m = u"TALOR/考勤日报"_qs;
    QStringList expected{m + u"TABLE=KQRB01"_qs, m + u"CTABLE=日报表"_qs, m + u"MENU=保存调时"_qs};
    const QString captions[7] = {u"工资"_qs, u"统计"_qs};
    const QString menus[7] = {u"工资核算"_qs, u"考勤统计"_qs, {}, {}, {}, {}, u"外部程序"_qs};
    for (int n = 1; n <= 7; ++n) {
        expected << m + u"CAP"_qs + QString::number(n) + u"="_qs + captions[n - 1];
        expected << m + u"MENU"_qs + QString::number(n) + u"="_qs + menus[n - 1];
    }
    expected << m + u"COLOR1="_qs + QString::number(0x00A0B0C0) << m + u"COLOR2=65280"_qs
             << m + u"COLOR3=16711680"_qs << m + u"IF=NO"_qs << m + u" 0=YES"_qs;
    EXPECT_EQ(suite.settingsWrites, expected);
    EXPECT_EQ(std::tuple(suite.refresh, d.result(), d.isVisible()),
              std::tuple(0, int(QDialog::Accepted), false));
}

// A settings write that fails (a full disk, say) is shown and the dialog stays open.
TEST_F(SetupDialogTest, OkWhoseWriteFailsShowsItAndStaysOpen)
{
    frmYBXZ& d = open();
    suite.failingWrites = u"Cannot write the settings file talor.ini: the disk is full"_qs;
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_EQ(ui.messageTexts(), QStringList{suite.failingWrites});
    EXPECT_TRUE(d.isVisible() && d.result() != QDialog::Accepted);
}

TEST_F(SetupDialogTest, ClosingWithTheWindowBoxChangesNothing)
{
    frmYBXZ& d = open();
    suite.refresh = 2;
    const auto before = suite.settings;
    suite.settingsWrites.clear();
    doubleClick(child<QListWidget>("List3"), u"编辑"_qs);
    child<QLineEdit>("Text4")->setText(u"改过"_qs);
    ui.colours = {123u};
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    d.close();
    EXPECT_EQ(std::pair(d.result(), suite.refresh), std::pair(int(QDialog::Rejected), 2));
    EXPECT_TRUE(suite.settingsWrites.isEmpty());
    EXPECT_EQ(suite.settings, before);
}

// The list without a selection: OK keeps the table setting and writes the rest.
TEST_F(SetupDialogTest, OkWithoutATableKeepsTheTableSetting)
{
    set(u"TABLE"_qs, u"KQB"_qs);
    set(u"CTABLE"_qs, u"考勤表"_qs);
    open();
    child<QListWidget>("List5")->clearSelection();
    suite.settingsWrites.clear();
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    ASSERT_FALSE(suite.settingsWrites.isEmpty());
    EXPECT_EQ(suite.settingsWrites.first(), u"TALOR/考勤日报MENU=编辑保存"_qs);
    EXPECT_EQ(setting(u"TABLE"_qs) + setting(u"CTABLE"_qs), u"KQB考勤表"_qs);
}

} // namespace
