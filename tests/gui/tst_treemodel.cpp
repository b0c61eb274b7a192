#include "gui/tree/treemodel.h"
#include "tree/tree.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// The structure as the model reports it: "A(A1,A2),B" ...
QString shape(const QAbstractItemModel &model, const QModelIndex &parent = {})
{
    QStringList parts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        parts << (index.parent() == parent ? index.data().toString() : u"<bad parent>"_s);
        if (model.rowCount(index) > 0)
            parts.last() += u'(' + shape(model, index) + u')';
    }
    return parts.join(u',');
}

// "A:A1,A2;B" gives the top-level nodes A and B, A with two children and expanded; keys equal texts.
void build(Tree &tree, const QString &text)
{
    for (const QString &top : text.split(u';')) {
        TreeNode *parent = tree.add(nullptr, Tree::Relation::Last, top.section(u':', 0, 0), top.section(u':', 0, 0));
        for (const QString &child : top.section(u':', 1).split(u',', Qt::SkipEmptyParts))
            tree.add(parent, Tree::Relation::Child, child, child)->parent()->setExpanded(true);
    }
}

// The nodes whose branch the view shows open or closed against the node's own flag.
QString expansionMismatches(const QTreeView &view, const TreeModel &model, const QModelIndex &parent = {})
{
    QString out;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        if (view.isExpanded(index) != model.nodeAt(index)->expanded())
            out += index.data().toString() + u' ';
        out += expansionMismatches(view, model, index);
    }
    return out;
}

TreeNode *at(Tree &tree, const char *key) { return tree.node(QLatin1StringView(key)); }

} // namespace

class TestTreeModel : public QObject
{
    Q_OBJECT

private slots:
    void followsTreeChanges_data()
    {
        QTest::addColumn<QString>("operation"); // verb node [relation relative | new key | new text]
        QTest::addColumn<QString>("expected");  // shape, then the key a persistent index taken before follows
        // clang-format off
        QTest::newRow("insert first top-level") << "add N first -" << "N,A(A1,A2,A3),B(B1),C C";
        QTest::newRow("insert child of leaf") << "add N child C" << "A(A1,A2,A3),B(B1),C(N) C";
        QTest::newRow("insert before middle") << "add N prev A2" << "A(A1,N,A2,A3),B(B1),C A3";
        QTest::newRow("remove leaf") << "remove A2" << "A(A1,A3),B(B1),C A3";
        QTest::newRow("remove subtree") << "remove A" << "B(B1),C B1";
        QTest::newRow("move down one step") << "move A1 next A2" << "A(A2,A1,A3),B(B1),C A1";
        QTest::newRow("move up one step") << "move A3 prev A2" << "A(A1,A3,A2),B(B1),C A3";
        QTest::newRow("move into other parent") << "move A2 child B" << "A(A1,A3),B(B1,A2),C A2";
        QTest::newRow("move into empty node") << "move A1 child C" << "A(A2,A3),B(B1),C(A1) A1";
        QTest::newRow("move subtree below") << "move A next C" << "B(B1),C,A(A1,A2,A3) A2";
        QTest::newRow("re-key keeps text") << "key A2 A2x" << "A(A1,A2,A3),B(B1),C A2x";
        QTest::newRow("rename text") << "text B1 Renamed" << "A(A1,A2,A3),B(Renamed),C B1";
        QTest::newRow("clear") << "clear" << " ";
        QTest::newRow("rebuild resets once") << "rebuild X:X1;Y:Y1 Y X" << "X(X1,Y(Y1)) ";
        QTest::newRow("user closes a branch") << "collapse A" << "A(A1,A2,A3),B(B1),C A";
        // clang-format on
    }
    void followsTreeChanges()
    {
        QFETCH(QString, operation);
        QFETCH(QString, expected);
        Tree tree;
        TreeModel model(tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QTreeView view;
        view.setModel(&model);
        new TreeExpansion(view, model);
        build(tree, u"A:A1,A2,A3;B:B1;C"_s);
        // Persistent indexes are how views keep selection and expansion; they must follow the node.
        const QString tracked = expected.section(u' ', 1);
        const QPersistentModelIndex persistent = model.indexOf(tree.node(tracked == u"A2x"_s ? u"A2"_s : tracked));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        const QStringList w = operation.split(u' ');
        const auto n = [&](int i) { return tree.node(w.value(i)); };
        const auto relation = [&] { return Tree::Relation(QStringList{u"first"_s, u"last"_s, u"next"_s, u"prev"_s, u"child"_s}.indexOf(w[2])); };
        if (w[0] == u"add"_s)
            tree.add(n(3), relation(), w[1], w[1]);
        else if (w[0] == u"remove"_s)
            tree.remove(n(1));
        else if (w[0] == u"move"_s)
            tree.move(n(1), n(3), relation());
        else if (w[0] == u"key"_s)
            tree.setKey(n(1), w[2]);
        else if (w[0] == u"text"_s)
            n(1)->setText(w[2]);
        else if (w[0] == u"clear"_s)
            tree.clear();
        else if (w[0] == u"collapse"_s)
            view.collapse(model.indexOf(n(1)));
        else {
            tree.beginRebuild();
            tree.clear();
            build(tree, w[1]);
            tree.move(n(2), n(3), Tree::Relation::Child); // a nested branch, open
            // While the tree is rebuilt the model reports nothing, so a repaint cannot reach deleted nodes.
            QCOMPARE(model.rowCount(), 0);
            tree.endRebuild();
        }
        // Only a rebuild or a clear resets the model, once; everything else keeps the views' state.
        QCOMPARE(resets.count(), int(w[0] == u"rebuild"_s || w[0] == u"clear"_s));
        QCOMPARE(shape(model) + u' ' + persistent.data(TreeModel::KeyRole).toString(), expected);
        // The view opens what the nodes say is open and the nodes remember what the user opened or
        // closed, also for moved subtrees and after a rebuild.
        QCOMPARE(expansionMismatches(view, model), QString());
        QCOMPARE(tree.node(u"A"_s) && !tree.node(u"A"_s)->expanded(), w[0] == u"collapse"_s);
    }

    // background|foreground|check|bold of Berlin, then New; unset colours keep the view's own look.
    void rolesAndDropHighlight()
    {
        Tree tree;
        TreeModel model(tree);
        build(tree, u"New:Berlin"_s);
        TreeNode *node = at(tree, "Berlin");
        node->setBackColor(rgb(220, 220, 0));
        node->setForeColor(rgb(255, 60, 60));
        node->setBold(true);
        node->setChecked(true);
        const auto roles = [&] {
            QString out;
            for (const QModelIndex &i : {model.indexOf(node), model.indexOf(at(tree, "New"))}) {
                for (int role : {int(Qt::BackgroundRole), int(Qt::ForegroundRole)})
                    out += (i.data(role).isValid() ? i.data(role).value<QBrush>().color().name() : u"-"_s) + u'|';
                out += u"%1|%2 "_s.arg(i.data(Qt::CheckStateRole).toInt()).arg(i.data(Qt::FontRole).value<QFont>().bold());
            }
            return out.trimmed();
        };
        QCOMPARE(roles(), u"#dcdc00|#ff3c3c|2|1 -|-|0|0"_s);
        // The node a scenery would be dropped on is highlighted; moving the highlight repaints the
        // old and the new node, and the old one gets its colours back.
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setDropHighlight(u"New"_s);
        const QString highlight = u"%1|%2"_s.arg(QApplication::palette().color(QPalette::Highlight).name(),
                                                QApplication::palette().color(QPalette::HighlightedText).name());
        QCOMPARE(roles(), u"#dcdc00|#ff3c3c|2|1 %1|0|0"_s.arg(highlight));
        model.setDropHighlight(u"Berlin"_s);
        QCOMPARE(roles(), u"%1|2|1 -|-|0|0"_s.arg(highlight));
        QCOMPARE(changed.count(), 3);
    }

    void checkAndLabelEditsGoThroughHandlers_data()
    {
        QTest::addColumn<int>("setup"); // 0 a level picker, 1 with boxes, 2 edits allowed, 3 and accepted
        QTest::addColumn<QString>("expected"); // handler calls, then the text and box of A
        QTest::newRow("check and accepted edit") << 3 << "check A 1;edit A;Europe/West 1";
        QTest::newRow("edit refused by the handler") << 2 << "check A 1;edit A;A 1";
        QTest::newRow("not editable") << 1 << "check A 1;A 1";
        QTest::newRow("level picker has no boxes") << 0 << "A 0";
    }
    void checkAndLabelEditsGoThroughHandlers()
    {
        QFETCH(int, setup);
        QFETCH(QString, expected);
        Tree tree;
        TreeModel model(tree);
        model.setCheckable(setup > 0);
        build(tree, u"A:A1;B"_s);
        TreeNode *a = at(tree, "A");
        QStringList calls;
        // The node already holds the new state when the check handler runs.
        model.setCheckHandler([&](TreeNode *node) { calls << u"check %1 %2"_s.arg(node->key()).arg(node->checked()); });
        model.setEditHandlers([&](TreeNode *node) { return setup >= 2 && node == a; }, [&](TreeNode *node, const QString &text) {
            calls << u"edit "_s + node->key();
            if (setup == 3)
                node->setText(text);
            return setup == 3;
        });
        const QModelIndex index = model.indexOf(a);
        QCOMPARE(model.flags(index) & (Qt::ItemIsUserCheckable | Qt::ItemIsEditable),
                 (setup > 0 ? Qt::ItemIsUserCheckable : Qt::NoItemFlags) | (setup >= 2 ? Qt::ItemIsEditable : Qt::NoItemFlags));
        QCOMPARE(model.setData(index, int(Qt::Checked), Qt::CheckStateRole), setup > 0);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QCOMPARE(model.setData(index, u"Europe/West"_s, Qt::EditRole), setup == 3);
        QCOMPARE((calls << u"%1 %2"_s.arg(a->text()).arg(a->checked())).join(u';'), expected);
        QCOMPARE(index.data(Qt::CheckStateRole).isValid(), setup > 0);
        // A refused edit still tells the view, so the editor's text is replaced by the node's.
        QCOMPARE(changed.count() >= 1, setup >= 2);
    }
};

QTEST_MAIN(TestTreeModel)
#include "tst_treemodel.moc"
