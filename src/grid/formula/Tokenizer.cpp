#include "grid/formula/Tokenizer.h"

#include "grid/formula/Value.h"

#include <QLocale>

namespace talor::grid::formula {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'$';
}

bool isWordChar(QChar c)
{
    return isWordStart(c) || isDigit(c) || c == u'.';
}

} // namespace

std::vector<Token> Tokenizer::tokenize(const QString& text)
{
    std::vector<Token> tokens;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto add = [&tokens](Token::Type type, const QString& t, qsizetype pos) {
        Token token;
        token.type = type;
        token.text = t;
        token.position = pos;
        tokens.push_back(token);
    };
    while (i < n) {
        const QChar c = text[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (isDigit(c) || (c == u'.' && i + 1 < n && isDigit(text[i + 1]))) {
            while (i < n && isDigit(text[i]))
                ++i;
            if (i < n && text[i] == u'.') {
                ++i;
                while (i < n && isDigit(text[i]))
                    ++i;
            }
            if (i < n && (text[i] == u'e' || text[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (text[j] == u'+' || text[j] == u'-'))
                    ++j;
                if (j < n && isDigit(text[j])) {
                    while (j < n && isDigit(text[j]))
                        ++j;
                    i = j;
                }
            }
            // A number running into letters ("2A") is not a number.
            if (i < n && isWordChar(text[i])) {
                add(Token::Type::Bad, text.mid(start, i - start + 1), start);
                return tokens;
            }
            Token token;
            token.type = Token::Type::Number;
            token.text = text.mid(start, i - start);
            bool ok = false;
            token.number = QLocale::c().toDouble(token.text, &ok);
            if (!ok)
                token.type = Token::Type::Bad; // out of range ("1E999")
            token.position = start;
            tokens.push_back(token);
            continue;
        }
        if (c == u'"') {
            QString content;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        content += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                content += text[i++];
            }
            add(closed ? Token::Type::String : Token::Type::Bad, content, start);
            if (!closed)
                return tokens;
            continue;
        }
        if (c == u'#') {
            // The longest error text that starts here: "#DIV/0!", "#N/A", ...
            bool found = false;
            for (qsizetype len = 7; len >= 4; --len) {
                if (start + len <= n && errorFromText(QStringView(text).mid(start, len))) {
                    add(Token::Type::Error, text.mid(start, len).toUpper(), start);
                    i += len;
                    found = true;
                    break;
                }
            }
            if (!found) {
                add(Token::Type::Bad, QString(c), start);
                return tokens;
            }
            continue;
        }
        if (isWordStart(c)) {
            while (i < n && isWordChar(text[i]))
                ++i;
            add(Token::Type::Word, text.mid(start, i - start), start);
            continue;
        }
        switch (c.unicode()) {
        case u'(':
            add(Token::Type::LParen, QStringLiteral("("), start);
            break;
        case u')':
            add(Token::Type::RParen, QStringLiteral(")"), start);
            break;
        case u',':
            add(Token::Type::Comma, QStringLiteral(","), start);
            break;
        case u':':
            add(Token::Type::Colon, QStringLiteral(":"), start);
            break;
        case u'<':
            if (i + 1 < n && (text[i + 1] == u'=' || text[i + 1] == u'>')) {
                add(Token::Type::Operator, text.mid(i, 2), start);
                ++i;
            } else {
                add(Token::Type::Operator, QStringLiteral("<"), start);
            }
            break;
        case u'>':
            if (i + 1 < n && text[i + 1] == u'=') {
                add(Token::Type::Operator, QStringLiteral(">="), start);
                ++i;
            } else {
                add(Token::Type::Operator, QStringLiteral(">"), start);
            }
            break;
        case u'+':
        case u'-':
        case u'*':
        case u'/':
        case u'^':
        case u'&':
        case u'%':
        case u'=':
            add(Token::Type::Operator, QString(c), start);
            break;
        default:
            add(Token::Type::Bad, QString(c), start);
            return tokens;
        }
        ++i;
    }
    add(Token::Type::End, QString(), n);
    return tokens;
}

} // namespace talor::grid::formula
