#pragma once

#include <QString>
#include <functional>

class QTreeWidgetItem;

namespace talor {

// The operations other parts of the module plug into the main window: the report layout,
// the tree and list clicks, the select-report dialog, the edit, save and output commands, and
// every event of the grid. An empty hook does nothing; a hook that throws ends with a message
// from the window.
struct MainWindowHooks
{
    std::function<void()> layoutReport;                   // LayoutReport
    std::function<void(QTreeWidgetItem* node)> treeClick; // TreeView1 node click
    std::function<void()> listClick;                      // ListView1 item click
    std::function<void()> selectReport;                   // MN01's dialog frmSQL0
    std::function<void()> editContent, saveContent;       // MN02, MN03
    std::function<void()> preview, print, exportExcel;    // MN04, MN05, MN06
    // F1Book1's events.
    std::function<void(int button, int shift, int x, int y)> gridMouseButton;
    std::function<void(int row, int col)> gridClick, gridDoubleClick;
    std::function<void(QString& text)> gridEditText;
    std::function<void()> gridSelectionChange;
};

} // namespace talor
