#pragma once

#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>

// The OK / Cancel pair every dialog of the program ends with. The buttons carry the logic's
// control names, so tests and views find them the same way everywhere.
struct OkCancelButtons
{
    QDialogButtonBox *box = nullptr;
    QPushButton *ok = nullptr;
    QPushButton *cancel = nullptr;
};

// Completes a button box that holds the OK button (a form's box): names OK and adds Cancel with
// the program's caption. okIsDefault: Enter presses OK; off for dialogs whose text field takes
// Enter itself.
inline OkCancelButtons completeOkCancelButtons(QDialogButtonBox *box, const QString &okName,
                                               const QString &cancelCaption, bool okIsDefault = true)
{
    OkCancelButtons buttons;
    buttons.box = box;
    buttons.ok = box->button(QDialogButtonBox::Ok);
    if (!buttons.ok)
        buttons.ok = box->addButton(QDialogButtonBox::Ok);
    buttons.ok->setObjectName(okName);
    if (okIsDefault)
        buttons.ok->setDefault(true);
    else
        buttons.ok->setAutoDefault(false);
    buttons.cancel = box->addButton(cancelCaption, QDialogButtonBox::RejectRole);
    buttons.cancel->setObjectName(QStringLiteral("cmdCancel"));
    return buttons;
}

// A new button box with OK and Cancel, for a dialog built in code.
inline OkCancelButtons makeOkCancelButtons(QWidget *parent, const QString &okName,
                                           const QString &cancelCaption, bool okIsDefault = true)
{
    return completeOkCancelButtons(new QDialogButtonBox(parent), okName, cancelCaption, okIsDefault);
}
