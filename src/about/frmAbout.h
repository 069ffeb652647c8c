#pragma once

#include <QDialog>
#include <functional>

class QLabel;

namespace talor {

class SuiteServices;
class UiService;

// The About box "关于TALOR.DLL": who made the module, the door to the set-up dialog behind the
// supervisor check (Command1 "&S 高级"), and two hidden switches for the grid's hand-off to the
// employee-file module: a click on the picture (Image1) writes "NO", a double-click on Label4
// writes "YES" to section "VELD", key ModuleKey + "-USE". Closing it settles RefreshFlag
// (2 unless it is 0), so the main window does not lay itself out again.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    // `openSetup` shows the set-up dialog; it is called only when the supervisor check passes.
    // A failure of the check or of `openSetup` is shown as a message; the box stays open.
    frmAbout(SuiteServices& suite, UiService& ui, std::function<void()> openSetup, QWidget* parent = nullptr);

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void onAdvanced();
    void writeHandOff(const QString& value);

    SuiteServices& m_suite;
    UiService& m_ui;
    std::function<void()> m_openSetup;
    QLabel* m_picture = nullptr;   // Image1
    QLabel* m_shortName = nullptr; // Label4
};

} // namespace talor
