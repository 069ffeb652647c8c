#include "grid/formula/CellRef.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace talor::grid::formula {

namespace {

// The most letters a column number has: seven, for the largest int.
constexpr size_t MaxLetters = 7;

// Writes the letters of column `col` at `out` (room for MaxLetters) and returns how many.
size_t writeLetters(int col, char16_t* out)
{
    std::array<char16_t, MaxLetters> backwards{};
    size_t count = 0;
    for (int c = col; c > 0; c = (c - 1) / 26)
        backwards[count++] = char16_t(u'A' + (c - 1) % 26);
    std::reverse_copy(backwards.begin(), backwards.begin() + qsizetype(count), out);
    return count;
}

} // namespace

QString columnLetters(int col)
{
    std::array<char16_t, MaxLetters> letters{};
    return QStringView(letters.data(), qsizetype(writeLetters(col, letters.data()))).toString();
}

int columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        col = col * 26 + (u - u'A' + 1);
    }
    return col <= MaxColumn ? col : 0;
}

QString CellRef::toString() const
{
    QString s;
    appendTo(s);
    return s;
}

void CellRef::appendTo(QString& out) const
{
    // "$", the letters, "$" and the eleven characters of the lowest int.
    std::array<char16_t, 2 + MaxLetters + 11> text{};
    size_t at = 0;
    if (colAbsolute)
        text[at++] = u'$';
    at += writeLetters(col, text.data() + at);
    if (rowAbsolute)
        text[at++] = u'$';
    std::array<char, 11> digits{};
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), row).ptr;
    for (const char* d = digits.data(); d < end; ++d)
        text[at++] = char16_t(*d);
    out.append(QStringView(text.data(), qsizetype(at)));
}

std::optional<CellRef> CellRef::parse(QStringView text)
{
    CellRef ref;
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$') {
        ref.colAbsolute = true;
        ++i;
    }
    const qsizetype lettersStart = i;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128)
        ++i;
    ref.col = columnNumber(text.mid(lettersStart, i - lettersStart));
    if (ref.col == 0)
        return std::nullopt;
    if (i < text.size() && text[i] == u'$') {
        ref.rowAbsolute = true;
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    const qsizetype digits = i - digitsStart;
    if (i != text.size() || digits == 0 || digits > 7 || text[digitsStart] == u'0')
        return std::nullopt;
    ref.row = text.mid(digitsStart, digits).toInt();
    if (ref.row > MaxRow)
        return std::nullopt;
    return ref;
}

QString RangeRef::toString() const
{
    if (first == last)
        return first.toString();
    return first.toString() + u':' + last.toString();
}

std::optional<RangeRef> RangeRef::parse(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) {
        const auto ref = CellRef::parse(text);
        if (!ref)
            return std::nullopt;
        return RangeRef{*ref, *ref};
    }
    const auto a = CellRef::parse(text.left(colon));
    const auto b = CellRef::parse(text.mid(colon + 1));
    if (!a || !b)
        return std::nullopt;
    return spanning(*a, *b);
}

RangeRef RangeRef::spanning(const CellRef& a, const CellRef& b)
{
    // Each corner keeps the "$" flags of the reference that supplied its row or column.
    RangeRef r;
    // On a tie the other coordinate decides, so that E1:$C$1 becomes $C$1:E1.
    const bool aLeft = a.col < b.col || (a.col == b.col && a.row <= b.row);
    const bool aTop = a.row < b.row || (a.row == b.row && aLeft);
    const CellRef& top = aTop ? a : b;
    const CellRef& bottom = aTop ? b : a;
    const CellRef& left = aLeft ? a : b;
    const CellRef& right = aLeft ? b : a;
    r.first = CellRef{top.row, left.col, top.rowAbsolute, left.colAbsolute};
    r.last = CellRef{bottom.row, right.col, bottom.rowAbsolute, right.colAbsolute};
    return r;
}

} // namespace talor::grid::formula
