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

} // namespace
