#pragma once

#include <QDialog>

#include <memory>

class frmSelectSets;
class QPushButton;
namespace Ui {
class SelectSetsDialog;
}

// Registers the set dialog of "Create Scenery" with the GUI's UI port.
void registerSceneryCfgViews();

// The set dialog (selectsetsdialog.ui): the sets with their check boxes and order, the
// "[General]" fields and the start flight (hidden in CD mode, which asks for the sets alone). OK and Cancel hand the result to the logic; closing the
// window is Cancel.
class SelectSetsView : public QDialog
{
    Q_OBJECT
public:
    SelectSetsView(frmSelectSets &form, QWidget *parent = nullptr);
    ~SelectSetsView() override;

    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    void fillSets();
    void moveSelected(bool up);

    frmSelectSets &m_form;
    std::unique_ptr<Ui::SelectSetsDialog> m_ui;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
