#pragma once

#include "grid/formula/CellSource.h"
#include "grid/formula/FormulaNode.h"

#include <functional>

namespace talor::grid::formula {

// Computes a formula tree against a sheet with the spreadsheet's rules: texts that read as
// numbers, dates or times count in arithmetic ("3"+1 = 4, "08:30"*24 = 8.5, see
// text::numberFromText), other texts give #VALUE!; a sum or difference that cancels to
// within the last digits of its operands is 0; empty is 0 in
// arithmetic and "" in &; TRUE/FALSE are 1/0; text comparisons ignore case; the first error
// met is the result; a text made by & longer than a cell holds is #VALUE!, so that formulas
// that each join a cell to itself cannot double a text into gigabytes. Internal to the
// formula engine (Formula::evaluate is the public way).
class Evaluator
{
public:
    // The longest text & makes: a spreadsheet cell's most.
    static constexpr qsizetype MaxTextLength = 32767;

    explicit Evaluator(const CellSource& source) : m_source(source) {}

    Value evaluate(const FormulaNode& node) const;

    // Conversions of the spreadsheet's operators, public for the function library.
    static Value toNumber(const Value& value);
    static Value toBoolean(const Value& value);
    // -1, 0, 1: numbers < texts < booleans; empty compares as 0, "" or FALSE.
    static int compare(const Value& a, const Value& b);

private:
    // Left to right along a chain of one precedence level.
    Value chain(const FormulaNode& node) const;
    static Value binary(FormulaNode::Op op, const Value& a, const Value& b);
    Value call(const FormulaNode& node) const;

    // Visits every value the arguments stand for: a direct argument's value, or each cell
    // of a reference or range (fromCells = true). The visitor returns false to stop.
    using ArgumentVisitor = std::function<bool(const Value& value, bool fromCells)>;
    void forEachArgument(const FormulaNode& call, const ArgumentVisitor& visit) const;

    Value aggregate(const FormulaNode& node) const;
    Value logical(const FormulaNode& node) const;
    Value mathematical(const FormulaNode& node) const;

    const CellSource& m_source;
};

} // namespace talor::grid::formula
