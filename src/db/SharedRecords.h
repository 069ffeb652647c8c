#pragma once

#include "db/Recordset.h"

#include <vector>

namespace talor {

// The rows of one statement shared out into recordsets of their own. The statement's last
// column numbers the share each row belongs to (0, 1, ...); the columns before it are the
// fields. A share is handed out as the recordset that its own statement would have opened,
// had that returned the same rows in the same order: the same fields, values and source, so
// that it reads, and Update writes (by the source's table and key), as that recordset does.
// One statement then does the work of many small ones that differ in one condition.
class SharedRecords
{
public:
    // Runs the statement and reads all its rows (throws DatabaseError as Recordset::open does,
    // and for a statement whose last column is not a share number).
    void open(const QString& sql, const QSqlDatabase& connection);
    void close();
    bool isOpen() const { return m_rows.isOpen(); }

    // The rows of `share` in `records`, as if `source` had been opened and had read them; a
    // share without rows gives an open recordset at its end.
    void shareInto(int share, const QString& source, Recordset& records) const;
    // Whether two successive rows of `share` hold the same value in `field`: rows the
    // statement ordered by that field alone may then come in either order.
    bool repeats(int share, const QString& field) const;
    // For a SQLite statement without an order: puts the rows of `share` in the order that
    // ordering it by `field` alone would give them, with any of SQLite's own collations. False
    // when that order is not certain, the rows then left as they came: values of more than
    // one kind, or blobs or nulls, texts a collation would read otherwise (capitals, a trailing
    // blank, characters beyond ASCII), a value repeated.
    bool putInOrder(int share, const QString& field);

private:
    const std::vector<int>& rowsOf(int share) const;

    Recordset m_rows;
    std::vector<std::vector<int>> m_shares; // share -> its rows of m_rows, in statement order
    QHash<QString, int> m_index;            // the fields' case-folded names -> their columns
};

} // namespace talor
