#include "checks/librarycheck.h"

#include "areas/areavalues.h"
#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "platform/folderscan.h"
#include "scenerycfg/scenerycfgfile.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <vector>

const QString LibraryCheck::MissingFolder = QStringLiteral("missing-folder");
const QString LibraryCheck::NoSceneryFolder = QStringLiteral("no-scenery-folder");
const QString LibraryCheck::NoBglFile = QStringLiteral("no-bgl");
const QString LibraryCheck::DuplicateTitle = QStringLiteral("duplicate-title");
const QString LibraryCheck::Conflict = QStringLiteral("conflict");
const QString LibraryCheck::TooManySceneries = QStringLiteral("too-many-sceneries");
const QString LibraryCheck::FileTooLarge = QStringLiteral("cfg-too-large");
const QString LibraryCheck::UnmappedDrive = QStringLiteral("unmapped-drive");
const QString LibraryCheck::LayerOrder = QStringLiteral("layer-order");
const QString LibraryCheck::BadExclude = QStringLiteral("bad-exclude");
const QString LibraryCheck::BadFlatten = QStringLiteral("bad-flatten");

namespace {

// How often the event pump runs: looking at one scenery takes microseconds.
constexpr int PumpEvery = 64;
// Conflicting file names named in one finding; the rest are counted.
constexpr int NamesShown = 5;

// What the disk holds for one scenery with a local folder.
struct LocalState
{
    bool written = false; // a Scenery.cfg would include it
    QStringList bglFiles; // upper case, as the simulator compares them
};

// The simulator tells titles apart by neither letter case nor blanks.
QString titleIdentity(const QString &title)
{
    QString folded = title.toCaseFolded();
    folded.removeIf([](QChar c) { return c.isSpace(); });
    return folded;
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// "D:" of a path on a drive, "" for any other path.
QString driveOf(const QString &path)
{
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter())
        return path.left(2).toUpper();
    return {};
}

class Run
{
public:
    Run(const SceneryManager &library, const FileSystem &fs, const std::function<void()> &pump)
        : m_library(library), m_fs(fs), m_scan(fs), m_pump(pump)
    {}

    QList<CheckFinding> check(const QStringList &treeOrder, const QStringList &setNames);
    qsizetype foldersRead() const { return m_scan.foldersRead(); }

private:
    void add(QList<CheckFinding> &into, const QString &kind, const clsScenery *s, const QString &detail)
    {
        into.append(CheckFinding{kind, s ? s->Key : QString(), s ? s->Title : QString(), detail});
    }
    void pump()
    {
        if (m_pump && ++m_steps % PumpEvery == 0)
            m_pump();
    }
    // The sceneries in tree order, those without a node after them in the library's order.
    QList<const clsScenery *> ordered(const QStringList &treeOrder) const;
    void lookAtFolder(const clsScenery &s);
    void checkAreas(const clsScenery &s);
    void checkRemote(const clsScenery &s);
    void checkTitles(const QList<const clsScenery *> &scope);
    // The sceneries of the scope whose title is selected, in the order a Scenery.cfg would get them.
    QList<const clsScenery *> written(const QList<const clsScenery *> &scope,
                                      const QSet<QString> &titles) const;
    void checkConflicts(const QList<const clsScenery *> &areas);
    void checkLayers(const QList<const clsScenery *> &areas);
    void checkSelection(const QString &name, const QSet<QString> &titles,
                        const QList<const clsScenery *> &scope);

    const SceneryManager &m_library;
    const FileSystem &m_fs;
    FolderScan m_scan;
    const std::function<void()> &m_pump;
    int m_steps = 0;
    QHash<const clsScenery *, LocalState> m_local;

    // One list per kind, joined in the order of the kinds at the end.
    QList<CheckFinding> m_folders, m_titles, m_conflicts, m_sizes, m_drives, m_layers, m_areas;
};

QList<const clsScenery *> Run::ordered(const QStringList &treeOrder) const
{
    QList<const clsScenery *> result;
    QSet<const clsScenery *> seen;
    for (const QString &key : treeOrder) {
        if (!isSceneryKey(key))
            continue;
        const SceneryPtr s = m_library.colScenery.value(key);
        if (s && !seen.contains(s.get())) {
            seen.insert(s.get());
            result.append(s.get());
        }
    }
    for (const SceneryPtr &s : m_library.colScenery) {
        if (!seen.contains(s.get()))
            result.append(s.get());
    }
    return result;
}

void Run::lookAtFolder(const clsScenery &s)
{
    LocalState &state = m_local[&s];
    if (!s.IsLocalPath) {
        state.written = true;
        return;
    }
    const QString base = m_library.getRealPath(s.LocalPath);
    const FolderScan::Folder &folder = m_scan.folder(base);
    if (folder.unmapped) {
        const QString drive = driveOf(base);
        add(m_folders, LibraryCheck::MissingFolder, &s,
            drive.isEmpty()
                ? QStringLiteral("The local folder %1 cannot be reached from this machine.").arg(base)
                : QStringLiteral("The local folder %1 is on drive %2, which is not mapped.")
                      .arg(base, drive));
        return;
    }
    if (!folder.exists) {
        add(m_folders, LibraryCheck::MissingFolder, &s,
            QStringLiteral("The local folder %1 does not exist.").arg(base));
        return;
    }
    const FolderScan::Folder &scenery = m_scan.subFolder(folder, QStringLiteral("Scenery"));
    if (!scenery.exists) {
        add(m_folders, LibraryCheck::NoSceneryFolder, &s,
            QStringLiteral("The local folder %1 has no \"Scenery\" subfolder.").arg(base));
        return;
    }
    // The writer includes a scenery whose "Scenery" folder exists, loadable or not.
    state.written = true;
    for (const QString &file : scenery.files) {
        if (file.endsWith(QLatin1String(".bgl"), Qt::CaseInsensitive))
            state.bglFiles.append(file.toUpper());
    }
    if (state.bglFiles.isEmpty())
        add(m_folders, LibraryCheck::NoBglFile, &s,
            QStringLiteral("%1\\Scenery holds no BGL file.").arg(base));
}

void Run::checkAreas(const clsScenery &s)
{
    if (!s.Exclude.isEmpty() && CheckErrorExclude(s.Exclude))
        add(m_areas, LibraryCheck::BadExclude, &s,
            QStringLiteral("The Exclude value %1 fails its check.").arg(quoted(s.Exclude)));
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
        const QString value = s.Flatten(pos);
        if (!value.isEmpty() && CheckErrorFlatten(value))
            add(m_areas, LibraryCheck::BadFlatten, &s,
                QStringLiteral("Flatten.%1 %2 fails its check.").arg(pos).arg(quoted(value)));
    }
}

void Run::checkRemote(const clsScenery &s)
{
    // Only a scenery used from its remote folder reads it; a remote folder kept beside a local one
    // (a CD-ROM that is not in) harms nothing.
    if (s.IsLocalPath || s.RemotePath.isEmpty())
        return;
    const QString drive = driveOf(s.RemotePath);
    if (drive.isEmpty())
        return; // a network path: whether it is there is the network's matter
    if (m_fs.toHost(drive + QLatin1Char('\\')).isEmpty())
        add(m_drives, LibraryCheck::UnmappedDrive, &s,
            QStringLiteral("The remote folder %1 is on drive %2, which is not mapped.")
                .arg(s.RemotePath, drive));
}

void Run::checkTitles(const QList<const clsScenery *> &scope)
{
    QHash<QString, const clsScenery *> first;
    for (const clsScenery *s : scope) {
        const QString identity = titleIdentity(s->Title);
        const auto found = first.constFind(identity);
        if (found == first.cend()) {
            first.insert(identity, s);
            continue;
        }
        const clsScenery *earlier = *found;
        add(m_titles, LibraryCheck::DuplicateTitle, s,
            earlier->Title == s->Title
                ? QStringLiteral("The title is also that of %1.").arg(earlier->Key)
                : QStringLiteral("The simulator takes it for %1 (%2): the titles differ only by letter "
                                 "case or blanks.")
                      .arg(quoted(earlier->Title), earlier->Key));
    }
}

QList<const clsScenery *> Run::written(const QList<const clsScenery *> &scope,
                                       const QSet<QString> &titles) const
{
    QList<const clsScenery *> areas;
    for (const clsScenery *s : scope) {
        if (titles.contains(s->Title) && m_local.value(s).written)
            areas.append(s);
    }
    return areas;
}

void Run::checkConflicts(const QList<const clsScenery *> &areas)
{
    // Each file name with the areas that hold it, in layer order: the last one is what the
    // simulator loads, every earlier one loses that file.
    QHash<QString, QList<int>> holders;
    QStringList names; // in the order first met, so that findings come out the same every time
    for (int i = 0; i < areas.size(); ++i) {
        const clsScenery *s = areas.at(i);
        if (!s->Active || !s->IsLocalPath)
            continue;
        for (const QString &file : m_local.value(s).bglFiles) {
            QList<int> &list = holders[file];
            if (list.isEmpty())
                names.append(file);
            list.append(i);
        }
    }
    // One finding per losing and winning pair, with the files the pair shares.
    QHash<QPair<int, int>, QStringList> pairs;
    QList<QPair<int, int>> pairOrder;
    for (const QString &file : std::as_const(names)) {
        const QList<int> &list = holders.value(file);
        if (list.size() < 2)
            continue;
        const int winner = list.last();
        for (int i = 0; i + 1 < list.size(); ++i) {
            const QPair<int, int> pair(list.at(i), winner);
            QStringList &files = pairs[pair];
            if (files.isEmpty())
                pairOrder.append(pair);
            files.append(file);
        }
    }
    std::sort(pairOrder.begin(), pairOrder.end());
    for (const QPair<int, int> &pair : std::as_const(pairOrder)) {
        const clsScenery *loser = areas.at(pair.first);
        const clsScenery *winner = areas.at(pair.second);
        QStringList files = pairs.value(pair);
        files.sort();
        QString shown = files.mid(0, NamesShown).join(QStringLiteral(", "));
        if (files.size() > NamesShown)
            shown += QStringLiteral(" and %1 more").arg(files.size() - NamesShown);
        add(m_conflicts, LibraryCheck::Conflict, loser,
            QStringLiteral("Layer %1 loses %2 to %3 (%4), layer %5, which wins: %6.")
                .arg(pair.first + 1)
                .arg(files.size() == 1 ? QStringLiteral("a BGL file")
                                       : QStringLiteral("%1 BGL files").arg(files.size()))
                .arg(quoted(winner->Title), winner->Key)
                .arg(pair.second + 1)
                .arg(shown));
    }
}

void Run::checkLayers(const QList<const clsScenery *> &areas)
{
    // Writing numbers the areas anew, so a layer that only moves by the sceneries left out before
    // it changes nothing the simulator does; what matters is two sceneries whose order the tree
    // turns round. The sceneries out of order are the fewest whose removal leaves the recorded
    // layers rising: all but a longest rising run through them. Layer 0 is none recorded.
    QList<int> recorded; // positions in areas
    for (int i = 0; i < areas.size(); ++i) {
        if (areas.at(i)->Layer != 0)
            recorded.append(i);
    }
    const auto layer = [&](int k) { return areas.at(recorded.at(k))->Layer; };
    QList<int> tails;                                          // per run length, the run's last entry
    std::vector<int> before(std::size_t(recorded.size()), -1); // the entry before each one in its run
    for (int k = 0; k < recorded.size(); ++k) {
        const auto place = std::lower_bound(tails.begin(), tails.end(), k,
                                            [&](int t, int entry) { return layer(t) < layer(entry); });
        const qsizetype length = place - tails.begin();
        if (length > 0)
            before[std::size_t(k)] = tails.at(length - 1);
        if (place == tails.end())
            tails.append(k);
        else
            *place = k;
    }
    std::vector<bool> inOrder(std::size_t(recorded.size()), false);
    for (int k = tails.isEmpty() ? -1 : tails.last(); k >= 0; k = before[std::size_t(k)])
        inOrder[std::size_t(k)] = true;

    for (int k = 0; k < recorded.size(); ++k) {
        if (inOrder[std::size_t(k)])
            continue;
        const clsScenery *s = areas.at(recorded.at(k));
        QString where;
        for (int j = k - 1; j >= 0 && where.isEmpty(); --j) {
            if (layer(j) > s->Layer)
                where = QStringLiteral("after %1 (layer %2)")
                            .arg(quoted(areas.at(recorded.at(j))->Title))
                            .arg(layer(j));
        }
        for (int j = k + 1; j < recorded.size() && where.isEmpty(); ++j) {
            if (layer(j) < s->Layer)
                where = QStringLiteral("before %1 (layer %2)")
                            .arg(quoted(areas.at(recorded.at(j))->Title))
                            .arg(layer(j));
        }
        add(m_layers, LibraryCheck::LayerOrder, s,
            QStringLiteral("Recorded layer %1, but the tree puts it %2; written now, it would be layer %3.")
                .arg(s->Layer)
                .arg(where)
                .arg(recorded.at(k) + 1));
    }
}

void Run::checkSelection(const QString &name, const QSet<QString> &titles,
                         const QList<const clsScenery *> &scope)
{
    if (titles.size() > SceneryCfgWriter::MaxSceneries) {
        m_sizes.append(CheckFinding{LibraryCheck::TooManySceneries,
                                    {},
                                    name,
                                    QStringLiteral("%1 sceneries; a Scenery.cfg takes at most %2.")
                                        .arg(titles.size())
                                        .arg(SceneryCfgWriter::MaxSceneries)});
        return; // the writer would refuse it, so there is no file to measure
    }
    SceneryCfgWriter writer(m_library, m_fs);
    const qint32 size = writer.countedSizeOf(written(scope, titles), {});
    if (size > SceneryCfgWriter::MaxFileSize)
        m_sizes.append(CheckFinding{LibraryCheck::FileTooLarge,
                                    {},
                                    name,
                                    QStringLiteral("Its Scenery.cfg would be about %1 bytes long; the "
                                                   "simulators read at most %2.")
                                        .arg(size)
                                        .arg(SceneryCfgWriter::MaxFileSize)});
}

QList<CheckFinding> Run::check(const QStringList &treeOrder, const QStringList &setNames)
{
    const QList<const clsScenery *> all = ordered(treeOrder);

    QList<const clsScenery *> scope;
    QSet<QString> selection;
    QStringList chosen;
    if (setNames.isEmpty()) {
        scope = all;
    } else {
        for (const QString &name : setNames) {
            const CfgPtr set = m_library.dicCFGs.value(name);
            if (!set)
                continue;
            chosen.append(name);
            for (const QString &title : set->colUsedSceneries)
                selection.insert(title);
        }
        for (const clsScenery *s : all) {
            if (selection.contains(s->Title))
                scope.append(s);
        }
    }

    for (const clsScenery *s : std::as_const(scope)) {
        pump();
        lookAtFolder(*s);
        checkRemote(*s);
        checkAreas(*s);
    }
    checkTitles(scope);

    if (setNames.isEmpty()) {
        QSet<QString> everyTitle;
        for (const clsScenery *s : std::as_const(scope))
            everyTitle.insert(s->Title);
        checkConflicts(written(scope, everyTitle));
        for (const CfgPtr &set : m_library.dicCFGs) {
            if (set->Key != LibraryNames::CurrentSet && set->Cache_Size != m_library.SimType)
                continue;
            QSet<QString> titles;
            for (const QString &title : set->colUsedSceneries)
                titles.insert(title);
            checkSelection(set->Key, titles, scope);
            if (set->Key == LibraryNames::CurrentSet)
                checkLayers(written(scope, titles));
        }
    } else {
        const QList<const clsScenery *> areas = written(scope, selection);
        checkConflicts(areas);
        checkSelection(chosen.join(QStringLiteral(", ")), selection, scope);
        checkLayers(areas);
    }

    QList<CheckFinding> findings;
    for (QList<CheckFinding> *kind :
         {&m_folders, &m_titles, &m_conflicts, &m_sizes, &m_drives, &m_layers, &m_areas})
        findings += *kind;
    return findings;
}

} // namespace

LibraryCheck::LibraryCheck(const SceneryManager &library, const FileSystem &fs) : m_library(library), m_fs(fs)
{}

QList<CheckFinding> LibraryCheck::run(const QStringList &treeOrder, const QStringList &setNames)
{
    Run run(m_library, m_fs, m_pump);
    QList<CheckFinding> findings = run.check(treeOrder, setNames);
    m_foldersRead = run.foldersRead();
    return findings;
}
