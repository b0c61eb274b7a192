// The test tables read better with plain literals.
#undef QT_NO_CAST_FROM_ASCII
#undef QT_NO_CAST_TO_ASCII

#include "organise_invariants.h"
#include "tst_frmscenery_fixture.h"

#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"

#include <QTest>

using Fixture = MainWindowFixture;
using Answer = UiPort::Answer;

namespace {
const QString Ready = QStringLiteral("Ready.");
const QString NewL = QStringLiteral("LevelNew");
const QString Europe = QStringLiteral("LevelEurope");
const QString Germany = QStringLiteral("LevelEurope\\Germany");
const QString Asia = QStringLiteral("LevelAsia");
const QString A = QStringLiteral("SceneryNew\\A");
const QString B = QStringLiteral("SceneryNew\\B");
const QString C = QStringLiteral("SceneryNew\\C");
const QString Berlin = QStringLiteral("SceneryEurope\\Germany\\Berlin");
const QString Hamburg = QStringLiteral("SceneryEurope\\Germany\\Hamburg");
const QString Paris = QStringLiteral("SceneryEurope\\Paris");

// New: A B C; Europe: Germany (Berlin Hamburg), Paris; Asia (empty). Hamburg only for FS98 (2).
frmScenery &load(Fixture &f, const QStringList &extra = {})
{
    f.addLevel(NewL, QStringLiteral("New"));
    f.addLevel(Europe, QStringLiteral("Europe"));
    f.addLevel(Germany, QStringLiteral("Germany"));
    f.addLevel(Asia, QStringLiteral("Asia"));
    // Each after the one before it, as a saved library records them.
    QString previous;
    for (const char *title : {"A", "B", "C"}) {
        Fixture::Scenery s;
        s.title = QLatin1String(title);
        s.previousKey = previous;
        previous = f.addScenery(s);
    }
    f.addScenery(QStringLiteral("Berlin"), Germany);
    Fixture::Scenery hamburg;
    hamburg.title = QStringLiteral("Hamburg");
    hamburg.level = Germany;
    hamburg.flySim = 2;
    hamburg.previousKey = Berlin;
    f.addScenery(hamburg);
    Fixture::Scenery paris;
    paris.title = QStringLiteral("Paris");
    paris.level = Europe;
    paris.previousKey = Germany;
    f.addScenery(paris);
    for (const QString &line : extra) {
        // "level|key|caption" or "scenery|title|level[|flySim]"
        const QStringList parts = line.split(QLatin1Char('|'));
        if (parts[0] == QLatin1String("level"))
            f.addLevel(parts[1], parts[2]);
        else
            f.addScenery(parts[1], parts[2], qint16(parts.value(3).toInt()));
    }
    return f.load();
}

QStringList texts(const Fixture &f, const QString &key)
{
    QStringList result;
    const TreeNode *parent = f.node(key);
    for (const TreeNode *n = parent ? parent->firstChild() : f.form->trvScenery().firstRoot(); n; n = n->next())
        result << n->text();
    return result;
}

void selectNode(Fixture &f, const QString &key)
{
    if (key.isEmpty())
        f.form->trvScenery().setSelectedItem(nullptr);
    else
        f.select(key);
}

#define CHECK_INVARIANTS(f, ...)                                                                   \
    do {                                                                                           \
        const QString fault = organiseFault(*(f).form __VA_OPT__(,) __VA_ARGS__);                   \
        QVERIFY2(fault.isEmpty(), qPrintable(fault));                                              \
    } while (false)
}

class TestOrganise : public QObject
{
    Q_OBJECT

private slots:
    void innerMove_data();
    void innerMove();
    void innerMoveKeepsSubtreeMarksAndColours();
    void moveTo_data();
    void moveTo();
    void moveToOffersRootOnlyForLevels();
    void moveToRefusesNewSilently();
    void moveKeepsHiddenSceneriesWithTheirLevel();
    void dragAndDrop_data();
    void dragAndDrop();
    void moveToPage();

    void addLevel_data();
    void addLevel();
    void removeLevel_data();
    void removeLevel();
    void renameLevel_data();
    void renameLevel();
    void sortLevel_data();
    void sortLevel();

    void removeScenery_data();
    void removeScenery();
    void undoRemove();
    void undoRemoveKeepsTakenTitle();
    void renameScenery_data();
    void renameScenery();
    void moveOnDisk_data();
    void moveOnDisk();

    void search_data();
    void search();
    void commandRowsRunOrganisingCommands();
    void saveAndRestartKeepsOrganisedTree();
};

// ---- Moves ---------------------------------------------------------------------------------------

void TestOrganise::innerMove_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QStringList>("order");
    const QStringList abc{"A", "B", "C"};
    QTest::newRow("top on first") << A << 0 << abc;
    QTest::newRow("up on first") << A << 1 << abc;
    QTest::newRow("down on last") << C << 2 << abc;
    QTest::newRow("bottom on last") << C << 3 << abc;
    QTest::newRow("top") << C << 0 << QStringList{"C", "A", "B"};
    QTest::newRow("up") << B << 1 << QStringList{"B", "A", "C"};
    QTest::newRow("down") << A << 2 << QStringList{"B", "A", "C"};
    QTest::newRow("bottom") << A << 3 << QStringList{"B", "C", "A"};
    QTest::newRow("unknown direction") << A << 4 << abc;
}

void TestOrganise::innerMove()
{
    QFETCH(QString, key);
    QFETCH(int, direction);
    QFETCH(QStringList, order);
    Fixture f;
    frmScenery &form = load(f);
    f.node(key)->setChecked(true);
    f.select(key);
    f.node(key)->setForeColor(rgb(7, 7, 7));
    if (direction <= 3)
        form.runCommand(42 + direction);  // "Move top" .. "Move bottom"
    else
        form.InnerMove(direction);
    QCOMPARE(texts(f, NewL), order);
    TreeNode *moved = f.node(key);
    QCOMPARE(form.currentNode(), moved);
    QVERIFY(moved->checked());
    QCOMPARE(moved->backColor(), NodeColor(LibraryTree::LocalBackColor));
    QCOMPARE(moved->foreColor(), NodeColor(rgb(7, 7, 7)));
    CHECK_INVARIANTS(f);
}

void TestOrganise::innerMoveKeepsSubtreeMarksAndColours()
{
    Fixture f;
    frmScenery &form = load(f);
    f.node(Germany)->setChecked(true);
    f.node(Berlin)->setChecked(true);
    f.node(Berlin)->setBackColor(rgb(1, 2, 3));
    f.node(Europe)->setExpanded(true);
    const QStringList germany = texts(f, Germany);
    f.select(Europe);
    form.InnerMove(1);
    QCOMPARE(texts(f, QString()), (QStringList{"Europe", "New", "Asia"}));
    QCOMPARE(texts(f, Germany), germany);
    QVERIFY(f.node(Germany)->checked() && f.node(Berlin)->checked() && !f.node(Paris)->checked());
    QCOMPARE(f.node(Berlin)->backColor(), NodeColor(rgb(1, 2, 3)));
    QVERIFY(f.node(Europe)->expanded());
    // The moved level is a new node: a search meets it after every other node.
    const TreeNode *last = form.trvScenery().firstAdded();
    while (last->nextAdded())
        last = last->nextAdded();
    QCOMPARE(last, f.node(Europe));
    CHECK_INVARIANTS(f);
}

void TestOrganise::moveTo_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("action");  // a level key, "dbl:" + key, "root" or "" (cancel)
    QTest::addColumn<QString>("newKey");  // "" when nothing may change
    QTest::addColumn<QString>("message");
    const QStringList none;
    const QString cycle = QStringLiteral("A level can not be moved into itself or into one of the levels below it.");
    QTest::newRow("scenery to level") << none << A << Europe << "SceneryEurope\\A" << "";
    QTest::newRow("double click") << none << Berlin << "dbl:" + Asia << "SceneryAsia\\Berlin" << "";
    QTest::newRow("level with subtree") << none << Germany << Asia << "LevelAsia\\Germany" << "";
    QTest::newRow("level to root") << none << Germany << "root" << "LevelGermany" << "";
    QTest::newRow("root at root") << none << Asia << "root" << Asia << "";
    QTest::newRow("onto itself") << none << Europe << Europe << "" << cycle;
    QTest::newRow("below itself") << none << Europe << Germany << "" << cycle;
    QTest::newRow("cancel") << none << A << "" << "" << "";
    QTest::newRow("same title in level") << QStringList{"scenery|A|LevelEurope"} << A << Europe << ""
                                         << "The level \"Europe\" already holds a scenery named \"A\".";
    QTest::newRow("same caption in level") << QStringList{"level|LevelAsia\\Germany|Germany"} << Germany << Asia << ""
                                           << "The level \"Asia\" already holds a level named \"Germany\".";
    QTest::newRow("same caption at root") << QStringList{"level|LevelGermany|Germany"} << Germany << "root" << ""
                                          << "The top level already holds a level named \"Germany\".";
}

void TestOrganise::moveTo()
{
    QFETCH(QStringList, extra);
    QFETCH(QString, selected);
    QFETCH(QString, action);
    QFETCH(QString, newKey);
    QFETCH(QString, message);
    Fixture f;
    frmScenery &form = load(f, extra);
    f.select(selected);
    const QStringList before = treeLines(form.trvScenery());
    const QStringList levels = f.manager->dicLevel.keys(), sceneries = f.manager->colScenery.keys();
    f.env.ui.expectForm<frmMoveTreeNode>(QStringLiteral("frmMoveTreeNode"), [action](frmMoveTreeNode &d) {
        if (action == QLatin1String("root")) {
            d.cmdToRoot_Click();
        } else if (action.isEmpty()) {
            d.cmdCancel_Click();
        } else {
            const bool dbl = action.startsWith(QLatin1String("dbl:"));
            d.trvTree.setSelectedItem(d.trvTree.node(dbl ? action.mid(4) : action));
            dbl ? d.trvTree_DblClick() : d.cmdOk_Click();
        }
    });
    if (!message.isEmpty())
        f.env.ui.expectMessage(message, QStringLiteral("Can not move"));
    form.runCommand(6);
    QVERIFY(f.env.ui.allShown());
    if (newKey.isEmpty()) {
        QCOMPARE(treeLines(form.trvScenery()), before);
        QCOMPARE(f.manager->dicLevel.keys(), levels);
        QCOMPARE(f.manager->colScenery.keys(), sceneries);
    } else {
        QVERIFY(f.node(newKey));
        QCOMPARE(form.currentNode(), f.node(newKey));
        QVERIFY(!f.node(newKey)->next());  // it lands last in its new level
    }
    CHECK_INVARIANTS(f, extra.isEmpty());
}

void TestOrganise::moveToOffersRootOnlyForLevels()
{
    Fixture f;
    frmScenery &form = load(f);
    f.select(A);
    f.env.ui.expectForm<frmMoveTreeNode>(QStringLiteral("frmMoveTreeNode"), [&](frmMoveTreeNode &d) {
        QVERIFY(!d.cmdToRootVisible);
        QVERIFY(d.sLevelKey.isEmpty() && !d.bRoot);
        // Only the levels, in the same shape as the library tree.
        QCOMPARE(treeLines(d.trvTree), (QStringList{"0 LevelNew|New", "0 LevelEurope|Europe",
                                                    "1 LevelEurope\\Germany|Germany", "0 LevelAsia|Asia"}));
        d.cmdToRoot_Click();
        QVERIFY(!d.bRoot && d.visible);
        d.cmdOk_Click();  // nothing selected: no target
        QVERIFY(d.sLevelKey.isEmpty() && !d.visible);
    });
    form.mnuSceneryMoveToLevel_Click();
    QVERIFY(f.env.ui.allShown());
    QVERIFY(f.node(A));
    QCOMPARE(form.stbStatus().panels[0], Ready);
}

void TestOrganise::moveToRefusesNewSilently()
{
    Fixture f;
    frmScenery &form = load(f);
    f.select(NewL);
    form.mnuLevelMoveToLevel_Click();  // no dialog may open
    QCOMPARE(form.stbStatus().panels[0], Ready);
    form.trvScenery().setSelectedItem(nullptr);
    form.MoveTo();
    QVERIFY(f.env.ui.allShown());
}

void TestOrganise::moveKeepsHiddenSceneriesWithTheirLevel()
{
    Fixture f;
    frmScenery &form = load(f);
    form.chkFilter_Click(3, true);  // FS2K2: Hamburg (FS98 only) is hidden
    QVERIFY(!f.node(Hamburg));
    f.select(Germany);
    f.env.ui.expectForm<frmMoveTreeNode>(QStringLiteral("frmMoveTreeNode"), [](frmMoveTreeNode &d) {
        d.trvTree.setSelectedItem(d.trvTree.node(Asia));
        d.cmdOk_Click();
    });
    form.MoveTo();
    QVERIFY(f.manager->colScenery.contains(QStringLiteral("SceneryAsia\\Germany\\Hamburg")));
    f.select(QStringLiteral("SceneryAsia\\Germany\\Berlin"));
    f.env.ui.expectMessage(QStringLiteral("Do you want to remove scenery Berlin?"), QStringLiteral("Remove Scenery"), Answer::Yes);
    form.mnuSceneryRemove_Click();
    QCOMPARE(form.currentNode(), f.node(QStringLiteral("LevelAsia\\Germany")));
    // Its level shows no node for it, yet holds it: the level cannot be removed.
    f.env.ui.expectMessage(QStringLiteral("This Level contains subitems. Please remove them before."),
                           QStringLiteral("Can not remove level."));
    form.mnuLevelRemove_Click();
    QVERIFY(f.env.ui.allShown());
    form.chkFilter_Click(3, false);
    QCOMPARE(texts(f, QStringLiteral("LevelAsia\\Germany")), QStringList{"Hamburg"});
    CHECK_INVARIANTS(f);
}

void TestOrganise::dragAndDrop_data()
{
    QTest::addColumn<QString>("drag");
    QTest::addColumn<QString>("over");  // "" empty space
    QTest::addColumn<QString>("newKey");  // "" nothing moves
    QTest::newRow("scenery onto level") << A << Europe << "SceneryEurope\\A";
    QTest::newRow("scenery onto nested level") << Paris << Germany << "SceneryEurope\\Germany\\Paris";
    QTest::newRow("onto a scenery") << A << Paris << "";
    QTest::newRow("onto empty space") << A << "" << "";
    QTest::newRow("level is never dragged") << Germany << Asia << "";
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
    const bool scenery = drag.startsWith(QLatin1String("Scenery"));
    QCOMPARE(form.trvScenery_MouseMove(true), scenery);
    QCOMPARE(form.dragging(), scenery);
    form.trvScenery_DragOver(over.isEmpty() ? nullptr : f.node(over));
    QCOMPARE(form.dropHighlightKey(), over.startsWith(QLatin1String("Level")) ? over : QString());
    form.trvScenery_DragDrop();
    QVERIFY(!form.dragging());
    QVERIFY(form.dropHighlightKey().isEmpty());
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
    form.FillMoveToTree();
    Tree &moveTo = form.trvMoveTo();
    QCOMPARE(moveTo.count(), 4);
    // A level added while the page shows appears on it at once.
    form.trvScenery().setSelectedItem(nullptr);
    f.env.ui.expectInput(QStringLiteral("Enter name for the new level:"), QStringLiteral("New Level"), QStringLiteral("Oceania"));
    form.mnuLevelAdd_Click();
    QVERIFY(moveTo.node(QStringLiteral("LevelOceania")));

    moveTo.setSelectedItem(moveTo.node(Germany));
    const bool expanded = moveTo.node(Germany)->expanded();
    form.trvMoveTo_DblClick();
    QCOMPARE(moveTo.node(Germany)->expanded(), !expanded);

    form.trvScenery_MouseDown(f.node(A));
    QVERIFY(form.trvScenery_MouseMove(true));
    form.trvMoveTo_DragOver(nullptr);
    QVERIFY(form.moveToDropHighlightKey().isEmpty());
    form.trvMoveTo_DragOver(moveTo.node(Asia));
    QCOMPARE(form.moveToDropHighlightKey(), Asia);
    form.trvMoveTo_DragDrop();
    QVERIFY(!form.dragging() && form.moveToDropHighlightKey().isEmpty());
    QCOMPARE(f.node(QStringLiteral("SceneryAsia\\A"))->parent(), f.node(Asia));
    // The first remaining scenery of "New" is selected and shown.
    QCOMPARE(form.currentNode(), f.node(B));
    QCOMPARE(form.displayedScenery()->Title, QStringLiteral("B"));
    QVERIFY(f.env.ui.allShown());
    CHECK_INVARIANTS(f);
}

// ---- Level commands ----------------------------------------------------------------------------

void TestOrganise::addLevel_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("sameLevel");  // -1 not asked, 0 No, 1 Yes
    QTest::addColumn<QString>("key");    // "" nothing added
    QTest::addColumn<QString>("parent");
    QTest::addColumn<int>("row");
    QTest::newRow("nothing selected") << "" << "Oceania" << -1 << "LevelOceania" << "" << 3;
    QTest::newRow("scenery selected") << Berlin << "Bavaria" << -1 << "LevelEurope\\Germany\\Bavaria" << Germany << 0;
    QTest::newRow("same level, nested") << Germany << "France" << 1 << "LevelEurope\\France" << Europe << 0;
    QTest::newRow("same level, top") << Asia << "Africa" << 1 << "LevelAfrica" << "" << 0;
    QTest::newRow("child") << Europe << "Italy" << 0 << "LevelEurope\\Italy" << Europe << 0;
    QTest::newRow("child of empty level") << Asia << "Japan" << 0 << "LevelAsia\\Japan" << Asia << 0;
    QTest::newRow("backslash") << "" << "A\\B" << -1 << "LevelA/B" << "" << 3;
    QTest::newRow("key taken") << Europe << "Asia" << 1 << "" << "" << 0;
    QTest::newRow("New at top") << "" << "New" << -1 << "" << "" << 0;
    QTest::newRow("empty answer") << "" << "" << -1 << "" << "" << 0;
}

void TestOrganise::addLevel()
{
    QFETCH(QString, selected);
    QFETCH(QString, typed);
    QFETCH(int, sameLevel);
    QFETCH(QString, key);
    QFETCH(QString, parent);
    QFETCH(int, row);
    Fixture f;
    frmScenery &form = load(f);
    selectNode(f, selected);
    const int levels = int(f.manager->dicLevel.count());
    f.env.ui.expectInput(QStringLiteral("Enter name for the new level:"), QStringLiteral("New Level"), typed);
    if (sameLevel >= 0)
        f.env.ui.expectMessage(QStringLiteral("Do you want to insert the new entry on the same level?"),
                               QStringLiteral("Same level or child?"), sameLevel ? Answer::Yes : Answer::No,
                               UiPort::Icon::Question);
    if (key.isEmpty() && !typed.isEmpty())
        f.env.ui.expectMessageStartingWith(QStringLiteral("There is already a level named"), QStringLiteral("Can not add level."));
    form.runCommand(1);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    QCOMPARE(int(f.manager->dicLevel.count()), levels + (key.isEmpty() ? 0 : 1));
    if (!key.isEmpty()) {
        QCOMPARE(f.node(key)->parent(), parent.isEmpty() ? nullptr : f.node(parent));
        QCOMPARE(f.node(key)->row(), row);
    }
    CHECK_INVARIANTS(f);
}

void TestOrganise::removeLevel_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("filter");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("status");
    QTest::newRow("empty level") << Asia << false << true << false << Ready;
    QTest::newRow("with children") << Europe << false << false << true << Ready;
    QTest::newRow("only hidden sceneries") << QStringLiteral("LevelAsia") << true << false << true << Ready;
    QTest::newRow("New") << NewL << false << false << false << "before";
    QTest::newRow("scenery") << A << false << false << false << Ready;
    QTest::newRow("nothing selected") << "" << false << false << false << "before";
}

void TestOrganise::removeLevel()
{
    QFETCH(QString, selected);
    QFETCH(bool, filter);
    QFETCH(bool, removed);
    QFETCH(bool, refused);
    QFETCH(QString, status);
    Fixture f;
    frmScenery &form = load(f, filter ? QStringList{"scenery|Tokyo|LevelAsia|2"} : QStringList());
    if (filter)
        form.chkFilter_Click(3, true);
    selectNode(f, selected);
    const int count = form.trvScenery().count();
    form.Display(QStringLiteral("before"));
    if (refused)
        f.env.ui.expectMessage(QStringLiteral("This Level contains subitems. Please remove them before."),
                               QStringLiteral("Can not remove level."), Answer::Ok, UiPort::Icon::Information);
    form.runCommand(2);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], status);
    QCOMPARE(form.trvScenery().count(), count - (removed ? 1 : 0));
    if (selected.startsWith(QLatin1String("Level")))
        QCOMPARE(f.manager->dicLevel.contains(selected), !removed);
    if (filter)
        form.chkFilter_Click(3, false);
    CHECK_INVARIANTS(f);
}

void TestOrganise::renameLevel_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("labelEdit");  // a caption given by a label edit first, or ""
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("newKey");  // "" nothing may change
    QTest::addColumn<QString>("berlin");  // Berlin's key afterwards
    QTest::newRow("nested, trimmed") << Germany << "" << " Bavaria " << "LevelEurope\\Bavaria"
                                     << "SceneryEurope\\Bavaria\\Berlin";
    QTest::newRow("top with subtree, backslash") << Europe << "" << "Euro\\pa" << "LevelEuro/pa"
                                                 << "SceneryEuro/pa\\Germany\\Berlin";
    QTest::newRow("after a label edit") << Germany << "Bayern" << "Franken" << "LevelEurope\\Franken"
                                        << "SceneryEurope\\Franken\\Berlin";
    QTest::newRow("same caption") << Germany << "" << "Germany" << Germany << Berlin;
    QTest::newRow("sibling's caption") << Europe << "" << "Asia" << "" << Berlin;
    QTest::newRow("caption New at top") << Asia << "" << "New" << "" << Berlin;
    QTest::newRow("empty answer") << Germany << "" << "  " << "" << Berlin;
}

void TestOrganise::renameLevel()
{
    QFETCH(QString, selected);
    QFETCH(QString, labelEdit);
    QFETCH(QString, typed);
    QFETCH(QString, newKey);
    QFETCH(QString, berlin);
    Fixture f;
    frmScenery &form = load(f);
    f.select(selected);
    if (!labelEdit.isEmpty()) {
        QVERIFY(form.trvScenery_AfterLabelEdit(f.node(selected), labelEdit));
        QVERIFY(f.node(selected));  // a label edit keeps the key
    }
    const QStringList before = treeLines(form.trvScenery());
    const QString caption = f.node(selected)->text();
    f.env.ui.expectInput(QStringLiteral("Insert the new caption for the level: ") + caption, QStringLiteral("Rename Level"), typed);
    const bool refused = newKey.isEmpty() && !typed.trimmed().isEmpty();
    if (refused)
        f.env.ui.expectMessageStartingWith(QStringLiteral("There is already a level named"), QStringLiteral("Can not rename level."));
    form.runCommand(3);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    QVERIFY(f.manager->colScenery.contains(berlin));
    if (newKey.isEmpty()) {
        QCOMPARE(treeLines(form.trvScenery()), before);
    } else {
        QCOMPARE(f.node(newKey), form.currentNode());
        CHECK_INVARIANTS(f);
    }
}

void TestOrganise::sortLevel_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("order");  // child keys below LevelS
    const QString x = QStringLiteral("LevelS\\x"), sx = QStringLiteral("SceneryS\\x");
    auto s = [](const char *t) { return QStringLiteral("SceneryS\\") + QLatin1String(t); };
    QTest::newRow("ascending") << false << QStringList{s("A"), s("B"), s("a"), s("b"), x, sx};
    QTest::newRow("descending") << true << QStringList{x, sx, s("b"), s("a"), s("B"), s("A")};
}

void TestOrganise::sortLevel()
{
    QFETCH(bool, descending);
    QFETCH(QStringList, order);
    Fixture f;
    f.addLevel(QStringLiteral("LevelS"), QStringLiteral("S"));
    f.addLevel(QStringLiteral("LevelS\\x"), QStringLiteral("x"));
    QString previous = QStringLiteral("LevelS\\x");
    for (const char *title : {"b", "A", "x", "a", "B"}) {
        Fixture::Scenery s;
        s.title = QLatin1String(title);
        s.level = QStringLiteral("LevelS");
        s.previousKey = previous;
        previous = f.addScenery(s);
    }
    f.addScenery(QStringLiteral("inner"), QStringLiteral("LevelS\\x"));
    frmScenery &form = f.load();
    f.node(QStringLiteral("SceneryS\\x\\inner"))->setChecked(true);
    f.node(QStringLiteral("SceneryS\\A"))->setBackColor(rgb(9, 9, 9));
    f.select(QStringLiteral("LevelS"));
    form.runCommand(descending ? 5 : 4);
    QStringList keys;
    for (const TreeNode *n = f.node(QStringLiteral("LevelS"))->firstChild(); n; n = n->next())
        keys << n->key();
    QCOMPARE(keys, order);
    QCOMPARE(texts(f, QStringLiteral("LevelS\\x")), QStringList{"inner"});
    QVERIFY(f.node(QStringLiteral("SceneryS\\x\\inner"))->checked());
    QCOMPARE(f.node(QStringLiteral("SceneryS\\A"))->backColor(), NodeColor(rgb(9, 9, 9)));
    QCOMPARE(form.stbStatus().panels[0], Ready);
    CHECK_INVARIANTS(f);
    const QString fault = restartFault(form, f.env.context);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

// ---- Scenery commands --------------------------------------------------------------------------

void TestOrganise::removeScenery_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("next");  // the node selected afterwards
    QTest::newRow("middle selects next") << B << true << C;
    QTest::newRow("last selects previous") << C << true << B;
    QTest::newRow("previous may be a level") << Paris << true << Germany;
    QTest::newRow("only child selects level") << QStringLiteral("SceneryAsia\\Tokyo") << true << Asia;
    QTest::newRow("answered No") << B << false << B;
    QTest::newRow("level selected") << Asia << false << Asia;
}

void TestOrganise::removeScenery()
{
    QFETCH(QString, selected);
    QFETCH(bool, yes);
    QFETCH(QString, next);
    Fixture f;
    frmScenery &form = load(f, {"scenery|Tokyo|LevelAsia"});
    f.select(B);  // a scenery is displayed
    f.select(selected);
    const bool scenery = selected.startsWith(QLatin1String("Scenery"));
    if (scenery) {
        const QString title = f.node(selected)->text();
        f.env.ui.expectMessage(QStringLiteral("Do you want to remove scenery ") + title + QLatin1Char('?'),
                               QStringLiteral("Remove Scenery"), yes ? Answer::Yes : Answer::No, UiPort::Icon::Question);
    }
    form.runCommand(8);
    QVERIFY(f.env.ui.allShown());
    const bool removed = scenery && yes;
    QCOMPARE(f.node(selected) == nullptr, removed);
    QCOMPARE(form.removedList().contains(selected), removed);
    QCOMPARE(form.currentNode(), f.node(next));
    if (removed)
        QCOMPARE(form.displayedScenery() ? form.displayedScenery()->Key : QString(), next.startsWith(QLatin1String("Scenery")) ? next : QString());
    CHECK_INVARIANTS(f);
}

void TestOrganise::undoRemove()
{
    Fixture f;
    frmScenery &form = load(f);
    auto remove = [&](const QString &key) {
        f.select(key);
        f.env.ui.expectMessageStartingWith(QStringLiteral("Do you want to remove scenery"), QStringLiteral("Remove Scenery"), Answer::Yes);
        form.runCommand(8);
    };
    // check: the titles to tick; an empty list cancels.
    auto undo = [&](const QStringList &listed, const QStringList &check) {
        f.env.ui.expectForm<frmUndoRemove>(QStringLiteral("frmUndoRemove"), [=](frmUndoRemove &d) {
            QVERIFY(!d.bUndelete);
            QStringList titles;
            for (TreeNode *n = d.trvRemoved.firstRoot(); n; n = n->next()) {
                QVERIFY(!n->checked());
                titles << n->text();
                n->setChecked(check.contains(n->text()));
            }
            QCOMPARE(titles, listed);
            check.isEmpty() ? d.cmdCancel_Click() : d.cmdOk_Click();
        });
        form.runCommand(9);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(form.stbStatus().panels[0], Ready);
    };
    remove(Berlin);
    remove(A);
    undo({"Berlin", "A"}, {});
    QCOMPARE(form.removedList().count(), 2);
    undo({"Berlin", "A"}, {"Berlin"});
    const QString restored = QStringLiteral("SceneryNew\\Berlin");
    QCOMPARE(texts(f, NewL), (QStringList{"B", "C", "Berlin"}));
    const clsScenery &berlin = *f.manager->colScenery.item(restored);
    QVERIFY(!berlin.Active);
    QCOMPARE(f.node(restored)->backColor(), NodeColor(rgb(240, 240, 0)));
    QCOMPARE(f.node(restored)->foreColor(), NodeColor(rgb(255, 100, 100)));
    QVERIFY(!f.node(restored)->checked());
    CHECK_INVARIANTS(f);
    // Removed again and restored again: one entry, one record.
    remove(restored);
    QCOMPARE(form.removedList().keys(), (QStringList{"SceneryNew\\A", restored}));
    undo({"A", "Berlin"}, {"A", "Berlin"});
    QVERIFY(form.removedList().isEmpty());
    QCOMPARE(texts(f, NewL), (QStringList{"B", "C", "A", "Berlin"}));
    CHECK_INVARIANTS(f);
    // The next rebuild shows the ordinary colours of an inactive scenery.
    form.libraryTree().UndisplayAllTree();
    QCOMPARE(f.node(restored)->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
    QCOMPARE(f.node(restored)->backColor(), NodeColor(LibraryTree::LocalBackColor));
}

void TestOrganise::undoRemoveKeepsTakenTitle()
{
    Fixture f;
    frmScenery &form = load(f);
    f.select(A);
    f.env.ui.expectMessageStartingWith(QStringLiteral("Do you want"), QStringLiteral("Remove Scenery"), Answer::Yes);
    form.mnuSceneryRemove_Click();
    f.select(Paris);
    f.env.ui.expectInput(QStringLiteral("Insert the new name for the scenery: Paris"), QStringLiteral("Rename Scenery"), QStringLiteral("A"));
    form.mnuSceneryRename_Click();
    f.env.ui.expectForm<frmUndoRemove>(QStringLiteral("frmUndoRemove"), [](frmUndoRemove &d) {
        d.trvRemoved.firstRoot()->setChecked(true);
        d.cmdOk_Click();
    });
    f.env.ui.expectMessageStartingWith(QStringLiteral("The library already holds a scenery of the same title"),
                                       QStringLiteral("Undo remove Scenery"));
    form.mnuSceneryUnremove_Click();
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.removedList().keys(), QStringList{A});
    QCOMPARE(form.removedList().item(A)->Key, A);
    QVERIFY(form.removedList().item(A)->Active);
    CHECK_INVARIANTS(f);
}

void TestOrganise::renameScenery_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("newKey");  // "" nothing may change
    QTest::addColumn<bool>("refused");
    QTest::newRow("new title") << "Lyon" << "SceneryEurope\\Lyon" << false;
    QTest::newRow("trimmed") << "  Nice " << "SceneryEurope\\Nice" << false;
    QTest::newRow("backslash") << "Ly\\on" << "SceneryEurope\\Ly/on" << false;
    QTest::newRow("title elsewhere in the library") << "Berlin" << "" << true;
    QTest::newRow("unchanged") << "Paris" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
}

void TestOrganise::renameScenery()
{
    QFETCH(QString, typed);
    QFETCH(QString, newKey);
    QFETCH(bool, refused);
    Fixture f;
    frmScenery &form = load(f);
    f.select(Paris);
    f.env.ui.expectInput(QStringLiteral("Insert the new name for the scenery: Paris"), QStringLiteral("Rename Scenery"), typed);
    if (refused)
        f.env.ui.expectMessage(QStringLiteral("There is already a scenery named \"Berlin\" in the library."),
                               QStringLiteral("Can not rename scenery."));
    form.runCommand(10);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    const QString key = newKey.isEmpty() ? Paris : newKey;
    QCOMPARE(form.currentNode(), f.node(key));
    QCOMPARE(form.details().txtTitle, f.manager->colScenery.item(key)->Title);
    CHECK_INVARIANTS(f);
}

void TestOrganise::moveOnDisk_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("chosen");  // "" cancel
    QTest::addColumn<QString>("newLocal");  // "" LocalPath unchanged
    QTest::addColumn<QString>("movedTo");   // where the files land; "" nothing moves
    QTest::addColumn<QString>("message");
    const QString paris = QStringLiteral("C:\\FS2002\\Addon Scenery\\Paris");
    QTest::newRow("scenery ending") << "Addon Scenery\\Paris\\scenery" << "C:\\Target\\Folder" << "C:\\Target\\"
                                    << "C:\\Target" << "";
    QTest::newRow("absolute folder") << paris << "C:\\New Place\\Deep\\Folder" << "C:\\New Place\\Deep\\"
                                     << "C:\\New Place\\Deep" << "";
    QTest::newRow("own folder") << paris << paris + "\\Folder" << paris + "\\" << "" << "";
    QTest::newRow("own scenery folder") << "Addon Scenery\\Paris\\scenery" << paris + "\\scenery\\Folder"
                                        << paris + "\\scenery\\" << "" << "";
    QTest::newRow("inside own folder") << paris << paris + "\\texture\\Folder" << "" << "" << "The destination folder";
    QTest::newRow("cancel") << paris << "" << "" << "" << "";
    QTest::newRow("bare name") << paris << "Folder" << "" << "" << "";
    QTest::newRow("simulator folder") << "Scenery" << "C:\\Target\\Folder" << "" << "" << "The folder";
    QTest::newRow("no local path") << "" << "C:\\Target\\Folder" << "" << ""
                                   << "You can not move a scenery from a readonly device.";
}

void TestOrganise::moveOnDisk()
{
    QFETCH(QString, local);
    QFETCH(QString, chosen);
    QFETCH(QString, newLocal);
    QFETCH(QString, movedTo);
    QFETCH(QString, message);
    Fixture f;
    Fixture::Scenery s;
    s.title = QStringLiteral("Mover");
    s.local = local;
    const QString key = f.addScenery(s);
    const QString base = QStringLiteral("C:\\FS2002\\Addon Scenery\\Paris");
    const QStringList files{"scenery\\p.bgl", "texture\\p.bmp", "readme.txt"};
    for (const QString &file : files)
        f.env.writeFile(base + QLatin1Char('\\') + file, "x");
    frmScenery &form = load(f);
    f.select(key);
    const bool asked = !local.isEmpty() && message != QLatin1String("The folder");
    if (asked || message == QLatin1String("The folder"))
        f.env.ui.expectFile(chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen),
                            QStringLiteral("Select destination folder"));
    if (!message.isEmpty())
        f.env.ui.expectMessageStartingWith(message, QStringLiteral("Scenery Move."));
    form.runCommand(11);
    QVERIFY(f.env.ui.allShown());
    QVERIFY(!f.env.ui.busy());
    QCOMPARE(form.stbStatus().panels[0], Ready);
    const clsScenery &record = *f.manager->colScenery.item(key);
    QCOMPARE(record.LocalPath, newLocal.isEmpty() ? local : newLocal);
    QCOMPARE(form.details().txtLocal, record.LocalPath);
    for (const QString &file : files) {
        QCOMPARE(f.env.fs.fileExists(base + QLatin1Char('\\') + file), movedTo.isEmpty());
        if (!movedTo.isEmpty())
            QVERIFY(f.env.fs.fileExists(movedTo + QLatin1Char('\\') + file));
    }
    QVERIFY(f.env.fs.folderExists(base + QStringLiteral("\\scenery")));  // source folders stay
}

// ---- Search ------------------------------------------------------------------------------------

void TestOrganise::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("moveFirst");  // "A" moved to the bottom first: it becomes the newest node
    QTest::addColumn<int>("stopAt");      // the hit answered No, 0: every answer Yes
    QTest::addColumn<int>("hits");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("status");
    const QString searching = QStringLiteral("Search for scenery or level.");
    QTest::newRow("all hits") << "a" << false << 0 << 5 << Paris << Ready;
    QTest::newRow("stop at first, a level") << "a" << false << 1 << 1 << Germany << searching;
    // A scenery hit is shown in the details panel, which puts its title into the status text.
    QTest::newRow("stop at third") << "a" << false << 3 << 3 << A << "A";
    QTest::newRow("moved node comes last") << "a" << true << 5 << 5 << A << "A";
    QTest::newRow("case ignored, anywhere") << "ERL" << false << 0 << 1 << Berlin << Ready;
    QTest::newRow("no hit") << "zzz" << false << 0 << 0 << Paris << Ready;
    QTest::newRow("empty answer") << "" << false << 0 << 0 << Paris << searching;
}

void TestOrganise::search()
{
    QFETCH(QString, typed);
    QFETCH(bool, moveFirst);
    QFETCH(int, stopAt);
    QFETCH(int, hits);
    QFETCH(QString, selected);
    QFETCH(QString, status);
    Fixture f;
    frmScenery &form = load(f);
    if (moveFirst) {
        f.select(A);
        form.InnerMove(3);
    }
    f.select(Paris);
    f.env.ui.expectInput(QStringLiteral("Insert a search string:"), QStringLiteral("Search scenery or level"), typed);
    for (int i = 1; i <= hits; ++i)
        f.env.ui.expectMessage(QStringLiteral("Find next?"), QStringLiteral("Found!"), i == stopAt ? Answer::No : Answer::Yes,
                               UiPort::Icon::Question);
    form.runCommand(22);
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(form.currentNode(), f.node(selected));
    QCOMPARE(form.stbStatus().panels[0], status);
    // A level hit leaves the details panel with what it showed.
    const QString shown = selected.startsWith(QLatin1String("Scenery")) ? selected : Paris;
    QCOMPARE(form.displayedScenery()->Key, shown);
}

void TestOrganise::commandRowsRunOrganisingCommands()
{
    Fixture f;
    frmScenery &form = load(f);
    for (int row : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 22, 42, 43, 44, 45})
        QVERIFY2(form.isCommandAvailable(row), qPrintable(QString::number(row)));
    form.trvScenery().setSelectedItem(nullptr);
    for (int row : {2, 3, 4, 5, 6, 8, 10, 11, 42, 45}) {  // need a selected node: silently nothing
        form.Display(QStringLiteral("before"));
        form.runCommand(row);
        QCOMPARE(form.stbStatus().panels[0], QStringLiteral("before"));
    }
    QVERIFY(f.env.ui.allShown());
}

void TestOrganise::saveAndRestartKeepsOrganisedTree()
{
    Fixture f;
    frmScenery &form = load(f);
    f.select(Germany);
    f.env.ui.expectInput(QStringLiteral("Insert the new caption for the level: Germany"), QString(), QStringLiteral("Bavaria"));
    form.mnuLevelRename_Click();
    f.select(QStringLiteral("LevelEurope\\Bavaria"));
    form.InnerMove(3);
    form.trvScenery_MouseDown(f.node(C));
    form.trvScenery_MouseMove(true);
    form.trvScenery_DragOver(f.node(QStringLiteral("LevelEurope\\Bavaria")));
    form.trvScenery_DragDrop();
    f.select(QStringLiteral("LevelEurope\\Bavaria"));
    form.mnuLevelSortDesc_Click();
    f.select(Europe);
    f.env.ui.expectForm<frmMoveTreeNode>(QStringLiteral("frmMoveTreeNode"), [](frmMoveTreeNode &d) {
        d.trvTree.setSelectedItem(d.trvTree.node(Asia));
        d.cmdOk_Click();
    });
    form.MoveTo();
    QVERIFY(f.env.ui.allShown());
    QCOMPARE(texts(f, QStringLiteral("LevelAsia\\Europe\\Bavaria")), (QStringList{"Hamburg", "C", "Berlin"}));
    CHECK_INVARIANTS(f);
    const QString fault = restartFault(form, f.env.context);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_GUILESS_MAIN(TestOrganise)
#include "tst_organise.moc"
