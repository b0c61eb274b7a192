#include "cli/commands.h"

#include "cli/clisession.h"
#include "cli/cliui.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"

#include <QCoreApplication>

namespace {

const CliCommand Commands[] = {
    {"info", "Show the installation the program works on: folders, drives, simulators.", setupInfo, runInfo},
    {"demo", "Create a demo installation (Wine prefix with two simulators) in a new folder.", setupDemo,
     runDemo},
    {"list", "List the sceneries in tree order (all, or the members of one set).", setupList, runList},
    {"sets", "List every set with its simulator and members, \"(Current)\" included.", setupSets, runSets},
    {"import", "Update the library from a Scenery.cfg (default: the simulator's own) and save it.",
     setupImport, runImport},
    {"write-cfg", "Write the simulator's Scenery.cfg from one or more sets.", setupWriteCfg, runWriteCfg},
    {"backup", "Make, install, delete or list backups of the simulator's files.", setupBackup, runBackup},
    {"diz", "Print a scenery's FILE_ID.DIZ, or write it with --set.", setupDiz, runDiz},
    {"pack", "Pack the files of a scenery's file list into a zip file (exit 1 without a file list).",
     setupPack, runPack},
    {"textures", "Back up, restore, delete backups of or empty the simulator's global texture folder.",
     setupTextures, runTextures},
    {"report", "Print the scenery list report as text, or as a PDF of its printed pages.", setupReport,
     runReport},
    {"cache", "List Flight Simulator 2002's texture cache entries.", setupCache, runCache},
    {"paths", "Test the sceneries' local folders, or make scenery paths absolute and save.", setupPaths,
     runPaths},
    {"airports", "List the areas of the airport directory, or the countries, states or airports below one.",
     setupAirports, runAirports},
    {"filelist", "Make a scenery's file list new from its folder, or show it.", setupFileList, runFileList},
    {"install", "Install a scenery from a folder or a zip file into the library (exit 3: title taken, no space).",
     setupInstall, runInstall},
    {"flights", "List the saved flights the create-scenery wizard offers as start flight.", setupFlights,
     runFlights},
    {"sim", "Print the selected simulator, or select another one as \"Select Sim Type\" does.", setupSim,
     runSim},
    {"set-sim", "Give a set to a simulator and save the library.", setupSetSim, runSetSim},
    {"check", "Check the library (or the sets given) for what the simulator would stumble over.", setupCheck,
     runCheck},
    {"cdrom", "Copy the sets' sceneries into a new folder for a CD, save their remote paths (exit 3: too big).",
     setupCdRom, runCdRom},
};

const QString ProgramName = QStringLiteral("lumivale-cli");

QCommandLineOption simOption()
{
    return QCommandLineOption(
        QStringLiteral("sim"),
        QStringLiteral("Work on this installed simulator for this run: 0 Flight Simulator 2000, "
                       "1 Flight Simulator 2002, 2 Combat Flight Simulator 2."),
        QStringLiteral("0|1|2"));
}

QCommandLineOption yesOption()
{
    return QCommandLineOption(QStringLiteral("yes"), QStringLiteral("Answer Yes (or OK) to every question."));
}

QCommandLineOption answerOption()
{
    return QCommandLineOption(QStringLiteral("answer"),
                              QStringLiteral("Reply to the next input prompt with this text (repeatable)."),
                              QStringLiteral("text"));
}

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Show this help."));
}

void addGlobalOptions(QCommandLineParser &parser)
{
    parser.addOption(simOption());
    parser.addOption(yesOption());
    parser.addOption(answerOption());
    parser.addOption(helpOption());
}

// QCommandLineParser names the program as it was started; the usage line should name the command.
QString helpText(const QCommandLineParser &parser, const QString &commandName)
{
    QString text = parser.helpText();
    const QString started =
        QStringLiteral("Usage: ") + (QCoreApplication::instance() ? QCoreApplication::arguments().value(0)
                                                                  : QStringLiteral("<executable_name>"));
    if (text.startsWith(started)) {
        QString usage = QStringLiteral("Usage: ") + ProgramName;
        if (!commandName.isEmpty())
            usage += QLatin1Char(' ') + commandName;
        text.replace(0, started.size(), usage);
    }
    return text;
}

QString commandList()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const CliCommand &command : cliCommands())
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name), -10)
                    .arg(QString::fromUtf8(command.summary));
    text += QStringLiteral("\nRun \"%1 <command> --help\" for the options of a command.\n").arg(ProgramName);
    return text;
}

const CliCommand *findCommand(const QString &name)
{
    for (const CliCommand &command : cliCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// Global options may stand before or after the command name; a later one wins.
bool mergeGlobalOptions(const QCommandLineParser &parser, CliGlobalOptions &options, QTextStream &err)
{
    if (parser.isSet(QStringLiteral("yes")))
        options.assumeYes = true;
    options.answers += parser.values(QStringLiteral("answer"));
    if (parser.isSet(QStringLiteral("sim"))) {
        const QString text = parser.value(QStringLiteral("sim"));
        bool ok = false;
        const int sim = text.toInt(&ok);
        if (!ok || sim < 0 || sim > 2) {
            err << ProgramName << QStringLiteral(": --sim takes 0, 1 or 2, not \"") << text
                << QStringLiteral("\".") << Qt::endl;
            return false;
        }
        options.simType = sim;
    }
    return true;
}

} // namespace

CliCommandRun::CliCommandRun(const QCommandLineParser &args, const CliGlobalOptions &options, CliUi &ui,
                             QTextStream &out, QTextStream &err)
    : args(args), options(options), out(out), err(err), m_ui(ui)
{}

CliCommandRun::~CliCommandRun() = default;

CliSession &CliCommandRun::session()
{
    if (!m_session)
        m_session = std::make_unique<CliSession>(m_ui);
    return *m_session;
}

std::span<const CliCommand> cliCommands()
{
    return Commands;
}

int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    CliUi ui(err);
    return runCli(arguments, out, err, ui);
}

int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err, CliUi &ui)
{
    QCommandLineParser global;
    global.setApplicationDescription(
        QStringLiteral("Lumivale on the command line: works on the same installation "
                       "as the program (LUMIVALE_HOME, WINEPREFIX)."));
    addGlobalOptions(global);
    global.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run (see below)."),
                                 QStringLiteral("<command> [options]"));
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!global.parse(arguments)) {
        err << ProgramName << QStringLiteral(": ") << global.errorText() << Qt::endl;
        return CliUsageError;
    }
    const QStringList positional = global.positionalArguments();
    if (positional.isEmpty()) {
        if (global.isSet(QStringLiteral("help"))) {
            out << helpText(global, {}) << commandList();
            return 0;
        }
        err << helpText(global, {}) << commandList();
        return CliUsageError;
    }

    const CliCommand *command = findCommand(positional.first());
    if (!command) {
        err << ProgramName << QStringLiteral(": unknown command \"") << positional.first()
            << QStringLiteral("\".") << commandList();
        return CliUsageError;
    }
    const QString name = QString::fromLatin1(command->name);

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(command->summary));
    addGlobalOptions(parser);
    if (command->setup)
        command->setup(parser);
    if (!parser.parse(QStringList{arguments.value(0, ProgramName)} + positional.mid(1))) {
        err << ProgramName << QLatin1Char(' ') << name << QStringLiteral(": ") << parser.errorText()
            << Qt::endl;
        return CliUsageError;
    }
    if (global.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help"))) {
        out << helpText(parser, name);
        return 0;
    }

    CliGlobalOptions options;
    if (!mergeGlobalOptions(global, options, err) || !mergeGlobalOptions(parser, options, err))
        return CliUsageError;

    ui.setAssumeYes(options.assumeYes);
    ui.setPresetInputs(options.answers);
    CliCommandRun run(parser, options, ui, out, err);
    try {
        return command->run(run);
    } catch (const NoSimulatorInstalled &) {
        return 1; // the message has been shown
    } catch (const CliFailure &failure) {
        err << ProgramName << QLatin1Char(' ') << name << QStringLiteral(": ") << failure.message << Qt::endl;
        return 1;
    } catch (const LmError &error) {
        reportError(ui, ProgramName + QLatin1Char(' ') + name, error);
        return 1;
    }
}
