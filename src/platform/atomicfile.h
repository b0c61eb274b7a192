#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A file replaced as a whole. Its content goes to a temporary file beside the target; every write
// is checked, the content is flushed and checked once more, and only then does the new file take
// the place of the old one. Until commit() has succeeded the previous file stays as it was, byte
// for byte. A target that is a symbolic link is written through to the file it points to, so the
// link stays a link.
//
// Every step passes through the file-fault seam (FileFaults). Failures throw LmError naming the
// file as the user knows it: 61 when the disk is full, 75 when the file cannot be written or
// replaced, 70 when writing there is not permitted, 76 when its folder does not exist.
class AtomicFile
{
public:
    // hostPath: the file on this machine; shownPath: its name in messages (Windows form).
    AtomicFile(const QString &hostPath, const QString &shownPath);
    // Without a successful commit() the temporary file goes and the target stays untouched.
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    void write(const char *data, qint64 size);
    void write(const QByteArray &bytes) { write(bytes.constData(), bytes.size()); }
    void commit();

    // The file the content goes to: the target, or the end of its chain of links.
    const QString &finalHostPath() const { return m_finalHostPath; }

    // Writes are handed to the disk in pieces of this size, so that a disk filling up is met
    // part-way through a large file, as it is on a real disk.
    static constexpr qint64 PieceSize = 64 * 1024;

    // The end of a chain of symbolic links (the path itself when it is no link); the target need
    // not exist.
    static QString resolveLinks(const QString &hostPath);

private:
    [[noreturn]] void fail(qint32 number);

    QString m_finalHostPath;
    QString m_shown;
    QSaveFile m_file;
    bool m_committed = false;
};
