#include "platform/settingsstore.h"

#include "platform/errorreporter.h"
#include "platform/installation.h"
#include "platform/winereg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <optional>

namespace {

QString rootGroup(SettingsStore::Root root)
{
    switch (root) {
    case SettingsStore::Root::Machine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case SettingsStore::Root::User: return QStringLiteral("HKEY_CURRENT_USER");
    case SettingsStore::Root::Classes: return QStringLiteral("HKEY_CLASSES_ROOT");
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

struct IniSettingsStore::Private
{
    QString iniPath;
    QString prefix;
    std::unique_ptr<QSettings> ini;
    WineRegistryFile systemReg;
    WineRegistryFile userReg;

    Private(const QString &path, const QString &prefixHost)
        : iniPath(path), prefix(prefixHost), ini(std::make_unique<QSettings>(path, QSettings::IniFormat)),
          systemReg(QDir(prefixHost).filePath(QStringLiteral("system.reg"))),
          userReg(QDir(prefixHost).filePath(QStringLiteral("user.reg")))
    {
    }

    // Walks the groups of a key path, matching each part without regard to case. Returns the
    // stored spelling of the whole group path, or nothing when a part is missing. With
    // create set, missing parts take the spelling given.
    std::optional<QString> groupPath(SettingsStore::Root root, const QString &keyPath, bool create) const
    {
        QStringList stored;
        QStringList parts{rootGroup(root)};
        parts += keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        bool walking = true;
        for (const QString &part : parts) {
            if (walking) {
                ini->beginGroup(stored.join(QLatin1Char('/')));
                const auto found = findNoCase(ini->childGroups(), part);
                ini->endGroup();
                if (found) {
                    stored.append(*found);
                    continue;
                }
                if (!create)
                    return std::nullopt;
                walking = false;
            }
            stored.append(part);
        }
        return stored.join(QLatin1Char('/'));
    }

    std::optional<QString> iniValue(SettingsStore::Root root, const QString &keyPath, const QString &valueName) const
    {
        const auto group = groupPath(root, keyPath, false);
        if (!group)
            return std::nullopt;
        ini->beginGroup(*group);
        std::optional<QString> result;
        if (const auto name = findNoCase(ini->childKeys(), iniValueName(valueName)))
            result = ini->value(*name).toString();
        ini->endGroup();
        return result;
    }

    std::optional<QString> wineValue(SettingsStore::Root root, const QString &keyPath, const QString &valueName) const
    {
        switch (root) {
        case SettingsStore::Root::Machine: return systemReg.value(keyPath, valueName);
        case SettingsStore::Root::User: return userReg.value(keyPath, valueName);
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
{
}

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
    d->ini->sync();  // sees what another instance or the user changed in the file
    auto value = d->iniValue(root, keyPath, valueName);
    if (!value)
        value = d->wineValue(root, keyPath, valueName);
    if (exists)
        *exists = value.has_value();
    return value.value_or(defaultValue);
}

void IniSettingsStore::write(Root root, const QString &keyPath, const QString &valueName, const QString &value)
{
    d->ini->sync();
    const QString group = *d->groupPath(root, keyPath, true);
    d->ini->beginGroup(group);
    const QString wanted = iniValueName(valueName);
    const QString name = findNoCase(d->ini->childKeys(), wanted).value_or(wanted);
    d->ini->setValue(name, value);
    d->ini->endGroup();
    d->ini->sync();
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
        QSettings reg(rootGroup(root) + QLatin1Char('\\') + keyPath, QSettings::Registry32Format);
        reg.setValue(valueName.isEmpty() ? QStringLiteral(".") : valueName, value);
    }
};

} // namespace
#endif

std::unique_ptr<SettingsStore> createSettingsStore(const QString &programFolderHost, const QString &winePrefixHost)
{
#ifdef Q_OS_WIN
    Q_UNUSED(programFolderHost);
    Q_UNUSED(winePrefixHost);
    return std::make_unique<RegistrySettingsStore>();
#else
    return std::make_unique<IniSettingsStore>(Installation::iniHostPath(programFolderHost), winePrefixHost);
#endif
}
