#pragma once

#include <QString>
#include <optional>

namespace talor::grid::formula {

// Sheet limits the references are read and checked against (columns A..IV, rows 1..1048576).
constexpr int MaxRow = 1048576;
constexpr int MaxColumn = 256;

// "A".."Z", "AA".."IV", ...: the letters of a 1-based column number (any positive number).
QString columnLetters(int col);
// The column number of letters such as "iv" (case-insensitive); 0 when they are not letters
// or name a column beyond MaxColumn.
int columnNumber(QStringView letters);

// A reference to one cell as written in a formula: A1, $A$1, $A1, A$1. The row and column
// are the cell's position (1-based); the "$" flags matter when a formula is copied.
struct CellRef
{
    int row = 1;
    int col = 1;
    bool rowAbsolute = false;
    bool colAbsolute = false;

    // "A1" form with the "$" signs as flagged.
    QString toString() const;
    // Appends toString() to `out`, without a text of its own: formulas print many references.
    void appendTo(QString& out) const;
    // Reads "A1", "$c$5", "$C5" (letters case-insensitive, no blanks); nothing for anything
    // else or for a cell beyond the sheet limits.
    static std::optional<CellRef> parse(QStringView text);

    bool operator==(const CellRef&) const = default;
};

// A rectangle of cells read by a formula; a single reference has first == last.
// first is the top-left and last the bottom-right corner.
struct RangeRef
{
    CellRef first;
    CellRef last;

    bool isSingleCell() const { return first.row == last.row && first.col == last.col; }
    bool contains(int row, int col) const
    {
        return row >= first.row && row <= last.row && col >= first.col && col <= last.col;
    }
    // "A1" or "A1:B2".
    QString toString() const;
    // Reads "A1" or "A1:B2" (corners in any order; the result is ordered).
    static std::optional<RangeRef> parse(QStringView text);
    // The range spanning the two corners, ordered top-left to bottom-right.
    static RangeRef spanning(const CellRef& a, const CellRef& b);

    bool operator==(const RangeRef&) const = default;
};

} // namespace talor::grid::formula
