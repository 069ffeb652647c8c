#pragma once

#include <QDateTime>
#include <QString>

// How the grid reads a typed entry and shows a number: the spreadsheet's typing rules.
namespace talor::grid {

// What a typed text becomes in a cell.
struct CellInput
{
    enum class Kind
    {
        Empty,
        Number,
        Text,
        Formula
    };
    Kind kind = Kind::Empty;
    double number = 0;    // Number: the value (dates and times as day serials)
    QString text;         // Text: the text without a leading apostrophe; Formula: the source
    QString numberFormat; // Number: the format code that shows it as typed
};

// Reads `typed` the way a spreadsheet does:
//  - "" (and a lone apostrophe) clears the cell;
//  - a leading apostrophe makes the rest plain text;
//  - "=..." is a formula;
//  - "12", "-3.50", "1,234.5", "50%", "1E3" are numbers, shown again as typed ("3.50" keeps
//    its two decimals); numbers with leading zeros ("0012") or more than 15 significant
//    digits (identity numbers) stay text, so that nothing typed is lost;
//  - "2024-3-5", "2024/3/5", "2024-03-05 08:30[:15]" are dates, "8:30", "08:30:15" times;
//  - anything else is text.
CellInput parseInput(const QString& typed);

// The text of a number under a format code made by parseInput: "General", "0", "0.00",
// "#,##0.0", "0%", "0.00%", "yyyy-mm-dd", "yyyy-mm-dd hh:mm", "yyyy-mm-dd hh:mm:ss",
// "hh:mm", "hh:mm:ss". Unknown codes show the number in general format.
QString formatNumber(double value, const QString& numberFormat);
// A date or time format code.
bool isDateFormat(const QString& numberFormat);

// Day serials as spreadsheets count them: 1 is 1900-01-01 (for dates from 1900-03-01 on),
// the fraction is the time of day.
double dateSerial(const QDateTime& value);
QDateTime fromDateSerial(double serial);

} // namespace talor::grid
