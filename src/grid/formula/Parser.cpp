#include "grid/formula/Parser.h"

#include <cmath>

namespace talor::grid::formula {

using Kind = FormulaNode::Kind;
using Op = FormulaNode::Op;

Parser::Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

Parser::Result Parser::parse(const QString& text)
{
    Result result;
    if (text.size() > MaxLength) {
        result.error = QStringLiteral("The formula is longer than %1 characters").arg(MaxLength);
        return result;
    }
    Parser parser(Tokenizer::tokenize(text));
    if (parser.peek().type == Token::Type::End) {
        result.error = QStringLiteral("The formula is empty");
        return result;
    }
    auto root = parser.comparison();
    if (root && parser.peek().type != Token::Type::End)
        root = parser.fail(QStringLiteral("Unexpected \"%1\"").arg(parser.peek().text));
    if (!root) {
        result.error = parser.m_error;
        return result;
    }
    result.root = std::move(root);
    return result;
}

bool Parser::peekOperator(const char* op) const
{
    return peek().type == Token::Type::Operator && peek().text == QLatin1String(op);
}

std::unique_ptr<FormulaNode> Parser::fail(const QString& message)
{
    if (m_error.isEmpty()) {
        const Token& t = peek();
        m_error = t.type == Token::Type::End
                      ? message + QStringLiteral(" at the end of the formula")
                      : message + QStringLiteral(" at position %1").arg(t.position + 1);
    }
    return nullptr;
}

std::unique_ptr<FormulaNode> Parser::chain(std::unique_ptr<FormulaNode> left, Op op,
                                           std::unique_ptr<FormulaNode> right, bool leftIsChain)
{
    if (leftIsChain) {
        left->ops.push_back(op);
        left->children.push_back(std::move(right));
        return left;
    }
    auto node = std::make_unique<FormulaNode>();
    node->kind = Kind::Binary;
    node->ops.push_back(op);
    node->children.push_back(std::move(left));
    node->children.push_back(std::move(right));
    return node;
}

std::unique_ptr<FormulaNode> Parser::comparison()
{
    auto left = concatenation();
    bool isChain = false;
    while (left) {
        Op op;
        if (peekOperator("="))
            op = Op::Eq;
        else if (peekOperator("<>"))
            op = Op::Ne;
        else if (peekOperator("<"))
            op = Op::Lt;
        else if (peekOperator("<="))
            op = Op::Le;
        else if (peekOperator(">"))
            op = Op::Gt;
        else if (peekOperator(">="))
            op = Op::Ge;
        else
            break;
        next();
        auto right = concatenation();
        if (!right)
            return nullptr;
        left = chain(std::move(left), op, std::move(right), isChain);
        isChain = true;
    }
    return left;
}

std::unique_ptr<FormulaNode> Parser::concatenation()
{
    auto left = additive();
    bool isChain = false;
    while (left && peekOperator("&")) {
        next();
        auto right = additive();
        if (!right)
            return nullptr;
        left = chain(std::move(left), Op::Concat, std::move(right), isChain);
        isChain = true;
    }
    return left;
}

std::unique_ptr<FormulaNode> Parser::additive()
{
    auto left = multiplicative();
    bool isChain = false;
    while (left && (peekOperator("+") || peekOperator("-"))) {
        const Op op = next().text == u"+" ? Op::Add : Op::Sub;
        auto right = multiplicative();
        if (!right)
            return nullptr;
        left = chain(std::move(left), op, std::move(right), isChain);
        isChain = true;
    }
    return left;
}

std::unique_ptr<FormulaNode> Parser::multiplicative()
{
    auto left = power();
    bool isChain = false;
    while (left && (peekOperator("*") || peekOperator("/"))) {
        const Op op = next().text == u"*" ? Op::Mul : Op::Div;
        auto right = power();
        if (!right)
            return nullptr;
        left = chain(std::move(left), op, std::move(right), isChain);
        isChain = true;
    }
    return left;
}

std::unique_ptr<FormulaNode> Parser::power()
{
    auto left = postfix();
    bool isChain = false;
    while (left && peekOperator("^")) {
        next();
        auto right = postfix();
        if (!right)
            return nullptr;
        left = chain(std::move(left), Op::Pow, std::move(right), isChain);
        isChain = true;
    }
    return left;
}

std::unique_ptr<FormulaNode> Parser::postfix()
{
    auto operand = unary();
    int percents = 0;
    while (operand && peekOperator("%")) {
        next();
        if (++percents > MaxNesting)
            return fail(QStringLiteral("Too many percent signs"));
        auto node = std::make_unique<FormulaNode>();
        node->kind = Kind::Percent;
        node->children.push_back(std::move(operand));
        operand = std::move(node);
    }
    return operand;
}

std::unique_ptr<FormulaNode> Parser::unary()
{
    if (peekOperator("-") || peekOperator("+")) {
        const Op op = next().text == u"-" ? Op::Neg : Op::Plus;
        // Each sign is a nesting level too: "=------...1" must not recurse without bound.
        if (++m_nesting > MaxNesting)
            return fail(QStringLiteral("Too many nested signs"));
        auto operand = unary();
        --m_nesting;
        if (!operand)
            return nullptr;
        auto node = std::make_unique<FormulaNode>();
        node->kind = Kind::Unary;
        node->op = op;
        node->children.push_back(std::move(operand));
        return node;
    }
    return primary();
}

std::unique_ptr<FormulaNode> Parser::primary()
{
    const Token& t = peek();
    auto node = std::make_unique<FormulaNode>();
    switch (t.type) {
    case Token::Type::Number:
        if (!std::isfinite(t.number))
            return fail(QStringLiteral("Number out of range"));
        node->kind = Kind::Number;
        node->number = t.number;
        next();
        return node;
    case Token::Type::String:
        node->kind = Kind::Text;
        node->text = t.text;
        next();
        return node;
    case Token::Type::Error:
        node->kind = Kind::Error;
        node->error = *errorFromText(t.text);
        next();
        return node;
    case Token::Type::Word:
        return word();
    case Token::Type::LParen: {
        next();
        if (++m_nesting > MaxNesting)
            return fail(QStringLiteral("Parentheses nest too deep"));
        auto inner = comparison();
        --m_nesting;
        if (!inner)
            return nullptr;
        if (peek().type != Token::Type::RParen)
            return fail(QStringLiteral("Missing \")\""));
        next();
        node->kind = Kind::Paren;
        node->children.push_back(std::move(inner));
        return node;
    }
    case Token::Type::End:
        return fail(QStringLiteral("A value is missing"));
    default:
        return fail(QStringLiteral("Unexpected \"%1\"").arg(t.text));
    }
}

std::unique_ptr<FormulaNode> Parser::word()
{
    const Token t = next();
    if (peek().type == Token::Type::LParen)
        return call(t.text.toUpper());
    auto node = std::make_unique<FormulaNode>();
    if (const auto ref = CellRef::parse(t.text)) {
        if (peek().type == Token::Type::Colon) {
            next();
            const Token other = next();
            const auto ref2 = other.type == Token::Type::Word ? CellRef::parse(other.text) : std::nullopt;
            if (!ref2)
                return fail(QStringLiteral("A range needs a cell reference after \":\""));
            node->kind = Kind::Range;
            node->range = RangeRef::spanning(*ref, *ref2);
            return node;
        }
        node->kind = Kind::Ref;
        node->range = RangeRef{*ref, *ref};
        return node;
    }
    const QString upper = t.text.toUpper();
    if (upper == u"TRUE" || upper == u"FALSE") {
        node->kind = Kind::Boolean;
        node->boolean = upper == u"TRUE";
        return node;
    }
    node->kind = Kind::Name;
    node->text = t.text;
    return node;
}

std::unique_ptr<FormulaNode> Parser::call(const QString& name)
{
    next(); // "("
    if (++m_nesting > MaxNesting)
        return fail(QStringLiteral("Functions nest too deep"));
    auto node = std::make_unique<FormulaNode>();
    node->kind = Kind::Call;
    node->text = name;
    if (peek().type == Token::Type::RParen) {
        next();
        --m_nesting;
        return node;
    }
    for (;;) {
        if (peek().type == Token::Type::Comma || peek().type == Token::Type::RParen) {
            node->children.push_back(std::make_unique<FormulaNode>()); // omitted argument
        } else {
            auto arg = comparison();
            if (!arg)
                return nullptr;
            node->children.push_back(std::move(arg));
        }
        if (peek().type == Token::Type::Comma) {
            next();
            continue;
        }
        if (peek().type == Token::Type::RParen) {
            next();
            break;
        }
        return fail(QStringLiteral("Missing \")\" after the arguments of %1").arg(name));
    }
    --m_nesting;
    return node;
}

} // namespace talor::grid::formula
