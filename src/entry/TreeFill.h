#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace talor {

class Recordset;
class SuiteServices;

// One node of the department tree as the tree fill produces it; images index the window's
// image list.
struct TreeNode
{
    QString key;
    QString text;
    QString parentKey; // empty for the root
    int image = 0;
    int selectedImage = 0;
};

struct TreeFillResult
{
    std::vector<TreeNode> nodes; // parents before children, in the order added
    // Texts of the entries left out because an entry of the same names came before (their
    // subtrees are left out with them).
    QStringList duplicates;
};

// Fills the department tree from zdb3: the root "ROOT" (the organisation), departments "A"+d,
// groups "B"+d+g and teams "C"+d+g+t, siblings by proval1. An entry whose key an entry of
// other names has already ("B一车间一班" of 一车间 一班 and of 一车间一 班) gets its names
// joined by "/" instead ("B一车间一/班"), numbered on ("#2") should that be taken too.
// Entries with proval2 "*" are left out, with everything under them, when the suite's scope
// text contains "出勤". The three recordsets are the tree levels; they are reopened as the
// fill goes.
TreeFillResult fillDepartmentTree(SuiteServices& suite, std::array<Recordset, 3>& levels);

// The query of the department root row.
inline const QString DepartmentRootQuery =
    QStringLiteral("select * from zdb3 where proval=2 and proname='部门'");

} // namespace talor
