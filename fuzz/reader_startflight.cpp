// FS2002.cfg on arbitrary bytes, its SITUATION line pointed at a saved flight as the start flight
// is set: the file is kept as it was in ".backup", the rewrite keeps every line (blanks around it
// trimmed) with each SITUATION line replaced, and nothing else in the installation is touched.
// Setting the same flight again changes nothing.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "platform/winpath.h"
#include "scenerycfg/frmselectsets.h"

QString checkStartFlight(const QByteArray &input)
{
    SilentInstallation &inst = FuzzLibrary::instance().inst;
    const FileSystem &fs = inst.fs;
    const QString cfg = inst.simFolder() + StartFlight::simulatorCfg(1);
    const QString backup = cfg + QStringLiteral(".backup");
    inst.writeFile(cfg, input);
    const QStringList before = fs.readLines(cfg);

    const QString driveC = inst.driveCHost();
    const FileSnapshot snapshot(driveC);
    const Outcome outcome = StartFlight::setSituation(fs, inst.simFolder(), 1, QStringLiteral("Fuzz"));
    if (!outcome.isDone())
        return finding("the start flight was not set");
    const QStringList touched =
        FileSnapshot(driveC).changedOutside(snapshot, {fs.toHost(cfg), fs.toHost(backup)});
    if (!touched.isEmpty())
        return finding("the rewrite touched other files:", touched.join(QLatin1Char('\n')));
    if (fs.readAll(backup) != input)
        return finding("the backup differs from the file as it was");

    const QStringList after = fs.readLines(cfg);
    if (after.size() != before.size())
        return finding("the rewrite changed the number of lines:",
                       QStringLiteral("%1 -> %2").arg(before.size()).arg(after.size()));
    const QString situation = QStringLiteral("SITUATION=flights\\myflts\\Fuzz");
    for (qsizetype i = 0; i < after.size(); ++i) {
        const QString old = WinPath::trimBlanks(before.at(i));
        const bool replaced = old.left(9).compare(QLatin1String("SITUATION"), Qt::CaseInsensitive) == 0;
        const QString expected = replaced ? situation : Cp1252::decode(Cp1252::encode(old));
        if (after.at(i) != expected)
            return finding("a line was rewritten wrongly:",
                           QStringLiteral("line %1: %2").arg(i + 1).arg(after.at(i)));
    }

    const QByteArray once = fs.readAll(cfg);
    StartFlight::setSituation(fs, inst.simFolder(), 1, QStringLiteral("Fuzz"));
    if (fs.readAll(cfg) != once)
        return finding("setting the same flight again changed the file");
    return {};
}
