#pragma once

#include "entry/ModuleCommands.h"
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
    void showStatus(const QString& text) override = 0;
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
// gives the main window the module's commands over them (clszh plugs them into the window when
// zh first runs). The batch report uses the same parts with a view of its own.
class ModuleParts : public ModuleCommands
{
public:
    // `clock` gives the time of the log workbooks' names (the system clock when empty).
    ModuleParts(SuiteServices& suite, UiService& ui, MainWindowState& state, ModuleRecordsets& records,
                grid::Workbook& book, ModuleView& view, SheetLog::Clock clock = {});

    // The dialogs that commands open; without them (null) the select-report command says that
    // it is not available.
    void setDialogs(ModuleDialogs* dialogs) { m_dialogs = dialogs; }

    ModuleContext& context() { return m_context; }
    ReportLayout& layout() { return m_layout; }
    SelectionClicks& clicks() { return m_clicks; }
    SheetEditing& editing() { return m_editing; }
    PrintCommands& output() { return m_output; }

    // The status text of a command that is not available (the select-report dialog without
    // the window's dialogs).
    static QString notAvailable(const QString& caption)
    {
        return caption + QStringLiteral(": 此功能暂不可用");
    }

    // ModuleCommands
    // A layout shows no one: edits have no records to go to, and the batch print (the window
    // empties the person list after it) no node to walk.
    void layoutReport() override
    {
        m_layout.LayoutReport(m_view);
        m_clicks.forgetShown();
    }
    void treeClick(QTreeWidgetItem*) override { m_clicks.treeClick(); }
    void listClick() override { m_clicks.listClick(); }
    void redisplayPerson() override { m_clicks.redisplayPerson(); }
    void selectReport() override;
    void editContent() override { m_editing.editContent(); }
    void saveContent() override { m_editing.saveContent(); }
    void preview() override { m_output.preview(); }
    void print() override { m_output.print(); }
    void exportExcel() override { m_output.exportReport(); }
    void endEditing() override { m_editing.endEditing(); }
    void gridMouseButton(int button, int shift, int x, int y) override
    {
        m_editing.mouseButton(button, shift, x, y);
    }
    void gridClick(int row, int col) override { m_editing.cellClick(row, col); }
    void gridDoubleClick(int, int) override { m_editing.doubleClick(); }
    void gridEditText(QString& text) override { SheetEditing::enterText(text); }
    void gridSelectionChange() override { m_editing.selectionChange(); }

private:
    ColumnFields m_columns;
    ReportPatterns m_patterns;
    ModuleContext m_context;
    ModuleView& m_view;
    ReportLayout m_layout;
    SelectionClicks m_clicks;
    SheetEditing m_editing;
    PrintCommands m_output;
    ModuleDialogs* m_dialogs = nullptr;
};

} // namespace talor
