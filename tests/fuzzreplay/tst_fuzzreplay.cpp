// Inputs the fuzz targets once stumbled on, kept in tests/data/fuzz-<name>/ and read again
// through the same reader in the normal build: the reading must end without a crash or an escaping
// exception, report any trouble only as the reader's own error message, and leave every container
// keyed by its records' own keys.

#include "library/scenerymanager.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// Answers every message as the fuzz targets' UI does (No to questions, OK otherwise) and keeps them.
class AcceptingUi : public UiPort
{
public:
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        shown << Shown{text, title, icon};
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> chooseFile(const FileChooser &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void showModal(FormLogic &) override {}
    void setBusy(bool) override {}
    void processEvents() override {}

    struct Shown
    {
        QString text;
        QString title;
        Icon icon;
    };
    QList<Shown> shown;
};

// Which reader a fuzz target (fuzz_<name>) drives and the file its input is written as; its kept
// inputs are in tests/data/fuzz-<name>/.
struct Target
{
    const char *name;
    const char *fileName;  // in the program folder; nullptr: the simulator's Scenery.cfg
};
constexpr Target Targets[] = {
    {"scenerycfg", nullptr}, {"db5", "Lumivale.db5"}, {"cfgset", "CFGSet.db"},
    {"level", "Level.db"},   {"olddb", "Lumivale.db"},
};

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT
private slots:
    void keptInputs_data();
    void keptInputs();
};

void TestFuzzReplay::keptInputs_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("input");
    int rows = 0;
    for (const Target &t : Targets) {
        const QDir dir(QStringLiteral(LUMIVALE_TEST_DATA "/fuzz-") + QLatin1String(t.name));
        const QStringList files = dir.entryList(QDir::Files, QDir::Name);
        for (const QString &f : files) {
            QTest::addRow("%s/%s", t.name, qPrintable(f))
                << (t.fileName ? QString::fromLatin1(t.fileName) : QString()) << dir.filePath(f);
            ++rows;
        }
    }
    // The kept inputs are the point of this test; an empty set means the data folders went missing.
    if (rows == 0)
        qFatal("no kept fuzz inputs below %s", LUMIVALE_TEST_DATA);
}

void TestFuzzReplay::keptInputs()
{
    QFETCH(QString, fileName);
    QFETCH(QString, input);
    QFile f(input);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();

    TestEnv env;
    env.installSim(1, QStringLiteral("C:\\FS2002"));
    AcceptingUi ui;
    AppContext context{env.fs, *env.settings, ui, env.program};
    SceneryManager manager(context);
    QCOMPARE(manager.FSPath(), QStringLiteral("C:\\FS2002"));

    QString procedure;
    try {
        if (fileName.isEmpty()) {
            procedure = QStringLiteral("SceneryManager.readCFG");
            env.writeFile(QStringLiteral("C:\\FS2002\\SCENERY.CFG"), bytes);
            QString file;
            manager.readCFG(file, false);
            QString again;
            manager.readCFG(again, true);
            QVERIFY(manager.dicCFGs.contains(QStringLiteral("(Current)")));
        } else {
            procedure = QStringLiteral("SceneryManager.readDB");
            env.writeFile(env.programFolder() + QLatin1Char('\\') + fileName, bytes);
            bool isNew = false;
            manager.readDB(isNew);
            // A scenery file was there, so the library is not new; without a level file the default
            // level is made.
            QCOMPARE(isNew, !fileName.startsWith(QLatin1String("Lumivale.db")));
            if (fileName != QLatin1String("Level.db"))
                QVERIFY(manager.dicLevel.contains(QStringLiteral("LevelNew")));
        }
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("an exception left the reader: ") + QString::fromLocal8Bit(e.what())));
    } catch (...) {
        QFAIL("an exception left the reader");
    }

    // Trouble is shown only as the reader's own error message.
    const QRegularExpression errorText(QStringLiteral("^%1\nError: -?\\d+\n")
                                                  .arg(QRegularExpression::escape(procedure)));
    for (const AcceptingUi::Shown &m : ui.shown) {
        QVERIFY2(m.icon == UiPort::Icon::Critical && errorText.match(m.text).hasMatch(), qPrintable(m.text));
        QCOMPARE(m.title, QStringLiteral("Lumivale"));
    }

    // Every record sits under its own key.
    for (auto it = manager.colScenery.begin(); it != manager.colScenery.end(); ++it)
        QCOMPARE(it.key(), (*it)->Key);
    for (auto it = manager.dicLevel.begin(); it != manager.dicLevel.end(); ++it)
        QCOMPARE(it.key(), (*it)->sLevelKey);
    for (auto it = manager.dicCFGs.begin(); it != manager.dicCFGs.end(); ++it) {
        QCOMPARE(it.key(), (*it)->Key);
        for (auto m = (*it)->colUsedSceneries.begin(); m != (*it)->colUsedSceneries.end(); ++m)
            QCOMPARE(m.key(), *m);
    }
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
