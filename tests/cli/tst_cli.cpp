// lumivale-cli: its UI port in process, the demo installation it makes, and the commands as a
// user runs them: a separate process working on the installation named by LUMIVALE_HOME and
// WINEPREFIX, either a small test installation or a copy of the demo.

#include "app/demoinstallation.h"
#include "areas/areavalues.h"
#include "cli/cliui.h"
#include "cli/commands.h"
#include "platform/filefaults.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "platform/winpath.h"
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

struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
    QString text() const { return u"%1|%2|%3"_s.arg(code).arg(QString::fromUtf8(out), err); } // exit|stdout|stderr
    QJsonDocument json() const { return QJsonDocument::fromJson(out); }
};

// The built program, arguments split at "|"; userHome stands in for ~, so that nothing of the
// user's own leaks in.
Result runProcess(const QString &arguments, const QString &home, const QString &prefix, const QString &userHome)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &variable : {u"LUMIVALE_HOME="_s + home, u"WINEPREFIX="_s + prefix, u"HOME="_s + userHome, u"XDG_DATA_HOME="_s + userHome})
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMIVALE_CLI_EXE), words(arguments));
    if (!process.waitForFinished(120000))
        process.kill(), process.waitForFinished(); // then no normal exit
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

// The areas of a Scenery.cfg: lower-case key -> value, and "number" from the section name.
using Area = QHash<QString, QString>;
QList<Area> readAreas(const QStringList &lines)
{
    QList<Area> areas;
    bool inArea = false;
    for (const QString &line : lines) {
        if (line.startsWith(u'[') && (inArea = line.startsWith("[Area."_L1, Qt::CaseInsensitive)))
            areas.append({{u"number"_s, line.mid(6, 3)}});
        else if (inArea && line.contains(u'='))
            areas.last().insert(line.section(u'=', 0, 0).toLower(), line.section(u'=', 1));
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

// Relative path -> content hash of every file below a folder, but those whose name ends in except.
QMap<QString, QByteArray> snapshot(const QString &root, const QString &except = u"\n"_s)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        const QString name = QDir(root).relativeFilePath(file.fileName());
        if (!name.endsWith(except) && file.open(QIODevice::ReadOnly))
            files.insert(name, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

using B = UiPort::Buttons;
using A = UiPort::Answer;
const QString BackupTitle = u"Creating new Scenery.CFG"_s;

// A copy of the demo installation, generated once per run (generating costs several times a copy).
struct Demo
{
    QTemporaryDir dir;
    QString prefixHost = dir.filePath(u"demo"_s), programFolder;
    FileSystem fs;

    static const DemoInstallation::Summary &pristine()
    {
        static QTemporaryDir dir;
        static const DemoInstallation::Summary summary = DemoInstallation::create(dir.filePath(u"demo"_s));
        return summary;
    }

    // With the sets given as "name/sim/member,member;...", where "#N" stands for N made-up titles.
    explicit Demo(const QString &sets = {})
    {
        // The prefix's drive links are relative or point outside it: copied as they are, they stay right.
        QProcess::execute(u"cp"_s, {u"-a"_s, pristine().winePrefixHost, prefixHost});
        fs = FileSystem(DriveMap::fromWinePrefix(prefixHost));
        programFolder = fs.toWindows(prefixHost + pristine().programFolderHost.mid(pristine().winePrefixHost.size()));
        QStringList lines;
        for (const QString &set : sets.split(u';', Qt::SkipEmptyParts)) {
            const QStringList parts = set.split(u'/');
            lines << u"<Set>"_s << parts[0] << parts[1] << u"False"_s;
            for (const QString &member : parts[2].split(u',', Qt::SkipEmptyParts))
                for (int i = 1; i <= qMax(1, member.mid(1).toInt()); ++i)
                    lines << (member.startsWith(u'#') ? u"Set member %1"_s.arg(i) : member);
            lines << u"</Set>"_s;
        }
        if (!lines.isEmpty())
            fs.writeLines(programFolder + u"\\CFGSet.db"_s, lines);
    }

    static QString simFolder(int sim) { return sim == 0 ? DemoInstallation::fs2000Folder() : DemoInstallation::fs2002Folder(); }
    static QString sceneryCfg(int sim) { return simFolder(sim) + u"\\Scenery.cfg"_s; }
    QList<Area> areas(int sim) const { return readAreas(fs.readLines(sceneryCfg(sim))); }
    QString backupRoot() const { return programFolder + u"\\EnvBackups\\"_s; }
    void writeBackupList(const QString &lines) const { fs.writeLines(programFolder + u"\\BackupFilesFS2002.db"_s, words(lines)); }
    Result run(const QString &arguments) const { return runProcess(arguments, fs.toHost(programFolder), prefixHost, dir.path()); }
    QJsonArray runJson(const QString &arguments) const { return run(arguments).json().array(); }

    // Where the simulator finds an area's folder.
    QString realPath(int sim, const QString &local) const { return local.mid(1, 1) == u":"_s ? local : simFolder(sim) + u'\\' + local; }
};

// The command line's UI port, rewording every message and title before it is shown, as a later
// version of the program might word them.
class RewordingUi : public CliUi
{
public:
    using CliUi::CliUi;
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon) override
    {
        return CliUi::message(Reworded + text, Reworded + title, buttons, Icon::None);
    }
    static inline const QString Reworded = u"Reworded: "_s;
};

// Points the command line at an installation for a run in this process, as LUMIVALE_HOME and
// WINEPREFIX do for the program; what was set before comes back afterwards.
class InstallationEnvironment
{
public:
    InstallationEnvironment(const QString &programFolderHost, const QString &winePrefixHost)
    {
        for (const auto &[name, value] :
             {std::pair{"LUMIVALE_HOME", programFolderHost}, {"WINEPREFIX", winePrefixHost}}) {
            m_before.append({name, qgetenv(name)});
            qputenv(name, value.toLocal8Bit());
        }
    }
    ~InstallationEnvironment()
    {
        for (const auto &[name, value] : m_before)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

private:
    QList<std::pair<const char *, QByteArray>> m_before;
};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("setup"); // buttons; --yes; an answer set for BackupTitle; "lower-case": that title asked so
        QTest::addColumn<QString>("answer"); // "" for an OK box, which prints none
        // A question gets No without --yes, Yes with it or with a preset Yes: the backup delete and
        // write-cfg --backup cases below show those.
        QTest::newRow("ok box") << "Ok" << "";
        QTest::newRow("ok/cancel: Cancel") << "OkCancel" << "Cancel";
        QTest::newRow("ok/cancel, --yes: OK") << "OkCancel --yes" << "OK";
        QTest::newRow("No for the title despite --yes") << "YesNo --yes No" << "No";
        QTest::newRow("Yes on an OK/Cancel question") << "OkCancel Yes" << "OK";
        QTest::newRow("Cancel despite --yes") << "OkCancel --yes Cancel" << "Cancel";
        QTest::newRow("titles match exactly") << "YesNo --yes No lower-case" << "Yes";
    }
    void answers()
    {
        QFETCH(QString, setup);
        QFETCH(QString, answer);
        const QHash<QString, A> answers{{u"OK"_s, A::Ok}, {u"Cancel"_s, A::Cancel}, {u"Yes"_s, A::Yes}, {u"No"_s, A::No}};
        const QHash<QString, B> buttons{{u"Ok"_s, B::Ok}, {u"OkCancel"_s, B::OkCancel}, {u"YesNo"_s, B::YesNo}};
        QString printed;
        QTextStream err(&printed);
        CliUi ui(err);
        ui.setAssumeYes(setup.contains(u"--yes"_s));
        for (const QString &word : setup.split(u' '))
            if (answers.contains(word))
                ui.setAnswerFor(BackupTitle, answers[word]);
        const QString title = setup.contains(u"lower-case"_s) ? u"Creating new Scenery.cfg"_s : BackupTitle;
        const A got = ui.message(u"Make a backup first?"_s, title, buttons[setup.section(u' ', 0, 0)], UiPort::Icon::Question);
        err.flush();
        QCOMPARE(int(got), int(answers.value(answer, A::Ok)));
        QCOMPARE(printed, u"%1: Make a backup first?%2\n"_s.arg(
                              title, answer.isEmpty() ? u""_s : u" [answered %1]"_s.arg(answer)));
    }

    void demo()
    {
        const Demo demo;
        const QStringList lines = demo.fs.readLines(Demo::sceneryCfg(1));
        const Result result = demo.run(u"list|--json"_s); // read without a message
        const QJsonArray sceneries = result.json().array();
        // One scenery per area: one title twice would be one scenery when read.
        const qsizetype count = sceneries.size(), required = lines.filter(QRegularExpression(u"^Required="_s)).size();
        QVERIFY2(result.code == 0 && result.err.isEmpty() && count >= 40 && count <= 120, qPrintable(result.text()));
        QCOMPARE(u"%1|%2|%3"_s.arg(lines.value(1), lines.filter(u"[Cache."_s).join(u',')).arg(required == count),
                 u"Title=FS2002 World|[Cache.001],[Cache.002]|1"_s);
        QStringList headers, remoteOnly, missing;
        int outOfOrder = 0, rectangles = 0;
        for (const QJsonValue &s : sceneries) {
            headers << u"[Area.%1]"_s.arg(headers.size() + 1, 3, 10, QLatin1Char('0'));
            outOfOrder += s[u"layer"_s].toInt() != headers.size();
            // The add-on with rectangles must show them as well formed, not in red.
            rectangles += !s[u"exclude"_s].toString().isEmpty() && !CheckErrorExclude(s[u"exclude"_s].toString());
            for (const QJsonValue &flatten : s[u"flatten"_s].toArray())
                rectangles += !flatten.toString().isEmpty() && !CheckErrorFlatten(flatten.toString());
            // Every scenery folder holds stand-in files, except add-ons left out on purpose.
            const QString local = s[u"localPath"_s].toString(), path = demo.realPath(1, local);
            if (!s[u"isLocalPath"_s].toBool() || !demo.fs.folderExists(path)) {
                (s[u"isLocalPath"_s].toBool() ? missing : remoteOnly) << local.section(u'\\', 0, 0);
                continue;
            }
            const QString files = (demo.fs.files(path + u"\\scenery"_s) << u"|"_s << demo.fs.files(path + u"\\texture"_s)).join(u';');
            QVERIFY2(QRegularExpression(u"^([^;|]+\\.bgl;)+\\|(;[^;|]+\\.bmp)+$"_s).match(files).hasMatch(), qPrintable(path + u": "_s + files));
        }
        missing.removeDuplicates();
        QCOMPARE(lines.filter(QRegularExpression(u"^\\[Area"_s)), headers);
        QCOMPARE(u"%1 out of order, %2 remote-only, missing in %3, %4 rectangles"_s.arg(outOfOrder).arg(remoteOnly.size())
                     .arg(missing.join(u',')).arg(rectangles), u"0 out of order, 1 remote-only, missing in Addon Scenery, 2 rectangles"_s);
        // Windows text: CR LF only, "Zürich" as the one byte 0xFC, not UTF-8's two.
        const QByteArray bytes = demo.fs.readAll(Demo::sceneryCfg(1));
        QVERIFY(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n") && !bytes.contains("\xc3\xbc"));
        QVERIFY(bytes.contains("Title=Z\xfcrich Lakefront\r\n"));
        QStringList names;
        for (const QString &archive : Demo::pristine().archives) {
            zip_t *zip = zip_open(QFile::encodeName(demo.fs.toHost(archive)).constData(), ZIP_RDONLY, nullptr);
            for (zip_int64_t i = 0; zip && i < zip_get_num_entries(zip, 0); ++i)
                names << QString::fromUtf8(zip_get_name(zip, zip_uint64_t(i), 0));
            zip_discard(zip);
            names << u";"_s;
        }
        QVERIFY2(QRegularExpression(u"^(scenery/[^/ ]+\\.bgl texture/[^/ ]+\\.bmp ; ){2}$"_s).match(names.join(u' ') + u' ').hasMatch(),
                 qPrintable(names.join(u' ')));
        // Two runs give the same files; a folder that is not empty is refused and left as it was.
        QTemporaryDir other;
        DemoInstallation::create(other.filePath(u"again"_s));
        QCOMPARE(snapshot(other.filePath(u"again"_s)), snapshot(Demo::pristine().winePrefixHost));
        QFile mine(other.filePath(u"mine/system.reg"_s));
        QVERIFY(QDir(other.path()).mkdir(u"mine"_s) && mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
        mine.close();
        try {
            DemoInstallation::create(other.filePath(u"mine"_s));
            QFAIL("a folder that is not empty was written into");
        } catch (const LmError &e) {
            QCOMPARE(e.number(), qint32(LmError::FileAlreadyExists));
        }
        QCOMPARE(QDir(other.filePath(u"mine"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"system.reg"_s});
        QCOMPARE(snapshot(other.filePath(u"mine"_s)).first(), QCryptographicHash::hash("mine", QCryptographicHash::Sha1));
        // The demo command prints what to export, and what it prints works: its FS2002 is selected.
        const QString made = other.filePath(u"cmd"_s), home = QDir(made).filePath(DemoInstallation::programFolderName());
        const Result created = runProcess(u"demo|"_s + made, other.filePath(u"unused"_s), other.filePath(u"unused"_s), other.path());
        QVERIFY2(created.code == 0 && created.out.contains(u"export WINEPREFIX=%1\n  export LUMIVALE_HOME=%2\n"_s.arg(made, home).toUtf8()),
                 qPrintable(created.text()));
        const QJsonDocument info = runProcess(u"info|--json"_s, home, made, other.path()).json();
        QCOMPARE(u"%1 %2"_s.arg(info[u"simType"_s].toInt(-1)).arg(info[u"fsPath"_s].toString()), u"1 "_s + DemoInstallation::fs2002Folder());
    }

    void info_data()
    {
        // installs: "type|folder|value name;..." (folder and value name may be left out), then the
        // stored SelectedSim after "=". expected: "exit|parts of stdout by ';'|a part of stderr", ""
        // where nothing may be printed, exit -1 any failure; with --json stdout summed up as below.
        QTest::addColumn<QString>("installs");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected");
        const QString json = u"info|--json"_s;
        QTest::newRow("FS2000+FS2002, none stored: 2002") << "0;1" << json << "0|110 1 C:\\Program Files\\FS2002|";
        QTest::newRow("FS2000+CFS2, none stored: 2000") << "0;2" << json << "0|101 0 C:\\FS2000|";
        QTest::newRow("all three, SelectedSim 2") << "0;1;2=2" << json << "0|111 2 C:\\CFS2|";
        QTest::newRow("only FS2000: SelectedSim not read") << "0=1" << json << "0|100 0 C:\\FS2000|";
        QTest::newRow("trailing backslash cut") << "1|C:\\FS2002\\" << json << "0|010 1 C:\\FS2002|";
        QTest::newRow("value names in other letter case") << "0||PATH;1||exe path" << json << "0|110 1 C:\\Program Files\\FS2002|";
        QTest::newRow("--sim 0 over SelectedSim 1") << "0;1=1" << u"--sim|0|"_s + json << "0|110 0 C:\\FS2000|";
        QTest::newRow("--sim after the command") << "0;1;2" << json + u"|--sim=2"_s << "0|111 2 C:\\CFS2|";
        QTest::newRow("SelectedSim not a number: reported, none selected")
            << "0;1=abc" << json << "0|110 0 |Lumivale: SceneryManager.Class_Initialize\nError: 13\n";
        QTest::newRow("--sim of a simulator not installed") << "1" << u"--sim|2|"_s + json << "1||Combat Flight Simulator 2 (--sim 2) is not installed.";
        QTest::newRow("no simulator") << "" << json << "-1||Can not run Lumivale: You must install MS Flightsimulator 2000 "
            "or MS Flightsimulator 2000 Pro or MS Combat Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first.";
        QTest::newRow("text") << "0" << "info" << "0|Selected:         0 Flight Simulator 2000\nSimulator folder: C:\\FS2000\n"
                                                   "Scenery.cfg:      C:\\FS2000\\Scenery.cfg\n|";
        QTest::newRow("no command") << "" << "" << "2||Commands:";
        QTest::newRow("unknown command") << "" << "frobnicate" << "2||unknown command \"frobnicate\"";
        QTest::newRow("unknown option") << "" << "info|--jsn" << "2||jsn";
        QTest::newRow("--sim 3") << "" << "--sim|3|info" << "2||--sim takes 0, 1 or 2";
        QTest::newRow("--sim not a number") << "" << "--sim|fs9|info" << "2||\"fs9\"";
        QTest::newRow("write-cfg, cache size not a number") << "" << "write-cfg|(Current)|--cache-size|50M" << "2||\"50M\"";
        QTest::newRow("backup, unknown action") << "" << "backup|restore|x" << "2||make NAME";
        // Help needs no simulator, and asking how to call a command that needs arguments is no error.
        QStringList names;
        for (const CliCommand &command : cliCommands())
            names << QString::fromLatin1(command.name);
        QTest::newRow("--help") << "" << "--help" << u"0|Usage: lumivale-cli;--sim;%1|"_s.arg(names.join(u';'));
        for (const QString &name : names)
            QTest::newRow(qPrintable(name + u" --help"_s)) << "" << name + u"|--help"_s << u"0|Usage: lumivale-cli %1;--yes|"_s.arg(name);
    }
    void info()
    {
        QFETCH(QString, installs);
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        TestEnv env;
        env.writeFile(u"C:\\FS2000\\SCENERY.CFG"_s, "[General]\r\n"); // a folder alone installs nothing
        const QStringList folders{u"C:\\FS2000"_s, u"C:\\Program Files\\FS2002"_s, u"C:\\CFS2"_s};
        for (const QString &install : installs.section(u'=', 0, 0).split(u';', Qt::SkipEmptyParts)) {
            const QStringList parts = install.split(u'|');
            env.installSim(parts[0].toInt(), parts.value(1).isEmpty() ? folders.at(parts[0].toInt()) : parts[1], parts.value(2));
        }
        if (installs.contains(u'='))
            env.settings->write(SettingsStore::Root::Machine, u"SOFTWARE\\Tarnwick\\Lumivale"_s, u"SelectedSim"_s, installs.section(u'=', 1));
        const Result result = runProcess(arguments, env.homeHost(), env.prefixHost(), env.rootHost());
        const QStringList want = expected.split(u'|');
        const bool json = result.code == 0 && arguments.contains("--json"_L1);
        // With --json the output as "fs2000 fs2002 cfs2 simType fsPath", e.g. "110 1 C:\FS2002".
        const QJsonObject info = result.json().object(), sims = info[u"simulators"_s].toObject();
        const QString out = !json ? QString::fromUtf8(result.out) : u"%1%2%3 %4 %5"_s.arg(sims[u"fs2000"_s].toBool()).arg(sims[u"fs2002"_s].toBool())
                                                                        .arg(sims[u"cfs2"_s].toBool()).arg(info[u"simType"_s].toInt(-1)).arg(info[u"fsPath"_s].toString());
        QVERIFY2((want[0] == "-1"_L1 ? result.code > 0 : result.code == want[0].toInt()) &&
                     (want[2].isEmpty() ? result.err.isEmpty() : result.err.contains(want[2])), qPrintable(result.text()));
        QVERIFY2(json ? out == want[1] : want[1].isEmpty() == out.isEmpty(), qPrintable(out));
        for (const QString &part : want[1].split(u';', Qt::SkipEmptyParts))
            QVERIFY2(json || out.contains(part), qPrintable(part));
        QVERIFY(!json || info[u"programFolder"_s].toString() == env.programFolder());
    }

    void list_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("titles"); // "*": every area of the file; "!": refused; sets: those after "(Current)"
        // Both simulators installed and nothing stored: Flight Simulator 2002 is worked on.
        QTest::newRow("selected simulator") << "list|--json" << "*";
        QTest::newRow("--sim 0") << "--sim|0|list|--json" << "*";
        QTest::newRow("set (Current)") << "list|--json|--set|(Current)" << "*";
        QTest::newRow("set: tree order, unknown titles left out") << "list|--json|--set|Europe" << "Paris,London";
        QTest::newRow("empty set") << "list|--json|--set|Empty" << "";
        QTest::newRow("no such set") << "list|--json|--set|Nowhere" << "!";
        QTest::newRow("set names match case") << "list|--json|--set|europe" << "!";
        // "(Current)" (put first to compare) is never stored and holds the file's areas; stored sets
        // and members keep their order; every set shows its simulator, whichever is worked on.
        QTest::newRow("sets") << "sets|--json" << "Europe/1/London,No Such Scenery,Paris;Empty/1/;Night VFR/1/Tokyo,Chicago;Old sim/0/Africa";
    }
    void list()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, titles);
        // Stored sets: members out of tree order and a title the library does not hold; an empty set;
        // a set of the other simulator. Nothing is written, so the rows share one copy.
        static const Demo demo(u"Europe/1/London,No Such Scenery,Paris;Empty/1/;Night VFR/1/Tokyo,Chicago;Old sim/0/Africa"_s);
        const Result result = demo.run(arguments);
        QVERIFY2(titles == "!"_L1 ? result.code == 1 && result.out.isEmpty() && result.err.contains(arguments.section(u'|', -1))
                                  : result.code == 0, qPrintable(result.text()));
        const QString fields = u"|active,author,comment,exclude,flatten,flySim,group,groupId,id,inCFG,isLocalPath,key,layer,"
                               "level,localPath,previousKey,remotePath,required,salesType,textureId,title,version|10"_s;
        const bool sets = arguments.startsWith("sets"_L1);
        QStringList got, expected = sets ? (u"(Current)/*/"_s + titlesOf(demo.areas(1)) + u';' + titles).split(u';') : QStringList{};
        QString previousKey;
        for (const Area &area : sets ? QList<Area>{} : demo.areas(arguments.startsWith("--sim|0"_L1) ? 0 : 1)) {
            // A remote-only area has no local folder; the order is the one the next save records.
            const bool local = area[u"remote"_s].isEmpty() || !area[u"local"_s].isEmpty();
            if (titles == "*"_L1 || titles.split(u',').contains(area[u"title"_s]))
                expected << u"SceneryNew\\%1|%1|LevelNew|1|%2|%3|%4"_s.arg(area[u"title"_s]).arg(local).arg(area[u"local"_s], previousKey) + fields;
            previousKey = u"SceneryNew\\"_s + area[u"title"_s];
        }
        for (const QJsonValue &s : result.json().array()) {
            const QString name = s[u"name"_s].toString(), members = s[u"members"_s].toVariant().toStringList().join(u',');
            got << (sets ? u"%1/%2/%3"_s.arg(name, name == "(Current)"_L1 ? u"*"_s : QString::number(s[u"sim"_s].toInt(-1)), members)
                         : u"%1|%2|%3|%4|%5|%6|%7|%8|%9"_s.arg(s[u"key"_s].toString(), s[u"title"_s].toString(), s[u"level"_s].toString())
                               .arg(s[u"inCFG"_s].toBool()).arg(s[u"isLocalPath"_s].toBool())
                               .arg(s[u"localPath"_s].toString(), s[u"previousKey"_s].toString(), s.toObject().keys().join(u','))
                               .arg(s[u"flatten"_s].toArray().size()));
        }
        std::stable_partition(got.begin(), got.end(), [](const QString &line) { return line.startsWith("(Current)/"_L1); });
        QCOMPARE(got, expected);
    }

    void import_data()
    {
        QTest::addColumn<QString>("arguments"); // %1: the other file as a Windows path, %2 as a host path
        QTest::addColumn<int>("added");
        QTest::newRow("own file, FS2002") << "import" << 0;
        QTest::newRow("other file, host path") << "import|%2" << 1;
        QTest::newRow("other file, Windows path") << "import|%1" << 1;
        QTest::newRow("other file, --update-existing") << "import|%2|--update-existing" << 1;
    }
    void import()
    {
        QFETCH(QString, arguments);
        QFETCH(int, added);
        const Demo demo;
        // Two known areas, both switched off, not required and moved, and one new area.
        const QString file = DemoInstallation::downloadsFolder() + u"\\other.cfg"_s;
        demo.fs.writeLines(file, words(u"[General]|Title=Other||[Area.001]|Title=Paris|Active=FALSE|Required=FALSE|Local=Moved\\Paris||"
                                       "[Area.002]|Title=Tokyo|Active=FALSE|Required=FALSE|Local=Moved\\Tokyo||[Area.003]|"
                                       "Title=Brand New Field|Active=TRUE|Local=Addon Scenery\\New"_s));
        // The sceneries, sorted, as the import should leave them: the library file keeps a group as
        // a number, so an area without one comes back with "0"; the order around a new area is not
        // prescribed; only --update-existing changes known sceneries.
        const auto listed = [&](bool imported) {
            QStringList sceneries;
            for (const QJsonValue &s : demo.runJson(arguments.section(u"import"_s, 0, 0) + u"list|--json"_s)) {
                QJsonObject o = s.toObject();
                const QString title = o[u"title"_s].toString();
                o[u"group"_s] = QString::number(o[u"group"_s].toString().toInt());
                o.remove(added ? u"previousKey"_s : QString());
                if (!imported && arguments.contains(u"--update-existing"_s) && (title == "Paris"_L1 || title == "Tokyo"_L1))
                    o[u"active"_s] = o[u"required"_s] = false, o[u"localPath"_s] = u"Moved\\"_s + title;
                sceneries << (title == "Brand New Field"_L1 ? u"new: %1|%2|%3"_s.arg(o[u"level"_s].toString()).arg(o[u"inCFG"_s].toBool())
                                                                  .arg(o[u"localPath"_s].toString())
                                                            : QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
            }
            return sceneries.sort(), sceneries;
        };
        QStringList expected = listed(false);
        const Result result = demo.run(QString(arguments).replace(u"%1"_s, file).replace(u"%2"_s, demo.fs.toHost(file)));
        QVERIFY2(result.code == 0 && result.out.contains(u": %1 sceneries before, %2 after, %3 new areas."_s.arg(expected.size())
                                                             .arg(expected.size() + added).arg(added).toUtf8()), qPrintable(result.text()));
        if (added)
            expected << u"new: LevelNew|0|Addon Scenery\\New"_s, expected.sort();
        QCOMPARE(listed(true), expected); // saved, so a later run reads the library back
    }

    void writeCfg_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected"); // the file's first lines, "#", the titles ("*": those that can be written)
        const QString fs2002 = u"[General]|Title=FS2002 World|Description=Lumivale 1.6 Created World|Cache_Size="_s;
        QTest::newRow("FS2002") << "write-cfg|(Current)" << fs2002 + u"50M|Clean_on_Exit=FALSE|#*"_s;
        QTest::newRow("FS2000: no title, no description") << "--sim|0|write-cfg|(Current)" << "[General]|Cache_Size=50M|Clean_on_Exit=FALSE|#*";
        QTest::newRow("options") << "write-cfg|(Current)|--cache-size|120|--clean-on-exit|--title|Evening|--description|Later"
                                 << "[General]|Title=Evening|Description=Later|Cache_Size=120M|Clean_on_Exit=TRUE|#*";
        QTest::newRow("cache size below 10 raised") << "write-cfg|(Current)|--cache-size|4" << fs2002 + u"10M|Clean_on_Exit=FALSE|#*"_s;
        QTest::newRow("--backup first") << "write-cfg|(Current)|--backup|before/flight" << "[General]#*";
        QTest::newRow("332 titles written") << "write-cfg|Big332" << "[General]#Paris,London";
        QTest::newRow("332 titles named twice: written once") << "write-cfg|Big332|Big332" << "[General]#Paris,London";
    }
    void writeCfg()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        const Demo demo(u"Big332/1/#330,London,Paris"_s); // made-up titles and two real ones
        demo.writeBackupList(u"\\Scenery.cfg|\\FS2002.cfg"_s);
        const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
        const int sim = arguments.startsWith("--sim|0"_L1) ? 0 : 1;
        // Of the current file, the areas whose scenery folder exists and those used from their remote folder.
        QStringList titles = expected.endsWith(u'*') ? QStringList{} : expected.section(u'#', 1).split(u',');
        for (const Area &area : expected.endsWith(u'*') ? demo.areas(sim) : QList<Area>{})
            if ((area[u"local"_s].isEmpty() && !area[u"remote"_s].isEmpty()) || demo.fs.folderExists(demo.realPath(sim, area[u"local"_s]) + u"\\Scenery"_s))
                titles << area[u"title"_s];
        const Result result = demo.run(arguments);
        const QList<Area> areas = demo.areas(sim);
        QVERIFY2(result.code == 0 && result.out.contains(u": %1 areas from"_s.arg(areas.size()).toUtf8()), qPrintable(result.text()));
        // The demo's Scenery.cfg has areas without their folder.
        QVERIFY2(!expected.endsWith(u'*') || result.err.contains(u"Can not include scenery.: Scenery '"_s), qPrintable(result.err));
        const QStringList lines = demo.fs.readLines(Demo::sceneryCfg(sim));
        QCOMPARE(lines.mid(0, expected.section(u'#', 0, 0).count(u'|') + 1).join(u'|') + u'#' + titlesOf(areas),
                 expected.section(u'#', 0, 0) + u'#' + titles.join(u','));
        QCOMPARE(lines.contains(u"[Cache.000]"_s), sim == 1);
        // Areas are numbered in tree order and their layer is their number.
        for (qsizetype i = 0; i < areas.size(); ++i)
            QCOMPARE(areas[i][u"number"_s] + u'/' + areas[i][u"layer"_s], u"%1/%2"_s.arg(int(i) + 1, 3, 10, QLatin1Char('0')).arg(i + 1));
        if (!arguments.contains(u"--backup"_s))
            return;
        QVERIFY2(result.err.contains(u"Do you want to make a backup first? [answered Yes]"_s), qPrintable(result.err));
        QVERIFY(QFileInfo(demo.fs.toHost(demo.backupRoot() + u"before_flight.zip"_s)).size() > 0);
        // The copy was taken before the new file replaced the old one.
        QCOMPARE(demo.fs.readAll(Demo::simFolder(1) + u"\\Scenery.CFG.Backup"_s), original);
    }

    void backupRoundTrip()
    {
        const Demo demo;
        demo.writeBackupList(u"\\Scenery.cfg"_s);
        const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
        // An earlier folder backup is listed beside the zip files.
        WinPath::CreateSubFolder(demo.fs, demo.backupRoot() + u"Spring V15"_s);
        demo.fs.writeAll(demo.backupRoot() + u"Spring V15\\Scenery.cfg"_s, original + "x");
        const auto listed = [&] {
            QStringList names;
            for (const QJsonValue &b : demo.runJson(u"backup|list|--json"_s)) // sizes: "=" that of the folder's one file
                names << b[u"name"_s].toString() + u':' + b[u"kind"_s].toString() + (b[u"size"_s].toInteger() == original.size() + 1 ? u":="_s : b[u"size"_s].toInteger() > 0 ? u":>0"_s : u":0"_s);
            return names.sort(), names.join(u';');
        };
        QCOMPARE(u"%1 %2"_s.arg(demo.run(u"backup|make|nightly"_s).code).arg(listed()), u"0 Spring V15:folder:=;nightly.zip:zip:>0"_s);
        demo.fs.writeAll(Demo::sceneryCfg(1), "[General]\r\n"); // spoiled, comes back from the backup
        QCOMPARE(demo.run(u"backup|install|nightly.zip"_s).code, 0);
        QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), original);
        // Deleting asks; without --yes the answer is No and the backup stays.
        QCOMPARE(u"%1 %2"_s.arg(demo.run(u"backup|delete|nightly.zip"_s).code).arg(listed()), u"3 Spring V15:folder:=;nightly.zip:zip:>0"_s);
        QCOMPARE(u"%1 %2"_s.arg(demo.run(u"backup|delete|nightly.zip|--yes"_s).code).arg(listed()), u"0 Spring V15:folder:="_s);
    }

    // A command's exit code comes from the outcome of what it ran: every message worded otherwise,
    // as a later version may word them, changes none.
    void exitCodeIsTheOutcomes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("backupList"); // lines split at "|"
        QTest::addColumn<bool>("cfgUnreadable"); // reading the simulator's Scenery.cfg fails
        QTest::addColumn<int>("exitCode");
        const QString listed = u"\\Scenery.cfg"_s;
        const QString longPath = listed + u"|\\"_s + QString(80, u'a') + u".bgl"_s;
        const QStringList backupFirst{u"write-cfg"_s, u"Big332"_s, u"--backup"_s, u"before"_s};
        QTest::newRow("written") << QStringList{u"write-cfg"_s, u"Big332"_s} << listed << false << 0;
        QTest::newRow("over 332 sceneries: refused")
            << QStringList{u"write-cfg"_s, u"Big333"_s} << listed << false << 3;
        QTest::newRow("backup first stopped at its long-path question")
            << backupFirst << longPath << false << 1;
        QTest::newRow("backup first failed: a listed file is missing")
            << backupFirst << u"\\No such file.cfg"_s << false << 1;
        QTest::newRow("\"(Current)\" of a Scenery.cfg that could not be read: refused")
            << QStringList{u"write-cfg"_s, u"(Current)"_s} << listed << true << 3;
        QTest::newRow("deletion declined")
            << QStringList{u"backup"_s, u"delete"_s, u"kept.zip"_s} << listed << false << 3;
        QTest::newRow("missing backup")
            << QStringList{u"backup"_s, u"install"_s, u"none.zip"_s} << listed << false << 1;
    }
    void exitCodeIsTheOutcomes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, backupList);
        QFETCH(bool, cfgUnreadable);
        QFETCH(int, exitCode);
        const Demo demo(u"Big333/1/#331,Paris,London;Big332/1/#330,Paris,London"_s);
        demo.writeBackupList(backupList);
        WinPath::CreateSubFolder(demo.fs, demo.backupRoot());
        demo.fs.writeAll(demo.backupRoot() + u"kept.zip"_s, "a backup");
        const QByteArray sceneryCfg = demo.fs.readAll(Demo::sceneryCfg(1));
        const InstallationEnvironment environment(demo.fs.toHost(demo.programFolder), demo.prefixHost);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        RewordingUi ui(errStream);
        // --backup answers the question by its title; here the question carries its new words.
        ui.setAnswerFor(RewordingUi::Reworded + BackupTitle, A::Yes);
        std::optional<FileFaultPlan> faults;
        if (cfgUnreadable)
            faults.emplace().failAt(FileStep::Read, 1, u"Scenery.cfg"_s);
        const int code = runCli(QStringList{u"lumivale-cli"_s} + arguments, outStream, errStream, ui);
        errStream.flush();
        QVERIFY2(code == exitCode, qPrintable(u"exit %1\n"_s.arg(code) + err));
        QVERIFY2(err.contains(RewordingUi::Reworded), qPrintable(err));
        if (exitCode != 0)
            QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), sceneryCfg);
    }

    // A command that writes the library takes the lock the window holds; while another instance
    // holds it, the command changes nothing. Commands that only read go on.
    void secondWriterIsRefused()
    {
        const Demo demo;
        {
            ProgramInfo running(demo.fs.toHost(demo.programFolder));
            QVERIFY(running.acquireInstanceLock());
            const auto before = snapshot(demo.prefixHost);
            const Result refused = demo.run(u"import"_s);
            QCOMPARE(refused.code, 1);
            QVERIFY2(refused.err.contains(
                         u"is in use by another Lumivale (tst_cli, process %1); nothing changed."_s.arg(
                             QCoreApplication::applicationPid())),
                     qPrintable(refused.err));
            QCOMPARE(snapshot(demo.prefixHost), before);
            QCOMPARE(demo.run(u"list"_s).code, 0);
        }
        QCOMPARE(demo.run(u"import"_s).code, 0);
    }

    // An import over a library file read with errors saves nothing unless told to; the message
    // names the file and the line. Told to, it saves, and the .backup copy stays the good one.
    void damagedLibraryIsNotSaved()
    {
        const Demo demo;
        QCOMPARE(demo.run(u"import"_s).code, 0); // the library files exist
        const QString db5 = demo.programFolder + u"\\Lumivale.db5"_s;
        QStringList lines = demo.fs.readLines(db5);
        const qsizetype firstEnd = lines.indexOf(u"</Scenery>"_s);
        lines.insert(firstEnd + 1, u"<Scenery>"_s);
        lines.insert(firstEnd + 2, u"Key="_s + lines.filter(QRegularExpression(u"^Key="_s)).first().mid(4));
        lines.insert(firstEnd + 3, u"</Scenery>"_s); // the first scenery's key again
        demo.fs.writeLines(db5, lines);
        demo.fs.writeAll(db5 + u".backup"_s, "the last good copy");
        const auto before = snapshot(demo.prefixHost);
        const Result refused = demo.run(u"import"_s);
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(u"Lumivale.db5, line %1: "_s.arg(firstEnd + 4)),
                 qPrintable(refused.err));
        QVERIFY2(refused.err.contains(u"Nothing saved."_s), qPrintable(refused.err));
        QCOMPARE(snapshot(demo.prefixHost), before);

        const Result forced = demo.run(u"import|--force-save"_s);
        QCOMPARE(forced.code, 0);
        QVERIFY(demo.fs.readAll(db5) != demo.fs.readAll(db5 + u".backup"_s));
        QCOMPARE(demo.fs.readAll(db5 + u".backup"_s), QByteArray("the last good copy"));
        QCOMPARE(demo.run(u"list"_s).err, QString()); // what was saved reads back cleanly
    }

    // With an installation key that could not be read, the simulator selected may not be the one
    // meant: a command that changes files wants it named with --sim; one that reads goes on.
    void damagedInstallationKey_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("import") << u"import"_s << 1;
        QTest::newRow("write-cfg") << u"--yes|write-cfg|(Current)"_s << 1;
        QTest::newRow("backup make") << u"backup|make|before"_s << 1;
        QTest::newRow("list reads on") << u"list"_s << 0;
        QTest::newRow("import with the simulator named") << u"--sim|0|import"_s << 0;
    }
    void damagedInstallationKey()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        TestEnv env;
        env.installSim(0, u"C:\\FS2000"_s);
        env.installSim(1, u"C:\\FS2002"_s);
        env.writeFile(u"C:\\FS2000\\Scenery.cfg"_s,
                      "[General]\r\n[Area.001]\r\nTitle=Old Field\r\nLocal=Old\r\n");
        QFile reg(env.prefixHost() + u"/system.reg"_s);
        QVERIFY(reg.open(QIODevice::ReadOnly));
        const QByteArray text = reg.readAll();
        reg.close();
        QVERIFY(reg.open(QIODevice::WriteOnly | QIODevice::Truncate));
        reg.write(QByteArray(text).replace("FS2002\"", "FS2002"));
        reg.close();
        const auto before = snapshot(env.rootHost());
        const Result result = runProcess(arguments, env.homeHost(), env.prefixHost(), env.rootHost());
        QVERIFY2(result.code == exitCode, qPrintable(result.text()));
        QVERIFY2(result.err.contains(u"Flight Simulator\\8.0 of Flight Simulator 2002 could not be read"_s),
                 qPrintable(result.err));
        QVERIFY2(exitCode == 0 || result.err.contains(u"with --sim"_s), qPrintable(result.err));
        if (exitCode != 0)
            QCOMPARE(snapshot(env.rootHost()), before);
    }

    // A backup holding files outside the simulator folder is refused before anything is restored.
    void backupWithForeignEntriesRefused()
    {
        const Demo demo;
        WinPath::CreateSubFolder(demo.fs, demo.backupRoot());
        zip_t *zip =
            zip_open(QFile::encodeName(demo.fs.toHost(demo.backupRoot() + u"foreign.zip"_s)).constData(),
                     ZIP_CREATE, nullptr);
        QVERIFY(zip);
        const QByteArray content = "[General]\r\n";
        const QByteArrayList entries{Demo::sceneryCfg(1).mid(3).replace(u'\\', u'/').toUtf8(), "FS2000/Scenery.cfg",
                                     "windows/evil.dll"};
        for (const QByteArray &entry : entries) {
            zip_source_t *source = zip_source_buffer(zip, content.constData(), zip_uint64_t(content.size()), 0);
            QVERIFY(zip_file_add(zip, entry.constData(), source, 0) >= 0);
        }
        QCOMPARE(zip_close(zip), 0);
        const auto before = snapshot(demo.prefixHost);
        const Result result = demo.run(u"backup|install|foreign.zip"_s);
        QVERIFY2(result.code == 1 && result.err.contains(u"FS2000/Scenery.cfg, windows/evil.dll"_s),
                 qPrintable(result.text()));
        QCOMPARE(snapshot(demo.prefixHost), before);
    }

    // One very long title is printed whole on its own row and pads no other row to its length.
    void listCapsTheTitleColumn()
    {
        const Demo demo;
        const QString title = QString(3000, u'T');
        for (const QString &line : {u"[Area.900]"_s, u"Title="_s + title, u"Local=Addon Scenery\\Long"_s})
            demo.fs.appendLine(Demo::sceneryCfg(1), line);
        const Result result = demo.run(u"list"_s);
        QCOMPARE(result.code, 0);
        const QStringList rows = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.filter(title).size(), 1);
        for (const QString &row : rows)
            QVERIFY2(row.contains(title) || row.size() <= 110, qPrintable(row));
    }

    void failuresChangeNothing_data()
    {
        QTest::addColumn<QString>("arguments"); // "(no list)": with an empty backup file list
        QTest::addColumn<QString>("expected"); // "exit|a part of stderr"
        QTest::newRow("import of a missing file") << "import|C:\\Nowhere\\Scenery.cfg" << "1|C:\\Nowhere\\Scenery.cfg";
        QTest::newRow("unknown set") << "write-cfg|Nowhere" << "1|no set \"Nowhere\"";
        QTest::newRow("unknown set after a known one") << "write-cfg|(Current)|Nowhere" << "1|no set \"Nowhere\"";
        QTest::newRow("set of another simulator") << "--sim|0|write-cfg|(Current)|Combat"
                                                  << "1|the set \"Combat\" belongs to Combat Flight "
                                                     "Simulator 2 (--sim 2), not to Flight Simulator 2000; "
                                                     "nothing written.";
        QTest::newRow("333 titles refused") << "write-cfg|Big333" << "3|Can not create scenery.cfg: The selected sets cover more then the maximum of 332 sceneries.";
        // The limit counts distinct titles over all named sets.
        QTest::newRow("332 titles and (Current) over them") << "write-cfg|Big332|(Current)" << "3|Can not create";
        QTest::newRow("install a missing backup") << "backup|install|none.zip" << "1|Could not install backup.: Backup does not exist.";
        QTest::newRow("install-old a missing folder") << "backup|install-old|none" << "1|Backup does not exist.";
        QTest::newRow("delete a missing backup") << "backup|delete|none.zip|--yes" << "1|Could not delete backup.: Backup does not exist.";
        QTest::newRow("make with an empty file list") << "backup|make|empty|(no list)" << "1|names no files";
        QTest::newRow("make with a listed file missing") << "backup|make|broken" << "1|BackupManager.makeBackup";
        // A name given for a backup names one in the backup folder, nothing else.
        QTest::newRow("delete the library file") << "--yes|backup|delete|..\\Lumivale.db5"
                                                 << "1|Bad file name: \"..\\Lumivale.db5\"";
        QTest::newRow("install from outside") << "--yes|backup|install|..\\outside.zip"
                                              << "1|Bad file name: \"..\\outside.zip\"";
    }
    void failuresChangeNothing()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        // Nothing is written: rows share it.
        static const Demo demo(u"Big333/1/#331,Paris,London;Big332/1/#330,Paris,London;Combat/2/Paris"_s);
        demo.writeBackupList(arguments.endsWith("|(no list)"_L1) ? QString() : u"\\Scenery.cfg|\\No such file.cfg"_s);
        // All of the installation but Scenery.CFG.Backup, which making a backup refreshes first.
        const auto before = snapshot(demo.prefixHost, u"Scenery.CFG.Backup"_s);
        const Result result = demo.run(QString(arguments).remove(u"|(no list)"_s));
        QVERIFY2(result.code == expected.section(u'|', 0, 0).toInt() && result.out.isEmpty() &&
                     result.err.contains(expected.section(u'|', 1)), qPrintable(result.text()));
        QCOMPARE(snapshot(demo.prefixHost, u"Scenery.CFG.Backup"_s), before);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
