// The command line's UI port and its command dispatcher, in process.

#include "cli/cliui.h"
#include "cli/commands.h"

#include <QTest>

namespace {

class NamedForm : public FormLogic
{
public:
    explicit NamedForm(QString name) : m_name(std::move(name)) {}
    QString formName() const override { return m_name; }
    int shown = 0;

private:
    QString m_name;
};

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run dispatch(QStringList arguments)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    arguments.prepend(QStringLiteral("lumivale-cli"));
    run.code = runCli(arguments, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace

class TestCliUi : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void inputsComeFromThePresetQueueInOrder();
    void answerForOneTitle_data();
    void answerForOneTitle();
    void failuresAreToldFromOtherMessages_data();
    void failuresAreToldFromOtherMessages();
    void choosersAreCancelled();
    void modalWindowsRunOnlyTheirRegisteredHandler();

    void usageErrors_data();
    void usageErrors();
    void helpNamesTheCommandAndItsOptions_data();
    void helpNamesTheCommandAndItsOptions();
    void commandNamesAreUnique();
};

void TestCliUi::answers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("printedSuffix");

    using B = UiPort::Buttons;
    using A = UiPort::Answer;
    QTest::newRow("ok box") << int(B::Ok) << false << int(A::Ok) << QString();
    QTest::newRow("ok box, --yes") << int(B::Ok) << true << int(A::Ok) << QString();
    QTest::newRow("question") << int(B::YesNo) << false << int(A::No) << QStringLiteral(" [answered No]");
    QTest::newRow("question, --yes") << int(B::YesNo) << true << int(A::Yes)
                                     << QStringLiteral(" [answered Yes]");
    QTest::newRow("ok/cancel") << int(B::OkCancel) << false << int(A::Cancel)
                               << QStringLiteral(" [answered Cancel]");
    QTest::newRow("ok/cancel, --yes")
        << int(B::OkCancel) << true << int(A::Ok) << QStringLiteral(" [answered OK]");
}

void TestCliUi::answers()
{
    QFETCH(int, buttons);
    QFETCH(bool, yes);
    QFETCH(int, expected);
    QFETCH(QString, printedSuffix);

    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setAssumeYes(yes);
    const auto answer = ui.message(QStringLiteral("Do you want to make a backup first?"),
                                   QStringLiteral("Creating new Scenery.CFG"), UiPort::Buttons(buttons),
                                   UiPort::Icon::Question);
    err.flush();
    QCOMPARE(int(answer), expected);
    QCOMPARE(printed, QStringLiteral("Creating new Scenery.CFG: Do you want to make a backup first?") +
                          printedSuffix + QLatin1Char('\n'));
}

void TestCliUi::inputsComeFromThePresetQueueInOrder()
{
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setPresetInputs({QStringLiteral("Alps"), QString(), QStringLiteral("Coast")});

    QCOMPARE(
        ui.input(QStringLiteral("Name of the new level"), QStringLiteral("Add level"), QStringLiteral("New")),
        QStringLiteral("Alps"));
    QCOMPARE(ui.input(QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("default")), QString());
    QCOMPARE(ui.input(QStringLiteral("p"), QStringLiteral("t"), {}), QStringLiteral("Coast"));
    // The queue is used up: a prompt then behaves like a cancelled one, not like its default.
    QCOMPARE(ui.input(QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("default")), QString());
    QVERIFY(ui.remainingInputs().isEmpty());
    err.flush();
    QVERIFY(printed.startsWith(QStringLiteral("Add level: Name of the new level [answered \"Alps\"]\n")));
}

void TestCliUi::answerForOneTitle_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("expectedForTitle");
    QTest::addColumn<int>("expectedForOther");

    using B = UiPort::Buttons;
    using A = UiPort::Answer;
    QTest::newRow("Yes without --yes") << false << int(A::Yes) << int(B::YesNo) << int(A::Yes) << int(A::No);
    QTest::newRow("No despite --yes") << true << int(A::No) << int(B::YesNo) << int(A::No) << int(A::Yes);
    QTest::newRow("Yes on an OK/Cancel question")
        << false << int(A::Yes) << int(B::OkCancel) << int(A::Ok) << int(A::Cancel);
    QTest::newRow("Cancel despite --yes")
        << true << int(A::Cancel) << int(B::OkCancel) << int(A::Cancel) << int(A::Ok);
}

void TestCliUi::answerForOneTitle()
{
    QFETCH(bool, yes);
    QFETCH(int, preset);
    QFETCH(int, buttons);
    QFETCH(int, expectedForTitle);
    QFETCH(int, expectedForOther);

    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setAssumeYes(yes);
    ui.setAnswerFor(QStringLiteral("Creating new Scenery.CFG"), UiPort::Answer(preset));
    QCOMPARE(int(ui.message(QStringLiteral("q"), QStringLiteral("Creating new Scenery.CFG"),
                            UiPort::Buttons(buttons), UiPort::Icon::None)),
             expectedForTitle);
    // Titles match exactly.
    QCOMPARE(int(ui.message(QStringLiteral("q"), QStringLiteral("Creating new Scenery.cfg"),
                            UiPort::Buttons(buttons), UiPort::Icon::None)),
             expectedForOther);
    QCOMPARE(ui.shown().size(), 2);
    QCOMPARE(int(ui.shown().at(0).answer), expectedForTitle);
    QCOMPARE(ui.shown().at(1).title, QStringLiteral("Creating new Scenery.cfg"));
}

void TestCliUi::failuresAreToldFromOtherMessages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<bool>("failure");

    using I = UiPort::Icon;
    const QString saveFailure = QStringLiteral("SceneryManager.saveDB\nError: 70\nPermission denied");
    QTest::newRow("failure, any procedure") << saveFailure << int(I::Critical) << QString() << true;
    QTest::newRow("failure of that procedure")
        << saveFailure << int(I::Critical) << QStringLiteral("SceneryManager.saveDB") << true;
    QTest::newRow("failure of another procedure")
        << saveFailure << int(I::Critical) << QStringLiteral("SceneryManager.readCFG") << false;
    QTest::newRow("a longer procedure name is another procedure")
        << saveFailure << int(I::Critical) << QStringLiteral("SceneryManager.save") << false;
    QTest::newRow("critical message that is no failure report")
        << QStringLiteral("The selected sets cover more then the maximum of 332 sceneries.")
        << int(I::Critical) << QString() << false;
    QTest::newRow("same text without the critical icon")
        << saveFailure << int(I::Information) << QString() << false;
}

void TestCliUi::failuresAreToldFromOtherMessages()
{
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, procedure);
    QFETCH(bool, failure);

    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.inform(QStringLiteral("SceneryManager.CreateCFG\nError: 9\nSubscript out of range"),
              QStringLiteral("Lumivale"), UiPort::Icon::Critical);
    const qsizetype mark = ui.shown().size();
    QVERIFY(!ui.failureShownSince(mark));
    ui.message(text, QStringLiteral("Lumivale"), UiPort::Buttons::Ok, UiPort::Icon(icon));
    QCOMPARE(ui.failureShownSince(mark, procedure), failure);
    // Counted from the start, the earlier failure is seen.
    QVERIFY(ui.failureShownSince(0));
}

void TestCliUi::choosersAreCancelled()
{
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    ui.setAssumeYes(true); // --yes answers questions, never picks files
    UiPort::FileChooser chooser;
    chooser.title = QStringLiteral("Select folder");
    chooser.fileName = QStringLiteral("Folder");
    QVERIFY(!ui.chooseFile(chooser).has_value());
    QVERIFY(!ui.chooseFolder(QStringLiteral("Select folder"), QStringLiteral("C:\\")).has_value());
    err.flush();
    QCOMPARE(printed.count(QStringLiteral("Select folder: ")), 2);
}

void TestCliUi::modalWindowsRunOnlyTheirRegisteredHandler()
{
    QString printed;
    QTextStream err(&printed);
    CliUi ui(err);
    NamedForm sets(QStringLiteral("frmSelectSets"));
    NamedForm other(QStringLiteral("frmUndoRemove"));
    ui.setFormHandler(QStringLiteral("frmSelectSets"),
                      [](FormLogic &form) { ++dynamic_cast<NamedForm &>(form).shown; });

    ui.showModal(sets);
    ui.showModal(other);
    ui.showModal(sets);
    QCOMPARE(sets.shown, 2);
    QCOMPARE(other.shown, 0);
}

void TestCliUi::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("no command") << QStringList{} << QStringLiteral("Commands:");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")}
                                     << QStringLiteral("unknown command \"frobnicate\"");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("info"), QStringLiteral("--jsn")}
                                    << QStringLiteral("jsn");
    QTest::newRow("--sim 3") << QStringList{QStringLiteral("--sim"), QStringLiteral("3"),
                                            QStringLiteral("info")}
                             << QStringLiteral("--sim takes 0, 1 or 2");
    QTest::newRow("--sim -1 after the command")
        << QStringList{QStringLiteral("info"), QStringLiteral("--sim=-1")}
        << QStringLiteral("--sim takes 0, 1 or 2");
    QTest::newRow("--sim not a number")
        << QStringList{QStringLiteral("--sim"), QStringLiteral("fs9"), QStringLiteral("info")}
        << QStringLiteral("\"fs9\"");
    QTest::newRow("--sim without value")
        << QStringList{QStringLiteral("info"), QStringLiteral("--sim")} << QStringLiteral("sim");
    QTest::newRow("demo without folder")
        << QStringList{QStringLiteral("demo")} << QStringLiteral("give exactly one folder");
    QTest::newRow("demo with two folders")
        << QStringList{QStringLiteral("demo"), QStringLiteral("a"), QStringLiteral("b")}
        << QStringLiteral("give exactly one folder");
    QTest::newRow("list with an argument") << QStringList{QStringLiteral("list"), QStringLiteral("Europe")}
                                           << QStringLiteral("takes no arguments");
    QTest::newRow("write-cfg without a set")
        << QStringList{QStringLiteral("write-cfg")} << QStringLiteral("at least one set");
    QTest::newRow("write-cfg, cache size not a number")
        << QStringList{QStringLiteral("write-cfg"), QStringLiteral("(Current)"),
                       QStringLiteral("--cache-size"), QStringLiteral("50M")}
        << QStringLiteral("\"50M\"");
    QTest::newRow("backup, unknown action")
        << QStringList{QStringLiteral("backup"), QStringLiteral("restore"), QStringLiteral("x")}
        << QStringLiteral("make NAME");
}

void TestCliUi::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPart);

    const Run run = dispatch(arguments);
    QCOMPARE(run.code, CliUsageError);
    QVERIFY2(run.err.contains(errorPart), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void TestCliUi::helpNamesTheCommandAndItsOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expectedParts");

    QTest::newRow("global") << QStringList{QStringLiteral("--help")}
                            << QStringList{QStringLiteral("Usage: lumivale-cli"), QStringLiteral("--sim"),
                                           QStringLiteral("info"), QStringLiteral("demo")};
    QTest::newRow("info") << QStringList{QStringLiteral("info"), QStringLiteral("--help")}
                          << QStringList{QStringLiteral("Usage: lumivale-cli info"), QStringLiteral("--json"),
                                         QStringLiteral("--yes")};
    QTest::newRow("demo, -h before the command")
        << QStringList{QStringLiteral("-h"), QStringLiteral("demo")}
        << QStringList{QStringLiteral("Usage: lumivale-cli demo"), QStringLiteral("DIR")};
    // Help wins over a missing argument: asking how to call a command is never an error.
    QTest::newRow("demo --help without folder")
        << QStringList{QStringLiteral("demo"), QStringLiteral("--help")}
        << QStringList{QStringLiteral("DIR")};
}

void TestCliUi::helpNamesTheCommandAndItsOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expectedParts);

    const Run run = dispatch(arguments);
    QCOMPARE(run.code, 0);
    for (const QString &part : expectedParts)
        QVERIFY2(run.out.contains(part), qPrintable(part + QStringLiteral(" not in:\n") + run.out));
    QVERIFY(run.err.isEmpty());
}

void TestCliUi::commandNamesAreUnique()
{
    QStringList names;
    for (const CliCommand &command : cliCommands()) {
        const QString name = QString::fromLatin1(command.name);
        QVERIFY2(!names.contains(name), qPrintable(name));
        QVERIFY(command.run);
        names << name;
    }
    QVERIFY(names.contains(QStringLiteral("info")));
    QVERIFY(names.contains(QStringLiteral("demo")));
}

QTEST_GUILESS_MAIN(TestCliUi)
#include "tst_cliui.moc"
