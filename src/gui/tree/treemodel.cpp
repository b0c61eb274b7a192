#include "gui/tree/treemodel.h"

#include "tree/tree.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QTreeView>

namespace {
QColor toColor(quint32 rgb)
{
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}
} // namespace

TreeModel::TreeModel(Tree &tree, QObject *parent) : QAbstractItemModel(parent), m_tree(tree)
{
    connect(&tree, &Tree::nodeAboutToBeInserted, this,
            [this](TreeNode *parentNode, int row) { beginInsertRows(indexOf(parentNode), row, row); });
    connect(&tree, &Tree::nodeInserted, this, [this] { endInsertRows(); });
    connect(&tree, &Tree::nodeAboutToBeRemoved, this, [this](TreeNode *node) {
        const int row = node->row();
        beginRemoveRows(indexOf(node->parent()), row, row);
    });
    connect(&tree, &Tree::nodeRemoved, this, [this] { endRemoveRows(); });
    connect(&tree, &Tree::nodeAboutToBeMoved, this, &TreeModel::onAboutToBeMoved);
    connect(&tree, &Tree::nodeMoved, this, &TreeModel::onMoved);
    connect(&tree, &Tree::nodeChanged, this, [this](TreeNode *node) {
        const QModelIndex index = indexOf(node);
        emit dataChanged(index, index);
    });
    connect(&tree, &Tree::aboutToReset, this, [this] {
        beginResetModel();
        m_resetting = true;
    });
    connect(&tree, &Tree::reset, this, [this] {
        m_resetting = false;
        endResetModel();
    });
}

void TreeModel::setEditHandlers(EditAllowed allowed, EditHandler handler)
{
    m_editAllowed = std::move(allowed);
    m_onEdit = std::move(handler);
}

void TreeModel::setDropHighlight(const QString &key)
{
    if (key == m_dropHighlight)
        return;
    const QModelIndex before = indexOf(m_tree.node(m_dropHighlight));
    m_dropHighlight = key;
    const QModelIndex after = indexOf(m_tree.node(key));
    for (const QModelIndex &index : {before, after}) {
        if (index.isValid())
            emit dataChanged(index, index, {Qt::BackgroundRole, Qt::ForegroundRole});
    }
}

void TreeModel::onAboutToBeMoved(TreeNode *node, TreeNode *newParent, int destinationRow)
{
    const int row = node->row();
    m_moving = beginMoveRows(indexOf(node->parent()), row, row, indexOf(newParent), destinationRow);
    if (!m_moving) {
        // A move Qt cannot express row by row still has to reach the views.
        beginResetModel();
        m_resetting = true;
    }
}

void TreeModel::onMoved()
{
    if (m_moving) {
        m_moving = false;
        endMoveRows();
    } else {
        m_resetting = false;
        endResetModel();
    }
}

TreeNode *TreeModel::nodeAt(const QModelIndex &index) const
{
    if (m_resetting || !index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<TreeNode *>(index.internalPointer());
}

QModelIndex TreeModel::indexOf(const TreeNode *node) const
{
    if (!node || m_resetting)
        return {};
    return createIndex(node->row(), 0, const_cast<TreeNode *>(node));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (m_resetting || column != 0 || row < 0)
        return {};
    TreeNode *child = nullptr;
    if (TreeNode *p = nodeAt(parent)) {
        if (row < p->childCount())
            child = p->child(row);
    } else if (!parent.isValid() && row < m_tree.rootCount()) {
        child = m_tree.root(row);
    }
    return child ? createIndex(row, 0, child) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex &child) const
{
    TreeNode *node = nodeAt(child);
    return node ? indexOf(node->parent()) : QModelIndex();
}

int TreeModel::rowCount(const QModelIndex &parent) const
{
    if (m_resetting || parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return m_tree.rootCount();
    TreeNode *node = nodeAt(parent);
    return node ? node->childCount() : 0;
}

int TreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool TreeModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant TreeModel::data(const QModelIndex &index, int role) const
{
    const TreeNode *node = nodeAt(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->text();
    case Qt::CheckStateRole:
        if (!m_checkable)
            return {};
        return node->checked() ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole:
        if (!m_dropHighlight.isEmpty() && node->key() == m_dropHighlight)
            return QApplication::palette().brush(QPalette::Highlight);
        if (node->backColor())
            return QBrush(toColor(*node->backColor()));
        return {};
    case Qt::ForegroundRole:
        if (!m_dropHighlight.isEmpty() && node->key() == m_dropHighlight)
            return QApplication::palette().brush(QPalette::HighlightedText);
        if (node->foreColor())
            return QBrush(toColor(*node->foreColor()));
        return {};
    case Qt::FontRole:
        if (node->bold()) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case KeyRole:
        return node->key();
    default:
        return {};
    }
}

bool TreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    TreeNode *node = nodeAt(index);
    if (!node)
        return false;
    if (role == Qt::CheckStateRole) {
        if (!(flags(index) & Qt::ItemIsUserCheckable))
            return false;
        node->setChecked(value.toInt() == Qt::Checked);
        if (m_onCheck)
            m_onCheck(node);
        return true;
    }
    if (role == Qt::EditRole) {
        if (!(flags(index) & Qt::ItemIsEditable) || !m_onEdit)
            return false;
        if (!m_onEdit(node, value.toString())) {
            // The editor showed the refused text; put the node's own back.
            emit dataChanged(index, index);
            return false;
        }
        return true;
    }
    return false;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex &index) const
{
    TreeNode *node = nodeAt(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_checkable)
        result |= Qt::ItemIsUserCheckable;
    if (m_editAllowed && m_onEdit && m_editAllowed(node))
        result |= Qt::ItemIsEditable;
    return result;
}

// ---- TreeExpansion -------------------------------------------------------------------------

TreeExpansion::TreeExpansion(QTreeView &view, TreeModel &model)
    : QObject(&view), m_view(&view), m_model(model)
{
    connect(&model, &QAbstractItemModel::modelReset, this, &TreeExpansion::syncAll);
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &) { sync(topLeft); });
    connect(&model, &QAbstractItemModel::rowsInserted, this, &TreeExpansion::syncSubtree);
    connect(&model, &QAbstractItemModel::rowsMoved, this,
            [this](const QModelIndex &, int, int, const QModelIndex &destination, int row) {
                // The moved node now sits at row or just above it, depending on the direction.
                syncSubtree(destination, std::max(0, row - 1),
                            std::min(row, m_model.rowCount(destination) - 1));
            });
    const auto remember = [this](const QModelIndex &index, bool expanded) {
        if (m_applying)
            return;
        if (TreeNode *node = m_model.nodeAt(index))
            node->setExpanded(expanded);
    };
    connect(&view, &QTreeView::expanded, this,
            [remember](const QModelIndex &index) { remember(index, true); });
    connect(&view, &QTreeView::collapsed, this,
            [remember](const QModelIndex &index) { remember(index, false); });
    syncAll();
}

void TreeExpansion::sync(const QModelIndex &index)
{
    const TreeNode *node = m_model.nodeAt(index);
    if (!node || !m_view || m_view->isExpanded(index) == node->expanded())
        return;
    m_applying = true;
    m_view->setExpanded(index, node->expanded());
    m_applying = false;
}

void TreeExpansion::syncSubtree(const QModelIndex &parent, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = m_model.index(row, 0, parent);
        if (!index.isValid())
            continue;
        sync(index);
        const int children = m_model.rowCount(index);
        if (children > 0)
            syncSubtree(index, 0, children - 1);
    }
}

void TreeExpansion::syncAll()
{
    const int roots = m_model.rowCount();
    if (roots > 0)
        syncSubtree({}, 0, roots - 1);
}
