#pragma once

#include "text/TextFunctions.h"

#include <QString>
#include <optional>
#include <variant>

namespace talor::grid::formula {

// The error values a formula can produce, shown as a spreadsheet shows them.
// Circular is this grid's own: "#CIRC!" marks a cell that takes part in a circular
// reference; Syntax ("#ERROR!") marks a formula that could not be read.
enum class ErrorCode
{
    Div0,     // "#DIV/0!"
    Value,    // "#VALUE!"
    Ref,      // "#REF!"
    Name,     // "#NAME?"
    NA,       // "#N/A"
    Num,      // "#NUM!"  a result out of range (overflow, 0^0, root of a negative)
    Circular, // "#CIRC!"
    Syntax,   // "#ERROR!"
};

QString errorText(ErrorCode code);
// The error whose text is `text` ("#REF!"), case-insensitive; nothing for other texts.
std::optional<ErrorCode> errorFromText(QStringView text);

// One value of the evaluator: empty, a number, a text, a boolean or an error.
class Value
{
public:
    enum class Type
    {
        Empty,
        Number,
        Text,
        Boolean,
        Error
    };

    Value() = default;
    static Value number(double value);
    static Value text(const QString& value);
    static Value boolean(bool value);
    static Value error(ErrorCode code);

    Type type() const { return static_cast<Type>(m_data.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNumber() const { return type() == Type::Number; }
    bool isText() const { return type() == Type::Text; }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isError() const { return type() == Type::Error; }

    // The stored payload; each returns a neutral value (0, "", false, Value) for other types.
    double asNumber() const;
    QString asText() const;
    bool asBoolean() const;
    ErrorCode asError() const;

    bool operator==(const Value& other) const = default;

private:
    std::variant<std::monostate, double, QString, bool, ErrorCode> m_data;
};

// The text a cell shows for `value`: numbers in general format (text::formatGeneral), "TRUE"/"FALSE", error
// texts, "" for empty. This is also what "&" makes of a value.
QString displayText(const Value& value);

} // namespace talor::grid::formula
