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

namespace {
const QString ExclArea = QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00");
const QString FlatArea = QStringLiteral(
    "N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00");

QString viewBoxes(const ExcludeDialog &dialog)
{
    QString result;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        result.append(dialog.classBox(i)->isChecked() ? QLatin1Char('1') : QLatin1Char('0'));
    return result;
}

QString logicBoxes(const frmExclude &form)
{
    QString result;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        result.append(form.isClassChecked(i) ? QLatin1Char('1') : QLatin1Char('0'));
    return result;
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
}

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
    void exclusionModeDisablesUpperPoints();
    void buttons_data();
    void buttons();
    void escapeIsCancel();
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
    form.strFlatten = stored + QLatin1Char(',') + FlatArea;
    form.open(ui);
    FlattenDialog dialog(form);
    dialog.show();
    QLineEdit *edit = dialog.elevationEdit();
    QCOMPARE(edit->text(), stored);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(form.elevation(), shown);
}

void TestAreaViews::classBoxes_data()
{
    QTest::addColumn<QString>("classes");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QString>("result");
    QTest::newRow("all clears the others") << ",objects,vors" << 3 << "0001";
    QTest::newRow("vors clears all") << ",all" << 1 << "0100";
    QTest::newRow("third single makes all") << ",objects,ndbs" << 1 << "0001";
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
    QCOMPARE(viewBoxes(dialog), logicBoxes(form));
    QTest::mouseClick(dialog.classBox(clicked), Qt::LeftButton);
    QCOMPARE(logicBoxes(form), result);
    QCOMPARE(viewBoxes(dialog), result);
}

void TestAreaViews::rowsShowLoadedValue()
{
    ScriptedUi ui;
    frmFlatten form;
    FlattenDialog dialog(form);
    UsrAreaWidget *area = dialog.areaWidget();
    QCOMPARE(area->hemisphereBox(1)->currentIndex(), -1);
    QCOMPARE(area->degreesEdit(2)->displayText(), QStringLiteral("___"));
    // Loading after the view exists is shown as well.
    form.strFlatten = QStringLiteral("7,N5 7.25,W5 7.25,S46 0,E4 0,N1 0,W1 0,N2 0,W2 0");
    form.open(ui);
    QCOMPARE(dialog.elevationEdit()->text(), QStringLiteral("7"));
    QCOMPARE(area->hemisphereBox(1)->currentText(), QStringLiteral("N"));
    QCOMPARE(area->degreesEdit(1)->displayText(), QStringLiteral("5_"));
    QCOMPARE(area->minutesEdit(1)->displayText(), QStringLiteral("07.25"));
    QCOMPARE(area->degreesEdit(2)->displayText(), QStringLiteral("005"));
    QCOMPARE(area->hemisphereBox(3)->currentText(), QStringLiteral("S"));
    QCOMPARE(area->hemisphereBox(4)->currentText(), QStringLiteral("E"));
}

void TestAreaViews::typedRowsReachTheLogic()
{
    ScriptedUi ui;
    frmExclude form;
    form.strExclude = ExclArea + QStringLiteral(",objects");
    form.open(ui);
    ExcludeDialog dialog(form);
    dialog.show();
    UsrAreaWidget *area = dialog.areaWidget();
    retype(area->degreesEdit(1), QStringLiteral("5"));
    retype(area->minutesEdit(1), QStringLiteral("0725"));
    retype(area->degreesEdit(2), QStringLiteral("7"));
    area->hemisphereBox(3)->setFocus();
    QTest::keyClick(area->hemisphereBox(3), Qt::Key_Down);
    QCOMPARE(form.usrExclude.row(1).degrees, QStringLiteral("5_"));
    QCOMPARE(form.usrExclude.row(1).minutes, QStringLiteral("07.25"));
    QCOMPARE(form.usrExclude.row(3).hemisphere, QStringLiteral("S"));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    QCOMPARE(form.strExclude, QStringLiteral("N5 07.25,W7 15.00,S47 00.00,W121 45.00,objects"));
    QVERIFY(!dialog.isVisible());
}

void TestAreaViews::exclusionModeDisablesUpperPoints()
{
    frmExclude exclude;
    ExcludeDialog excludeDialog(exclude);
    frmFlatten flatten;
    FlattenDialog flattenDialog(flatten);
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        QCOMPARE(excludeDialog.areaWidget()->degreesEdit(row)->isEnabled(), row <= 4);
        QCOMPARE(excludeDialog.areaWidget()->hemisphereBox(row)->isEnabled(), row <= 4);
        QVERIFY(flattenDialog.areaWidget()->minutesEdit(row)->isEnabled());
    }
}

void TestAreaViews::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("ok") << "cmdOK" << QStringLiteral("120,") + FlatArea << false;
    QTest::newRow("cancel") << "cmdCancel" << "" << false;
    QTest::newRow("delete") << "cmdDelete" << "" << true;
}

void TestAreaViews::buttons()
{
    QFETCH(QString, button);
    QFETCH(QString, result);
    QFETCH(bool, deleted);
    ScriptedUi ui;
    frmFlatten form;
    form.strFlatten = QStringLiteral("120,n47 30,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45");
    form.open(ui);
    FlattenDialog dialog(form);
    dialog.show();
    auto *pushButton = dialog.findChild<QPushButton *>(button);
    QVERIFY(pushButton);
    QTest::mouseClick(pushButton, Qt::LeftButton);
    QVERIFY(form.hidden());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(form.strFlatten, result);
    QCOMPARE(form.bDelete, deleted);
}

void TestAreaViews::escapeIsCancel()
{
    ScriptedUi ui;
    frmExclude form;
    form.strExclude = ExclArea + QStringLiteral(",vors");
    form.open(ui);
    ExcludeDialog dialog(form);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(form.hidden());
    QVERIFY(!dialog.isVisible());
    QVERIFY(form.strExclude.isEmpty());
    QVERIFY(!form.bDelete);
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
    const std::optional<QString> edited =
        editExclude(port, QStringLiteral("N47 30.5,W5 7.25,N46 0.00,W4 0.00,OBJECTS"));
    QVERIFY(clicked);
    QVERIFY(edited.has_value());
    QCOMPARE(*edited, QStringLiteral("N47 30.50,W005 07.25,N46 00.00,W004 00.00,all"));
}

QTEST_MAIN(TestAreaViews)
#include "tst_areaviews.moc"
