#pragma once

#include <QDialog>

#include <functional>

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class InstallBackupDialog;
class DeleteBackupDialog;
class BackupFileListDialog;

// Registers the three backup dialogs with the GUI's UI port.
void registerBackupViews();

// The list of backups of the install and delete dialogs: the entries shown as a list, OK and
// Cancel; a double click on an entry acts as OK. Closing the window counts as Cancel.
class BackupPickerView : public QDialog
{
    Q_OBJECT
public:
    BackupPickerView(InstallBackupDialog &form, QWidget *parent = nullptr);
    BackupPickerView(DeleteBackupDialog &form, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    struct Binding
    {
        QString caption;
        const QStringList &entries;
        int &index;
        const bool &visible;
        std::function<void()> ok;
        std::function<void()> cancel;
        std::function<void()> doubleClick;
    };
    BackupPickerView(const Binding &binding, QWidget *parent);
    void afterLogic();

    int &m_index;
    const bool &m_visible;
    std::function<void()> m_okHandler;
    std::function<void()> m_cancelHandler;
    QListWidget *m_list = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// The simulator's backup file list as one editable text.
class BackupFileListView : public QDialog
{
    Q_OBJECT
public:
    BackupFileListView(BackupFileListDialog &form, QWidget *parent = nullptr);

    QPlainTextEdit *text() const { return m_text; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    BackupFileListDialog &m_form;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
