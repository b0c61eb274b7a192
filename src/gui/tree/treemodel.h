#pragma once

#include <QAbstractItemModel>
#include <QPointer>

#include <functional>

class QTreeView;
class Tree;
class TreeNode;

// Shows a core Tree to Qt views. The tree stays the owner of nodes, order and state; the model
// follows its about-to / done notifications and turns check and label edits back into tree changes
// through the handlers the window supplies.
class TreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1;

    // After the user toggled a node's box (the node already holds the new state).
    using CheckHandler = std::function<void(TreeNode *node)>;
    // Whether a label edit may start on the node.
    using EditAllowed = std::function<bool(TreeNode *node)>;
    // A label edit was accepted; false undoes it.
    using EditHandler = std::function<bool(TreeNode *node, const QString &text)>;

    explicit TreeModel(Tree &tree, QObject *parent = nullptr);

    void setCheckHandler(CheckHandler handler) { m_onCheck = std::move(handler); }
    // Trees without check boxes (the level pickers).
    void setCheckable(bool checkable) { m_checkable = checkable; }
    // The node a dragged scenery would be dropped on, shown highlighted; "" for none.
    void setDropHighlight(const QString &key);
    const QString &dropHighlight() const { return m_dropHighlight; }
    void setEditHandlers(EditAllowed allowed, EditHandler handler);

    Tree &tree() const { return m_tree; }
    TreeNode *nodeAt(const QModelIndex &index) const;
    QModelIndex indexOf(const TreeNode *node) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void onAboutToBeMoved(TreeNode *node, TreeNode *newParent, int destinationRow);
    void onMoved();

    Tree &m_tree;
    CheckHandler m_onCheck;
    EditAllowed m_editAllowed;
    EditHandler m_onEdit;
    // Between the tree's about-to-reset and reset its nodes may already be gone; a repaint in
    // that window must not reach them.
    bool m_resetting = false;
    bool m_moving = false;
    bool m_checkable = true;
    QString m_dropHighlight;
};

// Keeps a view's expanded branches in step with the nodes' expanded flags, both ways: the logic
// expands a node (ensureVisible) and the view opens it; the user opens a branch and the node
// remembers it.
class TreeExpansion : public QObject
{
    Q_OBJECT
public:
    TreeExpansion(QTreeView &view, TreeModel &model);

    // Applies every node's flag to the view (after a reset, or when a view is first attached).
    void syncAll();

private:
    void sync(const QModelIndex &index);
    void syncSubtree(const QModelIndex &parent, int first, int last);

    QPointer<QTreeView> m_view;
    TreeModel &m_model;
    bool m_applying = false;
};
