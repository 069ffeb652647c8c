#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

namespace talor {

// A database failure: the message names the statement or the table and key that failed.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The recordset protocol the module is written against: open on a text command, read the
// rows in order (EOF, MoveFirst, MoveNext), address fields by case-insensitive name, test
// for null, change fields of the current row and write them back with Update.
//
// Open reads the whole result into memory in the statement's order. Update writes the changed
// fields of the current row by the table's primary key, optimistically: the row must still
// hold the values it was read with, otherwise Update throws DatabaseError naming the table and
// the key and writes nothing. "YGZL" and "ygzl" name the same table.
class Recordset
{
public:
    // Cursor and lock types as the module sets them (keyset, optimistic); kept for the record.
    int cursorType = 1;
    int lockType = 3;

    Recordset() = default;

    void open(const QString& sql, const QSqlDatabase& connection);
    void close();
    bool isOpen() const { return m_open; }
    QString source() const { return m_sql; }

    bool eof() const;
    void moveFirst();
    void moveNext();
    int recordCount() const { return int(m_rows.size()); }
    int position() const { return m_position; }

    bool hasField(const QString& name) const;
    QStringList fieldNames() const { return m_fields; }
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    // The value as text; the empty text for null.
    QString text(const QString& field) const;

    // Changes a field of the current row in memory; Update writes it.
    void setValue(const QString& field, const QVariant& value);
    void update();

private:
    int fieldIndex(const QString& name) const; // throws for an unknown field
    void requireRow() const;

    QString m_sql;
    QSqlDatabase m_connection;
    bool m_open = false;
    QString m_table;             // the single table the statement reads, for Update
    QStringList m_fields;        // column names as the database reports them
    QVector<QVector<QVariant>> m_rows;    // values as last read or written
    QVector<QVector<QVariant>> m_pending; // values of the current row with unsaved changes
    int m_position = 0;
};

} // namespace talor
