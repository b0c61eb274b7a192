// The demo installation: a prefix the program can really work on, the same on every run.

#include "app/demoinstallation.h"
#include "areas/areavalues.h"
#include "platform/drivemap.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"
#include "platform/settingsstore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

namespace {

struct AreaSection
{
    int number = 0;
    QMap<QString, QString> values; // key as written -> value
};

struct ParsedCfg
{
    QStringList generalKeys;
    QList<AreaSection> areas;
    QStringList caches;
};

// A deliberately simple reading: the demo writes one key per line and nothing unusual.
ParsedCfg parseCfg(const QStringList &lines)
{
    ParsedCfg cfg;
    const QRegularExpression area(QStringLiteral("^\\[Area\\.(\\d{3})\\]$"));
    const QRegularExpression cache(QStringLiteral("^\\[Cache\\.\\d{3}\\]$"));
    enum { None, General, InArea, InCache } section = None;
    for (const QString &line : lines) {
        if (line == QStringLiteral("[General]")) {
            section = General;
        } else if (const auto m = area.match(line); m.hasMatch()) {
            cfg.areas.append(AreaSection{m.captured(1).toInt(), {}});
            section = InArea;
        } else if (cache.match(line).hasMatch()) {
            cfg.caches << line;
            section = InCache;
        } else if (const qsizetype eq = line.indexOf(QLatin1Char('=')); eq > 0) {
            if (section == General)
                cfg.generalKeys << line.left(eq);
            else if (section == InArea)
                cfg.areas.last().values.insert(line.left(eq), line.mid(eq + 1));
        }
    }
    return cfg;
}

// Relative path -> content hash of every file and link below a folder.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        if (info.isSymLink()) {
            files.insert(QDir(root).relativeFilePath(path), info.symLinkTarget().toUtf8());
            continue;
        }
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(root).relativeFilePath(path),
                         QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

QStringList zipEntries(const QString &hostPath)
{
    QStringList names;
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(hostPath).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
        names << QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0));
    zip_discard(archive);
    return names;
}

} // namespace

class TestDemoInstallation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void registryNamesBothSimulators();
    void sceneryCfgLooksLikeTheSimulatorsOwn_data();
    void sceneryCfgLooksLikeTheSimulatorsOwn();
    void everyAreaFolderExistsExceptTheOnesLeftOutOnPurpose_data();
    void everyAreaFolderExistsExceptTheOnesLeftOutOnPurpose();
    void textFilesAreWindowsText();
    void flightsAndStartFlight_data();
    void flightsAndStartFlight();
    void sampleArchivesHoldSceneryAndTexture();
    void twoRunsGiveTheSameFiles();
    void refusesAFolderThatIsNotEmpty();

private:
    QTemporaryDir m_dir;
    QString m_prefix;
    DemoInstallation::Summary m_summary;
    std::unique_ptr<FileSystem> m_fs;
};

void TestDemoInstallation::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_prefix = m_dir.filePath(QStringLiteral("demo"));
    m_summary = DemoInstallation::create(m_prefix);
    // Through the prefix's own drive links, as the program will see it.
    m_fs = std::make_unique<FileSystem>(DriveMap::fromWinePrefix(m_summary.winePrefixHost));
    QVERIFY(m_fs->folderExists(QStringLiteral("C:\\")));
}

void TestDemoInstallation::registryNamesBothSimulators()
{
    QVERIFY(QDir(m_summary.programFolderHost).exists());
    QVERIFY(QDir(m_summary.programFolderHost).isEmpty());
    const auto store = createSettingsStore(m_summary.programFolderHost, m_summary.winePrefixHost);
    const QString games = QStringLiteral("SOFTWARE\\Microsoft\\Microsoft Games\\");
    bool exists = false;
    QCOMPARE(store->read(SettingsStore::Root::Machine, games + QStringLiteral("Flight Simulator\\8.0"),
                         QStringLiteral("EXE path"), {}, &exists),
             DemoInstallation::fs2002Folder());
    QVERIFY(exists);
    QCOMPARE(store->read(SettingsStore::Root::Machine, games + QStringLiteral("Flight Simulator\\7.0"),
                         QStringLiteral("path")),
             DemoInstallation::fs2000Folder());
    store->read(SettingsStore::Root::Machine, games + QStringLiteral("Combat Flight Simulator\\2.0"),
                QStringLiteral("EXE Path"), {}, &exists);
    QVERIFY(!exists);
}

void TestDemoInstallation::sceneryCfgLooksLikeTheSimulatorsOwn_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("caches");
    QTest::addColumn<bool>("required");

    QTest::newRow("FS2002") << DemoInstallation::fs2002Folder() << 2 << true;
    QTest::newRow("FS2000") << DemoInstallation::fs2000Folder() << 0 << false;
}

void TestDemoInstallation::sceneryCfgLooksLikeTheSimulatorsOwn()
{
    QFETCH(QString, folder);
    QFETCH(int, caches);
    QFETCH(bool, required);

    // Found whatever case the program asks in.
    const ParsedCfg cfg = parseCfg(m_fs->readLines(folder + QStringLiteral("\\SCENERY.CFG")));
    QVERIFY2(cfg.areas.size() >= 40 && cfg.areas.size() <= 120,
             qPrintable(QString::number(cfg.areas.size())));
    QCOMPARE(cfg.caches.size(), caches);
    if (caches == 2)
        QCOMPARE(cfg.caches, (QStringList{QStringLiteral("[Cache.001]"), QStringLiteral("[Cache.002]")}));
    QVERIFY(cfg.generalKeys.contains(QStringLiteral("Clean_on_Exit")));
    QCOMPARE(cfg.generalKeys.contains(QStringLiteral("Title")), required);

    QSet<QString> titles;
    int remoteOnly = 0;
    int addons = 0;
    for (int i = 0; i < cfg.areas.size(); ++i) {
        const AreaSection &area = cfg.areas.at(i);
        QCOMPARE(area.number, i + 1);
        QCOMPARE(area.values.value(QStringLiteral("Layer")), QString::number(i + 1));
        // Areas with one title would be merged into one scenery when read.
        const QString title = area.values.value(QStringLiteral("Title"));
        QVERIFY(!title.isEmpty());
        QVERIFY2(!titles.contains(title), qPrintable(title));
        titles.insert(title);
        QCOMPARE(area.values.contains(QStringLiteral("Required")), required);
        QVERIFY(area.values.contains(QStringLiteral("Local")));
        if (area.values.value(QStringLiteral("Local")).isEmpty()) {
            ++remoteOnly;
            QVERIFY(area.values.value(QStringLiteral("Remote")).startsWith(QStringLiteral("\\\\")));
        }
        if (area.values.value(QStringLiteral("Local")).startsWith(QStringLiteral("Addon Scenery\\")))
            ++addons;
    }
    QCOMPARE(remoteOnly, 1);
    QVERIFY(addons >= 3);

    // The add-on with rectangles must show them as well formed, not in red.
    int rectangles = 0;
    for (const AreaSection &area : cfg.areas) {
        for (auto it = area.values.cbegin(); it != area.values.cend(); ++it) {
            if (it.key() == QStringLiteral("Exclude")) {
                QVERIFY2(!CheckErrorExclude(it.value()), qPrintable(it.value()));
                ++rectangles;
            } else if (it.key().startsWith(QStringLiteral("Flatten."))) {
                QVERIFY2(!CheckErrorFlatten(it.value()), qPrintable(it.value()));
                ++rectangles;
            }
        }
    }
    QCOMPARE(rectangles, 2);
    QCOMPARE(cfg.areas.first().values.value(QStringLiteral("Local")), QStringLiteral("Scenery\\World"));
    QCOMPARE(cfg.areas.first().values.value(QStringLiteral("Texture_ID")), QStringLiteral("1"));
    QCOMPARE(cfg.areas.at(1).values.value(QStringLiteral("Local")), QStringLiteral("Scenery\\BASE"));
    QCOMPARE(cfg.areas.at(2).values.value(QStringLiteral("Local")), QStringLiteral("Scenery\\0000"));
}

void TestDemoInstallation::everyAreaFolderExistsExceptTheOnesLeftOutOnPurpose_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("FS2002") << DemoInstallation::fs2002Folder();
    QTest::newRow("FS2000") << DemoInstallation::fs2000Folder();
}

void TestDemoInstallation::everyAreaFolderExistsExceptTheOnesLeftOutOnPurpose()
{
    QFETCH(QString, folder);
    const ParsedCfg cfg = parseCfg(m_fs->readLines(folder + QStringLiteral("\\Scenery.cfg")));
    int missing = 0;
    for (const AreaSection &area : cfg.areas) {
        const QString local = area.values.value(QStringLiteral("Local"));
        if (local.isEmpty())
            continue;
        const QString path = local.at(1) == QLatin1Char(':') ? local : folder + QLatin1Char('\\') + local;
        if (!m_fs->folderExists(path)) {
            // Only add-ons go missing; the simulator's own folders are all there.
            QVERIFY2(local.startsWith(QStringLiteral("Addon Scenery\\")), qPrintable(local));
            ++missing;
            continue;
        }
        const QStringList scenery = m_fs->files(path + QStringLiteral("\\scenery"));
        const QStringList texture = m_fs->files(path + QStringLiteral("\\texture"));
        QVERIFY2(!scenery.isEmpty() && !texture.isEmpty(), qPrintable(path));
        for (const QString &name : scenery)
            QVERIFY(name.endsWith(QStringLiteral(".bgl")));
        for (const QString &name : texture)
            QVERIFY(name.endsWith(QStringLiteral(".bmp")));
    }
    QVERIFY(missing >= 1);
    QVERIFY(m_fs->files(folder + QStringLiteral("\\Texture")).size() >= 3);
}

void TestDemoInstallation::textFilesAreWindowsText()
{
    const QByteArray bytes =
        m_fs->readAll(DemoInstallation::fs2002Folder() + QStringLiteral("\\Scenery.cfg"));
    QVERIFY(bytes.endsWith("\r\n"));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
    // "Zürich" in Windows-1252: one byte 0xFC, not UTF-8's two.
    QVERIFY(bytes.contains("Title=Z\xfcrich Lakefront\r\n"));
    QVERIFY(!bytes.contains("\xc3\xbc"));
}

void TestDemoInstallation::flightsAndStartFlight_data()
{
    QTest::addColumn<QString>("cfgFile");
    QTest::addColumn<QString>("flightFolder");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("flights");

    QTest::newRow("FS2002") << DemoInstallation::fs2002Folder() + QStringLiteral("\\FS2002.cfg")
                            << DemoInstallation::fs2002Folder() + QStringLiteral("\\flights\\myflts")
                            << QStringLiteral("SITUATION=flights\\myflts\\Demo Flight") << 3;
    QTest::newRow("FS2000") << DemoInstallation::fs2000Folder() + QStringLiteral("\\FS2000.cfg")
                            << DemoInstallation::fs2000Folder() + QStringLiteral("\\PILOTS")
                            << QStringLiteral("SITUATION=Pilots\\Demo Flight") << 2;
}

void TestDemoInstallation::flightsAndStartFlight()
{
    QFETCH(QString, cfgFile);
    QFETCH(QString, flightFolder);
    QFETCH(QString, situation);
    QFETCH(int, flights);

    QVERIFY(m_fs->readLines(cfgFile).contains(situation));
    int found = 0;
    for (const QString &name : m_fs->files(flightFolder)) {
        if (name.endsWith(QStringLiteral("FLT"), Qt::CaseInsensitive))
            ++found;
    }
    QCOMPARE(found, flights);
}

void TestDemoInstallation::sampleArchivesHoldSceneryAndTexture()
{
    QCOMPARE(m_summary.archives.size(), 2);
    for (const QString &archive : m_summary.archives) {
        QVERIFY(m_fs->fileExists(archive));
        const QStringList entries = zipEntries(m_fs->toHost(archive));
        QCOMPARE(entries.size(), 2);
        QVERIFY2(entries.at(0).startsWith(QStringLiteral("scenery/")) &&
                     entries.at(0).endsWith(QStringLiteral(".bgl")),
                 qPrintable(entries.join(QLatin1Char(' '))));
        QVERIFY(entries.at(1).startsWith(QStringLiteral("texture/")) &&
                entries.at(1).endsWith(QStringLiteral(".bmp")));
    }
}

void TestDemoInstallation::twoRunsGiveTheSameFiles()
{
    QTemporaryDir other;
    const QString second = other.filePath(QStringLiteral("again"));
    DemoInstallation::create(second);
    const auto first = snapshot(m_summary.winePrefixHost);
    const auto again = snapshot(second);
    QCOMPARE(again.keys(), first.keys());
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        QVERIFY2(again.value(it.key()) == it.value(), qPrintable(it.key()));
    QVERIFY(first.size() > 100);
}

void TestDemoInstallation::refusesAFolderThatIsNotEmpty()
{
    QTemporaryDir dir;
    QFile keep(dir.filePath(QStringLiteral("system.reg")));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write("mine");
    keep.close();

    try {
        DemoInstallation::create(dir.path());
        QFAIL("a folder that is not empty was written into");
    } catch (const LmError &e) {
        QCOMPARE(e.number(), qint32(LmError::FileAlreadyExists));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("system.reg")});
    QVERIFY(keep.open(QIODevice::ReadOnly));
    QCOMPARE(keep.readAll(), QByteArray("mine"));
}

QTEST_GUILESS_MAIN(TestDemoInstallation)
#include "tst_demoinstallation.moc"
