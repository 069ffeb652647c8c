#include "TestDatabases.h"

#include "db/Recordset.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace talor::test {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "talor_test";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

std::string databaseKindName(DatabaseKind kind)
{
    return kind == DatabaseKind::Sqlite ? "Sqlite" : "Postgres";
}

std::string databaseKindName(const ::testing::TestParamInfo<DatabaseKind>& info)
{
    return databaseKindName(info.param);
}

void PrintTo(DatabaseKind kind, std::ostream* out)
{
    *out << databaseKindName(kind);
}

std::optional<PostgresServer> postgresTestServer()
{
    const QString host = qEnvironmentVariable("TALOR_PG_HOST");
    const QString port = qEnvironmentVariable("TALOR_PG_PORT");
    const QString database = qEnvironmentVariable("TALOR_PG_DB");
    const QString user = qEnvironmentVariable("TALOR_PG_USER");
    if (host.isEmpty() || port.isEmpty() || database.isEmpty() || user.isEmpty())
        return std::nullopt;
    return PostgresServer{host, port.toInt(), database, user, qEnvironmentVariable("TALOR_PG_PASSWORD")};
}

void DatabaseTest::SetUp()
{
    ensureApplication();
    m_directory = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(m_directory->isValid()) << "cannot create a temporary directory";
    static std::atomic<int> counter{0};
    m_connectionName = QStringLiteral("talor_test_%1").arg(++counter);
    try {
        if (kind() == DatabaseKind::Sqlite) {
            m_sqliteFile = m_directory->filePath(QStringLiteral("test.db"));
            Connections::openSqlite(m_connectionName, m_sqliteFile);
        } else {
            const std::optional<PostgresServer> server = postgresTestServer();
            ASSERT_TRUE(server.has_value())
                << "the PostgreSQL test server is missing: TALOR_PG_HOST, TALOR_PG_PORT, TALOR_PG_DB and "
                   "TALOR_PG_USER must be set (declare the test DATABASE and run it through ctest with "
                   "the postgres fixture, e.g. ctest -R 'postgres_|<test>')";
            m_server = *server;
            Connections::openPostgres(m_connectionName, m_server);
            QSqlQuery quiet(db());
            quiet.exec(QStringLiteral("SET client_min_messages = warning")); // no notices from resetTables
        }
    } catch (const DatabaseError& error) {
        FAIL() << error.what();
    }
}

void DatabaseTest::TearDown()
{
    for (const QString& name : std::as_const(m_others))
        Connections::remove(name);
    m_others.clear();
    if (!m_connectionName.isEmpty())
        Connections::remove(m_connectionName);
    m_directory.reset();
}

QSqlDatabase DatabaseTest::db() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void DatabaseTest::resetTables(const QStringList& tables)
{
    for (const QString& table : tables) {
        QString sql = u"DROP TABLE IF EXISTS " + table;
        if (kind() == DatabaseKind::Postgres)
            sql += u" CASCADE"; // views or keys of other tests' tables must not keep it alive
        exec(sql);
    }
}

void DatabaseTest::exec(const QString& sql)
{
    QSqlQuery query(db());
    if (!query.exec(sql))
        ADD_FAILURE() << "statement failed: " << query.lastError().text().toStdString()
                      << "\nSQL: " << sql.toStdString();
}

QSqlDatabase DatabaseTest::openAnother(const QString& suffix)
{
    const QString name = m_connectionName + u'_' + suffix;
    m_others.append(name);
    return kind() == DatabaseKind::Sqlite ? Connections::openSqlite(name, m_sqliteFile)
                                          : Connections::openPostgres(name, m_server);
}

} // namespace talor::test
