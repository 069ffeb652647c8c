#include "db/Connections.h"

#include "db/Recordset.h"
#include "support/TestDatabases.h"

#include <QSqlQuery>

using namespace talor;
using talor::test::DatabaseKind;

namespace {

class ConnectionsTest : public talor::test::DatabaseTest
{};

TEST_P(ConnectionsTest, FailuresNameTheFileOrTheServer)
{
    const QString missing = temporaryPath() + u"/no/such/dir/suite.db";
    try {
        Connections::openSqlite(u"missing_dir"_qs, missing);
        FAIL() << "opening in a missing directory must throw";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.message().contains(missing)) << error.what();
    }
    EXPECT_FALSE(QSqlDatabase::contains(u"missing_dir"_qs));

    PostgresServer nowhere;
    nowhere.host = u"127.0.0.1"_qs;
    nowhere.port = 1;
    nowhere.database = u"attendance"_qs;
    nowhere.user = u"postgres"_qs;
    try {
        Connections::openPostgres(u"nowhere"_qs, nowhere);
        FAIL() << "opening an unreachable server must throw";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.message().contains(u"127.0.0.1:1/attendance"_qs)) << error.what();
        EXPECT_GT(error.message().size(), 60) << "the driver's text is missing: " << error.what();
    }
    EXPECT_FALSE(QSqlDatabase::contains(u"nowhere"_qs));
}

TEST_P(ConnectionsTest, SqliteEnforcesForeignKeysAndWaitsForABusyFile)
{
    if (kind() != DatabaseKind::Sqlite)
        return; // the settings are SQLite's own; PostgreSQL has them built in
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(u"PRAGMA foreign_keys"_qs) && query.next());
    EXPECT_EQ(query.value(0).toInt(), 1);
    ASSERT_TRUE(query.exec(u"PRAGMA busy_timeout"_qs) && query.next());
    EXPECT_GE(query.value(0).toInt(), 1000);

    exec(u"create table parent (id integer primary key)"_qs);
    exec(u"create table child (id integer primary key, parent integer references parent(id))"_qs);
    EXPECT_FALSE(query.exec(u"insert into child values (1, 99)"_qs));

    // A second connection (another process, say) writes while the first one reads.
    QSqlDatabase other = openAnother(u"writer"_qs);
    exec(u"insert into parent values (1)"_qs);
    Recordset reader;
    reader.open(u"select * from parent"_qs, db());
    QSqlQuery write(other);
    EXPECT_TRUE(write.exec(u"insert into parent values (2)"_qs));
    reader.open(u"select * from parent"_qs, db());
    EXPECT_EQ(reader.recordCount(), 2);
}

TALOR_BOTH_DATABASES(ConnectionsTest);

} // namespace
