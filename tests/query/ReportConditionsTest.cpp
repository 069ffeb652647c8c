#include "query/ReportConditions.h"

#include "report/TemplateFiles.h"
#include "support/FakeSuite.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;

namespace {

const QString MK = u"考勤日报"_qs;

class ReportConditionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        suite.settingsDir = suite.templateDir = dir.path();
        suite.reportKeyValue = MK;
    }

    void set(const QString& key, const QString& value) { suite.setSetting(u"TALOR"_qs, key, value); }
    QString get(const QString& key) const { return suite.setting(u"TALOR"_qs, key); }
    void users(const QStringList& names)
    {
        set(MK + "nBD", QString::number(names.size()));
        for (int i = 0; i < names.size(); ++i)
            set(MK + "sBD" + QString::number(i + 1), names[i]);
    }
    QString file(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) { test::putFile(file(name), bytes); }
    QByteArray content(const QString& name) const { return test::fileBytes(file(name)); }

    QTemporaryDir dir;
    FakeSuite suite;
    ReportConditions reports{suite};
};

// The count's leading number, rounded; what is not a positive count is none; the list reads
// no more than MaxReports, after the built-in report.
TEST_F(ReportConditionsTest, ListHasTheBuiltInReportAndThatManyEntries)
{
    for (int i = 1; i <= 4; ++i)
        set(MK + "sBD" + QString::number(i), u"R"_qs + QString::number(i));
    const std::pair<const char*, int> cases[] = {
        {"", 0},    {"x", 0},   {"0", 0},    {"-2", 0}, {"1", 1},
        {"2.4", 2}, {"2.6", 3}, {"3abc", 3}, {" 4", 4}, {"5000", ReportConditions::MaxReports}};
    for (const auto& [stored, count] : cases) {
        set(MK + "nBD", QString::fromUtf8(stored));
        const QStringList list = reports.reportList();
        EXPECT_EQ(std::tuple(reports.reportCount(), list.size(), list.first()),
                  std::tuple(count, count + 1, MK))
            << stored;
    }
}

TEST_F(ReportConditionsTest, ListKeepsEmptyAndDuplicateNamesAndSelectsTheCurrentOrTheLast)
{
    users({u"夜班"_qs, QString(), u"夜班"_qs});
    const QStringList list = reports.reportList();
    EXPECT_EQ(list, (QStringList{MK, u"夜班"_qs, QString(), u"夜班"_qs}));
    // The first equal item; a deleted one: the last item.
    EXPECT_EQ(
        QList<int>({ReportConditions::currentIndex(list, u"夜班"_qs),
                    ReportConditions::currentIndex(list, MK), ReportConditions::currentIndex(list, QString()),
                    ReportConditions::currentIndex(list, u"gone"_qs),
                    ReportConditions::currentIndex({MK}, u"gone"_qs)}),
        QList<int>({1, 0, 2, 3, 0}));
    EXPECT_EQ(QList<bool>({ReportConditions::isUserReport(0), ReportConditions::isUserReport(-1),
                           ReportConditions::isUserReport(1)}),
              QList<bool>({false, false, true}));
}

TEST_F(ReportConditionsTest, AddWritesInOrderAndCopiesTheBuiltInTemplates)
{
    users({u"A"_qs, u"B"_qs});
    writeFile(MK + "1.vts", "one");
    writeFile(MK + "2.vts", "two");
    writeFile(MK + "3.vts", "three");
    writeFile(u"夜班2.vts"_qs, "old"); // overwritten
    suite.settingsWrites.clear();

    EXPECT_TRUE(reports.add({u"夜班"_qs, u"depart='1'"_qs, u"memberid<>'9'"_qs}).isEmpty());
    EXPECT_EQ(suite.settingsWrites,
              (QStringList{"TALOR/" + MK + "nBD=3", "TALOR/" + MK + "sBD3=夜班", "TALOR/夜班BDTJ1=depart='1'",
                           "TALOR/夜班BDTJ2=memberid<>'9'"}));
    EXPECT_EQ(content(u"夜班1.vts"_qs) + content(u"夜班2.vts"_qs), "onetwo");
    EXPECT_FALSE(QFile::exists(file(u"夜班3.vts"_qs)));
    EXPECT_EQ(reports.reportList().last() + "|" + reports.read(u"夜班"_qs).personCondition,
              u"夜班|memberid<>'9'"_qs);
}

TEST_F(ReportConditionsTest, AddStopsAtTheLastReportTheListReads)
{
    set(MK + "nBD", QString::number(ReportConditions::MaxReports - 1));
    EXPECT_TRUE(reports.add({u"last"_qs, {}, {}}).isEmpty());
    EXPECT_EQ(std::tuple(reports.reportList().size(), reports.reportList().last()),
              std::tuple(qsizetype(ReportConditions::MaxReports + 1), u"last"_qs));
    suite.settingsWrites.clear();
    EXPECT_EQ(reports.add({u"more"_qs, {}, {}}) + suite.settingsWrites,
              QStringList{u"报表已达999个，不能再添加！"_qs});
}

TEST_F(ReportConditionsTest, AddSkipsMissingTemplatesAndNeverCopiesAFileOntoItself)
{
    writeFile(MK + "1.vts", "one");
    EXPECT_TRUE(reports.add({u"早班"_qs, {}, {}}).isEmpty());
    EXPECT_EQ(std::tuple(content(u"早班1.vts"_qs), QFile::exists(file(u"早班2.vts"_qs))),
              std::tuple(QByteArray("one"), false));

    // A report named like the built-in one shares its files: they stay whole.
    EXPECT_TRUE(reports.add({MK, {}, {}}).isEmpty());
    EXPECT_EQ(std::tuple(content(MK + "1.vts"), reports.reportCount()), std::tuple(QByteArray("one"), 2));
}

TEST_F(ReportConditionsTest, NamesAFileCannotHoldGetTemplatesInsideTheDirectory)
{
    writeFile(MK + "1.vts", "one");
    const QString name = u"../班/组%"_qs;
    EXPECT_TRUE(reports.add({name, u"c"_qs, {}}).isEmpty());
    EXPECT_EQ(std::tuple(templateFileStem(name), content(u"%2E.%2F班%2F组%251.vts"_qs),
                         reports.read(name).deptCondition, QDir(dir.path()).entryList(QDir::Files).size()),
              std::tuple(u"%2E.%2F班%2F组%25"_qs, QByteArray("one"), u"c"_qs, 2));

    // Distinct names never share a file; a name too long for a file name is cut and hashed.
    EXPECT_NE(templateFileStem(u"a/b"_qs), templateFileStem(u"a%2Fb"_qs));
    EXPECT_EQ(templateFileStem(u"a\nb"_qs), u"a%0Ab"_qs);
    const QString longName(200, QChar(u'班')); // 600 bytes
    const QString stem = templateFileStem(longName);
    EXPECT_LE((stem + "1.vts").toUtf8().size(), 200);
    EXPECT_NE(stem, templateFileStem(longName + u'x'));
    EXPECT_TRUE(reports.add({longName, {}, {}}).isEmpty());
    EXPECT_EQ(content(stem + "1.vts"), "one");
    const QString fits(65, QChar(u'班')); // 195 bytes + "1.vts" = 200: kept whole
    EXPECT_EQ(templateFileStem(fits), fits);
    EXPECT_NE(templateFileStem(fits + u'班'), fits + u'班');
}

TEST_F(ReportConditionsTest, ModifyRenamesTheEntryAndWritesTheNewNamesConditions)
{
    users({u"A"_qs, u"B"_qs});
    set(u"BBDTJ1"_qs, u"old"_qs);
    suite.settingsWrites.clear();
    EXPECT_TRUE(reports.modify(2, {u"C"_qs, u"d1"_qs, u"p1"_qs}).isEmpty());
    EXPECT_EQ(suite.settingsWrites,
              (QStringList{"TALOR/" + MK + "sBD2=C", "TALOR/CBDTJ1=d1", "TALOR/CBDTJ2=p1"}));
    EXPECT_EQ(get(u"BBDTJ1"_qs), u"old"_qs); // the old name keeps its keys
    EXPECT_EQ(reports.reportList(), (QStringList{MK, u"A"_qs, u"C"_qs}));
}

TEST_F(ReportConditionsTest, DeleteMovesLaterEntriesUpAndRemovesConditionsAndTemplates)
{
    users({u"A"_qs, u"B"_qs, u"C"_qs});
    set(u"BBDTJ1"_qs, u"d"_qs);
    set(u"BBDTJ2"_qs, u"p"_qs);
    for (const char* f : {"B1.vts", "B2.vts", "B3.vts"})
        writeFile(QString::fromLatin1(f), "x");
    suite.settingsWrites.clear();
    suite.reportKeyValue = u"B"_qs;

    EXPECT_TRUE(reports.remove(2, {u"B"_qs, u"d"_qs, u"p"_qs}).isEmpty());
    EXPECT_EQ(suite.reportKey(), MK) << "the current report deleted: the built-in one is current";
    EXPECT_EQ(suite.settingsWrites, (QStringList{"TALOR/" + MK + "nBD=2", "TALOR/" + MK + "sBD2=C",
                                                 "TALOR/" + MK + "sBD3=", "TALOR/BBDTJ1=", "TALOR/BBDTJ2="}));
    EXPECT_EQ(reports.reportList(), (QStringList{MK, u"A"_qs, u"C"_qs}));
    // Kind 3's template is not these dialogs' file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"B3.vts"_qs});

    // The last entry: nothing moves; another report stays current.
    suite.settingsWrites.clear();
    suite.reportKeyValue = u"A"_qs;
    reports.remove(2, {u"C"_qs, {}, {}});
    EXPECT_EQ(QStringList{suite.reportKey()} + suite.settingsWrites.mid(0, 2) + reports.reportList(),
              (QStringList{u"A"_qs, "TALOR/" + MK + "nBD=1", "TALOR/" + MK + "sBD2=", MK, u"A"_qs}));
}

TEST_F(ReportConditionsTest, DeletingANameStillCarriedElsewhereKeepsItsConditionsAndFiles)
{
    users({u"夜班"_qs, u"夜班"_qs, MK});
    set(u"夜班BDTJ1"_qs, u"d"_qs);
    set(MK + "BDTJ1", u"m"_qs);
    writeFile(u"夜班1.vts"_qs, "n");
    writeFile(MK + "1.vts", "m");

    // What is left after each deletion: the conditions of both names, the files.
    const auto left = [&]() -> QString {
        return get(u"夜班BDTJ1"_qs) + "," + get(MK + "BDTJ1") + "," +
               QDir(dir.path()).entryList(QDir::Files).join(',');
    };
    reports.remove(1, {u"夜班"_qs, {}, {}});
    EXPECT_EQ(left(), "d,m,夜班1.vts," + MK + "1.vts");
    reports.remove(2, {MK, {}, {}});
    EXPECT_EQ(left(), "d,m,夜班1.vts," + MK + "1.vts");
    reports.remove(1, {u"夜班"_qs, {}, {}});
    EXPECT_EQ(std::tuple(left(), reports.reportList()), std::tuple(",m," + MK + "1.vts", QStringList{MK}));
}

TEST(ReportConditionsRefusal, NamesTheCharacterTheSettingsFileCannotHold)
{
    const struct
    {
        const char *name, *dept, *person;
        const char* message; // empty: accepted
    } cases[] = {{"夜班", "a='['", "b=';#'", ""},
                 {"", "", "", ""},
                 {"班[1]", "", "", ""},
                 {"a#;", "", "", ""},
                 {"[夜班", "", "", "报表名称不能以“[”开头！"},
                 {"  ;x", "", "", "报表名称不能以“;”开头！"},
                 {"#x", "", "", "报表名称不能以“#”开头！"},
                 {"a=b", "", "", "报表名称不能包含“=”！"},
                 {"a\nb", "", "", "报表名称不能包含换行符！"},
                 {"a\r", "", "", "报表名称不能包含换行符！"},
                 {"a", "x\ny", "", "部门条件不能包含换行符！"},
                 {"a", "", "x\r\ny", "个人条件不能包含换行符！"}};
    for (const auto& c : cases) {
        const ReportEdit edit{QString::fromUtf8(c.name), QString::fromUtf8(c.dept),
                              QString::fromUtf8(c.person)};
        EXPECT_EQ(ReportConditions::refusal(edit), QString::fromUtf8(c.message)) << c.name;
    }
}

} // namespace
