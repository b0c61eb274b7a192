#include "app/frmscenery.h"

void frmScenery::mnuWizardSearch_Click()
{
    guarded("mnuWizardSearch_Click", [&] {
        UiPort &ui = m_context.ui;
        Display(QStringLiteral("Search for scenery or level."));
        const QString wanted =
            ui.input(QStringLiteral("Insert a search string:"), QStringLiteral("Search scenery or level"), QString()).toUpper();
        if (wanted.isEmpty())
            return;
        // Nodes in the order they were added: after a rebuild the levels, then the sceneries.
        for (TreeNode *node = m_tree->firstAdded(); node; node = node->nextAdded()) {
            if (!node->text().toUpper().contains(wanted))
                continue;
            m_tree->setSelectedItem(node);
            node->ensureVisible();
            trvScenery_NodeClick(node);
            if (!ui.askYesNo(QStringLiteral("Find next?"), QStringLiteral("Found!"), UiPort::Icon::Question))
                return;
        }
        Display(QStringLiteral("Ready."));
    });
}
