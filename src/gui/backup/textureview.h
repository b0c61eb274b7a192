#pragma once

#include <QDialog>

class GlobalTextureDialog;
class QListWidget;
class QPushButton;

// Registers the dialog "Global texture management" with the GUI's UI port.
void registerTextureViews();

// The texture backups as a list with a check box per line, and the dialog's five buttons. Each
// button runs the logic's procedure and the list is shown again from the logic; closing the window
// is Exit.
class GlobalTextureView : public QDialog
{
    Q_OBJECT
public:
    GlobalTextureView(GlobalTextureDialog &form, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QPushButton *button(const QString &name) const;

    void reject() override;

private:
    void showList();
    void run(void (GlobalTextureDialog::*procedure)());

    GlobalTextureDialog &m_form;
    QListWidget *m_list = nullptr;
    bool m_filling = false;
};
