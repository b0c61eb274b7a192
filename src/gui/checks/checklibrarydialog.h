#pragma once

#include <QDialog>

class frmCheckLibrary;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Registers the view of the library check with the GUI's UI port.
void registerCheckViews();

// The findings of the library check, one row each; the scope box checks again for a set, a double
// click on a row shows its scenery in the library tree behind the dialog.
class CheckLibraryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CheckLibraryDialog(frmCheckLibrary &form, QWidget *parent = nullptr);

    QComboBox *scopeBox() const { return m_scope; }
    QTreeWidget *findingsList() const { return m_findings; }

    void reject() override;

private:
    void refresh();

    frmCheckLibrary &m_form;
    QComboBox *m_scope = nullptr;
    QTreeWidget *m_findings = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_close = nullptr;
};
