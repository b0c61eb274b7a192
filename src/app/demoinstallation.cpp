#include "app/demoinstallation.h"

#include "app/librarygenerator.h"
#include "tree/tree.h"

#include "platform/drivemap.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <zip.h>

#include <algorithm>
#include <vector>

namespace {

const QString Backslash = QStringLiteral("\\");

// One "[Area.nnn]" section as the simulators write it.
struct Area
{
    Area(QString title, QString local) : title(std::move(title)), local(std::move(local)) {}

    QString title;
    QString local; // relative to the simulator folder, absolute, or "" for a remote-only area
    QString remote;
    bool active = true;
    bool required = false;
    bool textureId = false; // the "Texture_ID=1" line of the terrain area
    QString exclude;
    QString flatten0;
    bool folderExists = true; // false: the folder is left out on purpose
};

struct Sim
{
    QString folder;       // Windows path
    QString cfgName;      // "FS2002.cfg"
    QString situation;    // the start flight line of that file
    QString flightFolder; // below the simulator folder
    QStringList flights;  // file names
    bool writesRequired;  // Flight Simulator 2000 files have no "Required=" and no titles in [General]
    bool hasCaches;
    QString worldTitle;
    QString worldDescription;
    std::vector<Area> areas;
};

// Names made up for the add-on sceneries; the generator draws from them.
const char *const AddonNames[] = {
    "Lakeside Regional",    "Harbor Point Seaplane Base", "Ridgeback Mountain Strip", "Northfield Municipal",
    "Cedar Valley Airpark", "Old Mill Gliderport",        "Saltmarsh Island",         "Greystone Air Base",
    "Pine Hollow Field",    "Copper Canyon Airstrip",     "Blue Heron Bay",           "Foxglove Downs",
};

struct Region
{
    const char *title;
    const char *folder;
};
const Region Continents[] = {
    {"Africa", "AFRI"},
    {"Asia", "ASIA"},
    {"Australia", "AUST"},
    {"Eastern Europe", "EURE"},
    {"Western Europe", "EURW"},
    {"Central North America", "NAMC"},
    {"Eastern North America", "NAME"},
    {"Western North America", "NAMW"},
    {"Oceania", "OCEN"},
    {"South America", "SAME"},
};
const char *const Cities[] = {"Chicago", "Paris", "London", "New York", "San Francisco", "Tokyo"};

class Generator
{
public:
    explicit Generator(FileSystem &fs) : m_fs(fs), m_rng(DemoInstallation::Seed) {}

    int bounded(int lowest, int highest) { return int(m_rng.bounded(lowest, highest + 1)); }
    bool chance(int percent) { return bounded(1, 100) <= percent; }

    QByteArray bytes(const QByteArray &magic, int minExtra, int maxExtra)
    {
        QByteArray data = magic;
        const int extra = bounded(minExtra, maxExtra);
        for (int i = 0; i < extra; ++i)
            data.append(char(bounded(0, 255)));
        return data;
    }

    // Picks count distinct entries of the add-on pool, in a random order.
    QStringList pickAddons(int count)
    {
        QStringList pool;
        for (const char *name : AddonNames)
            pool << QString::fromLatin1(name);
        QStringList picked;
        while (picked.size() < count && !pool.isEmpty())
            picked << pool.takeAt(bounded(0, int(pool.size()) - 1));
        return picked;
    }

    // Creates every missing folder of a Windows path, one component at a time.
    void makeFolder(const QString &path)
    {
        const QStringList parts = path.split(Backslash, Qt::SkipEmptyParts);
        QString current;
        for (const QString &part : parts) {
            current = current.isEmpty() ? part : current + Backslash + part;
            if (current.endsWith(QLatin1Char(':')))
                continue; // the drive itself
            if (!m_fs.folderExists(current))
                m_fs.createFolder(current);
        }
    }

    void writeLines(const QString &path, const QStringList &lines)
    {
        makeFolder(parentOf(path));
        m_fs.writeLines(path, lines);
    }

    void writeBytes(const QString &path, const QByteArray &data)
    {
        makeFolder(parentOf(path));
        m_fs.writeAll(path, data);
    }

    static QString parentOf(const QString &path) { return path.left(path.lastIndexOf(Backslash)); }

    FileSystem &fs() { return m_fs; }

private:
    FileSystem &m_fs;
    QRandomGenerator m_rng;
};

QString truth(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString areaFolder(const Sim &sim, const Area &area)
{
    if (area.local.size() > 1 && area.local.at(1) == QLatin1Char(':'))
        return area.local;
    return sim.folder + Backslash + area.local;
}

// The default areas every installation has: terrain, base scenery, the numbered regions, the
// continents and a few detailed cities.
void addDefaultAreas(Generator &gen, Sim &sim, int regionRows, int continents, int cities)
{
    Area terrain{QStringLiteral("Default Terrain"), QStringLiteral("Scenery\\World")};
    terrain.required = true;
    terrain.textureId = true;
    sim.areas.push_back(terrain);
    Area base{QStringLiteral("Default Scenery"), QStringLiteral("Scenery\\BASE")};
    base.required = true;
    sim.areas.push_back(base);

    for (int row = 0; row < regionRows; ++row) {
        for (int column = 0; column < 8; ++column) {
            const QString number =
                QStringLiteral("%1%2").arg(row, 2, 10, QLatin1Char('0')).arg(column, 2, 10, QLatin1Char('0'));
            Area region{number + QStringLiteral(" Base"), QStringLiteral("Scenery\\") + number};
            region.required = gen.chance(10);
            sim.areas.push_back(region);
        }
    }
    for (int i = 0; i < continents; ++i) {
        Area continent{QString::fromLatin1(Continents[i].title),
                       QStringLiteral("Scenery\\") + QString::fromLatin1(Continents[i].folder)};
        continent.required = true;
        sim.areas.push_back(continent);
    }
    for (int i = 0; i < cities; ++i) {
        const QString city = QString::fromLatin1(Cities[i]);
        Area area{city, QStringLiteral("Scenery\\Cities\\") + QString(city).remove(QLatin1Char(' '))};
        area.required = true;
        sim.areas.push_back(area);
    }
}

// Add-ons below "Addon Scenery", some switched off, some whose folder was deleted by hand (the
// entry stays in the file, as happens on real machines), one that lives on a network share only.
void addAddonAreas(Generator &gen, Sim &sim, int count, int missing)
{
    const QStringList names = gen.pickAddons(count);
    std::vector<int> order(std::size_t(names.size()));
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    for (int i = 0; i < missing && i < int(order.size()); ++i)
        std::swap(order[std::size_t(i)], order[std::size_t(gen.bounded(i, int(order.size()) - 1))]);
    const std::vector<int> missingIndexes(order.begin(),
                                          order.begin() + std::min<qsizetype>(missing, names.size()));

    for (int i = 0; i < names.size(); ++i) {
        Area addon{names.at(i), QStringLiteral("Addon Scenery\\") + names.at(i)};
        addon.active = gen.chance(80);
        addon.folderExists =
            std::find(missingIndexes.begin(), missingIndexes.end(), i) == missingIndexes.end();
        sim.areas.push_back(addon);
    }
    // One add-on carries an exclusion rectangle and a flattened field, as airport add-ons do.
    if (!names.isEmpty()) {
        Area &first = sim.areas.at(sim.areas.size() - std::size_t(names.size()));
        first.exclude = QStringLiteral("N47 30.00,W122 20.00,N47 25.00,W122 15.00,objects");
        first.flatten0 = QStringLiteral(
            "120,N47 30.00,W122 20.00,N47 30.00,W122 15.00,N47 25.00,W122 15.00,N47 25.00,W122 20.00");
    }

    Area lake{QStringLiteral("Z\u00fcrich Lakefront"), QStringLiteral("Addon Scenery\\Zurich Lakefront")};
    lake.active = true;
    sim.areas.push_back(lake);

    Area remote{QStringLiteral("Shared Network Scenery"), QString()};
    remote.remote = QStringLiteral("\\\\FILESERVER\\Scenery\\Shared");
    remote.folderExists = false;
    sim.areas.push_back(remote);
}

QStringList sceneryCfgLines(const Sim &sim)
{
    QStringList lines;
    lines << QStringLiteral("[General]");
    if (sim.writesRequired) {
        lines << QStringLiteral("Title=") + sim.worldTitle;
        lines << QStringLiteral("Description=") + sim.worldDescription;
    }
    lines << QStringLiteral("Cache_Size=50M") << QStringLiteral("Clean_on_Exit=TRUE") << QString();

    int number = 0;
    for (const Area &area : sim.areas) {
        ++number;
        lines << QStringLiteral("[Area.%1]").arg(number, 3, 10, QLatin1Char('0'));
        lines << QStringLiteral("Title=") + area.title;
        if (area.textureId)
            lines << QStringLiteral("Texture_ID=1");
        if (area.remote.isEmpty()) {
            lines << QStringLiteral("Local=") + area.local;
        } else {
            lines << QStringLiteral("Remote=") + area.remote;
            lines << QStringLiteral("Local=") + area.local;
        }
        lines << QStringLiteral("Layer=%1").arg(number);
        lines << QStringLiteral("Active=") + truth(area.active);
        if (sim.writesRequired)
            lines << QStringLiteral("Required=") + truth(area.required);
        if (!area.exclude.isEmpty())
            lines << QStringLiteral("Exclude=") + area.exclude;
        if (!area.flatten0.isEmpty())
            lines << QStringLiteral("Flatten.0=") + area.flatten0;
        lines << QString();
    }

    if (sim.hasCaches) {
        lines << QStringLiteral("[Cache.001]") << QStringLiteral("Title=Default Texture Cache")
              << QStringLiteral("Local=texture") << QStringLiteral("Remote=scenedb\\texture")
              << QStringLiteral("Active=TRUE") << QString();
        lines << QStringLiteral("[Cache.002]") << QStringLiteral("Title=Photo Texture Cache")
              << QStringLiteral("Local=texture\\photo") << QStringLiteral("Remote=scenedb\\photo")
              << QStringLiteral("Active=FALSE") << QString();
    }
    return lines;
}

// A short upper-case stem from the area's folder, the way scenery files tend to be named.
QString fileStem(const QString &folderName, int index)
{
    QString stem;
    for (const QChar c : folderName) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            stem.append(c.toUpper());
        if (stem.size() == 6)
            break;
    }
    return stem + QString::number(index);
}

void writeAreaFolders(Generator &gen, const Sim &sim)
{
    for (const Area &area : sim.areas) {
        if (!area.folderExists)
            continue;
        const QString folder = areaFolder(sim, area);
        const QString name = folder.mid(folder.lastIndexOf(Backslash) + 1);
        const int sceneryFiles = gen.bounded(1, 3);
        for (int i = 1; i <= sceneryFiles; ++i)
            gen.writeBytes(folder + QStringLiteral("\\scenery\\") + fileStem(name, i) +
                               QStringLiteral(".bgl"),
                           gen.bytes(QByteArrayLiteral("\x01\x02"), 2, 10));
        const int textureFiles = gen.bounded(1, 3);
        for (int i = 1; i <= textureFiles; ++i)
            gen.writeBytes(folder + QStringLiteral("\\texture\\") + fileStem(name, i) +
                               QStringLiteral(".bmp"),
                           gen.bytes(QByteArrayLiteral("BM"), 2, 10));
    }
}

void writeSimulator(Generator &gen, const Sim &sim)
{
    gen.makeFolder(sim.folder);
    gen.writeLines(sim.folder + QStringLiteral("\\Scenery.cfg"), sceneryCfgLines(sim));
    writeAreaFolders(gen, sim);

    // The simulator's global texture folder.
    for (const char *name : {"AIRPORT1", "CLOUD2", "RUNWAY3", "WATER4", "TREES5", "LIGHTS6"})
        gen.writeBytes(sim.folder + QStringLiteral("\\Texture\\") + QString::fromLatin1(name) +
                           QStringLiteral(".bmp"),
                       gen.bytes(QByteArrayLiteral("BM"), 4, 12));

    gen.writeLines(sim.folder + Backslash + sim.cfgName,
                   {QStringLiteral("[MAIN]"), QStringLiteral("User Objects=Airplane"), QString(),
                    QStringLiteral("[SIM]"), sim.situation, QString(), QStringLiteral("[DISPLAY]"),
                    QStringLiteral("TEXTURE_BILINEAR=1"), QStringLiteral("UPPER_FRAMERATE_LIMIT=30")});

    for (const QString &flight : sim.flights) {
        const QString path = sim.folder + Backslash + sim.flightFolder + Backslash + flight;
        if (flight.endsWith(QStringLiteral(".flt"), Qt::CaseInsensitive)) {
            const QString title = flight.left(flight.size() - 4);
            gen.writeLines(path, {QStringLiteral("[Main]"), QStringLiteral("Title=") + title,
                                  QStringLiteral("Description=A saved flight of the demo installation."),
                                  QString(), QStringLiteral("[SimVars.0]"),
                                  QStringLiteral("Altitude=%1").arg(gen.bounded(500, 9000))});
        } else {
            gen.writeBytes(path, gen.bytes(QByteArrayLiteral("WX"), 4, 8));
        }
    }
}

QByteArray regEscape(const QString &text)
{
    QString escaped = text;
    escaped.replace(Backslash, QStringLiteral("\\\\"));
    escaped.replace(QStringLiteral("\""), QStringLiteral("\\\""));
    return escaped.toLatin1();
}

// Wine's own registry file for the machine root: keys relative to HKEY_LOCAL_MACHINE.
QByteArray systemReg()
{
    struct Value
    {
        const char *key;
        QString name;
        QString text;
    };
    const Value values[] = {
        {"Software\\Microsoft\\Microsoft Games\\Flight Simulator\\7.0", QStringLiteral("path"),
         DemoInstallation::fs2000Folder()},
        {"Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0", QStringLiteral("EXE Path"),
         DemoInstallation::fs2002Folder()},
        {"Software\\Microsoft\\Windows\\CurrentVersion", QStringLiteral("ProgramFilesDir"),
         QStringLiteral("C:\\Program Files")},
    };
    QByteArray reg = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";
    for (const Value &value : values) {
        reg += "\n[" + regEscape(QString::fromLatin1(value.key)) + "] 1700000000\n#time=1da1c2b3d4e5f60\n";
        reg += "\"" + regEscape(value.name) + "\"=\"" + regEscape(value.text) + "\"\n";
    }
    return reg;
}

void writeZip(const QString &hostPath, const QList<QPair<QString, QByteArray>> &entries)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(hostPath).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw LmError::standard(LmError::PathFileAccess, hostPath);
    // A fixed entry time keeps the archive byte for byte the same from run to run.
    const time_t entryTime = 1034726400;
    for (const auto &[name, data] : entries) {
        zip_source_t *source = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, name.toUtf8().constData(), source,
                                                        ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                                         : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            zip_discard(archive);
            throw LmError::standard(LmError::PathFileAccess, hostPath);
        }
        zip_file_set_mtime(archive, zip_uint64_t(index), entryTime, 0);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw LmError::standard(LmError::PathFileAccess, hostPath);
    }
}

QStringList writeArchives(Generator &gen)
{
    struct Sample
    {
        const char *file;
        const char *stem;
    };
    const Sample samples[] = {{"misty_hollow_airfield.zip", "MISTYH"},
                              {"beacon_rock_heliport.zip", "BEACON"}};
    QStringList written;
    gen.makeFolder(DemoInstallation::downloadsFolder());
    for (const Sample &sample : samples) {
        const QString stem = QString::fromLatin1(sample.stem);
        // The buffers must outlive zip_close, which reads them.
        const QList<QPair<QString, QByteArray>> entries = {
            {QStringLiteral("scenery/") + stem + QStringLiteral(".bgl"),
             gen.bytes(QByteArrayLiteral("\x01\x02"), 8, 16)},
            {QStringLiteral("texture/") + stem + QStringLiteral(".bmp"),
             gen.bytes(QByteArrayLiteral("BM"), 8, 16)},
        };
        const QString path =
            DemoInstallation::downloadsFolder() + Backslash + QString::fromLatin1(sample.file);
        writeZip(gen.fs().toHost(path), entries);
        written << path;
    }

    const auto crlf = [](const QStringList &lines) {
        return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    };
    const auto write = [&](const char *file, const QList<QPair<QString, QByteArray>> &entries) {
        const QString path = DemoInstallation::downloadsFolder() + Backslash + QString::fromLatin1(file);
        writeZip(gen.fs().toHost(path), entries);
        written << path;
    };
    // Placed by its own file list, one texture of it into the simulator's global texture folder.
    const QByteArray list =
        crlf({QStringLiteral("[Lumivale V 1.5]"), QStringLiteral("Texture_ID=0"), QStringLiteral("Group="),
              QStringLiteral("ID="), QStringLiteral("GroupId=0"), QStringLiteral("Author=Harbour Works"),
              QStringLiteral("Comment=Demo with a file list"), QStringLiteral("FlySim=8"),
              QStringLiteral("SalesType=1"), QStringLiteral("Version=1.2"),
              QStringLiteral("Exclude=N47 10.0,E008 20.0,N47 05.0,E008 30.0"), QStringLiteral("[FileList]"),
              QStringLiteral("HARBOUR.BGL=MySceneryBase\\Scenery!C:\\Work\\Harbour\\Scenery\\HARBOUR.BGL"),
              QStringLiteral("HARBOUR.BMP=MySceneryBase\\Texture!C:\\Work\\Harbour\\Texture\\HARBOUR.BMP"),
              QStringLiteral("HBLIGHT.BMP=FSRoot\\Texture!C:\\Work\\Harbour\\Global\\HBLIGHT.BMP"),
              QStringLiteral("LumivaleFileList.db=MySceneryBase!C:\\Work\\Harbour\\LumivaleFileList.db")});
    const QByteArray harbourBgl = gen.bytes(QByteArrayLiteral("\x01\x02"), 8, 16);
    const QByteArray harbourBmp = gen.bytes(QByteArrayLiteral("BM"), 8, 16);
    const QByteArray harbourLight = gen.bytes(QByteArrayLiteral("BM"), 8, 16);
    write("harbour_lights_filelist.zip", {{QStringLiteral("LumivaleFileList.db"), list},
                                          {QStringLiteral("HARBOUR.BGL"), harbourBgl},
                                          {QStringLiteral("HARBOUR.BMP"), harbourBmp},
                                          {QStringLiteral("HBLIGHT.BMP"), harbourLight}});
    // Flat: every file placed by its name; the read-me carries the areas.
    const QByteArray readme = crlf({QStringLiteral("Pine Valley strip for FS2002"), QString(),
                                    QStringLiteral("  exclude = N46 30.0,W121 10.0,N46 25.0,W121 00.0"),
                                    QStringLiteral("FLATTEN.3=N46 28.0,W121 05.0,N46 27.0,W121 04.0,1200")});
    const QByteArray pineBgl = gen.bytes(QByteArrayLiteral("\x01\x02"), 8, 16);
    const QByteArray pineBmp = gen.bytes(QByteArrayLiteral("BM"), 8, 16);
    const QByteArray pineFlt = crlf({QStringLiteral("[Main]"), QStringLiteral("Title=Pine Valley approach")});
    const QByteArray pineWx = gen.bytes(QByteArrayLiteral("WX"), 8, 16);
    write("pine_valley_flat.zip", {{QStringLiteral("PINEV.BGL"), pineBgl},
                                   {QStringLiteral("PINEV.BMP"), pineBmp},
                                   {QStringLiteral("PINEV.FLT"), pineFlt},
                                   {QStringLiteral("PINEV.WX"), pineWx},
                                   {QStringLiteral("README.TXT"), readme}});
    // A zip file inside: extracted into a folder of its own name when sub-zips are asked for.
    const QString inner = DemoInstallation::downloadsFolder() + QStringLiteral("\\glacier_textures.zip");
    const QByteArray glacierBmp = gen.bytes(QByteArrayLiteral("BM"), 8, 16);
    writeZip(gen.fs().toHost(inner), {{QStringLiteral("Texture/GLACIER.BMP"), glacierBmp}});
    const QByteArray innerZip = gen.fs().readAll(inner);
    gen.fs().deleteFile(inner);
    const QByteArray glacierBgl = gen.bytes(QByteArrayLiteral("\x01\x02"), 8, 16);
    write("glacier_bundle_subzip.zip",
          {{QStringLiteral("GLACIER.BGL"), glacierBgl}, {QStringLiteral("glacier_textures.zip"), innerZip}});
    return written;
}

// The host side of the prefix: the folders and Wine's drive links. dosdevices/c: is relative as
// Wine creates it, so the prefix can be moved.
QString preparePrefix(const QString &targetHost)
{
    const QString prefix = QFileInfo(targetHost).absoluteFilePath();
    QDir dir(prefix);
    if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw LmError(
            LmError::FileAlreadyExists,
            QStringLiteral("The folder %1 is not empty; the demo is only created in a new or empty folder.")
                .arg(prefix));
    if (!QDir().mkpath(prefix) || !dir.mkpath(QStringLiteral("drive_c")) ||
        !dir.mkpath(QStringLiteral("dosdevices")) || !dir.mkpath(DemoInstallation::programFolderName()))
        throw LmError::standard(LmError::PathNotFound, prefix);
    const QDir devices(dir.filePath(QStringLiteral("dosdevices")));
    const QString linkC = devices.filePath(QStringLiteral("c:"));
    const QString linkZ = devices.filePath(QStringLiteral("z:"));
    if (!QFile::link(devices.relativeFilePath(dir.filePath(QStringLiteral("drive_c"))), linkC) ||
        !QFile::link(QDir::rootPath(), linkZ))
        throw LmError::standard(LmError::PathFileAccess, linkC);
    return prefix;
}

} // namespace

QString DemoInstallation::fs2002Folder()
{
    return QStringLiteral("C:\\Program Files\\Microsoft Games\\FS2002");
}

QString DemoInstallation::fs2000Folder()
{
    return QStringLiteral("C:\\FS2000");
}

QString DemoInstallation::downloadsFolder()
{
    return QStringLiteral("C:\\Downloads");
}

QString DemoInstallation::programFolderName()
{
    return QStringLiteral("lumivale-home");
}

DemoInstallation::Summary DemoInstallation::create(const QString &targetHost, int sceneries)
{
    const QString prefix = preparePrefix(targetHost);
    DriveMap drives;
    drives.setDrive(QLatin1Char('C'), QDir(prefix).filePath(QStringLiteral("drive_c")));
    FileSystem fs(drives);
    Generator gen(fs);

    Sim fs2002{fs2002Folder(),
               QStringLiteral("FS2002.cfg"),
               QStringLiteral("SITUATION=flights\\myflts\\Demo Flight"),
               QStringLiteral("flights\\myflts"),
               {QStringLiteral("Demo Flight.FLT"), QStringLiteral("Demo Flight.WX"),
                QStringLiteral("Lakeside Circuit.FLT"), QStringLiteral("Harbor Point Approach.flt")},
               true,
               true,
               QStringLiteral("FS2002 World"),
               QStringLiteral("FS2002 Scenery Data"),
               {}};
    addDefaultAreas(gen, fs2002, 5, 10, 6);
    Area global{QStringLiteral("Global, Generic & Vehicle Libraries"), QStringLiteral("Scenery\\Global")};
    global.required = true;
    fs2002.areas.push_back(global);
    addAddonAreas(gen, fs2002, 8, 2);
    Area archive{QStringLiteral("Misty Fjords"), QStringLiteral("C:\\Scenery Archive\\Misty Fjords")};
    fs2002.areas.push_back(archive);
    Area addonRoot{QStringLiteral("Addon Scenery"), QStringLiteral("Addon Scenery")};
    fs2002.areas.push_back(addonRoot);

    Sim fs2000{fs2000Folder(),
               QStringLiteral("FS2000.cfg"),
               QStringLiteral("SITUATION=Pilots\\Demo Flight"),
               QStringLiteral("PILOTS"),
               {QStringLiteral("Demo Flight.FLT"), QStringLiteral("Morning Patrol.FLT")},
               false,
               false,
               QString(),
               QString(),
               {}};
    addDefaultAreas(gen, fs2000, 4, 6, 3);
    addAddonAreas(gen, fs2000, 5, 1);

    writeSimulator(gen, fs2002);
    writeSimulator(gen, fs2000);

    Summary summary;
    summary.winePrefixHost = prefix;
    summary.programFolderHost = QDir(prefix).filePath(programFolderName());
    summary.fs2002Areas = int(fs2002.areas.size());
    summary.fs2000Areas = int(fs2000.areas.size());
    summary.archives = writeArchives(gen);
    writeFileAtomically(QDir(prefix).filePath(QStringLiteral("system.reg")), systemReg());
    if (sceneries > 0) {
        OrderedMap<SceneryPtr> colScenery;
        OrderedMap<LevelPtr> dicLevel;
        OrderedMap<CfgPtr> dicCFGs;
        const LibraryRecords records(colScenery, dicLevel, dicCFGs);
        Tree tree;
        GeneratorOptions options;
        options.sceneries = sceneries;
        LibraryGenerator::build(records, tree, options);
        const QDir home(summary.programFolderHost);
        writeFileAtomically(home.filePath(QStringLiteral("Lumivale.db5")),
                            LibraryGenerator::sceneryFile(records, tree));
        writeFileAtomically(home.filePath(QStringLiteral("Level.db")),
                            LibraryGenerator::levelFile(records, tree));
        writeFileAtomically(home.filePath(QStringLiteral("CFGSet.db")), LibraryGenerator::setFile(records));
        LibraryGenerator::createSceneryFolders(fs, records);
        summary.librarySceneries = int(colScenery.count());
    }
    return summary;
}
