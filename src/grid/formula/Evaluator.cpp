#include "grid/formula/Evaluator.h"

#include <algorithm>
#include <cmath>

namespace talor::grid::formula {

using Kind = FormulaNode::Kind;
using Op = FormulaNode::Op;

namespace {

// A sum or difference that cancels to within the last binary digits of its operands is 0, as
// spreadsheets show it: 17:30 - 08:30 in hours minus 9 gives 0, not -1.8E-15. Four units in
// the last place of the larger operand: 1.000000000000001 - 1 (five units) stays.
double cancelled(double sum, double x, double y)
{
    const double larger = std::max(std::abs(x), std::abs(y));
    return std::abs(sum) <= larger * 0x1p-50 ? 0.0 : sum;
}

} // namespace

Value Evaluator::toNumber(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Empty:
        return Value::number(0);
    case Value::Type::Number:
    case Value::Type::Error:
        return value;
    case Value::Type::Boolean:
        return Value::number(value.asBoolean() ? 1 : 0);
    case Value::Type::Text:
        if (const auto d = text::numberFromText(value.asText()))
            return Value::number(*d);
        return Value::error(ErrorCode::Value);
    }
    return Value::error(ErrorCode::Value);
}

Value Evaluator::toBoolean(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Empty:
        return Value::boolean(false);
    case Value::Type::Number:
        return Value::boolean(value.asNumber() != 0.0);
    case Value::Type::Boolean:
    case Value::Type::Error:
        return value;
    case Value::Type::Text: {
        const QString t = value.asText().trimmed();
        if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0)
            return Value::boolean(true);
        if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0)
            return Value::boolean(false);
        return Value::error(ErrorCode::Value);
    }
    }
    return Value::error(ErrorCode::Value);
}

int Evaluator::compare(const Value& a, const Value& b)
{
    auto rank = [](const Value& v) {
        return v.isNumber() ? 0 : v.isText() ? 1 : 2;
    };
    // Empty takes the other side's kind.
    const Value left = !a.isEmpty()    ? a
                       : b.isText()    ? Value::text(QString())
                       : b.isBoolean() ? Value::boolean(false)
                                       : Value::number(0);
    const Value right = !b.isEmpty()       ? b
                        : left.isText()    ? Value::text(QString())
                        : left.isBoolean() ? Value::boolean(false)
                                           : Value::number(0);
    if (rank(left) != rank(right))
        return rank(left) < rank(right) ? -1 : 1;
    if (left.isNumber()) {
        const double x = left.asNumber();
        const double y = right.asNumber();
        // Equal to 15 significant digits counts as equal (0.1+0.2 = 0.3).
        if (x == y || std::abs(x - y) <= std::max(std::abs(x), std::abs(y)) * 1e-15)
            return 0;
        return x < y ? -1 : 1;
    }
    if (left.isText()) {
        const int c = QString::compare(left.asText(), right.asText(), Qt::CaseInsensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    return int(left.asBoolean()) - int(right.asBoolean());
}

Value Evaluator::evaluate(const FormulaNode& node) const
{
    switch (node.kind) {
    case Kind::Number:
        return Value::number(node.number);
    case Kind::Text:
        return Value::text(node.text);
    case Kind::Boolean:
        return Value::boolean(node.boolean);
    case Kind::Error:
        return Value::error(node.error);
    case Kind::Ref:
        return m_source.value(node.range.first.row, node.range.first.col);
    case Kind::Range:
        return Value::error(ErrorCode::Value); // a range where one value is needed
    case Kind::Name:
        return Value::error(ErrorCode::Name);
    case Kind::Missing:
        return Value();
    case Kind::Paren:
        return evaluate(*node.children[0]);
    case Kind::Percent: {
        const Value v = toNumber(evaluate(*node.children[0]));
        return v.isError() ? v : Value::number(v.asNumber() / 100.0);
    }
    case Kind::Unary: {
        const Value v = evaluate(*node.children[0]);
        if (node.op == Op::Plus)
            return v;
        const Value n = toNumber(v);
        return n.isError() ? n : Value::number(-n.asNumber());
    }
    case Kind::Binary:
        return chain(node);
    case Kind::Call:
        return call(node);
    }
    return Value::error(ErrorCode::Value);
}

Value Evaluator::chain(const FormulaNode& node) const
{
    Value result = evaluate(*node.children[0]);
    for (size_t i = 1; i < node.children.size() && !result.isError(); ++i)
        result = binary(node.ops[i - 1], result, evaluate(*node.children[i]));
    return result;
}

Value Evaluator::binary(Op op, const Value& a, const Value& b)
{
    if (a.isError())
        return a;
    if (b.isError())
        return b;
    switch (op) {
    case Op::Concat: {
        const QString left = displayText(a);
        const QString right = displayText(b);
        if (left.size() + right.size() > MaxTextLength)
            return Value::error(ErrorCode::Value);
        return Value::text(left + right);
    }
    case Op::Eq:
        return Value::boolean(compare(a, b) == 0);
    case Op::Ne:
        return Value::boolean(compare(a, b) != 0);
    case Op::Lt:
        return Value::boolean(compare(a, b) < 0);
    case Op::Le:
        return Value::boolean(compare(a, b) <= 0);
    case Op::Gt:
        return Value::boolean(compare(a, b) > 0);
    case Op::Ge:
        return Value::boolean(compare(a, b) >= 0);
    default:
        break;
    }
    const Value na = toNumber(a);
    if (na.isError())
        return na;
    const Value nb = toNumber(b);
    if (nb.isError())
        return nb;
    const double x = na.asNumber();
    const double y = nb.asNumber();
    switch (op) {
    case Op::Add:
        return Value::number(cancelled(x + y, x, y));
    case Op::Sub:
        return Value::number(cancelled(x - y, x, y));
    case Op::Mul:
        return Value::number(x * y);
    case Op::Div:
        if (y == 0.0)
            return Value::error(ErrorCode::Div0);
        return Value::number(x / y);
    case Op::Pow:
        if (x == 0.0 && y == 0.0)
            return Value::error(ErrorCode::Num);
        if (x == 0.0 && y < 0.0)
            return Value::error(ErrorCode::Div0);
        return Value::number(std::pow(x, y)); // NaN (root of a negative) becomes #NUM!
    default:
        return Value::error(ErrorCode::Value);
    }
}

} // namespace talor::grid::formula
