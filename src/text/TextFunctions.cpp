#include "text/TextFunctions.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>
#include <utility>

namespace talor::text {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The end of the number that starts at `pos` (sign, digits, one point, exponent), or `pos`
// when no digit follows. An exponent without digits ("1e", "1e+") is not part of the number.
qsizetype scanNumber(QStringView s, qsizetype pos)
{
    const qsizetype n = s.size();
    qsizetype i = pos;
    if (i < n && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    int digits = 0;
    while (i < n && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return pos;
    qsizetype end = i;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const qsizetype exponentStart = j;
        while (j < n && isDigit(s[j]))
            ++j;
        if (j > exponentStart)
            end = j;
    }
    return end;
}

// Converts text of the scanNumber grammar; Qt's conversion does not depend on the C locale.
double toDouble(QStringView number)
{
    // The grammar is ASCII: the standard conversion (exact, and free of the locale) reads it
    // without Qt's copies; what it leaves (out of range, very long) goes to Qt's.
    char ascii[64];
    if (number.size() < qsizetype(sizeof ascii)) {
        qsizetype from = number.startsWith(u'+') ? 1 : 0;
        size_t length = 0;
        for (qsizetype i = from; i < number.size(); ++i)
            ascii[length++] = char(number[i].unicode());
        double value = 0;
        const auto read = std::from_chars(ascii, ascii + length, value);
        if (read.ec == std::errc() && read.ptr == ascii + length)
            return value;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (ok || std::isinf(value))
        return value;
    // Qt reports overflow and underflow as failures: decide by the exponent's sign.
    const qsizetype e = number.indexOf(u'e', 0, Qt::CaseInsensitive);
    const bool negative = number.startsWith(u'-');
    if (e >= 0 && number.at(e + 1) != u'-')
        return negative ? -HUGE_VAL : HUGE_VAL;
    return negative ? -0.0 : 0.0;
}

// ---- Pictures ------------------------------------------------------------------------

// The picture's characters outside double quotes and backslash escapes, for classifying it.
QString unquoted(QStringView picture)
{
    QString bare;
    bool quoted = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\\')
            ++i;
        else
            bare += c;
    }
    return bare;
}

bool isNumberPicture(const QString& bare)
{
    return bare.contains(u'0') || bare.contains(u'#');
}

bool isDatePicture(const QString& bare)
{
    static const QRegularExpression codes(QStringLiteral("[ymdhns]"),
                                          QRegularExpression::CaseInsensitiveOption);
    return bare.contains(codes);
}

bool isGeneral(const QString& picture)
{
    return picture.isEmpty() || picture.compare(u"General", Qt::CaseInsensitive) == 0;
}

// Drops trailing zeros (and a bare decimal point) of a plain decimal mantissa.
QString trimZeros(QString digits)
{
    if (!digits.contains(u'.'))
        return digits;
    while (digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.endsWith(u'.'))
        digits.chop(1);
    return digits;
}

// Splits "positive;negative;zero" at semicolons outside quotes and escapes.
QList<QString> sections(QStringView picture)
{
    QList<QString> parts{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'\\' && i + 1 < picture.size()) {
            parts.last() += c;
            ++i;
        } else if (!quoted && c == u';') {
            parts.append(QString());
            continue;
        }
        parts.last() += picture[i];
    }
    return parts;
}

struct NumberToken
{
    enum Kind
    {
        Zero,
        Hash,
        Point,
        Comma,
        Percent,
        Exponent, // "E+" or "E-" (either case) before the exponent's placeholders
        Literal
    } kind;
    QString text;
};

// An exponent at `i`: "E+" or "E-" (either case) followed by a placeholder.
bool isExponent(QStringView picture, qsizetype i)
{
    return (picture[i] == u'E' || picture[i] == u'e') && i + 2 < picture.size() &&
           (picture[i + 1] == u'+' || picture[i + 1] == u'-') &&
           (picture[i + 2] == u'0' || picture[i + 2] == u'#');
}

QList<NumberToken> numberTokens(QStringView picture)
{
    QList<NumberToken> tokens;
    bool seenPoint = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"') {
            const qsizetype close = picture.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? picture.size() : close;
            tokens.append(NumberToken{NumberToken::Literal, picture.mid(i + 1, end - i - 1).toString()});
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < picture.size())
                tokens.append(NumberToken{NumberToken::Literal, QString(picture[++i])});
        } else if (c == u'0') {
            tokens.append(NumberToken{NumberToken::Zero, {}});
        } else if (c == u'#') {
            tokens.append(NumberToken{NumberToken::Hash, {}});
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            tokens.append(NumberToken{NumberToken::Point, {}});
        } else if (c == u',' && !seenPoint) {
            tokens.append(NumberToken{NumberToken::Comma, {}});
        } else if (c == u'%') {
            tokens.append(NumberToken{NumberToken::Percent, {}});
        } else if (isExponent(picture, i)) {
            tokens.append(NumberToken{NumberToken::Exponent, picture.mid(i, 2).toString()});
            ++i;
        } else {
            tokens.append(NumberToken{NumberToken::Literal, QString(c)});
        }
    }
    return tokens;
}

// |value| as decimal digits rounded to `decimals` places: spreadsheets first keep 15
// significant digits, then round half away from zero, so binary noise never shows. Held in
// place: this runs for every number a report shows.
struct Decimal
{
    QVarLengthArray<char16_t, 32> integer;  // no leading zeros; empty for 0
    QVarLengthArray<char16_t, 16> fraction; // exactly `decimals` digits
};

// The 15 significant digits of |value| >= 0, rounded half away from zero, into `digits`;
// returns the decimal exponent of the first. The shortest text that reads back as the value
// is exact enough when it has at most 15 digits (then no 15-digit decimal is nearer, nor
// equally near); only longer ones take the slower exact rounding.
int significantDigits(double value, QVarLengthArray<char16_t, 64>& digits)
{
    char shortest[32];
    const auto written =
        std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific);
    const std::string_view text(shortest, size_t(written.ptr - shortest));
    const size_t ePos = text.find('e');
    int count = 0;
    for (size_t i = 0; i < ePos; ++i)
        count += text[i] != '.';
    if (written.ec == std::errc() && ePos != std::string_view::npos && count <= 15) {
        for (size_t i = 0; i < ePos; ++i)
            if (text[i] != '.')
                digits.append(char16_t(text[i]));
        while (digits.size() < 15)
            digits.append(u'0');
        int exponent = 0;
        std::from_chars(text.data() + ePos + (text[ePos + 1] == '+' ? 2 : 1), text.data() + text.size(),
                        exponent);
        return exponent;
    }
    const QString e = QString::number(value, 'e', 14); // d.dddddddddddddde+XX
    const qsizetype at = e.indexOf(u'e');
    digits.append(e[0].unicode());
    for (qsizetype i = 2; i < at; ++i)
        digits.append(e[i].unicode());
    return QStringView(e).mid(at + 1).toInt();
}

Decimal roundDecimal(double value, int decimals)
{
    QVarLengthArray<char16_t, 64> digits;
    int point = significantDigits(std::abs(value), digits) + 1; // digits before the decimal point
    const int keep = point + decimals;
    if (keep < 0) {
        digits.clear();
        point = -decimals;
    } else if (keep < digits.size()) {
        const bool up = digits[keep] >= u'5';
        digits.resize(keep);
        if (up) {
            qsizetype i = keep - 1;
            while (i >= 0 && digits[i] == u'9')
                digits[i--] = u'0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits.insert(digits.begin(), u'1');
                ++point;
            }
        }
    } else {
        while (digits.size() < keep)
            digits.append(u'0');
    }
    Decimal d;
    qsizetype fractionFrom = 0;
    if (point <= 0) {
        for (int i = 0; i < -point && d.fraction.size() < decimals; ++i)
            d.fraction.append(u'0');
    } else {
        qsizetype lead = 0;
        while (lead < point && digits[lead] == u'0')
            ++lead;
        d.integer.append(digits.constData() + lead, point - lead);
        fractionFrom = point;
    }
    for (qsizetype i = fractionFrom; i < digits.size() && d.fraction.size() < decimals; ++i)
        d.fraction.append(digits[i]);
    while (d.fraction.size() < decimals)
        d.fraction.append(u'0');
    return d;
}

QString groupThousands(const QString& digits)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u',';
        grouped += digits[i];
    }
    return grouped;
}

// One section of a number picture, read once: its tokens and where its digits go.
struct NumberSection
{
    QList<NumberToken> tokens;
    qsizetype pointAt = 0;
    int percents = 0;
    bool grouping = false;
    QList<NumberToken::Kind> integerPlaces, fractionPlaces; // of the mantissa, with an exponent
    qsizetype minDigits = 0;   // "0" places from the first one on always show a digit
    qsizetype exponentAt = -1; // the Exponent token, if any
    int exponentDigits = 0;    // "0" places of the exponent: the digits it always shows
};

NumberSection numberSection(QStringView picture)
{
    NumberSection section;
    section.tokens = numberTokens(picture);
    section.pointAt = section.tokens.size();
    for (qsizetype i = 0; i < section.tokens.size(); ++i) {
        const auto kind = section.tokens[i].kind;
        if (kind == NumberToken::Exponent) {
            section.exponentAt = i;
            section.pointAt = std::min(section.pointAt, i);
            break;
        }
        if (kind == NumberToken::Point)
            section.pointAt = i;
        else if (kind == NumberToken::Percent)
            ++section.percents;
        else if (kind == NumberToken::Comma)
            section.grouping = true;
        else if (kind == NumberToken::Zero || kind == NumberToken::Hash)
            (i < section.pointAt ? section.integerPlaces : section.fractionPlaces).append(kind);
    }
    const qsizetype firstZero = section.integerPlaces.indexOf(NumberToken::Zero);
    section.minDigits = firstZero < 0 ? 0 : section.integerPlaces.size() - firstZero;
    if (section.exponentAt >= 0)
        section.exponentDigits =
            int(std::count_if(section.tokens.begin() + section.exponentAt, section.tokens.end(),
                              [](const NumberToken& t) { return t.kind == NumberToken::Zero; }));
    return section;
}

bool isZero(const Decimal& d)
{
    return d.integer.isEmpty() &&
           std::all_of(d.fraction.begin(), d.fraction.end(), [](char16_t c) { return c == u'0'; });
}

// The section's tokens with the digits of `d` in its places (and `exponent`, the exponent
// as shown, in place of the exponent's placeholders).
QString layOut(const Decimal& d, bool negative, const NumberSection& section, const QString& exponent)
{
    const auto& integerPlaces = section.integerPlaces;
    const auto& fractionPlaces = section.fractionPlaces;
    QString integer(std::max<qsizetype>(section.minDigits - d.integer.size(), 0), u'0');
    integer.append(reinterpret_cast<const QChar*>(d.integer.constData()), d.integer.size());

    // Digits per integer place, filled from the right; the leftmost place takes the rest.
    const bool spread = !section.grouping && !integerPlaces.isEmpty();
    const qsizetype places = integerPlaces.size();
    auto piece = [&](qsizetype place) {
        const qsizetype at = integer.size() - places + place;
        if (place == 0)
            return QStringView(integer).left(std::max<qsizetype>(at + 1, 0));
        return at >= 0 ? QStringView(integer).mid(at, 1) : QStringView();
    };
    if (!spread && section.grouping)
        integer = groupThousands(integer);

    qsizetype keep = fractionPlaces.size();
    while (keep > 0 && fractionPlaces[keep - 1] == NumberToken::Hash && d.fraction[keep - 1] == u'0')
        --keep;

    QString out;
    out.reserve(integer.size() + section.tokens.size() + 2);
    if (negative)
        out += u'-';
    bool integerWritten = false;
    qsizetype integerIndex = 0, fractionIndex = 0;
    const qsizetype pointAt = section.pointAt;
    const qsizetype exponentAt = section.exponentAt < 0 ? section.tokens.size() : section.exponentAt;
    for (qsizetype i = 0; i < section.tokens.size(); ++i) {
        const NumberToken& t = section.tokens[i];
        if (i == pointAt && !integerWritten) {
            out += integer; // a picture without integer places (".00") still shows them
            integerWritten = true;
        }
        switch (t.kind) {
        case NumberToken::Zero:
        case NumberToken::Hash:
            if (i > exponentAt)
                break; // the exponent's places, written with it
            if (i < pointAt) {
                if (spread)
                    out += piece(integerIndex);
                else if (!integerWritten)
                    out += integer;
                integerWritten = true;
                ++integerIndex;
            } else {
                if (fractionIndex < keep)
                    out += QChar(d.fraction[fractionIndex]);
                ++fractionIndex;
            }
            break;
        case NumberToken::Point:
            out += u'.';
            break;
        case NumberToken::Comma:
            break;
        case NumberToken::Percent:
            out += u'%';
            break;
        case NumberToken::Exponent:
            out += exponent;
            break;
        case NumberToken::Literal:
            out += t.text;
            break;
        }
    }
    return out;
}

// The largest multiple of `step` not above `n`.
int floorToMultiple(int n, int step)
{
    return (n >= 0 ? n / step : -((-n + step - 1) / step)) * step;
}

// The significant digits as a number with `integerDigits` digits before the point.
double mantissaOf(const QVarLengthArray<char16_t, 64>& digits, int integerDigits)
{
    char text[96];
    size_t length = 0;
    for (int i = 0; i < std::max<int>(integerDigits, int(digits.size())) && length + 2 < sizeof text; ++i) {
        if (i == integerDigits)
            text[length++] = '.';
        text[length++] = i < digits.size() ? char(digits[i]) : '0';
    }
    double value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

// A section with an exponent ("0.00E+00", "##0.0E+0"): the exponent is a multiple of the
// number of integer places, so that one place shows one digit before the point and "##0"
// shows engineering notation (12.3E+3, 500.0E-3). The mantissa is rounded as a number
// picture rounds; a carry into a new digit moves the exponent (9.996 is 1.00E+01).
QString formatScientific(double value, const NumberSection& section, bool showSign)
{
    const int places = std::max(1, int(section.integerPlaces.size()));
    const int decimals = int(section.fractionPlaces.size());
    int exponent = 0;
    double mantissa = 0;
    if (value != 0) {
        QVarLengthArray<char16_t, 64> digits;
        const int lead = significantDigits(std::abs(value), digits); // the power of ten of the first digit
        exponent = floorToMultiple(lead, places);
        mantissa = mantissaOf(digits, lead - exponent + 1);
        if (roundDecimal(mantissa, decimals).integer.size() > lead - exponent + 1) {
            exponent = floorToMultiple(lead + 1, places);
            mantissa = std::pow(10.0, lead + 1 - exponent);
        }
    }
    // Made once, never assigned: Qt 6.4's QVarLengthArray loses the buffer of a long one (more
    // than 16 decimals) that a move assignment replaces, on every number shown.
    const Decimal d = roundDecimal(mantissa, decimals);
    const QString& written = section.tokens[section.exponentAt].text; // "E+", "e-", ...
    QString shown(written[0]);
    if (exponent < 0)
        shown += u'-';
    else if (written[1] == u'+')
        shown += u'+';
    shown += zeroFill(std::abs(exponent), std::max(1, section.exponentDigits));
    return layOut(d, showSign && value < 0 && !isZero(d), section, shown);
}

QString formatSection(double value, const NumberSection& section, bool showSign)
{
    for (int i = 0; i < section.percents; ++i)
        value *= 100;
    // A percentage of a number near the double range has no digits to show.
    if (!std::isfinite(value))
        return QStringLiteral("#####");
    if (section.exponentAt >= 0)
        return formatScientific(value, section, showSign);
    const Decimal d = roundDecimal(value, int(section.fractionPlaces.size()));
    return layOut(d, showSign && value < 0 && !isZero(d), section, QString());
}

struct DateToken
{
    char code;    // 'y', 'm', 'd', 'h', 'n', 's', 'p' (AM/PM), or 0 for literal text
    int width;    // letters in the run: "hh" is 2
    QString text; // literal text; for 'p' the markers as written, "AM/PM" or "a/p"
    bool elapsed; // "[h]", "[mm]", "[ss]": the whole duration in that unit, not the time of day
};

// The code of an elapsed-time bracket at `i` ("[h]", "[mm]", "[ss]") and its width; 0 when
// the bracket holds anything else.
std::pair<char, int> elapsedCode(QStringView picture, qsizetype i)
{
    if (picture[i] != u'[' || i + 2 >= picture.size())
        return {0, 0};
    const QChar letter = picture[i + 1].toLower();
    if (letter != u'h' && letter != u'm' && letter != u's')
        return {0, 0};
    int width = 1;
    while (i + 1 + width < picture.size() && picture[i + 1 + width].toLower() == letter)
        ++width;
    if (i + 1 + width >= picture.size() || picture[i + 1 + width] != u']')
        return {0, 0};
    // A bracketed "m" is always minutes.
    return {letter == u'm' ? 'n' : char(letter.unicode()), width};
}

// The length of an AM/PM marker at `i` ("AM/PM" or "A/P", either case), else 0.
qsizetype meridiemLength(QStringView picture, qsizetype i)
{
    for (const QStringView marker : {QStringView(u"AM/PM"), QStringView(u"A/P")}) {
        if (picture.mid(i, marker.size()).compare(marker, Qt::CaseInsensitive) == 0)
            return marker.size();
    }
    return 0;
}

QList<DateToken> dateTokens(QStringView picture)
{
    QList<DateToken> tokens;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype close = picture.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? picture.size() : close;
            tokens.append(DateToken{0, 0, picture.mid(i + 1, end - i - 1).toString(), false});
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < picture.size())
                tokens.append(DateToken{0, 0, QString(picture[++i]), false});
        } else if (const auto [code, width] = elapsedCode(picture, i); code) {
            tokens.append(DateToken{code, width, {}, true});
            i += width + 1;
        } else if (const qsizetype marker = meridiemLength(picture, i)) {
            tokens.append(DateToken{'p', 0, picture.mid(i, marker).toString(), false});
            i += marker - 1;
        } else if (QStringView(u"ymdhns").contains(lower)) {
            int width = 1;
            while (i + 1 < picture.size() && picture[i + 1].toLower() == lower) {
                ++i;
                ++width;
            }
            tokens.append(DateToken{char(lower.unicode()), width, {}, false});
        } else {
            tokens.append(DateToken{0, 0, QString(c), false});
        }
    }
    // "m" right after an hour or right before seconds is minutes; an AM/PM marker between
    // them does not count.
    auto codeAt = [&tokens](qsizetype j) {
        return tokens[j].code == 'p' ? char(0) : tokens[j].code;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].code != 'm')
            continue;
        char before = 0, after = 0;
        for (qsizetype j = i - 1; j >= 0 && !before; --j)
            before = codeAt(j);
        for (qsizetype j = i + 1; j < tokens.size() && !after; ++j)
            after = codeAt(j);
        if (before == 'h' || after == 's')
            tokens[i].code = 'n';
    }
    return tokens;
}

const QDate DayZero(1899, 12, 30);

// A date or date-time as parseDateTime reads it, in UTC: the parts as read, without the
// local time zone (looking that up costs more than the reading, and a local time in a
// daylight-saving gap would be moved).
std::optional<QDateTime> readDateTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})(?:([-/.])([0-9]{1,2})\\2([0-9]{1,2})|\\s*年\\s*([0-9]{1,2})\\s*月\\s*"
                       "([0-9]{1,2})\\s*日)(?:(?:\\s+|T)(.*))?$"));
    // Every date begins with four digits: other texts (times, names) need no matching.
    const QString trimmed = text.trimmed();
    if (trimmed.size() < 8 ||
        !std::all_of(trimmed.begin(), trimmed.begin() + 4, [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const QRegularExpressionMatch m = pattern.match(trimmed);
    if (!m.hasMatch())
        return std::nullopt;
    const bool chinese = m.capturedLength(2) == 0;
    const QDate date(m.captured(1).toInt(), m.captured(chinese ? 5 : 3).toInt(),
                     m.captured(chinese ? 6 : 4).toInt());
    if (!date.isValid())
        return std::nullopt;
    QTime time(0, 0);
    if (m.capturedLength(7) > 0) {
        const std::optional<QTime> t = parseTime(m.captured(7));
        if (!t)
            return std::nullopt;
        time = *t;
    }
    return QDateTime(date, time, Qt::UTC);
}

// The date-time of a day number, in UTC (see readDateTime).
std::optional<QDateTime> serialDateTime(double serial)
{
    // Day numbers of the years 100 to 9999, the range spreadsheets accept.
    if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0)
        return std::nullopt;
    constexpr qint64 msPerDay = 86400000;
    const qint64 ms = std::llround(serial * double(msPerDay));
    qint64 days = ms / msPerDay;
    qint64 rest = ms % msPerDay;
    if (rest < 0) {
        --days;
        rest += msPerDay;
    }
    return QDateTime(DayZero.addDays(days), QTime::fromMSecsSinceStartOfDay(int(rest)), Qt::UTC);
}

// The named formats a field dictionary may hold instead of a picture; "General" keeps the text.
QString namedPicture(const QString& picture)
{
    static const QList<std::pair<QString, QString>> named = {
        {QStringLiteral("general"), QString()},
        {QStringLiteral("general number"), QString()},
        {QStringLiteral("fixed"), QStringLiteral("0.00")},
        {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
        {QStringLiteral("percent"), QStringLiteral("0.00%")},
        {QStringLiteral("short date"), QStringLiteral("yyyy-mm-dd")},
        {QStringLiteral("long time"), QStringLiteral("hh:nn:ss")},
        {QStringLiteral("short time"), QStringLiteral("hh:nn")},
    };
    const QString key = picture.trimmed().toLower();
    for (const auto& [name, resolved] : named) {
        if (key == name)
            return resolved;
    }
    return picture;
}

// A display colour in brackets ("[Red]", "[color10]"): the cell's colour, not text it shows.
bool isColour(QStringView name)
{
    static const QStringView Names[] = {u"black",   u"blue", u"cyan",  u"green",
                                        u"magenta", u"red",  u"white", u"yellow"};
    for (const QStringView colour : Names) {
        if (name.compare(colour, Qt::CaseInsensitive) == 0)
            return true;
    }
    const QStringView number = name.mid(5);
    return name.size() > 5 && name.size() <= 7 && name.left(5).compare(u"color", Qt::CaseInsensitive) == 0 &&
           std::all_of(number.begin(), number.end(), [](QChar c) { return isDigit(c); });
}

// The picture without its colours, and with a currency bracket ("[$€-407]") as its symbol in
// quotes (the locale after the dash changes nothing shown here). Other brackets stay.
QString withoutColours(const QString& picture)
{
    if (!picture.contains(u'['))
        return picture;
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'\\' && i + 1 < picture.size()) {
            out += c;
            ++i;
        } else if (!quoted && c == u'[') {
            const qsizetype close = picture.indexOf(u']', i + 1);
            const QStringView inside =
                close < 0 ? QStringView() : QStringView(picture).mid(i + 1, close - i - 1);
            if (isColour(inside)) {
                i = close;
                continue;
            }
            if (inside.startsWith(u'$')) {
                const QStringView symbol =
                    inside.mid(1, inside.indexOf(u'-') < 0 ? -1 : inside.indexOf(u'-') - 1);
                if (!symbol.isEmpty())
                    out += u'"' + symbol.toString() + u'"';
                i = close;
                continue;
            }
        }
        out += picture[i];
    }
    return out;
}

// A section with the text placeholder "@" outside quotes: the one that shows texts.
bool isTextSection(QStringView section)
{
    return unquoted(section).contains(u'@');
}

// A text in a text section: "@" stands for the text, quoted texts and escaped characters for
// themselves, as does every other character.
QString formatText(const QString& text, QStringView section)
{
    QString out;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            out += section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < section.size())
                out += section[++i];
        } else if (c == u'@') {
            out += text;
        } else {
            out += c;
        }
    }
    return out;
}

// What a picture text says, worked out once: the format function and the grid show every
// value of a report through a handful of pictures.
struct Picture
{
    QString named; // namedPicture of the text
    bool general = false;
    bool numberPicture = false;    // "0" or "#" outside quotes
    bool datePicture = false;      // a date or time code outside quotes
    QList<NumberSection> sections; // positive, negative, zero; none when only a text section
    QList<DateToken> dateTokens;
    std::optional<QString> textSection; // the last section, when it holds "@"
};

std::shared_ptr<const Picture> pictureOf(const QString& text)
{
    // Per thread, so that the text functions stay free to call from any thread; an entry is
    // shared, so a caller's picture outlives a cache that is emptied meanwhile.
    struct Cache
    {
        QString lastText;
        std::shared_ptr<const Picture> last;
        QHash<QString, std::shared_ptr<const Picture>> pictures;
    };
    thread_local Cache cache;
    if (cache.last && cache.lastText == text)
        return cache.last;
    auto found = cache.pictures.constFind(text);
    if (found == cache.pictures.cend()) {
        auto picture = std::make_shared<Picture>();
        picture->named = namedPicture(text);
        // Colours are not text; a text section ("0.00;@") is kept apart from those of numbers,
        // and a date picture with one shows numbers through its first section.
        QString shown = withoutColours(text);
        QList<QString> parts = sections(shown);
        if (isTextSection(parts.last())) {
            picture->textSection = parts.takeLast();
            shown = parts.join(u';');
        }
        picture->general = isGeneral(shown);
        const QString bare = unquoted(shown);
        picture->numberPicture = isNumberPicture(bare);
        picture->datePicture = !picture->general && isDatePicture(bare); // "General" has an "n"
        for (const QString& section : parts)
            picture->sections.append(numberSection(section));
        picture->dateTokens = dateTokens(picture->textSection && !parts.isEmpty() ? parts.first() : shown);
        if (cache.pictures.size() >= 1024)
            cache.pictures.clear();
        found = cache.pictures.insert(text, std::move(picture));
    }
    cache.lastText = text;
    cache.last = found.value();
    return cache.last;
}

// Excel format code text built piece by piece: codes as they are, literal characters in
// quotes unless Excel shows them as they are without.
class ExcelCode
{
public:
    explicit ExcelCode(QStringView plain) : m_plain(plain) {}
    void code(QStringView text)
    {
        flush();
        m_out += text;
    }
    void literal(QStringView text) { m_literal += text; }
    QString finish()
    {
        flush();
        return m_out;
    }

private:
    void flush()
    {
        bool quoted = false;
        for (const QChar c : std::as_const(m_literal)) {
            const bool inQuotes = c != u'"' && !m_plain.contains(c);
            if (inQuotes != quoted) {
                m_out += u'"';
                quoted = inQuotes;
            }
            if (c == u'"')
                m_out += u"\\\"";
            else
                m_out += c;
        }
        if (quoted)
            m_out += u'"';
        m_literal.clear();
    }

    QStringView m_plain;
    QString m_out;
    QString m_literal;
};

// Characters Excel shows as they are outside quotes; in a date picture "/" as well (in a
// number picture it makes a fraction).
constexpr QStringView ExcelPlainInNumbers = u"$-+():!^&'~{}<>= ";
constexpr QStringView ExcelPlainInDates = u"$-+():!^&'~{}<>= /";

// The colour brackets of a section ("[Red]"), which Excel reads at the section's start.
QString colourCodes(QStringView section)
{
    QString colours;
    bool quoted = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        if (section[i] == u'"') {
            quoted = !quoted;
        } else if (!quoted && section[i] == u'\\') {
            ++i;
        } else if (!quoted && section[i] == u'[') {
            const qsizetype close = section.indexOf(u']', i + 1);
            if (close > i && isColour(section.mid(i + 1, close - i - 1)))
                colours += section.mid(i, close - i + 1);
        }
    }
    return colours;
}

// A quoted text ("...") or an escaped character (\x) at `i`, as written, and where it ends;
// nothing at other characters.
std::optional<QString> literalAsWritten(QStringView section, qsizetype& i)
{
    if (section[i] == u'"') {
        const qsizetype close = section.indexOf(u'"', i + 1);
        const qsizetype end = close < 0 ? section.size() : close;
        const QString quoted = u'"' + section.mid(i + 1, end - i - 1).toString() + u'"';
        i = end;
        return quoted;
    }
    if (section[i] == u'\\' && i + 1 < section.size()) {
        ++i;
        return section.mid(i - 1, 2).toString();
    }
    return std::nullopt;
}

// A date/time picture's tokens in Excel's codes: minutes ("n") as "m", which Excel reads as
// minutes in the same places formatNumber does; runs longer than formatNumber shows
// ("ddd", "mmmm") cut to what it shows.
QString excelDateCode(const QList<DateToken>& tokens)
{
    ExcelCode code(ExcelPlainInDates);
    auto run = [](QStringView letter, int width, bool elapsed) {
        const QString text = width >= 2 ? letter.toString() + letter.toString() : letter.toString();
        return elapsed ? u'[' + text + u']' : text;
    };
    for (const DateToken& t : tokens) {
        switch (t.code) {
        case 'y':
            code.code(t.width <= 2 ? u"yy" : u"yyyy");
            break;
        case 'm':
            code.code(run(u"m", t.width, false));
            break;
        case 'd':
            code.code(run(u"d", t.width, false));
            break;
        case 'h':
            code.code(run(u"h", t.width, t.elapsed));
            break;
        case 'n':
            code.code(run(u"m", t.width, t.elapsed));
            break;
        case 's':
            code.code(run(u"s", t.width, t.elapsed));
            break;
        case 'p':
            code.code(t.text);
            break;
        default:
            code.literal(t.text);
        }
    }
    return code.finish();
}

// A number section in Excel's codes. formatNumber groups thousands for a comma anywhere among
// the integer places and shows none; Excel does so only for commas between them (one after
// them divides by a thousand), so misplaced commas become one after the first place.
QString excelNumberCode(QStringView section)
{
    if (isGeneral(section.toString()))
        return section.toString();
    enum Kind
    {
        Code,
        Literal,
        IntegerPlace,
        Comma
    };
    QList<std::pair<Kind, QString>> items;
    bool seenPoint = false, seenExponent = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (const std::optional<QString> written = literalAsWritten(section, i)) {
            items.append({Code, *written});
        } else if (c == u'0' || c == u'#') {
            items.append({seenPoint || seenExponent ? Code : IntegerPlace, QString(c)});
        } else if (c == u',' && !seenPoint) {
            items.append({Comma, QString(c)});
        } else if (c == u'%' || (c == u'.' && !seenPoint)) {
            seenPoint = seenPoint || c == u'.';
            items.append({Code, QString(c)});
        } else if (isExponent(section, i)) {
            seenExponent = true;
            items.append({Code, section.mid(i++, 2).toString()});
        } else {
            items.append({Literal, QString(c)});
        }
    }
    QList<qsizetype> places, commas;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].first == IntegerPlace)
            places.append(i);
        else if (items[i].first == Comma)
            commas.append(i);
    }
    const bool between = places.size() >= 2 && std::all_of(commas.begin(), commas.end(), [&](qsizetype i) {
                             return i > places.first() && i < places.last();
                         });
    if (!commas.isEmpty() && !between) {
        items.removeIf([](const auto& item) { return item.first == Comma; });
        places.clear();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i].first == IntegerPlace)
                places.append(i);
        }
        if (places.size() >= 2)
            items.insert(places.first() + 1, {Code, QStringLiteral(",")});
        else if (places.size() == 1)
            items.insert(places.first(), {Code, QStringLiteral("#,")});
    }
    ExcelCode code(ExcelPlainInNumbers);
    for (const auto& [kind, text] : items) {
        if (kind == Literal)
            code.literal(text);
        else
            code.code(text);
    }
    return code.finish();
}

// A text section in Excel's codes: "@" and what is written in quotes as they are.
QString excelTextCode(QStringView section)
{
    ExcelCode code(ExcelPlainInNumbers);
    for (qsizetype i = 0; i < section.size(); ++i) {
        if (const std::optional<QString> written = literalAsWritten(section, i))
            code.code(*written);
        else if (section[i] == u'@')
            code.code(u"@");
        else
            code.literal(section.mid(i, 1));
    }
    return code.finish();
}

QString formatDateTime(QDate date, QTime time, const QList<DateToken>& tokens)
{
    // Pictures show whole seconds: round to them first, as spreadsheets do.
    if (time.msec() >= 500) {
        int seconds = time.msecsSinceStartOfDay() / 1000 + 1;
        if (seconds == 86400) {
            date = date.addDays(1);
            seconds = 0;
        }
        time = QTime::fromMSecsSinceStartOfDay(seconds * 1000);
    }
    const bool elapsed =
        std::any_of(tokens.begin(), tokens.end(), [](const DateToken& t) { return t.elapsed; });
    const bool twelveHour =
        std::any_of(tokens.begin(), tokens.end(), [](const DateToken& t) { return t.code == 'p'; });
    // An elapsed picture ("[h]:mm") shows a duration: its parts are those of the whole
    // signed number of seconds, which may be negative or span days.
    const qint64 seconds = DayZero.daysTo(date) * 86400 + time.msecsSinceStartOfDay() / 1000;
    const qint64 duration = seconds < 0 ? -seconds : seconds;
    const int hour = elapsed ? int(duration / 3600 % 24) : time.hour();
    const int minute = elapsed ? int(duration / 60 % 60) : time.minute();
    const int second = elapsed ? int(duration % 60) : time.second();
    bool signWritten = seconds >= 0;
    QString out;
    out.reserve(tokens.size() * 2 + 2);
    auto two = [&](int value, int width) {
        if (width >= 2 || value >= 10)
            out += QChar(u'0' + value / 10);
        out += QChar(u'0' + value % 10);
    };
    auto whole = [&](qint64 units, int width) {
        if (!signWritten) {
            out += u'-';
            signWritten = true;
        }
        out += zeroFill(units, width);
    };
    for (const DateToken& t : tokens) {
        switch (t.code) {
        case 'y':
            if (t.width <= 2)
                two(date.year() % 100, 2);
            else
                out += zeroFill(date.year(), 4);
            break;
        case 'm':
            two(date.month(), t.width);
            break;
        case 'd':
            two(date.day(), t.width);
            break;
        case 'h':
            if (t.elapsed)
                whole(duration / 3600, t.width);
            else
                two(twelveHour && hour % 12 == 0 ? 12 : twelveHour ? hour % 12 : hour, t.width);
            break;
        case 'n':
            if (t.elapsed)
                whole(duration / 60, t.width);
            else
                two(minute, t.width);
            break;
        case 's':
            if (t.elapsed)
                whole(duration, t.width);
            else
                two(second, t.width);
            break;
        case 'p': {
            // The marker as written: "AM/PM" shows "AM" or "PM", "a/p" shows "a" or "p".
            const qsizetype slash = t.text.indexOf(u'/');
            out += hour < 12 ? QStringView(t.text).left(slash) : QStringView(t.text).mid(slash + 1);
            break;
        }
        default:
            out += t.text;
        }
    }
    return out;
}

} // namespace

double numericValue(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    const qsizetype end = scanNumber(text, start);
    return end == start ? 0.0 : toDouble(QStringView(text).mid(start, end - start));
}

std::optional<double> parseNumber(const QString& text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    if (trimmed.isEmpty() || scanNumber(trimmed, 0) != trimmed.size())
        return std::nullopt;
    return toDouble(trimmed);
}

std::optional<double> typedNumber(const QString& text)
{
    QString t = text.trimmed();
    double scale = 1.0;
    if (t.endsWith(u'%')) {
        t.chop(1);
        t = t.trimmed();
        scale = 0.01;
    }
    if (t.contains(u',')) {
        static const QRegularExpression grouped(
            QStringLiteral("^\\s*[+-]?[0-9]{1,3}(?:,[0-9]{3})+(?:\\.[0-9]*)?$"));
        if (!grouped.match(t).hasMatch())
            return std::nullopt;
        t.remove(u',');
    }
    const std::optional<double> n = parseNumber(t);
    if (!n || !std::isfinite(*n))
        return std::nullopt;
    return *n * scale;
}

std::optional<double> numberFromText(const QString& text)
{
    if (const std::optional<double> n = typedNumber(text))
        return n;
    const QString t = text.trimmed();
    if (t.endsWith(u'%') || t.contains(u','))
        return std::nullopt;
    if (const std::optional<double> serial = dateSerialOf(t))
        return serial;
    if (const std::optional<QTime> time = parseTime(t))
        return time->msecsSinceStartOfDay() / 86400000.0;
    return std::nullopt;
}

std::optional<QTime> parseTime(const QString& text)
{
    // h:m, h:m:s or h:m:s.fraction with one or two digits each (ASCII), read by hand: every
    // time a report shows passes here.
    const QStringView t = QStringView(text).trimmed();
    qsizetype i = 0;
    auto number = [&](int& value, int maxDigits) {
        const qsizetype from = i;
        value = 0;
        while (i < t.size() && i - from < maxDigits && t[i] >= u'0' && t[i] <= u'9')
            value = value * 10 + (t[i++].unicode() - u'0');
        return i > from;
    };
    int hour = 0, minute = 0, second = 0, ms = 0;
    if (!number(hour, 2) || i >= t.size() || t[i++] != u':' || !number(minute, 2))
        return std::nullopt;
    if (i < t.size()) {
        if (t[i++] != u':' || !number(second, 2))
            return std::nullopt;
        if (i < t.size()) {
            // Fractions beyond milliseconds ("08:30:00.123456" from a database) are cut.
            if (t[i++] != u'.' || i >= t.size())
                return std::nullopt;
            for (int place = 100; i < t.size(); ++i, place /= 10) {
                if (t[i] < u'0' || t[i] > u'9')
                    return std::nullopt;
                ms += place * (t[i].unicode() - u'0');
            }
        }
    }
    const QTime time(hour, minute, second, ms);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> parseDateTime(const QString& text)
{
    const std::optional<QDateTime> read = readDateTime(text);
    if (!read)
        return std::nullopt;
    return QDateTime(read->date(), read->time());
}

std::optional<double> dateSerialOf(const QString& text)
{
    const std::optional<QDateTime> read = readDateTime(text);
    if (!read)
        return std::nullopt;
    return dateSerial(*read);
}

std::optional<QDateTime> dateTimeFromSerial(double serial)
{
    const std::optional<QDateTime> read = serialDateTime(serial);
    if (!read)
        return std::nullopt;
    return QDateTime(read->date(), read->time());
}

bool isValidDate(const QString& text)
{
    return parseDateTime(text).has_value();
}

bool isValidTime(const QString& text)
{
    return parseTime(text).has_value();
}

bool isValidDateOrTime(const QString& text)
{
    return isValidDate(text) || isValidTime(text);
}

QString format(const QString& text, const QString& namedOrPicture)
{
    const std::shared_ptr<const Picture> named = pictureOf(namedOrPicture);
    if (named->named.isEmpty())
        return text;
    const std::shared_ptr<const Picture> picture =
        named->named == namedOrPicture ? named : pictureOf(named->named);
    if (picture->numberPicture) {
        if (const std::optional<double> n = parseNumber(text))
            return formatNumber(*n, named->named);
    } else if (picture->datePicture) {
        if (const std::optional<QDateTime> dt = readDateTime(text))
            return formatDateTime(dt->date(), dt->time(), picture->dateTokens);
        if (const std::optional<QTime> t = parseTime(text))
            return formatDateTime(DayZero, *t, picture->dateTokens);
        if (const std::optional<double> n = parseNumber(text)) {
            if (const std::optional<QDateTime> dt = serialDateTime(*n))
                return formatDateTime(dt->date(), dt->time(), picture->dateTokens);
        }
    }
    return picture->textSection ? formatText(text, *picture->textSection) : text;
}

QString formatNumber(double value, const QString& picture)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (isGeneral(picture))
        return formatGeneral(value);
    const std::shared_ptr<const Picture> p = pictureOf(picture);
    // "[Red]General", and a picture of a text section alone ("@"), show numbers as General.
    if (p->general || p->sections.isEmpty())
        return formatGeneral(value);
    if (!p->numberPicture && p->datePicture) {
        const std::optional<QDateTime> dt = serialDateTime(value);
        return dt ? formatDateTime(dt->date(), dt->time(), p->dateTokens) : QStringLiteral("#####");
    }
    const QList<NumberSection>& parts = p->sections;
    if (parts.size() >= 3 && value == 0)
        return formatSection(value, parts[2], true);
    if (parts.size() >= 2 && value < 0)
        return formatSection(-value, parts[1], false);
    return formatSection(value, parts[0], true);
}

QString excelFormatCode(const QString& picture)
{
    if (isGeneral(picture))
        return picture;
    const std::shared_ptr<const Picture> p = pictureOf(picture);
    if (p->general)
        return picture; // "[Red]General"
    QList<QString> parts = sections(picture);
    std::optional<QString> text;
    if (isTextSection(withoutColours(parts.last())))
        text = parts.takeLast();
    QStringList codes;
    if (!p->numberPicture && p->datePicture) {
        // One section shows dates: the first before a text section, else the whole picture.
        const QString dates = text && !parts.isEmpty() ? parts.first() : parts.join(u';');
        codes << colourCodes(dates) + excelDateCode(dateTokens(withoutColours(dates)));
    } else {
        // Excel holds four sections at most, the text section last; formatNumber uses three.
        for (const QString& part : parts.mid(0, text ? 3 : 4))
            codes << colourCodes(part) + excelNumberCode(withoutColours(part));
    }
    if (text)
        codes << colourCodes(*text) + excelTextCode(withoutColours(*text));
    return codes.join(u';');
}

double shownAsFixed(double value, int decimals)
{
    static const QString Pictures[] = {QStringLiteral("0"),       QStringLiteral("0.0"),
                                       QStringLiteral("0.00"),    QStringLiteral("0.000"),
                                       QStringLiteral("0.0000"),  QStringLiteral("0.00000"),
                                       QStringLiteral("0.000000")};
    static constexpr double Powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    decimals = std::clamp(decimals, 0, 6);
    // A value within a ten-thousandth of a unit of the last place from a whole number of
    // units (a sum of hours in tenths and hundredths) shows that number: its 15 significant
    // digits lie nearer still (below 1E+11 units they are exact to 1E-4 of a unit at least),
    // so rounding them at the last place gives it. The division is the one below.
    const double units = std::abs(value) * Powers[decimals];
    if (units < 1e11) {
        const double whole = std::nearbyint(units);
        if (std::abs(units - whole) <= 1e-4) {
            if (whole == 0)
                return 0.0;
            const double shown = whole / Powers[decimals];
            return value < 0 ? -shown : shown;
        }
    }
    // The digits roundDecimal rounds, rounded the same way into a whole number of the last
    // place; that number over the power of ten is what reading the shown digits gives (both
    // exact, and the division rounds correctly as the reading does).
    QVarLengthArray<char16_t, 64> digits;
    const int point = std::isfinite(value) ? significantDigits(std::abs(value), digits) + 1 : 0;
    const int keep = point + decimals;
    if (!std::isfinite(value) || keep > 15)
        return numericValue(formatNumber(value, Pictures[decimals]));
    if (keep < 0)
        return 0.0;
    qint64 rounded = 0;
    for (int i = 0; i < keep; ++i)
        rounded = rounded * 10 + (i < digits.size() ? digits[i] - u'0' : 0);
    if (keep < digits.size() && digits[keep] >= u'5')
        ++rounded;
    if (rounded == 0)
        return 0.0; // shown without a sign
    const double shown = double(rounded) / Powers[decimals];
    return value < 0 ? -shown : shown;
}

QString formatGeneral(double value)
{
    if (value == 0.0 || !std::isfinite(value))
        return QStringLiteral("0");
    // Rounding to 15 significant digits first decides the exponent (9.999999999999999E14
    // rounds to 1E+15).
    const QString sci = QString::number(value, 'e', 14);
    const qsizetype ePos = sci.indexOf(u'e');
    const int exponent = sci.mid(ePos + 1).toInt();
    if (exponent >= 15 || exponent < -9) {
        QString mantissa = trimZeros(sci.left(ePos));
        const QString sign = exponent < 0 ? QStringLiteral("-") : QStringLiteral("+");
        return mantissa + u'E' + sign + QString::number(std::abs(exponent)).rightJustified(2, u'0');
    }
    const int decimals = std::max(0, 14 - exponent);
    return trimZeros(QString::number(value, 'f', decimals));
}

bool isDateTimePicture(const QString& picture)
{
    if (isGeneral(picture))
        return false;
    const std::shared_ptr<const Picture> p = pictureOf(picture);
    return !p->numberPicture && p->datePicture;
}

QString formatDateTime(const QDateTime& value, const QString& picture)
{
    return formatDateTime(value.date(), value.time(), pictureOf(picture)->dateTokens);
}

double dateSerial(const QDateTime& value)
{
    return double(DayZero.daysTo(value.date())) + value.time().msecsSinceStartOfDay() / 86400000.0;
}

int byteLength(const QString& text)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            bytes += 1;
        } else {
            bytes += 2;
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
        }
    }
    return bytes;
}

QString zeroFill(long long number, int width, QChar fill)
{
    const QString digits = QString::number(number);
    if (fill == u'0' && number < 0)
        return u'-' + digits.mid(1).rightJustified(width - 1, fill);
    return digits.rightJustified(width, fill);
}

QString padRight(const QString& text, int width, QChar fill)
{
    return text.leftJustified(width, fill);
}

QString leftWhole(const QString& text, qsizetype units)
{
    if (units <= 0)
        return {};
    if (units < text.size() && text[units - 1].isHighSurrogate() && text[units].isLowSurrogate())
        --units;
    return text.left(units);
}

QString ColumnAddress(int column)
{
    // A column no sheet has answers the 70th column, as the address table always did; every
    // real column (a template reaches 100) gets its own letters, so that print areas and row
    // ranges reach the last column.
    if (column < 1 || column > MaxAddressedColumn)
        return QStringLiteral("$BR");
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return u'$' + letters;
}

QString RowAddress(int row)
{
    return u'$' + QString::number(row);
}

QString RowRange(int row, int lastColumn)
{
    return u"$A" + RowAddress(row) + u':' + ColumnAddress(lastColumn) + RowAddress(row);
}

QString PrintArea(int lastColumn, int lastRow)
{
    return u"$A$1:" + ColumnAddress(lastColumn) + RowAddress(lastRow);
}

} // namespace talor::text
