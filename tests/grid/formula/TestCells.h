#pragma once

#include "grid/formula/CellSource.h"
#include "grid/formula/Value.h"

#include <QHash>
#include <gtest/gtest.h>

namespace talor::grid::formula::test {

inline Value N(double v)
{
    return Value::number(v);
}
inline Value T(const QString& v)
{
    return Value::text(v);
}
inline Value B(bool v)
{
    return Value::boolean(v);
}
inline Value E(ErrorCode c)
{
    return Value::error(c);
}

// Cells held in a hash: what the sheet gives the evaluator, without the sheet.
class TestCells : public CellSource
{
public:
    void set(int row, int col, const Value& v) { m_cells[key(row, col)] = v; }
    void clear(int row, int col) { m_cells.remove(key(row, col)); }
    Value value(int row, int col) const override
    {
        ++m_reads;
        return m_cells.value(key(row, col));
    }
    mutable long long m_reads = 0;

private:
    static quint64 key(int row, int col) { return (quint64(row) << 32) | quint32(col); }
    QHash<quint64, Value> m_cells;
};

// Values compare exactly except numbers, which may differ in the last bits.
inline ::testing::AssertionResult sameValue(const Value& expected, const Value& actual)
{
    const bool same = expected.isNumber() && actual.isNumber()
                          ? std::abs(expected.asNumber() - actual.asNumber()) <=
                                1e-12 * std::max(1.0, std::abs(expected.asNumber()))
                          : expected == actual;
    if (same)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected " << int(expected.type()) << " \"" << displayText(expected).toStdString()
           << "\", got " << int(actual.type()) << " \"" << displayText(actual).toStdString() << "\"";
}

} // namespace talor::grid::formula::test
