#include "db/Connections.h"

#include "db/Recordset.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace talor {

namespace {

// Milliseconds another process may hold the SQLite file locked before a statement fails.
constexpr int sqliteBusyTimeout = 5000;

QSqlDatabase addConnection(const QString& driver, const QString& connectionName, const QString& target)
{
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw DatabaseError(
            QStringLiteral("cannot open %1: the Qt SQL driver %2 is not installed").arg(target, driver));
    if (QSqlDatabase::contains(connectionName))
        Connections::remove(connectionName);
    return QSqlDatabase::addDatabase(driver, connectionName);
}

} // namespace

QString PostgresServer::address() const
{
    return QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(database);
}

QSqlDatabase Connections::openSqlite(const QString& connectionName, const QString& filePath)
{
    const QString target = QStringLiteral("the SQLite database %1").arg(filePath);
    const QFileInfo file(filePath);
    if (!file.dir().exists())
        throw DatabaseError(QStringLiteral("cannot open %1: the directory %2 does not exist")
                                .arg(target, QDir::toNativeSeparators(file.absolutePath())));
    QSqlDatabase db = addConnection(QStringLiteral("QSQLITE"), connectionName, target);
    db.setDatabaseName(filePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(sqliteBusyTimeout));
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        remove(connectionName);
        throw DatabaseError(QStringLiteral("cannot open %1: %2").arg(target, error));
    }
    const QStringList pragmas{QStringLiteral("PRAGMA foreign_keys = ON"),
                              QStringLiteral("PRAGMA journal_mode = WAL"),
                              QStringLiteral("PRAGMA synchronous = NORMAL")};
    for (const QString& pragma : pragmas) {
        QSqlQuery query(db);
        if (!query.exec(pragma)) {
            const QString error = query.lastError().text();
            query = QSqlQuery();
            db = QSqlDatabase();
            remove(connectionName);
            throw DatabaseError(QStringLiteral("cannot open %1: %2: %3").arg(target, pragma, error));
        }
    }
    return db;
}

QSqlDatabase Connections::openPostgres(const QString& connectionName, const PostgresServer& server)
{
    const QString target = QStringLiteral("the PostgreSQL database %1").arg(server.address());
    QSqlDatabase db = addConnection(QStringLiteral("QPSQL"), connectionName, target);
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    db.setPassword(server.password);
    db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        remove(connectionName);
        throw DatabaseError(QStringLiteral("cannot open %1: %2").arg(target, error));
    }
    return db;
}

void Connections::remove(const QString& connectionName)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

} // namespace talor
