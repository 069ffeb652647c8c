#pragma once

#include "grid/formula/CellSource.h"
#include "grid/formula/Formula.h"
#include "grid/formula/Value.h"

#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace talor::grid {

// The formula cells of one sheet: their parsed forms, last results and the dependencies
// between them. The sheet keeps its constants itself and tells this store what changed;
// recalculate() then recomputes the formula cells that the changes reach, once each, in
// dependency order. Many changes between two recalculations (a load, a report fill) cost
// one pass over the formulas, not one per change. A formula copied down a column (the rows
// of a report) shares the parsed form of the cell above it.
class FormulaCells
{
public:
    using Position = std::pair<int, int>; // row, column
    using Positions = std::vector<Position>;

    explicit FormulaCells(const formula::CellSource& cells);
    ~FormulaCells();

    bool isEmpty() const;
    bool contains(int row, int col) const;
    QString source(int row, int col) const; // "=..." canonical (a formula that cannot be read: as set)
    formula::Value result(int row, int col) const;
    // The formula of (row, col) as it is kept, for copying it elsewhere without printing and
    // reading its text; nothing when (row, col) holds no formula.
    std::optional<formula::MovedFormula> moved(int row, int col) const;

    // Makes (row, col) a formula cell, due for recalculation.
    void set(int row, int col, const QString& source);
    // Makes (row, col) the formula cell that set(formula.copied(rows, cols)) makes, without
    // printing and reading that text: a formula without "$" whose references all stay on
    // the sheet is kept as `formula` read (rows, cols) away, shared by every cell it is
    // copied to from the same place.
    void setCopied(int row, int col, const formula::Formula& formula, int rows, int cols);
    // (row, col) is no formula cell any more.
    void remove(int row, int col);
    // The value of (row, col) changed: the formula cells that read it are due.
    void changed(int row, int col);
    // Recomputes the formula cells that the changes since the last recalculation reach;
    // returns them.
    Positions recalculate();
    // The same for a fill that writes whole rows: after many changes, recomputes the formula
    // cells in the rows changed since the last recalculation and what reads those rows (for
    // rows written whole, what the changes reach, found without following each of them).
    Positions recalculateRows();
    // Recomputes every formula cell.
    Positions recalculateAll();
    // A recalculation stops once its formulas have read more than `cells` cells (0: no
    // limit) and leaves the formulas after that one as they were; readLimitReached() then
    // says so until the limit is set again. A template's reader refuses a file that asks for
    // more work than that.
    void setReadLimit(qint64 cells);
    bool readLimitReached() const;

    // Columns were inserted (count > 0) before `col` or deleted (count < 0) from `col`:
    // moves the formula cells and rewrites their references; references to deleted cells
    // become #REF!. Formula cells pushed beyond the last column are dropped.
    void shiftColumns(int col, int count);
    // Drops the formula cells below `lastRow` or right of `lastCol`.
    void crop(int lastRow, int lastCol);
    void clear();

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace talor::grid
