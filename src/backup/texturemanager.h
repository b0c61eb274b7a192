#pragma once

#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>
#include <QStringList>

#include <functional>

// The simulator's global texture folder, "Texture" below its installation folder, which many
// sceneries share and overwrite, and the zip backups of it in the texture backup root. A texture
// backup holds the folder's files under their bare names, so it is restored by extracting it into
// the folder.
//
// Backing up, restoring and emptying show a progress window naming the file they are at, with a
// Cancel that stops them before the next file. Each operation tells the user what it met (a
// failure through the program-wide error message, under "TextureManager." and the operation) and
// returns how it ended: Done; Refused with nothing changed; Stopped when the user said No or cancelled; Failed with the error, what
// was done before staying done.
class TextureManager
{
public:
    // simFolder: the installation folder of the simulator worked on, Windows form.
    TextureManager(AppContext &context, const QString &simFolder);

    // Simulator folder + "\Texture".
    const QString &textureFolder() const { return m_textureFolder; }
    // "BackupTexturePath", else the program folder + "\TextureBackups\"; ends in "\". Created, with
    // its missing parents, when it does not exist.
    QString backupRoot() const;
    // The names of the files in the backup root: the texture backups.
    QStringList backups() const;
    // The file a typed name becomes: made safe as a file name, ".zip" added unless it ends so.
    static QString backupFileName(QString typed);

    // Asks for a name and zips every file directly in the texture folder into a new backup.
    // Stopped without a name or when cancelled (no archive is left); Refused when a backup of
    // that name exists or the folder holds no files.
    Outcome makeBackup();
    // Extracts each backup, in the order given, into the texture folder, replacing what is there,
    // after asking. Names are entries of the backup root; anything else fails before any change.
    Outcome installBackups(const QStringList &names);
    // Deletes each backup without asking.
    Outcome deleteBackups(const QStringList &names);
    // Deletes every file directly in the texture folder, read-only ones too, after asking; when no
    // texture backup exists it first offers to make one, and emptying waits for that backup.
    Outcome emptyFolder();

    AppContext &context() const { return m_context; }

private:
    Outcome run(const QString &procedure, const std::function<Outcome()> &operation);
    Outcome doMakeBackup();
    Outcome doInstallBackups(const QStringList &names);
    Outcome doDeleteBackups(const QStringList &names);
    Outcome doEmptyFolder();
    QStringList textureFiles() const;

    AppContext &m_context;
    QString m_textureFolder;
};
