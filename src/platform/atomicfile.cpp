#include "platform/atomicfile.h"

#include "platform/filefaults.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

bool hasWriteMark(const QFileInfo &info)
{
    return info.permissions() & QFileDevice::WriteOwner;
}

qint32 numberOf(QFileDevice::FileError error)
{
    return error == QFileDevice::ResourceError ? LmError::DiskFull : LmError::PathFileAccess;
}

} // namespace

QString AtomicFile::resolveLinks(const QString &hostPath)
{
    QFileInfo info(hostPath);
    // A chain longer than this is a loop; the path is then left as it is and opening it fails.
    for (int depth = 0; depth < 64 && info.isSymLink(); ++depth) {
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            break;
        info.setFile(target);
    }
    return info.isSymLink() ? hostPath : info.absoluteFilePath();
}

AtomicFile::AtomicFile(const QString &hostPath, const QString &shownPath)
    : m_finalHostPath(resolveLinks(hostPath)), m_shown(shownPath), m_file(m_finalHostPath)
{
    const QFileInfo info(m_finalHostPath);
    const QString folder = info.absolutePath();
    if (info.isDir())
        fail(LmError::PathFileAccess);
    // A read-only file is not replaced: renaming over it would succeed here, not on Windows.
    if (info.exists() && !hasWriteMark(info))
        fail(LmError::PathFileAccess);
    if (!QFileInfo(folder).isDir())
        fail(LmError::PathNotFound);
    // Unbuffered: a write the disk refuses shows in the count it returns, not only at the end.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        fail(m_file.error() == QFileDevice::PermissionsError || !QFileInfo(folder).isWritable()
                 ? LmError::PermissionDenied
                 : LmError::PathFileAccess);
    }
}

AtomicFile::~AtomicFile()
{
    if (!m_committed && m_file.isOpen())
        m_file.cancelWriting();
}

void AtomicFile::fail(qint32 number)
{
    if (m_file.isOpen())
        m_file.cancelWriting();
    throw LmError::standard(number, m_shown);
}

void AtomicFile::write(const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const qint64 piece = qMin(PieceSize, size - done);
        if (FileFaults::strikes(FileStep::Write, m_finalHostPath))
            fail(LmError::DiskFull);
        if (m_file.write(data + done, piece) != piece) {
            // A write the disk cut short for want of room sets no error: only the next one would.
            const bool noRoom =
                QStorageInfo(QFileInfo(m_finalHostPath).absolutePath()).bytesAvailable() < size - done;
            fail(noRoom ? LmError::DiskFull : numberOf(m_file.error()));
        }
        done += piece;
    }
}

void AtomicFile::commit()
{
    if (FileFaults::strikes(FileStep::Flush, m_finalHostPath))
        fail(LmError::DiskFull);
    // A save file whose content did not all reach the disk must not be committed: it would replace
    // the old file all the same.
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        fail(numberOf(m_file.error()));
    if (FileFaults::strikes(FileStep::Commit, m_finalHostPath))
        fail(LmError::PathFileAccess);
    if (!m_file.commit())
        throw LmError::standard(numberOf(m_file.error()), m_shown);
    m_committed = true;
}
