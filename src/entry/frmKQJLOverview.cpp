// The abnormal overview of the clicked node over the period (查询 menu, Ctrl+G), and the way
// from a person in it to the person's period report (kind 1), as the operator would go there:
// Option1, the node's click (which lists its employees), the person's click in the list.
#include "entry/PeriodPicks.h"
#include "entry/frmKQJL.h"
#include "overview/frmOverview.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTreeWidget>

namespace talor {

void frmKQJL::buildOverviewCommand()
{
    auto* query = menuBar()->findChild<QMenu*>("MNA");
    QAction* action = query->addAction(QStringLiteral("异常一览(&G)..."));
    action->setObjectName("Overview");
    action->setShortcut(Qt::CTRL | Qt::Key_G);
    connect(action, &QAction::triggered, this, &frmKQJL::showOverview);
}

void frmKQJL::showOverview()
{
    QTreeWidgetItem* node = m_currentNode ? m_currentNode : m_tree->currentItem();
    if (!node) {
        showStatus(QStringLiteral("异常一览：请先在部门树中选定组织、部门、组或班"));
        return;
    }
    m_currentNode = node;
    m_tree->setCurrentItem(node);
    const auto [start, end] = periodDates(m_suite.periodStart(), m_suite.periodEnd());
    QString person;
    try {
        frmOverview dialog(AbnormalOverviewReader(m_suite, m_state).read(*selectedNode(), start, end),
                           m_activation.moduleAbnormalColours(), this);
        if (m_ui.execDialog(dialog) == QDialog::Accepted)
            person = dialog.chosenPerson();
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("异常一览"), error);
        return;
    }
    // As after every dialog of the window.
    activate();
    if (!person.isEmpty())
        showPersonPeriod(person);
}

void frmKQJL::showPersonPeriod(const QString& number)
{
    QRadioButton* option1 = m_option[0];
    if (!option1->isEnabled()) {
        showStatus(QStringLiteral("个人一期报表没有模板，不能显示"));
        return;
    }
    option1->click();
    if (m_suite.reportOption() != QLatin1String("1"))
        return; // the unsaved edits were kept (the guard's Cancel): the report stays as shown
    clickTree(m_currentNode);
    const QString key = "A" + number;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->data(Qt::UserRole).toString() == key) {
            m_list->setCurrentRow(i);
            m_list->scrollToItem(m_list->item(i));
            clickList();
            return;
        }
    }
    showStatus(QStringLiteral("异常一览：工号 %1 不在所选部门的人员列表中").arg(number));
}

} // namespace talor
