#include "db/SharedRecords.h"

#include <algorithm>

namespace talor {

void SharedRecords::open(const QString& sql, const QSqlDatabase& connection)
{
    close();
    m_rows.open(sql, connection, Recordset::ManyRows);
    const int columns = int(m_rows.m_fields.size());
    if (columns < 1)
        throw DatabaseError(QStringLiteral("the statement returns no share numbers: %1").arg(sql));
    const int last = columns - 1;
    // The fields' index without the share number, shared by every recordset handed out.
    for (auto it = m_rows.m_index.cbegin(); it != m_rows.m_index.cend(); ++it)
        if (it.value() < last)
            m_index.insert(it.key(), it.value());
    for (int row = 0; row < m_rows.m_rowCount; ++row) {
        const size_t cell = size_t(row) * size_t(columns) + size_t(last);
        const Recordset::Kind kind = m_rows.m_kinds[cell];
        const Recordset::Payload payload = m_rows.m_payload[cell];
        qint64 share = -1;
        if (kind == Recordset::Kind::Int)
            share = payload.integer;
        else if (kind == Recordset::Kind::UInt)
            share = qint64(payload.unsignedInteger);
        else if (kind == Recordset::Kind::Real && payload.real == double(qint64(payload.real)))
            share = qint64(payload.real);
        else if (kind == Recordset::Kind::Text) // a driver that hands numbers over as text
            share =
                QByteArray(m_rows.m_texts.constData() + payload.span.offset, payload.span.size).toLongLong();
        if (share < 0 || share > (qint64(1) << 24)) {
            close();
            throw DatabaseError(
                QStringLiteral("row %1 has no share number in its last column: %2").arg(row).arg(sql));
        }
        if (size_t(share) >= m_shares.size())
            m_shares.resize(size_t(share) + 1);
        m_shares[size_t(share)].push_back(row);
    }
}

void SharedRecords::close()
{
    m_rows.close();
    m_shares.clear();
    m_index.clear();
}

const std::vector<int>& SharedRecords::rowsOf(int share) const
{
    static const std::vector<int> none;
    return share >= 0 && size_t(share) < m_shares.size() ? m_shares[size_t(share)] : none;
}

void SharedRecords::shareInto(int share, const QString& source, Recordset& records) const
{
    records.assignRows(m_rows, rowsOf(share), int(m_rows.m_fields.size()) - 1, m_index, source);
}

bool SharedRecords::repeats(int share, const QString& field) const
{
    const std::vector<int>& rows = rowsOf(share);
    if (rows.size() < 2)
        return false;
    const int column = m_rows.fieldIndex(field);
    const size_t columns = size_t(m_rows.m_fields.size());
    auto same = [&](int a, int b) {
        const size_t x = size_t(a) * columns + size_t(column);
        const size_t y = size_t(b) * columns + size_t(column);
        const Recordset::Kind kind = m_rows.m_kinds[x];
        if (kind != m_rows.m_kinds[y])
            return false;
        const Recordset::Payload& p = m_rows.m_payload[x];
        const Recordset::Payload& q = m_rows.m_payload[y];
        switch (kind) {
        case Recordset::Kind::Null:
            return true;
        case Recordset::Kind::Text:
        case Recordset::Kind::Bytes:
            return QByteArrayView(m_rows.m_texts.constData() + p.span.offset, p.span.size) ==
                   QByteArrayView(m_rows.m_texts.constData() + q.span.offset, q.span.size);
        case Recordset::Kind::Real:
            return p.real == q.real;
        default:
            return p.integer == q.integer;
        }
    };
    for (size_t i = 1; i < rows.size(); ++i)
        if (same(rows[i - 1], rows[i]))
            return true;
    return false;
}

bool SharedRecords::putInOrder(int share, const QString& field)
{
    if (share < 0 || size_t(share) >= m_shares.size() || m_shares[size_t(share)].size() < 2)
        return true;
    std::vector<int>& rows = m_shares[size_t(share)];
    const int column = m_rows.fieldIndex(field);
    if (column < 0)
        return false;
    const size_t columns = size_t(m_rows.m_fields.size());
    const auto cell = [&](int row) {
        return size_t(row) * columns + size_t(column);
    };
    const auto text = [&](int row) {
        const Recordset::Payload& p = m_rows.m_payload[cell(row)];
        return QByteArrayView(m_rows.m_texts.constData() + p.span.offset, p.span.size);
    };
    // Numbers compare as numbers in every collation, texts byte by byte in BINARY; NOCASE
    // reads capitals as small letters and RTRIM leaves trailing blanks out.
    const auto sameInEveryCollation = [](QByteArrayView bytes) {
        return !bytes.endsWith(' ') && std::none_of(bytes.begin(), bytes.end(), [](char c) {
            return uchar(c) >= 0x80 || (c >= 'A' && c <= 'Z');
        });
    };
    const Recordset::Kind kind = m_rows.m_kinds[cell(rows.front())];
    if (kind != Recordset::Kind::Int && kind != Recordset::Kind::Real && kind != Recordset::Kind::Text)
        return false;
    for (const int row : rows)
        if (m_rows.m_kinds[cell(row)] != kind ||
            (kind == Recordset::Kind::Text && !sameInEveryCollation(text(row))))
            return false;
    const auto before = [&](int a, int b) {
        const Recordset::Payload& p = m_rows.m_payload[cell(a)];
        const Recordset::Payload& q = m_rows.m_payload[cell(b)];
        switch (kind) {
        case Recordset::Kind::Int:
            return p.integer < q.integer;
        case Recordset::Kind::Real:
            return p.real < q.real;
        default:
            return text(a) < text(b);
        }
    };
    std::vector<int> ordered = rows;
    if (!std::is_sorted(ordered.begin(), ordered.end(), before))
        std::sort(ordered.begin(), ordered.end(), before);
    for (size_t i = 1; i < ordered.size(); ++i)
        if (!before(ordered[i - 1], ordered[i]))
            return false; // a repeated value
    rows = std::move(ordered);
    return true;
}

} // namespace talor
