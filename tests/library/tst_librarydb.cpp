// The library files: what saveDB writes, what readDB reads back, and how the reading goes on past
// damage in "Lumivale.db5", "Level.db", "CFGSet.db" and the older "Lumivale.db".

#include "library/libraryfiles.h"
#include "support/librarybuilder.h"
#include "tree/librarytree.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList LibraryFiles{u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s};
const QString Header = u"//Lumivale 1.6"_s;
const QString ReadFailure = u"SceneryManager.readDB\nError: "_s;

// The library of tests/data/librarydb-golden: levels two deep, sceneries given in another order
// than the tree's, one scenery without a node, and sets including "(Current)".
Library goldenLibrary()
{
    return Library()
        .level(u"New"_s)
        .level(u"Europe\\Germany"_s)
        .level(u"Europe"_s)
        .scenery(u"Paris"_s, {.isLocalPath = true,
                              .localPath = u"Addon Scenery\\Paris"_s,
                              .previousKey = u"LevelEurope\\Germany"_s,
                              .textureId = 2,
                              .version = u"2003 "_s}) // the blank at the end is kept as written
        .level(u"Europe\\Germany"_s)
        .scenery(u"Berlin"_s, {.active = true,
                               .comment = u"Caf\u00e9"_s,
                               .flySim = 63,
                               .isLocalPath = true,
                               .localPath = u"D:\\Sceneries\\Berlin\\Scenery"_s})
        .level(u"New"_s)
        .scenery(u"Alpha"_s, {.active = true,
                              .author = u"J. Smith"_s,
                              .comment = u"Good one"_s,
                              .exclude = u"N48 E002"_s,
                              .flatten = {{0, u"F0 text"_s}, {9, u"F9 text"_s}},
                              .flySim = 12,
                              .group = u"5"_s,
                              .groupId = -3,
                              .id = u"ALP1"_s,
                              .isLocalPath = true,
                              .layer = 7,
                              .localPath = u"Addon Scenery\\Alpha"_s,
                              .required = true,
                              .salesType = 2,
                              .textureId = 1,
                              .version = u"1.2"_s})
        .scenery(u"Beta"_s, {.previousKey = u"SceneryNew\\Alpha"_s, .remotePath = u"E:\\CD\\Beta"_s})
        .scenery(u"Hidden"_s, {.inTree = false})
        .set(u"(Current)"_s, Sim::FS2002, {u"Alpha"_s}, {.cleanOnExit = true})
        .set(u"Europe"_s, Sim::FS2002, {u"Berlin"_s, u"Paris"_s}, {.cleanOnExit = true})
        .set(u"Empty"_s, Sim::CFS2, {})
        .set(u"Old"_s, Sim::FS2000, {u"Alpha"_s});
}

QStringList sceneryBlock(const QString &key, const QString &title)
{
    return {u"<Scenery>"_s, u"Key="_s + key, u"Title="_s + title, u"</Scenery>"_s};
}

QStringList levelBlock(const QString &caption, const QString &key)
{
    return {u"<Level>"_s, caption, key, u"</Level>"_s};
}

QStringList linesOf(const QByteArray &bytes)
{
    QStringList lines = QString::fromLatin1(bytes).split(u"\r\n"_s);
    lines.removeLast(); // after the last line end
    return lines;
}

QString userError(qint32 offset)
{
    return QString::number(LmError::UserBase + offset) + u'\n';
}

// Reads the library files into a new library; every message shown must have been announced.
void readLibrary(LibraryEnv &f)
{
    bool isNew = false;
    f.restart().readDB(isNew);
    QVERIFY(f.env.ui.allShown());
}

// The tree rebuilt from the library and the library saved from it, as the window does on closing.
void rebuildAndSave(LibraryEnv &f)
{
    f.tree.clear();
    LibraryTree(f.manager(), f.tree, f.env.ui).fillTree(0, false);
    QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
    QVERIFY(f.env.ui.allShown());
}

// Saves, then reads the saved files into a new library, which must find no problem in them.
void saveAndReadBack(LibraryEnv &f)
{
    rebuildAndSave(f);
    bool isNew = false;
    const Problems problems = f.restart().readDB(isNew).problems;
    QVERIFY2(problems.isEmpty(), qPrintable(describeProblems(problems)));
}

// What the first block of the older test files holds after the fields every block has, up to where
// the file cuts it.
struct OlderTail
{
    bool isLocalPath = false;
    qint16 salesType = 0;
    qint16 flySim = 0;
    QString comment = {};
    QString previousKey = {};
    bool required = false;
};

clsScenery olderFirst(const QString &key, const OlderTail &tail)
{
    return sceneryRecord(key, u"First"_s,
                         {.author = u"Auth"_s,
                          .comment = tail.comment,
                          .exclude = u"EXCL"_s,
                          .flatten = {{0, u"F0"_s}, {9, u"F9"_s}},
                          .flySim = tail.flySim,
                          .group = u"Grp"_s,
                          .groupId = 4,
                          .id = u"ID1"_s,
                          .isLocalPath = tail.isLocalPath,
                          .layer = 3,
                          .previousKey = tail.previousKey,
                          .remotePath = u"E:\\First"_s,
                          .required = tail.required,
                          .salesType = tail.salesType,
                          .textureId = 1,
                          .version = u"V1"_s});
}

// The second block of the older test files: its SalesType "abc" is no number and not taken.
clsScenery olderSecond()
{
    return sceneryRecord(u"SceneryNew\\Second"_s, u"Second"_s,
                         {.active = true,
                          .author = u"Auth"_s,
                          .exclude = u"EXCL"_s,
                          .flatten = {{0, u"F0"_s}, {9, u"F9"_s}},
                          .flySim = 8,
                          .group = u"Grp"_s,
                          .groupId = 4,
                          .id = u"ID1"_s,
                          .layer = 3,
                          .localPath = u"Addon Scenery\\Second"_s,
                          .previousKey = u"SceneryNew\\First"_s,
                          .required = true,
                          .textureId = 1,
                          .version = u"V1"_s});
}

} // namespace

class TestLibraryDb : public QObject
{
    Q_OBJECT

private slots:
    void savedFilesAreTheGoldenOnes()
    {
        LibraryEnv f;
        goldenLibrary().buildInto(f.manager(), f.tree);
        QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
        for (const QString &name : LibraryFiles) {
            QCOMPARE(f.programFileBytes(name), testDataFile(u"librarydb-golden"_s, name));
            QVERIFY(!QFileInfo::exists(f.env.host(f.programFile(name + u".backup"_s))));
        }
    }

    void saveKeepsEarlierFilesAsBackups()
    {
        LibraryEnv f;
        goldenLibrary().buildInto(f.manager(), f.tree);
        for (const QString &name : LibraryFiles) {
            f.writeProgramFile(name, {u"earlier "_s + name});
            f.writeProgramFile(name + u".backup"_s, {u"long ago"_s});
        }
        QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
        for (const QString &name : LibraryFiles)
            QCOMPARE(linesOf(f.programFileBytes(name + u".backup"_s)), QStringList{u"earlier "_s + name});
    }

    // Each file is written whole or not at all: a node without its scenery fails the walk half-way.
    void failedSaveLeavesTheFiles()
    {
        LibraryEnv f;
        goldenLibrary().buildInto(f.manager(), f.tree);
        f.tree.add(f.tree.node(u"LevelNew"_s), Tree::Relation::Child, u"SceneryNew\\Ghost"_s, u"Ghost"_s);
        for (const QString &name : LibraryFiles) {
            f.writeProgramFile(name, {u"earlier "_s + name});
            f.writeProgramFile(name + u".backup"_s, {u"long ago"_s});
        }
        f.env.ui.expectMessageStartingWith(u"SceneryManager.saveDB\nError: 9\n"_s, u"Lumivale"_s);
        const Outcome saved = f.manager().saveDB(f.tree.keysInWalkOrder());
        QVERIFY(f.env.ui.allShown());
        QVERIFY(saved.isFailed());
        QCOMPARE(saved.error().number(), LmError::SubscriptOutOfRange);
        QCOMPARE(saved.file(), f.programFile(u"Lumivale.db5"_s));
        for (const QString &name : LibraryFiles)
            QCOMPARE(linesOf(f.programFileBytes(name)), QStringList{u"earlier "_s + name});
        QCOMPARE(linesOf(f.programFileBytes(u"Lumivale.db5.backup"_s)),
                 QStringList{u"earlier Lumivale.db5"_s});
        QCOMPARE(linesOf(f.programFileBytes(u"Level.db.backup"_s)), QStringList{u"earlier Level.db"_s});
        QCOMPARE(linesOf(f.programFileBytes(u"CFGSet.db.backup"_s)), QStringList{u"long ago"_s});
    }

    // A line break in a value would split its line and shift every line after it.
    void lineBreaksInValuesBecomeBlanks()
    {
        LibraryEnv f;
        Library()
            .scenery(u"Alpha"_s, {.comment = u"one\r\ntwo"_s})
            .set(u"S"_s, Sim::FS2002, {u"M\r\nN"_s})
            .buildInto(f.manager(), f.tree);
        f.manager().dicLevel.first()->sLevelCaption = u"One\nLevel"_s;
        QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
        QVERIFY(linesOf(f.programFileBytes(u"Lumivale.db5"_s)).contains(u"Comment=one  two"_s));
        QCOMPARE(linesOf(f.programFileBytes(u"Level.db"_s)), levelBlock(u"One Level"_s, u"LevelNew"_s));
        QCOMPARE(linesOf(f.programFileBytes(u"CFGSet.db"_s)),
                 (QStringList{u"<Set>"_s, u"S"_s, u"1"_s, u"False"_s, u"M  N"_s, u"</Set>"_s}));
    }

    // Sceneries in tree order, and only those with a node; "(Current)" is never stored;
    // Clean_on_Exit is written "True" but never read back.
    void savedLibraryReadsBack()
    {
        LibraryEnv f;
        const Library library = goldenLibrary();
        library.buildInto(f.manager(), f.tree);
        QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
        readLibrary(f);
        QVERIFY(sameSceneries(f.manager(), {library.record(u"Alpha"_s), library.record(u"Beta"_s),
                                            library.record(u"Berlin"_s), library.record(u"Paris"_s)}));
        QVERIFY(sameLevels(f.manager(), {{u"LevelNew"_s, u"New"_s},
                                         {u"LevelEurope"_s, u"Europe"_s},
                                         {u"LevelEurope\\Germany"_s, u"Germany"_s}}));
        QVERIFY(sameSets(f.manager(), {{u"Europe"_s, Sim::FS2002, false, {u"Berlin"_s, u"Paris"_s}},
                                       {u"Empty"_s, Sim::CFS2, false, {}},
                                       {u"Old"_s, Sim::FS2000, false, {u"Alpha"_s}}}));
        QVERIFY(!f.manager().dicCFGs.contains(u"(Current)"_s));
    }

    // The window stays responsive: events run between the lines read.
    void readingLetsEventsRun()
    {
        LibraryEnv f;
        goldenLibrary().writeLibraryFiles(f.env);
        const int before = f.env.ui.processEventsCalls();
        readLibrary(f);
        const qsizetype lines = linesOf(f.programFileBytes(u"Lumivale.db5"_s)).size();
        QVERIFY(f.env.ui.processEventsCalls() - before >= lines);
    }

    // Each problem of a reading names its file and line, the first line of a block cut short.
    void problemsNameFileAndLine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("line");
        QTest::newRow("scenery key twice: its end line")
            << u"Lumivale.db5"_s
            << QStringList{Header} + sceneryBlock(u"SceneryNew\\A"_s, u"A"_s) +
                   sceneryBlock(u"SceneryNew\\A"_s, u"B"_s)
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
        LibraryEnv f;
        f.writeProgramFile(file, lines);
        f.env.ui.expectMessageStartingWith(ReadFailure, u"Lumivale"_s);
        bool isNew = false;
        const Outcome read = f.manager().readDB(isNew);
        QVERIFY(read.isDone());
        QCOMPARE(read.problems.size(), 1);
        QCOMPARE(read.problems.first().file, file);
        QCOMPARE(read.problems.first().line, line);
        QCOMPARE(f.manager().libraryReadWithErrors(), QSet<QString>{file});
    }

    // A level whose key does not begin with "Level" becomes a top level of its caption, or is left
    // out when it has none (or one already taken); either way the library saves, and what it saves
    // reads back without a problem.
    void badLevelKeyIsMended_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<clsLevel>>("levels");
        const clsLevel levelNew{u"LevelNew"_s, u"New"_s};
        // The prefix is recognised as written only.
        QTest::newRow("lower case") << u"levelAlps"_s << u"Alps"_s
                                    << QList<clsLevel>{levelNew, {u"LevelAlps"_s, u"Alps"_s}};
        QTest::newRow("caption with a separator")
            << u"Bad"_s << u"A\\B"_s << QList<clsLevel>{levelNew, {u"LevelA/B"_s, u"A/B"_s}};
        QTest::newRow("no caption: left out") << u"Bad"_s << QString() << QList<clsLevel>{levelNew};
        QTest::newRow("caption taken: left out") << u"Bad"_s << u"New"_s << QList<clsLevel>{levelNew};
    }

    void badLevelKeyIsMended()
    {
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QList<clsLevel>, levels);
        LibraryEnv f;
        f.writeProgramFile(u"Level.db"_s, levelBlock(u"New"_s, u"LevelNew"_s) + levelBlock(caption, key));
        f.writeProgramFile(u"Lumivale.db5"_s,
                           QStringList{Header} + sceneryBlock(u"SceneryNew\\Kept"_s, u"Kept"_s));
        f.env.ui.expectMessageStartingWith(
            ReadFailure + userError(LibraryDb::BadKey) + u"Level.db: the level '"_s + caption, u"Lumivale"_s);
        readLibrary(f);
        QVERIFY(sameLevels(f.manager(), levels));
        saveAndReadBack(f);
        QVERIFY(sameLevels(f.manager(), levels));
        QVERIFY(f.manager().colScenery.contains(u"SceneryNew\\Kept"_s));
    }

    // A scenery can never carry a level's key: it is read into the level "New".
    void sceneryKeyedLikeALevel()
    {
        LibraryEnv f;
        Library().scenery(u"Odd"_s, {.key = u"LevelNew"_s}).writeLibraryFiles(f.env);
        f.env.ui.expectMessageStartingWith(ReadFailure + userError(LibraryDb::BadKey) +
                                               u"Lumivale.db5: the scenery 'Odd' has the key 'LevelNew'"_s,
                                           u"Lumivale"_s);
        readLibrary(f);
        QCOMPARE(f.manager().colScenery.keys(), QStringList{u"SceneryNew\\Odd"_s});
        saveAndReadBack(f);
        QCOMPARE(f.manager().colScenery.keys(), QStringList{u"SceneryNew\\Odd"_s});
    }

    // "Level" is a prefix as written: a scenery keyed "levels..." is a scenery to the writer and
    // the reader alike.
    void lowerCaseLevelPrefixNamesNoLevel()
    {
        LibraryEnv f;
        Library().scenery(u"Odd"_s, {.key = u"levels\\Odd"_s}).buildInto(f.manager(), f.tree);
        QVERIFY(f.manager().saveDB(f.tree.keysInWalkOrder()).isDone());
        readLibrary(f);
        QCOMPARE(f.manager().colScenery.keys(), QStringList{u"levels\\Odd"_s});
        QVERIFY(sameLevels(f.manager(), {{u"LevelNew"_s, u"New"_s}}));
    }

    // The ".backup" copy of a file read with errors may be the last good one: saving leaves it,
    // while the copies of the files read cleanly follow as always.
    void backupOfDamagedFileIsKept()
    {
        LibraryEnv f;
        Library().scenery(u"A"_s).scenery(u"B"_s, {.key = u"SceneryNew\\A"_s}).writeLibraryFiles(f.env);
        const QByteArray levels = f.programFileBytes(u"Level.db"_s);
        f.writeProgramFile(u"Lumivale.db5.backup"_s, {u"good copy"_s});
        f.writeProgramFile(u"Level.db.backup"_s, {u"older levels"_s});
        f.env.ui.expectMessageStartingWith(ReadFailure + u"457\n"_s, u"Lumivale"_s);
        readLibrary(f);
        rebuildAndSave(f);
        rebuildAndSave(f); // a second save in the same run keeps it as well
        QCOMPARE(linesOf(f.programFileBytes(u"Lumivale.db5.backup"_s)), QStringList{u"good copy"_s});
        QCOMPARE(f.programFileBytes(u"Level.db.backup"_s), levels);
        QCOMPARE(f.manager().colScenery.keys(), QStringList{u"SceneryNew\\A"_s});
    }

    // Files without the header line were written by version 1.5, which stored the position of the
    // simulator in FlySim, not its bit.
    void flySimOfVersion15_data()
    {
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint16>("flySim");
        QTest::newRow("3 without header: FS2K") << false << u"3"_s << qint16(4);
        QTest::newRow("3 with header: the bits") << true << u"3"_s << qint16(3);
    }

    void flySimOfVersion15()
    {
        QFETCH(bool, header);
        QFETCH(QString, stored);
        QFETCH(qint16, flySim);
        LibraryEnv f;
        const QStringList block{u"<Scenery>"_s, u"Key=K"_s, u"FlySim="_s + stored, u"</Scenery>"_s};
        f.writeProgramFile(u"Lumivale.db5"_s, header ? QStringList{Header} + block : block);
        readLibrary(f);
        QCOMPARE(f.manager().colScenery.item(u"K"_s)->FlySim, flySim);
    }

    // Files written by other versions or by hand: block marks and keys in any letter case; values
    // as they stand, blanks and "=" included; unknown keys left; a key with two digits after
    // "Flatten." names no position.
    void sceneryFileAsOthersWrite_data()
    {
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<clsScenery>("read");
        QTest::newRow("keys in any letter case, values as written")
            << QStringList{u"<Scenery>"_s, u"Key=K"_s,       u"groupid=8"_s,
                           u"LAYER=2"_s,   u"active=true"_s, u"Author= A=B "_s,
                           u"Authors=C"_s, u"Group=007"_s,   u"</Scenery>"_s}
            << sceneryRecord(
                   u"K"_s, QString(),
                   {.active = true, .author = u" A=B "_s, .group = u"007"_s, .groupId = 8, .layer = 2});
        QTest::newRow("block marks in upper case")
            << QStringList{u"<SCENERY>"_s, u"Key=K"_s, u"Title=One"_s, u"</SCENERY>"_s}
            << sceneryRecord(u"K"_s, u"One"_s);
        QTest::newRow("Flatten.10 is no position")
            << QStringList{u"<Scenery>"_s, u"Key=K"_s, u"Flatten.10=ten"_s, u"flatten.0=zero"_s,
                           u"</Scenery>"_s}
            << sceneryRecord(u"K"_s, QString(), {.flatten = {{0, u"zero"_s}}});
        QTest::newRow("numbers with zeros, signs and blanks")
            << QStringList{u"<Scenery>"_s,     u"Key=K"_s,        u"Layer=007"_s, u"SalesType=+3"_s,
                           u"Texture_ID= 1"_s, u"GroupID=0012"_s, u"</Scenery>"_s}
            << sceneryRecord(u"K"_s, QString(), {.groupId = 12, .layer = 7, .salesType = 3, .textureId = 1});
    }

    void sceneryFileAsOthersWrite()
    {
        QFETCH(QStringList, block);
        QFETCH(clsScenery, read);
        LibraryEnv f;
        f.writeProgramFile(u"Lumivale.db5"_s, QStringList{Header} + block);
        readLibrary(f);
        QVERIFY(sameSceneries(f.manager(), {read}));
    }

    // The file is taken apart on its bytes: the values must come out as the code page (or UTF-8
    // after its mark) spells them, whatever ends the lines.
    void sceneryFileBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<clsScenery>("read");
        QTest::newRow("code page letters, Latin-1 and its own 80-9F")
            << QByteArray("//Lumivale 1.6\r\n<Scenery>\r\nKey=K\r\nTitle=Caf\xE9 \x80\x81\r\n</Scenery>\r\n")
            << sceneryRecord(u"K"_s, u"Caf\u00E9 \u20AC\u0081"_s);
        QTest::newRow("UTF-8 after its mark")
            << QByteArray("\xEF\xBB\xBF//Lumivale 1.6\n<Scenery>\nKey=K\nTitle=Caf\xC3\xA9\n</Scenery>\n")
            << sceneryRecord(u"K"_s, u"Caf\u00E9"_s);
        QTest::newRow("lines ended by CR alone, the last by nothing")
            << QByteArray("//Lumivale 1.6\r<Scenery>\rKey=K\rAuthor=A\r\rTitle=T\r</Scenery>")
            << sceneryRecord(u"K"_s, u"T"_s, {.author = u"A"_s});
        QTest::newRow("a name outside ASCII passed over, its line's value kept from others")
            << QByteArray("//Lumivale 1.6\n<Scenery>\nKey=K\nT\xEFtle=X\nComment=\xE9=\n</Scenery>\n")
            << sceneryRecord(u"K"_s, QString(), {.comment = u"\u00E9="_s});
    }

    void sceneryFileBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(clsScenery, read);
        LibraryEnv f;
        f.env.writeFile(f.programFile(u"Lumivale.db5"_s), bytes);
        readLibrary(f);
        QVERIFY(sameSceneries(f.manager(), {read}));
    }

    // Every trouble is reported once and the reading goes on with what it can keep.
    void damagedSceneryFile_data()
    {
        QTest::addColumn<QString>("folder"); // of tests/data
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QList<clsScenery>>("read");
        const clsScenery two = sceneryRecord(u"SceneryNew\\Two"_s, u"Two"_s);
        QTest::newRow("a key twice") << u"db5-duplicate-key"_s << QStringList{ReadFailure + u"457\n"_s}
                                     << QList<clsScenery>{sceneryRecord(u"SceneryNew\\One"_s, u"One"_s,
                                                                        {.author = u"first"_s}),
                                                          two};
        // Each value is given twice: that is reported as damage, then the value read.
        const QString twice = ReadFailure + userError(LibraryDb::ValueTwice) +
                              u"Lumivale.db5: the block that begins at line 2 gives"_s;
        QTest::newRow("values that cannot be taken")
            << u"db5-unconvertible"_s
            << QStringList{twice, ReadFailure + u"13\n"_s,       twice, ReadFailure + u"13\n"_s,
                           twice, ReadFailure + u"6\nOverflow"_s}
            << QList<clsScenery>{
                   sceneryRecord(u"SceneryNew\\One"_s, u"One"_s, {.active = true, .groupId = 5, .layer = 4}),
                   two};
        QTest::newRow("the last block cut")
            << u"db5-block-cut"_s
            << QStringList{ReadFailure + userError(LibraryDb::SceneryBlockCut) +
                           u"Lumivale.db5: the block of the scenery 'Two' ends"_s}
            << QList<clsScenery>{sceneryRecord(u"SceneryNew\\One"_s, u"One"_s),
                                 sceneryRecord(u"SceneryNew\\Two"_s, u"Two"_s, {.author = u"kept"_s})};
    }

    void damagedSceneryFile()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, messages);
        QFETCH(QList<clsScenery>, read);
        LibraryEnv f;
        f.env.writeFile(f.programFile(u"Lumivale.db5"_s), testDataFile(folder, u"Lumivale.db5"_s));
        for (const QString &message : messages)
            f.env.ui.expectMessageStartingWith(message, u"Lumivale"_s);
        readLibrary(f);
        QVERIFY(sameSceneries(f.manager(), read));
    }

    // The older file: the lines every block has, then up to seven lines each of which may end the
    // block: Key, IsLocalPath, SalesType, FlySim, Comment, PreviousKey, Required. The block after a
    // short one is read from its own first line.
    void olderSceneryFile_data()
    {
        QTest::addColumn<QString>("folder");  // of tests/data
        QTest::addColumn<QString>("message"); // "" for none
        QTest::addColumn<QList<clsScenery>>("read");
        const QString first = u"SceneryEurope\\First"_s;
        const OlderTail full{.isLocalPath = true, .salesType = 3, .flySim = 5, .comment = u"old comment"_s};
        OlderTail withZero = full;
        withZero.previousKey = u"SceneryEurope\\Zero"_s;
        OlderTail required = withZero;
        required.required = true;
        const clsScenery second = olderSecond();
        QTest::newRow("full blocks") << u"olddb-full"_s << QString()
                                     << QList<clsScenery>{olderFirst(first, required), second};
        // Without its key line the block is in the level "New"; without its IsLocalPath line the flag
        // follows its paths: remote only, so false.
        QTest::newRow("ends before Key") << u"olddb-cut-before-key"_s << QString()
                                         << QList<clsScenery>{olderFirst(u"SceneryNew\\First"_s, {}), second};
        QTest::newRow("ends before IsLocalPath") << u"olddb-cut-before-islocalpath"_s << QString()
                                                 << QList<clsScenery>{olderFirst(first, {}), second};
        QTest::newRow("ends before SalesType")
            << u"olddb-cut-before-salestype"_s << QString()
            << QList<clsScenery>{olderFirst(first, {.isLocalPath = true}), second};
        QTest::newRow("ends before FlySim")
            << u"olddb-cut-before-flysim"_s << QString()
            << QList<clsScenery>{olderFirst(first, {.isLocalPath = true, .salesType = 3}), second};
        QTest::newRow("ends before Comment")
            << u"olddb-cut-before-comment"_s << QString()
            << QList<clsScenery>{olderFirst(first, {.isLocalPath = true, .salesType = 3, .flySim = 5}),
                                 second};
        QTest::newRow("ends before PreviousKey") << u"olddb-cut-before-previouskey"_s << QString()
                                                 << QList<clsScenery>{olderFirst(first, full), second};
        QTest::newRow("ends before Required") << u"olddb-cut-before-required"_s << QString()
                                              << QList<clsScenery>{olderFirst(first, withZero), second};
        QTest::newRow("cut by the file's end")
            << u"olddb-cut-by-eof"_s
            << ReadFailure + userError(LibraryDb::OldSceneryBlockCut) +
                   u"Lumivale.db ends inside a scenery block; the last 10"_s
            << QList<clsScenery>{olderFirst(first, required)};
    }

    void olderSceneryFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QList<clsScenery>, read);
        LibraryEnv f;
        f.env.writeFile(f.programFile(u"Lumivale.db"_s), testDataFile(folder, u"Lumivale.db"_s));
        if (!message.isEmpty())
            f.env.ui.expectMessageStartingWith(message, u"Lumivale"_s);
        readLibrary(f);
        QVERIFY(sameSceneries(f.manager(), read));
    }

    void damagedSetFile_data()
    {
        QTest::addColumn<QString>("folder"); // of tests/data
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<SetRecord>>("sets");
        QTest::newRow("cut short, reported once")
            << u"cfgset-truncated"_s
            << ReadFailure + userError(LibraryDb::SetBlockCut) +
                   u"CFGSet.db ends inside the set 'Cut Short'"_s
            << QList<SetRecord>{{u"Complete"_s, Sim::FS2002, false, {u"Alpha"_s}},
                                {u"Cut Short"_s, Sim::CFS2, false, {u"Beta"_s, u"Gamma"_s}}};
        QTest::newRow("named twice") << u"cfgset-duplicate"_s << ReadFailure + u"457\n"_s
                                     << QList<SetRecord>{{u"Twice"_s, Sim::FS2002, false, {u"Alpha"_s}},
                                                         {u"After"_s, Sim::CFS2, false, {u"Gamma"_s}}};
        QTest::newRow("a simulator that is no number")
            << u"cfgset-unconvertible"_s << ReadFailure + u"13\nType mismatch"_s
            << QList<SetRecord>{{u"Odd"_s, Sim::FS2000, false, {u"Alpha"_s}},
                                {u"Fine"_s, Sim::CFS2, false, {}}};
    }

    void damagedSetFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QList<SetRecord>, sets);
        LibraryEnv f;
        f.env.writeFile(f.programFile(u"CFGSet.db"_s), testDataFile(folder, u"CFGSet.db"_s));
        f.env.ui.expectMessageStartingWith(message, u"Lumivale"_s);
        readLibrary(f);
        QVERIFY(sameSets(f.manager(), sets));
    }

    void damagedLevelFile_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("message"); // "" for none
        QTest::addColumn<QList<clsLevel>>("levels");
        const QStringList b = levelBlock(u"B"_s, u"LevelB"_s);
        const QString cut = ReadFailure + userError(LibraryDb::LevelBlockCut) + u"Level.db ends inside"_s;
        const clsLevel levelB{u"LevelB"_s, u"B"_s};
        QTest::newRow("empty: no levels at all") << QStringList() << QString() << QList<clsLevel>{};
        QTest::newRow("cut before the end line") << b + QStringList{u"<Level>"_s, u"A"_s, u"LevelA"_s}
                                                 << cut + u" the block of the level 'A' before its end"_s
                                                 << QList<clsLevel>{levelB, {u"LevelA"_s, u"A"_s}};
        QTest::newRow("cut before the key")
            << b + QStringList{u"<Level>"_s, u"A"_s} << cut + u" the block of the level 'A' before its key"_s
            << QList<clsLevel>{levelB};
        QTest::newRow("a key twice") << b + levelBlock(u"C"_s, u"LevelB"_s) << ReadFailure + u"457\n"_s
                                     << QList<clsLevel>{levelB};
    }

    void damagedLevelFile()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        QFETCH(QList<clsLevel>, levels);
        LibraryEnv f;
        f.writeProgramFile(u"Level.db"_s, lines);
        if (!message.isEmpty())
            f.env.ui.expectMessageStartingWith(message, u"Lumivale"_s);
        readLibrary(f);
        QVERIFY(sameLevels(f.manager(), levels));
    }

    void noLevelFileGivesTheLevelNew()
    {
        LibraryEnv f;
        readLibrary(f);
        QVERIFY(sameLevels(f.manager(), {{u"LevelNew"_s, u"New"_s}}));
    }

    // The library is new when there is no scenery file of either kind; otherwise the flag is left as
    // it was.
    void newOnlyWithoutASceneryFile_data()
    {
        QTest::addColumn<QString>("sceneryFile"); // "" for none
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("none") << QString() << false << true;
        QTest::newRow("Lumivale.db5, flag was true") << u"Lumivale.db5"_s << true << true;
        QTest::newRow("Lumivale.db5, flag was false") << u"Lumivale.db5"_s << false << false;
        QTest::newRow("Lumivale.db, flag was false") << u"Lumivale.db"_s << false << false;
    }

    void newOnlyWithoutASceneryFile()
    {
        QFETCH(QString, sceneryFile);
        QFETCH(bool, before);
        QFETCH(bool, after);
        LibraryEnv f;
        if (sceneryFile == u"Lumivale.db5"_s)
            f.writeProgramFile(sceneryFile, {Header});
        if (sceneryFile == u"Lumivale.db"_s)
            f.env.writeFile(f.programFile(sceneryFile), testDataFile(u"olddb-full"_s, sceneryFile));
        bool isNew = before;
        f.manager().readDB(isNew);
        QCOMPARE(isNew, after);
    }
};

QTEST_GUILESS_MAIN(TestLibraryDb)
#include "tst_librarydb.moc"
