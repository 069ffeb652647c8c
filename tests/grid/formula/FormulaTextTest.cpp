// Column letters, references and error texts read and printed; formulas printed back.
#include "grid/formula/CellRef.h"
#include "grid/formula/Formula.h"
#include "grid/formula/Value.h"

#include <gtest/gtest.h>

using namespace talor::grid::formula;

namespace {

// Both ways, in either case; beyond the last column the letters read as no column, and
// neither do non-letters.
TEST(ColumnLetters, BothWays)
{
    // clang-format off
    const std::pair<int, const char*> columns[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"},
        {70, "BR"}, {71, "BS"}, {256, "IV"}, {257, "IW"}, {702, "ZZ"}, {703, "AAA"}};
    // clang-format on
    for (const auto& [col, text] : columns) {
        const QString letters = QString::fromLatin1(text);
        EXPECT_EQ(std::tuple(columnLetters(col), columnNumber(letters), columnNumber(letters.toLower())),
                  std::tuple(letters, col <= MaxColumn ? col : 0, col <= MaxColumn ? col : 0));
    }
    EXPECT_EQ(std::tuple(columnNumber(u""), columnNumber(u"A1"), columnNumber(u"$A"), columnLetters(0)),
              std::tuple(0, 0, 0, QString()));
}

// A reference read and printed again, with its row, column and which of them are absolute
// ("r" row, "c" column); an empty text for one that is no reference.
TEST(CellRefParse, ReadsAndPrints)
{
    // clang-format off
    const std::pair<const char*, const char*> references[] = {{"A1", "A1 1,1 "}, {"$c$5", "$C$5 5,3 rc"},
        {"$C5", "$C5 5,3 c"}, {"C$5", "C$5 5,3 r"}, {"IV65536", "IV65536 65536,256 "},
        {"c1048576", "C1048576 1048576,3 "}, {"bq36000", "BQ36000 36000,69 "}, {"az7", "AZ7 7,52 "}, {"IW1", ""}, {"A1048577", ""},
        {"A10485760", ""}, {"A99999999999", ""}, {"A0", ""}, {"A01", ""}, {"1A", ""}, {"$$A1", ""},
        {"A 1", ""}, {"A1$", ""}, {"A", ""}, {"", ""}, {"A1B", ""}, {"A9999999999", ""}};
    // clang-format on
    for (const auto& [text, read] : references) {
        const auto ref = CellRef::parse(QString::fromLatin1(text));
        EXPECT_EQ(ref ? QStringLiteral("%1 %2,%3 %4%5")
                            .arg(ref->toString())
                            .arg(ref->row)
                            .arg(ref->col)
                            .arg(ref->rowAbsolute ? "r" : "", ref->colAbsolute ? "c" : "")
                      : QString(),
                  QString::fromLatin1(read))
            << text;
    }
    const auto r = RangeRef::parse(u"B2:A1"); // corners ordered; printing ranges: below
    ASSERT_TRUE(r);
    EXPECT_EQ(std::tuple(r->contains(2, 2), r->contains(1, 1), r->contains(3, 1), r->contains(1, 3)),
              std::tuple(true, true, false, false));
    EXPECT_TRUE(RangeRef::parse(u"C3")->isSingleCell());
    EXPECT_FALSE(RangeRef::parse(u"A1:") || RangeRef::parse(u"A1:B"));
}

// Error texts as cells show them, read back in any case; the evaluation tests hold the values
// behind them and the other values' texts.
TEST(Value, ErrorTextsReadBack)
{
    QStringList texts;
    for (int code = int(ErrorCode::Div0); code <= int(ErrorCode::Syntax); ++code) {
        texts << displayText(Value::error(ErrorCode(code)));
        EXPECT_EQ(errorFromText(texts.last().toLower()), ErrorCode(code));
    }
    EXPECT_FALSE(errorFromText(u"#FOO!"));
    EXPECT_EQ(texts.join(u' ') + u'|' + displayText(Value()) + u'|' + displayText(Value::boolean(false)),
              QStringLiteral("#DIV/0! #VALUE! #REF! #NAME? #N/A #NUM! #CIRC! #ERROR!||FALSE"));
}

// clang-format off
TEST(FormulaText, PrintsCanonicalTextThatReadsBackTheSame)
{
    const std::pair<const char*, const char*> texts[] = {
        {"=sum( a1 : b2 )*2", "=SUM(A1:B2)*2"}, {"1+2", "=1+2"}, {"=$a$1+b$2+$c3", "=$A$1+B$2+$C3"},
        {"=SUM(B2:A1)", "=SUM(A1:B2)"}, {"=-2^2", "=-2^2"}, {"=2^-2", "=2^-2"}, {"=(1+2)*3", "=(1+2)*3"},
        {"=1- -1", "=1--1"}, {"=50 %", "=50%"}, {"=\"a\"\"b\"", "=\"a\"\"b\""}, {"=1.50", "=1.5"},
        {"=1e20", "=1E+20"}, {"=0.1", "=0.1"}, {"=12345678901234567", "=12345678901234568"},
        {"=IF(A1,,1)", "=IF(A1,,1)"}, {"=foo(1)", "=FOO(1)"}, {"=myName+1", "=myName+1"}, {"=#ref!+1", "=#REF!+1"},
        {"=a1<>b1", "=A1<>B1"}, {"=a1 >= 2", "=A1>=2"}, {"=true", "=TRUE"}, {"=\"出勤\"&A1", "=\"出勤\"&A1"},
        {"=NOW()", "=NOW()"}, {"=1.2345678901234567e30", "=1.2345678901234567E+30"},
        // A range's corners keep the "$" of the reference each came from; on a tie the first one leads.
        {"=SUM($B1:A$3)", "=SUM(A1:$B$3)"}, {"=SUM(A$1:$A1)", "=SUM(A$1:$A1)"}, {"=SUM(E1:$C$1)", "=SUM($C$1:E1)"}};
    // clang-format on
    for (const auto& [input, canonical] : texts) {
        const Formula f = Formula::parse(QString::fromUtf8(input));
        EXPECT_TRUE(f.isValid()) << input << ": " << f.errorMessage().toStdString();
        EXPECT_EQ(f.text(), QString::fromUtf8(canonical)) << input;
        EXPECT_EQ(Formula::parse(f.text()).text(), f.text()) << input;
    }
}

} // namespace
