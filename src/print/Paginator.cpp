#include "print/Paginator.h"

#include <algorithm>

namespace talor::print {

namespace {

// Tolerance of sums of sizes, so that a row exactly filling the page is not pushed off it.
constexpr double Epsilon = 1e-6;

double sizeAt(const std::vector<double>& sizes, int index)
{
    return index >= 1 && index <= int(sizes.size()) ? sizes[size_t(index - 1)] : 0;
}

// Start of each band of [first, last] when every band may hold `room(start)` points.
template <typename Room>
std::vector<std::pair<int, int>> bands(int first, int last, const std::vector<double>& sizes, Room room)
{
    std::vector<std::pair<int, int>> result;
    int start = first;
    while (start <= last) {
        const double limit = room(start) + Epsilon;
        double used = sizeAt(sizes, start);
        int end = start;
        while (end < last && used + sizeAt(sizes, end + 1) <= limit) {
            used += sizeAt(sizes, end + 1);
            ++end;
        }
        result.emplace_back(start, end);
        start = end + 1;
    }
    return result;
}

// A band of rows printed on one page, with the title rows repeated above it (if any).
struct RowBand
{
    int first = 1, last = 1;
    std::optional<std::pair<int, int>> titles;
    int section = 0; // the section the band belongs to (0 without sections)
};

struct Layout
{
    std::vector<RowBand> rows;
    std::vector<std::pair<int, int>> columns;
};

double heightOf(const std::vector<double>& heights, const std::optional<std::pair<int, int>>& rows)
{
    double height = 0;
    if (rows) {
        for (int r = rows->first; r <= rows->second; ++r)
            height += sizeAt(heights, r);
    }
    return height;
}

// The bands of rows first..last, with `titles` repeated above every band that does not itself
// start within or before them, as long as the band's first row fits under them: where the
// titles leave no room for it, the band prints without them, so that its rows print whole.
void addRowBands(std::vector<RowBand>& result, int first, int last, const std::vector<double>& heights,
                 double height, const std::optional<std::pair<int, int>>& titles, int section = 0)
{
    const double titleHeight = heightOf(heights, titles);
    const auto repeatsTitles = [&](int start) {
        return titles && start > titles->second && titleHeight + sizeAt(heights, start) <= height + Epsilon;
    };
    for (const auto& [start, end] : bands(first, last, heights, [&](int start) {
             return repeatsTitles(start) ? height - titleHeight : height;
         }))
        result.push_back({start, end, repeatsTitles(start) ? titles : std::nullopt, section});
}

Layout layOut(const PageSetup& setup, const grid::CellRange& area, const GridMetrics& metrics, QSizeF body,
              double scale)
{
    Layout layout;
    const double width = body.width() / scale - metrics.headingWidth;
    const double height = body.height() / scale - metrics.headingHeight;
    layout.columns = bands(area.col1, area.col2, metrics.columnWidths, [&](int) { return width; });
    std::optional<std::pair<int, int>> titles;
    if (setup.titleRows && setup.titleRows->first <= setup.titleRows->second)
        titles = setup.titleRows;
    if (setup.sectionRows > 0) {
        int section = 0;
        for (int first = setup.firstSectionRow(area.row1); first <= area.row2; first += setup.sectionRows) {
            const int last = std::min(area.row2, first + setup.sectionRows - 1);
            if (setup.sectionTitleRows > 0)
                titles = std::pair{first, std::min(last, first + setup.sectionTitleRows - 1)};
            addRowBands(layout.rows, first, last, metrics.rowHeights, height, titles, section++);
        }
        return layout;
    }
    addRowBands(layout.rows, area.row1, area.row2, metrics.rowHeights, height, titles);
    return layout;
}

} // namespace

Pagination paginate(const PageSetup& setup, const grid::CellRange& area, const GridMetrics& metrics)
{
    Pagination result;
    const QSizeF paper = setup.paperPoints();
    result.body = QSizeF(std::max(1.0, paper.width() - setup.leftMargin - setup.rightMargin),
                         std::max(1.0, paper.height() - setup.topMargin - setup.bottomMargin));

    Layout layout;
    if (setup.fitToPages) {
        // Pages tall: those of the tallest section, since every section starts a page of its
        // own (without sections, all the report's pages).
        auto pagesTall = [](const Layout& l) {
            int most = 0, run = 0;
            for (size_t n = 0; n < l.rows.size(); ++n) {
                run = n > 0 && l.rows[n].section == l.rows[n - 1].section ? run + 1 : 1;
                most = std::max(most, run);
            }
            return most;
        };
        auto fits = [&](const Layout& l) {
            return (setup.fitToPagesWide <= 0 || int(l.columns.size()) <= setup.fitToPagesWide) &&
                   (setup.fitToPagesTall <= 0 || pagesTall(l) <= setup.fitToPagesTall);
        };
        // The page count only grows as the scale shrinks the room: search the largest percentage.
        int low = 10, high = 100;
        layout = layOut(setup, area, metrics, result.body, 1.0);
        if (!fits(layout)) {
            while (low < high) {
                const int mid = (low + high + 1) / 2;
                if (fits(layOut(setup, area, metrics, result.body, mid / 100.0)))
                    low = mid;
                else
                    high = mid - 1;
            }
            result.scale = low / 100.0;
            layout = layOut(setup, area, metrics, result.body, result.scale);
        }
    } else {
        result.scale = std::clamp(setup.zoom, 10, 400) / 100.0;
        layout = layOut(setup, area, metrics, result.body, result.scale);
    }

    result.pagesWide = int(layout.columns.size());
    result.pagesTall = int(layout.rows.size());
    const int first = setup.firstPageNumber.value_or(1);
    auto addPage = [&](const RowBand& rows, const std::pair<int, int>& cols) {
        Page page;
        page.number = first + int(result.pages.size());
        page.row1 = rows.first;
        page.row2 = rows.last;
        page.col1 = cols.first;
        page.col2 = cols.second;
        page.titleRows = rows.titles;
        result.pages.push_back(page);
    };
    result.pages.reserve(layout.rows.size() * layout.columns.size());
    // A section's pages, down and across, come together before the next section's, so that
    // the pages of one person's block follow each other; within it the page order holds.
    for (auto begin = layout.rows.begin(); begin != layout.rows.end();) {
        const auto end = std::find_if(begin, layout.rows.end(),
                                      [&](const RowBand& band) { return band.section != begin->section; });
        if (setup.order == PageOrder::DownThenOver) {
            for (const auto& cols : layout.columns)
                for (auto rows = begin; rows != end; ++rows)
                    addPage(*rows, cols);
        } else {
            for (auto rows = begin; rows != end; ++rows)
                for (const auto& cols : layout.columns)
                    addPage(*rows, cols);
        }
        begin = end;
    }
    return result;
}

} // namespace talor::print
