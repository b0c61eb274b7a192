#include "libraryfixture.h"

#include <QTest>

namespace {

struct Reader : LibraryFixture
{
    // Reads the bytes (none: no file) as the simulator's Scenery.cfg; every dialog shown must have been announced.
    void read(const QByteArray &bytes, bool update = false)
    {
        if (!bytes.isNull())
            env.writeFile(u"C:\\FS2002\\SCENERY.CFG"_s, bytes);
        QString path;
        m().readCFG(path, update);
        QVERIFY(env.ui.allShown());
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

    // What was read before a failure stays; nothing after it is read.
    void readingEndsAtError_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("read");  // Title|InCFG of every scenery, then the title of "(Current)"
        QTest::newRow("area key before the first area") << testData(u"cfg-key-before-header"_s)
            << "91\nObject variable or With block variable not set" << "Renamed|0 World";
        QTest::newRow("unconvertible value") << testData(u"cfg-unconvertible"_s) << "13\nType mismatch" << "Renamed|0;Good|1 ";
        // A scenery keyed like the second area but titled differently holds the area's key.
        QTest::newRow("key taken") << crlf(u"[Area.001]\nTitle=A\n[Area.002]\nTitle=B\n[Area.003]\nTitle=C\n"_s) << "457\n"
                                   << "Renamed|0;A|1 ";
        QTest::newRow("missing file: nothing changed") << QByteArray() << "-2147221403\nCould not find Scenery.cfg file."
                                                      << "Renamed|1 ";
    }

    void readingEndsAtError()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QFETCH(QString, read);
        Reader f;
        f.scenery(u"SceneryNew\\B"_s, u"Title=Renamed|InCFG=1"_s);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readCFG\nError: "_s + error, u"Lumivale"_s);
        f.read(content);
        QCOMPARE(f.sceneries(u"Title|InCFG"_s) + u' ' + f.general().Title, read);
        QVERIFY(f.m().colCache.isEmpty());
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
        QTest::newRow("two areas, one title: updated by the second") << dup << true
                                                                     << "SceneryNew\\Dup|Second||0|0;SceneryNew\\Other|||0|0";
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
