// The engine driven the way the sheet drives it: cells set one by one, the dependency graph
// giving the order, circular cells shown as #CIRC!.
#include "TestCells.h"
#include "grid/formula/DependencyGraph.h"
#include "grid/formula/Formula.h"

#include <QElapsedTimer>
#include <map>

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

// A minimal sheet: constants, formulas with their last values, recalculation on each edit.
class MiniSheet : public CellSource
{
public:
    void set(int row, int col, const QString& text)
    {
        const CellPos pos{row, col};
        if (text.startsWith(u'=')) {
            const Formula f = Formula::parse(text);
            m_formulas[{row, col}] = f;
            m_graph.setFormula(pos, f.references());
        } else {
            m_formulas.erase({row, col});
            m_graph.removeFormula(pos);
            const auto n = numberFromText(text);
            m_values[{row, col}] = text.isEmpty() ? Value() : n ? Value::number(*n) : Value::text(text);
        }
        recalculate(m_graph.recalcOrder({pos}));
    }
    QString shown(int row, int col) const { return displayText(value(row, col)); }
    QString formula(int row, int col) const { return m_formulas.at({row, col}).text(); }

    void deleteColumn(int col)
    {
        std::map<std::pair<int, int>, QString> texts;
        for (const auto& [pos, f] : m_formulas)
            texts[pos] = f.shiftedColumns(col, -1);
        std::map<std::pair<int, int>, Value> values;
        for (const auto& [pos, v] : m_values) {
            if (pos.second != col)
                values[{pos.first, pos.second > col ? pos.second - 1 : pos.second}] = v;
        }
        m_values = values;
        m_formulas.clear();
        m_graph.clear();
        for (const auto& [pos, text] : texts) {
            if (pos.second == col)
                continue;
            const std::pair<int, int> moved{pos.first, pos.second > col ? pos.second - 1 : pos.second};
            m_formulas[moved] = Formula::parse(text);
            m_graph.setFormula({moved.first, moved.second}, m_formulas[moved].references());
        }
        recalculate(m_graph.recalcAll());
    }

    Value value(int row, int col) const override
    {
        const auto it = m_values.find({row, col});
        return it == m_values.end() ? Value() : it->second;
    }

private:
    void recalculate(const RecalcPlan& plan)
    {
        for (const CellPos& c : plan.circular)
            m_values[{c.row, c.col}] = Value::error(ErrorCode::Circular);
        for (const CellPos& c : plan.order)
            m_values[{c.row, c.col}] = m_formulas.at({c.row, c.col}).evaluate(*this);
    }

    std::map<std::pair<int, int>, Formula> m_formulas;
    std::map<std::pair<int, int>, Value> m_values;
    DependencyGraph m_graph;
};

TEST(Recalculation, ChainsFollowTheirPrecedents)
{
    MiniSheet sheet;
    sheet.set(3, 1, QStringLiteral("=A2+A1")); // entered before its precedents
    sheet.set(2, 1, QStringLiteral("=A1*2"));
    sheet.set(1, 1, QStringLiteral("1"));
    EXPECT_EQ(sheet.shown(3, 1), QStringLiteral("3"));
    sheet.set(1, 1, QStringLiteral("5"));
    EXPECT_EQ(sheet.shown(2, 1), QStringLiteral("10"));
    EXPECT_EQ(sheet.shown(3, 1), QStringLiteral("15"));
    sheet.set(1, 1, QStringLiteral("x"));
    EXPECT_EQ(sheet.shown(3, 1), QStringLiteral("#VALUE!"));
    sheet.set(1, 1, QString());
    EXPECT_EQ(sheet.shown(3, 1), QStringLiteral("0"));
}

TEST(Recalculation, CircularReferencesShowAnErrorUntilBroken)
{
    MiniSheet sheet;
    sheet.set(1, 1, QStringLiteral("=B1"));
    sheet.set(1, 3, QStringLiteral("=A1+1"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("1"));
    sheet.set(1, 2, QStringLiteral("=A1"));
    EXPECT_EQ(sheet.shown(1, 1), QStringLiteral("#CIRC!"));
    EXPECT_EQ(sheet.shown(1, 2), QStringLiteral("#CIRC!"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("#CIRC!")); // reads a circular cell
    sheet.set(1, 2, QStringLiteral("3"));
    EXPECT_EQ(sheet.shown(1, 1), QStringLiteral("3"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("4"));

    sheet.set(5, 5, QStringLiteral("=E5+1"));
    EXPECT_EQ(sheet.shown(5, 5), QStringLiteral("#CIRC!"));
    sheet.set(10, 1, QStringLiteral("=SUM(A1:A10)"));
    EXPECT_EQ(sheet.shown(10, 1), QStringLiteral("#CIRC!"));
    sheet.set(10, 1, QStringLiteral("=SUM(A1:A9)"));
    EXPECT_EQ(sheet.shown(10, 1), QStringLiteral("3"));
}

TEST(Recalculation, RangesWithAbsoluteAndRelativeReferences)
{
    MiniSheet sheet;
    for (int row = 1; row <= 5; ++row)
        sheet.set(row, 1, QString::number(row));
    // Running totals and shares of the grand total.
    for (int row = 1; row <= 5; ++row) {
        sheet.set(row, 2, QStringLiteral("=SUM($A$1:A%1)").arg(row));
        sheet.set(row, 3, QStringLiteral("=ROUND(A%1/SUM($A$1:$A$5)*100,1)").arg(row));
    }
    EXPECT_EQ(sheet.shown(5, 2), QStringLiteral("15"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("6.7"));
    sheet.set(1, 1, QStringLiteral("16"));
    EXPECT_EQ(sheet.shown(3, 2), QStringLiteral("21"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("53.3"));
    EXPECT_EQ(sheet.shown(5, 3), QStringLiteral("16.7"));
}

TEST(Recalculation, DeletingAColumnAdjustsFormulas)
{
    MiniSheet sheet;
    sheet.set(1, 1, QStringLiteral("1"));
    sheet.set(1, 2, QStringLiteral("2"));
    sheet.set(1, 3, QStringLiteral("3"));
    sheet.set(1, 4, QStringLiteral("=SUM(A1:C1)"));
    sheet.set(2, 4, QStringLiteral("=B1*10"));
    sheet.set(3, 4, QStringLiteral("=C1*10"));
    sheet.deleteColumn(2);
    EXPECT_EQ(sheet.formula(1, 3), QStringLiteral("=SUM(A1:B1)"));
    EXPECT_EQ(sheet.shown(1, 3), QStringLiteral("4"));
    EXPECT_EQ(sheet.shown(2, 3), QStringLiteral("#REF!"));
    EXPECT_EQ(sheet.formula(3, 3), QStringLiteral("=B1*10"));
    EXPECT_EQ(sheet.shown(3, 3), QStringLiteral("30"));
}

// Not a timing assertion: checks that 100,000 formulas parse and evaluate correctly and
// prints how long it took (bench/ holds the real measurements).
TEST(Recalculation, HundredThousandSimpleFormulas)
{
    TestCells cells;
    const int n = 100000;
    const int rows = 50000;
    for (int row = 1; row <= rows; ++row) {
        cells.set(row, 1, N(row));
        cells.set(row, 2, N(1));
    }
    QElapsedTimer timer;
    timer.start();
    std::vector<Formula> formulas;
    formulas.reserve(n);
    for (int i = 0; i < n; ++i)
        formulas.push_back(Formula::parse(QStringLiteral("=A%1*2+B%1").arg(i % rows + 1)));
    const qint64 parsed = timer.elapsed();
    double total = 0;
    for (const Formula& f : formulas)
        total += f.evaluate(cells).asNumber();
    const qint64 evaluated = timer.elapsed() - parsed;
    // Twice the sum of 2r+1 over r = 1..rows.
    EXPECT_DOUBLE_EQ(total, 2.0 * (double(rows) * (rows + 1) + rows));
    std::printf("100000 formulas: parse %lld ms, evaluate %lld ms\n", qint64(parsed), qint64(evaluated));
}

} // namespace
