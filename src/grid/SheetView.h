#pragma once

#include <QWidget>
#include <memory>

namespace talor::grid {

class Workbook;

// The grid widget: shows the active sheet of a Workbook on Qt's model/view (no widget per
// cell), with custom column and row heading texts, headings on or off, frozen rows and
// columns that stay in place while the rest scrolls, fills and borders, the selection, and
// in-cell editing where the book's permission allows it. A column the operator resizes on the
// heading takes that width in the sheet.
//
// The owner reacts to the events below; editText hands over the typed text by reference
// before it reaches the cell, so that the owner may change it (prefix an apostrophe).
// selectionChanged, cellClicked and cellDoubleClicked report the operator's actions (a
// selection set by code through the Sheet does not emit them); rows and columns are 1-based.
class SheetView : public QWidget
{
    Q_OBJECT

public:
    explicit SheetView(QWidget* parent = nullptr);
    ~SheetView() override;

    void setWorkbook(Workbook* book);
    Workbook* workbook() const;

    // Starts editing the active cell in place (when the permission allows it).
    void startEdit();
    // Writes the text of a cell still in its editor to the sheet and closes the editor, as
    // leaving the cell would (through editText); nothing when no cell is being edited.
    void commitEdit();

    // The table that shows the body (the parts of the widget, for tests and focus).
    class SheetTableView* table() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);
    void selectionChanged();
    void editText(QString& text);
    // A paste left these cells ("B5") as they were: they may not be edited or lie outside.
    void pasteRefused(const QStringList& cells);
    // button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; x, y in the widget.
    void mouseButton(int button, int shift, int x, int y);

private:
    void showSheetSelection();

    struct Parts;
    std::unique_ptr<Parts> p;
};

} // namespace talor::grid
