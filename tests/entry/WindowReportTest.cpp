// The main window with the module's parts plugged in (as clszh does), on the demo suite: a long
// output stopped, person-by-person printing, and a person chosen in the overview.
#include "commands/UnsavedDataGuard.h"
#include "entry/BatchReport.h"
#include "entry/OperatorWindow.h"
#include "entry/PeriodPicks.h"
#include "entry/PrintCommands.h"
#include "grid/XlsxFile.h"
#include "overview/OverviewCalendar.h"
#include "overview/frmOverview.h"
#include "print/PrintTestSupport.h"
#include "report/frmMODEL.h"
#include "sheet/PeriodBlock.h"
#include "support/ErrorText.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::child;

namespace {

// The temporary folder made unusable for the test: a file stands in its place, so that no
// print file or PDF can be written there, for any user.
void blockFolder(const QString& path)
{
    QDir(path).removeRecursively();
    test::putFile(path, "not a folder");
}

class WindowReport : public test::DemoWindow
{
protected:
    const grid::Sheet& sheet() { return window->book().active(); }
    QString label(int n) { return child<QLabel>(*window, QStringLiteral("Label%1").arg(n))->text(); }
    QDateEdit* periodEdit(const char* name) { return child<QDateEdit>(*window, name); }
    // A file of the suite's temporary folder; the print's PDF where there is no printer.
    QString tmp(const QString& name) { return suite->temporaryDirectory() + "/" + name; }
    QString pdf() { return tmp(test::fallbackPdfName()); }
    void enterPerson(int row)
    {
        list()->setCurrentRow(row);
        QTest::keyClick(list(), Qt::Key_Return);
    }
    // Unsaved edits, and what the operator answers when asked about them.
    void unsaved(std::deque<UiService::Answer> answers = {UiService::Answer::Cancel})
    {
        ui().messages.clear();
        window->state().DataChanged = true;
        ui().answers = std::move(answers);
    }
};

// A long print or export shows its progress, whose 停止 drops it: no PDF (stopped while
// Tmp.xls is written or while the pages are painted), no file (the file that was at the
// export's path stays as it was), and the status bar says so. Work below the
// window's thresholds shows no progress.
TEST_F(WindowReport, ALongPrintOrExportIsStoppedFromItsProgress)
{
    test::chooseKind(*window, 3);
    enterNode("ROOT");
    ASSERT_GT(sheet().lastRow(), grid::XlsxFile::RowsPerProgress);
    test::trigger(*window, "MN05");
    ASSERT_EQ(std::pair(ui().progressShown, QFile::remove(pdf())), std::pair(0, true))
        << status().toStdString();

    // Stopped while Tmp.xls is written (as long as the work is from its number of rows on), then
    // while the pages are painted.
    QStringList printed;
    ui().stopProgress = true;
    for (const PrintRun::LongWork longWork :
         {PrintRun::LongWork{1, sheet().lastRow()}, PrintRun::LongWork{1, 1 << 30}}) {
        op->parts->output().setLongWork(longWork);
        test::trigger(*window, "MN05");
        printed << status();
    }
    op->parts->output().setLongWork({1, 1});
    const QString earlier = dir.filePath("日报.xlsx");
    test::putFile(earlier, "earlier");
    ui().files.push_back(earlier);
    test::trigger(*window, "MN06");
    QStringList steps;
    for (const QString& label : ui().progressLabels)
        steps << label.section('/', 0, 0);
    EXPECT_EQ(std::tuple(steps, printed, status(),
                         QDir(suite->temporaryDirectory()).entryList(QDir::Files | QDir::Hidden),
                         test::fileBytes(earlier),
                         QDir(dir.path()).entryList({"*日报*"}, QDir::Files | QDir::Hidden)),
              std::tuple(QStringList{QString("报表打印：已写 %1").arg(grid::XlsxFile::RowsPerProgress),
                                     "报表打印：第 1",
                                     QString("输出：已写 %1").arg(grid::XlsxFile::RowsPerProgress)},
                         QStringList(2, "报表打印：已停止，未打印"), QString("输出：已停止，未写成"),
                         QStringList{"Tmp.xls"}, QByteArray("earlier"), QStringList{"日报.xlsx"}));
}

// Kind 1 on 生产部 with the third person shown: print is a batch from that person on.
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
        enterPerson(2);
    }
    // The person's report name as the print's centre header shows it (&A).
    QString sheetNameOf(int index)
    {
        return persons[index].section(' ', 1) + "(" + persons[index].section(' ', 0, 0) + ",生产部";
    }
    QStringList persons;
};

// The tree's selection moved on to the whole organisation without a click: the batch still walks
// the list shown.
TEST_F(WindowBatch, YesPrintsTheRestInOneJob)
{
    child<QTreeWidget>(*window, "TreeView1")->setCurrentItem(test::treeNode(*window, "ROOT"));
    ui().answers.push_back(UiService::Answer::Yes);
    test::trigger(*window, "MN05");
    // The first person previewed, the rest (4 .. last) printed, each starting on a new page, in
    // order; the grid shows the last person.
    QStringList rest;
    for (int i = 3; i < persons.size(); ++i)
        rest << sheetNameOf(i);
    const int count = int(persons.size());
    EXPECT_EQ(std::tuple(ui().dialogsShown, ui().messageTexts() << ui().messages.at(0).title,
                         test::onPagesInOrder(test::pdfPages(pdf()), rest), suite->statusValue(),
                         window->state().PrintRest, suite->personNumber(),
                         window->book().sheetName(1).startsWith(sheetNameOf(count - 1)),
                         window->book().allowInCellEditing(),
                         status().contains(
                             QString("%1 人完成（预览 1 人，打印 %2 人）").arg(count - 2).arg(count - 3))),
              std::tuple(
                  QStringList{"printPreview"},
                  QStringList({"是否还要打印" + persons[2].section(' ', 1) + "以后人员的资料？", "系统提示"}),
                  true, 100, true, persons.last().section(' ', 0, 0), true, false, true))
        << status().toStdString();
    // From the last but one: a single person printed is told, and where the pages went.
    enterPerson(int(persons.size()) - 2);
    ui().answers.push_back(UiService::Answer::Yes);
    test::trigger(*window, "MN05");
    EXPECT_TRUE(status().contains("报表打印：2 人完成（预览 1 人，打印 1 人）") &&
                status().contains(test::fallbackPdfName()))
        << status().toStdString();
}

// Yes, and no usable temporary folder: the walk stops at the first person whose pages the PDF
// cannot take, and only the person previewed is done; the status bar tells why, no message.
TEST_F(WindowBatch, APdfThatCannotBeWrittenEndsTheWalk)
{
    blockFolder(suite->temporaryDirectory());
    ui().answers.push_back(UiService::Answer::Yes);
    test::trigger(*window, "MN05");
    const QStringList steps = status().split("；");
    EXPECT_EQ(std::tuple(steps.first(), suite->personNumber(), ui().messages.size(),
                         steps
                             .filter(QRegularExpression("^Cannot write .*" +
                                                        QRegularExpression::escape(test::fallbackPdfName())))
                             .size()),
              std::tuple(QStringLiteral("报表打印：未打印，1/%1 人完成").arg(persons.size() - 2),
                         persons[3].section(' ', 0, 0), size_t(1), qsizetype(1)))
        << status().toStdString();
}

// The abnormal overview: Esc closes it as it was; a person chosen by keyboard or by a
// click is shown in the person report (kind 1) over the window's period.
TEST_F(WindowReport, APersonChosenInTheOverviewIsShownInKindOneOverThePeriod)
{
    periodEdit("PeriodTo")->setDate(QDate(2026, 10, 31));
    periodEdit("PeriodFrom")->setDate(QDate(2026, 10, 1));
    test::chooseKind(*window, 3);
    enterNode("A生产部");
    const QString kindThree = window->book().sheetName(1);
    EXPECT_EQ(kindThree, "生产部" + label(1)) << "the node's sheet, not its last person's";
    // Works the calendar of the overview shown; the number of the person it chose.
    const auto openOverview = [&](const std::function<int(OverviewCalendar&)>& operate) {
        QString chosen;
        ui().dialogs.push_back([&](QDialog& dialog) {
            dialog.show();
            auto& overview = static_cast<frmOverview&>(dialog);
            if (const int person = operate(*child<OverviewCalendar>(dialog, "OverviewCalendar")); person >= 0)
                chosen = overview.overview().persons[size_t(person)].number;
            EXPECT_EQ(overview.chosenPerson(), chosen);
            return dialog.result();
        });
        test::trigger(*window, "Overview");
        EXPECT_EQ(ui().dialogsShown.last(), "frmOverview");
        return chosen;
    };
    openOverview([](OverviewCalendar& calendar) {
        QTest::keyClick(&calendar, Qt::Key_Down);
        // The right button chooses no one.
        QTest::mouseClick(calendar.viewport(), Qt::RightButton, {}, calendar.cellRect(2, 3).center());
        QTest::keyClick(&calendar, Qt::Key_Escape);
        return -1;
    });
    EXPECT_EQ(std::pair(suite->reportOption(), window->book().sheetName(1)),
              std::pair(QString("3"), kindThree));

    // A click on the second person.
    const auto clickSecond = [](OverviewCalendar& calendar) {
        QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, calendar.cellRect(1, 3).center());
        return 1;
    };
    for (const bool byKeys : {true, false}) {
        const QString number = openOverview([&](OverviewCalendar& calendar) {
            if (!byKeys)
                return clickSecond(calendar);
            for (Qt::Key key :
                 {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Return})
                QTest::keyClick(&calendar, key);
            return 2;
        });
        ASSERT_TRUE(!number.isEmpty() && list()->currentItem());
        const QString named = suite->personName() + "(" + number + ",生产部"; // the start of Label3
        EXPECT_EQ(QStringList({list()->currentItem()->data(Qt::UserRole).toString(), suite->reportOption(),
                               test::option(*window, 1)->isChecked() ? "Option1" : "", suite->personNumber(),
                               label(3).left(named.size()), label(2), window->book().sheetName(1), status()}),
                  QStringList({"A" + number, "1", "Option1", number, named, "2026-10-01 至 2026-10-31",
                               label(3) + "个人考勤表", ""}));
    }
    EXPECT_TRUE(ui().messages.empty()) << ui().messageTexts().join("\n").toStdString();
    // With unsaved edits the jump asks once; Cancel keeps the report shown.
    test::chooseKind(*window, 3);
    enterNode("A生产部");
    unsaved();
    openOverview(clickSecond);
    EXPECT_EQ(std::tuple(ui().messageTexts(), suite->reportOption(), window->book().sheetName(1)),
              std::tuple(QStringList{talor::GuardMessage}, QString("3"), kindThree));

    // Without a template of kind 1 the person cannot be shown: the window says so.
    window->state().DataChanged = false;
    QFile::remove(suite->templateDirectory() + "/" + suite->reportKey() + "1.vts");
    openOverview(clickSecond);
    EXPECT_EQ(std::pair(status(), suite->reportOption()),
              std::pair(QString("个人一期报表没有模板，不能显示"), QString("3")));
    // After a new load, the node under the tree's cursor, though not clicked, is the one shown.
    window->load();
    ui() = test::ScriptedUi();
    child<QTreeWidget>(*window, "TreeView1")->setCurrentItem(test::treeNode(*window, "A生产部"));
    test::trigger(*window, "Overview");
    EXPECT_EQ(ui().dialogsShown, QStringList{"frmOverview"}) << status().toStdString();
}

} // namespace
