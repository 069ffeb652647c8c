#include "grid/formula/Value.h"

#include <QLocale>
#include <array>
#include <cmath>

namespace talor::grid::formula {

namespace {

struct ErrorName
{
    ErrorCode code;
    const char* text;
};

constexpr std::array<ErrorName, 8> errorNames{{
    {ErrorCode::Div0, "#DIV/0!"},
    {ErrorCode::Value, "#VALUE!"},
    {ErrorCode::Ref, "#REF!"},
    {ErrorCode::Name, "#NAME?"},
    {ErrorCode::NA, "#N/A"},
    {ErrorCode::Num, "#NUM!"},
    {ErrorCode::Circular, "#CIRC!"},
    {ErrorCode::Syntax, "#ERROR!"},
}};

} // namespace

QString errorText(ErrorCode code)
{
    for (const auto& e : errorNames) {
        if (e.code == code)
            return QString::fromLatin1(e.text);
    }
    return QStringLiteral("#VALUE!");
}

std::optional<ErrorCode> errorFromText(QStringView text)
{
    for (const auto& e : errorNames) {
        if (text.compare(QLatin1String(e.text), Qt::CaseInsensitive) == 0)
            return e.code;
    }
    return std::nullopt;
}

Value Value::number(double value)
{
    Value v;
    // Results out of range become #NUM!; -0 shows as 0.
    if (!std::isfinite(value))
        v.m_data = ErrorCode::Num;
    else
        v.m_data = value == 0.0 ? 0.0 : value;
    return v;
}

Value Value::text(const QString& value)
{
    Value v;
    v.m_data = value;
    return v;
}

Value Value::boolean(bool value)
{
    Value v;
    v.m_data = value;
    return v;
}

Value Value::error(ErrorCode code)
{
    Value v;
    v.m_data = code;
    return v;
}

double Value::asNumber() const
{
    const double* d = std::get_if<double>(&m_data);
    return d ? *d : 0.0;
}

QString Value::asText() const
{
    const QString* s = std::get_if<QString>(&m_data);
    return s ? *s : QString();
}

bool Value::asBoolean() const
{
    const bool* b = std::get_if<bool>(&m_data);
    return b && *b;
}

ErrorCode Value::asError() const
{
    const ErrorCode* e = std::get_if<ErrorCode>(&m_data);
    return e ? *e : ErrorCode::Value;
}

QString displayText(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Empty:
        return QString();
    case Value::Type::Number:
        return formatGeneral(value.asNumber());
    case Value::Type::Text:
        return value.asText();
    case Value::Type::Boolean:
        return value.asBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Value::Type::Error:
        return errorText(value.asError());
    }
    return QString();
}

namespace {

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

} // namespace

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

std::optional<double> numberFromText(const QString& text)
{
    QString t = text.trimmed();
    double scale = 1.0;
    if (t.endsWith(u'%')) {
        t.chop(1);
        t = t.trimmed();
        scale = 0.01;
    }
    if (t.isEmpty())
        return std::nullopt;
    // Only digits, one point, a sign and an exponent: no "inf", "nan" or hex.
    for (QChar c : t) {
        if (!(c.isDigit() || c == u'.' || c == u'+' || c == u'-' || c == u'e' || c == u'E'))
            return std::nullopt;
    }
    bool ok = false;
    const double d = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(d * scale))
        return std::nullopt;
    return d * scale;
}

} // namespace talor::grid::formula
