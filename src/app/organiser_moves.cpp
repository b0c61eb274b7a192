#include "app/organiser.h"

#include "app/detailspanel.h"
#include "app/frmmovetreenode.h"
#include "app/windowprocedure.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace {
const QChar Separator = QLatin1Char('\\');
const QString CanNotMove = QStringLiteral("Can not move");

// The levels of a tree as they are copied: key, text and the key of the parent level.
struct LevelEntry
{
    QString key;
    QString text;
    QString parentKey;
};
} // namespace

void Organiser::refuseMove(const QString &text)
{
    m_context.ui.inform(text, CanNotMove, UiPort::Icon::Exclamation);
}

namespace {
QString takenText(const QString &taken, const QString &newKey, bool level, const QString &where)
{
    if (taken != newKey)
        return QStringLiteral("The move would give two entries the key \"%1\".").arg(taken);
    const int cut = int(newKey.lastIndexOf(Separator));
    const QString name = cut < 0 ? newKey.mid(LibraryNames::LevelPrefix.size()) : newKey.mid(cut + 1);
    return QStringLiteral("%1 already holds a %2 named \"%3\".")
        .arg(where, level ? QStringLiteral("level") : QStringLiteral("scenery"), name);
}
} // namespace

bool Organiser::moveIntoLevel(TreeNode *node, TreeNode *target)
{
    if (!node || !target || !isLevelKey(target->key()))
        return false;
    if (node->contains(target)) {
        refuseMove(
            QStringLiteral("A level can not be moved into itself or into one of the levels below it."));
        return false;
    }
    const QString oldKey = node->key();
    const bool level = isLevelKey(oldKey);
    const QString newKey = level ? target->key() + Separator + m_manager.dicLevel.item(oldKey)->sLevelCaption
                                 : LibraryNames::SceneryPrefix +
                                       target->key().mid(LibraryNames::LevelPrefix.size()) + Separator +
                                       m_manager.colScenery.item(oldKey)->Title;
    const QString taken = m_libraryTree.rekey(node, newKey);
    if (!taken.isEmpty()) {
        refuseMove(takenText(taken, newKey, level, QStringLiteral("The level \"%1\"").arg(target->text())));
        return false;
    }
    m_tree.move(node, target, Tree::Relation::Child);
    node->ensureVisible();
    return true;
}

bool Organiser::moveToRoot(TreeNode *node)
{
    const QString newKey = LibraryNames::LevelPrefix + node->text();
    const QString taken = m_libraryTree.rekey(node, newKey);
    if (!taken.isEmpty()) {
        refuseMove(takenText(taken, newKey, true, QStringLiteral("The top level")));
        return false;
    }
    const bool selected = m_tree.selectedItem() == node;
    TreeNode *fresh = replaceNode(node, nullptr, Tree::Relation::Last);
    if (selected)
        m_tree.setSelectedItem(fresh);
    fresh->ensureVisible();
    return true;
}

// ---- One step among the siblings -------------------------------------------------------------

void Organiser::InnerMove(int direction)
{
    guarded(m_context.ui, "InnerMove", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!node)
            return;
        TreeNode *anchor = nullptr;
        Tree::Relation relation = Tree::Relation::Previous;
        switch (direction) {
        case 0:
            anchor = node->firstSibling();
            break;
        case 1:
            anchor = node->previous();
            break;
        case 2:
            anchor = node->next();
            relation = Tree::Relation::Next;
            break;
        case 3:
            anchor = node->lastSibling();
            relation = Tree::Relation::Next;
            break;
        default:
            return;
        }
        if (!anchor || anchor == node)
            return;
        TreeNode *fresh = replaceNode(node, anchor, relation);
        m_tree.setSelectedItem(fresh);
        fresh->ensureVisible();
    });
}

// ---- Moving to another level -----------------------------------------------------------------

void Organiser::fillLevelTree(Tree &target) const
{
    // The levels are taken first: letting events run while walking the tree itself could pull a
    // node away under the walk.
    std::vector<LevelEntry> entries;
    for (const TreeNode *n = m_tree.firstRoot(); n; n = n->nextInWalk()) {
        if (isLevelKey(n->key()))
            entries.push_back({n->key(), n->text(), n->parent() ? n->parent()->key() : QString()});
    }
    target.clear();
    for (const LevelEntry &e : entries) {
        m_context.ui.processEvents();
        TreeNode *parent = target.node(e.parentKey);
        TreeNode *added = parent ? target.add(parent, Tree::Relation::Child, e.key, e.text)
                                 : target.add(nullptr, Tree::Relation::Last, e.key, e.text);
        added->ensureVisible();
    }
}

void Organiser::MoveTo()
{
    guarded(m_context.ui, "MoveTo", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!node)
            return;
        const bool level = isLevelKey(node->key());
        // The default level receives new and restored sceneries and stays where it is.
        if (level &&
            (node->text() == LibraryNames::NewLevelCaption || node->key() == LibraryNames::NewLevelKey))
            return;
        frmMoveTreeNode dialog;
        fillLevelTree(dialog.trvTree);
        dialog.cmdToRootVisible = level;
        dialog.Form_Activate();
        m_context.ui.showModal(dialog);
        if (dialog.bRoot && level) {
            moveToRoot(node);
        } else if (!dialog.sLevelKey.isEmpty()) {
            if (TreeNode *target = m_tree.node(dialog.sLevelKey))
                moveIntoLevel(node, target);
        }
    });
}

// ---- Dragging a scenery ----------------------------------------------------------------------

TreeNode *Organiser::dragNode() const
{
    return m_tree.node(m_dragNodeKey);
}

void Organiser::trvScenery_MouseDown(TreeNode *node)
{
    m_dragNodeKey = node ? node->key() : QString();
    if (node) {
        // The pressed node becomes the selected one even when the press lands on its check box,
        // which the tree control does not select: the commands act on what the panel shows.
        m_tree.setSelectedItem(node);
        m_details.trvScenery_NodeClick(node);
    }
    m_dropHighlightKey.clear();
}

bool Organiser::trvScenery_MouseMove(bool leftButton)
{
    if (!leftButton || m_dragging)
        return false;
    const TreeNode *node = dragNode();
    // Levels are never dragged.
    if (!node || !isSceneryKey(node->key()))
        return false;
    m_dragging = true;
    return true;
}

void Organiser::trvScenery_DragOver(TreeNode *node)
{
    m_dropHighlightKey = node && !isSceneryKey(node->key()) ? node->key() : QString();
}

void Organiser::dropOn(TreeNode *target)
{
    TreeNode *node = dragNode();
    if (target && node && isSceneryKey(node->key()))
        moveIntoLevel(node, target);
}

void Organiser::trvScenery_DragDrop()
{
    guarded(m_context.ui, "trvScenery_DragDrop", [&] { dropOn(m_tree.node(m_dropHighlightKey)); });
    m_dropHighlightKey.clear();
    m_dragging = false;
}

// ---- The "Move to" page ----------------------------------------------------------------------

void Organiser::setMoveToPageShown(bool shown)
{
    m_moveToShown = shown;
    // The page always shows the levels as they are now.
    if (shown)
        FillMoveToTree();
}

void Organiser::FillMoveToTree()
{
    guarded(m_context.ui, "FillMoveToTree", [&] { fillLevelTree(m_moveTo); });
}

void Organiser::refillMoveToIfShown()
{
    if (m_moveToShown)
        FillMoveToTree();
}

void Organiser::trvMoveTo_DblClick()
{
    TreeNode *selected = m_moveTo.selectedItem();
    if (!selected)
        return;
    if (TreeNode *node = m_tree.node(selected->key()))
        node->ensureVisible();
    selected->setExpanded(!selected->expanded());
}

void Organiser::trvMoveTo_DragOver(TreeNode *node)
{
    m_moveToHighlightKey = node ? node->key() : QString();
}

void Organiser::trvMoveTo_DragDrop()
{
    guarded(m_context.ui, "trvMoveTo_DragDrop", [&] {
        if (m_moveToHighlightKey.isEmpty())
            return;
        TreeNode *target = m_tree.node(m_moveToHighlightKey);
        m_moveToHighlightKey.clear();
        m_dragging = false;
        TreeNode *before = dragNode();
        dropOn(target);
        // A refused drop leaves the selection alone.
        if (!before || LibraryTree::getParentKey(before->key()) != (target ? target->key() : QString()))
            return;
        const TreeNode *newLevel = m_tree.node(LibraryNames::NewLevelKey);
        if (TreeNode *first = newLevel ? newLevel->firstChild() : nullptr) {
            m_tree.setSelectedItem(first);
            m_details.trvScenery_NodeClick(first);
        }
    });
    m_moveToHighlightKey.clear();
    m_dragging = false;
}
