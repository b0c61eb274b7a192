#include "scenerycfg/scenerycfgfile.h"

#include "library/scenerymanager.h"
#include "library/vbconvert.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"
#include "platform/winpath.h"

#include <QHash>
#include <QSet>

#include <vector>

namespace {

const QString ReadProcedure = QStringLiteral("SceneryManager.readCFG");

bool isTrueText(const QString &value)
{
    return value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

// One area section as read, with the line of its header.
struct Area
{
    SceneryPtr record;
    int line = 0;
};

class CfgReader
{
public:
    CfgReader(SceneryManager &manager, bool updateExisting, QString file, const std::function<void()> &pump)
        : m(manager), m_updateExisting(updateExisting), m_file(std::move(file)), m_pump(pump)
    {}

    // Takes one line; a value that cannot be taken is noted and the reading goes on.
    void readLine(const QString &raw, int lineNumber);
    // Brings the areas read into the library (see matchAreas).
    void finish();

    CfgPtr current;
    Problems problems;

private:
    void applyCacheKey(const QString &key, const QString &value);
    void applyKey(const QString &key, const QString &value, const QString &line);
    void note(int line, const QString &text) { problems.append(Problem{m_file, line, text, {}}); }
    void matchAreas();
    void update(clsScenery &scenery, const clsScenery &area) const;
    QString freeTitle(const QString &title) const;
    QString pathIdentity(const clsScenery &scenery) const;

    SceneryManager &m;
    bool m_updateExisting;
    QString m_file;
    const std::function<void()> &m_pump;
    bool m_inCache = false;
    bool m_inGeneral = false;
    std::vector<Area> m_areas;
    CachePtr m_cache;
    QHash<QString, int> m_cacheLines; // cache header as read -> its first line in this file
    QSet<QString> m_titles;           // every title of the library while the areas are matched
    int m_line = 0;
};

void CfgReader::readLine(const QString &raw, int lineNumber)
{
    m_line = lineNumber;
    const QString line = WinPath::trimBlanks(raw);
    const QString keyLine = SceneryManager::ReplaceNumber(line.toUpper());

    if (keyLine == QLatin1String("[CACHE.XXX]")) {
        const QString header = line;
        const qint16 number = qint16(line.mid(7, 3).toShort());
        if (const auto first = m_cacheLines.constFind(header); first != m_cacheLines.cend()) {
            note(lineNumber,
                 QStringLiteral("the section %1 appears again (first at line %2); the values of this "
                                "one are used.")
                     .arg(header, QString::number(first.value())));
        } else {
            m_cacheLines.insert(header, lineNumber);
        }
        if (CachePtr held = m.colCache.value(header)) {
            // The same section read again (after a switch or an update, or twice in one file):
            // the later reading wins, in the place the section already has.
            *held = clsCache{};
            held->intCache = number;
            m_cache = held;
        } else {
            m_cache = std::make_shared<clsCache>();
            m_cache->intCache = number;
            m.colCache.add(header, m_cache);
        }
        m_inCache = true;
        return;
    }
    if (keyLine == QLatin1String("[GENERAL]")) {
        m_inCache = false;
        m_inGeneral = true;
        return;
    }
    if (keyLine == QLatin1String("[AREA.XXX]")) {
        m_inCache = false;
        m_inGeneral = false;
        auto area = std::make_shared<clsScenery>();
        area->InCFG = true;
        m_areas.push_back(Area{area, lineNumber});
        return;
    }

    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) {
        // Sections the program does not know are the simulator's business; any other line is
        // damage, and a file of nothing else must not pass for one without areas.
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('[')) && !line.startsWith(QLatin1Char(';')) &&
            !line.startsWith(QLatin1String("//")))
            note(lineNumber, QStringLiteral("\"%1\" is neither a section nor a value; it is passed over.")
                                 .arg(line.left(60)));
        return;
    }
    const QString key = SceneryManager::ReplaceNumber(line.left(eq).toUpper());
    const QString value = line.mid(eq + 1);
    try {
        if (m_inCache)
            applyCacheKey(key, value);
        else
            applyKey(key, value, line);
    } catch (const LmError &e) {
        note(lineNumber, QStringLiteral("\"%1\": %2; the value is left out.").arg(line, e.description()));
    }
}

void CfgReader::applyCacheKey(const QString &key, const QString &value)
{
    if (key == QLatin1String("TITLE"))
        m_cache->strTitle = value;
    else if (key == QLatin1String("LOCAL"))
        m_cache->strLocal = value;
    else if (key == QLatin1String("REMOTE"))
        m_cache->strRemote = value;
    else if (key == QLatin1String("ACTIVE"))
        m_cache->blnActive = isTrueText(value);
}

void CfgReader::applyKey(const QString &key, const QString &value, const QString &line)
{
    if (key == QLatin1String("CACHE_SIZE"))
        return; // the writer takes the size from the wizard
    if (key == QLatin1String("CLEAN_ON_EXIT")) {
        current->Clean_on_Exit = isTrueText(value);
        return;
    }
    if (key == QLatin1String("DESCRIPTION")) {
        current->Description = value;
        return;
    }
    if (key == QLatin1String("TITLE") && m_inGeneral) {
        current->Title = value;
        return;
    }
    static const QSet<QString> areaKeys{
        QStringLiteral("TITLE"),  QStringLiteral("TEXTURE_ID"), QStringLiteral("GROUP"),
        QStringLiteral("ID"),     QStringLiteral("ACTIVE"),     QStringLiteral("REQUIRED"),
        QStringLiteral("LAYER"),  QStringLiteral("GROUPID"),    QStringLiteral("LOCAL"),
        QStringLiteral("REMOTE"), QStringLiteral("EXCLUDE"),    QStringLiteral("FLATTEN.X")};
    if (!areaKeys.contains(key))
        return;
    if (m_areas.empty())
        throw LmError(ScenerycfgErrors::ObjectNotSet, QStringLiteral("it stands before the first area"));
    clsScenery &area = *m_areas.back().record;
    if (key == QLatin1String("TITLE"))
        area.Title = value;
    else if (key == QLatin1String("TEXTURE_ID"))
        area.Texture_ID = VbConvert::textToInt16(value);
    else if (key == QLatin1String("GROUP"))
        area.Group = value;
    else if (key == QLatin1String("ID"))
        area.ID = value;
    else if (key == QLatin1String("ACTIVE"))
        area.Active = VbConvert::textToBool(value);
    else if (key == QLatin1String("REQUIRED"))
        area.Required = VbConvert::textToBool(value);
    else if (key == QLatin1String("LAYER"))
        area.Layer = VbConvert::textToInt16(value);
    else if (key == QLatin1String("GROUPID"))
        area.GroupID = VbConvert::textToInt16(value);
    else if (key == QLatin1String("LOCAL"))
        area.LocalPath = value;
    else if (key == QLatin1String("REMOTE"))
        area.RemotePath = value;
    else if (key == QLatin1String("EXCLUDE"))
        area.Exclude = value;
    else // "FLATTEN.X": the position is the digit of the line itself
        area.setFlatten(qint16(line.at(8).unicode() - '0'), value);
}

void CfgReader::update(clsScenery &scenery, const clsScenery &area) const
{
    scenery.InCFG = true;
    if (!m_updateExisting)
        return;
    scenery.Active = area.Active;
    scenery.Required = area.Required;
    scenery.LocalPath = area.LocalPath;
    if (!area.RemotePath.isEmpty())
        scenery.RemotePath = area.RemotePath;
}

// The folder an area or scenery stands for, as one comparable text: its local folder resolved as
// the writer resolves it, else its remote folder; "" when it names neither.
QString CfgReader::pathIdentity(const clsScenery &scenery) const
{
    if (!scenery.LocalPath.isEmpty())
        return QLatin1Char('L') + WinPath::folderKey(m.getRealPath(scenery.LocalPath));
    if (!scenery.RemotePath.isEmpty())
        return QLatin1Char('R') + WinPath::folderKey(scenery.RemotePath);
    return QString();
}

// The title itself when no scenery has it and its key in the level "New" is free; else the title
// with the first free " (2)", " (3)", ... after it.
QString CfgReader::freeTitle(const QString &title) const
{
    auto free = [&](const QString &t) {
        return !m_titles.contains(t) && !m.colScenery.contains(LibraryNames::NewSceneryPrefix + t);
    };
    if (free(title))
        return title;
    const QString base = title.isEmpty() ? QStringLiteral("(unknown)") : title;
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)").arg(base, QString::number(n));
        if (free(candidate))
            return candidate;
    }
}

// Each area becomes, in file order, the library scenery it stands for, or a new scenery:
//  1. the first scenery of the library with the area's title, unless an earlier area of this file
//     had that title too;
//  2. otherwise a scenery renamed in the library since the file was written: the one scenery whose
//     title the file does not hold, that no area took yet, and whose folder is the area's;
//  3. otherwise a new scenery in the level "New", under a title no other scenery has. Areas that
//     share a title therefore never become one scenery, and none is lost when "(Current)" is
//     written back.
// New sceneries follow each other in the file's order.
void CfgReader::matchAreas()
{
    QHash<QString, SceneryPtr> firstByTitle;
    for (const SceneryPtr &s : m.colScenery) {
        if (!firstByTitle.contains(s->Title))
            firstByTitle.insert(s->Title, s);
        m_titles.insert(s->Title);
    }
    QSet<QString> fileTitles;
    // Only the folders of the file's areas are ever looked up: the library's other folders need no
    // room in the table.
    std::vector<QString> areaPaths;
    areaPaths.reserve(m_areas.size());
    QHash<QString, QList<SceneryPtr>> renamedByPath;
    for (const Area &a : m_areas) {
        fileTitles.insert(a.record->Title);
        areaPaths.push_back(pathIdentity(*a.record));
        if (!areaPaths.back().isEmpty())
            renamedByPath.insert(areaPaths.back(), {});
    }
    for (const SceneryPtr &s : m.colScenery) {
        if (fileTitles.contains(s->Title))
            continue;
        const auto path = renamedByPath.find(pathIdentity(*s));
        if (path != renamedByPath.end())
            path->append(s);
    }

    QHash<QString, int> titleLines; // title -> line of the first area with it
    QSet<const clsScenery *> taken;
    QString lastNewKey;
    for (size_t index = 0; index < m_areas.size(); ++index) {
        const Area &a = m_areas[index];
        if (m_pump)
            m_pump();
        const SceneryPtr area = a.record;
        const auto earlier = titleLines.constFind(area->Title);
        const bool repeated = earlier != titleLines.cend();
        const int earlierLine = repeated ? earlier.value() : 0;
        if (!repeated)
            titleLines.insert(area->Title, a.line);

        SceneryPtr found = repeated ? SceneryPtr() : firstByTitle.value(area->Title);
        if (found && taken.contains(found.get()))
            found.reset();
        if (!found) {
            SceneryPtr renamed;
            int candidates = 0;
            for (const SceneryPtr &s : renamedByPath.value(areaPaths[index])) {
                if (!taken.contains(s.get())) {
                    renamed = s;
                    ++candidates;
                }
            }
            if (candidates == 1)
                found = renamed;
        }
        if (found) {
            taken.insert(found.get());
            update(*found, *area);
            if (repeated)
                note(a.line,
                     QStringLiteral("the title \"%1\" was already used by the area of line %2; this area is "
                                    "the scenery \"%3\".")
                         .arg(area->Title, QString::number(earlierLine), found->Title));
            continue;
        }

        const QString title = freeTitle(area->Title);
        if (repeated)
            note(a.line,
                 QStringLiteral("the title \"%1\" was already used by the area of line %2; this area is "
                                "kept as the new scenery \"%3\".")
                     .arg(area->Title, QString::number(earlierLine), title));
        else if (title != area->Title)
            note(a.line,
                 QStringLiteral("the library already holds a scenery under the key of \"%1\"; this area "
                                "is kept as the new scenery \"%2\".")
                     .arg(area->Title, title));
        area->Title = title;
        area->Key = LibraryNames::NewSceneryPrefix + title;
        area->IsLocalPath = area->RemotePath.isEmpty() || !area->LocalPath.isEmpty();
        area->PreviousKey = lastNewKey;
        m.colScenery.add(area->Key, area);
        m_titles.insert(title);
        taken.insert(area.get());
        lastNewKey = area->Key;
    }
}

void CfgReader::finish()
{
    matchAreas();
    if (m.colCache.isEmpty()) {
        auto cache = std::make_shared<clsCache>();
        cache->intCache = 0;
        cache->strTitle = QStringLiteral("Default Texture Cache");
        cache->strLocal = QStringLiteral("texture");
        cache->strRemote = QStringLiteral("scenedb\\texture");
        cache->blnActive = false;
        m.colCache.add(QStringLiteral("[Cache.000]"), cache);
    }
}
} // namespace

QString SceneryManager::ReplaceNumber(const QString &line)
{
    QString result = line;
    for (QChar &c : result) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QLatin1Char('X');
    }
    return result;
}

SceneryCfgReader::SceneryCfgReader(SceneryManager &library, const FileSystem &fs)
    : m_library(library), m_fs(fs)
{}

Outcome SceneryCfgReader::read(const QString &path, bool updateExisting)
{
    try {
        CfgPtr current = m_library.dicCFGs.value(LibraryNames::CurrentSet);
        if (!current) {
            current = std::make_shared<clsCFG>();
            current->Key = LibraryNames::CurrentSet;
            m_library.dicCFGs.add(current->Key, current);
        }
        if (!m_fs.fileExists(path))
            throw LmError::user(ScenerycfgErrors::NoSceneryCfg,
                                QStringLiteral("Could not find Scenery.cfg file."));

        const QStringList lines = m_fs.readLines(path);
        for (const SceneryPtr &s : m_library.colScenery)
            s->InCFG = false;

        CfgReader reader(m_library, updateExisting, path, m_pump);
        reader.current = current;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (m_pump)
                m_pump();
            reader.readLine(lines.at(i), int(i) + 1);
        }
        reader.finish();
        return Outcome::done(std::move(reader.problems));
    } catch (const LmError &e) {
        return Outcome::failed(e, path);
    }
}

Outcome SceneryManager::readCFG(QString &strFile, bool blnUpdateExisting)
{
    UiPort &ui = m_context.ui;
    if (strFile.isEmpty())
        strFile = FSPath() + QStringLiteral("\\SCENERY.CFG");
    SceneryCfgReader reader(*this, m_context.fs);
    reader.setEventPump([&ui] { ui.processEvents(); });
    const Outcome outcome = reader.read(strFile, blnUpdateExisting);

    if (outcome.isFailed()) {
        reportError(ui, ReadProcedure, outcome.error());
        const bool missing = outcome.error().number() == LmError::UserBase + ScenerycfgErrors::NoSceneryCfg;
        m_unreadSceneryCfg = missing ? QString() : strFile;
        return outcome;
    }
    m_unreadSceneryCfg.clear();
    if (!outcome.problems.isEmpty()) {
        // One message for the whole file: a damaged file can hold hundreds of bad lines.
        constexpr qsizetype Listed = 20;
        const Problems &problems = outcome.problems;
        QStringList text{
            QStringLiteral("%1 was read with problems; the reading went on past each:").arg(strFile)};
        for (qsizetype i = 0; i < problems.size() && i < Listed; ++i)
            text << QStringLiteral("line %1: %2").arg(problems.at(i).line).arg(problems.at(i).text);
        if (problems.size() > Listed)
            text << QStringLiteral("... and %1 more.").arg(problems.size() - Listed);
        ui.message(ReadProcedure + QLatin1Char('\n') + text.join(QStringLiteral("\r\n")),
                   QStringLiteral("Lumivale"), UiPort::Buttons::Ok, UiPort::Icon::Exclamation);
    }
    return outcome;
}
