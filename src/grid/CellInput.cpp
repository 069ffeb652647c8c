#include "grid/CellInput.h"

#include "grid/formula/Value.h"

#include <algorithm>
#include <cmath>

namespace talor::grid {

namespace {

const QDate SerialBase(1899, 12, 30);

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

// "yyyy-m-d[ h:mm[:ss]]" or "h:mm[:ss]"; the kind of format the entry gets.
bool parseDateTime(QStringView s, CellInput& out)
{
    qsizetype i = 0;
    int year = 0, month = 0, day = 0;
    bool hasDate = false;
    const qsizetype firstSep = [&] {
        qsizetype k = 0;
        while (k < s.size() && isAsciiDigit(s[k]))
            ++k;
        return k;
    }();
    if (firstSep < s.size() && (s[firstSep] == u'-' || s[firstSep] == u'/')) {
        const QChar sep = s[firstSep];
        if (readDigits(s, i, year) != 4 || i >= s.size() || s[i] != sep)
            return false;
        ++i;
        const int monthDigits = readDigits(s, i, month);
        if (monthDigits < 1 || monthDigits > 2 || i >= s.size() || s[i] != sep)
            return false;
        ++i;
        const int dayDigits = readDigits(s, i, day);
        if (dayDigits < 1 || dayDigits > 2)
            return false;
        hasDate = true;
        if (i < s.size()) {
            if (s[i] != u' ' && s[i] != u'T')
                return false;
            ++i;
        }
    }
    bool hasTime = false, hasSeconds = false;
    int hour = 0, minute = 0, second = 0;
    if (i < s.size()) {
        const int hourDigits = readDigits(s, i, hour);
        if (hourDigits < 1 || hourDigits > 2 || i >= s.size() || s[i] != u':')
            return false;
        ++i;
        if (readDigits(s, i, minute) != 2)
            return false;
        if (i < s.size() && s[i] == u':') {
            ++i;
            if (readDigits(s, i, second) != 2)
                return false;
            hasSeconds = true;
        }
        if (i != s.size())
            return false;
        hasTime = true;
    }
    if (!hasDate && !hasTime)
        return false;
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return false;
    double serial = time.msecsSinceStartOfDay() / 86400000.0;
    if (hasDate) {
        const QDate date(year, month, day);
        if (!date.isValid())
            return false;
        serial += SerialBase.daysTo(date);
    }
    static const QString Formats[] = {QStringLiteral("hh:mm"), QStringLiteral("hh:mm:ss"),
                                      QStringLiteral("yyyy-mm-dd"), QStringLiteral("yyyy-mm-dd hh:mm"),
                                      QStringLiteral("yyyy-mm-dd hh:mm:ss")};
    out.kind = CellInput::Kind::Number;
    out.number = serial;
    out.numberFormat = !hasDate   ? Formats[hasSeconds ? 1 : 0]
                       : !hasTime ? Formats[2]
                                  : Formats[hasSeconds ? 4 : 3];
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
        if (scale > 22)
            return false;
        value = double(mantissa) / Powers[scale];
        if (s[0] == u'-')
            value = -value;
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

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
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
        if (parseNumber(view, input) || (isAsciiDigit(first) && parseDateTime(view, input)))
            return input;
    }
    input = CellInput();
    input.kind = CellInput::Kind::Text;
    input.text = typed;
    return input;
}

bool isDateFormat(const QString& numberFormat)
{
    return numberFormat.startsWith(u"yyyy") || numberFormat.startsWith(u"hh");
}

double dateSerial(const QDateTime& value)
{
    return SerialBase.daysTo(value.date()) + value.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime fromDateSerial(double serial)
{
    double days = std::floor(serial);
    qint64 msecs = std::llround((serial - days) * 86400000.0);
    // Round to whole seconds; typed times never carry milliseconds.
    msecs = (msecs + 500) / 1000 * 1000;
    if (msecs >= 86400000) {
        msecs -= 86400000;
        days += 1;
    }
    return QDateTime(SerialBase.addDays(static_cast<qint64>(days)),
                     QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

QString formatNumber(double value, const QString& numberFormat)
{
    if (numberFormat.isEmpty() || numberFormat == u"General")
        return formula::formatGeneral(value);
    if (isDateFormat(numberFormat)) {
        const QDateTime dt = fromDateSerial(value);
        const QDate d = dt.date();
        const QTime t = dt.time();
        const QString date =
            QString::number(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
        QString time = twoDigits(t.hour()) + u':' + twoDigits(t.minute());
        if (numberFormat.endsWith(u"ss"))
            time += u':' + twoDigits(t.second());
        if (numberFormat.startsWith(u"hh"))
            return time;
        return numberFormat.contains(u' ') ? date + u' ' + time : date;
    }
    const bool percent = numberFormat.endsWith(u'%');
    const bool grouped = numberFormat.contains(u',');
    const auto point = numberFormat.indexOf(u'.');
    int decimals = 0;
    if (point >= 0) {
        for (auto k = point + 1; k < numberFormat.size() && numberFormat[k] == u'0'; ++k)
            ++decimals;
    } else if (!numberFormat.startsWith(u'0') && !numberFormat.startsWith(u'#')) {
        return formula::formatGeneral(value);
    }
    QString text = QString::number(percent ? value * 100 : value, 'f', decimals);
    bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    if (grouped) {
        const auto dot = text.indexOf(u'.');
        for (auto k = (dot < 0 ? text.size() : dot) - 3; k > 0; k -= 3)
            text.insert(k, u',');
    }
    // No "-0.00": a value that rounds to zero shows without a sign.
    if (negative && std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        negative = false;
    if (negative)
        text.prepend(u'-');
    if (percent)
        text += u'%';
    return text;
}

} // namespace talor::grid
