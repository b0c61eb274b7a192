#include "libraryfixture.h"

#include "backup/backupmanager.h"
#include "tree/librarytree.h"

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
    for (const QString &line : crlfLines(file)) {
        const QString t = line.trimmed();
        if (t.startsWith(u'[') && (inArea = t.startsWith(u"[Area.", Qt::CaseInsensitive)))
            areas.append(QMap<QString, QString>());
        else if (inArea && t.indexOf(u'=') > 0)
            areas.last().insert(t.section(u'=', 0, 0).toUpper(), t.section(u'=', 1));
    }
    return areas;
}

// The writer always offers a backup first; the answer is given when the fixture is made.
struct Writer : LibraryFixture
{
    qint32 cacheSize = 20;

    explicit Writer(UiPort::Answer backup = UiPort::Answer::No)
    {
        env.ui.expectMessage(u"Do you want to make a backup first?"_s, u"Creating new Scenery.CFG"_s, backup, UiPort::Icon::None);
    }
    void create(const QString &sets = u"All\r\n"_s, const QString &title = {}, bool clean = false, const QString &description = {})
    {
        m().CreateCFG(sets, tree.keysInWalkOrder(), cacheSize, clean, title, description);
        QVERIFY(env.ui.allShown());
    }
    QByteArray file() const { return env.readFile(CfgPath); }
    // count sceneries titled S1..Sn in the level "New" and the set "All", remote only so no folder is checked.
    void numbered(int count, const QString &exclude = {})
    {
        QStringList titles;
        for (int i = 1; i <= count; ++i) {
            titles << u"S%1"_s.arg(i);
            scenery(u"SceneryNew\\"_s + titles.last(), u"RemotePath=R:\\"_s + titles.last() + u"|Exclude="_s + exclude);
        }
        addSets(u"All:1:0:"_s + titles.join(u','));
        build(u"New:"_s + titles.join(u','));
    }
};

// The library of tests/data/cfgwrite-golden: nested levels, a scenery with a missing folder, a
// remote-only scenery with an empty remote folder, an empty title, two sceneries titled "Alpha",
// a member without a node, a scenery outside the selected sets and two cache entries.
void buildGoldenLibrary(Writer &f)
{
    f.env.writeFile(u"C:\\FS2002\\Addon Scenery\\Alpha\\scenery\\alpha.bgl"_s, "bgl");
    f.env.writeFile(u"C:\\Sceneries\\Gamma\\Scenery\\gamma.bgl"_s, "bgl");
    f.scenery(u"SceneryNew\\Alpha"_s, u"LocalPath=Addon Scenery\\Alpha|IsLocalPath=1|Texture_ID=1|Active=1|Required=1|"
                                      u"Exclude=X1|Flatten2=F2|Flatten7=F7|Layer=99"_s);
    f.scenery(u"SceneryNew\\Beta"_s, u"LocalPath=Addon Scenery\\NoSuchFolder|Texture_ID=2"_s);
    f.scenery(u"SceneryNew\\Sub\\Gamma"_s, u"LocalPath=C:\\Sceneries\\Gamma\\Scenery\\|IsLocalPath=1|Active=1"_s);
    f.scenery(u"SceneryNew\\Sub\\Missing"_s, u"LocalPath=Addon Scenery\\Missing|IsLocalPath=1"_s);
    f.scenery(u"SceneryNew\\Delta"_s, u"LocalPath=Addon Scenery\\Delta|IsLocalPath=1"_s);
    f.scenery(u"SceneryNew\\"_s, u"RemotePath=F:\\Remote\\U"_s);
    f.scenery(u"SceneryOther\\Alpha"_s, u"RemotePath=G:\\Alpha2"_s);
    f.scenery(u"SceneryNew\\Orphan"_s);
    f.build(u"New:Alpha,Beta;New/Sub:Gamma,Missing;New:Delta,;Other:Alpha"_s);
    f.addSets(u"Main:1:0:Alpha,Beta,Gamma,Missing,Orphan;Extra:1:0:Alpha,"_s);
    f.m().colCache.add(u"[Cache.001]"_s, std::make_shared<clsCache>(clsCache{1, u"Default Texture Cache"_s, u"texture"_s,
                                                                             u"scenedb\\texture"_s, false}));
    f.m().colCache.add(u"[Cache.005]"_s, std::make_shared<clsCache>(clsCache{5, u"Extra Cache"_s, u"C:\\Cache"_s, {}, true}));
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
        f.create(u"Main\r\nExtra\r\nIgnored"_s, u"My World"_s, true, u"Made by test"_s);
        QCOMPARE(f.cacheSize, 10);
        QCOMPARE(f.file(), testData(u"cfgwrite-golden"_s, u"Scenery-sim%1.CFG"_s.arg(simType)));
    }

    // Nothing is written when the selection is refused or writing fails; the old file stays whole.
    void writtenOrRefused_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("extra");  // more nodes ("level:titles"), or more set names
        QTest::addColumn<QString>("message");  // title, text start
        QTest::addColumn<int>("areas");  // 0: the old file kept
        const QString error = u"Lumivale|SceneryManager.CreateCFG\nError: 9\n"_s;
        QTest::newRow("332 written") << 332 << "" << "" << 332;
        QTest::newRow("333 refused") << 333 << ""
                                     << "Can not create scenery.cfg|The selected sets cover more then the maximum of 332 sceneries." << 0;
        QTest::newRow("the limit counts titles, not sceneries") << 332 << "Other:S1" << "" << 333;
        QTest::newRow("unknown set") << 3 << "No such set\r\n" << error << 0;
        QTest::newRow("node without scenery") << 3 << "New:Ghost" << error << 0;
    }

    void writtenOrRefused()
    {
        QFETCH(int, count);
        QFETCH(QString, extra);
        QFETCH(QString, message);
        QFETCH(int, areas);
        Writer f;
        f.numbered(count);
        f.scenery(u"SceneryOther\\S1"_s, u"RemotePath=R:\\Twin"_s);  // not written unless a row gives it a node
        if (extra.contains(u':'))
            f.build(extra);
        f.env.writeFile(CfgPath, OldFile);
        if (!message.isEmpty())
            f.env.ui.expectMessageStartingWith(message.section(u'|', 1), message.section(u'|', 0, 0));
        f.create(extra.contains(u':') ? u"All\r\n"_s : u"All\r\n%1"_s.arg(extra));
        QCOMPARE(areas ? parseAreas(f.file()).size() : 0, areas);
        QCOMPARE(f.file() == OldFile, !areas);
    }

    void sizeWarningAfterCompleteFile()
    {
        Writer f;
        f.numbered(300, QString(250, u'x'));
        f.m().colCache.add(u"[Cache.001]"_s, std::make_shared<clsCache>(clsCache{0, u"Cache"_s, {}, {}, false}));
        f.env.ui.expectMessageStartingWith(u"The Scenery.cfg is "_s, u"File size"_s);
        f.create();
        // The file is complete before the warning. Every line counts its length plus one, except the five
        // text lines of a cache section.
        QCOMPARE(parseAreas(f.file()).size(), 300);
        QVERIFY(f.file().endsWith("[Cache.000]\r\nTitle=Cache\r\nLocal=\r\nRemote=\r\nActive=FALSE\r\n\r\n"));
        const qsizetype counted = f.file().size() - crlfLines(f.file()).size() - 5;
        QCOMPARE(f.env.ui.shown().last(),
                 u"message|File size|The Scenery.cfg is %1 Byte long. (Max: 65500)\r\nThis is too long for the "
                 u"scenery.cfg and can even result in an error by reading the scenery.cfg.\r\n"
                 u"Do this option again with less sceneries included!"_s.arg(counted));
    }

    // The warning comes exactly when the counted size passes 65500 bytes. The size a file counts is
    // taken from the warning of a larger one, whose remote folder is then cut to reach each size.
    void sizeWarningBoundary_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("warned");
        QTest::newRow("65500: not warned") << 65500 << false;
        QTest::newRow("65501: warned") << 65501 << true;
    }

    void sizeWarningBoundary()
    {
        QFETCH(int, size);
        QFETCH(bool, warned);
        const auto writeWithRemoteOf = [](Writer &f, qsizetype length) {
            f.numbered(1);
            f.m().colScenery.first()->RemotePath = QString(length, u'r');
        };
        constexpr int Long = 70000;
        qsizetype counted = 0;
        {
            Writer large;
            writeWithRemoteOf(large, Long);
            large.env.ui.expectMessageStartingWith(u"The Scenery.cfg is "_s, u"File size"_s);
            large.create();
            counted =
                large.env.ui.shown().last().section(u"The Scenery.cfg is "_s, 1).section(u' ', 0, 0).toInt();
        }
        QVERIFY(counted > Long);
        Writer f;
        writeWithRemoteOf(f, Long - (counted - size));
        if (warned)
            f.env.ui.expectMessageStartingWith(u"The Scenery.cfg is %1 Byte long. (Max: 65500)"_s.arg(size),
                                               u"File size"_s);
        f.create();
    }

    // A local scenery is written when its folder holds the "Scenery" folder the simulator loads
    // from; a folder without it is reported and left out.
    void localFolderChecked_data()
    {
        QTest::addColumn<QString>("onDisk"); // a file below C:\FS2002
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<bool>("written");
        QTest::newRow("with its Scenery folder")
            << u"Addon Scenery\\Alps\\Scenery\\a.bgl"_s << u"Addon Scenery\\Alps"_s << true;
        QTest::newRow("Scenery folder in other letter case")
            << u"Addon Scenery\\Alps\\SCENERY\\a.bgl"_s << u"Addon Scenery\\Alps"_s << true;
        QTest::newRow("local path naming the Scenery folder")
            << u"Addon Scenery\\Alps\\Scenery\\a.bgl"_s << u"Addon Scenery\\Alps\\Scenery"_s << true;
        QTest::newRow("folder without a Scenery folder")
            << u"Addon Scenery\\Alps\\Texture\\a.bmp"_s << u"Addon Scenery\\Alps"_s << false;
        QTest::newRow("a file named Scenery")
            << u"Addon Scenery\\Alps\\Scenery"_s << u"Addon Scenery\\Alps"_s << false;
    }

    void localFolderChecked()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, localPath);
        QFETCH(bool, written);
        Writer f;
        f.env.writeFile(u"C:\\FS2002\\"_s + onDisk, "x");
        f.scenery(u"SceneryNew\\Alps"_s, u"IsLocalPath=1|LocalPath="_s + localPath);
        f.addSets(u"All:1:0:Alps"_s);
        f.build(u"New:Alps"_s);
        if (!written)
            f.env.ui.expectMessage(u"Scenery 'Alps' not included because the local path does not exist."_s,
                                   u"Can not include scenery."_s, UiPort::Answer::Ok,
                                   UiPort::Icon::Information);
        f.create();
        QCOMPARE(parseAreas(f.file()).size(), written ? 1 : 0);
    }

    // A line break in a value would end its line and start a line the simulator does not know.
    void lineBreaksBecomeBlanks()
    {
        Writer f;
        f.numbered(1);
        f.m().colScenery.first()->RemotePath = u"R:\\one\r\ntwo"_s;
        f.cacheSize = 64;
        f.create(u"All\r\n"_s, u"A\nB"_s);
        QCOMPARE(f.file(), crlf(u"[General]\nTitle=A B\nDescription=\nCache_Size=64M\nClean_on_Exit=FALSE\n\n[Area.001]\n"
                                u"Title=S1\nActive=FALSE\nLayer=1\nRemote=R:\\one  two\nRequired=FALSE\n\n"_s));
    }

    // A failed or stopped backup leaves the file as it is.
    void stoppedBackupKeepsOldFile()
    {
        Writer f(UiPort::Answer::Yes);
        BackupManager backup(f.env.context, u"C:\\FS2002"_s, 1);
        f.m().setBackUpFirst([&backup] { return backup.makeBackup(); });
        f.numbered(2);
        f.env.writeFile(CfgPath, OldFile);
        const QString tooLong = u"\\Scenery\\"_s + QString(80, u'a') + u".bgl"_s;
        f.env.writeFile(f.programFile(u"BackupFilesFS2002.db"_s), tooLong.toLatin1() + "\r\n");
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"before"_s);
        f.env.ui.expectMessageStartingWith(u"C:\\FS2002"_s + tooLong, u"Cannot zip file!"_s, UiPort::Answer::Cancel);
        f.create();
        QCOMPARE(f.file(), OldFile);
    }

    void realFilesWrittenBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("read");  // count, first Title|Texture_ID|LocalPath|Layer|Active|Required, general
        QTest::newRow("default") << "fs9-default-scenery.cfg" << "120 Default Terrain|1|Scenery\\World|1|1|1 FS9 World Scenery|1|1";
        QTest::newRow("localized") << "fs9-localized-scenery.cfg"
                                   << "124 @IDS_AREA001_DEFAULTTERRAIN|1|Scenery\\World|1|1|1 @IDS_GENERAL_FS9WORLDSCENERY|1|1";
    }

    void realFilesWrittenBack()
    {
        QFETCH(QString, file);
        QFETCH(QString, read);
        Writer f;
        const QByteArray original = testData(u"real"_s, file);
        f.env.writeFile(CfgPath, original);
        QString path;
        f.m().readCFG(path, false);
        QCOMPARE(path, u"C:\\FS2002\\SCENERY.CFG"_s);
        const QString first = f.sceneries(u"Title|Texture_ID|LocalPath|Layer|Active|Required"_s).section(u';', 0, 0);
        const CfgPtr general = f.m().dicCFGs.item(CurrentSet);
        QCOMPARE(u"%1 %2 %3|%4|%5"_s.arg(f.m().colScenery.count()).arg(first, general->Title).arg(general->Clean_on_Exit)
                     .arg(f.m().colCache.count()), read);
        f.addSets(u"All:1:0:"_s);
        f.build(u"New"_s);
        for (const SceneryPtr &s : f.m().colScenery) {
            // Every scenery read lands in the level "New" under its title.
            QVERIFY(s->InCFG && s->IsLocalPath && s->Key == u"SceneryNew\\"_s + s->Title);
            QVERIFY(QDir().mkpath(f.env.fs.toHost(f.m().getRealPath(s->LocalPath) + u"\\Scenery"_s)));
            f.tree.add(f.tree.node(u"LevelNew"_s), Tree::Relation::Child, s->Key, s->Title);
            f.m().dicCFGs.item(u"All"_s)->addMember(s->Title);
        }
        f.create();
        const QList<QMap<QString, QString>> before = parseAreas(original), after = parseAreas(f.file());
        QCOMPARE(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            for (const QString &key : {u"TITLE"_s, u"LOCAL"_s, u"ACTIVE"_s, u"REQUIRED"_s})
                QCOMPARE(after.at(i).value(key).toUpper(), before.at(i).value(key).toUpper());
            const QString texture = before.at(i).value(u"TEXTURE_ID"_s);
            QCOMPARE(after.at(i).value(u"TEXTURE_ID"_s), texture == u"1"_s ? texture : QString());
            QCOMPARE(after.at(i).value(u"LAYER"_s), QString::number(i + 1));
        }
    }

    // Areas of the simulator's file that share a title are each a scenery after the reading, so
    // a Scenery.cfg written from "(Current)" holds every one of them again.
    void currentKeepsAreasThatShareATitle()
    {
        LibraryFixture f;
        f.env.writeFile(u"C:\\FS2002\\SCENERY.CFG"_s, crlf(u"[Area.001]\nTitle=Airport\nRemote=D:\\A\n"
                                                           u"[Area.002]\nTitle=Airport\nRemote=D:\\B\n"_s));
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
        bool isNew = false;
        f.m().readDB(isNew);
        QString file;
        f.m().readCFG(file, false);
        LibraryTree libraryTree(f.m(), f.tree, f.env.ui);
        libraryTree.fillTree(0, isNew);
        // "(Current)" holds the sceneries the rebuilt tree ticks, as the window commits them.
        const CfgPtr current = f.m().dicCFGs.item(CurrentSet);
        for (const TreeNode *n = f.tree.firstRoot(); n; n = n->nextInWalk()) {
            if (n->checked())
                current->addMember(n->text());
        }
        f.env.ui.expectMessage(u"Do you want to make a backup first?"_s, u"Creating new Scenery.CFG"_s,
                               UiPort::Answer::No);
        qint32 cacheSize = 50;
        f.m().CreateCFG(CurrentSet + u"\r\n"_s, f.tree.keysInWalkOrder(), cacheSize, false, u"T"_s, u"D"_s);
        QVERIFY(f.env.ui.allShown());
        const QStringList written = crlfLines(f.env.readFile(u"C:\\FS2002\\Scenery.CFG"_s));
        QCOMPARE(written.filter(u"Remote=D:"_s), (QStringList{u"Remote=D:\\A"_s, u"Remote=D:\\B"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCfgWriter)
#include "tst_cfgwriter.moc"
