#include "library/scenerymanager.h"

#include "library/libraryfiles.h"
#include "platform/errorreporter.h"
#include "platform/winpath.h"
#include "settings/programsettings.h"
#include "sims/location.h"

#include <QDir>

namespace {

// Every subfolder first, each created when missing and copied in turn, then the folder's files.
void copyTree(const FileSystem &fs, const QString &source, const QString &target)
{
    const QStringList folders = fs.subFolders(source);
    for (const QString &name : folders) {
        const QString targetFolder = WinPath::join(target, name);
        if (!fs.folderExists(targetFolder))
            WinPath::CreateSubFolder(fs, targetFolder);
        copyTree(fs, WinPath::join(source, name), targetFolder);
    }
    const QStringList files = fs.files(source);
    for (const QString &name : files)
        fs.copyFile(WinPath::join(source, name), WinPath::join(target, name), true);
}

} // namespace

SceneryManager::SceneryManager(AppContext &context) : m_context(context)
{
    try {
        Location location(m_context);  // shows the message and throws when no simulator is installed
        // Said once, at the start: the simulator worked on may then not be the one the user meant.
        location.reportDamagedKeys();
        qint32 simType = 0;
        if (location.installedCount() >= 2) {
            const QString proposed = location.FS2002installed() ? QStringLiteral("1")
                                     : location.FS2000installed() ? QStringLiteral("0")
                                                                  : QStringLiteral("2");
            QString stored = ProgramSettings(m_context.settings, QString()).selectedSim(proposed);
            // An empty value is no choice at all, like a missing one.
            if (stored.isEmpty())
                stored = proposed;
            simType = SettingText::toWholeNumber(stored);
        } else {
            simType = location.FS2002installed() ? 1 : location.FS2000installed() ? 0 : 2;
        }
        SimType = simType;
        location.DoClass_Initialize(SimType);
        m_fsPath = location.Path();
    } catch (const LmError &e) {
        reportError(m_context.ui, QStringLiteral("SceneryManager.Class_Initialize"), e);
    }
}

SceneryManager::~SceneryManager()
{
    // Tearing down never fails loudly; the sets lose their members before they go.
    try {
        colCache.clear();
        colScenery.clear();
        for (const CfgPtr &set : dicCFGs) {
            if (set)
                set->colUsedSceneries.clear();
        }
        dicCFGs.clear();
        dicLevel.clear();
    } catch (...) {
    }
}

void SceneryManager::NewLocation()
{
    Location location(m_context);
    location.DoClass_Initialize(SimType);
    m_fsPath = location.Path();
}

QString SceneryManager::getRealPath(const QString &sIn) const
{
    QString p;
    if (!sIn.contains(QStringLiteral("\\\\")) && !sIn.contains(QLatin1Char(':')))
        p = m_fsPath + QLatin1Char('\\') + sIn;
    else
        p = sIn;
    if (p.endsWith(WinPath::Separator))
        p.chop(1); // once
    return WinPath::withoutSceneryFolder(p);
}

QString SceneryManager::CorrectDir(const QString &name)
{
    QString result = name;
    for (const QChar c : {u':', u'\\', u'/', u'*', u'?', u'"', u'<', u'>', u'|'})
        result.replace(c, QLatin1Char('-'));
    return result;
}

void SceneryManager::CopyFolderTree(const QString &source, const QString &target) const
{
    const FileSystem &fs = m_context.fs;
    // A target inside the source would meet its own copies again and never end.
    const QString sourceHost = QDir::cleanPath(fs.toHost(source));
    const QString targetHost = QDir::cleanPath(fs.toHost(target));
    if (!sourceHost.isEmpty()
        && (targetHost.compare(sourceHost, Qt::CaseInsensitive) == 0
            || targetHost.startsWith(sourceHost + QLatin1Char('/'), Qt::CaseInsensitive))) {
        throw LmError::standard(LmError::PathFileAccess, target);
    }
    copyTree(fs, source, target);
}

Outcome SceneryManager::readDB(bool &blnIsNew)
{
    UiPort &ui = m_context.ui;
    LibraryFileReader reader(*this, m_context.fs);
    reader.setEventPump([&ui] { ui.processEvents(); });
    Outcome outcome = reader.read(m_context.programFolder());
    if (reader.noSceneryFile())
        blnIsNew = true;
    for (const Problem &problem : std::as_const(outcome.problems)) {
        reportError(ui, QStringLiteral("SceneryManager.readDB"),
                    problem.error.value_or(LmError(0, problem.text)));
        m_readWithErrors.insert(problem.file);
    }
    return outcome;
}

Outcome SceneryManager::saveDB(const QStringList &oNodes)
{
    UiPort &ui = m_context.ui;
    LibraryFileWriter writer(*this, m_context.fs);
    writer.setEventPump([&ui] { ui.processEvents(); });
    writer.keepBackupsOf(m_readWithErrors);
    Outcome outcome = writer.write(m_context.programFolder(), oNodes);
    if (outcome.isFailed())
        reportError(ui, QStringLiteral("SceneryManager.saveDB"), outcome.error());
    return outcome;
}
