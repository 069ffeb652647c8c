#pragma once

#include <QDate>
#include <QString>

// Pieces of SQL text. Names and codes that the module inserts into statements go through
// quoted(), so a department called O'Neill can neither break a query nor change its meaning.
// Conditions typed by supervisors are SQL by design, appended by the callers as one bracketed
// term (andCondition).
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

// " and (condition)": a supervisor's condition as one term of a where clause, so that its "or"
// narrows the report's rows instead of adding others; the empty text when there is none. A
// comment in the condition ends with its line, before the closing bracket; a block comment
// left open at its end is closed. Throws
// DatabaseError for a condition that closes a bracket it did not open: it would end the where
// clause, and what followed (a union) would pass other rows off as the report's.
QString andCondition(const QString& condition);

} // namespace talor::sql
