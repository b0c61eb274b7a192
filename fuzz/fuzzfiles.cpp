#include "fuzzfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

void fuzzFinding(const char *what, const QString &detail)
{
    std::fprintf(stderr, "finding: %s %s\n", what, qPrintable(detail));
    std::abort();
}

FileSnapshot::FileSnapshot(const QString &hostRoot)
{
    QDirIterator it(hostRoot, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st
        {
        };
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        m_entries.insert(path, Entry{quint64(st.st_ino), qint64(st.st_size),
                                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                                     unsigned(st.st_mode)});
    }
}

QStringList FileSnapshot::changedOutside(const FileSnapshot &before, const QStringList &allowedHost) const
{
    const auto allowed = [&allowedHost](const QString &path) {
        for (const QString &place : allowedHost) {
            if (path == place || path.startsWith(place + QLatin1Char('/')))
                return true;
        }
        return false;
    };
    QStringList changed;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (allowed(it.key()))
            continue;
        const auto old = before.m_entries.constFind(it.key());
        if (old == before.m_entries.cend())
            changed << QStringLiteral("added ") + it.key();
        else if (!(*old == *it) && !S_ISDIR(it->mode)) // a folder's time changes with what it holds
            changed << QStringLiteral("changed ") + it.key();
    }
    for (auto it = before.m_entries.cbegin(); it != before.m_entries.cend(); ++it) {
        if (!allowed(it.key()) && !m_entries.contains(it.key()))
            changed << QStringLiteral("removed ") + it.key();
    }
    changed.sort();
    return changed;
}

void removeHostTree(const QString &hostPath)
{
    QDir(hostPath).removeRecursively();
}
