#include "query/PeriodRecords.h"

#include "query/RecordQueries.h"
#include "text/TextFunctions.h"

#include <algorithm>

namespace talor {

PeriodRecords::PeriodRecords(const RecordQueries& queries, const QSqlDatabase& connection,
                             const QString& start, const QString& end, const QString& personCondition,
                             bool shared, int personsPerRead)
    : m_queries(queries), m_connection(connection), m_start(start), m_end(end),
      m_personCondition(personCondition), m_shared(shared), m_readOrdered(queries.sharedReadIsOrdered()),
      m_personsPerRead(personsPerRead > 0 ? personsPerRead : PeriodRecords::personsPerRead(start, end))
{}

int PeriodRecords::personsPerRead(const QString& start, const QString& end)
{
    const auto from = text::parseDateTime(start);
    const auto to = text::parseDateTime(end);
    if (!from || !to)
        return PersonsPerRead;
    const qint64 days = from->date().daysTo(to->date()) + 1;
    return days <= 0 ? PersonsPerRead : int(std::clamp<qint64>(RowsPerRead / days, 1, PersonsPerRead));
}

void PeriodRecords::setPersons(const QStringList& numbers)
{
    m_numbers.clear();
    m_place.clear();
    m_rows.close();
    m_chunk = -1;
    for (const QString& number : numbers) {
        if (!m_place.contains(number)) {
            m_place.insert(number, int(m_numbers.size()));
            m_numbers.append(number);
        }
    }
}

void PeriodRecords::readChunk(int chunk)
{
    m_rows.close();
    m_chunk = chunk;
    const QString sql =
        m_queries.periodQueryOfPersons(m_numbers.mid(qsizetype(chunk) * m_personsPerRead, m_personsPerRead),
                                       m_start, m_end, m_personCondition);
    if (sql.isEmpty()) {
        m_shared = false;
        return;
    }
    try {
        m_rows.open(sql, m_connection);
    } catch (const DatabaseError&) {
        // Something of the personal condition or the table that the join does not take as the
        // single person's query does: the persons' own queries read, or fail, as they do.
        m_shared = false;
    }
}

void PeriodRecords::open(const QString& number, const QString& sql, Recordset& records)
{
    const auto place = m_place.constFind(number);
    if (m_shared && place != m_place.cend()) {
        const int chunk = *place / m_personsPerRead;
        if (chunk != m_chunk)
            readChunk(chunk);
        const int share = *place % m_personsPerRead;
        const QString date = QStringLiteral("zhdate");
        if (m_shared && (m_readOrdered ? !m_rows.repeats(share, date) : m_rows.putInOrder(share, date))) {
            m_rows.shareInto(share, sql, records);
            ++m_sharedCount;
            return;
        }
    }
    records.open(sql, m_connection);
}

} // namespace talor
