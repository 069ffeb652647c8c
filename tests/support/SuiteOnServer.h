#pragma once

#include "db/Connections.h"
#include "suite/SuiteConfig.h"

namespace talor::test {

// Points a suite configuration at a PostgreSQL server of the tests.
inline void useServer(SuiteConfig& config, const PostgresServer& server)
{
    config.database.kind = QStringLiteral("postgresql");
    config.database.host = server.host;
    config.database.port = server.port;
    config.database.name = server.database;
    config.database.user = server.user;
    config.database.password = server.password;
}

} // namespace talor::test
