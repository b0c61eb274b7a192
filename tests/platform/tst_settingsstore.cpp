#include "platform/installation.h"
#include "platform/settingsstore.h"
#include "platform/winereg.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Root = SettingsStore::Root;

namespace {

const QByteArray RegHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";

void writeBytes(const QString &path, const QByteArray &bytes, bool append = false)
{
    QFile f(path);
    QVERIFY(f.open(append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate)));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("home"));
        QDir(m_dir.path()).mkpath(QStringLiteral("prefix"));
    }
    void cleanup()
    {
        QDir(m_dir.path() + QStringLiteral("/home")).removeRecursively();
        QDir(m_dir.path() + QStringLiteral("/prefix")).removeRecursively();
    }

    void namesMatchWithoutCase_data()
    {
        QTest::addColumn<QString>("writeKey");
        QTest::addColumn<QString>("writeName");
        QTest::addColumn<QString>("readKey");
        QTest::addColumn<QString>("readName");
        QTest::newRow("same") << "SOFTWARE\\Tarnwick\\Lumivale" << "SelectedSim" << "SOFTWARE\\Tarnwick\\Lumivale"
                              << "SelectedSim";
        QTest::newRow("value name case") << "SOFTWARE\\Tarnwick\\Lumivale" << "EXE Path"
                                         << "SOFTWARE\\Tarnwick\\Lumivale" << "EXE path";
        QTest::newRow("key case") << "SOFTWARE\\Tarnwick\\Lumivale" << "Path" << "software\\TARNWICK\\lumivale"
                                  << "PATH";
        QTest::newRow("doubled separators") << "SOFTWARE\\Tarnwick\\Lumivale" << "F3" << "SOFTWARE\\\\Tarnwick\\Lumivale\\"
                                            << "f3";
        QTest::newRow("blank in names") << "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0" << "EXE Path"
                                        << "Software\\microsoft\\microsoft games\\flight simulator\\8.0" << "exe PATH";
    }
    void namesMatchWithoutCase()
    {
        QFETCH(QString, writeKey);
        QFETCH(QString, writeName);
        QFETCH(QString, readKey);
        QFETCH(QString, readName);
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, writeKey, writeName, QStringLiteral("C:\\FS2002"));
        bool exists = false;
        QCOMPARE(store.read(Root::Machine, readKey, readName, QStringLiteral("none"), &exists),
                 QStringLiteral("C:\\FS2002"));
        QVERIFY(exists);
        // A second store on the same file sees it too.
        IniSettingsStore other(iniPath(), prefix());
        QCOMPARE(other.read(Root::Machine, readKey, readName), QStringLiteral("C:\\FS2002"));
        // Other roots are apart.
        QCOMPARE(other.read(Root::User, readKey, readName, QStringLiteral("none")), QStringLiteral("none"));
    }

    void writeKeepsStoredSpelling()
    {
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("SelectedSim"),
                    QStringLiteral("1"));
        store.write(Root::Machine, QStringLiteral("software\\TARNWICK\\Lumivale"), QStringLiteral("SELECTEDSIM"),
                    QStringLiteral("2"));
        QCOMPARE(store.read(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("SelectedSim")),
                 QStringLiteral("2"));
        const QByteArray ini = readBytes(iniPath());
        QVERIFY2(ini.contains("SOFTWARE\\Tarnwick\\Lumivale\\SelectedSim=2"), ini.constData());
        QVERIFY(!ini.contains("TARNWICK"));
        QVERIFY(!ini.contains("SELECTEDSIM"));
        QCOMPARE(ini.count("=2"), 1);
        QVERIFY(!ini.contains("=1"));
    }

    void handWrittenIniIsRead()
    {
        writeBytes(iniPath(), "[HKEY_LOCAL_MACHINE]\r\nsoftware\\tarnwick\\lumivale\\filter=5\r\n"
                              "[hkey_current_user]\r\nSoftware\\X\\Y=z\r\n");
        IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("Filter")),
                 QStringLiteral("5"));
        QCOMPARE(store.read(Root::User, QStringLiteral("SOFTWARE\\x"), QStringLiteral("y")), QStringLiteral("z"));
    }

    void emptyStoredValueExists()
    {
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("F7"), QString());
        bool exists = false;
        QCOMPARE(store.read(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("F7"),
                            QStringLiteral("dflt"), &exists),
                 QString());
        QVERIFY(exists);
    }

    void wineRegistryFormat_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        const QByteArray section = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n"
                                   "#time=1d9a8b7c6d5e4f3\n";
        const QString key = QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0");
        QTest::newRow("plain") << section + "\"EXE Path\"=\"C:\\\\FS2002\\\\\"\n" << key << "EXE Path" << true
                               << "C:\\FS2002\\";
        QTest::newRow("name case") << section + "\"EXE Path\"=\"C:\\\\FS\"\n" << key << "exe PATH" << true << "C:\\FS";
        QTest::newRow("key case") << section + "\"Path\"=\"x\"\n"
                                  << "software\\MICROSOFT\\microsoft games\\FLIGHT SIMULATOR\\8.0" << "path" << true
                                  << "x";
        QTest::newRow("quote") << section + "\"T\"=\"say \\\"hi\\\"\"\n" << key << "T" << true << "say \"hi\"";
        QTest::newRow("newline and tab") << section + "\"T\"=\"a\\nb\\tc\"\n" << key << "T" << true << "a\nb\tc";
        QTest::newRow("hex char") << section + "\"T\"=\"caf\\x00e9 ok\"\n" << key << "T" << true
                                  << QString::fromUtf8("caf\xc3\xa9 ok");
        QTest::newRow("short hex char") << section + "\"T\"=\"caf\\xe9\"\n" << key << "T" << true
                                        << QString::fromUtf8("caf\xc3\xa9");
        QTest::newRow("unnamed value") << section + "@=\"default text\"\n\"Other\"=\"o\"\n" << key << "" << true
                                       << "default text";
        QTest::newRow("named beside unnamed") << section + "@=\"default text\"\n\"Other\"=\"o\"\n" << key << "Other"
                                              << true << "o";
        QTest::newRow("expandable text") << section + "\"T\"=str(2):\"%SystemRoot%\\\\x\"\n" << key << "T" << true
                                         << "%SystemRoot%\\x";
        QTest::newRow("dword skipped") << section + "\"T\"=dword:00000001\n" << key << "T" << false << "";
        QTest::newRow("after multi-line hex") << section + "\"B\"=hex:01,02,\\\n  03,04\n\"T\"=\"after\"\n" << key
                                              << "T" << true << "after";
        QTest::newRow("other key") << section + "\"T\"=\"x\"\n" << "SOFTWARE\\Microsoft" << "T" << false << "";
        QTest::newRow("value of a later key") << section + "\"T\"=\"x\"\n\n[Software\\\\Other] 17\n\"T\"=\"y\"\n"
                                              << "Software\\Other" << "t" << true << "y";
        QTest::newRow("CR LF lines") << QByteArray(section + "\"T\"=\"crlf\"\n").replace("\n", "\r\n") << key << "T"
                                     << true << "crlf";
        QTest::newRow("comment line") << section + ";; \"T\"=\"no\"\n" << key << "T" << false << "";
    }
    void wineRegistryFormat()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        writeBytes(prefix() + QStringLiteral("/system.reg"), RegHeader + "\n" + body);
        IniSettingsStore store(iniPath(), prefix());
        bool exists = !found;
        const QString value = store.read(Root::Machine, key, name, QStringLiteral("<missing>"), &exists);
        QCOMPARE(exists, found);
        QCOMPARE(value, found ? expected : QStringLiteral("<missing>"));
    }

    void registryFileReadAgainWhenChanged()
    {
        const QString reg = prefix() + QStringLiteral("/system.reg");
        writeBytes(reg, RegHeader + "\n[Software\\\\A] 1\n\"V\"=\"1\"\n");
        IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\A"), QStringLiteral("V")), QStringLiteral("1"));
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\B"), QStringLiteral("V"), QStringLiteral("-")),
                 QStringLiteral("-"));
        writeBytes(reg, "\n[Software\\\\B] 2\n\"V\"=\"2\"\n", true);
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\B"), QStringLiteral("V")), QStringLiteral("2"));
        QFile::remove(reg);
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\A"), QStringLiteral("V"), QStringLiteral("-")),
                 QStringLiteral("-"));
    }

    void iniBeforeRegistryFile()
    {
        writeBytes(prefix() + QStringLiteral("/system.reg"),
                   RegHeader + "\n[Software\\\\Sim] 1\n\"EXE Path\"=\"C:\\\\Old\"\n\"Other\"=\"kept\"\n");
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, QStringLiteral("SOFTWARE\\Sim"), QStringLiteral("exe path"), QStringLiteral("D:\\New"));
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\Sim"), QStringLiteral("EXE Path")),
                 QStringLiteral("D:\\New"));
        // A value the INI does not hold still comes from the prefix, also under a key the INI holds.
        QCOMPARE(store.read(Root::Machine, QStringLiteral("Software\\Sim"), QStringLiteral("other")),
                 QStringLiteral("kept"));
        QVERIFY(readBytes(prefix() + QStringLiteral("/system.reg")).contains("C:\\\\Old"));
    }

    void perUserAndClassesRoots()
    {
        writeBytes(prefix() + QStringLiteral("/user.reg"),
                   "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21\n\n"
                   "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.txt\\\\OpenWithList] 1\n"
                   "\"MRUList\"=\"a\"\n\"a\"=\"notepad.exe\"\n");
        writeBytes(prefix() + QStringLiteral("/system.reg"),
                   RegHeader + "\n[Software\\\\Classes\\\\Applications\\\\notepad.exe\\\\shell\\\\open\\\\command] 1\n"
                               "@=\"C:\\\\windows\\\\notepad.exe %1\"\n");
        IniSettingsStore store(iniPath(), prefix());
        const QString key = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt\\OpenWithList");
        QCOMPARE(store.read(Root::User, key, QStringLiteral("MRUList")), QStringLiteral("a"));
        QCOMPARE(store.read(Root::Machine, key, QStringLiteral("MRUList"), QStringLiteral("-")), QStringLiteral("-"));
        QCOMPARE(store.read(Root::Classes, QStringLiteral("Applications\\notepad.exe\\shell\\open\\command"), QString()),
                 QStringLiteral("C:\\windows\\notepad.exe %1"));
    }

    void driveOverrides()
    {
        QDir(prefix()).mkpath(QStringLiteral("drive_c"));
        QDir(prefix()).mkpath(QStringLiteral("dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), prefix() + QStringLiteral("/dosdevices/c:"));
        QDir(m_dir.path()).mkpath(QStringLiteral("elsewhere/d"));
        QDir(m_dir.path()).mkpath(QStringLiteral("home/relative"));
        writeBytes(iniPath(), "[drives]\nD=" + (m_dir.path() + QStringLiteral("/elsewhere/d")).toUtf8()
                                  + "\ne:=relative\n1=/nowhere\nF=\n");
        const DriveMap map = loadDriveMap(home(), prefix());
        QCOMPARE(map.hostFolder(QLatin1Char('C')).value_or(QString()), QDir(prefix() + QStringLiteral("/drive_c")).canonicalPath());
        QCOMPARE(map.hostFolder(QLatin1Char('D')).value_or(QString()), m_dir.path() + QStringLiteral("/elsewhere/d"));
        QCOMPARE(map.hostFolder(QLatin1Char('E')).value_or(QString()), home() + QStringLiteral("/relative"));
        QVERIFY(!map.hostFolder(QLatin1Char('F')));
        QVERIFY(!map.drives().contains(QLatin1Char('1')));

        writeBytes(iniPath(), "[Drives]\nC=" + (m_dir.path() + QStringLiteral("/elsewhere/d")).toUtf8() + "\n");
        QCOMPARE(loadDriveMap(home(), prefix()).hostFolder(QLatin1Char('C')).value_or(QString()),
                 m_dir.path() + QStringLiteral("/elsewhere/d"));
    }

    void testEnvInstallsSimulators()
    {
        TestEnv env;
        env.installSim(1, QStringLiteral("C:\\FS2002"));
        env.installSim(0, QStringLiteral("C:\\FS2000\\"), QStringLiteral("PATH"));
        const QString key2002 = QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0");
        QCOMPARE(env.settings->read(Root::Machine, key2002, QStringLiteral("EXE path")), QStringLiteral("C:\\FS2002"));
        QCOMPARE(env.settings->read(Root::Machine, QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0"),
                                    QStringLiteral("path")),
                 QStringLiteral("C:\\FS2000\\"));
        QVERIFY(env.fs.folderExists(QStringLiteral("C:\\FS2000")));
        env.settings->write(Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"), QStringLiteral("SelectedSim"),
                            QStringLiteral("0"));
        QVERIFY(QFile::exists(env.homeHost() + QLatin1Char('/') + Installation::IniFileName));
    }

private:
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    QString prefix() const { return m_dir.path() + QStringLiteral("/prefix"); }
    QString iniPath() const { return Installation::iniHostPath(home()); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
