#include "organise_invariants.h"
#include "tst_frmscenery_fixture.h"

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using Fixture = MainWindowFixture;

namespace {
const QStringList Captions{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma"),
                           QStringLiteral("Delta"), QStringLiteral("alpha"), QStringLiteral("New")};

bool isLevel(const TreeNode *n)
{
    return n->key().startsWith(QLatin1String("Level"));
}

// A level among the children of parent (top level when none) with this caption, other than self.
bool captionTaken(const Tree &tree, const TreeNode *parent, const QString &caption, const TreeNode *self)
{
    for (const TreeNode *n = parent ? parent->firstChild() : tree.firstRoot(); n; n = n->next()) {
        if (n != self && isLevel(n) && n->text() == caption)
            return true;
    }
    return false;
}

bool titleTaken(const SceneryManager &m, const QString &title)
{
    for (const SceneryPtr &s : m.colScenery) {
        if (s->Title == title)
            return true;
    }
    return false;
}
}

// Random moves, renames, caption changes, sorts, removes and undos on a library of nested levels:
// after every step the tree and the library agree, and a save and restart shows the same tree.
// Whether a step is to be refused is decided here from the tree alone, so the refusals are
// checked too.
class TestOrganiseRandom : public QObject
{
    Q_OBJECT

private slots:
    void randomSequenceKeepsTreeAndLibraryInStep();

private:
    std::vector<TreeNode *> nodes(bool levels, bool sceneries) const
    {
        std::vector<TreeNode *> result;
        for (TreeNode *n = m_f->form->trvScenery().firstRoot(); n; n = n->nextInWalk()) {
            if (isLevel(n) ? levels : sceneries)
                result.push_back(n);
        }
        return result;
    }
    template<typename T>
    T pick(const std::vector<T> &from)
    {
        return from.empty() ? T() : from[m_rng.bounded(quint32(from.size()))];
    }
    QString step();

    Fixture *m_f = nullptr;
    QRandomGenerator m_rng{20240611};
};

QString TestOrganiseRandom::step()
{
    frmScenery &form = *m_f->form;
    Tree &tree = form.trvScenery();
    ScriptedUi &ui = m_f->env.ui;
    const auto select = [&](TreeNode *n) {
        tree.setSelectedItem(n);
        if (n)
            form.trvScenery_NodeClick(n);
    };
    const QString caption = Captions[int(m_rng.bounded(quint32(Captions.size())))];
    switch (m_rng.bounded(10)) {
    case 0: {
        select(pick(nodes(true, true)));
        form.InnerMove(int(m_rng.bounded(4)));
        return QStringLiteral("InnerMove");
    }
    case 1: {  // MoveTo through the dialog
        TreeNode *node = pick(nodes(true, true));
        if (!node || (isLevel(node) && node->text() == QLatin1String("New")))
            return QString();
        TreeNode *target = pick(nodes(true, false));
        // Now and then a level is aimed at itself or at a level below it.
        if (isLevel(node) && m_rng.bounded(4) == 0) {
            std::vector<TreeNode *> own{node};
            for (TreeNode *n = node->firstChild(); n && node->contains(n); n = n->nextInWalk()) {
                if (isLevel(n))
                    own.push_back(n);
            }
            target = pick(own);
        }
        const bool root = isLevel(node) && m_rng.bounded(4) == 0;
        const bool refused = root ? captionTaken(tree, nullptr, node->text(), node)
                                  : node->contains(target) || (isLevel(node) && captionTaken(tree, target, node->text(), node));
        select(node);
        const QString targetKey = target->key();
        ui.expectForm<frmMoveTreeNode>(QStringLiteral("frmMoveTreeNode"), [root, targetKey](frmMoveTreeNode &d) {
            if (root) {
                d.cmdToRoot_Click();
            } else {
                d.trvTree.setSelectedItem(d.trvTree.node(targetKey));
                d.cmdOk_Click();
            }
        });
        if (refused)
            ui.expectMessageStartingWith(QString(), QStringLiteral("Can not move"));
        form.MoveTo();
        return root ? QStringLiteral("MoveTo root") : QStringLiteral("MoveTo");
    }
    case 2: {  // drag a scenery onto any node
        TreeNode *node = pick(nodes(false, true));
        TreeNode *over = pick(nodes(true, true));
        if (!node)
            return QString();
        form.trvScenery_MouseDown(node);
        form.trvScenery_MouseMove(true);
        form.trvScenery_DragOver(over);
        form.trvScenery_DragDrop();
        return QStringLiteral("drop");
    }
    case 3: {  // new caption
        TreeNode *node = pick(nodes(true, false));
        if (node->text() == QLatin1String("New"))
            return QString();
        select(node);
        ui.expectInput(QStringLiteral("Insert the new caption for the level: ") + node->text(), QString(), caption);
        if (captionTaken(tree, node->parent(), caption, node))
            ui.expectMessageStartingWith(QString(), QStringLiteral("Can not rename level."));
        form.mnuLevelRename_Click();
        return QStringLiteral("rename level");
    }
    case 4: {  // new title, sometimes one the library holds
        TreeNode *node = pick(nodes(false, true));
        if (!node)
            return QString();
        select(node);
        const QString title = QStringLiteral("S%1").arg(m_rng.bounded(260), 3, 10, QLatin1Char('0'));
        ui.expectInput(QStringLiteral("Insert the new name for the scenery: ") + node->text(), QString(), title);
        if (title != node->text() && titleTaken(form.manager(), title))
            ui.expectMessageStartingWith(QString(), QStringLiteral("Can not rename scenery."));
        form.mnuSceneryRename_Click();
        return QStringLiteral("rename scenery");
    }
    case 5:
        select(pick(nodes(true, false)));
        m_rng.bounded(2) ? form.mnuLevelSort_Click() : form.mnuLevelSortDesc_Click();
        return QStringLiteral("sort");
    case 6: {
        TreeNode *node = pick(nodes(false, true));
        if (!node)
            return QString();
        select(node);
        ui.expectMessageStartingWith(QStringLiteral("Do you want to remove scenery"), QString(), UiPort::Answer::Yes);
        form.mnuSceneryRemove_Click();
        return QStringLiteral("remove scenery");
    }
    case 7: {  // undo a random choice of removals
        std::vector<bool> ticks;
        bool kept = false;
        for (const SceneryPtr &s : form.removedList()) {
            ticks.push_back(m_rng.bounded(2) == 0);
            kept = kept || (ticks.back() && titleTaken(form.manager(), s->Title));
        }
        // Two ticked entries of one title: the second finds the first restored.
        QStringList titles;
        int i = 0;
        for (const SceneryPtr &s : form.removedList()) {
            if (ticks[size_t(i++)]) {
                kept = kept || titles.contains(s->Title);
                titles << s->Title;
            }
        }
        ui.expectForm<frmUndoRemove>(QStringLiteral("frmUndoRemove"), [ticks](frmUndoRemove &d) {
            int i = 0;
            for (TreeNode *n = d.trvRemoved.firstRoot(); n; n = n->next())
                n->setChecked(ticks[size_t(i++)]);
            d.cmdOk_Click();
        });
        if (kept)
            ui.expectMessageStartingWith(QString(), QStringLiteral("Undo remove Scenery"));
        form.mnuSceneryUnremove_Click();
        return QStringLiteral("undo remove");
    }
    case 8: {  // add a level below a level or a scenery, or at the top
        const quint32 kind = m_rng.bounded(5);
        TreeNode *node = kind == 0 ? nullptr : pick(nodes(kind > 2, kind <= 2));
        select(node);
        const bool same = m_rng.bounded(2);
        ui.expectInput(QStringLiteral("Enter name for the new level:"), QString(), caption);
        const TreeNode *parent = node ? node->parent() : nullptr;
        if (node && isLevel(node)) {
            ui.expectMessage(QStringLiteral("Do you want to insert the new entry on the same level?"), QString(),
                             same ? UiPort::Answer::Yes : UiPort::Answer::No);
            parent = same ? node->parent() : node;
        }
        if (captionTaken(tree, parent, caption, nullptr) || (!parent && caption == QLatin1String("New")))
            ui.expectMessageStartingWith(QString(), QStringLiteral("Can not add level."));
        form.mnuLevelAdd_Click();
        return QStringLiteral("add level");
    }
    default: {
        TreeNode *node = pick(nodes(true, false));
        select(node);
        if (node->text() != QLatin1String("New") && node->hasChildren())
            ui.expectMessageStartingWith(QString(), QStringLiteral("Can not remove level."));
        form.mnuLevelRemove_Click();
        return QStringLiteral("remove level");
    }
    }
}

void TestOrganiseRandom::randomSequenceKeepsTreeAndLibraryInStep()
{
    Fixture f;
    m_f = &f;
    // 30 levels in up to four layers, captions from a small pool so that names meet.
    QStringList levels{QStringLiteral("LevelNew")};
    f.addLevel(levels[0], QStringLiteral("New"));
    for (int i = 0; i < 30; ++i) {
        const QString parent = i < 4 ? QString() : levels[1 + int(m_rng.bounded(quint32(levels.size() - 1)))];
        const QString caption = Captions[i % 5] + QString::number(i);
        const QString key = parent.isEmpty() ? QStringLiteral("Level") + caption : parent + QLatin1Char('\\') + caption;
        f.addLevel(key, caption);
        levels << key;
    }
    QHash<QString, QString> lastIn;
    for (int i = 0; i < 200; ++i) {
        Fixture::Scenery s;
        s.title = QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        s.level = levels[int(m_rng.bounded(quint32(levels.size())))];
        s.previousKey = lastIn.value(s.level);
        lastIn.insert(s.level, f.addScenery(s));
    }
    frmScenery &form = f.load();
    QString fault = organiseFault(form);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));

    for (int i = 1; i <= 400; ++i) {
        const QString what = step();
        QVERIFY2(f.env.ui.allShown(), qPrintable(QStringLiteral("step %1: %2").arg(i).arg(what)));
        fault = organiseFault(form);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1 (%2): %3").arg(i).arg(what, fault)));
        if (i % 80 == 0) {
            fault = restartFault(form, f.env.context);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(i).arg(fault)));
        }
    }
}

QTEST_GUILESS_MAIN(TestOrganiseRandom)
#include "tst_organise_random.moc"
