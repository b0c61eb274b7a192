#include "../scenerycfg/libraryfixture.h"

#include "library/librarydb.h"

#include <QTest>

namespace {

const QStringList DbFiles{u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s};

struct Db : LibraryFixture
{
    bool isNew = false;

    void write(const QString &name, const QByteArray &bytes) { env.writeFile(programFile(name), bytes); }
    QByteArray file(const QString &name) const { return env.readFile(programFile(name)); }
    void read()
    {
        m().readDB(isNew);
        QVERIFY(env.ui.allShown());
    }
    // Error messages of the reading, as "number\ntext start".
    void expectErrors(const QStringList &errors)
    {
        for (const QString &error : errors)
            env.ui.expectMessageStartingWith(u"SceneryManager.readDB\nError: "_s + error, u"Lumivale"_s);
    }
    // "key|author|group id|active|layer" per scenery.
    QString sceneries() const
    {
        QStringList result;
        for (const SceneryPtr &s : manager->colScenery)
            result << describe(*s, {u"Key"_s, u"Author"_s, u"GroupID"_s, u"Active"_s, u"Layer"_s});
        return result.join(u';');
    }
    // "name:simulator:member,member" per set.
    QString sets() const
    {
        QStringList result;
        for (const QString &name : manager->dicCFGs.keys()) {
            const clsCFG &set = *manager->dicCFGs.item(name);
            result << u"%1:%2:%3"_s.arg(name).arg(set.Cache_Size).arg(set.colUsedSceneries.keys().join(u','));
        }
        return result.join(u';');
    }
};

QString userError(qint32 offset)
{
    return QString::number(LmError::UserBase + offset) + u'\n';
}

// The library written to tests/data/librarydb-golden: levels nested two deep, sceneries whose
// collection order differs from the tree order, one scenery without a node, and sets including
// "(Current)".
void buildGoldenLibrary(LibraryFixture &f)
{
    f.addLevel(u"LevelNew"_s, u"New"_s);
    f.addLevel(u"LevelEurope"_s, u"Europe"_s);
    f.addLevel(u"LevelEurope\\Germany"_s, u"Germany"_s);

    auto paris = f.addScenery(u"SceneryEurope\\Paris"_s, u"Paris"_s);
    paris->PreviousKey = u"LevelEurope\\Germany"_s;
    paris->Version = u"2003 "_s;
    paris->Texture_ID = 2;
    paris->IsLocalPath = true;
    paris->LocalPath = u"Addon Scenery\\Paris"_s;

    auto berlin = f.addScenery(u"SceneryEurope\\Germany\\Berlin"_s, u"Berlin"_s);
    berlin->Active = berlin->IsLocalPath = true;
    berlin->Comment = u"Caf\u00e9"_s;
    berlin->FlySim = 63;
    berlin->LocalPath = u"D:\\Sceneries\\Berlin\\Scenery"_s;

    auto beta = f.addScenery(u"SceneryNew\\Beta"_s, u"Beta"_s);
    beta->PreviousKey = u"SceneryNew\\Alpha"_s;
    beta->RemotePath = u"E:\\CD\\Beta"_s;

    auto alpha = f.addScenery(u"SceneryNew\\Alpha"_s, u"Alpha"_s);
    alpha->Active = alpha->IsLocalPath = alpha->Required = true;
    alpha->Author = u"J. Smith"_s;
    alpha->Comment = u"Good one"_s;
    alpha->Exclude = u"N48 E002"_s;
    alpha->setFlatten(0, u"F0 text"_s);
    alpha->setFlatten(9, u"F9 text"_s);
    alpha->FlySim = 12;
    alpha->Group = u"5"_s;
    alpha->GroupID = -3;
    alpha->ID = u"ALP1"_s;
    alpha->Layer = 7;
    alpha->LocalPath = u"Addon Scenery\\Alpha"_s;
    alpha->SalesType = 2;
    alpha->Texture_ID = 1;
    alpha->Version = u"1.2"_s;

    f.addScenery(u"SceneryNew\\Hidden"_s, u"Hidden"_s);

    f.addSet(CurrentSet, 1, true, {u"Alpha"_s});
    f.addSet(u"Europe"_s, 1, true, {u"Berlin"_s, u"Paris"_s});
    f.addSet(u"Empty"_s, 2, false, {});
    f.addSet(u"Old"_s, 0, false, {u"Alpha"_s});

    f.node({}, u"LevelNew"_s, u"New"_s);
    f.node(u"LevelNew"_s, u"SceneryNew\\Alpha"_s, u"Alpha"_s);
    f.node(u"LevelNew"_s, u"SceneryNew\\Beta"_s, u"Beta"_s);
    f.node({}, u"LevelEurope"_s, u"Europe"_s);
    f.node(u"LevelEurope"_s, u"LevelEurope\\Germany"_s, u"Germany"_s);
    f.node(u"LevelEurope\\Germany"_s, u"SceneryEurope\\Germany\\Berlin"_s, u"Berlin"_s);
    f.node(u"LevelEurope"_s, u"SceneryEurope\\Paris"_s, u"Paris"_s);
}

}

class TestLibraryDb : public QObject
{
    Q_OBJECT

private slots:
    void saveInTreeOrderKeepingBackup_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("existedBefore");
        for (const QString &file : DbFiles) {
            QTest::addRow("%s replaced", qPrintable(file)) << file << true;
            QTest::addRow("%s new", qPrintable(file)) << file << false;
        }
    }

    void saveInTreeOrderKeepingBackup()
    {
        QFETCH(QString, file);
        QFETCH(bool, existedBefore);
        Db f;
        buildGoldenLibrary(f);
        const QString backup = file + u".backup"_s;
        f.write(backup, "a backup from long ago\r\n");
        if (existedBefore)
            f.write(file, "earlier content\r\n");
        else
            f.env.fs.deleteFile(f.programFile(backup));
        f.m().saveDB(f.tree);
        QVERIFY(f.env.ui.allShown());
        for (const QString &name : DbFiles)
            QCOMPARE(f.file(name), testData(u"librarydb-golden"_s, name));
        QCOMPARE(f.env.fs.fileExists(f.programFile(backup)), existedBefore);
        if (existedBefore)
            QCOMPARE(f.file(backup), QByteArray("earlier content\r\n"));
    }

    void saveEmptyLibrary()
    {
        Db f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        f.addSet(CurrentSet, 1, false, {u"X"_s});
        f.node({}, u"LevelNew"_s, u"New"_s);
        f.m().saveDB(f.tree);
        QCOMPARE(f.file(u"Lumivale.db5"_s), crlf(u"//Lumivale 1.6\n"_s));
        QCOMPARE(f.file(u"Level.db"_s), crlf(u"<Level>\nNew\nLevelNew\n</Level>\n"_s));
        QVERIFY(f.env.fs.fileExists(f.programFile(u"CFGSet.db"_s)));
        QCOMPARE(f.file(u"CFGSet.db"_s), QByteArray());
    }

    void failedSaveLeavesFilesWhole()
    {
        Db f;
        buildGoldenLibrary(f);
        // A node whose scenery is not in the library: the walk fails half-way.
        f.node(u"LevelNew"_s, u"SceneryNew\\Ghost"_s, u"Ghost"_s);
        const QByteArray db5 = crlf(u"//Lumivale 1.6\n<Scenery>\nKey=SceneryNew\\Old\n</Scenery>\n"_s);
        const QByteArray level = crlf(u"<Level>\nNew\nLevelNew\n</Level>\n"_s);
        f.write(u"Lumivale.db5"_s, db5);
        f.write(u"Level.db"_s, level);
        f.env.ui.expectMessageStartingWith(u"SceneryManager.saveDB\nError: 9\n"_s, u"Lumivale"_s);
        f.m().saveDB(f.tree);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.file(u"Lumivale.db5"_s), db5);
        QCOMPARE(f.file(u"Level.db"_s), level);
        QCOMPARE(f.file(u"Lumivale.db5.backup"_s), db5);
    }

    void lineBreaksBecomeBlanks_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expectedLine");
        QTest::addColumn<int>("expectedLines");
        QTest::newRow("CR LF in a comment") << "Comment" << "one\r\ntwo" << "Lumivale.db5" << "Comment=one  two" << 32;
        QTest::newRow("LF in an author") << "Author" << "a\nb" << "Lumivale.db5" << "Author=a b" << 32;
        QTest::newRow("CR at the end of a flattening") << "Flatten" << "rect\r" << "Lumivale.db5" << "Flatten.4=rect " << 32;
        QTest::newRow("LF in a level caption") << "Caption" << "Top\nLevel" << "Level.db" << "Top Level" << 4;
        QTest::newRow("CR LF in a set member") << "Member" << "M\r\nN" << "CFGSet.db" << "M  N" << 6;
    }

    void lineBreaksBecomeBlanks()
    {
        QFETCH(QString, where);
        QFETCH(QString, value);
        QFETCH(QString, file);
        QFETCH(QString, expectedLine);
        QFETCH(int, expectedLines);
        Db f;
        auto pick = [&](const QString &here, const QString &otherwise) { return where == here ? value : otherwise; };
        f.addLevel(u"LevelNew"_s, pick(u"Caption"_s, u"New"_s));
        auto s = f.addScenery(u"SceneryNew\\X"_s, u"X"_s);
        s->Comment = pick(u"Comment"_s, {});
        s->Author = pick(u"Author"_s, {});
        s->setFlatten(4, pick(u"Flatten"_s, {}));
        f.addSet(u"S"_s, 1, false, {pick(u"Member"_s, u"X"_s)});
        f.node({}, u"LevelNew"_s, u"New"_s);
        f.node(u"LevelNew"_s, u"SceneryNew\\X"_s, u"X"_s);
        f.m().saveDB(f.tree);
        const QList<QByteArray> lines = crlfLines(f.file(file));
        QCOMPARE(lines.size(), expectedLines);
        QVERIFY2(lines.contains(expectedLine.toLatin1()), qPrintable(expectedLine));

        // The files stay readable: the next load finds the same blocks.
        f.manager = std::make_unique<SceneryManager>(f.env.context);
        f.read();
        QCOMPARE(f.m().colScenery.count(), 1);
        QCOMPARE(f.m().dicLevel.count(), 1);
        QCOMPARE(f.m().dicCFGs.count(), 1);
        QCOMPARE(f.m().dicCFGs.first()->colUsedSceneries.count(), 1);
    }

    void savedLibraryReadsBack()
    {
        Db f;
        buildGoldenLibrary(f);
        f.m().saveDB(f.tree);
        const std::unique_ptr<SceneryManager> saved = std::exchange(f.manager, std::make_unique<SceneryManager>(f.env.context));
        f.read();
        QCOMPARE(f.isNew, false);
        // Tree order, and only sceneries with a node.
        QCOMPARE(f.m().colScenery.keys(), (QStringList{u"SceneryNew\\Alpha"_s, u"SceneryNew\\Beta"_s,
                                                            u"SceneryEurope\\Germany\\Berlin"_s, u"SceneryEurope\\Paris"_s}));
        for (const SceneryPtr &s : f.m().colScenery) {
            clsScenery expected = *saved->colScenery.item(s->Key);
            // Group is read as a number: an empty group comes back as "0".
            if (expected.Group.isEmpty())
                expected.Group = u"0"_s;
            QCOMPARE(describe(*s), describe(expected));
        }
        QCOMPARE(f.m().dicLevel.keys(), (QStringList{u"LevelNew"_s, u"LevelEurope"_s, u"LevelEurope\\Germany"_s}));
        QCOMPARE(f.m().dicLevel.item(u"LevelEurope\\Germany"_s)->sLevelCaption, u"Germany"_s);
        // "(Current)" is not kept; Clean_on_Exit is written "True" but never read back.
        QCOMPARE(f.sets(), u"Europe:1:Berlin,Paris;Empty:2:;Old:0:Alpha"_s);
        QCOMPARE(f.set(u"Europe"_s).Clean_on_Exit, false);
    }

    void readIsNew_data()
    {
        QTest::addColumn<QString>("file");  // the one library file there is, written empty
        QTest::addColumn<bool>("isNewBefore");
        QTest::addColumn<bool>("isNewAfter");
        QTest::newRow("no files: new") << "" << false << true;
        QTest::newRow("db5, false stays") << "Lumivale.db5" << false << false;
        QTest::newRow("db5, true stays") << "Lumivale.db5" << true << true;
        QTest::newRow("older file, false stays") << "Lumivale.db" << false << false;
    }

    void readIsNew()
    {
        QFETCH(QString, file);
        QFETCH(bool, isNewBefore);
        QFETCH(bool, isNewAfter);
        Db f;
        if (!file.isEmpty())
            f.write(file, QByteArray());
        f.isNew = isNewBefore;
        f.read();
        QCOMPARE(f.isNew, isNewAfter);
        QVERIFY(f.m().colScenery.isEmpty());
        QVERIFY(f.m().dicCFGs.isEmpty());
        // Without a Level.db the library starts with the level "New".
        QCOMPARE(f.m().dicLevel.keys(), QStringList{u"LevelNew"_s});
        QCOMPARE(f.m().dicLevel.first()->sLevelCaption, u"New"_s);
    }

    void readSceneryValue_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        // Files without the header were written by version 1.5, which stored a simulator's position.
        QTest::newRow("FlySim 3 without header") << false << "FlySim=3" << "FlySim" << "4";
        QTest::newRow("FlySim 3 with header") << true << "FlySim=3" << "FlySim" << "3";
        QTest::newRow("FlySim 6 without header") << false << "FlySim=6" << "FlySim" << "32";
        QTest::newRow("FlySim 0 without header") << false << "FlySim=0" << "FlySim" << "0";
        QTest::newRow("FlySim negative without header") << false << "FlySim=-2" << "FlySim" << "0";
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
        QTest::newRow("Active FALSE") << true << "Active=True\r\nactive=FALSE" << "Active" << "0";
        QTest::newRow("Active zero") << true << "Active=1\r\nActive=0" << "Active" << "0";
        QTest::newRow("Required -1") << true << "Required=-1" << "Required" << "1";
        QTest::newRow("IsLocalPath true") << true << "IsLocalPath=true" << "IsLocalPath" << "1";
        QTest::newRow("Flatten position") << true << "Flatten.3=abc" << "Flatten3" << "abc";
        QTest::newRow("value holding =") << true << "flatten.0=x=y" << "Flatten0" << "x=y";
        QTest::newRow("text kept as it stands") << true << "Comment= spaced " << "Comment" << " spaced ";
        QTest::newRow("unknown key ignored") << true << "Comments=5" << "Comment" << "";
        QTest::newRow("line without =") << true << "Author" << "Author" << "";
    }

    void readSceneryValue()
    {
        QFETCH(bool, header);
        QFETCH(QString, line);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        Db f;
        f.write(u"Lumivale.db5"_s, QByteArray(header ? "//Lumivale 1.6\r\n" : "")
                                       + "<Scenery>\r\nKey=SceneryNew\\X\r\nTitle=X\r\n" + line.toLatin1() + "\r\n</Scenery>\r\n");
        f.read();
        QCOMPARE(f.m().colScenery.count(), 1);
        QCOMPARE(::field(*f.m().colScenery.first(), field), expected);
    }

    void brokenFiles_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("sceneries");
        QTest::addColumn<QString>("sets");
        QTest::newRow("db5: duplicate key") << "db5-duplicate-key" << "Lumivale.db5" << QStringList{u"457\n"_s}
                                            << "SceneryNew\\One|first|0|0|0;SceneryNew\\Two||0|0|0" << "";
        QTest::newRow("db5: unconvertible values")
            << "db5-unconvertible" << "Lumivale.db5"
            << QStringList{u"13\nType mismatch"_s, u"13\nType mismatch"_s, u"6\nOverflow"_s}
            << "SceneryNew\\One||5|1|4;SceneryNew\\Two||0|0|0" << "";
        QTest::newRow("db5: block cut")
            << "db5-block-cut" << "Lumivale.db5"
            << QStringList{userError(LibraryDb::SceneryBlockCut)
                           + u"Lumivale.db5: the block of the scenery 'Two' ends before its </Scenery> line."_s}
            << "SceneryNew\\One||0|0|0;SceneryNew\\Two|kept|0|0|0" << "";
        QTest::newRow("older file cut by its end")
            << "olddb-cut-by-eof" << "Lumivale.db"
            << QStringList{userError(LibraryDb::OldSceneryBlockCut)
                           + u"Lumivale.db ends inside a scenery block; the last 10 line(s) were not loaded."_s}
            << "SceneryEurope\\First|Auth|4|0|3" << "";
        QTest::newRow("set cut") << "cfgset-truncated" << "CFGSet.db"
                                 << QStringList{userError(LibraryDb::SetBlockCut)
                                                + u"CFGSet.db ends inside the set 'Cut Short' before its </Set> line; "
                                                  u"the set keeps the members read so far."_s}
                                 << "" << "Complete:1:Alpha;Cut Short:2:Beta,Gamma";
        QTest::newRow("set named twice") << "cfgset-duplicate" << "CFGSet.db" << QStringList{u"457\n"_s} << ""
                                         << "Twice:1:Alpha;After:2:Gamma";
        QTest::newRow("set with unconvertible simulator") << "cfgset-unconvertible" << "CFGSet.db"
                                                          << QStringList{u"13\nType mismatch"_s} << "" << "Odd:0:Alpha;Fine:2:";
    }

    void brokenFiles()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        QFETCH(QStringList, errors);
        QFETCH(QString, sceneries);
        QFETCH(QString, sets);
        Db f;
        f.write(file, testData(folder, file));
        f.expectErrors(errors);
        f.read();
        QCOMPARE(f.sceneries(), sceneries);
        QCOMPARE(f.sets(), sets);
    }

    void readLevels_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("levels");  // key:caption
        QTest::addColumn<QString>("error");
        QTest::newRow("file order kept") << "<Level>\nB\nLevelB\n</Level>\n<Level>\nA\nLevelA\n</Level>\n"
                                         << "LevelB:B;LevelA:A" << "";
        QTest::newRow("empty file: no levels") << "" << "" << "";
        QTest::newRow("cut before the end line")
            << "<Level>\nB\nLevelB\n</Level>\n<Level>\nA\nLevelA\n" << "LevelB:B;LevelA:A"
            << userError(LibraryDb::LevelBlockCut) + u"Level.db ends inside the block of the level 'A' before its end line."_s;
        QTest::newRow("cut before the key")
            << "<Level>\nB\nLevelB\n</Level>\n<Level>\nA\n" << "LevelB:B"
            << userError(LibraryDb::LevelBlockCut) + u"Level.db ends inside the block of the level 'A' before its key."_s;
        QTest::newRow("duplicate key") << "<Level>\nB\nLevelB\n</Level>\n<Level>\nC\nLevelB\n</Level>\n" << "LevelB:B"
                                       << "457\n";
    }

    void readLevels()
    {
        QFETCH(QString, content);
        QFETCH(QString, levels);
        QFETCH(QString, error);
        Db f;
        f.write(u"Level.db"_s, crlf(content));
        if (!error.isEmpty())
            f.expectErrors({error});
        f.read();
        QStringList read;
        for (const LevelPtr &l : f.m().dicLevel)
            read << l->sLevelKey + u':' + l->sLevelCaption;
        QCOMPARE(read.join(u';'), levels);
    }

    void readOldFormat_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("first");  // Key|IsLocalPath|SalesType|FlySim|Comment|PreviousKey|Required
        // Without its IsLocalPath line the first block's flag follows its paths: remote only, so false.
        QTest::newRow("full blocks") << "olddb-full" << "SceneryEurope\\First|1|3|5|old comment|SceneryEurope\\Zero|1";
        QTest::newRow("ends before Key") << "olddb-cut-before-key" << "SceneryNew\\First|0|0|0|||0";
        QTest::newRow("ends before IsLocalPath") << "olddb-cut-before-islocalpath" << "SceneryEurope\\First|0|0|0|||0";
        QTest::newRow("ends before SalesType") << "olddb-cut-before-salestype" << "SceneryEurope\\First|1|0|0|||0";
        QTest::newRow("ends before FlySim") << "olddb-cut-before-flysim" << "SceneryEurope\\First|1|3|0|||0";
        QTest::newRow("ends before Comment") << "olddb-cut-before-comment" << "SceneryEurope\\First|1|3|5|||0";
        QTest::newRow("ends before PreviousKey") << "olddb-cut-before-previouskey"
                                                 << "SceneryEurope\\First|1|3|5|old comment||0";
        QTest::newRow("ends before Required") << "olddb-cut-before-required"
                                              << "SceneryEurope\\First|1|3|5|old comment|SceneryEurope\\Zero|0";
    }

    void readOldFormat()
    {
        QFETCH(QString, folder);
        QFETCH(QString, first);
        Db f;
        f.write(u"Lumivale.db"_s, testData(folder, u"Lumivale.db"_s));
        f.read();
        QVERIFY(!f.isNew);
        QCOMPARE(f.m().colScenery.count(), 2);
        const QStringList tail{u"IsLocalPath"_s, u"SalesType"_s, u"FlySim"_s, u"Comment"_s, u"PreviousKey"_s, u"Required"_s};
        const clsScenery &one = *f.m().colScenery.first();
        QCOMPARE(describe(one, QStringList{u"Key"_s} + tail), first);
        // The leading lines every block has; an empty Active line is false.
        QCOMPARE(describe(one, {u"Title"_s, u"Active"_s, u"Exclude"_s, u"Flatten0"_s, u"Flatten1"_s, u"Flatten9"_s,
                                u"Group"_s, u"GroupID"_s, u"ID"_s, u"Layer"_s, u"RemotePath"_s, u"Texture_ID"_s,
                                u"Author"_s, u"Version"_s}),
                 u"First|0|EXCL|F0||F9|Grp|4|ID1|3|E:\\First|1|Auth|V1"_s);
        // The block after a short one is read from its own first line; its SalesType "abc" is not taken.
        const clsScenery &two = *f.m().colScenery.item(u"SceneryNew\\Second"_s);
        QCOMPARE(describe(two, QStringList{u"Title"_s, u"Active"_s, u"LocalPath"_s, u"Flatten9"_s} + tail),
                 u"Second|1|Addon Scenery\\Second|F9|0|0|8||SceneryNew\\First|1"_s);
    }

    void readLetsEventsRun()
    {
        Db f;
        const QByteArray db5 = testData(u"librarydb-golden"_s, u"Lumivale.db5"_s);
        f.write(u"Lumivale.db5"_s, db5);
        const int before = f.env.ui.processEventsCalls();
        f.read();
        QVERIFY(f.env.ui.processEventsCalls() - before >= crlfLines(db5).size());
        QCOMPARE(f.m().colScenery.count(), 4);
    }
};

QTEST_GUILESS_MAIN(TestLibraryDb)
#include "tst_librarydb.moc"
