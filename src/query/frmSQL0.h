#pragma once

#include "query/ReportConditions.h"

#include <QDialog>
#include <array>
#include <functional>

class QListWidget;
class QPushButton;

namespace talor {

class SuiteServices;
class UiService;

// The select-report dialog "选定报表": List1 with the built-in report and the user reports,
// Command1..Command3 opening frmSQL1 to add, modify or delete a report and Command4 opening
// the template designer, all four behind the supervisor check (a failed check does nothing
// and says nothing); Command5 and a double-click on List1 make the selected report current
// and close, without a check. The list is filled again whenever frmSQL1 closes. Closing the
// dialog, however it closes, sets RefreshFlag to 0 so that the main window lays out the
// current report again.
class frmSQL0 : public QDialog
{
    Q_OBJECT

public:
    // `openDesigner` shows the template designer for the current report, modally.
    frmSQL0(SuiteServices& suite, UiService& ui, std::function<void()> openDesigner,
            QWidget* parent = nullptr);

    // The mode of the last frmSQL1 opened (EditMode); None before.
    EditMode editMode() const { return m_editMode; }

    void done(int result) override;

private:
    void buildControls();
    // Activate: fills List1 and selects the current report, or the last item.
    void fillList();
    void listClick();
    void edit(EditMode mode);
    void design();
    void choose();
    // Runs a handler; a settings failure is shown and the dialog stays open.
    void run(const std::function<void()>& handler);

    SuiteServices& m_suite;
    UiService& m_ui;
    ReportConditions m_reports;
    std::function<void()> m_openDesigner;
    EditMode m_editMode = EditMode::None;
    QListWidget* m_list = nullptr;            // List1
    std::array<QPushButton*, 5> m_commands{}; // Command1..Command5
};

} // namespace talor
