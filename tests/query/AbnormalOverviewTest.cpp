// The abnormal overview read from the demo suite, on SQLite and on PostgreSQL: its counts per
// day, per person and in all against the marked rows counted in the database by a query of
// the test's own (the node's persons by their stored department, code or name).
#include "query/AbnormalOverview.h"

#include "demo/DemoSuite.h"
#include "suite/LocalSuite.h"
#include "suite/SuiteConfig.h"
#include "support/SuiteOnServer.h"
#include "support/TestDatabases.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace talor;

namespace {

class AbnormalOverviewCounts : public test::DatabaseTest
{
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        if (HasFatalFailure())
            return;
        DemoOptions options;
        options.employees = 60;
        suite = std::make_unique<LocalSuite>(
            test::demoSuiteConfig(temporaryPath() + "/demo", options, db(), server()));
        suite->setCurrentTable("KQ0001");
        state.SuiteFilter = suite->filterText();
    }
    void TearDown() override
    {
        suite.reset();
        DatabaseTest::TearDown();
    }

    // Marked rows of October `first`..`last` per `group` ("zhdate" or "memberid"), of the
    // persons `persons` selects from ygzl.
    QMap<QString, int> countedBy(const QString& group, const QString& persons, int first, int last)
    {
        QSqlQuery query(suite->connection());
        const QString sql = "select " + group +
                            QString(", count(*) from KQ0001 where ncolor between 1 and 3 and zhdate between "
                                    "'2026-10-%1' and '2026-10-%2' and memberid in (")
                                .arg(first, 2, 10, QChar('0'))
                                .arg(last) +
                            persons + ") group by " + group;
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        QMap<QString, int> counts;
        while (query.next())
            counts.insert(group == "zhdate" ? query.value(0).toDate().toString(Qt::ISODate)
                                            : query.value(0).toString(),
                          query.value(1).toInt());
        return counts;
    }

    std::unique_ptr<LocalSuite> suite;
    QueryState state;
};

TEST_P(AbnormalOverviewCounts, CountsAreTheMarkedRowsOfTheNodesPersons)
{
    const QString production =
        "select memberid from ygzl where depart in ('生产部', (select code from zdcode "
        "where category='部门' and name='生产部'))";
    // The whole month, and working days at both ends (marked rows on the first and last day).
    const struct
    {
        SelectedNode node;
        QString persons;
        int first, last;
    } cases[] = {
        {{"A生产部", "生产部", {}, {}}, production, 1, 31},
        {{"ROOT", QString::fromUtf8(DemoSuite::Organisation), {}, {}}, "select memberid from ygzl", 8, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node.key.toStdString());
        const AbnormalOverview overview =
            AbnormalOverviewReader(*suite, state)
                .read(c.node, QDate(2026, 10, c.first), QDate(2026, 10, c.last));
        ASSERT_EQ(overview.days.size(), size_t(c.last - c.first + 1));

        QMap<QString, int> byDay, byPerson;
        int total = 0, listed = 0;
        for (size_t d = 0; d < overview.days.size(); ++d)
            if (overview.dayCounts[d] > 0)
                byDay.insert(overview.days[d].toString(Qt::ISODate), overview.dayCounts[d]);
        for (size_t p = 0; p < overview.persons.size(); ++p) {
            if (overview.personCounts[p] > 0)
                byPerson.insert(overview.persons[p].number, overview.personCounts[p]);
            total += overview.personCounts[p];
        }
        for (QSqlQuery persons(c.persons, suite->connection()); persons.next();)
            ++listed;
        EXPECT_EQ(std::tuple(byDay, byPerson, overview.total, int(overview.persons.size())),
                  std::tuple(countedBy("zhdate", c.persons, c.first, c.last),
                             countedBy("memberid", c.persons, c.first, c.last), total, listed));
        EXPECT_GT(overview.total, 0);
    }
}

// From one day to a quarter: a reversed period or a longer one is refused before any query.
TEST_P(AbnormalOverviewCounts, PeriodsFromOneDayToTheLongestShown)
{
    AbnormalOverviewReader reader(*suite, state);
    const SelectedNode root{"ROOT", QString::fromUtf8(DemoSuite::Organisation), {}, {}};
    const QDate first(2026, 10, 1);
    const int longest = AbnormalOverviewReader::MaxDays;
    EXPECT_EQ(reader.read(root, first, first).days.size(), 1u);
    EXPECT_EQ(reader.read(root, first, first.addDays(longest - 1)).days.size(), size_t(longest));
    EXPECT_THROW(reader.read(root, first, first.addDays(longest)), std::invalid_argument);
    EXPECT_THROW(reader.read(root, first, first.addDays(-1)), std::invalid_argument);
}

TALOR_BOTH_DATABASES(AbnormalOverviewCounts);

} // namespace
