#include "commands/ModuleMenus.h"
#include "db/Recordset.h"
#include "entry/ComponentLauncher.h"
#include "entry/ModuleDatabase.h"
#include "entry/ModuleRegistry.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;
using talor::test::ScriptedUi;

namespace {

QString dllDirectory()
{
    return QDir(qEnvironmentVariable("TALOR_BUILD_DIR")).filePath("dll");
}

TEST(ModuleRegistryTest, CreatesAnotherModuleThatShowsItsWindowModally)
{
    ASSERT_FALSE(qEnvironmentVariable("TALOR_BUILD_DIR").isEmpty());
    FakeSuite suite;
    ScriptedUi ui;
    bool shown = false;
    ui.dialogs.push_back([&shown](QDialog& dialog) {
        shown = dialog.windowTitle() == "testmod";
        return int(QDialog::Accepted);
    });
    std::unique_ptr<SuiteComponent> component =
        ModuleRegistry(dllDirectory()).create("testmod.clszh", suite, ui);
    ASSERT_TRUE(component);
    EXPECT_EQ(suite.status, 0);
    EXPECT_EQ(component->zh(), "");
    EXPECT_TRUE(shown);
    EXPECT_EQ(ui.dialogsShown, QStringList{"testmodDialog"});
    EXPECT_EQ(suite.status, 1);
}

TEST(ModuleRegistryTest, UpperCaseModuleNamesFindLowerCaseFiles)
{
    FakeSuite suite;
    ScriptedUi ui;
    const ModuleRegistry registry(dllDirectory());
    EXPECT_EQ(registry.candidateFiles("TESTMOD.clszh"),
              (QStringList{dllDirectory() + "/TESTMOD.so", dllDirectory() + "/libTESTMOD.so",
                           dllDirectory() + "/testmod.so", dllDirectory() + "/libtestmod.so"}));
    auto component = registry.create("TESTMOD.clszh", suite, ui);
    component->zh();
    EXPECT_EQ(ui.dialogsShown.size(), 1);
}

TEST(ModuleRegistryTest, TheModuleLibraryItselfIsRegistered)
{
    FakeSuite suite;
    ScriptedUi ui;
    EXPECT_NO_THROW(ModuleRegistry(dllDirectory()).create("talor.clszh", suite, ui));
}

TEST(ModuleRegistryTest, MissingModuleFailsNamingTheFilesTried)
{
    FakeSuite suite;
    ScriptedUi ui;
    try {
        ModuleRegistry(dllDirectory()).create("nomod.clszh", suite, ui);
        FAIL() << "created a missing component";
    } catch (const ModuleError& error) {
        EXPECT_TRUE(error.message().contains("nomod.clszh"));
        EXPECT_TRUE(error.message().contains(dllDirectory() + "/nomod.so"));
    }
}

TEST(ModuleRegistryTest, MalformedNamesAndBrokenLibrariesFail)
{
    FakeSuite suite;
    ScriptedUi ui;
    QTemporaryDir dir;
    QFile broken(dir.filePath("broken.so"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a shared library");
    broken.close();
    const ModuleRegistry registry(dir.path());
    for (const char* name : {"testmod", ".clszh", "../testmod.clszh", "a/b.clszh", ""})
        EXPECT_THROW(registry.create(name, suite, ui), ModuleError) << name;
    try {
        registry.create("broken.clszh", suite, ui);
        FAIL() << "loaded a broken library";
    } catch (const ModuleError& error) {
        EXPECT_TRUE(error.message().startsWith("cannot load")) << error.message().toStdString();
    }
}

// The module menus with the real launcher: programs detached, components through the registry.
class LaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.appDir = data.directory();
        suite.settingsDir = data.directory();
        suite.allowed = ",工资,";
        QDir(data.directory()).mkpath("dll");
        ASSERT_TRUE(QFile::copy(QDir(dllDirectory()).filePath("testmod.so"),
                                QDir(data.directory()).filePath("dll/testmod.so")));
    }

    ModuleMenuOutcome run(const QString& name)
    {
        suite.menuName = name;
        ComponentLauncher launcher(suite, ui, ModuleRegistry(ModuleRegistry::dllDirectoryOf(suite.appDir)));
        return ModuleMenus(suite, menuRecords, launcher).runModuleMenu();
    }

    ModuleDatabase data;
    FakeSuite suite;
    ScriptedUi ui;
    Recordset menuRecords;
};

TEST_F(LaunchTest, AllowedComponentRunsModallyAndReturns)
{
    data.menu("工资", QVariant(), "", "testmod.dll");
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, ModuleMenuOutcome::Kind::ComponentRun);
    EXPECT_EQ(ui.dialogsShown, QStringList{"testmodDialog"});
    EXPECT_EQ(suite.status, 1);
}

TEST_F(LaunchTest, RefusedComponentDoesNotRun)
{
    data.menu("考勤机", QVariant(), "x", "testmod.dll");
    const ModuleMenuOutcome out = run("考勤机");
    EXPECT_EQ(out.kind, ModuleMenuOutcome::Kind::NotAuthorised);
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
}

TEST_F(LaunchTest, UnknownComponentIsNotRegistered)
{
    data.menu("工资", QVariant(), "", "salary.dll");
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, ModuleMenuOutcome::Kind::ComponentFailed);
    EXPECT_EQ(out.message, "SALARY.dll未注册");
}

TEST_F(LaunchTest, ProgramStartsDetachedAndIsNotWaitedFor)
{
    data.menu("工资", QVariant(), "*", "mark.dll");
    const QString marker = QDir(data.directory()).filePath("ran.txt");
    const QString program = QDir(data.directory()).filePath("MARK.exe");
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString("#!/bin/sh\nsleep 0.3\necho \"$PWD\" > '%1'\n").arg(marker).toUtf8());
    file.close();
    file.setPermissions(file.permissions() | QFile::ExeOwner);

    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, ModuleMenuOutcome::Kind::ProgramStarted);
    // The call came back before the program wrote its marker.
    EXPECT_FALSE(QFile::exists(marker));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(marker) && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(marker));
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
}

TEST_F(LaunchTest, ProgramThatCannotStartIsReported)
{
    data.menu("工资", QVariant(), "*", "noexec.dll");
    QFile file(QDir(data.directory()).filePath("NOEXEC.exe"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    const ModuleMenuOutcome out = run("工资");
    EXPECT_EQ(out.kind, ModuleMenuOutcome::Kind::ProgramFailed);
    EXPECT_FALSE(out.message.isEmpty());
}

} // namespace
