// Writing a new "Scenery.cfg" for the selected simulator from the sceneries of chosen sets.

#include "library/scenerymanager.h"
#include "library/vbconvert.h"
#include "platform/errorreporter.h"
#include "platform/filesystem.h"

#include <QSet>

using TextLines::singleLine;

namespace {

const QString CreateProcedure = QStringLiteral("SceneryManager.CreateCFG");

// The simulators cannot load more areas than this from one file.
constexpr qsizetype MaxSceneries = 332;
// Beyond this size the simulators may fail while reading the file.
constexpr qint32 MaxFileSize = 65500;

QString flagText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// The last three digits of "000" + n.
QString threeDigits(int n)
{
    return (QStringLiteral("000") + QString::number(n)).right(3);
}

}

void SceneryManager::writeCFGEntry(TextFileWriter &out, const clsScenery &s, int areaNumber)
{
    auto line = [&](const QString &text) {
        const QString safe = singleLine(text);
        out.writeLine(safe);
        m_fileSize += qint32(safe.size()) + 1;
    };
    line(QStringLiteral("[Area.") + threeDigits(areaNumber) + QLatin1Char(']'));
    if (s.Texture_ID == 1)
        line(QStringLiteral("Texture_ID=") + QString::number(s.Texture_ID));
    line(QStringLiteral("Title=") + (s.Title.isEmpty() ? QStringLiteral("(unknown)") : s.Title));
    line(QStringLiteral("Active=") + flagText(s.Active));
    line(QStringLiteral("Layer=") + QString::number(areaNumber));
    if (s.IsLocalPath)
        line(QStringLiteral("Local=") + s.LocalPath);
    else
        line(QStringLiteral("Remote=") + s.RemotePath);
    if (SimType != 0)
        line(QStringLiteral("Required=") + flagText(s.Required));
    if (!s.Exclude.isEmpty())
        line(QStringLiteral("Exclude=") + s.Exclude);
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
        if (!s.Flatten(pos).isEmpty())
            line(QStringLiteral("Flatten.%1=").arg(pos) + s.Flatten(pos));
    }
    line(QString());
}

void SceneryManager::CreateCFG(const QString &strSet, const QStringList &oNodes, qint32 &mCache_Size, bool mClean_on_Exit,
                               const QString &mTitle, const QString &mDescription)
{
    UiPort &ui = m_context.ui;
    const FileSystem &fs = m_context.fs;
    try {
        if (ui.askYesNo(QStringLiteral("Do you want to make a backup first?"),
                        QStringLiteral("Creating new Scenery.CFG"))) {
            // The file about to be replaced is only safe once the backup exists; a failed or
            // stopped backup has told the user why and leaves the file as it is.
            if (m_backUpFirst && !m_backUpFirst())
                return;
        }

        const QStringList pieces = strSet.split(QStringLiteral("\r\n"));
        QSet<QString> selection;
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
            const clsCFG &set = *dicCFGs.item(pieces.at(i));
            for (const QString &title : set.colUsedSceneries)
                selection.insert(title);
        }
        if (selection.size() > MaxSceneries) {
            ui.inform(QStringLiteral("The selected sets cover more then the maximum of 332 sceneries."),
                      QStringLiteral("Can not create scenery.cfg"), UiPort::Icon::Critical);
            return;
        }

        m_fileSize = 0;
        TextFileWriter out(fs, FSPath() + QStringLiteral("\\Scenery.CFG"));
        auto line = [&](const QString &text) {
            const QString safe = singleLine(text);
            out.writeLine(safe);
            m_fileSize += qint32(safe.size()) + 1;
        };

        if (mCache_Size < 10)
            mCache_Size = 10;
        line(QStringLiteral("[General]"));
        if (SimType != 0) {
            line(QStringLiteral("Title=") + mTitle);
            line(QStringLiteral("Description=") + mDescription);
        }
        line(QStringLiteral("Cache_Size=") + QString::number(mCache_Size) + QLatin1Char('M'));
        line(QStringLiteral("Clean_on_Exit=") + flagText(mClean_on_Exit));
        line(QString());

        int n = 0;
        for (const QString &key : oNodes) {
            ui.processEvents();
            if (!isSceneryKey(key))
                continue;
            const clsScenery &s = *colScenery.item(key);
            if (!selection.contains(s.Title))
                continue;
            if (s.IsLocalPath && !fs.folderExists(getRealPath(s.LocalPath) + QStringLiteral("\\Scenery"))) {
                ui.inform(QStringLiteral("Scenery '") + s.Title
                              + QStringLiteral("' not included because the local path does not exist."),
                          QStringLiteral("Can not include scenery."), UiPort::Icon::Information);
                continue;
            }
            ++n;
            writeCFGEntry(out, s, n);
        }

        if (SimType == 1) {
            int p = 0;
            for (const CachePtr &cache : colCache) {
                auto cacheLine = [&](const QString &text) {
                    const QString safe = singleLine(text);
                    out.writeLine(safe);
                    m_fileSize += qint32(safe.size());
                };
                cacheLine(QStringLiteral("[Cache.") + threeDigits(p) + QLatin1Char(']'));
                cacheLine(QStringLiteral("Title=") + cache->strTitle);
                cacheLine(QStringLiteral("Local=") + cache->strLocal);
                cacheLine(QStringLiteral("Remote=") + cache->strRemote);
                cacheLine(QStringLiteral("Active=") + flagText(cache->blnActive));
                line(QString());
                ++p;
            }
        }
        out.commit();

        if (m_fileSize > MaxFileSize) {
            ui.inform(QStringLiteral("The Scenery.cfg is ") + QString::number(m_fileSize)
                          + QStringLiteral(" Byte long. (Max: 65500)\r\n"
                                           "This is too long for the scenery.cfg and can even result in an error "
                                           "by reading the scenery.cfg.\r\n"
                                           "Do this option again with less sceneries included!"),
                      QStringLiteral("File size"), UiPort::Icon::Critical);
        }
    } catch (const LmError &e) {
        reportError(ui, CreateProcedure, e);
    }
}
