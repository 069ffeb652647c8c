// Reading a recordset's rows through libpq: from the results Qt SQL's driver receives, or, for
// many rows, as the server's copy stream.
//
// Qt SQL hands every value over as a QVariant of its own (a QString for each text), which the
// recordset then packs into its compact store: for a report of ten thousand rows that is most of
// the read. Here the values go from libpq's result or copy stream straight into the store, as the
// cells Qt SQL's values would have made; whatever is not plainly one of the common forms (a
// timestamp, bytes, a date outside the ISO form) still goes through Qt SQL's conversion, so the
// cells are the same either way. One exception: a timestamp with a zone is read as the
// session's zone shows it, where Qt SQL turns it into the machine's zone (a day off where the
// two differ, and a key that no longer finds its row). The handles are the ones Qt SQL's driver exposes
// (QSqlDriver::handle, QSqlResult::handle); Debian's Qt driver uses the system's libpq, the one
// linked here.

#include "db/Connections.h"
#include "db/EngineHandles.h"
#include "db/Recordset.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>
#include <QTime>
#include <array>
#include <charconv>
#include <cmath>

namespace talor {

using engine::handleOf;
using engine::Result;

namespace {

// A whole number in `text` and nothing else.
template <typename Number> bool readWhole(QByteArrayView text, Number& number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && !text.isEmpty();
}

// Three whole numbers in `text` laid out as "N..N?NN?NN": the first `firstWidth` digits wide,
// then two of two digits, each after `separator` (an ISO date or time of the day).
bool readThreeFields(QByteArrayView text, qsizetype firstWidth, char separator, std::array<int, 3>& fields)
{
    const qsizetype second = firstWidth + 1, third = firstWidth + 4;
    return text.size() == firstWidth + 6 && text[second - 1] == separator && text[third - 1] == separator &&
           readWhole(text.first(firstWidth), fields[0]) && readWhole(text.sliced(second, 2), fields[1]) &&
           readWhole(text.sliced(third, 2), fields[2]);
}

// "yyyy-MM-dd" as a day number, when `text` is exactly that and a valid date.
bool readIsoDate(QByteArrayView text, qint64& day)
{
    std::array<int, 3> f{};
    const QDate date = readThreeFields(text, 4, '-', f) ? QDate(f[0], f[1], f[2]) : QDate();
    day = date.toJulianDay();
    return date.isValid();
}

// "HH:mm:ss" as milliseconds since midnight, when `text` is exactly that and a valid time.
bool readIsoTime(QByteArrayView text, qint64& msecs)
{
    std::array<int, 3> f{};
    const QTime time = readThreeFields(text, 2, ':', f) ? QTime(f[0], f[1], f[2]) : QTime();
    msecs = time.msecsSinceStartOfDay();
    return time.isValid();
}

// PostgreSQL's type numbers (pg_type.oid) of the types read here without Qt SQL, and of those
// Qt SQL's driver converts to something other than text.
enum PostgresType : Oid
{
    Boolean = 16,
    Bytea = 17,
    Char = 18,
    Name = 19,
    BigInt = 20,
    SmallInt = 21,
    Integer = 23,
    RegProc = 24,
    Text = 25,
    ObjectId = 26,
    TransactionId = 28,
    CommandId = 29,
    Real = 700,
    DoublePrecision = 701,
    AbsTime = 702,
    RelTime = 703,
    Date = 1082,
    Time = 1083,
    Bpchar = 1042,
    Varchar = 1043,
    Timestamp = 1114,
    TimestampTz = 1184,
    TimeTz = 1266,
    Numeric = 1700,
    Void = 2278
};

// Whether Qt SQL's driver gives values of the type as text (all but its own list of types).
bool readAsText(Oid type)
{
    switch (type) {
    case Boolean:
    case Bytea:
    case BigInt:
    case SmallInt:
    case Integer:
    case RegProc:
    case ObjectId:
    case TransactionId:
    case CommandId:
    case Real:
    case DoublePrecision:
    case AbsTime:
    case RelTime:
    case Date:
    case Time:
    case Timestamp:
    case TimestampTz:
    case TimeTz:
    case Numeric:
    case Void:
        return false;
    default:
        return true;
    }
}

// The libpq session of a PostgreSQL connection whose texts Qt SQL reads as UTF-8 (its driver
// asks the server for them so); null for any other.
PGconn* utf8Session(const QSqlDatabase& connection)
{
    PGconn* session = engine::postgresSession(connection);
    return session && qstrcmp(pg_encoding_to_char(PQclientEncoding(session)), "UTF8") == 0 ? session
                                                                                           : nullptr;
}

// Whether the session's texts may arrive as any bytes. A server that keeps texts in an
// encoding of its own checks them as they are stored and converts them for the session, so
// they arrive as valid UTF-8; one that keeps bytes as given (SQL_ASCII) may send anything.
bool textsUnchecked(PGconn* session)
{
    const char* serverEncoding = PQparameterStatus(session, "server_encoding");
    return !serverEncoding || qstrcmp(serverEncoding, "SQL_ASCII") == 0;
}

} // namespace

bool Recordset::readPostgres(QSqlQuery& query)
{
    PGconn* session = utf8Session(m_connection);
    if (!session)
        return false;
    const bool checkUtf8 = textsUnchecked(session);
    const bool lowPrecision = query.numericalPrecisionPolicy() == QSql::LowPrecisionDouble;
    const int columns = int(m_fields.size());
    std::vector<Oid> types;
    while (query.next()) {
        // The result holds the current row alone (a forward-only query) or all of them.
        PGresult* result =
            query.result() ? handleOf<PGresult>(query.result()->handle(), "pg_result*") : nullptr;
        const int row = query.isForwardOnly() ? 0 : query.at();
        if (!result || PQnfields(result) != columns || row >= PQntuples(result)) {
            for (int c = 0; c < columns; ++c)
                appendQtValue(c, query.value(c));
            ++m_rowCount;
            continue;
        }
        if (types.empty())
            for (int c = 0; c < columns; ++c)
                types.push_back(PQftype(result, c));
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, row, c)) {
                appendScalar(Kind::Null, Payload{});
                continue;
            }
            const QByteArrayView value(PQgetvalue(result, row, c), PQgetlength(result, row, c));
            if (!appendPostgresValue(types[size_t(c)], value, checkUtf8, lowPrecision))
                appendQtValue(c, query.value(c)); // Qt SQL's own conversion of this value
        }
        ++m_rowCount;
    }
    return true;
}

bool Recordset::appendPostgresValue(quint32 type, QByteArrayView value, bool checkUtf8, bool lowPrecision)
{
    Payload payload{};
    if (readAsText(type)) {
        if (checkUtf8 && !value.isValidUtf8())
            return false;
        if (isPadded(type)) {
            while (value.endsWith(' '))
                value.chop(1);
        }
        appendSpan(Kind::Text, value);
        return true;
    }
    Kind kind = Kind::Null;
    switch (type) {
    case Boolean:
        payload.integer = value.startsWith('t');
        kind = Kind::Bool;
        break;
    case SmallInt:
    case Integer: {
        int number = 0;
        if (!readWhole(value, number))
            return false;
        payload.integer = number;
        kind = Kind::Int;
        break;
    }
    case BigInt:
        // Qt SQL gives the negative ones as signed numbers, the others unsigned.
        if (value.startsWith('-')) {
            if (!readWhole(value, payload.integer))
                return false;
            kind = Kind::Int;
        } else {
            if (!readWhole(value, payload.unsignedInteger))
                return false;
            kind = Kind::UInt;
        }
        break;
    case Numeric:
        // Qt SQL gives a decimal as its text unless it is asked for doubles.
        if (!lowPrecision)
            return false;
        [[fallthrough]];
    case Real:
    case DoublePrecision: {
        // "NaN", "Infinity" and "-Infinity" read as Qt SQL reads them; a number past a
        // double's range is left to Qt SQL.
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), payload.real);
        if (error != std::errc() || end != value.data() + value.size())
            return false;
        kind = Kind::Real;
        break;
    }
    case Date:
        if (!readIsoDate(value, payload.integer))
            return false;
        kind = Kind::Date;
        break;
    case Time:
        if (!readIsoTime(value, payload.integer))
            return false;
        kind = Kind::Time;
        break;
    case TimestampTz: {
        // The time as the session's zone shows it, which is what the server's own literals mean
        // ("zhdate='2026-10-05'"): the offset is dropped, not turned into the machine's zone,
        // so that a day stays the day it is in the database and its key finds its row again.
        const qsizetype offset = std::max(value.lastIndexOf('+'), value.lastIndexOf('-'));
        if (offset < 19)
            return false; // no offset after the time of day ("infinity", a year BC): Qt SQL's
        appendCell(
            QDateTime::fromString(QString::fromLatin1(value.first(offset)).replace(u' ', u'T'), Qt::ISODate));
        return true;
    }
    default:
        return false;
    }
    appendScalar(kind, payload);
    return true;
}

namespace {

struct FreeCopyRow
{
    void operator()(char* row) const { PQfreemem(row); }
};

// How a copy ended: every row sent, failed on the server, or its stream not readable to the end
// (libpq then goes on giving the copy's result: the session is lost to its next statement).
enum class CopyEnd
{
    Copied,
    Failed,
    Stuck
};

// Reads a copy stream to its end, dropping the rows left, and then its outcome, so that the
// session is ready for its next statement.
CopyEnd endCopy(PGconn* session)
{
    for (;;) {
        char* row = nullptr;
        const int size = PQgetCopyData(session, &row, 0);
        const std::unique_ptr<char, FreeCopyRow> owned(row);
        if (size < 0)
            break;
    }
    CopyEnd end = CopyEnd::Copied;
    while (PGresult* result = PQgetResult(session)) {
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        if (status == PGRES_COPY_OUT)
            return CopyEnd::Stuck;
        if (status != PGRES_COMMAND_OK)
            end = CopyEnd::Failed;
    }
    return end;
}

// Whether values of the type can be read from their text form here at all (each value may
// still turn out to need Qt SQL's conversion, as a double that is not a finite number does).
bool readHere(Oid type, bool lowPrecision)
{
    switch (type) {
    case Boolean:
    case SmallInt:
    case Integer:
    case BigInt:
    case Real:
    case DoublePrecision:
    case Date:
    case Time:
    case TimestampTz:
        return true;
    case Numeric:
        return lowPrecision;
    default:
        return readAsText(type);
    }
}

// A field of the copy stream's text form without its escapes: a backslash before b, f, n, r,
// t or v stands for that control character, before anything else for that character itself.
QByteArrayView unescapeCopyField(QByteArrayView field, QByteArray& unescaped)
{
    unescaped.resize(0); // keeps its capacity for the next field
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\' && i + 1 < field.size()) {
            c = field[++i];
            switch (c) {
            case 'b':
                c = '\b';
                break;
            case 'f':
                c = '\f';
                break;
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            case 't':
                c = '\t';
                break;
            case 'v':
                c = '\v';
                break;
            default:
                break;
            }
        }
        unescaped.append(c);
    }
    return unescaped;
}

} // namespace

bool Recordset::readPostgresCopy()
{
    PGconn* session = utf8Session(m_connection);
    // Outside a transaction only: a statement that fails here must not leave one aborted. A
    // session still busy with another statement's rows (a forward-only query kept open) is not
    // idle either, so such a read goes through Qt SQL as well.
    if (!session || PQstatus(session) != CONNECTION_OK ||
        PQtransactionStatus(session) != (m_reading ? PQTRANS_INTRANS : PQTRANS_IDLE) ||
        Connections::lost(m_connection))
        return false;
    const bool lowPrecision = m_connection.driver()->numericalPrecisionPolicy() == QSql::LowPrecisionDouble;
    const bool checkUtf8 = textsUnchecked(session);

    // The server parses and describes the text first: only one whole statement that returns
    // rows is run as a copy, so that nothing in the text can reach past the parentheses. A read
    // has had the text prepared already (beginReading).
    const QByteArray statement = m_sql.toUtf8();
    Result described;
    if (!m_reading) {
        described.reset(PQprepare(session, "", statement.constData(), 0, nullptr));
        if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
            return false;
    }
    described.reset(PQdescribePrepared(session, ""));
    const int columns = PQnfields(described.get());
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK || columns == 0)
        return false;
    std::vector<quint32> types;
    for (int c = 0; c < columns; ++c) {
        types.push_back(PQftype(described.get(), c));
        if (!readHere(types.back(), lowPrecision))
            return false;
    }

    // The rows, each stored as it comes; false at a row the store cannot take exactly (a
    // number past a double's range), which leaves the recordset to Qt SQL's read.
    auto readRows = [&] {
        for (int c = 0; c < columns; ++c) {
            const Oid type = types[size_t(c)];
            addField(QString::fromUtf8(PQfname(described.get(), c)),
                     QMetaType(type == Date   ? QMetaType::QDate
                               : type == Time ? QMetaType::QTime
                                              : QMetaType::UnknownType),
                     type);
        }
        QByteArray unescaped;
        for (;;) {
            char* row = nullptr;
            const int size = PQgetCopyData(session, &row, 0);
            const std::unique_ptr<char, FreeCopyRow> owned(row);
            if (size < 0)
                return size == -1;
            if (!appendCopyRow(QByteArrayView(row, size), types, checkUtf8, lowPrecision, unescaped))
                return false;
        }
    };
    const QByteArray copy = "COPY (\n" + statement + "\n) TO STDOUT";
    const bool started = PQresultStatus(Result(PQexec(session, copy.constData())).get()) == PGRES_COPY_OUT;
    bool whole = started;
    try {
        whole = whole && readRows();
    } catch (...) {
        if (endCopy(session) == CopyEnd::Stuck)
            Connections::reconnect(m_connection);
        throw;
    }
    // A copy the server refused to start (a statement it reads alone but not inside COPY, such
    // as one ending with a semicolon) has aborted the read's transaction as well.
    CopyEnd end = endCopy(session);
    if (!started && end == CopyEnd::Copied)
        end = CopyEnd::Failed;
    switch (end) {
    case CopyEnd::Copied:
        if (whole)
            return true;
        break;
    case CopyEnd::Failed:
        restartReading();
        break;
    case CopyEnd::Stuck:
        Connections::reconnect(m_connection);
        break;
    }
    const QString sql = m_sql;
    const QSqlDatabase connection = m_connection;
    close();
    m_sql = sql;
    m_connection = connection;
    return false;
}

bool Recordset::appendCopyRow(QByteArrayView row, const std::vector<quint32>& types, bool checkUtf8,
                              bool lowPrecision, QByteArray& unescaped)
{
    // Fields separated by tabs, the row ended by a newline; a null is "\N". Escapes are rare
    // (a backslash, a tab or a line break in a text), so the row is looked through for them once.
    if (!row.endsWith('\n'))
        return false;
    row.chop(1);
    const bool escaped = row.contains('\\');
    const char* next = row.data();
    const char* const end = row.data() + row.size();
    for (size_t c = 0; c < types.size(); ++c) {
        const char* const start = next;
        while (next != end && *next != '\t')
            ++next;
        if ((next == end) != (c + 1 == types.size()))
            return false; // fewer or more fields than the statement has
        QByteArrayView field(start, next - start);
        if (next != end)
            ++next;
        if (escaped && field.size() == 2 && field[0] == '\\' && field[1] == 'N') {
            appendScalar(Kind::Null, Payload{});
            continue;
        }
        if (escaped && field.contains('\\'))
            field = unescapeCopyField(field, unescaped);
        if (!appendPostgresValue(types[c], field, checkUtf8, lowPrecision) &&
            !appendAsQtConverts(types[c], field))
            return false;
    }
    ++m_rowCount;
    return true;
}

bool Recordset::isPadded(quint32 postgresType)
{
    return postgresType == Bpchar;
}

bool Recordset::comparesAsRead(quint32 postgresType)
{
    switch (postgresType) {
    case Boolean:
    case Char:
    case Name:
    case BigInt:
    case SmallInt:
    case Integer:
    case Text:
    case Real:
    case DoublePrecision:
    case Bpchar:
    case Varchar:
    case Date:
    case Time:
        return true;
    default:
        return false;
    }
}

bool Recordset::appendAsQtConverts(quint32 type, QByteArrayView value)
{
    if (type == Date)
        appendCell(QDate::fromString(QString::fromLatin1(value), Qt::ISODate));
    else if (type == Time)
        appendCell(QTime::fromString(QString::fromLatin1(value), Qt::ISODate));
    else if (readAsText(type))
        appendCell(QString::fromUtf8(value));
    else
        return false;
    return true;
}

} // namespace talor
