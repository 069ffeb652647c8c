#include "db/Connections.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "support/ErrorText.h"
#include "support/TestDatabases.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace talor;

namespace {

TEST(Connections, FailuresNameTheFileOrTheServerWithTheDriversText)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"no/such/dir/suite.db"_qs);
    PostgresServer nowhere{u"127.0.0.1"_qs, 1, u"attendance"_qs, u"postgres"_qs, {}};
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { Connections::openSqlite(u"missing_dir"_qs, missing); }, missing},
        {[&] { Connections::openPostgres(u"nowhere"_qs, nowhere); }, u"127.0.0.1:1/attendance"_qs}};
    for (const auto& [open, where] : cases) {
        const QString message = talor::test::errorText<DatabaseError>(open);
        EXPECT_TRUE(message.contains(where)) << message.toStdString();
        EXPECT_GT(message.size(), where.size() + 30)
            << "the driver's text is missing: " << message.toStdString();
    }
    EXPECT_FALSE(QSqlDatabase::contains(u"missing_dir"_qs) || QSqlDatabase::contains(u"nowhere"_qs));
}

// A file damaged where no query of the day reads (an index's page) is refused at open, naming
// the file and what the check found; the sound file opens.
TEST(Connections, ADamagedSqliteFileIsRefusedAtOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"suite.db"_qs);
    {
        QSqlQuery query(Connections::openSqlite(u"sound"_qs, path));
        for (const char* sql :
             {"PRAGMA journal_mode = DELETE", "create table t (n integer primary key, s text)",
              "create index t_s on t (s)",
              "with recursive c(n) as (select 1 union all select n + 1 from c where n < 3000) "
              "insert into t select n, printf('%08d', n) from c"})
            ASSERT_TRUE(query.exec(QString::fromLatin1(sql))) << sql;
    }
    Connections::remove(u"sound"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / 4096;
    ASSERT_GT(pages, 6);
    file.seek((pages - 2) * 4096 + 8); // inside the last pages' cells, the index's
    file.write(QByteArray(200, '\x7f'));
    file.close();
    const QString message =
        talor::test::errorText<DatabaseError>([&] { Connections::openSqlite(u"damaged"_qs, path); });
    EXPECT_TRUE(talor::test::containsAll(message, {path, u"damaged"_qs})) << message.toStdString();
    EXPECT_FALSE(QSqlDatabase::contains(u"damaged"_qs));
}

// A database whose default is standard_conforming_strings off: through the module's connection
// a quoted name with a backslash is still one literal, and bound values keep their backslashes.
TEST(Connections, QuotedNamesAreSafeWhereTheServerDefaultsToBackslashEscapes)
{
    talor::test::ensureApplication();
    const std::optional<PostgresServer> server = talor::test::postgresTestServer();
    ASSERT_TRUE(server) << "the PostgreSQL test server is missing (TALOR_PG_* not set)";
    PostgresServer old = *server;
    old.database = u"talor_backslash"_qs;
    // Statements on the server's own database, on a connection of their own.
    const auto onServer = [&](const QStringList& statements) {
        {
            QSqlQuery query(Connections::openPostgres(u"scs_admin"_qs, *server));
            for (const QString& statement : statements)
                EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
        Connections::remove(u"scs_admin"_qs);
    };
    onServer({u"drop database if exists talor_backslash"_qs, u"create database talor_backslash"_qs,
              u"alter database talor_backslash set standard_conforming_strings = off"_qs});
    {
        QSqlQuery query(Connections::openPostgres(u"scs"_qs, old));
        const QString name = u"\\' or 1=1 --"_qs;
        const QString find = u"select cdmc from sys02 where cdmc = "_qs + sql::quoted(name);
        ASSERT_TRUE(query.exec(u"create table sys02 (cdmc varchar(40) primary key)"_qs));
        ASSERT_TRUE(query.exec(u"insert into sys02 values ('工资'), ('考勤')"_qs));
        ASSERT_TRUE(query.exec(find)) << query.lastError().text().toStdString();
        EXPECT_FALSE(query.next()) << "the quoted name matched other rows";
        ASSERT_TRUE(query.prepare(u"insert into sys02 values (?)"_qs));
        query.addBindValue(name);
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
        ASSERT_TRUE(query.exec(find) && query.next());
        EXPECT_EQ(query.value(0).toString(), name);
    }
    Connections::remove(u"scs"_qs);
    onServer({u"drop database talor_backslash"_qs});
}

class SqliteConnectionTest : public talor::test::DatabaseTest
{};

// The SQLite file is shared with other processes: foreign keys hold, a busy file is waited for
// and, in write-ahead mode, a second connection writes while the first one reads.
TEST_P(SqliteConnectionTest, EnforcesForeignKeysAndWaitsForABusyFile)
{
    QSqlQuery query(db());
    const auto pragma = [&](const QString& name) {
        EXPECT_TRUE(query.exec(u"PRAGMA "_qs + name) && query.next()) << name.toStdString();
        return query.value(0).toString();
    };
    EXPECT_EQ(std::tuple(pragma(u"foreign_keys"_qs), pragma(u"busy_timeout"_qs).toInt() >= 1000,
                         pragma(u"journal_mode"_qs)),
              std::tuple(u"1"_qs, true, u"wal"_qs));
    // A file opened again in write-ahead mode syncs at checkpoints only, as the new one did.
    query = QSqlQuery(openAnother(u"again"_qs));
    EXPECT_EQ(pragma(u"synchronous"_qs), u"1"_qs);
}

// A commit SQLite refuses (a reader still holds the file past the busy wait, in the rollback
// journal's mode) takes the transaction back: nothing of it is kept, and the next one begins.
TEST_P(SqliteConnectionTest, ACommitRefusedTakesTheTransactionBack)
{
    for (const char* sql : {"pragma journal_mode = delete", "create table t (n integer)",
                            "insert into t values (1), (2)", "pragma busy_timeout = 50"})
        exec(QString::fromLatin1(sql));
    QSqlQuery reading(openAnother(u"reader"_qs));
    ASSERT_TRUE(reading.exec(u"select n from t"_qs) && reading.next());
    {
        TransactionScope refused(db());
        exec(u"update t set n = 10"_qs);
        const bool committed = refused.commit();
        EXPECT_TRUE(!committed && refused.lastError().text().contains(u"locked"_qs))
            << refused.lastError().text().toStdString();
    }
    reading.finish();
    TransactionScope next(db());
    QSqlQuery sum(db());
    EXPECT_TRUE(next.active() && sum.exec(u"select sum(n) from t"_qs) && sum.next() && sum.value(0) == 3 &&
                next.commit())
        << next.lastError().text().toStdString();
}

// The settings are SQLite's own; PostgreSQL has them built in.
INSTANTIATE_TEST_SUITE_P(SqliteOnly, SqliteConnectionTest,
                         ::testing::Values(talor::test::DatabaseKind::Sqlite),
                         [](const auto& info) { return talor::test::databaseKindName(info); });

} // namespace
