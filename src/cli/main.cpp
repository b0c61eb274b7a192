#include "cli/clilibrary.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <QTextStream>

#ifdef LUMIVALE_CLI_PDF
#include "gui/reports/reportpaint.h"
#include "reports/frmprintscenerylist.h"

#include <QGuiApplication>
#endif

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

#ifdef LUMIVALE_CLI_PDF
// Painting a PDF takes fonts, and fonts take a graphical application; the command line shows no
// window, so it never needs a screen for one.
bool paintsPages(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pdf") == 0 || std::strncmp(argv[i], "--pdf=", 6) == 0)
            return true;
    }
    return false;
}
#endif

std::unique_ptr<QCoreApplication> makeApplication(int &argc, char *argv[])
{
#ifdef LUMIVALE_CLI_PDF
    if (paintsPages(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        setReportPdfWriter([](const ReportDocument &document, const QString &hostPath) {
            return ReportPaint::savePdf(document, frmPrintSceneryList::fontFamily(), hostPath, hostPath);
        });
        return std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivale-cli"));
    CliLibrary::keepUntilExit();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = runCli(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
