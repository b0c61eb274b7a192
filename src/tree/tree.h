#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class Tree;

// A colour as 0xRRGGBB; the core has no QColor.
using NodeColor = std::optional<quint32>;
constexpr quint32 rgb(int r, int g, int b)
{
    return (quint32(r) << 16) | (quint32(g) << 8) | quint32(b);
}

// One node of a Tree: a unique key, a text, a check box, colours, and its place among its siblings.
// Setters notify the tree, so a view over it stays current.
class TreeNode
{
public:
    TreeNode(const TreeNode &) = delete;
    TreeNode &operator=(const TreeNode &) = delete;

    const QString &key() const { return m_key; }
    const QString &text() const { return m_text; }
    bool checked() const { return m_checked; }
    bool bold() const { return m_bold; }
    bool expanded() const { return m_expanded; }
    NodeColor backColor() const { return m_backColor; }
    NodeColor foreColor() const { return m_foreColor; }

    void setText(const QString &text);
    void setChecked(bool checked);
    void setBold(bool bold);
    void setExpanded(bool expanded);
    void setBackColor(NodeColor color);
    void setForeColor(NodeColor color);
    // Expands every ancestor so the node can be seen.
    void ensureVisible();

    // nullptr for a top-level node.
    TreeNode *parent() const;
    TreeNode *firstChild() const { return m_firstChild; }
    TreeNode *lastChild() const { return m_lastChild; }
    TreeNode *previous() const { return m_previous; }  // sibling above, nullptr for the first
    TreeNode *next() const { return m_next; }          // sibling below, nullptr for the last
    TreeNode *firstSibling() const;
    TreeNode *lastSibling() const;
    int childCount() const { return m_childCount; }
    bool hasChildren() const { return m_childCount > 0; }
    // Position among the siblings, from 0. Amortised O(1).
    int row() const;
    TreeNode *child(int row) const;

    // The next node of a depth-first walk (a node before its children, children top to bottom, then
    // the next sibling, climbing up when a branch ends); nullptr after the last node.
    TreeNode *nextInWalk() const;
    // The next node in the order nodes were added to the tree.
    TreeNode *nextAdded() const { return m_addedNext; }
    // True when node is this node or one of its descendants.
    bool contains(const TreeNode *node) const;

    Tree *tree() const { return m_tree; }

private:
    friend class Tree;
    explicit TreeNode(Tree *tree) : m_tree(tree) {}

    Tree *m_tree;
    QString m_key;
    QString m_text;
    bool m_checked = false;
    bool m_bold = false;
    bool m_expanded = false;
    NodeColor m_backColor;
    NodeColor m_foreColor;

    TreeNode *m_parent = nullptr;  // the tree's hidden root for top-level nodes
    TreeNode *m_firstChild = nullptr;
    TreeNode *m_lastChild = nullptr;
    TreeNode *m_previous = nullptr;
    TreeNode *m_next = nullptr;
    int m_childCount = 0;
    mutable int m_row = 0;
    mutable bool m_rowsStale = false;  // on a parent: the children's m_row need recounting
    TreeNode *m_addedPrevious = nullptr;
    TreeNode *m_addedNext = nullptr;
};

// An ordered tree of keyed nodes: the library tree of the main window and the trees of the dialogs.
// Keys are unique (O(1) lookup); sibling steps are O(1); nodes are inserted relative to another
// node and whole subtrees move. Views listen to the about-to / done signals.
class Tree : public QObject
{
    Q_OBJECT
public:
    // Where a new or moved node goes relative to the given node. Without a relative node every
    // relation places the node last among the top-level nodes, except First, which places it first.
    enum class Relation { First, Last, Next, Previous, Child };

    static constexpr qint32 KeyNotUnique = 35602;
    static constexpr qint32 InvalidMove = 35605;

    explicit Tree(QObject *parent = nullptr);
    ~Tree() override;

    // Adds a node. A key already in the tree is refused with error 35602 and nothing changes; an
    // empty key is allowed and is not indexed.
    TreeNode *add(TreeNode *relative, Relation relation, const QString &key, const QString &text);
    // Moves a node with its subtree. A move into the node's own subtree is refused (error 35605).
    void move(TreeNode *node, TreeNode *relative, Relation relation);
    // Removes a node and its subtree.
    void remove(TreeNode *node);
    void clear();
    // Room for this many nodes in the key index, ahead of adding them.
    void reserve(qsizetype count) { m_index.reserve(count); }
    // Gives a node another key; a key held by another node is refused (error 35602).
    void setKey(TreeNode *node, const QString &key);

    TreeNode *node(const QString &key) const { return key.isEmpty() ? nullptr : m_index.value(key); }
    bool contains(const QString &key) const { return m_index.contains(key); }
    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }

    TreeNode *firstRoot() const { return m_root->m_firstChild; }
    TreeNode *lastRoot() const { return m_root->m_lastChild; }
    int rootCount() const { return m_root->m_childCount; }
    TreeNode *root(int row) const { return m_root->child(row); }
    TreeNode *firstAdded() const { return m_addedFirst; }
    // The key of every node in the order of a depth-first walk (TreeNode::nextInWalk): the order
    // the library files and a Scenery.cfg are written in.
    QStringList keysInWalkOrder() const;

    TreeNode *selectedItem() const { return m_selected; }
    void setSelectedItem(TreeNode *node);

    // A rebuild: views reset once instead of following every insertion.
    void beginRebuild();
    void endRebuild();
    bool rebuilding() const { return m_rebuildDepth > 0; }

signals:
    void nodeAboutToBeInserted(TreeNode *parent, int row);
    void nodeInserted(TreeNode *node);
    void nodeAboutToBeRemoved(TreeNode *node);
    void nodeRemoved();
    // destinationRow counts the new parent's children before the node leaves its place.
    void nodeAboutToBeMoved(TreeNode *node, TreeNode *newParent, int destinationRow);
    void nodeMoved(TreeNode *node);
    void nodeChanged(TreeNode *node);
    void aboutToReset();
    void reset();
    void selectionChanged(TreeNode *node);

private:
    friend class TreeNode;
    struct Place
    {
        TreeNode *parent;
        TreeNode *before;  // the node goes right before this one; nullptr: last child
    };
    Place placeFor(TreeNode *relative, Relation relation) const;
    void link(TreeNode *node, const Place &place);
    void unlink(TreeNode *node);
    void forget(TreeNode *node);  // drops a subtree from the index and the add order, deletes it
    void changed(TreeNode *node);
    TreeNode *publicParent(TreeNode *internal) const { return internal == m_root ? nullptr : internal; }

    TreeNode *m_root;
    QHash<QString, TreeNode *> m_index;
    int m_count = 0;
    TreeNode *m_addedFirst = nullptr;
    TreeNode *m_addedLast = nullptr;
    TreeNode *m_selected = nullptr;
    int m_rebuildDepth = 0;
};
