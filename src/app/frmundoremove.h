#pragma once

#include "platform/uiport.h"
#include "tree/tree.h"

#include <QString>

// The dialog "Undo remove Scenery": the sceneries removed while the main window is open, one
// check box each. The caller fills trvRemoved, shows it modally and, when bUndelete is set,
// restores the checked entries.
class frmUndoRemove : public FormLogic
{
public:
    QString formName() const override { return QStringLiteral("frmUndoRemove"); }
    static QString caption() { return QStringLiteral("Undo remove Scenery"); }
    static QString cmdCancelCaption() { return QStringLiteral("&Cancel"); }

    // Each showing starts undecided.
    void Form_Activate();
    void cmdOk_Click();
    void cmdCancel_Click();

    Tree trvRemoved;
    bool bUndelete = false;
    bool visible = true;
};
