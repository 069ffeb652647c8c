#pragma once

#include "grid/formula/CellRef.h"
#include "grid/formula/Value.h"

#include <functional>

namespace talor::grid::formula {

// Where a formula reads its cells: the sheet implements it. value() gives a constant's
// value or a formula cell's last computed value (Value() for an empty cell).
class CellSource
{
public:
    virtual ~CellSource() = default;

    virtual Value value(int row, int col) const = 0;

    // Calls `visit` for the cells of `range` in rows-then-columns order until it returns
    // false. It must visit every non-empty cell and may skip empty ones, so a sheet that
    // stores cells sparsely can override it to make SUM(A1:A36000) cost what is stored.
    // The default asks value() for every cell.
    virtual void forEachValue(const RangeRef& range, const std::function<bool(const Value&)>& visit) const;
};

} // namespace talor::grid::formula
