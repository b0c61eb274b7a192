#include "backup/texturedialog.h"

#include "backup/texturemanager.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"

GlobalTextureDialog::GlobalTextureDialog(TextureManager &manager) : m_manager(manager) {}

void GlobalTextureDialog::refresh()
{
    lstBackups.clear();
    lstBackupsChecked.clear();
    // A backup root that cannot be made is reported; the list stays empty and the dialog still
    // offers what does not need a backup.
    runStep(m_manager.context().ui, QStringLiteral(".Form_Load"),
            [this] { lstBackups = m_manager.backups(); });
    lstBackupsChecked = QList<bool>(lstBackups.size(), false);
}

void GlobalTextureDialog::Form_Load()
{
    refresh();
}

void GlobalTextureDialog::lstBackups_ItemCheck(int index, bool checked)
{
    if (index >= 0 && index < lstBackupsChecked.size())
        lstBackupsChecked[index] = checked;
}

QStringList GlobalTextureDialog::checkedBackups() const
{
    QStringList names;
    for (qsizetype i = 0; i < lstBackups.size(); ++i) {
        if (lstBackupsChecked.value(i))
            names.append(lstBackups.at(i));
    }
    return names;
}

void GlobalTextureDialog::cmdMakeBackup_Click()
{
    m_manager.makeBackup();
    refresh();
}

void GlobalTextureDialog::cmdInstall_Click()
{
    m_manager.installBackups(checkedBackups());
    refresh();
}

void GlobalTextureDialog::cmdDelete_Click()
{
    m_manager.deleteBackups(checkedBackups());
    refresh();
}

void GlobalTextureDialog::cmdEmpty_Click()
{
    // Emptying may have made a backup first.
    m_manager.emptyFolder();
    refresh();
}

void TextureCommands::mnuGTM_Click(AppContext &context, const QString &simFolder, const StatusFn &display)
{
    if (display)
        display(QStringLiteral("Open global texture manager."));
    TextureManager manager(context, simFolder);
    GlobalTextureDialog dialog(manager);
    dialog.Form_Load();
    context.ui.showModal(dialog);
    if (display)
        display(QStringLiteral("Ready."));
}
