#include "entry/TreeSearch.h"

#include "db/Recordset.h"
#include "db/SqlText.h"
#include "suite/SuiteServices.h"

#include <QHash>
#include <algorithm>

namespace talor {

QString TreeSearch::folded(const QString& text)
{
    // Compatibility decomposition turns full-width letters and digits into their plain forms.
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

void TreeSearch::setNodes(std::vector<Node> nodes)
{
    m_nodes = std::move(nodes);
    m_nodeTexts.clear();
    for (const Node& node : m_nodes)
        m_nodeTexts.push_back(folded(node.text));
}

void TreeSearch::setPersons(std::vector<Person> persons)
{
    m_persons = std::move(persons);
    m_personTexts.clear();
    for (const Person& person : m_persons)
        m_personTexts.push_back(folded(person.number + u' ' + person.name));
    m_personsRead = true;
}

std::vector<TreeSearch::Match> TreeSearch::find(const QString& typed) const
{
    std::vector<Match> matches;
    const QString wanted = folded(typed.trimmed());
    if (wanted.isEmpty())
        return matches;
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodeTexts[i].contains(wanted))
            matches.push_back({&m_nodes[i], nullptr});
    for (size_t i = 0; i < m_persons.size(); ++i)
        if (m_personTexts[i].contains(wanted))
            matches.push_back({nullptr, &m_persons[i]});
    return matches;
}

std::vector<TreeSearch::Person> TreeSearch::readPersons(SuiteServices& suite, Recordset& records,
                                                        const QString& filter)
{
    // The suite's filter as the report queries take it: one bracketed term, checked.
    const QString where = filter.trimmed().isEmpty() ? QString() : " where " + sql::bracketed(filter);
    records.open("select memberid, name, depart, group0, team from YGZL" + where + " order by memberid",
                 suite.connection(), Recordset::ManyRows);
    const int number = records.column(QStringLiteral("memberid"));
    const int name = records.column(QStringLiteral("name"));
    const int depart = records.column(QStringLiteral("depart"));
    const int group = records.column(QStringLiteral("group0"));
    const int team = records.column(QStringLiteral("team"));
    // A code's name is looked up once: many persons share a department, group and team.
    QHash<QString, QString> names;
    const auto nameOf = [&](const QString& kind, const QString& code, const auto& lookUp) {
        if (code.isEmpty())
            return QString();
        const QString key = kind + u'\x1f' + code;
        auto found = names.constFind(key);
        if (found == names.constEnd()) {
            const QString looked = lookUp();
            found = names.insert(key, looked.isEmpty() ? code : looked);
        }
        return *found;
    };
    std::vector<Person> persons;
    persons.reserve(size_t(records.recordCount()));
    for (; !records.eof(); records.moveNext()) {
        const QString d = nameOf(u"d"_qs, records.text(depart), [&] {
            return suite.categoryName(QStringLiteral("部门"), records.text(depart));
        });
        const QString g =
            nameOf(u"g"_qs + d, records.text(group), [&] { return suite.groupName(d, records.text(group)); });
        const QString t = nameOf(u"t"_qs + d + u'\x1f' + g, records.text(team),
                                 [&] { return suite.teamName(d, g, records.text(team)); });
        persons.push_back({records.text(number), records.text(name), {d, g, t}});
    }
    records.close();
    return persons;
}

} // namespace talor
