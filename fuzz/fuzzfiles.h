#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// What the targets beyond the library share: the report of a finding, the input as bytes, and a
// record of every file and folder below a host folder, to prove what a reader wrote and where.

// Prints what went wrong and aborts, which libFuzzer reports as a crash and keeps the input.
[[noreturn]] void fuzzFinding(const char *what, const QString &detail = {});
// A finding of a check, as text.
inline QString finding(const char *what, const QString &detail = {})
{
    return detail.isEmpty() ? QString::fromUtf8(what) : QString::fromUtf8(what) + QLatin1Char(' ') + detail;
}

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Every entry below a host folder (links not followed) with what tells a rewritten file from the
// one before: its inode, size, modification time and kind.
class FileSnapshot
{
public:
    explicit FileSnapshot(const QString &hostRoot);

    // The entries added, removed or changed since `before`, except those at or below one of the
    // allowed host folders or files.
    QStringList changedOutside(const FileSnapshot &before, const QStringList &allowedHost) const;

private:
    struct Entry
    {
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        unsigned mode = 0;
        bool operator==(const Entry &) const = default;
    };
    QHash<QString, Entry> m_entries;
};

// Removes a host folder with everything below it; used to start each input afresh.
void removeHostTree(const QString &hostPath);
