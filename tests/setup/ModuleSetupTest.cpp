#include "setup/ModuleSetup.h"

#include "db/Recordset.h"
#include "setup/SetupData.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

#include <QTemporaryDir>

using namespace talor;
namespace data = talor::test::setupdata;

namespace {

// The set-up logic on both databases: what the load reads and what OK writes.
class ModuleSetupTest : public talor::test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        resetTables({u"zdb1"_qs, u"sys02"_qs});
        data::fillCatalogue(db());
        suite.db = db();
        suite.settingsDir = temporaryPath();
        data::fillDictionary(suite);
    }

    SetupValues load()
    {
        ModuleSetup setup(suite, tree, menus);
        return setup.load();
    }

    QString key(const QString& suffix) const { return suite.moduleKeyValue + suffix; }
    void set(const QString& suffix, const QString& value)
    {
        suite.setSetting(u"TALOR"_qs, key(suffix), value);
    }

    talor::test::FakeSuite suite;
    Recordset tree, menus;
};

TEST_P(ModuleSetupTest, ListsOnlyTablesWithDayAndEmployeeFieldsPaddedToSixCharacters)
{
    const SetupValues values = load();
    EXPECT_EQ(values.tables, data::listedTables);
    EXPECT_EQ(tree.source(), u"select * from zdb1 where parid=1"_qs);
}

TEST_P(ModuleSetupTest, MenuNamesComeFromSys02InCdxhOrder)
{
    tree.open(u"select * from zdb1"_qs, db());
    menus.open(u"select * from zdb1"_qs, db());
    const SetupValues values = load();
    EXPECT_EQ(values.menuNames, data::menuNames);
    EXPECT_EQ(menus.source(), u"select * from SYS02 order by cdxh"_qs);
}

TEST_P(ModuleSetupTest, WithoutATableSettingTheFirstTableIsProposed)
{
    const SetupValues values = load();
    EXPECT_EQ(values.tableIndex, 0);
    EXPECT_EQ(suite.current, u"KQB"_qs);
}

TEST_P(ModuleSetupTest, TheConfiguredTableIsSelectedByCodeAndCaption)
{
    set(u"TABLE"_qs, u"KQRB01"_qs);
    set(u"CTABLE"_qs, u"日报表"_qs);
    const SetupValues values = load();
    EXPECT_EQ(values.tableIndex, 2);
    EXPECT_EQ(suite.current, u"KQRB01"_qs);
}

TEST_P(ModuleSetupTest, AConfiguredTableThatIsNotListedLeavesNothingSelected)
{
    set(u"TABLE"_qs, u"KQB"_qs);
    set(u"CTABLE"_qs, u"旧名称"_qs);
    const SetupValues values = load();
    EXPECT_EQ(values.tableIndex, -1);
    EXPECT_EQ(suite.current, u"KQB"_qs);
}

TEST_P(ModuleSetupTest, WithoutTheDatabaseEntryTheListIsEmptyAndOkWritesNoTable)
{
    exec(u"delete from zdb1 where proval='DATABASE'"_qs);
    ModuleSetup setup(suite, tree, menus);
    SetupValues values = setup.load();
    EXPECT_TRUE(values.tables.isEmpty());
    EXPECT_EQ(values.tableIndex, -1);
    EXPECT_TRUE(suite.current.isEmpty());

    setup.save(values);
    EXPECT_FALSE(suite.settingsWrites.join(u"|"_qs).contains(u"TABLE="_qs));
    EXPECT_EQ(suite.settingsWrites.first(), u"TALOR/"_qs + key(u"MENU="_qs));
}

TEST_P(ModuleSetupTest, OnlyTheOperatorQelMayChangeTheTable)
{
    const std::pair<QString, bool> cases[] = {
        {u"Qel"_qs, true}, {u"qel"_qs, false}, {u"Qel "_qs, false}, {u"张三"_qs, false}};
    for (const auto& [name, enabled] : cases) {
        suite.operatorNameValue = name;
        EXPECT_EQ(load().tablesEnabled, enabled) << name.toStdString();
    }
}

TEST_P(ModuleSetupTest, RestrictedCommandsFollowTheMenuSettingInPoolOrder)
{
    set(u"MENU"_qs, u"输出编辑调时"_qs);
    const SetupValues values = load();
    EXPECT_EQ(values.restricted, QStringList({u"调时"_qs, u"编辑"_qs, u"输出"_qs}));
    EXPECT_EQ(values.offered, QStringList({u"选定"_qs, u"保存"_qs, u"预览"_qs, u"打印"_qs}));
}

TEST_P(ModuleSetupTest, ReadsCaptionsMenusColoursAndOptions)
{
    set(u"CAP1"_qs, u"档案"_qs);
    set(u"MENU1"_qs, u"人事档案"_qs);
    set(u"CAP7"_qs, u"工资"_qs);
    set(u"MENU7"_qs, u"不在菜单表中"_qs);
    set(u"COLOR1"_qs, u"255"_qs);
    set(u"COLOR2"_qs, u"abc"_qs);
    set(u"COLOR3"_qs, u"-5"_qs);
    set(u"IF"_qs, u"yes"_qs);
    set(u" 0"_qs, u"YES"_qs);
    const SetupValues values = load();
    EXPECT_EQ(values.captions[0], u"档案"_qs);
    EXPECT_EQ(values.menus[0], u"人事档案"_qs);
    EXPECT_EQ(values.captions[6], u"工资"_qs);
    EXPECT_EQ(values.menus[6], u"不在菜单表中"_qs);
    EXPECT_TRUE(values.captions[3].isEmpty());
    EXPECT_EQ(values.colours, (std::array<quint32, 3>{255, 0, 0}));
    EXPECT_FALSE(values.hideAtStart) << "the flag compares exactly";
    EXPECT_TRUE(values.blankZero);
}

TEST_P(ModuleSetupTest, OkWritesEverySettingInOrderThenAsksForARebuild)
{
    ModuleSetup setup(suite, tree, menus);
    SetupValues values = setup.load();
    values.tableIndex = 1;
    values.restricted = {u"保存"_qs, u"编辑"_qs};
    values.captions[1] = u"统计"_qs;
    values.menus[1] = u"考勤统计"_qs;
    values.colours = {11177215, 0, 65280};
    values.hideAtStart = true;
    values.blankZero = false;
    suite.refresh = 2;
    setup.save(values);

    QStringList expected{u"TALOR/考勤日报TABLE=JBB"_qs, u"TALOR/考勤日报CTABLE=加班表"_qs,
                         u"TALOR/考勤日报MENU=保存编辑"_qs};
    for (int n = 1; n <= 7; ++n) {
        expected << u"TALOR/考勤日报CAP"_qs + QString::number(n) + (n == 2 ? u"=统计"_qs : u"="_qs);
        expected << u"TALOR/考勤日报MENU"_qs + QString::number(n) + (n == 2 ? u"=考勤统计"_qs : u"="_qs);
    }
    expected << u"TALOR/考勤日报COLOR1=11177215"_qs << u"TALOR/考勤日报COLOR2=0"_qs
             << u"TALOR/考勤日报COLOR3=65280"_qs << u"TALOR/考勤日报IF=YES"_qs << u"TALOR/考勤日报 0=NO"_qs;
    EXPECT_EQ(suite.settingsWrites, expected);
    EXPECT_EQ(suite.refresh, 0);
    EXPECT_EQ(suite.setting(u"TALOR"_qs, key(u"TABLE"_qs)), u"JBB"_qs);
}

TEST_P(ModuleSetupTest, OkWithoutSelectionKeepsTheTableAndWritesTheRest)
{
    set(u"TABLE"_qs, u"OLD"_qs);
    set(u"CTABLE"_qs, u"旧表"_qs);
    ModuleSetup setup(suite, tree, menus);
    SetupValues values = setup.load();
    ASSERT_EQ(values.tableIndex, -1);
    values.blankZero = true;
    setup.save(values);
    EXPECT_EQ(suite.settingsWrites.size(), 1 + 14 + 3 + 2);
    EXPECT_EQ(suite.setting(u"TALOR"_qs, key(u"TABLE"_qs)), u"OLD"_qs);
    EXPECT_EQ(suite.setting(u"TALOR"_qs, key(u"CTABLE"_qs)), u"旧表"_qs);
    EXPECT_EQ(suite.setting(u"TALOR"_qs, key(u" 0"_qs)), u"YES"_qs);
}

TEST_P(ModuleSetupTest, ChoosingATableMakesItCurrentAndShowsItsCaption)
{
    ModuleSetup setup(suite, tree, menus);
    EXPECT_EQ(setup.chooseTable(u"JBB   加班表"_qs), u"JBB"_qs);
    EXPECT_EQ(suite.current, u"JBB"_qs);
    EXPECT_EQ(suite.view, u"加班表"_qs);
}

TALOR_BOTH_DATABASES(ModuleSetupTest);

TEST(ModuleSetupItems, CodeAndCaptionOfAnItem)
{
    EXPECT_EQ(ModuleSetup::tableCode(u"KQB   考勤表"_qs), u"KQB"_qs);
    EXPECT_EQ(ModuleSetup::tableCaption(u"KQB   考勤表"_qs), u"考勤表"_qs);
    EXPECT_EQ(ModuleSetup::tableCode(u"KQRB01日报表"_qs), u"KQRB01"_qs);
    EXPECT_EQ(ModuleSetup::tableCaption(u"KQRB01日报表"_qs), u"日报表"_qs);
    EXPECT_EQ(ModuleSetup::commandPool().join(QString()), u"调时选定编辑保存预览打印输出"_qs);
}

} // namespace
