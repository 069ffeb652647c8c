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

INSTANTIATE_TEST_SUITE_P(
    Texts, ReferenceTest,
    ::testing::Values(
        ReferenceCase{"A1", true, {1, 1, 1, 1}}, ReferenceCase{"$C5", true, {5, 3, 5, 3}},
        ReferenceCase{"$A$5:$BQ$5", true, {5, 1, 5, 69}}, ReferenceCase{"$A$7:$H$7", true, {7, 1, 7, 8}},
        ReferenceCase{"b2:d4", true, {2, 2, 4, 4}}, ReferenceCase{"D4:B2", true, {2, 2, 4, 4}},
        ReferenceCase{"IV65536", true, {65536, 256, 65536, 256}},
        ReferenceCase{"A:C", true, {1, 1, 65536, 3}}, ReferenceCase{"3:5", true, {3, 1, 5, 256}},
        ReferenceCase{" $C5 ", true, {5, 3, 5, 3}}, ReferenceCase{"", false, {}},
        ReferenceCase{"A0", false, {}}, ReferenceCase{"IW1", false, {}}, ReferenceCase{"A65537", false, {}},
        ReferenceCase{"$$A1", false, {}}, ReferenceCase{"A1:", false, {}}, ReferenceCase{"A1:B", false, {}},
        ReferenceCase{"1A", false, {}}, ReferenceCase{"A", false, {}}, ReferenceCase{"A1B2", false, {}},
        ReferenceCase{"甲1", false, {}}));

TEST(ColumnNameTest, LettersRoundTrip)
{
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(27), "AA");
    EXPECT_EQ(columnName(69), "BQ");
    EXPECT_EQ(columnName(256), "IV");
    EXPECT_EQ(columnName(0), "");
    EXPECT_EQ(columnName(257), "");
    for (int col = 1; col <= 256; ++col)
        EXPECT_EQ(columnNumber(columnName(col)), col);
    EXPECT_EQ(rangeText(CellRange{5, 1, 5, 69}), "A5:BQ5");
    EXPECT_EQ(rangeText(CellRange{3, 2, 3, 2}), "B3");
}
