#pragma once

#include "entry/MainWindowHooks.h"
#include "entry/ModuleContext.h"
#include "entry/PrintCommands.h"
#include "query/SelectionClicks.h"
#include "report/ReportLayout.h"
#include "sheet/SheetEditing.h"

#include <memory>

class QWidget;

namespace talor {

// The window side of the parts: the clicks', the layout's and editing's views, and the status
// bar. Without an operator (the batch report) messages go to the status and questions are
// declined.
class ModuleView : public SelectionView, public LayoutView, public EditingView
{
public:
    virtual void showStatus(const QString& text) = 0;
    bool sumChecked() const override = 0;
    void showMessage(const QString& text) override { showStatus(text); }
    bool confirm(const QString&, const QString&) override { return false; }
    // The owner of the output commands' dialogs (preview, progress, file); none without a window.
    virtual QWidget* dialogParent() { return nullptr; }
};

// The module's dialogs that the parts open, built where widgets are (ReportDialogs for the
// main window).
class ModuleDialogs
{
public:
    virtual ~ModuleDialogs() = default;
    // MN01: the select-report dialog frmSQL0, modally.
    virtual void selectReport() = 0;
};

// The wiring point of the module: builds the layout and the clicks over one context and
// plugs them into the main window's hooks (clszh does this when zh first runs). The batch
// report uses the same parts with a view of its own.
class ModuleParts
{
public:
    // `clock` gives the time of the log workbooks' names (the system clock when empty).
    ModuleParts(SuiteServices& suite, UiService& ui, MainWindowState& state, ModuleRecordsets& records,
                grid::Workbook& book, ModuleView& view, SheetLog::Clock clock = {});

    // `dialogs` null leaves the dialog commands saying that they are not available.
    void connect(MainWindowHooks& hooks, ModuleDialogs* dialogs = nullptr);

    ModuleContext& context() { return m_context; }
    ReportLayout& layout() { return m_layout; }
    SelectionClicks& clicks() { return m_clicks; }
    SheetEditing& editing() { return m_editing; }
    PrintCommands& output() { return m_output; }
    void layoutReport() { m_layout.LayoutReport(m_view); }

    // The status text of a command that is not available (the select-report dialog without
    // the window's dialogs).
    static QString notAvailable(const QString& caption)
    {
        return caption + QStringLiteral(": 此功能暂不可用");
    }

private:
    ColumnFields m_columns;
    ReportPatterns m_patterns;
    ModuleContext m_context;
    ModuleView& m_view;
    ReportLayout m_layout;
    SelectionClicks m_clicks;
    SheetEditing m_editing;
    PrintCommands m_output;
};

} // namespace talor
