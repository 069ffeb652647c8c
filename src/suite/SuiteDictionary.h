#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace talor {

// The field dictionary and the code lookups of the suite, read from the suite tables zdfield,
// zdcode, zdgroup and zdteam (docs/database.md).
//
// The display asks for a field's type, caption and format once per cell, so the dictionary
// keeps each table's entries in memory after their first use, and the code tables after the
// first lookup; reload() forgets both so that the next call reads the tables again. Every
// query binds its values. A failing query throws SuiteError naming the database and the query.
class SuiteDictionary
{
public:
    struct Field
    {
        QString table; // the table code of the entry; empty for an entry of every table
        QString name;
        QString caption;
        QString type;
        QString format;
        int codeKind = 0;
        bool hidden = false;
        bool unsaved = false;
        int pickOrder = 0; // > 0: offered by the field picker, in this order
    };

    // `database` names the database in error messages ("SQLite database file /x/suite.db").
    SuiteDictionary(QSqlDatabase db, QString database);

    // The entry of `field` (any case) for `table`: the table's own entry, else the entry kept
    // for every table; nullptr when neither exists.
    const Field* field(const QString& table, const QString& field);
    // The field whose caption is `caption` (exact) among the table's entries; empty when none.
    QString fieldName(const QString& table, const QString& caption);
    // The entries that apply to `table`, its own first, each ordered by field name.
    QList<Field> fields(const QString& table);

    // Code lookups. The code-to-name lookups also accept a value that already is a plain name
    // (rows hold either form) and give that name back; otherwise empty when nothing is found.
    QString categoryName(const QString& category, const QString& code);
    QString categoryCode(const QString& category, const QString& name);
    QString groupName(const QString& department, const QString& code);
    QString groupCode(const QString& department, const QString& name);
    QString teamName(const QString& department, const QString& group, const QString& code);
    QString teamCode(const QString& department, const QString& group, const QString& name);

    void reload();

private:
    struct TableFields
    {
        QHash<QString, Field> byName;      // lower-case field name -> entry
        QHash<QString, QString> byCaption; // caption -> field name
        QList<Field> ordered;
    };
    // One code table in memory: "scope\ncode" -> name and "scope\nname" -> code.
    struct Codes
    {
        QHash<QString, QString> nameOf;
        QHash<QString, QString> codeOf;
        void add(const QString& scope, const QString& code, const QString& name);
        QString name(const QString& scope, const QString& code) const;
        QString code(const QString& scope, const QString& name) const;
    };

    const TableFields& tableFields(const QString& table);
    void loadCodes();

    QSqlQuery run(const QString& sql, const QVariantList& values = {});

    QSqlDatabase m_db;
    QString m_database;
    QHash<QString, TableFields> m_tables; // lower-case table code -> entries
    bool m_codesLoaded = false;
    Codes m_categories; // scope = category
    Codes m_groups;     // scope = department
    Codes m_teams;      // scope = department + "\n" + group
};

} // namespace talor
