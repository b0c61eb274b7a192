// diz: a scenery's FILE_ID.DIZ, printed or written.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "packaging/fileiddiz.h"

void setupDiz(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("TITLE"), QStringLiteral("The scenery's title."));
    parser.addOption(QCommandLineOption(
        QStringLiteral("set"),
        QStringLiteral("Write TEXT as the scenery's FILE_ID.DIZ (450 characters at most; a line break counts "
                       "as two)."),
        QStringLiteral("TEXT")));
}

int runDiz(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    if (arguments.size() != 1) {
        run.err << QStringLiteral("lumivale-cli diz: TITLE [--set TEXT] (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliSession &session = run.session();
    CliLibrary library(session, run.options.simType);
    library.load();
    const SceneryPtr scenery = library.scenery(arguments.first(), true);

    const QString file = FileIdDiz::path(library.manager(), *scenery);
    const FileSystem &fs = session.fs();
    if (!run.args.isSet(QStringLiteral("set"))) {
        run.out << FileIdDiz::read(fs, file);
        return 0;
    }
    // The file keeps the CR LF line ends of every text file the program writes.
    QString text = run.args.value(QStringLiteral("set"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    FileIdDiz::write(fs, file, text);
    run.out << QStringLiteral("Wrote %1").arg(file);
    if (text.size() > FileIdDiz::MaxLength)
        run.out
            << QStringLiteral(" (the first %1 of %2 characters)").arg(FileIdDiz::MaxLength).arg(text.size());
    run.out << QLatin1Char('\n');
    return 0;
}
