#pragma once

#include "sheet/SheetLog.h"
#include "sheet/SheetSaving.h"

#include <QString>
#include <array>
#include <utility>

namespace talor {

class ColumnFields;
class Recordset;
class SuiteServices;
namespace grid {
class Workbook;
}

// What editing needs of the window: the sum box, messages and the confirmation (through the
// UI service), the grid's focus and in-place editing, the external-module popup menu and the
// personnel component.
class EditingView
{
public:
    virtual ~EditingView() = default;
    virtual bool sumChecked() const = 0;
    // A message with an OK button and no title of its own.
    virtual void showMessage(const QString& text) = 0;
    // A note in the status bar, for what need not stop the operator.
    virtual void showStatus(const QString& text) { (void)text; }
    // A Yes/No question with `title`; true for Yes.
    virtual bool confirm(const QString& text, const QString& title) = 0;
    virtual void focusGrid() {}
    // Starts editing the grid's active cell in place.
    virtual void startCellEdit() {}
    // Shows MNE1..MNE7 with these captions (an empty caption hides the item) and pops the menu
    // MNE up at (x, y) of the grid when `popUp`.
    virtual void showExternalMenu(const std::array<QString, 7>& captions, bool popUp, int x, int y)
    {
        (void)captions, (void)popUp, (void)x, (void)y;
    }
    // The library file of the personnel component veld.clszh; empty when it is not installed.
    virtual QString personnelLibrary() const { return {}; }
    // Creates the component and calls its zh; throws std::exception on any failure.
    virtual void runComponent(const QString& className) { (void)className; }
};

// The edit and save commands (MN02, MN03) and the grid events around them: the edit
// permission of each selected cell, the text entry rule, and the hand-offs of a click (the
// published row), a double-click (the personnel module) and the right button (the external
// module menu). Messages and the confirmation go through the view; nothing here is a widget.
class SheetEditing
{
public:
    struct Parts
    {
        SuiteServices& suite;
        bool& dataChanged;  // DataChanged
        Recordset& records; // EmployeeRecords
        const ColumnFields& columns;
        grid::Workbook& book;
    };

    SheetEditing(Parts parts, EditingView& view, SheetLog::Clock clock);

    void editContent(); // MN02
    void saveContent(); // MN03
    // Out of editing: the flag, the permissions and the snapshot (also when the unsaved-data
    // guard gave the edits up).
    void endEditing();
    // ValidateSheet with the window's part: the message, the grid focused, the cell selected.
    bool ValidateSheet();

    void selectionChange();
    static void enterText(QString& text);
    void cellClick(int row, int col);
    void doubleClick();
    void mouseButton(int button, int shift, int x, int y);

    // The stem of the last log workbook written.
    QString logStem() const { return m_log.lastStem(); }
    const SaveOutcome& lastSave() const { return m_lastSave; }

    static inline const QString SumMessage = QStringLiteral("在合计状态下无法保存");
    static inline const QString NoRecordsToEdit = QStringLiteral("没有记录可以编辑");
    static inline const QString NotEditing = QStringLiteral("没有编辑，无需保存");
    static inline const QString NoRecordsToSave = QStringLiteral("请指定保存谁的资料");
    static inline const QString SaveQuestion = QStringLiteral("是否真的保存？");
    static inline const QString SaveTitle = QStringLiteral("系统提示");
    static inline const QString Saved = QStringLiteral("保存完毕");
    static inline const QString ShownAnew =
        QStringLiteral("编辑后报表已重新显示，编辑的内容已不在表中，没有保存；请重新编辑");
    static inline const QString PersonnelClass = QStringLiteral("veld.clszh");

private:
    void setPermissions(bool on);
    // The records' read and the sheet's format table now: what a snapshot is taken of.
    std::pair<quint64, quint64> shownNow() const;
    QString columnLabel(int col) const;
    bool onDataRow(int row) const;

    Parts m_parts;
    EditingView& m_view;
    SheetLog m_log;
    SheetSnapshot m_before;
    std::pair<quint64, quint64>
        m_beforeShown{}; // the records' read and the sheet's format table m_before was taken of
    SaveOutcome m_lastSave;
};

} // namespace talor
