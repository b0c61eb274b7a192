// Damaged, odd and unusable input given to the command line: each command ends within a time
// limit with the exit code and the message the case calls for, and no file it was not asked to
// change is changed; the damaged file itself is never rewritten.

#include "app/demoinstallation.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "platform/filefaults.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <chrono>
#include <future>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Below the demo's prefix.
const QString ProgramFolder = u"lumivale-home"_s;
const QString SceneryCfg = u"drive_c/Program Files/Microsoft Games/FS2002/Scenery.cfg"_s;
const QString LibraryFile = ProgramFolder + u"/Lumivale.db5"_s;

// What is done to the file before the command runs.
enum class Damage {
    None,
    Empty,
    Garbage,     // 64 KiB of bytes of every value
    NulByte,     // in the middle of a value
    LongLine,    // a value 20 MB long
    ManyAreas,   // 200,000 areas
    InvalidText, // bytes that are no Windows-1252 character, and UTF-8
    Folder,      // a folder in the file's place
};

// What the disk does while the command runs (through the file-fault seam: the tests run as root,
// for whom permissions do not hold).
enum class Disk {
    Sound,
    Unreadable,     // reading the file fails
    ReadOnlyFolder, // putting a written file in its place fails
    Full,           // the first write to the file fails
};

QByteArray damaged(Damage damage, const QByteArray &content)
{
    switch (damage) {
    case Damage::None:
    case Damage::Folder:
        return content;
    case Damage::Empty:
        return {};
    case Damage::Garbage:
        return patterned(65536);
    case Damage::NulByte: {
        QByteArray bytes = content;
        return bytes.insert(bytes.indexOf("Title=") + 7, '\0');
    }
    case Damage::LongLine:
        return content + "Title=" + QByteArray(20'000'000, 'x') + "\r\n";
    case Damage::ManyAreas: {
        QByteArray bytes = "[General]\r\nTitle=Many\r\n";
        for (int i = 1; i <= 200'000; ++i)
            bytes += "\r\n[Area." + QByteArray::number(i).rightJustified(3, '0') + "]\r\nTitle=Many " +
                     QByteArray::number(i) + "\r\nLocal=Addon Scenery\\M" + QByteArray::number(i) +
                     "\r\nLayer=1\r\nActive=TRUE\r\nRequired=FALSE\r\n";
        return bytes;
    }
    case Damage::InvalidText: {
        QByteArray bytes = content;
        return bytes.insert(bytes.indexOf("Title=") + 6, "\x81\x8d\x8f\x90\x9d \xc3\xa9 \xff");
    }
    }
    return content;
}

struct Run
{
    int code = -1;
    QString err;
};
Run runWithin(std::chrono::seconds limit, const QStringList &arguments);

void pointAt(const QString &prefix)
{
    qputenv("WINEPREFIX", QFile::encodeName(prefix));
    qputenv("LUMIVALE_HOME", QFile::encodeName(prefix + u'/' + ProgramFolder));
}

// The pristine demo with a library of 200 sceneries, made once and saved by the program once, so
// that its files are as the program writes them; each case works on a copy.
QString pristine()
{
    static QTemporaryDir dir;
    static const QString prefix = [] {
        const QString made = DemoInstallation::create(dir.filePath(u"demo"_s), 200).winePrefixHost;
        pointAt(made);
        return runWithin(std::chrono::seconds(300), {u"import"_s}).code == 0 ? made : QString();
    }();
    return prefix;
}

// A copy of the pristine demo in the folder, for one case; "" when it could not be made.
QString copyOfPristine(const QTemporaryDir &dir)
{
    const QString prefix = dir.filePath(u"demo"_s);
    return QProcess::execute(u"cp"_s, {u"-a"_s, pristine(), prefix}) == 0 ? prefix : QString();
}

// Runs the command line in this process on another thread, so that a command that hangs ends the
// test instead of the time limit of the whole suite.
Run runWithin(std::chrono::seconds limit, const QStringList &arguments)
{
    auto promise = std::make_shared<std::promise<Run>>();
    std::future<Run> result = promise->get_future();
    std::thread([promise, arguments] {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        CliUi ui(errStream);
        const int code = runCli(QStringList{u"lumivale-cli"_s} + arguments, outStream, errStream, ui);
        errStream.flush();
        promise->set_value(Run{code, err});
    }).detach();
    if (result.wait_for(limit) != std::future_status::ready)
        qFatal("lumivale-cli %s did not end within %lld s", qPrintable(arguments.join(u' ')),
               qlonglong(limit.count()));
    return result.get();
}

} // namespace

Q_DECLARE_METATYPE(Damage)
Q_DECLARE_METATYPE(Disk)

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!pristine().isEmpty()); }

    void commandLine_data()
    {
        QTest::addColumn<QString>("file"); // below the prefix
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<Disk>("disk");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");     // a part of what the error stream shows
        QTest::addColumn<QStringList>("changed"); // the files the command may write, below the prefix

        const QStringList library{LibraryFile, ProgramFolder + u"/Level.db"_s,
                                  ProgramFolder + u"/CFGSet.db"_s};
        // A save keeps each file it replaces as its ".backup" first.
        QStringList backups;
        for (const QString &file : library)
            backups << file + u".backup"_s;
        const QStringList saved = library + backups;
        const QStringList import{u"import"_s};
        const QStringList writeCfg{u"write-cfg"_s, u"Empty"_s};
        const QStringList none;

        QTest::newRow("library file a folder")
            << LibraryFile << Damage::Folder << Disk::Sound << import << 1 << u"Lumivale.db5"_s << backups;
        QTest::newRow("library file unreadable")
            << LibraryFile << Damage::None << Disk::Unreadable << import << 1 << u"Lumivale.db5"_s << backups;
        QTest::newRow("program folder read-only") << LibraryFile << Damage::None << Disk::ReadOnlyFolder
                                                  << import << 1 << u"Lumivale.db5"_s << backups;
        QTest::newRow("disk full") << LibraryFile << Damage::None << Disk::Full << import << 1
                                   << u"Disk full"_s << backups;
        QTest::newRow("library file of binary garbage")
            << LibraryFile << Damage::Garbage << Disk::Sound << import << 1
            << u"outside any <Scenery> block"_s << none;
        QTest::newRow("library value with a NUL byte")
            << LibraryFile << Damage::NulByte << Disk::Sound << import << 0 << QString() << saved;
        QTest::newRow("library value of invalid text")
            << LibraryFile << Damage::InvalidText << Disk::Sound << import << 0 << QString() << saved;
        QTest::newRow("Scenery.cfg a folder")
            << SceneryCfg << Damage::Folder << Disk::Sound << writeCfg << 1 << u"Scenery.CFG"_s << none;
        QTest::newRow("Scenery.cfg unreadable")
            << SceneryCfg << Damage::None << Disk::Unreadable << import << 1 << u"Scenery.cfg"_s << backups;
        QTest::newRow("Scenery.cfg, disk full")
            << SceneryCfg << Damage::None << Disk::Full << writeCfg << 1 << u"Disk full"_s << none;
        QTest::newRow("Scenery.cfg of 200,000 areas")
            << SceneryCfg << Damage::ManyAreas << Disk::Sound << QStringList{u"write-cfg"_s, u"(Current)"_s}
            << 3 << u"maximum of 332"_s << none;
        QTest::newRow("Scenery.cfg empty")
            << SceneryCfg << Damage::Empty << Disk::Sound << import << 0 << QString() << saved;
        QTest::newRow("Scenery.cfg of binary garbage")
            << SceneryCfg << Damage::Garbage << Disk::Sound << import << 0
            << u"neither a section nor a value"_s << saved;
        QTest::newRow("Scenery.cfg with a NUL byte")
            << SceneryCfg << Damage::NulByte << Disk::Sound << import << 0 << QString() << saved;
        QTest::newRow("Scenery.cfg with a 20 MB line")
            << SceneryCfg << Damage::LongLine << Disk::Sound << import << 0 << QString() << saved;
        QTest::newRow("Scenery.cfg of invalid text")
            << SceneryCfg << Damage::InvalidText << Disk::Sound << import << 0 << QString() << saved;
    }

    void commandLine()
    {
        QFETCH(QString, file);
        QFETCH(Damage, damage);
        QFETCH(Disk, disk);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, changed);

        QTemporaryDir dir;
        const QString prefix = copyOfPristine(dir);
        QVERIFY(!prefix.isEmpty());
        const QString host = prefix + u'/' + file;
        if (damage == Damage::Folder) {
            QVERIFY(QFile::remove(host));
            QVERIFY(QDir().mkpath(host));
        } else {
            QFile f(host);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = damaged(damage, f.readAll());
            f.close();
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(bytes), bytes.size());
        }
        Files before = filesBelow(prefix);

        pointAt(prefix);
        FileFaultPlan faults;
        const QString name = file.section(u'/', -1);
        if (disk == Disk::Unreadable)
            faults.failFrom(FileStep::Read, 1, name);
        else if (disk == Disk::ReadOnlyFolder)
            faults.failFrom(FileStep::Commit, 1, name);
        else if (disk == Disk::Full)
            faults.failFrom(FileStep::Write, 1, name);
        const Run run = runWithin(std::chrono::seconds(300), arguments);

        QVERIFY2(run.code == exitCode, qPrintable(u"exit %1\n"_s.arg(run.code) + run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(faults.struck(), disk != Disk::Sound);
        Files after = filesBelow(prefix);
        // Every command refreshes the simulator's copy of its Scenery.cfg before it writes one.
        const QString cfgCopy = u"drive_c/Program Files/Microsoft Games/FS2002/Scenery.CFG.Backup"_s;
        for (const QString &path : changed + QStringList{cfgCopy}) {
            before.remove(path);
            after.remove(path);
        }
        const QSet<QString> now(after.keyBegin(), after.keyEnd());
        const QSet<QString> then(before.keyBegin(), before.keyEnd());
        QVERIFY2(now == then, qPrintable(u"made: "_s + QStringList((now - then).values()).join(u", "_s) +
                                         u"; gone: "_s + QStringList((then - now).values()).join(u", "_s)));
        QVERIFY(sameFiles(after, before));
    }

    // A disk that is really full, where the machine lets the test mount a small tmpfs for the
    // program folder: the command says so and every file there stays as it was.
    void realFullDisk_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file"); // the file the command fails to write
        QTest::addColumn<int>("room");     // the bytes left on the disk
        // The library file is copied to its ".backup" first: the copy meets the full disk part-way.
        QTest::newRow("import saving the library") << QStringList{u"import"_s} << u"Lumivale.db5"_s << 8192;
        QTest::newRow("sim storing the choice") << QStringList{u"sim"_s, u"1"_s} << u"Lumivale.ini"_s << 0;
    }

    void realFullDisk()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QFETCH(int, room);
        QTemporaryDir dir;
        const QString prefix = copyOfPristine(dir);
        QVERIFY(!prefix.isEmpty());
        const QString home = prefix + u'/' + ProgramFolder;
        const QString copy = dir.filePath(u"home"_s);
        QVERIFY(QDir().rename(home, copy));
        QVERIFY(QDir().mkpath(home));
        const QStringList tmpfs{u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s, u"tmpfs"_s, home};
        if (QProcess::execute(u"mount"_s, tmpfs) != 0)
            QSKIP("this machine does not let the test mount a tmpfs");
        const auto unmount = qScopeGuard([&home] { QProcess::execute(u"umount"_s, {u"-l"_s, home}); });
        QCOMPARE(QProcess::execute(u"sh"_s, {u"-c"_s, u"cp -a \"$0\"/. \"$1\""_s, copy, home}), 0);
        QFile filler(home + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush())
            ;
        filler.close();
        QVERIFY(filler.resize(filler.size() - room));
        const Files before = filesBelow(home);

        pointAt(prefix);
        const Run run = runWithin(std::chrono::seconds(300), arguments);
        QVERIFY2(run.code == 1, qPrintable(u"exit %1\n"_s.arg(run.code) + run.err));
        QVERIFY2(run.err.contains(u"Disk full"_s) && run.err.contains(file), qPrintable(run.err));
        QVERIFY(sameFiles(filesBelow(home), before));
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
