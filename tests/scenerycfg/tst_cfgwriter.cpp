#include "libraryfixture.h"

#include "backup/backupmanager.h"

#include <QDir>
#include <QTest>

namespace {

const QString CfgPath = u"C:\\FS2002\\Scenery.CFG"_s;
const QByteArray OldFile = "[General]\r\nTitle=old\r\n";

// The areas of a Scenery.cfg in file order, each as its upper-cased keys and their values.
QList<QMap<QString, QString>> parseAreas(const QByteArray &file)
{
    QList<QMap<QString, QString>> areas;
    bool inArea = false;
    for (const QByteArray &raw : crlfLines(file)) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(u'[')) {
            inArea = line.startsWith(u"[Area.", Qt::CaseInsensitive);
            if (inArea)
                areas.append(QMap<QString, QString>());
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inArea && eq > 0)
            areas.last().insert(line.left(eq).toUpper(), line.mid(eq + 1));
    }
    return areas;
}

// The writer always offers a backup first; the answer is given when the fixture is made.
struct Writer : LibraryFixture
{
    qint32 cacheSize = 20;

    explicit Writer(UiPort::Answer backup = UiPort::Answer::No)
    {
        env.ui.expectMessage(u"Do you want to make a backup first?"_s, u"Creating new Scenery.CFG"_s, backup,
                             UiPort::Icon::None);
    }
    void create(const QString &sets = u"All\r\n"_s, bool clean = false, const QString &title = {},
                const QString &description = {})
    {
        m().CreateCFG(sets, tree, cacheSize, clean, title, description);
        QVERIFY(env.ui.allShown());
    }
    QByteArray file() const { return env.readFile(CfgPath); }
    // A scenery with a node below parent.
    SceneryPtr placed(const QString &parent, const QString &key, const QString &title, const QString &local = {},
                      bool isLocal = false)
    {
        auto s = addScenery(key, title);
        s->LocalPath = local;
        s->IsLocalPath = isLocal;
        node(parent, key, title);
        return s;
    }
    // count sceneries titled S1..Sn, remote-only so no folder is checked, in the set "All" and one level.
    void numbered(int count, const QString &exclude = {})
    {
        QStringList titles;
        node({}, u"LevelNew"_s, u"New"_s);
        for (int i = 1; i <= count; ++i) {
            const QString title = u"S%1"_s.arg(i);
            auto s = placed(u"LevelNew"_s, u"SceneryNew\\"_s + title, title);
            s->RemotePath = u"R:\\"_s + title;
            s->Exclude = exclude;
            titles << title;
        }
        addSet(u"All"_s, m().SimType, false, titles);
    }
    void addCache(const QString &key, qint16 number, const QString &title, const QString &local = {},
                  const QString &remote = {}, bool active = false)
    {
        auto cache = std::make_shared<clsCache>();
        cache->intCache = number;
        cache->strTitle = title;
        cache->strLocal = local;
        cache->strRemote = remote;
        cache->blnActive = active;
        m().colCache.add(key, cache);
    }
};

// The library of tests/data/cfgwrite-golden: nested levels, a scenery with a missing folder, a
// remote-only scenery with an empty remote folder, an empty title, two sceneries titled "Alpha",
// a member without a node, a scenery outside the selected sets and two cache entries.
void buildGoldenLibrary(Writer &f)
{
    f.env.writeFile(u"C:\\FS2002\\Addon Scenery\\Alpha\\scenery\\alpha.bgl"_s, "bgl");
    f.env.writeFile(u"C:\\Sceneries\\Gamma\\Scenery\\gamma.bgl"_s, "bgl");
    const QString top = u"LevelNew"_s, sub = u"LevelNew\\Sub"_s;
    f.node({}, top, u"New"_s);
    auto alpha = f.placed(top, u"SceneryNew\\Alpha"_s, u"Alpha"_s, u"Addon Scenery\\Alpha"_s, true);
    alpha->Texture_ID = 1;
    alpha->Active = alpha->Required = true;
    alpha->Exclude = u"X1"_s;
    alpha->setFlatten(2, u"F2"_s);
    alpha->setFlatten(7, u"F7"_s);
    alpha->Layer = 99;
    f.placed(top, u"SceneryNew\\Beta"_s, u"Beta"_s, u"Addon Scenery\\NoSuchFolder"_s)->Texture_ID = 2;
    f.node(top, sub, u"Sub"_s);
    f.placed(sub, u"SceneryNew\\Sub\\Gamma"_s, u"Gamma"_s, u"C:\\Sceneries\\Gamma\\Scenery\\"_s, true)->Active = true;
    f.placed(sub, u"SceneryNew\\Sub\\Missing"_s, u"Missing"_s, u"Addon Scenery\\Missing"_s, true);
    f.placed(top, u"SceneryNew\\Delta"_s, u"Delta"_s, u"Addon Scenery\\Delta"_s, true);
    f.placed(top, u"SceneryNew\\"_s, QString())->RemotePath = u"F:\\Remote\\U"_s;
    f.node({}, u"LevelOther"_s, u"Other"_s);
    f.placed(u"LevelOther"_s, u"SceneryOther\\Alpha"_s, u"Alpha"_s)->RemotePath = u"G:\\Alpha2"_s;
    f.addScenery(u"SceneryNew\\Orphan"_s, u"Orphan"_s);
    f.addSet(u"Main"_s, 1, false, {u"Alpha"_s, u"Beta"_s, u"Gamma"_s, u"Missing"_s, u"Orphan"_s});
    f.addSet(u"Extra"_s, 1, false, {u"Alpha"_s, QString()});
    f.addCache(u"[Cache.001]"_s, 1, u"Default Texture Cache"_s, u"texture"_s, u"scenedb\\texture"_s);
    f.addCache(u"[Cache.005]"_s, 5, u"Extra Cache"_s, u"C:\\Cache"_s, {}, true);
}

}

class TestCfgWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesGoldenFile_data()
    {
        QTest::addColumn<int>("simType");
        QTest::newRow("Flight Simulator 2000") << 0;
        QTest::newRow("Flight Simulator 2002") << 1;
        QTest::newRow("Combat Flight Simulator 2") << 2;
    }

    void writesGoldenFile()
    {
        QFETCH(int, simType);
        Writer f;
        buildGoldenLibrary(f);
        f.m().SimType = simType;
        f.env.ui.expectMessage(u"Scenery 'Missing' not included because the local path does not exist."_s,
                               u"Can not include scenery."_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        f.cacheSize = 4;
        // The text after the last line break is no set name ("Ignored" is not a set).
        f.create(u"Main\r\nExtra\r\nIgnored"_s, true, u"My World"_s, u"Made by test"_s);
        QCOMPARE(f.cacheSize, 10);
        QCOMPARE(f.file(), testData(u"cfgwrite-golden"_s, u"Scenery-sim%1.CFG"_s.arg(simType)));
    }

    void selectionLimit_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("twin");  // one more scenery titled "S1" in another level
        QTest::addColumn<int>("areas");  // 0: refused
        QTest::newRow("332 written") << 332 << false << 332;
        QTest::newRow("333 refused") << 333 << false << 0;
        QTest::newRow("the limit counts titles, not sceneries") << 332 << true << 333;
    }

    void selectionLimit()
    {
        QFETCH(int, count);
        QFETCH(bool, twin);
        QFETCH(int, areas);
        Writer f;
        f.numbered(count);
        if (twin) {
            f.node({}, u"LevelOther"_s, u"Other"_s);
            f.placed(u"LevelOther"_s, u"SceneryOther\\S1"_s, u"S1"_s)->RemotePath = u"R:\\Twin"_s;
        }
        f.env.writeFile(CfgPath, OldFile);
        if (!areas)
            f.env.ui.expectMessage(u"The selected sets cover more then the maximum of 332 sceneries."_s,
                                   u"Can not create scenery.cfg"_s, UiPort::Answer::Ok, UiPort::Icon::Critical);
        f.create();
        if (!areas)
            QCOMPARE(f.file(), OldFile);
        else
            QCOMPARE(parseAreas(f.file()).size(), areas);
    }

    void cacheSizeRaised_data()
    {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("expected");
        QTest::newRow("9 raised") << 9 << 10;
        QTest::newRow("negative raised") << -5 << 10;
        QTest::newRow("10 kept") << 10 << 10;
        QTest::newRow("64 kept") << 64 << 64;
    }

    void cacheSizeRaised()
    {
        QFETCH(int, given);
        QFETCH(int, expected);
        Writer f;
        f.numbered(1);
        f.cacheSize = given;
        f.create();
        QCOMPARE(f.cacheSize, expected);
        const QList<QByteArray> lines = crlfLines(f.file());
        QVERIFY(lines.contains("Cache_Size=" + QByteArray::number(expected) + "M"));
        QVERIFY(lines.contains("Clean_on_Exit=FALSE"));
    }

    void sizeWarningAfterCompleteFile_data()
    {
        QTest::addColumn<int>("simType");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("warned");
        QTest::newRow("over the limit, no caches") << 0 << 300 << true;
        QTest::newRow("over the limit, with caches") << 1 << 300 << true;
        QTest::newRow("under the limit") << 1 << 150 << false;
    }

    void sizeWarningAfterCompleteFile()
    {
        QFETCH(int, simType);
        QFETCH(int, count);
        QFETCH(bool, warned);
        Writer f;
        f.m().SimType = simType;
        f.numbered(count, QString(250, u'x'));
        if (simType == 1)
            f.addCache(u"[Cache.001]"_s, 0, u"Cache"_s);
        if (warned)
            f.env.ui.expectMessageStartingWith(u"The Scenery.cfg is "_s, u"File size"_s);
        f.create();
        // The file is complete before the warning.
        const QByteArray file = f.file();
        QCOMPARE(parseAreas(file).size(), count);
        QVERIFY(file.endsWith("\r\n\r\n"));
        if (warned) {
            // Every line counts its length plus one, except the cache section's five text lines.
            const qsizetype counted = file.size() - crlfLines(file).size() - (simType == 1 ? 5 : 0);
            QVERIFY(counted > 65500);
            QCOMPARE(f.env.ui.shown().last(),
                     u"message|File size|The Scenery.cfg is %1 Byte long. (Max: 65500)\r\nThis is too long for the "
                     u"scenery.cfg and can even result in an error by reading the scenery.cfg.\r\n"
                     u"Do this option again with less sceneries included!"_s.arg(counted));
        }
    }

    void lineBreaksBecomeBlanks()
    {
        Writer f;
        f.numbered(2);
        f.m().colScenery.item(u"SceneryNew\\S1"_s)->RemotePath = u"R:\\one\r\ntwo"_s;
        f.create(u"All\r\n"_s, false, u"A\nB"_s);
        const QList<QMap<QString, QString>> areas = parseAreas(f.file());
        QCOMPARE(areas.size(), 2);
        QCOMPARE(areas.first().value(u"REMOTE"_s), u"R:\\one  two"_s);
        QCOMPARE(areas.first().size(), 5);
        QVERIFY(crlfLines(f.file()).contains("Title=A B"));
    }

    void failureLeavesOldFileWhole_data()
    {
        QTest::addColumn<QString>("sets");
        QTest::addColumn<bool>("ghost");  // a node whose scenery is not in the library: fails after the first areas
        QTest::newRow("unknown set") << "All\r\nNo such set\r\n" << false;
        QTest::newRow("node without scenery") << "All\r\n" << true;
    }

    void failureLeavesOldFileWhole()
    {
        QFETCH(QString, sets);
        QFETCH(bool, ghost);
        Writer f;
        f.numbered(3);
        if (ghost)
            f.node(u"LevelNew"_s, u"SceneryNew\\Ghost"_s, u"Ghost"_s);
        f.env.writeFile(CfgPath, OldFile);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.CreateCFG\nError: 9\n"_s, u"Lumivale"_s);
        f.create(sets);
        QCOMPARE(f.file(), OldFile);
    }

    void backupFirst_data()
    {
        QTest::addColumn<QString>("listed");  // the one file in the backup list
        QTest::addColumn<bool>("stopped");  // the user stops the backup at the too long path
        QTest::newRow("backup made") << "\\Scenery.CFG" << false;
        QTest::newRow("backup stopped") << u"\\Scenery\\"_s + QString(80, u'a') + u".bgl"_s << true;
    }

    void backupFirst()
    {
        QFETCH(QString, listed);
        QFETCH(bool, stopped);
        Writer f(UiPort::Answer::Yes);
        BackupManager backup(f.env.context, u"C:\\FS2002"_s, 1);
        f.m().setBackupManager(&backup);
        f.numbered(2);
        f.env.writeFile(CfgPath, OldFile);
        f.env.writeFile(f.programFile(u"BackupFilesFS2002.db"_s), listed.toLatin1() + "\r\n");
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"before"_s);
        if (stopped)
            f.env.ui.expectMessageStartingWith(u"C:\\FS2002"_s + listed, u"Cannot zip file!"_s, UiPort::Answer::Cancel);
        f.create();
        if (stopped) {
            QCOMPARE(f.file(), OldFile);
        } else {
            QCOMPARE(f.env.readFile(u"C:\\FS2002\\Scenery.CFG.Backup"_s), OldFile);
            QVERIFY(f.env.fs.fileExists(backup.backupRoot() + u"before.zip"_s));
            QCOMPARE(parseAreas(f.file()).size(), 2);
        }
    }

    void realFilesWrittenBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("default") << "fs9-default-scenery.cfg";
        QTest::newRow("localized") << "fs9-localized-scenery.cfg";
    }

    void realFilesWrittenBack()
    {
        QFETCH(QString, file);
        Writer f;
        const QByteArray original = testData(u"real"_s, file);
        f.env.writeFile(CfgPath, original);
        QString path;
        f.m().readCFG(path, false);
        QStringList titles;
        f.node({}, u"LevelNew"_s, u"New"_s);
        for (const SceneryPtr &s : f.m().colScenery) {
            QVERIFY(QDir().mkpath(f.env.fs.toHost(f.m().getRealPath(s->LocalPath) + u"\\Scenery"_s)));
            f.node(u"LevelNew"_s, s->Key, s->Title);
            titles << s->Title;
        }
        f.addSet(u"All"_s, 1, false, titles);
        f.create(u"All\r\n"_s, true, u"T"_s, u"D"_s);

        const QList<QMap<QString, QString>> before = parseAreas(original);
        const QList<QMap<QString, QString>> after = parseAreas(f.file());
        QCOMPARE(after.size(), before.size());
        QVERIFY(before.size() > 100);
        for (qsizetype i = 0; i < before.size(); ++i) {
            for (const QString &key : {u"TITLE"_s, u"LOCAL"_s, u"ACTIVE"_s, u"REQUIRED"_s})
                QCOMPARE(after.at(i).value(key).toUpper(), before.at(i).value(key).toUpper());
            const QString texture = before.at(i).value(u"TEXTURE_ID"_s);
            QCOMPARE(after.at(i).value(u"TEXTURE_ID"_s), texture == u"1"_s ? texture : QString());
            QCOMPARE(after.at(i).value(u"LAYER"_s), QString::number(i + 1));
        }
    }
};

QTEST_GUILESS_MAIN(TestCfgWriter)
#include "tst_cfgwriter.moc"
