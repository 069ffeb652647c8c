#include "grid/formula/Formula.h"

#include "grid/formula/Evaluator.h"
#include "grid/formula/FormulaNode.h"
#include "grid/formula/Parser.h"

#include <QLocale>

namespace talor::grid::formula {

using Kind = FormulaNode::Kind;
using Op = FormulaNode::Op;

namespace {

const char* operatorText(Op op)
{
    switch (op) {
    case Op::Neg:
    case Op::Sub:
        return "-";
    case Op::Plus:
    case Op::Add:
        return "+";
    case Op::Mul:
        return "*";
    case Op::Div:
        return "/";
    case Op::Pow:
        return "^";
    case Op::Concat:
        return "&";
    case Op::Eq:
        return "=";
    case Op::Ne:
        return "<>";
    case Op::Lt:
        return "<";
    case Op::Le:
        return "<=";
    case Op::Gt:
        return ">";
    case Op::Ge:
        return ">=";
    }
    return "";
}

using RefMap = std::function<std::optional<RangeRef>(const RangeRef&)>;

void printNode(const FormulaNode& node, const RefMap& map, QString& out)
{
    switch (node.kind) {
    case Kind::Number: {
        // General format where it keeps the exact number, else the shortest exact form.
        QString number = text::formatGeneral(node.number);
        if (QLocale::c().toDouble(number) != node.number)
            number = QString::number(node.number, 'g', QLocale::FloatingPointShortest).toUpper();
        out += number;
        break;
    }
    case Kind::Text:
        out += u'"' + QString(node.text).replace(u'"', QStringLiteral("\"\"")) + u'"';
        break;
    case Kind::Boolean:
        out += node.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        break;
    case Kind::Error:
        out += errorText(node.error);
        break;
    case Kind::Ref:
    case Kind::Range: {
        const auto mapped = map(node.range);
        if (!mapped) {
            out += errorText(ErrorCode::Ref);
            break;
        }
        mapped->first.appendTo(out);
        if (node.kind == Kind::Range) {
            out += u':';
            mapped->last.appendTo(out);
        }
        break;
    }
    case Kind::Name:
        out += node.text;
        break;
    case Kind::Missing:
        break;
    case Kind::Paren:
        out += u'(';
        printNode(*node.children[0], map, out);
        out += u')';
        break;
    case Kind::Percent:
        printNode(*node.children[0], map, out);
        out += u'%';
        break;
    case Kind::Unary:
        out += QLatin1String(operatorText(node.op));
        printNode(*node.children[0], map, out);
        break;
    case Kind::Binary:
        printNode(*node.children[0], map, out);
        for (size_t i = 1; i < node.children.size(); ++i) {
            out += QLatin1String(operatorText(node.ops[i - 1]));
            printNode(*node.children[i], map, out);
        }
        break;
    case Kind::Call:
        out += node.text + u'(';
        for (size_t i = 0; i < node.children.size(); ++i) {
            if (i > 0)
                out += u',';
            printNode(*node.children[i], map, out);
        }
        out += u')';
        break;
    }
}

void collectReferences(const FormulaNode& node, std::vector<RangeRef>& refs)
{
    if (node.kind == Kind::Ref || node.kind == Kind::Range)
        refs.push_back(node.range);
    for (const auto& child : node.children)
        collectReferences(*child, refs);
}

// Moves the span lo..hi of row or column numbers for an insertion (delta > 0) before `at`
// or a deletion (delta < 0) of at..at-delta-1. False when nothing of it is left.
bool shiftSpan(int& lo, int& hi, int at, int delta, int limit)
{
    if (delta > 0) {
        if (lo >= at)
            lo += delta;
        if (hi >= at)
            hi += delta;
        if (lo > limit)
            return false;
        hi = std::min(hi, limit);
        return true;
    }
    const int count = -delta;
    const int lastDeleted = at + count - 1;
    auto moved = [&](int n) {
        return n > lastDeleted ? n - count : n;
    };
    if (lo >= at && hi <= lastDeleted)
        return false;
    const int newLo = lo >= at && lo <= lastDeleted ? at : moved(lo);
    const int newHi = hi >= at && hi <= lastDeleted ? at - 1 : moved(hi);
    lo = newLo;
    hi = newHi;
    return true;
}

// The rewrite of each reference when columns (or rows) move at `at` by `delta`.
RefMap shiftedBy(int at, int delta, bool columns)
{
    return [at, delta, columns](const RangeRef& r) -> std::optional<RangeRef> {
        RangeRef out = r;
        if (delta == 0)
            return out;
        const bool left = columns ? shiftSpan(out.first.col, out.last.col, at, delta, MaxColumn)
                                  : shiftSpan(out.first.row, out.last.row, at, delta, MaxRow);
        return left ? std::optional(out) : std::nullopt;
    };
}

} // namespace

Formula::Formula() = default;

Formula Formula::parse(const QString& text)
{
    Formula f;
    f.m_source = text.startsWith(u'=') ? text : u'=' + text;
    auto result = Parser::parse(text.startsWith(u'=') ? text.mid(1) : text);
    f.m_root = std::move(result.root);
    f.m_error = result.error;
    if (f.m_root)
        f.m_source = QString(); // a valid formula prints its text from the tree
    return f;
}

QString Formula::print(const RefMap& map) const
{
    if (!m_root)
        return m_source;
    QString out;
    out.reserve(32); // most formulas of a template, printed without growing
    out += u'=';
    printNode(*m_root, map, out);
    return out;
}

QString Formula::text() const
{
    return print([](const RangeRef& r) { return std::optional<RangeRef>(r); });
}

std::vector<RangeRef> Formula::references() const
{
    std::vector<RangeRef> refs;
    if (m_root)
        collectReferences(*m_root, refs);
    return refs;
}

Value Formula::evaluate(const CellSource& source) const
{
    if (!m_root)
        return Value::error(ErrorCode::Syntax);
    const Value v = Evaluator(source).evaluate(*m_root);
    return v.isEmpty() ? Value::number(0) : v;
}

QString Formula::shiftedColumns(int at, int delta) const
{
    return print(shiftedBy(at, delta, true));
}

QString Formula::shiftedRows(int at, int delta) const
{
    return print(shiftedBy(at, delta, false));
}

QString Formula::copied(int rows, int cols) const
{
    return print([rows, cols](const RangeRef& r) -> std::optional<RangeRef> {
        RangeRef out = r;
        for (CellRef* c : {&out.first, &out.last}) {
            if (!c->rowAbsolute)
                c->row += rows;
            if (!c->colAbsolute)
                c->col += cols;
            if (c->row < 1 || c->row > MaxRow || c->col < 1 || c->col > MaxColumn)
                return std::nullopt;
        }
        return RangeRef::spanning(out.first, out.last);
    });
}

} // namespace talor::grid::formula
