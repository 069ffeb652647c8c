#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// The text functions the module and its field dictionary rely on: the spreadsheet-style
// numeric value of a text, the format function for number and date/time pictures, date and
// time tests, byte lengths in the double-byte code page, padding, and cell addresses.
namespace talor::text {

// The leading number of a text: optional blanks, a sign, digits with at most one decimal
// point, an optional exponent. 0 when the text does not start with a number ("12abc" -> 12).
double numericValue(const QString& text);

// A date or date-time read from text the way a spreadsheet user types it: "2024-2-3",
// "2024-02-03 08:30", "2024/2/3". Impossible dates ("2024-02-30") give nothing.
std::optional<QDateTime> parseDateTime(const QString& text);
// A time of day "8:30", "08:30:15"; impossible times ("25:61") give nothing.
std::optional<QTime> parseTime(const QString& text);

bool isValidDate(const QString& text);
// A valid date, or a valid time of day.
bool isValidDateOrTime(const QString& text);

// The format function: a text that reads as a number is formatted with a number picture
// ("0", "#", ".", ",", "%", literal text: "#0.00", "##0.00", "0%"); a text that reads as a
// date or time is formatted with a date/time picture ("yyyy", "yy", "mm"/"m", "dd"/"d",
// "hh"/"h", "nn"/"n", "ss"/"s"). Any other text, or an empty picture, comes back unchanged.
QString format(const QString& text, const QString& picture);
QString formatNumber(double value, const QString& picture);
QString formatDateTime(const QDateTime& value, const QString& picture);

// Length in bytes of the double-byte code page: a CJK (non-ASCII) character counts 2.
int byteLength(const QString& text);

// `number` in decimal, filled on the left with `fill` up to `width` characters.
QString zeroFill(long long number, int width, QChar fill = u'0');
// `text` filled on the right with `fill` up to `width` characters; longer texts stay whole.
QString padRight(const QString& text, int width, QChar fill = u' ');

// Absolute A1 reference pieces: "$" + the column's letters for 1..69, "$BR" for any other
// column (the table's reach stops at column 70); "$" + the row number in decimal.
QString ColumnAddress(int column);
QString RowAddress(int row);
// "$A$r:$Cr": one whole row from column A to `lastColumn`.
QString RowRange(int row, int lastColumn);

} // namespace talor::text
