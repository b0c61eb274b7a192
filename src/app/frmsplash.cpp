#include "app/frmsplash.h"

#include "platform/programinfo.h"

void frmSplash::Form_Load()
{
    lblBuild = QStringLiteral("Build: %1.%2.%3")
                   .arg(ProgramInfo::versionMajor())
                   .arg(ProgramInfo::versionMinor())
                   .arg(ProgramInfo::versionRevision());
}

void frmSplash::Form_KeyPress(int keyAscii)
{
    Q_UNUSED(keyAscii)
    hide();
}
