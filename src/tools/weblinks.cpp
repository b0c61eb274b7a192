#include "tools/weblinks.h"

#include "platform/launcher.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"

#include <QRegularExpression>

QString WebLinks::statusText(Link link)
{
    switch (link) {
    case Link::Documentation:
        return QStringLiteral("Open help.");
    case Link::Homepage:
        return QStringLiteral("Open Lumivale homepage.");
    case Link::Forum:
        return QStringLiteral("Open forum.");
    }
    return {};
}

QString WebLinks::target(const ProgramSettings &settings, Link link)
{
    switch (link) {
    case Link::Documentation:
        return settings.documentation();
    case Link::Homepage:
        return settings.homepage();
    case Link::Forum:
        return settings.forum();
    }
    return {};
}

bool WebLinks::isWebAddress(const QString &target)
{
    // A scheme of two letters or more: "C:\..." is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target.trimmed()).hasMatch();
}

QUrl WebLinks::desktopAddress(const FileSystem &fs, const QString &target)
{
    const QString text = target.trimmed();
    if (isWebAddress(text))
        return QUrl(text);
    const QString host = fs.toHost(text);
    return host.isEmpty() ? QUrl() : QUrl::fromLocalFile(host);
}

Outcome WebLinks::open(AppContext &context, const ProgramSettings &settings, Launcher &launcher, Link link)
{
    const QString browser = settings.browser();
    const QString address = target(settings, link);

    if (launcher.programExists(browser)) {
        // A program of this system reads a file by its own path; a Windows program by the
        // Windows one.
        QString argument = address;
#ifndef Q_OS_WIN
        if (!isWebAddress(address) && !browser.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
            const QUrl local = desktopAddress(context.fs, address);
            if (local.isLocalFile())
                argument = local.toLocalFile();
        }
#endif
        if (launcher.startProgram(browser, {argument}))
            return Outcome::done();
    }
    if (launcher.openWithDesktop(desktopAddress(context.fs, address)))
        return Outcome::done();

    const LmError error = LmError::user(
        CannotOpen, QStringLiteral("Could not open \"%1\": the browser \"%2\" could not be started, and the "
                                   "desktop has no program for the address. Choose a browser under "
                                   "Preferences, Basic Folders.")
                        .arg(address, browser));
    context.ui.inform(error.description(), QStringLiteral("Open address"), UiPort::Icon::Exclamation);
    return Outcome::failed(error, isWebAddress(address) ? QString() : address);
}
