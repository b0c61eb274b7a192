#pragma once

#include "library/orderedmap.h"

#include <QString>

#include <array>
#include <memory>

// The library's plain records. A new record has every text "", every number 0, every flag false.

// One scenery: one area of a Scenery.cfg and the library's own data about it.
class clsScenery
{
public:
    qint16 Texture_ID = 0;
    QString Group;
    QString ID;
    QString Title;
    bool Active = false;
    qint16 Layer = 0;
    qint16 GroupID = 0;
    QString LocalPath;
    QString RemotePath;
    QString Exclude;
    qint16 SalesType = 0;
    qint16 FlySim = 0;
    QString Comment;
    bool InCFG = false;  // stands in the Scenery.cfg read last; never stored
    QString Key;
    QString PreviousKey;
    QString Author;
    QString Version;
    bool IsLocalPath = false;
    bool Required = false;

    static constexpr int FlattenCount = 10;
    // Flattening rectangle at position 0..9; any other position throws error 9 and changes nothing.
    const QString &Flatten(qint16 pos) const;
    void setFlatten(qint16 pos, const QString &iVal);

private:
    std::array<QString, FlattenCount> m_flatten;
};

// One level: a folder node of the library tree.
class clsLevel
{
public:
    QString sLevelKey;
    QString sLevelCaption;
};

// A set of sceneries, by title; the same class holds the "[General]" values of a Scenery.cfg.
class clsCFG
{
public:
    QString Key;
    qint32 Cache_Size = 0;  // the simulator the set belongs to (0, 1, 2)
    bool Clean_on_Exit = false;
    QString Title;
    QString Description;
    // Member titles, stored as both key and item.
    OrderedMap<QString> colUsedSceneries;

    // Adds a member title unless it is already held.
    void addMember(const QString &title)
    {
        if (!colUsedSceneries.contains(title))
            colUsedSceneries.add(title, title);
    }
};

// One texture cache section of a Scenery.cfg.
class clsCache
{
public:
    qint16 intCache = 0;
    QString strTitle;
    QString strLocal;
    QString strRemote;
    bool blnActive = false;
};

using SceneryPtr = std::shared_ptr<clsScenery>;
using LevelPtr = std::shared_ptr<clsLevel>;
using CfgPtr = std::shared_ptr<clsCFG>;
using CachePtr = std::shared_ptr<clsCache>;

// Names the library uses everywhere.
namespace LibraryNames {
inline const QString CurrentSet = QStringLiteral("(Current)");
inline const QString NewLevelKey = QStringLiteral("LevelNew");
inline const QString NewLevelCaption = QStringLiteral("New");
inline const QString LevelPrefix = QStringLiteral("Level");
inline const QString SceneryPrefix = QStringLiteral("Scenery");
inline const QString NewSceneryPrefix = QStringLiteral("SceneryNew\\");
}

// The one test of what a node key (and the record under it) names: a level's key begins with
// "Level", a scenery's with "Scenery", in this letter case. Every key the program makes begins
// so, and reading the library mends a level key that does not, so "levelAlps" names neither.
inline bool isLevelKey(const QString &key)
{
    return key.startsWith(LibraryNames::LevelPrefix);
}
inline bool isSceneryKey(const QString &key)
{
    return key.startsWith(LibraryNames::SceneryPrefix);
}
