#pragma once

#include "platform/appcontext.h"
#include "platform/uiport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class TextureManager;

// The dialog "Global texture management": the texture backups, each line with a check box, and
// the buttons that back up, restore and empty the simulator's global texture folder. Every action
// ends with the list read again, nothing checked.
class GlobalTextureDialog : public FormLogic
{
public:
    explicit GlobalTextureDialog(TextureManager &manager);
    QString formName() const override { return QStringLiteral("GlobalTextureDialog"); }

    QString caption() const { return QStringLiteral("Global texture management"); }

    void Form_Load();
    void cmdMakeBackup_Click();
    void cmdInstall_Click();
    void cmdDelete_Click();
    void cmdEmpty_Click();
    void cmdExit_Click() { visible = false; }
    void lstBackups_ItemCheck(int index, bool checked);

    // The names checked, from the top.
    QStringList checkedBackups() const;

    QStringList lstBackups;
    QList<bool> lstBackupsChecked; // one per line
    bool visible = true;

private:
    void refresh();

    TextureManager &m_manager;
};

namespace TextureCommands {
using StatusFn = std::function<void(const QString &)>;

// "&Global texture management": the dialog for the simulator in simFolder, between the status
// texts "Open global texture manager." and "Ready.".
void mnuGTM_Click(AppContext &context, const QString &simFolder, const StatusFn &display);
} // namespace TextureCommands
