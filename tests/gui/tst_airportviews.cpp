// The airport directory's view, shown through the GUI's UI port and played with the mouse and the
// keyboard: a choice in a list fills the lists below it, and the airport taken is the result.

#include "airports/frmairportdir.h"
#include "gui/airports/airportdirdialog.h"
#include "gui/app/guiuiport.h"
#include "support/testenv.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// Europe > Germany > Hesse and Bavaria, each with its airports, and the dialog's logic loaded on them.
struct Directory
{
    Directory()
    {
        const QString folder = env.programFolder() + u"\\AirportDirectory\\"_s;
        env.writeFile(folder + u"AD_World.txt"_s, windowsText({u"Europe"_s}));
        env.writeFile(folder + u"AD_Europe.txt"_s, windowsText({u"Germany"_s}));
        env.writeFile(folder + u"AD_Germany.txt"_s, windowsText({u"Hesse"_s, u"Bavaria"_s}));
        env.writeFile(folder + u"Hesse.txt"_s, windowsText({u"EDDF Frankfurt Main"_s}));
        env.writeFile(folder + u"Bavaria.txt"_s, windowsText({u"EDDM Munich"_s, u"EDDN Nuremberg"_s}));
        form.Form_Load();
    }
    TestEnv env;
    const AirportDirectory directory{env.fs, env.programFolder()};
    frmAirportDir form{directory, env.ui};
};

// Shows the dialog and, once it is up, plays the user's part in it; it is cancelled when it stays open.
void showAndPlay(frmAirportDir &form, const std::function<void(AirportDirDialog &)> &play)
{
    registerAirportViews();
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<AirportDirDialog *>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "the airport directory is not shown");
        play(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    GuiUiPort port;
    port.showModal(form);
}

QPoint rowCentre(const QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

} // namespace

class TestAirportViews : public QObject
{
    Q_OBJECT

private slots:
    // Another state chosen with the keyboard shows its airports; a double click takes one.
    void stateThenDoubleClick()
    {
        Directory d;
        showAndPlay(d.form, [](AirportDirDialog &dialog) {
            QCOMPARE(dialog.airportList()->count(), 1);
            dialog.stateBox()->setFocus();
            QTest::keyClick(dialog.stateBox(), Qt::Key_Down);
            QCOMPARE(dialog.stateBox()->currentText(), u"Bavaria"_s);
            QCOMPARE(dialog.airportList()->count(), 2);
            QListWidget *list = dialog.airportList();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 1));
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(d.form.result(), u"EDDN Nuremberg"_s);
    }

    // The list taking the focus makes a row current without selecting it: OK then takes none.
    void focusAloneTakesNone()
    {
        Directory d;
        showAndPlay(d.form, [](AirportDirDialog &dialog) {
            QApplication::setActiveWindow(&dialog);
            dialog.stateBox()->setFocus();
            QTest::keyClick(dialog.stateBox(), Qt::Key_Tab);
            QVERIFY(dialog.airportList()->hasFocus());
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(d.form.result(), QString());
    }

    // Escape after an airport was clicked takes none.
    void escapeTakesNone()
    {
        Directory d;
        showAndPlay(d.form, [](AirportDirDialog &dialog) {
            QListWidget *list = dialog.airportList();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowCentre(list, 0));
            QCOMPARE(list->currentRow(), 0);
            QTest::keyClick(list, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
        });
        QCOMPARE(d.form.result(), QString());
    }
};

QTEST_MAIN(TestAirportViews)
#include "tst_airportviews.moc"
