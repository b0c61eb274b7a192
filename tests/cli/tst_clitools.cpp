// lumivale-cli cache, paths and cdrom, run as a separate process on a small test installation.

#include "library/records.h"
#include "support/librarybuilder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
    QJsonArray array() const { return QJsonDocument::fromJson(out).array(); }
    QByteArray text() const { return "exit " + QByteArray::number(code) + "\n" + out + err.toUtf8(); }
};

// One simulator installed in C:\Sim with the library given, its Scenery.cfg holding the areas
// and cache sections of `cfg`.
struct Installed
{
    Installed(Sim sim, const Library &library, const Library &cfg = Library())
    {
        install(env, {{sim, u"C:\\Sim"_s}});
        library.writeLibraryFiles(env);
        cfg.writeSceneryCfg(env, u"C:\\Sim\\Scenery.cfg"_s, u"World"_s);
    }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LUMIVALE_HOME"_s, env.homeHost());
        environment.insert(u"WINEPREFIX"_s, env.prefixHost());
        environment.insert(u"HOME"_s, env.rootHost());
        environment.insert(u"XDG_DATA_HOME"_s, env.rootHost());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMIVALE_CLI_EXE), arguments);
        if (!process.waitForFinished(120000))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

    // The local path of a scenery as the library file holds it after a run.
    QString storedLocalPath(const QString &title) const
    {
        QString local;
        for (const QString &line : env.fs.readLines(env.programFolder() + u"\\Lumivale.db5"_s)) {
            if (line.startsWith(u"LocalPath="_s))
                local = line.mid(10);
            else if (line == u"Title="_s + title)
                return local;
        }
        return u"(not found)"_s;
    }

    TestEnv env;
};

const Library Paths =
    Library()
        .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s})
        .scenery(u"Rome"_s, {.localPath = u"Addon Scenery\\Rome"_s, .remotePath = u"Rome"_s})
        .scenery(u"Disc"_s, {.localPath = u"[CD]\\Disc"_s})
        .recordOrder();

} // namespace

class TestCliTools : public QObject
{
    Q_OBJECT

private slots:
    // The entries of Flight Simulator 2002's Scenery.cfg with the keys the JSON promises.
    void cacheJson()
    {
        const Installed installed(
            Sim::FS2002, Library(),
            Library()
                .cache(u"[Cache.000]"_s, {0, u"Default"_s, u"texture"_s, u"scenedb"_s, true})
                .cache(u"[Cache.001]"_s, {1, u"Alps"_s, u"alps"_s, QString(), false}));
        const Result result = installed.run({u"cache"_s, u"--json"_s});
        QVERIFY2(result.code == 0, result.text());
        const QJsonArray entries = result.array();
        QCOMPARE(entries.size(), 2);
        const QJsonObject second = entries[1].toObject();
        QCOMPARE(second.keys(), (QStringList{u"active"_s, u"local"_s, u"number"_s, u"remote"_s, u"title"_s}));
        QCOMPARE(second[u"number"_s].toInt(), 1);
        QCOMPARE(second[u"title"_s].toString(), u"Alps"_s);
        QCOMPARE(second[u"local"_s].toString(), u"alps"_s);
        QCOMPARE(second[u"active"_s].toBool(), false);
        QCOMPARE(entries[0].toObject()[u"remote"_s].toString(), u"scenedb"_s);
    }

    // The other simulators have no cache manager: the message, exit 3, nothing printed.
    void cacheOfFs2000IsRefused()
    {
        const Installed installed(Sim::FS2000, Library());
        const Result result = installed.run({u"cache"_s, u"--json"_s});
        QCOMPARE(result.code, 3);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(u"The cache manager is only accessable for FS2002"_s), result.text());
    }

    // The sceneries whose folder lacks "Scenery", never one beginning with "[".
    void pathsTestJson()
    {
        Installed installed(Sim::FS2002, Paths);
        installed.env.writeFile(u"C:\\Sim\\Addon Scenery\\Alps\\scenery\\a.bgl"_s);
        const Result result = installed.run({u"paths"_s, u"test"_s, u"--json"_s});
        QVERIFY2(result.code == 0, result.text());
        const QJsonArray marked = result.array();
        QCOMPARE(marked.size(), 1);
        const QJsonObject rome = marked[0].toObject();
        QCOMPARE(rome.keys(), (QStringList{u"key"_s, u"localPath"_s, u"title"_s}));
        QCOMPARE(rome[u"key"_s].toString(), u"SceneryNew\\Rome"_s);
        QCOMPARE(rome[u"localPath"_s].toString(), u"Addon Scenery\\Rome"_s);
    }

    // All sceneries, or the one titled; the library is saved either way.
    void pathsAbsolute_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("alps");
        QTest::addColumn<QString>("rome");
        QTest::newRow("all") << QStringList{u"paths"_s, u"absolute"_s} << u"C:\\Sim\\Addon Scenery\\Alps"_s
                             << u"C:\\Sim\\Addon Scenery\\Rome"_s;
        QTest::newRow("one title") << QStringList{u"paths"_s, u"absolute"_s, u"--title"_s, u"Rome"_s}
                                   << u"Addon Scenery\\Alps"_s << u"C:\\Sim\\Addon Scenery\\Rome"_s;
    }

    void pathsAbsolute()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, alps);
        QFETCH(QString, rome);
        const Installed installed(Sim::FS2002, Paths);
        const Result result = installed.run(arguments);
        QVERIFY2(result.code == 0, result.text());
        QCOMPARE(installed.storedLocalPath(u"Alps"_s), alps);
        QCOMPARE(installed.storedLocalPath(u"Rome"_s), rome);
        QCOMPARE(installed.storedLocalPath(u"Disc"_s), u"[CD]\\Disc"_s);
    }

    void pathsWrongCalls_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("no action") << QStringList{u"paths"_s} << 2;
        QTest::newRow("--title with test")
            << QStringList{u"paths"_s, u"test"_s, u"--title"_s, u"Alps"_s} << 2;
        QTest::newRow("unknown title")
            << QStringList{u"paths"_s, u"absolute"_s, u"--title"_s, u"Oslo"_s} << 1;
    }

    // Nothing is saved by a call that does not run.
    void pathsWrongCalls()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const Installed installed(Sim::FS2002, Paths);
        const QByteArray before =
            installed.env.fs.readAll(installed.env.programFolder() + u"\\Lumivale.db5"_s);
        const Result result = installed.run(arguments);
        QCOMPARE(result.code, code);
        QCOMPARE(installed.env.fs.readAll(installed.env.programFolder() + u"\\Lumivale.db5"_s), before);
    }

    void cdrom_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after the folder
        QTest::addColumn<bool>("over650");          // Alps holds 651 MB
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("made");
        QTest::newRow("copied") << QStringList{u"CD1"_s, u"Mine"_s, u"--json"_s} << false << 0
                                << QStringList{u"CD1"_s, u"Taken"_s};
        QTest::newRow("over 650 MB") << QStringList{u"CD1"_s, u"Mine"_s} << true << 3
                                     << QStringList{u"Taken"_s};
        QTest::newRow("name taken") << QStringList{u"Taken"_s, u"Mine"_s} << false << 3
                                    << QStringList{u"Taken"_s};
        QTest::newRow("(Current)") << QStringList{u"CD1"_s, u"(Current)"_s} << false << 1
                                   << QStringList{u"Taken"_s};
    }

    // The keys the JSON promises, and the copied scenery's remote path saved; a refused call makes
    // no folder and saves nothing.
    void cdrom()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, over650);
        QFETCH(int, code);
        QFETCH(QStringList, made);
        Installed installed(Sim::FS2002, Library(Paths).set(u"Mine"_s, Sim::FS2002, {u"Alps"_s, u"Rome"_s}));
        installed.env.writeFile(u"C:\\Sim\\Addon Scenery\\Alps\\scenery\\a.bgl"_s, "bgl");
        installed.env.fs.createFolder(u"C:\\Out"_s);
        installed.env.fs.createFolder(u"C:\\Out\\Taken"_s);
        if (over650)
            QVERIFY(QFile(installed.env.host(u"C:\\Sim\\Addon Scenery\\Alps\\scenery\\a.bgl"_s))
                        .resize(651 * 1024 * 1024));
        const QByteArray before =
            installed.env.fs.readAll(installed.env.programFolder() + u"\\Lumivale.db5"_s);

        const Result result = installed.run(QStringList{u"cdrom"_s, u"C:\\Out"_s} + arguments);

        QVERIFY2(result.code == code, result.text());
        QCOMPARE(QDir(installed.env.host(u"C:\\Out"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot), made);
        if (code != 0) {
            QCOMPARE(installed.env.fs.readAll(installed.env.programFolder() + u"\\Lumivale.db5"_s), before);
            return;
        }
        const QJsonObject json = QJsonDocument::fromJson(result.out).object();
        QCOMPARE(json.keys(), (QStringList{u"copied"_s, u"folder"_s, u"megabytes"_s, u"missing"_s}));
        QCOMPARE(json[u"folder"_s].toString(), u"C:\\Out\\CD1"_s);
        QCOMPARE(json[u"copied"_s].toArray(), QJsonArray{u"Alps"_s});
        QCOMPARE(json[u"missing"_s].toArray(), QJsonArray{u"Rome"_s});
        QString remote;
        for (const QString &line :
             installed.env.fs.readLines(installed.env.programFolder() + u"\\Lumivale.db5"_s)) {
            if (line.startsWith(u"RemotePath="_s))
                remote = line.mid(11);
            else if (line == u"Title=Alps"_s)
                break;
        }
        QCOMPARE(remote, u"[CD1]Alps"_s);
    }
};

QTEST_GUILESS_MAIN(TestCliTools)
#include "tst_clitools.moc"
