#include "tree/tree.h"

#include "platform/lmerror.h"

// ---- TreeNode -------------------------------------------------------------------------------

void TreeNode::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    m_tree->changed(this);
}

void TreeNode::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    m_tree->changed(this);
}

void TreeNode::setBold(bool bold)
{
    if (m_bold == bold)
        return;
    m_bold = bold;
    m_tree->changed(this);
}

void TreeNode::setExpanded(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    m_tree->changed(this);
}

void TreeNode::setBackColor(NodeColor color)
{
    if (m_backColor == color)
        return;
    m_backColor = color;
    m_tree->changed(this);
}

void TreeNode::setForeColor(NodeColor color)
{
    if (m_foreColor == color)
        return;
    m_foreColor = color;
    m_tree->changed(this);
}

void TreeNode::ensureVisible()
{
    for (TreeNode *p = parent(); p; p = p->parent())
        p->setExpanded(true);
}

TreeNode *TreeNode::parent() const
{
    return m_tree->publicParent(m_parent);
}

TreeNode *TreeNode::firstSibling() const
{
    return m_parent->m_firstChild;
}

TreeNode *TreeNode::lastSibling() const
{
    return m_parent->m_lastChild;
}

int TreeNode::row() const
{
    if (m_parent->m_rowsStale) {
        int row = 0;
        for (TreeNode *c = m_parent->m_firstChild; c; c = c->m_next)
            c->m_row = row++;
        m_parent->m_rowsStale = false;
    }
    return m_row;
}

TreeNode *TreeNode::child(int row) const
{
    if (row < 0 || row >= m_childCount)
        return nullptr;
    // Walk from the nearer end; views ask for neighbouring rows, so this stays cheap in practice.
    if (row < m_childCount / 2) {
        TreeNode *c = m_firstChild;
        while (row-- > 0)
            c = c->m_next;
        return c;
    }
    TreeNode *c = m_lastChild;
    for (int i = m_childCount - 1; i > row; --i)
        c = c->m_previous;
    return c;
}

TreeNode *TreeNode::nextInWalk() const
{
    if (m_firstChild)
        return m_firstChild;
    for (const TreeNode *n = this; n && n != m_tree->m_root; n = n->m_parent) {
        if (n->m_next)
            return n->m_next;
    }
    return nullptr;
}

bool TreeNode::contains(const TreeNode *node) const
{
    for (const TreeNode *n = node; n; n = n->m_parent) {
        if (n == this)
            return true;
    }
    return false;
}

// ---- Tree -----------------------------------------------------------------------------------

QStringList Tree::keysInWalkOrder() const
{
    QStringList keys;
    keys.reserve(m_count);
    for (const TreeNode *node = firstRoot(); node; node = node->nextInWalk())
        keys.append(node->key());
    return keys;
}

Tree::Tree(QObject *parent) : QObject(parent), m_root(new TreeNode(this))
{
}

Tree::~Tree()
{
    for (TreeNode *n = m_addedFirst; n;) {
        TreeNode *next = n->m_addedNext;
        delete n;
        n = next;
    }
    delete m_root;
}

Tree::Place Tree::placeFor(TreeNode *relative, Relation relation) const
{
    if (!relative)
        return relation == Relation::First ? Place{m_root, m_root->m_firstChild} : Place{m_root, nullptr};
    switch (relation) {
    case Relation::First: return {relative->m_parent, relative->m_parent->m_firstChild};
    case Relation::Last: return {relative->m_parent, nullptr};
    case Relation::Next: return {relative->m_parent, relative->m_next};
    case Relation::Previous: return {relative->m_parent, relative};
    case Relation::Child: return {relative, nullptr};
    }
    return {m_root, nullptr};
}

void Tree::link(TreeNode *node, const Place &place)
{
    TreeNode *parent = place.parent;
    node->m_parent = parent;
    node->m_next = place.before;
    node->m_previous = place.before ? place.before->m_previous : parent->m_lastChild;
    if (node->m_previous)
        node->m_previous->m_next = node;
    else
        parent->m_firstChild = node;
    if (place.before)
        place.before->m_previous = node;
    else
        parent->m_lastChild = node;
    ++parent->m_childCount;
    if (place.before || parent->m_rowsStale)
        parent->m_rowsStale = true;
    else
        node->m_row = parent->m_childCount - 1;
}

void Tree::unlink(TreeNode *node)
{
    TreeNode *parent = node->m_parent;
    if (node->m_previous)
        node->m_previous->m_next = node->m_next;
    else
        parent->m_firstChild = node->m_next;
    if (node->m_next) {
        node->m_next->m_previous = node->m_previous;
        parent->m_rowsStale = true;
    } else {
        parent->m_lastChild = node->m_previous;
    }
    --parent->m_childCount;
    node->m_parent = nullptr;
    node->m_previous = node->m_next = nullptr;
}

TreeNode *Tree::add(TreeNode *relative, Relation relation, const QString &key, const QString &text)
{
    // One lookup finds a held key or makes the new key's room, which the node takes at once.
    TreeNode **slot = nullptr;
    if (!key.isEmpty()) {
        const qsizetype before = m_index.size();
        slot = &m_index[key];
        if (m_index.size() == before)
            throw LmError(KeyNotUnique, QStringLiteral("Key is not unique in collection"));
    }
    Place place{};
    TreeNode *node = nullptr;
    try {
        place = placeFor(relative, relation);
        node = new TreeNode(this);
    } catch (...) {
        if (slot)
            m_index.remove(key);
        throw;
    }
    node->m_key = key;
    node->m_text = text;
    if (slot)
        *slot = node;

    const bool notify = !rebuilding();
    if (notify)
        emit nodeAboutToBeInserted(publicParent(place.parent),
                                   place.before ? place.before->row() : place.parent->m_childCount);
    link(node, place);
    node->m_addedPrevious = m_addedLast;
    if (m_addedLast)
        m_addedLast->m_addedNext = node;
    else
        m_addedFirst = node;
    m_addedLast = node;
    ++m_count;
    if (notify)
        emit nodeInserted(node);
    return node;
}

void Tree::move(TreeNode *node, TreeNode *relative, Relation relation)
{
    if (relative && node->contains(relative) && !(relation != Relation::Child && relative == node))
        throw LmError(InvalidMove, QStringLiteral("A node can not be moved into its own subtree"));
    const Place place = placeFor(relative, relation);
    if (place.before == node || (place.parent == node->m_parent && place.before == node->m_next))
        return; // already there

    const bool notify = !rebuilding();
    if (notify)
        emit nodeAboutToBeMoved(node, publicParent(place.parent),
                                place.before ? place.before->row() : place.parent->m_childCount);
    unlink(node);
    link(node, place);
    if (notify)
        emit nodeMoved(node);
}

void Tree::forget(TreeNode *node)
{
    for (TreeNode *c = node->m_firstChild; c;) {
        TreeNode *next = c->m_next;
        forget(c);
        c = next;
    }
    if (!node->m_key.isEmpty())
        m_index.remove(node->m_key);
    if (node->m_addedPrevious)
        node->m_addedPrevious->m_addedNext = node->m_addedNext;
    else
        m_addedFirst = node->m_addedNext;
    if (node->m_addedNext)
        node->m_addedNext->m_addedPrevious = node->m_addedPrevious;
    else
        m_addedLast = node->m_addedPrevious;
    if (m_selected == node)
        m_selected = nullptr;
    --m_count;
    delete node;
}

void Tree::remove(TreeNode *node)
{
    const bool notify = !rebuilding();
    const bool selectionLost = m_selected && node->contains(m_selected);
    if (notify)
        emit nodeAboutToBeRemoved(node);
    unlink(node);
    forget(node);
    if (notify)
        emit nodeRemoved();
    if (selectionLost)
        emit selectionChanged(nullptr);
}

void Tree::clear()
{
    const bool notify = !rebuilding();
    const bool hadSelection = m_selected != nullptr;
    if (notify)
        emit aboutToReset();
    for (TreeNode *n = m_addedFirst; n;) {
        TreeNode *next = n->m_addedNext;
        delete n;
        n = next;
    }
    m_addedFirst = m_addedLast = nullptr;
    m_root->m_firstChild = m_root->m_lastChild = nullptr;
    m_root->m_childCount = 0;
    m_root->m_rowsStale = false;
    m_index.clear();
    m_count = 0;
    m_selected = nullptr;
    if (notify)
        emit reset();
    if (hadSelection)
        emit selectionChanged(nullptr);
}

void Tree::setKey(TreeNode *node, const QString &key)
{
    if (node->m_key == key)
        return;
    if (!key.isEmpty() && m_index.contains(key))
        throw LmError(KeyNotUnique, QStringLiteral("Key is not unique in collection"));
    if (!node->m_key.isEmpty())
        m_index.remove(node->m_key);
    node->m_key = key;
    if (!key.isEmpty())
        m_index.insert(key, node);
    changed(node);
}

void Tree::setSelectedItem(TreeNode *node)
{
    if (m_selected == node)
        return;
    m_selected = node;
    emit selectionChanged(node);
}

void Tree::beginRebuild()
{
    if (m_rebuildDepth++ == 0)
        emit aboutToReset();
}

void Tree::endRebuild()
{
    // An unmatched end must not leave the depth negative, or later edits would go unannounced.
    if (m_rebuildDepth == 0)
        return;
    if (--m_rebuildDepth == 0)
        emit reset();
}

void Tree::changed(TreeNode *node)
{
    if (!rebuilding())
        emit nodeChanged(node);
}
