#include "packaging/cdromsource.h"

#include "library/records.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"
#include "platform/uiport.h"
#include "platform/winpath.h"

#include <QHash>
#include <QList>
#include <QSet>

namespace {

const QString Procedure = QStringLiteral("CdRomSource.MakeCDROM");
const QString CountTitle = QStringLiteral("Counting the CDROM source");
const QString CopyTitle = QStringLiteral("Copying the CDROM source");

bool onlyDotsAndBlanks(const QString &name)
{
    for (const QChar c : name) {
        if (c != u'.' && c != u' ')
            return false;
    }
    return true;
}

} // namespace

// A scenery folder to copy: what lies below it, listed once, in the order it is copied (every
// subfolder before the files of its folder, as a tree is copied).
struct CdRomSource::Folder
{
    struct Entry
    {
        QString relative; // below the folder, "\" between the parts
        bool isFolder = false;
    };
    QString source;
    bool exists = false;
    QList<Entry> entries;
    int files = 0;
};

// The sceneries of the chosen sets in tree order, each with the folder it is copied from ("" when
// it has no local path), and those folders, each once.
struct CdRomSource::Plan
{
    struct Member
    {
        SceneryPtr scenery;
        QString folderKey;
    };
    QList<Member> members;
    QHash<QString, Folder> folders; // by WinPath::folderKey
    QStringList order;              // the folders' keys as first met
};

CdRomSource::CdRomSource(SceneryManager &manager) : m_manager(manager) {}

qint64 CdRomSource::wholeMegabytes(qint64 bytes)
{
    return bytes / 1024 / 1024;
}

QString CdRomSource::folderName(const QString &title)
{
    QString name = SceneryManager::CorrectDir(title);
    if (onlyDotsAndBlanks(name))
        name = QString(qMax(qsizetype(1), name.size()), u'-');
    return name;
}

bool CdRomSource::isCdName(const QString &name)
{
    if (onlyDotsAndBlanks(name))
        return false;
    return SceneryManager::CorrectDir(name) == name;
}

CdRomSource::Plan CdRomSource::makePlan(const QString &strSet, const QStringList &oNodes) const
{
    // The text after the last CR LF is no set.
    QStringList names = strSet.split(QStringLiteral("\r\n"));
    names.removeLast();
    QSet<QString> titles;
    for (const QString &name : std::as_const(names)) {
        if (const CfgPtr set = m_manager.dicCFGs.value(name)) {
            for (const QString &title : set->colUsedSceneries.keys())
                titles.insert(title);
        }
    }

    const FileSystem &fs = m_manager.context().fs;
    Plan plan;
    for (const QString &key : oNodes) {
        if (!isSceneryKey(key))
            continue;
        const SceneryPtr scenery = m_manager.colScenery.value(key);
        if (!scenery || !titles.contains(scenery->Title))
            continue;
        // An empty Local path would resolve to the simulator folder: a scenery used only from its
        // remote path has no folder of its own to copy.
        const QString source =
            scenery->LocalPath.isEmpty() ? QString() : m_manager.getRealPath(scenery->LocalPath);
        // Two texts may name one folder ("Addon Scenery\Alps", "C:\FS2002\Addon Scenery\Alps\Scenery").
        const QString folderKey = source.isEmpty() ? QString() : WinPath::folderKey(source);
        plan.members.append({scenery, folderKey});
        if (folderKey.isEmpty() || plan.folders.contains(folderKey))
            continue;
        Folder folder;
        folder.source = source;
        folder.exists = fs.folderExists(source);
        plan.folders.insert(folderKey, folder);
        plan.order.append(folderKey);
    }
    return plan;
}

void CdRomSource::list(const QString &source, const QString &relative, Folder &folder) const
{
    const FileSystem &fs = m_manager.context().fs;
    const QString here = WinPath::join(source, relative);
    const auto below = [&relative](const QString &name) {
        return relative.isEmpty() ? name : relative + WinPath::Separator + name;
    };
    for (const QString &name : fs.subFolders(here)) {
        folder.entries.append({below(name), true});
        list(source, below(name), folder);
    }
    for (const QString &name : fs.files(here)) {
        folder.entries.append({below(name), false});
        ++folder.files;
    }
}

Outcome CdRomSource::MakeCDROM(const QString &strSet, const QStringList &oNodes, const QString &strPath,
                               const QString &strName)
{
    m_bytes = 0;
    m_copied.clear();
    m_missing.clear();
    UiPort &ui = m_manager.context().ui;
    const FileSystem &fs = m_manager.context().fs;

    // The size first: nothing is made before the folders are known to fit.
    Plan plan;
    int total = 0;
    QString file;
    try {
        plan = makePlan(strSet, oNodes);
        ProgressWindow progress(ui, CountTitle);
        int done = 0;
        for (const QString &key : std::as_const(plan.order)) {
            Folder &folder = plan.folders[key];
            if (!folder.exists)
                continue;
            list(folder.source, QString(), folder);
            total += folder.files;
            for (const Folder::Entry &entry : std::as_const(folder.entries)) {
                if (entry.isFolder)
                    continue;
                file = WinPath::join(folder.source, entry.relative);
                if (!progress.step(file, done++, 0))
                    return Outcome::stopped();
                m_bytes += m_fileSize ? m_fileSize(file) : fs.fileSize(file);
            }
        }
    } catch (const LmError &e) {
        reportError(ui, Procedure, e);
        return Outcome::failed(e, file);
    }

    const qint64 megabytes = wholeMegabytes(m_bytes);
    if (megabytes > CapacityMegabytes) {
        const QString text = QStringLiteral("Sorry, you need ") + QString::number(megabytes) +
                             QStringLiteral(" MB and only 650 MB is possible on a CDROM.");
        ui.message(text, QStringLiteral("Unable to create CDROM Source."), UiPort::Buttons::Ok,
                   UiPort::Icon::Critical);
        return Outcome::refused(text);
    }

    Outcome outcome = Outcome::done();
    Problems missing;
    QHash<QString, QString> remoteOf; // folder key -> the remote path its first scenery was given
    QString unfinished;               // the scenery folder being copied into
    bool madeCdFolder = false;
    file.clear();
    try {
        if (!fs.folderExists(strPath)) {
            WinPath::CreateSubFolder(fs, strPath);
            madeCdFolder = true;
        }
        ProgressWindow progress(ui, CopyTitle);
        int done = 0;
        for (const Plan::Member &member : std::as_const(plan.members)) {
            const QString &title = member.scenery->Title;
            if (remoteOf.contains(member.folderKey))
                continue;
            const Folder *folder = member.folderKey.isEmpty() ? nullptr : &plan.folders[member.folderKey];
            if (!folder || !folder->exists) {
                const QString text =
                    QStringLiteral("Local path of scenery ") + title + QStringLiteral(" did not exist.");
                ui.message(text, QStringLiteral("Scenery not found"), UiPort::Buttons::Ok,
                           UiPort::Icon::Exclamation);
                m_missing.append(title);
                missing.append(
                    Problem{folder ? folder->source : member.scenery->LocalPath, 0, text, std::nullopt});
                continue;
            }

            // Titles that differ only in the characters a folder name cannot hold, or in letter
            // case, would otherwise mix their files in one folder (names are matched without
            // regard to case, as on Windows).
            const QString name = folderName(title);
            QString target = WinPath::join(strPath, name);
            for (int n = 2; fs.folderExists(target) || fs.fileExists(target); ++n)
                target = WinPath::join(strPath, name + QStringLiteral(" (%1)").arg(n));
            unfinished = target;
            file = target;
            fs.createFolder(target);

            bool cancelled = false;
            for (const Folder::Entry &entry : folder->entries) {
                const QString to = WinPath::join(target, entry.relative);
                if (entry.isFolder) {
                    file = to;
                    if (!fs.folderExists(to))
                        fs.createFolder(to);
                    continue;
                }
                file = WinPath::join(folder->source, entry.relative);
                if (!progress.step(file, done++, total)) {
                    cancelled = true;
                    break;
                }
                fs.copyFile(file, to, true);
            }
            if (cancelled) {
                outcome = Outcome::stopped();
                break;
            }
            unfinished.clear();
            remoteOf.insert(member.folderKey, u'[' + strName + u']' + title);
        }
    } catch (const LmError &e) {
        outcome = Outcome::failed(e, file);
    }

    // Every scenery whose folder is on the CD now names it, those that share a folder included.
    for (const Plan::Member &member : std::as_const(plan.members)) {
        const auto remote = remoteOf.constFind(member.folderKey);
        if (member.folderKey.isEmpty() || remote == remoteOf.cend())
            continue;
        member.scenery->RemotePath = *remote;
        m_copied.append(member.scenery->Title);
    }
    if (outcome.isDone()) {
        outcome.problems = missing;
        return outcome;
    }

    // A scenery copied in part would be on the CD without its remote path; a CD folder of
    // nothing at all would be a CD source that is none.
    try {
        if (!unfinished.isEmpty() && fs.folderExists(unfinished))
            fs.deleteFolder(unfinished, true);
        if (madeCdFolder && remoteOf.isEmpty() && fs.folderExists(strPath))
            fs.deleteFolder(strPath, true);
    } catch (const LmError &) {
        // A folder that cannot be removed stays; the sceneries named below are those on the CD.
    }
    if (outcome.isFailed())
        reportError(ui, Procedure, outcome.error());
    QString text = outcome.isStopped() ? QStringLiteral("Copying was cancelled. ")
                                       : QStringLiteral("Copying ended with an error. ");
    if (m_copied.isEmpty())
        text += QStringLiteral("No scenery was copied.");
    else
        text +=
            QStringLiteral("These sceneries were copied to %1 and have the CD as their remote path:\r\n%2")
                .arg(strPath, m_copied.join(QStringLiteral("\r\n")));
    ui.message(text, QStringLiteral("CDROM Source not complete"), UiPort::Buttons::Ok,
               UiPort::Icon::Exclamation);
    return outcome;
}
