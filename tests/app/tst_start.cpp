#include "app/start.h"
#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QDir>
#include <QLocale>
#include <QTest>

class TstStart : public QObject
{
    Q_OBJECT

private slots:
    void debugFlag_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("debug");
        QTest::newRow("debug") << "debug" << true;
        QTest::newRow("capitals with blanks") << "  DEBUG  " << true;
        QTest::newRow("mixed case") << "Debug" << true;
        QTest::newRow("further argument") << "debug x" << false;
        QTest::newRow("glued") << "debugx" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("other") << "nodebug" << false;
    }
    void debugFlag()
    {
        QFETCH(QString, commandLine);
        QFETCH(bool, debug);
        QCOMPARE(Start::isDebugCommandLine(commandLine), debug);
    }

    void commandTable_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("0") << 0 << "" << "";
        QTest::newRow("1") << 1 << "Add Level" << "mnuLevelAdd_Click";
        QTest::newRow("6") << 6 << "Move to Level..." << "MoveTo";
        QTest::newRow("14") << 14 << "Current to absolute scenery path" << "mnuAbsoluteCurrent_Click";
        QTest::newRow("19") << 19 << "Copy Current to Displayed Set" << "mnuCreateSetfromCurrent_Click";
        QTest::newRow("25") << 25 << "Create FILE_ID.DIZ" << "mnuWizardCreateDIZ_Click";
        QTest::newRow("31") << 31 << "Install 1.5 Backup" << "mnuWizardBackup15_Click";
        QTest::newRow("36") << 36 << "Select Sim Type" << "mnuSelectSimType_Click";
        QTest::newRow("41") << 41 << "Info" << "mnuHelpInfo_Click";
        QTest::newRow("42") << 42 << "Move top" << "InnerMove(0)";
        QTest::newRow("43") << 43 << "Move up" << "InnerMove(1)";
        QTest::newRow("44") << 44 << "Move down" << "InnerMove(2)";
        QTest::newRow("45") << 45 << "Move bottom" << "InnerMove(3)";
    }
    void commandTable()
    {
        QFETCH(int, row);
        QFETCH(QString, caption);
        QFETCH(QString, procedure);
        const Start::CommandTable &rows = Start::commandRows();
        QCOMPARE(int(rows.size()), 46);
        QCOMPARE(rows[std::size_t(row)].caption, caption);
        QCOMPARE(rows[std::size_t(row)].procedure, procedure);
    }

    void everyCaptionFindsItsOwnRow()
    {
        const Start::CommandTable &rows = Start::commandRows();
        for (int row = 1; row < Start::CommandCount; ++row) {
            QVERIFY(!rows[std::size_t(row)].caption.isEmpty());
            QVERIFY(!rows[std::size_t(row)].procedure.isEmpty());
            QCOMPARE(Start::commandRow(rows[std::size_t(row)].caption), row);
        }
    }

    void functionKeys_data()
    {
        QTest::addColumn<QString>("stored");  // null: no "F3" value
        QTest::addColumn<int>("row");
        QTest::newRow("Move up") << "Move up" << 43;
        QTest::newRow("Info") << "Info" << 41;
        QTest::newRow("first row") << "Add Level" << 1;
        QTest::newRow("unknown caption") << "Fly now" << 0;
        QTest::newRow("other case") << "move up" << 0;
        QTest::newRow("trailing blank") << "Move up " << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("missing") << QString() << 0;
    }
    void functionKeys()
    {
        QFETCH(QString, stored);
        QFETCH(int, row);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        if (!stored.isNull())
            settings.setFunctionKey(3, stored);
        settings.setFunctionKey(12, QStringLiteral("Make Backup"));
        Start::FunctionKeyTable table;
        Start::readFunctionKeys(*env.settings, table);
        QCOMPARE(table[2], stored.isNull() ? QString() : stored);
        QCOMPARE(Start::functionKeyCommand(table, 3), row);
        QCOMPARE(Start::functionKeyCommand(table, 12), 29);
        QCOMPARE(Start::functionKeyCommand(table, 1), 0);
        QCOMPARE(Start::functionKeyCommand(table, 0), 0);
        QCOMPARE(Start::functionKeyCommand(table, 13), 0);
    }

    void missingFunctionKeyLeavesTheEntry()
    {
        TestEnv env;
        ProgramSettings(*env.settings, env.programFolder()).setFunctionKey(5, QString());
        Start::FunctionKeyTable table;
        table.fill(QStringLiteral("Cache"));
        Start::readFunctionKeys(*env.settings, table);
        QCOMPARE(table[4], QString());  // stored empty: unbound
        QCOMPARE(table[0], QStringLiteral("Cache"));
        QCOMPARE(table[11], QStringLiteral("Cache"));
    }

    void debugLogLine_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("seconds");
        QTest::newRow("afternoon") << QTime(15, 56, 49, 250) << "57409.25";
        QTest::newRow("midnight") << QTime(0, 0) << "0";
        QTest::newRow("tenths") << QTime(12, 0, 0, 100) << "43200.1";
        QTest::newRow("one and a half") << QTime(0, 0, 1, 500) << "1.5";
        QTest::newRow("last hundredth") << QTime(23, 59, 59, 990) << "86399.99";
        QTest::newRow("single precision") << QTime(23, 59, 59, 999) << "86400";
    }
    void debugLogLine()
    {
        QFETCH(QTime, time);
        QFETCH(QString, seconds);
        const QDateTime when(QDate(2026, 12, 6), time);
        const QString line = Start::DebugLog::formatLine(when, QStringLiteral("Get F-Keys"));
        QVERIFY2(line.endsWith(QStringLiteral(" : ") + seconds + QStringLiteral(" - Get F-Keys")), qPrintable(line));
        const QString stamp = line.left(line.indexOf(QStringLiteral(" : ")));
        QVERIFY2(stamp.startsWith(QLocale::system().toString(when.date(), QLocale::ShortFormat)), qPrintable(line));
        QVERIFY2(stamp.contains(QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0'))), qPrintable(line));
    }

    void debugLogAppendsLines()
    {
        TestEnv env;
        Start::DebugLog log(env.fs, true);
        log.setClock([] { return QDateTime(QDate(2026, 1, 2), QTime(0, 0, 2)); });
        log.write(Start::DebugLog::GetFKeys);
        log.write(Start::DebugLog::GetFKeysEnd);
        const QByteArray text = env.readFile(QStringLiteral("C:\\Lumivale.Debug.Log"));
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(" : 2 - Get F-Keys\r"));
        QVERIFY(lines[1].endsWith(" : 2 - Get F-Keys end\r"));
        QVERIFY(lines[2].isEmpty());

        Start::DebugLog off(env.fs, false);
        off.write(QStringLiteral("never"));
        QCOMPARE(env.readFile(QStringLiteral("C:\\Lumivale.Debug.Log")), text);
    }

    void createSubFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "C:\\A\\B\\C" << "C:\\A\\B\\C";
        QTest::newRow("doubled") << "C:\\A\\\\B\\\\\\C" << "C:\\A\\B\\C";
        QTest::newRow("trailing") << "C:\\A\\B\\" << "C:\\A\\B";
        QTest::newRow("existing part") << "C:\\FS2002\\Addon Scenery\\New" << "C:\\FS2002\\Addon Scenery\\New";
        QTest::newRow("existing in other case") << "c:\\fs2002\\ADDON SCENERY" << "C:\\FS2002\\Addon Scenery";
    }
    void createSubFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        TestEnv env;
        env.installSim(1, QStringLiteral("C:\\FS2002"));
        QVERIFY(QDir().mkpath(env.host(QStringLiteral("C:\\FS2002\\Addon Scenery"))));
        Start::CreateSubFolder(env.fs, path);
        QVERIFY(env.fs.folderExists(expected));
        // Nothing was created beside the existing folders.
        QCOMPARE(env.fs.subFolders(QStringLiteral("C:\\FS2002")), QStringList{QStringLiteral("Addon Scenery")});
        Start::CreateSubFolder(env.fs, path);  // again: all there
        QVERIFY(env.fs.folderExists(expected));
    }

    void subFolderSteps_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("steps");
        const auto L = [](const char *text) { return QString::fromLatin1(text); };
        QTest::newRow("drive") << "C:\\A\\\\B\\" << QStringList{L("C:\\"), L("C:\\A\\"), L("C:\\A\\B\\")};
        QTest::newRow("network") << "\\\\srv\\share\\x\\y"
                                 << QStringList{L("\\\\srv\\share\\x\\"), L("\\\\srv\\share\\x\\y\\")};
        QTest::newRow("network share only") << "\\\\srv\\share\\" << QStringList{};
        QTest::newRow("root of the drive") << "\\Temp\\x" << QStringList{L("\\Temp\\"), L("\\Temp\\x\\")};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void subFolderSteps()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, steps);
        QCOMPARE(Start::subFolderSteps(path), steps);
    }

    void normaliseFilename_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A:B/C") << "A:B/C" << "A_B_C";
        QTest::newRow("all nine") << "a\\b/c:d*e?f\"g<h>i|j" << "a_b_c_d_e_f_g_h_i_j";
        QTest::newRow("clean") << "Paris v1.2 (final).zip" << "Paris v1.2 (final).zip";
        QTest::newRow("empty") << "" << "";
    }
    void normaliseFilename()
    {
        QFETCH(QString, in);
        QFETCH(QString, expected);
        QString argument = in;
        QCOMPARE(Start::NormaliseFilename(argument), expected);
        QCOMPARE(argument, expected);
    }

    void folderMemory()
    {
        TestEnv env;
        env.installSim(1, QStringLiteral("C:\\FS2002\\"));
        SceneryManager manager(env.context);
        Start::FolderMemory memory(manager);
        QCOMPARE(memory.GetDicPath(QStringLiteral("CDRom")), QStringLiteral("C:\\FS2002"));
        memory.SetDicPath(QStringLiteral("CDRom"), QStringLiteral("D:\\CD\\"));
        memory.SetDicPath(QStringLiteral("CreateZIP"), QStringLiteral("E:\\Zips\\"));
        memory.SetDicPath(QStringLiteral("CDRom"), QStringLiteral("D:\\CD2\\"));
        QCOMPARE(memory.GetDicPath(QStringLiteral("CDRom")), QStringLiteral("D:\\CD2\\"));
        QCOMPARE(memory.GetDicPath(QStringLiteral("CreateZIP")), QStringLiteral("E:\\Zips\\"));
        QCOMPARE(memory.GetDicPath(QStringLiteral("cdrom")), QStringLiteral("C:\\FS2002"));
        manager.setFSPathForTesting(QStringLiteral("C:\\CFS2"));
        QCOMPARE(memory.GetDicPath(QStringLiteral("FLAdd")), QStringLiteral("C:\\CFS2"));
    }

    void mainRunsTheStartUp()
    {
        TestEnv env;
        env.installSim(0, QStringLiteral("C:\\FS2000"));
        env.installSim(1, QStringLiteral("C:\\FS2002"));
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(QStringLiteral("SelectedSim"), QStringLiteral("0"));
        settings.setFunctionKey(3, QStringLiteral("Move up"));
        ProgramInfo program(env.homeHost(), {QStringLiteral("DEBUG")});
        AppContext context{env.fs, *env.settings, env.ui, program};
        QStringList steps;
        Start::MainHooks hooks;
        hooks.createProgramObjects = [&](Start::Session &s) {
            QVERIFY(s.manager);
            QVERIFY(s.folderMemory);
            steps << QStringLiteral("objects");
        };
        hooks.showMainWindow = [&](Start::Session &s) {
            QCOMPARE(s.manager->SimType, 0);
            QCOMPARE(s.commands[1].caption, QString());  // the table is filled after the window
            QCOMPARE(s.functionKeys[2], QString());
            QVERIFY(env.readFile(QStringLiteral("C:\\Lumivale.Debug.Log")).isEmpty());
            steps << QStringLiteral("window");
        };
        auto session = Start::Main(context, hooks);
        QVERIFY(session);
        QCOMPARE(steps, (QStringList{QStringLiteral("objects"), QStringLiteral("window")}));
        QVERIFY(session->debug);
        QCOMPARE(session->manager->FSPath(), QStringLiteral("C:\\FS2000"));
        QCOMPARE(session->folderMemory->GetDicPath(QStringLiteral("x")), QStringLiteral("C:\\FS2000"));
        QCOMPARE(session->commands[43].procedure, QStringLiteral("InnerMove(1)"));
        QCOMPARE(Start::functionKeyCommand(session->functionKeys, 3), 43);
        const QList<QByteArray> log = env.readFile(QStringLiteral("C:\\Lumivale.Debug.Log")).split('\n');
        QCOMPARE(log.size(), 3);
        QVERIFY(log[0].endsWith(" - Get F-Keys\r"));
        QVERIFY(log[1].endsWith(" - Get F-Keys end\r"));
        QVERIFY(env.ui.allShown());

        // A second start while this one runs ends at once, silently.
        ProgramInfo secondProgram(env.homeHost());
        AppContext second{env.fs, *env.settings, env.ui, secondProgram};
        bool shown = false;
        Start::MainHooks secondHooks;
        secondHooks.showMainWindow = [&](Start::Session &) { shown = true; };
        QVERIFY(!Start::Main(second, secondHooks));
        QVERIFY(!shown);
    }

    void mainWithoutDebugWritesNoLog()
    {
        TestEnv env;
        env.installSim(2, QStringLiteral("C:\\CFS2"));
        ProgramInfo program(env.homeHost(), {QStringLiteral("debug"), QStringLiteral("x")});
        AppContext context{env.fs, *env.settings, env.ui, program};
        auto session = Start::Main(context);
        QVERIFY(session);
        QVERIFY(!session->debug);
        QCOMPARE(session->manager->SimType, 2);
        QVERIFY(!env.fs.fileExists(QStringLiteral("C:\\Lumivale.Debug.Log")));
    }

    void mainEndsWithoutSimulator()
    {
        TestEnv env;
        env.ui.expectMessageStartingWith(QStringLiteral("You must install MS Flightsimulator 2000"),
                                         QStringLiteral("Can not run Lumivale"));
        bool shown = false;
        Start::MainHooks hooks;
        hooks.showMainWindow = [&](Start::Session &) { shown = true; };
        QVERIFY(!Start::Main(env.context, hooks));
        QVERIFY(!shown);
        QVERIFY(env.ui.allShown());
    }

    void mainReportsALogFailure()
    {
        TestEnv env;
        env.installSim(1, QStringLiteral("C:\\FS2002"));
        env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, QStringLiteral("F1"),
                            QStringLiteral("Cache"));
        // The log's name is taken by a folder, so the line cannot be appended.
        QVERIFY(QDir().mkpath(env.host(QStringLiteral("C:\\Lumivale.Debug.Log"))));
        ProgramInfo program(env.homeHost(), {QStringLiteral("debug")});
        AppContext context{env.fs, *env.settings, env.ui, program};
        env.ui.expectMessageStartingWith(QStringLiteral("Start.Main\nError: "), QString());
        auto session = Start::Main(context);
        QVERIFY(session);
        QCOMPARE(session->commands[35].caption, QStringLiteral("Cache"));
        QCOMPARE(session->functionKeys[0], QString());  // the procedure ended before the keys
        QVERIFY(env.ui.allShown());
    }
};

QTEST_GUILESS_MAIN(TstStart)
#include "tst_start.moc"
