#include "app/frmscenery.h"

#include "library/scenerymanager.h"

#include <QSet>

namespace {
const QString Ready = QStringLiteral("Ready.");

bool isScenery(const TreeNode *node)
{
    return isSceneryKey(node->key());
}
}

// ---- The set selector --------------------------------------------------------------------

void frmScenery::setComboText(const QString &text)
{
    m_setCombo.text = text;
    m_setCombo.listIndex = int(m_setCombo.items.indexOf(text));
    emit setListChanged();
}

void frmScenery::cboScenerySet_Click(int listIndex)
{
    if (listIndex < 0 || listIndex >= m_setCombo.items.size())
        return;
    m_setCombo.listIndex = listIndex;
    m_setCombo.text = m_setCombo.items.at(listIndex);
    emit setListChanged();
    TransferData();
}

void frmScenery::cboScenerySet_Change(const QString &text)
{
    m_setCombo.text = text;
    m_setCombo.listIndex = -1;
    emit setListChanged();
}

void frmScenery::cboScenerySet_KeyDown(Qt::Key key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        TransferData();
}

void frmScenery::cboScenerySet_LostFocus()
{
    TransferData();
}

void frmScenery::fillSetList(bool allSimulators)
{
    m_setCombo = SetCombo{};
    // "(Current)" heads the list: the Scenery.cfg reader creates it after the stored sets were
    // read, but it is the set the user starts from and the one the set commands fall back to.
    if (m_manager.dicCFGs.contains(LibraryNames::CurrentSet))
        m_setCombo.items.append(LibraryNames::CurrentSet);
    for (const CfgPtr &set : m_manager.dicCFGs) {
        if (set->Key != LibraryNames::CurrentSet && (allSimulators || set->Cache_Size == m_manager.SimType))
            m_setCombo.items.append(set->Key);
    }
    emit setListChanged();
    m_cfgMarksPending = true;
    const int current = int(m_setCombo.items.indexOf(LibraryNames::CurrentSet));
    if (current >= 0)
        cboScenerySet_Click(current);
}

// ---- Writing the check boxes back and switching the displayed set ------------------------

void frmScenery::TransferData()
{
    guarded("TransferData", [&] {
        if (m_displayedSet) {
            OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
            const bool hiddenFromCfg = std::exchange(m_hiddenFromCfg, false);

            // Sceneries hidden by the filter have no check box; their membership stays as it
            // was (or, right after a Scenery.cfg was read, follows InCFG like the shown ones).
            QSet<QString> shownTitles;
            for (TreeNode *node = m_tree->firstAdded(); node; node = node->nextAdded()) {
                if (isScenery(node))
                    shownTitles.insert(node->text());
            }
            QStringList keptHidden;
            QSet<QString> hiddenTitles;
            for (const SceneryPtr &scenery : m_manager.colScenery) {
                if (m_tree->contains(scenery->Key) || shownTitles.contains(scenery->Title))
                    continue;
                const bool member = hiddenFromCfg ? scenery->InCFG : members.contains(scenery->Title);
                if (member && !hiddenTitles.contains(scenery->Title))
                    keptHidden.append(scenery->Title);
                hiddenTitles.insert(scenery->Title);
            }

            members.clear();
            for (TreeNode *node = m_tree->firstAdded(); node; node = node->nextAdded()) {
                if (isScenery(node) && node->checked() && !members.contains(node->text()))
                    members.add(node->text(), node->text());
            }
            for (const QString &title : std::as_const(keptHidden)) {
                if (!members.contains(title))
                    members.add(title, title);
            }
        }

        // An empty name names no set; the displayed set stays.
        const QString name = m_setCombo.text;
        if (!name.isEmpty()) {
            if (m_manager.dicCFGs.contains(name)) {
                m_displayedSet = m_manager.dicCFGs.item(name);
            } else {
                auto set = std::make_shared<clsCFG>();
                set->Key = name;
                set->Cache_Size = m_manager.SimType;
                m_manager.dicCFGs.add(name, set);
                m_setCombo.items.append(name);
                m_setCombo.listIndex = int(m_setCombo.items.size()) - 1;
                emit setListChanged();
                m_displayedSet = set;
            }
        }

        showSetCounts();
        applySetMarks();
    });
}

void frmScenery::showSetCounts()
{
    const qsizetype members = m_displayedSet ? m_displayedSet->colUsedSceneries.count() : 0;
    const qsizetype sceneries = m_manager.colScenery.count();
    StatusBar status = m_status;
    status.panels[1] = QStringLiteral("Level: ") + QString::number(m_manager.dicLevel.count());
    status.panels[2] = QStringLiteral("Sceneries: ") + QString::number(sceneries);
    status.panels[3] = QStringLiteral("Sceneries in Set: ") + QString::number(members) +
                       QStringLiteral(" / ") + QString::number(sceneries);
    // One more than a Scenery.cfg can take.
    status.warningPicture = members >= 333;
    if (status.panels == m_status.panels && status.warningPicture == m_status.warningPicture)
        return;
    m_status = status;
    emit statusChanged();
}

// ---- Set commands ------------------------------------------------------------------------

void frmScenery::mnuSetAdd_Click()
{
    guarded("mnuSetAdd_Click", [&] {
        Display(QStringLiteral("Add new set."));
        const QString name = m_context.ui.input(QStringLiteral("Insert a new Set name:"),
                                                QStringLiteral("Create new set"), QString());
        if (!name.isEmpty()) {
            setComboText(name);
            TransferData();
        }
        Display(Ready);
    });
}

void frmScenery::mnuSetRemove_Click()
{
    guarded("mnuSetRemove_Click", [&] {
        Display(QStringLiteral("Remove set."));
        if (m_displayedSet && m_displayedSet->Key != LibraryNames::CurrentSet) {
            const QString name = m_displayedSet->Key;
            // The entry of the set itself: the list position may be none (a set of another
            // simulator typed into the field) and "(Current)" need not be the first entry.
            const int position = int(m_setCombo.items.indexOf(name));
            m_manager.dicCFGs.remove(name);
            cboScenerySet_Click(int(m_setCombo.items.indexOf(LibraryNames::CurrentSet)));
            if (position >= 0) {
                m_setCombo.items.removeAt(position);
                m_setCombo.listIndex = int(m_setCombo.items.indexOf(m_setCombo.text));
                emit setListChanged();
            }
        }
        Display(Ready);
    });
}

void frmScenery::mnuSetRename_Click()
{
    guarded("mnuSetRename_Click", [&] {
        if (!m_displayedSet || m_displayedSet->Key == LibraryNames::CurrentSet) {
            Display(Ready);
            return;
        }
        const QString oldName = m_displayedSet->Key;
        const QString newName = m_context.ui.input(QStringLiteral("Type in the new set name."),
                                                   QStringLiteral("Rename set"), oldName);
        if (newName.isEmpty() || newName == oldName) {
            Display(Ready);
            return;
        }
        // Two sets under one name cannot be told apart: the rename is refused.
        if (m_manager.dicCFGs.contains(newName)) {
            m_context.ui.inform(QStringLiteral("A set named \"%1\" exists already.").arg(newName),
                                QStringLiteral("Rename set"));
            Display(Ready);
            return;
        }
        Display(QStringLiteral("Rename set."));
        CfgPtr set = m_manager.dicCFGs.item(oldName);
        const int position = int(m_setCombo.items.indexOf(oldName));
        m_manager.dicCFGs.remove(oldName);
        cboScenerySet_Click(int(m_setCombo.items.indexOf(LibraryNames::CurrentSet)));
        if (position >= 0)
            m_setCombo.items.removeAt(position);
        set->Key = newName;
        m_manager.dicCFGs.add(newName, set);
        m_setCombo.items.append(newName);
        emit setListChanged();
        cboScenerySet_Click(int(m_setCombo.items.size()) - 1);
        Display(Ready);
    });
}

void frmScenery::mnuCreateSetfromCurrent_Click()
{
    guarded("mnuCreateSetfromCurrent_Click", [&] {
        if (!m_displayedSet || m_displayedSet->Key == LibraryNames::CurrentSet)
            return;
        Display(QStringLiteral("Create set from 'Current' set."));
        OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
        members.clear();
        if (CfgPtr current = m_manager.dicCFGs.value(LibraryNames::CurrentSet)) {
            for (auto it = current->colUsedSceneries.begin(); it != current->colUsedSceneries.end(); ++it) {
                if (!members.contains(it.key()))
                    members.add(it.key(), *it);
            }
        }
        applySetMarks();
        Display(Ready);
    });
}

void frmScenery::mnuFindSceneryWithoutSet_Click()
{
    guarded("mnuFindSceneryWithoutSet_Click", [&] {
        Display(QStringLiteral("Find sceneries without set."));
        for (const SceneryPtr &scenery : m_manager.colScenery) {
            TreeNode *node = m_tree->node(scenery->Key);
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
        Display(Ready);
    });
}

// ---- The per-scenery set menus -----------------------------------------------------------

const frmScenery::SetMenu &frmScenery::fillSetMenu()
{
    guarded("fillSetMenu", [&] {
        m_setMenu = SetMenu{};
        TreeNode *node = currentNode();
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

void frmScenery::mnuSets_Click(int index)
{
    guarded("mnuSets_Click", [&] {
        Display(QStringLiteral("Show sceneries of set."));
        TreeNode *node = currentNode();
        if (node && index >= 1 && index <= m_manager.dicCFGs.count()) {
            CfgPtr set = m_manager.dicCFGs.at(index);
            set->addMember(node->text());
            if (index < m_setMenu.mnuSets.size() && m_setCombo.text == m_setMenu.mnuSets.at(index).caption)
                node->setChecked(true);
        }
        showSetCounts();
        Display(Ready);
    });
}

void frmScenery::mnuInSets_Click(int index)
{
    guarded("mnuInSets_Click", [&] {
        Display(QStringLiteral("Check if scenery is in set."));
        TreeNode *node = currentNode();
        if (node && index >= 1 && index <= m_manager.dicCFGs.count()) {
            CfgPtr set = m_manager.dicCFGs.at(index);
            if (set->colUsedSceneries.contains(node->text()))
                set->colUsedSceneries.remove(node->text());
            if (index < m_setMenu.mnuSets.size() && m_setCombo.text == m_setMenu.mnuSets.at(index).caption)
                node->setChecked(false);
        }
        showSetCounts();
        Display(Ready);
    });
}
