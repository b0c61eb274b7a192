#pragma once

#include "airports/airportdirectory.h"
#include "platform/uiport.h"

#include <QString>
#include <QStringList>

// The dialog "Airport directory": a choice of area, country and state, then an airport of that
// state, whose line becomes a scenery's title. Choosing in one list fills the lists below it.
class frmAirportDir : public FormLogic
{
public:
    // A drop-down list or list box: its entries and the selected one (-1 none).
    struct Choice
    {
        QStringList items;
        int listIndex = -1;
        QString text() const { return items.value(listIndex); }
    };

    // ui reports a list file that is there but cannot be read.
    frmAirportDir(const AirportDirectory &directory, UiPort &ui);

    QString formName() const override { return QStringLiteral("frmAirportDir"); }
    static QString caption() { return QStringLiteral("Airport directory"); }
    static QString cmdCancelCaption() { return QStringLiteral("&Cancel"); }

    Choice cboArea;
    Choice cboCountry;
    Choice cboState;
    Choice lstAirport;
    bool visible = true;

    // Fills the areas and selects the first, which fills the lists below it.
    void Form_Load();
    void cboArea_Click(int listIndex);
    void cboCountry_Click(int listIndex);
    void cboState_Click(int listIndex);
    void lstAirport_Click(int listIndex);
    // Takes the airport and hides the dialog, as OK does.
    void lstAirport_DblClick(int listIndex);
    void cmdOk_Click();
    // Hides the dialog without an airport.
    void cmdCancel_Click();

    // The selected airport line; "" when none is selected or the dialog was cancelled.
    QString result() const { return lstAirport.text(); }

private:
    // Fills a list from its file and, for a drop-down list, selects the first entry. A file that
    // cannot be read is reported under the procedure's name and leaves the list empty.
    void fill(const char *procedure, Choice &choice, AirportDirectory::List list, const QString &name,
              bool selectFirst);

    const AirportDirectory &m_directory;
    UiPort &m_ui;
};
