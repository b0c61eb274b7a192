#include "cli/clilibrary.h"

#include "backup/backupmanager.h"
#include "cli/clisession.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"
#include "tree/tree.h"

#include <vector>

CliLibrary::CliLibrary(CliSession &session, std::optional<int> simType)
    : m_session(session), m_manager(session.openManager(simType)), m_tree(std::make_unique<Tree>()),
      m_libraryTree(std::make_unique<LibraryTree>(*m_manager, *m_tree, session.context().ui))
{}

namespace {
// Libraries whose freeing is left to the end of the process; reachable, so no leak checker counts
// them.
bool keepLibraries = false;
std::vector<void *> *keptLibraries = nullptr;
} // namespace

void CliLibrary::keepUntilExit()
{
    keepLibraries = true;
}

CliLibrary::~CliLibrary()
{
    // The manager must not keep pointing at a backup manager that goes first.
    if (m_manager)
        m_manager->setBackUpFirst(nullptr);
    if (!keepLibraries)
        return;
    // The process ends with the command: giving back a large library's records one by one would
    // take longer than anything the command did after loading it.
    m_backup.reset();
    if (!keptLibraries)
        keptLibraries = new std::vector<void *>;
    keptLibraries->push_back(m_libraryTree.release());
    keptLibraries->push_back(m_tree.release());
    keptLibraries->push_back(m_manager.release());
}

void CliLibrary::requireCertainSimulator() const
{
    const QStringList &damaged = m_session.damagedInstallationKeys();
    if (!damaged.isEmpty()) {
        throw CliFailure{QStringLiteral("%1 Name the simulator to work on with --sim; nothing was changed.")
                             .arg(damaged.join(QLatin1Char(' ')))};
    }
}

Problems CliLibrary::load()
{
    bool isNew = false;
    const Outcome library = m_manager->readDB(isNew);
    QString file;
    m_manager->readCFG(file, false);
    rebuild(isNew);
    commitChecksToCurrent();
    return library.problems;
}

Outcome CliLibrary::save()
{
    m_libraryTree->UndisplayAllTree();
    return m_manager->saveDB(m_tree->keysInWalkOrder());
}

bool CliLibrary::reload()
{
    m_manager->colScenery.clear();
    m_manager->dicCFGs.clear();
    m_manager->dicLevel.clear();
    bool isNew = false;
    m_manager->readDB(isNew);
    return isNew;
}

void CliLibrary::rebuild(bool appendUnplaced)
{
    m_libraryTree->fillTree(0, appendUnplaced);
    // fillTree recorded the order of the tree it replaced; record the new one too, so that every
    // PreviousKey reads as the next save will store it.
    m_libraryTree->updatePreviousLink();
}

void CliLibrary::commitChecksToCurrent()
{
    CfgPtr current = m_manager->dicCFGs.value(LibraryNames::CurrentSet);
    if (!current) {
        current = std::make_shared<clsCFG>();
        current->Key = LibraryNames::CurrentSet;
        m_manager->dicCFGs.add(current->Key, current);
    }
    current->colUsedSceneries.clear();
    for (const TreeNode *node = m_tree->firstRoot(); node; node = node->nextInWalk()) {
        if (isSceneryKey(node->key()) && node->checked())
            current->addMember(node->text());
    }
}

QList<SceneryPtr> CliLibrary::sceneriesInTreeOrder() const
{
    QList<SceneryPtr> result;
    for (const TreeNode *node = m_tree->firstRoot(); node; node = node->nextInWalk()) {
        if (!isSceneryKey(node->key()))
            continue;
        if (SceneryPtr scenery = m_manager->colScenery.value(node->key()))
            result.append(scenery);
    }
    return result;
}

CfgPtr CliLibrary::set(const QString &name) const
{
    return m_manager->dicCFGs.value(name);
}

BackupManager &CliLibrary::backup()
{
    if (!m_backup) {
        m_backup =
            std::make_unique<BackupManager>(m_session.context(), m_manager->FSPath(), m_manager->SimType);
        m_manager->setBackUpFirst([backup = m_backup.get()] { return backup->makeBackup(); });
    }
    return *m_backup;
}

SceneryPtr CliLibrary::scenery(const QString &title, bool needFolder) const
{
    for (const SceneryPtr &s : m_manager->colScenery) {
        if (s && s->Title == title) {
            if (needFolder && s->LocalPath.isEmpty())
                throw CliFailure{QStringLiteral("the scenery \"%1\" has no local path.").arg(title)};
            return s;
        }
    }
    throw CliFailure{QStringLiteral("no scenery \"%1\" (see \"lumivale-cli list\").").arg(title)};
}
