// Installing a scenery: the placement rules, the three ways and the three archive modes on
// archives made here, what is refused or asked before files are touched, and cancelling.

#include "install/sceneryinstaller.h"
#include "library/scenerymanager.h"
#include "platform/archive.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <zip.h>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;

Q_DECLARE_METATYPE(ContentList)
Q_DECLARE_METATYPE(ArchiveMode)
Q_DECLARE_METATYPE(DestinationKind)
Q_DECLARE_METATYPE(UiPort::Answer)

namespace {

const QString SimFolder = u"C:\\FS2002"_s;
const QString Dest = u"C:\\Addons\\Alps"_s;
const QString SceneryPatterns = u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s;
const QString TexturePatterns = u"*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn"_s;
const QString ReplaceQuestion = u"Files of this scenery exist already where they are to go"_s;
const QString OutsideQuestion = u"The file list of this scenery installs files outside the scenery folder:"_s;

// Entry name ("Scenery/AREA.BGL") -> content.
using Entries = QList<QPair<QByteArray, QByteArray>>;

// FS2002 in C:\FS2002, its library, and the temporary folder inside the test's own folder.
struct Fixture
{
    Fixture() : installer(lib.env.context, lib.manager())
    {
        QDir().mkpath(lib.env.rootHost() + u"/tmp"_s);
        QDir().mkpath(lib.env.rootHost() + u"/d"_s);
        DriveMap drives = lib.env.fs.driveMap();
        drives.setDrive(u'D', lib.env.rootHost() + u"/d"_s);
        lib.env.fs.setDriveMap(drives);
        qputenv("TMPDIR", QFile::encodeName(lib.env.rootHost() + u"/tmp"_s));
        installer.progress = [this](const QString &file) { progress << file; };
    }

    TestEnv &env() { return lib.env; }

    // A zip file at a Windows path with the entries in order.
    void makeZip(const QString &path, const Entries &entries)
    {
        env().writeFile(path);
        int error = 0;
        zip_t *z =
            zip_open(QFile::encodeName(env().host(path)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        QVERIFY(z);
        for (const auto &[name, bytes] : entries) {
            void *copy = malloc(size_t(bytes.size()) + 1);
            memcpy(copy, bytes.constData(), size_t(bytes.size()));
            zip_source_t *source = zip_source_buffer(z, copy, zip_uint64_t(bytes.size()), 1);
            QVERIFY(zip_file_add(z, name.constData(), source, 0) >= 0);
        }
        QCOMPARE(zip_close(z), 0);
    }

    InstallRequest archive(const QString &zip, ArchiveMode mode, const QString &title = u"Alps"_s)
    {
        InstallRequest request;
        request.title = title;
        request.way = InstallWay::Archive;
        request.source = zip;
        request.destination = Dest;
        request.archiveMode = mode;
        request.content = SceneryInstaller::listContent(env().fs, zip);
        request.sceneryPatterns = SceneryPatterns;
        request.texturePatterns = TexturePatterns;
        return request;
    }

    InstallRequest folder(const QString &source)
    {
        InstallRequest request;
        request.title = u"Alps"_s;
        request.way = InstallWay::SourceFolder;
        request.source = source;
        request.destination = Dest;
        request.sceneryPatterns = SceneryPatterns;
        request.texturePatterns = TexturePatterns;
        return request;
    }

    QByteArray read(const QString &path) { return env().readFile(path); }
    bool exists(const QString &path) { return env().fs.fileExists(path) || env().fs.folderExists(path); }
    // The places of the files the installer reports, in order.
    QStringList placed() const
    {
        QStringList to;
        for (const PlacedFile &file : installer.files())
            to << file.to;
        return to;
    }

    LibraryEnv lib;
    SceneryInstaller installer;
    QStringList progress;
};

} // namespace

class tst_SceneryInstaller : public QObject
{
    Q_OBJECT

private slots:
    void patterns_data();
    void patterns();
    void moveToFolder_data();
    void moveToFolder();
    void normalisePath_data();
    void normalisePath();
    void fileListDestinations_data();
    void fileListDestinations();
    void preselection_data();
    void preselection();

    void installedFolder();
    void sourceFolder();
    void automaticDistributionWithSubZip();
    void fileListMode_data();
    void fileListMode();
    void archivePathLength_data();
    void archivePathLength();

    void takenTitleTouchesNothing();
    void archiveLargerThanFreeSpace();
    void internalPathsKeptEscapingOnesRefused();
    void replaceAskedOnce_data();
    void replaceAskedOnce();
    void cancelStopsBetweenFiles();
    void relativeToSimulatorFolder_data();
    void relativeToSimulatorFolder();
};

void tst_SceneryInstaller::patterns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("matches");

    QTest::newRow("* any run") << u"AREA.BGL"_s << u"*.BGL"_s << true;
    QTest::newRow("* backs up") << u"ABCBCD.X"_s << u"*BCD.X"_s << true;
    QTest::newRow("* covers the whole name") << u"AREA.BGLX"_s << u"*.BGL"_s << false;
    QTest::newRow("? one character") << u"A.BMF"_s << u"*.??F"_s << true;
    QTest::newRow("? not none") << u"A.BF"_s << u"*.??F"_s << false;
    QTest::newRow("# a digit") << u"X7.BGL"_s << u"X#.BGL"_s << true;
    QTest::newRow("# not a letter") << u"XA.BGL"_s << u"X#.BGL"_s << false;
    QTest::newRow("[list]") << u"C.X"_s << u"[ABC].X"_s << true;
    QTest::newRow("[range] outside") << u"D.X"_s << u"[A-C].X"_s << false;
    QTest::newRow("[!list]") << u"D.X"_s << u"[!A-C].X"_s << true;
    QTest::newRow("unclosed bracket") << u"[A.X"_s << u"[A.X"_s << false;
    QTest::newRow("empty pattern, name") << u"A"_s << QString() << false;
}

void tst_SceneryInstaller::patterns()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    QFETCH(bool, matches);
    QCOMPARE(SceneryInstaller::matchesPattern(name, pattern), matches);
}

void tst_SceneryInstaller::moveToFolder_data()
{
    QTest::addColumn<qint32>("simType");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sceneryPatterns");
    QTest::addColumn<QString>("folder");

    QTest::newRow("scenery") << 1 << u"AREA.BGL"_s << SceneryPatterns << Dest + u"\\Scenery\\"_s;
    QTest::newRow("texture, lower case") << 1 << u"area.bmp"_s << SceneryPatterns << Dest + u"\\Texture\\"_s;
    QTest::newRow("other") << 1 << u"readme.txt"_s << SceneryPatterns << Dest + u"\\"_s;
    QTest::newRow("FLT FS2002") << 1 << u"X.FLT"_s << SceneryPatterns << SimFolder + u"\\flights\\myflts\\"_s;
    QTest::newRow("FLT CFS2") << 2 << u"X.FLT"_s << SceneryPatterns << Dest + u"\\"_s;
    QTest::newRow("WX FS2000") << 0 << u"x.wx"_s << SceneryPatterns << SimFolder + u"\\Pilots\\"_s;
    QTest::newRow("scenery pattern before FLT") << 1 << u"X.FLT"_s << u"*.flt"_s << Dest + u"\\Scenery\\"_s;
    QTest::newRow("empty pattern skipped") << 1 << u"X.ABC"_s << u"*.bgl;;*.abc"_s << Dest + u"\\Scenery\\"_s;
}

void tst_SceneryInstaller::moveToFolder()
{
    QFETCH(qint32, simType);
    QFETCH(QString, name);
    QFETCH(QString, sceneryPatterns);
    QFETCH(QString, folder);
    Fixture f;
    f.lib.manager().SimType = simType;

    QCOMPARE(f.installer.GetMoveToFolder(Dest, name, sceneryPatterns, TexturePatterns), folder);
}

void tst_SceneryInstaller::normalisePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normalised");

    QTest::newRow("scenery folder") << u"C:\\Sims\\X\\scenery"_s << u"C:\\Sims\\X\\"_s;
    QTest::newRow("drive") << u"C:"_s << u"C:"_s;
    QTest::newRow("name ending in scenery") << u"C:\\Addon\\MyScenery"_s << u"C:\\Addon\\MyScenery\\"_s;
    QTest::newRow("ends in \\") << u"D:\\A\\"_s << u"D:\\A\\"_s;
}

void tst_SceneryInstaller::normalisePath()
{
    QFETCH(QString, path);
    QFETCH(QString, normalised);
    QCOMPARE(SceneryInstaller::NormalisePath(path), normalised);
}

void tst_SceneryInstaller::fileListDestinations_data()
{
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("file");
    QTest::addColumn<DestinationKind>("kind");
    QTest::addColumn<QString>("path");

    QTest::newRow("scenery folder") << u"MySceneryBase\\Scenery"_s << u"A.BGL"_s
                                    << DestinationKind::SceneryFolder << Dest + u"\\Scenery\\A.BGL"_s;
    QTest::newRow("scenery folder itself")
        << u"MySceneryBase"_s << u"R.TXT"_s << DestinationKind::SceneryFolder << Dest + u"\\R.TXT"_s;
    QTest::newRow("simulator folder")
        << u"FSRoot\\Texture"_s << u"G.BMP"_s << DestinationKind::SimulatorFolder
        << SimFolder + u"\\Texture\\G.BMP"_s;
    QTest::newRow("absolute") << u"AbsolutePath\\D:\\Tools"_s << u"T.EXE"_s << DestinationKind::Absolute
                              << u"D:\\Tools\\T.EXE"_s;
    QTest::newRow(".. climbs out") << u"MySceneryBase\\..\\..\\Windows"_s << u"A.DLL"_s
                                   << DestinationKind::Refused << QString();
    QTest::newRow("drive inside FSRoot")
        << u"FSRoot\\C:\\Windows"_s << u"A.DLL"_s << DestinationKind::Refused << QString();
    QTest::newRow("file name with a folder")
        << u"MySceneryBase"_s << u"..\\A.DLL"_s << DestinationKind::Refused << QString();
    QTest::newRow("relative without root")
        << u"Scenery"_s << u"A.BGL"_s << DestinationKind::Refused << QString();
    QTest::newRow("root word glued on")
        << u"MySceneryBaseX"_s << u"A.BGL"_s << DestinationKind::Refused << QString();
}

void tst_SceneryInstaller::fileListDestinations()
{
    QFETCH(QString, destination);
    QFETCH(QString, file);
    QFETCH(DestinationKind, kind);
    QFETCH(QString, path);
    Fixture f;

    QCOMPARE(destinationKind(destination, file), kind);
    if (kind != DestinationKind::Refused)
        QCOMPARE(f.installer.GetMoveToFromFL(destination, file, Dest + u"\\"_s), path);
}

void tst_SceneryInstaller::preselection_data()
{
    QTest::addColumn<ContentList>("content");
    QTest::addColumn<ArchiveMode>("mode");

    QTest::newRow("file list wins over scenery folder")
        << ContentList{{u"A.BGL"_s, u"scenery\\"_s}, {u"LumivaleFileList.db"_s, {}}} << ArchiveMode::FileList;
    QTest::newRow("Scenery folder") << ContentList{{u"A.BGL"_s, u"Scenery\\"_s}} << ArchiveMode::WinzipPath;
    QTest::newRow("file list name differs in case")
        << ContentList{{u"lumivalefilelist.db"_s, {}}, {u"A.BGL"_s, u"Alps\\Scenery\\"_s}}
        << ArchiveMode::Automatic;
}

void tst_SceneryInstaller::preselection()
{
    QFETCH(ContentList, content);
    QFETCH(ArchiveMode, mode);
    QCOMPARE(SceneryInstaller::preselectedMode(content), mode);
}

void tst_SceneryInstaller::installedFolder()
{
    Fixture f;
    f.env().writeFile(u"D:\\Sceneries\\Rome\\readme.txt"_s, windowsText({u"flatten.2=1,2,3,4,5"_s}));
    InstallRequest request;
    request.title = u"Rome\\Old"_s;
    request.sceneryPath = u"D:\\Sceneries\\Rome\\Scenery"_s;

    QVERIFY(f.installer.install(request).isDone());

    QVERIFY(sameScenery(*f.installer.record(), sceneryRecord(u"SceneryNew\\Rome/Old"_s, u"Rome/Old"_s,
                                                             {.active = true,
                                                              .flatten = {{2, u"1,2,3,4,5"_s}},
                                                              .isLocalPath = true,
                                                              .localPath = u"D:\\Sceneries\\Rome\\"_s})));
    QVERIFY(f.installer.files().isEmpty());
}

void tst_SceneryInstaller::sourceFolder()
{
    Fixture f;
    const QString src = u"D:\\Download\\Alps"_s;
    f.env().writeFile(src + u"\\AREA.BGL"_s, "bgl");
    f.env().writeFile(src + u"\\area.bmp"_s, "bmp");
    f.env().writeFile(src + u"\\X.FLT"_s, "flt");
    f.env().writeFile(src + u"\\readme.txt"_s, windowsText({u"exclude=9,9,9,9"_s, u"  exclude = 1,2,3,4"_s,
                                                            u"FLATTEN.3=5,6,7,8,9"_s}));
    f.env().writeFile(src + u"\\Sub\\NOT.BGL"_s, "not copied");
    f.env().writeFile(Dest + u"\\Scenery\\AREA.BGL"_s, "old");

    QVERIFY(f.installer.install(f.folder(src)).isDone());

    QCOMPARE(f.placed(), (QStringList{Dest + u"\\Scenery\\AREA.BGL"_s, Dest + u"\\Texture\\area.bmp"_s,
                                      Dest + u"\\readme.txt"_s, SimFolder + u"\\flights\\myflts\\X.FLT"_s}));
    QCOMPARE(f.read(Dest + u"\\Scenery\\AREA.BGL"_s), "bgl");
    QVERIFY(f.exists(src + u"\\AREA.BGL"_s));
    QVERIFY(!f.exists(Dest + u"\\NOT.BGL"_s) && !f.exists(Dest + u"\\Scenery\\NOT.BGL"_s));
    const clsScenery &record = *f.installer.record();
    QCOMPARE(record.LocalPath, Dest + u"\\"_s);
    QCOMPARE(record.Exclude, u"1,2,3,4"_s);
    QCOMPARE(record.Flatten(3), u"5,6,7,8,9"_s);
}

void tst_SceneryInstaller::automaticDistributionWithSubZip()
{
    Fixture f;
    const QString inner = u"D:\\inner.zip"_s;
    f.makeZip(inner, {{"Scenery/IN.BGL", "in"}});
    const QByteArray innerBytes = f.read(inner);
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"Alps/AREA.BGL", "bgl"},
                    {"Alps/Textures/A.BMP", "bmp"},
                    {"read.txt", "EXCLUDE=1,1,2,2"},
                    {"more/Extra.ZIP", innerBytes}});
    InstallRequest request = f.archive(zip, ArchiveMode::Automatic);
    request.subZips = true;

    const Outcome outcome = f.installer.install(request);

    QVERIFY2(outcome.isDone(), qPrintable(outcome.error().description()));
    QCOMPARE(f.placed(), (QStringList{Dest + u"\\Scenery\\AREA.BGL"_s, Dest + u"\\Texture\\A.BMP"_s,
                                      Dest + u"\\read.txt"_s, Dest + u"\\Extra.ZIP"_s,
                                      Dest + u"\\Extra\\Scenery\\IN.BGL"_s}));
    QCOMPARE(f.read(Dest + u"\\Extra\\Scenery\\IN.BGL"_s), "in");
    QCOMPARE(f.installer.record()->Exclude, u"1,1,2,2"_s);
    QVERIFY(f.progress.contains(u"Placing Alps\\AREA.BGL"_s));
}

void tst_SceneryInstaller::fileListMode_data()
{
    QTest::addColumn<Answer>("outside");
    QTest::addColumn<QStringList>("placed");
    QTest::addColumn<QStringList>("skipped");

    const QString list = Dest + u"\\LumivaleFileList.db"_s;
    QTest::newRow("outside files installed")
        << Answer::Yes
        << QStringList{Dest + u"\\Scenery\\AREA.BGL"_s, SimFolder + u"\\Texture\\GLOBAL.BMP"_s,
                       u"D:\\Tools\\T.EXE"_s, list}
        << QStringList{};
    QTest::newRow("outside files left out")
        << Answer::No << QStringList{Dest + u"\\Scenery\\AREA.BGL"_s, list}
        << QStringList{SimFolder + u"\\Texture\\GLOBAL.BMP"_s, u"D:\\Tools\\T.EXE"_s};
}

void tst_SceneryInstaller::fileListMode()
{
    QFETCH(Answer, outside);
    QFETCH(QStringList, placed);
    QFETCH(QStringList, skipped);
    Fixture f;
    const QByteArray list = windowsText(
        {u"[Lumivale V 1.5]"_s, u"Author=Ann"_s, u"FlySim=8"_s, u"Exclude=1,2,3,4"_s,
         u"Flatten.1=1,1,1,1,1"_s, u"[FileList]"_s, u"AREA.BGL=MySceneryBase\\Scenery!C:\\x\\AREA.BGL"_s,
         u"GLOBAL.BMP=FSRoot\\Texture!C:\\x\\GLOBAL.BMP"_s, u"T.EXE=AbsolutePath\\D:\\Tools!C:\\x\\T.EXE"_s,
         u"EVIL.DLL=MySceneryBase\\..\\..\\Windows!C:\\x\\EVIL.DLL"_s,
         u"GONE.BGL=MySceneryBase!C:\\x\\GONE.BGL"_s,
         u"LumivaleFileList.db=FSRoot!C:\\x\\LumivaleFileList.db"_s});
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"LumivaleFileList.db", list},
                    {"files/AREA.BGL", "bgl"},
                    {"GLOBAL.BMP", "bmp"},
                    {"T.EXE", "exe"},
                    {"EVIL.DLL", "dll"},
                    {"readme.txt", "EXCLUDE=9,9,9,9"}});
    f.env().ui.expectMessage(
        OutsideQuestion + u"\r\n"_s + SimFolder + u"\\Texture\\GLOBAL.BMP\r\nD:\\Tools\\T.EXE\r\n"_s +
            u"Do you want to install these files too? (No installs the scenery without them.)"_s,
        u"Install scenery"_s, outside);

    QVERIFY(f.installer.install(f.archive(zip, ArchiveMode::FileList)).isDone());

    QVERIFY(f.env().ui.allShown());
    QCOMPARE(f.placed(), placed);
    QCOMPARE(f.installer.skipped(), skipped);
    QCOMPARE(f.installer.refused(), QStringList{u"EVIL.DLL=MySceneryBase\\..\\..\\Windows"_s});
    QCOMPARE(f.read(Dest + u"\\LumivaleFileList.db"_s), list);
    QVERIFY(!f.exists(u"C:\\Windows\\EVIL.DLL"_s));
    // The list's fields, not the text file's, give the areas.
    QVERIFY(sameScenery(*f.installer.record(), sceneryRecord(u"SceneryNew\\Alps"_s, u"Alps"_s,
                                                             {.active = true,
                                                              .author = u"Ann"_s,
                                                              .exclude = u"1,2,3,4"_s,
                                                              .flatten = {{1, u"1,1,1,1,1"_s}},
                                                              .flySim = 8,
                                                              .isLocalPath = true,
                                                              .localPath = Dest + u"\\"_s})));
}

void tst_SceneryInstaller::archivePathLength_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("copied");
    QTest::newRow("79 given directly") << 79 << false;
    QTest::newRow("80 through the copy") << 80 << true;
}

void tst_SceneryInstaller::archivePathLength()
{
    QFETCH(int, length);
    QFETCH(bool, copied);
    Fixture f;
    const QString folder = u"D:\\"_s;
    const QString zip = folder + QString(length - folder.size() - 4, u'z') + u".zip"_s;
    QCOMPARE(zip.size(), length);
    f.makeZip(zip, {{"AREA.BGL", "bgl"}});
    const InstallRequest request = f.archive(zip, ArchiveMode::Automatic);
    FileFaultPlan plan;

    QVERIFY(f.installer.install(request).isDone());

    bool copiedToTemp = false;
    for (const FileFaultPlan::Step &s : plan.seen())
        copiedToTemp =
            copiedToTemp || (s.step == FileStep::Copy && s.hostPath.endsWith(u"/LumivaleTmp.zip"_s));
    QCOMPARE(copiedToTemp, copied);
    QCOMPARE(f.read(Dest + u"\\Scenery\\AREA.BGL"_s), "bgl");
}

void tst_SceneryInstaller::takenTitleTouchesNothing()
{
    Fixture f;
    Library().scenery(u"Alps/Old"_s).buildInto(f.lib.manager(), f.lib.tree);
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"AREA.BGL", "bgl"}});
    f.env().ui.expectMessage(u"The title for the scenery exists, please choose a different title."_s,
                             u"Scenery title exists"_s, Answer::Ok, UiPort::Icon::Exclamation);

    QVERIFY(f.installer.install(f.archive(zip, ArchiveMode::Automatic, u"Alps\\Old"_s)).isRefused());

    QVERIFY(!f.exists(Dest));
    QVERIFY(!f.installer.record());
}

void tst_SceneryInstaller::archiveLargerThanFreeSpace()
{
    Fixture f;
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"A.BGL", QByteArray(600, 'a')}, {"B.BGL", QByteArray(400, 'b')}});
    const InstallRequest request = f.archive(zip, ArchiveMode::Automatic);
    FileFaultPlan plan;
    plan.setFreeBytes(999);
    f.env().ui.expectMessage(
        u"The archive unpacks to 1000 bytes, but the destination C:\\Addons\\Alps has only 999 bytes free."_s,
        u"Could not install scenery."_s, Answer::Ok, UiPort::Icon::Critical);

    const Outcome outcome = f.installer.install(request);

    QVERIFY(outcome.isRefused());
    QVERIFY(!f.exists(Dest));
}

// An entry keeps its folder below the destination, whatever its kind; one leading out of it is
// refused.
void tst_SceneryInstaller::internalPathsKeptEscapingOnesRefused()
{
    Fixture f;
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"../../evil.bgl", "evil"},
                    {"C:/Windows/bad.dll", "bad"},
                    {"AREA.BGL", "bgl"},
                    {"Scenery/Sub/X.FLT", "flt"}});

    QVERIFY(f.installer.install(f.archive(zip, ArchiveMode::WinzipPath)).isDone());

    QCOMPARE(f.installer.refused(), (QStringList{u"../../evil.bgl"_s, u"C:/Windows/bad.dll"_s}));
    QCOMPARE(f.placed(), (QStringList{Dest + u"\\AREA.BGL"_s, Dest + u"\\Scenery\\Sub\\X.FLT"_s}));
    QVERIFY(!f.exists(u"C:\\evil.bgl"_s) && !f.exists(u"C:\\Addons\\evil.bgl"_s));
}

void tst_SceneryInstaller::replaceAskedOnce_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("area");
    QTest::addColumn<QStringList>("skipped");

    QTest::newRow("Yes replaces") << Answer::Yes << QByteArray("new") << QStringList{};
    QTest::newRow("No keeps and skips")
        << Answer::No << QByteArray("old")
        << QStringList{Dest + u"\\Scenery\\AREA.BGL"_s, Dest + u"\\Texture\\A.BMP"_s};
}

void tst_SceneryInstaller::replaceAskedOnce()
{
    QFETCH(Answer, answer);
    QFETCH(QByteArray, area);
    QFETCH(QStringList, skipped);
    Fixture f;
    f.env().writeFile(Dest + u"\\Scenery\\AREA.BGL"_s, "old");
    f.env().writeFile(Dest + u"\\Texture\\A.BMP"_s, "old");
    const QString zip = u"D:\\Alps.zip"_s;
    f.makeZip(zip, {{"AREA.BGL", "new"}, {"A.BMP", "new"}, {"B.BGL", "new"}});
    f.env().ui.expectMessageStartingWith(ReplaceQuestion, u"Install scenery"_s, answer);

    QVERIFY(f.installer.install(f.archive(zip, ArchiveMode::Automatic)).isDone());

    QVERIFY(f.env().ui.allShown());
    QCOMPARE(f.read(Dest + u"\\Scenery\\AREA.BGL"_s), area);
    QCOMPARE(f.read(Dest + u"\\Scenery\\B.BGL"_s), "new");
    QCOMPARE(f.installer.skipped(), skipped);
}

void tst_SceneryInstaller::cancelStopsBetweenFiles()
{
    Fixture f;
    const QString src = u"D:\\Download\\Alps"_s;
    for (const QString &name : {u"A.BGL"_s, u"B.BGL"_s, u"C.BGL"_s})
        f.env().writeFile(src + u'\\' + name, "bgl");
    f.installer.cancelRequested = [&f] { return f.progress.size() == 2; };

    QVERIFY(f.installer.install(f.folder(src)).isStopped());

    QVERIFY(!f.installer.record());
    QVERIFY(f.exists(Dest + u"\\Scenery\\A.BGL"_s));
    QVERIFY(f.exists(Dest + u"\\Scenery\\B.BGL"_s));
    QVERIFY(!f.exists(Dest + u"\\Scenery\\C.BGL"_s));
}

void tst_SceneryInstaller::relativeToSimulatorFolder_data()
{
    QTest::addColumn<QString>("localPath");
    QTest::addColumn<QString>("stored");

    QTest::newRow("inside") << SimFolder + u"\\Addon\\X\\"_s << u"Addon\\X\\"_s;
    QTest::newRow("other case stays") << u"C:\\fs2002\\Addon\\X\\"_s << u"C:\\fs2002\\Addon\\X\\"_s;
    QTest::newRow("folder sharing the start") << u"C:\\FS2002X\\A\\"_s << u"C:\\FS2002X\\A\\"_s;
}

void tst_SceneryInstaller::relativeToSimulatorFolder()
{
    QFETCH(QString, localPath);
    QFETCH(QString, stored);
    Fixture f;
    f.lib.manager().setFSPathForTesting(SimFolder);
    Library().scenery(u"Other"_s).buildInto(f.lib.manager(), f.lib.tree);
    const SceneryPtr record = SceneryInstaller::AddExistingScenery(u"X"_s, localPath);

    addInstalledScenery(f.lib.manager(), f.lib.tree, record);

    QCOMPARE(record->LocalPath, stored);
    QCOMPARE(f.lib.manager().colScenery.value(u"SceneryNew\\X"_s), record);
    QVERIFY(sameTree(f.lib.tree, {{u"LevelNew"_s, {}, u"New"_s},
                                  {u"SceneryNew\\Other"_s, u"LevelNew"_s, u"Other"_s},
                                  {u"SceneryNew\\X"_s, u"LevelNew"_s, u"X"_s}}));
    const TreeNode *node = f.lib.tree.node(u"SceneryNew\\X"_s);
    QCOMPARE(node->backColor(), NodeColor(rgb(255, 255, 0)));
    QCOMPARE(node->foreColor(), NodeColor(rgb(100, 100, 255)));
}

QTEST_GUILESS_MAIN(tst_SceneryInstaller)
#include "tst_sceneryinstaller.moc"
