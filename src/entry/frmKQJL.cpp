#include "entry/frmKQJL.h"

#include "commands/DesignedImages.h"
#include "entry/ArrangeControls.h"
#include "entry/ComponentLauncher.h"
#include "entry/ModuleRegistry.h"
#include "entry/PeriodPicks.h"
#include "entry/WindowDesign.h"
#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "sheet/PeriodBlock.h"
#include "suite/SuiteServices.h"
#include "ui/UiService.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace talor {

namespace {

std::unique_ptr<ModuleLauncher> ownLauncher(SuiteServices& suite, UiService& ui, ModuleLauncher* given)
{
    if (given)
        return nullptr;
    return std::make_unique<ComponentLauncher>(
        suite, ui, ModuleRegistry(ModuleRegistry::dllDirectoryOf(suite.applicationDirectory())));
}

// A date field that Tab leaves as it leaves every other control, instead of walking through
// its year, month and day (the arrow keys and the calendar reach those).
class DateField : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

} // namespace

frmKQJL::frmKQJL(SuiteServices& suite, UiService& ui, ModuleLauncher* launcher, QWidget* parent)
    : QMainWindow(parent), m_suite(suite), m_ui(ui), m_ownLauncher(ownLauncher(suite, ui, launcher)),
      m_launcher(launcher ? *launcher : *m_ownLauncher), m_activation(suite),
      m_images(DesignedImages::imageList()), m_book(std::make_unique<grid::Workbook>())
{
    setObjectName("frmKQJL");
    setWindowTitle(QStringLiteral("考勤日报"));
    buildControls();
    buildMenus();
    resize(twipsToPixels(design::WindowWidth, dpi()), twipsToPixels(design::WindowHeight, dpi()));
}

frmKQJL::~frmKQJL() = default;

void frmKQJL::buildControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName("client");
    setCentralWidget(m_client);
    m_client->installEventFilter(this);
    const double d = dpi();

    m_tree = new QTreeWidget(m_client);
    m_tree->setObjectName("TreeView1");
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setFrameShape(QFrame::Box);
    m_tree->setIconSize(QSize(16, 16));
    buildSearch();
    placeTreeArea(toPixels(design::Tree, d));
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        m_currentNode = item;
        clickTree(item);
    });
    m_tree->installEventFilter(this);

    m_list = new QListWidget(m_client);
    m_list->setObjectName("ListView1");
    m_list->setIconSize(QSize(16, 16));
    place(m_list, design::List);
    connect(m_list, &QListWidget::itemClicked, this, &frmKQJL::clickList);
    m_list->installEventFilter(this);

    m_grid = new grid::SheetView(m_client);
    m_grid->setObjectName("F1Book1");
    m_grid->setWorkbook(m_book.get());
    place(m_grid, design::Grid);
    connectGridEvents();

    m_toolbar = new QToolBar(m_client);
    m_toolbar->setObjectName("Toolbar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setMovable(false);
    m_toolbar->setGeometry(0, twipsToPixels(design::ToolbarTop, d), twipsToPixels(design::WindowWidth, d),
                           twipsToPixels(design::ToolbarHeight, d));
    connect(m_toolbar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { toolbarButtonClick(action->data().toInt()); });

    m_image = new QLabel(m_client);
    m_image->setObjectName("Image1");
    m_image->setScaledContents(true);
    m_image->setPixmap(QPixmap::fromImage(design::bannerPicture()));
    place(m_image, design::Image);

    const std::array<TwipsRect, 3> labels{design::Label1, design::Label2, design::Label3};
    for (size_t i = 0; i < 3; ++i) {
        m_label[i] = new QLabel(m_client);
        m_label[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        // Titles, dates and places come from the database and the template: shown as written.
        m_label[i]->setTextFormat(Qt::PlainText);
        m_label[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(m_label[i], labels[i]);
    }
    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * design::TitlePointSize / design::FontPointSize);
    title.setBold(true);
    m_label[0]->setFont(title);

    // Frame1 lies over the toolbar row and holds the report kind, the sum box and the date.
    m_frame = new QFrame(m_client);
    m_frame->setObjectName("Frame1");
    place(m_frame, design::Frame);
    auto* row = new QHBoxLayout(m_frame);
    row->setContentsMargins(4, 0, 4, 0);
    const char* captions[3] = {"个人一期", "部门一天", "部门一期"};
    for (int k = 1; k <= 3; ++k) {
        auto* option = new QRadioButton(QString::fromUtf8(captions[k - 1]), m_frame);
        option->setObjectName(QStringLiteral("Option%1").arg(k));
        connect(option, &QRadioButton::clicked, this, [this, k] { optionClick(k); });
        row->addWidget(option);
        m_option[size_t(k - 1)] = option;
    }
    m_check = new QCheckBox(QStringLiteral("合计"), m_frame);
    m_check->setObjectName("Check1");
    connect(m_check, &QCheckBox::clicked, this, [this] { check1Click(); });
    row->addWidget(m_check);
    m_picker = new DateField(m_frame);
    m_picker->setObjectName("DTPicker1");
    m_picker->setCalendarPopup(true);
    m_picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_picker->setDate(m_suite.reportDate().isValid() ? m_suite.reportDate() : QDate::currentDate());
    connect(m_picker, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (!m_settingPicker)
            datePickerChanged(date);
    });
    row->addWidget(m_picker);
    row->addStretch();

    m_status = new QStatusBar(m_client);
    m_status->setObjectName("StatusBar1");
    m_status->setSizeGripEnabled(false);
    buildPeriodPicker();

    m_timer = new QTimer(this);
    m_timer->setObjectName("Timer1");
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &frmKQJL::timerTick);

    // Tab walks the window from the search and the tree down and across, as the eye reads it:
    // the list, the report kind (the arrow keys choose among the kinds), 合计, the date, the
    // period (at the foot of the window: what the grid shows is chosen before it), then the
    // grid, where Tab moves from cell to cell and Ctrl+Tab leaves for the search again.
    QWidget::setTabOrder(m_search, m_tree);
    QWidget::setTabOrder(m_tree, m_list);
    QWidget::setTabOrder(m_list, m_option[0]);
    QWidget::setTabOrder(m_option[0], m_option[1]);
    QWidget::setTabOrder(m_option[1], m_option[2]);
    QWidget::setTabOrder(m_option[2], m_check);
    QWidget::setTabOrder(m_check, m_picker);
    QWidget::setTabOrder(m_picker, m_periodPick);
    QWidget::setTabOrder(m_periodPick, m_periodFrom);
    QWidget::setTabOrder(m_periodFrom, m_periodTo);
    QWidget::setTabOrder(m_periodTo, m_grid);
}

void frmKQJL::buildMenus()
{
    struct Item
    {
        const char* menu;
        const char* menuCaption;
        const char* name;
        const char* caption;
        MenuCommand command;
        QKeySequence shortcut;
    };
    // The captions are the module's own; the mnemonics follow them in brackets, as Chinese
    // programs show them ("查询(Q)"), so that Alt and the letter open a menu. A hidden
    // (restricted) item's shortcut does nothing.
    const Item items[] = {
        {"MNA", "查询(&Q)", "MN01", "选定模板(&T)", MenuCommand::MN01, QKeySequence::Open},
        {"MNB", "输入(&I)", "MN02", "编辑内容(&E)", MenuCommand::MN02, Qt::Key_F2},
        {"MNB", "输入(&I)", "MN03", "保存内容(&S)", MenuCommand::MN03, QKeySequence::Save},
        {"MNC", "输出(&O)", "MN04", "报表预览(&V)", MenuCommand::MN04, {}},
        {"MNC", "输出(&O)", "MN05", "报表打印(&P)", MenuCommand::MN05, QKeySequence::Print},
        {"MNC", "输出(&O)", "MN06", "EXCEL输出(&X)", MenuCommand::MN06, {}},
        {"MND", "帮助(&H)", "MN07", "关于(&A)...", MenuCommand::MN07, {}},
        {"MND", "帮助(&H)", "MN08", "退出(&X)", MenuCommand::MN08, Qt::CTRL | Qt::Key_Q},
    };
    QMenu* current = nullptr;
    for (const Item& item : items) {
        if (!current || current->objectName() != item.menu) {
            current = menuBar()->addMenu(QString::fromUtf8(item.menuCaption));
            current->setObjectName(item.menu);
        }
        QAction* action = current->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(item.name);
        action->setShortcut(item.shortcut);
        const MenuCommand command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { runMenuCommand(command); });
        m_menuItems[size_t(int(command) - int(MenuCommand::MN01))] = action;
    }
    buildOverviewCommand();
    // F1: the keys of the window and where the manual is.
    auto* help = new QAction(this);
    help->setObjectName("help");
    help->setShortcut(QKeySequence::HelpContents);
    connect(help, &QAction::triggered, this, &frmKQJL::showHelp);
    addAction(help);
    QMenu* external = menuBar()->addMenu(QStringLiteral("外挂(&W)"));
    external->setObjectName("MNE");
    for (int n = 1; n <= 7; ++n) {
        QAction* action = external->addAction(QStringLiteral("模块%1").arg(n));
        action->setObjectName(QStringLiteral("MNE%1").arg(n));
        const MenuCommand command = MenuCommand(int(MenuCommand::MNE1) + n - 1);
        connect(action, &QAction::triggered, this, [this, command] { runMenuCommand(command); });
        m_externalItems[size_t(n - 1)] = action;
    }
}

void frmKQJL::showHelp()
{
    m_ui.message(this,
                 QStringLiteral("考勤日报的按键：\n"
                                "Tab / Shift+Tab：在查找框、部门树、人员列表、报表种类、合计、日期、"
                                "期间和表格之间移动；\n"
                                "查找框：输入姓名、工号或部门名即选定，Enter 查下一个，↓ 进入部门树；\n"
                                "表格内 Tab 移到下一格，Ctrl+Tab 离开表格；\n"
                                "Enter：在部门树或人员列表上显示所选的报表；\n"
                                "F2：编辑内容，或编辑当前格；Ctrl+S：保存内容；Delete：清除所选的格；\n"
                                "Ctrl+C：复制所选的格，可粘贴到电子表格程序；Ctrl+V：粘贴，如同逐格输入；\n"
                                "Ctrl+D：向下填充；\n"
                                "Ctrl+O：选定模板；Ctrl+P：报表打印；Ctrl+Q：退出；\n"
                                "Ctrl+G：所选部门本期间的异常一览；\n"
                                "Alt+Q / I / O / H / W：打开菜单。\n\n"
                                "完整的说明：终端中的 man talor，以及 /usr/share/doc/talor 中的 README。"),
                 UiService::Buttons::Ok, QStringLiteral("帮助"));
}

QAction* frmKQJL::menuAction(MenuCommand command) const
{
    const int item = int(command) - int(MenuCommand::MN01);
    if (item >= 0 && item < 8)
        return m_menuItems[size_t(item)];
    const int external = int(command) - int(MenuCommand::MNE1);
    if (external >= 0 && external < 7)
        return m_externalItems[size_t(external)];
    return nullptr;
}

QTreeWidgetItem* frmKQJL::treeNode(const QString& key) const
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == key)
            return *it;
    return nullptr;
}

int frmKQJL::scaleWidth() const
{
    return pixelsToTwips(m_client->width(), dpi());
}

int frmKQJL::scaleHeight() const
{
    return pixelsToTwips(m_client->height(), dpi());
}

void frmKQJL::place(QWidget* widget, const TwipsRect& rect)
{
    widget->setGeometry(toPixels(rect, dpi()));
}

void frmKQJL::arrangeControls()
{
    const double d = dpi();
    ArrangeInput in;
    in.scaleWidth = scaleWidth();
    in.scaleHeight = scaleHeight();
    in.toolbarTop = pixelsToTwips(m_toolbar->y(), d);
    in.toolbarHeight = pixelsToTwips(m_toolbar->height(), d);
    in.reportOption = m_suite.reportOption();
    auto twips = [d](const QRect& r) {
        return TwipsRect{pixelsToTwips(r.x(), d), pixelsToTwips(r.y(), d), pixelsToTwips(r.width(), d),
                         pixelsToTwips(r.height(), d)};
    };
    in.tree = twips(m_tree->geometry().united(m_search->geometry()));
    in.list = twips(m_list->geometry());
    in.image = twips(m_image->geometry());
    in.grid = twips(m_grid->geometry());
    in.label1Width = pixelsToTwips(m_label[0]->width(), d);
    in.label2Width = pixelsToTwips(m_label[1]->width(), d);
    in.label3Width = pixelsToTwips(m_label[2]->width(), d);

    const ArrangeResult out = talor::arrangeControls(in);
    placeTreeArea(toPixels(out.tree, d));
    place(m_list, out.list);
    m_list->setVisible(out.listVisible);
    place(m_image, out.image);
    m_label[0]->move(twipsToPixels(out.label1Left, d), m_label[0]->y());
    m_label[1]->move(twipsToPixels(out.label2Left, d), m_label[1]->y());
    m_label[2]->move(twipsToPixels(out.label3Left, d), m_label[2]->y());
    place(m_grid, out.grid);
    placeGrid();

    // The toolbar spans the window; the status bar sits in the bottom margin.
    m_toolbar->resize(m_client->width(), m_toolbar->height());
    const int statusHeight = twipsToPixels(design::StatusHeight, d);
    m_status->setGeometry(0, m_client->height() - statusHeight, m_client->width(), statusHeight);
    for (QLabel* label : m_label)
        label->raise();
    m_frame->raise();
}

bool frmKQJL::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize && m_status)
        arrangeControls();
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down) {
            m_tree->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (key == Qt::Key_Escape && !m_search->text().isEmpty()) {
            m_search->clear();
            searchEdited({});
            return true;
        }
    }
    // Enter on the selected node or item works as a click on it.
    if (event->type() == QEvent::KeyPress && (watched == m_tree || watched == m_list)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_list) {
                clickList();
            } else if (m_tree->currentItem()) {
                m_currentNode = m_tree->currentItem();
                clickTree(m_currentNode);
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmKQJL::setPickerDate(const QDate& date)
{
    m_settingPicker = true;
    m_picker->setDate(date);
    m_settingPicker = false;
}

namespace {

// The user's window state, $XDG_CONFIG_HOME/talor/window.ini.
std::unique_ptr<QSettings> placementSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("talor"),
                                       QStringLiteral("window"));
}

const QString GeometryKey = QStringLiteral("main/geometry");
const QString PeriodStartKey = QStringLiteral("period/start");
const QString PeriodEndKey = QStringLiteral("period/end");
const QString PeriodFormat = QStringLiteral("yyyy-MM-dd");
// The end of every text that refuses a period.
const QString PeriodKept = QStringLiteral("，期间未改");

} // namespace

void frmKQJL::restorePlacement()
{
    const auto settings = placementSettings();
    const QByteArray geometry = settings->value(GeometryKey).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    // The period the operator last picked, in place of the suite's own.
    const auto [start, end] =
        periodDates(settings->value(PeriodStartKey).toString(), settings->value(PeriodEndKey).toString());
    if (start.isValid() && end.isValid() && start <= end) {
        m_suite.setPeriodStart(start.toString(PeriodFormat));
        m_suite.setPeriodEnd(end.toString(PeriodFormat));
        showPeriod();
    }
}

void frmKQJL::buildPeriodPicker()
{
    // On the right of the status bar, where it has room in every kind and at every width.
    auto* box = new QWidget(m_status);
    box->setObjectName("PeriodBox");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 4, 0);
    row->addWidget(new QLabel(QStringLiteral("期间"), box));
    m_periodPick = new QComboBox(box);
    m_periodPick->setObjectName("PeriodPick");
    m_periodPick->addItems({QStringLiteral("自定"), QStringLiteral("本月"), QStringLiteral("上月"),
                            QStringLiteral("16日至15日")});
    m_periodPick->setToolTip(QStringLiteral("个人一期和部门一期的期间"));
    connect(m_periodPick, &QComboBox::activated, this, [this](int index) { periodPicked(index); });
    row->addWidget(m_periodPick);
    for (QDateEdit** edit : {&m_periodFrom, &m_periodTo}) {
        *edit = new DateField(box);
        (*edit)->setObjectName(edit == &m_periodFrom ? "PeriodFrom" : "PeriodTo");
        (*edit)->setCalendarPopup(true);
        (*edit)->setDisplayFormat(PeriodFormat);
        // Dates edited by hand are a period of the operator's own, whatever was picked before.
        connect(*edit, &QDateEdit::dateChanged, this, [this] {
            if (m_settingPeriod)
                return;
            m_periodPick->setCurrentIndex(0);
            periodEdited();
        });
        if (edit == &m_periodTo)
            row->addWidget(new QLabel(QStringLiteral("至"), box));
        row->addWidget(*edit);
    }
    m_status->addPermanentWidget(box);
    showPeriod();
}

void frmKQJL::showPeriod()
{
    const auto [start, end] = periodDates(m_suite.periodStart(), m_suite.periodEnd());
    m_settingPeriod = true;
    m_periodFrom->setDate(start.isValid() ? start : QDate::currentDate());
    m_periodTo->setDate(end.isValid() ? end : QDate::currentDate());
    m_settingPeriod = false;
}

void frmKQJL::periodPicked(int index)
{
    if (index <= 0)
        return;
    const auto [start, end] = pickedPeriod(PeriodPick(index - 1), QDate::currentDate());
    m_settingPeriod = true;
    m_periodFrom->setDate(start);
    m_periodTo->setDate(end);
    m_settingPeriod = false;
    periodEdited();
}

void frmKQJL::refusePeriod(const QString& problem)
{
    m_periodRefusal = problem + PeriodKept;
    showStatus(m_periodRefusal);
}

void frmKQJL::periodEdited()
{
    const QDate start = m_periodFrom->date();
    const QDate end = m_periodTo->date();
    if (start > end) {
        refusePeriod(QStringLiteral("期间的开始日期 %1 晚于结束日期 %2")
                         .arg(start.toString(PeriodFormat), end.toString(PeriodFormat)));
        return;
    }
    // Kind 3 has a row for each of 31 days; the date picked first of two may pass through a
    // longer period on its way, which is told where it does not stop the operator.
    if (const QString problem =
            PeriodBlock::periodProblem(start.toString(PeriodFormat), end.toString(PeriodFormat));
        m_suite.reportOption() == "3" && !problem.isEmpty()) {
        refusePeriod(problem);
        return;
    }
    // A period report shown anew: unsaved edits are asked about first; Cancel keeps the period.
    if (m_suite.reportOption() != "2" && !discardUnsavedData()) {
        showPeriod();
        m_periodPick->setCurrentIndex(0); // the dates shown, not a quick pick of other dates
        return;
    }
    m_suite.setPeriodStart(start.toString(PeriodFormat));
    m_suite.setPeriodEnd(end.toString(PeriodFormat));
    // A period refused before is no longer what holds.
    if (!m_periodRefusal.isEmpty()) {
        m_periodRefusal.clear();
        clearReportStatus();
    }
    const auto settings = placementSettings();
    settings->setValue(PeriodStartKey, start.toString(PeriodFormat));
    settings->setValue(PeriodEndKey, end.toString(PeriodFormat));
    if (m_suite.reportOption() != "2")
        redisplay();
}

void frmKQJL::savePlacement() const
{
    // A window that cannot keep its place starts at the design's size next time: no message.
    placementSettings()->setValue(GeometryKey, saveGeometry());
}

void frmKQJL::showModal()
{
    load();
    setWindowModality(Qt::ApplicationModal);
    restorePlacement();
    show();
    activate();
    QEventLoop loop;
    m_loop = &loop;
    if (isVisible())
        loop.exec();
    m_loop = nullptr;
}

void frmKQJL::closeEvent(QCloseEvent* event)
{
    // The window's close box and the desktop's close ask about unsaved edits as 退出 does.
    if (!discardUnsavedData()) {
        event->ignore();
        return;
    }
    savePlacement();
    unload();
    QMainWindow::closeEvent(event);
    if (m_loop)
        m_loop->quit();
}

} // namespace talor
