#include "entry/TreeSearch.h"

#include <gtest/gtest.h>

using namespace talor;

namespace {

QStringList found(const TreeSearch& search, const QString& typed)
{
    QStringList names;
    for (const TreeSearch::Match& match : search.find(typed))
        names << (match.node ? QString("node " + match.node->key)
                             : QString("person " + match.person->number));
    return names;
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
        {"张三", {"person 0012"}},
        {"  ", {}},
        {"赵", {}},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(found(search, typed), expected) << typed.toStdString();
}

} // namespace
