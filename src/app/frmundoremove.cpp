#include "app/frmundoremove.h"

void frmUndoRemove::Form_Activate()
{
    bUndelete = false;
    visible = true;
}

void frmUndoRemove::cmdOk_Click()
{
    bUndelete = true;
    visible = false;
}

void frmUndoRemove::cmdCancel_Click()
{
    visible = false;
}
