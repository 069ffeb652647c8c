#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

// The text functions the module and its field dictionary rely on: the spreadsheet-style
// numeric value of a text, the format function for number and date/time pictures, date and
// time tests, byte lengths in the double-byte code page, padding, and cell addresses.
//
// Dates and times are naive local values (Qt::LocalTime); day numbers follow the spreadsheet
// convention where day 0 is 1899-12-30 (so 1 is 1899-12-31, 2 is 1900-01-01, 45000 is
// 2023-03-15) and the fraction of a day is the time of day.
namespace talor::text {

// The leading number of a text: optional blanks, a sign, digits with at most one decimal
// point, an optional exponent. 0 when the text does not start with a number ("12abc" -> 12,
// "1e3x" -> 1000, "1e" -> 1, "." -> 0). A number beyond the double range gives +-infinity,
// which every upper-bound check rejects.
double numericValue(const QString& text);

// The whole text (blanks around it allowed) as a number in the grammar of numericValue;
// nothing when anything else is in the text ("12abc", "", "1,234").
std::optional<double> parseNumber(const QString& text);

// A number as typed into a number cell: the grammar of parseNumber with thousands grouped by
// commas ("1,234.5") and an optional trailing "%" (divides by 100); nothing for any other text
// (a date or a time among them) or a number beyond the double range.
std::optional<double> typedNumber(const QString& text);

// The number a text stands for in spreadsheet arithmetic ("08:30"*24, "2024-03-05"+0):
// a number as typedNumber reads it; a date or date-time as parseDateTime reads it
// (its day number); a time as parseTime reads it (its fraction of a day). Nothing for any
// other text ("", "abc", "1,23", "inf", "2024-02-30") or a number beyond the double range.
std::optional<double> numberFromText(const QString& text);

// A date or date-time read from text the way a spreadsheet user types it: "2024-2-3",
// "2024-02-03 08:30", "2024/2/3", "2024.2.3", "2024年2月3日", optionally followed by a time as
// parseTime reads it (after a blank or "T"). Impossible dates ("2024-02-30") give nothing.
std::optional<QDateTime> parseDateTime(const QString& text);
// The day number (see dateSerial) of a date or date-time as parseDateTime reads it, read
// without the local time zone: cheaper, and no time is moved by a daylight-saving gap.
std::optional<double> dateSerialOf(const QString& text);
// A time of day "8:30", "08:30:15", "08:30:15.250" (finer fractions are cut); impossible
// times ("25:61") give nothing.
std::optional<QTime> parseTime(const QString& text);

// The date (and time) of a spreadsheet day number; nothing outside the years 100 to 9999.
std::optional<QDateTime> dateTimeFromSerial(double serial);

// A date or a date with a time ("2024-02-03 08:30:00"); a bare time is not a date.
bool isValidDate(const QString& text);
bool isValidTime(const QString& text);
// A valid date, or a valid time of day.
bool isValidDateOrTime(const QString& text);

// The format function: a text that reads as a number is formatted with a number picture
// ("0", "#", ".", ",", "%", literal text: "#0.00", "##0.00", "#,##0.00", "0%"); a text that
// reads as a date, a date-time or a time is formatted with a date/time picture ("yyyy", "yy",
// "mm"/"m", "dd"/"d", "hh"/"h", "nn"/"n", "ss"/"s"). Any other text, or an empty picture,
// comes back unchanged.
//
// The named formats "General" and "General Number" (text unchanged), "Fixed" ("0.00"),
// "Standard" ("#,##0.00"), "Percent" ("0.00%"), "Short Date" ("yyyy-mm-dd"), "Long Time"
// ("hh:nn:ss") and "Short Time" ("hh:nn") may stand for a picture, in any case.
//
// A picture is a number picture when it has a "0" or "#" placeholder, else a date/time picture
// when it has one of the letters y m d h n s (either case), else it changes nothing. Text in
// double quotes and a character after a backslash are literal in both kinds.
//
// Crossing kinds: a plain number with a date/time picture is a spreadsheet day number
// ("45000" with "yyyy-mm-dd" gives "2023-03-15"); a bare time with a date picture lies on day
// 0 ("8:30" with "yyyy-mm-dd" gives "1899-12-30"); a date or time text with a number picture
// comes back unchanged, or through the picture's text section when it has one
// ("0.00;\"ID \"@" shows "abc" as "ID abc").
QString format(const QString& text, const QString& picture);

// A number under a cell's format code, spreadsheet style; the grid's display, its Excel and
// PDF output and the format function all show numbers through this one function.
//  - "General" (any case) or an empty code: formatGeneral.
//  - A number picture (it has a "0" or "#" placeholder): the value is first rounded to 15
//    significant digits and then half away from zero to the picture's decimals (2.675 with
//    "0.00" gives "2.68"). "0" placeholders always show a digit, "#" only a significant one; a
//    "," among the integer placeholders groups thousands; each "%" multiplies by 100; the
//    integer part is never cut. An exponent "E+"/"E-" with placeholders shows scientific
//    notation, its exponent a multiple of the integer places ("0.00E+00": 1.23E+04; "##0.0E+0":
//    12.3E+3). Up to three sections "positive;negative;zero" are honoured (the negative section
//    shows the value without its sign); a last section holding "@" is for texts, and a picture
//    of that section alone ("@") shows numbers as General. Colours ("[Red]", "[Color10]") are
//    not shown; a currency bracket ("[$€-407]") shows its symbol. A value that rounds to zero
//    shows no minus sign.
//  - A date/time picture (isDateTimePicture): the value is a day number shown by
//    formatDateTime; a day number outside the years 100 to 9999 shows as "#####", as
//    spreadsheets show a date that cannot be; so does a percentage beyond the double range.
// Non-finite values come back as Qt writes them ("inf", "nan").
QString formatNumber(double value, const QString& picture);
// The number that formatNumber(value, "0.00"), with `decimals` (0 to 6) places, shows, read
// back as numericValue reads it: the value rounded as the picture shows it, without the text.
double shownAsFixed(double value, int decimals);

// A number in the spreadsheet's general format: at most 15 significant digits, no trailing
// zeros, scientific ("1E+15", "1.5E-10") when |x| >= 1E+15 or 0 < |x| < 1E-9.
QString formatGeneral(double value);

// The Excel format code that shows a number as formatNumber shows it with `picture`: the
// picture itself where Excel reads it alike, else with this module's own codes in Excel's
// ("hh:nn" is "hh:mm", "YYYY-MM-DD" is "yyyy-mm-dd", "ddd" is "dd", "0," is "#,0") and the
// characters formatNumber shows as they are but Excel would read as codes in quotes
// ("0.00 h" is 0.00 "h", "yyyy年m月" is yyyy"年"m"月").
QString excelFormatCode(const QString& picture);

// A picture that shows a date or time: no "0" or "#" placeholder, one of the letters y m d h
// n s outside quotes, and not "General".
bool isDateTimePicture(const QString& picture);

// A date-time with a date/time picture. "m"/"mm" directly after an hour code or directly
// before a seconds code means minutes, as spreadsheets read it; "n"/"nn" is always minutes.
// Hours are 0..23, or 1..12 with an "AM/PM" or "A/P" marker (shown in the case written).
// "[h]", "[mm]" and "[ss]" count the whole duration since day 0 in that unit, with a minus sign
// before a negative one ("[h]:mm" shows 25 hours as "25:00", -8.5 hours as "-8:30"). Longer
// runs ("ddd", "mmmm") are read as their two-letter codes. The time is first rounded to whole
// seconds (23:59:59.6 shows as the next day's 00:00:00), then minutes and hours are shown as
// they are (08:29:40 with "hh:mm" is "08:29").
QString formatDateTime(const QDateTime& value, const QString& picture);

// The spreadsheet day number of a date-time (see above); the inverse of dateTimeFromSerial.
double dateSerial(const QDateTime& value);

// Length in bytes of the double-byte code page: an ASCII character counts 1, every other
// character 2 (a character outside the basic plane, a surrogate pair, counts 2 as well).
int byteLength(const QString& text);

// `number` in decimal, filled on the left with `fill` up to `width` characters; never cut.
// With the fill "0" a minus sign stays in front ("-05"); other fills go before the sign.
QString zeroFill(long long number, int width, QChar fill = u'0');
// `text` filled on the right with `fill` up to `width` characters; longer texts stay whole.
QString padRight(const QString& text, int width, QChar fill = u' ');
// The first `units` UTF-16 units of `text` at most, one fewer where the cut would fall inside
// a surrogate pair: a character outside the basic plane (an emoji, a CJK Extension B
// character) is kept whole or left out, never halved.
QString leftWhole(const QString& text, qsizetype units);

// Absolute A1 reference pieces: "$" + the column's letters for 1..MaxAddressedColumn (XFD,
// a workbook's last column), "$BR" for a column outside them; "$" + the row number in decimal
// ("$-3").
inline constexpr int MaxAddressedColumn = 16384;
QString ColumnAddress(int column);
QString RowAddress(int row);
// "$A$r:$Cr": one whole row from column A to `lastColumn`.
QString RowRange(int row, int lastColumn);
// "$A$1:$Cr": the print area up to `lastColumn` and `lastRow`.
QString PrintArea(int lastColumn, int lastRow);

} // namespace talor::text
