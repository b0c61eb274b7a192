#include "tst_frmscenery_fixture.h"

#include "areas/areadialogs.h"
#include "settings/programsettings.h"

#include <QSignalSpy>
#include <QTest>

using Fixture = MainWindowFixture;

Q_DECLARE_METATYPE(DriveInfo)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {
const QString ExclValid = QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00,OBJECTS");
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
    void folderSizeInStatus_data();
    void folderSizeInStatus();
    void fieldDisplayForms_data();
    void fieldDisplayForms();
    void simBoxesShowAndWriteFlySim();
    void fieldsWriteBack();
    void handlersWithoutSceneryChangeNothing();
    void activeBoxRecoloursNode();
    void levelNodeLeavesPanel();
    void excludeFlattenMarks_data();
    void excludeFlattenMarks();
    void areaEditorsSetFields_data();
    void areaEditorsSetFields();
    void pictureShownFromFolder_data();
    void pictureShownFromFolder();
    void pictureSavedInBaseFolder_data();
    void pictureSavedInBaseFolder();
    void pictureNeedsLocalPath();
    void folderChooser_data();
    void folderChooser();
    void fileListMarker();
    void authorCompletion_data();
    void authorCompletion();

    void resize_data();
    void resize();
    void readSize();
    void freeSpaceWalksFixedDisks_data();
    void freeSpaceWalksFixedDisks();
};

// ---- Status text with the folder size ------------------------------------------------------

void TestFrmSceneryDetails::folderSizeInStatus_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("isLocal");
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("status");
    const QString folder = QStringLiteral("C:\\Sceneries\\Alpha");
    QTest::newRow("1024 kB") << folder << true << qint64(1048576) << QStringLiteral("Alpha (1024 kB)");
    QTest::newRow("1 MB") << folder << true << qint64(1048577) << QStringLiteral("Alpha (1 MB)");
    QTest::newRow("1.5 MB") << folder << true << qint64(1572864) << QStringLiteral("Alpha (1.5 MB)");
    QTest::newRow("cut not rounded") << folder << true << qint64(2097151 + 1048576 * 3 / 2) << QStringLiteral("Alpha (3.49 MB)");
    QTest::newRow("small") << folder << true << qint64(1500) << QStringLiteral("Alpha (1 kB)");
    QTest::newRow("remote") << folder << false << qint64(1500) << QStringLiteral("Alpha");
    QTest::newRow("missing folder") << QStringLiteral("C:\\Nowhere") << true << qint64(-1) << QStringLiteral("Alpha");
    QTest::newRow("base scenery") << QStringLiteral("scenery") << true << qint64(1500) << QStringLiteral("Alpha");
    QTest::newRow("no local path") << QString() << true << qint64(-1) << QStringLiteral("Alpha");
}

void TestFrmSceneryDetails::folderSizeInStatus()
{
    QFETCH(QString, local);
    QFETCH(bool, isLocal);
    QFETCH(qint64, bytes);
    QFETCH(QString, status);
    Fixture::Scenery s = scenery(QStringLiteral("Alpha"), local);
    s.isLocal = isLocal;
    OneScenery one(s);
    if (bytes >= 0) {
        // Split over a subfolder: the size counts every file below.
        const QString folder = local.contains(QLatin1Char(':')) ? local : Fixture::simFolder(1);
        one.f.env.writeFile(folder + QStringLiteral("\\scenery\\a.bgl"), QByteArray(bytes / 2, 'x'));
        one.f.env.writeFile(folder + QStringLiteral("\\b.txt"), QByteArray(bytes - bytes / 2, 'y'));
    }
    frmScenery &form = one.show();
    QCOMPARE(form.stbStatus().panels[0], status);
}

// ---- Display forms -------------------------------------------------------------------------

void TestFrmSceneryDetails::fieldDisplayForms_data()
{
    QTest::addColumn<int>("layer");
    QTest::addColumn<int>("salesType");
    QTest::addColumn<int>("groupId");
    QTest::addColumn<QString>("txtLayer");
    QTest::addColumn<int>("cboSalesType");
    QTest::addColumn<int>("txtGroupID");
    QTest::newRow("layer 5, no sales type") << 5 << 0 << 0 << QStringLiteral("005") << -1 << 0;
    QTest::newRow("layer 1234, payware") << 1234 << 3 << 5 << QStringLiteral("234") << 2 << 5;
    QTest::newRow("shareware") << 0 << 5 << 2 << QStringLiteral("000") << 4 << 2;
    QTest::newRow("unknown values") << 12 << 9 << 7 << QStringLiteral("012") << -1 << -1;
}

void TestFrmSceneryDetails::fieldDisplayForms()
{
    QFETCH(int, layer);
    QFETCH(int, salesType);
    QFETCH(int, groupId);
    QFETCH(QString, txtLayer);
    QFETCH(int, cboSalesType);
    QFETCH(int, txtGroupID);
    Fixture::Scenery s = scenery(QStringLiteral("Alpha"));
    s.layer = qint16(layer);
    s.salesType = qint16(salesType);
    s.groupId = qint16(groupId);
    OneScenery one(s);
    frmScenery &form = one.show();
    QCOMPARE(form.details().txtLayer, txtLayer);
    QCOMPARE(form.details().cboSalesType, cboSalesType);
    QCOMPARE(form.details().txtGroupID, txtGroupID);
    QCOMPARE(form.details().txtTitle, QStringLiteral("Alpha"));
    // Showing writes back only what the fields can hold: values they cannot show stay.
    QCOMPARE(int(one.record().SalesType), salesType);
    QCOMPARE(int(one.record().GroupID), groupId);
    QCOMPARE(int(one.record().Layer), layer);
}

void TestFrmSceneryDetails::simBoxesShowAndWriteFlySim()
{
    Fixture::Scenery s = scenery(QStringLiteral("Alpha"));
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

void TestFrmSceneryDetails::fieldsWriteBack()
{
    OneScenery one(scenery(QStringLiteral("Alpha"), QStringLiteral("Addon Scenery\\Alpha")));
    frmScenery &form = one.show();
    clsScenery &r = one.record();
    QCOMPARE(form.details().txtLocal, QStringLiteral("Addon Scenery\\Alpha"));
    QCOMPARE(form.details().optLocalRemote, 0);

    form.txtLocal_Change(QStringLiteral("D:\\Alpha"));
    form.txtRemote_Change(QStringLiteral("E:\\Alpha"));
    form.txtVersion_Change(QStringLiteral("2.1"));
    form.txtComment_Change(QStringLiteral("nice"));
    form.txtGroup_Change(QStringLiteral("7"));
    form.txtID_Change(QStringLiteral("id"));
    form.txtGroupID_Click(3);
    form.cboSalesType_Click(1);
    form.chkRequired_Click(true);
    form.optLocalRemote_Click(1);
    form.txtTexture_ID_Change(QStringLiteral("123"));
    QCOMPARE(r.LocalPath, QStringLiteral("D:\\Alpha"));
    QCOMPARE(r.RemotePath, QStringLiteral("E:\\Alpha"));
    QCOMPARE(r.Version, QStringLiteral("2.1"));
    QCOMPARE(r.Comment, QStringLiteral("nice"));
    QCOMPARE(r.Group, QStringLiteral("7"));
    QCOMPARE(r.ID, QStringLiteral("id"));
    QCOMPARE(int(r.GroupID), 3);
    QCOMPARE(int(r.SalesType), 2);
    QVERIFY(r.Required);
    QVERIFY(!r.IsLocalPath);
    QCOMPARE(int(r.Texture_ID), 123);
    // A field emptied while typing is no number: the record keeps the last one.
    form.txtTexture_ID_Change(QString());
    form.txtTexture_ID_Change(QStringLiteral("70000"));
    QCOMPARE(int(r.Texture_ID), 123);
    QCOMPARE(form.details().txtTexture_ID, QStringLiteral("70000"));
}

void TestFrmSceneryDetails::handlersWithoutSceneryChangeNothing()
{
    OneScenery one(scenery(QStringLiteral("Alpha"), QStringLiteral("Here")));
    one.f.load();
    frmScenery &form = *one.f.form;
    form.txtLocal_Change(QStringLiteral("There"));
    form.chkActive_Click(false);
    form.chkType_Click(2, true);
    form.txtExclude_Change(QStringLiteral("junk"));
    QCOMPARE(one.record().LocalPath, QStringLiteral("Here"));
    QVERIFY(one.record().Active);
    QCOMPARE(int(one.record().FlySim), 0);
    QVERIFY(one.record().Exclude.isEmpty());
    QVERIFY(!form.details().txtExcludeRed);
}

void TestFrmSceneryDetails::activeBoxRecoloursNode()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    Fixture::Scenery on = scenery(QStringLiteral("On"));
    Fixture::Scenery off = scenery(QStringLiteral("Off"));
    off.active = false;
    f.addScenery(on);
    f.addScenery(off);
    f.addCfgArea(QStringLiteral("On"));
    frmScenery &form = f.load();
    TreeNode *onNode = f.node(QStringLiteral("SceneryNew\\On"));
    TreeNode *offNode = f.node(QStringLiteral("SceneryNew\\Off"));
    QCOMPARE(offNode->foreColor(), NodeColor(rgb(255, 60, 60)));

    // The box is still clear: showing an inactive scenery does not change it, nor the colour.
    f.select(QStringLiteral("SceneryNew\\Off"));
    QCOMPARE(offNode->foreColor(), NodeColor(rgb(255, 60, 60)));
    f.select(QStringLiteral("SceneryNew\\On"));
    QCOMPARE(onNode->foreColor(), NodeColor(rgb(100, 100, 255)));
    form.chkActive_Click(false);
    QVERIFY(!f.manager->colScenery.item(QStringLiteral("SceneryNew\\On"))->Active);
    QCOMPARE(onNode->foreColor(), NodeColor(rgb(255, 100, 100)));
}

void TestFrmSceneryDetails::levelNodeLeavesPanel()
{
    OneScenery one(scenery(QStringLiteral("Alpha")));
    frmScenery &form = one.show();
    form.trvScenery_NodeClick(one.f.node(QStringLiteral("LevelNew")));
    QCOMPARE(form.displayedScenery()->Title, QStringLiteral("Alpha"));
    QCOMPARE(form.details().txtTitle, QStringLiteral("Alpha"));
}

// ---- Exclude / Flatten ---------------------------------------------------------------------

void TestFrmSceneryDetails::excludeFlattenMarks_data()
{
    QTest::addColumn<QString>("exclude");
    QTest::addColumn<QString>("flatten3");
    QTest::addColumn<bool>("excludeRed");
    QTest::addColumn<bool>("flattenRed");
    QTest::addColumn<int>("image");
    QTest::newRow("empty") << QString() << QString() << false << false << 27;
    QTest::newRow("valid exclude") << ExclValid << QString() << false << false << 28;
    QTest::newRow("wrong exclude") << QStringLiteral("N47 30.00,OBJECTS") << QString() << true << false << 28;
    QTest::newRow("wrong flatten") << QString() << QStringLiteral("100000,N1 0,E1 0") << false << true << 28;
}

void TestFrmSceneryDetails::excludeFlattenMarks()
{
    QFETCH(QString, exclude);
    QFETCH(QString, flatten3);
    QFETCH(bool, excludeRed);
    QFETCH(bool, flattenRed);
    QFETCH(int, image);
    OneScenery one(scenery(QStringLiteral("Alpha")));
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

void TestFrmSceneryDetails::areaEditorsSetFields_data()
{
    QTest::addColumn<int>("button");  // -1 Exclude, else the Flatten position
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("result");
    QTest::newRow("exclude delete") << -1 << QStringLiteral("delete") << QString();
    QTest::newRow("exclude cancel") << -1 << QStringLiteral("cancel") << ExclValid;
    QTest::newRow("exclude ok") << -1 << QStringLiteral("ok")
                                << QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects");
    QTest::newRow("flatten delete") << 2 << QStringLiteral("delete") << QString();
    QTest::newRow("flatten cancel") << 2 << QStringLiteral("cancel") << FlatValid;
    QTest::newRow("flatten ok") << 2 << QStringLiteral("ok") << FlatValid;
}

void TestFrmSceneryDetails::areaEditorsSetFields()
{
    QFETCH(int, button);
    QFETCH(QString, action);
    QFETCH(QString, result);
    Fixture::Scenery s = scenery(QStringLiteral("Alpha"));
    s.exclude = ExclValid;
    OneScenery one(s);
    frmScenery &form = one.show();
    if (button >= 0)
        form.txtFlatten_Change(button, FlatValid);

    auto act = [action](auto &dialog) {
        if (action == QStringLiteral("delete"))
            dialog.cmdDelete_Click();
        else if (action == QStringLiteral("cancel"))
            dialog.cmdCancel_Click();
        else
            dialog.cmdOK_Click();
    };
    if (button < 0) {
        one.f.env.ui.expectForm<frmExclude>(QStringLiteral("frmExclude"), std::function<void(frmExclude &)>(act));
        form.cmdExclude_Click();
        QCOMPARE(one.record().Exclude, result);
        QCOMPARE(form.details().txtExclude, result);
    } else {
        one.f.env.ui.expectForm<frmFlatten>(QStringLiteral("frmFlatten"), std::function<void(frmFlatten &)>(act));
        form.cmdFlatten_Click(button);
        QCOMPARE(one.record().Flatten(qint16(button)), result);
    }
    QVERIFY(one.f.env.ui.allShown());
}

// ---- Picture -------------------------------------------------------------------------------

void TestFrmSceneryDetails::pictureShownFromFolder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("shown");
    const QString folder = QStringLiteral("C:\\Sceneries\\Rome\\");
    QTest::newRow("none") << QStringList{QStringLiteral("x.bmp")} << QString();
    QTest::newRow("gif first") << QStringList{QStringLiteral("Scenery.bmp"), QStringLiteral("Scenery.gif")}
                               << folder + QStringLiteral("Scenery.gif");
    QTest::newRow("jpg before bmp") << QStringList{QStringLiteral("Scenery.bmp"), QStringLiteral("Scenery.jpg")}
                                    << folder + QStringLiteral("Scenery.jpg");
    QTest::newRow("bmp") << QStringList{QStringLiteral("Scenery.bmp")} << folder + QStringLiteral("Scenery.bmp");
}

void TestFrmSceneryDetails::pictureShownFromFolder()
{
    QFETCH(QStringList, files);
    QFETCH(QString, shown);
    // The local path names the "scenery" subfolder; pictures live in the base folder.
    OneScenery one(scenery(QStringLiteral("Rome"), QStringLiteral("C:\\Sceneries\\Rome\\Scenery")));
    for (const QString &file : files)
        one.f.env.writeFile(QStringLiteral("C:\\Sceneries\\Rome\\") + file, "pic");
    frmScenery &form = one.show();
    QCOMPARE(form.details().picture.toLower(), shown.toLower());
}

void TestFrmSceneryDetails::pictureSavedInBaseFolder_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("loads");
    QTest::newRow("scenery subfolder") << QStringLiteral("C:\\Sceneries\\Rome\\scenery")
                                       << QStringLiteral("C:\\Sceneries\\Rome\\Scenery.bmp") << true;
    QTest::newRow("base folder") << QStringLiteral("C:\\Sceneries\\Rome\\") << QStringLiteral("C:\\Sceneries\\Rome\\Scenery.bmp")
                                 << true;
    QTest::newRow("relative") << QStringLiteral("Addon Scenery\\Rome")
                              << QStringLiteral("C:\\FS2002\\Addon Scenery\\Rome\\Scenery.bmp") << true;
    QTest::newRow("cannot load") << QStringLiteral("C:\\Sceneries\\Rome") << QStringLiteral("C:\\Sceneries\\Rome\\Scenery.bmp")
                                 << false;
}

void TestFrmSceneryDetails::pictureSavedInBaseFolder()
{
    QFETCH(QString, local);
    QFETCH(QString, target);
    QFETCH(bool, loads);
    OneScenery one(scenery(QStringLiteral("Rome"), local));
    frmScenery &form = one.show();
    QStringList calls;
    form.setPictureConverter([&](const QString &source, const QString &targetWin) {
        calls << source << targetWin;
        return loads;
    });
    const QString chosen = QStringLiteral("C:\\Pictures\\rome.jpg");
    one.f.env.ui.expectFile(chosen, QStringLiteral("Select bmp/gif/jpg"));
    form.cmdFile_Click(2);
    QCOMPARE(calls, (QStringList{chosen, target}));
    QCOMPARE(form.details().picture, loads ? chosen : QString());

    // Cancel ends the command before anything is converted.
    one.f.env.ui.expectFile(std::nullopt, QStringLiteral("Select bmp/gif/jpg"));
    form.cmdFile_Click(2);
    QCOMPARE(calls.size(), 2);
    QVERIFY(one.f.env.ui.allShown());
}

void TestFrmSceneryDetails::pictureNeedsLocalPath()
{
    OneScenery one(scenery(QStringLiteral("Rome")));
    frmScenery &form = one.show();
    form.setPictureConverter([](const QString &, const QString &) {
        QTest::qFail("converted without a local path", __FILE__, __LINE__);
        return false;
    });
    one.f.env.ui.expectMessage(QStringLiteral("Please define the local path before you set the picture."),
                               QStringLiteral("Can not assign picture"), UiPort::Answer::Ok, UiPort::Icon::Information);
    form.cmdFile_Click(2);
    QVERIFY(one.f.env.ui.allShown());
}

void TestFrmSceneryDetails::folderChooser_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("remote");
    const QString oldLocal = QStringLiteral("C:\\Old");
    QTest::newRow("local") << 0 << std::optional<QString>(QStringLiteral("D:\\New\\Place\\Folder"))
                           << QStringLiteral("D:\\New\\Place\\") << QString();
    QTest::newRow("remote") << 1 << std::optional<QString>(QStringLiteral("E:\\Cd\\Folder")) << oldLocal
                            << QStringLiteral("E:\\Cd\\");
    QTest::newRow("bare Folder") << 0 << std::optional<QString>(QStringLiteral("Folder")) << oldLocal << QString();
    QTest::newRow("cancel") << 0 << std::optional<QString>() << oldLocal << QString();
}

void TestFrmSceneryDetails::folderChooser()
{
    QFETCH(int, button);
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, local);
    QFETCH(QString, remote);
    OneScenery one(scenery(QStringLiteral("Rome"), QStringLiteral("C:\\Old")));
    frmScenery &form = one.show();
    one.f.env.ui.expectFile(answer, QStringLiteral("Select folder"));
    form.cmdFile_Click(button);
    QCOMPARE(one.record().LocalPath, local);
    QCOMPARE(one.record().RemotePath, remote);
    QCOMPARE(form.details().txtLocal, local);
    QVERIFY(one.f.env.ui.allShown());
}

void TestFrmSceneryDetails::fileListMarker()
{
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    f.addScenery(scenery(QStringLiteral("Listed"), QStringLiteral("C:\\S\\Listed\\scenery")));
    f.addScenery(scenery(QStringLiteral("Plain"), QStringLiteral("C:\\S\\Plain")));
    f.addCfgArea(QStringLiteral("Plain"));
    f.env.writeFile(QStringLiteral("C:\\S\\Listed\\LumivaleFileList.db"), "x");
    f.env.writeFile(QStringLiteral("C:\\S\\Plain\\x.bgl"), "x");
    frmScenery &form = f.load();
    QSignalSpy tabs(&form, &frmScenery::tabsChanged);
    f.select(QStringLiteral("SceneryNew\\Listed"));
    QCOMPARE(form.tbsScenery().fileListImage, 28);
    f.select(QStringLiteral("SceneryNew\\Plain"));
    QCOMPARE(form.tbsScenery().fileListImage, 27);
    QVERIFY(tabs.count() >= 2);
    form.tbsScenery_Click(frmScenery::TabExcFlat);
    QCOMPARE(form.tbsScenery().selected, int(frmScenery::TabExcFlat));
}

// ---- Author completion ---------------------------------------------------------------------

void TestFrmSceneryDetails::authorCompletion_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("newCaret");
    QTest::newRow("other case") << QStringLiteral("jo") << 2 << 79 << QStringLiteral("John Smith") << 2;
    QTest::newRow("second entry") << QStringLiteral("JA") << 2 << 65 << QStringLiteral("Jane Doe") << 2;
    QTest::newRow("follows the caret") << QStringLiteral("John Smith") << 2 << 8 << QStringLiteral("John Smith") << 2;
    QTest::newRow("no match cuts") << QStringLiteral("Jxyz") << 2 << 88 << QStringLiteral("Jx") << 2;
    QTest::newRow("arrow key") << QStringLiteral("jo") << 2 << 37 << QStringLiteral("jo") << 2;
    QTest::newRow("caret at start") << QStringLiteral("zed") << 0 << 36 << QStringLiteral("zed") << 0;
}

void TestFrmSceneryDetails::authorCompletion()
{
    QFETCH(QString, typed);
    QFETCH(int, caret);
    QFETCH(int, keyCode);
    QFETCH(QString, text);
    QFETCH(int, newCaret);
    Fixture f;
    f.addLevel(QStringLiteral("LevelNew"), QStringLiteral("New"));
    Fixture::Scenery a = scenery(QStringLiteral("A"));
    a.author = QStringLiteral("John Smith");
    Fixture::Scenery b = scenery(QStringLiteral("B"));
    b.author = QStringLiteral("Jane Doe");
    f.addScenery(a);
    f.addScenery(b);
    f.addScenery(scenery(QStringLiteral("C")));
    f.addCfgArea(QStringLiteral("A"));
    frmScenery &form = f.load();
    QCOMPARE(form.authorList(), (QStringList{QStringLiteral("John Smith"), QStringLiteral("Jane Doe")}));
    f.select(QStringLiteral("SceneryNew\\C"));

    form.txtAuthor_Change(typed);
    form.txtAuthor_KeyUp(keyCode, caret);
    QCOMPARE(form.details().txtAuthor, text);
    QCOMPARE(form.details().txtAuthorSelStart, newCaret);
    QCOMPARE(f.manager->colScenery.item(QStringLiteral("SceneryNew\\C"))->Author, text);
}

// ---- Layout --------------------------------------------------------------------------------

void TestFrmSceneryDetails::resize_data()
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

void TestFrmSceneryDetails::resize()
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
    stored(f.env, QStringLiteral("Form.Width"), &exists);
    QCOMPARE(exists, saved);
    if (saved) {
        QCOMPARE(stored(f.env, QStringLiteral("Form.Width")), QString::number(width));
        QCOMPARE(stored(f.env, QStringLiteral("Form.Height")), QString::number(height));
        QCOMPARE(stored(f.env, QStringLiteral("Form.Left")), QStringLiteral("300"));
        QCOMPARE(stored(f.env, QStringLiteral("Form.Top")), QStringLiteral("200"));
        QCOMPARE(stored(f.env, QStringLiteral("Form.WindowState")), QStringLiteral("0"));
    }
    if (laidOut && width == 13000.0) {
        QCOMPARE(layout->trvSceneryWidth, 6815);
        QCOMPARE(layout->trvSceneryHeight, 7000);
        QCOMPARE(layout->framesLeft, 6965);
        QCOMPARE(layout->lblSetLeft, 6965);
        QCOMPARE(layout->cboScenerySetLeft, 7400);
        QCOMPARE(layout->cmdChangeFlightSimSetLeft, 9680);
        QCOMPARE(layout->lblFreeSpaceLeft, 10400);
        QCOMPARE(layout->tbsSceneryLeft, 6905);
        QCOMPARE(layout->tbsSceneryHeight, 7000);
        QCOMPARE(layout->framesHeight, 6520);
        QCOMPARE(layout->trvMoveToHeight, 6040);
        QCOMPARE(layout->lvwFileListHeight, 5640);
    }
}

void TestFrmSceneryDetails::readSize()
{
    Fixture f;
    f.writeFiles(1);
    auto write = [&](const QString &name, const QString &value) {
        f.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, name, value);
    };
    write(QStringLiteral("Form.Width"), QStringLiteral("abc"));
    write(QStringLiteral("Form.Height"), QStringLiteral("9000.4"));
    write(QStringLiteral("Form.Left"), QStringLiteral("120"));
    write(QStringLiteral("Form.WindowState"), QStringLiteral("2"));
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

void TestFrmSceneryDetails::freeSpaceWalksFixedDisks_data()
{
    QTest::addColumn<QList<DriveInfo>>("drives");
    QTest::addColumn<QStringList>("labels");
    const qint64 mb = 1024 * 1024;
    const DriveInfo a{QLatin1Char('A'), false, true, 10 * mb};
    const DriveInfo c{QLatin1Char('C'), true, true, 5000 * mb + mb - 1};
    const DriveInfo d{QLatin1Char('D'), true, true, 42 * mb};
    const DriveInfo e{QLatin1Char('E'), true, false, 0};
    QTest::newRow("A C D") << QList<DriveInfo>{a, c, d}
                           << QStringList{QStringLiteral("Free space on C: 5000 MB"), QStringLiteral("Free space on D: 42 MB"),
                                          QStringLiteral("Free space on C: 5000 MB")};
    // A fixed disk that is not ready leaves the label as it was.
    QTest::newRow("not ready") << QList<DriveInfo>{d, e}
                               << QStringList{QStringLiteral("Free space on D: 42 MB"), QStringLiteral("Free space on D: 42 MB"),
                                              QStringLiteral("Free space on D: 42 MB")};
    QTest::newRow("no fixed disk") << QList<DriveInfo>{a} << QStringList{QString(), QString()};
    QTest::newRow("no drives") << QList<DriveInfo>{} << QStringList{QString()};
}

void TestFrmSceneryDetails::freeSpaceWalksFixedDisks()
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

QTEST_GUILESS_MAIN(TestFrmSceneryDetails)
#include "tst_frmscenery_details.moc"
