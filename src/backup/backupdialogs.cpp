#include "backup/backupdialogs.h"

#include "backup/backupmanager.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"

namespace {

QString selected(const QStringList &entries, int index)
{
    return index >= 0 && index < entries.size() ? entries.at(index) : QString();
}

// The text field may hand back bare line feeds; the list file keeps CR LF like every text file
// the program writes.
QByteArray listFileBytes(const QString &text)
{
    QString normalised;
    normalised.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\n' && (i == 0 || text.at(i - 1) != u'\r'))
            normalised += u'\r';
        normalised += c;
    }
    return Cp1252::encode(normalised);
}

} // namespace

// ---------------------------------------------------------------------------------------------

InstallBackupDialog::InstallBackupDialog(BackupManager &manager, bool old) : blnOld(old), m_manager(manager) {}

void InstallBackupDialog::Form_Load()
{
    cboBackups = blnOld ? m_manager.backupFolders() : m_manager.backupFiles();
    cboBackupsIndex = cboBackups.isEmpty() ? -1 : 0;
}

void InstallBackupDialog::cmdOK_Click()
{
    sBackup = selected(cboBackups, cboBackupsIndex);
    visible = false;
}

void InstallBackupDialog::cmdCancel_Click()
{
    sBackup.clear();
    visible = false;
}

// ---------------------------------------------------------------------------------------------

DeleteBackupDialog::DeleteBackupDialog(BackupManager &manager) : m_manager(manager) {}

void DeleteBackupDialog::Form_Load()
{
    cboBackups = m_manager.backupFiles();
    cboBackupsIndex = cboBackups.isEmpty() ? -1 : 0;
}

void DeleteBackupDialog::cmdOK_Click()
{
    sBackup = selected(cboBackups, cboBackupsIndex);
    visible = false;
}

void DeleteBackupDialog::cmdCancel_Click()
{
    sBackup.clear();
    visible = false;
}

// ---------------------------------------------------------------------------------------------

BackupFileListDialog::BackupFileListDialog(BackupManager &manager) : m_manager(manager) {}

void BackupFileListDialog::Form_Load()
{
    const FileSystem &fs = m_manager.context().fs;
    const QString path = m_manager.backupListPath();
    if (!fs.fileExists(path))
        fs.writeAll(path, QByteArray());
    txtList = Cp1252::decode(fs.readAll(path));
}

void BackupFileListDialog::cmdOK_Click()
{
    try {
        m_manager.context().fs.writeAll(m_manager.backupListPath(), listFileBytes(txtList));
    } catch (const LmError &e) {
        reportError(m_manager.context().ui, QStringLiteral(".cmdOK_Click"), e);
    }
    visible = false;
}

void BackupFileListDialog::cmdCancel_Click()
{
    visible = false;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Shows the command's status text, runs it, reports a failure under the procedure's name and
// ends with "Ready." either way.
template<typename F>
void runCommand(BackupManager &manager, const BackupCommands::StatusFn &display, const QString &statusText,
                const QString &procedure, F &&body)
{
    if (display)
        display(statusText);
    try {
        body();
    } catch (const LmError &e) {
        reportError(manager.context().ui, procedure, e);
    }
    if (display)
        display(QStringLiteral("Ready."));
}

void pickAndRun(BackupManager &manager, InstallBackupDialog &dialog,
                Outcome (BackupManager::*operation)(const QString &))
{
    dialog.Form_Load();
    manager.context().ui.showModal(dialog);
    if (dialog.sBackup.isEmpty())
        return;
    BusyPointer busy(manager.context().ui);
    (manager.*operation)(dialog.sBackup);
}

} // namespace

void BackupCommands::mnuBackupMake_Click(BackupManager &manager, const StatusFn &display)
{
    runCommand(manager, display, QStringLiteral("Make Backup."), QStringLiteral(".mnuBackupMake_Click"),
               [&] { manager.makeBackup(); });
}

void BackupCommands::mnuWizardBackup_Click(BackupManager &manager, const StatusFn &display)
{
    runCommand(manager, display, QStringLiteral("Install backup."), QStringLiteral(".mnuWizardBackup_Click"), [&] {
        InstallBackupDialog dialog(manager, false);
        pickAndRun(manager, dialog, &BackupManager::installBackup);
    });
}

void BackupCommands::mnuWizardBackup15_Click(BackupManager &manager, const StatusFn &display)
{
    runCommand(manager, display, QStringLiteral("Install backup V1.5."), QStringLiteral(".mnuWizardBackup15_Click"),
               [&] {
                   InstallBackupDialog dialog(manager, true);
                   pickAndRun(manager, dialog, &BackupManager::installBackup_old);
               });
}

void BackupCommands::mnuWizardDeleteBackup_Click(BackupManager &manager, const StatusFn &display)
{
    runCommand(manager, display, QStringLiteral("Delete backup."), QStringLiteral(".mnuWizardDeleteBackup_Click"),
               [&] {
                   DeleteBackupDialog dialog(manager);
                   dialog.Form_Load();
                   manager.context().ui.showModal(dialog);
                   if (dialog.sBackup.isEmpty())
                       return;
                   BusyPointer busy(manager.context().ui);
                   manager.deleteBackup(dialog.sBackup);
               });
}

void BackupCommands::mnuWizardBackupFiles_Click(BackupManager &manager, const StatusFn &display)
{
    runCommand(manager, display, QStringLiteral("Show backup file list."),
               QStringLiteral(".mnuWizardBackupFiles_Click"), [&] {
                   BackupFileListDialog dialog(manager);
                   dialog.Form_Load();
                   manager.context().ui.showModal(dialog);
               });
}
