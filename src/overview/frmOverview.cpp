#include "overview/frmOverview.h"

#include "grid/SheetModel.h"
#include "overview/OverviewCalendar.h"
#include "overview/OverviewSheet.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace talor {

frmOverview::frmOverview(AbnormalOverview overview, const std::array<quint32, 3>& colours, QWidget* parent)
    : QDialog(parent), m_overview(std::move(overview))
{
    setObjectName("frmOverview");
    setWindowTitle(OverviewSheet::title(m_overview));
    const std::array<QColor, 3> shown{grid::SheetModel::colour(colours[0]),
                                      grid::SheetModel::colour(colours[1]),
                                      grid::SheetModel::colour(colours[2])};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildLegend(shown));

    m_calendar = new OverviewCalendar(this);
    m_calendar->setObjectName("OverviewCalendar");
    m_calendar->setOverview(&m_overview, shown);
    connect(m_calendar, &OverviewCalendar::personActivated, this, [this](int person) {
        m_chosen = m_overview.persons[size_t(person)].number;
        accept();
    });
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_calendar);
    split->addWidget(buildChart(shown));
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);
    auto* hint = new QLabel(
        QStringLiteral("单击某人或按 Enter：在主窗口显示此人本期间的个人一期报表；方向键移动；Esc：关闭"),
        this);
    layout->addWidget(hint);
    m_calendar->setFocus();
    resize(900, 680);
}

frmOverview::~frmOverview() = default;

QWidget* frmOverview::buildLegend(const std::array<QColor, 3>& colours)
{
    auto* legend = new QWidget(this);
    legend->setObjectName("OverviewLegend");
    auto* row = new QHBoxLayout(legend);
    row->setContentsMargins(0, 0, 0, 0);
    auto* total = new QLabel(QStringLiteral("%1人，%2合计 %3 人天")
                                 .arg(m_overview.persons.size())
                                 .arg(m_overview.markCaption)
                                 .arg(m_overview.total),
                             legend);
    total->setObjectName("OverviewTotal");
    total->setTextFormat(Qt::PlainText); // the dictionary's caption, as written
    row->addWidget(total);
    for (int kind = 1; kind <= AbnormalOverview::Kinds; ++kind) {
        int days = 0;
        for (int count : m_overview.dayKindCounts[size_t(kind - 1)])
            days += count;
        auto* swatch = new QLabel(legend);
        swatch->setFixedSize(16, 16);
        swatch->setAutoFillBackground(true);
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, colours[size_t(kind - 1)]);
        swatch->setPalette(palette);
        swatch->setFrameShape(QFrame::Box);
        row->addSpacing(12);
        row->addWidget(swatch);
        auto* label = new QLabel(QStringLiteral("%1：%2").arg(m_overview.kindLabel(kind)).arg(days), legend);
        label->setTextFormat(Qt::PlainText);
        row->addWidget(label);
    }
    row->addStretch();
    return legend;
}

QChartView* frmOverview::buildChart(const std::array<QColor, 3>& colours)
{
    auto* series = new QStackedBarSeries;
    for (int kind = 1; kind <= AbnormalOverview::Kinds; ++kind) {
        auto* set = new QBarSet(m_overview.kindLabel(kind));
        set->setColor(colours[size_t(kind - 1)]);
        for (int count : m_overview.dayKindCounts[size_t(kind - 1)])
            set->append(count);
        series->append(set);
    }
    auto* chart = new QChart;
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("每日异常人数"));
    auto* days = new QBarCategoryAxis(chart);
    for (const QDate& day : m_overview.days)
        days->append(QString::number(day.day()));
    chart->addAxis(days, Qt::AlignBottom);
    series->attachAxis(days);
    auto* counts = new QValueAxis(chart);
    counts->setLabelFormat(QStringLiteral("%d"));
    counts->setMin(0);
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* view = new QChartView(chart, this);
    view->setObjectName("OverviewChart");
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::NoFocus);
    view->setMinimumHeight(160);
    return view;
}

} // namespace talor
