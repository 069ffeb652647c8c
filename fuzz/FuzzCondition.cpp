// Report conditions as the queries take them: two conditions (the suite's filter and the
// report's own) joined into one where clause, as the one-day query joins them. Whatever either
// holds, once both are taken they may only narrow the rows: the engine itself runs the statement
// behind a where clause that no row passes, and a row that comes back, or a second statement
// after the first, means a condition got out of its brackets. The engine is SQLite, or the
// PostgreSQL server that TALOR_FUZZ_PG names (a libpq connection string), which reads quotes and
// comments its own way.
// The input's first byte chooses how the rest reads: odd, as UTF-8 text (the first condition, a
// byte 0x1E, the second); even, as a byte per piece of SQL from the table below, which reaches
// statements the engines accept far more often than text mutated byte by byte.
#include "FuzzInput.h"
#include "db/Recordset.h"
#include "db/SqlText.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

// The table both engines read, two rows that a where clause of "false and ..." must never let through.
const char* const Table =
    "create %1 table kq (memberid text, zhdate text, depart text, bz text, cdfz integer);"
    "insert into kq values ('0001', '2026-10-05', 'D1', '', 0), "
    "('0002', '2026-10-05', 'D2', 'x', 5);";

sqlite3* database()
{
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        if (sqlite3_open(":memory:", &opened) != SQLITE_OK ||
            sqlite3_exec(
                opened,
                (QString::fromUtf8(Table).arg(QString()) + "pragma query_only = 1;").toUtf8().constData(),
                nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        // A condition may ask for much work (a recursive query): cut it short, which is no escape.
        sqlite3_progress_handler(
            opened, 1000, [](void*) { return 1; }, nullptr);
        sqlite3_limit(opened, SQLITE_LIMIT_LENGTH, 1 << 20);
        return opened;
    }();
    return db;
}

// Whether `sql` runs on the server as more than a statement that returns no row. It runs in a
// read-only transaction that is rolled back, prepared first as one statement, as reports run.
bool postgresEscapes(PGconn* session, const QByteArray& sql)
{
    auto run = [session](const char* command) {
        PQclear(PQexec(session, command));
    };
    run("BEGIN READ ONLY");
    run("SET LOCAL statement_timeout = 200");
    bool escaped = false;
    PGresult* prepared = PQprepare(session, "", sql.constData(), 0, nullptr);
    if (PQresultStatus(prepared) == PGRES_COMMAND_OK) {
        PGresult* result = PQexecPrepared(session, "", 0, nullptr, nullptr, nullptr, 0);
        escaped = PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0;
        PQclear(result);
    } else {
        escaped = QByteArray(PQresultErrorMessage(prepared)).contains("multiple commands");
    }
    PQclear(prepared);
    run("ROLLBACK");
    return escaped;
}

PGconn* postgres()
{
    static PGconn* session = [] {
        const char* server = std::getenv("TALOR_FUZZ_PG");
        if (!server)
            return static_cast<PGconn*>(nullptr);
        PGconn* opened = PQconnectdb(server);
        if (PQstatus(opened) != CONNECTION_OK)
            std::abort();
        PQclear(PQexec(opened, QString::fromUtf8(Table).arg("temporary").toUtf8().constData()));
        return opened;
    }();
    return session;
}

// Pieces of the SQL of both engines: quotes, comments, brackets and what a way out would say.
// The last one separates the two conditions.
// clang-format off
const char* const Pieces[] = {
    "'", "\"", "[", "]", "`", "--", "/*", "*/", "\n", "\r", "$$", "$a$", "$b1$", "E'", "U&'", "x'", "''", "\\",
    "(", ")", ";", "$a(", "@", ":", "#", " ", "=", "a", " bz ", "1=1", " or ", "select 1",
    " union select memberid from kq", "\xe3\x80\x82", "\x1e"};
// clang-format on

QString fromPieces(const uint8_t* data, size_t size)
{
    QByteArray text;
    for (size_t i = 0; i < size; ++i)
        text += Pieces[data[i] % std::size(Pieces)];
    return QString::fromUtf8(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const QString input =
        data[0] % 2 ? QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1))
                    : fromPieces(data + 1, size - 1);
    const auto [first, second] = talor::fuzz::cutAt(input, QChar(0x1E));
    QString sql = QStringLiteral("select memberid from kq where false");
    try {
        sql += talor::sql::andCondition(first) + talor::sql::andCondition(second);
    } catch (const talor::DatabaseError&) {
        return 0;
    }
    sql += QStringLiteral(" order by memberid");
    const QByteArray text = sql.toUtf8();
    if (PGconn* session = postgres()) {
        if (postgresEscapes(session, text)) {
            std::fprintf(stderr, "out of its brackets on the server: %s\n", text.constData());
            std::abort();
        }
        return 0;
    }
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(database(), text.constData(), int(text.size()), &statement, &tail) != SQLITE_OK)
        return 0;
    const bool another = tail && !QByteArray(tail).trimmed().isEmpty();
    const int step = sqlite3_step(statement);
    sqlite3_finalize(statement);
    if (another || step == SQLITE_ROW) {
        std::fprintf(stderr, "out of its brackets: %s\n", text.constData());
        std::abort();
    }
    return 0;
}
