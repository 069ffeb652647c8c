#pragma once

#include "query/RecordQueries.h"
#include "sheet/SheetLayout.h"

#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace talor {

class ColumnFields;
class Recordset;
class SuiteServices;
struct ReportPatterns;
struct SheetState;
namespace grid {
class Sheet;
class Workbook;
} // namespace grid

// An item of the employee list: key "A" + memberid, text memberid + " " + name.
struct EmployeeItem
{
    QString key;
    QString text;
    bool operator==(const EmployeeItem&) const = default;
};

// What the clicks need from the window (or from a batch run without one): the selected tree
// node and list item, the sum box, the labels, the employee list and the operator's answers.
class SelectionView
{
public:
    virtual ~SelectionView() = default;
    // The unsaved-data guard: true when the click may go on (the operator's OK clears the
    // unsaved state); false leaves everything as it is.
    virtual bool discardUnsavedData() = 0;
    // The tree node last clicked or entered (else the tree's current one); nothing when none.
    virtual std::optional<SelectedNode> selectedNode() const = 0;
    // The list's selected item; nothing when none is selected.
    virtual std::optional<EmployeeItem> selectedEmployee() const = 0;
    virtual int employeeCount() const = 0;
    // Replaces the employee list (image 18 for every item).
    virtual void showEmployees(const QList<EmployeeItem>& items) = 0;
    // Check1 ("合计") is ticked.
    virtual bool sumChecked() const = 0;
    // Label1..Label3.
    virtual void setLabel(int number, const QString& text) = 0;
    // The list click's error message (OK button only, the application's title).
    virtual void showListError(const QString& message) = 0;
    // A line in the status bar.
    virtual void showStatus(const QString& text) = 0;
};

// The department tree and employee list clicks: the guard, the queries, and the grid filled
// by the record display for report kind 1 (the employee list, then one person's period), 2
// (a node's employees on one day, with the optional sum row) and 3 (one 36-row block per
// employee over the period, each with its day rows and sum row).
class SelectionClicks
{
public:
    struct Parts
    {
        SuiteServices& suite;
        const QueryState& queryState;
        const SheetState& sheetState;
        Recordset& EmployeeRecords;
        Recordset& PersonTemplateRecords;
        const ColumnFields& columns;
        const ReportPatterns& patterns;
        grid::Workbook& book;
    };

    SelectionClicks(const Parts& parts, SelectionView& view);

    // TreeView1's node click, on the selected node.
    void treeClick();
    // The node the employee list was last filled from (kind 1's tree click); nothing before
    // one. The tree's selection may have moved on since without a click.
    const std::optional<SelectedNode>& listedNode() const { return m_listedNode; }
    // The report laid out anew on a bare template: the sheet shows no one's records (editing
    // and saving find none until a node or person is shown again) and, the list emptied, no
    // node's persons are listed.
    void forgetShown();
    // ListView1's item click, on the selected item (report kind 1). Errors after its start
    // are shown as the message "bSQL:... --- str2:... --- j:..." and end the click.
    void listClick();
    // Kind 1 shown again (a new period, the sum box, a refresh): the person shown, wherever the
    // list's cursor has moved since without a choice; before any person, listClick(). Unsaved
    // edits are asked about first.
    void redisplayPerson();
    // One person's period in the grid, labels and sheet name, as the list click shows it (the
    // print command's batch and each person of `talor report` are shown so). The department,
    // group and team names are those of the person's first record in the period, where the
    // person worked then (from the person's employee row when the period has none). Throws on
    // a failing query.
    void showPerson(const QString& number, const QString& name);
    // Kind 1: the person shown last read and shown again (the period, the sum box or the
    // database may have changed); nothing when no person is shown.
    void showPersonAgain();
    // The department, group and team names of a record's depart, group0 and team codes
    // (empty for a null code, all empty at the end of the records).
    std::array<QString, 3> namesOf(const Recordset& record) const;

    QString ActionText;
    int RowCursor = 0;
    int BlockCursor = 0;
    // After kind 3: what the operator is told when records of the period had no day row of
    // their own (PeriodBlock::unplacedProblem), shown in the status bar; empty when every
    // record is shown.
    QString UnplacedRecords;
    // Kind 3 reads the period rows of the node's persons together and shares them out person
    // by person (PeriodRecords); false runs each person's period query on its own. Both give
    // the same grid, recordsets and suite texts. Together on every engine: from a server each
    // statement is a round trip, and from a local file it costs less than a statement per
    // person as well (about 0.8 of the time), the more so on a busy machine.
    bool sharedPeriodRead = true;

    // The list click's error text.
    static QString listErrorText(const QString& query, const QString& actionText, int rowCursor);

private:
    // showPerson(), a failure shown as listClick() shows it.
    void showPersonOrSay(const QString& number, const QString& name);
    grid::Sheet& sheet();
    // Kinds 1 and 2: the records of EmployeeRecords from the first data row on, with the sum
    // row when Check1 is ticked, or one cleared row when there are none.
    void showRecords();
    void showPeriodOfNode(const SelectedNode& node);
    // namesOf(record), made the suite's.
    void setNodeNamesFrom(const Recordset& record);
    void setSheetName(const QString& name);
    void writeBesideLabel(const QString& label, const QString& value);
    QString nodeNames() const;
    // The node as kind 2 and 3 name it: its names, or the organisation's for the whole of it.
    QString nodePlace() const;

    Parts m_parts;
    SelectionView& m_view;
    RecordQueries m_queries;
    std::optional<SelectedNode> m_listedNode;
    std::optional<std::pair<QString, QString>> m_shownPerson; // number and name
};

} // namespace talor
