#include "libraryfixture.h"

#include <QTest>

namespace {

const QString CfgPath = u"C:\\FS2002\\SCENERY.CFG"_s;

struct Reader : LibraryFixture
{
    QString path;
    // Reads the bytes as the simulator's Scenery.cfg; every dialog shown must have been announced.
    void read(const QByteArray &bytes, bool update = false)
    {
        env.writeFile(path.isEmpty() ? CfgPath : path, bytes);
        m().readCFG(path, update);
        QVERIFY(env.ui.allShown());
    }
    void expectError(qint32 number, const QString &text = {})
    {
        env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\nError: %1\n"_s.arg(number) + text, u"Lumivale"_s);
    }
    QStringList titles() const
    {
        QStringList result;
        for (const SceneryPtr &s : manager->colScenery)
            result << s->Title;
        return result;
    }
    const clsScenery &first() const { return *manager->colScenery.first(); }
    // "key:number|title|local|remote|active" per cache section, in collection order.
    QString caches() const
    {
        QStringList result;
        for (const QString &key : manager->colCache.keys()) {
            const clsCache &c = *manager->colCache.item(key);
            result << u"%1:%2|%3|%4|%5|%6"_s.arg(key).arg(c.intCache).arg(c.strTitle, c.strLocal, c.strRemote).arg(c.blnActive);
        }
        return result.join(u';');
    }
};

}

class TestCfgReader : public QObject
{
    Q_OBJECT

private slots:
    void readsRealFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("firstTitle");
        QTest::addColumn<QString>("generalTitle");
        QTest::newRow("default") << "fs9-default-scenery.cfg" << 120 << "Default Terrain" << "FS9 World Scenery";
        QTest::newRow("localized") << "fs9-localized-scenery.cfg" << 124 << "@IDS_AREA001_DEFAULTTERRAIN"
                                   << "@IDS_GENERAL_FS9WORLDSCENERY";
    }

    void readsRealFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, firstTitle);
        QFETCH(QString, generalTitle);
        Reader f;
        f.read(testData(u"real"_s, file));
        QCOMPARE(f.path, CfgPath);
        QCOMPARE(f.m().colScenery.count(), count);
        QCOMPARE(f.first().Key, u"SceneryNew\\"_s + firstTitle);
        QCOMPARE(describe(f.first(), {u"Title"_s, u"Texture_ID"_s, u"LocalPath"_s, u"Layer"_s, u"Active"_s, u"Required"_s}),
                 firstTitle + u"|1|Scenery\\World|1|1|1"_s);
        for (const SceneryPtr &s : f.m().colScenery)
            QVERIFY(s->InCFG && s->IsLocalPath);
        QCOMPARE(f.set(CurrentSet).Title, generalTitle);
        QVERIFY(f.set(CurrentSet).Clean_on_Exit);
        QCOMPARE(f.m().colCache.count(), 1);
    }

    void sections_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("titles");
        const QStringList ab{u"A"_s, u"B"_s};
        QTest::newRow("three-digit headers") << crlf(u"[Area.001]\nTitle=A\n[area.123]\nTitle=B\n"_s) << ab;
        QTest::newRow("blanks around a header") << crlf(u"[Area.001]\nTitle=A\n   [Area.002]  \nTitle=B\n"_s) << ab;
        QTest::newRow("general ends nothing") << crlf(u"[Area.001]\nTitle=A\n[General]\nLocal=L\n[Area.002]\nTitle=B\n"_s)
                                              << ab;
        // An odd header starts no area: its keys go to the area before it.
        QTest::newRow("text after a header") << crlf(u"[Area.001]\nTitle=A\n[Area.002] old\nTitle=B\n"_s) << QStringList{u"B"_s};
        QTest::newRow("two-digit header") << crlf(u"[Area.001]\nTitle=A\n[Area.02]\nTitle=B\n"_s) << QStringList{u"B"_s};
        QTest::newRow("letter among the digits") << crlf(u"[Area.001]\nTitle=A\n[Area.0a2]\nTitle=B\n"_s) << QStringList{u"B"_s};
        QTest::newRow("[Area.1]") << testData(u"cfg-area-1digit"_s) << QStringList{u"Second"_s, u"Third"_s};
        QTest::newRow("[Area.0001]") << testData(u"cfg-area-4digit"_s) << QStringList{u"Second"_s, u"Third"_s};
        QTest::newRow("area without title") << crlf(u"[Area.001]\nLocal=L\n"_s) << QStringList{QString()};
        QTest::newRow("blank before = matches nothing") << testData(u"cfg-title-blank"_s) << QStringList{u"Kept"_s};
    }

    void sections()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, titles);
        Reader f;
        f.read(content);
        QCOMPARE(f.titles(), titles);
        // Every scenery read lands in the level "New" under its title, also one without a title.
        for (const SceneryPtr &s : f.m().colScenery)
            QCOMPARE(s->Key, u"SceneryNew\\"_s + s->Title);
    }

    void keyLines_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("field");  // "General": Clean_on_Exit|Description of "(Current)"
        QTest::addColumn<QString>("expected");
        QTest::newRow("local keeps case") << "local=Addon Scenery\\MiXeD" << "LocalPath" << "Addon Scenery\\MiXeD";
        QTest::newRow("value holding =") << "Remote=a=b" << "RemotePath" << "a=b";
        QTest::newRow("blanks around the line") << "   Exclude=N1 E1   " << "Exclude" << "N1 E1";
        QTest::newRow("group as text") << "Group=007" << "Group" << "007";
        QTest::newRow("id") << "ID=X1" << "ID" << "X1";
        QTest::newRow("texture id") << "TEXTURE_ID=1" << "Texture_ID" << "1";
        QTest::newRow("layer fraction rounds to even") << "Layer=2.5" << "Layer" << "2";
        QTest::newRow("groupid") << "GroupID=-4" << "GroupID" << "-4";
        QTest::newRow("active number") << "Active=-1" << "Active" << "1";
        QTest::newRow("active false") << "Active=true\nActive=false" << "Active" << "0";
        QTest::newRow("required") << "Required=True" << "Required" << "1";
        QTest::newRow("cache size ignored") << "Cache_Size=40M" << "Layer" << "0";
        QTest::newRow("unknown key ignored") << "Localx=zzz" << "LocalPath" << "";
        QTest::newRow("no equals sign ignored") << "Local" << "LocalPath" << "";
        QTest::newRow("remote, empty local: not local") << "Remote=R:\\X\nLocal=" << "IsLocalPath" << "0";
        QTest::newRow("remote, no local line: not local") << "Remote=R:\\X" << "IsLocalPath" << "0";
        QTest::newRow("local and remote: local") << "Remote=R:\\X\nLocal=L" << "IsLocalPath" << "1";
        QTest::newRow("neither: local") << "" << "IsLocalPath" << "1";
        QTest::newRow("general: FALSE") << "[General]\nClean_on_Exit=TRUE\nClean_on_Exit=FALSE" << "General" << "0|";
        QTest::newRow("general: true") << "[General]\nClean_on_Exit=true" << "General" << "1|";
        QTest::newRow("general: a number is not TRUE") << "[General]\nClean_on_Exit=1" << "General" << "0|";
        QTest::newRow("general keys in an area section") << "clean_on_exit=True\nDescription=D" << "General" << "1|D";
        QTest::newRow("general keys in a cache section: ignored") << "[Cache.001]\nClean_on_Exit=TRUE\nDescription=D"
                                                                  << "General" << "0|";
    }

    void keyLines()
    {
        QFETCH(QString, lines);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        Reader f;
        f.read(crlf(u"[Area.001]\nTitle=T\n"_s + lines + u'\n'));
        QCOMPARE(f.m().colScenery.count(), 1);
        const clsCFG &general = f.set(CurrentSet);
        QCOMPARE(field == u"General"_s ? u"%1|%2"_s.arg(general.Clean_on_Exit).arg(general.Description)
                                       : ::field(f.first(), field),
                 expected);
    }

    void flattenTakesOneDigit()
    {
        Reader f;
        f.read(testData(u"cfg-flatten10"_s));
        QStringList positions;
        for (int pos = 0; pos < clsScenery::FlattenCount; ++pos)
            positions << u"Flatten"_s + QString::number(pos);
        QCOMPARE(describe(f.first(), positions), u"lower case key|||N1 E1 N2 E2||||||"_s);
    }

    void readingEndsAtError_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("generalTitle");
        QTest::newRow("area key before the first area") << testData(u"cfg-key-before-header"_s) << 91
            << "Object variable or With block variable not set" << QStringList{u"Renamed"_s} << "World";
        QTest::newRow("unconvertible value") << testData(u"cfg-unconvertible"_s) << 13 << "Type mismatch"
                                             << QStringList{u"Renamed"_s, u"Good"_s} << "";
        // A scenery keyed like the second area but titled differently holds the area's key.
        QTest::newRow("key taken") << crlf(u"[Area.001]\nTitle=A\n[Area.002]\nTitle=B\n[Area.003]\nTitle=C\n"_s) << 457
                                   << "" << QStringList{u"Renamed"_s, u"A"_s} << "";
    }

    void readingEndsAtError()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint32, number);
        QFETCH(QString, text);
        QFETCH(QStringList, titles);
        QFETCH(QString, generalTitle);
        Reader f;
        f.addScenery(u"SceneryNew\\B"_s, u"Renamed"_s);
        f.expectError(number, text);
        f.read(content);
        // What was read before the failure stays; nothing after it is read.
        QCOMPARE(f.titles(), titles);
        QCOMPARE(f.set(CurrentSet).Title, generalTitle);
        QVERIFY(f.m().colCache.isEmpty());
    }

    void missingFile()
    {
        Reader f;
        auto known = f.addScenery(u"SceneryNew\\Known"_s, u"Known"_s);
        known->InCFG = true;
        f.env.ui.expectMessage(u"SceneryManager.readCFG\nError: -2147221403\nCould not find Scenery.cfg file."_s,
                               u"Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Critical);
        f.m().readCFG(f.path, false);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.path, CfgPath);
        QVERIFY(f.m().dicCFGs.contains(CurrentSet));
        QVERIFY(known->InCFG);
        QCOMPARE(f.m().colScenery.count(), 1);
        QVERIFY(f.m().colCache.isEmpty());
    }

    void defaultCacheEntry()
    {
        Reader f;
        const QString expected = u"[Cache.000]:0|Default Texture Cache|texture|scenedb\\texture|0"_s;
        f.read(crlf(u"[General]\nTitle=No caches\n"_s));
        QCOMPARE(f.caches(), expected);
        // A second reading of a file without caches adds no second default.
        f.read(crlf(u"[General]\nTitle=No caches\n"_s));
        QCOMPARE(f.caches(), expected);
    }

    void cacheSections()
    {
        Reader f;
        f.path = u"C:\\Elsewhere\\Scenery.cfg"_s;
        f.read(testData(u"cfg-cache"_s));
        QCOMPARE(f.path, u"C:\\Elsewhere\\Scenery.cfg"_s);
        QCOMPARE(f.caches(), u"[Cache.001]:1|Default Texture Cache|texture|scenedb\\texture|1;"
                             u"[cache.002]:2|Second Cache|C:\\Cache2||0"_s);
        // Area keys inside a cache section belong to the cache, not to the area before it.
        QCOMPARE(describe(f.first(), {u"Title"_s, u"LocalPath"_s, u"RemotePath"_s, u"Active"_s, u"IsLocalPath"_s}),
                 u"Alpha|Addon Scenery\\Alpha|R:\\Alpha|1|1"_s);
        QCOMPARE(f.set(CurrentSet).Title, u"Cache World"_s);

        // A second reading replaces the sections of the same name in place and adds the new ones.
        const CachePtr held = f.m().colCache.item(u"[cache.002]"_s);
        f.read(testData(u"cfg-cache-again"_s));
        QCOMPARE(f.m().colCache.item(u"[cache.002]"_s).get(), held.get());
        QCOMPARE(f.caches(), u"[Cache.001]:1|Default Texture Cache|texture|scenedb\\texture|1;"
                             u"[cache.002]:2|Replaced|D:\\New||1;[Cache.003]:3|Third Cache|texture3|scenedb\\texture3|0"_s);
        QVERIFY(!f.first().InCFG);
    }

    void matchingByTitle_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("update");
        QTest::addColumn<QString>("inFile");  // Key|LocalPath|RemotePath|Active|Required of the sceneries in the file
        const QString known = u"[Area.001]\nTitle=Known\nActive=TRUE\nRequired=TRUE\nLocal=New\nLayer=1\nRemote="_s;
        const QString dup = u"[Area.001]\nTitle=Dup\nLocal=First\n[Area.002]\nTitle=Other\n[Area.003]\nTitle=Dup\nLocal=Second\n"_s;
        QTest::newRow("known, not updated") << known + u"NewR"_s << false << "SceneryEurope\\Known|Old|OldR|0|0";
        QTest::newRow("known, updated, file without remote") << known << true << "SceneryEurope\\Known|New|OldR|1|1";
        QTest::newRow("known, updated, file with remote") << known + u"NewR"_s << true << "SceneryEurope\\Known|New|NewR|1|1";
        QTest::newRow("first match in collection order") << "[Area.001]\nTitle=Twin\nLocal=Here\n" << true
                                                         << "SceneryA\\Twin|Here||0|0";
        QTest::newRow("two areas, one title: the first's values") << dup << false
                                                                  << "SceneryNew\\Dup|First||0|0;SceneryNew\\Other|||0|0";
        QTest::newRow("two areas, one title: updated by the second") << dup << true
                                                                     << "SceneryNew\\Dup|Second||0|0;SceneryNew\\Other|||0|0";
    }

    void matchingByTitle()
    {
        QFETCH(QString, content);
        QFETCH(bool, update);
        QFETCH(QString, inFile);
        Reader f;
        auto known = f.addScenery(u"SceneryEurope\\Known"_s, u"Known"_s);
        known->LocalPath = u"Old"_s;
        known->RemotePath = u"OldR"_s;
        known->Author = u"keep"_s;
        known->Layer = 9;
        f.addScenery(u"SceneryA\\Twin"_s, u"Twin"_s);
        f.addScenery(u"SceneryB\\Twin"_s, u"Twin"_s);
        f.addScenery(u"SceneryNew\\Absent"_s, u"Absent"_s)->InCFG = true;
        f.read(crlf(content + u'\n'), update);
        QStringList read;
        for (const SceneryPtr &s : f.m().colScenery) {
            if (s->InCFG)
                read << describe(*s, {u"Key"_s, u"LocalPath"_s, u"RemotePath"_s, u"Active"_s, u"Required"_s});
        }
        QCOMPARE(read.join(u';'), inFile);
        // Values the library keeps itself are never taken from the file.
        QCOMPARE(describe(*known, {u"Key"_s, u"Author"_s, u"Layer"_s}), u"SceneryEurope\\Known|keep|9"_s);
    }
};

QTEST_GUILESS_MAIN(TestCfgReader)
#include "tst_cfgreader.moc"
