#include "app/frmscenery.h"

#include "backup/backupdialogs.h"
#include "backup/backupmanager.h"

// The command table's rows as the menus, the toolbar and the function keys run them. A row runs
// here only when its command is part of this build; the view disables the others' entries.
bool frmScenery::dispatch(int row, bool run)
{
    auto command = [run](auto &&procedure) {
        if (run)
            procedure();
        return true;
    };
    switch (row) {
    // The organising commands: levels, sceneries, moves and the search.
    case 1:
        return command([this] { mnuLevelAdd_Click(); });
    case 2:
        return command([this] { mnuLevelRemove_Click(); });
    case 3:
        return command([this] { mnuLevelRename_Click(); });
    case 4:
        return command([this] { mnuLevelSort_Click(); });
    case 5:
        return command([this] { mnuLevelSortDesc_Click(); });
    case 6:
        return command([this] { MoveTo(); });
    case 8:
        return command([this] { mnuSceneryRemove_Click(); });
    case 9:
        return command([this] { mnuSceneryUnremove_Click(); });
    case 10:
        return command([this] { mnuSceneryRename_Click(); });
    case 11:
        return command([this] { mnuSceneryMove_Click(); });
    case 22:
        return command([this] { mnuWizardSearch_Click(); });
    case 42:
    case 43:
    case 44:
    case 45:
        return command([this, row] { InnerMove(row - 42); });
    case 15:
        return command([this] { mnuSetAdd_Click(); });
    case 16:
        return command([this] { mnuSetRemove_Click(); });
    case 17:
        return command([this] { mnuSetRename_Click(); });
    case 18:
        return command([this] { mnuFindSceneryWithoutSet_Click(); });
    case 19:
        return command([this] { mnuCreateSetfromCurrent_Click(); });
    case 29:
        return m_backup && command([this] { mnuBackupMake_Click(); });
    case 30:
        return m_backup && command([this] { mnuWizardBackup_Click(); });
    case 31:
        return m_backup && command([this] { mnuWizardBackup15_Click(); });
    case 32:
        return m_backup && command([this] { mnuWizardDeleteBackup_Click(); });
    case 33:
        return m_backup && command([this] { mnuWizardBackupFiles_Click(); });
    default:
        return false;
    }
}

bool frmScenery::isCommandAvailable(int row) const
{
    return const_cast<frmScenery *>(this)->dispatch(row, false);
}

QString frmScenery::notAvailableText(const QString &caption)
{
    return QStringLiteral("\"%1\" is not available in this version.").arg(caption);
}

void frmScenery::runCommand(int row)
{
    if (row < 1 || row >= Start::CommandCount)
        return;
    if (!dispatch(row, true)) {
        Display(notAvailableText(Start::commandRows()[std::size_t(row)].caption));
        return;
    }
    // Commands add and remove levels, sceneries and set members; the counts follow each of them.
    showSetCounts();
}

bool frmScenery::functionKey(int n, bool shift, bool ctrl, bool alt)
{
    if (n < 1 || n > Start::FunctionKeyCount || shift || ctrl || alt)
        return false;
    const int row = Start::functionKeyCommand(m_functionKeys, n);
    if (row < 1)
        return false;
    runCommand(row);
    return true;
}

// ---- The "&Backup" menu ------------------------------------------------------------------

void frmScenery::mnuBackupMake_Click()
{
    if (m_backup)
        BackupCommands::mnuBackupMake_Click(*m_backup, [this](const QString &text) { Display(text); });
}

void frmScenery::mnuWizardBackup_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackup_Click(*m_backup, [this](const QString &text) { Display(text); });
}

void frmScenery::mnuWizardBackup15_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackup15_Click(*m_backup, [this](const QString &text) { Display(text); });
}

void frmScenery::mnuWizardDeleteBackup_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardDeleteBackup_Click(*m_backup, [this](const QString &text) { Display(text); });
}

void frmScenery::mnuWizardBackupFiles_Click()
{
    if (m_backup)
        BackupCommands::mnuWizardBackupFiles_Click(*m_backup, [this](const QString &text) { Display(text); });
}
