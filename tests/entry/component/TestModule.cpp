// "testmod": a tiny suite component for the registry tests. Its zh shows a dialog modally
// through the UI service it was given and counts its runs in the suite's status value.
#include "entry/SuiteComponent.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QDialog>

namespace {

class TestModule : public talor::SuiteComponent
{
public:
    TestModule(talor::SuiteServices& suite, talor::UiService& ui) : m_suite(suite), m_ui(ui) {}

    QString zh() override
    {
        QDialog dialog;
        dialog.setObjectName(QStringLiteral("testmodDialog"));
        dialog.setWindowTitle(QStringLiteral("testmod"));
        m_ui.execDialog(dialog);
        m_suite.setStatusValue(m_suite.statusValue() + 1);
        return QString();
    }

private:
    talor::SuiteServices& m_suite;
    talor::UiService& m_ui;
};

} // namespace

extern "C" Q_DECL_EXPORT talor::SuiteComponent* talor_create_component(talor::SuiteServices* suite,
                                                                       talor::UiService* ui)
{
    return new TestModule(*suite, *ui);
}
