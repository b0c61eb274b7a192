#include "gui/app/undoremovedialog.h"
#include "gui/app/dialogbuttons.h"

#include "app/frmundoremove.h"
#include "gui/tree/nodedelegate.h"
#include "gui/tree/treemodel.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

UndoRemoveDialog::UndoRemoveDialog(frmUndoRemove &form, QWidget *parent) : QDialog(parent), m_form(form)
{
    setObjectName(form.formName());
    setWindowTitle(frmUndoRemove::caption());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("&Tick the sceneries to bring back into the level New:"), this);
    label->setWordWrap(true);
    layout->addWidget(label);

    m_model = new TreeModel(form.trvRemoved, this);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("trvRemoved"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setModel(m_model);
    m_tree->setItemDelegate(new NodeDelegate(m_tree));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setUniformRowHeights(true);
    label->setBuddy(m_tree);
    layout->addWidget(m_tree, 1);

    const OkCancelButtons buttons =
        makeOkCancelButtons(this, QStringLiteral("cmdOk"), frmUndoRemove::cmdCancelCaption());
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setAutoDefault(false);
    layout->addWidget(buttons.box);

    // The box takes a click on the check mark and the space bar; a double click on the title
    // ticks it too.
    connect(m_tree, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        if (const TreeNode *node = m_model->nodeAt(index))
            m_model->setData(index, node->checked() ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this, &UndoRemoveDialog::updateOk);
    connect(m_model, &QAbstractItemModel::modelReset, this, &UndoRemoveDialog::updateOk);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        m_form.cmdOk_Click();
        if (!m_form.visible)
            QDialog::done(QDialog::Accepted);
    });
    connect(m_cancel, &QPushButton::clicked, this, &UndoRemoveDialog::reject);

    if (form.trvRemoved.firstRoot())
        m_tree->setCurrentIndex(m_model->indexOf(form.trvRemoved.firstRoot()));
    updateOk();
    resize(360, 340);
    m_tree->setFocus();
}

void UndoRemoveDialog::updateOk()
{
    // OK with nothing ticked would restore nothing; Cancel says that better.
    bool any = false;
    for (const TreeNode *node = m_form.trvRemoved.firstRoot(); node && !any; node = node->nextInWalk())
        any = node->checked();
    m_ok->setEnabled(any);
}

void UndoRemoveDialog::reject()
{
    // Escape and the window's close button are Cancel.
    m_form.cmdCancel_Click();
    QDialog::reject();
}
