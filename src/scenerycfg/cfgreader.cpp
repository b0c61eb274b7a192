// Reading a simulator's "Scenery.cfg" into the library.

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"
#include "scenerycfg/cfgerrors.h"
#include "scenerycfg/vbconvert.h"

#include <QHash>

namespace {

const QString ReadProcedure = QStringLiteral("SceneryManager.readCFG");

// Blanks only: the simulators' files indent with spaces, and a tab is part of the text.
QString trimBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

bool isTrueText(const QString &value)
{
    return value.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
}

LmError noArea()
{
    return LmError(ScenerycfgErrors::ObjectNotSet, QStringLiteral("Object variable or With block variable not set"),
                   ReadProcedure);
}

class CfgReader
{
public:
    CfgReader(SceneryManager &manager, bool updateExisting) : m(manager), m_updateExisting(updateExisting)
    {
        // First scenery per title, in collection order, so that each area finds its match at once.
        for (const SceneryPtr &s : m.colScenery) {
            if (!m_firstByTitle.contains(s->Title))
                m_firstByTitle.insert(s->Title, s);
        }
    }

    void readLine(const QString &raw);
    void finishArea();

    CfgPtr current;

private:
    void applyCacheKey(const QString &key, const QString &value);
    void applyKey(const QString &key, const QString &value, const QString &line);
    clsScenery &area()
    {
        if (!m_area)
            throw noArea();
        return *m_area;
    }

    SceneryManager &m;
    bool m_updateExisting;
    QHash<QString, SceneryPtr> m_firstByTitle;
    bool m_inCache = false;
    bool m_inGeneral = false;
    SceneryPtr m_area;
    CachePtr m_cache;
};

void CfgReader::readLine(const QString &raw)
{
    const QString line = trimBlanks(raw);
    const QString keyLine = SceneryManager::ReplaceNumber(line.toUpper());

    if (keyLine == QLatin1String("[CACHE.XXX]")) {
        const QString header = line;
        const qint16 number = qint16(line.mid(7, 3).toShort());
        if (CachePtr held = m.colCache.value(header)) {
            // The same section read again (after a switch or an update): the newer reading wins,
            // in the place the section already has.
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
        if (m_area)
            finishArea();
        m_area = std::make_shared<clsScenery>();
        m_area->InCFG = true;
        return;
    }

    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return;
    const QString key = SceneryManager::ReplaceNumber(line.left(eq).toUpper());
    const QString value = line.mid(eq + 1);
    if (m_inCache)
        applyCacheKey(key, value);
    else
        applyKey(key, value, line);
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
        return;  // the writer takes the size from the wizard
    if (key == QLatin1String("CLEAN_ON_EXIT")) {
        current->Clean_on_Exit = isTrueText(value);
    } else if (key == QLatin1String("DESCRIPTION")) {
        current->Description = value;
    } else if (key == QLatin1String("TITLE")) {
        if (m_inGeneral) {
            current->Title = value;
        } else {
            area().Title = value;
            area().Key = LibraryNames::NewSceneryPrefix + value;
        }
    } else if (key == QLatin1String("TEXTURE_ID")) {
        area().Texture_ID = VbConvert::textToInt16(value);
    } else if (key == QLatin1String("GROUP")) {
        area().Group = value;
    } else if (key == QLatin1String("ID")) {
        area().ID = value;
    } else if (key == QLatin1String("ACTIVE")) {
        area().Active = VbConvert::textToBool(value);
    } else if (key == QLatin1String("REQUIRED")) {
        area().Required = VbConvert::textToBool(value);
    } else if (key == QLatin1String("LAYER")) {
        area().Layer = VbConvert::textToInt16(value);
    } else if (key == QLatin1String("GROUPID")) {
        area().GroupID = VbConvert::textToInt16(value);
    } else if (key == QLatin1String("LOCAL")) {
        area().LocalPath = value;
    } else if (key == QLatin1String("REMOTE")) {
        area().RemotePath = value;
    } else if (key == QLatin1String("EXCLUDE")) {
        area().Exclude = value;
    } else if (key == QLatin1String("FLATTEN.X")) {
        // The position is the digit of the line itself; the key only shows there is exactly one.
        area().setFlatten(qint16(line.at(8).unicode() - '0'), value);
    }
}

void CfgReader::finishArea()
{
    if (!m_area)
        return;
    SceneryPtr a = std::move(m_area);
    m_area.reset();
    if (SceneryPtr s = m_firstByTitle.value(a->Title)) {
        s->InCFG = true;
        if (m_updateExisting) {
            s->Active = a->Active;
            s->Required = a->Required;
            s->LocalPath = a->LocalPath;
            if (!a->RemotePath.isEmpty())
                s->RemotePath = a->RemotePath;
        }
        return;
    }
    a->IsLocalPath = a->RemotePath.isEmpty() || !a->LocalPath.isEmpty();
    // An area without a "Title=" line still belongs in the level "New"; with no key at all it
    // would have no place in the tree and could not be saved.
    if (a->Key.isEmpty())
        a->Key = LibraryNames::NewSceneryPrefix + a->Title;
    m.colScenery.add(a->Key, a);
    m_firstByTitle.insert(a->Title, a);
}

}

QString SceneryManager::ReplaceNumber(const QString &line)
{
    QString result = line;
    for (QChar &c : result) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            c = QLatin1Char('X');
    }
    return result;
}

void SceneryManager::readCFG(QString &strFile, bool blnUpdateExisting)
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;
    try {
        CfgPtr current = dicCFGs.value(LibraryNames::CurrentSet);
        if (!current) {
            current = std::make_shared<clsCFG>();
            current->Key = LibraryNames::CurrentSet;
            dicCFGs.add(current->Key, current);
        }
        if (strFile.isEmpty())
            strFile = FSPath() + QStringLiteral("\\SCENERY.CFG");
        if (!fs.fileExists(strFile))
            throw LmError::user(ScenerycfgErrors::NoSceneryCfg, QStringLiteral("Could not find Scenery.cfg file."),
                                ReadProcedure);

        const QStringList lines = fs.readLines(strFile);
        for (const SceneryPtr &s : colScenery)
            s->InCFG = false;

        CfgReader reader(*this, blnUpdateExisting);
        reader.current = current;
        for (const QString &line : lines) {
            ui.processEvents();
            reader.readLine(line);
        }
        reader.finishArea();

        if (colCache.isEmpty()) {
            auto cache = std::make_shared<clsCache>();
            cache->intCache = 0;
            cache->strTitle = QStringLiteral("Default Texture Cache");
            cache->strLocal = QStringLiteral("texture");
            cache->strRemote = QStringLiteral("scenedb\\texture");
            cache->blnActive = false;
            colCache.add(QStringLiteral("[Cache.000]"), cache);
        }
    } catch (const LmError &e) {
        reportError(ui, ReadProcedure, e);
    }
}
