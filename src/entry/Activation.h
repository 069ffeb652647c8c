#pragma once

#include "entry/MainWindowState.h"

#include <QString>
#include <array>

namespace talor {

class SuiteServices;

// The state of the option buttons Option1..Option3 and the date picker after an activation.
struct OptionButtonsState
{
    std::array<bool, 3> enabled{true, true, true};
    int checked = 3; // 1, 2 or 3
    bool datePickerVisible = false;
};

// The parts of the main window's activation that need no widgets.
class Activation
{
public:
    explicit Activation(SuiteServices& suite);

    // Steps 1 to 3: the report's conditions, the abnormal colours and BlankZero.
    void readReportState(MainWindowState& state) const;
    // True when the activation must rebuild the command bar, layout and grid (RefreshFlag 0).
    bool needsRebuild() const;
    // Step 6: which option button is checked, whether the date picker shows, and which buttons
    // stay enabled; a button whose report kind has no template is disabled and a disabled
    // button is never enabled again here.
    OptionButtonsState optionButtons(const std::array<bool, 3>& enabledNow) const;

    // The module's abnormal colours 1..3 from its settings (abnormalColourValue), whichever report is current
    // (the grid of a named report shows white rows; the abnormal overview shows the module's marks).
    std::array<quint32, 3> moduleAbnormalColours() const;
    // Frame1's left edge: the toolbar's button width times the visible buttons, plus 200 twips.
    static int frameLeft(int buttonWidth, int visibleButtons) { return buttonWidth * visibleButtons + 200; }

    // An option button click with report kind `kind` (1 to 3): writes R+"OPT" and MODEL8/OPT,
    // resets RefreshFlag to 0 and makes the kind current. The caller unchecks Check1, enables
    // it for kinds 1 and 2, and runs the activation.
    void selectReportKind(int kind);

private:
    SuiteServices& m_suite;
};

} // namespace talor
