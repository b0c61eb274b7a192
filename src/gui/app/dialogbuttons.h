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

// okIsDefault: Enter presses OK; off for dialogs whose text field takes Enter itself.
inline OkCancelButtons makeOkCancelButtons(QWidget *parent, const QString &okName, const QString &cancelCaption,
                                           bool okIsDefault = true)
{
    OkCancelButtons buttons;
    buttons.box = new QDialogButtonBox(parent);
    buttons.ok = buttons.box->addButton(QDialogButtonBox::Ok);
    buttons.ok->setObjectName(okName);
    if (okIsDefault)
        buttons.ok->setDefault(true);
    else
        buttons.ok->setAutoDefault(false);
    buttons.cancel = buttons.box->addButton(cancelCaption, QDialogButtonBox::RejectRole);
    buttons.cancel->setObjectName(QStringLiteral("cmdCancel"));
    return buttons;
}
