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

} // namespace

TEST(HeaderFooter, TextExpandsCodes)
{
    const std::pair<const char*, const char*> cases[] = {{"&A", "张三(0012,生产部)考勤表"},
                                                         {"第&P页 共&N页", "第3页 共12页"},
                                                         {"&D &T", "2026-03-05 08:07"},
                                                         {"&F", "Tmp.xls"},
                                                         {"A&&B", "A&B"},
                                                         {"&\"宋体,加粗\"&16&A", "张三(0012,生产部)考勤表"},
                                                         {"&B粗&B细&I斜&U线", "粗细斜线"},
                                                         {"&12&P", "3"},
                                                         {"100&", "100&"},
                                                         {"&X", "&X"},
                                                         {"&p/&n", "3/12"},
                                                         {"&KFF0000红&K01+000字", "红字"},
                                                         {"", ""}};
    for (const auto& [codes, expected] : cases)
        EXPECT_EQ(plainText(expandHeaderFooter(QString::fromUtf8(codes), context())),
                  QString::fromUtf8(expected))
            << codes;
}

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
