// The settings store: the program's own values in its INI file, the simulators' installation keys
// read from the Wine prefix's registry files, what could not be read in either, and the drive map.

#include "platform/filefaults.h"
#include "platform/installation.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Root = SettingsStore::Root;

Q_DECLARE_METATYPE(FileStep)

namespace {

const QByteArray RegHeader =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";
const QByteArray SimSection = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] "
                              "1700000000\n#time=1d9a8b7c6d5e4f3\n";
const QString SimKey = u"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0"_s;
const QString OwnKey = u"SOFTWARE\\Tarnwick\\Lumivale"_s;
const QString Missing = u"<missing>"_s;

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TstSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(QDir().mkpath(prefix()));
        QVERIFY(QDir().mkpath(home()));
    }
    void cleanup() { QDir(m_dir.path()).removeRecursively(); }

    // Keys and names in any letter case; the roots apart; an empty value is a value. The store
    // that wrote them and a fresh one on the same file agree.
    void iniValues()
    {
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, OwnKey, u"EXE Path"_s, u"x"_s);
        store.write(Root::Machine, OwnKey, u"F7"_s, QString());
        const IniSettingsStore fresh(iniPath(), prefix());
        for (const IniSettingsStore *reader : {static_cast<const IniSettingsStore *>(&store), &fresh}) {
            QCOMPARE(reader->read(Root::Machine, u"software\\TARNWICK\\lumivale"_s, u"EXE path"_s), u"x"_s);
            QCOMPARE(reader->read(Root::User, OwnKey, u"EXE Path"_s, Missing), Missing);
            bool exists = false;
            QCOMPARE(reader->read(Root::Machine, OwnKey, u"F7"_s, Missing, &exists), QString());
            QVERIFY(exists);
        }
    }

    void iniWrittenByHand()
    {
        writeBytes(iniPath(), "[HKEY_LOCAL_MACHINE]\r\nsoftware\\tarnwick\\lumivale\\filter=5\r\n");
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, OwnKey, u"Filter"_s), u"5"_s);
    }

    // A value written to a key of the registry files goes to the INI file and wins over theirs;
    // the other values of the key are still read from them.
    void iniBeforeRegistry()
    {
        writeBytes(prefix() + u"/system.reg"_s,
                   RegHeader + SimSection + "\"EXE Path\"=\"C:\\\\Old\"\n\"Other\"=\"kept\"\n");
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, SimKey, u"exe path"_s, u"D:\\New"_s);
        QCOMPARE(store.read(Root::Machine, SimKey, u"EXE Path"_s), u"D:\\New"_s);
        QCOMPARE(store.read(Root::Machine, SimKey, u"other"_s), u"kept"_s);
    }

    void writeKeepsStoredSpelling()
    {
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, OwnKey, u"SelectedSim"_s, u"1"_s);
        store.write(Root::Machine, u"software\\TARNWICK\\Lumivale"_s, u"SELECTEDSIM"_s, u"2"_s);
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("SOFTWARE\\Tarnwick\\Lumivale\\SelectedSim=2"), text.constData());
        QVERIFY2(!text.contains("TARNWICK") && !text.contains("SELECTEDSIM") && !text.contains("=1"),
                 text.constData());
    }

    // Two instances on one file: each keeps what the other wrote, and a change of the same size
    // made within the same moment is still seen.
    void anotherInstanceWrites()
    {
        IniSettingsStore first(iniPath(), prefix());
        IniSettingsStore second(iniPath(), prefix());
        first.write(Root::Machine, OwnKey, u"SelectedSim"_s, u"1"_s);
        QCOMPARE(second.read(Root::Machine, OwnKey, u"SelectedSim"_s), u"1"_s);
        second.write(Root::Machine, OwnKey, u"Filter"_s, u"5"_s);
        second.write(Root::Machine, OwnKey, u"SelectedSim"_s, u"2"_s);
        QCOMPARE(first.read(Root::Machine, OwnKey, u"SelectedSim"_s), u"2"_s);
        first.write(Root::Machine, OwnKey, u"Browser"_s, u"b"_s);
        QCOMPARE(second.read(Root::Machine, OwnKey, u"Filter"_s), u"5"_s);
        QCOMPARE(second.read(Root::Machine, OwnKey, u"Browser"_s), u"b"_s);
    }

    // A write that fails at any step throws the error naming the file and leaves the file and what
    // is read from it as they were.
    void failedWriteChangesNothing_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<qint32>("error");
        QTest::newRow("reading the file") << FileStep::Read << qint32(LmError::PathFileAccess);
        QTest::newRow("writing") << FileStep::Write << qint32(LmError::DiskFull);
        QTest::newRow("flushing") << FileStep::Flush << qint32(LmError::DiskFull);
        QTest::newRow("putting it in place") << FileStep::Commit << qint32(LmError::PathFileAccess);
    }

    void failedWriteChangesNothing()
    {
        QFETCH(FileStep, step);
        QFETCH(qint32, error);
        IniSettingsStore store(iniPath(), prefix());
        store.write(Root::Machine, OwnKey, u"SelectedSim"_s, u"1"_s);
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        {
            FileFaultPlan plan;
            plan.failAt(step, 1);
            try {
                store.write(Root::Machine, OwnKey, u"SelectedSim"_s, u"2"_s);
                QFAIL("the write did not fail");
            } catch (const LmError &e) {
                QCOMPARE(e.number(), error);
                QVERIFY2(e.description().contains(iniPath()), qPrintable(e.description()));
            }
            QVERIFY(plan.struck());
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        QCOMPARE(store.read(Root::Machine, OwnKey, u"SelectedSim"_s), u"1"_s);
        QCOMPARE(QDir(home()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Lumivale.ini"_s});
    }

    // Values as Wine writes them, under the Flight Simulator 2002 key asked for in other letter case.
    void registryValues_data()
    {
        QTest::addColumn<QByteArray>("lines"); // below the key's header
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("a name in other letter case") << QByteArray("\"Path\"=\"x\"\n") << u"path"_s << u"x"_s;
        QTest::newRow("quotes") << QByteArray("\"T\"=\"say \\\"hi\\\"\"\n") << u"T"_s << u"say \"hi\""_s;
        QTest::newRow("a character in hex")
            << QByteArray("\"T\"=\"caf\\x00e9 ok\"\n") << u"T"_s << u"caf\u00e9 ok"_s;
        QTest::newRow("expandable text")
            << QByteArray("\"T\"=str(2):\"%SystemRoot%\\\\x\"\n") << u"T"_s << u"%SystemRoot%\\x"_s;
        QTest::newRow("a number is no text") << QByteArray("\"T\"=dword:00000001\n") << u"T"_s << Missing;
        QTest::newRow("after hex over two lines")
            << QByteArray("\"B\"=hex:01,02,\\\n  03,04\n\"T\"=\"after\"\n") << u"T"_s << u"after"_s;
    }

    void registryValues()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, name);
        QFETCH(QString, value);
        writeBytes(prefix() + u"/system.reg"_s,
                   RegHeader + SimSection + lines + "\n[Software\\\\Other] 17\n\"T\"=\"y\"\n");
        const IniSettingsStore store(iniPath(), prefix());
        const QString key = u"software\\MICROSOFT\\microsoft games\\FLIGHT SIMULATOR\\8.0"_s;
        QCOMPARE(store.read(Root::Machine, key, name, Missing), value);
        QCOMPARE(store.read(Root::Machine, u"Software\\Other"_s, u"t"_s), u"y"_s);
    }

    // The user root is user.reg; the classes root is the machine's Software\Classes.
    void otherRoots()
    {
        writeBytes(prefix() + u"/user.reg"_s,
                   "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
                   "\"MRUList\"=\"a\"\n");
        writeBytes(prefix() + u"/system.reg"_s,
                   RegHeader +
                       "[Software\\\\Classes\\\\Applications\\\\n.exe\\\\shell\\\\open\\\\command] 1\n"
                       "@=\"n.exe %1\"\n");
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::User, u"Software\\Microsoft\\Windows\\CurrentVersion"_s, u"MRUList"_s),
                 u"a"_s);
        QCOMPARE(store.read(Root::Classes, u"Applications\\n.exe\\shell\\open\\command"_s, QString()),
                 u"n.exe %1"_s);
    }

    void registryFileReadAgainWhenChanged()
    {
        const QString reg = prefix() + u"/system.reg"_s;
        writeBytes(reg, RegHeader + "[Software\\\\A] 1\n\"V\"=\"1\"\n");
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, u"Software\\A"_s, u"V"_s), u"1"_s);
        QCOMPARE(store.read(Root::Machine, u"Software\\B"_s, u"V"_s, Missing), Missing);
        writeBytes(reg, RegHeader + "[Software\\\\A] 1\n\"V\"=\"1\"\n\n[Software\\\\B] 2\n\"V\"=\"2\"\n");
        QCOMPARE(store.read(Root::Machine, u"Software\\B"_s, u"V"_s), u"2"_s);
        QFile::remove(reg);
        QCOMPARE(store.read(Root::Machine, u"Software\\A"_s, u"V"_s, Missing), Missing);
    }

    // Registry files written on another system may end their lines in CR LF or CR alone (every
    // other test here ends them in LF).
    void registryLineEnds_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void registryLineEnds()
    {
        QFETCH(QByteArray, lineEnd);
        QByteArray text = RegHeader + SimSection + "\"EXE Path\"=\"C:\\\\FS2002\"\n";
        writeBytes(prefix() + u"/system.reg"_s, text.replace("\n", lineEnd));
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, SimKey, u"EXE Path"_s), u"C:\\FS2002"_s);
        QCOMPARE(store.damage(Root::Machine, SimKey), QString());
    }

    // A key whose lines could not be read says so, with the line, instead of looking absent.
    void registryDamage_data()
    {
        QTest::addColumn<QByteArray>("key"); // the Flight Simulator 2002 key as written, header and lines
        QTest::addColumn<int>("line");       // the line named, 0 for none
        const QByteArray header = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0";
        QTest::newRow("sound") << header + "] 1\n\"EXE Path\"=\"C:\\\\FS2002\"\n" << 0;
        QTest::newRow("a header cut before its bracket") << header + " 1\n\"EXE Path\"=\"C:\\\\FS2002\"\n"
                                                         << 6;
        QTest::newRow("a value without its closing quote") << header + "] 1\n\"EXE Path\"=\"C:\\\\FS2002\n"
                                                           << 7;
        QTest::newRow("a name without its closing quote") << header + "] 1\n\"EXE Path=\"C:\\\\FS2002\"\n"
                                                          << 7;
        QTest::newRow("a value of no known type") << header + "] 1\n\"EXE Path\"=C:\\\\FS2002\n" << 7;
        QTest::newRow("a line that is no value") << header + "] 1\n\u00ff\u00fe garbage\n" << 7;
        QTest::newRow("damage in another key only") << header + "] 1\n\n[Software\\\\Other] 1\n\"x\n" << 0;
    }

    void registryDamage()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, line);
        const QString reg = prefix() + u"/system.reg"_s;
        writeBytes(reg, RegHeader + key);
        const IniSettingsStore store(iniPath(), prefix());
        const QString damage = store.damage(Root::Machine, SimKey);
        QCOMPARE(damage, line == 0 ? QString() : u"line %1 of %2 is damaged"_s.arg(line).arg(reg));
        if (line != 0)
            QVERIFY(!store.read(Root::Machine, SimKey, u"EXE Path"_s).startsWith(u"C:"_s));
    }

    void unreadableRegistryFile()
    {
        QVERIFY(QDir().mkpath(prefix() + u"/system.reg"_s)); // there, but no file that can be read
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.damage(Root::Machine, SimKey), prefix() + u"/system.reg could not be read"_s);
    }

    // The program's own settings file, unreadable or damaged, is a problem to report: its drive
    // letters and settings would otherwise just be gone.
    void settingsFileProblems_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folderInItsPlace");
        QTest::addColumn<qint32>("problem"); // 0 for none
        const qint32 damaged = LmError::UserBase + SettingsErrors::SettingsDamaged;
        QTest::newRow("sound") << QByteArray("[Drives]\nD=/media/cdrom\n") << false << 0;
        QTest::newRow("missing") << QByteArray() << false << 0;
        QTest::newRow("a group without its bracket")
            << QByteArray("[Drives\nD=/media/cdrom\n") << false << damaged;
        QTest::newRow("a line that is no setting")
            << QByteArray("some text\n[Drives]\nD=/x\n") << false << damaged;
        QTest::newRow("a folder in its place") << QByteArray() << true << qint32(LmError::PathFileAccess);
    }

    void settingsFileProblems()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, folderInItsPlace);
        QFETCH(qint32, problem);
        if (folderInItsPlace)
            QVERIFY(QDir().mkpath(iniPath()));
        else if (!content.isEmpty())
            writeBytes(iniPath(), content);
        const IniSettingsStore store(iniPath(), prefix());
        const QList<LmError> problems = store.problems();
        QCOMPARE(problems.size(), problem == 0 ? 0 : 1);
        if (problem != 0) {
            QCOMPARE(problems.first().number(), problem);
            QVERIFY2(problems.first().description().contains(iniPath()),
                     qPrintable(problems.first().description()));
        }
    }

    // The prefix's drive links, then the settings file's [Drives] over them: a folder relative to
    // the program folder, a drive without its folder kept, what names no drive left out.
    void driveMapOfPrefixAndOverrides()
    {
        const QString devices = prefix() + u"/dosdevices/"_s;
        const QString elsewhere = m_dir.path() + u"/elsewhere"_s;
        QDir().mkpath(devices);
        QDir().mkpath(elsewhere);
        QDir(home()).mkpath(u"relative"_s);
        QFile::link(u"../drive_c"_s, devices + u"c:"_s);
        QFile::link(u"../no-medium"_s, devices + u"e:"_s);
        QFile::link(u"/dev/null"_s, devices + u"d::"_s); // a raw device, no drive
        QFile::link(u"../drive_c"_s, devices + u"com1"_s);
        const QString driveC = prefix() + u"/drive_c"_s;
        QMap<QChar, QString> drives = loadDriveMap(home(), prefix()).drives();
        QCOMPARE(drives.keys(), (QList<QChar>{u'C', u'E'}));
        QCOMPARE(drives.value(u'C'), driveC);
        QCOMPARE(drives.value(u'E'), prefix() + u"/no-medium"_s);
        writeBytes(iniPath(), "[drives]\nD=" + elsewhere.toUtf8() + "/\ne:=relative\n1=/nowhere\nF=\n");
        drives = loadDriveMap(home(), prefix()).drives();
        QCOMPARE(drives.keys(), (QList<QChar>{u'C', u'D', u'E'}));
        QCOMPARE(drives.value(u'D'), elsewhere);
        QCOMPARE(drives.value(u'E'), home() + u"/relative"_s);
        writeBytes(iniPath(), "[Drives]\nC=" + elsewhere.toUtf8() + "\n");
        QCOMPARE(loadDriveMap(home(), prefix()).drives().value(u'C'), elsewhere);
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(DriveMap::fromWinePrefix(prefix()).isEmpty());
    }

private:
    QString home() const { return m_dir.path() + u"/home"_s; }
    QString prefix() const { return m_dir.path() + u"/prefix"_s; }
    QString iniPath() const { return Installation::iniHostPath(home()); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
