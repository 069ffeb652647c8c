#include "TestCells.h"

#include <cmath>

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

struct GeneralCase
{
    double value;
    const char* text;
};

class GeneralFormat : public ::testing::TestWithParam<GeneralCase>
{};

TEST_P(GeneralFormat, ShowsUpToFifteenDigits)
{
    EXPECT_EQ(formatGeneral(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, GeneralFormat,
    ::testing::Values(GeneralCase{0, "0"}, GeneralCase{-0.0, "0"}, GeneralCase{1, "1"},
                      GeneralCase{100, "100"}, GeneralCase{-1.5, "-1.5"}, GeneralCase{0.25, "0.25"},
                      GeneralCase{1.0 / 3, "0.333333333333333"}, GeneralCase{2.0 / 3, "0.666666666666667"},
                      GeneralCase{0.1 + 0.2, "0.3"}, GeneralCase{12345.678, "12345.678"},
                      GeneralCase{1234567.891, "1234567.891"},
                      GeneralCase{999999999999999, "999999999999999"}, GeneralCase{1e15, "1E+15"},
                      GeneralCase{9.9999999999999999e14, "1E+15"},
                      GeneralCase{123456789012345678.0, "1.23456789012346E+17"}, GeneralCase{1e20, "1E+20"},
                      GeneralCase{-1e100, "-1E+100"}, GeneralCase{1e-9, "0.000000001"},
                      GeneralCase{1.25e-7, "0.000000125"}, GeneralCase{1e-10, "1E-10"},
                      GeneralCase{-1.5e-10, "-1.5E-10"}));

struct TextNumberCase
{
    const char* text;
    bool isNumber;
    double value;
};

class NumberFromText : public ::testing::TestWithParam<TextNumberCase>
{};

TEST_P(NumberFromText, ReadsWhatArithmeticAccepts)
{
    const auto result = numberFromText(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(result.has_value(), GetParam().isNumber);
    if (result) {
        EXPECT_DOUBLE_EQ(*result, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberFromText,
                         ::testing::Values(TextNumberCase{"3", true, 3}, TextNumberCase{" -2.5 ", true, -2.5},
                                           TextNumberCase{"+4", true, 4}, TextNumberCase{".5", true, 0.5},
                                           TextNumberCase{"1E3", true, 1000},
                                           TextNumberCase{"50%", true, 0.5}, TextNumberCase{"", false, 0},
                                           TextNumberCase{"   ", false, 0}, TextNumberCase{"abc", false, 0},
                                           TextNumberCase{"3x", false, 0}, TextNumberCase{"1,000", false, 0},
                                           TextNumberCase{"inf", false, 0}, TextNumberCase{"nan", false, 0},
                                           TextNumberCase{"0x10", false, 0},
                                           TextNumberCase{"1e999", false, 0}, TextNumberCase{"%", false, 0},
                                           TextNumberCase{"１２", false, 0}));

TEST(Value, ErrorTextsReadBack)
{
    const ErrorCode all[] = {ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref,      ErrorCode::Name,
                             ErrorCode::NA,   ErrorCode::Num,   ErrorCode::Circular, ErrorCode::Syntax};
    QStringList texts;
    for (ErrorCode code : all) {
        texts << errorText(code);
        EXPECT_EQ(errorFromText(errorText(code)), code);
        EXPECT_EQ(errorFromText(errorText(code).toLower()), code);
    }
    EXPECT_EQ(texts.join(u' '), QStringLiteral("#DIV/0! #VALUE! #REF! #NAME? #N/A #NUM! #CIRC! #ERROR!"));
    EXPECT_FALSE(errorFromText(u"#FOO!"));
}

TEST(Value, DisplayTextOfEachType)
{
    EXPECT_EQ(displayText(Value()), QString());
    EXPECT_EQ(displayText(N(2.5)), QStringLiteral("2.5"));
    EXPECT_EQ(displayText(T(QStringLiteral("出勤"))), QStringLiteral("出勤"));
    EXPECT_EQ(displayText(B(true)), QStringLiteral("TRUE"));
    EXPECT_EQ(displayText(B(false)), QStringLiteral("FALSE"));
    EXPECT_EQ(displayText(E(ErrorCode::Div0)), QStringLiteral("#DIV/0!"));
}

TEST(Value, NonFiniteNumbersBecomeNumError)
{
    EXPECT_EQ(N(INFINITY), E(ErrorCode::Num));
    EXPECT_EQ(N(NAN), E(ErrorCode::Num));
    EXPECT_TRUE(N(1).isNumber());
    EXPECT_FALSE(N(1) == T(QStringLiteral("1")));
}

} // namespace
