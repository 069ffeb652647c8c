#include "db/Connections.h"

#include "db/Recordset.h"
#include "support/TestDatabases.h"

#include <QSqlQuery>

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
        try {
            open();
            ADD_FAILURE() << "opening must throw: " << where.toStdString();
        } catch (const DatabaseError& error) {
            EXPECT_TRUE(error.message().contains(where)) << error.what();
            EXPECT_GT(error.message().size(), where.size() + 30)
                << "the driver's text is missing: " << error.what();
        }
    }
    EXPECT_FALSE(QSqlDatabase::contains(u"missing_dir"_qs));
    EXPECT_FALSE(QSqlDatabase::contains(u"nowhere"_qs));
}

class SqliteConnectionTest : public talor::test::DatabaseTest
{};

// Another process shares the SQLite file: foreign keys hold, a busy file is waited for and a
// second connection writes while the first one reads.
TEST_P(SqliteConnectionTest, EnforcesForeignKeysAndWaitsForABusyFile)
{
    QSqlQuery query(db());
    ASSERT_TRUE(query.exec(u"PRAGMA foreign_keys"_qs) && query.next());
    EXPECT_EQ(query.value(0).toInt(), 1);
    ASSERT_TRUE(query.exec(u"PRAGMA busy_timeout"_qs) && query.next());
    EXPECT_GE(query.value(0).toInt(), 1000);

    exec(u"create table parent (id integer primary key)"_qs);
    exec(u"create table child (id integer primary key, parent integer references parent(id))"_qs);
    EXPECT_FALSE(query.exec(u"insert into child values (1, 99)"_qs));

    QSqlDatabase other = openAnother(u"writer"_qs);
    exec(u"insert into parent values (1)"_qs);
    Recordset reader;
    reader.open(u"select * from parent"_qs, db());
    EXPECT_TRUE(QSqlQuery(other).exec(u"insert into parent values (2)"_qs));
    reader.open(u"select * from parent"_qs, db());
    EXPECT_EQ(reader.recordCount(), 2);
}

// The settings are SQLite's own; PostgreSQL has them built in.
INSTANTIATE_TEST_SUITE_P(SqliteOnly, SqliteConnectionTest,
                         ::testing::Values(talor::test::DatabaseKind::Sqlite),
                         [](const auto& info) { return talor::test::databaseKindName(info); });

} // namespace
