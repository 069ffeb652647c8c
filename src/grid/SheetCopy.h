#pragma once

#include <QString>
#include <functional>

namespace talor::grid {

class Sheet;

// A text as a copy holds it (for example cut to what a file's cell holds).
using CopiedText = std::function<QString(const QString&)>;

// Rows row1..row2 of `from` copied into `to` `delta` rows lower (higher when negative):
// values, formulas and formats, each plain text through `text` when one is given. A formula's
// references move as when the rows were inserted before row `at` (delta > 0) or the rows
// at..at - delta - 1 deleted (delta < 0), so that the references into the copied rows follow
// them.
void copyRows(const Sheet& from, Sheet& to, int row1, int row2, int delta, int at,
              const CopiedText& text = {});

// Whether every formula in rows row1..row2 of `sheet` reads only cells of those rows, with
// references that all move with it: the rows moved together, anywhere on a sheet, then keep
// every value they show, with nothing to recompute.
bool keepValuesWhenMoved(const Sheet& sheet, int row1, int row2);

// The widths, the extent (`lastRow` rows) and the frozen panes of `from` on `to`, the frozen
// rows `shift` more (the rows above stay frozen with them, as the grid's heading does).
void copyLayout(const Sheet& from, Sheet& to, int lastRow, int shift);

} // namespace talor::grid
