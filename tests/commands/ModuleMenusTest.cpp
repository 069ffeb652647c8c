#include "commands/ModuleMenus.h"

#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace talor;
using Kind = ModuleMenuOutcome::Kind;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;
using talor::test::RecordingLauncher;

namespace {

class ModuleMenusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.appDir = data.directory();
        suite.settingsDir = data.directory();
        suite.allowed = ",工资,考勤,";
    }

    void program(const QString& name)
    {
        QFile file(QDir(data.directory()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }

    ModuleMenuOutcome run(const QString& name)
    {
        suite.menuName = name;
        return ModuleMenus(suite, menuRecords, launcher).runModuleMenu();
    }

    ModuleDatabase data;
    FakeSuite suite;
    Recordset menuRecords;
    RecordingLauncher launcher;
};

TEST_F(ModuleMenusTest, UnregisteredMenuNamesItselfAnEmptyPositionWithEmptyQuotes)
{
    const ModuleMenuOutcome out = run("奖金");
    EXPECT_EQ(out.kind, Kind::NotRegistered);
    EXPECT_EQ(out.message, "菜单:'奖金'尚未登记");
    EXPECT_EQ(out.title, "系统提示");
    const ModuleMenuOutcome empty = ModuleMenus(suite, menuRecords, launcher).clickExternalMenu(4);
    EXPECT_EQ(empty.kind, Kind::NotRegistered);
    EXPECT_EQ(empty.message, "菜单:''尚未登记");
    EXPECT_EQ(suite.menuName, "");
    EXPECT_TRUE(launcher.components.isEmpty());
}

TEST_F(ModuleMenusTest, ClickHandsThePositionsMenuToTheSuiteAndRunsIt)
{
    data.menu("工资", "pay.ico", "", "salary.dll");
    suite.setSetting("TALOR", "考勤日报MENU2", "工资");
    const ModuleMenuOutcome out = ModuleMenus(suite, menuRecords, launcher).clickExternalMenu(2);
    EXPECT_EQ(suite.menuName, "工资");
    EXPECT_EQ(suite.menuPicture, "pay.ico");
    EXPECT_EQ(out.kind, Kind::ComponentRun);
    EXPECT_TRUE(out.message.isEmpty());
    EXPECT_EQ(launcher.components, QStringList{"SALARY.clszh"});
}

TEST_F(ModuleMenusTest, OperatorWithoutRightsIsRefused)
{
    data.menu("奖金", QVariant(), "x", "bonus.dll");
    suite.menuPicture = "old";
    const ModuleMenuOutcome out = run("奖金");
    EXPECT_EQ(out.kind, Kind::NotAuthorised);
    EXPECT_EQ(out.message, "张三未被授权使用'奖金'");
    EXPECT_EQ(out.title, "系统提示");
    // A null picture is handed over as the empty text.
    EXPECT_EQ(suite.menuPicture, "");
    EXPECT_TRUE(launcher.components.isEmpty());
    EXPECT_TRUE(launcher.programs.isEmpty());
}

TEST_F(ModuleMenusTest, ProgramInTheApplicationDirectoryBeatsTheComponent)
{
    data.menu("工资", QVariant(), "", "salary.dll");
    program("SALARY.exe");
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, Kind::ProgramStarted);
    EXPECT_EQ(launcher.programs, QStringList{QDir(data.directory()).filePath("SALARY.exe")});
    EXPECT_TRUE(launcher.components.isEmpty());
}

TEST_F(ModuleMenusTest, ComponentThatFailsIsReportedAsNotRegistered)
{
    data.menu("工资", QVariant(), "", "salary.dll");
    launcher.componentFails = true;
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, Kind::ComponentFailed);
    EXPECT_EQ(out.message, "SALARY.dll未注册");
    EXPECT_EQ(out.title, "");
}

TEST_F(ModuleMenusTest, NullModuleFileMeansNoModule)
{
    data.menu("工资", QVariant(), "*", QVariant());
    program("???.exe");
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, Kind::ComponentFailed);
    EXPECT_EQ(out.message, "???.dll未注册");
    EXPECT_TRUE(launcher.programs.isEmpty());
    EXPECT_TRUE(launcher.components.isEmpty());
}

TEST_F(ModuleMenusTest, MenuNameWithQuoteIsLookedUpSafely)
{
    data.menu("O'Brien", QVariant(), "*", "ob.dll");
    data.menu("x", QVariant(), "*", "x.dll");
    EXPECT_EQ(run("O'Brien").kind, Kind::ComponentRun);
    EXPECT_EQ(launcher.components, QStringList{"OB.clszh"});
    EXPECT_EQ(run("' or cdmc='x").kind, Kind::NotRegistered);
}

TEST(ModuleMenusRightsTest, CommaListOrStarAttribute)
{
    const struct
    {
        const char *allowed, *name, *zxtm;
        bool mayUse;
    } cases[] = {{",A,B,", "A", "", true},    {",A,B,", "B", "", true}, {",A,B,", "AB", "", false},
                 {",A,B,", "a", "", false},   {"A,B", "A", "", false},  {"", "X", "*x", true},
                 {"", "X", "x*", true},       {"", "X", "x*x", false},  {"", "X", "", false},
                 {",工资,", "工资", "", true}};
    for (const auto& c : cases)
        EXPECT_EQ(ModuleMenus::operatorMayUse(QString::fromUtf8(c.allowed), QString::fromUtf8(c.name),
                                              QString::fromUtf8(c.zxtm)),
                  c.mayUse)
            << c.allowed << " " << c.name << " " << c.zxtm;
}

TEST(ModuleNameTest, UpperCaseWithoutDll)
{
    EXPECT_EQ(ModuleMenus::moduleName(QString("salary.dll")), "SALARY");
    EXPECT_EQ(ModuleMenus::moduleName(QString("Pay.Dll")), "PAY");
    EXPECT_EQ(ModuleMenus::moduleName(QString("a.dllb.dll")), "AB");
    EXPECT_EQ(ModuleMenus::moduleName(QString("veld")), "VELD");
    EXPECT_EQ(ModuleMenus::moduleName(QVariant()), "???");
}

} // namespace
