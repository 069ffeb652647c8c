#pragma once

#include <QString>
#include <vector>

namespace talor::grid::formula {

// One token of a formula's text.
struct Token
{
    enum class Type
    {
        Number,
        String,
        Word,
        Error,
        Operator,
        LParen,
        RParen,
        Comma,
        Colon,
        End,
        Bad
    };
    Type type = Type::End;
    QString text; // the word, the string's content, the operator or the error text
    double number = 0.0;
    qsizetype position = 0; // offset in the text, for error messages
};

// Splits a formula's text (without its leading "=") into tokens: numbers, "texts" (with ""
// for a quote inside), words (function names, references such as $A$1, TRUE, names),
// error literals (#REF!), operators + - * / ^ & % = <> < > <= >=, parentheses, commas and
// colons. Blanks between tokens are skipped. An unreadable character gives a Bad token.
class Tokenizer
{
public:
    static std::vector<Token> tokenize(const QString& text);
};

} // namespace talor::grid::formula
