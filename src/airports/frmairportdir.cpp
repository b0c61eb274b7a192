#include "airports/frmairportdir.h"

#include "platform/errorreporter.h"

using List = AirportDirectory::List;

frmAirportDir::frmAirportDir(const AirportDirectory &directory, UiPort &ui) : m_directory(directory), m_ui(ui)
{}

void frmAirportDir::fill(const char *procedure, Choice &choice, List list, const QString &name,
                         bool selectFirst)
{
    choice = Choice();
    runStep(m_ui, QLatin1Char('.') + QLatin1StringView(procedure),
            [&] { choice.items = m_directory.entries(list, name); });
    if (selectFirst && !choice.items.isEmpty())
        choice.listIndex = 0;
}

void frmAirportDir::Form_Load()
{
    visible = true;
    fill("Form_Load", cboArea, List::Areas, {}, true);
    cboArea_Click(cboArea.listIndex);
}

void frmAirportDir::cboArea_Click(int listIndex)
{
    cboArea.listIndex = listIndex >= 0 && listIndex < cboArea.items.size() ? listIndex : -1;
    // Without an area the lists below it have nothing to show.
    if (cboArea.listIndex < 0)
        cboCountry = Choice();
    else
        fill("cboArea_Click", cboCountry, List::Countries, cboArea.text(), true);
    cboCountry_Click(cboCountry.listIndex);
}

void frmAirportDir::cboCountry_Click(int listIndex)
{
    cboCountry.listIndex = listIndex >= 0 && listIndex < cboCountry.items.size() ? listIndex : -1;
    if (cboCountry.listIndex < 0)
        cboState = Choice();
    else
        fill("cboCountry_Click", cboState, List::States, cboCountry.text(), true);
    cboState_Click(cboState.listIndex);
}

void frmAirportDir::cboState_Click(int listIndex)
{
    cboState.listIndex = listIndex >= 0 && listIndex < cboState.items.size() ? listIndex : -1;
    if (cboState.listIndex < 0)
        lstAirport = Choice();
    else
        fill("cboState_Click", lstAirport, List::Airports, cboState.text(), false);
}

void frmAirportDir::lstAirport_Click(int listIndex)
{
    lstAirport.listIndex = listIndex >= 0 && listIndex < lstAirport.items.size() ? listIndex : -1;
}

void frmAirportDir::lstAirport_DblClick(int listIndex)
{
    lstAirport_Click(listIndex);
    cmdOk_Click();
}

void frmAirportDir::cmdOk_Click()
{
    visible = false;
}

void frmAirportDir::cmdCancel_Click()
{
    lstAirport.listIndex = -1;
    visible = false;
}
