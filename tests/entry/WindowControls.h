#pragma once

#include "support/FindChild.h"

#include <QAction>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace talor::test {

// The main window's controls as the operator uses them, found by their names.

// The node of TreeView1 with the key `key` (ROOT, A + department, ...); null when there is none.
inline QTreeWidgetItem* treeNode(QWidget& window, const QString& key)
{
    for (QTreeWidgetItemIterator it(child<QTreeWidget>(window, "TreeView1")); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == key)
            return *it;
    return nullptr;
}

// A click on the tree node `key`, as the operator's mouse gives it.
inline void clickNode(QWidget& window, const QString& key)
{
    Q_EMIT child<QTreeWidget>(window, "TreeView1")->itemClicked(treeNode(window, key), 0);
}

// A menu command or toolbar button by its action's name ("MN05", "MNE2", "KEY-16"), as its
// menu item, key or button runs it.
inline void trigger(QWidget& window, const char* action)
{
    child<QAction>(window, action)->trigger();
}

// The report kind button Option`kind`, and a click on it.
inline QRadioButton* option(QWidget& window, int kind)
{
    return child<QRadioButton>(window, QStringLiteral("Option%1").arg(kind));
}
inline void chooseKind(QWidget& window, int kind)
{
    option(window, kind)->click();
}

// One tick of the window's timer Timer1, as its timeout runs it.
inline void tick(QWidget& window)
{
    QMetaObject::invokeMethod(child<QTimer>(window, "Timer1"), "timeout");
}

} // namespace talor::test
