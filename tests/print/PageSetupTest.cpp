#include "print/PageSetup.h"

#include <gtest/gtest.h>

using namespace talor::print;

// Excel's paper numbers 1..41, the first and the last of them and one beyond each end.
TEST(PageSetup, PaperNumbersOneToFortyOne)
{
    using Id = std::optional<QPageSize::PageSizeId>;
    const std::pair<int, Id> cases[] = {{0, {}},
                                        {1, QPageSize::Letter},
                                        {3, QPageSize::Tabloid},
                                        {4, QPageSize::Ledger},
                                        {9, QPageSize::A4},
                                        {40, QPageSize::FanFoldGerman},
                                        {41, QPageSize::FanFoldGermanLegal},
                                        {42, {}},
                                        {-1, {}}};
    for (const auto& [number, id] : cases) {
        EXPECT_EQ(pageSizeOfPaper(number), id) << number;
        PageSetup setup;
        EXPECT_EQ(setup.setPaperSize(number), id.has_value()) << number;
        EXPECT_EQ(setup.paperSize, id ? number : 9) << number;
    }
}

TEST(PageSetup, ZoomTenToFourHundred)
{
    for (const auto& [percent, taken] :
         {std::pair{9, false}, {10, true}, {400, true}, {401, false}, {0, false}}) {
        PageSetup setup;
        EXPECT_EQ(setup.setZoom(percent), taken) << percent;
        EXPECT_EQ(setup.zoom, taken ? percent : 100) << percent;
    }
}

// Print areas reach the sheet's last column and row; title rows are whole rows only. Each
// reference comes back in the form Excel keeps.
TEST(PageSetup, PrintAreasAndTitleRows)
{
    const struct
    {
        const char* reference;
        const char* area;   // empty: refused
        const char* titles; // empty: refused
    } cases[] = {
        {"$A$1:$H$40", "$A$1:$H$40", ""},
        {"$A$1:$CV$5", "$A$1:$CV$5", ""},
        {"$A$1:$IV$65536", "$A$1:$IV$65536", "$1:$65536"},
        {"$A$1:$IW$5", "", ""},
        {"$A$1:$A$1048577", "", ""},
        {"$1:$4", "$A$1:$IV$4", "$1:$4"},
        {"$3:$3", "$A$3:$IV$3", "$3:$3"},
        {"$A$1:$IV$2", "$A$1:$IV$2", "$1:$2"},
        {"$B$1:$IV$2", "$B$1:$IV$2", ""},
        {"$A$1:$IU$2", "$A$1:$IU$2", ""},
        {"A:C", "$A$1:$C$1048576", ""},
        {"x", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference);
        PageSetup setup;
        EXPECT_EQ(setup.setPrintArea(c.reference), *c.area != 0);
        EXPECT_EQ(setup.printAreaText(), c.area);
        EXPECT_EQ(setup.setTitleRows(c.reference), *c.titles != 0);
        EXPECT_EQ(setup.titleRowsText(), c.titles);
    }
}
