// Reference texts of the selection: "$A$5:$BQ$5", "$C5", "A1" and the bad ones.
#include "grid/CellAddress.h"

#include <gtest/gtest.h>

using namespace talor::grid;

// An invalid text gives nothing; a valid one its corners, ordered; column names stop at the
// sheet's last column.
TEST(ReferenceTest, ParsesAsASpreadsheetDoes)
{
    const std::optional<CellRange> none;
    // clang-format off
    const std::pair<const char*, std::optional<CellRange>> texts[] = {
        {"A1", CellRange{1, 1, 1, 1}}, {"$C5", CellRange{5, 3, 5, 3}}, {"$A$5:$BQ$5", CellRange{5, 1, 5, 69}},
        {"$A$7:$H$7", CellRange{7, 1, 7, 8}}, {"b2:d4", CellRange{2, 2, 4, 4}}, {"D4:B2", CellRange{2, 2, 4, 4}},
        {"IV65536", CellRange{65536, 256, 65536, 256}}, {"A:C", CellRange{1, 1, 1048576, 3}},
        {"3:5", CellRange{3, 1, 5, 256}}, {" $C5 ", CellRange{5, 3, 5, 3}}, {"", none}, {"A0", none},
        {"IW1", none}, {"A1048577", none}, {"$$A1", none}, {"A1:", none}, {"A1:B", none}, {"1A", none},
        {"A", none}, {"A1B2", none}, {"甲1", none}};
    // clang-format on
    for (const auto& [text, range] : texts)
        EXPECT_EQ(parseRange(QString::fromUtf8(text)), range) << text;
    // The letters themselves are held by the formula's CellRefTest; here the sheet's bounds.
    EXPECT_EQ(QStringList({columnName(256), columnName(0), columnName(257)}), QStringList({"IV", "", ""}));
    EXPECT_EQ(rangeText(CellRange{5, 1, 5, 69}) + " " + rangeText(CellRange{3, 2, 3, 2}), "A5:BQ5 B3");
}
