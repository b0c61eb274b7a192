#pragma once

#include <QDialog>

class EditFileIdDizDialog;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Registers the packaging dialogs with the GUI's UI port.
void registerPackagingViews();

// "Edit FILE_ID.DIZ": the text in a fixed-pitch font, how many of its characters the file keeps,
// OK and Cancel. Closing the window is Cancel.
class EditFileIdDizView : public QDialog
{
    Q_OBJECT
public:
    EditFileIdDizView(EditFileIdDizDialog &form, QWidget *parent = nullptr);

    QPlainTextEdit *text() const { return m_text; }
    QLabel *count() const { return m_count; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    void showCount();

    EditFileIdDizDialog &m_form;
    QPlainTextEdit *m_text = nullptr;
    QLabel *m_count = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
