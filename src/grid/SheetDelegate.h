#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace talor::grid {

// Paints a cell's fill (through the model's background), its borders and the grid lines
// (the views draw none of their own), and hands the text
// of an in-cell edit to `editTextHook` before it reaches the cell, so that the grid's owner
// may change it.
class SheetDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit SheetDelegate(QObject* parent = nullptr);

    std::function<void(QString&)> editTextHook;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

} // namespace talor::grid
