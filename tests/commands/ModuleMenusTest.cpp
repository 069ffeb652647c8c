#include "commands/ModuleMenus.h"

#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        const QString path = QDir(data.directory()).filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        test::putFile(path, "#!/bin/sh\n");
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
    EXPECT_EQ(std::tuple(out.kind, out.message, out.title),
              std::tuple(Kind::NotRegistered, QString("菜单:'奖金'尚未登记"), QString("系统提示")));
    const ModuleMenuOutcome empty = ModuleMenus(suite, menuRecords, launcher).clickExternalMenu(4);
    EXPECT_EQ(std::tuple(empty.kind, empty.message, suite.menuName),
              std::tuple(Kind::NotRegistered, QString("菜单:''尚未登记"), QString()));
    EXPECT_TRUE(launcher.components.isEmpty());
}

TEST_F(ModuleMenusTest, ClickHandsThePositionsMenuToTheSuiteAndRunsIt)
{
    data.menu("工资", "pay.ico", "", "salary.dll");
    suite.setSetting("TALOR", "考勤日报MENU2", "工资");
    const ModuleMenuOutcome out = ModuleMenus(suite, menuRecords, launcher).clickExternalMenu(2);
    EXPECT_EQ(suite.menuName + "|" + suite.menuPicture + "|" + out.message, "工资|pay.ico|");
    EXPECT_EQ(out.kind, Kind::ComponentRun);
    EXPECT_EQ(launcher.components, QStringList{"SALARY.clszh"});
}

// A registered menu ends by the rights test, a program in the application directory (which
// beats the component), or the component; a null module file means no module at all. The
// module's name is its file's in upper case without any ".dll" (in any case). Names are looked
// up as literals.
TEST_F(ModuleMenusTest, RegisteredMenuEndsByRightsProgramOrComponent)
{
    const struct
    {
        const char *name, *zxtm;
        QVariant mkwj;
        const char* programFile; // placed in the application directory; "" for none
        bool componentFails;
        Kind kind;
        const char *message, *title, *program, *component;
    } cases[] = {
        // clang-format off
        {"奖金", "x", "bonus.dll", "", false, Kind::NotAuthorised, "张三未被授权使用'奖金'", "系统提示", "", ""},
        {"工资", "", "Salary.Dll", "SALARY.exe", false, Kind::ProgramStarted, "", "", "SALARY.exe", ""},
        {"考勤", "", "rea.dllder.dll", "", true, Kind::ComponentFailed, "READER.dll未注册", "", "", "READER.clszh"},
        {"夜班", "*", QVariant(), "???.exe", false, Kind::ComponentFailed, "???.dll未注册", "", "", ""},
        // A module file that leaves the application directory starts nothing, even where the
        // program exists.
        {"越界", "*", "sub/../../x.dll", "", false, Kind::ComponentFailed, "SUB/../../X.dll未注册", "", "", ""},
        {"子目录", "*", "sub/x.dll", "SUB/X.exe", false, Kind::ComponentFailed, "SUB/X.dll未注册", "", "", ""},
        {"反斜杠", "*", "..\\x.dll", "", false, Kind::ComponentFailed, "..\\X.dll未注册", "", "", ""},
        {"上级", "*", "...dll", "", false, Kind::ComponentFailed, "...dll未注册", "", "", ""},
        {"O'Brien", "*", "ob", "", false, Kind::ComponentRun, "", "", "", "OB.clszh"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        data.menu(c.name, QVariant(), c.zxtm, c.mkwj);
        if (*c.programFile)
            program(c.programFile);
        launcher = RecordingLauncher();
        launcher.componentFails = c.componentFails;
        suite.menuPicture = "old";
        const ModuleMenuOutcome out = run(c.name);
        EXPECT_EQ(std::tuple(out.kind, out.message, out.title),
                  std::tuple(c.kind, QString::fromUtf8(c.message), QString::fromUtf8(c.title)));
        EXPECT_EQ(suite.menuPicture, "") << "a null picture is handed over as the empty text";
        EXPECT_EQ(launcher.programs.join(""), *c.program ? QDir(data.directory()).filePath(c.program) : "");
        EXPECT_EQ(launcher.components.join(""), c.component);
    }
    // A name that would find another menu if pasted into the query unquoted.
    EXPECT_EQ(run("' or cdmc='越界").kind, Kind::NotRegistered);
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

} // namespace
