#pragma once

#include <QString>
#include <QStringList>

// Files that ship inside the program (the airport directory, the user manual) and are put into the
// program folder the first time they are missing there. What the program folder holds belongs to
// the user: an item that is there already is never replaced, so edited lists survive an update.
namespace BundledFiles {

// The resource folder the shipped items live under, one file or folder per item.
QString defaultRoot();

// Puts every item of the resource folder `root` that the program folder lacks into it. A folder is
// assembled beside its place and renamed into it once complete, so a start that is interrupted
// leaves no half folder for the next one to take as installed. Returns the names of the items put
// there; throws LmError naming the item when one cannot be put there.
QStringList installMissing(const QString &programFolderHost, const QString &root = defaultRoot());

} // namespace BundledFiles
