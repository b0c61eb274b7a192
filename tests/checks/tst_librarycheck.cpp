// The library check on libraries built with real folders and BGL files, one group of rows per
// kind of finding, and the dialog that shows the findings.

#include "checks/frmchecklibrary.h"
#include "checks/librarycheck.h"
#include "support/librarybuilder.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Addon = u"C:\\FS2002\\Addon Scenery\\"_s;

// A scenery used from its folder below "Addon Scenery", of the same name as its title.
SceneryFields local(const QString &title, bool active = true)
{
    return SceneryFields{.active = active, .isLocalPath = true, .localPath = u"Addon Scenery\\"_s + title};
}

class Fixture
{
public:
    // Files below a scenery's folder ("Scenery\\a.bgl"); the folder exists even with none.
    void files(const QString &title, const QStringList &names)
    {
        QDir().mkpath(env.env.host(u"C:\\FS2002"_s) + u"/Addon Scenery/"_s + title);
        for (const QString &name : names)
            env.env.writeFile(Addon + title + u'\\' + name, "BGL");
    }
    // A scenery whose folder holds one BGL file of its own.
    void loadable(const QString &title) { files(title, {u"Scenery\\"_s + title + u".bgl"_s}); }

    QList<CheckFinding> run(const Library &library, const QStringList &sets = {})
    {
        library.buildInto(env.manager(), env.tree);
        LibraryCheck check(env.manager(), env.env.fs);
        const QList<CheckFinding> findings = check.run(env.tree.keysInWalkOrder(), sets);
        foldersRead = check.foldersRead();
        return findings;
    }

    LibraryEnv env;
    qsizetype foldersRead = 0;
};

QList<CheckFinding> ofKind(const QList<CheckFinding> &findings, const QString &kind)
{
    QList<CheckFinding> result;
    for (const CheckFinding &f : findings) {
        if (f.kind == kind)
            result.append(f);
    }
    return result;
}

QStringList titlesOf(const QList<CheckFinding> &findings)
{
    QStringList titles;
    for (const CheckFinding &f : findings)
        titles << f.title;
    return titles;
}

QStringList kindsOf(const QList<CheckFinding> &findings)
{
    QStringList kinds;
    for (const CheckFinding &f : findings)
        kinds << f.kind;
    return kinds;
}

QStringList numbered(const QString &stem, int count)
{
    QStringList titles;
    for (int i = 1; i <= count; ++i)
        titles << stem + QString::number(i);
    return titles;
}

} // namespace

class TestLibraryCheck : public QObject
{
    Q_OBJECT

private slots:
    void folders_data();
    void folders();
    void eachFolderIsReadOnce();
    void duplicateTitles_data();
    void duplicateTitles();
    void conflicts_data();
    void conflicts();
    void selectionLimits_data();
    void selectionLimits();
    void remoteDrives_data();
    void remoteDrives();
    void layers_data();
    void layers();
    void areaValues_data();
    void areaValues();
    void dialogChecksTheScopeAndShowsTheScenery();
};

void TestLibraryCheck::folders_data()
{
    QTest::addColumn<SceneryFields>("fields");
    QTest::addColumn<QStringList>("files"); // below the scenery's folder; null: no folder at all
    QTest::addColumn<QStringList>("kinds");

    const SceneryFields alps = local(u"Alps"_s);
    QTest::newRow("no folder") << alps << QStringList() << QStringList{LibraryCheck::MissingFolder};
    QTest::newRow("no Scenery subfolder")
        << alps << QStringList{u"Texture\\alps.bmp"_s} << QStringList{LibraryCheck::NoSceneryFolder};
    QTest::newRow("no BGL file") << alps << QStringList{u"Scenery\\readme.txt"_s, u"Scenery\\alps.bgl.old"_s}
                                 << QStringList{LibraryCheck::NoBglFile};
    QTest::newRow("letter case of folder and file ignored")
        << alps << QStringList{u"SCENERY\\ALPS.BGL"_s} << QStringList();
    QTest::newRow("given as its Scenery subfolder")
        << SceneryFields{.isLocalPath = true, .localPath = u"Addon Scenery\\Alps\\scenery\\"_s}
        << QStringList{u"scenery\\alps.bgl"_s} << QStringList();
    QTest::newRow("on a drive not mapped") << SceneryFields{.isLocalPath = true, .localPath = u"Q:\\Alps"_s}
                                           << QStringList() << QStringList{LibraryCheck::MissingFolder};
    QTest::newRow("used from its remote folder") << SceneryFields{.isLocalPath = false,
                                                                  .localPath = u"Addon Scenery\\Alps"_s,
                                                                  .remotePath = u"C:\\CD\\Alps"_s}
                                                 << QStringList() << QStringList();
}

void TestLibraryCheck::folders()
{
    QFETCH(SceneryFields, fields);
    QFETCH(QStringList, files);
    QFETCH(QStringList, kinds);

    Fixture fixture;
    if (!files.isEmpty())
        fixture.files(u"Alps"_s, files);
    const QList<CheckFinding> findings = fixture.run(Library().scenery(u"Alps"_s, fields));
    QCOMPARE(kindsOf(findings), kinds);
    if (!findings.isEmpty()) {
        QCOMPARE(findings.first().key, u"SceneryNew\\Alps"_s);
        QCOMPARE(findings.first().title, u"Alps"_s);
    }
}

void TestLibraryCheck::eachFolderIsReadOnce()
{
    // Two sceneries in one folder, and a third beside them: the folders on the way ("C:\", the
    // simulator's, "Addon Scenery") and each scenery's folder and its "Scenery" folder are read
    // once for all of them.
    Fixture fixture;
    fixture.loadable(u"Alps"_s);
    fixture.loadable(u"Jura"_s);
    SceneryFields twin = local(u"Alps"_s);
    const QList<CheckFinding> findings = fixture.run(Library()
                                                         .scenery(u"Alps"_s, local(u"Alps"_s))
                                                         .scenery(u"Alps 2"_s, twin)
                                                         .scenery(u"Jura"_s, local(u"Jura"_s)));
    QCOMPARE(kindsOf(ofKind(findings, LibraryCheck::MissingFolder)), QStringList());
    QCOMPARE(fixture.foldersRead, 4);
}

void TestLibraryCheck::duplicateTitles_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("duplicates");

    QTest::newRow("letter case") << QStringList{u"Swiss Alps"_s, u"SWISS alps"_s}
                                 << QStringList{u"SWISS alps"_s};
    QTest::newRow("blanks") << QStringList{u"Swiss Alps"_s, u"SwissAlps"_s, u" Swiss  Alps"_s}
                            << QStringList{u"SwissAlps"_s, u" Swiss  Alps"_s};
    QTest::newRow("other letters") << QStringList{u"Swiss Alps"_s, u"Swiss Alp"_s} << QStringList();
}

void TestLibraryCheck::duplicateTitles()
{
    QFETCH(QStringList, titles);
    QFETCH(QStringList, duplicates);

    Fixture fixture;
    Library library;
    for (const QString &title : titles)
        library.scenery(title, {.isLocalPath = false, .remotePath = u"C:\\CD"_s});
    const QList<CheckFinding> found = ofKind(fixture.run(library), LibraryCheck::DuplicateTitle);
    QCOMPARE(titlesOf(found), duplicates);
    if (!found.isEmpty())
        QVERIFY2(found.first().detail.contains(u"SceneryNew\\"_s + titles.first()),
                 qPrintable(found.first().detail));
}

void TestLibraryCheck::conflicts_data()
{
    QTest::addColumn<QStringList>("sets");
    // "loser>winner: files", in layer order of the losers.
    QTest::addColumn<QStringList>("pairs");

    // In tree order: Alps {Shared, Peaks}, Jura {SHARED}, Lakes (inactive) {Shared, Peaks}, Tops {shared,
    // peaks}.
    QTest::newRow("whole library") << QStringList()
                                   << QStringList{u"Alps>Tops: PEAKS.BGL, SHARED.BGL"_s,
                                                  u"Jura>Tops: SHARED.BGL"_s};
    QTest::newRow("the sets written") << QStringList{u"Mine"_s} << QStringList{u"Alps>Jura: SHARED.BGL"_s};
}

void TestLibraryCheck::conflicts()
{
    QFETCH(QStringList, sets);
    QFETCH(QStringList, pairs);

    Fixture fixture;
    fixture.files(u"Alps"_s, {u"Scenery\\Shared.bgl"_s, u"Scenery\\Peaks.bgl"_s, u"Texture\\Shared.bgl"_s});
    fixture.files(u"Jura"_s, {u"Scenery\\SHARED.BGL"_s, u"Scenery\\Jura.bgl"_s});
    fixture.files(u"Lakes"_s, {u"Scenery\\Shared.bgl"_s, u"Scenery\\Peaks.bgl"_s});
    fixture.files(u"Tops"_s, {u"Scenery\\shared.bgl"_s, u"Scenery\\peaks.bgl"_s});
    const QList<CheckFinding> found =
        ofKind(fixture.run(Library()
                               .scenery(u"Alps"_s, local(u"Alps"_s))
                               .scenery(u"Jura"_s, local(u"Jura"_s))
                               .scenery(u"Lakes"_s, local(u"Lakes"_s, false))
                               .scenery(u"Tops"_s, local(u"Tops"_s))
                               .set(u"Mine"_s, Sim::FS2002, {u"Jura"_s, u"Alps"_s}),
                           sets),
               LibraryCheck::Conflict);
    QStringList actual;
    for (const CheckFinding &f : found) {
        // The detail names the winner in quotes and ends with the files.
        const QString winner = f.detail.section(u'"', 1, 1);
        actual << f.title + u'>' + winner + u": "_s + f.detail.section(u"wins: "_s, 1).chopped(1);
    }
    QCOMPARE(actual, pairs);
}

void TestLibraryCheck::selectionLimits_data()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<Sim>("sim");
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<QStringList>("kinds");

    const QStringList short332 = numbered(u"S"_s, 332);
    QTest::newRow("332 sceneries") << short332 << Sim::FS2002 << QStringList() << QStringList();
    QTest::newRow("333 sceneries") << numbered(u"S"_s, 333) << Sim::FS2002 << QStringList()
                                   << QStringList{LibraryCheck::TooManySceneries};
    QTest::newRow("333 of another simulator, whole library")
        << numbered(u"S"_s, 333) << Sim::FS2000 << QStringList() << QStringList();
    QTest::newRow("333 of another simulator, chosen")
        << numbered(u"S"_s, 333) << Sim::FS2000 << QStringList{u"Big"_s}
        << QStringList{LibraryCheck::TooManySceneries};
    // Each long area takes some 370 bytes of the file.
    QTest::newRow("long areas over the size") << numbered(QString(150, u'L'), 180) << Sim::FS2002
                                              << QStringList() << QStringList{LibraryCheck::FileTooLarge};
    QTest::newRow("long areas under the size")
        << numbered(QString(150, u'L'), 170) << Sim::FS2002 << QStringList() << QStringList();
}

void TestLibraryCheck::selectionLimits()
{
    QFETCH(QStringList, members);
    QFETCH(Sim, sim);
    QFETCH(QStringList, sets);
    QFETCH(QStringList, kinds);

    Fixture fixture;
    Library library;
    for (const QString &title : members)
        library.scenery(title, {.active = true, .remotePath = u"C:\\CD\\"_s + title});
    library.set(u"Big"_s, sim, members);
    const QList<CheckFinding> found = fixture.run(library, sets);
    QStringList sizes = kindsOf(ofKind(found, LibraryCheck::TooManySceneries)) +
                        kindsOf(ofKind(found, LibraryCheck::FileTooLarge));
    QCOMPARE(sizes, kinds);
    for (const CheckFinding &f : found) {
        if (f.kind == LibraryCheck::TooManySceneries || f.kind == LibraryCheck::FileTooLarge) {
            QCOMPARE(f.key, QString());
            QCOMPARE(f.title, u"Big"_s);
        }
    }
}

void TestLibraryCheck::remoteDrives_data()
{
    QTest::addColumn<SceneryFields>("fields");
    QTest::addColumn<int>("findings");

    QTest::newRow("drive not mapped") << SceneryFields{.remotePath = u"Q:\\Alps"_s} << 1;
    QTest::newRow("drive mapped, folder missing") << SceneryFields{.remotePath = u"c:\\CD\\Alps"_s} << 0;
    QTest::newRow("network path") << SceneryFields{.remotePath = u"\\\\server\\share\\Alps"_s} << 0;
    QTest::newRow("kept beside a local folder") << SceneryFields{.isLocalPath = true,
                                                                 .localPath = u"Addon Scenery\\Alps"_s,
                                                                 .remotePath = u"Q:\\Alps"_s}
                                                << 0;
}

void TestLibraryCheck::remoteDrives()
{
    QFETCH(SceneryFields, fields);
    QFETCH(int, findings);

    Fixture fixture;
    fixture.loadable(u"Alps"_s);
    const QList<CheckFinding> found =
        ofKind(fixture.run(Library().scenery(u"Alps"_s, fields)), LibraryCheck::UnmappedDrive);
    QCOMPARE(found.size(), findings);
    if (findings)
        QVERIFY2(found.first().detail.contains(u"drive Q:"_s), qPrintable(found.first().detail));
}

void TestLibraryCheck::layers_data()
{
    QTest::addColumn<QList<int>>("layers"); // per scenery in tree order; -1: its folder is missing
    QTest::addColumn<QStringList>("outOfOrder");

    QTest::newRow("gaps and none recorded") << QList<int>{2, 0, 7, 9} << QStringList();
    QTest::newRow("shifted by one left out") << QList<int>{1, -1, 3, 4} << QStringList();
    // Either of the two is out of order; the earlier one is named.
    QTest::newRow("two turned round") << QList<int>{1, 3, 2, 4} << QStringList{u"S2"_s};
    QTest::newRow("the last moved to the top") << QList<int>{5, 1, 2, 3, 4} << QStringList{u"S1"_s};
}

void TestLibraryCheck::layers()
{
    QFETCH(QList<int>, layers);
    QFETCH(QStringList, outOfOrder);

    // The whole library holds its layers against "(Current)", the chosen sets against themselves.
    for (const QStringList &sets : {QStringList(), QStringList{u"(Current)"_s}}) {
        Fixture fixture;
        Library library;
        QStringList titles;
        for (int i = 0; i < layers.size(); ++i) {
            const QString title = u"S"_s + QString::number(i + 1);
            titles << title;
            if (layers.at(i) >= 0)
                fixture.loadable(title);
            SceneryFields fields = local(title);
            fields.layer = qint16(layers.at(i) < 0 ? 2 : layers.at(i));
            library.scenery(title, fields);
        }
        library.set(u"(Current)"_s, Sim::FS2002, titles);
        QCOMPARE(titlesOf(ofKind(fixture.run(library, sets), LibraryCheck::LayerOrder)), outOfOrder);
    }
}

void TestLibraryCheck::areaValues_data()
{
    QTest::addColumn<SceneryFields>("fields");
    QTest::addColumn<QStringList>("kinds");

    const QString box = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
    const QString quad = box + u",N46 00.00,W121 00.00,N46 30.00,W121 30.00"_s;
    QTest::newRow("well formed") << SceneryFields{.exclude = box + u",objects"_s,
                                                  .flatten = {{0, u"120,"_s + quad}}}
                                 << QStringList();
    QTest::newRow("Exclude without class")
        << SceneryFields{.exclude = box} << QStringList{LibraryCheck::BadExclude};
    QTest::newRow("Flatten too high")
        << SceneryFields{.flatten = {{3, u"100000,"_s + quad}, {9, u"0,"_s + quad}}}
        << QStringList{LibraryCheck::BadFlatten};
}

void TestLibraryCheck::areaValues()
{
    QFETCH(SceneryFields, fields);
    QFETCH(QStringList, kinds);

    Fixture fixture;
    fields.remotePath = u"C:\\CD"_s;
    const QList<CheckFinding> found = fixture.run(Library().scenery(u"Alps"_s, fields));
    const QList<CheckFinding> areas =
        ofKind(found, LibraryCheck::BadExclude) + ofKind(found, LibraryCheck::BadFlatten);
    QCOMPARE(kindsOf(areas), kinds);
    if (!areas.isEmpty() && areas.first().kind == LibraryCheck::BadFlatten)
        QVERIFY2(areas.first().detail.startsWith(u"Flatten.3 "_s), qPrintable(areas.first().detail));
}

void TestLibraryCheck::dialogChecksTheScopeAndShowsTheScenery()
{
    QStringList checked; // the scope of each run, "" for the whole library
    QStringList shown;
    const QList<CheckFinding> findings{
        {LibraryCheck::MissingFolder, u"SceneryNew\\Alps"_s, u"Alps"_s, u"-"_s},
        {LibraryCheck::TooManySceneries, {}, u"Big"_s, u"-"_s}};
    frmCheckLibrary form(
        [&](const QStringList &sets) {
            checked << sets.join(u'+');
            return sets.isEmpty() ? findings : QList<CheckFinding>();
        },
        [&](const QString &key) {
            shown << key;
            return true;
        },
        {u"(Current)"_s, u"Big"_s});

    form.Form_Load();
    QCOMPARE(form.cboScopeItems, (QStringList{frmCheckLibrary::wholeLibrary(), u"(Current)"_s, u"Big"_s}));
    QCOMPARE(form.lblSummary, u"2 findings."_s);
    form.lvwFindings_DblClick(1); // a set's row names no scenery
    form.lvwFindings_DblClick(0);
    QCOMPARE(shown, QStringList{u"SceneryNew\\Alps"_s});

    form.cboScope_Click(2);
    QCOMPARE(checked, (QStringList{QString(), u"Big"_s}));
    QCOMPARE(form.lblSummary, u"Nothing found."_s);
    form.lvwFindings_DblClick(0); // no rows left
    QCOMPARE(shown.size(), 1);
}

QTEST_GUILESS_MAIN(TestLibraryCheck)
#include "tst_librarycheck.moc"
