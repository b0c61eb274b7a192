// The details panel: showing the selected scenery, its fields writing into the record, the area
// fields and their editors, the picture, the author completion and the folder choosers.

#include "windowfixture.h"

#include "areas/areadialogs.h"
#include "tree/librarytree.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString AlphaKey = u"SceneryNew\\Alpha"_s;
const QString ExcludeArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,OBJECTS"_s;
const QString FlattenArea =
    u"120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

// A library of this one scenery, titled Alpha unless given, shown in the panel.
frmScenery &show(WindowFixture &f, const SceneryFields &fields, const QString &title = u"Alpha"_s)
{
    frmScenery &form = f.load(Library().scenery(title, fields));
    f.select(u"SceneryNew\\"_s + title);
    return form;
}

enum class EditorButton { Ok, Cancel, Delete };

template<typename Editor> std::function<void(Editor &)> press(EditorButton button)
{
    return [button](Editor &editor) {
        if (button == EditorButton::Ok)
            editor.cmdOK_Click();
        else if (button == EditorButton::Cancel)
            editor.cmdCancel_Click();
        else
            editor.cmdDelete_Click();
    };
}
} // namespace

class TestDetailsPanel : public QObject
{
    Q_OBJECT

private slots:
    // The fields show what they can of the record; a value a list cannot show leaves it without a
    // selection, and showing writes nothing back.
    void fieldsShowTheRecord_data()
    {
        QTest::addColumn<SceneryFields>("record");
        QTest::addColumn<QString>("layer");
        QTest::addColumn<int>("salesType");
        QTest::addColumn<int>("groupId");
        QTest::addColumn<QList<bool>>("simBoxes");
        const QList<bool> none(6, false);
        QTest::newRow("layer 5, no sales type") << SceneryFields{.layer = 5} << u"005"_s << -1 << 0 << none;
        QTest::newRow("layer 1234, the last sales type and group, FS95")
            << SceneryFields{.flySim = 1, .groupId = 5, .layer = 1234, .salesType = 5} << u"234"_s << 4 << 5
            << QList<bool>{true, false, false, false, false, false};
        QTest::newRow("values no list holds")
            << SceneryFields{.groupId = 7, .layer = 12, .salesType = 9} << u"012"_s << -1 << -1 << none;
    }
    void fieldsShowTheRecord()
    {
        QFETCH(SceneryFields, record);
        QFETCH(QString, layer);
        QFETCH(int, salesType);
        QFETCH(int, groupId);
        QFETCH(QList<bool>, simBoxes);
        WindowFixture f;
        const DetailsPanel::Fields &fields = show(f, record).details().fields();
        QCOMPARE(fields.txtTitle, u"Alpha"_s);
        QCOMPARE(fields.txtLayer, layer);
        QCOMPARE(fields.cboSalesType, salesType);
        QCOMPARE(fields.txtGroupID, groupId);
        QCOMPARE(QList<bool>(fields.chkType.begin(), fields.chkType.end()), simBoxes);
        QVERIFY(sameScenery(f.scenery(AlphaKey), sceneryRecord(AlphaKey, u"Alpha"_s, record)));
    }

    // Each field writes into the shown record; without one shown, a field writes nowhere. A
    // texture ID that is no 16-bit number (a field emptied while typing) leaves the record's.
    void editsWriteIntoTheRecord()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Alpha"_s, {.flySim = 40, .isLocalPath = true}));
        const auto edit = [&form] {
            form.txtLocal_Change(u"There"_s);
            form.cboSalesType_Click(1);
            form.txtGroupID_Click(3);
            form.optLocalRemote_Click(1);
            form.chkType_Click(0, true);
            form.chkType_Click(5, false);
            form.txtTexture_ID_Change(u"123"_s);
            form.txtTexture_ID_Change(QString());
            form.txtTexture_ID_Change(u"70000"_s);
        };
        edit();
        QVERIFY(sameScenery(f.scenery(AlphaKey),
                            sceneryRecord(AlphaKey, u"Alpha"_s, {.flySim = 40, .isLocalPath = true})));
        f.select(AlphaKey);
        form.trvScenery_NodeClick(f.node(u"LevelNew"_s)); // a level leaves the panel as it is
        edit();
        const SceneryFields edited{.flySim = 9,
                                   .groupId = 3,
                                   .isLocalPath = false,
                                   .localPath = u"There"_s,
                                   .salesType = 2,
                                   .textureId = 123};
        QVERIFY(sameScenery(f.scenery(AlphaKey), sceneryRecord(AlphaKey, u"Alpha"_s, edited)));
        QCOMPARE(form.details().fields().txtTexture_ID, u"70000"_s);
    }

    // Showing a scenery leaves its node's colour; the Active box recolours the shown one.
    void activeBoxRecoloursTheNode()
    {
        WindowFixture f;
        frmScenery &form = f.load(Library().scenery(u"Off"_s).scenery(u"On"_s, {.active = true}));
        const TreeNode *off = f.node(u"SceneryNew\\Off"_s);
        const TreeNode *on = f.node(u"SceneryNew\\On"_s);
        f.select(u"SceneryNew\\Off"_s);
        QCOMPARE(off->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
        f.select(u"SceneryNew\\On"_s);
        QCOMPARE(on->foreColor(), NodeColor(rgb(100, 100, 255)));
        form.chkActive_Click(false);
        QCOMPARE(on->foreColor(), NodeColor(rgb(255, 100, 100)));
        QCOMPARE(off->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
        QVERIFY(!f.scenery(u"SceneryNew\\On"_s).Active);
    }

    // An area field takes what is typed; a text that is no area is kept and shown red. The tab's
    // marker shows whether the page holds anything.
    void areaFieldsTyped_data()
    {
        QTest::addColumn<QString>("exclude");
        QTest::addColumn<QString>("flatten");
        QTest::addColumn<bool>("excludeRed");
        QTest::addColumn<bool>("flattenRed");
        QTest::addColumn<DetailsPanel::TabImage>("marker");
        QTest::newRow("empty") << QString() << QString() << false << false << DetailsPanel::ImageEmpty;
        QTest::newRow("an area") << ExcludeArea << QString() << false << false << DetailsPanel::ImageFilled;
        QTest::newRow("no exclusion area")
            << u"N47 30.00,OBJECTS"_s << QString() << true << false << DetailsPanel::ImageFilled;
        QTest::newRow("no flattening area")
            << QString() << u"100000,N1 0,E1 0"_s << false << true << DetailsPanel::ImageFilled;
    }
    void areaFieldsTyped()
    {
        QFETCH(QString, exclude);
        QFETCH(QString, flatten);
        QFETCH(bool, excludeRed);
        QFETCH(bool, flattenRed);
        QFETCH(DetailsPanel::TabImage, marker);
        WindowFixture f;
        frmScenery &form = show(f, {});
        form.txtExclude_Change(exclude);
        form.txtFlatten_Change(3, flatten);
        QCOMPARE(form.details().fields().txtExcludeRed, excludeRed);
        QCOMPARE(form.details().fields().txtFlattenRed[3], flattenRed);
        QCOMPARE(form.details().tbsScenery().excFlatImage, int(marker));
        QCOMPARE(f.scenery(AlphaKey).Exclude, exclude);
        QCOMPARE(f.scenery(AlphaKey).Flatten(3), flatten);
    }

    // The "..." buttons open the editor on the field's text: OK stores what it made of it, Delete
    // empties the field, Cancel leaves it.
    void areaEditors_data()
    {
        QTest::addColumn<bool>("flattening"); // else the exclusion
        QTest::addColumn<EditorButton>("button");
        QTest::addColumn<QString>("field");
        const QString canonical = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects"_s;
        QTest::newRow("exclusion: OK") << false << EditorButton::Ok << canonical;
        QTest::newRow("exclusion: Cancel") << false << EditorButton::Cancel << ExcludeArea;
        QTest::newRow("exclusion: Delete") << false << EditorButton::Delete << QString();
        QTest::newRow("flattening: OK") << true << EditorButton::Ok << FlattenArea;
    }
    void areaEditors()
    {
        QFETCH(bool, flattening);
        QFETCH(EditorButton, button);
        QFETCH(QString, field);
        WindowFixture f;
        frmScenery &form = show(f, {});
        if (flattening) {
            form.txtFlatten_Change(2, FlattenArea);
            f.env.ui.expectForm<frmFlatten>(u"frmFlatten"_s, press<frmFlatten>(button));
            form.cmdFlatten_Click(2);
            QCOMPARE(f.scenery(AlphaKey).Flatten(2), field);
        } else {
            form.txtExclude_Change(ExcludeArea);
            f.env.ui.expectForm<frmExclude>(u"frmExclude"_s, press<frmExclude>(button));
            form.cmdExclude_Click();
            QCOMPARE(f.scenery(AlphaKey).Exclude, field);
        }
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.details().tbsScenery().excFlatImage,
                 int(field.isEmpty() ? DetailsPanel::ImageEmpty : DetailsPanel::ImageFilled));
    }

    // The editor's map gets every other scenery that has an area as the library holds it; the
    // shown scenery (drawn from the editor) and sceneries without areas are left out.
    void areaEditorsGetOtherAreas_data()
    {
        QTest::addColumn<bool>("flattening"); // else the exclusion
        QTest::newRow("exclusion") << false;
        QTest::newRow("flattening") << true;
    }
    void areaEditorsGetOtherAreas()
    {
        QFETCH(bool, flattening);
        WindowFixture f;
        frmScenery &form = f.load(Library()
                                      .scenery(u"Alpha"_s, {.exclude = ExcludeArea})
                                      .scenery(u"Beta"_s, {.exclude = ExcludeArea})
                                      .scenery(u"Gamma"_s, {.flatten = {{9, FlattenArea}}})
                                      .scenery(u"Delta"_s, {}));
        f.select(AlphaKey);
        QList<SceneryAreas> handed;
        const auto take = [&handed](AreaDialogLogic &editor) {
            handed = editor.otherAreas;
            editor.cmdCancel_Click();
        };
        if (flattening) {
            f.env.ui.expectForm<frmFlatten>(u"frmFlatten"_s, take);
            form.cmdFlatten_Click(0);
        } else {
            f.env.ui.expectForm<frmExclude>(u"frmExclude"_s, take);
            form.cmdExclude_Click();
        }
        QVERIFY(f.env.ui.allShown());
        QStringList keys;
        for (const SceneryAreas &areas : handed)
            keys.append(areas.key);
        keys.sort();
        QCOMPARE(keys, (QStringList{u"SceneryNew\\Beta"_s, u"SceneryNew\\Gamma"_s}));
        for (const SceneryAreas &areas : handed) {
            const clsScenery &stored = f.scenery(areas.key);
            QCOMPARE(areas.exclude, stored.Exclude);
            for (qint16 i = 0; i < clsScenery::FlattenCount; ++i)
                QCOMPARE(areas.flatten[std::size_t(i)], stored.Flatten(i));
        }
    }

    // The picture is looked for in the folder above a local path's "scenery" folder, a GIF before
    // a JPEG before a bitmap; the file list's tab is marked when the folder holds one.
    void pictureAndFileListShown_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<DetailsPanel::TabImage>("fileListMarker");
        QTest::newRow("none") << QStringList{u"x.bmp"_s} << QString() << DetailsPanel::ImageEmpty;
        QTest::newRow("GIF first") << QStringList{u"Scenery.bmp"_s, u"Scenery.gif"_s} << u"Scenery.gif"_s
                                   << DetailsPanel::ImageEmpty;
        QTest::newRow("JPEG before bitmap") << QStringList{u"Scenery.bmp"_s, u"Scenery.jpg"_s}
                                            << u"Scenery.jpg"_s << DetailsPanel::ImageEmpty;
        QTest::newRow("bitmap, file list") << QStringList{u"Scenery.bmp"_s, u"LumivaleFileList.db"_s}
                                           << u"Scenery.bmp"_s << DetailsPanel::ImageFilled;
    }
    void pictureAndFileListShown()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, picture);
        QFETCH(DetailsPanel::TabImage, fileListMarker);
        WindowFixture f;
        for (const QString &file : files)
            f.env.writeFile(u"C:\\Sceneries\\Rome\\"_s + file, "picture");
        frmScenery &form = show(f, {.localPath = u"C:\\Sceneries\\Rome\\Scenery"_s}, u"Rome"_s);
        QCOMPARE(form.details().fields().picture.section(u'\\', -1), picture);
        QCOMPARE(form.details().tbsScenery().fileListImage, int(fileListMarker));
    }

    // "Picture..." converts the chosen picture into "Scenery.bmp" in the folder above a "scenery"
    // folder; a chooser cancelled converts nothing, a picture that cannot be loaded is not shown.
    void pictureSavedInBaseFolder_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("target");
        QTest::newRow("scenery subfolder")
            << u"C:\\Sceneries\\Rome\\scenery"_s << true << u"C:\\Sceneries\\Rome\\Scenery.bmp"_s;
        QTest::newRow("relative") << u"Addon Scenery\\Rome"_s << true
                                  << u"C:\\FS2002\\Addon Scenery\\Rome\\Scenery.bmp"_s;
        QTest::newRow("cannot be loaded")
            << u"C:\\Sceneries\\Rome"_s << false << u"C:\\Sceneries\\Rome\\Scenery.bmp"_s;
    }
    void pictureSavedInBaseFolder()
    {
        QFETCH(QString, localPath);
        QFETCH(bool, loads);
        QFETCH(QString, target);
        const QString chosen = u"C:\\Pictures\\rome.jpg"_s;
        WindowFixture f;
        frmScenery &form = show(f, {.localPath = localPath}, u"Rome"_s);
        QList<std::pair<QString, QString>> conversions;
        form.details().setPictureConverter([&](const QString &from, const QString &to) {
            conversions.append({from, to});
            return loads;
        });
        f.env.ui.expectFile(std::nullopt, u"Select bmp/gif/jpg"_s);
        form.cmdFile_Click(2);
        QCOMPARE(conversions.size(), 0);
        f.env.ui.expectFile(chosen, u"Select bmp/gif/jpg"_s);
        form.cmdFile_Click(2);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(conversions, (QList<std::pair<QString, QString>>{{chosen, target}}));
        QCOMPARE(form.details().fields().picture, loads ? chosen : QString());
    }

    void pictureWantsALocalPath()
    {
        WindowFixture f;
        frmScenery &form = show(f, {}, u"Rome"_s);
        f.env.ui.expectMessage(u"Please define the local path before you set the picture."_s,
                               u"Can not assign picture"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        form.cmdFile_Click(2);
        QVERIFY(f.env.ui.allShown());
    }

    // A key released in the author field completes what stands before the caret from the authors
    // of the library, without regard to case; an arrow key only moves the caret.
    void authorCompletion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("author");
        QTest::newRow("other case") << u"jo"_s << 2 << Qt::Key_O << u"John Smith"_s;
        QTest::newRow("no author cuts") << u"Jxyz"_s << 2 << Qt::Key_X << u"Jx"_s;
        QTest::newRow("arrow key") << u"jo"_s << 2 << Qt::Key_Left << u"jo"_s;
        QTest::newRow("caret at the start") << u"zed"_s << 0 << Qt::Key_Home << u"zed"_s;
    }
    void authorCompletion()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(Qt::Key, key);
        QFETCH(QString, author);
        WindowFixture f;
        frmScenery &form = f.load(Library()
                                      .scenery(u"A"_s, {.author = u"John Smith"_s})
                                      .scenery(u"B"_s, {.author = u"Jane Doe"_s})
                                      .scenery(u"C"_s));
        f.select(u"SceneryNew\\C"_s);
        form.txtAuthor_Change(typed);
        form.txtAuthor_KeyUp(key, caret);
        QCOMPARE(form.details().fields().txtAuthor, author);
        QCOMPARE(form.details().fields().txtAuthorSelStart, caret);
        QCOMPARE(f.scenery(u"SceneryNew\\C"_s).Author, author);
    }

    // A scenery shown puts its title into the status text, with the size of its local folder:
    // kB up to 1024 kB, then MB cut to two decimals.
    void folderSizeInStatus_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<bool>("isLocalPath");
        QTest::addColumn<qint64>("bytes"); // -1: no folder
        QTest::addColumn<QString>("status");
        const QString folder = u"C:\\Sceneries\\Alpha"_s;
        QTest::newRow("1024 kB") << folder << true << qint64(1048576) << u"Alpha (1024 kB)"_s;
        QTest::newRow("1 MB") << folder << true << qint64(1048577) << u"Alpha (1 MB)"_s;
        QTest::newRow("cut, not rounded") << folder << true << qint64(3670015) << u"Alpha (3.49 MB)"_s;
        QTest::newRow("remote path used") << folder << false << qint64(1500) << u"Alpha"_s;
        QTest::newRow("missing folder") << u"C:\\Nowhere"_s << true << qint64(-1) << u"Alpha"_s;
        QTest::newRow("the simulator's own") << u"scenery"_s << true << qint64(1500) << u"Alpha"_s;
        QTest::newRow("no local path: not the simulator folder")
            << QString() << true << qint64(-1) << u"Alpha"_s;
    }
    void folderSizeInStatus()
    {
        QFETCH(QString, localPath);
        QFETCH(bool, isLocalPath);
        QFETCH(qint64, bytes);
        QFETCH(QString, status);
        WindowFixture f;
        if (bytes >= 0) {
            // Every file below the folder counts.
            const QString folder = localPath.contains(u':') ? localPath : f.simFolder();
            f.env.writeFile(folder + u"\\scenery\\a.bgl"_s, QByteArray(bytes / 2, 'x'));
            f.env.writeFile(folder + u"\\b.txt"_s, QByteArray(bytes - bytes / 2, 'y'));
        }
        show(f, {.isLocalPath = isLocalPath, .localPath = localPath});
        QCOMPARE(f.statusText(), status);
    }

    // The "..." buttons beside Local and Remote open a folder chooser in the field's folder; the
    // field takes the chosen folder with its closing "\".
    void folderButtons_data()
    {
        QTest::addColumn<int>("button"); // 0 Local, 1 Remote
        QTest::addColumn<QString>("storedLocal");
        QTest::addColumn<QString>("chosen"); // null: cancelled
        QTest::addColumn<QString>("startFolder");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        QTest::newRow("empty remote starts in the simulator folder")
            << 1 << u"C:\\Old"_s << u"E:\\Cd"_s << u"C:\\FS2002"_s << u"C:\\Old"_s << u"E:\\Cd\\"_s;
        QTest::newRow("drive root keeps its one backslash")
            << 0 << u"C:\\Old"_s << u"E:\\"_s << u"C:\\Old"_s << u"E:\\"_s << QString();
        QTest::newRow("cancelled") << 0 << u"C:\\Old"_s << QString() << u"C:\\Old"_s << u"C:\\Old"_s
                                   << QString();
    }
    void folderButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, storedLocal);
        QFETCH(QString, chosen);
        QFETCH(QString, startFolder);
        QFETCH(QString, local);
        QFETCH(QString, remote);
        WindowFixture f;
        frmScenery &form = show(f, {.localPath = storedLocal});
        f.env.ui.expectFolder(chosen.isNull() ? std::nullopt : std::optional(chosen), u"Select folder"_s);
        form.cmdFile_Click(button);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.env.ui.shown().last(), u"folder|Select folder|"_s + startFolder);
        QCOMPARE(f.scenery(AlphaKey).LocalPath, local);
        QCOMPARE(f.scenery(AlphaKey).RemotePath, remote);
        QCOMPARE(form.details().fields().txtLocal, local);
        QCOMPARE(form.details().fields().txtRemote, remote);
    }
};

QTEST_GUILESS_MAIN(TestDetailsPanel)
#include "tst_detailspanel.moc"
