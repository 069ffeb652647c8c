#include "overview/OverviewCalendar.h"

#include "query/AbnormalOverview.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;

// Enter or a click opens a person only where there is one: not below the last row, not in an
// overview without persons. End and Home go to the last and the first day.
TEST(OverviewCalendarTest, APersonIsOpenedOnlyWhereThereIsOne)
{
    AbnormalOverview two, none;
    two.reset({{"00001", "甲"}, {"00002", "乙"}}, QDate(2026, 10, 1), QDate(2026, 10, 3));
    none.reset({}, QDate(2026, 10, 1), QDate(2026, 10, 3));
    OverviewCalendar calendar;
    calendar.resize(600, 400);
    calendar.show();
    QSignalSpy opened(&calendar, &OverviewCalendar::personActivated);
    calendar.setOverview(&two, {Qt::red, Qt::green, Qt::blue});
    const QRect last = calendar.cellRect(1, 2);
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, last.height()));
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, last.center());
    QTest::keyClick(&calendar, Qt::Key_Return);
    QTest::keyClick(&calendar, Qt::Key_End);
    const int lastDay = calendar.currentDay();
    QTest::keyClick(&calendar, Qt::Key_Home);
    EXPECT_EQ(std::pair(lastDay, calendar.currentDay()), std::pair(2, 0));
    calendar.setOverview(&none, {Qt::red, Qt::green, Qt::blue});
    QTest::keyClick(&calendar, Qt::Key_Return);
    QList<int> persons;
    for (const QList<QVariant>& signal : opened)
        persons << signal.at(0).toInt();
    EXPECT_EQ(persons, QList<int>({1, 1}));
}

// The keys scroll the current cell into sight: a page down (as many rows as are in sight), the
// last person and the last day; the arrows stop there, and a step right past the days in sight
// scrolls.
TEST(OverviewCalendarTest, TheCurrentCellStaysInSight)
{
    AbnormalOverview many;
    many.reset(std::vector<AbnormalOverview::Person>(40, {"00001", "甲"}), QDate(2026, 10, 1),
               QDate(2026, 10, 31));
    OverviewCalendar calendar;
    calendar.resize(500, 250);
    calendar.show();
    calendar.setOverview(&many, {Qt::red, Qt::green, Qt::blue});
    int rows = 0;
    while (!calendar.cellRect(rows, 0).isEmpty())
        ++rows;
    int days = 0;
    while (!calendar.cellRect(0, days).isEmpty())
        ++days;
    ASSERT_GT(rows, 1);
    std::string unseen; // the keys after which the cell expected is not current or not in sight
    const auto press = [&](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers, int person,
                           int day) {
        QTest::keyClick(&calendar, key, modifiers);
        if (std::pair(calendar.currentPerson(), calendar.currentDay()) != std::pair(person, day) ||
            calendar.cellRect(person, day).isEmpty())
            unseen += std::string(name) + ' ';
    };
    press("PageDown", Qt::Key_PageDown, {}, rows, 0);
    press("Ctrl+End", Qt::Key_End, Qt::ControlModifier, 39, 0);
    press("End", Qt::Key_End, {}, 39, 30);
    press("Right", Qt::Key_Right, {}, 39, 30);
    press("Down", Qt::Key_Down, {}, 39, 30);
    press("Home", Qt::Key_Home, {}, 39, 0);
    for (int day = 1; day <= days; ++day)
        press("Right", Qt::Key_Right, {}, 39, day);
    EXPECT_EQ(unseen, "");
}
