// The scenery zip file: packed from the scenery's file list, installed back by the list.

#include "app/filelistpanel.h"
#include "install/sceneryinstaller.h"
#include "packaging/sceneryzip.h"
#include "platform/archive.h"
#include "platform/filefaults.h"
#include "support/librarybuilder.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Folder = u"C:\\Sceneries\\Alps"_s;
const QString OutFolder = u"C:\\Out\\"_s;
const QString ChooserTitle = u"Select folder and define Zip-Name"_s;

// A scenery "Alps" kept in C:\Sceneries\Alps, in the library of FS2002 in C:\FS2002, with the
// installation's temporary folder inside the test's own folder.
struct Fixture
{
    Fixture()
    {
        QDir().mkpath(lib.env.rootHost() + u"/tmp"_s);
        qputenv("TMPDIR", QFile::encodeName(lib.env.rootHost() + u"/tmp"_s));
        QDir().mkpath(lib.env.host(OutFolder));
        scenery = Library().scenery(u"Alps"_s, {.author = u"Ann"_s, .localPath = Folder}).record(u"Alps"_s);
    }

    TestEnv &env() { return lib.env; }

    // The file list "Create new file list" makes of every file below the scenery's folder.
    FileList createList()
    {
        FileList entries;
        const Outcome made = FileListPanel::create(env().fs, Folder, scenery, entries);
        if (!made.isDone())
            qFatal("the file list could not be made");
        return entries;
    }
    void writeList(const FileList &entries)
    {
        FileListWriter(env().fs).write(Folder + u"\\LumivaleFileList.db"_s, scenery, entries);
    }

    // The save chooser is to be answered with the archive's name.
    void choose(const QString &archive) { env().ui.expectFile(archive, ChooserTitle); }
    // The command, with the folder memory's "CreateZIP" at OutFolder.
    Outcome run()
    {
        PackagingCommands::FolderMemoryFns folders;
        folders.getDicPath = [this](const QString &key) {
            asked << key;
            return OutFolder;
        };
        folders.setDicPath = [this](const QString &key, const QString &folder) { remembered[key] = folder; };
        return PackagingCommands::mnuWizardCreateZip_Click(env().context, lib.manager(), scenery, folders,
                                                           [this](const QString &text) { status << text; });
    }

    // The entry names of an archive, in order.
    QStringList entries(const QString &archive)
    {
        QStringList names;
        Unzip unzip(env().fs);
        unzip.archive = archive;
        unzip.FileInfo = [&names](const QString &file, const QString &folder) {
            names << QString(folder + file).replace(u'\\', u'/');
        };
        unzip.listEntries();
        return names;
    }

    LibraryEnv lib;
    clsScenery scenery;
    QStringList asked;
    QHash<QString, QString> remembered;
    QStringList status;
};

enum class Fault { MissingSource, WriteFails, Cancel, LongPathCancelled };

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestSceneryZip : public QObject
{
    Q_OBJECT

private slots:
    // A scenery packed from the list "Create new file list" made installs back, by that list, into
    // the same files in another simulator's folder, its descriptive fields with it.
    void roundTrip()
    {
        Fixture packer;
        const Files scenery{{u"Scenery/AREA.BGL"_s, patterned(70000)},
                            {u"Scenery/Sub/deep.bgl"_s, "deep"},
                            {u"Texture/area.bmp"_s, patterned(3000, 7)},
                            {u"readme.txt"_s, "Read me\r\n"}};
        for (auto file = scenery.cbegin(); file != scenery.cend(); ++file)
            packer.env().writeFile(Folder + u'\\' + QString(file.key()).replace(u'/', u'\\'), file.value());
        const FileList list = packer.createList();
        const QString zip = OutFolder + u"Alps.zip"_s;

        packer.choose(zip);
        QVERIFY(packer.run().isDone());
        QVERIFY(packer.env().ui.allShown());
        QCOMPARE(packer.status, (QStringList{u"Create scenery zip file."_s, u"Ready."_s}));
        QCOMPARE(packer.asked, QStringList{u"CreateZIP"_s});
        QCOMPARE(packer.remembered.value(u"CreateZIP"_s), OutFolder);
        // The progress window named each file as its turn came, in list order (a file that takes
        // long is named again).
        QStringList sources, shown;
        for (const FileListEntry &entry : list)
            sources << entry.Source;
        for (const ScriptedUi::ProgressStep &step : packer.env().ui.progressSteps()) {
            if (shown.isEmpty() || shown.constLast() != step.item)
                shown << step.item;
        }
        QCOMPARE(shown, sources);
        QVERIFY(packer.entries(zip).contains(u"LumivaleFileList.db"_s));

        Fixture installer;
        const QString zipThere = u"C:\\Downloads\\Alps.zip"_s;
        installer.env().writeFile(zipThere, packer.env().readFile(zip));
        const QString dest = u"C:\\FS2002\\Addon Scenery\\Alps"_s;
        InstallRequest request;
        request.title = u"Alps"_s;
        request.way = InstallWay::Archive;
        request.source = zipThere;
        request.destination = dest;
        request.archiveMode = ArchiveMode::FileList;
        request.content = SceneryInstaller::listContent(installer.env().fs, zipThere);
        SceneryInstaller install(installer.env().context, installer.lib.manager());
        QVERIFY(install.install(request).isDone());
        QVERIFY(sameFiles(filesBelow(installer.env().host(dest)), filesBelow(packer.env().host(Folder))));
        QCOMPARE(install.record()->Author, u"Ann"_s);
    }

    // What the command will not pack: a scenery without a Local path, a list without entries.
    void refusals_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("status");
        QTest::newRow("no Local path") << QString() << u"Please choose a local path first."_s
                                       << u"Can not create new file list"_s << QStringList();
        QTest::newRow("only [FileList]")
            << Folder << u"Create a filelist for your scenery first."_s << u"Can not create ZIP-File"_s
            << QStringList{u"Create scenery zip file."_s, u"Ready."_s};
    }

    void refusals()
    {
        QFETCH(QString, localPath);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QStringList, status);
        Fixture f;
        f.scenery.LocalPath = localPath;
        f.env().writeFile(Folder + u"\\LumivaleFileList.db"_s,
                          windowsText({u"[Lumivale V 1.5]"_s, u"[FileList]"_s}));
        f.env().ui.expectMessage(text, title, UiPort::Answer::Ok,
                                 localPath.isEmpty() ? UiPort::Icon::Information : UiPort::Icon::Exclamation);
        QVERIFY(PackagingCommands::mnuWizardCreateZip_Click(f.env().context, f.lib.manager(), f.scenery, {},
                                                            [&f](const QString &s) { f.status << s; })
                    .isRefused());
        QVERIFY(f.env().ui.allShown());
        QCOMPARE(f.status, status);
    }

    // The name is taken as typed: no extension added. Files of the scenery's folder are stored
    // below it, a file from elsewhere with its folders below the drive, in list order.
    void namesAsGiven()
    {
        Fixture f;
        f.env().writeFile(Folder + u"\\Scenery\\AREA.BGL"_s, "bgl");
        f.env().writeFile(u"C:\\FS2002\\Texture\\shared.bmp"_s, "bmp");
        f.writeList({{u"shared.bmp"_s, u"FSRoot\\Texture"_s, u"C:\\FS2002\\Texture\\shared.bmp"_s},
                     {u"AREA.BGL"_s, u"MySceneryBase\\Scenery"_s, Folder + u"\\Scenery\\AREA.BGL"_s}});
        f.choose(OutFolder + u"Alps"_s);
        QVERIFY(f.run().isDone());
        QVERIFY(f.env().ui.allShown());
        QVERIFY(f.env().fs.fileExists(OutFolder + u"Alps"_s));
        QCOMPARE(f.entries(OutFolder + u"Alps"_s),
                 (QStringList{u"FS2002/Texture/shared.bmp"_s, u"Scenery/AREA.BGL"_s}));
    }

    // A Source gone since the list was made, a disk failing while the archive is written, a Cancel
    // in the progress window and one to the question about a Source longer than 79 characters
    // leave no archive (and no piece of one) and a file of that name as it was; the failures are
    // reported naming what failed. A failing commit is proved on the archive writer itself.
    void nothingHalfDone_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QByteArray>("before"); // the file of that name; empty: none
        QTest::newRow("Source gone, a file there") << Fault::MissingSource << QByteArray("old zip");
        QTest::newRow("write fails, a file there") << Fault::WriteFails << QByteArray("old zip");
        QTest::newRow("Cancel, a file there") << Fault::Cancel << QByteArray("old zip");
        QTest::newRow("long path cancelled") << Fault::LongPathCancelled << QByteArray();
    }

    void nothingHalfDone()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, before);
        Fixture f;
        const QString zip = OutFolder + u"Alps.zip"_s;
        f.env().writeFile(Folder + u"\\Scenery\\AREA.BGL"_s, patterned(200000));
        f.env().writeFile(Folder + u"\\Texture\\area.bmp"_s, patterned(100000, 3));
        f.env().writeFile(Folder + u"\\readme.txt"_s, "text");
        const QString longSource = Folder + u'\\' + QString(80 - Folder.size() - 1, u'x');
        if (fault == Fault::LongPathCancelled)
            f.env().writeFile(longSource, "long");
        f.writeList(f.createList());
        if (!before.isEmpty())
            f.env().writeFile(zip, before);
        const QString gone = Folder + u"\\Texture\\area.bmp"_s;
        if (fault == Fault::MissingSource)
            QVERIFY(QFile::remove(f.env().host(gone)));

        f.choose(zip);
        FileFaultPlan plan;
        if (fault == Fault::WriteFails)
            plan.failAt(FileStep::Write, 2, u"Alps.zip"_s);
        if (fault == Fault::Cancel)
            f.env().ui.cancelProgressAt(2);
        else if (fault == Fault::LongPathCancelled)
            f.env().ui.expectMessage(Zip::longPathMessage(longSource), u"Cannot zip file!"_s,
                                     UiPort::Answer::Cancel);
        else if (fault == Fault::MissingSource)
            f.env().ui.expectMessage(u".mnuWizardCreateZip_Click\nError: 53\nFile not found (%1)"_s.arg(gone),
                                     u"Lumivale"_s, UiPort::Answer::Ok, UiPort::Icon::Critical);
        else
            f.env().ui.expectMessageStartingWith(u".mnuWizardCreateZip_Click\nError: %1\n"_s.arg(
                                                     LmError::UserBase + ArchiveError::ArchiveNotWritten),
                                                 u"Lumivale"_s);
        const Outcome outcome = f.run();

        QVERIFY(f.env().ui.allShown());
        const bool cancelled = fault == Fault::Cancel || fault == Fault::LongPathCancelled;
        QCOMPARE(outcome.isStopped(), cancelled);
        QCOMPARE(outcome.isFailed(), !cancelled);
        QCOMPARE(plan.struck(), fault == Fault::WriteFails);
        Files left;
        if (!before.isEmpty())
            left.insert(u"Alps.zip"_s, before);
        QVERIFY(sameFiles(filesBelow(f.env().host(OutFolder)), left));
        QCOMPARE(f.status.constLast(), u"Ready."_s);
    }
};

QTEST_GUILESS_MAIN(TestSceneryZip)
#include "tst_sceneryzip.moc"
