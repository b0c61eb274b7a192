// Reading a Scenery.cfg into the library: areas become sceneries in the level "New" or update the
// sceneries they stand for, the "[General]" values go to "(Current)", cache sections to the
// library's caches, and the reading goes on past every problem.

#include "support/librarybuilder.h"
#include "tree/librarytree.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString CfgPath = u"C:\\FS2002\\SCENERY.CFG"_s;
const QString ReadProblems = u"SceneryManager.readCFG\n"_s;

// Reads the bytes as the simulator's Scenery.cfg.
Outcome readCfg(LibraryEnv &f, const QByteArray &file, bool updateExisting = false)
{
    f.env.writeFile(CfgPath, file);
    QString path;
    return f.manager().readCFG(path, updateExisting);
}

QByteArray dataFile(const QString &folder)
{
    return testDataFile(folder, u"Scenery.cfg"_s);
}

QStringList titles(const SceneryManager &manager)
{
    QStringList result;
    for (const SceneryPtr &s : manager.colScenery)
        result << s->Title;
    return result;
}

QList<int> linesOf(const Problems &problems)
{
    QList<int> lines;
    for (const Problem &problem : problems)
        lines << problem.line;
    return lines;
}

// A scenery as an area of the file becomes one in the level "New".
clsScenery readArea(const QString &title, const SceneryFields &fields)
{
    return sceneryRecord(u"SceneryNew\\"_s + title, title, fields);
}

} // namespace

class TestCfgReader : public QObject
{
    Q_OBJECT

private slots:
    // Read into an empty library, each area becomes a scenery in the level "New", in file order,
    // used locally unless it names only a remote folder; the "[General]" values go to "(Current)".
    void areasBecomeSceneries()
    {
        LibraryEnv f;
        Library()
            .level(u"Addons"_s)
            .scenery(u"Alps"_s, {.active = true,
                                 .exclude = u"N47 E010 N46 E011"_s,
                                 .flatten = {{3, u"N47 E010 N46 E011 500"_s}},
                                 .isLocalPath = true,
                                 .localPath = u"Addon Scenery\\Alps"_s,
                                 .required = true,
                                 .textureId = 1})
            .scenery(u"Remote"_s, {.remotePath = u"E:\\CD\\Remote"_s})
            .writeSceneryCfg(f.env, CfgPath, u"Evening"_s, u"Late"_s);
        QString file;
        const Outcome read = f.manager().readCFG(file, false);
        QVERIFY(read.isDone());
        QVERIFY(read.problems.isEmpty());
        const clsScenery alps = readArea(u"Alps"_s, {.active = true,
                                                     .exclude = u"N47 E010 N46 E011"_s,
                                                     .flatten = {{3, u"N47 E010 N46 E011 500"_s}},
                                                     .inCfg = true,
                                                     .isLocalPath = true,
                                                     .layer = 1,
                                                     .localPath = u"Addon Scenery\\Alps"_s,
                                                     .required = true,
                                                     .textureId = 1});
        const clsScenery remote = readArea(u"Remote"_s, {.inCfg = true,
                                                         .layer = 2,
                                                         .previousKey = u"SceneryNew\\Alps"_s,
                                                         .remotePath = u"E:\\CD\\Remote"_s});
        QVERIFY(sameSceneries(f.manager(), {alps, remote}));
        const clsCFG &current = *f.manager().dicCFGs.item(LibraryNames::CurrentSet);
        QCOMPARE(current.Title, u"Evening"_s);
        QCOMPARE(current.Description, u"Late"_s);
    }

    // Only "[Area." and three digits starts an area; the keys under any other header go to the
    // area before it.
    void areaHeaders_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("three digits, any letter case")
            << windowsText({u"[Area.001]"_s, u"Title=A"_s, u"[area.123]"_s, u"Title=B"_s})
            << QStringList{u"A"_s, u"B"_s};
        QTest::newRow("text after the header")
            << windowsText({u"[Area.001]"_s, u"Title=A"_s, u"[Area.002] old"_s, u"Title=B"_s})
            << QStringList{u"B"_s};
        QTest::newRow("[Area.1]") << dataFile(u"cfg-area-1digit"_s) << QStringList{u"Second"_s, u"Third"_s};
        QTest::newRow("a blank before \"=\" names no key")
            << dataFile(u"cfg-title-blank"_s) << QStringList{u"Kept"_s};
    }

    void areaHeaders()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, titles);
        LibraryEnv f;
        readCfg(f, file);
        QCOMPARE(::titles(f.manager()), titles);
    }

    void areaValues_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<clsScenery>("read");
        QTest::newRow("values as written, the last of a key wins")
            << QStringList{u"[Area.001]"_s,      u"Title=T"_s,        u"local=Addon Scenery\\MiXeD"_s,
                           u"Group=007"_s,       u"Active=-1"_s,      u"Active=false"_s,
                           u"Flatten.3=three"_s, u"Flatten.10=ten"_s, u"flatten.0=zero"_s}
            << readArea(u"T"_s, {.flatten = {{0, u"zero"_s}, {3, u"three"_s}},
                                 .group = u"007"_s,
                                 .inCfg = true,
                                 .isLocalPath = true,
                                 .localPath = u"Addon Scenery\\MiXeD"_s});
        QTest::newRow("an empty local folder beside a remote one: used remotely")
            << QStringList{u"[Area.001]"_s, u"Title=T"_s, u"Remote=R:\\X"_s, u"Local="_s}
            << readArea(u"T"_s, {.inCfg = true, .remotePath = u"R:\\X"_s});
        QTest::newRow("no folder at all: used locally")
            << QStringList{u"[Area.001]"_s, u"Title=T"_s}
            << readArea(u"T"_s, {.inCfg = true, .isLocalPath = true});
        QTest::newRow("area keys in a cache section are the cache's")
            << QStringList{u"[Area.001]"_s,  u"Title=T"_s, u"Local=A"_s,
                           u"[Cache.001]"_s, u"Local=C"_s, u"Active=TRUE"_s}
            << readArea(u"T"_s, {.inCfg = true, .isLocalPath = true, .localPath = u"A"_s});
    }

    void areaValues()
    {
        QFETCH(QStringList, lines);
        QFETCH(clsScenery, read);
        LibraryEnv f;
        readCfg(f, windowsText(lines));
        QVERIFY(sameSceneries(f.manager(), {read}));
    }

    // The "[General]" keys are taken wherever they stand; Clean_on_Exit is true for "TRUE" alone.
    void generalValues_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("cleanOnExit");
        QTest::addColumn<QString>("description");
        QTest::newRow("FALSE after TRUE")
            << QStringList{u"[General]"_s, u"Clean_on_Exit=TRUE"_s, u"Clean_on_Exit=FALSE"_s} << false
            << QString();
        QTest::newRow("true in any letter case")
            << QStringList{u"[General]"_s, u"Clean_on_Exit=true"_s} << true << QString();
        QTest::newRow("a number is not TRUE")
            << QStringList{u"[General]"_s, u"Clean_on_Exit=1"_s} << false << QString();
        QTest::newRow("in an area section")
            << QStringList{u"[Area.001]"_s, u"clean_on_exit=True"_s, u"Description=D"_s} << true << u"D"_s;
    }

    void generalValues()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, cleanOnExit);
        QFETCH(QString, description);
        LibraryEnv f;
        readCfg(f, windowsText(lines));
        const clsCFG &current = *f.manager().dicCFGs.item(LibraryNames::CurrentSet);
        QCOMPARE(current.Clean_on_Exit, cleanOnExit);
        QCOMPARE(current.Description, description);
    }

    void cacheSectionKeysInAnyLetterCase()
    {
        LibraryEnv f;
        readCfg(f, dataFile(u"cfg-cache"_s));
        QVERIFY(sameCaches(
            f.manager(),
            {{u"[Cache.001]"_s, {1, u"Default Texture Cache"_s, u"texture"_s, u"scenedb\\texture"_s, true}},
             {u"[cache.002]"_s, {2, u"Second Cache"_s, u"C:\\Cache2"_s, QString(), false}}}));
    }

    // A later section of the same header replaces the earlier one; the problem names both lines.
    void cacheSectionTwiceInOneFile()
    {
        LibraryEnv f;
        f.env.ui.expectMessageStartingWith(ReadProblems, u"Lumivale"_s);
        const Outcome read = readCfg(f, windowsText({u"[Cache.001]"_s, u"Title=One"_s, u"[Cache.001]"_s,
                                                     u"Title=Two"_s, u"Local=b"_s}));
        QVERIFY(sameCaches(f.manager(), {{u"[Cache.001]"_s, {1, u"Two"_s, u"b"_s, QString(), false}}}));
        QCOMPARE(read.problems.size(), 1);
        QCOMPARE(read.problems.first().line, 3);
        QCOMPARE(
            read.problems.first().text,
            u"the section [Cache.001] appears again (first at line 1); the values of this one are used."_s);
    }

    // Switching the simulator or updating from a file reads a second Scenery.cfg in one run: its
    // cache sections replace those held under the same header, in place, and add the new ones.
    void secondFileReplacesCaches()
    {
        LibraryEnv f;
        readCfg(f, windowsText({u"[Cache.001]"_s, u"Title=One"_s, u"[Cache.002]"_s, u"Title=Two"_s}));
        readCfg(f, windowsText({u"[Cache.002]"_s, u"Title=Two again"_s, u"Active=TRUE"_s, u"[Cache.003]"_s}));
        QVERIFY(sameCaches(f.manager(), {{u"[Cache.001]"_s, {1, u"One"_s, {}, {}, false}},
                                         {u"[Cache.002]"_s, {2, u"Two again"_s, {}, {}, true}},
                                         {u"[Cache.003]"_s, {3, {}, {}, {}, false}}}));
    }

    // Reading the same file again in one run finds every area again, an area without a title too,
    // and adds no second default cache.
    void sameFileReadAgain()
    {
        LibraryEnv f;
        const QByteArray file = windowsText({u"[Area.001]"_s, u"Title=A"_s, u"[Area.002]"_s});
        readCfg(f, file);
        readCfg(f, file);
        QCOMPARE(titles(f.manager()), (QStringList{u"A"_s, QString()}));
        QVERIFY(sameCaches(f.manager(),
                           {{u"[Cache.000]"_s,
                             {0, u"Default Texture Cache"_s, u"texture"_s, u"scenedb\\texture"_s, false}}}));
    }

    // A file that cannot be found changes nothing in the library.
    void missingFile()
    {
        LibraryEnv f;
        Library().scenery(u"Renamed"_s, {.inCfg = true}).buildInto(f.manager(), f.tree);
        f.env.ui.expectMessage(
            u"SceneryManager.readCFG\nError: -2147221403\nCould not find Scenery.cfg file."_s, u"Lumivale"_s);
        QString path;
        QVERIFY(f.manager().readCFG(path, false).isFailed());
        QVERIFY(f.env.ui.allShown());
        QVERIFY(sameSceneries(f.manager(),
                              {sceneryRecord(u"SceneryNew\\Renamed"_s, u"Renamed"_s, {.inCfg = true})}));
        QVERIFY(f.manager().colCache.isEmpty());
    }

    // Whatever a line holds, the reading goes on to the end of the file; each problem is noted
    // once with its line and shown in one message after the reading.
    void readingGoesOnPastProblems_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<int>>("problemLines");
        QTest::newRow("a value that is no number")
            << QStringList{u"[Area.001]"_s,  u"Title=A"_s,    u"Layer="_s,
                           u"Active=TRUE"_s, u"[Area.002]"_s, u"Title=B"_s}
            << QStringList{u"A"_s, u"B"_s} << QList<int>{3};
        QTest::newRow("an area value before the first area")
            << QStringList{u"Local=X"_s, u"[Area.001]"_s, u"Title=A"_s} << QStringList{u"A"_s}
            << QList<int>{1};
    }

    void readingGoesOnPastProblems()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, problemLines);
        LibraryEnv f;
        f.env.ui.expectMessageStartingWith(ReadProblems + CfgPath +
                                               u" was read with problems; the reading went on past each:"_s,
                                           u"Lumivale"_s);
        const Outcome read = readCfg(f, windowsText(lines));
        QVERIFY(f.env.ui.allShown());
        QVERIFY(read.isDone());
        QCOMPARE(::titles(f.manager()), titles);
        QCOMPARE(linesOf(read.problems), problemLines);
        QCOMPARE(read.problems.first().file, CfgPath);
    }

    // An area whose key in the level "New" a scenery of another title holds is kept under a free
    // title; the areas after it are read as well.
    void areaWhoseKeyIsTakenIsKept()
    {
        LibraryEnv f;
        Library().scenery(u"Renamed"_s, {.key = u"SceneryNew\\B"_s}).buildInto(f.manager(), f.tree);
        f.env.ui.expectMessageStartingWith(ReadProblems, u"Lumivale"_s);
        const Outcome read = readCfg(f, windowsText({u"[Area.001]"_s, u"Title=A"_s, u"[Area.002]"_s,
                                                     u"Title=B"_s, u"[Area.003]"_s, u"Title=C"_s}));
        QCOMPARE(titles(f.manager()), (QStringList{u"Renamed"_s, u"A"_s, u"B (2)"_s, u"C"_s}));
        QCOMPARE(linesOf(read.problems), QList<int>{3});
    }

    // Areas that share a title stay apart: the later one becomes a scenery of its own, and the next
    // reading of the same file finds each again by its folder instead of adding it once more.
    void sharedTitleKeepsEveryArea()
    {
        LibraryEnv f;
        const QByteArray file =
            windowsText({u"[Area.001]"_s, u"Title=Airport"_s, u"Local=Addon Scenery\\First"_s,
                         u"[Area.002]"_s, u"Title=Airport"_s, u"Local=Addon Scenery\\Second"_s});
        for (int reading = 1; reading <= 2; ++reading) {
            f.env.ui.expectMessageStartingWith(ReadProblems, u"Lumivale"_s);
            QCOMPARE(linesOf(readCfg(f, file).problems), QList<int>{4});
        }
        QCOMPARE(titles(f.manager()), (QStringList{u"Airport"_s, u"Airport (2)"_s}));
        const clsScenery &second = *f.manager().colScenery.item(u"SceneryNew\\Airport (2)"_s);
        QCOMPARE(second.LocalPath, u"Addon Scenery\\Second"_s);
    }

    // A scenery renamed in the library still stands in the simulator's file under its old title.
    // An area whose title no scenery has is the one scenery whose title the file does not hold,
    // that no other area took, and whose folder (resolved like the writer resolves it) is the area's.
    void renamedSceneryFoundByFolder_data()
    {
        QTest::addColumn<QString>("libraryFolder"); // of the library's scenery "Renamed"
        QTest::addColumn<QString>("otherFolder");   // of a second scenery "Other", "" for none
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<bool>("renamedInFile"); // "Renamed" stands in the file read
        const QString alps = u"Addon Scenery\\Alps"_s;
        const QStringList oldTitle{u"[Area.001]"_s, u"Title=Old title"_s, u"Local="_s + alps};
        const QStringList bothTitles =
            oldTitle + QStringList{u"[Area.002]"_s, u"Title=Renamed"_s, u"Local=X"_s};
        QTest::newRow("same folder") << alps << QString() << oldTitle << QStringList{u"Renamed"_s} << true;
        QTest::newRow("folder spelt otherwise") << u"C:\\FS2002\\ADDON SCENERY\\Alps\\Scenery\\"_s
                                                << QString() << oldTitle << QStringList{u"Renamed"_s} << true;
        QTest::newRow("other folder: a new scenery") << u"Addon Scenery\\Andes"_s << QString() << oldTitle
                                                     << QStringList{u"Renamed"_s, u"Old title"_s} << false;
        QTest::newRow("two sceneries in the folder: a new one")
            << alps << alps << oldTitle << QStringList{u"Renamed"_s, u"Other"_s, u"Old title"_s} << false;
        QTest::newRow("title in the file: not renamed")
            << alps << QString() << bothTitles << QStringList{u"Renamed"_s, u"Old title"_s} << true;
    }

    void renamedSceneryFoundByFolder()
    {
        QFETCH(QString, libraryFolder);
        QFETCH(QString, otherFolder);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, titles);
        QFETCH(bool, renamedInFile);
        LibraryEnv f;
        Library library;
        library.level(u"Europe"_s).scenery(u"Renamed"_s, {.localPath = libraryFolder});
        if (!otherFolder.isEmpty())
            library.scenery(u"Other"_s, {.localPath = otherFolder});
        library.buildInto(f.manager(), f.tree);
        readCfg(f, windowsText(lines));
        QCOMPARE(::titles(f.manager()), titles);
        QCOMPARE(f.manager().colScenery.first()->InCFG, renamedInFile);
    }

    // Areas new to a library land in the level "New" in the file's order, above what it held.
    void newAreasKeepTheFilesOrder()
    {
        LibraryEnv f;
        Library().scenery(u"Held"_s).buildInto(f.manager());
        readCfg(f, windowsText({u"[Area.001]"_s, u"Title=Zulu"_s, u"[Area.002]"_s, u"Title=Alpha"_s,
                                u"[Area.003]"_s, u"Title=Mike"_s}));
        LibraryTree(f.manager(), f.tree, f.env.ui).fillTree(0, false);
        QVERIFY(sameTree(
            f.tree,
            Library().scenery(u"Zulu"_s).scenery(u"Alpha"_s).scenery(u"Mike"_s).scenery(u"Held"_s).tree()));
    }

    // An area with the title of a scenery is that scenery, the first of the library with it: it
    // stands in the file, and only an update takes its folders and flags from the file; what the
    // library keeps itself is never taken from it. A scenery without an area is no longer in it.
    void areaUpdatesTheSceneryOfItsTitle_data()
    {
        QTest::addColumn<bool>("updateExisting");
        QTest::addColumn<QString>("remote"); // the area's Remote value
        QTest::addColumn<clsScenery>("known");
        const SceneryFields kept{
            .author = u"keep"_s, .inCfg = true, .layer = 9, .localPath = u"Old"_s, .remotePath = u"OldR"_s};
        SceneryFields updated = kept;
        updated.active = true;
        updated.localPath = u"New"_s;
        updated.required = true;
        SceneryFields updatedRemote = updated;
        updatedRemote.remotePath = u"NewR"_s;
        const QString key = u"SceneryEurope\\Known"_s;
        QTest::newRow("not updated") << false << u"NewR"_s << sceneryRecord(key, u"Known"_s, kept);
        QTest::newRow("updated, no remote folder in the file: kept")
            << true << QString() << sceneryRecord(key, u"Known"_s, updated);
        QTest::newRow("updated") << true << u"NewR"_s << sceneryRecord(key, u"Known"_s, updatedRemote);
    }

    void areaUpdatesTheSceneryOfItsTitle()
    {
        QFETCH(bool, updateExisting);
        QFETCH(QString, remote);
        QFETCH(clsScenery, known);
        LibraryEnv f;
        Library()
            .level(u"Europe"_s)
            .scenery(u"Known"_s,
                     {.author = u"keep"_s, .layer = 9, .localPath = u"Old"_s, .remotePath = u"OldR"_s})
            .level(u"A"_s)
            .scenery(u"Twin"_s)
            .level(u"B"_s)
            .scenery(u"Twin"_s)
            .scenery(u"Absent"_s, {.inCfg = true})
            .buildInto(f.manager(), f.tree);
        readCfg(f,
                windowsText({u"[Area.001]"_s, u"Title=Known"_s, u"Active=TRUE"_s, u"Required=TRUE"_s,
                             u"Local=New"_s, u"Layer=1"_s, u"Remote="_s + remote, u"[Area.002]"_s,
                             u"Title=Twin"_s}),
                updateExisting);
        QVERIFY(sameScenery(*f.manager().colScenery.item(u"SceneryEurope\\Known"_s), known));
        QVERIFY(f.manager().colScenery.item(u"SceneryA\\Twin"_s)->InCFG);
        QVERIFY(!f.manager().colScenery.item(u"SceneryB\\Twin"_s)->InCFG);
        QVERIFY(!f.manager().colScenery.item(u"SceneryB\\Absent"_s)->InCFG);
        QCOMPARE(f.manager().colScenery.count(), 4);
    }
};

QTEST_GUILESS_MAIN(TestCfgReader)
#include "tst_cfgreader.moc"
