#pragma once

#include "commands/CommandBar.h"
#include "commands/CommandRules.h"
#include "commands/ImageList.h"
#include "commands/ModuleMenus.h"
#include "entry/Activation.h"
#include "entry/ArrangeControls.h"
#include "entry/MainWindowLoad.h"
#include "entry/MainWindowState.h"
#include "entry/ModuleCommands.h"
#include "entry/ModuleParts.h"
#include "entry/TreeSearch.h"
#include "entry/WindowDesign.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace talor {

class SuiteServices;
class UiService;
namespace grid {
class SheetView;
class Workbook;
} // namespace grid

// The main window "考勤日报": department tree, employee list, grid, toolbar with the option
// buttons, the sum box and the date picker, menus, labels and picture. Controls carry the
// module's names as object names (TreeView1, Toolbar1, Option1, MN01, MNE1, ...).
//
// showModal() runs the load step, shows the window modally without owner, activates it and
// returns when the operator closes it (MN08 or the window box), after the unload step.
// Activation runs after the first show and after the commands whose rule asks for it
// (commands/CommandRules.h: the dialogs of the menus, another module's component, a report
// kind button); the same rules say which commands ask the unsaved-data guard first.
class frmKQJL : public QMainWindow, private LoadTarget, private ModuleView
{
    Q_OBJECT

public:
    // `launcher` starts external modules; null means programs and components for real
    // (components from the dll folder of the suite's application directory).
    frmKQJL(SuiteServices& suite, UiService& ui, ModuleLauncher* launcher = nullptr,
            QWidget* parent = nullptr);
    ~frmKQJL() override;

    // What the module's parts are built over (clszh builds them): the window as they see it,
    // the module's state and recordsets, and the workbook that the grid F1Book1 shows.
    ModuleView& view() { return *this; }
    MainWindowState& state() { return m_state; }
    ModuleRecordsets& records() { return m_records; }
    grid::Workbook& book() { return *m_book; }

    // The module's commands that the window's controls run (ModuleParts); with none plugged in
    // (null) they run nothing of the module. The window does not own them.
    void setCommands(ModuleCommands* commands) { m_commands = commands; }

    // Shows the window where it was when the operator last closed it (its size and place are
    // kept per user, in $XDG_CONFIG_HOME/talor/window.ini, apart from the suite's settings)
    // and returns when it is closed.
    void showModal();
    // The load and activation steps of showModal, for a window shown without its modal loop.
    void load();
    void activate();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's steps, run by its controls, its timer and showModal.
    void arrangeControls();
    void timerTick();
    void unload();
    void buildCommandBar();
    void runMenuCommand(MenuCommand command);
    void toolbarButtonClick(int index);
    void optionClick(int kind);
    void check1Click();
    void datePickerChanged(const QDate& date);
    // The About box frmAbout, modally (MN07 after its guard).
    void showAboutBox();
    // The abnormal overview of the clicked node over the period (frmKQJLOverview.cpp).
    void showOverview();

    QTreeWidgetItem* treeNode(const QString& key) const;
    QAction* menuAction(MenuCommand command) const;

    // ModuleView: what the clicks and the layout read from and write to the window.
    bool discardUnsavedData() override;
    std::optional<SelectedNode> selectedNode() const override;
    std::optional<EmployeeItem> selectedEmployee() const override;
    int employeeCount() const override;
    void showEmployees(const QList<EmployeeItem>& items) override;
    bool sumChecked() const override;
    void setLabel(int number, const QString& text) override;
    void showListError(const QString& message) override;
    void setHeadingLayout(bool heading) override;
    // Sets the date picker without running its change reaction.
    void setPickerDate(const QDate& date) override;
    void showStatus(const QString& text) override;
    QWidget* dialogParent() override { return this; }
    // ModuleView: what editing needs of the window (frmKQJLEditing.cpp).
    void showMessage(const QString& text) override;
    bool confirm(const QString& text, const QString& title) override;
    void focusGrid() override;
    void startCellEdit() override;
    void showExternalMenu(const std::array<QString, 7>& captions, bool popUp, int x, int y) override;
    QString personnelLibrary() const override;
    void runComponent(const QString& className) override;

    // The client area's inner width and height in twips (ArrangeControls' scale size).
    int scaleWidth() const;
    int scaleHeight() const;
    double dpi() const { return design::dpi(*this); }

    QString commandCaption(MenuCommand command) const;
    void showHelp();
    void restorePlacement();
    void savePlacement() const;
    void buildPeriodPicker();
    // Shows the suite's period in the period picker, without reacting to it.
    void showPeriod();
    // The period picker's dates made the suite's period, kept for the next start, and the
    // report shown again; a period that ends before it starts is refused in the status bar.
    void periodEdited();
    // Tells `problem` with the period kept, until a period is taken.
    void refusePeriod(const QString& problem);
    void periodPicked(int index);
    // The search above the tree (frmKQJLSearch.cpp): what is typed selects the first node or
    // person that matches, Enter the next one, Down goes on into the tree.
    void buildSearch();
    void searchEdited(const QString& text);
    void searchNext();
    void showMatch();
    // Places the search field and the tree below it in `area`, the tree's designed place.
    void placeTreeArea(const QRect& area);
    QTreeWidgetItem* nodeByNames(const QStringList& names) const;
    void buildControls();
    void buildMenus();
    void buildOverviewCommand();
    // Kind 1 of the person `number` of the clicked node, through Option1 and the list.
    void showPersonPeriod(const QString& number);
    void applyCommandBar();
    void applyOptionButtons();
    void redisplay();
    // The module's tree and list clicks, each ended by a message when it fails.
    void clickTree(QTreeWidgetItem* node);
    void clickList();
    // A report about to be shown anew: the status bar drops what it said about the one before
    // (a search, an output's result, a period refused) and goes back to what the load and the
    // layout found.
    void clearReportStatus();
    // Runs `command` on the plugged-in module commands as the step `step`; false (and nothing
    // run) while none are plugged in. A failure is reported here, since it must not leave
    // through the event loop.
    bool runCommand(const QString& step, const std::function<void(ModuleCommands&)>& command);
    // A menu command's own work, after its guard; how it ended decides the activation after it.
    CommandEnd runCommandOf(MenuCommand command);
    // MNE`position`: starts the external module of the menu and tells how that went.
    CommandEnd runExternalMenu(int position);
    // An external module item whose menu is not registered or not the operator's: told, and
    // true, before the unsaved-data guard asks anything.
    bool externalMenuRefused(MenuCommand command);
    void place(QWidget* widget, const TwipsRect& rect);
    void placeGrid();
    void connectGridEvents();
    void reportFailure(const QString& step, const std::exception& error);

    // LoadTarget
    // The set-up dialog frmYBXZ, modally.
    void showSetupDialog() override;
    void showTree(const TreeFillResult& tree) override;
    void prepareGrid() override;
    bool setBackgroundPicture(const QString& path) override;
    void setExternalMenuCaption(int position, const QString& caption) override;
    void setWindowCaption(const QString& caption) override;
    void setWindowIconFile(const QString& path) override;

    SuiteServices& m_suite;
    UiService& m_ui;
    std::unique_ptr<ModuleLauncher> m_ownLauncher;
    ModuleLauncher& m_launcher;
    MainWindowState m_state;
    ModuleRecordsets m_records;
    ModuleCommands* m_commands = nullptr;
    Activation m_activation;
    ImageList m_images;
    CommandBarLayout m_commandBar;
    OptionButtonsState m_options;
    std::array<bool, 3> m_optionEnabled{true, true, true};
    QTreeWidgetItem* m_currentNode = nullptr;
    QEventLoop* m_loop = nullptr;
    bool m_settingPicker = false;
    bool m_settingPeriod = false;
    bool m_inTick = false;
    bool m_gridCoversBanner = false;
    // What the load found (names twice in the tree), and with it what the last layout found (a
    // picture or the template missing): they hold until the next load or layout.
    QString m_loadStatus;
    QString m_layoutStatus;
    // The period the pickers show and the window refused (the report keeps the one before), told
    // until a period is taken.
    QString m_periodRefusal;

    QWidget* m_client = nullptr;
    QLineEdit* m_search = nullptr;
    TreeSearch m_finder;
    std::vector<TreeSearch::Match> m_matches;
    size_t m_match = 0;
    QString m_wantedPerson; // the list key of the person found, selected when listed
    QTreeWidget* m_tree = nullptr;
    QListWidget* m_list = nullptr;
    std::unique_ptr<grid::Workbook> m_book;
    grid::SheetView* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QFrame* m_frame = nullptr;
    std::array<QRadioButton*, 3> m_option{};
    QCheckBox* m_check = nullptr;
    QDateEdit* m_picker = nullptr;
    // The period of kinds 1 and 3: a quick pick and its two dates ("PeriodPick", "PeriodFrom",
    // "PeriodTo").
    QComboBox* m_periodPick = nullptr;
    QDateEdit* m_periodFrom = nullptr;
    QDateEdit* m_periodTo = nullptr;
    QLabel* m_image = nullptr;
    std::array<QLabel*, 3> m_label{};
    QStatusBar* m_status = nullptr;
    QTimer* m_timer = nullptr;
    std::array<QAction*, 8> m_menuItems{};     // MN01..MN08
    std::array<QAction*, 7> m_externalItems{}; // MNE1..MNE7
};

} // namespace talor
