#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "sims/location.h"

#include <QJsonDocument>
#include <QJsonObject>

void setupInfo(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON object.")));
}

int runInfo(CliCommandRun &run)
{
    CliSession &session = run.session();
    // The detection runs first on its own, so that with no simulator its message is shown once
    // and nothing else is attempted.
    const Location location(session.context());
    const auto manager = session.openManager(run.options.simType);

    QJsonObject drives;
    for (auto it = session.fs().driveMap().drives().cbegin(); it != session.fs().driveMap().drives().cend();
         ++it)
        drives.insert(QString(it.key()), it.value());

    const QString fsPath = manager->FSPath();
    const QString sceneryCfg = fsPath.isEmpty() ? QString() : fsPath + QStringLiteral("\\Scenery.cfg");
    const bool sceneryCfgExists = !sceneryCfg.isEmpty() && session.fs().fileExists(sceneryCfg);

    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonObject info{
            {QStringLiteral("programFolder"), session.context().programFolder()},
            {QStringLiteral("programFolderHost"), session.programFolderHost()},
            {QStringLiteral("winePrefix"), session.winePrefixHost()},
            {QStringLiteral("settingsFile"), session.settingsFile()},
            {QStringLiteral("drives"), drives},
            {QStringLiteral("simulators"), QJsonObject{{QStringLiteral("fs2000"), location.FS2000installed()},
                                                       {QStringLiteral("fs2002"), location.FS2002installed()},
                                                       {QStringLiteral("cfs2"), location.CFS2installed()}}},
            {QStringLiteral("simType"), manager->SimType},
            {QStringLiteral("simName"), Location::simulatorName(manager->SimType)},
            {QStringLiteral("fsPath"), fsPath},
            {QStringLiteral("sceneryCfg"), sceneryCfg},
            {QStringLiteral("sceneryCfgExists"), sceneryCfgExists},
        };
        run.out << QJsonDocument(info).toJson(QJsonDocument::Indented);
        return 0;
    }

    QStringList installed;
    for (int sim = 0; sim <= 2; ++sim) {
        const bool found = (sim == 0 && location.FS2000installed()) ||
                           (sim == 1 && location.FS2002installed()) || (sim == 2 && location.CFS2installed());
        if (found)
            installed << Location::simulatorName(sim);
    }
    QStringList driveTexts;
    for (auto it = drives.constBegin(); it != drives.constEnd(); ++it)
        driveTexts << it.key() + QStringLiteral(": = ") + it.value().toString();

    run.out << QStringLiteral("Program folder:   ") << session.context().programFolder()
            << QStringLiteral("  (") << session.programFolderHost() << QStringLiteral(")\n");
    run.out << QStringLiteral("Settings file:    ") << session.settingsFile() << QLatin1Char('\n');
    run.out << QStringLiteral("Wine prefix:      ") << session.winePrefixHost() << QLatin1Char('\n');
    run.out << QStringLiteral("Drives:           ") << driveTexts.join(QStringLiteral(", "))
            << QLatin1Char('\n');
    run.out << QStringLiteral("Installed:        ") << installed.join(QStringLiteral(", "))
            << QLatin1Char('\n');
    run.out << QStringLiteral("Selected:         ") << manager->SimType << QLatin1Char(' ')
            << Location::simulatorName(manager->SimType) << QLatin1Char('\n');
    run.out << QStringLiteral("Simulator folder: ") << fsPath << QLatin1Char('\n');
    run.out << QStringLiteral("Scenery.cfg:      ") << sceneryCfg
            << (sceneryCfgExists ? QString() : QStringLiteral("  (missing)")) << QLatin1Char('\n');
    return 0;
}
