// The test tables read better with plain literals.
#undef QT_NO_CAST_FROM_ASCII
#undef QT_NO_CAST_TO_ASCII

#include "organise_invariants.h"
#include "tst_frmscenery_fixture.h"

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"

#include <QRandomGenerator>
#include <QTest>

using Fixture = MainWindowFixture;
using Answer = UiPort::Answer;

namespace {
const QString Ready = "Ready.";
const QString NewL = "LevelNew", Europe = "LevelEurope", Germany = "LevelEurope\\Germany", Asia = "LevelAsia";
const QString A = "SceneryNew\\A", B = "SceneryNew\\B", C = "SceneryNew\\C", Paris = "SceneryEurope\\Paris";
const QString Berlin = "SceneryEurope\\Germany\\Berlin", Hamburg = "SceneryEurope\\Germany\\Hamburg";

// New: A B C; Europe: Germany (Berlin, Hamburg only for FS98), Paris; Asia. extra: "level|key|caption"
// or "scenery|title|levelKey[|flySim]".
frmScenery &load(Fixture &f, const QStringList &extra = {})
{
    f.addLevel(NewL, "New");
    f.addLevel(Europe, "Europe");
    f.addLevel(Germany, "Germany");
    f.addLevel(Asia, "Asia");
    auto add = [&](const QString &title, const QString &level, const QString &previous, qint16 flySim = 0) {
        Fixture::Scenery s;
        s.title = title;
        s.level = level;
        s.previousKey = previous;
        s.flySim = flySim;
        return f.addScenery(s);
    };
    add("C", NewL, add("B", NewL, add("A", NewL, {})));
    add("Hamburg", Germany, add("Berlin", Germany, {}), 2);
    add("Paris", Europe, Germany);
    for (const QString &line : extra) {
        const QStringList p = line.split('|');
        p[0] == "level" ? f.addLevel(p[1], p[2]) : void(add(p[1], p[2], {}, qint16(p.value(3).toInt())));
    }
    return f.load();
}

QStringList texts(const Fixture &f, const QString &key)
{
    QStringList result;
    for (const TreeNode *n = key.isEmpty() ? f.form->trvScenery().firstRoot() : f.node(key)->firstChild(); n; n = n->next())
        result << n->text();
    return result;
}

void selectNode(Fixture &f, const QString &key)
{
    key.isEmpty() ? f.form->trvScenery().setSelectedItem(nullptr) : f.select(key);
}

void pickLevel(frmMoveTreeNode &d, const QString &key)
{
    d.trvTree.setSelectedItem(d.trvTree.node(key));
    d.cmdOk_Click();
}
}

#define CHECK_INVARIANTS(f, ...)                                                                   \
    do {                                                                                           \
        const QString fault = organiseFault(*(f).form __VA_OPT__(, ) __VA_ARGS__);                 \
        QVERIFY2(fault.isEmpty(), qPrintable(fault));                                              \
    } while (false)

class TestOrganise : public QObject
{
    Q_OBJECT

private slots:
    void command_data();
    void command();
    void renameAfterLabelEdit();
    void innerMove_data();
    void innerMove();
    void innerMoveKeepsSubtree();
    void sortLevel_data();
    void sortLevel();
    void moveTo_data();
    void moveTo();
    void moveKeepsHiddenSceneries();
    void dragAndDrop_data();
    void dragAndDrop();
    void moveToPage();
    void undoRemove();
    void moveOnDisk_data();
    void moveOnDisk();
    void randomSequence();
};

// ---- Commands driven by prompts and questions ------------------------------------------------

void TestOrganise::command_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("row");
    // "in|title|prompt|answer", "q|title|text|Yes or No", "m|title|start of the text"
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("present");  // keys afterwards, "key@row" also checks the place
    QTest::addColumn<QStringList>("absent");   // both empty: the tree must not change
    QTest::addColumn<QString>("after");        // the selected node afterwards
    QTest::addColumn<QString>("status");
    const QStringList no;
    const QString add = "in|New Level|Enter name for the new level:|", same = "q|Same level or child?|Do you want to insert the new entry on the same level?|";
    const QString levelTaken = "m|Can not add level.|There is already a level named";
    QTest::newRow("add, nothing selected") << no << "" << 1 << QStringList{add + "Oceania"} << QStringList{"LevelOceania@3"} << no << "" << Ready;
    QTest::newRow("add below a scenery's level") << no << Berlin << 1 << QStringList{add + "Bavaria"} << QStringList{"LevelEurope\\Germany\\Bavaria@0"} << no << Berlin << Ready;
    QTest::newRow("add on the same level") << no << Germany << 1 << QStringList{add + "France", same + "Yes"} << QStringList{"LevelEurope\\France@0"} << no << Germany << Ready;
    QTest::newRow("add on the top level") << no << Asia << 1 << QStringList{add + "Africa", same + "Yes"} << QStringList{"LevelAfrica@0"} << no << Asia << Ready;
    QTest::newRow("add as child") << no << Europe << 1 << QStringList{add + "Italy", same + "No"} << QStringList{"LevelEurope\\Italy@0"} << no << Europe << Ready;
    QTest::newRow("add with backslash") << no << "" << 1 << QStringList{add + "A\\B"} << QStringList{"LevelA/B@3"} << no << "" << Ready;
    QTest::newRow("add, caption taken") << no << Europe << 1 << QStringList{add + "Asia", same + "Yes", levelTaken} << no << no << Europe << Ready;
    QTest::newRow("add New at top") << no << "" << 1 << QStringList{add + "New", levelTaken} << no << no << "" << Ready;
    QTest::newRow("add, empty answer") << no << "" << 1 << QStringList{add} << no << no << "" << Ready;

    const QString subitems = "m|Can not remove level.|This Level contains subitems. Please remove them before.";
    QTest::newRow("remove empty level") << no << Asia << 2 << no << no << QStringList{Asia} << "" << Ready;
    QTest::newRow("remove level with children") << no << Europe << 2 << QStringList{subitems} << no << no << Europe << Ready;
    QTest::newRow("remove New") << no << NewL << 2 << no << no << no << NewL << "before";
    QTest::newRow("remove level holding hidden only") << QStringList{"scenery|Tokyo|LevelAsia|2"} << Asia << 2 << QStringList{subitems} << no << no << Asia << Ready;

    const QString caption = "in|Rename Level|Insert the new caption for the level: ";
    const QString renameTaken = "m|Can not rename level.|There is already a level named";
    QTest::newRow("caption, trimmed") << no << Germany << 3 << QStringList{caption + "Germany| Bavaria "} << QStringList{"LevelEurope\\Bavaria", "SceneryEurope\\Bavaria\\Berlin"} << QStringList{Germany, Berlin} << "LevelEurope\\Bavaria" << Ready;
    QTest::newRow("caption of a subtree") << no << Europe << 3 << QStringList{caption + "Europe|Euro\\pa"} << QStringList{"LevelEuro/pa\\Germany", "SceneryEuro/pa\\Germany\\Hamburg"} << QStringList{Europe} << "LevelEuro/pa" << Ready;
    QTest::newRow("caption of a sibling") << no << Europe << 3 << QStringList{caption + "Europe|Asia", renameTaken} << no << no << Europe << Ready;
    QTest::newRow("caption New at top") << no << Asia << 3 << QStringList{caption + "Asia|New", renameTaken} << no << no << Asia << Ready;
    QTest::newRow("caption of New") << no << NewL << 3 << no << no << no << NewL << Ready;
    QTest::newRow("caption empty") << no << Germany << 3 << QStringList{caption + "Germany|  "} << no << no << Germany << Ready;

    const QString remove = "q|Remove Scenery|Do you want to remove scenery ";
    QTest::newRow("remove selects next") << no << B << 8 << QStringList{remove + "B?|Yes"} << no << QStringList{B} << C << Ready;
    QTest::newRow("remove last selects previous") << no << C << 8 << QStringList{remove + "C?|Yes"} << no << QStringList{C} << B << Ready;
    QTest::newRow("remove selects level above") << no << Paris << 8 << QStringList{remove + "Paris?|Yes"} << no << QStringList{Paris} << Germany << Ready;
    QTest::newRow("remove only child") << QStringList{"scenery|Tokyo|LevelAsia"} << "SceneryAsia\\Tokyo" << 8 << QStringList{remove + "Tokyo?|Yes"} << no << QStringList{"SceneryAsia\\Tokyo"} << Asia << Ready;
    QTest::newRow("remove answered No") << no << B << 8 << QStringList{remove + "B?|No"} << no << no << B << Ready;
    QTest::newRow("remove with a level selected") << no << Asia << 8 << no << no << no << Asia << "before";

    const QString title = "in|Rename Scenery|Insert the new name for the scenery: Paris|";
    QTest::newRow("title") << no << Paris << 10 << QStringList{title + " Lyon "} << QStringList{"SceneryEurope\\Lyon"} << QStringList{Paris} << "SceneryEurope\\Lyon" << Ready;
    QTest::newRow("title with backslash") << no << Paris << 10 << QStringList{title + "Ly\\on"} << QStringList{"SceneryEurope\\Ly/on"} << QStringList{Paris} << "SceneryEurope\\Ly/on" << Ready;
    QTest::newRow("title in the library") << no << Paris << 10 << QStringList{title + "Berlin", "m|Can not rename scenery.|There is already a scenery named \"Berlin\" in the library."} << no << no << Paris << Ready;
    QTest::newRow("title empty") << no << Paris << 10 << QStringList{title} << no << no << Paris << Ready;

    const QString search = "in|Search scenery or level|Insert a search string:|", next = "q|Found!|Find next?|";
    const QString searching = "Search for scenery or level.";
    QTest::newRow("search, every hit") << no << Paris << 22 << QStringList{search + "a", next + "Yes", next + "Yes", next + "Yes", next + "Yes", next + "Yes"} << no << no << Paris << Ready;
    QTest::newRow("search stopped at a level") << no << Paris << 22 << QStringList{search + "a", next + "No"} << no << no << Germany << searching;
    QTest::newRow("search, add order") << no << Paris << 22 << QStringList{search + "a", next + "Yes", next + "Yes", next + "No"} << no << no << A << "A";
    QTest::newRow("search ignores case") << no << Paris << 22 << QStringList{search + "ERL", next + "Yes"} << no << no << Berlin << Ready;
    QTest::newRow("search without hit") << no << Paris << 22 << QStringList{search + "zzz"} << no << no << Paris << Ready;
    QTest::newRow("search cancelled") << no << Paris << 22 << QStringList{search} << no << no << Paris << searching;
}

void TestOrganise::command()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, selected);
    QFETCH(int, row);
    QFETCH(QStringList, script);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QString, after);
    QFETCH(QString, status);
    Fixture f;
    frmScenery &form = load(f, extra);
    const bool filtered = !extra.isEmpty() && extra[0].count('|') == 3;
    if (filtered)
        form.chkFilter_Click(3, true);
    selectNode(f, selected);
    const QStringList before = treeLines(form.trvScenery());
    for (const QString &item : script) {
        const QStringList p = item.split('|');
        if (p[0] == "in")
            f.env.ui.expectInput(p[2], p[1], p[3]);
        else
            f.env.ui.expectMessageStartingWith(p[2], p[1], p.value(3) == "Yes" ? Answer::Yes : p.value(3) == "No" ? Answer::No : Answer::Ok);
    }
    form.Display("before");
    form.runCommand(row);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], status);
    QCOMPARE(form.currentNode(), f.node(after));
    for (const QString &entry : present) {
        const TreeNode *n = f.node(entry.section('@', 0, 0));
        QVERIFY2(n, qPrintable(entry));
        if (entry.contains('@'))
            QCOMPARE(n->row(), entry.section('@', 1).toInt());
    }
    for (const QString &key : absent)
        QVERIFY2(!f.node(key) && !f.manager->colScenery.contains(key) && !f.manager->dicLevel.contains(key), qPrintable(key));
    if (present.isEmpty() && absent.isEmpty())
        QCOMPARE(treeLines(form.trvScenery()), before);
    if (row == 8 && !absent.isEmpty())
        QVERIFY(form.removedList().contains(absent[0]));
    if (filtered)
        form.chkFilter_Click(3, false);
    CHECK_INVARIANTS(f);
}

void TestOrganise::renameAfterLabelEdit()
{
    Fixture f;
    frmScenery &form = load(f);
    f.select(Germany);
    QVERIFY(form.trvScenery_AfterLabelEdit(f.node(Germany), "Bayern"));
    QVERIFY(f.node(Germany));  // a label edit keeps the keys
    f.env.ui.expectInput("Insert the new caption for the level: Bayern", "Rename Level", "Franken");
    form.mnuLevelRename_Click();
    // The key is built from the parent, so the caption of the label edit does not linger in it.
    QVERIFY(f.node("SceneryEurope\\Franken\\Berlin"));
    CHECK_INVARIANTS(f);
}

// ---- Moves -------------------------------------------------------------------------------------

void TestOrganise::innerMove_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("order");
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("top on first") << A << 42 << abc;
    QTest::newRow("up on first") << A << 43 << abc;
    QTest::newRow("down on last") << C << 44 << abc;
    QTest::newRow("bottom on last") << C << 45 << abc;
    QTest::newRow("top") << C << 42 << QStringList{"C", "A", "B"};
    QTest::newRow("up") << B << 43 << QStringList{"B", "A", "C"};
    QTest::newRow("down") << A << 44 << QStringList{"B", "A", "C"};
    QTest::newRow("bottom") << A << 45 << QStringList{"B", "C", "A"};
}

void TestOrganise::innerMove()
{
    QFETCH(QString, key);
    QFETCH(int, row);
    QFETCH(QStringList, order);
    Fixture f;
    frmScenery &form = load(f);
    f.select(key);
    f.node(key)->setChecked(true);
    f.node(key)->setForeColor(rgb(7, 7, 7));
    form.runCommand(row);
    QCOMPARE(texts(f, NewL), order);
    QCOMPARE(form.currentNode(), f.node(key));
    QVERIFY(f.node(key)->checked());
    QCOMPARE(f.node(key)->foreColor(), NodeColor(rgb(7, 7, 7)));
    QCOMPARE(f.node(key)->backColor(), NodeColor(LibraryTree::LocalBackColor));
}

void TestOrganise::innerMoveKeepsSubtree()
{
    Fixture f;
    frmScenery &form = load(f);
    f.node(Berlin)->setChecked(true);
    f.select(Europe);
    form.InnerMove(1);
    QCOMPARE(texts(f, ""), (QStringList{"Europe", "New", "Asia"}));
    QCOMPARE(texts(f, Germany), (QStringList{"Berlin", "Hamburg"}));
    QVERIFY(f.node(Berlin)->checked() && !f.node(Hamburg)->checked());
    // The moved level is a new node: a search meets it after every other node.
    const TreeNode *last = form.trvScenery().firstAdded();
    while (last->nextAdded())
        last = last->nextAdded();
    QCOMPARE(last, f.node(Europe));
    CHECK_INVARIANTS(f);
}

void TestOrganise::sortLevel_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("order");  // child keys; the level x and the scenery x tie
    const QString x = "LevelS\\x", sx = "SceneryS\\x", a = "SceneryS\\a", b = "SceneryS\\b", ua = "SceneryS\\A", ub = "SceneryS\\B";
    QTest::newRow("ascending") << 4 << QStringList{ua, ub, a, b, x, sx};
    QTest::newRow("descending") << 5 << QStringList{x, sx, b, a, ub, ua};
}

void TestOrganise::sortLevel()
{
    QFETCH(int, row);
    QFETCH(QStringList, order);
    Fixture f;
    f.addLevel("LevelS", "S");
    f.addLevel("LevelS\\x", "x");
    QString previous = "LevelS\\x";
    for (const char *title : {"b", "A", "x", "a", "B"}) {
        Fixture::Scenery s;
        s.title = title;
        s.level = "LevelS";
        s.previousKey = previous;
        previous = f.addScenery(s);
    }
    f.addScenery("inner", "LevelS\\x");
    frmScenery &form = f.load();
    f.node("SceneryS\\x\\inner")->setChecked(true);
    f.node("SceneryS\\A")->setBackColor(rgb(9, 9, 9));
    f.select("LevelS");
    form.runCommand(row);
    QStringList keys;
    for (const TreeNode *n = f.node("LevelS")->firstChild(); n; n = n->next())
        keys << n->key();
    QCOMPARE(keys, order);
    QVERIFY(f.node("SceneryS\\x\\inner")->checked());
    QCOMPARE(f.node("SceneryS\\A")->backColor(), NodeColor(rgb(9, 9, 9)));
    CHECK_INVARIANTS(f);
    const QString fault = restartFault(form, f.env.context);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestOrganise::moveTo_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("action");  // a level key, "dbl:" + key, "root" or "" (cancel)
    QTest::addColumn<QString>("newKey");  // "" when nothing may change
    QTest::addColumn<QString>("refusal");
    const QStringList no;
    const QString cycle = "A level can not be moved into itself or into one of the levels below it.";
    QTest::newRow("scenery to level") << no << A << Europe << "SceneryEurope\\A" << "";
    QTest::newRow("double click") << no << Berlin << "dbl:" + Asia << "SceneryAsia\\Berlin" << "";
    QTest::newRow("level with subtree") << no << Germany << Asia << "LevelAsia\\Germany" << "";
    QTest::newRow("level to root") << no << Germany << "root" << "LevelGermany" << "";
    QTest::newRow("onto itself") << no << Europe << Europe << "" << cycle;
    QTest::newRow("below itself") << no << Europe << Germany << "" << cycle;
    QTest::newRow("cancel") << no << A << "" << "" << "";
    QTest::newRow("title in target") << QStringList{"scenery|A|LevelEurope"} << A << Europe << "" << "The level \"Europe\" already holds a scenery named \"A\".";
    QTest::newRow("caption in target") << QStringList{"level|LevelAsia\\Germany|Germany"} << Germany << Asia << "" << "The level \"Asia\" already holds a level named \"Germany\".";
    QTest::newRow("caption at root") << QStringList{"level|LevelGermany|Germany"} << Germany << "root" << "" << "The top level already holds a level named \"Germany\".";
}

void TestOrganise::moveTo()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, selected);
    QFETCH(QString, action);
    QFETCH(QString, newKey);
    QFETCH(QString, refusal);
    Fixture f;
    frmScenery &form = load(f, extra);
    f.select(selected);
    const QStringList before = treeLines(form.trvScenery());
    const QStringList sceneries = f.manager->colScenery.keys();
    const bool level = selected.startsWith("Level");
    f.env.ui.expectForm<frmMoveTreeNode>("frmMoveTreeNode", [&](frmMoveTreeNode &d) {
        QCOMPARE(d.cmdToRootVisible, level);
        QVERIFY(d.sLevelKey.isEmpty() && !d.bRoot);
        QCOMPARE(d.trvTree.count(), int(f.manager->dicLevel.count()));  // the levels only
        if (action == "root")
            d.cmdToRoot_Click();
        else if (action.isEmpty())
            d.cmdCancel_Click();
        else if (action.startsWith("dbl:"))
            d.trvTree.setSelectedItem(d.trvTree.node(action.mid(4))), d.trvTree_DblClick();
        else
            pickLevel(d, action);
    });
    if (!refusal.isEmpty())
        f.env.ui.expectMessage(refusal, "Can not move");
    level ? form.mnuLevelMoveToLevel_Click() : form.mnuSceneryMoveToLevel_Click();
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    if (newKey.isEmpty()) {
        QCOMPARE(treeLines(form.trvScenery()), before);
        QCOMPARE(f.manager->colScenery.keys(), sceneries);
    } else {
        QCOMPARE(form.currentNode(), f.node(newKey));
        QVERIFY(!f.node(newKey)->next());  // last in its new level
    }
    CHECK_INVARIANTS(f, extra.isEmpty());
    // The default level never moves to another level: no dialog opens.
    f.select(NewL);
    form.runCommand(6);
    QVERIFY(f.env.ui.allShown());
}

void TestOrganise::moveKeepsHiddenSceneries()
{
    Fixture f;
    frmScenery &form = load(f);
    form.chkFilter_Click(3, true);  // Hamburg (FS98 only) is hidden
    f.select(Germany);
    f.env.ui.expectForm<frmMoveTreeNode>("frmMoveTreeNode", [](frmMoveTreeNode &d) { pickLevel(d, Asia); });
    form.MoveTo();
    QVERIFY(f.manager->colScenery.contains("SceneryAsia\\Germany\\Hamburg"));
    form.chkFilter_Click(3, false);
    QCOMPARE(texts(f, "LevelAsia\\Germany"), (QStringList{"Berlin", "Hamburg"}));
    CHECK_INVARIANTS(f);
}

void TestOrganise::dragAndDrop_data()
{
    QTest::addColumn<QString>("drag");
    QTest::addColumn<QString>("over");    // "" empty space
    QTest::addColumn<QString>("newKey");  // "" nothing moves
    QTest::newRow("scenery onto level") << A << Europe << "SceneryEurope\\A";
    QTest::newRow("onto nested level") << Paris << Germany << "SceneryEurope\\Germany\\Paris";
    QTest::newRow("onto a scenery") << A << Paris << "";
    QTest::newRow("onto empty space") << A << "" << "";
    QTest::newRow("a level is not dragged") << Germany << Asia << "";
}

void TestOrganise::dragAndDrop()
{
    QFETCH(QString, drag);
    QFETCH(QString, over);
    QFETCH(QString, newKey);
    Fixture f;
    frmScenery &form = load(f);
    const QStringList before = treeLines(form.trvScenery());
    form.trvScenery_MouseDown(f.node(drag));
    QCOMPARE(form.trvScenery_MouseMove(true), drag.startsWith("Scenery"));
    form.trvScenery_DragOver(f.node(over));
    QCOMPARE(form.dropHighlightKey(), over.startsWith("Level") ? over : QString());
    form.trvScenery_DragDrop();
    QVERIFY(!form.dragging() && form.dropHighlightKey().isEmpty());
    if (newKey.isEmpty())
        QCOMPARE(treeLines(form.trvScenery()), before);
    else
        QCOMPARE(f.node(newKey)->parent(), f.node(over));
    CHECK_INVARIANTS(f);
}

void TestOrganise::moveToPage()
{
    Fixture f;
    frmScenery &form = load(f);
    form.tbsScenery_Click(frmScenery::TabMoveTo);
    Tree &moveTo = form.trvMoveTo();
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
    QCOMPARE(form.moveToDropHighlightKey(), Asia);
    form.trvMoveTo_DragDrop();
    QVERIFY(!form.dragging() && form.moveToDropHighlightKey().isEmpty());
    QCOMPARE(f.node("SceneryAsia\\A")->parent(), f.node(Asia));
    // The first remaining scenery of "New" is selected and shown.
    QCOMPARE(form.currentNode(), f.node(B));
    QCOMPARE(form.displayedScenery()->Key, B);
    CHECK_INVARIANTS(f);
}

// ---- Undo remove and move on disk --------------------------------------------------------------

void TestOrganise::undoRemove()
{
    Fixture f;
    frmScenery &form = load(f);
    auto remove = [&](const QString &key) {
        f.select(key);
        f.env.ui.expectMessageStartingWith("Do you want to remove scenery", "Remove Scenery", Answer::Yes);
        form.runCommand(8);
    };
    // tick: the titles to restore; none cancels.
    auto undo = [&](const QStringList &listed, const QStringList &tick, bool kept = false) {
        f.env.ui.expectForm<frmUndoRemove>("frmUndoRemove", [=](frmUndoRemove &d) {
            QStringList titles;
            for (TreeNode *n = d.trvRemoved.firstRoot(); n; n = n->next()) {
                titles << n->text();
                n->setChecked(tick.contains(n->text()));
            }
            QCOMPARE(titles, listed);
            tick.isEmpty() ? d.cmdCancel_Click() : d.cmdOk_Click();
        });
        if (kept)
            f.env.ui.expectMessageStartingWith("The library already holds a scenery of the same title", "Undo remove Scenery");
        form.runCommand(9);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.stbStatus().panels[0], Ready);
    };
    remove(Berlin);
    remove(A);
    undo({"Berlin", "A"}, {});
    undo({"Berlin", "A"}, {"Berlin"});
    const QString restored = "SceneryNew\\Berlin";
    QCOMPARE(texts(f, NewL), (QStringList{"B", "C", "Berlin"}));
    QVERIFY(!f.manager->colScenery.item(restored)->Active);
    QCOMPARE(f.node(restored)->backColor(), NodeColor(rgb(240, 240, 0)));
    QCOMPARE(f.node(restored)->foreColor(), NodeColor(rgb(255, 100, 100)));
    // Removed again: one entry per key, restored once.
    remove(restored);
    QCOMPARE(form.removedList().keys(), (QStringList{A, restored}));
    // A title taken meanwhile keeps its scenery in the list, record unchanged.
    f.select(C);
    f.env.ui.expectInput("Insert the new name for the scenery: C", "Rename Scenery", "A");
    form.mnuSceneryRename_Click();
    undo({"A", "Berlin"}, {"A", "Berlin"}, true);
    QCOMPARE(form.removedList().keys(), QStringList{A});
    QVERIFY(form.removedList().item(A)->Active);
    QCOMPARE(texts(f, NewL), (QStringList{"B", "A", "Berlin"}));
    CHECK_INVARIANTS(f);
    form.libraryTree().UndisplayAllTree();  // the rebuild gives the ordinary colours
    QCOMPARE(f.node(restored)->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
}

void TestOrganise::moveOnDisk_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("chosen");    // "" cancel, "-" no chooser
    QTest::addColumn<QString>("newLocal");  // "" unchanged
    QTest::addColumn<QString>("movedTo");   // where the files land, "" nowhere
    QTest::addColumn<QString>("refusal");
    const QString paris = "C:\\FS2002\\Addon Scenery\\Paris";
    QTest::newRow("scenery ending") << "Addon Scenery\\Paris\\scenery" << "C:\\Target\\Folder" << "C:\\Target\\" << "C:\\Target" << "";
    QTest::newRow("new folders") << paris << "C:\\New Place\\Deep\\Folder" << "C:\\New Place\\Deep\\" << "C:\\New Place\\Deep" << "";
    QTest::newRow("own folder") << paris << paris + "\\Folder" << paris + "\\" << "" << "";
    QTest::newRow("own scenery folder") << "Addon Scenery\\Paris\\Scenery" << paris + "\\Scenery\\Folder" << paris + "\\Scenery\\" << "" << "";
    QTest::newRow("inside own folder") << paris << paris + "\\texture\\Folder" << "" << "" << "The destination folder lies inside";
    QTest::newRow("cancel") << paris << "" << "" << "" << "";
    QTest::newRow("bare name") << paris << "Folder" << "" << "" << "";
    QTest::newRow("the simulator folder") << "Scenery" << "C:\\Target\\Folder" << "" << "" << "The folder C:\\FS2002 holds the simulator";
    QTest::newRow("no local path") << "" << "-" << "" << "" << "You can not move a scenery from a readonly device.";
}

void TestOrganise::moveOnDisk()
{
    QFETCH(QString, local);
    QFETCH(QString, chosen);
    QFETCH(QString, newLocal);
    QFETCH(QString, movedTo);
    QFETCH(QString, refusal);
    Fixture f;
    Fixture::Scenery s;
    s.title = "Mover";
    s.local = local;
    const QString key = f.addScenery(s);
    const QString base = "C:\\FS2002\\Addon Scenery\\Paris";
    const QStringList files{"scenery\\p.bgl", "texture\\p.bmp", "readme.txt"};
    for (const QString &file : files)
        f.env.writeFile(base + '\\' + file, "x");
    frmScenery &form = load(f);
    f.select(key);
    if (chosen != "-")
        f.env.ui.expectFile(chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen), "Select destination folder");
    if (!refusal.isEmpty())
        f.env.ui.expectMessageStartingWith(refusal, "Scenery Move.");
    form.runCommand(11);
    QVERIFY(f.env.ui.allShown());
    QVERIFY(!f.env.ui.busy());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    QCOMPARE(f.manager->colScenery.item(key)->LocalPath, newLocal.isEmpty() ? local : newLocal);
    QCOMPARE(form.details().txtLocal, f.manager->colScenery.item(key)->LocalPath);
    for (const QString &file : files) {
        QCOMPARE(f.env.fs.fileExists(base + '\\' + file), movedTo.isEmpty());
        QCOMPARE(f.env.fs.fileExists(movedTo + '\\' + file), !movedTo.isEmpty());
    }
    QVERIFY(f.env.fs.folderExists(base + "\\texture"));  // source folders stay, empty
}

// ---- Random sequence ---------------------------------------------------------------------------

namespace {
// Answers every dialog at random: the random sequence checks what holds, not which way it went.
class RandomUi : public UiPort
{
public:
    explicit RandomUi(QRandomGenerator &rng) : m_rng(rng) {}
    Answer message(const QString &, const QString &, Buttons, Icon) override { return m_rng.bounded(4) ? Answer::Yes : Answer::No; }
    QString input(const QString &, const QString &, const QString &) override
    {
        static const QStringList names{"Alpha", "Beta", "alpha", "New", "S007", "S123", "Gamma\\Delta"};
        return names[int(m_rng.bounded(quint32(names.size())))];
    }
    std::optional<QString> chooseFile(const FileChooser &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void showModal(FormLogic &form) override
    {
        if (auto *move = dynamic_cast<frmMoveTreeNode *>(&form)) {
            const int n = move->trvTree.count();
            TreeNode *target = move->trvTree.firstRoot();
            for (int i = int(m_rng.bounded(quint32(n))); target && i > 0; --i)
                target = target->nextInWalk();
            move->trvTree.setSelectedItem(target);
            m_rng.bounded(5) == 0 ? move->cmdToRoot_Click() : move->cmdOk_Click();
        } else if (auto *undo = dynamic_cast<frmUndoRemove *>(&form)) {
            for (TreeNode *n = undo->trvRemoved.firstRoot(); n; n = n->next())
                n->setChecked(m_rng.bounded(2));
            undo->cmdOk_Click();
        }
    }
    void setBusy(bool) override {}
    void processEvents() override {}

private:
    QRandomGenerator &m_rng;
};
}

void TestOrganise::randomSequence()
{
    QRandomGenerator rng(20240611);
    Fixture f;
    // Up to 40 levels in nested layers, with the captions the answers use, and 200 sceneries.
    QStringList levels{NewL};
    f.addLevel(NewL, "New");
    for (int i = 0; i < 40; ++i) {
        const QString caption = QStringList{"Alpha", "Beta", "alpha", "Gamma"}[int(rng.bounded(4))];
        const QString parent = i < 4 ? QString() : levels[1 + int(rng.bounded(quint32(levels.size() - 1)))];
        const QString key = parent.isEmpty() ? "Level" + caption : parent + '\\' + caption;
        if (levels.contains(key))
            continue;
        f.addLevel(key, caption);
        levels << key;
    }
    QHash<QString, QString> last;
    for (int i = 0; i < 200; ++i) {
        Fixture::Scenery s;
        s.title = QString("S%1").arg(i, 3, 10, QLatin1Char('0'));
        s.level = levels[int(rng.bounded(quint32(levels.size())))];
        s.previousKey = last.value(s.level);
        last.insert(s.level, f.addScenery(s));
    }
    f.writeFiles(1);
    RandomUi ui(rng);
    AppContext context{f.env.fs, *f.env.settings, ui, f.env.program};
    f.manager = std::make_unique<SceneryManager>(context);
    f.form = std::make_unique<frmScenery>(context, *f.manager);
    frmScenery &form = *f.form;
    form.Form_Load();
    const int rows[] = {1, 2, 3, 4, 5, 6, 8, 9, 10, 42, 43, 44, 45, 0};
    for (int step = 1; step <= 400; ++step) {
        std::vector<TreeNode *> nodes;
        for (TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk())
            nodes.push_back(n);
        TreeNode *node = rng.bounded(20) ? nodes[rng.bounded(quint32(nodes.size()))] : nullptr;
        form.trvScenery().setSelectedItem(node);
        form.trvScenery_NodeClick(node);
        const int row = rows[rng.bounded(quint32(std::size(rows)))];
        if (row) {
            form.runCommand(row);
        } else {  // drag the node onto any node
            form.trvScenery_MouseDown(node);
            form.trvScenery_MouseMove(true);
            form.trvScenery_DragOver(nodes[rng.bounded(quint32(nodes.size()))]);
            form.trvScenery_DragDrop();
        }
        const QString fault = organiseFault(form);
        QVERIFY2(fault.isEmpty(), qPrintable(QString("step %1, row %2: %3").arg(step).arg(row).arg(fault)));
        if (step % 100 == 0) {
            const QString restart = restartFault(form, context);
            QVERIFY2(restart.isEmpty(), qPrintable(QString("step %1: %2").arg(step).arg(restart)));
        }
    }
    QVERIFY(form.removedList().count() > 0 && f.manager->dicLevel.count() > 0);
}

QTEST_GUILESS_MAIN(TestOrganise)
#include "tst_organise.moc"
