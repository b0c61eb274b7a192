// The set dialog of "Create Scenery" and the start flight it points the simulator at: the sets in
// the order the user gives them, the "[General]" fields, the saved flights offered, and the
// "SITUATION" line rewritten with the previous file kept as ".backup".

#include "scenerycfg/frmselectsets.h"
#include "support/librarybuilder.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString SimFolder = u"C:\\FS2002"_s;

frmSelectSets threeSets()
{
    frmSelectSets form(1);
    form.addSet(u"Europe"_s, 12);
    form.addSet(u"Asia"_s, 0);
    form.addSet(u"Africa"_s, 3);
    form.Form_Activate();
    return form;
}

QStringList keys(const frmSelectSets &form)
{
    QStringList list;
    for (const frmSelectSets::SetNode &node : form.trvSets)
        list << node.key;
    return list;
}

} // namespace

class TestSelectSets : public QObject
{
    Q_OBJECT

private slots:
    void fieldsWhenShown_data()
    {
        QTest::addColumn<qint32>("simType");
        QTest::addColumn<bool>("cdMode");
        QTest::addColumn<QString>("title");
        QTest::newRow("FS2000") << 0 << false << u"FS2000 World"_s;
        QTest::newRow("FS2002 in CD mode") << 1 << true << u"FS2002 World"_s;
        QTest::newRow("CFS2") << 2 << false << u"CFS2 World"_s;
    }

    // Each showing starts from the defaults; in CD mode the cache, clean-on-exit and start flight
    // do not apply.
    void fieldsWhenShown()
    {
        QFETCH(qint32, simType);
        QFETCH(bool, cdMode);
        QFETCH(QString, title);
        frmSelectSets form(simType);
        form.strSets = u"Old\r\n"_s;
        form.bCDMode = cdMode;
        form.Form_Activate();
        QCOMPARE(form.strSets, QString());
        QCOMPARE(form.txtTitle, title);
        QCOMPARE(form.txtDescription, u"Lumivale 1.6 Created World"_s);
        QCOMPARE(form.txtCache_Size, u"__50M"_s);
        QCOMPARE(form.txtCache_SizeEnabled, !cdMode);
        QCOMPARE(form.chkClean_on_ExitEnabled, !cdMode);
        QCOMPARE(form.cboFLTEnabled, !cdMode);
        QCOMPARE(form.generalFieldsVisible, !cdMode);
    }

    void cacheSize_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint32>("megabytes");
        QTest::newRow("as shown") << u"__50M"_s << 50;
        QTest::newRow("cleared") << u"____M"_s << 0;
        QTest::newRow("digit before blanks") << u"7___M"_s << 7;
    }

    void cacheSize()
    {
        QFETCH(QString, field);
        QFETCH(qint32, megabytes);
        frmSelectSets form(1);
        form.txtCache_Size = field;
        QCOMPARE(form.cacheSize(), megabytes);
    }

    // The sets show their member counts; OK names the ticked ones in list order, Cancel none.
    void okNamesTickedSetsInListOrder()
    {
        frmSelectSets form = threeSets();
        QCOMPARE(form.trvSets.at(0).text, u"Europe (12)"_s);
        QCOMPARE(form.trvSets.at(1).text, u"Asia (0)"_s);
        form.trvSets[0].checked = true;
        form.trvSets[2].checked = true;
        form.cmdOk_Click();
        QCOMPARE(form.strSets, u"Europe\r\nAfrica\r\n"_s);
        QVERIFY(!form.visible);

        form.visible = true;
        form.cmdCancel_Click();
        QCOMPARE(form.strSets, QString());
        QVERIFY(!form.visible);
    }

    void move_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("down") << 0 << false << QStringList{u"Asia"_s, u"Europe"_s, u"Africa"_s} << 1;
        QTest::newRow("up") << 2 << true << QStringList{u"Europe"_s, u"Africa"_s, u"Asia"_s} << 1;
        QTest::newRow("last down") << 2 << false << QStringList{u"Europe"_s, u"Asia"_s, u"Africa"_s} << 2;
        QTest::newRow("first up") << 0 << true << QStringList{u"Europe"_s, u"Asia"_s, u"Africa"_s} << 0;
    }

    // A moved node keeps its tick and stays selected; it shows its name alone from then on.
    void move()
    {
        QFETCH(int, selected);
        QFETCH(bool, up);
        QFETCH(QStringList, order);
        QFETCH(int, selectedAfter);
        frmSelectSets form = threeSets();
        form.trvSets[0].checked = true;
        form.trvSetsSelected = selected;
        up ? form.cmdMoveUp_Click() : form.cmdMoveDown_Click();
        QCOMPARE(keys(form), order);
        QCOMPARE(form.trvSetsSelected, selectedAfter);
        const qsizetype europe = order.indexOf(u"Europe"_s);
        QVERIFY(form.trvSets.at(europe).checked);
        if (selectedAfter != selected)
            QCOMPARE(form.trvSets.at(selectedAfter).text, form.trvSets.at(selectedAfter).key);
        form.cmdOk_Click();
        QCOMPARE(form.strSets, u"Europe\r\n"_s);
    }

    // ---- The start flight --------------------------------------------------------------------

    void flightsOffered_data()
    {
        QTest::addColumn<qint32>("simType");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("flights");
        QTest::newRow("FS2002") << 1 << u"C:\\Sim\\flights\\myflts"_s
                                << QStringList{u"Oslo"_s, u"Paris"_s, u"rome"_s};
        QTest::newRow("FS2000") << 0 << u"C:\\Sim\\PILOTS"_s << QStringList{u"Oslo"_s, u"Paris"_s, u"rome"_s};
        QTest::newRow("CFS2") << 2 << u"C:\\Sim\\PILOTS"_s << QStringList();
    }

    void flightsOffered()
    {
        QFETCH(qint32, simType);
        QFETCH(QString, folder);
        QFETCH(QStringList, flights);
        TestEnv env;
        for (const QString &file : {u"Paris.FLT"_s, u"rome.flt"_s, u"Oslo.Flt"_s, u"notes.txt"_s, u"FLT"_s})
            env.writeFile(folder + u'\\' + file);
        QStringList offered = StartFlight::flights(env.fs, u"C:\\Sim"_s, simType);
        offered.sort(Qt::CaseInsensitive);
        QCOMPARE(offered, flights);
    }

    // Only the SITUATION line changes; every line is kept without its blanks, in its order, with
    // CR LF, and the ".backup" copy holds the file as it was.
    void situationRewritten_data()
    {
        QTest::addColumn<qint32>("simType");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("situation");
        QTest::newRow("FS2002") << 1 << u"FS2002.cfg"_s << QByteArray("SITUATION=flights\\myflts\\Paris");
        QTest::newRow("FS2000") << 0 << u"FS2000.cfg"_s << QByteArray("SITUATION=Pilots\\Paris");
    }

    void situationRewritten()
    {
        QFETCH(qint32, simType);
        QFETCH(QString, file);
        QFETCH(QByteArray, situation);
        TestEnv env;
        const QString path = SimFolder + u'\\' + file;
        const QByteArray old = "[Main]\r\n"
                               "  User Objects=Aircraft  \r\n"
                               "\r\n"
                               "[SITUATION]\r\n"
                               "situation = flights\\other\r\n"
                               "\tTabbed=1\r\n"
                               "Caf\xe9=\xe9t\xe9\n"
                               "Last=1";
        env.writeFile(path, old);
        const Outcome outcome = StartFlight::setSituation(env.fs, SimFolder, simType, u"Paris"_s);
        QVERIFY(outcome.isDone());
        QCOMPARE(env.readFile(path), QByteArray("[Main]\r\n"
                                                "User Objects=Aircraft\r\n"
                                                "\r\n"
                                                "[SITUATION]\r\n") +
                                         situation +
                                         QByteArray("\r\n"
                                                    "\tTabbed=1\r\n"
                                                    "Caf\xe9=\xe9t\xe9\r\n"
                                                    "Last=1\r\n"));
        QCOMPARE(env.readFile(path + u".backup"_s), old);
    }
};

QTEST_GUILESS_MAIN(TestSelectSets)
#include "tst_selectsets.moc"
