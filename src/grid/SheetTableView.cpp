#include "grid/SheetTableView.h"

#include "grid/CellAddress.h"
#include "grid/SheetModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <limits>

namespace talor::grid {

class SheetTableView::Overlay : public QTableView
{
public:
    explicit Overlay(QWidget* parent) : QTableView(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollMode(ScrollPerPixel);
        setVerticalScrollMode(ScrollPerPixel);
        setShowGrid(false);
        horizontalHeader()->setSectionsClickable(false);
        verticalHeader()->setSectionsClickable(false);
        hide();
    }
    bool startEditing(const QModelIndex& index, EditTrigger trigger, QEvent* event)
    {
        return QTableView::edit(index, trigger, event);
    }
    bool isEditing() const { return state() == EditingState; }

protected:
    // An edit started here (Tab or Shift+Tab ending an edit moves on to the next cell) opens in
    // the view that shows the cell, which need not be this pane.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override
    {
        return static_cast<SheetTableView*>(parentWidget())->edit(index, trigger, event);
    }
    // The views share one delegate, so every view hears of every editor; each handles only
    // the editors it opened (on its viewport).
    void commitData(QWidget* editor) override
    {
        if (editor->parentWidget() == viewport())
            QTableView::commitData(editor);
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        if (editor->parentWidget() != viewport())
            return;
        QTableView::closeEditor(editor, hint);
        if (hint == QAbstractItemDelegate::SubmitModelCache)
            static_cast<SheetTableView*>(parentWidget())->moveDown();
    }
};

SheetTableView::SheetTableView(QWidget* parent) : QTableView(parent)
{
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setShowGrid(false); // the delegate draws grid lines and borders together
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    for (auto*& o : m_overlays) {
        o = new Overlay(this);
        o->setEditTriggers(editTriggers());
    }
    viewport()->stackUnder(m_overlays[0]);
    // The frozen columns scroll vertically with the body, the frozen rows horizontally;
    // in the other direction they never move.
    auto follow = [](QScrollBar* from, QScrollBar* to) {
        connect(from, &QScrollBar::valueChanged, to, &QScrollBar::setValue);
    };
    follow(verticalScrollBar(), m_overlays[0]->verticalScrollBar());
    follow(m_overlays[0]->verticalScrollBar(), verticalScrollBar());
    follow(horizontalScrollBar(), m_overlays[1]->horizontalScrollBar());
    follow(m_overlays[1]->horizontalScrollBar(), horizontalScrollBar());
    auto pin = [](QScrollBar* bar) {
        connect(bar, &QScrollBar::valueChanged, bar, [bar](int v) {
            if (v != 0)
                bar->setValue(0);
        });
    };
    pin(m_overlays[0]->horizontalScrollBar());
    pin(m_overlays[1]->verticalScrollBar());
    pin(m_overlays[2]->horizontalScrollBar());
    pin(m_overlays[2]->verticalScrollBar());
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        for (auto* o : m_overlays)
            o->setColumnWidth(section, size);
        layoutOverlays();
    });
    // A frozen column resized on its overlay's heading is resized in the body, which the owner
    // hears of and the other overlays follow.
    for (auto* o : m_overlays)
        connect(o->horizontalHeader(), &QHeaderView::sectionResized, this,
                [this](int section, int, int size) { setColumnWidth(section, size); });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        for (auto* o : m_overlays)
            o->setRowHeight(section, size);
        layoutOverlays();
    });
}

QTableView* SheetTableView::overlay(int which) const
{
    return m_overlays.at(size_t(which));
}

void SheetTableView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    for (auto* o : m_overlays) {
        o->setModel(model);
        o->setSelectionModel(selectionModel());
    }
    layoutOverlays();
}

void SheetTableView::setItemDelegate(QAbstractItemDelegate* delegate)
{
    QTableView::setItemDelegate(delegate);
    for (auto* o : m_overlays)
        o->setItemDelegate(delegate);
}

void SheetTableView::setFrozen(int rows, int columns)
{
    m_rows = std::max(0, rows);
    m_cols = std::max(0, columns);
    layoutOverlays();
}

void SheetTableView::setHeadersShown(bool columnHeadings, bool rowHeadings)
{
    horizontalHeader()->setVisible(columnHeadings);
    verticalHeader()->setVisible(rowHeadings);
    for (auto* o : m_overlays) {
        o->horizontalHeader()->setVisible(columnHeadings);
        o->verticalHeader()->setVisible(rowHeadings);
    }
    layoutOverlays();
}

int SheetTableView::frozenWidth() const
{
    int width = 0;
    const int cols = model() ? std::min(m_cols, model()->columnCount()) : 0;
    for (int c = 0; c < cols; ++c)
        width += columnWidth(c);
    return width;
}

int SheetTableView::frozenHeight() const
{
    int height = 0;
    const int rows = model() ? std::min(m_rows, model()->rowCount()) : 0;
    for (int r = 0; r < rows; ++r)
        height += rowHeight(r);
    return height;
}

void SheetTableView::layoutOverlays()
{
    if (!m_overlays[2])
        return; // still being built
    const int fw = frameWidth();
    const int vh = verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    const int hh = horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0;
    const int fcw = std::min(frozenWidth(), viewport()->width());
    const int frh = std::min(frozenHeight(), viewport()->height());
    const QRect rects[3] = {
        QRect(fw, fw, vh + fcw, hh + viewport()->height()),
        QRect(fw, fw, vh + viewport()->width(), hh + frh),
        QRect(fw, fw, vh + fcw, hh + frh),
    };
    const bool shown[3] = {fcw > 0, frh > 0, fcw > 0 && frh > 0};
    for (int i = 0; i < 3; ++i) {
        Overlay* o = m_overlays[size_t(i)];
        o->verticalHeader()->setFixedWidth(verticalHeader()->width());
        o->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
        o->setGeometry(rects[i]);
        o->setVisible(shown[i]);
    }
    m_overlays[0]->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_overlays[1]->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_overlays[2]->raise();
}

void SheetTableView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    layoutOverlays();
}

void SheetTableView::updateGeometries()
{
    QTableView::updateGeometries();
    layoutOverlays();
}

void SheetTableView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    // A cell of a frozen pane is always in view along that pane; other cells must not end
    // up under the panes.
    if (index.column() < m_cols) {
        horizontalScrollBar()->setValue(h);
    } else if (const int left = visualRect(index).left(); left < frozenWidth()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (frozenWidth() - left));
    }
    if (index.row() < m_rows) {
        verticalScrollBar()->setValue(v);
    } else if (const int top = visualRect(index).top(); top < frozenHeight()) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (frozenHeight() - top));
    }
}

SheetTableView::Overlay* SheetTableView::overlayFor(const QModelIndex& index) const
{
    const bool inRows = index.row() < m_rows;
    const bool inCols = index.column() < m_cols;
    if (inRows && inCols)
        return m_overlays[2];
    if (inCols)
        return m_overlays[0];
    if (inRows)
        return m_overlays[1];
    return nullptr;
}

bool SheetTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (Overlay* o = index.isValid() ? overlayFor(index) : nullptr; o && o->isVisible())
        return o->startEditing(index, trigger, event);
    return QTableView::edit(index, trigger, event);
}

void SheetTableView::commitData(QWidget* editor)
{
    if (editor->parentWidget() == viewport())
        QTableView::commitData(editor);
}

void SheetTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor->parentWidget() != viewport())
        return;
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        moveDown();
}

bool SheetTableView::event(QEvent* event)
{
    // F2 on a cell that may be edited edits it, as in every spreadsheet, ahead of any window
    // shortcut on the same key.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && state() != EditingState &&
            model() && (model()->flags(currentIndex()) & Qt::ItemIsEditable)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

namespace {

// The edits of many cells made while it lives are one step of the model's undo (when the model
// keeps steps).
class OneStep
{
public:
    OneStep(QAbstractItemModel* model, const QString& text) : m_model(qobject_cast<SheetModel*>(model))
    {
        if (m_model)
            m_model->undoStack().beginMacro(text);
    }
    ~OneStep()
    {
        if (m_model)
            m_model->undoStack().endMacro();
    }
    OneStep(const OneStep&) = delete;
    OneStep& operator=(const OneStep&) = delete;

private:
    SheetModel* m_model;
};

bool endsCell(const QString& text, qsizetype i)
{
    return i == text.size() || text.at(i) == u'\t' || text.at(i) == u'\n' || text.at(i) == u'\r';
}

// The quote that closes the quoted cell opening at `open`: the first quote that is not doubled,
// when a tab, a line end or the end of the text follows it. -1 otherwise: the cell is then not
// quoted but a text that begins with a quote, as another program may well copy one.
qsizetype closingQuote(const QString& text, qsizetype open)
{
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        if (text.at(i) != u'"')
            continue;
        if (i + 1 < text.size() && text.at(i + 1) == u'"')
            ++i;
        else
            return endsCell(text, i + 1) ? i : -1;
    }
    return -1;
}

// A cell holding a tab, a line break or a quote goes in quotes, its quotes doubled, so that it
// is read back as the one cell it was.
QString quotedCell(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == u'"')
            return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    return text;
}

} // namespace

void SheetTableView::keyPressEvent(QKeyEvent* event)
{
    // Tab moves from cell to cell; Ctrl+Tab and Ctrl+Shift+Tab leave the grid for the
    // window's next or previous control.
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        event->accept();
        return;
    }
    // Delete and Backspace clear the selected cells that may be edited, as in a spreadsheet.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && state() != EditingState &&
        event->modifiers() == Qt::NoModifier && model() && selectionModel()) {
        const OneStep step(model(), QStringLiteral("清除"));
        for (const QModelIndex& index : selectionModel()->selectedIndexes())
            if (model()->flags(index) & Qt::ItemIsEditable)
                model()->setData(index, QString(), Qt::EditRole);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_D && event->modifiers() == Qt::ControlModifier && state() != EditingState) {
        fillDown();
        event->accept();
        return;
    }
    if ((event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) &&
        state() != EditingState) {
        if (auto* sheet = qobject_cast<SheetModel*>(model()))
            event->matches(QKeySequence::Undo) ? sheet->undoStack().undo() : sheet->undoStack().redo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) && state() != EditingState) {
        paste();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy) && state() != EditingState) {
        copySelection();
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState &&
        event->modifiers() == Qt::NoModifier) {
        moveDown();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool SheetTableView::selectedRectangle(int& row1, int& col1, int& row2, int& col2) const
{
    if (!model() || !selectionModel())
        return false;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty() && !currentIndex().isValid())
        return false;
    row1 = row2 = currentIndex().row();
    col1 = col2 = currentIndex().column();
    if (!selected.isEmpty()) {
        row1 = col1 = std::numeric_limits<int>::max();
        row2 = col2 = -1;
        for (const QModelIndex& index : selected) {
            row1 = std::min(row1, index.row());
            col1 = std::min(col1, index.column());
            row2 = std::max(row2, index.row());
            col2 = std::max(col2, index.column());
        }
    }
    return true;
}

void SheetTableView::copySelection()
{
    int row1, col1, row2, col2;
    if (selectedRectangle(row1, col1, row2, col2))
        QGuiApplication::clipboard()->setMimeData(cellsAsMimeData(*model(), row1, col1, row2, col2));
}

void SheetTableView::fillDown()
{
    // Each column's first cell, as it would be edited, typed again into the cells below that
    // may be edited: a value keeps its look, as typing it again would give. A formula is not
    // filled (its references would have to move).
    int row1, col1, row2, col2;
    if (!selectedRectangle(row1, col1, row2, col2))
        return;
    const OneStep step(model(), QStringLiteral("向下填充"));
    for (int c = col1; c <= col2; ++c) {
        const QModelIndex source = model()->index(row1, c);
        const QString typed = model()->data(source, Qt::EditRole).toString();
        if (typed.startsWith(u'='))
            continue;
        for (int r = row1 + 1; r <= row2; ++r) {
            const QModelIndex target = model()->index(r, c);
            if (model()->flags(target) & Qt::ItemIsEditable)
                model()->setData(target, typed, Qt::EditRole);
        }
    }
}

QList<QStringList> SheetTableView::cellsOfText(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'"' && cell.isEmpty()) {
            if (const qsizetype close = closingQuote(text, i); close >= 0) {
                cell = text.mid(i + 1, close - i - 1).replace(QStringLiteral("\"\""), QStringLiteral("\""));
                i = close;
            } else {
                cell += c;
            }
        } else if (c == u'\t') {
            row << cell;
            cell.clear();
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            rows << (row << cell);
            row.clear();
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows << (row << cell);
    return rows;
}

void SheetTableView::paste()
{
    // From the selection's first cell on, each cell as if typed into it; cells that may not be
    // edited (formulas, read-only columns) or lie outside the sheet keep what they hold.
    int row1, col1, row2, col2;
    if (!selectedRectangle(row1, col1, row2, col2))
        return;
    const QList<QStringList> rows = cellsOfText(QGuiApplication::clipboard()->text());
    QStringList refused;
    const OneStep step(model(), QStringLiteral("粘贴"));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const QModelIndex target = model()->index(row1 + int(r), col1 + int(c));
            if (!target.isValid() || !(model()->flags(target) & Qt::ItemIsEditable)) {
                refused << columnName(col1 + int(c) + 1) + QString::number(row1 + int(r) + 1);
                continue;
            }
            QString typed = rows[r][c];
            if (editTextHook)
                editTextHook(typed);
            model()->setData(target, typed, Qt::EditRole);
        }
    }
    if (!refused.isEmpty())
        Q_EMIT pasteRefused(refused);
}

QMimeData* SheetTableView::cellsAsMimeData(const QAbstractItemModel& model, int row1, int col1, int row2,
                                           int col2)
{
    QString tabs;
    QString html = QStringLiteral("<table>");
    for (int r = row1; r <= row2; ++r) {
        html += QStringLiteral("<tr>");
        for (int c = col1; c <= col2; ++c) {
            const QModelIndex index = model.index(r, c);
            const QString text = model.data(index, Qt::DisplayRole).toString();
            tabs += quotedCell(text);
            if (c < col2)
                tabs += u'\t';
            QString style;
            if (model.data(index, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight)
                style += QStringLiteral("text-align:right;");
            const QBrush fill = model.data(index, Qt::BackgroundRole).value<QBrush>();
            if (fill.style() != Qt::NoBrush)
                style += QStringLiteral("background:%1;").arg(fill.color().name());
            html += style.isEmpty() ? QStringLiteral("<td>") : QStringLiteral("<td style=\"%1\">").arg(style);
            html += text.toHtmlEscaped() + QStringLiteral("</td>");
        }
        tabs += u'\n';
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    auto* data = new QMimeData;
    data->setText(tabs);
    data->setHtml(html);
    return data;
}

void SheetTableView::moveDown()
{
    const QModelIndex current = currentIndex();
    const QModelIndex below = current.sibling(current.row() + 1, current.column());
    if (below.isValid())
        setCurrentIndex(below);
}

bool SheetTableView::editCell(const QModelIndex& index)
{
    if (state() == EditingState)
        return false;
    for (auto* o : m_overlays) {
        if (o->isEditing())
            return false;
    }
    return edit(index, AllEditTriggers, nullptr);
}

} // namespace talor::grid
