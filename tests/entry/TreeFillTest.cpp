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
