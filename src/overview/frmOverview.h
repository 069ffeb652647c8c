#pragma once

#include "query/AbnormalOverview.h"

#include <QDialog>
#include <array>

class QChartView;

namespace talor {

class OverviewCalendar;

// The abnormal overview of a node over a period, modal: the totals with a legend of the kinds
// in their colours, the calendar of persons by days (OverviewCalendar) and a bar chart of the
// marked persons per day, stacked by kind. A click or Enter on a person closes the dialog as
// accepted with that person chosen (the window then shows the person's period); Esc closes it.
class frmOverview : public QDialog
{
    Q_OBJECT

public:
    // `colours`: the abnormal colours 1..3 (0x00BBGGRR).
    frmOverview(AbnormalOverview overview, const std::array<quint32, 3>& colours, QWidget* parent = nullptr);
    ~frmOverview() override;

    const AbnormalOverview& overview() const { return m_overview; }
    // The number of the person opened; empty until one is.
    QString chosenPerson() const { return m_chosen; }

private:
    QWidget* buildLegend(const std::array<QColor, 3>& colours);
    QChartView* buildChart(const std::array<QColor, 3>& colours);

    AbnormalOverview m_overview;
    OverviewCalendar* m_calendar = nullptr;
    QString m_chosen;
};

} // namespace talor
