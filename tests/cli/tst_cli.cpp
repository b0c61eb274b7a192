// lumivale-cli: its UI port and command dispatcher in process, the demo installation it makes,
// and the commands as a user runs them: a separate process working on the installation named by
// LUMIVALE_HOME and WINEPREFIX, either a small test installation or a copy of the demo.

#include "app/demoinstallation.h"
#include "app/filehelpers.h"
#include "areas/areavalues.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "platform/settingsstore.h"
#include "support/testenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

QStringList words(const QString &text) { return text.isEmpty() ? QStringList{} : text.split(u'|'); }

struct Result { int code = -1; QByteArray out; QString err; };

// userHome stands in for ~, so that whatever the user has in ~/.local/share does not leak in.
Result runProcess(const QStringList &arguments, const QString &home, const QString &prefix, const QString &userHome)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LUMIVALE_HOME"_s, home);
    env.insert(u"WINEPREFIX"_s, prefix);
    env.insert(u"HOME"_s, userHome);
    env.insert(u"XDG_DATA_HOME"_s, userHome);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMIVALE_CLI_EXE), arguments);
    if (!process.waitForFinished(120000))
        process.kill(), process.waitForFinished(); // then no normal exit
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

QJsonDocument parse(const Result &result) { return QJsonDocument::fromJson(result.out); }

// "fs2000 fs2002 cfs2 simType fsPath" of info --json, e.g. "110 1 C:\FS2002".
QString infoSummary(const QJsonObject &info)
{
    QString flags;
    for (const char *sim : {"fs2000", "fs2002", "cfs2"}) {
        const QJsonValue value = info[u"simulators"_s].toObject().value(QLatin1String(sim));
        flags += value.isBool() ? QString::number(value.toBool()) : u"?"_s;
    }
    return flags + u" %1 %2"_s.arg(info[u"simType"_s].toInt(-1)).arg(info[u"fsPath"_s].toString());
}

// The areas of a Scenery.cfg: lower-case key -> value, and "number" from the section name.
using Area = QHash<QString, QString>;
QList<Area> readAreas(const QStringList &lines)
{
    QList<Area> areas;
    bool inArea = false;
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            inArea = line.startsWith("[Area."_L1, Qt::CaseInsensitive);
            if (inArea)
                areas.append({{u"number"_s, line.mid(6, 3)}});
        } else if (inArea && line.contains(u'=')) {
            areas.last().insert(line.section(u'=', 0, 0).toLower(), line.section(u'=', 1));
        }
    }
    return areas;
}

QString titlesOf(const QList<Area> &areas)
{
    QStringList titles;
    for (const Area &area : areas)
        titles << area[u"title"_s];
    return titles.join(u',');
}

QString numbered(int count, const QString &after)
{
    QStringList members;
    for (int i = 1; i <= count; ++i)
        members << u"Set member %1"_s.arg(i);
    return members.join(u',') + after;
}

using B = UiPort::Buttons;
using A = UiPort::Answer;
const QString BackupTitle = u"Creating new Scenery.CFG"_s;

// Relative path -> content hash (or link target) of every file and link below a folder.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        const QString name = QDir(root).relativeFilePath(file.fileName());
        if (it.fileInfo().isSymLink())
            files.insert(name, it.fileInfo().symLinkTarget().toUtf8());
        else if (file.open(QIODevice::ReadOnly))
            files.insert(name, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

// A copy of the demo installation, generated once per run (generating costs several times a copy).
class Demo
{
public:
    static const DemoInstallation::Summary &pristine()
    {
        static QTemporaryDir dir;
        static const DemoInstallation::Summary summary = DemoInstallation::create(dir.filePath(u"demo"_s));
        return summary;
    }

    Demo()
    {
        const DemoInstallation::Summary &pristine = Demo::pristine();
        const QString target = m_dir.filePath(u"demo"_s);
        // The prefix's drive links are relative or point outside it: copied as they are, they stay right.
        QProcess::execute(u"cp"_s, {u"-a"_s, pristine.winePrefixHost, target});
        prefixHost = target;
        programFolderHost = target + pristine.programFolderHost.mid(pristine.winePrefixHost.size());
        fs = FileSystem(DriveMap::fromWinePrefix(target));
        programFolder = fs.toWindows(programFolderHost);
    }

    // One copy shared by the tests that only read, with stored sets: members out of tree order
    // and a title the library does not hold; an empty set; a set of the other simulator.
    static const Demo &readOnly()
    {
        static Demo demo;
        [[maybe_unused]] static const bool prepared = (demo.writeSets(
            u"Europe/1/London,No Such Scenery,Paris;Empty/1/;Night VFR/1/Tokyo,Chicago;Old sim/0/Africa"_s), true);
        return demo;
    }

    static QString simFolder(int sim) { return sim == 0 ? DemoInstallation::fs2000Folder() : DemoInstallation::fs2002Folder(); }
    static QString sceneryCfg(int sim) { return simFolder(sim) + u"\\Scenery.cfg"_s; }
    QList<Area> areas(int sim) const { return readAreas(fs.readLines(sceneryCfg(sim))); }
    QString backupRoot() const { return programFolder + u"\\EnvBackups\\"_s; }

    Result run(const QStringList &arguments) const { return runProcess(arguments, programFolderHost, prefixHost, m_dir.path()); }
    Result run(const QString &arguments) const { return run(words(arguments)); }
    QJsonArray runJson(const QString &arguments) const { return parse(run(arguments)).array(); }

    // Sets as "name/sim/member,member;...", stored in the library's set file.
    void writeSets(const QString &sets) const
    {
        QStringList lines;
        for (const QString &set : sets.split(u';')) {
            const QStringList parts = set.split(u'/');
            lines << u"<Set>"_s << parts.at(0) << parts.at(1) << u"False"_s
                  << parts.at(2).split(u',', Qt::SkipEmptyParts) << u"</Set>"_s;
        }
        fs.writeLines(programFolder + u"\\CFGSet.db"_s, lines);
    }

    // Every file of the program folder, and the simulator's Scenery.cfg.
    QMap<QString, QByteArray> state() const
    {
        QMap<QString, QByteArray> files = snapshot(programFolderHost);
        files.insert(u"Scenery.cfg"_s, fs.readAll(sceneryCfg(1)));
        return files;
    }

    // The areas a Scenery.cfg written from the current one keeps: those whose scenery folder
    // exists and those used from their remote folder.
    QString writableTitles(int sim) const
    {
        QList<Area> kept;
        for (const Area &area : areas(sim)) {
            const QString local = area[u"local"_s];
            const QString folder = local.mid(1, 1) == u":"_s ? local : simFolder(sim) + u'\\' + local;
            if ((local.isEmpty() && !area[u"remote"_s].isEmpty()) || fs.folderExists(folder + u"\\Scenery"_s))
                kept << area;
        }
        return titlesOf(kept);
    }

    QString prefixHost, programFolderHost;
    FileSystem fs;
    QString programFolder;

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void inputsComeFromThePresetQueueInOrder();
    void failuresAreToldFromOtherMessages_data();
    void failuresAreToldFromOtherMessages();
    void choosersAreCancelled();
    void usageErrors_data();
    void usageErrors();
    void sceneryCfgLooksLikeTheSimulatorsOwn_data();
    void sceneryCfgLooksLikeTheSimulatorsOwn();
    void textFilesAreWindowsText();
    void sampleArchivesHoldSceneryAndTexture();
    void twoRunsGiveTheSameFiles();
    void refusesAFolderThatIsNotEmpty();
    void info_data();
    void info();
    void demoCommand();
    void help_data();
    void help();
    void list_data();
    void list();
    void sets();
    void import_data();
    void import();
    void writeCfg_data();
    void writeCfg();
    void backupRoundTrip();
    void failuresChangeNothing_data();
    void failuresChangeNothing();
};

void TestCli::answers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("preset"); // answer set for BackupTitle, -1 none
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("suffix"); // printed after the text
    QTest::newRow("ok box") << int(B::Ok) << false << -1 << BackupTitle << int(A::Ok) << "";
    QTest::newRow("question: No") << int(B::YesNo) << false << -1 << BackupTitle << int(A::No) << " [answered No]";
    QTest::newRow("question, --yes: Yes") << int(B::YesNo) << true << -1 << BackupTitle << int(A::Yes) << " [answered Yes]";
    QTest::newRow("ok/cancel: Cancel") << int(B::OkCancel) << false << -1 << BackupTitle << int(A::Cancel) << " [answered Cancel]";
    QTest::newRow("ok/cancel, --yes: OK") << int(B::OkCancel) << true << -1 << BackupTitle << int(A::Ok) << " [answered OK]";
    QTest::newRow("Yes for the title without --yes") << int(B::YesNo) << false << int(A::Yes) << BackupTitle << int(A::Yes) << " [answered Yes]";
    QTest::newRow("No for the title despite --yes") << int(B::YesNo) << true << int(A::No) << BackupTitle << int(A::No) << " [answered No]";
    QTest::newRow("Yes on an OK/Cancel question") << int(B::OkCancel) << false << int(A::Yes) << BackupTitle << int(A::Ok) << " [answered OK]";
    QTest::newRow("Cancel despite --yes") << int(B::OkCancel) << true << int(A::Cancel) << BackupTitle << int(A::Cancel) << " [answered Cancel]";
    QTest::newRow("titles match exactly") << int(B::YesNo) << true << int(A::No) << u"Creating new Scenery.cfg"_s << int(A::Yes) << " [answered Yes]";
}

void TestCli::answers()
{
    QFETCH(int, buttons);
    QFETCH(bool, yes);
    QFETCH(int, preset);
    QFETCH(QString, title);
    QFETCH(int, expected);
    QFETCH(QString, suffix);
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setAssumeYes(yes);
    if (preset >= 0)
        ui.setAnswerFor(BackupTitle, A(preset));
    QCOMPARE(int(ui.message(u"Make a backup first?"_s, title, B(buttons), UiPort::Icon::Question)), expected);
    err.flush();
    QCOMPARE(printed, title + u": Make a backup first?"_s + suffix + u'\n');
    QCOMPARE(ui.shown().size(), 1);
    QCOMPARE(int(ui.shown().first().answer), expected);
}

void TestCli::inputsComeFromThePresetQueueInOrder()
{
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setPresetInputs({u"Alps"_s, QString(), u"Coast"_s});
    QStringList got;
    for (int i = 0; i < 4; ++i)
        got << ui.input(u"Name of the new level"_s, u"Add level"_s, u"default"_s);
    // When the queue is used up a prompt behaves like a cancelled one, not like its default.
    QCOMPARE(got.join(u','), u"Alps,,Coast,"_s);
    QVERIFY(ui.remainingInputs().isEmpty());
    err.flush();
    QVERIFY(printed.startsWith(u"Add level: Name of the new level [answered \"Alps\"]\n"_s));
}

void TestCli::failuresAreToldFromOtherMessages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<bool>("failure");
    using I = UiPort::Icon;
    const QString save = u"SceneryManager.saveDB\nError: 70\nPermission denied"_s;
    QTest::newRow("failure, any procedure") << save << int(I::Critical) << "" << true;
    QTest::newRow("failure of that procedure") << save << int(I::Critical) << "SceneryManager.saveDB" << true;
    QTest::newRow("failure of another procedure") << save << int(I::Critical) << "SceneryManager.readCFG" << false;
    QTest::newRow("a longer procedure name is another one") << save << int(I::Critical) << "SceneryManager.save" << false;
    QTest::newRow("critical message that is no failure report")
        << u"The selected sets cover more then the maximum of 332 sceneries."_s << int(I::Critical) << "" << false;
    QTest::newRow("same text without the critical icon") << save << int(I::Information) << "" << false;
}

void TestCli::failuresAreToldFromOtherMessages()
{
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, procedure);
    QFETCH(bool, failure);
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.inform(u"SceneryManager.CreateCFG\nError: 9\nSubscript out of range"_s, u"Lumivale"_s, UiPort::Icon::Critical);
    const qsizetype mark = ui.shown().size();
    QVERIFY(!ui.failureShownSince(mark));
    ui.message(text, u"Lumivale"_s, B::Ok, UiPort::Icon(icon));
    QCOMPARE(ui.failureShownSince(mark, procedure), failure);
    QVERIFY(ui.failureShownSince(0)); // counted from the start, the earlier failure is seen
}

void TestCli::choosersAreCancelled()
{
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setAssumeYes(true); // --yes answers questions, never picks files
    UiPort::FileChooser chooser;
    chooser.title = u"Select folder"_s;
    QVERIFY(!ui.chooseFile(chooser).has_value());
    QVERIFY(!ui.chooseFolder(u"Select folder"_s, u"C:\\"_s).has_value());
    err.flush();
    QCOMPARE(printed.count(u"Select folder: "_s), 2);
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("no command") << "" << "Commands:";
    QTest::newRow("unknown command") << "frobnicate" << "unknown command \"frobnicate\"";
    QTest::newRow("unknown option") << "info|--jsn" << "jsn";
    QTest::newRow("--sim 3") << "--sim|3|info" << "--sim takes 0, 1 or 2";
    QTest::newRow("--sim -1 after the command") << "info|--sim=-1" << "--sim takes 0, 1 or 2";
    QTest::newRow("--sim not a number") << "--sim|fs9|info" << "\"fs9\"";
    QTest::newRow("demo with two folders") << "demo|a|b" << "give exactly one folder";
    QTest::newRow("list with an argument") << "list|Europe" << "takes no arguments";
    QTest::newRow("write-cfg without a set") << "write-cfg" << "at least one set";
    QTest::newRow("write-cfg, cache size not a number") << "write-cfg|(Current)|--cache-size|50M" << "\"50M\"";
    QTest::newRow("backup, unknown action") << "backup|restore|x" << "make NAME";
}

void TestCli::usageErrors()
{
    QFETCH(QString, arguments);
    QFETCH(QString, errorPart);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const QStringList argv = QStringList{u"lumivale-cli"_s} + words(arguments);
    QCOMPARE(runCli(argv, outStream, errStream), CliUsageError);
    outStream.flush();
    errStream.flush();
    QVERIFY2(err.contains(errorPart), qPrintable(err));
    QVERIFY(out.isEmpty());
}

void TestCli::sceneryCfgLooksLikeTheSimulatorsOwn_data()
{
    QTest::addColumn<int>("simType");
    QTest::addColumn<QString>("caches"); // written; as the reader has them
    QTest::addColumn<QString>("worldTitle");
    QTest::newRow("FS2002") << 1 << "[Cache.001],[Cache.002];[Cache.001],[Cache.002]" << "FS2002 World";
    // No cache section: the reader adds its default entry.
    QTest::newRow("FS2000") << 0 << ";[Cache.000]" << "";
}

void TestCli::sceneryCfgLooksLikeTheSimulatorsOwn()
{
    QFETCH(int, simType);
    QFETCH(QString, caches);
    QFETCH(QString, worldTitle);
    FileSystem fs(DriveMap::fromWinePrefix(Demo::pristine().winePrefixHost)); // through its own drive links
    const auto settings = createSettingsStore(Demo::pristine().programFolderHost, Demo::pristine().winePrefixHost);
    ProgramInfo program(Demo::pristine().programFolderHost);
    ScriptedUi ui; // any message (a failed read, a missing file) fails the test
    AppContext context{fs, *settings, ui, program};
    SceneryManager manager(context);
    QCOMPARE(manager.SimType, 1); // both installed, nothing stored: 2002 is proposed
    manager.SimType = simType;
    manager.NewLocation();
    const QStringList lines = fs.readLines(manager.FSPath() + u"\\SCENERY.CFG"_s); // found in any case
    QString file;
    manager.readCFG(file, false);
    QVERIFY(ui.allShown());

    // Areas numbered in order; one title twice would be one scenery when read.
    const qsizetype count = manager.colScenery.count();
    QVERIFY2(count >= 40 && count <= 120, qPrintable(QString::number(count)));
    QStringList headers;
    for (int i = 1; i <= count; ++i)
        headers << u"[Area.%1]"_s.arg(i, 3, 10, QLatin1Char('0'));
    QCOMPARE(lines.filter(QRegularExpression(u"^\\[Area"_s)), headers);
    QCOMPARE(lines.filter(u"[Cache."_s).join(u','), caches.section(u';', 0, 0));
    QCOMPARE(manager.colCache.keys().join(u','), caches.section(u';', 1));
    QCOMPARE(manager.dicCFGs.item(u"(Current)"_s)->Title, worldTitle);
    QCOMPARE(lines.filter(QRegularExpression(u"^Required="_s)).size(), simType == 1 ? count : 0);

    int layer = 0, remoteOnly = 0, missing = 0, rectangles = 0;
    for (const SceneryPtr &scenery : manager.colScenery) {
        QCOMPARE(scenery->Layer, ++layer);
        // The add-on with rectangles must show them as well formed, not in red.
        rectangles += !scenery->Exclude.isEmpty() && !CheckErrorExclude(scenery->Exclude);
        for (qint16 i = 0; i < clsScenery::FlattenCount; ++i)
            rectangles += !scenery->Flatten(i).isEmpty() && !CheckErrorFlatten(scenery->Flatten(i));
        // Every scenery folder holds stand-in files, except add-ons left out on purpose.
        const QString path = manager.getRealPath(scenery->LocalPath);
        if (!scenery->IsLocalPath || !fs.folderExists(path)) {
            remoteOnly += !scenery->IsLocalPath;
            missing += scenery->IsLocalPath;
            QVERIFY2(!scenery->IsLocalPath || scenery->LocalPath.startsWith("Addon Scenery\\"_L1), qPrintable(path));
            continue;
        }
        const QStringList files = fs.files(path + u"\\scenery"_s), textures = fs.files(path + u"\\texture"_s);
        QVERIFY2(!files.isEmpty() && !textures.isEmpty() && files.filter(u".bgl"_s) == files &&
                     textures.filter(u".bmp"_s) == textures, qPrintable(path));
    }
    QCOMPARE(u"%1 remote-only, %2 missing, %3 rectangles"_s.arg(remoteOnly).arg(missing > 0).arg(rectangles),
             u"1 remote-only, 1 missing, 2 rectangles"_s);
    QVERIFY(fs.files(manager.FSPath() + u"\\Texture"_s).size() >= 3);
}

void TestCli::textFilesAreWindowsText()
{
    const QByteArray bytes = FileSystem(DriveMap::fromWinePrefix(Demo::pristine().winePrefixHost)).readAll(DemoInstallation::fs2002Folder() + u"\\Scenery.cfg"_s);
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    // "Zürich" in Windows-1252: one byte 0xFC, not UTF-8's two.
    QVERIFY(bytes.contains("Title=Z\xfcrich Lakefront\r\n"));
    QVERIFY(!bytes.contains("\xc3\xbc"));
}

void TestCli::sampleArchivesHoldSceneryAndTexture()
{
    const FileSystem fs(DriveMap::fromWinePrefix(Demo::pristine().winePrefixHost));
    QStringList names;
    for (const QString &archive : Demo::pristine().archives) {
        int error = 0;
        zip_t *zip = zip_open(QFile::encodeName(fs.toHost(archive)).constData(), ZIP_RDONLY, &error);
        for (zip_int64_t i = 0; zip && i < zip_get_num_entries(zip, 0); ++i)
            names << QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0));
        zip_discard(zip);
        names << u";"_s;
    }
    QVERIFY2(QRegularExpression(u"^(scenery/[^/ ]+\\.bgl texture/[^/ ]+\\.bmp ; ){2}$"_s).match(names.join(u' ') + u' ').hasMatch(),
             qPrintable(names.join(u' ')));
}

void TestCli::twoRunsGiveTheSameFiles()
{
    QTemporaryDir other;
    DemoInstallation::create(other.filePath(u"again"_s));
    const auto first = snapshot(Demo::pristine().winePrefixHost);
    QVERIFY(first.size() > 100);
    QCOMPARE(snapshot(other.filePath(u"again"_s)), first);
}

void TestCli::refusesAFolderThatIsNotEmpty()
{
    QTemporaryDir dir;
    QFile keep(dir.filePath(u"system.reg"_s));
    QVERIFY(keep.open(QIODevice::WriteOnly) && keep.write("mine") == 4);
    keep.close();
    try {
        DemoInstallation::create(dir.path());
        QFAIL("a folder that is not empty was written into");
    } catch (const LmError &e) {
        QCOMPARE(e.number(), qint32(LmError::FileAlreadyExists));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"system.reg"_s});
    QCOMPARE(snapshot(dir.path()).value(u"system.reg"_s), QCryptographicHash::hash("mine", QCryptographicHash::Sha1));
}

void TestCli::info_data()
{
    // installs: "type|folder|value name;..." (folder and value name may be left out); expected:
    // with --json the infoSummary, else a part of the output.
    QTest::addColumn<QString>("installs");
    QTest::addColumn<QString>("selectedSim"); // "" when none is stored
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("code"); // -1: any failure
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("errPart"); // "" when nothing may be shown
    const QString json = u"info|--json"_s;
    const QString noSim = u"Can not run Lumivale: You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 "
                          "Pro or MS Combat Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first."_s;
    QTest::newRow("FS2000+FS2002, none stored: 2002") << "0;1" << "" << json << 0 << "110 1 C:\\Program Files\\FS2002" << "";
    QTest::newRow("FS2000+CFS2, none stored: 2000") << "0;2" << "" << json << 0 << "101 0 C:\\FS2000" << "";
    QTest::newRow("all three, SelectedSim 2") << "0;1;2" << "2" << json << 0 << "111 2 C:\\CFS2" << "";
    QTest::newRow("only FS2000: SelectedSim not read") << "0" << "1" << json << 0 << "100 0 C:\\FS2000" << "";
    QTest::newRow("trailing backslash cut") << "1|C:\\FS2002\\" << "" << json << 0 << "010 1 C:\\FS2002" << "";
    QTest::newRow("value names in other letter case") << "0||PATH;1||exe path" << "" << json << 0
                                                      << "110 1 C:\\Program Files\\FS2002" << "";
    QTest::newRow("--sim 0 over SelectedSim 1") << "0;1" << "1" << u"--sim|0|"_s + json << 0 << "110 0 C:\\FS2000" << "";
    QTest::newRow("--sim after the command") << "0;1;2" << "" << json + u"|--sim=2"_s << 0 << "111 2 C:\\CFS2" << "";
    QTest::newRow("SelectedSim not a number: reported, none selected")
        << "0;1" << "abc" << json << 0 << "110 0 " << "Lumivale: SceneryManager.Class_Initialize\nError: 13\n";
    QTest::newRow("--sim of a simulator not installed") << "1" << "" << u"--sim|2|"_s + json << 1 << ""
                                                        << "Combat Flight Simulator 2 (--sim 2) is not installed.";
    QTest::newRow("no simulator, json") << "" << "" << json << -1 << "" << noSim;
    QTest::newRow("text") << "0" << "" << "info" << 0 << "Selected:         0 Flight Simulator 2000\n"
                             "Simulator folder: C:\\FS2000\nScenery.cfg:      C:\\FS2000\\Scenery.cfg\n" << "";
}

void TestCli::info()
{
    QFETCH(QString, installs);
    QFETCH(QString, selectedSim);
    QFETCH(QString, arguments);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QFETCH(QString, errPart);
    TestEnv env;
    env.writeFile(u"C:\\FS2000\\SCENERY.CFG"_s, "[General]\r\n"); // a folder alone installs nothing
    const QStringList folders{u"C:\\FS2000"_s, u"C:\\Program Files\\FS2002"_s, u"C:\\CFS2"_s};
    for (const QString &install : installs.split(u';', Qt::SkipEmptyParts)) {
        const QStringList parts = install.split(u'|');
        const int type = parts.at(0).toInt();
        env.installSim(type, parts.value(1).isEmpty() ? folders.at(type) : parts.at(1), parts.value(2));
    }
    if (!selectedSim.isEmpty())
        env.settings->write(SettingsStore::Root::Machine, u"SOFTWARE\\Tarnwick\\Lumivale"_s, u"SelectedSim"_s, selectedSim);

    const Result result = runProcess(words(arguments), env.homeHost(), env.prefixHost(), env.rootHost());
    QVERIFY2(code < 0 ? result.code > 0 : result.code == code, qPrintable(result.err));
    QVERIFY2(errPart.isEmpty() ? result.err.isEmpty() : result.err.contains(errPart), qPrintable(result.err));
    QVERIFY(code == 0 || result.out.isEmpty());
    const bool json = code == 0 && arguments.contains("--json"_L1);
    QVERIFY2(json || QString::fromUtf8(result.out).contains(expected), result.out.constData());
    if (!json)
        return;
    const QJsonObject info = parse(result).object();
    QCOMPARE(infoSummary(info), expected);
    QCOMPARE(info[u"programFolder"_s].toString(), env.programFolder());
}

void TestCli::demoCommand()
{
    QTemporaryDir dir;
    const QString demo = dir.filePath(u"demo"_s), home = QDir(demo).filePath(DemoInstallation::programFolderName());
    const Result created = runProcess({u"demo"_s, demo}, dir.filePath(u"unused"_s), dir.filePath(u"unused"_s), dir.path());
    QVERIFY2(created.code == 0, qPrintable(created.err));
    QVERIFY2(created.out.contains(u"export WINEPREFIX=%1\n  export LUMIVALE_HOME=%2\n"_s.arg(demo, home).toUtf8()),
             created.out.constData());
    // What it prints to use it works: the demo's Flight Simulator 2002 is found and selected.
    const Result info = runProcess(words(u"info|--json"_s), home, demo, dir.path());
    QCOMPARE(infoSummary(parse(info).object()), u"110 1 "_s + DemoInstallation::fs2002Folder());
}

void TestCli::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("parts"); // the first starts the output
    QStringList names;
    for (const CliCommand &command : cliCommands())
        names << QString::fromLatin1(command.name);
    QTest::newRow("--help") << words(u"--help"_s) << QStringList{u"Usage: lumivale-cli"_s, u"--sim"_s} + names;
    QTest::newRow("-h before the command") << words(u"-h|demo"_s) << words(u"Usage: lumivale-cli demo|DIR"_s);
    // Also of the commands that need arguments: asking how to call one is never an error.
    for (const QString &name : names)
        QTest::newRow(qPrintable(name + u" --help"_s)) << QStringList{name, u"--help"_s}
                                                       << QStringList{u"Usage: lumivale-cli "_s + name, u"--yes"_s};
}

void TestCli::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, parts);
    TestEnv env; // no simulator: help must not need one
    const Result result = runProcess(arguments, env.homeHost(), env.prefixHost(), env.rootHost());
    QCOMPARE(result.code, 0);
    QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
    QVERIFY2(result.out.startsWith(parts.first().toUtf8()), result.out.constData());
    for (const QString &part : parts)
        QVERIFY2(result.out.contains(part.toUtf8()), qPrintable(part));
}

void TestCli::list_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("sim");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("titles"); // "*": every area of the file
    // Both simulators installed and nothing stored: Flight Simulator 2002 is worked on.
    QTest::newRow("selected simulator") << "list|--json" << 1 << 0 << "*";
    QTest::newRow("--sim 0") << "--sim|0|list|--json" << 0 << 0 << "*";
    QTest::newRow("--sim=1 after the command") << "list|--json|--sim=1" << 1 << 0 << "*";
    QTest::newRow("set (Current)") << "list|--json|--set|(Current)" << 1 << 0 << "*";
    QTest::newRow("set: tree order, unknown titles left out") << "list|--json|--set|Europe" << 1 << 0 << "Paris,London";
    QTest::newRow("empty set") << "list|--json|--set|Empty" << 1 << 0 << "";
    QTest::newRow("no such set") << "list|--json|--set|Nowhere" << 1 << 1 << "";
    QTest::newRow("set names match case") << "list|--json|--set|europe" << 1 << 1 << "";
}

void TestCli::list()
{
    QFETCH(QString, arguments);
    QFETCH(int, sim);
    QFETCH(int, code);
    QFETCH(QString, titles);
    const Demo &demo = Demo::readOnly();
    const Result result = demo.run(arguments);
    QCOMPARE(result.code, code);
    if (code != 0) {
        QVERIFY2(result.out.isEmpty() && result.err.contains(arguments.section(u'|', -1)), qPrintable(result.err));
        return;
    }
    QStringList got, expected;
    QString previousKey;
    for (const Area &area : demo.areas(sim)) {
        // A remote-only area has no local folder; the order is the one the next save records.
        const bool local = area[u"remote"_s].isEmpty() || !area[u"local"_s].isEmpty();
        if (titles == "*"_L1 || titles.split(u',').contains(area[u"title"_s]))
            expected << u"SceneryNew\\%1|%1|LevelNew|1|%2|%3|%4"_s.arg(area[u"title"_s]).arg(local).arg(area[u"local"_s], previousKey);
        previousKey = u"SceneryNew\\"_s + area[u"title"_s];
    }
    for (const QJsonValue &s : parse(result).array()) {
        got << u"%1|%2|%3|%4|%5|%6|%7"_s.arg(s[u"key"_s].toString(), s[u"title"_s].toString(), s[u"level"_s].toString())
                   .arg(s[u"inCFG"_s].toBool()).arg(s[u"isLocalPath"_s].toBool())
                   .arg(s[u"localPath"_s].toString(), s[u"previousKey"_s].toString());
        QCOMPARE(s[u"flatten"_s].toArray().size(), 10);
        QCOMPARE(s.toObject().keys().join(u','),
                 u"active,author,comment,exclude,flatten,flySim,group,groupId,id,inCFG,isLocalPath,key,layer,level,"
                 "localPath,previousKey,remotePath,required,salesType,textureId,title,version"_s);
    }
    QCOMPARE(got, expected);
    QCOMPARE(got.size(), titles == "*"_L1 ? demo.areas(sim).size() : titles.split(u',', Qt::SkipEmptyParts).size());
}

void TestCli::sets()
{
    const Demo &demo = Demo::readOnly();
    QStringList got;
    for (const QJsonValue &set : demo.runJson(u"sets|--json"_s)) {
        QStringList members;
        for (const QJsonValue &member : set[u"members"_s].toArray())
            members << member.toString();
        const bool fileOrder = members.join(u',') == titlesOf(demo.areas(1));
        const QString name = set[u"name"_s].toString();
        got << (fileOrder && name == "(Current)"_L1 ? name : u"%1/%2/%3"_s.arg(name).arg(set[u"sim"_s].toInt(-1)).arg(members.join(u',')));
    }
    // "(Current)" is never stored; stored sets and members keep their order; every set shows its
    // simulator, whichever is worked on.
    QVERIFY(got.removeOne(u"(Current)"_s));
    QCOMPARE(got.join(u';'),
             u"Europe/1/London,No Such Scenery,Paris;Empty/1/;Night VFR/1/Tokyo,Chicago;Old sim/0/Africa"_s);
}

void TestCli::import_data()
{
    QTest::addColumn<QString>("arguments"); // %1: the other file as a Windows path, %2 as a host path
    QTest::addColumn<int>("sim");
    QTest::addColumn<int>("added");
    QTest::addColumn<bool>("updated");
    QTest::newRow("own file, FS2002") << "import" << 1 << 0 << false;
    QTest::newRow("own file, FS2000") << "--sim|0|import" << 0 << 0 << false;
    QTest::newRow("other file, host path") << "import|%2" << 1 << 1 << false;
    QTest::newRow("other file, Windows path") << "import|%1" << 1 << 1 << false;
    QTest::newRow("other file, --update-existing") << "import|%2|--update-existing" << 1 << 1 << true;
}

void TestCli::import()
{
    QFETCH(QString, arguments);
    QFETCH(int, sim);
    QFETCH(int, added);
    QFETCH(bool, updated);
    const Demo demo;
    // Two known areas, both switched off, not required and moved, and one new area.
    const QString file = DemoInstallation::downloadsFolder() + u"\\other.cfg"_s;
    demo.fs.writeLines(file, words(u"[General]|Title=Other||[Area.001]|Title=Paris|Active=FALSE|Required=FALSE|Local=Moved\\Paris||"
                                   "[Area.002]|Title=Tokyo|Active=FALSE|Required=FALSE|Local=Moved\\Tokyo||[Area.003]|"
                                   "Title=Brand New Field|Active=TRUE|Local=Addon Scenery\\New"_s));
    const QString list = sim == 0 ? u"--sim|0|list|--json"_s : u"list|--json"_s;
    const QJsonArray before = demo.runJson(list);
    const Result imported = demo.run(QString(arguments).replace(u"%1"_s, file).replace(u"%2"_s, demo.fs.toHost(file)));
    QVERIFY2(imported.code == 0, qPrintable(imported.err));
    QVERIFY2(imported.out.contains(u": %1 sceneries before, %2 after, %3 new areas."_s
                                       .arg(before.size()).arg(before.size() + added).arg(added).toUtf8()),
             imported.out.constData());
    // Saved, so a later run reads the library back, in the same order. Without --update-existing
    // known sceneries keep their values.
    const QJsonArray after = demo.runJson(list);
    QCOMPARE(after.size(), before.size() + added);
    QHash<QString, QJsonObject> known;
    for (const QJsonValue &s : before)
        known.insert(s[u"key"_s].toString(), s.toObject());
    for (const QJsonValue &s : after) {
        const QString title = s[u"title"_s].toString();
        QJsonObject was = known.value(s[u"key"_s].toString()), is = s.toObject();
        const bool named = title == "Paris"_L1 || title == "Tokyo"_L1;
        if (was.isEmpty()) { // the new area, not in the simulator's file
            was = QJsonObject{{u"title"_s, u"Brand New Field"_s}, {u"level"_s, u"LevelNew"_s}, {u"inCFG"_s, false},
                              {u"localPath"_s, u"Addon Scenery\\New"_s}};
        } else {
            // The library file keeps a group as a number, so an area without one comes back with "0".
            if (was[u"group"_s].toString().isEmpty())
                was[u"group"_s] = u"0"_s;
            if (updated && named)
                was[u"active"_s] = was[u"required"_s] = false, was[u"localPath"_s] = u"Moved\\"_s + title;
            if (added) // the order around the new area is not prescribed
                was.remove(u"previousKey"_s);
        }
        for (const QString &key : was.keys())
            QCOMPARE(title + key + is[key].toVariant().toString(), title + key + was[key].toVariant().toString());
    }
}

void TestCli::writeCfg_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("general"); // the file's first lines; "" not checked
    QTest::addColumn<QString>("titles"); // "*": those of the current file that can be written
    const QString fs2002 = u"[General]|Title=FS2002 World|Description=Lumivale 1.6 Created World|Cache_Size="_s;
    QTest::newRow("FS2002") << "write-cfg|(Current)" << fs2002 + u"50M|Clean_on_Exit=FALSE|"_s << "*";
    QTest::newRow("FS2000: no title, no description") << "--sim|0|write-cfg|(Current)"
                                                      << "[General]|Cache_Size=50M|Clean_on_Exit=FALSE|" << "*";
    QTest::newRow("options") << "write-cfg|(Current)|--cache-size|120|--clean-on-exit|--title|Evening|--description|Later"
                             << "[General]|Title=Evening|Description=Later|Cache_Size=120M|Clean_on_Exit=TRUE|" << "*";
    QTest::newRow("cache size below 10 raised") << "write-cfg|(Current)|--cache-size|4" << fs2002 + u"10M|Clean_on_Exit=FALSE|"_s << "*";
    QTest::newRow("--backup first") << "write-cfg|(Current)|--backup|before/flight" << "" << "*";
    QTest::newRow("332 titles written") << "write-cfg|Big332" << "" << "Paris,London";
    QTest::newRow("332 titles named twice: written once") << "write-cfg|Big332|Big332" << "" << "Paris,London";
}

void TestCli::writeCfg()
{
    QFETCH(QString, arguments);
    QFETCH(QString, general);
    QFETCH(QString, titles);
    const Demo demo;
    demo.writeSets(u"Big332/1/"_s + numbered(330, u",London,Paris"_s)); // made-up titles and two real ones
    demo.fs.writeLines(demo.programFolder + u"\\BackupFilesFS2002.db"_s, words(u"\\Scenery.cfg|\\FS2002.cfg"_s));
    const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
    const int sim = arguments.startsWith("--sim|0"_L1) ? 0 : 1;
    const QString expected = titles == "*"_L1 ? demo.writableTitles(sim) : titles;

    const Result result = demo.run(arguments);
    QVERIFY2(result.code == 0, qPrintable(result.err));
    const QList<Area> areas = demo.areas(sim);
    QVERIFY2(result.out.contains(u": %1 areas from"_s.arg(areas.size()).toUtf8()), result.out.constData());
    // The demo's Scenery.cfg has areas without their folder.
    QVERIFY2(titles != "*"_L1 || result.err.contains(u"Can not include scenery.: Scenery '"_s), qPrintable(result.err));
    QCOMPARE(titlesOf(areas), expected);
    // Areas are numbered in tree order and their layer is their number.
    for (qsizetype i = 0; i < areas.size(); ++i)
        QCOMPARE(areas.at(i).value(u"number"_s) + u'/' + areas.at(i).value(u"layer"_s), u"%1/%2"_s.arg(int(i) + 1, 3, 10, QLatin1Char('0')).arg(i + 1));
    const QStringList lines = demo.fs.readLines(Demo::sceneryCfg(sim));
    if (!general.isEmpty())
        QCOMPARE(lines.mid(0, general.count(u'|') + 1), words(general));
    QCOMPARE(lines.contains(u"[Cache.000]"_s), sim == 1);
    if (!arguments.contains(u"--backup"_s))
        return;
    QVERIFY2(result.err.contains(u"Do you want to make a backup first? [answered Yes]"_s), qPrintable(result.err));
    QVERIFY(QFileInfo(demo.fs.toHost(demo.backupRoot() + u"before_flight.zip"_s)).size() > 0);
    // The copy was taken before the new file replaced the old one.
    QCOMPARE(demo.fs.readAll(Demo::simFolder(1) + u"\\Scenery.CFG.Backup"_s), original);
}

void TestCli::backupRoundTrip()
{
    const Demo demo;
    demo.fs.writeLines(demo.programFolder + u"\\BackupFilesFS2002.db"_s, {u"\\Scenery.cfg"_s});
    const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
    // An earlier folder backup is listed beside the zip files.
    Start::CreateSubFolder(demo.fs, demo.backupRoot() + u"Spring V15"_s);
    demo.fs.writeAll(demo.backupRoot() + u"Spring V15\\Scenery.cfg"_s, original + "x");
    const auto listed = [&] {
        QStringList names;
        for (const QJsonValue &b : demo.runJson(u"backup|list|--json"_s)) {
            const qint64 size = b[u"size"_s].toInteger();
            names << b[u"name"_s].toString() + u':' + b[u"kind"_s].toString() +
                         (size == original.size() + 1 ? u":="_s : size > 0 ? u":>0"_s : u":0"_s);
        }
        names.sort();
        return names.join(u';');
    };
    QCOMPARE(demo.run(u"backup|make|nightly"_s).code, 0);
    QCOMPARE(listed(), u"Spring V15:folder:=;nightly.zip:zip:>0"_s);

    demo.fs.writeAll(Demo::sceneryCfg(1), "[General]\r\n"); // spoiled, comes back from the backup
    QCOMPARE(demo.run(u"backup|install|nightly.zip"_s).code, 0);
    QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), original);

    // Deleting asks; without --yes the answer is No and the backup stays.
    QCOMPARE(demo.run(u"backup|delete|nightly.zip"_s).code, 3);
    QCOMPARE(listed(), u"Spring V15:folder:=;nightly.zip:zip:>0"_s);
    QCOMPARE(demo.run(u"backup|delete|nightly.zip|--yes"_s).code, 0);
    QCOMPARE(listed(), u"Spring V15:folder:="_s);
}

void TestCli::failuresChangeNothing_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("backupList"); // lines of the simulator's backup file list
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("errPart");
    const QString list = u"\\Scenery.cfg|\\No such file.cfg"_s;
    QTest::newRow("import of a missing file") << "import|C:\\Nowhere\\Scenery.cfg" << list << 1 << "C:\\Nowhere\\Scenery.cfg";
    QTest::newRow("unknown set") << "write-cfg|Nowhere" << list << 1 << "no set \"Nowhere\"";
    QTest::newRow("unknown set after a known one") << "write-cfg|(Current)|Nowhere" << list << 1 << "no set \"Nowhere\"";
    QTest::newRow("333 titles refused") << "write-cfg|Big333" << list << 3
        << "Can not create scenery.cfg: The selected sets cover more then the maximum of 332 sceneries.";
    // The limit counts distinct titles over all named sets.
    QTest::newRow("332 titles and (Current) over them") << "write-cfg|Big332|(Current)" << list << 3 << "Can not create";
    QTest::newRow("install a missing backup") << "backup|install|none.zip" << list << 1
                                              << "Could not install backup.: Backup does not exist.";
    QTest::newRow("install-old a missing folder") << "backup|install-old|none" << list << 1 << "Backup does not exist.";
    QTest::newRow("delete a missing backup") << "backup|delete|none.zip|--yes" << list << 1
                                             << "Could not delete backup.: Backup does not exist.";
    QTest::newRow("make with an empty file list") << "backup|make|empty" << "" << 1 << "names no files";
    QTest::newRow("make with a listed file missing") << "backup|make|broken" << list << 1 << "BackupManager.makeBackup";
}

void TestCli::failuresChangeNothing()
{
    QFETCH(QString, arguments);
    QFETCH(QString, backupList);
    QFETCH(int, code);
    QFETCH(QString, errPart);
    static const Demo demo; // nothing is written, so the rows can share one copy
    [[maybe_unused]] static const bool prepared =
        (demo.writeSets(u"Big333/1/"_s + numbered(331, u",Paris,London;Big332/1/"_s) + numbered(330, u",Paris,London"_s)), true);
    demo.fs.writeLines(demo.programFolder + u"\\BackupFilesFS2002.db"_s, words(backupList));
    const auto before = demo.state();

    const Result result = demo.run(arguments);
    QCOMPARE(result.code, code);
    QVERIFY2(result.err.contains(errPart), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QCOMPARE(demo.state(), before);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
