// Every save path of the program, run once without faults to learn each disk step it takes, then
// once more per step with that step failing: the user is told which file, the operation fails,
// and every file below the test's folder holds either its old content or its new one, whole.

#include "backup/backupmanager.h"
#include "backup/texturemanager.h"
#include "install/filelistfile.h"
#include "install/sceneryinstaller.h"
#include "library/scenerymanager.h"
#include "packaging/fileiddiz.h"
#include "platform/filefaults.h"
#include "scenerycfg/frmselectsets.h"
#include "settings/programsettings.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>

#include <zip.h>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;

namespace {

const QString SimFolder = u"C:\\FS2002"_s;
const QString Cfg = SimFolder + u"\\Scenery.cfg"_s;
const QString Texture = SimFolder + u"\\Texture"_s;
const QString AlpsFolder = SimFolder + u"\\Addon Scenery\\Alps"_s;

// One installation for one run of a save: FS2002 in C:\FS2002 with its library, a drive D: for
// sources, and the temporary folder inside the test's own folder, so that nothing escapes the
// comparison of the files.
struct Rig
{
    Rig()
    {
        QDir().mkpath(env().rootHost() + u"/tmp"_s);
        QDir().mkpath(env().rootHost() + u"/d"_s);
        DriveMap drives = env().fs.driveMap();
        drives.setDrive(u'D', env().rootHost() + u"/d"_s);
        env().fs.setDriveMap(drives);
        qputenv("TMPDIR", QFile::encodeName(env().rootHost() + u"/tmp"_s));
    }
    TestEnv &env() { return lib.env; }

    // A zip file at a Windows path holding the entries (name -> content).
    void makeZip(const QString &path, const std::map<QByteArray, QByteArray> &entries)
    {
        env().writeFile(path);
        int error = 0;
        zip_t *z = zip_open(QFile::encodeName(env().host(path)).constData(), ZIP_TRUNCATE, &error);
        QVERIFY(z);
        for (const auto &[name, bytes] : entries) {
            zip_source_t *source = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
            const zip_int64_t index = zip_file_add(z, name.constData(), source, 0);
            QVERIFY(index >= 0);
            // A fixed time, so that an archive inside an archive has the same bytes in every run.
            QCOMPARE(zip_file_set_mtime(z, zip_uint64_t(index), 946684800, 0), 0);
        }
        QCOMPARE(zip_close(z), 0); // the buffers are read here, while the map still holds them
    }

    LibraryEnv lib;
    BackupManager backups{lib.env.context, SimFolder, 1};
    TextureManager textures{lib.env.context, SimFolder};
    SceneryInstaller installer{lib.env.context, lib.manager()};
};

// A save: prepare makes the files as they are before it and announces the user's answers (they
// stand for every run, whatever step the run stops at); save runs it.
struct SavePath
{
    std::function<void(Rig &)> prepare;
    std::function<Outcome(Rig &)> save;
};

// A zip file's content by its entries, so that archives made in two runs, whose entries carry
// the time they were made, compare equal; a zip file that cannot be read stays its bytes.
QByteArray zipContent(const QString &hostPath, const QByteArray &bytes)
{
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(hostPath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!z)
        return bytes;
    QByteArrayList entries;
    for (zip_int64_t i = 0, n = zip_get_num_entries(z, 0); i < n; ++i) {
        zip_stat_t st;
        zip_file_t *file = zip_stat_index(z, zip_uint64_t(i), 0, &st) == 0
                               ? zip_fopen_index(z, zip_uint64_t(i), 0)
                               : nullptr;
        if (!file) {
            zip_discard(z);
            return bytes;
        }
        QByteArray content(qsizetype(st.size), '\0');
        const bool whole = zip_fread(file, content.data(), st.size) == zip_int64_t(st.size);
        zip_fclose(file);
        if (!whole) {
            zip_discard(z);
            return bytes;
        }
        entries << QByteArray(st.name) + ": " +
                       QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex();
    }
    zip_discard(z);
    std::sort(entries.begin(), entries.end());
    return "zip entries\n" + entries.join('\n');
}

// Every file below the rig's folder, its own folder's path in the content written as "<root>"
// (the settings and file lists may name it), zip files by their entries.
Files state(Rig &rig)
{
    const QString root = rig.env().rootHost();
    const QByteArray hostRoot = QFile::encodeName(root);
    const QByteArray windowsRoot = rig.env().fs.toWindows(root).toLatin1();
    Files files = filesBelow(root);
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (it.key().endsWith(u".zip"_s, Qt::CaseInsensitive))
            it.value() = zipContent(root + u'/' + it.key(), it.value());
        it.value().replace(hostRoot, "<root>").replace(windowsRoot, "<root>");
    }
    return files;
}

// The first file that is neither as it was before the save nor as the save leaves it ("" when
// none): a file half written, one made and left behind, one lost.
QString firstMixedFile(const Files &now, const Files &before, const Files &after)
{
    QStringList paths = now.keys() + before.keys() + after.keys();
    paths.removeDuplicates();
    for (const QString &path : paths) {
        const auto is = [path](const Files &files) { return files.value(path, "<none>"); };
        const QByteArray content = is(now);
        if (content != is(before) && content != is(after))
            return path;
    }
    return {};
}

// The user learns the file: a message names it, or the failed outcome does, for the caller to
// show.
bool fileNamed(const Rig &rig, const Outcome &outcome, const QString &name)
{
    const auto names = [&name](const QString &text) { return text.contains(name, Qt::CaseInsensitive); };
    for (const QString &shown : rig.lib.env.ui.shown()) {
        if (shown.startsWith(u"message|"_s) && names(shown))
            return true;
    }
    return names(outcome.file()) || names(outcome.error().description());
}

// The program's library: two levels, three sceneries, a set.
void buildLibrary(Rig &rig)
{
    Library()
        .level(u"Europe"_s)
        .scenery(u"Alps"_s, {.active = true, .isLocalPath = true, .localPath = u"Addon Scenery\\Alps"_s})
        .scenery(u"Paris"_s, {.comment = u"Caf\u00e9"_s, .localPath = u"Addon Scenery\\Paris"_s})
        .level(u"America"_s)
        .scenery(u"Boston"_s, {.layer = 3, .localPath = u"Addon Scenery\\Boston"_s})
        .set(u"All"_s, Sim::FS2002, {u"Alps"_s, u"Paris"_s, u"Boston"_s})
        .buildInto(rig.lib.manager(), rig.lib.tree);
}

// The files a backup is made of, listed, and the simulator's Scenery.cfg.
void listedFiles(Rig &rig)
{
    rig.env().writeFile(Cfg, "[General]\r\nTitle=now\r\n");
    rig.env().writeFile(SimFolder + u"\\Scenery\\World\\x.bgl"_s, patterned(70000));
    rig.env().writeFile(rig.backups.backupListPath(),
                        windowsText({u"\\Scenery.cfg"_s, u"\\Scenery\\World\\x.bgl"_s}));
}

// The texture folder: two files, one read-only.
void textures(Rig &rig)
{
    rig.env().writeFile(Texture + u"\\a.bmp"_s, patterned(70000));
    rig.env().writeFile(Texture + u"\\b.r8"_s, "b now");
    QFile::setPermissions(rig.env().host(Texture + u"\\b.r8"_s), QFileDevice::ReadOwner);
}

InstallRequest archiveRequest(Rig &rig, const QString &zip)
{
    InstallRequest request;
    request.title = u"Newton"_s;
    request.way = InstallWay::Archive;
    request.source = zip;
    request.destination = SimFolder + u"\\Addon Scenery\\Newton"_s;
    request.archiveMode = ArchiveMode::Automatic;
    request.content = SceneryInstaller::listContent(rig.env().fs, zip);
    request.sceneryPatterns = u"*.bgl"_s;
    request.texturePatterns = u"*.bmp"_s;
    return request;
}

QList<std::pair<const char *, SavePath>> savePaths()
{
    return {
        {"library files",
         {[](Rig &rig) {
              buildLibrary(rig);
              for (const QString &name : {u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s}) {
                  rig.lib.writeProgramFile(name, {u"earlier "_s + name});
                  rig.lib.writeProgramFile(name + u".backup"_s, {u"long ago"_s});
              }
          },
          [](Rig &rig) { return rig.lib.manager().saveDB(rig.lib.tree.keysInWalkOrder()); }}},
        {"Scenery.cfg with its backup",
         {[](Rig &rig) {
              buildLibrary(rig);
              listedFiles(rig);
              rig.lib.manager().setBackUpFirst([&rig] { return rig.backups.makeBackup(); });
              rig.env().ui.expectMessage(u"Do you want to make a backup first?"_s,
                                         u"Creating new Scenery.CFG"_s, Answer::Yes);
              rig.env().ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"Before"_s);
          },
          [](Rig &rig) {
              qint32 cacheSize = 20;
              return rig.lib.manager().CreateCFG(u"All\r\n"_s, rig.lib.tree.keysInWalkOrder(), cacheSize,
                                                 false, QString(), QString());
          }}},
        {"settings file",
         {[](Rig &rig) {
              ProgramSettings(*rig.env().settings, rig.env().programFolder()).setValue(u"Browser"_s, u"b"_s);
          },
          [](Rig &rig) {
              try {
                  ProgramSettings(*rig.env().settings, rig.env().programFolder()).setSelectedSim(1);
                  return Outcome::done();
              } catch (const LmError &error) {
                  return Outcome::failed(error);
              }
          }}},
        {"FS2002.cfg start flight",
         {[](Rig &rig) {
              rig.env().writeFile(SimFolder + u"\\FS2002.cfg"_s,
                                  "[Main]\r\nSITUATION=flights\\myflts\\Old\r\n");
              rig.env().writeFile(SimFolder + u"\\FS2002.cfg.backup"_s, "long ago");
          },
          [](Rig &rig) { return StartFlight::setSituation(rig.env().fs, SimFolder, 1, u"Paris"_s); }}},
        {"LumivaleFileList.db",
         {[](Rig &rig) {
              rig.env().writeFile(AlpsFolder + u"\\LumivaleFileList.db"_s, "[Lumivale V 1.5]\r\nold\r\n");
          },
          [](Rig &rig) {
              const FileList entries{{u"AREA.BGL"_s, u"MySceneryBase\\Scenery"_s, u"C:\\Alps\\AREA.BGL"_s}};
              return FileListWriter(rig.env().fs)
                  .write(AlpsFolder + u"\\LumivaleFileList.db"_s,
                         Library().scenery(u"Alps"_s).record(u"Alps"_s), entries);
          }}},
        {"FILE_ID.DIZ",
         {[](Rig &rig) {
              rig.env().writeFile(AlpsFolder + u"\\FILE_ID.DIZ"_s, "Old");
              rig.env().ui.expectForm<EditFileIdDizDialog>(u"EditFileIdDizDialog"_s,
                                                           [](EditFileIdDizDialog &d) {
                                                               d.txtText = u"New text"_s;
                                                               d.cmdOK_Click();
                                                           });
          },
          [](Rig &rig) {
              const clsScenery alps =
                  Library().scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s}).record(u"Alps"_s);
              return PackagingCommands::mnuWizardCreateDIZ_Click(rig.env().context, rig.lib.manager(), alps,
                                                                 {});
          }}},
        {"backup made",
         {[](Rig &rig) {
              listedFiles(rig);
              rig.env().ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"Saved"_s);
          },
          [](Rig &rig) { return rig.backups.makeBackup(); }}},
        {"backup restored",
         {[](Rig &rig) {
              listedFiles(rig);
              rig.env().ui.expectInput(u"Insert a name of the backup:"_s, u"Backup name"_s, u"Saved"_s);
              QVERIFY(rig.backups.makeBackup().isDone());
              QVERIFY(rig.env().ui.allShown());
              rig.env().writeFile(Cfg, "edited");
              rig.env().writeFile(SimFolder + u"\\Scenery\\World\\x.bgl"_s, patterned(70000, 7));
              rig.env().ui.expectMessage(u"Do you want to backup the current files?"_s, u"Install backup"_s,
                                         Answer::No);
          },
          [](Rig &rig) { return rig.backups.installBackup(u"Saved.zip"_s); }}},
        {"texture backup made",
         {[](Rig &rig) {
              textures(rig);
              rig.env().ui.expectInput(u"Insert the name of the backup:"_s, u"Backup"_s, u"Saved"_s);
          },
          [](Rig &rig) { return rig.textures.makeBackup(); }}},
        {"texture backup restored",
         {[](Rig &rig) {
              textures(rig);
              rig.env().ui.expectInput(u"Insert the name of the backup:"_s, u"Backup"_s, u"Saved"_s);
              QVERIFY(rig.textures.makeBackup().isDone());
              QVERIFY(rig.env().ui.allShown());
              rig.env().writeFile(Texture + u"\\a.bmp"_s, "a edited");
              rig.env().ui.expectMessage(u"Existing files will be overwriten. Do you want to proceed?"_s,
                                         u"Warning"_s, Answer::Yes);
          },
          [](Rig &rig) { return rig.textures.installBackups({u"Saved.zip"_s}); }}},
        {"texture folder emptied after its backup",
         {[](Rig &rig) {
              textures(rig);
              rig.env().ui.expectMessageStartingWith(u"Do you realy want to clean up"_s, u"Urgent Warning"_s,
                                                     Answer::Yes);
              rig.env().ui.expectMessageStartingWith(
                  u"There is no backup of the global texture folder yet."_s, u"Empty global texture folder"_s,
                  Answer::Yes);
              rig.env().ui.expectInput(u"Insert the name of the backup:"_s, u"Backup"_s, u"Saved"_s);
          },
          [](Rig &rig) { return rig.textures.emptyFolder(); }}},
        {"installation from an archive",
         {[](Rig &rig) {
              rig.makeZip(u"D:\\Newton.zip"_s, {{"Scenery/AREA.BGL", patterned(70000)},
                                                {"Texture/T.BMP", "texture"},
                                                {"readme.txt", "read me"}});
          },
          [](Rig &rig) { return rig.installer.install(archiveRequest(rig, u"D:\\Newton.zip"_s)); }}},
        {"installation by the scenery's file list, into the simulator folder too",
         {[](Rig &rig) {
              rig.makeZip(u"D:\\Newton.zip"_s,
                          {{"LumivaleFileList.db",
                            windowsText({u"[Lumivale V 1.5]"_s, u"Author=Ann"_s, u"[FileList]"_s,
                                         u"AREA.BGL=MySceneryBase\\Scenery!C:\\x\\AREA.BGL"_s,
                                         u"GLOBAL.BMP=FSRoot\\Texture!C:\\x\\GLOBAL.BMP"_s})},
                           {"files/AREA.BGL", patterned(70000)},
                           {"GLOBAL.BMP", "global"}});
              rig.env().writeFile(Texture + u"\\GLOBAL.BMP"_s, "the simulator's own");
              rig.env().ui.expectMessageStartingWith(
                  u"The file list of this scenery installs files outside"_s, u"Install scenery"_s,
                  Answer::Yes);
              rig.env().ui.expectMessageStartingWith(u"Files of this scenery exist already"_s, {},
                                                     Answer::Yes);
          },
          [](Rig &rig) {
              InstallRequest request = archiveRequest(rig, u"D:\\Newton.zip"_s);
              request.archiveMode = ArchiveMode::FileList;
              return rig.installer.install(request);
          }}},
        {"installation from an archive holding an archive",
         {[](Rig &rig) {
              rig.makeZip(u"D:\\inner.zip"_s, {{"Scenery/IN.BGL", "inner"}});
              const QByteArray inner = rig.env().readFile(u"D:\\inner.zip"_s);
              QFile::remove(rig.env().host(u"D:\\inner.zip"_s));
              rig.makeZip(u"D:\\Newton.zip"_s, {{"Scenery/AREA.BGL", "area"}, {"more/Extra.ZIP", inner}});
          },
          [](Rig &rig) {
              InstallRequest request = archiveRequest(rig, u"D:\\Newton.zip"_s);
              request.subZips = true;
              return rig.installer.install(request);
          }}},
        {"installation from a source folder",
         {[](Rig &rig) {
              rig.env().writeFile(u"D:\\Newton\\AREA.BGL"_s, patterned(70000));
              rig.env().writeFile(u"D:\\Newton\\T.BMP"_s, "texture");
          },
          [](Rig &rig) {
              InstallRequest request;
              request.title = u"Newton"_s;
              request.way = InstallWay::SourceFolder;
              request.source = u"D:\\Newton"_s;
              request.destination = SimFolder + u"\\Addon Scenery\\Newton"_s;
              request.sceneryPatterns = u"*.bgl"_s;
              request.texturePatterns = u"*.bmp"_s;
              return rig.installer.install(request);
          }}},
    };
}

} // namespace

Q_DECLARE_METATYPE(SavePath)

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void everyStepFails_data()
    {
        QTest::addColumn<SavePath>("path");
        for (const auto &[name, path] : savePaths())
            QTest::newRow(name) << path;
    }

    void everyStepFails()
    {
        QFETCH(SavePath, path);
        Files before;
        Files after;
        QList<FileFaultPlan::Step> steps;
        {
            Rig rig;
            path.prepare(rig);
            before = state(rig);
            rig.env().ui.standing();
            FileFaultPlan plan;
            const Outcome saved = path.save(rig);
            QVERIFY2(saved.isDone(), qPrintable(saved.error().description()));
            steps = plan.seen();
            after = state(rig);
        }
        QVERIFY(before != after);
        QVERIFY(!steps.isEmpty());

        QMap<FileStep, int> counted;
        for (const FileFaultPlan::Step &step : steps) {
            const int n = ++counted[step.step];
            const QString name = QFileInfo(step.hostPath).fileName();
            const QByteArray where =
                u"%1 %2 (%3)"_s.arg(FileFaults::stepName(step.step)).arg(n).arg(step.hostPath).toUtf8();
            Rig rig;
            path.prepare(rig);
            rig.env().ui.standing();
            FileFaultPlan plan;
            plan.failAt(step.step, n);
            const Outcome outcome = path.save(rig);
            QVERIFY2(plan.struck(), where);
            QVERIFY2(outcome.isFailed(), where);
            QVERIFY2(fileNamed(rig, outcome, name), where + " is not named");
            const QString mixed = firstMixedFile(state(rig), before, after);
            QVERIFY2(mixed.isEmpty(), where + " leaves " + mixed.toUtf8() + " neither old nor new");
        }
        QStringList points;
        for (auto it = counted.cbegin(); it != counted.cend(); ++it)
            points << u"%1 %2"_s.arg(it.value()).arg(FileFaults::stepName(it.key()));
        qInfo("%lld failure points: %s", qlonglong(steps.size()), qPrintable(points.join(u", "_s)));
    }
};

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
