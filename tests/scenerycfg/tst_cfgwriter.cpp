#include "libraryfixture.h"

#include "backup/backupmanager.h"

#include <QDir>
#include <QTest>

namespace {

const QString CfgPath = QStringLiteral("C:\\FS2002\\Scenery.CFG");
const QString BackupQuestion = QStringLiteral("Do you want to make a backup first?");
const QString BackupTitle = QStringLiteral("Creating new Scenery.CFG");

void answerBackup(LibraryFixture &f, UiPort::Answer answer = UiPort::Answer::No)
{
    f.env.ui.expectMessage(BackupQuestion, BackupTitle, answer, UiPort::Icon::None);
}

QString missingMessage(const QString &title)
{
    return QStringLiteral("Scenery '") + title + QStringLiteral("' not included because the local path does not exist.");
}

// The library of tests/data/cfgwrite-golden: nested levels, a scenery with a missing folder, a
// remote-only scenery with an empty remote folder, an empty title, two sceneries titled "Alpha",
// a member without a node, a scenery outside the selected sets and two cache entries.
void buildGoldenLibrary(LibraryFixture &f)
{
    f.env.writeFile(QStringLiteral("C:\\FS2002\\Addon Scenery\\Alpha\\scenery\\alpha.bgl"), "bgl");
    f.env.writeFile(QStringLiteral("C:\\Sceneries\\Gamma\\Scenery\\gamma.bgl"), "bgl");

    auto alpha = f.addScenery(QStringLiteral("SceneryNew\\Alpha"), QStringLiteral("Alpha"));
    alpha->IsLocalPath = true;
    alpha->LocalPath = QStringLiteral("Addon Scenery\\Alpha");
    alpha->Texture_ID = 1;
    alpha->Active = true;
    alpha->Required = true;
    alpha->Exclude = QStringLiteral("X1");
    alpha->setFlatten(2, QStringLiteral("F2"));
    alpha->setFlatten(7, QStringLiteral("F7"));
    alpha->Layer = 99;

    auto beta = f.addScenery(QStringLiteral("SceneryNew\\Beta"), QStringLiteral("Beta"));
    beta->Texture_ID = 2;
    beta->LocalPath = QStringLiteral("Addon Scenery\\NoSuchFolder");

    auto gamma = f.addScenery(QStringLiteral("SceneryNew\\Sub\\Gamma"), QStringLiteral("Gamma"));
    gamma->IsLocalPath = true;
    gamma->LocalPath = QStringLiteral("C:\\Sceneries\\Gamma\\Scenery\\");
    gamma->Active = true;

    auto missing = f.addScenery(QStringLiteral("SceneryNew\\Sub\\Missing"), QStringLiteral("Missing"));
    missing->IsLocalPath = true;
    missing->LocalPath = QStringLiteral("Addon Scenery\\Missing");

    auto delta = f.addScenery(QStringLiteral("SceneryNew\\Delta"), QStringLiteral("Delta"));
    delta->IsLocalPath = true;
    delta->LocalPath = QStringLiteral("Addon Scenery\\Delta");

    auto unknown = f.addScenery(QStringLiteral("SceneryNew\\"), QString());
    unknown->RemotePath = QStringLiteral("F:\\Remote\\U");

    auto alpha2 = f.addScenery(QStringLiteral("SceneryOther\\Alpha"), QStringLiteral("Alpha"));
    alpha2->RemotePath = QStringLiteral("G:\\Alpha2");

    f.addScenery(QStringLiteral("SceneryNew\\Orphan"), QStringLiteral("Orphan"));

    f.addSet(QStringLiteral("Main"), 1, false,
             {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma"), QStringLiteral("Missing"),
              QStringLiteral("Orphan")});
    f.addSet(QStringLiteral("Extra"), 1, false, {QStringLiteral("Alpha"), QString()});

    auto cache1 = std::make_shared<clsCache>();
    cache1->intCache = 1;
    cache1->strTitle = QStringLiteral("Default Texture Cache");
    cache1->strLocal = QStringLiteral("texture");
    cache1->strRemote = QStringLiteral("scenedb\\texture");
    f.m().colCache.add(QStringLiteral("[Cache.001]"), cache1);
    auto cache5 = std::make_shared<clsCache>();
    cache5->intCache = 5;
    cache5->strTitle = QStringLiteral("Extra Cache");
    cache5->strLocal = QStringLiteral("C:\\Cache");
    cache5->blnActive = true;
    f.m().colCache.add(QStringLiteral("[Cache.005]"), cache5);

    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Alpha"), QStringLiteral("Alpha"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Beta"), QStringLiteral("Beta"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("LevelNew\\Sub"), QStringLiteral("Sub"));
    f.node(QStringLiteral("LevelNew\\Sub"), QStringLiteral("SceneryNew\\Sub\\Gamma"), QStringLiteral("Gamma"));
    f.node(QStringLiteral("LevelNew\\Sub"), QStringLiteral("SceneryNew\\Sub\\Missing"), QStringLiteral("Missing"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Delta"), QStringLiteral("Delta"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\"), QString());
    f.node({}, QStringLiteral("LevelOther"), QStringLiteral("Other"));
    f.node(QStringLiteral("LevelOther"), QStringLiteral("SceneryOther\\Alpha"), QStringLiteral("Alpha"));
}

// count sceneries titled S1..Sn, remote-only so no folder is checked, in one set and one level.
void buildNumberedLibrary(LibraryFixture &f, int count, const QString &exclude = {})
{
    QStringList titles;
    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    for (int i = 1; i <= count; ++i) {
        const QString title = QStringLiteral("S%1").arg(i);
        auto s = f.addScenery(QStringLiteral("SceneryNew\\") + title, title);
        s->RemotePath = QStringLiteral("R:\\") + title;
        s->Exclude = exclude;
        f.node(QStringLiteral("LevelNew"), s->Key, title);
        titles << title;
    }
    f.addSet(QStringLiteral("All"), f.m().SimType, false, titles);
}

QStringList areaHeaders(const QByteArray &file)
{
    QStringList headers;
    for (const QByteArray &line : crlfLines(file)) {
        if (line.startsWith("[Area."))
            headers << QString::fromLatin1(line);
    }
    return headers;
}

// The areas of a Scenery.cfg in file order, each as its upper-cased keys and their values.
QList<QMap<QString, QString>> parseAreas(const QByteArray &file)
{
    QList<QMap<QString, QString>> areas;
    bool inArea = false;
    for (const QByteArray &raw : crlfLines(file)) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inArea = line.startsWith(QLatin1String("[Area."), Qt::CaseInsensitive);
            if (inArea)
                areas.append(QMap<QString, QString>());
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inArea && eq > 0)
            areas.last().insert(line.left(eq).toUpper(), line.mid(eq + 1));
    }
    return areas;
}

}

class TestCfgWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesGoldenFile_data();
    void writesGoldenFile();
    void selectionLimit_data();
    void selectionLimit();
    void limitCountsTitles();
    void cacheSizeRaised_data();
    void cacheSizeRaised();
    void sizeWarningAfterCompleteFile_data();
    void sizeWarningAfterCompleteFile();
    void lineBreaksBecomeBlanks();
    void unknownSetEndsWithoutWriting();
    void failureLeavesOldFileWhole();
    void backupMadeBeforeWriting();
    void stoppedBackupKeepsOldFile();
    void realFilesWrittenBack_data();
    void realFilesWrittenBack();
};

void TestCfgWriter::writesGoldenFile_data()
{
    QTest::addColumn<int>("simType");
    QTest::newRow("Flight Simulator 2000") << 0;
    QTest::newRow("Flight Simulator 2002") << 1;
    QTest::newRow("Combat Flight Simulator 2") << 2;
}

void TestCfgWriter::writesGoldenFile()
{
    QFETCH(int, simType);
    LibraryFixture f;
    buildGoldenLibrary(f);
    f.m().SimType = simType;
    answerBackup(f);
    f.env.ui.expectMessage(missingMessage(QStringLiteral("Missing")), QStringLiteral("Can not include scenery."),
                           UiPort::Answer::Ok, UiPort::Icon::Information);

    qint32 cacheSize = 4;
    // The text after the last line break is no set name ("Ignored" is not a set).
    f.m().CreateCFG(QStringLiteral("Main\r\nExtra\r\nIgnored"), f.tree, cacheSize, true, QStringLiteral("My World"),
                    QStringLiteral("Made by test"));
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(cacheSize, 10);
    QCOMPARE(f.env.readFile(CfgPath),
             testData(QStringLiteral("cfgwrite-golden"), QStringLiteral("Scenery-sim%1.CFG").arg(simType)));
}

void TestCfgWriter::selectionLimit_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("written");
    QTest::newRow("332 written") << 332 << true;
    QTest::newRow("333 refused") << 333 << false;
}

void TestCfgWriter::selectionLimit()
{
    QFETCH(int, count);
    QFETCH(bool, written);
    LibraryFixture f;
    buildNumberedLibrary(f, count);
    const QByteArray old = "[General]\r\nTitle=old\r\n";
    f.env.writeFile(CfgPath, old);
    answerBackup(f);
    if (!written)
        f.env.ui.expectMessage(QStringLiteral("The selected sets cover more then the maximum of 332 sceneries."),
                               QStringLiteral("Can not create scenery.cfg"), UiPort::Answer::Ok,
                               UiPort::Icon::Critical);
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    const QByteArray file = f.env.readFile(CfgPath);
    if (written) {
        const QStringList headers = areaHeaders(file);
        QCOMPARE(headers.size(), count);
        QCOMPARE(headers.first(), QStringLiteral("[Area.001]"));
        QCOMPARE(headers.last(), QStringLiteral("[Area.332]"));
    } else {
        QCOMPARE(file, old);
    }
}

void TestCfgWriter::limitCountsTitles()
{
    LibraryFixture f;
    buildNumberedLibrary(f, 332);
    // A second scenery titled "S1" in another level: 332 titles, 333 sceneries.
    f.node({}, QStringLiteral("LevelOther"), QStringLiteral("Other"));
    auto twin = f.addScenery(QStringLiteral("SceneryOther\\S1"), QStringLiteral("S1"));
    twin->RemotePath = QStringLiteral("R:\\Twin");
    f.node(QStringLiteral("LevelOther"), twin->Key, twin->Title);
    answerBackup(f);
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    const QList<QMap<QString, QString>> areas = parseAreas(f.env.readFile(CfgPath));
    QCOMPARE(areas.size(), 333);
    QCOMPARE(areas.last().value(QStringLiteral("REMOTE")), QStringLiteral("R:\\Twin"));
    QCOMPARE(areas.last().value(QStringLiteral("LAYER")), QStringLiteral("333"));
}

void TestCfgWriter::cacheSizeRaised_data()
{
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("expected");
    QTest::newRow("4 raised") << 4 << 10;
    QTest::newRow("9 raised") << 9 << 10;
    QTest::newRow("negative raised") << -5 << 10;
    QTest::newRow("10 kept") << 10 << 10;
    QTest::newRow("64 kept") << 64 << 64;
}

void TestCfgWriter::cacheSizeRaised()
{
    QFETCH(int, given);
    QFETCH(int, expected);
    LibraryFixture f;
    buildNumberedLibrary(f, 1);
    answerBackup(f);
    qint32 cacheSize = given;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(cacheSize, expected);
    const QList<QByteArray> lines = crlfLines(f.env.readFile(CfgPath));
    QVERIFY(lines.contains("Cache_Size=" + QByteArray::number(expected) + "M"));
    QVERIFY(lines.contains("Clean_on_Exit=FALSE"));
}

void TestCfgWriter::sizeWarningAfterCompleteFile_data()
{
    QTest::addColumn<int>("simType");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("warned");
    QTest::newRow("over the limit, no caches") << 0 << 300 << true;
    QTest::newRow("over the limit, with caches") << 1 << 300 << true;
    QTest::newRow("under the limit") << 1 << 150 << false;
}

void TestCfgWriter::sizeWarningAfterCompleteFile()
{
    QFETCH(int, simType);
    QFETCH(int, count);
    QFETCH(bool, warned);
    LibraryFixture f;
    f.m().SimType = simType;
    buildNumberedLibrary(f, count, QString(250, QLatin1Char('x')));
    if (simType == 1) {
        auto cache = std::make_shared<clsCache>();
        cache->strTitle = QStringLiteral("Cache");
        f.m().colCache.add(QStringLiteral("[Cache.001]"), cache);
    }
    answerBackup(f);
    if (warned)
        f.env.ui.expectMessageStartingWith(QStringLiteral("The Scenery.cfg is "), QStringLiteral("File size"));
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());

    // The file is complete before the warning.
    const QByteArray file = f.env.readFile(CfgPath);
    QCOMPARE(areaHeaders(file).size(), count);
    QVERIFY(file.endsWith("\r\n\r\n"));

    if (warned) {
        // Every line counts its length plus one, except the cache section's five text lines.
        const QList<QByteArray> lines = crlfLines(file);
        const qsizetype cacheTextLines = simType == 1 ? 5 : 0;
        const qsizetype counted = file.size() - lines.size() - cacheTextLines;
        QVERIFY(counted > 65500);
        const QString text = QStringLiteral("The Scenery.cfg is %1 Byte long. (Max: 65500)\r\n"
                                            "This is too long for the scenery.cfg and can even result in an error "
                                            "by reading the scenery.cfg.\r\n"
                                            "Do this option again with less sceneries included!")
                                 .arg(counted);
        QCOMPARE(f.env.ui.shown().last(), QStringLiteral("message|File size|") + text);
    }
}

void TestCfgWriter::lineBreaksBecomeBlanks()
{
    LibraryFixture f;
    buildNumberedLibrary(f, 2);
    f.m().colScenery.item(QStringLiteral("SceneryNew\\S1"))->RemotePath = QStringLiteral("R:\\one\r\ntwo");
    answerBackup(f);
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, QStringLiteral("A\nB"), {});
    QVERIFY(f.env.ui.allShown());
    const QList<QMap<QString, QString>> areas = parseAreas(f.env.readFile(CfgPath));
    QCOMPARE(areas.size(), 2);
    QCOMPARE(areas.first().value(QStringLiteral("REMOTE")), QStringLiteral("R:\\one  two"));
    QCOMPARE(areas.first().size(), 5);
    QVERIFY(crlfLines(f.env.readFile(CfgPath)).contains("Title=A B"));
}

void TestCfgWriter::unknownSetEndsWithoutWriting()
{
    LibraryFixture f;
    buildNumberedLibrary(f, 1);
    answerBackup(f);
    f.env.ui.expectMessageStartingWith(QStringLiteral("SceneryManager.CreateCFG\nError: 9\n"), QStringLiteral("Lumivale"));
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\nNo such set\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    QVERIFY(!f.env.fs.fileExists(CfgPath));
}

void TestCfgWriter::failureLeavesOldFileWhole()
{
    LibraryFixture f;
    buildNumberedLibrary(f, 3);
    // A node whose scenery is not in the library: the walk fails after the first areas.
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Ghost"), QStringLiteral("Ghost"));
    const QByteArray old = "[General]\r\nTitle=old\r\n";
    f.env.writeFile(CfgPath, old);
    answerBackup(f);
    f.env.ui.expectMessageStartingWith(QStringLiteral("SceneryManager.CreateCFG\nError: 9\n"), QStringLiteral("Lumivale"));
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(CfgPath), old);
}

void TestCfgWriter::backupMadeBeforeWriting()
{
    LibraryFixture f;
    BackupManager backup(f.env.context, QStringLiteral("C:\\FS2002"), 1);
    f.m().setBackupManager(&backup);
    buildNumberedLibrary(f, 2);
    const QByteArray old = "[General]\r\nTitle=old\r\n";
    f.env.writeFile(CfgPath, old);
    f.env.writeFile(f.programFile(QStringLiteral("BackupFilesFS2002.db")), "\\Scenery.CFG\r\n");
    answerBackup(f, UiPort::Answer::Yes);
    f.env.ui.expectInput(QStringLiteral("Insert a name of the backup:"), QStringLiteral("Backup name"),
                         QStringLiteral("before"));
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(QStringLiteral("C:\\FS2002\\Scenery.CFG.Backup")), old);
    QVERIFY(f.env.fs.fileExists(backup.backupRoot() + QStringLiteral("before.zip")));
    QCOMPARE(areaHeaders(f.env.readFile(CfgPath)).size(), 2);
}

void TestCfgWriter::stoppedBackupKeepsOldFile()
{
    LibraryFixture f;
    BackupManager backup(f.env.context, QStringLiteral("C:\\FS2002"), 1);
    f.m().setBackupManager(&backup);
    buildNumberedLibrary(f, 2);
    const QByteArray old = "[General]\r\nTitle=old\r\n";
    f.env.writeFile(CfgPath, old);
    const QString longLine = QStringLiteral("\\Scenery\\") + QString(80, QLatin1Char('a')) + QStringLiteral(".bgl");
    f.env.writeFile(f.programFile(QStringLiteral("BackupFilesFS2002.db")), longLine.toLatin1() + "\r\n");
    answerBackup(f, UiPort::Answer::Yes);
    f.env.ui.expectInput(QStringLiteral("Insert a name of the backup:"), QStringLiteral("Backup name"),
                         QStringLiteral("stopped"));
    f.env.ui.expectMessageStartingWith(QStringLiteral("C:\\FS2002") + longLine, QStringLiteral("Cannot zip file!"),
                                       UiPort::Answer::Cancel);
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, false, {}, {});
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(CfgPath), old);
}

void TestCfgWriter::realFilesWrittenBack_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("count");
    QTest::newRow("default") << "fs9-default-scenery.cfg" << 120;
    QTest::newRow("localized") << "fs9-localized-scenery.cfg" << 124;
}

void TestCfgWriter::realFilesWrittenBack()
{
    QFETCH(QString, file);
    QFETCH(int, count);
    LibraryFixture f;
    const QByteArray original = testData(QStringLiteral("real"), file);
    f.env.writeFile(CfgPath, original);
    QString path;
    f.m().readCFG(path, false);
    QCOMPARE(f.m().colScenery.count(), count);

    QStringList titles;
    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    for (const SceneryPtr &s : f.m().colScenery) {
        QVERIFY(QDir().mkpath(f.env.fs.toHost(f.m().getRealPath(s->LocalPath) + QStringLiteral("\\Scenery"))));
        f.node(QStringLiteral("LevelNew"), s->Key, s->Title);
        titles << s->Title;
    }
    f.addSet(QStringLiteral("All"), 1, false, titles);

    answerBackup(f);
    qint32 cacheSize = 20;
    f.m().CreateCFG(QStringLiteral("All\r\n"), f.tree, cacheSize, true, QStringLiteral("T"), QStringLiteral("D"));
    QVERIFY(f.env.ui.allShown());

    const QList<QMap<QString, QString>> before = parseAreas(original);
    const QList<QMap<QString, QString>> after = parseAreas(f.env.readFile(CfgPath));
    QCOMPARE(before.size(), count);
    QCOMPARE(after.size(), count);
    for (qsizetype i = 0; i < count; ++i) {
        for (const char *key : {"TITLE", "LOCAL", "ACTIVE", "REQUIRED"}) {
            const QString k = QString::fromLatin1(key);
            QCOMPARE(after.at(i).value(k).toUpper(), before.at(i).value(k).toUpper());
        }
        const QString texture = before.at(i).value(QStringLiteral("TEXTURE_ID"));
        QCOMPARE(after.at(i).value(QStringLiteral("TEXTURE_ID")), texture == QLatin1String("1") ? texture : QString());
        QCOMPARE(after.at(i).value(QStringLiteral("LAYER")), QString::number(i + 1));
    }
}

QTEST_GUILESS_MAIN(TestCfgWriter)
#include "tst_cfgwriter.moc"
