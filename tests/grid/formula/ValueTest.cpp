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

// clang-format off
const GeneralCase numbers[] = {
    {0, "0"}, {-0.0, "0"}, {1, "1"}, {100, "100"}, {-1.5, "-1.5"}, {0.25, "0.25"},
    {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"}, {0.1 + 0.2, "0.3"},
    {12345.678, "12345.678"}, {1234567.891, "1234567.891"}, {999999999999999, "999999999999999"},
    {1e15, "1E+15"}, {9.9999999999999999e14, "1E+15"}, {123456789012345678.0, "1.23456789012346E+17"},
    {1e20, "1E+20"}, {-1e100, "-1E+100"}, {1e-9, "0.000000001"}, {1.25e-7, "0.000000125"}, {1e-10, "1E-10"},
    {-1.5e-10, "-1.5E-10"}};
// clang-format on
INSTANTIATE_TEST_SUITE_P(Numbers, GeneralFormat, ::testing::ValuesIn(numbers));

struct TextNumberCase
{
    const char* text;
    std::optional<double> value = std::nullopt; // nothing: not a number
};

class NumberFromText : public ::testing::TestWithParam<TextNumberCase>
{};

TEST_P(NumberFromText, ReadsWhatArithmeticAccepts)
{
    EXPECT_EQ(numberFromText(QString::fromUtf8(GetParam().text)), GetParam().value);
}

const TextNumberCase texts[] = {
    {"3", 3}, {" -2.5 ", -2.5}, {"+4", 4}, {".5", 0.5}, {"1E3", 1000}, {"50%", 0.5}, {""},  {"   "}, {"abc"},
    {"3x"},   {"1,000"},        {"inf"},   {"nan"},     {"0x10"},      {"1e999"},    {"%"}, {"１２"}};
INSTANTIATE_TEST_SUITE_P(Texts, NumberFromText, ::testing::ValuesIn(texts));

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

TEST(Value, DisplayTextOfEachTypeAndNonFiniteNumbers)
{
    const std::pair<Value, const char*> shown[] = {{Value(), ""},       {N(2.5), "2.5"},
                                                   {T("出勤"), "出勤"}, {B(true), "TRUE"},
                                                   {B(false), "FALSE"}, {Div0Err, "#DIV/0!"}};
    for (const auto& [value, text] : shown)
        EXPECT_EQ(displayText(value), QString::fromUtf8(text));
    EXPECT_EQ(N(INFINITY), NumErr);
    EXPECT_EQ(N(NAN), NumErr);
    EXPECT_TRUE(N(1).isNumber());
    EXPECT_FALSE(N(1) == T(QStringLiteral("1")));
}

} // namespace
