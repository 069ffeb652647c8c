// Reading a recordset's rows through SQLite's own library.
//
// Qt SQL hands every value over as a QVariant of its own (a QString for each text), which the
// recordset then packs into its compact store: for a report of ten thousand rows that is most of
// the read. Here the values go from SQLite's statement straight into the store, as the cells
// Qt SQL's values would have made. The handle is the one Qt SQL's driver exposes
// (QSqlDriver::handle); Debian's Qt driver uses the system's SQLite, the one linked here.

#include "db/Connections.h"
#include "db/EngineHandles.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <QSqlError>
#include <sqlite3.h>

namespace talor {

namespace {

// SQLite's error as Qt SQL's driver reports it: the engine's message and the driver's text.
QSqlError sqliteError(sqlite3* db, const char* what, int code, QSqlError::ErrorType type)
{
    return QSqlError(QString::fromLatin1(what), QString::fromUtf8(sqlite3_errmsg(db)), type,
                     QString::number(code));
}

struct Finalize
{
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

} // namespace

bool Recordset::readSqlite()
{
    sqlite3* db = engine::sqliteHandle(m_connection);
    // Qt SQL reads SQLite's real numbers as doubles unless told to make whole numbers of them.
    const QSql::NumericalPrecisionPolicy precision = m_connection.driver()->numericalPrecisionPolicy();
    if (!db || precision == QSql::LowPrecisionInt32 || precision == QSql::LowPrecisionInt64)
        return false;
    const QByteArray text = m_sql.toUtf8();
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const int prepareCode = sqlite3_prepare_v2(db, text.constData(), int(text.size()) + 1, &prepared, &tail);
    const std::unique_ptr<sqlite3_stmt, Finalize> statement(prepared);
    const QString failed = QCoreApplication::translate("talor", "the statement failed");
    if (prepareCode != SQLITE_OK)
        Connections::fail(
            m_connection, failed,
            sqliteError(db, "Unable to execute statement", prepareCode, QSqlError::StatementError), m_sql);
    // One statement only, as through Qt SQL: a second one after a ";" is refused, not run.
    if (tail && !QString::fromUtf8(tail).trimmed().isEmpty())
        Connections::fail(m_connection, failed,
                          QSqlError(QStringLiteral("Unable to execute multiple statements at a time"), {},
                                    QSqlError::StatementError, QString::number(SQLITE_MISUSE)),
                          m_sql);
    if (!statement) // nothing but blanks or a comment: Qt SQL says what it makes of that
        return false;

    const int columns = sqlite3_column_count(statement.get());
    for (int c = 0; c < columns; ++c)
        addField(QString::fromUtf8(sqlite3_column_name(statement.get(), c)).remove(u'"'), QMetaType());
    for (;;) {
        const int code = sqlite3_step(statement.get());
        if (code == SQLITE_DONE)
            break;
        if (code != SQLITE_ROW) {
            const int resetCode = sqlite3_reset(statement.get());
            Connections::fail(
                m_connection,
                m_rowCount == 0 ? failed : QCoreApplication::translate("talor", "reading the rows failed"),
                sqliteError(db, "Unable to fetch row", resetCode, QSqlError::ConnectionError), m_sql);
        }
        if (columns == 0) // a statement without a result set, run to its end
            continue;
        for (int c = 0; c < columns; ++c) {
            Payload payload{};
            switch (sqlite3_column_type(statement.get(), c)) {
            case SQLITE_INTEGER:
                payload.integer = sqlite3_column_int64(statement.get(), c);
                appendScalar(Kind::Int, payload);
                break;
            case SQLITE_FLOAT:
                payload.real = sqlite3_column_double(statement.get(), c);
                appendScalar(Kind::Real, payload);
                break;
            case SQLITE_NULL:
                appendScalar(Kind::Null, payload);
                break;
            case SQLITE_BLOB: {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement.get(), c));
                appendSpan(Kind::Bytes, QByteArrayView(bytes, sqlite3_column_bytes(statement.get(), c)));
                break;
            }
            default: {
                // Stored UTF-8 is kept as it is; anything else is read as Qt SQL reads it, as
                // UTF-16 (SQLite replaces what is not UTF-8), and stored from that.
                const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), c));
                const QByteArrayView bytes(utf8, sqlite3_column_bytes(statement.get(), c));
                if (bytes.isValidUtf8()) {
                    appendSpan(Kind::Text, bytes);
                } else {
                    const auto* utf16 = static_cast<const QChar*>(sqlite3_column_text16(statement.get(), c));
                    appendCell(QString(utf16, sqlite3_column_bytes16(statement.get(), c) /
                                                  qsizetype(sizeof(QChar))));
                }
            }
            }
        }
        ++m_rowCount;
    }
    return true;
}

} // namespace talor
