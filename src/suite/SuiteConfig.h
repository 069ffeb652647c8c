#pragma once

#include <QString>

namespace talor {

// Where the suite's database lives: a SQLite file, or a PostgreSQL server.
struct SuiteDatabaseConfig
{
    QString kind = "sqlite"; // "sqlite" or "postgresql"
    QString file;            // SQLite: absolute path of the database file
    QString host;            // PostgreSQL
    int port = 5432;
    QString name;
    QString user;
    QString password;

    bool isSqlite() const { return kind == "sqlite"; }
    // "file /x/suite.db" or "PostgreSQL server host:port, database name", for error messages.
    QString describe() const;
};

// The suite configuration file (suite.ini, documented in docs/suite-config.md): the database,
// the identity texts, the directories, the settings file names, the operator's allowed menus,
// the supervisor-guard texts and the first values of a few shared values.
//
// load() resolves every relative path against the configuration file's directory, so a
// suite directory can be moved as a whole.
struct SuiteConfig
{
    QString path; // the configuration file itself (absolute)

    SuiteDatabaseConfig database;

    // [suite]
    QString databaseKind = "2";
    QString organisation;
    QString operatorName;
    QString moduleKey;
    QString scope;
    QString filter;
    QString allowedMenus;
    QString currentTable;

    // [paths], all absolute after load()
    QString applicationDirectory;
    QString workDirectory;
    QString logDirectory; // the folder of saved sheets' "Log"; empty: LocalSuite::logDirectory decides
    QString templateDirectory;
    QString iconDirectory;
    QString iconFile;
    QString temporaryDirectory;
    QString settingsDirectory;
    QString settingsFile;
    QString secondFile;

    // [guard]
    int lockSwitch = 0;
    QString codePrefix;
    QString accessCode;
    QString accessComparison;

    // [values]: first values of the shared report date and period ("yyyy-mm-dd"; empty: today
    // and the current month).
    QString reportDate;
    QString periodStart;
    QString periodEnd;

    // Reads and checks a configuration file. Throws SuiteError naming the file when it is
    // missing or unreadable, and naming the file and key when a value is not usable.
    static SuiteConfig load(const QString& path);
};

} // namespace talor
