#pragma once

#include "query/RecordQueries.h"

#include <QDate>
#include <QString>
#include <array>
#include <vector>

namespace talor {

class SuiteServices;

// The abnormal days of a tree node's persons over a period, at a glance: for each person
// (in the order the period report of the node lists them) and each day of the period, the
// mark the abnormal colours show, that is the attendance record's nColor 1, 2 or 3 (0 for a
// day without one; of several records on a day the highest), with the counts of marked days
// per day, per person and in all.
struct AbnormalOverview
{
    static constexpr int Kinds = 3;

    struct Person
    {
        QString number;
        QString name;
    };

    QString nodeText;
    QDate start, end;
    QString markCaption;         // the dictionary's caption of nCOLOR ("异常标志")
    std::vector<Person> persons; // each number once, where it first comes
    std::vector<QDate> days;     // start..end
    std::vector<quint8> marks;   // person-major: marks[person * days.size() + day]
    std::vector<int> personCounts;
    std::vector<int> dayCounts;
    std::array<std::vector<int>, Kinds> dayKindCounts; // per kind 1..3, per day
    int total = 0;

    int mark(size_t person, size_t day) const { return marks[person * days.size() + day]; }
    // "异常标志 2": a kind named by the caption the dictionary gives the marks.
    QString kindLabel(int kind) const;
    // Sets the persons and days with no marks and no counts.
    void reset(std::vector<Person> people, const QDate& first, const QDate& last);
    // Marks a day of a person with `kind` (1..3) when that is higher than its mark so far.
    void raise(size_t person, size_t day, int kind);
    // The counts from the marks.
    void count();
};

// Reads the overview of a node with two statements, whatever the number of persons: the
// node's persons as SQL0 lists them, and the marked days of all of them at once
// (RecordQueries::abnormalDaysQuery), with the conditions the period report of the node
// reads with (the suite's filter, the report's personal condition).
class AbnormalOverviewReader
{
public:
    // The longest period the overview shows, in days: a quarter, a column a day.
    static constexpr int MaxDays = 92;

    AbnormalOverviewReader(SuiteServices& suite, const QueryState& state);

    // Throws DatabaseError for a failing statement, std::invalid_argument for a period that
    // is empty, too long or invalid, and for a dictionary without nCOLOR (records carry no
    // marks then).
    AbnormalOverview read(const SelectedNode& node, const QDate& start, const QDate& end);

private:
    SuiteServices& m_suite;
    const QueryState& m_state;
    RecordQueries m_queries;
};

} // namespace talor
