#include "tree/tree.h"

#include "platform/lmerror.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

using Relation = Tree::Relation;
Q_DECLARE_METATYPE(Tree::Relation)

namespace {

QStringList keys(const char *csv)
{
    const QString text = QString::fromLatin1(csv);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
}

// "A,B(B1,B2),C": keys in sibling order, children in brackets.
QString dumpChildren(const TreeNode *first)
{
    QStringList parts;
    for (const TreeNode *n = first; n; n = n->next()) {
        QString s = n->key();
        if (n->firstChild())
            s += QLatin1Char('(') + dumpChildren(n->firstChild()) + QLatin1Char(')');
        parts << s;
    }
    return parts.join(QLatin1Char(','));
}

QString dump(const Tree &tree)
{
    return dumpChildren(tree.firstRoot());
}

QStringList addOrder(const Tree &tree)
{
    QStringList keys;
    for (const TreeNode *n = tree.firstAdded(); n; n = n->nextAdded())
        keys << n->key();
    return keys;
}

QStringList walkKeys(const Tree &tree)
{
    QStringList keys;
    for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk())
        keys << n->key();
    return keys;
}

// Builds a tree from the dump form; nodes are added in text order.
void build(Tree &tree, const QString &shape)
{
    std::vector<TreeNode *> stack;
    QString key;
    auto flush = [&] {
        if (key.isEmpty())
            return;
        TreeNode *parent = stack.empty() ? nullptr : stack.back();
        tree.add(parent, parent ? Relation::Child : Relation::Last, key, key + QStringLiteral(" text"));
        key.clear();
    };
    for (QChar c : shape) {
        if (c == QLatin1Char('(')) {
            const QString opened = key;
            flush();
            stack.push_back(tree.node(opened));
        } else if (c == QLatin1Char(')')) {
            flush();
            stack.pop_back();
        } else if (c == QLatin1Char(',')) {
            flush();
        } else {
            key += c;
        }
    }
    flush();
}

// Every structural invariant a view relies on: parent links, sibling links, rows, child counts,
// the key index and the total count.
void verifyStructure(const Tree &tree)
{
    int total = 0;
    std::vector<const TreeNode *> parents{nullptr};
    while (!parents.empty()) {
        const TreeNode *parent = parents.back();
        parents.pop_back();
        const TreeNode *first = parent ? parent->firstChild() : tree.firstRoot();
        const TreeNode *last = parent ? parent->lastChild() : tree.lastRoot();
        const int expectedCount = parent ? parent->childCount() : tree.rootCount();
        int row = 0;
        const TreeNode *previous = nullptr;
        for (const TreeNode *n = first; n; n = n->next()) {
            QCOMPARE(n->parent(), parent);
            QCOMPARE(n->previous(), previous);
            QCOMPARE(n->row(), row);
            QCOMPARE(n->firstSibling(), first);
            QCOMPARE(n->lastSibling(), last);
            QCOMPARE(parent ? parent->child(row) : tree.root(row), n);
            if (!n->key().isEmpty())
                QCOMPARE(tree.node(n->key()), n);
            parents.push_back(n);
            previous = n;
            ++row;
            ++total;
        }
        QCOMPARE(previous, last);
        QCOMPARE(row, expectedCount);
    }
    QCOMPARE(tree.count(), total);
    QCOMPARE(int(addOrder(tree).size()), total);
}

// A shadow of the tree kept only from the tree's signals, the way an item model adapter keeps its
// rows: every about-to signal must be followed by its done signal, and the rows handed over must be
// the ones beginInsertRows / beginRemoveRows / beginMoveRows accept.
class Mirror
{
public:
    explicit Mirror(Tree &tree) : m_tree(tree)
    {
        resetFromTree();
        QObject::connect(&tree, &Tree::nodeAboutToBeInserted, &tree, [this](TreeNode *p, int r) { aboutToInsert(p, r); });
        QObject::connect(&tree, &Tree::nodeInserted, &tree, [this](TreeNode *n) { inserted(n); });
        QObject::connect(&tree, &Tree::nodeAboutToBeRemoved, &tree, [this](TreeNode *n) { aboutToRemove(n); });
        QObject::connect(&tree, &Tree::nodeRemoved, &tree, [this] { removed(); });
        QObject::connect(&tree, &Tree::nodeAboutToBeMoved, &tree,
                         [this](TreeNode *n, TreeNode *p, int r) { aboutToMove(n, p, r); });
        QObject::connect(&tree, &Tree::nodeMoved, &tree, [this](TreeNode *n) { moved(n); });
        QObject::connect(&tree, &Tree::aboutToReset, &tree, [this] { begin(Pending::Reset); });
        QObject::connect(&tree, &Tree::reset, &tree, [this] {
            end(Pending::Reset);
            resetFromTree();
        });
    }

    // Empty when the shadow matches the tree and no notification is left open.
    QString mismatch() const
    {
        if (!m_errors.isEmpty())
            return m_errors.join(QLatin1Char('\n'));
        if (m_pending != Pending::None)
            return QStringLiteral("an about-to signal was not followed by its done signal");
        const QString shadow = dumpShadow(m_children.value(nullptr));
        const QString real = dump(m_tree);
        return shadow == real ? QString() : QStringLiteral("shadow %1 but tree %2").arg(shadow, real);
    }

private:
    enum class Pending { None, Insert, Remove, Move, Reset };

    QString dumpShadow(const QList<TreeNode *> &children) const
    {
        QStringList parts;
        for (TreeNode *n : children) {
            QString s = n->key();
            const QList<TreeNode *> sub = m_children.value(n);
            if (!sub.isEmpty())
                s += QLatin1Char('(') + dumpShadow(sub) + QLatin1Char(')');
            parts << s;
        }
        return parts.join(QLatin1Char(','));
    }

    void resetFromTree()
    {
        m_children.clear();
        m_parent.clear();
        m_children.insert(nullptr, {});
        for (TreeNode *n = m_tree.firstRoot(); n; n = n->nextInWalk()) {
            m_children[n->parent()].append(n);
            m_parent.insert(n, n->parent());
        }
    }

    void fail(const QString &what) { m_errors << what; }
    void begin(Pending p)
    {
        if (m_pending != Pending::None)
            fail(QStringLiteral("about-to signal while another change is open"));
        m_pending = p;
    }
    void end(Pending p)
    {
        if (m_pending != p)
            fail(QStringLiteral("done signal without its about-to signal"));
        m_pending = Pending::None;
    }
    bool known(TreeNode *n) const { return n == nullptr || m_parent.contains(n); }
    int shadowRow(TreeNode *n) const { return int(m_children.value(m_parent.value(n)).indexOf(n)); }
    bool shadowContains(TreeNode *ancestor, TreeNode *n) const
    {
        for (TreeNode *p = n; p; p = m_parent.value(p))
            if (p == ancestor)
                return true;
        return false;
    }

    void aboutToInsert(TreeNode *parent, int row)
    {
        begin(Pending::Insert);
        if (!known(parent))
            fail(QStringLiteral("insert under a node the view does not know"));
        if (row < 0 || row > m_children.value(parent).size())
            fail(QStringLiteral("insert row %1 outside 0..%2").arg(row).arg(m_children.value(parent).size()));
        m_pendingParent = parent;
        m_pendingRow = row;
    }
    void inserted(TreeNode *n)
    {
        end(Pending::Insert);
        if (n->parent() != m_pendingParent || n->row() != m_pendingRow) {
            fail(QStringLiteral("%1 announced at row %2 but landed at row %3").arg(n->key()).arg(m_pendingRow).arg(n->row()));
            return;
        }
        m_children[m_pendingParent].insert(m_pendingRow, n);
        m_parent.insert(n, m_pendingParent);
    }
    void aboutToRemove(TreeNode *n)
    {
        begin(Pending::Remove);
        if (!m_parent.contains(n)) {
            fail(QStringLiteral("removal of a node the view does not know"));
            return;
        }
        if (shadowRow(n) != n->row())
            fail(QStringLiteral("%1 is at row %2 for the view but reports row %3").arg(n->key()).arg(shadowRow(n)).arg(n->row()));
        m_pendingParent = m_parent.value(n);
        m_pendingRow = shadowRow(n);
    }
    void dropShadow(TreeNode *n)
    {
        const QList<TreeNode *> children = m_children.take(n);
        for (TreeNode *c : children)
            dropShadow(c);
        m_parent.remove(n);
    }
    void removed()
    {
        end(Pending::Remove);
        QList<TreeNode *> &siblings = m_children[m_pendingParent];
        if (m_pendingRow < 0 || m_pendingRow >= siblings.size())
            return;
        dropShadow(siblings.takeAt(m_pendingRow));
    }
    void aboutToMove(TreeNode *n, TreeNode *newParent, int destination)
    {
        begin(Pending::Move);
        if (!m_parent.contains(n) || !known(newParent)) {
            fail(QStringLiteral("move of a node the view does not know"));
            return;
        }
        const int source = shadowRow(n);
        if (source != n->row())
            fail(QStringLiteral("%1 is at row %2 for the view but reports row %3").arg(n->key()).arg(source).arg(n->row()));
        TreeNode *oldParent = m_parent.value(n);
        // What QAbstractItemModel::beginMoveRows refuses.
        if (oldParent == newParent && (destination == source || destination == source + 1))
            fail(QStringLiteral("move of %1 onto its own place").arg(n->key()));
        if (newParent && shadowContains(n, newParent))
            fail(QStringLiteral("move of %1 into its own subtree").arg(n->key()));
        if (destination < 0 || destination > m_children.value(newParent).size())
            fail(QStringLiteral("move destination %1 outside the new parent").arg(destination));
        m_pendingParent = newParent;
        m_pendingRow = destination;
        m_moveSource = source;
        m_moveOldParent = oldParent;
    }
    void moved(TreeNode *n)
    {
        end(Pending::Move);
        m_children[m_moveOldParent].removeAt(m_moveSource);
        int destination = m_pendingRow;
        if (m_moveOldParent == m_pendingParent && destination > m_moveSource)
            --destination;
        m_children[m_pendingParent].insert(destination, n);
        m_parent.insert(n, m_pendingParent);
        if (n->parent() != m_pendingParent || n->row() != destination)
            fail(QStringLiteral("%1 moved to row %2 but the view expected row %3").arg(n->key()).arg(n->row()).arg(destination));
    }

    Tree &m_tree;
    QHash<TreeNode *, QList<TreeNode *>> m_children;
    QHash<TreeNode *, TreeNode *> m_parent;
    Pending m_pending = Pending::None;
    TreeNode *m_pendingParent = nullptr;
    int m_pendingRow = -1;
    int m_moveSource = -1;
    TreeNode *m_moveOldParent = nullptr;
    QStringList m_errors;
};

const QString Base = QStringLiteral("A,B(B1,B2(X)),C");

} // namespace

class TstTree : public QObject
{
    Q_OBJECT

private slots:
    void add_data();
    void add();
    void addDuplicateKeyRefused_data();
    void addDuplicateKeyRefused();
    void emptyKeysAreNotIndexed();
    void remove_data();
    void remove();
    void removeKeepsOrClearsSelection_data();
    void removeKeepsOrClearsSelection();
    void move_data();
    void move();
    void moveIntoOwnSubtreeRefused_data();
    void moveIntoOwnSubtreeRefused();
    void moveToOwnPlaceIsSilent_data();
    void moveToOwnPlaceIsSilent();
    void setKey();
    void setKeyDuplicateRefused();
    void rowsAfterMixedEdits();
    void walkOrder_data();
    void walkOrder();
    void addOrderSurvivesRemovalsAndMoves();
    void clearEmptiesEverything();
    void signalsArePaired();
    void changeSignals();
    void rebuildSilencesNodeSignals();
    void ensureVisibleExpandsAncestors();
    void containsAndChild();
    void randomEditsKeepViewInStep();
};

void TstTree::add_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Relation>("relation");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("row");

    QTest::newRow("none First") << QString() << Relation::First << "N,A,B(B1,B2(X)),C" << 0;
    QTest::newRow("none Last") << QString() << Relation::Last << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("none Next") << QString() << Relation::Next << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("none Previous") << QString() << Relation::Previous << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("none Child") << QString() << Relation::Child << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("root First") << "C" << Relation::First << "N,A,B(B1,B2(X)),C" << 0;
    QTest::newRow("root Last") << "A" << Relation::Last << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("root Next middle") << "A" << Relation::Next << "A,N,B(B1,B2(X)),C" << 1;
    QTest::newRow("root Next last") << "C" << Relation::Next << "A,B(B1,B2(X)),C,N" << 3;
    QTest::newRow("root Previous first") << "A" << Relation::Previous << "N,A,B(B1,B2(X)),C" << 0;
    QTest::newRow("root Previous middle") << "C" << Relation::Previous << "A,B(B1,B2(X)),N,C" << 2;
    QTest::newRow("child First") << "B2" << Relation::First << "A,B(N,B1,B2(X)),C" << 0;
    QTest::newRow("child Last") << "B1" << Relation::Last << "A,B(B1,B2(X),N),C" << 2;
    QTest::newRow("child Next") << "B1" << Relation::Next << "A,B(B1,N,B2(X)),C" << 1;
    QTest::newRow("child Previous") << "B2" << Relation::Previous << "A,B(B1,N,B2(X)),C" << 1;
    QTest::newRow("Child of parent") << "B" << Relation::Child << "A,B(B1,B2(X),N),C" << 2;
    QTest::newRow("Child of leaf") << "A" << Relation::Child << "A(N),B(B1,B2(X)),C" << 0;
    QTest::newRow("Child deep") << "X" << Relation::Child << "A,B(B1,B2(X(N))),C" << 0;
    QTest::newRow("deep Previous") << "X" << Relation::Previous << "A,B(B1,B2(N,X)),C" << 0;
}

void TstTree::add()
{
    QFETCH(QString, relative);
    QFETCH(Relation, relation);
    QFETCH(QString, expected);
    QFETCH(int, row);

    Tree tree;
    build(tree, Base);
    Mirror mirror(tree);
    TreeNode *rel = relative.isEmpty() ? nullptr : tree.node(relative);
    TreeNode *n = tree.add(rel, relation, QStringLiteral("N"), QStringLiteral("new"));

    QCOMPARE(dump(tree), expected);
    QCOMPARE(tree.node(QStringLiteral("N")), n);
    QCOMPARE(n->text(), QStringLiteral("new"));
    QCOMPARE(n->row(), row);
    QCOMPARE(tree.count(), 7);
    QCOMPARE(addOrder(tree).last(), QStringLiteral("N"));
    verifyStructure(tree);
    QCOMPARE(mirror.mismatch(), QString());
}

void TstTree::addDuplicateKeyRefused_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Relation>("relation");
    QTest::addColumn<QString>("key");

    QTest::newRow("root key at top") << QString() << Relation::Last << "A";
    QTest::newRow("child key at top") << QString() << Relation::First << "B1";
    QTest::newRow("deep key as child") << "B" << Relation::Child << "X";
    QTest::newRow("own key next to itself") << "C" << Relation::Next << "C";
}

void TstTree::addDuplicateKeyRefused()
{
    QFETCH(QString, relative);
    QFETCH(Relation, relation);
    QFETCH(QString, key);

    Tree tree;
    build(tree, Base);
    const QStringList orderBefore = addOrder(tree);
    TreeNode *holder = tree.node(key);
    QSignalSpy aboutToInsert(&tree, &Tree::nodeAboutToBeInserted);
    QSignalSpy insertedSpy(&tree, &Tree::nodeInserted);

    try {
        tree.add(relative.isEmpty() ? nullptr : tree.node(relative), relation, key, QStringLiteral("dup"));
        QFAIL("a duplicate key was accepted");
    } catch (const LmError &e) {
        QCOMPARE(e.number(), 35602);
    }
    QCOMPARE(dump(tree), Base);
    QCOMPARE(tree.count(), 6);
    QCOMPARE(tree.node(key), holder);
    QCOMPARE(holder->text(), key + QStringLiteral(" text"));
    QCOMPARE(addOrder(tree), orderBefore);
    QCOMPARE(aboutToInsert.count(), 0);
    QCOMPARE(insertedSpy.count(), 0);
    verifyStructure(tree);
}

void TstTree::emptyKeysAreNotIndexed()
{
    Tree tree;
    TreeNode *a = tree.add(nullptr, Relation::Last, QString(), QStringLiteral("one"));
    TreeNode *b = tree.add(a, Relation::Next, QString(), QStringLiteral("two"));
    QCOMPARE(tree.count(), 2);
    QCOMPARE(tree.node(QString()), nullptr);
    QVERIFY(!tree.contains(QString()));
    QCOMPARE(b->row(), 1);
    tree.remove(a);
    QCOMPARE(tree.count(), 1);
    QCOMPARE(tree.firstRoot(), b);
}

void TstTree::remove_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("gone");

    QTest::newRow("subtree") << "B" << "A,C" << keys("B,B1,B2,X");
    QTest::newRow("first root") << "A" << "B(B1,B2(X)),C" << keys("A");
    QTest::newRow("last root") << "C" << "A,B(B1,B2(X))" << keys("C");
    QTest::newRow("first child") << "B1" << "A,B(B2(X)),C" << keys("B1");
    QTest::newRow("last child with subtree") << "B2" << "A,B(B1),C" << keys("B2,X");
    QTest::newRow("only child") << "X" << "A,B(B1,B2),C" << keys("X");
}

void TstTree::remove()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QFETCH(QStringList, gone);

    Tree tree;
    build(tree, Base);
    Mirror mirror(tree);
    QStringList order = addOrder(tree);
    tree.remove(tree.node(key));

    QCOMPARE(dump(tree), expected);
    for (const QString &k : gone) {
        QVERIFY2(!tree.contains(k), qPrintable(k));
        QCOMPARE(tree.node(k), nullptr);
        order.removeAll(k);
    }
    QCOMPARE(addOrder(tree), order);
    QCOMPARE(tree.count(), 6 - int(gone.size()));
    verifyStructure(tree);
    QCOMPARE(mirror.mismatch(), QString());
    // The keys are free again.
    tree.add(nullptr, Relation::Last, key, QString());
    QVERIFY(tree.contains(key));
}

void TstTree::removeKeepsOrClearsSelection_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("cleared");

    QTest::newRow("selected itself") << "B1" << "B1" << true;
    QTest::newRow("selected below") << "X" << "B" << true;
    QTest::newRow("selected sibling") << "B1" << "B2" << false;
    QTest::newRow("selected parent") << "B" << "X" << false;
}

void TstTree::removeKeepsOrClearsSelection()
{
    QFETCH(QString, selected);
    QFETCH(QString, removed);
    QFETCH(bool, cleared);

    Tree tree;
    build(tree, Base);
    TreeNode *sel = tree.node(selected);
    tree.setSelectedItem(sel);
    QSignalSpy selection(&tree, &Tree::selectionChanged);
    tree.remove(tree.node(removed));
    if (cleared) {
        QCOMPARE(tree.selectedItem(), nullptr);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(selection.at(0).at(0).value<TreeNode *>(), nullptr);
    } else {
        QCOMPARE(tree.selectedItem(), sel);
        QCOMPARE(selection.count(), 0);
    }
}

void TstTree::move_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Relation>("relation");
    QTest::addColumn<QString>("expected");

    // Base: A,B(B1,B2(X)),C
    QTest::newRow("root to first") << "C" << QString() << Relation::First << "C,A,B(B1,B2(X))";
    QTest::newRow("root to last") << "A" << QString() << Relation::Last << "B(B1,B2(X)),C,A";
    QTest::newRow("subtree to top level") << "B2" << QString() << Relation::Last << "A,B(B1),C,B2(X)";
    QTest::newRow("before, same parent, down") << "A" << "C" << Relation::Previous << "B(B1,B2(X)),A,C";
    QTest::newRow("before, same parent, up") << "C" << "B" << Relation::Previous << "A,C,B(B1,B2(X))";
    QTest::newRow("after, same parent, down") << "A" << "B" << Relation::Next << "B(B1,B2(X)),A,C";
    QTest::newRow("after, same parent, up") << "C" << "A" << Relation::Next << "A,C,B(B1,B2(X))";
    QTest::newRow("after, other parent") << "A" << "B1" << Relation::Next << "B(B1,A,B2(X)),C";
    QTest::newRow("before, other parent") << "X" << "A" << Relation::Previous << "X,A,B(B1,B2),C";
    QTest::newRow("child of leaf") << "B" << "C" << Relation::Child << "A,C(B(B1,B2(X)))";
    QTest::newRow("child of parent, already child") << "B1" << "B" << Relation::Child << "A,B(B2(X),B1),C";
    QTest::newRow("first among siblings") << "B2" << "B1" << Relation::First << "A,B(B2(X),B1),C";
    QTest::newRow("last among siblings") << "B1" << "B2" << Relation::Last << "A,B(B2(X),B1),C";
    QTest::newRow("first relative to self") << "C" << "C" << Relation::First << "C,A,B(B1,B2(X))";
    QTest::newRow("last relative to self") << "A" << "A" << Relation::Last << "B(B1,B2(X)),C,A";
    QTest::newRow("parent into a former uncle") << "X" << "A" << Relation::Child << "A(X),B(B1,B2),C";
    QTest::newRow("first into other level") << "C" << "B1" << Relation::First << "A,B(C,B1,B2(X))";
}

void TstTree::move()
{
    QFETCH(QString, node);
    QFETCH(QString, relative);
    QFETCH(Relation, relation);
    QFETCH(QString, expected);

    Tree tree;
    build(tree, Base);
    Mirror mirror(tree);
    const QStringList order = addOrder(tree);
    TreeNode *n = tree.node(node);
    tree.move(n, relative.isEmpty() ? nullptr : tree.node(relative), relation);

    QCOMPARE(dump(tree), expected);
    QCOMPARE(tree.node(node), n);
    QCOMPARE(addOrder(tree), order);  // a move is not a new addition
    QCOMPARE(tree.count(), 6);
    verifyStructure(tree);
    QCOMPARE(mirror.mismatch(), QString());
}

void TstTree::moveIntoOwnSubtreeRefused_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Relation>("relation");

    QTest::newRow("child of itself") << "B" << "B" << Relation::Child;
    QTest::newRow("child of its child") << "B" << "B1" << Relation::Child;
    QTest::newRow("child of its grandchild") << "B" << "X" << Relation::Child;
    QTest::newRow("after its child") << "B" << "B1" << Relation::Next;
    QTest::newRow("before its grandchild") << "B" << "X" << Relation::Previous;
    QTest::newRow("first beside its child") << "B2" << "X" << Relation::First;
    QTest::newRow("last beside its child") << "B" << "B2" << Relation::Last;
}

void TstTree::moveIntoOwnSubtreeRefused()
{
    QFETCH(QString, node);
    QFETCH(QString, relative);
    QFETCH(Relation, relation);

    Tree tree;
    build(tree, Base);
    QSignalSpy aboutToMove(&tree, &Tree::nodeAboutToBeMoved);
    try {
        tree.move(tree.node(node), tree.node(relative), relation);
        QFAIL("a move into the node's own subtree was accepted");
    } catch (const LmError &e) {
        QCOMPARE(e.number(), 35605);
    }
    QCOMPARE(dump(tree), Base);
    QCOMPARE(aboutToMove.count(), 0);
    verifyStructure(tree);
}

void TstTree::moveToOwnPlaceIsSilent_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<Relation>("relation");

    QTest::newRow("after its predecessor") << "B" << "A" << Relation::Next;
    QTest::newRow("before its successor") << "B" << "C" << Relation::Previous;
    QTest::newRow("after itself") << "B1" << "B1" << Relation::Next;
    QTest::newRow("before itself") << "B1" << "B1" << Relation::Previous;
    QTest::newRow("first when first") << "A" << "C" << Relation::First;
    QTest::newRow("last when last") << "C" << QString() << Relation::Last;
    QTest::newRow("child of its parent when last") << "B2" << "B" << Relation::Child;
    QTest::newRow("only child as child again") << "X" << "B2" << Relation::Child;
}

void TstTree::moveToOwnPlaceIsSilent()
{
    QFETCH(QString, node);
    QFETCH(QString, relative);
    QFETCH(Relation, relation);

    Tree tree;
    build(tree, Base);
    QSignalSpy aboutToMove(&tree, &Tree::nodeAboutToBeMoved);
    QSignalSpy movedSpy(&tree, &Tree::nodeMoved);
    tree.move(tree.node(node), relative.isEmpty() ? nullptr : tree.node(relative), relation);
    QCOMPARE(dump(tree), Base);
    // A view refuses a move onto the node's own place, so none may be announced.
    QCOMPARE(aboutToMove.count(), 0);
    QCOMPARE(movedSpy.count(), 0);
}

void TstTree::setKey()
{
    Tree tree;
    build(tree, Base);
    TreeNode *b1 = tree.node(QStringLiteral("B1"));
    QSignalSpy changed(&tree, &Tree::nodeChanged);

    tree.setKey(b1, QStringLiteral("Renamed"));
    QCOMPARE(b1->key(), QStringLiteral("Renamed"));
    QCOMPARE(tree.node(QStringLiteral("Renamed")), b1);
    QVERIFY(!tree.contains(QStringLiteral("B1")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<TreeNode *>(), b1);

    // The old key can be used again.
    TreeNode *again = tree.add(nullptr, Relation::Last, QStringLiteral("B1"), QString());
    QCOMPARE(tree.node(QStringLiteral("B1")), again);

    // The same key is no change; an empty key takes the node out of the index.
    tree.setKey(b1, QStringLiteral("Renamed"));
    QCOMPARE(changed.count(), 1);
    tree.setKey(b1, QString());
    QVERIFY(!tree.contains(QStringLiteral("Renamed")));
    QCOMPARE(b1->key(), QString());
    tree.setKey(b1, QStringLiteral("Back"));
    QCOMPARE(tree.node(QStringLiteral("Back")), b1);
    QCOMPARE(tree.count(), 7);
}

void TstTree::setKeyDuplicateRefused()
{
    Tree tree;
    build(tree, Base);
    TreeNode *b1 = tree.node(QStringLiteral("B1"));
    TreeNode *c = tree.node(QStringLiteral("C"));
    QSignalSpy changed(&tree, &Tree::nodeChanged);
    try {
        tree.setKey(b1, QStringLiteral("C"));
        QFAIL("a key held by another node was accepted");
    } catch (const LmError &e) {
        QCOMPARE(e.number(), 35602);
    }
    QCOMPARE(b1->key(), QStringLiteral("B1"));
    QCOMPARE(tree.node(QStringLiteral("B1")), b1);
    QCOMPARE(tree.node(QStringLiteral("C")), c);
    QCOMPARE(changed.count(), 0);
}

void TstTree::rowsAfterMixedEdits()
{
    Tree tree;
    Mirror mirror(tree);
    TreeNode *p = tree.add(nullptr, Relation::Last, QStringLiteral("P"), QString());
    for (int i = 0; i < 6; ++i)
        tree.add(p, Relation::Child, QStringLiteral("c%1").arg(i), QString());
    // Ask for a row so the cached rows are current, then disturb them in every way.
    QCOMPARE(tree.node(QStringLiteral("c5"))->row(), 5);
    tree.add(tree.node(QStringLiteral("c0")), Relation::Previous, QStringLiteral("n0"), QString());
    QCOMPARE(tree.node(QStringLiteral("c5"))->row(), 6);
    tree.add(p, Relation::Child, QStringLiteral("n1"), QString());
    QCOMPARE(tree.node(QStringLiteral("n1"))->row(), 7);
    tree.remove(tree.node(QStringLiteral("c2")));
    QCOMPARE(tree.node(QStringLiteral("c3"))->row(), 3);
    QCOMPARE(tree.node(QStringLiteral("n1"))->row(), 6);
    tree.move(tree.node(QStringLiteral("n1")), tree.node(QStringLiteral("n0")), Relation::Next);
    QCOMPARE(tree.node(QStringLiteral("n1"))->row(), 1);
    QCOMPARE(tree.node(QStringLiteral("c5"))->row(), 6);
    tree.remove(tree.node(QStringLiteral("c5")));  // the last: the others keep their rows
    QCOMPARE(tree.node(QStringLiteral("c4"))->row(), 5);
    tree.add(p, Relation::Child, QStringLiteral("n2"), QString());
    QCOMPARE(tree.node(QStringLiteral("n2"))->row(), 6);
    QCOMPARE(dump(tree), QStringLiteral("P(n0,n1,c0,c1,c3,c4,n2)"));
    verifyStructure(tree);
    QCOMPARE(mirror.mismatch(), QString());
}

void TstTree::walkOrder_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("flat") << "A,B,C" << keys("A,B,C");
    QTest::newRow("nested") << "A(A1(A11,A12),A2),B,C(C1)"
                            << keys("A,A1,A11,A12,A2,B,C,C1");
    QTest::newRow("climb several levels") << "A(B(C(D))),E" << keys("A,B,C,D,E");
    QTest::newRow("ends deep") << "A,B(C(D))" << keys("A,B,C,D");
}

void TstTree::walkOrder()
{
    QFETCH(QString, shape);
    QFETCH(QStringList, expected);
    Tree tree;
    build(tree, shape);
    QCOMPARE(walkKeys(tree), expected);
}

void TstTree::addOrderSurvivesRemovalsAndMoves()
{
    Tree tree;
    build(tree, QStringLiteral("A(A1,A2),B,C(C1)"));
    tree.add(tree.node(QStringLiteral("A")), Relation::Previous, QStringLiteral("D"), QString());
    tree.move(tree.node(QStringLiteral("C")), nullptr, Relation::First);
    QCOMPARE(addOrder(tree), keys("A,A1,A2,B,C,C1,D"));
    tree.remove(tree.node(QStringLiteral("A")));
    QCOMPARE(addOrder(tree), keys("B,C,C1,D"));
    tree.remove(tree.node(QStringLiteral("D")));  // the last added
    tree.remove(tree.node(QStringLiteral("B")));  // the first added
    QCOMPARE(addOrder(tree), keys("C,C1"));
    tree.add(nullptr, Relation::Last, QStringLiteral("E"), QString());
    QCOMPARE(addOrder(tree), keys("C,C1,E"));
    tree.remove(tree.node(QStringLiteral("C")));
    tree.remove(tree.node(QStringLiteral("E")));
    QCOMPARE(tree.firstAdded(), nullptr);
    QVERIFY(tree.isEmpty());
    tree.add(nullptr, Relation::Last, QStringLiteral("F"), QString());
    QCOMPARE(addOrder(tree), QStringList{QStringLiteral("F")});
}

void TstTree::clearEmptiesEverything()
{
    Tree tree;
    build(tree, Base);
    tree.setSelectedItem(tree.node(QStringLiteral("X")));
    QSignalSpy aboutToReset(&tree, &Tree::aboutToReset);
    QSignalSpy resetSpy(&tree, &Tree::reset);
    QSignalSpy selection(&tree, &Tree::selectionChanged);
    tree.clear();
    QVERIFY(tree.isEmpty());
    QCOMPARE(tree.count(), 0);
    QCOMPARE(tree.firstRoot(), nullptr);
    QCOMPARE(tree.rootCount(), 0);
    QCOMPARE(tree.firstAdded(), nullptr);
    QCOMPARE(tree.selectedItem(), nullptr);
    QVERIFY(!tree.contains(QStringLiteral("B1")));
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(resetSpy.count(), 1);
    QCOMPARE(selection.count(), 1);
    build(tree, Base);  // every key is free again
    QCOMPARE(dump(tree), Base);
    verifyStructure(tree);
}

void TstTree::signalsArePaired()
{
    Tree tree;
    build(tree, Base);
    QSignalSpy aboutToInsert(&tree, &Tree::nodeAboutToBeInserted);
    QSignalSpy insertedSpy(&tree, &Tree::nodeInserted);
    QSignalSpy aboutToRemove(&tree, &Tree::nodeAboutToBeRemoved);
    QSignalSpy removedSpy(&tree, &Tree::nodeRemoved);
    QSignalSpy aboutToMove(&tree, &Tree::nodeAboutToBeMoved);
    QSignalSpy movedSpy(&tree, &Tree::nodeMoved);

    TreeNode *b = tree.node(QStringLiteral("B"));
    TreeNode *n = tree.add(tree.node(QStringLiteral("B1")), Relation::Next, QStringLiteral("N"), QString());
    QCOMPARE(aboutToInsert.count(), 1);
    QCOMPARE(aboutToInsert.at(0).at(0).value<TreeNode *>(), b);
    QCOMPARE(aboutToInsert.at(0).at(1).toInt(), 1);
    QCOMPARE(insertedSpy.count(), 1);
    QCOMPARE(insertedSpy.at(0).at(0).value<TreeNode *>(), n);

    // Moving down within the same parent: the destination counts rows before the node leaves.
    TreeNode *a = tree.node(QStringLiteral("A"));
    tree.move(a, tree.node(QStringLiteral("C")), Relation::Next);
    QCOMPARE(aboutToMove.count(), 1);
    QCOMPARE(aboutToMove.at(0).at(0).value<TreeNode *>(), a);
    QCOMPARE(aboutToMove.at(0).at(1).value<TreeNode *>(), nullptr);
    QCOMPARE(aboutToMove.at(0).at(2).toInt(), 3);
    QCOMPARE(movedSpy.count(), 1);
    QCOMPARE(a->row(), 2);

    // Moving up into another parent.
    TreeNode *x = tree.node(QStringLiteral("X"));
    tree.move(x, tree.node(QStringLiteral("B1")), Relation::Previous);
    QCOMPARE(aboutToMove.count(), 2);
    QCOMPARE(aboutToMove.at(1).at(1).value<TreeNode *>(), b);
    QCOMPARE(aboutToMove.at(1).at(2).toInt(), 0);
    QCOMPARE(movedSpy.count(), 2);

    tree.remove(b);
    QCOMPARE(aboutToRemove.count(), 1);
    QCOMPARE(aboutToRemove.at(0).at(0).value<TreeNode *>(), b);
    QCOMPARE(removedSpy.count(), 1);  // one pair for the whole subtree
    QCOMPARE(dump(tree), QStringLiteral("C,A"));
}

void TstTree::changeSignals()
{
    Tree tree;
    build(tree, Base);
    TreeNode *x = tree.node(QStringLiteral("X"));
    QSignalSpy changed(&tree, &Tree::nodeChanged);

    x->setText(QStringLiteral("other"));
    x->setChecked(true);
    x->setBold(true);
    x->setBackColor(rgb(1, 2, 3));
    x->setForeColor(rgb(255, 0, 0));
    x->setExpanded(true);
    QCOMPARE(changed.count(), 6);
    // Setting what is already there is no change.
    x->setText(QStringLiteral("other"));
    x->setChecked(true);
    x->setBold(true);
    x->setBackColor(rgb(1, 2, 3));
    x->setForeColor(rgb(255, 0, 0));
    x->setExpanded(true);
    QCOMPARE(changed.count(), 6);
    QCOMPARE(x->backColor(), NodeColor(0x010203));
    QCOMPARE(x->foreColor(), NodeColor(0xFF0000));
    x->setBackColor(std::nullopt);
    QCOMPARE(x->backColor(), NodeColor());
    QCOMPARE(changed.count(), 7);
}

void TstTree::rebuildSilencesNodeSignals()
{
    Tree tree;
    build(tree, Base);
    Mirror mirror(tree);
    QSignalSpy aboutToReset(&tree, &Tree::aboutToReset);
    QSignalSpy resetSpy(&tree, &Tree::reset);
    QSignalSpy aboutToInsert(&tree, &Tree::nodeAboutToBeInserted);
    QSignalSpy aboutToRemove(&tree, &Tree::nodeAboutToBeRemoved);
    QSignalSpy aboutToMove(&tree, &Tree::nodeAboutToBeMoved);
    QSignalSpy changed(&tree, &Tree::nodeChanged);

    tree.beginRebuild();
    QVERIFY(tree.rebuilding());
    tree.beginRebuild();  // nested: still one reset for the view
    tree.clear();
    build(tree, QStringLiteral("P(Q,R),S"));
    tree.move(tree.node(QStringLiteral("S")), nullptr, Relation::First);
    tree.node(QStringLiteral("Q"))->setChecked(true);
    tree.remove(tree.node(QStringLiteral("R")));
    tree.endRebuild();
    QVERIFY(tree.rebuilding());
    QCOMPARE(resetSpy.count(), 0);
    tree.endRebuild();
    QVERIFY(!tree.rebuilding());
    tree.endRebuild();  // unmatched: no second reset, and later edits are still announced
    QVERIFY(!tree.rebuilding());

    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(resetSpy.count(), 1);
    QCOMPARE(aboutToInsert.count(), 0);
    QCOMPARE(aboutToRemove.count(), 0);
    QCOMPARE(aboutToMove.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(dump(tree), QStringLiteral("S,P(Q)"));
    QCOMPARE(mirror.mismatch(), QString());
    verifyStructure(tree);

    // After the rebuild single changes are announced again.
    tree.add(nullptr, Relation::Last, QStringLiteral("T"), QString());
    QCOMPARE(aboutToInsert.count(), 1);
    QCOMPARE(mirror.mismatch(), QString());

    // The next rebuild is announced as a whole again despite the unmatched end above.
    tree.beginRebuild();
    tree.remove(tree.node(QStringLiteral("T")));
    tree.endRebuild();
    QCOMPARE(aboutToReset.count(), 2);
    QCOMPARE(resetSpy.count(), 2);
    QCOMPARE(aboutToRemove.count(), 0);
    QCOMPARE(mirror.mismatch(), QString());
}

void TstTree::ensureVisibleExpandsAncestors()
{
    Tree tree;
    build(tree, QStringLiteral("A(B(C(D)),E)"));
    tree.node(QStringLiteral("D"))->ensureVisible();
    QVERIFY(tree.node(QStringLiteral("A"))->expanded());
    QVERIFY(tree.node(QStringLiteral("B"))->expanded());
    QVERIFY(tree.node(QStringLiteral("C"))->expanded());
    QVERIFY(!tree.node(QStringLiteral("D"))->expanded());
    QVERIFY(!tree.node(QStringLiteral("E"))->expanded());
}

void TstTree::containsAndChild()
{
    Tree tree;
    build(tree, Base);
    TreeNode *b = tree.node(QStringLiteral("B"));
    QVERIFY(b->contains(b));
    QVERIFY(b->contains(tree.node(QStringLiteral("X"))));
    QVERIFY(!b->contains(tree.node(QStringLiteral("A"))));
    QVERIFY(!tree.node(QStringLiteral("X"))->contains(b));
    QCOMPARE(b->child(-1), nullptr);
    QCOMPARE(b->child(2), nullptr);
    QCOMPARE(b->child(1), tree.node(QStringLiteral("B2")));
    QCOMPARE(tree.root(2), tree.node(QStringLiteral("C")));
    QCOMPARE(tree.root(3), nullptr);
    QCOMPARE(tree.node(QStringLiteral("nope")), nullptr);
}

// Random adds, moves, removes and key changes with a view's shadow attached; after every step the
// shadow, the rows, the index and the add order must agree with the tree.
void TstTree::randomEditsKeepViewInStep()
{
    QRandomGenerator rng(20240613);
    Tree tree;
    Mirror mirror(tree);
    QStringList expectedAddOrder;
    int serial = 0;
    const Relation relations[] = {Relation::First, Relation::Last, Relation::Next, Relation::Previous, Relation::Child};

    auto randomNode = [&]() -> TreeNode * {
        const QStringList keys = addOrder(tree);
        if (keys.isEmpty())
            return nullptr;
        return tree.node(keys.at(int(rng.bounded(int(keys.size())))));
    };

    for (int step = 0; step < 1500; ++step) {
        const int op = int(rng.bounded(10));
        TreeNode *relative = rng.bounded(8) == 0 ? nullptr : randomNode();
        const Relation relation = relations[rng.bounded(5)];
        if (op < 5 || tree.count() < 3) {
            const QString key = QStringLiteral("k%1").arg(serial++);
            tree.add(relative, relation, key, QString());
            expectedAddOrder << key;
        } else if (op < 8) {
            TreeNode *n = randomNode();
            const bool intoOwn = relative && n->contains(relative)
                                 && !(relation != Relation::Child && relative == n);
            try {
                tree.move(n, relative, relation);
                QVERIFY(!intoOwn);
            } catch (const LmError &e) {
                QVERIFY(intoOwn);
                QCOMPARE(e.number(), 35605);
            }
        } else if (op < 9) {
            TreeNode *n = randomNode();
            std::vector<TreeNode *> pending{n};
            while (!pending.empty()) {
                TreeNode *p = pending.back();
                pending.pop_back();
                expectedAddOrder.removeAll(p->key());
                for (TreeNode *c = p->firstChild(); c; c = c->next())
                    pending.push_back(c);
            }
            tree.remove(n);
        } else {
            TreeNode *n = randomNode();
            const QString key = QStringLiteral("k%1").arg(serial++);
            expectedAddOrder.replace(expectedAddOrder.indexOf(n->key()), key);
            tree.setKey(n, key);
        }
        const QString problem = mirror.mismatch();
        if (!problem.isEmpty())
            QFAIL(qPrintable(QStringLiteral("step %1: %2").arg(step).arg(problem)));
        QCOMPARE(addOrder(tree), expectedAddOrder);
        if (step % 25 == 0)
            verifyStructure(tree);
    }
    verifyStructure(tree);
}

QTEST_GUILESS_MAIN(TstTree)
#include "tst_tree.moc"
