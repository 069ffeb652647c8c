#include "print/HeaderFooter.h"

#include <gtest/gtest.h>

using namespace talor::print;

namespace {

HeaderFooterContext context()
{
    HeaderFooterContext c;
    c.sheetName = "张三(0012,生产部)考勤表";
    c.filePath = "reports/out/Tmp.xls";
    c.printedAt = QDateTime(QDate(2026, 3, 5), QTime(8, 7));
    c.page = 3;
    c.pages = 12;
    return c;
}

struct TextCase
{
    const char* codes;
    const char* expected;
};

class HeaderFooterText : public testing::TestWithParam<TextCase>
{};

} // namespace

TEST_P(HeaderFooterText, ExpandsCodes)
{
    EXPECT_EQ(plainText(expandHeaderFooter(QString::fromUtf8(GetParam().codes), context())),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    HeaderFooter, HeaderFooterText,
    testing::Values(TextCase{"&A", "张三(0012,生产部)考勤表"}, TextCase{"第&P页 共&N页", "第3页 共12页"},
                    TextCase{"&D &T", "2026-03-05 08:07"}, TextCase{"&F", "Tmp.xls"}, TextCase{"A&&B", "A&B"},
                    TextCase{"&\"宋体,加粗\"&16&A", "张三(0012,生产部)考勤表"},
                    TextCase{"&B粗&B细&I斜&U线", "粗细斜线"}, TextCase{"&12&P", "3"},
                    TextCase{"100&", "100&"}, TextCase{"&X", "&X"}, TextCase{"&p/&n", "3/12"},
                    TextCase{"&KFF0000红&K01+000字", "红字"}, TextCase{"", ""}));

TEST(HeaderFooter, FontCodesGiveTheRunsTheirLook)
{
    const auto runs = expandHeaderFooter(QStringLiteral("左&\"宋体,加粗\"&16&A&B&I右"), context());
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0], (TextRun{"左", {}, 0, false, false, false, false}));
    EXPECT_EQ(runs[1], (TextRun{context().sheetName, "宋体", 16, true, false, false, false}));
    // &B switches bold off again, &I italic on.
    EXPECT_EQ(runs[2], (TextRun{"右", "宋体", 16, false, true, false, false}));

    const auto styled = expandHeaderFooter(QStringLiteral("&\"Arial,Bold Italic\"x&U&8y"), context());
    ASSERT_EQ(styled.size(), 2);
    EXPECT_TRUE(styled[0].bold && styled[0].italic && !styled[0].underline);
    EXPECT_EQ(std::pair(styled[1].underline, styled[1].pointSize), std::pair(true, 8.0));
}
