#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <functional>

namespace talor {

// Size and seed of a demo suite. The same options always give the same rows.
struct DemoOptions
{
    int employees = 50;
    int days = 61;
    QDate from = QDate(2026, 10, 1);
    quint32 seed = 1;
    // Told as each employee's attendance rows begin: how many employees are done, of how many.
    std::function<void(int done, int employees)> progress;
};

// What a generation wrote.
struct DemoSummary
{
    QString configurationFile; // empty when only a database was filled
    int employees = 0;
    int days = 0;
    qint64 attendanceRows = 0; // rows of the daily report table
    qint64 overtimeRows = 0;   // rows of the overtime table
    double seconds = 0;
};

// The demo suite, the product's embedded default: a suite configuration, a settings file and
// a second file, the icon, work and temporary directories, the template directory with a
// report template of each kind (DemoTemplates), and a SQLite database
// with the organisation tree (zdb3), the table catalogue (zdb1), employees (YGZL), menus
// (SYS02), the field dictionary and code tables, and two attendance tables: KQ0001 (考勤日报表,
// one row per person per day, items of every type, nColor on late, early-leave and absence
// days) and KQ0002 (加班记录, the overtime days).
class DemoSuite
{
public:
    static constexpr const char* DailyTable = "KQ0001";
    static constexpr const char* OvertimeTable = "KQ0002";
    static constexpr const char* ShiftTable = "BC0001";
    static constexpr const char* Organisation = "示范实业有限公司";
    static constexpr const char* OperatorName = "管理员";
    static constexpr const char* ModuleKey = "考勤日报";

    // Writes a complete demo suite into `directory` (which must be missing or empty); the
    // configuration is directory/suite.ini. Everything is built in a scratch directory
    // beside it and moved into place at the end, so a failure leaves nothing half-written.
    // Throws SuiteError naming the directory or the step that failed.
    static DemoSummary generate(const QString& directory, const DemoOptions& options);

    // Drops and creates the suite tables on an open connection (SQLite or PostgreSQL) and
    // fills them, in one transaction: the same rows as generate() writes for these options.
    static DemoSummary fillDatabase(QSqlDatabase db, const DemoOptions& options);

    // The demo's rest days: weekends, 1 January, 1 May and 1 to 3 October.
    static bool isHoliday(const QDate& day);
    static bool isWorkingDay(const QDate& day);
    // The report date of a demo starting on `from`: its first working day, so that the first
    // report shows a working day with its late, early and absent rows.
    static QDate firstWorkingDay(const QDate& from);

    // Throws SuiteError naming the bad value (employees or days below 1, an invalid date).
    static void checkOptions(const DemoOptions& options);
};

} // namespace talor
