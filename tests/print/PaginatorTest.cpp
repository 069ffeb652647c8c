#include "print/Paginator.h"

#include <gtest/gtest.h>

using namespace talor::print;
using talor::grid::CellRange;

namespace {

// A whole pagination as text: each page as "number:rows/columns", with "+first-last" for the
// title rows printed above it.
std::string pageList(const Pagination& p)
{
    QStringList pages;
    for (const Page& page : p.pages)
        pages << QString::asprintf("%d:%d-%d/%d-%d", page.number, page.row1, page.row2, page.col1,
                                   page.col2) +
                     (page.titleRows
                          ? QString::asprintf("+%d-%d", page.titleRows->first, page.titleRows->second)
                          : QString());
    return pages.join(' ').toStdString();
}

void none(PageSetup&, GridMetrics&) {}

} // namespace

// One edge of the pagination a row: the body's size, the columns' widths and the rows'
// heights, the set-up's changes, then every page (and the scale) it must give. Each row at an
// edge fails when its edge moves by one.
// Title rows repeat on every page that does not hold them (an area below them gets them on
// its first page too). Sections (a block per person) each start a page, repeat their own
// first rows in place of the title rows, and keep their pages across together, in either
// page order, before the next section starts.
TEST(Paginator, PagesAndScaleAtEachEdge)
{
    using S = PageSetup;
    using M = GridMetrics;
    using Sizes = std::vector<double>; // Sizes(n, 15): n rows of 15 points
    // An area ending on row 0 is the whole of the sizes.
    // clang-format off
    const struct { const char* name; double bodyWidth, bodyHeight; Sizes widths, heights;
                   void (*adjust)(PageSetup&, GridMetrics&); const char* pages; double scale = 1; CellRange area = {1, 1, 0, 0}; } cases[] = {
    {"TitleRowsRepeat", 400, 150, Sizes(2, 50), Sizes(30, 15), [](S& s, M&) { s.titleRows = std::pair{1, 2}; },
              "1:1-10/1-2 2:11-18/1-2+1-2 3:19-26/1-2+1-2 4:27-30/1-2+1-2"},
    // Title rows that leave no room for a row under them are left off those pages.
    {"TitleRowsLeaveRoomForOneRow", 400, 60, Sizes(2, 50), Sizes(6, 15), [](S& s, M&) { s.titleRows = std::pair{1, 3}; },
              "1:1-4/1-2 2:5-5/1-2+1-3 3:6-6/1-2+1-3"},
    {"TitleRowsLeaveNoRoom", 400, 59.99, Sizes(2, 50), Sizes(6, 15), [](S& s, M&) { s.titleRows = std::pair{1, 3}; },
              "1:1-3/1-2 2:4-6/1-2"},
    {"SectionTitleRowsLeaveNoRoom", 400, 44.99, Sizes(2, 50), Sizes(12, 15),
              [](S& s, M&) { s.sectionRows = 6; s.sectionTitleRows = 2; s.titleRows = std::pair{1, 2}; },
              "1:1-2/1-2 2:3-4/1-2 3:5-6/1-2 4:7-8/1-2 5:9-10/1-2 6:11-12/1-2"},
    {"DownThenOverFromPageFive", 100, 150, Sizes(4, 50), Sizes(20, 15),
              [](S& s, M&) { s.firstPageNumber = 5; s.order = PageOrder::DownThenOver; },
              "5:1-10/1-2 6:11-20/1-2 7:1-10/3-4 8:11-20/3-4"},
    {"SectionsRepeatTheirOwnTitleRows", 400, 90, Sizes(3, 50), Sizes(24, 15),
              [](S& s, M&) { s.titleRows = std::pair{1, 2}; s.sectionRows = 10; s.sectionTitleRows = 2; },
              "1:1-6/1-3 2:7-10/1-3+1-2 3:11-16/1-3 4:17-20/1-3+11-12 5:21-24/1-3"},
    {"SectionsUnderAHeadingRow", 400, 90, Sizes(3, 50), Sizes(21, 15),
              [](S& s, M&) { s.titleRows = std::pair{1, 1}; s.sectionRows = 10; },
              "1:2-6/1-3+1-1 2:7-11/1-3+1-1 3:12-16/1-3+1-1 4:17-21/1-3+1-1"},
    {"SectionsDownThenOver", 100, 90, Sizes(3, 50), Sizes(16, 15),
              [](S& s, M&) { s.sectionRows = 8; s.sectionTitleRows = 2; s.order = PageOrder::DownThenOver; },
              "1:1-6/1-2 2:7-8/1-2+1-2 3:1-6/3-3 4:7-8/3-3+1-2 5:9-14/1-2 6:15-16/1-2+9-10 7:9-14/3-3 8:15-16/3-3+9-10"},
    {"SectionsOverThenDown", 100, 90, Sizes(3, 50), Sizes(16, 15),
              [](S& s, M&) { s.sectionRows = 8; s.sectionTitleRows = 2; s.order = PageOrder::OverThenDown; },
              "1:1-6/1-2 2:1-6/3-3 3:7-8/1-2+1-2 4:7-8/3-3+1-2 5:9-14/1-2 6:9-14/3-3 7:15-16/1-2+9-10 8:15-16/3-3+9-10"},
    {"NoHeadings", 100, 30, {50, 50}, {15, 15}, none, "1:1-2/1-2"},
    {"RowsExactlyFillThePage", 100, 150, {50}, Sizes(20, 15), none, "1:1-10/1-1 2:11-20/1-1"},
    {"JustShortOfFull", 100, 149.99, {50}, Sizes(20, 15), none, "1:1-9/1-1 2:10-18/1-1 3:19-20/1-1"},
    {"JustShortOfAnotherRow", 100, 164.99, {50}, Sizes(11, 15), none, "1:1-10/1-1 2:11-11/1-1"},
    {"RowTallerThanThePage", 100, 10, {50}, {15, 15}, none, "1:1-1/1-1 2:2-2/1-1"},
    {"HeadingWidthTakesRoom", 100, 30, {50, 50}, {15, 15}, [](S&, M& m) { m.headingWidth = 1; }, "1:1-2/1-1 2:1-2/2-2"},
    {"HeadingHeightTakesRoom", 100, 30, {50, 50}, {15, 15}, [](S&, M& m) { m.headingHeight = 1; }, "1:1-1/1-2 2:2-2/1-2"},
    {"HeadingsScaleWithTheZoom", 100, 30, {25, 25, 25, 25}, {15, 15}, [](S& s, M& m) { s.zoom = 50; m.headingWidth = 100; },
             "1:1-2/1-4", 0.5},
    {"FirstColumnCounts", 100, 30, {60, 50}, {15}, none, "1:1-1/1-1 2:1-1/2-2"},
    {"LastColumnCounts", 100, 30, {50, 30, 60}, {15}, none, "1:1-1/1-2 2:1-1/3-3"},
    {"LastRowCounts", 100, 30, {50}, {10, 10, 20}, none, "1:1-2/1-1 2:3-3/1-1"},
    {"EachRowCountsWithItsOwnHeight", 100, 65, {50}, {10, 50, 10}, none, "1:1-2/1-1 2:3-3/1-1"},
    {"Zoom400", 100, 120, {10}, Sizes(3, 15), [](S& s, M&) { s.zoom = 400; }, "1:1-2/1-1 2:3-3/1-1", 4},
    {"ZoomAbove400Is400", 100, 120, {10}, Sizes(3, 15), [](S& s, M&) { s.zoom = 401; }, "1:1-2/1-1 2:3-3/1-1", 4},
    {"Zoom10", 100, 15, {10}, Sizes(11, 15), [](S& s, M&) { s.zoom = 10; }, "1:1-10/1-1 2:11-11/1-1", 0.1},
    {"ZoomBelow10Is10", 100, 15, {10}, Sizes(11, 15), [](S& s, M&) { s.zoom = 9; }, "1:1-10/1-1 2:11-11/1-1", 0.1},
    {"FitNeverBelow10", 100, 15, {10}, Sizes(11, 15), [](S& s, M&) { s.fitToPages = true; }, "1:1-10/1-1 2:11-11/1-1", 0.1},
    {"FitExactlyAtAWholePercent", 100, 15, {10}, Sizes(4, 15), [](S& s, M&) { s.fitToPages = true; }, "1:1-4/1-1", 0.25},
    {"FitNoWidthLimit", 100, 30, {60, 60, 60}, Sizes(4, 15), [](S& s, M&) { s.fitToPages = true; s.fitToPagesWide = 0; },
             "1:1-4/1-3", 0.5},
    {"FitNoHeightLimit", 100, 30, {60, 60, 60}, Sizes(4, 15), [](S& s, M&) { s.fitToPages = true; s.fitToPagesTall = 0; },
             "1:1-3/1-3 2:4-4/1-3", 0.55},
    {"FitTwoPagesWide", 100, 30, {60, 60, 60}, {15}, [](S& s, M&) { s.fitToPages = true; s.fitToPagesWide = 2; },
             "1:1-1/1-2 2:1-1/3-3", 0.83},
    {"TitleRowsBackwardsAreNone", 100, 30, {50}, Sizes(4, 15), [](S& s, M&) { s.titleRows = std::pair{2, 1}; },
             "1:1-2/1-1 2:3-4/1-1"},
    {"AreaStartingOnTheLastTitleRow", 100, 30, {50}, Sizes(4, 15), [](S& s, M&) { s.titleRows = std::pair{1, 2}; },
             "1:2-3/1-1 2:4-4/1-1", 1, CellRange{2, 1, 4, 1}},
    {"SectionOfOneRowTitles", 100, 30, {50}, Sizes(6, 15), [](S& s, M&) { s.sectionRows = 3; s.sectionTitleRows = 1; },
             "1:1-2/1-1 2:3-3/1-1+1-1 3:4-5/1-1 4:6-6/1-1+4-4"},
    {"SectionLastOneShort", 100, 30, {50}, Sizes(5, 15), [](S& s, M&) { s.sectionRows = 2; }, "1:1-2/1-1 2:3-4/1-1 3:5-5/1-1"},
    {"SectionsOfOneRow", 100, 30, {50}, Sizes(2, 15), [](S& s, M&) { s.sectionRows = 1; }, "1:1-1/1-1 2:2-2/1-1"},
    {"SectionsOfAnAreaBelowTheTitleRows", 100, 45, {50}, Sizes(6, 15), [](S& s, M&) { s.titleRows = std::pair{1, 1}; s.sectionRows = 2; },
             "1:3-4/1-1+1-1 2:5-6/1-1+1-1", 1, CellRange{3, 1, 6, 1}},
    // Each section starts a page: fitting one page tall fits each section, not the whole report.
    {"FitEachSectionToItsPages", 100, 30, {50}, Sizes(4, 15), [](S& s, M&) { s.sectionRows = 2; s.fitToPages = true; },
             "1:1-2/1-1 2:3-4/1-1", 1}};
    // clang-format on
    for (const auto& c : cases) {
        // A body of exactly bodyWidth x bodyHeight points.
        PageSetup setup;
        const QSizeF paper = setup.paperPoints();
        setup.leftMargin = setup.topMargin = 10;
        setup.rightMargin = paper.width() - 10 - c.bodyWidth;
        setup.bottomMargin = paper.height() - 10 - c.bodyHeight;
        GridMetrics m{c.widths, c.heights};
        c.adjust(setup, m);
        const CellRange area =
            c.area.row2 ? c.area : CellRange{1, 1, int(c.heights.size()), int(c.widths.size())};
        const Pagination p = paginate(setup, area, m);
        EXPECT_EQ(pageList(p), c.pages) << c.name;
        EXPECT_DOUBLE_EQ(p.scale, c.scale) << c.name;
    }
}
