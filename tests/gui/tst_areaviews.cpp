#include "areas/areadialogs.h"
#include "gui/app/guiuiport.h"
#include "gui/areas/areadialogviews.h"
#include "gui/areas/usrareawidget.h"
#include "support/scriptedui.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
// "N 5_ 07.25;..." per row as shown; a disabled row is "off".
QString rows(const UsrAreaWidget &area)
{
    QStringList out;
    for (int row = 1; row <= AreaText::RowCount; ++row)
        out << (area.degreesEdit(row)->isEnabled() && area.hemisphereBox(row)->isEnabled()
                    ? u"%1 %2 %3"_s.arg(area.hemisphereBox(row)->currentText(), area.degreesEdit(row)->displayText(),
                                        area.minutesEdit(row)->displayText())
                    : u"off"_s);
    return out.join(u';');
}
} // namespace

class TestAreaViews : public QObject
{
    Q_OBJECT
    ScriptedUi ui;

private slots:
    void flattenDialog_data()
    {
        QTest::addColumn<QString>("elevation"); // stored
        QTest::addColumn<QString>("typed");     // at the end of the elevation
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected"); // strFlatten, and "delete" when bDelete is set
        const QString area = u",N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;
        QTest::newRow("OK gives the canonical text") << "120" << "" << "cmdOK" << u"120"_s + area;
        QTest::newRow("letters dropped") << "" << "12ab-3x" << "cmdOK" << u"12-3"_s + area;
        QTest::newRow("stored point survives") << "120.5" << "0" << "cmdOK" << u"120.50"_s + area;
        QTest::newRow("cancel") << "120" << "5" << "cmdCancel" << "";
        QTest::newRow("escape is cancel") << "120" << "" << "escape" << "";
        QTest::newRow("delete") << "120" << "" << "cmdDelete" << " delete";
    }
    void flattenDialog()
    {
        QFETCH(QString, elevation);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, expected);
        frmFlatten form;
        form.strFlatten = elevation + u",n47 30,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45"_s;
        form.open();
        FlattenDialog dialog(form);
        dialog.show();
        QCOMPARE(dialog.elevationEdit()->text(), elevation);
        dialog.elevationEdit()->setFocus();
        dialog.elevationEdit()->end(false);
        QTest::keyClicks(dialog.elevationEdit(), typed);
        if (button == u"escape"_s)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(form.hidden() && !dialog.isVisible());
        QCOMPARE(form.strFlatten + (form.bDelete ? u" delete"_s : QString()), expected);
    }

    void classBoxes_data()
    {
        QTest::addColumn<QString>("classes");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QString>("result"); // the boxes as the view, then as the logic holds them
        QTest::newRow("upper case class read") << ",OBJECTS,vors" << -1 << "1100 1100";
        QTest::newRow("all clears the others") << ",objects,vors" << 3 << "0001 0001";
        QTest::newRow("vors clears all") << ",all" << 1 << "0100 0100";
        QTest::newRow("third single makes all") << ",objects,ndbs" << 1 << "0001 0001";
    }
    void classBoxes()
    {
        QFETCH(QString, classes);
        QFETCH(int, clicked);
        QFETCH(QString, result);
        frmExclude form;
        form.strExclude = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s + classes;
        form.open();
        ExcludeDialog dialog(form);
        dialog.show();
        if (clicked >= 0)
            QTest::mouseClick(dialog.classBox(clicked), Qt::LeftButton);
        QString view, logic;
        for (int i = 0; i < frmExclude::ClassCount; ++i) {
            view += dialog.classBox(i)->isChecked() ? u'1' : u'0';
            logic += form.isClassChecked(i) ? u'1' : u'0';
        }
        QCOMPARE(view + u' ' + logic, result);
    }

    // Loading after the view exists is shown as well; exclusion mode disables the upper points.
    void rowsShowLoadedValue()
    {
        frmFlatten form;
        FlattenDialog dialog(form);
        form.strFlatten = u"7,N5 7.25,W5 7.25,S46 0,E4 0,N1 0,W1 0,N2 0,W2 0"_s;
        form.open();
        QCOMPARE(rows(*dialog.areaWidget()),
                 u"N 5_ 07.25;W 005 07.25;S 46 00.00;E 004 00.00;N 1_ 00.00;W 001 00.00;N 2_ 00.00;W 002 00.00"_s);
        frmExclude exclude;
        ExcludeDialog excludeDialog(exclude);
        QCOMPARE(rows(*excludeDialog.areaWidget()).section(u';', 3), u" ___ __.__;off;off;off;off"_s);
    }

    // A corner the row cannot show leaves the row empty but marked, names the stored item in its
    // tooltip and in the dialog's note; filling the row in takes both away.
    void unreadCornerMarked()
    {
        frmExclude form;
        form.strExclude = u"N47 30.00,W122 15.00,N47 00.00,Z121 45.00,vors"_s;
        form.open();
        ExcludeDialog dialog(form);
        dialog.show();
        UsrAreaWidget *area = dialog.areaWidget();
        const QColor ordinary = area->degreesEdit(3)->palette().color(QPalette::Base);
        QVERIFY(area->degreesEdit(4)->palette().color(QPalette::Base) != ordinary);
        QVERIFY(area->minutesEdit(4)->toolTip().contains(u"Z121 45.00"_s));
        QVERIFY(dialog.unreadNote()->isVisible());
        QVERIFY(dialog.unreadNote()->text().contains(u"Z121 45.00"_s));
        area->hemisphereBox(4)->setFocus();
        QTest::keyClick(area->hemisphereBox(4), Qt::Key_Down);
        QCOMPARE(area->degreesEdit(4)->palette().color(QPalette::Base), ordinary);
        QVERIFY(!area->minutesEdit(4)->toolTip().contains(u"Z121 45.00"_s));
        QVERIFY(!dialog.unreadNote()->isVisible());
    }

    // The port finds the registered view; fields retyped as a user would (select everything, then
    // type) and the class boxes reach the logic's text.
    void portShowsRegisteredView()
    {
        registerAreaViews();
        FileSystem fs;
        GuiUiPort port(fs);
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<ExcludeDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            UsrAreaWidget *area = dialog->areaWidget();
            for (auto [edit, keys] : {std::pair{area->degreesEdit(1), "5"}, {area->minutesEdit(1), "0725"}, {area->degreesEdit(2), "7"}}) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Backspace);
                edit->home(false);
                QTest::keyClicks(edit, QLatin1StringView(keys));
            }
            area->hemisphereBox(3)->setFocus();
            QTest::keyClick(area->hemisphereBox(3), Qt::Key_Down);
            dialog->classBox(frmExclude::ClassAll)->click();
            dialog->okButton()->click();
        });
        const std::optional<QString> edited = editExclude(port, u"N47 30.5,W5 7.25,N46 0.00,W4 0.00,OBJECTS"_s);
        QCOMPARE(edited.value_or(u"(none)"_s), u"N5 07.25,W7 07.25,S46 00.00,W004 00.00,all"_s);
    }
};

QTEST_MAIN(TestAreaViews)
#include "tst_areaviews.moc"
