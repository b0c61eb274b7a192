#pragma once

#include "library/records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class FileSystem;
class SceneryManager;
class Tree;

// The records a generated library fills: a SceneryManager's, or loose ones where there is no
// installation to make a manager for (the demo).
struct LibraryRecords
{
    OrderedMap<SceneryPtr> &colScenery;
    OrderedMap<LevelPtr> &dicLevel;
    OrderedMap<CfgPtr> &dicCFGs;

    LibraryRecords(OrderedMap<SceneryPtr> &sceneries, OrderedMap<LevelPtr> &levels, OrderedMap<CfgPtr> &sets)
        : colScenery(sceneries), dicLevel(levels), dicCFGs(sets)
    {}
    LibraryRecords(SceneryManager &manager); // NOLINT: a manager stands for its records
};

// Synthetic libraries for measuring the library's readers and writers at any size. The same
// options always give the same library, byte for byte.
//
// Shape: top-level regions hold ten countries each, a country holds ten areas, and an area (a
// leaf level) holds `perLevel` sceneries, so a library of N sceneries has N / perLevel leaf levels
// three deep below the default level "New". Sceneries carry PreviousKey chains in tree order, a
// mix of local and remote folders, authors, filter bits, exclusion and flattening rectangles.
// Several sets: "Bench 332" holds exactly `cfgAreas` titles spread over the whole library (the
// largest selection a Scenery.cfg may take); the others hold every tenth, every seventh, every
// third scenery, for the three simulators.
struct GeneratorOptions
{
    int sceneries = 1000;
    int perLevel = 50;
    int fanOut = 10;    // countries per region and areas per country
    int cfgAreas = 332; // areas of the generated Scenery.cfg and members of "Bench 332"
    quint32 seed = 20240601;
};

namespace LibraryGenerator {

inline const QString SelectionSet = QStringLiteral("Bench 332");

// Fills an empty library (colScenery, dicLevel, dicCFGs) and builds the tree over it in tree order.
// LocalPath values of the selected sceneries are absolute folders below "C:\Sceneries".
void build(const LibraryRecords &manager, Tree &tree, const GeneratorOptions &options);

// The three library files as the program writes them ("Lumivale.db5", "Level.db", "CFGSet.db"),
// from the library in the tree's order. Built here rather than through the library writer so that
// measuring the reader does not depend on the writer.
QByteArray sceneryFile(const LibraryRecords &manager, const Tree &tree);
QByteArray levelFile(const LibraryRecords &manager, const Tree &tree);
QByteArray setFile(const LibraryRecords &manager);
void writeLibraryFiles(const FileSystem &fs, const QString &programFolder, const LibraryRecords &manager,
                       const Tree &tree);

// A Scenery.cfg of Flight Simulator 2002 holding the members of "Bench 332" as areas, in tree
// order, with two cache sections.
QByteArray sceneryCfg(const LibraryRecords &manager, const Tree &tree);

// Creates the "<LocalPath>\Scenery" folders of the local members of "Bench 332", so that a
// Scenery.cfg written from that set includes every one of them.
void createSceneryFolders(const FileSystem &fs, const LibraryRecords &manager);

// Creates the folders of every scenery with a local folder, each with a "Scenery" subfolder holding
// `bglFiles` BGL files of its own and one that every tenth scenery shares with the nine before it,
// and a "Texture" subfolder with one picture. Returns the number of sceneries given folders.
int createAllSceneryFolders(const FileSystem &fs, const SceneryManager &manager, int bglFiles = 2);

// The selection text the Scenery.cfg writer takes: set names, each followed by CR LF.
QString selectionText();

} // namespace LibraryGenerator
