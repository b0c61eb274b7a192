// Inputs the fuzz targets once stumbled on, kept in tests/data/fuzz-<name>/ and read again
// through the same reader in the normal build: the reading must end without a crash or an escaping
// exception, report any trouble only as the reader's own error message, and leave every container
// keyed by its records' own keys. Then the library is saved: the save must work, and the saved
// files must read back without a problem. The inputs of the other readers' targets are run through
// the same checks as the targets run them (fuzz/readerchecks.h).

#include "readerchecks.h"
#include "support/librarybuilder.h"
#include "tree/librarytree.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList LibraryFiles{u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s};

// The three library files as saved, one after the other.
QByteArray savedFiles(const LibraryEnv &f)
{
    QByteArray files;
    for (const QString &name : LibraryFiles)
        files += f.programFileBytes(name) + "\n--\n";
    return files;
}

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void keptInputs_data()
    {
        QTest::addColumn<QString>("fileName"); // in the program folder; "" for the simulator's Scenery.cfg
        QTest::addColumn<QString>("folder");   // of tests/data
        QTest::addColumn<QString>("input");
        // Each fuzz target (fuzz_<name>) and the file its input is written as.
        const QList<std::pair<QString, QString>> targets{
            {u"scenerycfg"_s, QString()},       {u"db5"_s, u"Lumivale.db5"_s},
            {u"cfgset"_s, u"CFGSet.db"_s},      {u"level"_s, u"Level.db"_s},
            {u"olddb"_s, u"Lumivale.db"_s},     {u"save_scenerycfg"_s, QString()},
            {u"save_db5"_s, u"Lumivale.db5"_s}, {u"save_cfgset"_s, u"CFGSet.db"_s},
            {u"save_level"_s, u"Level.db"_s},   {u"save_olddb"_s, u"Lumivale.db"_s}};
        for (const auto &[name, fileName] : targets) {
            const QDir dir(QStringLiteral(LUMIVALE_TEST_DATA "/fuzz-") + name);
            // The kept inputs are the point of this test; an empty folder means the data went missing.
            if (dir.isEmpty())
                qFatal("no kept fuzz inputs in %s", qPrintable(dir.path()));
            for (const QString &input : dir.entryList(QDir::Files, QDir::Name))
                QTest::addRow("%s/%s", qPrintable(name), qPrintable(input))
                    << fileName << dir.dirName() << input;
        }
    }

    void keptInputs()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, folder);
        QFETCH(QString, input);
        LibraryEnv f;
        const bool sceneryCfg = fileName.isEmpty();
        f.env.writeFile(sceneryCfg ? u"C:\\FS2002\\SCENERY.CFG"_s : f.programFile(fileName),
                        testDataFile(folder, input));
        // Trouble is shown only as the reader's own message; any other dialog, a failed save among
        // them, fails the test.
        const QString readerMessage =
            sceneryCfg ? u"SceneryManager.readCFG\n"_s : u"SceneryManager.readDB\nError: "_s;
        for (int i = 0; i < 500; ++i)
            f.env.ui.expectMessageStartingWith(readerMessage, u"Lumivale"_s);
        bool isNew = false;
        try {
            f.manager().readDB(isNew);
            if (sceneryCfg) {
                QString path;
                f.manager().readCFG(path, false);
                f.manager().readCFG(path, true);
            }
        } catch (...) {
            QFAIL("an exception left the reader");
        }
        for (auto it = f.manager().colScenery.begin(); it != f.manager().colScenery.end(); ++it)
            QCOMPARE(it.key(), (*it)->Key);
        for (auto it = f.manager().dicLevel.begin(); it != f.manager().dicLevel.end(); ++it)
            QCOMPARE(it.key(), (*it)->sLevelKey);
        for (auto it = f.manager().dicCFGs.begin(); it != f.manager().dicCFGs.end(); ++it) {
            QCOMPARE(it.key(), (*it)->Key);
            for (auto member = (*it)->colUsedSceneries.begin(); member != (*it)->colUsedSceneries.end();
                 ++member)
                QCOMPARE(member.key(), *member);
        }

        // Saved as the window saves: the tree built, then rebuilt without a filter, which records its
        // order. The saved files read back without a problem, and saving what they hold again
        // writes them unchanged.
        QByteArray firstSave;
        for (int round = 1; round <= 2; ++round) {
            Tree tree;
            LibraryTree libraryTree(f.manager(), tree, f.env.ui);
            libraryTree.fillTree(0, isNew);
            libraryTree.UndisplayAllTree();
            QVERIFY(f.manager().saveDB(tree.keysInWalkOrder()).isDone());
            if (round == 2)
                QCOMPARE(savedFiles(f), firstSave);
            firstSave = savedFiles(f);
            const Problems problems = f.restart().readDB(isNew).problems;
            QVERIFY2(problems.isEmpty(), qPrintable(describeProblems(problems)));
        }
    }

    void readerInputs_data()
    {
        QTest::addColumn<int>("check"); // of ReaderChecks
        QTest::addColumn<QString>("input");
        for (int i = 0; i < int(std::size(ReaderChecks)); ++i) {
            const QDir dir(QStringLiteral(LUMIVALE_TEST_DATA "/fuzz-") +
                           QLatin1String(ReaderChecks[i].first));
            if (dir.isEmpty())
                qFatal("no kept fuzz inputs in %s", qPrintable(dir.path()));
            for (const QString &input : dir.entryList(QDir::Files, QDir::Name))
                QTest::addRow("%s/%s", ReaderChecks[i].first, qPrintable(input)) << i << dir.filePath(input);
        }
    }

    void readerInputs()
    {
        QFETCH(int, check);
        QFETCH(QString, input);
        QFile file(input);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString found = ReaderChecks[check].second(file.readAll());
        QVERIFY2(found.isEmpty(), qPrintable(found));
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
