#pragma once

#include "text/TextFunctions.h"

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
//  - dates, date-times and times as text::parseDateTime and text::parseTime read them
//    ("2024-3-5", "2024/3/5", "2024.3.5", "2024年3月5日", "2024-03-05 08:30[:15]", "8:30"),
//    dates of the years 100 to 9999 only (the ones a cell can show);
//  - times of a twelve-hour clock ("8:30 PM", "8 pm", "8:30:15 AM"; hours 0 to 12), durations
//    of a day or more ("25:00", "168:30:15"; hours of up to four digits) and negative times
//    ("-08:30"), as fractions of days shown as typed ("h:mm AM/PM", "[h]:mm", "[hh]:mm");
//  - anything else is text.
CellInput parseInput(const QString& typed);

// A date or time format code (text::isDateTimePicture). Cells show numbers through
// text::formatNumber.
bool isDateFormat(const QString& numberFormat);

} // namespace talor::grid
