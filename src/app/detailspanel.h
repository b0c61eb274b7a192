#pragma once

#include "library/records.h"
#include "platform/appcontext.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

struct SceneryAreas;

class LibraryTree;
class SceneryManager;
class Tree;
class TreeNode;
class WindowStatus;

// The scenery details panel: the tab strip tbsScenery, whose "Scenery Details" and "Exclude /
// Flatten" pages show the displayed scenery. Showing a scenery fills every field from its record;
// every field the user changes goes straight into the record.
class DetailsPanel : public QObject
{
    Q_OBJECT
public:
    // The pages of the tab strip.
    enum TabPage { TabDetail = 0, TabExcFlat = 1, TabMoveTo = 2, TabFileList = 3 };
    // The tab markers: whether a page holds something.
    enum TabImage { ImageEmpty = 27, ImageFilled = 28 };
    struct Tabs
    {
        int selected = TabDetail;
        int excFlatImage = ImageEmpty;
        int fileListImage = ImageEmpty;
    };

    // The fields of both pages as the view shows them.
    struct Fields
    {
        QString txtTitle;
        QString txtLocal;
        QString txtRemote;
        int optLocalRemote = -1; // 0 local path used, 1 remote path used, -1 none chosen
        QString txtLayer;        // three digits
        QString txtTexture_ID;
        QString txtAuthor;
        int txtAuthorSelStart = 0; // the caret
        QString txtVersion;
        QString txtComment;
        QString txtGroup;
        QString txtID;
        int txtGroupID = -1; // list position, -1 no selection
        bool chkActive = false;
        bool chkRequired = false;
        std::array<bool, 6> chkType{}; // FS95, FS98, FS2K, FS2K2, CFS, CFS2: the bits of FlySim
        int cboSalesType = -1;         // list position, -1 no selection
        QString txtExclude;
        bool txtExcludeRed = false; // the text is no exclusion area
        std::array<QString, clsScenery::FlattenCount> txtFlatten;
        std::array<bool, clsScenery::FlattenCount> txtFlattenRed{};
        QString picture; // the picture file to show, Windows form; "" for none
    };

    // Turns a picture file into "Scenery.bmp" (source and target in Windows form); false when the
    // source cannot be loaded. The core cannot decode pictures, so the GUI supplies this.
    using PictureConverter = std::function<bool(const QString &sourceWin, const QString &targetWin)>;

    static const QStringList SalesTypes; // "Copyleft", "Freeware", "Payware", "Public Domain", "Shareware"
    static const QStringList GroupIDs;   // "0" .. "5"

    DetailsPanel(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                 WindowStatus &status, QObject *parent = nullptr);

    void setPictureConverter(PictureConverter converter) { m_pictureConverter = std::move(converter); }

    SceneryPtr displayedScenery() const { return m_displayed; }
    const Fields &fields() const { return m_fields; }
    const Tabs &tbsScenery() const { return m_tabs; }
    // The author list of txtAuthor.
    QStringList authorList() const;

    // A node was selected or pressed: a scenery is shown, a level leaves the panel as it is.
    void trvScenery_NodeClick(TreeNode *node);
    // A key was released in the tree: the selected node is shown.
    void trvScenery_KeyUp();

    void txtLocal_Change(const QString &text);
    void txtRemote_Change(const QString &text);
    void txtTexture_ID_Change(const QString &text);
    void txtAuthor_Change(const QString &text);
    // A key released in txtAuthor with the caret at selStart: completes from the author list.
    void txtAuthor_KeyUp(Qt::Key key, int selStart);
    void txtVersion_Change(const QString &text);
    void txtComment_Change(const QString &text);
    void txtGroup_Change(const QString &text);
    void txtID_Change(const QString &text);
    void txtGroupID_Click(int listIndex);
    void chkActive_Click(bool checked);
    void chkRequired_Click(bool checked);
    void chkType_Click(int index, bool checked);
    void cboSalesType_Click(int listIndex);
    void optLocalRemote_Click(int index);
    // 0 local folder, 1 remote folder, 2 the picture.
    void cmdFile_Click(int index);
    void txtExclude_Change(const QString &text);
    void txtFlatten_Change(int index, const QString &text);
    void cmdExclude_Click();
    void cmdFlatten_Click(int index);
    // The marker of the "Exclude / Flatten" tab follows its fields.
    void SetLightBulb();
    void tbsScenery_Click(int page);

    // A renamed scenery's title, when it is the one shown.
    void showTitle(const SceneryPtr &scenery);
    // The scenery's local and remote path fields again, when it is the one shown (a path tool
    // changed them).
    void showPaths(const SceneryPtr &scenery);
    // No scenery is shown: edits of the fields go nowhere (a removed scenery, the window closing).
    void clearDisplayedScenery()
    {
        m_displayed.reset();
        emit displayedSceneryChanged();
    }
    // The "File list" tab's marker: whether the scenery's folder holds its file list.
    void setFileListMarker(bool present);

signals:
    // A field, its colour, the picture or the author list changed.
    void detailsChanged();
    // The selected page or a page marker changed.
    void tabsChanged();
    // Another scenery is shown, or none (the pages that show it read it again).
    void displayedSceneryChanged();

private:
    // The areas of every scenery but the shown one that has any, for an editor's map.
    QList<SceneryAreas> otherAreas() const;
    void fillDetails(const clsScenery &scenery);
    void showPicture(const QString &realPath);
    QString pictureBaseFolder(const QString &localPath) const;
    void setFolderStatus(const clsScenery &scenery, const QString &realPath);
    void recolourActive(bool active);

    AppContext &m_context;
    SceneryManager &m_manager;
    Tree &m_tree;
    LibraryTree &m_libraryTree;
    WindowStatus &m_status;
    PictureConverter m_pictureConverter;

    SceneryPtr m_displayed;
    Fields m_fields;
    Tabs m_tabs;
    bool m_simBoxesWrite = true; // false while showing a scenery sets the sim boxes
};
