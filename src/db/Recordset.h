#pragma once

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace talor {

// A database failure: the message names the statement or the table and key that failed.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The connection went away under a statement (the server stopped, or ended the session); the
// message names the server. The server rolls back whatever the session had not committed.
class ConnectionLostError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// Update found the row changed or deleted by someone else since it was read, and wrote
// nothing; the message names the table and the key.
class ConflictError : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// A transaction of the caller's around several Updates, which then join it instead of each
// committing on its own: PostgreSQL takes a second BEGIN as a mere warning, so an Update that
// began and committed "its own" transaction would commit the caller's work early. The scope
// rolls back what it has not committed when it ends.
// A connection found lost when the transaction begins is connected again first (throwing
// DatabaseError naming the server when it cannot).
class TransactionScope
{
public:
    explicit TransactionScope(QSqlDatabase connection);
    ~TransactionScope();
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

    // Whether the transaction began (false: the engine refused it, for the reason lastError
    // gives; Updates go on their own). On SQLite it holds the write lock from the start, got
    // within the connection's busy wait.
    bool active() const { return m_active; }
    QSqlError lastError() const { return m_error; }
    // Commits; false when the engine refused, with its error in lastError(): the transaction is
    // then rolled back.
    bool commit();
    void rollback();
    // Whether a scope holds a transaction on this connection.
    static bool isActive(const QSqlDatabase& connection);

private:
    void end();
    QSqlDatabase m_connection;
    QSqlError m_error;
    bool m_active = false;
};

// The recordset protocol the module is written against: open on a text command, read the
// rows in order (EOF, MoveFirst, MoveNext), address fields by case-insensitive name, test
// for null, change fields of the current row and write them back with Update.
//
// Open reads the whole result into memory in the statement's order, in a compact form (one
// byte of kind and eight bytes of payload per cell, texts in one UTF-8 buffer), so large
// results stay small. Opening a recordset that is open closes it first, as the module does
// anyway. A failing statement throws DatabaseError with the driver's message and the SQL.
// A PostgreSQL session the server ended is connected again and the statement run once more
// (Connections::execute), unless a transaction was open on it: then ConnectionLostError,
// naming the server.
//
// Update writes the changed fields of the current row by the table's primary key,
// optimistically: the row must still hold, in every changed column and every checked field
// (setCheckedFields), the value it was read with, otherwise Update throws ConflictError naming
// the table and the key and writes nothing. A connection lost under Update throws ConnectionLostError. Only
// statements that read one table
// ("select ... from T where ...") whose primary key columns are among the fields can be updated. "YGZL" and
// "ygzl" name the same table; field names are matched without regard to case.
//
// A recordset keeps a handle of its connection while open: close it (or let it go) before the
// connection is removed.
class Recordset
{
public:
    // Cursor and lock types as the module sets them (keyset, optimistic); kept for the record.
    int cursorType = 1;
    int lockType = 3;

    Recordset() = default;

    // How many rows a caller expects of a statement: ManyRows lets PostgreSQL send them as one
    // copy stream, which costs the client a small part of what a result per row does, for two
    // more round trips to the server (to learn the statement's fields) before it runs.
    enum Expected
    {
        SomeRows,
        ManyRows
    };
    // What the text of an open may do. Reading (the default) runs exactly one statement that
    // cannot write: on PostgreSQL the server parses the text as one statement before it runs,
    // in a read-only transaction; on SQLite the connection is query-only while it runs. The
    // module's queries carry conditions and table codes typed into settings, so they all read
    // so; a text that is refused throws DatabaseError with the engine's own words. AnyStatement
    // runs the text as given, for the module's own fixed statements only.
    enum Access
    {
        Reading,
        AnyStatement
    };
    // Runs the text command on the connection and reads all its rows. A statement that
    // returns no result set (an UPDATE, say, with AnyStatement) leaves an open recordset
    // without fields or rows. Reading inside a transaction on PostgreSQL is refused (the
    // transaction could not be made read-only).
    void open(const QString& sql, const QSqlDatabase& connection, Expected expected = SomeRows,
              Access access = Reading);

    // Which readers bring a read's rows into the store. By default the engines' own libraries do
    // wherever they give exactly the cells Qt SQL's read would (SQLite's statement; on
    // PostgreSQL the copy stream for ManyRows and libpq's results otherwise), which costs a
    // large read a fraction of Qt SQL's. QtSqlOnly reads everything through Qt SQL's values;
    // CopyWherePossible sends every PostgreSQL read that can go as a copy stream so. The tests
    // run the recordset through each; TALOR_ROW_READERS in the environment ("qtsql", "copy")
    // chooses for a whole process.
    enum class RowReaders
    {
        ByExpectation,
        QtSqlOnly,
        CopyWherePossible
    };
    static RowReaders rowReaders();
    static void setRowReaders(RowReaders readers);
    // Forgets the rows; unsaved changes of the current row are dropped.
    void close();
    bool isOpen() const { return m_open; }
    QString source() const { return m_sql; }

    bool eof() const;
    // Moving to another row writes the current row's unsaved changes first, as Update does.
    void moveFirst();
    void moveNext();
    int recordCount() const { return m_rowCount; }
    int position() const { return m_position; }

    bool hasField(const QString& name) const;
    QStringList fieldNames() const { return m_fields; }
    // The field's value in the current row (an unsaved change when there is one, dates as
    // the text they will be written as); a null value is an invalid QVariant. SQLite hands dates back as the
    // text they are stored as.
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    // The value as text; the empty text for null.
    QString text(const QString& field) const;

    // Reading many rows by column number instead of by name: column() finds a field's number
    // once (-1 for a field the records do not have), value() and text() read it as the
    // functions above read the field. A number outside 0..fieldNames().size() - 1 throws.
    int column(const QString& field) const;
    QVariant value(int column) const;
    bool isNull(int column) const;
    QString text(int column) const;
    // Appends to `key` bytes that stand for the current row's value of `column`: two values
    // append the same bytes exactly when value() gives the same type and content, so a caller
    // that makes the same thing of every row's value can keep what it made of each distinct
    // one. False (nothing appended) while the value is an unsaved change.
    bool appendValueKey(int column, std::string& key) const;
    // The current row's value of `column` as seconds since midnight, when it is a time of
    // whole seconds that text() gives as "HH:mm:ss": a time the driver read as such, or a
    // text of exactly that form (two digits each, a valid time). Nothing for any other
    // value (null, a date, "8:30", "08:30:00.5", ...) or an unsaved change: the caller then
    // reads text() as ever.
    std::optional<int> secondsOfDay(int column) const;
    // Names the rows the recordset holds: closing it (as every open and every share of a
    // shared read does first) gives it a name no recordset had before.
    quint64 readId() const { return m_readId; }

    // Changes a field of the current row in memory; Update writes it. Dates and times are
    // written as ISO text ("yyyy-MM-dd", "HH:mm:ss", "yyyy-MM-dd HH:mm:ss", by the column's
    // declared type), which both SQLite and PostgreSQL compare correctly.
    void setValue(const QString& field, const QVariant& value);
    // Fields that Update also requires to hold the values they were read with, though it writes
    // nothing there (those an operator saw beside the ones changed): another's save of one of
    // them since the read is a conflict too. Kept until the recordset is opened or closed.
    void setCheckedFields(const QStringList& fields);
    // Writes the changed fields of the current row, which then holds exactly what this update
    // stored (the engine's conversions, what triggers did): a later Update of it is checked
    // against those values, not against whatever someone else stored since. PostgreSQL returns
    // them from the update; on SQLite the values written are compared as the column stores
    // them; a table with triggers has the row read back in the update's transaction (the
    // caller's, or one of its own). On any failure, a failed read-back included, the update is
    // undone, the unsaved changes are dropped and the row keeps the values it was read with.
    void update();

private:
    friend class SharedRecords;
    // Becomes a recordset of `source` holding rows `rows` of `whole`, its first `columns` fields,
    // whose case-folded names `index` maps to their columns (SharedRecords hands out the shares
    // of one read so).
    void assignRows(const Recordset& whole, const std::vector<int>& rows, int columns,
                    const QHash<QString, int>& index, const QString& source);

    // The cell kinds of the compact row store.
    enum class Kind : quint8
    {
        Null,
        Int,
        UInt,
        Real,
        Bool,
        Text,
        Bytes,
        Date,
        Time,
        DateTimeLocal,
        DateTimeUtc
    };
    union Payload {
        qint64 integer;
        quint64 unsignedInteger;
        double real;
        struct
        {
            quint32 offset;
            quint32 size;
        } span;
    };

    void readResult(Expected expected);
    void readRows(QSqlQuery& query);
    // Reading through the engines' own libraries on the connection Qt SQL opened, each value
    // straight into the compact store instead of through a QVariant of its own, which is most
    // of what a large read costs through Qt SQL (RowReaderSqlite.cpp, RowReaderPostgres.cpp). readSqlite runs
    // the statement itself; readPostgres reads the rows from the results Qt SQL receives. Both give the cells
    // Qt SQL's values would (false: not their engine, the caller reads through Qt SQL).
    bool readSqlite();
    // Reading: the connection made unable to write, and on PostgreSQL the text checked to be
    // one statement (throws DatabaseError when it is not); endReading takes back whatever the
    // statement did and puts the connection back (ReadOnlyAccess.cpp).
    void beginReading();
    void endReading() noexcept;
    void restartReading();
    bool m_reading = false; // inside the read-only transaction of a read on PostgreSQL
    bool readPostgres(QSqlQuery& query);
    // The statement's rows as PostgreSQL's copy stream, outside any transaction, when it is one
    // statement whose fields are all of the types read here; false (the store left empty) for
    // anything else, which the caller then reads through Qt SQL.
    bool readPostgresCopy();
    // One row of the copy stream, its fields of the server's `types` (false for a row that
    // does not parse or a number that only Qt SQL's conversion reads as it does).
    bool appendCopyRow(QByteArrayView row, const std::vector<quint32>& types, bool checkUtf8,
                       bool lowPrecision, QByteArray& unescaped);
    // A value of PostgreSQL type `type` in its text form, stored as the cell Qt SQL makes of
    // it; false (nothing stored) when only Qt SQL's own conversion reads it so.
    bool appendPostgresValue(quint32 type, QByteArrayView value, bool checkUtf8, bool lowPrecision);
    // A date, time of day or text that appendPostgresValue leaves to Qt SQL (a date before the
    // common era, a text of a server that keeps bytes as given), converted as Qt SQL's driver
    // does; false for the other types.
    bool appendAsQtConverts(quint32 type, QByteArrayView value);
    // Storing a value, inline: a large read stores hundreds of thousands.
    void appendScalar(Kind kind, Payload payload)
    {
        m_kinds.push_back(kind);
        m_payload.push_back(payload);
    }
    // Where `bytes` lie once appended to the text store (throws past what a span can address).
    Payload keep(QByteArrayView bytes)
    {
        if (quint64(m_texts.size()) + quint64(bytes.size()) > std::numeric_limits<quint32>::max())
            throwTooLarge();
        Payload payload;
        payload.span.offset = quint32(m_texts.size());
        payload.span.size = quint32(bytes.size());
        m_texts.append(bytes);
        return payload;
    }
    void appendSpan(Kind kind, QByteArrayView bytes) { appendScalar(kind, keep(bytes)); }
    [[noreturn, gnu::cold]] void throwTooLarge() const;
    // `postgresType`: the column's type on PostgreSQL, which tells whether a value read and bound
    // again equals the one stored (so that Update can check it when it does not write it,
    // setCheckedFields) and whether Qt SQL's values keep blanks to cut.
    void addField(const QString& name, QMetaType type, std::optional<quint32> postgresType = std::nullopt);
    // Whether PostgreSQL's type compares as read: not a timestamp (read in the client's zone, an
    // hour off in a daylight-saving gap), nor a numeric (read as a double, its 16th digit lost),
    // nor a type without "=" (json), nor one of the less common ones.
    static bool comparesAsRead(quint32 postgresType);
    int fieldIndex(const QString& name) const; // throws for an unknown field
    void checkColumn(int column) const;        // throws for a number that is no field's
    // The unsaved change of `column` in the current row, or null (after checking both).
    const QVariant* unsavedChange(int column) const;
    void requireRow() const;
    void appendCell(const QVariant& value);
    void storeCell(qsizetype cell, const QVariant& value);
    QVariant cellValue(int column) const;
    QVariant storedForm(int column, const QVariant& value) const;
    void resolveTable();
    // An Update statement of this recordset; the statement itself is kept by the session
    // (Connections::sessionStatement), so that the next recordset on the table finds it prepared.
    struct PreparedUpdate
    {
        QString sql;
        std::weak_ptr<QSqlQuery> query;
    };
    QString updateText(const QList<int>& columns, const QList<int>& checked) const;
    void readBack(const QList<int>& columns);
    QString keyCondition() const;
    std::shared_ptr<QSqlQuery> statement(const QString& sql, const QString& failed);
    QString conflictMessage() const;

    QString m_sql;
    QSqlDatabase m_connection;
    bool m_open = false;
    QStringList m_fields;                  // column names as the database reports them
    QHash<QString, int> m_index;           // case-folded name -> column
    mutable QHash<QString, int> m_spelled; // a name as callers spell it -> column
    std::vector<Kind> m_kinds;             // rows x columns, row by row
    std::vector<Payload> m_payload;        // rows x columns, row by row
    QByteArray m_texts;                    // UTF-8 texts and raw bytes the payloads point into
    int m_rowCount = 0;
    int m_position = 0;
    quint64 m_readId = 0;
    // Unsaved changes of the current row by column, in stored form; the changes Update is
    // writing; its key and old values in binding order; its statement's key.
    struct Change
    {
        int column;
        QVariant value;    // in stored form
        QVariant original; // the value read, in stored form: Update checks it
    };
    std::vector<Change> m_pending;
    std::vector<Change> m_changes;
    std::vector<QVariant> m_checks;
    QByteArray m_shape;
    QHash<QString, std::weak_ptr<QSqlQuery>> m_statements; // read-back statements of the session
    std::map<QByteArray, PreparedUpdate> m_updates;        // Update's statements, by the shape of the change

    // How a column keeps dates and times, so that a QDate or QDateTime is written in the
    // column's own form: from the driver's field types, or SQLite's declared column types.
    enum class Temporal : quint8
    {
        None,
        Date,
        Time,
        DateTime
    };
    std::vector<Temporal> m_temporal;
    std::vector<bool> m_comparable;
    // PostgreSQL's char(n), whose blanks Qt SQL's values keep though the server ignores them:
    // read without, so that codes and numbers match those of other tables.
    std::vector<bool> m_padded;
    static bool isPadded(quint32 postgresType);
    void appendQtValue(int column, const QVariant& value);
    static Temporal declaredTemporal(const QString& declared);
    struct TableFacts
    {
        QStringList keyNames;
        bool triggers = true;
        QHash<QString, Temporal> temporal; // case-folded column -> its kind, dates and times only
    };
    TableFacts sqliteTableFacts(const QString& name) const;
    TableFacts postgresTableFacts() const;

    // Resolved on the first change: the table and its key columns (or why there are none).
    bool m_tableResolved = false;
    QString m_table;
    QList<int> m_keyColumns;
    QList<int> m_checkedColumns;   // setCheckedFields
    QList<int> m_unchangedChecked; // of the row Update writes: the checked columns it does not change
    QString m_notUpdatable;        // why Update is refused; empty when it is possible
    // How Update learns what it stored: from the update itself (RETURNING), as the values
    // written, or by reading the row back (a table with triggers).
    enum class ReadBack : quint8
    {
        Returning,
        Written,
        Select
    };
    ReadBack m_readBack = ReadBack::Select;
    QList<int> m_lastColumns; // the columns of the last Update, kept for the next row changed alike
};

} // namespace talor
