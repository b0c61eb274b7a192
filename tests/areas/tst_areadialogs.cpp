// The area editor and the Exclude and Flatten dialogs, opened from the details panel's buttons on
// a field's value: what they show, what the user's edits do, and the value they give back.

#include "areas/areadialogs.h"
#include "support/scriptedui.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString ExclArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
const QString FlatArea =
    u"N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;
// What the buttons give back when the field is to stay as it was.
const QString Unchanged = u"(unchanged)"_s;
const QStringList EmptyRows{u"__ __.__"_s, u"___ __.__"_s, u"__ __.__"_s, u"___ __.__"_s};

enum class Field { Degrees, Minutes };
using Boxes = QList<bool>; // Objects, VORs, NDBs, All
// The user's part in an open dialog.
using ExcludeAct = std::function<void(frmExclude &)>;
using FlattenAct = std::function<void(frmFlatten &)>;

// The enabled rows as the user sees them, "_" for an unfilled position: "N5_ 07.25".
QStringList shown(const usrArea &area)
{
    QStringList rows;
    for (int row = 1; row <= AreaText::RowCount && area.isRowEnabled(row); ++row)
        rows << area.row(row).hemisphere + area.row(row).degrees + u' ' + area.row(row).minutes;
    return rows;
}

Boxes classBoxes(const frmExclude &form)
{
    Boxes boxes;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        boxes << form.isClassChecked(i);
    return boxes;
}

// Rows 1 and 2 set to S1 00.00, E002 00.00 and the box VORs ticked.
void editExclude(frmExclude &form)
{
    form.usrExclude.setHemisphere(1, u"S"_s);
    form.usrExclude.setDegrees(1, u"1"_s);
    form.usrExclude.setMinutes(1, u"00.00"_s);
    form.usrExclude.setHemisphere(2, u"E"_s);
    form.usrExclude.setDegrees(2, u"002"_s);
    form.usrExclude.setMinutes(2, u"00.00"_s);
    form.setClassChecked(1, true);
}

// Every row emptied by the user.
void emptyRows(usrArea &area)
{
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        area.setHemisphere(row, QString());
        area.setDegrees(row, QString());
        area.setMinutes(row, QString());
    }
}

} // namespace

Q_DECLARE_METATYPE(Field)
Q_DECLARE_METATYPE(ExcludeAct)
Q_DECLARE_METATYPE(FlattenAct)

class TestAreaDialogs : public QObject
{
    Q_OBJECT

private slots:
    // Exclusion mode shows two points, flattening mode four; a value of two points leaves the
    // other rows empty.
    void editorModes()
    {
        usrArea editor;
        editor.setArea(FlatArea);
        editor.setIsExclude(true);
        QCOMPARE(shown(editor), FlatArea.split(u',').mid(0, 4));
        editor.setIsExclude(false);
        QCOMPARE(shown(editor), FlatArea.split(u','));
        editor.setArea(u"S1 00.00,E002 00.00,S3 00.00,E004 00.00"_s);
        QCOMPARE(shown(editor),
                 QStringList({u"S1_ 00.00"_s, u"E002 00.00"_s, u"S3_ 00.00"_s, u"E004 00.00"_s}) + EmptyRows);
    }

    // Degrees and minutes behave like masked fields: one character per position, a position
    // without a digit unfilled, text beyond the last position cut, a comma for the point.
    void fieldEdits_data()
    {
        QTest::addColumn<int>("row"); // odd rows latitudes, even rows longitudes
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("latitude, one digit") << 1 << Field::Degrees << u"5"_s << u"N5_ 30.00"_s;
        QTest::newRow("latitude, cut at two") << 3 << Field::Degrees << u"123"_s << u"N12 00.00"_s;
        QTest::newRow("longitude, a letter unfilled") << 4 << Field::Degrees << u"1x2"_s << u"W1_2 15.00"_s;
        QTest::newRow("minutes, a comma") << 2 << Field::Minutes << u"15,30"_s << u"W122 15.30"_s;
    }

    void fieldEdits()
    {
        QFETCH(int, row);
        QFETCH(Field, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        usrArea editor;
        editor.setArea(FlatArea);
        editor.setIsExclude(true);
        QSignalSpy changed(&editor, &usrArea::changed);
        if (field == Field::Degrees)
            editor.setDegrees(row, typed);
        else
            editor.setMinutes(row, typed);
        QCOMPARE(::shown(editor).at(row - 1), shown);
        QCOMPARE(changed.count(), 1);
    }

    // A latitude takes N or S, a longitude E or W; anything else is refused and changes nothing.
    void hemispheres()
    {
        usrArea editor;
        editor.setArea(FlatArea);
        editor.setIsExclude(true);
        QSignalSpy changed(&editor, &usrArea::changed);
        QVERIFY(!editor.setHemisphere(3, u"E"_s));
        QVERIFY(!editor.setHemisphere(4, u"N"_s));
        QCOMPARE(changed.count(), 0);
        QVERIFY(editor.setHemisphere(1, u"S"_s));
        QVERIFY(editor.setHemisphere(2, u"E"_s));
        QCOMPARE(shown(editor),
                 (QStringList{u"S47 30.00"_s, u"E122 15.00"_s, u"N47 00.00"_s, u"W122 15.00"_s}));
    }

    // One or two single classes, or All alone: a third single makes All, a single clears All.
    void classRules_data()
    {
        QTest::addColumn<QList<int>>("ticked"); // boxes ticked one after the other
        QTest::addColumn<Boxes>("boxes");
        QTest::newRow("All clears the others") << QList<int>{0, 1, 3} << Boxes{false, false, false, true};
        QTest::newRow("a single clears All") << QList<int>{3, 1} << Boxes{false, true, false, false};
        QTest::newRow("a third single makes All") << QList<int>{0, 2, 1} << Boxes{false, false, false, true};
    }

    void classRules()
    {
        QFETCH(QList<int>, ticked);
        QFETCH(Boxes, boxes);
        frmExclude form;
        QSignalSpy changed(&form, &frmExclude::classesChanged);
        for (const int box : ticked)
            form.setClassChecked(box, true);
        QCOMPARE(classBoxes(form), boxes);
        QVERIFY(!changed.isEmpty());
    }

    // The details panel's Exclude button opens the dialog on the field: its classes in the boxes,
    // its corners in the rows, in canonical form.
    void excludeOpens_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("empty") << QString() << Boxes{false, false, false, false} << EmptyRows;
        QTest::newRow("a class in capitals")
            << ExclArea + u",OBJECTS"_s << Boxes{true, false, false, false} << ExclArea.split(u',');
        QTest::newRow("All beside a class: the class")
            << ExclArea + u",all,vors"_s << Boxes{false, true, false, false} << ExclArea.split(u',');
        QTest::newRow("three items: the fourth row empty")
            << u"N47 30.00,W122 15.00,N47 00.00"_s << Boxes{false, false, false, false}
            << QStringList{u"N47 30.00"_s, u"W122 15.00"_s, u"N47 00.00"_s, u"___ __.__"_s};
    }

    void excludeOpens()
    {
        QFETCH(QString, field);
        QFETCH(Boxes, boxes);
        QFETCH(QStringList, rows);
        ScriptedUi ui;
        ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
            QVERIFY(!form.hidden());
            QCOMPARE(form.strExclude, QString()); // emptied once the dialog is open
            QCOMPARE(classBoxes(form), boxes);
            QCOMPARE(shown(form.usrExclude), rows);
            form.cmdCancel_Click();
        });
        QCOMPARE(::editExclude(ui, field).value_or(Unchanged), Unchanged);
        QVERIFY(ui.allShown());
    }

    void excludeCloses_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<ExcludeAct>("act");
        QTest::addColumn<QString>("result");
        const QString v = ExclArea + u",objects"_s;
        const ExcludeAct ok = [](frmExclude &form) { form.cmdOK_Click(); };
        QTest::newRow("OK: the classes in box order")
            << ExclArea + u",ndbs,objects"_s << ok << ExclArea + u",objects,ndbs"_s;
        QTest::newRow("Delete") << v << ExcludeAct([](frmExclude &form) { form.cmdDelete_Click(); })
                                << QString();
        QTest::newRow("edits and a third single class") << v << ExcludeAct([](frmExclude &form) {
            editExclude(form);
            form.setClassChecked(2, true);
            form.cmdOK_Click();
        }) << u"S1 00.00,E002 00.00,N47 00.00,W121 45.00,all"_s;
        QTest::newRow("edits of an empty field") << QString() << ExcludeAct([](frmExclude &form) {
            editExclude(form);
            form.cmdOK_Click();
        }) << u"S1 00.00,E002 00.00,,,vors"_s;
        QTest::newRow("the only class unticked") << v << ExcludeAct([](frmExclude &form) {
            form.setClassChecked(0, false);
            form.cmdOK_Click();
        }) << ExclArea;
    }

    void excludeCloses()
    {
        QFETCH(QString, field);
        QFETCH(ExcludeAct, act);
        QFETCH(QString, result);
        ScriptedUi ui;
        ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
            act(form);
            QVERIFY(form.hidden());
        });
        QCOMPARE(::editExclude(ui, field).value_or(Unchanged), result);
        QVERIFY(ui.allShown());
    }

    void flatten_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("elevation"); // shown on opening
        QTest::addColumn<QStringList>("rows");  // shown on opening
        QTest::addColumn<FlattenAct>("act");
        QTest::addColumn<QString>("result");
        QTest::newRow("Delete") << u"120,"_s + FlatArea << u"120"_s << FlatArea.split(u',')
                                << FlattenAct([](frmFlatten &form) { form.cmdDelete_Click(); }) << QString();
        QTest::newRow("the elevation alone")
            << u"120"_s << u"120"_s << EmptyRows + EmptyRows
            << FlattenAct([](frmFlatten &form) { form.cmdCancel_Click(); }) << Unchanged;
        QTest::newRow("edits, in canonical form")
            << u"-15,n47 30.5,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45"_s << u"-15"_s
            << QStringList{u"N47 30.50"_s, u"W122 15.00"_s, u"N47 00.00"_s, u"W122 15.00"_s,
                           u"N47 00.00"_s, u"W121 45.00"_s, u"N47 30.00"_s, u"W121 45.00"_s}
            << FlattenAct([](frmFlatten &form) {
                   form.editElevation(u"-150"_s);
                   form.usrFlatten.setDegrees(5, u"48"_s);
                   form.usrFlatten.setHemisphere(6, u"E"_s);
                   form.cmdOK_Click();
               })
            << u"-150,N47 30.50,W122 15.00,N47 00.00,W122 15.00,N48 00.00,E121 45.00,N47 30.00,W121 45.00"_s;
    }

    void flatten()
    {
        QFETCH(QString, field);
        QFETCH(QString, elevation);
        QFETCH(QStringList, rows);
        QFETCH(FlattenAct, act);
        QFETCH(QString, result);
        ScriptedUi ui;
        ui.expectForm<frmFlatten>(u"frmFlatten"_s, [&](frmFlatten &form) {
            QCOMPARE(form.elevation(), elevation);
            QCOMPARE(shown(form.usrFlatten), rows);
            act(form);
            QVERIFY(form.hidden());
        });
        QCOMPARE(editFlatten(ui, field).value_or(Unchanged), result);
        QVERIFY(ui.allShown());
    }

    // OK on an editor whose rows hold nothing stores no value: nothing at all when it opened on an
    // empty field (a ticked class or a typed elevation alone is no area), and when the user emptied
    // the rows of a stored value, the field is emptied.
    void emptyEditorConfirmed_data()
    {
        QTest::addColumn<bool>("exclude");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("result");
        QTest::newRow("exclude opened empty") << true << QString() << Unchanged;
        QTest::newRow("flatten opened empty") << false << QString() << Unchanged;
        QTest::newRow("exclude emptied") << true << ExclArea + u",vors"_s << QString();
        QTest::newRow("flatten emptied") << false << u"120,"_s + FlatArea << QString();
    }

    void emptyEditorConfirmed()
    {
        QFETCH(bool, exclude);
        QFETCH(QString, field);
        QFETCH(QString, result);
        ScriptedUi ui;
        if (exclude) {
            ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
                emptyRows(form.usrExclude);
                form.setClassChecked(0, true);
                form.cmdOK_Click();
            });
            QCOMPARE(::editExclude(ui, field).value_or(Unchanged), result);
        } else {
            ui.expectForm<frmFlatten>(u"frmFlatten"_s, [&](frmFlatten &form) {
                emptyRows(form.usrFlatten);
                form.editElevation(u"250"_s);
                form.cmdOK_Click();
            });
            QCOMPARE(editFlatten(ui, field).value_or(Unchanged), result);
        }
        QVERIFY(ui.allShown());
    }

    // A stored Exclude value opens whatever it holds: what the rows and boxes can show is shown,
    // the rest is named as unread and comes back unchanged on OK unless the user replaces it.
    void storedExcludeShownAndKept_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<ExcludeAct>("act");
        QTest::addColumn<QStringList>("unread");
        QTest::addColumn<bool>("replaced"); // the act replaced what was unread
        QTest::addColumn<QString>("afterOk");
        const QString three = u"N47 30.00,W122 15.00,N47 00.00"_s;
        const QString badCorner = three + u",Z121 45.00,vors"_s;
        const QString oldEmpty = u" __.__, __.__, __.__, __.__"_s;
        const ExcludeAct none = [](frmExclude &) {};
        QTest::newRow("an unreadable corner kept")
            << badCorner << none << QStringList{u"Z121 45.00"_s} << false << badCorner;
        QTest::newRow("an unreadable corner refilled") << badCorner << ExcludeAct([](frmExclude &form) {
            form.usrExclude.setHemisphere(4, u"W"_s);
            form.usrExclude.setDegrees(4, u"121"_s);
            form.usrExclude.setMinutes(4, u"45.00"_s);
        }) << QStringList{u"Z121 45.00"_s} << true << three + u",W121 45.00,vors"_s;
        QTest::newRow("an unknown class kept")
            << ExclArea + u",OBJ"_s << none << QStringList{u"OBJ"_s} << false << ExclArea + u",OBJ"_s;
        QTest::newRow("an unknown class replaced by a box")
            << ExclArea + u",OBJ"_s << ExcludeAct([](frmExclude &form) { form.setClassChecked(0, true); })
            << QStringList{u"OBJ"_s} << true << ExclArea + u",objects"_s;
        QTest::newRow("rows stored empty by an older version")
            << oldEmpty << none << QStringList(4, u" __.__"_s) << false << oldEmpty;
    }

    void storedExcludeShownAndKept()
    {
        QFETCH(QString, stored);
        QFETCH(ExcludeAct, act);
        QFETCH(QStringList, unread);
        QFETCH(bool, replaced);
        QFETCH(QString, afterOk);
        ScriptedUi ui; // a message box would fail the test: opening reports nothing
        ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
            QCOMPARE(form.unreadItems(), unread);
            act(form);
            QCOMPARE(form.unreadItems().isEmpty(), replaced);
            form.cmdOK_Click();
        });
        QCOMPARE(::editExclude(ui, stored).value_or(Unchanged), afterOk);
        QVERIFY(ui.allShown());
    }

    // The same for Flatten: the readable corners are shown, an unreadable one and items beyond the
    // eighth are kept.
    void storedFlattenShownAndKept()
    {
        const QString unreadable = u"120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,"
                                   u"N47 00.00,W121 45.00,Q47 30.00,W121 45.00,N1 00.00"_s;
        frmFlatten form;
        form.strFlatten = unreadable;
        form.open();
        QCOMPARE(form.elevation(), u"120"_s);
        QCOMPARE(form.usrFlatten.row(6).hemisphere, u"W"_s);
        QCOMPARE(form.usrFlatten.row(7), AreaText::emptyRow(7));
        QCOMPARE(form.usrFlatten.unreadItem(7), u"Q47 30.00"_s);
        QCOMPARE(form.unreadItems(), (QStringList{u"Q47 30.00"_s, u"N1 00.00"_s}));
        form.cmdOK_Click();
        QCOMPARE(form.strFlatten, unreadable);
    }

    // Of an edit of the elevation only the digits and "-" it inserted stay, and the cursor stays
    // after them.
    void elevationEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("newCursor");
        QTest::newRow("a letter inside") << u"12"_s << u"1a2"_s << 2 << u"12"_s << 1;
        QTest::newRow("a mixed paste") << QString() << u"a5b-"_s << 4 << u"5-"_s << 2;
        QTest::newRow("a letter repeated") << u"aa"_s << u"aaa"_s << 3 << u"aa"_s << 2;
    }

    void elevationEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(QString, text);
        QFETCH(int, newCursor);
        const ElevationEdit edit = filterElevationEdit(before, after, cursor);
        QCOMPARE(edit.text, text);
        QCOMPARE(edit.cursor, newCursor);
    }
};

QTEST_GUILESS_MAIN(TestAreaDialogs)
#include "tst_areadialogs.moc"
