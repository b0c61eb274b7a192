#include "app/frmmovetreenode.h"

void frmMoveTreeNode::Form_Activate()
{
    sLevelKey.clear();
    bRoot = false;
    visible = true;
}

void frmMoveTreeNode::cmdOk_Click()
{
    if (const TreeNode *node = trvTree.selectedItem())
        sLevelKey = node->key();
    visible = false;
}

void frmMoveTreeNode::cmdCancel_Click()
{
    visible = false;
}

void frmMoveTreeNode::cmdToRoot_Click()
{
    // A hidden button cannot be pressed; a scenery has no top-level place.
    if (!cmdToRootVisible)
        return;
    bRoot = true;
    visible = false;
}
