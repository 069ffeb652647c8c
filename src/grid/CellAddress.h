#pragma once

#include "grid/Sheet.h"

#include <QString>
#include <QStringView>
#include <optional>

// A1 reference texts of the grid: column letters and ranges such as "$A$5:$BQ$5", "$C5", "A1".
namespace talor::grid {

// "A" for 1, "Z" for 26, "AA" for 27, ... "IV" for 256; empty outside 1..MaxColumns.
QString columnName(int col);
// The column number of letters ("A" -> 1, "bq" -> 69); 0 when they are not column letters
// or lie beyond MaxColumns.
int columnNumber(QStringView letters);
// "B3" for one cell, "B3:D7" for a range.
QString rangeText(const CellRange& range);
// Parses "A1", "$C5", "$A$5:$BQ$5", "B2:D4", whole columns "A:C" and whole rows "3:5"
// (up to Sheet::MaxRows / MaxColumns). Corners may come in any order; the result is
// normalised. Nothing for a text that is not a reference within the sheet.
std::optional<CellRange> parseRange(const QString& reference);

} // namespace talor::grid
