#pragma once

#include <QDialog>

#include <array>

class frmSimType;
class QPushButton;
class QRadioButton;

// Registers the simulator chooser with the GUI's UI port.
void registerSimsViews();

// "Select Sim Type": one option per simulator and OK. Closing the window keeps the simulator that
// was chosen when it opened.
class SimTypeView : public QDialog
{
    Q_OBJECT
public:
    SimTypeView(frmSimType &form, QWidget *parent = nullptr);

    QRadioButton *option(int index) const { return m_options.at(std::size_t(index)); }
    QPushButton *okButton() const { return m_ok; }

    void reject() override;

private:
    frmSimType &m_form;
    std::array<QRadioButton *, 3> m_options{};
    QPushButton *m_ok = nullptr;
};
