#include "grid/CellAddress.h"

#include "grid/formula/CellRef.h"

#include <algorithm>

namespace talor::grid {

static_assert(Sheet::MaxColumns == formula::MaxColumn && Sheet::MaxRows == formula::MaxRow,
              "the sheet and its formulas agree on the sheet's size");

namespace {

struct Corner
{
    int row = 0; // 0: the whole column
    int col = 0; // 0: the whole row
};

// One corner: optional "$", letters, optional "$", digits; either part may be missing
// (whole columns or rows), not both.
std::optional<Corner> parseCorner(QStringView text)
{
    qsizetype i = 0;
    const auto n = text.size();
    if (i < n && text[i] == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < n && text[i].isLetter() && text[i].unicode() < 128)
        ++i;
    const QStringView letters = text.mid(lettersStart, i - lettersStart);
    if (i < n && text[i] == u'$') {
        if (letters.isEmpty())
            return std::nullopt;
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i != n)
        return std::nullopt;
    const QStringView digits = text.mid(digitsStart);
    if (letters.isEmpty() && digits.isEmpty())
        return std::nullopt;
    Corner corner;
    if (!letters.isEmpty()) {
        corner.col = columnNumber(letters);
        if (corner.col == 0)
            return std::nullopt;
    }
    if (!digits.isEmpty()) {
        if (digits.size() > 7)
            return std::nullopt;
        corner.row = digits.toInt();
        if (corner.row < 1 || corner.row > Sheet::MaxRows)
            return std::nullopt;
    }
    return corner;
}

} // namespace

QString columnName(int col)
{
    return col >= 1 && col <= Sheet::MaxColumns ? formula::columnLetters(col) : QString();
}

int columnNumber(QStringView letters)
{
    return formula::columnNumber(letters);
}

QString rangeText(const CellRange& range)
{
    const QString first = columnName(range.col1) + QString::number(range.row1);
    if (range.row1 == range.row2 && range.col1 == range.col2)
        return first;
    return first + u':' + columnName(range.col2) + QString::number(range.row2);
}

std::optional<CellRange> parseRange(const QString& reference)
{
    const QString text = reference.trimmed();
    const auto colon = text.indexOf(u':');
    const QStringView all(text);
    const auto a = parseCorner(colon < 0 ? all : all.left(colon));
    if (!a)
        return std::nullopt;
    Corner b = *a;
    if (colon >= 0) {
        const auto second = parseCorner(all.mid(colon + 1));
        if (!second)
            return std::nullopt;
        b = *second;
    }
    // Both corners must be of the same kind: cells, whole columns or whole rows.
    if ((a->row == 0) != (b.row == 0) || (a->col == 0) != (b.col == 0))
        return std::nullopt;
    if (colon < 0 && (a->row == 0 || a->col == 0))
        return std::nullopt;
    CellRange range;
    range.row1 = a->row == 0 ? 1 : std::min(a->row, b.row);
    range.row2 = a->row == 0 ? Sheet::MaxRows : std::max(a->row, b.row);
    range.col1 = a->col == 0 ? 1 : std::min(a->col, b.col);
    range.col2 = a->col == 0 ? Sheet::MaxColumns : std::max(a->col, b.col);
    return range;
}

} // namespace talor::grid
