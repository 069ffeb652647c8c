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

// A code text, the plain text it gives and the look of its last run.
struct LookCase
{
    const char* codes;
    const char* text;
    const char* family;
    double size;
    bool bold, italic, underline, strike;
};

} // namespace

TEST(HeaderFooter, CodesGiveTheirTextAndTheLookOfTheLastRun)
{
    // clang-format off
    const LookCase cases[] = {
        {"", "", "", 0, false, false, false, false},
        {"&A", "张三(0012,生产部)考勤表", "", 0, false, false, false, false},
        {"第&P页 共&N页", "第3页 共12页", "", 0, false, false, false, false},
        {"&p/&n", "3/12", "", 0, false, false, false, false},
        {"&D &T", "2026-03-05 08:07", "", 0, false, false, false, false},
        {"&F", "Tmp.xls", "", 0, false, false, false, false},
        {"A&&B", "A&B", "", 0, false, false, false, false},
        {"&&B", "&B", "", 0, false, false, false, false},
        {"100&", "100&", "", 0, false, false, false, false},
        {"&X", "&X", "", 0, false, false, false, false},
        {"&\"宋体,加粗\"&16&A", "张三(0012,生产部)考勤表", "宋体", 16, true, false, false, false},
        {"&B粗&B细&I斜&U线", "粗细斜线", "", 0, false, true, true, false},
        {"&100x", "x", "", 100, false, false, false, false},     // three digits at most
        {"&1000", "0", "", 100, false, false, false, false},
        {"&9x", "x", "", 9, false, false, false, false},
        {"&12&0x", "x", "", 12, false, false, false, false},     // a size of 0 keeps the size
        {"&KFF0000红&K01+000字", "红字", "", 0, false, false, false, false},
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
