#include "tst_frmscenery_fixture.h"

#include "areas/areadialogs.h"
#include "settings/programsettings.h"

#include <QSignalSpy>
#include <QTest>

using Fixture = MainWindowFixture;

Q_DECLARE_METATYPE(DriveInfo)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {
const QString ExclValid = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,OBJECTS"_s;
const QString FlatValid = QStringLiteral(
    "120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00");

QString stored(TestEnv &env, const QString &name, bool *exists = nullptr)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name, QString(), exists);
}

// A library of one scenery, shown in the details panel.
struct OneScenery
{
    explicit OneScenery(const Fixture::Scenery &s)
    {
        key = f.addScenery(s);
        f.addLevel(s.level, s.level.mid(5));
        f.addCfgArea(s.title);
    }
    frmScenery &show()
    {
        f.load();
        f.select(key);
        return *f.form;
    }
    clsScenery &record() const { return *f.manager->colScenery.item(key); }

    Fixture f;
    QString key;
};

Fixture::Scenery scenery(const QString &title, const QString &local = QString())
{
    Fixture::Scenery s;
    s.title = title;
    s.local = local;
    return s;
}
}

class TestFrmSceneryDetails : public QObject
{
    Q_OBJECT

private slots:
    // - Status text with the folder size

    void folderSizeInStatus_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("isLocal");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("status");
        const QString folder = u"C:\\Sceneries\\Alpha"_s;
        QTest::newRow("1024 kB") << folder << true << qint64(1048576) << u"Alpha (1024 kB)"_s;
        QTest::newRow("1 MB") << folder << true << qint64(1048577) << u"Alpha (1 MB)"_s;
        QTest::newRow("1.5 MB") << folder << true << qint64(1572864) << u"Alpha (1.5 MB)"_s;
        QTest::newRow("cut not rounded") << folder << true << qint64(3670015) << u"Alpha (3.49 MB)"_s;
        QTest::newRow("small") << folder << true << qint64(1500) << u"Alpha (1 kB)"_s;
        QTest::newRow("remote") << folder << false << qint64(1500) << u"Alpha"_s;
        QTest::newRow("missing folder") << u"C:\\Nowhere"_s << true << qint64(-1) << u"Alpha"_s;
        QTest::newRow("base scenery") << u"scenery"_s << true << qint64(1500) << u"Alpha"_s;
        QTest::newRow("no local path") << QString() << true << qint64(-1) << u"Alpha"_s;
    }

    void folderSizeInStatus()
    {
        QFETCH(QString, local);
        QFETCH(bool, isLocal);
        QFETCH(qint64, bytes);
        QFETCH(QString, status);
        Fixture::Scenery s = scenery(u"Alpha"_s, local);
        s.isLocal = isLocal;
        OneScenery one(s);
        if (bytes >= 0) {
            // Split over a subfolder: the size counts every file below.
            const QString folder = local.contains(QLatin1Char(':')) ? local : Fixture::simFolder(1);
            one.f.env.writeFile(folder + u"\\scenery\\a.bgl"_s, QByteArray(bytes / 2, 'x'));
            one.f.env.writeFile(folder + u"\\b.txt"_s, QByteArray(bytes - bytes / 2, 'y'));
        }
        frmScenery &form = one.show();
        QCOMPARE(form.stbStatus().panels[0], status);
    }

    // - Display forms

    void fieldDisplayForms_data()
    {
        QTest::addColumn<int>("layer");
        QTest::addColumn<int>("salesType");
        QTest::addColumn<int>("groupId");
        QTest::addColumn<QString>("txtLayer");
        QTest::addColumn<int>("cboSalesType");
        QTest::addColumn<int>("txtGroupID");
        QTest::newRow("layer 5, no sales type") << 5 << 0 << 0 << u"005"_s << -1 << 0;
        QTest::newRow("layer 1234, payware") << 1234 << 3 << 5 << u"234"_s << 2 << 5;
        QTest::newRow("shareware") << 0 << 5 << 2 << u"000"_s << 4 << 2;
        QTest::newRow("unknown values") << 12 << 9 << 7 << u"012"_s << -1 << -1;
    }

    void fieldDisplayForms()
    {
        QFETCH(int, layer);
        QFETCH(int, salesType);
        QFETCH(int, groupId);
        QFETCH(QString, txtLayer);
        QFETCH(int, cboSalesType);
        QFETCH(int, txtGroupID);
        Fixture::Scenery s = scenery(u"Alpha"_s);
        s.layer = qint16(layer);
        s.salesType = qint16(salesType);
        s.groupId = qint16(groupId);
        OneScenery one(s);
        frmScenery &form = one.show();
        QCOMPARE(form.details().txtLayer, txtLayer);
        QCOMPARE(form.details().cboSalesType, cboSalesType);
        QCOMPARE(form.details().txtGroupID, txtGroupID);
        QCOMPARE(form.details().txtTitle, u"Alpha"_s);
        // Showing writes back only what the fields can hold: values they cannot show stay.
        QCOMPARE(int(one.record().SalesType), salesType);
        QCOMPARE(int(one.record().GroupID), groupId);
        QCOMPARE(int(one.record().Layer), layer);
    }

    void simBoxesShowAndWriteFlySim()
    {
        Fixture::Scenery s = scenery(u"Alpha"_s);
        s.flySim = 40;
        OneScenery one(s);
        frmScenery &form = one.show();
        QCOMPARE(form.details().chkType, (std::array<bool, 6>{false, false, false, true, false, true}));
        QCOMPARE(int(one.record().FlySim), 40);
        form.chkType_Click(0, true);
        QCOMPARE(int(one.record().FlySim), 41);
        form.chkType_Click(5, false);
        QCOMPARE(int(one.record().FlySim), 9);
    }

    void fieldsWriteBack()
    {
        OneScenery one(scenery(u"Alpha"_s, u"Addon Scenery\\Alpha"_s));
        frmScenery &form = one.show();
        clsScenery &r = one.record();
        QCOMPARE(form.details().txtLocal, u"Addon Scenery\\Alpha"_s);
        QCOMPARE(form.details().optLocalRemote, 0);

        form.txtLocal_Change(u"D:\\Alpha"_s);
        form.txtRemote_Change(u"E:\\Alpha"_s);
        form.txtVersion_Change(u"2.1"_s);
        form.txtComment_Change(u"nice"_s);
        form.txtGroup_Change(u"7"_s);
        form.txtID_Change(u"id"_s);
        form.txtGroupID_Click(3);
        form.cboSalesType_Click(1);
        form.chkRequired_Click(true);
        form.optLocalRemote_Click(1);
        form.txtTexture_ID_Change(u"123"_s);
        QCOMPARE(r.LocalPath, u"D:\\Alpha"_s);
        QCOMPARE(r.RemotePath, u"E:\\Alpha"_s);
        QCOMPARE(r.Version, u"2.1"_s);
        QCOMPARE(r.Comment, u"nice"_s);
        QCOMPARE(r.Group, u"7"_s);
        QCOMPARE(r.ID, u"id"_s);
        QCOMPARE(int(r.GroupID), 3);
        QCOMPARE(int(r.SalesType), 2);
        QVERIFY(r.Required);
        QVERIFY(!r.IsLocalPath);
        QCOMPARE(int(r.Texture_ID), 123);
        // A field emptied while typing is no number: the record keeps the last one.
        form.txtTexture_ID_Change(QString());
        form.txtTexture_ID_Change(u"70000"_s);
        QCOMPARE(int(r.Texture_ID), 123);
        QCOMPARE(form.details().txtTexture_ID, u"70000"_s);
    }

    void handlersWithoutSceneryChangeNothing()
    {
        OneScenery one(scenery(u"Alpha"_s, u"Here"_s));
        one.f.load();
        frmScenery &form = *one.f.form;
        form.txtLocal_Change(u"There"_s);
        form.chkActive_Click(false);
        form.chkType_Click(2, true);
        form.txtExclude_Change(u"junk"_s);
        QCOMPARE(one.record().LocalPath, u"Here"_s);
        QVERIFY(one.record().Active);
        QCOMPARE(int(one.record().FlySim), 0);
        QVERIFY(one.record().Exclude.isEmpty());
        QVERIFY(!form.details().txtExcludeRed);
    }

    void activeBoxRecoloursNode()
    {
        Fixture f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        Fixture::Scenery on = scenery(u"On"_s);
        Fixture::Scenery off = scenery(u"Off"_s);
        off.active = false;
        f.addScenery(on);
        f.addScenery(off);
        f.addCfgArea(u"On"_s);
        frmScenery &form = f.load();
        TreeNode *onNode = f.node(u"SceneryNew\\On"_s);
        TreeNode *offNode = f.node(u"SceneryNew\\Off"_s);
        QCOMPARE(offNode->foreColor(), NodeColor(rgb(255, 60, 60)));

        // The box is still clear: showing an inactive scenery does not change it, nor the colour.
        f.select(u"SceneryNew\\Off"_s);
        QCOMPARE(offNode->foreColor(), NodeColor(rgb(255, 60, 60)));
        f.select(u"SceneryNew\\On"_s);
        QCOMPARE(onNode->foreColor(), NodeColor(rgb(100, 100, 255)));
        form.chkActive_Click(false);
        QVERIFY(!f.manager->colScenery.item(u"SceneryNew\\On"_s)->Active);
        QCOMPARE(onNode->foreColor(), NodeColor(rgb(255, 100, 100)));
    }

    void levelNodeLeavesPanel()
    {
        OneScenery one(scenery(u"Alpha"_s));
        frmScenery &form = one.show();
        form.trvScenery_NodeClick(one.f.node(u"LevelNew"_s));
        QCOMPARE(form.displayedScenery()->Title, u"Alpha"_s);
        QCOMPARE(form.details().txtTitle, u"Alpha"_s);
    }

    // - Exclude / Flatten

    void excludeFlattenMarks_data()
    {
        QTest::addColumn<QString>("exclude");
        QTest::addColumn<QString>("flatten3");
        QTest::addColumn<bool>("excludeRed");
        QTest::addColumn<bool>("flattenRed");
        QTest::addColumn<int>("image");
        QTest::newRow("empty") << QString() << QString() << false << false << 27;
        QTest::newRow("valid exclude") << ExclValid << QString() << false << false << 28;
        QTest::newRow("wrong exclude") << u"N47 30.00,OBJECTS"_s << QString() << true << false << 28;
        QTest::newRow("wrong flatten") << QString() << u"100000,N1 0,E1 0"_s << false << true << 28;
    }

    void excludeFlattenMarks()
    {
        QFETCH(QString, exclude);
        QFETCH(QString, flatten3);
        QFETCH(bool, excludeRed);
        QFETCH(bool, flattenRed);
        QFETCH(int, image);
        OneScenery one(scenery(u"Alpha"_s));
        frmScenery &form = one.show();
        QCOMPARE(form.tbsScenery().excFlatImage, 27);
        form.txtExclude_Change(exclude);
        form.txtFlatten_Change(3, flatten3);
        QCOMPARE(form.details().txtExcludeRed, excludeRed);
        QCOMPARE(form.details().txtFlattenRed[3], flattenRed);
        QCOMPARE(form.tbsScenery().excFlatImage, image);
        // Wrong text is stored all the same.
        QCOMPARE(one.record().Exclude, exclude);
        QCOMPARE(one.record().Flatten(3), flatten3);
    }

    void areaEditorsSetFields_data()
    {
        QTest::addColumn<int>("button");  // -1 Exclude, else the Flatten position
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        QTest::newRow("exclude delete") << -1 << u"delete"_s << QString();
        QTest::newRow("exclude cancel") << -1 << u"cancel"_s << ExclValid;
        QTest::newRow("exclude ok") << -1 << u"ok"_s
                                    << u"N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects"_s;
        QTest::newRow("flatten delete") << 2 << u"delete"_s << QString();
        QTest::newRow("flatten cancel") << 2 << u"cancel"_s << FlatValid;
        QTest::newRow("flatten ok") << 2 << u"ok"_s << FlatValid;
    }

    void areaEditorsSetFields()
    {
        QFETCH(int, button);
        QFETCH(QString, action);
        QFETCH(QString, result);
        Fixture::Scenery s = scenery(u"Alpha"_s);
        s.exclude = ExclValid;
        OneScenery one(s);
        frmScenery &form = one.show();
        if (button >= 0)
            form.txtFlatten_Change(button, FlatValid);

        auto act = [action](auto &dialog) {
            if (action == u"delete"_s)
                dialog.cmdDelete_Click();
            else if (action == u"cancel"_s)
                dialog.cmdCancel_Click();
            else
                dialog.cmdOK_Click();
        };
        if (button < 0) {
            one.f.env.ui.expectForm<frmExclude>(u"frmExclude"_s, std::function<void(frmExclude &)>(act));
            form.cmdExclude_Click();
            QCOMPARE(one.record().Exclude, result);
            QCOMPARE(form.details().txtExclude, result);
        } else {
            one.f.env.ui.expectForm<frmFlatten>(u"frmFlatten"_s, std::function<void(frmFlatten &)>(act));
            form.cmdFlatten_Click(button);
            QCOMPARE(one.record().Flatten(qint16(button)), result);
        }
        QVERIFY(one.f.env.ui.allShown());
    }

    // - Picture

    void pictureShownFromFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("shown");
        const QString folder = u"C:\\Sceneries\\Rome\\"_s;
        QTest::newRow("none") << QStringList{u"x.bmp"_s} << QString();
        QTest::newRow("gif first") << QStringList{u"Scenery.bmp"_s, u"Scenery.gif"_s}
                                   << folder + u"Scenery.gif"_s;
        QTest::newRow("jpg before bmp") << QStringList{u"Scenery.bmp"_s, u"Scenery.jpg"_s}
                                        << folder + u"Scenery.jpg"_s;
        QTest::newRow("bmp") << QStringList{u"Scenery.bmp"_s} << folder + u"Scenery.bmp"_s;
    }

    void pictureShownFromFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, shown);
        // The local path names the "scenery" subfolder; pictures live in the base folder.
        OneScenery one(scenery(u"Rome"_s, u"C:\\Sceneries\\Rome\\Scenery"_s));
        for (const QString &file : files)
            one.f.env.writeFile(u"C:\\Sceneries\\Rome\\"_s + file, "pic");
        frmScenery &form = one.show();
        QCOMPARE(form.details().picture.toLower(), shown.toLower());
    }

    void pictureSavedInBaseFolder_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("loads");
        QTest::newRow("scenery subfolder") << u"C:\\Sceneries\\Rome\\scenery"_s
                                           << u"C:\\Sceneries\\Rome\\Scenery.bmp"_s << true;
        QTest::newRow("base folder") << u"C:\\Sceneries\\Rome\\"_s << u"C:\\Sceneries\\Rome\\Scenery.bmp"_s
                                     << true;
        QTest::newRow("relative") << u"Addon Scenery\\Rome"_s
                                  << u"C:\\FS2002\\Addon Scenery\\Rome\\Scenery.bmp"_s << true;
        QTest::newRow("cannot load") << u"C:\\Sceneries\\Rome"_s << u"C:\\Sceneries\\Rome\\Scenery.bmp"_s
                                     << false;
    }

    void pictureSavedInBaseFolder()
    {
        QFETCH(QString, local);
        QFETCH(QString, target);
        QFETCH(bool, loads);
        OneScenery one(scenery(u"Rome"_s, local));
        frmScenery &form = one.show();
        QStringList calls;
        form.setPictureConverter([&](const QString &source, const QString &targetWin) {
            calls << source << targetWin;
            return loads;
        });
        const QString chosen = u"C:\\Pictures\\rome.jpg"_s;
        one.f.env.ui.expectFile(chosen, u"Select bmp/gif/jpg"_s);
        form.cmdFile_Click(2);
        QCOMPARE(calls, (QStringList{chosen, target}));
        QCOMPARE(form.details().picture, loads ? chosen : QString());

        // Cancel ends the command before anything is converted.
        one.f.env.ui.expectFile(std::nullopt, u"Select bmp/gif/jpg"_s);
        form.cmdFile_Click(2);
        QCOMPARE(calls.size(), 2);
        QVERIFY(one.f.env.ui.allShown());
    }

    void pictureNeedsLocalPath()
    {
        OneScenery one(scenery(u"Rome"_s));
        frmScenery &form = one.show();
        form.setPictureConverter([](const QString &, const QString &) {
            QTest::qFail("converted without a local path", __FILE__, __LINE__);
            return false;
        });
        one.f.env.ui.expectMessage(u"Please define the local path before you set the picture."_s,
                                   u"Can not assign picture"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        form.cmdFile_Click(2);
        QVERIFY(one.f.env.ui.allShown());
    }

    void folderChooser_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        const QString oldLocal = u"C:\\Old"_s;
        QTest::newRow("local") << 0 << std::optional<QString>(u"D:\\New\\Place\\Folder"_s)
                               << u"D:\\New\\Place\\"_s << QString();
        QTest::newRow("remote") << 1 << std::optional<QString>(u"E:\\Cd\\Folder"_s) << oldLocal
                                << u"E:\\Cd\\"_s;
        QTest::newRow("bare Folder") << 0 << std::optional<QString>(u"Folder"_s) << oldLocal << QString();
        QTest::newRow("cancel") << 0 << std::optional<QString>() << oldLocal << QString();
    }

    void folderChooser()
    {
        QFETCH(int, button);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, local);
        QFETCH(QString, remote);
        OneScenery one(scenery(u"Rome"_s, u"C:\\Old"_s));
        frmScenery &form = one.show();
        one.f.env.ui.expectFile(answer, u"Select folder"_s);
        form.cmdFile_Click(button);
        QCOMPARE(one.record().LocalPath, local);
        QCOMPARE(one.record().RemotePath, remote);
        QCOMPARE(form.details().txtLocal, local);
        QVERIFY(one.f.env.ui.allShown());
    }

    void fileListMarker()
    {
        Fixture f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        f.addScenery(scenery(u"Listed"_s, u"C:\\S\\Listed\\scenery"_s));
        f.addScenery(scenery(u"Plain"_s, u"C:\\S\\Plain"_s));
        f.addCfgArea(u"Plain"_s);
        f.env.writeFile(u"C:\\S\\Listed\\LumivaleFileList.db"_s, "x");
        f.env.writeFile(u"C:\\S\\Plain\\x.bgl"_s, "x");
        frmScenery &form = f.load();
        QSignalSpy tabs(&form, &frmScenery::tabsChanged);
        f.select(u"SceneryNew\\Listed"_s);
        QCOMPARE(form.tbsScenery().fileListImage, 28);
        f.select(u"SceneryNew\\Plain"_s);
        QCOMPARE(form.tbsScenery().fileListImage, 27);
        QVERIFY(tabs.count() >= 2);
        form.tbsScenery_Click(frmScenery::TabExcFlat);
        QCOMPARE(form.tbsScenery().selected, int(frmScenery::TabExcFlat));
    }

    // - Author completion

    void authorCompletion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("newCaret");
        QTest::newRow("other case") << u"jo"_s << 2 << 79 << u"John Smith"_s << 2;
        QTest::newRow("second entry") << u"JA"_s << 2 << 65 << u"Jane Doe"_s << 2;
        QTest::newRow("follows the caret") << u"John Smith"_s << 2 << 8 << u"John Smith"_s << 2;
        QTest::newRow("no match cuts") << u"Jxyz"_s << 2 << 88 << u"Jx"_s << 2;
        QTest::newRow("arrow key") << u"jo"_s << 2 << 37 << u"jo"_s << 2;
        QTest::newRow("caret at start") << u"zed"_s << 0 << 36 << u"zed"_s << 0;
    }

    void authorCompletion()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(int, keyCode);
        QFETCH(QString, text);
        QFETCH(int, newCaret);
        Fixture f;
        f.addLevel(u"LevelNew"_s, u"New"_s);
        Fixture::Scenery a = scenery(u"A"_s);
        a.author = u"John Smith"_s;
        Fixture::Scenery b = scenery(u"B"_s);
        b.author = u"Jane Doe"_s;
        f.addScenery(a);
        f.addScenery(b);
        f.addScenery(scenery(u"C"_s));
        f.addCfgArea(u"A"_s);
        frmScenery &form = f.load();
        QCOMPARE(form.authorList(), (QStringList{u"John Smith"_s, u"Jane Doe"_s}));
        f.select(u"SceneryNew\\C"_s);

        form.txtAuthor_Change(typed);
        form.txtAuthor_KeyUp(keyCode, caret);
        QCOMPARE(form.details().txtAuthor, text);
        QCOMPARE(form.details().txtAuthorSelStart, newCaret);
        QCOMPARE(f.manager->colScenery.item(u"SceneryNew\\C"_s)->Author, text);
    }

    // - Layout

    void resize_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("state");
        QTest::addColumn<double>("newWidth");
        QTest::addColumn<double>("newHeight");
        QTest::addColumn<bool>("laidOut");
        QTest::addColumn<bool>("saved");
        QTest::newRow("too low") << 12000.0 << 6000.0 << 0 << 12000.0 << 7765.0 << false << false;
        QTest::newRow("too narrow") << 9000.0 << 8000.0 << 0 << 11010.0 << 8000.0 << false << false;
        QTest::newRow("normal") << 13000.0 << 9000.0 << 0 << 13000.0 << 9000.0 << true << true;
        QTest::newRow("maximised") << 13000.0 << 9000.0 << 2 << 13000.0 << 9000.0 << true << false;
        QTest::newRow("minimised") << 2000.0 << 500.0 << 1 << 2000.0 << 500.0 << false << false;
        QTest::newRow("design size") << 11000.0 << 7755.0 << 0 << 11000.0 << 7755.0 << true << true;
    }

    void resize()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, state);
        QFETCH(double, newWidth);
        QFETCH(double, newHeight);
        QFETCH(bool, laidOut);
        QFETCH(bool, saved);
        Fixture f;
        f.writeFiles(1);
        f.create();
        frmScenery &form = *f.form;
        form.setPlacement({width, height, 300, 200, state});
        QSignalSpy placement(&form, &frmScenery::placementChanged);
        const std::optional<frmScenery::Layout> layout = form.Form_Resize();
        QCOMPARE(layout.has_value(), laidOut);
        QCOMPARE(form.placement().width, newWidth);
        QCOMPARE(form.placement().height, newHeight);
        QCOMPARE(placement.count(), (newWidth != width || newHeight != height) ? 1 : 0);
        bool exists = false;
        stored(f.env, u"Form.Width"_s, &exists);
        QCOMPARE(exists, saved);
        if (saved) {
            QCOMPARE(stored(f.env, u"Form.Width"_s), QString::number(width));
            QCOMPARE(stored(f.env, u"Form.Height"_s), QString::number(height));
            QCOMPARE(stored(f.env, u"Form.Left"_s), u"300"_s);
            QCOMPARE(stored(f.env, u"Form.Top"_s), u"200"_s);
            QCOMPARE(stored(f.env, u"Form.WindowState"_s), u"0"_s);
        }
        if (laidOut && width == 13000.0) {
            QCOMPARE(layout->trvSceneryWidth, 6815);
            QCOMPARE(layout->tbsSceneryHeight, 7000);
            QCOMPARE(layout->framesLeft, 6965);
        }
    }

    void readSize()
    {
        Fixture f;
        f.writeFiles(1);
        auto write = [&](const QString &name, const QString &value) {
            f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, name, value);
        };
        write(u"Form.Width"_s, u"abc"_s);
        write(u"Form.Height"_s, u"9000.4"_s);
        write(u"Form.Left"_s, u"120"_s);
        write(u"Form.WindowState"_s, u"2"_s);
        f.create();
        frmScenery &form = *f.form;
        QSignalSpy placement(&form, &frmScenery::placementChanged);
        form.ReadSize();
        QCOMPARE(form.placement().width, frmScenery::DesignWidth);
        QCOMPARE(form.placement().height, 9000.0);
        QCOMPARE(form.placement().left, 120.0);
        QCOMPARE(form.placement().top, 0.0);
        QCOMPARE(form.placement().windowState, 2);
        QCOMPARE(placement.count(), 1);
    }

    void freeSpaceWalksFixedDisks_data()
    {
        QTest::addColumn<QList<DriveInfo>>("drives");
        QTest::addColumn<QStringList>("labels");
        const qint64 mb = 1024 * 1024;
        const DriveInfo a{QLatin1Char('A'), false, true, 10 * mb};
        const DriveInfo c{QLatin1Char('C'), true, true, 5000 * mb + mb - 1};
        const DriveInfo d{QLatin1Char('D'), true, true, 42 * mb};
        const DriveInfo e{QLatin1Char('E'), true, false, 0};
        QTest::newRow("A C D") << QList<DriveInfo>{a, c, d}
                               << QStringList{u"Free space on C: 5000 MB"_s, u"Free space on D: 42 MB"_s,
                                              u"Free space on C: 5000 MB"_s};
        // A fixed disk that is not ready leaves the label as it was.
        QTest::newRow("not ready") << QList<DriveInfo>{d, e}
                                   << QStringList{u"Free space on D: 42 MB"_s, u"Free space on D: 42 MB"_s,
                                                  u"Free space on D: 42 MB"_s};
        QTest::newRow("no fixed disk") << QList<DriveInfo>{a} << QStringList{QString(), QString()};
        QTest::newRow("no drives") << QList<DriveInfo>{} << QStringList{QString()};
    }

    void freeSpaceWalksFixedDisks()
    {
        QFETCH(QList<DriveInfo>, drives);
        QFETCH(QStringList, labels);
        Fixture f;
        f.writeFiles(1);
        f.create();
        frmScenery &form = *f.form;
        form.setDriveSource([drives] { return drives; });
        for (const QString &label : labels) {
            form.tmrFreeSpace_Timer();
            QCOMPARE(form.lblFreeSpace(), label);
        }
    }
};

QTEST_GUILESS_MAIN(TestFrmSceneryDetails)
#include "tst_frmscenery_details.moc"
