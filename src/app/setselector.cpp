#include "app/setselector.h"

#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QSet>

namespace {
const QString Ready = QStringLiteral("Ready.");

bool isScenery(const TreeNode *node)
{
    return isSceneryKey(node->key());
}
} // namespace

SetSelector::SetSelector(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                         WindowStatus &status, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_tree(tree), m_libraryTree(libraryTree),
      m_status(status)
{
    connect(&m_libraryTree, &LibraryTree::treeRebuilt, this, &SetSelector::onTreeRebuilt);
}

// ---- The set selector --------------------------------------------------------------------

void SetSelector::setComboText(const QString &text)
{
    m_combo.text = text;
    m_combo.listIndex = int(m_combo.items.indexOf(text));
    emit setListChanged();
}

void SetSelector::cboScenerySet_Click(int listIndex)
{
    if (listIndex < 0 || listIndex >= m_combo.items.size())
        return;
    m_combo.listIndex = listIndex;
    m_combo.text = m_combo.items.at(listIndex);
    emit setListChanged();
    TransferData();
}

void SetSelector::cboScenerySet_Change(const QString &text)
{
    m_combo.text = text;
    m_combo.listIndex = -1;
    emit setListChanged();
}

void SetSelector::cboScenerySet_KeyDown(Qt::Key key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        TransferData();
}

void SetSelector::cboScenerySet_LostFocus()
{
    TransferData();
}

void SetSelector::fillSetList(bool allSimulators)
{
    m_combo = SetCombo{};
    // "(Current)" heads the list: the Scenery.cfg reader creates it after the stored sets were
    // read, but it is the set the user starts from and the one the set commands fall back to.
    if (m_manager.dicCFGs.contains(LibraryNames::CurrentSet))
        m_combo.items.append(LibraryNames::CurrentSet);
    for (const CfgPtr &set : m_manager.dicCFGs) {
        // A set's Cache_Size names the simulator it belongs to.
        if (set->Key != LibraryNames::CurrentSet && (allSimulators || set->Cache_Size == m_manager.SimType))
            m_combo.items.append(set->Key);
    }
    emit setListChanged();
    m_cfgMarksPending = true;
    const int current = int(m_combo.items.indexOf(LibraryNames::CurrentSet));
    if (current >= 0)
        cboScenerySet_Click(current);
}

// ---- Writing the check boxes back and switching the displayed set ------------------------

void SetSelector::TransferData()
{
    guarded(m_context.ui, "TransferData", [&] {
        if (m_displayedSet) {
            OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
            const bool hiddenFromCfg = std::exchange(m_hiddenFromCfg, false);

            // Sceneries hidden by the filter have no check box; their membership stays as it
            // was (or, right after a Scenery.cfg was read, follows InCFG like the shown ones).
            QSet<QString> shownTitles;
            for (TreeNode *node = m_tree.firstAdded(); node; node = node->nextAdded()) {
                if (isScenery(node))
                    shownTitles.insert(node->text());
            }
            QStringList keptHidden;
            QSet<QString> hiddenTitles;
            for (const SceneryPtr &scenery : m_manager.colScenery) {
                if (m_tree.contains(scenery->Key) || shownTitles.contains(scenery->Title))
                    continue;
                const bool member = hiddenFromCfg ? scenery->InCFG : members.contains(scenery->Title);
                if (member && !hiddenTitles.contains(scenery->Title))
                    keptHidden.append(scenery->Title);
                hiddenTitles.insert(scenery->Title);
            }

            members.clear();
            for (TreeNode *node = m_tree.firstAdded(); node; node = node->nextAdded()) {
                if (isScenery(node) && node->checked() && !members.contains(node->text()))
                    members.add(node->text(), node->text());
            }
            for (const QString &title : std::as_const(keptHidden)) {
                if (!members.contains(title))
                    members.add(title, title);
            }
        }

        // An empty name names no set; the displayed set stays.
        const QString name = m_combo.text;
        if (!name.isEmpty()) {
            if (m_manager.dicCFGs.contains(name)) {
                m_displayedSet = m_manager.dicCFGs.item(name);
            } else {
                auto set = std::make_shared<clsCFG>();
                set->Key = name;
                set->Cache_Size = m_manager.SimType;
                m_manager.dicCFGs.add(name, set);
                m_combo.items.append(name);
                m_combo.listIndex = int(m_combo.items.size()) - 1;
                emit setListChanged();
                m_displayedSet = set;
            }
        }

        showSetCounts();
        applySetMarks();
    });
}

void SetSelector::removeListEntry(const QString &name)
{
    const qsizetype index = m_combo.items.indexOf(name);
    if (index < 0)
        return;
    m_combo.items.removeAt(index);
    m_combo.listIndex = -1;
    emit setListChanged();
    cboScenerySet_Click(0);
}

void SetSelector::rebindDisplayedSet()
{
    if (m_displayedSet)
        m_displayedSet = m_manager.dicCFGs.value(m_displayedSet->Key);
    showSetCounts();
}

void SetSelector::showSetCounts()
{
    const qsizetype members = m_displayedSet ? m_displayedSet->colUsedSceneries.count() : 0;
    m_status.showCounts(m_manager.dicLevel.count(), m_manager.colScenery.count(), members);
}

void SetSelector::trvScenery_NodeCheck(TreeNode *node)
{
    guarded(m_context.ui, "trvScenery_NodeCheck", [&] {
        if (!node)
            return;
        m_libraryTree.SelectSubNodes(node);
        TransferData();
    });
}

void SetSelector::onTreeRebuilt()
{
    // A rebuild marks the boxes from InCFG. Right after a Scenery.cfg was read that is what
    // "(Current)" is to hold; otherwise the displayed set's own marks are put back, so that the
    // next write-back does not replace its members by the InCFG marks.
    if (m_cfgMarksPending) {
        m_cfgMarksPending = false;
        m_hiddenFromCfg = true;
        return;
    }
    applySetMarks();
}

void SetSelector::applySetMarks()
{
    if (!m_displayedSet)
        return;
    const OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
    for (TreeNode *node = m_tree.firstAdded(); node; node = node->nextAdded())
        node->setChecked(members.contains(node->text()));
}

// ---- Set commands ------------------------------------------------------------------------

void SetSelector::mnuSetAdd_Click()
{
    guarded(m_context.ui, "mnuSetAdd_Click", [&] {
        m_status.Display(QStringLiteral("Add new set."));
        const QString name = m_context.ui.input(QStringLiteral("Insert a new Set name:"),
                                                QStringLiteral("Create new set"), QString());
        if (!name.isEmpty()) {
            setComboText(name);
            TransferData();
        }
        m_status.Display(Ready);
    });
}

void SetSelector::mnuSetRemove_Click()
{
    guarded(m_context.ui, "mnuSetRemove_Click", [&] {
        m_status.Display(QStringLiteral("Remove set."));
        if (m_displayedSet && m_displayedSet->Key != LibraryNames::CurrentSet) {
            const QString name = m_displayedSet->Key;
            // The entry of the set itself: the list position may be none (a set of another
            // simulator typed into the field) and "(Current)" need not be the first entry.
            const int position = int(m_combo.items.indexOf(name));
            m_manager.dicCFGs.remove(name);
            cboScenerySet_Click(int(m_combo.items.indexOf(LibraryNames::CurrentSet)));
            if (position >= 0) {
                m_combo.items.removeAt(position);
                m_combo.listIndex = int(m_combo.items.indexOf(m_combo.text));
                emit setListChanged();
            }
        }
        m_status.Display(Ready);
    });
}

void SetSelector::mnuSetRename_Click()
{
    guarded(m_context.ui, "mnuSetRename_Click", [&] {
        if (!m_displayedSet || m_displayedSet->Key == LibraryNames::CurrentSet) {
            m_status.Display(Ready);
            return;
        }
        const QString oldName = m_displayedSet->Key;
        const QString newName = m_context.ui.input(QStringLiteral("Type in the new set name."),
                                                   QStringLiteral("Rename set"), oldName);
        if (newName.isEmpty() || newName == oldName) {
            m_status.Display(Ready);
            return;
        }
        // Two sets under one name cannot be told apart: the rename is refused.
        if (m_manager.dicCFGs.contains(newName)) {
            m_context.ui.inform(QStringLiteral("A set named \"%1\" exists already.").arg(newName),
                                QStringLiteral("Rename set"));
            m_status.Display(Ready);
            return;
        }
        m_status.Display(QStringLiteral("Rename set."));
        CfgPtr set = m_manager.dicCFGs.item(oldName);
        const int position = int(m_combo.items.indexOf(oldName));
        m_manager.dicCFGs.remove(oldName);
        cboScenerySet_Click(int(m_combo.items.indexOf(LibraryNames::CurrentSet)));
        if (position >= 0)
            m_combo.items.removeAt(position);
        set->Key = newName;
        m_manager.dicCFGs.add(newName, set);
        m_combo.items.append(newName);
        emit setListChanged();
        cboScenerySet_Click(int(m_combo.items.size()) - 1);
        m_status.Display(Ready);
    });
}

void SetSelector::mnuCreateSetfromCurrent_Click()
{
    guarded(m_context.ui, "mnuCreateSetfromCurrent_Click", [&] {
        if (!m_displayedSet || m_displayedSet->Key == LibraryNames::CurrentSet)
            return;
        m_status.Display(QStringLiteral("Create set from 'Current' set."));
        OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
        members.clear();
        if (CfgPtr current = m_manager.dicCFGs.value(LibraryNames::CurrentSet)) {
            for (auto it = current->colUsedSceneries.begin(); it != current->colUsedSceneries.end(); ++it) {
                if (!members.contains(it.key()))
                    members.add(it.key(), *it);
            }
        }
        applySetMarks();
        m_status.Display(Ready);
    });
}

void SetSelector::mnuFindSceneryWithoutSet_Click()
{
    guarded(m_context.ui, "mnuFindSceneryWithoutSet_Click", [&] {
        m_status.Display(QStringLiteral("Find sceneries without set."));
        for (const SceneryPtr &scenery : m_manager.colScenery) {
            TreeNode *node = m_tree.node(scenery->Key);
            if (!node)
                continue;
            node->setBold(false);
            bool inSomeSet = false;
            for (const CfgPtr &set : m_manager.dicCFGs) {
                if (set->Key != LibraryNames::CurrentSet && set->colUsedSceneries.contains(scenery->Title)) {
                    inSomeSet = true;
                    break;
                }
            }
            if (!inSomeSet)
                node->setBold(true);
        }
        m_status.Display(Ready);
    });
}

// ---- The per-scenery set menus -----------------------------------------------------------

SetSelector::PopupMenu SetSelector::trvScenery_RightClick()
{
    TreeNode *node = m_tree.selectedItem();
    if (!node)
        return PopupMenu::None;
    if (!isSceneryKey(node->key()))
        return PopupMenu::Level;
    fillSetMenu();
    m_setSubMenusVisible = true;
    return PopupMenu::Scenery;
}

const SetSelector::SetMenu &SetSelector::fillSetMenu()
{
    guarded(m_context.ui, "fillSetMenu", [&] {
        m_setMenu = SetMenu{};
        TreeNode *node = m_tree.selectedItem();
        const QString title = node ? node->text() : QString();
        m_setMenu.mnuSets.append(MenuEntry{QString(), false});
        m_setMenu.mnuInSets.append(MenuEntry{QString(), false});
        bool inSome = false;
        bool missingFromSome = false;
        for (const CfgPtr &set : m_manager.dicCFGs) {
            MenuEntry add{set->Key, false};
            MenuEntry remove{set->Key, false};
            if (set->Key != LibraryNames::CurrentSet) {
                if (set->colUsedSceneries.contains(title)) {
                    remove.visible = true;
                    inSome = true;
                } else {
                    add.visible = true;
                    missingFromSome = true;
                }
            }
            m_setMenu.mnuSets.append(add);
            m_setMenu.mnuInSets.append(remove);
        }
        m_setMenu.mnuAddToSetEnabled = missingFromSome;
        m_setMenu.mnuRemoveFromSetEnabled = inSome;
    });
    return m_setMenu;
}

void SetSelector::mnuSets_Click(int index)
{
    guarded(m_context.ui, "mnuSets_Click", [&] {
        m_status.Display(QStringLiteral("Show sceneries of set."));
        TreeNode *node = m_tree.selectedItem();
        if (node && index >= 1 && index <= m_manager.dicCFGs.count()) {
            CfgPtr set = m_manager.dicCFGs.at(index);
            set->addMember(node->text());
            if (index < m_setMenu.mnuSets.size() && m_combo.text == m_setMenu.mnuSets.at(index).caption)
                node->setChecked(true);
        }
        showSetCounts();
        m_status.Display(Ready);
    });
}

void SetSelector::mnuInSets_Click(int index)
{
    guarded(m_context.ui, "mnuInSets_Click", [&] {
        m_status.Display(QStringLiteral("Check if scenery is in set."));
        TreeNode *node = m_tree.selectedItem();
        if (node && index >= 1 && index <= m_manager.dicCFGs.count()) {
            CfgPtr set = m_manager.dicCFGs.at(index);
            if (set->colUsedSceneries.contains(node->text()))
                set->colUsedSceneries.remove(node->text());
            if (index < m_setMenu.mnuSets.size() && m_combo.text == m_setMenu.mnuSets.at(index).caption)
                node->setChecked(false);
        }
        showSetCounts();
        m_status.Display(Ready);
    });
}
