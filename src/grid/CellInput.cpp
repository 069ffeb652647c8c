#include "grid/CellInput.h"

#include "text/TextFunctions.h"

#include <cmath>
#include <iterator>
#include <optional>

namespace talor::grid {

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Reads a run of digits at `i`; returns the number of digits read.
int readDigits(QStringView s, qsizetype& i, int& value)
{
    int count = 0;
    value = 0;
    while (i < s.size() && isAsciiDigit(s[i])) {
        if (count < 9)
            value = value * 10 + (s[i].unicode() - u'0');
        ++count;
        ++i;
    }
    return count;
}

// A date, a date-time or a time as the text functions read them, with the format code that
// shows it again as typed.
bool parseDateTime(const QString& s, CellInput& out)
{
    static const QString Formats[] = {QStringLiteral("hh:mm"), QStringLiteral("hh:mm:ss"),
                                      QStringLiteral("yyyy-mm-dd"), QStringLiteral("yyyy-mm-dd hh:mm"),
                                      QStringLiteral("yyyy-mm-dd hh:mm:ss")};
    const qsizetype colons = s.count(u':');
    const std::optional<double> serial = text::dateSerialOf(s);
    // A date before the year 100 would show as "#####": it stays the text that was typed.
    if (serial && text::dateTimeFromSerial(*serial)) {
        out.number = *serial;
        out.numberFormat = Formats[colons == 0 ? 2 : colons == 1 ? 3 : 4];
    } else if (const std::optional<QTime> t = text::parseTime(s)) {
        out.number = t->msecsSinceStartOfDay() / 86400000.0;
        out.numberFormat = Formats[colons == 1 ? 0 : 1];
    } else {
        return false;
    }
    out.kind = CellInput::Kind::Number;
    return true;
}

// A time of a twelve-hour clock, an elapsed or a negative time as typed, read by
// readTypedTime: its parts and the format code that shows it again.
struct TypedTime
{
    bool negative = false;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0; // of a fraction of a second, cut as text::parseTime cuts it
    int parts = 1;        // 1 "8 PM", 2 "8:30", 3 "8:30:15"
    int meridiem = 0;     // 0 none, 1 "AM", 2 "PM"
};

// An "AM" or "PM" (either case) ending `s` at `i`, after at most one blank; 0 when there is
// none, -1 when something else follows.
int readMeridiem(QStringView s, qsizetype i)
{
    if (i == s.size())
        return 0;
    if (s[i] == u' ')
        ++i;
    if (s.size() - i != 2 || s[i + 1].toUpper() != u'M')
        return -1;
    const QChar half = s[i].toUpper();
    return half == u'A' ? 1 : half == u'P' ? 2 : -1;
}

// "[-]h:mm[:ss[.fff]]" and "h[:mm[:ss[.fff]]] AM|PM": hours of up to four digits (a leading zero
// only in one or two), minutes and seconds of one or two digits below 60.
std::optional<TypedTime> readTypedTime(QStringView s)
{
    TypedTime t;
    qsizetype i = 0;
    t.negative = s.startsWith(u'-');
    if (t.negative)
        ++i;
    const qsizetype hoursAt = i;
    const int hourDigits = readDigits(s, i, t.hours);
    if (hourDigits == 0 || hourDigits > 4 || (hourDigits > 2 && s[hoursAt] == u'0'))
        return std::nullopt;
    for (int* part : {&t.minutes, &t.seconds}) {
        if (i == s.size() || s[i] != u':')
            break;
        ++i;
        const int digits = readDigits(s, i, *part);
        if (digits == 0 || digits > 2 || *part > 59)
            return std::nullopt;
        ++t.parts;
    }
    if (t.parts == 3 && i < s.size() && s[i] == u'.') {
        ++i;
        const qsizetype from = i;
        for (int place = 100; i < s.size() && isAsciiDigit(s[i]); ++i, place /= 10)
            t.milliseconds += place * (s[i].unicode() - u'0');
        if (i == from)
            return std::nullopt;
    }
    t.meridiem = readMeridiem(s, i);
    if (t.meridiem < 0)
        return std::nullopt;
    return t;
}

// A time a spreadsheet reads as a number although it is no time of day as text::parseTime
// reads it: a twelve-hour time ("8:30 PM", "8 pm", "12:00 AM" is midnight), a duration of a
// day or more ("25:00", "168:30") or a negative one ("-08:30"), as a fraction of days. Each
// is shown again as typed: through "h:mm AM/PM", "[h]:mm", or "[hh]:mm" for a negative time
// under a day (shown with two hour digits as "08:30" is).
bool parseTypedTime(QStringView s, CellInput& out)
{
    static const QString TwelveHour[] = {QStringLiteral("h AM/PM"), QStringLiteral("h:mm AM/PM"),
                                         QStringLiteral("h:mm:ss AM/PM")};
    static const QString Elapsed[] = {QStringLiteral("[h]:mm"), QStringLiteral("[h]:mm:ss")};
    static const QString NegativeShort[] = {QStringLiteral("[hh]:mm"), QStringLiteral("[hh]:mm:ss")};
    const std::optional<TypedTime> t = readTypedTime(s);
    if (!t)
        return false;
    int hours = t->hours;
    if (t->meridiem != 0) {
        if (t->negative || hours > 12)
            return false;
        hours = hours % 12 + (t->meridiem == 2 ? 12 : 0);
        out.numberFormat = TwelveHour[t->parts - 1];
    } else if (t->parts == 1 || (!t->negative && hours < 24)) {
        return false; // a plain number, or a time of day as text::parseTime reads it
    } else {
        out.numberFormat = (hours >= 24 ? Elapsed : NegativeShort)[t->parts - 2];
    }
    const qint64 ms = ((qint64(hours) * 60 + t->minutes) * 60 + t->seconds) * 1000 + t->milliseconds;
    out.number = (t->negative && ms > 0 ? -double(ms) : double(ms)) / 86400000.0;
    out.kind = CellInput::Kind::Number;
    return true;
}

// The format code that shows a typed number as typed; the common ones are shared strings,
// so that cells compare them cheaply.
QString numberFormatFor(bool grouped, int decimals, bool percent)
{
    static const QString Common[] = {QStringLiteral("General"), QStringLiteral("0.0"), QStringLiteral("0.00"),
                                     QStringLiteral("0.000"), QStringLiteral("0.0000")};
    if (!grouped && !percent && decimals < 5)
        return Common[decimals];
    QString format = grouped ? QStringLiteral("#,##0") : QStringLiteral("0");
    if (decimals > 0)
        format += u'.' + QString(decimals, u'0');
    if (percent)
        format += u'%';
    return format;
}

// Numbers as typed: sign, digits (optionally grouped by commas), decimals, a percent sign
// or an exponent. Leading zeros and more than 15 significant digits keep the entry a text.
bool parseNumber(QStringView s, CellInput& out)
{
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    const qsizetype intStart = i;
    int digits = 0, significant = 0, groups = 0;
    bool leadingZero = true;
    qsizetype lastComma = -1;
    while (i < s.size() && (isAsciiDigit(s[i]) || s[i] == u',')) {
        if (s[i] == u',') {
            if (digits == 0 || (lastComma >= 0 && i - lastComma != 4) || (lastComma < 0 && i - intStart > 3))
                return false;
            lastComma = i;
            ++groups;
        } else {
            ++digits;
            if (s[i] != u'0')
                leadingZero = false;
            if (!leadingZero)
                ++significant;
        }
        ++i;
    }
    if (lastComma >= 0 && i - lastComma != 4)
        return false;
    const qsizetype intDigits = digits;
    if (intDigits > 1 && s[intStart] == u'0')
        return false; // "0012": an identifier, not a number
    int decimals = 0;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && isAsciiDigit(s[i])) {
            ++decimals;
            if (s[i] != u'0')
                leadingZero = false;
            if (!leadingZero)
                ++significant;
            ++i;
        }
    }
    if (intDigits + decimals == 0)
        return false;
    bool percent = false, exponent = false;
    if (i < s.size() && s[i] == u'%') {
        percent = true;
        ++i;
    } else if (i < s.size() && (s[i] == u'e' || s[i] == u'E') && groups == 0) {
        ++i;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
            ++i;
        int expValue = 0;
        if (readDigits(s, i, expValue) == 0)
            return false;
        exponent = true;
    }
    if (i != s.size() || significant > 15)
        return false;
    double value = 0;
    if (!exponent) {
        // Up to 15 significant digits: the digits as an exact integer divided by an exact
        // power of ten is the correctly rounded value, without a round trip through text.
        static constexpr double Powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        qint64 mantissa = 0;
        int scale = 0;
        bool fraction = false;
        for (qsizetype k = intStart; k < s.size(); ++k) {
            const QChar ch = s[k];
            if (ch == u'.')
                fraction = true;
            else if (isAsciiDigit(ch)) {
                if (mantissa == 0 && ch == u'0') {
                    if (fraction)
                        ++scale;
                    continue;
                }
                mantissa = mantissa * 10 + (ch.unicode() - u'0');
                if (fraction)
                    ++scale;
            }
        }
        if (scale < int(std::size(Powers))) {
            value = double(mantissa) / Powers[scale];
            if (s[0] == u'-')
                value = -value;
        } else {
            // More decimals than exact powers of ten reach (a tiny number, as its significant
            // digits are 15 at most): Qt's conversion of the text before a percent sign.
            bool ok = false;
            value = s.first(percent ? s.size() - 1 : s.size()).toDouble(&ok);
            if (!ok)
                return false;
        }
    } else {
        bool ok = false;
        value = s.toString().toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return false;
    }
    if (percent)
        value /= 100;
    out.kind = CellInput::Kind::Number;
    out.number = value;
    if (exponent) {
        out.numberFormat = QStringLiteral("General");
        return true;
    }
    out.numberFormat = numberFormatFor(groups > 0, decimals, percent);
    return true;
}

} // namespace

CellInput parseInput(const QString& typed)
{
    CellInput input;
    if (typed.isEmpty() || typed == u"'")
        return input;
    const QChar first = typed.front();
    if (first == u'\'') {
        input.kind = CellInput::Kind::Text;
        input.text = typed.mid(1);
        return input;
    }
    if (first == u'=' && typed.size() > 1) {
        input.kind = CellInput::Kind::Formula;
        input.text = typed;
        return input;
    }
    // Most texts (names, codes in CJK) are decided by their first character.
    const bool maybeNumber = isAsciiDigit(first) || first == u'-' || first == u'+' || first == u'.';
    if (maybeNumber) {
        const QStringView view(typed);
        if (parseNumber(view, input) || (isAsciiDigit(first) && parseDateTime(typed, input)) ||
            parseTypedTime(view, input))
            return input;
    }
    input = CellInput();
    input.kind = CellInput::Kind::Text;
    input.text = typed;
    return input;
}

bool isDateFormat(const QString& numberFormat)
{
    return text::isDateTimePicture(numberFormat);
}

} // namespace talor::grid
