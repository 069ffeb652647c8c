#include "sheet/SheetLog.h"

#include "grid/Workbook.h"
#include "support/FakeSuite.h"
#include "support/SizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

class SheetLogTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    test::FakeSuite suite;
    SheetLog log{suite, [] {
                     return QDateTime(QDate(2026, 3, 5), QTime(8, 30, 12));
                 }};
    grid::Workbook book;

    QStringList entries(const QString& folder) const
    {
        return QDir(dir.filePath(folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

} // namespace

// The operator's name begins the file name: a plain name as it stands; separators, "..",
// controls and characters a file name cannot hold as "_", the log always in its folder.
TEST_F(SheetLogTest, TheOperatorsNameBecomesAFileNameInTheLogFolder)
{
    // clang-format off
    const std::pair<QString, QString> cases[] = {{"管理员", "管理员0305-083012.xls"}, {"Li Ming", "Li Ming0305-083012.xls"},
        {"../../outside-", "______outside-0305-083012.xls"}, {"a/b\\c", "a_b_c0305-083012.xls"},
        {"张\t三\n:*?\"<>|", "张_三________0305-083012.xls"}};
    // clang-format on
    for (const auto& [name, file] : cases) {
        suite.operatorNameValue = name;
        const QString problem = log.write(book, dir.filePath("work"), SheetLog::EditFolder);
        EXPECT_EQ(std::tuple(problem, entries("work/log"), entries("")),
                  std::tuple(QString(), QStringList{file}, QStringList{"work"}))
            << name.toStdString();
        QDir(dir.filePath("work")).removeRecursively();
    }
    // A second log within the same second gets a number of its own; the first is kept.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(log.write(book, dir.filePath("work"), SheetLog::EditFolder), QString());
    EXPECT_EQ(entries("work/log"),
              (QStringList{"张_三________0305-083012-2.xls", "张_三________0305-083012.xls"}));
}

// A text longer than a cell holds (a remark another program stored) is logged cut to what a
// cell holds, ending in a mark with its length, the columns' widths kept: the log is written. One
// that just fits is whole. A log the disk has no room for is not left behind.
TEST_F(SheetLogTest, ATextLongerThanACellHoldsIsLoggedCutAndMarked)
{
    book.setText(1, 1, "备注");
    book.active().setPlainText(2, 1, QString(40000, u'长'));
    book.active().setPlainText(3, 1, QString(32767, u'满')); // as much as a cell holds: whole
    book.active().setColumnWidth(1, 300);
    const QString full = test::writeUnderSizeLimit(1000, [&] {
        throw std::runtime_error(log.write(book, dir.path(), SheetLog::SaveFolder).toStdString());
    });
    const QString problem = log.write(book, dir.path(), SheetLog::SaveFolder);
    const QString file = dir.filePath("Log/张三0305-083012.xls");
    QStringList texts;
    const QString strings = QString::fromUtf8(test::unzipMember(file, "xl/sharedStrings.xml"));
    for (const auto& match : QRegularExpression("<t>([^<]*)</t>").globalMatch(strings))
        texts << match.captured(1);
    EXPECT_EQ(std::tuple(full.contains("未能写入"), entries("Log"), problem, texts,
                         test::unzipMember(file, "xl/worksheets/sheet1.xml").contains("<cols>")),
              std::tuple(true, QStringList{"张三0305-083012.xls"}, QString(),
                         QStringList{"备注", QString(32757, u'长') + "…(共40000字)", QString(32767, u'满')},
                         true));
}
