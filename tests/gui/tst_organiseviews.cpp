// The test tables read better with plain literals.
#undef QT_NO_CAST_FROM_ASCII
#undef QT_NO_CAST_TO_ASCII

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"
#include "gui/app/guiuiport.h"
#include "gui/app/organiseviews.h"
#include "gui/tree/treemodel.h"

#include <QtTest>
#include <QtWidgets>

namespace {
// Shows the form's registered view through the UI port and, in it, runs "click:key", "dclick:key",
// "space:key", "escape" or the name of a button, in turn; then tells whether the dialog stayed
// "open" (it is then cancelled) or its result code.
QString run(FormLogic &form, Tree &nodes, const QString &steps)
{
    registerOrganiseViews();
    QString state;
    QTimer::singleShot(0, [&] {
        auto *view = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QTreeView *tree = view ? view->findChild<QTreeView *>() : nullptr;
        if (!tree || view->objectName() != form.formName()) {
            state = "no view";
            return QApplication::closeAllWindows();
        }
        for (const QString &step : steps.split(' ')) {
            const QString what = step.section(':', 0, 0);
            const QModelIndex index = static_cast<TreeModel *>(tree->model())->indexOf(nodes.node(step.section(':', 1)));
            const QPoint at = tree->visualRect(index).center();
            if (what == "click" || what == "dclick")
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
            if (what == "dclick")
                QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
            else if (what == "space")
                tree->setCurrentIndex(index), QTest::keyClick(tree, Qt::Key_Space);
            else if (what == "escape")
                QTest::keyClick(view, Qt::Key_Escape);
            else if (what != "click")
                QTest::mouseClick(view->findChild<QPushButton *>(what), Qt::LeftButton);
        }
        state = view->isVisible() ? "open" : QString::number(view->result());
        if (view->isVisible())
            QTest::mouseClick(view->findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
    });
    GuiUiPort port;
    port.showModal(form);
    return state;
}
} // namespace

class TestOrganiseViews : public QObject
{
    Q_OBJECT

private slots:
    void dialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected"); // what the logic hands back, then the dialog's state
        // clang-format off
        QTest::newRow("move: OK on a nested level, the last one clicked") << "move" << "click:LevelAsia click:LevelEurope\\Germany cmdOk" << "LevelEurope\\Germany 1";
        QTest::newRow("move: double click") << "move with root" << "dclick:LevelAsia" << "LevelAsia 1";
        QTest::newRow("move: root") << "move with root" << "click:LevelAsia cmdToRoot" << " root 1";
        QTest::newRow("move: cancel after choosing") << "move with root" << "click:LevelAsia cmdCancel" << " 0";
        QTest::newRow("move: escape") << "move" << "click:LevelAsia escape" << " 0";
        QTest::newRow("move: OK without a level is not offered") << "move" << "cmdOk" << " open";
        QTest::newRow("undo: OK restores the ticked") << "undo" << "space:SceneryEurope\\Berlin dclick:SceneryNew\\C cmdOk" << "Berlin,C undelete 1";
        QTest::newRow("undo: ticked twice is unticked") << "undo" << "space:SceneryNew\\A space:SceneryNew\\C space:SceneryNew\\A cmdOk" << "C undelete 1";
        QTest::newRow("undo: cancel after ticking") << "undo" << "space:SceneryNew\\A cmdCancel" << "A 0";
        QTest::newRow("undo: escape") << "undo" << "space:SceneryNew\\A escape" << "A 0";
        QTest::newRow("undo: OK with nothing ticked is not offered") << "undo" << "dclick:SceneryNew\\A dclick:SceneryNew\\A cmdOk" << " open";
        // clang-format on
    }
    void dialogs()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        if (dialog.startsWith("move")) {
            frmMoveTreeNode form;
            // Levels as the main window copies them, all made visible.
            for (const QString line : {"|LevelEurope|Europe", "LevelEurope|LevelEurope\\Germany|Germany", "|LevelAsia|Asia", "|LevelNew|New"}) {
                TreeNode *parent = form.trvTree.node(line.section('|', 0, 0));
                form.trvTree.add(parent, parent ? Tree::Relation::Child : Tree::Relation::Last, line.section('|', 1, 1), line.section('|', 2))->ensureVisible();
            }
            form.cmdToRootVisible = dialog.endsWith("root");
            const QString state = run(form, form.trvTree, steps);
            QCOMPARE(form.sLevelKey + (form.bRoot ? " root " : " ") + state, expected);
        } else {
            frmUndoRemove form;
            for (const QString key : {"SceneryNew\\A", "SceneryEurope\\Berlin", "SceneryNew\\C"})
                form.trvRemoved.add(nullptr, Tree::Relation::Last, key, key.section('\\', -1));
            const QString state = run(form, form.trvRemoved, steps);
            QStringList ticked;
            for (const TreeNode *n = form.trvRemoved.firstRoot(); n; n = n->next())
                n->checked() ? void(ticked << n->text()) : void();
            QCOMPARE(ticked.join(',') + (form.bUndelete ? " undelete " : " ") + state, expected);
        }
    }
};

QTEST_MAIN(TestOrganiseViews)
#include "tst_organiseviews.moc"
