#include "app/start.h"
#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString LogFile = u"C:\\Lumivale.Debug.Log"_s;
}

class TstStart : public QObject
{
    Q_OBJECT

private slots:
    // The text functions of the start-up, each row naming the function it calls.
    void textHelpers_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("debug: capitals with blanks") << "debug" << "  DEBUG  " << "1";
        QTest::newRow("debug: further argument") << "debug" << "debug x" << "0";
        QTest::newRow("debug: glued") << "debug" << "debugx" << "0";
        QTest::newRow("debug: empty") << "debug" << "" << "0";
        QTest::newRow("row 0 empty") << "row" << "0" << "|";
        QTest::newRow("row 1") << "row" << "1" << "Add Level|mnuLevelAdd_Click";
        QTest::newRow("row 6") << "row" << "6" << "Move to Level...|MoveTo";
        QTest::newRow("row 42") << "row" << "42" << "Move top|InnerMove(0)";
        QTest::newRow("row 45") << "row" << "45" << "Move bottom|InnerMove(3)";
        QTest::newRow("log: afternoon") << "log" << "15:56:49.250" << "57409.25";
        QTest::newRow("log: midnight") << "log" << "00:00:00.000" << "0";
        QTest::newRow("log: shortest form") << "log" << "00:00:01.500" << "1.5";
        QTest::newRow("log: single precision") << "log" << "23:59:59.999" << "86400";
    }
    void textHelpers()
    {
        QFETCH(QString, function);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QString result;
        if (function == u"debug"_s) {
            result = QString::number(Start::isDebugCommandLine(in));
        } else if (function == u"row"_s) {
            const Start::CommandRow &row = Start::commandRows()[in.toUInt()];
            result = row.caption + u'|' + row.procedure;
        } else if (function == u"log"_s) {
            // The local date and time with seconds, " : ", the seconds since midnight, " - ", the message.
            const QDateTime when(QDate(2026, 12, 6), QTime::fromString(in, u"hh:mm:ss.zzz"_s));
            const QString line = Start::DebugLog::formatLine(when, u"Get F-Keys"_s);
            const QString date = QLocale::system().toString(when.date(), QLocale::ShortFormat);
            QVERIFY2(line.startsWith(date) && line.section(u" : "_s, 0, 0).contains(in.mid(5, 3)), qPrintable(line));
            result = line.section(u" : "_s, 1).section(u" - Get F-Keys"_s, 0, 0);
        }
        QCOMPARE(result, out);
    }

    void functionKeys_data()
    {
        QTest::addColumn<QString>("stored"); // null: no "F3" value
        QTest::addColumn<int>("row");
        QTest::newRow("Move up") << "Move up" << 43;
        QTest::newRow("first row") << "Add Level" << 1;
        QTest::newRow("unknown caption") << "Fly now" << 0;
        QTest::newRow("other case") << "move up" << 0;
        QTest::newRow("trailing blank") << "Move up " << 0;
        QTest::newRow("stored empty unbinds") << "" << 0;
        QTest::newRow("missing leaves the entry") << QString() << 35;
    }
    void functionKeys()
    {
        QFETCH(QString, stored);
        QFETCH(int, row);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        if (!stored.isNull())
            settings.setFunctionKey(3, stored);
        settings.setFunctionKey(12, u"Make Backup"_s);
        Start::FunctionKeyTable table;
        table.fill(u"Cache"_s);
        Start::readFunctionKeys(*env.settings, table);
        QCOMPARE(int(Start::functionKeyCommand(table, 3)), row);
        QCOMPARE(Start::functionKeyCommand(table, 12), Start::Command::MakeBackup);
        QCOMPARE(Start::functionKeyCommand(table, 0), Start::Command::None);
        QCOMPARE(Start::functionKeyCommand(table, 13), Start::Command::None);
        // Every caption is unique: a key bound to it finds its own row.
        for (int r = 1; r < Start::CommandCount; ++r)
            QCOMPARE(int(Start::commandByCaption(Start::commandRows()[std::size_t(r)].caption)), r);
    }

    void mainStartUp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("logBlocked"); // a folder has the log's name: the line cannot be appended
        QTest::addColumn<QString>("log");     // the messages of the lines ended by CR LF
        QTest::addColumn<int>("f3");
        QTest::newRow("DEBUG logs") << QStringList{u"DEBUG"_s} << true << false << "Get F-Keys|Get F-Keys end|" << 43;
        QTest::newRow("debug x does not") << QStringList{u"debug"_s, u"x"_s} << true << false << "" << 43;
        QTest::newRow("log failure reported") << QStringList{u"debug"_s} << true << true << "" << 0;
        QTest::newRow("no simulator ends") << QStringList{u"debug"_s} << false << false << "" << 0;
    }
    void mainStartUp()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, installed);
        QFETCH(bool, logBlocked);
        QFETCH(QString, log);
        QFETCH(int, f3);
        TestEnv env;
        if (installed) {
            env.installSim(0, u"C:\\FS2000"_s);
            env.installSim(1, u"C:\\FS2002"_s);
            ProgramSettings settings(*env.settings, env.programFolder());
            settings.setValue(u"SelectedSim"_s, u"0"_s);
            settings.setFunctionKey(3, u"Move up"_s);
        }
        if (logBlocked) {
            QVERIFY(QDir().mkpath(env.host(LogFile)));
            env.ui.expectMessageStartingWith(u"Start.Main\nError: "_s, QString());
        } else if (!installed) {
            env.ui.expectMessageStartingWith(u"You must install MS Flightsimulator 2000"_s,
                                             u"Can not run Lumivale"_s);
        }
        ProgramInfo program(env.homeHost(), arguments);
        AppContext context{env.fs, *env.settings, env.ui, program};
        QStringList done;
        Start::MainHooks hooks;
        hooks.createProgramObjects = [&](Start::Session &s) {
            done << u"objects %1"_s.arg(int(bool(s.folderMemory)));
        };
        hooks.showMainWindow = [&](Start::Session &s) {
            // The tables are filled and the log written after the window.
            done << u"window %1 '%2%3' %4"_s.arg(s.manager->SimType)
                        .arg(s.commands[1].caption, s.functionKeys[2], QString::number(env.fs.fileExists(LogFile)));
        };
        auto session = Start::Main(context, hooks);
        QCOMPARE(done.join(u';'), installed ? u"objects 1;window 0 '' 0"_s : QString());
        QVERIFY(env.ui.allShown());
        QStringList lines;
        const QByteArray text = env.fs.fileExists(LogFile) ? env.readFile(LogFile) : QByteArray();
        for (const QString &line : QString::fromLatin1(text).split(u"\r\n"_s))
            lines << line.section(u" - "_s, 1);
        QCOMPARE(lines.join(u'|'), log);
        QCOMPARE(bool(session), installed);
        if (!installed)
            return;
        QCOMPARE(session->folderMemory->GetDicPath(u"x"_s), u"C:\\FS2000"_s);
        QCOMPARE(session->commands[45].procedure, u"InnerMove(3)"_s);
        QCOMPARE(int(Start::functionKeyCommand(session->functionKeys, 3)), f3);
        // A second start while this one runs ends at once, and says why: after bringing the running
        // window to the front when it can, else naming who holds the library.
        ProgramInfo secondProgram(env.homeHost());
        AppContext second{env.fs, *env.settings, env.ui, secondProgram};
        env.ui.expectMessage(
            u"Lumivale is already running (tst_start, process %1) with the library in %2. Close it, "
            u"then start Lumivale again."_s.arg(QCoreApplication::applicationPid())
                .arg(env.programFolder()),
            u"Lumivale"_s);
        QVERIFY(!Start::Main(second, hooks));
        hooks.raiseRunningInstance = [] { return true; };
        env.ui.expectMessage(u"Lumivale is already running; its window has been brought to the front."_s,
                             u"Lumivale"_s);
        QVERIFY(!Start::Main(second, hooks));
        QVERIFY(env.ui.allShown());
        QVERIFY(!secondProgram.holdsInstanceLock());
        QCOMPARE(done.size(), 2);
    }

    // A settings file that could not be read is said at the start, where its lost drive letters
    // would otherwise show only as sceneries that cannot be found; the program goes on.
    void damagedSettingsFileSaid()
    {
        TestEnv env;
        env.installSim(1, u"C:\\FS2002"_s);
        QFile ini(env.homeHost() + u"/Lumivale.ini"_s);
        QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[Drives\nD=/media/cdrom\n") > 0);
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

QTEST_GUILESS_MAIN(TstStart)
#include "tst_start.moc"
