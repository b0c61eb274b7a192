#include "app/frmaddfile.h"

namespace {
// The folder of a file, ending in "\".
QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('\\')) + 1);
}
} // namespace

const QStringList frmAddFile::Roots{FileListFile::MySceneryBase, FileListFile::FSRoot,
                                    FileListFile::AbsolutePath};

frmAddFile::frmAddFile(UiPort &ui) : m_ui(ui) {}

void frmAddFile::setEntry(const FileListEntry &entry)
{
    txtFile = entry.File;
    txtSource = entry.Source;
    cboRoot = 0;
    txtDestination = entry.Destination;
    for (int i = 0; i < Roots.size(); ++i) {
        if (entry.Destination.startsWith(Roots.at(i))) {
            cboRoot = i;
            // The root word and the "\" after it.
            txtDestination = entry.Destination.mid(Roots.at(i).size() + 1);
            break;
        }
    }
}

FileListEntry frmAddFile::entry() const
{
    const QString root = Roots.value(cboRoot, Roots.first());
    // An entry of the scenery folder itself names the root word alone, as a new list writes it;
    // editing such an entry leaves it so.
    const QString destination = txtDestination.isEmpty() ? root : root + QLatin1Char('\\') + txtDestination;
    return FileListEntry{txtFile, destination, txtSource};
}

void frmAddFile::cmdBrowse_Click()
{
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Select File");
    chooser.filter = QStringLiteral("All files (*.*)|*.*");
    chooser.initialDir = getDicPath ? getDicPath(folderKey()) : QString();
    chooser.mustExist = true;
    const std::optional<QString> chosen = m_ui.chooseFile(chooser);
    if (!chosen || chosen->isEmpty())
        return;
    const QString folder = folderOf(*chosen);
    if (setDicPath)
        setDicPath(folderKey(), folder);
    txtSource = *chosen;
    txtFile = chosen->mid(folder.size());
}

void frmAddFile::cmdOk_Click()
{
    bOk = true;
    visible = false;
}

void frmAddFile::cmdCancel_Click()
{
    bOk = false;
    visible = false;
}
