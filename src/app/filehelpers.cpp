#include "app/filehelpers.h"

#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "platform/uiport.h"

#include <QStringList>

QStringList Start::subFolderSteps(const QString &path)
{
    QStringList steps;
    QString accumulated;
    QStringList pieces = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (path.startsWith(QStringLiteral("\\\\"))) {
        // The server and the share exist or not; they cannot be created as folders.
        accumulated = QStringLiteral("\\\\");
        for (int i = 0; i < 2 && !pieces.isEmpty(); ++i)
            accumulated += pieces.takeFirst() + QLatin1Char('\\');
    } else if (path.startsWith(QLatin1Char('\\'))) {
        accumulated = QStringLiteral("\\");
    }
    for (const QString &piece : std::as_const(pieces)) {
        accumulated += piece + QLatin1Char('\\');
        steps.append(accumulated);
    }
    return steps;
}

void Start::CreateSubFolder(const FileSystem &fs, const QString &path)
{
    const QStringList steps = subFolderSteps(path);
    for (const QString &folder : steps) {
        if (!fs.folderExists(folder))
            fs.createFolder(folder);
    }
}

QString Start::NormaliseFilename(QString &fileName)
{
    for (const QChar c : {u'\\', u'/', u':', u'*', u'?', u'"', u'<', u'>', u'|'})
        fileName.replace(c, QLatin1Char('_'));
    return fileName;
}

QString Start::withoutTrailingBackslash(const QString &path)
{
    QString result = path;
    while (result.endsWith(QLatin1Char('\\')) && result.size() > 1 && !result.endsWith(QStringLiteral(":\\")))
        result.chop(1);
    return result;
}

std::optional<QString> Start::chooseFolder(UiPort &ui, const QString &title, const QString &startFolder)
{
    const std::optional<QString> chosen = ui.chooseFolder(title, startFolder);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return chosen->endsWith(QLatin1Char('\\')) ? *chosen : *chosen + QLatin1Char('\\');
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
