#pragma once

#include "entry/ModuleContext.h"
#include "query/RecordQueries.h"
#include "report/PersonByPersonPrint.h"
#include "report/PrintRun.h"

#include <QString>

namespace talor {

class ModuleView;
class SelectionClicks;
class SheetEditing;

// The persons of a tree node as the print command's batch walks them: PersonTemplateRecords
// opened on SQL0 for the node, in that query's order, from a given person on. Each next()
// shows the person in the grid as the list click does, titled with the department, group and
// team of the person's first record in the period.
class PersonBatch : public PersonWalk
{
public:
    PersonBatch(ModuleContext& context, SelectionClicks& clicks);

    // Opens the list; the walk starts at the person numbered `from` (at the first person when
    // `from` is empty). The number of persons to walk: 0 when `from` is not in the list.
    int open(const SelectedNode& node, const QString& from);
    // The next person in the grid (status 100); false at the end of the list. Throws when the
    // person's records cannot be read.
    bool next() override;

    int count() const { return m_count; }
    int index() const override { return m_index; } // 1-based, of the person shown
    QString name() const override { return m_name; }
    QString number() const { return m_number; }

private:
    ModuleContext& m_context;
    SelectionClicks& m_clicks;
    int m_count = 0;
    int m_index = 0;
    QString m_name, m_number;
};

// The output commands of the main window over the report in the grid: preview (MN04), print
// (MN05) and export (MN06). Print of kind 2 and 3 prints the grid as shown; kind 1 is a batch
// over the persons of the node the employee list shows, from the person shown on: the first
// previewed, then the question whether to print the others, which then go to the printer in
// one job. The batch shows its progress in the status bar and a progress dialog whose 停止 ends
// it between persons. A long print of one report, and a long export, show their progress in a
// dialog whose 停止 drops them: nothing printed, no file written. Failures of single steps are
// named in the status bar; the command goes on. While a print runs the grid takes no typing
// (the batch shows person after person in it); after it the active cell is editable as
// selecting it makes it.
class PrintCommands
{
public:
    PrintCommands(ModuleContext& context, ModuleView& view, SelectionClicks& clicks, SheetEditing& editing);

    void preview();
    void print();
    void exportReport();
    // The work from which print and export show their progress.
    void setLongWork(PrintRun::LongWork longWork) { m_longWork = longWork; }

    // What the export writes is an Excel workbook (Excel 2007 and later): named .xlsx first;
    // .xls names stay offered for the suites that look for them, saying what they hold.
    static constexpr const char* ExportFilter = "Excel 工作簿(*.xlsx)|*.xlsx|Excel 工作簿，旧扩展名，内容为 "
                                                "Excel 2007 格式(*.xls)|*.xls|VTS FILE(*.vts)|*.vts";

private:
    PrintRun output();
    // The print itself, without the grid's editing around it.
    void printReport();
    void printBatch();
    // The status bar after a step: what was done, then the steps that failed.
    void report(const QString& done, const QStringList& skipped);

    ModuleContext& m_context;
    ModuleView& m_view;
    SelectionClicks& m_clicks;
    SheetEditing& m_editing;
    PrintRun::LongWork m_longWork;
};

} // namespace talor
