#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <array>

namespace talor {

struct AbnormalOverview;

// The overview's calendar: a row per person and a column per day, each marked day filled in
// its kind's colour. The person's name and number and the count of marked days stay on the
// left, the days and the count per day stay on top, while the rows and days scroll. Only the
// rows in sight are painted, so ten thousand persons paint as fast as ten.
//
// The current cell moves with the arrow keys, Page Up and Down, Home and End (Ctrl for the
// first and last person); Enter, or a click on a person's row, opens the person
// (personActivated). Keys it does not use (Esc) go on to the dialog.
class OverviewCalendar : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit OverviewCalendar(QWidget* parent = nullptr);

    // Shows `overview` (which must outlive the calendar or the next call) in `colours`.
    void setOverview(const AbnormalOverview* overview, const std::array<QColor, 3>& colours);

    int currentPerson() const { return m_person; }
    int currentDay() const { return m_day; }
    // Makes the cell current and scrolls it into sight.
    void setCurrent(int person, int day);
    // Where a person's day is in the viewport; empty when it is not in sight.
    QRect cellRect(int person, int day) const;

Q_SIGNALS:
    void personActivated(int person);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int personCount() const;
    int dayCount() const;
    int headerHeight() const { return 2 * m_rowHeight; }
    int leftWidth() const { return m_nameWidth + m_countWidth; }
    int visibleRows() const;
    int visibleDays() const;
    void updateScrollBars();
    void paintHeader(QPainter& painter, int firstDay, int lastDay) const;
    void paintRow(QPainter& painter, int person, int y, int firstDay, int lastDay) const;

    const AbnormalOverview* m_overview = nullptr;
    std::array<QColor, 3> m_colours;
    int m_person = 0;
    int m_day = 0;
    int m_rowHeight = 20;
    int m_dayWidth = 24;
    int m_nameWidth = 160;
    int m_countWidth = 40;
};

} // namespace talor
