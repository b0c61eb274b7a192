// The airport directory dialog: the lists it reads from the directory's files, the cascade from
// area to airport, and the line it gives back.

#include "airports/frmairportdir.h"
#include "support/testenv.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A list as the user sees it: its entries and the selected one.
struct Shown
{
    QStringList items = {};
    QString selected = {};
};

Shown shown(const frmAirportDir::Choice &choice)
{
    return {choice.items, choice.text()};
}

// The user's part in the dialog once it is loaded.
enum class Act { Nothing, PickSecondArea, PickAirport, PickAirportThenCancel, DoubleClickAirport };

struct CascadeCase
{
    Act act = Act::Nothing;
    Shown areas = {};
    Shown countries = {};
    Shown states = {};
    Shown airports = {};
    QString result = {};
};

// The directory of the tests: Europe > Germany > Hesse (with blank lines between its airports),
// and Oceania, whose file is missing.
void writeDirectory(TestEnv &env)
{
    const QString folder = env.programFolder() + u"\\AirportDirectory\\"_s;
    env.writeFile(folder + u"AD_World.txt"_s, windowsText({u"Europe"_s, u""_s, u"Oceania"_s}));
    env.writeFile(folder + u"AD_Europe.txt"_s, windowsText({u"Germany"_s, u"Curaçao"_s}));
    env.writeFile(folder + u"AD_Germany.txt"_s, windowsText({u"Hesse"_s, u"Bavaria"_s}));
    env.writeFile(folder + u"Hesse.txt"_s,
                  windowsText({u"EDDF Frankfurt Main"_s, u""_s, u""_s, u"EDFE Egelsbach"_s}));
}

} // namespace

Q_DECLARE_METATYPE(CascadeCase)

class TestAirportDir : public QObject
{
    Q_OBJECT

private slots:
    void cascade_data()
    {
        QTest::addColumn<CascadeCase>("c");
        const Shown areas{{u"Europe"_s, u"Oceania"_s}, u"Europe"_s};
        const Shown countries{{u"Germany"_s, u"Curaçao"_s}, u"Germany"_s};
        const Shown states{{u"Hesse"_s, u"Bavaria"_s}, u"Hesse"_s};
        const QStringList hesse{u"EDDF Frankfurt Main"_s, u"EDFE Egelsbach"_s};
        QTest::newRow("opened, OK without an airport")
            << CascadeCase{.areas = areas, .countries = countries, .states = states, .airports = {hesse}};
        QTest::newRow("an area without its file")
            << CascadeCase{.act = Act::PickSecondArea, .areas = {areas.items, u"Oceania"_s}};
        QTest::newRow("an airport and OK") << CascadeCase{.act = Act::PickAirport,
                                                          .areas = areas,
                                                          .countries = countries,
                                                          .states = states,
                                                          .airports = {hesse, u"EDFE Egelsbach"_s},
                                                          .result = u"EDFE Egelsbach"_s};
        QTest::newRow("an airport and Cancel") << CascadeCase{.act = Act::PickAirportThenCancel,
                                                              .areas = areas,
                                                              .countries = countries,
                                                              .states = states,
                                                              .airports = {hesse}};
        QTest::newRow("a double click") << CascadeCase{.act = Act::DoubleClickAirport,
                                                       .areas = areas,
                                                       .countries = countries,
                                                       .states = states,
                                                       .airports = {hesse, u"EDDF Frankfurt Main"_s},
                                                       .result = u"EDDF Frankfurt Main"_s};
    }
    void cascade()
    {
        QFETCH(CascadeCase, c);
        TestEnv env;
        writeDirectory(env);
        const AirportDirectory directory(env.fs, env.programFolder());
        frmAirportDir form(directory, env.ui);
        form.Form_Load();
        switch (c.act) {
        case Act::Nothing:
            form.cmdOk_Click();
            break;
        case Act::PickSecondArea:
            form.cboArea_Click(1);
            break;
        case Act::PickAirport:
            form.lstAirport_Click(1);
            form.cmdOk_Click();
            break;
        case Act::PickAirportThenCancel:
            form.lstAirport_Click(1);
            form.cmdCancel_Click();
            break;
        case Act::DoubleClickAirport:
            form.lstAirport_DblClick(0);
            break;
        }
        QCOMPARE(shown(form.cboArea).items, c.areas.items);
        QCOMPARE(shown(form.cboArea).selected, c.areas.selected);
        QCOMPARE(shown(form.cboCountry).items, c.countries.items);
        QCOMPARE(shown(form.cboCountry).selected, c.countries.selected);
        QCOMPARE(shown(form.cboState).items, c.states.items);
        QCOMPARE(shown(form.cboState).selected, c.states.selected);
        QCOMPARE(shown(form.lstAirport).items, c.airports.items);
        QCOMPARE(shown(form.lstAirport).selected, c.airports.selected);
        QCOMPARE(form.result(), c.result);
        QCOMPARE(form.visible, c.act == Act::PickSecondArea);
    }

    // A name beyond ASCII is read from its Windows-1252 line and names a file stored under the
    // host's own spelling of that name.
    void nameBeyondAscii()
    {
        TestEnv env;
        writeDirectory(env);
        env.writeFile(env.programFolder() + u"\\AirportDirectory\\AD_Curaçao.txt"_s,
                      windowsText({u"Curaçao"_s}));
        env.writeFile(env.programFolder() + u"\\AirportDirectory\\Curaçao.txt"_s,
                      windowsText({u"TNCC Hato International"_s}));
        const AirportDirectory directory(env.fs, env.programFolder());
        frmAirportDir form(directory, env.ui);
        form.Form_Load();
        form.cboCountry_Click(1);
        QCOMPARE(form.cboState.items, QStringList{u"Curaçao"_s});
        QCOMPARE(form.lstAirport.items, QStringList{u"TNCC Hato International"_s});
    }

    // A line is data someone may have edited: one that would name a file outside the directory's
    // folder has no list. Which names lead out is the file system's rule, proved there.
    void nameLeavingTheFolder()
    {
        const QString line = u"..\\Secret"_s;
        TestEnv env;
        env.writeFile(env.programFolder() + u"\\Secret.txt"_s, windowsText({u"not an airport"_s}));
        env.writeFile(env.programFolder() + u"\\AirportDirectory\\AD_World.txt"_s,
                      windowsText({u"Europe"_s}));
        env.writeFile(env.programFolder() + u"\\AirportDirectory\\AD_Europe.txt"_s,
                      windowsText({u"Spain"_s}));
        env.writeFile(env.programFolder() + u"\\AirportDirectory\\AD_Spain.txt"_s, windowsText({line}));
        const AirportDirectory directory(env.fs, env.programFolder());
        frmAirportDir form(directory, env.ui);
        form.Form_Load();
        QCOMPARE(form.cboState.text(), line);
        QCOMPARE(form.lstAirport.items, QStringList());
        QVERIFY(!directory.file(AirportDirectory::List::Airports, line));
    }
};

QTEST_GUILESS_MAIN(TestAirportDir)
#include "tst_airportdir.moc"
