#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace talor {

// One item column of an attendance table: its name and its field type letter
// ("S" text, "I" integer, "D" decimal, "T" date, "Y" time of day).
struct ItemColumn
{
    QString name;
    QString type;
};

// The suite's tables, created with SQL that SQLite and PostgreSQL both accept: unquoted
// lower-case identifiers (so "YGZL" and "ygzl" name the same table on both), text keys,
// and dates and times declared DATE and TIME (PostgreSQL's types; SQLite keeps them as
// 'yyyy-mm-dd' and 'hh:mm:ss' text). docs/database.md describes every table.
class SuiteSchema
{
public:
    // The suite tables other than attendance tables: zdb1, zdb3, ygzl, sys02, zdfield,
    // zdcode, zdgroup, zdteam. Throws SuiteError naming the statement that failed.
    static void createSuiteTables(QSqlDatabase db);
    // An attendance table: memberid, zhdate (primary key together), name, depart, group0,
    // team, czyxm, ncolor and the item columns. Names must be plain identifiers.
    static void createAttendanceTable(QSqlDatabase db, const QString& table, const QList<ItemColumn>& items);
    // Drops the suite tables and the given attendance tables where they exist.
    static void dropTables(QSqlDatabase db, const QStringList& attendanceTables);

    static QStringList suiteTableNames();
    static bool isPostgres(const QSqlDatabase& db);
    // The column type of a field type letter; both engines accept the same names.
    static QString columnType(const QSqlDatabase& db, const QString& typeLetter);
    // True for a plain identifier (letter or underscore, then letters, digits, underscores).
    static bool isIdentifier(const QString& name);

    // Runs one statement; throws SuiteError naming the statement and the driver's message.
    static void execute(QSqlDatabase db, const QString& sql);
};

} // namespace talor
