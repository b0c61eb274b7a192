// The global texture folder: backed up into zip files of bare file names, restored from them,
// emptied, and the backups deleted.

#include "backup/texturedialog.h"
#include "backup/texturemanager.h"
#include "platform/archive.h"
#include "platform/lmerror.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;

Q_DECLARE_METATYPE(UiPort::Answer)

namespace {

const QString Sim = u"C:\\FS2002"_s;
const QString Texture = Sim + u"\\Texture"_s;

// Flight Simulator 2002 whose texture folder holds a.bmp, b.r8 (read-only) and a subfolder with
// a file of its own.
struct Fixture
{
    Fixture()
    {
        env.installSim(1, Sim);
        env.writeFile(Texture + u"\\a.bmp"_s, "a now");
        env.writeFile(Texture + u"\\b.r8"_s, "b now");
        QFile::setPermissions(env.host(Texture + u"\\b.r8"_s), QFileDevice::ReadOwner);
        env.writeFile(Texture + u"\\Sub\\c.bmp"_s, "c now");
    }

    QString root() const { return env.programFolder() + u"\\TextureBackups\\"_s; }
    QStringList rootFiles() const
    {
        return QDir(env.host(root())).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    Files textureFiles() const { return filesBelow(env.host(Texture)); }
    // The entries of a backup, as stored.
    QStringList entries(const QString &name) const
    {
        Unzip unzip(env.fs);
        unzip.archive = root() + name;
        QStringList names;
        unzip.FileInfo = [&](const QString &file, const QString &folder) { names << folder + file; };
        unzip.listEntries();
        return names;
    }
    QStringList progressItems() const
    {
        QStringList items;
        for (const ScriptedUi::ProgressStep &step : env.ui.progressSteps())
            items << step.item;
        return items;
    }
    void expectName(const QString &name)
    {
        env.ui.expectInput(u"Insert the name of the backup:"_s, u"Backup"_s, name);
    }
    // A backup of the folder as it is now, under the name typed.
    void makeBackup(const QString &name)
    {
        expectName(name);
        QVERIFY(manager.makeBackup().isDone());
    }
    void expectUrgentWarning(Answer answer)
    {
        env.ui.expectMessage(u"Do you realy want to clean up your global texture folder?\n"
                             u"If you have no backup of the original files you should not do this."_s,
                             u"Urgent Warning"_s, answer, UiPort::Icon::Exclamation);
    }
    void expectError(const QString &procedure, qint32 number)
    {
        env.ui.expectMessageStartingWith(u"TextureManager.%1\nError: %2\n"_s.arg(procedure).arg(number),
                                         u"Lumivale"_s);
    }

    TestEnv env;
    TextureManager manager{env.context, Sim};
};

} // namespace

class TestTextures : public QObject
{
    Q_OBJECT

private slots:
    // The name typed becomes a file of the root, whatever it holds; the files directly in the
    // folder, read-only ones too, go in under their bare names, each shown as it is written.
    void makeBackup_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("file");
        QTest::newRow("extension in capitals") << u"tex.ZIP"_s << u"tex.ZIP"_s;
        QTest::newRow("climbing out") << u"..\\a/b"_s << u".._a_b.zip"_s;
    }

    void makeBackup()
    {
        QFETCH(QString, typed);
        QFETCH(QString, file);
        Fixture f;
        f.makeBackup(typed);
        QCOMPARE(f.rootFiles(), QStringList{file});
        QCOMPARE(f.entries(file), (QStringList{u"a.bmp"_s, u"b.r8"_s}));
        QCOMPARE(f.progressItems(), (QStringList{Texture + u"\\a.bmp"_s, Texture + u"\\b.r8"_s}));
        QVERIFY(!f.env.ui.progressOpen());
    }

    // Nothing is written over a backup of the same name, from an empty folder, or when the user
    // cancels: no half archive is left in the root.
    void noBackupMade_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("emptyFolder");
        QTest::addColumn<QString>("message");
        QTest::newRow("taken name") << u"Old"_s << false << u"The backup exists. Choose a different name."_s;
        QTest::newRow("empty folder")
            << u"New"_s << true << u"The global texture folder C:\\FS2002\\Texture holds no files."_s;
        QTest::newRow("cancel at the second file") << u"New"_s << false << QString();
    }

    void noBackupMade()
    {
        QFETCH(QString, typed);
        QFETCH(bool, emptyFolder);
        QFETCH(QString, message);
        Fixture f;
        f.env.writeFile(f.root() + u"Old.zip"_s, "kept");
        if (emptyFolder) {
            QFile::remove(f.env.host(Texture + u"\\a.bmp"_s));
            QFile::remove(f.env.host(Texture + u"\\b.r8"_s));
        }
        f.expectName(typed);
        if (message.isEmpty())
            f.env.ui.cancelProgressAt(2);
        else
            f.env.ui.expectMessage(message, u"Can not create backup"_s);
        QVERIFY(!f.manager.makeBackup().isDone());
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.rootFiles(), QStringList{u"Old.zip"_s});
        QCOMPARE(f.env.readFile(f.root() + u"Old.zip"_s), QByteArray("kept"));
    }

    // Checked backups are extracted in order into the folder, the later one winning; No changes
    // nothing, and a cancel stops before the next file, what was restored staying restored.
    void installBackups_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("cancelAt");
        QTest::addColumn<Files>("files");
        QTest::newRow("both, in order")
            << Answer::Yes << 0
            << Files{{u"a.bmp"_s, "a second"}, {u"b.r8"_s, "b now"}, {u"Sub/c.bmp"_s, "c now"}};
        QTest::newRow("No") << Answer::No << 0 << Files{{u"a.bmp"_s, "a edited"}, {u"Sub/c.bmp"_s, "c now"}};
        QTest::newRow("cancel at the second file")
            << Answer::Yes << 2 << Files{{u"a.bmp"_s, "a now"}, {u"Sub/c.bmp"_s, "c now"}};
    }

    void installBackups()
    {
        QFETCH(Answer, answer);
        QFETCH(int, cancelAt);
        QFETCH(Files, files);
        Fixture f;
        f.makeBackup(u"1 First"_s);
        QFile::setPermissions(f.env.host(Texture + u"\\b.r8"_s),
                              QFileDevice::WriteOwner | QFileDevice::ReadOwner);
        QFile::remove(f.env.host(Texture + u"\\b.r8"_s));
        f.env.writeFile(Texture + u"\\a.bmp"_s, "a second");
        f.makeBackup(u"2 Second"_s);
        f.env.writeFile(Texture + u"\\a.bmp"_s, "a edited");
        f.env.ui.expectMessage(u"Existing files will be overwriten. Do you want to proceed?"_s, u"Warning"_s,
                               answer, UiPort::Icon::Exclamation);
        if (cancelAt)
            f.env.ui.cancelProgressAt(cancelAt);
        QCOMPARE(f.manager.installBackups({u"1 First.zip"_s, u"2 Second.zip"_s}).isDone(), files.size() == 3);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(sameFiles(f.textureFiles(), files));
    }

    // Names come from the command line too: each must be a backup of the root, and one that is
    // not fails the whole action before anything is asked or changed.
    void namesStayInTheRoot_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint32>("error");
        QTest::newRow("restore from the program folder")
            << u"installBackups"_s << u"..\\Lumivale.db5"_s << qint32(LmError::BadFileName);
        QTest::newRow("delete a backup that is not there")
            << u"deleteBackups"_s << u"None.zip"_s << qint32(LmError::FileNotFound);
    }

    void namesStayInTheRoot()
    {
        QFETCH(QString, action);
        QFETCH(QString, name);
        QFETCH(qint32, error);
        Fixture f;
        f.makeBackup(u"Kept"_s);
        f.env.writeFile(f.env.programFolder() + u"\\Lumivale.db5"_s, "library");
        f.expectError(action, error);
        const QStringList names{u"Kept.zip"_s, name};
        const Outcome outcome =
            action == u"deleteBackups"_s ? f.manager.deleteBackups(names) : f.manager.installBackups(names);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(outcome.isFailed());
        QCOMPARE(f.rootFiles(), QStringList{u"Kept.zip"_s});
    }

    // Emptying deletes the files directly in the folder, read-only ones too, and leaves its
    // subfolders. Without any texture backup it offers one first, and a backup asked for that is
    // not made keeps the files; a cancel keeps the files not reached yet.
    void emptyFolder_data()
    {
        QTest::addColumn<bool>("backupExists");
        QTest::addColumn<Answer>("offer"); // Cancel: not offered
        QTest::addColumn<QString>("name"); // typed for the backup offered
        QTest::addColumn<int>("cancelAt");
        QTest::addColumn<QStringList>("left");
        const QStringList subfolderOnly{u"Sub/c.bmp"_s};
        const QStringList all{u"Sub/c.bmp"_s, u"a.bmp"_s, u"b.r8"_s}; // in code order
        QTest::newRow("with a backup") << true << Answer::Cancel << QString() << 0 << subfolderOnly;
        QTest::newRow("no backup, one made first")
            << false << Answer::Yes << u"First"_s << 0 << subfolderOnly;
        QTest::newRow("no backup, none wanted") << false << Answer::No << QString() << 0 << subfolderOnly;
        QTest::newRow("no backup, no name given") << false << Answer::Yes << QString() << 0 << all;
        QTest::newRow("cancel at the second file")
            << true << Answer::Cancel << QString() << 2 << QStringList{u"Sub/c.bmp"_s, u"b.r8"_s};
    }

    void emptyFolder()
    {
        QFETCH(bool, backupExists);
        QFETCH(Answer, offer);
        QFETCH(QString, name);
        QFETCH(int, cancelAt);
        QFETCH(QStringList, left);
        Fixture f;
        if (backupExists)
            f.env.writeFile(f.root() + u"Old.zip"_s, "zip");
        f.expectUrgentWarning(Answer::Yes);
        if (offer != Answer::Cancel) {
            f.env.ui.expectMessage(
                u"There is no backup of the global texture folder yet. Do you want to make one first?"_s,
                u"Empty global texture folder"_s, offer);
        }
        if (offer == Answer::Yes)
            f.expectName(name);
        if (cancelAt)
            f.env.ui.cancelProgressAt(cancelAt);
        f.manager.emptyFolder();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.textureFiles().keys(), left);
        if (!name.isEmpty())
            QCOMPARE(f.entries(name + u".zip"_s), (QStringList{u"a.bmp"_s, u"b.r8"_s}));
    }

    // The dialog lists the files of the root the setting names, none ticked, and reads them again
    // after each action; deleting asks nothing.
    void dialog()
    {
        Fixture f;
        f.env.settings->write(SettingsStore::Root::Machine, u"SOFTWARE\\Tarnwick\\Lumivale"_s,
                              u"BackupTexturePath"_s, u"C:\\Saved"_s);
        f.env.writeFile(u"C:\\Saved\\One.zip"_s, "PK");
        f.env.writeFile(u"C:\\Saved\\Two.zip"_s, "PK");
        GlobalTextureDialog dialog(f.manager);
        dialog.Form_Load();
        dialog.lstBackups_ItemCheck(1, true);
        dialog.cmdDelete_Click();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(dialog.lstBackups, QStringList{u"One.zip"_s});
        QCOMPARE(dialog.lstBackupsChecked, QList<bool>{false});
    }
};

QTEST_GUILESS_MAIN(TestTextures)
#include "tst_textures.moc"
