// The main window as editing sees it: messages and the save question through the UI service,
// the grid's focus and in-place editing, the external-module popup and the personnel module.
#include "entry/ModuleRegistry.h"
#include "entry/frmKQJL.h"
#include "grid/SheetTableView.h"
#include "grid/SheetView.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace talor {

void frmKQJL::showMessage(const QString& text)
{
    m_ui.message(this, text, UiService::Buttons::Ok);
}

bool frmKQJL::confirm(const QString& text, const QString& title)
{
    return m_ui.message(this, text, UiService::Buttons::YesNo, title) == UiService::Answer::Yes;
}

void frmKQJL::focusGrid()
{
    activateWindow();
    m_grid->table()->setFocus(Qt::OtherFocusReason);
}

void frmKQJL::startCellEdit()
{
    m_grid->startEdit();
}

void frmKQJL::showExternalMenu(const std::array<QString, 7>& captions, bool popUp, int x, int y)
{
    for (size_t n = 0; n < captions.size(); ++n) {
        m_externalItems[n]->setText(captions[n]);
        m_externalItems[n]->setVisible(!captions[n].isEmpty());
    }
    if (!popUp) {
        m_externalItems[0]->setVisible(true);
        return;
    }
    if (auto* menu = menuBar()->findChild<QMenu*>(QStringLiteral("MNE")))
        menu->popup(m_grid->mapToGlobal(QPoint(x, y)));
}

QString frmKQJL::personnelLibrary() const
{
    const ModuleRegistry registry(ModuleRegistry::dllDirectoryOf(m_suite.applicationDirectory()));
    for (const QString& file : registry.candidateFiles(SheetEditing::PersonnelClass))
        if (QFileInfo(file).isFile())
            return file;
    return {};
}

void frmKQJL::runComponent(const QString& className)
{
    m_launcher.runComponent(className);
}

} // namespace talor
