#pragma once

#include "grid/Sheet.h"
#include "print/PageSetup.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace talor {

struct AbnormalOverview;
class PrintJob;

// The overview laid out as a grid sheet, for the print engine to page: the title, the totals
// and the legend, a bar chart of the marked persons per day drawn in filled cells (each bar
// stacked by kind), then the calendar: the days of the period with their counts, and a row per
// person (name, number, marked days) with each marked day filled in its kind's abnormal colour
// and showing the kind's number, so that a black-and-white print still tells them apart.
class OverviewSheet
{
public:
    static constexpr int ChartRows = 8;
    static constexpr int NameColumn = 1;
    static constexpr int NumberColumn = 2;
    static constexpr int CountColumn = 3;
    static constexpr int FirstDayColumn = 4;
    static constexpr int ChartRow = 3;                     // the chart's top row
    static constexpr int DayRow = ChartRow + ChartRows;    // the days of the period
    static constexpr int DayCountRow = DayRow + 1;         // the count per day and in all
    static constexpr int FirstPersonRow = DayCountRow + 1; // a person per row from here

    // `colours`: the abnormal colours 1..3 (0x00BBGGRR).
    OverviewSheet(const AbnormalOverview& overview, const std::array<quint32, 3>& colours);

    const grid::Sheet& sheet() const { return m_sheet; }
    // "异常一览：生产部 2026-10-01 至 2026-10-31"
    static QString title(const AbnormalOverview& overview);
    // Landscape A4, one page wide, the days and their counts repeated on every page, the page
    // number in the footer.
    static print::PageSetup pageSetup();

    // The pages added to `job` (a PDF, a printer), which the caller finishes. Throws
    // print::PrintError.
    void addPages(PrintJob& job) const;
    // The pages into the PDF at `path`, titled with the overview's title. Throws
    // print::PrintError naming the file when it cannot be written.
    void writePdf(const QString& path) const;

private:
    void writeHeading(const AbnormalOverview& overview);
    void writeChart(const AbnormalOverview& overview);
    void writeCalendar(const AbnormalOverview& overview);

    std::array<quint32, 3> m_colours;
    QString m_title;
    grid::Sheet m_sheet;
};

} // namespace talor
