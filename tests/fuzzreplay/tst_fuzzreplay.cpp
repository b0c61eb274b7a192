// Inputs the fuzz targets once stumbled on, kept in tests/data/fuzz-<name>/ and read again
// through the same reader in the normal build: the reading must end without a crash or an escaping
// exception, report any trouble only as the reader's own error message, and leave every container
// keyed by its records' own keys. Then the library is saved: the save must work, and the saved
// files must read back without a problem.

#include "../scenerycfg/libraryfixture.h"

#include "tree/librarytree.h"

#include <QDir>
#include <QTest>

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void keptInputs_data()
    {
        QTest::addColumn<QString>("fileName");  // in the program folder; empty: the simulator's Scenery.cfg
        QTest::addColumn<QString>("input");  // folder/name in tests/data
        // Each fuzz target (fuzz_<name>) and the file its input is written as.
        const QList<std::pair<QString, QString>> targets{
            {u"scenerycfg"_s, QString()},       {u"db5"_s, u"Lumivale.db5"_s},
            {u"cfgset"_s, u"CFGSet.db"_s},      {u"level"_s, u"Level.db"_s},
            {u"olddb"_s, u"Lumivale.db"_s},     {u"save_scenerycfg"_s, QString()},
            {u"save_db5"_s, u"Lumivale.db5"_s}, {u"save_cfgset"_s, u"CFGSet.db"_s},
            {u"save_level"_s, u"Level.db"_s},   {u"save_olddb"_s, u"Lumivale.db"_s}};
        for (const auto &[name, fileName] : targets) {
            const QDir dir(QStringLiteral(LUMIVALE_TEST_DATA "/fuzz-") + name);
            for (const QString &input : dir.entryList(QDir::Files, QDir::Name))
                QTest::addRow("%s/%s", qPrintable(name), qPrintable(input)) << fileName << dir.dirName() + u'/' + input;
            // The kept inputs are the point of this test; an empty folder means the data went missing.
            if (dir.isEmpty())
                qFatal("no kept fuzz inputs in %s", qPrintable(dir.path()));
        }
    }

    void keptInputs()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, input);
        LibraryFixture f;
        const QByteArray bytes = testData(input.section(u'/', 0, 0), input.section(u'/', 1));
        f.env.writeFile(fileName.isEmpty() ? u"C:\\FS2002\\SCENERY.CFG"_s : f.programFile(fileName), bytes);
        // Trouble is shown only as the reader's own message; any other dialog, a failed save among
        // them, fails the test.
        const QString error =
            fileName.isEmpty() ? u"SceneryManager.readCFG\n"_s : u"SceneryManager.readDB\nError: "_s;
        for (int i = 0; i < 500; ++i)
            f.env.ui.expectMessageStartingWith(error, u"Lumivale"_s);
        bool isNew = false;
        try {
            f.m().readDB(isNew);
            if (fileName.isEmpty()) {
                QString path, again;
                f.m().readCFG(path, false);
                f.m().readCFG(again, true);
            }
        } catch (...) {
            QFAIL("an exception left the reader");
        }
        // Every record sits under its own key.
        for (auto it = f.m().colScenery.begin(); it != f.m().colScenery.end(); ++it)
            QCOMPARE(it.key(), (*it)->Key);
        for (auto it = f.m().dicLevel.begin(); it != f.m().dicLevel.end(); ++it)
            QCOMPARE(it.key(), (*it)->sLevelKey);
        for (auto it = f.m().dicCFGs.begin(); it != f.m().dicCFGs.end(); ++it) {
            QCOMPARE(it.key(), (*it)->Key);
            for (auto m = (*it)->colUsedSceneries.begin(); m != (*it)->colUsedSceneries.end(); ++m)
                QCOMPARE(m.key(), *m);
        }

        // Saved as the window saves: the tree built, then rebuilt without a filter, which records its
        // order. The saved files read back without a problem, and saving what they hold again
        // writes them unchanged.
        QByteArray saved;
        for (int round = 0; round < 2; ++round) {
            Tree tree;
            LibraryTree libraryTree(f.m(), tree, f.env.ui);
            libraryTree.fillTree(0, isNew);
            libraryTree.UndisplayAllTree();
            f.m().saveDB(tree.keysInWalkOrder());
            QByteArray files;
            for (const QString &name : {u"Lumivale.db5"_s, u"Level.db"_s, u"CFGSet.db"_s})
                files += f.env.readFile(f.programFile(name)) + '|';
            if (round == 1)
                QCOMPARE(files, saved);
            saved = files;
            f.manager = std::make_unique<SceneryManager>(f.env.context);
            const Problems problems = f.m().readDB(isNew).problems;
            QVERIFY2(problems.isEmpty(), qPrintable(describeProblems(problems)));
        }
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzzreplay.moc"
