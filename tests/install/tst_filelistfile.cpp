// "LumivaleFileList.db": written byte for byte, read back entry by entry, and its field lines
// applied to a new record.

#include "install/filelistfile.h"
#include "platform/lmerror.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FileList)

namespace {
const QString ListPath = u"C:\\Sceneries\\Area\\LumivaleFileList.db"_s;
}

class tst_FileListFile : public QObject
{
    Q_OBJECT

private slots:
    void writesEveryLine_data();
    void writesEveryLine();
    void readsEntries_data();
    void readsEntries();
    void missingFileIsAnEmptyList();
    void entryLineWithoutSeparatorFails();
    void fieldLinesSetTheRecord();
};

void tst_FileListFile::writesEveryLine_data()
{
    QTest::addColumn<clsScenery>("record");
    QTest::addColumn<FileList>("entries");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty areas: ten field lines")
        << sceneryRecord(u"SceneryNew\\Area"_s, u"Area"_s, {.author = u"Jos\u00e9"_s, .flySim = 12})
        << FileList{{u"AREA.BGL"_s, u"MySceneryBase\\Scenery"_s, u"C:\\Sceneries\\Area\\Scenery\\AREA.BGL"_s}}
        << QByteArray("[Lumivale V 1.5]\r\nTexture_ID=0\r\nGroup=\r\nID=\r\nGroupId=0\r\nAuthor=Jos\xe9\r\n"
                      "Comment=\r\nFlySim=12\r\nSalesType=0\r\nVersion=\r\n[FileList]\r\n"
                      "AREA.BGL=MySceneryBase\\Scenery!C:\\Sceneries\\Area\\Scenery\\AREA.BGL\r\n");
    QTest::newRow("exclude, one flatten, negative number, line break in a value")
        << sceneryRecord(u"SceneryNew\\Area"_s, u"Area"_s,
                         {.comment = u"two\r\nlines"_s,
                          .exclude = u"1,2,3,4"_s,
                          .flatten = {{3, u"5,6,7,8,100"_s}},
                          .group = u"G"_s,
                          .groupId = 7,
                          .id = u"I"_s,
                          .salesType = 2,
                          .textureId = -1,
                          .version = u"1.0"_s})
        << FileList{}
        << QByteArray("[Lumivale V 1.5]\r\nTexture_ID=-1\r\nGroup=G\r\nID=I\r\nGroupId=7\r\nAuthor=\r\n"
                      "Comment=two  lines\r\nFlySim=0\r\nSalesType=2\r\nVersion=1.0\r\nExclude=1,2,3,4\r\n"
                      "Flatten.3=5,6,7,8,100\r\n[FileList]\r\n");
}

void tst_FileListFile::writesEveryLine()
{
    QFETCH(clsScenery, record);
    QFETCH(FileList, entries);
    QFETCH(QByteArray, bytes);
    TestEnv env;
    env.writeFile(ListPath, "old content that is longer than the new one");

    QVERIFY(FileListWriter(env.fs).write(ListPath, record, entries).isDone());

    QCOMPARE(env.readFile(ListPath), bytes);
}

void tst_FileListFile::readsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FileList>("entries");

    QTest::newRow("split at the first = and the first !")
        << windowsText(
               {u"[FileList]"_s, u"A=B.BGL=FSRoot\\x!y!C:\\a=b"_s, u"C.BMP=MySceneryBase\\Texture!"_s})
        << FileList{{u"A"_s, u"B.BGL=FSRoot\\x"_s, u"y!C:\\a=b"_s},
                    {u"C.BMP"_s, u"MySceneryBase\\Texture"_s, {}}};
    QTest::newRow("lines up to [FileList] never examined")
        << windowsText({u"no header"_s, u"X.BGL=nothing to split"_s, u"[filelist]"_s, u"[FileList]"_s,
                        u"[FileList]=a!b"_s})
        << FileList{{u"[FileList]"_s, u"a"_s, u"b"_s}};
    QTest::newRow("no [FileList]") << windowsText({u"[Lumivale V 1.5]"_s, u"A.BGL=x!y"_s}) << FileList{};
    QTest::newRow("LF line ends, single-byte text")
        << QByteArray("[FileList]\nCAF\xc9.BGL=MySceneryBase!C:\\x\n")
        << FileList{{u"CAF\u00c9.BGL"_s, u"MySceneryBase"_s, u"C:\\x"_s}};
}

void tst_FileListFile::readsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(FileList, entries);
    TestEnv env;
    env.writeFile(ListPath, bytes);
    FileListReader reader(env.fs);

    QVERIFY(reader.read(ListPath).isDone());

    QVERIFY(reader.found());
    QCOMPARE(reader.entries(), entries);
}

void tst_FileListFile::missingFileIsAnEmptyList()
{
    TestEnv env;
    FileListReader reader(env.fs);

    QVERIFY(reader.read(ListPath).isDone());

    QVERIFY(!reader.found());
    QVERIFY(reader.entries().isEmpty());
}

void tst_FileListFile::entryLineWithoutSeparatorFails()
{
    TestEnv env;
    env.writeFile(ListPath, windowsText({u"[FileList]"_s, u"A.BGL=x!y"_s, u"B.BGL=no source"_s, u"C=d!e"_s}));
    FileListReader reader(env.fs);

    const Outcome outcome = reader.read(ListPath);

    QVERIFY(outcome.isFailed());
    QCOMPARE(outcome.error().number(), 5);
    QVERIFY2(outcome.error().description().contains(u"Line 3"_s), qPrintable(outcome.error().description()));
    QCOMPARE(reader.entries(), (FileList{{u"A.BGL"_s, u"x"_s, u"y"_s}}));
}

void tst_FileListFile::fieldLinesSetTheRecord()
{
    TestEnv env;
    env.writeFile(ListPath,
                  windowsText({u"ID=first line is never a field"_s, u"Texture_ID=3"_s, u"Group=G=H"_s,
                               u"GroupId=4"_s, u"Author=A"_s, u"Comment=C"_s, u"FlySim=8"_s, u"SalesType=1"_s,
                               u"Version=V"_s, u"Exclude=1,2,3,4"_s, u"Flatten.9=9,9,9,9,9"_s,
                               u"flatten.1=ignored"_s, u"Unknown=x"_s, u"[FileList]"_s}));
    FileListReader reader(env.fs);
    QVERIFY(reader.read(ListPath).isDone());
    clsScenery record = sceneryRecord(u"SceneryNew\\T"_s, u"T"_s);

    reader.applyFields(record);

    QVERIFY(sameScenery(record, sceneryRecord(u"SceneryNew\\T"_s, u"T"_s,
                                              {.author = u"A"_s,
                                               .comment = u"C"_s,
                                               .exclude = u"1,2,3,4"_s,
                                               .flatten = {{9, u"9,9,9,9,9"_s}},
                                               .flySim = 8,
                                               .group = u"G=H"_s,
                                               .groupId = 4,
                                               .salesType = 1,
                                               .textureId = 3,
                                               .version = u"V"_s})));

    env.writeFile(ListPath, windowsText({u"[Lumivale V 1.5]"_s, u"FlySim=many"_s, u"[FileList]"_s}));
    QVERIFY(reader.read(ListPath).isDone());
    QVERIFY_THROWS_EXCEPTION(LmError, reader.applyFields(record));
}

QTEST_GUILESS_MAIN(tst_FileListFile)
#include "tst_filelistfile.moc"
