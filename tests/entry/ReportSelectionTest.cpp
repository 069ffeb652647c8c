// A report added, designed and selected through the dialogs on the demo suite, in the main
// window and through `talor report --report`.
#include "demo/DemoSuite.h"
#include "entry/BatchReport.h"
#include "entry/DemoModule.h"
#include "entry/ModuleParts.h"
#include "entry/ReportDialogs.h"
#include "entry/frmKQJL.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "report/ReportLayout.h"
#include "report/frmMODEL.h"
#include "suite/LocalSuite.h"
#include "support/FindChild.h"
#include "support/ScriptedUi.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::child;
using talor::test::ScriptedUi;

namespace {

const QString Condition = u"cdfz>0"_qs;

class ReportSelection : public test::DemoWindow
{
protected:
    void SetUp() override
    {
        DemoWindow::SetUp();
        test::chooseKind(*window, 2);
    }
    QStringList labels(const grid::Sheet& sheet, int count)
    {
        QStringList out;
        for (int c = 1; c <= count; ++c)
            out << sheet.text(4, c);
        return out;
    }

    // Through MN01: adds 夜班 with `Condition`, opens the designer on it, removes column 3 of
    // its kind-2 template and saves it over the template's default file.
    void addAndDesign()
    {
        ui.dialogs.push_back([this](QDialog& d) {
            child<QPushButton>(d, "Command1")->click();
            auto* list = child<QListWidget>(d, "List1");
            list->setCurrentRow(list->count() - 1);
            child<QPushButton>(d, "Command4")->click();
            return d.result();
        });
        ui.dialogs.push_back([](QDialog& d) {
            child<QLineEdit>(d, "Text1")->setText(u"夜班"_qs);
            child<QLineEdit>(d, "Text2")->setText(Condition);
            child<QPushButton>(d, "Command1")->click();
            return d.result();
        });
        ui.dialogs.push_back([this](QDialog& d) {
            auto& designer = dynamic_cast<frmMODEL&>(d);
            designerCaption = designer.windowTitle();
            designedBefore = labels(designer.book().active(), 4);
            Q_EMIT designer.F1Book1()->cellClicked(4, 3);
            designer.command(3)->trigger();
            ui.files.push_back(designer.designer().fileDialog().presetName);
            designer.command(5)->trigger();
            designer.command(6)->trigger();
            return d.result();
        });
        test::trigger(*window, "MN01");
    }

    QString designerCaption;
    QStringList designedBefore;
};

TEST_F(ReportSelection, AnAddedDesignedReportShowsItsOwnColumnsAndConditions)
{
    const QStringList builtIn = labels(window->book().active(), 5);
    addAndDesign();
    EXPECT_EQ(ui.dialogsShown, (QStringList{u"frmSQL0"_qs, u"frmSQL1"_qs, u"frmMODEL"_qs}));
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(designerCaption, u"模板设计：[夜班]"_qs);
    EXPECT_EQ(designedBefore.mid(2), builtIn.mid(2, 2)); // a copy of the built-in template

    // Laid out again (RefreshFlag 2) at the activation after the dialog.
    EXPECT_EQ(std::tuple(suite->reportKey(), suite->refreshFlag(), window->state().DeptCondition),
              std::tuple(u"夜班"_qs, 2, Condition));
    const QStringList shown = labels(window->book().active(), 4);
    EXPECT_EQ(shown.mid(0, 2), builtIn.mid(0, 2));
    EXPECT_EQ(shown.mid(2), builtIn.mid(3, 2)); // column 3 removed in the designer

    enterNode("ROOT");
    const QString sql = suite->composedQuery();
    EXPECT_TRUE(sql.contains(" and " + Condition)) << sql.toStdString();
    QSqlQuery query(suite->connection());
    ASSERT_TRUE(query.exec(sql));
    int rows = 0;
    while (query.next())
        ++rows;
    EXPECT_LT(rows, 30);
    EXPECT_EQ(window->book().active().lastRow(), 4 + rows);

    // The same report, headlessly.
    BatchReport report(*suite);
    report.run({2, "ROOT", {}, {}, {}, {}, u"夜班"_qs, false});
    EXPECT_EQ(std::pair(labels(report.book().active(), 4), report.book().active().lastRow()),
              std::pair(shown, 4 + rows));
    EXPECT_TRUE(suite->composedQuery().contains(Condition));
    EXPECT_THROW(report.run({2, "ROOT", {}, {}, {}, {}, u"早班"_qs, false}), BatchRequestError);
}

} // namespace
