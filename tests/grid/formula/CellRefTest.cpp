#include "grid/formula/CellRef.h"

#include <gtest/gtest.h>

using namespace talor::grid::formula;

namespace {

// Both ways, in either case; beyond the last column the letters read as no column, and
// neither do non-letters.
TEST(ColumnLetters, BothWays)
{
    const std::pair<int, const char*> columns[] = {{1, "A"},    {26, "Z"},   {27, "AA"},  {52, "AZ"},
                                                   {53, "BA"},  {70, "BR"},  {71, "BS"},  {256, "IV"},
                                                   {257, "IW"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto& [col, text] : columns) {
        const QString letters = QString::fromLatin1(text);
        EXPECT_EQ(columnLetters(col), letters);
        EXPECT_EQ(columnNumber(letters), col <= MaxColumn ? col : 0) << text;
        EXPECT_EQ(columnNumber(letters.toLower()), col <= MaxColumn ? col : 0) << text;
    }
    EXPECT_EQ(std::tuple(columnNumber(u""), columnNumber(u"A1"), columnNumber(u"$A")), std::tuple(0, 0, 0));
    EXPECT_EQ(columnLetters(0), QString());
}

struct RefCase
{
    const char* text;
    bool valid;
    int row = 0, col = 0;
    bool rowAbsolute = false, colAbsolute = false;
    const char* printed = "";
};

class CellRefParse : public ::testing::TestWithParam<RefCase>
{};

TEST_P(CellRefParse, ReadsAndPrints)
{
    const RefCase& c = GetParam();
    const auto ref = CellRef::parse(QString::fromLatin1(c.text));
    ASSERT_EQ(ref.has_value(), c.valid);
    if (!ref)
        return;
    EXPECT_EQ(std::tuple(ref->row, ref->col, ref->rowAbsolute, ref->colAbsolute, ref->toString()),
              std::tuple(c.row, c.col, c.rowAbsolute, c.colAbsolute, QString::fromLatin1(c.printed)));
}

// clang-format off
const RefCase references[] = {
    {"A1", true, 1, 1, false, false, "A1"}, {"$c$5", true, 5, 3, true, true, "$C$5"},
    {"$C5", true, 5, 3, false, true, "$C5"}, {"C$5", true, 5, 3, true, false, "C$5"},
    {"IV65536", true, 65536, 256, false, false, "IV65536"}, {"c1048576", true, 1048576, 3, false, false, "C1048576"},
    {"bq36000", true, 36000, 69, false, false, "BQ36000"}, {"IW1", false}, {"A1048577", false}, {"A10485760", false}, {"A0", false},
    {"A01", false}, {"1A", false}, {"$$A1", false}, {"A 1", false}, {"A1$", false}, {"A", false},
    {"", false}, {"A1B", false}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(References, CellRefParse, ::testing::ValuesIn(references));

// Printing ranges: FormulaTextTest.
TEST(RangeRef, CornersAreOrdered)
{
    const auto r = RangeRef::parse(u"B2:A1");
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->contains(2, 2) && r->contains(1, 1) && !r->contains(3, 1) && !r->contains(1, 3));
    EXPECT_TRUE(RangeRef::parse(u"C3")->isSingleCell());
    EXPECT_FALSE(RangeRef::parse(u"A1:") || RangeRef::parse(u"A1:B"));
}

} // namespace
