#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

namespace talor {

// Where a PostgreSQL database lives.
struct PostgresServer
{
    QString host = QStringLiteral("127.0.0.1");
    int port = 5432;
    QString database;
    QString user;
    QString password;

    // "host:port/database", the way errors name the server.
    QString address() const;
};

// Opens the named Qt SQL connections the module works on: an SQLite file (the embedded
// default) or a PostgreSQL database (many operators). A connection that cannot be opened
// throws DatabaseError naming the file or the server, with the driver's text.
class Connections
{
public:
    // Opens (creating when missing) the SQLite file. Foreign keys are enforced and a busy
    // database is waited for a few seconds, so two processes can share the file. A file made
    // here is written ahead (readers do not block the writer); an existing one keeps the journal
    // mode it has, and one this account may not write is opened for reading only. The file's
    // directory must exist.
    static QSqlDatabase openSqlite(const QString& connectionName, const QString& filePath);
    // A file up to this size is checked at open (PRAGMA quick_check): a damaged one is refused,
    // naming what is damaged.
    static constexpr qint64 QuickCheckLimit = 64 * 1024 * 1024;
    // What SQLite's quick check finds damaged in the database (at most 20 findings); empty
    // when the file is sound.
    static QStringList integrityProblems(const QSqlDatabase& db);
    // Opens an existing SQLite file for reading only: nothing in it is changed, not even its
    // journal mode, so a file can be examined before it is taken into use.
    static QSqlDatabase openSqliteReadOnly(const QString& connectionName, const QString& filePath);
    static QSqlDatabase openPostgres(const QString& connectionName, const PostgresServer& server);
    // Closes and forgets the named connection; handles to it become invalid.
    static void remove(const QString& connectionName);

    // The database as errors name it: "the PostgreSQL database host:port/db" or "the SQLite
    // database FILE".
    static QString describe(const QSqlDatabase& db);
    // "host:port/db" of a PostgreSQL database, the file of an SQLite one.
    static QString address(const QSqlDatabase& db);
    // Whether the connection may only read: an SQLite file this account may not write.
    static bool readOnly(const QSqlDatabase& db);
    // Whether a PostgreSQL connection has gone: the server stopped or ended the session. The
    // driver notices at the first statement that fails; the server has then rolled back what
    // the session had not committed.
    static bool lost(const QSqlDatabase& db);
    // The same after a statement failed with `error`: the driver may notice a session that the
    // server ended under the statement only at the next one, but the error says so already
    // (SQLSTATE class 08, connection exception, or 57P01..57P03, the server shutting down).
    static bool lost(const QSqlDatabase& db, const QSqlError& error);
    // Connects a lost connection again with the settings it was opened with. Throws
    // DatabaseError naming the server when it cannot. Statements prepared on the old session are
    // gone with it: generation() counts the sessions.
    static void reconnect(QSqlDatabase db);
    static int generation(const QSqlDatabase& db);
    // The statement `sql` prepared on the current session of `db`, forward-only: prepared at its
    // first use and kept for the session, so that a statement run for every recordset or every
    // save is prepared once. A caller holds it only while it runs it (a std::weak_ptr between
    // uses): the statements of a session are dropped when the connection is connected again
    // (before the new session begins, so that nothing of the old one reaches it) or removed.
    // Null when `sql` cannot be prepared; `error` then holds the driver's error.
    static std::shared_ptr<QSqlQuery> sessionStatement(const QSqlDatabase& db, const QString& sql,
                                                       QSqlError& error);
    // Throws the error of a failed statement, "WHAT: the driver's text" and the SQL:
    // ConnectionLostError naming the server when the connection went away under it (the
    // driver's own text is then often empty), DatabaseError otherwise.
    [[noreturn]] static void fail(const QSqlDatabase& db, const QString& what, const QSqlError& error,
                                  const QString& sql);
    // The driver's text of a failed statement's error; on a lost connection, where that is
    // often empty, that the connection was lost.
    static QString errorText(const QSqlDatabase& db, const QSqlError& error);
    // Runs `sql` (prepared, with `values` bound, when there are values) as a new forward-only
    // `query` on `db`. A session the server ended while idle shows only at the statement that
    // fails: then, unless a transaction was open on it, it is connected again (reconnect()) and
    // the statement run once more. False when the statement failed; `query` holds the error.
    static bool execute(QSqlQuery& query, const QSqlDatabase& db, const QString& sql,
                        const QVariantList& values = {});
};

} // namespace talor
