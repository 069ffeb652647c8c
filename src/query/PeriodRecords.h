#pragma once

#include "db/SharedRecords.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace talor {

class RecordQueries;

// The period records of a node's persons, for the period report of a node (kind 3): each
// person's block is shown from a recordset of that person's period query. Rather than one
// statement per person, the persons' rows are read up to `PersonsPerRead` persons at a time
// in one statement (RecordQueries::periodQueryOfPersons) and shared out into the person's
// recordset, with the person's own query text as its source, so that editing and saving go on
// from it as from the opened query. A person is read by its own query after all when the
// shared rows cannot stand for it: its rows repeat a date (their order among themselves is the
// engine's choice) or, on SQLite, hold dates whose order SQLite might tell otherwise
// (SharedRecords::putInOrder); the personal condition is not one the shared statement can
// carry; or the shared statement failed (the person's own query then fails as it always did).
class PeriodRecords
{
public:
    static constexpr int PersonsPerRead = 500;
    static constexpr int RowsPerRead = 16000;

    // `shared` false: every person by its own query. `personsPerRead`: the most persons one
    // shared statement reads; 0 for personsPerRead(start, end).
    PeriodRecords(const RecordQueries& queries, const QSqlDatabase& connection, const QString& start,
                  const QString& end, const QString& personCondition, bool shared, int personsPerRead = 0);

    // The persons of one shared read over the period: as many as keep it near RowsPerRead rows
    // (a row a day), so that a long period does not hold hundreds of persons' rows at once; at
    // most PersonsPerRead, at least one.
    static int personsPerRead(const QString& start, const QString& end);

    // The persons of the report, in the order they are shown (a number may repeat).
    void setPersons(const QStringList& numbers);
    // The records of person `number`, as `sql` (the person's period query) reads them.
    void open(const QString& number, const QString& sql, Recordset& records);
    // How many of the persons opened so far came from a shared read.
    int sharedCount() const { return m_sharedCount; }

private:
    void readChunk(int chunk);

    const RecordQueries& m_queries;
    QSqlDatabase m_connection;
    QString m_start, m_end, m_personCondition;
    bool m_shared;
    bool m_readOrdered; // the shared statement orders its rows (RecordQueries::sharedReadIsOrdered)
    int m_personsPerRead;
    QStringList m_numbers;       // distinct, in order of first appearance
    QHash<QString, int> m_place; // number -> its place in m_numbers
    SharedRecords m_rows;
    int m_chunk = -1; // the persons m_rows holds: places chunk * m_personsPerRead on
    int m_sharedCount = 0;
};

} // namespace talor
