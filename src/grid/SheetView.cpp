#include "grid/SheetView.h"

#include "grid/SheetDelegate.h"
#include "grid/SheetModel.h"
#include "grid/SheetTableView.h"
#include "grid/Workbook.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace talor::grid {

struct SheetView::Parts
{
    QPointer<Workbook> book;
    SheetModel* model = nullptr;
    SheetTableView* table = nullptr;
    SheetDelegate* delegate = nullptr;
    bool syncing = false;       // selection being copied between sheet and view
    int widthsApplied = 0;      // columns whose widths the table has
    bool showingWidths = false; // the table takes the sheet's widths: no width of the operator's
    bool selectionQueued = false;
    QList<QMetaObject::Connection> sheetConnections;

    // Gives the table the sheet's widths of columns `first` to the last the model has.
    void showWidths(const Sheet& sheet, int first)
    {
        showingWidths = true;
        for (int col = first; col <= model->columnCount(); ++col)
            table->setColumnWidth(col - 1, sheet.columnWidth(col));
        showingWidths = false;
        widthsApplied = model->columnCount();
    }
};

SheetView::SheetView(QWidget* parent) : QWidget(parent), p(std::make_unique<Parts>())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    p->table = new SheetTableView(this);
    p->table->setObjectName(QStringLiteral("sheetTable"));
    layout->addWidget(p->table);
    setFocusProxy(p->table);
    p->delegate = new SheetDelegate(this);
    p->delegate->editTextHook = [this](QString& text) {
        Q_EMIT editText(text);
    };
    p->table->setItemDelegate(p->delegate);
    p->table->editTextHook = p->delegate->editTextHook;
    connect(p->table, &SheetTableView::pasteRefused, this, &SheetView::pasteRefused);
    p->table->viewport()->installEventFilter(this);
    for (int i = 0; i < 3; ++i) {
        QTableView* view = p->table->overlay(i);
        view->viewport()->installEventFilter(this);
        connect(view, &QTableView::clicked, this, [this](const QModelIndex& index) {
            Q_EMIT cellClicked(index.row() + 1, index.column() + 1);
        });
        connect(view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
            Q_EMIT cellDoubleClicked(index.row() + 1, index.column() + 1);
        });
    }
    connect(p->table, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT cellClicked(index.row() + 1, index.column() + 1); });
    connect(p->table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        Q_EMIT cellDoubleClicked(index.row() + 1, index.column() + 1);
    });
}

SheetView::~SheetView() = default;

SheetTableView* SheetView::table() const
{
    return p->table;
}

Workbook* SheetView::workbook() const
{
    return p->book;
}

void SheetView::setWorkbook(Workbook* book)
{
    if (p->model) {
        QItemSelectionModel* selection = p->table->selectionModel();
        p->table->setModel(nullptr);
        delete selection; // views do not own the selection model they made
        delete p->model;
        p->model = nullptr;
    }
    for (const auto& c : std::as_const(p->sheetConnections))
        disconnect(c);
    p->sheetConnections.clear();
    p->book = book;
    if (!book)
        return;
    p->model = new SheetModel(book, this);
    p->table->setModel(p->model);

    auto applySheet = [this] {
        Sheet* sheet = p->model->sheet();
        if (!sheet)
            return;
        p->table->setHeadersShown(sheet->showColumnHeadings(), sheet->showRowHeadings());
        p->showWidths(*sheet, 1);
        p->table->setFrozen(sheet->frozenRows(), sheet->frozenColumns());
    };
    // The extent grows row by row while a report is filled: only new columns need widths,
    // and the panes only move while the sheet is smaller than them.
    auto applyExtent = [this] {
        Sheet* sheet = p->model->sheet();
        const int cols = p->model->columnCount();
        const bool panesMove = cols != p->widthsApplied || p->model->rowCount() <= sheet->frozenRows();
        p->showWidths(*sheet, p->widthsApplied + 1);
        if (panesMove)
            p->table->setFrozen(sheet->frozenRows(), sheet->frozenColumns());
    };
    // Sheet -> view: headings, panes, widths and the selection made by code.
    auto attachSheet = [this, applySheet, applyExtent] {
        for (const auto& c : std::as_const(p->sheetConnections))
            disconnect(c);
        p->sheetConnections.clear();
        Sheet* sheet = p->model->sheet();
        if (!sheet)
            return;
        p->sheetConnections << connect(sheet, &Sheet::headingsChanged, this, applySheet)
                            << connect(sheet, &Sheet::panesChanged, this, applySheet)
                            << connect(sheet, &Sheet::selectionChanged, this, [this] {
                                   // Code may select row after row; the view shows the last.
                                   if (p->syncing || p->selectionQueued)
                                       return;
                                   p->selectionQueued = true;
                                   QMetaObject::invokeMethod(
                                       this, [this] { showSheetSelection(); }, Qt::QueuedConnection);
                               });
        applySheet();
        showSheetSelection();
    };
    connect(p->model, &QAbstractItemModel::modelReset, this, attachSheet);
    connect(p->model, &QAbstractItemModel::rowsInserted, this, applyExtent);
    connect(p->model, &QAbstractItemModel::rowsRemoved, this, applyExtent);
    connect(p->model, &QAbstractItemModel::columnsInserted, this, applyExtent);
    connect(p->model, &QAbstractItemModel::columnsRemoved, this, applyExtent);
    attachSheet();

    // View -> sheet: a column the operator widens or narrows on the heading takes that width in
    // the sheet (pixels both), so that a saved template, a print and an export keep it.
    connect(p->table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                Sheet* sheet = p->model->sheet();
                if (!p->showingWidths && sheet && sheet->columnWidth(section + 1) != size)
                    sheet->setColumnWidth(section + 1, size);
            });

    // View -> sheet: the operator's selection.
    auto fromView = [this] {
        if (p->syncing || !p->model->sheet())
            return;
        auto* sm = p->table->selectionModel();
        const QModelIndex current = sm->currentIndex();
        if (!current.isValid())
            return;
        int row1 = current.row(), col1 = current.column(), row2 = row1, col2 = col1;
        for (const QItemSelectionRange& range : sm->selection()) {
            row1 = std::min(row1, range.top());
            col1 = std::min(col1, range.left());
            row2 = std::max(row2, range.bottom());
            col2 = std::max(col2, range.right());
        }
        p->syncing = true;
        Sheet* sheet = p->model->sheet();
        if (row1 == row2 && col1 == col2)
            sheet->setActiveCell(row1 + 1, col1 + 1);
        else
            sheet->select(row1 + 1, col1 + 1, row2 + 1, col2 + 1);
        p->syncing = false;
        Q_EMIT selectionChanged();
    };
    connect(p->table->selectionModel(), &QItemSelectionModel::currentChanged, this, fromView);
    connect(p->table->selectionModel(), &QItemSelectionModel::selectionChanged, this, fromView);
}

void SheetView::showSheetSelection()
{
    p->selectionQueued = false;
    Sheet* s = p->model ? p->model->sheet() : nullptr;
    if (!s)
        return;
    p->model->syncExtent();
    const CellRange r = s->selection();
    p->syncing = true;
    auto* sm = p->table->selectionModel();
    const QModelIndex current = p->model->index(s->activeRow() - 1, s->activeColumn() - 1);
    const QModelIndex a = p->model->index(r.row1 - 1, r.col1 - 1);
    const QModelIndex b = p->model->index(std::min(r.row2, p->model->rowCount()) - 1,
                                          std::min(r.col2, p->model->columnCount()) - 1);
    if (a.isValid() && b.isValid())
        sm->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
    else
        sm->clearSelection();
    if (current.isValid())
        sm->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    p->syncing = false;
}

void SheetView::startEdit()
{
    if (!p->book || !p->book->allowInCellEditing() || !p->model->sheet())
        return;
    Sheet* sheet = p->model->sheet();
    p->model->syncExtent();
    const QModelIndex index = p->model->index(sheet->activeRow() - 1, sheet->activeColumn() - 1);
    if (!index.isValid())
        return;
    p->table->setFocus();
    p->table->setCurrentIndex(index);
    p->table->editCell(index);
}

void SheetView::commitEdit()
{
    // The editor lies in whichever view (the body or a frozen overlay) opened it; the views
    // share the delegate, whose signals each view answers for its own editors only.
    QTableView* const views[] = {p->table, p->table->overlay(0), p->table->overlay(1), p->table->overlay(2)};
    for (QTableView* view : views) {
        QWidget* editor = view->indexWidget(view->currentIndex());
        if (!editor)
            continue;
        QAbstractItemDelegate* delegate = view->itemDelegateForIndex(view->currentIndex());
        Q_EMIT delegate->commitData(editor);
        Q_EMIT delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

bool SheetView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        int button = 0;
        switch (mouse->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::RightButton:
            button = 2;
            break;
        case Qt::MiddleButton:
            button = 4;
            break;
        default:
            break;
        }
        const auto mods = mouse->modifiers();
        const int shift = (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
                          (mods & Qt::AltModifier ? 4 : 0);
        const QPoint pos = static_cast<QWidget*>(watched)->mapTo(this, mouse->position().toPoint());
        if (button != 0)
            Q_EMIT mouseButton(button, shift, pos.x(), pos.y());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace talor::grid
