#include "print/HeaderFooter.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace talor::print;

namespace {

HeaderFooterContext context()
{
    return {"张三(0012,生产部)考勤表", "reports/out/Tmp.xls", QDateTime(QDate(2026, 3, 5), QTime(8, 7)), 3,
            12};
}

// The plain text of the runs and the look of the last: family/size/switches (B, I, U, S).
QString textAndLook(const QString& codes)
{
    const QList<TextRun> runs = expandHeaderFooter(codes, context());
    if (runs.isEmpty())
        return plainText(runs);
    const TextRun& r = runs.last();
    return plainText(runs) + "|" + r.family + "/" + QString::number(r.pointSize) + "/" + (r.bold ? "B" : "") +
           (r.italic ? "I" : "") + (r.underline ? "U" : "") + (r.strikeOut ? "S" : "");
}

} // namespace

TEST(HeaderFooter, CodesGiveTheirTextAndTheLookOfTheLastRun)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"&A", "张三(0012,生产部)考勤表|/0/"}, {"第&P页 共&N页", "第3页 共12页|/0/"}, {"&p/&n", "3/12|/0/"},
        {"&D &T", "2026-03-05 08:07|/0/"}, {"&F", "Tmp.xls|/0/"}, {"A&&B", "A&B|/0/"}, {"&&B", "&B|/0/"},
        {"100&", "100&|/0/"}, {"&X", "&X|/0/"}, {"&\"宋体,加粗\"&16&A", "张三(0012,生产部)考勤表|宋体/16/B"},
        {"&B粗&B细&I斜&U线", "粗细斜线|/0/IU"},
        {"&100x", "x|/100/"}, {"&1000", "0|/100/"}, {"&9x", "x|/9/"}, // three digits at most
        {"&12&0x", "x|/12/"},                                           // a size of 0 keeps the size
        {"&KFF0000红&K01+000字", "红字|/0/"}, {"&KFF00009x", "9x|/0/"},  // six colour characters at most
        {"&Kabcdef!", "!|/0/"}, {"&KAF-S+f9", "9|/0/"}, {"&KFG", "G|/0/"},
        {"&\"宋体", ""},                                                // no closing quote: nothing follows
        {"&\"-,Bold\"a", "a|/0/B"}, {"&\",Bold\"a", "a|/0/B"},          // "-" or none: the default family
        {"&\"黑体,粗体\"a", "a|黑体/0/B"}, {"&\"黑体,斜体\"a", "a|黑体/0/I"}, {"&\"Arial,Oblique\"a", "a|Arial/0/I"},
        {"&\"Arial,加粗 倾斜\"a", "a|Arial/0/BI"}, {"&\"Arial\"a", "a|Arial/0/"}, {"&b&i&e&sa", "a|/0/BIUS"},
        {"&B&I&U&S&b&i&u&sa", "a|/0/"}, {"&E&Ua", "a|/0/"}};
    // clang-format on
    for (const auto& [codes, expected] : cases)
        EXPECT_EQ(textAndLook(QString::fromUtf8(codes)), QString::fromUtf8(expected)) << codes;
}

// Text of one look is one run, also across codes that switch a look off again; each change
// of look starts another.
TEST(HeaderFooter, FontCodesSplitTheRuns)
{
    EXPECT_EQ(expandHeaderFooter(QStringLiteral("左&B&B中&\"宋体,加粗\"&16&A&B&I右"), context()),
              (QList<TextRun>{{"左中", {}, 0, false, false, false, false},
                              {context().sheetName, "宋体", 16, true, false, false, false},
                              {"右", "宋体", 16, false, true, false, false}}));
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
