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
