// A CD-ROM source: the folders of the chosen sets' sceneries copied into one new folder, each
// folder once, within the capacity of a CD, and the copied sceneries given the CD's remote path.

#include "packaging/cdromsource.h"
#include "platform/filefaults.h"
#include "support/librarybuilder.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString CdFolder = u"C:\\Out\\CD1"_s;
const QString Addon = u"C:\\FS2002\\Addon Scenery\\"_s;
constexpr qint64 MB = 1024 * 1024;

struct Fixture
{
    // The library into the manager and the tree, and each file (below "Addon Scenery") with its
    // name as content.
    Fixture(const Library &library, const QStringList &files)
    {
        library.buildInto(env.manager(), env.tree);
        for (const QString &file : files)
            env.env.writeFile(Addon + file, file.toLatin1());
    }
    Outcome make(const QStringList &sets)
    {
        QString strSet;
        for (const QString &set : sets)
            strSet += set + u"\r\n"_s;
        return source.MakeCDROM(strSet, env.tree.keysInWalkOrder(), CdFolder, u"CD1"_s);
    }
    QStringList remotePaths(const QStringList &titles)
    {
        QStringList paths;
        for (const QString &title : titles) {
            for (const SceneryPtr &scenery : env.manager().colScenery) {
                if (scenery->Title == title)
                    paths << scenery->RemotePath;
            }
        }
        return paths;
    }
    bool cdFolderExists() const { return QFileInfo::exists(env.env.host(CdFolder)); }
    Files onCd() const { return cdFolderExists() ? filesBelow(env.env.host(CdFolder)) : Files(); }

    LibraryEnv env;
    CdRomSource source{env.manager()};
};

// Two sceneries of two files each, in one set.
Library twoSceneries()
{
    return Library()
        .scenery(u"East"_s, {.localPath = u"Addon Scenery\\East"_s, .remotePath = u"[Old]East"_s})
        .scenery(u"West"_s, {.localPath = u"Addon Scenery\\West"_s, .remotePath = u"[Old]West"_s})
        .set(u"Both"_s, Sim::FS2002, {u"East"_s, u"West"_s});
}
const QStringList TwoSceneriesFiles{u"East\\e1.bgl"_s, u"East\\e2.bgl"_s, u"West\\w1.bgl"_s,
                                    u"West\\w2.bgl"_s};

} // namespace

class TestCdRom : public QObject
{
    Q_OBJECT

private slots:
    // Each folder is counted and copied once, in tree order, into a folder named after the first
    // scenery that uses it, and every scenery using it gets that scenery's remote path; a scenery in
    // two chosen sets is one scenery; titles that make one folder name get two folders, and ".."
    // one inside the CD folder; a scenery without a folder is reported and left as it was.
    void copiesEachFolderOnce()
    {
        Fixture f(
            Library()
                .level(u"Europe"_s)
                .scenery(u"A:B"_s, {.localPath = u"Addon Scenery\\AB"_s})
                .scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Alps"_s})
                .scenery(u"Gone"_s, {.localPath = u"Addon Scenery\\Gone"_s, .remotePath = u"[Old]Gone"_s})
                .scenery(u"Alps West"_s, {.localPath = u"C:\\FS2002\\addon scenery\\ALPS\\Scenery\\"_s})
                .scenery(u"A/B"_s, {.localPath = u"Addon Scenery\\AB2"_s})
                .scenery(u"Remote only"_s, {.remotePath = u"\\\\server\\Remote"_s})
                .scenery(u"Oslo"_s, {.localPath = u"Addon Scenery\\Oslo"_s})
                .scenery(u".."_s, {.localPath = u"Addon Scenery\\Dots"_s})
                .set(u"Mine"_s, Sim::FS2002,
                     {u"A:B"_s, u"Alps"_s, u"Gone"_s, u"Alps West"_s, u"A/B"_s, u".."_s})
                .set(u"Old"_s, Sim::FS2000, {u"Alps"_s, u"Remote only"_s})
                .set(u"Others"_s, Sim::FS2002, {u"Oslo"_s}),
            {u"AB\\scenery\\ab.bgl"_s, u"AB2\\ab2.bgl"_s, u"Alps\\scenery\\alps.bgl"_s,
             u"Alps\\texture\\alps.bmp"_s, u"Oslo\\oslo.bgl"_s, u"Dots\\d.bgl"_s});
        f.env.env.ui
            .expectMessage(u"Local path of scenery Gone did not exist."_s, u"Scenery not found"_s,
                           UiPort::Answer::Ok, UiPort::Icon::Exclamation)
            .expectMessage(u"Local path of scenery Remote only did not exist."_s, u"Scenery not found"_s);

        const Outcome outcome = f.make({u"Mine"_s, u"Old"_s});

        QVERIFY(outcome.isDone());
        QVERIFY(f.env.env.ui.allShown());
        QVERIFY(sameFiles(f.onCd(), Files{{u"--/d.bgl"_s, "Dots\\d.bgl"},
                                          {u"A-B/scenery/ab.bgl"_s, "AB\\scenery\\ab.bgl"},
                                          {u"A-B (2)/ab2.bgl"_s, "AB2\\ab2.bgl"},
                                          {u"Alps/scenery/alps.bgl"_s, "Alps\\scenery\\alps.bgl"},
                                          {u"Alps/texture/alps.bmp"_s, "Alps\\texture\\alps.bmp"}}));
        const QStringList titles{u"A:B"_s, u"Alps"_s,        u"Gone"_s, u"Alps West"_s,
                                 u"A/B"_s, u"Remote only"_s, u"Oslo"_s};
        QCOMPARE(f.remotePaths(titles),
                 (QStringList{u"[CD1]A:B"_s, u"[CD1]Alps"_s, u"[Old]Gone"_s, u"[CD1]Alps"_s, u"[CD1]A/B"_s,
                              u"\\\\server\\Remote"_s, QString()}));
        QCOMPARE(f.source.copied(), (QStringList{u"A:B"_s, u"Alps"_s, u"Alps West"_s, u"A/B"_s, u".."_s}));
        QCOMPARE(f.source.missing(), (QStringList{u"Gone"_s, u"Remote only"_s}));
        QCOMPARE(outcome.problems.size(), 2);
        // Each file was counted once, the folder two sceneries share too.
        QStringList counted;
        for (const ScriptedUi::ProgressStep &step : f.env.env.ui.progressSteps()) {
            if (step.title == u"Counting the CDROM source"_s)
                counted << step.item;
        }
        QCOMPARE(counted, (QStringList{Addon + u"AB\\scenery\\ab.bgl"_s, Addon + u"Alps\\scenery\\alps.bgl"_s,
                                       Addon + u"Alps\\texture\\alps.bmp"_s, Addon + u"AB2\\ab2.bgl"_s,
                                       Addon + u"Dots\\d.bgl"_s}));
    }

    void sizeRule_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("650.99 MB") << qint64(650.99 * MB) << true << QString();
        QTest::newRow("651.0 MB") << 651 * MB << false
                                  << u"Sorry, you need 651 MB and only 650 MB is possible on a CDROM."_s;
    }

    // The whole megabytes of the bytes decide; a source that does not fit leaves nothing made.
    void sizeRule()
    {
        QFETCH(qint64, bytes);
        QFETCH(bool, copied);
        QFETCH(QString, refusal);
        Fixture f(twoSceneries(), TwoSceneriesFiles);
        // Half of it in each folder.
        f.source.setFileSizeForTesting([bytes](const QString &file) {
            return file.endsWith(u"1.bgl"_s) ? bytes / 2 : file.endsWith(u"e2.bgl"_s) ? bytes % 2 : 0;
        });
        if (!copied)
            f.env.env.ui.expectMessage(refusal, u"Unable to create CDROM Source."_s, UiPort::Answer::Ok,
                                       UiPort::Icon::Critical);

        const Outcome outcome = f.make({u"Both"_s});

        QVERIFY(f.env.env.ui.allShown());
        QCOMPARE(f.source.bytes(), bytes);
        QCOMPARE(outcome.isDone(), copied);
        QCOMPARE(outcome.isRefused(), !copied);
        QCOMPARE(f.cdFolderExists(), copied);
        QCOMPARE(f.onCd().size(), copied ? 4 : 0);
        const QStringList remote = copied ? QStringList{u"[CD1]East"_s, u"[CD1]West"_s}
                                          : QStringList{u"[Old]East"_s, u"[Old]West"_s};
        QCOMPARE(f.remotePaths({u"East"_s, u"West"_s}), remote);
    }

    void stopsBetweenFiles_data()
    {
        QTest::addColumn<int>("cancelAt");   // progress step answered with Cancel; 0 none
        QTest::addColumn<int>("failCopyAt"); // file copy that fails; 0 none
        QTest::addColumn<QStringList>("copied");
        QTest::addColumn<QString>("summary"); // "" when none is shown
        // Four files counted, then four copied: East's two, then West's.
        const QString copiedEast =
            u" These sceneries were copied to C:\\Out\\CD1 and have the CD as their remote path:\r\nEast"_s;
        QTest::newRow("cancelled while counting") << 2 << 0 << QStringList() << QString();
        QTest::newRow("cancelled in the second folder")
            << 8 << 0 << QStringList{u"East"_s} << u"Copying was cancelled."_s + copiedEast;
        QTest::newRow("third copy fails")
            << 0 << 3 << QStringList{u"East"_s} << u"Copying ended with an error."_s + copiedEast;
    }

    // A cancel or a failing copy ends it between two files: the sceneries copied keep their copy and
    // get their remote path, the one being copied leaves no folder, the others stay as they were.
    void stopsBetweenFiles()
    {
        QFETCH(int, cancelAt);
        QFETCH(int, failCopyAt);
        QFETCH(QStringList, copied);
        QFETCH(QString, summary);
        Fixture f(twoSceneries(), TwoSceneriesFiles);
        ScriptedUi &ui = f.env.env.ui;
        if (cancelAt)
            ui.cancelProgressAt(cancelAt);
        FileFaultPlan faults;
        if (failCopyAt) {
            faults.failAt(FileStep::Copy, failCopyAt);
            ui.expectMessageStartingWith(u"CdRomSource.MakeCDROM\nError: "_s, u"Lumivale"_s);
        }
        if (!summary.isEmpty())
            ui.expectMessage(summary, u"CDROM Source not complete"_s, UiPort::Answer::Ok,
                             UiPort::Icon::Exclamation);

        const Outcome outcome = f.make({u"Both"_s});

        QVERIFY(ui.allShown());
        QCOMPARE(outcome.isStopped(), cancelAt > 0);
        QCOMPARE(outcome.isFailed(), failCopyAt > 0);
        if (failCopyAt) {
            QCOMPARE(outcome.file(), Addon + u"West\\w1.bgl"_s);
            QVERIFY2(outcome.error().description().contains(u"w1.bgl"_s),
                     qPrintable(outcome.error().description()));
        }
        QCOMPARE(f.source.copied(), copied);
        const QStringList remote{copied.isEmpty() ? u"[Old]East"_s : u"[CD1]East"_s, u"[Old]West"_s};
        QCOMPARE(f.remotePaths({u"East"_s, u"West"_s}), remote);
        QCOMPARE(f.cdFolderExists(), !copied.isEmpty());
        const QStringList onCd =
            copied.isEmpty() ? QStringList() : QStringList{u"East/e1.bgl"_s, u"East/e2.bgl"_s};
        QCOMPARE(f.onCd().keys(), onCd);
    }
};

QTEST_GUILESS_MAIN(TestCdRom)
#include "tst_cdrom.moc"
