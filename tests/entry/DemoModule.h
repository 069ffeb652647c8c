#pragma once

#include "demo/DemoSuite.h"
#include "entry/ModuleParts.h"
#include "entry/ReportDialogs.h"
#include "entry/WindowControls.h"
#include "entry/frmKQJL.h"
#include "suite/LocalSuite.h"
#include "support/ScriptedUi.h"

#include <QFile>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace talor::test {

// A demo suite of `employees` persons in `folder`, with the module already set up (table and
// set-up flag written), so that the main window's load goes straight on.
inline std::unique_ptr<LocalSuite> setUpDemoSuite(const QString& folder, int employees)
{
    // Each test's temporary print files (Tmp.xls, Tmp.pdf) in a folder of its own.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder + QStringLiteral("/cache")));
    DemoOptions options;
    options.employees = employees;
    DemoSuite::generate(folder, options);
    auto suite = std::make_unique<LocalSuite>(folder + QStringLiteral("/suite.ini"));
    const QString settings = suite->settingsDirectory() + QLatin1Char('/') + suite->settingsFileName();
    suite->writeSetting(QStringLiteral("TALOR"), QStringLiteral("考勤日报TABLE"), QStringLiteral("KQ0001"),
                        settings);
    suite->writeSetting(QStringLiteral("TALOR"), QStringLiteral("考勤日报IF"), QStringLiteral("YES"),
                        settings);
    return suite;
}

// The main window with the module's parts (and the report dialogs) plugged in as clszh does,
// on a demo suite of 30 persons, loaded, shown and active: the fixture of the window tests.
class DemoWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        suite = setUpDemoSuite(dir.filePath(QStringLiteral("demo")), 30);
        window = std::make_unique<frmKQJL>(*suite, ui);
        parts = std::make_unique<ModuleParts>(*suite, ui, window->state(), window->records(), window->book(),
                                              window->view());
        dialogs = std::make_unique<ReportDialogs>(*suite, ui, window.get());
        parts->setDialogs(dialogs.get());
        window->setCommands(parts.get());
        window->load();
        window->show();
        window->activate();
    }
    // Selects the tree node `key` by keyboard: current item, then Enter.
    void enterNode(const QString& key)
    {
        QTreeWidgetItem* node = treeNode(*window, key);
        ASSERT_NE(node, nullptr);
        auto* tree = child<QTreeWidget>(*window, "TreeView1");
        tree->setCurrentItem(node);
        QTest::keyClick(tree, Qt::Key_Return);
    }
    QListWidget* list() { return child<QListWidget>(*window, "ListView1"); }
    QString status() { return child<QStatusBar>(*window, "StatusBar1")->currentMessage(); }

    void TearDown() override
    {
        parts.reset();
        dialogs.reset();
        window.reset();
        suite.reset();
    }

    QTemporaryDir dir;
    ScriptedUi ui;
    std::unique_ptr<LocalSuite> suite;
    std::unique_ptr<frmKQJL> window;
    std::unique_ptr<ModuleParts> parts;
    std::unique_ptr<ReportDialogs> dialogs;
};

} // namespace talor::test
