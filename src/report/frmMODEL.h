#pragma once

#include "report/TemplateDesigner.h"

#include <QDialog>
#include <array>
#include <memory>

class QAction;
class QTableWidget;
class QToolBar;

namespace talor {

class SuiteServices;
class UiService;
namespace grid {
class SheetView;
class Workbook;
} // namespace grid

// The template designer "模板设计：[N]": the template of the current report and kind in the
// grid F1Book1, the commands MN01..MN07 (打开, 插入, 移除, 编辑, 保存, 退出, and 项目 (F4): what a
// double-click on the active cell does, for the keyboard) in a menu and as Toolbar1's buttons, and beside the
// grid the table FieldMap with the field each labelled column will show, so that a label the field lookup
// does not know stands out before saving. A double-click in the grid opens the field picker frmFIELD while
// editing is off (unless the report's picker is switched off), and starts editing the cell while editing is
// on, where texts and formulas ("=...") may be typed. Open and save go through the UI service's file dialogs;
// refusals and file errors are shown as messages. 退出 discards unsaved changes; Esc and the window's close
// box ask first when the design has changed since it was opened or saved.
class frmMODEL : public QDialog
{
    Q_OBJECT

public:
    frmMODEL(SuiteServices& suite, UiService& ui, QWidget* parent = nullptr);
    ~frmMODEL() override;

    TemplateDesigner& designer() { return m_designer; }
    grid::Workbook& book() { return *m_book; }
    grid::SheetView* F1Book1() const { return m_grid; }
    QAction* command(int number) const { return m_commands[size_t(number - 1)]; } // MN01..MN07

    // The handlers of MN01..MN07, public for the parts that drive the designer.
    void openTemplate();
    void insertColumn();
    void removeColumn();
    void startEditing();
    void saveTemplate();
    // 退出: closes, dropping unsaved changes.
    void exitDesigner();
    void gridDoubleClick(int row, int col);
    void pickAtCursor();
    // Esc and the close box: with a changed design, closes only when the operator drops it.
    void reject() override;

private:
    void buildControls();
    void showFieldMap();
    void showRefusal(const QString& message);

    SuiteServices& m_suite;
    UiService& m_ui;
    std::unique_ptr<grid::Workbook> m_book;
    TemplateDesigner m_designer;
    grid::SheetView* m_grid = nullptr;
    QToolBar* m_toolbar = nullptr;
    QTableWidget* m_fieldMap = nullptr;
    std::array<QAction*, 7> m_commands{};
    bool m_mapQueued = false;
    bool m_changed = false; // the design changed since it was opened or last saved
    QList<QMetaObject::Connection> m_sheetConnections;
};

} // namespace talor
