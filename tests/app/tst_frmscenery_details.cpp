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
const QString FlatValid = u"120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

// Loads a library of this one scenery (below "New") and shows it in the details panel.
frmScenery &show(Fixture &f, const Fixture::Scenery &s)
{
    f.describe(u"New"_s, s.title);
    const QString key = f.addScenery(s);
    f.load();
    f.select(key);
    return *f.form;
}
clsScenery &record(Fixture &f, const QString &title = u"Alpha"_s)
{
    return *f.manager->colScenery.item(u"SceneryNew\\"_s + title);
}
QString setting(TestEnv &env, const QString &name)
{
    return env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name, u"-"_s);
}
} // namespace

class TestFrmSceneryDetails : public QObject
{
    Q_OBJECT

private slots:
    void folderSizeInStatus_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("isLocal");
        QTest::addColumn<qint64>("bytes"); // -1: no folder written
        QTest::addColumn<QString>("status");
        const QString folder = u"C:\\Sceneries\\Alpha"_s;
        QTest::newRow("1024 kB") << folder << true << qint64(1048576) << "Alpha (1024 kB)";
        QTest::newRow("1 MB") << folder << true << qint64(1048577) << "Alpha (1 MB)";
        QTest::newRow("1.5 MB") << folder << true << qint64(1572864) << "Alpha (1.5 MB)";
        QTest::newRow("cut not rounded") << folder << true << qint64(3670015) << "Alpha (3.49 MB)";
        QTest::newRow("small") << folder << true << qint64(1500) << "Alpha (1 kB)";
        QTest::newRow("remote") << folder << false << qint64(1500) << "Alpha";
        QTest::newRow("missing folder") << "C:\\Nowhere" << true << qint64(-1) << "Alpha";
        QTest::newRow("base scenery") << "scenery" << true << qint64(1500) << "Alpha";
        QTest::newRow("no local path") << "" << true << qint64(-1) << "Alpha";
    }
    void folderSizeInStatus()
    {
        QFETCH(QString, local);
        QFETCH(bool, isLocal);
        QFETCH(qint64, bytes);
        QFETCH(QString, status);
        Fixture f;
        if (bytes >= 0) {
            // Split over a subfolder: the size counts every file below.
            const QString folder = local.contains(u':') ? local : Fixture::simFolder(1);
            f.env.writeFile(folder + u"\\scenery\\a.bgl"_s, QByteArray(bytes / 2, 'x'));
            f.env.writeFile(folder + u"\\b.txt"_s, QByteArray(bytes - bytes / 2, 'y'));
        }
        QCOMPARE(show(f, {.title = u"Alpha"_s, .local = local, .isLocal = isLocal}).stbStatus().panels[0], status);
    }

    void fieldDisplayForms_data()
    {
        QTest::addColumn<int>("layer");
        QTest::addColumn<int>("salesType");
        QTest::addColumn<int>("groupId");
        QTest::addColumn<int>("flySim");
        QTest::addColumn<QString>("shown"); // txtLayer, cboSalesType, txtGroupID, the sim boxes
        QTest::newRow("layer 5, no sales type") << 5 << 0 << 0 << 0 << "005 -1 0 000000";
        QTest::newRow("layer 1234, payware") << 1234 << 3 << 5 << 1 << "234 2 5 100000";
        QTest::newRow("shareware, FS2K2 and CFS2") << 0 << 5 << 2 << 40 << "000 4 2 000101";
        QTest::newRow("unknown values") << 12 << 9 << 7 << 0 << "012 -1 -1 000000";
    }
    void fieldDisplayForms()
    {
        QFETCH(int, layer);
        QFETCH(int, salesType);
        QFETCH(int, groupId);
        QFETCH(int, flySim);
        QFETCH(QString, shown);
        Fixture f;
        const frmScenery::SceneryDetails &d = show(f, {.title = u"Alpha"_s, .flySim = qint16(flySim), .layer = qint16(layer),
                                                       .salesType = qint16(salesType), .groupId = qint16(groupId)})
                                                  .details();
        QString boxes;
        for (bool b : d.chkType)
            boxes += QString::number(b);
        QCOMPARE(u"%1 %2 %3 "_s.arg(d.txtLayer).arg(d.cboSalesType).arg(d.txtGroupID) + boxes, shown);
        // Showing writes back only what the fields can hold: values they cannot show stay.
        const clsScenery &r = record(f);
        QCOMPARE(QList<int>({r.Layer, r.SalesType, r.GroupID, r.FlySim}), QList<int>({layer, salesType, groupId, flySim}));
    }

    void fieldsWriteBack()
    {
        Fixture f;
        f.describe(u"New"_s, u"Alpha"_s).addScenery({.title = u"Alpha"_s, .local = u"Here"_s, .flySim = 40});
        frmScenery &form = f.load();
        const clsScenery &r = record(f);
        const auto fields = [&] {
            return u"%1 %2 %3 %4 %5 %6 %7"_s.arg(r.LocalPath).arg(r.Active).arg(r.SalesType).arg(r.GroupID)
                .arg(r.IsLocalPath).arg(r.FlySim).arg(r.Texture_ID);
        };
        const QString before = fields();
        const auto edit = [&] {
            form.txtLocal_Change(u"There"_s);
            form.cboSalesType_Click(1);
            form.txtGroupID_Click(3);
            form.optLocalRemote_Click(1);
            form.chkType_Click(0, true);
            form.chkType_Click(5, false);
            form.txtTexture_ID_Change(u"123"_s);
            // A field emptied while typing, or out of range, is no number: the record keeps the last one.
            form.txtTexture_ID_Change(QString());
            form.txtTexture_ID_Change(u"70000"_s);
        };
        edit(); // without a displayed scenery nothing changes
        QCOMPARE(fields(), before);
        f.select(u"SceneryNew\\Alpha"_s);
        form.trvScenery_NodeClick(f.node(u"LevelNew"_s)); // a level leaves the panel as it was
        QCOMPARE(form.displayedScenery()->Title + u' ' + QString::number(form.details().optLocalRemote), u"Alpha 0"_s);
        edit();
        QCOMPARE(fields(), u"There 1 2 3 0 9 123"_s);
        QCOMPARE(form.details().txtTexture_ID, u"70000"_s);
    }

    void activeBoxRecoloursNode()
    {
        Fixture f;
        f.describe(u"New"_s, u"On"_s).addScenery({.title = u"Off"_s, .active = false});
        f.addScenery({.title = u"On"_s});
        frmScenery &form = f.load();
        QStringList colours;
        for (const QString &key : {u"SceneryNew\\Off"_s, u"SceneryNew\\On"_s, QString()}) {
            // Showing an inactive scenery leaves the clear box and the colour; the box recolours.
            if (key.isEmpty())
                form.chkActive_Click(false);
            else
                f.select(key);
            for (const QString &node : {u"SceneryNew\\Off"_s, u"SceneryNew\\On"_s})
                colours << QString::number(f.node(node)->foreColor().value_or(0), 16);
        }
        QCOMPARE(colours.join(u' '), u"ff3c3c 3c3cff ff3c3c 6464ff ff3c3c ff6464"_s);
        QVERIFY(!record(f, u"On"_s).Active);
    }

    void excludeFlattenMarks_data()
    {
        QTest::addColumn<QString>("exclude");
        QTest::addColumn<QString>("flatten3");
        QTest::addColumn<QString>("marks"); // Exclude red, Flatten 3 red, the tab's image
        QTest::newRow("empty") << "" << "" << "0 0 27";
        QTest::newRow("valid exclude") << ExclValid << "" << "0 0 28";
        QTest::newRow("wrong exclude") << "N47 30.00,OBJECTS" << "" << "1 0 28";
        QTest::newRow("wrong flatten") << "" << "100000,N1 0,E1 0" << "0 1 28";
    }
    void excludeFlattenMarks()
    {
        QFETCH(QString, exclude);
        QFETCH(QString, flatten3);
        QFETCH(QString, marks);
        Fixture f;
        frmScenery &form = show(f, {.title = u"Alpha"_s});
        QCOMPARE(form.tbsScenery().excFlatImage, 27);
        form.txtExclude_Change(exclude);
        form.txtFlatten_Change(3, flatten3);
        const frmScenery::SceneryDetails &d = form.details();
        QCOMPARE(u"%1 %2 %3"_s.arg(d.txtExcludeRed).arg(d.txtFlattenRed[3]).arg(form.tbsScenery().excFlatImage), marks);
        // Wrong text is stored all the same.
        QCOMPARE(record(f).Exclude + u'|' + record(f).Flatten(3), exclude + u'|' + flatten3);
    }

    void areaEditorsSetFields_data()
    {
        QTest::addColumn<int>("button"); // -1 Exclude, else the Flatten position
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result");
        QTest::newRow("exclude delete") << -1 << "delete" << "";
        QTest::newRow("exclude cancel") << -1 << "cancel" << ExclValid;
        QTest::newRow("exclude ok") << -1 << "ok" << "N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects";
        QTest::newRow("flatten delete") << 2 << "delete" << "";
        QTest::newRow("flatten ok") << 2 << "ok" << FlatValid;
    }
    void areaEditorsSetFields()
    {
        QFETCH(int, button);
        QFETCH(QString, action);
        QFETCH(QString, result);
        Fixture f;
        frmScenery &form = show(f, {.title = u"Alpha"_s, .exclude = ExclValid});
        auto act = [action](auto &dialog) {
            if (action == u"delete"_s)
                dialog.cmdDelete_Click();
            else if (action == u"cancel"_s)
                dialog.cmdCancel_Click();
            else
                dialog.cmdOK_Click();
        };
        if (button < 0) {
            f.env.ui.expectForm<frmExclude>(u"frmExclude"_s, std::function<void(frmExclude &)>(act));
            form.cmdExclude_Click();
            QCOMPARE(record(f).Exclude + u'|' + form.details().txtExclude, result + u'|' + result);
        } else {
            form.txtFlatten_Change(button, FlatValid);
            f.env.ui.expectForm<frmFlatten>(u"frmFlatten"_s, std::function<void(frmFlatten &)>(act));
            form.cmdFlatten_Click(button);
            QCOMPARE(record(f).Flatten(qint16(button)), result);
        }
        QVERIFY(f.env.ui.allShown());
    }

    void picturesAndFileListShown_data()
    {
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("shown"); // the picture, the file list tab's image
        QTest::newRow("none") << "x.bmp" << "|27";
        QTest::newRow("gif first") << "Scenery.bmp,Scenery.gif" << "scenery.gif|27";
        QTest::newRow("jpg before bmp") << "Scenery.bmp,Scenery.jpg" << "scenery.jpg|27";
        QTest::newRow("bmp, file list") << "Scenery.bmp,LumivaleFileList.db" << "scenery.bmp|28";
    }
    void picturesAndFileListShown()
    {
        QFETCH(QString, files);
        QFETCH(QString, shown);
        Fixture f;
        // The local path names the "scenery" subfolder; both are looked for in the base folder.
        for (const QString &file : files.split(u','))
            f.env.writeFile(u"C:\\Sceneries\\Rome\\"_s + file, "pic");
        frmScenery &form = show(f, {.title = u"Rome"_s, .local = u"C:\\Sceneries\\Rome\\Scenery"_s});
        QCOMPARE(form.details().picture.section(u'\\', -1).toLower() + u'|' + QString::number(form.tbsScenery().fileListImage),
                 shown);
    }

    void pictureSavedInBaseFolder_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("target"); // "": refused for want of a local path
        const QString rome = u"C:\\Sceneries\\Rome\\Scenery.bmp"_s;
        QTest::newRow("scenery subfolder") << "C:\\Sceneries\\Rome\\scenery" << true << rome;
        QTest::newRow("base folder") << "C:\\Sceneries\\Rome\\" << true << rome;
        QTest::newRow("relative") << "Addon Scenery\\Rome" << true << "C:\\FS2002\\Addon Scenery\\Rome\\Scenery.bmp";
        QTest::newRow("cannot load") << "C:\\Sceneries\\Rome" << false << rome;
        QTest::newRow("no local path") << "" << true << "";
    }
    void pictureSavedInBaseFolder()
    {
        QFETCH(QString, local);
        QFETCH(bool, loads);
        QFETCH(QString, target);
        Fixture f;
        frmScenery &form = show(f, {.title = u"Rome"_s, .local = local});
        QStringList calls;
        form.setPictureConverter([&](const QString &source, const QString &targetWin) {
            calls << source << targetWin;
            return loads;
        });
        const QString chosen = u"C:\\Pictures\\rome.jpg"_s;
        if (target.isEmpty())
            f.env.ui.expectMessage(u"Please define the local path before you set the picture."_s,
                                   u"Can not assign picture"_s, UiPort::Answer::Ok, UiPort::Icon::Information);
        else // cancelled first: nothing is converted
            f.env.ui.expectFile(std::nullopt, u"Select bmp/gif/jpg"_s).expectFile(chosen, u"Select bmp/gif/jpg"_s);
        for (int i = target.isEmpty() ? 1 : 0; i < 2; ++i)
            form.cmdFile_Click(2);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(calls.join(u'|'), target.isEmpty() ? QString() : chosen + u'|' + target);
        QCOMPARE(form.details().picture, loads && !target.isEmpty() ? chosen : QString());
    }

    void folderChooser_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<QString>("paths"); // local and remote path afterwards
        QTest::newRow("local") << 0 << std::optional<QString>(u"D:\\New\\Place\\Folder"_s) << "D:\\New\\Place\\|";
        QTest::newRow("remote") << 1 << std::optional<QString>(u"E:\\Cd\\Folder"_s) << "C:\\Old|E:\\Cd\\";
        QTest::newRow("bare Folder") << 0 << std::optional<QString>(u"Folder"_s) << "C:\\Old|";
        QTest::newRow("cancel") << 0 << std::optional<QString>() << "C:\\Old|";
    }
    void folderChooser()
    {
        QFETCH(int, button);
        QFETCH(std::optional<QString>, answer);
        QFETCH(QString, paths);
        Fixture f;
        frmScenery &form = show(f, {.title = u"Alpha"_s, .local = u"C:\\Old"_s});
        f.env.ui.expectFile(answer, u"Select folder"_s);
        form.cmdFile_Click(button);
        QCOMPARE(record(f).LocalPath + u'|' + record(f).RemotePath, paths);
        QCOMPARE(form.details().txtLocal, record(f).LocalPath);
        QVERIFY(f.env.ui.allShown());
    }

    void authorCompletion_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("text");
        QTest::newRow("other case") << "jo" << 2 << 79 << "John Smith";
        QTest::newRow("second entry") << "JA" << 2 << 65 << "Jane Doe";
        QTest::newRow("follows the caret") << "John Smith" << 2 << 8 << "John Smith";
        QTest::newRow("no match cuts") << "Jxyz" << 2 << 88 << "Jx";
        QTest::newRow("arrow key") << "jo" << 2 << 37 << "jo";
        QTest::newRow("caret at start") << "zed" << 0 << 36 << "zed";
    }
    void authorCompletion()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(int, keyCode);
        QFETCH(QString, text);
        Fixture f;
        f.describe(u"New:C"_s, u"A"_s).addScenery({.title = u"A"_s, .author = u"John Smith"_s});
        f.addScenery({.title = u"B"_s, .author = u"Jane Doe"_s});
        frmScenery &form = f.load();
        QCOMPARE(form.authorList().join(u','), u"John Smith,Jane Doe"_s);
        f.select(u"SceneryNew\\C"_s);
        form.txtAuthor_Change(typed);
        form.txtAuthor_KeyUp(keyCode, caret);
        QCOMPARE(form.details().txtAuthor + u'|' + record(f, u"C"_s).Author, text + u'|' + text);
        QCOMPARE(form.details().txtAuthorSelStart, caret);
    }

    void resize_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("result"); // measures afterwards, the tree's width and height and the pages' left
        QTest::addColumn<QString>("saved");  // "Form.Width" afterwards
        QTest::newRow("too low") << 12000.0 << 6000.0 << 0 << "12000x7765" << "-";
        QTest::newRow("too narrow") << 9000.0 << 8000.0 << 0 << "11010x8000" << "-";
        QTest::newRow("normal") << 13000.0 << 9000.0 << 0 << "13000x9000 6815 7000 6965" << "13000";
        QTest::newRow("maximised") << 13000.0 << 9000.0 << 2 << "13000x9000 6815 7000 6965" << "-";
        QTest::newRow("minimised") << 2000.0 << 500.0 << 1 << "2000x500" << "-";
        QTest::newRow("design size") << 11000.0 << 7755.0 << 0 << "11000x7755 4815 5755 4965" << "11000";
    }
    void resize()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, state);
        QFETCH(QString, result);
        QFETCH(QString, saved);
        Fixture f;
        f.writeFiles(1);
        f.create();
        frmScenery &form = *f.form;
        form.setPlacement({width, height, 300, 200, state});
        QSignalSpy placement(&form, &frmScenery::placementChanged);
        const std::optional<frmScenery::Layout> layout = form.Form_Resize();
        QString out = u"%1x%2"_s.arg(form.placement().width).arg(form.placement().height);
        if (layout)
            out += u" %1 %2 %3"_s.arg(layout->trvSceneryWidth).arg(layout->trvSceneryHeight).arg(layout->framesLeft);
        QCOMPARE(out, result);
        QCOMPARE(placement.count(), result.startsWith(u"%1x%2"_s.arg(width).arg(height)) ? 0 : 1);
        QCOMPARE(setting(f.env, u"Form.Width"_s), saved);
        if (saved != u"-"_s) // the state stored is always that of a normal window
            QCOMPARE(setting(f.env, u"Form.Height"_s) + setting(f.env, u"Form.Left"_s) + setting(f.env, u"Form.Top"_s)
                         + setting(f.env, u"Form.WindowState"_s),
                     QString::number(height) + u"3002000"_s);
    }

    void readSizeTakesNumbersOnly()
    {
        Fixture f;
        f.writeFiles(1);
        for (const QString &value : {u"Width=abc"_s, u"Height=9000.4"_s, u"Left=120"_s, u"WindowState=2"_s})
            f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, u"Form."_s + value.section(u'=', 0, 0),
                                  value.section(u'=', 1));
        f.create();
        QSignalSpy placement(f.form.get(), &frmScenery::placementChanged);
        f.form->ReadSize();
        const frmScenery::Placement &p = f.form->placement();
        QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(p.width).arg(p.height).arg(p.left).arg(p.top).arg(p.windowState),
                 u"%1 9000 120 0 2"_s.arg(frmScenery::DesignWidth));
        QCOMPARE(placement.count(), 1);
    }

    void freeSpaceWalksFixedDisks_data()
    {
        QTest::addColumn<QList<DriveInfo>>("drives");
        QTest::addColumn<QString>("labels"); // on successive ticks
        const qint64 mb = 1024 * 1024;
        const DriveInfo a{u'A', false, true, 10 * mb}, c{u'C', true, true, 5000 * mb + mb - 1}, d{u'D', true, true, 42 * mb},
            notReady{u'E', true, false, 0};
        QTest::newRow("A C D") << QList<DriveInfo>{a, c, d} << "C: 5000 MB|D: 42 MB|C: 5000 MB";
        // A fixed disk that is not ready leaves the label as it was.
        QTest::newRow("not ready") << QList<DriveInfo>{d, notReady} << "D: 42 MB|D: 42 MB|D: 42 MB";
        QTest::newRow("no fixed disk") << QList<DriveInfo>{a} << "|";
        QTest::newRow("no drives") << QList<DriveInfo>{} << "";
    }
    void freeSpaceWalksFixedDisks()
    {
        QFETCH(QList<DriveInfo>, drives);
        QFETCH(QString, labels);
        Fixture f;
        f.writeFiles(1);
        f.create();
        f.form->setDriveSource([drives] { return drives; });
        QStringList shown;
        for (qsizetype i = 0; i <= labels.count(u'|'); ++i) {
            f.form->tmrFreeSpace_Timer();
            shown << QString(f.form->lblFreeSpace()).remove(u"Free space on "_s);
        }
        QCOMPARE(shown.join(u'|'), labels);
    }
};

QTEST_GUILESS_MAIN(TestFrmSceneryDetails)
#include "tst_frmscenery_details.moc"
