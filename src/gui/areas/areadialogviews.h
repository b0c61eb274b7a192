#pragma once

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class UsrAreaWidget;
class frmExclude;
class frmFlatten;
class AreaDialogLogic;
namespace Ui {
class ExcludeDialog;
class FlattenDialog;
} // namespace Ui

// Registers the Exclude and Flatten views with the GUI's UI port; the GUI's start calls it once.
void registerAreaViews();

// What the two area dialogs share: the note on what cannot be shown and the Delete, OK and Cancel
// buttons, bound to the logic. Closes when the logic hides itself (OK, Cancel, Delete); closing it
// otherwise is Cancel.
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
    // Binds the form's note, Delete button and button box (which holds OK) to the logic.
    void bindButtons(QLabel *note, QPushButton *deleteButton, QDialogButtonBox *buttons);
    void refreshNote();

private:
    AreaDialogLogic &m_logic;
    QLabel *m_note = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    int m_result = QDialog::Rejected;
};

// The exclusion dialog (excludedialog.ui): a rectangle and the object classes.
class ExcludeDialog : public AreaDialogView
{
    Q_OBJECT

public:
    ExcludeDialog(frmExclude &form, QWidget *parent = nullptr);
    ~ExcludeDialog() override;

    UsrAreaWidget *areaWidget() const;
    QCheckBox *classBox(int index) const { return m_classes.at(std::size_t(index)); }

private:
    void refreshClasses();

    frmExclude &m_form;
    std::unique_ptr<Ui::ExcludeDialog> m_ui;
    std::array<QCheckBox *, 4> m_classes{};
};

// The flattening dialog (flattendialog.ui): the elevation and four points.
class FlattenDialog : public AreaDialogView
{
    Q_OBJECT

public:
    FlattenDialog(frmFlatten &form, QWidget *parent = nullptr);
    ~FlattenDialog() override;

    UsrAreaWidget *areaWidget() const;
    QLineEdit *elevationEdit() const;

private:
    frmFlatten &m_form;
    std::unique_ptr<Ui::FlattenDialog> m_ui;
};
