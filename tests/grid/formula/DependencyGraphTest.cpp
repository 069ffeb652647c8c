#include "grid/formula/DependencyGraph.h"

#include "grid/formula/Formula.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace talor::grid::formula;

namespace {

void setFormula(DependencyGraph& graph, int row, int col, const char* text)
{
    graph.setFormula(CellPos{row, col}, Formula::parse(QString::fromLatin1(text)).references());
}

TEST(DependencyGraph, ReplacingAndRemovingFormulasDropsTheirEdges)
{
    DependencyGraph graph;
    setFormula(graph, 1, 3, "=SUM(A1:A10)+B1");
    setFormula(graph, 1, 3, "=B2");
    EXPECT_EQ(std::tuple(graph.dependents({5, 1}), graph.dependents({1, 2}), graph.dependents({2, 2})),
              std::tuple(std::vector<CellPos>{}, std::vector<CellPos>{}, std::vector<CellPos>{{1, 3}}));
    graph.removeFormula({1, 3});
    EXPECT_EQ(std::pair(graph.dependents({2, 2}).empty(), graph.hasFormula({1, 3})), std::pair(true, false));
    // Range slots are reused after removal without mixing owners up.
    setFormula(graph, 9, 9, "=SUM(A1:B2)");
    setFormula(graph, 8, 8, "=SUM(B2:C3)");
    graph.removeFormula({9, 9});
    setFormula(graph, 7, 7, "=SUM(Z1:Z2)");
    EXPECT_EQ(std::pair(graph.dependents({2, 2}), graph.dependents({2, 26})),
              std::pair(std::vector<CellPos>{{8, 8}}, std::vector<CellPos>{{7, 7}}));
    graph.clear();
    EXPECT_EQ(std::pair(graph.formulaCount(), graph.dependents({2, 26}).empty()), std::pair(0, true));

    // A cell read by many formulas (past the point where its readers move to a hash set).
    for (int row = 1; row <= 100; ++row)
        setFormula(graph, row, 2, "=$A$1*2+$A$1");
    for (int row = 1; row <= 100; row += 2)
        graph.removeFormula({row, 2});
    const auto readers = graph.dependents({1, 1});
    ASSERT_EQ(readers.size(), 50u);
    EXPECT_EQ(std::pair(readers.front(), readers.back()), std::pair(CellPos{2, 2}, CellPos{100, 2}));
}

TEST(DependencyGraph, BigRangesStayOneEntry)
{
    DependencyGraph graph;
    setFormula(graph, 1, 2, "=SUM(A1:A36000)");
    for (int row = 1; row <= 36000; ++row)
        setFormula(graph, row, 3, qPrintable(QStringLiteral("=SUM(D%1:AH%1)").arg(row)));
    EXPECT_EQ(graph.dependents({35999, 1}), (std::vector<CellPos>{{1, 2}}));
    EXPECT_EQ(graph.dependents({35999, 20}), (std::vector<CellPos>{{35999, 3}}));
    EXPECT_EQ(graph.recalcAll().order.size(), 36001u);
    EXPECT_EQ(graph.recalcOrder({{20000, 10}}).order, (std::vector<CellPos>{{20000, 3}}));

    // However large or wide, a range takes a few index entries, and removing it frees them.
    DependencyGraph wide;
    const char* shapes[] = {"=SUM(B1:IV65536)", "=SUM(A1:A65536)", "=SUM(B1:IV1024)", "=SUM(C3:AG1500)"};
    for (int i = 1; i <= 1000; ++i)
        setFormula(wide, i, 1, shapes[i % 4]);
    EXPECT_LE(wide.rangeIndexEntries(), size_t(1000 * DependencyGraph::MaxRangeBlocks));
    EXPECT_EQ(wide.dependents({1500, 33}).size(), 500u); // the first and the last shape
    for (int i = 1; i <= 1000; ++i)
        wide.removeFormula({i, 1});
    EXPECT_EQ(wide.rangeIndexEntries(), 0u);
}

// What the formulas in some rows and everything reading those rows add up to is what following
// a change to every cell of the rows gives: rows on both sides of the 64-row pages of the index,
// single cells, a cell with many readers, ranges of each size level and beside the first, a circle.
TEST(DependencyGraph, RecomputingRowsIsFollowingAChangeToEachOfTheirCells)
{
    DependencyGraph graph;
    for (const int row : {1, 63, 64, 65, 66, 127, 128, 129, 130, 200})
        setFormula(graph, row, 3, qPrintable(QStringLiteral("=A%1+B%2").arg(row).arg(row + 1)));
    for (int row = 300; row < 380; ++row) // a crowded cell: 80 readers
        setFormula(graph, row, 4, "=$B$64*2");
    setFormula(graph, 400, 5, "=SUM(A60:B70)");
    setFormula(graph, 401, 5, "=SUM(A1:C2000)");
    setFormula(graph, 402, 5, "=SUM(A120:AD65536)");
    setFormula(graph, 403, 5, "=E404+A65");
    setFormula(graph, 404, 5, "=E403");
    setFormula(graph, 66, 6, "=F65");           // the row below reads it
    setFormula(graph, 405, 5, "=SUM(I60:I70)"); // the first column of the second block
    const auto sorted = [](std::vector<CellPos> cells) {
        std::sort(cells.begin(), cells.end(),
                  [](CellPos a, CellPos b) { return std::pair(a.row, a.col) < std::pair(b.row, b.col); });
        return cells;
    };
    for (const auto& [row1, row2] : std::vector<std::pair<int, int>>{
             {64, 64}, {65, 65}, {64, 65}, {63, 128}, {128, 129}, {1, 1}, {129, 300}}) {
        SCOPED_TRACE(testing::Message() << "rows " << row1 << "-" << row2);
        std::vector<CellPos> everyCell;
        for (int row = row1; row <= row2; ++row)
            for (int col = 1; col <= 30; ++col)
                everyCell.push_back(CellPos{row, col});
        const RecalcPlan rows = graph.recalcRows(row1, row2);
        const RecalcPlan cells = graph.recalcOrder(everyCell);
        EXPECT_EQ(sorted(rows.order), sorted(cells.order));
        EXPECT_EQ(sorted(rows.circular), sorted(cells.circular));
    }
    // The circle is reached through A65 only; E402 sums a range holding it (and E400, E401).
    EXPECT_EQ(std::pair(sorted(graph.recalcRows(65, 65).circular), sorted(graph.recalcRows(66, 66).circular)),
              std::pair(std::vector<CellPos>{{402, 5}, {403, 5}, {404, 5}}, std::vector<CellPos>{{402, 5}}));
}

} // namespace
