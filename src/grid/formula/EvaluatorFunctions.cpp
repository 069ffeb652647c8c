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
    if (digits < -308)
        return 0.0;
    const double scale = std::pow(10.0, std::abs(digits));
    double scaled = digits >= 0 ? x * scale : x / scale;
    // Past 15 decimals only a tiny number has digits left to round away; a larger one is kept.
    if (!std::isfinite(scaled) || (digits > 15 && std::abs(scaled) >= 1e15))
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
    // Cells: only numbers take part (COUNTA counts every cell that is not empty). Direct
    // arguments count as numbers when they read as one, else they are an error (COUNT passes
    // over them, COUNTA counts them all). The first error met in argument order wins.
    Tally tally;
    for (const auto& arg : node.children) {
        if (arg->kind == Kind::Ref || arg->kind == Kind::Range) {
            m_source.tally(arg->range, tally);
            continue;
        }
        const Value v = evaluate(*arg);
        const Value n = toNumber(v);
        if (!n.isError())
            tally.addNumber(n.asNumber());
        else
            tally.addError(n);
    }
    if (name == u"COUNTA")
        return Value::number(double(tally.nonEmpty));
    if (name == u"COUNT")
        return Value::number(double(tally.numbers));
    if (tally.firstError.isError())
        return tally.firstError;
    if (name == u"SUM")
        return Value::number(tally.sum);
    if (name == u"AVERAGE")
        return tally.numbers == 0 ? Value::error(ErrorCode::Div0)
                                  : Value::number(tally.sum / double(tally.numbers));
    if (tally.numbers == 0)
        return Value::number(0);
    return Value::number(name == u"MIN" ? tally.minimum : tally.maximum);
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
