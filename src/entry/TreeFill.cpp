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
        fillLevel(0, "ROOT", QStringList());
        return std::move(m_result);
    }

private:
    static constexpr int Images[3][2] = {{25, 26}, {20, 21}, {33, 34}};
    static constexpr char16_t Prefix[3] = {u'A', u'B', u'C'};

    // Adds the rows of level `level` under `parentKey`; `path` is the names above them.
    void fillLevel(int level, const QString& parentKey, const QStringList& path)
    {
        Recordset& rows = m_levels[size_t(level)];
        for (; !rows.eof(); rows.moveNext()) {
            if (m_leaveOutMarked && rows.text("proval2") == "*")
                continue;
            const QString name = rows.text("proname");
            const QStringList names = path + QStringList{name};
            const QString key = keyOf(level, names);
            if (key.isEmpty())
                continue;
            add({key, name, parentKey, Images[level][0], Images[level][1]});
            if (level == 2)
                continue;
            Recordset& children = m_levels[size_t(level + 1)];
            children.close();
            children.open(childrenQuery(rows), m_suite.connection());
            fillLevel(level + 1, key, names);
        }
    }

    // The key of the entry `names` (from its department down): the level's letter and the names
    // run together. When another entry has that key already (一车间 一班 and 一车间一 班), the
    // names are joined by "/" instead, numbered on ("#2", ...) should even that be taken. Empty
    // for an entry whose names are there already: it is reported as a duplicate.
    QString keyOf(int level, const QStringList& names)
    {
        if (m_paths.contains(names)) {
            m_result.duplicates << names.last();
            return {};
        }
        m_paths.insert(names);
        const QString key = QChar(Prefix[level]) + names.join(QString());
        if (!m_keys.contains(key))
            return key;
        const QString joined = QChar(Prefix[level]) + names.join(u'/');
        QString own = joined;
        for (int n = 2; m_keys.contains(own); ++n)
            own = joined + u'#' + QString::number(n);
        return own;
    }

    void add(TreeNode node)
    {
        m_keys.insert(node.key);
        m_result.nodes.push_back(std::move(node));
    }

    SuiteServices& m_suite;
    std::array<Recordset, 3>& m_levels;
    const bool m_leaveOutMarked;
    QSet<QString> m_keys;
    QSet<QStringList> m_paths; // the names of every entry added, from its department down
    TreeFillResult m_result;
};

} // namespace

TreeFillResult fillDepartmentTree(SuiteServices& suite, std::array<Recordset, 3>& levels)
{
    return TreeBuilder(suite, levels).run();
}

} // namespace talor
