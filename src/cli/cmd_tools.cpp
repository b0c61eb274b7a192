// cache and paths: the cache manager's entries and the scenery path tools, on the same core the
// window's "Cache", "Test local paths" and "Absolute scenery paths" commands use.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "tools/pathtools.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QCommandLineOption jsonOption()
{
    return QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON array."));
}

void printJson(QTextStream &out, const QJsonArray &array)
{
    out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

int pathsTest(CliCommandRun &run, CliLibrary &library)
{
    const QList<SceneryPtr> marked =
        PathTools::sceneriesWithoutSceneryFolder(library.manager(), &library.tree());
    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const SceneryPtr &s : marked)
            array.append(QJsonObject{{QStringLiteral("key"), s->Key},
                                     {QStringLiteral("title"), s->Title},
                                     {QStringLiteral("localPath"), s->LocalPath}});
        printJson(run.out, array);
        return 0;
    }
    for (const SceneryPtr &s : marked)
        run.out << s->Title << QStringLiteral("  ") << s->LocalPath << QLatin1Char('\n');
    run.out << marked.size()
            << (marked.size() == 1 ? QStringLiteral(" scenery has") : QStringLiteral(" sceneries have"))
            << QStringLiteral(" no \"Scenery\" folder in its local folder.\n");
    return 0;
}

int pathsAbsolute(CliCommandRun &run, CliLibrary &library)
{
    SceneryManager &manager = library.manager();
    int changed = 0;
    if (run.args.isSet(QStringLiteral("title"))) {
        const QString title = run.args.value(QStringLiteral("title"));
        SceneryPtr scenery;
        for (const SceneryPtr &s : manager.colScenery) {
            if (s->Title == title) {
                scenery = s;
                break;
            }
        }
        if (!scenery)
            throw CliFailure{QStringLiteral("there is no scenery titled \"%1\".").arg(title)};
        const QString local = scenery->LocalPath;
        const QString remote = scenery->RemotePath;
        PathTools::makeOneAbsolute(run.session().context(), manager.FSPath(), *scenery);
        changed = (scenery->LocalPath != local || scenery->RemotePath != remote) ? 1 : 0;
    } else {
        changed = PathTools::makeAllAbsolute(manager);
    }
    if (!library.save().isDone())
        return 1;
    run.out << changed << (changed == 1 ? QStringLiteral(" scenery") : QStringLiteral(" sceneries"))
            << QStringLiteral(" changed; the library is saved.\n");
    return 0;
}

} // namespace

void setupCache(QCommandLineParser &parser)
{
    parser.addOption(jsonOption());
}

int runCache(CliCommandRun &run)
{
    if (!run.args.positionalArguments().isEmpty()) {
        run.err << QStringLiteral("lumivale-cli cache: takes no arguments (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliLibrary library(run.session(), run.options.simType);
    library.load();
    SceneryManager &manager = library.manager();
    if (manager.SimType != 1) {
        run.ui().inform(QStringLiteral("The cache manager is only accessable for FS2002"),
                        QStringLiteral("Info"));
        return CliRefused;
    }
    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const CachePtr &c : manager.colCache)
            array.append(QJsonObject{{QStringLiteral("number"), c->intCache},
                                     {QStringLiteral("title"), c->strTitle},
                                     {QStringLiteral("local"), c->strLocal},
                                     {QStringLiteral("remote"), c->strRemote},
                                     {QStringLiteral("active"), c->blnActive}});
        printJson(run.out, array);
        return 0;
    }
    for (const CachePtr &c : manager.colCache)
        run.out << (QStringLiteral("000") + QString::number(c->intCache)).right(3) << QStringLiteral("  ")
                << (c->blnActive ? QStringLiteral("active  ") : QStringLiteral("inactive"))
                << QStringLiteral("  ") << c->strTitle << QStringLiteral("  local: ") << c->strLocal
                << QStringLiteral("  remote: ") << c->strRemote << QLatin1Char('\n');
    return 0;
}

void setupPaths(QCommandLineParser &parser)
{
    parser.addPositionalArgument(
        QStringLiteral("ACTION"),
        QStringLiteral("test: the sceneries whose local folder has no \"Scenery\" folder (paths beginning "
                       "with \"[\" are never listed). absolute: relative local and remote paths made "
                       "absolute below the simulator's folder (the root \"scenery\" path stays relative), "
                       "then the library saved."),
        QStringLiteral("test|absolute"));
    parser.addOption(jsonOption());
    parser.addOption(QCommandLineOption(QStringLiteral("title"),
                                        QStringLiteral("absolute: only the scenery with this title."),
                                        QStringLiteral("T")));
}

int runPaths(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    const QString action = arguments.value(0);
    if (arguments.size() != 1 || (action != QStringLiteral("test") && action != QStringLiteral("absolute"))) {
        run.err << QStringLiteral("lumivale-cli paths: give \"test\" or \"absolute\" (see --help).")
                << Qt::endl;
        return CliUsageError;
    }
    if (action == QStringLiteral("test")) {
        if (run.args.isSet(QStringLiteral("title"))) {
            run.err << QStringLiteral("lumivale-cli paths: --title goes with \"absolute\".") << Qt::endl;
            return CliUsageError;
        }
        CliLibrary library(run.session(), run.options.simType);
        library.load();
        return pathsTest(run, library);
    }
    CliSession &session = run.session();
    session.lockLibrary();
    CliLibrary library(session, run.options.simType);
    library.requireCertainSimulator();
    if (!library.load().isEmpty())
        throw CliFailure{
            QStringLiteral("the library was read with errors; nothing changed. Repair the file (the "
                           ".backup copy beside it holds its previous state).")};
    return pathsAbsolute(run, library);
}
