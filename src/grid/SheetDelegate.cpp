#include "grid/SheetDelegate.h"

#include "grid/Sheet.h"
#include "grid/SheetModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QTableView>

namespace talor::grid {

namespace {

// A spreadsheet line style as a pen: 1 thin, 2 medium, 3 dashed, 4 dotted, 5 thick,
// 6 double (drawn as a medium line), 7 hair, higher styles as dashed medium lines.
QPen borderPen(short style, quint32 colour)
{
    QPen pen(SheetModel::colour(colour));
    pen.setCapStyle(Qt::FlatCap);
    switch (style) {
    case 1:
        pen.setWidth(1);
        break;
    case 2:
    case 6:
        pen.setWidth(2);
        break;
    case 3:
        pen.setStyle(Qt::DashLine);
        break;
    case 4:
    case 7:
        pen.setStyle(Qt::DotLine);
        break;
    case 5:
        pen.setWidth(3);
        break;
    default:
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        break;
    }
    return pen;
}

// Columns a text may run over to its right.
constexpr int OverflowReach = 16;

const QTableView* tableOf(const QStyleOptionViewItem& option)
{
    return qobject_cast<const QTableView*>(option.widget);
}

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

// Room the style leaves on either side of a cell's text.
int textMargin(const QStyleOptionViewItem& option)
{
    return styleOf(option)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
}

// The rectangle of `index` in the view's viewport, in the row of `rowRect`.
QRect cellRect(const QTableView& view, const QModelIndex& index, const QRect& rowRect)
{
    return {view.columnViewportPosition(index.column()), rowRect.top(), view.columnWidth(index.column()),
            rowRect.height()};
}

} // namespace

SheetDelegate::SheetDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QStyleOptionViewItem SheetDelegate::optionFor(const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    return opt;
}

int SheetDelegate::overflowEnd(const QStyleOptionViewItem& opt, const QModelIndex& index) const
{
    const QTableView* view = tableOf(opt);
    if (!view || opt.text.isEmpty() || (opt.displayAlignment & Qt::AlignRight))
        return index.column();
    int room = view->columnWidth(index.column()) - 2 * textMargin(opt);
    const int width = opt.fontMetrics.horizontalAdvance(opt.text);
    int last = index.column();
    const int columns = index.model()->columnCount();
    while (width > room && last + 1 < columns && last - index.column() < OverflowReach) {
        const QModelIndex next = index.sibling(index.row(), last + 1);
        if (!next.data(Qt::DisplayRole).toString().isEmpty())
            break;
        room += view->columnWidth(++last);
    }
    return last;
}

QModelIndex SheetDelegate::overflowSource(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    for (int col = index.column() - 1; col >= 0 && index.column() - col <= OverflowReach; --col) {
        const QModelIndex left = index.sibling(index.row(), col);
        if (left.data(Qt::DisplayRole).toString().isEmpty())
            continue;
        return overflowEnd(optionFor(option, left), left) >= index.column() ? left : QModelIndex();
    }
    return {};
}

// Draws the text of `source` as it runs from its own cell over the empty cells to its right,
// clipped to `clip`: each cell it crosses draws its own part, so that no neighbour paints over it.
void SheetDelegate::paintRunningText(QPainter* painter, const QStyleOptionViewItem& sourceOption,
                                     const QModelIndex& source, const QRect& clip) const
{
    const QTableView* view = tableOf(sourceOption);
    const QRect start = cellRect(*view, source, clip);
    const int margin = textMargin(sourceOption);
    const QRect text(start.left() + margin, start.top(),
                     sourceOption.fontMetrics.horizontalAdvance(sourceOption.text) + 1, start.height());
    painter->save();
    painter->setClipRect(clip);
    painter->setFont(sourceOption.font);
    const QVariant foreground = source.data(Qt::ForegroundRole);
    if (clip == start && (sourceOption.state & QStyle::State_Selected))
        painter->setPen(sourceOption.palette.color(QPalette::HighlightedText));
    else if (foreground.canConvert<QBrush>())
        painter->setPen(foreground.value<QBrush>().color());
    else
        painter->setPen(sourceOption.palette.color(QPalette::Text));
    painter->drawText(text, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, sourceOption.text);
    painter->restore();
}

void SheetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyleOptionViewItem opt = optionFor(option, index);
    const QTableView* view = tableOf(option);
    // A text wider than its cell runs on over empty neighbours, as in a spreadsheet; a number
    // (a date, a time) that does not fit is drawn smaller rather than cut.
    int reach = index.column();
    QModelIndex source;
    if (view && !opt.text.isEmpty()) {
        const int room = option.rect.width() - 2 * textMargin(opt);
        const int width = opt.fontMetrics.horizontalAdvance(opt.text);
        if (width > room && (opt.displayAlignment & Qt::AlignRight)) {
            opt.font.setPointSizeF(std::max(1.0, opt.font.pointSizeF() * room / width));
            opt.fontMetrics = QFontMetrics(opt.font);
        } else if (width > room) {
            reach = overflowEnd(opt, index);
            if (reach > index.column())
                source = index;
        }
    } else if (view) {
        source = overflowSource(option, index);
        if (source.isValid())
            reach = overflowEnd(optionFor(option, source), source);
    }
    if (source == index) {
        QStyleOptionViewItem background(opt);
        background.text.clear();
        styleOf(opt)->drawControl(QStyle::CE_ItemViewItem, &background, painter, opt.widget);
        paintRunningText(painter, opt, index, option.rect);
    } else {
        styleOf(opt)->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        if (source.isValid())
            paintRunningText(painter, optionFor(option, source), source, option.rect);
    }
    // Each cell draws its right and bottom edges (the lines it shares with its neighbours),
    // taking the neighbour's left or top side into account; the first row and column also
    // draw their own top and left. An edge without a border is a light grid line.
    const auto own = index.data(SheetModel::BorderRole).value<CellBorder>();
    const QModelIndex right = index.sibling(index.row(), index.column() + 1);
    const QModelIndex below = index.sibling(index.row() + 1, index.column());
    const auto rightBorder =
        right.isValid() ? right.data(SheetModel::BorderRole).value<CellBorder>() : CellBorder();
    const auto belowBorder =
        below.isValid() ? below.data(SheetModel::BorderRole).value<CellBorder>() : CellBorder();
    const QRect r = option.rect;
    painter->save();
    auto edge = [painter](short style, quint32 colour, short otherStyle, quint32 otherColour, QPoint a,
                          QPoint b) {
        if (style > 0)
            painter->setPen(borderPen(style, colour));
        else if (otherStyle > 0)
            painter->setPen(borderPen(otherStyle, otherColour));
        else
            painter->setPen(QColor(0xD4, 0xD4, 0xD4));
        painter->drawLine(a, b);
    };
    // Where a text runs on into the next cell, no grid line crosses it (a border still does).
    if (reach == index.column() || own.right > 0 || rightBorder.left > 0)
        edge(own.right, own.rightColour, rightBorder.left, rightBorder.leftColour, r.topRight(),
             r.bottomRight());
    edge(own.bottom, own.bottomColour, belowBorder.top, belowBorder.topColour, r.bottomLeft(),
         r.bottomRight());
    if (index.column() == 0 && own.left > 0) {
        painter->setPen(borderPen(own.left, own.leftColour));
        painter->drawLine(r.topLeft(), r.bottomLeft());
    }
    if (index.row() == 0 && own.top > 0) {
        painter->setPen(borderPen(own.top, own.topColour));
        painter->drawLine(r.topLeft(), r.topRight());
    }
    painter->restore();
}

void SheetDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    QString text = line->text();
    if (editTextHook)
        editTextHook(text);
    model->setData(index, text, Qt::EditRole);
}

} // namespace talor::grid
