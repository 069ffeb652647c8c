#pragma once

// The engines' own handles behind Qt SQL's drivers, for the readers that read rows through the
// engines' libraries and for the read-only access around a read. Inside the database layer only.

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <libpq-fe.h>
#include <memory>

struct sqlite3;

namespace talor::engine {

// The object a driver's or result's handle holds, when it is of the named type.
template <typename T> T* handleOf(const QVariant& handle, const char* typeName)
{
    if (!handle.isValid() || qstrcmp(handle.typeName(), typeName) != 0)
        return nullptr;
    return *static_cast<T* const*>(handle.constData());
}

// The SQLite connection of a connection; null for a connection of another engine.
inline sqlite3* sqliteHandle(const QSqlDatabase& connection)
{
    return handleOf<sqlite3>(connection.driver()->handle(), "sqlite3*");
}

// The libpq session of a connection; null for a connection of another engine.
inline PGconn* postgresSession(const QSqlDatabase& connection)
{
    return handleOf<PGconn>(connection.driver()->handle(), "pg_conn*");
}

struct ClearResult
{
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

} // namespace talor::engine
