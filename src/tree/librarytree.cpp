#include "tree/librarytree.h"

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/uiport.h"

#include <QHash>
#include <QSet>

#include <optional>
#include <vector>

namespace {

const QString FillTreeProcedure = QStringLiteral(".fillTree");
const QString FixChildKeyProcedure = QStringLiteral(".fixChildKey");
const QChar Separator = QLatin1Char('\\');

// The view is reset once, however the rebuild ends.
class HiddenWhileRebuilt
{
public:
    explicit HiddenWhileRebuilt(Tree &tree) : m_tree(tree) { m_tree.beginRebuild(); }
    ~HiddenWhileRebuilt() { show(); }
    void show()
    {
        if (m_hidden)
            m_tree.endRebuild();
        m_hidden = false;
    }

private:
    Tree &m_tree;
    bool m_hidden = true;
};

// The node after n in a depth-first walk that stays inside top's subtree; nullptr at its end.
TreeNode *nextInSubtree(TreeNode *n, const TreeNode *top)
{
    if (n->firstChild())
        return n->firstChild();
    while (n != top) {
        if (n->next())
            return n->next();
        n = n->parent();
    }
    return nullptr;
}

// Finds, for each scenery about to be placed, the node its predecessor chain leads to at the
// moment it is placed: the first key along PreviousKey, PreviousKey of that scenery, ... that has a
// node by then. Nodes only ever appear while the tree fills, so running the placements backwards
// turns every "gets a node" into a union, and each chain is followed once overall instead of once
// per scenery; a library whose order differs wholly from its tree stays linear.
class PredecessorChains
{
public:
    static constexpr int End = -1;

    // A key that has a node for the whole filling (a level).
    void addFixedNode(const QString &key, TreeNode *parent)
    {
        if (key.isEmpty() || m_ids.contains(key))
            return;
        const int id = newId(key);
        m_marked[id] = true;
        m_parent[id] = parent;
    }
    // A scenery key with its PreviousKey (resolved later).
    void addScenery(const QString &key, const QString &previousKey)
    {
        if (key.isEmpty() || m_ids.contains(key))
            return;
        const int id = newId(key);
        m_previousKey[id] = previousKey;
    }
    // Room for this many keys, so that the index is not rebuilt as it grows.
    void reserve(qsizetype count)
    {
        m_ids.reserve(count);
        m_keys.reserve(size_t(count));
        m_previousKey.reserve(size_t(count));
        m_marked.reserve(size_t(count));
        m_parent.reserve(size_t(count));
    }
    // A key that stands for another one from now on.
    void addAlias(const QString &key, const QString &target) { addScenery(key, target); }

    int id(const QString &key) const { return key.isEmpty() ? End : m_ids.value(key, End); }
    const QString &key(int id) const { return m_keys[size_t(id)]; }
    TreeNode *parentOf(int id) const { return m_parent[size_t(id)]; }

    // placements: in order, the id each placed scenery will have a node under (End for none) and
    // the parent node it goes into. Returns, per placement, the id the chain of its PreviousKey
    // leads to when it is placed (End when the chain reaches "", an unknown key or a loop).
    std::vector<int> resolve(const std::vector<std::pair<int, TreeNode *>> &placements,
                             const std::vector<QString> &previousKeys)
    {
        const size_t count = m_keys.size();
        m_prev.assign(count, End);
        for (size_t i = 0; i < count; ++i)
            m_prev[i] = id(m_previousKey[i]);
        for (const auto &[placedId, parent] : placements) {
            if (placedId != End) {
                m_marked[size_t(placedId)] = true;
                m_parent[size_t(placedId)] = parent;
            }
        }
        settleRoots();

        std::vector<int> anchors(placements.size(), End);
        for (size_t t = placements.size(); t-- > 0;) {
            const int placedId = placements[t].first;
            if (placedId != End && m_marked[size_t(placedId)]) {
                // Before its own placement the scenery has no node: its chain goes on past it.
                const int next = find(m_prev[size_t(placedId)]);
                m_marked[size_t(placedId)] = false;
                m_link[size_t(placedId)] = next == placedId ? End : next;
            }
            anchors[t] = find(id(previousKeys[t]));
        }
        return anchors;
    }

private:
    int newId(const QString &key)
    {
        const int id = int(m_keys.size());
        m_ids.insert(key, id);
        m_keys.push_back(key);
        m_previousKey.emplace_back();
        m_marked.push_back(false);
        m_parent.push_back(nullptr);
        return id;
    }

    // Points every key without a node at the first key with a node along its chain (End when
    // there is none, also for chains that run in a circle).
    void settleRoots()
    {
        const size_t count = m_keys.size();
        m_link.assign(count, End);
        std::vector<char> state(count, 0);  // 0 not seen, 1 on the current path, 2 settled
        std::vector<int> path;
        for (size_t start = 0; start < count; ++start) {
            if (m_marked[start]) {
                m_link[start] = int(start);
                state[start] = 2;
            }
        }
        for (size_t start = 0; start < count; ++start) {
            if (state[start] != 0)
                continue;
            path.clear();
            int j = int(start);
            int root = End;
            while (true) {
                if (j == End)
                    break;
                if (state[size_t(j)] == 2) {
                    root = m_link[size_t(j)];
                    break;
                }
                if (state[size_t(j)] == 1)
                    break;  // a loop without a node
                state[size_t(j)] = 1;
                path.push_back(j);
                j = m_prev[size_t(j)];
            }
            for (int p : path) {
                m_link[size_t(p)] = root;
                state[size_t(p)] = 2;
            }
        }
    }

    int find(int x)
    {
        int root = x;
        while (root != End && m_link[size_t(root)] != root)
            root = m_link[size_t(root)];
        while (x != End && m_link[size_t(x)] != x) {
            const int next = m_link[size_t(x)];
            m_link[size_t(x)] = root;
            x = next;
        }
        return root;
    }

    QHash<QString, int> m_ids;
    std::vector<QString> m_keys;
    std::vector<QString> m_previousKey;
    std::vector<bool> m_marked;
    std::vector<TreeNode *> m_parent;
    std::vector<int> m_prev;
    std::vector<int> m_link;
};

} // namespace

LibraryTree::LibraryTree(SceneryManager &manager, Tree &tree, UiPort &ui, QObject *parent)
    : QObject(parent), m_manager(manager), m_tree(tree), m_ui(ui)
{
}

QString LibraryTree::getParentKey(const QString &key)
{
    const qsizetype cut = key.lastIndexOf(Separator);
    QString parent = cut < 0 ? QString() : key.left(cut);
    if (isSceneryKey(parent))
        parent = LibraryNames::LevelPrefix + parent.mid(LibraryNames::SceneryPrefix.size());
    return parent;
}

qint16 LibraryTree::filterMask() const
{
    return m_filterSource ? m_filterSource() : m_filterMask;
}

void LibraryTree::setFilterMask(qint16 mask)
{
    m_filterSource = nullptr;
    m_filterMask = mask;
}

void LibraryTree::setFilterMask(std::function<qint16()> source)
{
    m_filterSource = std::move(source);
}

void LibraryTree::UndisplayAllTree()
{
    fillTree(0, false);
}

void LibraryTree::RebuildFiltered()
{
    fillTree(filterMask(), false);
}

void LibraryTree::updatePreviousLink()
{
    // Where the chain of recorded predecessors of a hidden scenery comes out: the first key along
    // it that has a node ("" when there is none), and whether every hidden scenery on the way sits
    // in the same level (the level's key, or nothing when they do not).
    struct Outcome
    {
        QString node;
        std::optional<QString> level;
    };
    QHash<QString, Outcome> outcomes;
    const OrderedMap<SceneryPtr> &sceneries = m_manager.colScenery;
    auto followHidden = [&](const QString &start) -> Outcome {
        std::vector<QString> path;
        QSet<QString> onPath;
        Outcome outcome;
        bool ownLevel = false;  // the outcome's level must still be the last path entry's own
        for (QString k = start;;) {
            if (k.isEmpty() || m_tree.contains(k))
                break;
            if (const auto known = outcomes.constFind(k); known != outcomes.cend()) {
                outcome = known.value();
                break;
            }
            const SceneryPtr scenery = sceneries.value(k);
            if (!scenery || onPath.contains(k))
                break;  // an unknown key or a loop: the chain ends without a node
            path.push_back(k);
            onPath.insert(k);
            k = scenery->PreviousKey;
            if (k.isEmpty() || m_tree.contains(k)) {
                outcome.node = k;
                ownLevel = true;
            }
        }
        // Walk back from the end so that each entry's outcome is known for later chains.
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            const QString level = getParentKey(*it);
            if (ownLevel) {
                outcome.level = level;
                ownLevel = false;
            } else if (outcome.level && *outcome.level != level) {
                outcome.level.reset();
            }
            outcomes.insert(*it, outcome);
        }
        return outcome;
    };

    for (const SceneryPtr &scenery : sceneries) {
        const TreeNode *node = m_tree.node(scenery->Key);
        if (!node)
            continue;  // hidden by the filter: its place stays as recorded
        const QString above = node->previous() ? node->previous()->key() : QString();
        // While a filter hides sceneries, a recorded predecessor that is hidden itself and leads,
        // through hidden sceneries of the same level only, to the node that is shown above is still
        // right, and it is the only record of where the scenery stands among the hidden ones.
        // Replacing it by the shown neighbour would put the hidden sceneries after this one once
        // the filter is off.
        const QString &recorded = scenery->PreviousKey;
        if (!recorded.isEmpty() && recorded != above && !m_tree.contains(recorded) && sceneries.contains(recorded)) {
            const Outcome outcome = followHidden(recorded);
            if (outcome.node == above && outcome.level == getParentKey(scenery->Key))
                continue;
        }
        scenery->PreviousKey = above;
    }
}

void LibraryTree::fillTree(qint16 mask, bool appendUnplaced)
{
    // A failing step is reported and the rebuild goes on, so that as much of the library as
    // possible is shown.
    runStep(m_ui, FillTreeProcedure, [&] { updatePreviousLink(); });
    {
        HiddenWhileRebuilt hidden(m_tree);
        runStep(m_ui, FillTreeProcedure, [&] { reorderLevels(); });
        m_tree.clear();
        m_tree.reserve(m_manager.dicLevel.count() + m_manager.colScenery.count());
        placeLevels();
        placeSceneries(mask, appendUnplaced);
    }
    FillAuthor();
    emit authorsChanged();
    emit treeRebuilt();
}

void LibraryTree::reorderLevels()
{
    if (m_tree.isEmpty())
        return;
    OrderedMap<LevelPtr> ordered;
    for (const TreeNode *n = m_tree.firstRoot(); n; n = n->nextInWalk()) {
        const QString &key = n->key();
        if (!isLevelKey(key) || ordered.contains(key))
            continue;
        // A node whose level is no longer in the library has nothing to record.
        if (LevelPtr level = m_manager.dicLevel.value(key))
            ordered.add(key, std::move(level));
    }
    // A level the tree does not show would otherwise be lost, and its sceneries with it.
    for (auto it = m_manager.dicLevel.begin(); it != m_manager.dicLevel.end(); ++it) {
        if (!ordered.contains(it.key()))
            ordered.add(it.key(), it.value());
    }
    m_manager.dicLevel = std::move(ordered);
}

TreeNode *LibraryTree::levelNode(const QString &key) const
{
    return m_manager.dicLevel.contains(key) ? m_tree.node(key) : nullptr;
}

void LibraryTree::placeLevels()
{
    std::vector<LevelPtr> levels;
    levels.reserve(size_t(m_manager.dicLevel.count()));
    std::vector<QString> keys;
    keys.reserve(levels.capacity());
    for (auto it = m_manager.dicLevel.begin(); it != m_manager.dicLevel.end(); ++it) {
        keys.push_back(it.key());
        levels.push_back(it.value());
    }

    // Levels whose parent had no node when they were placed; they wait at the top level.
    std::vector<TreeNode *> waiting;
    for (size_t i = 0; i < levels.size(); ++i) {
        m_ui.processEvents();
        runStep(m_ui, FillTreeProcedure, [&] {
            const QString &key = keys[i];
            const QString &caption = levels[i]->sLevelCaption;
            if (!key.contains(Separator)) {
                m_tree.add(nullptr, Tree::Relation::Last, key, caption);
                return;
            }
            if (TreeNode *parent = levelNode(getParentKey(key))) {
                m_tree.add(parent, Tree::Relation::Child, key, caption);
                return;
            }
            waiting.push_back(m_tree.add(nullptr, Tree::Relation::Last, key, caption));
        });
    }
    // A parent listed after its child has a node by now; a level whose parent is not in the
    // library at all stays at the top level rather than being lost.
    for (TreeNode *n : waiting) {
        TreeNode *parent = levelNode(getParentKey(n->key()));
        if (parent && !n->contains(parent))
            m_tree.move(n, parent, Tree::Relation::Child);
    }
}

TreeNode *LibraryTree::newLevelNode()
{
    const QString &key = LibraryNames::NewLevelKey;
    if (TreeNode *node = levelNode(key))
        return node;
    LevelPtr level = m_manager.dicLevel.value(key);
    if (!level) {
        level = std::make_shared<clsLevel>();
        level->sLevelKey = key;
        level->sLevelCaption = LibraryNames::NewLevelCaption;
        m_manager.dicLevel.add(key, level);
    }
    return m_tree.add(nullptr, Tree::Relation::Last, key, level->sLevelCaption);
}

void LibraryTree::applyAppearance(TreeNode *node, const clsScenery &scenery) const
{
    node->setBackColor(scenery.IsLocalPath ? LocalBackColor : RemoteBackColor);
    node->setForeColor(scenery.Active ? ActiveForeColor : InactiveForeColor);
    node->ensureVisible();
    node->setChecked(scenery.InCFG);
}

void LibraryTree::placeSceneries(qint16 mask, bool appendUnplaced)
{
    struct Item
    {
        SceneryPtr scenery;
        TreeNode *parent = nullptr;
        bool shown = false;
        size_t placement = 0;
    };
    std::vector<Item> items;
    items.reserve(size_t(m_manager.colScenery.count()));
    for (const SceneryPtr &scenery : m_manager.colScenery) {
        const bool shown = mask == 0 || scenery->FlySim == 0 || (scenery->FlySim & mask) != 0;
        items.push_back(Item{scenery, nullptr, shown, 0});
    }

    // Where each shown scenery goes. One whose level is not in the library goes to the level
    // "New", under the key it would have had there when that key is free.
    PredecessorChains chains;
    chains.reserve(m_tree.count() + qsizetype(items.size()));
    for (Item &item : items) {
        if (!item.shown)
            continue;
        runStep(m_ui, FillTreeProcedure, [&] {
            clsScenery &scenery = *item.scenery;
            item.parent = levelNode(getParentKey(scenery.Key));
            if (item.parent)
                return;
            item.parent = newLevelNode();
            const QString newKey = LibraryNames::NewSceneryPrefix + scenery.Title;
            if (newKey == scenery.Key || m_manager.colScenery.contains(newKey) || m_tree.contains(newKey))
                return;
            const QString oldKey = scenery.Key;
            m_manager.colScenery.remove(oldKey);
            scenery.Key = newKey;
            m_manager.colScenery.add(newKey, item.scenery);
            // Sceneries that followed it under the old key still find it.
            chains.addAlias(oldKey, newKey);
        });
    }

    for (TreeNode *n = m_tree.firstRoot(); n; n = n->nextInWalk())
        chains.addFixedNode(n->key(), n->parent());
    for (const Item &item : items)
        chains.addScenery(item.scenery->Key, item.scenery->PreviousKey);

    std::vector<std::pair<int, TreeNode *>> placements;
    std::vector<QString> previousKeys;
    for (Item &item : items) {
        if (!item.shown || !item.parent)
            continue;
        const QString &key = item.scenery->Key;
        // A key that a level already holds cannot get a node; the insertion below reports it.
        const bool getsNode = !key.isEmpty() && !m_tree.contains(key);
        item.placement = placements.size();
        placements.emplace_back(getsNode ? chains.id(key) : PredecessorChains::End, item.parent);
        previousKeys.push_back(item.scenery->PreviousKey);
    }
    const std::vector<int> anchors = chains.resolve(placements, previousKeys);

    for (const Item &item : items) {
        m_ui.processEvents();
        if (!item.shown || !item.parent)
            continue;
        runStep(m_ui, FillTreeProcedure, [&] {
            const clsScenery &scenery = *item.scenery;
            TreeNode *parent = item.parent;
            TreeNode *node = nullptr;
            if (!parent->hasChildren()) {
                node = m_tree.add(parent, Tree::Relation::Child, scenery.Key, scenery.Title);
            } else {
                TreeNode *anchor = nullptr;
                const int anchorId = anchors[item.placement];
                // A predecessor that now sits in another level says nothing about this one.
                if (!scenery.PreviousKey.isEmpty() && anchorId != PredecessorChains::End
                    && chains.parentOf(anchorId) == parent)
                    anchor = m_tree.node(chains.key(anchorId));
                if (anchor)
                    node = m_tree.add(anchor, Tree::Relation::Next, scenery.Key, scenery.Title);
                else if (appendUnplaced)
                    node = m_tree.add(parent, Tree::Relation::Child, scenery.Key, scenery.Title);
                else
                    node = m_tree.add(parent->firstChild(), Tree::Relation::First, scenery.Key, scenery.Title);
            }
            applyAppearance(node, scenery);
        });
    }
}

void LibraryTree::FillAuthor()
{
    m_authors.clear();
    QSet<QString> seen;
    for (const SceneryPtr &scenery : m_manager.colScenery) {
        const QString &author = scenery->Author;
        if (author.isEmpty() || seen.contains(author))
            continue;
        seen.insert(author);
        m_authors.append(author);
    }
}

void LibraryTree::SelectSubNodes(TreeNode *node)
{
    if (!node)
        return;
    const bool checked = node->checked();
    for (TreeNode *n = node->firstChild(); n; n = nextInSubtree(n, node))
        n->setChecked(checked);
}

// ---- Re-keying ------------------------------------------------------------------------------

struct LibraryTree::Rekey
{
    TreeNode *node;  // nullptr for a scenery the filter hides
    bool level;
    QString oldKey;
    QString newKey;
};

QString LibraryTree::rekey(TreeNode *node, const QString &newKey)
{
    if (!node)
        return {};
    const QString oldKey = node->key();
    std::vector<Rekey> plan;
    if (const QString taken = planRekey(node, newKey, oldKey, plan); !taken.isEmpty())
        return taken;
    // The node leaves its level: what followed it there follows what stood above it instead, so
    // that hidden sceneries keep their place among their siblings.
    if (getParentKey(oldKey) != getParentKey(newKey)) {
        QString above = node->previous() ? node->previous()->key() : QString();
        if (isSceneryKey(oldKey)) {
            updatePreviousLink();
            if (const SceneryPtr scenery = m_manager.colScenery.value(oldKey))
                above = scenery->PreviousKey;
        }
        QSet<QString> moving;
        for (const Rekey &r : plan)
            moving.insert(r.oldKey);
        for (const SceneryPtr &scenery : m_manager.colScenery) {
            if (scenery->PreviousKey == oldKey && !moving.contains(scenery->Key))
                scenery->PreviousKey = above;
        }
    }
    applyRekey(plan);
    return {};
}

void LibraryTree::fixChildKey(TreeNode *node, const QString &oldKey)
{
    if (!node)
        return;
    std::vector<Rekey> plan;
    const QString taken = planRekey(node, node->key(), oldKey.isEmpty() ? node->key() : oldKey, plan);
    if (!taken.isEmpty()) {
        reportError(m_ui, FixChildKeyProcedure, LmError::standard(LmError::DuplicateKey, taken));
        return;
    }
    applyRekey(plan);
}

QString LibraryTree::planRekey(TreeNode *top, const QString &topNewKey, const QString &topOldKey,
                               std::vector<Rekey> &plan) const
{
    const OrderedMap<SceneryPtr> &sceneries = m_manager.colScenery;
    const OrderedMap<LevelPtr> &levels = m_manager.dicLevel;
    const bool topIsLevel = isLevelKey(top->key());

    // 1. Every new key from the parent's new key, children top to bottom, a level before its own
    //    children. A node without its record keeps its key: there is nothing to give a new one.
    if (topNewKey != top->key()) {
        const bool held = topIsLevel ? levels.contains(top->key()) : sceneries.contains(top->key());
        if (!held)
            return topNewKey;
        plan.push_back(Rekey{top, topIsLevel, top->key(), topNewKey});
    }
    QHash<QString, QString> movedLevels;  // old level key -> new level key
    if (topIsLevel && topOldKey != topNewKey)
        movedLevels.insert(topOldKey, topNewKey);
    std::vector<std::pair<TreeNode *, QString>> pending{{top, topNewKey}};
    while (!pending.empty()) {
        auto [parent, parentKey] = pending.back();
        pending.pop_back();
        const QString path = parentKey.mid(LibraryNames::LevelPrefix.size()) + Separator;
        std::vector<std::pair<TreeNode *, QString>> childLevels;
        for (TreeNode *child = parent->firstChild(); child; child = child->next()) {
            const QString &key = child->key();
            if (isLevelKey(key)) {
                const LevelPtr level = levels.value(key);
                const QString newKey =
                    LibraryNames::LevelPrefix + path + (level ? level->sLevelCaption : child->text());
                if (level)
                    plan.push_back(Rekey{child, true, key, newKey});
                else if (newKey != key)
                    return newKey;
                if (newKey != key)
                    movedLevels.insert(key, newKey);
                childLevels.emplace_back(child, newKey);
            } else if (isSceneryKey(key)) {
                const SceneryPtr scenery = sceneries.value(key);
                const QString newKey =
                    LibraryNames::SceneryPrefix + path + (scenery ? scenery->Title : child->text());
                if (!scenery && newKey != key)
                    return newKey;
                if (scenery)
                    plan.push_back(Rekey{child, false, key, newKey});
            }
        }
        for (auto it = childLevels.rbegin(); it != childLevels.rend(); ++it)
            pending.push_back(*it);
    }
    // Sceneries hidden by the filter have no node but belong to the moved levels all the same.
    if (!movedLevels.isEmpty()) {
        for (const SceneryPtr &scenery : sceneries) {
            if (m_tree.contains(scenery->Key))
                continue;
            const auto level = movedLevels.constFind(getParentKey(scenery->Key));
            if (level == movedLevels.cend())
                continue;
            const QString newKey = LibraryNames::SceneryPrefix + level.value().mid(LibraryNames::LevelPrefix.size())
                                   + Separator + scenery->Title;
            plan.push_back(Rekey{nullptr, false, scenery->Key, newKey});
        }
    }

    // 2. The whole change is refused when a new key is taken by anything that keeps its key, or
    //    two entries would arrive at one key.
    QSet<QString> leavingSceneries, leavingLevels, leavingNodes, arriving;
    for (const Rekey &r : plan) {
        if (r.oldKey == r.newKey)
            continue;
        (r.level ? leavingLevels : leavingSceneries).insert(r.oldKey);
        if (r.node)
            leavingNodes.insert(r.oldKey);
    }
    for (const Rekey &r : plan) {
        if (r.oldKey == r.newKey)
            continue;
        const bool heldByRecord = r.level ? levels.contains(r.newKey) && !leavingLevels.contains(r.newKey)
                                          : sceneries.contains(r.newKey) && !leavingSceneries.contains(r.newKey);
        const bool heldByNode = m_tree.contains(r.newKey) && !leavingNodes.contains(r.newKey);
        if (heldByRecord || heldByNode || arriving.contains(r.newKey))
            return r.newKey;
        arriving.insert(r.newKey);
    }
    return {};
}

void LibraryTree::applyRekey(const std::vector<Rekey> &plan)
{
    OrderedMap<SceneryPtr> &sceneries = m_manager.colScenery;
    OrderedMap<LevelPtr> &levels = m_manager.dicLevel;

    // Every record that changes is taken out first, so that keys can pass from one to another.
    QHash<QString, QString> renamed;
    std::vector<SceneryPtr> takenSceneries;
    std::vector<LevelPtr> takenLevels;
    for (const Rekey &r : plan) {
        if (r.oldKey == r.newKey)
            continue;
        renamed.insert(r.oldKey, r.newKey);
        if (r.level)
            takenLevels.push_back(levels.remove(r.oldKey));
        else
            takenSceneries.push_back(sceneries.remove(r.oldKey));
        if (r.node)
            m_tree.setKey(r.node, QString());
    }
    size_t nextLevel = 0, nextScenery = 0;
    for (const Rekey &r : plan) {
        if (r.oldKey == r.newKey)
            continue;
        m_ui.processEvents();
        if (r.level) {
            const LevelPtr &level = takenLevels[nextLevel++];
            level->sLevelKey = r.newKey;
            levels.add(r.newKey, level);
        } else {
            const SceneryPtr &scenery = takenSceneries[nextScenery++];
            scenery->Key = r.newKey;
            sceneries.add(r.newKey, scenery);
        }
        if (r.node)
            m_tree.setKey(r.node, r.newKey);
    }
    // A recorded predecessor follows its record, so sceneries without a node keep their place.
    for (const SceneryPtr &scenery : sceneries) {
        const auto it = renamed.constFind(scenery->PreviousKey);
        if (it != renamed.cend())
            scenery->PreviousKey = it.value();
    }
}
