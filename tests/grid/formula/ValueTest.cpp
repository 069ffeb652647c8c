#include "TestCells.h"

#include <cmath>

using namespace talor::grid::formula;
using namespace talor::grid::formula::test;

namespace {

// Error texts read back in any case; the evaluation tests hold the values behind them.
TEST(Value, ErrorTextsReadBack)
{
    QStringList texts;
    for (int code = int(ErrorCode::Div0); code <= int(ErrorCode::Syntax); ++code) {
        texts << errorText(ErrorCode(code));
        EXPECT_EQ(errorFromText(texts.last()), ErrorCode(code));
        EXPECT_EQ(errorFromText(texts.last().toLower()), ErrorCode(code));
    }
    EXPECT_EQ(texts.join(u' '), QStringLiteral("#DIV/0! #VALUE! #REF! #NAME? #N/A #NUM! #CIRC! #ERROR!"));
    EXPECT_FALSE(errorFromText(u"#FOO!"));
    EXPECT_EQ(N(NAN), NumErr);
    EXPECT_EQ(
        QStringList({displayText(Value()), displayText(N(2.5)), displayText(B(true)), displayText(B(false))}),
        QStringList({"", "2.5", "TRUE", "FALSE"}));
}

} // namespace
