#include "platform/winpath.h"

#include "platform/filesystem.h"

namespace {

const QString SceneryEnding = QStringLiteral("\\scenery");

// Every "\" at the end removed, roots included: the form folders are compared in.
QString withoutAnySeparatorAtEnd(QString path)
{
    while (path.endsWith(WinPath::Separator))
        path.chop(1);
    return path;
}

} // namespace

QString WinPath::join(const QString &folder, const QString &name)
{
    const bool folderEnds = folder.endsWith(Separator);
    const bool nameStarts = name.startsWith(Separator);
    if (folderEnds && nameStarts)
        return folder + name.mid(1);
    if (folderEnds || nameStarts)
        return folder + name;
    return folder + Separator + name;
}

QString WinPath::withoutTrailingSeparator(const QString &path)
{
    QString result = path;
    while (result.endsWith(Separator) && result.size() > 1 && !result.endsWith(QStringLiteral(":\\")))
        result.chop(1);
    return result;
}

QString WinPath::withTrailingSeparator(const QString &path)
{
    return path.endsWith(Separator) ? path : path + Separator;
}

QString WinPath::withoutSceneryFolder(const QString &path)
{
    if (path.size() >= SceneryEnding.size() && path.endsWith(SceneryEnding, Qt::CaseInsensitive))
        return path.chopped(SceneryEnding.size());
    return path;
}

bool WinPath::sameFolder(const QString &a, const QString &b)
{
    return withoutAnySeparatorAtEnd(a).compare(withoutAnySeparatorAtEnd(b), Qt::CaseInsensitive) == 0;
}

bool WinPath::isBelow(const QString &folder, const QString &base)
{
    return withoutAnySeparatorAtEnd(folder).startsWith(withoutAnySeparatorAtEnd(base) + Separator,
                                                       Qt::CaseInsensitive);
}

bool WinPath::isDriveRoot(const QString &path)
{
    const QString p = withoutAnySeparatorAtEnd(path);
    return p.isEmpty() || (p.size() == 2 && p.at(1) == QLatin1Char(':'));
}

QString WinPath::folderKey(const QString &path)
{
    QString key = withoutAnySeparatorAtEnd(path);
    // Plain ASCII, by far the most common, is upper-cased here: Qt's general case conversion costs
    // ten times as much, and a library of many sceneries takes the key of each.
    bool lower = false;
    for (const QChar c : std::as_const(key)) {
        if (c.unicode() >= 0x80)
            return key.toUpper();
        lower = lower || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    }
    if (lower) {
        for (QChar &c : key) {
            if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                c = QChar(c.unicode() - (u'a' - u'A'));
        }
    }
    return key;
}

QStringList WinPath::subFolderSteps(const QString &path)
{
    QStringList steps;
    QString accumulated;
    QStringList pieces = path.split(Separator, Qt::SkipEmptyParts);
    if (path.startsWith(QStringLiteral("\\\\"))) {
        // The server and the share exist or not; they cannot be created as folders.
        accumulated = QStringLiteral("\\\\");
        for (int i = 0; i < 2 && !pieces.isEmpty(); ++i)
            accumulated += pieces.takeFirst() + Separator;
    } else if (path.startsWith(Separator)) {
        accumulated = Separator;
    }
    for (const QString &piece : std::as_const(pieces)) {
        accumulated += piece + Separator;
        steps.append(accumulated);
    }
    return steps;
}

void WinPath::CreateSubFolder(const FileSystem &fs, const QString &path)
{
    const QStringList steps = subFolderSteps(path);
    for (const QString &folder : steps) {
        if (!fs.folderExists(folder))
            fs.createFolder(folder);
    }
}

QString WinPath::NormaliseFilename(QString &fileName)
{
    for (const QChar c : {u'\\', u'/', u':', u'*', u'?', u'"', u'<', u'>', u'|'})
        fileName.replace(c, QLatin1Char('_'));
    return fileName;
}

QString WinPath::trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
