#include "suite/LocalSuite.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "settings/IniFile.h"
#include "text/TextFunctions.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace talor {

namespace {

QAtomicInt connectionCounter;

// The first column of the first row of `sql` with `value` bound; empty when there is no row.
// `database` names the database in the error.
QString firstValue(QSqlDatabase db, const QString& database, const QString& sql, const QString& value)
{
    QSqlQuery query;
    bool ok = false;
    try {
        ok = Connections::execute(query, db, sql, {value});
    } catch (const DatabaseError& error) {
        throw SuiteError(error.message());
    }
    if (!ok)
        throw SuiteError(QStringLiteral("suite query failed on %1: %2: %3")
                             .arg(database, sql, Connections::errorText(db, query.lastError())));
    return query.next() ? query.value(0).toString() : QString();
}

// Why the database is not a suite (its tables are missing); empty when it is one.
// Why `db` is not a suite database, or "" when it is one.
struct TablesCheck
{
    QString problem;
    bool unreadable = false; // the database could not be read at all, tables or not
};

TablesCheck checkSuiteTables(QSqlDatabase db)
{
    QSqlQuery probe(db);
    if (probe.exec(QStringLiteral("select count(*) from zdfield")))
        return {};
    const QSqlError error = probe.lastError();
    bool unreadable = false;
    if (db.driverName() == QLatin1String("QSQLITE")) {
        // SQLite's primary result codes: busy, locked, out of memory, read-only (a file in
        // write-ahead mode whose folder this account may not write), I/O error, disk full, cannot
        // open. A file that is no database at all, or lacks the tables, is not a suite.
        static const QList<int> unreadableCodes{5, 6, 7, 8, 10, 13, 14};
        unreadable = unreadableCodes.contains(error.nativeErrorCode().toInt() & 0xff);
    } else {
        unreadable = error.nativeErrorCode() != QLatin1String("42P01"); // undefined table
    }
    return {error.text(), unreadable};
}

// "... is not a suite database: ..." or, for a database that could not be read, "... cannot be read: ...".
QString refusal(const QString& database, const TablesCheck& check)
{
    return (check.unreadable ? QStringLiteral("%1 cannot be read: %2")
                             : QStringLiteral("%1 is not a suite database: %2"))
        .arg(database, check.problem);
}

// Settings failures reach modules as the suite's error, like every other failing suite call.
template <typename Call> auto settingsCall(const Call& call)
{
    try {
        return call();
    } catch (const IniFileError& error) {
        throw SuiteError(error.message());
    }
}

} // namespace

LocalSuite::LocalSuite(const QString& configurationFile) : LocalSuite(SuiteConfig::load(configurationFile)) {}

LocalSuite::LocalSuite(const SuiteConfig& config) : m_config(config)
{
    m_connectionName = QStringLiteral("talor_suite_%1").arg(connectionCounter.fetchAndAddRelaxed(1) + 1);
    open();
    m_reportKey = m_config.moduleKey;
    m_currentTable = m_config.currentTable;

    const QDate today = QDate::currentDate();
    m_reportDate =
        m_config.reportDate.isEmpty() ? today : QDate::fromString(m_config.reportDate, Qt::ISODate);
    const auto [start, end] = defaultPeriod(today);
    m_periodStart = m_config.periodStart.isEmpty() ? start : m_config.periodStart;
    m_periodEnd = m_config.periodEnd.isEmpty() ? end : m_config.periodEnd;
}

std::pair<QString, QString> LocalSuite::defaultPeriod(const QDate& today)
{
    const QDate firstOfMonth(today.year(), today.month(), 1);
    return {firstOfMonth.toString(Qt::ISODate), firstOfMonth.addMonths(1).addDays(-1).toString(Qt::ISODate)};
}

LocalSuite::~LocalSuite()
{
    m_dictionary.reset();
    Connections::remove(m_connectionName);
}

void LocalSuite::open()
{
    const SuiteDatabaseConfig& db = m_config.database;
    const QString where = QStringLiteral(" (suite configuration %1)").arg(m_config.path);
    QSqlDatabase connection;
    try {
        if (db.isSqlite()) {
            // Opening a missing SQLite file would create an empty one: refuse instead.
            if (const QFileInfo file(db.file); !file.isFile()) {
                const QString why = file.exists() ? QStringLiteral("is not a file (a folder or a device)")
                                                  : QStringLiteral("does not exist");
                throw SuiteError(QStringLiteral("SQLite database file %1 %2").arg(db.file, why) + where);
            }
            // Examined read-only first: a file that is not a suite is refused unchanged (opening
            // it for use would switch its journal mode, or make an empty file a database).
            const QString probeName = m_connectionName + QStringLiteral("_probe");
            TablesCheck problem;
            try {
                problem = checkSuiteTables(Connections::openSqliteReadOnly(probeName, db.file));
            } catch (const DatabaseError&) {
                Connections::remove(probeName);
                throw;
            }
            Connections::remove(probeName);
            if (!problem.problem.isEmpty())
                throw SuiteError(refusal(db.describe(), problem) + where);
            connection = Connections::openSqlite(m_connectionName, db.file);
        } else {
            PostgresServer server;
            server.host = db.host;
            server.port = db.port;
            server.database = db.name;
            server.user = db.user;
            server.password = db.password;
            connection = Connections::openPostgres(m_connectionName, server);
        }
    } catch (const DatabaseError& error) {
        Connections::remove(m_connectionName);
        throw SuiteError(error.message() + where);
    } catch (const SuiteError&) {
        Connections::remove(m_connectionName);
        throw;
    }

    // A database without the suite tables is not a suite: say so now, naming it, rather than
    // at the first lookup.
    const TablesCheck problem = checkSuiteTables(connection);
    if (!problem.problem.isEmpty()) {
        const QString message = refusal(db.describe(), problem);
        connection = QSqlDatabase();
        Connections::remove(m_connectionName);
        throw SuiteError(message + where);
    }
    m_dictionary = std::make_unique<SuiteDictionary>(connection, db.describe());
}

void LocalSuite::reloadDictionary()
{
    m_dictionary->reload();
}

QString LocalSuite::readSetting(const QString& section, const QString& key, const QString& file)
{
    return settingsCall([&] { return IniFile(file).read(section, key); });
}

void LocalSuite::writeSetting(const QString& section, const QString& key, const QString& value,
                              const QString& file)
{
    settingsCall([&] { IniFile(file).write(section, key, value); });
}

void LocalSuite::writeSettings(const QString& section, const SettingValues& values, const QString& file)
{
    settingsCall([&] { IniFile(file).write(section, values); });
}

void LocalSuite::updateSettings(const QString& section, const SettingsChange& change, const QString& file)
{
    settingsCall([&] { IniFile(file).update(section, change); });
}

QSqlDatabase LocalSuite::connection()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isValid())
        throw SuiteError(QStringLiteral("the suite's database connection %1 is gone").arg(m_connectionName));
    // A closed connection, or a session the server ended, is opened again; but never under an
    // open transaction: what that had written is gone, and the statement that meets the lost
    // connection says so.
    if (db.isOpen() || TransactionScope::isActive(db))
        return db;
    try {
        Connections::reconnect(db);
    } catch (const DatabaseError& error) {
        throw SuiteError(error.message());
    }
    return db;
}

QString LocalSuite::logDirectory() const
{
    if (!m_config.logDirectory.isEmpty())
        return m_config.logDirectory;
    const bool programDirectory =
        QCoreApplication::instance() != nullptr &&
        QDir(m_config.applicationDirectory) == QDir(QCoreApplication::applicationDirPath());
    return programDirectory ? m_config.workDirectory : m_config.applicationDirectory;
}

QString LocalSuite::tableLookup(const QString& caption, const QString& code)
{
    if (!code.isEmpty())
        return firstValue(
            connection(), m_config.database.describe(),
            QStringLiteral("select proname from zdb1 where lower(proval)=? and parid<>0 order by proid"),
            code.trimmed().toLower());
    if (!caption.isEmpty())
        return firstValue(
            connection(), m_config.database.describe(),
            QStringLiteral("select proval from zdb1 where proname=? and parid<>0 order by proid"), caption);
    return {};
}

const SuiteDictionary::Field* LocalSuite::entry(const QString& field, const QString& table)
{
    if (field.isEmpty())
        return nullptr;
    return m_dictionary->field(table.isEmpty() ? m_currentTable : table, field);
}

QString LocalSuite::fieldCaption(const QString& field, const QString& table)
{
    const SuiteDictionary::Field* found = entry(field, table);
    return found ? found->caption : QString();
}

QString LocalSuite::fieldName(const QString& caption, const QString& table)
{
    if (caption.isEmpty())
        return {};
    return m_dictionary->fieldName(table.isEmpty() ? m_currentTable : table, caption);
}

QString LocalSuite::fieldType(const QString& field, const QString& table)
{
    const SuiteDictionary::Field* found = entry(field, table);
    return found ? found->type : QString();
}

QString LocalSuite::fieldFormat(const QString& field, const QString& table)
{
    const SuiteDictionary::Field* found = entry(field, table);
    return found ? found->format : QString();
}

int LocalSuite::fieldCodeKind(const QString& field, const QString& table)
{
    const SuiteDictionary::Field* found = entry(field, table);
    return found ? found->codeKind : 0;
}

QString LocalSuite::joinedCaptions(bool SuiteDictionary::Field::*flag)
{
    QStringList captions;
    const QList<SuiteDictionary::Field> fields = m_dictionary->fields(m_currentTable);
    for (const SuiteDictionary::Field& field : fields)
        if (field.*flag && !field.caption.isEmpty())
            captions << field.caption;
    std::sort(captions.begin(), captions.end());
    return captions.join(QLatin1Char(','));
}

QString LocalSuite::hiddenFields()
{
    return joinedCaptions(&SuiteDictionary::Field::hidden);
}

QString LocalSuite::unsavedFields()
{
    return joinedCaptions(&SuiteDictionary::Field::unsaved);
}

QString LocalSuite::categoryName(const QString& category, const QString& code)
{
    return m_dictionary->categoryName(category, code);
}

QString LocalSuite::categoryCode(const QString& category, const QString& name)
{
    return m_dictionary->categoryCode(category, name);
}

QString LocalSuite::groupName(const QString& department, const QString& groupCode)
{
    return m_dictionary->groupName(department, groupCode);
}

QString LocalSuite::groupCode(const QString& department, const QString& group)
{
    return m_dictionary->groupCode(department, group);
}

QString LocalSuite::teamName(const QString& department, const QString& group, const QString& teamCode)
{
    return m_dictionary->teamName(department, group, teamCode);
}

QString LocalSuite::teamCode(const QString& department, const QString& group, const QString& team)
{
    return m_dictionary->teamCode(department, group, team);
}

QString LocalSuite::departmentCode(const QString& fieldKey, const QString& department)
{
    const QString code = m_dictionary->categoryCode(QStringLiteral("部门"), department);
    if (!code.isEmpty() || fieldKey.isEmpty())
        return code;
    return m_dictionary->categoryCode(fieldKey, department);
}

QString LocalSuite::action(const QString& action)
{
    m_actions << action;
    return m_config.operatorName + QLatin1Char(' ') + action;
}

QString LocalSuite::pad(int width, const QString& text, const QString& fill)
{
    return text::padRight(text, width, fill.isEmpty() ? QChar(u' ') : fill.front());
}

QString LocalSuite::zeroFill(int number, int width, const QString& fill)
{
    return text::zeroFill(number, width, fill.isEmpty() ? QChar(u'0') : fill.front());
}

QStringList LocalSuite::fieldPickerList()
{
    QList<SuiteDictionary::Field> fields = m_dictionary->fields(m_currentTable);
    fields.removeIf(
        [](const SuiteDictionary::Field& field) { return field.pickOrder <= 0 || field.caption.isEmpty(); });
    std::stable_sort(fields.begin(), fields.end(),
                     [](const auto& a, const auto& b) { return a.pickOrder < b.pickOrder; });

    QString title = m_currentTable.isEmpty() ? QString() : tableLookup({}, m_currentTable);
    QStringList list{title.isEmpty() ? QStringLiteral("项目") : title};
    for (const SuiteDictionary::Field& field : fields)
        list << field.caption;
    return list;
}

} // namespace talor
