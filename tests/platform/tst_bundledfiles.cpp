// Shipped files put into the program folder when it lacks them, and never over what is there.

#include "platform/bundledfiles.h"
#include "platform/filefaults.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Root = u":/testbundled"_s;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TstBundledFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyMissingItemIsPutThere()
    {
        QTemporaryDir home;
        QCOMPARE(BundledFiles::installMissing(home.path(), Root), (QStringList{u"Lists"_s, u"Manual.htm"_s}));
        QCOMPARE(contentOf(home.filePath(u"Lists/AD_World.txt"_s)), QByteArray("AD_World\r\n"));
        QCOMPARE(contentOf(home.filePath(u"Lists/Inner/Deep.txt"_s)), QByteArray("deep\r\n"));
        QCOMPARE(contentOf(home.filePath(u"Manual.htm"_s)), QByteArray("manual\r\n"));
        // Copies of read-only resources must stay the user's to change.
        QVERIFY(QFileInfo(home.filePath(u"Manual.htm"_s)).isWritable());
        QCOMPARE(BundledFiles::installMissing(home.path(), Root), QStringList());
    }

    void whatIsThereStays()
    {
        QTemporaryDir home;
        writeFile(home.filePath(u"Manual.htm"_s), "my notes");
        writeFile(home.filePath(u"Lists/AD_World.txt"_s), "Europe\r\n");
        QCOMPARE(BundledFiles::installMissing(home.path(), Root), QStringList());
        QCOMPARE(contentOf(home.filePath(u"Manual.htm"_s)), QByteArray("my notes"));
        QCOMPARE(contentOf(home.filePath(u"Lists/AD_World.txt"_s)), QByteArray("Europe\r\n"));
        QVERIFY(!QFileInfo::exists(home.filePath(u"Lists/Inner"_s)));
    }

    // A folder an interrupted start left half assembled is never taken for the item.
    void halfAssembledFolderIsRedone()
    {
        QTemporaryDir home;
        writeFile(home.filePath(u"Lists.installing/AD_World.txt"_s), "cut");
        writeFile(home.filePath(u"Lists.installing/Stale.txt"_s), "from an older version");
        BundledFiles::installMissing(home.path(), Root);
        QCOMPARE(contentOf(home.filePath(u"Lists/AD_World.txt"_s)), QByteArray("AD_World\r\n"));
        QVERIFY(!QFileInfo::exists(home.filePath(u"Lists/Stale.txt"_s)));
        QVERIFY(!QFileInfo::exists(home.filePath(u"Lists.installing"_s)));
    }

    // The disk fills up part-way: it is said, nothing half copied stays, the next start installs.
    void fullDiskLeavesNothing()
    {
        QTemporaryDir home;
        {
            FileFaultPlan faults;
            faults.failFrom(FileStep::Write, 2);
            try {
                BundledFiles::installMissing(home.path(), Root);
                QFAIL("installed on a full disk");
            } catch (const LmError &error) {
                QCOMPARE(error.number(), qint32(LmError::DiskFull));
            }
        }
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        QCOMPARE(BundledFiles::installMissing(home.path(), Root), (QStringList{u"Lists"_s, u"Manual.htm"_s}));
    }

    void failureNamesTheItem()
    {
        QTemporaryDir root;
        const QString notAFolder = root.filePath(u"home"_s);
        writeFile(notAFolder, "a file where the program folder should be");
        try {
            BundledFiles::installMissing(notAFolder, Root);
            QFAIL("installed into a file");
        } catch (const LmError &error) {
            QCOMPARE(error.number(), qint32(LmError::PathFileAccess));
            QVERIFY2(error.description().contains(u"Lists"_s), qPrintable(error.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TstBundledFiles)
#include "tst_bundledfiles.moc"
