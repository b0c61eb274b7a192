#include "areas/areadialogs.h"
#include "support/scriptedui.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString ExclArea = u"N47 30.00,W122 15.00,N47 00.00,W121 45.00"_s;
const QString FlatArea = u"N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s;
const QString Empty4 = u"__ __.__,___ __.__,__ __.__,___ __.__"_s;

// The enabled rows as the user sees them, "_" for unfilled positions: "N5_ 07.25,W122 15.00".
QString shown(const usrArea &area)
{
    QStringList items;
    for (int row = 1; row <= AreaText::RowCount && area.isRowEnabled(row); ++row)
        items << area.row(row).hemisphere + area.row(row).degrees + u' ' + area.row(row).minutes;
    return items.join(u',');
}

QString classBoxes(const frmExclude &form)
{
    QString result;
    for (int i = 0; i < frmExclude::ClassCount; ++i)
        result += form.isClassChecked(i) ? u'1' : u'0';
    return result;
}

// Plays the user's part, steps separated by ";": "ok", "cancel", "delete"; "h3=E", "d3=47",
// "m3=30.00" in row 3; "x=1" / "x=0" exclusion mode on / off; "a=<text>" loads the area;
// "c1=+" / "c1=-" class box 1; "e=-150" the elevation. False when a hemisphere was refused.
bool play(usrArea &area, AreaDialogLogic *form, const QString &script)
{
    bool accepted = true;
    for (const QString &step : script.split(u';', Qt::SkipEmptyParts)) {
        const QChar what = step.at(0);
        const int n = step.mid(1).section(u'=', 0, 0).toInt();
        const QString value = step.section(u'=', 1);
        if (step == u"ok") form->cmdOK_Click();
        else if (step == u"cancel") form->cmdCancel_Click();
        else if (step == u"delete") form->cmdDelete_Click();
        else if (what == u'h') accepted = area.setHemisphere(n, value) && accepted;
        else if (what == u'd') area.setDegrees(n, value);
        else if (what == u'm') area.setMinutes(n, value);
        else if (what == u'x') area.setIsExclude(value == u"1");
        else if (what == u'a') area.setArea(value);
        else if (what == u'c') static_cast<frmExclude *>(form)->setClassChecked(n, value == u"+");
        else if (what == u'e') static_cast<frmFlatten *>(form)->editElevation(value);
    }
    return accepted;
}
// Runs a row of exclude_data or flatten_data through the details panel's button.
template<typename Form> void panel()
{
    QFETCH(QString, field);
    QFETCH(QString, script);
    QFETCH(QString, opened);
    QFETCH(QString, result);
    constexpr bool exclude = std::is_same_v<Form, frmExclude>;
    ScriptedUi ui;
    ui.expectForm<Form>(exclude ? u"frmExclude"_s : u"frmFlatten"_s, [&](Form &form) {
        usrArea *area = nullptr;
        QString state; // the string is empty once the dialog is open
        if constexpr (exclude)
            area = &form.usrExclude, state = form.strExclude + classBoxes(form);
        else
            area = &form.usrFlatten, state = form.strFlatten + form.elevation();
        QVERIFY(!form.bDelete && !form.hidden());
        QCOMPARE(state + u' ' + shown(*area), opened);
        play(*area, &form, script);
        QCOMPARE(form.hidden(), !script.isEmpty());
    });
    QCOMPARE((exclude ? editExclude(ui, field) : editFlatten(ui, field)).value_or(u"-"_s), result);
    QVERIFY(ui.allShown());
}
} // namespace

class TestAreaDialogs : public QObject
{
    Q_OBJECT

private slots:
    void editor_data()
    {
        QTest::addColumn<QString>("script"); // on the rows of FlatArea, in exclusion mode
        QTest::addColumn<QString>("rows");   // "!" first when nothing may change
        const QString e = u"N47 30.00,W122 15.00,N47 00.00,W122 15.00"_s;
        QTest::newRow("flattening mode shows four points") << u"x=0"_s << FlatArea;
        QTest::newRow("four items clear the upper rows") << u"a=S1 00.00,E002 00.00,S3 00.00,E004 00.00;x=0"_s << u"S1_ 00.00,E002 00.00,S3_ 00.00,E004 00.00,"_s + Empty4;
        QTest::newRow("latitude, one digit") << u"h1=S;d1=5;m1=07.25"_s << u"S5_ 07.25,W122 15.00,N47 00.00,W122 15.00"_s;
        QTest::newRow("latitude, cut at two") << u"d3=123;m3=30.5"_s << u"N47 30.00,W122 15.00,N12 30.5_,W122 15.00"_s;
        QTest::newRow("longitude, three digits, comma") << u"h2=E;d2=007;m2=15,30"_s << u"N47 30.00,E007 15.30,N47 00.00,W122 15.00"_s;
        QTest::newRow("longitude, letters unfilled") << u"d4=1x2;m4=a0.00"_s << u"N47 30.00,W122 15.00,N47 00.00,W1_2 _0.00"_s;
        QTest::newRow("E refused on a latitude") << u"h3=E"_s << u"!"_s + e;
        QTest::newRow("N refused on a longitude") << u"h4=N"_s << u"!"_s + e;
    }
    void editor()
    {
        QFETCH(QString, script);
        QFETCH(QString, rows);
        usrArea editor;
        editor.setArea(FlatArea);
        editor.setIsExclude(true);
        QSignalSpy changed(&editor, &usrArea::changed);
        const QString refused = play(editor, nullptr, script) ? u""_s : u"!"_s;
        QCOMPARE(refused + shown(editor), rows);
        QCOMPARE(changed.isEmpty(), rows.startsWith(u'!'));
    }

    void classRules_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("boxes"); // Objects, VORs, NDBs, All
        QTest::newRow("one") << u"c1=+"_s << u"0100"_s;
        QTest::newRow("all clears the others") << u"c0=+;c1=+;c3=+"_s << u"0001"_s;
        QTest::newRow("vors clears all") << u"c3=+;c1=+"_s << u"0100"_s;
        QTest::newRow("third single makes all") << u"c0=+;c2=+;c1=+"_s << u"0001"_s;
        QTest::newRow("after all, three singles again") << u"c3=+;c0=+;c1=+;c2=+"_s << u"0001"_s;
    }
    void classRules()
    {
        QFETCH(QString, clicks);
        QFETCH(QString, boxes);
        frmExclude form;
        QSignalSpy changed(&form, &frmExclude::classesChanged);
        play(form.usrExclude, &form, clicks);
        QCOMPARE(classBoxes(form), boxes);
        QVERIFY(!changed.isEmpty());
    }

    // The details panel's Exclude and Flatten buttons: the field, what the user does in the dialog, what the
    // dialog shows on opening and the field afterwards.
    void exclude_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("opened"); // class boxes and rows
        QTest::addColumn<QString>("result"); // "-" when the field stays as it was
        const QString v = ExclArea + u",objects"_s, edits = u"h1=s;d1=1;m1=00.00;h2=E;d2=002;m2=00.00;c1=+;"_s;
        QTest::newRow("empty: nothing loaded, OK stores nothing")
            << u""_s << u"ok"_s << u"0000 "_s + Empty4 << u"-"_s;
        QTest::newRow("OBJECTS checks Objects") << ExclArea + u",OBJECTS"_s << u"ok"_s << u"1000 "_s + ExclArea << v;
        QTest::newRow("vors, ndbs check both") << ExclArea + u",vors,ndbs"_s << u"ok"_s << u"0110 "_s + ExclArea << ExclArea + u",vors,ndbs"_s;
        QTest::newRow("all and a single") << ExclArea + u",all,vors"_s << u"ok"_s << u"0100 "_s + ExclArea << ExclArea + u",vors"_s;
        QTest::newRow("abbreviation checks nothing, kept")
            << ExclArea + u",OBJ"_s << u"ok"_s << u"0000 "_s + ExclArea << ExclArea + u",OBJ"_s;
        QTest::newRow("classes in box order") << ExclArea + u",ndbs,objects"_s << u"ok"_s << u"1010 "_s + ExclArea << ExclArea + u",objects,ndbs"_s;
        QTest::newRow("short forms made canonical") << u"n47 30.5,w5 7.25,N46 0,W4 0,ndbs"_s << u"ok"_s << u"0010 N47 30.50,W005 07.25,N46 00.00,W004 00.00"_s << u"N47 30.50,W005 07.25,N46 00.00,W004 00.00,ndbs"_s;
        QTest::newRow("three items: fourth row empty")
            << u"N47 30.00,W122 15.00,N47 00.00"_s << u"cancel"_s
            << u"0000 N47 30.00,W122 15.00,N47 00.00,___ __.__"_s << u"-"_s;
        QTest::newRow("cancel leaves the field") << v << u"cancel"_s << u"1000 "_s + ExclArea << u"-"_s;
        QTest::newRow("delete empties it") << v << u"delete"_s << u"1000 "_s + ExclArea << u""_s;
        QTest::newRow("edits, and a third single makes all") << v << edits + u"c2=+;ok"_s << u"1000 "_s + ExclArea << u"S1 00.00,E002 00.00,N47 00.00,W121 45.00,all"_s;
        QTest::newRow("edits on an empty field")
            << u""_s << edits + u"ok"_s << u"0000 "_s + Empty4 << u"S1 00.00,E002 00.00,,,vors"_s;
        QTest::newRow("unchecking the only class") << v << u"c0=-;ok"_s << u"1000 "_s + ExclArea << ExclArea;
    }
    void exclude() { panel<frmExclude>(); }

    void flatten_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("opened"); // elevation and rows
        QTest::addColumn<QString>("result"); // "-" when the field stays as it was
        const QString v = u"120,"_s + FlatArea, o = u"120 "_s + FlatArea;
        QTest::newRow("120 and eight rows, OK gives them back") << v << u"ok"_s << o << v;
        QTest::newRow("edits, canonical") << u"-15,n47 30.5,W122 15,N47 0,W122 15,N47 0,W121 45,N47 30,W121 45"_s << u"e=-150;d5=48;h6=E;ok"_s << u"-15 N47 30.50,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,N47 30.00,W121 45.00"_s << u"-150,N47 30.50,W122 15.00,N47 00.00,W122 15.00,N48 00.00,E121 45.00,N47 30.00,W121 45.00"_s;
        QTest::newRow("no comma: elevation alone")
            << u"120"_s << u"cancel"_s << u"120 "_s + Empty4 + u","_s + Empty4 << u"-"_s;
        QTest::newRow("delete") << v << u"delete"_s << o << u""_s;
        QTest::newRow("typed letters dropped") << v << u"e=;e=-2x0m;ok"_s << o << u"-20,"_s + FlatArea;
    }
    void flatten() { panel<frmFlatten>(); }

    // OK on an editor whose rows hold nothing stores no value: nothing at all when it opened on an
    // empty field (a ticked class or a typed elevation alone is no area), and when the user emptied
    // the rows of a stored value, no value either: the field is emptied.
    void emptyEditorConfirmed_data()
    {
        QTest::addColumn<bool>("exclude");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("fieldKept");
        QTest::addColumn<QString>("newField"); // when not kept
        QTest::newRow("exclude opened empty") << true << QString() << true << QString();
        QTest::newRow("flatten opened empty") << false << QString() << true << QString();
        QTest::newRow("exclude emptied by the user") << true << ExclArea + u",vors"_s << false << QString();
        QTest::newRow("flatten emptied by the user") << false << u"120,"_s + FlatArea << false << QString();
    }
    void emptyEditorConfirmed()
    {
        QFETCH(bool, exclude);
        QFETCH(QString, field);
        QFETCH(bool, fieldKept);
        QFETCH(QString, newField);
        const auto empty = [](usrArea &area) {
            for (int row = 1; row <= AreaText::RowCount; ++row) {
                area.setHemisphere(row, QString());
                area.setDegrees(row, QString());
                area.setMinutes(row, QString());
            }
        };
        ScriptedUi ui;
        std::optional<QString> result;
        if (exclude) {
            ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
                empty(form.usrExclude);
                form.setClassChecked(0, true);
                form.cmdOK_Click();
            });
            result = editExclude(ui, field);
        } else {
            ui.expectForm<frmFlatten>(u"frmFlatten"_s, [&](frmFlatten &form) {
                empty(form.usrFlatten);
                form.editElevation(u"250"_s);
                form.cmdOK_Click();
            });
            result = editFlatten(ui, field);
        }
        QVERIFY(ui.allShown());
        QCOMPARE(!result.has_value(), fieldKept);
        QCOMPARE(result.value_or(QString()), newField);
    }

    // A stored Exclude value opens whatever it holds: what the rows and boxes can show is shown,
    // the rest is named as unread and comes back unchanged on OK unless the user replaces it.
    void storedExcludeShownAndKept_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("refillRow4");
        QTest::addColumn<bool>("tickObjects");
        QTest::addColumn<QStringList>("unread");
        QTest::addColumn<QString>("afterOk");
        const QString three = u"N47 30.00,W122 15.00,N47 00.00"_s;
        const QString badCorner = three + u",Z121 45.00,vors"_s;
        const QString oldEmpty = u" __.__, __.__, __.__, __.__"_s;
        QTest::newRow("unreadable corner kept")
            << badCorner << false << false << QStringList{u"Z121 45.00"_s} << badCorner;
        QTest::newRow("unreadable corner refilled")
            << badCorner << true << false << QStringList{u"Z121 45.00"_s} << three + u",W121 45.00,vors"_s;
        QTest::newRow("unknown class kept")
            << ExclArea + u",OBJ"_s << false << false << QStringList{u"OBJ"_s} << ExclArea + u",OBJ"_s;
        QTest::newRow("unknown class replaced by a box")
            << ExclArea + u",OBJ"_s << false << true << QStringList{u"OBJ"_s} << ExclArea + u",objects"_s;
        QTest::newRow("rows stored empty by an older version")
            << oldEmpty << false << false << QStringList(4, u" __.__"_s) << oldEmpty;
    }
    void storedExcludeShownAndKept()
    {
        QFETCH(QString, stored);
        QFETCH(bool, refillRow4);
        QFETCH(bool, tickObjects);
        QFETCH(QStringList, unread);
        QFETCH(QString, afterOk);
        ScriptedUi ui; // a message box would fail the test: opening reports nothing
        ui.expectForm<frmExclude>(u"frmExclude"_s, [&](frmExclude &form) {
            QCOMPARE(form.unreadItems(), unread);
            if (refillRow4) {
                form.usrExclude.setHemisphere(4, u"W"_s);
                form.usrExclude.setDegrees(4, u"121"_s);
                form.usrExclude.setMinutes(4, u"45.00"_s);
            }
            if (tickObjects)
                form.setClassChecked(0, true);
            QCOMPARE(form.unreadItems().isEmpty(), refillRow4 || tickObjects);
            form.cmdOK_Click();
        });
        QCOMPARE(editExclude(ui, stored).value_or(u"(unchanged)"_s), afterOk);
        QVERIFY(ui.allShown());
    }

    // The same for Flatten: the readable corners are shown, an unreadable one and items beyond the
    // eighth are kept.
    void storedFlattenShownAndKept()
    {
        const QString unreadable =
            u"120,N47 30.00,W122 15.00,N47 00.00,W122 15.00,N47 00.00,W121 45.00,Q47 30.00,W121 45.00"_s;
        frmFlatten form;
        form.strFlatten = unreadable + u",N1 00.00"_s;
        form.open();
        QCOMPARE(form.elevation(), u"120"_s);
        QCOMPARE(form.usrFlatten.row(6).hemisphere, u"W"_s);
        QCOMPARE(form.usrFlatten.row(7), AreaText::emptyRow(7));
        QCOMPARE(form.usrFlatten.unreadItem(7), u"Q47 30.00"_s);
        QCOMPARE(form.unreadItems(), (QStringList{u"Q47 30.00"_s, u"N1 00.00"_s}));
        form.cmdOK_Click();
        QCOMPARE(form.strFlatten, unreadable + u",N1 00.00"_s);
    }

    void elevationEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("result"); // text|cursor
        QTest::newRow("digit typed") << u"12"_s << u"123"_s << 3 << u"123|3"_s;
        QTest::newRow("letter typed at end") << u"12"_s << u"12a"_s << 3 << u"12|2"_s;
        QTest::newRow("letter typed inside") << u"12"_s << u"1a2"_s << 2 << u"12|1"_s;
        QTest::newRow("minus typed first") << u"5"_s << u"-5"_s << 1 << u"-5|1"_s;
        QTest::newRow("mixed paste") << u""_s << u"a5b-"_s << 4 << u"5-|2"_s;
        QTest::newRow("same letter repeated") << u"aa"_s << u"aaa"_s << 3 << u"aa|2"_s;
    }
    void elevationEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(QString, result);
        const ElevationEdit edit = filterElevationEdit(before, after, cursor);
        QCOMPARE(edit.text + u'|' + QString::number(edit.cursor), result);
    }
};

QTEST_GUILESS_MAIN(TestAreaDialogs)
#include "tst_areadialogs.moc"
