#pragma once

#include "install/filelistfile.h"
#include "platform/appcontext.h"

#include <QObject>
#include <QString>

#include <functional>

class DetailsPanel;
class SceneryManager;
class WindowStatus;
namespace Start {
class FolderMemory;
}

// The "File list" page of the main window: the file list ("LumivaleFileList.db") of the displayed
// scenery, kept in the scenery's folder, as a list of File, Destination and Source, with the
// buttons "Create Filelist", "Add File", "Edit File", "Remove File" and "Open". Every change is
// written to the file at once.
class FileListPanel : public QObject
{
    Q_OBJECT
public:
    // Which buttons do their job now.
    struct Buttons
    {
        bool create = false;
        bool add = false;
        bool edit = false;
        bool remove = false;
        bool open = false;
    };

    FileListPanel(AppContext &context, SceneryManager &manager, DetailsPanel &details, WindowStatus &status,
                  QObject *parent = nullptr);

    void setFolderMemory(Start::FolderMemory *memory) { m_folderMemory = memory; }
    // Opens a file (Windows form) with the program that opens its type; false when none could.
    // Without one, the system's association is asked (OpenWith).
    std::function<bool(const QString &path, const QString &name)> openFile;

    const FileList &lvwFileList() const { return m_entries; }
    // The selected entry, -1 none.
    int selectedIndex() const { return m_selected; }
    void lvwFileList_Click(int index);
    Buttons buttons() const;

    // The scenery's folder holding its file list, Windows form; "" when no scenery is shown or it
    // has no local path.
    QString folder() const;

    // Empties the list and reads the displayed scenery's file list into it.
    void readFileList();
    // Writes the file list from the record's fields and the list; nothing when the folder is not
    // there.
    void writeFileList();

    // "Create &new file list" and "Create Filelist": a new list of every file below the scenery's
    // folder.
    void mnuCreateInfoFile_Click();
    void cmdAddFile_Click();
    void cmdEditFile_Click();
    void cmdRemoveFile_Click();
    void cmdOpen_Click();

    // Every file below folder, each subfolder's before the folder's own, depth first, as a new
    // list names them: Destination "MySceneryBase" and the path below folder, Source the full path.
    // pump runs between folders.
    static FileList filesBelow(const FileSystem &fs, const QString &folder,
                               const std::function<void()> &pump = {});

    // Makes the file list of a scenery new from its folder (which must exist): the file is made
    // first, so that the list names it, then written with every file below the folder. Done with
    // the entries in `entries`; Failed when a file could not be written.
    static Outcome create(const FileSystem &fs, const QString &folder, const clsScenery &record,
                          FileList &entries, const std::function<void()> &pump = {});

    // The page shows the displayed scenery's list, or none while another page is up.
    void setShown(bool shown);

signals:
    // The list, its selection or what the buttons can do changed.
    void fileListChanged();

private:
    void clearList();
    // The dialog on an entry; true when confirmed with a file name.
    bool editInDialog(FileListEntry &entry);

    AppContext &m_context;
    SceneryManager &m_manager;
    DetailsPanel &m_details;
    WindowStatus &m_status;
    Start::FolderMemory *m_folderMemory = nullptr;

    FileList m_entries;
    int m_selected = -1;
    bool m_shown = false;
    bool m_folderExists = false; // the displayed scenery's folder, when the list was read
};
