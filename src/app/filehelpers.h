#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class FileSystem;
class SceneryManager;
class UiPort;

// The small file helpers many commands share.
namespace Start {

// Creates every missing folder along a path ("C:\A\B\C"). Empty pieces from a doubled or trailing
// "\" are skipped; a network path keeps its "\\server\share" head, which is never created.
void CreateSubFolder(const FileSystem &fs, const QString &path);
// The folders CreateSubFolder makes sure of, outermost first, each ending in "\".
QStringList subFolderSteps(const QString &path);

// Replaces each of \ / : * ? " < > | by "_"; the argument is changed too.
QString NormaliseFilename(QString &fileName);

QString withoutTrailingBackslash(const QString &path);

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
