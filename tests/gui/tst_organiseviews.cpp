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
    // The dialog's answer after the levels clicked, in order, and the button pressed: OK takes the
    // level clicked last, a nested one included; a double click chooses; "&Root" takes the top
    // whatever was clicked; without a level chosen OK is not offered.
    void moveDialog_data()
    {
        QTest::addColumn<QStringList>("clicked");
        QTest::addColumn<QString>("button"); // "": the last level clicked is double-clicked
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("levelKey");
        QTest::addColumn<bool>("root");
        const QString asia = u"LevelAsia"_s;
        const QString germany = u"LevelEurope\\Germany"_s;
        QTest::newRow("OK") << QStringList{asia, germany} << u"cmdOk"_s << int(QDialog::Accepted) << germany
                            << false;
        QTest::newRow("double click")
            << QStringList{asia} << QString() << int(QDialog::Accepted) << asia << false;
        QTest::newRow("Root") << QStringList{asia} << u"cmdToRoot"_s << int(QDialog::Accepted) << QString()
                              << true;
        QTest::newRow("Cancel") << QStringList{asia} << u"cmdCancel"_s << int(QDialog::Rejected) << QString()
                                << false;
        QTest::newRow("OK without a level") << QStringList() << u"cmdOk"_s << StillOpen << QString() << false;
    }
    void moveDialog()
    {
        QFETCH(QStringList, clicked);
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(QString, levelKey);
        QFETCH(bool, root);
        frmMoveTreeNode form;
        addLevels(form);
        form.cmdToRootVisible = true;
        const int shown = showAndPlay(form, form.trvTree, [&](Shown &dialog) {
            for (const QString &key : clicked)
                dialog.click(key);
            if (button.isEmpty())
                dialog.doubleClick(clicked.last());
            else
                dialog.press(button);
        });
        QCOMPARE(shown, result);
        QCOMPARE(form.sLevelKey, levelKey);
        QCOMPARE(form.bRoot, root);
    }

    // The boxes ticked with the space key or by a double click are restored on OK; with nothing
    // ticked (a box ticked and cleared again) OK is not offered.
    void undoDialog_data()
    {
        QTest::addColumn<QStringList>("spaced");
        QTest::addColumn<QStringList>("doubleClicked");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("ticked"); // the titles restored, when the dialog was accepted
        const QString a = u"SceneryNew\\A"_s;
        QTest::newRow("OK") << QStringList{u"SceneryEurope\\Berlin"_s} << QStringList{u"SceneryNew\\C"_s}
                            << u"cmdOk"_s << int(QDialog::Accepted) << QStringList{u"Berlin"_s, u"C"_s};
        QTest::newRow("Cancel") << QStringList{a} << QStringList() << u"cmdCancel"_s << int(QDialog::Rejected)
                                << QStringList();
        QTest::newRow("OK with nothing ticked")
            << QStringList() << QStringList{a, a} << u"cmdOk"_s << StillOpen << QStringList();
    }
    void undoDialog()
    {
        QFETCH(QStringList, spaced);
        QFETCH(QStringList, doubleClicked);
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(QStringList, ticked);
        frmUndoRemove form;
        addRemoved(form);
        const int shown = showAndPlay(form, form.trvRemoved, [&](Shown &dialog) {
            for (const QString &key : spaced)
                dialog.tickWithSpace(key);
            for (const QString &key : doubleClicked)
                dialog.doubleClick(key);
            dialog.press(button);
        });
        QCOMPARE(shown, result);
        QCOMPARE(form.bUndelete, result == int(QDialog::Accepted));
        if (form.bUndelete)
            QCOMPARE(tickedTitles(form), ticked);
    }
};

QTEST_MAIN(TestOrganiseViews)
#include "tst_organiseviews.moc"
