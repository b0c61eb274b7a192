#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class SceneryManager;
class UiPort;

// The folder choosers of the window's commands and the folder each one last showed.
namespace Start {

// A "Select folder" chooser: the folder the user chose, ending in "\" as the commands take it, or
// nothing when the choice was cancelled.
std::optional<QString> chooseFolder(UiPort &ui, const QString &title, const QString &startFolder);

// The last folder used per chooser key ("CDRom", "CreateZIP", "AddScreen0", ...).
class FolderMemory
{
public:
    explicit FolderMemory(const SceneryManager &manager) : m_manager(manager) {}

    // Stores the folder under the key, replacing an earlier one.
    void SetDicPath(const QString &key, const QString &folder);
    // The folder stored under the key; the selected simulator's folder when none is.
    QString GetDicPath(const QString &key) const;
    bool contains(const QString &key) const { return m_folders.contains(key); }

private:
    const SceneryManager &m_manager;
    QHash<QString, QString> m_folders;
};

} // namespace Start
