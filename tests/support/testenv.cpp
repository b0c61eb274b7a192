#include "support/testenv.h"

#include "platform/filesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {
// Makes the program folder and the prefix with its drive C:; returns the prefix.
QString preparedPrefix(const QTemporaryDir &dir)
{
    QDir root(dir.path());
    root.mkpath(QStringLiteral("home"));
    root.mkpath(QStringLiteral("prefix/drive_c"));
    root.mkpath(QStringLiteral("prefix/dosdevices"));
    QFile::link(QStringLiteral("../drive_c"), dir.path() + QStringLiteral("/prefix/dosdevices/c:"));
    return dir.path() + QStringLiteral("/prefix");
}

const char *simKey(int simType)
{
    switch (simType) {
    case 0:
        return "Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\7.0";
    case 1:
        return "Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0";
    default:
        return "Software\\\\Microsoft\\\\Microsoft Games\\\\Combat Flight Simulator\\\\2.0";
    }
}
} // namespace

QByteArray testDataFile(const QString &folder, const QString &name)
{
    QFile f(QStringLiteral(LUMIVALE_TEST_DATA) + u'/' + folder + u'/' + name);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s/%s", qPrintable(folder), qPrintable(name));
    return f.readAll();
}

QByteArray windowsText(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Cp1252::encode(line) + "\r\n";
    return bytes;
}

LmError thrownBy(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const LmError &error) {
        return error;
    }
    return LmError(0, QStringLiteral("nothing thrown"));
}

QByteArray patterned(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = char(seed >> 24);
    }
    return bytes;
}

Files filesBelow(const QString &hostFolder)
{
    Files files;
    QDirIterator it(hostFolder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(hostFolder).relativeFilePath(file.fileName()), file.readAll());
    }
    return files;
}

bool sameFiles(const Files &actual, const Files &expected)
{
    if (!QTest::qCompare(actual.keys(), expected.keys(), "files present", "files expected", __FILE__,
                         __LINE__))
        return false;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QByteArray label = it.key().toUtf8();
        if (!QTest::qCompare(actual.value(it.key()), it.value(), label.constData(), "its content expected",
                             __FILE__, __LINE__))
            return false;
    }
    return true;
}

TestEnv::TestEnv()
    : fs(DriveMap::fromWinePrefix(preparedPrefix(m_dir))),
      settings(createSettingsStore(m_dir.path() + QStringLiteral("/home"),
                                   m_dir.path() + QStringLiteral("/prefix"))),
      program(m_dir.path() + QStringLiteral("/home")), context{fs, *settings, ui, program}
{
    m_systemReg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";
}

TestEnv::~TestEnv() = default;

void TestEnv::installSim(int simType, const QString &windowsFolder, const QString &valueName)
{
    QString name = valueName;
    if (name.isEmpty())
        name = simType == 0 ? QStringLiteral("path") : QStringLiteral("EXE Path");
    QString escaped = windowsFolder;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    m_systemReg += QByteArray("\n[") + simKey(simType) + "] 1700000000\n#time=1d9a8b7c6d5e4f3\n\"" +
                   name.toLatin1() + "\"=\"" + escaped.toLatin1() + "\"\n";
    QFile reg(prefixHost() + QStringLiteral("/system.reg"));
    if (reg.open(QIODevice::WriteOnly | QIODevice::Truncate))
        reg.write(m_systemReg);
    reg.close();
    QString folder = windowsFolder;
    while (folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    const QString hostFolder = fs.toHost(folder);
    if (!hostFolder.isEmpty()) // a folder on an unmapped drive is only a registry value
        QDir().mkpath(hostFolder);
}

void TestEnv::writeFile(const QString &windowsPath, const QByteArray &bytes)
{
    const QString hostPath = fs.toHost(windowsPath);
    QDir().mkpath(QFileInfo(hostPath).absolutePath());
    QFile f(hostPath);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray TestEnv::readFile(const QString &windowsPath) const
{
    QFile f(fs.toHost(windowsPath));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
