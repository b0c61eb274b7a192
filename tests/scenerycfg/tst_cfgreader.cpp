#include "libraryfixture.h"

#include "support/librarybuilder.h"
#include "tree/librarytree.h"

#include <QTest>

namespace {

struct Reader : LibraryFixture
{
    // Reads the bytes (none: no file) as the simulator's Scenery.cfg; every dialog shown must have been announced.
    Problems read(const QByteArray &bytes, bool update = false)
    {
        if (!bytes.isNull())
            env.writeFile(u"C:\\FS2002\\SCENERY.CFG"_s, bytes);
        QString path;
        const Problems problems = m().readCFG(path, update).problems;
        [&] { QVERIFY(env.ui.allShown()); }();
        return problems;
    }
    // The lines as the simulator's Scenery.cfg.
    Problems read(const QStringList &lines) { return read(crlf(lines.join(u'\n') + u'\n')); }
    clsScenery &addScenery(const QString &key, const QString &title)
    {
        auto s = std::make_shared<clsScenery>();
        s->Key = key;
        s->Title = title;
        m().colScenery.add(key, s);
        return *s;
    }
    void addLevel(const QString &key, const QString &caption)
    {
        m().dicLevel.add(key, std::make_shared<clsLevel>(clsLevel{key, caption}));
    }
    QStringList titles() const
    {
        QStringList result;
        for (const SceneryPtr &s : manager->colScenery)
            result << s->Title;
        return result;
    }
    // "key:number|title|local|remote|active" per cache section, in collection order.
    QString caches() const
    {
        QStringList result;
        for (auto it = manager->colCache.begin(); it != manager->colCache.end(); ++it)
            result << u"%1:%2|%3|%4|%5|%6"_s.arg(it.key()).arg((*it)->intCache).arg((*it)->strTitle, (*it)->strLocal, (*it)->strRemote)
                          .arg((*it)->blnActive);
        return result.join(u';');
    }
    const clsCFG &general() { return *manager->dicCFGs.item(CurrentSet); }
};

}

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
            .writeSceneryCfg(f.env, u"C:\\FS2002\\SCENERY.CFG"_s, u"Evening"_s, u"Late"_s);
        QString file;
        const Outcome read = f.manager().readCFG(file, false);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(read.isDone());
        QVERIFY(read.problems.isEmpty());
        const clsScenery alps = sceneryRecord(u"SceneryNew\\Alps"_s, u"Alps"_s,
                                              {.active = true,
                                               .exclude = u"N47 E010 N46 E011"_s,
                                               .flatten = {{3, u"N47 E010 N46 E011 500"_s}},
                                               .inCfg = true,
                                               .isLocalPath = true,
                                               .layer = 1,
                                               .localPath = u"Addon Scenery\\Alps"_s,
                                               .required = true,
                                               .textureId = 1});
        const clsScenery remote = sceneryRecord(u"SceneryNew\\Remote"_s, u"Remote"_s,
                                                {.inCfg = true,
                                                 .layer = 2,
                                                 .previousKey = u"SceneryNew\\Alps"_s,
                                                 .remotePath = u"E:\\CD\\Remote"_s});
        QVERIFY(sameSceneries(f.manager(), {alps, remote}));
        const clsCFG &current = *f.manager().dicCFGs.item(CurrentSet);
        QCOMPARE(current.Title, u"Evening"_s);
        QCOMPARE(current.Description, u"Late"_s);
    }

    void keyLines_data()
    {
        QTest::addColumn<QString>("content");  // a folder of tests/data, or the text itself
        QTest::addColumn<QString>("fields");  // "General": Clean_on_Exit|Description of "(Current)"; "Caches"
        QTest::addColumn<QString>("expected");
        const QString a = u"[Area.001]\nTitle=T\n"_s;
        QTest::newRow("three-digit headers") << "[Area.001]\nTitle=A\n[area.123]\nTitle=B" << "Title" << "A;B";
        // Saved as UTF-8 by an editor: the byte-order mark before the first header is no part of it.
        // The bytes, one per character: the mark, then "Zürich" in UTF-8.
        const QString utf8 = u"\u00EF\u00BB\u00BF[Area.001]\nTitle=Z\u00C3\u00BCrich"_s;
        QTest::newRow("UTF-8 with its mark") << utf8 << u"Title"_s << u"Z\u00FCrich"_s;
        // An odd header starts no area: its keys go to the area before it.
        QTest::newRow("text after a header") << a + u"[Area.002] old\nTitle=B"_s << "Title" << "B";
        QTest::newRow("[Area.1]") << "cfg-area-1digit" << "Title" << "Second;Third";
        QTest::newRow("[Area.0001]") << "cfg-area-4digit" << "Title" << "Second;Third";
        QTest::newRow("area without title") << "[Area.001]\nLocal=L" << "Title|LocalPath" << "|L";
        QTest::newRow("blank before = matches nothing") << "cfg-title-blank" << "Title" << "Kept";
        const QString cache = u"[Cache.001]:1|Default Texture Cache|texture|scenedb\\texture|1;[cache.002]:2|Second Cache|C:\\Cache2||0"_s;
        QTest::newRow("no cache section: the default") << a << "Caches" << "[Cache.000]:0|Default Texture Cache|texture|scenedb\\texture|0";
        QTest::newRow("cache keys in any letter case") << "cfg-cache" << "Caches" << cache;
        QTest::newRow("local keeps case") << a + u"local=Addon Scenery\\MiXeD"_s << "LocalPath" << "Addon Scenery\\MiXeD";
        QTest::newRow("group as text") << a + u"Group=007"_s << "Group" << "007";
        QTest::newRow("active false after true") << a + u"Active=-1\nActive=false"_s << "Active" << "0";
        QTest::newRow("flatten: one digit only") << a + u"Flatten.3=three\nFlatten.10=ten\nflatten.0=zero"_s
                                                 << "Flatten0|Flatten1|Flatten3" << "zero||three";
        QTest::newRow("remote, empty local: not local") << a + u"Remote=R:\\X\nLocal="_s << "IsLocalPath" << "0";
        QTest::newRow("neither: local") << a << "IsLocalPath" << "1";
        QTest::newRow("area keys in a cache section") << a + u"Local=A\n[Cache.001]\nLocal=C\nActive=TRUE"_s << "LocalPath|Active" << "A|0";
        QTest::newRow("general: FALSE") << a + u"[General]\nClean_on_Exit=TRUE\nClean_on_Exit=FALSE"_s << "General" << "0|";
        QTest::newRow("general: true") << a + u"[General]\nClean_on_Exit=true"_s << "General" << "1|";
        QTest::newRow("general: a number is not TRUE") << a + u"[General]\nClean_on_Exit=1"_s << "General" << "0|";
        QTest::newRow("general keys in an area section") << a + u"clean_on_exit=True\nDescription=D"_s << "General" << "1|D";
    }

    void keyLines()
    {
        QFETCH(QString, content);
        QFETCH(QString, fields);
        QFETCH(QString, expected);
        Reader f;
        // A second reading of the same file in one run changes nothing: no second default cache, no key taken twice.
        for (int reading = 0; reading < 2; ++reading)
            f.read(content.contains(u'\n') ? crlf(content + u'\n') : testData(content));
        QCOMPARE(fields == u"General"_s  ? u"%1|%2"_s.arg(f.general().Clean_on_Exit).arg(f.general().Description)
                 : fields == u"Caches"_s ? f.caches()
                                         : f.sceneries(fields),
                 expected);
        // Every scenery read lands in the level "New" under its title, also one without a title.
        for (const SceneryPtr &s : f.m().colScenery)
            QCOMPARE(s->Key, u"SceneryNew\\"_s + s->Title);
    }

    // Switching the simulator or updating from a file reads a second Scenery.cfg in one run: its
    // cache sections replace those held under the same header, in place, and add the new ones.
    void secondReadingReplacesCaches()
    {
        Reader f;
        f.read(crlf(u"[Cache.001]\nTitle=One\nLocal=a\n[Cache.002]\nTitle=Two\nLocal=b\n"_s));
        f.read(crlf(u"[Cache.002]\nTitle=Two again\nLocal=c\nActive=TRUE\n[Cache.003]\nTitle=Three\n"_s));
        QCOMPARE(f.caches(), u"[Cache.001]:1|One|a||0;[Cache.002]:2|Two again|c||1;[Cache.003]:3|Three|||0"_s);
    }

    // A file that cannot be found changes nothing in the library.
    void missingFile()
    {
        Reader f;
        f.addScenery(u"SceneryNew\\B"_s, u"Renamed"_s).InCFG = true;
        f.env.ui.expectMessage(
            u"SceneryManager.readCFG\nError: -2147221403\nCould not find Scenery.cfg file."_s, u"Lumivale"_s);
        f.read(QByteArray());
        QCOMPARE(f.titles(), QStringList{u"Renamed"_s});
        QCOMPARE(f.m().colScenery.first()->InCFG, true);
        QVERIFY(f.m().colCache.isEmpty());
    }

    // Whatever a line holds, the reading goes on to the end of the file; each problem is noted
    // once with its line and shown in one message after the reading.
    void readingGoesOnPastProblems_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("titles"); // of every scenery afterwards, in collection order
        QTest::addColumn<QList<int>>("problemLines");
        QTest::newRow("empty layer") << QStringList{u"[Area.001]"_s,  u"Title=A"_s,    u"Layer="_s,
                                                    u"Active=TRUE"_s, u"[Area.002]"_s, u"Title=B"_s}
                                     << QStringList{u"A"_s, u"B"_s} << QList<int>{3};
        QTest::newRow("bad flag in the last area")
            << QStringList{u"[Area.001]"_s, u"Title=A"_s, u"[Area.002]"_s, u"Title=B"_s,
                           u"Required=perhaps"_s}
            << QStringList{u"A"_s, u"B"_s} << QList<int>{5};
        QTest::newRow("area value before the first area")
            << QStringList{u"Local=X"_s, u"[Area.001]"_s, u"Title=A"_s} << QStringList{u"A"_s}
            << QList<int>{1};
        QTest::newRow("two areas, one title")
            << QStringList{u"[Area.001]"_s, u"Title=Dup"_s, u"[Area.002]"_s, u"Title=Dup"_s}
            << QStringList{u"Dup"_s, u"Dup (2)"_s} << QList<int>{3};
        QTest::newRow("one cache section twice")
            << QStringList{u"[Cache.001]"_s, u"Title=One"_s,   u"[Area.001]"_s,
                           u"Title=A"_s,     u"[Cache.001]"_s, u"Title=Two"_s}
            << QStringList{u"A"_s} << QList<int>{5};
    }

    void readingGoesOnPastProblems()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, problemLines);
        Reader f;
        f.env.ui.expectMessageStartingWith(
            u"SceneryManager.readCFG\nC:\\FS2002\\SCENERY.CFG was read with problems; "
            u"the reading went on past each:"_s,
            u"Lumivale"_s);
        const Problems problems = f.read(lines);
        QCOMPARE(f.titles(), titles);
        QList<int> found;
        for (const Problem &problem : problems)
            found << problem.line;
        QCOMPARE(found, problemLines);
        QCOMPARE(problems.first().file, u"C:\\FS2002\\SCENERY.CFG"_s);
        for (const SceneryPtr &s : f.m().colScenery)
            QVERIFY2(s->InCFG, qPrintable(s->Title));
    }

    // An area whose key in the level "New" a scenery of another title holds is kept under a free
    // title; the areas after it are read as well.
    void areaWhoseKeyIsTakenIsKept()
    {
        Reader f;
        f.addScenery(u"SceneryNew\\B"_s, u"Renamed"_s);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
        const Problems problems = f.read(
            {u"[Area.001]"_s, u"Title=A"_s, u"[Area.002]"_s, u"Title=B"_s, u"[Area.003]"_s, u"Title=C"_s});
        QCOMPARE(f.titles(), (QStringList{u"Renamed"_s, u"A"_s, u"B (2)"_s, u"C"_s}));
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().line, 3);
    }

    // A later section of the same number and spelling replaces the earlier one; the message
    // names both lines.
    void repeatedCacheSectionIsReported()
    {
        Reader f;
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
        const Problems problems =
            f.read({u"[Cache.001]"_s, u"Title=One"_s, u"[Cache.001]"_s, u"Title=Two"_s, u"Local=b"_s});
        QCOMPARE(f.caches(), u"[Cache.001]:1|Two|b||0"_s);
        QCOMPARE(problems.size(), 1);
        QCOMPARE(
            problems.first().text,
            u"the section [Cache.001] appears again (first at line 1); the values of this one are used."_s);
    }

    // Areas that share a title stay apart: the later one becomes a scenery of its own, and the next
    // reading of the same file finds each again by its folder instead of adding it once more.
    void sharedTitleKeepsEveryArea()
    {
        Reader f;
        const QStringList lines{u"[Area.001]"_s, u"Title=Airport"_s, u"Local=Addon Scenery\\First"_s,
                                u"[Area.002]"_s, u"Title=Airport"_s, u"Local=Addon Scenery\\Second"_s};
        for (int reading = 0; reading < 2; ++reading) {
            f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
            const Problems problems = f.read(lines);
            QCOMPARE(problems.size(), 1);
            QCOMPARE(problems.first().line, 4);
        }
        QCOMPARE(f.titles(), (QStringList{u"Airport"_s, u"Airport (2)"_s}));
        QCOMPARE(f.m().colScenery.at(2)->LocalPath, u"Addon Scenery\\Second"_s);
        QCOMPARE(f.m().colScenery.at(2)->Key, u"SceneryNew\\Airport (2)"_s);
    }

    // A scenery renamed in the library still stands in the simulator's file under its old title.
    // An area whose title no scenery has is the one scenery whose title the file does not hold,
    // that no other area took, and whose folder (resolved like the writer resolves it) is the area's.
    void renamedSceneryFoundByFolder_data()
    {
        QTest::addColumn<QString>("libraryFolder"); // of the library's scenery "Renamed"
        QTest::addColumn<QString>("otherFolder");   // of a second scenery "Other" ("" none)
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
        Reader f;
        f.addScenery(u"SceneryEurope\\Renamed"_s, u"Renamed"_s).LocalPath = libraryFolder;
        if (!otherFolder.isEmpty())
            f.addScenery(u"SceneryEurope\\Other"_s, u"Other"_s).LocalPath = otherFolder;
        f.read(lines);
        QCOMPARE(f.titles(), titles);
        QCOMPARE(f.m().colScenery.first()->InCFG, renamedInFile);
    }

    // Areas new to a library land in the level "New" in the file's order, above what it held.
    void newAreasKeepTheFilesOrder()
    {
        Reader f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        f.addScenery(u"SceneryNew\\Held"_s, u"Held"_s);
        f.read({u"[Area.001]"_s, u"Title=Zulu"_s, u"[Area.002]"_s, u"Title=Alpha"_s, u"[Area.003]"_s,
                u"Title=Mike"_s});
        LibraryTree libraryTree(f.m(), f.tree, f.env.ui);
        libraryTree.fillTree(0, false);
        QStringList order;
        for (const TreeNode *n = f.tree.node(u"LevelNew"_s)->firstChild(); n; n = n->next())
            order << n->text();
        QCOMPARE(order, (QStringList{u"Zulu"_s, u"Alpha"_s, u"Mike"_s, u"Held"_s}));
    }

    void matchingByTitle_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("inFile");  // Key|LocalPath|RemotePath|Active|Required of the sceneries in the file
        const QString known = u"[Area.001]\nTitle=Known\nActive=TRUE\nRequired=TRUE\nLocal=New\nLayer=1\nRemote="_s;
        const QString dup = u"[Area.001]\nTitle=Dup\nLocal=First\n[Area.002]\nTitle=Other\n[Area.003]\nTitle=Dup\nLocal=Second"_s;
        QTest::newRow("known, not updated") << known + u"NewR"_s << false << "SceneryEurope\\Known|Old|OldR|0|0";
        QTest::newRow("known, updated, file without remote") << known << true << "SceneryEurope\\Known|New|OldR|1|1";
        QTest::newRow("known, updated, file with remote") << known + u"NewR"_s << true << "SceneryEurope\\Known|New|NewR|1|1";
        QTest::newRow("first match in collection order") << "[Area.001]\nTitle=Twin\nLocal=Here" << true << "SceneryA\\Twin|Here||0|0";
        QTest::newRow("two areas, one title: two sceneries")
            << dup << true
            << "SceneryNew\\Dup|First||0|0;SceneryNew\\Other|||0|0;SceneryNew\\Dup (2)|Second||0|0";
    }

    void matchingByTitle()
    {
        QFETCH(QString, content);
        QFETCH(bool, update);
        QFETCH(QString, inFile);
        Reader f;
        auto known = f.scenery(u"SceneryEurope\\Known"_s, u"LocalPath=Old|RemotePath=OldR|Author=keep|Layer=9"_s);
        f.scenery(u"SceneryA\\Twin"_s);
        f.scenery(u"SceneryB\\Twin"_s);
        f.scenery(u"SceneryNew\\Absent"_s, u"InCFG=1"_s);
        if (content.contains(u"Title=Dup"_s))
            f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\n"_s, u"Lumivale"_s);
        f.read(crlf(content + u'\n'), update);
        QStringList read;
        for (const SceneryPtr &s : f.m().colScenery) {
            if (s->InCFG)
                read << describe(*s, u"Key|LocalPath|RemotePath|Active|Required"_s);
        }
        // Values the library keeps itself are never taken from the file.
        QCOMPARE(read.join(u';') + u' ' + describe(*known, u"Key|Author|Layer"_s), inFile + u" SceneryEurope\\Known|keep|9"_s);
    }
};

QTEST_GUILESS_MAIN(TestCfgReader)
#include "tst_cfgreader.moc"
