#include "app/frmscenery.h"

#include "app/filehelpers.h"

#include "areas/areadialogs.h"
#include "areas/areavalues.h"
#include "library/scenerymanager.h"
#include "platform/winpath.h"
#include "tree/librarytree.h"

#include <cmath>

namespace {
const QString FileListName = QStringLiteral("LumivaleFileList.db");

// "(1024 kB)", "(1 MB)", "(1.5 MB)": kB up to 1024 kB, then MB cut to two decimals.
QString sizeText(qint64 bytes)
{
    const double k = double(bytes) / 1024.0;
    if (k <= 1024.0)
        return QString::number(qint64(std::floor(k))) + QStringLiteral(" kB");
    const double m = std::floor(k / 1024.0 * 100.0) / 100.0;
    QString number = QString::number(m, 'f', 2);
    while (number.endsWith(QLatin1Char('0')))
        number.chop(1);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    return number + QStringLiteral(" MB");
}

using WinPath::join;
}

QStringList frmScenery::authorList() const
{
    return m_libraryTree->authors();
}

// ---- Showing a scenery -------------------------------------------------------------------

void frmScenery::trvScenery_NodeClick(TreeNode *node)
{
    guarded("trvScenery_NodeClick", [&] {
        if (!node || !isSceneryKey(node->key()))
            return;
        m_displayedScenery = m_manager.colScenery.item(node->key());
        fillDetails(*m_displayedScenery);
    });
}

void frmScenery::fillDetails(const clsScenery &s)
{
    // Each field is filled through its own handler, which writes the same value back.
    if (m_details.chkActive != s.Active)
        chkActive_Click(s.Active);
    chkRequired_Click(s.Required);
    txtExclude_Change(s.Exclude);
    for (int i = 0; i < clsScenery::FlattenCount; ++i)
        txtFlatten_Change(i, s.Flatten(qint16(i)));
    SetLightBulb();
    txtGroup_Change(s.Group);
    // A group number the list cannot show leaves it without a selection and the record as it is.
    if (s.GroupID >= 0 && s.GroupID < GroupIDs.size())
        txtGroupID_Click(s.GroupID);
    else
        m_details.txtGroupID = -1;
    txtID_Change(s.ID);
    m_details.txtLayer = (QStringLiteral("000") + QString::number(s.Layer)).right(3);
    txtLocal_Change(s.LocalPath);
    txtRemote_Change(s.RemotePath);
    txtTexture_ID_Change(QString::number(s.Texture_ID));
    m_details.txtTitle = s.Title;
    txtAuthor_Change(s.Author);
    m_details.txtAuthorSelStart = 0;
    txtVersion_Change(s.Version);
    optLocalRemote_Click(s.IsLocalPath ? 0 : 1);

    const QString realPath = s.LocalPath.isEmpty() ? QString() : m_manager.getRealPath(s.LocalPath);
    showPicture(realPath);

    if (s.SalesType >= 1 && s.SalesType <= SalesTypes.size())
        cboSalesType_Click(s.SalesType - 1);
    else
        m_details.cboSalesType = -1;
    m_simBoxesWrite = false;
    for (int i = 0; i < int(m_details.chkType.size()); ++i)
        chkType_Click(i, (s.FlySim & (1 << i)) != 0);
    m_simBoxesWrite = true;
    txtComment_Change(s.Comment);

    const bool hasFileList = !realPath.isEmpty() && m_context.fs.fileExists(join(realPath, FileListName));
    const int fileListImage = hasFileList ? ImageFilled : ImageEmpty;
    if (m_tabs.fileListImage != fileListImage) {
        m_tabs.fileListImage = fileListImage;
        emit tabsChanged();
    }

    setFolderStatus(s, realPath);
    emit detailsChanged();
}

QString frmScenery::pictureBaseFolder(const QString &localPath) const
{
    // The folder above a last part "scenery", ending in "\"; a bare drive ("C:") is taken as it stands.
    const QString folder = m_manager.getRealPath(localPath);
    const QString base = WinPath::withoutSceneryFolder(folder);
    if (base.size() != folder.size())
        return base + WinPath::Separator;
    return folder.endsWith(QLatin1Char(':')) ? folder : WinPath::withTrailingSeparator(folder);
}

void frmScenery::showPicture(const QString &realPath)
{
    QString picture;
    if (!realPath.isEmpty()) {
        // A picture set through the panel lands in the base folder; it is shown from there too
        // when the scenery's own folder has none.
        QStringList folders{realPath};
        const QString base = pictureBaseFolder(m_details.txtLocal);
        if (base.compare(join(realPath, QString()), Qt::CaseInsensitive) != 0)
            folders.append(base);
        for (const QString &folder : std::as_const(folders)) {
            for (const char *name : {"Scenery.gif", "Scenery.jpg", "Scenery.bmp"}) {
                const QString candidate = join(folder, QLatin1String(name));
                if (m_context.fs.fileExists(candidate)) {
                    picture = candidate;
                    break;
                }
            }
            if (!picture.isEmpty())
                break;
        }
    }
    m_details.picture = picture;
}

void frmScenery::setFolderStatus(const clsScenery &s, const QString &realPath)
{
    QString text = s.Title;
    // The simulator's own scenery folder is never measured, nor is a scenery without a local folder.
    if (s.LocalPath.toUpper() != QStringLiteral("SCENERY") && s.IsLocalPath && !realPath.isEmpty()
        && m_context.fs.folderExists(realPath)) {
        text += QStringLiteral(" (") + sizeText(m_context.fs.folderSize(realPath)) + QLatin1Char(')');
    }
    Display(text);
}

void frmScenery::recolourActive(bool active)
{
    if (!m_displayedScenery)
        return;
    if (TreeNode *node = m_tree->node(m_displayedScenery->Key))
        node->setForeColor(active ? rgb(100, 100, 255) : rgb(255, 100, 100));
}

// ---- Field handlers ----------------------------------------------------------------------

void frmScenery::txtLocal_Change(const QString &text)
{
    m_details.txtLocal = text;
    if (m_displayedScenery)
        m_displayedScenery->LocalPath = text;
    emit detailsChanged();
}

void frmScenery::txtRemote_Change(const QString &text)
{
    m_details.txtRemote = text;
    if (m_displayedScenery)
        m_displayedScenery->RemotePath = text;
    emit detailsChanged();
}

void frmScenery::txtTexture_ID_Change(const QString &text)
{
    m_details.txtTexture_ID = text;
    // A text that is no 16-bit number (an emptied field while typing) leaves the record alone.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (m_displayedScenery && ok && value >= -32768 && value <= 32767)
        m_displayedScenery->Texture_ID = qint16(value);
    emit detailsChanged();
}

void frmScenery::txtAuthor_Change(const QString &text)
{
    m_details.txtAuthor = text;
    if (m_details.txtAuthorSelStart > text.size())
        m_details.txtAuthorSelStart = int(text.size());
    if (m_displayedScenery)
        m_displayedScenery->Author = text;
    emit detailsChanged();
}

void frmScenery::txtAuthor_KeyUp(Qt::Key key, int selStart)
{
    const QString text = m_details.txtAuthor;
    m_details.txtAuthorSelStart = qBound(0, selStart, int(text.size()));
    // Arrow keys only move the caret.
    if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down)
        return;
    if (text.isEmpty())
        return;
    const int n = qBound(0, selStart, int(text.size()));
    // With the caret at the start every entry would match and replace what was typed.
    if (n == 0)
        return;
    const QString typed = text.left(n);
    QString completed = typed;
    for (const QString &entry : authorList()) {
        if (entry.left(n).compare(typed, Qt::CaseInsensitive) == 0) {
            completed = entry;
            break;
        }
    }
    m_details.txtAuthorSelStart = n;
    txtAuthor_Change(completed);
}

void frmScenery::txtVersion_Change(const QString &text)
{
    m_details.txtVersion = text;
    if (m_displayedScenery)
        m_displayedScenery->Version = text;
    emit detailsChanged();
}

void frmScenery::txtComment_Change(const QString &text)
{
    m_details.txtComment = text;
    if (m_displayedScenery)
        m_displayedScenery->Comment = text;
    emit detailsChanged();
}

void frmScenery::txtGroup_Change(const QString &text)
{
    m_details.txtGroup = text;
    if (m_displayedScenery)
        m_displayedScenery->Group = text;
    emit detailsChanged();
}

void frmScenery::txtID_Change(const QString &text)
{
    m_details.txtID = text;
    if (m_displayedScenery)
        m_displayedScenery->ID = text;
    emit detailsChanged();
}

void frmScenery::txtGroupID_Click(int listIndex)
{
    if (listIndex < 0 || listIndex >= GroupIDs.size())
        return;
    m_details.txtGroupID = listIndex;
    if (m_displayedScenery)
        m_displayedScenery->GroupID = qint16(listIndex);
    emit detailsChanged();
}

void frmScenery::chkActive_Click(bool checked)
{
    m_details.chkActive = checked;
    if (m_displayedScenery) {
        m_displayedScenery->Active = checked;
        recolourActive(checked);
    }
    emit detailsChanged();
}

void frmScenery::chkRequired_Click(bool checked)
{
    m_details.chkRequired = checked;
    if (m_displayedScenery)
        m_displayedScenery->Required = checked;
    emit detailsChanged();
}

void frmScenery::chkType_Click(int index, bool checked)
{
    if (index < 0 || index >= int(m_details.chkType.size()))
        return;
    m_details.chkType[std::size_t(index)] = checked;
    if (m_simBoxesWrite && m_displayedScenery) {
        qint16 flySim = 0;
        for (int i = 0; i < int(m_details.chkType.size()); ++i) {
            if (m_details.chkType[std::size_t(i)])
                flySim = qint16(flySim + (1 << i));
        }
        m_displayedScenery->FlySim = flySim;
    }
    emit detailsChanged();
}

void frmScenery::cboSalesType_Click(int listIndex)
{
    if (listIndex < -1 || listIndex >= SalesTypes.size())
        return;
    m_details.cboSalesType = listIndex;
    if (m_displayedScenery)
        m_displayedScenery->SalesType = qint16(listIndex + 1);
    emit detailsChanged();
}

void frmScenery::optLocalRemote_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    m_details.optLocalRemote = index;
    if (m_displayedScenery)
        m_displayedScenery->IsLocalPath = index == 0;
    emit detailsChanged();
}

void frmScenery::cmdFile_Click(int index)
{
    guarded("cmdFile_Click", [&] {
        if (index == 0 || index == 1) {
            const QString current = index == 0 ? m_details.txtLocal : m_details.txtRemote;
            const QString start = current.isEmpty() ? m_manager.FSPath() : m_manager.getRealPath(current);
            const std::optional<QString> folder =
                Start::chooseFolder(m_context.ui, QStringLiteral("Select folder"), start);
            if (!folder)
                return;
            if (index == 0)
                txtLocal_Change(*folder);
            else
                txtRemote_Change(*folder);
            return;
        }
        if (index != 2)
            return;
        if (m_details.txtLocal.isEmpty()) {
            m_context.ui.inform(QStringLiteral("Please define the local path before you set the picture."),
                                QStringLiteral("Can not assign picture"));
            return;
        }
        UiPort::FileChooser chooser;
        chooser.title = QStringLiteral("Select bmp/gif/jpg");
        chooser.filter = QStringLiteral("*.jpg|*.jpg|*.gif|*.gif|*.bmp|*.bmp");
        chooser.initialDir = m_details.txtLocal;
        chooser.mustExist = true;
        const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
        if (!chosen || chosen->isEmpty())
            return;
        const QString target = pictureBaseFolder(m_details.txtLocal) + QStringLiteral("Scenery.bmp");
        // A picture that cannot be loaded changes nothing, the old "Scenery.bmp" included.
        if (!m_pictureConverter || !m_pictureConverter(*chosen, target))
            return;
        m_details.picture = *chosen;
        emit detailsChanged();
    });
}

void frmScenery::txtExclude_Change(const QString &text)
{
    m_details.txtExclude = text;
    if (m_displayedScenery) {
        m_details.txtExcludeRed = !text.isEmpty() && CheckErrorExclude(text);
        m_displayedScenery->Exclude = text;
        SetLightBulb();
    }
    emit detailsChanged();
}

void frmScenery::txtFlatten_Change(int index, const QString &text)
{
    if (index < 0 || index >= clsScenery::FlattenCount)
        return;
    m_details.txtFlatten[std::size_t(index)] = text;
    if (m_displayedScenery) {
        m_details.txtFlattenRed[std::size_t(index)] = !text.isEmpty() && CheckErrorFlatten(text);
        m_displayedScenery->setFlatten(qint16(index), text);
        SetLightBulb();
    }
    emit detailsChanged();
}

void frmScenery::cmdExclude_Click()
{
    guarded("cmdExclude_Click", [&] {
        if (const std::optional<QString> text = editExclude(m_context.ui, m_details.txtExclude))
            txtExclude_Change(*text);
    });
}

void frmScenery::cmdFlatten_Click(int index)
{
    guarded("cmdFlatten_Click", [&] {
        if (index < 0 || index >= clsScenery::FlattenCount)
            return;
        if (const std::optional<QString> text = editFlatten(m_context.ui, m_details.txtFlatten[std::size_t(index)]))
            txtFlatten_Change(index, *text);
    });
}

void frmScenery::SetLightBulb()
{
    QString all = m_details.txtExclude;
    for (const QString &flatten : m_details.txtFlatten)
        all += flatten;
    const int image = all.isEmpty() ? ImageEmpty : ImageFilled;
    if (m_tabs.excFlatImage != image) {
        m_tabs.excFlatImage = image;
        emit tabsChanged();
    }
}

void frmScenery::tbsScenery_Click(int page)
{
    if (page < TabDetail || page > TabFileList)
        return;
    m_tabs.selected = page;
    // The "Move to" page always shows the levels as they are now.
    if (page == TabMoveTo)
        FillMoveToTree();
    emit tabsChanged();
}
