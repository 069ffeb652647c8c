#include "sheet/CellValidation.h"

#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "sheet/SheetSaving.h"
#include "support/FakeSuite.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

// Each type's rule on either side of its limit: the problem named, or none.
TEST(CellTypeRule, PassesOrNamesTheProblem)
{
    const QString five = QString(5, QChar(0x5929)), six = QString(6, QChar(0x5929));
    const char *tooLong = "出勤天数长度过长", *tooLarge = "出勤天数值过大", *badDate = "日期格式不对",
               *badTime = "时间格式不对", *notNumber = "出勤天数不是数字";
    // clang-format off
    const struct { const char* type; QString text; int maxLength; const char* message; } cases[] = {
        {"S", five, 10, ""}, {"S", six, 10, tooLong}, {"S", "ABCDEFGHIJ", 10, ""}, {"S", "ABCDEFGHIJK", 10, tooLong},
        {"S", five + "A", 10, tooLong}, {"S", "A", 0, tooLong}, {"S", "", 0, ""}, {"s", "ABCDEFGHIJK", 10, ""},
        {"T", "2024-02-30", 0, badDate}, {"T", "2024-2-3", 0, ""}, {"T", "2024-02-29", 0, ""},
        {"T", "2023-02-29", 0, badDate}, {"T", "2024-12-31", 0, ""}, {"T", "2024-12-32", 0, badDate},
        {"T", "8:30", 0, badDate}, {"T", "0:00", 0, badDate}, {"T", "2024-03-05 08:30", 0, ""}, {"T", "50%", 0, badDate},
        {"Y", "50%", 0, badTime}, {"Y", "1,234", 0, badTime}, {"Y", "2024-03-05", 0, ""},
        {"Y", "8:30", 0, ""}, {"Y", "23:59:59", 0, ""}, {"Y", "24:00:00", 0, badTime}, {"Y", "25:61", 0, badTime},
        {"Y", "2024-03-05 08:30", 0, ""}, {"I", "2147483647", 0, ""}, {"I", "2147483648", 0, tooLarge},
        {"I", "-99999999999", 0, ""}, {"I", "1.5", 0, "出勤天数应为整数"}, {"I", "1,234", 0, ""}, {"I", "3,000,000,000", 0, tooLarge}, {"I", "2.0", 0, ""}, {"I", "3000000000x", 0, tooLarge},
        {"D", "abc", 0, notNumber}, {"D", "８", 0, notNumber}, {"D", "8小时", 0, notNumber}, {"D", "1,234.5", 0, ""},
        {"D", "50%", 0, ""}, {"D", "1,23", 0, notNumber}, {"D", "8:30", 0, notNumber}, {"D", "1.2E+307", 0, ""},
        {"D", "1.3E+307", 0, tooLarge}, {"Y", "830", 0, badTime}, {"Y", "17.30", 0, badTime}, {"T", "1005", 0, badDate},
        {"I", "2147483647x", 0, notNumber}, {"X", "anything", 0, ""}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(
            cellTypeProblem(QString::fromLatin1(c.type), c.text, QStringLiteral("出勤天数"), c.maxLength),
            QString::fromUtf8(c.message))
            << c.type << " '" << c.text.toStdString() << "'";
    // A text field's most bytes: its format's leading number, rounded.
    EXPECT_EQ(QList<int>({maxTextLength("40"), maxTextLength("9.5"), maxTextLength("9.4"), maxTextLength(""),
                          maxTextLength("yyyy")}),
              QList<int>({40, 10, 9, 0, 0}));
}

// A suite that counts how often each field's type is asked.
class CountingSuite : public test::FakeSuite
{
public:
    QStringList typesAsked;
    QString fieldType(const QString& field, const QString& table) override
    {
        typesAsked << field;
        return FakeSuite::fieldType(field, table);
    }
};

class ValidateSheetTest : public ::testing::Test
{
protected:
    // The fields' labels as headings, or as row 4 of the cell layout.
    void layOut(bool headings)
    {
        suite.fields = {
            {"bz", {"备注", "S", "4"}}, {"cdfz", {"迟到分钟", "I", ""}}, {"bxrq", {"补休日期", "T", ""}}};
        for (int c = 1; c <= 3; ++c) {
            const QString field = QStringList{"bz", "cdfz", "bxrq"}[c - 1],
                          label = suite.fields[field].caption;
            columns.setField(c, field);
            headings ? sheet.setColumnHeading(c, label) : sheet.setPlainText(4, c, label);
        }
    }
    // The first problem found after each of these cells is typed: "row,column message", or "".
    QStringList problemsAfter(std::initializer_list<std::tuple<int, int, const char*>> typed,
                              const SheetSnapshot* before = nullptr)
    {
        QStringList found;
        for (const auto& [row, column, text] : typed) {
            sheet.setPlainText(row, column, text);
            const auto problem = ValidateSheet(suite, columns, sheet, before);
            found << (problem
                          ? QString("%1,%2 %3").arg(problem->row).arg(problem->column).arg(problem->message)
                          : "");
        }
        return found;
    }
    CountingSuite suite;
    ColumnFields columns;
    grid::Sheet sheet;
};

TEST_F(ValidateSheetTest, HeadingLayoutChecksFromRowOneAndAsksEachTypeOnce)
{
    layOut(true);
    for (int r = 2; r <= 6; ++r)
        sheet.setPlainText(r, 2, "5");
    sheet.setPlainText(6, 3, "2024-01-31");
    EXPECT_EQ(problemsAfter({{1, 1, "ABCDE"}}), QStringList{"1,1 备注长度过长"});
    EXPECT_EQ(sheet.text(1, 1), "ABCDE") << "nothing changed";
    EXPECT_EQ(problemsAfter({{1, 1, "ABCD"}}), QStringList{""});
    // The first check stopped at its problem in column 1; the second asked each column's type once.
    EXPECT_EQ(suite.typesAsked, (QStringList{"bz", "bz", "cdfz", "bxrq"}));
}

TEST_F(ValidateSheetTest, CellLayoutSkipsTheHeaderRowsAndReportsTheFirstColumnFirst)
{
    layOut(false);
    // A heading row is never checked; then the first column first; then the first row; row 5
    // is the first data row.
    sheet.setPlainText(4, 3, "补休日期");
    EXPECT_EQ(problemsAfter({{3, 2, "99999999999"}}), QStringList{""});
    sheet.setPlainText(9, 3, "2024-02-30");
    sheet.setPlainText(8, 3, "2023-02-29");
    EXPECT_EQ(problemsAfter({{12, 2, "2147483648"}, {12, 2, "2147483647"}, {5, 1, "12345"}}),
              (QStringList{"12,2 迟到分钟值过大", "8,3 日期格式不对", "5,1 备注长度过长"}));
}

// Cells unchanged since editing began are not written by the save, and not checked: a note
// another program stored longer than the field allows does not stop the operator's save.
TEST_F(ValidateSheetTest, CellsUnchangedSinceEditingBeganAreNotChecked)
{
    layOut(true);
    sheet.setPlainText(2, 1, "ABCDE");
    SheetSnapshot before;
    before.take(sheet);
    EXPECT_EQ(problemsAfter({{3, 2, "7"}, {2, 1, "ABCDEF"}, {3, 2, "2147483648"}, {2, 1, "ABCDE"}}, &before),
              (QStringList{"", "2,1 备注长度过长", "2,1 备注长度过长", "3,2 迟到分钟值过大"}));
}

} // namespace
