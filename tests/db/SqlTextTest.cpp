#include "db/SqlText.h"

#include "db/Recordset.h"
#include "support/ErrorText.h"

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
    // Period bounds come as text and are not reformatted, but cannot close the quote; dates are
    // written with four-digit years and two-digit months and days.
    EXPECT_EQ(
        QStringList({sql::dateLiteral(u"2024-2-3"_qs, u"2"_qs), sql::dateLiteral(u"2024-2-3"_qs, u"1"_qs),
                     sql::dateLiteral(u"2024'"_qs, u"2"_qs), sql::dateLiteral(QDate(987, 1, 9), u"2"_qs)}),
        QStringList({u"'2024-2-3'"_qs, u"#2024-2-3#"_qs, u"'2024'''"_qs, u"'0987-01-09'"_qs}));
}

// A condition is one bracketed term; one that closes a bracket it did not open, or leaves a
// quote open, is refused, whatever texts, names and comments (of either engine) hide brackets
// before it.
TEST(SqlText, AConditionIsOneTermThatCannotCloseTheWhereClause)
{
    // clang-format off
    const std::pair<const char*, const char*> kept[] = {
        {"", ""}, {"a or b", " and (a or b)"}, {"x -- late)", " and (x -- late)\n)"}, {"x /* ) */", " and (x /* ) */)"}, {"x /* open", " and (x /* open*/)"},
        {"memberid in (select memberid from ygzl where (post='x'))", " and (memberid in (select memberid from ygzl where (post='x')))"},
        {"name=')' or name='it''s)'", " and (name=')' or name='it''s)')"}, {"\"a)\"=1", " and (\"a)\"=1)"},
        {"name=$$($$ or name=$t1$($t1$", " and (name=$$($$ or name=$t1$($t1$)"},
        {"[名 (x]=1 or `a(`=2", " and ([名 (x]=1 or `a(`=2)"}, {"x /* a /* b */", " and (x /* a /* b */*/)"},
        {"x::int=1 or :p(1)=2 or @v=3", " and (x::int=1 or :p(1)=2 or @v=3)"},
        {"f$a(b, c)=1", " and (f$a(b, c)=1)"}, // a call of f$a, not a variable $a
        {"@((x)) > 1", " and (@((x)) > 1)"},   // PostgreSQL's absolute value, not a variable
        {"round(cdfz::numeric(10, 2), 1) > 0", " and (round(cdfz::numeric(10, 2), 1) > 0)"}};
    const char* refused[] = {
        ")", "1=0) union all select * from ygzl where (1=1", "x /* */ )", "x -- (\n)",
        "name=date'\\') union select 1 --'",  // a typed literal, no escapes: the text ends at \'
        "name=$a$ ' $a$) or (1=1", "name='it''s') or ('",
        // Each engine's own quoting, read by the other as brackets: refused when either closes one.
        "exists (select 1 as [(]) ) or (1=1", "exists (select 1 as `(`) ) or (1=1", "`x)`=1", "name=$a$ ) or (1=1 or $a$=$a$",
        "/* /* */ ( */ 1=1) or (1=1", "name=E'\\')'", "name=$$)$$",
        "$a(') ) union select * from kq where (1=1", // one SQLite variable, quote and all
        "not exists(select 1 as 。$a$ /* /* */ ' */ ) ) union select * from kq where (1=1", // a PostgreSQL name
        "1=0 -- \r) union select * from kq where (1=1", // PostgreSQL ends the comment there
        "x=1 --\r/*\n) or 1=1 --*/", // SQLite ends it at the line end only
        "[$1$ ) or (1=1 $1$]",        // no dollar quote to PostgreSQL: its tag cannot begin with a digit
        "a$b(') ' ) ) union select * from kq where (1=1",
        // A quote left open, which would run on into the next condition of the statement and
        // close there: "bz = '" and "a' ) or (1=1 --" together select every row.
        "bz = '", "a' ) or (1=1 --", "\"x", "[x", "`x", "name=$a$ x", "name=E'\\'", "name=$t1$'$t1$"};
    // clang-format on
    for (const auto& [condition, term] : kept)
        EXPECT_EQ(sql::andCondition(QString::fromUtf8(condition)), QString::fromUtf8(term)) << condition;
    for (const char* condition : refused)
        EXPECT_TRUE(talor::test::errorText<DatabaseError>([&] {
                        sql::andCondition(QString::fromUtf8(condition));
                    }).contains(QString::fromUtf8(condition)))
            << condition;
}

} // namespace
