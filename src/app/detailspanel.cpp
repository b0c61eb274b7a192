#include "app/detailspanel.h"

#include "app/filehelpers.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
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
} // namespace

const QStringList DetailsPanel::SalesTypes = {QStringLiteral("Copyleft"), QStringLiteral("Freeware"),
                                              QStringLiteral("Payware"), QStringLiteral("Public Domain"),
                                              QStringLiteral("Shareware")};
const QStringList DetailsPanel::GroupIDs = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                            QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};

DetailsPanel::DetailsPanel(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                           WindowStatus &status, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_tree(tree), m_libraryTree(libraryTree),
      m_status(status)
{
    connect(&m_libraryTree, &LibraryTree::authorsChanged, this, &DetailsPanel::detailsChanged);
}

QStringList DetailsPanel::authorList() const
{
    return m_libraryTree.authors();
}

// ---- Showing a scenery -------------------------------------------------------------------

void DetailsPanel::trvScenery_NodeClick(TreeNode *node)
{
    guarded(m_context.ui, "trvScenery_NodeClick", [&] {
        if (!node || !isSceneryKey(node->key()))
            return;
        m_displayed = m_manager.colScenery.item(node->key());
        fillDetails(*m_displayed);
        emit displayedSceneryChanged();
    });
}

void DetailsPanel::setFileListMarker(bool present)
{
    const int image = present ? ImageFilled : ImageEmpty;
    if (m_tabs.fileListImage != image) {
        m_tabs.fileListImage = image;
        emit tabsChanged();
    }
}

void DetailsPanel::trvScenery_KeyUp()
{
    if (TreeNode *node = m_tree.selectedItem())
        trvScenery_NodeClick(node);
}

void DetailsPanel::showTitle(const SceneryPtr &scenery)
{
    if (scenery != m_displayed)
        return;
    m_fields.txtTitle = scenery->Title;
    emit detailsChanged();
}

void DetailsPanel::showPaths(const SceneryPtr &scenery)
{
    if (!scenery || scenery != m_displayed)
        return;
    txtLocal_Change(scenery->LocalPath);
    txtRemote_Change(scenery->RemotePath);
}

void DetailsPanel::fillDetails(const clsScenery &s)
{
    // Each field is filled through its own handler, which writes the same value back.
    if (m_fields.chkActive != s.Active)
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
        m_fields.txtGroupID = -1;
    txtID_Change(s.ID);
    m_fields.txtLayer = (QStringLiteral("000") + QString::number(s.Layer)).right(3);
    txtLocal_Change(s.LocalPath);
    txtRemote_Change(s.RemotePath);
    txtTexture_ID_Change(QString::number(s.Texture_ID));
    m_fields.txtTitle = s.Title;
    txtAuthor_Change(s.Author);
    m_fields.txtAuthorSelStart = 0;
    txtVersion_Change(s.Version);
    optLocalRemote_Click(s.IsLocalPath ? 0 : 1);

    const QString realPath = s.LocalPath.isEmpty() ? QString() : m_manager.getRealPath(s.LocalPath);
    showPicture(realPath);

    if (s.SalesType >= 1 && s.SalesType <= SalesTypes.size())
        cboSalesType_Click(s.SalesType - 1);
    else
        m_fields.cboSalesType = -1;
    m_simBoxesWrite = false;
    for (int i = 0; i < int(m_fields.chkType.size()); ++i)
        chkType_Click(i, (s.FlySim & (1 << i)) != 0);
    m_simBoxesWrite = true;
    txtComment_Change(s.Comment);

    setFileListMarker(!realPath.isEmpty() && m_context.fs.fileExists(join(realPath, FileListName)));

    setFolderStatus(s, realPath);
    emit detailsChanged();
}

QString DetailsPanel::pictureBaseFolder(const QString &localPath) const
{
    // The folder above a last part "scenery", ending in "\"; a bare drive ("C:") is taken as it stands.
    const QString folder = m_manager.getRealPath(localPath);
    const QString base = WinPath::withoutSceneryFolder(folder);
    if (base.size() != folder.size())
        return base + WinPath::Separator;
    return folder.endsWith(QLatin1Char(':')) ? folder : WinPath::withTrailingSeparator(folder);
}

void DetailsPanel::showPicture(const QString &realPath)
{
    QString picture;
    if (!realPath.isEmpty()) {
        // A picture set through the panel lands in the base folder; it is shown from there too
        // when the scenery's own folder has none.
        QStringList folders{realPath};
        const QString base = pictureBaseFolder(m_fields.txtLocal);
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
    m_fields.picture = picture;
}

void DetailsPanel::setFolderStatus(const clsScenery &s, const QString &realPath)
{
    QString text = s.Title;
    // The simulator's own scenery folder is never measured, nor is a scenery without a local folder.
    if (s.LocalPath.toUpper() != QStringLiteral("SCENERY") && s.IsLocalPath && !realPath.isEmpty() &&
        m_context.fs.folderExists(realPath)) {
        text += QStringLiteral(" (") + sizeText(m_context.fs.folderSize(realPath)) + QLatin1Char(')');
    }
    m_status.Display(text);
}

void DetailsPanel::recolourActive(bool active)
{
    if (!m_displayed)
        return;
    if (TreeNode *node = m_tree.node(m_displayed->Key))
        node->setForeColor(active ? rgb(100, 100, 255) : rgb(255, 100, 100));
}

// ---- Field handlers ----------------------------------------------------------------------

void DetailsPanel::txtLocal_Change(const QString &text)
{
    m_fields.txtLocal = text;
    if (m_displayed)
        m_displayed->LocalPath = text;
    emit detailsChanged();
}

void DetailsPanel::txtRemote_Change(const QString &text)
{
    m_fields.txtRemote = text;
    if (m_displayed)
        m_displayed->RemotePath = text;
    emit detailsChanged();
}

void DetailsPanel::txtTexture_ID_Change(const QString &text)
{
    m_fields.txtTexture_ID = text;
    // A text that is no 16-bit number (an emptied field while typing) leaves the record alone.
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (m_displayed && ok && value >= -32768 && value <= 32767)
        m_displayed->Texture_ID = qint16(value);
    emit detailsChanged();
}

void DetailsPanel::txtAuthor_Change(const QString &text)
{
    m_fields.txtAuthor = text;
    if (m_fields.txtAuthorSelStart > text.size())
        m_fields.txtAuthorSelStart = int(text.size());
    if (m_displayed)
        m_displayed->Author = text;
    emit detailsChanged();
}

void DetailsPanel::txtAuthor_KeyUp(Qt::Key key, int selStart)
{
    const QString text = m_fields.txtAuthor;
    m_fields.txtAuthorSelStart = qBound(0, selStart, int(text.size()));
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
    m_fields.txtAuthorSelStart = n;
    txtAuthor_Change(completed);
}

void DetailsPanel::txtVersion_Change(const QString &text)
{
    m_fields.txtVersion = text;
    if (m_displayed)
        m_displayed->Version = text;
    emit detailsChanged();
}

void DetailsPanel::txtComment_Change(const QString &text)
{
    m_fields.txtComment = text;
    if (m_displayed)
        m_displayed->Comment = text;
    emit detailsChanged();
}

void DetailsPanel::txtGroup_Change(const QString &text)
{
    m_fields.txtGroup = text;
    if (m_displayed)
        m_displayed->Group = text;
    emit detailsChanged();
}

void DetailsPanel::txtID_Change(const QString &text)
{
    m_fields.txtID = text;
    if (m_displayed)
        m_displayed->ID = text;
    emit detailsChanged();
}

void DetailsPanel::txtGroupID_Click(int listIndex)
{
    if (listIndex < 0 || listIndex >= GroupIDs.size())
        return;
    m_fields.txtGroupID = listIndex;
    if (m_displayed)
        m_displayed->GroupID = qint16(listIndex);
    emit detailsChanged();
}

void DetailsPanel::chkActive_Click(bool checked)
{
    m_fields.chkActive = checked;
    if (m_displayed) {
        m_displayed->Active = checked;
        recolourActive(checked);
    }
    emit detailsChanged();
}

void DetailsPanel::chkRequired_Click(bool checked)
{
    m_fields.chkRequired = checked;
    if (m_displayed)
        m_displayed->Required = checked;
    emit detailsChanged();
}

void DetailsPanel::chkType_Click(int index, bool checked)
{
    if (index < 0 || index >= int(m_fields.chkType.size()))
        return;
    m_fields.chkType[std::size_t(index)] = checked;
    if (m_simBoxesWrite && m_displayed) {
        qint16 flySim = 0;
        for (int i = 0; i < int(m_fields.chkType.size()); ++i) {
            if (m_fields.chkType[std::size_t(i)])
                flySim = qint16(flySim + (1 << i));
        }
        m_displayed->FlySim = flySim;
    }
    emit detailsChanged();
}

void DetailsPanel::cboSalesType_Click(int listIndex)
{
    if (listIndex < -1 || listIndex >= SalesTypes.size())
        return;
    m_fields.cboSalesType = listIndex;
    if (m_displayed)
        m_displayed->SalesType = qint16(listIndex + 1);
    emit detailsChanged();
}

void DetailsPanel::optLocalRemote_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    m_fields.optLocalRemote = index;
    if (m_displayed)
        m_displayed->IsLocalPath = index == 0;
    emit detailsChanged();
}

void DetailsPanel::cmdFile_Click(int index)
{
    guarded(m_context.ui, "cmdFile_Click", [&] {
        if (index == 0 || index == 1) {
            const QString current = index == 0 ? m_fields.txtLocal : m_fields.txtRemote;
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
        if (m_fields.txtLocal.isEmpty()) {
            m_context.ui.inform(QStringLiteral("Please define the local path before you set the picture."),
                                QStringLiteral("Can not assign picture"));
            return;
        }
        UiPort::FileChooser chooser;
        chooser.title = QStringLiteral("Select bmp/gif/jpg");
        chooser.filter = QStringLiteral("*.jpg|*.jpg|*.gif|*.gif|*.bmp|*.bmp");
        chooser.initialDir = m_fields.txtLocal;
        chooser.mustExist = true;
        const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
        if (!chosen || chosen->isEmpty())
            return;
        const QString target = pictureBaseFolder(m_fields.txtLocal) + QStringLiteral("Scenery.bmp");
        // A picture that cannot be loaded changes nothing, the old "Scenery.bmp" included.
        if (!m_pictureConverter || !m_pictureConverter(*chosen, target))
            return;
        m_fields.picture = *chosen;
        emit detailsChanged();
    });
}

void DetailsPanel::txtExclude_Change(const QString &text)
{
    m_fields.txtExclude = text;
    if (m_displayed) {
        m_fields.txtExcludeRed = !text.isEmpty() && CheckErrorExclude(text);
        m_displayed->Exclude = text;
        SetLightBulb();
    }
    emit detailsChanged();
}

void DetailsPanel::txtFlatten_Change(int index, const QString &text)
{
    if (index < 0 || index >= clsScenery::FlattenCount)
        return;
    m_fields.txtFlatten[std::size_t(index)] = text;
    if (m_displayed) {
        m_fields.txtFlattenRed[std::size_t(index)] = !text.isEmpty() && CheckErrorFlatten(text);
        m_displayed->setFlatten(qint16(index), text);
        SetLightBulb();
    }
    emit detailsChanged();
}

static_assert(std::tuple_size_v<decltype(SceneryAreas::flatten)> == clsScenery::FlattenCount);

QList<SceneryAreas> DetailsPanel::otherAreas() const
{
    QList<SceneryAreas> others;
    for (const SceneryPtr &s : m_manager.colScenery) {
        if (s == m_displayed)
            continue;
        SceneryAreas areas{s->Key, s->Exclude, {}};
        bool any = !s->Exclude.isEmpty();
        for (qint16 i = 0; i < clsScenery::FlattenCount; ++i) {
            areas.flatten[std::size_t(i)] = s->Flatten(i);
            any = any || !areas.flatten[std::size_t(i)].isEmpty();
        }
        if (any)
            others.append(areas);
    }
    return others;
}

void DetailsPanel::cmdExclude_Click()
{
    guarded(m_context.ui, "cmdExclude_Click", [&] {
        if (const std::optional<QString> text = editExclude(m_context.ui, m_fields.txtExclude, otherAreas()))
            txtExclude_Change(*text);
    });
}

void DetailsPanel::cmdFlatten_Click(int index)
{
    guarded(m_context.ui, "cmdFlatten_Click", [&] {
        if (index < 0 || index >= clsScenery::FlattenCount)
            return;
        if (const std::optional<QString> text =
                editFlatten(m_context.ui, m_fields.txtFlatten[std::size_t(index)], otherAreas()))
            txtFlatten_Change(index, *text);
    });
}

void DetailsPanel::SetLightBulb()
{
    QString all = m_fields.txtExclude;
    for (const QString &flatten : m_fields.txtFlatten)
        all += flatten;
    const int image = all.isEmpty() ? ImageEmpty : ImageFilled;
    if (m_tabs.excFlatImage != image) {
        m_tabs.excFlatImage = image;
        emit tabsChanged();
    }
}

void DetailsPanel::tbsScenery_Click(int page)
{
    if (page < TabDetail || page > TabFileList)
        return;
    m_tabs.selected = page;
    emit tabsChanged();
}
