// The main window with the module's parts plugged in (as clszh does), on the demo suite: what
// an operator does with the reports, from the tree, the list, the kind buttons, the period, the
// output commands, the overview and the report dialogs.
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
    QString suitePeriod() { return suite->periodStart() + "|" + suite->periodEnd(); }
    // A file of the suite's temporary folder; the print's PDF where there is no printer.
    QString tmp(const QString& name) { return suite->temporaryDirectory() + "/" + name; }
    QString pdf() { return tmp(test::fallbackPdfName()); }
    // What the status bar says, without its details.
    QString statusHead() { return status().section(QRegularExpression("[：，]"), 0, 0); }
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
    // A quick pick chosen from the period list.
    QComboBox* pickPeriod(int index)
    {
        auto* pick = child<QComboBox>(*window, "PeriodPick");
        pick->setCurrentIndex(index);
        Q_EMIT pick->activated(index);
        return pick;
    }
};

// Kind 3 of a department over a period picked in the window, behind the guard; kind 1 of a
// person the node lists (the list behind the guard as well), over a quick pick; a failing period
// query told with its text.
TEST_F(WindowReport, TheOperatorGoesThroughTheKinds)
{
    test::chooseKind(*window, 3);
    enterNode("A生产部");
    periodEdit("PeriodTo")->setDate(QDate(2026, 11, 14));
    periodEdit("PeriodFrom")->setDate(QDate(2026, 10, 15));
    const int rows = sheet().lastRow();
    // The tree's cursor moved without Enter: another period shows the node entered again.
    QTest::keyClick(child<QTreeWidget>(*window, "TreeView1"), Qt::Key_Up);
    periodEdit("PeriodFrom")->setDate(QDate(2026, 10, 16));
    periodEdit("PeriodFrom")->setDate(QDate(2026, 10, 15));
    ASSERT_EQ(sheet().lastRow(), rows);
    // With unsaved edits another period is asked about first; Cancel keeps the period shown.
    unsaved();
    periodEdit("PeriodFrom")->setDate(QDate(2026, 10, 20));
    EXPECT_EQ(
        std::tuple(suitePeriod(), periodEdit("PeriodFrom")->date(), sheet().lastRow(), ui().messages.size()),
        std::tuple(QString("2026-10-15|2026-11-14"), QDate(2026, 10, 15), rows, size_t(1)));
    unsaved({UiService::Answer::Cancel, UiService::Answer::Ok});
    enterNode("ROOT");
    EXPECT_EQ(std::pair(sheet().lastRow(), window->state().DataChanged), std::pair(rows, true))
        << "cancelled";
    enterNode("ROOT");
    EXPECT_EQ(std::tuple(window->state().DataChanged, sheet().lastRow() > rows, ui().messageTexts()),
              std::tuple(false, true, QStringList(2, "资料已变动,真的放弃保存?")));

    test::chooseKind(*window, 1);
    enterNode("A生产部");
    ASSERT_GT(list()->count(), 1);
    enterPerson(1);
    const QString number = list()->item(1)->data(Qt::UserRole).toString().mid(1);
    EXPECT_EQ(QStringList({list()->item(1)->text().left(number.size() + 1), suite->personNumber(), label(2)}),
              QStringList({number + " ", number, "2026-10-15 至 2026-11-14"}));
    unsaved();
    enterPerson(0);
    EXPECT_EQ(std::pair(suite->personNumber(), ui().messages.size()), std::pair(number, size_t(1)))
        << "the list is behind the guard too";
    // A quick pick cancelled at the guard: the period stays, and so does the custom choice.
    ui().answers = {UiService::Answer::Cancel};
    EXPECT_EQ(std::pair(suitePeriod(), pickPeriod(1)->currentText()),
              std::pair(QString("2026-10-15|2026-11-14"), QString("自定")));
    window->state().DataChanged = false;
    ui().messages.clear();
    child<QComboBox>(*window, "PeriodPick")->activated(3); // as a choice in the list emits it
    const auto [start, end] = pickedPeriod(PeriodPick::SixteenthToFifteenth, QDate::currentDate());
    const QString from = start.toString(Qt::ISODate), to = end.toString(Qt::ISODate);
    EXPECT_EQ(suitePeriod() + " " + label(2) + " " + suite->personNumber(),
              from + "|" + to + " " + from + " 至 " + to + " " + number)
        << "the person shown again, not the one the list's cursor was left on";

    suite->writeSetting("TALOR", "考勤日报BDTJ2", "no_such_column=1",
                        suite->settingsDirectory() + "/" + suite->settingsFileName());
    window->activate(); // which reads the report's conditions
    enterPerson(0);
    // First what failed in words, then the query's text.
    const QStringList told =
        ui().messages.size() == 1 ? ui().messages[0].text.split("\nbSQL:") : QStringList();
    EXPECT_TRUE(
        told.size() == 2 &&
        test::containsAll(told[0], {"读取该人员的考勤记录失败：", "no such column: no_such_column"}) &&
        told[1].startsWith(suite->composedQuery() + " --- str2:"))
        << told.join(" | ").toStdString();
    EXPECT_EQ(suite->personNumber(), number) << "a person who could not be read is not the one shown";
}

// The status bar says what holds now: a period refused is forgotten once one is taken, and a
// report shown anew drops what was said about the one before (a search, an export) but keeps
// what its own layout found (its template missing, told before a refused period). Dates edited
// by hand after a quick pick are the list's custom period.
TEST_F(WindowReport, TheStatusBarDropsWhatNoLongerHolds)
{
    QStringList said;
    periodEdit("PeriodFrom")->setDate(QDate(2026, 11, 1));
    said << statusHead();
    enterNode("A生产部"); // a report of the period kept: the refusal still holds
    said << statusHead();
    periodEdit("PeriodTo")->setDate(QDate(2026, 11, 30));
    said << statusHead();
    QTest::keyClicks(child<QLineEdit>(*window, "TreeSearch"), "00001");
    said << statusHead();
    enterNode("A生产部");
    said << statusHead();
    ui().files.push_back(std::nullopt);
    test::trigger(*window, "MN06");
    said << statusHead();
    enterNode("ROOT");
    said << statusHead();
    QFile::remove(suite->templateDirectory() + "/" + suite->reportKey() + "2.vts");
    test::chooseKind(*window, 2);
    enterNode("ROOT");
    said << statusHead();
    periodEdit("PeriodFrom")->setDate(QDate(2026, 12, 1)); // refused: what the layout found comes first
    enterNode("ROOT");
    said << statusHead();
    auto* pick = pickPeriod(1);
    periodEdit("PeriodFrom")->setDate(QDate(2026, 11, 2));
    EXPECT_EQ(
        std::pair(said, pick->currentText()),
        std::pair(QStringList({"期间的开始日期 2026-11-01 晚于结束日期 2026-10-31",
                               "期间的开始日期 2026-11-01 晚于结束日期 2026-10-31", "", "查找", "", "输出",
                               "", "报表“考勤日报”的模板文件不存在", "报表“考勤日报”的模板文件不存在"}),
                  QString("自定")));
    EXPECT_EQ(suitePeriod(), "2026-11-02|" + periodEdit("PeriodTo")->date().toString(Qt::ISODate));
}

// Kind 3 of the whole organisation, which has no names of its own, heads each block with the
// person's own department, group and team, as the person report does.
TEST_F(WindowReport, KindThreeOfTheWholeOrganisationNamesEachPersonsOwnDepartment)
{
    test::chooseKind(*window, 1);
    enterNode("ROOT");
    int i = 0; // the first person of a department
    for (enterPerson(i); label(3).endsWith(",)") && i + 1 < list()->count();)
        enterPerson(++i);
    const QString person = label(3);
    ASSERT_FALSE(person.endsWith(",)")) << person.toStdString();
    test::chooseKind(*window, 3);
    enterNode("ROOT");
    EXPECT_EQ(sheet().text(PeriodBlock::Rows * i + PeriodBlock::PersonRow, 1), person);
}

// A period report that leaves records out (a day stored twice) says so with every output of it,
// and no longer once another report is shown.
TEST_F(WindowReport, TheOutputsOfAPeriodReportTellWhatItLeavesOut)
{
    QSqlQuery(QStringLiteral("insert into kq0001 (memberid, zhdate, name, depart) select memberid, "
                             "zhdate || ' 08:00:00', name, depart from kq0001 where zhdate = '2026-10-05' "
                             "and memberid = (select min(memberid) from kq0001)"),
              suite->connection());
    QStringList said;
    for (const int kind : {3, 2}) {
        test::chooseKind(*window, kind);
        enterNode("A生产部");
        ui().files.push_back(dir.filePath(QStringLiteral("k%1.xlsx").arg(kind)));
        test::trigger(*window, "MN06");
        said << status().section(QStringLiteral("；"), 1);
    }
    EXPECT_TRUE(said.join('|').startsWith("部门一期有 1 条记录没有自己的日期行"))
        << said.join('|').toStdString();
    EXPECT_EQ(said.last(), QString());
}

// Kind 2 previewed, then printed as previewed without a dialog (no printer: a PDF), editing
// taken away; exported through the save dialog: cancelled, a .vts name (an Excel workbook all
// the same), a desktop without a spreadsheet program. With 打印 restricted, the preview offers no
// printing either. Without a usable temporary folder the print says that nothing was printed,
// and why.
TEST_F(WindowReport, KindTwoPreviewPrintAndExport)
{
    test::chooseKind(*window, 2);
    enterNode("A生产部");
    const QString title = window->book().sheetName(1);
    const QString settings = suite->settingsDirectory() + "/" + suite->settingsFileName();
    suite->writeSetting("TALOR", "考勤日报MENU", "输出", settings); // another command restricted
    test::trigger(*window, "MN04");
    EXPECT_EQ(std::pair(ui().dialogsShown, ui().previewPrintable),
              std::pair(QStringList{"printPreview"}, std::optional<bool>(true)));
    ASSERT_TRUE(status().startsWith("报表预览：")) << status().toStdString();
    const int previewPages = status().section("：", 1).section(" ", 0, 0).toInt();
    window->book().setAllowInCellEditing(true);
    test::trigger(*window, "MN05");
    // The printed pages are the previewed ones.
    const QStringList pages = test::pdfPages(pdf());
    EXPECT_EQ(std::tuple(pages.size(),
                         bool(test::containsAll(pages.value(0), {"制表人: ", sheet().text(5, 2)})),
                         ui().dialogsShown.size(), window->book().allowInCellEditing(), status(),
                         window->book().sheetName(1)),
              std::tuple(previewPages, true, qsizetype(1), false,
                         QStringLiteral("报表打印：没有打印机，%1 页已写到 %2").arg(previewPages).arg(pdf()),
                         title));

    // The file chosen (empty: cancelled), whether the desktop has a program; the status.
    const std::tuple<const char*, bool, const char*> exports[] = {
        {"", true, "输出：已取消"},
        {"日报.vts", true, "并已在电子表格程序中打开"},
        {"日报.xlsx", false, "没有可打开它的电子表格程序"}};
    for (const auto& [file, program, said] : exports) {
        SCOPED_TRACE(said);
        const QString path = file[0] ? dir.filePath(QString::fromUtf8(file)) : QString();
        ui().files.push_back(file[0] ? std::optional<QString>(" " + path + " ") : std::nullopt);
        ui().desktopHasProgram = program;
        ui().documentsOpened.clear();
        test::trigger(*window, "MN06");
        EXPECT_EQ(std::tuple(status().contains(QString::fromUtf8(said)), ui().documentsOpened.join('|'),
                             file[0] ? test::fileBytes(path).left(2) : QByteArray()),
                  std::tuple(true, path, QByteArray(file[0] ? "PK" : "")))
            << status().toStdString();
    }
    EXPECT_EQ(ui().fileFilters + ui().fileDirectories,
              QStringList(3, QString::fromUtf8(PrintCommands::ExportFilter)) +
                  QStringList(3, suite->temporaryDirectory()));

    // A write that fails over an earlier export (a text longer than a workbook's cell holds)
    // says so, keeps the earlier file and opens nothing; no export asked anything.
    const QString earlier = dir.filePath("日报.xlsx");
    const QByteArray bytes = test::fileBytes(earlier);
    window->book().active().setText(5, 2, QString(40000, u'x'));
    ui().files.push_back(earlier);
    ui().documentsOpened.clear();
    test::trigger(*window, "MN06");
    EXPECT_EQ(std::tuple(status().contains("未写成"), ui().documentsOpened.size(),
                         test::fileBytes(earlier) == bytes, ui().messageTexts()),
              std::tuple(true, qsizetype(0), true, QStringList()))
        << status().toStdString();

    // With 打印 restricted, the preview offers no printing either.
    suite->writeSetting("TALOR", "考勤日报MENU", "保存,打印", settings);
    test::trigger(*window, "MN04");
    blockFolder(suite->temporaryDirectory());
    test::trigger(*window, "MN05");
    EXPECT_EQ(std::tuple(ui().previewPrintable, status().section("；", 0, 0),
                         bool(test::containsAll(status(), {"未完成：", pdf()}))),
              std::tuple(std::optional<bool>(false), QString("报表打印：未打印"), true))
        << status().toStdString();
}

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

// No, or 停止 in the progress dialog while the first person is previewed: the run ends after
// that person, nothing is printed, and a stop asks no question. A current person outside the
// node prints nothing at all, nor does a window laid out anew (another kind and back), whose
// list is empty until a node is entered.
TEST_F(WindowBatch, NoStopOrAPersonOutsideTheNodeEndTheRun)
{
    const std::pair<bool, const char*> ends[] = {{false, "只预览了"}, {true, "已停止，1/"}};
    for (const auto& [stop, said] : ends) {
        SCOPED_TRACE(said);
        ui() = test::ScriptedUi();
        bool progressShown = false, editableWhilePrinting = true;
        ui().previews.push_back([&] {
            progressShown = ui().progressShown == 1 && ui().progressLabels.value(0).contains("1/");
            editableWhilePrinting = window->book().allowInCellEditing();
            ui().stopProgress = stop;
        });
        ui().answers.assign(stop ? 0 : 1, UiService::Answer::No);
        window->book().setAllowInCellEditing(true);
        test::trigger(*window, "MN05");
        // Nothing printed, nor a count of printed persons; an ended run leaves the cell as
        // selecting it makes it: with nothing being edited, not editable.
        EXPECT_EQ(std::tuple(progressShown, editableWhilePrinting, ui().dialogsShown.size(),
                             ui().messages.size(),
                             QList<bool>({QFileInfo::exists(pdf()), QFileInfo::exists(tmp("Tmp.xls")),
                                          window->state().PrintRest, window->book().allowInCellEditing()}),
                             suite->personNumber(),
                             status().contains(QString::fromUtf8(said)) && !status().contains("（预览")),
                  std::tuple(true, false, qsizetype(1), stop ? size_t(0) : size_t(1),
                             QList<bool>({false, true, false, false}), persons[2].section(' ', 0, 0), true))
            << status().toStdString();
    }
    // With unsaved edits the batch, which shows each person anew, asks first: Cancel prints
    // nothing and keeps the edits.
    ui() = test::ScriptedUi();
    unsaved();
    test::trigger(*window, "MN05");
    EXPECT_EQ(std::tuple(ui().messageTexts(), ui().dialogsShown.size(), window->state().DataChanged),
              std::tuple(QStringList{talor::GuardMessage}, qsizetype(0), true));
    window->state().DataChanged = false;
    ui() = test::ScriptedUi();
    suite->setPersonNumber("99999");
    test::trigger(*window, "MN05");
    EXPECT_EQ(std::tuple(ui().dialogsShown.size(), QFileInfo::exists(pdf()), suite->statusValue(),
                         status().contains("99999")),
              std::tuple(qsizetype(0), false, 99, true));
    test::chooseKind(*window, 2);
    test::chooseKind(*window, 1);
    test::trigger(*window, "MN05");
    EXPECT_EQ(
        std::tuple(list()->count(), ui().dialogsShown.size(), status().contains("请先在部门树中选定部门")),
        std::tuple(0, qsizetype(0), true))
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

// Through MN01: 夜班 added with a condition of its own, its kind-2 template designed (column 3
// removed) and saved; the window lays it out again after the dialog and shows its own columns
// and rows, and `talor report --report` shows the same.
TEST_F(WindowReport, AnAddedDesignedReportShowsItsOwnColumnsAndConditions)
{
    const auto labels = [](const grid::Sheet& sheet, int count) {
        QStringList out;
        for (int c = 1; c <= count; ++c)
            out << sheet.text(4, c);
        return out;
    };
    test::chooseKind(*window, 2);
    const QStringList builtIn = labels(sheet(), 5);
    ui().dialogs.push_back([](QDialog& d) {
        child<QPushButton>(d, "Command1")->click();
        auto* reports = child<QListWidget>(d, "List1");
        reports->setCurrentRow(reports->count() - 1);
        child<QPushButton>(d, "Command4")->click();
        return d.result();
    });
    ui().dialogs.push_back([&](QDialog& d) {
        child<QLineEdit>(d, "Text1")->setText("夜班");
        child<QLineEdit>(d, "Text2")->setText("cdfz>0");
        child<QPushButton>(d, "Command1")->click();
        return d.result();
    });
    ui().dialogs.push_back([&](QDialog& d) {
        auto& designer = dynamic_cast<frmMODEL&>(d);
        Q_EMIT designer.F1Book1()->cellClicked(4, 3);
        designer.command(3)->trigger();
        ui().files.push_back(designer.designer().fileDialog().presetName);
        designer.command(5)->trigger();
        designer.command(6)->trigger();
        return d.result();
    });
    test::trigger(*window, "MN01");
    const QStringList shown = labels(sheet(), 4);
    EXPECT_EQ(std::tuple(ui().dialogsShown, ui().messageTexts(), suite->reportKey(), suite->refreshFlag(),
                         window->state().DeptCondition, shown),
              std::tuple(QStringList{"frmSQL0", "frmSQL1", "frmMODEL"}, QStringList(), QString("夜班"), 2,
                         QString("cdfz>0"), builtIn.mid(0, 2) + builtIn.mid(3, 2)));

    enterNode("ROOT");
    EXPECT_LT(sheet().lastRow(), 34) << "the condition leaves persons out";
    BatchReport report(*suite);
    report.run({2, "ROOT", {}, {}, {}, {}, "夜班", false});
    EXPECT_EQ(std::pair(labels(report.book().active(), 4), report.book().active().lastRow()),
              std::pair(shown, sheet().lastRow()));
}

} // namespace
