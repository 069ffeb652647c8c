// The main window as the parts of the module see it (ModuleView): the selected node and
// item, the employee list, the labels, the grid's place, the status bar; and the grid's
// events handed to the module's commands.
#include "commands/UnsavedDataGuard.h"
#include "entry/WindowDesign.h"
#include "entry/frmKQJL.h"
#include "grid/SheetView.h"
#include "ui/UiService.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTreeWidget>

namespace talor {

namespace {

constexpr int EmployeeImage = 18;

} // namespace

void frmKQJL::connectGridEvents()
{
    const QString step = QStringLiteral("表格");
    connect(m_grid, &grid::SheetView::mouseButton, this, [this, step](int button, int shift, int x, int y) {
        runCommand(step, [&](ModuleCommands& commands) { commands.gridMouseButton(button, shift, x, y); });
    });
    connect(m_grid, &grid::SheetView::cellClicked, this, [this, step](int row, int col) {
        runCommand(step, [&](ModuleCommands& commands) { commands.gridClick(row, col); });
    });
    connect(m_grid, &grid::SheetView::cellDoubleClicked, this, [this, step](int row, int col) {
        runCommand(step, [&](ModuleCommands& commands) { commands.gridDoubleClick(row, col); });
    });
    connect(m_grid, &grid::SheetView::editText, this, [this, step](QString& text) {
        runCommand(step, [&](ModuleCommands& commands) { commands.gridEditText(text); });
    });
    connect(m_grid, &grid::SheetView::pasteRefused, this, [this](const QStringList& cells) {
        m_ui.message(this,
                     QStringLiteral("粘贴：以下的格不能编辑，没有粘贴：") + cells.join(QStringLiteral("、")));
    });
    connect(m_grid, &grid::SheetView::selectionChanged, this,
            [this, step] { runCommand(step, &ModuleCommands::gridSelectionChange); });
}

bool frmKQJL::discardUnsavedData()
{
    const bool hadEdits = m_state.DataChanged;
    if (!unsavedDataGuard(m_state.DataChanged, m_ui, this))
        return false;
    if (hadEdits && m_commands)
        m_commands->endEditing();
    return true;
}

std::optional<SelectedNode> frmKQJL::selectedNode() const
{
    // The node the report shows stays the one last clicked or entered, wherever the tree's
    // cursor has moved since without Enter: a new date or period shows that node again.
    const QTreeWidgetItem* item = m_currentNode ? m_currentNode : m_tree->currentItem();
    if (!item)
        return std::nullopt;
    SelectedNode node;
    node.key = item->data(0, Qt::UserRole).toString();
    node.text = item->text(0);
    if (const QTreeWidgetItem* parent = item->parent()) {
        node.parentText = parent->text(0);
        if (const QTreeWidgetItem* grandparent = parent->parent())
            node.grandparentText = grandparent->text(0);
    }
    return node;
}

std::optional<EmployeeItem> frmKQJL::selectedEmployee() const
{
    const QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return std::nullopt;
    return EmployeeItem{item->data(Qt::UserRole).toString(), item->text()};
}

int frmKQJL::employeeCount() const
{
    return m_list->count();
}

void frmKQJL::showEmployees(const QList<EmployeeItem>& items)
{
    m_list->clear();
    const QIcon icon(QPixmap::fromImage(m_images.image(EmployeeImage)));
    for (const EmployeeItem& employee : items) {
        auto* item = new QListWidgetItem(icon, employee.text, m_list);
        item->setData(Qt::UserRole, employee.key);
        // The person the search found, now that the list holds them.
        if (employee.key == m_wantedPerson)
            m_list->setCurrentItem(item);
    }
}

bool frmKQJL::sumChecked() const
{
    return m_check->isChecked();
}

void frmKQJL::setLabel(int number, const QString& text)
{
    m_label[size_t(number - 1)]->setText(text);
}

void frmKQJL::showListError(const QString& message)
{
    m_ui.message(this, message, UiService::Buttons::Ok);
}

void frmKQJL::showStatus(const QString& text)
{
    m_status->showMessage(text);
}

void frmKQJL::setHeadingLayout(bool heading)
{
    for (QLabel* label : m_label)
        label->setVisible(heading);
    m_gridCoversBanner = !heading;
    placeGrid();
}

void frmKQJL::placeGrid()
{
    // The grid starts below the banner picture, or over it when the template prints its own
    // header (cell layout); 1100 twips stay free at the bottom.
    const int top = m_gridCoversBanner ? m_image->y() : m_image->y() + m_image->height();
    const int bottom = m_client->height() - twipsToPixels(1100, dpi());
    m_grid->setGeometry(m_grid->x(), top, m_grid->width(), qMax(bottom - top, 0));
    if (m_gridCoversBanner) {
        m_grid->raise();
        return;
    }
    // The title, period and person labels lie on the picture.
    m_image->raise();
    for (QLabel* label : m_label)
        label->raise();
}

} // namespace talor
