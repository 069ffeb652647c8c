#include "grid/formula/CellSource.h"

namespace talor::grid::formula {

void CellSource::forEachValue(const RangeRef& range, const std::function<bool(const Value&)>& visit) const
{
    for (int row = range.first.row; row <= range.last.row; ++row) {
        for (int col = range.first.col; col <= range.last.col; ++col) {
            if (!visit(value(row, col)))
                return;
        }
    }
}

void CellSource::tally(const RangeRef& range, Tally& into) const
{
    forEachValue(range, [&into](const Value& v) {
        into.addCell(v);
        return true;
    });
}

} // namespace talor::grid::formula
