#pragma once

#include <QDialog>

class frmMoveTreeNode;
class QPushButton;
class QTreeView;
class TreeModel;

// The level picker of a move: the levels as a tree, OK (or a double click on a level) for the
// chosen level, "&Root" for the top level when the logic offers it, Cancel. Closing the window
// counts as Cancel.
class MoveTreeNodeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MoveTreeNodeDialog(frmMoveTreeNode &form, QWidget *parent = nullptr);

    QTreeView *tree() const { return m_tree; }
    TreeModel *model() const { return m_model; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *rootButton() const { return m_root; }

    void reject() override;

private:
    void afterLogic();

    frmMoveTreeNode &m_form;
    TreeModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_root = nullptr;
};
