#include "db/Recordset.h"
#include "entry/ComponentLauncher.h"
#include "entry/ModuleDatabase.h"
#include "support/ErrorText.h"
#include "support/FakeSuite.h"
#include "support/ScriptedUi.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QThread>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ScriptedUi;

namespace {

QString dllDirectory()
{
    return QDir(qEnvironmentVariable("TALOR_BUILD_DIR")).filePath("dll");
}

// The module loads from the product's dll folder; missing, malformed or broken ones fail. The
// test component lives where only the tests find it: a menu row naming it in the product finds
// nothing.
TEST(ModuleRegistryTest, TheModuleLoadsAndMissingMalformedOrBrokenOnesFail)
{
    ASSERT_FALSE(qEnvironmentVariable("TALOR_BUILD_DIR").isEmpty());
    EXPECT_TRUE(QFile::exists(QStringLiteral(TESTMOD_FILE)));
    EXPECT_NE(QFileInfo(QStringLiteral(TESTMOD_FILE)).absolutePath(),
              QFileInfo(dllDirectory()).absoluteFilePath());
    EXPECT_EQ(QDir(dllDirectory()).entryList({"*testmod*"}, QDir::Files), QStringList());
    FakeSuite suite;
    ScriptedUi ui;
    const QString dir = dllDirectory();
    EXPECT_TRUE(ModuleRegistry(dir).create("talor.clszh", suite, ui));
    // Its entry point, called by a host without the suite or the interface, makes nothing.
    QLibrary module;
    for (const QString& file : ModuleRegistry(dir).candidateFiles("talor.clszh"))
        if (!module.isLoaded() && QFile::exists(file)) {
            module.setFileName(file);
            module.load();
        }
    const auto create = reinterpret_cast<CreateComponentFunction>(module.resolve(CreateComponentSymbol));
    ASSERT_TRUE(create) << module.errorString().toStdString();
    const std::pair<SuiteComponent*, SuiteComponent*> none;
    EXPECT_EQ(std::pair(create(&suite, nullptr), create(nullptr, &ui)), none);
    const QStringList tried{dir + "/NOMOD.so", dir + "/libNOMOD.so", dir + "/nomod.so", dir + "/libnomod.so"};
    const ModuleRegistry registry(dir);
    // The suffix in any case; a lower-case name is tried once.
    EXPECT_EQ(registry.candidateFiles("NOMOD.CLSZH") + registry.candidateFiles("nomod.clszh"),
              tried + tried.mid(2));
    EXPECT_EQ(test::errorText<ModuleError>([&] { registry.create("NOMOD.clszh", suite, ui); }),
              "no library for NOMOD.clszh; tried " + tried.join(", "));

    // Malformed names and a file that is no library.
    QTemporaryDir broken;
    test::putFile(broken.filePath("broken.so"), "not a shared library");
    const ModuleRegistry brokenRegistry(broken.path());
    for (const char* name : {"testmod", ".clszh", "../testmod.clszh", "a/b.clszh", ""})
        EXPECT_THROW(brokenRegistry.create(name, suite, ui), ModuleError) << name;
    const QString notLoaded =
        test::errorText<ModuleError>([&] { brokenRegistry.create("broken.clszh", suite, ui); });
    EXPECT_TRUE(notLoaded.startsWith("cannot load")) << notLoaded.toStdString();
}

// The module menus with the real launcher: programs detached, components through the registry
// from the dll folder of the application directory.
class LaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite.db = data.db();
        suite.appDir = suite.settingsDir = data.directory();
        suite.allowed = ",工资,";
        QDir(data.directory()).mkpath("dll");
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TESTMOD_FILE), QDir(data.directory()).filePath("dll/testmod.so")));
    }

    ModuleMenuOutcome run(const QString& mkwj)
    {
        data.exec("delete from SYS02");
        data.menu("工资", QVariant(), "", mkwj);
        suite.menuName = "工资";
        ComponentLauncher launcher(suite, ui, ModuleRegistry(ModuleRegistry::dllDirectoryOf(suite.appDir)));
        return ModuleMenus(suite, menuRecords, launcher).runModuleMenu();
    }

    void program(const QString& name, const QByteArray& text, QFile::Permissions permissions)
    {
        const QString path = QDir(data.directory()).filePath(name);
        test::putFile(path, text);
        QFile::setPermissions(path, permissions);
    }

    test::ModuleDatabase data;
    FakeSuite suite;
    ScriptedUi ui;
    Recordset menuRecords;
};

// The module name arrives upper-cased (TESTMOD) and finds testmod.so, which runs modally and
// returns; an unknown component is not registered; a program that cannot start says so in its
// own words, not as a missing component.
TEST_F(LaunchTest, ComponentsRunOrAreNotRegisteredProgramsThatCannotStartAreTold)
{
    program("NOEXEC.exe", {}, QFile::ReadOwner | QFile::WriteOwner);
    const ModuleMenuOutcome ran = run("testmod.dll");
    EXPECT_EQ(std::tuple(ran.kind, ui.dialogsShown, suite.status),
              std::tuple(ModuleMenuOutcome::Kind::ComponentRun, QStringList{"testmodDialog"}, 1));
    const ModuleMenuOutcome unknown = run("salary.dll");
    EXPECT_EQ(std::pair(unknown.kind, unknown.message),
              std::pair(ModuleMenuOutcome::Kind::ComponentFailed, QString("SALARY.dll未注册")));
    const ModuleMenuOutcome noexec = run("noexec.dll");
    EXPECT_EQ(std::tuple(noexec.kind, noexec.message, noexec.title),
              std::tuple(ModuleMenuOutcome::Kind::ProgramFailed,
                         "程序" + QDir(data.directory()).filePath("NOEXEC.exe") + "无法启动",
                         QString("系统提示")));
}

TEST_F(LaunchTest, ProgramStartsDetachedAndIsNotWaitedFor)
{
    // The program writes its marker once the test says go (or after 10 s): a launcher that
    // waited for it would come back only then, with the marker written.
    const QString marker = QDir(data.directory()).filePath("ran.txt");
    const QString go = QDir(data.directory()).filePath("go");
    program("MARK.exe",
            QString("#!/bin/sh\ni=0\nwhile [ ! -e '%2' ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
                    "echo \"$PWD\" > '%1'\n")
                .arg(marker, go)
                .toUtf8(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(run("mark.dll").kind, ModuleMenuOutcome::Kind::ProgramStarted);
    EXPECT_FALSE(QFile::exists(marker));
    ASSERT_TRUE(QFile(go).open(QIODevice::WriteOnly));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(marker) && !deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(marker));
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
}

} // namespace
