#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringList>

#include <functional>

class SceneryManager;

// A CD-ROM source: the folders of the sceneries of some sets copied into one new folder, from which
// a CD can be written, each copied scenery's RemotePath naming the CD ("[" + CD name + "]" + title).
// Together the folders must fit on a CD.
class CdRomSource
{
public:
    explicit CdRomSource(SceneryManager &manager);

    // What a CD holds, in whole megabytes: a source of 650.99 MB fits, one of 651 does not.
    static constexpr qint64 CapacityMegabytes = 650;
    // bytes / 1024 / 1024 without its fraction.
    static qint64 wholeMegabytes(qint64 bytes);

    // The folder a scenery is copied into below the CD folder: its title with each of
    // : \ / * ? " < > | made "-" (CorrectDir), and a name of dots and blanks alone ("..") made of
    // "-" as well, so that every title names a folder inside the CD folder.
    static QString folderName(const QString &title);
    // Whether a typed CD name names one new folder of the destination folder: not empty, not made
    // of dots and blanks alone, and without \ / : * ? " < > |.
    static bool isCdName(const QString &name);

    // Copies the local folder of every scenery that is a member of a set named in strSet (each
    // name followed by CR LF) into strPath, a folder of its own per scenery, in tree order: oNodes
    // holds the keys of the tree's nodes in walk order. A folder is counted and copied once,
    // however many sceneries use it, and they all get the remote path of the first. strName is
    // the CD's name in the remote paths.
    //
    // Refused, with the message shown and nothing made, when the folders hold more than
    // CapacityMegabytes whole megabytes. Stopped when the user cancels between two files: while
    // counting nothing was made; while copying, the sceneries copied before keep their copy and
    // their remote path, the one that was being copied leaves nothing, and the user is told which
    // were copied. Failed likewise, after the error naming the file was shown. Done otherwise,
    // with a problem for each scenery whose folder did not exist (each shown on the way).
    Outcome MakeCDROM(const QString &strSet, const QStringList &oNodes, const QString &strPath,
                      const QString &strName);

    // What the last MakeCDROM counted and did.
    qint64 bytes() const { return m_bytes; }
    // The sceneries given the CD's remote path, in tree order.
    const QStringList &copied() const { return m_copied; }
    // The sceneries whose local folder did not exist.
    const QStringList &missing() const { return m_missing; }

    // Test seam: how a file's size is counted (the size on disk otherwise).
    using FileSize = std::function<qint64(const QString &file)>;
    void setFileSizeForTesting(FileSize size) { m_fileSize = std::move(size); }

private:
    struct Folder;
    struct Plan;

    Plan makePlan(const QString &strSet, const QStringList &oNodes) const;
    void list(const QString &source, const QString &relative, Folder &folder) const;

    SceneryManager &m_manager;
    FileSize m_fileSize;
    qint64 m_bytes = 0;
    QStringList m_copied;
    QStringList m_missing;
};
