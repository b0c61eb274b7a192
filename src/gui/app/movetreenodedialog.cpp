#include "gui/app/movetreenodedialog.h"
#include "gui/app/dialogbuttons.h"

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"
#include "gui/app/guiuiport.h"
#include "gui/app/organiseviews.h"
#include "gui/app/undoremovedialog.h"
#include "gui/tree/nodedelegate.h"
#include "gui/tree/treemodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

void registerOrganiseViews()
{
    GuiUiPort::registerView(frmMoveTreeNode().formName(), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new MoveTreeNodeDialog(dynamic_cast<frmMoveTreeNode &>(form), parent);
    });
    GuiUiPort::registerView(frmUndoRemove().formName(), [](FormLogic &form, QWidget *parent) -> QDialog * {
        return new UndoRemoveDialog(dynamic_cast<frmUndoRemove &>(form), parent);
    });
}

MoveTreeNodeDialog::MoveTreeNodeDialog(frmMoveTreeNode &form, QWidget *parent)
    : QDialog(parent), m_form(form)
{
    setObjectName(form.formName());
    setWindowTitle(frmMoveTreeNode::caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("Move to the &level:"), this);
    layout->addWidget(label);

    m_model = new TreeModel(form.trvTree, this);
    m_model->setCheckable(false);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("trvTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setModel(m_model);
    m_tree->setItemDelegate(new NodeDelegate(m_tree));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click chooses the level; opening it on the way would only make the list jump.
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setUniformRowHeights(true);
    new TreeExpansion(*m_tree, *m_model);
    label->setBuddy(m_tree);
    layout->addWidget(m_tree, 1);

    // "&Root" stands apart on the left: it is no level of the list but the top of the tree.
    auto *row = new QHBoxLayout;
    m_root = new QPushButton(frmMoveTreeNode::cmdToRootCaption(), this);
    m_root->setObjectName(QStringLiteral("cmdToRoot"));
    m_root->setToolTip(tr("Move the level to the top level"));
    m_root->setAutoDefault(false);
    m_root->setVisible(form.cmdToRootVisible);
    row->addWidget(m_root);
    row->addStretch(1);
    const OkCancelButtons buttons =
        makeOkCancelButtons(this, QStringLiteral("cmdOk"), frmMoveTreeNode::cmdCancelCaption());
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setAutoDefault(false);
    row->addWidget(buttons.box);
    layout->addLayout(row);

    const auto showSelection = [this](TreeNode *node) {
        const QModelIndex index = m_model->indexOf(node);
        if (!index.isValid())
            m_tree->selectionModel()->clearSelection();
        else if (!m_tree->selectionModel()->isSelected(index))
            m_tree->setCurrentIndex(index);
        // Without a level OK would close the dialog with nothing chosen.
        m_ok->setEnabled(node != nullptr);
    };
    showSelection(form.trvTree.selectedItem());
    if (TreeNode *node = form.trvTree.selectedItem())
        m_tree->scrollTo(m_model->indexOf(node));
    connect(&form.trvTree, &Tree::selectionChanged, this, showSelection);
    // The level is what the user sees highlighted, not the focus frame the view puts on the first
    // row when it gets the focus.
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_tree->selectionModel()->selectedIndexes();
        m_form.trvTree.setSelectedItem(rows.isEmpty() ? nullptr : m_model->nodeAt(rows.first()));
    });

    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        afterLogic();
    });
    connect(m_root, &QPushButton::clicked, this, [this] {
        m_form.cmdToRoot_Click();
        afterLogic();
    });
    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        m_form.trvTree.setSelectedItem(m_model->nodeAt(index));
        m_form.trvTree_DblClick();
        afterLogic();
    });
    connect(m_cancel, &QPushButton::clicked, this, &MoveTreeNodeDialog::reject);

    resize(380, 440);
    m_tree->setFocus();
}

void MoveTreeNodeDialog::afterLogic()
{
    // The logic hides itself once it has its answer; the window follows.
    if (!m_form.visible)
        QDialog::done(QDialog::Accepted);
}

void MoveTreeNodeDialog::reject()
{
    // Escape and the window's close button are Cancel.
    m_form.cmdCancel_Click();
    QDialog::reject();
}
