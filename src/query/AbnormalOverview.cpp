#include "query/AbnormalOverview.h"

#include "db/Recordset.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <QHash>
#include <algorithm>
#include <stdexcept>

namespace talor {

namespace {

// The date of the record's field `column`: a date the driver read as such, or a date text.
QDate dateOf(const Recordset& records, int column)
{
    const QVariant value = records.value(column);
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const auto read = text::parseDateTime(value.toString());
    return read ? read->date() : QDate();
}

} // namespace

QString AbnormalOverview::kindLabel(int kind) const
{
    return markCaption + QLatin1Char(' ') + QString::number(kind);
}

void AbnormalOverview::reset(std::vector<Person> people, const QDate& first, const QDate& last)
{
    persons = std::move(people);
    start = first;
    end = last;
    days.clear();
    for (QDate day = first; day.isValid() && day <= last; day = day.addDays(1))
        days.push_back(day);
    marks.assign(persons.size() * days.size(), 0);
    count();
}

void AbnormalOverview::raise(size_t person, size_t day, int kind)
{
    quint8& mark = marks[person * days.size() + day];
    mark = std::max(mark, quint8(kind));
}

void AbnormalOverview::count()
{
    personCounts.assign(persons.size(), 0);
    dayCounts.assign(days.size(), 0);
    for (auto& counts : dayKindCounts)
        counts.assign(days.size(), 0);
    total = 0;
    for (size_t p = 0; p < persons.size(); ++p) {
        for (size_t d = 0; d < days.size(); ++d) {
            const int kind = mark(p, d);
            if (kind == 0)
                continue;
            ++personCounts[p];
            ++dayCounts[d];
            ++dayKindCounts[size_t(kind - 1)][d];
            ++total;
        }
    }
}

AbnormalOverviewReader::AbnormalOverviewReader(SuiteServices& suite, const QueryState& state)
    : m_suite(suite), m_state(state), m_queries(suite)
{}

AbnormalOverview AbnormalOverviewReader::read(const SelectedNode& node, const QDate& start, const QDate& end)
{
    if (!start.isValid() || !end.isValid() || start > end || start.daysTo(end) >= MaxDays)
        throw std::invalid_argument(QStringLiteral("异常一览的期间须是不超过 %1 天的有效期间（%2 至 %3）")
                                        .arg(MaxDays)
                                        .arg(start.toString(Qt::ISODate), end.toString(Qt::ISODate))
                                        .toStdString());
    AbnormalOverview overview;
    overview.nodeText = node.text;
    // The rows are coloured only where the dictionary knows nCOLOR: without it nothing is marked.
    overview.markCaption = m_suite.fieldCaption(QStringLiteral("nCOLOR"));
    if (overview.markCaption.isEmpty())
        throw std::invalid_argument(
            QStringLiteral("数据字典中没有 nCOLOR 字段，考勤记录没有异常标志，无法显示异常一览")
                .toStdString());

    const QSqlDatabase connection = m_suite.connection();
    Recordset records;
    records.open(m_queries.employeesQuery(node, m_state.SuiteFilter), connection);
    std::vector<AbnormalOverview::Person> persons;
    QHash<QString, size_t> place;
    const int number = records.column(QStringLiteral("memberid"));
    const int name = records.column(QStringLiteral("name"));
    for (; !records.eof(); records.moveNext()) {
        const QString memberid = records.text(number);
        if (place.contains(memberid))
            continue;
        place.insert(memberid, persons.size());
        persons.push_back({memberid, name < 0 ? QString() : records.text(name)});
    }
    overview.reset(std::move(persons), start, end);

    records.open(m_queries.abnormalDaysQuery(node, start, end, m_state.SuiteFilter, m_state.PersonCondition),
                 connection, Recordset::ManyRows);
    const int memberid = records.column(QStringLiteral("memberid"));
    const int zhdate = records.column(QStringLiteral("zhdate"));
    const int kind = records.column(QStringLiteral("talor_kind"));
    for (; !records.eof(); records.moveNext()) {
        const auto person = place.constFind(records.text(memberid));
        const qint64 day = start.daysTo(dateOf(records, zhdate));
        const int mark = int(text::numericValue(records.text(kind)));
        if (person != place.cend() && day >= 0 && day < qint64(overview.days.size()) && mark >= 1 &&
            mark <= AbnormalOverview::Kinds)
            overview.raise(*person, size_t(day), mark);
    }
    overview.count();
    return overview;
}

} // namespace talor
