// The main window's steps: load, activation, command bar, menu commands, the redisplay
// reactions and unload. Controls are built in frmKQJL.cpp.
#include "about/frmAbout.h"
#include "commands/CommandRules.h"
#include "commands/DesignedImages.h"
#include "commands/UnsavedDataGuard.h"
#include "entry/WindowDesign.h"
#include "entry/frmKQJL.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "modulesettings/ModuleSettings.h"
#include "setup/frmYBXZ.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace talor {

namespace {

QIcon iconOf(const ImageList& images, int image, int selectedImage = 0)
{
    QIcon icon;
    if (image > 0)
        icon.addPixmap(QPixmap::fromImage(images.image(image)), QIcon::Normal);
    if (selectedImage > 0)
        icon.addPixmap(QPixmap::fromImage(images.image(selectedImage)), QIcon::Selected);
    return icon;
}

} // namespace

void frmKQJL::reportFailure(const QString& step, const std::exception& error)
{
    m_ui.message(this, step + "失败: " + QString::fromUtf8(error.what()), UiService::Buttons::Ok,
                 QStringLiteral("系统提示"));
}

QString frmKQJL::commandCaption(MenuCommand command) const
{
    // The menu's caption without its mnemonic: "保存内容(&S)" is the command 保存内容.
    static const QRegularExpression mnemonic(QStringLiteral("\\(&\\w\\)|&"));
    return menuAction(command)->text().remove(mnemonic);
}

bool frmKQJL::runCommand(const QString& step, const std::function<void(ModuleCommands&)>& command)
{
    if (!m_commands)
        return false;
    try {
        command(*m_commands);
    } catch (const std::exception& error) {
        reportFailure(step, error);
    }
    return true;
}

void frmKQJL::clickTree(QTreeWidgetItem* node)
{
    if (!node)
        return;
    clearReportStatus();
    runCommand(QStringLiteral("部门查询"), [node](ModuleCommands& commands) { commands.treeClick(node); });
}

void frmKQJL::clickList()
{
    clearReportStatus();
    runCommand(QStringLiteral("人员查询"), &ModuleCommands::listClick);
}

void frmKQJL::clearReportStatus()
{
    // A period refused still holds while the pickers show it: the report is of another period.
    QString text = m_layoutStatus;
    if (!m_periodRefusal.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("；")) + m_periodRefusal;
    m_status->showMessage(text);
}

// --- Load -------------------------------------------------------------------------------

void frmKQJL::load()
{
    // A new load starts from the designed window: pictures, enabled option buttons, no node.
    m_images = DesignedImages::imageList();
    m_optionEnabled = {true, true, true};
    m_currentNode = nullptr;
    m_status->clearMessage();
    try {
        MainWindowLoad(m_suite, m_records, m_state, *this).run();
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("载入"), error);
    }
    m_loadStatus = m_layoutStatus = m_status->currentMessage();
    m_timer->start();
}

void frmKQJL::showTree(const TreeFillResult& tree)
{
    m_tree->clear();
    QHash<QString, QTreeWidgetItem*> items;
    QTreeWidgetItem* last = nullptr;
    for (const TreeNode& node : tree.nodes) {
        QTreeWidgetItem* parent = items.value(node.parentKey);
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, node.text);
        item->setData(0, Qt::UserRole, node.key);
        item->setIcon(0, iconOf(m_images, node.image, node.selectedImage));
        items.insert(node.key, item);
        last = item;
    }
    if (last)
        m_tree->scrollToItem(last);
    std::vector<TreeSearch::Node> searched;
    for (const TreeNode& node : tree.nodes)
        searched.push_back({node.key, node.text});
    m_finder = TreeSearch();
    m_finder.setNodes(std::move(searched));
    m_matches.clear();
    if (!tree.duplicates.isEmpty())
        m_status->showMessage("部门树中名称重复的项目已略过: " + tree.duplicates.join(QStringLiteral("、")));
}

void frmKQJL::showSetupDialog()
{
    frmYBXZ dialog(m_suite, m_ui, m_records.TreeRecords[0], m_records.MenuRecords, this);
    m_ui.execDialog(dialog);
}

void frmKQJL::prepareGrid()
{
    m_book->setSheetName(1, QString());
    m_book->setAllowInCellEditing(false);
}

bool frmKQJL::setBackgroundPicture(const QString& path)
{
    QImage picture;
    if (!picture.load(path))
        return false;
    m_image->setPixmap(QPixmap::fromImage(picture));
    return true;
}

void frmKQJL::setExternalMenuCaption(int position, const QString& caption)
{
    m_externalItems[size_t(position - 1)]->setText(caption);
}

void frmKQJL::setWindowCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void frmKQJL::setWindowIconFile(const QString& path)
{
    const QIcon icon(path);
    if (!icon.isNull())
        setWindowIcon(icon);
}

// --- Activation -------------------------------------------------------------------------

void frmKQJL::activate()
{
    try {
        m_activation.readReportState(m_state);
        if (m_activation.needsRebuild()) {
            // A new layout: what was said about the report before it goes.
            m_status->showMessage(m_loadStatus);
            buildCommandBar();
            arrangeControls();
            if (m_commands)
                m_commands->layoutReport();
            m_layoutStatus = m_status->currentMessage();
            clearReportStatus();
            const QString option = m_suite.reportOption();
            if (option == "1" || option == "3")
                m_list->clear();
            m_suite.setRefreshFlag(2);
        }
        const int left = Activation::frameLeft(design::ButtonWidth, m_commandBar.visibleButtonCount());
        m_frame->move(twipsToPixels(left, dpi()), m_frame->y());
        m_options = m_activation.optionButtons(m_optionEnabled);
        applyOptionButtons();
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("窗口激活"), error);
    }
}

void frmKQJL::applyOptionButtons()
{
    m_optionEnabled = m_options.enabled;
    for (int k = 1; k <= 3; ++k) {
        m_option[size_t(k - 1)]->setChecked(k == m_options.checked);
        m_option[size_t(k - 1)]->setEnabled(m_options.enabled[size_t(k - 1)]);
    }
    m_picker->setVisible(m_options.datePickerVisible);
}

void frmKQJL::optionClick(int kind)
{
    const CommandRule rule = reportKindRule(kind);
    if (rule.guard && !discardUnsavedData()) {
        applyOptionButtons(); // the kind shown stays checked
        return;
    }
    try {
        m_activation.selectReportKind(kind);
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("报表类型"), error);
        return;
    }
    m_check->setChecked(false);
    m_check->setEnabled(kind != 3);
    if (rule.activatesAfter(CommandEnd::Ran))
        activate();
}

// --- Command bar --------------------------------------------------------------------------

void frmKQJL::buildCommandBar()
{
    m_commandBar = CommandBar(m_suite, m_records.MenuRecords, m_images).build();
    applyCommandBar();
}

void frmKQJL::applyCommandBar()
{
    const double d = dpi();
    // clear() only takes the buttons off the bar; the actions stay children of the bar and are
    // deleted here. Later, since a click on one of them may be what rebuilds the bar.
    const QList<QAction*> old = m_toolbar->actions();
    m_toolbar->clear();
    for (QAction* action : old)
        action->deleteLater();
    for (size_t i = 0; i < m_commandBar.buttons.size(); ++i) {
        const ToolButtonSpec& button = m_commandBar.buttons[i];
        QAction* action = m_toolbar->addAction(iconOf(m_images, button.image), button.caption);
        action->setObjectName(button.key);
        action->setData(int(i + 1));
        action->setVisible(button.visible);
        if (QWidget* widget = m_toolbar->widgetForAction(action))
            widget->setFixedSize(twipsToPixels(design::ButtonWidth, d),
                                 twipsToPixels(design::ButtonHeight, d));
    }
    for (size_t i = 0; i < m_menuItems.size(); ++i)
        m_menuItems[i]->setVisible(m_commandBar.menuVisible[i]);
    // The modules' names as the settings hold them now (the set-up dialog may have changed them).
    const ModuleSettings settings(m_suite);
    for (size_t i = 0; i < m_externalItems.size(); ++i) {
        m_externalItems[i]->setText(settings.read(keys::ExternalMenu, int(i) + 1));
        m_externalItems[i]->setVisible(m_commandBar.externalMenuVisible[i]);
    }
    if (!m_commandBar.missingPictures.isEmpty())
        m_status->showMessage("图片无法载入: " + m_commandBar.missingPictures.join(QStringLiteral(", ")));
}

void frmKQJL::toolbarButtonClick(int index)
{
    const MenuCommand command = CommandBar::commandOfButton(index);
    if (command != MenuCommand::None)
        runMenuCommand(command);
}

void frmKQJL::runMenuCommand(MenuCommand command)
{
    // Every command works on the sheet as the operator sees it: a cell still in its editor is
    // written first (and so saved, validated, printed or exported with the rest).
    m_grid->commitEdit();
    const CommandRule rule = commandRule(command);
    if (externalMenuRefused(command))
        return;
    const bool hadEdits = m_state.DataChanged;
    if (rule.guard && !discardUnsavedData())
        return;
    const bool editsGivenUp = rule.guard && hadEdits;
    bool laidOutAnew = false;
    if (rule.activatesAfter(runCommandOf(command))) {
        laidOutAnew = m_activation.needsRebuild();
        activate();
    }
    // The edits given up at the guard are no longer shown as if they were still to be saved.
    if (editsGivenUp && rule.showsStoredAfter && !laidOutAnew)
        redisplay();
}

bool frmKQJL::externalMenuRefused(MenuCommand command)
{
    const int external = int(command) - int(MenuCommand::MNE1);
    if (external < 0 || external >= 7)
        return false;
    std::optional<ModuleMenuOutcome> refused;
    try {
        refused = ModuleMenus(m_suite, m_records.MenuRecords, m_launcher).refusal(external + 1);
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("外挂模块"), error);
        return true;
    }
    if (refused)
        m_ui.message(this, refused->message, UiService::Buttons::Ok, refused->title);
    return refused.has_value();
}

CommandEnd frmKQJL::runCommandOf(MenuCommand command)
{
    // The commands whose whole work is another part's operation.
    using Operation = void (ModuleCommands::*)();
    const std::pair<MenuCommand, Operation> parts[] = {
        {MenuCommand::MN01, &ModuleCommands::selectReport}, {MenuCommand::MN02, &ModuleCommands::editContent},
        {MenuCommand::MN03, &ModuleCommands::saveContent},  {MenuCommand::MN04, &ModuleCommands::preview},
        {MenuCommand::MN05, &ModuleCommands::print},        {MenuCommand::MN06, &ModuleCommands::exportExcel},
    };
    for (const auto& [partCommand, operation] : parts)
        if (command == partCommand)
            return runCommand(commandCaption(command), operation) ? CommandEnd::Ran : CommandEnd::NotRun;
    const int external = int(command) - int(MenuCommand::MNE1);
    if (external >= 0 && external < 7)
        return runExternalMenu(external + 1);
    switch (command) {
    case MenuCommand::MN07:
        showAboutBox();
        return CommandEnd::Ran;
    case MenuCommand::MN08:
        close();
        return CommandEnd::Ran;
    default:
        return CommandEnd::NotRun;
    }
}

CommandEnd frmKQJL::runExternalMenu(int position)
{
    ModuleMenuOutcome outcome;
    try {
        outcome = ModuleMenus(m_suite, m_records.MenuRecords, m_launcher).clickExternalMenu(position);
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("外挂模块"), error);
        return CommandEnd::NotRun;
    }
    if (!outcome.message.isEmpty())
        m_ui.message(this, outcome.message, UiService::Buttons::Ok, outcome.title);
    return outcome.kind == ModuleMenuOutcome::Kind::ComponentRun ? CommandEnd::ComponentRan : CommandEnd::Ran;
}

void frmKQJL::showAboutBox()
{
    frmAbout about(
        m_suite, m_ui, [this] { showSetupDialog(); }, this);
    m_ui.execDialog(about);
}

// --- Redisplay ------------------------------------------------------------------------------

void frmKQJL::redisplay()
{
    // With no node clicked yet there is nothing to show again. Kind 1 shows its person again,
    // not the one the list's cursor has moved to since without a choice.
    if (m_suite.reportOption() == "1") {
        clearReportStatus();
        runCommand(QStringLiteral("人员查询"), &ModuleCommands::redisplayPerson);
    } else {
        clickTree(m_currentNode);
    }
}

void frmKQJL::check1Click()
{
    // Unsaved edits are asked about before the sum row comes or goes: Cancel keeps the box as
    // it was, and the edits savable.
    if (!discardUnsavedData()) {
        m_check->setChecked(!m_check->isChecked());
        return;
    }
    redisplay();
}

void frmKQJL::datePickerChanged(const QDate& date)
{
    // Unsaved edits are asked about before the day changes: Cancel keeps the day shown.
    if (!discardUnsavedData()) {
        setPickerDate(m_suite.reportDate());
        return;
    }
    m_suite.setReportDate(date);
    clickTree(m_currentNode);
}

void frmKQJL::timerTick()
{
    // Ticks wait while another modal window of the module is open, and never nest.
    const QWidget* modal = QApplication::activeModalWidget();
    if (m_inTick || (modal && modal != this) || m_suite.refreshFlag() != 1)
        return;
    m_inTick = true;
    try {
        redisplay();
    } catch (const std::exception& error) {
        reportFailure(QStringLiteral("刷新"), error);
    }
    // Settled even after a failure, so that it is reported once and not at every tick.
    m_suite.setRefreshFlag(2);
    m_inTick = false;
}

// --- Unload ---------------------------------------------------------------------------------

void frmKQJL::unload()
{
    m_timer->stop();
    // Every failure here is ignored; each statement runs whatever the previous one did.
    try {
        m_suite.setCurrentTable(m_suite.savedTable());
    } catch (...) {
    }
    try {
        if (!m_suite.currentTable().isEmpty())
            m_suite.setViewName(m_suite.tableLookup({}, m_suite.currentTable()));
    } catch (...) {
    }
}

} // namespace talor
