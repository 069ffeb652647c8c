#include "demo/BatchInsert.h"

#include "suite/SuiteServices.h"

#include <QSqlError>
#include <algorithm>

namespace talor {

namespace {
// Older SQLite builds allow 999 bound values per statement; stay below that everywhere.
constexpr int MaxBoundValues = 990;
} // namespace

BatchInsert::BatchInsert(QSqlDatabase db, const QString& table, const QStringList& columns)
    : m_db(std::move(db)), m_table(table), m_columns(columns),
      m_batchRows(std::max<int>(1, MaxBoundValues / std::max<int>(1, int(columns.size())))), m_full(m_db)
{
    m_pending.reserve(m_batchRows * columns.size());
}

QString BatchInsert::statement(int rows) const
{
    QString one = QStringLiteral("(") +
                  QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1Char(',')) +
                  QStringLiteral(")");
    return QStringLiteral("insert into %1 (%2) values ").arg(m_table, m_columns.join(QLatin1Char(','))) +
           QStringList(rows, one).join(QLatin1Char(','));
}

void BatchInsert::write(QSqlQuery& query, int rows)
{
    for (qsizetype i = 0; i < qsizetype(rows) * m_columns.size(); ++i)
        query.bindValue(int(i), m_pending.at(i));
    if (!query.exec())
        throw SuiteError(
            QStringLiteral("inserting rows into %1 failed: %2").arg(m_table, query.lastError().text()));
    m_rows += rows;
    m_pending.clear();
}

void BatchInsert::add(const QVariantList& row)
{
    if (row.size() != m_columns.size())
        throw SuiteError(QStringLiteral("a row for %1 has %2 values for %3 columns")
                             .arg(m_table)
                             .arg(row.size())
                             .arg(m_columns.size()));
    m_pending.append(row);
    if (m_pending.size() < qsizetype(m_batchRows) * m_columns.size())
        return;
    if (!m_fullPrepared) {
        if (!m_full.prepare(statement(m_batchRows)))
            throw SuiteError(QStringLiteral("preparing the insert into %1 failed: %2")
                                 .arg(m_table, m_full.lastError().text()));
        m_fullPrepared = true;
    }
    write(m_full, m_batchRows);
}

void BatchInsert::finish()
{
    if (m_pending.isEmpty())
        return;
    const int rows = int(m_pending.size() / m_columns.size());
    QSqlQuery tail(m_db);
    if (!tail.prepare(statement(rows)))
        throw SuiteError(
            QStringLiteral("preparing the insert into %1 failed: %2").arg(m_table, tail.lastError().text()));
    write(tail, rows);
}

} // namespace talor
