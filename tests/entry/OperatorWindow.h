#pragma once

#include "entry/ModuleDatabase.h"
#include "entry/ModuleParts.h"
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
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

namespace talor::test {

// One operator at one window on a suite: the window with the module's parts plugged in (as
// clszh does), showing the kind-2 report of the whole organisation on `day`.
struct Operator
{
    LocalSuite suite;
    ScriptedUi ui;
    RecordingLauncher launcher;
    std::unique_ptr<frmKQJL> window;
    std::unique_ptr<ModuleParts> parts;

    Operator(const SuiteConfig& config, const QDate& day) : suite(config)
    {
        window = std::make_unique<frmKQJL>(suite, ui, &launcher);
        parts = std::make_unique<ModuleParts>(suite, ui, window->state(), window->records(), window->book(),
                                              window->view(),
                                              [] { return QDateTime(QDate(2026, 3, 5), QTime(8, 30, 12)); });
        window->setCommands(parts.get());
        window->load();
        suite.setReportOption(QStringLiteral("2"));
        suite.setReportDate(day);
        parts->layoutReport();
        clickRoot();
    }
    grid::Workbook& book() { return window->book(); }
    grid::SheetView* grid() { return child<grid::SheetView>(*window, "F1Book1"); }
    int firstRow() { return firstDataRow(sheetLayoutOf(book().active())); }
    void clickRoot()
    {
        QTreeWidgetItem* root = treeNode(*window, QStringLiteral("ROOT"));
        auto* tree = child<QTreeWidget>(*window, "TreeView1");
        tree->setCurrentItem(root);
        Q_EMIT tree->itemClicked(root, 0);
    }
    // The grid row of the employee `memberid`.
    int rowOf(const QString& memberid)
    {
        for (int r = firstRow(); r <= book().lastRow(); ++r)
            if (book().text(r, 1) == memberid)
                return r;
        ADD_FAILURE() << "no row for " << memberid.toStdString();
        return firstRow();
    }
    // Types into a cell as the operator would: through the text entry rule.
    void type(int row, int col, QString text)
    {
        Q_EMIT grid()->editText(text);
        book().setText(row, col, text);
    }
    void edit() { trigger(*window, "MN02"); }
    // Selects a cell as the operator would, in the grid widget.
    void select(int row, int col)
    {
        QCoreApplication::processEvents();
        QAbstractItemView* view = grid()->table();
        view->setCurrentIndex(view->model()->index(row - 1, col - 1));
        QCoreApplication::processEvents();
    }
    void save(UiService::Answer answer = UiService::Answer::Yes)
    {
        ui.answers.assign(1, answer); // a refused save asks nothing
        trigger(*window, "MN03");
    }
    QString lastMessage() const { return ui.messages.empty() ? QString() : ui.messages.back().text; }
};

} // namespace talor::test
