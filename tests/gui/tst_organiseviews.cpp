// The test tables read better with plain literals.
#undef QT_NO_CAST_FROM_ASCII
#undef QT_NO_CAST_TO_ASCII

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"
#include "gui/app/guiuiport.h"
#include "gui/app/movetreenodedialog.h"
#include "gui/app/organiseviews.h"
#include "gui/app/undoremovedialog.h"
#include "gui/tree/treemodel.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {
// Levels as the main window copies them: Europe (Germany), Asia, New; all made visible.
void fillLevels(Tree &tree)
{
    const QStringList lines{"|LevelEurope|Europe", "LevelEurope|LevelEurope\\Germany|Germany", "|LevelAsia|Asia", "|LevelNew|New"};
    for (const QString &line : lines) {
        const QStringList p = line.split('|');
        TreeNode *parent = tree.node(p[0]);
        tree.add(parent, parent ? Tree::Relation::Child : Tree::Relation::Last, p[1], p[2])->ensureVisible();
    }
}

QPoint centreOf(QTreeView *view, const TreeNode *node)
{
    return view->visualRect(static_cast<TreeModel *>(view->model())->indexOf(node)).center();
}

// "click:key", "dclick:key", "space:key", "escape" or the name of a button
void act(QDialog &view, QTreeView *tree, Tree &nodes, const QString &step)
{
    const QString what = step.section(':', 0, 0);
    const QPoint at = centreOf(tree, nodes.node(step.section(':', 1)));
    if (what == "click" || what == "dclick")
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    if (what == "dclick")
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    else if (what == "space")
        tree->setCurrentIndex(tree->indexAt(at)), QTest::keyClick(tree, Qt::Key_Space);
    else if (what == "escape")
        QTest::keyClick(&view, Qt::Key_Escape);
    else if (what != "click")
        QTest::mouseClick(view.findChild<QPushButton *>(what), Qt::LeftButton);
}
} // namespace

class TestOrganiseViews : public QObject
{
    Q_OBJECT

private slots:
    void moveTreeNode_data();
    void moveTreeNode();
    void undoRemove_data();
    void undoRemove();
    void registered_data();
    void registered();
};

void TestOrganiseViews::moveTreeNode_data()
{
    QTest::addColumn<bool>("rootOffered");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("levelKey");
    QTest::addColumn<bool>("root");
    QTest::addColumn<int>("result");  // -1: still open
    const int ok = QDialog::Accepted, cancelled = QDialog::Rejected;
    QTest::newRow("OK on a nested level, the last one clicked") << false << QStringList{"click:LevelAsia", "click:LevelEurope\\Germany", "cmdOk"} << "LevelEurope\\Germany" << false << ok;
    QTest::newRow("double click") << true << QStringList{"dclick:LevelAsia"} << "LevelAsia" << false << ok;
    QTest::newRow("root") << true << QStringList{"click:LevelAsia", "cmdToRoot"} << "" << true << ok;
    QTest::newRow("cancel after choosing") << true << QStringList{"click:LevelAsia", "cmdCancel"} << "" << false << cancelled;
    QTest::newRow("escape") << false << QStringList{"click:LevelAsia", "escape"} << "" << false << cancelled;
    QTest::newRow("OK without a level is not offered") << false << QStringList{"cmdOk"} << "" << false << -1;
}

void TestOrganiseViews::moveTreeNode()
{
    QFETCH(bool, rootOffered);
    QFETCH(QStringList, steps);
    QFETCH(QString, levelKey);
    QFETCH(bool, root);
    QFETCH(int, result);
    frmMoveTreeNode form;
    fillLevels(form.trvTree);
    form.cmdToRootVisible = rootOffered;
    form.Form_Activate();
    MoveTreeNodeDialog view(form);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.windowTitle(), "Move Scenery / Level to ...");
    QCOMPARE(view.rootButton()->isVisible(), rootOffered);
    QCOMPARE(view.okButton()->isEnabled(), false);
    for (const QString &step : steps)
        act(view, view.tree(), form.trvTree, step);
    QCOMPARE(form.sLevelKey, levelKey);
    QCOMPARE(form.bRoot, root);
    QCOMPARE(view.isVisible(), result < 0);
    if (result >= 0)
        QCOMPARE(view.result(), result);
}

void TestOrganiseViews::undoRemove_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<bool>("undelete");
    QTest::addColumn<int>("result");  // -1: still open
    const int ok = QDialog::Accepted, cancelled = QDialog::Rejected;
    QTest::newRow("OK restores the ticked") << QStringList{"space:SceneryEurope\\Berlin", "dclick:SceneryNew\\C", "cmdOk"} << QStringList{"Berlin", "C"} << true << ok;
    QTest::newRow("ticked twice is unticked") << QStringList{"space:SceneryNew\\A", "space:SceneryNew\\C", "space:SceneryNew\\A", "cmdOk"} << QStringList{"C"} << true << ok;
    QTest::newRow("cancel after ticking") << QStringList{"space:SceneryNew\\A", "cmdCancel"} << QStringList{"A"} << false << cancelled;
    QTest::newRow("escape") << QStringList{"space:SceneryNew\\A", "escape"} << QStringList{"A"} << false << cancelled;
    QTest::newRow("OK with nothing ticked is not offered") << QStringList{"dclick:SceneryNew\\A", "dclick:SceneryNew\\A", "cmdOk"} << QStringList{} << false << -1;
}

void TestOrganiseViews::undoRemove()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, ticked);
    QFETCH(bool, undelete);
    QFETCH(int, result);
    frmUndoRemove form;
    for (const QString &key : QStringList{"SceneryNew\\A", "SceneryEurope\\Berlin", "SceneryNew\\C"})
        form.trvRemoved.add(nullptr, Tree::Relation::Last, key, QString(key).section('\\', -1));
    form.Form_Activate();
    UndoRemoveDialog view(form);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.windowTitle(), "Undo remove Scenery");
    QVERIFY(!view.okButton()->isEnabled());
    for (const QString &step : steps)
        act(view, view.tree(), form.trvRemoved, step);
    QStringList checked;
    for (const TreeNode *n = form.trvRemoved.firstRoot(); n; n = n->next())
        n->checked() ? void(checked << n->text()) : void();
    QCOMPARE(checked, ticked);
    QCOMPARE(form.bUndelete, undelete);
    QCOMPARE(view.isVisible(), result < 0);
    if (result >= 0)
        QCOMPARE(view.result(), result);
}

void TestOrganiseViews::registered_data()
{
    QTest::addColumn<QString>("formName");
    QTest::newRow("move") << "frmMoveTreeNode";
    QTest::newRow("undo") << "frmUndoRemove";
}

// The UI port finds each view by the form's name and runs it modally until the logic closes.
void TestOrganiseViews::registered()
{
    QFETCH(QString, formName);
    registerOrganiseViews();
    frmMoveTreeNode move;
    frmUndoRemove undo;
    FormLogic &form = formName == move.formName() ? static_cast<FormLogic &>(move) : undo;
    QString shown;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        shown = dialog->objectName();
        if (auto *cancel = dialog->findChild<QPushButton *>("cmdCancel"))
            QTest::mouseClick(cancel, Qt::LeftButton);
        else
            dialog->close();
    });
    GuiUiPort port;
    port.showModal(form);
    QCOMPARE(shown, formName);
    QVERIFY(!(formName == move.formName() ? move.visible : undo.visible));
}

QTEST_MAIN(TestOrganiseViews)
#include "tst_organiseviews.moc"
