#include "backup/texturemanager.h"

#include "platform/archive.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"
#include "settings/programsettings.h"

TextureManager::TextureManager(AppContext &context, const QString &simFolder)
    : m_context(context), m_textureFolder(WinPath::join(simFolder, QStringLiteral("Texture")))
{}

QString TextureManager::backupRoot() const
{
    const QString root = WinPath::withTrailingSeparator(
        ProgramSettings(m_context.settings, m_context.programFolder()).backupTexturePath());
    if (!m_context.fs.folderExists(root))
        WinPath::CreateSubFolder(m_context.fs, root);
    return root;
}

QStringList TextureManager::backups() const
{
    return m_context.fs.files(backupRoot());
}

QString TextureManager::backupFileName(QString typed)
{
    WinPath::NormaliseFilename(typed);
    if (typed.size() < 4 || typed.right(4).toUpper() != QStringLiteral(".ZIP"))
        typed += QStringLiteral(".zip");
    return typed;
}

QStringList TextureManager::textureFiles() const
{
    return m_context.fs.files(m_textureFolder);
}

Outcome TextureManager::run(const QString &procedure, const std::function<Outcome()> &operation)
{
    try {
        return operation();
    } catch (const LmError &e) {
        reportError(m_context.ui, QStringLiteral("TextureManager.") + procedure, e);
        return Outcome::failed(e);
    }
}

// ---------------------------------------------------------------------------------------------

Outcome TextureManager::makeBackup()
{
    return run(QStringLiteral("makeBackup"), [this] { return doMakeBackup(); });
}

Outcome TextureManager::doMakeBackup()
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;
    const QString typed =
        ui.input(QStringLiteral("Insert the name of the backup:"), QStringLiteral("Backup"), {});
    if (typed.isEmpty())
        return Outcome::stopped();
    // The name made a file name can no longer hold a separator; the entry check refuses what
    // could still name anything but a file of the root.
    const QString archive = FileSystem::entryPath(backupRoot(), backupFileName(typed));
    if (fs.fileExists(archive) || fs.folderExists(archive)) {
        const QString text = QStringLiteral("The backup exists. Choose a different name.");
        ui.inform(text, QStringLiteral("Can not create backup"), UiPort::Icon::Critical);
        return Outcome::refused(text);
    }
    const QStringList files = textureFiles();
    if (files.isEmpty()) {
        // An archive without entries is no zip file at all; saying so beats a backup that is not there.
        const QString text =
            QStringLiteral("The global texture folder %1 holds no files.").arg(m_textureFolder);
        ui.inform(text, QStringLiteral("Can not create backup"), UiPort::Icon::Information);
        return Outcome::refused(text);
    }

    BusyPointer busy(ui);
    for (const QString &name : files)
        fs.clearAttributes(WinPath::join(m_textureFolder, name));
    ProgressWindow progress(ui, QStringLiteral("Make backup"));
    Zip zip(fs);
    zip.archive = archive;
    zip.entryNames = Zip::EntryNames::BareFileName;
    zip.proceed = [&progress](const QString &file, int done, int total) {
        return progress.step(file, done, total);
    };
    // The archive is written beside its place and takes it only when complete, so a cancel or a
    // failure leaves no half backup behind.
    if (!zip.addFile(WinPath::join(m_textureFolder, QStringLiteral("*.*"))))
        return Outcome::stopped();
    return Outcome::done();
}

// ---------------------------------------------------------------------------------------------

Outcome TextureManager::installBackups(const QStringList &names)
{
    return run(QStringLiteral("installBackups"), [&] { return doInstallBackups(names); });
}

Outcome TextureManager::doInstallBackups(const QStringList &names)
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;
    if (names.isEmpty())
        return Outcome::done();
    QStringList archives;
    for (const QString &name : names) {
        const QString archive = FileSystem::entryPath(backupRoot(), name);
        if (!fs.fileExists(archive))
            throw LmError::standard(LmError::FileNotFound, archive);
        archives.append(archive);
    }
    if (!ui.askYesNo(QStringLiteral("Existing files will be overwriten. Do you want to proceed?"),
                     QStringLiteral("Warning"), UiPort::Icon::Exclamation))
        return Outcome::stopped();

    BusyPointer busy(ui);
    ProgressWindow progress(ui, QStringLiteral("Install checked backups"));
    for (const QString &archive : std::as_const(archives)) {
        Unzip unzip(fs);
        unzip.archive = archive;
        unzip.targetFolder = m_textureFolder;
        unzip.proceed = [&progress](const QString &file, int done, int total) {
            return progress.step(file, done, total);
        };
        if (!unzip.extractAll())
            return Outcome::stopped();
    }
    return Outcome::done();
}

// ---------------------------------------------------------------------------------------------

Outcome TextureManager::deleteBackups(const QStringList &names)
{
    return run(QStringLiteral("deleteBackups"), [&] { return doDeleteBackups(names); });
}

Outcome TextureManager::doDeleteBackups(const QStringList &names)
{
    const FileSystem &fs = m_context.fs;
    // Every name is checked before the first file goes, so a mistyped one deletes nothing.
    QStringList archives;
    for (const QString &name : names) {
        const QString archive = FileSystem::entryPath(backupRoot(), name);
        if (!fs.fileExists(archive))
            throw LmError::standard(LmError::FileNotFound, archive);
        archives.append(archive);
    }
    for (const QString &archive : std::as_const(archives))
        fs.deleteFile(archive, true);
    return Outcome::done();
}

// ---------------------------------------------------------------------------------------------

Outcome TextureManager::emptyFolder()
{
    return run(QStringLiteral("emptyFolder"), [this] { return doEmptyFolder(); });
}

Outcome TextureManager::doEmptyFolder()
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;
    if (!ui.askYesNo(QStringLiteral("Do you realy want to clean up your global texture folder?\n"
                                    "If you have no backup of the original files you should not do this."),
                     QStringLiteral("Urgent Warning"), UiPort::Icon::Exclamation))
        return Outcome::stopped();
    if (!fs.folderExists(m_textureFolder))
        return Outcome::done();
    const QStringList files = textureFiles();
    if (files.isEmpty())
        return Outcome::done();

    // The warning alone lets a user without any backup lose the simulator's shared textures for
    // good; the backup is offered right there, and a backup asked for comes before the deleting.
    if (backups().isEmpty() &&
        ui.askYesNo(QStringLiteral("There is no backup of the global texture folder yet. "
                                   "Do you want to make one first?"),
                    QStringLiteral("Empty global texture folder"), UiPort::Icon::Question)) {
        if (const Outcome backup = doMakeBackup(); !backup.isDone())
            return backup;
    }

    BusyPointer busy(ui);
    ProgressWindow progress(ui, QStringLiteral("Empty global texture folder"));
    const int total = int(files.size());
    for (int i = 0; i < total; ++i) {
        const QString path = WinPath::join(m_textureFolder, files.at(i));
        if (!progress.step(path, i, total))
            return Outcome::stopped();
        fs.clearAttributes(path);
        fs.deleteFile(path, true);
    }
    return Outcome::done();
}
