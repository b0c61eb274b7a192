// The views of the set dialog of "Create Scenery" and of the simulator chooser, bound to their
// logic and played with the keyboard and mouse.

#include "gui/scenerycfg/selectsetsview.h"
#include "gui/sims/simtypeview.h"
#include "scenerycfg/frmselectsets.h"
#include "sims/frmsimtype.h"
#include "sims/location.h"
#include "support/librarybuilder.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
frmSelectSets threeSets()
{
    frmSelectSets form(1);
    form.addSet(u"Europe"_s, 12);
    form.addSet(u"Asia"_s, 0);
    form.addSet(u"Africa"_s, 3);
    form.cboFLTItems = {u"Paris"_s, u"Rome"_s};
    form.Form_Activate();
    return form;
}

QStringList texts(const QListWidget *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}
} // namespace

class TestSceneryViews : public QObject
{
    Q_OBJECT

private slots:
    // The fields show the logic's values; ticks, the order, the cache field as typed and the
    // flight chosen reach the logic, and OK hands over the ticked sets.
    void selectSets()
    {
        frmSelectSets form = threeSets();
        SelectSetsView view(form);
        auto *list = view.findChild<QListWidget *>(u"trvSets"_s);
        auto *cache = view.findChild<QLineEdit *>(u"txtCache_Size"_s);
        auto *flight = view.findChild<QComboBox *>(u"cboFLT"_s);
        QCOMPARE(texts(list), (QStringList{u"Europe (12)"_s, u"Asia (0)"_s, u"Africa (3)"_s}));
        QCOMPARE(view.findChild<QLineEdit *>(u"txtTitle"_s)->text(), u"FS2002 World"_s);
        QCOMPARE(cache->displayText(), u"__50M"_s);
        QCOMPARE(flight->currentText(), QString()); // no start flight unless one is chosen

        list->item(1)->setCheckState(Qt::Checked);
        list->setCurrentRow(1);
        QTest::mouseClick(view.findChild<QPushButton *>(u"cmdMoveUp"_s), Qt::LeftButton);
        QCOMPARE(texts(list), (QStringList{u"Asia"_s, u"Europe (12)"_s, u"Africa (3)"_s}));
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        QCOMPARE(list->currentRow(), 0);

        cache->setFocus();
        QTest::keyClick(cache, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(cache, Qt::Key_Delete);
        QCOMPARE(form.txtCache_Size, u"____M"_s);
        QTest::keyClick(cache, Qt::Key_Home);
        QTest::keyClicks(cache, u"75"_s);
        QCOMPARE(form.cacheSize(), 75);

        flight->setCurrentIndex(flight->findText(u"Rome"_s));
        QCOMPARE(form.cboFLT, u"Rome"_s);
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
        QCOMPARE(view.result(), int(QDialog::Accepted));
        QCOMPARE(form.strSets, u"Asia\r\n"_s);
    }

    // Escape is Cancel: no set, whatever was ticked.
    void selectSetsEscape()
    {
        frmSelectSets form = threeSets();
        SelectSetsView view(form);
        view.findChild<QListWidget *>(u"trvSets"_s)->item(0)->setCheckState(Qt::Checked);
        QTest::keyClick(&view, Qt::Key_Escape);
        QCOMPARE(view.result(), int(QDialog::Rejected));
        QCOMPARE(form.strSets, QString());
    }

    // In CD mode only the sets are asked for: the "[General]" fields and the start flight are
    // not shown at all.
    void selectSetsCdMode()
    {
        frmSelectSets form(1);
        form.addSet(u"Europe"_s, 12);
        form.bCDMode = true;
        form.Form_Activate();
        SelectSetsView view(form);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.findChild<QListWidget *>(u"trvSets"_s)->isVisible());
        QVERIFY(!view.findChild<QGroupBox *>(u"grpGeneral"_s)->isVisible());
        QVERIFY(!view.findChild<QComboBox *>(u"cboFLT"_s)->isVisible());
        view.findChild<QListWidget *>(u"trvSets"_s)->item(0)->setCheckState(Qt::Checked);
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
        QCOMPARE(form.strSets, u"Europe\r\n"_s);
    }

    void simType_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint32>("chosen");
        QTest::newRow("OK") << true << 0;
        QTest::newRow("escape") << false << 1;
    }

    // Only installed simulators can be chosen; closing the window keeps the one it opened with.
    void simType()
    {
        QFETCH(bool, ok);
        QFETCH(qint32, chosen);
        TestEnv env;
        install(env, {{Sim::FS2000, u"C:\\FS2000"_s}, {Sim::FS2002, u"C:\\FS2002"_s}});
        frmSimType form;
        form.prepare(Location(env.context), 1);
        SimTypeView view(form);
        QVERIFY(!view.option(2)->isEnabled());
        QVERIFY(view.option(1)->isChecked());
        QCOMPARE(view.option(0)->text(), u"Microsoft Flight Simulator 2000 (Pro)"_s);
        QTest::mouseClick(view.option(0), Qt::LeftButton);
        if (ok)
            QTest::mouseClick(view.okButton(), Qt::LeftButton);
        else
            QTest::keyClick(&view, Qt::Key_Escape);
        QCOMPARE(form.chosen().value_or(-1), chosen);
    }
};

QTEST_MAIN(TestSceneryViews)
#include "tst_sceneryviews.moc"
