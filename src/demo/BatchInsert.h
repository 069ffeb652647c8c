#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace talor {

// Inserts many rows into one table quickly on SQLite and PostgreSQL alike: rows are gathered
// and written with one prepared multi-row INSERT per batch (bound values only), which saves
// a round trip per row on a server. The caller runs it inside a transaction.
class BatchInsert
{
public:
    BatchInsert(QSqlDatabase db, const QString& table, const QStringList& columns);

    // Adds a row (one value per column, in column order); writes a full batch.
    void add(const QVariantList& row);
    // Writes the rows still gathered. Throws SuiteError naming the table on failure.
    void finish();
    qint64 rowCount() const { return m_rows; }

private:
    QString statement(int rows) const;
    void write(QSqlQuery& query, int rows);

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    int m_batchRows;
    QVariantList m_pending;
    QSqlQuery m_full; // prepared once for a full batch
    bool m_fullPrepared = false;
    qint64 m_rows = 0;
};

} // namespace talor
