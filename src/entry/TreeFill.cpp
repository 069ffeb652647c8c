#include "entry/TreeFill.h"

#include "db/Recordset.h"
#include "suite/SuiteServices.h"

#include <QSet>

namespace talor {

namespace {

QString childrenQuery(const Recordset& parent)
{
    return "select * from zdb3 where parid=" + QString::number(parent.value("proid").toLongLong()) +
           " order by proval1";
}

class TreeBuilder
{
public:
    TreeBuilder(SuiteServices& suite, std::array<Recordset, 3>& levels)
        : m_suite(suite), m_levels(levels),
          m_leaveOutMarked(suite.scopeText().contains(QStringLiteral("出勤")))
    {}

    TreeFillResult run()
    {
        add({"ROOT", m_suite.organisationName(), {}, 31, 32});
        Recordset& first = m_levels[0];
        first.open(DepartmentRootQuery, m_suite.connection());
        if (first.eof())
            return std::move(m_result);
        const QString query = childrenQuery(first);
        first.close();
        first.open(query, m_suite.connection());
        fillLevel(0, "ROOT", QString());
        return std::move(m_result);
    }

private:
    static constexpr int Images[3][2] = {{25, 26}, {20, 21}, {33, 34}};
    static constexpr char16_t Prefix[3] = {u'A', u'B', u'C'};

    // Adds the rows of level `level` under `parentKey`; `path` is the names above them.
    void fillLevel(int level, const QString& parentKey, const QString& path)
    {
        Recordset& rows = m_levels[size_t(level)];
        for (; !rows.eof(); rows.moveNext()) {
            if (m_leaveOutMarked && rows.text("proval2") == "*")
                continue;
            const QString name = rows.text("proname");
            const QString key = QChar(Prefix[level]) + path + name;
            if (!add({key, name, parentKey, Images[level][0], Images[level][1]}))
                continue;
            if (level == 2)
                continue;
            Recordset& children = m_levels[size_t(level + 1)];
            children.close();
            children.open(childrenQuery(rows), m_suite.connection());
            fillLevel(level + 1, key, path + name);
        }
    }

    bool add(TreeNode node)
    {
        if (m_keys.contains(node.key)) {
            m_result.duplicates << node.text;
            return false;
        }
        m_keys.insert(node.key);
        m_result.nodes.push_back(std::move(node));
        return true;
    }

    SuiteServices& m_suite;
    std::array<Recordset, 3>& m_levels;
    const bool m_leaveOutMarked;
    QSet<QString> m_keys;
    TreeFillResult m_result;
};

} // namespace

TreeFillResult fillDepartmentTree(SuiteServices& suite, std::array<Recordset, 3>& levels)
{
    return TreeBuilder(suite, levels).run();
}

} // namespace talor
