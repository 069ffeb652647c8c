#pragma once

#include <QDate>
#include <QString>

// Pieces of SQL text. Names and codes that the module inserts into statements go through
// quoted(), so a department called O'Neill can neither break a query nor change its meaning.
// Conditions typed by supervisors and administrators are SQL by design, appended by the callers
// as one bracketed term (bracketed, andCondition).
namespace talor::sql {

// The text between single quotes, with every single quote doubled: O'Neill -> 'O''Neill'.
QString quoted(const QString& text);
// The text with its single quotes doubled, for callers that write the surrounding quotes.
QString escaped(const QString& text);

// A date literal in the style of the database kind: when the kind's leading number is
// greater than 1, 'yyyy-mm-dd'; otherwise #yyyy-mm-dd#.
bool quotedDates(const QString& databaseKind);
QString dateLiteral(const QString& dateText, const QString& databaseKind);
QString dateLiteral(const QDate& date, const QString& databaseKind);

// "(condition)": a condition typed by a supervisor or an administrator as one term of a where
// clause, so that its "or" narrows the statement's rows instead of adding others. A comment in
// the condition ends with its line, before the closing bracket; a block comment left open at its
// end is closed. Throws DatabaseError for a condition that closes a bracket it did not open, as
// either engine reads its quoted texts, names and comments: it would end the where clause, and
// what followed (a union) would pass other rows off as the report's.
QString bracketed(const QString& condition);
// " and (condition)", or the empty text when there is none.
QString andCondition(const QString& condition);

} // namespace talor::sql
