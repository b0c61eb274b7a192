// Every way the file-system service writes, failed at each of its steps through the file-fault
// seam: the failure names the file as the user gave it, and the previous file stays byte for byte.
// Also: links are written through, names for entries of a folder stay in it, and folders listed
// once per operation find what a fresh lookup finds.

#include "platform/atomicfile.h"
#include "platform/filefaults.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FileStep)

namespace {

const QString Target = u"C:\\Data\\Scenery.cfg"_s;
const QString Source = u"C:\\Data\\New.cfg"_s;
const QString Moved = u"C:\\Elsewhere\\Scenery.cfg"_s;

// Several pieces of the atomic writer each, so that a fault can strike half-way through.
const QByteArray Previous = patterned(3 * AtomicFile::PieceSize + 100, 1);
const QByteArray Next = patterned(5 * AtomicFile::PieceSize + 7, 2);

enum class Operation { WriteAll, Copy, Move, Append };

} // namespace

class TestFileWrites : public QObject
{
    Q_OBJECT

private slots:
    void faultLeavesThePreviousFile_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<int>("n"); // the n-th such step fails
        QTest::addColumn<int>("error");
        QTest::newRow("write, half-way") << Operation::WriteAll << FileStep::Write << 3 << 61;
        QTest::newRow("write, flush") << Operation::WriteAll << FileStep::Flush << 1 << 61;
        QTest::newRow("write, commit") << Operation::WriteAll << FileStep::Commit << 1 << 75;
        QTest::newRow("copy over it, the copy") << Operation::Copy << FileStep::Copy << 1 << 61;
        QTest::newRow("copy over it, half-way") << Operation::Copy << FileStep::Write << 4 << 61;
        QTest::newRow("move it, the rename") << Operation::Move << FileStep::Rename << 1 << 75;
        QTest::newRow("append to it, the write") << Operation::Append << FileStep::Write << 1 << 61;
    }

    void faultLeavesThePreviousFile()
    {
        QFETCH(Operation, operation);
        QFETCH(FileStep, step);
        QFETCH(int, n);
        QFETCH(int, error);
        TestEnv env;
        env.writeFile(Target, Previous);
        env.writeFile(Source, Next);
        QDir().mkpath(env.host(u"C:\\Elsewhere"_s));

        FileFaultPlan plan;
        plan.failAt(step, n);
        const LmError thrown = thrownBy([&] {
            switch (operation) {
            case Operation::WriteAll:
                env.fs.writeAll(Target, Next);
                break;
            case Operation::Copy:
                env.fs.copyFile(Source, Target);
                break;
            case Operation::Move:
                env.fs.moveFile(Target, Moved);
                break;
            case Operation::Append:
                env.fs.appendLine(Target, u"one more line"_s);
                break;
            }
        });

        QVERIFY(plan.struck());
        QCOMPARE(thrown.number(), error);
        // The file as the caller gave it.
        QVERIFY2(thrown.description().contains(Target), qPrintable(thrown.description()));
        QVERIFY(sameFiles(filesBelow(env.driveCHost()),
                          {{u"Data/New.cfg"_s, Next}, {u"Data/Scenery.cfg"_s, Previous}}));
    }

    // What a later task needs to drive a save path through every fault: a plan without a fault
    // sees each step the path takes, in order.
    void planSeesEveryStep()
    {
        TestEnv env;
        env.writeFile(Target, Previous);
        FileFaultPlan plan;
        env.fs.writeAll(Target, Previous + Previous);
        QStringList steps;
        for (const FileFaultPlan::Step &seen : plan.seen())
            steps << FileFaults::stepName(seen.step) + u' ' + QFileInfo(seen.hostPath).fileName();
        QCOMPARE(steps, QStringList(7, u"write Scenery.cfg"_s)
                            << u"flush Scenery.cfg"_s << u"commit Scenery.cfg"_s);
        QCOMPARE(env.readFile(Target), Previous + Previous);
    }

    // A library file kept elsewhere and linked into the program folder stays a link; the file it
    // leads to takes the content.
    void linkIsWrittenThrough_data()
    {
        QTest::addColumn<QString>("leadsTo"); // from the program folder
        QTest::addColumn<QString>("written"); // the file that takes the content, below the test folder
        QTest::newRow("a link") << u"../elsewhere/Lumivale.db5"_s << u"elsewhere/Lumivale.db5"_s;
        QTest::newRow("a link to a link") << u"../elsewhere/again.db5"_s << u"elsewhere/Lumivale.db5"_s;
        QTest::newRow("a link to a file not yet there")
            << u"../elsewhere/new.db5"_s << u"elsewhere/new.db5"_s;
    }

    void linkIsWrittenThrough()
    {
        QFETCH(QString, leadsTo);
        QFETCH(QString, written);
        TestEnv env;
        const QString link = env.homeHost() + u"/Lumivale.db5"_s;
        const QString elsewhere = env.rootHost() + u"/elsewhere/"_s;
        QDir().mkpath(elsewhere);
        QFile old(elsewhere + u"Lumivale.db5"_s);
        QVERIFY(old.open(QIODevice::WriteOnly));
        QCOMPARE(old.write(Previous), Previous.size());
        old.close();
        QVERIFY(QFile::link(u"Lumivale.db5"_s, elsewhere + u"again.db5"_s));
        QVERIFY(QFile::link(leadsTo, link));

        env.fs.writeAll(env.fs.toWindows(link), Next);

        QVERIFY(QFileInfo(link).isSymLink());
        QFile file(env.rootHost() + u'/' + written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), Next);
    }

    // A name given for one entry of a known folder (a backup, a texture backup, a zip file) names
    // nothing else.
    void entryNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("blanks and dots inside") << u"before flight..v2.zip"_s << true;
        QTest::newRow("leading dot") << u".hidden"_s << true;
        QTest::newRow("empty") << u""_s << false;
        QTest::newRow("the folder itself") << u"."_s << false;
        QTest::newRow("its parent") << u".."_s << false;
        QTest::newRow("up with a backslash") << u"..\\Lumivale.db5"_s << false;
        QTest::newRow("up with a slash") << u"../Level.db"_s << false;
        QTest::newRow("a drive") << u"C:Saved.zip"_s << false;
        QTest::newRow("every file") << u"*"_s << false;
        QTest::newRow("a pattern") << u"Saved?.zip"_s << false;
    }

    void entryNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        const QString folder = u"C:\\Lumivale\\EnvBackups\\"_s;
        QString path;
        const LmError thrown = thrownBy([&] { path = FileSystem::entryPath(folder, name); });
        QCOMPARE(thrown.number(), accepted ? 0 : qint32(LmError::BadFileName));
        if (accepted) {
            QCOMPARE(path, folder + name);
        } else {
            QVERIFY2(thrown.description().contains(u'"' + name + u'"'), qPrintable(thrown.description()));
            QVERIFY2(thrown.description().contains(folder), qPrintable(thrown.description()));
        }
    }

    // An extraction lists each folder once; what it finds must be what a fresh lookup finds.
    void listedFoldersMatchLikeFreshLookups_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("same spelling, the first in code order") << u"C:\\Data\\a.txt"_s;
        QTest::newRow("same spelling wins over the first in code order") << u"C:\\data\\a.txt"_s;
        QTest::newRow("no same spelling: the first in code order") << u"C:\\DATA\\a.Txt"_s;
        QTest::newRow("missing tail kept as written") << u"C:\\data\\New Folder\\X.BGL"_s;
        QTest::newRow("created after the folder was listed") << u"C:\\DATA\\LATER.TXT"_s;
    }

    void listedFoldersMatchLikeFreshLookups()
    {
        QFETCH(QString, path);
        TestEnv env;
        // Spellings that differ in letter case only, side by side as a case-sensitive disk holds them.
        for (const QString &file : {u"Data/a.txt"_s, u"data/A.TXT"_s, u"data/a.txt"_s}) {
            QDir().mkpath(QFileInfo(env.driveCHost() + u'/' + file).absolutePath());
            QFile created(env.driveCHost() + u'/' + file);
            QVERIFY(created.open(QIODevice::WriteOnly));
        }
        FolderListings listings;
        QCOMPARE(env.fs.toHost(u"C:\\Data\\A.TXT"_s, &listings), env.fs.toHost(u"C:\\Data\\A.TXT"_s));
        // The operation makes a file and says so.
        QFile later(env.driveCHost() + u"/data/later.txt"_s);
        QVERIFY(later.open(QIODevice::WriteOnly));
        listings.added(env.driveCHost() + u"/data"_s, u"later.txt"_s);
        QCOMPARE(env.fs.toHost(path, &listings), env.fs.toHost(path));
    }

    // Files written aside go into a folder nobody else can write into, and go with it.
    void temporaryFolderIsPrivate()
    {
        TestEnv env;
        QString host;
        {
            const TemporaryFolder folder(env.fs);
            host = env.fs.toHost(folder.path());
            env.fs.writeAll(folder.filePath(u"LumivaleTmp.zip"_s), "zip");
            const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                    QFileDevice::ReadOther | QFileDevice::WriteOther;
            QCOMPARE(QFileInfo(host).permissions() & others, QFileDevice::Permissions());
        }
        QVERIFY(!host.isEmpty());
        QVERIFY(!QFileInfo::exists(host));
    }
};

QTEST_GUILESS_MAIN(TestFileWrites)
#include "tst_filewrites.moc"
