#include "grid/formula/Value.h"

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
        return text::formatGeneral(value.asNumber());
    case Value::Type::Text:
        return value.asText();
    case Value::Type::Boolean:
        return value.asBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Value::Type::Error:
        return errorText(value.asError());
    }
    return QString();
}

} // namespace talor::grid::formula
