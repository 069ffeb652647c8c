#include "db/Connections.h"

#include "db/EngineHandles.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <sqlite3.h>
#include <utility>

namespace talor {

namespace {

// Milliseconds another process may hold the SQLite file locked before a statement fails.
constexpr int sqliteBusyTimeout = 5000;

// The driver's property that counts the sessions of a connection.
constexpr const char* generationProperty = "talorGeneration";
// How many sessions were connected again in this process: while none was, every connection is
// in its first session, and a recordset checking its statements before each row need not look
// up the driver's property.
std::atomic<int> reconnections{0};

QSqlDatabase addConnection(const QString& driver, const QString& connectionName, const QString& target)
{
    if (!QSqlDatabase::isDriverAvailable(driver))
        throw DatabaseError(
            QCoreApplication::translate("talor", "cannot open %1: the Qt SQL driver %2 is not installed")
                .arg(target, driver));
    if (QSqlDatabase::contains(connectionName))
        Connections::remove(connectionName);
    return QSqlDatabase::addDatabase(driver, connectionName);
}

QSqlDatabase openSqliteFile(const QString& connectionName, const QString& filePath, const QString& target,
                            bool readOnly)
{
    QSqlDatabase db = addConnection(QStringLiteral("QSQLITE"), connectionName, target);
    db.setDatabaseName(filePath);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(sqliteBusyTimeout);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        Connections::remove(connectionName);
        throw DatabaseError(QCoreApplication::translate("talor", "cannot open %1: %2").arg(target, error));
    }
    return db;
}

// The journal mode of an open SQLite database, in lower case ("wal", "delete"), or empty.
QString journalMode(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    return query.exec(QStringLiteral("PRAGMA journal_mode")) && query.next()
               ? query.value(0).toString().toLower()
               : QString();
}

// The statements kept prepared for the session of a connection, by connection name. Kept on the
// heap for good: dropping them at exit could come after their drivers are gone.
struct Session
{
    QPointer<QSqlDriver> driver;
    int generation = 0;
    QHash<QString, std::shared_ptr<QSqlQuery>> statements;
};
QMutex sessionsMutex;
QHash<QString, Session>& sessions()
{
    static auto* all = new QHash<QString, Session>;
    return *all;
}

// Drops the statements of the connection's session. They are taken out under the lock and
// dropped after it: dropping a statement may talk to the server.
void forgetSession(const QString& connectionName)
{
    Session gone;
    {
        QMutexLocker lock(&sessionsMutex);
        gone = sessions().take(connectionName);
    }
}

} // namespace

QSqlDatabase Connections::openSqliteReadOnly(const QString& connectionName, const QString& filePath)
{
    const QString target = QCoreApplication::translate("talor", "the SQLite database %1").arg(filePath);
    if (!QFileInfo(filePath).isFile())
        throw DatabaseError(
            QCoreApplication::translate("talor", "cannot open %1: the file does not exist").arg(target));
    return openSqliteFile(connectionName, filePath, target, true);
}

QString PostgresServer::address() const
{
    return QStringLiteral("%1:%2/%3").arg(host).arg(port).arg(database);
}

QSqlDatabase Connections::openSqlite(const QString& connectionName, const QString& filePath)
{
    const QString target = QCoreApplication::translate("talor", "the SQLite database %1").arg(filePath);
    const QFileInfo file(filePath);
    if (!file.dir().exists())
        throw DatabaseError(
            QCoreApplication::translate("talor", "cannot open %1: the directory %2 does not exist")
                .arg(target, QDir::toNativeSeparators(file.absolutePath())));
    // A database the suite's other modules own keeps its journal mode (the mode is stored in
    // the file, and one that is written ahead cannot be read by an account that may not write
    // beside it); only a file made here is written ahead. A file this account may not write is
    // opened for reading: its reports work, and a save is refused by SQLite with its reason.
    const bool created = !file.exists();
    QSqlDatabase db = openSqliteFile(connectionName, filePath, target, !created && !file.isWritable());
    QStringList pragmas{QStringLiteral("PRAGMA foreign_keys = ON")};
    if (created)
        pragmas << QStringLiteral("PRAGMA journal_mode = WAL");
    // Synchronous NORMAL is safe against power loss only when the journal is written ahead.
    if (created || journalMode(db) == u"wal")
        pragmas << QStringLiteral("PRAGMA synchronous = NORMAL");
    const auto refuse = [&](const QString& why) {
        db = QSqlDatabase();
        remove(connectionName);
        throw DatabaseError(QCoreApplication::translate("talor", "cannot open %1: %2").arg(target, why));
    };
    for (const QString& pragma : pragmas) {
        QSqlQuery query(db);
        if (!query.exec(pragma)) {
            const QString error = query.lastError().text();
            query = QSqlQuery();
            refuse(pragma + u": " + error);
        }
    }
    // Damage that no query of the day touches would otherwise go unnoticed until it spreads. A
    // quick check reads every page once: done at open where that takes well under a second.
    if (file.size() <= QuickCheckLimit) {
        const QStringList damage = integrityProblems(db);
        if (!damage.isEmpty())
            refuse(QCoreApplication::translate("talor", "the file is damaged (PRAGMA quick_check): %1")
                       .arg(damage.join(QStringLiteral("; "))));
    }
    return db;
}

QStringList Connections::integrityProblems(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA quick_check(20)")))
        return {query.lastError().text()};
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != u"ok")
            problems << line;
    }
    if (query.lastError().isValid())
        problems << query.lastError().text();
    return problems;
}

QSqlDatabase Connections::openPostgres(const QString& connectionName, const PostgresServer& server)
{
    const QString target =
        QCoreApplication::translate("talor", "the PostgreSQL database %1").arg(server.address());
    QSqlDatabase db = addConnection(QStringLiteral("QPSQL"), connectionName, target);
    db.setHostName(server.host);
    db.setPort(server.port);
    db.setDatabaseName(server.database);
    db.setUserName(server.user);
    db.setPassword(server.password);
    // Backslashes in string literals are plain characters only with standard_conforming_strings
    // on; with it off (a server or database may default to off) 'a\' ...' ends elsewhere, and
    // names quoted by doubling their quotes could change a statement. It is set when connecting,
    // so that the driver, which looks at it once, quotes bound values to match.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;options='-c standard_conforming_strings=on'"));
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        remove(connectionName);
        throw DatabaseError(QCoreApplication::translate("talor", "cannot open %1: %2").arg(target, error));
    }
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("show standard_conforming_strings")) || !check.next() ||
        check.value(0).toString() != QLatin1String("on")) {
        check = QSqlQuery();
        db = QSqlDatabase();
        remove(connectionName);
        throw DatabaseError(QCoreApplication::translate(
                                "talor", "cannot open %1: the server keeps standard_conforming_strings off, "
                                         "under which quoted names are not safe")
                                .arg(target));
    }
    return db;
}

QString Connections::describe(const QSqlDatabase& db)
{
    return (db.driverName() == u"QPSQL" ? QCoreApplication::translate("talor", "the PostgreSQL database ")
                                        : QCoreApplication::translate("talor", "the SQLite database ")) +
           address(db);
}

QString Connections::address(const QSqlDatabase& db)
{
    if (db.driverName() == u"QPSQL")
        return QStringLiteral("%1:%2/%3").arg(db.hostName()).arg(db.port()).arg(db.databaseName());
    return db.databaseName();
}

bool Connections::readOnly(const QSqlDatabase& db)
{
    sqlite3* handle = engine::sqliteHandle(db);
    return handle && sqlite3_db_readonly(handle, "main") == 1;
}

bool Connections::lost(const QSqlDatabase& db)
{
    return db.isValid() && db.driverName() == u"QPSQL" && !db.isOpen();
}

bool Connections::lost(const QSqlDatabase& db, const QSqlError& error)
{
    if (lost(db))
        return true;
    const QString code = error.nativeErrorCode();
    return db.isValid() && db.driverName() == u"QPSQL" &&
           (code.startsWith(u"08") || code == u"57P01" || code == u"57P02" || code == u"57P03");
}

void Connections::reconnect(QSqlDatabase db)
{
    forgetSession(db.connectionName());
    if (!db.open())
        throw DatabaseError(
            QCoreApplication::translate("talor", "the connection to %1 was lost and cannot be made again: %2")
                .arg(describe(db), db.lastError().text()));
    db.driver()->setProperty(generationProperty, generation(db) + 1);
    reconnections.fetch_add(1);
}

std::shared_ptr<QSqlQuery> Connections::sessionStatement(const QSqlDatabase& db, const QString& sql,
                                                         QSqlError& error)
{
    const QString name = db.connectionName();
    const int current = generation(db);
    Session stale;
    {
        QMutexLocker lock(&sessionsMutex);
        Session& session = sessions()[name];
        if (session.driver == db.driver() && session.generation == current) {
            const auto it = session.statements.constFind(sql);
            if (it != session.statements.cend())
                return *it;
        } else if (!session.statements.isEmpty()) {
            // Another connection of the same name, or a session that ended unnoticed.
            stale = std::exchange(session, Session{});
        }
        session.driver = db.driver();
        session.generation = current;
    }
    stale = Session{};
    auto query = std::make_shared<QSqlQuery>(db);
    query->setForwardOnly(true);
    if (!query->prepare(sql)) {
        error = query->lastError();
        return nullptr;
    }
    QMutexLocker lock(&sessionsMutex);
    Session& session = sessions()[name];
    if (session.driver == db.driver() && session.generation == current)
        session.statements.insert(sql, query);
    return query;
}

int Connections::generation(const QSqlDatabase& db)
{
    if (reconnections.load(std::memory_order_relaxed) == 0)
        return 0;
    return db.isValid() ? db.driver()->property(generationProperty).toInt() : 0;
}

QString Connections::errorText(const QSqlDatabase& db, const QSqlError& error)
{
    if (!lost(db, error))
        return error.text();
    const QString detail = error.text().trimmed();
    return detail.isEmpty()
               ? QCoreApplication::translate("talor", "the connection to the server was lost")
               : QCoreApplication::translate("talor", "the connection to the server was lost (%1)")
                     .arg(detail);
}

void Connections::fail(const QSqlDatabase& db, const QString& what, const QSqlError& error,
                       const QString& sql)
{
    const QString message = QStringLiteral("%1: %2\nSQL: %3").arg(what, errorText(db, error), sql);
    if (lost(db, error))
        throw ConnectionLostError(describe(db) + u": " + message);
    throw DatabaseError(message);
}

bool Connections::execute(QSqlQuery& query, const QSqlDatabase& db, const QString& sql,
                          const QVariantList& values)
{
    const auto attempt = [&] {
        query = QSqlQuery(db);
        query.setForwardOnly(true);
        if (values.isEmpty())
            return query.exec(sql);
        if (!query.prepare(sql))
            return false;
        for (const QVariant& value : values)
            query.addBindValue(value);
        return query.exec();
    };
    if (lost(db) && !TransactionScope::isActive(db))
        reconnect(db);
    if (attempt())
        return true;
    if (!lost(db, query.lastError()) || TransactionScope::isActive(db))
        return false;
    reconnect(db);
    return attempt();
}

void Connections::remove(const QString& connectionName)
{
    forgetSession(connectionName);
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

} // namespace talor
