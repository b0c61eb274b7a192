#include "libraryfixture.h"

#include <QTest>

namespace {

const QString ErrorTitle = QStringLiteral("Lumivale");
const QString CfgPath = QStringLiteral("C:\\FS2002\\SCENERY.CFG");

QByteArray crlf(const QString &text)
{
    return text.toLatin1().replace("\n", "\r\n");
}

QString readError(qint32 number)
{
    return QStringLiteral("SceneryManager.readCFG\nError: ") + QString::number(number) + QLatin1Char('\n');
}

QStringList titles(const SceneryManager &m)
{
    QStringList result;
    for (const SceneryPtr &s : m.colScenery)
        result << s->Title;
    return result;
}

}

class TestCfgReader : public QObject
{
    Q_OBJECT

private slots:
    void readsRealFiles_data();
    void readsRealFiles();
    void headers_data();
    void headers();
    void oddHeadersAreIgnored_data();
    void oddHeadersAreIgnored();
    void keyLines_data();
    void keyLines();
    void blankBeforeEqualsMatchesNothing();
    void flattenTakesOneDigit();
    void areaKeyBeforeFirstArea();
    void unconvertibleValueEndsReading();
    void missingFile();
    void defaultCacheEntry();
    void cacheSections();
    void secondReadingReplacesCacheSections();
    void updateExisting_data();
    void updateExisting();
    void firstMatchInCollectionOrder();
    void twoAreasWithOneTitle_data();
    void twoAreasWithOneTitle();
    void isLocalPath_data();
    void isLocalPath();
    void cleanOnExit_data();
    void cleanOnExit();
    void duplicateKeyEndsReading();
};

void TestCfgReader::readsRealFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstTitle");
    QTest::addColumn<QString>("generalTitle");
    QTest::newRow("default") << "fs9-default-scenery.cfg" << 120 << "Default Terrain" << "FS9 World Scenery";
    QTest::newRow("localized") << "fs9-localized-scenery.cfg" << 124 << "@IDS_AREA001_DEFAULTTERRAIN"
                               << "@IDS_GENERAL_FS9WORLDSCENERY";
}

void TestCfgReader::readsRealFiles()
{
    QFETCH(QString, file);
    QFETCH(int, count);
    QFETCH(QString, firstTitle);
    QFETCH(QString, generalTitle);

    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("real"), file));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(path, CfgPath);
    QCOMPARE(f.m().colScenery.count(), count);
    const clsScenery &first = *f.m().colScenery.first();
    QCOMPARE(first.Title, firstTitle);
    QCOMPARE(first.Key, QStringLiteral("SceneryNew\\") + firstTitle);
    QCOMPARE(first.Texture_ID, qint16(1));
    QCOMPARE(first.LocalPath, QStringLiteral("Scenery\\World"));
    QCOMPARE(first.Layer, qint16(1));
    QVERIFY(first.Active);
    QVERIFY(first.Required);
    for (const SceneryPtr &s : f.m().colScenery) {
        QVERIFY(s->InCFG);
        QVERIFY(s->IsLocalPath);
    }
    const clsCFG &current = *f.m().dicCFGs.item(QStringLiteral("(Current)"));
    QCOMPARE(current.Title, generalTitle);
    QVERIFY(current.Clean_on_Exit);
    QCOMPARE(f.m().colCache.count(), 1);
}

void TestCfgReader::headers_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("expectedTitles");

    QTest::newRow("three-digit area headers") << "[Area.001]\nTitle=A\n[area.123]\nTitle=B\n"
                                              << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("blanks around a header") << "[Area.001]\nTitle=A\n   [Area.002]  \nTitle=B\n"
                                            << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("text after a header") << "[Area.001]\nTitle=A\n[Area.002] old\nTitle=B\n"
                                         << QStringList{QStringLiteral("B")};
    QTest::newRow("two-digit header") << "[Area.001]\nTitle=A\n[Area.02]\nTitle=B\n"
                                      << QStringList{QStringLiteral("B")};
    QTest::newRow("letter among the digits") << "[Area.001]\nTitle=A\n[Area.0a2]\nTitle=B\n"
                                        << QStringList{QStringLiteral("B")};
    QTest::newRow("general ends nothing") << "[Area.001]\nTitle=A\n[General]\nLocal=L\n[Area.002]\nTitle=B\n"
                                          << QStringList{QStringLiteral("A"), QStringLiteral("B")};
    QTest::newRow("area without title") << "[Area.001]\nLocal=L\n" << QStringList{QString()};
}

void TestCfgReader::headers()
{
    QFETCH(QString, content);
    QFETCH(QStringList, expectedTitles);
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(content));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(titles(f.m()), expectedTitles);
}

void TestCfgReader::oddHeadersAreIgnored_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("[Area.1]") << "cfg-area-1digit";
    QTest::newRow("[Area.0001]") << "cfg-area-4digit";
}

void TestCfgReader::oddHeadersAreIgnored()
{
    QFETCH(QString, folder);
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(folder, QStringLiteral("Scenery.cfg")));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    // The keys below the odd header went to the area read before it.
    QCOMPARE(f.m().colScenery.keys(), (QStringList{QStringLiteral("SceneryNew\\Second"), QStringLiteral("SceneryNew\\Third")}));
    const clsScenery &merged = *f.m().colScenery.first();
    QCOMPARE(merged.Title, QStringLiteral("Second"));
    QCOMPARE(merged.LocalPath, QStringLiteral("Addon Scenery\\Second"));
    QCOMPARE(merged.Layer, qint16(2));
    QVERIFY(merged.Active);
    const clsCFG &current = *f.m().dicCFGs.item(QStringLiteral("(Current)"));
    QCOMPARE(current.Title, QStringLiteral("Test World"));
    QCOMPARE(current.Description, QStringLiteral("Areas with odd headers"));
}

void TestCfgReader::keyLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field");
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
    QTest::newRow("active false") << "Active=false" << "Active" << "0";
    QTest::newRow("required") << "Required=True" << "Required" << "1";
    QTest::newRow("cache size ignored") << "Cache_Size=40M" << "LocalPath" << "L";
    QTest::newRow("unknown key ignored") << "Localx=zzz" << "LocalPath" << "L";
    QTest::newRow("no equals sign ignored") << "Local" << "LocalPath" << "L";
}

void TestCfgReader::keyLines()
{
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=T\nLocal=L\n") + line + QLatin1Char('\n')));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 1);
    const clsScenery &s = *f.m().colScenery.first();
    const QMap<QString, QString> fields{{QStringLiteral("LocalPath"), s.LocalPath},
                                        {QStringLiteral("RemotePath"), s.RemotePath},
                                        {QStringLiteral("Exclude"), s.Exclude},
                                        {QStringLiteral("Group"), s.Group},
                                        {QStringLiteral("ID"), s.ID},
                                        {QStringLiteral("Texture_ID"), QString::number(s.Texture_ID)},
                                        {QStringLiteral("Layer"), QString::number(s.Layer)},
                                        {QStringLiteral("GroupID"), QString::number(s.GroupID)},
                                        {QStringLiteral("Active"), QString::number(s.Active)},
                                        {QStringLiteral("Required"), QString::number(s.Required)}};
    QVERIFY(fields.contains(field));
    QCOMPARE(fields.value(field), expected);
}

void TestCfgReader::blankBeforeEqualsMatchesNothing()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-title-blank"), QStringLiteral("Scenery.cfg")));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(titles(f.m()), QStringList{QStringLiteral("Kept")});
    QCOMPARE(f.m().colScenery.first()->Key, QStringLiteral("SceneryNew\\Kept"));
}

void TestCfgReader::flattenTakesOneDigit()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-flatten10"), QStringLiteral("Scenery.cfg")));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    const clsScenery &s = *f.m().colScenery.first();
    QCOMPARE(s.Flatten(3), QStringLiteral("N1 E1 N2 E2"));
    QCOMPARE(s.Flatten(0), QStringLiteral("lower case key"));
    QCOMPARE(s.Flatten(1), QString());
    for (qint16 pos = 4; pos < clsScenery::FlattenCount; ++pos)
        QCOMPARE(s.Flatten(pos), QString());
}

void TestCfgReader::areaKeyBeforeFirstArea()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-key-before-header"), QStringLiteral("Scenery.cfg")));
    f.env.ui.expectMessage(readError(91) + QStringLiteral("Object variable or With block variable not set"),
                           ErrorTitle, UiPort::Answer::Ok, UiPort::Icon::Critical);
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    // What was read before the failure stays; nothing after it is read.
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("(Current)"))->Title, QStringLiteral("World"));
    QVERIFY(f.m().colScenery.isEmpty());
    QVERIFY(f.m().colCache.isEmpty());
}

void TestCfgReader::unconvertibleValueEndsReading()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-unconvertible"), QStringLiteral("Scenery.cfg")));
    f.env.ui.expectMessage(readError(13) + QStringLiteral("Type mismatch"), ErrorTitle);
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(titles(f.m()), QStringList{QStringLiteral("Good")});
}

void TestCfgReader::missingFile()
{
    LibraryFixture f;
    auto known = f.addScenery(QStringLiteral("SceneryNew\\Known"), QStringLiteral("Known"));
    known->InCFG = true;
    f.env.ui.expectMessage(readError(-2147221403) + QStringLiteral("Could not find Scenery.cfg file."), ErrorTitle,
                           UiPort::Answer::Ok, UiPort::Icon::Critical);
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(path, QStringLiteral("C:\\FS2002\\SCENERY.CFG"));
    QVERIFY(f.m().dicCFGs.contains(QStringLiteral("(Current)")));
    QVERIFY(known->InCFG);
    QCOMPARE(f.m().colScenery.count(), 1);
    QVERIFY(f.m().colCache.isEmpty());
}

void TestCfgReader::defaultCacheEntry()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[General]\nTitle=No caches\n")));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colCache.keys(), QStringList{QStringLiteral("[Cache.000]")});
    const clsCache &c = *f.m().colCache.first();
    QCOMPARE(c.intCache, qint16(0));
    QCOMPARE(c.strTitle, QStringLiteral("Default Texture Cache"));
    QCOMPARE(c.strLocal, QStringLiteral("texture"));
    QCOMPARE(c.strRemote, QStringLiteral("scenedb\\texture"));
    QCOMPARE(c.blnActive, false);

    // A second reading of a file without caches adds no second default.
    f.m().readCFG(path, false);
    QCOMPARE(f.m().colCache.count(), 1);
}

void TestCfgReader::cacheSections()
{
    LibraryFixture f;
    f.env.writeFile(QStringLiteral("C:\\Elsewhere\\Scenery.cfg"),
                    testData(QStringLiteral("cfg-cache"), QStringLiteral("Scenery.cfg")));
    QString path = QStringLiteral("C:\\Elsewhere\\Scenery.cfg");
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(path, QStringLiteral("C:\\Elsewhere\\Scenery.cfg"));
    QCOMPARE(f.m().colCache.keys(), (QStringList{QStringLiteral("[Cache.001]"), QStringLiteral("[cache.002]")}));
    const clsCache &first = *f.m().colCache.item(QStringLiteral("[Cache.001]"));
    QCOMPARE(first.intCache, qint16(1));
    QCOMPARE(first.strTitle, QStringLiteral("Default Texture Cache"));
    QCOMPARE(first.strLocal, QStringLiteral("texture"));
    QCOMPARE(first.strRemote, QStringLiteral("scenedb\\texture"));
    QCOMPARE(first.blnActive, true);
    const clsCache &second = *f.m().colCache.item(QStringLiteral("[cache.002]"));
    QCOMPARE(second.intCache, qint16(2));
    QCOMPARE(second.strTitle, QStringLiteral("Second Cache"));
    QCOMPARE(second.strLocal, QStringLiteral("C:\\Cache2"));
    QCOMPARE(second.blnActive, false);

    // Area keys inside a cache section belong to the cache, not to the area before it.
    const clsScenery &alpha = *f.m().colScenery.first();
    QCOMPARE(alpha.LocalPath, QStringLiteral("Addon Scenery\\Alpha"));
    QCOMPARE(alpha.RemotePath, QStringLiteral("R:\\Alpha"));
    QCOMPARE(alpha.Title, QStringLiteral("Alpha"));
    QVERIFY(alpha.Active);
    QVERIFY(alpha.IsLocalPath);
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("(Current)"))->Title, QStringLiteral("Cache World"));
}

void TestCfgReader::secondReadingReplacesCacheSections()
{
    LibraryFixture f;
    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-cache"), QStringLiteral("Scenery.cfg")));
    QString path;
    f.m().readCFG(path, false);
    const CachePtr held = f.m().colCache.item(QStringLiteral("[cache.002]"));

    f.env.writeFile(CfgPath, testData(QStringLiteral("cfg-cache-again"), QStringLiteral("Scenery.cfg")));
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colCache.keys(), (QStringList{QStringLiteral("[Cache.001]"), QStringLiteral("[cache.002]"),
                                                 QStringLiteral("[Cache.003]")}));
    const clsCache &replaced = *f.m().colCache.item(QStringLiteral("[cache.002]"));
    QCOMPARE(&replaced, held.get());
    QCOMPARE(replaced.strTitle, QStringLiteral("Replaced"));
    QCOMPARE(replaced.strLocal, QStringLiteral("D:\\New"));
    QCOMPARE(replaced.strRemote, QString());
    QCOMPARE(replaced.blnActive, true);
    QCOMPARE(f.m().colCache.item(QStringLiteral("[Cache.003]"))->strTitle, QStringLiteral("Third Cache"));
    // The sceneries of the first file are no longer in the file read last.
    QVERIFY(!f.m().colScenery.first()->InCFG);
}

void TestCfgReader::updateExisting_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("fileRemote");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("required");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("remote");

    QTest::newRow("not updated") << false << "NewR" << false << false << "Old" << "OldR";
    QTest::newRow("updated, file without remote") << true << "" << true << true << "New" << "OldR";
    QTest::newRow("updated, file with remote") << true << "NewR" << true << true << "New" << "NewR";
}

void TestCfgReader::updateExisting()
{
    QFETCH(bool, update);
    QFETCH(QString, fileRemote);
    QFETCH(bool, active);
    QFETCH(bool, required);
    QFETCH(QString, local);
    QFETCH(QString, remote);

    LibraryFixture f;
    auto known = f.addScenery(QStringLiteral("SceneryEurope\\Known"), QStringLiteral("Known"));
    known->LocalPath = QStringLiteral("Old");
    known->RemotePath = QStringLiteral("OldR");
    known->IsLocalPath = true;
    known->Author = QStringLiteral("keep");
    known->Layer = 9;
    auto absent = f.addScenery(QStringLiteral("SceneryNew\\Absent"), QStringLiteral("Absent"));
    absent->InCFG = true;

    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=Known\nActive=TRUE\nRequired=TRUE\nLocal=New\n"
                                                 "Layer=1\nRemote=")
                                  + fileRemote + QLatin1Char('\n')));
    QString path;
    f.m().readCFG(path, update);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 2);
    QVERIFY(known->InCFG);
    QVERIFY(!absent->InCFG);
    QCOMPARE(known->Active, active);
    QCOMPARE(known->Required, required);
    QCOMPARE(known->LocalPath, local);
    QCOMPARE(known->RemotePath, remote);
    QCOMPARE(known->Author, QStringLiteral("keep"));
    QCOMPARE(known->Layer, qint16(9));
    QCOMPARE(known->Key, QStringLiteral("SceneryEurope\\Known"));
}

void TestCfgReader::firstMatchInCollectionOrder()
{
    LibraryFixture f;
    auto first = f.addScenery(QStringLiteral("SceneryA\\Twin"), QStringLiteral("Twin"));
    auto second = f.addScenery(QStringLiteral("SceneryB\\Twin"), QStringLiteral("Twin"));
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=Twin\nLocal=Here\n")));
    QString path;
    f.m().readCFG(path, true);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 2);
    QVERIFY(first->InCFG);
    QCOMPARE(first->LocalPath, QStringLiteral("Here"));
    QVERIFY(!second->InCFG);
    QCOMPARE(second->LocalPath, QString());
}

void TestCfgReader::twoAreasWithOneTitle_data()
{
    QTest::addColumn<bool>("update");
    QTest::addColumn<QString>("local");
    QTest::newRow("first area's values") << false << "First";
    QTest::newRow("updated by the second area") << true << "Second";
}

void TestCfgReader::twoAreasWithOneTitle()
{
    QFETCH(bool, update);
    QFETCH(QString, local);
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=Dup\nLocal=First\n[Area.002]\nTitle=Other\n"
                                                 "[Area.003]\nTitle=Dup\nLocal=Second\n")));
    QString path;
    f.m().readCFG(path, update);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(titles(f.m()), (QStringList{QStringLiteral("Dup"), QStringLiteral("Other")}));
    QCOMPARE(f.m().colScenery.first()->LocalPath, local);
}

void TestCfgReader::isLocalPath_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<bool>("expected");
    QTest::newRow("remote, empty local") << "Remote=R:\\X\nLocal=\n" << false;
    QTest::newRow("remote, no local line") << "Remote=R:\\X\n" << false;
    QTest::newRow("local and remote") << "Remote=R:\\X\nLocal=L\n" << true;
    QTest::newRow("local only") << "Local=L\n" << true;
    QTest::newRow("neither") << "" << true;
}

void TestCfgReader::isLocalPath()
{
    QFETCH(QString, lines);
    QFETCH(bool, expected);
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=X\n") + lines));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.first()->IsLocalPath, expected);
}

void TestCfgReader::cleanOnExit_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("clean");
    QTest::addColumn<QString>("description");
    QTest::newRow("FALSE") << "[General]\nClean_on_Exit=FALSE\n" << false << "";
    QTest::newRow("true") << "[General]\nClean_on_Exit=true\n" << true << "";
    QTest::newRow("a number is not TRUE") << "[General]\nClean_on_Exit=1\n" << false << "";
    QTest::newRow("in an area section") << "[Area.001]\nTitle=A\nclean_on_exit=True\nDescription=D\n" << true
                                        << "D";
    QTest::newRow("in a cache section: ignored") << "[Cache.001]\nClean_on_Exit=TRUE\nDescription=D\n" << false
                                                 << "";
}

void TestCfgReader::cleanOnExit()
{
    QFETCH(QString, content);
    QFETCH(bool, clean);
    QFETCH(QString, description);
    LibraryFixture f;
    f.env.writeFile(CfgPath, crlf(content));
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    const clsCFG &current = *f.m().dicCFGs.item(QStringLiteral("(Current)"));
    QCOMPARE(current.Clean_on_Exit, clean);
    QCOMPARE(current.Description, description);
}

void TestCfgReader::duplicateKeyEndsReading()
{
    LibraryFixture f;
    // A scenery keyed like a new area but titled differently: the area's key is taken.
    f.addScenery(QStringLiteral("SceneryNew\\B"), QStringLiteral("Renamed"));
    f.env.writeFile(CfgPath, crlf(QStringLiteral("[Area.001]\nTitle=A\n[Area.002]\nTitle=B\n[Area.003]\nTitle=C\n")));
    f.env.ui.expectMessageStartingWith(readError(457), ErrorTitle);
    QString path;
    f.m().readCFG(path, false);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(titles(f.m()), (QStringList{QStringLiteral("Renamed"), QStringLiteral("A")}));
    QVERIFY(f.m().colCache.isEmpty());
}

QTEST_GUILESS_MAIN(TestCfgReader)
#include "tst_cfgreader.moc"
