#include "install/frminstallprogress.h"

void frmInstallProgress::run()
{
    if (m_ran)
        return;
    m_ran = true;
    if (work)
        work();
    visible = false;
    if (changed)
        changed();
}

void frmInstallProgress::setCurrentFile(const QString &file)
{
    lblFile = file;
    ++filesDone;
    if (changed)
        changed();
    m_ui.processEvents();
}

void frmInstallProgress::cmdCancel_Click()
{
    m_cancelled = true;
    cmdCancelEnabled = false;
    lblFile = QStringLiteral("Stopping after the current file...");
    if (changed)
        changed();
}
