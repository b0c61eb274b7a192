#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// Path text the way the simulators and the program write it: "\" between the parts, "C:" for a
// drive, "\\server\share" for a network folder. Everything here works on the text alone, except
// CreateSubFolder, which makes the folders a path names.
namespace WinPath {

inline constexpr QChar Separator = u'\\';

// A name in a folder, with one "\" between them: a "\" ending the folder and a "\" starting the
// name are that one. "C:\A" + "b" and "C:\A\" + "\b" give "C:\A\b"; an empty name gives the
// folder ending in "\".
QString join(const QString &folder, const QString &name);

// The path without the "\" it ends in, except the one that is a root itself: "C:\A\\" gives
// "C:\A", while "C:\" and "\" stay as they are.
QString withoutTrailingSeparator(const QString &path);
// The path ending in "\": one is added when it does not end in one already.
QString withTrailingSeparator(const QString &path);

// A scenery's folder may be named by its "scenery" subfolder: the path without a last part
// "scenery" (in any letter case) and the "\" before it. "D:\Rome\Scenery" gives "D:\Rome";
// "D:\MyScenery" stays, and only the last part is looked at.
QString withoutSceneryFolder(const QString &path);

// Folders compared as the file system finds them: without regard to letter case and to the
// "\" they end in.
bool sameFolder(const QString &a, const QString &b);
// True when folder lies strictly below base.
bool isBelow(const QString &folder, const QString &base);
// "C:", "C:\", "\" or nothing at all: a path that names a whole drive.
bool isDriveRoot(const QString &path);
// One text per folder for lookups, by the rule of sameFolder.
QString folderKey(const QString &path);

// The folders CreateSubFolder makes sure of, outermost first, each ending in "\". Empty parts
// from a doubled or trailing "\" are skipped; a network path keeps its "\\server\share" head,
// which is no folder that could be created.
QStringList subFolderSteps(const QString &path);
// Creates every missing folder along a path ("C:\A\B\C").
void CreateSubFolder(const FileSystem &fs, const QString &path);

// Makes a text safe as a file name: each of \ / : * ? " < > | becomes "_". The argument is
// changed too.
QString NormaliseFilename(QString &fileName);

// The text without the blanks around it. Only blanks count, as the simulators' files and the
// values typed into the program have always been trimmed; a tab is part of the text.
QString trimBlanks(const QString &text);

} // namespace WinPath
