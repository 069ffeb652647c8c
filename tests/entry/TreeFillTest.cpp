#include "entry/TreeFill.h"

#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "entry/TreeSearch.h"
#include "support/FakeSuite.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace talor;

namespace {

class TreeFillTest : public ::testing::Test
{
protected:
    void SetUp() override { suite.db = data.db(); }

    // The organisation of the examples: 保安部 is marked "*", 乙班 only " *".
    void sampleTree()
    {
        data.root(1);
        data.node(10, 1, "生产部", 2);
        data.node(11, 1, "行政部", 1);
        data.node(12, 1, "保安部", 3, "*");
        data.node(20, 10, "一组", 1);
        data.node(21, 10, "二组", 2);
        data.node(22, 12, "门卫", 1);
        data.node(30, 20, "甲班", 2);
        data.node(31, 20, "乙班", 1, " *");
        data.node(32, 22, "夜班", 1);
    }

    QStringList keys(const TreeFillResult& result)
    {
        QStringList out;
        for (const auto& n : result.nodes)
            out << n.key;
        return out;
    }

    TreeFillResult fill() { return fillDepartmentTree(suite, levels); }

    int argc = 0;
    QCoreApplication app{argc, nullptr};
    test::ModuleDatabase data;
    test::FakeSuite suite;
    std::array<Recordset, 3> levels;
};

// Levels in sibling order, with their keys, parents and pictures; a department marked "*" leaves
// with its whole subtree in attendance views only.
TEST_F(TreeFillTest, LevelsInSiblingOrderWithKeysAndImages)
{
    sampleTree();
    suite.scope = "出勤统计";
    const TreeFillResult result = fill();
    QStringList nodes;
    for (const TreeNode& n : result.nodes)
        nodes << QString("%1 %2<%3 %4/%5").arg(n.key, n.text, n.parentKey).arg(n.image).arg(n.selectedImage);
    EXPECT_EQ(nodes + result.duplicates,
              (QStringList{"ROOT 示范公司< 31/32", "A行政部 行政部<ROOT 25/26", "A生产部 生产部<ROOT 25/26",
                           "B生产部一组 一组<A生产部 20/21", "C生产部一组乙班 乙班<B生产部一组 33/34",
                           "C生产部一组甲班 甲班<B生产部一组 33/34", "B生产部二组 二组<A生产部 20/21"}));
    // The level recordsets stay open for reuse.
    EXPECT_EQ(
        std::pair(levels[0].isOpen(), levels[0].source().startsWith("select * from zdb3 where parid=1")),
        std::pair(true, true));

    suite.scope = "在职";
    const QStringList all = keys(fill());
    EXPECT_EQ(std::pair(all.size(), all.contains("C保安部门卫夜班")), std::pair(qsizetype(10), true));
}

// Without a root row the root node alone. An entry of the same names again is left out and
// reported; one whose names run together into a key another has (a bc and ab c) gets its
// names joined by "/" instead, numbered on when even that is taken (by a /bc/ 甲班); every
// other key stays as it is.
TEST_F(TreeFillTest, NoRootRowGivesTheRootNodeOnlyKeysOfOtherNamesJoinTheirNames)
{
    data.node(10, 1, "ab", 1);
    EXPECT_EQ(keys(fill()), QStringList{"ROOT"});
    data.root(1);
    data.node(11, 1, "a", 2);
    data.node(12, 1, "ab", 3);
    data.node(20, 10, "c", 1);
    data.node(21, 11, "bc", 1);
    data.node(30, 21, "甲班", 1);
    data.node(31, 12, "夜班", 1);
    data.node(32, 20, "甲班", 1);
    data.node(33, 20, "甲班", 2);
    data.node(22, 11, "/bc/", 0);
    data.node(34, 22, "甲班", 1);
    const TreeFillResult result = fill();
    EXPECT_EQ(keys(result), (QStringList{"ROOT", "Aab", "Babc", "Cabc甲班", "Aa", "Ba/bc/", "Ca/bc/甲班",
                                         "Ba/bc", "Ca/bc/甲班#2"}));
    EXPECT_EQ(result.duplicates, (QStringList{"甲班", "ab"}));
}

QStringList found(const TreeSearch& search, const QString& typed)
{
    QStringList names;
    for (const TreeSearch::Match& match : search.find(typed))
        names << (match.node ? QString("node " + match.node->key)
                             : QString("person " + match.person->number));
    return names;
}

// The persons the search finds are those the reports show: the suite's filter is one term, so
// its "or" cannot bring in the others, and the order is kept.
TEST_F(TreeFillTest, PersonsAreReadUnderTheSuitesFilterAsOneTerm)
{
    for (const char* row :
         {"('0003', '丙', '02', '1')", "('0001', '甲', '01', '1')", "('0002', '乙', '03', '1')"})
        data.exec(QString("insert into ygzl (memberid, name, depart, group0) values %1").arg(row));
    // Group 1 of each department is a group of its own.
    suite.categoryNames = {{"部门\n01", "生产部"}, {"部门\n02", "行政部"}};
    suite.groupNames = {{"生产部\n1", "一组"}, {"行政部\n1", "文书组"}};
    Recordset records;
    QStringList numbers;
    for (const auto& person : TreeSearch::readPersons(suite, records, "depart='01' or depart='02' -- 在册"))
        numbers << person.number + ' ' + person.nodeNames.join('/');
    EXPECT_EQ(numbers, (QStringList{"0001 生产部/一组/", "0003 行政部/文书组/"}));
    // A filter of blanks alone narrows nothing.
    EXPECT_EQ(TreeSearch::readPersons(suite, records, "  ").size(), 3U);
}

// Nodes by their names, then persons by number or name, each in their own order; case and
// width do not matter, blanks around the text neither, and blanks alone find nothing.
TEST(TreeSearch, NodesThenPersonsByNameOrNumber)
{
    TreeSearch search;
    search.setNodes({{"ROOT", "公司"}, {"A01", "生产部"}, {"B011", "Line A"}, {"A02", "行政部"}});
    search.setPersons({{"0012", "张三", {"生产部", "", ""}},
                       {"0120", "李四", {"行政部", "", ""}},
                       {"1200", "王部长", {"行政部", "", ""}}});
    const std::vector<std::pair<QString, QStringList>> cases{
        {"部", {"node A01", "node A02", "person 1200"}},
        {"012", {"person 0012", "person 0120"}},
        {"０１２", {"person 0012", "person 0120"}},
        {" line a ", {"node B011"}},
        {"0012 张", {"person 0012"}},
        {"张三", {"person 0012"}},
        {"  ", {}},
        {"赵", {}},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(found(search, typed), expected) << typed.toStdString();
}

} // namespace
