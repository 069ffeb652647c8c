#include "sheet/PeriodBlock.h"

#include "db/Recordset.h"
#include "grid/Sheet.h"
#include "grid/SheetBulkWriter.h"
#include "text/TextFunctions.h"

#include <QDateTime>
#include <cmath>

namespace talor {

namespace {

const QString PeriodJoin = QStringLiteral(" 至 ");
const QString DayFormat = QStringLiteral("yyyy-mm-dd");

QDate dateOf(const QString& text)
{
    const auto read = text::parseDateTime(text);
    return read ? read->date() : QDate();
}

// The date of a record's zhdate, field number `zhdate` (a date, or a date text); invalid when
// unreadable.
QDate dateOfRecord(const Recordset& records, int zhdate)
{
    const QVariant value = records.value(zhdate);
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString();
    // SQLite's stored form "yyyy-mm-dd" of a real date, read digit by digit.
    auto digits = [&](qsizetype from, qsizetype count) {
        int n = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            if (!text[i].isDigit() || text[i].unicode() > '9')
                return -1;
            n = n * 10 + (text[i].unicode() - '0');
        }
        return n;
    };
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
        if (year > 0 && month > 0 && day > 0 && QDate::isValid(year, month, day))
            return QDate(year, month, day);
    }
    // Read as a day number: a date-time in the local zone costs more than the whole record.
    const auto serial = text::dateSerialOf(text);
    const auto read = serial ? text::dateTimeFromSerial(std::floor(*serial)) : std::nullopt;
    return read ? read->date() : QDate();
}

} // namespace

int PeriodBlock::maxPersons()
{
    return grid::Sheet::MaxRows / Rows;
}

PeriodBlock::PeriodBlock(const QString& start, const QString& end)
    : m_start(start), m_end(end), m_dates(dayRowDates(start, end))
{
    for (size_t i = 0; i < m_dates.size(); ++i) {
        if (m_dates[i].isValid())
            m_serials[i] = text::dateSerial(QDateTime(m_dates[i], QTime(0, 0)));
    }
}

QString PeriodBlock::periodText(const QString& start, const QString& end)
{
    return start + PeriodJoin + end;
}

int PeriodBlock::rowOfRecord(const Recordset& records, int zhdate) const
{
    const QDate date = dateOfRecord(records, zhdate);
    if (!date.isValid() || !m_dates[0].isValid())
        return 0;
    // A row per date: a day of the month may come twice (1 February to 3 March).
    const qint64 i = m_dates[0].daysTo(date);
    return i >= 0 && i < Days && m_dates[size_t(i)] == date ? HeaderRows + int(i) + 1 : 0;
}

int PeriodBlock::placeRecord(const Recordset& records, int zhdate, TakenRows& taken) const
{
    const int row = rowOfRecord(records, zhdate);
    if (row == 0 || taken.test(size_t(row - FirstDayRow)))
        return 0;
    taken.set(size_t(row - FirstDayRow));
    return row;
}

QString PeriodBlock::unplacedProblem(int count, const QString& person, const QString& date)
{
    return QStringLiteral(
               "部门一期有 %1 条记录没有自己的日期行，未显示（日期读不出、不在期间内或同一天已有记录）")
               .arg(count) +
           QStringLiteral("：第一条是 %1 的 %2").arg(person, date);
}

void PeriodBlock::writeDayRows(grid::Sheet& sheet, int top, int columns) const
{
    for (int r = FirstDayRow; r <= Rows; ++r) {
        const int row = top + r - 1;
        const size_t day = size_t(r - FirstDayRow);
        if (m_dates[day].isValid()) {
            // The date as typed in, without writing and reading back its text.
            sheet.setNumber(row, 1, m_serials[day], DayFormat);
            sheet.setNumber(row, 2, m_dates[day].dayOfWeek() % 7);
        } else {
            sheet.setPlainText(row, 1, QString());
            sheet.setPlainText(row, 2, QString());
        }
        if (columns >= 5)
            grid::SheetBulkWriter(sheet).clearConstants(row, 5, columns);
    }
}

void PeriodBlock::writeHeader(grid::Sheet& sheet, int top, int columns, const QString& person) const
{
    sheet.setPlainText(top + PersonRow - 1, 1, person);
    sheet.setPlainText(top + PersonRow - 1, columns, periodText());
}

QString PeriodBlock::periodProblem(const QString& start, const QString& end)
{
    const QDate from = dateOf(start);
    const QDate to = dateOf(end);
    if (!from.isValid() || !to.isValid() || from.daysTo(to) < Days)
        return {};
    return QStringLiteral("部门一期每人一块，只有 %1 天的行：%2 至 %3 超过 %1 天").arg(Days).arg(start, end);
}

std::array<QDate, 32> PeriodBlock::dayRowDates(const QString& start, const QString& end)
{
    std::array<QDate, 32> rows{};
    const QDate from = dateOf(start);
    const QDate to = dateOf(end);
    if (!from.isValid() || !to.isValid())
        return rows;
    for (int i = 0; i < Days && from.addDays(i) <= to; ++i)
        rows[size_t(i)] = from.addDays(i);
    return rows;
}

} // namespace talor
