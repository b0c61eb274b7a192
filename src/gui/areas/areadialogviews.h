#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UsrAreaWidget;
class frmExclude;
class frmFlatten;
class AreaDialogLogic;

// Registers the Exclude and Flatten views with the GUI's UI port; the GUI's start calls it once.
void registerAreaViews();

// Closes when the logic hides itself (OK, Cancel, Delete); closing it otherwise is Cancel.
class AreaDialogView : public QDialog
{
    Q_OBJECT

public:
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *deleteButton() const { return m_delete; }
    // Names what of the stored value the dialog cannot show; hidden when it shows everything.
    QLabel *unreadNote() const { return m_note; }

    void done(int result) override;

protected:
    AreaDialogView(AreaDialogLogic &logic, QWidget *parent);
    // Adds the note on what cannot be shown and the button row below the content; the buttons
    // run the logic's handlers.
    void addButtons(class QBoxLayout *layout);
    void refreshNote();

private:
    AreaDialogLogic &m_logic;
    QLabel *m_note = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    int m_result = QDialog::Rejected;
};

class ExcludeDialog : public AreaDialogView
{
    Q_OBJECT

public:
    ExcludeDialog(frmExclude &form, QWidget *parent = nullptr);

    UsrAreaWidget *areaWidget() const { return m_area; }
    QCheckBox *classBox(int index) const { return m_classes.at(std::size_t(index)); }

private:
    void refreshClasses();

    frmExclude &m_form;
    UsrAreaWidget *m_area = nullptr;
    std::array<QCheckBox *, 4> m_classes{};
};

class FlattenDialog : public AreaDialogView
{
    Q_OBJECT

public:
    FlattenDialog(frmFlatten &form, QWidget *parent = nullptr);

    UsrAreaWidget *areaWidget() const { return m_area; }
    QLineEdit *elevationEdit() const { return m_elevation; }

private:
    frmFlatten &m_form;
    UsrAreaWidget *m_area = nullptr;
    QLineEdit *m_elevation = nullptr;
};
