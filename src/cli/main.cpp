#include "cli/commands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivale-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = runCli(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
