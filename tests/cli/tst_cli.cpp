// lumivale-cli as a user runs it: a separate process working on the installation named by
// LUMIVALE_HOME and WINEPREFIX.

#include "app/demoinstallation.h"
#include "cli/commands.h"
#include "platform/installation.h"
#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
};

Result runCliProcess(const QStringList &arguments, const QString &home, const QString &prefix)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMIVALE_HOME"), home);
    env.insert(QStringLiteral("WINEPREFIX"), prefix);
    // Whatever the user has in ~/.local/share must not leak into the run.
    env.insert(QStringLiteral("HOME"), QFileInfo(home).absolutePath());
    env.insert(QStringLiteral("XDG_DATA_HOME"), QFileInfo(home).absolutePath());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(LUMIVALE_CLI_EXE), arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Result result;
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QJsonObject parseJson(const Result &result)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(result.out, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        qWarning("not one JSON object: %s\n%s", result.out.constData(), qPrintable(result.err));
    return doc.object();
}

using Installs = QList<QStringList>; // {simType, folder, value name or ""}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void infoJson_data();
    void infoJson();
    void infoWithoutSimulatorFails_data();
    void infoWithoutSimulatorFails();
    void infoSimNotInstalledFails();
    void infoText();
    void demoThenInfo();
    void demoRefusesAFolderInUse();
    void helpOfEveryCommand_data();
    void helpOfEveryCommand();
};

void TestCli::infoJson_data()
{
    QTest::addColumn<Installs>("installs");
    QTest::addColumn<QString>("selectedSim"); // stored setting, "" for none
    QTest::addColumn<QStringList>("extraArgs");
    QTest::addColumn<bool>("fs2000");
    QTest::addColumn<bool>("fs2002");
    QTest::addColumn<bool>("cfs2");
    QTest::addColumn<int>("simType");
    QTest::addColumn<QString>("fsPath");
    QTest::addColumn<QString>("stderrPart"); // "" when nothing may be shown

    const QStringList fs2000{QStringLiteral("0"), QStringLiteral("C:\\FS2000"), QString()};
    const QStringList fs2002{QStringLiteral("1"), QStringLiteral("C:\\Program Files\\FS2002"), QString()};
    const QStringList cfs2{QStringLiteral("2"), QStringLiteral("C:\\CFS2"), QString()};

    QTest::newRow("only FS2000") << Installs{fs2000} << QString() << QStringList{} << true << false << false
                                 << 0 << QStringLiteral("C:\\FS2000") << QString();
    QTest::newRow("only CFS2") << Installs{cfs2} << QString() << QStringList{} << false << false << true << 2
                               << QStringLiteral("C:\\CFS2") << QString();
    QTest::newRow("FS2000 and FS2002, nothing stored")
        << Installs{fs2000, fs2002} << QString() << QStringList{} << true << true << false << 1
        << QStringLiteral("C:\\Program Files\\FS2002") << QString();
    QTest::newRow("FS2000 and CFS2, nothing stored")
        << Installs{fs2000, cfs2} << QString() << QStringList{} << true << false << true << 0
        << QStringLiteral("C:\\FS2000") << QString();
    QTest::newRow("all three, SelectedSim 2")
        << Installs{fs2000, fs2002, cfs2} << QStringLiteral("2") << QStringList{} << true << true << true << 2
        << QStringLiteral("C:\\CFS2") << QString();
    QTest::newRow("only FS2000, SelectedSim 1 is not consulted")
        << Installs{fs2000} << QStringLiteral("1") << QStringList{} << true << false << false << 0
        << QStringLiteral("C:\\FS2000") << QString();
    QTest::newRow("trailing backslash")
        << Installs{{QStringLiteral("1"), QStringLiteral("C:\\FS2002\\"), QString()}} << QString()
        << QStringList{} << false << true << false << 1 << QStringLiteral("C:\\FS2002") << QString();
    QTest::newRow("value names in other letter case")
        << Installs{{QStringLiteral("0"), QStringLiteral("C:\\FS2000"), QStringLiteral("PATH")},
                    {QStringLiteral("1"), QStringLiteral("C:\\FS2002"), QStringLiteral("exe path")}}
        << QString() << QStringList{} << true << true << false << 1 << QStringLiteral("C:\\FS2002")
        << QString();
    QTest::newRow("--sim 0 overrides the selection")
        << Installs{fs2000, fs2002} << QStringLiteral("1")
        << QStringList{QStringLiteral("--sim"), QStringLiteral("0")} << true << true << false << 0
        << QStringLiteral("C:\\FS2000") << QString();
    QTest::newRow("--sim after the command")
        << Installs{fs2000, fs2002, cfs2} << QString() << QStringList{QStringLiteral("--sim=2")} << true
        << true << true << 2 << QStringLiteral("C:\\CFS2") << QString();
    // A stored selection that is no number fails the selection: reported, and nothing is selected.
    QTest::newRow("SelectedSim not a number")
        << Installs{fs2000, fs2002} << QStringLiteral("abc") << QStringList{} << true << true << false << 0
        << QString() << QStringLiteral("Lumivale: SceneryManager.Class_Initialize\nError: 13\n");
}

void TestCli::infoJson()
{
    QFETCH(Installs, installs);
    QFETCH(QString, selectedSim);
    QFETCH(QStringList, extraArgs);
    QFETCH(bool, fs2000);
    QFETCH(bool, fs2002);
    QFETCH(bool, cfs2);
    QFETCH(int, simType);
    QFETCH(QString, fsPath);
    QFETCH(QString, stderrPart);

    TestEnv env;
    for (const QStringList &install : installs)
        env.installSim(install.at(0).toInt(), install.at(1), install.at(2));
    if (!selectedSim.isEmpty())
        env.settings->write(SettingsStore::Root::Machine, QStringLiteral("SOFTWARE\\Tarnwick\\Lumivale"),
                            QStringLiteral("SelectedSim"), selectedSim);

    // Global options go before the command; the row's "--sim=2" stands after it.
    QStringList arguments;
    if (!extraArgs.isEmpty() && !extraArgs.first().contains(QLatin1Char('=')))
        arguments << extraArgs << QStringLiteral("info") << QStringLiteral("--json");
    else
        arguments << QStringLiteral("info") << QStringLiteral("--json") << extraArgs;

    const Result result = runCliProcess(arguments, env.homeHost(), env.prefixHost());
    QVERIFY2(result.code == 0, qPrintable(result.err));
    if (stderrPart.isEmpty())
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
    else
        QVERIFY2(result.err.contains(stderrPart), qPrintable(result.err));
    const QJsonObject info = parseJson(result);
    const QJsonObject sims = info.value(QStringLiteral("simulators")).toObject();
    QCOMPARE(sims.value(QStringLiteral("fs2000")).toBool(true), fs2000);
    QCOMPARE(sims.value(QStringLiteral("fs2002")).toBool(true), fs2002);
    QCOMPARE(sims.value(QStringLiteral("cfs2")).toBool(true), cfs2);
    QCOMPARE(info.value(QStringLiteral("simType")).toInt(-1), simType);
    QCOMPARE(info.value(QStringLiteral("fsPath")).toString(), fsPath);

    QCOMPARE(info.value(QStringLiteral("programFolder")).toString(), env.programFolder());
    QCOMPARE(info.value(QStringLiteral("settingsFile")).toString(),
             Installation::iniHostPath(env.homeHost()));
    const QString driveC =
        info.value(QStringLiteral("drives")).toObject().value(QStringLiteral("C")).toString();
    QCOMPARE(QFileInfo(driveC).canonicalFilePath(), QFileInfo(env.driveCHost()).canonicalFilePath());
}

void TestCli::infoWithoutSimulatorFails_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("json") << QStringList{QStringLiteral("info"), QStringLiteral("--json")};
    QTest::newRow("text") << QStringList{QStringLiteral("info")};
}

void TestCli::infoWithoutSimulatorFails()
{
    QFETCH(QStringList, arguments);
    TestEnv env;
    env.writeFile(QStringLiteral("C:\\FS2002\\Scenery.cfg"),
                  "[General]\r\n"); // a folder alone installs nothing

    const Result result = runCliProcess(arguments, env.homeHost(), env.prefixHost());
    QVERIFY(result.code != 0);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains(QStringLiteral(
                 "Can not run Lumivale: You must install MS Flightsimulator 2000 or MS Flightsimulator 2000 "
                 "Pro or MS "
                 "Combat Flight Simualtor 2 or MS Flightsimulator 2002 on your computer, first.")),
             qPrintable(result.err));
}

void TestCli::infoSimNotInstalledFails()
{
    TestEnv env;
    env.installSim(1, QStringLiteral("C:\\FS2002"));
    const Result result = runCliProcess(
        {QStringLiteral("--sim"), QStringLiteral("2"), QStringLiteral("info"), QStringLiteral("--json")},
        env.homeHost(), env.prefixHost());
    QCOMPARE(result.code, 1);
    QVERIFY(result.out.isEmpty());
    QVERIFY2(result.err.contains(QStringLiteral("Combat Flight Simulator 2 (--sim 2) is not installed.")),
             qPrintable(result.err));
}

void TestCli::infoText()
{
    TestEnv env;
    env.installSim(0, QStringLiteral("C:\\FS2000"));
    env.writeFile(QStringLiteral("C:\\FS2000\\SCENERY.CFG"), "[General]\r\n");
    const Result result = runCliProcess({QStringLiteral("info")}, env.homeHost(), env.prefixHost());
    QVERIFY2(result.code == 0, qPrintable(result.err));
    const QString text = QString::fromUtf8(result.out);
    QVERIFY2(text.contains(QStringLiteral("Selected:         0 Flight Simulator 2000\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Simulator folder: C:\\FS2000\n")));
    QVERIFY(text.contains(QStringLiteral("Scenery.cfg:      C:\\FS2000\\Scenery.cfg\n")));
}

void TestCli::demoThenInfo()
{
    QTemporaryDir dir;
    const QString demo = dir.filePath(QStringLiteral("demo"));
    const Result created =
        runCliProcess({QStringLiteral("demo"), demo}, dir.filePath(QStringLiteral("unused-home")),
                      dir.filePath(QStringLiteral("unused-prefix")));
    QVERIFY2(created.code == 0, qPrintable(created.err));
    const QString home = QDir(demo).filePath(DemoInstallation::programFolderName());
    const QString printed = QString::fromUtf8(created.out);
    QVERIFY2(printed.contains(QStringLiteral("export WINEPREFIX=") + demo + QLatin1Char('\n')),
             qPrintable(printed));
    QVERIFY(printed.contains(QStringLiteral("export LUMIVALE_HOME=") + home + QLatin1Char('\n')));

    const Result result = runCliProcess({QStringLiteral("info"), QStringLiteral("--json")}, home, demo);
    QVERIFY2(result.code == 0, qPrintable(result.err));
    QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
    const QJsonObject info = parseJson(result);
    const QJsonObject sims = info.value(QStringLiteral("simulators")).toObject();
    QCOMPARE(sims.value(QStringLiteral("fs2000")).toBool(), true);
    QCOMPARE(sims.value(QStringLiteral("fs2002")).toBool(), true);
    QCOMPARE(sims.value(QStringLiteral("cfs2")).toBool(true), false);
    QCOMPARE(info.value(QStringLiteral("simType")).toInt(-1), 1);
    QCOMPARE(info.value(QStringLiteral("fsPath")).toString(), DemoInstallation::fs2002Folder());
    QCOMPARE(info.value(QStringLiteral("sceneryCfgExists")).toBool(), true);
}

void TestCli::demoRefusesAFolderInUse()
{
    TestEnv env;
    env.installSim(1, QStringLiteral("C:\\FS2002"));
    QFile reg(env.prefixHost() + QStringLiteral("/system.reg"));
    QVERIFY(reg.open(QIODevice::ReadOnly));
    const QByteArray original = reg.readAll();
    reg.close();

    const Result result =
        runCliProcess({QStringLiteral("demo"), env.prefixHost()}, env.homeHost(), env.prefixHost());
    QCOMPARE(result.code, 1);
    QVERIFY2(result.err.contains(QStringLiteral("not empty")), qPrintable(result.err));
    QVERIFY(reg.open(QIODevice::ReadOnly));
    QCOMPARE(reg.readAll(), original);
}

void TestCli::helpOfEveryCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("lumivale-cli --help") << QStringList{QStringLiteral("--help")};
    for (const CliCommand &command : cliCommands()) {
        const QString name = QString::fromLatin1(command.name);
        QTest::newRow(qPrintable(name + QStringLiteral(" --help")))
            << QStringList{name, QStringLiteral("--help")};
    }
}

void TestCli::helpOfEveryCommand()
{
    QFETCH(QStringList, arguments);
    TestEnv env; // no simulator: help must not need one
    const Result result = runCliProcess(arguments, env.homeHost(), env.prefixHost());
    QCOMPARE(result.code, 0);
    QVERIFY(result.out.startsWith("Usage: lumivale-cli"));
    QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
