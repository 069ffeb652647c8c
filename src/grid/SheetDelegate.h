#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace talor::grid {

// Paints a cell's fill (through the model's background), its borders and the grid lines
// (the views draw none of their own); a text wider than its cell runs on over the empty cells
// to its right, a number that does not fit is drawn smaller. It hands the text
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

private:
    QStyleOptionViewItem optionFor(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // The last column a cell's text covers: its own, or the last of the empty cells to its
    // right that its text runs on over.
    int overflowEnd(const QStyleOptionViewItem& opt, const QModelIndex& index) const;
    // The nearest cell to the left whose text runs on over `index` (an empty cell), if any.
    QModelIndex overflowSource(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintRunningText(QPainter* painter, const QStyleOptionViewItem& sourceOption,
                          const QModelIndex& source, const QRect& clip) const;
};

} // namespace talor::grid
