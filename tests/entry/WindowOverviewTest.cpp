// The abnormal overview opened from the main window on the demo suite: Esc closes it as it
// was, a person chosen by keyboard or by a click is shown in the person report (kind 1) over
// the window's period, as Option1 and the list show a person.
#include "entry/DemoModule.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "overview/OverviewCalendar.h"
#include "overview/frmOverview.h"

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

using namespace talor;

namespace {

class WindowOverview : public test::DemoWindow
{
protected:
    void enterNode(const QString& key)
    {
        auto* tree = window->findChild<QTreeWidget*>("TreeView1");
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toString() == key)
                tree->setCurrentItem(*it);
        QTest::keyClick(tree, Qt::Key_Return);
    }
    // Opens the overview; `operate` works the calendar of the dialog shown and returns the
    // place of the person it chose (-1 for none); the chosen person's number.
    QString openOverview(const std::function<int(OverviewCalendar&)>& operate)
    {
        QString chosen;
        ui.dialogs.push_back([&](QDialog& dialog) {
            dialog.show();
            auto* calendar = dialog.findChild<OverviewCalendar*>("OverviewCalendar");
            const auto& overview = static_cast<frmOverview&>(dialog).overview();
            if (const int person = operate(*calendar); person >= 0)
                chosen = overview.persons[size_t(person)].number;
            EXPECT_EQ(static_cast<frmOverview&>(dialog).chosenPerson(), chosen);
            return dialog.result();
        });
        window->findChild<QAction*>("Overview")->trigger();
        EXPECT_EQ(ui.dialogsShown.last(), "frmOverview");
        return chosen;
    }
    QString label(int n) { return window->findChild<QLabel*>(QStringLiteral("Label%1").arg(n))->text(); }
    // The name of the sheet the grid shows.
    QString sheetName() { return window->findChild<grid::SheetView*>("F1Book1")->workbook()->sheetName(1); }
};

TEST_F(WindowOverview, APersonChosenInTheOverviewIsShownInKindOneOverThePeriod)
{
    window->findChild<QDateEdit*>("PeriodTo")->setDate(QDate(2026, 10, 31));
    window->findChild<QDateEdit*>("PeriodFrom")->setDate(QDate(2026, 10, 1));
    window->findChild<QRadioButton*>("Option3")->click();
    enterNode("A生产部");
    const QString kindThree = sheetName();

    openOverview([](OverviewCalendar& calendar) {
        QTest::keyClick(&calendar, Qt::Key_Down);
        QTest::keyClick(&calendar, Qt::Key_Escape);
        return -1;
    });
    EXPECT_EQ(std::pair(suite->reportOption(), sheetName()), std::pair(QString("3"), kindThree))
        << "closed with Esc, the window shows what it showed";

    const struct
    {
        const char* how;
        std::function<int(OverviewCalendar&)> operate;
    } choices[] = {
        {"keyboard",
         [](OverviewCalendar& calendar) {
             QTest::keyClick(&calendar, Qt::Key_Down);
             QTest::keyClick(&calendar, Qt::Key_Down);
             QTest::keyClick(&calendar, Qt::Key_Right);
             QTest::keyClick(&calendar, Qt::Key_Return);
             return 2;
         }},
        {"click",
         [](OverviewCalendar& calendar) {
             QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, calendar.cellRect(1, 3).center());
             return 1;
         }},
    };
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.how);
        const QString number = openOverview(choice.operate);
        ASSERT_FALSE(number.isEmpty());
        auto* list = window->findChild<QListWidget*>("ListView1");
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toString(), "A" + number);
        EXPECT_TRUE(window->findChild<QRadioButton*>("Option1")->isChecked());
        EXPECT_EQ(suite->reportOption() + "|" + suite->personNumber(), "1|" + number);
        EXPECT_EQ(label(2), "2026-10-01 至 2026-10-31");
        EXPECT_TRUE(label(3).startsWith(suite->personName() + "(" + number + ",生产部"))
            << label(3).toStdString();
        EXPECT_EQ(sheetName(), label(3) + "个人考勤表");
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messageTexts().join("\n").toStdString();
}

} // namespace
