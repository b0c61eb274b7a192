// The views of the organising dialogs, shown through the GUI's UI port and played with the mouse
// and the keyboard: what the user does reaches the dialog's logic.

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"
#include "gui/app/guiuiport.h"
#include "gui/app/organiseviews.h"
#include "gui/tree/treemodel.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
constexpr int StillOpen = -1;

// The dialog's view as the user sees it: its window and its tree of the logic's nodes.
struct Shown
{
    QDialog &window;
    QTreeView &tree;
    const Tree &nodes;

    QPoint centre(const QString &key) const
    {
        const QModelIndex index = static_cast<TreeModel *>(tree.model())->indexOf(nodes.node(key));
        return tree.visualRect(index).center();
    }
    void click(const QString &key) { QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centre(key)); }
    void doubleClick(const QString &key)
    {
        click(key); // a real double click starts with a press on the same node
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, centre(key));
    }
    void tickWithSpace(const QString &key)
    {
        tree.setCurrentIndex(static_cast<TreeModel *>(tree.model())->indexOf(nodes.node(key)));
        QTest::keyClick(&tree, Qt::Key_Space);
    }
    void press(const QString &button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
    }
};

// Shows the form's registered view modally and, once it is up, plays the user's part in it. The
// dialog's result, or StillOpen when it stayed open (it is cancelled then).
int showAndPlay(FormLogic &form, const Tree &nodes, const std::function<void(Shown &)> &play)
{
    registerOrganiseViews();
    int result = QDialog::Rejected;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QTreeView *tree = window ? window->findChild<QTreeView *>() : nullptr;
        QVERIFY2(tree && window->objectName() == form.formName(), "the form's view is not shown");
        Shown shown{*window, *tree, nodes};
        play(shown);
        result = window->isVisible() ? StillOpen : window->result();
        if (window->isVisible())
            shown.press(u"cmdCancel"_s);
    });
    GuiUiPort port;
    port.showModal(form);
    return result;
}

// The levels as the main window copies them into the dialog, all made visible: Europe (with
// Germany), Asia and New.
void addLevels(frmMoveTreeNode &form)
{
    TreeNode *europe = form.trvTree.add(nullptr, Tree::Relation::Last, u"LevelEurope"_s, u"Europe"_s);
    form.trvTree.add(europe, Tree::Relation::Child, u"LevelEurope\\Germany"_s, u"Germany"_s)->ensureVisible();
    form.trvTree.add(nullptr, Tree::Relation::Last, u"LevelAsia"_s, u"Asia"_s);
    form.trvTree.add(nullptr, Tree::Relation::Last, u"LevelNew"_s, u"New"_s);
}

// The removed sceneries A, Berlin and C.
void addRemoved(frmUndoRemove &form)
{
    for (const QString &key : {u"SceneryNew\\A"_s, u"SceneryEurope\\Berlin"_s, u"SceneryNew\\C"_s})
        form.trvRemoved.add(nullptr, Tree::Relation::Last, key, key.section(u'\\', -1));
}

QStringList tickedTitles(const frmUndoRemove &form)
{
    QStringList titles;
    for (const TreeNode *n = form.trvRemoved.firstRoot(); n; n = n->next()) {
        if (n->checked())
            titles << n->text();
    }
    return titles;
}

} // namespace

class TestOrganiseViews : public QObject
{
    Q_OBJECT

private slots:
    // OK takes the level clicked last, a nested one included.
    void moveDialogOkTakesTheLevelClicked()
    {
        frmMoveTreeNode form;
        addLevels(form);
        const int result = showAndPlay(form, form.trvTree, [](Shown &dialog) {
            dialog.click(u"LevelAsia"_s);
            dialog.click(u"LevelEurope\\Germany"_s);
            dialog.press(u"cmdOk"_s);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(form.sLevelKey, u"LevelEurope\\Germany"_s);
        QVERIFY(!form.bRoot);
    }

    void moveDialogDoubleClickChooses()
    {
        frmMoveTreeNode form;
        addLevels(form);
        const int result =
            showAndPlay(form, form.trvTree, [](Shown &dialog) { dialog.doubleClick(u"LevelAsia"_s); });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(form.sLevelKey, u"LevelAsia"_s);
    }

    // "&Root" takes the top of the tree, whatever level was clicked.
    void moveDialogRoot()
    {
        frmMoveTreeNode form;
        addLevels(form);
        form.cmdToRootVisible = true;
        const int result = showAndPlay(form, form.trvTree, [](Shown &dialog) {
            dialog.click(u"LevelAsia"_s);
            dialog.press(u"cmdToRoot"_s);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(form.bRoot);
        QCOMPARE(form.sLevelKey, QString());
    }

    void moveDialogCancelled()
    {
        frmMoveTreeNode form;
        addLevels(form);
        const int result = showAndPlay(form, form.trvTree, [](Shown &dialog) {
            dialog.click(u"LevelAsia"_s);
            dialog.press(u"cmdCancel"_s);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(form.sLevelKey, QString());
    }

    // Without a level chosen OK is not offered.
    void moveDialogOkWantsALevel()
    {
        frmMoveTreeNode form;
        addLevels(form);
        const int result = showAndPlay(form, form.trvTree, [](Shown &dialog) { dialog.press(u"cmdOk"_s); });
        QCOMPARE(result, StillOpen);
    }

    // The boxes ticked with the space key or by a double click are restored on OK.
    void undoDialogRestoresTheTicked()
    {
        frmUndoRemove form;
        addRemoved(form);
        const int result = showAndPlay(form, form.trvRemoved, [](Shown &dialog) {
            dialog.tickWithSpace(u"SceneryEurope\\Berlin"_s);
            dialog.doubleClick(u"SceneryNew\\C"_s);
            dialog.press(u"cmdOk"_s);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(form.bUndelete);
        QCOMPARE(tickedTitles(form), (QStringList{u"Berlin"_s, u"C"_s}));
    }

    void undoDialogCancelled()
    {
        frmUndoRemove form;
        addRemoved(form);
        const int result = showAndPlay(form, form.trvRemoved, [](Shown &dialog) {
            dialog.tickWithSpace(u"SceneryNew\\A"_s);
            dialog.press(u"cmdCancel"_s);
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(!form.bUndelete);
    }

    // With nothing ticked (a box ticked and cleared again) OK is not offered.
    void undoDialogOkWantsATick()
    {
        frmUndoRemove form;
        addRemoved(form);
        const int result = showAndPlay(form, form.trvRemoved, [](Shown &dialog) {
            dialog.doubleClick(u"SceneryNew\\A"_s);
            dialog.doubleClick(u"SceneryNew\\A"_s);
            dialog.press(u"cmdOk"_s);
        });
        QCOMPARE(result, StillOpen);
        QVERIFY(!form.bUndelete);
    }
};

QTEST_MAIN(TestOrganiseViews)
#include "tst_organiseviews.moc"
