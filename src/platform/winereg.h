#pragma once

#include <QDateTime>
#include <QHash>
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

    const QString &hostPath() const { return m_hostPath; }

    // The parse of a whole file's text; exposed for tests of the format.
    using Values = QHash<QString, QString>;     // folded value name -> text
    using Keys = QHash<QString, Values>;        // folded key path -> values
    static Keys parse(const QString &text);
    // Folds a key path or value name for lookups: case-folded, "/" kept, doubled and outer "\" dropped.
    static QString foldKey(const QString &keyPath);

private:
    void refresh() const;

    QString m_hostPath;
    mutable Keys m_keys;
    mutable qint64 m_size = -1;
    mutable QDateTime m_modified;
    mutable bool m_present = false;
};
