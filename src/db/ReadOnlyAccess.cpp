// A read that cannot write. On SQLite the connection is query-only while the statement runs (a
// statement cannot switch that back: the pragma is a statement of its own). On PostgreSQL the
// statement runs in a read-only transaction of its own that is rolled back, never committed,
// so that even a function the server lets write in such a transaction (lo_create) leaves
// nothing behind; the server first parses the text as one prepared statement, which it refuses
// for a text of several, so nothing can end the transaction early.

#include "db/Connections.h"
#include "db/EngineHandles.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace talor {

using engine::Result;

namespace {

// The session's own words for a failed command, as Qt SQL's driver reports them.
QSqlError postgresError(const PGresult* result, const QString& what)
{
    return QSqlError(what, QString::fromUtf8(PQresultErrorMessage(result)).trimmed(),
                     QSqlError::StatementError,
                     QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE)));
}

// Sets SQLite's query-only pragma through SQLite's own library, cheaply: every read turns it on
// and off, and a report of a period reads many times. False where there is no handle or the pragma
// failed, for Qt SQL to run it and say why.
bool setQueryOnly(const QSqlDatabase& connection, bool on)
{
    sqlite3* db = engine::sqliteHandle(connection);
    return db && sqlite3_exec(db, on ? "PRAGMA query_only = 1" : "PRAGMA query_only = 0", nullptr, nullptr,
                              nullptr) == SQLITE_OK;
}

} // namespace

void Recordset::beginReading()
{
    if (m_connection.driverName() == u"QSQLITE") {
        if (setQueryOnly(m_connection, true))
            return;
        QSqlQuery query;
        if (!Connections::execute(query, m_connection, u"PRAGMA query_only = 1"_qs))
            Connections::fail(
                m_connection,
                QCoreApplication::translate("talor", "the connection could not be made read-only"),
                query.lastError(), m_sql);
        return;
    }
    if (Connections::lost(m_connection) && !TransactionScope::isActive(m_connection))
        Connections::reconnect(m_connection);
    PGconn* session = engine::postgresSession(m_connection);
    if (!session)
        return;
    if (PQtransactionStatus(session) == PQTRANS_ACTIVE) {
        // A query of Qt SQL's still reading its rows: Qt SQL drops them before its next statement.
        QSqlQuery(m_connection).exec(u"SELECT 1"_qs);
    }
    // A transaction of someone else's (Qt SQL's own, say) would take this read into it, and
    // the rollback after it would take that transaction's work back.
    if (PQtransactionStatus(session) != PQTRANS_IDLE)
        throw DatabaseError(
            QCoreApplication::translate(
                "talor", "a query cannot run read-only inside a transaction; nothing was read\nSQL: %1")
                .arg(m_sql));
    const QString begin = u"BEGIN READ ONLY"_qs;
    Result begun(PQexec(session, "BEGIN READ ONLY"));
    // A session the server ended while it was idle (a restart, an idle timeout) shows only
    // here: it is connected again and the read begun once more, as any statement would be.
    if (PQresultStatus(begun.get()) != PGRES_COMMAND_OK && PQstatus(session) == CONNECTION_BAD &&
        !TransactionScope::isActive(m_connection)) {
        Connections::reconnect(m_connection);
        session = engine::postgresSession(m_connection);
        if (!session)
            return;
        begun.reset(PQexec(session, "BEGIN READ ONLY"));
    }
    if (PQresultStatus(begun.get()) != PGRES_COMMAND_OK)
        Connections::fail(m_connection,
                          QCoreApplication::translate("talor", "the read-only transaction could not begin"),
                          postgresError(begun.get(), begin), m_sql);
    m_reading = true;
    const QByteArray statement = m_sql.toUtf8();
    const Result described(PQprepare(session, "", statement.constData(), 0, nullptr));
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK) {
        const QSqlError error = postgresError(described.get(), QStringLiteral("Unable to prepare statement"));
        endReading();
        Connections::fail(m_connection, QCoreApplication::translate("talor", "the statement failed"), error,
                          m_sql);
    }
}

void Recordset::endReading() noexcept
{
    if (m_connection.driverName() == u"QSQLITE") {
        if (!setQueryOnly(m_connection, false))
            QSqlQuery(m_connection).exec(u"PRAGMA query_only = 0"_qs);
        return;
    }
    if (!m_reading)
        return;
    m_reading = false;
    PGconn* session = engine::postgresSession(m_connection);
    if (!session || PQstatus(session) != CONNECTION_OK)
        return;
    while (PQtransactionStatus(session) == PQTRANS_ACTIVE) {
        PGresult* left = PQgetResult(session);
        if (!left)
            break;
        PQclear(left);
    }
    PQclear(PQexec(session, "ROLLBACK"));
}

// A copy that failed on the server aborted the read's transaction: a new one, so that Qt SQL's
// read after it reports the statement's own failure.
void Recordset::restartReading()
{
    if (!m_reading)
        return;
    endReading();
    beginReading();
}

} // namespace talor
