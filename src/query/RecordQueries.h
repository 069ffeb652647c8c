#pragma once

#include <QDate>
#include <QString>
#include <utility>

namespace talor {

class SuiteServices;

// The conditions the queries read from the main window's state: the current report's
// department and personal conditions (read at activation) and the suite's filter (at load).
struct QueryState
{
    QString DeptCondition;
    QString PersonCondition;
    QString SuiteFilter;
};

// A tree node as the queries see it: its key ("ROOT", "A"..., "B"..., anything else a team)
// and the texts of the node, its parent and its grandparent.
struct SelectedNode
{
    QString key;
    QString text;
    QString parentText;
    QString grandparentText;
};

// The record queries. Each builder writes its pieces into the suite services (select, from,
// where and order parts, the composed query, the department, group and team names), where the
// print runs read the same texts back, and returns the composed query.
//
// Names, codes, person numbers and period bounds go into the SQL with their quotes doubled,
// so that a name with an apostrophe finds its rows and cannot change the statement; the
// report conditions and the suite's filter are SQL typed by supervisors and stay verbatim
// (the recordsets run them as one statement that cannot write). The attendance table's code
// must be a plain name that the suite's table catalogue holds, and a name or number that was
// not valid UTF-8 in the database (it reads with replacement characters, and would miss the
// records that store it) cannot be queried by: otherwise the builders throw DatabaseError
// naming it.
class RecordQueries
{
public:
    explicit RecordQueries(SuiteServices& suite);

    // SQL0: the employees of the node, from YGZL.
    QString SQL0(const SelectedNode& node, const QString& suiteFilter);
    // SQL1: the node's rows of CurrentTable on the suite's report date, with the suite's filter
    // text and the department condition.
    QString SQL1(const SelectedNode& node, const QString& deptCondition);
    // The period query of one person: rows of CurrentTable from `start` to `end` (texts as the
    // suite holds them), with the personal condition, by date.
    QString periodQuery(const QString& number, const QString& start, const QString& end,
                        const QString& personCondition);

    // The period queries of several persons as one statement, which leaves the suite's texts
    // alone: the rows of person k of `numbers` (its period query's rows) followed by k. When
    // sharedReadIsOrdered(), the persons come in the order of `numbers` and each one's rows in
    // the order of its own query; otherwise all come as the engine finds them. It joins the
    // attendance table with the list of numbers on the period query's own conditions,
    // personal condition included, in the same order of evaluation, so that every person gets
    // exactly the rows its own query reads. Empty when the personal condition could end the
    // statement early (a comment or a semicolon) or a number ends in a blank: then only the
    // persons' own queries read what they mean.
    QString periodQueryOfPersons(const QStringList& numbers, const QString& start, const QString& end,
                                 const QString& personCondition) const;
    // Whether periodQueryOfPersons() orders its rows. On SQLite it leaves them as the engine
    // finds them (a person's days one after the other through the table's key) rather than
    // have SQLite sort every row it reads; SharedRecords::putInOrder orders each person's.
    bool sharedReadIsOrdered() const;

    // SQL0's statement for the node, composed without writing anything into the suite.
    QString employeesQuery(const SelectedNode& node, const QString& suiteFilter) const;
    // The employee table's row of one person.
    static QString employeeQuery(const QString& number);
    // The days the abnormal colours mark (nColor 1, 2 or 3) over the period, of the persons
    // SQL0 lists for the node, as one statement that leaves the suite's texts alone: memberid,
    // zhdate and the day's highest mark as talor_kind. The rows marked are those the persons'
    // period queries read: the period and the personal condition, on the same line as there.
    QString abnormalDaysQuery(const SelectedNode& node, const QDate& start, const QDate& end,
                              const QString& suiteFilter, const QString& personCondition) const;

    // The department filter of the names the suite holds now, accepting both stored forms of
    // department, group and team (encoded and plain); empty at the root.
    QString departmentFilter();

private:
    struct NodeNames
    {
        QString department, group, team;
    };
    // The department, group and team names of the node, by its key.
    static NodeNames namesOf(const SelectedNode& node);
    QString departmentFilter(const NodeNames& names) const;
    // SQL0's where and order parts for the node's names.
    std::pair<QString, QString> employeesParts(const NodeNames& names, const QString& suiteFilter) const;
    // Writes the node's department, group and team names into the suite.
    void setNames(const SelectedNode& node);
    QString compose();
    // CurrentTable, checked (throws DatabaseError for a code the catalogue does not hold).
    QString table() const;

    SuiteServices& m_suite;
    mutable QString m_checkedTable;
};

} // namespace talor
