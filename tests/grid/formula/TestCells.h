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
inline const Value Div0Err = Value::error(ErrorCode::Div0), ValueErr = Value::error(ErrorCode::Value),
                   RefErr = Value::error(ErrorCode::Ref), NameErr = Value::error(ErrorCode::Name),
                   NAErr = Value::error(ErrorCode::NA), NumErr = Value::error(ErrorCode::Num),
                   CircErr = Value::error(ErrorCode::Circular), SyntaxErr = Value::error(ErrorCode::Syntax);

// Cells held in a hash: what the sheet gives the evaluator, without the sheet.
class TestCells : public CellSource
{
public:
    void set(int row, int col, const Value& v) { m_cells[(quint64(row) << 32) | quint32(col)] = v; }
    Value value(int row, int col) const override
    {
        return m_cells.value((quint64(row) << 32) | quint32(col));
    }

private:
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
