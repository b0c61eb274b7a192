#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;
class SceneryManager;

// One thing the check found. kind is one of the LibraryCheck kinds below; key and title name the
// scenery it concerns (key "" for a finding about sets, whose names are then in title).
struct CheckFinding
{
    QString kind;
    QString key;
    QString title;
    QString detail;

    bool operator==(const CheckFinding &) const = default;
};

// Finds what the simulator would stumble over before a Scenery.cfg is written: folders that are
// missing or hold nothing it can load, titles it takes for one, BGL files that hide each other,
// selections too large for one file, remote folders on drives that are not there, layers that
// writing would change, and area values that fail their check.
//
// The scope is the whole library, or the sceneries the named sets would write. Each folder on the
// way is read from the disk once (FolderScan), so the check grows with the number of sceneries
// and not with the size of the folders that hold them.
class LibraryCheck
{
public:
    // The kinds, as the command line's JSON names them.
    static const QString MissingFolder;    // the local folder does not exist
    static const QString NoSceneryFolder;  // it has no "Scenery" subfolder
    static const QString NoBglFile;        // its "Scenery" subfolder holds no BGL file
    static const QString DuplicateTitle;   // a title equal to another but for case or blanks
    static const QString Conflict;         // a BGL file name in two active sceneries: the later wins
    static const QString TooManySceneries; // a selection over the 332 areas of one file
    static const QString FileTooLarge;     // a selection whose Scenery.cfg would exceed 65500 bytes
    static const QString UnmappedDrive;    // a remote folder on a drive that is not mapped
    static const QString LayerOrder;       // a recorded layer other than the area number it would get
    static const QString BadExclude;       // an Exclude value that fails its check
    static const QString BadFlatten;       // a Flatten value that fails its check

    LibraryCheck(const SceneryManager &library, const FileSystem &fs);

    // Runs now and then, so that a window stays responsive.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // treeOrder: the keys of the library tree's nodes in walk order (Tree::keysInWalkOrder), with
    // every scenery shown; a scenery without a node is checked after them. setNames empty: the
    // whole library, every set of the selected simulator and "(Current)" each held against the
    // limits of one file, and the layers of "(Current)". Otherwise the sceneries the named sets
    // would write, as one selection. A set name the library does not hold is skipped.
    // The findings come grouped: the folders, the titles, the conflicts, the selections, the
    // drives, the layers, the area values; within a group in tree order.
    QList<CheckFinding> run(const QStringList &treeOrder, const QStringList &setNames = {});

    // Folders read from the disk by the last run.
    qsizetype foldersRead() const { return m_foldersRead; }

private:
    const SceneryManager &m_library;
    const FileSystem &m_fs;
    std::function<void()> m_pump;
    qsizetype m_foldersRead = 0;
};
