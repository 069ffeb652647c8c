#include "db/SqlText.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

struct QuoteCase
{
    const char* text;
    const char* quoted;
};

class QuotedTest : public ::testing::TestWithParam<QuoteCase>
{};

TEST_P(QuotedTest, DoublesEverySingleQuote)
{
    const QString text = QString::fromUtf8(GetParam().text);
    const QString expected = QString::fromUtf8(GetParam().quoted);
    EXPECT_EQ(sql::quoted(text), expected);
    EXPECT_EQ(u'\'' + sql::escaped(text) + u'\'', expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, QuotedTest,
                         ::testing::Values(QuoteCase{"O'Neill", "'O''Neill'"}, QuoteCase{"", "''"},
                                           QuoteCase{"''", "''''''"},
                                           QuoteCase{"x' or '1'='1", "'x'' or ''1''=''1'"},
                                           QuoteCase{"人事部", "'人事部'"}, QuoteCase{"a\"b", "'a\"b'"}));

struct KindCase
{
    const char* kind;
    bool quoted;
};

class DateLiteralTest : public ::testing::TestWithParam<KindCase>
{};

TEST_P(DateLiteralTest, StyleFollowsTheKindsLeadingNumber)
{
    const QString kind = QString::fromUtf8(GetParam().kind);
    EXPECT_EQ(sql::quotedDates(kind), GetParam().quoted) << GetParam().kind;
    const QString expected = GetParam().quoted ? u"'2003-03-05'"_qs : u"#2003-03-05#"_qs;
    EXPECT_EQ(sql::dateLiteral(QDate(2003, 3, 5), kind), expected);
    EXPECT_EQ(sql::dateLiteral(u"2003-03-05"_qs, kind), expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DateLiteralTest,
                         ::testing::Values(KindCase{"2", true}, KindCase{"3", true}, KindCase{" 2", true},
                                           KindCase{"2abc", true}, KindCase{"1.5", true},
                                           KindCase{"1", false}, KindCase{"1.0", false}, KindCase{"0", false},
                                           KindCase{"", false}, KindCase{"abc", false},
                                           KindCase{"-5", false}));

TEST(DateLiteral, TextIsInsertedAsGivenButCannotCloseTheQuote)
{
    // Period bounds come as text and are not reformatted.
    EXPECT_EQ(sql::dateLiteral(u"2024-2-3"_qs, u"2"_qs), u"'2024-2-3'"_qs);
    EXPECT_EQ(sql::dateLiteral(u"2024-2-3"_qs, u"1"_qs), u"#2024-2-3#"_qs);
    EXPECT_EQ(sql::dateLiteral(u"2024'"_qs, u"2"_qs), u"'2024'''"_qs);
}

TEST(DateLiteral, FormatsDatesWithFourDigitYearsAndTwoDigitParts)
{
    EXPECT_EQ(sql::dateLiteral(QDate(987, 1, 9), u"2"_qs), u"'0987-01-09'"_qs);
    EXPECT_EQ(sql::dateLiteral(QDate(2024, 12, 31), u""_qs), u"#2024-12-31#"_qs);
}

} // namespace
