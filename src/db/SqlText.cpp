#include "db/SqlText.h"

#include "db/Recordset.h"
#include "text/TextFunctions.h"

#include <QCoreApplication>
#include <algorithm>

namespace talor::sql {

namespace {

// A character of a name as both engines read one: ASCII letters, digits, "_" and "$", and every
// character outside ASCII (whatever Qt calls it: "。", combining marks, surrogate halves).
bool isNameCharacter(QChar c)
{
    return c.unicode() >= 0x80 || c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The two engines read quoted texts, names and comments differently, and a condition is checked
// as each of them reads it.
enum class Dialect
{
    Sqlite,
    Postgres
};

// The end of a block comment that starts at `i` (the index of its last character, or the
// text's size when it is never closed). PostgreSQL's block comments nest; SQLite's end at
// the first "*/".
qsizetype blockCommentEnd(QStringView sql, qsizetype i, Dialect dialect)
{
    int depth = 0;
    for (qsizetype j = i; j + 1 < sql.size(); ++j) {
        if (sql[j] == u'/' && sql[j + 1] == u'*' && (depth == 0 || dialect == Dialect::Postgres)) {
            ++depth;
            ++j;
        } else if (sql[j] == u'*' && sql[j + 1] == u'/') {
            ++j;
            if (--depth == 0)
                return j;
        }
    }
    return sql.size();
}

// The end of SQLite's variable ($name, @name, :name, #name) that starts at `i`: its name
// characters and "::" pairs, and a bracketed suffix up to ")" without blanks, quotes and
// brackets included ("$a(')" is one variable). A suffix that meets a blank first makes the
// statement illegal to SQLite; the variable is then taken to end before its "(", which hides
// nothing ("x::numeric(10, 2)" is PostgreSQL's cast, whose brackets count as written).
qsizetype sqliteVariableEnd(QStringView sql, qsizetype i)
{
    qsizetype j = i + 1;
    bool named = false;
    while (j < sql.size()) {
        if (isNameCharacter(sql[j])) {
            named = true;
            ++j;
        } else if (sql[j] == u'(' && named) {
            const qsizetype open = j;
            while (++j < sql.size() && !sql[j].isSpace() && sql[j] != u')') {
            }
            return j < sql.size() && sql[j] == u')' ? j : open - 1;
        } else if (sql[j] == u':' && j + 1 < sql.size() && sql[j + 1] == u':') {
            j += 2;
        } else {
            break;
        }
    }
    return j - 1;
}

// The end of the quoted text, name, comment or dollar-quoted text that starts at `i` in `sql`
// (the index of its last character, or the text's size when it is never closed), or `i` itself
// when none starts there, as `dialect` reads it. Both engines: doubled quotes in texts and "names"; SQLite:
// [names] and `names`; PostgreSQL: E'..' with backslash escapes and $tag$..$tag$.
qsizetype skipQuoted(QStringView sql, qsizetype i, Dialect dialect)
{
    auto endOf = [&](QStringView closing, qsizetype from) {
        const qsizetype at = sql.indexOf(closing, from);
        return at < 0 ? sql.size() : at + closing.size() - 1;
    };
    const QStringView rest = sql.sliced(i);
    const bool postgres = dialect == Dialect::Postgres;
    if (rest.startsWith(u"--")) {
        // PostgreSQL ends a line comment at a carriage return as well.
        const qsizetype newline = endOf(u"\n", i);
        const qsizetype carriageReturn = postgres ? endOf(u"\r", i) : sql.size();
        return std::min(newline, carriageReturn);
    }
    if (rest.startsWith(u"/*"))
        return blockCommentEnd(sql, i, dialect);
    if (rest.startsWith(u'"'))
        return endOf(u"\"", i + 1);
    if (!postgres && rest.startsWith(u'['))
        return endOf(u"]", i + 1);
    if (!postgres && rest.startsWith(u'`'))
        return endOf(u"`", i + 1);
    // A "$" after a name character belongs to that name ("a$b"); the other marks start a variable.
    const bool afterName = i > 0 && isNameCharacter(sql[i - 1]);
    if (!postgres && ((rest.startsWith(u'$') && !afterName) || rest.startsWith(u'@') ||
                      rest.startsWith(u':') || rest.startsWith(u'#')))
        return sqliteVariableEnd(sql, i);
    if (rest.startsWith(u'\'')) {
        const bool escapes = postgres && i > 0 && (sql[i - 1] == u'E' || sql[i - 1] == u'e') &&
                             (i == 1 || !isNameCharacter(sql[i - 2]));
        for (qsizetype j = i + 1; j < sql.size(); ++j) {
            if (escapes && sql[j] == u'\\')
                ++j;
            else if (sql[j] == u'\'')
                return j;
        }
        return sql.size();
    }
    if (postgres && rest.startsWith(u'$') && !afterName) {
        qsizetype end = 1;
        while (end < rest.size() && rest[end] != u'$' &&
               (rest[end].isLetter() || rest[end] == u'_' || (end > 1 && rest[end].isDigit())))
            ++end;
        if (end < rest.size() && rest[end] == u'$')
            return endOf(rest.first(end + 1), i + end + 1);
    }
    return i;
}

// What a condition holds outside its texts, names and comments that its place in a where
// clause must allow for.
struct ConditionShape
{
    bool closesForeignBracket = false; // a bracket it did not open
    bool endsInComment = false;        // a block comment never closed
    bool endsInQuote = false;          // a quoted text or name never closed
};

ConditionShape shapeOf(QStringView condition, Dialect dialect)
{
    ConditionShape shape;
    int depth = 0;
    for (qsizetype i = 0; i < condition.size(); ++i) {
        if (const qsizetype end = skipQuoted(condition, i, dialect); end != i) {
            // Left open at the end: a line comment ends with the condition's own line; a block
            // comment is closed for it; a quoted text or name would run on into the statement.
            if (end == condition.size() && !condition.sliced(i).startsWith(u"--")) {
                shape.endsInComment = condition.sliced(i).startsWith(u"/*");
                shape.endsInQuote = !shape.endsInComment;
            }
            i = end;
        } else if (condition[i] == u'(') {
            ++depth;
        } else if (condition[i] == u')' && --depth < 0) {
            shape.closesForeignBracket = true;
            break;
        }
    }
    return shape;
}

} // namespace

QString escaped(const QString& text)
{
    QString result = text;
    return result.replace(u'\'', u"''"_qs);
}

QString quoted(const QString& text)
{
    return u'\'' + escaped(text) + u'\'';
}

bool quotedDates(const QString& databaseKind)
{
    return text::numericValue(databaseKind) > 1;
}

QString dateLiteral(const QString& dateText, const QString& databaseKind)
{
    return quotedDates(databaseKind) ? quoted(dateText) : u'#' + dateText + u'#';
}

QString dateLiteral(const QDate& date, const QString& databaseKind)
{
    return dateLiteral(date.toString(u"yyyy-MM-dd"_qs), databaseKind);
}

QString bracketed(const QString& condition)
{
    const ConditionShape sqlite = shapeOf(condition, Dialect::Sqlite);
    const ConditionShape postgres = shapeOf(condition, Dialect::Postgres);
    if (sqlite.closesForeignBracket || postgres.closesForeignBracket)
        throw DatabaseError(QCoreApplication::translate(
                                "talor", "The condition \"%1\" closes a bracket it did not open: a condition "
                                         "can only narrow the report's rows")
                                .arg(condition));
    // A quote left open would take in what follows the condition, up to a quote of the next
    // condition in the same statement: the two together could then say anything.
    if (sqlite.endsInQuote || postgres.endsInQuote)
        throw DatabaseError(
            QCoreApplication::translate("talor",
                                        "The condition \"%1\" leaves a quoted text or name open: a condition "
                                        "can only narrow the report's rows")
                .arg(condition));
    // A block comment left open at the end is closed, as the end of a statement closes it.
    const bool endsInComment = sqlite.endsInComment || postgres.endsInComment;
    return u'(' + condition + (endsInComment ? u"*/"_qs : QString()) +
           (condition.contains(u"--") ? u"\n)"_qs : u")"_qs);
}

QString andCondition(const QString& condition)
{
    return condition.isEmpty() ? QString() : u" and " + bracketed(condition);
}

} // namespace talor::sql
