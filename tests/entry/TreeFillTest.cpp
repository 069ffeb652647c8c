#include "entry/TreeFill.h"

#include "db/Recordset.h"
#include "entry/ModuleDatabase.h"
#include "support/FakeSuite.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace talor;
using talor::test::FakeSuite;
using talor::test::ModuleDatabase;

namespace {

class TreeFillTest : public ::testing::Test
{
protected:
    void SetUp() override { suite.db = data.db(); }

    // The organisation of the examples: 保安部 is marked "*".
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
    ModuleDatabase data;
    FakeSuite suite;
    std::array<Recordset, 3> levels;
};

TEST_F(TreeFillTest, LevelsInSiblingOrderWithKeysAndImages)
{
    sampleTree();
    suite.scope = "出勤";
    const TreeFillResult result = fill();
    EXPECT_EQ(keys(result), (QStringList{"ROOT", "A行政部", "A生产部", "B生产部一组", "C生产部一组乙班",
                                         "C生产部一组甲班", "B生产部二组"}));
    EXPECT_TRUE(result.duplicates.isEmpty());

    const TreeNode& root = result.nodes[0];
    EXPECT_EQ(root.text, "示范公司");
    EXPECT_EQ(root.parentKey, "");
    EXPECT_EQ(std::pair(root.image, root.selectedImage), std::pair(31, 32));
    const TreeNode& department = result.nodes[2];
    EXPECT_EQ(department.text, "生产部");
    EXPECT_EQ(department.parentKey, "ROOT");
    EXPECT_EQ(std::pair(department.image, department.selectedImage), std::pair(25, 26));
    const TreeNode& group = result.nodes[3];
    EXPECT_EQ(group.text, "一组");
    EXPECT_EQ(group.parentKey, "A生产部");
    EXPECT_EQ(std::pair(group.image, group.selectedImage), std::pair(20, 21));
    const TreeNode& team = result.nodes[4];
    EXPECT_EQ(team.text, "乙班");
    EXPECT_EQ(team.parentKey, "B生产部一组");
    EXPECT_EQ(std::pair(team.image, team.selectedImage), std::pair(33, 34));
}

TEST_F(TreeFillTest, MarkedEntriesStayWhenTheScopeIsNotAttendance)
{
    sampleTree();
    suite.scope = "在职";
    const QStringList all = keys(fill());
    EXPECT_TRUE(all.contains("A保安部"));
    EXPECT_TRUE(all.contains("B保安部门卫"));
    EXPECT_TRUE(all.contains("C保安部门卫夜班"));
    EXPECT_EQ(all.size(), 10);
}

TEST_F(TreeFillTest, MarkedEntryLeavesOutItsWholeSubtreeUnderAttendanceScope)
{
    sampleTree();
    suite.scope = "出勤统计";
    const QStringList all = keys(fill());
    for (const QString& key : all)
        EXPECT_FALSE(key.contains("保安部")) << key.toStdString();
}

TEST_F(TreeFillTest, NoRootRowGivesTheRootNodeOnly)
{
    data.node(10, 1, "生产部", 1);
    const TreeFillResult result = fill();
    EXPECT_EQ(keys(result), QStringList{"ROOT"});
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

TEST_F(TreeFillTest, RecordsetsAreLeftOpenForReuse)
{
    sampleTree();
    fill();
    EXPECT_TRUE(levels[0].isOpen());
    EXPECT_TRUE(levels[0].source().startsWith("select * from zdb3 where parid=1"));
}

} // namespace
