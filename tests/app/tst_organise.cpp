// The test tables read better with plain literals.
#undef QT_NO_CAST_FROM_ASCII
#undef QT_NO_CAST_TO_ASCII

#include "organise_invariants.h"
#include "tst_frmscenery_fixture.h"

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"

#include <QRandomGenerator>
#include <QTest>

using Answer = UiPort::Answer;

namespace {
const QString Ready = "Ready.", NewL = "LevelNew", Europe = "LevelEurope", Germany = "LevelEurope\\Germany", Asia = "LevelAsia";
const QString A = "SceneryNew\\A", B = "SceneryNew\\B", C = "SceneryNew\\C", Paris = "SceneryEurope\\Paris", Berlin = "SceneryEurope\\Germany\\Berlin";
// The library every row starts from, as shape() shows it: A and Berlin are ticked and coloured.
const QString Base = "New(A+,B,C) Europe(Germany(Berlin+,Hamburg),Paris) Asia";
const NodeColor Marked = rgb(9, 9, 9);

// Base (Hamburg only for FS98) and extra items: "level|key|caption", "scenery|title|levelKey|flySim|previousKey",
// "tick|key" (ticked and coloured), "filter" (sim filter on), "edit|key|text" (label edit), "do|row|key" (a command run first).
frmScenery &load(MainWindowFixture &f, const QStringList &extra = {})
{
    QStringList items{"level|LevelNew|New", "level|LevelEurope|Europe", "level|" + Germany + "|Germany", "level|LevelAsia|Asia", "scenery|A|LevelNew", "scenery|B|LevelNew||SceneryNew\\A", "scenery|C|LevelNew||SceneryNew\\B", "scenery|Berlin|" + Germany,
                      "scenery|Hamburg|" + Germany + "|2|" + Berlin, "scenery|Paris|LevelEurope||" + Germany, "tick|" + A, "tick|" + Berlin};
    for (const QString &item : items << extra) {
        const QStringList p = item.split('|');
        if (p[0] == "level")
            f.addLevel(p[1], p[2]);
        else if (p[0] == "scenery")
            f.addScenery({.title = p[1], .level = p[2], .flySim = qint16(p.value(3).toInt()), .previousKey = p.value(4)});
    }
    frmScenery &form = f.load();
    for (const QString &item : items) {
        const QStringList p = item.split('|');
        if (p[0] == "tick")
            f.node(p[1])->setChecked(true), f.node(p[1])->setBackColor(Marked);
        else if (p[0] == "edit")
            form.trvScenery_AfterLabelEdit(f.node(p[1]), p[2]);
        else if (p[0] == "do")
            f.select(p[2]), form.runCommand(Start::Command(p[1].toInt()));
    }
    return form;
}

// "text+(children) ..." with "+" for a ticked box, top-level nodes separated by blanks; then the removed list.
QString shape(const TreeNode *n, const QString &separator = " ")
{
    QStringList parts;
    for (; n; n = n->next())
        parts << n->text() + (n->checked() ? "+" : "") + (n->firstChild() ? "(" + shape(n->firstChild(), ",") + ")" : QString());
    return parts.join(separator);
}

// The keys of the tree's nodes in walk order.
QString nodeKeys(frmScenery &form)
{
    QStringList keys;
    for (const TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk())
        keys << n->key();
    return keys.join(",");
}

QString shape(frmScenery &form)
{
    return shape(form.trvScenery().firstRoot()) + (form.organiser().removedList().isEmpty() ? QString() : " removed " + form.organiser().removedList().keys().join(","));
}

// Answers every dialog at random: the random sequence checks what holds, not which way it went.
class RandomUi : public UiPort
{
public:
    explicit RandomUi(QRandomGenerator &rng) : m_rng(rng) {}
    Answer message(const QString &, const QString &, Buttons, Icon) override { return m_rng.bounded(4) ? Answer::Yes : Answer::No; }
    QString input(const QString &, const QString &, const QString &) override { return QStringList{"Alpha", "Beta", "alpha", "New", "S007", "S123", "Gamma\\Delta"}[m_rng.bounded(7)]; }
    std::optional<QString> chooseFile(const FileChooser &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void setBusy(bool) override {}
    void processEvents() override {}
    void showModal(FormLogic &form) override
    {
        if (auto *move = dynamic_cast<frmMoveTreeNode *>(&form)) {
            TreeNode *target = move->trvTree.firstRoot();
            for (int i = int(m_rng.bounded(quint32(move->trvTree.count()))); target && i > 0; --i)
                target = target->nextInWalk();
            move->trvTree.setSelectedItem(target);
            m_rng.bounded(5) == 0 ? move->cmdToRoot_Click() : move->cmdOk_Click();
        } else if (auto *undo = dynamic_cast<frmUndoRemove *>(&form)) {
            for (TreeNode *n = undo->trvRemoved.firstRoot(); n; n = n->next())
                n->setChecked(m_rng.bounded(2));
            undo->cmdOk_Click();
        }
    }
    QRandomGenerator &m_rng;
};
}

class TestOrganise : public QObject
{
    Q_OBJECT

private slots:
    // Commands on the selected node, driven by prompts, questions and dialogs.
    void command_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("row"); // the command table's row; 0 drags the selected node
        // "in|title|prompt|answer", "q|title|text|Yes or No", "m|title|start of the text",
        // "move|level key, dbl:key, root or empty for Cancel", "drag|key to drop on"
        QTest::addColumn<QStringList>("script");
        // shape() afterwards ("" unchanged) | the selected node afterwards | the status text (a scenery shown puts its title there)
        QTest::addColumn<QString>("expected");
        auto ex = [](const QString &tree, const QString &after, const QString &status) { return tree + '|' + after + '|' + status; };
        const QStringList no;
        const QString add = "in|New Level|Enter name for the new level:|", same = "q|Same level or child?|Do you want to insert the new entry on the same level?|",
                      levelTaken = "m|Can not add level.|There is already a level named";
        QTest::newRow("add, nothing selected: last") << no << "" << 1 << QStringList{add + "Oceania"} << ex(Base + " Oceania", "", Ready);
        QTest::newRow("add below a scenery's level: first") << no << Berlin << 1 << QStringList{add + "Bavaria"} << ex("New(A+,B,C) Europe(Germany(Bavaria,Berlin+,Hamburg),Paris) Asia", Berlin, Ready);
        QTest::newRow("add Yes: first sibling") << no << Germany << 1 << QStringList{add + "France", same + "Yes"} << ex("New(A+,B,C) Europe(France,Germany(Berlin+,Hamburg),Paris) Asia", Germany, Ready);
        QTest::newRow("add Yes on the top level") << no << Asia << 1 << QStringList{add + "Africa", same + "Yes"} << ex("Africa " + Base, Asia, Ready);
        QTest::newRow("add No: first child") << no << Europe << 1 << QStringList{add + "Italy", same + "No"} << ex("New(A+,B,C) Europe(Italy,Germany(Berlin+,Hamburg),Paris) Asia", Europe, Ready);
        QTest::newRow("add with backslash") << no << "" << 1 << QStringList{add + "A\\B"} << ex(Base + " A/B", "", Ready);
        QTest::newRow("add, caption taken refused") << no << Europe << 1 << QStringList{add + "Asia", same + "Yes", levelTaken} << ex("", Europe, Ready);
        QTest::newRow("add New at top refused") << no << "" << 1 << QStringList{add + "New", levelTaken} << ex("", "", Ready);
        QTest::newRow("add, empty answer") << no << "" << 1 << QStringList{add} << ex("", "", Ready);

        const QString subitems = "m|Can not remove level.|This Level contains subitems. Please remove them before.";
        QTest::newRow("remove the only child level") << QStringList{"level|LevelAsia\\Tokyo|Tokyo"} << "LevelAsia\\Tokyo" << 2 << no << ex(Base, "", Ready);
        QTest::newRow("remove level with children") << no << Europe << 2 << QStringList{subitems} << ex("", Europe, Ready);
        QTest::newRow("remove New silently") << no << NewL << 2 << no << ex("", NewL, "before");
        QTest::newRow("remove level holding hidden only") << QStringList{"filter", "scenery|Tokyo|LevelAsia|2"} << Asia << 2 << QStringList{subitems} << ex("New(A,B,C) Europe(Germany(Berlin,Hamburg),Paris) Asia(Tokyo)", Asia, Ready);

        const QString caption = "in|Rename Level|Insert the new caption for the level: ",
                      renameTaken = "m|Can not rename level.|There is already a level named";
        QTest::newRow("caption trimmed, subtree re-keyed") << no << Germany << 3 << QStringList{caption + "Germany| Bavaria "} << ex("New(A+,B,C) Europe(Bavaria(Berlin+,Hamburg),Paris) Asia", "LevelEurope\\Bavaria", Ready);
        QTest::newRow("caption with backslash") << no << Europe << 3 << QStringList{caption + "Europe|Euro\\pa"} << ex("New(A+,B,C) Euro/pa(Germany(Berlin+,Hamburg),Paris) Asia", "LevelEuro/pa", Ready);
        QTest::newRow("caption after a label edit") << QStringList{"edit|" + Germany + "|Bayern"} << Germany << 3 << QStringList{caption + "Bayern|Franken"} << ex("New(A+,B,C) Europe(Franken(Berlin+,Hamburg),Paris) Asia", "LevelEurope\\Franken", Ready);
        QTest::newRow("caption of a sibling refused") << no << Europe << 3 << QStringList{caption + "Europe|Asia", renameTaken} << ex("", Europe, Ready);
        QTest::newRow("caption of New silently kept") << no << NewL << 3 << no << ex("", NewL, Ready);
        QTest::newRow("caption empty") << no << Germany << 3 << QStringList{caption + "Germany|  "} << ex("", Germany, Ready);

        // Level x and scenery x tie and keep their order; the ticked ones keep box, colour and subtree.
        const QStringList sortable{"level|LevelS|S", "level|LevelS\\x|x", "scenery|q|LevelS|0|LevelS\\x", "scenery|P|LevelS|0|SceneryS\\q", "scenery|x|LevelS|0|SceneryS\\P",
                                   "scenery|p|LevelS|0|SceneryS\\x", "scenery|Q|LevelS|0|SceneryS\\p", "scenery|in|LevelS\\x", "tick|SceneryS\\x\\in", "tick|SceneryS\\P"};
        QTest::newRow("sort ascending by character code") << sortable << "LevelS" << 4 << no << ex(Base + " S(P+,Q,p,q,x(in+),x)", "LevelS", Ready);
        QTest::newRow("sort descending") << sortable << "LevelS" << 5 << no << ex(Base + " S(x(in+),x,q,p,Q,P+)", "LevelS", Ready);

        const QString cycle = "m|Can not move|A level can not be moved into itself or into one of the levels below it.";
        QTest::newRow("move scenery to a level") << no << A << 6 << QStringList{"move|" + Europe} << ex("New(B,C) Europe(Germany(Berlin+,Hamburg),Paris,A+) Asia", "SceneryEurope\\A", "before");
        QTest::newRow("move by double click") << no << Berlin << 6 << QStringList{"move|dbl:" + Asia} << ex("New(A+,B,C) Europe(Germany(Hamburg),Paris) Asia(Berlin+)", "SceneryAsia\\Berlin", "before");
        QTest::newRow("move level with subtree") << no << Germany << 6 << QStringList{"move|" + Asia} << ex("New(A+,B,C) Europe(Paris) Asia(Germany(Berlin+,Hamburg))", "LevelAsia\\Germany", "before");
        QTest::newRow("move level keeps hidden sceneries") << QStringList{"filter"} << Germany << 6 << QStringList{"move|" + Asia} << ex("New(A,B,C) Europe(Paris) Asia(Germany(Berlin,Hamburg))", "LevelAsia\\Germany", "before");
        QTest::newRow("move level to root") << no << Germany << 6 << QStringList{"move|root"} << ex("New(A+,B,C) Europe(Paris) Asia Germany(Berlin+,Hamburg)", "LevelGermany", "before");
        QTest::newRow("move onto itself refused") << no << Europe << 6 << QStringList{"move|" + Europe, cycle} << ex("", Europe, "before");
        QTest::newRow("move below itself refused") << no << Europe << 6 << QStringList{"move|" + Germany, cycle} << ex("", Europe, "before");
        QTest::newRow("move cancelled") << no << A << 6 << QStringList{"move|"} << ex("", A, "before");
        QTest::newRow("move, title in target refused") << QStringList{"scenery|A|LevelEurope"} << A << 6 << QStringList{"move|" + Europe, "m|Can not move|The level \"Europe\" already holds a scenery named \"A\"."} << ex("", A, "before");
        QTest::newRow("move, caption in target refused") << QStringList{"level|LevelAsia\\Germany|Germany"} << Germany << 6 << QStringList{"move|" + Asia, "m|Can not move|The level \"Asia\" already holds a level named \"Germany\"."} << ex("", Germany, "before");
        QTest::newRow("move, caption at root refused") << QStringList{"level|LevelGermany|Germany"} << Germany << 6 << QStringList{"move|root", "m|Can not move|The top level already holds a level named \"Germany\"."} << ex("", Germany, "before");
        QTest::newRow("New never moves to a level") << no << NewL << 6 << no << ex("", NewL, "before");

        QTest::newRow("drag scenery onto a level") << no << A << 0 << QStringList{"drag|" + Europe} << ex("New(B,C) Europe(Germany(Berlin+,Hamburg),Paris,A+) Asia", "SceneryEurope\\A", "A");
        QTest::newRow("drop on a scenery moves nothing") << no << A << 0 << QStringList{"drag|" + Paris} << ex("", A, "A");
        QTest::newRow("drop on empty space moves nothing") << no << A << 0 << QStringList{"drag|"} << ex("", A, "A");
        QTest::newRow("a level is not dragged") << no << Germany << 0 << QStringList{"drag|" + Asia} << ex("", Germany, "before");

        const QString remove = "q|Remove Scenery|Do you want to remove scenery ";
        QTest::newRow("remove selects next") << no << B << 8 << QStringList{remove + "B?|Yes"} << ex("New(A+,C) Europe(Germany(Berlin+,Hamburg),Paris) Asia removed " + B, C, Ready);
        QTest::newRow("remove last selects previous") << no << C << 8 << QStringList{remove + "C?|Yes"} << ex("New(A+,B) Europe(Germany(Berlin+,Hamburg),Paris) Asia removed " + C, B, Ready);
        QTest::newRow("remove last selects level above") << no << Paris << 8 << QStringList{remove + "Paris?|Yes"} << ex("New(A+,B,C) Europe(Germany(Berlin+,Hamburg)) Asia removed " + Paris, Germany, Ready);
        QTest::newRow("remove only child selects level") << QStringList{"scenery|Tokyo|LevelAsia"} << "SceneryAsia\\Tokyo" << 8 << QStringList{remove + "Tokyo?|Yes"} << ex(Base + " removed SceneryAsia\\Tokyo", Asia, Ready);
        QTest::newRow("remove answered No") << no << B << 8 << QStringList{remove + "B?|No"} << ex("", B, Ready);
        QTest::newRow("remove with a level selected") << no << Asia << 8 << no << ex("", Asia, "before");

        const QString title = "in|Rename Scenery|Insert the new name for the scenery: Paris|";
        QTest::newRow("title trimmed") << no << Paris << 10 << QStringList{title + " Lyon "} << ex("New(A+,B,C) Europe(Germany(Berlin+,Hamburg),Lyon) Asia", "SceneryEurope\\Lyon", Ready);
        QTest::newRow("title with backslash") << no << Paris << 10 << QStringList{title + "Ly\\on"} << ex("New(A+,B,C) Europe(Germany(Berlin+,Hamburg),Ly/on) Asia", "SceneryEurope\\Ly/on", Ready);
        QTest::newRow("title in the library refused") << no << Paris << 10 << QStringList{title + "Berlin", "m|Can not rename scenery.|There is already a scenery named \"Berlin\" in the library."} << ex("", Paris, Ready);
        QTest::newRow("title empty") << no << Paris << 10 << QStringList{title} << ex("", Paris, Ready);

        // Hits in the order the nodes were added: Germany, Asia, A, Paris, Hamburg.
        const QString search = "in|Search scenery or level|Insert a search string:|", next = "q|Found!|Find next?|", searching = "Search for scenery or level.";
        QTest::newRow("search, every hit") << no << Paris << 22 << QStringList{search + "a", next + "Yes", next + "Yes", next + "Yes", next + "Yes", next + "Yes"} << ex("", Paris, Ready);
        QTest::newRow("search stopped at a level") << no << Paris << 22 << QStringList{search + "a", next + "No"} << ex("", Germany, searching);
        QTest::newRow("search, add order") << no << Paris << 22 << QStringList{search + "a", next + "Yes", next + "Yes", next + "No"} << ex("", A, "A");
        QTest::newRow("search meets a moved level last") << QStringList{"do|43|" + Europe} << Paris << 22 << QStringList{search + "e", next + "Yes", next + "No"} << ex("", Germany, searching);
        QTest::newRow("search without hit") << no << Paris << 22 << QStringList{search + "zzz"} << ex("", Paris, Ready);
        QTest::newRow("search cancelled") << no << Paris << 22 << QStringList{search} << ex("", Paris, searching);

        QTest::newRow("top on first") << no << A << 42 << no << ex("", A, "before");
        QTest::newRow("up on first") << no << A << 43 << no << ex("", A, "before");
        QTest::newRow("down on last") << no << C << 44 << no << ex("", C, "before");
        QTest::newRow("bottom on last") << no << C << 45 << no << ex("", C, "before");
        QTest::newRow("top") << no << C << 42 << no << ex("New(C,A+,B) Europe(Germany(Berlin+,Hamburg),Paris) Asia", C, "before");
        QTest::newRow("up") << no << B << 43 << no << ex("New(B,A+,C) Europe(Germany(Berlin+,Hamburg),Paris) Asia", B, "before");
        QTest::newRow("down") << no << A << 44 << no << ex("New(B,A+,C) Europe(Germany(Berlin+,Hamburg),Paris) Asia", A, "before");
        QTest::newRow("bottom") << no << A << 45 << no << ex("New(B,C,A+) Europe(Germany(Berlin+,Hamburg),Paris) Asia", A, "before");
        QTest::newRow("level down keeps its subtree") << no << Germany << 44 << no << ex("New(A+,B,C) Europe(Paris,Germany(Berlin+,Hamburg)) Asia", Germany, "before");
        QTest::newRow("top-level level up") << no << Europe << 43 << no << ex("Europe(Germany(Berlin+,Hamburg),Paris) New(A+,B,C) Asia", Europe, "before");
    }

    void command()
    {
        QFETCH(QStringList, extra);
        QFETCH(QString, selected);
        QFETCH(int, row);
        QFETCH(QStringList, script);
        QFETCH(QString, expected);
        MainWindowFixture f;
        frmScenery &form = load(f, extra);
        const QString before = shape(form);
        const bool filtered = extra.contains("filter"), unique = !extra.contains("scenery|A|LevelEurope"); // that row holds two A
        if (filtered)
            form.chkFilter_Click(3, true);
        selected.isEmpty() ? form.trvScenery().setSelectedItem(nullptr) : f.select(selected);
        for (const QString &item : script) {
            const QStringList p = item.split('|');
            if (p[0] == "in")
                f.env.ui.expectInput(p[2], p[1], p[3]);
            else if (p[0] == "move")
                f.env.ui.expectForm<frmMoveTreeNode>("frmMoveTreeNode", [&f, target = p[1], level = selected.startsWith("Level")](frmMoveTreeNode &d) {
                    QVERIFY(d.cmdToRootVisible == level && d.sLevelKey.isEmpty() && !d.bRoot);
                    QCOMPARE(d.trvTree.count(), int(f.manager->dicLevel.count())); // the levels only
                    d.trvTree.setSelectedItem(d.trvTree.node(target.section(':', -1)));
                    target == "root" ? d.cmdToRoot_Click() : target.isEmpty() ? d.cmdCancel_Click() : target.startsWith("dbl:") ? d.trvTree_DblClick() : d.cmdOk_Click();
                });
            else if (p[0] != "drag")
                f.env.ui.expectMessageStartingWith(p[2], p[1], p.value(3) == "Yes" ? Answer::Yes : p.value(3) == "No" ? Answer::No : Answer::Ok);
        }
        form.status().Display("before");
        if (row) {
            form.runCommand(Start::Command(row));
        } else {
            const QString over = script[0].section('|', 1);
            form.trvScenery_MouseDown(f.node(selected));
            QCOMPARE(form.trvScenery_MouseMove(true), selected.startsWith("Scenery"));
            form.trvScenery_DragOver(f.node(over));
            QCOMPARE(form.organiser().dropHighlightKey(), over.startsWith("Level") ? over : QString());
            form.trvScenery_DragDrop();
            QVERIFY(!form.organiser().dragging() && form.organiser().dropHighlightKey().isEmpty());
        }
        QVERIFY(f.env.ui.allShown());
        const QString status = form.status().stbStatus().panels[0], after = form.trvScenery().selectedItem() ? form.trvScenery().selectedItem()->key() : QString();
        if (filtered)
            form.chkFilter_Click(3, false);
        QCOMPARE(shape(form) + '|' + after + '|' + status, (expected.startsWith('|') ? before : QString()) + expected);
        for (const TreeNode *n = form.trvScenery().firstRoot(); n && !filtered; n = n->nextInWalk())
            QVERIFY2((n->backColor() == Marked) == n->checked(), qPrintable(n->key())); // the colour travels with the box
        const QString fault = organiseFault(form, unique) + restartFault(form, f.env.context);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    void moveToPage()
    {
        MainWindowFixture f;
        frmScenery &form = load(f);
        form.tbsScenery_Click(DetailsPanel::TabMoveTo);
        Tree &moveTo = form.organiser().trvMoveTo();
        QCOMPARE(moveTo.count(), 4);
        // A level added while the page shows appears on it at once.
        f.env.ui.expectInput("Enter name for the new level:", "New Level", "Oceania");
        form.mnuLevelAdd_Click();
        QVERIFY(moveTo.node("LevelOceania"));
        moveTo.setSelectedItem(moveTo.node(Germany));
        const bool expanded = moveTo.node(Germany)->expanded();
        form.trvMoveTo_DblClick();
        QCOMPARE(moveTo.node(Germany)->expanded(), !expanded);
        form.trvScenery_MouseDown(f.node(A));
        QVERIFY(form.trvScenery_MouseMove(true));
        form.trvMoveTo_DragOver(moveTo.node(Asia));
        QCOMPARE(form.organiser().moveToDropHighlightKey(), Asia);
        form.trvMoveTo_DragDrop();
        QVERIFY(!form.organiser().dragging() && form.organiser().moveToDropHighlightKey().isEmpty());
        QCOMPARE(shape(form), "New(B,C) Europe(Germany(Berlin+,Hamburg),Paris) Asia(A+) Oceania");
        // The first remaining scenery of "New" is selected and shown.
        QVERIFY(form.trvScenery().selectedItem() == f.node(B) && form.details().displayedScenery()->Key == B);
        QCOMPARE(organiseFault(form), QString());
    }

    void undoRemove()
    {
        MainWindowFixture f;
        frmScenery &form = load(f);
        // Runs one command on a node; undo ticks the titles in tick ("" cancels) and checks what it offers.
        auto run = [&](int row, const QString &key, const QString &offered = {}, const QString &tick = {}, const QString &then = {}) {
            f.select(key);
            if (row == 8)
                f.env.ui.expectMessageStartingWith("Do you want to remove scenery", "Remove Scenery", Answer::Yes);
            else
                f.env.ui.expectForm<frmUndoRemove>("frmUndoRemove", [=](frmUndoRemove &d) {
                    QStringList titles;
                    for (TreeNode *n = d.trvRemoved.firstRoot(); n; n = n->next())
                        titles << n->text() + (n->checked() ? "+" : ""), n->setChecked(tick.contains(n->text()));
                    QCOMPARE(titles.join(","), offered);
                    tick.isEmpty() ? d.cmdCancel_Click() : d.cmdOk_Click();
                });
            if (!then.isEmpty())
                f.env.ui.expectMessageStartingWith(then, "Undo remove Scenery");
            form.runCommand(Start::Command(row));
            QVERIFY(f.env.ui.allShown());
        };
        run(8, Berlin);
        run(8, A);
        run(9, B, "Berlin,A");
        run(9, B, "Berlin,A", "Berlin");
        const QString restored = "SceneryNew\\Berlin";
        QCOMPARE(shape(form), "New(B,C,Berlin) Europe(Germany(Hamburg),Paris) Asia removed " + A);
        QVERIFY(!f.manager->colScenery.item(restored)->Active && f.node(restored)->backColor() == rgb(240, 240, 0) && f.node(restored)->foreColor() == rgb(255, 100, 100));
        run(8, restored); // removed again: one entry per key, restored once
        // A title taken meanwhile keeps its scenery in the list, record unchanged.
        f.select(C);
        f.env.ui.expectInput("Insert the new name for the scenery: C", "Rename Scenery", "A");
        form.mnuSceneryRename_Click();
        run(9, B, "A,Berlin", "A,Berlin", "The library already holds a scenery of the same title");
        QCOMPARE(shape(form) + (form.organiser().removedList().item(A)->Active ? " active" : ""), "New(B,A,Berlin) Europe(Germany(Hamburg),Paris) Asia removed " + A + " active");
        QCOMPARE(organiseFault(form), QString());
        form.libraryTree().UndisplayAllTree(); // the rebuild gives the ordinary colours
        QCOMPARE(f.node(restored)->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
    }

    void moveOnDisk_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("chosen"); // the folder chosen; "" cancel, "-" no chooser
        QTest::addColumn<QString>("moved");  // the new local path: the files' new folder, or "=" and the path when nothing moves; "" unchanged
        QTest::addColumn<QString>("refusal");
        const QString paris = "C:\\FS2002\\Addon Scenery\\Paris";
        QTest::newRow("scenery ending moves the folder above")
            << "Addon Scenery\\Paris\\scenery" << "C:\\Target" << "C:\\Target\\" << "";
        QTest::newRow("missing folders created")
            << paris << "C:\\New Place\\Deep" << "C:\\New Place\\Deep\\" << "";
        QTest::newRow("own folder moves nothing") << paris << paris << "=" + paris + "\\" << "";
        QTest::newRow("own Scenery folder moves nothing")
            << "Addon Scenery\\Paris\\Scenery" << paris + "\\Scenery" << "=" + paris + "\\Scenery\\" << "";
        QTest::newRow("inside own folder refused")
            << paris << paris + "\\texture" << "" << "The destination folder lies inside";
        QTest::newRow("cancel") << paris << "" << "" << "";
        QTest::newRow("chosen with its backslash") << paris << "C:\\Target\\" << "C:\\Target\\" << "";
        QTest::newRow("the simulator folder refused")
            << "Scenery" << "C:\\Target" << "" << "The folder C:\\FS2002 holds the simulator";
        QTest::newRow("no local path") << "" << "-" << "" << "You can not move a scenery from a readonly device.";
    }

    void moveOnDisk()
    {
        QFETCH(QString, local);
        QFETCH(QString, chosen);
        QFETCH(QString, moved);
        QFETCH(QString, refusal);
        MainWindowFixture f;
        const QString key = f.addScenery({.title = "Mover", .local = local}), base = "C:\\FS2002\\Addon Scenery\\Paris\\";
        for (const char *file : {"scenery\\p.bgl", "texture\\p.bmp", "readme.txt"})
            f.env.writeFile(base + file, "x");
        frmScenery &form = load(f);
        f.select(key);
        if (chosen != "-")
            f.env.ui.expectFolder(chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen),
                                  "Select destination folder");
        if (!refusal.isEmpty())
            f.env.ui.expectMessageStartingWith(refusal, "Scenery Move.");
        form.runCommand(Start::Command(11));
        QVERIFY(f.env.ui.allShown() && !f.env.ui.busy());
        const QString path = moved.isEmpty() ? local : moved.mid(moved.startsWith('=')); // also shown in the details panel
        QCOMPARE(form.status().stbStatus().panels[0] + '|' + f.manager->colScenery.item(key)->LocalPath + '|' + form.details().fields().txtLocal, Ready + '|' + path + '|' + path);
        const QString at = moved.isEmpty() || moved.startsWith('=') ? base : moved;
        QVERIFY(f.env.fs.fileExists(at + "scenery\\p.bgl") && f.env.fs.fileExists(at + "texture\\p.bmp") && f.env.fs.fileExists(at + "readme.txt"));
        QVERIFY(f.env.fs.folderExists(base + "texture") && (at == base || !f.env.fs.fileExists(base + "readme.txt"))); // source folders stay, empty
    }

    // Every re-key is planned and checked once, for the whole subtree: refused, it changes nothing.
    void refusedRenameChangesNothing()
    {
        MainWindowFixture f;
        f.addLevel(NewL, "New");
        f.addLevel(Europe, "Europe");
        f.addScenery({.title = "Twin", .level = Europe, .key = "SceneryEurope\\One"});
        f.addScenery({.title = "Twin", .level = Europe, .key = "SceneryEurope\\Two"});
        frmScenery &form = f.load();
        const QStringList sceneries = f.manager->colScenery.keys(), levels = f.manager->dicLevel.keys();
        const QString tree = nodeKeys(form);
        f.select(Europe);
        f.env.ui.expectInput("Insert the new caption for the level: Europe", "Rename Level", "Asia");
        f.env.ui.expectMessage("The new caption would give two entries the key \"SceneryAsia\\Twin\".",
                               "Can not rename level.");
        form.runCommand(Start::Command(3));
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->colScenery.keys(), sceneries);
        QCOMPARE(f.manager->dicLevel.keys(), levels);
        QCOMPARE(nodeKeys(form), tree);
        QCOMPARE(f.node(Europe)->text(), "Europe");
    }

    // A scenery that leaves its level hands its place to what followed it there, also to a
    // follower the filter hides: once the filter is off, that one stands where the moved one stood.
    void hiddenFollowerTakesTheMovedPlace()
    {
        MainWindowFixture f;
        f.addLevel(NewL, "New");
        f.addLevel(Europe, "Europe");
        const QString z = f.addScenery({.title = "Z"});
        const QString a = f.addScenery({.title = "A", .previousKey = z});
        const QString h = f.addScenery({.title = "H", .flySim = 8, .previousKey = a}); // FS2K2 only
        f.addScenery({.title = "B", .previousKey = h});
        frmScenery &form = f.load();
        form.chkFilter_Click(2, true); // FS2K: H is hidden
        QVERIFY(!f.node(h));
        f.select(a);
        f.env.ui.expectForm<frmMoveTreeNode>("frmMoveTreeNode", [](frmMoveTreeNode &d) {
            d.trvTree.setSelectedItem(d.trvTree.node("LevelEurope"));
            d.cmdOk_Click();
        });
        form.runCommand(Start::Command(6));
        QCOMPARE(f.manager->colScenery.item(h)->PreviousKey, z);
        form.chkFilter_Click(2, false);
        QCOMPARE(shape(f.node(NewL)->firstChild(), ","), "Z,H,B");
        QCOMPARE(shape(f.node(Europe)->firstChild(), ","), "A");
    }

    // Sets hold titles: a renamed scenery stays in every set, in its place, and the simulator's
    // Scenery.cfg, which still names the old title, finds it again by its folder at the next start.
    void renamedSceneryKeepsItsSets()
    {
        MainWindowFixture f;
        f.addLevel(NewL, "New");
        f.addScenery({.title = "Before", .local = "Addon Scenery\\Alps"});
        f.addScenery({.title = "Other", .local = "Addon Scenery\\Other"});
        f.addSet("Europe", 1, {"Other", "Before", "Third"});
        f.addSet("Winter", 0, {"Before"});
        f.addCfgArea("Before", "Addon Scenery\\Alps");
        frmScenery &form = f.load();
        f.select("SceneryNew\\Before");
        f.env.ui.expectInput("Insert the new name for the scenery: Before", "Rename Scenery", "After");
        form.runCommand(Start::Command(10));
        QCOMPARE(f.members("Europe"), QStringList({"Other", "After", "Third"}));
        QCOMPARE(f.members("Winter"), QStringList{"After"});
        QCOMPARE(f.members("(Current)"), QStringList{"After"});

        f.env.ui.expectMessage("Do you want to save the changes to the database?", "Update Database",
                               Answer::Yes);
        form.Form_Unload();
        f.create();
        f.form->Form_Load();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->colScenery.count(), 2);
        QVERIFY(f.manager->colScenery.contains("SceneryNew\\After"));
        QCOMPARE(f.members("(Current)"), QStringList{"After"});
        QCOMPARE(f.members("Europe"), QStringList({"Other", "After", "Third"}));
    }

    // Random commands on random nodes with random answers; after each the invariants hold, and every
    // 100 steps a rebuild, a save and a restart show the same tree.
    void randomSequence()
    {
        QRandomGenerator rng(20240611);
        MainWindowFixture f;
        // Up to 40 levels in nested layers, with the captions the answers use, and 200 sceneries.
        QStringList levels{NewL};
        f.addLevel(NewL, "New");
        for (int i = 0; i < 40; ++i) {
            const QString caption = QStringList{"Alpha", "Beta", "alpha", "Gamma"}[rng.bounded(4)], parent = i < 4 ? QString() : levels[1 + rng.bounded(int(levels.size()) - 1)];
            const QString key = parent.isEmpty() ? "Level" + caption : parent + '\\' + caption;
            if (!levels.contains(key))
                f.addLevel(key, caption), levels << key;
        }
        QHash<QString, QString> last;
        for (int i = 0; i < 200; ++i) {
            const QString level = levels[rng.bounded(int(levels.size()))];
            last.insert(level, f.addScenery({.title = QString("S%1").arg(i, 3, 10, QLatin1Char('0')), .level = level, .previousKey = last.value(level)}));
        }
        f.writeFiles(1);
        RandomUi ui(rng);
        AppContext context{f.env.fs, *f.env.settings, ui, f.env.program};
        f.manager = std::make_unique<SceneryManager>(context);
        frmScenery &form = *(f.form = std::make_unique<frmScenery>(context, *f.manager));
        form.Form_Load();
        const int rows[] = {1, 2, 3, 4, 5, 6, 8, 9, 10, 42, 43, 44, 45, 0};
        for (int step = 1; step <= 300; ++step) {
            std::vector<TreeNode *> nodes;
            for (TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk())
                nodes.push_back(n);
            TreeNode *node = rng.bounded(20) ? nodes[rng.bounded(quint32(nodes.size()))] : nullptr;
            form.trvScenery().setSelectedItem(node);
            form.trvScenery_NodeClick(node);
            const int row = rows[rng.bounded(quint32(std::size(rows)))];
            if (row) {
                form.runCommand(Start::Command(row));
            } else { // drag the node onto any node
                form.trvScenery_MouseDown(node);
                form.trvScenery_MouseMove(true);
                form.trvScenery_DragOver(nodes[rng.bounded(quint32(nodes.size()))]);
                form.trvScenery_DragDrop();
            }
            const QString fault = organiseFault(form) + (step % 100 ? QString() : restartFault(form, context));
            QVERIFY2(fault.isEmpty(), qPrintable(QString("step %1, row %2: %3").arg(step).arg(row).arg(fault)));
        }
        QVERIFY(form.organiser().removedList().count() > 0 && f.manager->dicLevel.count() > 0);
    }
};

QTEST_GUILESS_MAIN(TestOrganise)
#include "tst_organise.moc"
