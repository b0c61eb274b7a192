// The airport directory on arbitrary bytes written as its list of areas ("AD_World.txt"): every
// line names the list to read next, and a line may only ever lead to one file of the directory's
// own folder, whatever it holds.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "airports/airportdirectory.h"

#include <QDir>
#include <QFileInfo>

QString checkAirportDirectory(const QByteArray &input)
{
    SilentInstallation &inst = FuzzLibrary::instance().inst;
    const AirportDirectory directory(inst.fs, inst.programFolder());
    static const bool prepared = [&] {
        // One list of each kind below the areas, so that lines naming them are read too.
        inst.writeFile(directory.folder() + QStringLiteral("\\AD_Europe.txt"), "Germany\r\nFrance\r\n");
        inst.writeFile(directory.folder() + QStringLiteral("\\AD_Germany.txt"), "Bavaria\r\n");
        inst.writeFile(directory.folder() + QStringLiteral("\\Bavaria.txt"), "EDDM Munich\r\n");
        return true;
    }();
    (void)prepared;
    inst.writeFile(directory.folder() + QStringLiteral("\\AD_World.txt"), input);

    const QString folderHost = QDir::cleanPath(inst.fs.toHost(directory.folder()));
    // The file a line leads to, when it is not one of the directory's folder.
    const auto outOfFolder = [&](AirportDirectory::List list, const QString &name) -> std::optional<QString> {
        const std::optional<QString> file = directory.file(list, name);
        if (!file)
            return std::nullopt;
        const QString host = QDir::cleanPath(inst.fs.toHost(*file));
        if (host.isEmpty() || QFileInfo(host).absolutePath() != folderHost)
            return host;
        return std::nullopt;
    };
    const QStringList areas = directory.entries(AirportDirectory::List::Areas);
    for (const QString &area : areas) {
        if (area.isEmpty())
            return finding("an empty entry in the list");
        for (const auto list : {AirportDirectory::List::Countries, AirportDirectory::List::States,
                                AirportDirectory::List::Airports}) {
            if (const auto host = outOfFolder(list, area))
                return finding("a line leads out of the directory's folder:",
                               area + QStringLiteral(" -> ") + *host);
        }
        for (const QString &country : directory.entries(AirportDirectory::List::Countries, area))
            for (const QString &state : directory.entries(AirportDirectory::List::States, country))
                directory.entries(AirportDirectory::List::Airports, state);
    }
    return {};
}
