#pragma once

#include "grid/formula/FormulaNode.h"
#include "grid/formula/Tokenizer.h"

#include <memory>
#include <vector>

namespace talor::grid::formula {

// Reads a formula's text (without its leading "=") into a tree with the spreadsheet's
// precedence, loosest first: comparisons, &, + -, * /, ^ (left to right: 2^3^2 = 64),
// postfix %, unary minus (-2^2 = 4), then ranges A1:B2. Internal to the formula engine.
class Parser
{
public:
    struct Result
    {
        std::unique_ptr<FormulaNode> root; // null when the text could not be read
        QString error;                     // why not, for the operator
    };

    // Formulas longer than this (the usual spreadsheet limit) are refused.
    static constexpr int MaxLength = 8192;
    // Parentheses and function calls nest at most this deep.
    static constexpr int MaxNesting = 64;

    static Result parse(const QString& text);

private:
    explicit Parser(std::vector<Token> tokens);

    std::unique_ptr<FormulaNode> comparison();
    std::unique_ptr<FormulaNode> concatenation();
    std::unique_ptr<FormulaNode> additive();
    std::unique_ptr<FormulaNode> multiplicative();
    std::unique_ptr<FormulaNode> power();
    std::unique_ptr<FormulaNode> postfix();
    std::unique_ptr<FormulaNode> unary();
    std::unique_ptr<FormulaNode> primary();
    std::unique_ptr<FormulaNode> word();
    std::unique_ptr<FormulaNode> call(const QString& name);

    const Token& peek() const { return m_tokens[m_pos]; }
    bool peekOperator(const char* op) const;
    Token next() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }
    std::unique_ptr<FormulaNode> fail(const QString& message);
    // Adds `op right` to the chain `left` of one precedence level.
    static std::unique_ptr<FormulaNode> chain(std::unique_ptr<FormulaNode> left, FormulaNode::Op op,
                                              std::unique_ptr<FormulaNode> right, bool leftIsChain);

    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
    QString m_error;
};

} // namespace talor::grid::formula
