#include "areas/areadialogs.h"
#include "platform/lmerror.h"
#include "support/scriptedui.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QString ExclArea = QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00");
const QString FlatArea = QStringLiteral(
    "N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00");
const QString WrongCoordinateMessage = QStringLiteral(".Form_Load\nError: -2147221503\nWrong coordinate");

QString boxes(const frmExclude &form)
{
    QString result;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        result.append(form.isClassChecked(i) ? QLatin1Char('1') : QLatin1Char('0'));
    return result;
}

bool rowsEmpty(const usrArea &editor)
{
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        if (!(editor.row(row) == AreaText::emptyRow(row)))
            return false;
    }
    return true;
}
}

class TestAreaDialogs : public QObject
{
    Q_OBJECT

private slots:
    void editorModes()
    {
        usrArea editor;
        editor.setArea(FlatArea);
        QCOMPARE(editor.Area(), FlatArea);
        QVERIFY(editor.isRowEnabled(8));
        editor.setIsExclude(true);
        QCOMPARE(editor.Area(), FlatArea.section(QLatin1Char(','), 0, 3));
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(editor.isRowEnabled(row), row <= 4);
        editor.setIsExclude(false);
        QCOMPARE(editor.Area(), FlatArea);
        QVERIFY(editor.isRowEnabled(5));
        // Four items leave nothing of an earlier value in the upper rows.
        editor.setArea(QStringLiteral("S1 00.00,E002 00.00,S3 00.00,E004 00.00"));
        for (int row = 5; row <= 8; ++row)
            QCOMPARE(editor.row(row), AreaText::emptyRow(row));
    }

    void editorFields_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("degreesTyped");
        QTest::addColumn<QString>("minutesTyped");
        QTest::addColumn<QString>("degrees");
        QTest::addColumn<QString>("minutes");
        QTest::newRow("latitude, one digit") << 1 << "5" << "07.25" << "5_" << "07.25";
        QTest::newRow("latitude, cut at two") << 3 << "123" << "30.5" << "12" << "30.5_";
        QTest::newRow("longitude, three") << 2 << "007" << "15,30" << "007" << "15.30";
        QTest::newRow("longitude, letters unfilled") << 4 << "1x2" << "a0.00" << "1_2" << "_0.00";
        QTest::newRow("cleared") << 6 << "" << "" << "___" << "__.__";
    }

    void editorFields()
    {
        QFETCH(int, row);
        QFETCH(QString, degreesTyped);
        QFETCH(QString, minutesTyped);
        QFETCH(QString, degrees);
        QFETCH(QString, minutes);
        usrArea editor;
        editor.setArea(FlatArea);
        QSignalSpy changed(&editor, &usrArea::changed);
        editor.setDegrees(row, degreesTyped);
        editor.setMinutes(row, minutesTyped);
        QCOMPARE(editor.row(row).degrees, degrees);
        QCOMPARE(editor.row(row).minutes, minutes);
        QVERIFY(changed.count() >= 1);
        // Other rows are untouched.
        QCOMPARE(editor.row(row == 1 ? 2 : 1), AreaText::rowsFromText(FlatArea).at(row == 1 ? 1 : 0));
    }

    void editorHemisphereChoices_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("S on latitude") << 1 << "S" << true << "S";
        QTest::newRow("E on longitude") << 2 << "E" << true << "E";
        QTest::newRow("E on latitude") << 3 << "E" << false << "N";
        QTest::newRow("N on longitude") << 8 << "N" << false << "W";
    }

    void editorHemisphereChoices()
    {
        QFETCH(int, row);
        QFETCH(QString, choice);
        QFETCH(bool, accepted);
        QFETCH(QString, shown);
        usrArea editor;
        editor.setArea(FlatArea);
        QCOMPARE(editor.setHemisphere(row, choice), accepted);
        QCOMPARE(editor.row(row).hemisphere, shown);
    }

    void editorFailedLoadKeepsRows()
    {
        usrArea editor;
        editor.setArea(FlatArea);
        QVERIFY_THROWS_EXCEPTION(LmError, editor.setArea(QStringLiteral("N47 30.00,W122 15.00,Q47 00.00,W121 45.00")));
        QCOMPARE(editor.Area(), FlatArea);
        QVERIFY_THROWS_EXCEPTION(LmError, editor.row(9));
        QVERIFY_THROWS_EXCEPTION(LmError, editor.setDegrees(0, QStringLiteral("1")));
    }

    void classRules_data()
    {
        // Clicks as "<box><+|->", applied in order; the result as four 0/1 in box order.
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("result");
        QTest::newRow("one") << "1+" << "0100";
        QTest::newRow("all clears the others") << "0+ 1+ 3+" << "0001";
        QTest::newRow("vors clears all") << "3+ 1+" << "0100";
        QTest::newRow("third single makes all") << "0+ 2+ 1+" << "0001";
        QTest::newRow("all unchecked stays clear") << "0+ 3+ 3-" << "0000";
        QTest::newRow("unchecking a single") << "0+ 1+ 0-" << "0100";
        QTest::newRow("after all, three singles again") << "3+ 0+ 1+ 2+" << "0001";
    }

    void classRules()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, result);
        frmExclude form;
        QSignalSpy changed(&form, &frmExclude::classesChanged);
        for (const QString &click : clicks.split(QLatin1Char(' ')))
            form.setClassChecked(click.left(1).toInt(), click.at(1) == QLatin1Char('+'));
        QCOMPARE(boxes(form), result);
        QVERIFY(changed.count() >= 1);
    }

    void openExclude_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("classes");
        QTest::addColumn<QString>("area");  // "" when the rows stay empty
        QTest::addColumn<bool>("reported");
        QTest::newRow("empty") << "" << "0000" << "" << false;
        QTest::newRow("OBJECTS") << ExclArea + QStringLiteral(",OBJECTS") << "1000" << ExclArea << false;
        QTest::newRow("vors, ndbs") << ExclArea + QStringLiteral(",vors,ndbs") << "0110" << ExclArea << false;
        QTest::newRow("All") << ExclArea + QStringLiteral(",All") << "0001" << ExclArea << false;
        QTest::newRow("all and a single") << ExclArea + QStringLiteral(",all,vors") << "0100" << ExclArea << false;
        QTest::newRow("abbreviation checks nothing") << ExclArea + QStringLiteral(",OBJ") << "0000" << ExclArea << false;
        QTest::newRow("short forms") << "n47 30.5,w5 7.25,N46 0,W4 0,ndbs" << "0010"
                                     << "N47 30.50,W005 07.25,N46 00.00,W004 00.00" << false;
        QTest::newRow("three items") << "N47 30.00,W122 15.00,N47 00.00" << "0000" << "" << true;
        QTest::newRow("bad item") << "N47 30.00,W122 15.00,N47 00.00,Z121 45.00,vors" << "0100" << "" << true;
    }

    void openExclude()
    {
        QFETCH(QString, value);
        QFETCH(QString, classes);
        QFETCH(QString, area);
        QFETCH(bool, reported);
        ScriptedUi ui;
        if (reported)
            ui.expectMessage(WrongCoordinateMessage, QStringLiteral("Lumivale"), UiPort::Answer::Ok, UiPort::Icon::Critical);
        frmExclude form;
        form.bDelete = true;
        form.strExclude = value;
        form.open(ui);
        QVERIFY(ui.allShown());
        QCOMPARE(boxes(form), classes);
        QVERIFY(form.strExclude.isEmpty());
        QVERIFY(!form.bDelete);
        QVERIFY(!form.hidden());
        QVERIFY(!form.usrExclude.isRowEnabled(5));
        if (area.isEmpty())
            QVERIFY(rowsEmpty(form.usrExclude));
        else
            QCOMPARE(form.usrExclude.Area(), area);
    }

    void excludeOk_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("result");
        QTest::newRow("unchanged") << ExclArea + QStringLiteral(",objects") << ExclArea + QStringLiteral(",objects");
        QTest::newRow("canonical, lower-case class")
            << "N47 30.5,W5 7.25,N46 0.00,W4 0.00,VORS"
            << "N47 30.50,W005 07.25,N46 00.00,W004 00.00,vors";
        QTest::newRow("classes in box order") << ExclArea + QStringLiteral(",ndbs,objects")
                                              << ExclArea + QStringLiteral(",objects,ndbs");
        QTest::newRow("all") << ExclArea + QStringLiteral(",ALL") << ExclArea + QStringLiteral(",all");
    }

    void excludeOk()
    {
        QFETCH(QString, value);
        QFETCH(QString, result);
        ScriptedUi ui;
        frmExclude form;
        form.strExclude = value;
        form.open(ui);
        form.cmdOK_Click();
        QCOMPARE(form.strExclude, result);
        QVERIFY(!CheckErrorExclude(form.strExclude));
        QVERIFY(form.hidden());
    }

    void excludeOkWithoutClass()
    {
        ScriptedUi ui;
        frmExclude form;
        form.open(ui);
        QVERIFY(rowsEmpty(form.usrExclude));
        form.cmdOK_Click();
        QVERIFY(!form.strExclude.isEmpty());
        QCOMPARE(form.strExclude.count(QLatin1Char(',')), 3);
        QVERIFY(CheckErrorExclude(form.strExclude));

        // Filled rows but still no class: the coordinates pass, the value as a whole does not.
        form.strExclude = ExclArea + QStringLiteral(",objects");
        form.open(ui);
        form.setClassChecked(0, false);
        form.cmdOK_Click();
        QCOMPARE(form.strExclude, ExclArea);
        QVERIFY(CheckErrorExclude(form.strExclude));
    }

    void panelExclude_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("result");
        const QString value = ExclArea + QStringLiteral(",objects");
        QTest::newRow("ok") << value << "ok" << true << value;
        QTest::newRow("cancel") << value << "cancel" << false << "";
        QTest::newRow("closed") << value << "none" << false << "";
        QTest::newRow("delete") << value << "delete" << true << "";
        QTest::newRow("ok on empty field") << "" << "ok-edit" << true << "S1 00.00,E002 00.00, __.__, __.__,vors";
        QTest::newRow("edit and all") << value << "ok-edit" << true
                                      << "S1 00.00,E002 00.00,N47 00.00,W121 45.00,all";
        QTest::newRow("delete on empty field") << "" << "delete" << true << "";
    }

    void panelExclude()
    {
        QFETCH(QString, field);
        QFETCH(QString, action);
        QFETCH(bool, changes);
        QFETCH(QString, result);
        ScriptedUi ui;
        ui.expectForm<frmExclude>(QStringLiteral("frmExclude"), [&](frmExclude &form) {
            QVERIFY(form.strExclude.isEmpty());
            if (action == QStringLiteral("ok"))
                form.cmdOK_Click();
            else if (action == QStringLiteral("cancel"))
                form.cmdCancel_Click();
            else if (action == QStringLiteral("delete"))
                form.cmdDelete_Click();
            else if (action == QStringLiteral("ok-edit")) {
                form.usrExclude.setHemisphere(1, QStringLiteral("s"));
                form.usrExclude.setDegrees(1, QStringLiteral("1"));
                form.usrExclude.setMinutes(1, QStringLiteral("00.00"));
                form.usrExclude.setHemisphere(2, QStringLiteral("E"));
                form.usrExclude.setDegrees(2, QStringLiteral("002"));
                form.usrExclude.setMinutes(2, QStringLiteral("00.00"));
                // With "objects" already checked these make all three single classes: "all".
                form.setClassChecked(1, true);
                form.setClassChecked(2, form.isClassChecked(0));
                form.cmdOK_Click();
            }
        });
        const std::optional<QString> edited = editExclude(ui, field);
        QVERIFY(ui.allShown());
        QCOMPARE(edited.has_value(), changes);
        if (changes)
            QCOMPARE(*edited, result);
    }

    void panelExcludeReportsUnloadableValue()
    {
        ScriptedUi ui;
        ui.expectMessage(WrongCoordinateMessage, QStringLiteral("Lumivale"));
        ui.expectForm<frmExclude>(QStringLiteral("frmExclude"), [](frmExclude &form) {
            QVERIFY(rowsEmpty(form.usrExclude));
            form.cmdCancel_Click();
        });
        QVERIFY(!editExclude(ui, QStringLiteral("garbage,objects")).has_value());
        QVERIFY(ui.allShown());
    }

    void openFlatten()
    {
        ScriptedUi ui;
        frmFlatten form;
        form.bDelete = true;
        form.strFlatten = QStringLiteral("120,") + FlatArea;
        form.open(ui);
        QCOMPARE(form.elevation(), QStringLiteral("120"));
        QVERIFY(form.strFlatten.isEmpty());
        QVERIFY(!form.bDelete);
        for (int row = 1; row <= 8; ++row)
            QVERIFY(form.usrFlatten.isRowEnabled(row));
        QCOMPARE(form.usrFlatten.row(7), (AreaRow{QStringLiteral("N"), QStringLiteral("47"), QStringLiteral("30.00")}));
        QCOMPARE(form.usrFlatten.row(8), (AreaRow{QStringLiteral("W"), QStringLiteral("121"), QStringLiteral("45.00")}));
        form.cmdOK_Click();
        QCOMPARE(form.strFlatten, QStringLiteral("120,") + FlatArea);
        QVERIFY(!CheckErrorFlatten(form.strFlatten));
    }

    void openFlattenWithoutComma()
    {
        ScriptedUi ui;
        ui.expectMessage(WrongCoordinateMessage, QStringLiteral("Lumivale"));
        frmFlatten form;
        form.strFlatten = QStringLiteral("120");
        form.open(ui);
        QVERIFY(ui.allShown());
        QCOMPARE(form.elevation(), QStringLiteral("120"));
        QVERIFY(rowsEmpty(form.usrFlatten));
    }

    void flattenOkAfterEdits()
    {
        ScriptedUi ui;
        frmFlatten form;
        form.strFlatten = QStringLiteral("-15,n47 30.5,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45");
        form.open(ui);
        form.editElevation(QStringLiteral("-150"));
        form.usrFlatten.setDegrees(5, QStringLiteral("48"));
        form.usrFlatten.setHemisphere(6, QStringLiteral("E"));
        form.cmdOK_Click();
        QCOMPARE(form.strFlatten,
                 QStringLiteral("-150,N47 30.50,W122 15.00,N47 00.00,W122 15.00,N48 00.00,E121 45.00,N47 30.00,W121 45.00"));
        QVERIFY(!CheckErrorFlatten(form.strFlatten));
    }

    void panelFlatten_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("result");
        const QString value = QStringLiteral("120,") + FlatArea;
        QTest::newRow("ok") << value << "ok" << true << value;
        QTest::newRow("cancel") << value << "cancel" << false << "";
        QTest::newRow("delete") << value << "delete" << true << "";
        QTest::newRow("new elevation") << value << "elevation" << true << QStringLiteral("-20,") + FlatArea;
    }

    void panelFlatten()
    {
        QFETCH(QString, field);
        QFETCH(QString, action);
        QFETCH(bool, changes);
        QFETCH(QString, result);
        ScriptedUi ui;
        ui.expectForm<frmFlatten>(QStringLiteral("frmFlatten"), [&](frmFlatten &form) {
            QVERIFY(form.strFlatten.isEmpty());
            if (action == QStringLiteral("ok"))
                form.cmdOK_Click();
            else if (action == QStringLiteral("cancel"))
                form.cmdCancel_Click();
            else if (action == QStringLiteral("delete"))
                form.cmdDelete_Click();
            else if (action == QStringLiteral("elevation")) {
                form.editElevation(QString());
                form.editElevation(QStringLiteral("-2x0m"));
                form.cmdOK_Click();
            }
        });
        const std::optional<QString> edited = editFlatten(ui, field);
        QVERIFY(ui.allShown());
        QCOMPARE(edited.has_value(), changes);
        if (changes)
            QCOMPARE(*edited, result);
    }

    void elevationEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("resultCursor");
        QTest::newRow("digit typed") << "12" << "123" << 3 << "123" << 3;
        QTest::newRow("letter typed at end") << "12" << "12a" << 3 << "12" << 2;
        QTest::newRow("letter typed inside") << "12" << "1a2" << 2 << "12" << 1;
        QTest::newRow("letter replacing a selection") << "120" << "1x0" << 2 << "120" << 1;
        QTest::newRow("minus typed first") << "5" << "-5" << 1 << "-5" << 1;
        QTest::newRow("mixed paste") << "" << "a5b-" << 4 << "5-" << 2;
        QTest::newRow("mixed paste inside") << "10" << "1x2y0" << 4 << "120" << 2;
        QTest::newRow("stored point kept") << "120.5" << "120.50" << 6 << "120.50" << 6;
        QTest::newRow("deleting") << "120" << "10" << 1 << "10" << 1;
        QTest::newRow("same letter repeated") << "aa" << "aaa" << 3 << "aa" << 2;
    }

    void elevationEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(QString, result);
        QFETCH(int, resultCursor);
        const ElevationEdit edit = filterElevationEdit(before, after, cursor);
        QCOMPARE(edit.text, result);
        QCOMPARE(int(edit.cursor), resultCursor);

        ScriptedUi ui;
        frmFlatten form;
        form.strFlatten = before + QLatin1Char(',') + FlatArea;
        form.open(ui);
        QCOMPARE(form.elevation(), before);
        form.editElevation(after, cursor);
        QCOMPARE(form.elevation(), result);
    }
};

QTEST_GUILESS_MAIN(TestAreaDialogs)
#include "tst_areadialogs.moc"
