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
#include "support/librarybuilder.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;
using Buttons = UiPort::Buttons;

Q_DECLARE_METATYPE(UiPort::Answer)
Q_DECLARE_METATYPE(UiPort::Buttons)
Q_DECLARE_METATYPE(std::optional<UiPort::Answer>)

namespace {

const QString BackupTitle = u"Creating new Scenery.CFG"_s;

struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
    QJsonArray array() const { return QJsonDocument::fromJson(out).array(); }
    QJsonObject object() const { return QJsonDocument::fromJson(out).object(); }
    // For a failure message: the exit code and both outputs.
    QByteArray text() const { return "exit " + QByteArray::number(code) + "\n" + out + err.toUtf8(); }
};

// The built program; userHome stands in for ~, so that nothing of the user's own leaks in.
Result runProcess(const QStringList &arguments, const QString &home, const QString &prefix,
                  const QString &userHome)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LUMIVALE_HOME"_s, home);
    env.insert(u"WINEPREFIX"_s, prefix);
    env.insert(u"HOME"_s, userHome);
    env.insert(u"XDG_DATA_HOME"_s, userHome);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMIVALE_CLI_EXE), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

// An area of a Scenery.cfg: its lower-case keys with their values, and "number" from its header.
using Area = QHash<QString, QString>;

QList<Area> readAreas(const QStringList &lines)
{
    QList<Area> areas;
    bool inArea = false;
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            inArea = line.startsWith(u"[Area."_s, Qt::CaseInsensitive);
            if (inArea)
                areas.append({{u"number"_s, line.mid(6, 3)}});
        } else if (inArea && line.contains(u'=')) {
            areas.last().insert(line.section(u'=', 0, 0).toLower(), line.section(u'=', 1));
        }
    }
    return areas;
}

QStringList titlesOf(const QList<Area> &areas)
{
    QStringList titles;
    for (const Area &area : areas)
        titles << area[u"title"_s];
    return titles;
}

QStringList titlesOf(const QJsonArray &sceneries)
{
    QStringList titles;
    for (const QJsonValue &s : sceneries)
        titles << s[u"title"_s].toString();
    return titles;
}

// Titles that no scenery of the demo has.
QStringList madeUpTitles(int count)
{
    QStringList titles;
    for (int i = 1; i <= count; ++i)
        titles << u"Set member %1"_s.arg(i);
    return titles;
}

// A copy of the demo installation, generated once per run (generating costs several times a copy),
// with the sets given stored in its library.
struct Demo
{
    static const DemoInstallation::Summary &pristine()
    {
        static QTemporaryDir dir;
        static const DemoInstallation::Summary summary = DemoInstallation::create(dir.filePath(u"demo"_s));
        return summary;
    }

    explicit Demo(const QList<SetRecord> &sets = {})
    {
        // The prefix's drive links are relative or point outside it: copied as they are, they stay right.
        QProcess::execute(u"cp"_s, {u"-a"_s, pristine().winePrefixHost, prefixHost});
        fs = FileSystem(DriveMap::fromWinePrefix(prefixHost));
        programFolder =
            fs.toWindows(prefixHost + pristine().programFolderHost.mid(pristine().winePrefixHost.size()));
        QStringList lines;
        for (const SetRecord &set : sets) {
            lines << u"<Set>"_s << set.name << QString::number(qint32(set.sim)) << u"False"_s << set.members
                  << u"</Set>"_s;
        }
        if (!sets.isEmpty())
            fs.writeLines(programFolder + u"\\CFGSet.db"_s, lines);
    }

    static QString simFolder(int sim)
    {
        return sim == 0 ? DemoInstallation::fs2000Folder() : DemoInstallation::fs2002Folder();
    }
    static QString sceneryCfg(int sim) { return simFolder(sim) + u"\\Scenery.cfg"_s; }
    QList<Area> areas(int sim) const { return readAreas(fs.readLines(sceneryCfg(sim))); }
    QString backupRoot() const { return programFolder + u"\\EnvBackups\\"_s; }
    void writeBackupList(const QStringList &lines) const
    {
        fs.writeLines(programFolder + u"\\BackupFilesFS2002.db"_s, lines);
    }
    Result run(const QStringList &arguments) const
    {
        return runProcess(arguments, fs.toHost(programFolder), prefixHost, dir.path());
    }
    // Where the simulator finds an area's folder.
    QString realPath(int sim, const QString &local) const
    {
        return local.mid(1, 1) == u":"_s ? local : simFolder(sim) + u'\\' + local;
    }
    Files files() const { return filesBelow(prefixHost); }

    QTemporaryDir dir;
    QString prefixHost = dir.filePath(u"demo"_s);
    QString programFolder;
    FileSystem fs;
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
        set("LUMIVALE_HOME", programFolderHost);
        set("WINEPREFIX", winePrefixHost);
    }
    ~InstallationEnvironment()
    {
        for (const auto &[name, value] : m_before) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

private:
    void set(const char *name, const QString &value)
    {
        m_before.append({name, qgetenv(name)});
        qputenv(name, value.toLocal8Bit());
    }

    QList<std::pair<const char *, QByteArray>> m_before;
};

// A test installation with the simulators given, C:\FS2000 having a Scenery.cfg.
struct Installed
{
    explicit Installed(const QList<Installation> &installations, const QString &selectedSim = {})
    {
        env.writeFile(u"C:\\FS2000\\SCENERY.CFG"_s, "[General]\r\n"); // a folder alone installs nothing
        install(env, installations);
        if (!selectedSim.isNull())
            env.settings->write(SettingsStore::Root::Machine, u"SOFTWARE\\Tarnwick\\Lumivale"_s,
                                u"SelectedSim"_s, selectedSim);
    }
    Result run(const QStringList &arguments) const
    {
        return runProcess(arguments, env.homeHost(), env.prefixHost(), env.rootHost());
    }

    TestEnv env;
};

const Installation FS2000{Sim::FS2000, u"C:\\FS2000"_s};
const Installation FS2002{Sim::FS2002, u"C:\\Program Files\\FS2002"_s};
const Installation CFS2{Sim::CFS2, u"C:\\CFS2"_s};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    // A question gets No without --yes, Yes with it or with an answer given for its title; an OK
    // box prints no answer.
    void answers_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<bool>("assumeYes");
        QTest::addColumn<std::optional<Answer>>("givenForTheTitle");
        QTest::addColumn<QString>("title");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("printed"); // after the question
        const std::optional<Answer> none;
        QTest::newRow("an OK box") << Buttons::Ok << false << none << BackupTitle << Answer::Ok << QString();
        QTest::newRow("OK/Cancel") << Buttons::OkCancel << false << none << BackupTitle << Answer::Cancel
                                   << u" [answered Cancel]"_s;
        QTest::newRow("OK/Cancel, --yes")
            << Buttons::OkCancel << true << none << BackupTitle << Answer::Ok << u" [answered OK]"_s;
        QTest::newRow("No for the title despite --yes") << Buttons::YesNo << true << std::optional(Answer::No)
                                                        << BackupTitle << Answer::No << u" [answered No]"_s;
        QTest::newRow("Yes for the title on OK/Cancel")
            << Buttons::OkCancel << false << std::optional(Answer::Yes) << BackupTitle << Answer::Ok
            << u" [answered OK]"_s;
        QTest::newRow("titles match exactly")
            << Buttons::YesNo << true << std::optional(Answer::No) << u"Creating new Scenery.cfg"_s
            << Answer::Yes << u" [answered Yes]"_s;
    }

    void answers()
    {
        QFETCH(Buttons, buttons);
        QFETCH(bool, assumeYes);
        QFETCH(std::optional<Answer>, givenForTheTitle);
        QFETCH(QString, title);
        QFETCH(Answer, answer);
        QFETCH(QString, printed);
        QString err;
        QTextStream stream(&err);
        CliUi ui(stream);
        ui.setAssumeYes(assumeYes);
        if (givenForTheTitle)
            ui.setAnswerFor(BackupTitle, *givenForTheTitle);
        QCOMPARE(ui.message(u"Make a backup first?"_s, title, buttons, UiPort::Icon::Question), answer);
        stream.flush();
        QCOMPARE(err, title + u": Make a backup first?"_s + printed + u'\n');
    }

    // Windows text: CR LF only, "Zürich" as the one byte 0xFC, not UTF-8's two.
    void demoSceneryCfgIsWindowsText()
    {
        const Demo demo;
        const QByteArray bytes = demo.fs.readAll(Demo::sceneryCfg(1));
        QVERIFY(bytes.startsWith("[General]\r\nTitle=FS2002 World\r\n"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QVERIFY(!bytes.contains("\xc3\xbc"));
        QVERIFY(bytes.contains("Title=Z\xfcrich Lakefront\r\n"));
    }

    // Two runs give the same files; a folder that is not empty is refused and left as it was.
    void demoIsTheSameEachTime()
    {
        QTemporaryDir other;
        DemoInstallation::create(other.filePath(u"again"_s));
        QVERIFY(
            sameFiles(filesBelow(other.filePath(u"again"_s)), filesBelow(Demo::pristine().winePrefixHost)));
        QVERIFY(QDir(other.path()).mkdir(u"mine"_s));
        QFile mine(other.filePath(u"mine/system.reg"_s));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
        mine.close();
        qint32 error = 0;
        try {
            DemoInstallation::create(other.filePath(u"mine"_s));
        } catch (const LmError &e) {
            error = e.number();
        }
        QCOMPARE(error, LmError::FileAlreadyExists);
        QVERIFY(sameFiles(filesBelow(other.filePath(u"mine"_s)), {{u"system.reg"_s, "mine"}}));
    }

    // The demo command prints what to export, and what it prints works: its FS2002 is selected.
    void demoCommand()
    {
        QTemporaryDir dir;
        const QString made = dir.filePath(u"cmd"_s);
        const QString home = QDir(made).filePath(DemoInstallation::programFolderName());
        const QString unused = dir.filePath(u"unused"_s);
        const Result created = runProcess({u"demo"_s, made}, unused, unused, dir.path());
        QCOMPARE(created.code, 0);
        QVERIFY2(created.out.contains(
                     u"export WINEPREFIX=%1\n  export LUMIVALE_HOME=%2\n"_s.arg(made, home).toUtf8()),
                 created.text());
        const QJsonObject info = runProcess({u"info"_s, u"--json"_s}, home, made, dir.path()).object();
        QCOMPARE(info[u"simType"_s].toInt(-1), 1);
        QCOMPARE(info[u"fsPath"_s].toString(), DemoInstallation::fs2002Folder());
    }

    // --sceneries N: the library holds exactly N sceneries, three levels deep, in sets; a count that
    // is no whole number of 1 or more is refused before anything is made.
    void demoWithLibrary_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("code");
        QTest::newRow("120 sceneries") << u"120"_s << 0;
        QTest::newRow("one") << u"1"_s << 0;
        QTest::newRow("zero") << u"0"_s << CliUsageError;
    }
    void demoWithLibrary()
    {
        QFETCH(QString, count);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString made = dir.filePath(u"big"_s);
        const QString home = QDir(made).filePath(DemoInstallation::programFolderName());
        const Result created = runProcess({u"demo"_s, made, u"--sceneries"_s, count}, home, made, dir.path());
        QCOMPARE(created.code, code);
        if (code != 0) {
            QVERIFY(!QFileInfo::exists(made));
            return;
        }
        // The simulator's own areas join the library in the level "New" as it loads.
        QStringList levels;
        for (const QJsonValue &s : runProcess({u"list"_s, u"--json"_s}, home, made, dir.path()).array())
            if (s[u"level"_s].toString() != LibraryNames::NewLevelKey)
                levels << s[u"level"_s].toString();
        QCOMPARE(levels.size(), count.toInt());
        QCOMPARE(levels.first(), u"LevelRegion 001\\Country 01\\Area 01"_s);
        QStringList sets;
        for (const QJsonValue &set : runProcess({u"sets"_s, u"--json"_s}, home, made, dir.path()).array())
            if (!set[u"members"_s].toArray().isEmpty())
                sets << set[u"name"_s].toString();
        QVERIFY2(sets.contains(u"Bench 332"_s) && sets.contains(u"Every tenth"_s),
                 qPrintable(sets.join(u',')));
    }

    // The simulator worked on: --sim over the stored choice, wherever it stands; a stored choice
    // that is no number is reported and none is selected.
    void infoJson_data()
    {
        QTest::addColumn<QString>("selectedSim"); // null: none stored
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("simType");
        QTest::addColumn<QString>("fsPath");
        QTest::addColumn<QString>("error"); // a part of what is printed to stderr
        const QStringList info{u"info"_s, u"--json"_s};
        QTest::newRow("FS2002 before FS2000") << QString() << info << 1 << FS2002.folder << QString();
        QTest::newRow("--sim 0 over the choice 1")
            << u"1"_s << QStringList{u"--sim"_s, u"0"_s} + info << 0 << FS2000.folder << QString();
        QTest::newRow("--sim after the command")
            << QString() << info + QStringList{u"--sim=2"_s} << 2 << CFS2.folder << QString();
        QTest::newRow("a choice that is no number")
            << u"abc"_s << info << 0 << QString()
            << u"Lumivale: SceneryManager.Class_Initialize\nError: 13\n"_s;
    }

    void infoJson()
    {
        QFETCH(QString, selectedSim);
        QFETCH(QStringList, arguments);
        QFETCH(int, simType);
        QFETCH(QString, fsPath);
        QFETCH(QString, error);
        const Installed installed({FS2000, FS2002, CFS2}, selectedSim);
        const Result result = installed.run(arguments);
        QVERIFY2(result.code == 0, result.text());
        QVERIFY2(error.isEmpty() ? result.err.isEmpty() : result.err.contains(error), result.text());
        const QJsonObject json = result.object();
        QCOMPARE(json[u"simType"_s].toInt(-1), simType);
        QCOMPARE(json[u"fsPath"_s].toString(), fsPath);
        QCOMPARE(json[u"programFolder"_s].toString(), installed.env.programFolder());
        const QJsonObject sims = json[u"simulators"_s].toObject();
        QVERIFY(sims[u"fs2000"_s].toBool());
        QVERIFY(sims[u"fs2002"_s].toBool());
        QVERIFY(sims[u"cfs2"_s].toBool());
    }

    // Wrong calls exit with 2 and say what is wrong; a simulator that cannot be worked on with 1.
    void wrongCalls_data()
    {
        QTest::addColumn<QList<Installation>>("installed");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error"); // a part of what is printed to stderr
        const QList<Installation> none;
        QTest::newRow("no command") << none << QStringList() << 2 << u"Commands:"_s;
        QTest::newRow("an unknown command")
            << none << QStringList{u"frobnicate"_s} << 2 << u"unknown command \"frobnicate\""_s;
        QTest::newRow("an unknown option") << none << QStringList{u"info"_s, u"--jsn"_s} << 2 << u"jsn"_s;
        QTest::newRow("--sim 3") << none << QStringList{u"--sim"_s, u"3"_s, u"info"_s} << 2
                                 << u"--sim takes 0, 1 or 2"_s;
        QTest::newRow("a cache size that is no number")
            << none << QStringList{u"write-cfg"_s, u"(Current)"_s, u"--cache-size"_s, u"50M"_s} << 2
            << u"\"50M\""_s;
        QTest::newRow("an unknown backup action")
            << none << QStringList{u"backup"_s, u"restore"_s, u"x"_s} << 2 << u"make NAME"_s;
        QTest::newRow("a report column that is not there")
            << QList<Installation>{FS2000} << QStringList{u"report"_s, u"--columns"_s, u"Title,Flatten.10"_s}
            << 2 << u"no column \"Flatten.10\""_s;
        QTest::newRow("a report filter above the six versions")
            << QList<Installation>{FS2000} << QStringList{u"report"_s, u"--filter"_s, u"64"_s} << 2
            << u"0 to 63"_s;
        QTest::newRow("a report filter naming no version")
            << QList<Installation>{FS2000} << QStringList{u"report"_s, u"--filter"_s, u"FS2K,FS2004"_s} << 2
            << u"\"FS2004\""_s;
        QTest::newRow("--sim of a simulator not installed")
            << QList<Installation>{FS2002} << QStringList{u"--sim"_s, u"2"_s, u"info"_s} << 1
            << u"Combat Flight Simulator 2 (--sim 2) is not installed."_s;
        QTest::newRow("no simulator")
            << none << QStringList{u"info"_s} << 1
            << u"Can not run Lumivale: You must install MS Flightsimulator 2000 or MS "
               u"Flightsimulator 2000 Pro or MS Combat Flight Simualtor 2 or MS "
               u"Flightsimulator 2002 on your computer, first."_s;
    }

    void wrongCalls()
    {
        QFETCH(QList<Installation>, installed);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        const Result result = Installed(installed).run(arguments);
        QVERIFY2(result.code == exitCode, result.text());
        QVERIFY2(result.out.isEmpty(), result.text());
        QVERIFY2(result.err.contains(error), result.text());
    }

    // The shipped airport directory is put into the program folder on first use; each name must
    // be one of the list above it.
    void airports_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("firstLines");
        QTest::addColumn<QString>("error");
        QTest::newRow("areas") << QStringList{u"airports"_s} << 0
                               << QStringList{u"Africa"_s, u"Antarctica"_s, u"Asia"_s} << QString();
        QTest::newRow("airports of a state")
            << QStringList{u"airports"_s, u"Europe"_s, u"Germany"_s, u"Hesse"_s} << 0
            << QStringList{u"EDDF Frankfurt Airport"_s} << QString();
        QTest::newRow("a country of another area")
            << QStringList{u"airports"_s, u"Asia"_s, u"Germany"_s} << 1 << QStringList()
            << u"\"Germany\" is not one of the countries of the area \"Asia\"."_s;
        QTest::newRow("four names") << QStringList{u"airports"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s} << 2
                                    << QStringList() << u"at most AREA COUNTRY STATE"_s;
    }
    void airports()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, firstLines);
        QFETCH(QString, error);
        const Installed installed({});
        const Result result = installed.run(arguments);
        QVERIFY2(result.code == exitCode, result.text());
        const QStringList lines = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, firstLines.size()), firstLines);
        QVERIFY2(result.err.contains(error), result.text());
    }

    // "filelist create" makes the scenery's list new from its folder and prints it; "show --json"
    // prints the entries with the keys given; a scenery without a folder to list is refused.
    void fileList()
    {
        Installed installed({FS2000});
        const QString folder = u"C:\\FS2000\\Addon Scenery\\Alps"_s;
        installed.env.writeFile(folder + u"\\Scenery\\ALPS.BGL"_s, "bgl");
        Library()
            .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s})
            .scenery(u"Remote"_s)
            .writeLibraryFiles(installed.env);

        const Result created = installed.run({u"filelist"_s, u"create"_s, u"Alps"_s});
        QVERIFY2(created.code == 0, created.text());
        QCOMPARE(created.out, (u"ALPS.BGL\tMySceneryBase\\Scenery\t"_s + folder +
                               u"\\Scenery\\ALPS.BGL\nLumivaleFileList.db\tMySceneryBase\t"_s + folder +
                               u"\\LumivaleFileList.db\n"_s)
                                  .toUtf8());

        const Result shown = installed.run({u"filelist"_s, u"show"_s, u"Alps"_s, u"--json"_s});
        QVERIFY2(shown.code == 0, shown.text());
        const QJsonObject first = shown.array().at(0).toObject();
        QCOMPARE(first.keys(), (QStringList{u"destination"_s, u"file"_s, u"source"_s}));
        QCOMPARE(first[u"file"_s].toString(), u"ALPS.BGL"_s);
        QCOMPARE(first[u"destination"_s].toString(), u"MySceneryBase\\Scenery"_s);
        QCOMPARE(first[u"source"_s].toString(), folder + u"\\Scenery\\ALPS.BGL"_s);

        const Result refused = installed.run({u"filelist"_s, u"create"_s, u"Remote"_s});
        QVERIFY2(refused.code == 3, refused.text());
        QVERIFY2(refused.err.contains(u"Please choose a local path first."_s), refused.text());
        const Result unknown = installed.run({u"filelist"_s, u"show"_s, u"Nowhere"_s});
        QVERIFY2(unknown.code == 1 && unknown.err.contains(u"no scenery \"Nowhere\""_s), unknown.text());
    }

    // Read from the simulator's Scenery.cfg, every area is a scenery in the level "New" after the
    // one before it, in the file's order; the JSON carries each field of its own record.
    void listEveryArea()
    {
        const Demo demo;
        const Result result = demo.run({u"list"_s, u"--json"_s});
        QVERIFY2(result.code == 0, result.text());
        const QJsonArray sceneries = result.array();
        const QList<Area> areas = demo.areas(1);
        QCOMPARE(titlesOf(sceneries), titlesOf(areas));
        QString previousKey;
        for (qsizetype i = 0; i < areas.size(); ++i) {
            const QJsonObject s = sceneries[i].toObject();
            const QString key = u"SceneryNew\\"_s + areas[i][u"title"_s];
            QCOMPARE(s[u"key"_s].toString(), key);
            QCOMPARE(s[u"level"_s].toString(), u"LevelNew"_s);
            QVERIFY(s[u"inCFG"_s].toBool());
            // A remote-only area has no local folder.
            QCOMPARE(s[u"isLocalPath"_s].toBool(),
                     areas[i][u"remote"_s].isEmpty() || !areas[i][u"local"_s].isEmpty());
            QCOMPARE(s[u"localPath"_s].toString(), areas[i][u"local"_s]);
            // The order the next save records.
            QCOMPARE(s[u"previousKey"_s].toString(), previousKey);
            previousKey = key;
        }
    }

    // check: exit 4 with the findings as JSON in the order of their members, 0 and "[]" when
    // the sets chosen are clean, 1 for a set the library does not hold.
    void checkExitsByFindings()
    {
        const Demo demo({{u"Europe"_s, Sim::FS2002, false, {u"Paris"_s, u"London"_s}},
                         {u"Islands"_s, Sim::FS2002, false, {u"Saltmarsh Island"_s, u"Paris"_s}}});
        const Result found =
            demo.run({u"check"_s, u"--json"_s, u"--set"_s, u"Islands"_s, u"--set"_s, u"Europe"_s});
        QCOMPARE(found.code, 4);
        QVERIFY2(found.out.startsWith("[\n  {\"kind\": "), found.text());
        const QJsonArray findings = found.array();
        QCOMPARE(findings.size(), 1);
        const QJsonObject finding = findings.first().toObject();
        QCOMPARE(finding.keys(), (QStringList{u"detail"_s, u"key"_s, u"kind"_s, u"title"_s}));
        QCOMPARE(finding[u"kind"_s].toString(), u"missing-folder"_s);
        QCOMPARE(finding[u"key"_s].toString(), u"SceneryNew\\Saltmarsh Island"_s);
        QCOMPARE(finding[u"title"_s].toString(), u"Saltmarsh Island"_s);

        const Result clean = demo.run({u"check"_s, u"--json"_s, u"--set"_s, u"Europe"_s});
        QCOMPARE(clean.code, 0);
        QCOMPARE(clean.out, QByteArray("[]\n"));

        const Result unknown = demo.run({u"check"_s, u"--set"_s, u"Nowhere"_s});
        QVERIFY2(unknown.code == 1 && unknown.out.isEmpty() && unknown.err.contains(u"Nowhere"_s),
                 unknown.text());
    }

    // Stored sets: members out of tree order and a title the library does not hold; an empty set;
    // a set of the other simulator. Names match exactly.
    void listSets()
    {
        const Demo demo({{u"Europe"_s, Sim::FS2002, false, {u"London"_s, u"No Such Scenery"_s, u"Paris"_s}},
                         {u"Empty"_s, Sim::FS2002, false, {}},
                         {u"Old sim"_s, Sim::FS2000, false, {u"Africa"_s}}});
        QCOMPARE(titlesOf(demo.run({u"list"_s, u"--json"_s, u"--set"_s, u"Europe"_s}).array()),
                 (QStringList{u"Paris"_s, u"London"_s}));
        QCOMPARE(demo.run({u"list"_s, u"--json"_s, u"--set"_s, u"Empty"_s}).array().size(), 0);
        for (const QString &unknown : {u"Nowhere"_s, u"europe"_s}) {
            const Result refused = demo.run({u"list"_s, u"--json"_s, u"--set"_s, unknown});
            QVERIFY2(refused.code == 1 && refused.out.isEmpty() && refused.err.contains(unknown),
                     refused.text());
        }
        // "(Current)" is never stored and holds the file's areas; stored sets keep their order and
        // members, each with its simulator.
        const QJsonArray sets = demo.run({u"sets"_s, u"--json"_s}).array();
        QCOMPARE(sets.size(), 4);
        QStringList names;
        for (const QJsonValue &set : sets)
            names << set[u"name"_s].toString();
        QCOMPARE(names, (QStringList{u"Europe"_s, u"Empty"_s, u"Old sim"_s, u"(Current)"_s}));
        QCOMPARE(sets[0][u"members"_s].toVariant().toStringList(),
                 (QStringList{u"London"_s, u"No Such Scenery"_s, u"Paris"_s}));
        QCOMPARE(sets[2][u"sim"_s].toInt(-1), 0);
        QCOMPARE(sets[3][u"members"_s].toVariant().toStringList(), titlesOf(demo.areas(1)));
    }

    // One very long title is printed whole on its own row and pads no other row to its length.
    void listCapsTheTitleColumn()
    {
        const Demo demo;
        const QString title = QString(3000, u'T');
        for (const QString &line : {u"[Area.900]"_s, u"Title="_s + title, u"Local=Addon Scenery\\Long"_s})
            demo.fs.appendLine(Demo::sceneryCfg(1), line);
        const Result result = demo.run({u"list"_s});
        QCOMPARE(result.code, 0);
        const QStringList rows = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.filter(title).size(), 1);
        for (const QString &row : rows)
            QVERIFY2(row.contains(title) || row.size() <= 110, qPrintable(row));
    }

    // Importing another Scenery.cfg adds its new areas to the level "New"; only --update-existing
    // changes the sceneries the library already holds. The library is saved.
    void importOtherFile_data()
    {
        QTest::addColumn<bool>("hostPath");  // else the Windows path
        QTest::addColumn<QString>("answer"); // the option that answers the question Yes
        QTest::newRow("a Windows path") << false << QString();
        QTest::newRow("a host path, --update-existing") << true << u"--update-existing"_s;
        QTest::newRow("--yes") << false << u"--yes"_s;
    }

    void importOtherFile()
    {
        QFETCH(bool, hostPath);
        QFETCH(QString, answer);
        const bool updateExisting = !answer.isEmpty();
        const Demo demo;
        const QJsonArray before = demo.run({u"list"_s, u"--json"_s}).array();
        QString parisFolder;
        for (const QJsonValue &s : before) {
            if (s[u"title"_s] == u"Paris"_s)
                parisFolder = s[u"localPath"_s].toString();
        }
        const QString file = DemoInstallation::downloadsFolder() + u"\\other.cfg"_s;
        demo.fs.writeLines(file,
                           {u"[General]"_s, u"[Area.001]"_s, u"Title=Paris"_s, u"Active=FALSE"_s,
                            u"Required=FALSE"_s, u"Local=Moved\\Paris"_s, u"[Area.002]"_s,
                            u"Title=Brand New Field"_s, u"Active=TRUE"_s, u"Local=Addon Scenery\\New"_s});
        QStringList arguments{u"import"_s, hostPath ? demo.fs.toHost(file) : file};
        if (updateExisting)
            arguments << answer;
        const Result result = demo.run(arguments);
        QVERIFY2(result.code == 0, result.text());
        QVERIFY2(result.out.contains(u": %1 sceneries before, %2 after, 1 new areas."_s.arg(before.size())
                                         .arg(before.size() + 1)
                                         .toUtf8()),
                 result.text());
        const QJsonArray after = demo.run({u"list"_s, u"--json"_s}).array();
        QCOMPARE(after.size(), before.size() + 1);
        QJsonObject paris;
        QJsonObject added;
        for (const QJsonValue &s : after) {
            if (s[u"title"_s] == u"Paris"_s)
                paris = s.toObject();
            if (s[u"title"_s] == u"Brand New Field"_s)
                added = s.toObject();
        }
        QCOMPARE(added[u"level"_s].toString(), u"LevelNew"_s);
        QCOMPARE(added[u"localPath"_s].toString(), u"Addon Scenery\\New"_s);
        QCOMPARE(paris[u"localPath"_s].toString(), updateExisting ? u"Moved\\Paris"_s : parisFolder);
        QCOMPARE(paris[u"active"_s].toBool(), !updateExisting);
    }

    // The wizard's defaults or the options given, and the areas of the current file that can be
    // written: their folder holds a Scenery folder or they are used from their remote folder.
    void writeCfg_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("general"); // the first lines of the file
        const QStringList write{u"write-cfg"_s, u"(Current)"_s};
        QTest::newRow("FS2002") << write
                                << QStringList{u"[General]"_s, u"Title=FS2002 World"_s,
                                               u"Description=Lumivale 1.6 Created World"_s,
                                               u"Cache_Size=50M"_s, u"Clean_on_Exit=FALSE"_s};
        QTest::newRow("options") << write + QStringList{u"--cache-size"_s, u"120"_s,     u"--clean-on-exit"_s,
                                                        u"--title"_s,      u"Evening"_s, u"--description"_s,
                                                        u"Later"_s}
                                 << QStringList{u"[General]"_s, u"Title=Evening"_s, u"Description=Later"_s,
                                                u"Cache_Size=120M"_s, u"Clean_on_Exit=TRUE"_s};
    }

    void writeCfg()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, general);
        const Demo demo;
        QStringList titles;
        for (const Area &area : demo.areas(1)) {
            const bool remote = area[u"local"_s].isEmpty() && !area[u"remote"_s].isEmpty();
            if (remote || demo.fs.folderExists(demo.realPath(1, area[u"local"_s]) + u"\\Scenery"_s))
                titles << area[u"title"_s];
        }
        const Result result = demo.run(arguments);
        QVERIFY2(result.code == 0, result.text());
        // The demo's Scenery.cfg has areas without their folder.
        QVERIFY2(result.err.contains(u"Can not include scenery.: Scenery '"_s), result.text());
        const QStringList lines = demo.fs.readLines(Demo::sceneryCfg(1));
        QCOMPARE(lines.mid(0, general.size()), general);
        QCOMPARE(titlesOf(demo.areas(1)), titles);
        QVERIFY(lines.contains(u"[Cache.000]"_s));
        QVERIFY2(result.out.contains(u": %1 areas from"_s.arg(titles.size()).toUtf8()), result.text());
    }

    // The backup first is made before the new file replaces the old one.
    void writeCfgWithBackupFirst()
    {
        const Demo demo;
        demo.writeBackupList({u"\\Scenery.cfg"_s, u"\\FS2002.cfg"_s});
        const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
        const Result result = demo.run({u"write-cfg"_s, u"(Current)"_s, u"--backup"_s, u"before/flight"_s});
        QVERIFY2(result.code == 0, result.text());
        QVERIFY2(result.err.contains(u"Do you want to make a backup first? [answered Yes]"_s), result.text());
        QVERIFY(QFileInfo(demo.fs.toHost(demo.backupRoot() + u"before_flight.zip"_s)).size() > 0);
        QCOMPARE(demo.fs.readAll(Demo::simFolder(1) + u"\\Scenery.CFG.Backup"_s), original);
    }

    void backupRoundTrip()
    {
        const Demo demo;
        demo.writeBackupList({u"\\Scenery.cfg"_s});
        const QByteArray original = demo.fs.readAll(Demo::sceneryCfg(1));
        // An earlier folder backup is listed beside the zip files.
        WinPath::CreateSubFolder(demo.fs, demo.backupRoot() + u"Spring V15"_s);
        demo.fs.writeAll(demo.backupRoot() + u"Spring V15\\Scenery.cfg"_s, "spring");
        QCOMPARE(demo.run({u"backup"_s, u"make"_s, u"nightly"_s}).code, 0);
        const QJsonArray listed = demo.run({u"backup"_s, u"list"_s, u"--json"_s}).array();
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0][u"name"_s].toString(), u"nightly.zip"_s);
        QCOMPARE(listed[0][u"kind"_s].toString(), u"zip"_s);
        QVERIFY(listed[0][u"size"_s].toInteger() > 0);
        QCOMPARE(listed[1][u"name"_s].toString(), u"Spring V15"_s);
        QCOMPARE(listed[1][u"kind"_s].toString(), u"folder"_s);
        QCOMPARE(listed[1][u"size"_s].toInteger(), 6); // that of the one file in it
        demo.fs.writeAll(Demo::sceneryCfg(1), "[General]\r\n");
        QCOMPARE(demo.run({u"backup"_s, u"install"_s, u"nightly.zip"_s}).code, 0);
        QCOMPARE(demo.fs.readAll(Demo::sceneryCfg(1)), original);
        QCOMPARE(demo.run({u"backup"_s, u"delete"_s, u"nightly.zip"_s, u"--yes"_s}).code, 0);
        QVERIFY(!demo.fs.fileExists(demo.backupRoot() + u"nightly.zip"_s));
    }

    // The global texture folder backed up, changed, restored, emptied only with --yes, and the
    // backup deleted; a backup's entries are the files' bare names.
    void texturesRoundTrip()
    {
        const Demo demo;
        const QString texture = Demo::simFolder(1) + u"\\Texture"_s;
        const QString root = demo.programFolder + u"\\TextureBackups\\"_s;
        const QStringList files = demo.fs.files(texture);
        QCOMPARE(files.size(), 6);
        const QByteArray water = demo.fs.readAll(texture + u"\\WATER4.bmp"_s);
        const Result made = demo.run({u"textures"_s, u"backup"_s, u"original"_s});
        QVERIFY2(made.code == 0, made.text());
        const QJsonArray listed = demo.run({u"textures"_s, u"list"_s, u"--json"_s}).array();
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed[0][u"name"_s].toString(), u"original.zip"_s);

        demo.fs.writeAll(texture + u"\\WATER4.bmp"_s, "overwritten by a scenery");
        QCOMPARE(demo.run({u"textures"_s, u"restore"_s, u"original.zip"_s}).code, 0);
        QCOMPARE(demo.fs.readAll(texture + u"\\WATER4.bmp"_s), water);
        QCOMPARE(demo.run({u"textures"_s, u"empty"_s}).code, 3);
        QCOMPARE(demo.fs.files(texture), files);
        QCOMPARE(demo.run({u"textures"_s, u"empty"_s, u"--yes"_s}).code, 0);
        QCOMPARE(demo.fs.files(texture), QStringList());
        QCOMPARE(demo.run({u"textures"_s, u"delete"_s, u"original.zip"_s}).code, 0);
        QCOMPARE(demo.fs.files(root), QStringList());
    }

    // FILE_ID.DIZ written with CR LF line ends, and printed.
    void dizCommand()
    {
        const Demo demo;
        const QJsonArray sceneries = demo.run({u"list"_s, u"--json"_s}).array();
        QString local;
        for (const QJsonValue &s : sceneries) {
            if (s[u"title"_s].toString() == u"Paris"_s)
                local = s[u"localPath"_s].toString();
        }
        const QString file = WinPath::withoutSceneryFolder(demo.realPath(1, local)) + u"\\FILE_ID.DIZ"_s;
        Result result = demo.run({u"diz"_s, u"Paris"_s, u"--set"_s, u"Paris\nby me"_s});
        QVERIFY2(result.code == 0, result.text());
        QCOMPARE(demo.fs.readAll(file), QByteArray("Paris\r\nby me"));
        result = demo.run({u"diz"_s, u"Paris"_s});
        QCOMPARE(result.out, QByteArray("Paris\r\nby me"));
    }

    // A scenery's zip file: refused without a file list, which the message names; packed, under
    // the name as given, from the list "filelist create" makes.
    void packCommand()
    {
        const Demo demo;
        const QString zip = demo.dir.filePath(u"Paris"_s);
        Result result = demo.run({u"pack"_s, u"Paris"_s, zip});
        QVERIFY2(result.code == 1 && result.err.contains(u"LumivaleFileList.db"_s), result.text());
        QVERIFY(!QFile::exists(zip));
        QCOMPARE(demo.run({u"filelist"_s, u"create"_s, u"Paris"_s}).code, 0);
        result = demo.run({u"pack"_s, u"--yes"_s, u"Paris"_s, zip});
        QVERIFY2(result.code == 0 && result.out.contains("LumivaleFileList.db\nPacked "), result.text());
        QVERIFY(QFile::exists(zip));
    }

    // A command's exit code comes from the outcome of what it ran: every message worded otherwise,
    // as a later version may word them, changes none.
    // The report as the dialog's preview shows it: the columns in the report's own order, the
    // rows the filter lets through in library order, text of the single-byte code page intact.
    void report_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("lines");
        const QStringList fs2002{u"Title   |Sim            |"_s, u"-------------------------"_s,
                                 u"Müller F|FS 2002        |"_s, u"Straße  |FS 2000/FS 2002|"_s};
        QTest::newRow("filter by name, columns out of order")
            << QStringList{u"--columns"_s, u"Sim:15,Title:8"_s, u"--filter"_s, u"FS2K2"_s} << fs2002;
        QTest::newRow("filter by number")
            << QStringList{u"--columns"_s, u"Title:8,Sim:15"_s, u"--filter"_s, u"8"_s} << fs2002;
        QTest::newRow("no filter: the sceneries without any version")
            << QStringList{u"--columns"_s, u"Title,Active"_s}
            << QStringList{u"Title"_s.leftJustified(50) + u"|A|"_s, QString(53, u'-'),
                           u"Ohne Version"_s.leftJustified(50) + u"|-|"_s};
    }
    void report()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, lines);
        Installed installed({FS2000});
        Library()
            .scenery(u"Müller Feld"_s, {.flySim = 8})
            .scenery(u"Ohne Version"_s)
            .scenery(u"Straße"_s, {.flySim = 4 | 8})
            .scenery(u"Oslo"_s, {.flySim = 4})
            .writeLibraryFiles(installed.env);
        const Result result = installed.run(QStringList{u"report"_s} + options);
        QVERIFY2(result.code == 0, result.text());
        QCOMPARE(QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts), lines);
    }

    // With the graphical program built, --pdf writes the printed pages; without it, it says so.
    void reportPdf()
    {
        Installed installed({FS2000});
        Library().sceneries({u"Paris"_s, u"Rome"_s}).writeLibraryFiles(installed.env);
        const QString file = installed.env.rootHost() + u"/list.pdf"_s;
        const Result result = installed.run({u"report"_s, u"--pdf"_s, file});
#ifdef LUMIVALE_CLI_PDF
        QVERIFY2(result.code == 0, result.text());
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
#else
        QVERIFY2(result.code == CliUsageError, result.text());
        QVERIFY2(result.err.contains(u"--pdf needs Qt Gui"_s), result.text());
        QVERIFY(!QFile::exists(file));
#endif
    }

    void exitCodeIsTheOutcomes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("backupList");
        QTest::addColumn<bool>("cfgUnreadable"); // reading the simulator's Scenery.cfg fails
        QTest::addColumn<int>("exitCode");
        const QStringList listed{u"\\Scenery.cfg"_s};
        QTest::newRow("written") << QStringList{u"write-cfg"_s, u"Big"_s} << listed << false << 0;
        QTest::newRow("over 332 sceneries: refused")
            << QStringList{u"write-cfg"_s, u"Big"_s, u"(Current)"_s} << listed << false << 3;
        QTest::newRow("the backup first stopped at its long-path question")
            << QStringList{u"write-cfg"_s, u"Big"_s, u"--backup"_s, u"before"_s}
            << QStringList{u"\\Scenery.cfg"_s, u"\\"_s + QString(80, u'a') + u".bgl"_s} << false << 1;
        QTest::newRow("\"(Current)\" of a Scenery.cfg that could not be read: refused")
            << QStringList{u"write-cfg"_s, u"(Current)"_s} << listed << true << 3;
        QTest::newRow("deletion declined")
            << QStringList{u"backup"_s, u"delete"_s, u"kept.zip"_s} << listed << false << 3;
        QTest::newRow("a missing backup")
            << QStringList{u"backup"_s, u"install"_s, u"none.zip"_s} << listed << false << 1;
    }

    void exitCodeIsTheOutcomes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, backupList);
        QFETCH(bool, cfgUnreadable);
        QFETCH(int, exitCode);
        const Demo demo(
            {{u"Big"_s, Sim::FS2002, false, madeUpTitles(330) + QStringList{u"Paris"_s, u"London"_s}}});
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
        ui.setAnswerFor(RewordingUi::Reworded + BackupTitle, Answer::Yes);
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

    // What cannot be done is said, and the installation is left as it was.
    void failuresChangeNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("backupList");
        QTest::addColumn<QString>("error"); // a part of what is printed to stderr; the exit code is 1
        const QStringList listed{u"\\Scenery.cfg"_s};
        QTest::newRow("import of a missing file") << QStringList{u"import"_s, u"C:\\Nowhere\\Scenery.cfg"_s}
                                                  << listed << u"C:\\Nowhere\\Scenery.cfg"_s;
        QTest::newRow("an unknown set after a known one")
            << QStringList{u"write-cfg"_s, u"(Current)"_s, u"Nowhere"_s} << listed << u"no set \"Nowhere\""_s;
        QTest::newRow("a set of another simulator")
            << QStringList{u"--sim"_s, u"0"_s, u"write-cfg"_s, u"(Current)"_s, u"Combat"_s} << listed
            << u"the set \"Combat\" belongs to Combat Flight Simulator 2 (--sim 2), not to Flight Simulator "
               u"2000; "
               u"nothing written."_s;
        QTest::newRow("a backup of an empty file list")
            << QStringList{u"backup"_s, u"make"_s, u"empty"_s} << QStringList() << u"names no files"_s;
        QTest::newRow("a backup of a missing file")
            << QStringList{u"backup"_s, u"make"_s, u"broken"_s}
            << QStringList{u"\\Scenery.cfg"_s, u"\\No such file.cfg"_s} << u"BackupManager.makeBackup"_s;
        QTest::newRow("a name that leaves the backup folder")
            << QStringList{u"--yes"_s, u"backup"_s, u"delete"_s, u"..\\Lumivale.db5"_s} << listed
            << u"Bad file name: \"..\\Lumivale.db5\""_s;
    }

    void failuresChangeNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, backupList);
        QFETCH(QString, error);
        const Demo demo({{u"Combat"_s, Sim::CFS2, false, {u"Paris"_s}}});
        demo.writeBackupList(backupList);
        Files before = demo.files();
        const Result result = demo.run(arguments);
        QVERIFY2(result.code == 1, result.text());
        QVERIFY2(result.out.isEmpty(), result.text());
        QVERIFY2(result.err.contains(error), result.text());
        // Making a backup refreshes the copy of the Scenery.cfg first.
        Files after = demo.files();
        const QString copy = QDir(demo.prefixHost).relativeFilePath(demo.fs.toHost(Demo::simFolder(1))) +
                             u"/Scenery.CFG.Backup"_s;
        before.remove(copy);
        after.remove(copy);
        QVERIFY(sameFiles(after, before));
    }

    // A command that writes the library takes the lock the window holds; while another instance
    // holds it, the command changes nothing. Commands that only read go on.
    void secondWriterIsRefused()
    {
        const Demo demo;
        {
            ProgramInfo running(demo.fs.toHost(demo.programFolder));
            QVERIFY(running.acquireInstanceLock());
            const Files before = demo.files();
            const Result refused = demo.run({u"import"_s});
            QCOMPARE(refused.code, 1);
            QVERIFY2(refused.err.contains(
                         u"is in use by another Lumivale (tst_cli, process %1); nothing changed."_s.arg(
                             QCoreApplication::applicationPid())),
                     refused.text());
            QVERIFY(sameFiles(demo.files(), before));
            QCOMPARE(demo.run({u"list"_s}).code, 0);
        }
        QCOMPARE(demo.run({u"import"_s}).code, 0);
    }

    // An import over a library file read with errors saves nothing unless told to; the message
    // names the file and the line. Told to, it saves, and the .backup copy stays the good one.
    void damagedLibraryIsNotSaved()
    {
        const Demo demo;
        QCOMPARE(demo.run({u"import"_s}).code, 0); // the library files exist
        const QString db5 = demo.programFolder + u"\\Lumivale.db5"_s;
        QStringList lines = demo.fs.readLines(db5);
        const qsizetype firstEnd = lines.indexOf(u"</Scenery>"_s);
        const QString firstKey = lines.filter(u"Key="_s).first();
        lines.insert(firstEnd + 1, u"<Scenery>"_s);
        lines.insert(firstEnd + 2, firstKey); // the first scenery's key again
        lines.insert(firstEnd + 3, u"</Scenery>"_s);
        demo.fs.writeLines(db5, lines);
        demo.fs.writeAll(db5 + u".backup"_s, "the last good copy");
        const Files before = demo.files();
        const Result refused = demo.run({u"import"_s});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(u"Lumivale.db5, line %1: "_s.arg(firstEnd + 4)), refused.text());
        QVERIFY2(refused.err.contains(u"Nothing saved."_s), refused.text());
        QVERIFY(sameFiles(demo.files(), before));

        QCOMPARE(demo.run({u"import"_s, u"--force-save"_s}).code, 0);
        QVERIFY(demo.fs.readAll(db5) != demo.fs.readAll(db5 + u".backup"_s));
        QCOMPARE(demo.fs.readAll(db5 + u".backup"_s), QByteArray("the last good copy"));
        QCOMPARE(demo.run({u"list"_s}).err, QString()); // what was saved reads back cleanly
    }

    // ---- The start flight, the simulator and a set's simulator ----------------------------------

    // The saved flights of the simulator's flight folder, without their extension.
    void flights()
    {
        const Demo demo;
        const Result result = demo.run({u"flights"_s, u"--json"_s});
        QVERIFY2(result.code == 0, result.text());
        QStringList names;
        for (const QJsonValue &name : result.array())
            names << name.toString();
        names.sort(Qt::CaseInsensitive);
        QCOMPARE(names, (QStringList{u"Demo Flight"_s, u"Harbor Point Approach"_s, u"Lakeside Circuit"_s}));
    }

    // The Scenery.cfg is written and the start flight set, the old FS2002.cfg kept as ".backup".
    void writeCfgWithFlight()
    {
        const Demo demo;
        const QString simCfg = Demo::simFolder(1) + u"\\FS2002.cfg"_s;
        const QByteArray old = demo.fs.readAll(simCfg);
        const Result result =
            demo.run({u"write-cfg"_s, u"(Current)"_s, u"--flight"_s, u"Lakeside Circuit"_s});
        QVERIFY2(result.code == 0, result.text());
        QVERIFY2(result.out.contains("Start flight: Lakeside Circuit"), result.text());
        QVERIFY(demo.fs.readLines(simCfg).contains(u"SITUATION=flights\\myflts\\Lakeside Circuit"_s));
        QCOMPARE(demo.fs.readAll(simCfg + u".backup"_s), old);
    }

    void writeCfgFlightRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("removeSimCfg");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        const QStringList write{u"write-cfg"_s, u"(Current)"_s, u"--flight"_s};
        QTest::newRow("not in the flight folder") << write + QStringList{u"Morning Patrol"_s} << false << 2
                                                  << u"no saved flight \"Morning Patrol\""_s;
        QTest::newRow("FS2002.cfg missing")
            << write + QStringList{u"Demo Flight"_s} << true << 1 << u"FS2002.cfg does not exist"_s;
    }

    // A start flight that cannot be set writes nothing.
    void writeCfgFlightRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, removeSimCfg);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        const Demo demo;
        if (removeSimCfg)
            demo.fs.deleteFile(Demo::simFolder(1) + u"\\FS2002.cfg"_s);
        const Files before = demo.files();
        const Result result = demo.run(arguments);
        QVERIFY2(result.code == exitCode, result.text());
        QVERIFY2(result.err.contains(error), result.text());
        QVERIFY(sameFiles(demo.files(), before));
    }

    // Combat Flight Simulator 2 has no start flight.
    void writeCfgFlightOfCfs2()
    {
        Installed installed({FS2000, CFS2});
        installed.env.writeFile(u"C:\\CFS2\\Scenery.cfg"_s, "[General]\r\n");
        const Files before = filesBelow(installed.env.rootHost());
        const Result result =
            installed.run({u"--sim"_s, u"2"_s, u"write-cfg"_s, u"(Current)"_s, u"--flight"_s, u"Any"_s});
        QVERIFY2(result.code == 2, result.text());
        QVERIFY2(result.err.contains(u"Combat Flight Simulator 2 has no start flight"_s), result.text());
        QVERIFY(sameFiles(filesBelow(installed.env.rootHost()), before));
    }

    // "sim" prints the simulator the program starts with; "sim N" stores another installed one.
    void selectSimulator()
    {
        const Installed installed({FS2000, FS2002});
        // Read afresh each time: the command line wrote the file in a process of its own.
        const auto stored = [&installed] {
            return createSettingsStore(installed.env.homeHost(), installed.env.prefixHost())
                ->read(SettingsStore::Root::Machine, u"SOFTWARE\\Tarnwick\\Lumivale"_s, u"SelectedSim"_s,
                       u"(none)"_s);
        };
        Result result = installed.run({u"sim"_s});
        QCOMPARE(result.out, QByteArray("1 Flight Simulator 2002 (C:\\Program Files\\FS2002)\n"));
        result = installed.run({u"sim"_s, u"2"_s});
        QVERIFY2(result.code == 1, result.text());
        QCOMPARE(stored(), u"(none)"_s);
        result = installed.run({u"sim"_s, u"0"_s});
        QVERIFY2(result.code == 0, result.text());
        QCOMPARE(stored(), u"0"_s);
        QCOMPARE(installed.run({u"sim"_s}).out, QByteArray("0 Flight Simulator 2000 (C:\\FS2000)\n"));
    }

    void setSim_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a set") << u"Mine"_s << 0;
        QTest::newRow("(Current)") << u"(Current)"_s << 1;
        QTest::newRow("an unknown set") << u"Nowhere"_s << 1;
    }

    // A set goes to another simulator and the library is saved; "(Current)" and unknown sets change
    // nothing.
    void setSim()
    {
        QFETCH(QString, set);
        QFETCH(int, exitCode);
        const Demo demo({{u"Mine"_s, Sim::FS2002, false, {u"Paris"_s}}});
        const Files before = demo.files();
        const Result result = demo.run({u"set-sim"_s, set, u"0"_s});
        QVERIFY2(result.code == exitCode, result.text());
        if (exitCode != 0) {
            QVERIFY(sameFiles(demo.files(), before));
            return;
        }
        QJsonObject stored;
        for (const QJsonValue &listed : demo.run({u"sets"_s, u"--json"_s}).array()) {
            if (listed[u"name"_s] == set)
                stored = listed.toObject();
        }
        QCOMPARE(stored[u"sim"_s].toInt(), 0);
        QCOMPARE(stored[u"members"_s].toArray(), QJsonArray{u"Paris"_s});
    }

    // With an installation key that could not be read, the simulator selected may not be the one
    // meant: a command that changes files wants it named with --sim; one that reads goes on.
    void damagedInstallationKey_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("import") << QStringList{u"import"_s} << 1;
        QTest::newRow("write-cfg") << QStringList{u"--yes"_s, u"write-cfg"_s, u"(Current)"_s} << 1;
        QTest::newRow("backup make") << QStringList{u"backup"_s, u"make"_s, u"before"_s} << 1;
        QTest::newRow("set-sim") << QStringList{u"set-sim"_s, u"Mine"_s, u"0"_s} << 1;
        QTest::newRow("list reads on") << QStringList{u"list"_s} << 0;
        QTest::newRow("import with the simulator named") << QStringList{u"--sim"_s, u"0"_s, u"import"_s} << 0;
    }

    void damagedInstallationKey()
    {
        QFETCH(QStringList, arguments);
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
        reg.write(QByteArray(text).replace("FS2002\"", "FS2002")); // the value's closing quote cut
        reg.close();
        const Files before = filesBelow(env.rootHost());
        const Result result = runProcess(arguments, env.homeHost(), env.prefixHost(), env.rootHost());
        QVERIFY2(result.code == exitCode, result.text());
        QVERIFY2(result.err.contains(u"Flight Simulator\\8.0 of Flight Simulator 2002 could not be read"_s),
                 result.text());
        if (exitCode != 0) {
            QVERIFY2(result.err.contains(u"with --sim"_s), result.text());
            QVERIFY(sameFiles(filesBelow(env.rootHost()), before));
        }
    }

    // install: each demo archive placed by its mode, the questions answered by --yes, the library
    // saved with the new scenery; the JSON object names every file placed, kept or refused.
    void installDemoArchives_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("placed");
        QTest::addColumn<QStringList>("skipped");
        QTest::addColumn<QString>("flatten3");

        const QString fs = DemoInstallation::fs2002Folder();
        const QString dest = u"C:\\Sceneries\\New"_s;
        const QString harbour = DemoInstallation::downloadsFolder() + u"\\harbour_lights_filelist.zip"_s;
        const QStringList harbourOwn{dest + u"\\Scenery\\HARBOUR.BGL"_s, dest + u"\\Texture\\HARBOUR.BMP"_s};
        QTest::newRow("file list, outside files with --yes")
            << QStringList{u"--archive"_s, harbour, u"--yes"_s}
            << QStringList{harbourOwn.at(0), harbourOwn.at(1), fs + u"\\Texture\\HBLIGHT.BMP"_s,
                           dest + u"\\LumivaleFileList.db"_s}
            << QStringList{} << QString();
        QTest::newRow("file list, outside files left out")
            << QStringList{u"--archive"_s, harbour}
            << harbourOwn + QStringList{dest + u"\\LumivaleFileList.db"_s}
            << QStringList{fs + u"\\Texture\\HBLIGHT.BMP"_s} << QString();
        QTest::newRow("flat archive by name, areas from its read-me")
            << QStringList{u"--archive"_s, DemoInstallation::downloadsFolder() + u"\\pine_valley_flat.zip"_s}
            << QStringList{dest + u"\\Scenery\\PINEV.BGL"_s, dest + u"\\Texture\\PINEV.BMP"_s,
                           fs + u"\\flights\\myflts\\PINEV.FLT"_s, fs + u"\\flights\\myflts\\PINEV.WX"_s,
                           dest + u"\\README.TXT"_s}
            << QStringList{} << u"N46 28.0,W121 05.0,N46 27.0,W121 04.0,1200"_s;
    }

    void installDemoArchives()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, placed);
        QFETCH(QStringList, skipped);
        QFETCH(QString, flatten3);
        const Demo demo;

        const Result result = demo.run(QStringList{u"install"_s, u"--title"_s, u"New one"_s, u"--dest"_s,
                                                   u"C:\\Sceneries\\New"_s, u"--json"_s} +
                                       arguments);

        QVERIFY2(result.code == 0, result.text());
        const QJsonObject installed = result.object();
        QCOMPARE(installed[u"key"_s].toString(), u"SceneryNew\\New one"_s);
        QCOMPARE(installed[u"localPath"_s].toString(), u"C:\\Sceneries\\New\\"_s);
        QStringList to;
        for (const QJsonValue &file : installed[u"files"_s].toArray())
            to << file[u"to"_s].toString();
        QCOMPARE(to, placed);
        QStringList kept;
        for (const QJsonValue &file : installed[u"skipped"_s].toArray())
            kept << file.toString();
        QCOMPARE(kept, skipped);
        QCOMPARE(installed[u"flatten"_s].toArray().size(), 10);
        QCOMPARE(installed[u"flatten"_s].toArray().at(3).toString(), flatten3);
        for (const QString &file : placed)
            QVERIFY2(demo.fs.fileExists(file), qPrintable(file));
        QVERIFY(titlesOf(demo.run({u"list"_s, u"--json"_s}).array()).contains(u"New one"_s));
    }

    // An archive larger than the free space is refused (3) before any file is touched; a missing
    // archive fails (1); nothing reaches the library.
    void installRefusals_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<qint64>("freeBytes"); // -1: the disk's own
        QTest::addColumn<int>("exitCode");
        const QString misty = DemoInstallation::downloadsFolder() + u"\\misty_hollow_airfield.zip"_s;
        QTest::newRow("no space") << misty << qint64(10) << 3;
        QTest::newRow("no archive") << u"C:\\Downloads\\none.zip"_s << qint64(-1) << 1;
    }

    void installRefusals()
    {
        QFETCH(QString, archive);
        QFETCH(qint64, freeBytes);
        QFETCH(int, exitCode);
        const Demo demo;
        const InstallationEnvironment environment(demo.fs.toHost(demo.programFolder), demo.prefixHost);
        const Files before = demo.files();
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        RewordingUi ui(errStream);
        std::optional<FileFaultPlan> faults;
        if (freeBytes >= 0)
            faults.emplace().setFreeBytes(freeBytes);

        const int code = runCli({u"lumivale-cli"_s, u"install"_s, u"--title"_s, u"Misty"_s, u"--archive"_s,
                                 archive, u"--dest"_s, u"C:\\Sceneries\\Misty"_s},
                                outStream, errStream, ui);

        errStream.flush();
        QVERIFY2(code == exitCode, qPrintable(u"exit %1\n"_s.arg(code) + err));
        QVERIFY2(err.contains(RewordingUi::Reworded), qPrintable(err));
        QVERIFY(!demo.fs.folderExists(u"C:\\Sceneries\\Misty"_s));
        QVERIFY(sameFiles(demo.files(), before));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
