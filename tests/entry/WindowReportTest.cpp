// The main window with the module's parts plugged in (as clszh does), on the demo suite.
#include "demo/DemoSuite.h"
#include "entry/DemoModule.h"
#include "entry/ModuleParts.h"
#include "entry/PeriodPicks.h"
#include "entry/PrintCommands.h"
#include "entry/frmKQJL.h"
#include "grid/Workbook.h"
#include "print/PrintTestSupport.h"
#include "suite/LocalSuite.h"
#include "support/ErrorText.h"
#include "support/ScriptedUi.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::ScriptedUi;

namespace {

class WindowReport : public test::DemoWindow
{
protected:
    const grid::Sheet& sheet() { return window->book().active(); }
    QString label(int n) { return test::child<QLabel>(*window, QStringLiteral("Label%1").arg(n))->text(); }
};

TEST_F(WindowReport, KindTwoNodeSumDatePickerAndTimer)
{
    test::chooseKind(*window, 2);
    enterNode("ROOT");
    EXPECT_EQ(sheet().lastRow(), 4 + 30);
    EXPECT_EQ(label(3) + "|" + label(1), QString::fromUtf8(DemoSuite::Organisation) + "|部门考勤日报");
    test::child<QCheckBox>(*window, "Check1")->click();
    EXPECT_EQ(std::pair(sheet().lastRow(), sheet().text(35, 1)), std::pair(5 + 30, QString("合计：")));

    test::child<QDateEdit>(*window, "DTPicker1")->setDate(QDate(2026, 10, 6));
    EXPECT_EQ(label(2), "2026-10-06");
    EXPECT_TRUE(suite->composedQuery().contains("zhdate='2026-10-06'"));

    test::child<QDateEdit>(*window, "DTPicker1")->setDate(QDate(2031, 1, 1));
    EXPECT_EQ(sheet().lastRow(), 5) << "an empty day is one cleared row, without sum";
    suite->setReportDate(QDate(2026, 10, 7));
    suite->setRefreshFlag(1);
    test::tick(*window);
    EXPECT_EQ(std::pair(suite->refreshFlag(), sheet().lastRow()), std::pair(2, 35));
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().join("\n").toStdString();
}

TEST_F(WindowReport, KindOneListsTheNodesEmployeesThenShowsOnePersonsPeriod)
{
    test::chooseKind(*window, 1);
    enterNode("A生产部");
    ASSERT_GT(list()->count(), 1);
    QListWidgetItem* item = list()->item(1);
    list()->setCurrentItem(item);
    QTest::keyClick(list(), Qt::Key_Return);
    const QString number = item->data(Qt::UserRole).toString().mid(1);
    EXPECT_TRUE(item->text().startsWith(number + " "));
    EXPECT_EQ(suite->personNumber(), number);
    EXPECT_TRUE(label(3).startsWith(suite->personName() + "(" + number + ",生产部"))
        << label(3).toStdString();
    EXPECT_EQ(std::pair(sheet().lastRow(), window->book().sheetName(1)),
              std::pair(31, QString(label(3) + "个人考勤表")));
}

// A period picked in the window is what the period reports show, kind 3 in date order; a
// quick pick sets both dates; a period that ends before it starts is refused in the status
// bar and changes nothing.
TEST_F(WindowReport, APeriodPickedInTheWindowIsWhatKindsThreeAndOneShow)
{
    // The picked period is kept for the next start: here apart from the other tests' state.
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    auto* from = window->findChild<QDateEdit*>("PeriodFrom");
    auto* to = window->findChild<QDateEdit*>("PeriodTo");
    auto* pick = window->findChild<QComboBox*>("PeriodPick");
    ASSERT_TRUE(from && to && pick);
    EXPECT_EQ(from->date().toString(Qt::ISODate) + "|" + to->date().toString(Qt::ISODate),
              suite->periodStart() + "|" + suite->periodEnd());

    test::chooseKind(*window, 3);
    enterNode("A生产部");
    to->setDate(QDate(2026, 11, 14));
    from->setDate(QDate(2026, 10, 15));
    EXPECT_EQ(suite->periodStart() + "|" + suite->periodEnd(), "2026-10-15|2026-11-14");
    EXPECT_EQ(sheet().text(3, sheet().lastColumn()), "2026-10-15 至 2026-11-14");

    test::chooseKind(*window, 1);
    enterNode("A生产部");
    list()->setCurrentRow(0);
    QTest::keyClick(list(), Qt::Key_Return);
    EXPECT_EQ(label(2), "2026-10-15 至 2026-11-14");

    pick->activated(3); // as a choice in the list emits it
    const auto [start, end] = pickedPeriod(PeriodPick::SixteenthToFifteenth, QDate::currentDate());
    EXPECT_EQ(suite->periodStart() + "|" + suite->periodEnd(),
              start.toString(Qt::ISODate) + "|" + end.toString(Qt::ISODate));
    EXPECT_EQ(label(2), start.toString(Qt::ISODate) + " 至 " + end.toString(Qt::ISODate));

    from->setDate(end.addDays(1));
    EXPECT_EQ(suite->periodStart(), start.toString(Qt::ISODate)) << "refused";
    EXPECT_TRUE(status().contains("晚于结束日期"));
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().join("\n").toStdString();
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

TEST_F(WindowReport, AFailingPeriodQueryIsReportedWithItsTextAndTheClickEnds)
{
    const QString settings = suite->settingsDirectory() + "/" + suite->settingsFileName();
    suite->writeSetting("TALOR", "考勤日报BDTJ2", "no_such_column=1", settings);
    test::chooseKind(*window, 1);
    enterNode("A生产部");
    list()->setCurrentRow(0);
    QTest::keyClick(list(), Qt::Key_Return);
    ASSERT_EQ(ui.messages.size(), 1u);
    // What failed, in words and the engine's, first; then the query's own text.
    EXPECT_TRUE(test::containsAll(ui.messages[0].text.section("\nbSQL:", 0, 0),
                                  {"读取该人员的考勤记录失败：", "no such column: no_such_column"}));
    EXPECT_TRUE(ui.messages[0].text.contains("\nbSQL:" + suite->composedQuery() + " --- str2:"));
}

TEST_F(WindowReport, KindThreeBlocksAndTheGuard)
{
    test::chooseKind(*window, 3);
    EXPECT_FALSE(test::child<QCheckBox>(*window, "Check1")->isEnabled());
    enterNode("A生产部");
    const int rows = sheet().lastRow();
    ASSERT_GT(rows, 36);
    EXPECT_EQ(rows % 36, 0);
    // Unsaved edits and Cancel: nothing changes.
    window->state().DataChanged = true;
    ui.answers.push_back(UiService::Answer::Cancel);
    enterNode("ROOT");
    EXPECT_EQ(std::pair(sheet().lastRow(), window->state().DataChanged), std::pair(rows, true));
    ui.answers.push_back(UiService::Answer::Ok);
    enterNode("ROOT");
    EXPECT_FALSE(window->state().DataChanged);
    EXPECT_GT(sheet().lastRow(), rows);
}

// Kind 1 on 生产部 with the third person shown.
class WindowBatch : public WindowReport
{
protected:
    void SetUp() override
    {
        WindowReport::SetUp();
        test::chooseKind(*window, 1);
        enterNode("A生产部");
        for (int i = 0; i < list()->count(); ++i)
            persons << list()->item(i)->text();
        ASSERT_GE(persons.size(), 4);
        list()->setCurrentRow(2);
        QTest::keyClick(list(), Qt::Key_Return);
        ASSERT_EQ(suite->personNumber(), persons[2].section(' ', 0, 0));
    }
    QString tmp(const QString& name) { return suite->temporaryDirectory() + "/" + name; }
    // The person's report name as the print's centre header shows it (&A).
    QString sheetNameOf(int index)
    {
        return persons[index].section(' ', 1) + "(" + persons[index].section(' ', 0, 0) + ",生产部";
    }
    QStringList persons;
};

TEST_F(WindowBatch, YesPrintsTheRestInOneJob)
{
    ui.answers.push_back(UiService::Answer::Yes);
    test::trigger(*window, "MN05");
    EXPECT_EQ(ui.dialogsShown, QStringList{"printPreview"}) << "the first person previewed, the rest printed";
    EXPECT_EQ(ui.messageTexts(),
              QStringList{"是否还要打印" + persons[2].section(' ', 1) + "以后人员的资料？"});
    EXPECT_EQ(std::pair(ui.messages[0].title, ui.messages[0].buttons),
              std::pair(QString("系统提示"), UiService::Buttons::YesNo));
    const QStringList pages = test::pdfPages(tmp("Tmp.pdf"));
    ASSERT_GE(pages.size(), persons.size() - 3);
    // Persons 4 .. last, each starting on a new page; neither 3 nor the ones before.
    QStringList rest;
    for (int i = 3; i < persons.size(); ++i)
        rest << sheetNameOf(i);
    EXPECT_TRUE(test::onPagesInOrder(pages, rest));
    EXPECT_FALSE(pages.join("").contains(sheetNameOf(2)) || pages.join("").contains(sheetNameOf(1)));
    EXPECT_EQ(std::pair(suite->statusValue(), window->state().PrintRest), std::pair(100, true));
    EXPECT_EQ(suite->personNumber(), persons.last().section(' ', 0, 0)) << "the grid shows the last person";
    EXPECT_TRUE(window->book().sheetName(1).startsWith(sheetNameOf(int(persons.size()) - 1)) &&
                !window->book().allowInCellEditing());
    const QString printed = QString::number(persons.size() - 3);
    EXPECT_TRUE(status().contains(QString::number(persons.size() - 2) + " 人完成（预览 1 人，打印 " +
                                  printed + " 人）"))
        << status().toStdString();
}

// No, or 停止 in the progress dialog while the first person is previewed: the run ends after
// that person, nothing is printed, and a stop asks no question.
struct BatchEnd
{
    const char* name;
    bool stop;
    const char* status;
};

class WindowBatchEnd : public WindowBatch, public ::testing::WithParamInterface<BatchEnd>
{};

TEST_P(WindowBatchEnd, EndsAfterTheFirstPerson)
{
    bool progressShown = false;
    ui.previews.push_back([&] {
        progressShown = ui.progressShown == 1 && ui.progressLabels.value(0).contains("1/");
        ui.stopProgress = GetParam().stop;
    });
    if (!GetParam().stop)
        ui.answers.push_back(UiService::Answer::No);
    window->book().setAllowInCellEditing(true);
    test::trigger(*window, "MN05");
    EXPECT_TRUE(progressShown);
    EXPECT_EQ(ui.dialogsShown.size(), 1);
    EXPECT_EQ(ui.messages.size(), GetParam().stop ? 0u : 1u);
    // Nothing printed; an ended run leaves the editing permission.
    EXPECT_EQ(QList<bool>({QFileInfo::exists(tmp("Tmp.pdf")), QFileInfo::exists(tmp("Tmp.xls")),
                           window->state().PrintRest, window->book().allowInCellEditing()}),
              QList<bool>({false, true, false, true}));
    EXPECT_EQ(suite->personNumber(), persons[2].section(' ', 0, 0));
    EXPECT_TRUE(status().contains(QString::fromUtf8(GetParam().status))) << status().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ends, WindowBatchEnd,
                         ::testing::Values(BatchEnd{"No", false, "只预览了"},
                                           BatchEnd{"Stop", true, "已停止，1/"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowBatch, ACurrentPersonOutsideTheNodePrintsNothing)
{
    suite->setPersonNumber("99999");
    test::trigger(*window, "MN05");
    EXPECT_TRUE(ui.dialogsShown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tmp("Tmp.pdf")));
    EXPECT_EQ(suite->statusValue(), 99);
    EXPECT_TRUE(status().contains("99999"));
}

TEST_F(WindowReport, KindTwoPreviewAndPrintTheGridAsShown)
{
    test::chooseKind(*window, 2);
    enterNode("A生产部");
    const QString title = window->book().sheetName(1);
    ui.dialogs.push_back([](QDialog&) { return int(QDialog::Rejected); });
    test::trigger(*window, "MN04");
    EXPECT_EQ(ui.dialogsShown, QStringList{"printPreview"});
    const QString previewed = status();
    ASSERT_TRUE(previewed.startsWith("报表预览：")) << previewed.toStdString();
    const int previewPages = previewed.section("：", 1).section(" ", 0, 0).toInt();

    window->book().setAllowInCellEditing(true);
    test::trigger(*window, "MN05");
    const QString pdf = suite->temporaryDirectory() + "/Tmp.pdf";
    const QStringList pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), previewPages) << "the printed pages are the previewed ones";
    ASSERT_GE(pages.size(), 1);
    // The default centre footer and the first employee.
    EXPECT_TRUE(test::containsAll(pages[0], {"制表人: ", sheet().text(5, 2)}));
    EXPECT_EQ(ui.dialogsShown.size(), 1) << "printed without a dialog";
    EXPECT_FALSE(!ui.messages.empty() || window->book().allowInCellEditing());
    EXPECT_EQ(status(), QStringLiteral("报表打印：没有打印机，%1 页已写到 %2").arg(pages.size()).arg(pdf));
    EXPECT_EQ(window->book().sheetName(1), title);
}

// The export's save dialog: cancelled (nothing written, nothing opened), a .vts name (an
// Excel workbook all the same), and a desktop without a spreadsheet program.
struct ExportCase
{
    const char* name;
    const char* file; // empty: cancelled
    bool program;
    const char* status;
};

class WindowExport : public WindowReport, public ::testing::WithParamInterface<ExportCase>
{};

TEST_P(WindowExport, WritesThenOpens)
{
    const ExportCase& c = GetParam();
    test::chooseKind(*window, 2);
    enterNode("ROOT");
    const QString path = c.file[0] ? dir.filePath(QString::fromUtf8(c.file)) : QString();
    ui.files.push_back(path.isEmpty() ? std::optional<QString>() : std::optional<QString>(" " + path + " "));
    ui.desktopHasProgram = c.program;
    test::trigger(*window, "MN06");
    EXPECT_EQ(ui.fileFilters + ui.fileDirectories,
              QStringList({QString::fromUtf8(PrintCommands::ExportFilter), suite->temporaryDirectory()}));
    EXPECT_TRUE(ui.fileFilters.value(0).startsWith("Excel 工作簿(*.xlsx)|*.xlsx|"))
        << "an Excel workbook is .xlsx";
    EXPECT_TRUE(status().contains(QString::fromUtf8(c.status))) << status().toStdString();
    EXPECT_TRUE(ui.messages.empty());
    if (path.isEmpty()) {
        EXPECT_TRUE(ui.documentsOpened.isEmpty());
        EXPECT_EQ(QDir(dir.path()).entryList({"*.xls", "*.xlsx", "*.vts"}, QDir::Files), QStringList{});
        return;
    }
    EXPECT_EQ(ui.documentsOpened, QStringList{path});
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.read(2), "PK") << "an Excel workbook whatever the name";
}

INSTANTIATE_TEST_SUITE_P(
    Exports, WindowExport,
    ::testing::Values(ExportCase{"Cancelled", "", true, "输出：已取消"},
                      ExportCase{"VtsName", "日报.vts", true, "并已在电子表格程序中打开"},
                      ExportCase{"NoSpreadsheetProgram", "日报.xlsx", false, "没有可打开它的电子表格程序"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
