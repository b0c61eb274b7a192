#pragma once

#include <QDialog>

class frmUndoRemove;
class QPushButton;
class QTreeView;
class TreeModel;

// The removed sceneries, one check box each; OK restores the ticked ones, Cancel (or closing the
// window) keeps them all removed.
class UndoRemoveDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UndoRemoveDialog(frmUndoRemove &form, QWidget *parent = nullptr);

    QTreeView *tree() const { return m_tree; }
    TreeModel *model() const { return m_model; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void reject() override;

private:
    void updateOk();

    frmUndoRemove &m_form;
    TreeModel *m_model = nullptr;
    QTreeView *m_tree = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
