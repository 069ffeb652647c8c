#pragma once

#include "grid/formula/CellRef.h"
#include "grid/formula/Value.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace talor::grid::formula {

// What SUM, AVERAGE, COUNT, COUNTA, MIN and MAX gather from values taken in order: the
// numbers' sum, count, smallest and largest, the values that are not empty, and the first
// error. Adding values one by one from a range's first row gives the same figures, to the
// last bit, as continuing a tally of its first rows with the rest.
struct Tally
{
    double sum = 0.0;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
    long long numbers = 0;
    long long nonEmpty = 0;
    Value firstError;
    bool started = false; // anything added yet

    void addNumber(double x)
    {
        started = true;
        ++numbers;
        ++nonEmpty;
        sum += x;
        minimum = std::min(minimum, x);
        maximum = std::max(maximum, x);
    }
    void addError(const Value& error)
    {
        started = true;
        ++nonEmpty;
        if (!firstError.isError())
            firstError = error;
    }
    // A cell's value: only numbers take part in the figures; texts and booleans count as
    // not empty.
    void addCell(const Value& v)
    {
        if (v.isEmpty())
            return;
        if (v.isNumber()) {
            addNumber(v.asNumber());
        } else if (v.isError()) {
            addError(v);
        } else {
            started = true;
            ++nonEmpty;
        }
    }
};

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

    // Adds the cells of `range` to `tally`, in the order forEachValue visits them. A source
    // that remembers tallies may continue an earlier one of the range's first rows.
    virtual void tally(const RangeRef& range, Tally& into) const;
};

} // namespace talor::grid::formula
