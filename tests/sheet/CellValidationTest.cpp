#include "sheet/CellValidation.h"

#include "demo/DemoSuite.h"
#include "grid/Sheet.h"
#include "sheet/ColumnFields.h"
#include "suite/LocalSuite.h"
#include "support/FakeSuite.h"
#include "support/TestDatabases.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;

namespace {

struct TypeCase
{
    const char* type;
    QString text;
    int maxLength;
    const char* message; // empty: passes
};

void PrintTo(const TypeCase& c, std::ostream* out)
{
    *out << c.type << " '" << c.text.toStdString() << "'";
}

class CellTypeRule : public ::testing::TestWithParam<TypeCase>
{};

TEST_P(CellTypeRule, PassesOrNamesTheProblem)
{
    const TypeCase& c = GetParam();
    EXPECT_EQ(cellTypeProblem(QString::fromLatin1(c.type), c.text, QStringLiteral("出勤天数"), c.maxLength),
              QString::fromUtf8(c.message));
}

const QString Five = QString(5, QChar(0x5929)), Six = QString(6, QChar(0x5929));

INSTANTIATE_TEST_SUITE_P(
    Types, CellTypeRule,
    ::testing::Values(TypeCase{"S", Five, 10, ""}, TypeCase{"S", Six, 10, "出勤天数长度过长"},
                      TypeCase{"S", "ABCDEFGHIJ", 10, ""},
                      TypeCase{"S", "ABCDEFGHIJK", 10, "出勤天数长度过长"},
                      TypeCase{"S", Five + "A", 10, "出勤天数长度过长"},
                      TypeCase{"S", "A", 0, "出勤天数长度过长"}, TypeCase{"S", "", 0, ""},
                      TypeCase{"T", "2024-02-30", 0, "日期格式不对"}, TypeCase{"T", "2024-2-3", 0, ""},
                      TypeCase{"T", "2024-02-29", 0, ""}, TypeCase{"T", "2023-02-29", 0, "日期格式不对"},
                      TypeCase{"T", "2024-12-31", 0, ""}, TypeCase{"T", "2024-12-32", 0, "日期格式不对"},
                      TypeCase{"Y", "8:30", 0, ""}, TypeCase{"Y", "23:59:59", 0, ""},
                      TypeCase{"Y", "24:00:00", 0, "时间格式不对"}, TypeCase{"Y", "25:61", 0, "时间格式不对"},
                      TypeCase{"Y", "2024-03-05 08:30", 0, ""}, TypeCase{"I", "2147483647", 0, ""},
                      TypeCase{"I", "2147483648", 0, "出勤天数值过大"}, TypeCase{"I", "-99999999999", 0, ""},
                      TypeCase{"I", "1.5", 0, ""}, TypeCase{"D", "abc", 0, ""},
                      TypeCase{"D", "1.2E+307", 0, ""}, TypeCase{"D", "1.3E+307", 0, "出勤天数值过大"},
                      TypeCase{"X", "anything", 0, ""}, TypeCase{"s", "ABCDEFGHIJK", 10, ""}));

TEST(MaxTextLength, LeadingNumberRounded)
{
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
    void SetUp() override
    {
        suite.fields["bz"] = {"备注", "S", "4"};
        suite.fields["cdfz"] = {"迟到分钟", "I", ""};
        suite.fields["bxrq"] = {"补休日期", "T", ""};
        columns.setField(1, "bz");
        columns.setField(2, "cdfz");
        columns.setField(3, "bxrq");
    }
    void headingLayout()
    {
        sheet.setColumnHeading(1, "备注");
        sheet.setColumnHeading(2, "迟到分钟");
        sheet.setColumnHeading(3, "补休日期");
    }
    void cellLayout()
    {
        sheet.setPlainText(4, 1, "备注");
        sheet.setPlainText(4, 2, "迟到分钟");
        sheet.setPlainText(4, 3, "补休日期");
    }
    CountingSuite suite;
    ColumnFields columns;
    grid::Sheet sheet;
};

TEST_F(ValidateSheetTest, HeadingLayoutChecksFromRowOneAndAsksEachTypeOnce)
{
    headingLayout();
    sheet.setPlainText(1, 1, "ABCDE");
    for (int r = 2; r <= 6; ++r)
        sheet.setPlainText(r, 2, "5");
    sheet.setPlainText(6, 3, "2024-01-31");
    const auto problem = ValidateSheet(suite, columns, sheet);
    ASSERT_TRUE(problem);
    EXPECT_EQ(std::tuple(problem->row, problem->column, problem->message),
              std::tuple(1, 1, QString("备注长度过长")));
    EXPECT_EQ(sheet.text(1, 1), "ABCDE") << "nothing changed";
    sheet.setPlainText(1, 1, "ABCD");
    suite.typesAsked.clear();
    EXPECT_FALSE(ValidateSheet(suite, columns, sheet));
    EXPECT_EQ(suite.typesAsked, (QStringList{"bz", "cdfz", "bxrq"}));
}

TEST_F(ValidateSheetTest, CellLayoutSkipsTheHeaderRowsAndReportsTheFirstColumnFirst)
{
    cellLayout();
    sheet.setPlainText(3, 2, "99999999999"); // a heading row: never checked
    sheet.setPlainText(4, 3, "补休日期");
    EXPECT_FALSE(ValidateSheet(suite, columns, sheet));
    sheet.setPlainText(9, 3, "2024-02-30");
    sheet.setPlainText(8, 3, "2023-02-29");
    sheet.setPlainText(12, 2, "2147483648");
    const auto problem = ValidateSheet(suite, columns, sheet);
    ASSERT_TRUE(problem);
    EXPECT_EQ(std::tuple(problem->row, problem->column, problem->message),
              std::tuple(12, 2, QString("迟到分钟值过大")));
    sheet.setPlainText(12, 2, "2147483647");
    const auto next = ValidateSheet(suite, columns, sheet);
    ASSERT_TRUE(next);
    EXPECT_EQ(std::pair(next->row, next->message), std::pair(8, QString("日期格式不对")));
    sheet.setPlainText(5, 1, "12345"); // row 5 is the first data row
    EXPECT_EQ(ValidateSheet(suite, columns, sheet)->row, 5);
}

// The demo's own fields, with the types and formats of its dictionary.
struct DemoCase
{
    const char* field;
    QString good, bad;
    const char* message;
};

class DemoFields : public ::testing::TestWithParam<DemoCase>
{
protected:
    static void SetUpTestSuite()
    {
        test::ensureApplication();
        dir = new QTemporaryDir;
        DemoOptions options;
        options.employees = 2;
        options.days = 1;
        DemoSuite::generate(dir->filePath("suite"), options);
        suite = new LocalSuite(dir->filePath("suite/suite.ini"));
        suite->setCurrentTable(DemoSuite::DailyTable);
    }
    static void TearDownTestSuite()
    {
        delete suite;
        delete dir;
    }
    static inline QTemporaryDir* dir = nullptr;
    static inline LocalSuite* suite = nullptr;
};

TEST_P(DemoFields, GoodPassesBadFails)
{
    const DemoCase& c = GetParam();
    const QString field = QString::fromLatin1(c.field);
    const QString type = suite->fieldType(field);
    const int max = maxTextLength(suite->fieldFormat(field));
    const QString label = suite->fieldCaption(field);
    EXPECT_EQ(cellTypeProblem(type, c.good, label, max), "");
    EXPECT_EQ(cellTypeProblem(type, c.bad, label, max), QString::fromUtf8(c.message).replace("%", label));
}

INSTANTIATE_TEST_SUITE_P(
    Demo, DemoFields,
    ::testing::Values(DemoCase{"bz", QString(40, QChar(0x5047)), QString(40, QChar(0x5047)) + "x",
                               "%长度过长"},
                      DemoCase{"name", QString(20, QChar(0x5f20)), QString(21, QChar(0x5f20)), "%长度过长"},
                      DemoCase{"memberid", QString(20, u'9'), QString(21, u'9'), "%长度过长"},
                      DemoCase{"cdfz", "2147483647", "2147483648", "%值过大"},
                      DemoCase{"cqgs", "-1E+308", "1.21E+307", "%值过大"},
                      DemoCase{"bxrq", "2026-10-31", "2026-11-31", "日期格式不对"},
                      DemoCase{"sbsj", "08:00", "8:60", "时间格式不对"}));

} // namespace
