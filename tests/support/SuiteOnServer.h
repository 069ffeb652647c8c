#pragma once

#include "db/Connections.h"
#include "demo/DemoSuite.h"
#include "suite/SuiteConfig.h"

#include <optional>

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

// The demo suite of `options` written into `dir`, configured for the engine of a test: with a
// server, the demo's tables are filled on `db` (a connection to it) and the configuration
// points at it; without, the demo's own SQLite file.
inline SuiteConfig demoSuiteConfig(const QString& dir, const DemoOptions& options, QSqlDatabase db,
                                   const std::optional<PostgresServer>& server)
{
    DemoSuite::generate(dir, options);
    SuiteConfig config = SuiteConfig::load(dir + QStringLiteral("/suite.ini"));
    if (server) {
        DemoSuite::fillDatabase(db, options);
        useServer(config, *server);
    }
    return config;
}

} // namespace talor::test
