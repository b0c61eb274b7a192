// Writing a Scenery.cfg from sets: the areas in tree order, the limit of 332 titles, local folders
// checked, the counted size warned about, and the previous file kept whole whenever the writing
// does not end well.

#include "backup/backupmanager.h"
#include "support/librarybuilder.h"
#include "tree/librarytree.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString CfgPath = u"C:\\FS2002\\Scenery.CFG"_s;
const QByteArray OldFile = "[General]\r\nTitle=old\r\n";
const QString LeftOutTitle = u"Can not include scenery."_s;

using Area = QMap<QString, QString>; // upper-cased key -> value

// The areas of a Scenery.cfg in file order.
QList<Area> areasOf(const QByteArray &file)
{
    QList<Area> areas;
    bool inArea = false;
    for (const QByteArray &line : file.split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        if (text.startsWith(u'[')) {
            inArea = text.startsWith(u"[Area."_s, Qt::CaseInsensitive);
            if (inArea)
                areas.append(Area());
        } else if (inArea && text.indexOf(u'=') > 0) {
            areas.last().insert(text.section(u'=', 0, 0).toUpper(), text.section(u'=', 1));
        }
    }
    return areas;
}

// The sceneries "S1" to "S<count>" in the level "New" and the set "All"; used from their remote
// folders, so that no folder is looked for.
Library numbered(int count, const QString &exclude = {})
{
    Library library;
    QStringList titles;
    for (int i = 1; i <= count; ++i) {
        titles << u"S%1"_s.arg(i);
        library.scenery(titles.last(), {.exclude = exclude, .remotePath = u"R:\\"_s + titles.last()});
    }
    return library.set(u"All"_s, Sim::FS2002, titles);
}

void expectBackupQuestion(LibraryEnv &f, UiPort::Answer answer = UiPort::Answer::No)
{
    f.env.ui.expectMessage(u"Do you want to make a backup first?"_s, u"Creating new Scenery.CFG"_s, answer,
                           UiPort::Icon::None);
}

// Writes the Scenery.cfg of the sets named from the tree, as the wizard does with its defaults.
Outcome createCfg(LibraryEnv &f, const QStringList &sets = {u"All"_s})
{
    QString names;
    for (const QString &set : sets)
        names += set + u"\r\n"_s;
    qint32 cacheSize = 20;
    return f.manager().CreateCFG(names, f.tree.keysInWalkOrder(), cacheSize, false, QString(), QString());
}

// The library of tests/data/cfgwrite-golden: nested levels, a scenery with a missing folder, a
// remote-only scenery with an empty remote folder, an empty title, two sceneries titled "Alpha",
// a member without a node, a scenery outside the selected sets and two cache sections.
Library goldenLibrary()
{
    return Library()
        .level(u"New"_s)
        .scenery(u"Alpha"_s, {.active = true,
                              .exclude = u"X1"_s,
                              .flatten = {{2, u"F2"_s}, {7, u"F7"_s}},
                              .isLocalPath = true,
                              .layer = 99,
                              .localPath = u"Addon Scenery\\Alpha"_s,
                              .required = true,
                              .textureId = 1})
        .scenery(u"Beta"_s, {.localPath = u"Addon Scenery\\NoSuchFolder"_s, .textureId = 2})
        .level(u"New\\Sub"_s)
        .scenery(u"Gamma"_s,
                 {.active = true, .isLocalPath = true, .localPath = u"C:\\Sceneries\\Gamma\\Scenery\\"_s})
        .scenery(u"Missing"_s, {.isLocalPath = true, .localPath = u"Addon Scenery\\Missing"_s})
        .level(u"New"_s)
        .scenery(u"Delta"_s, {.isLocalPath = true, .localPath = u"Addon Scenery\\Delta"_s})
        .scenery(QString(), {.remotePath = u"F:\\Remote\\U"_s})
        .level(u"Other"_s)
        .scenery(u"Alpha"_s, {.remotePath = u"G:\\Alpha2"_s})
        .level(u"New"_s)
        .scenery(u"Orphan"_s, {.inTree = false})
        .set(u"Main"_s, Sim::FS2002, {u"Alpha"_s, u"Beta"_s, u"Gamma"_s, u"Missing"_s, u"Orphan"_s})
        .set(u"Extra"_s, Sim::FS2002, {u"Alpha"_s, QString()})
        .cache(u"[Cache.001]"_s, {1, u"Default Texture Cache"_s, u"texture"_s, u"scenedb\\texture"_s, false})
        .cache(u"[Cache.005]"_s, {5, u"Extra Cache"_s, u"C:\\Cache"_s, QString(), true});
}

} // namespace

class TestCfgWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesGoldenFile_data()
    {
        QTest::addColumn<qint32>("simType");
        QTest::newRow("Flight Simulator 2000") << 0;
        QTest::newRow("Flight Simulator 2002") << 1;
        QTest::newRow("Combat Flight Simulator 2") << 2;
    }

    void writesGoldenFile()
    {
        QFETCH(qint32, simType);
        LibraryEnv f;
        f.env.writeFile(u"C:\\FS2002\\Addon Scenery\\Alpha\\scenery\\alpha.bgl"_s, "bgl");
        f.env.writeFile(u"C:\\Sceneries\\Gamma\\Scenery\\gamma.bgl"_s, "bgl");
        goldenLibrary().buildInto(f.manager(), f.tree);
        f.manager().SimType = simType;
        expectBackupQuestion(f);
        f.env.ui.expectMessage(u"Scenery 'Missing' not included because the local path does not exist."_s,
                               LeftOutTitle, UiPort::Answer::Ok, UiPort::Icon::Information);
        qint32 cacheSize = 4;
        // The text after the last line break is no set name ("Ignored" is not a set).
        const Outcome written = f.manager().CreateCFG(u"Main\r\nExtra\r\nIgnored"_s, f.tree.keysInWalkOrder(),
                                                      cacheSize, true, u"My World"_s, u"Made by test"_s);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(written.isDone());
        QCOMPARE(cacheSize, 10);
        QCOMPARE(f.env.readFile(CfgPath),
                 testDataFile(u"cfgwrite-golden"_s, u"Scenery-sim%1.CFG"_s.arg(simType)));
    }

    // The limit counts the distinct titles of the sets, not the sceneries that carry them.
    void limitOf332Titles_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("secondS1"); // a second scenery titled "S1", in another level
        QTest::addColumn<int>("areas");     // 0: refused, the old file kept
        QTest::newRow("332 written") << 332 << false << 332;
        QTest::newRow("333 refused") << 333 << false << 0;
        QTest::newRow("one title on two sceneries") << 332 << true << 333;
    }

    void limitOf332Titles()
    {
        QFETCH(int, count);
        QFETCH(bool, secondS1);
        QFETCH(int, areas);
        LibraryEnv f;
        Library library = numbered(count);
        if (secondS1)
            library.level(u"Other"_s).scenery(u"S1"_s, {.remotePath = u"R:\\Twin"_s});
        library.buildInto(f.manager(), f.tree);
        f.env.writeFile(CfgPath, OldFile);
        expectBackupQuestion(f);
        if (areas == 0)
            f.env.ui.expectMessage(u"The selected sets cover more then the maximum of 332 sceneries."_s,
                                   u"Can not create scenery.cfg"_s);
        const Outcome written = createCfg(f);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(written.isRefused(), areas == 0);
        QCOMPARE(areasOf(f.env.readFile(CfgPath)).size(), areas);
        if (areas == 0)
            QCOMPARE(f.env.readFile(CfgPath), OldFile);
    }

    // A failure half-way (here a node without its scenery) leaves the previous file as it was.
    void failureKeepsThePreviousFile()
    {
        LibraryEnv f;
        numbered(3).buildInto(f.manager(), f.tree);
        f.tree.add(f.tree.node(u"LevelNew"_s), Tree::Relation::Child, u"SceneryNew\\Ghost"_s, u"Ghost"_s);
        f.env.writeFile(CfgPath, OldFile);
        expectBackupQuestion(f);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.CreateCFG\nError: 9\n"_s, u"Lumivale"_s);
        const Outcome written = createCfg(f);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(written.isFailed());
        QCOMPARE(f.env.readFile(CfgPath), OldFile);
    }

    // The warning comes after the file is complete. Every line counts its length and one, the
    // text lines of a cache section only their length.
    void sizeWarningCountsTheLines()
    {
        LibraryEnv f;
        numbered(300, QString(250, u'x'))
            .cache(u"[Cache.001]"_s, {0, u"Cache"_s, QString(), QString(), false})
            .buildInto(f.manager(), f.tree);
        expectBackupQuestion(f);
        f.env.ui.expectMessageStartingWith(u"The Scenery.cfg is "_s, u"File size"_s);
        QVERIFY(createCfg(f).isDone());
        const QByteArray file = f.env.readFile(CfgPath);
        QCOMPARE(areasOf(file).size(), 300);
        QVERIFY(file.endsWith("[Cache.000]\r\nTitle=Cache\r\nLocal=\r\nRemote=\r\nActive=FALSE\r\n\r\n"));
        const qsizetype counted = file.size() - file.count("\r\n") - 5;
        QCOMPARE(
            f.env.ui.shown().last(),
            u"message|File size|The Scenery.cfg is %1 Byte long. (Max: 65500)\r\nThis is too long for the "
            u"scenery.cfg and can even result in an error by reading the scenery.cfg.\r\n"
            u"Do this option again with less sceneries included!"_s.arg(counted));
    }

    // The warning comes when the counted size passes 65500 bytes. The size of a file with an empty
    // remote folder is counted as above; its remote folder then makes up the rest.
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
        LibraryEnv f;
        numbered(1).buildInto(f.manager(), f.tree);
        clsScenery &scenery = *f.manager().colScenery.first();
        scenery.RemotePath.clear();
        expectBackupQuestion(f);
        createCfg(f);
        const QByteArray file = f.env.readFile(CfgPath);
        scenery.RemotePath = QString(size - (file.size() - file.count("\r\n")), u'r');
        expectBackupQuestion(f);
        if (warned)
            f.env.ui.expectMessageStartingWith(u"The Scenery.cfg is %1 Byte long. (Max: 65500)"_s.arg(size),
                                               u"File size"_s);
        createCfg(f);
        QVERIFY(f.env.ui.allShown());
    }

    // A local scenery is written when its folder holds the "Scenery" folder the simulator loads
    // from; a folder without it is reported and left out.
    void localFolderChecked_data()
    {
        QTest::addColumn<QString>("onDisk"); // a file below C:\FS2002
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<bool>("written");
        QTest::newRow("Scenery folder in other letter case")
            << u"Addon Scenery\\Alps\\SCENERY\\a.bgl"_s << u"Addon Scenery\\Alps"_s << true;
        QTest::newRow("local path naming the Scenery folder")
            << u"Addon Scenery\\Alps\\Scenery\\a.bgl"_s << u"Addon Scenery\\Alps\\Scenery"_s << true;
        QTest::newRow("a file named Scenery")
            << u"Addon Scenery\\Alps\\Scenery"_s << u"Addon Scenery\\Alps"_s << false;
    }

    void localFolderChecked()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, localPath);
        QFETCH(bool, written);
        LibraryEnv f;
        f.env.writeFile(u"C:\\FS2002\\"_s + onDisk, "x");
        Library()
            .scenery(u"Alps"_s, {.isLocalPath = true, .localPath = localPath})
            .set(u"All"_s, Sim::FS2002, {u"Alps"_s})
            .buildInto(f.manager(), f.tree);
        expectBackupQuestion(f);
        if (!written)
            f.env.ui.expectMessage(u"Scenery 'Alps' not included because the local path does not exist."_s,
                                   LeftOutTitle, UiPort::Answer::Ok, UiPort::Icon::Information);
        const Outcome outcome = createCfg(f);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(outcome.problems.size(), written ? 0 : 1);
        QCOMPARE(areasOf(f.env.readFile(CfgPath)).size(), written ? 1 : 0);
    }

    // A line break in a value would end its line and start a line the simulator does not know.
    void lineBreaksBecomeBlanks()
    {
        LibraryEnv f;
        numbered(1).buildInto(f.manager(), f.tree);
        f.manager().colScenery.first()->RemotePath = u"R:\\one\r\ntwo"_s;
        expectBackupQuestion(f);
        qint32 cacheSize = 64;
        f.manager().CreateCFG(u"All\r\n"_s, f.tree.keysInWalkOrder(), cacheSize, false, u"A\nB"_s, QString());
        QCOMPARE(f.env.readFile(CfgPath),
                 windowsText({u"[General]"_s, u"Title=A B"_s, u"Description="_s, u"Cache_Size=64M"_s,
                              u"Clean_on_Exit=FALSE"_s, QString(), u"[Area.001]"_s, u"Title=S1"_s,
                              u"Active=FALSE"_s, u"Layer=1"_s, u"Remote=R:\\one  two"_s, u"Required=FALSE"_s,
                              QString()}));
    }

    // The file about to be replaced is only safe once the backup asked for exists: a backup that
    // stops leaves the file as it is.
    void stoppedBackupKeepsThePreviousFile()
    {
        LibraryEnv f;
        numbered(2).buildInto(f.manager(), f.tree);
        BackupManager backup(f.env.context, u"C:\\FS2002"_s, 1);
        f.manager().setBackUpFirst([&backup] { return backup.makeBackup(); });
        f.env.writeFile(CfgPath, OldFile);
        const QString tooLong = u"\\Scenery\\"_s + QString(80, u'a') + u".bgl"_s;
        f.writeProgramFile(u"BackupFilesFS2002.db"_s, {tooLong});
        expectBackupQuestion(f, UiPort::Answer::Yes);
        f.env.ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"before"_s);
        f.env.ui.expectMessageStartingWith(u"C:\\FS2002"_s + tooLong, u"Cannot zip file!"_s,
                                           UiPort::Answer::Cancel);
        QVERIFY(createCfg(f).isStopped());
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(CfgPath), OldFile);
    }

    // A real simulator's file read and written back gives every area again, in its place.
    void realFileWrittenBack()
    {
        LibraryEnv f;
        const QByteArray original = testDataFile(u"real"_s, u"fs9-default-scenery.cfg"_s);
        f.env.writeFile(CfgPath, original);
        QString path;
        QVERIFY(f.manager().readCFG(path, false).problems.isEmpty());
        QStringList titles;
        for (const SceneryPtr &s : f.manager().colScenery) {
            QVERIFY(QDir().mkpath(f.env.host(f.manager().getRealPath(s->LocalPath) + u"\\Scenery"_s)));
            titles << s->Title;
        }
        Library().set(u"All"_s, Sim::FS2002, titles).buildInto(f.manager());
        LibraryTree(f.manager(), f.tree, f.env.ui).fillTree(0, false);
        expectBackupQuestion(f);
        QVERIFY(createCfg(f).isDone());
        const QList<Area> before = areasOf(original);
        const QList<Area> after = areasOf(f.env.readFile(CfgPath));
        QCOMPARE(after.size(), before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].value(u"TITLE"_s), before[i].value(u"TITLE"_s));
            QCOMPARE(after[i].value(u"LOCAL"_s), before[i].value(u"LOCAL"_s));
            QCOMPARE(after[i].value(u"ACTIVE"_s).toUpper(), before[i].value(u"ACTIVE"_s).toUpper());
            QCOMPARE(after[i].value(u"REQUIRED"_s).toUpper(), before[i].value(u"REQUIRED"_s).toUpper());
            QCOMPARE(after[i].value(u"TEXTURE_ID"_s), before[i].value(u"TEXTURE_ID"_s));
            QCOMPARE(after[i].value(u"LAYER"_s), QString::number(i + 1));
        }
    }

    // Areas of the simulator's file that share a title are each a scenery after the reading, so
    // a Scenery.cfg written from "(Current)" holds every one of them again.
    void currentKeepsAreasThatShareATitle()
    {
        LibraryEnv f;
        f.env.writeFile(CfgPath, windowsText({u"[Area.001]"_s, u"Title=Airport"_s, u"Remote=D:\\A"_s,
                                              u"[Area.002]"_s, u"Title=Airport"_s, u"Remote=D:\\B"_s}));
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
        bool isNew = false;
        f.manager().readDB(isNew);
        QString path;
        f.manager().readCFG(path, false);
        LibraryTree(f.manager(), f.tree, f.env.ui).fillTree(0, isNew);
        // "(Current)" holds the sceneries the rebuilt tree ticks, as the window commits them.
        const CfgPtr current = f.manager().dicCFGs.item(LibraryNames::CurrentSet);
        for (const TreeNode *n = f.tree.firstRoot(); n; n = n->nextInWalk()) {
            if (n->checked())
                current->addMember(n->text());
        }
        expectBackupQuestion(f);
        QVERIFY(createCfg(f, {LibraryNames::CurrentSet}).isDone());
        QVERIFY(f.env.ui.allShown());
        const QList<Area> areas = areasOf(f.env.readFile(CfgPath));
        QCOMPARE(areas.size(), 2);
        QCOMPARE(areas[0].value(u"REMOTE"_s), u"D:\\A"_s);
        QCOMPARE(areas[1].value(u"REMOTE"_s), u"D:\\B"_s);
    }
};

QTEST_GUILESS_MAIN(TestCfgWriter)
#include "tst_cfgwriter.moc"
