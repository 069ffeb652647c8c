#include "print/PageSetup.h"

#include <array>
#include <gtest/gtest.h>

using namespace talor::print;

// Excel's paper numbers 1..41, the first and the last of them and one beyond each end; zooms
// 10..400.
TEST(PageSetup, PaperNumbersOneToFortyOneAndZoomTenToFourHundred)
{
    using Id = std::optional<QPageSize::PageSizeId>;
    // clang-format off
    const std::pair<int, Id> papers[] = {{0, {}}, {1, QPageSize::Letter}, {3, QPageSize::Tabloid},
        {4, QPageSize::Ledger}, {9, QPageSize::A4}, {40, QPageSize::FanFoldGerman},
        {41, QPageSize::FanFoldGermanLegal}, {42, {}}, {-1, {}}};
    // clang-format on
    for (const auto& [number, id] : papers) {
        EXPECT_EQ(pageSizeOfPaper(number), id) << number;
        PageSetup setup;
        EXPECT_EQ(std::pair(setup.setPaperSize(number), setup.paperSize),
                  std::pair(id.has_value(), id ? number : 9))
            << number;
    }
    for (const auto& [percent, taken] :
         {std::pair{9, false}, {10, true}, {400, true}, {401, false}, {0, false}}) {
        PageSetup setup;
        EXPECT_EQ(std::pair(setup.setZoom(percent), setup.zoom), std::pair(taken, taken ? percent : 100))
            << percent;
    }
}

// Print areas reach the sheet's last column and row; title rows are whole rows only. Each
// reference comes back in the form Excel keeps ("": refused).
TEST(PageSetup, PrintAreasAndTitleRows)
{
    // clang-format off
    const std::array<const char*, 3> cases[] = {
        {"$A$1:$H$40", "$A$1:$H$40", ""}, {"$A$1:$CV$5", "$A$1:$CV$5", ""},
        {"$A$1:$IV$65536", "$A$1:$IV$65536", "$1:$65536"}, {"$A$1:$IW$5", "", ""}, {"$A$1:$A$1048577", "", ""},
        {"$1:$4", "$A$1:$IV$4", "$1:$4"}, {"$3:$3", "$A$3:$IV$3", "$3:$3"}, {"$A$1:$IV$2", "$A$1:$IV$2", "$1:$2"},
        {"$B$1:$IV$2", "$B$1:$IV$2", ""}, {"$A$1:$IU$2", "$A$1:$IU$2", ""}, {"A:C", "$A$1:$C$1048576", ""},
        {"x", "", ""}};
    // clang-format on
    for (const auto& [reference, area, titles] : cases) {
        PageSetup setup;
        const bool areaTaken = setup.setPrintArea(reference), titlesTaken = setup.setTitleRows(reference);
        EXPECT_EQ(std::tuple(areaTaken, setup.printAreaText(), titlesTaken, setup.titleRowsText()),
                  std::tuple(*area != 0, QString(area), *titles != 0, QString(titles)))
            << reference;
    }
}
