#include "report/frmMODEL.h"

#include "grid/SheetView.h"
#include "grid/Workbook.h"
#include "report/frmFIELD.h"
#include "ui/UiService.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace talor {

frmMODEL::frmMODEL(SuiteServices& suite, UiService& ui, QWidget* parent)
    : QDialog(parent), m_suite(suite), m_ui(ui), m_book(std::make_unique<grid::Workbook>()),
      m_designer(suite, *m_book)
{
    setObjectName(u"frmMODEL"_qs);
    buildControls();
    const QString error = m_designer.load();
    setWindowTitle(m_designer.caption());
    showFieldMap();
    m_changed = false;
    if (!error.isEmpty())
        m_ui.message(this, u"模板文件无法打开：\n"_qs + error);
}

frmMODEL::~frmMODEL()
{
    // The grid shows the book: let it go before the book does.
    m_grid->setWorkbook(nullptr);
}

void frmMODEL::buildControls()
{
    auto* menus = new QMenuBar(this);
    QMenu* menu = menus->addMenu(u"模板"_qs);
    menu->setObjectName(u"MNA"_qs);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(u"Toolbar1"_qs);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const struct
    {
        const char* caption;
        void (frmMODEL::*handler)();
        QKeySequence shortcut;
    } items[7] = {
        {"打开", &frmMODEL::openTemplate, QKeySequence::Open},
        {"插入", &frmMODEL::insertColumn, Qt::CTRL | Qt::Key_Plus},
        {"移除", &frmMODEL::removeColumn, Qt::CTRL | Qt::Key_Minus},
        {"编辑", &frmMODEL::startEditing, Qt::Key_F2},
        {"保存", &frmMODEL::saveTemplate, QKeySequence::Save},
        {"退出", &frmMODEL::exitDesigner, Qt::CTRL | Qt::Key_Q},
        {"项目", &frmMODEL::pickAtCursor, Qt::Key_F4},
    };
    for (size_t i = 0; i < std::size(items); ++i) {
        QAction* action = menu->addAction(QString::fromUtf8(items[i].caption));
        action->setObjectName(u"MN0"_qs + QString::number(i + 1));
        action->setShortcut(items[i].shortcut);
        const auto handler = items[i].handler;
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        m_toolbar->addAction(action);
        m_commands[i] = action;
    }

    m_grid = new grid::SheetView(this);
    m_grid->setObjectName(u"F1Book1"_qs);
    m_grid->setWorkbook(m_book.get());
    connect(m_grid, &grid::SheetView::cellClicked, this,
            [this](int row, int col) { m_designer.cellClick(row, col); });
    // The cell moved to by the keyboard is the design cell as a clicked one is: insert and
    // remove act on the column the cursor is in.
    connect(m_grid, &grid::SheetView::selectionChanged, this, [this] {
        const grid::Sheet& sheet = m_book->active();
        m_designer.cellClick(sheet.activeRow(), sheet.activeColumn());
    });
    connect(m_grid, &grid::SheetView::cellDoubleClicked, this, &frmMODEL::gridDoubleClick);

    m_fieldMap = new QTableWidget(0, 3, this);
    m_fieldMap->setObjectName(u"FieldMap"_qs);
    m_fieldMap->setHorizontalHeaderLabels({u"列"_qs, u"项目"_qs, u"字段"_qs});
    m_fieldMap->verticalHeader()->hide();
    m_fieldMap->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fieldMap->setSelectionMode(QAbstractItemView::NoSelection);
    m_fieldMap->horizontalHeader()->setStretchLastSection(true);
    m_fieldMap->setColumnWidth(0, 36);
    m_fieldMap->setColumnWidth(1, 90);
    m_fieldMap->setFixedWidth(240);

    // The field table follows every change of the template, once per turn of the event loop.
    auto queueMap = [this] {
        if (m_mapQueued)
            return;
        m_mapQueued = true;
        QMetaObject::invokeMethod(
            this, [this] { showFieldMap(); }, Qt::QueuedConnection);
    };
    // Every change of the sheet's content, headings, formats, extent or column widths (which
    // come with panesChanged) changes the design; open and save count their own changes out.
    auto markChanged = [this] {
        m_changed = true;
    };
    auto sheetChanged = [queueMap, markChanged] {
        markChanged();
        queueMap();
    };
    auto attachSheet = [this, sheetChanged, markChanged] {
        for (const auto& c : std::as_const(m_sheetConnections))
            disconnect(c);
        grid::Sheet* sheet = &m_book->active();
        m_sheetConnections = {connect(sheet, &grid::Sheet::cellsChanged, this, sheetChanged),
                              connect(sheet, &grid::Sheet::headingsChanged, this, sheetChanged),
                              connect(sheet, &grid::Sheet::reset, this, sheetChanged),
                              connect(sheet, &grid::Sheet::extentChanged, this, sheetChanged),
                              connect(sheet, &grid::Sheet::formatsChanged, this, markChanged),
                              connect(sheet, &grid::Sheet::panesChanged, this, markChanged)};
    };
    connect(m_book.get(), &grid::Workbook::sheetsChanged, this, [attachSheet, queueMap] {
        attachSheet();
        queueMap();
    });
    connect(m_book.get(), &grid::Workbook::activeSheetChanged, this, attachSheet);
    attachSheet();

    auto* body = new QHBoxLayout;
    body->addWidget(m_grid, 1);
    body->addWidget(m_fieldMap);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(m_toolbar);
    layout->addLayout(body, 1);
    resize(900, 560);
}

void frmMODEL::showFieldMap()
{
    m_mapQueued = false;
    const QList<DesignedColumn> columns = m_designer.designedColumns();
    m_fieldMap->setRowCount(int(columns.size()));
    for (int i = 0; i < columns.size(); ++i) {
        const DesignedColumn& column = columns[i];
        const bool unknown = !column.label.isEmpty() && column.field.isEmpty();
        const QString cells[3] = {QString::number(column.column), column.label,
                                  unknown ? u"（无此字段）"_qs : column.field};
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (unknown)
                item->setForeground(Qt::red);
            m_fieldMap->setItem(i, c, item);
        }
    }
}

void frmMODEL::showRefusal(const QString& message)
{
    if (!message.isEmpty())
        m_ui.message(this, message);
}

void frmMODEL::openTemplate()
{
    m_grid->commitEdit();
    const TemplateFileDialog dialog = m_designer.fileDialog();
    const std::optional<QString> chosen =
        m_ui.openFile(this, dialog.filter, dialog.directory, dialog.presetName);
    if (!chosen)
        return;
    try {
        if (m_designer.open(*chosen))
            m_changed = false;
    } catch (const grid::GridFileError& error) {
        m_ui.message(this, u"模板文件无法打开：\n"_qs + error.message());
    }
    showFieldMap();
}

void frmMODEL::insertColumn()
{
    m_grid->commitEdit();
    showRefusal(m_designer.insertColumn());
    showFieldMap();
}

void frmMODEL::removeColumn()
{
    m_grid->commitEdit();
    showRefusal(m_designer.removeColumn());
    showFieldMap();
}

void frmMODEL::startEditing()
{
    m_designer.startEditing();
}

void frmMODEL::saveTemplate()
{
    // A cell still in its editor is written first: the save ends editing, which would drop it.
    m_grid->commitEdit();
    const TemplateFileDialog dialog = m_designer.fileDialog();
    // The frozen counts put back are the template's own: no change of the design.
    const bool changed = m_changed;
    m_designer.prepareSave();
    m_changed = changed;
    const std::optional<QString> chosen =
        m_ui.saveFile(this, dialog.filter, dialog.directory, dialog.presetName);
    if (!chosen)
        return;
    if (m_designer.replacesUnasked(*chosen) &&
        m_ui.message(this,
                     u"模板文件“%1”已存在，要替换它吗？"_qs.arg(
                         QDir::toNativeSeparators(TemplateDesigner::templateFile(*chosen))),
                     UiService::Buttons::YesNo, u"系统提示"_qs) != UiService::Answer::Yes)
        return;
    if (m_designer.changedSinceRead(*chosen) &&
        m_ui.message(this, u"模板文件已被他人修改，仍要覆盖吗？"_qs, UiService::Buttons::YesNo,
                     u"系统提示"_qs) != UiService::Answer::Yes)
        return;
    try {
        if (m_designer.save(*chosen))
            m_changed = false;
    } catch (const grid::GridFileError& error) {
        m_ui.message(this, u"模板文件无法保存：\n"_qs + error.message());
    }
}

void frmMODEL::exitDesigner()
{
    QDialog::reject();
}

void frmMODEL::reject()
{
    if (m_changed && m_ui.message(this, u"模板已变动,真的放弃保存?"_qs, UiService::Buttons::OkCancel,
                                  u"系统提示"_qs) != UiService::Answer::Ok)
        return;
    QDialog::reject();
}

void frmMODEL::pickAtCursor()
{
    const grid::Sheet& sheet = m_book->active();
    gridDoubleClick(sheet.activeRow(), sheet.activeColumn());
}

void frmMODEL::gridDoubleClick(int row, int col)
{
    if (m_designer.editing()) {
        m_book->active().setActiveCell(row, col);
        m_grid->startEdit();
        return;
    }
    try {
        if (!m_designer.pickerAllowed())
            return;
        m_book->active().setActiveCell(row, col);
        frmFIELD picker(m_suite, m_designer, this);
        m_ui.execDialog(picker);
    } catch (const std::exception& error) {
        m_ui.message(this, QString::fromUtf8(error.what()));
    }
    showFieldMap();
}

} // namespace talor
