// The search field above the department tree: a name, a member number or a department's name
// typed there selects the first node or person that matches (the person's team, group or
// department in the tree, and the person in the list once it lists them); Enter selects the
// next match, Down goes on into the tree, where Enter runs the node's report as a click does.

#include "db/Recordset.h"
#include "entry/frmKQJL.h"

#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace talor {

void frmKQJL::buildSearch()
{
    m_search = new QLineEdit(m_client);
    m_search->setObjectName("TreeSearch");
    m_search->setPlaceholderText(QStringLiteral("查找姓名、工号或部门"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("查找"));
    connect(m_search, &QLineEdit::textEdited, this, &frmKQJL::searchEdited);
    connect(m_search, &QLineEdit::returnPressed, this, &frmKQJL::searchNext);
    m_search->installEventFilter(this);
}

void frmKQJL::placeTreeArea(const QRect& area)
{
    const int height = std::min(m_search->sizeHint().height(), area.height() / 2);
    m_search->setGeometry(area.x(), area.y(), area.width(), height);
    m_tree->setGeometry(area.adjusted(0, height, 0, 0));
}

void frmKQJL::searchEdited(const QString& text)
{
    QString unread;
    if (!m_finder.hasPersons() && !text.trimmed().isEmpty()) {
        // The persons are read at the first letter typed after a load, not at every start.
        try {
            Recordset persons;
            m_finder.setPersons(TreeSearch::readPersons(m_suite, persons, m_state.SuiteFilter));
        } catch (const std::exception& error) {
            // Nodes are still found; the persons are tried again at the next letter.
            unread = QStringLiteral("查找：人员读不出：") + QString::fromUtf8(error.what());
        }
    }
    m_matches = m_finder.find(text);
    m_match = 0;
    m_wantedPerson.clear();
    if (text.trimmed().isEmpty()) {
        m_status->clearMessage();
    } else if (unread.isEmpty()) {
        showMatch();
    } else if (m_matches.empty()) {
        // No node matches: the persons that could not be read are why, not "no match".
        m_status->showMessage(unread);
    } else {
        // The nodes found, and that persons were left out of the search.
        showMatch();
        m_status->showMessage(m_status->currentMessage() + QStringLiteral("；") + unread);
    }
}

void frmKQJL::searchNext()
{
    if (m_matches.empty())
        return showMatch();
    m_match = (m_match + 1) % m_matches.size();
    showMatch();
}

void frmKQJL::showMatch()
{
    if (m_matches.empty()) {
        m_status->showMessage(
            QStringLiteral("查找：没有与“%1”相符的部门或人员").arg(m_search->text().trimmed()));
        return;
    }
    const TreeSearch::Match& match = m_matches[m_match];
    QTreeWidgetItem* node = nullptr;
    QString found;
    if (match.node) {
        node = treeNode(match.node->key);
        found = match.node->text;
        m_wantedPerson.clear();
    } else {
        node = nodeByNames(match.person->nodeNames);
        found = match.person->name + "(" + match.person->number + ")";
        m_wantedPerson = "A" + match.person->number; // the list's key of the person
        for (int i = 0; i < m_list->count(); ++i)
            if (m_list->item(i)->data(Qt::UserRole).toString() == m_wantedPerson)
                m_list->setCurrentRow(i);
    }
    if (node) {
        m_tree->setCurrentItem(node);
        m_tree->scrollToItem(node);
    }
    m_status->showMessage(QStringLiteral("查找：第 %1/%2 个：%3（Enter 查下一个，↓ 进入部门树）")
                              .arg(m_match + 1)
                              .arg(m_matches.size())
                              .arg(found));
}

QTreeWidgetItem* frmKQJL::nodeByNames(const QStringList& names) const
{
    // From the organisation down: the department, then its group, then its team, as far as
    // the person has them and the tree holds them.
    QTreeWidgetItem* node = m_tree->topLevelItemCount() > 0 ? m_tree->topLevelItem(0) : nullptr;
    for (const QString& name : names) {
        if (!node || name.isEmpty())
            break;
        QTreeWidgetItem* child = nullptr;
        for (int i = 0; i < node->childCount() && !child; ++i)
            if (node->child(i)->text(0) == name)
                child = node->child(i);
        if (!child)
            break;
        node = child;
    }
    return node;
}

} // namespace talor
