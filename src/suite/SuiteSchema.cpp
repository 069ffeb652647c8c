#include "suite/SuiteSchema.h"

#include "suite/SuiteServices.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace talor {

namespace {

// Table definitions common to both databases. Text columns are varchar so that codes and
// names compare as text; ids are plain integers that the suite assigns itself.
const char* const SuiteTables[] = {
    // The catalogue of data tables: a root row proval 'DATABASE', one child per table
    // (proname caption, proval code).
    "create table zdb1 (proid integer primary key, parid integer not null default 0,"
    " proname varchar(80) not null default '', proval varchar(40) not null default '')",
    // The dictionary tree: the department root ("部门", proval 2), departments, groups, teams;
    // proval1 orders siblings, proval2 '*' marks entries attendance views may leave out.
    "create table zdb3 (proid integer primary key, parid integer not null default 0,"
    " proname varchar(80) not null default '', proval integer not null default 0,"
    " proval1 integer not null default 0, proval2 varchar(10))",
    // Employees; depart, group0 and team hold either the code or the plain name.
    "create table ygzl (memberid varchar(20) primary key, name varchar(40) not null default '',"
    " depart varchar(80), group0 varchar(80), team varchar(80), sex varchar(4), post varchar(40))",
    // The suite's menus.
    "create table sys02 (cdmc varchar(40) primary key, cdxh integer not null default 0,"
    " cdtb varchar(60), zxtm varchar(40), mkwj varchar(60))",
    // The field dictionary: one row per table and field; tablecode '' holds the entries that
    // apply to every table without an entry of its own.
    "create table zdfield (tablecode varchar(20) not null default '', fieldname varchar(40) not null,"
    " caption varchar(60) not null default '', ftype varchar(4) not null default '',"
    " fformat varchar(40) not null default '', codekind integer not null default 0,"
    " hidden integer not null default 0, unsaved integer not null default 0,"
    " pickorder integer not null default 0, primary key (tablecode, fieldname))",
    // Dictionary codes by category: department codes (category "部门") and the codes of
    // kind-3 fields (category = the field's caption).
    "create table zdcode (category varchar(60) not null, code varchar(40) not null,"
    " name varchar(80) not null default '', primary key (category, code))",
    // Group codes within a department (by the department's name).
    "create table zdgroup (depart varchar(80) not null, code varchar(40) not null,"
    " name varchar(80) not null default '', primary key (depart, code))",
    // Team codes within a department's group (by names).
    "create table zdteam (depart varchar(80) not null, group0 varchar(80) not null,"
    " code varchar(40) not null, name varchar(80) not null default '',"
    " primary key (depart, group0, code))",
};

} // namespace

QStringList SuiteSchema::suiteTableNames()
{
    return {"zdb1", "zdb3", "ygzl", "sys02", "zdfield", "zdcode", "zdgroup", "zdteam"};
}

bool SuiteSchema::isPostgres(const QSqlDatabase& db)
{
    return db.driverName().startsWith(QLatin1String("QPSQL"));
}

bool SuiteSchema::isIdentifier(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern.match(name).hasMatch();
}

QString SuiteSchema::columnType(const QSqlDatabase& db, const QString& typeLetter)
{
    Q_UNUSED(db);
    if (typeLetter == "I")
        return QStringLiteral("integer");
    if (typeLetter == "D")
        return QStringLiteral("double precision");
    // SQLite keeps dates and times as 'yyyy-mm-dd' and 'hh:mm:ss' text whatever the declared
    // type; declaring them date and time tells the recordset to write them in that form.
    if (typeLetter == "T")
        return QStringLiteral("date");
    if (typeLetter == "Y")
        return QStringLiteral("time");
    return QStringLiteral("varchar(80)");
}

void SuiteSchema::execute(QSqlDatabase db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw SuiteError(
            QStringLiteral("database statement failed: %1: %2").arg(sql, query.lastError().text()));
}

void SuiteSchema::createSuiteTables(QSqlDatabase db)
{
    for (const char* sql : SuiteTables)
        execute(db, QString::fromUtf8(sql));
}

void SuiteSchema::createAttendanceTable(QSqlDatabase db, const QString& table, const QList<ItemColumn>& items)
{
    if (!isIdentifier(table))
        throw SuiteError(QStringLiteral("attendance table name \"%1\" is not a plain identifier").arg(table));
    QString sql =
        QStringLiteral("create table %1 (memberid varchar(20) not null, zhdate %2 not null,"
                       " name varchar(40), depart varchar(80), group0 varchar(80), team varchar(80),"
                       " czyxm varchar(40), ncolor integer")
            .arg(table.toLower(), columnType(db, "T"));
    for (const ItemColumn& item : items) {
        if (!isIdentifier(item.name))
            throw SuiteError(QStringLiteral("item column name \"%1\" of table %2 is not a plain identifier")
                                 .arg(item.name, table));
        sql += QStringLiteral(", %1 %2").arg(item.name.toLower(), columnType(db, item.type));
    }
    sql += QStringLiteral(", primary key (memberid, zhdate))");
    execute(db, sql);
    // The period query reads one person's days; the one-day query reads one day.
    execute(db, QStringLiteral("create index %1_zhdate on %1 (zhdate)").arg(table.toLower()));
}

void SuiteSchema::dropTables(QSqlDatabase db, const QStringList& attendanceTables)
{
    QStringList tables = suiteTableNames();
    for (const QString& table : attendanceTables) {
        if (!isIdentifier(table))
            throw SuiteError(QStringLiteral("table name \"%1\" is not a plain identifier").arg(table));
        tables << table.toLower();
    }
    for (const QString& table : tables)
        execute(db, QStringLiteral("drop table if exists %1").arg(table));
}

} // namespace talor
