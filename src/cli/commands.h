#pragma once

#include "platform/outcome.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>
#include <span>

class CliSession;
class CliUi;
struct ReportDocument;

// The command line: lumivale-cli [global options] <command> [command options and arguments].
//
// Adding a command takes one function and one table row:
//   1. write `int runName(CliCommandRun &run)` in its own cmd_name.cpp (and, when the command has
//      options or arguments, `void setupName(QCommandLineParser &parser)` that adds them),
//   2. declare them below and add a row {"name", "one-line summary", setupName, runName} to the
//      table in commands.cpp, and the .cpp to src/cli/CMakeLists.txt.
// --help works for every command by itself. The run function prints results to run.out, talks to
// the user only through run.ui() (or run.err for plain notes), and returns the exit code (0 done,
// 1 failed) from the outcome of what it ran, never from the messages it showed. It may throw
// CliFailure, LmError or NoSimulatorInstalled: the dispatcher reports them.

// Options every command accepts, before or after the command name.
struct CliGlobalOptions
{
    std::optional<int> simType; // --sim 0|1|2: work on that installed simulator for this run
    bool assumeYes = false;     // --yes: answer Yes / OK to every question
    QStringList answers;        // --answer TEXT (repeatable): replies to input prompts, in order
};

class CliCommandRun
{
public:
    CliCommandRun(const QCommandLineParser &args, const CliGlobalOptions &options, CliUi &ui,
                  QTextStream &out, QTextStream &err);
    ~CliCommandRun();

    const QCommandLineParser &args; // the command's own options, parsed
    const CliGlobalOptions &options;
    QTextStream &out;
    QTextStream &err;

    CliUi &ui() { return m_ui; }
    // The installation from the environment, opened on first use.
    CliSession &session();

private:
    CliUi &m_ui;
    std::unique_ptr<CliSession> m_session;
};

struct CliCommand
{
    const char *name;
    const char *summary;
    void (*setup)(QCommandLineParser &parser); // may be null
    int (*run)(CliCommandRun &run);
};

std::span<const CliCommand> cliCommands();

// Exit codes besides 0 and 1.
constexpr int CliUsageError = 2;
// The program refused or the user declined (a Scenery.cfg over the area limit, a deletion answered
// No): nothing was changed.
constexpr int CliRefused = 3;
// A check found something (lumivale-cli check).
constexpr int CliFindings = 4;

// Runs one command line (arguments[0] is the program). Returns the exit code, which each command
// decides from the outcome of what it ran.
int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err);
// The same with the UI port given, which takes the global options' answers.
int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err, CliUi &ui);

// The commands.
void setupInfo(QCommandLineParser &parser);
int runInfo(CliCommandRun &run);
void setupDemo(QCommandLineParser &parser);
int runDemo(CliCommandRun &run);
void setupList(QCommandLineParser &parser);
int runList(CliCommandRun &run);
void setupSets(QCommandLineParser &parser);
int runSets(CliCommandRun &run);
void setupImport(QCommandLineParser &parser);
int runImport(CliCommandRun &run);
void setupWriteCfg(QCommandLineParser &parser);
int runWriteCfg(CliCommandRun &run);
void setupBackup(QCommandLineParser &parser);
int runBackup(CliCommandRun &run);
void setupDiz(QCommandLineParser &parser);
int runDiz(CliCommandRun &run);
void setupPack(QCommandLineParser &parser);
int runPack(CliCommandRun &run);
void setupTextures(QCommandLineParser &parser);
int runTextures(CliCommandRun &run);
void setupReport(QCommandLineParser &parser);
int runReport(CliCommandRun &run);

// Writes a report's printed pages as a PDF file (host path). Painting needs Qt Gui: a build with
// the graphical program sets one at the start; without one, "report --pdf" says so and ends with
// CliUsageError.
using ReportPdfWriter = std::function<Outcome(const ReportDocument &document, const QString &hostPath)>;
void setReportPdfWriter(ReportPdfWriter writer);
void setupCache(QCommandLineParser &parser);
int runCache(CliCommandRun &run);
void setupPaths(QCommandLineParser &parser);
int runPaths(CliCommandRun &run);
void setupAirports(QCommandLineParser &parser);
int runAirports(CliCommandRun &run);
void setupFileList(QCommandLineParser &parser);
int runFileList(CliCommandRun &run);
void setupInstall(QCommandLineParser &parser);
int runInstall(CliCommandRun &run);
void setupFlights(QCommandLineParser &parser);
int runFlights(CliCommandRun &run);
void setupSim(QCommandLineParser &parser);
int runSim(CliCommandRun &run);
void setupSetSim(QCommandLineParser &parser);
int runSetSim(CliCommandRun &run);
void setupCheck(QCommandLineParser &parser);
int runCheck(CliCommandRun &run);
void setupCdRom(QCommandLineParser &parser);
int runCdRom(CliCommandRun &run);
