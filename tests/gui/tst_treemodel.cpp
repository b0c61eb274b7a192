// The item model over a Tree: it follows every change of the tree as the views need it, and turns
// the views' check and label edits into calls of the window's handlers.

#include "gui/tree/treemodel.h"
#include "tree/tree.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
using Relation = Tree::Relation;
using TreeChange = std::function<void(Tree &)>;

TreeNode *addNode(Tree &tree, TreeNode *relative, Relation relation, const QString &key)
{
    return tree.add(relative, relation, key, key);
}

// A with A1, A2 and A3, B with B1, both open, and C; keys are the texts.
void buildStart(Tree &tree)
{
    TreeNode *a = addNode(tree, nullptr, Relation::Last, u"A"_s);
    for (const QString &key : {u"A1"_s, u"A2"_s, u"A3"_s})
        addNode(tree, a, Relation::Child, key);
    a->setExpanded(true);
    TreeNode *b = addNode(tree, nullptr, Relation::Last, u"B"_s);
    addNode(tree, b, Relation::Child, u"B1"_s);
    b->setExpanded(true);
    addNode(tree, nullptr, Relation::Last, u"C"_s);
}

// The structure as the model reports it, one line per node in walk order, a child indented below
// its parent.
QStringList shape(const QAbstractItemModel &model, const QModelIndex &parent = {}, const QString &indent = {})
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        lines << indent + (index.parent() == parent ? index.data().toString() : u"<bad parent>"_s);
        lines << shape(model, index, indent + u"  "_s);
    }
    return lines;
}

// The nodes whose branch the view shows open or closed against the node's own flag.
QStringList expansionMismatches(const QTreeView &view, const TreeModel &model, const QModelIndex &parent = {})
{
    QStringList keys;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (view.isExpanded(index) != model.nodeAt(index)->expanded())
            keys << index.data().toString();
        keys << expansionMismatches(view, model, index);
    }
    return keys;
}

QString colour(const QModelIndex &index, int role)
{
    const QVariant value = index.data(role);
    return value.isValid() ? value.value<QBrush>().color().name() : QString();
}
} // namespace

Q_DECLARE_METATYPE(TreeChange)

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    // Persistent indexes, by which views keep their selection and open branches, follow their
    // node; only a rebuild or a clear resets the model.
    void followsTreeChanges_data()
    {
        QTest::addColumn<TreeChange>("change");
        QTest::addColumn<QStringList>("shape");
        QTest::addColumn<QString>("tracked");  // the node whose persistent index is taken before
        QTest::addColumn<QString>("followed"); // the key it shows afterwards, "" when gone
        QTest::addColumn<bool>("reset");
        const auto change = [](TreeChange f) { return f; };
        QTest::newRow("added below a leaf")
            << change([](Tree &t) { addNode(t, t.node(u"C"_s), Relation::Child, u"N"_s); })
            << QStringList{u"A"_s, u"  A1"_s, u"  A2"_s, u"  A3"_s, u"B"_s, u"  B1"_s, u"C"_s, u"  N"_s}
            << u"C"_s << u"C"_s << false;
        QTest::newRow("added before a middle child")
            << change([](Tree &t) { addNode(t, t.node(u"A2"_s), Relation::Previous, u"N"_s); })
            << QStringList{u"A"_s, u"  A1"_s, u"  N"_s, u"  A2"_s, u"  A3"_s, u"B"_s, u"  B1"_s, u"C"_s}
            << u"A3"_s << u"A3"_s << false;
        QTest::newRow("a subtree removed")
            << change([](Tree &t) { t.remove(t.node(u"A"_s)); }) << QStringList{u"B"_s, u"  B1"_s, u"C"_s}
            << u"A2"_s << QString() << false;
        QTest::newRow("moved one step down")
            << change([](Tree &t) { t.move(t.node(u"A1"_s), t.node(u"A2"_s), Relation::Next); })
            << QStringList{u"A"_s, u"  A2"_s, u"  A1"_s, u"  A3"_s, u"B"_s, u"  B1"_s, u"C"_s} << u"A1"_s
            << u"A1"_s << false;
        QTest::newRow("moved into a node without children")
            << change([](Tree &t) { t.move(t.node(u"A1"_s), t.node(u"C"_s), Relation::Child); })
            << QStringList{u"A"_s, u"  A2"_s, u"  A3"_s, u"B"_s, u"  B1"_s, u"C"_s, u"  A1"_s} << u"A1"_s
            << u"A1"_s << false;
        QTest::newRow("a subtree moved below")
            << change([](Tree &t) { t.move(t.node(u"A"_s), t.node(u"C"_s), Relation::Next); })
            << QStringList{u"B"_s, u"  B1"_s, u"C"_s, u"A"_s, u"  A1"_s, u"  A2"_s, u"  A3"_s} << u"A2"_s
            << u"A2"_s << false;
        QTest::newRow("re-keyed") << change([](Tree &t) {
            t.setKey(t.node(u"A2"_s), u"A2x"_s);
        }) << QStringList{u"A"_s, u"  A1"_s, u"  A2"_s, u"  A3"_s, u"B"_s, u"  B1"_s, u"C"_s}
                                  << u"A2"_s << u"A2x"_s << false;
        QTest::newRow("text changed")
            << change([](Tree &t) { t.node(u"B1"_s)->setText(u"Renamed"_s); })
            << QStringList{u"A"_s, u"  A1"_s, u"  A2"_s, u"  A3"_s, u"B"_s, u"  Renamed"_s, u"C"_s} << u"B1"_s
            << u"B1"_s << false;
        QTest::newRow("cleared") << change([](Tree &t) { t.clear(); }) << QStringList() << u"C"_s << QString()
                                 << true;
    }
    void followsTreeChanges()
    {
        QFETCH(TreeChange, change);
        QFETCH(QStringList, shape);
        QFETCH(QString, tracked);
        QFETCH(QString, followed);
        QFETCH(bool, reset);
        Tree tree;
        TreeModel model(tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QTreeView view;
        view.setModel(&model);
        new TreeExpansion(view, model);
        buildStart(tree);
        const QPersistentModelIndex persistent = model.indexOf(tree.node(tracked));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        change(tree);
        QCOMPARE(resets.count(), int(reset));
        QCOMPARE(::shape(model), shape);
        QCOMPARE(persistent.data(TreeModel::KeyRole).toString(), followed);
        // The view opens what the nodes say is open, moved subtrees included.
        QCOMPARE(expansionMismatches(view, model), QStringList());
    }

    // A branch the user closes is remembered by its node. A rebuild resets the model once; while
    // the tree is rebuilt the model reports nothing, so a repaint cannot reach deleted nodes. The
    // view opens the branches the new nodes say are open.
    void expansionAndRebuild()
    {
        Tree tree;
        TreeModel model(tree);
        QTreeView view;
        view.setModel(&model);
        new TreeExpansion(view, model);
        buildStart(tree);
        view.collapse(model.indexOf(tree.node(u"A"_s)));
        QVERIFY(!tree.node(u"A"_s)->expanded());
        QVERIFY(tree.node(u"B"_s)->expanded());
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        tree.beginRebuild();
        tree.clear();
        TreeNode *x = addNode(tree, nullptr, Relation::Last, u"X"_s);
        addNode(tree, x, Relation::Child, u"X1"_s);
        x->setExpanded(true);
        QCOMPARE(model.rowCount(), 0);
        tree.endRebuild();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(::shape(model), (QStringList{u"X"_s, u"  X1"_s}));
        QVERIFY(view.isExpanded(model.indexOf(x)));
    }

    // The node's colours, box and bold reach the views; unset colours keep the view's own look.
    // The node a scenery would be dropped on is highlighted, and gets its colours back after.
    void rolesAndDropHighlight()
    {
        Tree tree;
        TreeModel model(tree);
        TreeNode *level = addNode(tree, nullptr, Relation::Last, u"New"_s);
        TreeNode *scenery = addNode(tree, level, Relation::Child, u"Berlin"_s);
        scenery->setBackColor(rgb(220, 220, 0));
        scenery->setForeColor(rgb(255, 60, 60));
        scenery->setBold(true);
        scenery->setChecked(true);
        const QModelIndex berlin = model.indexOf(scenery);
        const QModelIndex newLevel = model.indexOf(level);
        QCOMPARE(colour(berlin, Qt::BackgroundRole), u"#dcdc00"_s);
        QCOMPARE(colour(berlin, Qt::ForegroundRole), u"#ff3c3c"_s);
        QCOMPARE(berlin.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(berlin.data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(colour(newLevel, Qt::BackgroundRole), QString());
        QCOMPARE(colour(newLevel, Qt::ForegroundRole), QString());
        QVERIFY(!newLevel.data(Qt::FontRole).value<QFont>().bold());

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        const QString highlight = QApplication::palette().color(QPalette::Highlight).name();
        model.setDropHighlight(u"New"_s);
        QCOMPARE(colour(newLevel, Qt::BackgroundRole), highlight);
        model.setDropHighlight(u"Berlin"_s);
        QCOMPARE(colour(berlin, Qt::BackgroundRole), highlight);
        QCOMPARE(colour(newLevel, Qt::BackgroundRole), QString());
        QCOMPARE(changed.count(), 3); // the old and the new node are repainted
    }

    // Boxes and label edits go through the window's handlers; the node holds the new state when
    // the check handler runs. A refused edit still tells the views, which show the node's text.
    void checkAndLabelEditsGoThroughHandlers_data()
    {
        QTest::addColumn<bool>("checkable");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("text");
        QTest::newRow("an edit accepted")
            << true << true << true << QStringList{u"check A 1"_s, u"edit A"_s} << u"Europe/West"_s;
        QTest::newRow("an edit refused")
            << true << true << false << QStringList{u"check A 1"_s, u"edit A"_s} << u"A"_s;
        QTest::newRow("not editable") << true << false << false << QStringList{u"check A 1"_s} << u"A"_s;
        QTest::newRow("a level picker has no boxes") << false << false << false << QStringList() << u"A"_s;
    }
    void checkAndLabelEditsGoThroughHandlers()
    {
        QFETCH(bool, checkable);
        QFETCH(bool, editable);
        QFETCH(bool, accepted);
        QFETCH(QStringList, calls);
        QFETCH(QString, text);
        Tree tree;
        TreeModel model(tree);
        model.setCheckable(checkable);
        TreeNode *a = addNode(tree, nullptr, Relation::Last, u"A"_s);
        QStringList made;
        model.setCheckHandler(
            [&](TreeNode *node) { made << u"check %1 %2"_s.arg(node->key()).arg(node->checked()); });
        model.setEditHandlers([&](TreeNode *node) { return editable && node == a; },
                              [&](TreeNode *node, const QString &newText) {
                                  made << u"edit "_s + node->key();
                                  if (accepted)
                                      node->setText(newText);
                                  return accepted;
                              });
        const QModelIndex index = model.indexOf(a);
        QCOMPARE(bool(model.flags(index) & Qt::ItemIsUserCheckable), checkable);
        QCOMPARE(bool(model.flags(index) & Qt::ItemIsEditable), editable);
        QCOMPARE(model.setData(index, int(Qt::Checked), Qt::CheckStateRole), checkable);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QCOMPARE(model.setData(index, u"Europe/West"_s, Qt::EditRole), accepted);
        QCOMPARE(made, calls);
        QCOMPARE(a->text(), text);
        QCOMPARE(a->checked(), checkable);
        QCOMPARE(index.data(Qt::CheckStateRole).isValid(), checkable);
        QCOMPARE(changed.count() >= 1, editable);
    }
};

QTEST_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
