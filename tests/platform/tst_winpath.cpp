// Path text as the simulators write it: joining, the "\" at the end, a scenery's "scenery"
// folder, folder comparison, the folders a path makes, file names and blank trimming.

#include "platform/winpath.h"
#include "support/testenv.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstWinPath : public QObject
{
    Q_OBJECT

private slots:
    void join_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("neither brings one") << u"C:\\A"_s << u"b"_s << u"C:\\A\\b"_s;
        QTest::newRow("the folder brings it") << u"C:\\A\\"_s << u"b"_s << u"C:\\A\\b"_s;
        // Backup file lists write their lines as "\Scenery.cfg".
        QTest::newRow("the name brings it") << u"C:\\A"_s << u"\\b"_s << u"C:\\A\\b"_s;
        QTest::newRow("both bring one") << u"C:\\A\\"_s << u"\\b"_s << u"C:\\A\\b"_s;
        QTest::newRow("empty name: the folder with its end") << u"C:\\A"_s << QString() << u"C:\\A\\"_s;
    }
    void join()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(WinPath::join(folder, name), joined);
    }

    void trailingSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("without");
        QTest::addColumn<QString>("with");
        QTest::newRow("doubled") << u"C:\\A\\\\"_s << u"C:\\A"_s << u"C:\\A\\\\"_s;
        QTest::newRow("none") << u"C:\\A"_s << u"C:\\A"_s << u"C:\\A\\"_s;
        QTest::newRow("drive root stays a root") << u"C:\\\\"_s << u"C:\\"_s << u"C:\\\\"_s;
        QTest::newRow("root of the drive in use") << u"\\"_s << u"\\"_s << u"\\"_s;
    }
    void trailingSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, without);
        QFETCH(QString, with);
        QCOMPARE(WinPath::withoutTrailingSeparator(path), without);
        QCOMPARE(WinPath::withTrailingSeparator(path), with);
    }

    void withoutSceneryFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::newRow("any letter case") << u"D:\\Rome\\sCENERY"_s << u"D:\\Rome"_s;
        QTest::newRow("a name ending in scenery") << u"D:\\MyScenery"_s << u"D:\\MyScenery"_s;
        QTest::newRow("only the last part") << u"D:\\Rome\\Scenery\\Scenery"_s << u"D:\\Rome\\Scenery"_s;
        QTest::newRow("the part alone, without its \\") << u"Scenery"_s << u"Scenery"_s;
        QTest::newRow("the part alone, with it") << u"\\Scenery"_s << QString();
    }
    void withoutSceneryFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QCOMPARE(WinPath::withoutSceneryFolder(path), folder);
    }

    void folderComparison_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("same");
        QTest::addColumn<bool>("below");
        QTest::newRow("same, other case and end") << u"c:\\fs2002\\"_s << u"C:\\FS2002"_s << true << false;
        QTest::newRow("below") << u"C:\\FS2002\\Addon"_s << u"C:\\FS2002\\"_s << false << true;
        QTest::newRow("a name that begins alike") << u"C:\\FS2002b"_s << u"C:\\FS2002"_s << false << false;
        QTest::newRow("below a drive root") << u"C:\\FS2002"_s << u"C:\\"_s << false << true;
        QTest::newRow("a drive and its root") << u"C:"_s << u"C:\\"_s << true << false;
        QTest::newRow("above") << u"C:\\FS2002"_s << u"C:\\FS2002\\Addon"_s << false << false;
    }
    void folderComparison()
    {
        QFETCH(QString, folder);
        QFETCH(QString, base);
        QFETCH(bool, same);
        QFETCH(bool, below);
        QCOMPARE(WinPath::sameFolder(folder, base), same);
        QCOMPARE(WinPath::folderKey(folder) == WinPath::folderKey(base), same);
        QCOMPARE(WinPath::isBelow(folder, base), below);
    }

    // Letters outside ASCII take Qt's full conversion, one letter becoming two included.
    void folderKey_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::newRow("ASCII, with its end") << u"c:\\Fs2002\\Addon z\\"_s << u"C:\\FS2002\\ADDON Z"_s;
        QTest::newRow("already upper case") << u"C:\\FS2002"_s << u"C:\\FS2002"_s;
        QTest::newRow("a letter that becomes two") << u"stra\u00DFe"_s << u"STRASSE"_s;
        QTest::newRow("nothing") << QString() << QString();
    }
    void folderKey()
    {
        QFETCH(QString, path);
        QFETCH(QString, key);
        QCOMPARE(WinPath::folderKey(path), key);
    }

    void isDriveRoot_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("root");
        QTest::newRow("drive root") << u"D:\\"_s << true;
        QTest::newRow("root of the drive in use") << u"\\"_s << true;
        QTest::newRow("a folder") << u"C:\\FS2002"_s << false;
        QTest::newRow("a one-letter folder") << u"\\A"_s << false;
    }
    void isDriveRoot()
    {
        QFETCH(QString, path);
        QFETCH(bool, root);
        QCOMPARE(WinPath::isDriveRoot(path), root);
    }

    void subFolderSteps_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("doubled and trailing \\")
            << u"C:\\A\\\\B\\"_s << QStringList{u"C:\\"_s, u"C:\\A\\"_s, u"C:\\A\\B\\"_s};
        QTest::newRow("network: server and share are no steps")
            << u"\\\\srv\\share\\x"_s << QStringList{u"\\\\srv\\share\\x\\"_s};
        QTest::newRow("network share alone") << u"\\\\srv\\share\\"_s << QStringList();
        QTest::newRow("below the root of the drive in use")
            << u"\\Temp\\x"_s << QStringList{u"\\Temp\\"_s, u"\\Temp\\x\\"_s};
    }
    void subFolderSteps()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, steps);
        QCOMPARE(WinPath::subFolderSteps(path), steps);
    }

    // Folders that exist in another letter case are used as they are; only the missing ones are
    // made.
    void createSubFolder()
    {
        TestEnv env;
        QVERIFY(QDir().mkpath(env.host(u"C:\\FS2002\\Addon Scenery"_s)));
        WinPath::CreateSubFolder(env.fs, u"c:\\fs2002\\\\ADDON SCENERY\\New\\\\"_s);
        QCOMPARE(env.fs.subFolders(u"C:\\FS2002"_s), QStringList{u"Addon Scenery"_s});
        QCOMPARE(env.fs.subFolders(u"C:\\FS2002\\Addon Scenery"_s), QStringList{u"New"_s});
    }

    void normaliseFilename_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("all nine") << u"a\\b/c:d*e?f\"g<h>i|j"_s << u"a_b_c_d_e_f_g_h_i_j"_s;
        QTest::newRow("nothing to do") << u"Paris v1.2 (final).zip"_s << u"Paris v1.2 (final).zip"_s;
    }
    void normaliseFilename()
    {
        QFETCH(QString, name);
        QFETCH(QString, normalised);
        QCOMPARE(WinPath::NormaliseFilename(name), normalised);
        QCOMPARE(name, normalised); // the argument is changed too
    }

    void trimBlanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("blanks on both sides") << u"  Title=Paris "_s << u"Title=Paris"_s;
        QTest::newRow("blanks inside stay") << u" a  b "_s << u"a  b"_s;
        QTest::newRow("a tab is text") << u"\tTitle "_s << u"\tTitle"_s;
        QTest::newRow("blanks only") << u"   "_s << QString();
    }
    void trimBlanks()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(WinPath::trimBlanks(text), trimmed);
    }
};

QTEST_GUILESS_MAIN(TstWinPath)
#include "tst_winpath.moc"
