// sim, set-sim and flights: the simulator worked on, the simulator a set belongs to, and the saved
// flights the create-scenery wizard offers as its start flight.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "scenerycfg/frmselectsets.h"
#include "settings/programsettings.h"
#include "sims/location.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A simulator number as the command line gives it: 0, 1 or 2.
std::optional<qint32> simulatorNumber(const QString &text)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 0 || number > 2)
        return std::nullopt;
    return number;
}

bool isInstalled(const Location &location, qint32 simType)
{
    return (simType == 0 && location.FS2000installed()) || (simType == 1 && location.FS2002installed()) ||
           (simType == 2 && location.CFS2installed());
}

QString describe(qint32 simType, const QString &folder)
{
    return QStringLiteral("%1 %2 (%3)").arg(simType).arg(Location::simulatorName(simType), folder);
}

} // namespace

// ---- sim ---------------------------------------------------------------------------------

void setupSim(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("SIM"),
                                 QStringLiteral("Select this installed simulator for the program and the "
                                                "command line, as \"Select Sim Type\" does: 0 Flight "
                                                "Simulator 2000, 1 Flight Simulator 2002, 2 Combat Flight "
                                                "Simulator 2. Without it, print the selected one."),
                                 QStringLiteral("[0|1|2]"));
}

int runSim(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    std::optional<qint32> chosen;
    if (arguments.size() > 1 || (arguments.size() == 1 && !(chosen = simulatorNumber(arguments.first())))) {
        run.err << QStringLiteral("lumivale-cli sim: give 0, 1 or 2, or nothing (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    if (!chosen) {
        const std::unique_ptr<SceneryManager> manager = session.openManager(std::nullopt);
        run.out << describe(manager->SimType, manager->FSPath()) << QLatin1Char('\n');
        return 0;
    }
    const Location location(session.context());
    if (!isInstalled(location, *chosen))
        throw CliFailure{
            QStringLiteral("%1 is not installed; nothing changed.").arg(Location::simulatorName(*chosen))};
    ProgramSettings(session.settings(), session.context().programFolder()).setSelectedSim(*chosen);
    const std::unique_ptr<SceneryManager> manager = session.openManager(chosen);
    run.out << QStringLiteral("Selected ") << describe(*chosen, manager->FSPath()) << QLatin1Char('\n');
    return 0;
}

// ---- set-sim -----------------------------------------------------------------------------

void setupSetSim(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("SET"), QStringLiteral("The set to give to a simulator."));
    parser.addPositionalArgument(
        QStringLiteral("SIM"),
        QStringLiteral("The installed simulator it belongs to from now on: 0, 1 or 2."),
        QStringLiteral("0|1|2"));
}

int runSetSim(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const std::optional<qint32> chosen =
        arguments.size() == 2 ? simulatorNumber(arguments.at(1)) : std::nullopt;
    if (!chosen) {
        run.err << QStringLiteral("lumivale-cli set-sim: give a set and 0, 1 or 2 (see --help).") << Qt::endl;
        return CliUsageError;
    }
    const QString name = arguments.first();
    if (name == LibraryNames::CurrentSet)
        throw CliFailure{
            QStringLiteral("\"(Current)\" is the simulator's present Scenery.cfg and belongs to no "
                           "other simulator; nothing changed.")};

    CliSession &session = run.session();
    session.lockLibrary();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    // The set's simulator is picked from the installed ones, as in the window.
    if (!isInstalled(Location(session.context()), *chosen))
        throw CliFailure{
            QStringLiteral("%1 is not installed; nothing changed.").arg(Location::simulatorName(*chosen))};
    const Problems damaged = library.load();
    const CfgPtr set = library.set(name);
    if (!set)
        throw CliFailure{
            QStringLiteral("no set \"%1\"; nothing changed (see \"lumivale-cli sets\").").arg(name)};
    if (!damaged.isEmpty())
        throw CliFailure{
            QStringLiteral("the library was read with errors, and saving it would replace its files "
                           "with the part that could be read:\n%1\nNothing changed.")
                .arg(describeProblems(damaged))};
    set->Cache_Size = *chosen;
    if (!library.save().isDone())
        return 1;
    run.out
        << QStringLiteral("The set \"%1\" belongs to %2 now.\n").arg(name, Location::simulatorName(*chosen));
    return 0;
}

// ---- flights -----------------------------------------------------------------------------

void setupFlights(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON array.")));
}

int runFlights(CliCommandRun &run)
{
    const std::unique_ptr<SceneryManager> manager = run.session().openManager(run.options.simType);
    const QStringList flights = StartFlight::flights(run.session().fs(), manager->FSPath(), manager->SimType);
    if (run.args.isSet(QStringLiteral("json"))) {
        run.out << QJsonDocument(QJsonArray::fromStringList(flights)).toJson(QJsonDocument::Indented);
        return 0;
    }
    for (const QString &flight : flights)
        run.out << flight << QLatin1Char('\n');
    return 0;
}
