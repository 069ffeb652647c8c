#include "query/SelectionClicks.h"

#include "db/Recordset.h"
#include "grid/SheetBulkWriter.h"
#include "grid/Workbook.h"
#include "query/PeriodRecords.h"
#include "sheet/ColumnFields.h"
#include "sheet/PeriodBlock.h"
#include "sheet/RecordDisplay.h"
#include "sheet/SheetLayout.h"
#include "sheet/TemplatePattern.h"
#include "suite/SuiteServices.h"
#include "text/TextFunctions.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace talor {

namespace {

const QString Query = QStringLiteral("查询");
const QString Department = QStringLiteral("部门");
// Period-report blocks whose formulas are recomputed together during the fill.
constexpr int RecalculatedBlocks = 4;

// The one place where the grid is filled with many cells at once: the sheet recalculates its
// formulas and tells its views once, after the whole fill, instead of after every cell.
void fillSheet(grid::Sheet& sheet, const std::function<void()>& fill)
{
    grid::Sheet::Batch batch(sheet);
    fill();
}

} // namespace

SelectionClicks::SelectionClicks(const Parts& parts, SelectionView& view)
    : m_parts(parts), m_view(view), m_queries(parts.suite)
{}

grid::Sheet& SelectionClicks::sheet()
{
    return m_parts.book.active();
}

// The template's header rows may label the day and the place ("日期：", "部门："): the cell
// beside such a label gets the value, so that screen, paper and workbook say which day and
// which department the report is of.
void SelectionClicks::writeBesideLabel(const QString& label, const QString& value)
{
    grid::Sheet& grid = sheet();
    if (sheetLayoutOf(grid) != SheetLayout::Cell)
        return;
    const int rows = std::min(grid.lastRow(), headerRows(SheetLayout::Cell));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c < grid.lastColumn(); ++c) {
            QString text = grid.text(r, c).trimmed();
            if (text.endsWith(u'：') || text.endsWith(u':'))
                text.chop(1);
            if (text.trimmed() == label) {
                grid.setPlainText(r, c + 1, value);
                return;
            }
        }
    }
}

void SelectionClicks::setSheetName(const QString& name)
{
    m_parts.book.setSheetName(1, name);
}

QString SelectionClicks::nodeNames() const
{
    SuiteServices& suite = m_parts.suite;
    return suite.departmentName() + suite.groupName() + suite.teamName();
}

QString SelectionClicks::nodePlace() const
{
    SuiteServices& suite = m_parts.suite;
    return suite.departmentName().isEmpty() && suite.groupName().isEmpty() ? suite.organisationName()
                                                                           : nodeNames();
}

QString SelectionClicks::listErrorText(const QString& query, const QString& actionText, int rowCursor)
{
    return "bSQL:" + query + " --- str2:" + actionText + " --- j:" + QString::number(rowCursor);
}

void SelectionClicks::forgetShown()
{
    UnplacedRecords.clear();
    m_shownPerson.reset();
    m_parts.EmployeeRecords.close();
    m_listedNode.reset();
}

void SelectionClicks::treeClick()
{
    if (!m_view.discardUnsavedData())
        return;
    const std::optional<SelectedNode> node = m_view.selectedNode();
    if (!node)
        return;
    SuiteServices& suite = m_parts.suite;
    ActionText = suite.action(Query);
    suite.setViewName(suite.tableLookup(QString(), suite.currentTable()));
    const QString kind = suite.reportOption();
    const SheetState& state = m_parts.sheetState;

    if (kind == QLatin1String("1")) {
        Recordset& records = m_parts.EmployeeRecords;
        records.open(m_queries.SQL0(*node, m_parts.queryState.SuiteFilter), suite.connection());
        QList<EmployeeItem> items;
        for (; !records.eof(); records.moveNext()) {
            const QString number = records.text(QStringLiteral("memberid"));
            items.append({"A" + number, number + " " + records.text(QStringLiteral("name"))});
        }
        m_view.showEmployees(items);
        m_listedNode = *node;
        // The grid goes on showing the person shown before, as stored: edits given up at the
        // guard are not left in it, and its records are that person's again.
        showPersonAgain();
    } else if (kind == QLatin1String("2")) {
        m_parts.EmployeeRecords.open(m_queries.SQL1(*node, m_parts.queryState.DeptCondition),
                                     suite.connection(), Recordset::ManyRows);
        showRecords();
        m_view.setLabel(2, suite.reportDate().toString(QStringLiteral("yyyy-MM-dd")));
        const QString place = nodePlace();
        m_view.setLabel(3, place);
        writeBesideLabel(QStringLiteral("日期"), suite.reportDate().toString(QStringLiteral("yyyy-MM-dd")));
        writeBesideLabel(QStringLiteral("部门"), place);
        setSheetName(place + state.ReportTitle);
    } else if (kind == QLatin1String("3")) {
        showPeriodOfNode(*node);
    }
    m_view.setLabel(1, state.ReportTitle);
}

void SelectionClicks::showRecords()
{
    UnplacedRecords.clear();
    Recordset& records = m_parts.EmployeeRecords;
    grid::Sheet& grid = sheet();
    const int header = headerRows(sheetLayoutOf(grid));
    const int columns = grid.lastColumn();
    const TemplatePattern& pattern = m_parts.patterns.dataRow;
    RecordDisplay display(m_parts.suite, m_parts.sheetState, m_parts.columns, grid);
    RowCursor = 0;
    fillSheet(grid, [&] {
        for (; !records.eof(); records.moveNext()) {
            ++RowCursor;
            if (!pattern.isEmpty())
                pattern.stamp(grid, RowCursor + header);
            display.DisplayMRecord(records, RowCursor + header, columns);
        }
        // The selection goes back to A1 after every record; once at the end leaves the same.
        if (RowCursor > 0) {
            grid.setActiveCell(1, 1);
            records.moveFirst();
        }
        if (RowCursor > 0) {
            grid.setLastRow(RowCursor + header);
            if (m_view.sumChecked()) {
                const int sumRow = grid.lastRow() + 1;
                grid.setLastRow(sumRow);
                display.DisplaySum(header, sumRow, columns);
            }
        } else {
            const int row = header + 1;
            grid.setLastRow(row);
            if (!pattern.isEmpty())
                pattern.stamp(grid, row);
            for (int c = 1; c <= columns; ++c)
                if (!grid.isFormula(row, c))
                    grid.setPlainText(row, c, QString());
        }
    });
}

void SelectionClicks::showPeriodOfNode(const SelectedNode& node)
{
    UnplacedRecords.clear();
    SuiteServices& suite = m_parts.suite;
    Recordset& persons = m_parts.PersonTemplateRecords;
    Recordset& records = m_parts.EmployeeRecords;
    const QString start = suite.periodStart();
    const QString end = suite.periodEnd();
    // A block has a row for 31 days: the records of a longer period would overwrite each other.
    if (const QString problem = PeriodBlock::periodProblem(start, end); !problem.isEmpty())
        throw std::length_error(
            QString(problem + QStringLiteral("，请选定不超过 %1 天的期间").arg(PeriodBlock::Days))
                .toStdString());
    persons.open(m_queries.SQL0(node, m_parts.queryState.SuiteFilter), suite.connection());
    const PeriodBlock period(start, end);
    const QString names = nodeNames();
    const QString title = m_parts.sheetState.ReportTitle;
    grid::Sheet& grid = sheet();
    const int columns = grid.lastColumn();
    const TemplatePattern& block = m_parts.patterns.block;
    RecordDisplay display(suite, m_parts.sheetState, m_parts.columns, grid);

    const QString& condition = m_parts.queryState.PersonCondition;
    PeriodRecords periods(m_queries, suite.connection(), start, end, condition, sharedPeriodRead);
    QStringList numbers;
    for (; !persons.eof(); persons.moveNext())
        numbers.append(persons.text(QStringLiteral("memberid")));
    persons.moveFirst();
    // A block per person: more persons than the sheet has rows for are refused before anything
    // is shown, rather than shown cut short as if that were the whole report.
    const int fit = PeriodBlock::maxPersons();
    if (!PeriodBlock::fits(numbers.size()))
        throw std::length_error(
            QStringLiteral(
                "部门一期每人占 %1 行，一张表最多容纳 %2 人；%3 有 %4 人，请选定其中的部门、组或班")
                .arg(PeriodBlock::Rows)
                .arg(fit)
                .arg(node.text)
                .arg(numbers.size())
                .toStdString());
    periods.setPersons(numbers);
    BlockCursor = 0;
    int unplaced = 0;
    QString firstPerson, firstDate; // of the first record without a row
    fillSheet(grid, [&] {
        for (; !persons.eof(); persons.moveNext()) {
            const int top = PeriodBlock::Rows * BlockCursor + 1;
            if (!block.isEmpty())
                block.stamp(grid, top);
            const QString& number = numbers[BlockCursor];
            // The person's query text goes to the suite as each person comes, as ever.
            periods.open(number, m_queries.periodQuery(number, start, end, condition), records);
            period.writeDayRows(grid, top, columns);
            // Found once per person; records without the field fail as reading it by name does.
            const int zhdate = records.eof() ? -1 : records.column(QStringLiteral("zhdate"));
            if (zhdate < 0 && !records.eof())
                records.value(QStringLiteral("zhdate"));
            PeriodBlock::TakenRows taken;
            for (; !records.eof(); records.moveNext()) {
                if (const int row = period.placeRecord(records, zhdate, taken); row > 0) {
                    display.DisplayMRecord(records, top + row - 1, columns);
                } else if (++unplaced == 1) {
                    firstPerson = number + u' ' + persons.text(QStringLiteral("name"));
                    firstDate = records.text(zhdate);
                }
            }
            display.DisplaySum(top + PeriodBlock::HeaderRows - 1, top + PeriodBlock::SumRow - 1, columns);
            grid.setLastRow(top + PeriodBlock::Rows - 1);
            // The whole organisation has no names of its own: each person's are shown instead.
            QString own = names;
            if (own.isEmpty()) {
                const auto [d, g, t] = namesOf(persons);
                own = d + g + t;
            }
            period.writeHeader(grid, top, columns,
                               persons.text(QStringLiteral("name")) + "(" + number + "," + own + ")");
            // The formulas of the last few blocks while their cells are still in the cache
            // (four blocks share one plan: each alone costs more in planning than it saves).
            if (BlockCursor % RecalculatedBlocks == RecalculatedBlocks - 1)
                talor::grid::SheetBulkWriter(grid).recalculateWrittenRows();
            ++BlockCursor;
        }
        if (BlockCursor == 0) {
            if (!block.isEmpty())
                block.stamp(grid, 1);
            period.writeDayRows(grid, 1, columns);
            grid.setLastRow(PeriodBlock::Rows);
            period.writeHeader(grid, 1, columns, QStringLiteral("姓名(工号,") + names + ")");
        }
    });
    // The sheet holds the whole node, a block a person: it is named after the node, so that a
    // page header or footer of its name (&A) carries no one person's name onto the others' pages.
    setSheetName(nodePlace() + title);
    if (unplaced > 0) {
        UnplacedRecords = PeriodBlock::unplacedProblem(unplaced, firstPerson, firstDate);
        m_view.showStatus(UnplacedRecords);
    }
}

void SelectionClicks::listClick()
{
    if (!m_view.discardUnsavedData())
        return;
    // No person chosen in the list (refilled by a node's click, maybe empty): the person shown
    // stays, shown again.
    const std::optional<EmployeeItem> item =
        m_view.employeeCount() == 0 ? std::nullopt : m_view.selectedEmployee();
    if (!item) {
        showPersonAgain();
        return;
    }
    showPersonOrSay(item->key.mid(1), item->text.mid(item->key.size()).trimmed());
}

void SelectionClicks::redisplayPerson()
{
    if (!m_shownPerson)
        return listClick();
    if (m_view.discardUnsavedData())
        showPersonOrSay(m_shownPerson->first, m_shownPerson->second);
}

void SelectionClicks::showPersonOrSay(const QString& number, const QString& name)
{
    const auto before = m_shownPerson;
    const QString numberBefore = m_parts.suite.personNumber(), nameBefore = m_parts.suite.personName();
    try {
        showPerson(number, name);
    } catch (const std::exception& error) {
        // The person who could not be read is not the one shown: showing again reads the last
        // person shown, not this one.
        m_shownPerson = before;
        m_parts.suite.setPersonNumber(numberBefore);
        m_parts.suite.setPersonName(nameBefore);
        // First in words what failed and the engine's reason, then the query's own text.
        m_view.showListError(QStringLiteral("读取该人员的考勤记录失败：") + QString::fromUtf8(error.what()) +
                             u'\n' + listErrorText(m_parts.suite.composedQuery(), ActionText, RowCursor));
    }
}

std::array<QString, 3> SelectionClicks::namesOf(const Recordset& record) const
{
    SuiteServices& suite = m_parts.suite;
    auto decoded = [&](const QString& field, const std::function<QString(const QString&)>& decode) {
        return record.eof() || record.isNull(field) ? QString() : decode(record.text(field));
    };
    const QString d = decoded(QStringLiteral("depart"),
                              [&](const QString& code) { return suite.categoryName(Department, code); });
    const QString g =
        decoded(QStringLiteral("group0"), [&](const QString& code) { return suite.groupName(d, code); });
    const QString t =
        decoded(QStringLiteral("team"), [&](const QString& code) { return suite.teamName(d, g, code); });
    return {d, g, t};
}

void SelectionClicks::setNodeNamesFrom(const Recordset& record)
{
    const auto [d, g, t] = namesOf(record);
    m_parts.suite.setDepartmentName(d);
    m_parts.suite.setGroupName(g);
    m_parts.suite.setTeamName(t);
}

void SelectionClicks::showPersonAgain()
{
    if (m_shownPerson)
        showPerson(m_shownPerson->first, m_shownPerson->second);
}

void SelectionClicks::showPerson(const QString& number, const QString& name)
{
    m_shownPerson = std::pair(number, name);
    SuiteServices& suite = m_parts.suite;
    suite.setPersonNumber(number);
    suite.setPersonName(name);
    RowCursor = 0;
    ActionText = suite.action(Query);
    Recordset& records = m_parts.EmployeeRecords;
    records.open(m_queries.periodQuery(number, suite.periodStart(), suite.periodEnd(),
                                       m_parts.queryState.PersonCondition),
                 suite.connection());
    if (!records.eof()) {
        setNodeNamesFrom(records);
    } else {
        // No records in the period: the names of the person's row of the employee table, so
        // that the labels and the sheet do not keep the person shown before.
        Recordset employee;
        employee.open(RecordQueries::employeeQuery(number), suite.connection());
        setNodeNamesFrom(employee);
    }
    showRecords();
    m_view.setLabel(2, PeriodBlock::periodText(suite.periodStart(), suite.periodEnd()));
    const QString label3 = name + "(" + number + "," + nodeNames() + ")";
    m_view.setLabel(3, label3);
    setSheetName(label3 + m_parts.sheetState.ReportTitle);
    m_view.setLabel(1, m_parts.sheetState.ReportTitle);
}

} // namespace talor
