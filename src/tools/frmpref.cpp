#include "tools/frmpref.h"

#include "platform/errorreporter.h"
#include "platform/winpath.h"
#include "settings/programsettings.h"
#include "sims/location.h"

namespace {

constexpr SettingsStore::Root Machine = SettingsStore::Root::Machine;

const char *const SimulatorShortNames[] = {"FS2000", "FS2002", "CFS2"};

QString programFile(int simType)
{
    return QString::fromLatin1(SimulatorShortNames[simType]) + QStringLiteral(".exe");
}

// The folder of a chosen file, ending in "\": "C:\Games\FS2002\FS2002.exe" gives "C:\Games\FS2002\".
QString folderOfFile(const QString &file)
{
    const qsizetype separator = file.lastIndexOf(WinPath::Separator);
    return separator < 0 ? QString() : file.left(separator + 1);
}

} // namespace

frmPref::frmPref(AppContext &context, ProgramSettings &settings) : m_context(context), m_settings(settings) {}

QString frmPref::simulatorValueName(int simType)
{
    return simType == 0 ? QStringLiteral("Path") : QStringLiteral("EXE Path");
}

QString &frmPref::simulatorField(int simType)
{
    return simType == 0 ? txtFS2000 : simType == 1 ? txtFS2002 : txtCFS2;
}

QString frmPref::defaultedFolder(const QString &stored, const QString &defaultFolder) const
{
    if (!stored.isEmpty())
        return stored;
    // The default root is where backups go from now on, so it is made at once.
    if (!m_context.fs.folderExists(defaultFolder))
        WinPath::CreateSubFolder(m_context.fs, defaultFolder);
    return defaultFolder;
}

void frmPref::Form_Load()
{
    const QString programFolder = m_context.programFolder();
    txtBRP = defaultedFolder(m_settings.value(QStringLiteral("BackupPath")),
                             programFolder + QStringLiteral("\\EnvBackups\\"));
    txtTBRP = defaultedFolder(m_settings.value(QStringLiteral("BackupTexturePath")),
                              programFolder + QStringLiteral("\\TextureBackups\\"));
    for (int sim = 0; sim < 3; ++sim) {
        const QString folder = m_context.settings.read(Machine, Location::installationKey(sim),
                                                       simulatorValueName(sim), QString());
        m_simEnabled[std::size_t(sim)] = !folder.isEmpty();
        simulatorField(sim) = folder;
    }
    txtBrowser = m_settings.browser();
    txtDoc = m_settings.documentation();
    txtHomePage = m_settings.homepage();
    txtForum = m_settings.forum();
}

void frmPref::chooseFolderInto(QString &field)
{
    const std::optional<QString> chosen = m_context.ui.chooseFolder(QStringLiteral("Select folder"), field);
    if (!chosen || chosen->isEmpty() || *chosen == QStringLiteral("Folder"))
        return;
    field = WinPath::withTrailingSeparator(*chosen);
}

void frmPref::cmdSelectBackupPath_Click()
{
    chooseFolderInto(txtBRP);
}

void frmPref::cmdTextureRoot_Click()
{
    chooseFolderInto(txtTBRP);
}

void frmPref::chooseSimulator(int simType)
{
    const QString program = programFile(simType);
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Change the %1 installation path.")
                        .arg(QString::fromLatin1(SimulatorShortNames[simType]));
    chooser.filter = program + QLatin1Char('|') + program;
    chooser.initialDir = simulatorField(simType);
    chooser.mustExist = true;
    const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
    if (!chosen || chosen->isEmpty() || *chosen == program)
        return;
    simulatorField(simType) = folderOfFile(*chosen);
}

void frmPref::cmdSelectBrowser_Click()
{
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Select Browser");
    chooser.filter = QStringLiteral("Programs|*");
    chooser.initialDir = folderOfFile(txtBrowser);
    chooser.fileName = txtBrowser.mid(chooser.initialDir.size());
    const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
    if (chosen && !chosen->isEmpty())
        txtBrowser = *chosen;
}

void frmPref::cmdDoc_Click()
{
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Select start html file");
    chooser.filter = QStringLiteral("HTML files|*.htm;*.html|All files|*");
    chooser.initialDir = folderOfFile(txtDoc);
    chooser.fileName = txtDoc.mid(chooser.initialDir.size());
    const std::optional<QString> chosen = m_context.ui.chooseFile(chooser);
    if (chosen && !chosen->isEmpty())
        txtDoc = *chosen;
}

void frmPref::cmdOk_Click()
{
    // An empty field keeps the stored value: clearing a field is no way to unset a setting.
    const auto write = [this](const QString &name, const QString &text) {
        if (!text.isEmpty())
            m_settings.setValue(name, text);
    };
    // When a value cannot be stored the dialog stays open with what the user typed, so that
    // nothing looks kept that is not.
    const bool stored = runStep(m_context.ui, QStringLiteral("frmPref.cmdOk_Click"), [&] {
        write(QStringLiteral("BackupPath"), txtBRP);
        write(QStringLiteral("BackupTexturePath"), txtTBRP);
        for (int sim = 0; sim < 3; ++sim) {
            const QString &folder = simulatorField(sim);
            if (!folder.isEmpty())
                m_context.settings.write(Machine, Location::installationKey(sim), simulatorValueName(sim),
                                         folder);
        }
        write(QStringLiteral("Browser"), txtBrowser);
        write(QStringLiteral("Documentation"), txtDoc);
        write(QStringLiteral("Homepage"), txtHomePage);
        write(QStringLiteral("Forum"), txtForum);
    });
    if (stored)
        visible = false;
}
