#include "print/HeaderFooter.h"

#include <QDir>
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

// The folder code gives the absolute folder of the file, with its closing "/".
TEST(HeaderFooter, FolderIsAbsolute)
{
    const std::pair<QString, QString> cases[] = {
        {"reports/out/Tmp.xls", QDir::currentPath() + "/reports/out/"},
        {"/data/日报/Tmp.xls", "/data/日报/"},
        {"Tmp.xls", QDir::currentPath() + "/"},
        {"", ""}};
    HeaderFooterContext c = context();
    for (const auto& [path, folder] : cases) {
        c.filePath = path;
        EXPECT_EQ(plainText(expandHeaderFooter("&Z|&z", c)), folder + "|" + folder) << path.toStdString();
    }
}

namespace {

// The text and the look of the last run a code text gives.
struct LookCase
{
    const char* codes;
    const char* text;
    const char* family;
    double size;
    bool bold, italic, underline, strike;
};

} // namespace

TEST(HeaderFooter, CodesAtTheirEdges)
{
    // clang-format off
    const LookCase cases[] = {
        {"&100x", "x", "", 100, false, false, false, false},     // three digits at most
        {"&1000", "0", "", 100, false, false, false, false},
        {"&9x", "x", "", 9, false, false, false, false},
        {"&12&0x", "x", "", 12, false, false, false, false},     // a size of 0 keeps the size
        {"&KFF00009x", "9x", "", 0, false, false, false, false}, // six colour characters at most
        {"&Kabcdef!", "!", "", 0, false, false, false, false},
        {"&KAF-S+f9", "9", "", 0, false, false, false, false},
        {"&KFG", "G", "", 0, false, false, false, false},
        {"&\"宋体", "", "", 0, false, false, false, false},      // no closing quote: nothing follows
        {"&\"-,Bold\"a", "a", "", 0, true, false, false, false}, // "-": the default family
        {"&\"黑体,粗体\"a", "a", "黑体", 0, true, false, false, false},
        {"&\"黑体,斜体\"a", "a", "黑体", 0, false, true, false, false},
        {"&\"Arial,Oblique\"a", "a", "Arial", 0, false, true, false, false},
        {"&\"Arial,加粗 倾斜\"a", "a", "Arial", 0, true, true, false, false},
        {"&\"Arial\"a", "a", "Arial", 0, false, false, false, false},
        {"&b&i&e&sa", "a", "", 0, true, true, true, true},
        {"&B&I&U&S&b&i&u&sa", "a", "", 0, false, false, false, false},
        {"&E&Ua", "a", "", 0, false, false, false, false},
        {"a&", "a&", "", 0, false, false, false, false},
        {"&&B", "&B", "", 0, false, false, false, false},
    };
    // clang-format on
    for (const LookCase& c : cases) {
        const QList<TextRun> runs = expandHeaderFooter(QString::fromUtf8(c.codes), context());
        SCOPED_TRACE(c.codes);
        EXPECT_EQ(plainText(runs), QString::fromUtf8(c.text));
        if (runs.isEmpty())
            continue;
        const TextRun& last = runs.last();
        EXPECT_EQ(last, (TextRun{last.text, QString::fromUtf8(c.family), c.size, c.bold, c.italic,
                                 c.underline, c.strike}));
    }
}
