#pragma once

#include <QSqlDatabase>
#include <QString>

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
    // Opens (creating when missing) the SQLite file. Foreign keys are enforced, the journal is
    // written ahead (readers do not block the writer) and a busy database is waited for a few
    // seconds, so two processes can share the file. The file's directory must exist.
    static QSqlDatabase openSqlite(const QString& connectionName, const QString& filePath);
    // Opens an existing SQLite file for reading only: nothing in it is changed, not even its
    // journal mode, so a file can be examined before it is taken into use.
    static QSqlDatabase openSqliteReadOnly(const QString& connectionName, const QString& filePath);
    static QSqlDatabase openPostgres(const QString& connectionName, const PostgresServer& server);
    // Closes and forgets the named connection; handles to it become invalid.
    static void remove(const QString& connectionName);
};

} // namespace talor
