// The "File list" page: the displayed scenery's file list read when the page is up, made new from
// the scenery's folder, and changed entry by entry through "Add a file to the file list", each
// change written to the file at once.

#include "windowfixture.h"

#include "app/frmaddfile.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Start::Command;

namespace {
const QString Area = u"SceneryNew\\Area"_s;
const QString Folder = u"C:\\FS2002\\Addon Scenery\\Area"_s;
const QString ListFile = Folder + u"\\LumivaleFileList.db"_s;
const QString Ready = u"Ready."_s;

// The record's ten field lines as a list of Area writes them, between the header and "[FileList]".
QStringList fieldLines()
{
    return {u"[Lumivale V 1.5]"_s, u"Texture_ID=3"_s, u"Group="_s,    u"ID="_s,
            u"GroupId=0"_s,        u"Author=Jo"_s,    u"Comment="_s,  u"FlySim=8"_s,
            u"SalesType=2"_s,      u"Version=1.1"_s,  u"[FileList]"_s};
}

// The window on a library of the one scenery Area, whose folder is made when asked; the "File
// list" page is up when shown.
frmScenery &load(WindowFixture &f, const QString &localPath = u"Addon Scenery\\Area"_s, bool shown = true)
{
    frmScenery &form = f.load(Library().scenery(u"Area"_s, {.author = u"Jo"_s,
                                                            .flySim = 8,
                                                            .localPath = localPath,
                                                            .salesType = 2,
                                                            .textureId = 3,
                                                            .version = u"1.1"_s}));
    f.select(Area);
    if (shown)
        form.tbsScenery_Click(DetailsPanel::TabFileList);
    return form;
}

void writeList(WindowFixture &f, const QStringList &entryLines)
{
    f.env.writeFile(ListFile, windowsText(fieldLines() + entryLines));
}

QStringList entryTexts(const FileList &entries)
{
    QStringList texts;
    for (const FileListEntry &e : entries)
        texts << e.File + u'|' + e.Destination + u'|' + e.Source;
    return texts;
}

using Buttons = FileListPanel::Buttons;

// What the user does in "Add a file to the file list".
struct DialogAct
{
    QString file = {};
    int root = 0;
    QString destination = {};
    QString source = {};
    bool confirmed = true;
};

void expectDialog(WindowFixture &f, const DialogAct &act)
{
    f.env.ui.expectForm<frmAddFile>(u"frmAddFile"_s, [act](frmAddFile &dialog) {
        dialog.txtFile = act.file;
        dialog.cboRoot = act.root;
        dialog.txtDestination = act.destination;
        dialog.txtSource = act.source;
        if (act.confirmed)
            dialog.cmdOk_Click();
        else
            dialog.cmdCancel_Click();
    });
}

} // namespace

Q_DECLARE_METATYPE(DialogAct)

class TestFileList : public QObject
{
    Q_OBJECT

private slots:
    // A new list names every file below the folder, each subfolder's before the folder's own, itself
    // among them, and is written byte for byte as the file format is.
    void createNamesEveryFile()
    {
        WindowFixture f;
        f.env.writeFile(Folder + u"\\Scenery\\AREA.BGL"_s, "bgl");
        f.env.writeFile(Folder + u"\\Texture\\Deep\\A.BMP"_s, "bmp");
        f.env.writeFile(Folder + u"\\Readme.txt"_s, "txt");
        frmScenery &form = load(f);
        QCOMPARE(form.details().tbsScenery().fileListImage, int(DetailsPanel::ImageEmpty));
        form.runCommand(Command::CreateNewFileList);
        const QStringList entryLines{
            u"AREA.BGL=MySceneryBase\\Scenery!"_s + Folder + u"\\Scenery\\AREA.BGL"_s,
            u"A.BMP=MySceneryBase\\Texture\\Deep!"_s + Folder + u"\\Texture\\Deep\\A.BMP"_s,
            u"LumivaleFileList.db=MySceneryBase!"_s + ListFile,
            u"Readme.txt=MySceneryBase!"_s + Folder + u"\\Readme.txt"_s};
        QCOMPARE(f.env.readFile(ListFile), windowsText(fieldLines() + entryLines));
        QCOMPARE(form.fileList().lvwFileList().size(), entryLines.size());
        QCOMPARE(form.details().tbsScenery().fileListImage, int(DetailsPanel::ImageFilled));
        QCOMPARE(f.statusText(), Ready);
        QVERIFY(!f.env.ui.busy());
    }

    // Without a folder to list nothing is written, and the user is told why.
    void createRefused_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<QString>("message");
        QTest::newRow("no local path") << QString() << u"Please choose a local path first."_s;
        QTest::newRow("no folder") << u"Addon Scenery\\Gone"_s
                                   << u"The folder C:\\FS2002\\Addon Scenery\\Gone does not exist."_s;
    }
    void createRefused()
    {
        QFETCH(QString, localPath);
        QFETCH(QString, message);
        WindowFixture f;
        frmScenery &form = load(f, localPath);
        f.env.ui.expectMessage(message, u"Can not create new file list"_s);
        form.mnuCreateInfoFile_Click();
        QVERIFY(f.env.ui.allShown());
        QVERIFY(form.fileList().lvwFileList().isEmpty());
        QCOMPARE(form.details().tbsScenery().fileListImage, int(DetailsPanel::ImageEmpty));
        QCOMPARE(f.statusText(), Ready);
    }

    // Entries are the lines after the first "[FileList]", split at the first "=" and then the first
    // "!"; a line without them ends the reading with the failure message, the entries before it kept.
    void read_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("failed");
        QTest::newRow("split at the first \"=\" and \"!\"")
            << QStringList{u"[Lumivale V 1.5]"_s, u"A=B.BGL=MySceneryBase!x!C:\\y"_s, u"[FileList]"_s,
                           u"A=B.BGL=MySceneryBase!x!C:\\y"_s}
            << QStringList{u"A|B.BGL=MySceneryBase|x!C:\\y"_s} << false;
        QTest::newRow("no \"[FileList]\"")
            << QStringList{u"A.BGL=MySceneryBase!C:\\A.BGL"_s} << QStringList() << false;
        QTest::newRow("a line without \"!\"")
            << QStringList{u"[FileList]"_s, u"A.BGL=MySceneryBase!C:\\A.BGL"_s, u"B.BGL=MySceneryBase"_s,
                           u"C.BGL=MySceneryBase!C:\\C.BGL"_s}
            << QStringList{u"A.BGL|MySceneryBase|C:\\A.BGL"_s} << true;
    }
    void read()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, entries);
        QFETCH(bool, failed);
        WindowFixture f;
        f.env.writeFile(ListFile, windowsText(lines));
        frmScenery &form = load(f, u"Addon Scenery\\Area"_s, false);
        if (failed)
            f.env.ui.expectMessageStartingWith(u".readFileList"_s, u"Lumivale"_s);
        QVERIFY(form.fileList().lvwFileList().isEmpty()); // read when the page comes up
        form.tbsScenery_Click(DetailsPanel::TabFileList);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(entryTexts(form.fileList().lvwFileList()), entries);
    }

    // Add appends the entry the dialog describes, Edit replaces the selected one; both write the file.
    // An empty File changes nothing; one of blanks is stored as it is.
    void addAndEdit_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<DialogAct>("act");
        QTest::addColumn<QStringList>("entryLines");
        const QString a = u"A.BGL=MySceneryBase\\Scenery!C:\\Made\\A.BGL"_s;
        QTest::newRow("add below FSRoot")
            << false
            << DialogAct{.file = u"B.BMP"_s, .root = 1, .destination = u"Texture"_s, .source = u"C:\\B.BMP"_s}
            << QStringList{a, u"B.BMP=FSRoot\\Texture!C:\\B.BMP"_s};
        QTest::newRow("add cancelled")
            << false << DialogAct{.file = u"B.BMP"_s, .confirmed = false} << QStringList{a};
        QTest::newRow("edit to an absolute path")
            << true
            << DialogAct{.file = u"A.BGL"_s, .root = 2, .destination = u"D:\\X"_s, .source = u"C:\\A.BGL"_s}
            << QStringList{u"A.BGL=AbsolutePath\\D:\\X!C:\\A.BGL"_s};
        QTest::newRow("edit to the scenery folder")
            << true << DialogAct{.file = u"A.BGL"_s, .source = u"C:\\A.BGL"_s}
            << QStringList{u"A.BGL=MySceneryBase!C:\\A.BGL"_s};
        QTest::newRow("edit to blanks") << true << DialogAct{.file = u"  "_s, .destination = u"S"_s}
                                        << QStringList{u"  =MySceneryBase\\S!"_s};
        QTest::newRow("edit to no file") << true << DialogAct{.destination = u"S"_s} << QStringList{a};
    }
    void addAndEdit()
    {
        QFETCH(bool, edit);
        QFETCH(DialogAct, act);
        QFETCH(QStringList, entryLines);
        WindowFixture f;
        writeList(f, {u"A.BGL=MySceneryBase\\Scenery!C:\\Made\\A.BGL"_s});
        frmScenery &form = load(f);
        expectDialog(f, act);
        if (edit) {
            form.lvwFileList_Click(0);
            form.cmdEditFile_Click();
        } else {
            form.cmdAddFile_Click();
        }
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.readFile(ListFile), windowsText(fieldLines() + entryLines));
    }

    // The first entry added to a folder without a list makes the list, and the tab marks it.
    void addMakesTheList()
    {
        WindowFixture f;
        f.env.writeFile(Folder + u"\\AREA.BGL"_s, "bgl");
        frmScenery &form = load(f);
        QCOMPARE(form.details().tbsScenery().fileListImage, int(DetailsPanel::ImageEmpty));
        expectDialog(f, DialogAct{.file = u"AREA.BGL"_s, .source = u"C:\\AREA.BGL"_s});
        form.cmdAddFile_Click();
        QCOMPARE(f.env.readFile(ListFile),
                 windowsText(fieldLines() + QStringList{u"AREA.BGL=MySceneryBase!C:\\AREA.BGL"_s}));
        QCOMPARE(form.details().tbsScenery().fileListImage, int(DetailsPanel::ImageFilled));
    }

    // The dialog opens on the entry: its Destination split into root word and folder.
    void editSplitsTheDestination_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("confirmed"); // the Destination OK gives back
        QTest::newRow("MySceneryBase")
            << u"MySceneryBase\\Scenery"_s << 0 << u"Scenery"_s << u"MySceneryBase\\Scenery"_s;
        QTest::newRow("AbsolutePath")
            << u"AbsolutePath\\D:\\Maps"_s << 2 << u"D:\\Maps"_s << u"AbsolutePath\\D:\\Maps"_s;
        QTest::newRow("no root word")
            << u"Elsewhere\\Y"_s << 0 << u"Elsewhere\\Y"_s << u"MySceneryBase\\Elsewhere\\Y"_s;
    }
    void editSplitsTheDestination()
    {
        QFETCH(QString, destination);
        QFETCH(int, root);
        QFETCH(QString, folder);
        QFETCH(QString, confirmed);
        ScriptedUi ui;
        frmAddFile dialog(ui);
        dialog.setEntry({u"A.BGL"_s, destination, u"C:\\A.BGL"_s});
        QCOMPARE(dialog.cboRoot, root);
        QCOMPARE(dialog.txtDestination, folder);
        QCOMPARE(dialog.entry().Destination, confirmed);
    }

    // The browse button starts in the folder remembered under "FLAdd" and remembers the one chosen.
    void browse()
    {
        ScriptedUi ui;
        frmAddFile dialog(ui);
        QStringList asked;
        QString remembered;
        dialog.getDicPath = [&asked](const QString &key) {
            asked << key;
            return u"C:\\Before\\"_s;
        };
        dialog.setDicPath = [&remembered](const QString &key, const QString &folder) {
            remembered = key + u'=' + folder;
        };
        ui.expectFile(u"C:\\Maps\\Deep\\AREA.BGL"_s, u"Select File"_s);
        dialog.cmdBrowse_Click();
        QVERIFY(ui.allShown());
        QCOMPARE(asked, QStringList{u"FLAdd"_s});
        QCOMPARE(remembered, u"FLAdd=C:\\Maps\\Deep\\"_s);
        QCOMPARE(dialog.txtFile, u"AREA.BGL"_s);
        QCOMPARE(dialog.txtSource, u"C:\\Maps\\Deep\\AREA.BGL"_s);
    }

    // Remove takes the selected entry out of the file; Open hands its source to the program of its type.
    void removeAndOpen()
    {
        WindowFixture f;
        writeList(f, {u"A.BGL=MySceneryBase!C:\\A.BGL"_s, u"B.BGL=MySceneryBase!C:\\B.BGL"_s});
        frmScenery &form = load(f);
        QStringList opened;
        form.fileList().openFile = [&opened](const QString &path, const QString &name) {
            opened << path + u'|' + name;
            return true;
        };
        form.lvwFileList_Click(1);
        form.cmdOpen_Click();
        QCOMPARE(opened, QStringList{u"C:\\B.BGL|B.BGL"_s});
        form.cmdRemoveFile_Click();
        QCOMPARE(f.env.readFile(ListFile),
                 windowsText(fieldLines() + QStringList{u"A.BGL=MySceneryBase!C:\\A.BGL"_s}));
        QCOMPARE(form.fileList().selectedIndex(), -1);
    }

    // A button is enabled only while it can do its job: a change needs the folder to write to, Edit,
    // Remove and Open a selected entry.
    void buttons_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<bool>>("enabled"); // create, add, edit, remove, open
        const QString area = u"Addon Scenery\\Area"_s;
        QTest::newRow("no scenery shown")
            << area << false << -1 << QList<bool>{false, false, false, false, false};
        QTest::newRow("nothing selected")
            << area << true << -1 << QList<bool>{true, true, false, false, false};
        QTest::newRow("an entry selected") << area << true << 0 << QList<bool>{true, true, true, true, true};
        QTest::newRow("no folder") << u"Addon Scenery\\Gone"_s << true << -1
                                   << QList<bool>{true, false, false, false, false};
    }
    void buttons()
    {
        QFETCH(QString, localPath);
        QFETCH(bool, shown);
        QFETCH(int, selected);
        QFETCH(QList<bool>, enabled);
        WindowFixture f;
        writeList(f, {u"A.BGL=MySceneryBase!C:\\A.BGL"_s});
        frmScenery &form = load(f, localPath);
        if (!shown)
            form.details().clearDisplayedScenery();
        form.lvwFileList_Click(selected);
        const Buttons b = form.fileList().buttons();
        QCOMPARE((QList<bool>{b.create, b.add, b.edit, b.remove, b.open}), enabled);
    }
};

QTEST_GUILESS_MAIN(TestFileList)
#include "tst_filelist.moc"
