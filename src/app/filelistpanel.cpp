#include "app/filelistpanel.h"

#include "app/detailspanel.h"
#include "app/filehelpers.h"
#include "app/frmaddfile.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "install/openwith.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/launcher.h"
#include "platform/winpath.h"

namespace {
const QString Ready = QStringLiteral("Ready.");

void addFilesBelow(const FileSystem &fs, const QString &folder, const QString &below, FileList &entries,
                   const std::function<void()> &pump)
{
    if (pump)
        pump();
    for (const QString &sub : fs.subFolders(folder))
        addFilesBelow(fs, WinPath::join(folder, sub), below + QLatin1Char('\\') + sub, entries, pump);
    for (const QString &file : fs.files(folder))
        entries.append(FileListEntry{file, FileListFile::MySceneryBase + below, WinPath::join(folder, file)});
}
} // namespace

FileListPanel::FileListPanel(AppContext &context, SceneryManager &manager, DetailsPanel &details,
                             WindowStatus &status, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_details(details), m_status(status)
{
    connect(&m_details, &DetailsPanel::displayedSceneryChanged, this, [this] {
        if (m_shown)
            readFileList();
        else
            clearList();
    });
}

FileList FileListPanel::filesBelow(const FileSystem &fs, const QString &folder,
                                   const std::function<void()> &pump)
{
    FileList entries;
    addFilesBelow(fs, folder, QString(), entries, pump);
    return entries;
}

Outcome FileListPanel::create(const FileSystem &fs, const QString &folder, const clsScenery &record,
                              FileList &entries, const std::function<void()> &pump)
{
    const QString file = WinPath::join(folder, FileListFile::FileName);
    try {
        // Made first, so that the list names itself.
        if (!fs.fileExists(file))
            fs.writeAll(file, {});
        entries = filesBelow(fs, folder, pump);
    } catch (const LmError &e) {
        return Outcome::failed(e, file);
    }
    return FileListWriter(fs).write(file, record, entries);
}

QString FileListPanel::folder() const
{
    const SceneryPtr scenery = m_details.displayedScenery();
    if (!scenery || scenery->LocalPath.isEmpty())
        return {};
    return m_manager.getRealPath(scenery->LocalPath);
}

FileListPanel::Buttons FileListPanel::buttons() const
{
    const bool shown = m_details.displayedScenery() != nullptr;
    // A change is written at once; without the folder it would go nowhere.
    const bool writable = shown && m_folderExists;
    const bool selected = m_selected >= 0 && m_selected < m_entries.size();
    return Buttons{.create = shown,
                   .add = writable,
                   .edit = writable && selected,
                   .remove = writable && selected,
                   .open = shown && selected && !m_entries.at(m_selected).Source.isEmpty()};
}

void FileListPanel::lvwFileList_Click(int index)
{
    const int selected = index >= 0 && index < m_entries.size() ? index : -1;
    if (selected == m_selected)
        return;
    m_selected = selected;
    emit fileListChanged();
}

void FileListPanel::setShown(bool shown)
{
    m_shown = shown;
    if (shown)
        readFileList();
}

void FileListPanel::clearList()
{
    m_entries.clear();
    m_selected = -1;
    m_folderExists = false;
    emit fileListChanged();
}

void FileListPanel::readFileList()
{
    m_entries.clear();
    m_selected = -1;
    m_folderExists = false;
    runStep(m_context.ui, QStringLiteral(".readFileList"), [&] {
        const QString path = folder();
        if (path.isEmpty())
            return;
        m_folderExists = m_context.fs.folderExists(path);
        FileListReader reader(m_context.fs);
        const Outcome outcome = reader.read(WinPath::join(path, FileListFile::FileName));
        // The entries before a line that cannot be read stay listed.
        m_entries = reader.entries();
        if (outcome.isFailed())
            reportError(m_context.ui, QStringLiteral(".readFileList"), outcome.error());
    });
    emit fileListChanged();
}

void FileListPanel::writeFileList()
{
    runStep(m_context.ui, QStringLiteral(".writeFileList"), [&] {
        const SceneryPtr scenery = m_details.displayedScenery();
        const QString path = folder();
        if (!scenery || path.isEmpty() || !m_context.fs.folderExists(path))
            return;
        const QString file = WinPath::join(path, FileListFile::FileName);
        const Outcome outcome = FileListWriter(m_context.fs).write(file, *scenery, m_entries);
        if (outcome.isFailed())
            reportError(m_context.ui, QStringLiteral(".writeFileList"), outcome.error());
        // The first entry added to a folder without a list makes one.
        m_details.setFileListMarker(m_context.fs.fileExists(file));
    });
}

void FileListPanel::mnuCreateInfoFile_Click()
{
    guarded(m_context.ui, "mnuCreateInfoFile_Click", [&] {
        const SceneryPtr scenery = m_details.displayedScenery();
        if (!scenery)
            return;
        m_status.Display(QStringLiteral("Create LumivaleFileList.db"));
        if (scenery->LocalPath.isEmpty()) {
            m_context.ui.inform(QStringLiteral("Please choose a local path first."),
                                QStringLiteral("Can not create new file list"), UiPort::Icon::Information);
            m_status.Display(Ready);
            return;
        }
        m_entries.clear();
        m_selected = -1;
        BusyPointer busy(m_context.ui);
        const QString path = folder();
        const QString file = WinPath::join(path, FileListFile::FileName);
        m_folderExists = m_context.fs.folderExists(path);
        if (m_folderExists) {
            const Outcome outcome =
                create(m_context.fs, path, *scenery, m_entries, [this] { m_context.ui.processEvents(); });
            if (outcome.isFailed())
                reportError(m_context.ui, QStringLiteral(".writeFileList"), outcome.error());
        } else {
            // Nothing would be written and the empty list would look like an empty folder.
            m_context.ui.inform(QStringLiteral("The folder %1 does not exist.").arg(path),
                                QStringLiteral("Can not create new file list"), UiPort::Icon::Information);
        }
        emit fileListChanged();
        m_details.setFileListMarker(m_context.fs.fileExists(file));
        m_status.Display(Ready);
    });
}

bool FileListPanel::editInDialog(FileListEntry &entry)
{
    frmAddFile dialog(m_context.ui);
    if (m_folderMemory) {
        dialog.getDicPath = [this](const QString &key) { return m_folderMemory->GetDicPath(key); };
        dialog.setDicPath = [this](const QString &key, const QString &folder) {
            m_folderMemory->SetDicPath(key, folder);
        };
    }
    dialog.setEntry(entry);
    m_context.ui.showModal(dialog);
    if (!dialog.bOk || dialog.txtFile.isEmpty())
        return false;
    entry = dialog.entry();
    return true;
}

void FileListPanel::cmdAddFile_Click()
{
    guarded(m_context.ui, "cmdAddFile_Click", [&] {
        if (!buttons().add)
            return;
        FileListEntry entry;
        if (!editInDialog(entry))
            return;
        m_entries.append(entry);
        emit fileListChanged();
        writeFileList();
    });
}

void FileListPanel::cmdEditFile_Click()
{
    guarded(m_context.ui, "cmdEditFile_Click", [&] {
        if (!buttons().edit)
            return;
        FileListEntry entry = m_entries.at(m_selected);
        if (!editInDialog(entry))
            return;
        m_entries[m_selected] = entry;
        emit fileListChanged();
        writeFileList();
    });
}

void FileListPanel::cmdRemoveFile_Click()
{
    guarded(m_context.ui, "cmdRemoveFile_Click", [&] {
        if (!buttons().remove)
            return;
        m_entries.removeAt(m_selected);
        m_selected = -1;
        emit fileListChanged();
        writeFileList();
    });
}

void FileListPanel::cmdOpen_Click()
{
    guarded(m_context.ui, "cmdOpen_Click", [&] {
        if (!buttons().open)
            return;
        const FileListEntry &entry = m_entries.at(m_selected);
        if (openFile) {
            openFile(entry.Source, entry.File);
            return;
        }
        Launcher launcher(m_context.fs);
        OpenWith(m_context, launcher).open(entry.Source, entry.File);
    });
}
