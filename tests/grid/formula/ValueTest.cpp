#include "TestCells.h"

#include <cmath>

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

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
