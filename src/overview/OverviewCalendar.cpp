#include "overview/OverviewCalendar.h"

#include "query/AbnormalOverview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace talor {

OverviewCalendar::OverviewCalendar(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    const QFontMetrics metrics(font());
    m_rowHeight = metrics.height() + 6;
    m_dayWidth = metrics.horizontalAdvance(QStringLiteral("000")) + 6;
    m_nameWidth = metrics.horizontalAdvance(QStringLiteral("0")) * 24;
    m_countWidth = metrics.horizontalAdvance(QStringLiteral("0000")) + 8;
}

void OverviewCalendar::setOverview(const AbnormalOverview* overview, const std::array<QColor, 3>& colours)
{
    m_overview = overview;
    m_colours = colours;
    m_person = 0;
    m_day = 0;
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

int OverviewCalendar::personCount() const
{
    return m_overview ? int(m_overview->persons.size()) : 0;
}

int OverviewCalendar::dayCount() const
{
    return m_overview ? int(m_overview->days.size()) : 0;
}

int OverviewCalendar::visibleRows() const
{
    return std::max(1, (viewport()->height() - headerHeight()) / m_rowHeight);
}

int OverviewCalendar::visibleDays() const
{
    return std::max(1, (viewport()->width() - leftWidth()) / m_dayWidth);
}

void OverviewCalendar::updateScrollBars()
{
    verticalScrollBar()->setRange(0, std::max(0, personCount() - visibleRows()));
    verticalScrollBar()->setPageStep(visibleRows());
    horizontalScrollBar()->setRange(0, std::max(0, dayCount() - visibleDays()));
    horizontalScrollBar()->setPageStep(visibleDays());
}

void OverviewCalendar::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void OverviewCalendar::setCurrent(int person, int day)
{
    m_person = std::clamp(person, 0, std::max(0, personCount() - 1));
    m_day = std::clamp(day, 0, std::max(0, dayCount() - 1));
    QScrollBar* rows = verticalScrollBar();
    if (m_person < rows->value())
        rows->setValue(m_person);
    else if (m_person >= rows->value() + visibleRows())
        rows->setValue(m_person - visibleRows() + 1);
    QScrollBar* days = horizontalScrollBar();
    if (m_day < days->value())
        days->setValue(m_day);
    else if (m_day >= days->value() + visibleDays())
        days->setValue(m_day - visibleDays() + 1);
    viewport()->update();
}

QRect OverviewCalendar::cellRect(int person, int day) const
{
    const int row = person - verticalScrollBar()->value();
    const int column = day - horizontalScrollBar()->value();
    if (person >= personCount() || day >= dayCount() || row < 0 || row >= visibleRows() || column < 0 ||
        column >= visibleDays())
        return {};
    return {leftWidth() + column * m_dayWidth, headerHeight() + row * m_rowHeight, m_dayWidth, m_rowHeight};
}

void OverviewCalendar::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    if (!m_overview)
        return;
    const int firstDay = horizontalScrollBar()->value();
    const int lastDay = std::min(dayCount(), firstDay + visibleDays() + 1) - 1;
    const int first = verticalScrollBar()->value();
    const int last = std::min(personCount(), first + visibleRows() + 1) - 1;
    for (int person = first; person <= last; ++person)
        paintRow(painter, person, headerHeight() + (person - first) * m_rowHeight, firstDay, lastDay);
    paintHeader(painter, firstDay, lastDay);
    // The lines between the days, over the header and the rows in sight.
    painter.setPen(palette().color(QPalette::Mid));
    const int bottom = std::min(viewport()->height(), headerHeight() + (last - first + 1) * m_rowHeight);
    for (int day = firstDay; day <= lastDay + 1; ++day) {
        const int x = leftWidth() + (day - firstDay) * m_dayWidth;
        painter.drawLine(x, 0, x, bottom);
    }
    painter.drawLine(0, headerHeight(), viewport()->width(), headerHeight());
    const QRect current = cellRect(m_person, m_day);
    if (!current.isEmpty() && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(current.adjusted(1, 1, -1, -1));
    }
}

void OverviewCalendar::paintHeader(QPainter& painter, int firstDay, int lastDay) const
{
    const QRect area(0, 0, viewport()->width(), headerHeight());
    painter.fillRect(area, palette().button());
    painter.setPen(palette().color(QPalette::ButtonText));
    const int name = m_nameWidth - 8;
    painter.drawText(QRect(4, 0, name, m_rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("姓名 工号"));
    painter.drawText(QRect(4, m_rowHeight, name, m_rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("每日合计"));
    painter.drawText(QRect(m_nameWidth, 0, m_countWidth - 4, m_rowHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("天数"));
    painter.drawText(QRect(m_nameWidth, m_rowHeight, m_countWidth - 4, m_rowHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(m_overview->total));
    for (int day = firstDay; day <= lastDay; ++day) {
        const QRect cell(leftWidth() + (day - firstDay) * m_dayWidth, 0, m_dayWidth, m_rowHeight);
        const QDate date = m_overview->days[size_t(day)];
        // Saturdays and Sundays stand out among the days.
        if (date.dayOfWeek() >= 6)
            painter.fillRect(cell, palette().mid());
        painter.drawText(cell, Qt::AlignCenter, QString::number(date.day()));
        painter.drawText(cell.translated(0, m_rowHeight), Qt::AlignCenter,
                         QString::number(m_overview->dayCounts[size_t(day)]));
    }
}

void OverviewCalendar::paintRow(QPainter& painter, int person, int y, int firstDay, int lastDay) const
{
    const AbnormalOverview::Person& who = m_overview->persons[size_t(person)];
    if (person == m_person)
        painter.fillRect(QRect(0, y, viewport()->width(), m_rowHeight), palette().alternateBase());
    painter.setPen(palette().color(QPalette::Text));
    const QRect name(4, y, m_nameWidth - 8, m_rowHeight);
    painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(who.name + QLatin1Char(' ') + who.number,
                                                      Qt::ElideRight, name.width()));
    painter.drawText(QRect(m_nameWidth, y, m_countWidth - 4, m_rowHeight), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(m_overview->personCounts[size_t(person)]));
    for (int day = firstDay; day <= lastDay; ++day) {
        const int kind = m_overview->mark(size_t(person), size_t(day));
        if (kind == 0)
            continue;
        const QRect cell(leftWidth() + (day - firstDay) * m_dayWidth, y, m_dayWidth, m_rowHeight);
        painter.fillRect(cell.adjusted(1, 1, 0, 0), m_colours[size_t(kind - 1)]);
        // The kind's number as well: kinds set to one colour are still told apart.
        painter.drawText(cell, Qt::AlignCenter, QString::number(kind));
    }
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(0, y + m_rowHeight - 1, viewport()->width(), y + m_rowHeight - 1);
    painter.setPen(palette().color(QPalette::Text));
}

void OverviewCalendar::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        return setCurrent(m_person - 1, m_day);
    case Qt::Key_Down:
        return setCurrent(m_person + 1, m_day);
    case Qt::Key_Left:
        return setCurrent(m_person, m_day - 1);
    case Qt::Key_Right:
        return setCurrent(m_person, m_day + 1);
    case Qt::Key_PageUp:
        return setCurrent(m_person - visibleRows(), m_day);
    case Qt::Key_PageDown:
        return setCurrent(m_person + visibleRows(), m_day);
    case Qt::Key_Home:
        return control ? setCurrent(0, m_day) : setCurrent(m_person, 0);
    case Qt::Key_End:
        return control ? setCurrent(personCount() - 1, m_day) : setCurrent(m_person, dayCount() - 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (personCount() > 0)
            Q_EMIT personActivated(m_person);
        return;
    default:
        event->ignore();
    }
}

void OverviewCalendar::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || at.y() < headerHeight())
        return QAbstractScrollArea::mousePressEvent(event);
    const int person = verticalScrollBar()->value() + (at.y() - headerHeight()) / m_rowHeight;
    if (person >= personCount())
        return;
    const int day =
        at.x() >= leftWidth() ? horizontalScrollBar()->value() + (at.x() - leftWidth()) / m_dayWidth : m_day;
    setCurrent(person, day);
    Q_EMIT personActivated(person);
}

} // namespace talor
