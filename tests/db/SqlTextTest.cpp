#include "db/SqlText.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

TEST(SqlText, QuotedDoublesEverySingleQuote)
{
    const std::pair<const char*, const char*> cases[] = {
        {"O'Neill", "'O''Neill'"}, {"", "''"},
        {"''", "''''''"},          {"x' or '1'='1", "'x'' or ''1''=''1'"},
        {"人事部", "'人事部'"},    {"a\"b", "'a\"b'"}};
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(sql::quoted(QString::fromUtf8(text)), QString::fromUtf8(quoted)) << text;
        EXPECT_EQ(u'\'' + sql::escaped(QString::fromUtf8(text)) + u'\'', QString::fromUtf8(quoted)) << text;
    }
}

// The database kind's leading number decides: above 1 quoted dates, else #dates#.
TEST(SqlText, DateLiteralStyleFollowsTheKindsLeadingNumber)
{
    const std::pair<const char*, bool> cases[] = {
        {"2", true},    {"3", true},  {" 2", true}, {"2abc", true}, {"1.5", true}, {"1", false},
        {"1.0", false}, {"0", false}, {"", false},  {"abc", false}, {"-5", false}};
    for (const auto& [kind, quoted] : cases) {
        const QString expected = quoted ? u"'2003-03-05'"_qs : u"#2003-03-05#"_qs;
        EXPECT_EQ(sql::quotedDates(QString::fromUtf8(kind)), quoted) << kind;
        EXPECT_EQ(sql::dateLiteral(QDate(2003, 3, 5), QString::fromUtf8(kind)), expected) << kind;
        EXPECT_EQ(sql::dateLiteral(u"2003-03-05"_qs, QString::fromUtf8(kind)), expected) << kind;
    }
    // Period bounds come as text and are not reformatted, but cannot close the quote.
    EXPECT_EQ(sql::dateLiteral(u"2024-2-3"_qs, u"2"_qs), u"'2024-2-3'"_qs);
    EXPECT_EQ(sql::dateLiteral(u"2024-2-3"_qs, u"1"_qs), u"#2024-2-3#"_qs);
    EXPECT_EQ(sql::dateLiteral(u"2024'"_qs, u"2"_qs), u"'2024'''"_qs);
    // Dates are written with four-digit years and two-digit parts.
    EXPECT_EQ(sql::dateLiteral(QDate(987, 1, 9), u"2"_qs), u"'0987-01-09'"_qs);
}

} // namespace
