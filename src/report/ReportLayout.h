#pragma once

#include <QDate>
#include <QString>

namespace talor {

class ColumnFields;
class SuiteServices;
struct ReportPatterns;
struct SheetState;
namespace grid {
class Workbook;
}

// The default template of report kind `kind` (1 to 3) of the current report:
// the template directory + "/" + ReportKey + kind + ".vts" (TemplateFiles.h maps what a file
// name cannot hold). Activation (which option buttons
// are enabled) and the layout both ask here.
QString defaultTemplatePath(SuiteServices& suite, int kind);
// The template the layout loads for `kind`: the file named by setting TALOR / ReportKey +
// "REPORT" + kind when it is not empty and exists, else the default template when it exists,
// else the empty text.
QString reportTemplatePath(SuiteServices& suite, int kind);
// The report kind as the layout reads ReportOption: "2" and "3", anything else 1.
int reportKind(const QString& option);

// What the layout changes outside the grid: the labels above it and where the grid lies.
class LayoutView
{
public:
    virtual ~LayoutView() = default;
    virtual void setLabel(int number, const QString& text) = 0; // Label1..Label3
    // Heading layout: labels shown, the grid below the banner picture; cell layout: labels
    // hidden, the grid over the banner.
    virtual void setHeadingLayout(bool heading) = 0;
    // DTPicker1, without running its change reaction.
    virtual void setPickerDate(const QDate& date) = 0;
    // Tells the operator what the layout could not do (a template file that is missing), in
    // the status bar: the layout runs again on every redisplay, and a question box each time
    // would stand in the operator's way.
    virtual void showStatus(const QString& text) = 0;
};

// LayoutReport: loads the current report kind's template into the workbook (without one it
// names the missing file to the operator and lays out what the grid holds), writes its
// captions and labels, reads the column definitions into ColumnField (up to the "ok" heading,
// at most 100 columns) with the facts of their fields, places the grid, sets the frozen
// columns and the title, and switches the editing permissions off. Before it cuts the sheet
// down to its header it keeps the template's first data row (kinds 1, 2) or its 36-row person
// block (kind 3), so that every data row or block the clicks write looks like the template's.
class ReportLayout
{
public:
    struct Parts
    {
        SuiteServices& suite;
        SheetState& sheetState;
        ColumnFields& columns;
        ReportPatterns& patterns;
        grid::Workbook& book;
    };

    explicit ReportLayout(const Parts& parts);

    void LayoutReport(LayoutView& view);
    // Empties every cell of rows and columns 1 to 30 that holds no formula.
    void BlankGrid();

    static constexpr int MaxColumns = 100;
    static inline const QString Terminator = QStringLiteral("ok");

private:
    Parts m_parts;
};

} // namespace talor
