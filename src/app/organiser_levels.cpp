#include "app/organiser.h"

#include "app/windowprocedure.h"
#include "app/windowstatus.h"

#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <vector>

namespace {
const QString Ready = QStringLiteral("Ready.");
const QChar Separator = QLatin1Char('\\');

// Names the user types for levels and sceneries: "\" separates the parts of a key.
QString withoutSeparator(QString name)
{
    return name.replace(Separator, QLatin1Char('/'));
}

QString levelTakenText(const QString &caption)
{
    return QStringLiteral("There is already a level named \"%1\" at this place.").arg(caption);
}

// Adds a node as the first child of parent, or as the first top-level node without one.
TreeNode *addFirst(Tree &tree, TreeNode *parent, const QString &key, const QString &text)
{
    if (!parent)
        return tree.add(nullptr, Tree::Relation::First, key, text);
    if (parent->hasChildren())
        return tree.add(parent->firstChild(), Tree::Relation::First, key, text);
    return tree.add(parent, Tree::Relation::Child, key, text);
}
} // namespace

void Organiser::mnuLevelAdd_Click()
{
    guarded(m_context.ui, "mnuLevelAdd_Click", [&] {
        m_status.Display(QStringLiteral("Add a level."));
        const QString answer = m_context.ui.input(QStringLiteral("Enter name for the new level:"),
                                                  QStringLiteral("New Level"), QString());
        if (answer.isEmpty()) {
            m_status.Display(Ready);
            return;
        }
        const QString caption = withoutSeparator(answer);

        TreeNode *selected = m_tree.selectedItem();
        TreeNode *parent = nullptr; // none: a top-level level
        if (selected && isSceneryKey(selected->key())) {
            parent = selected->parent();
        } else if (selected) {
            const bool sameLevel = m_context.ui.askYesNo(
                QStringLiteral("Do you want to insert the new entry on the same level?"),
                QStringLiteral("Same level or child?"), UiPort::Icon::Question);
            parent = sameLevel ? selected->parent() : selected;
        }
        const QString key =
            parent ? parent->key() + Separator + caption : LibraryNames::LevelPrefix + caption;
        if (m_manager.dicLevel.contains(key) || m_tree.contains(key)) {
            m_context.ui.inform(levelTakenText(caption), QStringLiteral("Can not add level."),
                                UiPort::Icon::Exclamation);
            m_status.Display(Ready);
            return;
        }
        auto level = std::make_shared<clsLevel>();
        level->sLevelKey = key;
        level->sLevelCaption = caption;
        m_manager.dicLevel.add(key, level);
        // With nothing selected the level goes last; otherwise first among its new siblings.
        if (selected)
            addFirst(m_tree, parent, key, caption);
        else
            m_tree.add(nullptr, Tree::Relation::Last, key, caption);
        refillMoveToIfShown();
        m_status.Display(Ready);
    });
}

void Organiser::mnuLevelRemove_Click()
{
    guarded(m_context.ui, "mnuLevelRemove_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!node || node->text() == LibraryNames::NewLevelCaption)
            return;
        m_status.Display(QStringLiteral("Remove level."));
        const QString key = node->key();
        if (isLevelKey(key)) {
            // Sceneries the filter hides are subitems too: removing their level would orphan them.
            bool hasSubitems = node->hasChildren();
            for (auto it = m_manager.colScenery.begin(); !hasSubitems && it != m_manager.colScenery.end();
                 ++it)
                hasSubitems = LibraryTree::getParentKey(it.key()) == key;
            if (hasSubitems) {
                m_context.ui.inform(
                    QStringLiteral("This Level contains subitems. Please remove them before."),
                    QStringLiteral("Can not remove level."));
            } else {
                if (m_manager.dicLevel.contains(key))
                    m_manager.dicLevel.remove(key);
                m_tree.remove(node);
                refillMoveToIfShown();
            }
        }
        m_status.Display(Ready);
    });
}

void Organiser::mnuLevelRename_Click()
{
    guarded(m_context.ui, "mnuLevelRename_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!node)
            return;
        m_status.Display(QStringLiteral("Rename level."));
        const QString oldKey = node->key();
        if (!isLevelKey(oldKey) || node->text() == LibraryNames::NewLevelCaption) {
            m_status.Display(Ready);
            return;
        }
        const QString current = node->text();
        const QString answer = m_context.ui
                                   .input(QStringLiteral("Insert the new caption for the level: ") + current,
                                          QStringLiteral("Rename Level"), current)
                                   .trimmed();
        if (answer.isEmpty()) {
            m_status.Display(Ready);
            return;
        }
        const QString caption = withoutSeparator(answer);
        // Built from the parent, so that a caption changed by a label edit is mended as well.
        const QString newKey = node->parent() ? node->parent()->key() + Separator + caption
                                              : LibraryNames::LevelPrefix + caption;
        const QString taken = m_libraryTree.rekey(node, newKey);
        if (!taken.isEmpty()) {
            m_context.ui.inform(
                taken == newKey
                    ? levelTakenText(caption)
                    : QStringLiteral("The new caption would give two entries the key \"%1\".").arg(taken),
                QStringLiteral("Can not rename level."), UiPort::Icon::Exclamation);
            m_status.Display(Ready);
            return;
        }
        node->setText(caption);
        m_manager.dicLevel.item(newKey)->sLevelCaption = caption;
        refillMoveToIfShown();
        m_status.Display(Ready);
    });
}

void Organiser::sortLevel(bool descending)
{
    TreeNode *level = m_tree.selectedItem();
    if (!level)
        return;
    m_status.Display(QStringLiteral("Sort level."));
    if (isLevelKey(level->key()) && level->hasChildren()) {
        std::vector<TreeNode *> list;
        for (TreeNode *child = level->firstChild(); child; child = child->next())
            list.push_back(child);
        // The children give up their keys, so that the sorted copies can take them.
        for (TreeNode *child : list)
            m_tree.setKey(child, QStringLiteral("Sort") + child->key());
        for (size_t round = 0; round < list.size(); ++round) {
            size_t winner = list.size();
            for (size_t i = 0; i < list.size(); ++i) {
                if (!list[i])
                    continue;
                // Strictly before / after only: equal texts keep their order.
                const int order = winner == list.size()
                                      ? 0
                                      : list[i]->text().compare(list[winner]->text(), Qt::CaseSensitive);
                if (winner == list.size() || (descending ? order > 0 : order < 0))
                    winner = i;
            }
            TreeNode *node = list[winner];
            list[winner] = nullptr;
            replaceNode(node, level, Tree::Relation::Child, node->key().mid(4)); // without "Sort"
        }
    }
    m_status.Display(Ready);
}

void Organiser::mnuLevelSort_Click()
{
    guarded(m_context.ui, "mnuLevelSort_Click", [&] { sortLevel(false); });
}

void Organiser::mnuLevelSortDesc_Click()
{
    guarded(m_context.ui, "mnuLevelSortDesc_Click", [&] { sortLevel(true); });
}
