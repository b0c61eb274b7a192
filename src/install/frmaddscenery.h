#pragma once

#include "install/sceneryinstaller.h"
#include "platform/appcontext.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

class OpenWith;
class SceneryManager;

// The "Install Scenery" dialog: the new scenery's title, the way it comes in (an installed
// folder, a source folder, a zip file), the folders, the archive's content and mode, and the two
// pattern lists. sResult holds the title after OK, "" after Cancel; request() gives the rest.
class frmAddScenery : public FormLogic
{
public:
    frmAddScenery(AppContext &context, const SceneryManager &manager);
    QString formName() const override { return QStringLiteral("frmAddScenery"); }
    QString caption() const { return QStringLiteral("Install Scenery"); }

    // The folder memory of the window's choosers: the folder last used under a key, and storing
    // one. Without them the choosers start in the simulator folder and remember nothing.
    std::function<QString(const QString &key)> getDicPath;
    std::function<void(const QString &key, const QString &folder)> setDicPath;
    // The airport directory: the line chosen there, nothing when it was left without one. The
    // "..." button beside the title is off without it.
    std::function<std::optional<QString>()> showAirportDirectory;
    // Opens a file of the archive with its program; without it a double click does nothing.
    OpenWith *openWith = nullptr;

    void Form_Load();
    void Form_Activate();

    // Choosing a way enables its frame alone.
    void optWay_Click(int way);
    // Automatic distribution alone offers sub-zips.
    void optMode_Click(int mode);
    // Each change of a pattern field is stored at once.
    void txtSceneryExt_Change(const QString &text);
    void txtTextureExt_Change(const QString &text);
    // The "..." buttons: 0 scenery path, 1 and 2 source and destination folders, 3 the zip file,
    // 4 its destination.
    void cmdBrowse_Click(int index);
    void cmdAirport_Click();
    void lvwContent_DblClick();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Lists the archive's entries and preselects the archive mode.
    void FillContentList();

    // The installation the dialog describes.
    InstallRequest request() const;
    bool fraWayEnabled(int way) const { return optWay == way; }
    bool chkSubZipsEnabled() const { return optMode == int(ArchiveMode::Automatic); }
    bool cmdAirportEnabled() const { return bool(showAirportDirectory); }

    QString txtTitle;
    int optWay = 0;
    QString txtSceneryPath;
    QString txtSourcePath; // way 1
    QString txtDestPath;   // way 1
    QString txtSceneryExt;
    QString txtTextureExt;
    QString txtZipSource; // way 2
    QString txtZipDest;   // way 2
    ContentList lvwContent;
    int lvwContentIndex = -1;
    int optMode = 0;
    bool chkSubZips = false;
    bool blnFileListFound = false;
    bool blnSceneryFolderFound = false;

    QString sResult;
    bool visible = true;

private:
    QString startFolder(const QString &field, const QString &key) const;
    void remember(const QString &key, const QString &folder);

    AppContext &m_context;
    const SceneryManager &m_manager;
};
