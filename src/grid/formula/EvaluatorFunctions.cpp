// The function library of the evaluator: SUM, AVERAGE, COUNT, COUNTA, MIN, MAX, IF, AND,
// OR, NOT, ROUND, INT, ABS, MOD, TRUE, FALSE.
#include "grid/formula/Evaluator.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace talor::grid::formula {

using Kind = FormulaNode::Kind;

namespace {

// Half away from zero at `digits` decimals (negative: tens, hundreds, ...). The scaled value
// is first rounded to 15 significant digits, so that 2.675 (stored as 2.67499999...) rounds
// to 2.68 as a spreadsheet shows it.
double roundHalfAway(double x, int digits)
{
    if (digits > 15)
        return x;
    if (digits < -308)
        return 0.0;
    const double scale = std::pow(10.0, std::abs(digits));
    double scaled = digits >= 0 ? x * scale : x / scale;
    if (!std::isfinite(scaled))
        return x;
    scaled = QLocale::c().toDouble(QString::number(scaled, 'g', 15));
    const double r = std::round(scaled); // std::round rounds halves away from zero
    return digits >= 0 ? r / scale : r * scale;
}

} // namespace

void Evaluator::forEachArgument(const FormulaNode& call, const ArgumentVisitor& visit) const
{
    for (const auto& arg : call.children) {
        if (arg->kind == Kind::Ref || arg->kind == Kind::Range) {
            bool goOn = true;
            m_source.forEachValue(arg->range, [&](const Value& v) {
                goOn = visit(v, true);
                return goOn;
            });
            if (!goOn)
                return;
        } else if (!visit(evaluate(*arg), false)) {
            return;
        }
    }
}

Value Evaluator::call(const FormulaNode& node) const
{
    const QString& name = node.text;
    if (name == u"SUM" || name == u"AVERAGE" || name == u"COUNT" || name == u"COUNTA" || name == u"MIN" ||
        name == u"MAX")
        return aggregate(node);
    if (name == u"IF" || name == u"AND" || name == u"OR" || name == u"NOT" || name == u"TRUE" ||
        name == u"FALSE")
        return logical(node);
    if (name == u"ROUND" || name == u"INT" || name == u"ABS" || name == u"MOD")
        return mathematical(node);
    return Value::error(ErrorCode::Name);
}

Value Evaluator::aggregate(const FormulaNode& node) const
{
    const QString& name = node.text;
    if (node.children.empty())
        return Value::error(ErrorCode::Value);
    const bool counting = name == u"COUNT";
    const bool countingAll = name == u"COUNTA";
    double sum = 0.0;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
    long long count = 0;
    Value failure;
    forEachArgument(node, [&](const Value& v, bool fromCells) {
        if (countingAll) {
            if (!(fromCells && v.isEmpty()))
                ++count;
            return true;
        }
        double x = 0.0;
        if (fromCells) {
            // Cells: only numbers take part; COUNT also passes over errors.
            if (v.isError() && !counting) {
                failure = v;
                return false;
            }
            if (!v.isNumber())
                return true;
            x = v.asNumber();
        } else {
            const Value n = toNumber(v);
            if (n.isError()) {
                if (counting)
                    return true;
                failure = n;
                return false;
            }
            x = n.asNumber();
        }
        ++count;
        sum += x;
        minimum = std::min(minimum, x);
        maximum = std::max(maximum, x);
        return true;
    });
    if (failure.isError())
        return failure;
    if (counting || countingAll)
        return Value::number(double(count));
    if (name == u"SUM")
        return Value::number(sum);
    if (name == u"AVERAGE")
        return count == 0 ? Value::error(ErrorCode::Div0) : Value::number(sum / double(count));
    if (count == 0)
        return Value::number(0);
    return Value::number(name == u"MIN" ? minimum : maximum);
}

Value Evaluator::logical(const FormulaNode& node) const
{
    const QString& name = node.text;
    const auto& args = node.children;
    if (name == u"TRUE" || name == u"FALSE")
        return args.empty() ? Value::boolean(name == u"TRUE") : Value::error(ErrorCode::Value);
    if (name == u"IF") {
        if (args.size() < 2 || args.size() > 3)
            return Value::error(ErrorCode::Value);
        const Value condition = toBoolean(evaluate(*args[0]));
        if (condition.isError())
            return condition;
        if (condition.asBoolean())
            return evaluate(*args[1]);
        return args.size() == 3 ? evaluate(*args[2]) : Value::boolean(false);
    }
    if (name == u"NOT") {
        if (args.size() != 1)
            return Value::error(ErrorCode::Value);
        const Value b = toBoolean(evaluate(*args[0]));
        return b.isError() ? b : Value::boolean(!b.asBoolean());
    }
    // AND / OR: cells count when they hold numbers or booleans; texts and empty cells there
    // are passed over; with nothing to decide on the result is #VALUE!.
    if (args.empty())
        return Value::error(ErrorCode::Value);
    const bool isAnd = name == u"AND";
    bool result = isAnd;
    bool any = false;
    Value failure;
    forEachArgument(node, [&](const Value& v, bool fromCells) {
        if (fromCells && (v.isEmpty() || v.isText()))
            return true;
        const Value b = toBoolean(v);
        if (b.isError()) {
            failure = b;
            return false;
        }
        any = true;
        result = isAnd ? result && b.asBoolean() : result || b.asBoolean();
        return true;
    });
    if (failure.isError())
        return failure;
    return any ? Value::boolean(result) : Value::error(ErrorCode::Value);
}

Value Evaluator::mathematical(const FormulaNode& node) const
{
    const QString& name = node.text;
    const auto& args = node.children;
    const size_t expected = name == u"ROUND" || name == u"MOD" ? 2 : 1;
    if (args.size() != expected)
        return Value::error(ErrorCode::Value);
    const Value a = toNumber(evaluate(*args[0]));
    if (a.isError())
        return a;
    const double x = a.asNumber();
    if (name == u"INT")
        return Value::number(std::floor(x));
    if (name == u"ABS")
        return Value::number(std::abs(x));
    const Value b = toNumber(evaluate(*args[1]));
    if (b.isError())
        return b;
    const double y = b.asNumber();
    if (name == u"ROUND")
        return Value::number(roundHalfAway(x, int(std::clamp(std::trunc(y), -400.0, 400.0))));
    // MOD takes the sign of the divisor: MOD(-3, 2) = 1.
    if (y == 0.0)
        return Value::error(ErrorCode::Div0);
    const double r = x - y * std::floor(x / y);
    return Value::number(r);
}

} // namespace talor::grid::formula
