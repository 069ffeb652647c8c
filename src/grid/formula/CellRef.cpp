#include "grid/formula/CellRef.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace talor::grid::formula {

QString columnLetters(int col)
{
    QString letters;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        letters.prepend(QChar(u'A' + rest));
        col = (col - 1) / 26;
    }
    return letters;
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
    // "$", the seven letters of the largest int, "$" and its eleven characters.
    std::array<char16_t, 20> text{};
    size_t at = 0;
    if (colAbsolute)
        text[at++] = u'$';
    std::array<char16_t, 7> letters{};
    size_t count = 0;
    for (int c = col; c > 0; c = (c - 1) / 26)
        letters[count++] = char16_t(u'A' + (c - 1) % 26);
    while (count > 0)
        text[at++] = letters[--count];
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
