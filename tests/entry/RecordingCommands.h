#pragma once

#include "entry/ModuleCommands.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace talor::test {

// Module commands that record what the window ran, by name ("layoutReport", "treeClick", ...),
// and the nodes of the tree clicks; `onRun` runs inside each command and may throw.
class RecordingCommands : public ModuleCommands
{
public:
    QStringList ran;
    QList<QTreeWidgetItem*> treeNodes;
    std::function<void(const QString& command)> onRun;

    qsizetype count(const QString& command) const { return ran.count(command); }

    void layoutReport() override { record("layoutReport"); }
    void treeClick(QTreeWidgetItem* node) override
    {
        treeNodes << node;
        record("treeClick");
    }
    void listClick() override { record("listClick"); }
    void redisplayPerson() override { record("redisplayPerson"); }
    void selectReport() override { record("selectReport"); }
    void editContent() override { record("editContent"); }
    void saveContent() override { record("saveContent"); }
    void preview() override { record("preview"); }
    void print() override { record("print"); }
    void exportExcel() override { record("exportExcel"); }
    void endEditing() override { record("endEditing"); }
    void gridMouseButton(int, int, int, int) override { record("gridMouseButton"); }
    void gridClick(int, int) override { record("gridClick"); }
    void gridDoubleClick(int, int) override { record("gridDoubleClick"); }
    void gridEditText(QString&) override { record("gridEditText"); }
    void gridSelectionChange() override { record("gridSelectionChange"); }

private:
    void record(const QString& command)
    {
        ran << command;
        if (onRun)
            onRun(command);
    }
};

} // namespace talor::test
