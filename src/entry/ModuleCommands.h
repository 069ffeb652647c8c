#pragma once

#include <QString>

class QTreeWidgetItem;

namespace talor {

// The module's operations that the main window runs: the report layout, the tree and list
// clicks, the select-report dialog, the edit, save and output commands, and every event of the
// grid. ModuleParts implements them over the module's parts; the window runs nothing of the
// module while none are plugged into it, and a command that throws ends with a message from
// the window.
class ModuleCommands
{
public:
    virtual ~ModuleCommands() = default;

    virtual void layoutReport() = 0;                   // LayoutReport
    virtual void treeClick(QTreeWidgetItem* node) = 0; // TreeView1 node click
    virtual void listClick() = 0;                      // ListView1 item click
    virtual void redisplayPerson() = 0;                // kind 1 shown again for the person shown
    virtual void selectReport() = 0;                   // MN01's dialog frmSQL0
    virtual void editContent() = 0;                    // MN02
    virtual void saveContent() = 0;                    // MN03
    virtual void preview() = 0;                        // MN04
    virtual void print() = 0;                          // MN05
    virtual void exportExcel() = 0;                    // MN06
    // The unsaved-data guard gave the edits up: editing ends, so that nothing typed afterwards
    // goes unasked and unsaved.
    virtual void endEditing() = 0;

    // F1Book1's events.
    virtual void gridMouseButton(int button, int shift, int x, int y) = 0;
    virtual void gridClick(int row, int col) = 0;
    virtual void gridDoubleClick(int row, int col) = 0;
    virtual void gridEditText(QString& text) = 0;
    virtual void gridSelectionChange() = 0;
};

} // namespace talor
