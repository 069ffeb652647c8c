#include "db/Recordset.h"

#include "db/Connections.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <utility>

namespace talor {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The one table a "select ... from T [where|order|group ...]" statement reads, or the
// empty text when it reads several (a join, a list of tables) or none. Quoted texts are
// skipped, so a value containing " from " cannot mislead it.
QString singleTable(const QString& sql)
{
    // Positions are taken in `sql` itself: lower-casing may change a text's length.
    qsizetype from = -1;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
            continue;
        }
        if (QStringView(sql).mid(i, 4).compare(u"from", Qt::CaseInsensitive) == 0 &&
            (i == 0 || !isWordChar(sql[i - 1])) && (i + 4 < sql.size() && sql[i + 4].isSpace())) {
            from = i + 4;
            break;
        }
    }
    if (from < 0)
        return {};
    qsizetype i = from;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    const qsizetype start = i;
    if (i < sql.size() && sql[i] == u'"') {
        i = sql.indexOf(u'"', i + 1);
        if (i < 0)
            return {};
        ++i;
    } else {
        while (i < sql.size() && (isWordChar(sql[i]) || sql[i] == u'.'))
            ++i;
    }
    const QString table = sql.mid(start, i - start);
    if (table.isEmpty())
        return {};
    const QString rest = sql.mid(i).trimmed().toLower();
    static const QStringList clauses{u"where"_qs, u"order"_qs,  u"group"_qs,
                                     u"limit"_qs, u"having"_qs, u"for"_qs};
    if (rest.isEmpty() || rest.startsWith(u';'))
        return table;
    for (const QString& clause : clauses) {
        if (rest.startsWith(clause) && (rest.size() == clause.size() || !isWordChar(rest[clause.size()])))
            return table;
    }
    return {};
}

// "HH:mm:ss", or "HH:mm:ss.zzz" when there are milliseconds; Qt's ISO forms, which do not go
// through the locale as a format picture does.
QString isoTime(const QTime& time)
{
    return time.toString(time.msec() ? Qt::ISODateWithMs : Qt::ISODate);
}

// "yyyy-MM-dd"; Qt's ISO form covers the years 0 to 9999 (and is far cheaper than the picture).
QString isoDate(const QDate& date)
{
    return date.year() >= 0 && date.year() <= 9999 ? date.toString(Qt::ISODate)
                                                   : date.toString(u"yyyy-MM-dd"_qs);
}

} // namespace

void Recordset::open(const QString& sql, const QSqlDatabase& connection, Expected expected, Access access)
{
    close();
    if (!connection.isOpen() && !Connections::lost(connection))
        throw DatabaseError(QCoreApplication::translate("talor", "the connection \"%1\" is not open\nSQL: %2")
                                .arg(connection.connectionName(), sql));
    m_sql = sql;
    m_connection = connection;
    const auto read = [&] {
        readResult(expected);
    };
    try {
        if (access == Reading) {
            beginReading();
            try {
                read();
            } catch (...) {
                endReading();
                throw;
            }
            endReading();
        } else {
            read();
        }
    } catch (...) {
        close();
        throw;
    }
    m_open = true;
}

namespace {

Recordset::RowReaders readersOfTheEnvironment()
{
    const QByteArray named = qgetenv("TALOR_ROW_READERS");
    if (named == "qtsql")
        return Recordset::RowReaders::QtSqlOnly;
    if (named == "copy")
        return Recordset::RowReaders::CopyWherePossible;
    return Recordset::RowReaders::ByExpectation;
}

std::atomic<Recordset::RowReaders>& chosenReaders()
{
    static std::atomic<Recordset::RowReaders> readers{readersOfTheEnvironment()};
    return readers;
}

} // namespace

Recordset::RowReaders Recordset::rowReaders()
{
    return chosenReaders().load(std::memory_order_relaxed);
}

void Recordset::setRowReaders(RowReaders readers)
{
    chosenReaders().store(readers, std::memory_order_relaxed);
}

// The one place where a read's reader is chosen: the engine's own where it reads the statement
// (SQLite's; PostgreSQL's copy stream), else Qt SQL's query, whose rows readRows takes.
void Recordset::readResult(Expected expected)
{
    const RowReaders readers = rowReaders();
    if (readers != RowReaders::QtSqlOnly) {
        if (readSqlite())
            return;
        if ((expected == ManyRows || readers == RowReaders::CopyWherePossible) && readPostgresCopy())
            return;
    }
    QSqlQuery query(m_connection);
    query.setForwardOnly(true);
    // Inside the read-only transaction a lost session is not made again under the statement:
    // the new one would run it outside that transaction.
    const bool ran = m_reading ? query.exec(m_sql) : Connections::execute(query, m_connection, m_sql);
    if (!ran)
        Connections::fail(m_connection, QCoreApplication::translate("talor", "the statement failed"),
                          query.lastError(), m_sql);
    readRows(query);
}

// Reads the field names and every row into the compact store, each value through libpq's
// result where the engine is PostgreSQL, else as Qt SQL gives it; a statement without a result
// set leaves the store empty.
void Recordset::readRows(QSqlQuery& query)
{
    if (!query.isSelect())
        return;
    const QSqlRecord record = query.record();
    const int columns = record.count();
    const bool postgres = m_connection.driverName() != u"QSQLITE";
    for (int c = 0; c < columns; ++c)
        addField(record.field(c).name(), record.field(c).metaType(),
                 postgres ? std::optional(quint32(record.field(c).typeID())) : std::nullopt);
    if (rowReaders() == RowReaders::QtSqlOnly || !readPostgres(query)) {
        while (query.next()) {
            for (int c = 0; c < columns; ++c)
                appendQtValue(c, query.value(c));
            ++m_rowCount;
        }
    }
    if (query.lastError().isValid() || Connections::lost(m_connection))
        Connections::fail(m_connection, QCoreApplication::translate("talor", "reading the rows failed"),
                          query.lastError(), m_sql);
}

void Recordset::addField(const QString& name, QMetaType type, std::optional<quint32> postgresType)
{
    m_fields.append(name);
    m_comparable.push_back(!postgresType || comparesAsRead(*postgresType));
    m_padded.push_back(postgresType && isPadded(*postgresType));
    if (!m_index.contains(name.toCaseFolded())) // the first of equal names wins
        m_index.insert(name.toCaseFolded(), int(m_fields.size()) - 1);
    switch (type.id()) {
    case QMetaType::QDate:
        m_temporal.push_back(Temporal::Date);
        break;
    case QMetaType::QTime:
        m_temporal.push_back(Temporal::Time);
        break;
    case QMetaType::QDateTime:
        m_temporal.push_back(Temporal::DateTime);
        break;
    default:
        m_temporal.push_back(Temporal::None);
    }
}

void Recordset::assignRows(const Recordset& whole, const std::vector<int>& rows, int columns,
                           const QHash<QString, int>& index, const QString& source)
{
    close();
    m_sql = source;
    m_connection = whole.m_connection;
    m_fields = whole.m_fields.mid(0, columns);
    m_index = index;
    m_temporal.assign(whole.m_temporal.begin(), whole.m_temporal.begin() + columns);
    m_comparable.assign(whole.m_comparable.begin(), whole.m_comparable.begin() + columns);
    m_padded.assign(whole.m_padded.begin(), whole.m_padded.begin() + columns);
    const size_t wholeColumns = size_t(whole.m_fields.size());
    auto isSpan = [](Kind kind) {
        return kind == Kind::Text || kind == Kind::Bytes;
    };
    // Where the rows' texts lie in the whole's store: a share's rows were read one after the
    // other, so their texts make one run, copied at once, each offset then moved by its start.
    quint64 low = std::numeric_limits<quint64>::max(), high = 0, bytes = 0;
    for (int row : rows)
        for (size_t cell = size_t(row) * wholeColumns, end = cell + size_t(columns); cell < end; ++cell)
            if (isSpan(whole.m_kinds[cell])) {
                const auto& span = whole.m_payload[cell].span;
                low = std::min<quint64>(low, span.offset);
                high = std::max<quint64>(high, quint64(span.offset) + span.size);
                bytes += span.size;
            }
    const bool oneRun = bytes > 0 && high - low <= 2 * bytes;
    if (oneRun)
        m_texts = QByteArray(whole.m_texts.constData() + low, qsizetype(high - low));
    else
        m_texts.reserve(qsizetype(bytes));
    m_kinds.reserve(rows.size() * size_t(columns));
    m_payload.reserve(rows.size() * size_t(columns));
    for (int row : rows) {
        const size_t first = size_t(row) * wholeColumns;
        const size_t at = m_payload.size();
        m_kinds.insert(m_kinds.end(), whole.m_kinds.begin() + qsizetype(first),
                       whole.m_kinds.begin() + qsizetype(first) + columns);
        m_payload.insert(m_payload.end(), whole.m_payload.begin() + qsizetype(first),
                         whole.m_payload.begin() + qsizetype(first) + columns);
        for (size_t cell = at; cell < at + size_t(columns); ++cell) {
            if (!isSpan(m_kinds[cell]))
                continue;
            auto& span = m_payload[cell].span;
            if (oneRun) {
                span.offset -= quint32(low);
            } else {
                const quint32 offset = quint32(m_texts.size());
                m_texts.append(whole.m_texts.constData() + span.offset, span.size);
                span.offset = offset;
            }
        }
    }
    m_rowCount = int(rows.size());
    m_open = true;
}

void Recordset::close()
{
    // Whatever fills the recordset next (open, a share of a read) holds other rows.
    static std::atomic<quint64> reads{0};
    m_readId = ++reads;
    m_statements.clear();
    m_updates.clear();
    m_lastColumns.clear();
    m_sql.clear();
    m_connection = QSqlDatabase();
    m_open = false;
    m_fields.clear();
    m_index.clear();
    m_spelled.clear();
    m_kinds = {};
    m_payload = {};
    m_texts = {};
    m_rowCount = 0;
    m_position = 0;
    m_pending.clear();
    m_temporal = {};
    m_comparable = {};
    m_padded = {};
    m_tableResolved = false;
    m_table.clear();
    m_keyColumns.clear();
    m_checkedColumns.clear();
    m_notUpdatable.clear();
    m_readBack = ReadBack::Select;
}

bool Recordset::eof() const
{
    return m_position >= m_rowCount;
}

void Recordset::moveFirst()
{
    if (!m_pending.empty())
        update();
    m_position = 0;
}

void Recordset::moveNext()
{
    requireRow();
    if (!m_pending.empty())
        update();
    ++m_position;
}

bool Recordset::hasField(const QString& name) const
{
    return m_index.contains(name.toCaseFolded());
}

QVariant Recordset::value(const QString& field) const
{
    return value(fieldIndex(field));
}

int Recordset::column(const QString& field) const
{
    const auto it = m_index.constFind(field.toCaseFolded());
    return it == m_index.cend() ? -1 : *it;
}

const QVariant* Recordset::unsavedChange(int column) const
{
    checkColumn(column);
    requireRow();
    for (const Change& change : m_pending)
        if (change.column == column)
            return &change.value;
    return nullptr;
}

QVariant Recordset::value(int column) const
{
    const QVariant* pending = unsavedChange(column);
    return pending ? *pending : cellValue(column);
}

bool Recordset::isNull(const QString& field) const
{
    return value(field).isNull();
}

QString Recordset::text(const QString& field) const
{
    return text(fieldIndex(field));
}

bool Recordset::isNull(int column) const
{
    if (const QVariant* pending = unsavedChange(column))
        return pending->isNull();
    return m_kinds[size_t(m_position) * size_t(m_fields.size()) + size_t(column)] == Kind::Null;
}

void Recordset::checkColumn(int column) const
{
    if (column < 0 || column >= m_fields.size())
        throw DatabaseError(
            QStringLiteral("there is no field number %1 in the records of: %2").arg(column).arg(m_sql));
}

bool Recordset::appendValueKey(int column, std::string& key) const
{
    if (unsavedChange(column))
        return false;
    const size_t cell = size_t(m_position) * size_t(m_fields.size()) + size_t(column);
    const Kind kind = m_kinds[cell];
    const Payload& payload = m_payload[cell];
    key.push_back(char(kind));
    if (kind == Kind::Text || kind == Kind::Bytes) {
        // The length first, so that keys of several values appended one after another part
        // the same way only when every value is the same.
        key.append(reinterpret_cast<const char*>(&payload.span.size), sizeof payload.span.size);
        key.append(m_texts.constData() + payload.span.offset, payload.span.size);
    } else if (kind != Kind::Null) {
        key.append(reinterpret_cast<const char*>(&payload.unsignedInteger), sizeof payload.unsignedInteger);
    }
    return true;
}

std::optional<int> Recordset::secondsOfDay(int column) const
{
    if (unsavedChange(column))
        return std::nullopt;
    const size_t cell = size_t(m_position) * size_t(m_fields.size()) + size_t(column);
    const Payload& payload = m_payload[cell];
    switch (m_kinds[cell]) {
    case Kind::Time:
        // Whole seconds only: text() adds the milliseconds otherwise.
        if (payload.integer % 1000 != 0)
            return std::nullopt;
        return int(payload.integer / 1000);
    case Kind::Text: {
        if (payload.span.size != 8)
            return std::nullopt;
        const char* t = m_texts.constData() + payload.span.offset;
        auto two = [t](int at) {
            const unsigned tens = unsigned(t[at] - '0'), ones = unsigned(t[at + 1] - '0');
            return tens <= 9 && ones <= 9 ? int(tens * 10 + ones) : 99;
        };
        if (t[2] != ':' || t[5] != ':')
            return std::nullopt;
        const int hours = two(0), minutes = two(3), seconds = two(6);
        if (hours > 23 || minutes > 59 || seconds > 59)
            return std::nullopt;
        return (hours * 60 + minutes) * 60 + seconds;
    }
    default:
        return std::nullopt;
    }
}

QString Recordset::text(int column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return v.toDate().toString(u"yyyy-MM-dd"_qs);
    case QMetaType::QTime:
        return isoTime(v.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.date().toString(u"yyyy-MM-dd"_qs) + u' ' + isoTime(dt.time());
    }
    case QMetaType::Double: {
        // Plain decimals ("1000000", "0.25"); exponents only where those would be unwieldy.
        const double d = std::abs(v.toDouble());
        const bool plain = d == 0 || (d >= 1e-6 && d < 1e15);
        return QString::number(v.toDouble(), plain ? 'f' : 'g', QLocale::FloatingPointShortest);
    }
    default:
        return v.toString();
    }
}

void Recordset::setValue(const QString& field, const QVariant& value)
{
    const int column = fieldIndex(field);
    requireRow();
    resolveTable();
    const QVariant stored = storedForm(column, value);
    const QVariant original = storedForm(column, cellValue(column));
    const bool same = stored.isNull() ? original.isNull() : !original.isNull() && stored == original;
    // The changes stay ordered by column: the statement of a change depends on its columns.
    auto it = std::lower_bound(m_pending.begin(), m_pending.end(), column,
                               [](const Change& change, int c) { return change.column < c; });
    const bool known = it != m_pending.end() && it->column == column;
    if (same && known)
        m_pending.erase(it);
    else if (!same && known)
        it->value = stored;
    else if (!same)
        m_pending.insert(it, Change{column, stored, original});
}

void Recordset::setCheckedFields(const QStringList& fields)
{
    m_checkedColumns.clear();
    for (const QString& field : fields)
        m_checkedColumns.append(fieldIndex(field));
    std::sort(m_checkedColumns.begin(), m_checkedColumns.end());
    m_checkedColumns.erase(std::unique(m_checkedColumns.begin(), m_checkedColumns.end()),
                           m_checkedColumns.end());
}

void Recordset::update()
{
    requireRow();
    if (m_pending.empty())
        return;
    // Whatever happens below, the unsaved changes are gone; both lists keep their room for the
    // next row.
    m_changes.clear();
    std::swap(m_changes, m_pending);
    const std::vector<Change>& changes = m_changes;
    resolveTable();
    if (!m_notUpdatable.isEmpty())
        throw DatabaseError(m_notUpdatable);

    // The changed columns; rows changed alike (a save writes the same fields in row after row)
    // share one list.
    bool sameColumns = m_lastColumns.size() == qsizetype(changes.size());
    for (size_t i = 0; sameColumns && i < changes.size(); ++i)
        sameColumns = m_lastColumns[qsizetype(i)] == changes[i].column;
    if (!sameColumns) {
        m_lastColumns.clear();
        for (const Change& change : changes)
            m_lastColumns.append(change.column);
    }
    const QList<int> columns = m_lastColumns;
    std::vector<QVariant>& checks = m_checks;
    checks.clear();
    for (int column : std::as_const(m_keyColumns))
        checks.push_back(storedForm(column, cellValue(column)));
    // The statement depends on the changed columns and on which of their old values are null
    // (checked with IS NULL): one prepared statement per such shape serves every row.
    QByteArray& shape = m_shape;
    shape.resize(0);
    for (const Change& change : changes) {
        const int column = change.column;
        const bool checked = !m_keyColumns.contains(column) && !change.original.isNull();
        if (checked)
            checks.push_back(change.original);
        shape.append(char(column & 0xff)).append(char(column >> 8)).append(checked ? 'v' : 'n');
    }
    // The checked fields this update does not change, after a mark (their columns and values
    // follow the changed ones in the statement).
    m_unchangedChecked.clear();
    shape.append('|');
    for (int column : std::as_const(m_checkedColumns)) {
        const bool changed = std::binary_search(columns.cbegin(), columns.cend(), column);
        if (changed || m_keyColumns.contains(column) || !m_comparable[size_t(column)])
            continue;
        m_unchangedChecked.append(column);
        const QVariant original = storedForm(column, cellValue(column));
        if (!original.isNull())
            checks.push_back(original);
        shape.append(char(column & 0xff)).append(char(column >> 8)).append(original.isNull() ? 'n' : 'v');
    }
    auto prepared = m_updates.find(shape);
    if (prepared == m_updates.end())
        prepared = m_updates
                       .emplace(QByteArray(shape.constData(), shape.size()),
                                PreparedUpdate{updateText(columns, m_unchangedChecked), {}})
                       .first;
    const QString& sql = prepared->second.sql;
    std::shared_ptr<QSqlQuery> kept = prepared->second.query.lock();
    if (!kept) {
        kept = statement(sql, QCoreApplication::translate("talor", "the update of %1 failed").arg(m_table));
        prepared->second.query = kept;
    }
    QSqlQuery& query = *kept;

    // The row then holds exactly what this update stored, and the next Update of it is checked
    // against that, never against what someone else stored since. Where a trigger may change
    // the row, the update and its read-back form one transaction, so that nobody's change can
    // come in between; inside a transaction of the caller's (SQLite refuses a second one) they
    // are part of that one.
    const bool ownTransaction = m_readBack == ReadBack::Select && !TransactionScope::isActive(m_connection) &&
                                m_connection.transaction();
    const qsizetype base = qsizetype(m_position) * m_fields.size();
    QHash<int, QVariant> readKey;
    try {
        for (const Change& change : changes)
            query.addBindValue(change.value);
        for (const QVariant& v : checks)
            query.addBindValue(v);
        if (!query.exec())
            Connections::fail(m_connection,
                              QCoreApplication::translate("talor", "the update of %1 failed").arg(m_table),
                              query.lastError(), sql);
        const bool updated = m_readBack == ReadBack::Returning ? query.next() : query.numRowsAffected() >= 1;
        if (!updated) {
            query.finish();
            throw ConflictError(conflictMessage());
        }

        // The key may have been among the changes; the row is found again by its new key.
        for (const Change& change : changes) {
            if (m_keyColumns.contains(change.column)) {
                readKey.insert(change.column, cellValue(change.column));
                storeCell(base + change.column, change.value);
            }
        }
        switch (m_readBack) {
        case ReadBack::Returning:
            for (int i = 0; i < columns.size(); ++i)
                storeCell(base + columns[i], query.value(i));
            query.finish();
            break;
        case ReadBack::Written:
            for (const Change& change : changes)
                storeCell(base + change.column, change.value);
            break;
        case ReadBack::Select:
            // A trigger may have changed the checked columns too: the next check compares them.
            readBack(m_unchangedChecked.isEmpty() ? columns : columns + m_unchangedChecked);
            break;
        }
        if (ownTransaction && !m_connection.commit())
            Connections::fail(
                m_connection,
                QCoreApplication::translate("talor", "the update of %1 could not be committed").arg(m_table),
                m_connection.lastError(), sql);
    } catch (...) {
        query.finish();
        if (ownTransaction)
            m_connection.rollback();
        // Nothing was saved: the row keeps the key it was read with.
        for (auto it = readKey.cbegin(); it != readKey.cend(); ++it)
            storeCell(base + it.key(), it.value());
        throw;
    }
}

// "UPDATE T SET c = ?, ... WHERE key = ? ... AND c = ? (or c IS NULL) ...", the old values
// of the changed columns, then of the `checked` ones, in the order update binds them; on
// PostgreSQL times to the millisecond.
QString Recordset::updateText(const QList<int>& columns, const QList<int>& checked) const
{
    QSqlDriver* driver = m_connection.driver();
    auto name = [&](int column) {
        return driver->escapeIdentifier(m_fields[column], QSqlDriver::FieldName);
    };
    // PostgreSQL keeps times to the microsecond and the rows hold them to the millisecond: a
    // time that another program stored finer is still the time that was read.
    const bool finerTimes = m_connection.driverName() != u"QSQLITE";
    auto unchanged = [&](int column) -> QString {
        if (storedForm(column, cellValue(column)).isNull())
            return name(column) + u" IS NULL";
        const Temporal temporal = m_temporal[size_t(column)];
        if (!finerTimes || (temporal != Temporal::Time && temporal != Temporal::DateTime))
            return name(column) + u" = ?";
        const QString type = temporal == Temporal::Time ? u"time"_qs : u"timestamp"_qs;
        return u"abs(extract(epoch from CAST(" + name(column) + u" AS " + type + u") - CAST(? AS " + type +
               u"))) < 0.001";
    };
    QStringList assignments;
    QStringList conditions{keyCondition()};
    for (int column : columns) {
        assignments.append(name(column) + u" = ?");
        if (!m_keyColumns.contains(column))
            conditions.append(unchanged(column));
    }
    for (int column : checked)
        conditions.append(unchanged(column));
    QString sql =
        u"UPDATE " + m_table + u" SET " + assignments.join(u", ") + u" WHERE " + conditions.join(u" AND ");
    if (m_readBack == ReadBack::Returning) {
        QStringList names;
        for (int column : columns)
            names.append(name(column));
        sql += u" RETURNING " + names.join(u", ");
    }
    return sql;
}

// Reads the written columns back, so the row holds what the database stored (its own
// types and conversions, and what its triggers did), as a fresh query would show it.
void Recordset::readBack(const QList<int>& columns)
{
    QSqlDriver* driver = m_connection.driver();
    QStringList names;
    for (int column : columns)
        names.append(driver->escapeIdentifier(m_fields[column], QSqlDriver::FieldName));
    const QString sql = u"SELECT " + names.join(u", ") + u" FROM " + m_table + u" WHERE " + keyCondition();
    const QString failed =
        QCoreApplication::translate("talor", "reading back the saved row of %1 failed").arg(m_table);
    const std::shared_ptr<QSqlQuery> kept = statement(sql, failed);
    QSqlQuery& query = *kept;
    for (int column : std::as_const(m_keyColumns))
        query.addBindValue(storedForm(column, cellValue(column)));
    if (!query.exec() || !query.next()) {
        const QSqlError error = query.lastError();
        query.finish();
        Connections::fail(m_connection, failed, error, sql);
    }
    const qsizetype base = qsizetype(m_position) * m_fields.size();
    for (int i = 0; i < columns.size(); ++i)
        storeCell(base + columns[i], query.value(i));
    query.finish();
}

// "k1 = ? AND k2 = ?": the row by its key.
QString Recordset::keyCondition() const
{
    QSqlDriver* driver = m_connection.driver();
    QStringList conditions;
    for (int column : m_keyColumns)
        conditions.append(driver->escapeIdentifier(m_fields[column], QSqlDriver::FieldName) + u" = ?");
    return conditions.join(u" AND ");
}

// The prepared statement of `sql`: kept by the session, so that a save updates row after row,
// and recordset after recordset, with the same few statements. The recordset holds them only
// weakly: those of a session that has been replaced are dropped with it, and the next use
// prepares the statement on the new one.
std::shared_ptr<QSqlQuery> Recordset::statement(const QString& sql, const QString& failed)
{
    std::weak_ptr<QSqlQuery>& known = m_statements[sql];
    std::shared_ptr<QSqlQuery> query = known.lock();
    if (!query) {
        QSqlError error;
        query = Connections::sessionStatement(m_connection, sql, error);
        if (!query)
            Connections::fail(m_connection, failed, error, sql);
        known = query;
    }
    return query;
}

// Why the update found no row: it was deleted, or a changed column no longer holds the
// value it was read with.
QString Recordset::conflictMessage() const
{
    QStringList key;
    for (int column : m_keyColumns)
        key.append(m_fields[column] + u'=' + text(m_fields[column]));
    QSqlQuery query(m_connection);
    query.setForwardOnly(true);
    bool deleted = false;
    if (query.prepare(u"SELECT 1 FROM " + m_table + u" WHERE " + keyCondition())) {
        for (int column : m_keyColumns)
            query.addBindValue(storedForm(column, cellValue(column)));
        deleted = query.exec() && !query.next() && query.lastError().type() == QSqlError::NoError;
    }
    return (deleted ? QCoreApplication::translate(
                          "talor", "the row of %1 with %2 was deleted by someone else; nothing was saved")
                    : QCoreApplication::translate(
                          "talor", "the row of %1 with %2 was changed by someone else; nothing was saved"))
        .arg(m_table, key.join(u", "));
}

int Recordset::fieldIndex(const QString& name) const
{
    // The names callers use are few and repeat for every row: each is folded once.
    const auto known = m_spelled.constFind(name);
    if (known != m_spelled.cend())
        return *known;
    const auto it = m_index.constFind(name.toCaseFolded());
    if (it == m_index.cend())
        throw DatabaseError(QStringLiteral("the field %1 is not among the fields of: %2").arg(name, m_sql));
    m_spelled.insert(name, *it);
    return *it;
}

void Recordset::requireRow() const
{
    if (eof())
        throw DatabaseError(
            QStringLiteral("there is no current row (end of the records) in the records of: %1").arg(m_sql));
}

void Recordset::throwTooLarge() const
{
    throw DatabaseError(
        QCoreApplication::translate("talor", "the result of %1 is too large to hold in memory").arg(m_sql));
}

void Recordset::appendQtValue(int column, const QVariant& value)
{
    if (!m_padded[size_t(column)] || value.typeId() != QMetaType::QString) {
        appendCell(value);
        return;
    }
    QString text = value.toString();
    while (text.endsWith(u' '))
        text.chop(1);
    appendCell(text);
}

void Recordset::appendCell(const QVariant& value)
{
    m_kinds.push_back(Kind::Null);
    m_payload.push_back(Payload{});
    storeCell(qsizetype(m_kinds.size()) - 1, value);
}

void Recordset::storeCell(qsizetype cell, const QVariant& value)
{
    Payload& payload = m_payload[size_t(cell)];
    Kind& kind = m_kinds[size_t(cell)];
    auto keepBytes = [&](QByteArrayView bytes, Kind as) {
        payload = keep(bytes);
        kind = as;
    };
    // Most texts of a report are short: codes, dates and times in ASCII, names and notes in
    // CJK. Characters of the basic plane outside the surrogates are encoded here without
    // making a UTF-8 copy first (one to three bytes each, as toUtf8 does); other texts go
    // through toUtf8.
    auto keepText = [&](const QString& text) {
        std::array<char, 64 * 3> utf8;
        const qsizetype size = text.size();
        if (size <= 64) {
            const QChar* chars = text.constData();
            size_t n = 0;
            qsizetype i = 0;
            for (; i < size; ++i) {
                const char16_t c = chars[i].unicode();
                if (c < 0x80) {
                    utf8[n++] = char(c);
                } else if (c < 0x800) {
                    utf8[n++] = char(0xC0 | (c >> 6));
                    utf8[n++] = char(0x80 | (c & 0x3F));
                } else if (c < 0xD800 || c > 0xDFFF) {
                    utf8[n++] = char(0xE0 | (c >> 12));
                    utf8[n++] = char(0x80 | ((c >> 6) & 0x3F));
                    utf8[n++] = char(0x80 | (c & 0x3F));
                } else {
                    break;
                }
            }
            if (i == size)
                return keepBytes(QByteArrayView(utf8.data(), qsizetype(n)), Kind::Text);
        }
        keepBytes(text.toUtf8(), Kind::Text);
    };
    if (value.isNull()) {
        kind = Kind::Null;
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
        kind = Kind::Int;
        payload.integer = value.toLongLong();
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
        kind = Kind::UInt;
        payload.unsignedInteger = value.toULongLong();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        kind = Kind::Real;
        payload.real = value.toDouble();
        break;
    case QMetaType::Bool:
        kind = Kind::Bool;
        payload.integer = value.toBool();
        break;
    case QMetaType::QDate:
        kind = Kind::Date;
        payload.integer = value.toDate().toJulianDay();
        break;
    case QMetaType::QTime:
        kind = Kind::Time;
        payload.integer = value.toTime().msecsSinceStartOfDay();
        break;
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        kind = dt.timeSpec() == Qt::LocalTime ? Kind::DateTimeLocal : Kind::DateTimeUtc;
        payload.integer = dt.toMSecsSinceEpoch();
        break;
    }
    case QMetaType::QByteArray:
        keepBytes(value.toByteArray(), Kind::Bytes);
        break;
    default:
        keepText(value.toString());
    }
}

QVariant Recordset::cellValue(int column) const
{
    const size_t cell = size_t(m_position) * size_t(m_fields.size()) + size_t(column);
    const Payload& payload = m_payload[cell];
    switch (m_kinds[cell]) {
    case Kind::Null:
        return {};
    case Kind::Int:
        return QVariant(payload.integer);
    case Kind::UInt:
        return QVariant(payload.unsignedInteger);
    case Kind::Real:
        return QVariant(payload.real);
    case Kind::Bool:
        return QVariant(payload.integer != 0);
    case Kind::Text:
        return QString::fromUtf8(m_texts.constData() + payload.span.offset, payload.span.size);
    case Kind::Bytes:
        return QByteArray(m_texts.constData() + payload.span.offset, payload.span.size);
    case Kind::Date:
        return QDate::fromJulianDay(payload.integer);
    case Kind::Time:
        return QTime::fromMSecsSinceStartOfDay(int(payload.integer));
    case Kind::DateTimeLocal:
        return QDateTime::fromMSecsSinceEpoch(payload.integer);
    case Kind::DateTimeUtc:
        return QDateTime::fromMSecsSinceEpoch(payload.integer, Qt::UTC);
    }
    return {};
}

// The form a value is written and compared in: dates and times become ISO text in the
// column's own shape, so that SQLite (which keeps them as text) and PostgreSQL (which reads
// the text as its date types) both compare them correctly, whatever the time zone.
QVariant Recordset::storedForm(int column, const QVariant& value) const
{
    if (value.isNull())
        return {};
    const Temporal temporal = m_temporal[size_t(column)];
    switch (value.metaType().id()) {
    case QMetaType::QDate: {
        const QString date = isoDate(value.toDate());
        return temporal == Temporal::DateTime ? QString(date + u" 00:00:00") : date;
    }
    case QMetaType::QTime: {
        if (temporal != Temporal::DateTime)
            return isoTime(value.toTime());
        // A time of day for a date-time column keeps the day the row holds there (the
        // spreadsheet's day zero when it holds none): the column takes no time alone.
        const QDateTime held = cellValue(column).toDateTime();
        const QDate day = held.isValid() ? held.date() : QDate(1899, 12, 30);
        return QString(isoDate(day) + u' ' + isoTime(value.toTime()));
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        const QString date = isoDate(dt.date());
        if (temporal == Temporal::Date)
            return date;
        if (temporal == Temporal::Time)
            return isoTime(dt.time());
        return QString(date + u' ' + isoTime(dt.time()));
    }
    default:
        return value;
    }
}

// Finds the table, its key columns and, on SQLite, the declared date and time columns.
void Recordset::resolveTable()
{
    if (m_tableResolved)
        return;
    m_tableResolved = true;
    m_table = singleTable(m_sql);
    if (m_table.isEmpty()) {
        m_notUpdatable =
            QCoreApplication::translate("talor", "Update needs a statement that reads exactly one table; "
                                                 "cannot update the rows of: %1")
                .arg(m_sql);
        return;
    }
    QString name = m_table;
    if (name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    TableFacts facts;
    try {
        facts = m_connection.driverName() == u"QSQLITE" ? sqliteTableFacts(name) : postgresTableFacts();
    } catch (...) {
        m_tableResolved = false; // asked again at the next change
        m_table.clear();
        throw;
    }
    const QStringList& keyNames = facts.keyNames;
    // A trigger may change or move the row written: it is read back as stored. Otherwise the
    // engine stores the values written, converted by the column's type: PostgreSQL returns
    // them from the update itself; SQLite converts a compared value by the column's affinity
    // as it converted the stored one, so the written values serve the next check as they are.
    m_readBack = facts.triggers                            ? ReadBack::Select
                 : m_connection.driverName() == u"QSQLITE" ? ReadBack::Written
                                                           : ReadBack::Returning;
    for (auto it = facts.temporal.cbegin(); it != facts.temporal.cend(); ++it) {
        const auto column = m_index.constFind(it.key());
        if (column != m_index.cend())
            m_temporal[size_t(*column)] = it.value();
    }
    if (keyNames.isEmpty()) {
        m_notUpdatable = QCoreApplication::translate(
                             "talor", "the table %1 has no primary key, so Update cannot find the row; "
                                      "nothing was saved")
                             .arg(m_table);
        return;
    }
    for (const QString& keyName : std::as_const(keyNames)) {
        const auto column = m_index.constFind(keyName.toCaseFolded());
        if (column == m_index.cend()) {
            m_notUpdatable = QCoreApplication::translate(
                                 "talor", "the statement does not read the key column %1 of %2, so "
                                          "Update cannot find the row: %3")
                                 .arg(keyName, m_table, m_sql);
            return;
        }
        m_keyColumns.append(*column);
    }
}

namespace {

QMutex tableFactsMutex;

QString catalogueFailure(const QString& table)
{
    return QCoreApplication::translate("talor", "reading the catalogue entry of %1 failed").arg(table);
}

} // namespace

// One look at SQLite's catalogue: the key columns in order, whether the table has triggers,
// and the declared date and time columns. The facts of a table are kept for the process and
// asked again only when the schema version of its database file has changed since, so that a
// save of person after person does not read the catalogue for each one; the schema version is
// read by a statement the session keeps prepared. A catalogue that cannot be read throws
// DatabaseError.
Recordset::TableFacts Recordset::sqliteTableFacts(const QString& name) const
{
    static QHash<QString, std::pair<qint64, TableFacts>> known; // connection, file, table -> version, facts
    const QString versionText = u"PRAGMA schema_version"_qs;
    QSqlError error;
    const std::shared_ptr<QSqlQuery> version =
        Connections::sessionStatement(m_connection, versionText, error);
    if (!version)
        Connections::fail(m_connection, catalogueFailure(m_table), error, versionText);
    if (!version->exec() || !version->next()) {
        error = version->lastError();
        version->finish();
        Connections::fail(m_connection, catalogueFailure(m_table), error, versionText);
    }
    const qint64 schema = version->value(0).toLongLong();
    version->finish(); // a statement left reading would hold a read transaction open
    const QString file = m_connection.databaseName();
    const bool cached = !file.isEmpty() && file != u":memory:";
    const QString key = m_connection.connectionName() + u'\x1f' + file + u'\x1f' + name.toCaseFolded();
    if (cached) {
        QMutexLocker lock(&tableFactsMutex);
        const auto it = known.constFind(key);
        if (it != known.cend() && it->first == schema)
            return it->second;
    }
    TableFacts facts;
    QMap<int, QString> keyPlaces; // place in the key -> column
    const QString sql = u"SELECT name, type, pk, (SELECT count(*) FROM sqlite_master WHERE type = 'trigger' "
                        "AND lower(tbl_name) = lower(?)) FROM pragma_table_info(?)"_qs;
    QSqlQuery query(m_connection);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        Connections::fail(m_connection, catalogueFailure(m_table), query.lastError(), sql);
    query.addBindValue(name);
    query.addBindValue(name);
    if (!query.exec())
        Connections::fail(m_connection, catalogueFailure(m_table), query.lastError(), sql);
    while (query.next()) {
        facts.triggers = query.value(3).toInt() != 0;
        if (query.value(2).toInt() > 0)
            keyPlaces.insert(query.value(2).toInt(), query.value(0).toString());
        const Temporal temporal = declaredTemporal(query.value(1).toString());
        if (temporal != Temporal::None)
            facts.temporal.insert(query.value(0).toString().toCaseFolded(), temporal);
    }
    if (query.lastError().isValid())
        Connections::fail(m_connection, catalogueFailure(m_table), query.lastError(), sql);
    facts.keyNames = keyPlaces.values();
    if (cached) {
        QMutexLocker lock(&tableFactsMutex);
        known.insert(key, {schema, facts});
    }
    return facts;
}

// How SQLite keeps a column of the declared type: dates and times as text of their own shape.
Recordset::Temporal Recordset::declaredTemporal(const QString& declared)
{
    const QString type = declared.toLower();
    if (type.contains(u"datetime") || type.contains(u"timestamp"))
        return Temporal::DateTime;
    if (type.contains(u"date"))
        return Temporal::Date;
    if (type.contains(u"time"))
        return Temporal::Time;
    return Temporal::None;
}

// One look at PostgreSQL's catalogue, by a statement the session keeps prepared: the primary
// key columns in key order, and whether a trigger is defined on the table. The table is named as
// the statement names it: unquoted names fold to lower case, a schema may be given. A table the
// server does not know has no key. The catalogue is asked for each recordset, as PostgreSQL has
// nothing that would tell cheaply that a table's keys or triggers changed since.
Recordset::TableFacts Recordset::postgresTableFacts() const
{
    const QString sql =
        u"SELECT a.attname, (SELECT count(*) FROM pg_trigger t WHERE t.tgrelid = i.indrelid "
        "AND NOT t.tgisinternal) FROM pg_index i JOIN pg_attribute a ON a.attrelid = i.indrelid "
        "AND a.attnum = ANY (i.indkey) WHERE i.indrelid = to_regclass(?) AND i.indisprimary "
        "ORDER BY array_position(i.indkey::int2[], a.attnum)"_qs;
    QSqlError error;
    const std::shared_ptr<QSqlQuery> query = Connections::sessionStatement(m_connection, sql, error);
    if (!query)
        Connections::fail(m_connection, catalogueFailure(m_table), error, sql);
    query->addBindValue(m_table);
    TableFacts facts;
    bool read = query->exec();
    while (read && query->next()) {
        facts.keyNames.append(query->value(0).toString());
        facts.triggers = query->value(1).toInt() != 0;
    }
    error = query->lastError();
    query->finish();
    if (!read || error.isValid())
        Connections::fail(m_connection, catalogueFailure(m_table), error, sql);
    return facts;
}

namespace {

QMutex scopesMutex;
QSet<QString> scopes; // connection names with an active TransactionScope

} // namespace

namespace {

// Begins a transaction. On SQLite it takes the write lock at once, waiting for another
// process's (the busy wait): a transaction that read first and then asked for it would be
// refused at once while another writer holds it, as SQLite gives up rather than risk a deadlock.
bool beginTransaction(QSqlDatabase& connection, QSqlError& error)
{
    if (connection.driverName() != u"QSQLITE") {
        const bool begun = connection.transaction();
        error = connection.lastError();
        return begun;
    }
    QSqlQuery begin(connection);
    const bool begun = begin.exec(u"BEGIN IMMEDIATE"_qs);
    error = begin.lastError();
    return begun;
}

} // namespace

TransactionScope::TransactionScope(QSqlDatabase connection) : m_connection(std::move(connection))
{
    m_active = beginTransaction(m_connection, m_error);
    // A session the server ended while idle shows only now: no transaction was open on it.
    if (!m_active && Connections::lost(m_connection, m_error) && !isActive(m_connection)) {
        Connections::reconnect(m_connection);
        m_active = beginTransaction(m_connection, m_error);
    }
    if (m_active) {
        QMutexLocker lock(&scopesMutex);
        scopes.insert(m_connection.connectionName());
    }
}

TransactionScope::~TransactionScope()
{
    rollback();
}

void TransactionScope::end()
{
    m_active = false;
    QMutexLocker lock(&scopesMutex);
    scopes.remove(m_connection.connectionName());
}

bool TransactionScope::commit()
{
    if (!m_active)
        return true;
    end();
    if (m_connection.commit())
        return true;
    // A refused commit may leave the transaction open (SQLite's, while another connection still
    // reads the file past the busy wait): it is taken back, so that nothing of it is kept by
    // chance later and neither this connection nor the readers stay locked out.
    m_error = m_connection.lastError();
    m_connection.rollback();
    return false;
}

void TransactionScope::rollback()
{
    if (!m_active)
        return;
    end();
    m_connection.rollback();
}

bool TransactionScope::isActive(const QSqlDatabase& connection)
{
    QMutexLocker lock(&scopesMutex);
    return scopes.contains(connection.connectionName());
}

} // namespace talor
