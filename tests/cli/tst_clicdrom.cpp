// lumivale-cli cdrom, run as a separate process on a small test installation.

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
    QJsonObject object() const { return QJsonDocument::fromJson(out).object(); }
    QByteArray text() const { return "exit " + QByteArray::number(code) + "\n" + out + err.toUtf8(); }
};

// Flight Simulator 2002 in C:\Sim: "Alps" with a folder of two files, "Rome" without one, both in
// the set "Mine"; the folder C:\Out to make CDs in.
struct Installed
{
    Installed()
    {
        install(env, {{Sim::FS2002, u"C:\\Sim"_s}});
        Library()
            .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s})
            .scenery(u"Rome"_s, {.localPath = u"Addon Scenery\\Rome"_s, .remotePath = u"[Old]Rome"_s})
            .set(u"Mine"_s, Sim::FS2002, {u"Alps"_s, u"Rome"_s})
            .recordOrder()
            .writeLibraryFiles(env);
        Library().writeSceneryCfg(env, u"C:\\Sim\\Scenery.cfg"_s, u"World"_s);
        env.writeFile(u"C:\\Sim\\Addon Scenery\\Alps\\scenery\\alps.bgl"_s, "bgl");
        env.writeFile(u"C:\\Sim\\Addon Scenery\\Alps\\texture\\alps.bmp"_s, "bmp");
        QDir().mkpath(env.host(u"C:\\Out"_s));
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

    // The remote path of a scenery as the library file holds it after a run.
    QString storedRemotePath(const QString &title) const
    {
        QString remote;
        for (const QString &line : env.fs.readLines(env.programFolder() + u"\\Lumivale.db5"_s)) {
            if (line.startsWith(u"RemotePath="_s))
                remote = line.mid(11);
            else if (line == u"Title="_s + title)
                return remote;
        }
        return u"(not found)"_s;
    }
    QByteArray libraryFile() const { return env.fs.readAll(env.programFolder() + u"\\Lumivale.db5"_s); }
    QStringList outFolder() const
    {
        return QDir(env.host(u"C:\\Out"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    TestEnv env;
};

} // namespace

class TestCliCdRom : public QObject
{
    Q_OBJECT

private slots:
    // The keys the JSON promises; the copied scenery's remote path is saved, the missing one's is
    // left as it was.
    void cdromJson()
    {
        const Installed installed;
        const Result result =
            installed.run({u"cdrom"_s, installed.env.host(u"C:\\Out"_s), u"CD1"_s, u"Mine"_s, u"--json"_s});
        QVERIFY2(result.code == 0, result.text());
        const QJsonObject made = result.object();
        QCOMPARE(made.keys(), (QStringList{u"copied"_s, u"folder"_s, u"megabytes"_s, u"missing"_s}));
        QCOMPARE(made[u"folder"_s].toString(), u"C:\\Out\\CD1"_s);
        QCOMPARE(made[u"megabytes"_s].toDouble(), 0.0);
        QCOMPARE(made[u"copied"_s].toArray(), QJsonArray{u"Alps"_s});
        QCOMPARE(made[u"missing"_s].toArray(), QJsonArray{u"Rome"_s});
        QVERIFY(QFile::exists(installed.env.host(u"C:\\Out\\CD1\\Alps\\texture\\alps.bmp"_s)));
        QCOMPARE(installed.storedRemotePath(u"Alps"_s), u"[CD1]Alps"_s);
        QCOMPARE(installed.storedRemotePath(u"Rome"_s), u"[Old]Rome"_s);
    }

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after DEST
        QTest::addColumn<bool>("over650");          // Alps holds 651 MB
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::newRow("over 650 MB") << QStringList{u"CD1"_s, u"Mine"_s} << true << 3
                                     << u"Sorry, you need 651 MB and only 650 MB is possible on a CDROM."_s;
        QTest::newRow("name taken") << QStringList{u"Taken"_s, u"Mine"_s} << false << 3
                                    << u"CDROM Name exists in the destination folder"_s;
        QTest::newRow("name leaving the folder")
            << QStringList{u"..\\CD1"_s, u"Mine"_s} << false << 2 << u"cannot be a folder name"_s;
        QTest::newRow("(Current)") << QStringList{u"CD1"_s, u"(Current)"_s} << false << 1
                                   << u"no set \"(Current)\" to copy"_s;
        QTest::newRow("no set") << QStringList{u"CD1"_s} << false << 2
                                << u"give DEST, NAME and at least one SET"_s;
    }

    // A refused call makes no folder and saves nothing.
    void refusalsChangeNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, over650);
        QFETCH(int, code);
        QFETCH(QString, error);
        const Installed installed;
        installed.env.fs.createFolder(u"C:\\Out\\Taken"_s);
        if (over650) {
            QFile big(installed.env.host(u"C:\\Sim\\Addon Scenery\\Alps\\scenery\\alps.bgl"_s));
            QVERIFY(big.resize(651 * 1024 * 1024));
        }
        const QByteArray before = installed.libraryFile();

        const Result result = installed.run(QStringList{u"cdrom"_s, u"C:\\Out"_s} + arguments);

        QCOMPARE(result.code, code);
        QVERIFY2(result.err.contains(error), result.text());
        QCOMPARE(installed.outFolder(), QStringList{u"Taken"_s});
        QCOMPARE(installed.libraryFile(), before);
    }
};

QTEST_GUILESS_MAIN(TestCliCdRom)
#include "tst_clicdrom.moc"
