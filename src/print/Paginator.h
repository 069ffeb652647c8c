#pragma once

#include "print/PageSetup.h"

#include <QSizeF>
#include <vector>

namespace talor::print {

// One printed page: a block of the print area, and the title rows repeated above it.
struct Page
{
    int number = 1; // the printed page number (&P)
    int row1 = 1, row2 = 1, col1 = 1, col2 = 1;
    // Title rows printed above the block (first, last); none on pages that hold them already.
    std::optional<std::pair<int, int>> titleRows;
    bool operator==(const Page&) const = default;
};

struct Pagination
{
    std::vector<Page> pages;
    double scale = 1; // zoom or the fitting scale, 1 = 100%
    int pagesWide = 0, pagesTall = 0;
    QSizeF body; // the printable body of a page in unscaled points
};

// The sizes the paginator works with, in points: widths of columns 1..n and heights of rows
// 1..m (index 0 is column or row 1). Rows and columns beyond the vectors count as empty.
struct GridMetrics
{
    std::vector<double> columnWidths;
    std::vector<double> rowHeights;
    double headingWidth = 0;  // width of the printed row numbers, when headings are printed
    double headingHeight = 0; // height of the printed column letters
};

// Splits the print area into pages: a pure function of the set-up and the sizes. Rows and
// columns fill a page while they fit (a row exactly filling the page stays on it); a row or
// column larger than the page gets a page of its own. Title rows are repeated on every page
// that does not hold them; with sections, each section starts a page and repeats its own
// title rows instead, and all its pages (down and across) come before the next section's.
// Pages are numbered from the first page number in the page order.
// Fitting to pages picks the largest whole percentage (10..100) whose pagination keeps within
// the pages wide and tall (10% when even that does not).
Pagination paginate(const PageSetup& setup, const grid::CellRange& area, const GridMetrics& metrics);

} // namespace talor::print
