#pragma once

#include "entry/ModuleParts.h"
#include "query/AbnormalOverview.h"
#include "report/PrintRun.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace talor {

namespace grid {
class Workbook;
}

// A request that names something the suite does not have (a node, a person, a report, a
// date): the message says what and how it should look.
class BatchRequestError : public std::runtime_error
{
public:
    explicit BatchRequestError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// What `talor report` asks for.
struct BatchReportRequest
{
    int kind = 2;     // 1, 2 or 3
    QString node;     // a tree key: "ROOT", "A" + department, "B" + ..., "C" + ...
    QString person;   // memberid, for kind 1
    QDate date;       // kind 2's day; invalid keeps the suite's report date
    QDate from, to;   // the period of kinds 1 and 3; invalid keeps the suite's period
    QString report;   // a report name; empty for the module's own report
    bool sum = false; // Check1
};

// The report as the window would show it, without a window: the load's part that the report
// needs (CurrentTable, ReportKey, the tree, the report's conditions and colours), then the
// layout and the tree click (and for kind 1 the list click on the person) through the same
// parts as the window, into a workbook of its own.
class BatchReport : private ModuleView
{
public:
    explicit BatchReport(SuiteServices& suite);
    ~BatchReport() override;

    // Throws BatchRequestError for an unknown node, person or report, DatabaseError and
    // SuiteError for failures of the suite's database, GridFileError for a bad or missing template.
    void run(const BatchReportRequest& request);
    // Kind 1 without a person: every person of the node in list order, each shown in the book
    // and then handed to `each` with its place (from 1) and the number of persons. Throws as
    // run() does, and BatchRequestError for a node without employees.
    using EachPerson = std::function<void(int index, int count, const QString& name)>;
    void runEachPerson(const BatchReportRequest& request, const EachPerson& each);

    // The abnormal overview of the request's node over its period, read with the conditions of
    // the node's period report (kind 3). Throws as run() does.
    AbnormalOverview overview(const BatchReportRequest& request);
    // The module's abnormal colours 1..3, as the overview shows the kinds.
    std::array<quint32, 3> abnormalColours() const;

    // The report in the book as the output commands write it (pages, Excel workbook).
    PrintRun output();

    grid::Workbook& book();
    // The parts the report ran through, with their recordsets and state, for a caller that goes
    // on from the report (edits, saves).
    ModuleParts& parts();
    // What the report left out, as the window's status bar tells it (the records of a kind-3
    // period without a day row of their own); empty when the report is whole.
    QString leftOut();
    // Label1..Label3 after the run.
    QString label(int number) const { return m_labels.value(number - 1); }

private:
    // ModuleView
    bool discardUnsavedData() override { return true; }
    std::optional<SelectedNode> selectedNode() const override { return m_node; }
    std::optional<EmployeeItem> selectedEmployee() const override { return m_employee; }
    int employeeCount() const override { return int(m_employees.size()); }
    void showEmployees(const QList<EmployeeItem>& items) override { m_employees = items; }
    bool sumChecked() const override { return m_sum; }
    void setLabel(int number, const QString& text) override { m_labels[number - 1] = text; }
    void showListError(const QString& message) override;
    void setHeadingLayout(bool) override {}
    void setPickerDate(const QDate&) override {}
    void showStatus(const QString&) override {}

    // The load's steps the request needs; `layout`: the report is laid out by its template,
    // which must exist.
    void prepare(const BatchReportRequest& request, bool layout = true);
    SelectedNode findNode(const QString& key);

    struct Parts;
    std::unique_ptr<Parts> p;
    SuiteServices& m_suite;
    std::optional<SelectedNode> m_node;
    std::optional<EmployeeItem> m_employee;
    QList<EmployeeItem> m_employees;
    bool m_sum = false;
    QStringList m_labels{QString(), QString(), QString()};
};

} // namespace talor
