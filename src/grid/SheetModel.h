#pragma once

#include "grid/Sheet.h"
#include "grid/Workbook.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QUndoStack>

namespace talor::grid {

// The active sheet of a Workbook as a Qt table model: rowCount is the sheet's last row,
// columnCount its last column; headers show the custom heading texts, or A, B, C and 1, 2,
// 3. Fills come as BackgroundRole, numbers align right. A cell change emits dataChanged for
// that cell only; growth of the sheet is announced once per turn of the event loop
// (syncExtent), shrinking at once. Cells are editable only while the book allows in-cell editing; setData
// stores the text as typed (Sheet::setText).
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Roles beyond Qt's: the cell's CellBorder and CellFill.
    enum Role
    {
        BorderRole = Qt::UserRole + 1,
        FillRole
    };

    explicit SheetModel(Workbook* book, QObject* parent = nullptr);

    Workbook* workbook() const { return m_book; }
    Sheet* sheet() const { return m_sheet; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The operator's edits (setData) for undo and redo, one step each, or one for many cells
    // between beginMacro and endMacro. A step is undone or redone only while its cells may
    // still be edited. The steps are forgotten when the book's editable cells are set anew
    // (editing begins or ends) and when the sheet is replaced, so that no step reaches cells
    // that show something else by then.
    QUndoStack& undoStack() { return m_undo; }
    // Writes `text` as typed into (row, col), 1-based, without a step of its own.
    void writeTyped(int row, int col, const QString& text);

    // Growth of the sheet reaches the views once per turn of the event loop; this brings
    // rowCount and columnCount up to the sheet's extent at once.
    void syncExtent();

    // 0x00BBGGRR to a QColor.
    static QColor colour(quint32 bgr);

private:
    void attach();
    void detach();
    void onCellsChanged(const CellRange& range);
    void onExtentChanged();

    QPointer<Workbook> m_book;
    QPointer<Sheet> m_sheet;
    int m_rows = 0;
    int m_cols = 0;
    bool m_resetting = false;
    bool m_syncQueued = false;
    QUndoStack m_undo;
};

} // namespace talor::grid
