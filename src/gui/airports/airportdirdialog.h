#pragma once

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;
class frmAirportDir;

// Registers the airport directory's view with the GUI's UI port.
void registerAirportViews();

// "Airport directory": area, country and state as drop-down lists, the state's airports in a list.
// OK or a double click on an airport takes it; Cancel (or closing the window) takes none.
class AirportDirDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AirportDirDialog(frmAirportDir &form, QWidget *parent = nullptr);

    QComboBox *areaBox() const { return m_area; }
    QComboBox *countryBox() const { return m_country; }
    QComboBox *stateBox() const { return m_state; }
    QListWidget *airportList() const { return m_airports; }
    QPushButton *okButton() const { return m_ok; }

    void reject() override;

private:
    // Shows the lists as the logic holds them.
    void refresh();
    void closeIfHidden();

    frmAirportDir &m_form;
    QComboBox *m_area = nullptr;
    QComboBox *m_country = nullptr;
    QComboBox *m_state = nullptr;
    QListWidget *m_airports = nullptr;
    QPushButton *m_ok = nullptr;
};
