#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace talor {

class Recordset;
class SuiteServices;

// Finding a node of the department tree or a person by a few typed letters: a department,
// group or team whose name holds them, or a person whose name or member number does. Matching
// ignores case and width (full-width digits find half-width ones). The persons are read once
// (readPersons); every keystroke then looks through prepared texts only, so that a
// 10,000-person organisation answers at once.
class TreeSearch
{
public:
    struct Node
    {
        QString key;
        QString text;
    };
    struct Person
    {
        QString number;
        QString name;
        // The names of the person's department, group and team (empty where the person has none),
        // the path to the person's node in the tree.
        QStringList nodeNames;
    };
    struct Match
    {
        const Node* node = nullptr;     // a node that matches, or
        const Person* person = nullptr; // a person that matches
    };

    // The tree's nodes in the tree's order (the order they match in).
    void setNodes(std::vector<Node> nodes);
    void setPersons(std::vector<Person> persons);
    bool hasPersons() const { return m_personsRead; }

    // The matches of `typed`: the nodes first, in the tree's order, then the persons, in member
    // number order. Nothing for a text of blanks.
    std::vector<Match> find(const QString& typed) const;

    // Every person of the employee table YGZL within the suite's `filter` (SQL, may be empty),
    // with the names of their department, group and team (YGZL may hold each as a code or as
    // the name itself), in member number order.
    static std::vector<Person> readPersons(SuiteServices& suite, Recordset& records, const QString& filter);

private:
    static QString folded(const QString& text);
    std::vector<Node> m_nodes;
    std::vector<Person> m_persons;
    std::vector<QString> m_nodeTexts;   // folded, by node
    std::vector<QString> m_personTexts; // folded "number name", by person
    bool m_personsRead = false;
};

} // namespace talor
