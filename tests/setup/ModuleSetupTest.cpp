#include "setup/ModuleSetup.h"

#include "db/Recordset.h"
#include "setup/SetupData.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

using namespace talor;
namespace data = talor::test::setupdata;

namespace {

// The set-up's load on both databases; what OK writes is checked through the dialog.
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
    void set(const QString& suffix, const QString& value)
    {
        suite.setSetting(u"TALOR"_qs, suite.moduleKeyValue + suffix, value);
    }

    talor::test::FakeSuite suite;
    Recordset tree, menus;
};

TEST_P(ModuleSetupTest, LoadReadsTheCatalogueTheMenuTableAndTheSettings)
{
    // The main window's recordsets are open on something else: the load reopens them.
    tree.open(u"select * from zdb1"_qs, db());
    menus.open(u"select * from zdb1"_qs, db());
    data::setModule(suite, u"MENU=输出编辑调时|CAP1=档案|MENU1=人事档案|CAP7=工资|MENU7=不在菜单表中|"
                           "COLOR1=255|COLOR2=abc|COLOR3=-5|IF=yes| 0=YES"_qs);
    const SetupValues values = load();

    // Only tables with a day and an employee field, each code padded to six characters.
    EXPECT_EQ(values.tables, data::listedTables);
    EXPECT_EQ(values.menuNames, data::menuNames);
    EXPECT_EQ(QStringList({tree.source(), menus.source()}),
              QStringList({u"select * from zdb1 where parid=1"_qs, u"select * from SYS02 order by cdxh"_qs}));
    EXPECT_EQ(values.restricted, QStringList({u"调时"_qs, u"编辑"_qs, u"输出"_qs})) << "in the pool's order";
    EXPECT_EQ(values.offered, QStringList({u"选定"_qs, u"保存"_qs, u"预览"_qs, u"打印"_qs}));
    EXPECT_EQ(QStringList({values.captions[0], values.menus[0], values.captions[6], values.menus[6],
                           values.captions[3]}),
              QStringList({u"档案"_qs, u"人事档案"_qs, u"工资"_qs, u"不在菜单表中"_qs, {}}));
    EXPECT_EQ(values.colours, (std::array<quint32, 3>{255, 0, 0}));
    EXPECT_EQ(std::pair(values.hideAtStart, values.blankZero), std::pair(false, true))
        << "IF compares exactly";
}

TEST_P(ModuleSetupTest, TheConfiguredTableIsSelectedByCodeAndCaptionOrTheFirstIsProposed)
{
    struct Case
    {
        QString table, caption;
        int index;
        QString current;
    };
    const Case cases[] = {{{}, {}, 0, u"KQB"_qs},
                          {u"KQRB01"_qs, u"日报表"_qs, 2, u"KQRB01"_qs},
                          {u"KQB"_qs, u"旧名称"_qs, -1, u"KQB"_qs}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.toStdString());
        set(u"TABLE"_qs, c.table);
        set(u"CTABLE"_qs, c.caption);
        const int index = load().tableIndex;
        EXPECT_EQ(std::pair(index, suite.current), std::pair(c.index, c.current));
    }
}

TEST_P(ModuleSetupTest, WithoutTheDatabaseEntryTheListIsEmptyAndOkWritesNoTable)
{
    exec(u"delete from zdb1 where proval='DATABASE'"_qs);
    ModuleSetup setup(suite, tree, menus);
    SetupValues values = setup.load();
    EXPECT_TRUE(values.tables.isEmpty() && suite.current.isEmpty());
    EXPECT_EQ(values.tableIndex, -1);

    setup.save(values);
    EXPECT_FALSE(suite.settingsWrites.join(u"|"_qs).contains(u"TABLE="_qs));
    EXPECT_EQ(suite.settingsWrites.first(), u"TALOR/考勤日报MENU="_qs);
}

// Only the operator "Qel", exactly, may change the table. Colour settings are 0x00BBGGRR
// numbers: white is the last colour; beyond it, negative or not a number reads as black.
TEST_P(ModuleSetupTest, TheTableOperatorAndColourSettingsAtTheirEdges)
{
    for (const auto& [name, enabled] :
         {std::pair{u"Qel"_qs, true}, {u"qel"_qs, false}, {u"Qel "_qs, false}, {u"张三"_qs, false}}) {
        suite.operatorNameValue = name;
        EXPECT_EQ(load().tablesEnabled, enabled) << name.toStdString();
    }
    for (const auto& [text, colour] :
         {std::pair{"16777215", 0xFFFFFFu}, {"16777216", 0u}, {"0", 0u}, {"1", 1u}, {"-1", 0u}, {"红", 0u}}) {
        set(u"COLOR2"_qs, QString::fromUtf8(text));
        EXPECT_EQ(load().colours[1], colour) << text;
    }
}

TALOR_BOTH_DATABASES(ModuleSetupTest);

} // namespace
