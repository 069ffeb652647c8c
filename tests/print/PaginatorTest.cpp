#include "print/Paginator.h"

#include <gtest/gtest.h>

using namespace talor::print;
using talor::grid::CellRange;

namespace {

// A set-up whose page body holds exactly `bodyHeight` x `bodyWidth` points.
PageSetup setupWithBody(double bodyWidth, double bodyHeight)
{
    PageSetup setup;
    const QSizeF paper = setup.paperPoints();
    setup.leftMargin = 10;
    setup.rightMargin = paper.width() - 10 - bodyWidth;
    setup.topMargin = 10;
    setup.bottomMargin = paper.height() - 10 - bodyHeight;
    return setup;
}

GridMetrics uniform(int columns, double width, int rows, double height)
{
    GridMetrics m;
    m.columnWidths.assign(size_t(columns), width);
    m.rowHeights.assign(size_t(rows), height);
    return m;
}

std::vector<std::pair<int, int>> rowBands(const Pagination& p)
{
    std::vector<std::pair<int, int>> bands;
    for (const Page& page : p.pages)
        bands.emplace_back(page.row1, page.row2);
    return bands;
}

struct BreakCase
{
    const char* name;
    double bodyHeight;
    int rows;
    std::vector<std::pair<int, int>> expected;
};

class RowBreaks : public testing::TestWithParam<BreakCase>
{};

} // namespace

TEST_P(RowBreaks, FillPagesWhileRowsFit)
{
    const BreakCase& c = GetParam();
    const Pagination p =
        paginate(setupWithBody(400, c.bodyHeight), CellRange{1, 1, c.rows, 3}, uniform(3, 50, c.rows, 15));
    EXPECT_EQ(rowBands(p), c.expected);
    EXPECT_EQ(p.pagesWide, 1);
}

INSTANTIATE_TEST_SUITE_P(Paginator, RowBreaks,
                         testing::Values(BreakCase{"ExactlyFull", 150, 20, {{1, 10}, {11, 20}}},
                                         BreakCase{"OneRowOver", 150, 21, {{1, 10}, {11, 20}, {21, 21}}},
                                         BreakCase{"JustShort", 149.99, 20, {{1, 9}, {10, 18}, {19, 20}}},
                                         BreakCase{"AlmostAnotherRow", 164.99, 11, {{1, 10}, {11, 11}}},
                                         BreakCase{"RowTallerThanPage", 10, 2, {{1, 1}, {2, 2}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Paginator, TitleRowsRepeatOnEveryPageThatDoesNotHoldThem)
{
    PageSetup setup = setupWithBody(400, 150);
    setup.titleRows = std::pair{1, 2};
    const Pagination p = paginate(setup, CellRange{1, 1, 30, 2}, uniform(2, 50, 30, 15));
    // Page 1 holds the titles itself; later pages lose two rows of room to them.
    EXPECT_EQ(rowBands(p), (std::vector<std::pair<int, int>>{{1, 10}, {11, 18}, {19, 26}, {27, 30}}));
    EXPECT_FALSE(p.pages[0].titleRows);
    for (size_t i = 1; i < p.pages.size(); ++i)
        EXPECT_EQ(p.pages[i].titleRows, (std::pair{1, 2})) << i;

    // An area below the titles gets them on its first page too.
    const Pagination below = paginate(setup, CellRange{5, 1, 12, 2}, uniform(2, 50, 30, 15));
    ASSERT_EQ(below.pages.size(), 1u);
    EXPECT_EQ(below.pages[0].titleRows, (std::pair{1, 2}));
}

TEST(Paginator, PageOrderAndFirstPageNumber)
{
    PageSetup setup = setupWithBody(100, 150); // two 50-point columns, ten rows a page
    setup.firstPageNumber = 5;
    const CellRange area{1, 1, 20, 4};
    const GridMetrics m = uniform(4, 50, 20, 15);
    auto blocks = [](const Pagination& p) {
        std::vector<std::tuple<int, int, int>> b;
        for (const Page& page : p.pages)
            b.emplace_back(page.number, page.row1, page.col1);
        return b;
    };
    setup.order = PageOrder::DownThenOver;
    EXPECT_EQ(blocks(paginate(setup, area, m)),
              (std::vector<std::tuple<int, int, int>>{{5, 1, 1}, {6, 11, 1}, {7, 1, 3}, {8, 11, 3}}));
    setup.order = PageOrder::OverThenDown;
    EXPECT_EQ(blocks(paginate(setup, area, m)),
              (std::vector<std::tuple<int, int, int>>{{5, 1, 1}, {6, 1, 3}, {7, 11, 1}, {8, 11, 3}}));
}

struct FitCase
{
    const char* name;
    int wide, tall, columns, rows;
    int expectWide, expectTall; // 0: more than one, not limited
};

class FitToPages : public testing::TestWithParam<FitCase>
{};

TEST_P(FitToPages, LargestScaleWithinThePages)
{
    const FitCase& c = GetParam();
    PageSetup setup = setupWithBody(400, 600);
    setup.fitToPages = true;
    setup.fitToPagesWide = c.wide;
    setup.fitToPagesTall = c.tall;
    const CellRange area{1, 1, c.rows, c.columns};
    const GridMetrics m = uniform(c.columns, 48, c.rows, 15);
    const Pagination p = paginate(setup, area, m);
    if (c.expectWide > 0) {
        EXPECT_EQ(p.pagesWide, c.expectWide);
    }
    if (c.expectTall > 0) {
        EXPECT_EQ(p.pagesTall, c.expectTall);
    } else {
        EXPECT_GT(p.pagesTall, 1);
    }
    EXPECT_EQ(p.pages.size(), size_t(p.pagesWide * p.pagesTall));
    // One percent more would not fit any longer (unless already at 100%).
    if (p.scale < 1) {
        PageSetup bigger = setup;
        bigger.fitToPages = false;
        bigger.zoom = int(std::lround(p.scale * 100)) + 1;
        const Pagination q = paginate(bigger, area, m);
        EXPECT_TRUE((c.wide > 0 && q.pagesWide > c.wide) || (c.tall > 0 && q.pagesTall > c.tall));
    }
}

INSTANTIATE_TEST_SUITE_P(Paginator, FitToPages,
                         testing::Values(FitCase{"OneByOne", 1, 1, 40, 300, 1, 1},
                                         FitCase{"OneWideAnyTall", 1, 0, 40, 3000, 1, 0},
                                         FitCase{"TwoByThree", 2, 3, 20, 200, 2, 3},
                                         FitCase{"AlreadyFits", 1, 1, 5, 10, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Paginator, ZoomScalesTheRoom)
{
    PageSetup setup = setupWithBody(400, 150);
    setup.zoom = 50; // 150 points of paper hold 300 points of rows
    EXPECT_EQ(rowBands(paginate(setup, CellRange{1, 1, 40, 1}, uniform(1, 50, 40, 15))),
              (std::vector<std::pair<int, int>>{{1, 20}, {21, 40}}));
}

// Sections (a block per person): each starts a page, and one that runs onto another page has
// its own first rows above it there; a section that fits shares no page with the next one.
TEST(Sections, EachStartsAPageAndRepeatsItsOwnTitleRows)
{
    PageSetup setup = setupWithBody(400, 90); // six rows of 15 points
    setup.titleRows = std::pair{1, 2};        // ignored where there are sections
    setup.sectionRows = 10;
    setup.sectionTitleRows = 2;
    const Pagination p = paginate(setup, CellRange{1, 1, 24, 3}, uniform(3, 50, 24, 15));
    std::vector<std::tuple<int, int, std::optional<std::pair<int, int>>>> pages;
    for (const Page& page : p.pages)
        pages.emplace_back(page.row1, page.row2, page.titleRows);
    using Titles = std::optional<std::pair<int, int>>;
    EXPECT_EQ(
        pages,
        (std::vector<std::tuple<int, int, Titles>>{
            {1, 6, {}}, {7, 10, std::pair{1, 2}}, {11, 16, {}}, {17, 20, std::pair{11, 12}}, {21, 24, {}}}));
}

// A section wider than the page: its pages across follow its pages down, in either page
// order, before the next section starts.
TEST(Sections, KeepTheirPagesAcrossTogether)
{
    PageSetup setup = setupWithBody(100, 90); // two columns of 50 points, six rows
    setup.sectionRows = 8;
    setup.sectionTitleRows = 2;
    using Block = std::tuple<int, int, int, int>;
    const auto blocks = [&] {
        std::vector<Block> result;
        for (const Page& page : paginate(setup, CellRange{1, 1, 16, 3}, uniform(3, 50, 16, 15)).pages)
            result.emplace_back(page.row1, page.row2, page.col1, page.col2);
        return result;
    };
    setup.order = PageOrder::DownThenOver;
    EXPECT_EQ(blocks(), (std::vector<Block>{{1, 6, 1, 2},
                                            {7, 8, 1, 2},
                                            {1, 6, 3, 3},
                                            {7, 8, 3, 3},
                                            {9, 14, 1, 2},
                                            {15, 16, 1, 2},
                                            {9, 14, 3, 3},
                                            {15, 16, 3, 3}}));
    setup.order = PageOrder::OverThenDown;
    EXPECT_EQ(blocks(), (std::vector<Block>{{1, 6, 1, 2},
                                            {1, 6, 3, 3},
                                            {7, 8, 1, 2},
                                            {7, 8, 3, 3},
                                            {9, 14, 1, 2},
                                            {9, 14, 3, 3},
                                            {15, 16, 1, 2},
                                            {15, 16, 3, 3}}));
}

namespace {

using Bands = std::vector<std::pair<int, int>>;

// One edge of the pagination a row: the set-up, the sizes, the area, and the row and column
// bands (and scale) it must give. Each row fails when its edge moves by one.
struct EdgeCase
{
    const char* name;
    double bodyWidth, bodyHeight;
    std::vector<double> widths, heights;
    void (*adjust)(PageSetup&, GridMetrics&);
    Bands rows, columns;
    double scale = 1;
    CellRange area = {1, 1, 0, 0}; // 0: the whole of the sizes
    friend void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }
};

class Edges : public testing::TestWithParam<EdgeCase>
{};

void none(PageSetup&, GridMetrics&) {}

} // namespace

TEST_P(Edges, BandsAndScale)
{
    const EdgeCase& c = GetParam();
    PageSetup setup = setupWithBody(c.bodyWidth, c.bodyHeight);
    GridMetrics m{c.widths, c.heights};
    c.adjust(setup, m);
    CellRange area = c.area;
    if (area.row2 == 0)
        area = {1, 1, int(c.heights.size()), int(c.widths.size())};
    const Pagination p = paginate(setup, area, m);
    Bands rows, columns;
    for (const Page& page : p.pages) {
        if (page.col1 == p.pages.front().col1)
            rows.emplace_back(page.row1, page.row2);
        if (page.row1 == p.pages.front().row1)
            columns.emplace_back(page.col1, page.col2);
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(columns, c.columns);
    EXPECT_DOUBLE_EQ(p.scale, c.scale);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paginator, Edges, testing::Values(
    EdgeCase{"NoHeadings", 100, 30, {50, 50}, {15, 15}, none, {{1, 2}}, {{1, 2}}},
    EdgeCase{"HeadingWidthTakesRoom", 100, 30, {50, 50}, {15, 15},
             [](PageSetup&, GridMetrics& m) { m.headingWidth = 1; }, {{1, 2}}, {{1, 1}, {2, 2}}},
    EdgeCase{"HeadingHeightTakesRoom", 100, 30, {50, 50}, {15, 15},
             [](PageSetup&, GridMetrics& m) { m.headingHeight = 1; }, {{1, 1}, {2, 2}}, {{1, 2}}},
    EdgeCase{"HeadingsScaleWithTheZoom", 100, 30, {25, 25, 25, 25}, {15, 15},
             [](PageSetup& s, GridMetrics& m) { s.zoom = 50; m.headingWidth = 100; }, {{1, 2}}, {{1, 4}}, 0.5},
    EdgeCase{"FirstColumnCounts", 100, 30, {60, 50}, {15}, none, {{1, 1}}, {{1, 1}, {2, 2}}},
    EdgeCase{"LastColumnCounts", 100, 30, {50, 30, 60}, {15}, none, {{1, 1}}, {{1, 2}, {3, 3}}},
    EdgeCase{"LastRowCounts", 100, 30, {50}, {10, 10, 20}, none, {{1, 2}, {3, 3}}, {{1, 1}}},
    EdgeCase{"Zoom400", 100, 120, {10}, {15, 15, 15}, [](PageSetup& s, GridMetrics&) { s.zoom = 400; },
             {{1, 2}, {3, 3}}, {{1, 1}}, 4},
    EdgeCase{"ZoomAbove400Is400", 100, 120, {10}, {15, 15, 15}, [](PageSetup& s, GridMetrics&) { s.zoom = 401; },
             {{1, 2}, {3, 3}}, {{1, 1}}, 4},
    EdgeCase{"Zoom10", 100, 15, {10}, std::vector<double>(11, 15), [](PageSetup& s, GridMetrics&) { s.zoom = 10; },
             {{1, 10}, {11, 11}}, {{1, 1}}, 0.1},
    EdgeCase{"ZoomBelow10Is10", 100, 15, {10}, std::vector<double>(11, 15),
             [](PageSetup& s, GridMetrics&) { s.zoom = 9; }, {{1, 10}, {11, 11}}, {{1, 1}}, 0.1},
    EdgeCase{"FitNeverBelow10", 100, 15, {10}, std::vector<double>(11, 15),
             [](PageSetup& s, GridMetrics&) { s.fitToPages = true; }, {{1, 10}, {11, 11}}, {{1, 1}}, 0.1},
    EdgeCase{"FitExactlyAtAWholePercent", 100, 15, {10}, std::vector<double>(4, 15),
             [](PageSetup& s, GridMetrics&) { s.fitToPages = true; }, {{1, 4}}, {{1, 1}}, 0.25},
    EdgeCase{"FitNoWidthLimit", 100, 30, {60, 60, 60}, {15, 15, 15, 15},
             [](PageSetup& s, GridMetrics&) { s.fitToPages = true; s.fitToPagesWide = 0; },
             {{1, 4}}, {{1, 3}}, 0.5},
    EdgeCase{"FitTwoPagesWide", 100, 30, {60, 60, 60}, {15},
             [](PageSetup& s, GridMetrics&) { s.fitToPages = true; s.fitToPagesWide = 2; },
             {{1, 1}}, {{1, 2}, {3, 3}}, 0.83},
    EdgeCase{"SingleTitleRowRepeats", 100, 30, {50}, {15, 15, 15, 15},
             [](PageSetup& s, GridMetrics&) { s.titleRows = std::pair{1, 1}; }, {{1, 2}, {3, 3}, {4, 4}}, {{1, 1}}},
    EdgeCase{"TitleRowsBackwardsAreNone", 100, 30, {50}, {15, 15, 15, 15},
             [](PageSetup& s, GridMetrics&) { s.titleRows = std::pair{2, 1}; }, {{1, 2}, {3, 4}}, {{1, 1}}},
    EdgeCase{"AreaStartingOnTheLastTitleRow", 100, 30, {50}, {15, 15, 15, 15},
             [](PageSetup& s, GridMetrics&) { s.titleRows = std::pair{1, 2}; }, {{2, 3}, {4, 4}}, {{1, 1}}, 1,
             CellRange{2, 1, 4, 1}},
    EdgeCase{"SectionOfOneRowTitles", 100, 30, {50}, std::vector<double>(6, 15),
             [](PageSetup& s, GridMetrics&) { s.sectionRows = 3; s.sectionTitleRows = 1; },
             {{1, 2}, {3, 3}, {4, 5}, {6, 6}}, {{1, 1}}},
    EdgeCase{"SectionLastOneShort", 100, 30, {50}, std::vector<double>(5, 15),
             [](PageSetup& s, GridMetrics&) { s.sectionRows = 2; }, {{1, 2}, {3, 4}, {5, 5}}, {{1, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on
