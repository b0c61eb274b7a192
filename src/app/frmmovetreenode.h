#pragma once

#include "platform/uiport.h"
#include "tree/tree.h"

#include <QString>

// The dialog "Move Scenery / Level to ...": the levels of the library as a tree, from which the
// user picks the level to move the selected node into, or "&Root" for the top level. The caller
// fills trvTree, sets cmdToRootVisible, shows it modally and reads sLevelKey and bRoot.
class frmMoveTreeNode : public FormLogic
{
public:
    QString formName() const override { return QStringLiteral("frmMoveTreeNode"); }
    static QString caption() { return QStringLiteral("Move Scenery / Level to ..."); }
    static QString cmdCancelCaption() { return QStringLiteral("&Cancel"); }
    static QString cmdToRootCaption() { return QStringLiteral("&Root"); }

    // Each showing starts without a result.
    void Form_Activate();
    // Takes the selected level, when there is one, and closes.
    void cmdOk_Click();
    void trvTree_DblClick() { cmdOk_Click(); }
    void cmdCancel_Click();
    // Only offered for levels: a scenery never stands at the top level.
    void cmdToRoot_Click();

    Tree trvTree;
    QString sLevelKey;
    bool bRoot = false;
    bool cmdToRootVisible = false;
    bool visible = true;
};
