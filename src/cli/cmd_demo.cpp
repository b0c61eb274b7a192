#include "app/demoinstallation.h"
#include "cli/commands.h"

void setupDemo(QCommandLineParser &parser)
{
    parser.addPositionalArgument(QStringLiteral("DIR"),
                                 QStringLiteral("New or empty folder for the demo's Wine prefix."));
    parser.addOption(
        QCommandLineOption(QStringLiteral("sceneries"),
                           QStringLiteral("Also write a library of N sceneries in nested levels and sets."),
                           QStringLiteral("N")));
}

int runDemo(CliCommandRun &run)
{
    const QStringList arguments = run.args.positionalArguments();
    if (arguments.size() != 1) {
        run.err << QStringLiteral("lumivale-cli demo: give exactly one folder (see --help).") << Qt::endl;
        return CliUsageError;
    }
    int sceneries = 0;
    if (run.args.isSet(QStringLiteral("sceneries"))) {
        bool ok = false;
        sceneries = run.args.value(QStringLiteral("sceneries")).toInt(&ok);
        if (!ok || sceneries < 1) {
            run.err << QStringLiteral("lumivale-cli demo: --sceneries takes a whole number of 1 or more.")
                    << Qt::endl;
            return CliUsageError;
        }
    }
    const DemoInstallation::Summary demo = DemoInstallation::create(arguments.first(), sceneries);

    run.out << QStringLiteral("Demo installation created in ") << demo.winePrefixHost << QLatin1Char('\n');
    run.out << QStringLiteral("  Flight Simulator 2002: %1 (%2 scenery areas)\n")
                   .arg(DemoInstallation::fs2002Folder())
                   .arg(demo.fs2002Areas);
    run.out << QStringLiteral("  Flight Simulator 2000: %1 (%2 scenery areas)\n")
                   .arg(DemoInstallation::fs2000Folder())
                   .arg(demo.fs2000Areas);
    run.out << QStringLiteral("  Sample scenery archives: ") << demo.archives.join(QStringLiteral(", "))
            << QLatin1Char('\n');
    if (demo.librarySceneries > 0)
        run.out << QStringLiteral("  Library: %1 sceneries\n").arg(demo.librarySceneries);
    run.out << QStringLiteral("To use it:\n");
    run.out << QStringLiteral("  export WINEPREFIX=") << demo.winePrefixHost << QLatin1Char('\n');
    run.out << QStringLiteral("  export LUMIVALE_HOME=") << demo.programFolderHost << QLatin1Char('\n');
    return 0;
}
