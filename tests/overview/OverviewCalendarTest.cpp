#include "overview/OverviewCalendar.h"

#include "overview/frmOverview.h"
#include "query/AbnormalOverview.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChartView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedBarSeries>
#include <QTest>
#include <gtest/gtest.h>

using namespace talor;

// The dialog's title, its legend (the persons, the days in all and of each kind) and the chart,
// a bar per day of the month stacked by kind. Enter or a click in its calendar opens a person
// only where there is one: not below the last row, not in the days' header, not in an overview
// without persons; a cell's top left pixel is the cell's.
TEST(OverviewCalendarTest, TheDialogTellsTheDaysOfEachKindAndOpensAPersonOnlyWhereThereIsOne)
{
    AbnormalOverview two, none;
    two.nodeText = "生产部";
    two.markCaption = "异常";
    two.reset({{"00001", "甲"}, {"00002", "乙"}}, QDate(2026, 10, 1), QDate(2026, 10, 3));
    for (const auto& [person, day, kind] : {std::tuple(0, 0, 1), {1, 0, 2}, {1, 2, 2}, {0, 2, 3}})
        two.raise(size_t(person), size_t(day), kind);
    two.count();
    frmOverview dialog(two, {0x0000FF, 0x00FF00, 0xFF0000});
    QStringList shown{dialog.windowTitle()};
    for (const QLabel* label : dialog.findChild<QWidget*>("OverviewLegend")->findChildren<QLabel*>())
        shown << label->text();
    const QChart* chart = dialog.findChild<QChartView*>("OverviewChart")->chart();
    for (const QBarSet* set : static_cast<QStackedBarSeries*>(chart->series().at(0))->barSets())
        shown << QString::number(set->at(0)) + QString::number(set->at(1)) + QString::number(set->at(2));
    shown << static_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).at(0))->categories().join(u',');
    EXPECT_EQ(shown.join(u'|'),
              "异常一览：生产部 2026-10-01 至 2026-10-03|2人，异常合计 4 人天||异常 1：1||异常 2：2||"
              "异常 3：1|100|101|001|1,2,3");

    dialog.show();
    OverviewCalendar& calendar = *dialog.findChild<OverviewCalendar*>("OverviewCalendar");
    QSignalSpy opened(&calendar, &OverviewCalendar::personActivated);
    QTest::keyClick(&calendar, Qt::Key_End); // then a click on the first day's top left pixel
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, calendar.cellRect(0, 0).topLeft());
    const auto first = std::tuple(calendar.currentDay(), calendar.cellRect(2, 2), calendar.cellRect(1, 3));
    const QRect last = calendar.cellRect(1, 2);
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), 1));
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, last.center() + QPoint(0, last.height()));
    QTest::mouseClick(calendar.viewport(), Qt::LeftButton, {}, last.center());
    QTest::keyClick(&calendar, Qt::Key_Return);
    calendar.setOverview(&none, {Qt::red, Qt::green, Qt::blue});
    QTest::keyClick(&calendar, Qt::Key_Return);
    EXPECT_EQ(
        std::tuple(first, QList<QVariantList>(opened), dialog.chosenPerson()),
        std::tuple(std::tuple(0, QRect(), QRect()), QList<QVariantList>{{0}, {1}, {1}}, QString("00002")));
}

// Forty persons over October in a calendar of 500 × 250 pixels: `rows` persons and `days` days
// in sight.
class CalendarOfForty : public ::testing::Test
{
protected:
    void SetUp() override
    {
        many.reset(std::vector<AbnormalOverview::Person>(40, {"00001", "甲"}), QDate(2026, 10, 1),
                   QDate(2026, 10, 31));
        calendar.resize(500, 250);
        calendar.show();
        calendar.setOverview(&many, {Qt::red, Qt::green, Qt::blue});
        rows = calendar.verticalScrollBar()->pageStep();
        days = calendar.horizontalScrollBar()->pageStep();
    }

    AbnormalOverview many;
    OverviewCalendar calendar;
    int rows = 0, days = 0;
};

// The keys scroll the current cell into sight: a page down (as many rows as are in sight), the
// last person and the last day; the arrows stop there, and a step right past the days in sight
// scrolls.
TEST_F(CalendarOfForty, TheCurrentCellStaysInSight)
{
    ASSERT_GT(rows, 1);
    std::string unseen; // the keys after which the cell expected is not current or not in sight
    // Each key with the cell it makes current: right from the first day past those in sight.
    std::vector<std::tuple<Qt::Key, Qt::KeyboardModifiers, int, int>> keys{
        {Qt::Key_PageDown, {}, rows, 0}, {Qt::Key_End, Qt::ControlModifier, 39, 0},
        {Qt::Key_End, {}, 39, 30},       {Qt::Key_Right, {}, 39, 30},
        {Qt::Key_Left, {}, 39, 29},      {Qt::Key_Down, {}, 39, 29},
        {Qt::Key_Home, {}, 39, 0}};
    for (int day = 1; day <= days; ++day)
        keys.push_back({Qt::Key_Right, {}, 39, day});
    keys.insert(keys.end(),
                {{Qt::Key_PageUp, {}, 39 - rows, days}, {Qt::Key_Home, Qt::ControlModifier, 0, days}});
    for (const auto& [key, modifiers, person, day] : keys) {
        QTest::keyClick(&calendar, key, modifiers);
        if (std::pair(calendar.currentPerson(), calendar.currentDay()) != std::pair(person, day) ||
            calendar.cellRect(person, day).isEmpty())
            unseen += QKeySequence(modifiers | key).toString().toStdString() + ' ';
    }
    // The rows and days scroll no further than the last; the cells past those in sight have no place.
    EXPECT_EQ(std::tuple(unseen, calendar.verticalScrollBar()->maximum(),
                         calendar.horizontalScrollBar()->maximum(), calendar.cellRect(rows, days),
                         calendar.cellRect(0, days + 1)),
              std::tuple(std::string(), 40 - rows, 31 - days, QRect(), QRect()));
}

// Each mark is painted in its kind's colour where its cell lies, scrolled or not, up to the day
// and the person shown only in part; a cell without a mark keeps the view's base colour. A cell
// is sampled a little inside its top left corner, clear of its lines and its kind's number.
TEST_F(CalendarOfForty, EachMarkIsPaintedInItsKindsColourWhereItsCellLies)
{
    ASSERT_GT(std::min(rows, days), 2);
    for (const auto& [person, day, kind] : {std::tuple(1, 1, 1), {rows - 1, days - 1, 2}, {rows, days, 3}})
        many.raise(size_t(person), size_t(day), kind);
    many.count();
    calendar.setOverview(&many, {Qt::red, Qt::green, Qt::blue});
    // The colour a little inside the corner of the cell `steps` cells right and down of (person, day).
    const auto colourAt = [&](int person, int day, int steps = 0) -> std::optional<QColor> {
        const QRect cell = calendar.cellRect(person, day);
        const QPoint at = cell.topLeft() + QPoint(3, 3) + steps * QPoint(cell.width(), cell.height());
        const QImage image = calendar.viewport()->grab().toImage();
        return image.rect().contains(at) ? std::optional(QColor(image.pixel(at))) : std::nullopt;
    };
    const QColor base = calendar.palette().base().color();
    EXPECT_EQ(std::tuple(colourAt(1, 1), colourAt(rows - 1, days - 1), colourAt(2, 2)),
              std::tuple(QColor(Qt::red), QColor(Qt::green), base));
    if (const auto partly = colourAt(rows - 1, days - 1, 1)) {
        EXPECT_EQ(*partly, QColor(Qt::blue)) << "the person and the day shown in part";
    }
    calendar.horizontalScrollBar()->setValue(1);
    calendar.verticalScrollBar()->setValue(1);
    EXPECT_EQ(std::tuple(colourAt(1, 1), colourAt(rows, days)), std::tuple(QColor(Qt::red), QColor(Qt::blue)))
        << "scrolled a day and a person on";
}
