#include "app/start.h"
#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString LogFile = u"C:\\Lumivale.Debug.Log"_s;

// The messages of the debug log's lines, each line ended by CR LF.
QStringList logMessages(const TestEnv &env)
{
    if (!env.fs.fileExists(LogFile))
        return {};
    QStringList messages;
    for (const QString &line :
         QString::fromLatin1(env.readFile(LogFile)).split(u"\r\n"_s, Qt::SkipEmptyParts))
        messages << line.section(u" - "_s, 1);
    return messages;
}

// Flight Simulator 2000 and 2002 installed, 2000 selected, F3 bound to "Move up".
void installBoth(TestEnv &env)
{
    install(env, {{Sim::FS2000, u"C:\\FS2000"_s}, {Sim::FS2002, u"C:\\FS2002"_s}});
    ProgramSettings settings(*env.settings, env.programFolder());
    settings.setValue(u"SelectedSim"_s, u"0"_s);
    settings.setFunctionKey(3, u"Move up"_s);
}
} // namespace

class TestStart : public QObject
{
    Q_OBJECT

private slots:
    // The local date and time, " : ", the seconds since midnight in their shortest single-precision
    // form, " - ", the message.
    void debugLogLine_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("seconds");
        QTest::newRow("afternoon") << QTime(15, 56, 49, 250) << u"57409.25"_s;
        QTest::newRow("single precision") << QTime(23, 59, 59, 999) << u"86400"_s;
    }
    void debugLogLine()
    {
        QFETCH(QTime, time);
        QFETCH(QString, seconds);
        const QDateTime when(QDate(2026, 12, 6), time);
        const QString line = Start::DebugLog::formatLine(when, u"Get F-Keys"_s);
        const QString dateAndTime = line.section(u" : "_s, 0, 0);
        QVERIFY2(dateAndTime.startsWith(QLocale::system().toString(when.date(), QLocale::ShortFormat)),
                 qPrintable(line));
        QVERIFY2(dateAndTime.contains(time.toString(u":mm"_s)), qPrintable(line));
        QCOMPARE(line.section(u" : "_s, 1), seconds + u" - Get F-Keys"_s);
    }

    void functionKeySettings_data()
    {
        QTest::addColumn<QString>("stored"); // null: no "F3" value
        QTest::addColumn<Start::Command>("command");
        QTest::newRow("Move up") << u"Move up"_s << Start::Command::MoveUp;
        QTest::newRow("other letter case") << u"move up"_s << Start::Command::None;
        QTest::newRow("stored empty unbinds") << QString(u""_s) << Start::Command::None;
        QTest::newRow("missing leaves the entry") << QString() << Start::Command::Cache;
    }
    void functionKeySettings()
    {
        QFETCH(QString, stored);
        QFETCH(Start::Command, command);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        if (!stored.isNull())
            settings.setFunctionKey(3, stored);
        Start::FunctionKeyTable table;
        table.fill(u"Cache"_s);
        Start::readFunctionKeys(*env.settings, table);
        QCOMPARE(Start::functionKeyCommand(table, 3), command);
    }

    // A key bound to a caption runs that caption's own row.
    void everyCaptionNamesItsOwnCommand()
    {
        for (const Start::CommandRow &row : Start::commandRows()) {
            if (row.command != Start::Command::None)
                QCOMPARE(Start::commandByCaption(row.caption), row.command);
        }
    }

    // The main window is shown before the command table and the function keys are filled, and the
    // debug log, asked for by "debug" alone in any letter case, writes only the function keys' lines.
    void startUpInOrder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("debug") << QStringList{u" DEBUG "_s}
                               << QStringList{u"Get F-Keys"_s, u"Get F-Keys end"_s};
        QTest::newRow("no debug") << QStringList{u"debug"_s, u"x"_s} << QStringList();
    }
    void startUpInOrder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, log);
        TestEnv env;
        installBoth(env);
        ProgramInfo program(env.homeHost(), arguments);
        AppContext context{env.fs, *env.settings, env.ui, program};
        QStringList done;
        Start::MainHooks hooks;
        hooks.createProgramObjects = [&](Start::Session &s) {
            QVERIFY(s.folderMemory);
            done << u"program objects"_s;
        };
        hooks.showMainWindow = [&](Start::Session &s) {
            QCOMPARE(s.manager->SimType, 0);
            QCOMPARE(s.commands[1].caption, QString());
            QCOMPARE(s.functionKeys[2], QString());
            QVERIFY(!env.fs.fileExists(LogFile));
            done << u"main window"_s;
        };
        const std::unique_ptr<Start::Session> session = Start::Main(context, hooks);
        QVERIFY(session);
        QCOMPARE(done, (QStringList{u"program objects"_s, u"main window"_s}));
        QCOMPARE(logMessages(env), log);
        QCOMPARE(session->commands[45].procedure, u"InnerMove(3)"_s);
        QCOMPARE(Start::functionKeyCommand(session->functionKeys, 3), Start::Command::MoveUp);
        QCOMPARE(session->folderMemory->GetDicPath(u"x"_s), u"C:\\FS2000"_s);
    }

    // A debug log that cannot be written is reported as the start-up's failure.
    void debugLogFailureReported()
    {
        TestEnv env;
        installBoth(env);
        QVERIFY(QDir().mkpath(env.host(LogFile)));
        env.ui.expectMessageStartingWith(u"Start.Main\nError: "_s, QString());
        ProgramInfo program(env.homeHost(), {u"debug"_s});
        AppContext context{env.fs, *env.settings, env.ui, program};
        QVERIFY(Start::Main(context));
        QVERIFY(env.ui.allShown());
    }

    void noSimulatorEnds()
    {
        TestEnv env;
        env.ui.expectMessageStartingWith(u"You must install MS Flightsimulator 2000"_s,
                                         u"Can not run Lumivale"_s);
        bool windowShown = false;
        Start::MainHooks hooks;
        hooks.showMainWindow = [&](Start::Session &) { windowShown = true; };
        QVERIFY(!Start::Main(env.context, hooks));
        QVERIFY(env.ui.allShown());
        QVERIFY(!windowShown);
    }

    // A second start while the first runs ends at once and says why: after bringing the running
    // window to the front when it can, else naming who holds the library.
    void secondStartRefused()
    {
        TestEnv env;
        installBoth(env);
        const std::unique_ptr<Start::Session> first = Start::Main(env.context);
        QVERIFY(first);
        ProgramInfo secondProgram(env.homeHost());
        AppContext second{env.fs, *env.settings, env.ui, secondProgram};
        env.ui.expectMessage(u"Lumivale is already running (tst_start, process %1) with the library in %2. "
                             u"Close it, then start Lumivale again."_s.arg(QCoreApplication::applicationPid())
                                 .arg(env.programFolder()),
                             u"Lumivale"_s);
        QVERIFY(!Start::Main(second));
        Start::MainHooks raising;
        raising.raiseRunningInstance = [] { return true; };
        env.ui.expectMessage(u"Lumivale is already running; its window has been brought to the front."_s,
                             u"Lumivale"_s);
        QVERIFY(!Start::Main(second, raising));
        QVERIFY(env.ui.allShown());
        QVERIFY(!secondProgram.holdsInstanceLock());
    }

    // A settings file that could not be read is said at the start, where its lost drive letters
    // would otherwise show only as sceneries that cannot be found; the program goes on.
    void damagedSettingsFileSaid()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        QFile ini(env.homeHost() + u"/Lumivale.ini"_s);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        QVERIFY(ini.write("[Drives\nD=/media/cdrom\n") > 0);
        ini.close();
        env.ui.expectMessageStartingWith(
            u"SettingsStore.read\nError: %1\nThe settings file %2 is damaged at line 1"_s
                .arg(LmError::UserBase + SettingsErrors::SettingsDamaged)
                .arg(ini.fileName()),
            u"Lumivale"_s);
        ProgramInfo program(env.homeHost());
        AppContext context{env.fs, *env.settings, env.ui, program};
        QVERIFY(Start::Main(context));
        QVERIFY(env.ui.allShown());
    }
};

QTEST_GUILESS_MAIN(TestStart)
#include "tst_start.moc"
