// A Wine prefix's registry file ("system.reg") on arbitrary bytes, read as the settings store reads
// it for the machine root. Every string value the parse finds is found again by its key and name,
// through the file and through the store, and a key is said to be damaged exactly when a damaged
// line belongs to it.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "platform/settingsstore.h"
#include "platform/winereg.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

QString checkWineRegistry(const QByteArray &input)
{
    FuzzLibrary::instance(); // the application object
    static QTemporaryDir prefix;
    static int count = 0;
    // The file is read again only when its size or time changed; a prefix per input reads each.
    const QString prefixHost = prefix.path() + QStringLiteral("/%1").arg(++count);
    QDir().mkpath(prefixHost);
    const QString regPath = prefixHost + QStringLiteral("/system.reg");
    const QByteArray &bytes = input;
    {
        QFile file(regPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return finding("the input could not be written");
    }

    QList<WineRegistryFile::DamagedLine> damaged;
    const WineRegistryFile::Keys keys = WineRegistryFile::parse(QString::fromUtf8(bytes), &damaged);
    const WineRegistryFile file(regPath);
    const IniSettingsStore store(prefixHost + QStringLiteral("/none.ini"), prefixHost);
    int checked = 0;
    for (auto key = keys.cbegin(); key != keys.cend() && checked < 200; ++key) {
        if (!file.hasKey(key.key()))
            return finding("a key is not found by its own path:", key.key());
        bool keyDamaged = false;
        for (const WineRegistryFile::DamagedLine &line : std::as_const(damaged))
            keyDamaged = keyDamaged || line.key == key.key();
        if (file.damage(key.key()).isEmpty() == keyDamaged)
            return finding("the damage told for a key is wrong:", key.key());
        for (auto value = key->cbegin(); value != key->cend() && checked < 200; ++value, ++checked) {
            if (file.value(key.key(), value.key()) != *value)
                return finding("a value is not found by its key and name:",
                               key.key() + QLatin1Char('|') + value.key());
            bool exists = false;
            const QString stored =
                store.read(SettingsStore::Root::Machine, key.key(), value.key(), {}, &exists);
            if (!exists || stored != *value)
                return finding("the store reads a value otherwise:",
                               key.key() + QLatin1Char('|') + value.key());
        }
    }
    QDir(prefixHost).removeRecursively();
    return {};
}
