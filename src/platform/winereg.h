#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// One of a Wine prefix's registry files ("system.reg", "user.reg"), read-only. The file is parsed
// on first use and again whenever its size or modification time changed, so an installer that
// registers a simulator while the program runs is seen at the next lookup.
//
// Key paths are relative to the file's root, "\"-separated, and matched without regard to case,
// like value names. Only string values are kept; the unnamed value has the name "".
class WineRegistryFile
{
public:
    explicit WineRegistryFile(QString hostPath);

    std::optional<QString> value(const QString &keyPath, const QString &valueName) const;
    bool hasKey(const QString &keyPath) const;
    // Why the values of a key may be missing: the file could not be read, or a line of that key
    // (its header among them) is damaged. Empty when nothing speaks against the key.
    QString damage(const QString &keyPath) const;

    const QString &hostPath() const { return m_hostPath; }

    // A line the parse could not read, and the key it belongs to as far as it can be told
    // (folded; empty when not even that could be read).
    struct DamagedLine
    {
        int line = 0;
        QString key;
    };
    // The parse of a whole file's text; exposed for tests of the format. Lines end in LF, CR LF or
    // CR alone.
    using Values = QHash<QString, QString>;     // folded value name -> text
    using Keys = QHash<QString, Values>;        // folded key path -> values
    static Keys parse(const QString &text, QList<DamagedLine> *damaged = nullptr);
    // Folds a key path or value name for lookups: case-folded, "/" kept, doubled and outer "\" dropped.
    static QString foldKey(const QString &keyPath);

private:
    void refresh() const;

    QString m_hostPath;
    mutable Keys m_keys;
    mutable QList<DamagedLine> m_damaged;
    mutable bool m_unreadable = false;
    mutable qint64 m_size = -1;
    mutable QDateTime m_modified;
    mutable bool m_present = false;
};
