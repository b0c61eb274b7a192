#include "scenerycfg/scenerycfgfile.h"

#include "library/scenerymanager.h"
#include "library/vbconvert.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"

#include <QSet>

#include <optional>

using TextLines::singleLine;

namespace {

const QString CreateProcedure = QStringLiteral("SceneryManager.CreateCFG");
const QString CreateTitle = QStringLiteral("Can not create scenery.cfg");

QString flagText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// The last three digits of "000" + n.
QString threeDigits(int n)
{
    return (QStringLiteral("000") + QString::number(n)).right(3);
}

// The file as it is written, counting its size the way the simulators' limit is stated: every
// line of the "[General]" and area sections and every empty line counts its length and one, the
// text lines of a cache section only their length.
// Without a file it only counts, for an estimate of a file not written.
class CountedFile
{
public:
    CountedFile() = default;
    CountedFile(const FileSystem &fs, const QString &path) : m_out(std::in_place, fs, path) {}

    void line(const QString &text = {}) { write(text, 1); }
    void cacheLine(const QString &text) { write(text, 0); }
    void commit() { m_out->commit(); }
    qint32 size() const { return m_size; }

private:
    void write(const QString &text, qint32 lineEnd)
    {
        const QString safe = singleLine(text);
        if (m_out)
            m_out->writeLine(safe);
        m_size += qint32(safe.size()) + lineEnd;
    }

    std::optional<TextFileWriter> m_out;
    qint32 m_size = 0;
};

void writeArea(CountedFile &out, const clsScenery &s, int areaNumber, qint32 simType)
{
    out.line(QStringLiteral("[Area.") + threeDigits(areaNumber) + QLatin1Char(']'));
    if (s.Texture_ID == 1)
        out.line(QStringLiteral("Texture_ID=") + QString::number(s.Texture_ID));
    out.line(QStringLiteral("Title=") + (s.Title.isEmpty() ? QStringLiteral("(unknown)") : s.Title));
    out.line(QStringLiteral("Active=") + flagText(s.Active));
    out.line(QStringLiteral("Layer=") + QString::number(areaNumber));
    if (s.IsLocalPath)
        out.line(QStringLiteral("Local=") + s.LocalPath);
    else
        out.line(QStringLiteral("Remote=") + s.RemotePath);
    if (simType != 0)
        out.line(QStringLiteral("Required=") + flagText(s.Required));
    if (!s.Exclude.isEmpty())
        out.line(QStringLiteral("Exclude=") + s.Exclude);
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
        if (!s.Flatten(pos).isEmpty())
            out.line(QStringLiteral("Flatten.%1=").arg(pos) + s.Flatten(pos));
    }
    out.line();
}

void writeGeneral(CountedFile &out, const SceneryCfgWriter::General &general, qint32 simType)
{
    out.line(QStringLiteral("[General]"));
    if (simType != 0) {
        out.line(QStringLiteral("Title=") + general.title);
        out.line(QStringLiteral("Description=") + general.description);
    }
    const qint32 cacheSize = qMax(general.cacheSize, SceneryCfgWriter::MinCacheSize);
    out.line(QStringLiteral("Cache_Size=") + QString::number(cacheSize) + QLatin1Char('M'));
    out.line(QStringLiteral("Clean_on_Exit=") + flagText(general.cleanOnExit));
    out.line();
}

void writeCaches(CountedFile &out, const OrderedMap<CachePtr> &caches)
{
    int p = 0;
    for (const CachePtr &cache : caches) {
        out.cacheLine(QStringLiteral("[Cache.") + threeDigits(p) + QLatin1Char(']'));
        out.cacheLine(QStringLiteral("Title=") + cache->strTitle);
        out.cacheLine(QStringLiteral("Local=") + cache->strLocal);
        out.cacheLine(QStringLiteral("Remote=") + cache->strRemote);
        out.cacheLine(QStringLiteral("Active=") + flagText(cache->blnActive));
        out.line();
        ++p;
    }
}

} // namespace

qint32 SceneryCfgWriter::countedSizeOf(const QList<const clsScenery *> &areas, const General &general) const
{
    const qint32 simType = m_library.SimType;
    CountedFile out;
    writeGeneral(out, general, simType);
    int n = 0;
    for (const clsScenery *s : areas)
        writeArea(out, *s, ++n, simType);
    if (simType == 1)
        writeCaches(out, m_library.colCache);
    return out.size();
}

SceneryCfgWriter::SceneryCfgWriter(const SceneryManager &library, const FileSystem &fs)
    : m_library(library), m_fs(fs)
{}

Outcome SceneryCfgWriter::write(const QString &path, const QStringList &setNames,
                                const QStringList &treeOrder, const General &general)
{
    m_size = 0;
    Problems leftOut;
    try {
        QSet<QString> selection;
        for (const QString &name : setNames) {
            for (const QString &title : m_library.dicCFGs.item(name)->colUsedSceneries)
                selection.insert(title);
        }
        if (selection.size() > MaxSceneries)
            return Outcome::refused(
                QStringLiteral("The selected sets cover more then the maximum of 332 sceneries."));

        const qint32 simType = m_library.SimType;
        CountedFile out(m_fs, path);
        writeGeneral(out, general, simType);

        int n = 0;
        for (const QString &key : treeOrder) {
            if (m_pump)
                m_pump();
            if (!isSceneryKey(key))
                continue;
            const clsScenery &s = *m_library.colScenery.item(key);
            if (!selection.contains(s.Title))
                continue;
            if (s.IsLocalPath &&
                !m_fs.folderExists(m_library.getRealPath(s.LocalPath) + QStringLiteral("\\Scenery"))) {
                leftOut.append(
                    Problem{path,
                            0,
                            QStringLiteral("Scenery '") + s.Title +
                                QStringLiteral("' not included because the local path does not exist."),
                            {}});
                continue;
            }
            ++n;
            writeArea(out, s, n, simType);
        }

        if (simType == 1)
            writeCaches(out, m_library.colCache);
        out.commit();
        m_size = out.size();
        return Outcome::done(std::move(leftOut));
    } catch (const LmError &e) {
        Outcome failed = Outcome::failed(e, path);
        failed.problems = std::move(leftOut);
        return failed;
    }
}

Outcome SceneryManager::CreateCFG(const QString &strSet, const QStringList &oNodes, qint32 &mCache_Size,
                                  bool mClean_on_Exit, const QString &mTitle, const QString &mDescription)
{
    UiPort &ui = m_context.ui;
    QStringList setNames = strSet.split(QStringLiteral("\r\n"));
    setNames.removeLast(); // every name is followed by CR LF; what follows the last one is none

    // "(Current)" stands for the simulator's file as it was read; when it could not be read,
    // "(Current)" holds nothing, and writing it would replace the file with nothing.
    if (!m_unreadSceneryCfg.isEmpty() && setNames.contains(LibraryNames::CurrentSet)) {
        const Outcome refused = Outcome::refused(
            QStringLiteral(
                "%1 could not be read, so the set \"(Current)\" does not know the sceneries it holds. "
                "Nothing was written.")
                .arg(m_unreadSceneryCfg));
        ui.inform(refused.reason(), CreateTitle, UiPort::Icon::Critical);
        return refused;
    }

    if (ui.askYesNo(QStringLiteral("Do you want to make a backup first?"),
                    QStringLiteral("Creating new Scenery.CFG")) &&
        m_backUpFirst) {
        // The file about to be replaced is only safe once the backup exists; a failed or stopped
        // backup has told the user why and leaves the file as it is.
        const Outcome backup = m_backUpFirst();
        if (!backup.isDone())
            return backup;
    }

    mCache_Size = qMax(mCache_Size, SceneryCfgWriter::MinCacheSize);
    SceneryCfgWriter writer(*this, m_context.fs);
    writer.setEventPump([&ui] { ui.processEvents(); });
    const Outcome outcome = writer.write(FSPath() + QStringLiteral("\\Scenery.CFG"), setNames, oNodes,
                                         {mCache_Size, mClean_on_Exit, mTitle, mDescription});

    for (const Problem &leftOut : outcome.problems)
        ui.inform(leftOut.text, QStringLiteral("Can not include scenery."), UiPort::Icon::Information);
    switch (outcome.kind()) {
    case Outcome::Kind::Refused:
        ui.inform(outcome.reason(), CreateTitle, UiPort::Icon::Critical);
        break;
    case Outcome::Kind::Failed:
        reportError(ui, CreateProcedure, outcome.error());
        break;
    case Outcome::Kind::Done:
        if (writer.countedSize() > SceneryCfgWriter::MaxFileSize) {
            ui.inform(
                QStringLiteral("The Scenery.cfg is ") + QString::number(writer.countedSize()) +
                    QStringLiteral(" Byte long. (Max: 65500)\r\n"
                                   "This is too long for the scenery.cfg and can even result in an error "
                                   "by reading the scenery.cfg.\r\n"
                                   "Do this option again with less sceneries included!"),
                QStringLiteral("File size"), UiPort::Icon::Critical);
        }
        break;
    case Outcome::Kind::Stopped:
        break;
    }
    return outcome;
}
