#include "app/organiser.h"

#include "airports/frmairportdir.h"
#include "app/detailspanel.h"
#include "app/filehelpers.h"
#include "app/frmundoremove.h"
#include "app/setselector.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/winpath.h"
#include "tree/librarytree.h"

namespace {
const QString Ready = QStringLiteral("Ready.");
const QChar Separator = QLatin1Char('\\');
const QString MoveTitle = QStringLiteral("Scenery Move.");
constexpr quint32 RestoredBackColor = rgb(240, 240, 0);
constexpr quint32 RestoredForeColor = rgb(255, 100, 100);

bool titleInLibrary(const OrderedMap<SceneryPtr> &sceneries, const QString &title)
{
    for (const SceneryPtr &scenery : sceneries) {
        if (scenery->Title == title)
            return true;
    }
    return false;
}
} // namespace

using WinPath::isBelow;
using WinPath::isDriveRoot;
using WinPath::sameFolder;

// ---- Remove and undo ---------------------------------------------------------------------------

void Organiser::mnuSceneryRemove_Click()
{
    guarded(m_context.ui, "mnuSceneryRemove_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        // The command removes what the user sees selected; a level selected removes nothing.
        if (!node || !m_details.displayedScenery() || !isSceneryKey(node->key()))
            return;
        const SceneryPtr scenery = m_manager.colScenery.value(node->key());
        if (!scenery)
            return;
        m_status.Display(QStringLiteral("Remove scenery."));
        if (!m_context.ui.askYesNo(QStringLiteral("Do you want to remove scenery ") + scenery->Title +
                                       QLatin1Char('?'),
                                   QStringLiteral("Remove Scenery"), UiPort::Icon::Question)) {
            m_status.Display(Ready);
            return;
        }
        const QString key = scenery->Key;
        if (m_removed.contains(key))
            m_removed.remove(key);
        m_removed.add(key, scenery);
        m_manager.colScenery.remove(key);

        TreeNode *next = node->next() ? node->next() : node->previous() ? node->previous() : node->parent();
        m_tree.setSelectedItem(next);
        m_tree.remove(node);
        m_details.clearDisplayedScenery();
        if (next)
            m_details.trvScenery_NodeClick(next);
        // The removed scenery has left the displayed set with its check box; the counts show it.
        m_sets.TransferData();
        m_status.Display(Ready);
    });
}

void Organiser::mnuSceneryUnremove_Click()
{
    const QString procedure = QStringLiteral(".mnuSceneryUnremove_Click");
    UiPort &ui = m_context.ui;
    m_status.Display(QStringLiteral("Undo remove scenery."));
    frmUndoRemove dialog;
    runStep(ui, procedure, [&] {
        for (auto it = m_removed.begin(); it != m_removed.end(); ++it)
            dialog.trvRemoved.add(nullptr, Tree::Relation::Last, it.key(), it.value()->Title);
    });
    dialog.Form_Activate();
    ui.showModal(dialog);
    if (dialog.bUndelete) {
        QStringList kept;
        for (const TreeNode *entry = dialog.trvRemoved.firstRoot(); entry; entry = entry->next()) {
            if (!entry->checked())
                continue;
            runStep(ui, procedure, [&] {
                const SceneryPtr scenery = m_removed.value(entry->key());
                if (!scenery)
                    return;
                const QString newKey = LibraryNames::NewSceneryPrefix + scenery->Title;
                // Titles are unique in the library: one that came back meanwhile keeps this one out.
                if (titleInLibrary(m_manager.colScenery, scenery->Title) ||
                    m_manager.colScenery.contains(newKey) || m_tree.contains(newKey)) {
                    kept.append(scenery->Title);
                    return;
                }
                TreeNode *newLevel = m_tree.node(LibraryNames::NewLevelKey);
                if (!newLevel) {
                    LevelPtr level = m_manager.dicLevel.value(LibraryNames::NewLevelKey);
                    if (!level) {
                        level = std::make_shared<clsLevel>();
                        level->sLevelKey = LibraryNames::NewLevelKey;
                        level->sLevelCaption = LibraryNames::NewLevelCaption;
                        m_manager.dicLevel.add(LibraryNames::NewLevelKey, level);
                    }
                    newLevel = m_tree.add(nullptr, Tree::Relation::Last, LibraryNames::NewLevelKey,
                                          level->sLevelCaption);
                }
                TreeNode *node = m_tree.add(newLevel, Tree::Relation::Child, newKey, scenery->Title);
                scenery->Key = newKey;
                m_manager.colScenery.add(newKey, scenery);
                scenery->Active = false;
                node->setBackColor(RestoredBackColor);
                node->setForeColor(RestoredForeColor);
                node->ensureVisible();
                m_removed.remove(entry->key());
            });
        }
        if (!kept.isEmpty()) {
            ui.inform(
                QStringLiteral(
                    "The library already holds a scenery of the same title, so these stay removed:\r\n") +
                    kept.join(QStringLiteral("\r\n")),
                frmUndoRemove::caption(), UiPort::Icon::Exclamation);
        }
    }
    m_status.Display(Ready);
}

// ---- Rename ----------------------------------------------------------------------------------

void Organiser::mnuSceneryRename_Click()
{
    guarded(m_context.ui, "mnuSceneryRename_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!node)
            return;
        m_status.Display(QStringLiteral("Rename scenery."));
        const SceneryPtr scenery =
            isSceneryKey(node->key()) ? m_manager.colScenery.value(node->key()) : SceneryPtr();
        if (!scenery) {
            m_status.Display(Ready);
            return;
        }
        QString title = m_context.ui
                            .input(QStringLiteral("Insert the new name for the scenery: ") + scenery->Title,
                                   QStringLiteral("Rename Scenery"), scenery->Title)
                            .trimmed();
        title.replace(Separator, QLatin1Char('/'));
        if (title.isEmpty() || title == scenery->Title) {
            m_status.Display(Ready);
            return;
        }
        renameScenery(node, scenery, title);
        m_status.Display(Ready);
    });
}

bool Organiser::renameScenery(TreeNode *node, const SceneryPtr &scenery, const QString &title)
{
    const QString oldKey = node->key();
    const QString newKey = LibraryNames::SceneryPrefix +
                           LibraryTree::getParentKey(oldKey).mid(LibraryNames::LevelPrefix.size()) +
                           Separator + title;
    if (titleInLibrary(m_manager.colScenery, title) || !m_libraryTree.rekey(node, newKey).isEmpty()) {
        m_context.ui.inform(
            QStringLiteral("There is already a scenery named \"%1\" in the library.").arg(title),
            QStringLiteral("Can not rename scenery."), UiPort::Icon::Exclamation);
        return false;
    }
    const QString oldTitle = scenery->Title;
    node->setText(title);
    scenery->Title = title;
    renameMember(oldTitle, title);
    m_details.showTitle(scenery);
    return true;
}

// ---- The airport directory -------------------------------------------------------------------

void Organiser::cmdAirportDir_Click()
{
    guarded(m_context.ui, "cmdAirportDir_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        const SceneryPtr scenery = m_details.displayedScenery();
        // The title goes to the scenery shown; a node selected that is not that scenery's would
        // take a title that is not its own.
        if (!node || !scenery || node->key() != scenery->Key)
            return;
        m_status.Display(QStringLiteral("Airport Directory."));
        const AirportDirectory directory(m_context.fs, m_context.programFolder());
        QString title;
        {
            frmAirportDir dialog(directory, m_context.ui);
            dialog.Form_Load();
            m_context.ui.showModal(dialog);
            title = dialog.result();
        }
        // The lines are data the user may edit; a "\" would split the key as a level would.
        title.replace(Separator, QLatin1Char('/'));
        if (!title.isEmpty() && title != scenery->Title)
            renameScenery(node, scenery, title);
        m_status.Display(Ready);
    });
}

void Organiser::renameMember(const QString &oldTitle, const QString &newTitle)
{
    // Sets hold titles: a renamed scenery stays a member of every set it was in, in its place. A
    // title another scenery still carries stays a member for that one.
    const bool oldTitleKept = titleInLibrary(m_manager.colScenery, oldTitle);
    for (const CfgPtr &set : m_manager.dicCFGs) {
        OrderedMap<QString> &members = set->colUsedSceneries;
        if (!members.contains(oldTitle) || members.contains(newTitle))
            continue;
        if (oldTitleKept) {
            set->addMember(newTitle);
            continue;
        }
        members.rename(oldTitle, newTitle, newTitle);
    }
}

// ---- Move on the hard disk -------------------------------------------------------------------

void Organiser::moveFolderContent(const QString &source, const QString &target) const
{
    const FileSystem &fs = m_context.fs;
    for (const QString &folder : fs.subFolders(source)) {
        const QString to = WinPath::join(target, folder);
        if (!fs.folderExists(to))
            WinPath::CreateSubFolder(fs, to);
        moveFolderContent(WinPath::join(source, folder), to);
    }
    for (const QString &file : fs.files(source)) {
        m_context.ui.processEvents();
        fs.moveFile(WinPath::join(source, file), WinPath::join(target, file));
    }
}

void Organiser::mnuSceneryMove_Click()
{
    guarded(m_context.ui, "mnuSceneryMove_Click", [&] {
        TreeNode *node = m_tree.selectedItem();
        if (!m_details.displayedScenery() || !node || !isSceneryKey(node->key()))
            return;
        const SceneryPtr scenery = m_details.displayedScenery();
        UiPort &ui = m_context.ui;
        m_status.Display(QStringLiteral("Move scenery."));
        if (scenery->LocalPath.isEmpty()) {
            ui.inform(QStringLiteral("You can not move a scenery from a readonly device."), MoveTitle);
            m_status.Display(Ready);
            return;
        }
        QString source = m_manager.getRealPath(scenery->LocalPath);
        const std::optional<QString> chosen =
            Start::chooseFolder(ui, QStringLiteral("Select destination folder"), source);
        if (!chosen) {
            m_status.Display(Ready);
            return;
        }
        const QString destination = *chosen;

        // A "scenery" folder is moved with the folder that holds it.
        source = WinPath::withoutSceneryFolder(source);
        const QString fsPath = m_manager.FSPath();
        if (isDriveRoot(source) || sameFolder(source, fsPath) || isBelow(fsPath, source)) {
            ui.inform(
                QStringLiteral("The folder %1 holds the simulator or a whole drive and can not be moved.")
                    .arg(source),
                MoveTitle, UiPort::Icon::Exclamation);
            m_status.Display(Ready);
            return;
        }
        // The folder the local path names itself, before its "scenery" ending is dropped.
        QString named = scenery->LocalPath;
        if (!named.contains(QStringLiteral("\\\\")) && !named.contains(QLatin1Char(':')))
            named = fsPath + Separator + named;
        const bool ownFolder = sameFolder(destination, source) || sameFolder(destination, named);
        if (!ownFolder && isBelow(destination, source)) {
            ui.inform(QStringLiteral("The destination folder lies inside the scenery's own folder. Please "
                                     "choose another one."),
                      MoveTitle, UiPort::Icon::Exclamation);
            m_status.Display(Ready);
            return;
        }
        {
            BusyPointer busy(ui);
            if (!ownFolder) {
                const QString target = WinPath::withoutTrailingSeparator(destination);
                if (!m_context.fs.folderExists(target))
                    WinPath::CreateSubFolder(m_context.fs, target);
                moveFolderContent(WinPath::withoutTrailingSeparator(source), target);
            }
        }
        scenery->LocalPath = destination;
        m_details.txtLocal_Change(destination);
        m_status.Display(Ready);
    });
}
