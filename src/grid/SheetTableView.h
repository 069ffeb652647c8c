#pragma once

#include <QTableView>
#include <array>
#include <functional>

class QMimeData;

namespace talor::grid {

// A table view with frozen rows and columns: three overlay views (frozen columns, frozen
// rows, their corner) share the model, selection and delegate and lie over the scrolling
// body, kept in step with its scroll position and section sizes. Cells that lie in a frozen
// pane are edited in the overlay that shows them. Enter moves to the cell below, and so
// does Enter that ends an edit, as in a spreadsheet; F2 edits a cell that may be edited (it
// goes before a window shortcut on F2), Esc cancels an edit, Delete and Backspace clear the
// selected cells that may be edited, Ctrl+D fills the first row of the selection down over the
// cells below it that may be edited, Ctrl+C copies the selection as a spreadsheet's cells,
// Ctrl+V pastes a spreadsheet's cells from the selection's first cell on, each as if typed, and
// Ctrl+Z / Ctrl+Y undo and redo the edits, a paste, a fill or a Delete being one step each.
class SheetTableView : public QTableView
{
    Q_OBJECT

public:
    explicit SheetTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void setItemDelegate(QAbstractItemDelegate* delegate);
    void setFrozen(int rows, int columns);
    int frozenRows() const { return m_rows; }
    int frozenColumns() const { return m_cols; }
    void setHeadersShown(bool columnHeadings, bool rowHeadings);

    // The overlays, for the owner's signals: 0 frozen columns, 1 frozen rows, 2 corner.
    QTableView* overlay(int which) const;
    // Starts editing `index` in whichever view shows it.
    bool editCell(const QModelIndex& index);
    // The cells of the rectangle around the selection, as a spreadsheet puts them on the
    // clipboard: tab-separated shown texts (a text holding a tab, a line break or a quote in
    // quotes, its quotes doubled), and an HTML table with each cell's text, its alignment and
    // its fill, which spreadsheets paste as cells.
    static QMimeData* cellsAsMimeData(const QAbstractItemModel& model, int row1, int col1, int row2,
                                      int col2);
    // The cells of a spreadsheet's tab-separated text, row by row: a cell in double quotes may
    // hold tabs, line breaks and doubled quotes; a cell whose leading quote is not closed right
    // before a tab, a line end or the end of the text is read as it stands, quotes and all; the
    // line break that ends the text ends no row.
    static QList<QStringList> cellsOfText(const QString& text);

    // Typed text on its way into a cell (the delegate's hook, which pastes go through as well).
    std::function<void(QString&)> editTextHook;

Q_SIGNALS:
    // A paste left out cells that may not be edited or lie outside the sheet: their addresses
    // ("B5"), in the order of the pasted text.
    void pasteRefused(const QStringList& cells);

protected:
    bool event(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void keyPressEvent(QKeyEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    class Overlay;
    void layoutOverlays();
    void moveDown();
    void copySelection();
    void fillDown();
    void paste();
    // The rectangle around the selection (0-based rows and columns), or the current cell.
    bool selectedRectangle(int& row1, int& col1, int& row2, int& col2) const;
    Overlay* overlayFor(const QModelIndex& index) const;
    int frozenWidth() const;
    int frozenHeight() const;

    std::array<Overlay*, 3> m_overlays{};
    int m_rows = 0;
    int m_cols = 0;
};

} // namespace talor::grid
