// The ordered tree of keyed nodes: where added and moved nodes go, what a removal takes with it,
// unique keys, and the signals a view follows, checked against a shadow kept from the signals alone.

#include "tree/tree.h"

#include "platform/lmerror.h"
#include "support/librarybuilder.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <vector>

using namespace Qt::StringLiterals;
using Relation = Tree::Relation;
using Shape = QList<TreeEntry>; // key, parent, text; depth first

Q_DECLARE_METATYPE(Tree::Relation)

namespace {

const QString A = u"A"_s, B = u"B"_s, B1 = u"B1"_s, B2 = u"B2"_s, C = u"C"_s, N = u"N"_s, X = u"X"_s;
// A, B (B1, B2 (X)), C
const Shape Base{{A}, {B}, {B1, B}, {B2, B}, {X, B2}, {C}};

void build(Tree &tree, const Shape &shape)
{
    for (const TreeEntry &entry : shape)
        tree.add(tree.node(entry.parent), Relation::Child, entry.key, entry.text);
}

QStringList addOrder(const Tree &tree)
{
    QStringList keys;
    for (const TreeNode *n = tree.firstAdded(); n; n = n->nextAdded())
        keys << n->key();
    return keys;
}

// Every link a view relies on: parents, siblings, rows, child counts, the key index and the count.
void verifyLinks(const Tree &tree)
{
    int total = 0;
    std::vector<const TreeNode *> parents{nullptr};
    while (!parents.empty()) {
        const TreeNode *parent = parents.back();
        parents.pop_back();
        const TreeNode *first = parent ? parent->firstChild() : tree.firstRoot();
        const TreeNode *last = parent ? parent->lastChild() : tree.lastRoot();
        int row = 0;
        const TreeNode *previous = nullptr;
        for (const TreeNode *n = first; n; n = n->next()) {
            QCOMPARE(n->parent(), parent);
            QCOMPARE(n->previous(), previous);
            QCOMPARE(n->firstSibling(), first);
            QCOMPARE(n->lastSibling(), last);
            QCOMPARE(n->row(), row);
            QCOMPARE(parent ? parent->child(row) : tree.root(row), n);
            if (!n->key().isEmpty())
                QCOMPARE(tree.node(n->key()), n);
            parents.push_back(n);
            previous = n;
            ++row;
            ++total;
        }
        QCOMPARE(previous, last);
        QCOMPARE(row, parent ? parent->childCount() : tree.rootCount());
        QVERIFY(!(parent ? parent->child(row) : tree.root(row)));
        QVERIFY(!(parent ? parent->child(-1) : tree.root(-1)));
    }
    QCOMPARE(tree.count(), total);
}

// A shadow of the tree kept only from its signals, the way an item model adapter keeps its rows:
// every about-to signal must be followed by its done signal, with the rows that beginInsertRows,
// beginRemoveRows and beginMoveRows accept.
class Mirror
{
public:
    explicit Mirror(Tree &tree) : m_tree(tree)
    {
        sync();
        QObject::connect(&tree, &Tree::nodeAboutToBeInserted, &tree, [this](TreeNode *parent, int row) {
            open(Insert);
            m_parent = parent;
            m_row = row;
        });
        QObject::connect(&tree, &Tree::nodeInserted, &tree, [this](TreeNode *n) {
            close(Insert);
            check(n->parent() == m_parent && n->row() == m_row,
                  "an insertion landed elsewhere than announced");
            insert(n, m_parent, m_row);
        });
        QObject::connect(&tree, &Tree::nodeAboutToBeRemoved, &tree, [this](TreeNode *n) {
            open(Remove);
            check(m_up.contains(n) && rowOf(n) == n->row(), "a removal of a node at another row");
            m_parent = m_up.value(n);
            m_row = rowOf(n);
        });
        QObject::connect(&tree, &Tree::nodeRemoved, &tree, [this] {
            close(Remove);
            if (m_row >= 0 && m_row < m_children[m_parent].size())
                forget(m_children[m_parent].takeAt(m_row));
        });
        QObject::connect(
            &tree, &Tree::nodeAboutToBeMoved, &tree, [this](TreeNode *n, TreeNode *parent, int row) {
                open(Move);
                m_from = m_up.value(n);
                m_source = rowOf(n);
                m_parent = parent;
                m_row = row;
                check(m_up.contains(n) && (!parent || m_up.contains(parent)) && m_source == n->row(),
                      "a move of an unknown node");
                check(m_from != parent || (row != m_source && row != m_source + 1),
                      "a move onto the node's own place");
                for (TreeNode *above = parent; above; above = m_up.value(above))
                    check(above != n, "a move into the node's own subtree");
            });
        QObject::connect(&tree, &Tree::nodeMoved, &tree, [this](TreeNode *n) {
            close(Move);
            m_children[m_from].removeAt(m_source);
            const int row = m_from == m_parent && m_row > m_source ? m_row - 1 : m_row;
            insert(n, m_parent, row);
            check(n->parent() == m_parent && n->row() == row, "a move landed elsewhere than announced");
        });
        QObject::connect(&tree, &Tree::aboutToReset, &tree, [this] { open(Reset); });
        QObject::connect(&tree, &Tree::reset, &tree, [this] {
            close(Reset);
            sync();
        });
    }

    // Empty when the shadow matches the tree and no change is left open.
    QString mismatch() const
    {
        QString result = m_errors;
        if (m_open != None)
            result += u"a change was left open; "_s;
        if (!sameChildren(m_children, children()))
            result += u"the shadow differs from the tree; "_s;
        return result;
    }

private:
    enum Change { None, Insert, Remove, Move, Reset };
    using Children = QHash<TreeNode *, QList<TreeNode *>>;

    // Compares the lists one by one, leaving out nodes without children: Qt 6.4's QList equality
    // hands memcmp a null pointer for two empty lists, which the sanitizers rightly reject.
    static bool sameChildren(const Children &shadow, const Children &tree)
    {
        for (auto it = shadow.cbegin(); it != shadow.cend(); ++it) {
            const QList<TreeNode *> other = tree.value(it.key());
            if (!std::equal(it->cbegin(), it->cend(), other.cbegin(), other.cend()))
                return false;
        }
        for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
            if (!shadow.contains(it.key()))
                return false;
        }
        return true;
    }
    void check(bool ok, const char *what)
    {
        if (!ok)
            m_errors += QLatin1String(what) + u"; "_s;
    }
    void open(Change change)
    {
        check(m_open == None, "an about-to signal while another change is open");
        m_open = change;
    }
    void close(Change change)
    {
        check(m_open == change, "a done signal without its about-to signal");
        m_open = None;
    }
    int rowOf(TreeNode *n) const { return int(m_children.value(m_up.value(n)).indexOf(n)); }
    void insert(TreeNode *n, TreeNode *parent, int row)
    {
        QList<TreeNode *> &siblings = m_children[parent];
        siblings.insert(qBound(0, row, int(siblings.size())), n);
        m_up.insert(n, parent);
    }
    void forget(TreeNode *n)
    {
        for (TreeNode *child : m_children.take(n))
            forget(child);
        m_up.remove(n);
    }
    // The children of every node that has some, and of the top.
    Children children() const
    {
        Children result{{nullptr, {}}};
        for (TreeNode *n = m_tree.firstRoot(); n; n = n->nextInWalk())
            result[n->parent()].append(n);
        return result;
    }
    void sync()
    {
        m_children = children();
        m_up.clear();
        for (auto it = m_children.cbegin(); it != m_children.cend(); ++it) {
            for (TreeNode *child : it.value())
                m_up.insert(child, it.key());
        }
    }

    Tree &m_tree;
    Children m_children;
    QHash<TreeNode *, TreeNode *> m_up;
    Change m_open = None;
    TreeNode *m_parent = nullptr;
    TreeNode *m_from = nullptr;
    int m_row = -1;
    int m_source = -1;
    QString m_errors;
};

// A tree under edit with a view's shadow attached. After every edit the links, the shadow and the
// order of addition must agree with the tree.
struct EditedTree
{
    explicit EditedTree(const Shape &shape = {})
    {
        build(tree, shape);
        added = addOrder(tree);
    }

    void add(const QString &key, Relation relation, const QString &relative = {})
    {
        edit([&] {
            tree.add(tree.node(relative), relation, key, QString());
            added << key;
        });
    }
    void move(const QString &key, Relation relation, const QString &relative = {})
    {
        edit([&] { tree.move(tree.node(key), tree.node(relative), relation); });
    }
    void remove(const QString &key)
    {
        edit([&] { tree.remove(tree.node(key)); });
    }
    void clear()
    {
        edit([&] { tree.clear(); });
    }
    void setKey(const QString &key, const QString &newKey)
    {
        edit([&] {
            tree.setKey(tree.node(key), newKey);
            added.replace(added.indexOf(key), newKey);
        });
    }

    Tree tree;
    Mirror mirror{tree};
    QStringList added; // the add order there should be: a move or a new key is no new addition
    qint32 error = 0;  // the error the last edit was refused with, 0 when it was not

private:
    template<typename Edit> void edit(const Edit &change)
    {
        error = 0;
        try {
            change();
        } catch (const LmError &e) {
            error = e.number();
        }
        verifyLinks(tree);
        QCOMPARE(mirror.mismatch(), QString());
        const QStringList present = tree.keysInWalkOrder();
        added.removeIf([&](const QString &key) { return !present.contains(key); });
        QCOMPARE(addOrder(tree), added);
    }
};

} // namespace

class TstTree : public QObject
{
    Q_OBJECT

private slots:
    // Without a relative node every relation places the node last at the top, except First.
    void addPlacesTheNode_data()
    {
        QTest::addColumn<Relation>("relation");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<Shape>("shape");
        QTest::newRow("First, no relative")
            << Relation::First << QString() << Shape{{N}, {A}, {B}, {B1, B}, {B2, B}, {X, B2}, {C}};
        QTest::newRow("Previous, no relative")
            << Relation::Previous << QString() << Shape{{A}, {B}, {B1, B}, {B2, B}, {X, B2}, {C}, {N}};
        QTest::newRow("First among the siblings")
            << Relation::First << B2 << Shape{{A}, {B}, {N, B}, {B1, B}, {B2, B}, {X, B2}, {C}};
        QTest::newRow("Last among the siblings")
            << Relation::Last << B1 << Shape{{A}, {B}, {B1, B}, {B2, B}, {X, B2}, {N, B}, {C}};
        QTest::newRow("Next, in the middle")
            << Relation::Next << B1 << Shape{{A}, {B}, {B1, B}, {N, B}, {B2, B}, {X, B2}, {C}};
        QTest::newRow("Previous of the first")
            << Relation::Previous << A << Shape{{N}, {A}, {B}, {B1, B}, {B2, B}, {X, B2}, {C}};
        QTest::newRow("Child: the last child")
            << Relation::Child << B << Shape{{A}, {B}, {B1, B}, {B2, B}, {X, B2}, {N, B}, {C}};
    }

    void addPlacesTheNode()
    {
        QFETCH(Relation, relation);
        QFETCH(QString, relative);
        QFETCH(Shape, shape);
        EditedTree edited(Base);
        edited.add(N, relation, relative);
        QCOMPARE(edited.error, 0);
        QVERIFY(sameTree(edited.tree, shape));
    }

    void keysAreUnique()
    {
        EditedTree edited(Base);
        edited.add(X, Relation::Child, B);
        QCOMPARE(edited.error, Tree::KeyNotUnique);
        edited.setKey(B1, C);
        QCOMPARE(edited.error, Tree::KeyNotUnique);
        QVERIFY(sameTree(edited.tree, Base));
        // Empty keys are not indexed, so there may be several.
        edited.setKey(B1, QString());
        QCOMPARE(edited.error, 0);
        edited.add(QString(), Relation::Last);
        QCOMPARE(edited.error, 0);
        QVERIFY(!edited.tree.contains(QString()));
        // A key given up can be taken.
        edited.setKey(B2, QString());
        QCOMPARE(edited.error, 0);
        edited.add(B2, Relation::Last);
        QCOMPARE(edited.error, 0);
        edited.remove(A);
        edited.add(A, Relation::First);
        QCOMPARE(edited.error, 0);
        edited.clear();
        edited.add(B, Relation::Last);
        QCOMPARE(edited.error, 0);
        QVERIFY(sameTree(edited.tree, {{B}}));
    }

    void setKeyAnnouncesAChange()
    {
        EditedTree edited(Base);
        QSignalSpy changed(&edited.tree, &Tree::nodeChanged);
        edited.setKey(B1, u"Z"_s);
        QCOMPARE(edited.error, 0);
        edited.setKey(u"Z"_s, u"Z"_s);
        QCOMPARE(edited.error, 0);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!edited.tree.contains(B1));
        QVERIFY(sameTree(edited.tree, {{A}, {B}, {u"Z"_s, B}, {B2, B}, {X, B2}, {C}}));
    }

    // The selection goes only with its node.
    void removeTakesTheSubtree_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::addColumn<Shape>("shape");
        QTest::newRow("a subtree holding the selection") << B << Shape{{A}, {C}};
        QTest::newRow("the selection itself") << X << Shape{{A}, {B}, {B1, B}, {B2, B}, {C}};
        QTest::newRow("the first at the top") << A << Shape{{B}, {B1, B}, {B2, B}, {X, B2}, {C}};
    }

    void removeTakesTheSubtree()
    {
        QFETCH(QString, removed);
        QFETCH(Shape, shape);
        EditedTree edited(Base);
        edited.tree.setSelectedItem(edited.tree.node(X));
        QSignalSpy selection(&edited.tree, &Tree::selectionChanged);
        edited.remove(removed);
        QVERIFY(sameTree(edited.tree, shape));
        QVERIFY(!edited.tree.contains(removed));
        const TreeNode *x = edited.tree.node(X);
        QCOMPARE(edited.tree.selectedItem(), x);
        QCOMPARE(selection.count(), x ? 0 : 1);
    }

    void moveTakesTheSubtree_data()
    {
        QTest::addColumn<QString>("moved");
        QTest::addColumn<Relation>("relation");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<Shape>("shape");
        QTest::newRow("to the top") << B2 << Relation::Last << QString()
                                    << Shape{{A}, {B}, {B1, B}, {C}, {B2}, {X, B2}};
        QTest::newRow("down, before a sibling")
            << A << Relation::Previous << C << Shape{{B}, {B1, B}, {B2, B}, {X, B2}, {A}, {C}};
        QTest::newRow("the child of a leaf")
            << B << Relation::Child << C << Shape{{A}, {C}, {B, C}, {B1, B}, {B2, B}, {X, B2}};
    }

    void moveTakesTheSubtree()
    {
        QFETCH(QString, moved);
        QFETCH(Relation, relation);
        QFETCH(QString, relative);
        QFETCH(Shape, shape);
        EditedTree edited(Base);
        edited.move(moved, relation, relative);
        QCOMPARE(edited.error, 0);
        QVERIFY(sameTree(edited.tree, shape));
    }

    // A move to where the node already is announces nothing; one into its own subtree is refused
    // (the random edits below try every other way into it).
    void moveThatChangesNothing_data()
    {
        QTest::addColumn<QString>("moved");
        QTest::addColumn<Relation>("relation");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<qint32>("error");
        QTest::newRow("after its predecessor") << B << Relation::Next << A << 0;
        QTest::newRow("after itself") << B1 << Relation::Next << B1 << 0;
        QTest::newRow("last when last") << C << Relation::Last << QString() << 0;
        QTest::newRow("after its own child") << B << Relation::Next << B1 << Tree::InvalidMove;
    }

    void moveThatChangesNothing()
    {
        QFETCH(QString, moved);
        QFETCH(Relation, relation);
        QFETCH(QString, relative);
        QFETCH(qint32, error);
        EditedTree edited(Base);
        QSignalSpy moving(&edited.tree, &Tree::nodeAboutToBeMoved);
        edited.move(moved, relation, relative);
        QCOMPARE(edited.error, error);
        QVERIFY(sameTree(edited.tree, Base));
        QCOMPARE(moving.count(), 0);
    }

    // Each setter announces a change only when it changes something.
    void changeSignals()
    {
        Tree tree;
        build(tree, {{A}, {B}, {B2, B}, {X, B2}, {u"Y"_s, X}});
        TreeNode *x = tree.node(X);
        QSignalSpy changed(&tree, &Tree::nodeChanged);
        for (int round = 1; round <= 2; ++round) {
            x->setText(u"other"_s);
            x->setChecked(true);
            x->setBold(true);
            x->setBackColor(rgb(1, 2, 3));
            x->setForeColor(rgb(255, 0, 0));
            tree.node(u"Y"_s)->ensureVisible(); // expands B, B2 and X
            QCOMPARE(changed.count(), 8);
        }
        x->setBackColor(std::nullopt);
        QCOMPARE(changed.count(), 9);
        QStringList expanded;
        for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk()) {
            if (n->expanded())
                expanded << n->key();
        }
        QCOMPARE(expanded, (QStringList{B, B2, X}));
    }

    // A view hears one reset for a whole rebuild, however deeply nested, and nothing from inside it.
    void rebuildSilencesNodeSignals()
    {
        Tree tree;
        build(tree, Base);
        Mirror mirror(tree); // an edit announced inside the rebuild would open a second change
        QSignalSpy resets(&tree, &Tree::reset);
        QSignalSpy changed(&tree, &Tree::nodeChanged);
        const QString P = u"P"_s, Q = u"Q"_s, S = u"S"_s;
        for (int round = 0; round < 2; ++round) { // the second round follows an unmatched end
            tree.beginRebuild();
            tree.beginRebuild();
            tree.clear();
            build(tree, {{P}, {Q, P}, {u"R"_s, P}, {S}});
            tree.move(tree.node(S), nullptr, Relation::First);
            tree.node(Q)->setChecked(round == 0);
            tree.remove(tree.node(u"R"_s));
            tree.endRebuild();
            QCOMPARE(resets.count(), round);
            tree.endRebuild();
            tree.endRebuild(); // unmatched: would otherwise silence every later edit
            QCOMPARE(resets.count(), round + 1);
            QCOMPARE(changed.count(), 0);
            QVERIFY(sameTree(tree, {{S}, {P}, {Q, P}}));
            QCOMPARE(mirror.mismatch(), QString());
        }
        tree.add(nullptr, Relation::Last, u"T"_s, QString());
        QCOMPARE(mirror.mismatch(), QString());
    }

    // Random adds, moves, removes and key changes; only a move into the node's own subtree is refused.
    void randomEditsKeepTheViewInStep()
    {
        const QList<Relation> relations{Relation::First, Relation::Last, Relation::Next, Relation::Previous,
                                        Relation::Child};
        QRandomGenerator rng(20240613);
        EditedTree edited;
        int serial = 0;
        for (int step = 0; step < 1200 && !QTest::currentTestFailed(); ++step) {
            const QStringList keys = addOrder(edited.tree);
            const auto pick = [&] { return keys.at(rng.bounded(int(keys.size()))); };
            const int operation = rng.bounded(10);
            const QString relative = keys.isEmpty() || rng.bounded(8) == 0 ? QString() : pick();
            const Relation relation = relations.at(rng.bounded(int(relations.size())));
            qint32 expectedError = 0;
            if (operation < 5 || keys.size() < 3) {
                edited.add(u"k%1"_s.arg(serial++), relation, relative);
            } else if (operation < 8) {
                const QString moved = pick();
                const TreeNode *node = edited.tree.node(moved);
                const TreeNode *target = edited.tree.node(relative);
                if (target && node->contains(target) && (relation == Relation::Child || target != node))
                    expectedError = Tree::InvalidMove;
                edited.move(moved, relation, relative);
            } else if (operation < 9) {
                edited.remove(pick());
            } else {
                edited.setKey(pick(), u"k%1"_s.arg(serial++));
            }
            QVERIFY2(edited.error == expectedError, qPrintable(u"step %1"_s.arg(step)));
        }
    }
};

QTEST_GUILESS_MAIN(TstTree)
#include "tst_tree.moc"
