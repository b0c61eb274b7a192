#include "packaging/sceneryzip.h"

#include "library/scenerymanager.h"
#include "platform/archive.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"

#include <QSet>

namespace {
const QString ZipFolderKey = QStringLiteral("CreateZIP");
} // namespace

QString SceneryZip::entryName(const QString &source, const QString &sceneryFolder)
{
    if (!sceneryFolder.isEmpty() && WinPath::isBelow(source, sceneryFolder)) {
        const QString below = source.mid(WinPath::withTrailingSeparator(sceneryFolder).size());
        return below.split(WinPath::Separator, Qt::SkipEmptyParts).join(QLatin1Char('/'));
    }
    return Zip::entryName(source, Zip::EntryNames::FolderBelowDrive);
}

QString SceneryZip::fileListPath(const SceneryManager &manager, const clsScenery &scenery)
{
    return WinPath::join(manager.getRealPath(scenery.LocalPath), FileListFile::FileName);
}

Outcome SceneryZip::pack(AppContext &context, const FileList &entries, const QString &sceneryFolder,
                         const QString &archive)
{
    UiPort &ui = context.ui;
    QList<Zip::Member> members;
    QHash<QString, QString> sourceOfName; // entry name -> the file stored under it
    for (const FileListEntry &entry : entries) {
        if (!Zip::confirmLongPath(ui, entry.Source))
            return Outcome::stopped();
        // Looked for before anything is written, so that a list naming a file that has gone since
        // leaves no archive that would install without it.
        if (!context.fs.fileExists(entry.Source))
            return Outcome::failed(LmError::standard(LmError::FileNotFound, entry.Source), entry.Source);
        QString name = entryName(entry.Source, sceneryFolder);
        // Two files under one name would keep only the second; the other takes its full form.
        const auto taken = sourceOfName.constFind(name);
        if (taken != sourceOfName.cend() && taken->compare(entry.Source, Qt::CaseInsensitive) != 0)
            name = Zip::entryName(entry.Source, Zip::EntryNames::FolderBelowDrive);
        sourceOfName.insert(name, entry.Source);
        members.append({entry.Source, name});
        ui.processEvents();
    }

    BusyPointer busy(ui);
    ProgressWindow progress(ui, QStringLiteral("Create scenery zip file"));
    Zip zip(context.fs);
    zip.archive = archive;
    zip.proceed = [&progress](const QString &file, int done, int total) {
        return progress.step(file, done, total);
    };
    try {
        if (!zip.create(members))
            return Outcome::stopped();
    } catch (const LmError &e) {
        return Outcome::failed(e, archive);
    }
    return Outcome::done();
}

Outcome PackagingCommands::mnuWizardCreateZip_Click(AppContext &context, const SceneryManager &manager,
                                                    const clsScenery &scenery, const FolderMemoryFns &folders,
                                                    const StatusFn &display)
{
    const auto show = [&display](const QString &text) {
        if (display)
            display(text);
    };
    UiPort &ui = context.ui;
    if (scenery.LocalPath.isEmpty()) {
        const QString text = QStringLiteral("Please choose a local path first.");
        ui.inform(text, QStringLiteral("Can not create new file list"), UiPort::Icon::Information);
        return Outcome::refused(text);
    }
    show(QStringLiteral("Create scenery zip file."));
    const auto run = [&]() -> Outcome {
        FileListReader list(context.fs);
        const Outcome read = list.read(SceneryZip::fileListPath(manager, scenery));
        if (read.isFailed())
            return read;
        if (list.entries().isEmpty()) {
            const QString text = QStringLiteral("Create a filelist for your scenery first.");
            ui.inform(text, QStringLiteral("Can not create ZIP-File"), UiPort::Icon::Exclamation);
            return Outcome::refused(text);
        }
        UiPort::FileChooser chooser;
        chooser.title = QStringLiteral("Select folder and define Zip-Name");
        chooser.filter = QStringLiteral(".ZIP|.ZIP");
        chooser.initialDir = folders.getDicPath ? folders.getDicPath(ZipFolderKey) : manager.FSPath();
        chooser.save = true;
        const std::optional<QString> chosen = ui.chooseFile(chooser);
        if (!chosen)
            return Outcome::stopped();
        const QString archive = *chosen;
        if (folders.setDicPath)
            folders.setDicPath(ZipFolderKey, archive.left(archive.lastIndexOf(WinPath::Separator) + 1));
        return SceneryZip::pack(context, list.entries(), manager.getRealPath(scenery.LocalPath), archive);
    };
    const Outcome outcome = run();
    if (outcome.isFailed())
        reportError(ui, QStringLiteral(".mnuWizardCreateZip_Click"), outcome.error());
    show(QStringLiteral("Ready."));
    return outcome;
}
