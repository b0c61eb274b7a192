#pragma once

#include "platform/lmerror.h"

#include <QList>
#include <QString>

#include <memory>

class UiPort;

namespace SettingsErrors {
// Offset from the user error base: the settings file holds lines that could not be read.
constexpr qint32 SettingsDamaged = 106;
} // namespace SettingsErrors

// The hierarchical settings store: string values addressed by root, a "\"-separated key path and
// a value name. Value names are compared without regard to case. On Windows it is the registry;
// elsewhere an INI file (see IniSettingsStore).
class SettingsStore
{
public:
    enum class Root { Machine, User, Classes };

    virtual ~SettingsStore() = default;

    // The stored text, or defaultValue when the key or the value does not exist.
    virtual QString read(Root root, const QString &keyPath, const QString &valueName,
                         const QString &defaultValue = {}, bool *exists = nullptr) const = 0;
    // Creates the key path when missing and stores the text, replacing an earlier value. Throws
    // LmError naming the file (or key) when the value could not be stored; the store is as it was.
    virtual void write(Root root, const QString &keyPath, const QString &valueName, const QString &value) = 0;

    // Why values under a key may be missing: the file that holds them could not be read or is
    // damaged there, described for the user. Empty when nothing speaks against the key.
    virtual QString damage(Root root, const QString &keyPath) const;
    // The store's own file could not be read or is damaged: the failures, for the user.
    virtual QList<LmError> problems() const;
};

// Reports each of the store's problems through the program-wide error message.
void reportSettingsProblems(const SettingsStore &store, UiPort &ui);

// Off Windows: the program's own INI file (one group per key part, names matched without regard
// to case and written back in the spelling already stored), falling back read-only on the Wine
// prefix's registry files for keys the INI does not hold: "system.reg" for the machine root,
// "user.reg" for the per-user root. The INI file is replaced whole through the atomic writer, so a
// failed write leaves it as it was and throws as AtomicFile does (61, 70, 75, 76); one that cannot
// be read is not written over (75).
class IniSettingsStore : public SettingsStore
{
public:
    IniSettingsStore(const QString &iniHostPath, const QString &winePrefixHostPath);
    ~IniSettingsStore() override;

    QString read(Root root, const QString &keyPath, const QString &valueName, const QString &defaultValue = {},
                 bool *exists = nullptr) const override;
    void write(Root root, const QString &keyPath, const QString &valueName, const QString &value) override;

    QString damage(Root root, const QString &keyPath) const override;
    // The INI file that could not be read (75) or holds a line that is no setting (SettingsDamaged).
    QList<LmError> problems() const override;

    QString iniPath() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The store the program uses on this system.
std::unique_ptr<SettingsStore> createSettingsStore(const QString &programFolderHost, const QString &winePrefixHost);
