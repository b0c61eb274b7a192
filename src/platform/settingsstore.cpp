#include "platform/settingsstore.h"

#include "platform/atomicfile.h"
#include "platform/errorreporter.h"
#include "platform/filefaults.h"
#include "platform/installation.h"
#include "platform/winereg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace {

QString rootGroup(SettingsStore::Root root)
{
    switch (root) {
    case SettingsStore::Root::Machine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case SettingsStore::Root::User:
        return QStringLiteral("HKEY_CURRENT_USER");
    case SettingsStore::Root::Classes:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    }
    return {};
}

// The unnamed value of a key has no name of its own; the INI keeps it under "@" as the registry
// files write it.
QString iniValueName(const QString &valueName)
{
    return valueName.isEmpty() ? QStringLiteral("@") : valueName;
}

std::optional<QString> findNoCase(const QStringList &names, const QString &wanted)
{
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return std::nullopt;
}

// The first line (counted from 1) that is neither empty, a comment, a group header nor a setting;
// 0 when every line is one of those.
int firstDamagedIniLine(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const bool group = line.startsWith('[') && line.endsWith(']');
        if (!line.isEmpty() && !line.startsWith(';') && !line.startsWith('#') && !group &&
            !line.contains('='))
            return int(i + 1);
    }
    return 0;
}

} // namespace

QString Installation::iniHostPath(const QString &programFolderHost)
{
    return QDir(programFolderHost).filePath(IniFileName);
}

DriveMap loadDriveMap(const QString &programFolderHost, const QString &winePrefixHost)
{
    DriveMap map = DriveMap::fromWinePrefix(winePrefixHost);
    const QString iniPath = Installation::iniHostPath(programFolderHost);
    if (!QFileInfo::exists(iniPath))
        return map;
    QSettings ini(iniPath, QSettings::IniFormat);
    const QStringList groups = ini.childGroups();
    const auto drives = findNoCase(groups, Installation::DrivesGroup);
    if (!drives)
        return map;
    ini.beginGroup(*drives);
    const QStringList letters = ini.childKeys();
    for (const QString &letter : letters) {
        QString name = letter.trimmed();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        if (name.size() != 1 || !name.at(0).isLetter())
            continue;
        const QString folder = ini.value(letter).toString().trimmed();
        if (folder.isEmpty())
            continue;
        map.setDrive(name.at(0).toUpper(), QDir::cleanPath(QDir(programFolderHost).absoluteFilePath(folder)));
    }
    ini.endGroup();
    return map;
}

QString SettingsStore::damage(Root, const QString &) const
{
    return {};
}

QList<LmError> SettingsStore::problems() const
{
    return {};
}

void reportSettingsProblems(const SettingsStore &store, UiPort &ui)
{
    const QList<LmError> problems = store.problems();
    for (const LmError &problem : problems)
        reportError(ui, QStringLiteral("SettingsStore.read"), problem);
}

// QSettings keeps the INI format users and older versions rely on, but it writes its file on its
// own, where no failure reaches the user, and it trusts a file's time stamp and size to tell it
// changed. So it never works on the settings file itself: the file's bytes are parsed from a
// passing copy into a table of values, and a change is made on a passing copy whose bytes then
// replace the file through the atomic writer, which reports a failure like that of every other
// file.
struct IniSettingsStore::Private
{
    QString iniPath;
    WineRegistryFile systemReg;
    WineRegistryFile userReg;

    // The file's bytes as last read, and its values by the whole key in lower case
    // ("hkey_local_machine/software/tarnwick/lumivale/filter").
    std::optional<QByteArray> tableBytes;
    QHash<QString, QString> table;

    Private(const QString &path, const QString &prefixHost)
        : iniPath(path), systemReg(QDir(prefixHost).filePath(QStringLiteral("system.reg"))),
          userReg(QDir(prefixHost).filePath(QStringLiteral("user.reg")))
    {}

    // The settings file's bytes; empty when there is no file. Nothing when it cannot be read.
    std::optional<QByteArray> fileBytes() const
    {
        if (!QFileInfo::exists(iniPath))
            return QByteArray();
        QFile file(iniPath);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        return bytes;
    }

    // A folder for the passing copies: the system's temporary folder, else one beside the file
    // (TMPDIR may name a folder that is gone).
    std::unique_ptr<QTemporaryDir> scratchFolder() const
    {
        auto folder = std::make_unique<QTemporaryDir>();
        if (!folder->isValid())
            folder = std::make_unique<QTemporaryDir>(iniPath + QStringLiteral("-XXXXXX"));
        return folder->isValid() ? std::move(folder) : nullptr;
    }

    // The bytes as a file in the folder, for QSettings to parse.
    static std::optional<QString> copyInto(const QTemporaryDir &folder, const QByteArray &bytes)
    {
        QFile copy(folder.filePath(QStringLiteral("Lumivale.ini")));
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush())
            return std::nullopt;
        return copy.fileName();
    }

    // Brings the table up to the file: what another instance or the user changed is seen.
    void refresh()
    {
        const std::optional<QByteArray> bytes = fileBytes();
        if (bytes == tableBytes)
            return;
        tableBytes = bytes;
        table.clear();
        // An unreadable file reads as one without values; problems() tells the user.
        if (!bytes || bytes->isEmpty())
            return;
        const std::unique_ptr<QTemporaryDir> scratch = scratchFolder();
        const std::optional<QString> copy = scratch ? copyInto(*scratch, *bytes) : std::nullopt;
        if (!copy) {
            tableBytes.reset(); // tried again at the next read
            return;
        }
        const QSettings ini(*copy, QSettings::IniFormat);
        const QStringList keys = ini.allKeys();
        for (const QString &key : keys) {
            // The first of names that differ only in letter case wins, as when walking the groups.
            const QString folded = key.toLower();
            if (!table.contains(folded))
                table.insert(folded, ini.value(key).toString());
        }
    }

    std::optional<QString> iniValue(SettingsStore::Root root, const QString &keyPath,
                                    const QString &valueName)
    {
        refresh();
        QStringList parts{rootGroup(root)};
        parts += keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        parts += iniValueName(valueName);
        const auto found = table.constFind(parts.join(QLatin1Char('/')).toLower());
        if (found == table.constEnd())
            return std::nullopt;
        return *found;
    }

    // Walks the groups of a key path, matching each part without regard to case. Returns the
    // stored spelling of the whole group path; missing parts take the spelling given.
    static QString groupPath(QSettings &ini, SettingsStore::Root root, const QString &keyPath)
    {
        QStringList stored;
        QStringList parts{rootGroup(root)};
        parts += keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        bool walking = true;
        for (const QString &part : parts) {
            if (walking) {
                ini.beginGroup(stored.join(QLatin1Char('/')));
                const auto found = findNoCase(ini.childGroups(), part);
                ini.endGroup();
                if (found) {
                    stored.append(*found);
                    continue;
                }
                walking = false;
            }
            stored.append(part);
        }
        return stored.join(QLatin1Char('/'));
    }

    std::optional<QString> wineValue(SettingsStore::Root root, const QString &keyPath,
                                     const QString &valueName) const
    {
        switch (root) {
        case SettingsStore::Root::Machine:
            return systemReg.value(keyPath, valueName);
        case SettingsStore::Root::User:
            return userReg.value(keyPath, valueName);
        case SettingsStore::Root::Classes: {
            // The classes root is the per-user classes over the machine-wide ones.
            const QString classesKey = QStringLiteral("Software\\Classes\\") + keyPath;
            if (auto user = userReg.value(classesKey, valueName))
                return user;
            return systemReg.value(classesKey, valueName);
        }
        }
        return std::nullopt;
    }
};

IniSettingsStore::IniSettingsStore(const QString &iniHostPath, const QString &winePrefixHostPath)
    : d(std::make_unique<Private>(iniHostPath, winePrefixHostPath))
{}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::iniPath() const
{
    return d->iniPath;
}

QString IniSettingsStore::damage(Root root, const QString &keyPath) const
{
    switch (root) {
    case Root::Machine:
        return d->systemReg.damage(keyPath);
    case Root::User:
        return d->userReg.damage(keyPath);
    case Root::Classes:
        break;
    }
    return {};
}

QList<LmError> IniSettingsStore::problems() const
{
    // QSettings tells a damaged file only to the first reader in a process, so the file is looked
    // at here itself.
    const QFileInfo info(d->iniPath);
    if (!info.exists() && !info.isSymLink())
        return {};
    QFile file(d->iniPath);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray text = opened ? file.readAll() : QByteArray();
    if (!opened || file.error() != QFileDevice::NoError)
        return {LmError::standard(LmError::PathFileAccess, d->iniPath)};
    const int line = firstDamagedIniLine(text);
    if (line == 0)
        return {};
    return {
        LmError::user(SettingsErrors::SettingsDamaged,
                      QStringLiteral("The settings file %1 is damaged at line %2: settings it holds, drive "
                                     "letters among them, may be missing.")
                          .arg(d->iniPath)
                          .arg(line))};
}

QString IniSettingsStore::read(Root root, const QString &keyPath, const QString &valueName,
                               const QString &defaultValue, bool *exists) const
{
    auto value = d->iniValue(root, keyPath, valueName);
    if (!value)
        value = d->wineValue(root, keyPath, valueName);
    if (exists)
        *exists = value.has_value();
    return value.value_or(defaultValue);
}

void IniSettingsStore::write(Root root, const QString &keyPath, const QString &valueName,
                             const QString &value)
{
    const auto unwritable = [this] { return LmError::standard(LmError::PathFileAccess, d->iniPath); };
    // Another instance changing the file at the same moment waits, as it would for QSettings. A
    // lock that cannot be made at all (a full disk) is left to the writing below to report.
    QLockFile lock(d->iniPath + QStringLiteral(".lock"));
    if (!lock.tryLock(5 * 1000) && lock.error() == QLockFile::LockFailedError)
        throw unwritable();
    // The file as it is now, so that a change another instance made is kept; an unreadable file
    // is not written over. (Only this read passes the file-fault seam: a read for a value is no
    // step of a save.)
    const std::optional<QByteArray> bytes =
        FileFaults::strikes(FileStep::Read, d->iniPath) ? std::nullopt : d->fileBytes();
    const std::unique_ptr<QTemporaryDir> scratch = bytes ? d->scratchFolder() : nullptr;
    const std::optional<QString> copy = scratch ? Private::copyInto(*scratch, *bytes) : std::nullopt;
    if (!copy)
        throw unwritable();
    QByteArray changed;
    {
        QSettings draft(*copy, QSettings::IniFormat);
        draft.beginGroup(Private::groupPath(draft, root, keyPath));
        const QString wanted = iniValueName(valueName);
        draft.setValue(findNoCase(draft.childKeys(), wanted).value_or(wanted), value);
        draft.endGroup();
        draft.sync();
        QFile written(*copy);
        // (A FormatError only says that lines of the file were passed over when it was read.)
        if (draft.status() == QSettings::AccessError || !written.open(QIODevice::ReadOnly))
            throw unwritable();
        changed = written.readAll();
    }
    AtomicFile target(d->iniPath, d->iniPath);
    target.write(changed);
    target.commit();
}

#ifdef Q_OS_WIN
namespace {

// The registry itself. The simulators are 32-bit programs, so their keys live in the 32-bit view.
class RegistrySettingsStore : public SettingsStore
{
public:
    QString read(Root root, const QString &keyPath, const QString &valueName, const QString &defaultValue,
                 bool *exists) const override
    {
        QSettings reg(rootGroup(root) + QLatin1Char('\\') + keyPath, QSettings::Registry32Format);
        const QString name = valueName.isEmpty() ? QStringLiteral(".") : valueName;
        const bool found = reg.contains(name);
        if (exists)
            *exists = found;
        return found ? reg.value(name).toString() : defaultValue;
    }

    void write(Root root, const QString &keyPath, const QString &valueName, const QString &value) override
    {
        const QString key = rootGroup(root) + QLatin1Char('\\') + keyPath;
        QSettings reg(key, QSettings::Registry32Format);
        reg.setValue(valueName.isEmpty() ? QStringLiteral(".") : valueName, value);
        reg.sync();
        if (reg.status() != QSettings::NoError)
            throw LmError::standard(LmError::PermissionDenied, key);
    }
};

} // namespace
#endif

std::unique_ptr<SettingsStore> createSettingsStore(const QString &programFolderHost,
                                                   const QString &winePrefixHost)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolderHost);
    Q_UNUSED(winePrefixHost);
    return std::make_unique<RegistrySettingsStore>();
#else
    return std::make_unique<IniSettingsStore>(Installation::iniHostPath(programFolderHost), winePrefixHost);
#endif
}
