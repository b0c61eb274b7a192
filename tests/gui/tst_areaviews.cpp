// The views of the Exclude and Flatten editors: their forms bound to the editors' logic.

#include "areas/areadialogs.h"
#include "gui/app/guiuiport.h"
#include "gui/areas/areadialogviews.h"
#include "gui/areas/usrareawidget.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
// One row of the area editor as the view shows it.
struct RowShown
{
    QString hemisphere;
    QString degrees;
    QString minutes;
};

// Compares the rows the area editor shows with the expected ones; a difference names the row and
// the field.
bool sameRows(const UsrAreaWidget &area, const QList<RowShown> &expected)
{
    for (int row = 1; row <= int(expected.size()); ++row) {
        const RowShown &want = expected.at(row - 1);
        const QByteArray label = "row " + QByteArray::number(row);
        if (!QTest::qCompare(area.hemisphereBox(row)->currentText(), want.hemisphere,
                             (label + " hemisphere").constData(), "expected", __FILE__, __LINE__) ||
            !QTest::qCompare(area.degreesEdit(row)->displayText(), want.degrees,
                             (label + " degrees").constData(), "expected", __FILE__, __LINE__) ||
            !QTest::qCompare(area.minutesEdit(row)->displayText(), want.minutes,
                             (label + " minutes").constData(), "expected", __FILE__, __LINE__))
            return false;
    }
    return true;
}

QList<bool> classBoxesShown(const ExcludeDialog &dialog)
{
    QList<bool> boxes;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        boxes << dialog.classBox(i)->isChecked();
    return boxes;
}

QList<bool> classBoxesHeld(const frmExclude &form)
{
    QList<bool> boxes;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        boxes << form.isClassChecked(i);
    return boxes;
}

enum class Closing { Ok, Cancel, Delete, Escape };
} // namespace

class TestAreaViews : public QObject
{
    Q_OBJECT

private slots:
    // Only what the elevation field accepts is typed; OK stores the value in its canonical form,
    // Delete the request to delete, Cancel and Escape nothing.
    void flattenDialog_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed"); // at the end of the elevation
        QTest::addColumn<Closing>("closing");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("deleted");
        const QString area =
            u",N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;
        QTest::newRow("OK, canonical") << u"120"_s << QString() << Closing::Ok << u"120"_s + area << false;
        QTest::newRow("letters dropped")
            << QString() << u"12ab-3x"_s << Closing::Ok << u"12-3"_s + area << false;
        QTest::newRow("Cancel") << u"120"_s << u"5"_s << Closing::Cancel << QString() << false;
        QTest::newRow("Escape") << u"120"_s << QString() << Closing::Escape << QString() << false;
        QTest::newRow("Delete") << u"120"_s << QString() << Closing::Delete << QString() << true;
    }
    void flattenDialog()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(Closing, closing);
        QFETCH(QString, result);
        QFETCH(bool, deleted);
        frmFlatten form;
        form.strFlatten = stored + u",n47 30,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45"_s;
        form.open();
        FlattenDialog dialog(form);
        dialog.show();
        QCOMPARE(dialog.elevationEdit()->text(), stored);
        dialog.elevationEdit()->setFocus();
        dialog.elevationEdit()->end(false);
        QTest::keyClicks(dialog.elevationEdit(), typed);
        if (closing == Closing::Ok)
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        else if (closing == Closing::Cancel)
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        else if (closing == Closing::Delete)
            QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(form.hidden());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(form.strFlatten, result);
        QCOMPARE(form.bDelete, deleted);
    }

    // The class boxes show the stored classes and follow the logic's rules as the user clicks them
    // ("All" clears the others).
    void classBoxes_data()
    {
        QTest::addColumn<QString>("classes");
        QTest::addColumn<int>("clicked"); // -1: none
        QTest::addColumn<QList<bool>>("boxes");
        QTest::newRow("read in upper case")
            << u",OBJECTS,vors"_s << -1 << QList<bool>{true, true, false, false};
        QTest::newRow("All clears the others")
            << u",objects,vors"_s << 3 << QList<bool>{false, false, false, true};
    }
    void classBoxes()
    {
        QFETCH(QString, classes);
        QFETCH(int, clicked);
        QFETCH(QList<bool>, boxes);
        frmExclude form;
        form.strExclude = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s + classes;
        form.open();
        ExcludeDialog dialog(form);
        dialog.show();
        if (clicked >= 0)
            QTest::mouseClick(dialog.classBox(clicked), Qt::LeftButton);
        QCOMPARE(classBoxesShown(dialog), boxes);
        QCOMPARE(classBoxesHeld(form), boxes);
    }

    // A value loaded after the view exists is shown as well.
    void rowsShowTheLoadedValue()
    {
        frmFlatten form;
        FlattenDialog dialog(form);
        form.strFlatten = u"7,N5 7.25,W5 7.25,S46 0,E4 0,N1 0,W1 0,N2 0,W2 0"_s;
        form.open();
        QVERIFY(sameRows(*dialog.areaWidget(), {{u"N"_s, u"5_"_s, u"07.25"_s},
                                                {u"W"_s, u"005"_s, u"07.25"_s},
                                                {u"S"_s, u"46"_s, u"00.00"_s},
                                                {u"E"_s, u"004"_s, u"00.00"_s},
                                                {u"N"_s, u"1_"_s, u"00.00"_s},
                                                {u"W"_s, u"001"_s, u"00.00"_s},
                                                {u"N"_s, u"2_"_s, u"00.00"_s},
                                                {u"W"_s, u"002"_s, u"00.00"_s}}));
    }

    // The exclusion's rectangle has two points: the rows of the others are off.
    void exclusionHasTwoPoints()
    {
        frmExclude form;
        ExcludeDialog dialog(form);
        for (int row = 1; row <= AreaText::RowCount; ++row) {
            QCOMPARE(dialog.areaWidget()->degreesEdit(row)->isEnabled(), row <= 4);
            QCOMPARE(dialog.areaWidget()->hemisphereBox(row)->isEnabled(), row <= 4);
        }
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
            const QList<std::pair<QLineEdit *, QString>> typing{{area->degreesEdit(1), u"5"_s},
                                                                {area->minutesEdit(1), u"0725"_s},
                                                                {area->degreesEdit(2), u"7"_s}};
            for (const auto &[edit, keys] : typing) {
                edit->setFocus();
                edit->selectAll();
                QTest::keyClick(edit, Qt::Key_Backspace);
                edit->home(false);
                QTest::keyClicks(edit, keys);
            }
            area->hemisphereBox(3)->setFocus();
            QTest::keyClick(area->hemisphereBox(3), Qt::Key_Down);
            dialog->classBox(frmExclude::ClassAll)->click();
            dialog->okButton()->click();
        });
        const std::optional<QString> edited =
            editExclude(port, u"N47 30.5,W5 7.25,N46 0.00,W4 0.00,OBJECTS"_s);
        QCOMPARE(edited.value_or(u"(none)"_s), u"N5 07.25,W7 07.25,S46 00.00,W004 00.00,all"_s);
    }
};

QTEST_MAIN(TestAreaViews)
#include "tst_areaviews.moc"
