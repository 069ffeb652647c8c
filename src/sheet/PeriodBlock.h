#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <bitset>

namespace talor {

class Recordset;
namespace grid {
class Sheet;
}

// The person block of the period report (kind 3), 36 rows counted from the block's top: the
// header rows 1..4 (the person's name, number and department in row 3, column 1, the period
// in row 3's last column, the labels in row 4), the days of the period on rows 5..35 (the
// date in column 1, the weekday 0..6 from Sunday in column 2, the day's record beside them)
// and the sum row 36. The template's block is stamped once per person, one under the other.
class PeriodBlock
{
public:
    static constexpr int Rows = 36;
    static constexpr int HeaderRows = 4;
    static constexpr int PersonRow = 3;
    static constexpr int FirstDayRow = 5;
    static constexpr int SumRow = 36;
    static constexpr int Days = 31; // the day rows of a block

    // Why the period `start`..`end` cannot be shown: longer than the 31 day rows, its records
    // would not all have a row (it is refused before anything is shown). Empty when it can;
    // bounds that cannot be read are left to the rows, which then show no dates.
    static QString periodProblem(const QString& start, const QString& end);

    // How many persons' blocks fit one under the other in a sheet, and whether `persons` do.
    static int maxPersons();
    static bool fits(qsizetype persons) { return persons <= maxPersons(); }

    // The block of the period `start`..`end`, as the suite gives the bounds.
    PeriodBlock(const QString& start, const QString& end);

    // "start 至 end", as row 3 shows it (and the person report's period label).
    QString periodText() const { return periodText(m_start, m_end); }
    static QString periodText(const QString& start, const QString& end);
    // The block row (5..35) the record at the recordset's position goes on, by its date field
    // number `zhdate` (a date, or a date text); 0 when the date is unreadable or the period
    // has no row for it.
    int rowOfRecord(const Recordset& records, int zhdate) const;
    // The day rows one person's records have taken in the block (bit 0 for row 5).
    using TakenRows = std::bitset<Days>;
    // The row of rowOfRecord for the record, taken in `taken`; 0 when it has none or an earlier
    // record of the person took it: a row shows one record, and a second record of a day
    // (the day stored with and without a time) would overwrite the first.
    int placeRecord(const Recordset& records, int zhdate, TakenRows& taken) const;
    // What the operator is told when `count` records of the period had no row of their own: the
    // report would not be whole. The first of them is `person`'s of `date` (as stored).
    static QString unplacedProblem(int count, const QString& person, const QString& date);
    // The day rows of the block whose first row is `top`: each row's date and weekday (empty
    // where the period has no day), the constants of columns 5..`columns` cleared.
    void writeDayRows(grid::Sheet& sheet, int top, int columns) const;
    // The person's header text and the period in row 3 of the block whose first row is `top`.
    void writeHeader(grid::Sheet& sheet, int top, int columns, const QString& person) const;

    // The dates labelling day rows 5..36 (entry r - 5 for row r), the rows the records of
    // those dates are placed on: the period runs down from row 5 in date order (the 15th to the
    // 14th starts with the 15th), its first 31 days. Invalid bounds give no dates.
    static std::array<QDate, 32> dayRowDates(const QString& start, const QString& end);

private:
    QString m_start, m_end;
    std::array<QDate, 32> m_dates;
    std::array<double, 32> m_serials{}; // the spreadsheet day numbers of m_dates
};

} // namespace talor
