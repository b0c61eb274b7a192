#pragma once

#include "install/filelistfile.h"
#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class SceneryManager;
class Tree;

// One file entry of an archive as the content list shows it: its name and its folder path inside
// the archive ("Scenery\" or "" at the top).
struct ContentRow
{
    QString fileName;
    QString folderPath;

    bool operator==(const ContentRow &) const = default;
};
using ContentList = QList<ContentRow>;

// The three ways a scenery comes into the library.
enum class InstallWay : int { Installed = 0, SourceFolder = 1, Archive = 2 };
// How an archive's files are placed.
enum class ArchiveMode : int { Automatic = 0, WinzipPath = 1, FileList = 2 };

// Everything an installation takes, as the add-scenery dialog collects it.
struct InstallRequest
{
    QString title;
    InstallWay way = InstallWay::Installed;
    QString sceneryPath; // the installed scenery's folder
    QString source;      // the source folder, or the zip file
    QString destination; // the new scenery folder
    ArchiveMode archiveMode = ArchiveMode::Automatic;
    bool subZips = false; // automatic distribution only: extract the zip files it places
    ContentList content;  // the archive's entries, in list order
    QString sceneryPatterns;
    QString texturePatterns;
};

// A file the installation placed: where it was taken from and where it went (Windows form).
struct PlacedFile
{
    QString from;
    QString to;
};

// Brings a scenery into the library: registers an installed folder, copies a source folder's
// files into a new scenery folder, or extracts a zip file into one, placing each file by its name
// (scenery files into "Scenery", textures into "Texture", flights and weather into the simulator's
// flight folder) or by the file list that travels with the scenery. The new record is made but not
// added to the library; addInstalledScenery does that.
//
// What it will not do silently: a file list that places files outside the scenery folder (into
// the simulator folder or at an absolute path) is listed and the user asked once before anything
// is extracted; ".." parts, drive letters and entries that would leave their folder are refused
// and reported; replacing existing files is asked once; an archive that does not fit on the
// destination's disk and a title the library holds already are refused before any file is
// touched.
class SceneryInstaller
{
public:
    SceneryInstaller(AppContext &context, SceneryManager &manager);

    // Told the file being worked on, before each file.
    std::function<void(const QString &)> progress;
    // Asked between files; true stops the installation, leaving the files placed so far.
    std::function<bool()> cancelRequested;

    // Done with the new record in record(); Refused (title taken, no space) with nothing touched;
    // Stopped when cancelled; Failed with the error that ended it (what was placed stays). The
    // refusals and the "Path error." and missing archive messages have been shown; a Failed
    // outcome's error is the caller's to report.
    Outcome install(const InstallRequest &request);

    // What the last installation made and did.
    SceneryPtr record() const { return m_record; }
    const QList<PlacedFile> &files() const { return m_files; }
    const QStringList &skipped() const { return m_skipped; } // kept, existing or not installed
    const QStringList &refused() const { return m_refused; } // entries that would leave their folder

    // Creates the destination with its "Scenery" and "Texture" subfolders; false (after the
    // program-wide error message) when a folder cannot be made.
    bool BuildDestFolder(QString destination, QString source);
    // The folder, ending in "\", a file of this name goes to.
    QString GetMoveToFolder(const QString &destination, const QString &fileName,
                            const QString &sceneryPatterns, const QString &texturePatterns) const;
    // A file list Destination resolved for a file: the full file path.
    QString GetMoveToFromFL(const QString &destination, const QString &fileName,
                            const QString &installFolder) const;
    // A new record as the installation makes it: key "SceneryNew\" + title, active, local path.
    static SceneryPtr AddExistingScenery(const QString &title, const QString &path);
    // A scenery folder named by its "scenery" subfolder gives the scenery's own folder; the
    // result ends in "\" (or ":").
    static QString NormalisePath(const QString &path);

    // Whether a file name matches a pattern, both in upper case: "*" any run of characters, "?"
    // any one, "#" any digit, "[...]" any one listed ("[A-C]" a range, "[!...]" any other).
    static bool matchesPattern(const QString &name, const QString &pattern);
    // Reads Exclude and Flatten values from the ".TXT" files directly in the record's folder.
    void scanTextFiles(clsScenery &record) const;

    // The file entries of an archive, in archive order.
    static ContentList listContent(const FileSystem &fs, const QString &archive);
    // The archive mode the dialog preselects for a content list.
    static ArchiveMode preselectedMode(const ContentList &content);
    // Whether the library holds a scenery of this title ("\" read as "/"), compared exactly.
    static bool titleTaken(const SceneryManager &manager, const QString &title);

private:
    struct Cancelled
    {
    };

    Outcome run(const InstallRequest &request);
    void installFromFolder(const InstallRequest &request);
    void installFromArchive(const InstallRequest &request, const QString &destination);
    void placeByName(const InstallRequest &request, const QString &extracted, const QString &destination);
    void placeByFileList(const InstallRequest &request, const QString &extracted, const QString &destination,
                         const FileListReader &list, bool outsideAllowed);
    void extract(const QString &archive, const QString &folder);
    // Moves or copies a file onto target, asking once whether existing files are replaced. False
    // when the file was not there (a move) or was kept.
    bool place(const QString &from, const QString &to, bool copy);
    void step(const QString &file);
    QString simulatorFolder() const;

    AppContext &m_context;
    SceneryManager &m_manager;
    SceneryPtr m_record;
    QList<PlacedFile> m_files;
    QStringList m_skipped;
    QStringList m_refused;
    std::optional<bool> m_replace; // the answer to the replace question, once asked
};

// Where a file list Destination leads: into the scenery folder, the simulator folder, an absolute
// path, or nowhere the installation may write.
enum class DestinationKind { SceneryFolder, SimulatorFolder, Absolute, Refused };
DestinationKind destinationKind(const QString &destination, const QString &fileName);

// Adds a new record to the library under its key and shows it as the last scenery of the level
// "New" (made when missing), yellow with blue text. A local path inside the simulator folder is
// stored relative to it.
void addInstalledScenery(SceneryManager &manager, Tree &tree, const SceneryPtr &record);
