#pragma once

#include "demo/DemoSuite.h"
#include "entry/ModuleDatabase.h"
#include "entry/ModuleParts.h"
#include "entry/ReportDialogs.h"
#include "entry/WindowControls.h"
#include "entry/frmKQJL.h"
#include "grid/SheetTableView.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "sheet/SheetLayout.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace talor::test {

// One operator at one window on a suite: the window with the module's parts and dialogs plugged
// in (as clszh does), showing the kind-2 report of the whole organisation on `day` (on the
// suite's own report day when `day` is invalid).
struct Operator
{
    LocalSuite suite;
    ScriptedUi ui;
    RecordingLauncher launcher;
    std::unique_ptr<frmKQJL> window;
    std::unique_ptr<ModuleParts> parts;
    std::unique_ptr<ReportDialogs> dialogs;

    Operator(const SuiteConfig& config, const QDate& day) : suite(config)
    {
        window = std::make_unique<frmKQJL>(suite, ui, &launcher);
        parts = std::make_unique<ModuleParts>(suite, ui, window->state(), window->records(), window->book(),
                                              window->view(),
                                              [] { return QDateTime(QDate(2026, 3, 5), QTime(8, 30, 12)); });
        dialogs = std::make_unique<ReportDialogs>(suite, ui, window.get());
        parts->setDialogs(dialogs.get());
        window->setCommands(parts.get());
        window->load();
        suite.setReportOption(QStringLiteral("2"));
        if (day.isValid())
            suite.setReportDate(day);
        parts->layoutReport();
        child<QTreeWidget>(*window, "TreeView1")->setCurrentItem(treeNode(*window, QStringLiteral("ROOT")));
        clickNode(*window, QStringLiteral("ROOT"));
    }
    ~Operator() { window->setCommands(nullptr); }
    grid::Workbook& book() { return window->book(); }
    grid::SheetView* grid() { return child<grid::SheetView>(*window, "F1Book1"); }
    int firstRow() { return firstDataRow(sheetLayoutOf(book().active())); }
    // Types into a cell as the operator would: through the text entry rule.
    void type(int row, int col, QString text)
    {
        Q_EMIT grid()->editText(text);
        book().setText(row, col, text);
    }
    void edit() { trigger(*window, "MN02"); }
    // Selects a cell as the operator's plain click would, in the grid widget. The selection is
    // replaced whatever modifier the application last saw: QTest's Ctrl+key clicks leave Ctrl
    // held for Qt until another key event, which would otherwise add this cell to the previous
    // selection.
    void select(int row, int col)
    {
        QCoreApplication::processEvents();
        QAbstractItemView* view = grid()->table();
        view->selectionModel()->setCurrentIndex(view->model()->index(row - 1, col - 1),
                                                QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents();
    }
    void save(UiService::Answer answer = UiService::Answer::Yes)
    {
        ui.answers.assign(1, answer); // a refused save asks nothing
        trigger(*window, "MN03");
    }
    QString lastMessage() const { return ui.messages.empty() ? QString() : ui.messages.back().text; }
};

// The window of an operator on a demo suite of 30 persons on SQLite, shown and active: the
// fixture of the report tests.
class DemoWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Each test's temporary print files (Tmp.xls, the PDF without a printer) and the window's kept period
        // in folders of its own.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("cache"))));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("config")));
        DemoOptions options;
        options.employees = 30;
        const QString config = dir.filePath(QStringLiteral("demo/suite.ini"));
        DemoSuite::generate(dir.filePath(QStringLiteral("demo")), options);
        {
            // The module set up (table and set-up flag written): the load goes straight on.
            LocalSuite setup(config);
            const QString file = setup.settingsDirectory() + QLatin1Char('/') + setup.settingsFileName();
            setup.writeSetting("TALOR", "考勤日报TABLE", "KQ0001", file);
            setup.writeSetting("TALOR", "考勤日报IF", "YES", file);
        }
        op = std::make_unique<Operator>(SuiteConfig::load(config), QDate());
        suite = &op->suite;
        window = op->window.get();
        window->show();
        window->activate();
    }
    void TearDown() override
    {
        op.reset();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           qEnvironmentVariable("XDG_CONFIG_HOME"));
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

    QTemporaryDir dir;
    std::unique_ptr<Operator> op;
    LocalSuite* suite = nullptr;
    frmKQJL* window = nullptr;
    ScriptedUi& ui() { return op->ui; }
};

} // namespace talor::test
