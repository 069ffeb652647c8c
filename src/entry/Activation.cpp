#include "entry/Activation.h"

#include "modulesettings/ModuleSettings.h"
#include "modulesettings/SettingRules.h"
#include "report/ReportLayout.h"
#include "suite/SuiteServices.h"

#include <QFileInfo>

namespace talor {

Activation::Activation(SuiteServices& suite) : m_suite(suite) {}

void Activation::readReportState(MainWindowState& state) const
{
    ModuleSettings settings(m_suite);
    state.DeptCondition = settings.read(keys::DeptCondition);
    state.PersonCondition = settings.read(keys::PersonCondition);
    if (m_suite.reportKey() == m_suite.moduleKey()) {
        const auto colours = moduleAbnormalColours();
        state.AbnormalColour1 = colours[0];
        state.AbnormalColour2 = colours[1];
        state.AbnormalColour3 = colours[2];
    } else {
        state.AbnormalColour1 = state.AbnormalColour2 = state.AbnormalColour3 = MainWindowState::White;
    }
    state.BlankZero = settings.read(keys::ReportBlankZero) == "YES";
}

std::array<quint32, 3> Activation::moduleAbnormalColours() const
{
    ModuleSettings settings(m_suite);
    std::array<quint32, 3> colours{};
    for (int n = 1; n <= 3; ++n)
        colours[size_t(n - 1)] = abnormalColourValue(settings.read(keys::AbnormalColour, n));
    return colours;
}

bool Activation::needsRebuild() const
{
    return m_suite.refreshFlag() == 0;
}

OptionButtonsState Activation::optionButtons(const std::array<bool, 3>& enabledNow) const
{
    OptionButtonsState out;
    out.enabled = enabledNow;
    const QString option = m_suite.reportOption();
    out.checked = option == "1" ? 1 : option == "2" ? 2 : 3;
    out.datePickerVisible = out.checked == 2;
    for (int kind = 1; kind <= 3; ++kind)
        if (kind != out.checked && !QFileInfo(defaultTemplatePath(m_suite, kind)).isFile())
            out.enabled[size_t(kind - 1)] = false;
    return out;
}

void Activation::selectReportKind(int kind)
{
    const QString k = QString::number(kind);
    ModuleSettings settings(m_suite);
    settings.write(keys::ReportKind, k);
    settings.write(keys::DesignerKind, k);
    m_suite.setRefreshFlag(0);
    m_suite.setReportOption(k);
}

} // namespace talor
