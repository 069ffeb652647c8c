#pragma once

#include <QString>
#include <optional>

namespace talor {

class ColumnFields;
class SheetSnapshot;
class SuiteServices;
namespace grid {
class Sheet;
}

// A cell that does not fit its field's type: where it is and what the operator is told.
struct CellProblem
{
    int row = 0;
    int column = 0;
    QString message;
};

// ValidateSheet: checks every data cell of columns 1 to the last used one against the type of
// its field, column by column and row by row within a column, and gives the first cell that
// fails (nothing when the whole sheet passes). Empty cells always pass. Nothing is changed;
// the window shows the message, selects the cell and gives the grid the focus. Cells unchanged
// since `before` (when given) are not checked: the save does not write them, and a value that
// another program stored there must not stop the save of what the operator typed.
//   "S": the text's length in bytes of the double-byte code page is at most the display
//        format read as a number (a format that is not a number allows nothing);
//   "T": a date; "Y": a date or a time, each as the save reads it (not a bare number, which
//        would be read as days);
//   "D", "I": a number as the grid reads it ("1,234.5", "50%"), at most 1.2E+307 and
//   2147483647 (no lower bound), "I" a whole one.
std::optional<CellProblem> ValidateSheet(SuiteServices& suite, const ColumnFields& columns,
                                         const grid::Sheet& sheet, const SheetSnapshot* before = nullptr);

// The message for a cell of type `type` holding `text` in a column labelled `label`; empty
// when the cell passes. `maxLength` is the "S" limit.
QString cellTypeProblem(const QString& type, const QString& text, const QString& label, int maxLength);

// The "S" limit of a display format: its leading number rounded to an integer, 0 when none.
int maxTextLength(const QString& format);

} // namespace talor
