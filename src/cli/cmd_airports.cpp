// airports: the lists of the airport directory, as the dialog shows them.

#include "airports/airportdirectory.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "platform/bundledfiles.h"

namespace {

using List = AirportDirectory::List;

// What the list named by the arguments holds, in words, for the message when it is missing.
QString listName(List list, const QString &name)
{
    switch (list) {
    case List::Areas:
        return QStringLiteral("areas");
    case List::Countries:
        return QStringLiteral("countries of the area \"%1\"").arg(name);
    case List::States:
        return QStringLiteral("states of the country \"%1\"").arg(name);
    case List::Airports:
        return QStringLiteral("airports of the state \"%1\"").arg(name);
    }
    return {};
}

} // namespace

void setupAirports(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("area"), QStringLiteral("List the countries of this area."),
                                 QStringLiteral("[AREA"));
    parser.addPositionalArgument(QStringLiteral("country"),
                                 QStringLiteral("List the states of this country of the area."),
                                 QStringLiteral("[COUNTRY"));
    parser.addPositionalArgument(QStringLiteral("state"),
                                 QStringLiteral("List the airports of this state of the country."),
                                 QStringLiteral("[STATE]]]"));
}

int runAirports(CliCommandRun &run)
{
    const QStringList names = run.args.positionalArguments();
    if (names.size() > 3) {
        run.err << QStringLiteral("lumivale-cli airports: takes at most AREA COUNTRY STATE (see --help).")
                << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    // As at the window's start: the shipped lists, the first time the program folder lacks them.
    BundledFiles::installMissing(session.programFolderHost());
    const AirportDirectory directory(session.fs(), session.context().programFolder());

    // Each name must be an entry of the list above it, as the dialog offers them.
    const List lists[] = {List::Areas, List::Countries, List::States, List::Airports};
    QStringList entries;
    for (qsizetype step = 0; step <= names.size(); ++step) {
        const List list = lists[step];
        const QString name = step == 0 ? QString() : names.at(step - 1);
        if (step > 0 && !entries.contains(name))
            throw CliFailure{
                QStringLiteral("\"%1\" is not one of the %2.")
                    .arg(name, listName(lists[step - 1], step > 1 ? names.at(step - 2) : QString()))};
        const std::optional<QStringList> read = directory.read(list, name);
        if (!read)
            throw CliFailure{QStringLiteral("the airport directory has no list of the %1 (%2).")
                                 .arg(listName(list, name), directory.file(list, name).value_or(name))};
        entries = *read;
    }
    for (const QString &entry : entries)
        run.out << entry << QLatin1Char('\n');
    return 0;
}
