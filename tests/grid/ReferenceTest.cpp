// Reference texts of the selection: "$A$5:$BQ$5", "$C5", "A1" and the bad ones.
#include "grid/CellAddress.h"

#include <gtest/gtest.h>

using namespace talor::grid;

struct ReferenceCase
{
    const char* text;
    bool valid;
    CellRange range;
};

class ReferenceTest : public ::testing::TestWithParam<ReferenceCase>
{};

TEST_P(ReferenceTest, ParsesAsASpreadsheetDoes)
{
    const ReferenceCase& c = GetParam();
    const auto range = parseRange(QString::fromUtf8(c.text));
    ASSERT_EQ(range.has_value(), c.valid) << c.text;
    if (c.valid) {
        EXPECT_EQ(*range, c.range) << c.text;
    }
}

// clang-format off
const ReferenceCase texts[] = {
    {"A1", true, {1, 1, 1, 1}}, {"$C5", true, {5, 3, 5, 3}}, {"$A$5:$BQ$5", true, {5, 1, 5, 69}},
    {"$A$7:$H$7", true, {7, 1, 7, 8}}, {"b2:d4", true, {2, 2, 4, 4}}, {"D4:B2", true, {2, 2, 4, 4}},
    {"IV65536", true, {65536, 256, 65536, 256}}, {"A:C", true, {1, 1, 65536, 3}},
    {"3:5", true, {3, 1, 5, 256}}, {" $C5 ", true, {5, 3, 5, 3}}, {"", false, {}}, {"A0", false, {}},
    {"IW1", false, {}}, {"A65537", false, {}}, {"$$A1", false, {}}, {"A1:", false, {}}, {"A1:B", false, {}},
    {"1A", false, {}}, {"A", false, {}}, {"A1B2", false, {}}, {"甲1", false, {}}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Texts, ReferenceTest, ::testing::ValuesIn(texts));

// The letters themselves are held by the formula's CellRefTest; here the sheet's bounds.
TEST(ColumnNameTest, StopsAtTheSheetsLastColumn)
{
    EXPECT_EQ(QStringList({columnName(256), columnName(0), columnName(257)}), QStringList({"IV", "", ""}));
    EXPECT_EQ(rangeText(CellRange{5, 1, 5, 69}), "A5:BQ5");
    EXPECT_EQ(rangeText(CellRange{3, 2, 3, 2}), "B3");
}
