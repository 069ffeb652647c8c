#pragma once

#include "db/Connections.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

// Database tests run one body against both engines: a fresh SQLite file, and the PostgreSQL
// database of the ctest fixture "postgres" (declare the test DATABASE); without that server the
// PostgreSQL case fails, it never skips. Derive from DatabaseTest, write TEST_P bodies on db(),
// exec() and resetTables() (the PostgreSQL database is shared: create tables with unquoted names
// after resetting them), and instantiate with TALOR_BOTH_DATABASES(Fixture). A fixture's own
// SetUp calls DatabaseTest::SetUp() first and returns on HasFatalFailure(). A test that needs a
// QApplication creates it before its first database test (SetUp makes a QCoreApplication).
namespace talor::test {

enum class DatabaseKind
{
    Sqlite,
    Postgres
};

// Makes a QCoreApplication when there is none: Qt loads SQL drivers only with one. It is made
// once and kept to the end of the process (deleting it at exit would race Qt's own clean-up).
void ensureApplication();

// "Sqlite" or "Postgres", for test names and messages.
std::string databaseKindName(DatabaseKind kind);
std::string databaseKindName(const ::testing::TestParamInfo<DatabaseKind>& info);
// Lets GoogleTest print the parameter by name.
void PrintTo(DatabaseKind kind, std::ostream* out);

// The PostgreSQL test server from TALOR_PG_HOST/PORT/DB/USER (and TALOR_PG_PASSWORD, if set);
// nothing when one of the four is missing.
std::optional<PostgresServer> postgresTestServer();

// The base of a test that runs against both databases; the parameter names the engine.
class DatabaseTest : public ::testing::TestWithParam<DatabaseKind>
{
protected:
    void SetUp() override;    // opens db(); a fatal failure when the database cannot be opened
    void TearDown() override; // closes db() and every connection opened with openAnother()

    DatabaseKind kind() const { return GetParam(); }
    // The open connection of this test.
    QSqlDatabase db() const;
    QString connectionName() const { return m_connectionName; }
    // The suite's database-kind value for this engine: "2", since neither SQLite nor
    // PostgreSQL reads #dates#.
    QString kindText() const { return QStringLiteral("2"); }
    // The SQLite file of this test (empty for PostgreSQL), for code that opens it itself.
    QString sqliteFile() const { return m_sqliteFile; }
    // The PostgreSQL server of this test (for code that opens its own connection).
    PostgresServer postgresServer() const { return m_server; }
    // The same, or none for SQLite.
    std::optional<PostgresServer> server() const
    {
        return kind() == DatabaseKind::Postgres ? std::optional(m_server) : std::nullopt;
    }
    // A temporary directory that lives as long as the test, for files besides the database.
    QString temporaryPath() const { return m_directory->path(); }

    // Drops the tables (those that exist) so the test can create them afresh.
    void resetTables(const QStringList& tables);
    // Runs a statement on db(); a failing statement fails the test with the driver's message.
    void exec(const QString& sql);
    // A second, independent connection to the same database (another operator, say).
    QSqlDatabase openAnother(const QString& suffix);

private:
    std::unique_ptr<QTemporaryDir> m_directory;
    QString m_connectionName;
    QString m_sqliteFile;
    PostgresServer m_server;
    QStringList m_others;
};

} // namespace talor::test

// Instantiates a DatabaseTest suite for SQLite and PostgreSQL: Both/Suite.Test/Sqlite, .../Postgres.
#define TALOR_BOTH_DATABASES(Suite)                                                                          \
    INSTANTIATE_TEST_SUITE_P(                                                                                \
        Both, Suite,                                                                                         \
        ::testing::Values(::talor::test::DatabaseKind::Sqlite, ::talor::test::DatabaseKind::Postgres),       \
        [](const ::testing::TestParamInfo<::talor::test::DatabaseKind>& info) {                              \
            return ::talor::test::databaseKindName(info);                                                    \
        })
