#include "backup/backupmanager.h"

#include "platform/archive.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"
#include "settings/programsettings.h"

#include <optional>

using WinPath::join;
using WinPath::Separator;

BackupManager::BackupManager(AppContext &context, QString simFolder, std::optional<qint32> simType)
    : m_context(context), m_simFolder(std::move(simFolder)), m_simType(simType)
{}

void BackupManager::setSimulator(const QString &simFolder, std::optional<qint32> simType)
{
    m_simFolder = simFolder;
    m_simType = simType;
}

void BackupManager::status(const QString &text) const
{
    if (m_status)
        m_status(text);
}

QString BackupManager::getDir(const QString &path)
{
    const qsizetype last = path.lastIndexOf(Separator);
    return last < 0 ? QString() : path.left(last + 1);
}

QString BackupManager::rootPath() const
{
    const QString root = ProgramSettings(m_context.settings, m_context.programFolder()).backupPath();
    // Backup names are appended to the root, so a root typed without its closing "\" still has to
    // be a folder and not the start of a file name.
    return WinPath::withTrailingSeparator(root);
}

QString BackupManager::backupRoot() const
{
    const QString root = rootPath();
    if (!m_context.fs.folderExists(root))
        WinPath::CreateSubFolder(m_context.fs, root);
    return root;
}

QString BackupManager::backupEntry(const QString &name) const
{
    const QString path = FileSystem::entryPath(rootPath(), name);
    backupRoot();
    return path;
}

QString BackupManager::backupListPath() const
{
    qint32 code = 0;
    if (m_simType) {
        code = *m_simType;
    } else {
        const QString selected =
            ProgramSettings(m_context.settings, m_context.programFolder()).selectedSim(QString()).trimmed();
        code = selected == QStringLiteral("1") ? 1 : selected == QStringLiteral("2") ? 2 : 0;
    }
    const QString name = code == 1   ? QStringLiteral("BackupFilesFS2002.db")
                         : code == 2 ? QStringLiteral("BackupFilesCFS2.db")
                                     : QStringLiteral("BackupFiles.db");
    return m_context.programFolder() + Separator + name;
}

QStringList BackupManager::backupList() const
{
    const QString path = backupListPath();
    if (!m_context.fs.fileExists(path))
        m_context.fs.writeAll(path, QByteArray());
    QStringList lines;
    const QStringList all = m_context.fs.readLines(path);
    for (const QString &line : all) {
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

void BackupManager::refuseLinesOutside(const QStringList &lines) const
{
    QStringList outside;
    for (const QString &line : lines) {
        QString path = line;
        while (path.startsWith(Separator) || path.startsWith(u'/'))
            path.remove(0, 1);
        if (!Unzip::safeEntryParts(path))
            outside << line;
    }
    if (!outside.isEmpty())
        throw LmError::user(
            ArchiveError::EntriesRefused,
            QStringLiteral("Nothing was done, because these lines of %1 name files outside %2: %3")
                .arg(backupListPath(), m_simFolder, outside.join(QStringLiteral(", "))));
}

QStringList BackupManager::backupFiles() const
{
    return m_context.fs.files(backupRoot());
}

QStringList BackupManager::backupFolders() const
{
    return m_context.fs.subFolders(backupRoot());
}

// ---------------------------------------------------------------------------------------------

QString BackupManager::backupFileName(QString typed)
{
    WinPath::NormaliseFilename(typed);
    if (typed.right(4).toUpper() != QStringLiteral(".ZIP"))
        typed += QStringLiteral(".zip");
    return typed;
}

Outcome BackupManager::makeBackup()
{
    return run(QStringLiteral("makeBackup"), [&] { return doMakeBackup(); });
}

Outcome BackupManager::doMakeBackup()
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;

    const QString name = ui.input(QStringLiteral("Insert a name of the backup:"),
                                  QStringLiteral("Backup name"), QStringLiteral("Backup"));
    if (name.isEmpty())
        return Outcome::done();

    const QString archive = backupRoot() + backupFileName(name);
    const QStringList lines = backupList();
    refuseLinesOutside(lines);

    // The backup is built aside and replaces an earlier one of the same name only when complete:
    // adding to the old archive would keep files the list no longer names, and a stopped or
    // failed backup leaves the earlier one untouched. It is built in a folder of its own that
    // nobody else can write into.
    const TemporaryFolder aside(fs);
    const QString work = aside.filePath(QStringLiteral("LumivaleBackup.zip"));
    Zip zip(fs);
    zip.archive = work;
    zip.entryNames = Zip::EntryNames::FolderBelowDrive;
    zip.progress = [this](const QString &text) { status(text); };

    for (const QString &line : lines) {
        const QString path = join(m_simFolder, line);
        if (!Zip::confirmLongPath(ui, path))
            return Outcome::stopped();
        zip.addFile(path);
        ui.processEvents();
    }

    if (fs.fileExists(work))
        fs.copyFile(work, archive, true);
    // A simulator without a Scenery.cfg yet (a first one is about to be written) has nothing to
    // keep beside the archive; the archive itself is still the backup the user asked for.
    const QString sceneryCfg = join(m_simFolder, QStringLiteral("Scenery.CFG"));
    if (fs.fileExists(sceneryCfg))
        fs.copyFile(sceneryCfg, join(m_simFolder, QStringLiteral("Scenery.CFG.Backup")), true);
    return Outcome::done();
}

Outcome BackupManager::offerBackupFirst()
{
    if (!m_context.ui.askYesNo(QStringLiteral("Do you want to backup the current files?"),
                               QStringLiteral("Install backup"), UiPort::Icon::Question))
        return Outcome::done();
    // Restoring over the current files after the backup the user asked for failed would lose them.
    return makeBackup();
}

Outcome BackupManager::run(const QString &procedure, const std::function<Outcome()> &operation)
{
    try {
        return operation();
    } catch (const LmError &e) {
        reportError(m_context.ui, QStringLiteral("BackupManager.") + procedure, e);
        return Outcome::failed(e);
    }
}

Outcome BackupManager::missing(const QString &path, const QString &title) const
{
    m_context.ui.inform(QStringLiteral("Backup does not exist."), title, UiPort::Icon::Critical);
    return Outcome::failed(LmError(LmError::FileNotFound, QStringLiteral("Backup does not exist.")), path);
}

Outcome BackupManager::installBackup(const QString &name)
{
    return run(QStringLiteral("installBackup"), [&] { return doInstallBackup(name); });
}

Outcome BackupManager::doInstallBackup(const QString &name)
{
    const FileSystem &fs = m_context.fs;
    const QString archive = name.isEmpty() ? QString() : backupEntry(name);
    if (name.isEmpty() || !fs.fileExists(archive))
        return missing(archive, QStringLiteral("Could not install backup."));
    if (const Outcome first = offerBackupFirst(); !first.isDone())
        return first;

    // The entries keep each file's folder path below its drive, so the archive is extracted into
    // the drive root; only the simulator's own files may come back.
    Unzip unzip(fs);
    unzip.archive = archive;
    unzip.targetFolder = m_simFolder.left(3);
    unzip.confineTo = m_simFolder;
    unzip.progress = [this](const QString &text) { status(text); };
    unzip.extractAll();
    return Outcome::done();
}

Outcome BackupManager::installBackup_old(const QString &name)
{
    return run(QStringLiteral("installBackup_old"), [&] { return doInstallBackupOld(name); });
}

Outcome BackupManager::doInstallBackupOld(const QString &name)
{
    const FileSystem &fs = m_context.fs;
    if (name.isEmpty())
        return Outcome::stopped();
    const QString folder = backupEntry(name);
    if (!fs.folderExists(folder))
        return missing(folder, QStringLiteral("Could not install backup."));
    const QStringList lines = backupList();
    refuseLinesOutside(lines);
    if (const Outcome first = offerBackupFirst(); !first.isDone())
        return first;

    for (const QString &line : lines) {
        const QString source = join(folder, line);
        // A line without its leading "\" is taken as relative to the simulator folder too.
        const QString target = join(m_simFolder, line);
        const QString targetFolder = getDir(target);
        if (!fs.folderExists(targetFolder))
            WinPath::CreateSubFolder(fs, targetFolder);
        if (fs.fileExists(target))
            fs.clearAttributes(target);
        status(QStringLiteral("Restoring %1").arg(target));
        fs.copyFile(source, target, true);
        m_context.ui.processEvents();
    }
    return Outcome::done();
}

Outcome BackupManager::deleteBackup(const QString &name)
{
    return run(QStringLiteral("deleteBackup"), [&] { return doDeleteBackup(name); });
}

Outcome BackupManager::doDeleteBackup(const QString &name)
{
    if (name.isEmpty())
        return Outcome::stopped();
    const QString archive = backupEntry(name);
    if (!m_context.fs.fileExists(archive))
        return missing(archive, QStringLiteral("Could not delete backup."));
    if (!m_context.ui.askYesNo(QStringLiteral("Do you want to delete this backup?"),
                               QStringLiteral("Delete backup"), UiPort::Icon::Question))
        return Outcome::stopped();
    m_context.fs.deleteFile(archive, true);
    return Outcome::done();
}
