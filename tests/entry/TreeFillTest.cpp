#include "entry/TreeFill.h"

#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
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

TEST_F(TreeFillTest, LevelsInSiblingOrderWithKeysAndImages)
{
    sampleTree();
    suite.scope = "出勤统计";
    const TreeFillResult result = fill();
    // The marked department leaves with its whole subtree.
    EXPECT_EQ(keys(result), (QStringList{"ROOT", "A行政部", "A生产部", "B生产部一组", "C生产部一组乙班",
                                         "C生产部一组甲班", "B生产部二组"}));
    EXPECT_TRUE(result.duplicates.isEmpty());
    struct Expected
    {
        size_t index;
        const char *text, *parent;
        int image, selected;
    };
    for (const Expected& e :
         {Expected{0, "示范公司", "", 31, 32}, Expected{2, "生产部", "ROOT", 25, 26},
          Expected{3, "一组", "A生产部", 20, 21}, Expected{4, "乙班", "B生产部一组", 33, 34}}) {
        const TreeNode& node = result.nodes[e.index];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(node.text, e.text);
        EXPECT_EQ(node.parentKey, e.parent);
        EXPECT_EQ(std::pair(node.image, node.selectedImage), std::pair(e.image, e.selected));
    }
    // The level recordsets stay open for reuse.
    EXPECT_TRUE(levels[0].isOpen());
    EXPECT_TRUE(levels[0].source().startsWith("select * from zdb3 where parid=1"));
}

TEST_F(TreeFillTest, MarkedEntriesStayWhenTheScopeIsNotAttendance)
{
    sampleTree();
    suite.scope = "在职";
    const QStringList all = keys(fill());
    EXPECT_EQ(all.size(), 10);
    EXPECT_TRUE(all.contains("C保安部门卫夜班"));
}

TEST_F(TreeFillTest, NoRootRowGivesTheRootNodeOnly)
{
    data.node(10, 1, "生产部", 1);
    EXPECT_EQ(keys(fill()), QStringList{"ROOT"});
}

TEST_F(TreeFillTest, EqualKeysKeepTheFirstAndReportTheDuplicate)
{
    data.root(1);
    data.node(10, 1, "ab", 1);
    data.node(11, 1, "a", 2);
    data.node(12, 1, "ab", 3);
    data.node(20, 10, "c", 1);
    data.node(21, 11, "bc", 1);
    data.node(30, 21, "甲班", 1);
    data.node(31, 12, "夜班", 1);
    const TreeFillResult result = fill();
    EXPECT_EQ(keys(result), (QStringList{"ROOT", "Aab", "Babc", "Aa"}));
    EXPECT_EQ(result.duplicates, (QStringList{"bc", "ab"}));
}

} // namespace
