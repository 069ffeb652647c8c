#include "grid/SheetDelegate.h"

#include "grid/Sheet.h"
#include "grid/SheetModel.h"

#include <QLineEdit>
#include <QPainter>

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

} // namespace

SheetDelegate::SheetDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void SheetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
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
    edge(own.right, own.rightColour, rightBorder.left, rightBorder.leftColour, r.topRight(), r.bottomRight());
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
