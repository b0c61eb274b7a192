#include "gui/tree/treemodel.h"
#include "tree/tree.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPersistentModelIndex>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <memory>

namespace {

// The structure as the model reports it: "A(A1,A2),B" ...
QString modelShape(const QAbstractItemModel &model, const QModelIndex &parent = {})
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (index.parent() != parent)
            return QStringLiteral("<bad parent at %1>").arg(index.data().toString());
        QString part = index.data().toString();
        if (model.rowCount(index) > 0)
            part += QLatin1Char('(') + modelShape(model, index) + QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QLatin1Char(','));
}

// The same written from the tree itself.
QString treeShape(const TreeNode *first)
{
    QStringList parts;
    for (const TreeNode *node = first; node; node = node->next()) {
        QString part = node->text();
        if (node->hasChildren())
            part += QLatin1Char('(') + treeShape(node->firstChild()) + QLatin1Char(')');
        parts.append(part);
    }
    return parts.join(QLatin1Char(','));
}

// A(A1,A2,A3),B(B1),C
void buildSample(Tree &tree)
{
    TreeNode *a = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("A"), QStringLiteral("A"));
    for (const char *name : {"A1", "A2", "A3"})
        tree.add(a, Tree::Relation::Child, QString::fromLatin1(name), QString::fromLatin1(name));
    TreeNode *b = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("B"), QStringLiteral("B"));
    tree.add(b, Tree::Relation::Child, QStringLiteral("B1"), QStringLiteral("B1"));
    tree.add(nullptr, Tree::Relation::Last, QStringLiteral("C"), QStringLiteral("C"));
}

TreeNode *nodeOf(const TreeModel &model, const QPersistentModelIndex &index)
{
    return model.nodeAt(QModelIndex(index));
}

} // namespace

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void followsTreeChanges_data();
    void followsTreeChanges();
    void rebuildResetsOnce();
    void roles_data();
    void roles();
    void checkGoesThroughHandler();
    void labelEdit_data();
    void labelEdit();
    void expansionBothWays();
    void levelPickerWithoutBoxes();
    void dropHighlight();
};

void TestTreeModel::followsTreeChanges_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("tracked"); // a node whose persistent index must follow it

    QTest::newRow("insert first top-level") << "insertFirst"
                                            << "N,A(A1,A2,A3),B(B1),C"
                                            << "C";
    QTest::newRow("insert child of leaf") << "insertChildOfLeaf"
                                          << "A(A1,A2,A3),B(B1),C(N)"
                                          << "C";
    QTest::newRow("insert before middle") << "insertBeforeA2"
                                          << "A(A1,N,A2,A3),B(B1),C"
                                          << "A3";
    QTest::newRow("remove leaf") << "removeA2"
                                 << "A(A1,A3),B(B1),C"
                                 << "A3";
    QTest::newRow("remove subtree") << "removeA"
                                    << "B(B1),C"
                                    << "B1";
    QTest::newRow("move down one step") << "moveA1AfterA2"
                                        << "A(A2,A1,A3),B(B1),C"
                                        << "A1";
    QTest::newRow("move up one step") << "moveA3BeforeA2"
                                      << "A(A1,A3,A2),B(B1),C"
                                      << "A3";
    QTest::newRow("move to first place") << "moveA3First"
                                         << "A(A3,A1,A2),B(B1),C"
                                         << "A3";
    QTest::newRow("move to last place") << "moveA1Last"
                                        << "A(A2,A3,A1),B(B1),C"
                                        << "A1";
    QTest::newRow("move into other parent") << "moveA2IntoB"
                                            << "A(A1,A3),B(B1,A2),C"
                                            << "A2";
    QTest::newRow("move subtree to top") << "moveBFirst"
                                         << "B(B1),A(A1,A2,A3),C"
                                         << "B1";
    QTest::newRow("move into empty node") << "moveA1IntoC"
                                          << "A(A2,A3),B(B1),C(A1)"
                                          << "A1";
    QTest::newRow("move subtree below") << "moveAAfterC"
                                        << "B(B1),C,A(A1,A2,A3)"
                                        << "A2";
    QTest::newRow("re-key keeps text") << "rekeyA2"
                                       << "A(A1,A2,A3),B(B1),C"
                                       << "A2x";
    QTest::newRow("rename text") << "renameB1"
                                 << "A(A1,A2,A3),B(Renamed),C"
                                 << "B1";
    QTest::newRow("clear") << "clear"
                           << ""
                           << "";
}

void TestTreeModel::followsTreeChanges()
{
    QFETCH(QString, operation);
    QFETCH(QString, expected);
    QFETCH(QString, tracked);

    Tree tree;
    TreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTreeView view;
    view.setModel(&model);
    view.expandAll();

    buildSample(tree);
    QCOMPARE(modelShape(model), QStringLiteral("A(A1,A2,A3),B(B1),C"));

    // Persistent indexes are how views keep selection and expansion; they must follow the node.
    const QString trackedBefore = operation == QStringLiteral("rekeyA2") ? QStringLiteral("A2") : tracked;
    QPersistentModelIndex persistent;
    if (!trackedBefore.isEmpty())
        persistent = model.indexOf(tree.node(trackedBefore));

    const auto n = [&tree](const char *key) { return tree.node(QString::fromLatin1(key)); };
    const auto add = [&tree](TreeNode *relative, Tree::Relation relation) {
        tree.add(relative, relation, QStringLiteral("N"), QStringLiteral("N"));
    };
    if (operation == QStringLiteral("insertFirst"))
        add(nullptr, Tree::Relation::First);
    else if (operation == QStringLiteral("insertChildOfLeaf"))
        add(n("C"), Tree::Relation::Child);
    else if (operation == QStringLiteral("insertBeforeA2"))
        add(n("A2"), Tree::Relation::Previous);
    else if (operation == QStringLiteral("removeA2"))
        tree.remove(n("A2"));
    else if (operation == QStringLiteral("removeA"))
        tree.remove(n("A"));
    else if (operation == QStringLiteral("moveA1AfterA2"))
        tree.move(n("A1"), n("A2"), Tree::Relation::Next);
    else if (operation == QStringLiteral("moveA3BeforeA2"))
        tree.move(n("A3"), n("A2"), Tree::Relation::Previous);
    else if (operation == QStringLiteral("moveA3First"))
        tree.move(n("A3"), n("A1"), Tree::Relation::First);
    else if (operation == QStringLiteral("moveA1Last"))
        tree.move(n("A1"), n("A3"), Tree::Relation::Last);
    else if (operation == QStringLiteral("moveA2IntoB"))
        tree.move(n("A2"), n("B"), Tree::Relation::Child);
    else if (operation == QStringLiteral("moveBFirst"))
        tree.move(n("B"), nullptr, Tree::Relation::First);
    else if (operation == QStringLiteral("moveA1IntoC"))
        tree.move(n("A1"), n("C"), Tree::Relation::Child);
    else if (operation == QStringLiteral("moveAAfterC"))
        tree.move(n("A"), n("C"), Tree::Relation::Next);
    else if (operation == QStringLiteral("rekeyA2"))
        tree.setKey(n("A2"), QStringLiteral("A2x"));
    else if (operation == QStringLiteral("renameB1"))
        n("B1")->setText(QStringLiteral("Renamed"));
    else if (operation == QStringLiteral("clear"))
        tree.clear();
    else
        QFAIL("unknown operation");

    QCOMPARE(modelShape(model), expected);
    QCOMPARE(treeShape(tree.firstRoot()), expected);
    if (!tracked.isEmpty()) {
        QVERIFY(persistent.isValid());
        QCOMPARE(nodeOf(model, persistent), tree.node(tracked));
        QCOMPARE(persistent.data(TreeModel::KeyRole).toString(), tracked);
    }
}

void TestTreeModel::rebuildResetsOnce()
{
    Tree tree;
    TreeModel model(tree);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    buildSample(tree);

    int resets = 0;
    int inserts = 0;
    connect(&model, &QAbstractItemModel::modelReset, this, [&resets] { ++resets; });
    connect(&model, &QAbstractItemModel::rowsInserted, this, [&inserts] { ++inserts; });
    tree.beginRebuild();
    tree.clear();
    // While the tree is rebuilt the model reports nothing, so a repaint cannot reach deleted nodes.
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.index(0, 0).isValid());
    TreeNode *x = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("X"), QStringLiteral("X"));
    tree.add(x, Tree::Relation::Child, QStringLiteral("X1"), QStringLiteral("X1"));
    QCOMPARE(model.rowCount(), 0);
    tree.endRebuild();

    QCOMPARE(resets, 1);
    QCOMPARE(inserts, 0);
    QCOMPARE(modelShape(model), QStringLiteral("X(X1)"));
}

void TestTreeModel::roles_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("text") << int(Qt::DisplayRole) << QVariant(QStringLiteral("Berlin"));
    QTest::newRow("edit text") << int(Qt::EditRole) << QVariant(QStringLiteral("Berlin"));
    QTest::newRow("checked") << int(Qt::CheckStateRole) << QVariant(int(Qt::Checked));
    QTest::newRow("remote background") << int(Qt::BackgroundRole) << QVariant(QColor(220, 220, 0));
    QTest::newRow("inactive text colour") << int(Qt::ForegroundRole) << QVariant(QColor(255, 60, 60));
    QTest::newRow("bold") << int(Qt::FontRole) << QVariant(true);
    QTest::newRow("key") << int(TreeModel::KeyRole) << QVariant(QStringLiteral("SceneryNew\\Berlin"));
}

void TestTreeModel::roles()
{
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    Tree tree;
    TreeModel model(tree);
    TreeNode *level =
        tree.add(nullptr, Tree::Relation::Last, QStringLiteral("LevelNew"), QStringLiteral("New"));
    TreeNode *node = tree.add(level, Tree::Relation::Child, QStringLiteral("SceneryNew\\Berlin"),
                              QStringLiteral("Berlin"));
    node->setChecked(true);
    node->setBackColor(rgb(220, 220, 0));
    node->setForeColor(rgb(255, 60, 60));
    node->setBold(true);

    const QModelIndex index = model.indexOf(node);
    const QVariant value = index.data(role);
    switch (role) {
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        QCOMPARE(value.value<QBrush>().color(), expected.value<QColor>());
        break;
    case Qt::FontRole:
        QCOMPARE(value.value<QFont>().bold(), expected.toBool());
        break;
    case Qt::CheckStateRole:
        QCOMPARE(value.toInt(), expected.toInt());
        break;
    default:
        QCOMPARE(value, expected);
    }

    // A level keeps the view's own look: no colours, no bold.
    const QModelIndex levelIndex = model.indexOf(level);
    if (role == Qt::BackgroundRole || role == Qt::ForegroundRole || role == Qt::FontRole)
        QVERIFY(!levelIndex.data(role).isValid());
}

void TestTreeModel::checkGoesThroughHandler()
{
    Tree tree;
    TreeModel model(tree);
    buildSample(tree);
    QList<QPair<QString, bool>> calls;
    model.setCheckHandler([&calls](TreeNode *node) { calls.append({node->key(), node->checked()}); });

    const QModelIndex a2 = model.indexOf(tree.node(QStringLiteral("A2")));
    QVERIFY(model.flags(a2) & Qt::ItemIsUserCheckable);
    QVERIFY(model.setData(a2, int(Qt::Checked), Qt::CheckStateRole));
    QVERIFY(model.setData(a2, int(Qt::Unchecked), Qt::CheckStateRole));

    // The node already holds the new state when the handler runs.
    QCOMPARE(calls,
             (QList<QPair<QString, bool>>{{QStringLiteral("A2"), true}, {QStringLiteral("A2"), false}}));
    QCOMPARE(a2.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

void TestTreeModel::labelEdit_data()
{
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");

    QTest::newRow("accepted") << true << true << "Europe/West";
    QTest::newRow("refused by the handler") << true << false << "A";
    QTest::newRow("not editable") << false << true << "A";
}

void TestTreeModel::labelEdit()
{
    QFETCH(bool, allowed);
    QFETCH(bool, accepted);
    QFETCH(QString, text);

    Tree tree;
    TreeModel model(tree);
    buildSample(tree);
    TreeNode *a = tree.node(QStringLiteral("A"));
    int handled = 0;
    model.setEditHandlers([allowed, a](TreeNode *node) { return allowed && node == a; },
                          [&handled, accepted](TreeNode *node, const QString &newText) {
                              ++handled;
                              if (accepted)
                                  node->setText(newText);
                              return accepted;
                          });
    const QModelIndex index = model.indexOf(a);
    QCOMPARE(bool(model.flags(index) & Qt::ItemIsEditable), allowed);
    QVERIFY(!(model.flags(model.indexOf(tree.node(QStringLiteral("B")))) & Qt::ItemIsEditable));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const bool result = model.setData(index, QStringLiteral("Europe/West"), Qt::EditRole);
    QCOMPARE(result, allowed && accepted);
    QCOMPARE(handled, allowed ? 1 : 0);
    QCOMPARE(a->text(), text);
    // A refused edit still tells the view, so the editor's text is replaced by the node's.
    if (allowed)
        QVERIFY(changed.count() >= 1);
}

void TestTreeModel::expansionBothWays()
{
    Tree tree;
    TreeModel model(tree);
    QTreeView view;
    view.setModel(&model);
    new TreeExpansion(view, model);

    // A rebuild that makes a deep node visible opens its ancestors in the view.
    tree.beginRebuild();
    TreeNode *a = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("A"), QStringLiteral("A"));
    TreeNode *a1 = tree.add(a, Tree::Relation::Child, QStringLiteral("A1"), QStringLiteral("A1"));
    TreeNode *leaf = tree.add(a1, Tree::Relation::Child, QStringLiteral("L"), QStringLiteral("L"));
    TreeNode *b = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("B"), QStringLiteral("B"));
    tree.add(b, Tree::Relation::Child, QStringLiteral("B1"), QStringLiteral("B1"));
    leaf->ensureVisible();
    tree.endRebuild();
    QVERIFY(view.isExpanded(model.indexOf(a)));
    QVERIFY(view.isExpanded(model.indexOf(a1)));
    QVERIFY(!view.isExpanded(model.indexOf(b)));

    // A node inserted later with its flag set opens too.
    TreeNode *c = tree.add(nullptr, Tree::Relation::Last, QStringLiteral("C"), QStringLiteral("C"));
    tree.add(c, Tree::Relation::Child, QStringLiteral("C1"), QStringLiteral("C1"));
    c->setExpanded(true);
    QVERIFY(view.isExpanded(model.indexOf(c)));

    // The user opens and closes branches; the nodes remember.
    view.expand(model.indexOf(b));
    QVERIFY(b->expanded());
    view.collapse(model.indexOf(a));
    QVERIFY(!a->expanded());

    // A moved subtree keeps its state in the view.
    tree.move(c, nullptr, Tree::Relation::First);
    QVERIFY(view.isExpanded(model.indexOf(c)));
}

void TestTreeModel::levelPickerWithoutBoxes()
{
    Tree tree;
    TreeModel model(tree);
    model.setCheckable(false);
    buildSample(tree);
    tree.node(QStringLiteral("A"))->setChecked(true);
    const QModelIndex a = model.indexOf(tree.node(QStringLiteral("A")));
    QVERIFY(!(model.flags(a) & Qt::ItemIsUserCheckable));
    QVERIFY(!a.data(Qt::CheckStateRole).isValid());
    QVERIFY(!model.setData(a, int(Qt::Unchecked), Qt::CheckStateRole));
    QVERIFY(tree.node(QStringLiteral("A"))->checked());
}

void TestTreeModel::dropHighlight()
{
    Tree tree;
    TreeModel model(tree);
    buildSample(tree);
    tree.node(QStringLiteral("B"))->setBackColor(rgb(255, 255, 0));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setDropHighlight(QStringLiteral("B"));
    const QModelIndex b = model.indexOf(tree.node(QStringLiteral("B")));
    QCOMPARE(b.data(Qt::BackgroundRole).value<QBrush>().color(),
             QApplication::palette().color(QPalette::Highlight));
    QCOMPARE(changed.count(), 1);

    // Moving the highlight repaints the old and the new node; the old one gets its colour back.
    model.setDropHighlight(QStringLiteral("C"));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(b.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
    model.setDropHighlight(QString());
    QVERIFY(!model.indexOf(tree.node(QStringLiteral("C"))).data(Qt::BackgroundRole).isValid());
}

QTEST_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
