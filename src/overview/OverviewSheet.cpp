#include "overview/OverviewSheet.h"

#include "print/PageRenderer.h"
#include "print/PrintGrid.h"
#include "query/AbnormalOverview.h"
#include "report/PrintRun.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace talor {

namespace {

constexpr quint32 LineColour = 0xC0C0C0;

grid::CellFormat cellFormat(quint32 fill, bool framed)
{
    grid::CellFormat format;
    if (fill != 0xFFFFFF)
        format.fill = {1, fill, fill};
    if (framed) {
        format.border = {1, 1, 1, 1, LineColour, LineColour, LineColour, LineColour};
    }
    return format;
}

} // namespace

OverviewSheet::OverviewSheet(const AbnormalOverview& overview, const std::array<quint32, 3>& colours)
    : m_colours(colours), m_title(title(overview))
{
    const grid::Sheet::Batch batch(m_sheet);
    m_sheet.setLastColumn(FirstDayColumn + int(overview.days.size()) - 1);
    m_sheet.setLastRow(FirstPersonRow + int(overview.persons.size()) - 1);
    writeHeading(overview);
    writeChart(overview);
    writeCalendar(overview);
}

QString OverviewSheet::title(const AbnormalOverview& overview)
{
    return QStringLiteral("异常一览：%1 %2 至 %3")
        .arg(overview.nodeText, overview.start.toString(Qt::ISODate), overview.end.toString(Qt::ISODate));
}

print::PageSetup OverviewSheet::pageSetup()
{
    print::PageSetup setup;
    setup.orientation = print::Orientation::Landscape;
    setup.fitToPages = true;
    setup.fitToPagesWide = 1;
    setup.fitToPagesTall = 0;
    setup.titleRows = std::pair(DayRow, DayCountRow);
    setup.centerFooter = QStringLiteral("第 &P 页，共 &N 页");
    return setup;
}

void OverviewSheet::writeHeading(const AbnormalOverview& overview)
{
    m_sheet.setPlainText(1, NameColumn, m_title);
    m_sheet.setPlainText(2, NameColumn, overview.markCaption + QStringLiteral("合计"));
    m_sheet.setNumber(2, CountColumn, overview.total);
    // The legend: a swatch of each kind's colour, its name and how many days it marks.
    for (int kind = 1; kind <= AbnormalOverview::Kinds; ++kind) {
        const int column = FirstDayColumn + (kind - 1) * 8;
        int days = 0;
        for (int count : overview.dayKindCounts[size_t(kind - 1)])
            days += count;
        m_sheet.setFormat(2, column, cellFormat(m_colours[size_t(kind - 1)], true));
        m_sheet.setPlainText(2, column + 1, QStringLiteral("%1：%2").arg(overview.kindLabel(kind)).arg(days));
    }
    for (int column = 1; column <= m_sheet.lastColumn(); ++column)
        m_sheet.setColumnWidth(column, column >= FirstDayColumn ? 24 : column == NameColumn ? 90 : 60);
}

void OverviewSheet::writeChart(const AbnormalOverview& overview)
{
    const int most = std::max(1, overview.dayCounts.empty() ? 1
                                                            : *std::max_element(overview.dayCounts.cbegin(),
                                                                                overview.dayCounts.cend()));
    m_sheet.setPlainText(ChartRow, NameColumn, QStringLiteral("每日异常人数"));
    m_sheet.setNumber(ChartRow, CountColumn, most);
    m_sheet.setNumber(DayRow - 1, CountColumn, 0);
    // Each day's bar from the bottom up, kind 1 lowest: a kind takes the cells up to its
    // share of the bar, the bar as tall as the day's count against the busiest day.
    for (size_t day = 0; day < overview.days.size(); ++day) {
        const int column = FirstDayColumn + int(day);
        int below = 0;
        int cells = 0;
        for (int kind = 1; kind <= AbnormalOverview::Kinds; ++kind) {
            below += overview.dayKindCounts[size_t(kind - 1)][day];
            const int top = int(std::lround(double(below) * ChartRows / most));
            for (; cells < top; ++cells)
                m_sheet.setFormat(DayRow - 1 - cells, column, cellFormat(m_colours[size_t(kind - 1)], false));
        }
    }
}

void OverviewSheet::writeCalendar(const AbnormalOverview& overview)
{
    const grid::CellFormat frame = cellFormat(0xFFFFFF, true);
    const std::array<grid::CellFormat, 3> marked{
        cellFormat(m_colours[0], true), cellFormat(m_colours[1], true), cellFormat(m_colours[2], true)};
    const int lastColumn = m_sheet.lastColumn();
    auto frameRow = [&](int row) {
        for (int column = 1; column <= lastColumn; ++column)
            m_sheet.setFormat(row, column, frame);
    };
    m_sheet.setPlainText(DayRow, NameColumn, QStringLiteral("姓名"));
    m_sheet.setPlainText(DayRow, NumberColumn, QStringLiteral("工号"));
    m_sheet.setPlainText(DayRow, CountColumn, QStringLiteral("天数"));
    m_sheet.setPlainText(DayCountRow, NameColumn, QStringLiteral("每日合计"));
    m_sheet.setNumber(DayCountRow, CountColumn, overview.total);
    frameRow(DayRow);
    frameRow(DayCountRow);
    for (size_t day = 0; day < overview.days.size(); ++day) {
        const int column = FirstDayColumn + int(day);
        m_sheet.setNumber(DayRow, column, overview.days[day].day());
        m_sheet.setNumber(DayCountRow, column, overview.dayCounts[day]);
    }
    for (size_t person = 0; person < overview.persons.size(); ++person) {
        const int row = FirstPersonRow + int(person);
        m_sheet.setPlainText(row, NameColumn, overview.persons[person].name);
        m_sheet.setPlainText(row, NumberColumn, overview.persons[person].number);
        m_sheet.setNumber(row, CountColumn, overview.personCounts[person]);
        frameRow(row);
        for (size_t day = 0; day < overview.days.size(); ++day) {
            if (const int kind = overview.mark(person, day); kind > 0) {
                const int column = FirstDayColumn + int(day);
                m_sheet.setFormat(row, column, marked[size_t(kind - 1)]);
                m_sheet.setNumber(row, column, kind);
            }
        }
    }
}

void OverviewSheet::addPages(PrintJob& job) const
{
    const print::SheetPrintGrid grid(m_sheet);
    const print::PageRenderer renderer(
        grid, pageSetup(), print::HeaderFooterContext{m_title, job.pdfPath(), QDateTime::currentDateTime()});
    job.add({&renderer});
}

void OverviewSheet::writePdf(const QString& path) const
{
    const auto job = PrintJob::toPdf(path, m_title);
    addPages(*job);
    job->finish();
}

} // namespace talor
