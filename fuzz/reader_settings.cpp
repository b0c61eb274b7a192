// The settings file (the INI the program keeps its settings in) on arbitrary bytes: its problems
// told, its drive letters loaded, its values read; then a value is written. The value written
// reads back, and every value that read before reads the same afterwards.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "platform/installation.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct Lookup
{
    SettingsStore::Root root;
    QString keyPath;
    QString valueName;
};

// The values the file names, as the store is asked for them; the first 64 of them.
QList<Lookup> lookupsOf(const QString &iniPath)
{
    const QList<std::pair<QString, SettingsStore::Root>> roots{
        {QStringLiteral("HKEY_LOCAL_MACHINE"), SettingsStore::Root::Machine},
        {QStringLiteral("HKEY_CURRENT_USER"), SettingsStore::Root::User},
        {QStringLiteral("HKEY_CLASSES_ROOT"), SettingsStore::Root::Classes}};
    QList<Lookup> lookups;
    const QSettings ini(iniPath, QSettings::IniFormat);
    for (const QString &key : ini.allKeys().mid(0, 64)) {
        QStringList parts = key.split(QLatin1Char('/'));
        if (parts.size() < 2)
            continue;
        for (const auto &[group, root] : roots) {
            if (parts.first().compare(group, Qt::CaseInsensitive) == 0) {
                const QString name = parts.takeLast();
                parts.removeFirst();
                lookups.append({root, parts.join(QLatin1Char('\\')), name});
                break;
            }
        }
    }
    lookups.append({SettingsStore::Root::User, QStringLiteral("Software\\Lumivale\\Settings"),
                    QStringLiteral("SelectedSim")});
    return lookups;
}

QStringList valuesOf(const SettingsStore &store, const QList<Lookup> &lookups)
{
    QStringList values;
    for (const Lookup &lookup : lookups) {
        bool exists = false;
        const QString value = store.read(lookup.root, lookup.keyPath, lookup.valueName, {}, &exists);
        values << (exists ? value : QStringLiteral("<none>"));
    }
    return values;
}

} // namespace

QString checkSettingsFile(const QByteArray &input)
{
    SilentInstallation &inst = FuzzLibrary::instance().inst;
    static QTemporaryDir root;
    static int count = 0;
    // QSettings keeps what it read of a file by its path, so each input gets a folder of its own.
    const QString programHost = root.path() + QStringLiteral("/%1").arg(++count);
    QDir().mkpath(programHost);
    const QString iniPath = Installation::iniHostPath(programHost);
    {
        QFile file(iniPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
            return finding("the input could not be written");
    }
    const QString prefix = inst.rootHost() + QStringLiteral("/prefix");
    {
        IniSettingsStore store(iniPath, prefix);
        store.problems();
        loadDriveMap(programHost, prefix);
        const QList<Lookup> lookups = lookupsOf(iniPath);
        const QStringList before = valuesOf(store, lookups);

        const QString written = QStringLiteral("C:\\Fuzz; \"quoted\" = %1").arg(input.size());
        store.write(SettingsStore::Root::User, QStringLiteral("Software\\Lumivale\\Fuzz"),
                    QStringLiteral("Check"), written);
        const IniSettingsStore again(iniPath, prefix);
        if (again.read(SettingsStore::Root::User, QStringLiteral("Software\\Lumivale\\Fuzz"),
                       QStringLiteral("Check")) != written)
            return finding("the value written does not read back");
        const QStringList after = valuesOf(again, lookups);
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (before.at(i) != after.at(i) &&
                !(lookups.at(i).keyPath.compare(QStringLiteral("Software\\Lumivale\\Fuzz"),
                                                Qt::CaseInsensitive) == 0 &&
                  lookups.at(i).valueName.compare(QStringLiteral("Check"), Qt::CaseInsensitive) == 0))
                return finding("a value changed when another was written:",
                               lookups.at(i).keyPath + QLatin1Char('\\') + lookups.at(i).valueName +
                                   QStringLiteral(": ") + before.at(i) + QStringLiteral(" -> ") +
                                   after.at(i));
        }
    }
    removeHostTree(programHost);
    return {};
}
