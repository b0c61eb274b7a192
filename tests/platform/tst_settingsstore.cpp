#include "platform/installation.h"
#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Root = SettingsStore::Root;

namespace {

const QByteArray RegHeader = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n";
const QByteArray SimSection = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n#time=1d9a8b7c6d5e4f3\n";
const QString SimKey = u"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0"_s;
const QString OwnKey = u"SOFTWARE\\Tarnwick\\Lumivale"_s;

void writeBytes(const QString &path, const QByteArray &bytes, bool append = false)
{
    QFile f(path);
    QVERIFY(f.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

Root rootOf(const QString &letter)
{
    return letter == u"U" ? Root::User : letter == u"C" ? Root::Classes : Root::Machine;
}

} // namespace

class TstSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(QDir().mkpath(prefix()) && QDir().mkpath(home())); }
    void cleanup() { QDir(m_dir.path()).removeRecursively(); }

    void read_data()
    {
        QTest::addColumn<QString>("ini");       // "root|key|name|value" lines written first, or the INI's own text
        QTest::addColumn<QByteArray>("reg");    // system.reg below its header ("user:" for user.reg); a bare
                                                // value line stands under the Flight Simulator 2002 key
        QTest::addColumn<QString>("read");      // "root|key|name"; key "~" is that key
        QTest::addColumn<QString>("expected");  // "<missing>" when absent
        const QString own = u"M|SOFTWARE\\Tarnwick\\Lumivale|"_s;
        QTest::newRow("key and name case") << own + u"EXE Path|x"_s << QByteArray() << u"M|software\\TARNWICK\\lumivale|EXE path"_s << u"x"_s;
        QTest::newRow("roots apart") << own + u"F1|x"_s << QByteArray() << u"U|SOFTWARE\\Tarnwick\\Lumivale|F1"_s << u"<missing>"_s;
        QTest::newRow("empty value exists") << own + u"F7|"_s << QByteArray() << own + u"F7"_s << u""_s;
        QTest::newRow("hand-written INI") << u"[HKEY_LOCAL_MACHINE]\r\nsoftware\\tarnwick\\lumivale\\filter=5\r\n"_s << QByteArray() << own + u"Filter"_s << u"5"_s;
        QTest::newRow("INI before registry") << u"M|"_s + SimKey + u"|exe path|D:\\New"_s << QByteArray("\"EXE Path\"=\"C:\\\\Old\"\n") << u"M|~|EXE Path"_s << u"D:\\New"_s;
        QTest::newRow("registry beside an INI key") << u"M|"_s + SimKey + u"|exe path|D:\\New"_s << QByteArray("\"Other\"=\"kept\"\n") << u"M|~|other"_s << u"kept"_s;
        QTest::newRow("reg key and name case") << u""_s << QByteArray("\"Path\"=\"x\"\n") << u"M|software\\MICROSOFT\\microsoft games\\FLIGHT SIMULATOR\\8.0|path"_s << u"x"_s;
        QTest::newRow("reg quote") << u""_s << QByteArray("\"T\"=\"say \\\"hi\\\"\"\n") << u"M|~|T"_s << u"say \"hi\""_s;
        QTest::newRow("reg newline and tab") << u""_s << QByteArray("\"T\"=\"a\\nb\\tc\"\n") << u"M|~|T"_s << u"a\nb\tc"_s;
        QTest::newRow("reg hex char") << u""_s << QByteArray("\"T\"=\"caf\\x00e9 ok\"\n") << u"M|~|T"_s << u"café ok"_s;
        QTest::newRow("reg unnamed value") << u""_s << QByteArray("@=\"dflt\"\n\"Other\"=\"o\"\n") << u"M|~|"_s << u"dflt"_s;
        QTest::newRow("reg named beside unnamed") << u""_s << QByteArray("@=\"dflt\"\n\"Other\"=\"o\"\n") << u"M|~|Other"_s << u"o"_s;
        QTest::newRow("reg expandable text") << u""_s << QByteArray("\"T\"=str(2):\"%SystemRoot%\\\\x\"\n") << u"M|~|T"_s << u"%SystemRoot%\\x"_s;
        QTest::newRow("reg dword skipped") << u""_s << QByteArray("\"T\"=dword:00000001\n") << u"M|~|T"_s << u"<missing>"_s;
        QTest::newRow("reg after multi-line hex") << u""_s << QByteArray("\"B\"=hex:01,02,\\\n  03,04\n\"T\"=\"after\"\n") << u"M|~|T"_s << u"after"_s;
        QTest::newRow("reg later key") << u""_s << QByteArray("\"T\"=\"x\"\n\n[Software\\\\Other] 17\n\"T\"=\"y\"\n") << u"M|Software\\Other|t"_s << u"y"_s;
        const QByteArray openWith = "user:[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\FileExts\\\\.txt\\\\OpenWithList] 1\n\"MRUList\"=\"a\"\n";
        const QString openWithKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt\\OpenWithList|MRUList"_s;
        QTest::newRow("user.reg for the user root") << u""_s << openWith << u"U|"_s + openWithKey << u"a"_s;
        QTest::newRow("classes root is machine Software\\Classes") << u""_s << QByteArray("[Software\\\\Classes\\\\Applications\\\\n.exe\\\\shell\\\\open\\\\command] 1\n@=\"n.exe %1\"\n") << u"C|Applications\\n.exe\\shell\\open\\command|"_s << u"n.exe %1"_s;
    }
    void read()
    {
        QFETCH(QString, ini);
        QFETCH(QByteArray, reg);
        QFETCH(QString, read);
        QFETCH(QString, expected);
        if (reg.startsWith("user:"))
            writeBytes(prefix() + u"/user.reg"_s, "WINE REGISTRY Version 2\n\n" + reg.mid(5));
        else if (!reg.isEmpty())
            writeBytes(prefix() + u"/system.reg"_s, RegHeader + (reg.startsWith('[') ? reg : SimSection + reg));
        if (ini.startsWith(u'['))
            writeBytes(iniPath(), ini.toLatin1());
        IniSettingsStore writer(iniPath(), prefix());
        for (const QString &line : ini.split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList w = line.split(u'|');
            if (w.size() == 4)
                writer.write(rootOf(w[0]), w[1], w[2], w[3]);
        }
        const QStringList r = read.split(u'|');
        const QString key = r[1] == u"~" ? SimKey : r[1];
        // The writing store and a fresh one on the same files agree.
        const IniSettingsStore fresh(iniPath(), prefix());
        for (const IniSettingsStore *store : {static_cast<const IniSettingsStore *>(&writer), &fresh}) {
            bool exists = false;
            QCOMPARE(store->read(rootOf(r[0]), key, r[2], u"<missing>"_s, &exists), expected);
            QCOMPARE(exists, expected != u"<missing>");
        }
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
        QCOMPARE(text.count("TARNWICK") + text.count("SELECTEDSIM") + text.count("=1"), 0);
    }

    void registryFileReadAgainWhenChanged()
    {
        const QString reg = prefix() + u"/system.reg"_s;
        writeBytes(reg, RegHeader + "[Software\\\\A] 1\n\"V\"=\"1\"\n");
        IniSettingsStore store(iniPath(), prefix());
        const auto value = [&](const QString &key) { return store.read(Root::Machine, key, u"V"_s, u"-"_s); };
        QCOMPARE(value(u"Software\\A"_s) + value(u"Software\\B"_s), u"1-"_s);
        writeBytes(reg, "\n[Software\\\\B] 2\n\"V\"=\"2\"\n", true);
        QCOMPARE(value(u"Software\\B"_s), u"2"_s);
        QFile::remove(reg);
        QCOMPARE(value(u"Software\\A"_s), u"-"_s);
    }

    // Registry files written on another system may end their lines in CR alone.
    void registryLineEnds_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
    }

    void registryLineEnds()
    {
        QFETCH(QByteArray, lineEnd);
        QByteArray text = RegHeader + SimSection + "\"EXE Path\"=\"C:\\\\FS2002\"\n";
        writeBytes(prefix() + u"/system.reg"_s, text.replace("\n", lineEnd));
        const IniSettingsStore store(iniPath(), prefix());
        QCOMPARE(store.read(Root::Machine, SimKey, u"EXE Path"_s, u"<missing>"_s), u"C:\\FS2002"_s);
        QCOMPARE(store.damage(Root::Machine, SimKey), QString());
    }

    // A key whose lines could not be read says so, with the line, instead of looking absent.
    void registryDamage_data()
    {
        QTest::addColumn<QByteArray>("key"); // the Flight Simulator 2002 key as written, header and lines
        QTest::addColumn<QString>("damage"); // the start of what the store says against it, "" nothing
        const QByteArray header = "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0";
        QTest::newRow("sound") << header + "] 1700000000\n\"EXE Path\"=\"C:\\\\FS2002\"\n" << u""_s;
        QTest::newRow("header cut before its bracket")
            << header + " 1700000000\n\"EXE Path\"=\"C:\\\\FS2002\"\n"
            << u"line 6 of "_s;
        QTest::newRow("value without its closing quote") << header + "] 1\n\"EXE Path\"=\"C:\\\\FS2002\n"
                                                         << u"line 7 of "_s;
        QTest::newRow("name without its closing quote") << header + "] 1\n\"EXE Path=\"C:\\\\FS2002\"\n"
                                                        << u"line 7 of "_s;
        QTest::newRow("value of no known type") << header + "] 1\n\"EXE Path\"=C:\\\\FS2002\n"
                                                << u"line 7 of "_s;
        QTest::newRow("a line that is no value") << header + "] 1\n\u00ff\u00fe garbage\n" << u"line 7 of "_s;
        QTest::newRow("damage in another key only") << header + "] 1\n\n[Software\\\\Other] 1\n\"x\n"
                                                    << u""_s;
    }

    void registryDamage()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, damage);
        const QString reg = prefix() + u"/system.reg"_s;
        writeBytes(reg, RegHeader + key);
        const IniSettingsStore store(iniPath(), prefix());
        const QString said = store.damage(Root::Machine, SimKey);
        QCOMPARE(said.left(damage.size()), damage);
        QVERIFY2(damage.isEmpty() || said.contains(reg), qPrintable(said));
        QVERIFY(damage.isEmpty() || !store.read(Root::Machine, SimKey, u"EXE Path"_s).startsWith(u"C:"_s));
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
        QTest::addColumn<QByteArray>("content"); // "<folder>": a folder in its place
        QTest::addColumn<QString>("problem");    // number and start of the description, "" none
        QTest::newRow("sound") << QByteArray("[Drives]\nD=/media/cdrom\n") << u""_s;
        QTest::newRow("missing") << QByteArray() << u""_s;
        QTest::newRow("group without its bracket")
            << QByteArray("[Drives\nD=/media/cdrom\n")
            << u"%1 The settings file "_s.arg(LmError::UserBase + SettingsErrors::SettingsDamaged);
        QTest::newRow("a line that is no setting")
            << QByteArray("some text\n[Drives]\nD=/x\n")
            << u"%1 The settings file "_s.arg(LmError::UserBase + SettingsErrors::SettingsDamaged);
        QTest::newRow("a folder in its place") << QByteArray("<folder>") << u"75 Path/File access error ("_s;
    }

    void settingsFileProblems()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        if (content == "<folder>")
            QVERIFY(QDir().mkpath(iniPath()));
        else if (!content.isEmpty())
            writeBytes(iniPath(), content);
        const IniSettingsStore store(iniPath(), prefix());
        QStringList problems;
        for (const LmError &error : store.problems())
            problems << u"%1 %2"_s.arg(error.number()).arg(error.description());
        QCOMPARE(problems.size(), problem.isEmpty() ? 0 : 1);
        QVERIFY2(problem.isEmpty() ||
                     (problems.first().startsWith(problem) && problems.first().contains(iniPath())),
                 qPrintable(problems.join(u'\n')));
    }

    void driveMapOfPrefixAndOverrides()
    {
        const QString devices = prefix() + u"/dosdevices/"_s, other = m_dir.path() + u"/elsewhere"_s;
        QDir().mkpath(devices);
        QDir().mkpath(other);
        QDir(home()).mkpath(u"relative"_s);
        QFile::link(u"../drive_c"_s, devices + u"c:"_s);
        QFile::link(u"../no-medium"_s, devices + u"e:"_s); // a drive without its folder is still a drive
        QFile::link(u"/dev/null"_s, devices + u"d::"_s);    // raw device, not a drive
        QFile::link(u"../drive_c"_s, devices + u"com1"_s);
        const auto drives = [&] {
            QStringList out;
            const DriveMap map = loadDriveMap(home(), prefix());
            for (auto it = map.drives().begin(); it != map.drives().end(); ++it)
                out << QString(it.key()) + u'=' + QString(it.value()).replace(m_dir.path(), u"@"_s);
            return out.join(u';');
        };
        QCOMPARE(drives(), u"C=@/prefix/drive_c;E=@/prefix/no-medium"_s);
        writeBytes(iniPath(), "[drives]\nD=" + other.toUtf8() + "/\ne:=relative\n1=/nowhere\nF=\n");
        QCOMPARE(drives(), u"C=@/prefix/drive_c;D=@/elsewhere;E=@/home/relative"_s);
        writeBytes(iniPath(), "[Drives]\nC=" + other.toUtf8() + "\n");
        QCOMPARE(drives(), u"C=@/elsewhere;E=@/prefix/no-medium"_s);
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