#include "suite/SuiteDictionary.h"

#include "db/Connections.h"
#include "db/Recordset.h"
#include "suite/SuiteServices.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <functional>

namespace talor {

namespace {

QString joined(const QString& a, const QString& b)
{
    return a + QLatin1Char('\n') + b;
}

} // namespace

SuiteDictionary::SuiteDictionary(QSqlDatabase db, QString database)
    : m_db(std::move(db)), m_database(std::move(database))
{}

QSqlQuery SuiteDictionary::run(const QString& sql, const QVariantList& values)
{
    QSqlQuery query;
    bool ok = false;
    try {
        ok = Connections::execute(query, m_db, sql, values);
    } catch (const DatabaseError& error) {
        throw SuiteError(error.message());
    }
    if (!ok)
        throw SuiteError(QStringLiteral("suite dictionary query failed on %1: %2: %3")
                             .arg(m_database, sql, Connections::errorText(m_db, query.lastError())));
    return query;
}

void SuiteDictionary::reload()
{
    m_tables.clear();
    m_codesLoaded = false;
    m_categories = {};
    m_groups = {};
    m_teams = {};
}

const SuiteDictionary::TableFields& SuiteDictionary::tableFields(const QString& table)
{
    const QString key = table.trimmed().toLower();
    auto found = m_tables.constFind(key);
    if (found != m_tables.constEnd())
        return *found;

    QList<Field> own;
    QList<Field> common;
    QSqlQuery query =
        run(QStringLiteral("select tablecode, fieldname, caption, ftype, fformat, codekind, hidden,"
                           " unsaved, pickorder from zdfield where lower(tablecode)=? or tablecode=''"
                           " order by fieldname"),
            {key});
    while (query.next()) {
        Field field;
        field.table = query.value(0).toString();
        field.name = query.value(1).toString();
        field.caption = query.value(2).toString();
        field.type = query.value(3).toString().trimmed();
        field.format = query.value(4).toString();
        field.codeKind = query.value(5).toInt();
        field.hidden = query.value(6).toInt() != 0;
        field.unsaved = query.value(7).toInt() != 0;
        field.pickOrder = query.value(8).toInt();
        (field.table.isEmpty() ? common : own).append(field);
    }

    TableFields entries;
    for (const QList<Field>* list : {&own, &common}) {
        for (const Field& field : *list) {
            const QString name = field.name.toLower();
            if (entries.byName.contains(name))
                continue; // the table's own entry wins over the common one
            entries.byName.insert(name, field);
            entries.ordered.append(field);
            if (!field.caption.isEmpty() && !entries.byCaption.contains(field.caption))
                entries.byCaption.insert(field.caption, field.name);
        }
    }
    return *m_tables.insert(key, entries);
}

const SuiteDictionary::Field* SuiteDictionary::field(const QString& table, const QString& field)
{
    const TableFields& entries = tableFields(table);
    auto found = entries.byName.constFind(field.trimmed().toLower());
    return found == entries.byName.constEnd() ? nullptr : &*found;
}

QString SuiteDictionary::fieldName(const QString& table, const QString& caption)
{
    return tableFields(table).byCaption.value(caption);
}

QList<SuiteDictionary::Field> SuiteDictionary::fields(const QString& table)
{
    return tableFields(table).ordered;
}

void SuiteDictionary::Codes::add(const QString& scope, const QString& code, const QString& name)
{
    // The first row of a code or a name wins, so duplicates answer in code order.
    const QString byCode = joined(scope, code);
    if (!nameOf.contains(byCode))
        nameOf.insert(byCode, name);
    const QString byName = joined(scope, name);
    if (!codeOf.contains(byName))
        codeOf.insert(byName, code);
}

QString SuiteDictionary::Codes::name(const QString& scope, const QString& code) const
{
    if (code.isEmpty())
        return {};
    auto found = nameOf.constFind(joined(scope, code));
    if (found != nameOf.constEnd())
        return *found;
    // The value may be stored as the plain name already.
    return codeOf.contains(joined(scope, code)) ? code : QString();
}

QString SuiteDictionary::Codes::code(const QString& scope, const QString& name) const
{
    if (name.isEmpty())
        return {};
    return codeOf.value(joined(scope, name));
}

void SuiteDictionary::loadCodes()
{
    if (m_codesLoaded)
        return;
    Codes categories, groups, teams;
    // Each query is read to its end and released before the next one runs: PostgreSQL's
    // forward-only results must not overlap on one connection.
    auto read = [this](const QString& sql, const std::function<void(const QSqlQuery&)>& row) {
        QSqlQuery query = run(sql);
        while (query.next())
            row(query);
    };
    read(QStringLiteral("select category, code, name from zdcode order by category, code"),
         [&](const QSqlQuery& q) {
             categories.add(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
         });
    read(QStringLiteral("select depart, code, name from zdgroup order by depart, code"),
         [&](const QSqlQuery& q) {
             groups.add(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
         });
    read(QStringLiteral("select depart, group0, code, name from zdteam order by depart, group0, code"),
         [&](const QSqlQuery& q) {
             teams.add(joined(q.value(0).toString(), q.value(1).toString()), q.value(2).toString(),
                       q.value(3).toString());
         });
    m_categories = std::move(categories);
    m_groups = std::move(groups);
    m_teams = std::move(teams);
    m_codesLoaded = true;
}

QString SuiteDictionary::categoryName(const QString& category, const QString& code)
{
    loadCodes();
    return m_categories.name(category, code);
}

QString SuiteDictionary::categoryCode(const QString& category, const QString& name)
{
    loadCodes();
    return m_categories.code(category, name);
}

QString SuiteDictionary::groupName(const QString& department, const QString& code)
{
    loadCodes();
    return m_groups.name(department, code);
}

QString SuiteDictionary::groupCode(const QString& department, const QString& name)
{
    loadCodes();
    return m_groups.code(department, name);
}

QString SuiteDictionary::teamName(const QString& department, const QString& group, const QString& code)
{
    loadCodes();
    return m_teams.name(joined(department, group), code);
}

QString SuiteDictionary::teamCode(const QString& department, const QString& group, const QString& name)
{
    loadCodes();
    return m_teams.code(joined(department, group), name);
}

} // namespace talor
