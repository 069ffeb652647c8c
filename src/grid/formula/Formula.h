#pragma once

#include "grid/formula/CellRef.h"
#include "grid/formula/CellSource.h"
#include "grid/formula/Value.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace talor::grid::formula {

struct FormulaNode;

// One cell's formula, read once and evaluated as often as its cells change.
//
// The grammar is the spreadsheet subset that templates use: numbers, "texts" ("" for a
// quote), TRUE/FALSE, error literals, references A1 $A$1 $A1 A$1 and ranges A1:B2 (columns
// A..IV, rows 1..1048576), + - * / ^ & = <> < > <= >=, parentheses, unary minus, postfix %,
// and the functions SUM AVERAGE COUNT COUNTA MIN MAX IF AND OR NOT ROUND INT ABS MOD
// (names in any case). A text joined by & beyond 32,767 characters (a cell's most) is
// #VALUE!. Unknown functions and names evaluate to #NAME?; a text that is not a
// formula gives an invalid Formula that evaluates to #ERROR! and keeps its text. Nothing
// here throws. Copies are cheap (the tree is shared and immutable).
class Formula
{
public:
    // An invalid, empty formula.
    Formula();
    // Reads `text`, with or without its leading "=".
    static Formula parse(const QString& text);

    bool isValid() const { return m_root != nullptr; }
    // Why the text could not be read; empty for a valid formula.
    QString errorMessage() const { return m_error; }

    // The canonical text with its "=": "=SUM(A1:B2)*2", function names upper case, no
    // blanks; an invalid formula gives back the text it was read from.
    QString text() const;

    // The cells and ranges the formula reads, in order of appearance (duplicates kept).
    std::vector<RangeRef> references() const;

    // The formula's value. A reference to an empty cell as the whole result gives 0, as a
    // spreadsheet shows it; a bare range gives #VALUE!.
    Value evaluate(const CellSource& source) const;

    // The text after `delta` columns were inserted before column `at` (delta > 0) or the
    // columns at..at-delta-1 were deleted (delta < 0): references move with their cells,
    // a reference into deleted columns becomes #REF!, a range partly deleted shrinks, a
    // range with an insertion inside grows. References pushed beyond column IV become #REF!.
    QString shiftedColumns(int at, int delta) const;
    // The same for rows.
    QString shiftedRows(int at, int delta) const;
    // The text of this formula copied by (rows, cols): relative references move, absolute
    // parts ($) stay; a reference moved off the sheet becomes #REF!.
    QString copied(int rows, int cols) const;
    // Whether both are the same reading of one text (copies of one Formula).
    bool sharesTree(const Formula& other) const { return m_root && m_root == other.m_root; }

private:
    // Maps a reference (single cell or range) to its new form; nothing means #REF!.
    using RefMap = std::function<std::optional<RangeRef>(const RangeRef& range)>;
    QString print(const RefMap& map) const;

    std::shared_ptr<const FormulaNode> m_root;
    QString m_source;
    QString m_error;
};

// A formula cell as it is kept: `formula` read at another cell and moved here by (rows, cols),
// so that its text is formula.copied(rows, cols).
struct MovedFormula
{
    Formula formula;
    int rows = 0;
    int cols = 0;
    // Valid and without "$": moving the cell moves every reference with it.
    bool relative = false;
    // The rows its references read from this cell; both 0 when it reads no cell.
    int firstRow = 0;
    int lastRow = 0;
};

} // namespace talor::grid::formula
