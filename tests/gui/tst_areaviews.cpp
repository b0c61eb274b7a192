#include "areas/areadialogs.h"
#include "gui/app/guiuiport.h"
#include "gui/areas/areadialogviews.h"
#include "gui/areas/usrareawidget.h"
#include "support/scriptedui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
const QString ExclArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
const QString FlatArea = u"N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;

// "0101": the class boxes as the view and, after a "/", as the logic holds them.
QString boxes(const ExcludeDialog &dialog, const frmExclude &form)
{
    QString view, logic;
    for (int i = 0; i < frmExclude::ClassCount; ++i) {
        view += dialog.classBox(i)->isChecked() ? u'1' : u'0';
        logic += form.isClassChecked(i) ? u'1' : u'0';
    }
    return view + u'/' + logic;
}

// "N 5_ 07.25;..." per row as shown; a disabled row is marked "off".
QString rows(const UsrAreaWidget &area)
{
    QStringList out;
    for (int row = 1; row <= AreaText::RowCount; ++row)
        out << (area.degreesEdit(row)->isEnabled() && area.hemisphereBox(row)->isEnabled()
                    ? area.hemisphereBox(row)->currentText() + u' ' + area.degreesEdit(row)->displayText() +
                          u' ' + area.minutesEdit(row)->displayText()
                    : u"off"_s);
    return out.join(u';');
}

// Replaces a masked field's content as a user would: select everything, then type.
void retype(QLineEdit *edit, const QString &keys)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->home(false);
    QTest::keyClicks(edit, keys);
}
} // namespace

class TestAreaViews : public QObject
{
    Q_OBJECT

private slots:
    void elevationTyping_data();
    void elevationTyping();
    void classBoxes_data();
    void classBoxes();
    void rowsShowLoadedValue();
    void typedRowsReachTheLogic();
    void buttons_data();
    void buttons();
    void portShowsRegisteredView();
};

void TestAreaViews::elevationTyping_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letters dropped") << "" << "12ab-3x" << "12-3";
    QTest::newRow("only letters") << "120" << "m.," << "120";
    QTest::newRow("stored point survives") << "120.5" << "0" << "120.50";
}

void TestAreaViews::elevationTyping()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ScriptedUi ui;
    frmFlatten form;
    form.strFlatten = stored + u',' + FlatArea;
    form.open(ui);
    FlattenDialog dialog(form);
    dialog.show();
    QLineEdit *edit = dialog.elevationEdit();
    QCOMPARE(edit->text(), stored);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text() + u'/' + form.elevation(), shown + u'/' + shown);
}

void TestAreaViews::classBoxes_data()
{
    QTest::addColumn<QString>("classes");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QString>("result");
    QTest::newRow("upper case class read") << ",OBJECTS,vors" << -1 << "1100/1100";
    QTest::newRow("all clears the others") << ",objects,vors" << 3 << "0001/0001";
    QTest::newRow("vors clears all") << ",all" << 1 << "0100/0100";
    QTest::newRow("third single makes all") << ",objects,ndbs" << 1 << "0001/0001";
}

void TestAreaViews::classBoxes()
{
    QFETCH(QString, classes);
    QFETCH(int, clicked);
    QFETCH(QString, result);
    ScriptedUi ui;
    frmExclude form;
    form.strExclude = ExclArea + classes;
    form.open(ui);
    ExcludeDialog dialog(form);
    dialog.show();
    if (clicked >= 0)
        QTest::mouseClick(dialog.classBox(clicked), Qt::LeftButton);
    QCOMPARE(boxes(dialog, form), result);
}

// Loading after the view exists is shown as well; exclusion mode disables the upper points.
void TestAreaViews::rowsShowLoadedValue()
{
    ScriptedUi ui;
    frmFlatten form;
    FlattenDialog dialog(form);
    QCOMPARE(rows(*dialog.areaWidget()).section(u';', 1, 1), u" ___ __.__"_s);
    form.strFlatten = u"7,N5 7.25,W5 7.25,S46 0,E4 0,N1 0,W1 0,N2 0,W2 0"_s;
    form.open(ui);
    QCOMPARE(dialog.elevationEdit()->text(), u"7"_s);
    QCOMPARE(rows(*dialog.areaWidget()), u"N 5_ 07.25;W 005 07.25;S 46 00.00;E 004 00.00;"
                                         "N 1_ 00.00;W 001 00.00;N 2_ 00.00;W 002 00.00"_s);
    frmExclude exclude;
    ExcludeDialog excludeDialog(exclude);
    QCOMPARE(rows(*excludeDialog.areaWidget()).section(u';', 3), u" ___ __.__;off;off;off;off"_s);
}

void TestAreaViews::typedRowsReachTheLogic()
{
    ScriptedUi ui;
    frmExclude form;
    form.strExclude = ExclArea + u",objects"_s;
    form.open(ui);
    ExcludeDialog dialog(form);
    dialog.show();
    UsrAreaWidget *area = dialog.areaWidget();
    retype(area->degreesEdit(1), u"5"_s);
    retype(area->minutesEdit(1), u"0725"_s);
    retype(area->degreesEdit(2), u"7"_s);
    area->hemisphereBox(3)->setFocus();
    QTest::keyClick(area->hemisphereBox(3), Qt::Key_Down);
    QCOMPARE(form.usrExclude.row(1).degrees + u' ' + form.usrExclude.row(1).minutes + u' ' +
                 form.usrExclude.row(3).hemisphere, u"5_ 07.25 S"_s);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(form.strExclude, u"N5 07.25,W7 15.00,S47 00.00,W121 45.00,objects"_s);
    QVERIFY(!dialog.isVisible());
}

void TestAreaViews::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("ok gives the canonical text") << "cmdOK" << u"120,"_s + FlatArea << false;
    QTest::newRow("cancel") << "cmdCancel" << "" << false;
    QTest::newRow("escape is cancel") << "escape" << "" << false;
    QTest::newRow("delete") << "cmdDelete" << "" << true;
}

void TestAreaViews::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, result);
    QFETCH(bool, deleted);
    ScriptedUi ui;
    frmFlatten form;
    form.strFlatten = u"120,n47 30,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45"_s;
    form.open(ui);
    FlattenDialog dialog(form);
    dialog.show();
    if (button == u"escape"_s)
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(form.hidden());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(form.strFlatten, result);
    QCOMPARE(form.bDelete, deleted);
}

void TestAreaViews::portShowsRegisteredView()
{
    registerAreaViews();
    FileSystem fs;
    GuiUiPort port(fs);
    bool clicked = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<ExcludeDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->classBox(frmExclude::ClassAll)->click();
        dialog->okButton()->click();
        clicked = true;
    });
    const std::optional<QString> edited = editExclude(port, u"N47 30.5,W5 7.25,N46 0.00,W4 0.00,OBJECTS"_s);
    QVERIFY(clicked);
    QCOMPARE(edited.value_or(u"(none)"_s), u"N47 30.50,W005 07.25,N46 00.00,W004 00.00,all"_s);
}

QTEST_MAIN(TestAreaViews)
#include "tst_areaviews.moc"
