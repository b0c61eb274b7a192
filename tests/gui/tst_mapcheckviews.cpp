// The map of areas and the library check's dialog, played with the mouse.

#include "checks/frmchecklibrary.h"
#include "gui/areas/areamapview.h"
#include "gui/checks/checklibrarydialog.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class TestMapCheckViews : public QObject
{
    Q_OBJECT

private slots:
    // The shown scenery's readable areas are drawn (a failing one too), an unreadable one is not;
    // a click on an area names its scenery, a drag across it does not.
    void mapClickNamesTheScenery()
    {
        AreaMapView map;
        map.resize(400, 300);
        AreaMapView::Areas shown{
            u"SceneryNew\\Alps"_s, u"N47 30.00,E008 00.00,N47 00.00,E009 00.00,all"_s, {}};
        shown.flatten[2] =
            u"100000,N46 00.00,E008 00.00,N46 00.00,E008 30.00,N45 30.00,E008 30.00,N45 30.00,E008 00.00"_s;
        shown.flatten[3] = u"0,N46 00.00,E008 00.00"_s;
        AreaMapView::Areas other{
            u"SceneryNew\\Jura"_s, u"N40 00.00,E008 00.00,N39 00.00,E009 00.00,all"_s, {}};
        map.setAreas(shown, {other});
        QCOMPARE(map.shownAreaCount(), 2);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        map.zoomToShown();

        QSignalSpy clicked(&map, &AreaMapView::sceneryClicked);
        const QPoint alps = map.mapFromScene(QPointF(8.5, -47.25));
        QTest::mouseClick(map.viewport(), Qt::LeftButton, {}, alps);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked.first().first().toString(), u"SceneryNew\\Alps"_s);

        QTest::mousePress(map.viewport(), Qt::LeftButton, {}, alps);
        QTest::mouseMove(map.viewport(), alps + QPoint(40, 0));
        QTest::mouseRelease(map.viewport(), Qt::LeftButton, {}, alps + QPoint(40, 0));
        QCOMPARE(clicked.size(), 1);
    }

    // A row per finding; the scope box checks again; a double click shows the row's scenery.
    void checkDialogRows()
    {
        QStringList shown;
        frmCheckLibrary form(
            [](const QStringList &sets) {
                if (!sets.isEmpty())
                    return QList<CheckFinding>();
                return QList<CheckFinding>{
                    {LibraryCheck::NoBglFile, u"SceneryNew\\Alps"_s, u"Alps"_s, u"x"_s},
                    {LibraryCheck::Conflict, u"SceneryNew\\Jura"_s, u"Jura"_s, u"y"_s}};
            },
            [&](const QString &key) {
                shown << key;
                return true;
            },
            {u"Mine"_s});
        form.Form_Load();
        CheckLibraryDialog dialog(form);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTreeWidget *list = dialog.findingsList();
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(0), frmCheckLibrary::kindCaption(LibraryCheck::Conflict));
        QCOMPARE(list->topLevelItem(1)->text(1), u"Jura"_s);

        const QRect row = list->visualItemRect(list->topLevelItem(1));
        // A double click is a press and release, then the second press.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(shown, QStringList{u"SceneryNew\\Jura"_s});

        QComboBox *scope = dialog.scopeBox();
        scope->setCurrentIndex(1);
        emit scope->activated(1);
        QCOMPARE(list->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestMapCheckViews)
#include "tst_mapcheckviews.moc"
