#include "../scenerycfg/libraryfixture.h"

#include "library/librarydb.h"
#include "platform/errorreporter.h"

#include <QTest>

namespace {

const QString ReadDb = QStringLiteral("SceneryManager.readDB\nError: ");
const QString ErrorTitle = QStringLiteral("Lumivale");

QString readError(qint32 number)
{
    return ReadDb + QString::number(number) + QLatin1Char('\n');
}

// The library written to tests/data/librarydb-golden: levels nested two deep, sceneries whose
// collection order differs from the tree order, one scenery without a node, and sets including
// "(Current)".
void buildGoldenLibrary(LibraryFixture &f)
{
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addLevel(QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    f.addLevel(QStringLiteral("LevelEurope\\Germany"), QStringLiteral("Germany"));

    auto paris = f.addScenery(QStringLiteral("SceneryEurope\\Paris"), QStringLiteral("Paris"));
    paris->PreviousKey = QStringLiteral("LevelEurope\\Germany");
    paris->Version = QStringLiteral("2003 ");
    paris->Texture_ID = 2;
    paris->IsLocalPath = true;
    paris->LocalPath = QStringLiteral("Addon Scenery\\Paris");

    auto berlin = f.addScenery(QStringLiteral("SceneryEurope\\Germany\\Berlin"), QStringLiteral("Berlin"));
    berlin->Active = true;
    berlin->Comment = QStringLiteral("Caf\u00e9");
    berlin->FlySim = 63;
    berlin->IsLocalPath = true;
    berlin->LocalPath = QStringLiteral("D:\\Sceneries\\Berlin\\Scenery");

    auto beta = f.addScenery(QStringLiteral("SceneryNew\\Beta"), QStringLiteral("Beta"));
    beta->PreviousKey = QStringLiteral("SceneryNew\\Alpha");
    beta->RemotePath = QStringLiteral("E:\\CD\\Beta");

    auto alpha = f.addScenery(QStringLiteral("SceneryNew\\Alpha"), QStringLiteral("Alpha"));
    alpha->Active = true;
    alpha->Author = QStringLiteral("J. Smith");
    alpha->Comment = QStringLiteral("Good one");
    alpha->Exclude = QStringLiteral("N48 E002");
    alpha->setFlatten(0, QStringLiteral("F0 text"));
    alpha->setFlatten(9, QStringLiteral("F9 text"));
    alpha->FlySim = 12;
    alpha->Group = QStringLiteral("5");
    alpha->GroupID = -3;
    alpha->ID = QStringLiteral("ALP1");
    alpha->IsLocalPath = true;
    alpha->Layer = 7;
    alpha->LocalPath = QStringLiteral("Addon Scenery\\Alpha");
    alpha->Required = true;
    alpha->SalesType = 2;
    alpha->Texture_ID = 1;
    alpha->Version = QStringLiteral("1.2");

    f.addScenery(QStringLiteral("SceneryNew\\Hidden"), QStringLiteral("Hidden"));

    f.addSet(QStringLiteral("(Current)"), 1, true, {QStringLiteral("Alpha")});
    f.addSet(QStringLiteral("Europe"), 1, true, {QStringLiteral("Berlin"), QStringLiteral("Paris")});
    f.addSet(QStringLiteral("Empty"), 2, false, {});
    f.addSet(QStringLiteral("Old"), 0, false, {QStringLiteral("Alpha")});

    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Alpha"), QStringLiteral("Alpha"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Beta"), QStringLiteral("Beta"));
    f.node({}, QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    f.node(QStringLiteral("LevelEurope"), QStringLiteral("LevelEurope\\Germany"), QStringLiteral("Germany"));
    f.node(QStringLiteral("LevelEurope\\Germany"), QStringLiteral("SceneryEurope\\Germany\\Berlin"),
           QStringLiteral("Berlin"));
    f.node(QStringLiteral("LevelEurope"), QStringLiteral("SceneryEurope\\Paris"), QStringLiteral("Paris"));
}

// Every stored field as one text, so two sceneries compare in one step.
QString describe(const clsScenery &s)
{
    QStringList parts{s.Key,
                      s.Title,
                      s.Author,
                      s.Comment,
                      s.Exclude,
                      s.Group,
                      s.ID,
                      s.LocalPath,
                      s.RemotePath,
                      s.PreviousKey,
                      s.Version,
                      QString::number(s.Active),
                      QString::number(s.IsLocalPath),
                      QString::number(s.Required),
                      QString::number(s.FlySim),
                      QString::number(s.GroupID),
                      QString::number(s.Layer),
                      QString::number(s.SalesType),
                      QString::number(s.Texture_ID)};
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos)
        parts << s.Flatten(pos);
    return parts.join(QLatin1Char('|'));
}

QString field(const clsScenery &s, const QString &name)
{
    if (name == QLatin1String("FlySim"))
        return QString::number(s.FlySim);
    if (name == QLatin1String("GroupID"))
        return QString::number(s.GroupID);
    if (name == QLatin1String("Group"))
        return s.Group;
    if (name == QLatin1String("Layer"))
        return QString::number(s.Layer);
    if (name == QLatin1String("SalesType"))
        return QString::number(s.SalesType);
    if (name == QLatin1String("Texture_ID"))
        return QString::number(s.Texture_ID);
    if (name == QLatin1String("Active"))
        return QString::number(s.Active);
    if (name == QLatin1String("Required"))
        return QString::number(s.Required);
    if (name == QLatin1String("IsLocalPath"))
        return QString::number(s.IsLocalPath);
    if (name == QLatin1String("Comment"))
        return s.Comment;
    if (name == QLatin1String("Author"))
        return s.Author;
    if (name.startsWith(QLatin1String("Flatten")))
        return s.Flatten(qint16(name.mid(7).toShort()));
    qFatal("unknown field %s", qPrintable(name));
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *t : texts)
        result << QString::fromLatin1(t);
    return result;
}

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

}

class TestLibraryDb : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesFilesInTreeOrder();
    void saveEmptyLibrary();
    void saveKeepsBackup_data();
    void saveKeepsBackup();
    void failedSaveLeavesFilesWhole();
    void lineBreaksBecomeBlanks_data();
    void lineBreaksBecomeBlanks();
    void savedLibraryReadsBack();

    void readWithoutFiles();
    void readKeepsIsNewWhenSceneriesExist_data();
    void readKeepsIsNewWhenSceneriesExist();
    void readSceneryValue_data();
    void readSceneryValue();
    void readDuplicateSceneryKey();
    void readUnconvertibleValues();
    void readSceneryBlockCut();
    void readTruncatedSet();
    void readDuplicateSetName();
    void readUnconvertibleCacheSize();
    void readLevels_data();
    void readLevels();
    void readOldFormat_data();
    void readOldFormat();
    void readOldFormatCutByEndOfFile();
    void readLetsEventsRun();
};

void TestLibraryDb::saveWritesFilesInTreeOrder()
{
    LibraryFixture f;
    buildGoldenLibrary(f);
    f.m().saveDB(f.tree);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Lumivale.db5"))),
             testData(QStringLiteral("librarydb-golden"), QStringLiteral("Lumivale.db5")));
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Level.db"))),
             testData(QStringLiteral("librarydb-golden"), QStringLiteral("Level.db")));
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("CFGSet.db"))),
             testData(QStringLiteral("librarydb-golden"), QStringLiteral("CFGSet.db")));
}

void TestLibraryDb::saveEmptyLibrary()
{
    LibraryFixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addSet(QStringLiteral("(Current)"), 1, false, {QStringLiteral("X")});
    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.m().saveDB(f.tree);
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Lumivale.db5"))), crlf("//Lumivale 1.6\n"));
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Level.db"))), crlf("<Level>\nNew\nLevelNew\n</Level>\n"));
    QVERIFY(f.env.fs.fileExists(f.programFile(QStringLiteral("CFGSet.db"))));
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("CFGSet.db"))), QByteArray());
}

void TestLibraryDb::saveKeepsBackup_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("existedBefore");
    for (const char *file : {"Lumivale.db5", "Level.db", "CFGSet.db"}) {
        QTest::addRow("%s replaced", file) << QString::fromLatin1(file) << true;
        QTest::addRow("%s new", file) << QString::fromLatin1(file) << false;
    }
}

void TestLibraryDb::saveKeepsBackup()
{
    QFETCH(QString, file);
    QFETCH(bool, existedBefore);
    LibraryFixture f;
    buildGoldenLibrary(f);
    const QString path = f.programFile(file);
    const QByteArray before = "earlier content\r\n";
    f.env.writeFile(path + QStringLiteral(".backup"), "a backup from long ago\r\n");
    if (existedBefore)
        f.env.writeFile(path, before);
    else
        f.env.fs.deleteFile(path + QStringLiteral(".backup"));

    f.m().saveDB(f.tree);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(path), testData(QStringLiteral("librarydb-golden"), file));
    QCOMPARE(f.env.fs.fileExists(path + QStringLiteral(".backup")), existedBefore);
    if (existedBefore)
        QCOMPARE(f.env.readFile(path + QStringLiteral(".backup")), before);
}

void TestLibraryDb::failedSaveLeavesFilesWhole()
{
    LibraryFixture f;
    buildGoldenLibrary(f);
    // A node whose scenery is not in the library: the walk fails half-way.
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\Ghost"), QStringLiteral("Ghost"));
    const QByteArray db5 = crlf("//Lumivale 1.6\n<Scenery>\nKey=SceneryNew\\Old\n</Scenery>\n");
    const QByteArray level = crlf("<Level>\nNew\nLevelNew\n</Level>\n");
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")), db5);
    f.env.writeFile(f.programFile(QStringLiteral("Level.db")), level);

    f.env.ui.expectMessageStartingWith(QStringLiteral("SceneryManager.saveDB\nError: 9\n"), ErrorTitle);
    f.m().saveDB(f.tree);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Lumivale.db5"))), db5);
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Level.db"))), level);
    QCOMPARE(f.env.readFile(f.programFile(QStringLiteral("Lumivale.db5.backup"))), db5);
}

void TestLibraryDb::lineBreaksBecomeBlanks_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expectedLine");
    QTest::addColumn<int>("expectedLines");

    QTest::newRow("CR LF in a comment") << "Comment" << "one\r\ntwo" << "Lumivale.db5" << "Comment=one  two" << 32;
    QTest::newRow("LF in an author") << "Author" << "a\nb" << "Lumivale.db5" << "Author=a b" << 32;
    QTest::newRow("CR at the end of a flattening")
        << "Flatten4" << "rect\r" << "Lumivale.db5" << "Flatten.4=rect " << 32;
    QTest::newRow("LF in a level caption") << "Caption" << "Top\nLevel" << "Level.db" << "Top Level" << 4;
    QTest::newRow("CR LF in a set member") << "Member" << "M\r\nN" << "CFGSet.db" << "M  N" << 6;
}

void TestLibraryDb::lineBreaksBecomeBlanks()
{
    QFETCH(QString, where);
    QFETCH(QString, value);
    QFETCH(QString, file);
    QFETCH(QString, expectedLine);
    QFETCH(int, expectedLines);

    LibraryFixture f;
    f.addLevel(QStringLiteral("LevelNew"), where == QLatin1String("Caption") ? value : QStringLiteral("New"));
    auto s = f.addScenery(QStringLiteral("SceneryNew\\X"), QStringLiteral("X"));
    if (where == QLatin1String("Comment"))
        s->Comment = value;
    if (where == QLatin1String("Author"))
        s->Author = value;
    if (where == QLatin1String("Flatten4"))
        s->setFlatten(4, value);
    f.addSet(QStringLiteral("S"), 1, false, {where == QLatin1String("Member") ? value : QStringLiteral("X")});
    f.node({}, QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.node(QStringLiteral("LevelNew"), QStringLiteral("SceneryNew\\X"), QStringLiteral("X"));

    f.m().saveDB(f.tree);
    const QList<QByteArray> lines = crlfLines(f.env.readFile(f.programFile(file)));
    QCOMPARE(lines.size(), expectedLines);
    QVERIFY2(lines.contains(expectedLine.toLatin1()), qPrintable(expectedLine));

    // The files stay readable: the next load finds the same blocks.
    SceneryManager reloaded(f.env.context);
    bool isNew = false;
    reloaded.readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(reloaded.colScenery.count(), 1);
    QCOMPARE(reloaded.dicLevel.count(), 1);
    QCOMPARE(reloaded.dicCFGs.count(), 1);
    QCOMPARE(reloaded.dicCFGs.first()->colUsedSceneries.count(), 1);
}

void TestLibraryDb::savedLibraryReadsBack()
{
    LibraryFixture f;
    buildGoldenLibrary(f);
    f.m().saveDB(f.tree);

    SceneryManager loaded(f.env.context);
    bool isNew = false;
    loaded.readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(isNew, false);

    // Tree order, and only sceneries with a node.
    QCOMPARE(loaded.colScenery.keys(),
             (QStringList{QStringLiteral("SceneryNew\\Alpha"), QStringLiteral("SceneryNew\\Beta"),
                          QStringLiteral("SceneryEurope\\Germany\\Berlin"), QStringLiteral("SceneryEurope\\Paris")}));
    for (const SceneryPtr &s : loaded.colScenery) {
        clsScenery expected = *f.m().colScenery.item(s->Key);
        // Group is read as a number: an empty group comes back as "0".
        if (expected.Group.isEmpty())
            expected.Group = QStringLiteral("0");
        QCOMPARE(describe(*s), describe(expected));
    }

    QCOMPARE(loaded.dicLevel.keys(), (QStringList{QStringLiteral("LevelNew"), QStringLiteral("LevelEurope"),
                                                  QStringLiteral("LevelEurope\\Germany")}));
    QCOMPARE(loaded.dicLevel.item(QStringLiteral("LevelEurope\\Germany"))->sLevelCaption, QStringLiteral("Germany"));

    QCOMPARE(loaded.dicCFGs.keys(),
             (QStringList{QStringLiteral("Europe"), QStringLiteral("Empty"), QStringLiteral("Old")}));
    const clsCFG &europe = *loaded.dicCFGs.item(QStringLiteral("Europe"));
    QCOMPARE(europe.Cache_Size, 1);
    QCOMPARE(europe.Clean_on_Exit, false);  // written "True", never read back
    QCOMPARE(europe.colUsedSceneries.keys(), (QStringList{QStringLiteral("Berlin"), QStringLiteral("Paris")}));
    QCOMPARE(loaded.dicCFGs.item(QStringLiteral("Empty"))->Cache_Size, 2);
    QVERIFY(loaded.dicCFGs.item(QStringLiteral("Empty"))->colUsedSceneries.isEmpty());
}

void TestLibraryDb::readWithoutFiles()
{
    LibraryFixture f;
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QVERIFY(isNew);
    QVERIFY(f.m().colScenery.isEmpty());
    QVERIFY(f.m().dicCFGs.isEmpty());
    QCOMPARE(f.m().dicLevel.keys(), QStringList{QStringLiteral("LevelNew")});
    QCOMPARE(f.m().dicLevel.first()->sLevelCaption, QStringLiteral("New"));
}

void TestLibraryDb::readKeepsIsNewWhenSceneriesExist_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("isNewBefore");
    QTest::newRow("db5, false stays") << "Lumivale.db5" << false;
    QTest::newRow("db5, true stays") << "Lumivale.db5" << true;
    QTest::newRow("older file, false stays") << "Lumivale.db" << false;
}

void TestLibraryDb::readKeepsIsNewWhenSceneriesExist()
{
    QFETCH(QString, file);
    QFETCH(bool, isNewBefore);
    LibraryFixture f;
    f.env.writeFile(f.programFile(file), QByteArray());
    bool isNew = isNewBefore;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(isNew, isNewBefore);
}

void TestLibraryDb::readSceneryValue_data()
{
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    // Files without the header were written by version 1.5, which stored a simulator's position.
    QTest::newRow("FlySim 3 without header") << false << "FlySim=3" << "FlySim" << "4";
    QTest::newRow("FlySim 3 with header") << true << "FlySim=3" << "FlySim" << "3";
    QTest::newRow("FlySim 1 without header") << false << "FlySim=1" << "FlySim" << "1";
    QTest::newRow("FlySim 6 without header") << false << "FlySim=6" << "FlySim" << "32";
    QTest::newRow("FlySim 0 without header") << false << "FlySim=0" << "FlySim" << "0";
    QTest::newRow("FlySim negative without header") << false << "FlySim=-2" << "FlySim" << "0";
    QTest::newRow("FlySim 40 with header") << true << "FlySim=40" << "FlySim" << "40";
    QTest::newRow("GroupID") << true << "GroupID=7" << "GroupID" << "7";
    QTest::newRow("groupid lower case") << true << "groupid=8" << "GroupID" << "8";
    QTest::newRow("GroupID with blanks") << true << "GROUPID= -2 " << "GroupID" << "-2";
    QTest::newRow("Group with zeros") << true << "Group=007" << "Group" << "7";
    QTest::newRow("Group not numeric") << true << "Group=abc" << "Group" << "0";
    QTest::newRow("Group with fraction") << true << "Group=1.5" << "Group" << "1.5";
    QTest::newRow("Layer half to even, down") << true << "Layer=12.5" << "Layer" << "12";
    QTest::newRow("Layer half to even, up") << true << "Layer=13.5" << "Layer" << "14";
    QTest::newRow("Layer leading number") << true << "Layer=3abc" << "Layer" << "3";
    QTest::newRow("Layer not numeric") << true << "Layer=abc" << "Layer" << "0";
    QTest::newRow("layer negative") << true << "layer=-7" << "Layer" << "-7";
    QTest::newRow("Texture_ID") << true << "TEXTURE_ID=1" << "Texture_ID" << "1";
    QTest::newRow("SalesType") << true << "SalesType=2" << "SalesType" << "2";
    QTest::newRow("Active True") << true << "Active=True" << "Active" << "1";
    QTest::newRow("Active FALSE") << true << "active=FALSE" << "Active" << "0";
    QTest::newRow("Active number") << true << "Active=1" << "Active" << "1";
    QTest::newRow("Active zero") << true << "Active=0" << "Active" << "0";
    QTest::newRow("Required -1") << true << "Required=-1" << "Required" << "1";
    QTest::newRow("IsLocalPath true") << true << "IsLocalPath=true" << "IsLocalPath" << "1";
    QTest::newRow("Flatten position") << true << "Flatten.3=abc" << "Flatten3" << "abc";
    QTest::newRow("value holding =") << true << "flatten.0=x=y" << "Flatten0" << "x=y";
    QTest::newRow("text kept as it stands") << true << "Comment= spaced " << "Comment" << " spaced ";
    QTest::newRow("unknown key ignored") << true << "Comments=5" << "Comment" << "";
    QTest::newRow("line without =") << true << "Author" << "Author" << "";
}

void TestLibraryDb::readSceneryValue()
{
    QFETCH(bool, header);
    QFETCH(QString, line);
    QFETCH(QString, field);
    QFETCH(QString, expected);

    LibraryFixture f;
    QByteArray content = header ? "//Lumivale 1.6\r\n" : "";
    content += "<Scenery>\r\nKey=SceneryNew\\X\r\nTitle=X\r\n" + line.toLatin1() + "\r\n</Scenery>\r\n";
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")), content);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 1);
    QCOMPARE(::field(*f.m().colScenery.item(QStringLiteral("SceneryNew\\X")), field), expected);
}

void TestLibraryDb::readDuplicateSceneryKey()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")),
                    testData(QStringLiteral("db5-duplicate-key"), QStringLiteral("Lumivale.db5")));
    f.env.ui.expectMessageStartingWith(readError(457), ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.keys(), (QStringList{QStringLiteral("SceneryNew\\One"), QStringLiteral("SceneryNew\\Two")}));
    QCOMPARE(f.m().colScenery.first()->Author, QStringLiteral("first"));
}

void TestLibraryDb::readUnconvertibleValues()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")),
                    testData(QStringLiteral("db5-unconvertible"), QStringLiteral("Lumivale.db5")));
    f.env.ui.expectMessage(readError(13) + QStringLiteral("Type mismatch"), ErrorTitle, UiPort::Answer::Ok,
                           UiPort::Icon::Critical);
    f.env.ui.expectMessage(readError(13) + QStringLiteral("Type mismatch"), ErrorTitle);
    f.env.ui.expectMessage(readError(6) + QStringLiteral("Overflow"), ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 2);
    const clsScenery &one = *f.m().colScenery.first();
    QCOMPARE(one.GroupID, qint16(5));
    QCOMPARE(one.Active, true);
    QCOMPARE(one.Layer, qint16(4));
}

void TestLibraryDb::readSceneryBlockCut()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")),
                    testData(QStringLiteral("db5-block-cut"), QStringLiteral("Lumivale.db5")));
    f.env.ui.expectMessage(readError(LmError::UserBase + LibraryDb::SceneryBlockCut)
                               + QStringLiteral("Lumivale.db5: the block of the scenery 'Two' ends before its "
                                                "</Scenery> line."),
                           ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.count(), 2);
    QCOMPARE(f.m().colScenery.item(QStringLiteral("SceneryNew\\Two"))->Author, QStringLiteral("kept"));
}

void TestLibraryDb::readTruncatedSet()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("CFGSet.db")),
                    testData(QStringLiteral("cfgset-truncated"), QStringLiteral("CFGSet.db")));
    f.env.ui.expectMessage(readError(LmError::UserBase + LibraryDb::SetBlockCut)
                               + QStringLiteral("CFGSet.db ends inside the set 'Cut Short' before its </Set> line; "
                                                "the set keeps the members read so far."),
                           ErrorTitle, UiPort::Answer::Ok, UiPort::Icon::Critical);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().dicCFGs.keys(), (QStringList{QStringLiteral("Complete"), QStringLiteral("Cut Short")}));
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("Complete"))->colUsedSceneries.keys(),
             QStringList{QStringLiteral("Alpha")});
    const clsCFG &cut = *f.m().dicCFGs.item(QStringLiteral("Cut Short"));
    QCOMPARE(cut.Cache_Size, 2);
    QCOMPARE(cut.colUsedSceneries.keys(), (QStringList{QStringLiteral("Beta"), QStringLiteral("Gamma")}));
}

void TestLibraryDb::readDuplicateSetName()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("CFGSet.db")),
                    testData(QStringLiteral("cfgset-duplicate"), QStringLiteral("CFGSet.db")));
    f.env.ui.expectMessageStartingWith(readError(457), ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().dicCFGs.keys(), (QStringList{QStringLiteral("Twice"), QStringLiteral("After")}));
    const clsCFG &twice = *f.m().dicCFGs.item(QStringLiteral("Twice"));
    QCOMPARE(twice.Cache_Size, 1);
    QCOMPARE(twice.colUsedSceneries.keys(), QStringList{QStringLiteral("Alpha")});
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("After"))->colUsedSceneries.keys(), QStringList{QStringLiteral("Gamma")});
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("After"))->Cache_Size, 2);
}

void TestLibraryDb::readUnconvertibleCacheSize()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("CFGSet.db")),
                    testData(QStringLiteral("cfgset-unconvertible"), QStringLiteral("CFGSet.db")));
    f.env.ui.expectMessage(readError(13) + QStringLiteral("Type mismatch"), ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    const clsCFG &odd = *f.m().dicCFGs.item(QStringLiteral("Odd"));
    QCOMPARE(odd.Cache_Size, 0);
    QCOMPARE(odd.colUsedSceneries.keys(), QStringList{QStringLiteral("Alpha")});
    QCOMPARE(f.m().dicCFGs.item(QStringLiteral("Fine"))->Cache_Size, 2);
}

void TestLibraryDb::readLevels_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("message");

    QTest::newRow("file order kept") << crlf("<Level>\nB\nLevelB\n</Level>\n<Level>\nA\nLevelA\n</Level>\n")
                                     << strings({"LevelB", "LevelA"}) << strings({"B", "A"}) << QString();
    QTest::newRow("empty file: no levels") << QByteArray() << QStringList() << QStringList() << QString();
    QTest::newRow("cut before the end line")
        << crlf("<Level>\nB\nLevelB\n</Level>\n<Level>\nA\nLevelA\n") << strings({"LevelB", "LevelA"})
        << strings({"B", "A"}) << "Level.db ends inside the block of the level 'A' before its end line.";
    QTest::newRow("cut before the key") << crlf("<Level>\nB\nLevelB\n</Level>\n<Level>\nA\n")
                                        << strings({"LevelB"}) << strings({"B"})
                                        << "Level.db ends inside the block of the level 'A' before its key.";
    QTest::newRow("duplicate key") << crlf("<Level>\nB\nLevelB\n</Level>\n<Level>\nC\nLevelB\n</Level>\n")
                                   << strings({"LevelB"}) << strings({"B"}) << "457";
}

void TestLibraryDb::readLevels()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, captions);
    QFETCH(QString, message);

    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Level.db")), content);
    if (message == QLatin1String("457"))
        f.env.ui.expectMessageStartingWith(readError(457), ErrorTitle);
    else if (!message.isEmpty())
        f.env.ui.expectMessage(readError(LmError::UserBase + LibraryDb::LevelBlockCut) + message, ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().dicLevel.keys(), keys);
    QStringList readCaptions;
    for (const LevelPtr &l : f.m().dicLevel)
        readCaptions << l->sLevelCaption;
    QCOMPARE(readCaptions, captions);
}

void TestLibraryDb::readOldFormat_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("isLocalPath");
    QTest::addColumn<int>("salesType");
    QTest::addColumn<int>("flySim");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("previousKey");
    QTest::addColumn<bool>("required");

    const QString key = QStringLiteral("SceneryEurope\\First");
    const QString prev = QStringLiteral("SceneryEurope\\Zero");
    // Without its IsLocalPath line the first block's flag follows its paths: remote only, so false.
    QTest::newRow("full blocks") << "olddb-full" << key << true << 3 << 5 << "old comment" << prev << true;
    QTest::newRow("ends before Key") << "olddb-cut-before-key" << "SceneryNew\\First" << false << 0 << 0 << ""
                                     << "" << false;
    QTest::newRow("ends before IsLocalPath") << "olddb-cut-before-islocalpath" << key << false << 0 << 0 << ""
                                             << "" << false;
    QTest::newRow("ends before SalesType") << "olddb-cut-before-salestype" << key << true << 0 << 0 << "" << ""
                                           << false;
    QTest::newRow("ends before FlySim") << "olddb-cut-before-flysim" << key << true << 3 << 0 << "" << "" << false;
    QTest::newRow("ends before Comment") << "olddb-cut-before-comment" << key << true << 3 << 5 << "" << ""
                                         << false;
    QTest::newRow("ends before PreviousKey")
        << "olddb-cut-before-previouskey" << key << true << 3 << 5 << "old comment" << "" << false;
    QTest::newRow("ends before Required")
        << "olddb-cut-before-required" << key << true << 3 << 5 << "old comment" << prev << false;
}

void TestLibraryDb::readOldFormat()
{
    QFETCH(QString, folder);
    QFETCH(QString, key);
    QFETCH(bool, isLocalPath);
    QFETCH(int, salesType);
    QFETCH(int, flySim);
    QFETCH(QString, comment);
    QFETCH(QString, previousKey);
    QFETCH(bool, required);

    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db")), testData(folder, QStringLiteral("Lumivale.db")));
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QVERIFY(!isNew);
    QCOMPARE(f.m().colScenery.count(), 2);

    const clsScenery &first = *f.m().colScenery.first();
    QCOMPARE(first.Key, key);
    QCOMPARE(first.Title, QStringLiteral("First"));
    QCOMPARE(first.Active, false);  // an empty line
    QCOMPARE(first.Exclude, QStringLiteral("EXCL"));
    QCOMPARE(first.Flatten(0), QStringLiteral("F0"));
    QCOMPARE(first.Flatten(1), QString());
    QCOMPARE(first.Flatten(9), QStringLiteral("F9"));
    QCOMPARE(first.Group, QStringLiteral("Grp"));
    QCOMPARE(first.GroupID, qint16(4));
    QCOMPARE(first.ID, QStringLiteral("ID1"));
    QCOMPARE(first.Layer, qint16(3));
    QCOMPARE(first.RemotePath, QStringLiteral("E:\\First"));
    QCOMPARE(first.Texture_ID, qint16(1));
    QCOMPARE(first.Author, QStringLiteral("Auth"));
    QCOMPARE(first.Version, QStringLiteral("V1"));
    QCOMPARE(first.IsLocalPath, isLocalPath);
    QCOMPARE(first.SalesType, qint16(salesType));
    QCOMPARE(first.FlySim, qint16(flySim));
    QCOMPARE(first.Comment, comment);
    QCOMPARE(first.PreviousKey, previousKey);
    QCOMPARE(first.Required, required);

    // The block after a short one is read from its own first line.
    const clsScenery &second = *f.m().colScenery.item(QStringLiteral("SceneryNew\\Second"));
    QCOMPARE(second.Title, QStringLiteral("Second"));
    QCOMPARE(second.Active, true);
    QCOMPARE(second.LocalPath, QStringLiteral("Addon Scenery\\Second"));
    QCOMPARE(second.IsLocalPath, false);
    QCOMPARE(second.SalesType, qint16(0));  // "abc" is not taken
    QCOMPARE(second.FlySim, qint16(8));
    QCOMPARE(second.Comment, QString());
    QCOMPARE(second.PreviousKey, QStringLiteral("SceneryNew\\First"));
    QCOMPARE(second.Required, true);
    QCOMPARE(second.Flatten(9), QStringLiteral("F9"));
}

void TestLibraryDb::readOldFormatCutByEndOfFile()
{
    LibraryFixture f;
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db")),
                    testData(QStringLiteral("olddb-cut-by-eof"), QStringLiteral("Lumivale.db")));
    f.env.ui.expectMessage(readError(LmError::UserBase + LibraryDb::OldSceneryBlockCut)
                               + QStringLiteral("Lumivale.db ends inside a scenery block; the last 10 line(s) were "
                                                "not loaded."),
                           ErrorTitle);
    bool isNew = false;
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(f.m().colScenery.keys(), QStringList{QStringLiteral("SceneryEurope\\First")});
}

void TestLibraryDb::readLetsEventsRun()
{
    LibraryFixture f;
    const QByteArray db5 = testData(QStringLiteral("librarydb-golden"), QStringLiteral("Lumivale.db5"));
    f.env.writeFile(f.programFile(QStringLiteral("Lumivale.db5")), db5);
    bool isNew = false;
    const int before = f.env.ui.processEventsCalls();
    f.m().readDB(isNew);
    QVERIFY(f.env.ui.processEventsCalls() - before >= crlfLines(db5).size());
    QCOMPARE(f.m().colScenery.count(), 4);
}

QTEST_GUILESS_MAIN(TestLibraryDb)
#include "tst_librarydb.moc"
