// An arbitrary archive through the archive component: listed, measured, extracted whole into a
// folder, extracted again confined to a folder below the drive root as a backup is restored, and
// each listed file extracted on its own. Nothing may be written outside the folder extracted
// into; a whole extraction that ends without an error has written every file it listed.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "platform/archive.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Folder path inside the archive ("Scenery\") and file name, as listEntries gives them.
using Listed = QList<std::pair<QString, QString>>;

} // namespace

QString checkArchive(const QByteArray &input)
{
    SilentInstallation &inst = FuzzLibrary::instance().inst;
    const FileSystem &fs = inst.fs;
    const QString archive = QStringLiteral("C:\\Downloads\\fuzz.zip");
    const QString target = QStringLiteral("C:\\Extract");
    const QString confined = QStringLiteral("C:\\Confined");
    const QString single = QStringLiteral("C:\\Single");
    for (const QString &folder : {target, confined, single})
        removeHostTree(fs.toHost(folder));
    inst.writeFile(archive, input);
    const QString driveC = inst.driveCHost();
    const FileSnapshot before(driveC);

    Unzip unzip(fs);
    unzip.archive = archive;
    Listed listed;
    unzip.FileInfo = [&listed](const QString &name, const QString &folder) { listed.append({folder, name}); };
    try {
        unzip.listEntries();
        unzip.unpackedSize();
    } catch (const LmError &) {
        return {}; // not an archive the component can read
    }

    unzip.targetFolder = target;
    bool extracted = false;
    try {
        extracted = unzip.extractAll();
    } catch (const LmError &) {
    }
    if (extracted) {
        for (const auto &[folder, name] : std::as_const(listed)) {
            const QString host = fs.toHost(target + QLatin1Char('\\') + folder + name);
            if (!QFileInfo(host).isFile())
                return finding("a listed file was not extracted:", folder + name);
        }
    }

    Unzip restore(fs);
    restore.archive = archive;
    restore.targetFolder = QStringLiteral("C:\\");
    restore.confineTo = confined;
    try {
        restore.extractAll();
    } catch (const LmError &) {
    }

    Unzip one(fs);
    one.archive = archive;
    one.targetFolder = single;
    for (const auto &[folder, name] : std::as_const(listed).mid(0, 20))
        one.extractFile(folder + name);

    const QStringList outside = FileSnapshot(driveC).changedOutside(
        before, {fs.toHost(target), fs.toHost(confined), fs.toHost(single)});
    if (!outside.isEmpty())
        return finding("the archive wrote outside the folder:", outside.join(QLatin1Char('\n')));
    return {};
}
