// "LumivaleFileList.db" on arbitrary bytes: read, its fields applied to a record, and each entry
// placed as an installation from the list places it. An entry the installation accepts for the
// scenery folder or the simulator folder must lead into that folder, and a list written from the
// entries must read back as the same entries.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "install/filelistfile.h"
#include "install/sceneryinstaller.h"
#include "platform/lmerror.h"

#include <QDir>

namespace {

// Whether the file a Windows path names lies below a folder, as the host sees both.
bool leadsInto(const FileSystem &fs, const QString &path, const QString &folder)
{
    const QString file = QDir::cleanPath(fs.toHost(path));
    const QString base = QDir::cleanPath(fs.toHost(folder));
    return !file.isEmpty() && !base.isEmpty() && file.startsWith(base + QLatin1Char('/'));
}

} // namespace

QString checkFileList(const QByteArray &input)
{
    FuzzLibrary &library = FuzzLibrary::instance();
    SilentInstallation &inst = library.inst;
    static AppContext context{inst.fs, *inst.settings, inst.ui, inst.program};
    const QString folder = QStringLiteral("C:\\Addon\\Fuzz");
    const QString path = folder + QStringLiteral("\\LumivaleFileList.db");
    inst.writeFile(path, input);

    FileListReader reader(inst.fs);
    if (!reader.read(path).isDone())
        return {};
    clsScenery record;
    try {
        reader.applyFields(record);
    } catch (const LmError &) {
        // a number that is no number: the installation reports it
    }

    SceneryInstaller installer(context, *library.manager);
    const QString destination = QStringLiteral("C:\\Sceneries\\Fuzz\\");
    for (const FileListEntry &entry : reader.entries()) {
        const DestinationKind kind = destinationKind(entry.Destination, entry.File);
        if (kind == DestinationKind::Refused || kind == DestinationKind::Absolute)
            continue;
        const QString to = installer.GetMoveToFromFL(entry.Destination, entry.File, destination);
        const QString into = kind == DestinationKind::SceneryFolder ? destination : inst.simFolder();
        if (!leadsInto(inst.fs, to, into))
            return finding("an accepted entry leads out of its folder:",
                           FileListFile::entryLine(entry) + QStringLiteral(" -> ") + to);
    }

    const QString copy = folder + QStringLiteral("\\Written.db");
    if (!FileListWriter(inst.fs).write(copy, record, reader.entries()).isDone())
        return finding("the list could not be written");
    FileListReader again(inst.fs);
    if (!again.read(copy).isDone())
        return finding("the written list could not be read");
    FileList expected = reader.entries();
    for (FileListEntry &entry : expected) { // the file is single-byte text
        entry.File = Cp1252::decode(Cp1252::encode(entry.File));
        entry.Destination = Cp1252::decode(Cp1252::encode(entry.Destination));
        entry.Source = Cp1252::decode(Cp1252::encode(entry.Source));
    }
    if (again.entries() != expected)
        return finding("the written list reads back with other entries");
    return {};
}
