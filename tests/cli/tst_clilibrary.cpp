// The library commands of lumivale-cli (list, sets, import, write-cfg, backup) run as a user runs
// them: a separate process on a freshly generated demo installation.

#include "app/demoinstallation.h"
#include "app/filehelpers.h"
#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "support/scriptedui.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
};

// One area of a Scenery.cfg as the test reads it back.
struct Area
{
    QString title;
    QString local;
    QString remote;
    bool hasLocal = false;
};

QList<Area> readAreas(const QStringList &lines)
{
    QList<Area> areas;
    bool inArea = false;
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inArea = line.startsWith(QLatin1String("[Area."), Qt::CaseInsensitive);
            if (inArea)
                areas.append(Area{});
            continue;
        }
        if (!inArea)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq).toLower();
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("title"))
            areas.last().title = value;
        else if (key == QLatin1String("local")) {
            areas.last().local = value;
            areas.last().hasLocal = true;
        } else if (key == QLatin1String("remote"))
            areas.last().remote = value;
    }
    return areas;
}

QStringList titlesOf(const QList<Area> &areas)
{
    QStringList titles;
    for (const Area &area : areas)
        titles << area.title;
    return titles;
}

QStringList titlesOf(const QJsonArray &sceneries)
{
    QStringList titles;
    for (const QJsonValue &value : sceneries)
        titles << value.toObject().value(QStringLiteral("title")).toString();
    return titles;
}

// A demo installation of its own for each test: the commands change it.
class Demo
{
public:
    // A copy of the pristine demo (generating one per test costs several times as much).
    Demo()
    {
        const QString source = pristine().winePrefixHost;
        const QString target = m_dir.filePath(QStringLiteral("demo"));
        copyTree(source, target);
        summary = pristine();
        summary.winePrefixHost = target;
        summary.programFolderHost = target + summary.programFolderHost.mid(source.size());
        fs = FileSystem(DriveMap::fromWinePrefix(summary.winePrefixHost));
        programFolder = fs.toWindows(summary.programFolderHost);
    }

    // One copy shared by the tests that only read (list and sets save nothing), with stored sets.
    static const Demo &readOnly()
    {
        static Demo demo;
        static const bool prepared = [] {
            // Members stored out of order and a title the library does not hold; an empty set; a
            // set of the other simulator.
            demo.writeSets({{QStringLiteral("Europe"), QStringLiteral("1"), QStringLiteral("London"),
                             QStringLiteral("No Such Scenery"), QStringLiteral("Paris")},
                            {QStringLiteral("Empty"), QStringLiteral("1")},
                            {QStringLiteral("Night VFR"), QStringLiteral("1"), QStringLiteral("Tokyo"),
                             QStringLiteral("Chicago")},
                            {QStringLiteral("Old sim"), QStringLiteral("0"), QStringLiteral("Africa")}});
            return true;
        }();
        Q_UNUSED(prepared);
        return demo;
    }

    static const DemoInstallation::Summary &pristine()
    {
        static QTemporaryDir dir;
        static const DemoInstallation::Summary summary =
            DemoInstallation::create(dir.filePath(QStringLiteral("demo")));
        return summary;
    }

    static QString simFolder(int sim)
    {
        return sim == 0 ? DemoInstallation::fs2000Folder() : DemoInstallation::fs2002Folder();
    }
    static QString sceneryCfg(int sim) { return simFolder(sim) + QStringLiteral("\\Scenery.cfg"); }
    int areaCount(int sim) const { return sim == 0 ? summary.fs2000Areas : summary.fs2002Areas; }

    Result run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMIVALE_HOME"), summary.programFolderHost);
        env.insert(QStringLiteral("WINEPREFIX"), summary.winePrefixHost);
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LUMIVALE_CLI_EXE), arguments);
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        Result result;
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QJsonArray runJson(const QStringList &arguments) const
    {
        const Result result = run(arguments);
        if (result.code != 0)
            qWarning("exit %d: %s", result.code, qPrintable(result.err));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(result.out, &error);
        if (error.error != QJsonParseError::NoError || !doc.isArray())
            qWarning("not one JSON array: %s", result.out.constData());
        return doc.array();
    }

    // Stores sets in the library's set file: {name, sim, members...}.
    void writeSets(const QList<QStringList> &sets) const
    {
        QStringList lines;
        for (const QStringList &set : sets)
            lines << QStringLiteral("<Set>") << set.at(0) << set.at(1) << QStringLiteral("False")
                  << set.mid(2) << QStringLiteral("</Set>");
        fs.writeLines(programFolder + QStringLiteral("\\CFGSet.db"), lines);
    }

    QString backupRoot() const { return programFolder + QStringLiteral("\\EnvBackups\\"); }

    // Which of the file's areas a Scenery.cfg written from them keeps: those with a scenery folder,
    // and those used from their remote folder.
    QStringList writableTitles(int sim) const
    {
        const auto settings = createSettingsStore(summary.programFolderHost, summary.winePrefixHost);
        ProgramInfo program(summary.programFolderHost);
        ScriptedUi ui;
        FileSystem ownFs = fs;
        AppContext context{ownFs, *settings, ui, program};
        SceneryManager manager(context);
        manager.setFSPathForTesting(simFolder(sim));
        QStringList titles;
        for (const Area &area : readAreas(fs.readLines(sceneryCfg(sim)))) {
            const bool local = area.remote.isEmpty() || !area.local.isEmpty();
            if (!local || fs.folderExists(manager.getRealPath(area.local) + QStringLiteral("\\Scenery")))
                titles << area.title;
        }
        return titles;
    }

    DemoInstallation::Summary summary;
    FileSystem fs;
    QString programFolder;

private:
    // Copies files and folders; links are made again, pointing into the copy when they pointed
    // into the original (the prefix's drive links), and are never followed.
    static void copyTree(const QString &source, const QString &target)
    {
        QDir().mkpath(target);
        QDirIterator it(source, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info = it.fileInfo();
            const QString copy = target + path.mid(source.size());
            if (info.isSymLink()) {
                QString linked = info.symLinkTarget();
                if (linked.startsWith(source))
                    linked = QFileInfo(copy).dir().relativeFilePath(target + linked.mid(source.size()));
                QFile::link(linked, copy);
            } else if (info.isDir()) {
                QDir().mkpath(copy);
            } else {
                QFile::copy(path, copy);
            }
        }
    }

    QTemporaryDir m_dir;
};

QStringList numbered(int count)
{
    QStringList titles;
    for (int i = 1; i <= count; ++i)
        titles << QStringLiteral("Set member %1").arg(i, 3, 10, QLatin1Char('0'));
    return titles;
}

} // namespace

class TestCliLibrary : public QObject
{
    Q_OBJECT

private slots:
    void listJsonShowsEveryAreaInFileOrder_data();
    void listJsonShowsEveryAreaInFileOrder();
    void listOneSet_data();
    void listOneSet();
    void setsJsonHoldsCurrentAndStoredSets();
    void importThenListShowsTheSame_data();
    void importThenListShowsTheSame();
    void importOtherFile_data();
    void importOtherFile();
    void importOfMissingFileChangesNothing();
    void writeCfgOfCurrent_data();
    void writeCfgOfCurrent();
    void writeCfgGeneralSection_data();
    void writeCfgGeneralSection();
    void writeCfgRefusals_data();
    void writeCfgRefusals();
    void writeCfgWithBackup();
    void backupRoundTrip();
    void backupFailures_data();
    void backupFailures();
};

void TestCliLibrary::listJsonShowsEveryAreaInFileOrder_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("sim");
    // Both simulators installed and nothing stored: Flight Simulator 2002 is worked on.
    QTest::newRow("selected simulator") << QStringList{} << 1;
    QTest::newRow("--sim 0") << QStringList{QStringLiteral("--sim"), QStringLiteral("0")} << 0;
    QTest::newRow("--sim=1 after the command") << QStringList{QStringLiteral("--sim=1")} << 1;
}

void TestCliLibrary::listJsonShowsEveryAreaInFileOrder()
{
    QFETCH(QStringList, simArgs);
    QFETCH(int, sim);
    const Demo &demo = Demo::readOnly();
    const QJsonArray list =
        demo.runJson(QStringList{QStringLiteral("list"), QStringLiteral("--json")} + simArgs);

    QCOMPARE(int(list.size()), demo.areaCount(sim));
    const QList<Area> areas = readAreas(demo.fs.readLines(Demo::sceneryCfg(sim)));
    QCOMPARE(titlesOf(list), titlesOf(areas));

    const QStringList fields{
        QStringLiteral("key"),        QStringLiteral("title"),      QStringLiteral("level"),
        QStringLiteral("active"),     QStringLiteral("required"),   QStringLiteral("isLocalPath"),
        QStringLiteral("localPath"),  QStringLiteral("remotePath"), QStringLiteral("inCFG"),
        QStringLiteral("layer"),      QStringLiteral("textureId"),  QStringLiteral("group"),
        QStringLiteral("groupId"),    QStringLiteral("id"),         QStringLiteral("exclude"),
        QStringLiteral("flatten"),    QStringLiteral("flySim"),     QStringLiteral("author"),
        QStringLiteral("version"),    QStringLiteral("comment"),    QStringLiteral("salesType"),
        QStringLiteral("previousKey")};
    QString previousKey;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject scenery = list.at(i).toObject();
        for (const QString &field : fields)
            QVERIFY2(scenery.contains(field), qPrintable(field));
        QCOMPARE(scenery.value(QStringLiteral("flatten")).toArray().size(), 10);
        const QString title = scenery.value(QStringLiteral("title")).toString();
        QCOMPARE(scenery.value(QStringLiteral("key")).toString(), QStringLiteral("SceneryNew\\") + title);
        QCOMPARE(scenery.value(QStringLiteral("level")).toString(), QStringLiteral("LevelNew"));
        QVERIFY(scenery.value(QStringLiteral("inCFG")).toBool());
        // A remote-only area has no local folder.
        const Area &area = areas.at(i);
        QCOMPARE(scenery.value(QStringLiteral("isLocalPath")).toBool(),
                 area.remote.isEmpty() || !area.local.isEmpty());
        QCOMPARE(scenery.value(QStringLiteral("localPath")).toString(), area.local);
        // The order is the one the next save records.
        QCOMPARE(scenery.value(QStringLiteral("previousKey")).toString(), previousKey);
        previousKey = scenery.value(QStringLiteral("key")).toString();
    }
}

void TestCliLibrary::listOneSet_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expectedCount"); // -1: every area of the file
    QTest::newRow("(Current)") << QStringLiteral("(Current)") << 0 << -1;
    QTest::newRow("stored set: members in tree order, unknown titles left out")
        << QStringLiteral("Europe") << 0 << 2;
    QTest::newRow("empty set") << QStringLiteral("Empty") << 0 << 0;
    QTest::newRow("no such set") << QStringLiteral("Nowhere") << 1 << 0;
    QTest::newRow("set names match case") << QStringLiteral("europe") << 1 << 0;
}

void TestCliLibrary::listOneSet()
{
    QFETCH(QString, set);
    QFETCH(int, code);
    QFETCH(int, expectedCount);
    const Demo &demo = Demo::readOnly();

    const Result result =
        demo.run({QStringLiteral("list"), QStringLiteral("--json"), QStringLiteral("--set"), set});
    QCOMPARE(result.code, code);
    if (code != 0) {
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.contains(set), qPrintable(result.err));
        return;
    }
    const QStringList titles = titlesOf(QJsonDocument::fromJson(result.out).array());
    const QStringList fileOrder = titlesOf(readAreas(demo.fs.readLines(Demo::sceneryCfg(1))));
    if (expectedCount < 0) {
        QCOMPARE(titles, fileOrder);
    } else {
        QCOMPARE(int(titles.size()), expectedCount);
        if (expectedCount == 2) {
            QVERIFY(fileOrder.indexOf(QStringLiteral("Paris")) < fileOrder.indexOf(QStringLiteral("London")));
            QCOMPARE(titles, (QStringList{QStringLiteral("Paris"), QStringLiteral("London")}));
        }
    }
}

void TestCliLibrary::setsJsonHoldsCurrentAndStoredSets()
{
    const Demo &demo = Demo::readOnly();
    const QJsonArray sets = demo.runJson({QStringLiteral("sets"), QStringLiteral("--json")});

    QHash<QString, QJsonObject> byName;
    QStringList names;
    for (const QJsonValue &value : sets) {
        const QJsonObject set = value.toObject();
        names << set.value(QStringLiteral("name")).toString();
        byName.insert(names.last(), set);
    }
    QCOMPARE(names.size(), 5);
    QVERIFY(names.contains(QStringLiteral("(Current)")));
    // "(Current)" is never stored; the stored sets keep their order.
    names.removeOne(QStringLiteral("(Current)"));
    QCOMPARE(names, (QStringList{QStringLiteral("Europe"), QStringLiteral("Empty"),
                                 QStringLiteral("Night VFR"), QStringLiteral("Old sim")}));

    QStringList current;
    for (const QJsonValue &member :
         byName.value(QStringLiteral("(Current)")).value(QStringLiteral("members")).toArray())
        current << member.toString();
    QCOMPARE(current, titlesOf(readAreas(demo.fs.readLines(Demo::sceneryCfg(1)))));

    // Stored members keep their stored order; every set shows its simulator, whichever is worked on.
    const QJsonObject night = byName.value(QStringLiteral("Night VFR"));
    QCOMPARE(night.value(QStringLiteral("sim")).toInt(-1), 1);
    QCOMPARE(night.value(QStringLiteral("members")).toArray(),
             (QJsonArray{QStringLiteral("Tokyo"), QStringLiteral("Chicago")}));
    QCOMPARE(byName.value(QStringLiteral("Old sim")).value(QStringLiteral("sim")).toInt(-1), 0);
}

void TestCliLibrary::importThenListShowsTheSame_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("sim");
    QTest::newRow("FS2002") << QStringList{} << 1;
    QTest::newRow("FS2000") << QStringList{QStringLiteral("--sim"), QStringLiteral("0")} << 0;
}

void TestCliLibrary::importThenListShowsTheSame()
{
    QFETCH(QStringList, simArgs);
    QFETCH(int, sim);
    const Demo demo;
    const QJsonArray before =
        demo.runJson(QStringList{QStringLiteral("list"), QStringLiteral("--json")} + simArgs);

    const Result imported = demo.run(QStringList{QStringLiteral("import")} + simArgs);
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    const int n = demo.areaCount(sim);
    QVERIFY2(QString::fromUtf8(imported.out)
                 .contains(QStringLiteral(": %1 sceneries before, %1 after, 0 new areas.").arg(n)),
             imported.out.constData());
    QVERIFY(demo.fs.fileExists(demo.programFolder + QStringLiteral("\\Lumivale.db5")));

    // The saved library now holds the order: a later run reads it back the same. The library file
    // keeps a group as a number, so an area without one comes back with "0".
    const QJsonArray after =
        demo.runJson(QStringList{QStringLiteral("list"), QStringLiteral("--json")} + simArgs);
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i) {
        QJsonObject was = before.at(i).toObject();
        QJsonObject is = after.at(i).toObject();
        const QString group = was.take(QStringLiteral("group")).toString();
        QCOMPARE(is.take(QStringLiteral("group")).toString(), group.isEmpty() ? QStringLiteral("0") : group);
        QCOMPARE(is, was);
    }
}

void TestCliLibrary::importOtherFile_data()
{
    QTest::addColumn<bool>("hostPath");
    QTest::addColumn<bool>("updateExisting");
    QTest::newRow("host path") << true << false;
    QTest::newRow("Windows path") << false << false;
    QTest::newRow("--update-existing") << true << true;
}

void TestCliLibrary::importOtherFile()
{
    QFETCH(bool, hostPath);
    QFETCH(bool, updateExisting);
    const Demo demo;
    // A file of two known areas, both switched off and moved, and one new area.
    const QString file = DemoInstallation::downloadsFolder() + QStringLiteral("\\other.cfg");
    demo.fs.writeLines(file, {QStringLiteral("[General]"), QStringLiteral("Title=Other"), QString(),
                              QStringLiteral("[Area.001]"), QStringLiteral("Title=Paris"),
                              QStringLiteral("Active=FALSE"), QStringLiteral("Local=Moved\\Paris"), QString(),
                              QStringLiteral("[Area.002]"), QStringLiteral("Title=Tokyo"),
                              QStringLiteral("Active=FALSE"), QStringLiteral("Local=Moved\\Tokyo"), QString(),
                              QStringLiteral("[Area.003]"), QStringLiteral("Title=Brand New Field"),
                              QStringLiteral("Active=TRUE"), QStringLiteral("Local=Addon Scenery\\New")});
    const int n = demo.areaCount(1);

    QStringList arguments{QStringLiteral("import"), hostPath ? demo.fs.toHost(file) : file};
    if (updateExisting)
        arguments << QStringLiteral("--update-existing");
    const Result imported = demo.run(arguments);
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    QVERIFY2(QString::fromUtf8(imported.out)
                 .contains(QStringLiteral(": %1 sceneries before, %2 after, 1 new areas.").arg(n).arg(n + 1)),
             imported.out.constData());

    const QJsonArray list = demo.runJson({QStringLiteral("list"), QStringLiteral("--json")});
    QCOMPARE(int(list.size()), n + 1);
    QHash<QString, QJsonObject> byTitle;
    for (const QJsonValue &value : list)
        byTitle.insert(value.toObject().value(QStringLiteral("title")).toString(), value.toObject());
    QVERIFY(byTitle.contains(QStringLiteral("Brand New Field")));
    QCOMPARE(byTitle.value(QStringLiteral("Brand New Field")).value(QStringLiteral("level")).toString(),
             QStringLiteral("LevelNew"));
    for (const QString &title : {QStringLiteral("Paris"), QStringLiteral("Tokyo")}) {
        const QJsonObject s = byTitle.value(title);
        QCOMPARE(s.value(QStringLiteral("active")).toBool(), !updateExisting);
        QCOMPARE(s.value(QStringLiteral("localPath")).toString() == QStringLiteral("Moved\\") + title,
                 updateExisting);
    }
    // A scenery the file does not name keeps its values.
    QVERIFY(byTitle.value(QStringLiteral("London")).value(QStringLiteral("active")).toBool());
}

void TestCliLibrary::importOfMissingFileChangesNothing()
{
    const Demo demo;
    const Result result = demo.run({QStringLiteral("import"), QStringLiteral("C:\\Nowhere\\Scenery.cfg")});
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(QStringLiteral("C:\\Nowhere\\Scenery.cfg")), qPrintable(result.err));
    QVERIFY(!demo.fs.fileExists(demo.programFolder + QStringLiteral("\\Lumivale.db5")));
    QVERIFY(!demo.fs.fileExists(demo.programFolder + QStringLiteral("\\CFGSet.db")));
}

void TestCliLibrary::writeCfgOfCurrent_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("sim");
    QTest::newRow("FS2002") << QStringList{} << 1;
    QTest::newRow("FS2000") << QStringList{QStringLiteral("--sim"), QStringLiteral("0")} << 0;
}

void TestCliLibrary::writeCfgOfCurrent()
{
    QFETCH(QStringList, simArgs);
    QFETCH(int, sim);
    const Demo demo;
    const QStringList expected = demo.writableTitles(sim);
    QVERIFY(expected.size() < demo.areaCount(sim)); // the demo has areas without their folder

    const Result result =
        demo.run(QStringList{QStringLiteral("write-cfg"), QStringLiteral("(Current)")} + simArgs);
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("Can not include scenery.: Scenery '")),
             qPrintable(result.err));
    QVERIFY2(QString::fromUtf8(result.out)
                 .contains(QStringLiteral(": %1 areas from (Current).").arg(expected.size())),
             result.out.constData());

    const QStringList lines = demo.fs.readLines(Demo::sceneryCfg(sim));
    QCOMPARE(titlesOf(readAreas(lines)), expected);
    // The areas are numbered in order and their layer is their number.
    QVERIFY(lines.contains(QStringLiteral("[Area.001]")));
    QVERIFY(lines.contains(QStringLiteral("Layer=%1").arg(expected.size())));
    QCOMPARE(lines.contains(QStringLiteral("[Cache.000]")), sim == 1);
}

void TestCliLibrary::writeCfgGeneralSection_data()
{
    // Arguments and the expected "[General]" lines, each list written as one text split at "|".
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("general");
    QTest::newRow("FS2002 defaults") << QStringLiteral("write-cfg|(Current)")
                                     << QStringLiteral(
                                            "[General]|Title=FS2002 World|Description=Lumivale 1.6 "
                                            "Created World|Cache_Size=50M|Clean_on_Exit=FALSE|");
    QTest::newRow("FS2000: no title, no description")
        << QStringLiteral("--sim|0|write-cfg|(Current)")
        << QStringLiteral("[General]|Cache_Size=50M|Clean_on_Exit=FALSE|");
    QTest::newRow("options") << QStringLiteral("write-cfg|(Current)|--cache-size|120|--clean-on-exit|--title|"
                                               "Evening|--description|Before the flight")
                             << QStringLiteral("[General]|Title=Evening|Description=Before the flight|"
                                               "Cache_Size=120M|Clean_on_Exit=TRUE|");
    QTest::newRow("cache size below 10 raised")
        << QStringLiteral("write-cfg|(Current)|--cache-size|4")
        << QStringLiteral("[General]|Title=FS2002 World|Description=Lumivale 1.6 Created World|"
                          "Cache_Size=10M|Clean_on_Exit=FALSE|");
}

void TestCliLibrary::writeCfgGeneralSection()
{
    QFETCH(QString, arguments);
    QFETCH(QString, general);
    const QStringList lines = general.split(QLatin1Char('|'));
    const Demo demo;
    const Result result = demo.run(arguments.split(QLatin1Char('|')));
    QVERIFY2(result.code == 0, qPrintable(result.err));
    const int sim = arguments.startsWith(QLatin1String("--sim")) ? 0 : 1;
    QCOMPARE(demo.fs.readLines(Demo::sceneryCfg(sim)).mid(0, lines.size()), lines);
}

void TestCliLibrary::writeCfgRefusals_data()
{
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<int>("setSize");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("unknown set") << QStringList{QStringLiteral("Nowhere")} << 0 << 1
                                 << QStringLiteral("no set \"Nowhere\"");
    QTest::newRow("unknown set after a known one")
        << QStringList{QStringLiteral("(Current)"), QStringLiteral("Nowhere")} << 0 << 1
        << QStringLiteral("no set \"Nowhere\"");
    QTest::newRow("333 titles") << QStringList{QStringLiteral("Big")} << 333 << 3
                                << QStringLiteral(
                                       "Can not create scenery.cfg: The selected sets cover more then "
                                       "the maximum of 332 sceneries.");
    // The limit counts distinct titles over all named sets.
    QTest::newRow("332 titles and (Current) over them")
        << QStringList{QStringLiteral("Big"), QStringLiteral("(Current)")} << 332 << 3
        << QStringLiteral("Can not create scenery.cfg");
    QTest::newRow("332 titles") << QStringList{QStringLiteral("Big")} << 332 << 0 << QString();
    QTest::newRow("332 titles named twice")
        << QStringList{QStringLiteral("Big"), QStringLiteral("Big")} << 332 << 0 << QString();
}

void TestCliLibrary::writeCfgRefusals()
{
    QFETCH(QStringList, sets);
    QFETCH(int, setSize);
    QFETCH(int, code);
    QFETCH(QString, errorPart);
    const Demo demo;
    // Made-up titles plus two real ones, so that a written file shows it was written.
    QStringList members = numbered(setSize - 2);
    if (setSize >= 2)
        members << QStringLiteral("Paris") << QStringLiteral("London");
    demo.writeSets({QStringList{QStringLiteral("Big"), QStringLiteral("1")} + members});
    const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));

    const Result result = demo.run(QStringList{QStringLiteral("write-cfg")} + sets);
    QCOMPARE(result.code, code);
    QVERIFY2(result.err.contains(errorPart), qPrintable(result.err));
    if (code != 0) {
        QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), original);
        QVERIFY(result.out.isEmpty());
    } else {
        QCOMPARE(titlesOf(readAreas(demo.fs.readLines(Demo::sceneryCfg(1)))).size(), 2);
    }
}

void TestCliLibrary::writeCfgWithBackup()
{
    const Demo demo;
    demo.fs.writeLines(demo.programFolder + QStringLiteral("\\BackupFilesFS2002.db"),
                       {QStringLiteral("\\Scenery.cfg"), QStringLiteral("\\FS2002.cfg")});
    const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
    const QString copy = Demo::simFolder(1) + QStringLiteral("\\Scenery.CFG.Backup");
    QVERIFY(!demo.fs.fileExists(copy));

    const Result result = demo.run({QStringLiteral("write-cfg"), QStringLiteral("(Current)"),
                                    QStringLiteral("--backup"), QStringLiteral("before/flight")});
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("Do you want to make a backup first? [answered Yes]")),
             qPrintable(result.err));
    const QString zip = demo.backupRoot() + QStringLiteral("before_flight.zip");
    QVERIFY(demo.fs.fileExists(zip));
    QVERIFY(QFileInfo(demo.fs.toHost(zip)).size() > 0);
    // The copy was taken before the new file replaced the old one.
    QCOMPARE(demo.fs.readAll(copy), original);
    QVERIFY(demo.fs.readAll(Demo::sceneryCfg(1)) != original);
}

void TestCliLibrary::backupRoundTrip()
{
    const Demo demo;
    demo.fs.writeLines(demo.programFolder + QStringLiteral("\\BackupFilesFS2002.db"),
                       {QStringLiteral("\\Scenery.cfg")});
    const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
    // An earlier folder backup is listed beside the zip files.
    Start::CreateSubFolder(demo.fs, demo.backupRoot() + QStringLiteral("Spring V15"));
    demo.fs.writeAll(demo.backupRoot() + QStringLiteral("Spring V15\\Scenery.cfg"), original);

    const Result made =
        demo.run({QStringLiteral("backup"), QStringLiteral("make"), QStringLiteral("nightly")});
    QVERIFY2(made.code == 0, qPrintable(made.err));
    QVERIFY(demo.fs.fileExists(demo.backupRoot() + QStringLiteral("nightly.zip")));

    QJsonArray list =
        demo.runJson({QStringLiteral("backup"), QStringLiteral("list"), QStringLiteral("--json")});
    QCOMPARE(list.size(), 2);
    QHash<QString, QJsonObject> byName;
    for (const QJsonValue &value : list)
        byName.insert(value.toObject().value(QStringLiteral("name")).toString(), value.toObject());
    QCOMPARE(byName.value(QStringLiteral("nightly.zip")).value(QStringLiteral("kind")).toString(),
             QStringLiteral("zip"));
    QVERIFY(byName.value(QStringLiteral("nightly.zip")).value(QStringLiteral("size")).toInteger() > 0);
    QCOMPARE(byName.value(QStringLiteral("Spring V15")).value(QStringLiteral("kind")).toString(),
             QStringLiteral("folder"));
    QCOMPARE(byName.value(QStringLiteral("Spring V15")).value(QStringLiteral("size")).toInteger(),
             original.size());

    // A spoiled Scenery.cfg comes back from the backup.
    demo.fs.writeAll(Demo::sceneryCfg(1), "[General]\r\n");
    const Result installed =
        demo.run({QStringLiteral("backup"), QStringLiteral("install"), QStringLiteral("nightly.zip")});
    QVERIFY2(installed.code == 0, qPrintable(installed.err));
    QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), original);

    // Deleting asks; without --yes the answer is No and the backup stays.
    const Result kept =
        demo.run({QStringLiteral("backup"), QStringLiteral("delete"), QStringLiteral("nightly.zip")});
    QCOMPARE(kept.code, 3);
    QVERIFY(demo.fs.fileExists(demo.backupRoot() + QStringLiteral("nightly.zip")));
    const Result deleted = demo.run({QStringLiteral("backup"), QStringLiteral("delete"),
                                     QStringLiteral("nightly.zip"), QStringLiteral("--yes")});
    QVERIFY2(deleted.code == 0, qPrintable(deleted.err));
    QVERIFY(!demo.fs.fileExists(demo.backupRoot() + QStringLiteral("nightly.zip")));

    list = demo.runJson({QStringLiteral("backup"), QStringLiteral("list"), QStringLiteral("--json")});
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Spring V15"));
}

void TestCliLibrary::backupFailures_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("withList");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("install a missing backup")
        << QStringList{QStringLiteral("backup"), QStringLiteral("install"), QStringLiteral("none.zip")}
        << true << QStringLiteral("Could not install backup.: Backup does not exist.");
    QTest::newRow("install-old a missing folder")
        << QStringList{QStringLiteral("backup"), QStringLiteral("install-old"), QStringLiteral("none")}
        << true << QStringLiteral("Could not install backup.: Backup does not exist.");
    QTest::newRow("delete a missing backup")
        << QStringList{QStringLiteral("backup"), QStringLiteral("delete"), QStringLiteral("none.zip"),
                       QStringLiteral("--yes")}
        << true << QStringLiteral("Could not delete backup.: Backup does not exist.");
    QTest::newRow("make with an empty file list")
        << QStringList{QStringLiteral("backup"), QStringLiteral("make"), QStringLiteral("empty")} << false
        << QStringLiteral("names no files");
    QTest::newRow("make with a listed file missing")
        << QStringList{QStringLiteral("backup"), QStringLiteral("make"), QStringLiteral("broken")} << true
        << QStringLiteral("BackupManager.makeBackup");
}

void TestCliLibrary::backupFailures()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, withList);
    QFETCH(QString, errorPart);
    const Demo demo;
    if (withList)
        demo.fs.writeLines(demo.programFolder + QStringLiteral("\\BackupFilesFS2002.db"),
                           {QStringLiteral("\\Scenery.cfg"), QStringLiteral("\\No such file.cfg")});
    const Result result = demo.run(arguments);
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(errorPart), qPrintable(result.err));
    QVERIFY(demo.fs.files(demo.backupRoot()).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliLibrary)
#include "tst_clilibrary.moc"
