#pragma once

#include "grid/formula/CellRef.h"
#include "grid/formula/Value.h"

#include <QString>
#include <memory>
#include <vector>

namespace talor::grid::formula {

// One node of a parsed formula's tree. The tree keeps the formula's own parentheses so that
// printing it back gives the same structure. Internal to the formula engine.
struct FormulaNode
{
    enum class Kind
    {
        Number,  // number
        Text,    // text (a "quoted" literal)
        Boolean, // boolean
        Error,   // error literal such as #REF!
        Ref,     // range (a single cell: first == last)
        Range,   // range (A1:B2)
        Name,    // text: a name the grid does not know
        Unary,   // op: Neg or Plus; children[0]
        Percent, // children[0]
        Binary,  // ops; children[0] ops[0] children[1] ops[1] children[2] ..., left to right:
                 // a chain of one precedence level is one node, so "=1+1+...+1" stays flat
        Call,    // text: upper-case function name; children: arguments
        Paren,   // children[0]
        Missing, // an omitted argument: IF(A1,,1)
    };
    enum class Op
    {
        Neg,
        Plus,
        Add,
        Sub,
        Mul,
        Div,
        Pow,
        Concat,
        Eq,
        Ne,
        Lt,
        Le,
        Gt,
        Ge
    };

    Kind kind = Kind::Missing;
    Op op = Op::Add;     // Unary
    std::vector<Op> ops; // Binary: the operator before each child but the first
    double number = 0.0;
    bool boolean = false;
    ErrorCode error = ErrorCode::Value;
    QString text;
    RangeRef range;
    std::vector<std::unique_ptr<FormulaNode>> children;
};

} // namespace talor::grid::formula
