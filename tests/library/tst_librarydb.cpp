#include "../scenerycfg/libraryfixture.h"

#include "library/libraryfiles.h"
#include "tree/librarytree.h"

#include <QTest>

namespace {

const QStringList DbFiles{u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s};
const QString OldFields = u"Title|Active|Exclude|Flatten0|Flatten1|Flatten9|Group|GroupID|ID|Layer|LocalPath|RemotePath|"
                          u"Texture_ID|Author|Version|Key|IsLocalPath|SalesType|FlySim|Comment|PreviousKey|Required"_s;

const QString StoredFields = OldFields + u"|Flatten2|Flatten3|Flatten4|Flatten5|Flatten6|Flatten7|Flatten8"_s;

struct Db : LibraryFixture
{
    bool isNew = false;

    void write(const QString &name, const QByteArray &bytes) { env.writeFile(programFile(name), bytes); }
    QByteArray file(const QString &name) const { return env.readFile(programFile(name)); }
    // Reads the files into a new, empty library; every dialog shown must have been announced.
    void read()
    {
        manager = std::make_unique<SceneryManager>(env.context);
        m().readDB(isNew);
        QVERIFY(env.ui.allShown());
    }
    // "name:simulator:clean:member,member" per set.
    QString sets() const
    {
        QStringList result;
        for (const CfgPtr &c : manager->dicCFGs)
            result << u"%1:%2:%3:%4"_s.arg(c->Key).arg(c->Cache_Size).arg(c->Clean_on_Exit).arg(c->colUsedSceneries.keys().join(u','));
        return result.join(u';');
    }
    // The tree rebuilt from the library and the library saved from it; no failure may be shown.
    void fillAndSave()
    {
        LibraryTree libraryTree(m(), tree, env.ui);
        libraryTree.fillTree(0, isNew);
        m().saveDB(tree.keysInWalkOrder());
        QVERIFY(env.ui.allShown());
    }
    // Saves, then reads the saved files into a new library, which must find no problem in them.
    void saveAndReadBack()
    {
        fillAndSave();
        manager = std::make_unique<SceneryManager>(env.context);
        const Problems problems = m().readDB(isNew).problems;
        QVERIFY2(problems.isEmpty(), qPrintable(describeProblems(problems)));
    }
    // "key:caption" per level.
    QString levels() const
    {
        QStringList result;
        for (const LevelPtr &l : manager->dicLevel)
            result << l->sLevelKey + u':' + l->sLevelCaption;
        return result.join(u';');
    }
};

QString userError(qint32 offset) { return QString::number(LmError::UserBase + offset) + u'\n'; }

QByteArray fileOf(const QStringList &lines)
{
    return crlf(lines.join(u'\n') + u'\n');
}

QStringList levelBlock(const QString &caption, const QString &key)
{
    return {u"<Level>"_s, caption, key, u"</Level>"_s};
}

QStringList sceneryBlock(const QString &key, const QString &title)
{
    return {u"<Scenery>"_s, u"Key="_s + key, u"Title="_s + title, u"</Scenery>"_s};
}

// The messages the library reader shows for a key it mends or drops.
const QString BadKeyMessage = u"SceneryManager.readDB\nError: "_s + userError(LibraryDb::BadKey);

// The library written to tests/data/librarydb-golden: levels nested two deep, sceneries whose
// collection order differs from the tree order, one scenery without a node, and sets including "(Current)".
void buildGoldenLibrary(LibraryFixture &f)
{
    f.scenery(u"SceneryEurope\\Paris"_s,
              u"PreviousKey=LevelEurope\\Germany|Version=2003 |Texture_ID=2|IsLocalPath=1|LocalPath=Addon Scenery\\Paris"_s);
    f.scenery(u"SceneryEurope\\Germany\\Berlin"_s,
              u"Active=1|IsLocalPath=1|Comment=Caf\u00e9|FlySim=63|LocalPath=D:\\Sceneries\\Berlin\\Scenery"_s);
    f.scenery(u"SceneryNew\\Beta"_s, u"PreviousKey=SceneryNew\\Alpha|RemotePath=E:\\CD\\Beta"_s);
    f.scenery(u"SceneryNew\\Alpha"_s, u"Active=1|IsLocalPath=1|Required=1|Author=J. Smith|Comment=Good one|"
                                      u"Exclude=N48 E002|Flatten0=F0 text|Flatten9=F9 text|FlySim=12|Group=5|GroupID=-3|"
                                      u"ID=ALP1|Layer=7|LocalPath=Addon Scenery\\Alpha|SalesType=2|Texture_ID=1|Version=1.2"_s);
    f.scenery(u"SceneryNew\\Hidden"_s);
    f.addSets(u"(Current):1:1:Alpha;Europe:1:1:Berlin,Paris;Empty:2:0:;Old:0:0:Alpha"_s);
    f.build(u"New:Alpha,Beta;Europe/Germany:Berlin;Europe:Paris"_s);
}

}

class TestLibraryDb : public QObject
{
    Q_OBJECT

private slots:
    void save_data()
    {
        QTest::addColumn<bool>("existedBefore");
        QTest::addColumn<bool>("ghost");  // a node whose scenery is not in the library: the walk fails half-way
        QTest::newRow("old files replace older backups") << true << false;
        QTest::newRow("no old files, no backups") << false << false;
        // Each file is written whole or not at all.
        QTest::newRow("a failure half-way leaves the old files") << true << true;
    }

    void save()
    {
        QFETCH(bool, existedBefore);
        QFETCH(bool, ghost);
        Db f;
        buildGoldenLibrary(f);
        if (ghost) {
            f.build(u"New:Ghost"_s);
            f.env.ui.expectMessageStartingWith(u"SceneryManager.saveDB\nError: 9\n"_s, u"Lumivale"_s);
        }
        for (const QString &name : existedBefore ? DbFiles : QStringList()) {
            f.write(name, "earlier " + name.toLatin1());
            f.write(name + u".backup"_s, "long ago");
        }
        f.m().saveDB(f.tree.keysInWalkOrder());
        QVERIFY(f.env.ui.allShown());
        for (const QString &name : DbFiles) {
            const QByteArray earlier = existedBefore ? "earlier " + name.toLatin1() : QByteArray();
            QCOMPARE(f.file(name), ghost ? earlier : testData(u"librarydb-golden"_s, name));
            QCOMPARE(f.file(name + u".backup"_s), ghost && name == u"CFGSet.db"_s ? "long ago" : earlier);
        }
    }

    // No sceneries and one level; a line break in a value would split its line and shift the block.
    void saveSmallLibrary()
    {
        Db f;
        f.addSets(u"(Current):1:0:X;S:1:0:M\r\nN"_s);
        f.build(u"New"_s);
        f.m().dicLevel.first()->sLevelCaption = u"One\nLevel"_s;
        f.m().saveDB(f.tree.keysInWalkOrder());
        QCOMPARE(f.file(u"Lumivale.db5"_s) + '|' + f.file(u"Level.db"_s) + '|' + f.file(u"CFGSet.db"_s),
                 crlf(u"//Lumivale 1.6\n|<Level>\nOne Level\nLevelNew\n</Level>\n|<Set>\nS\n1\nFalse\nM  N\n</Set>\n"_s));
    }

    void savedLibraryReadsBack()
    {
        Db f;
        buildGoldenLibrary(f);
        f.m().colScenery.item(u"SceneryNew\\Beta"_s)->Comment = u"one\r\ntwo"_s;
        f.m().saveDB(f.tree.keysInWalkOrder());
        const std::unique_ptr<SceneryManager> saved = std::move(f.manager);
        const int eventsBefore = f.env.ui.processEventsCalls();
        f.read();
        // The window stays responsive: events run between the lines read.
        QVERIFY(f.env.ui.processEventsCalls() - eventsBefore >= crlfLines(f.file(u"Lumivale.db5"_s)).size());
        // Tree order, and only sceneries with a node. "(Current)" is not kept; Clean_on_Exit is written "True"
        // but never read back.
        QCOMPARE(f.sceneries(u"Key"_s) + u'#' + f.levels() + u'#' + f.sets(),
                 u"SceneryNew\\Alpha;SceneryNew\\Beta;SceneryEurope\\Germany\\Berlin;SceneryEurope\\Paris#LevelNew:New;"
                 u"LevelEurope:Europe;LevelEurope\\Germany:Germany#Europe:1:0:Berlin,Paris;Empty:2:0:;Old:0:0:Alpha"_s);
        for (const SceneryPtr &s : f.m().colScenery) {
            clsScenery expected = *saved->colScenery.item(s->Key);
            // The line break became blanks.
            expected.Comment.replace(u'\r', u' ').replace(u'\n', u' ');
            QCOMPARE(describe(*s, StoredFields), describe(expected, StoredFields));
        }
    }

    // Each problem of a reading names its file and line, the first line of a block cut short.
    void problemsNameFileAndLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("line");
        const QStringList header{u"//Lumivale 1.6"_s};
        QTest::newRow("scenery key twice: its end line")
            << u"Lumivale.db5"_s
            << header + sceneryBlock(u"SceneryNew\\A"_s, u"A"_s) + sceneryBlock(u"SceneryNew\\A"_s, u"B"_s)
            << 9;
        QTest::newRow("value given twice: blocks ran together")
            << u"Lumivale.db5"_s
            << QStringList{u"<Scenery>"_s, u"Key=SceneryNew\\A"_s, u"Title=A"_s, u"Key=SceneryNew\\B"_s,
                           u"</Scenery>"_s}
            << 4;
        QTest::newRow("value that is no number")
            << u"Lumivale.db5"_s
            << QStringList{u"<Scenery>"_s, u"Key=SceneryNew\\A"_s, u"GroupID=x"_s, u"</Scenery>"_s} << 3;
        QTest::newRow("set cut short: its first line")
            << u"CFGSet.db"_s
            << QStringList{u"<Set>"_s, u"S"_s, u"1"_s, u"False"_s, u"</Set>"_s, u"<Set>"_s, u"T"_s} << 6;
        QTest::newRow("level key twice: the key")
            << u"Level.db"_s << levelBlock(u"A"_s, u"LevelA"_s) + levelBlock(u"B"_s, u"LevelA"_s) << 7;
    }

    void problemsNameFileAndLine()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, lines);
        QFETCH(int, line);
        Db f;
        f.write(file, fileOf(lines));
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readDB\n"_s, u"Lumivale"_s);
        const Problems problems = f.m().readDB(f.isNew).problems;
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.first().file, file);
        QVERIFY2(problems.first().line == line, qPrintable(describeProblems(problems)));
        QCOMPARE(f.m().libraryReadWithErrors(), QSet<QString>{file});
    }

    // A level whose key does not begin with "Level" becomes a top level of its caption, or is left
    // out when it has none (or one already taken); either way the library saves, and what it saves
    // reads back without a problem.
    void badLevelKeyIsMended_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("levels"); // key:caption of every level read
        QTest::newRow("misspelt prefix")
            << u"Lvel Europe"_s << u"Europe"_s << u"LevelNew:New;LevelEurope:Europe"_s;
        QTest::newRow("lower case") << u"levelAlps"_s << u"Alps"_s << u"LevelNew:New;LevelAlps:Alps"_s;
        QTest::newRow("NUL first") << u"\0LevelAlps"_s << u"Alps"_s << u"LevelNew:New;LevelAlps:Alps"_s;
        QTest::newRow("scenery key") << u"SceneryNew\\Alps"_s << u"Alps"_s
                                     << u"LevelNew:New;LevelAlps:Alps"_s;
        QTest::newRow("caption with a separator") << u"Bad"_s << u"A\\B"_s << u"LevelNew:New;LevelA/B:A/B"_s;
        QTest::newRow("no caption: left out") << u"Bad"_s << QString() << u"LevelNew:New"_s;
        QTest::newRow("caption taken: left out") << u"Bad"_s << u"New"_s << u"LevelNew:New"_s;
    }

    void badLevelKeyIsMended()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, levels);
        Db f;
        f.write(u"Level.db"_s, fileOf(levelBlock(u"New"_s, u"LevelNew"_s) + levelBlock(caption, key)));
        f.write(u"Lumivale.db5"_s,
                fileOf(QStringList{u"//Lumivale 1.6"_s} + sceneryBlock(u"SceneryNew\\Kept"_s, u"Kept"_s)));
        f.env.ui.expectMessageStartingWith(BadKeyMessage + u"Level.db: the level '"_s + caption,
                                           u"Lumivale"_s);
        f.read();
        QCOMPARE(f.levels(), levels);
        f.saveAndReadBack();
        QCOMPARE(f.levels(), levels);
        QCOMPARE(f.sceneries(u"Key"_s), u"SceneryNew\\Kept"_s);
    }

    // A scenery can never carry a level's key: it is read into the level "New".
    void sceneryKeyedLikeALevel()
    {
        Db f;
        f.write(u"Lumivale.db5"_s,
                fileOf(QStringList{u"//Lumivale 1.6"_s} + sceneryBlock(u"LevelNew"_s, u"Odd"_s)));
        f.env.ui.expectMessageStartingWith(
            BadKeyMessage + u"Lumivale.db5: the scenery 'Odd' has the key 'LevelNew'"_s, u"Lumivale"_s);
        f.read();
        QCOMPARE(f.sceneries(u"Key"_s), u"SceneryNew\\Odd"_s);
        f.saveAndReadBack();
        QCOMPARE(f.sceneries(u"Key"_s), u"SceneryNew\\Odd"_s);
    }

    // The ".backup" copy of a file read with errors may be the last good one: saving leaves it,
    // while the copies of the files read cleanly follow as always.
    void backupOfDamagedFileIsKept()
    {
        Db f;
        const QByteArray damaged =
            fileOf(QStringList{u"//Lumivale 1.6"_s} + sceneryBlock(u"SceneryNew\\A"_s, u"A"_s) +
                   sceneryBlock(u"SceneryNew\\A"_s, u"B"_s));
        const QByteArray levels = fileOf(levelBlock(u"New"_s, u"LevelNew"_s));
        f.write(u"Lumivale.db5"_s, damaged);
        f.write(u"Lumivale.db5.backup"_s, "good copy");
        f.write(u"Level.db"_s, levels);
        f.write(u"Level.db.backup"_s, "older levels");
        f.env.ui.expectMessageStartingWith(u"SceneryManager.readDB\nError: 457\n"_s, u"Lumivale"_s);
        f.read();
        for (int save = 0; save < 2; ++save) // a second save in the same run keeps it as well
            f.fillAndSave();
        QCOMPARE(f.file(u"Lumivale.db5.backup"_s), QByteArray("good copy"));
        QCOMPARE(f.file(u"Level.db.backup"_s), levels);
        QCOMPARE(f.sceneries(u"Key"_s), u"SceneryNew\\A"_s);
    }

    // Every trouble is reported once and the reading goes on with what it can keep.
    void readFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("content");  // a folder of tests/data, or the text itself
        QTest::addColumn<QStringList>("errors");
        QTest::addColumn<QString>("read");  // the fields of each scenery, the sets or the levels
        const QString db5 = u"Lumivale.db5"_s, old = u"Lumivale.db"_s, sets = u"CFGSet.db"_s, levels = u"Level.db"_s;
        const QString k = u"<Scenery>\nKey=K\n"_s, end = u"\n</Scenery>\n"_s, h = u"//Lumivale 1.6\n"_s;
        // Key|Author|GroupID|Active|Layer|Group|FlySim. Files without the header line were written by
        // version 1.5, which stored a simulator's position in FlySim.
        QTest::newRow("FlySim 3 without header") << db5 << k + u"FlySim=3"_s + end << QStringList() << "K||0|0|0||4";
        QTest::newRow("FlySim 6 without header") << db5 << k + u"FlySim=6"_s + end << QStringList() << "K||0|0|0||32";
        QTest::newRow("FlySim 3 with header") << db5 << h + k + u"FlySim=3"_s + end << QStringList() << "K||0|0|0||3";
        QTest::newRow("keys in any letter case") << db5 << h + k + u"groupid=8\nLAYER=2\nactive=true"_s + end << QStringList()
                                                 << "K||8|1|2||0";
        // Group is text, as the details panel takes it; the numbers of older files read the same.
        QTest::newRow("Group with zeros")
            << db5 << h + k + u"Group=007"_s + end << QStringList() << "K||0|0|0|007|0";
        QTest::newRow("Group not numeric")
            << db5 << h + k + u"Group=Alps 2"_s + end << QStringList() << "K||0|0|0|Alps 2|0";
        QTest::newRow("text as it stands, unknown keys ignored") << db5 << h + k + u"Author= A=B \nAuthors=C"_s + end
                                                                 << QStringList() << "K| A=B |0|0|0||0";
        QTest::newRow("db5: duplicate key") << db5 << "db5-duplicate-key" << QStringList{u"457\n"_s}
                                            << "SceneryNew\\One|first|0|0|0||0;SceneryNew\\Two||0|0|0||0";
        // Each value is given twice in the file: that is reported as damage, then the value read.
        const QString twice =
            userError(LibraryDb::ValueTwice) + u"Lumivale.db5: the block that begins at line 2 gives"_s;
        QTest::newRow("db5: unconvertible values")
            << db5 << "db5-unconvertible"
            << QStringList{twice, u"13\n"_s, twice, u"13\n"_s, twice, u"6\nOverflow"_s}
            << "SceneryNew\\One||5|1|4||0;SceneryNew\\Two||0|0|0||0";
        QTest::newRow("db5: block cut") << db5 << "db5-block-cut"
            << QStringList{userError(LibraryDb::SceneryBlockCut) + u"Lumivale.db5: the block of the scenery 'Two' ends"_s}
            << "SceneryNew\\One||0|0|0||0;SceneryNew\\Two|kept|0|0|0||0";
        // The older file: the leading lines every block has (an empty Active line is false), then up to seven
        // lines each of which may end the block: Key|IsLocalPath|SalesType|FlySim|Comment|PreviousKey|Required.
        // Without its IsLocalPath line the first block's flag follows its paths: remote only, so false.
        const QString lead = u"First|0|EXCL|F0||F9|Grp|4|ID1|3||E:\\First|1|Auth|V1|"_s;
        const QString first = lead + u"SceneryEurope\\First|"_s, full = first + u"1|3|5|old comment|"_s;
        // The block after a short one is read from its own first line; its SalesType "abc" is not taken.
        const QString second = u";Second|1|EXCL|F0||F9|Grp|4|ID1|3|Addon Scenery\\Second||1|Auth|V1|SceneryNew\\Second|0|0|8||"
                               u"SceneryNew\\First|1"_s;
        QTest::newRow("older: full blocks") << old << "olddb-full" << QStringList() << full + u"SceneryEurope\\Zero|1"_s + second;
        QTest::newRow("older: ends before Key") << old << "olddb-cut-before-key" << QStringList()
                                                << lead + u"SceneryNew\\First|0|0|0|||0"_s + second;
        QTest::newRow("older: ends before IsLocalPath") << old << "olddb-cut-before-islocalpath" << QStringList()
                                                        << first + u"0|0|0|||0"_s + second;
        QTest::newRow("older: ends before SalesType") << old << "olddb-cut-before-salestype" << QStringList()
                                                      << first + u"1|0|0|||0"_s + second;
        QTest::newRow("older: ends before FlySim") << old << "olddb-cut-before-flysim" << QStringList()
                                                   << first + u"1|3|0|||0"_s + second;
        QTest::newRow("older: ends before Comment") << old << "olddb-cut-before-comment" << QStringList()
                                                    << first + u"1|3|5|||0"_s + second;
        QTest::newRow("older: ends before PreviousKey") << old << "olddb-cut-before-previouskey" << QStringList()
                                                        << full + u"|0"_s + second;
        QTest::newRow("older: ends before Required") << old << "olddb-cut-before-required" << QStringList()
                                                     << full + u"SceneryEurope\\Zero|0"_s + second;
        QTest::newRow("older: cut by its end") << old << "olddb-cut-by-eof"
            << QStringList{userError(LibraryDb::OldSceneryBlockCut) + u"Lumivale.db ends inside a scenery block; the last 10"_s}
            << full + u"SceneryEurope\\Zero|1"_s;
        QTest::newRow("set cut, reported once") << sets << "cfgset-truncated"
            << QStringList{userError(LibraryDb::SetBlockCut) + u"CFGSet.db ends inside the set 'Cut Short'"_s}
            << "Complete:1:0:Alpha;Cut Short:2:0:Beta,Gamma";
        QTest::newRow("set named twice") << sets << "cfgset-duplicate" << QStringList{u"457\n"_s} << "Twice:1:0:Alpha;After:2:0:Gamma";
        QTest::newRow("set with unconvertible simulator") << sets << "cfgset-unconvertible" << QStringList{u"13\nType mismatch"_s}
                                                          << "Odd:0:0:Alpha;Fine:2:0:";
        const QString b = u"<Level>\nB\nLevelB\n</Level>\n"_s, cut = userError(LibraryDb::LevelBlockCut) + u"Level.db ends inside"_s;
        QTest::newRow("empty level file: no levels") << levels << "" << QStringList() << "";
        QTest::newRow("level cut before the end line") << levels << b + u"<Level>\nA\nLevelA\n"_s
            << QStringList{cut + u" the block of the level 'A' before its end"_s} << "LevelB:B;LevelA:A";
        QTest::newRow("level cut before the key") << levels << b + u"<Level>\nA\n"_s
            << QStringList{cut + u" the block of the level 'A' before its key"_s} << "LevelB:B";
        QTest::newRow("level key twice") << levels << b + u"<Level>\nC\nLevelB\n</Level>\n"_s << QStringList{u"457\n"_s} << "LevelB:B";
    }

    void readFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, content);
        QFETCH(QStringList, errors);
        QFETCH(QString, read);
        Db f;
        f.write(file, content.isEmpty() || content.contains(u'\n') ? crlf(content) : testData(content, file));
        for (const QString &error : errors)
            f.env.ui.expectMessageStartingWith(u"SceneryManager.readDB\nError: "_s + error, u"Lumivale"_s);
        // The library is new without a scenery file; otherwise the flag is left as it was, so it starts true
        // for one kind of scenery file and false for the other.
        f.isNew = file == u"Lumivale.db5"_s;
        f.read();
        QCOMPARE(f.isNew, file == u"Lumivale.db5"_s || !file.startsWith(u"Lumivale.db"_s));
        const QString fields = file == u"Lumivale.db"_s ? OldFields : u"Key|Author|GroupID|Active|Layer|Group|FlySim"_s;
        QCOMPARE(file == u"CFGSet.db"_s ? f.sets() : file == u"Level.db"_s ? f.levels() : f.sceneries(fields), read);
        // Without a Level.db the library starts with the level "New".
        QVERIFY(file == u"Level.db"_s || f.levels() == u"LevelNew:New"_s);
    }

    // Files written by other versions or by hand: block marks in any letter case; a key with two
    // digits after "Flatten." names no position.
    void sceneryFileAsOthersWrite_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("read"); // Key|Title|Flatten0|Flatten1 of every scenery
        QTest::newRow("marks in upper case")
            << u"<SCENERY>\nKey=K\nTitle=One\n</SCENERY>\n"_s << u"K|One||"_s;
        QTest::newRow("marks in lower case")
            << u"<scenery>\nKey=K\nTitle=One\n</scenery>\n"_s << u"K|One||"_s;
        QTest::newRow("Flatten.10 is no position")
            << u"<Scenery>\nKey=K\nFlatten.10=ten\nflatten.0=zero\n</Scenery>\n"_s << u"K||zero|"_s;
    }

    void sceneryFileAsOthersWrite()
    {
        QFETCH(QString, content);
        QFETCH(QString, read);
        Db f;
        f.write(u"Lumivale.db5"_s, crlf(u"//Lumivale 1.6\n"_s + content));
        f.read();
        QCOMPARE(f.sceneries(u"Key|Title|Flatten0|Flatten1"_s), read);
    }
};

QTEST_GUILESS_MAIN(TestLibraryDb)
#include "tst_librarydb.moc"
