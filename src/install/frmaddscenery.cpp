#include "install/frmaddscenery.h"

#include "install/openwith.h"
#include "library/scenerymanager.h"
#include "platform/archive.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"
#include "settings/programsettings.h"

namespace {
const QString FolderTitle = QStringLiteral("Select folder");
const QString SceneryKey = QStringLiteral("AddScreen0");
const QString SourceKey = QStringLiteral("AddScreen1");

QString parentFolder(const QString &path)
{
    const qsizetype cut = WinPath::withoutTrailingSeparator(path).lastIndexOf(u'\\');
    return cut < 0 ? path : path.left(cut + 1);
}
} // namespace

frmAddScenery::frmAddScenery(AppContext &context, const SceneryManager &manager)
    : m_context(context), m_manager(manager)
{}

void frmAddScenery::Form_Load()
{
    txtTitle.clear();
    optWay_Click(int(InstallWay::Installed));
}

void frmAddScenery::Form_Activate()
{
    const ProgramSettings settings(m_context.settings, m_context.programFolder());
    txtSceneryExt = settings.sceneryFileExt();
    txtTextureExt = settings.textureFileExt();
}

void frmAddScenery::optWay_Click(int way)
{
    optWay = way;
}

void frmAddScenery::optMode_Click(int mode)
{
    optMode = mode;
}

void frmAddScenery::txtSceneryExt_Change(const QString &text)
{
    txtSceneryExt = text;
    runStep(m_context.ui, QStringLiteral("frmAddScenery.txtSceneryExt_Change"), [&] {
        ProgramSettings(m_context.settings, m_context.programFolder())
            .setValue(QStringLiteral("SceneryFileExt"), text);
    });
}

void frmAddScenery::txtTextureExt_Change(const QString &text)
{
    txtTextureExt = text;
    runStep(m_context.ui, QStringLiteral("frmAddScenery.txtTextureExt_Change"), [&] {
        ProgramSettings(m_context.settings, m_context.programFolder())
            .setValue(QStringLiteral("TextureFileExt"), text);
    });
}

QString frmAddScenery::startFolder(const QString &field, const QString &key) const
{
    if (!field.isEmpty())
        return parentFolder(field);
    return getDicPath ? getDicPath(key) : m_manager.FSPath();
}

void frmAddScenery::remember(const QString &key, const QString &folder)
{
    if (setDicPath)
        setDicPath(key, folder);
}

void frmAddScenery::cmdBrowse_Click(int index)
{
    if (index == 3) {
        UiPort::FileChooser chooser;
        chooser.title = FolderTitle;
        chooser.filter = QStringLiteral("Zip file (*.zip)|*.zip");
        chooser.initialDir = startFolder(txtZipSource, SourceKey);
        chooser.mustExist = true;
        const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
        if (!chosen || chosen->isEmpty())
            return;
        remember(SourceKey, parentFolder(*chosen));
        txtZipSource = *chosen;
        FillContentList();
        return;
    }
    QString *fields[] = {&txtSceneryPath, &txtSourcePath, &txtDestPath, nullptr, &txtZipDest};
    if (index < 0 || index > 4)
        return;
    QString &field = *fields[index];
    const QString key = index == 1 ? SourceKey : SceneryKey;
    const std::optional<QString> chosen = m_context.ui.chooseFolder(FolderTitle, startFolder(field, key));
    if (!chosen || chosen->isEmpty())
        return;
    const QString folder = WinPath::withTrailingSeparator(*chosen);
    remember(key, folder);
    field = index == 0 ? folder + QStringLiteral("Scenery") : WinPath::withoutTrailingSeparator(folder);
}

void frmAddScenery::cmdAirport_Click()
{
    if (!showAirportDirectory)
        return;
    txtTitle.clear();
    if (const std::optional<QString> line = showAirportDirectory())
        txtTitle = *line;
}

void frmAddScenery::FillContentList()
{
    blnFileListFound = false;
    blnSceneryFolderFound = false;
    lvwContent.clear();
    lvwContentIndex = -1;
    if (txtZipSource.isEmpty() || !m_context.fs.fileExists(txtZipSource))
        return;
    try {
        lvwContent = SceneryInstaller::listContent(m_context.fs, txtZipSource);
    } catch (const LmError &e) {
        m_context.ui.inform(e.description(), QStringLiteral("Could not install scenery."),
                            UiPort::Icon::Critical);
        return;
    }
    const ArchiveMode mode = SceneryInstaller::preselectedMode(lvwContent);
    blnFileListFound = mode == ArchiveMode::FileList;
    blnSceneryFolderFound = mode == ArchiveMode::WinzipPath;
    optMode_Click(int(mode));
}

void frmAddScenery::lvwContent_DblClick()
{
    if (lvwContentIndex < 0 || lvwContentIndex >= lvwContent.size() || !openWith)
        return;
    const ContentRow &row = lvwContent.at(lvwContentIndex);
    Unzip unzip(m_context.fs);
    unzip.archive = txtZipSource;
    unzip.targetFolder = m_context.fs.tempFolder();
    if (!unzip.extractFile(row.folderPath + row.fileName)) {
        m_context.ui.inform(QStringLiteral("Can not unzip file."), QStringLiteral("Can not open data file"),
                            UiPort::Icon::Critical);
        return;
    }
    openWith->open(WinPath::join(unzip.targetFolder, row.fileName), row.fileName);
}

void frmAddScenery::cmdOK_Click()
{
    if (WinPath::trimBlanks(txtTitle).isEmpty()) {
        m_context.ui.inform(QStringLiteral("The title for the scenery is missing."),
                            QStringLiteral("Scenery title missing"), UiPort::Icon::Exclamation);
        return;
    }
    if (SceneryInstaller::titleTaken(m_manager, txtTitle)) {
        m_context.ui.inform(
            QStringLiteral("The title for the scenery exists, please choose a different title."),
            QStringLiteral("Scenery title exists"), UiPort::Icon::Exclamation);
        return;
    }
    sResult = txtTitle;
    visible = false;
}

void frmAddScenery::cmdCancel_Click()
{
    txtTitle.clear();
    sResult.clear();
    visible = false;
}

InstallRequest frmAddScenery::request() const
{
    InstallRequest r;
    r.title = sResult;
    r.way = InstallWay(optWay);
    r.sceneryPath = txtSceneryPath;
    r.source = optWay == int(InstallWay::Archive) ? txtZipSource : txtSourcePath;
    r.destination = optWay == int(InstallWay::Archive) ? txtZipDest : txtDestPath;
    r.archiveMode = ArchiveMode(optMode);
    r.subZips = chkSubZips && chkSubZipsEnabled();
    r.content = lvwContent;
    r.sceneryPatterns = txtSceneryExt;
    r.texturePatterns = txtTextureExt;
    return r;
}
