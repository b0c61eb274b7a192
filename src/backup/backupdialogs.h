#pragma once

#include "platform/uiport.h"

#include <QString>
#include <QStringList>

#include <functional>

class BackupManager;

// Picks one backup of the backup root: the zip backups, or the V1.5 backup folders when blnOld is
// set before Form_Load. sBackup holds the chosen name after OK, "" after Cancel.
class InstallBackupDialog : public FormLogic
{
public:
    explicit InstallBackupDialog(BackupManager &manager, bool old = false);
    QString formName() const override { return QStringLiteral("InstallBackupDialog"); }

    QString caption() const { return QStringLiteral("Install backup"); }

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cboBackups_DblClick() { cmdOK_Click(); }

    bool blnOld = false;
    QString sBackup;
    QStringList cboBackups;      // the list's entries
    int cboBackupsIndex = -1;    // the selected entry, -1 for none
    bool visible = true;

private:
    BackupManager &m_manager;
};

// Picks one zip backup to delete; same results as InstallBackupDialog.
class DeleteBackupDialog : public FormLogic
{
public:
    explicit DeleteBackupDialog(BackupManager &manager);
    QString formName() const override { return QStringLiteral("DeleteBackupDialog"); }

    QString caption() const { return QStringLiteral("Delete Backup"); }

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cboBackups_DblClick() { cmdOK_Click(); }

    QString sBackup;
    QStringList cboBackups;
    int cboBackupsIndex = -1;
    bool visible = true;

private:
    BackupManager &m_manager;
};

// Shows the simulator's backup file list as one text; OK writes the text back as it stands.
// Line ends are kept as CR LF in txtList, the way the file holds them.
class BackupFileListDialog : public FormLogic
{
public:
    explicit BackupFileListDialog(BackupManager &manager);
    QString formName() const override { return QStringLiteral("BackupFileListDialog"); }

    QString caption() const { return QStringLiteral("Backup file list"); }

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    QString txtList;
    bool visible = true;

private:
    BackupManager &m_manager;
};

// The commands of the "&Backup" menu. Each shows its status text, does its work and shows
// "Ready."; failures are reported under the command's procedure name.
namespace BackupCommands {
using StatusFn = std::function<void(const QString &)>;

void mnuBackupMake_Click(BackupManager &manager, const StatusFn &display);
void mnuWizardBackup_Click(BackupManager &manager, const StatusFn &display);
void mnuWizardBackup15_Click(BackupManager &manager, const StatusFn &display);
void mnuWizardDeleteBackup_Click(BackupManager &manager, const StatusFn &display);
void mnuWizardBackupFiles_Click(BackupManager &manager, const StatusFn &display);
}
