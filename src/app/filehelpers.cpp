#include "app/filehelpers.h"

#include "library/scenerymanager.h"
#include "platform/uiport.h"
#include "platform/winpath.h"

#include <QStringList>

std::optional<QString> Start::chooseFolder(UiPort &ui, const QString &title, const QString &startFolder)
{
    const std::optional<QString> chosen = ui.chooseFolder(title, startFolder);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return WinPath::withTrailingSeparator(*chosen);
}

void Start::FolderMemory::SetDicPath(const QString &key, const QString &folder)
{
    m_folders.insert(key, folder);
}

QString Start::FolderMemory::GetDicPath(const QString &key) const
{
    const auto it = m_folders.constFind(key);
    return it == m_folders.cend() ? m_manager.FSPath() : *it;
}
